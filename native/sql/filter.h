#pragma once

// The part of a statement's filter that a saved filter and the table cache
// need: a counted object that is active or not, and the comparison of two
// filters in force. The filter proper (its bounds, its SQL condition and the
// WHERE text it adds to a search) grows on this class; until then a filter
// holds only its state, and two filters compare by what they hold.
//
// Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "native/model/interf.h"

class CNAFilter : public CInterf
{
public:
    // Inactive.
    CNAFilter() = default;
    ~CNAFilter() override = default;

    // Non-zero activates (state 1); zero deactivates (state 0).
    void ActivateFilter(int bActive) { m_nState = bActive ? 1 : 0; }
    int bIsFilterActive() const { return m_nState != 0; }

    // The same object, or the same state.
    int bEqualsFilter(const CNAFilter* pclOther) const;

protected:
    int32_t m_nState = 0;
};

// A missing filter equals an inactive one and another missing one; two
// filters are compared by bEqualsFilter.
int g_bEqualsFilter(const CNAFilter* pclA, const CNAFilter* pclB);

inline void REF_AddRef(CNAFilter* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNAFilter* p)
{
    p->nRelease();
}
