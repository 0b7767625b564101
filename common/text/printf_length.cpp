#include "common/text/printf_length.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

enum class Size { kNone, kShort, kLong, kLongLong, kInt32, kLongDouble };

constexpr long kCap = 0x7FFFFFFF;

inline long Add(long a, long b)
{
    return a > kCap - b ? kCap : a + b;
}

template <class T>
bool bDigit(T c)
{
    return c >= '0' && c <= '9';
}

template <class T>
long Digits(const T*& p)
{
    long value = 0;
    while (bDigit(*p)) {
        value = value > (kCap - 9) / 10 ? kCap : value * 10 + (*p - '0');
        ++p;
    }
    return value;
}

template <class U>
long TextLength(const U* text)
{
    long n = 0;
    while (text[n] && n < kCap) ++n;
    return n;
}

// Characters a floating value formats to with the given conversion and
// precision, flags aside.
long FloatLength(char conv, long precision, bool bLongDouble, long double value)
{
    char format[8] = "%.*";
    size_t at = 3;
    if (bLongDouble) format[at++] = 'L';
    format[at++] = conv;
    format[at] = 0;
    const int prec = precision < 0 ? 6 : static_cast<int>(precision > 100000 ? 100000 : precision);
    const int n = bLongDouble ? std::snprintf(nullptr, 0, format, prec, value)
                              : std::snprintf(nullptr, 0, format, prec, static_cast<double>(value));
    return n < 0 ? 0 : n;
}

}  // namespace

template <class T>
long STRG_nCalculeLongueurPrintf(const T* pszFormat, va_list args)
{
    if (!pszFormat) return 0;
    va_list ap;
    va_copy(ap, args);
    const bool bWideFormat = sizeof(T) == sizeof(wchar_t);
    const long mbMax = static_cast<long>(MB_CUR_MAX);
    long count = 0;
    const T* p = pszFormat;
    while (*p) {
        if (*p != '%') {
            count = Add(count, 1);
            ++p;
            continue;
        }
        const T* spec = p++;
        if (*p == 0) break;
        if (*p == '%') {
            count = Add(count, 1);
            ++p;
            continue;
        }
        long extra = 0;
        for (; *p == '#' || *p == '+' || *p == '-' || *p == '0' || *p == ' ' || *p == '\''; ++p) {
            if (*p == '#') extra += 2;
            if (*p == '+' || *p == ' ') extra += 1;
            // Digit grouping: at most one separator (of up to MB_CUR_MAX
            // bytes) every three of at most 20 digits.
            if (*p == '\'') extra += 7 * mbMax;
        }
        long width = 0;
        if (*p == '*') {
            const int w = va_arg(ap, int);
            width = w < 0 ? -static_cast<long>(w) : w;
            ++p;
        } else {
            width = Digits(p);
        }
        long precision = -1;
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                const int v = va_arg(ap, int);
                precision = v < 0 ? -1 : v;
                ++p;
            } else {
                precision = Digits(p);
            }
        }
        Size size = Size::kNone;
        for (bool bPrefix = true; bPrefix;) {
            switch (*p) {
            case 'F':
            case 'N': ++p; break;
            case 'L': size = Size::kLongDouble; ++p; break;
            case 'h': size = Size::kShort; ++p; break;
            case 'l':
                ++p;
                if (*p == 'l') {
                    ++p;
                    size = Size::kLongLong;
                } else {
                    size = Size::kLong;
                }
                break;
            case 'q':
            case 'j':
            case 'z':
            case 't': size = Size::kLongLong; ++p; break;
            case 'I':
                ++p;
                if (p[0] == '6' && p[1] == '4') {
                    p += 2;
                    size = Size::kLongLong;
                } else if (p[0] == '3' && p[1] == '2') {
                    p += 2;
                    size = Size::kInt32;
                } else {
                    size = Size::kLongLong;  // pointer-sized
                }
                break;
            default: bPrefix = false; break;
            }
        }
        const T conv = *p;
        if (conv == 0) break;
        ++p;
        long n = 0;
        switch (conv) {
        case 's':
        case 'S': {
            // The text's width: the format's own for "s", the other for "S";
            // "h" makes it 8-bit, "l" wide.
            bool bWideText = (conv == 's') == bWideFormat;
            if (size == Size::kShort) bWideText = false;
            if (size == Size::kLong) bWideText = true;
            long length;
            if (bWideText) {
                const wchar_t* text = va_arg(ap, const wchar_t*);
                length = text ? TextLength(text) : 6;
                if (!bWideFormat && text) length = length > kCap / mbMax ? kCap : length * mbMax;
            } else {
                const char* text = va_arg(ap, const char*);
                length = text ? TextLength(text) : 6;
            }
            if (length < 1) length = 1;
            if (precision >= 0 && precision < length) length = precision;
            n = length > width ? length : width;
            break;
        }
        case 'c':
        case 'C': {
            (void)va_arg(ap, int);
            bool bWideChar = (conv == 'c') == bWideFormat;
            if (size == Size::kShort) bWideChar = false;
            if (size == Size::kLong) bWideChar = true;
            const long length = (!bWideFormat && bWideChar && mbMax > 2) ? mbMax : 2;
            n = length > width ? length : width;
            break;
        }
        case 'd':
        case 'i':
        case 'o':
        case 'u':
        case 'x':
        case 'X':
            if (size == Size::kLong) (void)va_arg(ap, long);
            else if (size == Size::kLongLong) (void)va_arg(ap, long long);
            else (void)va_arg(ap, int);
            n = Add(width, precision > 0 ? precision : 0);
            if (n < 32) n = 32;
            break;
        case 'p':
            (void)va_arg(ap, void*);
            n = Add(width, precision > 0 ? precision : 0);
            if (n < 32) n = 32;
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            const bool bLongDouble = size == Size::kLongDouble;
            const long double value = bLongDouble ? va_arg(ap, long double) : va_arg(ap, double);
            n = Add(width, precision > 0 ? precision : 0);
            if (n < 512) n = 512;
            const long exact = FloatLength(static_cast<char>(conv), precision, bLongDouble, value);
            if (exact > n) n = exact;
            break;
        }
        case 'n': (void)va_arg(ap, void*); break;
        default:
            // Printed as it stands by the C library.
            n = static_cast<long>(p - spec);
            break;
        }
        count = Add(count, Add(n, extra));
    }
    va_end(ap);
    return count;
}

template long STRG_nCalculeLongueurPrintf<char>(const char*, va_list);
template long STRG_nCalculeLongueurPrintf<wchar_t>(const wchar_t*, va_list);
