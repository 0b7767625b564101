#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/xy_string_concat.h"
#include "native/driver/host_connection_description.h"
#include "native/driver/identifier_quoting.h"
#include "native/driver/error_sites.h"
#include "native/driver/na_error.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CNAMapConvertType;
class _CXErrorModule32;

// One logical database connection of the driver, shared by every table,
// statement, transaction and handle that works on it. The driver keeps one
// per distinct connection identification in its connection registry, which
// holds one reference on each; it is counted through CInterf, plainly,
// under the driver-wide lock.
//
// It wraps the host's description of the connection (one external reference
// for its whole life), reads the parameters once at construction, strips the
// driver's own keys out of the extended information, and answers what the
// rest of the driver asks of a connection: its parameters, its database kind
// and the SQL dialect of that kind (connection_dialect.cpp), identifier
// quoting (identifier_quoting.h), and the column expressions of the host's
// date and time texts (connection_expression.cpp). It owns the outermost
// level of its transactions (connection_transactions.cpp, transaction.h),
// runs the driver's internal statements, one execution statement per run,
// and the table and query locks (connection_queries.cpp), and gives every
// error raised on it its details (connection_details.cpp).
//
// The class is abstract: the database's own connection opens and closes it,
// sets the database kind and the identifier quotes in its constructor, and
// fills the server version and the client text code page when it opens.
// Parameters are fixed at construction; only the initial catalog, the
// application name, the server version fields, the Unicode support value,
// the client text code page, the current transaction and the type map
// change afterwards.
//
// Constructing one takes the next connection number from a process-wide
// counter incremented plainly: construct connections only with the
// driver-wide lock held. The connection string and the identification hold
// the password: neither goes into an error text, a debug line or a dump.

// Where a connection's result sets live: from the "VX Cursor Location" key,
// else from the host's cursor options.
enum eCURSORLOCATION : int32_t
{
    NA_CURSOR_DEFAULT = 0,
    NA_CURSOR_CLIENT = 1,
    NA_CURSOR_SERVER = 2,
};

class CNAConnectionDescription : public CInterf
{
public:
    // piConnection must not be null.
    CNAConnectionDescription(const wchar_t* pszIdentification, INAConnectionDescription* piConnection);
    // The current transaction and the type map are released (each deleted
    // when no other holder keeps it), then the host description's reference.
    ~CNAConnectionDescription() override;

    // Slots 3-18: opening, and the dialect's constant answers (the database
    // connection replaces some).
    virtual int bOpen(CNAError* pclError) = 0;                                               // 3
    virtual int bIsOpen() = 0;                                                               // 4
    virtual int bClose(CNAError* pclError) = 0;                                              // 5
    virtual int bSupportOrderByMemo() { return 0; }                                          // 6
    virtual int bOrderByIndiceAllowed() { return 1; }                                        // 7
    virtual int bTransactionEndCloseParse() { return 0; }                                    // 8
    virtual int bTreatEmptyDateAsNULL() { return 1; }                                        // 9
    // By the database kind.
    virtual int bTreat0000DateAsNULL();                                                      // 10
    virtual int bSupportItemTime() { return 0; }                                             // 11
    virtual int bSupportItemDate() { return 0; }                                             // 12
    virtual int bNULLBeforeNotNULL() { return 1; }                                           // 13
    virtual int bSupportInsertReturning() { return 0; }                                      // 14
    virtual int bCanPrepareQuery() { return 1; }                                             // 15
    virtual int bIndexNamesCommonOnDatabase() { return 0; }                                  // 16
    // Opens with bOpen.
    virtual int bOpenCreate(CNAError* pclError);                                             // 17
    // The record-lock hint ("VX RECORD LOCK"), empty when not given.
    virtual const wchar_t* pszGetNoLockHint() { return m_csRecordLockHint.pszGet(); }        // 18

