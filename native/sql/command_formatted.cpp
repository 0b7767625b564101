// The formatted text of a command: the original text with each parameter's
// value written in as a literal of the connection's kind, single blanks
// between the pieces where needed, and the row limit in the form of the
// connection's kind.
//
// A build that fails leaves no formatted text behind: a half-written
// statement (a value missing, no row limit) must never be handed out by a
// later getter as if it were whole. The same holds for a builder that could
// not grow: it reads as empty text and the build fails.
#include <cwchar>

#include "common/text/string_concat_aw_map.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/sql_text_tests.h"
#include "native/sql/command.h"
#include "native/sql/command_text.h"

// --- Getters ---------------------------------------------------------------------

CTStringConcatAW* CNACommand::pclGetFormatedSQL(ePARAMTYPECONV eMask)
{
    if (!bBuilderEmpty(m_clFormated))
        return &m_clFormated;
    if (!_bBuildFormatedSQL(eMask) || m_clFormated.bEchec()) {
        if (m_clFormated.bEchec())
            _SetNoMemory(NASite::kCommandTextNoMemory);
        ResetFormatedSQL();
        return nullptr;
    }
    return &m_clFormated;
}

const wchar_t* CNACommand::pszGetFormatedSQLW(ePARAMTYPECONV eMask)
{
    CTStringConcatAW* pclText = pclGetFormatedSQL(eMask);
    return pclText != nullptr ? pclText->pszGetW() : nullptr;
}

const char* CNACommand::pszGetFormatedSQLA(ePARAMTYPECONV eMask)
{
    CTStringConcatAW* pclText = pclGetFormatedSQL(eMask);
    if (pclText == nullptr)
        return nullptr;
    const char* psz = pclText->pszGetA();
    // The 8-bit rendering of a wide master may run out of memory.
    if (pclText->bEchec()) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        ResetFormatedSQL();
        return nullptr;
    }
    return psz;
}

// --- Building ------------------------------------------------------------------------

void CNACommand::_AddSpaceBetween(wchar_t cNext)
{
    if (cNext == L' ' || bBuilderEmpty(m_clFormated))
        return;
    // The last unit of the master side: a blank is one byte (0x20) in every
    // 8-bit code page the builder takes, never part of another character,
    // so no wide-character map of the whole text is needed per piece.
    bool bBlank;
    if (m_clFormated.bMaitreLarge()) {
        const wchar_t* psz = m_clFormated.pszGetW();
        bBlank = psz[m_clFormated.nGetLongueurW() - 1] == L' ';
    } else {
        const char* psz = m_clFormated.pszGetA();
        bBlank = psz[m_clFormated.nGetLongueurA() - 1] == ' ';
    }
    if (!bBlank)
        m_clFormated.Add(L" ", 1);
}

const wchar_t* CNACommand::_pszOriginal(unsigned long* pnLength) const
{
    const wchar_t* psz = m_clOriginal.pszGetW();
    // Read from the wide text itself: never past it, whatever the 8-bit
    // side's count of characters.
    const unsigned long nChars = nGetOriginalLength();
    const unsigned long nWide = static_cast<unsigned long>(m_clOriginal.nGetLongueurW());
    *pnLength = nChars < nWide ? nChars : nWide;
    return psz;
}

const char* CNACommand::_pszOriginalAscii(unsigned long* pnLength) const
{
    if (m_clOriginal.bMaitreLarge() || m_clFormated.bMaitreLarge() || m_clOriginal.bEchec())
        return nullptr;
    const unsigned nCodePage = m_clOriginal.nGetCodePageMaitre();
    if (nCodePage != m_clFormated.nGetCodePageMaitre() ||
        (nCodePage != 65001 && !CCarteMaitreA::s_bUnOctetParCar(nCodePage)))
        return nullptr;
    const char* psz = m_clOriginal.pszGetA();
    const long nBytes = m_clOriginal.nGetLongueurA();
    for (long i = 0; i < nBytes; ++i) {
        const auto c = static_cast<unsigned char>(psz[i]);
        if (c == 0 || c >= 0x80)
            return nullptr;
    }
    // As the wide reading: never past the text, whatever the count.
    const unsigned long nChars = nGetOriginalLength();
    *pnLength = nChars < static_cast<unsigned long>(nBytes) ? nChars : static_cast<unsigned long>(nBytes);
    return psz;
}

