// Duplicate buckets: the size classes a key's values pass through on the way
// up to a nested tree and back down to the leaf slot, failed insertions, the
// position kept on its value through every change of class, and the sizes of
// the bucket pools.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "native/model/mem_bucket.h"
#include "tests/native/model/btree_fixture.h"

namespace {

using vxtest::ScriptedTree;
using BucketTest = vxtest::BTreeTest;

// The class a key with n values has, going up and going down.
int ClassGoingUp(int n)
{
    if (n == 1) return -1;
    if (n <= 2) return 0;
    if (n <= 4) return 1;
    if (n <= 8) return 2;
    if (n <= 16) return 3;
    if (n <= 32) return 4;
    if (n <= 64) return 5;
    return 6;
}

// A removal at or below a class's minimum moves to the class below; the
// tree turns back into a vector at 55 values.
int ClassGoingDown(int n)
{
    if (n == 1) return -1;
    if (n <= 5) return 2;
    if (n <= 8) return 3;
    if (n <= 17) return 4;
    if (n <= 55) return 5;
    return 6;
}

TEST_F(BucketTest, ClassesOnTheWayUpAndDown)
{
    for (int order : {0, 2}) {
        ScriptedTree t(order, 4, 4);
        std::mt19937 rng(static_cast<uint32_t>(order) + 1);
        std::vector<uint32_t> values(70);
        for (uint32_t i = 0; i < 70; ++i) values[i] = i * 5;
        std::shuffle(values.begin(), values.end(), rng);
        t.Insert(1, 0);
        t.Insert(3, 0);
        const std::string key = t.K(2);
        for (int n = 1; n <= 70; ++n) {
            ASSERT_TRUE(t.Insert(2, values[n - 1]));
            ASSERT_EQ(ClassGoingUp(n), CMemBTreeInspector(t.tree).BucketClass(key.data())) << n << " values";
        }
        ASSERT_EQ("", t.Check());
        std::shuffle(values.begin(), values.end(), rng);
        for (int n = 69; n >= 1; --n) {
            ASSERT_TRUE(t.Delete(2, values[n]));
            ASSERT_EQ(ClassGoingDown(n), CMemBTreeInspector(t.tree).BucketClass(key.data())) << n << " values left";
        }
        EXPECT_EQ("", t.Check());
        for (int c = 0; c < CMemBucket::kNumClass; ++c)
            EXPECT_EQ(0u, CMemBTreeInspector(t.tree).BucketPool(c).nGetNumAllocated()) << "class " << c;
        t.Delete(1, std::nullopt);
        t.Delete(2, std::nullopt);
        t.Delete(3, std::nullopt);
    }
}

TEST_F(BucketTest, LastButOneValueGoesBackToTheSlot)
{
    ScriptedTree t(0);
    t.Insert(5, 1);
    t.Insert(5, 2);
    t.Insert(5, 3);  // class 1 with 3 values
    const std::string key = t.K(5);
    EXPECT_EQ(1, CMemBTreeInspector(t.tree).BucketClass(key.data()));
    t.Delete(5, 3u);
    EXPECT_EQ(1, CMemBTreeInspector(t.tree).BucketClass(key.data()));
    ASSERT_TRUE(t.Find(5, 2));
    t.Delete(5, 1u);
    EXPECT_EQ(-1, CMemBTreeInspector(t.tree).BucketClass(key.data()));
    EXPECT_EQ(2u, t.ReadValue());
    EXPECT_EQ(1, t.tree.nNumDuplicates());
    EXPECT_EQ("", t.Check());
    t.Delete(5, std::nullopt);
}

TEST_F(BucketTest, PresentValueIsRefusedInEveryClass)
{
    ScriptedTree t(3, 4, 4);
    const std::string key = t.K(9);
    for (uint32_t v = 0; v < 80; ++v) {
        t.Insert(9, v);
        const unsigned before = CMemBTreeInspector(t.tree).PoolObjects();
        for (uint32_t again : {0u, v / 2, v}) ASSERT_FALSE(t.Insert(9, again));
        ASSERT_EQ(before, CMemBTreeInspector(t.tree).PoolObjects());
    }
    EXPECT_EQ("", t.Check());
    t.Delete(9, std::nullopt);
}

// The position sits on one value of a key while the other values come and go
// through every class; removing its own value moves it to the next one, and
// from the key's last value to the next key.
TEST_F(BucketTest, PositionKeepsItsValueThroughChangesOfClass)
{
    for (int order : {0, 3}) {
        ScriptedTree t(order, 2, 2);
        t.Insert(1, 0);
        t.Insert(3, 0);
        std::mt19937 rng(static_cast<uint32_t>(order) + 11);
        std::vector<uint32_t> values(90);
        for (uint32_t i = 0; i < 90; ++i) values[i] = i;
        std::shuffle(values.begin(), values.end(), rng);
        t.Insert(2, 45);
        ASSERT_TRUE(t.Find(2, 45));
        for (uint32_t v : values) {
            t.Insert(2, v);
            ASSERT_EQ("", t.Check()) << "after inserting " << v;
        }
        std::shuffle(values.begin(), values.end(), rng);
        for (uint32_t v : values) {
            if (v == 45) continue;
            t.Delete(2, v);
            ASSERT_EQ("", t.Check()) << "after deleting " << v;
        }
        for (uint32_t v = 0; v < 90; v += 3) t.Insert(2, v);
        for (uint32_t v : {45u, 48u, 51u}) {
            ASSERT_EQ(1, t.tree.bDeleteCurrentRecord());
            t.model.EraseCurrent();
            ASSERT_EQ("", t.Check()) << "after deleting the current value " << v;
        }
        ASSERT_TRUE(t.Find(2, 87));  // the last value
        ASSERT_EQ(1, t.tree.bDeleteCurrentRecord());
        t.model.EraseCurrent();
        EXPECT_EQ(3u, t.ReadKey());
        EXPECT_EQ("", t.Check());
        for (uint32_t k : {1u, 2u, 3u}) t.Delete(k, std::nullopt);
    }
}

TEST_F(BucketTest, PoolsAreSizedFromTheRealObjects)
{
    CMemBTree tree;
    ASSERT_EQ(1, tree.bInit(8, 4, vxtest::MemCompare, vxtest::MemCompare, 0));
    CMemBTreeInspector in(tree);
    const size_t maxima[] = {2, 4, 8, 16, 32, 64};
    for (int c = 0; c < 6; ++c) {
        EXPECT_GE(in.BucketPool(c).nGetObjSize(), maxima[c] * 4) << c;
        EXPECT_EQ(CTObjAlloc::g_nObjPerChunk(in.BucketPool(c).nGetObjSize()), in.BucketPool(c).nGetObjPerChunk());
    }
    EXPECT_GE(in.BucketPool(CMemBucket::kTreeClass).nGetObjSize(), sizeof(CMemBTree));
}

}  // namespace
