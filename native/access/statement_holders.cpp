// The statement's search and filter: made on first use for its error object
// and connection, swapped with their references, activated and cancelled;
// and the user search that judges the found state.
#include "native/access/data_access.h"
#include "native/access/held_references.h"
#include "native/access/statement.h"
#include "native/access/statement_sites.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/na_data_source_description.h"
#include "native/model/record.h"
#include "native/sql/filter.h"

#include "native/sql/search.h"

namespace {

// The item of the data source under that name, with an external reference
// for the caller, or null.
INAItemDescription* piFindItem(INADataSourceDescription* piSource, const wchar_t* pszItem)
{
    if (piSource == nullptr || pszItem == nullptr)
        return nullptr;
    return piSource->piNAGetItem(pszItem);
}

}  // namespace

CNARecherche* CNAStatement::pclAllocRecherche()
{
    return new (std::nothrow) CNARecherche(m_pclError, pclGetConnectionNoRef());
}

CNAFilter* CNAStatement::pclAllocFilter()
{
    return new (std::nothrow) CNAFilter(m_pclError, pclGetConnectionNoRef());
}

void CNAStatement::_SetRecherche(CNARecherche* pclRecherche)
{
    NA_ReplaceHeld(m_pclRecherche, pclRecherche);
}

CNARecherche* CNAStatement::pclGetRecherche()
{
    if (m_pclRecherche == nullptr)
        _SetRecherche(pclAllocRecherche());
    if (m_pclRecherche != nullptr)
        REF_AddRef(m_pclRecherche);
    return m_pclRecherche;
}

int CNAStatement::bExistRechercheObject() const
{
    return m_pclRecherche != nullptr && m_pclRecherche->nGetState() != 0;
}

void CNAStatement::DesactivateRecherche()
{
    if (m_pclRecherche != nullptr)
        m_pclRecherche->Desactivate();
}

void CNAStatement::AnnuleRecherche()
{
    if (m_pclRecherche != nullptr)
        m_pclRecherche->Cancel();
}

void CNAStatement::AnnuleRechercheUser()
{
    m_clUserSearch.CancelUserSearch();
    if (!m_bInternalSearch)
        AnnuleRecherche();
}

void CNAStatement::DesactivateRechercheUserAndInternal()
{
    m_clUserSearch.CancelUserSearch();
    DesactivateRecherche();
    m_bInternalSearch = 0;
}

int CNAStatement::bSetContinueParcours(eNA_PARSEDIRECTION eDirection)
{
    return m_pclRecherche != nullptr && m_pclRecherche->bSetContinueParcours(static_cast<int>(eDirection));
}

int CNAStatement::_bSetRecherche(INAItemDescription* piItem, const CAny* pclValue, eNA_PARSEDIRECTION eDirection,
                                 int bExact)
{
    CNARecherche* pclRecherche = pclGetRecherche();
    if (pclRecherche == nullptr)
        return 0;
    const int bDone = pclRecherche->bSetRecherche(m_pclCurrentRecord, piItem, pclValue, eDirection, bExact, 0);
    REF_Release(pclRecherche);
    return bDone;
}

