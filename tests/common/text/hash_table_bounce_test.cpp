#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text/hash_table_bounce.h"
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

// Keys and values are small integers; a key is its own hash.
class Table : public CHashTableBounce
{
public:
    explicit Table(unsigned n = 7) : CHashTableBounce(n)
    {
        SetCmp([](void const* a, void const* b) { return a == b ? 0 : 1; });
        SetHashVal([](void const* k) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(k)); });
    }
    int Add(intptr_t k, intptr_t v) { return bAddElement(P(k), P(v)); }
    // Value found, or -1.
    intptr_t Get(intptr_t k) const
    {
        void* v = P(-1);
        return bGetElement(P(k), &v, nullptr) ? N(v) : -1;
    }
    intptr_t Delete(intptr_t k)
    {
        void* v = P(-1);
        return bDeleteElement(P(k), &v, nullptr) ? N(v) : -1;
    }
    void CheckShape() const
    {
        ASSERT_GE(nGetIndiceTaille(), 0);
        ASSERT_EQ(g__ToutPretToutChaud[nGetIndiceTaille()], dwGetNbBuckets());
        ASSERT_EQ(dwGetNbBuckets() / 2, dwGetTaillePool());
        ASSERT_LE(dwGetNumElement(), dwGetTaillePool());
    }
    // Every element by a walk, as (key, value) pairs.
    std::multiset<std::pair<intptr_t, intptr_t>> All()
    {
        std::multiset<std::pair<intptr_t, intptr_t>> all;
        unsigned c = 0;
        void* v;
        void* k;
        while (bParseTable(&c, 0, &v, &k)) all.insert({N(k), N(v)});
        return all;
    }
};

TEST(HashTableBounce, SizesComeFromThePrimeList)
{
    struct Case { unsigned n; unsigned buckets; };
    const Case cases[] = {{0, 17}, {7, 17}, {8, 17}, {9, 53}, {26, 53}, {27, 97}, {100, 389}};
    for (const Case& c : cases) {
        Table t(c.n);
        EXPECT_EQ(c.buckets, t.dwGetNbBuckets()) << c.n;
        t.CheckShape();
    }
    Table t;
    for (int i = 1; i <= 8; ++i) ASSERT_EQ(1, t.Add(i, 100 + i));
    EXPECT_EQ(17u, t.dwGetNbBuckets());
    ASSERT_EQ(1, t.Add(9, 109));
    EXPECT_EQ(53u, t.dwGetNbBuckets());
    EXPECT_EQ(26u, t.dwGetTaillePool());
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(100 + i, t.Get(i));
    EXPECT_EQ(4294967291u, CHashTableBounce::g__ToutPretToutChaud[28]);
}

TEST(HashTableBounce, ValueComesFirstKeySecond)
{
    Table t;
    // Two distinct keys that compare equal to nothing but themselves, colliding in one bucket.
    t.Add(5, 500);
    t.Add(5 + 17, 2200);
    void* v = nullptr;
    void* k = nullptr;
    ASSERT_EQ(1, t.bGetElement(P(22), &v, &k));
    EXPECT_EQ(2200, N(v));
    EXPECT_EQ(22, N(k));
    ASSERT_EQ(1, t.bGetElement(P(5), nullptr, nullptr));
    void** slot = t.pGetElement(P(5));
    ASSERT_NE(nullptr, slot);
    *slot = P(501);
    EXPECT_EQ(nullptr, t.pGetElement(P(6)));
    ASSERT_EQ(1, t.bDeleteElement(P(5), &v, &k));
    EXPECT_EQ(501, N(v));
    EXPECT_EQ(5, N(k));
    EXPECT_EQ(0, t.bDeleteElement(P(5), &v, &k));
    EXPECT_EQ(2200, t.Get(22));
}

