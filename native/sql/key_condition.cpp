// The key-condition builder: one condition comparing an item of the table
// with a value by an operator, for one column, a composite key split into
// its components, or the columns that identify the current record.
#include <algorithm>
#include <new>

#include "common/text/any.h"
#include "common/text/str_compare.h"
#include "native/driver/driver.h"
#include "native/model/column.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/convert_variant.h"
#include "native/model/record.h"
#include "native/model/variant_any.h"
#include "native/model/zl_type_groups.h"
#include "native/sql/search.h"

namespace {

bool bRangeOperator(eNAOperator eOp)
{
    return eOp == NA_OP_GT || eOp == NA_OP_LT || eOp == NA_OP_GE || eOp == NA_OP_LE;
}

bool bDateTextCode(unsigned short nCode)
{
    return nCode == ZLTYPE_DATEA || nCode == ZLTYPE_TIMEA || nCode == ZLTYPE_DATEW || nCode == ZLTYPE_TIMEW;
}

// ">=" becomes ">", "<=" becomes "<".
eNAOperator eStrict(eNAOperator eOp)
{
    return eOp == NA_OP_GE ? NA_OP_GT : eOp == NA_OP_LE ? NA_OP_LT : eOp;
}

// The text of a value: 8-bit bytes or wide characters, from its own data
// (a text may hold a NUL character). False for other values.
bool bReadText(const CAny& clValue, std::string* psAnsi, std::wstring* psWide, bool* pbWide)
{
    const unsigned short nCode = clValue.nGetTypeCode();
    if (clValue.bIsNull() || !NA_bTextTargetCode(nCode))
        return false;
    unsigned long nData = 0;
    const void* p = NA_pGetAnyData(clValue, &nData);
    const unsigned long nUseful = p != nullptr ? std::min(NA_nGetAnyUtilSize(clValue), nData) : 0;
    *pbWide = NA_bWideTextCode(nCode);
    if (*pbWide) {
        psWide->assign(static_cast<const wchar_t*>(p), nUseful / sizeof(wchar_t));
    } else {
        psAnsi->assign(static_cast<const char*>(p), nUseful);
    }
    return true;
}

void WriteText(CAny* pclValue, const std::string& sAnsi, const std::wstring& sWide, bool bWide)
{
    if (bWide)
        (void)NA_nSetAnyWide(*pclValue, sWide.data(), sWide.size());
    else
        (void)NA_nSetAnyAnsi(*pclValue, sAnsi.data(), sAnsi.size());
}

// Trailing characters of a text at its type's largest value removed;
// the number removed.
size_t nStripMaximum(std::string* psAnsi, std::wstring* psWide, bool bWide)
{
    size_t n = 0;
    if (bWide) {
        while (!psWide->empty() && psWide->back() == L'\xFFFF') {
            psWide->pop_back();
            ++n;
        }
    } else {
        while (!psAnsi->empty() && static_cast<unsigned char>(psAnsi->back()) == 0xFF) {
            psAnsi->pop_back();
            ++n;
        }
    }
    return n;
}

}  // namespace

// --- Value tests -------------------------------------------------------------------

void CNARecherche::_GetValue(CNAColumn*, CAny* pclValue, int* pbUsable, int* pbMin, int* pbMax)
{
    *pbUsable = 1;
    *pbMin = 0;
    *pbMax = 0;
    if (pclValue == nullptr || pclValue->bIsNull())
        return;
    std::string sAnsi;
    std::wstring sWide;
    bool bWide = false;
    if (bReadText(*pclValue, &sAnsi, &sWide, &bWide)) {
        if (nStripMaximum(&sAnsi, &sWide, bWide) > 0) {
            *pbMax = 1;
            WriteText(pclValue, sAnsi, sWide, bWide);
        } else if ((bWide ? sWide.size() : sAnsi.size()) == 0) {
            *pbMin = 1;
        }
        *pbUsable = (bWide ? sWide.size() : sAnsi.size()) > 0;
        return;
    }
    *pbMin = s_bIsAnyMin(pclValue);
    *pbMax = s_bIsAnyMax(pclValue);
}

