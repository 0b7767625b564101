#pragma once

// The row cache of a data access's saved positions. A saved row must survive
// browsing, re-querying and the statement's own cache being emptied, so the
// data access keeps the rows of its saved positions here, each with a count
// of the saved positions that refer to it.
//
// Rows enter only through nKeepRecordSave (nAjoute answers -1, and nothing
// is inserted or removed). A row whose count falls to 0 leaves the identity
// hash but keeps its slot and its bytes; the next new row kept takes the
// first such slot from the free-slot hint, overwriting it.
//
// Invariant: one count per row, in step with the rows (every row enters
// through this class's _nAjoute). Counts are unsigned: a release at 0
// changes nothing. The hint is the first slot that may have a count of 0,
// or -1 when none is known.
#include <cstdint>

#include "common/text/tableau.h"
#include "native/model/record_cache.h"

class CNARecordCachePosition : public CNARecordCache
{
public:
    // Enabled, empty, hint -1.
    CNARecordCachePosition();

    // A non-zero count is also the count array's grow step.
    void SetGrowStep(int nCount, int nBytes) override;
    int nAjoute(const CNARecordValue*) override { return -1; }
    void Supprime(unsigned) override {}
    void SupprimeTout() override;
    // The base append, then a count of 0 for the new row.
    int _nAjoute(const CNARecordValue* pclRow) override;
    int _Insere(const CNARecordValue*, unsigned) override { return -1; }

    // The row's index: the cached row with its identity, else the first
    // free slot overwritten, else a new row; -1 when it cannot be kept. No
    // count is taken.
    int nKeepRecordSave(const CNARecordValue* pclRow);
    void AddRefRecordSave(int n);
    // The new count; at 0 the hint is lowered to n and the row leaves the
    // identity hash. 0 for a row whose count is 0 or no row.
    unsigned nReleaseRecordSave(int n);
    // The first slot with a count of 0 from the hint (the hint following
    // the scan), or -1.
    int _nGetFirstFreePos();

    uint32_t dwGetRecordSaveCount(int n) const
    {
        return n >= 0 && n < m_tabCounts.nGetNbElement() ? m_tabCounts[n] : 0;
    }
    int nGetFreePosHint() const { return m_nFreePosHint; }

private:
    CTTableau<uint32_t> m_tabCounts;
    int32_t m_nFreePosHint = -1;
};
