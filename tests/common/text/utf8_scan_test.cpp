#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "common/text/utf8_scan.h"

namespace {

// The two length tables are kept as the code reads them: they disagree on
// continuation bytes and on F8-FF.
TEST(Utf8Lengths, TablesByLeadByte)
{
    const struct { unsigned char lead; int tab; int nb; } cases[] = {
        {0x00, 1, 1}, {0x7F, 1, 1}, {0x80, 0, 2}, {0xBF, 0, 2}, {0xC0, 2, 2}, {0xDF, 2, 2},
        {0xE0, 3, 3}, {0xEF, 3, 3}, {0xF0, 4, 4}, {0xF7, 4, 4}, {0xF8, 5, 5}, {0xFB, 5, 5},
        {0xFC, 6, 6}, {0xFD, 6, 6}, {0xFE, 6, 1}, {0xFF, 6, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.tab, TabUTF8len[c.lead >> 2]) << std::hex << int{c.lead};
        EXPECT_EQ(c.nb, STR_nGetNbByteUTF8(c.lead)) << std::hex << int{c.lead};
    }
}

TEST(Utf8Stepping, UTF8nextStopsAtTheFirstByteThatIsNotAContinuation)
{
    const struct { const char* text; int step; } cases[] = {
        {"A", 1},
        {"\xC3\xA9x", 2},
        {"\xE2\x82\xACx", 3},
        {"\xF0\x9F\x98\x80x", 4},
        {"\xC3" "A", 1},           // cut by an ASCII byte
        {"\xE2\x82", 2},           // cut by the terminator
        {"\xE2", 1},
        {"\x80" "A", 1},           // stray continuation byte
        {"\x80\x80\x80" "A", 3},   // continuation bytes read like a six-byte lead
        {"\x80\x80\x80\x80\x80\x80\x80", 6},
        {"", 1},                   // the terminator is one step
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.step, UTF8Len(c.text)) << c.text;
        EXPECT_EQ(c.text + c.step, UTF8next(c.text));
        char copy[16];
        std::strcpy(copy, c.text);
        EXPECT_EQ(copy + c.step, UTF8next(static_cast<char*>(copy)));
    }
    EXPECT_EQ(3u, UTF8ToWideLen("\xC3\xA9" "a\xE2\x82"));
    EXPECT_EQ(0u, UTF8ToWideLen(""));
}

TEST(Utf8Stepping, CharacterCountsAtEveryAlignment)
{
    std::mt19937 rng(7);
    const unsigned char pool[] = {'a', 'z', 0x80, 0xBF, 0xC3, 0xE2, 0xF0, 0xFF, 0x7F};
    alignas(8) char buffer[300];
    for (int round = 0; round < 200; ++round) {
        const size_t offset = rng() % 8;
        const size_t len = rng() % 280;
        for (size_t i = 0; i < len; ++i) buffer[offset + i] = static_cast<char>(pool[rng() % sizeof pool]);
        buffer[offset + len] = 0;
        const char* text = buffer + offset;
        size_t expected = 0;
        for (size_t i = 0; i < len; ++i) expected += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        ASSERT_EQ(expected, StrLenUTF8(text));
        const long n = static_cast<long>(rng() % 300);
        size_t expectedN = 0;
        for (size_t i = 0; i < len && i < static_cast<size_t>(n); ++i) {
            expectedN += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        }
        ASSERT_EQ(expectedN, StrNLenUTF8(text, n));
    }
    EXPECT_EQ(0u, StrNLenUTF8("abc", 0));
    EXPECT_EQ(0u, StrNLenUTF8("abc", -1));
    EXPECT_EQ(0u, StrLenUTF8(nullptr));
}

TEST(Utf8Lengths, BytesOfWideText)
{
    const std::wstring text = std::wstring(L"a\u00E9\u20AC\U0001F600") + static_cast<wchar_t>(0x110000) +
                              static_cast<wchar_t>(-5);
    EXPECT_EQ(1u + 2 + 3 + 4 + 1 + 1, UTF8ByteLen(text.c_str()));
    EXPECT_EQ(3u, UTF8ByteLenTotal(L"a\u00E9", 2)) << "no terminator within n";
    EXPECT_EQ(4u, UTF8ByteLenTotal(L"a\u00E9", 3));
    EXPECT_EQ(4u, UTF8ByteLenTotal(L"a\u00E9", 100));
    EXPECT_EQ(1u, UTF8ByteLenTotal(L"", 5));
    EXPECT_EQ(0u, UTF8ByteLenTotal(L"abc", 0));
}

