// A data-source description completed from the host's parse of its query:
// items made from the table items the output items show or from computed
// items, items already there (from a statement's columns) completed in
// place with the key and memo lists kept in step, keys unique only over one
// table, each table item's database table name, and the ORDER BY's best
// parse item and directions.
#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "native/model/data_source_description.h"
#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/native/model/model_fixture.h"

namespace {

using vxstandin::ItemSpec;
using vxstandin::ParsedQuerySpec;

constexpr uint16_t kPrimary = 0x8000;
constexpr uint16_t kUnique = 0x4000;
constexpr uint16_t kDuplicates = 0x2000;
constexpr uint16_t kComposite = 0x1000;
constexpr uint16_t kAscending = 0x0800;
constexpr unsigned kAppend = static_cast<unsigned>(-1);

class QueryDataSource : public vxtest::ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        m_source = NewDescription(L"QUERY");
    }
    void TearDown() override
    {
        m_source->nRelease();
        if (m_adapter != nullptr)
            REF_Release(m_adapter);
        if (m_query)
            EXPECT_TRUE(m_query->bBalanced());
        m_query.reset();
        EXPECT_TRUE(m_customer.bBalanced()) << "table item references given back";
        ModelTest::TearDown();
    }

    int Complete(const ParsedQuerySpec& spec)
    {
        m_query.emplace(spec);
        m_adapter = new CSQLParserInfo(m_pclError, &*m_query, nullptr, 0);
        REF_AddRef(m_adapter);
        return m_source->bCompleteDescription(m_adapter);
    }
    ItemSpec Shows(size_t n)
    {
        return {.item = m_customer.Item(n).name, .table = L"CUSTOMER", .description = &m_customer.Item(n)};
    }
    std::wstring Keys() const
    {
        std::wstring names;
        for (unsigned i = 0; i < m_source->nGetNumKeys(); ++i) {
            const CNAItemDescription* key = m_source->pclGetKeyNoRef(i);
            names += (i ? L"," : L"") + std::wstring(key->pszGetName()) + L":" + std::to_wstring(key->nGetKeyIndice());
        }
        return names;
    }
    static std::wstring Text(const wchar_t* psz) { return psz != nullptr ? psz : L""; }
    std::wstring Memos() const
    {
        std::wstring names;
        for (unsigned i = 0; i < m_source->nGetNumMemos(); ++i)
            names += (i ? L"," : L"") + std::wstring(m_source->pclGetMemoNoRef(i)->pszGetName());
        return names;
    }

    // The host's table: a primary key, a unique nullable item, an item with
    // duplicates, a plain text, a memo and a composite key.
    StandinDataSourceDescription m_customer{{{L"ID", NA_IT_I4, 4, 1, 0, 0, kPrimary | kUnique | kAscending},
                                             {L"EMAIL", NA_IT_TEXTE, 41, 1, 0, 0, kUnique | kAscending},
                                             {L"CITY", NA_IT_TEXTE, 21, 1, 0, 0, kDuplicates | kAscending},
                                             {L"NAME", NA_IT_TEXTE, 31},
                                             {L"NOTES", NA_IT_MEMOTEXTE, 8},
                                             {L"CITY_NAME", NA_IT_BINAIRE, 52, 1, 0, 0, kUnique | kComposite}},
                                            L"CUSTOMER"};
    CNADataSourceDescription* m_source = nullptr;
    std::optional<StandinParsedQuery> m_query;
    CSQLParserInfo* m_adapter = nullptr;
};

TEST_F(QueryDataSource, ItemsMadeFromTheTableItemsOverOneTable)
{
    ItemSpec renamed = Shows(3);
    renamed.alias = L"FULLNAME";
    ASSERT_EQ(1, Complete({.text = L"SELECT ID, EMAIL, CITY, NAME AS FULLNAME, NOTES, CITY_NAME FROM CUSTOMER",
                           .from = {{.name = L"CUSTOMER", .physicalName = L"customers"}},
                           .items = {Shows(0), Shows(1), Shows(2), renamed, Shows(4), Shows(5)}}));
    EXPECT_EQ(CNADataSourceDescription::KIND_FROM_QUERY, m_source->eGetKind());
    // The composite key makes no item.
    ASSERT_EQ(5u, m_source->nGetNumItems());
    const CNAItemDescription* id = m_source->pclGetItemNoRef(0);
    EXPECT_STREQ(L"ID", id->pszGetName());
    EXPECT_EQ(NA_IT_I4, id->eNAGetItemType());
    EXPECT_TRUE(id->bPrimary() && id->bUnique());
    EXPECT_STREQ(L"customers", id->pszGetDBTableName()) << "the parse's physical name of the table";
    EXPECT_TRUE(m_source->pclGetItemNoRef(1)->bUnique());
    EXPECT_FALSE(m_source->pclGetItemNoRef(1)->bPrimary());
    EXPECT_TRUE(m_source->pclGetItemNoRef(2)->bDuplicates());
    const CNAItemDescription* name = m_source->pclGetItemNoRef(3);
    EXPECT_STREQ(L"FULLNAME", name->pszGetName()) << "the query's name";
    EXPECT_STREQ(L"NAME", name->pszGetNameInSource());
    EXPECT_EQ(31, name->nGetItemSize());
    EXPECT_FALSE(name->bIsKey());
    EXPECT_EQ(L"ID:0,EMAIL:1,CITY:2", Keys());
    EXPECT_EQ(L"NOTES", Memos());
    EXPECT_EQ(31u + 4 + 41 + 21 + 8, m_source->nGetMemoryRecordSize()) << "record sizes laid out again";
}

