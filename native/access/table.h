#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "native/access/na_table.h"
#include "native/driver/na_ref_hooks.h"
#include "native/model/interf.h"

struct stNAErrorSite;

// A table, or the result of a named query, on one connection: the object
// behind INATable. It keeps one data access per host context that works on
// it and hands nearly every operation to the calling context's one. It adds
// three slots to the interface, which the driver calls (79
// bSupprimeFichier, the destructors at 80-81, 82 bExecuteQuery).
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
// keyed by the data access itself. A data access points back at the table
// without a reference: the table's end clears that pointer.
//
// Its identification is the registry key the driver made it with; it holds
// the connection's password, so it goes into no error text, debug line or
// dump.
//
// Every host-facing slot runs under the driver-wide recursive lock; an
// exception leaving a slot releases it on the way (CNAEntryGuard).
class CNATable : public INATable
{
public:
    // The process-wide cache of the last data access a lookup without
    // creation found, with the two identifiers of the host context that
    // asked; no reference held. A data access clears it when it goes, and
    // so does a context that lets it go.
    static inline CNADataAccess* gpclLastDataAccess = nullptr;
    static inline unsigned long gdwCtxID = 0;
    static inline unsigned long gdwDataID = 0;
    // Clears the cache when it names that data access.
    static void g_ForgetLastDataAccess(const CNADataAccess* pclDataAccess)
    {
        if (gpclLastDataAccess == pclDataAccess)
            gpclLastDataAccess = nullptr;
    }

    // Copies the key; takes its references on the connection, the
    // description (when given) and the error object (when given).
    CNATable(const wchar_t* pszIdentification, INADataSourceDescription* piSource,
             CNAConnectionDescription* pclConnection, CNAError* pclError);
    CNATable(const CNATable&) = delete;
    CNATable& operator=(const CNATable&) = delete;

