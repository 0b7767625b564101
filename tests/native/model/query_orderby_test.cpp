// The current record of a query source orders first by its query's ORDER
// BY, completed by the record's own columns, unless an auto-increment or a
// unique never-NULL column orders the rows alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxstandin::OrderSpec;
using vxstandin::ParsedQuerySpec;

class QueryOrderBy : public vxtest::RecordTest
{
protected:
    // A query over CUSTOMER whose output items are the description's items
    // in order, ordered by the elements given.
    StandinParsedQuery& Query(std::vector<OrderSpec> orderBy)
    {
        ParsedQuerySpec spec{.text = L"SELECT ... FROM CUSTOMER ORDER BY ...", .from = {{.name = L"CUSTOMER"}}};
        for (unsigned i = 0; i < m_source->nGetNumItems(); ++i)
            spec.items.push_back({.item = m_source->pclGetItemNoRef(i)->pszGetName(), .table = L"CUSTOMER"});
        spec.orderBy = std::move(orderBy);
        m_query.emplace(spec);
        return *m_query;
    }

    // The record built over a data access that reads the query (or, with
    // bReadsQuery false, a table that still has one).
    int BuildOverQuery(StandinParsedQuery& query, bool bReadsQuery = true)
    {
        m_source->UpdateRecordSize();
        m_access = static_cast<CTestDataAccess*>(Driver()->pclAllocDataAccess(m_source, m_pclConnection, m_pclError));
        REF_AddRef(m_access);
        m_access->SetReadsQuery(bReadsQuery);
        auto* adapter = new CSQLParserInfo(m_pclError, &query, nullptr, 0);
        m_access->SetSourceQuery(adapter);
        m_record = m_access->_pclAllocRecord(m_pclError);
        REF_AddRef(m_record);
        return m_record->bInitRecord(m_source, m_imported, m_pclConnection);
    }

    void TearDown() override
    {
        DropRecord();
        if (m_query)
            EXPECT_TRUE(m_query->bBalanced());
        m_query.reset();
        RecordTest::TearDown();
    }

    std::wstring Order() const
    {
        std::wstring names;
        for (int i = 0; i < m_record->nGetNbColumnOrder(); ++i)
            names += (i ? L"," : L"") + std::wstring(m_record->pclGetColumnOrderNoRef(i)->pszGetName());
        return names;
    }

    std::optional<StandinParsedQuery> m_query;
};

TEST_F(QueryOrderBy, TheQuerysOrderFirstThenTheRecordsColumns)
{
    Add(L"CODE", NA_IT_I4, 4, 0x4800);
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"CITY", NA_IT_TEXTE, 11, 0x2800);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    ASSERT_EQ(1, BuildOverQuery(Query({{.nIndex = 1}, {.nIndex = 0, .nDirection = 1}})));
    // NAME and CODE from the query, CITY (duplicates) behind; CODE is not
    // listed twice and the memo never.
    EXPECT_EQ(L"NAME,CODE,CITY", Order());
}

TEST_F(QueryOrderBy, ElementsWithoutAColumnAreSkipped)
{
    Add(L"CODE", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11);
    StandinParsedQuery& query = Query({{.nIndex = -1}, {.nIndex = 7}, {.nIndex = 1}});
    ASSERT_EQ(1, BuildOverQuery(query));
    EXPECT_EQ(L"NAME,CODE", Order());
}

TEST_F(QueryOrderBy, AnAutoIncrementColumnOrdersAloneWhateverTheQuery)
{
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"ID", NA_IT_IDAUTO4, 4);
    Add(L"CODE", NA_IT_I4, 4, 0x4800);
    ASSERT_EQ(1, BuildOverQuery(Query({{.nIndex = 0}, {.nIndex = 2}})));
    EXPECT_EQ(L"ID", Order());
}

TEST_F(QueryOrderBy, AUniqueNeverNullColumnOrdersAlone)
{
    Add(L"NAME", NA_IT_TEXTE, 11);
    CNAItemDescription* ref = Add(L"REF", NA_IT_I4, 4, 0x4800);
    ref->SetNullable(0);
    ASSERT_EQ(1, BuildOverQuery(Query({{.nIndex = 0}})));
    EXPECT_EQ(L"REF", Order());
}

TEST_F(QueryOrderBy, OnlyAQuerySourceReadsItsOrder)
{
    Add(L"CODE", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, BuildOverQuery(Query({{.nIndex = 1}}), false));
    EXPECT_EQ(L"CODE,NAME", Order());
}

}  // namespace
