// The auto-increment object's slots: CInterf's three, then its own in their
// fixed order, which a database driver's object replaces by position; and
// the internal query's release after its two destructors.
#include <gtest/gtest.h>

#include "native/access/id_auto.h"
#include "native/access/internal_parse.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiIDAuto, SlotOrder)
{
    vxtest::ExpectSlots("CNAIDAuto", {
        VX_SLOT(CNAIDAuto, _NotToBeCalled, 2),
        VX_SLOT(CNAIDAuto, bGetNextValue, 3),
        VX_SLOT(CNAIDAuto, bGetMaxCurrentValue, 4),
        VX_SLOT(CNAIDAuto, _bBuildQueryGetNextValue, 5),
        VX_SLOT(CNAIDAuto, _bBuildQueryGetMaxCurrentValue, 6),
        VX_SLOT(CNAIDAuto, _PrefixMessageErreur, 7),
    });
    EXPECT_EQ(8, VX_SLOT_COUNT(CNAIDAuto));
    vxtest::ExpectSlots("CNAInternalParse", {VX_SLOT(CNAInternalParse, dwRelease, 2)});
}

}  // namespace
