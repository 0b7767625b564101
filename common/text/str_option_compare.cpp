#include "common/text/str_option_compare.h"

#include <climits>
#include <cstring>
#include <cwchar>

#include "common/text/str_compare.h"
#include "common/text/str_compare_numeric.h"
#include "common/text/str_work_area.h"

namespace {

constexpr unsigned kOptTrim = 1;
constexpr unsigned kOptLexical = 8;
constexpr unsigned kOptNumeric = 128;
constexpr unsigned kOptPassedWithLexical = 0x80000000;
constexpr size_t kStackBytes = 16383;

template <class T>
bool IsBlank(T c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

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
    return len > static_cast<size_t>(INT_MAX - 1) ? INT_MAX - 1 : static_cast<int>(len);
}

template <class T>
int Prepare(unsigned options, const T* src, int length, T* dst, int capacity)
{
    length = Measure(src, length);
    static const T kEmpty[1] = {0};
    if (!src)
        src = kEmpty;
    if ((options & kOptTrim) && length > 0) {
        while (length > 0 && IsBlank(src[length - 1]))
            --length;
        while (length > 0 && IsBlank(*src)) {
            ++src;
            --length;
        }
    }
    const unsigned flags = OptionZL2FlagSTR(options);
    if (flags == 0) {
        if (!dst || capacity <= 0)
            return 0;
        const int n = length < capacity - 1 ? length : capacity - 1;
        std::memmove(dst, src, static_cast<size_t>(n) * sizeof(T));
        dst[n] = 0;
        return n;
    }
    IInfoLocale* pi = STR_piGetInfoLocale();
    if constexpr (sizeof(T) == 1)
        return pi->nMapStringA(flags, dst, capacity, src, length);
    else
        return pi->nMapStringW(flags, dst, capacity, src, length);
}

// A text prepared into its work area; when no area can be had, the text as
// given stands in for it.
template <class T>
struct Prepared
{
    CStrWorkArea<T, kStackBytes> area;
    const T* text = nullptr;
    int length = 0;

    Prepared(unsigned options, const T* src, int n)
    {
        n = Measure(src, n);
        if (area.bReserve(static_cast<size_t>(n) + 1)) {
            const int written = Prepare(options, src, n, area.p(), n + 1);
            text = area.p();
            length = written < 0 ? 0 : (written > n ? n : written);
        } else {
            text = src;
            length = n;
        }
    }
};

template <class T>
int CompareUnits(const T* a, int na, const T* b, int nb)
{
    const int common = na < nb ? na : nb;
    if (common > 0) {
        if (int r = std::memcmp(a, b, static_cast<size_t>(common) * sizeof(T)))
            return r < 0 ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

}  // namespace

unsigned OptionZL2FlagSTR(unsigned options)
{
    unsigned flags = 0;
    if (options & 2)
        flags |= LOCALE_FLAG_IGNORE_SYMBOLS;
    if (options & 4)
        flags |= LOCALE_FLAG_IGNORE_ACCENTS;
    if ((options & (16 | 32)) && !(options & 64))
        flags |= LOCALE_FLAG_IGNORE_CASE;
    if (options & 64)
        flags |= LOCALE_FLAG_LOWER_CASE;
    if (options & 256)
        flags |= 0x800;
    return flags;
}

int STR_PrepareChaineW(unsigned options, const wchar_t* src, int length, wchar_t* dst, int capacity)
{
    return Prepare(options, src, length, dst, capacity);
}

int STR_PrepareChaineA(unsigned options, const char* src, int length, char* dst, int capacity)
{
    return Prepare(options, src, length, dst, capacity);
}

int STR_ChaineCompareW(const wchar_t* a, int na, const wchar_t* b, int nb, unsigned options)
{
    const Prepared<wchar_t> pa(options, a, na), pb(options, b, nb);
    if (options & kOptLexical) {
        if (!(options & kOptNumeric))
            return STR_nCompareStringLexicoW(pa.text, pa.length, pb.text, pb.length,
                                             (options & kOptPassedWithLexical) | STR_FLAG_CURRENT_LOCALE);
        return STR_nCompareRespecteNumeriqueW(pa.text, pa.length, pb.text, pb.length,
                                              STR_FLAG_CURRENT_LOCALE | STR_FLAG_LEXICAL);
    }
    if (options & kOptNumeric)
        return STR_nCompareRespecteNumeriqueW(pa.text, pa.length, pb.text, pb.length, 0);
    return CompareUnits(pa.text, pa.length, pb.text, pb.length);
}

int STR_ChaineCompareA(const char* a, int na, const char* b, int nb, unsigned options)
{
    const Prepared<char> pa(options, a, na), pb(options, b, nb);
    if (options & kOptLexical) {
        if (!(options & kOptNumeric)) {
            const int common = pa.length < pb.length ? pa.length : pb.length;
            for (int k = 0; k < common; ++k) {
                if (int r = STR_nCompareCharLexicoA(pa.text[k], pb.text[k], STR_FLAG_CURRENT_LOCALE))
                    return r;
            }
            return pa.length == pb.length ? 0 : (pa.length < pb.length ? -1 : 1);
        }
        return STR_nCompareRespecteNumeriqueA(pa.text, pa.length, pb.text, pb.length,
                                              STR_FLAG_CURRENT_LOCALE | STR_FLAG_LEXICAL);
    }
    if (options & kOptNumeric)
        return STR_nCompareRespecteNumeriqueA(pa.text, pa.length, pb.text, pb.length, 0);
    return CompareUnits(pa.text, pa.length, pb.text, pb.length);
}
