#pragma once

// A filter kept as it was when a browse started: the filter (one counted
// reference, may be null) and whether it was active then, so that the
// filter in force later can be compared with it and restored.
//
// A value object embedded in its holder; it is not copied (Copy takes the
// other's filter with a reference of its own).
#include <cstdint>

class CNAFilter;

class CNAFilterSave
{
public:
    // Empty, or saving the filter given.
    explicit CNAFilterSave(CNAFilter* pclFilter = nullptr);
    CNAFilterSave(const CNAFilterSave&) = delete;
    CNAFilterSave& operator=(const CNAFilterSave&) = delete;
    // Releases the saved filter.
    ~CNAFilterSave();

    // Another filter than the saved one replaces it (the saved one released,
    // the flag cleared; a null filter leaves none). Whenever a filter is
    // given, the flag becomes whether it is active now.
    void SetFilter(CNAFilter* pclFilter);
    // The other's filter (with a reference of its own) and flag.
    void Copy(const CNAFilterSave& other);
    // Whether the given filter is the one in force as saved: false when the
    // saved flag differs from whether the filter exists and is active, true
    // when both are inactive, else g_bEqualsFilter of the two.
    int bFilterEquals(const CNAFilter* pclFilter) const;

    CNAFilter* pclGetFilterNoRef() const { return m_pclFilter; }
    int bFilterWasActive() const { return m_bActive; }

private:
    CNAFilter* m_pclFilter = nullptr;
    int32_t m_bActive = 0;
};