    // --- INATable, slots 0-78, in slot order (table_slots.cpp unless said).
    int nGetVersion() const override { return 11; }                                     // 0
    int nGetCompatSince() const override { return 8; }                                  // 1
    void NAVersion_EmptySlot_3() override {}                                            // 4
    // Both under the driver-wide lock (table.cpp).
    void ExternalAddRef() override;                                                     // 5
    // The host's release: see table.cpp. Returns the external count left.
    int nExternalRelease() override;                                                    // 6
    // The calling context's error object, else the table's own (table_context.cpp).
    INAError* piGetLastError(INAContext* piContext) override;                           // 7
    // 0 without data access, and no error.
    int bIsOpened(INAContext* piContext) override;                                      // 8
    // With one external reference for the caller; null without.
    INADataSourceDescription* piGetDataSourceDescription() override;                    // 9
    int bNbEnrNeedParse(INAContext* piContext, int* pbNeedParse, const wchar_t* pszItem) override;  // 10
    int FreeMemory(INAContext* piContext, void** ppMemory) const override;              // 11
    // Through the lookup with creation; 0 without error when none.
    int bHReindexe(INAContext* piContext, unsigned nOptions, IGaugeControl* piGauge) override;  // 12
    int bHCreationSiInexistant(INAContext* piContext, eNA_ACCESS eAccess, const wchar_t* pszPassword) override;  // 13
    int bHCreation(INAContext* piContext, const wchar_t* pszPassword) override;         // 14
    int bHOuvre(INAContext* piContext, eNA_ACCESS eAccess, const wchar_t* pszPassword) override;  // 15
    int bHMode(INAContext* piContext, _eNA_HMODE eMode) override;                       // 16
    int bHFerme(INAContext* piContext) override;                                        // 17
    int bHAjoute(INAContext* piContext, unsigned nFlags, eNA_LOCKTYPE eLock) override;  // 18
    int bHEcrit(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock) override;  // 19
    int bHRaye(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock) override;      // 20
    int bHSupprime(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock) override;  // 21
    int bHModifie(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock) override;  // 22
    // The one-item search of the data access.
    int bHRecherche(INAContext* piContext, const wchar_t* pszItem, const CAny* pclValue, int nOption1, int nOption2,
                    eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int nOption3, unsigned nFlags) override;  // 23
    int bHLibere(INAContext* piContext) override;                                       // 24
    int bHLit(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock) override;  // 25
    int bHLitxxx(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, int nOption,
                 eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, unsigned nFlags) override;   // 26
    int bSkipRecord(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, long llCount,
                    int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, unsigned nFlags) override;  // 27
    int bHBloqueFichier(INAContext* piContext, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock) override;  // 28
    int bHDebloqueFichier(INAContext* piContext) override;                              // 29
    int bHBloqueNumEnr(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock) override;  // 30
    int bHDebloqueNumEnr(INAContext* piContext, long llRecord) override;                // 31
    int bHEnDehors(INAContext* piContext, const wchar_t* pszItem, int* pbOut) override;  // 32
    int bEvalHTrouve(INAContext* piContext, const wchar_t* pszItem, int* pbFound, int* pbValid) override;  // 33
    int bSetNextOperation(INAContext* piContext, eNA_OPERATION eOperation) override;    // 34
    // The record-number variant: no reset; without data access user error
    // 19 joins the errors already there, with the connection's details.
    long llGetRecNum(INAContext* piContext) override;                                   // 35
    int bGetRecNumState(INAContext* piContext, long llRecord, unsigned* pnState) override;  // 36
    // Both filters check the host's SQL module version first.
    int bHFiltre(INAContext* piContext, ISQLParserInformation* piQuery, wchar_t* pszItem) override;  // 37
    int bHFiltre(INAContext* piContext, const wchar_t* pszItem, const CAny* pclLow, int bLowIncluded,
                 const CAny* pclHigh, int bHighIncluded, ISQLParserInformation* piQuery) override;  // 38
    // Slots 39 and 40 pass the name only; 40 answers 1 without data access.
    int bHActiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) override;  // 39
    int bHDesactiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) override;  // 40
    // The last argument is the data access's eNAPOSITION.
    int bHRetourPosition(INAContext* piContext, int nPosition, wchar_t* pszItem, int nOption,
                         unsigned nMode) override;                                      // 41
    // 1 without data access.
    int bHLiberePosition(INAContext* piContext, int nPosition) override;                // 42
    // The data access takes the int* first, then the name and the mode.
    int bHSauvePosition(INAContext* piContext, const wchar_t* pszItem, int* pnPosition, unsigned nMode) override;  // 43
    int bHVersion(INAContext* piContext, int* pnVersion) override;                      // 44
    int bHNbEnr(INAContext* piContext, long* pllCount, unsigned nOptions, unsigned nFlags) override;  // 45
    // The data access takes the int*, the name and the precision.
    int bHPositionCourante(INAContext* piContext, const wchar_t* pszItem, int* pnPosition, eNA_PRECISION ePrecision,
                           unsigned nOption) override;                                  // 46
    int bHPositionne(INAContext* piContext, const wchar_t* pszItem, unsigned nPosition, eNA_PRECISION ePrecision,
                     unsigned nFlags) override;                                         // 47
    int bGetBLOB(INAContext* piContext, unsigned nItem, CAny* pclValue) override;      // 48
    int bSetBLOB(INAContext* piContext, unsigned nItem, const CAny* pclValue) override;  // 49
    // The current row's own record buffer with one external reference,
    // which bSetRecord drops.
    int bGetRecord(INAContext* piContext, CNAQFRecord** ppclRecord) const override;    // 50
    int bSetRecord(INAContext* piContext, CNAQFRecord* pclRecord) override;            // 51
    int bHAttacheMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile) override;  // 52
    int bExtraitMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile) override;  // 53
    int bHAnnuleRecherche(INAContext* piContext, const wchar_t* pszItem) override;     // 54
    int bHChangeCle(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) override;  // 55
    int bHConstruitValCle(INAContext* piContext, CAny* pclKey, const wchar_t* pszItem, unsigned nCount,
                          CAny** ppclValues) override;                                  // 56
    int bHInterditModif(INAContext* piContext) override;                                // 57
    int bHFinInterditModif(INAContext* piContext) override;                             // 58
    int bCalculateKeyValue(INAContext* piContext, const wchar_t* pszItem, void** ppKey, const void* pValue,
                           unsigned* pnSize, unsigned short nType, int nOption) override;  // 59
    int bFreeCache(INAContext* piContext) override;                                     // 60
    int bCompareTablePosition(INAContext* piContext, int nFirst, int nSecond, int* pnResult) override;  // 61
    // No virtual moves: both answer 0 and do nothing.
    int bTableVirtualMoveSupported() override { return 0; }                             // 62
    int bTableVirtualMove(INAContext*, const wchar_t*, long*, unsigned, int) override { return 0; }  // 63
    int bSupprimeTout(INAContext* piContext) override;                                  // 64
    // Slots 65-78, reserved.
    void EmptySlot579() override {}
    void EmptySlot580() override {}
    void EmptySlot582() override {}
    void EmptySlot583() override {}
    void EmptySlot584() override {}
    void EmptySlot585() override {}
    void EmptySlot586() override {}
    void EmptySlot587() override {}
    void EmptySlot589() override {}
    void EmptySlot590() override {}
    void EmptySlot591() override {}
    void EmptySlot592() override {}
    void EmptySlot593() override {}
    void EmptySlot594() override {}

    // --- The table's own slots.
    virtual int bSupprimeFichier(INAContext* piContext);                                // 79
    // Gives back every reference the table holds; each data access it
    // releases forgets the table.
    virtual ~CNATable();                                                                // 80-81
    virtual int bExecuteQuery(int* pbHasResult, INAContext* piContext, const wchar_t* pszName,
                              ISQLParserInformation* piQuery, unsigned nMode,
                              const INAQueryExecution* piExecution);                    // 82

    // --- Counts and fields.
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
    // The description's logical name; "" without description.
    const wchar_t* pszGetLogicalName() const;
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    INADataSourceDescription* piGetDataSourceNoRef() const { return m_piSource; }
    // The query's bind variables, or null; no reference added.
    INAQueryParametersValue* piGetQueryBindVariableNoRef() const { return m_piQueryBindVariable; }
    // Replaces the bind variables (one external reference held); the same
    // value again changes nothing.
    void SetQueryBindVariable(INAQueryParametersValue* piValues);
    unsigned dwGetNbDataAccess() const { return m_tabDataAccess.dwGetNumElement(); }
    // Whether the data access is one of the table's.
    bool bHoldsDataAccess(CNADataAccess* pclDataAccess) const;

    // The end of the connection's transaction, passed on to every data
    // access of the table, and the end of its record locks, passed on to
    // those working on that host connection (table_transactions.cpp).
    void SetTransactionTermined();
    void CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction);

    // --- The calling context's data access (table_lookup.cpp). Each lookup
    // takes the lock itself and hands out one internal reference that the
    // caller drops.
    // Without creation, through the process-wide cache; null when the
    // context has none. Only the context's data key selects it: it may be
    // another table's.
    CNADataAccess* _pclFindDataAccess(INAContext* piContext) const;
    // The same for a caller that holds the lock already (the slots).
    CNADataAccess* _pclFindDataAccessLocked(INAContext* piContext) const;
    // With creation: a new data access (*pbNew set to 1) joins this table;
    // so does one that lost its table. Null when none can be had (the
    // no-memory error is in the driver's or the context's error object).
    CNADataAccess* _pclGetDataAccess(INAContext* piContext, int* pbNew);
    // Joins the table with the table's reference.
    void __AddDataAccess(CNADataAccess* pclDataAccess);
    // The context lets the data access go, the cache forgets it, the table
    // drops it; then the context is handed back to the driver (which
    // unregisters it once empty). Called with the lock held.
    void _RemoveDataAccess(INAContext* piContext, CNADataAccess* pclDataAccess);
    // Copies the error into the error object of the driver's context of the
    // host context, when there is one.
    void _SetContextLastNAError(INAContext* piContext, CNAError* pclError) const;
    // Stores the description, with one external reference (the former one,
    // if any, is released).
    void _SetDataSource(INADataSourceDescription* piSource);

    // --- The forwarding pattern (table_forward.h, which defines them).
    // Under the lock: the table's error reset, the context's data access
    // found (none: user error 19 naming the table at site 6.7, and 0), its
    // error reset, f(data access) answered, the lookup's reference dropped.
    template <class F>
    int _nForward(INAContext* piContext, F f) const;
    // The same, answering 1 without a data access and raising nothing.
    template <class F>
    int _nForwardLenient(INAContext* piContext, F f) const;

    // --- Open, create, close and host queries (table_open.cpp,
    // table_query.cpp, table_version_check.cpp, table_context.cpp).
    // The check of the host's SQL module before a filter or a query with a
    // parsed form: once per driver object, in a stretch of the lock of its
    // own. 1 when passed or not needed (no parsed query, checked before);
    // else 0 with user error 16 in the table's error object.
    int _bCheckSQLModuleVersion(ISQLParserInformation* piQuery);
    // Open, creations and delete: under the lock, the table's error reset,
    // the connection opened (bOpenCreate when bCreateDatabase), the
    // context's data access found or made, fnStep(data access) answered. A
    // data access this call made goes again when the step fails, and any
    // goes when bAlwaysRemove; the error of one that goes is copied into the
    // table's error object.
    template <class F>
    int _bOpenWith(INAContext* piContext, int bCreateDatabase, int bAlwaysRemove, F fnStep);
    // The lookup with creation for a call that starts on the data access:
    // its error object reset. One reference for the caller; null as the
    // lookup.
    CNADataAccess* _pclGetDataAccessForCall(INAContext* piContext, int* pbNew);
    // An operation this driver does not offer: user error 8 at the site in
    // the table's error object (joining an error already there), copied
    // into the context's; 0.
    int _bNotAvailable(INAContext* piContext, const stNAErrorSite& site) const;

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
