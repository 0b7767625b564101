// The currency value: text forms, conversions, and arithmetic checked
// against an exact reference on random operands and at every overflow
// boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/text/money.h"

namespace {

using I128 = __int128;
using U128 = unsigned __int128;

const I128 kMax = (static_cast<I128>(1) << 79) - 1;
const I128 kMin = -(static_cast<I128>(1) << 79);

// Units straight from the five words, independently of the library.
I128 Units(const CMoney& m)
{
    U128 u = 0;
    for (int i = 4; i >= 0; --i)
        u = (u << 16) | m.m_awMot[i];
    if ((u >> 79) & 1)
        u -= static_cast<U128>(1) << 80;
    return static_cast<I128>(u);
}

CMoney Money(I128 units)
{
    CMoney m;
    U128 u = static_cast<U128>(units);
    for (auto& w : m.m_awMot) {
        w = static_cast<uint16_t>(u);
        u >>= 16;
    }
    return m;
}

CMoney Parse(const wchar_t* text)
{
    CMoney m = Money(12345);
    EXPECT_NE(nullptr, pstChaineVersMonetaire(&m, text)) << "parsing failed";
    return m;
}

std::wstring Text(const CMoney& m)
{
    wchar_t buffer[MONETAIRE_TAILLE_TEXTE];
    return pszMonetaireVersChaineC(&m, buffer);
}

std::string Str(I128 v)
{
    if (v == 0)
        return "0";
    bool neg = v < 0;
    U128 u = neg ? static_cast<U128>(0) - static_cast<U128>(v) : static_cast<U128>(v);
    std::string s;
    for (; u; u /= 10)
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(u % 10)));
    return neg ? "-" + s : s;
}

// --- Exact reference -----------------------------------------------------

// Magnitude of a x b / 10^6 rounded halves away from zero, computed with
// 32-bit limbs; returns false when it reaches 2^79.
bool RefMulMagnitude(U128 a, U128 b, U128* out)
{
    uint32_t x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = static_cast<uint32_t>(a >> (32 * i));
        y[i] = static_cast<uint32_t>(b >> (32 * i));
    }
    uint64_t prod[6] = {};
    for (int i = 0; i < 3; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < 3; ++j) {
            const uint64_t t = static_cast<uint64_t>(x[i]) * y[j] + prod[i + j] + carry;
            prod[i + j] = t & 0xFFFFFFFF;
            carry = t >> 32;
        }
        prod[i + 3] += carry;
    }
    uint64_t rem = 0;
    uint64_t q[6];
    for (int i = 5; i >= 0; --i) {
        const uint64_t cur = (rem << 32) | prod[i];
        q[i] = cur / 1000000;
        rem = cur % 1000000;
    }
    if (q[5] || q[4] || q[3] >> 15)
        return false;
    U128 r = (static_cast<U128>(q[3]) << 96) | (static_cast<U128>(q[2]) << 64) | (static_cast<U128>(q[1]) << 32) | q[0];
    if (rem * 2 >= 1000000)
        ++r;
    if (r >> 79)
        return false;
    *out = r;
    return true;
}

U128 Mag(I128 v) { return v < 0 ? static_cast<U128>(0) - static_cast<U128>(v) : static_cast<U128>(v); }
I128 WithSign(U128 mag, bool neg) { return neg ? -static_cast<I128>(mag) : static_cast<I128>(mag); }

// Each returns false for overflow (or a zero divisor).
bool RefAdd(I128 a, I128 b, I128* r)
{
    *r = a + b;
    return *r > kMin && *r <= kMax;
}
bool RefSub(I128 a, I128 b, I128* r)
{
    *r = a - b;
    return *r >= kMin && *r <= kMax;
}
bool RefMul(I128 a, I128 b, I128* r)
{
    U128 m;
    if (!RefMulMagnitude(Mag(a), Mag(b), &m))
        return false;
    *r = WithSign(m, (a < 0) != (b < 0));
    return true;
}
bool RefDiv(I128 a, I128 b, I128* r)
{
    if (b == 0)
        return false;
    const U128 n = Mag(a) * 1000000, d = Mag(b);
    U128 q = n / d;
    if ((n % d) * 2 >= d)
        ++q;
    if (q >> 79)
        return false;
    *r = WithSign(q, (a < 0) != (b < 0));
    return true;
}

