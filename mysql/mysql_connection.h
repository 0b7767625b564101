#pragma once

// The MySQL connection: the connection description of the native layer made
// real over the client library. It loads the library on the first open of
// the process, owns one client handle (MYSQL), opens the server connection
// (options, TLS, connect, creation of a missing database, the character set
// on the server), closes it, runs statements without result, escapes values
// into literals, turns the client's errors into the driver's, and answers
// MySQL's dialect and type questions (mysql_type_mapping.cpp).
//
// Invariants a reader must keep:
// - Every client call goes through the guard (client_call_guard.h) with
//   this connection's source number (101) and the site of the call.
// - The handle is owned: a handle that is not null is closed before the
//   next mysql_init, on every failed open and by the destructor, and the
//   pointer is cleared after mysql_close; m_bOpen says whether the server
//   connection behind it is open.
// - The connection's code page (the base's client text code page) is 1252
//   or 65001, and the server reads the connection's text in the character
//   set of that code page (latin1 or utf8mb4/utf8): every text to and from
//   the client library is converted with it.
// - "Server Port", "Client Flag" and "Unix Socket" are read once, at
//   construction, and serve every open of the object.
// - The object is used only with the driver-wide mutex held; construct it
//   with that mutex held when a driver runs (the base takes a number from
//   a plain counter).
#include <cstdint>

#include "common/text/ct_string.h"
#include "mysql/client_api.h"
#include "native/driver/connection_description.h"
#include "native/model/item_type.h"

struct stClientCallSite;

class CMySQLConnection : public CNAConnectionDescription
{
public:
    CMySQLConnection(const wchar_t* pszIdentification, INAConnectionDescription* piConnection);
    // Closes the server connection and releases the handle.
    ~CMySQLConnection() override;

    // The base's slots that MySQL answers, in slot order.
    int bOpen(CNAError* pclError) override { return _bOpenCreate(pclError, 0); }
    int bIsOpen() override { return m_bOpen; }
    // Closes the server connection and releases the handle; 0 only when the
    // guard caught something in mysql_close.
    int bClose(CNAError* pclError) override;
    int bSupportOrderByMemo() override { return 1; }
    int bOpenCreate(CNAError* pclError) override { return _bOpenCreate(pclError, 1); }
    // Locks the rows of a table with a SELECT ... FOR UPDATE whose result is
    // dropped; the name is written as an SQL table name.
    int bSQLBloque(CNAError* pclError, const wchar_t* pszTable) override;
    // Records the client's last error (user error 22 with the server and
    // the MySQL code, its text, the code as information 15) at the caller's
    // source and site, then tells the transaction whether the server ended
    // it (_NoteTransactionAfterError). 1 when the error could be read, even
    // when there was none; 0 after a guard failure.
    int bInitError(CNAError* pclError, unsigned nFile, unsigned nSite) override;
    // 1062 duplicate key, 1205 lock wait time-out, 1048 value missing.
    eNA_ERRORTYPE eGetNAErrorType(unsigned nCode) override;
    int bDBTypeToString(CTString* pcsOut, int nFieldType) override;
    // mysql_real_query of the text in the connection's code page; any
    // result it gives is read and dropped.
    int bExecuteQueryNoResult(CNAError* pclError, const wchar_t* pszSQL) override;
    // The text through the driver's SQL-functions object; a result is
    // dropped. 0 without a driver.
    int bExecuteQueryIgnoreResult(CNAError* pclError, const wchar_t* pszSQL) override;
    // The value between single quotes, escaped by the client library (see
    // mysql_connection_escape.cpp), appended as 8-bit text in the
    // connection's code page.
    int _bEscapeString(CNAError* pclError, CTStringConcatAW* pclOut, unsigned short nType, unsigned char* pData,
                       unsigned long nSize) override;
    // The bytes as a hex literal X'...' (a value the escape would leave a
    // NUL in).
    int _bAddHexLiteral(CNAError* pclError, CTStringConcatAW* pclOut, const char* pSource, uint64_t nSource);
    // MySQL's SQL types over the generic entries of the type map; nothing
    // while the connection has no map.
    void _InitQF2NativeType() override;

