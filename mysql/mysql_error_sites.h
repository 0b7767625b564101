#pragma once

// The error sites of the MySQL driver's sources (numbers in
// native/driver/error_sites.h). Sites that raise a user error of their own
// are stNAErrorSite; the sites of client calls are stClientCallSite, whose
// user error the guard chooses (client_call_guard.h). Numbers are never
// reused.
#include "mysql/client_call_guard.h"
#include "native/driver/error_sites.h"

namespace MySQLSite {
// The client-library loader.
inline constexpr stNAErrorSite kLibraryNotLoaded{NA_SRC_LOADER, 1, 27, NA_ERR_GENERAL};         // "MySQL", name, 64
inline constexpr stNAErrorSite kRequiredFunctionMissing{NA_SRC_LOADER, 2, 37, NA_ERR_GENERAL};  // function
inline constexpr stClientCallSite kIdentifyLibrary{NA_SRC_LOADER, 3};
inline constexpr stClientCallSite kUnloadLibrary{NA_SRC_LOADER, 4};
// The connection. Sites that record the client's error through bInitError
// give their numbers as kRecord... (the user error is 22 there).
inline constexpr stNAErrorSite kNoSSLSet{NA_SRC_DB_CONNECTION, 1, 75, NA_ERR_GENERAL};        // client version
inline constexpr stNAErrorSite kNoOptions{NA_SRC_DB_CONNECTION, 2, 76, NA_ERR_GENERAL};       // client version
inline constexpr stNAErrorSite kEscapeBufferMissing{NA_SRC_DB_CONNECTION, 3, 12, NA_ERR_GENERAL};
inline constexpr stClientCallSite kUnicodeOption{NA_SRC_DB_CONNECTION, 4};
inline constexpr stClientCallSite kConnect{NA_SRC_DB_CONNECTION, 5};
inline constexpr stClientCallSite kInit{NA_SRC_DB_CONNECTION, 6};
inline constexpr stClientCallSite kClientVersion{NA_SRC_DB_CONNECTION, 7};
inline constexpr stClientCallSite kClose{NA_SRC_DB_CONNECTION, 8};
inline constexpr stClientCallSite kEscape{NA_SRC_DB_CONNECTION, 9};
inline constexpr stClientCallSite kQuery{NA_SRC_DB_CONNECTION, 10};
inline constexpr stClientCallSite kErrorText{NA_SRC_DB_CONNECTION, 12};
inline constexpr stClientCallSite kErrorNumber{NA_SRC_DB_CONNECTION, 13};
inline constexpr stClientCallSite kServerInfo{NA_SRC_DB_CONNECTION, 15};
inline constexpr int kRecordConnectError = 16;
inline constexpr int kRecordQueryError = 17;
inline constexpr stClientCallSite kSSLSet{NA_SRC_DB_CONNECTION, 18};
inline constexpr int kRecordSSLError = 19;
inline constexpr stNAErrorSite kUnicodeOptionFailed{NA_SRC_DB_CONNECTION, 20, 76, NA_ERR_GENERAL};  // client version
inline constexpr stNAErrorSite kInitFailed{NA_SRC_DB_CONNECTION, 21, 78, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kSSLFailed{NA_SRC_DB_CONNECTION, 22, 79, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kConnectFailed{NA_SRC_DB_CONNECTION, 23, 79, NA_ERR_GENERAL};
inline constexpr stClientCallSite kConnectWithoutDatabase{NA_SRC_DB_CONNECTION, 27};
// 28 was the second connect of the creation, which now selects the new
// database on the open connection.
inline constexpr stClientCallSite kLatin1Option{NA_SRC_DB_CONNECTION, 29};
inline constexpr stNAErrorSite kLatin1OptionFailed{NA_SRC_DB_CONNECTION, 30, 79, NA_ERR_GENERAL};
inline constexpr stClientCallSite kVerifyOption{NA_SRC_DB_CONNECTION, 31};
inline constexpr stNAErrorSite kVerifyOptionFailed{NA_SRC_DB_CONNECTION, 32, 79, NA_ERR_GENERAL};
inline constexpr int kRecordEscapeError = 33;
inline constexpr stNAErrorSite kEscapeFailed{NA_SRC_DB_CONNECTION, 33, 23, NA_ERR_GENERAL};  // "MySQL"
inline constexpr stNAErrorSite kBadPort{NA_SRC_DB_CONNECTION, 34, 79, NA_ERR_GENERAL};
inline constexpr int kRecordConnectWithoutDatabaseError = 35;
inline constexpr stNAErrorSite kNoHandle{NA_SRC_DB_CONNECTION, 36, 79, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kTextNotConverted{NA_SRC_DB_CONNECTION, 37, 12, NA_ERR_GENERAL};
inline constexpr stClientCallSite kStoreResult{NA_SRC_DB_CONNECTION, 38};
inline constexpr stClientCallSite kFreeResult{NA_SRC_DB_CONNECTION, 39};
inline constexpr stClientCallSite kNextResult{NA_SRC_DB_CONNECTION, 40};
inline constexpr int kRecordLaterStatementError = 41;
inline constexpr stClientCallSite kMoreResults{NA_SRC_DB_CONNECTION, 42};
// The time-outs and the TLS the connection asks for.
inline constexpr stClientCallSite kTimeoutOption{NA_SRC_DB_CONNECTION, 43};
inline constexpr stNAErrorSite kTimeoutOptionFailed{NA_SRC_DB_CONNECTION, 44, 89, NA_ERR_GENERAL};  // version, key
inline constexpr stNAErrorSite kNoSSLCipher{NA_SRC_DB_CONNECTION, 45, 87, NA_ERR_GENERAL};          // client version
inline constexpr stNAErrorSite kNoVerifyOption{NA_SRC_DB_CONNECTION, 46, 88, NA_ERR_GENERAL};       // client version
inline constexpr stClientCallSite kEnforceOption{NA_SRC_DB_CONNECTION, 47};
inline constexpr stClientCallSite kSSLCipher{NA_SRC_DB_CONNECTION, 48};
inline constexpr stNAErrorSite kNotEncrypted{NA_SRC_DB_CONNECTION, 49, 86, NA_ERR_GENERAL};         // server
// "SSL Mode" refused before the handle is made (sites 60 to 69 are TLS's):
// a value the driver does not know, a verifying mode without CA or CA path.
inline constexpr stNAErrorSite kSSLModeUnknown{NA_SRC_DB_CONNECTION, 60, 90, NA_ERR_GENERAL};    // the value
inline constexpr stNAErrorSite kSSLModeWithoutCA{NA_SRC_DB_CONNECTION, 61, 91, NA_ERR_GENERAL};  // the value
// Without a check of the certificate: the list of the authentication
// plug-ins the library may run, and the connect it refused because the
// server asked for another (server, the plug-ins of the list).
inline constexpr stClientCallSite kRestrictedAuthOption{NA_SRC_DB_CONNECTION, 62};
inline constexpr stNAErrorSite kPlugInRefused{NA_SRC_DB_CONNECTION, 63, 95, NA_ERR_GENERAL};
// Whether the server still holds the transaction after a failed statement:
// the statement that brings the server's present status, and its reading;
// the question of the server's roll-back on a lock wait time-out.
inline constexpr stClientCallSite kTransactionStatusProbe{NA_SRC_DB_CONNECTION, 50};
inline constexpr stClientCallSite kTransactionStatusRead{NA_SRC_DB_CONNECTION, 51};
inline constexpr stClientCallSite kRollbackOnTimeoutQuestion{NA_SRC_DB_CONNECTION, 52};
// The session's transaction state after each statement; an open refused
// while the session was lost inside a transaction the host began in SQL
// (server, MySQL error number and text that lost it).
inline constexpr stClientCallSite kSessionStatusRead{NA_SRC_DB_CONNECTION, 53};
inline constexpr stNAErrorSite kOpenSessionTransactionLost{NA_SRC_DB_CONNECTION, 54, 93, NA_ERR_GENERAL};
// The execution statement. A site whose call failed on the server records
// the client's error (user error 22) at the number given as kRecord...; the
// later statements of a text record theirs at the site of the
// mysql_next_result call that answered the error.
inline constexpr stNAErrorSite kStmtColumnsNoMemory{NA_SRC_DB_STATEMENTSQL, 1, 12, NA_ERR_GENERAL};
inline constexpr stClientCallSite kStmtQuery{NA_SRC_DB_STATEMENTSQL, 3};
inline constexpr stClientCallSite kStmtStoreResult{NA_SRC_DB_STATEMENTSQL, 5};
inline constexpr stClientCallSite kStmtUseResult{NA_SRC_DB_STATEMENTSQL, 6};
inline constexpr stClientCallSite kStmtFreeResult{NA_SRC_DB_STATEMENTSQL, 7};
inline constexpr stClientCallSite kStmtFetchFields{NA_SRC_DB_STATEMENTSQL, 8};
inline constexpr stClientCallSite kStmtNumFields{NA_SRC_DB_STATEMENTSQL, 9};
inline constexpr stClientCallSite kStmtUseNumFields{NA_SRC_DB_STATEMENTSQL, 10};
inline constexpr stClientCallSite kStmtDataSeek{NA_SRC_DB_STATEMENTSQL, 11};
inline constexpr stClientCallSite kStmtFetchRow{NA_SRC_DB_STATEMENTSQL, 12};
inline constexpr stClientCallSite kStmtNumRows{NA_SRC_DB_STATEMENTSQL, 13};
inline constexpr stClientCallSite kStmtStoreErrno{NA_SRC_DB_STATEMENTSQL, 15};
inline constexpr stClientCallSite kStmtUseErrno{NA_SRC_DB_STATEMENTSQL, 16};
inline constexpr stClientCallSite kStmtAffectedRows{NA_SRC_DB_STATEMENTSQL, 17};
inline constexpr int kStmtFurtherStore = 18;
inline constexpr int kStmtFurtherNext = 19;
inline constexpr int kStmtFurtherFree = 20;
inline constexpr int kStmtNextAfterNoResult = 21;
inline constexpr int kRecordStoreError = 22;
inline constexpr int kRecordExecuteError = 23;
inline constexpr int kRecordUseError = 24;
inline constexpr int kRecordFetchError = 25;
// Database, MySQL code (2006), max_allowed_packet, query length, the
// query's first 20 characters.
inline constexpr stNAErrorSite kStmtPacketTooLarge{NA_SRC_DB_STATEMENTSQL, 26, 320101, NA_ERR_GENERAL};
inline constexpr stClientCallSite kStmtFetchLengths{NA_SRC_DB_STATEMENTSQL, 27};
// The close takes the further results an unbuffered execution left.
inline constexpr int kStmtCloseNext = 28;
inline constexpr int kStmtCloseStore = 29;
inline constexpr int kStmtCloseFree = 30;
inline constexpr stClientCallSite kStmtMoreResults{NA_SRC_DB_STATEMENTSQL, 31};
// A statement refused before it is sent: the session was lost inside a
// transaction the host began in SQL (93), or the connection's transaction
// was ended by the server and no transaction of the server's holds what
// follows (94); each with the server, the MySQL error number and text.
inline constexpr stNAErrorSite kStmtSessionTransactionLost{NA_SRC_DB_STATEMENTSQL, 32, 93, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kStmtTransactionEndedUnheld{NA_SRC_DB_STATEMENTSQL, 33, 94, NA_ERR_GENERAL};
// A text that would commit (COMMIT, BEGIN, START TRANSACTION, RELEASE
// SAVEPOINT) refused before it is sent while a transaction is marked ended:
// rolled back by the server (84), or ended with a failed statement that may
// have committed it first (85); the server, the MySQL error number and text.
inline constexpr stNAErrorSite kStmtCommitRolledBack{NA_SRC_DB_STATEMENTSQL, 34, 84, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kStmtCommitEnded{NA_SRC_DB_STATEMENTSQL, 35, 85, NA_ERR_GENERAL};
// A TIME beyond a time of day read into a date, time or date-time item,
// which cannot hold it (source type, item type, the value's text).
inline constexpr stNAErrorSite kStmtTimeBeyondDay{NA_SRC_DB_STATEMENTSQL, 40, 53, NA_ERR_GENERAL};
// The statement: the automatic identifier read after an INSERT.
inline constexpr stClientCallSite kStatementInsertId{NA_SRC_DB_STATEMENT, 1};
// The driver: a lock asked on a host connection the driver does not hold
// (the host connection's name).
inline constexpr stNAErrorSite kDriverTableLockUnknownConnection{NA_SRC_DB_DRIVER, 1, 14, NA_ERR_GENERAL};
inline constexpr stNAErrorSite kDriverQueryLockUnknownConnection{NA_SRC_DB_DRIVER, 2, 14, NA_ERR_GENERAL};
}  // namespace MySQLSite
