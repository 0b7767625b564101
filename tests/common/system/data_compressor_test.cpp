#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/data_compressor.h"

namespace {

using Bytes = std::vector<unsigned char>;
using DC = CDataCompressor;

// One pair of packed bytes carrying three digits.
Bytes Pair(int d1, int d2, int d3)
{
    const unsigned value = static_cast<unsigned>(d1 * 1600 + d2 * 40 + d3);
    return {static_cast<unsigned char>(value / 255 + 1), static_cast<unsigned char>(value % 255 + 1)};
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

unsigned char SetByte(int set, int index)
{
    return DC::s_pbyCharset(set)[index];
}

std::string Str(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

struct Unpacked
{
    int result;
    int length;
    std::string text;  // what the buffer holds up to the reported or bounded length
};

Unpacked Unpack(const Bytes& in, int capacity = 256)
{
    std::vector<unsigned char> out(capacity > 0 ? capacity : 1, 0xEE);
    int length = capacity;
    DC unpacker;
    const int result = unpacker.nDeCompress(out.data(), &length, in.data(), static_cast<int>(in.size()));
    const size_t shown = result == DC::nOk ? static_cast<size_t>(length) : 0;
    return {result, length, std::string(out.begin(), out.begin() + shown)};
}

// The digit rules: sets, shifts, switches, escapes, odd lengths.
TEST(DataCompressor, UnpacksDigitsShiftsAndEscapes)
{
    struct Case { const char* name; Bytes in; std::string text; };
    const Case cases[] = {
        {"empty input", {}, ""},
        {"single byte 9 is byte 0 of the active set", {9}, Str({SetByte(0, 0)})},
        {"switch 5 then two bytes of its set", Pair(5, 9, 10), Str({SetByte(1, 1), SetByte(1, 2)})},
        {"a shift reads one byte only", Pair(2, 8, 8), Str({SetByte(2, 0), SetByte(0, 0)})},
        {"a switch clears a pending shift", Pair(2, 5, 8), Str({SetByte(1, 0)})},
        {"a second shift replaces the first", Pair(1, 2, 9), Str({SetByte(2, 1)})},
        {"38 and 39 outside the escape state are bytes 30 and 31",
         Pair(38, 39, 8), Str({SetByte(0, 30), SetByte(0, 31), SetByte(0, 0)})},
        {"odd length: the last byte is one digit", Cat({Pair(5, 8, 9), {11}}),
         Str({SetByte(1, 0), SetByte(1, 1), SetByte(1, 2)})},
        {"escape 38 after a switch to set 3, the pair's last digit dropped",
         Cat({Pair(7, 38, 8), {0x01}, Pair(8, 4, 8)}), Str({0x01, SetByte(3, 0), SetByte(0, 0)})},
        {"escape 39 with a run of raw bytes, zero included",
         Cat({Pair(3, 39, 17), {3, 0x00, 0xFF, 0x41}, {9}}), Str({0x00, 0xFF, 0x41, SetByte(0, 0)})},
        {"escape 39 with count 0 moves on by 3 bytes", Cat({Pair(7, 39, 0), {0}, {10}}), Str({SetByte(3, 1)})},
        {"an escape uses up the shift that led to it",
         Cat({Pair(3, 38, 0), {'x'}, Pair(9, 8, 8)}), Str({'x', SetByte(0, 1), SetByte(0, 0), SetByte(0, 0)})},
        {"in set 3 a shift to another set is no escape state",
         Pair(7, 0, 38), Str({SetByte(0, 30)})},
        {"a shift to set 3 from set 3 reaches its last bytes", Pair(7, 3, 39), Str({SetByte(3, 31)})},
    };
    for (const Case& c : cases) {
        const Unpacked u = Unpack(c.in);
        EXPECT_EQ(DC::nOk, u.result) << c.name;
        EXPECT_EQ(static_cast<int>(c.text.size()), u.length) << c.name;
        EXPECT_EQ(c.text, u.text) << c.name;
    }
}

TEST(DataCompressor, CorruptInputFailsWithoutOverrun)
{
    struct Case { const char* name; Bytes in; int result; };
    const Case cases[] = {
        {"zero first byte of a pair", {0, 5}, DC::nCorrupt},
        {"zero second byte of a pair", Cat({Pair(8, 8, 8), {7, 0}}), DC::nCorrupt},
        // 251 * 255 + 0 = 64005: first digit 40, past every 32-byte set.
        {"first digit 40", {252, 1}, DC::nCorrupt},
        {"largest pair", {255, 255}, DC::nCorrupt},
        {"last byte 0 reads as digit 255", Cat({Pair(8, 8, 8), {0}}), DC::nCorrupt},
        {"last byte 41 reads as digit 40", {41}, DC::nCorrupt},
        {"escape 38 without its byte", Pair(7, 38, 0), DC::nEscapeOverrun},
        {"escape 39 without its count", Pair(3, 39, 0), DC::nEscapeOverrun},
        {"escape 39 with a short run", Cat({Pair(3, 39, 0), {5, 'a', 'b'}}), DC::nEscapeOverrun},
        {"escape as the lone last digit", Cat({Pair(8, 8, 7), {39}}), DC::nEscapeOverrun},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> out(8, 0xEE);
        int capacity = 8;
        DC unpacker;
        EXPECT_EQ(c.result, unpacker.nDeCompress(out.data(), &capacity, c.in.data(), static_cast<int>(c.in.size())))
            << c.name;
        EXPECT_EQ(-1, capacity) << c.name;
        EXPECT_NE(out.end(), std::find(out.begin(), out.end(), 0)) << c.name << ": left unterminated";
    }
    DC unpacker;
    int capacity = 8;
    unsigned char out[8];
    EXPECT_EQ(DC::nCorrupt, unpacker.nDeCompress(out, &capacity, nullptr, 4));
    capacity = 8;
    EXPECT_EQ(DC::nCorrupt, unpacker.nDeCompress(out, &capacity, out, -1));
}

// A 40-character text: every pair carries three characters of set 0.
Bytes FortyCharacters()
{
    Bytes in;
    for (int i = 0; i < 13; ++i) {
        const Bytes pair = Pair(8 + i % 30, 9 + i % 30, 10 + i % 30);
        in.insert(in.end(), pair.begin(), pair.end());
    }
    in.push_back(static_cast<unsigned char>(8 + 1));  // the 40th
    return in;
}

TEST(DataCompressor, ShortBufferKeepsMeasuring)
{
    const Bytes in = FortyCharacters();
    const Unpacked full = Unpack(in, 64);
    ASSERT_EQ(DC::nOk, full.result);
    ASSERT_EQ(40, full.length);

    struct Case { int capacity; int result; int kept; };
    const Case cases[] = {{10, DC::nTruncated, 9}, {1, DC::nTruncated, 0}, {40, DC::nTruncated, 39},
                          {41, DC::nOk, 40}};
    for (const Case& c : cases) {
        std::vector<unsigned char> out(c.capacity + 4, 0xEE);
        int capacity = c.capacity;
        DC unpacker;
        EXPECT_EQ(c.result, unpacker.nDeCompress(out.data(), &capacity, in.data(), static_cast<int>(in.size())));
        EXPECT_EQ(40, capacity) << "capacity " << c.capacity;
        EXPECT_EQ(0, out[c.kept]) << "capacity " << c.capacity;
        EXPECT_EQ(0, std::memcmp(out.data(), full.text.data(), c.kept)) << "capacity " << c.capacity;
        for (size_t i = c.capacity; i < out.size(); ++i)
            EXPECT_EQ(0xEE, out[i]) << "capacity " << c.capacity << " wrote past the buffer at " << i;
    }
}

TEST(DataCompressor, NoRoomWritesNothingAndReportsTheLength)
{
    const Bytes in = FortyCharacters();
    struct Case { bool nullBuffer; int capacity; };
    const Case cases[] = {{false, 0}, {false, -5}, {true, 10}, {true, 0}};
    for (const Case& c : cases) {
        unsigned char guard[16];
        std::memset(guard, 0xEE, sizeof guard);
        int capacity = c.capacity;
        DC unpacker;
        EXPECT_EQ(DC::nTruncated, unpacker.nDeCompress(c.nullBuffer ? nullptr : guard + 8, &capacity, in.data(),
                                                       static_cast<int>(in.size())));
        EXPECT_EQ(40, capacity);
        for (unsigned char b : guard)
            EXPECT_EQ(0xEE, b);
    }
    // Even an empty text needs room for its terminator.
    int capacity = 0;
    DC unpacker;
    EXPECT_EQ(DC::nTruncated, unpacker.nDeCompress(nullptr, &capacity, nullptr, 0));
    EXPECT_EQ(0, capacity);
}

TEST(DataCompressor, PackingSideMaps)
{
    EXPECT_EQ(-1, DC::_nGetCharset(8));
    EXPECT_EQ(-1, DC::_nGetCharset(-1));
    EXPECT_EQ(8, DC::_nGetCharsetSwitch(4));
    EXPECT_EQ(8, DC::_nGetCharsetSwitch(-1));
    for (int set = 0; set < DC::nCharsetCount; ++set) {
        // A shift digit and a switch digit lead to every set.
        EXPECT_EQ(set, DC::_nGetCharset(DC::_nGetCharsetSwitch(set)));
        EXPECT_EQ(set, DC::_nGetCharset(DC::_nGetCharsetSwitch(set) + 4));
    }
    // The search by halves finds exactly the reachable bytes of each set, at
    // their place.
    for (int set = 0; set < DC::nCharsetCount; ++set) {
        const int reachable = set == DC::nEscapeCharset ? DC::nCharsetUsable3 : DC::nCharsetSize;
        for (int byte = 0; byte < 256; ++byte) {
            int expected = -1;
            for (int i = 0; i < reachable; ++i)
                if (SetByte(set, i) == byte)
                    expected = i + DC::nDigitFirstChar;
            EXPECT_EQ(expected, DC::_nGetValue(static_cast<unsigned char>(byte), set)) << set << "/" << byte;
        }
    }
    EXPECT_EQ(-1, DC::_nGetValue('a', 4));
}

}  // namespace