    // --- The open and its steps (each 1 on success, 0 with the error given).
    int _bOpenCreate(CNAError* pclError, int bCreate);
    int _bLoadClientLibrary(CNAError* pclError);
    int _bProcessUnicodeCnxParameters(CNAError* pclError, int bSSLWanted, const wchar_t* pszServer,
                                      const wchar_t* pszUser, const wchar_t* pszPassword,
                                      const wchar_t* pszDatabase, const wchar_t* pszSocket, const wchar_t* pszSSLKey,
                                      const wchar_t* pszSSLCert, const wchar_t* pszSSLCA,
                                      const wchar_t* pszSSLCAPath, const wchar_t* pszSSLCipher);
    int _bSetSSLParameters(CNAError* pclError, const wchar_t* pszSSLKey, const wchar_t* pszSSLCert,
                           const wchar_t* pszSSLCA, const wchar_t* pszSSLCAPath, const wchar_t* pszSSLCipher);
    int _bOpenCreateDatabase(CNAError* pclError, int bCreate, const wchar_t* pszServer, const wchar_t* pszUser,
                             const wchar_t* pszPassword, const wchar_t* pszDatabase, const wchar_t* pszSocket);
    int _bGetServerVersion(CNAError* pclError);
    // The time-outs and TLS the description asks for. "VX Connection
    // Timeout" and "VX Command Timeout" (or the host's defaults) are
    // seconds: the connect's wait, and each read's and each write's; none
    // given (absent, 0, negative) or a client without mysql_options leaves
    // the client's own waits. A description that asks for TLS
    // (bTLSRequested) requires it: the client is asked to refuse a server
    // without it where it can, and the connect is checked to have a cipher
    // (_bCheckEncrypted, refused and closed without); a CA or CA path has
    // the server's certificate verified, and a client that cannot be asked
    // to is refused.
    int _bSetTimeouts(CNAError* pclError);
    int _bCheckEncrypted(CNAError* pclError);
    // TLS is required: any SSL key but "SSL Mode" is given, or "SSL Mode"
    // asks for TLS (REQUIRED, VERIFY_CA, VERIFY_IDENTITY; an unknown value
    // counts as asking, and _bCheckTLSMode refuses it).
    bool bTLSRequested() const;

    // What "SSL Mode" asks, its value compared without case and blanks
    // around it ignored: nothing (empty, DISABLED, PREFERRED: the other SSL
    // keys still require TLS), TLS, TLS with the server's certificate
    // verified (the library checks the chain and the host name together,
    // so VERIFY_CA checks the name too), or a value the driver does not
    // know.
    enum class eTLSMode { NotAsked, Required, VerifyCA, VerifyIdentity, Unknown };
    eTLSMode eGetTLSMode() const;
    // Before the handle is made: an unknown "SSL Mode" (user error 90,
    // naming the value) and a verifying mode without "SSL CA" or "SSL
    // CAPath" (user error 91) are refused.
    int _bCheckTLSMode(CNAError* pclError);

    // The client's last error number (0 when none) into *pnCode; 0 after a
    // guard failure.
    int bGetLastError(CNAError* pclError, unsigned* pnCode);

    // The keys read at construction: the port (0: the client's default),
    // the client flags the user asked for, the socket (false when absent or
    // empty).
    int nGetPort() const { return m_nPort; }
    int nGetClientFlag() const { return m_nClientFlag; }
    bool bGetUnixSocket(CTString* pcsSocket) const;

    // Versions: the client's as the loader identified it, the server's as
    // this connection read it.
    static bool bClientVersionGreaterThan4_1();
    bool bServerVersionGreaterThan4_1() const;
    bool bServerVersionGreaterThan4_1_2() const;
    // The client reads several results of one text.
    static bool bMultipleRecordsetEnabled();
    // The driver's module end calls it; the library is unloaded by the
    // loader, so there is nothing to do here.
    static void g_TermNativeLibrary() {}

    // --- Type mapping (mysql_type_mapping.cpp).
    // The item type and byte size of a result column of a client field
    // type; lengths are bytes in the connection's character set on the
    // server. The field's flags say whether an integer is unsigned (32).
    static void ConvertItemType(eNA_ITEMTYPE* peType, unsigned* pnSize, int nFieldType, int nLength,
                                int nIntegerDigits, int nScale, unsigned nCharset, unsigned nFieldFlags = 0);
    // The UNSIGNED flag of a client field.
    static constexpr unsigned kUnsignedFlag = 32;
    static int bCharsetUnicode(unsigned nCharset);