TEST(Utf8Decoding, FirstCharacter)
{
    const struct { const char* text; int avail; int code; int len; } cases[] = {
        {"A", 1, 'A', 1},
        {"\xC3\xA9", 2, 0xE9, 2},
        {"\xE2\x82\xAC", 3, 0x20AC, 3},
        {"\xF0\x9F\x98\x80", 4, 0x1F600, 4},
        {"\x80\x80", 2, 0, 2},          // read as a two-byte lead
        {"\xC3\xA9", 1, -1, 0},         // beyond the length
        {"\xC3" "A", 2, -1, 0},         // wrong continuation
        {"\xF8\x80\x80\x80\x80", 5, -1, 0},
        {"A", 0, -1, 0},
        {nullptr, 4, -1, 0},
    };
    for (const auto& c : cases) {
        int len = c.avail;
        EXPECT_EQ(c.code, UTF8FirstChar(c.text, &len)) << (c.text ? c.text : "null");
        EXPECT_EQ(c.len, len);
    }
}

TEST(Utf8Decoding, Validation)
{
    const struct { const char* text; int len; int valid; } cases[] = {
        {"", -1, 1},
        {"abc", -1, 1},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", -1, 1},
        {"\xC3" "A", -1, 0},
        {"\xC3\xA9", 1, 0},             // continuation beyond the length
        {"\xC3\xA9", 2, 1},
        {"\x80", -1, 0},
        {"\xF8\x80\x80\x80\x80", -1, 0},
        {"ab\0\xFF", 4, 1},             // a terminator ends the check
        {"\xC3", 5, 0},                 // the terminator is no continuation byte
        {"abc", 0, 1},
        {nullptr, 0, 1},
        {nullptr, -1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.valid, UTF8Valide(c.text, c.len)) << (c.text ? c.text : "null") << " " << c.len;
    }
}

TEST(Utf8Decoding, GetNextDecodesAndNeverStepsOverTheTerminator)
{
    const struct { const char* text; std::wstring chars; } cases[] = {
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
        {"\xC3\xA9", L"\u00E9"},
        {"\x80", L"?"},
        {"\xC3" "A", L"?A"},                     // an inner cut sequence
        {"\xE2\x82" "A", L"?A"},
        {"a\xE2\x82", L"a?"},                    // cut by the terminator
        {"\xF8\x88\x80\x80\x80", std::wstring(1, static_cast<wchar_t>(0x200000))},
        {"\xFD\xBF\xBF\xBF\xBF\xBF", std::wstring(1, static_cast<wchar_t>(0x7FFFFFFF))},
    };
    for (const auto& c : cases) {
        const char* p = c.text;
        std::wstring got;
        while (*p) got += UTF8_GetNext(&p);
        EXPECT_EQ(c.chars, got) << c.text;
        EXPECT_EQ(c.text + std::strlen(c.text), p) << "stops on the terminator";
    }
}

TEST(Utf8Decoding, GetNextWithinARemainder)
{
    const char* text = "\xC3\xA9\xE2\x82\xAC";
    const char* p = text;
    int remaining = 4;
    EXPECT_EQ(L'\u00E9', UTF8_GetNext(&p, &remaining));
    EXPECT_EQ(2, remaining);
    EXPECT_EQ(L'?', UTF8_GetNext(&p, &remaining)) << "three bytes needed, two left";
    EXPECT_EQ(0, remaining);
    EXPECT_EQ(text + 2, p) << "does not advance";

    p = "\x80" "A";
    remaining = 2;
    EXPECT_EQ(L'?', UTF8_GetNext(&p, &remaining));
    EXPECT_EQ(1, remaining);
    EXPECT_EQ(L'A', UTF8_GetNext(&p, &remaining));
    EXPECT_EQ(0, remaining);

    p = "\xE2\x82" "A";
    remaining = 3;
    EXPECT_EQ(L'?', UTF8_GetNext(&p, &remaining));
    EXPECT_EQ(1, remaining) << "the cut sequence spans two bytes";
}

}  // namespace
