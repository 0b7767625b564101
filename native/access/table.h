#pragma once

#include <cstdint>

#include "native/access/na_table.h"
#include "native/model/interf.h"

// A table, or the result of a named query, on one connection: the object
// behind INATable. It adds three slots to the interface, which the driver
// calls (79 bSupprimeFichier, the destructors at 80-81, 82 bExecuteQuery).
//
// Two plain counts, changed under the driver-wide lock: the internal one
// (AddRef, nRelease) for the driver's own holders, its table registry first
// of all, and the external one for the host. The table is destroyed when the
// internal count falls to 0 while the external count is 0.
class CNATable : public INATable
{
public:
    CNATable(const CNATable&) = delete;
    CNATable& operator=(const CNATable&) = delete;

    virtual int bSupprimeFichier(INAContext* piContext) = 0;                            // 79
    virtual ~CNATable() = default;                                                      // 80-81
    virtual int bExecuteQuery(int* pbHasResult, INAContext* piContext, const wchar_t* pszName,
                              ISQLParserInformation* piQuery, unsigned nMode,
                              const INAQueryExecution* piExecution) = 0;                // 82

    void AddRef() { ++m_dwRefCount; }
    // A count already at 0 stays 0. Returns the new count.
    unsigned nRelease() { return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount); }
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount; }

protected:
    CNATable() = default;

    uint32_t m_dwRefCount = 0;
    uint32_t m_dwExternalRefCount = 0;
};

// Reference hooks of the counted containers (see common/text/ref_hooks.h):
// the internal count.
inline void REF_AddRef(CNATable* p)
{
    p->AddRef();
}
inline void REF_Release(CNATable* p)
{
    p->nRelease();
}
