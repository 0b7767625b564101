// The WHERE text of a search's current condition, joined to an active
// filter's condition.
#include "native/model/column_null_exclusions.h"
#include "native/sql/command.h"
#include "native/sql/filter.h"
#include "native/sql/search.h"

int CNARecherche::bGetSQL(CNACommand* pclCommand, CNAFilter* pclFilter, CNARecord* pclRecord)
{
    if (pclCommand == nullptr)
        return 0;
    pclCommand->ResetCommand(0);
    RemoveAllParameters();

    CNAExpression* pclFilterNode =
        pclFilter != nullptr && pclFilter != this && pclFilter->bIsFilterActive() ? pclFilter->pclGetExpressionNoRef(0)
                                                                                   : nullptr;
    CNAExpression* pclNode = nullptr;
    if (pclFilterNode != nullptr && m_pclCurrent != nullptr) {
        pclNode = pclAllocExpression();
        if (pclNode == nullptr)
            return 0;
        pclNode->InitExpression(NA_OP_AND, pclFilterNode, m_pclCurrent,
                                bIsComposedKeySearch() ? NA_SEARCH_COMPOSED_KEY : 0u);
    } else {
        pclNode = pclFilterNode != nullptr ? pclFilterNode : m_pclCurrent;
    }
    if (pclNode == nullptr)
        return 1;
    REF_AddRef(pclNode);

    int nDropped = 0;
    int bOk = pclNode->bGetSQL(pclCommand, NA_OP_NONE, this, &nDropped, pclRecord);
    if (nDropped != 0) {
        // A condition that is always false still has to select no row.
        if (bOk && nDropped == NA_OP_FALSE && pclCommand->nGetOriginalLength() == 0)
            bOk = pclCommand->bComplete(L"0=1", static_cast<unsigned long>(-1));
    } else if (bOk) {
        bOk = _bCopyNullSelection(pclCommand, pclNode);
    }
    REF_Release(pclNode);
    return bOk;
}

int CNARecherche::_bCopyNullSelection(CNACommand* pclCommand, CNAExpression* pclNode)
{
    // The command's list made if missing, then emptied and given the
    // condition's entries.
    if (pclCommand->pclGetColumnNullNoRef() == nullptr) {
        CColumnNullValueExcluded clEmpty;
        if (!pclCommand->bCopyColumnValuesNullSelected(&clEmpty))
            return 0;
    }
    CColumnNullValueExcluded* pclTarget = pclCommand->pclGetColumnNullNoRef();
    if (pclTarget == nullptr)
        return 0;
    pclTarget->Reset();
    CColumnNullValueExcluded* pclSource = pclNode->pclGetColumnNullNoRef();
    return pclSource == nullptr || pclTarget->bCopyColumnValuesNullSelected(pclSource, 0);
}
