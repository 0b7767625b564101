// The row cache's block tables: how blocks are sized, the doubling as the
// sixth block is made, elements larger than a block, and memory that runs
// out at every allocation of an append, an insert and an update: the row is
// then refused (or, for an update, left to be read again) and the rest of
// the cache is as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/xmalloc_failures.h"
#include "tests/native/model/rowcache_fixture.h"

namespace {

using vxtest::Octets;

std::vector<uint64_t> Capacities(const CSimpleTableBlocks& table)
{
    std::vector<uint64_t> capacities;
    for (int i = 0; i < table.nGetNbBlocks(); ++i)
        capacities.push_back(table.GetBlock(i).llCapacity);
    return capacities;
}

class RowCacheBlocks : public vxtest::RowCacheTest
{
protected:
    static Octets RowOf(int n, size_t nSize = 100)
    {
        Octets bytes(nSize, 0);
        for (size_t i = 0; i < nSize; ++i)
            bytes[i] = static_cast<unsigned char>(n >> (8 * (i % 4)));
        return bytes;
    }
};

TEST_F(RowCacheBlocks, TheSixthBlockDoublesTheSettingsOnce)
{
    EXPECT_EQ(500, m_cache->GetRecordTable().nGetGrowCount());
    EXPECT_EQ(0x200000u, m_cache->GetRecordTable().llGetBlockSize());

    // 100-byte rows need 108 bytes each, identities 36.
    m_cache->SetGrowStep(4, 1000);
    int n = 0;
    for (; n < 8; ++n)
        ASSERT_EQ(n, Append(RowOf(n)));
    // The first five blocks take the settings in force when each is made.
    m_cache->SetGrowStep(2, 0);
    for (; n < 14; ++n)
        ASSERT_EQ(n, Append(RowOf(n)));
    EXPECT_EQ((std::vector<uint64_t>{432, 432, 216, 216, 216}), Capacities(m_cache->GetRecordTable()));
    EXPECT_EQ((std::vector<uint64_t>{144, 144, 72, 72, 72}), Capacities(m_cache->GetIdTable()));
    EXPECT_EQ(2, m_cache->GetRecordTable().nGetGrowCount());

    ASSERT_EQ(n, Append(RowOf(n)));
    ++n;
    EXPECT_EQ((std::vector<uint64_t>{432, 432, 216, 216, 216, 432}), Capacities(m_cache->GetRecordTable()));
    EXPECT_EQ(4, m_cache->GetRecordTable().nGetGrowCount());
    EXPECT_EQ(2000u, m_cache->GetRecordTable().llGetBlockSize());
    EXPECT_EQ(4, m_cache->GetIdTable().nGetGrowCount()) << "the identity table doubled at its own sixth block";
    EXPECT_EQ(2000u, m_cache->GetIdTable().llGetBlockSize());
    for (; n < 40; ++n)
        ASSERT_EQ(n, Append(RowOf(n)));
    const std::vector<uint64_t> records = Capacities(m_cache->GetRecordTable());
    for (size_t i = 6; i < records.size(); ++i)
        EXPECT_EQ(432u, records[i]) << "no second doubling, block " << i;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(RowOf(i), Read(i));
        EXPECT_EQ(i, Lookup(RowOf(i)));
    }

    // Emptied and filled again: the doubled settings stay, and do not double
    // again.
    m_cache->SupprimeTout();
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(i, Append(RowOf(i)));
    EXPECT_EQ(4, m_cache->GetRecordTable().nGetGrowCount());
    EXPECT_EQ(2000u, m_cache->GetRecordTable().llGetBlockSize());
    for (uint64_t capacity : Capacities(m_cache->GetRecordTable()))
        EXPECT_EQ(432u, capacity);
}

TEST_F(RowCacheBlocks, AnElementLargerThanABlockGetsABlockOfItsOwn)
{
    m_cache->SetGrowStep(10, 64);
    ASSERT_EQ(0, Append(RowOf(0, 1000)));
    ASSERT_EQ(1, Append(RowOf(1, 1000)));
    EXPECT_EQ((std::vector<uint64_t>{1008, 1008}), Capacities(m_cache->GetRecordTable()));
    EXPECT_EQ(RowOf(1, 1000), Read(1));
}

// What a failed change must leave as it was.
struct Snapshot
{
    int rows, deleted;
    unsigned hashed;
    eNA_RECORDIDTYPE kind;
    const void* pTemplate;
    std::vector<std::string> texts;
    bool operator==(const Snapshot&) const = default;
};

class RowCacheFailures : public RowCacheBlocks
{
protected:
    Snapshot Take()
    {
        Snapshot s{m_cache->nGetRowCount(), m_cache->nGetDeletedCount(), m_cache->nGetHashCount(),
                   m_cache->eGetRecordIdType(), m_cache->pclGetTemplateNoRef(), {}};
        for (int i = 0; i < s.rows; ++i) {
            std::optional<Octets> bytes = Read(i);
            s.texts.push_back(bytes ? std::to_string(Lookup(*bytes)) + ":" + std::string(bytes->begin(), bytes->end()) +
                                          ":" + MemoOf(i)
                                    : "reserved");
        }
        return s;
    }
    void Fill(int nRows)
    {
        m_cache->SetGrowStep(3, 400);
        for (int i = 0; i < nRows; ++i)
            ASSERT_EQ(i, Append(RowOf(i), i % 3 == 0 ? "memo" : nullptr));
    }

