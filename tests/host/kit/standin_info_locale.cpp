#include "tests/host/kit/standin_info_locale.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>

namespace {

using Text = std::u32string;

constexpr unsigned kFlagUpper = 0x1;
constexpr unsigned kFlagNoAccent = 0x2;
constexpr unsigned kFlagNoSymbol = 0x4;
constexpr unsigned kFlagLower = 0x100;
constexpr char32_t kLastCodePoint = 0x10FFFF;

// The host's tables do not depend on the process locale: case and classes of
// characters outside the fixed table come from C.UTF-8 whatever the program
// selected (the plain functions serve only if C.UTF-8 is missing).
locale_t Utf8Locale()
{
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return loc;
}

char32_t SystemUpper(char32_t c)
{
    if (c > kLastCodePoint)
        return c;
    locale_t loc = Utf8Locale();
    return static_cast<char32_t>(loc ? towupper_l(c, loc) : towupper(c));
}

char32_t SystemLower(char32_t c)
{
    if (c > kLastCodePoint)
        return c;
    locale_t loc = Utf8Locale();
    return static_cast<char32_t>(loc ? towlower_l(c, loc) : towlower(c));
}

bool IsSymbol(char32_t c)
{
    if (c > kLastCodePoint)
        return false;
    locale_t loc = Utf8Locale();
    if (loc)
        return iswspace_l(c, loc) || iswpunct_l(c, loc);
    return iswspace(c) || iswpunct(c);
}

struct Forms
{
    char32_t upper, lower, base;
};

// Base forms of U+00C0-U+00DE; U+00D7 (multiplication sign) is not a letter
// and never looked up. Lower-case letters sit 0x20 above.
constexpr char32_t kLatin1BaseUpper[31] = {
    'A', 'A', 'A', 'A', 'A', 'A', 0xC6, 'C', 'E', 'E', 'E', 'E', 'I', 'I', 'I', 'I',
    0xD0, 'N', 'O', 'O', 'O', 'O', 'O', 0xD7, 'O', 'U', 'U', 'U', 'U', 'Y', 0xDE,
};

// The one mapping table. Within U+0000-U+00FF and the 1252 letters every form
// stays inside that set, so 8-bit maps in 1252 never lose a character.
Forms FormsOf(char32_t c)
{
    if (c < 0x80) {
        if (c >= 'a' && c <= 'z')
            return {c - 0x20, c, c};
        if (c >= 'A' && c <= 'Z')
            return {c, c + 0x20, c};
        return {c, c, c};
    }
    if (c >= 0xC0 && c <= 0xFE && c != 0xD7 && c != 0xF7 && c != 0xDF) {
        bool lower = c >= 0xE0;
        char32_t up = lower ? c - 0x20 : c;
        char32_t base = kLatin1BaseUpper[up - 0xC0];
        return {up, up + 0x20, lower ? base + 0x20 : base};
    }
    switch (c) {
    case 0xFF: return {0x178, 0xFF, 'y'};
    case 0x178: return {0x178, 0xFF, 'Y'};
    case 0x160: return {0x160, 0x161, 'S'};
    case 0x161: return {0x160, 0x161, 's'};
    case 0x17D: return {0x17D, 0x17E, 'Z'};
    case 0x17E: return {0x17D, 0x17E, 'z'};
    case 0x152: return {0x152, 0x153, 0x152};
    case 0x153: return {0x152, 0x153, 0x153};
    case 0x192: return {c, c, c};
    default: break;
    }
    if (c <= 0xFF)
        return {c, c, c};
    return {SystemUpper(c), SystemLower(c), c};
}

char32_t MapChar(unsigned flags, char32_t c)
{
    if (flags & kFlagNoAccent)
        c = FormsOf(c).base;
    if (flags & kFlagUpper)
        return FormsOf(c).upper;
    if (flags & kFlagLower)
        return FormsOf(c).lower;
    return c;
}

Text MapText(unsigned flags, const Text& in)
{
    Text out;
    out.reserve(in.size());
    for (char32_t c : in) {
        if ((flags & kFlagNoSymbol) && IsSymbol(c))
            continue;
        out.push_back(MapChar(flags, c));
    }
    return out;
}

uint32_t Primary(char32_t c)
{
    return MapChar(kFlagUpper | kFlagNoAccent, c);
}

uint32_t Secondary(char32_t c)
{
    char32_t lower = FormsOf(c).lower;
    return lower == FormsOf(Primary(c)).lower ? 0 : lower;
}

uint32_t Tertiary(char32_t c)
{
    return FormsOf(c).lower != c ? 1 : 0;
}

struct Levels
{
    std::vector<uint32_t> primary, secondary, tertiary;
};

Levels LevelsOf(const Text& text, bool dropSymbols)
{
    Levels levels;
    for (char32_t c : text) {
        if (dropSymbols && IsSymbol(c))
            continue;
        levels.primary.push_back(Primary(c));
        levels.secondary.push_back(Secondary(c));
        levels.tertiary.push_back(Tertiary(c));
    }
    return levels;
}

int CompareWeights(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CompareTexts(unsigned flags, const Text& a, const Text& b)
{
    bool dropSymbols = (flags & kFlagNoSymbol) != 0;
    Levels la = LevelsOf(a, dropSymbols);
    Levels lb = LevelsOf(b, dropSymbols);
    if (int r = CompareWeights(la.primary, lb.primary))
        return r;
    if (!(flags & kFlagNoAccent)) {
        if (int r = CompareWeights(la.secondary, lb.secondary))
            return r;
    }
    if (!(flags & kFlagUpper)) {
        if (int r = CompareWeights(la.tertiary, lb.tertiary))
            return r;
    }
    return 0;
}

// Units of a sort key: no zero byte, order of the bytes = order of the values.
void PutWeight(std::string& key, uint32_t w)
{
    w = std::min<uint32_t>(w, 0x1FFFFF);  // decoded 8-bit text stays below
    key.push_back(static_cast<char>(0x02 + ((w >> 14) & 0x7F)));
    key.push_back(static_cast<char>(0x02 + ((w >> 7) & 0x7F)));
    key.push_back(static_cast<char>(0x02 + (w & 0x7F)));
}

std::string SortKey(const Text& text)
{
    Levels levels = LevelsOf(text, false);
    std::string key;
    for (uint32_t w : levels.primary)
        PutWeight(key, w);
    key.push_back(static_cast<char>(StandinInfoLocale::kSortKeyLevelSeparator));
    for (uint32_t w : levels.secondary)
        PutWeight(key, w);
    key.push_back(static_cast<char>(StandinInfoLocale::kSortKeyLevelSeparator));
    for (uint32_t w : levels.tertiary)
        key.push_back(static_cast<char>(0x02 + w));
    return key;
}

// Code page 1252, bytes 0x80-0x9F; the undefined bytes stand for the C1
// control of the same value so that every byte round-trips.
constexpr char32_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

Text Decode1252(const unsigned char* s, size_t n)
{
    Text out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        out.push_back(s[i] >= 0x80 && s[i] < 0xA0 ? k1252High[s[i] - 0x80] : s[i]);
    return out;
}

std::string Encode1252(const Text& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const char32_t* hit = std::find(std::begin(k1252High), std::end(k1252High), c);
        out.push_back(hit == std::end(k1252High) ? '?' : static_cast<char>(0x80 + (hit - k1252High)));
    }
    return out;
}

// Strict UTF-8: overlong forms, surrogates, values past U+10FFFF and cut
// sequences are undecodable; each such byte reads as '?'.
Text DecodeUtf8(const unsigned char* s, size_t n)
{
    Text out;
    out.reserve(n);
    size_t i = 0;
    while (i < n) {
        unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        size_t len;
        char32_t cp;
        char32_t least;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2, cp = b & 0x1F, least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3, cp = b & 0x0F, least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4, cp = b & 0x07, least = 0x10000;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        bool ok = n - i >= len;
        for (size_t k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (!ok || cp < least || cp > kLastCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

std::string EncodeUtf8(const Text& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c > kLastCodePoint || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back('?');
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

size_t LengthOf(const char* s, int n)
{
    if (s == nullptr)
        return 0;
    return n < 0 ? std::strlen(s) : static_cast<size_t>(n);
}

size_t LengthOf(const wchar_t* s, int n)
{
    if (s == nullptr)
        return 0;
    return n < 0 ? std::wcslen(s) : static_cast<size_t>(n);
}

Text WideText(const wchar_t* s, int n)
{
    size_t len = LengthOf(s, n);
    Text out(len, U'\0');
    for (size_t i = 0; i < len; ++i)
        out[i] = static_cast<char32_t>(static_cast<uint32_t>(s[i]));
    return out;
}

std::wstring LoggedText(const wchar_t* s, int n)
{
    return s == nullptr ? std::wstring() : std::wstring(s, LengthOf(s, n));
}

std::wstring LoggedText(const char* s, int n)
{
    size_t len = LengthOf(s, n);
    std::wstring out(len, L'\0');
    for (size_t i = 0; i < len; ++i)
        out[i] = static_cast<unsigned char>(s[i]);
    return out;
}

int ClampCount(size_t n)
{
    return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

// Capacity rules shared by every map and the sort key. With `utf8` the cut
// falls on a character boundary.
template <class Unit>
int WriteOut(const std::basic_string<Unit>& out, Unit* dst, int capacity, bool utf8)
{
    if (dst == nullptr)
        return ClampCount(out.size());
    if (capacity <= 0)
        return 0;
    size_t n = std::min(out.size(), static_cast<size_t>(capacity) - 1);
    if (utf8) {
        while (n > 0 && n < out.size() && (static_cast<unsigned char>(out[n]) & 0xC0) == 0x80)
            --n;
    }
    std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n), dst);
    dst[n] = Unit(0);
    return static_cast<int>(n);
}

int MapWide(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen)
{
    Text mapped = MapText(flags, WideText(src, srcLen));
    std::wstring out(mapped.size(), L'\0');
    for (size_t i = 0; i < mapped.size(); ++i)
        out[i] = static_cast<wchar_t>(mapped[i]);
    return WriteOut(out, dst, capacity, false);
}

}  // namespace

std::u32string StandinInfoLocale::Decode(const char* text, int length) const
{
    auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t n = LengthOf(text, length);
    return m_codePage == kCodePageUtf8 ? DecodeUtf8(bytes, n) : Decode1252(bytes, n);
}

std::string StandinInfoLocale::Encode(const std::u32string& text) const
{
    return m_codePage == kCodePageUtf8 ? EncodeUtf8(text) : Encode1252(text);
}

int StandinInfoLocale::CompareA(unsigned flags, const char* s1, int n1, const char* s2, int n2) const
{
    return CompareTexts(flags, Decode(s1, n1), Decode(s2, n2));
}

int StandinInfoLocale::MapA(unsigned flags, char* dst, int capacity, const char* src, int srcLen) const
{
    bool utf8 = m_codePage == kCodePageUtf8;
    return WriteOut(Encode(MapText(flags, Decode(src, srcLen))), dst, capacity, utf8);
}

int StandinInfoLocale::Answer(Call call, int result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_scripts[call.slot])
        result = *m_scripts[call.slot];
    call.result = result;
    m_log.push_back(std::move(call));
    return result;
}

int StandinInfoLocale::_vnReserve0()
{
    return Answer({.slot = kReserve0}, 0);
}

int StandinInfoLocale::_vnReserve1()
{
    return Answer({.slot = kReserve1}, 0);
}

int StandinInfoLocale::nGetCurrentCharset()
{
    return Answer({.slot = kGetCurrentCharset}, m_charset);
}

int StandinInfoLocale::nGetCurrentCodePage()
{
    return Answer({.slot = kGetCurrentCodePage}, m_codePage);
}

unsigned StandinInfoLocale::nGetCurrentLCID()
{
    return static_cast<unsigned>(Answer({.slot = kGetCurrentLCID}, static_cast<int>(m_lcid.load())));
}

int StandinInfoLocale::nCompareStringLocaleA(unsigned lcid, unsigned flags, const char* s1, int n1, const char* s2, int n2)
{
    Call call{.slot = kCompareStringLocaleA, .lcid = lcid, .flags = flags, .text1 = LoggedText(s1, n1),
              .text2 = LoggedText(s2, n2), .length1 = n1, .length2 = n2};
    return Answer(std::move(call), CompareA(flags, s1, n1, s2, n2));
}

int StandinInfoLocale::nCompareStringLocaleW(unsigned lcid, unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2)
{
    Call call{.slot = kCompareStringLocaleW, .lcid = lcid, .flags = flags, .text1 = LoggedText(s1, n1),
              .text2 = LoggedText(s2, n2), .length1 = n1, .length2 = n2};
    return Answer(std::move(call), CompareTexts(flags, WideText(s1, n1), WideText(s2, n2)));
}

int StandinInfoLocale::nCompareStringA(unsigned flags, const char* s1, int n1, const char* s2, int n2)
{
    Call call{.slot = kCompareStringA, .flags = flags, .text1 = LoggedText(s1, n1), .text2 = LoggedText(s2, n2),
              .length1 = n1, .length2 = n2};
    return Answer(std::move(call), CompareA(flags, s1, n1, s2, n2));
}

int StandinInfoLocale::nCompareStringW(unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2)
{
    Call call{.slot = kCompareStringW, .flags = flags, .text1 = LoggedText(s1, n1), .text2 = LoggedText(s2, n2),
              .length1 = n1, .length2 = n2};
    return Answer(std::move(call), CompareTexts(flags, WideText(s1, n1), WideText(s2, n2)));
}

int StandinInfoLocale::nMapSortKeyA(unsigned lcid, char* dst, int capacity, const char* src, int srcLen)
{
    Call call{.slot = kMapSortKeyA, .lcid = lcid, .text1 = LoggedText(src, srcLen), .length1 = srcLen,
              .destination = dst != nullptr, .capacity = capacity};
    int result = WriteOut(SortKey(Decode(src, srcLen)), dst, capacity, false);
    return Answer(std::move(call), result);
}

int StandinInfoLocale::_vnReserve10()
{
    return Answer({.slot = kReserve10}, 0);
}

int StandinInfoLocale::nMapStringLocaleA(unsigned lcid, unsigned flags, char* dst, int capacity, const char* src, int srcLen)
{
    Call call{.slot = kMapStringLocaleA, .lcid = lcid, .flags = flags, .text1 = LoggedText(src, srcLen),
              .length1 = srcLen, .destination = dst != nullptr, .capacity = capacity};
    int result = MapA(flags, dst, capacity, src, srcLen);
    return Answer(std::move(call), result);
}

int StandinInfoLocale::nMapStringLocaleW(unsigned lcid, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen)
{
    Call call{.slot = kMapStringLocaleW, .lcid = lcid, .flags = flags, .text1 = LoggedText(src, srcLen),
              .length1 = srcLen, .destination = dst != nullptr, .capacity = capacity};
    int result = MapWide(flags, dst, capacity, src, srcLen);
    return Answer(std::move(call), result);
}

int StandinInfoLocale::nMapStringA(unsigned flags, char* dst, int capacity, const char* src, int srcLen)
{
    Call call{.slot = kMapStringA, .flags = flags, .text1 = LoggedText(src, srcLen), .length1 = srcLen,
              .destination = dst != nullptr, .capacity = capacity};
    int result = MapA(flags, dst, capacity, src, srcLen);
    return Answer(std::move(call), result);
}

int StandinInfoLocale::nMapStringW(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen)
{
    Call call{.slot = kMapStringW, .flags = flags, .text1 = LoggedText(src, srcLen), .length1 = srcLen,
              .destination = dst != nullptr, .capacity = capacity};
    int result = MapWide(flags, dst, capacity, src, srcLen);
    return Answer(std::move(call), result);
}

std::u32string StandinInfoLocale::MapCharacters(unsigned flags, const std::u32string& text)
{
    return MapText(flags, text);
}

unsigned StandinInfoLocale::nGetSafeCurrentLCID()
{
    return static_cast<unsigned>(Answer({.slot = kGetSafeCurrentLCID}, static_cast<int>(m_safeLcid.load())));
}

void StandinInfoLocale::Script(Slot slot, int answer)
{
    if (slot < 0 || slot >= kSlotCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scripts[slot] = answer;
}

void StandinInfoLocale::Unscript(Slot slot)
{
    if (slot < 0 || slot >= kSlotCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scripts[slot].reset();
}

void StandinInfoLocale::Reset()
{
    m_charset = kDefaultCharset;
    m_codePage = kDefaultCodePage;
    m_lcid = kDefaultLCID;
    m_safeLcid = kDefaultSafeLCID;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& script : m_scripts)
        script.reset();
    m_log.clear();
}

void StandinInfoLocale::ClearLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

std::vector<StandinInfoLocale::Call> StandinInfoLocale::Log() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

size_t StandinInfoLocale::Calls(Slot slot) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<size_t>(std::count_if(m_log.begin(), m_log.end(), [slot](const Call& c) { return c.slot == slot; }));
}

StandinInfoLocale::Call StandinInfoLocale::LastCall(Slot slot) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it) {
        if (it->slot == slot)
            return *it;
    }
    Call none;
    none.slot = kSlotCount;
    return none;
}
