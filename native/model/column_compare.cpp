// The column's value against NULL and against a given value, the value of a
// composite key, and the column's value in a given row.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "common/text/any.h"
#include "common/text/any_calcul.h"
#include "common/system/xmalloc.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/model/item_type.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "native/model/variant_any.h"
#include "native/model/variant_text.h"
#include "native/model/zl_type_groups.h"

namespace {

bool bIn(int eType, std::initializer_list<int> types)
{
    return std::find(types.begin(), types.end(), eType) != types.end();
}

// Sets of item types (all below 32) as bit masks, for the tests that run
// for every column of every row.
constexpr uint32_t Types(std::initializer_list<int> types)
{
    uint32_t n = 0;
    for (const int t : types)
        n |= 1u << t;
    return n;
}

bool bInTypes(int eType, uint32_t nTypes)
{
    return eType >= 0 && eType < 32 && ((nTypes >> eType) & 1u) != 0;
}

constexpr uint32_t kTextyTypes = Types({NA_IT_TEXTE, NA_IT_MEMOTEXTE, NA_IT_UNICODE, NA_IT_MEMOUNICODE, NA_IT_CHAR});
constexpr uint32_t kBinaryTypes = Types({NA_IT_BINAIRE, NA_IT_MEMOBINAIRE});
// The 8-bit texts that the record reads up to their first zero, as text
// values whose first character is the slot's first byte.
constexpr uint32_t kAnsiSlotTypes =
    Types({NA_IT_TEXTE, NA_IT_MEMOTEXTE, NA_IT_IMAGE, NA_IT_DATE6, NA_IT_DATE8, NA_IT_HEURE});
constexpr uint32_t kWideSlotTypes = Types({NA_IT_UNICODE, NA_IT_MEMOUNICODE});

// The value's useful bytes: its data address and useful size; none for a
// NULL value.
const unsigned char* pbyUsefulBytes(const CAny& clValue, size_t* pnSize)
{
    *pnSize = 0;
    if (clValue.bIsNull())
        return nullptr;
    unsigned long nData = 0;
    const void* p = NA_pGetAnyData(clValue, &nData);
    if (p == nullptr)
        return nullptr;
    *pnSize = std::min<unsigned long>(NA_nGetAnyUtilSize(clValue), nData);
    return static_cast<const unsigned char*>(p);
}

}  // namespace

bool CNAColumn::s_bDateOrTextRule(int t, int d, int nKind, bool* pbTexty)
{
    const bool bTexty = bInTypes(t, kTextyTypes) || bInTypes(d, kTextyTypes);
    if (pbTexty != nullptr)
        *pbTexty = bTexty;
    return bInTypes(t, Types({NA_IT_DATE8, NA_IT_DATE6, NA_IT_DATETIME})) ||
           bInTypes(d, Types({NA_IT_DATE6, NA_IT_DATE8})) || (d == NA_IT_DATETIME && t != NA_IT_HEURE) ||
           (nKind == 1 && bTexty);
}

bool CNAColumn::s_bBinaryRule(int t, int d, int nKind)
{
    return nKind == 1 && (bInTypes(t, kBinaryTypes) || bInTypes(d, kBinaryTypes));
}

bool CNAColumn::_bDateOrTextRule(bool* pbTexty)
{
    CNAConnectionDescription* pclConnection = pclGetCnx();
    return s_bDateOrTextRule(eNAGetItemType(), eNAGetItemTypeOnDatabase(),
                             pclConnection != nullptr ? pclConnection->nGetDBKind() : 0, pbTexty);
}

bool CNAColumn::_bBinaryRule()
{
    CNAConnectionDescription* pclConnection = pclGetCnx();
    return s_bBinaryRule(eNAGetItemType(), eNAGetItemTypeOnDatabase(),
                         pclConnection != nullptr ? pclConnection->nGetDBKind() : 0);
}