    // Runs the change on a row made for it, with the k-th allocation of the
    // change failing, for k = 1, 2, ... until it runs with no failure; the
    // caller's judge says what each run must have left.
    // Answers how many runs it took.
    template <class Change, class Judge>
    int Sweep(const Octets& bytes, const char* pszMemo, Change change, Judge judge)
    {
        for (int k = 1; k < 200; ++k) {
            SCOPED_TRACE(k);
            const Snapshot before = Take();
            int nFailures;
            int nResult;
            {
                Temp row = TempRow(bytes, pszMemo);
                vxtest::XmallocFailures failures;
                failures.FailNth(k);
                nResult = change(row.p);
                nFailures = failures.Failures();
            }
            judge(before, nResult, nFailures);
            if (nFailures == 0)
                return k;
        }
        ADD_FAILURE() << "the change never ran without a failure";
        return 0;
    }
};

TEST_F(RowCacheFailures, AnAppendThatCannotGetItsMemoryChangesNothing)
{
    Fill(6);
    const int nRow = 100;
    EXPECT_LT(3, Sweep(RowOf(nRow), "new memo", [&](CNARecordValue* pclRow) { return m_cache->nAjoute(pclRow); },
          [&](const Snapshot& before, int nResult, int) {
              if (nResult < 0) {
                  EXPECT_EQ(before, Take());
                  EXPECT_EQ(nullptr, m_cache->pclGetMemoNoRef(before.rows));
                  return;
              }
              EXPECT_EQ(before.rows, nResult);
              EXPECT_EQ(RowOf(nRow), Read(nResult));
              EXPECT_EQ(nResult, Lookup(RowOf(nRow)));
              EXPECT_EQ("new memo", MemoOf(nResult));
          }));
    // The first row of an empty cache, which also fixes the kind.
    m_cache.reset(new CNARecordCache);
    m_cache->SetGrowStep(3, 400);
    EXPECT_LT(3, Sweep(RowOf(7), nullptr, [&](CNARecordValue* pclRow) { return m_cache->nAjoute(pclRow); },
          [&](const Snapshot& before, int nResult, int) {
              if (nResult < 0) {
                  EXPECT_EQ(0, m_cache->nGetRowCount());
                  EXPECT_EQ(before.kind, m_cache->eGetRecordIdType());
                  return;
              }
              EXPECT_EQ(RowOf(7), Read(nResult));
          }));
}

TEST_F(RowCacheFailures, AnInsertThatCannotGetItsMemoryChangesNothing)
{
    Fill(6);
    const int nRow = 200;
    EXPECT_LT(2, Sweep(RowOf(nRow), "ins", [&](CNARecordValue* pclRow) { return m_cache->Insere(pclRow, 2); },
          [&](const Snapshot& before, int nResult, int) {
              if (nResult < 0) {
                  EXPECT_EQ(before, Take());
                  return;
              }
              EXPECT_EQ(2, nResult);
              EXPECT_EQ(RowOf(nRow), Read(2));
              EXPECT_EQ(2, Lookup(RowOf(nRow)));
              EXPECT_EQ("ins", MemoOf(2));
              const Snapshot after = Take();
              EXPECT_EQ(before.texts[2].substr(before.texts[2].find(':')), after.texts[3].substr(after.texts[3].find(':')));
          }));
}

TEST_F(RowCacheFailures, AnUpdateThatCannotGetItsMemoryLeavesTheRowToBeReadAgain)
{
    Fill(5);
    // A larger row, stored anew.
    const int nRow = 300;
    EXPECT_LT(2, Sweep(RowOf(nRow, 150), "upd", [&](CNARecordValue* pclRow) { return m_cache->Update(1, pclRow); },
          [&](const Snapshot& before, int bDone, int) {
              const Snapshot after = Take();
              for (int i = 0; i < before.rows; ++i) {
                  if (i != 1) {
                      EXPECT_EQ(before.texts[i], after.texts[i]) << i;
                  }
              }
              if (!bDone) {
                  EXPECT_EQ("reserved", after.texts[1]);
                  EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(1));
                  EXPECT_TRUE(m_cache->bMustFetch(1));
                  EXPECT_EQ(after.hashed, static_cast<unsigned>(after.rows - 1));
                  return;
              }
              CNARecordValue* pclWide = Row(Octets(150, 0), false);
              ASSERT_EQ(1, m_cache->bGetAt(pclWide, 1u));
              EXPECT_EQ(RowOf(nRow, 150), vxtest::RowBytes(*pclWide));
              EXPECT_EQ(1, Lookup(RowOf(nRow, 150)));
              EXPECT_EQ(NA_RS_PRESENT, m_cache->eGetRecordState(1));
          }));
}

}  // namespace
