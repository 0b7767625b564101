// The record buffer: layout from a description, counts, null flags, and the
// whole-buffer operations (values, copy, clone, equality, serialisation).
#include "native/model/qf_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "native/model/interf.h"
#include "native/model/item_description.h"
#include "native/model/na_data_source_description.h"

namespace {

uint32_t nFlagFieldSizeFor(uint32_t nItems)
{
    return nItems == 0 ? 0 : (nItems - 1) / 8 + 1;
}

// Holds a description's item for a loop step and gives its reference back.
class CItemRef
{
public:
    CItemRef(INADataSourceDescription* piSource, unsigned n) : m_piItem(piSource->piNAGetItem(n)) {}
    ~CItemRef()
    {
        if (m_piItem != nullptr)
            m_piItem->nExternalRelease();
    }
    CItemRef(const CItemRef&) = delete;
    CItemRef& operator=(const CItemRef&) = delete;
    INAItemDescription* operator->() const { return m_piItem; }
    INAItemDescription* get() const { return m_piItem; }

private:
    INAItemDescription* m_piItem;
};

}  // namespace

CNAQFRecord::CNAQFRecord() = default;

CNAQFRecord::~CNAQFRecord()
{
    std::free(m_pbyBuffer);
}

unsigned CNAQFRecord::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, m_dwHoldCount);
}

unsigned CNAQFRecord::nExternalRelease()
{
    return NA_nReleaseCount(this, m_dwHoldCount, m_dwRefCount);
}

void CNAQFRecord::_Adopt(unsigned char* pbyBuffer, uint32_t nBufferSize, uint32_t nFlagItems, uint32_t nFlagFieldSize)
{
    if (pbyBuffer != m_pbyBuffer)
        std::free(m_pbyBuffer);
    m_pbyBuffer = pbyBuffer;
    m_dwBufferSize = pbyBuffer != nullptr ? nBufferSize : 0;
    m_dwNbFlagItems = pbyBuffer != nullptr ? nFlagItems : 0;
    m_dwFlagFieldSize = pbyBuffer != nullptr ? nFlagFieldSize : 0;
    m_pbyFlags = pbyBuffer;
    m_pbyValues = pbyBuffer != nullptr ? pbyBuffer + m_dwFlagFieldSize : nullptr;
}

bool CNAQFRecord::_bSlot(const INAItemDescription* piItem, int64_t nIndex, uint32_t* pnOffset,
                         uint32_t* pnWidth) const
{
    if (piItem == nullptr || m_pbyValues == nullptr)
        return false;
    // In 64 bits: every number here may come from the host.
    const int64_t nValues = static_cast<int64_t>(m_dwBufferSize) - m_dwFlagFieldSize;
    const int64_t nOffset = static_cast<uint32_t>(piItem->nGetOffset(0));
    const int64_t nSize = piItem->nGetItemSize();
    int64_t nStart;
    int64_t nWidth;
    if (nIndex < 0) {
        nStart = nOffset;
        nWidth = piItem->nGetTotalSize();
    } else {
        nStart = nOffset + nIndex * nSize;
        nWidth = nSize;
    }
    if (nSize < 0 || nWidth < 0 || nStart > nValues || nWidth > nValues - nStart)
        return false;
    *pnOffset = static_cast<uint32_t>(nStart);
    *pnWidth = static_cast<uint32_t>(nWidth);
    return true;
}

bool CNAQFRecord::_bFlag(uint32_t nPhysicalIndice, uint32_t* pnByte, unsigned char* pbyMask) const
{
    if (nPhysicalIndice == UINT32_MAX)
        nPhysicalIndice = 0;
    const uint32_t nByte = nPhysicalIndice / 8;
    if (m_pbyFlags == nullptr || nByte >= m_dwFlagFieldSize)
        return false;
    *pnByte = nByte;
    *pbyMask = static_cast<unsigned char>(0x80u >> (nPhysicalIndice % 8));
    return true;
}

bool CNAQFRecord::_bItem(const INAItemDescription* piItem, int64_t nIndex, uint32_t* pnOffset, uint32_t* pnWidth,
                         uint32_t* pnByte, unsigned char* pbyMask) const
{
    return _bSlot(piItem, nIndex, pnOffset, pnWidth) &&
           _bFlag(static_cast<uint32_t>(piItem->nGetPhysicalIndice()), pnByte, pbyMask);
}

