// Line reads (8-bit and wide, chunked and buffered) and formatted writes.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/system/disk_file.h"
#include "common/text/ct_string.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::ReadFile;
using vxtest::WriteFile;

std::string WideBytes(const std::wstring& s)
{
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}

class DiskFileLines : public vxtest::ScratchDirectory
{
protected:
    CDiskFile& Open(const std::string& content)
    {
        WriteFile("f", content);
        m_file.Close();
        EXPECT_TRUE(m_file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                                 IXStream::XFLAG_NONE, nullptr));
        return m_file;
    }

    // Every line bReadLine gives, with its truncated flag as a "+" suffix.
    std::vector<std::string> Lines(const std::string& content, unsigned nSize, unsigned nFlags)
    {
        CDiskFile& f = Open(content);
        std::vector<std::string> out;
        std::vector<char> buffer(nSize);
        int bTruncated = 0;
        while (f.bReadLine(buffer.data(), nSize, &bTruncated, nFlags) && out.size() < 1000)
            out.push_back(std::string(buffer.data()) + (bTruncated ? "+" : ""));
        return out;
    }

    CDiskFile m_file;
};

using L = std::vector<std::string>;

TEST_F(DiskFileLines, LineEnds)
{
    EXPECT_EQ((L{"one", "two"}), Lines("one\r\ntwo\r\n", 100, 0));
    EXPECT_EQ((L{"a", "b", "c", "", "d"}), Lines("a\rb\nc\n\nd", 100, 0));
    EXPECT_EQ((L{"a\rb\nc", "d"}), Lines("a\rb\nc\r\nd", 100, 1)) << "bit 0: only CR LF ends a line";
    EXPECT_EQ((L{"x\r"}), Lines("x\r", 100, 1));
    EXPECT_EQ((L{"x"}), Lines("x\r", 100, 0)) << "a CR at the end of the data ends the line";
    EXPECT_EQ((L{}), Lines("", 100, 0));
    EXPECT_EQ((L{""}), Lines("\r\n", 100, 0));
    // Mixed line ends: an LF before the chunk's first CR ends its line.
    EXPECT_EQ((L{"a", "b", "c"}), Lines("a\nb\r\nc", 100, 0));
}

TEST_F(DiskFileLines, ChunkBoundaries)
{
    // A CR closing an 80-character chunk is read again with the next one.
    const std::string s79(79, 'a');
    EXPECT_EQ((L{s79, "next"}), Lines(s79 + "\r\nnext", 200, 0));
    EXPECT_EQ((L{s79, "next"}), Lines(s79 + "\r\nnext", 200, 1));
    EXPECT_EQ((L{s79 + "\rb", "c"}), Lines(s79 + "\rb\r\nc", 200, 1));
    EXPECT_EQ((L{s79, "b"}), Lines(s79 + "\rb", 200, 0));
    // A last line without end, also a multiple of 80 characters long.
    const std::string s160(160, 'z');
    EXPECT_EQ((L{s160}), Lines(s160, 400, 0));
    EXPECT_EQ((L{"a", s160}), Lines("a\n" + s160, 400, 0));
    const std::string s200(200, 'q');
    EXPECT_EQ((L{s200, "r"}), Lines(s200 + "\nr", 400, 0));
}

TEST_F(DiskFileLines, LongLinesAreCutAndContinued)
{
    EXPECT_EQ((L{"abcd+", "efgh+", "ij", "k"}), Lines("abcdefghij\nk", 5, 0));
    EXPECT_EQ((L{"abcd", "e"}), Lines("abcd\ne", 5, 0)) << "exactly size - 1 fits";
    const std::string s(100, 'x');
    EXPECT_EQ((L{s.substr(0, 89) + "+", s.substr(89)}), Lines(s, 90, 0));

    CDiskFile& f = Open("abc");
    char sz[1] = {'#'};
    int bTruncated = 7;
    EXPECT_FALSE(f.bReadLine(sz, 0, &bTruncated, 0)) << "no room at all";
    EXPECT_EQ('#', sz[0]);
    EXPECT_EQ(0, bTruncated);
}

