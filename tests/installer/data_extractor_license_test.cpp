// The archive's license text: read back exactly, refused whole when missing,
// too large or not UTF-8, and never left behind in the temporary directory
// nor reachable there by anyone else. It is read back through the descriptor
// it was written through: what is put under the file's name after the write
// is not read, and a file changed through that descriptor's inode is refused.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>

#include "installer/data_extractor.h"
#include "tests/host/support/test_environment.h"
#include "tests/installer/support/zip_builder.h"
#include "tests/installer/support/zip_tools.h"

namespace {

using ziptest::Archive;
using ziptest::Entry;
using ziptest::Wide;

Entry Licence(const std::string& data)
{
    return Entry{.name = "license.txt", .data = data};
}

Archive WithLicense(const Entry& e)
{
    Archive a;
    a.entries = {Entry{.name = "lib/x.so", .data = "x"}, e};
    return a;
}

class LicenseText : public ::testing::Test
{
protected:
    // The temporary directory is one of the test's own, so that what a load
    // leaves in it can be seen.
    void SetUp() override
    {
        ASSERT_FALSE(dir.Path().empty());
        for (const std::string* p : {&tmp, &outside})
            ASSERT_EQ(0, mkdir(p->c_str(), 0700));
        ziptest::WriteFile(outside + "/secret", "secret");
        if (const char* old = std::getenv("TMPDIR"))
            oldTmpdir = old;
        setenv("TMPDIR", tmp.c_str(), 1);
    }
    void TearDown() override
    {
        if (oldTmpdir)
            setenv("TMPDIR", oldTmpdir->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    // bLoadLicense on the archive (opened), its report in err.
    int Load(const Archive& a, CXYString<wchar_t>& text, CDataExtractor* px = nullptr)
    {
        ziptest::WriteFile(dir / "a.zip", ziptest::Build(a));
        CDataExtractor own(0);
        CDataExtractor& x = px != nullptr ? *px : own;
        if (!x.bOuvre(Wide(dir / "a.zip").c_str()))
            return -1;
        testing::internal::CaptureStderr();
        const int rc = x.bLoadLicense(text);
        err = testing::internal::GetCapturedStderr();
        return rc;
    }

    // What the temporary directory holds (nothing once a load is over).
    std::string TmpListing() const { return ziptest::Output("cd '" + tmp + "' && find . -mindepth 1 | sort"); }

    ziptest::ScratchDir dir;
    const std::string tmp = dir / "tmp";
    const std::string outside = dir / "outside";
    std::optional<std::string> oldTmpdir;
    std::string err;
};

TEST_F(LicenseText, ReadsTheTextBackExactly)
{
    // Two-, three- and four-byte characters, line ends as written.
    const std::string utf8 = "Licence \xC3\xA9t\xC3\xA9 \xE2\x80\x94 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80\r\nfin\n";
    const std::wstring wide = L"Licence \u00E9t\u00E9 \u2014 \u4E2D\u6587 \U0001F600\r\nfin\n";
    const struct
    {
        Entry entry;
        std::wstring expected;
    } cases[] = {
        {Licence(utf8), wide},
        {Entry{.name = "license.txt", .data = utf8, .method = 0}, wide},
        {Licence(""), L""},
        {Entry{.name = "LICENSE.TXT", .data = "upper"}, L"upper"},  // found as the installer finds any entry
        {Licence(std::string(CDataExtractor::MAX_TAILLE_LICENCE, 'a')),
         std::wstring(CDataExtractor::MAX_TAILLE_LICENCE, L'a')},
    };
    for (const auto& c : cases) {
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(1, Load(WithLicense(c.entry), text)) << c.entry.name << " " << err;
        EXPECT_TRUE(std::wstring(text.pszGet(), static_cast<size_t>(text.nGetLongueur())) == c.expected)
            << c.entry.data.size();
        EXPECT_EQ("", err);
        EXPECT_EQ("", TmpListing());
    }
}

TEST_F(LicenseText, ReadsALicenseWrittenByPythonsZipfile)
{
    ZIPTEST_REQUIRE_TOOL("python3");
    ASSERT_TRUE(ziptest::RunPython(dir.Path(), "import zipfile\n"
                                               "with zipfile.ZipFile('py.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                               "    z.writestr('bin/a.so', b'a')\n"
                                               "    z.writestr('license.txt', 'Droits r\\u00e9serv\\u00e9s \\u00a9\\n'"
                                               ".encode('utf-8'))\n"));
    CDataExtractor x(0);
    ASSERT_EQ(1, x.bOuvre(Wide(dir / "py.zip").c_str()));
    CXYString<wchar_t> text;
    EXPECT_EQ(1, x.bLoadLicense(text));
    EXPECT_STREQ(L"Droits r\u00E9serv\u00E9s \u00A9\n", text.pszGet());
    EXPECT_EQ("", TmpListing());
}

TEST_F(LicenseText, MissingEntryOrArchiveIsReportedAndLeavesTheTextAlone)
{
    Archive a;
    a.entries = {Entry{.name = "lib/x.so", .data = "x"}, Entry{.name = "license.txt.bak", .data = "old"}};
    CXYString<wchar_t> text(L"before");
    EXPECT_EQ(0, Load(a, text));
    EXPECT_STREQ(L"before", text.pszGet());
    EXPECT_NE(std::string::npos, err.find("<license.txt>")) << err;
    EXPECT_NE(std::string::npos, err.find("n'y figure pas")) << err;
    EXPECT_EQ("", TmpListing());

    // No archive open at all.
    CDataExtractor x(0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, x.bLoadLicense(text));
    err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(L"before", text.pszGet());
    EXPECT_NE(std::string::npos, err.find("Aucune archive")) << err;
    EXPECT_EQ("", TmpListing());
}

TEST_F(LicenseText, TextThatIsNotWellFormedUtf8IsRefusedWhole)
{
    for (const std::string& bad : {
             std::string("ok \xFF ok"),          // never a UTF-8 byte
             std::string("ok \x80 ok"),          // continuation byte without lead
             std::string("cut \xC3"),            // sequence cut by the end
             std::string("cut \xE2\x80 ok"),     // sequence cut by a plain byte
             std::string("\xC0\xAF"),            // overlong "/"
             std::string("\xE0\x80\xAF"),        // overlong, three bytes
             std::string("\xED\xA0\x80"),        // surrogate
             std::string("\xF4\x90\x80\x80"),    // above U+10FFFF
             std::string("\xEF\xBB\xBFgood\xFE"),  // valid start, bad end: no partial text
         }) {
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(0, Load(WithLicense(Licence(bad)), text)) << bad;
        EXPECT_STREQ(L"before", text.pszGet()) << bad;
        EXPECT_NE(std::string::npos, err.find("UTF-8 valide")) << err;
        EXPECT_EQ("", TmpListing()) << bad;
    }
}

TEST_F(LicenseText, SizesAreCheckedBeforeAnythingIsWritten)
{
    Entry over = Licence(std::string(CDataExtractor::MAX_TAILLE_LICENCE + 1, 'a'));
    // A declared size far above the data: refused on the size alone.
    Entry declared = Licence("abc");
    declared.centralUncompressed = 0xFFFFFFF0u;
    declared.localUncompressed = 0xFFFFFFF0u;
    // The same through a ZIP64 block: 2^40 bytes, over 32 bits.
    Entry declared64 = Licence("abc");
    declared64.centralUncompressed = 0xFFFFFFFFu;
    declared64.localUncompressed = 0xFFFFFFFFu;
    ziptest::Put16(declared64.extraBefore, 1);
    ziptest::Put16(declared64.extraBefore, 8);
    ziptest::Put64(declared64.extraBefore, uint64_t(1) << 40);
    // Within the limit, but more than the compressed bytes could give.
    Entry implausible = Licence("abc");
    implausible.centralUncompressed = 500000;
    implausible.localUncompressed = 500000;
    const struct
    {
        const char* what;
        Entry entry;
        const char* expected;
    } cases[] = {
        {"one byte over", over, "1 Mio"},
        {"declared", declared, "1 Mio"},
        {"declared, ZIP64", declared64, "1 Mio"},
        {"implausible", implausible, "pas une archive ZIP valide"},
    };
    for (const auto& c : cases) {
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(0, Load(WithLicense(c.entry), text)) << c.what;
        EXPECT_STREQ(L"before", text.pszGet()) << c.what;
        EXPECT_NE(std::string::npos, err.find(c.expected)) << c.what << ": " << err;
        EXPECT_EQ("", TmpListing()) << c.what;
    }
}

// The seam's view of the temporary file, once it is made and before the
// entry is written into it.
struct Seen
{
    std::string file, directory;
    mode_t fileMode = 0, directoryMode = 0;
    uid_t fileUid = 0, directoryUid = 0;
    bool regular = false;
    // What to put in the file's place: "" nothing, "symlink" or "hardlink".
    std::string replaceWith;
    std::string target;
};

void Look(void* p, const wchar_t* pszFile)
{
    Seen& s = *static_cast<Seen*>(p);
    char narrow[4096];
    ASSERT_NE(static_cast<size_t>(-1), std::wcstombs(narrow, pszFile, sizeof narrow));
    s.file = narrow;
    s.directory = s.file.substr(0, s.file.rfind('/'));
    struct stat st;
    ASSERT_EQ(0, lstat(s.file.c_str(), &st));
    s.regular = S_ISREG(st.st_mode);
    s.fileMode = st.st_mode & 07777;
    s.fileUid = st.st_uid;
    ASSERT_EQ(0, lstat(s.directory.c_str(), &st));
    s.directoryMode = st.st_mode & 07777;
    s.directoryUid = st.st_uid;
    if (s.replaceWith.empty())
        return;
    ASSERT_EQ(0, unlink(s.file.c_str()));
    if (s.replaceWith == "symlink")
        ASSERT_EQ(0, symlink(s.target.c_str(), s.file.c_str()));
    else
        ASSERT_EQ(0, link(s.target.c_str(), s.file.c_str()));
}

TEST_F(LicenseText, TheTemporaryFileIsPrivateAndGoesAwayWithItsDirectory)
{
    const mode_t oldMask = umask(0);  // the modes must not depend on it
    CDataExtractor x(0);
    Seen seen;
    x.SetAvantExtractionLicence(Look, &seen);
    CXYString<wchar_t> text;
    const int rc = Load(WithLicense(Licence("texte")), text, &x);
    umask(oldMask);
    EXPECT_EQ(1, rc) << err;
    EXPECT_STREQ(L"texte", text.pszGet());
    EXPECT_EQ(tmp, seen.directory.substr(0, tmp.size()));
    EXPECT_EQ("mr", seen.directory.substr(tmp.size() + 1, 2));
    EXPECT_EQ("mr", seen.file.substr(seen.directory.size() + 1, 2));
    EXPECT_TRUE(seen.regular);
    EXPECT_EQ(0600u, seen.fileMode);
    EXPECT_EQ(0700u, seen.directoryMode);
    EXPECT_EQ(geteuid(), seen.fileUid);
    EXPECT_EQ(geteuid(), seen.directoryUid);
    EXPECT_EQ("", TmpListing());
}

TEST_F(LicenseText, ALinkOrAnotherFileInPlaceOfTheTemporaryFileIsNotWritten)
{
    for (const char* kind : {"symlink", "hardlink"}) {
        struct stat before;
        ASSERT_EQ(0, stat((outside + "/secret").c_str(), &before));
        CDataExtractor x(0);
        Seen seen;
        seen.replaceWith = kind;
        seen.target = outside + "/secret";
        x.SetAvantExtractionLicence(Look, &seen);
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(0, Load(WithLicense(Licence("payload")), text, &x)) << kind;
        EXPECT_STREQ(L"before", text.pszGet());
        EXPECT_NE(std::string::npos, err.find(seen.file)) << err;
        EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret")) << kind;
        struct stat after;
        ASSERT_EQ(0, stat((outside + "/secret").c_str(), &after));
        EXPECT_EQ(before.st_mode, after.st_mode);
        EXPECT_EQ(1u, after.st_nlink) << kind;  // the extra name went with the directory
        EXPECT_EQ("", TmpListing()) << kind;
    }
}


// The seam's change to the temporary file once the entry is written into it,
// before the text is read back.
struct Tampering
{
    // "symlink" or "hardlink" to target, "file" (a new file holding
    // "other"), or a change of the file itself: "append", "truncate" or
    // "overwrite" (the same size, other bytes).
    std::string how;
    std::string target;
    std::string file;
};

void Tamper(void* p, const wchar_t* pszFile)
{
    Tampering& t = *static_cast<Tampering*>(p);
    char narrow[4096];
    ASSERT_NE(static_cast<size_t>(-1), std::wcstombs(narrow, pszFile, sizeof narrow));
    t.file = narrow;
    if (t.how == "append" || t.how == "truncate" || t.how == "overwrite") {
        const int fd = open(t.file.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        ASSERT_LE(0, fd);
        struct stat st;
        ASSERT_EQ(0, fstat(fd, &st));
        if (t.how == "append")
            ASSERT_EQ(1, pwrite(fd, "!", 1, st.st_size));
        else if (t.how == "truncate")
            ASSERT_EQ(0, ftruncate(fd, st.st_size - 1));
        else
            ASSERT_EQ(1, pwrite(fd, "P", 1, 0));
        close(fd);
        return;
    }
    ASSERT_EQ(0, unlink(t.file.c_str()));
    if (t.how == "symlink")
        ASSERT_EQ(0, symlink(t.target.c_str(), t.file.c_str()));
    else if (t.how == "hardlink")
        ASSERT_EQ(0, link(t.target.c_str(), t.file.c_str()));
    else
        ziptest::WriteFile(t.file, "other");
}

TEST_F(LicenseText, WhatIsPutUnderTheFilesNameAfterTheWriteIsNotRead)
{
    const struct
    {
        const char* how;
        std::string target;
    } cases[] = {
        {"symlink", outside + "/secret"},
        {"symlink", "/"},
        {"hardlink", outside + "/secret"},
        {"file", ""},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.how) + " " + c.target;
        CDataExtractor x(0);
        Tampering t{.how = c.how, .target = c.target};
        x.SetAvantRelectureLicence(Tamper, &t);
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(1, Load(WithLicense(Licence("payload")), text, &x)) << what << ": " << err;
        EXPECT_STREQ(L"payload", text.pszGet()) << what;
        EXPECT_EQ("", err) << what;
        EXPECT_FALSE(t.file.empty()) << what << ": the seam was not called";
        EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret")) << what;
        struct stat st;
        ASSERT_EQ(0, stat((outside + "/secret").c_str(), &st));
        EXPECT_EQ(1u, st.st_nlink) << what;  // the extra name went with the directory
        EXPECT_EQ("", TmpListing()) << what;
    }
}

TEST_F(LicenseText, AFileChangedAfterTheWriteIsRefused)
{
    for (const char* how : {"append", "truncate", "overwrite"}) {
        CDataExtractor x(0);
        Tampering t{.how = how};
        x.SetAvantRelectureLicence(Tamper, &t);
        CXYString<wchar_t> text(L"before");
        EXPECT_EQ(0, Load(WithLicense(Licence("payload")), text, &x)) << how;
        EXPECT_STREQ(L"before", text.pszGet()) << how;
        EXPECT_NE(std::string::npos, err.find("<" + t.file + ">")) << how << ": " << err;
        EXPECT_NE(std::string::npos, err.find("ne contient plus le texte de licence")) << how << ": " << err;
        EXPECT_EQ("", TmpListing()) << how;
    }
}

}  // namespace
