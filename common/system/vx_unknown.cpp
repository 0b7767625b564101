#include "common/system/vx_unknown.h"

CVXUnknown::~CVXUnknown() = default;

uint32_t CVXUnknown::dwRelease()
{
    // acq_rel: the thread that deletes sees every write made before the other
    // holders let go.
    const uint32_t dwCount = m_dwRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (dwCount == 0) delete this;
    return dwCount;
}