TEST(HashTableBounce, DuplicatesNewestFirstUntilARehash)
{
    Table t;
    t.Add(1, 10);
    t.Add(1, 11);
    EXPECT_EQ(11, t.Get(1));
    EXPECT_EQ(11, t.Delete(1));
    EXPECT_EQ(10, t.Get(1));
    EXPECT_EQ(10, t.Delete(1));
    EXPECT_EQ(-1, t.Get(1));

    // The newer duplicate sits in a lower pool slot than the older one; the
    // rehash of a growth puts the higher slot first.
    Table u;
    u.Add(2, 20);   // slot 1
    u.Add(1, 10);   // slot 2, older
    u.Delete(2);    // frees slot 1
    u.Add(1, 11);   // slot 1, newer
    EXPECT_EQ(11, u.Get(1));
    for (int i = 3; i <= 9; ++i) u.Add(i * 1000, i);
    ASSERT_EQ(53u, u.dwGetNbBuckets());
    EXPECT_EQ(10, u.Get(1));
}

TEST(HashTableBounce, ShrinksBelowAQuarterOnlyWithoutAWalk)
{
    Table t;
    for (int i = 1; i <= 9; ++i) t.Add(i, i);
    ASSERT_EQ(53u, t.dwGetNbBuckets());
    for (int i = 1; i <= 5; ++i) t.Delete(i);
    EXPECT_EQ(53u, t.dwGetNbBuckets());  // 4 left: not below 17 / 4
    // With a walk open nothing shrinks.
    unsigned c = 0;
    void* v;
    ASSERT_EQ(1, t.bParseTable(&c, 0, &v, nullptr));
    EXPECT_EQ(6, t.Delete(6));
    EXPECT_EQ(53u, t.dwGetNbBuckets());
    t.StopParsing();
    EXPECT_EQ(0, t.nGetNbParcours());
    EXPECT_EQ(7, t.Delete(7));  // 2 left
    EXPECT_EQ(17u, t.dwGetNbBuckets());
    t.CheckShape();
    EXPECT_EQ(8, t.Get(8));
    EXPECT_EQ(9, t.Get(9));

    // Several steps at once: from 193 buckets down to 53 for 23 elements.
    Table u;
    for (int i = 1; i <= 49; ++i) u.Add(i, i);
    ASSERT_EQ(193u, u.dwGetNbBuckets());
    for (int i = 1; i <= 25; ++i) u.Delete(i);
    EXPECT_EQ(193u, u.dwGetNbBuckets());  // 24: not below 97 / 4
    u.Delete(26);
    EXPECT_EQ(53u, u.dwGetNbBuckets());
    u.CheckShape();
    for (int i = 27; i <= 49; ++i) EXPECT_EQ(i, u.Get(i));
}

TEST(HashTableBounce, WalksCountAndEndOnce)
{
    Table t;
    unsigned c = 0;
    void* v;
    void* k;
    EXPECT_EQ(0, t.bParseTable(&c, 0, &v, &k));  // empty: nothing opened
    EXPECT_EQ(0, t.nGetNbParcours());

    for (int i = 1; i <= 20; ++i) t.Add(i, i);
    const unsigned buckets = t.dwGetNbBuckets();
    unsigned outer = 0;
    ASSERT_EQ(1, t.bParseTable(&outer, 0, &v, &k));
    c = 0;
    int seen = 0;
    while (t.bParseTable(&c, 1, &v, &k)) {
        ++seen;
        EXPECT_EQ(N(v), N(k));
    }
    EXPECT_EQ(20, seen);
    EXPECT_EQ(0u, t.dwGetNumElement());
    EXPECT_EQ(buckets, t.dwGetNbBuckets());  // walk removals never shrink
    EXPECT_EQ(1, t.nGetNbParcours());
    EXPECT_EQ(0, t.bParseTable(&c, 1, &v, &k));  // asked again after its end
    EXPECT_EQ(1, t.nGetNbParcours());
    EXPECT_EQ(0, t.bParseTable(&outer, 0, &v, &k));  // the outer walk finds the table empty and ends
    EXPECT_EQ(0, t.nGetNbParcours());

    // A table emptied by its own walk can shrink again afterwards.
    for (int i = 1; i <= 20; ++i) t.Add(i, i);
    t.Delete(1);
    EXPECT_EQ(53u, t.dwGetNbBuckets());
    while (t.dwGetNumElement() > 0) {
        c = 0;
        t.bParseTable(&c, 0, &v, &k);
        t.StopParsing();
        t.Delete(N(k));
    }
    EXPECT_EQ(17u, t.dwGetNbBuckets());
}

