#pragma once

// What the tests of the cached-table indexes stand on: the record fixture
// (the table CUSTOMER, its test data access and current record), a test
// statement on that record whose row cache the test fills as a browse does
// (each row a copy of the current row, made by setting the columns), and
// the indexes a test makes over that cache, destroyed before the fixture
// checks that every reference came back.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "native/model/variant_any.h"
#include "tests/common/xmalloc_failures.h"

#include "native/model/cache_index_fixed_size.h"
#include "native/model/cache_index_memo.h"
#include "native/model/record_cache.h"
#include "native/model/table_cache_index.h"
#include "tests/fakes/test_statement.h"
#include "tests/native/model/record_fixture.h"

namespace vxtest {

class CacheIndexTest : public RecordTest
{
protected:
    void TearDown() override
    {
        m_indexes.clear();
        for (CNATableCacheIndex* pclIndex : m_tableIndexes)
            pclIndex->dwRelease();
        m_tableIndexes.clear();
        if (m_statement != nullptr)
            REF_Release(m_statement);
        m_statement = nullptr;
        RecordTest::TearDown();
    }

    // The record built over the items added, and the statement on it with
    // its row cache on.
    void BuildTable()
    {
        ASSERT_EQ(1, Build());
        m_statement = new CTestStatement(m_access, m_pclError, m_record);
        REF_AddRef(m_statement);
        m_statement->EnableCache(1);
        ASSERT_NE(nullptr, Cache());
    }
    CNARecordCache* Cache() const { return m_statement->pclGetRecordCacheNoRef(); }

    void Set(const wchar_t* column, const CAny& value) { ASSERT_EQ(1, Col(column)->bSetValue(&value, 0)); }
    void SetNull(const wchar_t* column) { ASSERT_EQ(1, Col(column)->bSetValueNULL()); }
    // The current row appended to the cache; its number.
    int Append()
    {
        const int n = m_statement->AppendCurrentRow();
        EXPECT_GE(n, 0);
        return n;
    }
    // A row of one integer column V appended.
    int AppendInt(int n)
    {
        Set(L"V", Int(n));
        return Append();
    }

    // Cached row n made the current record and its original row, as reading
    // it does.
    void Select(int n)
    {
        CNARecordValue* pclRow = new CNARecordValue(m_pclError);
        REF_AddRef(pclRow);
        ASSERT_EQ(1, Cache()->bGetAt(pclRow, static_cast<unsigned>(n)));
        ASSERT_EQ(1, m_record->bCopyToCurrentRecord(pclRow));
        ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
        pclRow->nRelease();
    }

    // A built index of the column's kind over the cache, held until the end.
    CIndexItem* Index(const wchar_t* column)
    {
        CIndexItem* pclIndex = MakeIndex(column);
        EXPECT_EQ(1, pclIndex->bInit());
        return pclIndex;
    }
    CIndexItem* MakeIndex(const wchar_t* column)
    {
        CNAColumn* pclColumn = Col(column);
        std::unique_ptr<CIndexItem> index;
        if (pclColumn->bIsMemo())
            index.reset(new CIndexMemo(m_pclError, Cache(), pclColumn, m_statement));
        else
            index.reset(new CIndexFixedSizeItem(m_pclError, Cache(), pclColumn, m_statement));
        m_indexes.push_back(std::move(index));
        return m_indexes.back().get();
    }
    // A built table cache index over the cache, held until the end.
    CNATableCacheIndex* TableIndex(const wchar_t* column)
    {
        auto* pclIndex = new CNATableCacheIndex(m_pclError, Cache(), Col(column), m_statement);
        pclIndex->dwAddRef();
        m_tableIndexes.push_back(pclIndex);
        EXPECT_EQ(1, pclIndex->bInit());
        return pclIndex;
    }

    // The row reached by one move (-1 when none).
    template <class Index>
    static int Move(Index* pclIndex, int nDirection, int nCount = 1, unsigned* pnDuplicate = nullptr)
    {
        int nRow = -2;
        EXPECT_EQ(1, pclIndex->bGetRecordPosition(static_cast<eNA_PARSEDIRECTION>(nDirection), nCount, &nRow,
                                                  pnDuplicate));
        return nRow;
    }
    // The index over the column built again and again with the n-th
    // allocation failing, for every n until a build passes: each failed
    // build answers 0 with the out-of-memory error, the one that passes
    // holds every row.
    void ExpectBuildsFailCleanly(const wchar_t* column, int nRows)
    {
        constexpr unsigned kNoMemoryErrno = 12;
        bool bPassed = false;
        for (int n = 1; n < 1000 && !bPassed; ++n) {
            m_pclError->Reset();
            CIndexItem* index = MakeIndex(column);
            int bInit;
            {
                XmallocFailures failures;
                failures.FailNth(n);
                bInit = index->bInit();
                bPassed = failures.Failures() == 0;
            }
            if (bPassed) {
                EXPECT_EQ(1, bInit);
                EXPECT_EQ(nRows, index->nGetRecordNbr());
            } else {
                EXPECT_EQ(0, bInit) << n;
                EXPECT_EQ(kNoMemoryErrno, m_pclError->pclGetXError()->dwGetSystemErrorCode()) << n;
            }
            m_indexes.clear();
        }
        EXPECT_TRUE(bPassed);
    }

    static CAny Wide(const wchar_t* psz)
    {
        CAny v;
        v.__SetType(ZLTYPE_DSTRW, 0);
        NA_nSetAnyWide(v, psz, std::wcslen(psz));
        return v;
    }

    // The rows from the first to the last, and from the last to the first.
    template <class Index>
    static std::vector<int> Forward(Index* pclIndex)
    {
        std::vector<int> rows;
        for (int n = Move(pclIndex, kFirst); n >= 0 && rows.size() <= kMaxWalk; n = Move(pclIndex, kNext))
            rows.push_back(n);
        return rows;
    }
    template <class Index>
    static std::vector<int> Backward(Index* pclIndex)
    {
        std::vector<int> rows;
        for (int n = Move(pclIndex, kLast); n >= 0 && rows.size() <= kMaxWalk; n = Move(pclIndex, kPrevious))
            rows.push_back(n);
        return rows;
    }

    static constexpr int kFirst = 0;
    static constexpr int kLast = 1;
    static constexpr int kNext = 2;
    static constexpr int kPrevious = 3;
    static constexpr size_t kMaxWalk = 100000;

    CTestStatement* m_statement = nullptr;
    std::vector<std::unique_ptr<CIndexItem>> m_indexes;
    std::vector<CNATableCacheIndex*> m_tableIndexes;
};

}  // namespace vxtest
