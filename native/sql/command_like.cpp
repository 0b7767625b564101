// LIKE patterns in a command: a LIKE parameter's value escaped and written
// as a literal with the escape clause its database kind needs, a literal
// re-escaped in a database's own notation, and a pattern escaped for the
// engine's own LIKE parameters.
//
// The value's quotes are purged and the pattern escaped with the escape
// character only (wildcards keep their meaning, a lone escape character is
// doubled): the quotes are left bare for the connection's literal writer,
// which escapes them for its database.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/text/code_page_text.h"
#include "common/text/sql_escape.h"
#include "common/text/xy_string.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_any.h"
#include "native/sql/command.h"
#include "native/model/zl_type_groups.h"
#include "native/sql/command_text.h"

namespace {

// The parameter's escape character, the backslash when it has none.
wchar_t cEscapeOf(const CNAParameter* pclParameter)
{
    const int n = pclParameter->nGetEscape();
    return n > 0 ? static_cast<wchar_t>(n) : L'\\';
}

// A copy of n units of text, terminated; null when memory runs out.
template <class T>
T* pszCopy(const T* p, size_t n)
{
    T* psz = static_cast<T*>(std::malloc((n + 1) * sizeof(T)));
    if (psz == nullptr)
        return nullptr;
    if (n > 0)
        std::memcpy(psz, p, n * sizeof(T));
    psz[n] = 0;
    return psz;
}

// The pattern purged of its quote escapes and escaped with E only. Null
// when memory runs out.
template <class T>
T* pszLikePattern(const T* p, size_t n, T cEscape)
{
    T* pszPurged = pszCopy(p, n);
    if (pszPurged == nullptr)
        return nullptr;
    // The purge keeps a text of exactly two quotes, an empty SQL literal;
    // here it is a value's one quote, doubled by the engine's escaping, and
    // kept doubled it would select the values of two quotes instead.
    if (n == 2 && p[0] == static_cast<T>('\'') && p[1] == static_cast<T>('\''))
        pszPurged[1] = 0;
    else
        PurgeQuote(pszPurged, 1);
    T* pszEscaped = pszEscape(pszPurged, 0, 0, 1, 0, 0, 0, 0, 0, static_cast<T>('\''), cEscape);
    std::free(pszPurged);
    return pszEscaped;
}

}  // namespace

int CNACommand::_bAddParameterFormatedLike(CNAParameter* pclParameter, eNA_ITEMTYPE eItemType,
                                           eNA_ITEMTYPE eValueType, ePARAMTYPECONV, unsigned long* pnPosition)
{
    if (pclParameter == nullptr || pclParameter->pclGetValueNoRef() == nullptr)
        return 0;
    CAny clValue;
    if (!pclParameter->pclGetValueNoRef()->bGetValue(&clValue))
        return 0;
    const wchar_t cEscape = cEscapeOf(pclParameter);
    if (NA_bWideStringCode(clValue.nGetTypeCode()) && !clValue.bIsNull()) {
        unsigned long nSize = 0;
        const wchar_t* psz = static_cast<const wchar_t*>(NA_pGetAnyData(clValue, &nSize));
        const size_t n = psz != nullptr ? wcsnlen(psz, nSize / sizeof(wchar_t)) : 0;
        if (n > 0) {
            wchar_t* pszPattern = pszLikePattern(psz, n, cEscape);
            if (pszPattern == nullptr) {
                _SetNoMemory(NASite::kCommandLikeEscapeNoMemory);
                return 0;
            }
            clValue.__SetType(16, 0);
            const int nSet = NA_nSetAnyWide(clValue, pszPattern, std::wcslen(pszPattern));
            std::free(pszPattern);
            if (nSet > 99) {
                _SetNoMemory(NASite::kCommandLikeEscapeNoMemory);
                return 0;
            }
        }
        if (eValueType == NA_IT_EMPTY)
            eValueType = NA_IT_UNICODE;
    } else {
        // The escape goes into the value's text, which is in the runtime's
        // code page.
        const int nCodePage = m_pclConnection != nullptr ? m_pclConnection->nGetRuntimeCodePage() : 0;
        const char cEscapeA = STR_WCharToAChar(cEscape, 0, static_cast<unsigned>(nCodePage < 0 ? 0 : nCodePage));
        if (!NA_bAnsiStringCode(clValue.nGetTypeCode()) && !clValue.bIsNull())
            (void)clValue.__nCastTo(19, nullptr, 1);
        if (NA_bAnsiStringCode(clValue.nGetTypeCode()) && !clValue.bIsNull()) {
            unsigned long nSize = 0;
            const char* psz = static_cast<const char*>(NA_pGetAnyData(clValue, &nSize));
            const size_t n = psz != nullptr ? strnlen(psz, nSize) : 0;
            if (n > 0) {
                char* pszPattern = pszLikePattern(psz, n, cEscapeA);
                if (pszPattern == nullptr) {
                    _SetNoMemory(NASite::kCommandLikeEscapeNoMemory);
                    return 0;
                }
                clValue.__SetType(18, 0);
                const int nSet = NA_nSetAnyAnsi(clValue, pszPattern, std::strlen(pszPattern));
                std::free(pszPattern);
                if (nSet > 99) {
                    _SetNoMemory(NASite::kCommandLikeEscapeNoMemory);
                    return 0;
                }
            }
        }
        if (eValueType == NA_IT_EMPTY)
            eValueType = NA_IT_TEXTE;
    }
    return vbAddEscapedLikeValue(pclParameter, &clValue, eItemType, eValueType, pnPosition);
}

