// The current record's columns: finding them by name, by item and by role,
// the components of its composite keys, and the ORDER BY columns that give a
// stable browse order.
#include "common/text/any.h"
#include "common/text/str_compare.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/sql/sql_parser_info.h"

namespace {

// Names compare without regard to case or accents.
bool bSameName(const wchar_t* a, const wchar_t* b)
{
    return STR_nCompareW(a, b, 3) == 0;
}

bool bHasText(const wchar_t* psz)
{
    return psz != nullptr && psz[0] != L'\0';
}

}  // namespace

CNAColumn* CNARecord::pclGetColumnNoRef(const wchar_t* pszName)
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        if (bSameName(m_tabColumns[i]->pszGetName(), pszName))
            return m_tabColumns[i];
    }
    return nullptr;
}

CNAColumn* CNARecord::pclGetColumnNoRef(INAItemDescription* piItem)
{
    if (piItem == nullptr)
        return nullptr;
    // A table's columns stand at their items' physical indexes; the item
    // may be a host's description that does not agree with the record.
    if (!bSourceIsQuery())
        return pclGetColumnNoRef(piItem->nGetPhysicalIndice());
    const wchar_t* pszName = piItem->pszGetName();
    const wchar_t* pszSource = piItem->pszGetSourceName();
    const wchar_t* pszInSource = piItem->pszGetNameInSource();
    CNAColumn* pclRemembered = nullptr;
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        const INAItemDescription* piOther = pclColumn->piGetItemNoRef();
        const wchar_t* pszOtherSource = piOther->pszGetSourceName();
        const wchar_t* pszOtherInSource = piOther->pszGetNameInSource();
        const bool bSameItemName = bSameName(piOther->pszGetName(), pszName);
        if (bHasText(pszSource) && bHasText(pszInSource) && bHasText(pszOtherSource) && bHasText(pszOtherInSource)) {
            if (bSameName(pszOtherSource, pszSource) && bSameName(pszOtherInSource, pszInSource)) {
                if (bSameItemName)
                    return pclColumn;
                pclRemembered = pclColumn;
            }
        } else if (bSameItemName) {
            return pclColumn;
        }
    }
    return pclRemembered;
}

CNAColumn* CNARecord::pclGetNAColumnIdentityNoRef() const
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        if (m_tabColumns[i]->bIsAutoIncrementOnDataBase())
            return m_tabColumns[i];
    }
    return nullptr;
}

CNAColumn* CNARecord::pclGetUniqueKeyNotNullNoRef()
{
    if (m_pclUniqueKeyColumn != nullptr && m_pclUniqueKeyColumn->bValueDefined(0))
        return m_pclUniqueKeyColumn;
    CNAColumn* pclFirstOrder = pclGetColumnOrderNoRef(0);
    if (pclFirstOrder != nullptr && pclFirstOrder->bIsUnique() && pclFirstOrder->bValueDefined(0))
        return pclFirstOrder;
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        if (pclColumn->bIsUnique() && pclColumn->bValueDefined(0))
            return pclColumn;
    }
    return nullptr;
}

CNAColumn* CNARecord::pclGetColumnOrderNoRef(int n) const
{
    return n >= 0 && n < m_tabOrderColumns.nGetNbElement() ? m_tabOrderColumns[n] : nullptr;
}

// --- Composite keys ------------------------------------------------------------

int CNARecord::_bInitCompositeKey()
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        const CColumnArray* pclComponents = pclColumn->pclGetTabComponent();
        if (!pclColumn->bIsComposedKey() || (pclComponents != nullptr && pclComponents->nGetNbElement() > 0))
            continue;
        INAItemDescription* piItem = pclColumn->piGetItem();
        const int nCount = piItem->nGetNumComponents();
        int bResult = 1;
        for (int n = 1; bResult && n <= nCount; ++n) {
            INAItemDescription* piComponent = piItem->piGetItemComponent(n);
            CNAColumn* pclComponent = pclGetColumnNoRef(piComponent);
            if (pclComponent == nullptr) {
                CNAError::g_RaiseSiteError(m_pclError, NASite::kComponentWithoutColumn, m_pclConnection,
                                           pszGetTableName(), pclColumn->pszGetName(), pszGetTableName(),
                                           piComponent != nullptr ? piComponent->pszGetName() : L"");
                bResult = 0;
            } else if (!pclColumn->AddCompositeKey(pclComponent)) {
                if (m_pclError != nullptr)
                    m_pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_RECORD, NASite::kRecordNoMemory,
                                            m_pclConnection, pszGetTableName(), pclColumn->pszGetName());
                bResult = 0;
            }
            if (piComponent != nullptr)
                piComponent->nExternalRelease();
        }
        piItem->nExternalRelease();
        if (!bResult)
            return 0;
    }
    return 1;
}

