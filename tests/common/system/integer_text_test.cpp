#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/system/integer_text.h"

namespace {

TEST(IntegerText, SignedAndUnsignedInEveryWidth)
{
    char a[70];
    wchar_t w[70];
    const struct { long value; int radix; const char* text; } cases[] = {
        {-255, 16, "-ff"}, {0, 10, "0"}, {35, 36, "z"}, {LONG_MIN, 16, "-8000000000000000"},
        {LONG_MAX, 8, "777777777777777777777"}, {5, 2, "101"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.text, ltoa(c.value, a, c.radix));
        EXPECT_STREQ(c.text, i64toa(c.value, a, c.radix));
        EXPECT_EQ(std::wstring(c.text, c.text + std::string(c.text).size()), ltow(c.value, w, c.radix));
        EXPECT_EQ(std::wstring(c.text, c.text + std::string(c.text).size()), i64tow(c.value, w, c.radix));
    }
    EXPECT_STREQ("-1" "000000000000000000000000000000000000000000000000000000000000000", i64toa(LONG_MIN, a, 2));
    EXPECT_EQ(66u, std::string(i64toa(LONG_MIN, a, 2)).size() + 1) << "the largest text";
    EXPECT_STREQ("0", ui64toa(0, a, 10));
    EXPECT_STREQ("18446744073709551615", ultoa(ULONG_MAX, a, 10));
    EXPECT_EQ(std::wstring(L"ffffffffffffffff"), ui64tow(ULONG_MAX, w, 16));
    EXPECT_EQ(std::wstring(L"ffffffffffffffff"), ultow(ULONG_MAX, w, 16));
    EXPECT_STREQ("-2147483648", itoa(INT_MIN, a, 10));
    EXPECT_STREQ("-1", itoa(-1, a, 16)) << "widened, not reinterpreted";
    EXPECT_EQ(std::wstring(L"-80000000"), itow(INT_MIN, w, 16));
    EXPECT_STREQ("", itoa(5, a, 0));
}

TEST(IntegerText, HexadecimalParsing)
{
    EXPECT_EQ(0x1AFF, nGetEntierHexa4(L"1aFf"));
    EXPECT_EQ(0xFFFF, nGetEntierHexa4(L"FFFF"));
    int digits = -1;
    EXPECT_EQ(26u, nGetEntierHexa(L"1aZ", digits));
    EXPECT_EQ(2, digits);
    EXPECT_EQ(0u, nGetEntierHexa(L"xyz", digits));
    EXPECT_EQ(0, digits);
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFul, nGetEntierHexa(L"ffffffffffffffff", digits));
    EXPECT_EQ(16, digits);
}

}  // namespace
