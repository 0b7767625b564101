#pragma once

// The row cache: the rows of one statement in memory, in fetch order, so
// that the statement can browse back and forth, jump to a row by its
// identity and re-read rows without asking the server again.
//
// Each row has an entry in the record table (its buffer's bytes) and in the
// identity table (its serialized identity), both block tables whose
// elements never move; a state (0 present, 128 deleted); and, made on
// demand, a memo set (the memo array may be shorter than the row count). A
// hash table maps the ADDRESS of each stored serialized identity to its row
// index; its hash is the stored 32-bit hash and its comparison the identity
// kind's, fixed by the first row that has an identity.
//
// Invariants a reader must keep:
// - Entry i of both tables, state i and memo set i belong to row i; the
//   deleted count is the number of states of 128.
// - A kind-1 identity stored here points at the cache's own copy of the
//   row's bytes and at the cache's memo set of that row.
// - The hash holds at most one entry per row, keyed by that row's stored
//   identity, and every stored index names the row it was added for: rows
//   inserted or removed shift the indexes above them. Rows of equal bytes
//   have equal keys, so an entry is always removed by its stored address,
//   never by key comparison.
// - A row without an identity of the cache's kind (or reserved, not
//   fetched) has a reserved identity entry and no hash entry.
// - Appending or inserting a row that cannot get its memory changes
//   nothing and answers -1. An update that cannot get its memory leaves the
//   row reserved (not fetched, state 128), so that the statement reads it
//   again.
//
// Counted through CInterf, plainly, under the driver-wide lock. The virtual
// slots are in their fixed order.
#include <cstdint>

#include "common/text/hash_table_bounce.h"
#include "common/text/ref_array.h"
#include "common/text/tableau.h"
#include "native/driver/na_forward.h"
#include "native/model/buffer_table.h"
#include "native/model/interf.h"
#include "native/model/record_memo.h"
#include "native/model/record_value.h"

class CNARecordCache : public CInterf
{
public:
    // Flag bits.
    static constexpr uint32_t kEnabled = 1;
    static constexpr uint32_t kFetchComplete = 8;

    CNARecordCache();
    ~CNARecordCache() override;

    // Slots 3-8.
    // A non-zero count becomes the grow count of both tables and the grow
    // step of the memo array; a non-zero size in bytes the block size.
    virtual void SetGrowStep(int nCount, int nBytes);
    // Appends; the new row's index, or -1.
    virtual int nAjoute(const CNARecordValue* pclRow);
    // Removes row n; nothing when there is no row n.
    virtual void Supprime(unsigned n);
    // Empties the cache, keeping bit 0, the identity kind, the settings,
    // the template row and the scratch buffer.
    virtual void SupprimeTout();
    virtual int _nAjoute(const CNARecordValue* pclRow);
    // Inserts at n below the row count; n, or -1.
    virtual int _Insere(const CNARecordValue* pclRow, unsigned n);

    // --- Flags and counts.
    uint32_t dwGetFlags() const { return m_dwFlags; }
    // Bit 0, set by the statement that enables its cache.
    void SetEnabled(int bEnabled);
    int bEnabled() const { return (m_dwFlags & kEnabled) != 0; }
    int bFetchComplete() const { return (m_dwFlags & kFetchComplete) != 0; }
    // Bit 3, only while enabled.
    void SetFetchComplete();
    int nGetRowCount() const { return m_clRecords.nGetCount(); }
    int nGetDeletedCount() const { return m_nDeleted; }
    eNA_RECORDIDTYPE eGetRecordIdType() const { return m_eRecordIdType; }

    // --- Rows.
    // Beyond the end, reserved rows are appended up to n first (stopping
    // when an append is refused); at the end an append; else an insert.
    // The row's index, or -1.
    int Insere(const CNARecordValue* pclRow, unsigned n);
    // Replaces row n in place (see the header's invariants); 1, or 0 when
    // there is no row n or memory ran out.
    int Update(unsigned n, const CNARecordValue* pclRow);
    // After a write: kind 3 (insert) appends the new row (at the front with
    // the flag, answering 0); kinds 2 (update) and 4 (delete) find the old
    // row by its identity (-1 when absent) and replace it or mark it
    // deleted. The row's index.
    int nOnNotifyOperation(int eQueryType, const CNARecordValue* pclNew, const CNARecordValue* pclOld, unsigned,
                           int bAtFront);

    // --- States.
    int bRecordInCache(int n) const { return n >= 0 && !m_clRecords.bReserved(n); }
    int bMemoInCache(int n) const { return m_tabMemo.pclGet(n) != nullptr; }
    // 128 (not there) outside the rows.
    eNA_RECORDSTATE eGetRecordState(int n) const;
    int _bRecordDeleted(int n) const { return (eGetRecordState(n) & NA_RS_DELETED) != 0; }
    void SetRecordState(int n, eNA_RECORDSTATE eState);
    int bEndehors(int n) const { return n < 0 || n >= nGetRowCount(); }
    int bMustFetch(int n) const;