int CNARecord::bComposedKeyUniqueNotNullAdded(const CColumnArray* pclList, int n,
                                              CColumnNullValueExcluded* pclExclusions)
{
    if (pclList == nullptr || n < 2 || n > pclList->nGetNbElement() || m_tabComposedKeyUnique.nGetNbElement() == 0)
        return 0;
    const CNAColumn* pclLast = (*pclList)[n - 1];
    for (int k = 0; k < m_tabComposedKeyUnique.nGetNbElement(); ++k) {
        CNAColumn* pclKey = m_tabComposedKeyUnique[k];
        const CColumnArray* pclComponents = pclKey->pclGetTabComponent();
        if (pclComponents == nullptr || _nFind(*pclComponents, pclLast) < 0 || pclComponents->nGetNbElement() > n)
            continue;
        bool bNotNull = !pclKey->bIsNullableOnDataBase();
        for (int c = 0; !bNotNull && c < pclComponents->nGetNbElement(); ++c) {
            CNAColumn* pclComponent = (*pclComponents)[c];
            bNotNull = pclExclusions != nullptr ? !pclExclusions->bColumnValuesNullSelected(pclComponent)
                                                : pclComponent->bValueDefined(0) != 0;
        }
        if (!bNotNull)
            continue;
        bool bAllListed = true;
        for (int c = 0; bAllListed && c < pclComponents->nGetNbElement(); ++c) {
            bool bFound = false;
            for (int i = 0; !bFound && i < n; ++i)
                bFound = (*pclList)[i] == (*pclComponents)[c];
            bAllListed = bFound;
        }
        if (bAllListed)
            return 1;
    }
    return 0;
}

// --- ORDER BY ------------------------------------------------------------------

void CNARecord::_AddColumnOrder(CNAColumn* pclColumn)
{
    const int nMax = m_pclConnection != nullptr ? m_pclConnection->nGetOrderByMaxExpressionNbr() : -1;
    if (nMax >= 0 && m_tabOrderColumns.nGetNbElement() >= nMax)
        return;
    if (pclColumn->bIsComposedKey()) {
        for (int i = 0; i < m_tabOrderColumns.nGetNbElement(); ++i) {
            if (pclColumn->bIsComposedKeyComponent(m_tabOrderColumns[i]))
                return;
        }
        // The components go in whole, past the maximum if need be: a key cut
        // short would not order the rows.
        const CColumnArray* pclComponents = pclColumn->pclGetTabComponent();
        for (int c = 0; pclComponents != nullptr && c < pclComponents->nGetNbElement(); ++c)
            (void)_bAppend(m_tabOrderColumns, (*pclComponents)[c]);
        return;
    }
    if (_nFind(m_tabOrderColumns, pclColumn) < 0)
        (void)_bAppend(m_tabOrderColumns, pclColumn);
}

void CNARecord::_SetColumnOrder(CNAColumn* pclColumn)
{
    m_tabOrderColumns.SupprimeTout();
    _AddColumnOrder(pclColumn);
}

void CNARecord::_InitOrderBy()
{
    // The query's own ORDER BY first: the columns below only complete it,
    // unless one of them orders the rows alone.
    CSQLParserInfo* pclQuery = bSourceIsQuery() ? pclGetSourceQueryNoRef() : nullptr;
    if (pclQuery != nullptr) {
        for (IInfoOrderBy* piOrder = pclQuery->piEnumRubriqueClauseOrder(1); piOrder != nullptr;
             piOrder = pclQuery->piEnumRubriqueClauseOrder(0)) {
            IInfoRubrique* piItem = pclQuery->piGetRubriqueOUT(piOrder->nGetIndex());
            CNAColumn* pclColumn = piItem != nullptr ? pclGetColumnNoRef(piItem->pszGetNom()) : nullptr;
            if (pclColumn != nullptr)
                _AddColumnOrder(pclColumn);
        }
    }
    if (m_pclIDAutoColumn != nullptr) {
        _SetColumnOrder(m_pclIDAutoColumn);
        return;
    }
    // Unique keys, single then composite: the first that is never NULL in
    // the database orders the rows alone.
    for (int bComposite = 0; bComposite <= 1; ++bComposite) {
        for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
            CNAColumn* pclColumn = m_tabColumns[i];
            if ((pclColumn->bIsComposedKey() != 0) != (bComposite != 0) || !pclColumn->piGetItemNoRef()->bUnique())
                continue;
            if (!pclColumn->bIsNullableOnDataBase()) {
                _SetColumnOrder(pclColumn);
                return;
            }
            _AddColumnOrder(pclColumn);
        }
    }
    for (int bComposite = 0; bComposite <= 1; ++bComposite) {
        for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
            CNAColumn* pclColumn = m_tabColumns[i];
            if ((pclColumn->bIsComposedKey() != 0) == (bComposite != 0) && pclColumn->piGetItemNoRef()->bDuplicates())
                _AddColumnOrder(pclColumn);
        }
    }
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        const INAItemDescription* piItem = pclColumn->piGetItemNoRef();
        if (!piItem->bUnique() && !piItem->bDuplicates() && !pclColumn->bIsMemo())
            _AddColumnOrder(pclColumn);
    }
}
