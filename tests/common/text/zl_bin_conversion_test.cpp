// Text converted into binary values.
#include <cstring>
#include <string>

#include "common/text/zl_bin.h"
#include "tests/common/text/xy_string_fixture.h"

namespace {

std::string Bytes(const CZLBIN& b)
{
    return std::string(reinterpret_cast<const char*>(b.pbyGet()), static_cast<size_t>(b.nGetTailleUtile()));
}

constexpr wchar_t kHighest = static_cast<wchar_t>(0xFFFFFFFF);

class ZLBinConversion : public vxtest::StrMemTest
{
};

TEST_F(ZLBinConversion, WideToCodePageBytes)
{
    CZLBIN b;
    int used = -1;
    EXPECT_EQ(0, b.nAffecteToANSI(L"\xE9t\x4E2D", -1, 1252, 0, "?", &used, 3));
    EXPECT_EQ("\xE9t?", Bytes(b));
    EXPECT_EQ(1, used);
    EXPECT_EQ(6, b.nGetCapacite()) << "converted length + reserve, no terminator";
    EXPECT_EQ(0, b.nAffecteToANSI(L"\xE9", 1, 65001, 0, nullptr, nullptr, 0));
    EXPECT_EQ("\xC3\xA9", Bytes(b));
    EXPECT_EQ(0, b.nAffecteToANSI(L"", -1, 1252, 0, nullptr, nullptr, 0));
    EXPECT_EQ(nullptr, b.pbyGetBlock());
    EXPECT_EQ(0, b.nAffecteToANSI(nullptr, 5, 1252, 0, nullptr, nullptr, 0));
    EXPECT_EQ(0, b.nAffecteToANSI(L"abc", 0, 1252, 0, nullptr, nullptr, 0));
    EXPECT_EQ(nullptr, b.pbyGetBlock());
}

TEST_F(ZLBinConversion, WideHeldInABinaryKeepsItsMarker)
{
    const wchar_t text[] = {L'a', L'\xE9', kHighest};
    CZLBIN wide(reinterpret_cast<const unsigned char*>(text), sizeof text);
    wide._SetFlagsWord(1);
    CZLBIN b;
    EXPECT_EQ(0, b.nAffecteToANSI(&wide, 1252, 0, "?", nullptr));
    EXPECT_EQ("a\xE9\xFF", Bytes(b));
    EXPECT_TRUE(b.bEndMarker());
    EXPECT_EQ(0, b.nAffecteToANSI(&wide, 65001, 0, "?", nullptr));
    EXPECT_FALSE(b.bEndMarker()) << "UTF-8 does not treat the marker";
    EXPECT_EQ("a\xC3\xA9", Bytes(b).substr(0, 3));

    const wchar_t lone[] = {kHighest};
    CZLBIN only(reinterpret_cast<const unsigned char*>(lone), sizeof lone);
    only._SetFlagsWord(1);
    EXPECT_EQ(0, b.nAffecteToANSI(&only, 1252, 0, nullptr, nullptr));
    EXPECT_EQ("\xFF", Bytes(b));

    CZLBIN self(reinterpret_cast<const unsigned char*>(text), 8);
    EXPECT_EQ(0, self.nAffecteToANSI(&self, 1252, 0, nullptr, nullptr)) << "the source may be the target";
    EXPECT_EQ("a\xE9", Bytes(self));
}

TEST_F(ZLBinConversion, EightBitToWideBytes)
{
    CZLBIN b;
    EXPECT_EQ(0, b.nAffecteToUNICODE("\xE9t", -1, 1252, 0));
    ASSERT_EQ(8, b.nGetTailleUtile());
    EXPECT_EQ(0, std::memcmp(L"\xE9t", b.pbyGet(), 8));
    EXPECT_EQ(0, b.nAffecteToUNICODE("abc", 0, 1252, 0));
    EXPECT_EQ(nullptr, b.pbyGetBlock());
    EXPECT_EQ(0, b.nAffecteToUNICODE("", -1, 1252, 0));
    EXPECT_EQ(nullptr, b.pbyGetBlock());
    EXPECT_EQ(105, b.nAffecteToUNICODE("\x81", 1, 1252, 0x8)) << "nothing converts";
    EXPECT_EQ(nullptr, b.pbyGetBlock());
}

}  // namespace
