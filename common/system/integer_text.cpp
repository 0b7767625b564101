#include "common/system/integer_text.h"

#include <cwctype>

namespace {

template <class T>
T* IntegerToText(unsigned long magnitude, bool bNegative, T* dst, int radix)
{
    if (radix < 2 || radix > 36) {
        dst[0] = 0;
        return dst;
    }
    T digits[64];
    int n = 0;
    do {
        const unsigned d = static_cast<unsigned>(magnitude % static_cast<unsigned>(radix));
        digits[n++] = static_cast<T>(d < 10 ? '0' + d : 'a' + d - 10);
        magnitude /= static_cast<unsigned>(radix);
    } while (magnitude != 0);
    T* p = dst;
    if (bNegative) *p++ = '-';
    while (n > 0) *p++ = digits[--n];
    *p = 0;
    return dst;
}

// The magnitude of a signed value, the smallest one included.
unsigned long Magnitude(long value)
{
    return value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
}

}  // namespace

char* ui64toa(unsigned long nValue, char* pszDst, int nRadix) { return IntegerToText(nValue, false, pszDst, nRadix); }
char* ultoa(unsigned long nValue, char* pszDst, int nRadix) { return IntegerToText(nValue, false, pszDst, nRadix); }
char* i64toa(long nValue, char* pszDst, int nRadix) { return IntegerToText(Magnitude(nValue), nValue < 0, pszDst, nRadix); }
char* ltoa(long nValue, char* pszDst, int nRadix) { return IntegerToText(Magnitude(nValue), nValue < 0, pszDst, nRadix); }
char* itoa(int nValue, char* pszDst, int nRadix) { return ltoa(nValue, pszDst, nRadix); }

wchar_t* ui64tow(unsigned long nValue, wchar_t* pszDst, int nRadix) { return IntegerToText(nValue, false, pszDst, nRadix); }
wchar_t* ultow(unsigned long nValue, wchar_t* pszDst, int nRadix) { return IntegerToText(nValue, false, pszDst, nRadix); }
wchar_t* i64tow(long nValue, wchar_t* pszDst, int nRadix) { return IntegerToText(Magnitude(nValue), nValue < 0, pszDst, nRadix); }
wchar_t* ltow(long nValue, wchar_t* pszDst, int nRadix) { return IntegerToText(Magnitude(nValue), nValue < 0, pszDst, nRadix); }
wchar_t* itow(int nValue, wchar_t* pszDst, int nRadix) { return ltow(nValue, pszDst, nRadix); }

unsigned short nGetEntierHexa4(const wchar_t* pszText)
{
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        const wchar_t c = pszText[i];
        const unsigned digit = c < L'0' + 10 ? static_cast<unsigned>(c - L'0')
                                             : static_cast<unsigned>(std::towupper(static_cast<wint_t>(c)) - 55);
        value = value * 16 + digit;
    }
    return static_cast<unsigned short>(value);
}

unsigned long nGetEntierHexa(const wchar_t* pszText, int& nDigits)
{
    unsigned long value = 0;
    nDigits = 0;
    for (; std::iswxdigit(static_cast<wint_t>(pszText[nDigits])); ++nDigits) {
        const wchar_t c = pszText[nDigits];
        const unsigned digit = c <= L'9' ? static_cast<unsigned>(c - L'0')
                                         : static_cast<unsigned>(std::towupper(static_cast<wint_t>(c)) - L'A' + 10);
        value = value * 16 + digit;
    }
    return value;
}
