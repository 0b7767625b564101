// The wide profile calls: the installer's read, code page 1252 on both sides,
// UTF-16 files, integers, names in the home directory and the per-user file.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/profile_file.h"
#include "common/system/profile_names.h"
#include "tests/common/system/profile_fixture.h"

namespace {

using vxtest::kMark;
using vxtest::Utf16;

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());  // the paths of the tests are ASCII
}

class ProfileWide : public vxtest::ProfileDirectory
{
protected:
    void SetUp() override
    {
        vxtest::ProfileDirectory::SetUp();
        std::setlocale(LC_CTYPE, "C.UTF-8");
        m_wsFile = Wide(Path("p.ini"));
        const char* pszHome = std::getenv("HOME");
        m_bHadHome = pszHome != nullptr;
        if (m_bHadHome) m_sHome = pszHome;
        setenv("HOME", m_sDir.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_bHadHome)
            setenv("HOME", m_sHome.c_str(), 1);
        else
            unsetenv("HOME");
        vxtest::ProfileDirectory::TearDown();
    }

    std::wstring Read(const wchar_t* pszSection, const wchar_t* pszKey, unsigned nSize = 64,
                      unsigned* pnResult = nullptr)
    {
        std::wstring sBuffer(nSize + 1, L'#');
        const unsigned n =
            GetPrivateProfileString(pszSection, pszKey, L"<default>", sBuffer.data(), nSize, m_wsFile.c_str());
        if (pnResult) *pnResult = n;
        EXPECT_EQ(L'#', sBuffer[nSize]) << "written past the size";
        EXPECT_EQ(n, std::wcslen(sBuffer.c_str()));
        return sBuffer.c_str();
    }
    bool Write(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue)
    {
        return WritePrivateProfileString(pszSection, pszKey, pszValue, m_wsFile.c_str()) != 0;
    }

    std::wstring m_wsFile;
    bool m_bHadHome = false;
    std::string m_sHome;
};

// The installer's one read: section "DEFAULT", key "BINPATH", empty
// default, 1044 characters.
TEST_F(ProfileWide, InstallerReadsTheBinaryDirectory)
{
    const std::string sConf = Path("MORVAT.conf");
    const std::wstring wsConf = Wide(sConf);
    wchar_t sz[1044];
    struct Case
    {
        const char* pszFile;
        const wchar_t* pszExpected;
    } aCases[] = {
        {"[DEFAULT]\nBINPATH=/opt/rt/\r\n", L"/opt/rt/"},
        {"# comment\n[Other]\nBINPATH=/no\n\n  [default]  \n BinPath = /opt/Tarvok/bin \n", L"/opt/Tarvok/bin "},
        {"[DEFAULT]\nOTHER=1\n", L""},
        {"", L""},
    };
    for (const Case& c : aCases) {
        Put(sConf, c.pszFile);
        std::wmemset(sz, L'#', 1044);
        const unsigned n = GetPrivateProfileString(L"DEFAULT", L"BINPATH", L"", sz, 1044, wsConf.c_str());
        EXPECT_EQ(std::wstring(c.pszExpected), sz) << c.pszFile;
        EXPECT_EQ(std::wcslen(c.pszExpected), n);
    }
    std::remove(sConf.c_str());
    EXPECT_EQ(0u, GetPrivateProfileString(L"DEFAULT", L"BINPATH", L"", sz, 1044, wsConf.c_str()));
    EXPECT_STREQ(L"", sz);
}

