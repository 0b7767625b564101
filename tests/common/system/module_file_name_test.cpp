// The running executable's file name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/module_file_name.h"

namespace {

std::string SelfPath()
{
    char sz[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", sz, sizeof sz);
    return n < 0 ? std::string() : std::string(sz, static_cast<size_t>(n));
}

TEST(ModuleFileName, EightBitFormIsBoundedAndTerminated)
{
    const std::string sSelf = SelfPath();
    ASSERT_FALSE(sSelf.empty());
    char sz[PATH_MAX + 8];
    int nHandle;
    EXPECT_EQ(1u, GetModuleFileNameA(&nHandle, sz, sizeof sz)) << "any handle gives the executable";
    EXPECT_EQ(sSelf, sz);

    for (unsigned int nSize : {1u, 2u, 5u, static_cast<unsigned>(sSelf.size()), static_cast<unsigned>(sSelf.size() + 1)})
    {
        std::memset(sz, '#', sizeof sz);
        EXPECT_EQ(1u, GetModuleFileNameA(nullptr, sz, nSize));
        EXPECT_EQ(sSelf.substr(0, nSize - 1), sz) << nSize;
        EXPECT_EQ('#', sz[nSize]) << "nothing past the size " << nSize;
    }
    EXPECT_EQ(0u, GetModuleFileNameA(nullptr, sz, 0));
}

TEST(ModuleFileName, WideFormIsBoundedAndTerminated)
{
    const std::string sSelf = SelfPath();
    ASSERT_FALSE(sSelf.empty());
    const std::wstring sWide(sSelf.begin(), sSelf.end());  // the build path is ASCII
    wchar_t sz[PATH_MAX + 8];
    EXPECT_EQ(1u, GetModuleFileNameW(nullptr, sz, PATH_MAX + 8));
    EXPECT_EQ(sWide, sz);
    for (unsigned int nSize : {1u, 2u, 5u, static_cast<unsigned>(sSelf.size()), static_cast<unsigned>(sSelf.size() + 1)})
    {
        std::wmemset(sz, L'#', PATH_MAX + 8);
        EXPECT_EQ(1u, GetModuleFileNameW(nullptr, sz, nSize));
        EXPECT_EQ(sWide.substr(0, nSize - 1), sz) << nSize;
        EXPECT_EQ(L'#', sz[nSize]) << "nothing past the size " << nSize;
    }
    EXPECT_EQ(0u, GetModuleFileNameW(nullptr, sz, 0));
}

TEST(ModuleFileName, MapsFallbackIsBoundedAndTerminated)
{
    struct Case
    {
        const char* pszMaps;
        unsigned int nSize;
        int bResult;
        const char* pszPath;
    } aCases[] = {
        {"55d0-55d1 r--p 00000000 08:01 12 /usr/bin/prog\n7f00 ...\n", 64, 1, "/usr/bin/prog"},
        {"55d0-55d1 r--p 00000000 08:01 12 /usr/bin/prog\r\n", 64, 1, "/usr/bin/prog"},
        {"55d0-55d1 r--p 00000000 08:01 12 /usr/bin/prog", 64, 1, "/usr/bin/prog"},
        {"55d0-55d1 r--p 00000000 08:01 12 /usr/bin/prog\n", 5, 1, "/usr"},
        {"55d0-55d1 r--p 00000000 00:00 0 [heap]\n/x\n", 64, 0, nullptr},
        {"", 64, 0, nullptr},
    };
    for (const Case& c : aCases)
    {
        FILE* p = fmemopen(const_cast<char*>(c.pszMaps), std::strlen(c.pszMaps) + 1, "r");
        ASSERT_NE(nullptr, p);
        char sz[80];
        std::memset(sz, '#', sizeof sz);
        EXPECT_EQ(c.bResult, __bModulePathFromMaps(p, sz, c.nSize)) << c.pszMaps;
        if (c.pszPath != nullptr)
        {
            EXPECT_STREQ(c.pszPath, sz);
            EXPECT_EQ('#', sz[c.nSize]);
        }
        std::fclose(p);
    }
}

}  // namespace
