// Comparing filters.
#include "native/sql/filter.h"

int CNAFilter::bEqualsFilter(const CNAFilter* pclOther) const
{
    if (pclOther == this)
        return 1;
    return pclOther != nullptr && pclOther->m_nState == m_nState;
}

int g_bEqualsFilter(const CNAFilter* pclA, const CNAFilter* pclB)
{
    if (pclA == nullptr)
        return pclB == nullptr || !pclB->bIsFilterActive();
    if (pclB == nullptr)
        return !pclA->bIsFilterActive();
    return pclA->bEqualsFilter(pclB);
}