int CNAColumn::bNullOrEquivalent(const CAny* pclValue)
{
    if (pclValue == nullptr || pclValue->bIsNull())
        return 1;
    const int t = eNAGetItemType();
    const int d = eNAGetItemTypeOnDatabase();
    bool bTexty = false;
    if (_bDateOrTextRule(&bTexty)) {
        if (pclValue->nGetTypeCode() == ZLTYPE_DATETIME) {
            unsigned long nData = 0;
            const unsigned char* pby = static_cast<const unsigned char*>(NA_pGetAnyData(*pclValue, &nData));
            return pby != nullptr && std::all_of(pby, pby + std::min<unsigned long>(nData, 8),
                                                 [](unsigned char c) { return c == 0; });
        }
        // A text value is read where it is; any other is cast on a copy.
        const wchar_t* pszText = nullptr;
        const char* pszAnsi = nullptr;
        if (bIn(pclValue->nGetTypeCode(), {ZLTYPE_DSTRW, ZLTYPE_PSTRW}) &&
            pclValue->Objet().nGetPCWSTR(&pszText) <= 99) {
            if (pszText != nullptr && pszText[0] != L'\0')
                return 0;
        } else if (bIn(pclValue->nGetTypeCode(), {ZLTYPE_PSTRA, ZLTYPE_DSTRA, ZLTYPE_DATEA, ZLTYPE_TIMEA}) &&
                   pclValue->Objet().nGetPCASTR(&pszAnsi) <= 99) {
            if (pszAnsi != nullptr && pszAnsi[0] != '\0')
                return 0;
        } else {
            CAny clText(*pclValue);
            if (clText.__nCastToString(&pszText, nullptr) > 99)
                return 0;
            if (pszText != nullptr && pszText[0] != L'\0')
                return 0;
        }
        return bIsNullableOnDataBase() || !(bTexty || t == NA_IT_HEURE || d == NA_IT_HEURE);
    }
    if (_bBinaryRule())
        return NA_nGetAnyUtilSize(*pclValue) == 0;
    return 0;
}

int CNAColumn::bNullOrEquivalent(const CNAVariant* pclValue)
{
    if (pclValue == nullptr)
        return 1;
    CAny clValue;
    if (!pclValue->vbGetValue(&clValue))
        clValue = *pclValue->pclGetValue();
    return bNullOrEquivalent(&clValue);
}

int CNAColumn::bNullOrEquivalent()
{
    return _bNullOrEquivalent(!bIsMemo() && !bIsComposedKey());
}

int CNAColumn::_bNullOrEquivalent(bool bPlain)
{
    const CNAQFRecord* pclBuffer = _pclCurrentBuffer();
    uint32_t nWidth = 0;
    int bDefined = 0;
    const unsigned char* pbySlot =
        pclBuffer != nullptr ? pclBuffer->pbyGetSlot(m_piItem, 0, &nWidth, &bDefined) : nullptr;
    if (!bDefined)
        return 1;
    if (m_csMemoFile.nTaille() > 0)
        return 0;
    if (bPlain) {
        const int n = _nNullOrEquivalentInSlot(pbySlot, nWidth);
        if (n >= 0)
            return n;
    }
    CAny clValue;
    // A value that cannot be read is not taken for NULL.
    if (!bGetCurrentValue(&clValue, 0))
        return 0;
    return bNullOrEquivalent(&clValue);
}

