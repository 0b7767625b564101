#pragma once

#include "native/driver/na_error.h"

// Where the driver raises its errors. Every source of the driver has a
// number and numbers its error sites; the debug line of an error names both
// ("IEZODIRA=<source>.<site>"), so a report leads back to the code. A site
// raises one user error of the module's error table with one error type.
//
// Numbers are never reused: a site that goes away leaves its number unused.

enum eNA_ERRORSOURCE : int
{
    NA_SRC_CONNECTION = 1,          // connection description and its dialect
    NA_SRC_TRANSACTION = 2,
    NA_SRC_DATAACCESS = 3,
    NA_SRC_STATEMENT = 4,
    NA_SRC_DRIVER = 5,
    NA_SRC_TABLE = 6,
    NA_SRC_VARIANT = 7,             // value conversion
    NA_SRC_DATASOURCE = 8,          // data-source description
    NA_SRC_LOADER = 9,              // client-library loader
    NA_SRC_COMMAND = 10,            // SQL command
    NA_SRC_RECORD = 11,
    NA_SRC_VALUE_CONVERSION = 12,   // a value that cannot be cast to its holder's type
    NA_SRC_EXPRESSION = 14,
    // The auto-increment values raise under the same number; their site
    // 14.1 raises user error 59, the expression's 14.1 user error 12.
    NA_SRC_IDAUTO = 14,
    NA_SRC_STATEMENTSQL = 50,       // SQL execution statement
    NA_SRC_DRIVERSQL = 51,          // handle-based SQL interface
    // The concrete database driver's own sources.
    NA_SRC_DB_STATEMENTSQL = 100,
    NA_SRC_DB_CONNECTION = 101,
    NA_SRC_DB_DRIVER = 103,
    NA_SRC_DB_STATEMENT = 105,
};

struct stNAErrorSite
{
    eNA_ERRORSOURCE nSource;
    int nSite;
    unsigned nUserCode;
    eNA_ERRORTYPE eType;
};

