#pragma once

// The groups of runtime type codes (the low byte of a value's type word) that
// the value holders and the literal writers sort values by. Pure functions of
// the code; the flags above the low byte must be masked off by the caller.
//
// Codes 20-23 and 134 belong to text groups although the common library has
// no class for them: a value can carry them only as a code, so the groups
// name them and nothing else depends on it.

// 8-bit strings: one 8-bit character (17), heap text (18), runtime string
// (19) and the host's other 8-bit string kinds.
constexpr bool NA_bAnsiStringCode(unsigned short nCode)
{
    return nCode == 17 || nCode == 18 || nCode == 19 || nCode == 21 || nCode == 22 || nCode == 23 || nCode == 134;
}

// The 8-bit strings and the 8-bit date (128) and time (129) texts.
constexpr bool NA_bAnsiTextCode(unsigned short nCode)
{
    return NA_bAnsiStringCode(nCode) || nCode == 128 || nCode == 129;
}

// Wide strings: runtime string (16), 20, one wide character (81), heap text
// (110).
constexpr bool NA_bWideStringCode(unsigned short nCode)
{
    return nCode == 16 || nCode == 20 || nCode == 81 || nCode == 110;
}

// The wide strings and the wide date (24) and time (25) texts.
constexpr bool NA_bWideTextCode(unsigned short nCode)
{
    return NA_bWideStringCode(nCode) || nCode == 24 || nCode == 25;
}

// Booleans, integers, currency, reals and decimals.
constexpr bool NA_bNumericCode(unsigned short nCode)
{
    return nCode >= 1 && nCode <= 14;
}

// What a text store accepts as a text target: 16 to 25, 81, 110, 128, 129
// and 134.
constexpr bool NA_bTextTargetCode(unsigned short nCode)
{
    return (nCode >= 16 && nCode <= 25) || nCode == 81 || nCode == 110 || nCode == 128 || nCode == 129 ||
           nCode == 134;
}

// The strings a retyping or a duration cast treats as text: 16 to 23, 81,
// 110 and 134 (no date or time texts).
constexpr bool NA_bStringCode(unsigned short nCode)
{
    return (nCode >= 16 && nCode <= 23) || nCode == 81 || nCode == 110 || nCode == 134;
}

// Date, time and date-time codes whose database texts go through the date
// forms: 24, 25, 26, 128, 129.
constexpr bool NA_bDateFormCode(unsigned short nCode)
{
    return nCode == 24 || nCode == 25 || nCode == 26 || nCode == 128 || nCode == 129;
}
