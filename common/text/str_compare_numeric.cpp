#include "common/text/str_compare_numeric.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/text/str_compare.h"

namespace {

template <class T>
int Measure(const T* p, int n)
{
    if (!p)
        return 0;
    if (n >= 0)
        return n;
    size_t len;
    if constexpr (sizeof(T) == 1)
        len = std::strlen(p);
    else
        len = std::wcslen(p);
    return len > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(len);
}

template <class T>
bool IsDigit(T c)
{
    return c >= '0' && c <= '9';
}

template <class T>
int DigitRun(const T* p, int from, int n)
{
    int k = from;
    while (k < n && IsDigit(p[k]))
        ++k;
    return k - from;
}

// Compares two runs of digits as numbers. Answers -1 or 1 when they differ;
// 0 when equal, with *tie set (if still 0) when the lengths differ: -1 when
// a's run was the longer (more leading zeros sorts first).
template <class T>
int CompareNumbers(const T* a, int da, const T* b, int db, int* tie)
{
    const int extra = da > db ? da - db : db - da;
    const T* longer = da > db ? a : b;
    for (int k = 0; k < extra; ++k) {
        if (longer[k] != '0')
            return da > db ? 1 : -1;
    }
    const T* pa = da > db ? a + extra : a;
    const T* pb = db > da ? b + extra : b;
    const int n = da < db ? da : db;
    for (int k = 0; k < n; ++k) {
        if (pa[k] != pb[k])
            return pa[k] < pb[k] ? -1 : 1;
    }
    if (da != db && *tie == 0)
        *tie = da > db ? -1 : 1;
    return 0;
}

// What memcmp answers for the in-memory (little-endian) forms of two
// characters: the difference of the first differing bytes.
int CompareCharBytes(wchar_t a, wchar_t b)
{
    const auto x = static_cast<uint32_t>(a), y = static_cast<uint32_t>(b);
    for (int shift = 0; shift < 32; shift += 8) {
        const int bx = static_cast<int>((x >> shift) & 0xFF), by = static_cast<int>((y >> shift) & 0xFF);
        if (bx != by)
            return bx - by;
    }
    return 0;
}

// The steps both widths share: the ends of the texts, and runs of digits
// compared as numbers. Where a text does not start with a digit, the width's
// own step decides: step(i, j, bOneDigit) answers non-zero to end the
// comparison, or 0 after moving i and j past what it found equal.
template <class T, class Step>
int CompareRespectingNumbers(const T* a, int na, const T* b, int nb, Step step)
{
    int tie = 0;
    int i = 0, j = 0;
    for (;;) {
        if (j == nb)
            return i == na ? tie : 1;
        if (i == na)
            return -1;
        const int da = DigitRun(a, i, na), db = DigitRun(b, j, nb);
        if (da && db) {
            if (int r = CompareNumbers(a + i, da, b + j, db, &tie))
                return r;
            i += da;
            j += db;
            continue;
        }
        if (int r = step(i, j, da || db))
            return r;
    }
}

}  // namespace

// Wide text compares whole runs of non-digits: a shorter run sorts first
// even when its next character is a digit.
int STR_nCompareRespecteNumeriqueW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned flags)
{
    na = Measure(a, na);
    nb = Measure(b, nb);
    return CompareRespectingNumbers(a, na, b, nb, [&](int& i, int& j, bool bOneDigit) {
        if (bOneDigit) {
            if (flags & STR_FLAG_LEXICAL)
                return STR_nCompareCharLexicoW(a[i], b[j], flags);
            return CompareCharBytes(a[i], b[j]);
        }
        int ra = 0, rb = 0;
        while (i + ra < na && !IsDigit(a[i + ra]))
            ++ra;
        while (j + rb < nb && !IsDigit(b[j + rb]))
            ++rb;
        if (flags & STR_FLAG_LEXICAL) {
            if (int r = STR_nCompareStringLexicoW(a + i, ra, b + j, rb, flags))
                return r;
        } else {
            const int common = ra < rb ? ra : rb;
            if (int r = std::memcmp(a + i, b + j, static_cast<size_t>(common) * sizeof(wchar_t)))
                return r < 0 ? -1 : 1;
            if (ra != rb)
                return ra < rb ? -1 : 1;
        }
        i += ra;
        j += rb;
        return 0;
    });
}

// 8-bit text compares non-digit text one character at a time.
int STR_nCompareRespecteNumeriqueA(const char* a, int na, const char* b, int nb, unsigned flags)
{
    na = Measure(a, na);
    nb = Measure(b, nb);
    return CompareRespectingNumbers(a, na, b, nb, [&](int& i, int& j, bool) {
        const int r = flags & STR_FLAG_LEXICAL
                          ? STR_nCompareCharLexicoA(a[i], b[j], flags)
                          : static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
        return r;
    });
}
