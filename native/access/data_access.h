#pragma once

// How one host context works on one data source (a table or a query) of a
// connection. The host context's CNAContext keeps it under the context's
// data key and the table object keeps it too, each with one reference; it
// is counted through CInterf, plainly, under the driver-wide lock, and the
// database driver's factory (the driver's slot 48) makes it.
//
// It holds one internal reference on its connection (handed back through
// the driver's nReleaseConnection), one on its error object (its context's)
// and one external reference on its data source. Its context and its table
// are named without a reference: both outlive their registrations of it.
//
// It owns its current record, one statement per browse item (the registry
// below; the empty name is the default item, whose statement serves every
// write, creation, drop and emptying), its saved positions, a cache of
// record saves (rows kept for later, by number, each counted), and
// optionally a full table cache and the auto-increment object.
//
// The virtual slots are declared once, here, in their fixed order: a
// database driver's data access derives from this class and replaces slots
// by position.
#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "common/text/ref_string_hash_table.h"
#include "native/access/position.h"
#include "native/driver/na_forward.h"
#include "native/driver/na_ref_hooks.h"
#include "native/model/interf.h"
#include "native/sql/command.h"

class CNARecord;
class CNAFilter;
class CNATableCache;
class CSQLParserInfo;

// How a return to a saved position treats the filter saved with it.
enum eNAPOSITION : int32_t;
// How an execution prepares its statement (the statement's).
enum eNA_ST_PREPARE : int32_t;

