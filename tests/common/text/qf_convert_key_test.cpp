// Keys of raw item data: exact bytes, widths and the bounds of what is read
// and written.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/convert_key.h"
#include "common/text/date_time_base.h"
#include "common/text/money.h"
#include "common/text/qf_convert_key.h"

namespace {

using Bytes = std::vector<unsigned char>;

template <class T>
Bytes Key(eITEMTYPE type, T value, unsigned long width = sizeof(T))
{
    Bytes key(width, 0xEE);
    const int n = CQFConvertKey::__nConvertKey(key.data(), width, &value, sizeof value, type, 0, 0, 0, 0, 0);
    EXPECT_EQ(static_cast<int>(width), n);
    return key;
}

TEST(QFConvertKey, FixedWidthEncodings)
{
    EXPECT_EQ((Bytes{0x7F, 0xFF, 0xFF, 0xFF}), Key(QFIT_I4, int32_t{-1}));
    EXPECT_EQ((Bytes{0x80, 0x00, 0x00, 0x00}), Key(QFIT_I4, int32_t{0}));
    EXPECT_EQ((Bytes{0x80, 0x00, 0x00, 0x01}), Key(QFIT_I4, int32_t{1}));
    EXPECT_EQ((Bytes{0x00, 0x00}), Key(QFIT_I2, int16_t{-32768}));
    EXPECT_EQ((Bytes{0x7F}), Key(QFIT_I1, int8_t{-1}));
    EXPECT_EQ((Bytes{0x81}), Key(QFIT_BOOL, uint8_t{1}));
    EXPECT_EQ((Bytes{0xFE}), Key(QFIT_UI1, uint8_t{0xFE}));
    EXPECT_EQ((Bytes{0x12, 0x34}), Key(QFIT_UI2, uint16_t{0x1234}));
    EXPECT_EQ((Bytes{0x01, 0x02, 0x03, 0x04}), Key(QFIT_UI4, uint32_t{0x01020304}));
    EXPECT_EQ((Bytes{0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}), Key(QFIT_I8, int64_t{-2}));
    EXPECT_EQ((Bytes{0x80, 0, 0, 0, 0, 0, 0, 5}), Key(QFIT_DUREE, int64_t{5}));
    EXPECT_EQ((Bytes{0xFF, 0, 0, 0, 0, 0, 0, 1}), Key(QFIT_UI8, uint64_t{0xFF00000000000001}));

    EXPECT_EQ((Bytes{0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), Key(QFIT_R8, -1.0));
    EXPECT_EQ((Bytes{0xBF, 0xF0, 0, 0, 0, 0, 0, 0}), Key(QFIT_R8, 1.0));
    EXPECT_EQ((Bytes{0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), Key(QFIT_R8, -0.0));
    EXPECT_EQ((Bytes{0x80, 0, 0, 0, 0, 0, 0, 0}), Key(QFIT_R8, 0.0));
    EXPECT_EQ((Bytes{0xBF, 0x80, 0x00, 0x00}), Key(QFIT_R4, 1.0f));
    EXPECT_EQ((Bytes{0x40, 0x7F, 0xFF, 0xFF}), Key(QFIT_R4, -1.0f));

    CMoney zero{}, lo, hi;
    SetMonetaireToMin(&lo);
    SetMonetaireToMax(&hi);
    EXPECT_EQ((Bytes{0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Key(QFIT_CY, zero));
    EXPECT_EQ(Bytes(10, 0x00), Key(QFIT_CY, lo));
    EXPECT_EQ(Bytes(10, 0xFF), Key(QFIT_CY, hi));

    CDateTimeBase dt;
    dt.Set(2024, 12, 25, 10, 0, 0, 0);
    EXPECT_EQ((Bytes{0x07, 0xE8, 0x0C, 0x19, 0x02, 0x25, 0x51, 0x00}), Key(QFIT_DATETIME, dt));
}

TEST(QFConvertKey, ShortDataOrKeyWritesNothing)
{
    const int32_t v = 7;
    Bytes key(8, 0xEE);
    // Two data bytes for a 4-byte type; a key of 3 bytes for it.
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 8, &v, 2, QFIT_I4, 0, 0, 0, 0, 0));
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 3, &v, 4, QFIT_I4, 0, 0, 0, 0, 0));
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 8, nullptr, 4, QFIT_I4, 0, 0, 0, 0, 0));
    // Types without a key of their own.
    for (int type : {0, 13, 23, -1})
        EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 8, &v, 4, static_cast<eITEMTYPE>(type), 0, 0, 0, 0, 0));
    EXPECT_EQ(Bytes(8, 0xEE), key);
}

