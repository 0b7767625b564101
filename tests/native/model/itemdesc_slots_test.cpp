// The item description's own slots after the host's 55, and the slots the
// host calls answering through the description's table.
#include <gtest/gtest.h>

#include "native/model/item_description.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(ItemDescSlots, OwnSlotsFollowTheInterface)
{
    // Slots 55 and 56 are the destructors.
    vxtest::ExpectSlots("CNAItemDescription", {
        VX_SLOT(CNAItemDescription, pszGetName, 7),
        VX_SLOT(CNAItemDescription, vbConstraintNullAllowed, 54),
        VX_SLOT(CNAItemDescription, SetIntegerPart, 57),
        VX_SLOT(CNAItemDescription, SetDecimalPart, 58),
        VX_SLOT(CNAItemDescription, pclGetCloneItemDescription, 59),
    });
    EXPECT_EQ(60, VX_SLOT_COUNT(CNAItemDescription));
}

TEST(ItemDescSlots, HostCallsByPosition)
{
    CNAItemDescription item;
    item.bInit(L"NAME", L"CUSTOMER", L"CUST_NAME", 2, 11, NA_IT_TEXTE, 3, -1, 0x2800, 0, 0);
    item.SetOffset(40);
    INAItemDescription* pi = &item;
    EXPECT_EQ(9, vxtest::CallSlot<int>(pi, 0));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 1));
    EXPECT_STREQ(L"NAME", vxtest::CallSlot<const wchar_t*>(pi, 7));
    EXPECT_EQ(2, vxtest::CallSlot<int>(pi, 8));
    EXPECT_EQ(20, vxtest::CallSlot<int>(pi, 10, -1));
    EXPECT_EQ(22, vxtest::CallSlot<int>(pi, 11));
    EXPECT_EQ(NA_IT_TEXTE, vxtest::CallSlot<int>(pi, 12));
    EXPECT_EQ(3, vxtest::CallSlot<int>(pi, 13));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 14));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 19));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 24));
    EXPECT_EQ(51, vxtest::CallSlot<int>(pi, 32, 1));
    EXPECT_STREQ(L"CUST_NAME", vxtest::CallSlot<const wchar_t*>(pi, 42));
    EXPECT_STREQ(L"CUSTOMER", vxtest::CallSlot<const wchar_t*>(pi, 43));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 54));
    vxtest::CallSlot<void>(pi, 5);
    EXPECT_EQ(1u, item.nGetExternalRef());
    item.AddRef();  // kept alive: it lives on the stack
    EXPECT_EQ(0u, vxtest::CallSlot<unsigned>(pi, 6));
    vxtest::CallSlot<void>(pi, 57, 12);
    EXPECT_EQ(12, item.nGetIntegerPart());
}

}  // namespace
