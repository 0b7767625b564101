#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Reference-counted base of streams, error objects, image memos, record
// identities and the driver's counted arrays. Virtual slots: the two
// destructors, then dwRelease. The count starts at 0 (the creator takes the
// first reference) and changes by locked atomic adds, so objects may be shared
// across threads.
class CVXUnknown
{
public:
    CVXUnknown() = default;
    CVXUnknown(const CVXUnknown&) = delete;
    CVXUnknown& operator=(const CVXUnknown&) = delete;
    virtual ~CVXUnknown();

    // Drops one reference; deletes the object when none is left. Returns the
    // new count.
    virtual uint32_t dwRelease();

    // Takes one reference; returns the new count.
    uint32_t dwAddRef() { return m_dwRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t dwGetRefCount() const { return m_dwRefCount.load(std::memory_order_relaxed); }

protected:
    std::atomic<uint32_t> m_dwRefCount{0};
};

static_assert(sizeof(std::atomic<uint32_t>) == 4 && std::atomic<uint32_t>::is_always_lock_free);
static_assert(sizeof(CVXUnknown) == 16);

// Reference hooks of the counted containers (see common/text/ref_hooks.h).
inline void REF_AddRef(CVXUnknown* p)
{
    p->dwAddRef();
}
inline void REF_Release(CVXUnknown* p)
{
    p->dwRelease();
}
