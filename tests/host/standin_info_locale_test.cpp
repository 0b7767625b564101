#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/system/information.h"
#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/support/test_environment.h"

namespace {

using S = StandinInfoLocale;

constexpr unsigned kUser = LOCALE_ID_USER_DEFAULT;
constexpr unsigned kFrench = LOCALE_ID_FRENCH;

int Len(const std::wstring& s) { return static_cast<int>(s.size()); }
int Len(const std::string& s) { return static_cast<int>(s.size()); }

// Maps through the size query and then into an exactly sized destination
// whose last unit must become the terminator.
std::wstring MapW(S& loc, unsigned flags, const std::wstring& src, unsigned lcid = kFrench)
{
    int need = loc.nMapStringLocaleW(lcid, flags, nullptr, 0, src.c_str(), Len(src));
    std::wstring out(static_cast<size_t>(need) + 1, L'#');
    int written = loc.nMapStringLocaleW(lcid, flags, out.data(), need + 1, src.c_str(), Len(src));
    EXPECT_EQ(need, written);
    EXPECT_EQ(L'\0', out[static_cast<size_t>(need)]);
    out.resize(static_cast<size_t>(written));
    return out;
}

std::string MapA(S& loc, unsigned flags, const std::string& src, unsigned lcid = kFrench)
{
    int need = loc.nMapStringLocaleA(lcid, flags, nullptr, 0, src.c_str(), Len(src));
    std::string out(static_cast<size_t>(need) + 1, '#');
    int written = loc.nMapStringLocaleA(lcid, flags, out.data(), need + 1, src.c_str(), Len(src));
    EXPECT_EQ(need, written);
    EXPECT_EQ('\0', out[static_cast<size_t>(need)]);
    out.resize(static_cast<size_t>(written));
    return out;
}

int CmpW(S& loc, unsigned flags, const std::wstring& a, const std::wstring& b, unsigned lcid = kUser)
{
    return loc.nCompareStringLocaleW(lcid, flags, a.c_str(), Len(a), b.c_str(), Len(b));
}

std::string SortKey(S& loc, const std::string& src)
{
    int need = loc.nMapSortKeyA(kFrench, nullptr, 0, src.c_str(), Len(src));
    std::string key(static_cast<size_t>(need) + 1, '#');
    EXPECT_EQ(need, loc.nMapSortKeyA(kFrench, key.data(), need + 1, src.c_str(), Len(src)));
    key.resize(static_cast<size_t>(need));
    return key;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// The slot positions are the host's; the member-function pointers of the
// Itanium ABI hold 1 + the byte offset in the virtual table.
template <class M>
size_t SlotOf(M member)
{
    struct Rep { uintptr_t ptr; ptrdiff_t adj; } rep;
    static_assert(sizeof(M) == sizeof(Rep));
    std::memcpy(&rep, &member, sizeof rep);
    return (rep.ptr - 1) / sizeof(void*);
}

TEST(StandinInfoLocaleSlots, SlotNumbersAreTheInterfacePositionsAndEachLogsItself)
{
    EXPECT_EQ(static_cast<size_t>(S::kReserve0), SlotOf(&IInfoLocale::_vnReserve0));
    EXPECT_EQ(static_cast<size_t>(S::kReserve1), SlotOf(&IInfoLocale::_vnReserve1));
    EXPECT_EQ(static_cast<size_t>(S::kGetCurrentCharset), SlotOf(&IInfoLocale::nGetCurrentCharset));
    EXPECT_EQ(static_cast<size_t>(S::kGetCurrentCodePage), SlotOf(&IInfoLocale::nGetCurrentCodePage));
    EXPECT_EQ(static_cast<size_t>(S::kGetCurrentLCID), SlotOf(&IInfoLocale::nGetCurrentLCID));
    EXPECT_EQ(static_cast<size_t>(S::kCompareStringLocaleA), SlotOf(&IInfoLocale::nCompareStringLocaleA));
    EXPECT_EQ(static_cast<size_t>(S::kCompareStringLocaleW), SlotOf(&IInfoLocale::nCompareStringLocaleW));
    EXPECT_EQ(static_cast<size_t>(S::kCompareStringA), SlotOf(&IInfoLocale::nCompareStringA));
    EXPECT_EQ(static_cast<size_t>(S::kCompareStringW), SlotOf(&IInfoLocale::nCompareStringW));
    EXPECT_EQ(static_cast<size_t>(S::kMapSortKeyA), SlotOf(&IInfoLocale::nMapSortKeyA));
    EXPECT_EQ(static_cast<size_t>(S::kReserve10), SlotOf(&IInfoLocale::_vnReserve10));
    EXPECT_EQ(static_cast<size_t>(S::kMapStringLocaleA), SlotOf(&IInfoLocale::nMapStringLocaleA));
    EXPECT_EQ(static_cast<size_t>(S::kMapStringLocaleW), SlotOf(&IInfoLocale::nMapStringLocaleW));
    EXPECT_EQ(static_cast<size_t>(S::kMapStringA), SlotOf(&IInfoLocale::nMapStringA));
    EXPECT_EQ(static_cast<size_t>(S::kMapStringW), SlotOf(&IInfoLocale::nMapStringW));
    EXPECT_EQ(static_cast<size_t>(S::kGetSafeCurrentLCID), SlotOf(&IInfoLocale::nGetSafeCurrentLCID));
    EXPECT_EQ(sizeof(void*), sizeof(IInfoLocale));

    S loc;
    IInfoLocale* pi = &loc;
    char a[4];
    wchar_t w[4];
    pi->_vnReserve0();
    pi->_vnReserve1();
    pi->nGetCurrentCharset();
    pi->nGetCurrentCodePage();
    pi->nGetCurrentLCID();
    pi->nCompareStringLocaleA(kUser, 0, "a", -1, "b", -1);
    pi->nCompareStringLocaleW(kUser, 0, L"a", -1, L"b", -1);
    pi->nCompareStringA(0, "a", -1, "b", -1);
    pi->nCompareStringW(0, L"a", -1, L"b", -1);
    pi->nMapSortKeyA(kFrench, nullptr, 0, "a", -1);
    pi->_vnReserve10();
    pi->nMapStringLocaleA(kFrench, 1, a, 4, "a", -1);
    pi->nMapStringLocaleW(kFrench, 1, w, 4, L"a", -1);
    pi->nMapStringA(1, a, 4, "a", -1);
    pi->nMapStringW(1, w, 4, L"a", -1);
    pi->nGetSafeCurrentLCID();
    std::vector<S::Call> log = loc.Log();
    ASSERT_EQ(static_cast<size_t>(S::kSlotCount), log.size());
    for (int i = 0; i < S::kSlotCount; ++i)
        EXPECT_EQ(i, log[static_cast<size_t>(i)].slot);
}

TEST(StandinInfoLocaleControls, SettingsReservedSlotsScriptsAndLog)
{
    S loc;
    EXPECT_EQ(0, loc.nGetCurrentCharset());
    EXPECT_EQ(1252, loc.nGetCurrentCodePage());
    EXPECT_EQ(1036u, loc.nGetCurrentLCID());
    EXPECT_EQ(1036u, loc.nGetSafeCurrentLCID());
    EXPECT_EQ(0, loc._vnReserve0());
    EXPECT_EQ(0, loc._vnReserve1());
    EXPECT_EQ(0, loc._vnReserve10());
    EXPECT_EQ(1u, loc.Calls(S::kReserve10));

    loc.SetCharset(127);
    loc.SetCodePage(65001);
    loc.SetLCID(0x409);
    loc.SetSafeLCID(0x400);
    EXPECT_EQ(127, loc.nGetCurrentCharset());
    EXPECT_EQ(65001, loc.nGetCurrentCodePage());
    EXPECT_EQ(0x409u, loc.nGetCurrentLCID());
    EXPECT_EQ(0x400u, loc.nGetSafeCurrentLCID());

    // A scripted slot answers the script but still fills its destination.
    loc.Script(S::kCompareStringW, 7);
    loc.Script(S::kMapStringW, 42);
    loc.Script(S::kGetCurrentLCID, -2);
    EXPECT_EQ(7, loc.nCompareStringW(3, L"a", -1, L"a", -1));
    wchar_t out[8] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(42, loc.nMapStringW(1, out, 8, L"ab", -1));
    EXPECT_EQ(std::wstring(L"AB"), std::wstring(out));
    EXPECT_EQ(0xFFFFFFFEu, loc.nGetCurrentLCID());
    EXPECT_EQ(7, loc.LastCall(S::kCompareStringW).result);
    loc.Unscript(S::kCompareStringW);
    EXPECT_EQ(0, loc.nCompareStringW(3, L"a", -1, L"A", -1));

    // What the log keeps of a call: 8-bit texts byte by byte, lengths as passed.
    loc.ClearLog();
    loc.nCompareStringLocaleA(kUser, 0x40000003, "x\xE9yz", 3, "b", -1);
    char small[2];
    loc.nMapStringLocaleA(kFrench, 0x104, small, 2, "Q R", -1);
    loc.nMapSortKeyA(kUser, nullptr, 0, "k", 1);
    std::vector<S::Call> log = loc.Log();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(S::kCompareStringLocaleA, log[0].slot);
    EXPECT_EQ(kUser, log[0].lcid);
    EXPECT_EQ(0x40000003u, log[0].flags);
    EXPECT_EQ(std::wstring(L"x\u00E9y"), log[0].text1);
    EXPECT_EQ(std::wstring(L"b"), log[0].text2);
    EXPECT_EQ(3, log[0].length1);
    EXPECT_EQ(-1, log[0].length2);
    EXPECT_EQ(S::kMapStringLocaleA, log[1].slot);
    EXPECT_EQ(0x104u, log[1].flags);
    EXPECT_EQ(std::wstring(L"Q R"), log[1].text1);
    EXPECT_TRUE(log[1].destination);
    EXPECT_EQ(2, log[1].capacity);
    EXPECT_EQ(1, log[1].result);
    EXPECT_EQ(S::kMapSortKeyA, log[2].slot);
    EXPECT_FALSE(log[2].destination);
    EXPECT_EQ(S::kSlotCount, loc.LastCall(S::kMapStringW).slot);

    loc.Reset();
    EXPECT_TRUE(loc.Log().empty());
    EXPECT_EQ(1252, loc.nGetCurrentCodePage());
    EXPECT_EQ(1036u, loc.nGetCurrentLCID());
    EXPECT_EQ(0, loc.nMapStringW(1, out, 8, L"", -1));
}

TEST(StandinInfoLocaleControls, LogIsSafeAcrossThreads)
{
    S loc;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&loc] {
            for (int i = 0; i < 300; ++i)
                loc.nCompareStringW(3, L"\u00E9t\u00E9", -1, L"ETE", -1);
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1200u, loc.Calls(S::kCompareStringW));
}

TEST(StandinInfoLocaleMap, EachFlagOnWideText)
{
    struct Case { unsigned flags; const wchar_t* src; const wchar_t* expected; };
    const Case cases[] = {
        {0, L"\u00C9l\u00E8ve, \u0153uf!", L"\u00C9l\u00E8ve, \u0153uf!"},
        {1, L"abc \u00E9\u00FF \u0153 \u0161 \u00DF \u00B5-1", L"ABC \u00C9\u0178 \u0152 \u0160 \u00DF \u00B5-1"},
        {0x100, L"ABC \u00C9\u0178 \u0152 \u017D", L"abc \u00E9\u00FF \u0153 \u017E"},
        {2, L"\u00C9l\u00E8ve \u0178 \u00E7 \u0152 \u00E6 \u0161", L"Eleve Y c \u0152 \u00E6 s"},
        {3, L"\u00C9l\u00E8ve \u0153uf \u00FF \u00E6 \u00F0 \u00FE \u00DF", L"ELEVE \u0152UF Y \u00C6 \u00D0 \u00DE \u00DF"},
        {4, L"a, b.\tc!\u00A0\u20AC d", L"abcd"},
        {7, L"l'\u00E9t\u00E9, d\u00E9j\u00E0", L"LETEDEJA"},
        {0x102, L"\u00C9L\u00C8VE", L"eleve"},
        {0x101, L"aB", L"AB"},                                  // upper wins over lower
        {0x20000800, L"aB\u00E9", L"aB\u00E9"},                   // unknown bits ignored
        {0x40000001, L"aB\u00E9", L"AB\u00C9"},
        {1, L"\u03C9\u03C3 \u0436", L"\u03A9\u03A3 \u0416"},      // towupper elsewhere
        {0x100, L"\u03A9 \u0416", L"\u03C9 \u0436"},
        {3, L"\u03C9\u0131", L"\u03A9I"},
    };
    S loc;
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), MapW(loc, c.flags, c.src)) << "flags " << std::hex << c.flags;
}