struct Operation
{
    const char* name;
    CMoney* (*op)(CMoney*, const CMoney*);
    bool (*ref)(I128, I128, I128*);
};

const Operation kOperations[] = {
    {"add", pstAddMonetaire, RefAdd},
    {"sub", pstSubMonetaire, RefSub},
    {"mul", pstMulMonetaire, RefMul},
    {"div", pstDivMonetaire, RefDiv},
};

void CheckOperation(const Operation& o, I128 a, I128 b)
{
    CMoney m = Money(a);
    const CMoney other = Money(b);
    I128 expected;
    const bool ok = o.ref(a, b, &expected);
    CMoney* r = o.op(&m, &other);
    if (ok) {
        ASSERT_EQ(&m, r) << o.name << " " << Str(a) << " " << Str(b);
        ASSERT_EQ(Str(expected), Str(Units(m))) << o.name << " " << Str(a) << " " << Str(b);
    } else {
        ASSERT_EQ(nullptr, r) << o.name << " " << Str(a) << " " << Str(b);
        ASSERT_EQ(Str(a), Str(Units(m))) << o.name << " failure must leave the value";
    }
}

// Random values of every size, sign and a few special forms.
I128 RandomUnits(std::mt19937_64& rng)
{
    const int bits = static_cast<int>(rng() % 81);
    U128 u = (static_cast<U128>(rng()) << 64) | rng();
    u = bits >= 80 ? u : (u & ((static_cast<U128>(1) << bits) - 1));
    u &= (static_cast<U128>(1) << 80) - 1;
    I128 v = static_cast<I128>(u);
    if ((u >> 79) & 1)
        v -= static_cast<I128>(1) << 80;
    switch (rng() % 8) {
    case 0: return v - v % 1000000;  // whole numbers
    case 1: return kMin + static_cast<I128>(rng() % 4);
    case 2: return kMax - static_cast<I128>(rng() % 4);
    default: return v;
    }
}

TEST(MoneyArithmetic, MatchesExactArithmeticOnRandomOperands)
{
    std::mt19937_64 rng(20260101);
    for (int i = 0; i < 30000; ++i) {
        const I128 a = RandomUnits(rng), b = RandomUnits(rng);
        for (const Operation& o : kOperations)
            CheckOperation(o, a, b);
    }
}

TEST(MoneyArithmetic, MatchesExactArithmeticAtTheOverflowBoundaries)
{
    std::mt19937_64 rng(79);
    const I128 limit = static_cast<I128>(1) << 79;
    for (int i = 0; i < 3000; ++i) {
        const I128 a = RandomUnits(rng);
        // Sums and differences landing just inside and just outside the range.
        for (I128 edge : {kMax, kMin})
            for (int d = -2; d <= 2; ++d) {
                for (const auto& [op, b] : {std::pair{0, edge - a + d}, std::pair{1, a - edge + d}})
                    if (b >= kMin && b <= kMax)
                        CheckOperation(kOperations[op], a, b);
            }
        // Products and quotients whose magnitude is near 2^79 units.
        const I128 b = RandomUnits(rng);
        if (b != 0) {
            const U128 target = static_cast<U128>(limit) * 1000000 / Mag(b);  // |a| with |a x b| / 10^6 near 2^79
            for (int d = -2; d <= 2; ++d) {
                const I128 near = static_cast<I128>(target) + d;
                if (near <= kMax && near >= 0) {
                    CheckOperation(kOperations[2], near, b);
                    CheckOperation(kOperations[2], -near, b);
                }
            }
        }
        if (a != 0) {
            const U128 divisor = Mag(a) * 1000000 / static_cast<U128>(limit);  // |a| x 10^6 / |b| near 2^79
            for (int d = -1; d <= 2; ++d) {
                const I128 near = static_cast<I128>(divisor) + d;
                if (near > 0) {
                    CheckOperation(kOperations[3], a, near);
                    CheckOperation(kOperations[3], a, -near);
                }
            }
        }
    }
}

