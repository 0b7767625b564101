// Keeping a filter and comparing the filter in force with it.
#include "native/sql/filter_save.h"

#include "native/sql/filter.h"

CNAFilterSave::CNAFilterSave(CNAFilter* pclFilter)
{
    SetFilter(pclFilter);
}

CNAFilterSave::~CNAFilterSave()
{
    SetFilter(nullptr);
}

void CNAFilterSave::SetFilter(CNAFilter* pclFilter)
{
    if (pclFilter != m_pclFilter) {
        CNAFilter* pclFormer = m_pclFilter;
        m_pclFilter = nullptr;
        m_bActive = 0;
        if (pclFilter != nullptr) {
            REF_AddRef(pclFilter);
            m_pclFilter = pclFilter;
        }
        // Released last: the former filter's end may reach back here.
        if (pclFormer != nullptr)
            REF_Release(pclFormer);
    }
    // The same filter saved again is saved as it is now.
    if (m_pclFilter != nullptr)
        m_bActive = m_pclFilter->bIsFilterActive() ? 1 : 0;
}

void CNAFilterSave::Copy(const CNAFilterSave& other)
{
    if (&other == this)
        return;
    SetFilter(other.m_pclFilter);
    m_bActive = other.m_bActive;
}

int CNAFilterSave::bFilterEquals(const CNAFilter* pclFilter) const
{
    const int bActiveNow = pclFilter != nullptr && pclFilter->bIsFilterActive();
    if (m_bActive != bActiveNow)
        return 0;
    if (!bActiveNow)
        return 1;
    return g_bEqualsFilter(m_pclFilter, pclFilter);
}
