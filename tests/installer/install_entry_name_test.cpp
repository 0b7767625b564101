// Entry names are checked before the installer (running as root) writes
// anything: none may lead outside the target directory.
#include <gtest/gtest.h>

#include "installer/install_entry_name.h"

TEST(InstallEntryName, AcceptsPlainRelativeNames)
{
    std::vector<std::string> parts;
    ASSERT_TRUE(bDecoupeNomEntree(L"lib\\sub/x.so", parts));
    EXPECT_EQ((std::vector<std::string>{"lib", "sub", "x.so"}), parts);
    ASSERT_TRUE(bDecoupeNomEntree(L"caf\u00e9..txt", parts));
    EXPECT_EQ(std::vector<std::string>{"caf\xc3\xa9..txt"}, parts);
}

TEST(InstallEntryName, RefusesEveryNameThatCouldLeaveTheDirectory)
{
    const wchar_t* const hostile[] = {
        L"", L"/etc/passwd", L"\\etc\\passwd", L"../x", L"..\\..\\x", L"a/../../x", L"a/./x", L".",
        L"a//b", L"a/", L"c:x", L"C:\\x", L"a\x01" L"b", L"a\nb", L"a\x7f", L"a\x85" L"b", L"..",
        L"a/..", L"\xD800x",
    };
    for (const wchar_t* name : hostile) {
        std::vector<std::string> parts;
        EXPECT_FALSE(bDecoupeNomEntree(name, parts)) << "accepted: " << testing::PrintToString(std::wstring(name));
    }
}