int CNACommand::vbAddEscapedLikeValue(CNAParameter* pclParameter, CAny* pclValue, eNA_ITEMTYPE eItemType,
                                      eNA_ITEMTYPE eValueType, unsigned long* pnPosition)
{
    if (pclParameter == nullptr || m_pclConnection == nullptr)
        return 0;
    CTStringConcatAW clLiteral(m_clFormated.nGetCodePageMaitre(), m_clFormated.nGetCodePageEntree());
    int bDone = m_pclConnection->bConvertValueToString(m_pclError, &clLiteral, pclValue, eItemType, eValueType);
    if (bDone && clLiteral.bEchec()) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        bDone = 0;
    }
    if (bDone) {
        const int nKind = m_pclConnection->nGetDBKind();
        if (nKind == 3)
            _ChangeEscapement(&clLiteral, cEscapeOf(pclParameter));
        else if (nKind == 2)
            clLiteral.Remplace(L"[", 1, L"[[]", 3, 0);
        _AddLiteral(clLiteral);
    }
    vAddEscapeLikeIfNeeded(pclParameter, clLiteral.pszGetW(), pnPosition);
    return bDone;
}

void CNACommand::vAddEscapeLikeIfNeeded(CNAParameter* pclParameter, const wchar_t* pszLiteral,
                                        unsigned long* pnPosition)
{
    if (pclParameter == nullptr || pnPosition == nullptr || m_pclConnection == nullptr)
        return;
    unsigned long n = 0;
    const wchar_t* pszOriginal = _pszOriginal(&n);
    const unsigned long nAt = *pnPosition < n ? *pnPosition : n;
    const wchar_t* pszRest = pszOriginal + nAt;
    const int nKind = m_pclConnection->nGetDBKind();
    if (nKind == 3) {
        // The ESCAPE clause written in the statement is not copied: the
        // literal is in the database's own notation now.
        const int nBlanks = s_nGetPosSuiteRequete(pszRest, L"ESCAPE");
        if (nBlanks < 0)
            return;
        const wchar_t* pszQuote = std::wcschr(pszRest + nBlanks + 6, L'\'');
        if (pszQuote == nullptr)
            return;
        const unsigned long nAfter = static_cast<unsigned long>(pszQuote - pszOriginal) + 3;
        *pnPosition = nAfter < n ? nAfter : n;
        return;
    }
    const wchar_t cEscape = cEscapeOf(pclParameter);
    if (pszLiteral == nullptr || std::wcschr(pszLiteral, cEscape) == nullptr)
        return;
    if (s_bSuiteRequeteCommencePar(pszRest, L"ESCAPE"))
        return;
    if (cEscape == L'\\') {
        if (nKind == 5)
            return;
        if (nKind == 12 || (nKind == 6 && m_pclConnection->nGetServerMajor() < 9))
            _CompleteFormatedSQL(L" ESCAPE '\\\\'", -1);
        else
            _CompleteFormatedSQL(L" ESCAPE '\\'", -1);
        return;
    }
    const wchar_t szClause[] = {L' ', L'E', L'S', L'C', L'A', L'P', L'E', L' ', L'\'', cEscape, L'\'', 0};
    _CompleteFormatedSQL(szClause, -1);
}