// The sites of the driver's entry, connections, transactions, descriptions
// and execution statements. The comment gives the arguments of the user
// error, in order.
namespace NASite {
inline constexpr stNAErrorSite kCommitWithoutTransaction{NA_SRC_CONNECTION, 1, 9, NA_ERR_GENERAL};    // name
inline constexpr stNAErrorSite kRollBackWithoutTransaction{NA_SRC_CONNECTION, 2, 9, NA_ERR_GENERAL};  // name
inline constexpr stNAErrorSite kDiagnoseNotAvailable{NA_SRC_CONNECTION, 3, 8, NA_ERR_NOT_AVAILABLE};
// An invalid text of a literal: a date or a date-time (1.8), a time (1.9).
inline constexpr stNAErrorSite kInvalidDateLiteral{NA_SRC_CONNECTION, 8, 43, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kInvalidDateTimeLiteral{NA_SRC_CONNECTION, 9, 43, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kOtherClientLibraryLoaded{NA_SRC_CONNECTION, 17, 74, NA_ERR_GENERAL};
// An item type the connection's type map has no SQL type for.
inline constexpr stNAErrorSite kNoMatchingSQLType{NA_SRC_CONNECTION, 20, 46, NA_ERR_GENERAL};
// Name given, name of the inner transaction still active.
inline constexpr stNAErrorSite kCommitOuterWhileInnerActive{NA_SRC_TRANSACTION, 1, 10, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kRollBackUnknownName{NA_SRC_TRANSACTION, 2, 9, NA_ERR_GENERAL};        // name
// A commit of a transaction the server rolled back on its own (2.3), or
// ended with a failed statement that may have committed it first (2.4): the
// server, the server's error code and text that ended it.
inline constexpr stNAErrorSite kCommitRolledBackByServer{NA_SRC_TRANSACTION, 3, 84, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kCommitEndedByServer{NA_SRC_TRANSACTION, 4, 85, NA_ERR_GENERAL};
// A commit while the session was lost inside a transaction the host began in
// its SQL text: the server, the error code and text that lost the session.
inline constexpr stNAErrorSite kCommitSessionTransactionLost{NA_SRC_CONNECTION, 21, 93, NA_ERR_GENERAL};
// The same transaction rolled back by the server on a live session (84), or
// ended with a failed statement that may have committed it first (85): its
// commit (1.22, 1.23), and a begin, whose BEGIN would commit what the
// server holds since (1.24 to 1.26, the last for a lost session).
inline constexpr stNAErrorSite kCommitTextRolledBack{NA_SRC_CONNECTION, 22, 84, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kCommitTextEnded{NA_SRC_CONNECTION, 23, 85, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kBeginTextRolledBack{NA_SRC_CONNECTION, 24, 84, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kBeginTextEnded{NA_SRC_CONNECTION, 25, 85, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kBeginSessionTransactionLost{NA_SRC_CONNECTION, 26, 93, NA_ERR_GENERAL};
// Each with the name of the host's connection record.
inline constexpr stNAErrorSite kTableLockUnknownConnection{NA_SRC_DRIVER, 1, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kQueryLockUnknownConnection{NA_SRC_DRIVER, 2, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kDiagnoseUnknownConnection{NA_SRC_DRIVER, 3, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kCommitUnknownConnection{NA_SRC_DRIVER, 4, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kRollBackUnknownConnection{NA_SRC_DRIVER, 5, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kProviderListNotAvailable{NA_SRC_DRIVER, 6, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kFilterAutoNotAvailable{NA_SRC_DRIVER, 7, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kQueryLockOutsideTransaction{NA_SRC_DRIVERSQL, 2, 29, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kTableLockOutsideTransaction{NA_SRC_DRIVERSQL, 3, 29, NA_ERR_GENERAL};
// This description's name, the missing item's name.
inline constexpr stNAErrorSite kDescriptionIncompatible{NA_SRC_DATASOURCE, 1, 20, NA_ERR_GENERAL};
// The database table name, the item's name.
inline constexpr stNAErrorSite kNoCorrespondingItem{NA_SRC_DATASOURCE, 2, 26, NA_ERR_GENERAL};
// The description's name.
inline constexpr stNAErrorSite kNoItemFromDatabase{NA_SRC_DATASOURCE, 3, 30, NA_ERR_GENERAL};
// A value that cannot be converted: its runtime type code, the holder's item
// type and the value's text.
inline constexpr stNAErrorSite kConversionFailed{NA_SRC_VALUE_CONVERSION, 3, 53, NA_ERR_GENERAL};
// Files of memo values, each with the path: opening for reading, reading,
// opening for writing, writing; and the scratch buffer of a load.
inline constexpr stNAErrorSite kValueFileOpenRead{NA_SRC_VARIANT, 2, 15, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kValueFileRead{NA_SRC_VARIANT, 3, 15, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kValueFileOpenWrite{NA_SRC_VARIANT, 5, 15, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kValueFileWrite{NA_SRC_VARIANT, 6, 15, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kValueFileScratch{NA_SRC_VARIANT, 4, 12, NA_ERR_GENERAL};
// The sites of source 7 whose error is the out-of-memory error itself: a
// value's own buffer, and a file content too large to hold.
inline constexpr int kVariantBufferNoMemory = 1;
inline constexpr int kVariantFileNoMemory = 7;
// The driver's variant factory out of memory (source 5).
inline constexpr int kDriverVariantNoMemory = 20;
// A description without items for a record (the logical name as the table
// name only).
inline constexpr stNAErrorSite kRecordWithoutItems{NA_SRC_RECORD, 1, 1, NA_ERR_GENERAL};
// A component of a composite key that has no column in the record: the
// table name, the component's name.
inline constexpr stNAErrorSite kComponentWithoutColumn{NA_SRC_RECORD, 2, 26, NA_ERR_GENERAL};
// Source 11's out-of-memory sites: the value of a composite key, the row
// buffers of a record.
inline constexpr int kComposedKeyNoMemory = 3;
inline constexpr int kRecordNoMemory = 4;
// A row value out of memory (source 11, the record's), by what it could not
// make: an identity, a record buffer, a memo set, a memo value, a whole row.
inline constexpr int kRowValueIdNoMemory = 50;
inline constexpr int kRowValueRecordNoMemory = 51;
inline constexpr int kRowValueMemoSetNoMemory = 52;
inline constexpr int kRowValueMemoNoMemory = 53;
inline constexpr int kRowValueCloneNoMemory = 54;
// The column asked for and the number of columns.
inline constexpr stNAErrorSite kColumnPastResult{NA_SRC_STATEMENTSQL, 1, 50, NA_ERR_GENERAL};
// The column asked for.
inline constexpr stNAErrorSite kColumnNegative{NA_SRC_STATEMENTSQL, 2, 51, NA_ERR_GENERAL};
// A row read as text with no current row (an empty text).
inline constexpr stNAErrorSite kRowWithoutCurrentRow{NA_SRC_STATEMENTSQL, 3, 7, NA_ERR_GENERAL};
// A parameter whose placeholder does not lie inside the SQL text (negative
// start or length, or an end past the text): the parameter's index.
inline constexpr stNAErrorSite kParameterOutsideText{NA_SRC_STATEMENTSQL, 4, 80, NA_ERR_GENERAL};
// The SQL command out of memory (user error 12, with the connection's
// details): its column-NULL bookkeeping, the room of an engine LIKE
// parameter.
inline constexpr stNAErrorSite kCommandNullBookkeepingNoMemory{NA_SRC_COMMAND, 1, 12, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kCommandLikeRoomNoMemory{NA_SRC_COMMAND, 2, 12, NA_ERR_GENERAL};
// Source 10's sites whose error is the out-of-memory error itself: a LIKE
// pattern's escaped copy, a text of the command that could not grow.
inline constexpr int kCommandLikeEscapeNoMemory = 3;
inline constexpr int kCommandTextNoMemory = 4;
// A table not found in the database: the logical name, an empty text.
inline constexpr stNAErrorSite kTableNotFound{NA_SRC_DATAACCESS, 12, 15, NA_ERR_GENERAL};
// An add, modification or delete on a query sent as written (the logical
// name as table name only).
inline constexpr stNAErrorSite kWriteOnQueryAsWritten{NA_SRC_DATAACCESS, 16, 35, NA_ERR_GENERAL};
// The operations this driver does not offer (the logical name as table
// name only): locking the table (3.5) or a record (3.7), crossing out a
// record (3.10), freeing crossed-out records (3.11), building a key value
// (3.13).
inline constexpr stNAErrorSite kLockTableNotAvailable{NA_SRC_DATAACCESS, 5, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kLockRecordNotAvailable{NA_SRC_DATAACCESS, 7, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kCrossOutNotAvailable{NA_SRC_DATAACCESS, 10, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kFreeCrossedOutNotAvailable{NA_SRC_DATAACCESS, 11, 8, NA_ERR_NOT_AVAILABLE};
inline constexpr stNAErrorSite kBuildKeyNotAvailable{NA_SRC_DATAACCESS, 13, 8, NA_ERR_NOT_AVAILABLE};
// A memo index the data source does not know, or whose item has no column
// in the current record: the logical name, the index written as text.
inline constexpr stNAErrorSite kUnknownMemo{NA_SRC_DATAACCESS, 20, 26, NA_ERR_GENERAL};
// A calculated item met again while its own expression is being written:
// the item's name.
inline constexpr stNAErrorSite kCommandCalculatedItemLoop{NA_SRC_COMMAND, 5, 32, NA_ERR_GENERAL};
// An operator the database does not offer: the database's name.
inline constexpr stNAErrorSite kCommandOperatorNotAvailable{NA_SRC_COMMAND, 6, 48, NA_ERR_NOT_AVAILABLE};
// A parsed query whose positions do not fit its text (an element behind
// the one written, or past the text's end).
inline constexpr stNAErrorSite kCommandParseOutsideText{NA_SRC_COMMAND, 7, 4, NA_ERR_GENERAL};
// Browsing: a move against the result's order that the statement can
// neither fetch nor run again (the logical name, the item); a filter on a
// query sent as written; a record number other than 0 (the logical name as
// table name only).
inline constexpr stNAErrorSite kBackwardNotPossible{NA_SRC_DATAACCESS, 21, 82, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kFilterOnQueryAsWritten{NA_SRC_DATAACCESS, 22, 35, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kInvalidRecordNumber{NA_SRC_DATAACCESS, 23, 18, NA_ERR_GENERAL};
// Re-positioning a browse: a forward-only parse that would have to run
// again (the logical name, the statement's search item); the row it stood
// on not found again (the statement reports its record lost).
inline constexpr stNAErrorSite kParseCannotRunAgain{NA_SRC_DATAACCESS, 50, 83, NA_ERR_GENERAL};
inline constexpr int kRepositionRecordLostSite = 51;
// Saved positions: no statement can be made for a save, or the item has
// no open parse for its per mille (the logical name; the logical name and
// the item as information names); an unknown position number on a return
// or a comparison (the logical name as table name only).
inline constexpr stNAErrorSite kNoStatementForPosition{NA_SRC_DATAACCESS, 30, 7, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kUnknownPositionReturn{NA_SRC_DATAACCESS, 31, 11, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kUnknownPositionCompare{NA_SRC_DATAACCESS, 32, 11, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kNoParseForPosition{NA_SRC_DATAACCESS, 33, 7, NA_ERR_GENERAL};
// User queries: a query with neither a parsed form nor a text (the query's
// name, an empty item name); no item to browse for a filter condition and a
// write announced while the query's table cache is incomplete (the logical
// name as table name only); a query text the connection's code page cannot
// hold (the query's name, the code page, the connection, the default
// database, the database).
inline constexpr stNAErrorSite kQueryWithoutCommand{NA_SRC_DATAACCESS, 70, 2, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kNoItemForCondition{NA_SRC_DATAACCESS, 71, 17, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kQueryCacheIncomplete{NA_SRC_DATAACCESS, 72, 55, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kQueryNotInCodePage{NA_SRC_DATAACCESS, 73, 77, NA_ERR_GENERAL};
// The found or out-of-range state of an item that was never browsed (the
// logical name, the item; the item as the message's argument).
inline constexpr stNAErrorSite kFoundOnItemNotBrowsed{NA_SRC_DATAACCESS, 40, 5, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kOutOnItemNotBrowsed{NA_SRC_DATAACCESS, 41, 5, NA_ERR_GENERAL};
}  // namespace NASite
