// A binary value made of one byte per element of an array of values.
#include "tests/common/text/any_fixture.h"

namespace {

class ZLBinTabAny : public vxtest::StrMemTest
{
};

TEST_F(ZLBinTabAny, OneBytePerElement)
{
    CAny items[4];
    items[0].SetUI1(200);
    items[1].SetI1(-1);
    items[2].SetI4(7);
    items[3].SetUI8(0);
    CZLBIN bin;
    EXPECT_EQ(0, bin.nAssignInit(STTabAny{items, 4}));
    EXPECT_EQ((std::vector<unsigned char>{200, 255, 7, 0}), vxtest::Bytes(bin.pbyGet(), 4));
    EXPECT_EQ(4, bin.nGetTailleUtile());
}

TEST_F(ZLBinTabAny, NothingIsMadeWhenAnElementIsNoByte)
{
    const long live = A().LiveBlocks();
    CAny items[3];
    items[0].SetUI1(1);
    items[1].SetI2(-1);  // not a byte value
    items[2].SetUI1(3);
    CZLBIN bin;
    EXPECT_EQ(ANY_ERR_PAS_UN_OCTET, bin.nAssignInit(STTabAny{items, 3}));
    EXPECT_EQ(nullptr, bin.pbyGetBlock());
    EXPECT_EQ(live, A().LiveBlocks());
    items[1].SetUI1(2);
    items[2].SetNull();
    EXPECT_EQ(ANY_ERR_PAS_UN_OCTET, bin.nAssignInit(STTabAny{items, 3})) << "NULL is no byte";
    EXPECT_EQ(0, A().Calls(StandinStrMemAlloc::kAllocEx) + A().Calls(StandinStrMemAlloc::kAlloc));
}

TEST_F(ZLBinTabAny, EmptyArraysAndCountsBeyondTheLimit)
{
    CZLBIN bin;
    EXPECT_EQ(0, bin.nAssignInit(STTabAny{nullptr, 0}));
    EXPECT_EQ(nullptr, bin.pbyGetBlock());
    CAny one;
    one.SetUI1(1);
    EXPECT_EQ(0, bin.nAssignInit(STTabAny{&one, 0}));
    EXPECT_EQ(nullptr, bin.pbyGetBlock());
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, bin.nAssignInit(STTabAny{&one, 0x80000000ull}));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, bin.nAssignInit(STTabAny{&one, ~0ull}));
}

}  // namespace
