// The full-table cache: its reading statement, the complete cache read on
// first demand (with the data access's position kept and given back on
// every path, a failed read included), its counts, the column indexes it
// makes and the writes they follow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/table_cache.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/cache_index_fixture.h"

namespace {

using vxtest::CacheIndexTest;
using Rows = std::vector<int>;

constexpr unsigned kReadFailed = 13;
constexpr unsigned kNoMemoryErrno = 12;

TEST(TableCacheSlots, CountedThenTheStatementSlot)
{
    vxtest::ExpectSlots("CNATableCache", {
                                             VX_SLOT(CNATableCache, dwRelease, 2),
                                             VX_SLOT(CNATableCache, _bSetStatementParse, 3),
                                         });
    EXPECT_EQ(4, VX_SLOT_COUNT(CNATableCache));
    vxtest::ExpectSlots("CNATableCacheIndex", {VX_SLOT(CNATableCacheIndex, dwRelease, 2)});
    EXPECT_EQ(3, VX_SLOT_COUNT(CNATableCacheIndex));
}

class TableCache : public CacheIndexTest
{
protected:
    void SetUp() override
    {
        CacheIndexTest::SetUp();
        Add(L"V", NA_IT_I4, 4);
        Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
        BuildTable();
        m_statement->SetParseItemName(L"V");
        m_other = new CTestStatement(m_access, m_pclError, m_record);
        REF_AddRef(m_other);
        m_cache = new CNATableCache(m_pclError, m_access);
        m_cache->dwAddRef();
        // Reading moves the data access to the reading statement, as a browse
        // does.
        m_statement->OnFullRead([this] { m_access->SetLastStatement(m_statement); });
    }
    void TearDown() override
    {
        if (m_cache != nullptr)
            EXPECT_EQ(0u, m_cache->dwRelease());
        REF_Release(m_other);
        CacheIndexTest::TearDown();
    }
    // Rows of V and a note.
    void AppendRows(const std::vector<int>& values)
    {
        for (int v : values) {
            Set(L"NOTES", Ansi(("n" + std::to_string(v)).c_str()));
            AppendInt(v);
        }
    }
    std::string Calls() const
    {
        std::string calls;
        for (const auto& call : m_access->PositionCalls()) {
            calls += call.cKind;
            calls += call.bResult ? "" : "!";
        }
        return calls;
    }
    CNATableCacheIndex* CacheIndex(const wchar_t* column)
    {
        CNATableCacheIndex* pclIndex = m_cache->pclGetCacheIndex(m_statement, Col(column));
        if (pclIndex != nullptr) {
            EXPECT_EQ(0u, pclIndex->dwGetRefCount());
            pclIndex->dwAddRef();
            m_tableIndexes.push_back(pclIndex);
        }
        return pclIndex;
    }

    CTestStatement* m_other = nullptr;
    CNATableCache* m_cache = nullptr;
};

TEST_F(TableCache, TakesItsFirstStatementAndTurnsEveryCacheOn)
{
    EXPECT_EQ(1, m_cache->bInitDone());
    m_statement->EnableCache(0);
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_statement));
    EXPECT_EQ(0, m_cache->bInitDone());
    EXPECT_EQ(1, m_cache->bIsStatementParse(m_statement));
    EXPECT_EQ(2u, m_statement->m_dwRefCount);
    EXPECT_EQ(1, Cache()->bEnabled());
    // A second statement is not taken, but its cache is turned on.
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_other));
    EXPECT_EQ(0, m_cache->bIsStatementParse(m_other));
    EXPECT_EQ(1, m_cache->bIsStatementParse(m_statement));
    ASSERT_NE(nullptr, m_other->pclGetRecordCacheNoRef());
    EXPECT_EQ(1, m_other->pclGetRecordCacheNoRef()->bEnabled());
    EXPECT_EQ(1u, m_other->m_dwRefCount);
    // Before the complete cache: the statement's own cache is the one.
    EXPECT_EQ(1, m_cache->bIsRecordCache(Cache()));
    EXPECT_EQ(0, m_cache->bIsRecordCache(m_other->pclGetRecordCacheNoRef()));
    EXPECT_EQ(0, m_cache->bIsRecordCache(nullptr));
    EXPECT_EQ(0, m_cache->bCacheCompleted());
    EXPECT_EQ(1, m_cache->bIsEmpty());
    EXPECT_EQ(0, m_cache->bIsStatementParse(nullptr));
}

