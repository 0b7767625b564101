// Bulk loads: the leaf shares and inner levels of builds of 1 to 1,000
// distinct keys, duplicates gathered into buckets of the right class, the
// sort of unordered input (runs of equal keys, reversed and short inputs),
// and builds that fail leaving the tree and the pools as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/native/model/btree_fixture.h"

namespace {

using vxtest::ScriptedTree;
using BulkTest = vxtest::BTreeTest;
using Records = std::vector<std::pair<uint32_t, uint32_t>>;

// Loads the records into the tree and, when that succeeds and it is asked,
// into the model.
bool Load(ScriptedTree* t, const Records& records, bool model = true)
{
    std::string keys, values;
    for (const auto& [k, v] : records) {
        keys += t->K(k);
        values += t->V(v);
    }
    const bool ok = t->tree.bLoadBulk(keys.data(), values.data(), static_cast<int>(records.size())) == 1;
    if (ok && model) t->model.Load(records);
    return ok;
}

// Even shares: L = (d - 1) / order + 1 leaves, the first d mod L one more.
std::vector<int> Shares(int d, int order)
{
    const int leaves = (d - 1) / order + 1;
    std::vector<int> shares(static_cast<size_t>(leaves), d / leaves);
    for (int i = 0; i < d % leaves; ++i) ++shares[static_cast<size_t>(i)];
    return shares;
}

// Inner levels of (c - 1) / m + 1 nodes over c children until one is left;
// m is the order, or the order + 1 below 3.
int Depth(int d, int order)
{
    const int m = order < 3 ? order + 1 : order;
    int c = (d - 1) / order + 1;
    int depth = 0;
    do {
        c = (c - 1) / m + 1;
        ++depth;
    } while (c > 1);
    return depth;
}

TEST_F(BulkTest, HundredKeysOfOrder32MakeFourLeavesOf25)
{
    ScriptedTree t(0);
    Records records;
    for (uint32_t k = 0; k < 100; ++k) records.emplace_back(k, k);
    ASSERT_TRUE(Load(&t, records));
    EXPECT_EQ((std::vector<int>{25, 25, 25, 25}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    EXPECT_EQ("", t.Check());
}

TEST_F(BulkTest, LeafSharesForOneToThousandKeys)
{
    for (int order : {0, 2, 3, 5}) {
        const int keysPerNode = order == 0 ? 32 : order;
        ScriptedTree t(order, 2, 2);
        std::mt19937 rng(static_cast<uint32_t>(order));
        // Every size for the default order and an odd one, a sample for the others.
        const int step = order == 0 || order == 3 ? 1 : 7;
        for (int d = 1; d <= 1000; d += d < 100 ? 1 : step) {
            Records records;
            for (int k = 0; k < d; ++k) records.emplace_back(static_cast<uint32_t>(k) * 2, static_cast<uint32_t>(k));
            std::shuffle(records.begin(), records.end(), rng);
            // The whole walk and the model on a sample of sizes.
            const bool sample = d <= 70 || d % 61 == 0;
            ASSERT_TRUE(Load(&t, records, sample)) << d;
            CMemBTreeInspector in(t.tree);
            ASSERT_EQ(Shares(d, keysPerNode), in.LeafKeyCounts()) << "order " << order << ", " << d;
            ASSERT_EQ(Depth(d, keysPerNode), in.Depth()) << "order " << order << ", " << d;
            if (sample) {
                ASSERT_EQ("", t.Check()) << "order " << order << ", " << d;
                ASSERT_EQ(0, in.StaleSeparators());
            }
        }
        // A loaded tree keeps working.
        Records all;
        for (uint32_t k = 0; k < 400; k += 2) all.emplace_back(k, k);
        ASSERT_TRUE(Load(&t, all));
        for (uint32_t k = 1; k < 400; k += 2) t.Insert(k, k);
        for (uint32_t k = 0; k < 400; k += 3) t.Delete(k, std::nullopt);
        EXPECT_EQ("", t.Check());
    }
}

TEST_F(BulkTest, EqualKeysFillBucketsOfTheirClass)
{
    ScriptedTree t(4, 4, 4);
    const int runs[] = {1, 2, 3, 5, 9, 17, 33, 64, 65, 200};
    const int classes[] = {-1, 0, 1, 2, 3, 4, 5, 5, 6, 6};
    Records records;
    for (uint32_t i = 0; i < 10; ++i) {
        for (int v = 0; v < runs[i]; ++v) records.emplace_back(i, static_cast<uint32_t>(v * 7 % 1000));
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(3));
    ASSERT_TRUE(Load(&t, records));
    EXPECT_EQ(Shares(10, 4), CMemBTreeInspector(t.tree).LeafKeyCounts()) << "leaves share distinct keys";
    for (uint32_t i = 0; i < 10; ++i) {
        const std::string key = t.K(i);
        EXPECT_EQ(classes[i], CMemBTreeInspector(t.tree).BucketClass(key.data())) << runs[i] << " values";
    }
    EXPECT_EQ("", t.Check());
    t.tree.MoveTo(0);
    t.model.MoveTo(0);
    for (int step = 0; step < 400; ++step) {
        int moved, modelMoved;
        const bool ok = t.tree.bAdvance(1, &moved, 0) == 1;
        ASSERT_EQ(t.model.Advance(1, 0, &modelMoved), ok);
        ASSERT_EQ("", t.model.PositionDiff(t.tree));
    }
}

TEST_F(BulkTest, SortsAnyInputOrder)
{
    struct Case { const char* name; int n; int keys; bool reversed; };
    const Case cases[] = {
        {"short", 7, 7, false},
        {"nine", 9, 9, true},
        {"reversed", 3000, 3000, true},
        {"one key", 2000, 1, false},
        {"few keys", 5000, 3, false},
        {"random", 5000, 4000, false},
    };
    for (const Case& c : cases) {
        ScriptedTree t(0, 3, 3);
        Records records;
        std::mt19937 rng(static_cast<uint32_t>(c.n));
        for (int i = 0; i < c.n; ++i)
            records.emplace_back(static_cast<uint32_t>(i % c.keys), static_cast<uint32_t>(i / c.keys * 3 + i % 2));
        if (c.reversed)
            std::reverse(records.begin(), records.end());
        else
            std::shuffle(records.begin(), records.end(), rng);
        std::sort(records.begin(), records.end());
        records.erase(std::unique(records.begin(), records.end()), records.end());
        if (!c.reversed) std::shuffle(records.begin(), records.end(), rng);
        ASSERT_TRUE(Load(&t, records)) << c.name;
        EXPECT_EQ("", t.Check()) << c.name;
    }

    ScriptedTree keysOnly(3, 4, 0);
    Records keys;
    for (uint32_t k = 0; k < 500; ++k) keys.emplace_back((k * 7919) % 500, 0);
    ASSERT_TRUE(Load(&keysOnly, keys));
    EXPECT_EQ("", keysOnly.Check());
}

TEST_F(BulkTest, FailedLoadsChangeNothing)
{
    ScriptedTree t(3, 2, 2);
    Records records;
    for (uint32_t k = 0; k < 300; ++k) records.emplace_back(k, k % 4);
    records.emplace_back(150, 2);  // 150 holds 150 % 4 = 2 already
    const unsigned before = CMemBTreeInspector(t.tree).PoolObjects();
    EXPECT_FALSE(Load(&t, records));
    EXPECT_EQ(before, CMemBTreeInspector(t.tree).PoolObjects());
    EXPECT_EQ(0, t.tree.nGetNumRecord());

    records.pop_back();
    ASSERT_TRUE(Load(&t, records));
    t.Find(100, 0);
    records.emplace_back(7, 3);
    records.emplace_back(7, 3);
    const unsigned loaded = CMemBTreeInspector(t.tree).PoolObjects();
    EXPECT_FALSE(Load(&t, records));
    EXPECT_EQ(loaded, CMemBTreeInspector(t.tree).PoolObjects());
    EXPECT_EQ("", t.Check()) << "content and position kept";

    ScriptedTree keysOnly(0, 2, 0);
    std::string keys = keysOnly.K(5) + keysOnly.K(6) + keysOnly.K(5);
    EXPECT_EQ(0, keysOnly.tree.bLoadBulk(keys.data(), nullptr, 3));
    EXPECT_EQ(0u, CMemBTreeInspector(keysOnly.tree).PoolObjects());
    EXPECT_EQ(0, keysOnly.tree.bLoadBulk(keys.data(), nullptr, -1));
    EXPECT_EQ(0, keysOnly.tree.bLoadBulk(nullptr, nullptr, 2));

    // Nothing to load empties the tree.
    EXPECT_EQ(1, t.tree.bLoadBulk(nullptr, nullptr, 0));
    t.model.Load({});
    EXPECT_EQ("", t.Check());
}

}  // namespace
