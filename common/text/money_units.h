#pragma once

#include "common/text/money.h"

// The currency value as a native 128-bit integer, for the arithmetic of
// money*.cpp. Internal to the currency code.
namespace money_units {

using Int = __int128;
using UInt = unsigned __int128;

constexpr UInt kMagnitudeLimit = static_cast<UInt>(1) << 79;  // magnitudes stay below
constexpr Int kMax = static_cast<Int>(kMagnitudeLimit) - 1;
constexpr Int kMin = -static_cast<Int>(kMagnitudeLimit);
constexpr Int kMillion = 1000000;

inline Int Get(const CMoney* p)
{
    UInt u = 0;
    for (int i = 4; i >= 0; --i)
        u = (u << 16) | p->m_awMot[i];
    if (u & kMagnitudeLimit)  // bit 79: sign-extend
        u |= ~((static_cast<UInt>(1) << 80) - 1);
    return static_cast<Int>(u);
}

inline void Put(CMoney* p, Int v)
{
    UInt u = static_cast<UInt>(v);
    for (int i = 0; i < 5; ++i) {
        p->m_awMot[i] = static_cast<uint16_t>(u & 0xFFFF);
        u >>= 16;
    }
}

inline bool bFits(Int v) { return v >= kMin && v <= kMax; }

inline UInt Magnitude(Int v) { return v < 0 ? static_cast<UInt>(0) - static_cast<UInt>(v) : static_cast<UInt>(v); }

// The signed value of a magnitude and a sign; the magnitude is at most 2^79.
inline Int Signed(UInt mag, bool bNegative)
{
    return bNegative ? -static_cast<Int>(mag) : static_cast<Int>(mag);
}

// Stores v when it fits and returns pst; null (value unchanged) otherwise.
inline CMoney* pstStore(CMoney* pst, Int v)
{
    if (!bFits(v))
        return nullptr;
    Put(pst, v);
    return pst;
}

// n / d rounded to nearest, halves away from zero (d > 0).
inline UInt RoundedQuotient(UInt n, UInt d)
{
    UInt q = n / d;
    if (2 * (n % d) >= d)
        ++q;
    return q;
}

// Parses the decimal text into units; false on overflow. Shared by the wide
// parser and the narrow text of a real number.
template <class T>
bool bParseDecimal(const T* p, Int* pOut)
{
    *pOut = 0;
    if (p == nullptr)
        return true;
    while (*p == T(' '))
        ++p;
    bool bNegative = false;
    if (*p == T('+') || *p == T('-') || (sizeof(T) > 1 && (*p == T(0xFF0B) || *p == T(0xFF0D)))) {
        bNegative = *p == T('-') || (sizeof(T) > 1 && *p == T(0xFF0D));
        ++p;
    }
    UInt mag = 0;
    auto bMulAdd = [&mag](unsigned d) {
        mag = mag * 10 + d;
        return mag < kMagnitudeLimit;
    };
    for (; *p >= T('0') && *p <= T('9'); ++p)
        if (!bMulAdd(static_cast<unsigned>(*p - T('0'))))
            return false;
    int nDecimals = 0;
    if (*p == T('.')) {
        ++p;
        for (; nDecimals < 6 && *p >= T('0') && *p <= T('9'); ++p, ++nDecimals)
            if (!bMulAdd(static_cast<unsigned>(*p - T('0'))))
                return false;
    }
    for (; nDecimals < 6; ++nDecimals)
        if (!bMulAdd(0))
            return false;
    *pOut = Signed(mag, bNegative);
    return true;
}

}  // namespace money_units