TEST_F(TableCache, TheCompleteCacheIsReadOnceAndTheStatementLetGo)
{
    AppendRows({5, 3, 9, 1, 7, 2, 8, 6, 4, 0});
    for (int n : {1, 4, 8})
        Cache()->SetRecordState(n, NA_RS_DELETED);
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_statement));
    CNARecordCache* pclCache = Cache();
    EXPECT_EQ(pclCache, m_cache->pclGetFullCache());
    EXPECT_EQ(1, m_statement->FullReads());
    EXPECT_EQ(0, m_cache->bIsStatementParse(m_statement));
    EXPECT_EQ(nullptr, m_cache->pclGetStatementNoRef());
    EXPECT_EQ(1u, m_statement->m_dwRefCount);
    EXPECT_EQ(1, m_cache->bCacheCompleted());
    EXPECT_EQ(0, m_cache->bInitDone());
    EXPECT_EQ(1, m_cache->bIsRecordCache(pclCache));
    EXPECT_EQ(0, m_cache->bIsEmpty());
    EXPECT_EQ(10, m_cache->llGetRecordNbr());
    EXPECT_EQ(7, m_cache->llGetRecordNbrActive());
    EXPECT_EQ(pclCache, m_cache->pclGetFullCache());
    EXPECT_EQ(1, m_statement->FullReads());
    // The statement lets its shared cache go; the table cache keeps it.
    m_statement->EnableCache(0);
    EXPECT_EQ(nullptr, m_statement->pclGetRecordCacheNoRef());
    EXPECT_EQ(10, m_cache->llGetRecordNbr());
    EXPECT_EQ(1u, pclCache->m_dwRefCount);
    // Once complete, no statement is taken any more.
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_other));
    EXPECT_EQ(0, m_cache->bIsStatementParse(m_other));
    EXPECT_EQ(1, m_cache->bCacheCompleted());
}

TEST_F(TableCache, WithoutStatementNothingIsRead)
{
    EXPECT_EQ(nullptr, m_cache->pclGetFullCache());
    EXPECT_EQ(0, m_cache->llGetRecordNbr());
    EXPECT_EQ(0, m_cache->llGetRecordNbrActive());
    EXPECT_EQ(1, m_cache->bIsEmpty());
    EXPECT_EQ(1, m_cache->bCacheCompleted());
    EXPECT_EQ(nullptr, m_cache->pclGetCacheIndex(m_statement, Col(L"V")));
    EXPECT_EQ("", Calls());
}

