// Environment variables through the Windows-style calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "common/system/environment.h"

namespace {

TEST(Environment, SetAndRemove)
{
    EXPECT_EQ(1, SetEnvironmentVariable("VX_ENV_A", "1"));
    EXPECT_STREQ("1", std::getenv("VX_ENV_A"));
    EXPECT_EQ(1, SetEnvironmentVariable("VX_ENV_A", "two"));
    EXPECT_STREQ("two", std::getenv("VX_ENV_A"));
    EXPECT_EQ(1, SetEnvironmentVariable("VX_ENV_A", nullptr));
    EXPECT_EQ(nullptr, std::getenv("VX_ENV_A"));
    EXPECT_EQ(1, SetEnvironmentVariable("VX_ENV_A", nullptr)) << "removing a missing one is fine";
    EXPECT_EQ(0, SetEnvironmentVariable(nullptr, "x"));
    EXPECT_EQ(0, SetEnvironmentVariable("A=B", "x")) << "no '=' in names";
}

TEST(Environment, WideValueCutToTheBuffer)
{
    setenv("VX_ENV_W", "d\xC3\xA9j\xC3\xA0 vu", 1);  // 7 characters
    struct Case
    {
        unsigned int nSize;
        unsigned int nResult;
        const wchar_t* pszText;
    } aCases[] = {
        {64, 7, L"d\u00e9j\u00e0 vu"},
        {8, 7, L"d\u00e9j\u00e0 vu"},
        {7, 8, L"d\u00e9j\u00e0 v"},  // room for the characters only: size needed, cut
        {2, 8, L"d"},
        {1, 8, L""},
    };
    for (const Case& c : aCases)
    {
        wchar_t sz[70];
        std::wmemset(sz, L'#', 70);
        EXPECT_EQ(c.nResult, GetEnvironmentVariableW(L"VX_ENV_W", sz, c.nSize)) << c.nSize;
        EXPECT_STREQ(c.pszText, sz) << c.nSize;
        EXPECT_EQ(L'#', sz[c.nSize]) << c.nSize;
    }
    wchar_t sz[4] = L"abc";
    EXPECT_EQ(8u, GetEnvironmentVariableW(L"VX_ENV_W", sz, 0));
    EXPECT_STREQ(L"abc", sz) << "size 0 writes nothing";
    EXPECT_EQ(0u, GetEnvironmentVariableW(L"VX_ENV_MISSING", sz, 4));
    EXPECT_EQ(0u, GetEnvironmentVariableW(nullptr, sz, 4));

    // Names are UTF-8 too; a long name goes beyond the stack buffer.
    setenv("VX_\xC3\x89T\xC3\x89", "x", 1);
    EXPECT_EQ(1u, GetEnvironmentVariableW(L"VX_\u00c9T\u00c9", sz, 4));
    const std::string sLong(3000, 'N');
    setenv(sLong.c_str(), "long", 1);
    EXPECT_EQ(5u, GetEnvironmentVariableW(std::wstring(3000, L'N').c_str(), sz, 4));
    EXPECT_STREQ(L"lon", sz);
    unsetenv(sLong.c_str());
}

}  // namespace