int CNAColumn::_nNullOrEquivalentInSlot(const unsigned char* pbySlot, uint32_t nWidth)
{
    const eNA_ITEMTYPE t = eNAGetItemType();
    const int d = eNAGetItemTypeOnDatabase();
    CNAConnectionDescription* pclConnection = pclGetCnx();
    const int nKind = pclConnection != nullptr ? pclConnection->nGetDBKind() : 0;
    bool bTexty = false;
    if (!s_bDateOrTextRule(t, d, nKind, &bTexty)) {
        if (s_bBinaryRule(t, d, nKind))
            return -1;
        // Only a NULL value is taken for NULL; a defined slot reads as NULL
        // only for a decimal whose bytes do not load.
        return t == NA_IT_DECIMAL ? -1 : 0;
    }
    if (pbySlot == nullptr)
        return -1;
    // The value the record reads of each of these types (its runtime type
    // checked too, the test depending on it).
    const unsigned short nCode = ConverteItemToZLType(t);
    bool bEmpty = false;
    if (t == NA_IT_DATETIME && nCode == ZLTYPE_DATETIME) {
        // Read zero-extended: its 8 bytes are the slot's first ones.
        return std::all_of(pbySlot, pbySlot + std::min<uint32_t>(nWidth, 8), [](unsigned char c) { return c == 0; });
    } else if (bInTypes(t, kAnsiSlotTypes) && bIn(nCode, {ZLTYPE_DSTRA, ZLTYPE_DATEA, ZLTYPE_TIMEA})) {
        // 8-bit text up to its first zero: empty when that is the first byte.
        bEmpty = nWidth == 0 || pbySlot[0] == 0;
    } else if (bInTypes(t, kWideSlotTypes) && nCode == ZLTYPE_DSTRW) {
        // UTF-16 up to its first zero unit; any other first unit gives a
        // character that is not zero.
        bEmpty = nWidth < 2 || (pbySlot[0] == 0 && pbySlot[1] == 0);
    } else {
        return -1;
    }
    if (!bEmpty)
        return 0;
    return bIsNullableOnDataBase() || !(bTexty || t == NA_IT_HEURE || d == NA_IT_HEURE);
}

int CNAColumn::bSameValue(const CAny* pclValue, unsigned nFlags)
{
    if (pclValue == nullptr)
        return 0;
    if (!bIsComposedKey() && !bValueDefined(0))
        return pclValue->bIsNull();
    CAny clCurrent;
    if (!bGetCurrentValue(&clCurrent, 0))
        return 0;
    const unsigned short nGiven = pclValue->nGetTypeCode();
    const unsigned short nCurrent = clCurrent.nGetTypeCode();
    const bool bSameKind = nGiven == nCurrent || (NA_bAnsiStringCode(nGiven) && NA_bAnsiStringCode(nCurrent)) ||
                           (NA_bWideStringCode(nGiven) && NA_bWideStringCode(nCurrent));
    if (bSameKind && nCurrent != ZLTYPE_DECIMAL) {
        size_t nv = 0;
        size_t nc = 0;
        const unsigned char* pbyGiven = pbyUsefulBytes(*pclValue, &nv);
        const unsigned char* pbyCurrent = pbyUsefulBytes(clCurrent, &nc);
        if (nv > nc)
            return 0;
        if (nv > 0 && std::memcmp(pbyGiven, pbyCurrent, nv) != 0)
            return 0;
        // A current value followed by zero bytes (a slot's padding) is the
        // same value; a generic search takes any continuation.
        if (nv < nc && !(nFlags & 0x1000u))
            return std::all_of(pbyCurrent + nv, pbyCurrent + nc, [](unsigned char c) { return c == 0; });
        return 1;
    }
    int bEqual = 0;
    return nEgalite(clCurrent, *pclValue, &bEqual, 0) == 0 && bEqual != 0;
}

// --- Composite keys ------------------------------------------------------------

size_t CNAColumn::s_nComponentWidth(const INAItemDescription* piComponent)
{
    if (piComponent == nullptr)
        return 0;
    const long long nLogical = piComponent->nGetLogicalSize(-1);
    if (nLogical <= 0)
        return 0;
    return static_cast<size_t>(piComponent->eNAGetItemType() == NA_IT_UNICODE ? 2 * nLogical : nLogical);
}

