#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "native/access/na_table.h"
#include "native/driver/na_ref_hooks.h"
#include "native/model/interf.h"

// A table, or the result of a named query, on one connection: the object
// behind INATable. It adds three slots to the interface, which the driver
// calls (79 bSupprimeFichier, the destructors at 80-81, 82 bExecuteQuery).
//
// Two plain counts, changed under the driver-wide lock: the internal one
// (AddRef, nRelease) for the driver's own holders, its table registry first
// of all, and the external one for the host. The table is destroyed when the
// internal count falls to 0 while the external count is 0, and when the
// host's last release finds no internal holder left (a table the registry
// let go while the host held it).
//
// The table holds one internal reference on its connection (handed back
// through the driver's nReleaseConnection, so that the connection's last
// user closes it), one reference on the driver's error object, which all
// tables share, one external reference on its description (null for a
// query table) and on its query's bind variables, and one internal
// reference on each data access of its table of data accesses, which is
// keyed by the data access itself.
//
// Its identification is the registry key the driver made it with; it holds
// the connection's password, so it goes into no error text, debug line or
// dump.
class CNATable : public INATable
{
public:
    // The process-wide cache of the last data access found for a context;
    // a data access clears it when it goes.
    static inline CNADataAccess* gpclLastDataAccess = nullptr;

    // Copies the key; takes its references on the connection, the
    // description (when given) and the error object (when given).
    CNATable(const wchar_t* pszIdentification, INADataSourceDescription* piSource,
             CNAConnectionDescription* pclConnection, CNAError* pclError);
    CNATable(const CNATable&) = delete;
    CNATable& operator=(const CNATable&) = delete;

    int nGetVersion() const override { return 11; }
    int nGetCompatSince() const override { return 8; }
    void NAVersion_EmptySlot_3() override {}
    // Both under the driver-wide lock.
    void ExternalAddRef() override;                                                     // 5
    // The host's release: see table.cpp. Returns the external count left.
    int nExternalRelease() override;                                                    // 6

    virtual int bSupprimeFichier(INAContext* piContext) = 0;                            // 79
    // Gives back every reference the table holds.
    virtual ~CNATable();                                                                // 80-81
    virtual int bExecuteQuery(int* pbHasResult, INAContext* piContext, const wchar_t* pszName,
                              ISQLParserInformation* piQuery, unsigned nMode,
                              const INAQueryExecution* piExecution) = 0;                // 82

    void AddRef() { ++m_dwRefCount; }
    // A count already at 0 stays 0. Returns the new count.
    unsigned nRelease() { return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount); }
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount; }

    // The host's form, by context, is slot 7.
    using INATable::piGetLastError;
    // The driver's error object, which the table shares; no reference added.
    CNAError* piGetLastError() const { return m_pclError; }
    const wchar_t* pszGetIdentification() const { return m_csIdentification.pszGet(); }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    INADataSourceDescription* piGetDataSourceNoRef() const { return m_piSource; }
    // The query's bind variables, or null; no reference added.
    INAQueryParametersValue* piGetQueryBindVariableNoRef() const { return m_piQueryBindVariable; }

    // The end of the connection's transaction, passed on to every data
    // access of the table, and the end of its record locks, passed on to
    // those working on that host connection (table_transactions.cpp).
    void SetTransactionTermined();
    void CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction);

protected:
    uint32_t m_dwRefCount = 0;
    uint32_t m_dwExternalRefCount = 0;
    CNAError* m_pclError = nullptr;
    CNAConnectionDescription* m_pclConnection = nullptr;
    INADataSourceDescription* m_piSource = nullptr;
    CTString m_csIdentification;
    CNARefHashTable<CNADataAccess*, CNADataAccess*, CNARefHooksOf<CNADataAccess>> m_tabDataAccess{7};
    INAQueryParametersValue* m_piQueryBindVariable = nullptr;
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