// The accent-free upper-case table of code page 1252 as the library knows it.
std::array<unsigned char, 256> NoAccentUpperLatin1()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    auto set = [&t](int from, int to, int value) {
        for (int i = from; i <= to; ++i)
            t[i] = static_cast<unsigned char>(value);
    };
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    t[0x8A] = t[0x9A] = 'S';
    t[0x8E] = t[0x9E] = 'Z';
    t[0x9C] = 0x8C;
    t[0x9F] = t[0xDD] = t[0xFD] = t[0xFF] = 'Y';
    set(0xC0, 0xC5, 'A'), set(0xE0, 0xE5, 'A');
    t[0xC7] = t[0xE7] = 'C';
    set(0xC8, 0xCB, 'E'), set(0xE8, 0xEB, 'E');
    set(0xCC, 0xCF, 'I'), set(0xEC, 0xEF, 'I');
    t[0xD1] = t[0xF1] = 'N';
    set(0xD2, 0xD6, 'O'), set(0xF2, 0xF6, 'O');
    t[0xD8] = t[0xF8] = 'O';
    set(0xD9, 0xDC, 'U'), set(0xF9, 0xFC, 'U');
    t[0xE6] = 0xC6;
    t[0xF0] = 0xD0;
    t[0xFE] = 0xDE;
    return t;
}