void CNACommand::_ChangeEscapement(CTStringConcatAW* pclLiteral, wchar_t cEscape)
{
    if (pclLiteral == nullptr || bBuilderEmpty(*pclLiteral))
        return;
    // The connection keeps no wildcard notation of its own: an escaped
    // wildcard stays the escape character and the wildcard.
    const wchar_t szEscape[] = {cEscape, 0};
    wchar_t* pszChanged = pszChangeEscape(pclLiteral->pszGetW(), L"%", szEscape, L"", L"_", szEscape, L"", cEscape);
    if (pszChanged == nullptr) {
        _SetNoMemory(NASite::kCommandLikeEscapeNoMemory);
        pclLiteral->Vide();
        return;
    }
    pclLiteral->SetStrCte(pszChanged, -1);
    std::free(pszChanged);
}

namespace {

template <class T>
int nEscapeAsQFParam(CXYString<T>* pclResult, const T* pszPattern, T cEscape, bool* pbNoMemory)
{
    *pbNoMemory = false;
    if (pclResult == nullptr)
        return 0;
    // The pattern may be the result's own text: its block is kept alive
    // while the new one is written.
    CXYString<T> clKeep(*pclResult);
    const size_t n = pszPattern != nullptr ? std::char_traits<T>::length(pszPattern) : 0;
    const size_t nExtra = sizeof(T) == 1 ? 3 : 12;
    if (n > (static_cast<size_t>(INT_MAX) - nExtra) / 2) {
        *pbNoMemory = true;
        return 0;
    }
    if (pclResult->__nNew(static_cast<int>(2 * n + nExtra), nullptr, 0, 0) != 0 ||
        pclResult->ptGetBuffer() == nullptr) {
        *pbNoMemory = true;
        return 0;
    }
    T* pBuffer = pclResult->ptGetBuffer();
    const T cE = cEscape != 0 ? cEscape : static_cast<T>('\\');
    Escape(pszPattern, pBuffer, 1, 1, 1, 1, 1, 1, 1, 1, static_cast<T>('\''), cE);
    const size_t nEscaped = std::char_traits<T>::length(pBuffer);
    (void)pclResult->_nSetUtilLength(static_cast<int>(nEscaped));
    if (nEscaped == 0)
        pclResult->ReleaseDynStr();
    return 1;
}

}  // namespace

int CNACommand::bEscapeLIKEParamAsQFParam(CXYString<wchar_t>* pclResult, const wchar_t* pszPattern, wchar_t cEscape)
{
    bool bNoMemory = false;
    const int bDone = nEscapeAsQFParam(pclResult, pszPattern, cEscape, &bNoMemory);
    if (bNoMemory)
        CNAError::g_RaiseSiteError(m_pclError, NASite::kCommandLikeRoomNoMemory, m_pclConnection, nullptr, nullptr);
    return bDone;
}

int CNACommand::bEscapeLIKEParamAsQFParam(CXYString<char>* pclResult, const char* pszPattern, char cEscape)
{
    bool bNoMemory = false;
    const int bDone = nEscapeAsQFParam(pclResult, pszPattern, cEscape, &bNoMemory);
    if (bNoMemory)
        CNAError::g_RaiseSiteError(m_pclError, NASite::kCommandLikeRoomNoMemory, m_pclConnection, nullptr, nullptr);
    return bDone;
}

// --- Lock and RETURNING clauses ----------------------------------------------------

int CNACommand::bAddRecordLock()
{
    const wchar_t* pszHint = m_pclConnection != nullptr ? m_pclConnection->pszGetNoLockHint() : nullptr;
    if (pszHint == nullptr || pszHint[0] == L'\0')
        return 1;
    (void)bComplete(L" ", 1);
    return bComplete(pszHint, static_cast<unsigned long>(-1));
}

int CNACommand::bAddReturning(const wchar_t* pszText)
{
    if (!bComplete(L" RETURNING ", static_cast<unsigned long>(-1)))
        return 0;
    return bComplete(pszText, static_cast<unsigned long>(-1));
}
