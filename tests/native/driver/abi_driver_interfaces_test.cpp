// The slot order of the driver's interfaces that the host calls by position:
// INAVersion, INADriver, INADriverSQL and INAError.
#include <gtest/gtest.h>

#include "native/driver/na_driver.h"
#include "native/driver/na_driver_sql.h"
#include "native/driver/na_error.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiDriverInterfaces, VersionSlotsOpenEveryInterface)
{
    vxtest::ExpectSlots("INAVersion", {
        VX_SLOT(INAVersion, nGetVersion, 0),
        VX_SLOT(INAVersion, nGetCompatSince, 1),
        VX_SLOT(INAVersion, nGetNAVersion, 2),
        VX_SLOT(INAVersion, nGetNACompatSince, 3),
        VX_SLOT(INAVersion, NAVersion_EmptySlot_3, 4),
    });
    EXPECT_EQ(5, VX_SLOT_COUNT(INAVersion));
}

TEST(AbiDriverInterfaces, DriverSlots)
{
    vxtest::ExpectSlots("INADriver", {
        VX_SLOT(INADriver, nGetVersion, 0),
        VX_SLOT(INADriver, nGetNAVersion, 2),
        VX_SLOT(INADriver, nGetNACompatSince, 3),
        VX_SLOT(INADriver, ExternalAddRef, 5),
        VX_SLOT(INADriver, nExternalRelease, 6),
        VX_SLOT(INADriver, piGetInterface, 7),
        VX_SLOT(INADriver, bOpenConnection, 8),
        VX_SLOT(INADriver, bCloseConnection, 9),
        VX_SLOT(INADriver, bCopyContext, 10),
        VX_SLOT(INADriver, piGetLastError, 11),
        VX_SLOT(INADriver, bHMode, 12),
        VX_SLOT(INADriver, piGetTable, 13),
        VX_SLOT(INADriver, bGetTableList, 14),
        VX_SLOT(INADriver, piGetTableDesc, 15),
        VX_SLOT(INADriver, bHExecuteRequeteSQL, 16),
        VX_SLOT(INADriver, bCloseContext, 17),
        VX_SLOT(INADriver, bTransactionBegin, 18),
        VX_SLOT(INADriver, bTransactionCommit, 19),
        VX_SLOT(INADriver, bTransactionRollBack, 20),
        VX_SLOT(INADriver, bSQLBloqueTable, 21),
        VX_SLOT(INADriver, bSQLBloqueRequete, 22),
        VX_SLOT(INADriver, bSQLFormatColonne, 23),
        VX_SLOT(INADriver, bHConnexionDiagnose, 24),
        VX_SLOT(INADriver, bGetProviderList, 25),
        VX_SLOT(INADriver, bTableExists, 26),
        VX_SLOT(INADriver, bGetLinkList, 27),
        VX_SLOT(INADriver, bGetListeSource, 28),
        VX_SLOT(INADriver, bSetQueryParameters, 29),
        VX_SLOT(INADriver, bSetVMAndLibShop, 30),
        VX_SLOT(INADriver, bFiltreAuto, 31),
        VX_SLOT(INADriver, SetNextLogicalName, 32),
        VX_SLOT(INADriver, bHExecuteRequeteSQLEx, 33),
        VX_SLOT(INADriver, bFreeDataSource, 34),
        VX_SLOT(INADriver, bValidConnection, 35),
        VX_SLOT(INADriver, bSetQF, 36),
        VX_SLOT(INADriver, bSupprimeFichier, 37),
        VX_SLOT(INADriver, bGetDatabaseList, 38),
    });
    EXPECT_EQ(39, VX_SLOT_COUNT(INADriver));
}

