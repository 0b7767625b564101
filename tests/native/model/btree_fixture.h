#pragma once

// Fixture of the B+ tree tests: every test ends with no pool object out in the
// process (a leak check beside the sanitizers, which cannot see objects left
// in a pool's chunks), and a tree scripted together with its model.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "native/model/mem_btree.h"
#include "native/model/obj_alloc.h"
#include "tests/native/model/btree_probe.h"
#include "tests/native/model/btree_model.h"

namespace vxtest {

class BTreeTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_EQ(0, CTObjAlloc::g_nGetLiveObjects()) << "pool objects left out"; }
};

// A tree of big-endian numeric keys (and values) beside its model: each
// operation runs on both and must answer alike.
class ScriptedTree
{
public:
    explicit ScriptedTree(int order, size_t keySize = 4, size_t valueSize = 4) : model(keySize, valueSize)
    {
        EXPECT_EQ(1, tree.bInit(static_cast<unsigned long>(keySize), static_cast<unsigned long>(valueSize), MemCompare,
                                MemCompare, order));
    }

    std::string K(uint32_t k) const { return model.Key(k); }
    std::string V(uint32_t v) const { return model.Value(v); }
    const void* ValueArg(const std::string& v) const { return model.HasValues() ? v.data() : nullptr; }

    bool Insert(uint32_t k, uint32_t v = 0)
    {
        const std::string sk = K(k), sv = V(v);
        const bool got = tree.bInsert(sk.data(), ValueArg(sv)) == 1;
        EXPECT_EQ(model.Insert(k, v), got) << "insert " << k << "/" << v;
        return got;
    }
    bool Delete(uint32_t k, std::optional<uint32_t> v)
    {
        const std::string sk = K(k), sv = V(v.value_or(0));
        const bool got = tree.bDelete(sk.data(), v ? ValueArg(sv) : nullptr) == 1;
        EXPECT_EQ(model.Erase(k, v), got) << "delete " << k;
        return got;
    }
    bool Find(uint32_t k, uint32_t v = 0)
    {
        const std::string sk = K(k), sv = V(v);
        const bool got = tree.bFindRecord(sk.data(), ValueArg(sv)) == 1;
        EXPECT_EQ(model.Find(k, v), got) << "find " << k << "/" << v;
        return got;
    }

    // Empty when the tree is sound and matches the model, position included.
    std::string Check() const
    {
        std::string e = CMemBTreeInspector(tree).Check();
        if (e.empty()) e = model.ContentDiff(tree);
        if (e.empty()) e = model.PositionDiff(tree);
        return e;
    }

    uint32_t Decode(const void* p, size_t n) const
    {
        uint32_t x = 0;
        for (size_t i = 0; i < n; ++i) x = (x << 8) | static_cast<const unsigned char*>(p)[i];
        return x;
    }
    uint32_t ReadKey() const { return Decode(tree.pReadKey(), model.Key(0).size()); }
    uint32_t ReadValue() const { return Decode(tree.pReadValue(), model.Value(0).size()); }

    CMemBTree tree;
    BTreeModel model;
};

}  // namespace vxtest
