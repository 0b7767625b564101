#pragma once

// The index of a column that is not a memo: its entries are (key, row) in the
// in-memory B+ tree, where the key is the sortable key of the row's value of
// the column (CConvertKey, at the width CQFConvertKey gives the column's
// runtime type and logical size) and the value the 4-byte row number; both
// are compared with memcmp. Equal values have equal keys, so rows of equal
// values are one key's duplicates, ordered by their row numbers: these are
// stored high byte first, so that their bytes sort as the numbers do.
//
// Values are keyed through a copy: keying a NULL value rewrites the value it
// is given, and the values handed in belong to the caller.
#include <cstdint>

#include "native/model/cache_index.h"

class CMemBTree;

class CIndexFixedSizeItem : public CIndexItem
{
public:
    CIndexFixedSizeItem(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn,
                        CNAStatement* pclStatement);
    // The tree and the key buffer freed.
    ~CIndexFixedSizeItem() override;

    int bInit() override;
    int bInsertRecord(int nRow, CAny* pclValue) override;
    // Removes (key of the value, row); 1 whether or not it was there.
    int bDeleteRecord(int nRow, CAny* pclValue) override;
    int bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow,
                           unsigned* pnDuplicateIndex) override;
    int nGetCurrentRecordId() override;
    int nGetRecordNbr() override;
    // The tree asked to move back by -2,147,483,647 entries without partial
    // moves: it refuses, stays, and reports the steps it could have made.
    int nGetPreviousRecordNbr() override;
    int bSetCurrentPos(int nRow, int nSkip, int* pbFound) override;

    unsigned long nGetKeySize() const { return m_nKeySize; }
    // The key of a value into the buffer of the key size (the value itself
    // is not touched); the encoder's answer.
    int _nKeyOf(const CAny* pclValue, unsigned char* pbyKey) const;
    // A row number as the tree stores it, and back.
    static void s_RowToBytes(int nRow, unsigned char* pby);
    static int s_nBytesToRow(const unsigned char* pby);

private:
    // The key of row n's cached value into the key buffer; 0 when the row
    // cannot be read.
    int _bKeyOfRow(int nRow, unsigned char* pbyKey);
    // The entry of a row into the key buffer and the row bytes: the key of
    // the value, or without value of the row's cached value.
    int _bEntryOf(int nRow, const CAny* pclValue, unsigned char* pbyRow);
    // Every present row entered: sorted in one bulk load while the pairs fit
    // a bounded scratch block, else one by one.
    int _bLoadRows();
    // Moves by a count (clamped to what the tree takes); 1 when it moved.
    int _bAdvance(int64_t nCount);
    // The number of entries just in front of the current one whose rows equal
    // its row; the tree comes back to the entry.
    int _bDuplicateIndex(int nRow, unsigned* pnIndex);
    // The walk of a found key's run to the current record's original row,
    // then over nSkip more equal rows.
    void _FindOriginalRow(int nSkip, int* pbFound);

    CMemBTree* m_pclTree = nullptr;
    uint32_t m_nKeySize = 0;
    unsigned char* m_pbyKey = nullptr;
};
