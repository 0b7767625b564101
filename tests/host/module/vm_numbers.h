#pragma once

// Exact integer helpers of the stand-in machine: unscaled decimals in 128
// bits.
#include <array>
#include <cstddef>
#include <cstdint>

namespace standin_vm {

using Int128 = __int128;

// 10^n for n 0 to 38, from a table: the conversions ask for them per value.
inline Int128 Pow10(int n)
{
    static constexpr auto kPowers = [] {
        std::array<Int128, 39> powers{};
        powers[0] = 1;
        for (size_t i = 1; i < powers.size(); ++i)
            powers[i] = powers[i - 1] * 10;
        return powers;
    }();
    if (n >= 0 && static_cast<size_t>(n) < kPowers.size())
        return kPowers[static_cast<size_t>(n)];
    Int128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

inline Int128 Abs(Int128 v) { return v < 0 ? -v : v; }

// Decimal digits of |v| (1 for 0); at most 39.
inline int Digits(Int128 v)
{
    unsigned __int128 u = static_cast<unsigned __int128>(v < 0 ? -v : v);
    int n = 1;
    while (u >= 10) {
        u /= 10;
        ++n;
    }
    return n;
}

// v with scale `from` brought to scale `to`, rounding half away from zero
// when digits are dropped; false when the result leaves 38 digits.
inline bool Rescale(Int128 v, int from, int to, Int128* out)
{
    if (to >= from) {
        const Int128 limit = Pow10(38);
        for (int i = from; i < to; ++i) {
            if (Abs(v) >= limit / 10)
                return false;
            v *= 10;
        }
        *out = v;
        return true;
    }
    const Int128 p = Pow10(from - to);
    Int128 q = v / p;
    const Int128 r = Abs(v % p);
    if (r * 2 >= p)
        q += v < 0 ? -1 : 1;
    *out = q;
    return true;
}

}  // namespace standin_vm
