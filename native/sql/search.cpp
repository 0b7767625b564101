// A search's life: set-up, the switch between its first condition and its
// continuations, equality and clone.
#include <cwchar>

#include "common/text/any_calcul.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/item_rules.h"
#include "native/model/record.h"
#include "native/sql/search.h"

CNARecherche::CNARecherche() = default;

CNARecherche::CNARecherche(CNAError* pclError, CNAConnectionDescription* pclConnection)
    : m_pclError(pclError), m_pclConnection(pclConnection)
{
    if (m_pclError != nullptr)
        REF_AddRef(m_pclError);
    if (m_pclConnection != nullptr)
        REF_AddRef(m_pclConnection);
}

CNARecherche::~CNARecherche()
{
    _DropExpressions();
    _SetFetchItem(nullptr);
    if (m_pclConnection != nullptr)
        REF_Release(m_pclConnection);
    if (m_pclError != nullptr)
        REF_Release(m_pclError);
    RemoveAllParameters();
}

CNAExpression* CNARecherche::pclAllocExpression()
{
    return new (std::nothrow) CNAExpression(m_pclError);
}

CNARecherche* CNARecherche::_pclAllocRecherche()
{
    return new (std::nothrow) CNARecherche(m_pclError, m_pclConnection);
}

CNARecherche* CNARecherche::pclClone()
{
    CNARecherche* pclClone = _pclAllocRecherche();
    if (pclClone == nullptr)
        return nullptr;
    pclClone->m_nState = m_nState;
    pclClone->m_nDirection = m_nDirection;
    pclClone->m_bCancelled = m_bCancelled;
    pclClone->m_nOptions = m_nOptions;
    _SetExpression(&pclClone->m_pclFirst, m_pclFirst);
    _SetExpression(&pclClone->m_pclForward, m_pclForward);
    _SetExpression(&pclClone->m_pclBackward, m_pclBackward);
    _SetExpression(&pclClone->m_pclCurrent, m_pclCurrent);
    const CNARefArray<CNAParameter>& tab = tabGetParameters();
    for (int n = 0; n < tab.nGetNbElement(); ++n) {
        CNAParameter* pclParameter = tab[n];
        if (pclParameter != nullptr && pclClone->m_tabParameters.Ajoute(pclParameter))
            REF_AddRef(pclParameter);
    }
    pclClone->m_clValue = m_clValue;
    return pclClone;
}

// --- Conditions ------------------------------------------------------------------

void CNARecherche::_SetExpression(CNAExpression** ppclTarget, CNAExpression* pclNode)
{
    if (*ppclTarget == pclNode)
        return;
    if (pclNode != nullptr)
        REF_AddRef(pclNode);
    CNAExpression* pclOld = *ppclTarget;
    *ppclTarget = pclNode;
    if (pclOld != nullptr)
        REF_Release(pclOld);
}

void CNARecherche::_DropExpressions()
{
    _SetExpression(&m_pclCurrent, nullptr);
    _SetExpression(&m_pclFirst, nullptr);
    _SetExpression(&m_pclForward, nullptr);
    _SetExpression(&m_pclBackward, nullptr);
}

void CNARecherche::_SetFetchItem(INAItemDescription* piItem)
{
    if (piItem == m_piFetchItem)
        return;
    if (piItem != nullptr)
        piItem->ExternalAddRef();
    if (m_piFetchItem != nullptr)
        m_piFetchItem->nExternalRelease();
    m_piFetchItem = piItem;
}

CNAExpression* CNARecherche::pclGetExpression() const
{
    if (m_pclFirst != nullptr)
        REF_AddRef(m_pclFirst);
    return m_pclFirst;
}

CNAExpression* CNARecherche::pclGetExpressionNoRef(int n) const
{
    switch (n) {
    case 0:
        return m_pclFirst;
    case 1:
        return m_pclForward;
    case 2:
        return m_pclBackward;
    default:
        return m_pclCurrent;
    }
}

int CNARecherche::bIsComposedKeySearch() const
{
    if ((m_nOptions & NA_SEARCH_RECORD) != 0)
        return 0;
    return m_piFetchItem != nullptr && m_piFetchItem->bIsComposedKey();
}

// --- Set-up ------------------------------------------------------------------------

