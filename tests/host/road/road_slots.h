#pragma once

// The virtual-table slots the stand-in host program calls, by interface, in
// the host's numbering. The program calls them by index through
// vxstandin::CallSlot, as the host does, never through the driver's class
// declarations: what the driver answers in a slot is what the host gets.
namespace road {

// INAError.
constexpr long kErrorText = 5;  // pszGetError()
constexpr long kErrorId = 6;    // dwGetErrorId()
constexpr long kErrorType = 7;       // eGetErrorType()
constexpr long kErrorTableName = 8;  // pszGetLogicalTableName()
constexpr long kErrorItemName = 9;   // pszGetItemName()

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

// INATable (piGetTable); every slot but 5, 6, 9 and 62 takes the context first.
constexpr long kTableExternalRelease = 6;   // nExternalRelease()
constexpr long kTableLastError = 7;         // piGetLastError(ctx)
constexpr long kTableDescription = 9;       // piGetDataSourceDescription()
constexpr long kTableOpen = 15;             // bHOuvre(ctx, access, password)
constexpr long kTableClose = 17;            // bHFerme(ctx)
constexpr long kTableAdd = 18;              // bHAjoute(ctx, flags, lock)
constexpr long kTableWrite = 19;            // bHEcrit(ctx, record number, flags, lock)
constexpr long kTableDelete = 21;           // bHSupprime(ctx, record number, lock)
constexpr long kTableModify = 22;           // bHModifie(ctx, record number, flags, lock)
constexpr long kTableSearch = 23;           // bHRecherche(ctx, item, value, exact, fetch, lock, lock*, forward, flags)
constexpr long kTableRead = 26;             // bHLitxxx(ctx, item, direction, fetch, lock, lock*, flags)
constexpr long kTableOut = 32;              // bHEnDehors(ctx, item, int*)
constexpr long kTableFound = 33;            // bEvalHTrouve(ctx, item, int* found, int* valid)
constexpr long kTableFilter = 38;           // bHFiltre(ctx, item, low, low incl., high, high incl., query)
constexpr long kTableFilterOff = 40;        // bHDesactiveFiltre(ctx, item, flags)
constexpr long kTableCount = 45;            // bHNbEnr(ctx, long*, options, flags)
constexpr long kTableGetRecord = 50;        // bGetRecord(ctx, record**)
constexpr long kTableSetRecord = 51;        // bSetRecord(ctx, record*)

// INADataSourceDescription and INAItemDescription.
constexpr long kDescriptionExternalRelease = 6;  // nExternalRelease()
constexpr long kDescriptionLogicalName = 7;      // pszGetLogicalName()
constexpr long kDescriptionItemCount = 12;       // nGetNumItems()
constexpr long kDescriptionItem = 17;            // piNAGetItem(unsigned), one reference
constexpr long kItemExternalRelease = 6;         // nExternalRelease()
constexpr long kItemName = 7;                    // pszGetName()
constexpr long kItemType = 12;                   // eNAGetItemType()

// The record buffer (CNAQFRecord), whose first two slots are its destructor.
constexpr long kRecordSetValue = 7;    // vSetItemValue(item, const CAny*, element)
constexpr long kRecordGetValue = 8;    // vGetItemValue(CAny*, item, element) const
constexpr long kRecordSetDefined = 10; // vSetItemValueDefined(item, defined, element)
constexpr long kRecordDefined = 11;    // vbItemValueDefined(item, element) const

}  // namespace road
