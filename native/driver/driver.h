#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "common/text/ref_string_hash_table.h"
#include "native/driver/dump_captions.h"
#include "native/driver/na_driver.h"
#include "native/driver/na_ref_hooks.h"

struct stNAErrorSite;

// The driver object behind INADriver: the host's entry to everything else.
// The concrete database driver derives from it, fills the pure factory slots
// and registers itself through the factory hook; this layer never names it.
//
// The host holds the driver by an external count, the driver's only count:
// atomic, because the host changes it without the lock; only the release
// from 1 to 0 destroys the driver. The driver owns its contexts, tables and
// connections (three registries, each holding one reference per member), its
// error object and its SQL-functions object. The connection and table
// registries compare their keys exactly (registry_keys.h).
//
// Every host entry that touches shared state follows the entry protocol
// (CNAEntryGuard): the module-wide recursive mutex, the error object reset,
// the work, the mutex released on every way out. Everything below an entry
// runs with the mutex held and takes no lock of its own.
//
// s_pclDriver, through which every other object of the driver reaches the
// factories and the error object, is the driver of the latest
// piQueryInterface. The live drivers are kept in creation order: when the
// driver it names is destroyed it falls back to the newest that remains, so
// it is never null, nor dangling, while a driver lives.
class CNADriver : public INADriver
{
public:
    // What the concrete database driver registers: how to make the driver
    // (with no reference yet; null when it cannot), and its module end,
    // which ends with g_NATermModule.
    struct stFactory
    {
        CNADriver* (*pfnNewDriver)();
        int (*pfnTermModule)();
    };

    CNADriver(const CNADriver&) = delete;
    CNADriver& operator=(const CNADriver&) = delete;