int CNARecherche::bSetRecherche(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclValue,
                                eNA_PARSEDIRECTION eDirection, int bExact, int)
{
    return _bSetRecherche(pclRecord, piItem, pclValue, eDirection, bExact == 0 ? NA_SEARCH_GENERIC : 0u, nullptr);
}

int CNARecherche::bRechercheEnreg(CNARecord* pclRecord, INAItemDescription* piItem, eNA_PARSEDIRECTION eDirection,
                                  int bFirstOnly, const CColumnArray* pclColumns)
{
    const unsigned nOptions = NA_SEARCH_RECORD | NA_SEARCH_FROM_RECORD | (bFirstOnly ? NA_SEARCH_FIRST_ONLY : 0u);
    return _bSetRecherche(pclRecord, piItem, nullptr, eDirection, nOptions, pclColumns);
}

int CNARecherche::_bSetRecherche(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclValue,
                                 eNA_PARSEDIRECTION eDirection, unsigned nOptions, const CColumnArray* pclColumns)
{
    _DropExpressions();
    if (pclValue != nullptr && pclValue != &m_clValue)
        m_clValue = *pclValue;
    const CAny* pclSearched = pclValue != nullptr ? &m_clValue : nullptr;
    m_nDirection = static_cast<int32_t>(eDirection);
    m_nState = 1;
    m_bCancelled = 0;
    m_nOptions = nOptions;
    _SetFetchItem(piItem);
    if (pclRecord == nullptr || piItem == nullptr) {
        m_nState = 0;
        return 1;
    }

    // Positioning on a record prefers a unique key whose values are never
    // NULL: among the given columns first, else the record's own.
    CNAExpression* pclFirst = nullptr;
    if ((nOptions & NA_SEARCH_RECORD) != 0 && !piItem->bUnique()) {
        CNAColumn* pclUnique = nullptr;
        for (int n = 0; pclColumns != nullptr && n < pclColumns->nGetNbElement() && pclUnique == nullptr; ++n) {
            CNAColumn* pclColumn = (*pclColumns)[n];
            if (pclColumn != nullptr && pclColumn->bIsUnique() && pclColumn->bValueDefined(0))
                pclUnique = pclColumn;
        }
        if (pclUnique == nullptr)
            pclUnique = pclRecord->pclGetUniqueKeyNotNullNoRef();
        if (pclUnique != nullptr)
            pclFirst = _pclAddExpression(pclRecord, pclUnique->piGetItemNoRef(), NA_OP_EQ, nullptr, nOptions,
                                         pclColumns);
    }
    if (pclFirst == nullptr)
        pclFirst = _pclAddExpression(pclRecord, piItem, NA_OP_EQ, pclSearched, nOptions, pclColumns);
    if (pclFirst == nullptr) {
        m_nState = 0;
        return 1;
    }
    _SetExpression(&m_pclFirst, pclFirst);

    if ((nOptions & NA_SEARCH_FIRST_ONLY) == 0) {
        CNAColumn* pclColumn = pclRecord->pclGetColumnNoRef(piItem);
        const bool bTransform = (pclColumn == nullptr || !pclColumn->bIsComposedKey()) &&
                                ((nOptions & NA_SEARCH_RECORD) == 0 || NA_bUniqueNotNull(piItem));
        const eNAOperator aeOps[2] = {NA_OP_GT, NA_OP_LT};
        CNAExpression** appclTargets[2] = {&m_pclForward, &m_pclBackward};
        for (int n = 0; n < 2; ++n) {
            CNAExpression* pclContinuation = nullptr;
            if (bTransform) {
                CNAExpression* pclClone = m_pclFirst->pclClone();
                if (pclClone != nullptr) {
                    // The root may be replaced by the node standing in its
                    // place; the clone is held while it turns.
                    REF_AddRef(pclClone);
                    pclContinuation = pclClone->pclTransformEqualTo(pclRecord, nullptr, aeOps[n]);
                    if (pclContinuation == nullptr)
                        pclContinuation = pclClone;
                    _SetExpression(appclTargets[n], pclContinuation);
                    REF_Release(pclClone);
                    continue;
                }
            } else {
                pclContinuation = _pclAddExpression(pclRecord, piItem, aeOps[n], pclSearched, nOptions, pclColumns);
            }
            _SetExpression(appclTargets[n], pclContinuation);
        }
    }
    _SetExpression(&m_pclCurrent, m_pclFirst);
    return 1;
}