TEST_F(TableCache, TheReadKeepsTheDataAccessWhereItWas)
{
    struct Case
    {
        const char* name;
        CNAStatement* last;  // the data access's last statement before
        bool bFailRead;
        bool bFailSave;
        bool bFailReturn;
        const char* calls;
    };
    AppendRows({2, 1});
    const Case cases[] = {
        {"another statement browsed last", m_other, false, false, false, "SR"},
        {"no browse yet", nullptr, false, false, false, "SR"},
        {"the reading statement browsed last", m_statement, false, false, false, ""},
        {"no position could be saved", m_other, false, true, false, "S!"},
        {"the read fails", m_other, true, false, false, "SR"},
        {"the read and the return fail", m_other, true, false, true, "SR!F"},
        {"the read fails on the reading statement", m_statement, true, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh table cache and data access state for each case.
        EXPECT_EQ(0u, m_cache->dwRelease());
        m_cache = new CNATableCache(m_pclError, m_access);
        m_cache->dwAddRef();
        m_pclError->Reset();
        m_access->SetLastStatement(c.last);
        m_access->FailPositionSaves(c.bFailSave);
        m_access->FailPositionReturns(c.bFailReturn);
        const size_t nCallsBefore = m_access->PositionCalls().size();
        m_statement->FailFullRead(c.bFailRead ? kReadFailed : 0);
        ASSERT_EQ(1, m_cache->bSetStatementParse(m_statement));
        uint32_t dwCountDuringRead = 0;
        m_statement->OnFullRead([&] {
            dwCountDuringRead = m_cache->dwGetRefCount();
            m_access->SetLastStatement(m_statement);
        });

        CNARecordCache* pclCache = m_cache->pclGetFullCache();

        EXPECT_EQ(2u, dwCountDuringRead);
        EXPECT_EQ(1u, m_cache->dwGetRefCount());
        std::string calls;
        const auto& all = m_access->PositionCalls();
        for (size_t i = nCallsBefore; i < all.size(); ++i) {
            calls += all[i].cKind;
            calls += all[i].bResult ? "" : "!";
            // The position is saved and returned to by the reading
            // statement's name, and never kept.
            if (all[i].cKind != 'F')
                EXPECT_EQ(L"V", all[i].csItem);
            EXPECT_EQ(0, all[i].bKeep);
        }
        EXPECT_EQ(c.calls, calls);
        EXPECT_EQ(0u, m_access->SavedPositions());
        if (!c.bFailSave && !c.bFailReturn)
            EXPECT_EQ(c.last, m_access->pclGetLastStatementNoRef());
        if (c.bFailRead) {
            EXPECT_EQ(nullptr, pclCache);
            // The read's error is the one reported; the statement stays for
            // another attempt.
            EXPECT_EQ(kReadFailed, m_pclError->dwGetErrorId());
            EXPECT_EQ(1, m_cache->bIsStatementParse(m_statement));
            EXPECT_EQ(0, m_cache->bInitDone());
            m_statement->FailFullRead(0);
            EXPECT_EQ(Cache(), m_cache->pclGetFullCache());
        } else {
            EXPECT_EQ(Cache(), pclCache);
        }
        EXPECT_EQ(0, m_cache->bIsStatementParse(m_statement));
        EXPECT_EQ(2, m_cache->llGetRecordNbr());
        EXPECT_EQ(0u, m_access->SavedPositions());
        m_statement->OnFullRead([this] { m_access->SetLastStatement(m_statement); });
    }
}

TEST_F(TableCache, IndexesOfEachKind)
{
    AppendRows({30, 10, 20});
    Set(L"NOTES", Ansi("a"));
    AppendInt(40);
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_statement));
    CNATableCacheIndex* byValue = CacheIndex(L"V");
    CNATableCacheIndex* byNote = CacheIndex(L"NOTES");
    ASSERT_NE(nullptr, byValue);
    ASSERT_NE(nullptr, byNote);
    EXPECT_NE(nullptr, dynamic_cast<CIndexFixedSizeItem*>(byValue->pclGetIndexNoRef()));
    EXPECT_NE(nullptr, dynamic_cast<CIndexMemo*>(byNote->pclGetIndexNoRef()));
    EXPECT_EQ(m_cache->pclGetFullCacheNoRef(), byValue->pclGetRecordCacheNoRef());
    // The test's statement, the table cache and the two indexes.
    EXPECT_EQ(4u, Cache()->m_dwRefCount);
    EXPECT_EQ((Rows{1, 2, 0, 3}), Forward(byValue));
    EXPECT_EQ((Rows{3, 1, 2, 0}), Forward(byNote));
    EXPECT_EQ(4, byNote->nGetRecordNbr());
    EXPECT_EQ(3, byNote->nGetPreviousRecordNbr());
    EXPECT_EQ(0, byNote->nGetCurrentRecordId());
}

TEST_F(TableCache, NoIndexWhenTheCacheOrTheIndexCannotBeBuilt)
{
    AppendRows({3, 1, 2});
    ASSERT_EQ(1, m_cache->bSetStatementParse(m_statement));
    m_statement->FailFullRead(kReadFailed);
    EXPECT_EQ(nullptr, m_cache->pclGetCacheIndex(m_statement, Col(L"V")));
    m_statement->FailFullRead(0);
    ASSERT_NE(nullptr, m_cache->pclGetFullCache());
    const uint32_t dwCacheCount = Cache()->m_dwRefCount;
    for (const wchar_t* column : {L"V", L"NOTES"}) {
        m_pclError->Reset();
        vxtest::XmallocFailures failures;
        failures.FailAll(true);
        EXPECT_EQ(nullptr, m_cache->pclGetCacheIndex(m_statement, Col(column)));
        failures.FailAll(false);
        EXPECT_EQ(kNoMemoryErrno, m_pclError->pclGetXError()->dwGetSystemErrorCode());
        // The half-built index is gone with its references.
        EXPECT_EQ(dwCacheCount, Cache()->m_dwRefCount);
    }
    EXPECT_EQ(nullptr, m_cache->pclGetCacheIndex(m_statement, nullptr));
}

