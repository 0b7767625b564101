#pragma once

#include <cstddef>
#include <cstdint>

#include "native/driver/na_forward.h"

// One record in the layout of the host's database engine, handed to the host
// as a table's record: one heap block holding a bit field of null flags (bit
// 7 - p % 8 of byte p / 8 for the item of physical index p, index -1 using
// index 0; 1 = defined) followed by the values of all items, each in a fixed
// slot: element i of an item lies at values + nGetOffset(0) + i x
// nGetItemSize and is nGetItemSize bytes wide; a negative element means the
// whole item. The host reads the members below by position and calls the
// twelve virtual slots, so both are pinned.
//
// Invariants: the values pointer is the buffer plus the flag-field size, the
// flags pointer is the buffer; the flag-field size is 0 without flag items,
// else (count - 1) / 8 + 1. The record owns the buffer. It is destroyed when
// its reference count falls to 0 while its hold count is 0 (the host's
// references are the hold count).
//
// The host hands in item descriptions of its own and lengths of its own:
// every slot, element and flag byte is checked against this record's sizes.
// Outside them nothing is stored, no pointer is handed out and the value
// reads as NULL. A memo item's slot is an 8-byte marker (all bits set while
// NULL, zero while defined), never its value.
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

    // What bInit writes after zeroing the buffer.
    enum eINITTYPE : int32_t
    {
        INIT_NULL = 0,
        INIT_DEFAULT_VALUES = 1,
    };

    // Lays out and allocates the buffer for the description, every item
    // NULL; with INIT_DEFAULT_VALUES then writes the items' default values.
    // 0 (the record unchanged) when the buffer cannot be had or a slot of
    // the description lies outside its values area.
    int bInit(INADataSourceDescription* piSource, eINITTYPE eInit);

    unsigned char* pbyGetValues() const { return m_pbyValues; }
    unsigned char* pbyGetNullValuesFlags() const { return m_pbyFlags; }
    unsigned char* pbyGetBuffer() const { return m_pbyBuffer; }
    unsigned nGetFlagFieldSize() const { return m_dwFlagFieldSize; }
    unsigned nGetBufferSize() const { return m_dwBufferSize; }
    unsigned nGetNbFlagItems() const { return m_dwNbFlagItems; }

    // The element's slot; null outside the record.
    unsigned char* pbyGetItemValue(const INAItemDescription* piItem, int nIndex);
    const unsigned char* pbyGetItemValue(const INAItemDescription* piItem, int nIndex) const;
    // The item's flag bit; 0 outside the record. The index is not used.
    int bItemValueDefined(const INAItemDescription* piItem, unsigned nIndex) const;
    // Both at once: the element's slot and width, and the item's flag bit;
    // null and not defined outside the record.
    const unsigned char* pbyGetSlot(const INAItemDescription* piItem, int nIndex, uint32_t* pnWidth,
                                    int* pbDefined) const;
    // Sets or clears the flag; a memo item's marker follows it, another
    // item's element is zeroed when made NULL.
    void SetItemValueDefined(const INAItemDescription* piItem, int bDefined, unsigned nIndex);
    // The same for a list of items, each under its own physical index,
    // element 0.
    void SetTabItemValueDefined(const INAItemDescription* const* ppiItems, unsigned nCount,
                                const unsigned* pnPhysicalIndexes, const int* pbDefined);
    // Stores bytes by the slot rules of the item's type and marks the item
    // defined: at most the slot is written, the rest of it zeroed.
    void SetItemValue(const INAItemDescription* piItem, const void* pData, unsigned long nLength, unsigned nIndex);
    // Stores a runtime value, cast to the item's runtime type when needed;
    // NULL (or the empty value) makes the element NULL.
    void SetItemValue(const INAItemDescription* piItem, const CAny* pclValue, unsigned nIndex);
    // Copies the slot's bytes out (nothing outside the record).
    void GetItemValue(void* pOut, const INAItemDescription* piItem, int nIndex) const;
    // Reads the slot into a runtime value of the item's runtime type; the
    // null flag is not looked at (the caller tests it first). A text ends at
    // its first zero (unit), so a slot's padding is never part of a value.
    void GetItemValue(CAny* pclValue, const INAItemDescription* piItem, int nIndex) const;
    // Copies at most the values area and marks every item defined.
    void SetValues(const unsigned char* pbyValues, unsigned long nLength);
    // Copies the other record's buffer, at most the smaller of the two;
    // nothing from itself.
    void Copy(const CNAQFRecord* pclOther);
    // A new record with a copy of the buffer, without a reference; null
    // when memory runs out.
    CNAQFRecord* pclGetClone() const;
    // Same buffer size, same flag-field size, same bytes.
    int bEquals(const CNAQFRecord* pclOther) const;

    // The stand-alone form: buffer size, number of flag items, flag-field
    // size (32-bit each, host order), then the buffer.
    unsigned long nGetSerializeSize() const { return static_cast<unsigned long>(m_dwBufferSize) + 12; }
    unsigned long nGetSerializeValuesOffset() const { return static_cast<unsigned long>(m_dwFlagFieldSize) + 12; }
    // 0 (nothing written) when the output is smaller than the form.
    int Serialize(unsigned char* pbyOut, unsigned long nLength) const;
    // 0 (the record unchanged) when the counts do not agree with each other
    // or with the length, or the buffer cannot be had.
    int Deserialize(const unsigned char* pbyIn, unsigned long nLength);

    // The form inside the row cache's tables: the buffer alone, without
    // its sizes. Saving needs room for the buffer; loading takes exactly a
    // buffer of this record's size (a record laid out from the same
    // description), else 0 and nothing changes.
    int SaveBuffer(unsigned char* pbyOut, unsigned long nLength) const;
    int LoadBuffer(const unsigned char* pbyIn, unsigned long nLength);

    // Counting: the driver's references and the host's (the hold count).
    void AddRef() { ++m_dwRefCount; }
    unsigned nRelease();
    void ExternalAddRef() { ++m_dwHoldCount; }
    unsigned nExternalRelease();
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwHoldCount; }

