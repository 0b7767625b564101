// The parsed-query adapter's questions about the columns of a query's
// current record: whether a column's source is a memo (a plain item by the
// column, a computed one by what its expression reads), its GROUP BY and
// ORDER BY elements, and the query of the record it is attached to.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxstandin::ExpressionSpec;
using vxstandin::ItemSpec;
using vxstandin::ParsedQuerySpec;

// The host engine's types an item operand reports: 15, 16, 29, 30 and 40
// are memos.
constexpr int kQFText = 2;
constexpr int kQFMemo = 15;
constexpr int kQFMemoUnicode = 40;

class ParserInfoColumns : public vxtest::RecordTest
{
protected:
    void TearDown() override
    {
        if (m_adapter != nullptr)
            REF_Release(m_adapter);
        DropRecord();
        if (m_query)
            EXPECT_TRUE(m_query->bBalanced());
        m_query.reset();
        RecordTest::TearDown();
    }

    // The query over the record built from the description; the adapter
    // is the data access's source query and is attached to the record.
    CSQLParserInfo* Over(const ParsedQuerySpec& spec)
    {
        m_query.emplace(spec);
        EXPECT_EQ(1, Build(true));
        m_adapter = new CSQLParserInfo(m_pclError, &*m_query, nullptr, 0);
        REF_AddRef(m_adapter);
        m_access->SetSourceQuery(m_adapter);
        m_adapter->SetRecord(m_record);
        return m_adapter;
    }
    static ItemSpec Computed(const wchar_t* name, ExpressionSpec expression)
    {
        return {.alias = name, .eKind = IInfoRubrique::KIND_EXPRESSION, .bIsItem = 0, .expression = expression};
    }
    static ExpressionSpec Column(int eQFType) { return {.eOperator = OPEXP_ITEM, .eQFType = eQFType}; }
    static ExpressionSpec Literal() { return {.eOperator = OPEXP_LITERAL}; }

    std::optional<StandinParsedQuery> m_query;
    CSQLParserInfo* m_adapter = nullptr;
};

TEST_F(ParserInfoColumns, SourceIsMemo)
{
    for (const wchar_t* name : {L"NOTES", L"NAME", L"UP", L"LEN", L"CAT", L"NUL", L"DEEP", L"OTHER"})
        Add(name, name == std::wstring(L"NOTES") ? NA_IT_MEMOTEXTE : NA_IT_TEXTE, name == std::wstring(L"NOTES") ? 8 : 11);
    // A memo read three levels down still makes the item a memo; a literal
    // or NULL operand never does.
    ExpressionSpec deep{.eOperator = 45, .operands = {{.eOperator = 44, .operands = {Literal(), Column(kQFMemoUnicode)}}}};
    CSQLParserInfo* adapter = Over({.text = L"SELECT ...",
                                    .from = {{.name = L"CUSTOMER"}},
                                    .items = {{.item = L"NOTES"},
                                              {.item = L"NAME"},
                                              Computed(L"UP", {.eOperator = 45, .operands = {Column(kQFMemo)}}),
                                              Computed(L"LEN", {.eOperator = 55, .operands = {Column(kQFText)}}),
                                              Computed(L"CAT", {.eOperator = 88, .operands = {Literal(), Column(kQFText), Column(30)}}),
                                              Computed(L"NUL", {.eOperator = OPEXP_NULL, .eQFType = kQFMemo}),
                                              Computed(L"DEEP", deep)}});
    struct Case
    {
        const wchar_t* column;
        int memo;
    };
    const Case cases[] = {{L"NOTES", 1}, {L"NAME", 0}, {L"UP", 1}, {L"LEN", 0}, {L"CAT", 1}, {L"NUL", 0}, {L"DEEP", 1},
                          {L"OTHER", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.memo, adapter->bRubriqueSourceIsMemo(Col(c.column))) << std::string(c.column, c.column + 5);
    EXPECT_EQ(0, adapter->bRubriqueSourceIsMemo(nullptr));
}

TEST_F(ParserInfoColumns, GroupAndOrderElementsOfAColumn)
{
    Add(L"CODE", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"CITY", NA_IT_TEXTE, 11);
    CSQLParserInfo* adapter = Over({.text = L"SELECT CODE, C.NAME AS FULLNAME, CITY FROM CUSTOMER C "
                                            L"GROUP BY CODE, CITY ORDER BY CITY, FULLNAME DESC",
                                    .from = {{.name = L"CUSTOMER", .alias = L"C", .physicalName = L"customer_db"}},
                                    .items = {{.item = L"CODE"},
                                              {.alias = L"FULLNAME", .item = L"NAME", .table = L"CUSTOMER", .tableAlias = L"C"},
                                              {.item = L"CITY"}},
                                    .groupBy = {{.item = L"CODE", .itemAlias = L"CODE"}, {.item = L"CITY", .itemAlias = L"city"}},
                                    .orderBy = {{.nIndex = 2}, {.nIndex = 1, .nDirection = 1}}});
    IInfoGroupe* group = adapter->piGetRubriqueClauseGroupe(Col(L"CITY"));
    ASSERT_NE(nullptr, group);
    EXPECT_STREQ(L"city", group->pszGetNomRubriqueAlias());
    EXPECT_EQ(nullptr, adapter->piGetRubriqueClauseGroupe(Col(L"NAME")));

    EXPECT_EQ(m_query->OrderBy(0), adapter->piGetRubriqueClauseOrder(Col(L"CITY"))) << "by the output item's name";
    EXPECT_EQ(nullptr, adapter->piGetRubriqueClauseOrder(Col(L"CODE")));
    // NAME is shown as FULLNAME: found by its original name once its
    // table alias is the physical name of the item's table.
    EXPECT_EQ(nullptr, adapter->piGetRubriqueClauseOrder(Col(L"NAME")));
    Col(L"NAME")->SetAliasNomTable(L"customer_db", L"`customer_db`");
    IInfoOrderBy* order = adapter->piGetRubriqueClauseOrder(Col(L"NAME"));
    EXPECT_EQ(m_query->OrderBy(1), order);
    ASSERT_NE(nullptr, order);
    EXPECT_EQ(1, order->nGetDirection());
    EXPECT_EQ(nullptr, adapter->piGetRubriqueClauseOrder(nullptr));
}

TEST_F(ParserInfoColumns, TheAttachedRecordsQuery)
{
    Add(L"CODE", NA_IT_I4, 4);
    CSQLParserInfo* adapter = Over({.text = L"SELECT CODE FROM CUSTOMER", .items = {{.item = L"CODE"}}});
    EXPECT_EQ(m_record, adapter->pclGetRecordNoRef());
    EXPECT_EQ(adapter, adapter->pclGetQueryParserInfoNoRef());
    adapter->SetRecord(nullptr);
    EXPECT_EQ(nullptr, adapter->pclGetQueryParserInfoNoRef());
}

}  // namespace