TEST(MoneyArithmetic, SubtractingTheSmallestValueFitsOnlyFromANegativeValue)
{
    const CMoney min = Money(kMin);
    CMoney m = Money(5);
    EXPECT_EQ(nullptr, pstSubMonetaire(&m, &min)) << "5 units - min does not fit";
    EXPECT_EQ(5, static_cast<long>(Units(m)));
    m = Money(-5);
    ASSERT_EQ(&m, pstSubMonetaire(&m, &min)) << "-5 units - min fits";
    EXPECT_EQ(Str(kMax - 4), Str(Units(m)));
    m = Money(0);
    EXPECT_EQ(nullptr, pstSubMonetaire(&m, &min));
    m = Money(-1);
    ASSERT_NE(nullptr, pstSubMonetaire(&m, &min));
    EXPECT_EQ(Str(kMax), Str(Units(m)));
}

TEST(MoneyArithmetic, IncrementAndDecrementReportOverflowAndKeepTheValue)
{
    CMoney m = Money(kMax - 1000000);
    EXPECT_TRUE(bIncrementeMonetaire(&m));
    EXPECT_EQ(Str(kMax), Str(Units(m)));
    EXPECT_FALSE(bIncrementeMonetaire(&m));
    EXPECT_EQ(Str(kMax), Str(Units(m))) << "a failed increment keeps the value";

    m = Money(kMin + 1000001);
    EXPECT_TRUE(bDecrementeMonetaire(&m));
    EXPECT_EQ(Str(kMin + 1), Str(Units(m)));
    EXPECT_FALSE(bDecrementeMonetaire(&m));
    EXPECT_EQ(Str(kMin + 1), Str(Units(m)));
    m = Money(kMin + 1000000);
    EXPECT_FALSE(bDecrementeMonetaire(&m)) << "a sum equal to the smallest value is refused";

    m = Parse(L"-2.5");
    EXPECT_TRUE(bIncrementeMonetaire(&m));
    EXPECT_EQ(L"-1.5", Text(m));
    EXPECT_TRUE(bDecrementeMonetaire(&m));
    EXPECT_TRUE(bDecrementeMonetaire(&m));
    EXPECT_EQ(L"-3.5", Text(m));
}

TEST(MoneyArithmetic, DivisionRefusesAQuotientBeyondTheRange)
{
    CMoney m = Money(kMax);
    const CMoney unit = Money(1);
    EXPECT_EQ(nullptr, pstDivMonetaire(&m, &unit));
    EXPECT_EQ(Str(kMax), Str(Units(m)));
    // A large dividend over a divisor of 1.0 is still fine (needs > 100 bits).
    const CMoney one = gstMillion;
    ASSERT_EQ(&m, pstDivMonetaire(&m, &one));
    EXPECT_EQ(Str(kMax), Str(Units(m)));
}