    // Slots 19-43: transactions, locks, literals, internal statements and
    // error details. Those without a body of their own here answer 0 (or
    // null) and add nothing.
    virtual int bTransactionBeginDirect(CNAError* pclError);                                 // 19
    virtual int bTransactionCommitDirect(CNAError* pclError);                                // 20
    virtual int bTransactionRollBackDirect(CNAError* pclError);                              // 21
    // A new level for this connection, with no reference; null without memory.
    virtual CNATransaction* pclAllocTransaction();                                           // 22
    virtual int bSQLBloque(CNAError* pclError, const wchar_t* pszTable);                     // 23
    // Locking a parsed query is not done: 0.
    virtual int bSQLBloque(CNAError*, ISQLParserInformation*) { return 0; }                 // 24
    virtual int bSQLBloqueRequete(CNAError* pclError, const wchar_t* pszQuery);              // 25
    virtual int bDiagnose(CNAError* pclError, CAny* pclResult, const wchar_t* pszTable, unsigned nFlags);  // 26
    // 0 here: the database connection reads its client's last error.
    virtual int bInitError(CNAError*, unsigned, unsigned) { return 0; }                     // 27
    // General (0) here: the database connection classifies its native codes.
    virtual eNA_ERRORTYPE eGetNAErrorType(unsigned) { return NA_ERR_GENERAL; }  // 28
    virtual int bConvertValueToString(CNAError* pclError, CTStringConcatAW* pclOut, const CAny* pclValue,
                                      eNA_ITEMTYPE eType, eNA_ITEMTYPE eSecondType);        // 29
    virtual int bCastCAnyIntoDBType(CNAError* pclError, CAny* pclValue, eNA_ITEMTYPE eType,
                                    eNA_ITEMTYPE eSecondType, int bStrict);                  // 30
    // By the database kind.
    virtual int nGetOrderByMaxExpressionNbr();                                               // 31
    // The connection's details on an error; the error object calls it.
    virtual void AddInfoNativeXError(_CXErrorModule32* pclError);                            // 32
    // 0 here: the database connection names its native types.
    virtual int bDBTypeToString(CTString*, int) { return 0; }                               // 33
    virtual int bDBTypeUnkwnownByDB(int) { return 0; }                                      // 34
    virtual int bExecuteQueryNoResult(CNAError* pclError, const wchar_t* pszSQL);            // 35
    virtual int bExecuteQueryIgnoreResult(CNAError* pclError, const wchar_t* pszSQL);        // 36
    virtual int bGetRequestedValue(CNAError* pclError, CAny* pclValue, int nColumn, const wchar_t* pszSQL);  // 37
    virtual int _bEscapeString(CNAError* pclError, CTStringConcatAW* pclOut, unsigned short nType,
                               unsigned char* pData, unsigned long nSize);                   // 38
    virtual int _bBoolToString(CNAError* pclError, CTStringConcatAW* pclOut, int bValue);    // 39
    virtual int _bDateToString(CNAError* pclError, CTStringConcatAW* pclOut, const CAny* pclValue,
                               eNA_ITEMTYPE eType);                                          // 40
    // Called after each successful commit or roll-back; nothing here.
    virtual void _CancelRecordLock(CNATransaction*) {}                                      // 41
    virtual void _InitQF2NativeType() = 0;                                                   // 42
    virtual int _bDecomposeServerVersion(CNAError* pclError);                                // 43

    // --- Parameters from the host (its texts may be null).
    const wchar_t* pszGetUserName() const { return m_piConnection->pszGetUserName(); }
    const wchar_t* pszGetPassword() const { return m_piConnection->pszGetPassword(); }
    const wchar_t* pszGetDataBase() const { return m_piConnection->pszGetDataBase(); }
    const wchar_t* pszGetDescription() const { return m_piConnection->pszGetDescription(); }
    eNA_ACCESS eGetAccess() const { return m_piConnection->eGetAccess(); }
    int nGetNbParam() const { return m_piConnection->nGetNbParam(); }
    const wchar_t* pclGetParam(int nParam) const { return m_piConnection->pszGetParam(nParam); }
    long lGetCursorOptions() const { return m_piConnection->lGetCursorOptions(); }
    const wchar_t* pszGetDefaultDataBase() const { return m_piConnection->pszGetDefaultDataBase(); }
    const wchar_t* pszGetLogicalConnectionName() const { return m_piConnection->pszGetLogicalConnectionName(); }
    // The name of the host's connection record.
    const wchar_t* pszGetConnectionName() const { return m_piConnection->pszGetConnectionName(); }
    INAConnectionDescription* piGetConnectionDescription() const { return m_piConnection; }

