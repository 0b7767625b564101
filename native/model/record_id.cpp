// Record identities by values (kind 1) and by row id (kind 3): their
// serialized forms, hashes and comparisons.
#include "native/model/record_id.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "common/text/hash_table_bounce.h"
#include "common/text/xy_string.h"
#include "native/model/convert_variant.h"
#include "native/model/qf_record.h"
#include "native/model/record_value.h"

namespace {

// The forms are little-endian and packed: every field is read and written
// through memcpy of host-order values (the driver runs on x86-64 only).
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the serialized forms are little-endian");

template <class T>
T tRead(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void Write(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

// Offsets of the kind-1 form.
constexpr size_t kValuesLength = 4;
constexpr size_t kValuesRecord = 12;
constexpr size_t kValuesMemo = 20;
// Offsets of the kind-3 form.
constexpr size_t kRowIdLength = 4;
constexpr size_t kRowIdBytes = 8;

// Unsigned bytes over the shorter length; a prefix is the smaller.
int nCompareBytes(const unsigned char* a, uint64_t nA, const unsigned char* b, uint64_t nB)
{
    const uint64_t n = std::min(nA, nB);
    if (n > 0) {
        const int nCmp = std::memcmp(a, b, n);
        if (nCmp != 0)
            return nCmp < 0 ? -1 : 1;
    }
    if (nA == nB)
        return 0;
    return nA < nB ? -1 : 1;
}

// A table keyed by serialized identities hashes by the stored hash.
void InstallFunctions(CHashTableBounce* pclTable, CHashTableBounce::PFCMP pfCompare)
{
    if (pclTable == nullptr)
        return;
    pclTable->SetCmp(pfCompare);
    pclTable->SetHashVal(&CNARecordId::g_dwPtrHashVal);
}

}  // namespace

unsigned int CNARecordId::g_dwPtrHashVal(const void* pSerialized)
{
    return tRead<uint32_t>(static_cast<const unsigned char*>(pSerialized));
}

// --- By values ------------------------------------------------------------------

CNARecordId_RecordValues::CNARecordId_RecordValues(const CNARecordValue* pclRow)
{
    _Follow(pclRow);
}

CNARecordId_RecordValues::CNARecordId_RecordValues(const unsigned char* pbyRecord, unsigned long nLength,
                                                   const CNARecordMemo* pclMemo)
    : m_pbyRecord(pbyRecord), m_llLength(pbyRecord != nullptr ? nLength : 0), m_pclMemo(pclMemo)
{
}

void CNARecordId_RecordValues::_Follow(const CNARecordValue* pclRow)
{
    const CNAQFRecord* pclRecord = pclRow != nullptr ? pclRow->pclGetNAQFRecordNoRef() : nullptr;
    m_pbyRecord = pclRecord != nullptr ? pclRecord->pbyGetBuffer() : nullptr;
    m_llLength = m_pbyRecord != nullptr ? pclRecord->nGetBufferSize() : 0;
    m_pclMemo = pclRow != nullptr ? pclRow->pclGetRecordMemoNoRef() : nullptr;
}

CNARecordId* CNARecordId_RecordValues::pclGetClone(const CNARecordValue* pclRow) const
{
    return new (std::nothrow) CNARecordId_RecordValues(pclRow);
}

int CNARecordId_RecordValues::bEqualRecordId(const CNARecordId* pclOther) const
{
    if (pclOther == nullptr || pclOther->eGetRecordIdType() != NA_RECORDID_VALUES)
        return 0;
    const auto* pclValues = static_cast<const CNARecordId_RecordValues*>(pclOther);
    return pclValues->m_llLength == m_llLength &&
           nCompareBytes(m_pbyRecord, m_llLength, pclValues->m_pbyRecord, pclValues->m_llLength) == 0;
}

int CNARecordId_RecordValues::bCopy(const CNARecordValue* pclRow, const CNARecordId*)
{
    _Follow(pclRow);
    return 1;
}

int CNARecordId_RecordValues::Serialize(unsigned char* pbyOut, unsigned long nSize) const
{
    if (pbyOut == nullptr || nSize < kSerializedSize)
        return 0;
    Write<uint32_t>(pbyOut, dwGetHashVal());
    Write<uint64_t>(pbyOut + kValuesLength, m_llLength);
    Write<uint64_t>(pbyOut + kValuesRecord, reinterpret_cast<uintptr_t>(m_pbyRecord));
    Write<uint64_t>(pbyOut + kValuesMemo, reinterpret_cast<uintptr_t>(m_pclMemo));
    return 1;
}

int CNARecordId_RecordValues::DeSerialize(const unsigned char* pbyIn, unsigned long nSize)
{
    if (pbyIn == nullptr || nSize < kSerializedSize)
        return 0;
    m_llLength = tRead<uint64_t>(pbyIn + kValuesLength);
    m_pbyRecord = reinterpret_cast<const unsigned char*>(static_cast<uintptr_t>(tRead<uint64_t>(pbyIn + kValuesRecord)));
    m_pclMemo = reinterpret_cast<const CNARecordMemo*>(static_cast<uintptr_t>(tRead<uint64_t>(pbyIn + kValuesMemo)));
    return 1;
}

uint32_t CNARecordId_RecordValues::dwGetHashVal() const
{
    uint32_t dwSum = 0;
    uint64_t i = 0;
    for (; i + 4 <= m_llLength; i += 4)
        dwSum += tRead<uint32_t>(m_pbyRecord + i);
    for (; i < m_llLength; ++i)
        dwSum += m_pbyRecord[i];
    return dwSum;
}

void CNARecordId_RecordValues::RecordIdToString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int) const
{
    if (pOut == nullptr)
        return;
    if (pszPrefix != nullptr && pszPrefix[0] != 0)
        pOut->Set(pszPrefix);
    else
        pOut->Vide();
    wchar_t szText[64];
    std::swprintf(szText, sizeof szText / sizeof szText[0], L"record values (%d bytes)",
                  static_cast<int>(std::min<uint64_t>(m_llLength, INT32_MAX)));
    pOut->Add(szText);
}

void CNARecordId_RecordValues::SetHashTableFct_SerializedObject(CHashTableBounce* pclTable) const
{
    InstallFunctions(pclTable, &g_nCompare_CNARecordId_RecordValues);
}

int CNARecordId_RecordValues::g_nCompare_CNARecordId_RecordValues(const void* pA, const void* pB)
{
    const auto* a = static_cast<const unsigned char*>(pA);
    const auto* b = static_cast<const unsigned char*>(pB);
    // The rows of one cache all have their data source's length; a row of
    // another length never makes the comparison read past it.
    return nCompareBytes(reinterpret_cast<const unsigned char*>(static_cast<uintptr_t>(tRead<uint64_t>(a + kValuesRecord))),
                         tRead<uint64_t>(a + kValuesLength),
                         reinterpret_cast<const unsigned char*>(static_cast<uintptr_t>(tRead<uint64_t>(b + kValuesRecord))),
                         tRead<uint64_t>(b + kValuesLength));
}

// --- By row id ----------------------------------------------------------------

CNARecordId_RowId::CNARecordId_RowId(CNAConvertVariant* pclValue) : m_pclValue(pclValue)
{
    if (m_pclValue != nullptr)
        REF_AddRef(m_pclValue);
}

CNARecordId_RowId::~CNARecordId_RowId()
{
    if (m_pclValue != nullptr)
        m_pclValue->nRelease();
}

CNARecordId* CNARecordId_RowId::pclGetClone(const CNARecordValue*) const
{
    CNAConvertVariant* pclClone = nullptr;
    if (m_pclValue != nullptr) {
        pclClone = m_pclValue->pclGetCloneVariant();
        if (pclClone == nullptr)
            return nullptr;
    }
    CNARecordId* pclId = new (std::nothrow) CNARecordId_RowId(pclClone);
    if (pclId == nullptr && pclClone != nullptr)
        delete pclClone;
    return pclId;
}

int CNARecordId_RowId::bEqualRecordId(const CNARecordId* pclOther) const
{
    if (pclOther == nullptr || pclOther->eGetRecordIdType() != NA_RECORDID_ROWID)
        return 0;
    return CNAConvertVariant::g_bEqualsNAVariant(m_pclValue,
                                                 static_cast<const CNARecordId_RowId*>(pclOther)->m_pclValue);
}

int CNARecordId_RowId::bCopy(const CNARecordValue*, const CNARecordId* pclOther)
{
    if (pclOther == nullptr || pclOther->eGetRecordIdType() != NA_RECORDID_ROWID || m_pclValue == nullptr)
        return 0;
    return m_pclValue->bCopyVariant(static_cast<const CNARecordId_RowId*>(pclOther)->m_pclValue);
}

unsigned long CNARecordId_RowId::nGetSerializedSize() const
{
    if (m_pclValue == nullptr)
        return kRowIdBytes;
    return kRowIdBytes + std::max(m_pclValue->nGetBufferSize(), m_pclValue->nGetSize());
}

int CNARecordId_RowId::Serialize(unsigned char* pbyOut, unsigned long nSize) const
{
    const unsigned char* pbyValue =
        m_pclValue != nullptr ? static_cast<const unsigned char*>(m_pclValue->pGetData()) : nullptr;
    const unsigned long nLength = pbyValue != nullptr ? m_pclValue->nGetSize() : 0;
    if (pbyOut == nullptr || nLength > UINT32_MAX || nSize < kRowIdBytes || nSize - kRowIdBytes < nLength)
        return 0;
    Write<uint32_t>(pbyOut, dwGetHashVal());
    Write<uint32_t>(pbyOut + kRowIdLength, static_cast<uint32_t>(nLength));
    if (nLength > 0)
        std::memcpy(pbyOut + kRowIdBytes, pbyValue, nLength);
    return 1;
}

int CNARecordId_RowId::DeSerialize(const unsigned char* pbyIn, unsigned long nSize)
{
    if (pbyIn == nullptr || m_pclValue == nullptr || nSize < kRowIdBytes)
        return 0;
    const uint32_t nLength = tRead<uint32_t>(pbyIn + kRowIdLength);
    if (nSize - kRowIdBytes < nLength)
        return 0;
    return m_pclValue->bSetValue(pbyIn + kRowIdBytes, nLength);
}

uint32_t CNARecordId_RowId::dwGetHashVal() const
{
    return m_pclValue != nullptr ? m_pclValue->nChecksum32() : 0;
}

void CNARecordId_RowId::RecordIdToString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const
{
    if (pOut == nullptr)
        return;
    if (m_pclValue != nullptr) {
        m_pclValue->GetString(pOut, pszPrefix, bDetail);
        return;
    }
    if (pszPrefix != nullptr)
        pOut->Set(pszPrefix);
    else
        pOut->Vide();
}

void CNARecordId_RowId::SetHashTableFct_SerializedObject(CHashTableBounce* pclTable) const
{
    InstallFunctions(pclTable, &g_nCompare_CNARecordId_RowId);
}

int CNARecordId_RowId::g_nCompare_CNARecordId_RowId(const void* pA, const void* pB)
{
    const auto* a = static_cast<const unsigned char*>(pA);
    const auto* b = static_cast<const unsigned char*>(pB);
    return nCompareBytes(a + kRowIdBytes, tRead<uint32_t>(a + kRowIdLength), b + kRowIdBytes,
                         tRead<uint32_t>(b + kRowIdLength));
}