    // The client handle (null while none is held), for the statements of
    // this connection.
    MYSQL* pGetMySQL() const { return m_pMySQL; }
    // The connection's code page (1252 or 65001 once opened).
    int nGetCodePage() const { return m_nClientTextCodePage; }

protected:
    // mysql_close of a held handle; the pointer is cleared and the
    // connection counted closed, whatever the guard says. 0 after a guard
    // failure.
    int _bReleaseHandle(CNAError* pclError);
    // The open failed after mysql_init: the handle goes, the result is 0.
    int _nOpenFailed();
    // Reads and drops every result of the text just run; 0 with the error
    // of a later statement of the text, or of a result that could not be
    // read.
    int _bDiscardResults(CNAError* pclError);
    // The character set on the server once the version is known; 0 with the
    // error when a connection kept in code page 1252 cannot say so.
    int _bSetServerCharacterSet(CNAError* pclError);
    // The key's integer, read as the base reads its numbers.
    int32_t _nReadIntegerKey(const wchar_t* pszKey);

public:
    // --- Whether the server still holds the host's transaction
    // (mysql_connection_transaction.cpp).
    // The one rule, after every statement on the session, whether it
    // succeeded (nCode 0) or failed (the client's error and its converted
    // text), and whether the host or the driver sent it. While the host
    // believes it is inside a transaction (an active level, or one it began
    // in SQL text), finds out whether the server still holds it: from the
    // server status of the answer after a success, from a quiet probe after
    // a failure (the error number where the library gives no status). Where
    // the server ended it, or where the driver cannot know, the transaction
    // is marked with the error that ended it (the outermost level for the
    // levels, the connection for a text transaction), and the session is put
    // back inside a transaction of the server's (ROLLBACK, then BEGIN) that
    // the host's end rolls back, or, where that cannot be done, what the
    // host runs is refused until it rolls back (_bBeforeStatement). The
    // statements the rule runs itself are answered where it runs them.
    void _AfterStatement(unsigned nCode, const wchar_t* pszMessage);
    // The host believes it is inside a transaction on this connection: an
    // active level, a text transaction the session holds, or one marked
    // ended and not yet rolled back.
    bool bHostInTransaction() const;
    // The level statements of the outermost level, told apart from the
    // host's: a begin of the levels' transaction, and its end (commit or
    // roll-back), which the levels report themselves.
    int bTransactionBeginDirect(CNAError* pclError) override;
    int bTransactionCommitDirect(CNAError* pclError) override;
    int bTransactionRollBackDirect(CNAError* pclError) override;

protected:
    // The statement the connection runs for itself, if any.
    enum class eOwnStatement
    {
        None,
        LevelBegin,
        LevelEnd,
        // A probe or a ROLLBACK and BEGIN of the rule's own.
        Rule,
    };
    // The statement run as the given kind.
    template <typename Fn>
    int _bRunOwn(eOwnStatement eKind, Fn fnRun);
    // From the server status of a statement run now: 1 the server holds a
    // transaction, 0 it holds none, -1 the library cannot say, -2 the probe
    // failed (its error into *pnCode and *pcsMessage).
    int _nServerHoldsTransaction(unsigned* pnCode, CTString* pcsMessage);
    // The server's innodb_rollback_on_timeout: 1, 0, or -1 unread.
    int _nServerRollsBackOnTimeout();
    // After a transaction was found ended: what the host runs next is held
    // in a new transaction of the server's, or, where none can be begun
    // (the session is lost, or the ROLLBACK or BEGIN fails), refused while
    // the mark stands. A failed hold marks the levels' chain (when given)
    // uncertain with its error: the end may have been a commit.
    void _HoldWhatFollows(CNATransaction* pclChain, bool bSessionLost);
    // A ROLLBACK, then a BEGIN, each quiet: 1 when the session is left
    // inside a new transaction of the server's. The client's error of a
    // failure into *pnCode and *pcsMessage.
    int _bRollBackThenBegin(unsigned* pnCode, CTString* pcsMessage);
    // The client's last error number and text, read quietly.
    void _ReadLastError(unsigned* pnCode, CTString* pcsMessage);

public:
    // --- The session behind the handle (mysql_connection_session.cpp).
    // Before each statement of the host's (and of the driver's own that run
    // as statements), with its text in the connection's code page: 0, with
    // the error, while the session was lost inside a transaction the host
    // began in SQL (user error 93); while a transaction is marked ended and
    // no transaction of the server's holds what follows (user error 94);
    // for a text that would commit, while a transaction is marked ended
    // (user error 84 or 85, the mark's); or when a session the driver must
    // replace cannot be opened again. A plain ROLLBACK text always goes
    // (once it succeeds, it ends a text transaction's mark).
    int _bBeforeStatement(CNAError* pclError, const char* pszSQL);
    // The server status of the last answer into *pnStatus, where the
    // library gives it: false without the library's function, a handle or
    // an open session, or when the library does not know the property.
    bool _bReadServerStatus(const stClientCallSite& site, unsigned* pnStatus);
    // The server's session closed and opened again by the driver on its own
    // (nothing is sent again); 1 once the new session is open.
    int _bReopenSession(CNAError* pclError);
    // The errors after which the session is gone: the server gone away,
    // lost during a query, lost at a read, killed, dropped for inactivity.
    static bool s_bSessionLostByCode(unsigned nCode);

protected:
    int32_t m_bOpen = 0;
    MYSQL* m_pMySQL = nullptr;
    // The session holds a transaction the host began in SQL text (one
    // open while no level is active, or autocommit off), as its last answer
    // said. Cleared when the session is lost or a level begins.
    int32_t m_bSessionInTransaction = 0;
    // The driver closed the session, or knows it lost, on its own: the next
    // open (the next statement opens it) replaces it, bounded by the
    // command time-out when no connection time-out is given. The host's
    // close and a successful open clear it.
    int32_t m_bReopenOnDemand = 0;
    // The open that a ROLLBACK text needs after a lost session is the
    // driver's own: the mark that refuses the host's opens lets it through.
    int32_t m_bReopenForRollBack = 0;
    eOwnStatement m_eOwnStatement = eOwnStatement::None;
    // The host's text being run is a plain ROLLBACK (_bBeforeStatement
    // sets it, the rule after the statement reads and clears it).
    int32_t m_bRunningRollBackText = 0;
    // A transaction is marked ended and no transaction of the server's
    // holds what follows (the ROLLBACK or the BEGIN failed, or the session
    // is gone).
    int32_t m_bEndedTransactionUnheld = 0;
    // Read once from the extended information.
    int32_t m_nPort = 0;
    int32_t m_nClientFlag = 0;
    CTString m_csUnixSocket;
};
