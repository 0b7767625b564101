// The host's filters on a data access: bounds on an item or a condition
// the host parsed, carried by the item's statement. Only the filter of the
// latest bHFiltre is active afterwards; the data access keeps it so that it
// can be switched on again from any item.
#include "native/access/data_access.h"
#include "native/access/held_references.h"
#include "native/access/statement.h"
#include "native/sql/filter.h"

int CNADataAccess::bHFiltre(const wchar_t* pszItem, const CAny* pclLow, int bLowIncluded, const CAny* pclHigh,
                            int bHighIncluded, ISQLParserInformation* piCondition)
{
    CNAStatement* pclStatement = _pclGetNewItemStatement(pszItem, NADirection::kFirst, 0);
    if (pclStatement == nullptr)
        return 0;
    const int bResult = pclStatement->bSetFilter(pszItem, pclLow, bLowIncluded, pclHigh, bHighIncluded, piCondition);
    if (bResult) {
        _DesactivateAllFilter();
        SetLatestFilter(pclStatement->pclActivateFilter());
    }
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHFiltre(ISQLParserInformation* piCondition, wchar_t* pszItem)
{
    if (!bFindBestItem(piCondition, pszItem))
        return 0;
    return bHFiltre(pszItem, nullptr, 0, nullptr, 0, piCondition);
}

int CNADataAccess::bHActiveFiltre(const wchar_t* pszItem)
{
    // The latest filter, whichever statement carries it.
    if (m_pclLatestFilter != nullptr)
        m_pclLatestFilter->ActivateFilter(1);
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        return 1;
    int bResult = 1;
    if (pclStatement->bParseStarted() && pclStatement->eParseNeedUpdate() == NA_PNU_NONE)
        bResult = pclStatement->bSetParseNeedUpdate(NA_PNU_REPOSITION);
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHDesactiveFiltre(const wchar_t* pszItem)
{
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        return 1;
    pclStatement->DesactivateFilter();
    REF_Release(pclStatement);
    return 1;
}

void CNADataAccess::SetLatestFilter(CNAFilter* pclFilter)
{
    if (pclFilter != m_pclLatestFilter)
        NA_ReplaceHeld(m_pclLatestFilter, pclFilter);
}

void CNADataAccess::_DesactivateAllFilter()
{
    NA_ForEachHeld<CNAStatement>(m_tabStatement, [](CNAStatement* pclStatement) { pclStatement->DesactivateFilter(); });
}