TEST(StandinInfoLocaleMap, FlagsThreeFollowTheLatin1TableInBothWidths)
{
    const std::array<unsigned char, 256> table = NoAccentUpperLatin1();
    S loc;
    for (int b = 0; b < 256; ++b) {
        const char src = static_cast<char>(b);
        char out[2] = {'#', '#'};
        ASSERT_EQ(1, loc.nMapStringLocaleA(kFrench, 3, out, 2, &src, 1)) << "byte " << b;
        EXPECT_EQ(table[b], static_cast<unsigned char>(out[0])) << "byte " << b;
        EXPECT_EQ('\0', out[1]);
    }
    // The same at the Unicode positions: Latin-1 and the 1252 letters.
    const std::pair<wchar_t, int> letters1252[] = {
        {0x0160, 0x8A}, {0x0161, 0x9A}, {0x017D, 0x8E}, {0x017E, 0x9E},
        {0x0152, 0x8C}, {0x0153, 0x9C}, {0x0178, 0x9F}, {0x0192, 0x83},
    };
    const wchar_t unicodeOf8C = 0x0152;
    for (int c = 0; c < 256; ++c) {
        if (c >= 0x80 && c < 0xA0)
            continue;
        wchar_t src = static_cast<wchar_t>(c);
        wchar_t out[2];
        ASSERT_EQ(1, loc.nMapStringW(3, out, 2, &src, 1));
        wchar_t expected = table[c] == 0x8C ? unicodeOf8C : static_cast<wchar_t>(table[c]);
        EXPECT_EQ(expected, out[0]) << "U+" << std::hex << c;
    }
    for (auto [wc, byte] : letters1252) {
        wchar_t out[2];
        ASSERT_EQ(1, loc.nMapStringW(3, out, 2, &wc, 1));
        unsigned char e = table[static_cast<size_t>(byte)];
        EXPECT_EQ(e == 0x8C ? unicodeOf8C : e == 0x83 ? wchar_t(0x0192) : wchar_t(e), out[0]) << "U+" << std::hex << int(wc);
    }
}

