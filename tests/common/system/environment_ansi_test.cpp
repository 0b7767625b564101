// 8-bit environment look-ups in the host's current character set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "common/system/environment.h"
#include "tests/host/support/test_environment.h"

namespace {

class EnvironmentAnsi : public ::testing::Test
{
protected:
    void TearDown() override { vxtest::Locale().SetCharset(0); }
};

TEST_F(EnvironmentAnsi, NameAndValueInCodePage1252)
{
    vxtest::Locale().SetCharset(0);
    setenv("VX_\xC3\x89T\xC3\x89", "d\xC3\xA9j\xC3\xA0 vu", 1);  // UTF-8 in the environment
    struct Case
    {
        unsigned int nSize;
        unsigned int nResult;
        const char* pszText;
    } aCases[] = {
        {64, 7, "d\xE9j\xE0 vu"},
        {8, 7, "d\xE9j\xE0 vu"},
        {7, 8, "d\xE9j\xE0 v"},
        {1, 8, ""},
    };
    for (const Case& c : aCases)
    {
        char sz[70];
        std::memset(sz, '#', sizeof sz);
        EXPECT_EQ(c.nResult, GetEnvironmentVariableA("VX_\xC9T\xC9", sz, c.nSize)) << c.nSize;
        EXPECT_STREQ(c.pszText, sz) << c.nSize;
        EXPECT_EQ('#', sz[c.nSize]) << c.nSize;
    }
    char sz[4] = "abc";
    EXPECT_EQ(8u, GetEnvironmentVariableA("VX_\xC9T\xC9", sz, 0));
    EXPECT_STREQ("abc", sz);
    EXPECT_EQ(0u, GetEnvironmentVariableA("VX_\xC9T\xC9_MISSING", sz, 4));
    EXPECT_EQ(0u, GetEnvironmentVariableA(nullptr, sz, 4));

    // Characters the code page lacks come back as "?".
    setenv("VX_ENV_EURO_YEN", "\xE2\x82\xAC\xE2\x82\xA9", 1);  // euro (0x80 in 1252), won sign
    EXPECT_EQ(2u, GetEnvironmentVariableA("VX_ENV_EURO_YEN", sz, 4));
    EXPECT_STREQ("\x80?", sz);
    setenv("VX_ENV_EMPTY", "", 1);
    EXPECT_EQ(0u, GetEnvironmentVariableA("VX_ENV_EMPTY", sz, 4));
    EXPECT_STREQ("", sz);
}

TEST_F(EnvironmentAnsi, OtherCharacterSet)
{
    vxtest::Locale().SetCharset(204);  // Cyrillic, code page 1251
    setenv("VX_ENV_CYR", "\xD0\x96", 1);  // U+0416
    char sz[8];
    EXPECT_EQ(1u, GetEnvironmentVariableA("VX_ENV_CYR", sz, sizeof sz));
    EXPECT_STREQ("\xC6", sz);
}

}  // namespace
