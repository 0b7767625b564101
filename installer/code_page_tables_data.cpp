// The installer's code pages 437 and 1252, built at compile time from their
// byte-to-character maps: the way back from UTF-16 is the inverse of the way
// in, so that the two directions cannot disagree. Below 0x80 both are ASCII;
// 1252 is the common library's table, 437 its published mapping.
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/text/cp1252_table.h"
#include "installer/code_page_tables.h"

namespace {

constexpr unsigned char kDefaultByte = '?';

// Code page 437 from byte 0x80 on.
constexpr uint16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// A code page by byte: the character it reads as, and whether that character
// converts back to it. The bytes 1252 leaves undefined read as the code point
// of their value and no character converts back to them.
struct ByteMap
{
    std::array<uint16_t, 256> anUnit{};
    std::array<bool, 256> abBack{};
};

constexpr ByteMap Map437()
{
    ByteMap m;
    for (int b = 0; b < 256; ++b) {
        m.anUnit[b] = static_cast<uint16_t>(b < 0x80 ? b : kCp437High[b - 0x80]);
        m.abBack[b] = true;
    }
    return m;
}

constexpr ByteMap Map1252()
{
    ByteMap m;
    for (int b = 0; b < 256; ++b) {
        const uint16_t high = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : 0;
        m.anUnit[b] = static_cast<uint16_t>(high != 0 ? high : b);
        m.abBack[b] = high != 0 || b < 0x80 || b >= 0xA0;
    }
    return m;
}

// The pages of the way back: the page of default bytes, then one per high
// byte of a character that converts back.
constexpr std::size_t CountPages(const ByteMap& m)
{
    std::array<bool, 256> used{};
    std::size_t n = 1;
    for (int b = 0; b < 256; ++b) {
        if (m.abBack[b] && !used[m.anUnit[b] >> 8]) {
            used[m.anUnit[b] >> 8] = true;
            ++n;
        }
    }
    return n;
}

template <std::size_t Pages>
struct Tables
{
    std::array<unsigned short, 256> anCp2Uni{};
    std::array<unsigned short, 256> anUni2CpHigh{};
    std::array<unsigned char, Pages * 256> abyUni2CpLow{};
};

template <std::size_t Pages>
constexpr Tables<Pages> Build(const ByteMap& m)
{
    Tables<Pages> t;
    t.abyUni2CpLow.fill(kDefaultByte);
    // Pages in the order of their high byte; a high byte without a page keeps
    // offset 0.
    unsigned short next = 256;
    for (int high = 0; high < 256; ++high) {
        for (int b = 0; b < 256; ++b) {
            if (m.abBack[b] && m.anUnit[b] >> 8 == high) {
                t.anUni2CpHigh[high] = next;
                next += 256;
                break;
            }
        }
    }
    for (int b = 0; b < 256; ++b) {
        t.anCp2Uni[b] = m.anUnit[b];
        if (m.abBack[b])
            t.abyUni2CpLow[t.anUni2CpHigh[m.anUnit[b] >> 8] + (m.anUnit[b] & 0xFF)] = static_cast<unsigned char>(b);
    }
    return t;
}

constexpr ByteMap k437 = Map437();
constexpr ByteMap k1252 = Map1252();
constexpr auto kTables437 = Build<CountPages(k437)>(k437);
constexpr auto kTables1252 = Build<CountPages(k1252)>(k1252);

}  // namespace

const cptable gstCpTable437 = {437, kDefaultByte, kTables437.anCp2Uni.data(), kTables437.anUni2CpHigh.data(),
                               kTables437.abyUni2CpLow.data()};
const cptable gstCpTable1252 = {1252, kDefaultByte, kTables1252.anCp2Uni.data(), kTables1252.anUni2CpHigh.data(),
                                kTables1252.abyUni2CpLow.data()};
