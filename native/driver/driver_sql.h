#pragma once

#include <cstdint>

#include "common/text/ref_hash_table.h"
#include "common/text/xy_string_concat.h"
#include "native/driver/error_sites.h"
#include "native/driver/na_driver_sql.h"
#include "native/driver/na_ref_hooks.h"

// The object behind INADriverSQL: the host's SQL functions, which address
// connections by their numbers and result statements by theirs. The driver
// makes it once, on first demand, through its slot 61 (the concrete driver
// derives its own and supplies the execution statement, slot 84), and keeps
// it with one internal reference; the host holds external references.
// When a release leaves both counts at 0 the object deletes itself.
//
// It shares the driver's error object (one reference held). It names its
// driver without a reference: the driver detaches itself when it ends, and
// from then on the slots that need the driver answer 0.
//
// Slots 77 onwards are its own; the connection forms of the list operations
// overload the handle forms of the interface and are declared in slot order.
//
// Handles: a connection is addressed by its number (any connection of the
// driver's registry, also one the host opened through INADriver); a result
// statement by its number, in the table of open statements, which holds one
// reference on each. 0 is never a valid handle. Column numbers of the slots
// count from 1; the statement counts them from 0. The slots that work (16
// to 38, but 18) follow the driver's entry protocol on the shared error
// object, slot 27 without resetting it.
//
// Lists (driver_sql_lists.cpp, driver_sql_links.cpp) are wide texts: lines
// separated by CR LF, fields by a tab.
class CNADriverSQL : public INADriverSQL
{
public:
    CNADriverSQL(CNADriver* pclDriver, CNAError* pclError);
    CNADriverSQL(const CNADriverSQL&) = delete;
    CNADriverSQL& operator=(const CNADriverSQL&) = delete;

