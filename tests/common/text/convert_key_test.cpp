// Keys of runtime values: for each type, memcmp of the keys orders values as
// the values themselves, ascending and descending, NULL with the initial
// value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "common/text/convert_key.h"
#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"
#include "common/text/money.h"
#include "tests/common/text/xy_string_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ConvertKey : public vxtest::StrMemTest
{
};

Bytes KeyOf(const CAny& v, unsigned short type, unsigned long width, unsigned short options = 0x2800)
{
    Bytes key(width, 0xEE);
    unsigned char* p = key.data();
    CConvertKey::__nConvertTypedKey(&v, &p, width, type, options, 0, 0);
    return key;
}

Bytes InitialKey(unsigned short type, unsigned long width, unsigned short options = 0x2800)
{
    Bytes key(width, 0xEE);
    unsigned char* p = key.data();
    CConvertKey::__nConvertInitialKey(&p, width, type, options, 0, 0);
    return key;
}

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

// Every pair of values compares by key as by value, and the other way round
// with the descending option.
template <class V>
void CheckOrder(unsigned short type, unsigned long n, const std::vector<V>& values,
                const std::function<void(CAny&, const V&)>& set, const std::function<int(const V&, const V&)>& cmp)
{
    const unsigned long width = CQFConvertKey::nCalculateKeySize(type, n);
    std::vector<Bytes> up, down;
    for (const V& value : values) {
        CAny v;
        set(v, value);
        ASSERT_EQ(type, v.nGetTypeCode());
        up.push_back(KeyOf(v, type, width));
        down.push_back(KeyOf(v, type, width, 0x2800 | QFKEY_DESCENDANT));
    }
    for (size_t i = 0; i < values.size(); ++i) {
        for (size_t j = 0; j < values.size(); ++j) {
            const int expected = Sign(cmp(values[i], values[j]));
            ASSERT_EQ(expected, Sign(std::memcmp(up[i].data(), up[j].data(), width)))
                << "type " << type << ", values " << i << " and " << j;
            ASSERT_EQ(-expected, Sign(std::memcmp(down[i].data(), down[j].data(), width)))
                << "type " << type << ", values " << i << " and " << j;
        }
    }
}