TEST(StandinInfoLocaleMap, CapacityTerminatorAndLengthRules)
{
    struct Case { const wchar_t* src; int srcLen; int capacity; bool destination; int result; const wchar_t* written; };
    const Case cases[] = {
        {L"abcdef", -1, 0, false, 6, nullptr},      // size query, no terminator counted
        {L"abcdef", 3, 0, false, 3, nullptr},       // explicit length honoured
        {L"abcdef", -1, 10, false, 6, nullptr},     // no destination: never written
        {L"abcdef", -1, 10, true, 6, L"ABCDEF"},
        {L"abcdef", -1, 7, true, 6, L"ABCDEF"},
        {L"abcdef", -1, 4, true, 3, L"ABC"},        // cut, still terminated
        {L"abcdef", -1, 1, true, 0, L""},
        {L"abcdef", -1, 0, true, 0, nullptr},       // no room even for the terminator
        {L"abcdef", -1, -5, true, 0, nullptr},
        {L"ab\0cd", 5, 10, true, 5, nullptr},       // embedded zero inside the length
        {L"ab\0cd", -1, 10, true, 2, L"AB"},
        {L"ab\0cd", 0, 10, true, 0, L""},
        {nullptr, -1, 10, true, 0, L""},
    };
    S loc;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "len " << c.srcLen << " cap " << c.capacity << " dst " << c.destination);
        std::wstring buf(16, L'#');
        EXPECT_EQ(c.result, loc.nMapStringLocaleW(kFrench, 1, c.destination ? buf.data() : nullptr, c.capacity, c.src, c.srcLen));
        if (c.written != nullptr) {
            EXPECT_EQ(std::wstring(c.written), std::wstring(buf.c_str()));
            EXPECT_EQ(L'#', buf[wcslen(c.written) + 1]);  // nothing past the terminator
        } else if (c.destination && c.capacity <= 0) {
            EXPECT_EQ(std::wstring(16, L'#'), buf);
        }
    }
    // The embedded zero is mapped like any other character.
    wchar_t out[8];
    ASSERT_EQ(5, loc.nMapStringW(1, out, 8, L"ab\0cd", 5));
    EXPECT_EQ(0, std::wmemcmp(L"AB\0CD", out, 6));

    // The same rules on 8-bit text, and in place.
    struct CaseA { const char* src; int srcLen; int capacity; int result; const char* written; };
    const CaseA casesA[] = {
        {"d\xE9j\xE0", -1, 0, 4, nullptr}, {"d\xE9j\xE0", -1, 3, 2, "D\xC9"},
        {"d\xE9j\xE0", 2, 9, 2, "D\xC9"}, {"d\xE9j\xE0", -1, 9, 4, "D\xC9J\xC0"},
    };
    for (const CaseA& c : casesA) {
        std::string buf(16, '#');
        EXPECT_EQ(c.result, loc.nMapStringA(1, c.capacity ? buf.data() : nullptr, c.capacity, c.src, c.srcLen));
        if (c.written != nullptr) {
            EXPECT_EQ(std::string(c.written), std::string(buf.c_str()));
        }
    }
    char inPlace[] = "l'\xE9t\xE9!";
    EXPECT_EQ(4, loc.nMapStringA(7, inPlace, sizeof inPlace, inPlace, -1));
    EXPECT_EQ(std::string("LETE"), std::string(inPlace));
    wchar_t inPlaceW[] = L"\u00E9 \u00E0";
    EXPECT_EQ(2, loc.nMapStringW(7, inPlaceW, 4, inPlaceW, -1));
    EXPECT_EQ(std::wstring(L"EA"), std::wstring(inPlaceW));
}

