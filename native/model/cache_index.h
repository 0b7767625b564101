#pragma once

// The index of one column over a complete row cache: the order in which a
// fully cached table is browsed by that column, without the server. Rows are
// named by their number in the cache (32-bit); an index holds row numbers
// only and reads values back from the cache when it needs them, never
// keeping row data.
//
// CIndexItem is the abstract index with what both kinds share: reading the
// column's value in a cached row and comparing memo bytes. The kinds are
// CIndexFixedSizeItem (sortable keys in the in-memory B+ tree) and CIndexMemo
// (a sorted array of row numbers, for memo columns).
//
// The error object, the row cache, the column and the statement are named
// without a reference: the table cache index that owns the index holds the
// first three, and the statement it serves outlives it. No lock: callers
// hold the driver-wide lock.
#include <cstdint>

#include "native/driver/na_forward.h"

class CNARecord;

class CIndexItem
{
public:
    CIndexItem(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn, CNAStatement* pclStatement);
    CIndexItem(const CIndexItem&) = delete;
    CIndexItem& operator=(const CIndexItem&) = delete;

    // Slots 0-1: the scratch row released.
    virtual ~CIndexItem();
    // Slot 2: every present cached row entered, in row order; 0 at the
    // first failure (out of memory with the error object's no-memory error).
    virtual int bInit() = 0;
    // Slots 3-4: the row entered or removed; the value is the column's value
    // of the row (the row's cached value when null).
    virtual int bInsertRecord(int nRow, CAny* pclValue) = 0;
    virtual int bDeleteRecord(int nRow, CAny* pclValue) = 0;
    // Slot 5: moves in a direction (0 first, 1 last, 2 next, 3 previous) by
    // a count, and gives the row reached (-1 when none) and, when asked, how
    // many entries just in front hold rows equal to it. 0 when a cached row
    // cannot be read.
    virtual int bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow,
                                   unsigned* pnDuplicateIndex) = 0;
    // Slots 6-8: the row at the current position (-1 when none), the number
    // of entries, and the number of entries in front of the current one.
    virtual int nGetCurrentRecordId() = 0;
    virtual int nGetRecordNbr() = 0;
    virtual int nGetPreviousRecordNbr() = 0;
    // Slot 9: the current position set on a row (-1: on the current
    // record's original value) and, past it, on the skip-th equal row.
    virtual int bSetCurrentPos(int nRow, int nSkip, int* pbFound) = 0;

    // --- What the kinds share.
    // The column's runtime type.
    unsigned short _eGetTypeZL() const;
    // The value's data address and size; a null address for size 0; 0 when
    // the value refuses.
    static int _bGetDataAdr(unsigned char** ppbyData, unsigned long* pnSize, CAny* pclValue);
    // The column's value in cached row n (a memo's by its memo index); 0
    // when the row cannot be read.
    int _bGetRecordValue(CAny* pclValue, int nRow);
    // The column's value in the current record's original row; 0 without
    // one.
    int _bGetOriginalValue(CAny* pclValue);
    // -1, 0 or 1 as row n's memo bytes sort below, equal to or above the
    // given bytes (see s_nCompareMemo); 0 when the row cannot be read.
    int _bCompareValues(int* pnResult, int nRow, const unsigned char* pbyKey, unsigned long nLength);
    // The memo order: bytes as unsigned over the shorter length, then the
    // shorter first.
    static int s_nCompareMemo(const unsigned char* pbyA, unsigned long nA, const unsigned char* pbyB,
                              unsigned long nB);

    CNARecordCache* pclGetRecordCacheNoRef() const { return m_pclCache; }
    CNAColumn* pclGetColumnNoRef() const { return m_pclColumn; }
    CNAStatement* pclGetStatementNoRef() const { return m_pclStatement; }

protected:
    // The record whose original row is the current record's: the column's.
    CNARecord* _pclGetRecordNoRef() const;
    // The scratch row that cached rows are read into, made on first use;
    // null without memory.
    CNARecordValue* _pclScratchRow();
    // Cached row n read into the scratch row; null when it cannot be.
    CNARecordValue* _pclReadRow(int nRow);
    void _SetNoMemory();

    CNAError* m_pclError;
    CNARecordCache* m_pclCache;
    CNAColumn* m_pclColumn;
    CNAStatement* m_pclStatement;
    CNARecordValue* m_pclRow = nullptr;
};