TEST(MoneyArithmetic, ResultsRoundToTheMillionthAndAFailureKeepsTheValue)
{
    struct Case
    {
        const wchar_t* a;
        const char* op;
        const wchar_t* b;
        const wchar_t* result;  // null: fails
    } cases[] = {
        {L"1.5", "div", L"2", L"0.75"},
        {L"1", "div", L"3", L"0.333333"},
        {L"2", "div", L"3", L"0.666667"},
        {L"-2", "div", L"3", L"-0.666667"},
        {L"7", "div", L"0", nullptr},
        {L"0.000001", "mul", L"0.5", L"0.000001"},
        {L"-0.000001", "mul", L"0.5", L"-0.000001"},
        {L"0.000001", "mul", L"0.4", L"0"},
        {L"-1.5", "mul", L"-2", L"3"},
        {L"1.25", "add", L"-1.25", L"0"},
        {L"0.1", "sub", L"0.3", L"-0.2"},
    };
    for (const Case& c : cases) {
        CMoney m = Parse(c.a);
        const CMoney before = m;
        const CMoney other = Parse(c.b);
        CMoney* r = nullptr;
        for (const Operation& o : kOperations)
            if (std::strcmp(o.name, c.op) == 0)
                r = o.op(&m, &other);
        SCOPED_TRACE(std::string(c.op));
        if (c.result == nullptr) {
            EXPECT_EQ(nullptr, r);
            EXPECT_EQ(0, std::memcmp(&before, &m, sizeof m));
        } else {
            ASSERT_EQ(&m, r);
            EXPECT_EQ(c.result, Text(m));
        }
    }
    CMoney m = Money(kMax);
    const CMoney unit = Money(1);
    EXPECT_EQ(nullptr, pstAddMonetaire(&m, &unit)) << "one unit more than the greatest value";
    CMoney same = Parse(L"2.5");
    ASSERT_EQ(&same, pstAddMonetaire(&same, &same)) << "the operand may be the value itself";
    EXPECT_EQ(L"5", Text(same));
}

// --- Text forms ------------------------------------------------------------

TEST(MoneyText, ParsesTheLeadingNumberAndRefusesValuesOutOfRange)
{
    struct Case
    {
        const wchar_t* text;
        const char* units;  // null: fails
    } cases[] = {
        {L"12.3456789", "12345678"},
        {L"  -0.5", "-500000"},
        {L"5.", "5000000"},
        {L"1,5", "1000000"},
        {L"", "0"},
        {L"\xFF0D" L"3", "-3000000"},
        {L"\xFF0B" L"3", "3000000"},
        {L"+.25x", "250000"},
        {L"\t1", "0"},
        {L"-", "0"},
        {L"0000000000000000000000000001", "1000000"},
        {L"604462909807314587.353087", "604462909807314587353087"},
        {L"-604462909807314587.353087", "-604462909807314587353087"},
        {L"604462909807314587.353088", nullptr},
        {L"-604462909807314587.353088", nullptr},
        {L"604462909807314588", nullptr},
        {L"99999999999999999999999", nullptr},
    };
    for (const Case& c : cases) {
        CMoney m = Money(77);
        CMoney* r = pstChaineVersMonetaire(&m, c.text);
        if (c.units == nullptr) {
            EXPECT_EQ(nullptr, r) << "text " << std::string(c.text, c.text + std::wcslen(c.text));
            EXPECT_EQ(77, static_cast<long>(Units(m)));
        } else {
            ASSERT_EQ(&m, r);
            EXPECT_EQ(c.units, Str(Units(m)));
        }
    }
    CMoney m = Money(77);
    ASSERT_EQ(&m, pstChaineVersMonetaire(&m, nullptr));
    EXPECT_TRUE(bMonetaireZero(&m));
}

TEST(MoneyText, PrintsDecimalHexadecimalAndOctal)
{
    struct Case
    {
        I128 units;
        const wchar_t* decimal;
        const wchar_t* hexa;
        const wchar_t* octal;
    } cases[] = {
        {0, L"0", L"0", L"0"},
        {1, L"0.000001", L"1", L"1"},
        {10000000, L"10", L"989680", L"46113200"},
        {-250000, L"-0.25", L"FFFFFFFFFFFFFFFC2F70", L"777777777777777777777027560"},
        {1000000, L"1", L"F4240", L"3641100"},
        {1500000, L"1.5", L"16E360", L"5561540"},
        {-1, L"-0.000001", L"FFFFFFFFFFFFFFFFFFFF", L"777777777777777777777777777"},
        {kMax, L"604462909807314587.353087", L"7FFFFFFFFFFFFFFFFFFF", L"177777777777777777777777777"},
        {kMin, L"-604462909807314587.353088", L"80000000000000000000", L"600000000000000000000000000"},
        {1200000, L"1.2", L"124F80", L"4447600"},
        {100, L"0.0001", L"64", L"144"},
    };
    for (const Case& c : cases) {
        const CMoney m = Money(c.units);
        wchar_t buffer[MONETAIRE_TAILLE_TEXTE];
        EXPECT_EQ(buffer, pszMonetaireVersChaineC(&m, buffer));
        EXPECT_EQ(std::wstring(c.decimal), buffer);
        EXPECT_EQ(std::wstring(c.hexa), pszMonetaireVersChaineHexa(&m, buffer));
        EXPECT_EQ(std::wstring(c.octal), pszMonetaireVersChaineOctale(&m, buffer));
        // Every decimal text reads back as the same value.
        CMoney back = Money(3);
        if (c.units != kMin) {
            ASSERT_NE(nullptr, pstChaineVersMonetaire(&back, c.decimal));
            EXPECT_EQ(Str(c.units), Str(Units(back)));
        }
    }
}