class CNADataAccess : public CInterf
{
public:
    // Any of the three may be null.
    CNADataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection, CNAError* pclError);
    // Slots 0-1. Clears the process-wide last-data-access cache when it
    // names this object; closes (row states, statements, positions, table
    // cache) and resets; releases the statements and positions; then the
    // record-save cache (which they gave their saves back to); then hands
    // the connection back and drops the error object.
    ~CNADataAccess() override;

    // --- Slots 3-5: memos, by index among the data source's memos. Reads
    // and extractions go through the last statement when there is one; a
    // read with neither last statement nor current record is NULL, an
    // extraction without last statement writes nothing; both succeed.
    virtual int bGetBLOB(unsigned nMemo, CAny* pclValue);                                        // 3
    virtual int bSetBLOB(unsigned nMemo, const CAny* pclValue);                                  // 4
    virtual int bExtraitMemo(unsigned nMemo, const wchar_t* pszPath);                             // 5
    // --- Slots 6-11: the data source's life.
    // Drops first when asked (bDrop), then creates and opens; error level 2
    // on failure.
    virtual int bHCreation(const wchar_t* pszPassword, int bDrop);                                // 6
    // Drops the table; a missing table is no failure. Leaves it closed.
    virtual int bSupprimeFichier();                                                               // 7
    // Deletes every record. Leaves it closed.
    virtual int bSupprimeTout();                                                                  // 8
    // Opens, creating first when the table is missing (never drops).
    virtual int bHCreationSiInexistant(eNA_ACCESS eAccess, const wchar_t* pszPassword);          // 9
    virtual int bHOuvre(eNA_ACCESS eAccess, const wchar_t* pszPassword);                          // 10
    // _Close; 1.
    virtual int bHFerme();                                                                        // 11
    // --- Slots 12-17: writes.
    virtual int bHAjoute(NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock);                          // 12
    virtual int bHEcrit(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock);            // 13
    virtual int bHSupprime(long llRecord, eNA_LOCKTYPE eLock);                                    // 14
    virtual int bHModifie(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock);          // 15
    // Slots 16, 17, 24, 26 and 38 are not offered by this driver: user error
    // 8, error type 7, outputs left unwritten.
    virtual int bHRaye(long llRecord, eNA_LOCKTYPE eLock);                                        // 16
    virtual int bHLibere();                                                                       // 17
    // --- Slots 18-28: reads, searches, locks, filter.
    virtual int bHLit(long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock);                   // 18
    virtual int bHLitxxx(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, int nFetchOption,
                         eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, NA_WRITEPARSEFLAGS nFlags);    // 19
    virtual int bSkipRecord(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, long llCount,
                            int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock,
                            NA_WRITEPARSEFLAGS nFlags);                                           // 20
    // A search on the item (the first form), read in the order of the
    // browse item: the first matching record (the last when not forward).
    virtual int bHRecherche(const wchar_t* pszItem, const CAny* pclValue, int bExact, int nFetchOption,
                            eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int bForward,
                            NA_WRITEPARSEFLAGS nFlags);                                           // 21
    virtual int bHRecherche(const wchar_t* pszItem, const wchar_t* pszSearchItem, const CAny* pclValue,
                            int bExact, int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock,
                            int bForward, NA_WRITEPARSEFLAGS nFlags);                             // 22
    // The search of the item's statement (the last statement's for an
    // empty name) cancelled; never fails.
    virtual int bHAnnuleRecherche(const wchar_t* pszItem);                                        // 23
    virtual int bHBloqueFichier(eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock);                        // 24
    virtual int bHDebloqueFichier() { return 1; }                                                 // 25
    virtual int bHBloqueNumEnr(long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock);          // 26
    virtual int bHDebloqueNumEnr(long) { return 1; }                                              // 27
    virtual int bHFiltre(const wchar_t* pszItem, const CAny* pclLow, int bLowIncluded, const CAny* pclHigh,
                         int bHighIncluded, ISQLParserInformation* piQuery);                      // 28
    // --- Slots 29-31: saved positions, numbered across the process. A
    // save fails with user error 7 when no statement can be made for the
    // item; a return to (or a comparison of) an unknown number with user
    // error 11; freeing an unknown number is no error (1).
    virtual int bHSauvePosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode);            // 29
    virtual int bHRetourPosition(int nId, wchar_t* pszItem, int bKeep, eNAPOSITION eMode);        // 30
    virtual int bHLiberePosition(int nId);                                                        // 31
    // --- Slots 32-40: versions, counts, queries.
    virtual int bHVersion(int* pnVersion);                                                        // 32
    virtual int bHNbEnr(long* pllCount, unsigned nOptions, NA_WRITEPARSEFLAGS nFlags);            // 33
    virtual int bGetNbEnr(CNAStatement* pclStatement, long* pllCount, unsigned nOptions,
                          eNA_PARSEDIRECTION eDirection, NA_WRITEPARSEFLAGS nFlags);              // 34
    virtual int bNbEnrNeedParse(int* pbNeedParse, const wchar_t* pszItem);                        // 35
    virtual long llGetRecNum() { return 0; }                                                      // 36
    virtual int bGetRecNumState(long llRecord, unsigned* pnState);                                // 37
    virtual int bHConstruitValCle(CAny* pclKey, const wchar_t* pszItem, unsigned nCount,
                                  CAny** ppclValues);                                             // 38
    // Runs the application's query (its parsed form, else its text when
    // one is given) and makes this data access its source; *pbHasResult
    // tells whether it left rows to read.
    virtual int bExecuteQuery(int* pbHasResult, const wchar_t* pszName, ISQLParserInformation* piQuery,
                              unsigned nMode, const INAQueryExecution* piExecution);            // 39
    virtual int bBuildSelect(CNACommand* pclCommand, CNAStatement* pclStatement, const wchar_t* pszItem,
                             int bForward, NA_WRITEPARSEFLAGS nFlags, long* pllCount);            // 40
    // --- Slots 41-44: record locks and re-indexing do nothing here.
    virtual int bLockRecord(eNA_LOCKTYPE) { return 1; }                                           // 41
    virtual int bUnlockRecord(eNA_LOCKTYPE) { return 1; }                                         // 42
    virtual int bLockUnlockRecord(eNA_LOCKTYPE) { return 1; }                                     // 43
    virtual int bHReindexe(unsigned, IGaugeControl*) { return 1; }                                // 44
    // --- Slots 45-55.
    // The table's description read from the database (the connection
    // opened), with one internal reference for the caller; null on failure.
    virtual CNADataSourceDescription* pclGetDataSourceDescriptionFromDB(const wchar_t* pszTable,
                                                                        int nContext);           // 45
    // How its rows are identified: 1 by their values, 3 by a row id.
    virtual int eEvaluateRecordIdType() const { return 1; }                                       // 46
    virtual int bHChangeCle(const wchar_t* pszItem, NA_WRITEPARSEFLAGS nFlags);                   // 47
    // The current row becomes the row as read; unless asked to keep it, the
    // current record save goes.
    virtual int bSetCurrentRecordRead(int bKeepRecordSave);                                       // 48
    // Whether the table exists, and whether it is compatible (either may be
    // null); a missing table fails with user error 15, or with message
    // 28541 in front of the server's error.
    virtual int bFichierExiste(int* pbExists, int* pbCompatible);                                 // 49
    virtual CNAPosition* pclAllocPosition();                                                      // 50
    // The error object's type when set, else the connection's reading of
    // the server's code.
    virtual eNA_ERRORTYPE eGetNAErrorType();                                                      // 51
    virtual void SetContext(CNAContext* pclContext) { m_pclContext = pclContext; }                // 52
    // The end of the record locks of a transaction: nothing with this
    // driver.
    virtual void CancelRecordLock(INAConnectionDescription*, CNATransaction*) {}                  // 53
    virtual int bSetFiltreAuto(int, const wchar_t*, const wchar_t*, INADataSourceDescription*) { return 1; }  // 54
    virtual void SetFiltreAuto(int) {}                                                            // 55
    // --- Slots 56-59: factories. Each new object comes at count 0; the
    // caller takes its references.
    virtual CNAStatement* _pclAllocStatement(CNADataAccess* pclDataAccess, CNAError* pclError);  // 56
    virtual CNADataSourceDescription* _pclAllocDataSource(CNAConnectionDescription* pclConnection,
                                                          CNAError* pclError);                  // 57
    // A new current record on the error object and this data access; null
    // when memory runs out.
    virtual CNARecord* _pclAllocRecord(CNAError* pclError);                                       // 58
    virtual CNAIDAuto* _pclAllocIDAuto();                                                         // 59
    // --- Slots 60-83: overridable steps.
    virtual int _bMove(long llRecord, int nOption);                                               // 60
    virtual int _bSetBLOB(INAItemDescription* piItem, const CAny* pclValue);                      // 61
    virtual int _bHAttacheMemo(INAItemDescription* piItem, const wchar_t* pszPath);               // 62
    virtual void _SetTransactionTermined(CNAStatement* pclStatement);                             // 63
    // Builds the current record (made once), gives its columns their
    // imported items and the alias names of their tables.
    virtual int _bInitCurrentRecord();                                                            // 64
    // Table cache, saved positions, statements and execution statement
    // gone; closed.
    virtual void _Close();                                                                        // 65
    // One write of the kind through the statement, then the notification.
    virtual int _bOperation(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags,
                            CNARecordValue* pclRow);                                              // 66
    virtual int64_t _nGetSequenceCurrentVal(CNAColumn*) { return -1; }                            // 67
    virtual int _bGetRequestedValue(CNAStatement* pclStatement, CAny* pclValue, CNACommand* pclCommand);  // 68
    virtual int _bIsValidRecordNumber(long llRecord);                                             // 69
    virtual int _bFetch(CNAStatement* pclStatement, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                        long llCount, int nFetchOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock,
                        NA_WRITEPARSEFLAGS nFlags, int bRestart);                                 // 70
    // Drops (bDrop) and/or creates (bCreate) the table on the default
    // statement.
    virtual int _bHCreation(int bDrop, int bCreate);                                              // 71
    virtual int _bSupprimeTout();                                                                 // 72
    // Takes the description read from the database (one external
    // reference) and brings the data source and the record in line with it.
    virtual int _SetImportedDataSourceDesc(CNADataSourceDescription* pclImported);               // 73
    virtual void _vUpdateRecordInCacheLock(NA_WRITEPARSEFLAGS) {}                                 // 74
    virtual int _bGetUniqueIndexName(CNAColumn* pclColumn, CTString* pcsName);                    // 75
    virtual int _bUpdateIdAutoAfterInsertFailure(CNAColumn*) { return 0; }                        // 76
    virtual int _bHModifie(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock,
                           CNARecordValue* pclRow);                                               // 77
    virtual int _bHAjoute(NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock);                         // 78
    virtual int _bRepriseErreurParcours(CNAStatement*, const wchar_t*, eNA_PARSEDIRECTION, eNA_LOCKTYPE,
                                        eNA_LOCKTYPE*, NA_WRITEPARSEFLAGS)
    {
        return 0;
    }                                                                                             // 79
    virtual int _bCompareTablePosition(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pnResult);  // 80
    virtual int _bCheckRecordSaveID(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pnResult);     // 81
    virtual int _bCheckReccordId(CNAPosition*, CNAPosition*, int*) { return 0; }                       // 82
    virtual CNATableCache* _AllocTableCache();                                                         // 83

    // ------------------------------------------------------------------
    // Plain operations.

    // The end of the connection's transaction: every statement that started
    // a browse and has nothing pending runs its query again at its next read.
    void SetTransactionTermined();

    // --- Memos, by index among the data source's memos. An index the data
    // source does not know, or whose item has no column in the current
    // record, fails with user error 26.
    // Attaches the file to the memo of the current record (read when the
    // record is written).
    int bHAttacheMemo(unsigned nMemo, const wchar_t* pszPath);

    // --- Table cache.
    // A new table cache in place of the one held (one reference); 0 with
    // the no-memory error when none can be made.
    int _bCreateNewTableCache(CNAStatement* pclStatement);
    // Drops the table cache when there is one; 1.
    int bFreeCache();

    int bIsOpened() const { return m_bOpened; }
    // Stores the mode; 1.
    int bHMode(_eNA_HMODE eMode);
    _eNA_HMODE eGetAccessMode() const { return m_eAccessMode; }
    // The data source's names, or the empty text without data source.
    const wchar_t* pszGetLogicalName() const;
    const wchar_t* pszGetDBTableName() const;
    // The table name formatted for SQL by the connection at construction.
    const wchar_t* pszGetFormattedDBTableName() const { return m_csDBTableName.pszGet(); }
    // The name the host refers to the data source by; empty until opened.
    const wchar_t* pszGetAliasName() const { return m_csAliasName.pszGet(); }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    INADataSourceDescription* piGetDataSourceNoRef() const { return m_piSource; }
    // The data source with one external reference added (null without).
    INADataSourceDescription* piGetDataSourceDescription() const;
    // What the host is to read the data source by, with one external
    // reference added: for a table its data source; for a query a clone of
    // it with all its keys, made once per execution and kept. Null without
    // data source, or when the clone cannot be made.
    INADataSourceDescription* piGetDataSourceDescriptionForQF();
    // The imported description with one external reference, or null.
    CNADataSourceDescription* pclGetImportedDataSourceDesc() const;
    CNADataSourceDescription* pclGetImportedDataSourceDescNoRef() const { return m_pclImported; }
    // The data source's item of that name as the data source matches names
    // (the driver's own descriptions ignore case and accents), with the one
    // external reference for the caller that the data source hands out; null
    // without data source or when none matches.
    INAItemDescription* piGetItemDescription(const wchar_t* pszItem) const;
    // The data source's first key of an automatic identifier type (IDAUTO
    // or IDAUTO4), with one external reference for the caller; null without
    // data source or when no key is one. The data source may be the host's,
    // so the key is handed out as the interface it is read by.
    INAItemDescription* pclGetIdAutoItem() const;
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAContext* pclGetContextNoRef() const { return m_pclContext; }
    // The host context's identifier as its context keeps it; 0 without
    // context (a data access made outside any host context).
    unsigned long dwGetContextID() const;
    // The data access of the same context on this very connection whose
    // database table name equals the name without regard to case and
    // accents (this one included), with one internal reference for the
    // caller; null without context or when none matches.
    CNADataAccess* pclFindDataAccessByDBTableName(const wchar_t* pszDBTable) const;
    void SetTable(CNATable* pclTable) { m_pclTable = pclTable; }
    CNATable* pclGetTableNoRef() const { return m_pclTable; }

    // --- Current record.
    CNARecord* pclGetCurrentRecordNoRef() const { return m_pclCurrentRecord; }
    // With one internal reference added, or null.
    CNARecord* pclGetCurrentRecord() const;
    void _SetCurrentRecord(CNARecord* pclRecord);
    void _FreeCurrentRecord() { _SetCurrentRecord(nullptr); }
    int bSupportROWID() const { return eEvaluateRecordIdType() == 3; }
    // The current row's record buffer with one external reference; 0 when
    // closed or without current record.
    int bGetRecord(CNAQFRecord** ppclRecord) const;
    // Copies the buffer into the current row (the very buffer bGetRecord
    // handed out is a copy onto itself) and drops one external reference of
    // it; 0 when closed or without current record.
    int bSetRecord(CNAQFRecord* pclRecord);

    // --- Saved positions.
    // Same (1) or not (0) into *pbSame; equal numbers are the same without
    // a look-up; 1 unless a number is unknown.
    int bCompareTablePosition(int nFirst, int nSecond, int* pbSame);
    // The item's open parse's position in per mille (rounded up); -1 and
    // user error 7 without one.
    int bHPositionCourante(int* pnPosition, const wchar_t* pszItem, eNA_PRECISION ePrecision);
    // The item's parse moved to the per mille given; nothing on an item
    // never browsed (1).
    int bHPositionne(const wchar_t* pszItem, unsigned nPosition, eNA_PRECISION ePrecision,
                     NA_WRITEPARSEFLAGS nFlags);
    int _bGetPosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode);
    int _bSetPosition(wchar_t* pszItem, int nId, int bKeep, eNAPOSITION eMode);
    int _bFreePosition(int nId);
    // The saved position with one reference for the caller, or null.
    CNAPosition* _pclFindPosition(int nId);
    int _bRestorePositionStatement(CNAPosition* pclPosition, eNAPOSITION eMode);
    // Decided (1) or not (0) by the row ids.
    int _bCheckRowId(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pbSame);
    // The next position number: from 1, shared by every data access of the
    // process, advanced only by a save that succeeded.
    static inline int32_t ms_nPositionID = 1;

    // --- Helpers of the operations.
    // A new command on this data access's connection (count 0), or null.
    CNACommand* pclAllocCommand(CNAError* pclError);
    // A new identity of that kind for the row (no reference): by values over
    // the row, or by row id over a value holder from the driver; null for
    // another kind or when none can be made.
    CNARecordId* pclAllocRecordID(const CNARecordValue* pclRow) const;
    // 1 once the table was found compatible; else checks through
    // bFichierExiste.
    int bCheckCompatibilityWithDatabase();
    int bIsCompatible() const { return m_bCompatible; }
    // The imported description read from a statement's result (the
    // statement calls it after a SELECT while none is held).
    int bInitImportedDataSourceDesc(CNAStatement* pclStatement);
    // Which indexes a creation makes: 1 unique items, 2 items with
    // duplicates and composite keys (the default).
    void SetIndexMode(int nMode) { m_nIndexMode = nMode; }
    int nGetIndexMode() const { return m_nIndexMode; }
    // Creates the indexes of the current record's columns by mode; 1 when
    // every name and statement succeeded.
    int _bCreateIndex(CNAStatement* pclStatement, int nMode);
    // "VXIDX" + the seconds + the process-wide counter (then incremented).
    static void _GetGeneratedIndexName(CTString* pcsName);
    void _SetAliasNameFromContext();

    // --- Query source.
    // Whether the data source is a query, and the host's parsed query of a
    // query source (null when none was given).
    int bIsQuery() const { return m_bQuery; }
    CSQLParserInfo* pclGetSourceQueryNoRef() const { return m_pclSourceQuery; }
    // Query mode bits: 4 sent without correction, 8 may modify the table,
    // 16 prepared.
    uint32_t dwGetQueryMode() const { return m_dwQueryMode; }
    int bRequeteSansCorrection() const { return m_bQuery && (m_dwQueryMode & 4) != 0; }
    int bRequeteAutoriseModifierFichier() const { return (m_dwQueryMode & 8) != 0; }
    int bRequeteAPreparer() const { return (m_dwQueryMode & 16) != 0; }
    // Whether the query source reads several tables (then it cannot be
    // written); 0 until the query side tells.
    int bQueryOnSeveralTables() const { return 0; }
    // The table a query's item comes from (its source name, as the parsed
    // query names that table), formatted for SQL when asked; nothing is
    // written when the item has no source. The short form: the data
    // source's first item.
    void _GetDBSourceName(INAItemDescription* piItem, CTString* pcsName, int bFormat) const;
    int _GetDBSourceName(CTString* pcsName) const;
    // Whether the columns of the current record take their calculation
    // kinds from their items (0: every column is a plain one).
    int bColumnKindsEnabled() const { return m_bColumnKinds; }

    // --- Counts. Direction -1 counts the whole source, next, previous and
    // current count from the current record's value of the browse item.
    // Answered without a COUNT when the table cache or the browse
    // statement's complete cache or result can tell; 0 when it cannot.
    int _bGetNbEnrOptimized(CNAStatement* pclStatement, long* pllCount, unsigned nOptions,
                            eNA_PARSEDIRECTION eDirection, NA_WRITEPARSEFLAGS nFlags);
    // The COUNT of the query statement from the current record's value of
    // the browse item (the browse's own row when a browse is given).
    int _bGetNbEnrRelative(CNAStatement* pclStatement, CNAStatement* pclQuery, long* pllCount, unsigned nOptions,
                           eNA_PARSEDIRECTION eDirection);

    // --- User queries.
    // The text run as an internal query (sent as written, no caches); the
    // statement that holds its result, with one reference, or null.
    int bExecuteQueryInternal(CNAStatement** ppclStatement, const wchar_t* pszName, const wchar_t* pszText);
    int _bExecuteQuery(int* pbHasResult, const wchar_t* pszName, unsigned nMode, const wchar_t* pszText,
                       ISQLParserInformation* piQuery, const INAQueryExecution* piExecution);
    int _bInitQuery(CNACommand** ppclCommand, CTString* pcsItem, const wchar_t* pszName, unsigned nMode,
                    const wchar_t* pszText, ISQLParserInformation* piQuery, const INAQueryExecution* piExecution);
    int _bSetQuery(int bQuery, const wchar_t* pszName, ISQLParserInformation* piQuery, unsigned nMode);
    int _bExecuteQuery(CNAStatement** ppclStatement, CNACommand* pclCommand, const wchar_t* pszItem, int bPrepared,
                       unsigned nMode);
    int _bInitQueryParse(int* pbHasResult, CNAStatement* pclStatement, const wchar_t* pszItem, unsigned nMode);
    int _bInitParcoursRequete(CNAStatement* pclStatement);
    void _FreeQueryParserInfo();
    void _RAZPrepare() { m_dwQueryMode &= ~16u; }
    // A parsed form is held and its text equals the query's (case
    // ignored).
    int bSameQuery(ISQLParserInformation* piQuery) const;
    // The parsed form's kind of query as the driver reads it; 0 without.
    eNAQUERYTYPE eSourceQueryType() const;
    int bSourceIsQueryOnMultipleTables() const;
    // The host announces its next operation; 0 when the query's table
    // cache cannot serve a write.
    int bSetNextOperation(int eOperation);
    // The first value of a one-shot command run on the query statement.
    int _bGetRequestedValue(CAny* pclValue, CNACommand* pclCommand);

    // --- Statement registry. Every statement returned comes with one
    // reference for the caller.
    // Through the one-entry look-up cache; null when absent.
    CNAStatement* _pclFindStatement(const wchar_t* pszItem);
    // A new statement registered under the name; null on failure.
    CNAStatement* _pclInitStatement(const wchar_t* pszItem);
    // Found or made; it becomes the last statement (0x8000: the previous
    // one's active filter carried over).
    CNAStatement* _pclGetNewItemStatement(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                                          NA_WRITEPARSEFLAGS nFlags);
    CNAStatement* _pclGetLastStatement();
    // The default item's statement (the empty name), found or made.
    CNAStatement* _pclGetQueryStatement();
    int _bChangeStatementKey(const wchar_t* pszNew, const wchar_t* pszOld, CNAStatement* pclStatement);
    int _bKeepFilter(CNAStatement* pclFrom, CNAStatement* pclTo);
    // Forgets the last statement, releases every statement and the
    // auto-increment object.
    void _CloseAllStatement();
    // A statement closes its parse (the table cache filled from it goes).
    void ClosingStatement(CNAStatement* pclStatement);
    void _SetExecutionStatement(CNAStatement* pclStatement);
    // The data source's best parse item (with one external reference) and
    // its name; the default parse item: a query's first ORDER BY item, else
    // the best one.
    INAItemDescription* piGetBestParseItemDesc() const;
    const wchar_t* pszGetBestParseItemName() const;
    const wchar_t* _pszGetDefaultParseItem() const;
    unsigned nGetStatementCount() const { return m_tabStatement.dwGetNumElement(); }
    // The statement of the latest browse, whose row is the current record;
    // null before any.
    CNAStatement* pclGetLastStatementNoRef() const { return m_pclLastStatement; }

    // --- Reading.
    // Reads by record number (only 0, the current record): the query
    // statement reads the current record again from the database.
    int bMove(long llRecord, int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock);
    // The statement's SELECT built (bBuildSelect, the count maybe cut to fit
    // a row offset) and run; then its record cache as the flags ask.
    int _bOpenStatement(CNAStatement* pclStatement, const wchar_t* pszItem, int bForward, NA_WRITEPARSEFLAGS nFlags,
                        long* pllCount, eNA_ST_PREPARE ePrepare);
    // Whether a browse on the item may read in blocks of rows: never on a
    // floating-point item, always on a unique one; else only when the best
    // parse item is unique with no floating-point item before it.
    int _bEnableRecordLimit(const wchar_t* pszItem);
    // A query whose SELECT the application prepared itself; a query whose
    // text already limits its rows (not one sent as written).
    int bHPrepareRequeteCalled() const;
    int bQueryResultsetLimited();
    // Re-positioning of a parse on the record it stood on, then the move
    // from there.
    int _bUpdateParse(int bRestore, CNAStatement* pclStatement, int nFetchOption, eNA_PARSEDIRECTION eDirection,
                      long llCount);
    int bGoToOriginalRecord(int bRestore, CNAStatement* pclStatement, int nFetchOption,
                            eNA_PARSEDIRECTION eDirection, long llCount);
    // The original values become the current ones and the parse is opened
    // on them; on failure, with bRestore, or when the move ends out of the
    // result, both records get their values back (failure and out of range
    // also mark the statement for re-positioning again).
    int _bGoToOriginalRecord(int bRestore, CNAStatement* pclStatement, INAItemDescription* piItem,
                             int nFetchOption, eNA_PARSEDIRECTION eDirection, long llCount);
    // The parse opened by an internal search on the current record's values
    // of the item, then moved (count rows, or onto the record for current).
    int _bGoToCurrentRecord(CNAStatement* pclStatement, INAItemDescription* piItem, int nFetchOption,
                            eNA_PARSEDIRECTION eDirection, long llCount);
    // The move among rows with an equal key, from the count of such rows;
    // 0 when they cannot be counted.
    int _bGotoCurrentRecord_DuplicateProcess(int nRank, eNA_PARSEDIRECTION* peDirection, long* pllCount);
    // Restart after an error, for drivers that resume a parse: re-run from
    // the statement's row, moved in the direction unless current.
    int _bRelanceParcoursSurErreur(CNAStatement* pclStatement, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                                   eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, NA_WRITEPARSEFLAGS nFlags);
    // The statement found again on its row: in the table cache's index, or
    // by a re-positioning read.
    int _bUpdateCurrentParsePosition(int bRestore, CNAStatement* pclStatement);

    // --- Searches and filters the table forwards (no slot of their own).
    // An item never browsed (no statement) fails with user error 5.
    int bEvalHTrouve(const wchar_t* pszItem, int* pbFound, int* pbInside);
    int bHEndehors(const wchar_t* pszItem, int* pbOut);
    // The host's parsed condition as a filter on the item chosen for it
    // (written into the caller's buffer of 255 characters).
    int bHFiltre(ISQLParserInformation* piCondition, wchar_t* pszItem);
    // The latest filter active again; the item's open parse re-positioned.
    int bHActiveFiltre(const wchar_t* pszItem);
    // The item's filter switched off; never fails.
    int bHDesactiveFiltre(const wchar_t* pszItem);
    // The item whose browse serves the condition best, its name written into
    // the buffer (at most 254 characters and the terminator).
    int bFindBestItem(ISQLParserInformation* piCondition, wchar_t* pszItem);
    // The filter of the latest bHFiltre, held counted.
    void SetLatestFilter(CNAFilter* pclFilter);
    CNAFilter* pclGetLatestFilterNoRef() const { return m_pclLatestFilter; }
    // Every statement's filter switched off.
    void _DesactivateAllFilter();

    // --- Write path.
    int _bBuildAndExecuteQuery(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    int _bProcessError(CNACommand* pclCommand, CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                       NA_WRITEPARSEFLAGS nFlags);
    int _bUpdateRecordAfterInsert(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    void _NotifyOperation(eNAQUERYTYPE eKind, CNAStatement* pclStatement, NA_WRITEPARSEFLAGS nFlags,
                          CNARecordValue* pclRow);
    // Notification options: 1 (default) statements told even without a
    // table cache; 2 writes notify nothing.
    void SetNotificationOptions(int nOptions) { m_nNotificationOptions = nOptions; }
    // Every column but a composite key checks (and completes) its value in
    // the current record; 0 at the first that fails.
    int _bCheckAndCorrectQFRecordValues();

    // --- The item a failed write is about, named in the error object with
    // the data source's logical name (1 when one was found).
    // A unique item whose value in the current record is already in the
    // table, counted on a statement of its own: only the ones the failed
    // statement wrote (of its kind and flags), on a modification only the
    // modified ones; an item without a value is never the cause (a unique
    // index takes any number of NULLs). One external reference for the
    // caller, null when none.
    INAItemDescription* piGetDuplicateItem(int bInsert, CNAStatement* pclWritten, NA_WRITEPARSEFLAGS nFlags);
    int bIsDuplicateItem(int bInsert, CNAColumn* pclColumn, CNAStatement* pclStatement);
    // Whether a filter "=" on the record's value of the item selects a row.
    int __bDuplicateItem(INAItemDescription* piItem, CNAStatement* pclStatement);
    int _bInitErrorDuplicateItemName(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    // The first column, in order and before the composite keys, that the
    // failed statement wrote, that the database does not let be NULL and
    // that holds no value. Only written columns count: an identifier the
    // server numbers is not written and holds no value in a new record.
    INAItemDescription* piGetNullItemDesc(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    int _bInitErrorNeedItemValueItemName(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);

    // --- Auto-increment values, computed on the client.
    // The next value of the column (the record's automatic identifier) set
    // into it; 1 without such a column.
    int bSetNewAutoId(CNAColumn* pclColumn);
    // Made on first use (the driver's factory) and kept; returned with one
    // more reference. Null with the no-memory error when none can be made.
    CNAIDAuto* pclGetIDAuto();
    CNAIDAuto* pclGetIDAutoNoRef() const { return m_pclIDAuto; }

    // The full table cache, when one is built.
    CNATableCache* pclGetTableCacheNoRef() const { return m_pclTableCache; }

    // --- Browse re-positioning: the statement's parse run again from its
    // own original record, then moved in the direction.
    int bGoToStmtOriginalRecord(int bRestore, CNAStatement* pclStatement, int nFetchOption,
                                eNA_PARSEDIRECTION eDirection, long llCount);

    // --- Record saves. A missing cache (during destruction) is no error:
    // nothing is kept (-1) and counts change nothing.
    int nKeepCurrentRecordSave();
    int _nKeepRecordSave(const CNARecordValue* pclRow);
    int nKeepOriginalRecordSave(CNAStatement* pclStatement);
    void AddRefRecordSave(int nId);
    unsigned nReleaseRecordSave(int nId);
    int bCopySaveToRecord(int nId, CNARecordValue* pclRow);
    int bRestoreOriginalRecordSave(int nId);
    int bRecordDeleted(int nId);
    // The item's value in a record save; 0 when it cannot be read.
    int _bGetItemValueInRecordSave(CAny* pclValue, int nId, INAItemDescription* piItem);
    // A cache told of the update of the current record (its row as read
    // replaced by its new values); the row's index in the cache, or -1.
    int nUpdateRecordInCache(NA_WRITEPARSEFLAGS nFlags, CNARecordCache* pclCache);
    int bCopyOriginalRecordToCurrentRecord();
    CNARecordCachePosition* pclGetRecordSaveCacheNoRef() const { return m_pclRecordSaves; }
    int nGetCurrentRecordSaveID() const { return m_nCurrentRecordSaveID; }

    // Closes and releases what the data access holds of its data source.
    void _ResetDataAccess();
    void _ResetRecordCache();

protected:
    void _SetDataSource(INADataSourceDescription* piSource);
    void _InitAliasFichierColonne();
    int _bUpdateChangedTypeInCurrentRecord();
    int _bSupprimeTout_HSupprime();
    // Marks the cached row with the row's identity deleted; its index, or -1.
    static int _nSetRecordDeletedInCache(CNARecordCache* pclCache, const CNARecordValue* pclRow);
    // Every statement lets go of its table-cache index first, then the
    // table cache goes.
    void _FreeTableCache();
    // The memo's item (one external reference for the caller) and the
    // current record's column for it; 0 with user error 26 when either is
    // missing (nothing to release then).
    int _bGetMemoColumn(unsigned nMemo, INAItemDescription** ppiItem, CNAColumn** ppclColumn);
    // Frees every saved position (each statement lets go of it too).
    void _DeleteAllPosition();
    // The statement of the default item with the drop, then the creation.
    int _bDropAndCreate(CNAStatement* pclStatement, int bDrop, int bCreate, int bResult);

    // State, held as the operations above describe; a database driver's
    // data access adds none of its own.
    CNAError* m_pclError = nullptr;
    CNARecord* m_pclCurrentRecord = nullptr;
    CNAConnectionDescription* m_pclConnection = nullptr;
    INADataSourceDescription* m_piSource = nullptr;
    INADataSourceDescription* m_piSourceForQF = nullptr;
    CNADataSourceDescription* m_pclImported = nullptr;
    int32_t m_bOpened = 0;
    CRefStringHashTable<CNAStatement*, CNARefHooksOf<CNAStatement>> m_tabStatement{7};
    const wchar_t* m_pszLookupKey = nullptr;
    CNAStatement* m_pclLookupStatement = nullptr;
    int32_t m_eNextOperation = 0;
    CNAIDAuto* m_pclIDAuto = nullptr;
    CNAStatement* m_pclLastStatement = nullptr;
    CSQLParserInfo* m_pclSourceQuery = nullptr;
    uint32_t m_dwQueryMode = 0;
    CTString m_csTableCacheItemName;
    int32_t m_bQuery = 0;
    int32_t m_bCompatible = 0;
    int32_t m_nNotificationOptions = 1;
    int32_t m_nIndexMode = 2;
    CTString m_csDBTableName;
    _eNA_HMODE m_eAccessMode;
    CNATable* m_pclTable = nullptr;
    CNAContext* m_pclContext = nullptr;
    CNAFilter* m_pclLatestFilter = nullptr;
    CRefHashTable<int, CNAPosition*> m_tabPosition{7};
    CNARecordCachePosition* m_pclRecordSaves = nullptr;
    int32_t m_nCurrentRecordSaveID = -1;
    CNATableCache* m_pclTableCache = nullptr;
    int32_t m_bReadOnlyItem = 0;
    int32_t m_bReuseLastStatement = 0;
    CNAStatement* m_pclExecutionStatement = nullptr;
    CTString m_csAliasName;
    int32_t m_anReserved[3] = {0, 0, 0};
    // Whether the current record's columns take calculation kinds from their
    // items: 0 here, so every column is a plain one; a data access whose
    // source computes items turns it on.
    int32_t m_bColumnKinds = 0;

private:
    // The process-wide counter of generated index names.
    static inline uint32_t s_nIndexNameCounter = 0;
};