int CNARecherche::_bTermineParCaract0(CNAColumn*, const CAny* pclValue)
{
    std::string sAnsi;
    std::wstring sWide;
    bool bWide = false;
    if (pclValue == nullptr || !bReadText(*pclValue, &sAnsi, &sWide, &bWide))
        return 0;
    return bWide ? (!sWide.empty() && sWide.back() == L'\0') : (!sAnsi.empty() && sAnsi.back() == '\0');
}

int CNARecherche::_bGenericSearchDueTohValMax(CAny* pclValue)
{
    std::string sAnsi;
    std::wstring sWide;
    bool bWide = false;
    if (pclValue == nullptr || !bReadText(*pclValue, &sAnsi, &sWide, &bWide))
        return 0;
    if (bWide ? (sWide.empty() || sWide.back() != L'\xFFFF')
              : (sAnsi.empty() || static_cast<unsigned char>(sAnsi.back()) != 0xFF))
        return 0;
    if (bWide)
        sWide.pop_back();
    else
        sAnsi.pop_back();
    CAny clCopy(*pclValue);
    if ((bWide ? NA_nSetAnyWide(clCopy, sWide.data(), sWide.size())
               : NA_nSetAnyAnsi(clCopy, sAnsi.data(), sAnsi.size())) > 99)
        return 0;
    *pclValue = clCopy;
    return 1;
}

// A filter's bounds are in value order (the filter exchanged them for a
// descending item); a search's comparisons are in browse order, so they turn
// round on a component that sorts descending.
bool CNARecherche::_bSortsDescending(CNARecord* pclRecord, const CNAColumn* pclComposite, CNAColumn* pclColumn,
                                     int i, unsigned nFlags)
{
    if ((nFlags & (NA_SEARCH_LOWER_BOUND | NA_SEARCH_UPPER_BOUND)) != 0)
        return false;
    if (pclComposite != nullptr)
        return pclComposite->bGetDescendantComponent(i + 1) != 0;
    return CNAExpression::s_eGetSensTriColonne(pclRecord, pclColumn) == 1;
}

// --- Leaves and bounds ------------------------------------------------------------------

CNAExpression* CNARecherche::_pclAddLeaf(CNAColumn* pclColumn, eNAOperator eOp, const CAny* pclValue,
                                         unsigned nFlags)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAConvertVariant* pclVariant =
        pclDriver != nullptr ? pclDriver->pclAllocVariant(m_pclError, m_pclConnection) : nullptr;
    if (pclVariant == nullptr)
        return nullptr;
    REF_AddRef(pclVariant);
    // A text compared generically with a date-text column stays text: the
    // value is then made without the column.
    const bool bWithoutColumn = (nFlags & NA_SEARCH_GENERIC) != 0 && bDateTextCode(pclColumn->eGetZLType()) &&
                                pclValue != nullptr && NA_bStringCode(pclValue->nGetTypeCode());
    if (bWithoutColumn)
        pclVariant->InitTypeVariantAny(pclValue->nGetTypeCode(), 0);
    else
        (void)pclColumn->bInitVariant_NV_Any(m_pclError, pclVariant, 0);
    CAny clNull;
    if (pclValue == nullptr) {
        clNull.__SetType(pclColumn->eGetZLType(), 0);
        clNull.SetNull();
    }
    (void)pclVariant->bSetValue(pclValue != nullptr ? pclValue : &clNull);
    CNAExpression* pclNode = pclAllocExpression();
    if (pclNode != nullptr)
        pclNode->InitExpression(eOp, pclColumn, pclVariant, nFlags);
    REF_Release(pclVariant);
    return pclNode;
}

