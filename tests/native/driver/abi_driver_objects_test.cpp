// The slots the driver object and the SQL-functions object add after their
// interfaces, and the version answers the host reads from both by index.
#include <gtest/gtest.h>

#include "native/driver/error_object.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/abi_slots.h"

namespace {

class AbiDriverObjects : public ::testing::Test
{
protected:
    void SetUp() override { StartTestDriverModule(); }
};

TEST_F(AbiDriverObjects, DriverOwnSlots)
{
    // Slots 39 and 40 are the destructors.
    vxtest::ExpectSlots("CNADriver", {
        VX_SLOT(CNADriver, bGetDatabaseList, 38),
        VX_SLOT(CNADriver, bSetCharset, 41),
        VX_SLOT(CNADriver, bBuildCnxIdentification, 42),
        VX_SLOT(CNADriver, pclGetDriverSQL, 43),
        VX_SLOT(CNADriver, pclAllocVariant, 44),
        VX_SLOT(CNADriver, pclAllocVariantRowID, 45),
        VX_SLOT(CNADriver, pclAllocDataSourceDescription, 46),
        VX_SLOT(CNADriver, pclAllocContext, 47),
        VX_SLOT(CNADriver, pclAllocDataAccess, 48),
        VX_SLOT(CNADriver, pclAllocStatement, 49),
        VX_SLOT(CNADriver, pclAllocColumn, 50),
        VX_SLOT(CNADriver, pclAllocCommand, 51),
        VX_SLOT(CNADriver, pclAllocError, 52),
        VX_SLOT(CNADriver, pclAllocIDAuto, 53),
        VX_SLOT(CNADriver, _pclGetTableDesc, 54),
        VX_SLOT(CNADriver, pclAllocParameter, 55),
        VX_SLOT(CNADriver, CancelRecordLock, 56),
        VX_SLOT(CNADriver, pclAllocItemDescription, 57),
        VX_SLOT(CNADriver, OnFatalErrorAddDebugMessage, 58),
        VX_SLOT(CNADriver, _pclAllocConnectionDescription, 59),
        VX_SLOT(CNADriver, _pclAllocTable, 60),
        VX_SLOT(CNADriver, _pclAllocDriverSQL, 61),
        VX_SLOT(CNADriver, _bGetDatabaseList, 62),
        VX_SLOT(CNADriver, _bGetTableList, 63),
        VX_SLOT(CNADriver, _bTableExists, 64),
        VX_SLOT(CNADriver, _bGetLinkList, 65),
        VX_SLOT(CNADriver, _BeforeDeath, 66),
    });
    EXPECT_EQ(67, VX_SLOT_COUNT(CNADriver));
}

TEST_F(AbiDriverObjects, DriverSQLOwnSlots)
{
    using TableListByConnection = int (CNADriverSQL::*)(CAny*, CNAConnectionDescription*, const wchar_t*, unsigned);
    using ColumnListByConnection = int (CNADriverSQL::*)(CAny*, CNAConnectionDescription*, const wchar_t*, unsigned);
    using LockQueryByConnection = int (CNADriverSQL::*)(CNAConnectionDescription*, const wchar_t*, unsigned);
    using LockTableByConnection =
        int (CNADriverSQL::*)(CNAError*, CNAConnectionDescription*, const wchar_t*, unsigned);
    using TableListByHandle = int (CNADriverSQL::*)(CAny*, int, const wchar_t*, unsigned);
    // Slots 77 and 78 are the destructors.
    vxtest::ExpectSlots("CNADriverSQL", {
        VX_SLOT_AS(CNADriverSQL, bGetTableList, TableListByHandle, 19),
        VX_SLOT(CNADriverSQL, EmptySlot301, 76),
        VX_SLOT_AS(CNADriverSQL, bGetTableList, TableListByConnection, 79),
        VX_SLOT_AS(CNADriverSQL, bGetColumnList, ColumnListByConnection, 80),
        VX_SLOT(CNADriverSQL, bGetLinkList, 81),
        VX_SLOT_AS(CNADriverSQL, bSQLBloqueRequete, LockQueryByConnection, 82),
        VX_SLOT_AS(CNADriverSQL, bSQLBloqueTable, LockTableByConnection, 83),
        VX_SLOT(CNADriverSQL, pclAllocStatementSQL, 84),
        VX_SLOT(CNADriverSQL, _GetTableList_GetFilter, 85),
        VX_SLOT(CNADriverSQL, _bGetDatabaseList, 86),
        VX_SLOT(CNADriverSQL, _bGetDatabaseListQuery, 87),
        VX_SLOT(CNADriverSQL, _bGetDatabaseTableListQuery, 88),
        VX_SLOT(CNADriverSQL, _bGetTableList, 89),
    });
    EXPECT_EQ(90, VX_SLOT_COUNT(CNADriverSQL));
}

TEST_F(AbiDriverObjects, VersionAnswersByIndex)
{
    auto* driver = new CTestDriver;
    driver->ExternalAddRef();
    driver->AllocError();
    EXPECT_EQ(18, vxtest::CallSlot<int>(driver, 0));
    EXPECT_EQ(17, vxtest::CallSlot<int>(driver, 1));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(driver, 2));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(driver, 3));
    vxtest::CallSlot<void>(driver, 4);
    EXPECT_EQ(1, vxtest::CallSlot<int>(driver, 41, 0u, nullptr));
    EXPECT_EQ(nullptr, vxtest::CallSlot<void*>(driver, 45, nullptr, nullptr));

    void* sql = vxtest::CallSlot<void*>(driver, 7, 1);
    ASSERT_NE(nullptr, sql);
    EXPECT_EQ(4, vxtest::CallSlot<int>(sql, 0));
    EXPECT_EQ(2, vxtest::CallSlot<int>(sql, 1));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(sql, 2));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(sql, 3));
    EXPECT_EQ(driver->pclGetError(), vxtest::CallSlot<INAError*>(sql, 7));
    EXPECT_EQ(nullptr, vxtest::CallSlot<void*>(sql, 8, 1));
    EXPECT_EQ(nullptr, vxtest::CallSlot<void*>(sql, 13, nullptr));
    EXPECT_EQ(1, vxtest::CallSlot<int>(sql, 14, nullptr, 0u));
    EXPECT_EQ(1, vxtest::CallSlot<int>(sql, 15, nullptr, 0u));
    vxtest::CallSlot<void>(sql, 18);
    vxtest::CallSlot<void>(sql, 40);
    vxtest::CallSlot<void>(sql, 76);
    EXPECT_EQ(0u, vxtest::CallSlot<unsigned>(sql, 6));
    EXPECT_EQ(0u, driver->nExternalRelease());
}

}  // namespace
