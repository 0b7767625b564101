#pragma once

// One column index over a table's complete row cache, for one statement: a
// CIndexMemo for a memo column, a CIndexFixedSizeItem for any other. It
// answers the statement's browse through the index and keeps the index in
// step with the writes made through the data access (OnNotifyOperation).
//
// Counted atomically through CVXUnknown (a new index has no reference; its
// holder adds the first). It holds one reference on its error object, its
// row cache and its column, owns the column index, and names its statement
// without a reference.
#include "common/system/vx_unknown.h"
#include "native/driver/na_forward.h"

class CIndexItem;

class CNATableCacheIndex : public CVXUnknown
{
public:
    // One reference on each of the three; no column index yet.
    CNATableCacheIndex(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn,
                       CNAStatement* pclStatement);
    // Slots 0-1: the column index destroyed, the references given back.
    // Slot 2 is CVXUnknown's dwRelease.
    ~CNATableCacheIndex() override;

    // Makes the column index of the column's kind and builds it; 0 when it
    // cannot (out of memory with the error object's no-memory error).
    int bInit();

    // The column index's answers (see CIndexItem); without one: nothing
    // found, no record and 0.
    int bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow, unsigned* pnDuplicateIndex);
    int nGetCurrentRecordId();
    int nGetRecordNbr();
    int nGetPreviousRecordNbr();
    int bSetCurrentPos(int nRow, int nSkip, int* pbFound);

    // After a write through the data access (2 update, 3 insert, 4 delete)
    // of the row with that number in the complete cache: the row leaves the
    // index with the value it had (the current record's original row) and
    // comes back with its new one (the column's current value). An update
    // that leaves the column's value equal changes nothing, nor does a value
    // that cannot be read or any other operation.
    void OnNotifyOperation(int eOperation, int nRow, unsigned nFlags);

    CNARecordCache* pclGetRecordCacheNoRef() const { return m_pclCache; }
    CNAColumn* pclGetColumnNoRef() const { return m_pclColumn; }
    CIndexItem* pclGetIndexNoRef() const { return m_pclIndex; }

private:
    CNAError* m_pclError;
    CNARecordCache* m_pclCache;
    CIndexItem* m_pclIndex = nullptr;
    CNAColumn* m_pclColumn;
    CNAStatement* m_pclStatement;
};
