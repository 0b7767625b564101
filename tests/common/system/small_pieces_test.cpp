#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "common/system/alloc_stats.h"
#include "common/system/emule_char_class.h"
#include "common/system/emule_load_string.h"
#include "common/system/emule_rect.h"
#include "common/system/xmalloc.h"
#include "common/system/xmath.h"
#include "tests/common/xmalloc_failures.h"

namespace {

bool IsPrimeByDivision(unsigned long n)
{
    if (n < 2) return n == 1;  // 1 counts as prime here
    for (unsigned long d = 2; d * d <= n; ++d)
        if (n % d == 0) return false;
    return true;
}

TEST(EstPremier, AgreesWithTrialDivision)
{
    for (unsigned long n = 0; n < 20000; ++n) ASSERT_EQ(IsPrimeByDivision(n), CXMath::bEstPremier(n)) << n;
    struct Case { unsigned long n; bool prime; };
    const Case cases[] = {
        {0, false}, {1, true}, {2, true}, {9, false}, {25, false}, {29, true}, {49, false},
        {4294967291ul, true}, {4294967297ul, false} /* 641 x 6700417 */, {4294967311ul, true},
        {1000000007ul * 3, false}, {999999999989ul, true}, {999999999989ul * 3, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.prime, CXMath::bEstPremier(c.n)) << c.n;
}

TEST(EstPremier, FindsTheHashTableSizesAsTheFirstPrimeAboveDouble)
{
    // The chained table grows 53 -> 107 -> 223 by searching upwards.
    auto next = [](unsigned long n) { while (!CXMath::bEstPremier(n)) ++n; return n; };
    EXPECT_EQ(107u, next(106));
    EXPECT_EQ(223u, next(214));
    EXPECT_EQ(43u, next(43));
}

TEST(EmuleRect, EmptinessOffsetAndIntersection)
{
    const tagRECT a = {0, 0, 10, 10};
    EXPECT_FALSE(bEmule_IsRectEmpty(&a));
    const tagRECT emptyCases[] = {{0, 0, 0, 10}, {0, 0, 10, 0}, {5, 0, 4, 10}, {0, 5, 10, 4}};
    for (const tagRECT& r : emptyCases) EXPECT_TRUE(bEmule_IsRectEmpty(&r));

    tagRECT r = {1, 2, 3, 4};
    EXPECT_TRUE(bEmule_OffsetRect(&r, 10, -20));
    EXPECT_EQ(11, r.left);
    EXPECT_EQ(-18, r.top);
    EXPECT_EQ(13, r.right);
    EXPECT_EQ(-16, r.bottom);

    struct Case { tagRECT a, b; bool ok; tagRECT out; };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {0, 0, 0, 0}},   // touching edges
        {{0, 0, 0, 10}, {-5, -5, 15, 15}, false, {0, 0, 0, 0}},   // a empty
        {{0, 0, 10, 10}, {2, 3, 2, 8}, false, {0, 0, 0, 0}},      // b empty
        {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},       // inside
        {{-10, -10, -1, -1}, {-5, -20, 20, -2}, true, {-5, -10, -1, -2}},
    };
    for (const Case& c : cases) {
        tagRECT out = {7, 7, 7, 7};
        EXPECT_EQ(c.ok, bEmule_IntersectRect(&out, &c.a, &c.b));
        EXPECT_EQ(0, std::memcmp(&out, &c.out, sizeof out)) << out.left << "," << out.top << "," << out.right << ","
                                                              << out.bottom;
    }
    // The destination may be one of the sources.
    tagRECT x = {0, 0, 10, 10};
    const tagRECT y = {5, 5, 15, 15};
    EXPECT_TRUE(bEmule_IntersectRect(&x, &x, &y));
    EXPECT_EQ(5, x.left);
    EXPECT_EQ(10, x.right);
}

TEST(EmuleCharClass, LettersAndDigitsOfCodePage1252)
{
    int count = 0;
    for (int c = 0; c < 256; ++c) {
        const bool expected = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')
            || c == 0x83 || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F
            || c == 0xB2 || c == 0xB3 || c == 0xB9 || (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
        EXPECT_EQ(expected, bEmule_IsCharAlphaNumericA(static_cast<char>(c))) << c;
        count += expected;
    }
    EXPECT_EQ(62 + 11 + 62, count);
    for (int c : {0xE9, 0xFF, 0xC0}) EXPECT_TRUE(bEmule_IsCharAlphaNumericA(static_cast<char>(c)));
    for (int c : {0xD7, 0xF7, 0xAA, 0xB5, 0xBA, int{'_'}, int{' '}}) EXPECT_FALSE(bEmule_IsCharAlphaNumericA(static_cast<char>(c)));
}

TEST(EmuleLoadString, LoadsNothing)
{
    wchar_t w[4] = L"abc";
    char a[4] = "abc";
    EXPECT_EQ(0, nEmule_LoadStringW(nullptr, 1, w, 4));
    EXPECT_EQ(0, nEmule_LoadStringA(nullptr, 1, a, 4));
    EXPECT_STREQ(L"abc", w);
    EXPECT_STREQ("abc", a);
    EXPECT_EQ(0, Alloc_bDump(L"x", 1));
    EXPECT_EQ(0, Alloc_bMarque());
    EXPECT_EQ(0, Alloc_nTailleTotale());
}

TEST(Xmalloc, WrappersAndFailureSeam)
{
    void* p = XMALLOC_pResize_(nullptr, 16);
    ASSERT_NE(nullptr, p);
    std::memset(p, 0xAB, 16);  // 16 usable bytes (AddressSanitizer checks)
    p = XMALLOC_pResize_(p, 64);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0xAB, static_cast<unsigned char*>(p)[15]);
    XMALLOC_Del_(p);
    XMALLOC_Del_(nullptr);

    vxtest::XmallocFailures failures;
    failures.FailNth(2);
    void* a = XMALLOC_pNew_(8);
    ASSERT_NE(nullptr, a);
    // A failed resize leaves the block as it was.
    EXPECT_EQ(nullptr, XMALLOC_pResize_(a, 32));
    static_cast<unsigned char*>(a)[7] = 1;
    void* b = XMALLOC_pResize_(a, 32);
    ASSERT_NE(nullptr, b);
    XMALLOC_Del_(b);
    EXPECT_EQ(3, failures.Calls());
    EXPECT_EQ(1, failures.Failures());
}

}  // namespace
