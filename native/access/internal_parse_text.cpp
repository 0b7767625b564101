// An internal query's rows as text: one row appended with its separators,
// every row, and the one-shot form that runs a text and reads its whole
// result.
#include "common/text/any.h"
#include "common/text/xy_string_concat.h"
#include "native/access/data_access.h"
#include "native/access/internal_parse.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"

int CNAInternalParse::bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CXYStringConcat<wchar_t>* pclText,
                                 const wchar_t* pszRowSeparator, const wchar_t* pszColumnSeparator)
{
    int bOut = 0;
    if (pbOut == nullptr)
        pbOut = &bOut;
    if (m_pclStatement == nullptr || pclText == nullptr)
        return 0;
    const int bMoved = m_pclStatement->bFetch(eDirection, 1, 1, nullptr);
    m_pclStatement->HEndehors(pbOut);
    if (!bMoved || *pbOut)
        return bMoved;
    if (pclText->nGetLongueur() > 0)
        pclText->Add(pszRowSeparator);
    CNARecord* pclRecord = m_pclDataAccess->pclGetCurrentRecordNoRef();
    const int nColumns = pclRecord != nullptr ? pclRecord->nGetNbColumn() : 0;
    for (int n = 0; n < nColumns; ++n) {
        CAny clValue;
        if (!pclRecord->pclGetColumnNoRef(n)->bGetCurrentValue(&clValue, 0))
            return 0;
        // A NULL value, or one with no text, shows as nothing between its
        // separators.
        const wchar_t* pszValue = nullptr;
        if (clValue.__nCastTo(ZLTYPE_PSTRW, nullptr, 1) <= 99 && !clValue.bIsNull() &&
            clValue.nGetTypeCode() == ZLTYPE_PSTRW)
            (void)clValue.Objet().nGetPCWSTR(&pszValue);
        if (n > 0)
            pclText->Add(pszColumnSeparator);
        pclText->Add(pszValue);
    }
    return 1;
}

int CNAInternalParse::bFetchAll(CXYStringConcat<wchar_t>* pclText, const wchar_t* pszRowSeparator,
                                const wchar_t* pszColumnSeparator)
{
    if (m_pclStatement == nullptr)
        return 0;
    // A failed read fails the whole: the text so far is only part of the
    // result, and its error is already in the error object.
    int bOut = 0;
    if (!bFetchData(NADirection::kFirst, &bOut, pclText, pszRowSeparator, pszColumnSeparator))
        return 0;
    while (!bOut) {
        if (!bFetchData(NADirection::kNext, &bOut, pclText, pszRowSeparator, pszColumnSeparator))
            return 0;
    }
    return 1;
}

int CNAInternalParse::s_bDoInternalParse(const wchar_t* pszText, CNAError* pclError,
                                         CNAConnectionDescription* pclConnection, CXYStringConcat<wchar_t>* pclText,
                                         const wchar_t* pszRowSeparator, const wchar_t* pszColumnSeparator)
{
    CNAInternalParse* pclParse = s_pclGetNAInternalParse(pszText, pclError, pclConnection);
    if (pclParse == nullptr)
        return 0;
    pclParse->dwAddRef();
    // A text without result (no statement) ran: nothing to append.
    const int bDone = pclParse->m_pclStatement == nullptr
                          ? 1
                          : pclParse->bFetchAll(pclText, pszRowSeparator, pszColumnSeparator);
    pclParse->dwRelease();
    return bDone;
}