TEST(MoneyText, ParsesHexadecimalUnits)
{
    struct Case
    {
        const wchar_t* text;
        const char* units;
        const wchar_t* after;  // the caller's text afterwards
    } cases[] = {
        {L"f4240", "1000000", L"F4240"},
        {L"  1a", "26", L"  1A"},
        {L"FFFFFFFFFFFFFFFFFFFF", "-1", L"FFFFFFFFFFFFFFFFFFFF"},
        {L"7FFFFFFFFFFFFFFFFFFF", "604462909807314587353087", L"7FFFFFFFFFFFFFFFFFFF"},
        {L"123456789ABCDEF0123456", "85968058283706962416180", L"123456789ABCDEF0123456"},  // first 20 digits
        {L"12g34", "18", L"12G34"},
        {L"", "0", L""},
        {L"zz", "0", L"ZZ"},
    };
    for (const Case& c : cases) {
        std::wstring text = c.text;
        CMoney m = Money(5);
        ASSERT_EQ(&m, pstChaineHexaVersMonetaire(&m, text.data()));
        EXPECT_EQ(c.units, Str(Units(m))) << std::string(c.text, c.text + std::wcslen(c.text));
        EXPECT_EQ(c.after, text) << "upper-cased in place";
        wchar_t buffer[MONETAIRE_TAILLE_TEXTE];
        if (Units(m) != 0 && std::wcslen(c.text) <= 20 && std::wcsspn(c.text, L"0123456789abcdefABCDEF ") == std::wcslen(c.text)) {
            std::wstring trimmed = c.after;
            trimmed.erase(0, trimmed.find_first_not_of(L' '));
            EXPECT_EQ(trimmed, pszMonetaireVersChaineHexa(&m, buffer)) << "round trip";
        }
    }
    CMoney m = Money(5);
    ASSERT_EQ(&m, pstChaineHexaVersMonetaire(&m, nullptr));
    EXPECT_TRUE(bMonetaireZero(&m));
}

TEST(MoneyText, DecimalTextRoundTripsOnRandomValues)
{
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        I128 v = RandomUnits(rng);
        if (v == kMin)
            continue;
        const CMoney m = Money(v);
        wchar_t buffer[MONETAIRE_TAILLE_TEXTE];
        pszMonetaireVersChaineC(&m, buffer);
        ASSERT_LT(std::wcslen(buffer), MONETAIRE_TAILLE_TEXTE);
        CMoney back;
        ASSERT_NE(nullptr, pstChaineVersMonetaire(&back, buffer));
        ASSERT_EQ(Str(v), Str(Units(back)));
    }
}

// --- Conversions -----------------------------------------------------------

