#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "common/text/hash_base.h"
#include "common/text/string_hash.h"
#include "tests/common/xmalloc_failures.h"

namespace {

void* P(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}
intptr_t N(const void* p)
{
    return reinterpret_cast<intptr_t>(p);
}

// Integer keys that are their own hash; equality answers non-zero when EQUAL.
class IntHash : public CHashBase
{
public:
    explicit IntHash(int n) : CHashBase(n) {}
    unsigned int dwVHashVal(void* pCle) const override { return static_cast<unsigned>(N(pCle)); }
    int bCleEgales(void* pCleStockee, void* pCle) const override { return pCleStockee == pCle; }

    intptr_t Find(intptr_t k)
    {
        void* v = P(-1);
        return bRecherche(P(k), &v, nullptr) ? N(v) : -1;
    }
};

TEST(HashBase, GrowsAndShrinksByPrimes)
{
    IntHash t(53);
    for (int i = 0; i < 159; ++i) ASSERT_EQ(1, t.AjouteDYN(P(i), P(i)));
    EXPECT_EQ(53, t.nGetNbBuckets());
    ASSERT_EQ(1, t.AjouteDYN(P(159), P(159)));
    EXPECT_EQ(107, t.nGetNbBuckets());
    for (int i = 0; i < 160; ++i) ASSERT_EQ(i, t.Find(i));

    IntHash u(53);
    for (int i = 0; i < 54; ++i) u.AjouteDYN(P(i), P(i));
    EXPECT_TRUE(u.bSupprimeDYN(P(0)));
    EXPECT_EQ(53, u.nGetNbBuckets());
    EXPECT_TRUE(u.bSupprimeDYN(P(1)));  // 52 < 53
    EXPECT_EQ(43, u.nGetNbBuckets());
    for (int i = 2; i < 54; ++i) ASSERT_EQ(i, u.Find(i));
    for (int i = 2; i < 50; ++i) u.bSupprimeDYN(P(i));
    EXPECT_EQ(43, u.nGetNbBuckets());  // never below 43
    EXPECT_FALSE(u.bSupprimeDYN(P(1000)));
    EXPECT_EQ(4, u.nGetNbElement());

    u.SetNiveau(1, 0);
    for (int i = 100; i < 140; ++i) u.AjouteDYN(P(i), P(i));
    EXPECT_EQ(89, u.nGetNbBuckets());  // 44 pairs >= 1 x 43: next prime from 86
}

TEST(HashBase, ValueFirstKeySecondAndDuplicatesInFrontOfTheMatch)
{
    IntHash t(53);
    t.AjouteDYN(P(1), P(10));
    t.AjouteDYN(P(54), P(540));  // same bucket, in front of 1
    void* v = nullptr;
    void* k = nullptr;
    ASSERT_TRUE(t.bRecherche(P(54), &v, &k));
    EXPECT_EQ(540, N(v));
    EXPECT_EQ(54, N(k));
    ASSERT_TRUE(t.bRechercheConst(P(1), &v, &k));
    EXPECT_EQ(10, N(v));
    EXPECT_EQ(1, N(k));
    ASSERT_TRUE(t.bRecherche(P(1), nullptr, nullptr));  // cursor on the match
    t.AjouteDYN(P(1), P(11));                           // goes in front of it
    EXPECT_EQ(11, t.Find(1));
    EXPECT_TRUE(t.bSupprime(P(1)));
    EXPECT_EQ(10, t.Find(1));
    EXPECT_FALSE(t.bSupprime(P(2)));
    EXPECT_EQ(2, t.nGetNbElement());
}

// A failed search leaves the bucket's cursor past its end; the next addition
// to that bucket must not follow it.
TEST(HashBase, AddingAfterAFailedSearchInTheSameBucket)
{
    IntHash t(53);
    t.AjouteDYN(P(3), P(30));
    t.AjouteDYN(P(56), P(560));
    EXPECT_EQ(-1, t.Find(109));  // walks the whole bucket
    ASSERT_EQ(1, t.AjouteDYN(P(109), P(1090)));
    EXPECT_EQ(1090, t.Find(109));
    EXPECT_EQ(30, t.Find(3));
    EXPECT_EQ(560, t.Find(56));
    EXPECT_TRUE(t.bSupprimeDYN(P(3)));
    EXPECT_EQ(-1, t.Find(3));
    ASSERT_EQ(1, t.AjouteDYN(P(3), P(31)));
    EXPECT_EQ(31, t.Find(3));
}

TEST(HashBase, DrainingResizingAndEmptying)
{
    IntHash vide(7);
    int b = 0;
    void* v = P(5);
    vide.SupprimeCourant(&b, &v, nullptr);
    EXPECT_EQ(nullptr, v);
    EXPECT_EQ(7, b);

    IntHash t(7);
    for (int i = 0; i < 12; ++i) t.AjouteDYN(P(i), P(100 + i));
    t.RedimensionneTable(0);
    t.RedimensionneTable(7);
    EXPECT_EQ(7, t.nGetNbBuckets());
    t.RedimensionneTable(3);
    EXPECT_EQ(3, t.nGetNbBuckets());
    EXPECT_EQ(12, t.nGetNbElement());
    std::vector<int> seen(12, 0);
    b = 0;
    for (int i = 0; i < 12; ++i) {
        void* k = nullptr;
        t.SupprimeCourant(&b, &v, &k);
        ASSERT_EQ(100 + N(k), N(v));
        ++seen[N(k)];
    }
    EXPECT_EQ(std::vector<int>(12, 1), seen);
    EXPECT_EQ(0, t.nGetNbElement());

    t.AjouteDYN(P(1), P(1));
    t.SupprimeTout();
    EXPECT_EQ(0, t.nGetNbElement());
    EXPECT_EQ(-1, t.Find(1));
    t.SupprimeTout();

    // Without buckets the first addition makes some.
    IntHash zero(0);
    EXPECT_EQ(-1, zero.Find(1));
    ASSERT_EQ(1, zero.AjouteDYN(P(1), P(2)));
    EXPECT_EQ(2, zero.Find(1));
}

TEST(HashBase, ResizesThatCannotGetMemoryLoseNothing)
{
    vxtest::XmallocFailures failures;
    for (int nth : {1, 5}) {  // the bucket array, then a node during the copy
        IntHash t(7);
        for (int i = 0; i < 21; ++i) ASSERT_EQ(1, t.AjouteDYN(P(i), P(i)));
        failures.FailNth(nth);
        ASSERT_EQ(1, t.AjouteDYN(P(21), P(21)));  // the growth is given up, the pair goes in
        EXPECT_EQ(7, t.nGetNbBuckets());
        for (int i = 0; i < 22; ++i) ASSERT_EQ(i, t.Find(i));
    }
    IntHash t(7);
    failures.FailAll(true);
    EXPECT_EQ(0, t.AjouteDYN(P(1), P(1)));
    EXPECT_EQ(0, t.nGetNbElement());
    failures.FailAll(false);
}

TEST(HashBaseProperty, MatchesAMultimap)
{
    vxtest::XmallocFailures failures;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        IntHash t(seed % 2 ? 53 : 0);
        failures.FailRandomly(seed >= 3 ? 0.05 : 0.0, seed);
        std::mt19937 rng(seed);
        std::unordered_multimap<intptr_t, intptr_t> model;
        intptr_t next = 1;
        for (int step = 0; step < 6000; ++step) {
            const intptr_t k = static_cast<intptr_t>(rng() % 500);
            switch (rng() % 6) {
            case 0:
            case 1:
                if (t.AjouteDYN(P(k), P(next))) model.emplace(k, next);
                ++next;
                break;
            case 2: {
                void* v;
                void* sk;
                const bool found = t.bRechercheConst(P(k), &v, &sk);
                ASSERT_EQ(model.count(k) > 0, found);
                if (found) {
                    ASSERT_EQ(k, N(sk));
                }
                const bool found2 = t.bRecherche(P(k), nullptr, nullptr);
                ASSERT_EQ(found, found2);
                break;
            }
            case 3:
            case 4: {
                void* v = nullptr;
                const bool found = t.bRecherche(P(k), &v, nullptr);
                ASSERT_EQ(found, t.bSupprimeDYN(P(k)));
                if (found) {
                    auto r = model.equal_range(k);
                    auto it = r.first;
                    while (it != r.second && it->second != N(v)) ++it;
                    ASSERT_NE(r.second, it) << "removed a pair the model does not hold";
                    model.erase(it);
                }
                break;
            }
            case 5:
                if (rng() % 100 == 0) {
                    int b = 0;
                    while (t.nGetNbElement() > 0) {
                        void* v;
                        void* sk;
                        t.SupprimeCourant(&b, &v, &sk);
                        auto r = model.equal_range(N(sk));
                        auto it = r.first;
                        while (it != r.second && it->second != N(v)) ++it;
                        ASSERT_NE(r.second, it);
                        model.erase(it);
                    }
                    ASSERT_TRUE(model.empty());
                }
                break;
            }
            ASSERT_EQ(static_cast<int>(model.size()), t.nGetNbElement()) << "step " << step;
        }
    }
}