CNAExpression* CNARecherche::_pclJoin(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight)
{
    if (pclLeft == nullptr)
        return pclRight;
    if (pclRight == nullptr)
        return pclLeft;
    CNAExpression* pclNode = pclLeft->pclAddOperation(eOp, pclRight);
    if (pclNode == nullptr) {
        // Neither side is held: both go.
        REF_AddRef(pclLeft);
        REF_Release(pclLeft);
        REF_AddRef(pclRight);
        REF_Release(pclRight);
    }
    return pclNode;
}

CNAExpression* CNARecherche::_pclAddBorne(CNARecord*, CNAColumn* pclColumn, const CAny* pclValue, eNAOperator eOp,
                                          unsigned nFlags, int bDescending)
{
    if (bDescending)
        eOp = CNAExpression::s_eInvertOperator(eOp);
    const bool bText = NA_bTextTargetCode(pclColumn->eGetZLType());
    if ((nFlags & NA_SEARCH_GENERIC) != 0 && bText && pclValue != nullptr && !pclValue->bIsNull()) {
        const unsigned nExact = nFlags & ~static_cast<unsigned>(NA_SEARCH_GENERIC);
        // Past the prefix's group: greater and not starting with it.
        if (eOp == NA_OP_GT)
            return _pclJoin(NA_OP_AND, _pclAddLeaf(pclColumn, NA_OP_GT, pclValue, nExact),
                            _pclAddLeaf(pclColumn, NA_OP_NE, pclValue, nFlags));
        // Up to the end of the prefix's group: below it or starting with it.
        if (eOp == NA_OP_LE)
            return _pclJoin(NA_OP_OR, _pclAddLeaf(pclColumn, NA_OP_LT, pclValue, nExact),
                            _pclAddLeaf(pclColumn, NA_OP_EQ, pclValue, nFlags));
    }
    return _pclAddLeaf(pclColumn, eOp, pclValue, nFlags);
}

// --- One condition for an item ------------------------------------------------------------

CNAExpression* CNARecherche::_pclAddKeyExpression(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                                  const CNAKeyValues* pclValues, const CNAColumn* pclComposite,
                                                  int i, int j, eNAOperator eOp, unsigned nFlags,
                                                  eNAOperator eJoin)
{
    if (pclComponents == nullptr || i < 0 || i >= pclComponents->nGetNbElement())
        return nullptr;
    CNAColumn* pclColumn = (*pclComponents)[i];
    if (pclColumn == nullptr)
        return nullptr;
    eNAOperator eLeaf = eOp;
    const bool bDescending = _bSortsDescending(pclRecord, pclComposite, pclColumn, i, nFlags);
    if (bDescending)
        eLeaf = CNAExpression::s_eInvertOperator(eLeaf);
    const CAny* pclGiven = pclValues != nullptr ? pclValues->pclGet(i) : nullptr;
    CAny clValue;
    if (pclGiven != nullptr) {
        clValue = *pclGiven;
    } else {
        // No value: an empty one of the column's type; a date-time or a date
        // text compares as NULL.
        const unsigned short nCode = pclColumn->eGetZLType();
        clValue.__SetType(nCode, 0);
        if (nCode == ZLTYPE_DATETIME || nCode == ZLTYPE_DATEA) {
            clValue.SetNull();
            eLeaf = NA_OP_IS_NULL;
        }
    }
    CNAExpression* pclNode = _pclAddLeaf(pclColumn, eLeaf, &clValue, nFlags);
    if (pclNode != nullptr && i < j)
        pclNode = _pclJoin(eJoin, pclNode,
                           _pclAddKeyExpression(pclRecord, pclComponents, pclValues, pclComposite, i + 1, j, eOp,
                                                nFlags, eJoin));
    return pclNode;
}

