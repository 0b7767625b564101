// The slot order of the host's own interfaces that the driver calls by
// position, and the layout of the host's parameter-value table.
#include <gtest/gtest.h>

#include "native/driver/host_connection_description.h"
#include "native/driver/host_context.h"
#include "native/driver/host_query_parameters.h"
#include "native/driver/host_tab_val_parser.h"
#include "native/model/host_info_rubrique.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiHostInterfaces, ConnectionDescriptionSlots)
{
    vxtest::ExpectSlots("INAConnectionDescription", {
        VX_SLOT(INAConnectionDescription, nGetVersion, 0),
        VX_SLOT(INAConnectionDescription, ExternalAddRef, 5),
        VX_SLOT(INAConnectionDescription, nExternalRelease, 6),
        VX_SLOT(INAConnectionDescription, pszGetUserName, 7),
        VX_SLOT(INAConnectionDescription, pszGetPassword, 8),
        VX_SLOT(INAConnectionDescription, pszGetDataBase, 9),
        VX_SLOT(INAConnectionDescription, pszGetDescription, 10),
        VX_SLOT(INAConnectionDescription, eGetAccess, 11),
        VX_SLOT(INAConnectionDescription, nGetNbParam, 12),
        VX_SLOT(INAConnectionDescription, pszGetParam, 13),
        VX_SLOT(INAConnectionDescription, pszGetProvider, 14),
        VX_SLOT(INAConnectionDescription, nGetConnectionTimeout, 15),
        VX_SLOT(INAConnectionDescription, nGetCommandTimeout, 16),
        VX_SLOT(INAConnectionDescription, pszGetExtendedInfo, 17),
        VX_SLOT(INAConnectionDescription, pszGetConnectionName, 18),
        VX_SLOT(INAConnectionDescription, lGetCursorOptions, 19),
        VX_SLOT(INAConnectionDescription, EmptySlot20, 20),
        VX_SLOT(INAConnectionDescription, pszGetDefaultDataBase, 21),
        VX_SLOT(INAConnectionDescription, llGetDefaultCacheSize, 22),
        VX_SLOT(INAConnectionDescription, EmptySlot23, 23),
        VX_SLOT(INAConnectionDescription, EmptySlot24, 24),
        VX_SLOT(INAConnectionDescription, pszGetLogicalConnectionName, 25),
    });
    EXPECT_EQ(26, VX_SLOT_COUNT(INAConnectionDescription));
}

TEST(AbiHostInterfaces, ContextQueryValuesAndItemSlots)
{
    vxtest::ExpectSlots("INAContext", {
        VX_SLOT(INAContext, ExternalAddRef, 5),
        VX_SLOT(INAContext, nExternalRelease, 6),
        VX_SLOT(INAContext, dwGetDataID, 7),
        VX_SLOT(INAContext, dwGetCtxID, 8),
    });
    static_assert(sizeof(unsigned long) == 8, "both identifiers are 64-bit");
    vxtest::ExpectSlots("INAQueryParametersValue", {
        VX_SLOT(INAQueryParametersValue, ExternalAddRef, 5),
        VX_SLOT(INAQueryParametersValue, nExternalRelease, 6),
        VX_SLOT(INAQueryParametersValue, bHasBindVariables, 8),
        VX_SLOT(INAQueryParametersValue, pclGetValue, 14),
        VX_SLOT(INAQueryParametersValue, nGetParameterKind, 15),
        VX_SLOT(INAQueryParametersValue, bPrepareCalled, 16),
    });
    // After the two destructors and dwRelease of CVXUnknown.
    vxtest::ExpectSlots("IInfoRubrique", {
        VX_SLOT(IInfoRubrique, dwRelease, 2),
        VX_SLOT(IInfoRubrique, eGetQFType, 3),
        VX_SLOT(IInfoRubrique, nGetFunctionCode, 4),
        VX_SLOT(IInfoRubrique, nGetSize, 5),
        VX_SLOT(IInfoRubrique, dwGetCalculValue, 6),
    });
}

}  // namespace
