#pragma once

// The memo values of one row: one value holder per memo column, by the
// column's memo index, each entry null or a holder on which the set holds one
// reference. The array grows one entry at a time; an empty set has no
// entries. Counted atomically through CVXUnknown (a new set has no reference;
// its holder adds the first).
//
// Invariant: entries are never read past the count; an index below 0 or at or
// beyond the count names no entry.
#include "common/system/vx_unknown.h"
#include "common/text/ref_array.h"
#include "native/model/convert_variant.h"

class CNARecordMemo : public CVXUnknown
{
public:
    CNARecordMemo();
    // The entries released from the last to the first.
    ~CNARecordMemo() override;

    int nGetCount() const { return m_tabValues.nGetNbElement(); }
    // Entry n without a reference; null outside the set.
    CNAConvertVariant* pclGetNoRef(int n) const
    {
        return n >= 0 && n < nGetCount() ? m_tabValues[n] : nullptr;
    }

    // Entry n becomes the holder (a reference added, the former entry's
    // released); null entries are appended up to n first. 0 when n is
    // negative or the array cannot grow (the set then unchanged).
    int bSetValue(int n, CNAConvertVariant* pclValue);
    // Below the count: the source copied into the entry (a null entry gets a
    // clone). At or beyond: null entries up to n and a clone of the source
    // at n (a null source a null entry). 0 when a clone cannot be made, n is
    // negative or the array cannot grow.
    int bCopyMemoValue(int n, const CNAConvertVariant* pclSource);
    // The source's entries copied one by one (the first failure ends the
    // copy with 0); the set's own entries beyond the source's count are set
    // to NULL and stay. A null source counts as a set without entries.
    int bCopyRecordMemo(const CNARecordMemo* pclSource);

    // The same pointer, or every entry pairwise equal, an entry beyond a
    // set's count (or of a null set) counting as null.
    static int g_bEqualsNARecordMemo(const CNARecordMemo* a, const CNARecordMemo* b);

private:
    CNARefArray<CNAConvertVariant> m_tabValues;
};