    // INADriverSQL, slots 0-76.
    int nGetVersion() const override { return 4; }
    int nGetCompatSince() const override { return 2; }
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }
    void NAVersion_EmptySlot_3() override {}
    // Both under the driver-wide lock, which guards the internal count the
    // driver changes: the host may call them from any thread.
    void ExternalAddRef() override;
    unsigned nExternalRelease() override;
    INAError* piGetLastError() override;
    void* piGetInterface(int) override { return nullptr; }
    void* pReservedFct1(unsigned char*) override { return nullptr; }
    void* pReservedFct2(unsigned char*) override { return nullptr; }
    void* pReservedFct3(unsigned char*) override { return nullptr; }
    void* pReservedFct4(unsigned char*) override { return nullptr; }
    void* pReservedFct5(unsigned char*) override { return nullptr; }
    // The client library is loaded with the first connection.
    int bLoadNativeDll(unsigned char*, unsigned) override { return 1; }
    int bFreeNativeDll(unsigned char*, unsigned) override { return 1; }
    int bOpenConnection(int* pnConnection, INAConnectionDescription* piConnection) override;
    int bCloseConnection(int nConnection) override;
    void EmptySlot87() override {}
    int bGetTableList(CAny* pclList, int nConnection, const wchar_t* pszFilter, unsigned nFlags) override;
    int bGetColumnList(CAny* pclList, int nConnection, const wchar_t* pszTable, unsigned nFlags) override;
    int bGetColumnList(CAny* pclList, int nConnection, int nStatement, unsigned nFlags) override;
    INADataSourceDescription* piGetTableDesc(int nConnection, const wchar_t* pszTable, unsigned nFlags) override;
    INADataSourceDescription* piGetTableDesc(int nConnection, int nStatement, unsigned nFlags) override;
    int bGetColumnTypeList(CAny* pclList, int nConnection, unsigned nFlags) override;
    int bExecute(int* pnStatement, int nConnection, const wchar_t* pszSQL, CTabValParser* pstValues,
                 unsigned nFlags) override;
    int bFreeStmt(int nConnection, int nStatement, unsigned nFlags) override;
    int bGetStmtLastError(INAError** ppiError, int nConnection, int nStatement) override;
    int bGetColumnNbr(int* pnColumns, int nConnection, int nStatement, unsigned nFlags) override;
    int bGetColumnName(CAny* pclName, int nConnection, int nStatement, unsigned nColumn, unsigned nFlags) override;
    int bFetch(int nConnection, int nStatement, unsigned nFlags) override;
    int bGetRow(CAny* pclRow, int nConnection, int nStatement, const wchar_t* pszSeparator, int nOption,
                unsigned nFlags) override;
    int bGetValue(CAny* pclValue, int nConnection, int nStatement, unsigned nColumn, unsigned nFlags) override;
    int bGetBLOBValue(CAny* pclValue, int nConnection, int nStatement, unsigned nColumn, unsigned nFlags) override;
    int bTrsBegin(int* pnTransaction, int nConnection, unsigned nFlags) override;
    int bTrsCommit(int nTransaction, int nConnection, unsigned nFlags) override;
    int bTrsRollBack(int nTransaction, int nConnection, unsigned nFlags) override;
    int bSQLBloqueTable(int nConnection, const wchar_t* pszTable, unsigned nFlags) override;
    int bSQLBloqueRequete(int nConnection, const wchar_t* pszSQL, unsigned nFlags) override;
    // Passed on to the driver.
    int bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData) override;
    void EmptySlot258() override {}
    void EmptySlot259() override {}
    void EmptySlot260() override {}
    void EmptySlot261() override {}
    void EmptySlot262() override {}
    void EmptySlot263() override {}
    void EmptySlot264() override {}
    void EmptySlot265() override {}
    void EmptySlot266() override {}
    void EmptySlot267() override {}
    void EmptySlot268() override {}
    void EmptySlot269() override {}
    void EmptySlot270() override {}
    void EmptySlot271() override {}
    void EmptySlot272() override {}
    void EmptySlot273() override {}
    void EmptySlot274() override {}
    void EmptySlot275() override {}
    void EmptySlot276() override {}
    void EmptySlot277() override {}
    void EmptySlot278() override {}
    void EmptySlot279() override {}
    void EmptySlot280() override {}
    void EmptySlot281() override {}
    void EmptySlot282() override {}
    void EmptySlot283() override {}
    void EmptySlot284() override {}
    void EmptySlot285() override {}
    void EmptySlot286() override {}
    void EmptySlot287() override {}
    void EmptySlot288() override {}
    void EmptySlot289() override {}
    void EmptySlot290() override {}
    void EmptySlot291() override {}
    void EmptySlot292() override {}
    void EmptySlot293() override {}
    void EmptySlot301() override {}

    // Slots 77-78: the error object's reference dropped, every open
    // statement released.
    virtual ~CNADriverSQL();

    // Slots 79-89.
    using INADriverSQL::bGetColumnList;
    using INADriverSQL::bGetTableList;
    using INADriverSQL::bSQLBloqueRequete;
    using INADriverSQL::bSQLBloqueTable;
    virtual int bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszFilter,
                              unsigned nFlags);                                                       // 79
    virtual int bGetColumnList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                               unsigned nFlags);                                                      // 80
    virtual int bGetLinkList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                             INADataSourceDescription* piSource, unsigned nFlags);                    // 81
    virtual int bSQLBloqueRequete(CNAConnectionDescription* pclConnection, const wchar_t* pszSQL,
                                  unsigned nFlags);                                                   // 82
    virtual int bSQLBloqueTable(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                const wchar_t* pszTable, unsigned nFlags);                            // 83
    // A new execution statement on the connection, with no reference; null
    // when none can be made.
    virtual CNAStatementSQL* pclAllocStatementSQL(CNAConnectionDescription* pclConnection,
                                                  CNAError* pclError) = 0;                            // 84
    virtual void _GetTableList_GetFilter(CXYStringConcat<wchar_t>* pclFilter, const wchar_t* pszFilter,
                                         unsigned nFlags);                                            // 85
    virtual int _bGetDatabaseList(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                  unsigned nFlags);                                                   // 86
    virtual int _bGetDatabaseListQuery(CTStringConcatAW* pclQuery, CNAConnectionDescription* pclConnection,
                                       unsigned nFlags);                                              // 87
    virtual int _bGetDatabaseTableListQuery(CTStringConcatAW* pclQuery, const wchar_t* pszDatabase,
                                            CNAConnectionDescription* pclConnection, unsigned nFlags);  // 88
    virtual int _bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection,
                               const wchar_t* pszCondition, unsigned nFlags);                         // 89

    // The referential rule of a foreign key clause's text.
    enum eSQLForeignKeysRules : int32_t
    {
        NA_FK_UNKNOWN = -1,
        NA_FK_CASCADE = 0,
        NA_FK_RESTRICT = 1,
        NA_FK_SET_NULL = 2,
        NA_FK_NO_ACTION = 3,
        NA_FK_SET_DEFAULT = 4,
    };
    // List flags.
    enum : unsigned
    {
        NA_LIST_BASE_TABLES = 1,
        NA_LIST_VIEWS = 2,
        NA_LIST_SYSTEM_TABLES = 4,
        NA_LIST_SORTED = 16,
        NA_LIST_DETAILED = 32,
    };

    // The databases, and with the table-type flags the tables of each,
    // built by slot 86 and put into the string whatever its result (empty
    // when nothing was built). Slot 86's result.
    int bGetDatabaseList(CXYString<wchar_t>* pclList, CNAConnectionDescription* pclConnection, unsigned nFlags);
    // Runs the query and appends each row, its columns separated by a tab
    // (at most nColumns a row when above 0), rows separated by
    // pszRowSeparator. 0 when the query or a row read fails.
    int _bGetList(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszSQL,
                  unsigned nColumns, unsigned nFlags, const wchar_t* pszRowSeparator);
    // The same with rows separated by CR LF, the text put into the value.
    int _bGetList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszSQL, unsigned nColumns,
                  unsigned nFlags);
    // Appends one link line (CR LF first when the text is not empty): its
    // name, [owner 1 "."] table 1 "_" [owner 2 "."] table 2, then, separated
    // by tabs, the first table, its columns, "0,N", the second table, its
    // columns, "0,1", and with the detailed flag the codes of both rules.
    static int s_bConcatConstraint(CXYStringConcat<wchar_t>* pclList, unsigned nFlags, const wchar_t* pszOwner1,
                                   const wchar_t* pszTable1, const wchar_t* pszColumns1, const wchar_t* pszOwner2,
                                   const wchar_t* pszTable2, const wchar_t* pszColumns2, eSQLForeignKeysRules eRule1,
                                   eSQLForeignKeysRules eRule2);
    // The rule named by the text (upper-cased first); NA_FK_UNKNOWN for any
    // other text. 1.
    static int _bTextToeSQLForeignKeysRules(const wchar_t* pszText, eSQLForeignKeysRules* peRule);
    // The code of a rule in a link line: "2022" cascade, "2021" restrict (and
    // any rule not listed), "2023" set null or set default, "2020" no action.
    static const wchar_t* s_pszRuleCode(eSQLForeignKeysRules eRule);

    // Runs a text with its parameter values on the connection through a new
    // execution statement (slot 84). The statement comes back, with one
    // reference for the caller, only when the result has columns; otherwise
    // it is released and *ppclResult is null. 0 on failure, the reason in
    // pclError.
    int bExecute(CNAError* pclError, CNAStatementSQL** ppclResult, CNAConnectionDescription* pclConnection,
                 const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags);

    void AddRef() { ++m_dwRefCount; }
    // A count at 0 stays 0; when both counts are 0 after a release the
    // object deletes itself. Each answers the new count.
    unsigned nRelease();
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount; }
    CNADriver* pclGetDriver() const { return m_pclDriver; }
    // Called by the driver when it ends.
    void _DetachDriver() { m_pclDriver = nullptr; }

    // Numbers the private connection keys of the handle connections.
    static uint32_t m_gnCnxNameGenerator;