TEST(MoneyConversion, RealNumbers)
{
    struct Case
    {
        double d;
        const wchar_t* text;  // null: fails
    } cases[] = {
        {1.5, L"1.5"},
        {-0.25, L"-0.25"},
        {0.1, L"0.1"},
        {1e-7, L"0"},
        {123456.7890125, L"123456.789012"},
        {6.0e17, L"600000000000000000"},
        {7.0e17, nullptr},
        {-7.0e17, nullptr},
        {1e300, nullptr},
        {std::numeric_limits<double>::infinity(), nullptr},
        {-std::numeric_limits<double>::infinity(), nullptr},
        {std::numeric_limits<double>::quiet_NaN(), nullptr},
    };
    for (const Case& c : cases) {
        CMoney m = Money(42);
        CMoney* r = pstDoubleVersMonetaire(&m, c.d);
        if (c.text == nullptr) {
            EXPECT_EQ(nullptr, r) << c.d;
            EXPECT_EQ(42, static_cast<long>(Units(m)));
        } else {
            ASSERT_EQ(&m, r) << c.d;
            EXPECT_EQ(c.text, Text(m));
        }
    }
    EXPECT_EQ(1.5, dMonetaireVersDouble(&(const CMoney&)Money(1500000)));
    EXPECT_EQ(-0.000001, dMonetaireVersDouble(&(const CMoney&)Money(-1)));
    EXPECT_EQ(604462909807314587.353087, dMonetaireVersDouble(&(const CMoney&)Money(kMax)));
}

TEST(MoneyConversion, IntegersIn)
{
    CMoney m;
    ASSERT_EQ(&m, pstInt32VersMonetaire(&m, -7));
    EXPECT_EQ(L"-7", Text(m));
    ASSERT_EQ(&m, pstInt32VersMonetaire(&m, INT32_MIN));
    EXPECT_EQ(L"-2147483648", Text(m));
    ASSERT_EQ(&m, pstTresLongVersMonetaire(&m, 604462909807314587L));
    EXPECT_EQ(L"604462909807314587", Text(m));
    EXPECT_EQ(nullptr, pstTresLongVersMonetaire(&m, 604462909807314588L));
    EXPECT_EQ(nullptr, pstTresLongVersMonetaire(&m, -604462909807314588L));
    EXPECT_EQ(L"604462909807314587", Text(m)) << "a failed conversion keeps the value";
    ASSERT_EQ(&m, pstTresLongVersMonetaire(&m, -604462909807314587L));
    EXPECT_EQ(nullptr, pstTresLongSansSigneVersMonetaire(&m, ~0UL));
    ASSERT_EQ(&m, pstTresLongSansSigneVersMonetaire(&m, 3000000000UL));
    EXPECT_EQ(L"3000000000", Text(m));
}