void CNACommand::_CopyOriginalToFormated(unsigned long nFrom, unsigned long nTo)
{
    unsigned long n = 0;
    const wchar_t* psz = _pszOriginal(&n);
    if (nTo > n)
        nTo = n;
    if (nFrom >= nTo)
        return;
    m_clFormated.Add(psz + nFrom, static_cast<long>(nTo - nFrom));
}

void CNACommand::_AddLiteral(const CTStringConcatAW& clLiteral)
{
    if (!m_clFormated.bMaitreLarge() && clLiteral.nGetCodePageMaitre() == m_clFormated.nGetCodePageMaitre()) {
        // The escaped bytes go in as they are: a conversion back and forth
        // could change what the escape wrote.
        const char* psz = clLiteral.pszGetA();
        m_clFormated.Add(psz, clLiteral.nGetLongueurA(), m_clFormated.nGetCodePageMaitre());
    } else {
        const wchar_t* psz = clLiteral.pszGetW();
        m_clFormated.Add(psz, clLiteral.nGetLongueurW());
    }
}

int CNACommand::_bBuildFormatedSQL(ePARAMTYPECONV eMask)
{
    m_clFormated.Vide();
    unsigned long n = 0;
    // An ASCII original is copied by its bytes: no wide text made of it and
    // written back to 8 bits per piece.
    const char* pszAscii = _pszOriginalAscii(&n);
    const wchar_t* pszOriginal = pszAscii == nullptr ? _pszOriginal(&n) : nullptr;
    const auto cAt = [&](unsigned long k) {
        return pszAscii != nullptr ? static_cast<wchar_t>(pszAscii[k]) : pszOriginal[k];
    };
    const auto copy = [&](unsigned long nFrom, unsigned long nTo) {
        if (pszAscii == nullptr)
            _CopyOriginalToFormated(nFrom, nTo);
        else if (nFrom < nTo)
            m_clFormated.Add(pszAscii + nFrom, static_cast<long>(nTo - nFrom), m_clFormated.nGetCodePageMaitre());
    };
    unsigned long nPos = 0;
    int bDone = 1;
    for (int i = 0; i < m_tabParameters.nGetNbElement() && bDone; ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        // A position from a shared parameter shifted in another command may
        // lie behind the text, or behind the running position.
        unsigned long nAt = pclParameter->nGetPosition();
        if (nAt > n)
            nAt = n;
        if (nAt < nPos)
            nAt = nPos;
        if (nAt > nPos) {
            _AddSpaceBetween(cAt(nPos));
            copy(nPos, nAt);
        }
        bDone = _bAddParameterFormated(pclParameter, eMask, &nAt);
        nPos = nAt > n ? n : (nAt < nPos ? nPos : nAt);
    }
    if (bDone && nPos < n) {
        _AddSpaceBetween(cAt(nPos));
        copy(nPos, n);
    }
    if (!bDone)
        return 0;
    switch (m_pclConnection != nullptr ? m_pclConnection->nGetDBKind() : 0) {
    case 1: case 2: case 3:
        _RemplaceLimitParTop();
        break;
    case 5: case 6:
        _RemplaceTopParLimit();
        break;
    default:
        break;
    }
    if (m_clFormated.bEchec() || m_clOriginal.bEchec()) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    return bDone;
}

int CNACommand::_bAddParameterFormated(CNAParameter* pclParameter, ePARAMTYPECONV eMask, unsigned long* pnPosition)
{
    if (pclParameter == nullptr)
        return 0;
    eNA_ITEMTYPE eItemType = NA_IT_EMPTY;
    eNA_ITEMTYPE eValueType = NA_IT_EMPTY;
    (void)pclParameter->bGetZLTypeInfo(&eItemType, &eValueType);
    const unsigned nFlags = pclParameter->nGetFlags();
    if (nFlags & CNAParameter::PARAM_FILE) {
        if (eValueType == NA_IT_EMPTY)
            eValueType = (nFlags & CNAParameter::PARAM_FILE_TEXT) ? NA_IT_MEMOTEXTE : NA_IT_MEMOBINAIRE;
        // A file that cannot be read fails the statement: its path must
        // not go to the server as the value.
        if (!pclParameter->bLoadFile(m_pclError))
            return 0;
    }
    if (nFlags & CNAParameter::PARAM_LIKE)
        return _bAddParameterFormatedLike(pclParameter, eItemType, eValueType, eMask, pnPosition);
    return _bAddParameterFormated(pclParameter, eItemType, eValueType, eMask, pnPosition);
}