TEST(StandinInfoLocaleMap, EightBitCodePages)
{
    struct Case { int codePage; unsigned flags; std::string src; std::string expected; };
    const Case cases[] = {
        {1252, 1, "\xE9t\xE9 \x9C \xFF \x9A \xB5 \xDF", "\xC9T\xC9 \x8C \x9F \x8A \xB5 \xDF"},
        {1252, 0x100, "\xC9T\xC9 \x8C \x9F \x8E", "\xE9t\xE9 \x9C \xFF \x9E"},
        {1252, 2, "\xC9t\xE9 \x9F \x9A", "Ete Y s"},
        {1252, 4, "a\x85 b\x96\xA0" "c\x80", "abc"},      // ellipsis, dash, no-break space, euro
        {1252, 1, "\x81\x8D\x8F\x90\x9D", "\x81\x8D\x8F\x90\x9D"},  // undefined bytes round-trip
        {0, 3, "\xE9", "E"},                              // any other code page reads 1252
        {437, 3, "\xE9", "E"},
        {65001, 1, "\xC3\xA9t\xC3\xA9 \xC5\x93 \xC3\xBF \xCF\x89", "\xC3\x89T\xC3\x89 \xC5\x92 \xC5\xB8 \xCE\xA9"},
        {65001, 3, "\xC3\xA9t\xC3\xA9 \xC4\xB1", "ETE I"},   // shorter in bytes than the source
        {65001, 0x100, "\xE2\x82\xAC \xC3\x89", "\xE2\x82\xAC \xC3\xA9"},
        {65001, 1, "a\xFF" "b\xC3" "c\xE0\x80\x80\xED\xA0\x80", "A?B?C??????"},  // undecodable bytes
    };
    S loc;
    for (const Case& c : cases) {
        loc.SetCodePage(c.codePage);
        EXPECT_EQ(c.expected, MapA(loc, c.flags, c.src)) << "code page " << c.codePage << " flags " << c.flags;
    }

    // A cut never splits a UTF-8 sequence.
    loc.SetCodePage(65001);
    struct Cut { int capacity; int result; std::string written; };
    const Cut cuts[] = {{1, 0, ""}, {2, 1, "x"}, {3, 1, "x"}, {4, 3, "x\xC3\xA9"}, {5, 4, "x\xC3\xA9t"}};
    for (const Cut& c : cuts) {
        std::string buf(8, '#');
        EXPECT_EQ(c.result, loc.nMapStringA(0, buf.data(), c.capacity, "x\xC3\xA9t", -1)) << c.capacity;
        EXPECT_EQ(c.written, std::string(buf.c_str())) << c.capacity;
    }
}

