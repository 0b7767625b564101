// The line reader of the profile files and the STRG_nGetLine exports.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/system/profile_line_reader.h"
#include "common/text/text_exports.h"
#include "tests/common/system/profile_fixture.h"

namespace {

using vxtest::Utf16;

class LineReader : public vxtest::ProfileDirectory
{
protected:
    FILE* Open(const std::string& sBytes)
    {
        Put(Path("f"), sBytes);
        FILE* f = std::fopen(Path("f").c_str(), "r");
        EXPECT_NE(nullptr, f);
        return f;
    }
};

TEST_F(LineReader, BytesUpToTheLineFeedWithTheCarriageReturnKept)
{
    FILE* f = Open("ab\r\n\nlast");
    char* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(4, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_STREQ("ab\r\n", p);
    EXPECT_EQ(64u, n);
    EXPECT_EQ(1, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_STREQ("\n", p);
    EXPECT_EQ(4, (__STRG_nGetLine<char, char>(&p, &n, f)));  // the last line has no LF
    EXPECT_STREQ("last", p);
    EXPECT_EQ(STRG_LINE_END, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_STREQ("", p);
    std::free(p);
    std::fclose(f);
}

TEST_F(LineReader, Utf16UnitsCountTwoBytesEach)
{
    FILE* f = Open(Utf16(L"k\u00e9\u20ac\r\nz"));
    wchar_t* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(10, (__STRG_nGetLine<wchar_t, unsigned short>(&p, &n, f)));
    EXPECT_STREQ(L"k\u00e9\u20ac\r\n", p);
    EXPECT_EQ(256u, n);
    EXPECT_EQ(2, (__STRG_nGetLine<wchar_t, unsigned short>(&p, &n, f)));
    EXPECT_STREQ(L"z", p);
    EXPECT_EQ(STRG_LINE_END, (__STRG_nGetLine<wchar_t, unsigned short>(&p, &n, f)));
    std::free(p);
    std::fclose(f);
}

TEST_F(LineReader, WideCharactersCountTheirUtf8Bytes)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    FILE* f = Open("\xC3\xA9t\xC3\xA9\n");
    wchar_t* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(6, (__STRG_nGetLine<wchar_t, wchar_t>(&p, &n, f)));
    EXPECT_STREQ(L"\u00e9t\u00e9\n", p);
    EXPECT_EQ(-1, STRG_nGetLine<wchar_t>(&p, &n, f));
    std::free(p);
    std::fclose(f);
}

// Long lines grow the caller's buffer from the first step on and keep every
// byte.
TEST_F(LineReader, GrowsForLongLines)
{
    const std::string sLong(1000, 'x');
    FILE* f = Open(sLong + "\ny");
    char* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(1001, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_EQ(sLong + "\n", p);
    EXPECT_EQ(0u, n % 64);
    EXPECT_GE(n, 1002u);
    std::free(p);
    std::fclose(f);

    f = Open(Utf16(std::wstring(300, L'w') + L"\n"));
    wchar_t* pw = nullptr;
    n = 0;
    EXPECT_EQ(602, (__STRG_nGetLine<wchar_t, unsigned short>(&pw, &n, f)));
    EXPECT_EQ(std::wstring(300, L'w') + L"\n", pw);
    EXPECT_EQ(0u, n % 256);
    std::free(pw);
    std::fclose(f);
}

// A line of 12 bytes is a line: 12 is the exported out-of-memory answer
// only, never what the reader itself signals.
TEST_F(LineReader, TwelveByteLineIsAnOrdinaryLine)
{
    FILE* f = Open("abcdefghij\r\nnext\n");
    char* p = nullptr;
    size_t n = 0;
    const int nFirst = __STRG_nGetLine<char, char>(&p, &n, f);
    EXPECT_EQ(12, nFirst);
    EXPECT_NE(STRG_LINE_NO_MEMORY, nFirst);
    EXPECT_EQ(5, STRG_nGetLine<char>(&p, &n, f));
    EXPECT_STREQ("next\n", p);
    EXPECT_EQ(-1, STRG_nGetLine<char>(&p, &n, f));
    std::free(p);
    std::fclose(f);
}

TEST_F(LineReader, OddTrailingByteOfUtf16FileEndsTheFile)
{
    FILE* f = Open(Utf16(L"a\n") + "x");
    wchar_t* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(4, (__STRG_nGetLine<wchar_t, unsigned short>(&p, &n, f)));
    EXPECT_EQ(STRG_LINE_END, (__STRG_nGetLine<wchar_t, unsigned short>(&p, &n, f)));
    std::free(p);
    std::fclose(f);
}

}  // namespace