int CNAColumn::_bGetComposedKeyValue(unsigned char* pbyBlock, size_t nSize, const CNARecordValue* pclRow)
{
    if (nSize > 0)
        std::memset(pbyBlock, 0, nSize);
    size_t nAt = 0;
    const int nCount = m_piItem->nGetNumComponents();
    for (int n = 1; n <= nCount; ++n) {
        INAItemDescription* piComponent = m_piItem->piGetItemComponent(n);
        CNAColumn* pclColumn = nullptr;
        size_t nWidth = 0;
        if (piComponent != nullptr) {
            pclColumn = m_pclRecord != nullptr ? m_pclRecord->pclGetColumnNoRef(piComponent) : nullptr;
            nWidth = s_nComponentWidth(piComponent);
            if (pclColumn == nullptr)
                CNAError::g_RaiseSiteError(m_pclError, NASite::kComponentWithoutColumn, pclGetCnx(),
                                           pszGetTableName(), piComponent->pszGetName(), pszGetTableName(),
                                           piComponent->pszGetName());
            piComponent->nExternalRelease();
        }
        if (pclColumn == nullptr)
            return 0;
        CAny clValue;
        if (pclRow != nullptr ? !pclRow->bGetItemValue(&clValue, pclColumn->piGetItemNoRef())
                              : !pclColumn->bGetCurrentValue(&clValue, 0))
            return 0;
        // Each component at the width its item counted in the key, within
        // what is left of the block.
        const size_t nRoom = std::min(nWidth, nSize - nAt);
        if (NA_bWideTextCode(clValue.nGetTypeCode()) && !clValue.bIsNull()) {
            // Wide text is kept in the key as UTF-16, as the record buffer
            // and the split of a key value read it.
            const wchar_t* pszText = nullptr;
            if (clValue.__nCastToString(&pszText, nullptr) <= 99 && pszText != nullptr)
                (void)NA_nWideToUTF16Cut(pszText, std::wcslen(pszText), pbyBlock + nAt, nRoom / 2);
        } else {
            size_t nBytes = 0;
            const unsigned char* pbyBytes = pbyUsefulBytes(clValue, &nBytes);
            if (pbyBytes != nullptr)
                std::memcpy(pbyBlock + nAt, pbyBytes, std::min(nBytes, nRoom));
        }
        nAt += nRoom;
    }
    return 1;
}

int CNAColumn::_bGetComposedKeyValue(CAny* pclValue, const CNARecordValue* pclRow)
{
    if (pclValue == nullptr)
        return 0;
    // The block is the item's size, which a host's description gives: the
    // heap is asked without throwing, and a size a value cannot hold fails.
    const int nItemSize = m_piItem->nGetItemSize();
    const size_t nSize = nItemSize > 0 ? static_cast<size_t>(nItemSize) : 0;
    unsigned char* pbyBlock = static_cast<unsigned char*>(XMALLOC_pNew_(nSize > 0 ? nSize : 1));
    int rc = pbyBlock != nullptr && nSize <= ANY_MAX_UNITES ? ANY_OK : ANY_ERR_MEMOIRE;
    if (rc == ANY_OK) {
        if (!_bGetComposedKeyValue(pbyBlock, nSize, pclRow)) {
            XMALLOC_Del_(pbyBlock);
            return 0;
        }
        rc = pclValue->SetBIN(pbyBlock, static_cast<unsigned long>(nSize));
    }
    XMALLOC_Del_(pbyBlock);
    if (rc > 99) {
        if (m_pclError != nullptr)
            m_pclError->SetAnyError(rc, 0, 0, NA_SRC_RECORD, NASite::kComposedKeyNoMemory, pclGetCnx(),
                                    pszGetTableName(), pszGetName());
        return 0;
    }
    return 1;
}

int CNAColumn::bGetRowValue(CAny* pclValue, const CNARecordValue* pclRow)
{
    if (pclValue == nullptr || pclRow == nullptr)
        return 0;
    if (bIsMemo())
        return pclRow->bGetMemoValue(pclValue, nGetMemoIndice());
    if (bIsComposedKey())
        return _bGetComposedKeyValue(pclValue, pclRow);
    return pclRow->bGetItemValue(pclValue, m_piItem);
}