struct CompareCase
{
    unsigned flags;
    std::wstring a;
    std::wstring b;
    int expected;
};

const std::vector<CompareCase>& CompareCases()
{
    static const std::vector<CompareCase> cases = {
        // All three levels: primary, then accents, then case (lower first).
        {0, L"e", L"\u00E9", -1},
        {0, L"E", L"\u00E9", -1},
        {0, L"e", L"E", -1},
        {0, L"\u00E9", L"\u00C9", -1},
        {0, L"\u00C9", L"f", -1},
        {0, L"ab", L"aB", -1},
        {0, L"aB", L"Ab", -1},
        {0, L"Ab", L"ac", -1},                    // primary outranks case
        {0, L"E", L"ea", -1},                     // a prefix sorts first
        {0, L"cote", L"cot\u00E9", -1},
        {0, L"cot\u00E9", L"c\u00F4te", -1},      // accents weigh from the start
        {0, L"\u0153", L"\u0152", -1},
        {0, L"abc", L"abc", 0},
        {0, L"a-b", L"ab", -1},                   // symbols count without flag 4
        // Flags dropping levels.
        {1, L"\u00E9", L"\u00C9", 0},
        {1, L"\u00C9", L"e", 1},                  // accent still weighs
        {2, L"\u00E9", L"e", 0},
        {2, L"\u00E9", L"E", -1},                 // case still weighs
        {3, L"\u00C9L\u00C8VE", L"eleve", 0},
        {3, L"\u00FF", L"Y", 0},
        {3, L"\u0161", L"S", 0},
        {3, L"\u017E", L"\u017D", 0},
        {3, L"\u0153uf", L"\u0152UF", 0},
        {3, L"\u03C3", L"\u03A3", 0},
        {3, L"\u00E9", L"f", -1},
        {3, L"a b", L"ab", -1},
        {4, L"a-b", L"ab", 0},
        {4, L"a b", L"A-B", -1},
        {7, L"l'\u00E9t\u00E9", L"LETE", 0},
        {7, L"a b.", L"A\u00A0B", 0},
        {0x60000003, L"\u00C9", L"e", 0},         // other bits ignored
        {0x20000000, L"e", L"E", -1},
    };
    return cases;
}

TEST(StandinInfoLocaleCompare, LevelsAndFlagsOnWideText)
{
    S loc;
    for (const CompareCase& c : CompareCases()) {
        SCOPED_TRACE(::testing::Message() << "flags " << std::hex << c.flags << " case " << std::dec << (&c - CompareCases().data()));
        EXPECT_EQ(c.expected, CmpW(loc, c.flags, c.a, c.b));
        EXPECT_EQ(-c.expected, CmpW(loc, c.flags, c.b, c.a));
    }
}

TEST(StandinInfoLocaleCompare, EqualLettersOrderByAccentThenCase)
{
    const std::wstring ordered[] = {L"cote", L"cot\u00E9", L"c\u00F4te", L"e", L"E", L"\u00E9", L"\u00C9", L"f"};
    S loc;
    const size_t n = std::size(ordered);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j)
            EXPECT_EQ(i < j ? -1 : i > j ? 1 : 0, CmpW(loc, 0, ordered[i], ordered[j])) << i << " " << j;
    }
}

TEST(StandinInfoLocaleCompare, ExplicitLengthsAreHonouredExactly)
{
    struct Case { const wchar_t* a; int na; const wchar_t* b; int nb; int expected; };
    const Case cases[] = {
        {L"abcX", 3, L"abcY", 3, 0},
        {L"abc", 2, L"abd", 2, 0},
        {L"abc", -1, L"abcd", 3, 0},
        {L"abc", 3, L"abcd", -1, -1},
        {L"a\0b", 3, L"a\0c", 3, -1},           // embedded zeros inside the lengths count
        {L"a\0b", 3, L"a", -1, 1},
        {L"a\0b", 2, L"a", -1, 1},
        {L"x", 0, L"y", 0, 0},
        {nullptr, 0, L"", -1, 0},
        {nullptr, -1, L"a", -1, -1},
    };
    S loc;
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, loc.nCompareStringW(0, c.a, c.na, c.b, c.nb)) << (&c - cases);
        EXPECT_EQ(-c.expected, loc.nCompareStringW(0, c.b, c.nb, c.a, c.na)) << (&c - cases);
    }
    EXPECT_EQ(0, loc.nCompareStringA(0, "abcX", 3, "abcY", 3));
    EXPECT_EQ(-1, loc.nCompareStringA(0, "a\0b", 3, "a\0c", 3));
    EXPECT_EQ(1, loc.nCompareStringA(0, "ab", -1, "abc", 1));
}