TEST(AbiDriverInterfaces, DriverSQLSlots)
{
    using ListByTable = int (INADriverSQL::*)(CAny*, int, const wchar_t*, unsigned);
    using ListByStatement = int (INADriverSQL::*)(CAny*, int, int, unsigned);
    using DescByTable = INADataSourceDescription* (INADriverSQL::*)(int, const wchar_t*, unsigned);
    using DescByStatement = INADataSourceDescription* (INADriverSQL::*)(int, int, unsigned);
    vxtest::ExpectSlots("INADriverSQL", {
        VX_SLOT(INADriverSQL, NAVersion_EmptySlot_3, 4),
        VX_SLOT(INADriverSQL, ExternalAddRef, 5),
        VX_SLOT(INADriverSQL, nExternalRelease, 6),
        VX_SLOT(INADriverSQL, piGetLastError, 7),
        VX_SLOT(INADriverSQL, piGetInterface, 8),
        VX_SLOT(INADriverSQL, pReservedFct1, 9),
        VX_SLOT(INADriverSQL, pReservedFct5, 13),
        VX_SLOT(INADriverSQL, bLoadNativeDll, 14),
        VX_SLOT(INADriverSQL, bFreeNativeDll, 15),
        VX_SLOT(INADriverSQL, bOpenConnection, 16),
        VX_SLOT(INADriverSQL, bCloseConnection, 17),
        VX_SLOT(INADriverSQL, EmptySlot87, 18),
        VX_SLOT(INADriverSQL, bGetTableList, 19),
        VX_SLOT_AS(INADriverSQL, bGetColumnList, ListByTable, 20),
        VX_SLOT_AS(INADriverSQL, bGetColumnList, ListByStatement, 21),
        VX_SLOT_AS(INADriverSQL, piGetTableDesc, DescByTable, 22),
        VX_SLOT_AS(INADriverSQL, piGetTableDesc, DescByStatement, 23),
        VX_SLOT(INADriverSQL, bGetColumnTypeList, 24),
        VX_SLOT(INADriverSQL, bExecute, 25),
        VX_SLOT(INADriverSQL, bFreeStmt, 26),
        VX_SLOT(INADriverSQL, bGetStmtLastError, 27),
        VX_SLOT(INADriverSQL, bGetColumnNbr, 28),
        VX_SLOT(INADriverSQL, bGetColumnName, 29),
        VX_SLOT(INADriverSQL, bFetch, 30),
        VX_SLOT(INADriverSQL, bGetRow, 31),
        VX_SLOT(INADriverSQL, bGetValue, 32),
        VX_SLOT(INADriverSQL, bGetBLOBValue, 33),
        VX_SLOT(INADriverSQL, bTrsBegin, 34),
        VX_SLOT(INADriverSQL, bTrsCommit, 35),
        VX_SLOT(INADriverSQL, bTrsRollBack, 36),
        VX_SLOT(INADriverSQL, bSQLBloqueTable, 37),
        VX_SLOT(INADriverSQL, bSQLBloqueRequete, 38),
        VX_SLOT(INADriverSQL, bSetVMAndLibShop, 39),
        VX_SLOT(INADriverSQL, EmptySlot258, 40),
        VX_SLOT(INADriverSQL, EmptySlot293, 75),
        VX_SLOT(INADriverSQL, EmptySlot301, 76),
    });
    EXPECT_EQ(77, VX_SLOT_COUNT(INADriverSQL));
}

TEST(AbiDriverInterfaces, ErrorSlots)
{
    vxtest::ExpectSlots("INAError", {
        VX_SLOT(INAError, nGetVersion, 0),
        VX_SLOT(INAError, pszGetError, 5),
        VX_SLOT(INAError, dwGetErrorId, 6),
        VX_SLOT(INAError, eGetErrorType, 7),
        VX_SLOT(INAError, pszGetLogicalTableName, 8),
        VX_SLOT(INAError, pszGetItemName, 9),
        VX_SLOT(INAError, pclGetXError, 10),
        VX_SLOT(INAError, eGetErrorLevel, 11),
        VX_SLOT(INAError, EmptySlot52, 12),
        VX_SLOT(INAError, EmptySlot56, 16),
    });
    EXPECT_EQ(17, VX_SLOT_COUNT(INAError));
    static_assert(sizeof(eNA_ERRORTYPE) == 4 && sizeof(eNAERRORLEVEL) == 4);
}

}  // namespace