CNAExpression* CNARecherche::_pclAddKeyExpressionEq(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                                    const CNAKeyValues* pclValues, unsigned nFlags)
{
    int n = pclComponents->nGetNbElement();
    const bool bGeneric = (nFlags & NA_SEARCH_GENERIC) != 0;
    if ((nFlags & NA_SEARCH_SPLIT) != 0 || bGeneric)
        n = std::min(n, pclValues->nGetCount());
    if (n <= 0)
        return nullptr;
    if ((nFlags & NA_SEARCH_RECORD) == 0) {
        // A component that alone identifies a record is enough; the last
        // one only when its value is not a prefix.
        for (int k = 0; k < n; ++k) {
            CNAColumn* pclColumn = (*pclComponents)[k];
            if (pclColumn == nullptr || (k == n - 1 && bGeneric))
                continue;
            const CAny* pclValue = pclValues->pclGet(k);
            if (pclColumn->bUniqueNotNull() ||
                (pclColumn->bIsUnique() && pclValue != nullptr && !pclColumn->bNullOrEquivalent(pclValue)))
                return _pclAddKeyExpression(pclRecord, pclComponents, pclValues, nullptr, k, k, NA_OP_EQ,
                                            nFlags & ~static_cast<unsigned>(NA_SEARCH_GENERIC), NA_OP_AND);
        }
    }
    // c1 = x1 AND ... AND cn = xn: exact but for the last, generic when the
    // search is.
    CNAExpression* pclResult = _pclAddKeyExpression(pclRecord, pclComponents, pclValues, nullptr, n - 1, n - 1,
                                                    NA_OP_EQ, nFlags, NA_OP_AND);
    for (int k = n - 2; k >= 0 && pclResult != nullptr; --k)
        pclResult = _pclJoin(NA_OP_AND,
                             _pclAddKeyExpression(pclRecord, pclComponents, pclValues, nullptr, k, k, NA_OP_EQ,
                                                  nFlags & ~static_cast<unsigned>(NA_SEARCH_GENERIC), NA_OP_AND),
                             pclResult);
    return pclResult;
}

CNAExpression* CNARecherche::_pclAddKeyExpressionInfSupIndice(int i, CNARecord* pclRecord,
                                                              const CColumnArray* pclComponents,
                                                              const CNAKeyValues* pclValues,
                                                              const CNAColumn* pclComposite, int n, eNAOperator eOp,
                                                              unsigned nFlags,
                                                              CColumnNullValueExcluded* pclExclusions)
{
    if (i >= n || i >= pclComponents->nGetNbElement())
        return nullptr;
    CNAColumn* pclColumn = (*pclComponents)[i];
    if (pclColumn == nullptr)
        return nullptr;
    const bool bDescending = _bSortsDescending(pclRecord, pclComposite, pclColumn, i, nFlags);
    const unsigned nExact = nFlags & ~static_cast<unsigned>(NA_SEARCH_GENERIC);
    if (i == n - 1) {
        // The last component keeps the operator; a "<=" up to a text's
        // largest character takes the whole group of what comes before it.
        CAny clValue;
        if (const CAny* pclGiven = pclValues->pclGet(i))
            clValue = *pclGiven;
        else
            clValue.__SetType(pclColumn->eGetZLType(), 0);
        unsigned nLast = nFlags;
        if (eOp == NA_OP_LE && (nFlags & NA_SEARCH_GENERIC) == 0 && _bGenericSearchDueTohValMax(&clValue))
            nLast |= NA_SEARCH_GENERIC;
        if ((nLast & NA_SEARCH_GENERIC) != 0 && !NA_bTextTargetCode(pclColumn->eGetZLType()))
            nLast = nExact;
        return _pclAddBorne(pclRecord, pclColumn, &clValue, eOp, nLast, bDescending);
    }
    // A OR (B AND C): strictly past component i, or equal on it and past
    // on the rest.
    CNAExpression* pclA =
        _pclAddKeyExpression(pclRecord, pclComponents, pclValues, pclComposite, i, i, eStrict(eOp), nExact, NA_OP_AND);
    if (pclA == nullptr)
        return nullptr;
    if (pclExclusions != nullptr) {
        (void)pclExclusions->bCombineColumnValuesNullSelected(NA_OP_AND, pclColumn,
                                                              pclA->bColumnValuesNullSelected(pclColumn));
        if ((eOp == NA_OP_GT || eOp == NA_OP_LT) &&
            pclRecord->bComposedKeyUniqueNotNullAdded(pclComponents, i + 1, pclExclusions))
            return pclA;
    }
    CNAExpression* pclB =
        _pclAddKeyExpression(pclRecord, pclComponents, pclValues, pclComposite, i, i, NA_OP_EQ, nExact, NA_OP_AND);
    if (pclExclusions != nullptr && pclB != nullptr)
        (void)pclExclusions->bCombineColumnValuesNullSelected(NA_OP_OR, pclColumn,
                                                              pclB->bColumnValuesNullSelected(pclColumn));
    CNAExpression* pclC = _pclAddKeyExpressionInfSupIndice(i + 1, pclRecord, pclComponents, pclValues, pclComposite,
                                                           n, eOp, nFlags, pclExclusions);
    // A rest that is always true leaves the component's own bound.
    return _pclJoin(NA_OP_OR, pclA, pclC != nullptr ? _pclJoin(NA_OP_AND, pclB, pclC) : pclB);
}