TEST_F(DiskFileLines, WideLines)
{
    WriteFile("w", WideBytes(L"\u00e9t\u00e9\r\nhiver") + "\x01");  // a cut character at the end
    CDiskFile f;
    ASSERT_TRUE(f.bOpen(L"w", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
    wchar_t w[16];
    int bTruncated = 0;
    ASSERT_TRUE(f.bReadLine(w, 16, &bTruncated, 0));
    EXPECT_STREQ(L"\u00e9t\u00e9", w);
    EXPECT_EQ(5 * 4, f.oGetOffset());
    ASSERT_TRUE(f.bReadLine(w, 3, &bTruncated, 0));
    EXPECT_STREQ(L"hi", w);
    EXPECT_EQ(1, bTruncated);
    ASSERT_TRUE(f.bReadLine(w, 16, &bTruncated, 0));
    EXPECT_STREQ(L"ver", w);
    EXPECT_FALSE(f.bReadLine(w, 16, &bTruncated, 0));
}

TEST_F(DiskFileLines, BufferedWideLines)
{
    // Lines across the 64 KB blocks, the last one without end.
    std::wstring text;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back(L"line " + std::to_wstring(i) + std::wstring(static_cast<size_t>(i % 13), L'\u00e9'));
        text += expected.back() + (i % 2 ? L"\r\n" : L"\n");
    }
    expected.push_back(L"tail");
    text += L"tail";
    WriteFile("w", WideBytes(text));
    CDiskFile f;
    ASSERT_TRUE(f.bOpen(L"w", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
    wchar_t w[64];
    CTString longLine;
    std::vector<std::wstring> got;
    while (const wchar_t* p = f.pszReadLine(w, 64, &longLine, nullptr))
        got.push_back(p);
    EXPECT_EQ(expected, got);

    // A separator, and a line longer than the buffer.
    WriteFile("s", WideBytes(L"a;;" + std::wstring(100, L'b') + L";;c"));
    CDiskFile g;
    ASSERT_TRUE(g.bOpen(L"s", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
    const wchar_t* p = g.pszReadLine(w, 64, &longLine, L";;");
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ(L"a", p);
    EXPECT_EQ(w, p);
    p = g.pszReadLine(w, 64, &longLine, L";;");
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(std::wstring(100, L'b'), p);
    EXPECT_EQ(longLine.pszGet(), p) << "a long line comes back in the string";
    p = g.pszReadLine(w, 64, &longLine, L";;");
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ(L"c", p);
    EXPECT_EQ(nullptr, g.pszReadLine(w, 64, &longLine, L";;"));

    WriteFile("e", "");
    CDiskFile h;
    ASSERT_TRUE(h.bOpen(L"e", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(nullptr, h.pszReadLine(w, 64, &longLine, nullptr));
}

TEST_F(DiskFileLines, FormattedWrites)
{
    CDiskFile f;
    ASSERT_TRUE(f.bOpen(L"o", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                        IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(f.bWriteString("%d-%s|", 42, "x"));
    EXPECT_EQ("42-x|", ReadFile("o"));
    EXPECT_TRUE(f.bWriteString(L"%s=%d", L"\u00e9", 7));
    EXPECT_EQ("42-x|" + WideBytes(L"\u00e9=7"), ReadFile("o"));
    // Output beyond 1024 characters is cut.
    ASSERT_TRUE(f.bSetSize(0, IXStream::XGROW_SET));
    const std::string sLong(2000, 'y');
    EXPECT_TRUE(f.bWriteString("%s", sLong.c_str()));
    EXPECT_EQ(std::string(1024, 'y'), ReadFile("o"));
    ASSERT_TRUE(f.bSetSize(0, IXStream::XGROW_SET));
    const std::wstring wLong(2000, L'z');
    EXPECT_TRUE(f.bWriteString(L"%s", wLong.c_str()));
    EXPECT_EQ(WideBytes(std::wstring(1024, L'z')), ReadFile("o"));
}

}  // namespace