    // --- The connection's own values.
    unsigned nGetConnectionNumber() const { return m_nCnxNumber; }
    const wchar_t* pszGetIdentification() const { return m_csIdentification.pszGet(); }
    // Empty when it was never built.
    const wchar_t* pszGetConnectionString() const { return m_clConnectionString.pszGet(); }
    // The extended information left after the driver's keys were removed.
    const wchar_t* pszGetExtendedInfo() const { return m_csExtendedInfo.pszGet(); }
    // The first non-empty of: the cached value, "Initial Catalog" of the
    // extended information, the same key inside the provider text, the
    // host's default database; what is found is cached.
    const wchar_t* pszGetDefaultDataBaseEx();
    // "Application Name", else the executable's name, else "Tarvok Quilan";
    // kept once found.
    const wchar_t* pszGetApplicationName();
    int nGetConnectionTimeout() const { return m_nConnectionTimeout; }
    int nGetCommandTimeout() const { return m_nCommandTimeout; }
    int nGetLockTimeout() const { return m_nLockTimeout; }
    int64_t llGetCacheSize() const { return m_llCacheSize; }
    eCURSORLOCATION eGetCursorLocation() const { return m_eCursorLocation; }
    int nGetUnicodeSupport() const { return m_nUnicodeSupport; }
    // The code page of the runtime's 8-bit text on this connection (-2
    // UTF-16, 65001 UTF-8).
    int nGetRuntimeCodePage() const { return m_nRuntimeCodePage; }
    // The code page of text to and from the client library; -1 until the
    // database connection opens.
    int nGetClientTextCodePage() const { return m_nClientTextCodePage; }
    const CTString& csGetSSLMode() const { return m_csSSLMode; }
    const CTString& csGetSSLKey() const { return m_csSSLKey; }
    const CTString& csGetSSLCert() const { return m_csSSLCert; }
    const CTString& csGetSSLCA() const { return m_csSSLCA; }
    const CTString& csGetSSLCAPath() const { return m_csSSLCAPath; }
    const CTString& csGetSSLCipher() const { return m_csSSLCipher; }
    const CTString& csGetClientVersionWanted() const { return m_csClientVersionWanted; }
    const CTString& csGetClientLibraryWanted() const { return m_csClientLibraryWanted; }
    int nGetDBKind() const { return m_nDBKind; }
    const CTString& csGetServerVersion() const { return m_csServerVersion; }
    int nGetServerMajor() const { return m_nServerMajor; }
    int nGetServerMinor() const { return m_nServerMinor; }
    int nGetServerPatch() const { return m_nServerPatch; }
    const CTString& csGetOpeningQuote() const { return m_csOpeningQuote; }
    const CTString& csGetClosingQuote() const { return m_csClosingQuote; }

    // --- Holding the connection open.
    // True when auto-close is allowed and no transaction is active.
    int bAutoCloseEnabled() const;
    // The driver clears it while the host holds the connection open.
    void SetAutoCloseAllowed(int bAllowed) { m_bAutoCloseAllowed = bAllowed ? 1 : 0; }
    int bAutoCloseAllowed() const { return m_bAutoCloseAllowed; }
    // The host's successful opens not yet undone by a close; the driver
    // holds one reference per open state.
    uint32_t nGetOpenStates() const { return m_nOpenStates; }
    void _AddOpenState() { ++m_nOpenStates; }
    // False, and nothing changed, when there is no open state to undo.
    bool _bDropOpenState()
    {
        if (m_nOpenStates == 0)
            return false;
        --m_nOpenStates;
        return true;
    }
    // The current transaction's active flag; 0 without one.
    int _bTransactionOpened() const;
    CNATransaction* pclGetTransactionNoRef() const { return m_pclTransaction; }
    // Marks a connection opened through the SQL-functions object.
    void SetOpenedBySQLFunctions() { m_bOpenedBySQLFunctions = 1; }
    int bOpenedBySQLFunctions() const { return m_bOpenedBySQLFunctions; }