int CNAStatement::bSetUserSearch(const wchar_t* pszItem, const CAny* pclValue, eNA_PARSEDIRECTION eDirection,
                                 int bExact)
{
    INAItemDescription* piItem = piFindItem(m_piDataSource, pszItem);
    if (piItem == nullptr)
        return 0;
    m_clUserSearch.SetUserSearch(piItem, pclValue, bExact ? 0 : CNAUserSearch::kGeneric);
    m_bInternalSearch = 0;
    const int bDone = _bSetRecherche(piItem, pclValue, eDirection, bExact);
    piItem->nExternalRelease();
    (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    return bDone;
}

// --- Filter -------------------------------------------------------------------

void CNAStatement::_SetFilter(CNAFilter* pclFilter)
{
    NA_ReplaceHeld(m_pclFilter, pclFilter);
}

void CNAStatement::_SetFilter(CNAFilterSave* pclSave)
{
    if (pclSave == nullptr)
        return;
    _SetFilter(pclSave->pclGetFilterNoRef());
    if (m_pclFilter != nullptr)
        m_pclFilter->ActivateFilter(pclSave->bFilterWasActive());
}

CNAFilter* CNAStatement::_pclGetFilter()
{
    if (m_pclFilter == nullptr)
        _SetFilter(pclAllocFilter());
    return m_pclFilter;
}

CNAFilter* CNAStatement::pclGetFilter() const
{
    if (m_pclFilter != nullptr)
        REF_AddRef(m_pclFilter);
    return m_pclFilter;
}

int CNAStatement::bExistFilter() const
{
    return m_pclFilter != nullptr && m_pclFilter->bIsFilterActive();
}

CNAFilter* CNAStatement::pclActivateFilter()
{
    CNAFilter* pclFilter = _pclGetFilter();
    if (pclFilter != nullptr)
        pclFilter->ActivateFilter(1);
    return pclFilter;
}

void CNAStatement::DesactivateFilter()
{
    if (m_pclFilter != nullptr)
        m_pclFilter->ActivateFilter(0);
}

int CNAStatement::bSetFilter(const wchar_t* pszItem, const CAny* pclMin, int bMinIncluded, const CAny* pclMax,
                             int bMaxIncluded, ISQLParserInformation* piCondition)
{
    INAItemDescription* piItem = piFindItem(m_piDataSource, pszItem);
    if (piItem == nullptr)
        return 0;
    // A filter another holder shares (a saved filter, a position) stays as
    // it is: this parse gets a new one.
    if (m_pclFilter != nullptr && m_pclFilter->m_dwRefCount >= 2)
        _SetFilter(static_cast<CNAFilter*>(nullptr));
    CNAFilter* pclFilter = _pclGetFilter();
    int bDone = 0;
    if (pclFilter != nullptr)
        bDone = pclFilter->bSetFilter(m_pclCurrentRecord, piItem, pclMin, bMinIncluded, pclMax, bMaxIncluded,
                                      piCondition, 0);
    piItem->nExternalRelease();
    return bDone;
}

// --- Condition on the current row -------------------------------------

int CNAStatement::_bAddWHERECurrentRecord(CNACommand* pclCommand, int bAddWhere, const CColumnArray* pclColumns)
{
    if (pclCommand == nullptr || m_pclDataAccess == nullptr)
        return 0;
    CNARecherche* pclSearch = pclAllocRecherche();
    if (pclSearch == nullptr)
        return 0;
    REF_AddRef(pclSearch);
    INAItemDescription* piItem = m_pclDataAccess->piGetBestParseItemDesc();
    int bDone = pclSearch->bRechercheEnreg(m_pclCurrentRecord, piItem, NADirection::kFirst, 1, pclColumns);
    if (piItem != nullptr)
        piItem->nExternalRelease();
    CNACommand* pclCondition = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclCondition != nullptr) {
        REF_AddRef(pclCondition);
        bDone = pclSearch->bGetSQL(pclCondition, nullptr, nullptr) && bDone;
        if (bAddWhere && !pclCommand->bComplete(L" WHERE ", static_cast<unsigned long>(-1)))
            bDone = 0;
        if (!pclCommand->bAdd(pclCondition, CNACommand::ADDMODE_SHARE))
            bDone = 0;
        REF_Release(pclCondition);
    } else {
        bDone = 0;
    }
    REF_Release(pclSearch);
    return bDone;
}

int CNAStatement::bGetClauseWHERE(CNACommand* pclCommand)
{
    if (!bExistFilter() && !bExistRechercheObject())
        return 1;
    CNARecherche* pclSearch = pclGetRecherche();
    if (pclSearch == nullptr)
        return 0;
    const int bDone = pclSearch->bGetSQL(pclCommand, m_pclFilter, m_pclCurrentRecord);
    REF_Release(pclSearch);
    return bDone;
}