CNAExpression* CNARecherche::_pclAddKeyExpressionInfSup(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                                        const CNAKeyValues* pclValues,
                                                        const CNAColumn* pclComposite, eNAOperator eOp,
                                                        unsigned nFlags, int bEndMin, int bEndMax)
{
    int n = pclComponents->nGetNbElement();
    if ((nFlags & (NA_SEARCH_SPLIT | NA_SEARCH_GENERIC)) != 0)
        n = std::min(n, pclValues->nGetCount());
    if ((nFlags & NA_SEARCH_SPLIT) != 0 && n > 0) {
        // A key ended by a filler leaves its last component out: "<=" up to
        // a maximum or ">=" from a minimum holds for any value of it.
        if (n == pclValues->nGetCount() && pclValues->bLastIsFiller() &&
            ((bEndMax && eOp == NA_OP_LE) || (bEndMin && eOp == NA_OP_GE)))
            --n;
    }
    if (n <= 0)
        return nullptr;
    CColumnNullValueExcluded clExclusions;
    CColumnNullValueExcluded* pclExclusions =
        pclRecord != nullptr && pclRecord->pclGetTabComposedKeyUnique()->nGetNbElement() > 0 ? &clExclusions : nullptr;
    return _pclAddKeyExpressionInfSupIndice(0, pclRecord, pclComponents, pclValues, pclComposite, n, eOp, nFlags,
                                            pclExclusions);
}

