#pragma once

// The statement of one parse item of a data access: the object that holds
// the SQL command of one browse, runs it through an execution statement on
// the data access's connection and walks its result, keeping the state the
// host's H-operations read afterwards (found, out of the result, current
// record number) and the parse-state machine every other operation leans on
// (the cause for updating the parse and the record save to come back to).
//
// The data access makes it through its statement factory and keeps one per
// parse item; the database driver's statement derives from it and replaces
// slots by position, so the virtual operations are declared once, here, in
// their order. Behaviour lives in files named after what it does:
// statement.cpp (life cycle, accessors), statement_holders.cpp (its search
// and filter), statement_execute.cpp (execution), statement_state.cpp (the
// parse-state machine, the statement original record and the row states),
// statement_query*.cpp (the SQL texts of reads, writes and table
// definitions), statement_fetch.cpp (moving through the result),
// statement_record_cache.cpp (the row cache),
// statement_table_cache.cpp (the parse served by a table-cache index),
// statement_position.cpp (saved positions), statement_count.cpp (record
// counts) and statement_notify.cpp (what a write of the data access changes
// in the statement's rows and positions).
//
// Counted through CInterf, plainly, under the driver-wide lock. It holds one
// reference on its error object, execution statement, command, current
// record, statement original record, best column, filter, search, record
// cache, table-cache index and each saved position, and one external
// reference on its data-source description; its data access owns it and is
// named without a reference.
#include <cstdint>
#include <string>

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "common/text/ref_array.h"
#include "common/text/ref_hash_table.h"
#include "common/text/tableau.h"
#include "native/access/position.h"
#include "native/access/user_search.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/sql/command.h"
#include "native/sql/filter_save.h"

class CNARecord;
class CNARecordValue;
class CNAConvertVariant;
class CNAFilter;
class CNARecherche;
class CNAStatementSQL;
class CNATableCacheIndex;
class CSQLParserInfo;
struct CTabValParser;

// Why the parse must be brought up to date before its next read.
enum ePARSENEEDUPDATECAUSE : int32_t
{
    NA_PNU_NONE = 0,
    // Run the query again.
    NA_PNU_REEXECUTE = 1,
    // Position again on the saved row.
    NA_PNU_REPOSITION = 2,
};

// How an execution prepares its statement; passed through unchanged.
enum eNA_ST_PREPARE : int32_t
{
    NA_ST_PREPARE_NONE = 0,
    NA_ST_PREPARE_UPDATE = 1,
};

// Browse directions of a parse (4 re-reads the current row).
namespace NADirection {
constexpr eNA_PARSEDIRECTION kFirst = static_cast<eNA_PARSEDIRECTION>(0);
constexpr eNA_PARSEDIRECTION kLast = static_cast<eNA_PARSEDIRECTION>(1);
constexpr eNA_PARSEDIRECTION kNext = static_cast<eNA_PARSEDIRECTION>(2);
constexpr eNA_PARSEDIRECTION kPrevious = static_cast<eNA_PARSEDIRECTION>(3);
constexpr eNA_PARSEDIRECTION kCurrent = static_cast<eNA_PARSEDIRECTION>(4);
}  // namespace NADirection

// Query kinds the statement writes besides those the command names.
constexpr eNAQUERYTYPE NA_QUERY_DELETEALL = static_cast<eNAQUERYTYPE>(5);
constexpr eNAQUERYTYPE NA_QUERY_CREATE = NA_QUERY_KIND6;
constexpr eNAQUERYTYPE NA_QUERY_DROPTABLE = NA_QUERY_KIND9;

// Flags of a read or write (NA_WRITEPARSEFLAGS) that the statement tests.
namespace NAParseFlag {
constexpr unsigned kWriteAutoIdAsHeld = 0x100;
constexpr unsigned kWriteNewAutoId = 0x200;
constexpr unsigned kWriteAutoIdAsHeld2 = 0x400;
constexpr unsigned kDistinct = 0x800;
constexpr unsigned kContinueLastQuery = 0x4000;
constexpr unsigned kNoRecordCache = 0x10000;
constexpr unsigned kQueryOrder = 0x20000;
constexpr unsigned kForwardOnly = 0x100000;
}  // namespace NAParseFlag

// An object the statement owns and deletes; nothing in the statement sets
// it.
class CNAStatementExtra
{
public:
    virtual ~CNAStatementExtra() = default;
};

