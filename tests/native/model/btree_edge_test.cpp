// CMemBTree's set-up and the edge cases where a tree goes wrong most easily:
// searches and moves at the ends, record counts with duplicates, the tree
// emptying, order 1, a new key below the first of a full leaf whose left
// brother has room, and separators kept exact by the first-key report.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/native/model/btree_fixture.h"

namespace {

using vxtest::MemCompare;
using vxtest::ScriptedTree;
using EdgeTest = vxtest::BTreeTest;

TEST_F(EdgeTest, InitRefusesWhatCannotWork)
{
    struct Case { unsigned long keySize, valueSize; PFMEMBTREECOMPARE key, value; int order; int ok; };
    const Case cases[] = {
        {4, 4, MemCompare, MemCompare, 0, 1},
        {4, 4, MemCompare, MemCompare, 2, 1},
        {4, 0, MemCompare, nullptr, 3, 1},  // keys only need no value comparison
        {4, 4, MemCompare, MemCompare, 1, 0},  // a split leaf would keep 1 key and then take 2
        {4, 4, MemCompare, MemCompare, -1, 0},
        {0, 4, MemCompare, MemCompare, 0, 0},
        {4, 4, nullptr, MemCompare, 0, 0},
        {4, 4, MemCompare, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        CMemBTree tree;
        EXPECT_EQ(c.ok, tree.bInit(c.keySize, c.valueSize, c.key, c.value, c.order)) << "order " << c.order;
        if (c.ok) {
            EXPECT_EQ(0, tree.bInit(4, 4, MemCompare, MemCompare, 0)) << "a second set-up";
        }
        CMemBTree* p = CMemBTree::pclCreate(c.keySize, c.valueSize, c.key, c.value, c.order);
        EXPECT_EQ(c.ok != 0, p != nullptr);
        delete p;
    }
    // Without set-up nothing works and nothing breaks.
    CMemBTree bare;
    const char key[4] = {};
    EXPECT_EQ(0, bare.bInsert(key, key));
    EXPECT_EQ(0, bare.bLoadBulk(key, key, 1));
    EXPECT_EQ(nullptr, bare.pSearch(key, 0));
    EXPECT_EQ(0, bare.bAdvance(1, nullptr, 0));
}

TEST_F(EdgeTest, OrderZeroHolds32KeysAndUnderflowsBelow16)
{
    ScriptedTree t(0);
    for (uint32_t k = 0; k < 32; ++k) t.Insert(k, k);
    CMemBTreeInspector in(t.tree);
    EXPECT_EQ(std::vector<int>{32}, in.LeafKeyCounts());
    EXPECT_EQ(1, in.Depth());  // the root is an inner node over the single leaf
    t.Insert(32, 0);
    t.Insert(33, 0);
    EXPECT_EQ((std::vector<int>{16, 18}), in.LeafKeyCounts());
    // The left leaf at 16 loses one: 15 + 18 do not fit in 32, so it borrows.
    t.Delete(0, std::nullopt);
    EXPECT_EQ((std::vector<int>{16, 17}), in.LeafKeyCounts());
    // Now 15 + 17 fit: they merge.
    t.Delete(1, std::nullopt);
    EXPECT_EQ(std::vector<int>{32}, in.LeafKeyCounts());
    EXPECT_EQ("", t.Check());
}

TEST_F(EdgeTest, DuplicatesCountAsRecords)
{
    ScriptedTree t(0);
    EXPECT_TRUE(t.Insert(7, 1));
    EXPECT_FALSE(t.Insert(7, 1));
    EXPECT_TRUE(t.Insert(7, 2));
    EXPECT_EQ(2, t.tree.nGetNumRecord());
    EXPECT_EQ(1, t.tree.nGetNumKey());
    ASSERT_TRUE(t.Find(7, 2));
    EXPECT_EQ(2, t.tree.nNumDuplicates());
    EXPECT_EQ(2u, t.ReadValue());
    EXPECT_EQ("", t.Check());

    ScriptedTree keysOnly(3, 4, 0);
    EXPECT_TRUE(keysOnly.Insert(7));
    EXPECT_FALSE(keysOnly.Insert(7));
    EXPECT_EQ(1, keysOnly.tree.nGetNumRecord());
    EXPECT_EQ("", keysOnly.Check());
}

TEST_F(EdgeTest, SearchLandsOnlyOnRecords)
{
    ScriptedTree t(3);
    for (uint32_t k = 10; k <= 100; k += 10) t.Insert(k, 1);
    t.Insert(50, 2);
    t.Insert(50, 3);
    ASSERT_TRUE(t.Find(30, 1));

    struct Case { uint32_t key; int flags; bool lands; uint32_t k, v; };
    const Case cases[] = {
        {45, CMemBTree::kSearchExact, false, 0, 0},
        {5, CMemBTree::kSearchLast, false, 0, 0},   // nothing smaller
        {105, 0, false, 0, 0},                      // nothing greater
        {50, 0, true, 50, 1},                       // first of the duplicates
        {50, CMemBTree::kSearchLast, true, 50, 3},  // last of them
        {50, CMemBTree::kSearchExact | CMemBTree::kSearchLast, true, 50, 3},
        {45, 0, true, 50, 1},                       // next greater key
        {55, CMemBTree::kSearchLast, true, 50, 3},  // greatest smaller key, its last value
        {105, CMemBTree::kSearchLast, true, 100, 1},
        {5, 0, true, 10, 1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(t.Find(30, 1));
        const std::string key = t.K(c.key);
        const void* p = t.tree.pSearch(key.data(), c.flags);
        EXPECT_EQ(c.lands, p != nullptr) << c.key << " flags " << c.flags;
        if (c.lands) {
            EXPECT_EQ(c.v, t.Decode(p, 4));
            EXPECT_EQ(c.k, t.ReadKey());
            EXPECT_EQ(c.v, t.ReadValue());
        } else {
            EXPECT_EQ(30u, t.ReadKey()) << "a search that finds nothing leaves the position";
        }
    }

    // Without values the search answers null but still moves.
    ScriptedTree keysOnly(3, 4, 0);
    for (uint32_t k = 10; k <= 50; k += 10) keysOnly.Insert(k);
    const std::string key = keysOnly.K(25);
    EXPECT_EQ(nullptr, keysOnly.tree.pSearch(key.data(), 0));
    EXPECT_EQ(30u, keysOnly.ReadKey());

    CMemBTree empty;
    ASSERT_EQ(1, empty.bInit(4, 4, MemCompare, MemCompare, 0));
    EXPECT_EQ(nullptr, empty.pSearch(key.data(), 0));
}

TEST_F(EdgeTest, MoveToClampsToTheRecords)
{
    ScriptedTree t(2);
    for (uint32_t k = 0; k < 20; ++k) t.Insert(k, k);
    for (int n : {0, 7, 19, 20, 21, -1, INT_MIN, INT_MAX}) {
        t.tree.MoveTo(n);
        t.model.MoveTo(n);
        EXPECT_EQ("", t.Check()) << "MoveTo(" << n << ")";
    }
    t.tree.MoveTo(-5);
    EXPECT_EQ(0u, t.ReadKey());
    t.tree.MoveTo(20);
    EXPECT_EQ(nullptr, t.tree.pReadKey());
    EXPECT_EQ(1, t.tree.bAdvance(0, nullptr, CMemBTree::kAdvanceAllowEnd));
    EXPECT_EQ(0, t.tree.bAdvance(0, nullptr, 0));
}

TEST_F(EdgeTest, AdvanceAtTheEnds)
{
    ScriptedTree t(4);
    for (uint32_t k = 1; k <= 10; ++k) t.Insert(k, 0);
    t.Insert(1, 1);  // the first key has two values

    struct Case { int at; int count; int flags; int ok; int moved; int landsAt; };  // -1: the end
    const Case cases[] = {
        {9, 3, 0, 0, 1, 9},                             // from the second-last: stops short, unchanged
        {9, 3, CMemBTree::kAdvancePartial, 1, 1, 10},   // partial: on the last record
        {9, 3, CMemBTree::kAdvanceAllowEnd, 0, 2, 9},
        {9, 2, CMemBTree::kAdvanceAllowEnd, 1, 2, -1},
        {10, 1, 0, 0, 0, 10},                           // the last record: no end without flag 4
        {10, 1, CMemBTree::kAdvanceAllowEnd, 1, 1, -1},
        {-1, 1, CMemBTree::kAdvanceAllowEnd, 0, 0, -1},
        {-1, -1, 0, 1, -1, 10},
        {0, -1, 0, 0, 0, 0},                            // the first record
        {1, -1, CMemBTree::kAdvanceByKey, 0, 0, 1},     // second value of the first key
        {1, -1, 0, 1, -1, 0},
        {0, 1, CMemBTree::kAdvanceByKey, 1, 1, 2},      // a key counts once
        {5, -2147483647, 0, 0, -5, 5},                  // the records in front, position kept
        {5, INT_MIN, CMemBTree::kAdvancePartial, 1, -5, 0},
        {5, INT_MAX, CMemBTree::kAdvancePartial, 1, 5, 10},
        {5, 0, 0, 1, 0, 5},
    };
    for (const Case& c : cases) {
        t.tree.MoveTo(c.at < 0 ? INT_MAX : c.at);
        int moved = 99;
        EXPECT_EQ(c.ok, t.tree.bAdvance(c.count, &moved, c.flags)) << c.at << " by " << c.count;
        EXPECT_EQ(c.moved, moved) << c.at << " by " << c.count;
        t.model.MoveTo(c.landsAt < 0 ? INT_MAX : c.landsAt);
        EXPECT_EQ("", t.Check()) << c.at << " by " << c.count;
    }
}

TEST_F(EdgeTest, DeletionsAndTheEmptyTree)
{
    ScriptedTree t(3);
    for (uint32_t k = 0; k < 50; ++k) t.Insert(k, 1);
    t.Insert(20, 2);
    t.Insert(20, 3);
    EXPECT_FALSE(t.Delete(99, std::nullopt));
    EXPECT_FALSE(t.Delete(20, 9u));
    EXPECT_FALSE(t.Delete(21, 9u));
    EXPECT_TRUE(t.Delete(20, std::nullopt));  // the key and its three values
    EXPECT_EQ(49, t.tree.nGetNumRecord());

    // The current record goes: the position passes to the next one.
    ASSERT_TRUE(t.Find(30, 1));
    EXPECT_EQ(1, t.tree.bDeleteCurrentRecord());
    t.model.EraseCurrent();
    EXPECT_EQ(31u, t.ReadKey());
    EXPECT_EQ("", t.Check());

    const int depth = CMemBTreeInspector(t.tree).Depth();
    for (uint32_t k = 0; k < 45; ++k) t.Delete(k, 1u);
    EXPECT_LT(CMemBTreeInspector(t.tree).Depth(), depth) << "emptied roots give way to their child";
    EXPECT_EQ("", t.Check());
    t.tree.GotoEnd();
    t.model.GotoEnd();
    EXPECT_EQ(0, t.tree.bDeleteCurrentRecord());
    for (uint32_t k = 45; k < 50; ++k) t.Delete(k, std::nullopt);
    EXPECT_EQ(0, t.tree.nGetNumRecord());
    EXPECT_EQ(0u, CMemBTreeInspector(t.tree).PoolObjects());
    EXPECT_EQ(CMemBTreeInspector::Where::None, CMemBTreeInspector(t.tree).Position());
    EXPECT_EQ(0, t.tree.bAdvance(0, nullptr, CMemBTree::kAdvanceAllowEnd));
    EXPECT_EQ("", t.Check());

    // The tree works again after emptying, first record at the end position.
    EXPECT_TRUE(t.Insert(5, 5));
    EXPECT_EQ("", t.Check());
}

// A key removed with all its values leaves its leaf like any removed key:
// the leaf is rebalanced, never left under-filled or empty.
TEST_F(EdgeTest, WholeKeyRemovalRebalancesItsLeaf)
{
    ScriptedTree t(4);
    for (uint32_t k = 1; k <= 6; ++k) {
        for (uint32_t v = 0; v < 3; ++v) t.Insert(k, v);
    }
    ASSERT_EQ((std::vector<int>{2, 4}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    t.Delete(3, std::nullopt);
    t.Delete(4, std::nullopt);
    EXPECT_EQ((std::vector<int>{2, 2}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    t.Delete(5, std::nullopt);  // 1 key left: it merges into its brother
    EXPECT_EQ((std::vector<int>{3}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    EXPECT_EQ("", t.Check());
    for (uint32_t k : {1u, 2u, 6u}) t.Delete(k, std::nullopt);
    EXPECT_EQ(0u, CMemBTreeInspector(t.tree).PoolObjects());
}

TEST_F(EdgeTest, ArgumentsMayLieInsideTheTree)
{
    ScriptedTree t(2);
    for (uint32_t k = 0; k < 40; ++k) t.Insert(k, k);
    // The key and value read at the position, handed back while nodes move.
    ASSERT_TRUE(t.Find(10, 10));
    EXPECT_EQ(1, t.tree.bDelete(t.tree.pReadKey(), t.tree.pReadValue()));
    t.model.Erase(10, 10u);
    EXPECT_EQ("", t.Check());
    ASSERT_TRUE(t.Find(0, 0));
    EXPECT_EQ(0, t.tree.bInsert(t.tree.pReadKey(), t.tree.pReadValue()));
    EXPECT_EQ("", t.Check());
}

// A full leaf whose right brother is absent and whose left brother has room
// takes a key below its first one (a separator below a leaf's first key stays
// after the leaf before it emptied and merged): the new key goes to the end of
// the left brother.
TEST_F(EdgeTest, NewKeyBelowAFullLeafGoesToTheLeftBrother)
{
    ScriptedTree t(3);
    std::string keys, values;
    for (uint32_t k = 10; k <= 70; k += 10) {
        keys += t.K(k);
        values += t.V(k);
        t.model.Insert(k, k);
    }
    // 7 keys at order 3: leaves 10 20 30 | 40 50 | 60 70 under one root.
    ASSERT_EQ(1, t.tree.bLoadBulk(keys.data(), values.data(), 7));
    t.model.GotoEnd();
    t.Delete(40, std::nullopt);
    t.Delete(50, std::nullopt);  // the leaf empties; its right brother merges in
    ASSERT_EQ((std::vector<int>{3, 2}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    t.Insert(65, 65);  // 60 65 70: full, no right brother
    t.Delete(20, std::nullopt);
    t.Insert(55, 55);  // at or above the separator, below 60
    EXPECT_EQ((std::vector<int>{3, 3}), CMemBTreeInspector(t.tree).LeafKeyCounts());
    EXPECT_EQ("", t.Check());
    for (uint32_t k : {10u, 30u, 55u, 60u, 65u, 70u}) EXPECT_TRUE(t.Find(k, k)) << k;
}

// Deletions only, from a bulk-built tree: every separator stays the first key
// of the subtree on its right, because a leaf that loses its first key reports
// the new one up to the separator that bounds it.
TEST_F(EdgeTest, FirstKeyReportKeepsSeparatorsExact)
{
    for (int order : {4, 0}) {
        ScriptedTree t(order);
        std::string keys, values;
        for (uint32_t k = 0; k < 1500; ++k) {
            keys += t.K(k * 3);
            values += t.V(k);
            t.model.Insert(k * 3, k);
        }
        ASSERT_EQ(1, t.tree.bLoadBulk(keys.data(), values.data(), 1500));
        t.model.GotoEnd();
        uint32_t seed = 7;
        for (int i = 0; i < 1200; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t k = (seed >> 8) % 1500 * 3;
            if (t.model.Map().count(k) == 0) continue;
            t.Delete(k, std::nullopt);
            ASSERT_EQ(0, CMemBTreeInspector(t.tree).StaleSeparators()) << "order " << order << ", deleting " << k;
        }
        EXPECT_EQ("", t.Check());
    }
}

}  // namespace
