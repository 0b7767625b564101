#pragma once

// The virtual-table slots the stand-in host program calls, by interface, in
// the host's numbering. The program calls them by index through
// vxstandin::CallSlot, as the host does, never through the driver's class
// declarations: what the driver answers in a slot is what the host gets.
namespace road {

// INAError.
constexpr long kErrorText = 5;  // pszGetError()

// INADriver.
constexpr long kDriverExternalRelease = 6;     // nExternalRelease()
constexpr long kDriverGetInterface = 7;        // piGetInterface(int)
constexpr long kDriverOpenConnection = 8;      // bOpenConnection(conn)
constexpr long kDriverCloseConnection = 9;     // bCloseConnection(conn)
constexpr long kDriverLastError = 11;          // piGetLastError()
constexpr long kDriverGetTable = 13;           // piGetTable(conn, description)
constexpr long kDriverGetTableDesc = 15;       // piGetTableDesc(name, conn)
constexpr long kDriverCloseContext = 17;       // bCloseContext(context)
constexpr long kDriverDatabaseList = 38;       // bGetDatabaseList(text, conn, flags)

// INADriverSQL (piGetInterface(1)).
constexpr long kSQLExternalRelease = 6;   // nExternalRelease()
constexpr long kSQLLastError = 7;         // piGetLastError()
constexpr long kSQLOpenConnection = 16;   // bOpenConnection(int*, conn)
constexpr long kSQLCloseConnection = 17;  // bCloseConnection(int)
constexpr long kSQLTableList = 19;        // bGetTableList(list, cnx, filter, flags)
constexpr long kSQLColumnList = 20;       // bGetColumnList(list, cnx, table, flags)
constexpr long kSQLColumnTypeList = 24;   // bGetColumnTypeList(list, cnx, flags)
constexpr long kSQLExecute = 25;          // bExecute(int*, cnx, sql, values, flags)
constexpr long kSQLFreeStmt = 26;         // bFreeStmt(cnx, stmt, flags)
constexpr long kSQLColumnNbr = 28;        // bGetColumnNbr(int*, cnx, stmt, flags)
constexpr long kSQLColumnName = 29;       // bGetColumnName(name, cnx, stmt, column, flags)
constexpr long kSQLFetch = 30;            // bFetch(cnx, stmt, flags)
constexpr long kSQLGetRow = 31;           // bGetRow(row, cnx, stmt, separator, n, flags)
constexpr long kSQLGetValue = 32;         // bGetValue(value, cnx, stmt, column, flags)

}  // namespace road