TEST(MoneyConversion, IntegersOut)
{
    struct Case
    {
        const wchar_t* text;
        int rounded;     // lMonetaireVersInt32
        bool fits32;     // bMonetaireVersInt32
        int truncated;   // its integer
        long truncated64;
    } cases[] = {
        {L"2.7", 3, true, 2, 2},
        {L"2.5", 3, true, 2, 2},
        {L"2.4", 2, true, 2, 2},
        {L"-2.5", -3, true, -2, -2},
        {L"-2.7", -3, true, -2, -2},
        {L"0.999999", 1, true, 1, 1},
        {L"0.99999", 1, true, 0, 0},
        {L"-0.999999", -1, true, -1, -1},
        {L"2147483647.4", 2147483647, true, 2147483647, 2147483647L},
        {L"-2147483648", INT32_MIN, true, INT32_MIN, -2147483648L},
        {L"2147483648", INT32_MIN, false, 0, 2147483648L},
        {L"-2147483649", INT32_MAX, false, 0, -2147483649L},
        {L"3000000000", -1294967296, false, 0, 3000000000L},
        {L"-100000000000000000", -1569325056, false, 0, -100000000000000000L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        const CMoney m = Parse(c.text);
        EXPECT_EQ(c.rounded, lMonetaireVersInt32(&m));
        int n = 12345;
        EXPECT_EQ(c.fits32, bMonetaireVersInt32(&m, &n));
        EXPECT_EQ(c.fits32 ? c.truncated : 12345, n);
        long l = 0;
        EXPECT_TRUE(bMonetaireVersTresLong(&m, &l));
        EXPECT_EQ(c.truncated64, l);
    }
    // The sign comes from bit 79, not from the low 64 bits: values below
    // -2^64 units stay negative.
    const CMoney big = Parse(L"-600000000000000000.25");
    long l = 0;
    EXPECT_TRUE(bMonetaireVersTresLong(&big, &l));
    EXPECT_EQ(-600000000000000000L, l);
    EXPECT_EQ(-600000000000000000L, lMonetaireVersTresLong(&big));
    const CMoney min = Money(kMin);
    EXPECT_TRUE(bMonetaireVersTresLong(&min, &l));
    EXPECT_EQ(-604462909807314587L, l);
    EXPECT_EQ(-604462909807314587L, lMonetaireVersTresLong(&min));

    unsigned long u = 0;
    const CMoney neg = Parse(L"-1.5");
    EXPECT_TRUE(bMonetaireVersTresLongSansSigne(&neg, &u));
    EXPECT_EQ(static_cast<unsigned long>(-2L), u);
    EXPECT_EQ(static_cast<unsigned long>(-2L), lMonetaireVersTresLongSansSigne(&neg));
    const CMoney pos = Parse(L"604462909807314587.353087");
    EXPECT_TRUE(bMonetaireVersTresLongSansSigne(&pos, &u));
    EXPECT_EQ(604462909807314587UL, u);
}

// --- Rounding and the other single-value operations -------------------------

TEST(MoneyRounding, RoundsTruncatesAndSplitsAndRefusesWhatOverflows)
{
    struct Case
    {
        const char* op;
        const wchar_t* value;
        short n;
        const wchar_t* result;  // null: fails
    } cases[] = {
        {"arr", L"2.5", 0, L"3"},
        {"arr", L"-2.5", 0, L"-3"},
        {"arr", L"2.449", 1, L"2.4"},
        {"arr", L"2.45", 1, L"2.5"},
        {"arr", L"-0.000005", 5, L"-0.00001"},
        {"arr", L"1.234567", 6, L"1.234567"},
        {"arr", L"1.234567", -1, L"1.234567"},
        {"arr", L"604462909807314587.353087", 0, L"604462909807314587"},
        {"arr", L"604462909807314587.353087", 1, nullptr},
        {"arr", L"604462909807314587.353087", 2, L"604462909807314587.35"},
        {"arr", L"-604462909807314587.353087", 1, nullptr},
        {"sup", L"1.21", 1, L"1.3"},
        {"sup", L"1.2", 1, L"1.2"},
        {"sup", L"-1.29", 1, L"-1.2"},
        {"sup", L"0.000001", 0, L"1"},
        {"sup", L"1.5", 6, L"1.5"},
        {"sup", L"604462909807314587.353087", 0, nullptr},
        {"inf", L"-1.21", 1, L"-1.3"},
        {"inf", L"1.29", 1, L"1.2"},
        {"inf", L"-0.000001", 0, L"-1"},
        {"inf", L"-604462909807314587.353087", 0, nullptr},
        {"ent", L"-1.5", 0, L"-2"},
        {"ent", L"1.5", 0, L"1"},
        {"ent", L"-2", 0, L"-2"},
        {"ent", L"-604462909807314587.353087", 0, nullptr},
        {"dec", L"-1.25", 0, L"0.25"},
        {"dec", L"3", 0, L"0"},
        {"abs", L"-1.25", 0, L"1.25"},
        {"abs", L"1.25", 0, L"1.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + std::string(c.value, c.value + std::wcslen(c.value)));
        CMoney m = Parse(c.value);
        const CMoney before = m;
        const std::string op = c.op;
        CMoney* r = op == "arr"   ? pstArrMonetaire(&m, c.n)
                    : op == "sup" ? pstArrMonetaireSup(&m, c.n)
                    : op == "inf" ? pstArrMonetaireInf(&m, c.n)
                    : op == "ent" ? pstEntMonetaire(&m)
                    : op == "dec" ? pstDecMonetaire(&m)
                                  : pstAbsMonetaire(&m);
        if (c.result == nullptr) {
            EXPECT_EQ(nullptr, r);
            EXPECT_EQ(0, std::memcmp(&before, &m, sizeof m));
        } else {
            ASSERT_EQ(&m, r);
            EXPECT_EQ(c.result, Text(m));
        }
    }
    CMoney min = Money(kMin);
    EXPECT_EQ(nullptr, pstAbsMonetaire(&min)) << "the smallest value has no absolute value";
    NegMonetaire(&min);
    EXPECT_EQ(Str(kMin), Str(Units(min)));
    CMoney m = Parse(L"1.5");
    NegMonetaire(&m);
    EXPECT_EQ(L"-1.5", Text(m));
}

TEST(MoneyRounding, MultiplyByTenAndByAWordOnTheMagnitude)
{
    CMoney m = Parse(L"-1.5");
    EXPECT_TRUE(bMul10Monetaire(&m));
    EXPECT_EQ(L"-15", Text(m));
    EXPECT_TRUE(bMulMonetaireWord(&m, 100, L'7'));
    EXPECT_EQ(L"-1500.000007", Text(m));
    m = Money(kMax / 10);
    EXPECT_TRUE(bMul10Monetaire(&m));
    EXPECT_FALSE(bMul10Monetaire(&m));
    EXPECT_EQ(Str(kMax / 10 * 10), Str(Units(m)));
    m = Money(kMax / 10 * 10);
    EXPECT_TRUE(bMulMonetaireWord(&m, 1, L'7'));
    EXPECT_EQ(Str(kMax), Str(Units(m)));
    EXPECT_FALSE(bMulMonetaireWord(&m, 1, L'1'));
}

TEST(MoneyCompare, ComparesAndKeysInValueOrder)
{
    const CMoney a = Parse(L"-1"), b = Parse(L"2");
    EXPECT_EQ(-1, nCmpMonetaire(&a, &b));
    EXPECT_EQ(1, nCmpMonetaire(&b, &a));
    EXPECT_EQ(0, nCmpMonetaire(&a, &a));
    EXPECT_EQ(1, nCmpMonetaire(nullptr, &a));
    EXPECT_EQ(-1, nCmpMonetaire(&a, nullptr));
    EXPECT_EQ(0, nCmpMonetaireEtInt32(&b, 2));
    EXPECT_EQ(-1, nCmpMonetaireEtInt32(&a, 0));
    EXPECT_EQ(1, nCmpMonetaireEtInt32(&(const CMoney&)Parse(L"2.000001"), 2));
    EXPECT_TRUE(bMonetaireZero(&(const CMoney&)Money(0)));
    EXPECT_FALSE(bMonetaireZero(&b));

    CMoney min, max;
    SetMonetaireToMin(&min);
    SetMonetaireToMax(&max);
    EXPECT_EQ(Str(kMin), Str(Units(min)));
    EXPECT_EQ(Str(kMax), Str(Units(max)));
    EXPECT_EQ(L"1", Text(gstMillion));
    EXPECT_EQ(L"-1", Text(gstMoinsMillion));
    EXPECT_EQ(L"0.065536", Text(gstVersLong));

    unsigned char key[10];
    MonetaireVersCleQF(key, &(const CMoney&)Money(0));
    EXPECT_EQ(0x80, key[0]);
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(0, key[i]);
    MonetaireVersCleQF(key, &min);
    for (unsigned char k : key)
        EXPECT_EQ(0x00, k);
    MonetaireVersCleQF(key, &max);
    for (unsigned char k : key)
        EXPECT_EQ(0xFF, k);

    std::mt19937_64 rng(3);
    for (int i = 0; i < 20000; ++i) {
        const CMoney x = Money(RandomUnits(rng)), y = Money(RandomUnits(rng));
        unsigned char kx[10], ky[10];
        MonetaireVersCleQF(kx, &x);
        MonetaireVersCleQF(ky, &y);
        const int c = std::memcmp(kx, ky, 10);
        ASSERT_EQ(nCmpMonetaire(&x, &y), (c > 0) - (c < 0));
    }
}

}  // namespace