int CNARecherche::_AddAllItem(CNARecord* pclRecord, CNAColumn* pclColumn, CColumnArray* pclList,
                              const CColumnArray* pclGiven)
{
    auto bListed = [pclList](const CNAColumn* pclCandidate) {
        for (int n = 0; n < pclList->nGetNbElement(); ++n)
            if (STR_nCompareW((*pclList)[n]->pszGetName(), pclCandidate->pszGetName(), 3) == 0)
                return true;
        return false;
    };
    auto bAppend = [pclList](CNAColumn* pclCandidate) {
        if (!pclList->Ajoute(pclCandidate))
            return false;
        REF_AddRef(pclCandidate);
        return true;
    };
    // The searched column, or a composite's components, in front.
    if (pclColumn->bIsComposedKey()) {
        const CColumnArray* pclComponents = pclColumn->pclGetTabComponent();
        for (int n = 0; pclComponents != nullptr && n < pclComponents->nGetNbElement(); ++n)
            if ((*pclComponents)[n] != nullptr && !bAppend((*pclComponents)[n]))
                return 0;
    } else if (!bAppend(pclColumn)) {
        return 0;
    }
    if (pclGiven != nullptr) {
        for (int n = 0; n < pclGiven->nGetNbElement(); ++n) {
            CNAColumn* pclCandidate = (*pclGiven)[n];
            if (pclCandidate != nullptr && !pclCandidate->bIsComposedKey() && !bListed(pclCandidate) &&
                !bAppend(pclCandidate))
                return 0;
        }
    } else {
        CNAColumn* pclUnique = pclRecord->pclGetUniqueKeyNotNullNoRef();
        for (int n = 0; n < pclRecord->nGetNbColumn(); ++n) {
            CNAColumn* pclCandidate = pclRecord->pclGetColumnNoRef(n);
            if (pclCandidate != nullptr && !pclCandidate->bIsComposedKey() && !bListed(pclCandidate) &&
                !bAppend(pclCandidate))
                return 0;
            if (pclCandidate == pclUnique)
                break;
        }
    }
    // Cut after the first unique column whose value identifies the record.
    for (int n = 0; n < pclList->nGetNbElement(); ++n) {
        CNAColumn* pclCandidate = (*pclList)[n];
        if (pclCandidate->bIsUnique() && !pclCandidate->bNullOrEquivalent()) {
            while (pclList->nGetNbElement() > n + 1) {
                CNAColumn* pclLast = (*pclList)[pclList->nGetNbElement() - 1];
                pclList->SupprimeDernier(1);
                REF_Release(pclLast);
            }
            break;
        }
    }
    return 1;
}