TEST_F(QueryDataSource, KeysOverTwoTablesAllowDuplicates)
{
    StandinDataSourceDescription orders({{L"NUM", NA_IT_I4, 4, 1, 0, 0, kPrimary | kUnique}}, L"ORDERS");
    ASSERT_EQ(1, Complete({.text = L"SELECT ID, EMAIL, NUM FROM CUSTOMER, ORDERS",
                           .from = {{.name = L"CUSTOMER"}, {.name = L"ORDERS"}},
                           .items = {Shows(0), Shows(1), {.item = L"NUM", .table = L"ORDERS", .description = &orders.Item(0)}}}));
    ASSERT_EQ(3u, m_source->nGetNumItems());
    for (unsigned i = 0; i < 3; ++i) {
        const CNAItemDescription* item = m_source->pclGetItemNoRef(i);
        SCOPED_TRACE(std::string(item->pszGetName(), item->pszGetName() + std::wcslen(item->pszGetName())));
        EXPECT_TRUE(item->bDuplicates());
        EXPECT_FALSE(item->bUnique());
        EXPECT_FALSE(item->bPrimary());
    }
    EXPECT_EQ(L"ID:0,EMAIL:1,NUM:2", Keys());
    EXPECT_TRUE(orders.bBalanced());
}

TEST_F(QueryDataSource, ComputedItemsTakeTheirEngineType)
{
    ItemSpec count{.name = L"N", .bIsItem = 0, .eQFType = 5, .nSize = 4, .dwCalculValue = 1};
    ItemSpec unrelated{.name = L"LABEL", .bIsItem = 0, .eQFType = 29, .nSize = 20, .dwCalculValue = 7};
    ASSERT_EQ(1, Complete({.text = L"SELECT COUNT(*) AS N, 'x' AS LABEL, NAME FROM CUSTOMER",
                           .from = {{.name = L"CUSTOMER"}},
                           .items = {count, unrelated, Shows(3)}}));
    ASSERT_EQ(3u, m_source->nGetNumItems());
    const CNAItemDescription* n = m_source->pclGetItemNoRef(0);
    EXPECT_STREQ(L"N", n->pszGetName());
    EXPECT_EQ(CNADataSourceDescription::g_eGetNAItemType(static_cast<eQFTYPES>(5)), n->eNAGetItemType());
    EXPECT_EQ(1u, n->dwGetCalculValue());
    EXPECT_EQ(L"", Text(n->pszGetDBTableName())) << "no table for a computed item";
    EXPECT_FALSE(n->bIsKey());
    const CNAItemDescription* label = m_source->pclGetItemNoRef(1);
    EXPECT_EQ(7u, label->dwGetCalculValue());
    EXPECT_EQ(CNADataSourceDescription::g_eGetNAItemType(static_cast<eQFTYPES>(29)), label->eNAGetItemType());
    EXPECT_EQ(0u, m_source->pclGetItemNoRef(2)->dwGetCalculValue());
    EXPECT_EQ(0u, m_source->nGetNumKeys());
}

