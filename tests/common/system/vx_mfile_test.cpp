// Message files: strings by id in code page 1252 or UTF-8, and files whose
// sizes lie.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/system/vx_mfile.h"
#include "common/text/ct_string.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/common/system/typed_file_bytes.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::MessageFile;
using vxtest::PutU32;
using vxtest::PutU64;
using vxtest::TypedHeader;
using vxtest::WriteFile;

class MessageFileTest : public vxtest::ScratchDirectory
{
protected:
    bool Open(CVXMFile& file)
    {
        return file.bOpen(WPath("m").c_str(), CVXFile::XFORMAT_DEFAULT, IXStream::XACCESS_READ,
                          IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE);
    }
};

TEST_F(MessageFileTest, StringsInTheVersionsCodePage)
{
    struct Case
    {
        uint32_t dwVersion;
        const char* pszBytes;
        unsigned nCodePage;
    } aCases[] = {
        {1, "caf\xE9 \x80", 1252},
        {0, "caf\xE9 \x80", 1252},
        {2, "caf\xC3\xA9 \xE2\x82\xAC", 65001},
        {7, "caf\xC3\xA9 \xE2\x82\xAC", 65001},
    };
    CVXMFile reused;
    for (const Case& c : aCases) {
        WriteFile(Path("m"), MessageFile(c.dwVersion, {{5, "five"}, {9, c.pszBytes}, {0xFFFFFFF0u, "last"}}, 3));
        CVXMFile file;
        ASSERT_TRUE(Open(file));
        // One object over several files takes each file's code page.
        ASSERT_TRUE(Open(reused));
        EXPECT_EQ(c.nCodePage, reused.nGetCodePage());
        CTString again;
        EXPECT_TRUE(reused.bLoadString(9, again));
        EXPECT_STREQ(L"caf\u00e9 \u20ac", again.pszGet());
        reused.Close();
        EXPECT_EQ(c.nCodePage, file.nGetCodePage());
        EXPECT_EQ(c.dwVersion, file.dwGetVersion());
        CTString text;
        ASSERT_TRUE(file.bLoadString(9, text));
        EXPECT_STREQ(L"caf\u00e9 \u20ac", text.pszGet());
        EXPECT_EQ(3u, file.nGetNbEntries());
        wchar_t sz[16];
        EXPECT_EQ(std::strlen(c.pszBytes), file.nLoadString(9, sz, 16));
        EXPECT_STREQ(L"caf\u00e9 \u20ac", sz);
        // Ids compare unsigned.
        EXPECT_EQ(4u, file.nLoadString(0xFFFFFFF0u, sz, 16));
        EXPECT_STREQ(L"last", sz);
        EXPECT_TRUE(file.bLoadString(5, text));
        EXPECT_STREQ(L"five", text.pszGet());
    }
}