int CNAQFRecord::bInit(INADataSourceDescription* piSource, eINITTYPE eInit)
{
    if (piSource == nullptr)
        return 0;
    const uint32_t nFlagItems = piSource->nGetNumItemPhysicallyInFic();
    const uint32_t nFlagFieldSize = nFlagFieldSizeFor(nFlagItems);
    const uint64_t nBufferSize = static_cast<uint64_t>(nFlagFieldSize) + piSource->nGetDiskRecordSize();
    if (nBufferSize > UINT32_MAX)
        return 0;

    // Every slot the record will address must lie in the values area: a
    // composite key placed before real items would push them past it.
    const uint64_t nValues = piSource->nGetDiskRecordSize();
    const unsigned nItems = piSource->nGetNumItems();
    for (unsigned i = 0; i < nItems; ++i) {
        CItemRef item(piSource, i);
        if (item.get() == nullptr || item->bIsComposedKey())
            continue;
        const int64_t nSize = item->nGetItemSize();
        const int64_t nDimension = item->nGetDimension();
        const uint64_t nOffset = static_cast<uint32_t>(item->nGetOffset(0));
        if (nSize < 0 || nDimension < 0 || nOffset + static_cast<uint64_t>(nSize) * static_cast<uint64_t>(nDimension) > nValues)
            return 0;
    }

    // One byte at least, so that an empty record still owns a block.
    unsigned char* pbyBuffer = static_cast<unsigned char*>(std::calloc(std::max<uint64_t>(nBufferSize, 1), 1));
    if (pbyBuffer == nullptr)
        return 0;
    _Adopt(pbyBuffer, static_cast<uint32_t>(nBufferSize), nFlagItems, nFlagFieldSize);
    if (eInit == INIT_DEFAULT_VALUES)
        _WriteDefaultValues(piSource);
    return 1;
}

void CNAQFRecord::_WriteDefaultValues(INADataSourceDescription* piSource)
{
    const unsigned nItems = piSource->nGetNumItems();
    for (unsigned i = 0; i < nItems; ++i) {
        CItemRef item(piSource, i);
        if (item.get() == nullptr || item->bIsComposedKey())
            continue;
        // Elements of no width share one flag and hold nothing: one pass is
        // enough.
        const int nDimension = item->nGetItemSize() == 0 ? std::min(item->nGetDimension(), 1) : item->nGetDimension();
        for (int e = 0; e < nDimension; ++e) {
            const CAny* pclDefault = item->pclGetDefaultValue(e);
            if (item->bMemo() || pclDefault == nullptr || pclDefault->bIsNull() ||
                pclDefault->nGetTypeCode() == ZLTYPE_VIDE)
                SetItemValueDefined(item.get(), 0, static_cast<unsigned>(e));
            else
                SetItemValue(item.get(), pclDefault, static_cast<unsigned>(e));
        }
    }
}

unsigned char* CNAQFRecord::pbyGetItemValue(const INAItemDescription* piItem, int nIndex)
{
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    return _bItem(piItem, nIndex, &nOffset, &nWidth, &nByte, &byMask) ? m_pbyValues + nOffset : nullptr;
}

const unsigned char* CNAQFRecord::pbyGetItemValue(const INAItemDescription* piItem, int nIndex) const
{
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    return _bItem(piItem, nIndex, &nOffset, &nWidth, &nByte, &byMask) ? m_pbyValues + nOffset : nullptr;
}

int CNAQFRecord::bItemValueDefined(const INAItemDescription* piItem, unsigned) const
{
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    if (!_bItem(piItem, 0, &nOffset, &nWidth, &nByte, &byMask))
        return 0;
    return (m_pbyFlags[nByte] & byMask) != 0;
}

const unsigned char* CNAQFRecord::pbyGetSlot(const INAItemDescription* piItem, int nIndex, uint32_t* pnWidth,
                                             int* pbDefined) const
{
    uint32_t nOffset, nByte;
    unsigned char byMask;
    *pnWidth = 0;
    *pbDefined = 0;
    if (!_bItem(piItem, nIndex, &nOffset, pnWidth, &nByte, &byMask)) {
        *pnWidth = 0;
        return nullptr;
    }
    *pbDefined = (m_pbyFlags[nByte] & byMask) != 0;
    return m_pbyValues + nOffset;
}