CNAExpression* CNARecherche::_pclAddExpression(CNARecord* pclRecord, INAItemDescription* piItem, eNAOperator eOp,
                                               const CAny* pclValue, unsigned nOptions,
                                               const CColumnArray* pclColumns)
{
    if (pclRecord == nullptr || piItem == nullptr)
        return nullptr;
    CNAColumn* pclColumn = pclRecord->pclGetColumnNoRef(piItem);
    if (pclColumn == nullptr)
        return nullptr;
    if ((nOptions & (NA_SEARCH_RECORD | NA_SEARCH_FROM_RECORD)) == 0 && pclValue != nullptr &&
        CNAExpression::s_bExpressionTrue(eOp, m_pclConnection, pclValue))
        return nullptr;

    // --- One column.
    CNAColumn* pclOne = nullptr;
    const bool bRecord = (nOptions & NA_SEARCH_RECORD) != 0;
    if (!bRecord && !pclColumn->bIsComposedKey()) {
        pclOne = pclColumn;
    } else if (bRecord && pclColumn->bIsUnique() && !pclColumn->bIsComposedKey() && pclColumn->bValueDefined(0)) {
        pclOne = pclColumn;
    } else if (bRecord && eOp == NA_OP_EQ) {
        CNAColumn* pclUnique = pclRecord->pclGetUniqueKeyNotNullNoRef();
        if (pclUnique != nullptr && !pclUnique->bIsComposedKey())
            pclOne = pclUnique;
    }
    if (pclOne != nullptr) {
        CAny clValue;
        if ((nOptions & (NA_SEARCH_RECORD | NA_SEARCH_FROM_RECORD)) != 0) {
            if (!pclOne->bGetCurrentValue(&clValue, 0))
                return nullptr;
        } else if (pclValue != nullptr) {
            clValue = *pclValue;
        } else {
            clValue.__SetType(pclOne->eGetZLType(), 0);
            clValue.SetNull();
        }
        unsigned nFlags = nOptions;
        if ((nOptions & NA_SEARCH_SPLIT) == 0) {
            if (_bTermineParCaract0(pclOne, &clValue))
                nFlags &= ~static_cast<unsigned>(NA_SEARCH_GENERIC);
            CColumnArray tabOne(1);
            if (!tabOne.Ajoute(pclOne))
                return nullptr;
            REF_AddRef(pclOne);
            CNAKeyValues values;
            if (!values.bAdd(clValue))
                return nullptr;
            return _pclAddKeyExpression(pclRecord, &tabOne, &values, nullptr, 0, 0, eOp, nFlags, NA_OP_AND);
        }
        if (eOp != NA_OP_EQ && !clValue.bIsNull()) {
            int bUsable = 1;
            int bMin = 0;
            int bMax = 0;
            const unsigned short nCode = clValue.nGetTypeCode();
            const bool bText = NA_bTextTargetCode(nCode);
            CAny clClassified(clValue);
            _GetValue(pclOne, &clClassified, &bUsable, &bMin, &bMax);
            if (bText && bMax) {
                if (!bUsable) {
                    // Nothing but filler: every value is below it.
                    if (eOp == NA_OP_LE || eOp == NA_OP_LT)
                        return nullptr;
                } else if (eOp == NA_OP_LE && (nCode == ZLTYPE_DATEA || nCode == ZLTYPE_TIMEA)) {
                    CAny clBound;
                    if (CNAExpression::s_bGetBorneRechercheDateMax(pclOne->eNAGetItemType(), &clClassified,
                                                                   &clBound)) {
                        clValue = clBound;
                        eOp = NA_OP_LT;
                        nFlags &= ~static_cast<unsigned>(NA_SEARCH_GENERIC);
                    }
                } else {
                    clValue = clClassified;
                    nFlags |= NA_SEARCH_GENERIC;
                    if (eOp == NA_OP_LT)
                        eOp = NA_OP_LE;
                }
            } else if (!bText) {
                // Only the bound that every value meets is left out.
                if ((bMin && eOp == NA_OP_GE) || (bMax && eOp == NA_OP_LE))
                    return nullptr;
            }
        }
        return _pclAddBorne(pclRecord, pclOne, &clValue, eOp, nFlags, 0);
    }

    // --- Several columns.
    CColumnArray tabList(8);
    const CColumnArray* pclComponents = nullptr;
    const CNAColumn* pclComposite = nullptr;
    CNAKeyValues values;
    int bEndMin = 0;
    int bEndMax = 0;
    unsigned nFlags = nOptions;
    if (!bRecord || (pclColumn->bIsUnique() && pclColumn->bIsComposedKey() && pclColumn->bValueDefined(0))) {
        pclComponents = pclColumn->pclGetTabComponent();
        pclComposite = pclColumn;
        if (!bRecord)
            nFlags |= NA_SEARCH_COMPOSED_KEY;
        if ((nOptions & NA_SEARCH_FROM_RECORD) != 0)
            _GetComponentValueFromRecord(pclComponents, &values);
        else
            _GetComponentValue(pclComponents, pclValue, &values, &bEndMin, &bEndMax, nOptions);
    } else if (eOp == NA_OP_EQ && pclRecord->pclGetUniqueKeyNotNullNoRef() != nullptr &&
               pclRecord->pclGetUniqueKeyNotNullNoRef()->bIsComposedKey()) {
        CNAColumn* pclUnique = pclRecord->pclGetUniqueKeyNotNullNoRef();
        pclComponents = pclUnique->pclGetTabComponent();
        pclComposite = pclUnique;
        _GetComponentValueFromRecord(pclComponents, &values);
    } else {
        if (!_AddAllItem(pclRecord, pclColumn, &tabList, pclColumns))
            return nullptr;
        pclComponents = &tabList;
        _GetComponentValueFromRecord(pclComponents, &values);
    }
    if (pclComponents == nullptr || pclComponents->nGetNbElement() == 0)
        return nullptr;
    if (eOp == NA_OP_EQ)
        return _pclAddKeyExpressionEq(pclRecord, pclComponents, &values, nFlags);
    if (bRangeOperator(eOp))
        return _pclAddKeyExpressionInfSup(pclRecord, pclComponents, &values, pclComposite, eOp, nFlags, bEndMin,
                                          bEndMax);
    return nullptr;
}