TEST_F(ProfileWide, EightBitFilesHoldCodePage1252)
{
    EXPECT_TRUE(Write(L"S\u00e9", L"k", L"caf\u00e9 \u20ac \u4e2d"));
    EXPECT_EQ("[S\xE9]\nk = caf\xE9 \x80 ?\n", Get(Path("p.ini")));
    // Case is ignored the C library's way: ASCII letters only in 8-bit files.
    EXPECT_EQ(L"caf\u00e9 \u20ac ?", Read(L"s\u00e9", L"K"));
    EXPECT_EQ(L"<default>", Read(L"s\u00c9", L"K"));
    unsigned n = 0;
    EXPECT_EQ(L"S\u00e9\r\n", Read(nullptr, nullptr, 64, &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ(L"k\r\n", Read(L"S\u00e9", nullptr));

    Put(Path("p.ini"), "[a]\n[b]\n");
    EXPECT_EQ(L"a\r\nb\r\n", Read(L"", nullptr, 64, &n));
    EXPECT_EQ(6u, n);

    // The result counts what the buffer holds, whatever the byte values.
    Put(Path("p.ini"), "[s]\nk=a\x81\x8D\x8F\x90\x9D" "b\n");
    const std::wstring ws = Read(L"s", L"k", 64, &n);
    EXPECT_EQ(ws.size(), n);
    EXPECT_EQ(L'a', ws.front());
    EXPECT_EQ(L'b', ws.back());
}

TEST_F(ProfileWide, Utf16FilesKeepEveryUnit)
{
    Put(Path("p.ini"), kMark + Utf16(L"[\u4e2d]\r\nk=\u20ac\u00e9\r\n"));
    EXPECT_EQ(L"\u20ac\u00e9", Read(L"\u4e2d", L"k"));
    EXPECT_TRUE(Write(L"\u4e2d", L"k", L"\u0416\u4e2d"));
    EXPECT_TRUE(Write(L"\u4e2d", L"n", L""));
    EXPECT_EQ(kMark + Utf16(L"[\u4e2d]\r\nk = \u0416\u4e2d\nn = \n"), Get(Path("p.ini")));
    EXPECT_EQ(L"\u0416\u4e2d", Read(L"\u4e2d", L"k"));
    EXPECT_EQ(L"k\r\nn\r\n", Read(L"\u4e2d", nullptr));
    EXPECT_TRUE(Write(L"\u4e2d", L"k", nullptr));
    EXPECT_EQ(kMark + Utf16(L"[\u4e2d]\r\nn = \n"), Get(Path("p.ini")));
}

TEST_F(ProfileWide, IntegersReadAsDecimal)
{
    Put(Path("p.ini"), "[s]\na=12abc\nb=abc\nc= -7\nd=\n");
    const wchar_t* psz = m_wsFile.c_str();
    EXPECT_EQ(12, GetPrivateProfileInt(L"s", L"a", 5, psz));
    EXPECT_EQ(0, GetPrivateProfileInt(L"s", L"b", 5, psz));
    EXPECT_EQ(-7, GetPrivateProfileInt(L"s", L"c", 5, psz));
    EXPECT_EQ(0, GetPrivateProfileInt(L"s", L"d", 5, psz));
    EXPECT_EQ(5, GetPrivateProfileInt(L"s", L"missing", 5, psz));
    EXPECT_EQ(-2147483647 - 1, GetPrivateProfileInt(L"s", L"missing", -2147483647 - 1, psz));
    EXPECT_EQ(9, GetPrivateProfileInt(L"s", L"a", 9, Wide(Path("none.ini")).c_str()));
}

TEST_F(ProfileWide, NamesWithoutSlashLieInTheHomeDirectory)
{
    EXPECT_TRUE(WritePrivateProfileString(L"s", L"k", L"v", L"rel.ini"));
    EXPECT_EQ("[s]\nk = v\n", Get(Path("rel.ini")));

    // A backslash makes the name relative to the working directory.
    char szCwd[4096];
    ASSERT_NE(nullptr, getcwd(szCwd, sizeof szCwd));
    ASSERT_EQ(0, mkdir(Path("work").c_str(), 0700));
    ASSERT_EQ(0, mkdir(Path("work/dir").c_str(), 0700));
    ASSERT_EQ(0, chdir(Path("work").c_str()));
    EXPECT_TRUE(WritePrivateProfileString(L"s", L"k", L"w", L"dir\\a.ini"));
    wchar_t sz[8];
    EXPECT_EQ(1u, GetPrivateProfileString(L"s", L"k", nullptr, sz, 8, L"dir\\a.ini"));
    EXPECT_STREQ(L"w", sz);
    EXPECT_TRUE(WritePrivateProfileStringA("s", "k", "x", "dir\\b.ini"));
    ASSERT_EQ(0, chdir(szCwd));
    EXPECT_EQ("[s]\nk = w\n", Get(Path("work/dir/a.ini")));
    EXPECT_EQ("[s]\nk = x\n", Get(Path("work/dir/b.ini")));

    // 8-bit names take the home directory's bytes as they are.
    EXPECT_TRUE(WritePrivateProfileStringA("s", "k", "y", "rel8.ini"));
    EXPECT_EQ("[s]\nk = y\n", Get(Path("rel8.ini")));

    // Names reach the system as UTF-8.
    EXPECT_TRUE(WritePrivateProfileString(L"s", L"k", L"z", (Wide(m_sDir) + L"/caf\u00e9.ini").c_str()));
    EXPECT_EQ("[s]\nk = z\n", Get(Path("caf\xC3\xA9.ini")));
}

TEST_F(ProfileWide, PerUserFile)
{
    wchar_t szPath[PROFILE_PATH_CHARS];
    ASSERT_TRUE(bGetTVKCONFPath(szPath));
    EXPECT_EQ(Wide(Path(".TVK.conf")), szPath);

    EXPECT_EQ(3, GetProfileInt(L"s", L"n", 3));
    EXPECT_TRUE(WriteProfileString(L"s", L"n", L"42"));
    EXPECT_TRUE(WriteProfileString(L"s", L"t", L"text"));
    EXPECT_EQ("[s]\nn = 42\nt = text\n", Get(Path(".TVK.conf")));
    EXPECT_EQ(42, GetProfileInt(L"S", L"N", 3));
    wchar_t sz[16];
    EXPECT_EQ(4u, GetProfileString(L"s", L"t", L"d", sz, 16));
    EXPECT_STREQ(L"text", sz);
    EXPECT_EQ(6u, GetProfileString(L"s", nullptr, L"d", sz, 16));
    EXPECT_STREQ(L"n\r\nt\r\n", sz);
    EXPECT_TRUE(WriteProfileString(L"s", nullptr, nullptr));
    EXPECT_EQ("", Get(Path(".TVK.conf")));
}

// A home directory too long for the 260-character limit gives no name: the
// per-user reads give their defaults, the write fails and nothing is made.
TEST_F(ProfileWide, HomeTooLongForTheLimit)
{
    const std::string sLong = m_sDir + "/" + std::string(260, 'h');
    setenv("HOME", sLong.c_str(), 1);
    wchar_t szPath[PROFILE_PATH_CHARS] = L"untouched";
    EXPECT_FALSE(bGetTVKCONFPath(szPath));
    EXPECT_STREQ(L"untouched", szPath);
    wchar_t sz[8];
    EXPECT_EQ(1u, GetProfileString(L"s", L"k", L"d", sz, 8));
    EXPECT_STREQ(L"d", sz);
    EXPECT_EQ(7, GetProfileInt(L"s", L"k", 7));
    EXPECT_FALSE(WriteProfileString(L"s", L"k", L"v"));
    EXPECT_FALSE(WritePrivateProfileString(L"s", L"k", L"v", L"rel.ini"));
}

// Without $HOME the password entry of the real user gives the directory.
TEST_F(ProfileWide, PasswordEntryWithoutHome)
{
    unsetenv("HOME");
    const struct passwd* pw = getpwuid(getuid());
    wchar_t szPath[PROFILE_PATH_CHARS] = L"untouched";
    if (pw == nullptr || pw->pw_dir == nullptr || pw->pw_dir[0] == 0) {
        EXPECT_FALSE(bGetTVKCONFPath(szPath));
        EXPECT_STREQ(L"untouched", szPath);
        return;
    }
    if (std::strlen(pw->pw_dir) + 10 >= PROFILE_PATH_CHARS) GTEST_SKIP() << "home directory too long";
    ASSERT_TRUE(bGetTVKCONFPath(szPath));
    std::wstring wsExpected;
    for (const char* p = pw->pw_dir; *p; ++p) wsExpected += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    EXPECT_EQ(wsExpected + L"/.TVK.conf", szPath);
}

}  // namespace