TEST(StandinInfoLocaleCompare, EightBitTextInBothCodePages)
{
    struct Case { int codePage; unsigned flags; const char* a; const char* b; int expected; };
    const Case cases[] = {
        {1252, 0, "e", "\xE9", -1},
        {1252, 0, "E", "\xE9", -1},
        {1252, 0, "\xE9", "\xC9", -1},
        {1252, 3, "\xC9L\xC8VE", "eleve", 0},
        {1252, 3, "\x9C", "\x8C", 0},
        {1252, 3, "\xFF", "y", 0},
        {1252, 7, "l'\xE9t\xE9", "LETE", 0},
        {1252, 0x40000001, "\xE9", "\xC9", 0},
        {65001, 0, "e", "\xC3\xA9", -1},
        {65001, 3, "\xC3\x89L\xC3\x88VE", "eleve", 0},
        {65001, 3, "\xC5\x93uf", "\xC5\x92UF", 0},
        {65001, 1, "\xC3\xA9", "E", 1},
    };
    S loc;
    for (const Case& c : cases) {
        loc.SetCodePage(c.codePage);
        EXPECT_EQ(c.expected, loc.nCompareStringLocaleA(kFrench, c.flags, c.a, -1, c.b, -1)) << (&c - cases);
        EXPECT_EQ(-c.expected, loc.nCompareStringA(c.flags, c.b, -1, c.a, -1)) << (&c - cases);
    }
}

TEST(StandinInfoLocaleCompare, LocaleIdsBehaveIdentically)
{
    S loc;
    loc.SetLCID(0x409);
    const unsigned ids[] = {kUser, kFrench, 0x409, 0};
    for (const CompareCase& c : CompareCases()) {
        int current = loc.nCompareStringW(c.flags, c.a.c_str(), Len(c.a), c.b.c_str(), Len(c.b));
        for (unsigned id : ids)
            EXPECT_EQ(current, CmpW(loc, c.flags, c.a, c.b, id)) << "id " << id;
        for (unsigned flags : {1u, 3u, 0x100u, 7u}) {
            std::wstring viaCurrent(32, L'#');
            int n = loc.nMapStringW(flags, viaCurrent.data(), 32, c.a.c_str(), Len(c.a));
            viaCurrent.resize(static_cast<size_t>(n));
            for (unsigned id : ids)
                EXPECT_EQ(viaCurrent, MapW(loc, flags, c.a, id)) << "id " << id;
        }
    }
    char key[64];
    int n = loc.nMapSortKeyA(kUser, key, 64, "\xC9t\xE9", -1);
    EXPECT_EQ(SortKey(loc, "\xC9t\xE9"), std::string(key, static_cast<size_t>(n)));
}

// Letters in groups of case and accent variants, plus symbols and letters
// whose case comes from the system tables.
const std::vector<std::wstring>& VariantGroups()
{
    static const std::vector<std::wstring> groups = {
        L"aA\u00E0\u00C0\u00E2\u00C2\u00E4", L"eE\u00E9\u00C9\u00E8\u00C8\u00EA\u00CB", L"iI\u00EE\u00EF\u0131",
        L"oO\u00F4\u00D4\u00F6\u00F8", L"uU\u00F9\u00FB\u00DC", L"yY\u00FF\u0178\u00FD", L"sS\u0161\u0160",
        L"zZ\u017E\u017D", L"cC\u00E7\u00C7", L"nN\u00F1", L"\u0153\u0152", L"\u00E6\u00C6", L"\u00DF",
        L"\u03C3\u03A3", L"\u0436\u0416", L"bB", L"0", L"1",
        L" ", L"-", L",", L"'", L"\u00A0", L"\u00B5",
    };
    return groups;
}

