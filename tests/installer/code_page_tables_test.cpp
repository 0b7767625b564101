#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "installer/code_page_tables.h"

namespace {

TEST(CodePageTables, PublishedMappings)
{
    struct Case
    {
        const cptable* table;
        unsigned char byte;
        unsigned short unit;
    };
    const Case cases[] = {
        {&gstCpTable437, 0x81, 0x00FC},  // ü
        {&gstCpTable437, 0x9C, 0x00A3},  // £
        {&gstCpTable437, 0xB0, 0x2591},  // light shade
        {&gstCpTable437, 0xE1, 0x00DF},  // ß
        {&gstCpTable437, 0xFF, 0x00A0},
        {&gstCpTable437, 0x41, 0x0041},
        {&gstCpTable1252, 0x80, 0x20AC},  // €
        {&gstCpTable1252, 0x9F, 0x0178},
        {&gstCpTable1252, 0xE9, 0x00E9},
        {&gstCpTable1252, 0x81, 0x0081},  // undefined: its own value
    };
    for (const Case& c : cases) {
        unsigned short unit = 0;
        const char byte = static_cast<char>(c.byte);
        EXPECT_EQ(cp_mbstowcs(c.table, 0, &byte, 1, &unit, 1), 1);
        EXPECT_EQ(unit, c.unit) << c.table->nCodePage << " " << int(c.byte);
        if (c.table == &gstCpTable1252 && c.byte == 0x81)
            continue;
        char back = 0;
        EXPECT_EQ(cp_wcstombs(c.table, 0, &c.unit, 1, &back, 1, nullptr, nullptr), 1);
        EXPECT_EQ(static_cast<unsigned char>(back), c.byte);
    }
}

// The way back is the inverse of the way in over every byte and every unit:
// a unit converts to a byte only when that byte reads as it, and every byte
// but the five 1252 leaves undefined is reached.
TEST(CodePageTables, WayBackIsTheInverse)
{
    for (const cptable* table : {&gstCpTable437, &gstCpTable1252}) {
        int reached[256] = {};
        for (unsigned u = 0; u <= 0xFFFF; ++u) {
            const unsigned short unit = static_cast<unsigned short>(u);
            char byte = 0;
            int used = 0;
            ASSERT_EQ(cp_wcstombs(table, 0, &unit, 1, &byte, 1, nullptr, &used), 1);
            const unsigned char b = static_cast<unsigned char>(byte);
            if (used == 0) {
                ASSERT_EQ(table->pCp2Uni[b], unit) << table->nCodePage << " " << u;
                ++reached[b];
            } else {
                ASSERT_EQ(b, '?') << table->nCodePage << " " << u;
            }
        }
        for (int b = 0; b < 256; ++b) {
            const bool undefined = table == &gstCpTable1252 &&
                                   (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D);
            EXPECT_EQ(reached[b], undefined ? 0 : 1) << table->nCodePage << " " << b;
        }
    }
}

TEST(CodePageTables, CountingAndDefaults)
{
    const unsigned short units[] = {L'a', 0x20AC, 0x4E2D, 0x0081};
    char out[8] = {};
    int used = 0;
    EXPECT_EQ(cp_wcstombs(&gstCpTable1252, 0, units, 4, out, 3, nullptr, &used), -1);
    EXPECT_EQ(used, 0);
    EXPECT_EQ(cp_wcstombs(&gstCpTable1252, 0, units, 4, out, 8, "#", &used), 4);
    EXPECT_EQ(std::memcmp(out, "a\x80##", 4), 0);
    EXPECT_EQ(used, 1);
    used = 0;
    EXPECT_EQ(cp_wcstombs(&gstCpTable437, 0, units, 2, out, 8, nullptr, &used), 2);
    EXPECT_EQ(std::memcmp(out, "a?", 2), 0);
    EXPECT_EQ(used, 1);
}

TEST(CodePageTables, WindowsStyleCalls)
{
    unsigned short units[8];
    // -1 counts the terminator; size 0 asks for the count; code page 1 is 437.
    EXPECT_EQ(MultiByteToWideCharWin(1, 0, "\x81z", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideCharWin(1, 0, "\x81z", -1, units, 8), 3);
    EXPECT_EQ(units[0], 0x00FC);
    EXPECT_EQ(units[2], 0);
    EXPECT_EQ(MultiByteToWideCharWin(1252, 0, "\x81z", -1, units, 2), 0);  // too small
    char bytes[8];
    EXPECT_EQ(WideCharToMultiByteWin(0, 0, units, -1, bytes, 8, nullptr, nullptr), 3);
    EXPECT_EQ(std::memcmp(bytes, "\xFCz", 3), 0);
    errno = 0;
    EXPECT_EQ(WideCharToMultiByteWin(0, 0, nullptr, 1, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(errno, -1);
}

TEST(CodePageTables, OemAndAnsiBuffers)
{
    char text[] = "caf\xE9 \x80";
    char oem[sizeof text];
    EXPECT_EQ(CharToOemBuffA(text, oem, sizeof text - 1), 1);
    EXPECT_EQ(std::memcmp(oem, "caf\x82 ?", sizeof text - 1), 0);  // é is 0x82; € has no OEM byte
    EXPECT_EQ(OemToCharBuffA(oem, oem, 4), 1);                   // in place
    EXPECT_EQ(std::memcmp(oem, "caf\xE9", 4), 0);
}

}  // namespace