class CNAStatement : public CInterf
{
public:
    using CColumnArray = CNARefArray<CNAColumn>;

    // One reference on the error object (which may be null), the data
    // access's description (external) and current record; the execution
    // statement made for the data access's connection (a failure is
    // reported on the error object and leaves none).
    CNAStatement(CNADataAccess* pclDataAccess, CNAError* pclError);

    // Slots 0-1. Slot 2 is CInterf's.
    ~CNAStatement() override;
    // Close, then no row available and the command released.
    virtual void ResetQuery();                                                                         // 3
    virtual void Close();                                                                              // 4
    virtual int bExecute(NA_WRITEPARSEFLAGS nFlags, eNA_ST_PREPARE ePrepare);                                    // 5
    virtual int bExecuteDirectNewCommand(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);                     // 6
    // Formats and runs the command.
    virtual int bExecuteDirect(NA_WRITEPARSEFLAGS nFlags);                                                       // 7
    // Runs, reads the first row's count values, closes in every case.
    virtual int bExecuteAndFetch(CAny* pclValues, int nCount, eNA_ST_PREPARE ePrepare);               // 8
    virtual int bGetRequestedValue(CAny* pclValue);                                                    // 9
    virtual int bGetResultValue(CAny* pclValue, unsigned nColumn);                                     // 10
    // Column n of the execution statement's current row into the value; 0
    // without an execution statement, or with its error copied here when
    // the value cannot be read.
    virtual int bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn);                    // 11
    virtual int bGetSQLColumnValue(CAny* pclValue, unsigned nColumn);                                  // 12
    virtual int bBuildQuerySELECT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem,
                                  int bKeepOrder, CNACommand* pclWhere);                               // 13
    virtual int bGetClauseWHERE(CNACommand* pclCommand);                                               // 14
    virtual int bBuildQueryCREATE(CNACommand* pclCommand);                                             // 15
    virtual int bHAjoute(NA_WRITEPARSEFLAGS nFlags);                                                             // 16
    virtual int bBuildQueryINSERT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);                            // 17
    virtual int bHModifie(NA_WRITEPARSEFLAGS nFlags);                                                            // 18
    virtual int bBuildQueryUPDATE(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);                            // 19
    virtual int bHSupprime(NA_WRITEPARSEFLAGS nFlags);                                                           // 20
    virtual int bBuildQueryDELETE(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);                            // 21
    // Another statement of the data access wrote a row.
    virtual int OnNotifyOperation(eNAQUERYTYPE eKind, long nRow, CNAStatement* pclSource, NA_WRITEPARSEFLAGS nFlags,
                                  CNARecordValue* pclPreviousRow);                                     // 22
    virtual int bUpdateRecordAfterInsert(eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);                         // 23
    virtual int bUpdateRecordAfterUpdate(eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);                         // 24
    virtual int bSetLockType(eNA_LOCKTYPE eLock);                                                      // 25
    virtual int bCanFetchBackward();                                                                   // 26
    virtual int bGetNbEnr(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bNoCondition);                           // 27
    virtual int bGetNbEnrCurrentParse(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bWithoutFilter);            // 28
    virtual int bGetBLOB(const wchar_t* pszItem, CAny* pclValue);                                     // 29
    virtual int bExtraitMemo(const wchar_t* pszItem, const wchar_t* pszFile);                         // 30
    virtual int bGetPosition(CNAPosition* pclPosition, eNAPOSITION eMode);                             // 31
    virtual int bSetPosition(CNAPosition* pclPosition, eNAPOSITION eMode);                             // 32
    virtual void DesactivateRecherche();                                                               // 33
    // A new search (a filter) for the error object and the data access's
    // connection, without reference; null when none can be made.
    virtual CNARecherche* pclAllocRecherche();                                                         // 34
    virtual CNAFilter* pclAllocFilter();                                                               // 35
    virtual int bDefaultParseNeedRecordCache();                                                        // 36
    virtual int _bGetQueryStructure(CNADataSourceDescription* pclDescription, int bAlreadyDone);       // 37
    virtual int _bPrepare(NA_WRITEPARSEFLAGS nFlags);                                                            // 38
    virtual int _bExecutePreparedQuery(NA_WRITEPARSEFLAGS nFlags);                                               // 39
    virtual int _vbGetQueryResult(CAny* pclValues, int nCount);                                        // 40
    virtual int _bGetNativeDataType(CNAColumn* pclColumn, CTString* pcsType);                          // 41
    virtual int _bGetNativeConstraint(CNAColumn* pclColumn, CTString* pcsConstraint);                  // 42
    virtual void _FormatItemORDERBY(CNAColumn* pclColumn, CSQLParserInfo* pclQuery, int bPlainNames,
                                    CTString* pcsText, int* pnDirection);                              // 43
    virtual int _bAddClauseReturning(eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);                             // 44
    virtual int _bAddColumnValue(CNACommand* pclCommand, CNAColumn* pclColumn, eNAQUERYTYPE eKind,
                                 NA_WRITEPARSEFLAGS nFlags);                                                     // 45
    virtual int _bFetch(eNA_PARSEDIRECTION eDirection, int bUpdate, int* pbOut, long nCount,
                        long* pnRemaining);                                                            // 46
    virtual int _bBuildQueryCOUNT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags, int bNoCondition);          // 47
    virtual int _bUpdateNARecord(eNA_PARSEDIRECTION eDirection);                                       // 48
    virtual int _bUpdateNARecordFromDB();                                                              // 49
    virtual int _bSetPositionParametersEx(CNAPosition* pclPosition);                                   // 50
    virtual int _bGoToRowId(long nRow, CNAPosition* pclPosition);                                      // 51
    virtual int _RestaureRecordFromCache(long nRow);                                                   // 52
    virtual void _SetBestCacheMethod();                                                                // 53
    virtual int _bCreateTableCacheIndex();                                                             // 54
    // The cache once it holds every row (the rows left read first), null
    // when it cannot; a full table cache is built from it. The last slot, so
    // that the ones before keep their positions.
    virtual CNARecordCache* pclGetFullRecordCache();                                                   // 55

    // --- Accessors.
    // 1 with a table-cache index; else the command's kind, 1 without one.
    eNAQUERYTYPE eGetQueryType() const;
    int bInvertFetch() const;
    // The bind/define flag of the command; 0 without command.
    int nGetBindDefineFlag() const;
    CNAConnectionDescription* pclGetConnectionNoRef() const;
    const wchar_t* pszGetTableName() const;
    long nGetCurrentRecord() const { return m_llCurrentRecord; }
    uint64_t nGetRowMaxLen() const;
    ePARSENEEDUPDATECAUSE eParseNeedUpdate() const { return m_eParseNeedUpdate; }
    int nGetRecordSaveID() const { return m_nRecordSaveID; }
    void EvalHTrouve(int* pbFound, int* pbInside) const;
    void HEndehors(int* pbOut) const { *pbOut = m_bHEndehors; }
    void _SetHTrouve(int bFound) { m_bHTrouve = bFound; }
    void _SetHEndehors(int bOut) { m_bHEndehors = bOut; }
    void _SetCurrentRecord(long nRecord);
    int bCacheEnabled() const;
    int bCacheCompleted() const;
    void PrepareInternalSearch() { m_bInternalSearch = 1; }
    // Resets the execution statement (and the row states); 1 without one.
    int ResetStatement();
    CNARecord* pclGetCurrentRecordNoRef() const { return m_pclCurrentRecord; }
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAStatementSQL* pclGetStatementSQLNoRef() const { return m_pclStatementSQL; }
    CNACommand* pclGetCommandNoRef() const { return m_pclCommand; }
    INADataSourceDescription* piGetDataSourceNoRef() const { return m_piDataSource; }
    const wchar_t* pszGetParseItemName() const { return m_csParseItemName.pszGet(); }
    void SetParseItemName(const wchar_t* pszName) { m_csParseItemName.Set(pszName); }
    const wchar_t* pszGetSearchItemName() const { return m_csSearchItemName.pszGet(); }
    void SetSearchItemName(const wchar_t* pszName) { m_csSearchItemName.Set(pszName); }
    NA_WRITEPARSEFLAGS nGetParseFlags() const { return m_nParseFlags; }
    void SetParseFlags(NA_WRITEPARSEFLAGS nFlags) { m_nParseFlags = nFlags; }
    unsigned nGetSortOptions() const { return m_nSortOptions; }
    void SetSortOptions(unsigned nOptions) { m_nSortOptions = nOptions; }
    eNA_LOCKTYPE eGetLockType() const { return m_eLockType; }
    int bParseStarted() const { return m_bParseStarted; }
    // Parse started, the active filter saved.
    void SetParseStarted();
    int bRowAvailable() const { return m_bRowAvailable; }
    // Whether the current record could not be found again.
    int bRecordLost() const { return m_bRecordLost; }
    void SetRecordLost(int bLost) { m_bRecordLost = bLost; }
    // Whether the filter in force differs from the one saved when the parse
    // started.
    int bFilterChanged() const { return !m_clSavedFilter.bFilterEquals(m_pclFilter); }
    int nGetEqualRank() const { return m_nEqualRank; }
    int bCurrentRecordDeleted() const { return m_bCurrentRecordDeleted; }
    int64_t llGetBlockRowLimit() const { return m_llBlockRowLimit; }
    int bBlockStartsAtFirstRow() const { return m_bBlockStartsAtFirstRow; }
    int bFetchingNextBlock() const { return m_bFetchingNextBlock; }
    int nGetDeletedRows() const { return m_nDeletedRows; }
    // The row state of result row n (-1 none, -2 deleted, else a record
    // save); -1 outside the rows or without row states.
    int nGetRowState(long nRow) const;
    CNATableCacheIndex* pclGetTableCacheIndexNoRef() const { return m_pclTableCacheIndex; }
    // The parse lets go of the table cache: its column index and its record
    // cache go, the saved positions lose their row ids, and a started parse
    // re-finds its row (or is lost) at its next move.
    void DestroyCacheIndex();
    CNAColumn* pclGetBestColumnNoRef() const { return m_pclBestColumn; }

    // Releases the held description (external) and keeps this one.
    void SetDataSource(INADataSourceDescription* piSource);
    // Releases the held record and keeps this one with a reference.
    void SetCurrentRecord(CNARecord* pclRecord);
    // Releases the held execution statement and keeps this one with a
    // reference.
    void SetStatementSQL(CNAStatementSQL* pclStatementSQL);
    // A null command resets the query; another is referenced before the
    // reset releases the former one (it may be the same) and then kept.
    void _SetQuery(CNACommand* pclCommand);
    // _SetQuery, then, unless flag 0x2 is set, _bPrepare.
    int bPrepare(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);
    // Slot 37 with the description not yet filled; a command of kind 0 then
    // takes 1 (items) or 8 (none).
    int bGetQueryStructure(CNADataSourceDescription* pclDescription);
    // Runs the prepared command (parameters refreshed from the host when
    // asked).
    int bExecutePreparedQuery(NA_WRITEPARSEFLAGS nFlags, int bRefreshParameters);
    int _bAllocStatementSQL();
    int _bResetStatementSQL();

    // --- Search and filter holders.
    // The search (made on first use) with a reference for the caller; null
    // when none can be made.
    CNARecherche* pclGetRecherche();
    int bExistRechercheObject() const;
    CNAFilter* _pclGetFilter();
    // The filter with a reference for the caller, or null.
    CNAFilter* pclGetFilter() const;
    CNAFilter* pclGetFilterNoRef() const { return m_pclFilter; }
    int bExistFilter() const;
    CNAFilter* pclActivateFilter();
    void DesactivateFilter();
    void _SetFilter(CNAFilter* pclFilter);
    void _SetFilter(CNAFilterSave* pclSave);
    void _SetRecherche(CNARecherche* pclRecherche);
    void _SetRecordCache(CNARecordCache* pclCache);
    void AnnuleRecherche();
    void AnnuleRechercheUser();
    void DesactivateRechercheUserAndInternal();
    int bSetContinueParcours(eNA_PARSEDIRECTION eDirection);
    // The filter on the item with its bounds (and the host's condition).
    int bSetFilter(const wchar_t* pszItem, const CAny* pclMin, int bMinIncluded, const CAny* pclMax,
                   int bMaxIncluded, ISQLParserInformation* piCondition);
    int _bSetRecherche(INAItemDescription* piItem, const CAny* pclValue, eNA_PARSEDIRECTION eDirection,
                       int bExact);
    int bSetUserSearch(const wchar_t* pszItem, const CAny* pclValue, eNA_PARSEDIRECTION eDirection, int bExact);
    const CNAUserSearch& clGetUserSearch() const { return m_clUserSearch; }
    CNAUserSearch* pclGetUserSearch() { return &m_clUserSearch; }
    // The user search's value, null when there is none.
    const CAny* pclGetSearchValueNoRef() const;

    // --- Parse-state machine and row states.
    int bSetParseNeedUpdate(ePARSENEEDUPDATECAUSE eCause, int nRecordSaveID);
    int bSetParseNeedUpdate(ePARSENEEDUPDATECAUSE eCause);
    // The row's new values kept as a record save (referenced, a former one
    // released); row -1 is the execution statement's current row. Rows
    // outside the result are ignored.
    int bKeepModifiedRecordSave(long nRow, int nRecordSaveID);
    int bSaveDeletedRecord(long nRow);
    int _bAllocRecordSaveTab();
    void _FreeRecordSaveTab();

    // --- Statement original record.
    // Made on demand (filled from the held record save when there is one);
    // without a reference for the caller.
    CNARecordValue* pclGetStmtOriginalRecord();
    CNARecordValue* pclGetStmtOriginalRecordNoRef() const { return m_pclStmtOriginalRecord; }
    int bEqualStmtOriginalRecordId(const CNARecordId* pclId);
    int bSetStmtOriginalRecord(eNA_PARSEDIRECTION eDirection);
    int bUpdateChangedTypeInCurrentRecord();
    int bCopyOriginalRecordToCurrentRecord();
    int _bRestaureOriginalRecord();

    // --- Row cache.
    // On: the cache made when absent and enabled. Off: a cache shared with
    // another holder is let go, an own one emptied and disabled.
    void EnableCache(int bOn);
    void EmptyCache();
    CNARecordCache* pclGetRecordCacheNoRef() const { return m_pclRecordCache; }
    // The execution statement's next row; its error copied here on failure.
    int _bFetchSQL();

    // --- Fetch. Counts are rows to move over; the remaining-rows counter
    // receives the live rows actually moved over (the count when the move
    // stayed inside the result).
    // The browse step: mirrored for a reversed sort, the parse brought up
    // to date, the row read (and made the record as read when asked).
    int bFetch(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining);
    // The execution statement moved by a step from a row; out when the
    // target lies outside the result (then nothing moves).
    int _bMove(long nFrom, long nStep, int* pbOut, long* pnRemaining);
    // The raw step that passes as many live rows as the step asks
    // (rows marked deleted are walked over).
    long _llUpdateStep(long nFrom, long nStep, int* pbOut, long* pnRemaining);
    int _bFetchCacheEnabled(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining, int* pbOut);
    int _bFetchCacheDisabled(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining,
                             int* pbOut);
    int _bFetchAndCache(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining, int* pbOut);
    // The rows after the current block, through the data access's browse.
    int _bFetchNextBloc(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining, int* pbOut);
    // _bFetchNextBloc after a move that ran out of the current block: 0
    // only when the next block could not be read and an error says why.
    int _bGoOnInNextBlock(eNA_PARSEDIRECTION eDirection, int bUpdate, long nCount, long* pnRemaining, int* pbOut);
    int _bSetColumnValueFromDB(CNAColumn* pclColumn);
    // The row last read, read again from the database.
    int bMove(long nCount, int bUpdate);
    // A fetch, then the first columns' current values.
    int bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CAny* pclValues, int nCount);
    // Record lost, out, not found; user error 13 at the caller's site.
    void CurrentRecordNotFound(const wchar_t* pszItem, unsigned nFile, int nSite);

    // --- Record cache and table cache.
    // The parse's remaining rows read into the record cache through the
    // data access's browse.
    int _bCompleteCache();
    // The saved row found again in the record cache (read on when needed).
    int bUpdateParsePositionInRecordCache();
    int bIndexCache();
    int bCanUpdateParse();
    int bOpenUsingTableCache();
    int bUpdateParsePositionInCacheIndex(int* pbFound);

    // --- Saved positions. A position is re-established by its row while
    // that row is known and alive, else by search on its record save.
    void _InvalidatePositionRowIds();
    int bSetPositionInitParcours(CNAPosition* pclPosition, eNAPOSITION eMode);
    int _bSetPositionBySearch(CNAPosition* pclPosition);
    // The position saved under the number, with a reference; null when
    // absent.
    CNAPosition* pclGetSavedPosition(int nId);
    int bAddSavedPosition(int nId, CNAPosition* pclPosition);
    int bRemoveSavedPosition(int nId);
    // The row of that identity is gone from the record cache: the current
    // row and the positions on it are marked deleted.
    void _UpdateSavedPositionAfterDelete(const CNARecordId* pclId);

    // --- Counts and relative position.
    // Every row of the parse read once (no COUNT on this connection).
    int _bGetNbEnr_NoSubQuery(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bNoCondition);
    // Per mille of the current row in the parse, rounded up.
    int bHPositionCourante(int* pnPosition, eNA_PRECISION ePrecision);
    // Moves to the row at that per mille of the parse (0: the first).
    int bHPositionne(unsigned nPosition, eNA_PRECISION ePrecision, NA_WRITEPARSEFLAGS nFlags);

    // --- Writes through the data access, told to this statement's caches.
    void OnNotifyInsertOperation(long nRow, NA_WRITEPARSEFLAGS nFlags);
    void OnNotifyUpdateOperation(long nRow, NA_WRITEPARSEFLAGS nFlags);
    void OnNotifyDeleteOperation(long nRow, NA_WRITEPARSEFLAGS nFlags);

    // --- Query building.
    int bBuildQuery(eNAQUERYTYPE eKind, CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);
    int bBuildQueryDELETEALL(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags);
    int bBuildQueryDROPTABLE(CNACommand* pclCommand);
    int _bBuildQuerySELECTFromTable(NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem, int bKeepOrder,
                                    CNACommand* pclWhere, int bAddOrderBy);
    int _bBuildQuerySELECTFromTable(const wchar_t* pszTable, NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem,
                                    int bKeepOrder, CNACommand* pclWhere, int bAddOrderBy);
    int _bBuildQuerySELECTFromQuery(CSQLParserInfo* pclQuery, NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem,
                                    int bKeepOrder, CNACommand* pclWhere, int bAddOrderBy, int bAsSubQuery);
    int _bBuildQueryInsertUpdate(CNACommand* pclCommand, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    int _bBuildQueryStart(CNACommand* pclCommand, eNAQUERYTYPE eKind);
    // The columns to write: their names into the list, their values (and
    // for an UPDATE their names) into the values command.
    int _bBuildColumnList(std::wstring* pcsColumns, CNACommand* pclValues, eNAQUERYTYPE eKind,
                          NA_WRITEPARSEFLAGS nFlags, int* pnWritten);
    int _bNeedToUpdate(CNAColumn* pclColumn, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags);
    // The condition on the row as last read (its row id, or its values).
    int _bAddWHERELatestRead(CNACommand* pclCommand, int bAddWhere, const CColumnArray* pclColumns);
    int _bAddWHERECurrentRecord(CNACommand* pclCommand, int bAddWhere, const CColumnArray* pclColumns);
    int _bAddDistinct(NA_WRITEPARSEFLAGS nFlags);
    int _bCloseSubQuery();
    int _bFormatOrderBy(const wchar_t* pszTable, CSQLParserInfo* pclQuery, NA_WRITEPARSEFLAGS nFlags,
                        const wchar_t* pszOrderItem, int bKeepOrder, int bPlainNames);
    int _FormatORDERBYList(CNAColumn* pclColumn, int bKeepOrder, CSQLParserInfo* pclQuery, int bPlainNames,
                           NA_WRITEPARSEFLAGS nFlags);
    void _AddItemInORDERBYList(int* pbUniqueReached, CColumnArray* pclColumns, CTTableau<int>* ptabDirections,
                               CNAColumn* pclColumn, int nDirection);
    int _bComposedKeyUniqueNotNullAdded(const CColumnArray* pclColumns);
    int _bBuildSubQueryCREATEColumn(CNAColumn* pclColumn, CTString* pcsText);
    static int bQueryCREATE_AutoCorrectVarcharMax(CTString* pcsOut, const wchar_t* pszStatement,
                                                   const wchar_t* pszTypeName, long nMaximum,
                                                   const wchar_t* pszReplacement);

    // Adds the command's dump as the first debug message of the error
    // object.
    void _DumpQuery(CNACommand* pclCommand);

protected:
    // Execution proper (bExecute's body).
    int _bExecute(NA_WRITEPARSEFLAGS nFlags, eNA_ST_PREPARE ePrepare);
    // The held record save replaced by this one (referenced first; the
    // former one given back to the data access).
    void _SwapRecordSave(int nRecordSaveID);
    // The data access's logical name ("" without data access).
    const wchar_t* _pszLogicalName() const;
    // The table's name as SQL writes it, and whether the source is a query.
    const wchar_t* _pszSQLTableName() const;
    int _bQuerySource() const;
    // One column of a write: its name into the list, its value into the
    // values command.
    int _bAddColumnToList(std::wstring* pcsColumns, CNACommand* pclValues, CNAColumn* pclColumn, eNAQUERYTYPE eKind,
                          NA_WRITEPARSEFLAGS nFlags, int bQuery, int* pnWritten);
    // The saved row sought in the table-cache index (made when missing);
    // past the end: the index stands on the last row, which comes before
    // the row sought.
    int _bRefindInCacheIndex(int* pbFound, int* pbPastEnd);
    // Whether a move that ended out of the result goes on in a
    // continuation block: the result filled the block row limit (and no
    // complete cache holds every row), or a block that did not start at the
    // first row is read backwards. Never while a block is being fetched.
    int _bContinuesInNextBlock(eNA_PARSEDIRECTION eDirection) const;
    // The execution statement's error joins the statement's when it keeps
    // one of its own.
    void _CopyStatementSQLError();
    // Frees the row states' saves and the array (the deleted-row count 0).
    void _ReleaseRowStates();
    // The row states made when missing (one per result row, all -1); 0 when
    // there is no row or memory runs out.
    int _bEnsureRowStates();

    CNAError* m_pclError;                                        // 1
    CNAStatementExtra* m_pclExtra = nullptr;                     // 2
    CNAStatementSQL* m_pclStatementSQL = nullptr;                // 3
    uint32_t m_nSortOptions = 3;                                 // 4
    CNADataAccess* m_pclDataAccess;                              // 5
    INADataSourceDescription* m_piDataSource = nullptr;          // 6
    CTString m_csSearchItemName;                                 // 7
    CTString m_csParseItemName;                                  // 8
    int32_t m_nWord9 = 0;                                        // 9
    int32_t m_nWord10 = 0;                                       // 10
    int32_t m_nWord11 = 0;                                       // 11
    CNACommand* m_pclCommand = nullptr;                          // 12
    CNARecord* m_pclCurrentRecord = nullptr;                     // 13
    CNARecordValue* m_pclStmtOriginalRecord = nullptr;           // 14
    eNA_LOCKTYPE m_eLockType = static_cast<eNA_LOCKTYPE>(1);     // 15
    int32_t m_bHEndehors = 1;                                    // 16
    int32_t m_bFound = 0;                                        // 17
    int32_t m_bHTrouve = 0;                                      // 18
    int32_t m_bParseStarted = 0;                                 // 19
    int32_t m_bRecordLost = 0;                                   // 20
    eNA_PARSEDIRECTION m_eLastDirection = NADirection::kFirst;           // 21
    int64_t m_llCurrentRecord = -1;                              // 22
    int32_t m_nRecordSaveID = -1;                                // 23
    ePARSENEEDUPDATECAUSE m_eParseNeedUpdate = NA_PNU_NONE;      // 24
    // Kept as wide as the command's row limit it is compared with.
    int64_t m_llBlockRowLimit = -1;                              // 25
    int32_t m_bBlockStartsAtFirstRow = 1;                        // 26
    int32_t m_bFetchingNextBlock = 0;                            // 27
    int64_t m_llBlockOffset = 0;                                 // 28
    int32_t m_nEqualRank = 0;                                    // 29
    int32_t m_bCurrentRecordDeleted = 0;                         // 30
    CNAColumn* m_pclBestColumn = nullptr;                        // 31
    NA_WRITEPARSEFLAGS m_nParseFlags = 0;                                  // 32
    int32_t m_bRestoredByPosition = 0;                           // 33
    int32_t m_bRowAvailable = 0;                                 // 34
    CNAFilter* m_pclFilter = nullptr;                            // 35
    CNAFilterSave m_clSavedFilter;                               // 36
    CNAUserSearch m_clUserSearch;                                // 37
    CNARecherche* m_pclRecherche = nullptr;                      // 38
    int32_t m_bInternalSearch = 0;                               // 39
    CRefHashTable<int, CNAPosition*> m_tabSavedPositions{7};     // 40
    CNARecordCache* m_pclRecordCache = nullptr;                  // 41
    CNATableCacheIndex* m_pclTableCacheIndex = nullptr;          // 42
    int32_t* m_tabRowStates = nullptr;                           // 43
    int32_t m_nDeletedRows = 0;                                  // 44
    // The number of entries of the row states (the result's row count when
    // they were made).
    int64_t m_llRowStateCount = 0;
    // How many rows equal to it stand before the row a table-cache index
    // gave last (its equal rank).
    int32_t m_nIndexDuplicate = 0;
};
