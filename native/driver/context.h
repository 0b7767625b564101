#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "native/driver/na_forward.h"
#include "native/driver/na_ref_hooks.h"
#include "native/model/interf.h"

// The driver's registry for one host execution context: the data accesses
// that context has opened, one per data source, keyed by the 64-bit data
// key the host context gives for it (its slot 7), compared by equality and
// hashed on its low 32 bits. The registry holds one reference on each data
// access.
//
// The driver keeps one context per host context in its context registry,
// which holds one reference on each; it is counted through CInterf,
// plainly. Every operation that touches the registry takes the driver-wide
// recursive lock itself, so the table object, which already holds it, may
// call in.
//
// The context has its own error object, made by the process's driver when
// the context is built (null when none could be had), which it hands to
// every data access it makes. Its host context id is -1 until the driver
// registers it; its next logical name (empty at first) is the name the
// next data access of the context is known by, its alias.
class CNAContext : public CInterf
{
public:
    CNAContext();
    // Releases the error object, then every data access still registered.
    ~CNAContext() override;

    virtual int nGetVersion() const { return 2; }
    virtual int nGetCompatSince() const { return 2; }
    // The process's driver's data access factory (its slot 48).
    virtual CNADataAccess* _pclAllocDataAccess(INADataSourceDescription* piSource,
                                               CNAConnectionDescription* pclConnection, CNAError* pclError);

    // The data access of the host context's data key, with a reference for
    // the caller; when there is none, a new one, registered, and *pbNew set
    // to 1 (0 otherwise). Null, with the no-memory error in the context's
    // error object, when none can be made or registered.
    CNADataAccess* pclGetDataAccess(INAContext* piContext, CNAConnectionDescription* pclConnection,
                                    INADataSourceDescription* piSource, int* pbNew);
    // The data access of the host context's data key with a reference, or
    // null.
    CNADataAccess* pclFindDataAccess(INAContext* piContext);
    // Registers the data access under the host context's data key with the
    // registry's reference, and gives it this context. 0 (nothing
    // registered, no reference taken) when memory runs out.
    int _AddDataAccess(INAContext* piContext, CNADataAccess* pclDataAccess);
    // Unregisters what is registered under the host context's data key and
    // drops the registry's reference; the second argument is not used. A
    // data access let go (here, by CloseAllDataAccess or by the context's
    // end) loses its context and leaves the process-wide lookup cache.
    void RemoveDataAccess(INAContext* piContext, CNADataAccess* pclDataAccess);
    // Unregisters every data access, closing each open one before its
    // reference is dropped.
    void CloseAllDataAccess();
    // Gives the mode to every data access whose logical name equals the
    // name without regard to case and accents, then keeps the mode as the
    // default, whatever the name. 1 when every data access took it (or none
    // was asked), else 0; all are asked.
    int bHMode(const wchar_t* pszLogicalName, _eNA_HMODE eMode);
    // The first data access on that very connection whose database table
    // name (alias name) equals the name without regard to case and
    // accents, with a reference; null when none.
    CNADataAccess* pclFindDataAccessByDBTableName(CNAConnectionDescription* pclConnection, const wchar_t* pszDBTable);
    CNADataAccess* pclFindDataAccessByAliasName(CNAConnectionDescription* pclConnection, const wchar_t* pszAlias);
    void _SetDefaultMode(_eNA_HMODE eMode) { m_eDefaultMode = eMode; }

    _eNA_HMODE eGetDefaultMode() const { return m_eDefaultMode; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    unsigned dwGetNbDataAccess() const { return m_tabDataAccess.dwGetNumElement(); }
    uint64_t llGetContextID() const { return m_llContextID; }
    void SetContextID(uint64_t llID) { m_llContextID = llID; }
    const wchar_t* pszGetNextLogicalName() const { return m_csNextLogicalName.pszGet(); }
    void SetNextLogicalName(const wchar_t* pszName) { m_csNextLogicalName.Set(pszName); }

private:
    // Drops the registry's reference on a data access it let go, which
    // forgets this context.
    void _LetGo(CNADataAccess* pclDataAccess);
    // The first registered data access on that connection whose name, as
    // pfnName gives it, matches; with a reference.
    CNADataAccess* _pclFindDataAccessBy(CNAConnectionDescription* pclConnection, const wchar_t* pszName,
                                        const wchar_t* (CNADataAccess::*pfnName)() const);

    CNAError* m_pclError = nullptr;
    _eNA_HMODE m_eDefaultMode;
    CNARefHashTable<unsigned long, CNADataAccess*, CNARefHooksOf<CNADataAccess>> m_tabDataAccess{7};
    uint64_t m_llContextID = UINT64_MAX;
    CTString m_csNextLogicalName;
};
