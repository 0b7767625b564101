// CTString: 8-bit text in a code page, and temporary files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/ct_string.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(CTStringConvert, SetANSIExConvertsExactlyTheGivenBytes)
{
    struct Case
    {
        const char* text;
        int length;
        unsigned codePage;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"abcdef", -1, 1252, L"abcdef"},
        {"abcdef", 3, 1252, L"abc"},        // a shorter length converts only those bytes
        {"abc", 10, 1252, L"abc"},          // never past the terminator
        {"\xC9t\xE9 \x80", -1, 1252, L"Été €"},
        {"\xC9t\xE9", -1, 0, L"Été"},       // code page 0 is 1252
        {"\xC3\xA9t\xC3\xA9", -1, 65001, L"été"},
        {"\xC3\xA9t\xC3\xA9", 3, 65001, L"ét"},
        {"\xC3\xA9t\xC3\xA9", 4, 65001, L"ét?"},  // a sequence cut by the length
        {"\xC3\xA9\xE2\x82\xAC", 4, 65001, L"é?"},
        {"\xE2\x82\xAC", 1, 65001, L"?"},
        {"\x82\xA0\x82\xA2", 3, 932, L"\u3042?"},  // a double-byte code page
        {"\x82\xA0\x82\xA2", -1, 932, L"\u3042\u3044"},
        {"", -1, 1252, L""},
        {"abc", 0, 1252, L""},
    };
    for (const Case& c : cases) {
        CTString s(L"old");
        s.SetANSIEx(c.text, c.length, c.codePage);
        EXPECT_STREQ(c.expected, s.pszGet()) << c.text << " " << c.length << " " << c.codePage;
    }
    CTString s(L"old");
    s.SetANSIEx(nullptr, 3, 1252);
    EXPECT_EQ(0, s.nTaille());
    EXPECT_STREQ(L"Ça", CTString("\xC7" "a").pszGet());
}

class TemporaryDirectory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* base = std::getenv("TMPDIR");
        m_saved = base ? base : "";
        m_hadTmpdir = base != nullptr;
        m_dir = std::string(P_tmpdir) + "/ct_string_r\xC3\xA9pertoire_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(m_dir.data()));
        setenv("TMPDIR", m_dir.c_str(), 1);
    }
    void TearDown() override
    {
        for (const std::string& file : m_files)
            unlink(file.c_str());
        rmdir(m_dir.c_str());
        if (m_hadTmpdir)
            setenv("TMPDIR", m_saved.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    std::string Utf8(const CTString& s)
    {
        char path[4096];
        const int n = WideCharToMultiByte(CP_UTF8, 0, s.pszGet(), -1, path, sizeof(path), nullptr, nullptr);
        EXPECT_GT(n, 0);
        m_files.emplace_back(path);
        return path;
    }

    std::string m_dir, m_saved;
    bool m_hadTmpdir = false;
    std::vector<std::string> m_files;
};

TEST_F(TemporaryDirectory, CreatesTheFileUnderANonAsciiName)
{
    CTString a, b;
    ASSERT_TRUE(a.FichierTemporaire(L"tête_"));
    ASSERT_TRUE(b.FichierTemporaire(L"tête_"));
    EXPECT_NE(a, b);
    // The name comes back from UTF-8 intact, in the directory, with the
    // prefix; read back as 1252 the non-ASCII directory would not match.
    CTString dir;
    dir.SetANSIEx(m_dir.c_str(), -1, CP_UTF8);
    EXPECT_TRUE(a.bCommencePar(dir.pszGet()));
    EXPECT_FALSE(a.bCommencePar(CTString(m_dir.c_str()).pszGet()));
    EXPECT_EQ(dir.nTaille() + 1 + 5 + 6, a.nTaille());
    EXPECT_TRUE(a.clMilieu(dir.nTaille() + 1).bCommencePar(L"tête_"));
    // The file exists already, empty: nobody can take the name in between.
    struct stat st;
    ASSERT_EQ(0, stat(Utf8(a).c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(0, st.st_size);
    ASSERT_EQ(0, stat(Utf8(b).c_str(), &st));

    CTString none;
    ASSERT_TRUE(none.FichierTemporaire(nullptr));
    Utf8(none);
}

TEST_F(TemporaryDirectory, FailsWhenTheFileCannotBeCreated)
{
    CTString s(L"old");
    EXPECT_FALSE(s.FichierTemporaire(L"missing/sub/x"));
    EXPECT_EQ(0, s.nTaille());
}

}  // namespace