    // --- Transactions, locks, internal statements and error details
    // (connection_transactions.cpp, connection_queries.cpp,
    // connection_details.cpp).
    // Opens the connection, makes its outermost level on first use, and
    // begins it, or a level inside the deepest active one.
    int bTransactionBegin(CNAError* pclError, const wchar_t* pszName);
    // Without a transaction level: user error 9 with the name. Otherwise the
    // level's commit or roll-back, and _CancelRecordLock after a success or
    // after a refused commit that ended the levels of a transaction the
    // server ended. While a transaction the host began in its SQL text is
    // marked ended (see SetTextTransactionEnded) and no level is active, the
    // commit fails with the mark's error and the roll-back succeeds and
    // ends the mark (a quiet ROLLBACK drops what the server held since).
    // The begin is refused with the mark's error too: its BEGIN would
    // commit what the server holds since.
    int bTransactionCommit(CNAError* pclError, const wchar_t* pszName);
    int bTransactionRollBack(CNAError* pclError, const wchar_t* pszName);
    // How the server ended a transaction the host began in its SQL text,
    // which none of the levels began: with the session (user error 93:
    // everything the host runs is refused until it rolls back or closes the
    // connection, and the session is never replaced silently meanwhile), by
    // rolling it back (84), or with a failed statement that may have
    // committed it first (85); for the last two the database's connection
    // holds what follows in a transaction of the server's, and refuses the
    // texts that would commit it. The first cause stays; a mark can only
    // become uncertain (rolled back, then something may have committed
    // what was held since).
    enum class eTextTransactionEnd : int32_t
    {
        None,
        SessionLost,
        RolledBack,
        Uncertain,
    };
    void SetTextTransactionEnded(eTextTransactionEnd eEnd, unsigned nCode, const wchar_t* pszMessage);
    void ClearTextTransactionEnded();
    int bTextTransactionEnded() const { return m_eTextTransactionEnd != eTextTransactionEnd::None ? 1 : 0; }
    int bSessionTransactionLost() const { return m_eTextTransactionEnd == eTextTransactionEnd::SessionLost ? 1 : 0; }
    // The mark's user error at the site of its kind (93, 84 or 85), with
    // the server and the error that ended the transaction.
    void RaiseTextTransactionEnded(CNAError* pclError, const stNAErrorSite& siteLost,
                                   const stNAErrorSite& siteRolledBack, const stNAErrorSite& siteUncertain);
    // The site's user error with the connection's server and the server's
    // error code and text that caused it; that code becomes the error's
    // database code, as for the statement that met it.
    void RaiseWithServerCause(CNAError* pclError, const stNAErrorSite& site, unsigned nCode,
                              const wchar_t* pszMessage);
    // 1 while no transaction is active; else the transaction's answer.
    int bResumeCurrentTransaction(CNAError* pclError);
    int bActiveCurrentTransaction(CNAError* pclError, int bActive);
    // The name of the next savepoint of this connection ("VXSP" and a
    // number): letters and digits only, never a name the host gave.
    void _NextSavepointName(CTString* pcsName);
    // The value of a query's first row, as wide text (empty for NULL); the
    // string is left as it was when no row came or the value has no text.
    // The query's result.
    int bGetRequestedValueString(CNAError* pclError, CTString* pcsValue, int nColumn, const wchar_t* pszSQL);
    // The connection's details on the error object's main error; nothing
    // without an error object.
    void AddInfoNative(CNAError* pclError);

    // --- Extended keys.
    // The value of one key of the extended information (empty when absent);
    // with bRemove the entry is cut out of it. Always 1; the second form
    // also tells whether the key was found.
    int _bGetExtendedParameter(CTString* pcsValue, const wchar_t* pszKey, int bRemove);
    int _bGetExtendedParameter(CTString* pcsValue, const wchar_t* pszKey, int bRemove, int* pbFound);
    // A key's number, as the C library reads decimals: leading blanks and a
    // sign taken, reading stops at the first non-digit ("30s" is 30, letters
    // are 0). A value beyond 32 bits is clamped, never cut to its low bits.
    static int32_t g_nReadInt32(const CTString& csValue);
    // A key of the provider text, which is left as it is. Always 1.
    int bGetDataBaseHiddenInProvider(CTString* pcsValue, const wchar_t* pszKey) const;
    // 1 when no client library is wanted, or the wanted one is the library
    // loaded in the process (the same name, or, for a name without
    // directory, the same file name; case ignored); else user error 74 and 0.
    int _bCheckClientLibraryWanted(CNAError* pclError) const;
    // "Client" for 1, "Server" for 2, "Default" for 0, "Unknown" otherwise.
    static const wchar_t* s_pszGetCursorLocation(eCURSORLOCATION eLocation);