template <class T>
int Cmp(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

template <class T>
std::vector<T> RandomIntegers(std::mt19937_64& rng, size_t n)
{
    std::vector<T> v{0, 1, static_cast<T>(-1), std::numeric_limits<T>::min(), std::numeric_limits<T>::max()};
    while (v.size() < n)
        v.push_back(static_cast<T>(rng()));
    return v;
}

TEST_F(ConvertKey, NumbersKeepTheirOrder)
{
    std::mt19937_64 rng(20240101);
    CheckOrder<bool>(ZLTYPE_BOOL, 1, {false, true}, [](CAny& v, const bool& b) { v.SetBOOL(b); }, Cmp<bool>);
    CheckOrder<uint8_t>(ZLTYPE_UI1, 1, RandomIntegers<uint8_t>(rng, 40),
                        [](CAny& v, const uint8_t& n) { v.SetUI1(n); }, Cmp<uint8_t>);
    CheckOrder<uint16_t>(ZLTYPE_UI2, 2, RandomIntegers<uint16_t>(rng, 40),
                         [](CAny& v, const uint16_t& n) { v.SetUI2(n); }, Cmp<uint16_t>);
    CheckOrder<uint32_t>(ZLTYPE_UI4, 4, RandomIntegers<uint32_t>(rng, 40),
                         [](CAny& v, const uint32_t& n) { v.SetUI4(n); }, Cmp<uint32_t>);
    CheckOrder<uint64_t>(ZLTYPE_UI8, 8, RandomIntegers<uint64_t>(rng, 40),
                         [](CAny& v, const uint64_t& n) { v.SetUI8(n); }, Cmp<uint64_t>);
    CheckOrder<int8_t>(ZLTYPE_I1, 1, RandomIntegers<int8_t>(rng, 40),
                       [](CAny& v, const int8_t& n) { v.SetI1(static_cast<char>(n)); }, Cmp<int8_t>);
    CheckOrder<int16_t>(ZLTYPE_I2, 2, RandomIntegers<int16_t>(rng, 40),
                        [](CAny& v, const int16_t& n) { v.SetI2(n); }, Cmp<int16_t>);
    CheckOrder<int32_t>(ZLTYPE_I4, 4, RandomIntegers<int32_t>(rng, 40),
                        [](CAny& v, const int32_t& n) { v.SetI4(n); }, Cmp<int32_t>);
    CheckOrder<int64_t>(ZLTYPE_I8, 8, RandomIntegers<int64_t>(rng, 40),
                        [](CAny& v, const int64_t& n) { v.SetI8(n); }, Cmp<int64_t>);

    std::vector<double> reals{0.0, 1.0, -1.0, 0.5, -0.5, 1e300, -1e300, 1e-300, -1e-300, 3.25, -3.25};
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    while (reals.size() < 40)
        reals.push_back(dist(rng));
    CheckOrder<double>(ZLTYPE_R8, 8, reals, [](CAny& v, const double& d) { v.SetR8(d); }, Cmp<double>);
    std::vector<float> floats;
    for (double d : reals)
        if (std::abs(d) < 1e30 && (d == 0 || std::abs(d) > 1e-30))
            floats.push_back(static_cast<float>(d));
    CheckOrder<float>(ZLTYPE_R4, 4, floats, [](CAny& v, const float& d) { v.SetR4(d); }, Cmp<float>);

    // Currency: millionths in 80 bits, sign-extended from 64.
    std::vector<int64_t> millionths = RandomIntegers<int64_t>(rng, 40);
    CheckOrder<int64_t>(ZLTYPE_CY, 10, millionths,
                        [](CAny& v, const int64_t& n) {
                            CMoney m;
                            std::memcpy(m.m_awMot, &n, 8);
                            m.m_awMot[4] = n < 0 ? 0xFFFF : 0;
                            v.SetCY(m);
                        },
                        Cmp<int64_t>);
    CheckOrder<int64_t>(ZLTYPE_DUREE, 8, millionths,
                        [](CAny& v, const int64_t& n) {
                            CDureeBase d;
                            d.m_llDuree = n;
                            v.SetDUREE(&d);
                        },
                        Cmp<int64_t>);
}

TEST_F(ConvertKey, DatesKeepTheirOrder)
{
    std::mt19937_64 rng(7);
    struct Date
    {
        int y, m, d, ms;
    };
    std::vector<Date> dates{{0, 0, 0, 0}, {1, 1, 1, 0}, {9999, 12, 31, 86399999}, {2024, 12, 25, 36000000}};
    while (dates.size() < 50)
        dates.push_back({static_cast<int>(rng() % 9999 + 1), static_cast<int>(rng() % 12 + 1),
                         static_cast<int>(rng() % 28 + 1), static_cast<int>(rng() % 86400000)});
    auto cmp = [](const Date& a, const Date& b) {
        const long long x = ((a.y * 100LL + a.m) * 100 + a.d) * 100000000LL + a.ms;
        const long long y = ((b.y * 100LL + b.m) * 100 + b.d) * 100000000LL + b.ms;
        return Cmp(x, y);
    };
    CheckOrder<Date>(ZLTYPE_DATETIME, 8, dates,
                     [](CAny& v, const Date& d) {
                         CDateTimeBase dt;
                         dt.Set(d.y, d.m, d.d, 0, 0, 0, 0);
                         dt.m_dwMilli = static_cast<uint32_t>(d.ms);
                         v.SetDATETIME(dt);
                     },
                     cmp);

    // Digit texts, 8-bit and wide, key as their digits.
    std::vector<std::string> texts{"", "00010101", "99991231"};
    while (texts.size() < 40) {
        char t[16];
        std::snprintf(t, sizeof t, "%04d%02d%02d", static_cast<int>(rng() % 9999 + 1),
                      static_cast<int>(rng() % 12 + 1), static_cast<int>(rng() % 28 + 1));
        texts.push_back(t);
    }
    auto cmpText = [](const std::string& a, const std::string& b) { return Cmp(a, b); };
    CheckOrder<std::string>(ZLTYPE_DATEA, 8, texts, [](CAny& v, const std::string& s) { v.SetDATEA(s.c_str()); },
                            cmpText);
    CheckOrder<std::string>(ZLTYPE_DATEW, 8, texts,
                            [](CAny& v, const std::string& s) {
                                v.SetDATEW(std::wstring(s.begin(), s.end()).c_str());
                            },
                            cmpText);
    std::vector<std::string> times{"000000000", "235959999", "120000000", "000000001"};
    while (times.size() < 40) {
        char t[16];
        std::snprintf(t, sizeof t, "%02d%02d%02d%03d", static_cast<int>(rng() % 24), static_cast<int>(rng() % 60),
                      static_cast<int>(rng() % 60), static_cast<int>(rng() % 1000));
        times.push_back(t);
    }
    CheckOrder<std::string>(ZLTYPE_TIMEA, 9, times, [](CAny& v, const std::string& s) { v.SetTIMEA(s.c_str()); },
                            cmpText);
    CheckOrder<std::string>(ZLTYPE_TIMEW, 9, times,
                            [](CAny& v, const std::string& s) {
                                v.SetTIMEW(std::wstring(s.begin(), s.end()).c_str());
                            },
                            cmpText);
}

// Wide texts: by their UTF-16 units, so also beyond Latin and beyond the
// first four characters of a column.
TEST_F(ConvertKey, TextsKeepTheirOrder)
{
    std::mt19937_64 rng(99);
    const std::u32string alphabet = U"aAbzZ09 -\u00E9\u00C9\u0100\u0416\u4E2D\uFFFD\U0001F600";
    const unsigned long n = 6;  // column characters
    std::vector<std::u32string> texts{U"", U"abcd", U"abcz", U"abcdef", U"\u0100", U"a"};
    auto units = [](const std::u32string& s) {
        std::u16string u;
        for (char32_t c : s) {
            if (c > 0xFFFF) {
                u += static_cast<char16_t>(0xD800 | ((c - 0x10000) >> 10));
                u += static_cast<char16_t>(0xDC00 | ((c - 0x10000) & 0x3FF));
            } else {
                u += static_cast<char16_t>(c);
            }
        }
        return u;
    };
    while (texts.size() < 60) {
        std::u32string s;
        const size_t len = rng() % (n + 1);
        for (size_t i = 0; i < len && units(s).size() + 2 <= n; ++i)
            s += alphabet[rng() % alphabet.size()];
        texts.push_back(s);
    }
    auto cmp = [&](const std::u32string& a, const std::u32string& b) { return Cmp(units(a), units(b)); };
    auto wide = [](const std::u32string& s) { return std::wstring(s.begin(), s.end()); };
    CheckOrder<std::u32string>(ZLTYPE_DSTRW, n, texts,
                               [&](CAny& v, const std::u32string& s) {
                                   v.__SetType(ZLTYPE_DSTRW, 0);
                                   const std::wstring w = wide(s);
                                   v.Objet().SetValue(w.c_str(), w.size() * sizeof(wchar_t));
                               },
                               cmp);
    CheckOrder<std::u32string>(ZLTYPE_PSTRW, n, texts,
                               [&](CAny& v, const std::u32string& s) {
                                   v.__SetType(ZLTYPE_PSTRW, 0);
                                   v.Objet().SetValue(wide(s).c_str());
                               },
                               cmp);

    std::vector<std::string> narrow{"", "abcd", "abcz", "AB", "AB ", "\xE9t\xE9", "\xFF", "zzzzzz"};
    while (narrow.size() < 60) {
        std::string s;
        const size_t len = rng() % (n + 1);
        for (size_t i = 0; i < len; ++i)
            s += static_cast<char>(rng() % 255 + 1);
        narrow.push_back(s);
    }
    auto cmpNarrow = [](const std::string& a, const std::string& b) {
        return Sign(std::memcmp(a.c_str(), b.c_str(), std::min(a.size(), b.size()) + 1));
    };
    CheckOrder<std::string>(ZLTYPE_DSTRA, n, narrow,
                            [](CAny& v, const std::string& s) {
                                v.__SetType(ZLTYPE_DSTRA, 0);
                                v.Objet().SetValue(s.c_str(), s.size());
                            },
                            cmpNarrow);
    CheckOrder<std::string>(ZLTYPE_PSTRA, n, narrow,
                            [](CAny& v, const std::string& s) {
                                v.__SetType(ZLTYPE_PSTRA, 0);
                                v.Objet().SetValue(s.c_str());
                            },
                            cmpNarrow);

    // Binary values compare as if padded with zero bytes.
    std::vector<Bytes> bins{{}, {0x00}, {0x01, 0xAB}, {0xFF, 0xFF, 0xFF, 0xFF}, {0x10}};
    while (bins.size() < 40) {
        Bytes b(rng() % 5);
        for (unsigned char& c : b)
            c = static_cast<unsigned char>(rng());
        bins.push_back(b);
    }
    auto cmpBin = [](const Bytes& a, const Bytes& b) {
        Bytes x = a, y = b;
        x.resize(4, 0);
        y.resize(4, 0);
        return Cmp(x, y);
    };
    CheckOrder<Bytes>(ZLTYPE_BIN, 4, bins, [](CAny& v, const Bytes& b) { v.SetBIN(b.data(), b.size()); }, cmpBin);
}

TEST_F(ConvertKey, WideTextBytesAndNullKeys)
{
    // "ab" in a column of 6 characters: UTF-16 units high byte first.
    CAny v;
    v.__SetType(ZLTYPE_DSTRW, 0);
    v.Objet().SetValue(L"ab", 2 * sizeof(wchar_t));
    EXPECT_EQ((Bytes{0, 0x61, 0, 0x62, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), KeyOf(v, ZLTYPE_DSTRW, 14));

    // NULL keys as the type's initial value: zero, the empty text, the empty
    // date; and a reused buffer keeps nothing of its earlier key.
    struct Case
    {
        unsigned short type;
        unsigned long width;
        std::function<void(CAny&)> set;
    } cases[] = {
        {ZLTYPE_I4, 4, [](CAny& x) { x.SetI4(0); }},
        {ZLTYPE_R8, 8, [](CAny& x) { x.SetR8(0.0); }},
        {ZLTYPE_DATETIME, 8,
         [](CAny& x) {
             CDateTimeBase dt;
             dt.InitDate();
             x.SetDATETIME(dt);
         }},
        {ZLTYPE_DSTRW, 14, [](CAny& x) { x.__SetType(ZLTYPE_DSTRW, 0); }},
        {ZLTYPE_PSTRW, 14, [](CAny& x) { x.__SetType(ZLTYPE_PSTRW, 0); }},
        {ZLTYPE_DSTRA, 7, [](CAny& x) { x.__SetType(ZLTYPE_DSTRA, 0); }},
        {ZLTYPE_DATEA, 9, [](CAny& x) { x.SetDATEA(""); }},
        {ZLTYPE_BIN, 8, [](CAny& x) { x.SetBIN(nullptr, 0); }},
        {ZLTYPE_BUFFER, 4, [](CAny& x) { x.__SetType(ZLTYPE_BUFFER, 0); }},
    };
    for (const Case& c : cases) {
        CAny zero;
        c.set(zero);
        const Bytes expected = KeyOf(zero, c.type, c.width);
        EXPECT_EQ(expected, InitialKey(c.type, c.width)) << c.type;
        EXPECT_EQ(std::find(expected.begin(), expected.end(), 0xEE), expected.end()) << c.type;
    }
    // A buffer value writes no key bytes: the key is all zero.
    EXPECT_EQ(Bytes(4, 0), InitialKey(ZLTYPE_BUFFER, 4));

    // The allocating form computes the width from the value's size.
    CAny i4;
    i4.SetI4(1);
    unsigned char* p = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(4, CConvertKey::__nConvertTypedKey(&i4, &p, 0, 0, 0, 0, 0));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ((Bytes{0x80, 0, 0, 1}), Bytes(p, p + 4));
    std::free(p);
}

}  // namespace
