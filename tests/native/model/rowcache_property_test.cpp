// The row cache against a simple model: a vector of rows (reserved or not,
// bytes, state, memo, whether the row is keyed by its identity) over random
// sequences of appends, inserts at and beyond the end, updates, write
// notifications, removals and emptying, with rows of equal bytes among them
// (4 bytes over 3 letters). After every step the counts agree, and reads,
// identity lookups and positions in the four directions (and others) answer
// as the model says. Seeded.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/native/model/rowcache_fixture.h"

namespace {

using vxtest::Octets;

struct ModelRow
{
    bool reserved = true;
    Octets bytes;
    eNA_RECORDSTATE state = NA_RS_DELETED;
    bool keyed = false;
    std::string memo;  // empty: none
};

// What a row handed to the cache is made of.
struct Given
{
    Octets bytes;
    std::string memo;
    bool identity = true;
    eNA_RECORDSTATE state = NA_RS_PRESENT;
};

class RowCacheProperty : public vxtest::RowCacheTest
{
protected:
    std::mt19937 m_rng;
    std::vector<ModelRow> m_model;

    int Pick(int nLow, int nHigh) { return std::uniform_int_distribution<int>(nLow, nHigh)(m_rng); }
    bool Chance(int nPercent) { return Pick(0, 99) < nPercent; }

    Octets RandomBytes()
    {
        Octets bytes(4);
        for (unsigned char& c : bytes)
            c = static_cast<unsigned char>('a' + Pick(0, 2));
        return bytes;
    }
    // Mostly the bytes of a row the model holds, so that lookups hit.
    Octets SomeBytes()
    {
        if (!m_model.empty() && Chance(70)) {
            const ModelRow& row = m_model[Pick(0, static_cast<int>(m_model.size()) - 1)];
            if (!row.reserved)
                return row.bytes;
        }
        return RandomBytes();
    }
    Given RandomGiven()
    {
        Given g;
        g.bytes = RandomBytes();
        if (Chance(25))
            g.memo = "m" + std::to_string(Pick(0, 9));
        g.identity = !Chance(8);
        g.state = Chance(8) ? NA_RS_DELETED : NA_RS_PRESENT;
        return g;
    }
    Temp Make(const Given& g)
    {
        Temp row = TempRow(g.bytes, g.memo.empty() ? nullptr : g.memo.c_str());
        if (!g.identity)
            row->bShareRecordID(nullptr);
        row->SetRecordState(g.state);
        return row;
    }
    static ModelRow Stored(const Given& g) { return ModelRow{false, g.bytes, g.state, g.identity, g.memo}; }

    // The rows a lookup of these bytes may answer.
    std::vector<int> Candidates(const Octets& bytes) const
    {
        std::vector<int> found;
        for (size_t i = 0; i < m_model.size(); ++i) {
            if (m_model[i].keyed && m_model[i].bytes == bytes)
                found.push_back(static_cast<int>(i));
        }
        return found;
    }
    void ExpectLookup(const Octets& bytes)
    {
        const std::vector<int> candidates = Candidates(bytes);
        const int n = Lookup(bytes);
        if (candidates.empty()) {
            EXPECT_EQ(-1, n) << std::string(bytes.begin(), bytes.end());
        } else {
            EXPECT_NE(candidates.end(), std::find(candidates.begin(), candidates.end(), n))
                << std::string(bytes.begin(), bytes.end()) << " found at " << n;
        }
    }
    // A notification with an old row of these bytes: the row it must name,
    // or -1.
    int ExpectNotified(int nResult, const Octets& old)
    {
        const std::vector<int> candidates = Candidates(old);
        if (candidates.empty()) {
            EXPECT_EQ(-1, nResult);
            return -1;
        }
        EXPECT_NE(candidates.end(), std::find(candidates.begin(), candidates.end(), nResult));
        return nResult;
    }

    void ExpectRow(int n)
    {
        const ModelRow& m = m_model[n];
        Temp row = TempEmptyRow();
        const bool bRead = m_cache->bGetAt(row, static_cast<unsigned>(n));
        ASSERT_EQ(!m.reserved, bRead) << "row " << n;
        EXPECT_EQ(!m.reserved, m_cache->bRecordInCache(n));
        EXPECT_EQ(m.state, m_cache->eGetRecordState(n)) << "row " << n;
        if (!bRead)
            return;
        EXPECT_EQ(m.bytes, vxtest::RowBytes(*row.p)) << "row " << n;
        EXPECT_EQ(m.memo.empty() ? "<none>" : m.memo, TextOf(row->pclGetMemoValueNoRef(0))) << "row " << n;
    }

    // The position rule, step by step as written.
    int ModelPosition(long from, int direction, long count) const
    {
        const long rows = static_cast<long>(m_model.size());
        long start = -1;
        bool forward = true;
        if (direction == 1) {
            start = rows;
            forward = false;
        } else if (direction == 2 || direction == 3) {
            start = from;
            forward = direction == 2;
        }
        long deleted = 0;
        for (const ModelRow& m : m_model)
            deleted += m.state == NA_RS_DELETED;
        if (deleted == 0) {
            const long r = forward ? start + count : start - count;
            return r < 0 ? -1 : static_cast<int>(r);
        }
        if (count <= 0)
            return start < 0 ? -1 : static_cast<int>(start);
        if (!forward && start < 0)
            return -1;
        long pos = start;
        for (long left = count;;) {
            pos += forward ? 1 : -1;
            // Before the first row there is no row to count.
            if (pos < 0) {
                if (!forward)
                    return -1;
                continue;
            }
            if (pos >= rows || m_model[pos].state != NA_RS_DELETED) {
                if (--left == 0)
                    return static_cast<int>(pos);
            }
        }
    }

