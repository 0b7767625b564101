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
    unsigned nRelease()
    {
        if (m_dwRefCount == 0) return 0;
        const unsigned dwCount = --m_dwRefCount;
        if (dwCount == 0 && m_dwHoldCount == 0) delete this;
        return dwCount;
    }

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