    // --- Positions and lookups.
    // The row reached from a position by a count of rows in a direction (0
    // first, 1 last, 2 next, 3 previous; any other first), deleted rows not
    // counted; -1 before the first row.
    int nGetPosition(long nFrom, eNA_PARSEDIRECTION eDirection, long nCount) const;
    // The index of the cached row with that identity, or -1.
    int nGetRecordIndice(const CNARecordId* pclId);
    int nGetRecordIndice(const CNARecordValue* pclRow);

    // --- Reads.
    // Row n into a row value (a buffer and identity from the template when
    // it has none), with its cached memo values (a row without any reads as
    // an empty set, and no set is made for it); false for no row n or a
    // reserved one.
    int bGetAt(CNARecordValue* pclRow, unsigned n);
    int bGetAt(CNARecordValue* pclRow, const CNARecordId* pclId);
    int bEquals(int n, const CNARecordValue* pclRow, int bMemo);
    int bEquals(int a, int b, int bMemo);
    // Cached memo set n copied into the given set (which has entries).
    void RestaureMemo(int n, CNARecordMemo* pclMemo);

    // --- Inside (and for tests).
    const CNABufferTable<CNAQFRecord>& GetRecordTable() const { return m_clRecords; }
    const CNABufferTable<CNARecordId>& GetIdTable() const { return m_clIds; }
    CNARecordValue* pclGetTemplateNoRef() const { return m_pclTemplate; }
    CNARecordMemo* pclGetMemoNoRef(int n) const { return m_tabMemo.pclGet(n); }
    unsigned nGetHashCount() const { return m_clHash.dwGetNumElement(); }

    // The memo set of row n, made (empty) when absent; null without memory.
    CNARecordMemo* _pclGetRecordMemo(int n);
    // A copy of a set with entries as row n's set; null otherwise.
    CNARecordMemo* _pclSetMemo(int n, const CNARecordMemo* pclMemo);
    // A new empty set inserted at n; null without memory.
    CNARecordMemo* pclInsertRecordMemo(int n);
    // A copy of a set with entries inserted at n; null otherwise.
    CNARecordMemo* _InsertMemo(int n, const CNARecordMemo* pclMemo);

    void _HashAddID(int n, const unsigned char* pbyKey);
    void _HashInsertID(int n, const unsigned char* pbyKey);
    // Removes the hash entry of row n: the one stored under row n's own
    // identity address, whatever other rows have equal keys.
    void _HashDeleteID(int n);
    void _SetRecordIdType(const CNARecordValue* pclRow);

protected:
    // The memo array: counted sets by row, null where a row has none.
    class CMemoArray : public CNARefArray<CNARecordMemo>
    {
    public:
        CMemoArray() : CNARefArray<CNARecordMemo>(100) {}
        CNARecordMemo* pclGet(int n) const { return n >= 0 && n < nGetNbElement() ? (*this)[n] : nullptr; }
        // Set n replaced (a reference taken on the new one, the former one
        // released), the array extended with nulls; 0 without memory.
        int bSet(int n, CNARecordMemo* pclMemo);
        void Remove(int n);
        void Truncate(int nCount);
    };

    // A new empty set as row n's, replacing or inserted at n; null without
    // memory.
    CNARecordMemo* _pclNewMemo(int n, bool bInsert);
    // Stores a row at n (the row count: an append); n, or -1 with nothing
    // changed.
    int _nPlace(const CNARecordValue* pclRow, int n);
    // The row's identity serialized into the identity table, through a
    // kind-1 identity over the stored bytes for a kind-1 row; null when the
    // row has none of the cache's kind (the entry stays reserved) or
    // memory runs out (*pbFailed).
    unsigned char* _pbyStoreId(const CNARecordValue* pclRow, const unsigned char* pbyRecord, const CNARecordMemo* pclMemo,
                               int nWriteAt, CSimpleTableBlocks::stENTRY* pstEntry, bool* pbFailed);
    // Adds the delta to every stored index at or above nFrom.
    void _HashShift(int nFrom, int nDelta);
    // Row n made reserved and deleted after a failed update.
    int _FailUpdate(unsigned n);

    uint32_t m_dwFlags = 0;
    CNABufferTable<CNAQFRecord> m_clRecords;
    CMemoArray m_tabMemo;
    CTTableau<eNA_RECORDSTATE> m_tabStates;
    int32_t m_nDeleted = 0;
    eNA_RECORDIDTYPE m_eRecordIdType = NA_RECORDID_NONE;
    CNABufferTable<CNARecordId> m_clIds;
    CHashTableBounce m_clHash;
    unsigned char* m_pbyScratch = nullptr;
    unsigned long m_nScratchSize = 0;
    CNARecordValue* m_pclTemplate = nullptr;
};
