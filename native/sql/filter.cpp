// Setting, activating and comparing filters.
#include <new>

#include "common/text/any_calcul.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/sql/filter.h"

CNARecherche* CNAFilter::_pclAllocRecherche()
{
    return new (std::nothrow) CNAFilter(m_pclError, m_pclConnection);
}

CNAFilter* CNAFilter::pclCloneFilter()
{
    return static_cast<CNAFilter*>(CNARecherche::pclClone());
}

void CNAFilter::ActivateFilter(int bActive)
{
    if (bActive)
        m_nState = 1;
    else
        Desactivate();
}

int CNAFilter::bSetFilter(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclMin, int bMinIncluded,
                          const CAny* pclMax, int bMaxIncluded, ISQLParserInformation* piCondition, int nOptions)
{
    _SetExpression(&m_pclFirst, nullptr);
    _SetExpression(&m_pclCurrent, nullptr);
    _SetFetchItem(piItem);
    const unsigned nBase = static_cast<unsigned>(nOptions);

    // The bounds come in the item's browse order: on a descending item the
    // lower bound is the second, and each keeps its own included flag.
    if (pclMin != nullptr && pclMax != nullptr && piItem != nullptr && piItem->bGetDescendant(-1)) {
        std::swap(pclMin, pclMax);
        std::swap(bMinIncluded, bMaxIncluded);
    }
    const bool bFromRecord = (nBase & NA_SEARCH_FROM_RECORD) != 0;
    bool bAsked = false;
    bool bEmptyRange = false;
    CNAExpression* pclLower = nullptr;
    CNAExpression* pclUpper = nullptr;
    if (pclMin != nullptr || bFromRecord) {
        bAsked = true;
        eNAOperator eOp = bMinIncluded ? NA_OP_GE : NA_OP_GT;
        if (pclMin != nullptr && pclMax != nullptr && !bFromRecord) {
            int bEqual = 0;
            if (nEgalite(*pclMin, *pclMax, &bEqual, 0) == 0 && bEqual) {
                // Equal bounds select the value only when both include it.
                if (bMinIncluded && bMaxIncluded)
                    eOp = NA_OP_EQ;
                else
                    bEmptyRange = true;
                pclMax = nullptr;
            }
        } else if (bFromRecord && pclMax == nullptr) {
            eOp = NA_OP_EQ;
        }
        if (bEmptyRange) {
            pclLower = pclAllocExpression();
            if (pclLower != nullptr)
                pclLower->InitExpression(NA_OP_FALSE, static_cast<CNAExpression*>(nullptr), nullptr, nBase);
        } else {
            pclLower = _pclAddExpression(pclRecord, piItem, eOp, pclMin,
                                         nBase | NA_SEARCH_SPLIT | NA_SEARCH_LOWER_BOUND, nullptr);
        }
    }
    if (pclMax != nullptr) {
        bAsked = true;
        pclUpper = _pclAddExpression(pclRecord, piItem, bMaxIncluded ? NA_OP_LE : NA_OP_LT, pclMax,
                                     nBase | NA_SEARCH_SPLIT | NA_SEARCH_UPPER_BOUND, nullptr);
    }
    CNAExpression* pclCondition = _pclJoin(NA_OP_AND, pclLower, pclUpper);
    if (pclCondition != nullptr)
        REF_AddRef(pclCondition);

    if (piCondition != nullptr) {
        bAsked = true;
        CNAExpression* pclSQL = pclAllocExpression();
        if (pclSQL != nullptr && !pclSQL->InitExpression(piCondition, nBase)) {
            REF_AddRef(pclSQL);
            REF_Release(pclSQL);
            pclSQL = nullptr;
        }
        if (pclSQL != nullptr) {
            CNAExpression* pclJoined = pclCondition != nullptr ? pclCondition->pclAddOperation(NA_OP_AND, pclSQL) : pclSQL;
            if (pclJoined != nullptr) {
                REF_AddRef(pclJoined);
                if (pclCondition != nullptr)
                    REF_Release(pclCondition);
                pclCondition = pclJoined;
            } else {
                REF_AddRef(pclSQL);
                REF_Release(pclSQL);
            }
        }
    }
    _SetExpression(&m_pclFirst, pclCondition);
    if (pclCondition != nullptr)
        REF_Release(pclCondition);
    if (!bAsked)
        return 1;
    _SetExpression(&m_pclCurrent, m_pclFirst);
    if (m_pclFirst != nullptr)
        return 1;
    // A bound that is always true builds nothing and is simply left out; an
    // item without a column in the record builds nothing either.
    return piCondition == nullptr && pclRecord != nullptr && piItem != nullptr &&
           pclRecord->pclGetColumnNoRef(piItem) != nullptr;
}

int g_bEqualsFilter(const CNAFilter* pclA, const CNAFilter* pclB)
{
    if (pclA == nullptr)
        return pclB == nullptr || !pclB->bIsFilterActive();
    if (pclB == nullptr)
        return !pclA->bIsFilterActive();
    return pclA->bEqualsFilter(pclB);
}
