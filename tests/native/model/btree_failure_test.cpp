// Memory that cannot be had: one sequence of operations (splits and rotations,
// a key's values growing into a nested tree and shrinking back through every
// class, bulk loads with large buckets, positions inside buckets) is run again
// and again with the n-th allocation of the heap wrappers failing, for every n
// until a run passes without a failure. An operation that fails must leave the
// tree exactly as it was, content, shape and position; every other operation
// must answer as the model does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/xmalloc_failures.h"
#include "tests/native/model/btree_fixture.h"

namespace {

using vxtest::BTreeModel;
using FailureTest = vxtest::BTreeTest;

constexpr unsigned long kKeySize = 200;

struct Op
{
    enum Kind { Insert, Delete, DeleteKey, Find, Bulk } kind;
    uint32_t k = 0;
    uint32_t v = 0;
};

std::vector<Op> Sequence()
{
    std::vector<Op> ops;
    for (uint32_t k = 0; k < 300; ++k) ops.push_back({Op::Insert, (k * 37) % 300, k});
    ops.push_back({Op::Find, 150, (150 * 81) % 300});  // 150 came with value 150 * 37^-1 mod 300
    for (uint32_t v = 0; v < 80; ++v) ops.push_back({Op::Insert, 150, 1000 + v});
    ops.push_back({Op::Find, 150, 1040});
    for (uint32_t v = 0; v < 79; v += 1) {
        if (v != 40) ops.push_back({Op::Delete, 150, 1000 + v});
    }
    for (uint32_t k = 0; k < 300; k += 3) ops.push_back({Op::DeleteKey, k, 0});
    ops.push_back({Op::Bulk, 0, 0});
    for (uint32_t k = 300; k < 450; ++k) ops.push_back({Op::Insert, k, k});
    for (uint32_t v = 0; v < 70; ++v) ops.push_back({Op::Delete, 7, v});
    return ops;
}

// The bulk load: 200 keys, key 7 with 90 values (a nested tree), key 8 with 20.
void BulkRecords(std::vector<std::pair<uint32_t, uint32_t>>* records)
{
    for (uint32_t k = 0; k < 200; ++k) records->emplace_back(k, k);
    for (uint32_t v = 0; v < 90; ++v) records->emplace_back(7, 500 + v);
    for (uint32_t v = 0; v < 20; ++v) records->emplace_back(8, 500 + v);
}

// Runs the sequence with the n-th allocation failing; answers what went
// wrong (empty when nothing did) and whether the failure struck.
std::string RunWithFailure(int n, bool* struck)
{
    vxtest::XmallocFailures failures;
    failures.FailNth(n);
    // Wide keys make small chunks of nodes: splits often need a new one.
    CMemBTree tree;
    BTreeModel model(kKeySize, 2);
    *struck = false;
    if (tree.bInit(kKeySize, 2, vxtest::MemCompare, vxtest::MemCompare, 3) != 1) {
        *struck = failures.Failures() == 1;
        return *struck ? "" : "bInit failed without a failure";
    }
    int step = 0;
    for (const Op& op : Sequence()) {
        ++step;
        const int before = failures.Failures();
        const std::string k = model.Key(op.k), v = model.Value(op.v);
        bool got = false;
        bool want = false;
        std::vector<std::pair<uint32_t, uint32_t>> records;
        switch (op.kind) {
        case Op::Insert:
            got = tree.bInsert(k.data(), v.data()) == 1;
            want = !model.Contains(op.k, op.v);
            if (got) model.Insert(op.k, op.v);
            break;
        case Op::Delete:
            got = tree.bDelete(k.data(), v.data()) == 1;
            want = model.Contains(op.k, op.v);
            if (got) model.Erase(op.k, op.v);
            break;
        case Op::DeleteKey:
            got = tree.bDelete(k.data(), nullptr) == 1;
            want = model.Map().count(op.k) != 0;
            if (got) model.Erase(op.k, std::nullopt);
            break;
        case Op::Find:
            got = tree.bFindRecord(k.data(), v.data()) == 1;
            want = model.Find(op.k, op.v);
            break;
        case Op::Bulk: {
            BulkRecords(&records);
            std::string keys, values;
            for (const auto& [rk, rv] : records) {
                keys += model.Key(rk);
                values += model.Value(rv);
            }
            got = tree.bLoadBulk(keys.data(), values.data(), static_cast<int>(records.size())) == 1;
            want = true;
            if (got) model.Load(records);
            break;
        }
        }
        const bool failed = failures.Failures() > before;
        *struck = *struck || failed;
        if (got != want && !(failed && want && !got))
            return "step " + std::to_string(step) + ": answered " + std::to_string(got);
        if (!got && want) {
            std::string e = CMemBTreeInspector(tree).Check();
            if (e.empty()) e = model.ContentDiff(tree);
            if (e.empty()) e = model.PositionDiff(tree);
            if (!e.empty()) return "step " + std::to_string(step) + " failed and changed the tree: " + e;
        }
    }
    std::string e = CMemBTreeInspector(tree).Check();
    if (e.empty()) e = model.ContentDiff(tree);
    if (e.empty()) e = model.PositionDiff(tree);
    return e;
}

TEST_F(FailureTest, EveryAllocationOfASequenceMayFail)
{
    int n = 1;
    for (bool struck = true; struck; ++n) {
        const std::string error = RunWithFailure(n, &struck);
        ASSERT_EQ("", error) << "allocation " << n << " failing";
        ASSERT_EQ(0, CTObjAlloc::g_nGetLiveObjects()) << "allocation " << n << " failing";
    }
    EXPECT_GT(n, 60) << "the sequence allocates chunks, nested trees and bulk buffers";
}

// Pools keep their last chunk, so a change fails only when its pool is out of
// slots: here the class-4 pool is full exactly and the class-6 pool has never
// been used.
TEST_F(FailureTest, ChangeOfClassWithoutMemoryChangesNothing)
{
    vxtest::ScriptedTree t(0, 2, 2);
    for (uint32_t v = 0; v < 33; ++v) t.Insert(1, v);  // through class 4 into class 5
    for (uint32_t v = 18; v < 33; ++v) t.Delete(1, v);  // class 5 at its minimum, 18
    for (uint32_t v = 0; v < 64; ++v) t.Insert(2, v);  // class 5, full
    CMemBTreeInspector in(t.tree);
    const unsigned perChunk = in.BucketPool(4).nGetObjPerChunk();
    for (uint32_t k = 100; k < 100 + perChunk; ++k) {
        for (uint32_t v = 0; v < 20; ++v) t.Insert(k, v);
    }
    ASSERT_EQ(0u, in.BucketPool(4).nGetNumFreeListChunk());
    ASSERT_TRUE(t.Find(1, 7));

    vxtest::XmallocFailures failures;
    failures.FailAll(true);
    const std::string k1 = t.K(1), k2 = t.K(2), v5 = t.V(5), v99 = t.V(99);
    EXPECT_EQ(0, t.tree.bDelete(k1.data(), v5.data()));   // needs a class-4 bucket
    EXPECT_EQ(0, t.tree.bInsert(k2.data(), v99.data()));  // needs a nested tree
    failures.FailAll(false);
    EXPECT_EQ(1, failures.Failures() > 0);
    EXPECT_EQ("", t.Check());
    EXPECT_EQ(7u, t.ReadValue());
    EXPECT_TRUE(t.Delete(1, 5u));
    EXPECT_TRUE(t.Insert(2, 99));
    EXPECT_EQ("", t.Check());
    for (uint32_t k : {1u, 2u}) t.Delete(k, std::nullopt);
    for (uint32_t k = 100; k < 100 + perChunk; ++k) t.Delete(k, std::nullopt);
}

}  // namespace
