#pragma once

// The index of a memo column: the row numbers in one array sorted by the
// rows' memo bytes (CIndexItem::s_nCompareMemo), values read back from the
// cache for every comparison. Empty memos (no bytes) come first, in the order
// they were entered; equal memos follow each other in the order they were
// entered.
//
// Positions are indexes in the array: the current one (-1 for none) and the
// last of the empty memos at the front (-1 when there is none). Removing the
// current entry leaves the index "off" (no current row) until it is
// positioned again; removing an entry at or before the last empty memo moves
// that position down with it, so that later empty memos still join the
// front and the array stays sorted.
#include <cstdint>

#include "common/text/tableau.h"
#include "native/model/cache_index.h"

class CIndexMemo : public CIndexItem
{
public:
    CIndexMemo(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn, CNAStatement* pclStatement);
    ~CIndexMemo() override;

    int bInit() override;
    // The row's memo is read from the cache (the value is not used): the
    // comparisons read the cached rows as well.
    int bInsertRecord(int nRow, CAny* pclValue) override;
    // The row found by a linear walk and removed; a missing row is no error.
    int bDeleteRecord(int nRow, CAny* pclValue) override;
    // The duplicate index is always 0 here.
    int bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow,
                           unsigned* pnDuplicateIndex) override;
    int nGetCurrentRecordId() override;
    int nGetRecordNbr() override;
    // The current position (-1 for none).
    int nGetPreviousRecordNbr() override;
    // Row -1: the current record's original memo searched as for an
    // insertion (the last equal entry, else the first greater, else the end);
    // any other row: the entry of that row. 0 for a row that is not entered
    // or a memo that cannot be read. The skip is not used.
    int bSetCurrentPos(int nRow, int nSkip, int* pbFound) override;

    // The binary search: whether the bytes are entered and, for an equal
    // value, the last equal entry; for a missing one the first greater entry
    // (-1 past the end) when searching an insertion place, else the last
    // smaller one (-1 when none). 0 when a memo cannot be read.
    int _bFind(const unsigned char* pbyKey, unsigned long nLength, int bInsertion, int* pnPosition, int* pbFound);

    int bOff() const { return m_bOff; }
    int nGetLastEmpty() const { return m_nLastEmpty; }

private:
    // The first entry that sorts above the bytes (bUpper) or not below them;
    // the count when none. 0 when a memo cannot be read.
    int _bBound(const unsigned char* pbyKey, unsigned long nLength, bool bUpper, int* pnIndex);
    // A value's bytes: its data, through a copy so that the value stays the
    // caller's.
    int _bSearchBound(const CAny* pclValue, bool bUpper, int* pnIndex);

    int32_t m_bOff = 0;
    CTTableau<int32_t> m_tabRows{1};
    int32_t m_nCurrent = -1;
    int32_t m_nLastEmpty = -1;
};