private:
    friend struct CNAQFRecordLayout;

    // Where an element lies, checked against the values area (a negative
    // element: the whole item).
    bool _bSlot(const INAItemDescription* piItem, int64_t nIndex, uint32_t* pnOffset, uint32_t* pnWidth) const;
    // Which flag bit, checked against the flag field.
    bool _bFlag(uint32_t nPhysicalIndice, uint32_t* pnByte, unsigned char* pbyMask) const;
    // Both: an item of this record has its slot and its flag inside it.
    bool _bItem(const INAItemDescription* piItem, int64_t nIndex, uint32_t* pnOffset, uint32_t* pnWidth,
                uint32_t* pnByte, unsigned char* pbyMask) const;
    void _SetFlag(uint32_t nByte, unsigned char byMask, bool bDefined)
    {
        if (bDefined)
            m_pbyFlags[nByte] |= byMask;
        else
            m_pbyFlags[nByte] = static_cast<unsigned char>(m_pbyFlags[nByte] & ~byMask);
    }
    void _SetDefined(const INAItemDescription* piItem, uint32_t nPhysicalIndice, int bDefined, int64_t nIndex);
    // Takes a new buffer of that size and sets the sizes and pointers.
    void _Adopt(unsigned char* pbyBuffer, uint32_t nBufferSize, uint32_t nFlagItems, uint32_t nFlagFieldSize);
    void _WriteDefaultValues(INADataSourceDescription* piSource);

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

// Reference hooks of the counted containers (see common/text/ref_hooks.h):
// the driver's count.
inline void REF_AddRef(CNAQFRecord* p)
{
    p->AddRef();
}
inline void REF_Release(CNAQFRecord* p)
{
    p->nRelease();
}

// Casts a value to a runtime type for an item: 8-bit text cast to DATETIME
// for an HEURE item becomes that time of day on the initial date; any other
// cast is the plain one. The cast's code (0 success).
int nCastTo(CAny* pclValue, unsigned short nType, const INAItemDescription* piItem);