    // --- Dialect by database kind (connection_dialect.cpp).
    int bSupportSubQuery() const;
    int bSupportLimitOrTop() const;
    // -1: no known limit.
    int nGetVarCharMaxLen() const;
    int nGetNVarCharMaxLen() const;
    const wchar_t* pszGetVarCharType() const;
    const wchar_t* pszGetNVarCharType() const;
    const wchar_t* pszGetCLOBType() const;
    const wchar_t* pszGetNCLOBType() const;
    // Whether a transaction opened inside another is a savepoint of the
    // outer one rather than a transaction of its own.
    int bNestedTransactionsBySavepoint() const;

    // --- Identifiers (see identifier_quoting.h). Each returns 1.
    CNAIdentifierQuoting clGetQuoting() const;
    int _bNeedFormatName(CNAError* pclError, const wchar_t* pszName) const;
    int bFormatItemName(CNAError* pclError, const wchar_t* pszName, CTString* pcsOut) const;
    int bFormatTableName(CNAError* pclError, const wchar_t* pszName, CTString* pcsOut) const;
    void UnFormatItemName(const wchar_t* pszName, CTString* pcsOut) const;
    // No ".": the table; one: owner.table; more: database.owner.table, the
    // rest after the second "." being the table. Trailing blanks cut from
    // each non-empty part. Null outputs are skipped.
    static void DecomposeTableName(CTString* pcsDataBase, CTString* pcsOwner, CTString* pcsTable,
                                   const wchar_t* pszName);
    // A non-empty owner given wins; else, while the owner output is empty,
    // the name is split at its first "."; otherwise the name is the table.
    // An empty name changes nothing.
    static int bExtractOwner(const wchar_t* pszOwner, const wchar_t* pszName, CTString* pcsOwnerOut,
                             CTString* pcsTableOut);
    static int s_bReservedSQLWord(const wchar_t* pszName) { return CNAIdentifierQuoting::s_bReservedSQLWord(pszName); }

    // --- Literals and type names (connection_literals.cpp,
    // connection_cast.cpp, connection_types.cpp, connection_hexa.cpp).
    // The value's wide text (a copy cast to it); the string unchanged when
    // the value has none. 1.
    int bCopyString(CNAError* pclError, CXYString<wchar_t>* pOut, const CAny* pclValue);
    // The item type, size and integer and decimal digits of an SQL column
    // type text; a character set starting with "ucs2" or "utf8" makes the
    // texts Unicode. Unknown texts are memo texts. 1.
    int bSQLTypeNameToNAType(CNAError* pclError, eNA_ITEMTYPE* peType, unsigned* pnSize, unsigned* pnIntegerPart,
                             unsigned* pnDecimalPart, const wchar_t* pszType, const wchar_t* pszCharset);
    // The length in parentheses right after the keyword's place in the text
    // (blanks allowed around it), saturated at INT_MAX; 1 when there is none.
    static int _nGetSizeInTypeDecl(const wchar_t* pszType, const wchar_t* pszKeyword);
    // The SQL type text of an item, from the type map made on first use
    // (generic entries, then the database's own); 0 with user error 46 when
    // the map has none for the item's type.
    int bGetMatchingSQLType(CNAError* pclError, INAItemDescription* piItem, CTString* pcsOut);
    // A column's default value text as a value of the item's runtime type:
    // NULL for no text and "NULL"; a quoted text without its quotes and
    // escapes; otherwise read as database text.
    int bConvertStringToDefaultValue(CAny* pclValue, const wchar_t* pszText, CNAItemDescription* pclItem,
                                     CNAError* pclError);
    // Two upper-case hexadecimal digits a byte, then a terminator: the
    // output holds 2n + 1 characters.
    static void s_BinaryToStringHexa(const unsigned char* pby, unsigned long nCount, wchar_t* pszOut);
    static void s_BinaryToStringHexa(const unsigned char* pby, unsigned long nCount, char* pszOut);
    // The same appended to a builder; 0 with the out-of-memory error.
    static int s_bBinaryToStringHexa(CNAError* pclError, const unsigned char* pby, unsigned long nCount,
                                     CTStringConcatAW* pclOut);
    // The n bytes zeroed, then pairs of digits (either case) read into them
    // until a pair is incomplete or the n bytes are full. The bytes written.
    static unsigned long s_StringHexaToBinary(const wchar_t* psz, unsigned char* pby, unsigned long nSize);
    static unsigned long s_StringHexaToBinary(const char* psz, unsigned char* pby, unsigned long nSize);
    // Every ":", "-", " ", "/" and "." taken out of a date text.
    static void s_DateStandardise(CTString* pcsDate);