protected:
    // The connection of that number, with a reference for the caller (who
    // hands it back through the driver); null for an unknown number or
    // without a driver.
    CNAConnectionDescription* _pclGetConnection(int nConnection);
    void _ReleaseConnection(CNAConnectionDescription* pclConnection);
    // f(connection) on the connection of that number, held for the call;
    // rNone for an unknown number.
    template <class R, class F>
    R _WithConnection(int nConnection, R rNone, F f)
    {
        CNAConnectionDescription* pclConnection = _pclGetConnection(nConnection);
        if (pclConnection == nullptr)
            return rNone;
        const R r = f(pclConnection);
        _ReleaseConnection(pclConnection);
        return r;
    }
    // bExecute of the slot on a found connection: a result with columns is
    // kept under its statement's number.
    int _bExecuteKept(int* pnStatement, CNAConnectionDescription* pclConnection, const wchar_t* pszSQL,
                      CTabValParser* pstValues, unsigned nFlags);
    // Slot 86's work, before its sort.
    int _bGetDatabaseListWork(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                              unsigned nFlags);
    // The link lines of a CREATE TABLE text (link_parser.h), the composite
    // keys looked up in descriptions read once for the parse; pszListedTable
    // is the listed table's field, pszLookupTable its name in the database.
    int _bExtraitLink_FromShowCreateTable(CXYStringConcat<wchar_t>* pclLinks, const wchar_t* pszText,
                                          const wchar_t* pszListedTable, const wchar_t* pszLookupTable,
                                          CNAConnectionDescription* pclConnection, unsigned nFlags);
    // 1 while the connection's outermost transaction is active; otherwise
    // the site's user error and 0.
    int _bInTransaction(CNAConnectionDescription* pclConnection, const stNAErrorSite& site);
    // The open statement of that number, with a reference for the caller;
    // null for 0 or an unknown number.
    CNAStatementSQL* _pclGetStatement(int nStatement);
    // f(statement) on the open statement of that number, held for the call,
    // its last error cleared first; rNone for 0 or an unknown number.
    template <class R, class F>
    R _WithStatement(int nStatement, R rNone, F f)
    {
        CNAStatementSQL* pclStatement = _pclGetStatement(nStatement);
        if (pclStatement == nullptr)
            return rNone;
        _ResetStatementError(pclStatement);
        const R r = f(pclStatement);
        _ReleaseStatement(pclStatement);
        return r;
    }
    static void _ResetStatementError(CNAStatementSQL* pclStatement);
    static void _ReleaseStatement(CNAStatementSQL* pclStatement);

    uint32_t m_dwRefCount = 0;
    uint32_t m_dwExternalRefCount = 0;
    CNADriver* m_pclDriver;
    CNAError* m_pclError;
    CNARefHashTable<int, CNAStatementSQL*, CNARefHooksOf<CNAStatementSQL>> m_tabStatement{7};
};
