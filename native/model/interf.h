#pragma once

#include <cstdint>

// Counted base of the native-access objects the driver creates and shares
// (connections, contexts, commands, parameters, columns, value holders ...).
// Virtual slots: the two destructors, then _NotToBeCalled; derived classes
// append theirs. Both counts are plain integers changed only under the
// driver-wide mutex.
//
// Holders take a reference by incrementing m_dwRefCount directly and drop it
// with nRelease. While the hold count is not 0 the object survives its
// reference count reaching 0.

// The release rule of the driver's plainly counted objects: one of the
// object's two counts drops by one (a count already at 0 stays 0 and nothing
// happens); when it reaches 0 while the other count (the hold count, or the
// external count) is 0 too, the object is deleted through its virtual
// destructor. Returns the new count.
template <class T>
unsigned NA_nReleaseCount(T* p, uint32_t& dwCount, uint32_t dwOtherCount)
{
    if (dwCount == 0)
        return 0;
    const unsigned dwNew = --dwCount;
    if (dwNew == 0 && dwOtherCount == 0)
        delete p;
    return dwNew;
}

class CInterf
{
public:
    CInterf() = default;
    CInterf(const CInterf&) = delete;
    CInterf& operator=(const CInterf&) = delete;
    virtual ~CInterf() = default;
    virtual int _NotToBeCalled() const { return 0; }

    // A count already at 0 stays 0 (and nothing is destroyed). Otherwise the
    // count drops by one; at 0 with no hold the object deletes itself.
    // Returns the new count.
    unsigned nRelease() { return NA_nReleaseCount(this, m_dwRefCount, m_dwHoldCount); }

    uint32_t m_dwRefCount = 0;
    uint32_t m_dwHoldCount = 0;
};

static_assert(sizeof(CInterf) == 16);

// Reference hooks of the counted containers (see common/text/ref_hooks.h).
inline void REF_AddRef(CInterf* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CInterf* p)
{
    p->nRelease();
}