    // --- A column expression rendered as the host's compact date or time
    // text of the item's type (connection_expression.cpp): appended to the
    // builder; 1 for the date and time items, else the expression is
    // appended unchanged and the result is 0. The source item may be null.
    int bConvertExpressionToString(CNAError* pclError, CTStringConcatAW* pclOut, const wchar_t* pszExpression,
                                   INAItemDescription* piItem, INAItemDescription* piSourceItem) const;

    // --- Version texts.
    // Cuts the text at "." and reads the first piece into the major, the
    // second into the minor and the third into the release, stopping at the
    // first piece that does not exist. A piece is read as the digits it
    // starts with; one that does not start with a digit, or whose number
    // does not fit 32 bits, leaves its target as it was. Null targets are
    // skipped. Always 1.
    static int g_bDecomposeVersion(CNAError* pclError, const CTString* pcsVersion, int* pnMajor, int* pnMinor,
                                   int* pnRelease);

    // --- Modules.
    // The full file name of a loaded module (null: the executable); 0 when
    // none could be had or it does not fit 1,043 characters.
    static int g_bGetModuleFileName(void* hModule, CTString* pcsName);
    // The executable's file name without directory and last extension.
    static int g_bGetExeName(CTString* pcsName);

    // The client library loaded in the process: its version text and name,
    // and its version numbers; set by the client-library loader.
    static CTString m_csClientVersion;
    static CTString m_csClientLibrary;
    static int32_t m_nClientVersionMajor;
    static int32_t m_nClientVersionMinor;
    // The last connection number given; the first connection gets 1.
    static uint32_t m_gnCnxGenerator;

protected:
    void _InitCodePageFromZL();
    void _BuildConnexionString();
    // Reads and removes the driver's keys, in the order of its key table.
    void _ReadExtendedKeys();
    // Deletes the type map when there is one.
    void _ReleaseTypeMap();
    void _CloseTransactions();
    // The commit or roll-back of the current transaction; without one, the
    // site's user error with the name.
    int _bEndTransaction(CNAError* pclError, const wchar_t* pszName,
                         int (CNATransaction::*pfnEnd)(CNAError*, const wchar_t*), const stNAErrorSite& siteWithout);

    uint32_t m_nCnxNumber;
    INAConnectionDescription* m_piConnection;
    CTString m_csIdentification;
    CXYStringConcat<wchar_t> m_clConnectionString;
    int32_t m_bAutoCloseAllowed = 1;
    CNATransaction* m_pclTransaction = nullptr;
    CTString m_csInitialCatalog;
    int64_t m_llCacheSize = -2;
    eCURSORLOCATION m_eCursorLocation = NA_CURSOR_DEFAULT;
    CTString m_csExtendedInfo;
    int32_t m_nConnectionTimeout = -1;
    int32_t m_nCommandTimeout = -1;
    int32_t m_nLockTimeout = -1;
    CTString m_csRecordLockHint;
    // Made on first use by bGetMatchingSQLType, then filled by
    // _InitQF2NativeType; owned.
    CNAMapConvertType* m_pclMapConvertType = nullptr;
    int32_t m_nUnicodeSupport = 1;
    int32_t m_nRuntimeCodePage = -1;
    int32_t m_nClientTextCodePage = -1;
    CTString m_csSSLMode;
    CTString m_csSSLKey;
    CTString m_csSSLCert;
    CTString m_csSSLCA;
    CTString m_csSSLCAPath;
    CTString m_csSSLCipher;
    CTString m_csClientVersionWanted;
    CTString m_csClientLibraryWanted;
    CTString m_csApplicationName;
    int32_t m_nDBKind = 0;
    CTString m_csServerVersion;
    int32_t m_nServerMajor = -1;
    int32_t m_nServerMinor = 0;
    int32_t m_nServerPatch = 0;
    CTString m_csOpeningQuote;
    int32_t m_nOpeningQuoteLen = 0;
    CTString m_csClosingQuote;
    int32_t m_nClosingQuoteLen = 0;
    int32_t m_bOpenedBySQLFunctions = 0;
    uint32_t m_nOpenStates = 0;
    uint32_t m_nSavepointGenerator = 0;
    eTextTransactionEnd m_eTextTransactionEnd = eTextTransactionEnd::None;
    uint32_t m_nTextEndCode = 0;
    CTString m_csTextEndMessage;
};
