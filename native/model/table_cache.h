#pragma once

// The whole table of a data access held in memory: every row read once into
// one row cache (the complete cache), then counted, browsed and ordered by
// any column (CNATableCacheIndex) without going back to the server. The data
// access gives it the statement that reads the table; the first question
// that needs the rows has that statement read them all, after which the
// statement is let go and the complete cache stays until the table cache
// ends.
//
// Counted atomically through CVXUnknown (a new table cache has no reference;
// its data access adds the first). It holds one reference on its error
// object, on its reading statement (until the cache is complete) and on the
// complete cache, and keeps the filter the statement had when it was given
// (CNAFilterSave). The data access is named without a reference: it owns
// the table cache. All work other than counting runs under the driver-wide
// lock.
#include <cstdint>

#include "common/system/vx_unknown.h"
#include "native/driver/na_forward.h"
#include "native/sql/filter_save.h"

class CNAFilter;
class CNATableCacheIndex;

class CNATableCache : public CVXUnknown
{
public:
    // Empty; one reference on the error object.
    CNATableCache(CNAError* pclError, CNADataAccess* pclDataAccess);
    // Slots 0-1: the statement, the complete cache and the error object
    // released. Slot 2 is CVXUnknown's dwRelease.
    ~CNATableCache() override;
    // Slot 3: the statement held (one reference) and its filter saved.
    virtual int _bSetStatementParse(CNAStatement* pclStatement);

    // 1 while neither a statement nor a complete cache is set.
    int bInitDone() const;
    // The first statement given while nothing is set is taken; every
    // statement given has its row cache turned on. 1.
    int bSetStatementParse(CNAStatement* pclStatement);
    int bIsStatementParse(const CNAStatement* pclStatement) const;
    // The complete cache, or before it exists the statement's own cache.
    int bIsRecordCache(const CNARecordCache* pclCache) const;
    int bFilterEquals(const CNAFilter* pclFilter) const;
    // 1 without a complete cache or when it holds no row.
    int bIsEmpty() const;
    // 1 without statement, else whether its cache holds every row.
    int bCacheCompleted() const;

    // The complete cache, read whole on first demand; null when it cannot
    // be. While the statement reads, the data access's position is saved
    // when the data access last browsed with another statement, and it is
    // returned to (and freed) whatever the read's outcome.
    CNARecordCache* pclGetFullCache();
    // The rows of the complete cache, and those not deleted; 0 when it
    // cannot be built.
    int64_t llGetRecordNbr();
    int64_t llGetRecordNbrActive();
    // A new built index over the complete cache for the column and the
    // statement, without a reference; null when the cache or the index
    // cannot be built (a half-built index is destroyed).
    CNATableCacheIndex* pclGetCacheIndex(CNAStatement* pclStatement, CNAColumn* pclColumn);

    CNAStatement* pclGetStatementNoRef() const { return m_pclStatement; }
    CNARecordCache* pclGetFullCacheNoRef() const { return m_pclFullCache; }
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    const CNAFilterSave& GetFilterSave() const { return m_clFilterSave; }

private:
    // Back to a saved position of the data access, freeing it: without keep
    // the return frees it; a return that fails frees it here.
    void _RestorePosition(int nPosition);

    CNAError* m_pclError;
    CNADataAccess* m_pclDataAccess;
    CNAStatement* m_pclStatement = nullptr;
    CNARecordCache* m_pclFullCache = nullptr;
    CNAFilterSave m_clFilterSave;
};