    // INADriver, slots 0-38.
    int nGetVersion() const override { return 18; }
    int nGetCompatSince() const override { return 17; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override;
    // From 1 to 0 the driver is ended and destroyed (0 returned); at 0
    // nothing happens and 0 is returned.
    unsigned nExternalRelease() override;
    // 1: the SQL-functions object, made once, with one external reference
    // for the caller; null when it cannot be made. Any other id: null.
    void* piGetInterface(int nId) override;
    int bOpenConnection(INAConnectionDescription* piConnection) override;
    int bCloseConnection(INAConnectionDescription* piConnection) override;
    int bCopyContext(INACopyCtx* piCopy, INAContext* piFrom, INAContext* piTo, unsigned nFlags) override;
    // The error object, without a reference: one for every host thread,
    // each reading its own last error through it.
    INAError* piGetLastError() override;
    int bHMode(INAContext* piContext, _eNA_HMODE eMode) override;
    INATable* piGetTable(INAConnectionDescription* piConnection, INADataSourceDescription* piSource) override;
    int bGetTableList(CAny* pclList, INAConnectionDescription* piConnection, unsigned nFlags) override;
    INADataSourceDescription* piGetTableDesc(const wchar_t* pszName, INAConnectionDescription* piConnection) override;
    int bHExecuteRequeteSQL(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                            INAConnectionDescription* piConnection, ISQLParserInformation* piQuery,
                            unsigned nMode) override;
    int bCloseContext(INAContext* piContext) override;
    int bTransactionBegin(INAConnectionDescription* piConnection, const wchar_t* pszName) override;
    int bTransactionCommit(INAConnectionDescription* piConnection, const wchar_t* pszName) override;
    int bTransactionRollBack(INAConnectionDescription* piConnection, const wchar_t* pszName) override;
    int bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable) override;
    int bSQLBloqueRequete(INAConnectionDescription* piConnection, ISQLParserInformation* piQuery) override;
    int bSQLFormatColonne(INAConnectionDescription* piConnection, CAny* pclList) override;
    int bHConnexionDiagnose(CAny* pclResult, INAConnectionDescription* piConnection, const wchar_t* pszText,
                            unsigned nFlags) override;
    int bGetProviderList(CAny* pclList) override;
    int bTableExists(int* pbExists, const wchar_t* pszTable, INAConnectionDescription* piConnection) override;
    int bGetLinkList(CAny* pclList, const wchar_t* pszTable, INADataSourceDescription* piSource,
                     INAConnectionDescription* piConnection, unsigned nFlags) override;
    int bGetListeSource(CAny* pclList, int nFlags) override;
    int bSetQueryParameters(INAContext* piContext, INAConnectionDescription* piConnection,
                            INAQueryParametersValue* piValues) override;
    // Both are stored, never called.
    int bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData) override;
    int bFiltreAuto(INAContext* piContext, INAConnectionDescription* piConnection, int nOption, const wchar_t* pszFrom,
                    INADataSourceDescription* piFrom, const wchar_t* pszTo, INADataSourceDescription* piTo) override;
    void SetNextLogicalName(INAContext* piContext, const wchar_t* pszName) override;
    int bHExecuteRequeteSQLEx(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                              INAConnectionDescription* piConnection, ISQLParserInformation* piQuery, unsigned nMode,
                              const INAQueryExecution* piExecution) override;
    int bFreeDataSource(INAContext* piContext, const wchar_t* pszName, INAConnectionDescription* piConnection) override;
    int bValidConnection(INAConnectionDescription* piConnection) override;
    // Stored, never counted; the keys of wide text built with a mapping
    // option ask the process's driver's interface for their mapper.
    int bSetQF(IQFForNA* piQF) override;
    int bSupprimeFichier(INAContext* piContext, INAConnectionDescription* piConnection, const wchar_t* pszTable,
                         INADataSourceDescription* piSource) override;
    int bGetDatabaseList(CXYString<wchar_t>* pclList, INAConnectionDescription* piConnection,
                         unsigned nFlags) override;

    // Slots 39-40: the error object reset, _Term, s_pclDriver moved off this
    // driver, then the registries and captions destroyed.
    virtual ~CNADriver();

    // Slots 41-66: the driver's own; the concrete driver fills the pure ones
    // and may replace others. The factories return new objects with no
    // reference (the caller adds its own) or null when memory runs out.
    virtual int bSetCharset(unsigned nCharset, void* pCharset);                                      // 41
    virtual int bBuildCnxIdentification(CTString* pcsIdentification,
                                        INAConnectionDescription* piConnection);                     // 42
    // The SQL-functions object, made through slot 61 on first call and
    // counted once by the driver.
    virtual CNADriverSQL* pclGetDriverSQL();                                                         // 43
    virtual CNAConvertVariant* pclAllocVariant(CNAError* pclError, CNAConnectionDescription* pclConnection);  // 44
    virtual CNAConvertVariant* pclAllocVariantRowID(CNAError* pclError,
                                                    CNAConnectionDescription* pclConnection);        // 45
    virtual CNADataSourceDescription* pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                                    CNAError* pclError);             // 46
    virtual CNAContext* pclAllocContext();                                                           // 47
    virtual CNADataAccess* pclAllocDataAccess(INADataSourceDescription* piSource,
                                              CNAConnectionDescription* pclConnection,
                                              CNAError* pclError);                                   // 48
    virtual CNAStatement* pclAllocStatement(CNADataAccess* pclDataAccess, CNAConnectionDescription* pclConnection,
                                            CNAError* pclError) = 0;                                 // 49
    // Null for an item of type 0 (empty), 8 (no name) or above 31.
    virtual CNAColumn* pclAllocColumn(CNAError* pclError, INAItemDescription* piItem);               // 50
    virtual CNACommand* pclAllocCommand(CNAError* pclError, CNAConnectionDescription* pclConnection);  // 51
    virtual CNAError* pclAllocError();                                                               // 52
    // A new auto-increment values object (count 0); null without memory.
    virtual CNAIDAuto* pclAllocIDAuto();                                                             // 53
    virtual CNADataSourceDescription* _pclGetTableDesc(const wchar_t* pszName,
                                                       CNAConnectionDescription* pclConnection);     // 54
    virtual CNAParameter* pclAllocParameter(CNAConvertVariant* pclValue, unsigned long nPosition, unsigned nFlags,
                                            const wchar_t* pszName);                                 // 55
    virtual void CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction);  // 56
    virtual CNAItemDescription* pclAllocItemDescription();                                           // 57
    virtual void OnFatalErrorAddDebugMessage(CNAError* pclError, CNAConnectionDescription* pclConnection);  // 58
    virtual CNAConnectionDescription* _pclAllocConnectionDescription(const wchar_t* pszIdentification,
                                                                     INAConnectionDescription* piConnection) = 0;  // 59
    virtual CNATable* _pclAllocTable(const wchar_t* pszKey, INADataSourceDescription* piSource,
                                     CNAConnectionDescription* pclConnection, CNAError* pclError);   // 60
    // Null here: the concrete driver makes its own.
    virtual CNADriverSQL* _pclAllocDriverSQL(CNAError* pclError);                                    // 61
    virtual int _bGetDatabaseList(CXYString<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                  unsigned nFlags);                                                  // 62
    virtual int _bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, unsigned nFlags);  // 63
    virtual int _bTableExists(int* pbExists, const wchar_t* pszTable, CNAConnectionDescription* pclConnection);  // 64
    virtual int _bGetLinkList(CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                              INADataSourceDescription* piSource, CAny* pclList, unsigned nFlags);   // 65
    // Called last by _Term, while the concrete driver is still whole.
    virtual void _BeforeDeath();                                                                     // 66

    // The error object (slot 52) replaces the current one, which is
    // released; the driver holds one reference on it.
    void AllocError();
    // Releases every context, every table and every connection (with the
    // open states the host left, freeing their keys), the error object and
    // the SQL-functions object, in this order, then calls _BeforeDeath.
    void _Term();

    // --- Connections (driver_connections.cpp). A find or get returns the
    // connection with a reference for the caller, which it drops through
    // nReleaseConnection unless said otherwise.
    // The registered connection of that identification, or null.
    CNAConnectionDescription* _pclFindConnection(const wchar_t* pszIdentification);
    // The same by the identification of the host's description; never
    // creates.
    CNAConnectionDescription* _pclFindConnection(INAConnectionDescription* piConnection);
    // Found, or made (slot 59) and registered; not opened. Null, with the
    // no-memory error, when it cannot be made or registered.
    CNAConnectionDescription* _pclGetConnection(INAConnectionDescription* piConnection);
    CNAConnectionDescription* _pclAddConnection(const wchar_t* pszIdentification,
                                                INAConnectionDescription* piConnection);
    // Opens the connection (its bOpen with the driver's error object). On
    // success it gains an open state, with one reference, and no longer
    // closes by itself. On failure it leaves the registry and loses its open
    // states (with their references), and the error level becomes 2. The
    // answer of bOpen.
    int _bOpenConnection(CNAConnectionDescription* pclConnection);
    // Drops one reference. When that leaves only the reference of a
    // registry that holds this very connection, and it may close by itself
    // (no open state undone yet, no transaction active), it is closed when
    // open, unregistered and released: 0. Otherwise the count left (0 for a
    // count already 0).
    int nReleaseConnection(CNAConnectionDescription* pclConnection);
    // Undoes one open state (and drops its reference) and lets the
    // connection close by itself again; nothing when there is none. 1.
    int _bCloseConnection(CNAConnectionDescription* pclConnection);
    // The first registered connection, in registry order, with that number;
    // null when none. Takes the lock.
    CNAConnectionDescription* pclGetConnectionByID(int nNumber);
    // bCloseConnection for the connection of that number; 1 in every case.
    int _bCloseConnectionById(int nNumber);
    // Hands a connection reference back to the process's driver
    // (nReleaseConnection), or releases it plainly when there is no driver.
    static int g_nReleaseConnection(CNAConnectionDescription* pclConnection);

    // --- Contexts (driver_contexts.cpp). Each takes the lock.
    // The registered context of the host context, with a reference; null
    // when none.
    CNAContext* pclFindContext(INAContext* piContext);
    // Found, or made (slot 47) and registered, *pbNew then set to 1 (0
    // first). Null, with the no-memory error, when it cannot be made.
    CNAContext* pclGetContext(INAContext* piContext, int* pbNew);
    // Drops the caller's reference; a context left without data access is
    // unregistered (0). Otherwise the count left.
    int nReleaseContext(INAContext* piContext, CNAContext* pclContext);

    // --- Tables (driver_tables.cpp). A find or get returns the table with an
    // internal reference for the caller.
    CNATable* _pclFindTable(const wchar_t* pszKey);
    // By the database table's key, which is written into pcsKey.
    CNATable* _pclFindTable(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                            CTString* pcsKey);
    // Found, or made (slot 60) and registered.
    CNATable* _pclGetTable(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection);
    // Registers the table with the registry's reference, unless a table of
    // its identification is registered already.
    void _AddTable(CNATable* pclTable);
    // Unregisters the table, dropping the registry's reference: 1; 0 when the
    // registry does not hold this very table under its identification. The
    // second form closes the table for the host context first. Each takes
    // the lock.
    int _bReleaseTable(CNATable* pclTable);
    int _bReleaseTable(INAContext* piContext, CNATable* pclTable);
    // Drops one reference; a table left with only its registry's reference
    // is unregistered (0). Otherwise the count left.
    int nReleaseTable(CNATable* pclTable);
    // The query table of the host context, name and connection; when there
    // is none and bCreate is set, a new one (slot 60), not registered.
    CNATable* _pclGetQuery(INAContext* piContext, const wchar_t* pszName, CNAConnectionDescription* pclConnection,
                           int bCreate);
    // A description of the table read from the database (slot 54) with one
    // external reference for the caller, or null.
    INADataSourceDescription* _piGetTableDesc(const wchar_t* pszName, CNAConnectionDescription* pclConnection);

    // --- SQL, transactions, locks and lists (driver_queries.cpp,
    // driver_transactions.cpp, driver_lists.cpp).
    // f(connection) on the connection of the host's description, found or
    // made, held for the call and handed back through nReleaseConnection;
    // rNone when none can be had.
    template <class R, class F>
    R _WithConnection(INAConnectionDescription* piConnection, R rNone, F f)
    {
        CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
        if (pclConnection == nullptr)
            return rNone;
        const R r = f(pclConnection);
        nReleaseConnection(pclConnection);
        return r;
    }
    // Tells every registered table of the connection that its transaction
    // ended.
    void _SetTransactionTermined(CNAConnectionDescription* pclConnection);

    CNAError* pclGetError() const { return m_pclError; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount.load(std::memory_order_relaxed); }
    int64_t llGetDefaultCacheSize() const { return m_llDefaultCacheSize; }
    ILibShop* piGetLibShop() const { return m_piLibShop; }
    IVMData* piGetVMData() const { return m_piVMData; }
    IQFForNA* piGetQF() const { return m_piQF; }
    int bVersionChecked() const { return m_bVersionChecked != 0; }
    void SetVersionChecked() { m_bVersionChecked = 1; }

    // The dump captions (dump_captions.h): every field loaded when the first
    // is still empty, each followed by one blank.
    void InitQueryDumpRessources();
    // The caption of a field, loaded first; empty for fields 8 to 10 and
    // outside 1 to 28.
    const wchar_t* pszGetDumpCaption(eNA_DUMPCAPTION eField);

    // A new conversion value from slot 44, typed: by the column when one is
    // given, else as a kind-1 value of the type code. Null (nothing left
    // behind) when none can be made or typed.
    CNAConvertVariant* pclGetNewVariant_NV_Any(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                               CNAColumn* pclColumn, unsigned short nType);
    // The same with the value's own type code, holding the value; null when
    // it cannot be stored.
    CNAConvertVariant* pclGetNewVariant_NV_Any(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                               CNAColumn* pclColumn, const CAny* pclValue);

    // A new parameter (slot 55), then bound to the column; null when none
    // is made.
    CNAParameter* pclAllocParameter_col(CNAColumn* pclColumn, CNAConvertVariant* pclValue, unsigned long nPosition,
                                        unsigned nFlags, const wchar_t* pszName);

    // The name of a computed column: "Expr" and n + 1000.
    static void g_GenerateItemName(CTString* pcsName, int n);
    // Whether an item of this type can have a column: not 0, not 8, not
    // above 31.
    static bool g_bColumnItemType(int eItemType);

    // Module start (the first bInitLibrary): the handle kept, the common
    // library started, the announced host versions cleared, the mutex made.
    static void g_NAInitModule(void* hModule);
    // Module end: the mutex destroyed, the common library ended; the common
    // library's answer. The concrete driver's module end (the factory hook)
    // unloads its database's client library first, then calls this.
    static int g_NATermModule();
    // Whether the module is started: from the first bInitLibrary to the
    // module end.
    static bool g_bModuleStarted();
    // piQueryInterface: a new concrete driver, made the process's driver,
    // with one external reference and its error object. Null (and nothing
    // changed) when no driver is registered, it makes none, or the module is
    // not started.
    static CNADriver* g_pclQueryInterface();
    // TermLibrary: the concrete module end, or g_NATermModule without one;
    // a second call does nothing.
    static void g_TermLibrary();
    // Installs the concrete driver's factory; returns the former one.
    static stFactory g_SetFactory(const stFactory& stNew);

    static void* s_hDllHandle;
    static uint32_t s_nID_VXQF;
    static uint32_t s_nID_VXSQL;
    static pthread_mutex_t m_gstDriverCriticalSection;
    static CNADriver* s_pclDriver;
    // Set by the client-call guard after a crash inside the client library.
    static int32_t s_bGPFCatched;