TEST(HashTableBounce, ParseSetReplacesAtAPosition)
{
    Table t;
    t.Add(3, 30);
    t.Add(4, 40);
    unsigned c = 0;
    void* v;
    void* k;
    ASSERT_EQ(1, t.bParseTable(&c, 0, &v, &k));
    void* old = nullptr;
    ASSERT_EQ(1, t.bParseSetElement(c, P(99), &old));
    EXPECT_EQ(v, old);
    EXPECT_EQ(99, t.Get(N(k)));
    ASSERT_EQ(1, t.bParseSetKey(c, P(N(k) + 17), &old));  // same bucket
    EXPECT_EQ(k, old);
    EXPECT_EQ(99, t.Get(N(k) + 17));
    EXPECT_EQ(-1, t.Get(N(k)));
    t.StopParsing();
    EXPECT_EQ(0, t.bParseSetElement(0, P(1), &old));   // positions are 1-based
    EXPECT_EQ(0, t.bParseSetElement(9, P(1), &old));   // beyond the pool
    EXPECT_EQ(0, t.bParseSetElement(8, P(1), &old));   // a free slot
    EXPECT_EQ(0, t.bParseSetKey(8, P(1), &old));
}

TEST(HashTableBounce, DeleteAllResizesOnlyAFilledTable)
{
    Table t;
    t.DeleteAll(100);
    EXPECT_EQ(17u, t.dwGetNbBuckets());
    t.Add(1, 1);
    t.DeleteAll(100);
    EXPECT_EQ(389u, t.dwGetNbBuckets());
    EXPECT_EQ(0u, t.dwGetNumElement());
    EXPECT_EQ(-1, t.Get(1));
    t.Add(1, 1);
    t.DeleteAll(0);
    EXPECT_EQ(17u, t.dwGetNbBuckets());
    t.CheckShape();
    for (int i = 1; i <= 8; ++i) ASSERT_EQ(1, t.Add(i, i));
    EXPECT_EQ(17u, t.dwGetNbBuckets());
}

TEST(HashTableBounceFailure, FailedGrowthKeepsTheTable)
{
    vxtest::XmallocFailures failures;
    for (int nth : {1, 2}) {  // the pool, then the buckets
        Table t;
        for (int i = 1; i <= 8; ++i) t.Add(i, i);
        failures.FailNth(nth);
        EXPECT_EQ(0, t.Add(9, 9));
        EXPECT_EQ(17u, t.dwGetNbBuckets());
        EXPECT_EQ(8u, t.dwGetNumElement());
        t.CheckShape();
        for (int i = 1; i <= 8; ++i) EXPECT_EQ(i, t.Get(i));
        EXPECT_EQ(1, t.Delete(1));
        EXPECT_EQ(1, t.Add(1, 1));
        EXPECT_EQ(1, t.Add(9, 9));  // memory is back
        EXPECT_EQ(53u, t.dwGetNbBuckets());
        for (int i = 1; i <= 9; ++i) EXPECT_EQ(i, t.Get(i));
    }
}

