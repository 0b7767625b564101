#include "common/text/info_locale_fallback.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "common/text/no_accent_latin1.h"

namespace {

constexpr unsigned kUpper = LOCALE_FLAG_IGNORE_CASE;
constexpr unsigned kNoAccent = LOCALE_FLAG_IGNORE_ACCENTS;
constexpr unsigned kNoSymbol = LOCALE_FLAG_IGNORE_SYMBOLS;
constexpr unsigned kLower = LOCALE_FLAG_LOWER_CASE;

// Code page 1252 letters by case (the bytes of Š Œ Ž Ÿ and their lower forms
// lie in 0x80-0x9F).
bool IsLower1252(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || c == 0x9A || c == 0x9C || c == 0x9E || (c >= 0xDF && c != 0xF7);
}

bool IsUpper1252(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F ||
           (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

unsigned char Upper1252(unsigned char c)
{
    if (!IsLower1252(c) || c == 0xDF)
        return c;
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return static_cast<unsigned char>(c - 0x20);
    }
}

unsigned char Lower1252(unsigned char c)
{
    if (!IsUpper1252(c))
        return c;
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return static_cast<unsigned char>(c + 0x20);
    }
}

bool IsSymbolW(wchar_t c)
{
    return std::iswspace(static_cast<wint_t>(c)) || std::iswpunct(static_cast<wint_t>(c));
}

bool IsSymbolA(unsigned char c)
{
    if (c < 0x80)
        return std::isspace(c) || std::ispunct(c);
    return c == 0xA0;  // no-break space; other high bytes count as text
}

template <class T>
int Measure(const T* s, int n)
{
    if (!s)
        return 0;
    if (n >= 0)
        return n;
    size_t len = 0;
    if constexpr (sizeof(T) == 1)
        len = std::strlen(s);
    else
        len = std::wcslen(s);
    return len > INT_MAX ? INT_MAX : static_cast<int>(len);
}

template <class T, class U, class Fold, class IsSymbol>
int Compare(unsigned flags, const T* s1, int n1, const T* s2, int n2, Fold fold, IsSymbol isSymbol)
{
    n1 = Measure(s1, n1);
    n2 = Measure(s2, n2);
    const unsigned foldFlags = flags & (kUpper | kNoAccent);
    const bool dropSymbols = (flags & kNoSymbol) != 0;
    int i = 0, j = 0;
    for (;;) {
        if (dropSymbols) {
            while (i < n1 && isSymbol(s1[i]))
                ++i;
            while (j < n2 && isSymbol(s2[j]))
                ++j;
        }
        if (i == n1 || j == n2)
            return (i == n1) == (j == n2) ? 0 : (i == n1 ? -1 : 1);
        const U a = static_cast<U>(fold(foldFlags, s1[i++]));
        const U b = static_cast<U>(fold(foldFlags, s2[j++]));
        if (a != b)
            return a < b ? -1 : 1;
    }
}

template <class T, class Fold, class IsSymbol>
int Map(unsigned flags, T* dst, int capacity, const T* src, int srcLen, Fold fold, IsSymbol isSymbol)
{
    srcLen = Measure(src, srcLen);
    const bool dropSymbols = (flags & kNoSymbol) != 0;
    if (!dst) {
        int needed = 0;
        for (int i = 0; i < srcLen; ++i)
            needed += !(dropSymbols && isSymbol(src[i]));
        return capacity == 0 ? needed : 0;
    }
    if (capacity <= 0)
        return 0;
    // One character gives at most one, so the destination index never passes
    // the source index: mapping in place is safe.
    int written = 0;
    for (int i = 0; i < srcLen && written < capacity - 1; ++i) {
        if (dropSymbols && isSymbol(src[i]))
            continue;
        dst[written++] = fold(flags, src[i]);
    }
    dst[written] = 0;
    return written;
}

wchar_t FoldWide(unsigned flags, wchar_t c)
{
    return CInfoLocaleFallback::cFoldW(flags, c);
}

char FoldAnsi(unsigned flags, char c)
{
    return static_cast<char>(CInfoLocaleFallback::cFoldA(flags, static_cast<unsigned char>(c)));
}

bool SymbolAnsi(char c)
{
    return IsSymbolA(static_cast<unsigned char>(c));
}

}  // namespace

