#pragma once

// A row value: one complete row as the driver keeps it in memory, made of
// four parts: the record buffer in the host engine's layout, the memo set of
// the row's memo columns, the row's identity and the row's state (0 present,
// 128 deleted). The current record keeps a current and an original row
// value; the row cache fills row values from its stored rows and stores them.
//
// Each part can be shared (one more reference on the same object) or copied
// (written into the row value's own object, made when missing), separately.
// The row value owns one reference on each part it holds and one on its
// error object.
//
// Invariant: a kind-1 identity points into the record buffer and at the memo
// set, so the identity is always released before either of them.
//
// Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "native/driver/na_forward.h"
#include "native/model/interf.h"

// The state of a row.
enum eNA_RECORDSTATE : int32_t
{
    NA_RS_PRESENT = 0,
    NA_RS_DELETED = 128,
};

class CNARecordValue : public CInterf
{
public:
    // Which parts a copy copies rather than shares.
    enum eCOPYFLAGS : int32_t
    {
        COPY_RECORD = 1,
        COPY_MEMO = 2,
        COPY_RECORDID = 4,
        COPY_ALL = -1,
    };

    // Empty, state 0; one reference on the error object given, or on a new
    // one from the driver when none is given.
    explicit CNARecordValue(CNAError* pclError);
    // Identity, memo set, buffer, then the error object's reference.
    ~CNARecordValue() override;

    // --- Parts.
    CNAQFRecord* pclGetNAQFRecordNoRef() const { return m_pclRecord; }
    CNARecordMemo* pclGetRecordMemoNoRef() const { return m_pclMemo; }
    CNARecordId* pclGetRecordIDNoRef() const { return m_pclRecordId; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    eNA_RECORDSTATE eGetRecordState() const { return m_eState; }
    void SetRecordState(eNA_RECORDSTATE eState) { m_eState = eState; }

    // Identity. Sharing keeps the given one (null leaves none); 1.
    int bShareRecordID(CNARecordId* pclId);
    // With an identity of the same kind, that identity's bCopy; otherwise
    // the given one's clone for this row replaces it (none for a null one).
    // 0 with the no-memory error when no clone can be made.
    int bCopyRecordID(const CNARecordId* pclId);

    // Buffer. Copied into the own buffer, or a clone kept when there is
    // none; a null one leaves the row without buffer. 0 with the no-memory
    // error when no clone can be made.
    int bCopyNAQFRecord(const CNAQFRecord* pclRecord);

    // Memo set.
    // A new empty set; 0 with the no-memory error.
    int _bAllocTabMemoValue();
    // A source without entries leaves the row without set; otherwise the
    // source copied into the own set (made when missing).
    int bCopyTabMemoValue(const CNARecordMemo* pclSource);
    // Keeps the set only when it has entries; otherwise the row has none. 1.
    int bShareTabMemoValue(CNARecordMemo* pclMemo);
    // Entry n of the set (made when missing) becomes the holder, shared or
    // a clone. 0 for a negative n, or with the no-memory error.
    int bShareMemoValue(int n, CNAConvertVariant* pclValue);
    int bCopyMemoValue(int n, CNAConvertVariant* pclValue);
    // Entry n, without or with a reference added; null without set and
    // outside the set.
    CNAConvertVariant* pclGetMemoValueNoRef(int n) const;
    CNAConvertVariant* pclGetMemoValue(int n) const;

    // --- Values.
    // Entry n's value, or NULL when there is no entry n; 1.
    int bGetMemoValue(CAny* pclValue, int n) const;
    // The item read from the buffer when its null flag says defined, else
    // NULL; 1.
    int bGetItemValue(CAny* pclValue, INAItemDescription* piItem) const;
    // Equal buffers and, with the memo flag, equal memo sets. Identities and
    // states are not compared.
    int bEquals(const CNARecordValue* pclOther, int bMemo) const;

    // --- Whole rows.
    // The state, then by the flags the buffer, the memo set and the
    // identity, in that order; the first failure answers 0 (copies made stay).
    int bCopyRecordValue(const CNARecordValue* pclSource, eCOPYFLAGS eFlags);
    // A new row value on the same error object filled by bCopyRecordValue;
    // null (with the error set) on failure.
    CNARecordValue* pclGetClone(eCOPYFLAGS eFlags) const;

    // --- Releases.
    void _FreeRecordID();
    // The identity first when there is one, then the buffer.
    void _FreeNAQFRecord();
    void _FreeTabMemoValue();

private:
    void _SetNoMemory(int nSite) const;
    void _FollowParts();

    CNAError* m_pclError = nullptr;
    CNAQFRecord* m_pclRecord = nullptr;
    CNARecordMemo* m_pclMemo = nullptr;
    CNARecordId* m_pclRecordId = nullptr;
    eNA_RECORDSTATE m_eState = NA_RS_PRESENT;
};

// Reference hooks of the counted containers: CInterf's, named for the class
// so that overload resolution does not hesitate.
inline void REF_AddRef(CNARecordValue* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNARecordValue* p)
{
    p->nRelease();
}
