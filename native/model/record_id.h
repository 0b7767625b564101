#pragma once

// Record identities: what names one row of a table or query so that the row
// cache can find it again after it was fetched, written or browsed away
// from. Every row value carries one, made by its data access.
//
// - By values (kind 1): the row's own record bytes. The identity points at
//   the bytes and at the row's memo set without owning or counting either;
//   it is valid only while they live (inside the row cache it points at the
//   cache's own stored copy).
// - By row id (kind 3): the database's row identifier in a value holder, on
//   which the identity holds one reference.
//
// Identities are reduced to a flat serialized form, 32-bit hash first, which
// the row cache stores in its identity table and keys its hash table with:
// the table's hash function reads that stored hash, its comparison is the
// kind's. Kind 1 serializes to exactly 28 bytes holding addresses, so its
// form is valid only inside the process and while the bytes live.
//
// Counted atomically through CVXUnknown: a new identity has no reference and
// its holder adds the first. The virtual slots are in their fixed order.
#include <cstdint>

#include "common/system/vx_unknown.h"
#include "native/driver/na_forward.h"

class CHashTableBounce;

// The kinds, as eGetRecordIdType answers them; 0 is no kind (a row cache
// whose kind is not fixed yet).
enum eNA_RECORDIDTYPE : int32_t
{
    NA_RECORDID_NONE = 0,
    NA_RECORDID_VALUES = 1,
    NA_RECORDID_ROWID = 3,
};

class CNARecordId : public CVXUnknown
{
public:
    CNARecordId() = default;
    // Slots 0-1; slot 2 is CVXUnknown's dwRelease.
    ~CNARecordId() override = default;

    // Slots 3-12.
    virtual eNA_RECORDIDTYPE eGetRecordIdType() const = 0;
    // A new identity of the same kind for the given row (no reference); null
    // when memory runs out.
    virtual CNARecordId* pclGetClone(const CNARecordValue* pclRow) const = 0;
    // False for an identity of another kind.
    virtual int bEqualRecordId(const CNARecordId* pclOther) const = 0;
    virtual int bCopy(const CNARecordValue* pclRow, const CNARecordId* pclOther) = 0;
    // The bytes the serialized form takes.
    virtual unsigned long nGetSerializedSize() const = 0;
    // 0 (nothing written) when the output is smaller than the form.
    virtual int Serialize(unsigned char* pbyOut, unsigned long nSize) const = 0;
    // 0 (the identity unchanged) when the bytes are not a whole form.
    virtual int DeSerialize(const unsigned char* pbyIn, unsigned long nSize) = 0;
    virtual uint32_t dwGetHashVal() const = 0;
    virtual void RecordIdToString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const = 0;
    // Installs the kind's comparison and the stored-hash function in a table
    // keyed by serialized identities.
    virtual void SetHashTableFct_SerializedObject(CHashTableBounce* pclTable) const = 0;

    // The hash stored at the start of a serialized identity.
    static unsigned int g_dwPtrHashVal(const void* pSerialized);
};

class CNARecordId_RecordValues : public CNARecordId
{
public:
    // Over the row's record buffer (its bytes and size) and memo set; a row
    // without buffer gives an empty record.
    explicit CNARecordId_RecordValues(const CNARecordValue* pclRow);
    CNARecordId_RecordValues(const unsigned char* pbyRecord, unsigned long nLength, const CNARecordMemo* pclMemo);

    static constexpr unsigned long kSerializedSize = 28;

    eNA_RECORDIDTYPE eGetRecordIdType() const override { return NA_RECORDID_VALUES; }
    // Over the given row, not a copy of this identity.
    CNARecordId* pclGetClone(const CNARecordValue* pclRow) const override;
    // Equal lengths and equal bytes; memo values are not compared.
    int bEqualRecordId(const CNARecordId* pclOther) const override;
    // Follows the given row; the other identity is not used. 1.
    int bCopy(const CNARecordValue* pclRow, const CNARecordId* pclOther) override;
    unsigned long nGetSerializedSize() const override { return kSerializedSize; }
    int Serialize(unsigned char* pbyOut, unsigned long nSize) const override;
    // The length and both addresses; the hash is not read.
    int DeSerialize(const unsigned char* pbyIn, unsigned long nSize) override;
    // Little-endian 32-bit words summed, then the tail bytes, modulo 2^32.
    uint32_t dwGetHashVal() const override;
    void RecordIdToString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const override;
    void SetHashTableFct_SerializedObject(CHashTableBounce* pclTable) const override;

    // Two serialized identities: the record bytes compared as unsigned bytes
    // over the shorter length; a record that is a prefix of the other is
    // the smaller. Never reads past either record.
    static int g_nCompare_CNARecordId_RecordValues(const void* pA, const void* pB);

    const unsigned char* pbyGetRecord() const { return m_pbyRecord; }
    uint64_t llGetLength() const { return m_llLength; }
    const CNARecordMemo* pclGetMemoNoRef() const { return m_pclMemo; }

private:
    void _Follow(const CNARecordValue* pclRow);

    const unsigned char* m_pbyRecord = nullptr;
    uint64_t m_llLength = 0;
    const CNARecordMemo* m_pclMemo = nullptr;
};

class CNARecordId_RowId : public CNARecordId
{
public:
    // Keeps the value holder with one reference; it may be null (an empty
    // row id).
    explicit CNARecordId_RowId(CNAConvertVariant* pclValue);
    // The reference given back.
    ~CNARecordId_RowId() override;

    eNA_RECORDIDTYPE eGetRecordIdType() const override { return NA_RECORDID_ROWID; }
    // Over a clone of the value holder.
    CNARecordId* pclGetClone(const CNARecordValue* pclRow) const override;
    int bEqualRecordId(const CNARecordId* pclOther) const override;
    // The other's value copied into this one's holder; 0 when the other is
    // not a row id or has no value.
    int bCopy(const CNARecordValue* pclRow, const CNARecordId* pclOther) override;
    // 8 + the larger of the holder's buffer capacity and its value's size,
    // so that every value it holds fits the form.
    unsigned long nGetSerializedSize() const override;
    int Serialize(unsigned char* pbyOut, unsigned long nSize) const override;
    int DeSerialize(const unsigned char* pbyIn, unsigned long nSize) override;
    // The value's 32-bit checksum.
    uint32_t dwGetHashVal() const override;
    void RecordIdToString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const override;
    void SetHashTableFct_SerializedObject(CHashTableBounce* pclTable) const override;

    // Two serialized row ids: the value bytes over the shorter length; a
    // prefix is the smaller.
    static int g_nCompare_CNARecordId_RowId(const void* pA, const void* pB);

    CNAConvertVariant* pclGetValueNoRef() const { return m_pclValue; }

private:
    CNAConvertVariant* m_pclValue;
};