wchar_t CInfoLocaleFallback::cFoldW(unsigned flags, wchar_t c)
{
    if (flags & kNoAccent) {
        const auto u = static_cast<uint32_t>(c);
        if (u >= 0xC0 && u <= 0xFF && u != 0xD7 && u != 0xF7) {
            const unsigned char base = pToNoAccentUpper_Latin1[u];
            // Latin-1 and 1252 agree from 0xA0 up; a lower-case letter keeps
            // its case.
            c = static_cast<wchar_t>(IsLower1252(static_cast<unsigned char>(u)) ? Lower1252(base) : base);
            if (c == 0x9F)  // Ÿ sits elsewhere in Unicode
                c = 0x178;
        } else {
            switch (u) {
            case 0x160: c = L'S'; break;
            case 0x161: c = L's'; break;
            case 0x17D: c = L'Z'; break;
            case 0x17E: c = L'z'; break;
            case 0x178: c = L'Y'; break;
            default: break;
            }
        }
    }
    if (flags & kUpper)
        return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    if (flags & kLower)
        return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return c;
}

unsigned char CInfoLocaleFallback::cFoldA(unsigned flags, unsigned char c)
{
    if (flags & kNoAccent)
        c = IsLower1252(c) ? Lower1252(pToNoAccentUpper_Latin1[c]) : pToNoAccentUpper_Latin1[c];
    if (flags & kUpper)
        return Upper1252(c);
    if (flags & kLower)
        return Lower1252(c);
    return c;
}

int CInfoLocaleFallback::nCompareStringLocaleA(unsigned, unsigned flags, const char* s1, int n1, const char* s2, int n2)
{
    return nCompareStringA(flags, s1, n1, s2, n2);
}

int CInfoLocaleFallback::nCompareStringLocaleW(unsigned, unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2,
                                               int n2)
{
    return nCompareStringW(flags, s1, n1, s2, n2);
}

int CInfoLocaleFallback::nCompareStringA(unsigned flags, const char* s1, int n1, const char* s2, int n2)
{
    return Compare<char, unsigned char>(flags, s1, n1, s2, n2, FoldAnsi, SymbolAnsi);
}

int CInfoLocaleFallback::nCompareStringW(unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2)
{
    return Compare<wchar_t, uint32_t>(flags, s1, n1, s2, n2, FoldWide, IsSymbolW);
}

int CInfoLocaleFallback::nMapSortKeyA(unsigned, char* dst, int capacity, const char* src, int srcLen)
{
    // The text's own bytes up to its first zero: memcmp of two keys is the
    // flags-0 comparison above.
    int n = Measure(src, srcLen);
    for (int i = 0; i < n; ++i) {
        if (src[i] == 0) {
            n = i;
            break;
        }
    }
    if (!dst)
        return capacity == 0 ? n : 0;
    if (capacity <= 0)
        return 0;
    const int written = n < capacity - 1 ? n : capacity - 1;
    if (written > 0)
        std::memmove(dst, src, static_cast<size_t>(written));
    dst[written] = 0;
    return written;
}

int CInfoLocaleFallback::nMapStringLocaleA(unsigned, unsigned flags, char* dst, int capacity, const char* src,
                                           int srcLen)
{
    return nMapStringA(flags, dst, capacity, src, srcLen);
}

int CInfoLocaleFallback::nMapStringLocaleW(unsigned, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src,
                                           int srcLen)
{
    return nMapStringW(flags, dst, capacity, src, srcLen);
}

int CInfoLocaleFallback::nMapStringA(unsigned flags, char* dst, int capacity, const char* src, int srcLen)
{
    return Map(flags, dst, capacity, src, srcLen, FoldAnsi, SymbolAnsi);
}

int CInfoLocaleFallback::nMapStringW(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen)
{
    return Map(flags, dst, capacity, src, srcLen, FoldWide, IsSymbolW);
}
