// An execution statement's runs: the host's parameter values written into
// the SQL text as literals, the text carried into the connection's code
// page, and the database driver's execution of the 8-bit text.
#include <cwchar>

#include "common/text/any.h"
#include "common/text/string_concat_aw.h"
#include "common/text/xy_string.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/host_tab_val_parser.h"
#include "native/driver/wide_text_value.h"
#include "native/model/variant.h"

namespace {

// Entry nIndex of the host's table; null when the table holds none there.
const CTabValParserEntry* pEntryOf(const CTabValParser* pstValues, int nIndex)
{
    if (pstValues == nullptr || pstValues->ppEntries == nullptr || nIndex < 0 ||
        static_cast<uint32_t>(nIndex) >= pstValues->nNbParam)
        return nullptr;
    return pstValues->ppEntries[nIndex];
}

void SetNoMemory(CNAError* pclError)
{
    if (pclError != nullptr)
        pclError->pclGetXError()->SetErrorNoMemory();
}

}  // namespace

int CNAStatementSQL::bExecuteDirect(const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags)
{
    if (!bReset())
        return 0;
    if (pstValues == nullptr)
        return _bExecuteDirect(pszSQL, nullptr, nFlags);
    if (m_pclConnection == nullptr)
        return 0;

    CTStringConcatAW clQuery(static_cast<unsigned>(m_pclConnection->nGetClientTextCodePage()),
                             static_cast<unsigned>(m_pclConnection->nGetRuntimeCodePage()));
    // Measured once: every placeholder must lie inside the text, or the
    // copy around it would read past the terminator and send what lies
    // behind the text.
    const int64_t nText = pszSQL != nullptr ? static_cast<int64_t>(std::wcslen(pszSQL)) : 0;
    int64_t nLast = 0;
    for (uint32_t i = 0; i < pstValues->nNbParam; ++i) {
        const int nIndex = static_cast<int>(i);
        const CTabValParserEntry* pEntry = pEntryOf(pstValues, nIndex);
        if (pEntry == nullptr || pEntry->nStart < 0 || pEntry->nLength < 0 ||
            static_cast<int64_t>(pEntry->nStart) + pEntry->nLength > nText) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kParameterOutsideText, m_pclConnection, nullptr, nullptr,
                                       nIndex);
            return 0;
        }
        CAny clValue;
        int nStart = 0;
        int nLength = 0;
        if (!_bGetParameter(&clValue, &nStart, &nLength, pstValues, nIndex))
            return 0;
        if (nStart > nLast)
            clQuery.Add(pszSQL + nLast, static_cast<long>(nStart - nLast));
        // A placeholder that starts before the end of the previous one moves
        // the cursor back: its text is then copied again after the literal.
        nLast = static_cast<int64_t>(nStart) + nLength;
        if (!_bAddParameter(&clQuery, i, &clValue))
            return 0;
    }
    if (nText > nLast)
        clQuery.Add(pszSQL + nLast, static_cast<long>(nText - nLast));
    return _bExecuteDirect(&clQuery, pstValues, nFlags);
}

int CNAStatementSQL::bExecuteDirect(const char* pszSQL, unsigned nFlags)
{
    if (!bReset())
        return 0;
    return _bExecuteDirect(pszSQL, nullptr, nFlags);
}

int CNAStatementSQL::_bGetParameter(CAny* pclValue, int* pnStart, int* pnLength, CTabValParser* pstValues,
                                    int nIndex)
{
    const CTabValParserEntry* pEntry = pEntryOf(pstValues, nIndex);
    if (pEntry == nullptr)
        return 0;
    *pnStart = pEntry->nStart;
    *pnLength = pEntry->nLength;
    if ((pEntry->dwFlags & CTabValParserEntry::VALUE_FROM_FILE) == 0) {
        *pclValue = pEntry->clValue;
        return 1;
    }
    // The name is read from a copy: the host's value stays as it is.
    CAny clName(pEntry->clValue);
    const wchar_t* pszPath = NA_pszWideTextOf(&clName);
    const int bBinary = (pEntry->dwFlags & CTabValParserEntry::FILE_AS_TEXT) == 0 ? 1 : 0;
    return CNAVariant::gbLoadFile(pclValue, pszPath != nullptr ? pszPath : L"", m_pclError, bBinary);
}

int CNAStatementSQL::_bAddParameter(CTStringConcatAW* pclQuery, unsigned, const CAny* pclValue)
{
    CTStringConcatAW clLiteral(pclQuery->nGetCodePageMaitre(), pclQuery->nGetCodePageEntree());
    const int bDone = m_pclConnection->bConvertValueToString(m_pclError, &clLiteral, pclValue, NA_IT_EMPTY,
                                                             NA_IT_EMPTY);
    if (!bDone)
        return 0;
    if (clLiteral.bEchec()) {
        SetNoMemory(m_pclError);
        return 0;
    }
    // The escaped bytes go in as they are: a conversion back and forth
    // could change what the escape wrote.
    if (!pclQuery->bMaitreLarge()) {
        const char* psz = clLiteral.pszGetA();
        pclQuery->Add(psz, clLiteral.nGetLongueurA(), pclQuery->nGetCodePageMaitre());
    } else {
        const wchar_t* psz = clLiteral.pszGetW();
        pclQuery->Add(psz, clLiteral.nGetLongueurW());
    }
    return bDone;
}

int CNAStatementSQL::_bExecuteDirect(CTStringConcatAW* pclQuery, CTabValParser* pstValues, unsigned nFlags)
{
    // A builder that ran out of memory reads as an empty text: never sent.
    if (pclQuery->bEchec()) {
        SetNoMemory(m_pclError);
        return 0;
    }
    if (pclQuery->bMaitreLarge())
        return _bExecuteDirect(pclQuery->pszGetW(), pstValues, nFlags);
    return _bExecuteDirect(pclQuery->pszGetA(), pstValues, nFlags);
}

int CNAStatementSQL::_bExecuteDirect(const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags)
{
    if (m_pclConnection == nullptr)
        return 0;
    const int nCodePage = m_pclConnection->nGetClientTextCodePage();
    // A connection that takes wide text has no 8-bit execution here.
    if (nCodePage == -2)
        return 0;
    if (pszSQL == nullptr)
        return _bExecuteDirect(static_cast<const char*>(nullptr), pstValues, nFlags);
    const size_t nLength = std::wcslen(pszSQL);
    CXYString<char> clText;
    if (nLength > static_cast<size_t>(STRMEM_MAX_BYTES) ||
        (nLength > 0 && clText.__nConversion(pszSQL, static_cast<int>(nLength), 0, nCodePage, 0, nullptr) != 0)) {
        SetNoMemory(m_pclError);
        return 0;
    }
    return _bExecuteDirect(clText.pszGet(), pstValues, nFlags);
}