int CNACommand::_bAddParameterFormated(CNAParameter* pclParameter, eNA_ITEMTYPE eItemType, eNA_ITEMTYPE eValueType,
                                       ePARAMTYPECONV, unsigned long*)
{
    if (pclParameter == nullptr || m_pclConnection == nullptr)
        return 0;
    if (pclParameter->bIsUser() && !_bUpdateParameterValue(pclParameter))
        return 0;
    CNAConvertVariant* pclValue = pclParameter->pclGetValueNoRef();
    if (pclValue == nullptr)
        return 0;
    CAny clValue;
    if (!pclValue->bGetValue(&clValue))
        return 0;
    if (eValueType == NA_IT_EMPTY)
        eValueType = pclValue->eNAGetItemTypeValue();
    CTStringConcatAW clLiteral(m_clFormated.nGetCodePageMaitre(), m_clFormated.nGetCodePageEntree());
    const int bDone = m_pclConnection->bConvertValueToString(m_pclError, &clLiteral, &clValue, eItemType, eValueType);
    if (!bDone)
        return 0;
    if (clLiteral.bEchec()) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    _AddLiteral(clLiteral);
    return bDone;
}

// --- Row limits ----------------------------------------------------------------------

const wchar_t* CNACommand::_pszFormatedSelect(long* pnLength) const
{
    if (m_bAsWritten)
        return nullptr;
    // The wide text's own length bounds every read; its indexes are the
    // builder's positions, the text having been written from wide text.
    const wchar_t* pszText = m_clFormated.pszGetW();
    *pnLength = m_clFormated.nGetLongueurW();
    return NA_bMatchWord(pszText, *pnLength, 0, L"SELECT", 6) ? pszText : nullptr;
}

void CNACommand::_RemplaceTopParLimit()
{
    long n = 0;
    const wchar_t* pszText = _pszFormatedSelect(&n);
    if (pszText == nullptr)
        return;
    int64_t llLimit = m_llLimit;
    long nStart = 0;
    long nEnd = 0;
    int64_t llTop = 0;
    bool bTop = false;
    if (s_bFindSelectTop(pszText, n, &nStart, &nEnd, &llTop)) {
        m_clFormated.Coupe(nStart, nEnd - nStart);
        m_llLimit = -1;
        llLimit = llTop;
        bTop = true;
    }
    if (llLimit < 0)
        return;
    // A TOP 0 written in the statement asks for no row: dropping it without
    // a LIMIT would return the whole table.
    if (llLimit == 0 && !bTop)
        return;
    if (s_bRequeteTerminePar(m_clFormated.pszGetW(), L"LIMIT 0"))
        return;
    m_clFormated.Add(L" LIMIT ", -1);
    if (m_llOffset >= 1) {
        m_clFormated.AddNumber(static_cast<long>(m_llOffset));
        m_clFormated.Add(L", ", 2);
    }
    m_clFormated.AddNumber(static_cast<long>(llLimit));
}

void CNACommand::_RemplaceLimitParTop()
{
    long n = 0;
    const wchar_t* pszText = _pszFormatedSelect(&n);
    if (pszText == nullptr)
        return;
    const long nLimit = s_nGetClauseStart(m_pclConnection, pszText, L"LIMIT", -1);
    if (nLimit <= 0)
        return;
    long q = nLimit + 5;
    while (q < n && s_bSeparateur(pszText[q]))
        ++q;
    int64_t llTop = 0;
    // A LIMIT without a number (LIMIT ALL, a parameter) has no TOP form.
    if (!NA_bReadNumber(pszText, n, &q, &llTop))
        return;
    while (q < n && (pszText[q] == L',' || s_bSeparateur(pszText[q])))
        ++q;
    int64_t llSecond = 0;
    if (NA_bReadNumber(pszText, n, &q, &llSecond) && llSecond > 0)
        return;
    long nEnd = nLimit;
    while (nEnd > 6 && s_bSeparateur(pszText[nEnd - 1]))
        --nEnd;
    CTStringConcatAW clNew(m_clFormated.nGetCodePageMaitre(), m_clFormated.nGetCodePageEntree());
    clNew.Add(L"SELECT TOP ", -1);
    clNew.AddNumber(static_cast<long>(llTop));
    clNew.Add(L" ", 1);
    clNew.Add(pszText + 6, nEnd - 6);
    const wchar_t* pszNew = clNew.pszGetW();
    m_clFormated.SetStrCte(pszNew, clNew.nGetLongueurW());
}