TEST_F(QueryDataSource, ItemsAlreadyThereAreCompletedInPlace)
{
    // As the statement's columns made them: plain items, one of them a memo
    // that the table says is a text.
    ASSERT_EQ(1, m_source->bAddItem(L"NOTE", L"", L"NOTE", 1, 8, NA_IT_MEMOTEXTE, kAppend, -1, 0, 0, 0));
    ASSERT_EQ(1, m_source->bAddItem(L"EMAIL", L"", L"EMAIL", 1, 41, NA_IT_TEXTE, kAppend, -1, 0, 0, 0));
    ASSERT_EQ(1, m_source->bAddItem(L"MEMO", L"", L"MEMO", 1, 31, NA_IT_TEXTE, kAppend, -1, 0, 0, 0));
    ASSERT_EQ(1, m_source->bAddItem(L"N", L"", L"N", 1, 4, NA_IT_I8, kAppend, -1, 0, 0, 0));
    ASSERT_EQ(1, m_source->bAddItem(L"ID", L"", L"ID", 1, 4, NA_IT_I4, kAppend, 0, kUnique | kAscending, 0, 0));
    ASSERT_EQ(L"ID:0", Keys());
    ASSERT_EQ(L"NOTE", Memos());
    ItemSpec note = Shows(3);
    note.alias = L"NOTE";
    ItemSpec memo = Shows(4);
    memo.alias = L"MEMO";
    ItemSpec count{.name = L"N", .bIsItem = 0, .eQFType = 5, .nSize = 4, .dwCalculValue = 1};
    ASSERT_EQ(1, Complete({.text = L"SELECT NAME AS NOTE, EMAIL, NOTES AS MEMO, COUNT(*) AS N, ID FROM CUSTOMER",
                           .from = {{.name = L"CUSTOMER"}},
                           .items = {note, Shows(1), memo, count, Shows(0)}}));
    ASSERT_EQ(5u, m_source->nGetNumItems()) << "no item added";
    EXPECT_EQ(NA_IT_TEXTE, m_source->pclGetItemNoRef(0)->eNAGetItemType());
    EXPECT_EQ(NA_IT_MEMOTEXTE, m_source->pclGetItemNoRef(2)->eNAGetItemType());
    EXPECT_EQ(L"MEMO", Memos()) << "one memo left the list, another joined it";
    // EMAIL became a key behind ID, which kept its place.
    EXPECT_EQ(L"ID:0,EMAIL:1", Keys());
    EXPECT_EQ(41, m_source->pclGetItemNoRef(1)->nGetItemSize());
    const CNAItemDescription* n = m_source->pclGetItemNoRef(3);
    EXPECT_EQ(1u, n->dwGetCalculValue());
    EXPECT_STREQ(L"N", n->pszGetNameInSource()) << "completed as a computed item";
    EXPECT_EQ(L"", Text(n->pszGetSourceName()));
}

TEST_F(QueryDataSource, DatabaseTableNameOfEachTableItem)
{
    StandinDataSourceDescription described({{L"ID", NA_IT_I4, 4}}, L"ORDERS");
    described.name = L"orders_db";
    auto item = [&](const wchar_t* table, const wchar_t* alias) {
        ItemSpec spec = Shows(3);
        spec.name = std::wstring(L"N_") + alias;
        spec.table = table;
        spec.tableAlias = alias;
        return spec;
    };
    ASSERT_EQ(1, Complete({.text = L"SELECT ...",
                           .from = {{.name = L"CUSTOMER", .alias = L"C"}, {.name = L"ORDERS", .description = &described}},
                           .items = {item(L"CUSTOMER", L"C"), item(L"CUSTOMER", L"CUSTOMER"), item(L"ORDERS", L"ORDERS"),
                                     item(L"LINES", L"LINES")},
                           .physicalNames = {{L"CUSTOMER", L"cust_db"}}}));
    ASSERT_EQ(4u, m_source->nGetNumItems());
    EXPECT_STREQ(L"CUSTOMER", m_source->pclGetItemNoRef(0)->pszGetDBTableName()) << "written under an alias";
    EXPECT_STREQ(L"cust_db", m_source->pclGetItemNoRef(1)->pszGetDBTableName()) << "the physical name";
    EXPECT_STREQ(L"orders_db", m_source->pclGetItemNoRef(2)->pszGetDBTableName()) << "the parse's description";
    EXPECT_EQ(L"", Text(m_source->pclGetItemNoRef(3)->pszGetDBTableName())) << "nothing known";
    EXPECT_TRUE(described.bBalanced());
}

TEST_F(QueryDataSource, OrderByGivesTheBestParseItemAndDirections)
{
    ASSERT_EQ(1, Complete({.text = L"SELECT ID, NAME, CITY FROM CUSTOMER ORDER BY NAME DESC, CITY",
                           .from = {{.name = L"CUSTOMER"}},
                           .items = {Shows(0), Shows(3), Shows(2)},
                           .orderBy = {{.nIndex = 1, .nDirection = 1}, {.nIndex = 2}}}));
    INAItemDescription* best = m_source->piGetBestParseItemDesc();
    ASSERT_NE(nullptr, best);
    EXPECT_STREQ(L"NAME", best->pszGetName()) << "the ORDER BY's first item, not the primary key";
    best->nExternalRelease();
    EXPECT_TRUE(m_source->pclGetItemNoRef(1)->bGetDescendant(-1));
    EXPECT_TRUE(m_source->pclGetItemNoRef(2)->bGetAscendant(-1));
    EXPECT_FALSE(m_source->pclGetItemNoRef(2)->bGetDescendant(-1));
}

}  // namespace
