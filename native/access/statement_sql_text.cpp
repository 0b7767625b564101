// An execution statement's result as text: column names, rows, and the one
// value of a query run for it. Values are read through the statement's
// value reading (its bGetValue into a runtime value).
#include "common/text/any.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column_sql.h"

int CNAStatementSQL::bGetStmtLastError(INAError** ppiError) const
{
    if (ppiError != nullptr)
        *ppiError = m_pclError;
    return 1;
}

void CNAStatementSQL::ResetLastError()
{
    if (m_pclError != nullptr)
        m_pclError->Reset();
}

const wchar_t* CNAStatementSQL::_pszGetColumnName(unsigned nColumn)
{
    // A column number beyond the int range reaches the column as negative:
    // user error 51, as for -1.
    const CNAColumnSQL* pclColumn = pclGetNAColumnSQL(static_cast<int>(nColumn));
    return pclColumn != nullptr ? pclColumn->m_csName.pszGet() : nullptr;
}

int CNAStatementSQL::bGetColumnName(CAny* pclName, unsigned nColumn, unsigned)
{
    const wchar_t* pszName = _pszGetColumnName(nColumn);
    if (pszName == nullptr)
        return 0;
    return NA_bSetWideText(pclName, ZLTYPE_PSTRW, pszName);
}

int CNAStatementSQL::bGetColumnList(CAny* pclList, unsigned)
{
    if (m_nColumnCount < 1)
        return 1;
    CXYStringConcat<wchar_t> clList;
    for (uint32_t i = 0; i < m_nColumnCount; ++i) {
        const wchar_t* pszName = _pszGetColumnName(i);
        if (pszName == nullptr)
            return 0;
        if (i > 0)
            clList.Add(L"\r\n");
        clList.Add(pszName);
        if (!NA_bSetWideText(pclList, ZLTYPE_DSTRW, clList.pszGet(), clList.nGetLongueur()))
            return 0;
    }
    return 1;
}

int CNAStatementSQL::bGetRow(CXYStringConcat<wchar_t>* pclRow, const wchar_t* pszSeparator, int nColumns,
                             unsigned nFlags)
{
    if (m_bNoCurrentRow) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kRowWithoutCurrentRow, m_pclConnection, nullptr, nullptr,
                                   L"");
        return 0;
    }
    pclRow->Vide();
    uint32_t n = m_nColumnCount;
    if (nColumns > 0 && static_cast<uint32_t>(nColumns) < n)
        n = static_cast<uint32_t>(nColumns);
    if (n == 0)
        return 1;
    const bool bSeparator = pszSeparator != nullptr && pszSeparator[0] != 0;
    CAny value;
    int bRead = bGetValue(&value, 0, nFlags);
    for (uint32_t i = 0; i < n && bRead; ++i) {
        const wchar_t* pszText = NA_pszWideTextOf(&value);
        if (pszText != nullptr)
            pclRow->Add(pszText);
        if (i + 1 < n) {
            // The separator follows the read of the next column whatever
            // that read gives: a failed read leaves it appended.
            bRead = bGetValue(&value, i + 1, nFlags);
            if (bSeparator)
                pclRow->Add(pszSeparator);
        }
    }
    return bRead;
}

int CNAStatementSQL::bGetRow(CAny* pclRow, const wchar_t* pszSeparator, int nColumns, unsigned nFlags)
{
    CXYStringConcat<wchar_t> clRow(1024);
    const int bDone = bGetRow(&clRow, pszSeparator, nColumns, nFlags);
    const int bSet = NA_bSetWideText(pclRow, ZLTYPE_PSTRW, clRow.pszGet(), clRow.nGetLongueur());
    return bDone && bSet ? 1 : 0;
}

int CNAStatementSQL::bGetRequestedValue(CAny* pclValue, int nColumn, const wchar_t* pszSQL)
{
    int bDone = bExecuteDirect(pszSQL, nullptr, 0);
    if (bDone)
        bDone = bFetch(0);
    if (bDone && !m_bNoCurrentRow)
        bDone = bGetValue(pclValue, static_cast<unsigned>(nColumn), 0);
    (void)bReset();
    return bDone;
}