void CNAQFRecord::_SetDefined(const INAItemDescription* piItem, uint32_t nPhysicalIndice, int bDefined, int64_t nIndex)
{
    uint32_t nByte, nOffset, nWidth;
    unsigned char byMask;
    if (!_bSlot(piItem, nIndex, &nOffset, &nWidth) || !_bFlag(nPhysicalIndice, &nByte, &byMask))
        return;
    _SetFlag(nByte, byMask, bDefined != 0);
    unsigned char* pbySlot = m_pbyValues + nOffset;
    if (piItem->bMemo())
        std::memset(pbySlot, bDefined ? 0x00 : 0xFF, std::min<uint32_t>(nWidth, 8));
    else if (!bDefined)
        std::memset(pbySlot, 0, nWidth);
}

void CNAQFRecord::SetItemValueDefined(const INAItemDescription* piItem, int bDefined, unsigned nIndex)
{
    if (piItem != nullptr)
        _SetDefined(piItem, static_cast<uint32_t>(piItem->nGetPhysicalIndice()), bDefined, nIndex);
}

void CNAQFRecord::SetTabItemValueDefined(const INAItemDescription* const* ppiItems, unsigned nCount,
                                         const unsigned* pnPhysicalIndexes, const int* pbDefined)
{
    if (ppiItems == nullptr || pnPhysicalIndexes == nullptr || pbDefined == nullptr)
        return;
    for (unsigned i = 0; i < nCount; ++i)
        _SetDefined(ppiItems[i], pnPhysicalIndexes[i], pbDefined[i], 0);
}

void CNAQFRecord::GetItemValue(void* pOut, const INAItemDescription* piItem, int nIndex) const
{
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    if (pOut != nullptr && _bItem(piItem, nIndex, &nOffset, &nWidth, &nByte, &byMask))
        std::memcpy(pOut, m_pbyValues + nOffset, nWidth);
}

void CNAQFRecord::SetValues(const unsigned char* pbyValues, unsigned long nLength)
{
    if (m_pbyBuffer == nullptr)
        return;
    const unsigned long nValues = m_dwBufferSize - m_dwFlagFieldSize;
    if (pbyValues != nullptr)
        std::memmove(m_pbyValues, pbyValues, std::min(nLength, nValues));
    std::memset(m_pbyFlags, 0xFF, m_dwFlagFieldSize);
}

void CNAQFRecord::Copy(const CNAQFRecord* pclOther)
{
    // The host may hand back the very buffer it was given.
    if (pclOther == nullptr || pclOther == this || m_pbyBuffer == nullptr || pclOther->m_pbyBuffer == nullptr)
        return;
    std::memcpy(m_pbyBuffer, pclOther->m_pbyBuffer, std::min(m_dwBufferSize, pclOther->m_dwBufferSize));
}

CNAQFRecord* CNAQFRecord::pclGetClone() const
{
    CNAQFRecord* pclClone = new (std::nothrow) CNAQFRecord;
    if (pclClone == nullptr)
        return nullptr;
    if (m_pbyBuffer != nullptr) {
        unsigned char* pbyBuffer = static_cast<unsigned char*>(std::malloc(std::max<uint32_t>(m_dwBufferSize, 1)));
        if (pbyBuffer == nullptr) {
            delete pclClone;
            return nullptr;
        }
        std::memcpy(pbyBuffer, m_pbyBuffer, m_dwBufferSize);
        pclClone->_Adopt(pbyBuffer, m_dwBufferSize, m_dwNbFlagItems, m_dwFlagFieldSize);
    }
    return pclClone;
}

int CNAQFRecord::bEquals(const CNAQFRecord* pclOther) const
{
    if (pclOther == nullptr || pclOther->m_dwBufferSize != m_dwBufferSize ||
        pclOther->m_dwFlagFieldSize != m_dwFlagFieldSize)
        return 0;
    if (m_dwBufferSize == 0)
        return 1;
    return std::memcmp(m_pbyBuffer, pclOther->m_pbyBuffer, m_dwBufferSize) == 0;
}

