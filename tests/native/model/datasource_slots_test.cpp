// The data-source description's own slots after the host's 40.
#include <gtest/gtest.h>

#include "native/model/data_source_description.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(DataSourceSlots, OwnSlotsFollowTheInterface)
{
    vxtest::ExpectSlots("CNADataSourceDescription", {
        VX_SLOT(CNADataSourceDescription, EmptySlot146, 39),
        VX_SLOT(CNADataSourceDescription, pclNAGetItem, 42),
        VX_SLOT(CNADataSourceDescription, bAreDescriptionCompatible, 43),
        VX_SLOT(CNADataSourceDescription, MakeNewName, 44),
        VX_SLOT(CNADataSourceDescription, pclGetCloneDataSourceDescription, 45),
        VX_SLOT(CNADataSourceDescription, _bGetDataSourceInfo, 46),
        VX_SLOT(CNADataSourceDescription, _bGetQueryShowColumns, 47),
        VX_SLOT(CNADataSourceDescription, _bInitItemFromQueryShowColumns, 48),
        VX_SLOT(CNADataSourceDescription, _bGetQueryShowIndex, 49),
        VX_SLOT(CNADataSourceDescription, _bInitKeysFromQueryShowIndex, 50),
    });
    EXPECT_EQ(51, VX_SLOT_COUNT(CNADataSourceDescription));
}

}  // namespace
