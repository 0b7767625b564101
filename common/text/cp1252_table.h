#pragma once

#include <cstdint>

// Windows code page 1252 between 0x80 and 0x9F; every other byte is the code
// point of the same value. Zero marks the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
inline constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte of a character in code page 1252, or -1 when the code page has
// none (U+0080 to U+009F included: those bytes hold other characters).
inline constexpr int nCp1252ByteOf(uint32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    if (c < 0x152 || c > 0x2122) return -1;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) return 0x80 + i;
    }
    return -1;
}
