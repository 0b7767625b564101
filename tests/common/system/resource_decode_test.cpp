// The wide decode of a looked-up resource: unpack, then UTF-8 or UTF-16LE to
// wide text, whole or cut to the caller's capacity.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/system/data_compressor.h"
#include "tests/common/system/resource_test_support.h"

namespace {

using vxtest::PackRaw;
using vxtest::RecordOf;

// 40 characters, 80 UTF-8 bytes: a cut must fall between characters.
const std::wstring kForty(40, L'\u00E9');

std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

TEST(ResourceDecode, WholeTextInBothEncodings)
{
    const std::wstring text = L"Fichier <%s> : \u00E9t\u00E9 \u20AC";
    const std::vector<unsigned char> utf8 = PackRaw(Utf8(text));
    const std::vector<unsigned char> utf16 = PackRaw(vxtest::Utf16le(text));
    for (const auto& [packed, encoding] :
         {std::pair{&utf8, RES_ENCODING_UTF8}, std::pair{&utf16, RES_ENCODING_UTF16LE}}) {
        STRessourceModule rec = RecordOf(*packed, encoding);
        std::vector<wchar_t> out(64, L'#');
        int capacity = 64;
        EXPECT_EQ(CDataCompressor::nOk, CDataCompressor::s_nDeCompress(out.data(), &capacity, rec)) << encoding;
        EXPECT_EQ(static_cast<int>(text.size()), capacity);
        EXPECT_EQ(text, std::wstring(out.data()));

        wchar_t* whole = CDataCompressor::s_pszDeCompress(rec);
        ASSERT_NE(nullptr, whole);
        EXPECT_EQ(text, std::wstring(whole));
        std::free(whole);
    }
}

// A cut text: capacity - 1 characters and a terminator, the needed length
// reported; no room at all writes nothing.
TEST(ResourceDecode, CutToTheCapacity)
{
    const std::vector<unsigned char> packed = PackRaw(Utf8(kForty));
    struct Case { int capacity; bool nullBuffer; int result; int written; };
    const Case cases[] = {
        {10, false, CDataCompressor::nTruncated, 9},
        {1, false, CDataCompressor::nTruncated, 0},
        {40, false, CDataCompressor::nTruncated, 39},
        {41, false, CDataCompressor::nOk, 40},
        {0, false, CDataCompressor::nTruncated, -1},
        {-5, false, CDataCompressor::nTruncated, -1},
        {10, true, CDataCompressor::nTruncated, -1},
    };
    for (const Case& c : cases) {
        STRessourceModule rec = RecordOf(packed);
        std::vector<wchar_t> out(64, L'#');
        int capacity = c.capacity;
        EXPECT_EQ(c.result, CDataCompressor::s_nDeCompress(c.nullBuffer ? nullptr : out.data(), &capacity, rec))
            << c.capacity;
        EXPECT_EQ(40, capacity) << c.capacity;
        if (c.written < 0) {
            EXPECT_EQ(std::wstring(64, L'#'), std::wstring(out.data(), 64)) << c.capacity;
        } else {
            EXPECT_EQ(kForty.substr(0, static_cast<size_t>(c.written)), std::wstring(out.data())) << c.capacity;
            EXPECT_EQ(L'#', out[static_cast<size_t>(c.written) + 1]) << c.capacity;
        }
    }
}

TEST(ResourceDecode, FailuresReportMinusOne)
{
    const std::vector<unsigned char> zeroPair = {0, 5};
    const std::vector<unsigned char> overrun = {51, 11, 9, 'a'};  // a run of 9 bytes, one given
    const std::vector<unsigned char> good = PackRaw("abc");
    struct Case { const std::vector<unsigned char>* packed; uint32_t encoding; int result; };
    const Case cases[] = {
        {&zeroPair, RES_ENCODING_UTF8, CDataCompressor::nCorrupt},
        {&overrun, RES_ENCODING_UTF8, CDataCompressor::nEscapeOverrun},
        {&good, 0, CDataCompressor::nCorrupt},
        {&good, 3, CDataCompressor::nCorrupt},
    };
    for (const Case& c : cases) {
        STRessourceModule rec = RecordOf(*c.packed, c.encoding);
        wchar_t out[16];
        int capacity = 16;
        EXPECT_EQ(c.result, CDataCompressor::s_nDeCompress(out, &capacity, rec));
        EXPECT_EQ(-1, capacity);
        EXPECT_EQ(nullptr, CDataCompressor::s_pszDeCompress(rec));
    }
}

TEST(ResourceDecode, EmptyTextAndOddUtf16Byte)
{
    const std::vector<unsigned char> empty;
    STRessourceModule rec = RecordOf(empty);
    wchar_t out[4] = {L'#', L'#', L'#', L'#'};
    int capacity = 4;
    EXPECT_EQ(CDataCompressor::nOk, CDataCompressor::s_nDeCompress(out, &capacity, rec));
    EXPECT_EQ(0, capacity);
    EXPECT_EQ(L'\0', out[0]);

    // "AB" and half a unit: the lone byte is dropped.
    const std::vector<unsigned char> odd = PackRaw(std::string("A\0B\0C", 5));
    rec = RecordOf(odd, RES_ENCODING_UTF16LE);
    capacity = 4;
    EXPECT_EQ(CDataCompressor::nOk, CDataCompressor::s_nDeCompress(out, &capacity, rec));
    EXPECT_EQ(std::wstring(L"AB"), std::wstring(out));
}

}  // namespace
