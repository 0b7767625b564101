#pragma once

#include <cstddef>
#include <cstdint>

#include "native/driver/na_forward.h"

// One record in the layout of the host's database engine, handed to the host
// as a table's record: one heap block holding a bit field of null flags (bit
// 7 - p % 8 of byte p / 8 for the item of physical index p; 1 = defined)
// followed by the values of all items, each in a fixed slot. The host reads
// the members below by position and calls the twelve virtual slots, so both
// are pinned.
//
// Invariants: the values pointer is the buffer plus the flag-field size, the
// flags pointer is the buffer; the flag-field size is 0 without flag items,
// else (count - 1) / 8 + 1. The record owns the buffer. It is destroyed when
// its reference count falls to 0 while its hold count is 0.
class CNAQFRecord
{
public:
    CNAQFRecord();
    CNAQFRecord(const CNAQFRecord&) = delete;
    CNAQFRecord& operator=(const CNAQFRecord&) = delete;

    // Slots 0-1.
    virtual ~CNAQFRecord();
    // Slots 2-11: each forwards to the member of the same name without the
    // leading v. Overloads are declared in slot order (writable before
    // read-only, bytes before runtime value, runtime value before bytes).
    virtual CNAQFRecord* vpclGetClone();                                                           // 2
    virtual void vSetValues(const unsigned char* pbyValues, unsigned long nLength);                // 3
    virtual unsigned char* vpbyGetItemValue(const INAItemDescription* piItem, int nIndex);         // 4
    virtual const unsigned char* vpbyGetItemValue(const INAItemDescription* piItem, int nIndex) const;  // 5
    virtual void vSetItemValue(const INAItemDescription* piItem, const void* pData, unsigned long nLength,
                               unsigned nIndex);                                                   // 6
    virtual void vSetItemValue(const INAItemDescription* piItem, const CAny* pclValue, unsigned nIndex);  // 7
    virtual void vGetItemValue(CAny* pclValue, const INAItemDescription* piItem, int nIndex) const;  // 8
    virtual void vGetItemValue(void* pOut, const INAItemDescription* piItem, int nIndex);          // 9
    virtual void vSetItemValueDefined(const INAItemDescription* piItem, int bDefined, unsigned nIndex);  // 10
    virtual int vbItemValueDefined(const INAItemDescription* piItem, unsigned nIndex) const;       // 11

private:
    friend struct CNAQFRecordLayout;

    uint32_t m_dwRefCount = 0;
    uint32_t m_dwHoldCount = 0;
    uint32_t m_dwBufferSize = 0;
    unsigned char* m_pbyBuffer = nullptr;
    uint32_t m_dwNbFlagItems = 0;
    unsigned char* m_pbyValues = nullptr;
    uint32_t m_dwFlagFieldSize = 0;
    unsigned char* m_pbyFlags = nullptr;
};

// The positions the host reads.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct CNAQFRecordLayout
{
    static_assert(offsetof(CNAQFRecord, m_dwRefCount) == 8);
    static_assert(offsetof(CNAQFRecord, m_dwHoldCount) == 12);
    static_assert(offsetof(CNAQFRecord, m_dwBufferSize) == 16);
    static_assert(offsetof(CNAQFRecord, m_pbyBuffer) == 24);
    static_assert(offsetof(CNAQFRecord, m_dwNbFlagItems) == 32);
    static_assert(offsetof(CNAQFRecord, m_pbyValues) == 40);
    static_assert(offsetof(CNAQFRecord, m_dwFlagFieldSize) == 48);
    static_assert(offsetof(CNAQFRecord, m_pbyFlags) == 56);
    static_assert(sizeof(CNAQFRecord) == 64);
};
#pragma GCC diagnostic pop