TEST(HashTableBounceFailure, FailedShrinkStillReportsTheRemoval)
{
    vxtest::XmallocFailures failures;
    Table t;
    for (int i = 1; i <= 9; ++i) t.Add(i, i);
    for (int i = 1; i <= 5; ++i) t.Delete(i);
    failures.FailAll(true);
    EXPECT_EQ(6, t.Delete(6));  // the shrink fails: the element is still gone
    EXPECT_EQ(-1, t.Get(6));
    EXPECT_EQ(53u, t.dwGetNbBuckets());
    t.CheckShape();
    for (int i = 7; i <= 9; ++i) EXPECT_EQ(i, t.Get(i));
    failures.FailAll(false);
    EXPECT_EQ(7, t.Delete(7));
    EXPECT_EQ(17u, t.dwGetNbBuckets());
    EXPECT_EQ(8, t.Get(8));
    EXPECT_EQ(9, t.Get(9));

    // A pool block that cannot shrink is kept; the table still shrinks.
    Table u;
    for (int i = 1; i <= 9; ++i) u.Add(i, i);
    for (int i = 1; i <= 5; ++i) u.Delete(i);
    failures.FailNth(2);
    EXPECT_EQ(6, u.Delete(6));
    EXPECT_EQ(17u, u.dwGetNbBuckets());
    for (int i = 7; i <= 9; ++i) EXPECT_EQ(i, u.Get(i));
    for (int i = 10; i <= 14; ++i) EXPECT_EQ(1, u.Add(i, i));
    EXPECT_EQ(8u, u.dwGetNumElement());
}

TEST(HashTableBounceFailure, TableWithoutMemoryRecovers)
{
    vxtest::XmallocFailures failures;
    failures.FailNth(1);
    Table t(30);
    EXPECT_EQ(0u, t.dwGetNumElement());
    EXPECT_EQ(-1, t.Get(1));
    unsigned c = 0;
    void* v;
    EXPECT_EQ(0, t.bParseTable(&c, 0, &v, nullptr));
    EXPECT_EQ(0, t.bParseSetElement(1, P(1), nullptr));
    ASSERT_EQ(1, t.Add(1, 1));
    EXPECT_EQ(97u, t.dwGetNbBuckets());  // the size first asked for
    EXPECT_EQ(1, t.Get(1));

    // DeleteAll without memory empties the table at its own size.
    for (int i = 2; i <= 30; ++i) t.Add(i, i);
    failures.FailAll(true);
    t.DeleteAll(7);
    EXPECT_EQ(0u, t.dwGetNumElement());
    EXPECT_EQ(97u, t.dwGetNbBuckets());
    EXPECT_EQ(-1, t.Get(5));
    failures.FailAll(false);
    for (int i = 1; i <= 48; ++i) ASSERT_EQ(1, t.Add(i, i));
    EXPECT_EQ(97u, t.dwGetNbBuckets());
    t.CheckShape();
}

