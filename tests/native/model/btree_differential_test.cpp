// Randomized differential test of CMemBTree against its model (a std::map from
// key to the sorted set of values, btree_model.h): mixed insertions, deletions
// of one value, of whole keys and of the current record, searches with every
// flag, MoveTo, bAdvance with every flag combination, and bulk loads, over
// small key ranges with a few hot keys whose values climb through every bucket
// class into nested trees and back. After each operation the result and the
// position are compared with the model; after each batch the invariant checker
// walks the whole tree. Seeded: a failure names its configuration, batch and
// operation.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <random>

#include "tests/native/model/btree_probe.h"
#include "tests/native/model/btree_model.h"

namespace {

using vxtest::BTreeModel;

struct Config
{
    int order;
    size_t keySize;
    size_t valueSize;
    uint32_t keyRange;
    uint32_t valueRange;
    int batches;
};

constexpr int kBatch = 400;

class Runner
{
public:
    Runner(const Config& c, uint32_t seed) : m_c(c), m_model(c.keySize, c.valueSize), m_rng(seed)
    {
        m_ok = m_tree.bInit(static_cast<unsigned long>(c.keySize), static_cast<unsigned long>(c.valueSize),
                            vxtest::MemCompare, vxtest::MemCompare, c.order) == 1;
    }

    // Empty when the whole run matched the model.
    std::string Run()
    {
        if (!m_ok) return "bInit failed";
        for (int b = 0; b < m_c.batches; ++b) {
            // Phases: growth, mixed, shrinking (now and then down to nothing).
            const int phase = b % 8 < 4 ? 0 : b % 8 < 6 ? 1 : 2;
            for (int i = 0; i < kBatch; ++i) {
                std::string e = Step(phase);
                if (!e.empty()) return Where(b, i) + e;
            }
            if (b % 9 == 8) {
                std::string e = BulkLoad();
                if (!e.empty()) return Where(b, -1) + e;
            }
            if (b % 30 == 29) {
                std::string e = DeleteAll();
                if (!e.empty()) return Where(b, -1) + e;
            }
            std::string e = CMemBTreeInspector(m_tree).Check();
            if (e.empty()) e = m_model.ContentDiff(m_tree);
            if (e.empty()) e = m_model.PositionDiff(m_tree);
            if (!e.empty()) return Where(b, kBatch) + e;
        }
        return {};
    }

private:
    std::string Where(int batch, int op) const
    {
        char s[160];
        std::snprintf(s, sizeof s, "order %d, batch %d, op %d (%s): ", m_c.order, batch, op, m_op);
        return s;
    }

    uint32_t Rand(uint32_t n) { return static_cast<uint32_t>(m_rng() % n); }

    // Hot keys collect many values; the rest spread over the key range.
    uint32_t RandomKey() { return Rand(3) == 0 ? Rand(3) * (m_c.keyRange / 3) : Rand(m_c.keyRange); }

    // A present record when there is one.
    bool PresentRecord(uint32_t* k, uint32_t* v)
    {
        const auto& map = m_model.Map();
        if (map.empty()) return false;
        auto it = map.lower_bound(RandomKey());
        if (it == map.end()) it = map.begin();
        *k = it->first;
        *v = *std::next(it->second.begin(), Rand(static_cast<uint32_t>(it->second.size())));
        return true;
    }

    std::string Key(uint32_t k) const { return m_model.Key(k); }
    std::string Value(uint32_t v) const { return m_model.Value(v); }
    const void* V(const std::string& s) const { return m_c.valueSize != 0 ? s.data() : nullptr; }

    std::string Expect(bool got, bool want, const char* what)
    {
        if (got != want) return std::string(what) + (want ? " should succeed" : " should fail");
        return m_model.PositionDiff(m_tree);
    }