int CNAQFRecord::Serialize(unsigned char* pbyOut, unsigned long nLength) const
{
    if (pbyOut == nullptr || nLength < nGetSerializeSize())
        return 0;
    const uint32_t adwHeader[3] = {m_dwBufferSize, m_dwNbFlagItems, m_dwFlagFieldSize};
    std::memcpy(pbyOut, adwHeader, sizeof adwHeader);
    if (m_dwBufferSize > 0)
        std::memcpy(pbyOut + sizeof adwHeader, m_pbyBuffer, m_dwBufferSize);
    return 1;
}

int CNAQFRecord::Deserialize(const unsigned char* pbyIn, unsigned long nLength)
{
    uint32_t adwHeader[3];
    if (pbyIn == nullptr || nLength < sizeof adwHeader)
        return 0;
    std::memcpy(adwHeader, pbyIn, sizeof adwHeader);
    const uint32_t nBufferSize = adwHeader[0];
    const uint32_t nFlagItems = adwHeader[1];
    const uint32_t nFlagFieldSize = adwHeader[2];
    // The counts are checked against each other and against the length
    // before any of them is used.
    if (static_cast<uint64_t>(nBufferSize) + sizeof adwHeader > nLength ||
        nFlagFieldSize != nFlagFieldSizeFor(nFlagItems) || nFlagFieldSize > nBufferSize)
        return 0;
    unsigned char* pbyBuffer =
        static_cast<unsigned char*>(std::realloc(m_pbyBuffer, std::max<uint32_t>(nBufferSize, 1)));
    if (pbyBuffer == nullptr)
        return 0;
    std::memcpy(pbyBuffer, pbyIn + sizeof adwHeader, nBufferSize);
    m_pbyBuffer = pbyBuffer;
    _Adopt(pbyBuffer, nBufferSize, nFlagItems, nFlagFieldSize);
    return 1;
}

int CNAQFRecord::SaveBuffer(unsigned char* pbyOut, unsigned long nLength) const
{
    if (pbyOut == nullptr || nLength < m_dwBufferSize)
        return 0;
    if (m_dwBufferSize > 0)
        std::memcpy(pbyOut, m_pbyBuffer, m_dwBufferSize);
    return 1;
}

int CNAQFRecord::LoadBuffer(const unsigned char* pbyIn, unsigned long nLength)
{
    if (pbyIn == nullptr || m_pbyBuffer == nullptr || nLength != m_dwBufferSize)
        return 0;
    std::memmove(m_pbyBuffer, pbyIn, m_dwBufferSize);
    return 1;
}

// The host's slots.
CNAQFRecord* CNAQFRecord::vpclGetClone()
{
    return pclGetClone();
}

void CNAQFRecord::vSetValues(const unsigned char* pbyValues, unsigned long nLength)
{
    SetValues(pbyValues, nLength);
}

unsigned char* CNAQFRecord::vpbyGetItemValue(const INAItemDescription* piItem, int nIndex)
{
    return pbyGetItemValue(piItem, nIndex);
}

const unsigned char* CNAQFRecord::vpbyGetItemValue(const INAItemDescription* piItem, int nIndex) const
{
    return pbyGetItemValue(piItem, nIndex);
}

void CNAQFRecord::vSetItemValue(const INAItemDescription* piItem, const void* pData, unsigned long nLength,
                                unsigned nIndex)
{
    SetItemValue(piItem, pData, nLength, nIndex);
}

void CNAQFRecord::vSetItemValue(const INAItemDescription* piItem, const CAny* pclValue, unsigned nIndex)
{
    SetItemValue(piItem, pclValue, nIndex);
}

void CNAQFRecord::vGetItemValue(CAny* pclValue, const INAItemDescription* piItem, int nIndex) const
{
    GetItemValue(pclValue, piItem, nIndex);
}

void CNAQFRecord::vGetItemValue(void* pOut, const INAItemDescription* piItem, int nIndex)
{
    GetItemValue(pOut, piItem, nIndex);
}

void CNAQFRecord::vSetItemValueDefined(const INAItemDescription* piItem, int bDefined, unsigned nIndex)
{
    SetItemValueDefined(piItem, bDefined, nIndex);
}

int CNAQFRecord::vbItemValueDefined(const INAItemDescription* piItem, unsigned nIndex) const
{
    return bItemValueDefined(piItem, nIndex);
}