TEST(StandinInfoLocaleCompare, EqualUnderFlagsThreeMeansEqualFlagsThreeMaps)
{
    std::mt19937 rng(20240611);
    const auto& groups = VariantGroups();
    auto pick = [&rng](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    S loc;
    int equalPairs = 0;
    for (int round = 0; round < 3000; ++round) {
        std::wstring a, b;
        size_t len = pick(8);
        bool related = pick(4) != 0;
        for (size_t i = 0; i < len; ++i) {
            const std::wstring& g = groups[pick(groups.size())];
            a.push_back(g[pick(g.size())]);
            const std::wstring& gb = related ? g : groups[pick(groups.size())];
            b.push_back(gb[pick(gb.size())]);
        }
        if (related && pick(5) == 0)
            b.insert(pick(b.size() + 1), 1, L'.');
        for (unsigned flags : {3u, 7u}) {
            bool equal = CmpW(loc, flags, a, b) == 0;
            std::wstring ma = MapW(loc, flags, a), mb = MapW(loc, flags, b);
            ASSERT_EQ(equal, ma == mb) << "flags " << flags;
            // The registries' hash: the sum of the mapped characters.
            if (equal) {
                ++equalPairs;
                uint32_t ha = 0, hb = 0;
                for (wchar_t c : ma)
                    ha += static_cast<uint32_t>(c);
                for (wchar_t c : mb)
                    hb += static_cast<uint32_t>(c);
                EXPECT_EQ(ha, hb);
            }
        }
        loc.ClearLog();
    }
    EXPECT_GT(equalPairs, 1000);  // the property was exercised, not vacuous
}

TEST(StandinInfoLocaleSortKey, FormCapacityAndOrder)
{
    S loc;
    // "a\xC9": primary A E, secondary 0 é, tertiary lower upper.
    const std::string expected =
        std::string("\x02\x02\x43" "\x02\x02\x47" "\x01" "\x02\x02\x02" "\x02\x03\x6B" "\x01" "\x02\x03", 16);
    EXPECT_EQ(expected, SortKey(loc, "a\xC9"));
    EXPECT_EQ(16, loc.nMapSortKeyA(kFrench, nullptr, 0, "a\xC9", -1));
    char cut[8];
    std::memset(cut, '#', sizeof cut);
    EXPECT_EQ(4, loc.nMapSortKeyA(kFrench, cut, 5, "a\xC9", -1));
    EXPECT_EQ(0, std::memcmp(cut, expected.data(), 4));
    EXPECT_EQ('\0', cut[4]);
    EXPECT_EQ('#', cut[5]);
    EXPECT_EQ(std::string("\x01\x01", 2), SortKey(loc, ""));

    // memcmp order of keys = comparison without flags; no zero byte inside.
    std::mt19937 rng(77);
    const char alphabet[] = "aAeE\xE9\xC9\xE8 -,bB\x9C\x8C\xFF\x9F\x9A\x8Azy\xDF\xB5\x81\x01";
    auto pick = [&rng](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int codePage : {1252, 65001}) {
        loc.SetCodePage(codePage);
        for (int round = 0; round < 2000; ++round) {
            std::string a, b;
            for (size_t i = pick(6); i > 0; --i)
                a.push_back(alphabet[pick(sizeof alphabet - 1)]);
            b = a;
            if (!b.empty() && pick(3) != 0)
                b[pick(b.size())] = alphabet[pick(sizeof alphabet - 1)];
            else
                b.push_back(alphabet[pick(sizeof alphabet - 1)]);
            std::string ka = SortKey(loc, a), kb = SortKey(loc, b);
            ASSERT_EQ(std::string::npos, ka.find('\0'));
            int byKey = Sign(std::memcmp(ka.data(), kb.data(), std::min(ka.size(), kb.size()) + 1));
            ASSERT_EQ(loc.nCompareStringLocaleA(kFrench, 0, a.c_str(), -1, b.c_str(), -1), byKey)
                << "code page " << codePage << " round " << round;
            loc.ClearLog();
        }
    }
}

TEST(StandinInfoLocaleEnvironment, PublishedAsTheHostLocaleInterface)
{
    EXPECT_EQ(static_cast<IInfoLocale*>(&vxtest::Locale()), CInformationDLL::ms_piInfoLocale);
    vxtest::Locale().Reset();
    EXPECT_EQ(1252, CInformationDLL::ms_piInfoLocale->nGetCurrentCodePage());
    EXPECT_EQ(1u, vxtest::Locale().Calls(S::kGetCurrentCodePage));
    vxtest::Locale().Reset();
}

}  // namespace