// Random additions (with duplicate keys), removals, look-ups and walks that
// remove, add and delete while they run, against std::unordered_multimap.
// Values are unique, so every element can be told apart.
void RunModel(uint32_t seed, double failureRate)
{
    vxtest::XmallocFailures failures;
    Table t;
    failures.FailRandomly(failureRate, seed);
    std::mt19937 rng(seed);
    auto pick = [&](unsigned n) { return static_cast<intptr_t>(rng() % n); };
    std::unordered_multimap<intptr_t, intptr_t> model;
    intptr_t nextValue = 1;
    unsigned keyRange = 50;

    auto removeFromModel = [&](intptr_t k, intptr_t v) {
        auto range = model.equal_range(k);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == v) {
                model.erase(it);
                return true;
            }
        }
        return false;
    };
    auto add = [&]() {
        const intptr_t k = 1 + pick(keyRange);
        const intptr_t v = nextValue++;
        const int ok = t.Add(k, v);
        if (ok) model.emplace(k, v);
        if (failureRate == 0) {
            ASSERT_EQ(1, ok);
        }
    };
    auto del = [&]() {
        const intptr_t k = 1 + pick(keyRange);
        void* v;
        void* sk;
        const int ok = t.bDeleteElement(P(k), &v, &sk);
        ASSERT_EQ(model.count(k) > 0 ? 1 : 0, ok) << k;
        if (ok) {
            ASSERT_EQ(k, N(sk));
            ASSERT_TRUE(removeFromModel(k, N(v)));
        }
    };

    for (int step = 0; step < 6000; ++step) {
        if (step % 1500 == 0) keyRange = 20 + static_cast<unsigned>(rng() % 4000);
        const int op = static_cast<int>(pick(100));
        if (op < 40) {
            add();
        } else if (op < 75) {
            del();
        } else if (op < 90) {
            const intptr_t k = 1 + pick(keyRange);
            void* v;
            void* sk;
            const int ok = t.bGetElement(P(k), &v, &sk);
            ASSERT_EQ(model.count(k) > 0 ? 1 : 0, ok);
            if (ok) {
                ASSERT_EQ(k, N(sk));
                bool found = false;
                auto range = model.equal_range(k);
                for (auto it = range.first; it != range.second; ++it) found |= it->second == N(v);
                ASSERT_TRUE(found);
            }
        } else if (op < 99) {
            // A walk that removes some of what it visits and edits the table meanwhile.
            std::multiset<std::pair<intptr_t, intptr_t>> untouched(model.begin(), model.end());
            std::set<intptr_t> visited;
            unsigned c = 0;
            void* v;
            void* k;
            while (true) {
                const int remove = static_cast<int>(pick(3) == 0);
                if (!t.bParseTable(&c, remove, &v, &k)) break;
                ASSERT_TRUE(visited.insert(N(v)).second) << "visited twice";
                // What a walk hands back is in the table at that moment.
                auto range = model.equal_range(N(k));
                ASSERT_TRUE(std::any_of(range.first, range.second, [&](auto& e) { return e.second == N(v); }));
                if (auto it = untouched.find({N(k), N(v)}); it != untouched.end()) untouched.erase(it);
                if (remove) removeFromModel(N(k), N(v));
                const intptr_t side = pick(10);
                if (side == 0) {
                    add();
                } else if (side == 1) {
                    const intptr_t k2 = 1 + pick(keyRange);
                    void* v2;
                    if (t.bDeleteElement(P(k2), &v2, nullptr)) {
                        removeFromModel(k2, N(v2));
                        auto it = std::find_if(untouched.begin(), untouched.end(),
                                               [&](auto& e) { return e.second == N(v2); });
                        if (it != untouched.end()) untouched.erase(it);
                    }
                }
                if (pick(40) == 0) {
                    t.StopParsing();
                    untouched.clear();
                    break;
                }
            }
            // Everything present for the whole walk was visited.
            ASSERT_TRUE(untouched.empty()) << untouched.size() << " elements missed";
            ASSERT_EQ(0, t.nGetNbParcours());
        } else {
            t.DeleteAll(static_cast<unsigned>(pick(200)));
            model.clear();
        }
        ASSERT_EQ(model.size(), t.dwGetNumElement()) << "seed " << seed << " step " << step;
        t.CheckShape();
        if (step % 250 == 0) {
            std::multiset<std::pair<intptr_t, intptr_t>> expected(model.begin(), model.end());
            ASSERT_EQ(expected, t.All()) << "seed " << seed << " step " << step;
        }
    }
    if (failureRate > 0) {
        EXPECT_GT(failures.Failures(), 0);
    }
}

TEST(HashTableBounceProperty, MatchesAMultimap)
{
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        RunModel(seed, 0.0);
    }
}

TEST(HashTableBounceProperty, MatchesAMultimapWhileAllocationsFail)
{
    for (uint32_t seed = 11; seed <= 14; ++seed) {
        SCOPED_TRACE(seed);
        RunModel(seed, 0.2);
    }
}

}  // namespace