TEST(QFConvertKey, Widths)
{
    const struct
    {
        int type;
        unsigned long n, width;
    } items[] = {
        {QFIT_TEXTE, 10, 11}, {QFIT_TEXTE_FIXE, 10, 11}, {QFIT_I4, 4, 4},       {QFIT_BIN, 6, 12},
        {QFIT_UNICODE, 6, 14}, {QFIT_UNICODE_DYN, 6, 14}, {QFIT_DECIMAL, 5, 32}, {QFIT_AUCUN, 9, 9},
        {QFIT_SANS_CLE, 9, 9},
    };
    for (const auto& i : items)
        EXPECT_EQ(i.width, CQFConvertKey::nCalculateKeySize(static_cast<eITEMTYPE>(i.type), i.n)) << i.type;
    const struct
    {
        unsigned short runtime;
        int item;
    } runtimes[] = {
        {1, 19},  {2, 8},   {3, 9},   {4, 10},  {5, 11},  {6, 2},    {7, 3},   {8, 4},   {9, 5},
        {10, 14}, {11, 6},  {12, 7},  {13, 22}, {14, 4},  {15, 4},   {16, 21}, {17, 18}, {18, 1},
        {19, 1},  {20, 4},  {21, 1},  {24, 1},  {25, 1},  {26, 15},  {27, 16}, {28, 17}, {29, 13},
        {30, 4},  {110, 20}, {111, 4}, {128, 1}, {129, 1}, {0, 4},    {130, 4}, {300, 4},
    };
    for (const auto& r : runtimes)
        EXPECT_EQ(r.item, CConvertKey::s_nGetItemType(r.runtime)) << r.runtime;
    EXPECT_EQ(14u, CQFConvertKey::nCalculateKeySize(static_cast<unsigned short>(16), 6));
    EXPECT_EQ(7u, CQFConvertKey::nCalculateKeySize(static_cast<unsigned short>(128), 6));
}

TEST(QFConvertKey, EightBitText)
{
    struct Case
    {
        std::string data;  // with its terminator
        unsigned long width;
        Bytes key;
        int result;
    } cases[] = {
        {std::string("AB", 3), 5, {0x41, 0x42, 0, 0, 0}, 3},
        {std::string("ABCDEF", 7), 4, {0x41, 0x42, 0x43, 0}, 4},
        {std::string("A\xFF", 3), 4, {0x41, 0xFF, 0, 0}, 3},
        {std::string("AB", 3), 1, {0}, 1},
    };
    for (const Case& c : cases) {
        Bytes key(c.width, 0xEE);
        EXPECT_EQ(c.result, CQFConvertKey::__nConvertKey(key.data(), c.width, c.data.data(), c.data.size(),
                                                         QFIT_TEXTE, 0, 0, 0, 0, 0));
        EXPECT_EQ(c.key, key) << c.data;
    }
    Bytes key(4, 0xEE);
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 4, "", 0, QFIT_TEXTE, 0, 0, 0, 0, 0));
    EXPECT_EQ(Bytes(4, 0xEE), key);
}

TEST(QFConvertKey, BinaryInHexadecimal)
{
    const unsigned char data[] = {0x01, 0xAB};
    Bytes key(8, 0xEE);
    EXPECT_EQ(4, CQFConvertKey::__nConvertKey(key.data(), 8, data, 2, QFIT_BIN, 0, 0, 0, 0, 0));
    EXPECT_EQ((Bytes{'0', '1', 'a', 'b', '0', '0', '0', '0'}), key);
    // A key too short for every byte takes what fits, two characters a byte.
    Bytes shortKey(3, 0xEE);
    EXPECT_EQ(2, CQFConvertKey::__nConvertKey(shortKey.data(), 3, data, 2, QFIT_BIN, 0, 0, 0, 0, 0));
    EXPECT_EQ((Bytes{'0', '1', '0'}), shortKey);
}

Bytes Units(const std::u16string& s)
{
    Bytes b((s.size() + 1) * 2, 0);
    std::memcpy(b.data(), s.c_str(), b.size());
    return b;
}

TEST(QFConvertKey, WideText)
{
    // 16-bit units with the sort weights: a, A, b.
    std::vector<Bytes> keys;
    for (const char16_t* s : {u"b", u"A", u"a"}) {
        const Bytes data = Units(s);
        Bytes key(6, 0xEE);
        CQFConvertKey::__nConvertKey(key.data(), 6, data.data(), data.size(), QFIT_UNICODE, QFKEY_POIDS_UNICODE, 0,
                                     0, 0, 0);
        EXPECT_EQ(0, key[4]);
        EXPECT_EQ(0, key[5]);
        keys.push_back(key);
    }
    EXPECT_LT(keys[2], keys[1]);
    EXPECT_LT(keys[1], keys[0]);

    // 32-bit characters narrowed to UTF-16, units high byte first; a
    // character above U+FFFF takes a surrogate pair, never cut in half.
    struct Case
    {
        std::wstring text;
        unsigned long width;
        Bytes key;
        int result;
    } cases[] = {
        {L"ab", 8, {0, 'a', 0, 'b', 0, 0, 0, 0}, 6},
        {L"abcd", 6, {0, 'a', 0, 'b', 0, 0}, 6},
        {L"\U0001F600", 8, {0xD8, 0x3D, 0xDE, 0x00, 0, 0, 0, 0}, 6},
        {L"a\U0001F600", 6, {0, 'a', 0, 0, 0, 0}, 6},
        {L"\u0100", 4, {0x01, 0x00, 0, 0}, 4},
    };
    for (const Case& c : cases) {
        Bytes key(c.width, 0xEE);
        const size_t size = (c.text.size() + 1) * sizeof(wchar_t);
        EXPECT_EQ(c.result, CQFConvertKey::__nConvertKey(key.data(), c.width, c.text.c_str(), size, QFIT_UNICODE_DYN,
                                                         QFKEY_UNITES_BIG_ENDIAN, 0, 0, 0, QFKEY_TEXTE_32));
        EXPECT_EQ(c.key, key);
    }
}

TEST(QFConvertKey, InvertCoversTheWholeLength)
{
    Bytes key{0x41, 0x42, 0, 0, 0, 0x0F};
    CConvertKey::__InvertKey(key.data(), 5);
    EXPECT_EQ((Bytes{0xBE, 0xBD, 0xFF, 0xFF, 0xFF, 0x0F}), key);
}

}  // namespace