TEST(StringHash, SumsOfCharacterCodes)
{
    EXPECT_EQ(0u, dwHashValT(nullptr));
    EXPECT_EQ(0u, dwHashValT(L""));
    EXPECT_EQ(0u, dwHashValTA(nullptr));
    EXPECT_EQ(0u, dwHashValTi(L""));
    EXPECT_EQ(0u, dwHashValTiA(""));
    EXPECT_EQ(static_cast<uint32_t>(L'a' + L'b' + 0x1F600), dwHashValT(L"ab\U0001F600"));
    EXPECT_EQ(dwHashValT(L"abc"), dwHashValT(L"cab"));
    EXPECT_EQ(dwHashValTi(L"Hello"), dwHashValTi(L"hELLO"));
    EXPECT_EQ(dwHashValT(L"HELLO"), dwHashValTi(L"hello"));
    EXPECT_EQ(dwHashValTiA("abc"), dwHashValTA("ABC"));

    // Bytes from 0x80 count negative in the plain 8-bit sum; the C library's
    // case mapping gives them back as unsigned values.
    EXPECT_EQ(static_cast<uint32_t>('a' - 23), dwHashValTA("a\xE9"));
    EXPECT_EQ(static_cast<uint32_t>('A' + 233), dwHashValTiA("a\xE9"));
    EXPECT_NE(dwHashValTA("\xE9"), dwHashValTiA("\xE9"));

    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, "C.UTF-8"));
    EXPECT_EQ(dwHashValTi(L"\u00e9t\u00e9"), dwHashValTi(L"\u00c9T\u00c9"));
    std::setlocale(LC_CTYPE, "C");
}

}  // namespace