int CNARecherche::bAddExpression(CNARecord* pclRecord, INAItemDescription* piItem, eNAOperator eOp,
                                 const CAny* pclValue, int bGeneric, eNAOperator eJoin, int bSplit)
{
    if (m_nState == 0)
        _DropExpressions();
    const unsigned nOptions = (bGeneric ? NA_SEARCH_GENERIC : 0u) | (bSplit ? NA_SEARCH_SPLIT : 0u);
    CNAExpression* pclNode = _pclAddExpression(pclRecord, piItem, eOp, pclValue, nOptions, nullptr);
    if (pclNode != nullptr) {
        REF_AddRef(pclNode);
        CNAExpression** appclTargets[3] = {&m_pclFirst, &m_pclForward, &m_pclBackward};
        for (CNAExpression** ppclTarget : appclTargets) {
            if (*ppclTarget == nullptr) {
                _SetExpression(ppclTarget, pclNode);
                continue;
            }
            CNAExpression* pclJoined = (*ppclTarget)->pclAddOperation(eJoin, pclNode);
            if (pclJoined != nullptr)
                _SetExpression(ppclTarget, pclJoined);
        }
        REF_Release(pclNode);
    }
    m_nState = 1;
    _SetExpression(&m_pclCurrent, m_pclFirst);
    return 1;
}

// --- State ---------------------------------------------------------------------------

void CNARecherche::_SetContinueParcours(int nDirection)
{
    _SetExpression(&m_pclCurrent, nullptr);
    if (m_nState == 1) {
        m_nState = 2;
        // A continuation that was not built leaves no current condition.
        _SetExpression(&m_pclCurrent, nDirection != 0 ? m_pclBackward : m_pclForward);
    } else {
        m_nState = 1;
        _SetExpression(&m_pclCurrent, m_pclFirst);
    }
    m_nDirection = nDirection;
}

int CNARecherche::bSetContinueParcours(int nDirection)
{
    _SetContinueParcours(nDirection);
    return 1;
}

int CNARecherche::bReviensParcoursPrecedent(int nDirection)
{
    _SetContinueParcours(nDirection);
    return 1;
}

int CNARecherche::bPeutContinuerParcours(int nDirection) const
{
    if (m_nState == 1)
        return 1;
    if (m_nState == 2)
        return nDirection != m_nDirection;
    return 0;
}

void CNARecherche::Desactivate()
{
    m_nState = 0;
    _SetExpression(&m_pclCurrent, nullptr);
}

// --- Equality --------------------------------------------------------------------------

int CNARecherche::bEqualsSearch(const CNARecherche* pclOther) const
{
    if (pclOther == this)
        return 1;
    if (pclOther == nullptr || pclOther->m_nState != m_nState || pclOther->m_nDirection != m_nDirection ||
        pclOther->m_nOptions != m_nOptions)
        return 0;
    const INAItemDescription* piA = m_piFetchItem;
    const INAItemDescription* piB = pclOther->m_piFetchItem;
    if ((piA == nullptr) != (piB == nullptr))
        return 0;
    if (piA != nullptr && std::wcscmp(piA->pszGetName(), piB->pszGetName()) != 0)
        return 0;
    if (m_clValue.bIsNull() != pclOther->m_clValue.bIsNull())
        return 0;
    if (m_clValue.nGetTypeCode() != ZLTYPE_VIDE || pclOther->m_clValue.nGetTypeCode() != ZLTYPE_VIDE) {
        int bEqual = 0;
        if (nEgalite(m_clValue, pclOther->m_clValue, &bEqual, 0) != 0 || !bEqual)
            return 0;
    }
    if (nGetNbParameter() != pclOther->nGetNbParameter())
        return 0;
    for (int n = 0; n < nGetNbParameter(); ++n) {
        const CNAParameter* pclA = pclGetParameterNoRef(n);
        const CNAParameter* pclB = pclOther->pclGetParameterNoRef(n);
        if (pclA == nullptr || !pclA->bEqualsParameter(pclB))
            return 0;
    }
    return 1;
}

int g_bEqualsSearch(const CNARecherche* pclA, const CNARecherche* pclB)
{
    if (pclA == nullptr)
        return pclB == nullptr || pclB->nGetState() == 0;
    if (pclB == nullptr)
        return pclA->nGetState() == 0;
    return pclA->bEqualsSearch(pclB);
}