protected:
    // Joins the live drivers, newest last. The module must have been
    // started (bInitLibrary).
    CNADriver();

    void _InitDriverSQL();

    // f(connection) on the registered connection of the host's description,
    // held for the call; without one, nothing is made or sent: user error
    // 14 at the site, with the name of the host's connection record, and 0.
    template <class F>
    int _bOnRegistered(INAConnectionDescription* piConnection, const stNAErrorSite& site, F f)
    {
        CNAConnectionDescription* pclConnection = _pclFindConnection(piConnection);
        if (pclConnection == nullptr)
            return _bUnknownConnection(piConnection, site);
        const int bDone = f(pclConnection);
        nReleaseConnection(pclConnection);
        return bDone;
    }
    // User error 14 at the site for a host connection the driver does not
    // hold; 0.
    int _bUnknownConnection(INAConnectionDescription* piConnection, const stNAErrorSite& site);

    CTString m_acsCaption[28];
    std::atomic<uint32_t> m_dwExternalRefCount{0};
    CRefStringHashTable<CNAConnectionDescription*, CNARefHooksOf<CNAConnectionDescription>> m_tabConnection{7};
    CRefStringHashTable<CNATable*, CNARefHooksOf<CNATable>> m_tabTable{7};
    CNARefHashTable<unsigned long, CNAContext*, CNARefHooksOf<CNAContext>> m_tabContext{7};
    CNAError* m_pclError = nullptr;
    CNADriverSQL* m_pclDriverSQL = nullptr;
    int64_t m_llDefaultCacheSize = -1;
    ILibShop* m_piLibShop = nullptr;
    IVMData* m_piVMData = nullptr;
    IQFForNA* m_piQF = nullptr;
    uint32_t m_bVersionChecked = 0;

private:
    // The live drivers, in creation order.
    CNADriver* m_pclOlderDriver = nullptr;
    CNADriver* m_pclNewerDriver = nullptr;
    static CNADriver* s_pclNewestDriver;
};