    void ExpectCounts()
    {
        ASSERT_EQ(static_cast<int>(m_model.size()), m_cache->nGetRowCount());
        int deleted = 0;
        unsigned keyed = 0;
        for (const ModelRow& m : m_model) {
            deleted += m.state == NA_RS_DELETED;
            keyed += m.keyed;
        }
        EXPECT_EQ(deleted, m_cache->nGetDeletedCount());
        EXPECT_EQ(keyed, m_cache->nGetHashCount());
    }

    // The model's side of the cache's operations.
    void ModelAppend(const ModelRow& m) { m_model.push_back(m); }
    void ModelInsert(const ModelRow& m, int n)
    {
        while (static_cast<int>(m_model.size()) < n)
            m_model.push_back(ModelRow{});
        m_model.insert(m_model.begin() + std::min<size_t>(n, m_model.size()), m);
    }
    void ModelUpdate(int n, const ModelRow& m) { m_model[n] = m; }

    void Step()
    {
        const int size = static_cast<int>(m_model.size());
        switch (Pick(0, 12)) {
        case 0:
        case 1: {
            const Given g = RandomGiven();
            ASSERT_EQ(size, m_cache->nAjoute(Make(g)));
            ModelAppend(Stored(g));
            break;
        }
        case 2: {
            const Given g = RandomGiven();
            const int n = Pick(0, size + 3);
            ASSERT_EQ(n, m_cache->Insere(Make(g), static_cast<unsigned>(n)));
            ModelInsert(Stored(g), n);
            break;
        }
        case 3: {
            const int n = Pick(0, size + 2);
            if (Chance(20)) {
                ASSERT_EQ(n < size ? 1 : 0, m_cache->Update(static_cast<unsigned>(n), nullptr));
                if (n < size)
                    ModelUpdate(n, ModelRow{});
                break;
            }
            const Given g = RandomGiven();
            ASSERT_EQ(n < size ? 1 : 0, m_cache->Update(static_cast<unsigned>(n), Make(g)));
            if (n < size)
                ModelUpdate(n, Stored(g));
            break;
        }
        case 4: {
            const Octets old = SomeBytes();
            const int n = ExpectNotified(m_cache->nOnNotifyOperation(4, nullptr, TempRow(old), 0, 0), old);
            if (n >= 0)
                m_model[n].state = NA_RS_DELETED;
            break;
        }
        case 5: {
            const Octets old = SomeBytes();
            const Given g = RandomGiven();
            const int n = ExpectNotified(m_cache->nOnNotifyOperation(2, Make(g), TempRow(old), 0, 0), old);
            if (n >= 0)
                ModelUpdate(n, Stored(g));
            break;
        }
        case 6: {
            const Given g = RandomGiven();
            const bool front = Chance(50);
            const int n = m_cache->nOnNotifyOperation(3, Make(g), nullptr, 0, front ? 1 : 0);
            ASSERT_EQ(front ? 0 : size, n);
            if (front)
                ModelInsert(Stored(g), 0);
            else
                ModelAppend(Stored(g));
            break;
        }
        case 7: {
            const int n = Pick(0, size + 1);
            m_cache->Supprime(static_cast<unsigned>(n));
            if (n < size)
                m_model.erase(m_model.begin() + n);
            break;
        }
        case 8:
            if (Chance(15)) {
                m_cache->SupprimeTout();
                m_model.clear();
            }
            break;
        case 9:
            if (size > 0)
                ExpectRow(Pick(0, size - 1));
            EXPECT_FALSE(m_cache->bGetAt(TempEmptyRow(), static_cast<unsigned>(size + Pick(0, 2))));
            break;
        case 10:
            ExpectLookup(SomeBytes());
            break;
        default: {
            const long from = Pick(-2, size + 3);
            const int direction = Pick(-1, 5);
            const long count = Pick(-1, size + 3);
            EXPECT_EQ(ModelPosition(from, direction, count), Position(from, direction, count))
                << "from " << from << " direction " << direction << " count " << count;
            break;
        }
        }
    }
};

TEST_F(RowCacheProperty, AgreesWithTheModel)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        m_rng.seed(seed);
        m_model.clear();
        m_cache.reset(new CNARecordCache);
        // Small blocks, so that rows spread over many of them.
        m_cache->SetGrowStep(Pick(1, 6), Pick(0, 1) ? 0 : Pick(16, 300));
        for (int step = 0; step < 600; ++step) {
            ASSERT_NO_FATAL_FAILURE(Step());
            ASSERT_NO_FATAL_FAILURE(ExpectCounts()) << "after step " << step;
            if (step % 25 == 24) {
                for (int n = 0; n < static_cast<int>(m_model.size()); ++n)
                    ASSERT_NO_FATAL_FAILURE(ExpectRow(n));
                for (const ModelRow& m : m_model) {
                    if (!m.reserved)
                        ExpectLookup(m.bytes);
                }
            }
            if (HasFailure())
                return;
        }
    }
}

}  // namespace