    std::string Step(int phase)
    {
        const uint32_t r = Rand(100);
        const int insertShare = phase == 0 ? 70 : phase == 1 ? 45 : 10;
        uint32_t k = RandomKey();
        uint32_t v = Rand(m_c.valueRange);
        if (r < static_cast<uint32_t>(insertShare)) {
            std::snprintf(m_op, sizeof m_op, "insert %u/%u", k, v);
            const std::string sk = Key(k), sv = Value(v);
            const bool got = m_tree.bInsert(sk.data(), V(sv)) == 1;
            return Expect(got, m_model.Insert(k, v), "insert");
        }
        const uint32_t op = Rand(20);
        switch (op) {
        case 0:
        case 1:
        case 2:
        case 3: {
            // One record, mostly a present one.
            if (op != 0) PresentRecord(&k, &v);
            std::snprintf(m_op, sizeof m_op, "delete %u/%u", k, v);
            const std::string sk = Key(k), sv = Value(v);
            const bool got = m_tree.bDelete(sk.data(), V(sv)) == 1;
            return Expect(got, m_model.Erase(k, v), "delete");
        }
        case 4: {
            // Whole keys, rarely the hot ones.
            k = Rand(m_c.keyRange);
            if (Rand(8) == 0) PresentRecord(&k, &v);
            std::snprintf(m_op, sizeof m_op, "delete key %u", k);
            const std::string sk = Key(k);
            const bool got = m_tree.bDelete(sk.data(), nullptr) == 1;
            return Expect(got, m_model.Erase(k, std::nullopt), "delete key");
        }
        case 5: {
            std::snprintf(m_op, sizeof m_op, "delete current");
            const bool got = m_tree.bDeleteCurrentRecord() == 1;
            return Expect(got, m_model.EraseCurrent(), "delete current");
        }
        case 6:
        case 7:
        case 8: {
            if (Rand(2) == 0) PresentRecord(&k, &v);
            const int flags = static_cast<int>(Rand(4));
            std::snprintf(m_op, sizeof m_op, "search %u flags %d", k, flags);
            const std::string sk = Key(k);
            const void* got = m_tree.pSearch(sk.data(), flags);
            const std::optional<BTreeModel::Pos> want = m_model.Search(k, flags);
            if (!m_model.HasValues() || !want) {
                if (got != nullptr) return "search should answer null";
            } else if (got == nullptr || std::string(static_cast<const char*>(got), m_c.valueSize) != Value(want->v)) {
                return "search answered the wrong value";
            }
            return m_model.PositionDiff(m_tree);
        }
        case 9: {
            if (Rand(3) != 0) PresentRecord(&k, &v);
            std::snprintf(m_op, sizeof m_op, "find %u/%u", k, v);
            const std::string sk = Key(k), sv = Value(v);
            const bool got = m_tree.bFindRecord(sk.data(), V(sv)) == 1;
            return Expect(got, m_model.Find(k, v), "find");
        }
        case 10:
        case 11: {
            const int n = static_cast<int>(Rand(static_cast<uint32_t>(m_model.Records()) + 7)) - 3;
            std::snprintf(m_op, sizeof m_op, "move to %d", n);
            m_tree.MoveTo(n);
            m_model.MoveTo(n);
            return m_model.PositionDiff(m_tree);
        }
        case 12:
            std::snprintf(m_op, sizeof m_op, "first / end");
            if (Rand(2) == 0) {
                m_tree.GotoFirstRecord();
                m_model.GotoFirst();
            } else {
                m_tree.GotoEnd();
                m_model.GotoEnd();
            }
            return m_model.PositionDiff(m_tree);
        default:
            return Advance();
        }
    }

    std::string Advance()
    {
        const int records = static_cast<int>(m_model.Records());
        int count;
        switch (Rand(8)) {
        case 0: count = 0; break;
        case 1:
        case 2: count = 1; break;
        case 3: count = -1; break;
        case 4: count = static_cast<int>(Rand(6)) + 2; break;
        case 5: count = static_cast<int>(Rand(static_cast<uint32_t>(records) + 6)) + 1; break;
        case 6: {
            const int extremes[] = {INT_MAX, -INT_MAX, INT_MIN, 2 * records + 1};
            count = extremes[Rand(4)];
            break;
        }
        default: count = static_cast<int>(Rand(60)) + 1; break;
        }
        if (count != INT_MIN && Rand(2) == 0) count = -count;
        const int flags = static_cast<int>(Rand(8));
        std::snprintf(m_op, sizeof m_op, "advance %d flags %d", count, flags);
        int moved = 12345;
        const bool got = m_tree.bAdvance(count, &moved, flags) == 1;
        int wantMoved;
        const bool want = m_model.Advance(count, flags, &wantMoved);
        if (moved != wantMoved) return "advance reported " + std::to_string(moved) + " steps, not " + std::to_string(wantMoved);
        return Expect(got, want, "advance");
    }

