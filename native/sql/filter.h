#pragma once

// The filter of a statement (CNAFilter): a search that stays attached to
// the statement and restricts every query it writes to the records whose
// item lies between two bounds and/or that satisfy an SQL condition parsed
// by the host. It keeps only a first condition; an active filter's
// condition is joined to a search's current condition with AND when the
// statement writes its WHERE text.
//
// Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "native/sql/search.h"

class ISQLParserInformation;

class CNAFilter : public CNARecherche
{
public:
    // Inactive, without error object nor connection.
    CNAFilter() = default;
    // Inactive, holding a reference on both.
    CNAFilter(CNAError* pclError, CNAConnectionDescription* pclConnection) : CNARecherche(pclError, pclConnection) {}
    ~CNAFilter() override = default;

    // Slot 4: pclCloneFilter.
    CNARecherche* pclClone() override { return pclCloneFilter(); }
    // Slot 6: a new empty filter.
    CNARecherche* _pclAllocRecherche() override;
    // Slot 7: a new filter of the same bounds and state.
    virtual CNAFilter* pclCloneFilter();

    // Builds the condition between the bounds (given in the item's browse
    // order) and/or of the parsed condition; the state is not changed.
    // False only when a bound or the condition was asked for and nothing
    // could be built.
    int bSetFilter(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclMin, int bMinIncluded,
                   const CAny* pclMax, int bMaxIncluded, ISQLParserInformation* piCondition, int nOptions);

    // Non-zero activates (state 1); zero deactivates (state 0) and drops the
    // current condition, keeping the first.
    void ActivateFilter(int bActive);
    int bIsFilterActive() const { return m_nState != 0; }

    // As bEqualsSearch.
    int bEqualsFilter(const CNAFilter* pclOther) const { return bEqualsSearch(pclOther); }
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