TEST_F(MessageFileTest, MissingIdsAndSmallBuffers)
{
    WriteFile(Path("m"), MessageFile(2, {{10, "0123456789"}, {20, ""}, {30, "x"}}));
    CVXMFile file;
    ASSERT_TRUE(Open(file));
    wchar_t sz[3] = {L'#', L'#', L'#'};
    EXPECT_EQ(10u, file.nLoadString(10, sz, 3));
    EXPECT_STREQ(L"01", sz);
    CTString text;
    for (uint32_t dwId : {0u, 9u, 11u, 25u, 31u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(file.bLoadString(dwId, text)) << dwId;
        EXPECT_EQ(0u, file.nLoadString(dwId, sz, 3)) << dwId;
    }
    EXPECT_TRUE(file.bLoadString(20, text));
    EXPECT_STREQ(L"", text.pszGet());
    EXPECT_EQ(0u, file.nLoadString(20, sz, 3));
    EXPECT_STREQ(L"", sz);

    // An empty index loads and finds nothing.
    WriteFile(Path("m"), MessageFile(2, {}));
    CVXMFile empty;
    ASSERT_TRUE(Open(empty));
    EXPECT_FALSE(empty.bLoadString(1, text));
    EXPECT_TRUE(empty.bVerifieFormat(WPath("m").c_str()));
}

// Counts and lengths read from the file are checked against what remains of
// it before anything is allocated or read; none of these files loads.
TEST_F(MessageFileTest, HostileSizes)
{
    const std::string sHeader = TypedHeader(7);
    auto Index = [&](uint32_t dwBlock, uint32_t nCount, const std::string& sRest) {
        std::string s = sHeader;
        PutU32(s, 2);
        PutU32(s, dwBlock);
        PutU32(s, nCount);
        return s + sRest;
    };
    auto Entry = [](uint32_t dwId, uint64_t oOffset) {
        std::string s;
        PutU32(s, dwId);
        PutU64(s, oOffset);
        return s;
    };
    auto Record = [](uint32_t nLen, const std::string& sText) {
        std::string s = "\x01";
        PutU32(s, nLen);
        return s + sText;
    };
    struct Case
    {
        const char* pszWhat;
        std::string sFile;
        bool bIndexLoads;
    } aCases[] = {
        // 12 x N wraps in 32 bits for these counts.
        {"count 0xFFFFFFFF", Index(0, 0xFFFFFFFFu, Entry(1, 0) + Record(1, "a")), false},
        {"count 0x15555556", Index(0, 0x15555556u, Entry(1, 0) + Record(1, "a")), false},
        {"count past the end", Index(0, 2, Entry(1, 0)), false},
        {"block past the end", Index(0xFFFFFFF0u, 1, Entry(1, 0) + Record(1, "a")), false},
        {"no count", sHeader + std::string("\x02\0\0\0\0\0\0\0", 8), false},
        // L + 1 wraps for 0xFFFFFFFF.
        {"length 0xFFFFFFFF", Index(0, 1, Entry(1, 0) + Record(0xFFFFFFFFu, "abc")), true},
        {"length past the end", Index(0, 1, Entry(1, 0) + Record(4, "abc")), true},
        {"offset past the end", Index(0, 1, Entry(1, 6) + Record(1, "a")), true},
        {"offset 2^63", Index(0, 1, Entry(1, uint64_t{1} << 63) + Record(1, "a")), true},
        {"offset 2^64 - 1", Index(0, 1, Entry(1, ~uint64_t{0}) + Record(1, "a")), true},
        {"record cut in its length", Index(0, 1, Entry(1, 0) + std::string("\x01\x01", 2)), true},
    };
    for (const Case& c : aCases) {
        WriteFile(Path("m"), c.sFile);
        CVXMFile file;
        ASSERT_TRUE(Open(file)) << c.pszWhat;
        CTString text;
        wchar_t sz[8];
        EXPECT_FALSE(file.bLoadString(1, text)) << c.pszWhat;
        EXPECT_EQ(0u, file.nLoadString(1, sz, 8)) << c.pszWhat;
        file.Close();
        EXPECT_EQ(c.bIndexLoads, file.bVerifieFormat(WPath("m").c_str())) << c.pszWhat;
    }
}

TEST_F(MessageFileTest, FailedIndexStaysFailedUntilPurged)
{
    std::string sBad = TypedHeader(7);
    PutU32(sBad, 2);
    PutU32(sBad, 0);
    PutU32(sBad, 50);
    WriteFile(Path("m"), sBad);
    CVXMFile file;
    ASSERT_TRUE(Open(file));
    CTString text;
    EXPECT_FALSE(file.bLoadString(1, text));
    // The file is repaired on disk; the object does not look again.
    WriteFile(Path("m"), MessageFile(2, {{1, "one"}}));
    EXPECT_FALSE(file.bLoadString(1, text));
    file.Purge();
    EXPECT_EQ(0u, file.dwGetVersion());
    file.Close();
    ASSERT_TRUE(Open(file));
    EXPECT_TRUE(file.bLoadString(1, text));
    EXPECT_STREQ(L"one", text.pszGet());
}

TEST_F(MessageFileTest, VerifyFormatNeedsHeaderAndIndex)
{
    CVXMFile file;
    WriteFile(Path("m"), MessageFile(1, {{1, "a"}}));
    EXPECT_TRUE(file.bVerifieFormat(WPath("m").c_str()));
    EXPECT_FALSE(file.bIsOpen());
    WriteFile(Path("m"), "not a typed file at all");
    CVXMFile other;
    EXPECT_FALSE(other.bVerifieFormat(WPath("m").c_str()));
    EXPECT_FALSE(other.bIsOpen());
    EXPECT_FALSE(other.bVerifieFormat(WPath("missing").c_str()));
}

}  // namespace