// --- Writes --------------------------------------------------------------------

class TableCacheWrites : public TableCache
{
protected:
    // The statement's writes as the cache and the index hear of them: the
    // row read (its original values), the columns changed, the cache told,
    // then the index.
    void Update(CNATableCacheIndex* index, int nRow, const wchar_t* column, const CAny& value)
    {
        Select(nRow);
        Set(column, value);
        ASSERT_EQ(1, Cache()->Update(static_cast<unsigned>(nRow), m_record->pclGetCurrentRecordValueNoRef()));
        index->OnNotifyOperation(2, nRow, 0);
    }
    void Delete(CNATableCacheIndex* index, int nRow)
    {
        Select(nRow);
        Cache()->SetRecordState(nRow, NA_RS_DELETED);
        index->OnNotifyOperation(4, nRow, 0);
    }
    int Insert(CNATableCacheIndex* index, int nValue, const char* pszNote)
    {
        Set(L"NOTES", Ansi(pszNote));
        const int nRow = AppendInt(nValue);
        index->OnNotifyOperation(3, nRow, 0);
        return nRow;
    }
};

TEST_F(TableCacheWrites, AnUnchangedValueLeavesTheIndexAlone)
{
    AppendRows({10, 20, 30});
    CNATableCacheIndex* byValue = TableIndex(L"V");
    CNATableCacheIndex* byNote = TableIndex(L"NOTES");
    ASSERT_EQ(1, Move(byValue, kFirst, 2));
    ASSERT_EQ(1, Move(byNote, kFirst, 2));
    // Another column changes: neither index moves off its entry (removing
    // the entry would have moved the position).
    Update(byValue, 1, L"NOTES", Ansi("n20"));
    Update(byNote, 1, L"V", Int(20));
    EXPECT_EQ(1, byValue->nGetCurrentRecordId());
    EXPECT_EQ(1, byNote->nGetCurrentRecordId());
    EXPECT_EQ(0, static_cast<CIndexMemo*>(byNote->pclGetIndexNoRef())->bOff());
}

TEST_F(TableCacheWrites, AChangedValueMovesTheRow)
{
    AppendRows({10, 20, 30});
    CNATableCacheIndex* byValue = TableIndex(L"V");
    CNATableCacheIndex* byNote = TableIndex(L"NOTES");
    Update(byValue, 0, L"V", Int(25));
    EXPECT_EQ((Rows{1, 0, 2}), Forward(byValue));
    Update(byNote, 2, L"NOTES", Ansi("a"));
    EXPECT_EQ((Rows{2, 0, 1}), Forward(byNote));
    // A NULL value is the key of its type's initial value.
    Update(byValue, 2, L"V", CAny());
    EXPECT_EQ((Rows{2, 1, 0}), Forward(byValue));
}

TEST_F(TableCacheWrites, InsertsAndDeletes)
{
    AppendRows({10, 20, 30});
    CNATableCacheIndex* byValue = TableIndex(L"V");
    CNATableCacheIndex* byNote = TableIndex(L"NOTES");
    const int nRow = Insert(byValue, 15, "n15");
    byNote->OnNotifyOperation(3, nRow, 0);
    EXPECT_EQ((Rows{0, 3, 1, 2}), Forward(byValue));
    EXPECT_EQ((Rows{0, 3, 1, 2}), Forward(byNote));
    Delete(byValue, 1);
    byNote->OnNotifyOperation(4, 1, 0);
    EXPECT_EQ((Rows{0, 3, 2}), Forward(byValue));
    EXPECT_EQ((Rows{0, 3, 2}), Forward(byNote));
    // Other operations change nothing.
    for (int eOperation : {0, 1, 5, 6, 8, 9, 10}) {
        Select(0);
        Set(L"V", Int(99));
        byValue->OnNotifyOperation(eOperation, 0, 0);
    }
    EXPECT_EQ((Rows{0, 3, 2}), Forward(byValue));
}

}  // namespace