    // A bulk load of the model's own records in random order, or of records
    // with a repeated record (or key, without values) that must fail.
    std::string BulkLoad()
    {
        std::vector<std::pair<uint32_t, uint32_t>> records;
        for (const auto& [k, vs] : m_model.Map()) {
            for (uint32_t v : vs) records.emplace_back(k, v);
        }
        std::shuffle(records.begin(), records.end(), m_rng);
        const bool bFail = !records.empty() && Rand(3) == 0;
        if (bFail) records.push_back(records[Rand(static_cast<uint32_t>(records.size()))]);
        std::snprintf(m_op, sizeof m_op, "bulk load of %zu%s", records.size(), bFail ? " with a repeat" : "");
        std::string keys, values;
        for (const auto& [k, v] : records) {
            keys += Key(k);
            values += Value(v);
        }
        const unsigned poolsBefore = CMemBTreeInspector(m_tree).PoolObjects();
        const bool got = m_tree.bLoadBulk(keys.data(), values.data(), static_cast<int>(records.size())) == 1;
        if (got == bFail) return bFail ? "bulk load with a repeat should fail" : "bulk load should succeed";
        if (bFail) {
            if (CMemBTreeInspector(m_tree).PoolObjects() != poolsBefore) return "failed bulk load left objects behind";
        } else {
            m_model.Load(records);
        }
        return m_model.PositionDiff(m_tree);
    }

    std::string DeleteAll()
    {
        std::snprintf(m_op, sizeof m_op, "delete everything");
        while (m_model.Records() > 0) {
            uint32_t k, v;
            PresentRecord(&k, &v);
            const std::string sk = Key(k);
            if (m_tree.bDelete(sk.data(), nullptr) != 1 || !m_model.Erase(k, std::nullopt)) return "delete key failed";
        }
        if (CMemBTreeInspector(m_tree).PoolObjects() != 0) return "an empty tree holds pool objects";
        return m_model.PositionDiff(m_tree);
    }

    Config m_c;
    CMemBTree m_tree;
    BTreeModel m_model;
    std::mt19937 m_rng;
    bool m_ok = false;
    char m_op[96] = "";
};

class BTreeDifferential : public ::testing::TestWithParam<Config>
{
protected:
    void TearDown() override { EXPECT_EQ(0, CTObjAlloc::g_nGetLiveObjects()); }
};

TEST_P(BTreeDifferential, MatchesTheModel)
{
    const Config& c = GetParam();
    Runner runner(c, 1000u + static_cast<uint32_t>(c.order) * 7u + static_cast<uint32_t>(c.valueSize));
    const std::string error = runner.Run();
    EXPECT_TRUE(error.empty()) << error;
}

// Key sizes of 1 to 4 bytes, value slots narrower, equal to and wider than a
// pointer, and trees of keys only.
INSTANTIATE_TEST_SUITE_P(Orders, BTreeDifferential,
                         ::testing::Values(Config{2, 2, 2, 1500, 200, 80}, Config{3, 3, 4, 1500, 200, 80},
                                           Config{4, 3, 12, 1500, 200, 80}, Config{5, 1, 2, 250, 200, 80},
                                           Config{0, 3, 2, 12000, 200, 80}, Config{3, 3, 0, 3000, 1, 60},
                                           Config{0, 4, 0, 12000, 1, 60}, Config{2, 2, 8, 600, 200, 60}),
                         [](const ::testing::TestParamInfo<Config>& info) {
                             const Config& c = info.param;
                             return "order" + std::to_string(c.order) + "_key" + std::to_string(c.keySize) + "_value" +
                                    std::to_string(c.valueSize);
                         });

}  // namespace
