// The parsed-query adapter over stand-in parses: the lists it takes, the
// keys and the best parse item it chooses over one and two tables, whether
// the query allows H-operations, the table and alias questions with the
// shared physical-name buffer, the host calls that fail, and the references
// it takes and gives back.
#include <gtest/gtest.h>

#include <cwchar>
#include <stdexcept>
#include <string>

#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/model/model_fixture.h"

namespace {

using vxstandin::ExpressionSpec;
using vxstandin::ItemSpec;
using vxstandin::ParsedQuerySpec;
using vxstandin::Span;

constexpr uint16_t kPrimary = 0x8000;
constexpr uint16_t kUnique = 0x4000;
constexpr uint16_t kDuplicates = 0x2000;
constexpr uint16_t kComposite = 0x1000;

class ParserInfo : public vxtest::ModelTest
{
protected:
    // The adapter over the parse, with one reference held by the test.
    CSQLParserInfo* Adapt(StandinParsedQuery& query, INAQueryParametersValue* values = nullptr, int bWithoutClauses = 0)
    {
        auto* adapter = new CSQLParserInfo(m_pclError, &query, values, bWithoutClauses);
        REF_AddRef(adapter);
        return adapter;
    }
    static std::wstring Name(const IInfoRubrique* item) { return item != nullptr ? item->pszGetNom() : L"(none)"; }
};

// One table of four items, A plain, B a key with duplicates, C unique but
// nullable, D unique and never NULL; the description is of version 9, so
// its NULL constraint is read.
class KeyedTable
{
public:
    KeyedTable()
        : table({{L"A", NA_IT_TEXTE, 11},
                 {L"B", NA_IT_I4, 4, 1, 0, 0, kDuplicates},
                 {L"C", NA_IT_I4, 4, 1, 0, 0, kUnique},
                 {L"D", NA_IT_I4, 4, 1, 0, 0, kUnique}},
                L"T")
    {
        for (size_t i = 0; i < table.nItems(); ++i)
            table.Item(i).SetVersion(9);
        table.Item(3).bNullAllowed = 0;
    }
    ItemSpec Item(size_t n) { return {.item = table.Item(n).name, .table = L"T", .description = &table.Item(n)}; }

    StandinDataSourceDescription table;
};

TEST_F(ParserInfo, TakesTheListsOfTheParse)
{
    const std::wstring text = L"SELECT A, B FROM T WHERE A > 1 GROUP BY A, B HAVING B > 2 ORDER BY B DESC";
    KeyedTable host;
    StandinParsedQuery query({.text = text,
                              .from = {{.name = L"T", .position = Span(text, L"T", 1)}},
                              .items = {host.Item(0), host.Item(1)},
                              .groupBy = {{.item = L"A", .itemAlias = L"A"}, {.item = L"B", .itemAlias = L"B"}},
                              .orderBy = {{.nIndex = 1, .nDirection = 1}},
                              .whereStart = 19,
                              .where = ExpressionSpec{.eOperator = 13},
                              .having = ExpressionSpec{.eOperator = 13}});
    CSQLParserInfo* adapter = Adapt(query);
    EXPECT_STREQ(text.c_str(), adapter->pszGetRequete());
    EXPECT_EQ(TYPEREQUETE_SELECT, adapter->eGetTypeRequete());
    EXPECT_EQ(19, adapter->nGetWhereStart());
    EXPECT_EQ(0, adapter->nGetOrderByStart());
    EXPECT_EQ(-1, adapter->nGetQueryEnd());
    EXPECT_EQ(query.Where(), adapter->piGetWhereExpressionNoRef());
    EXPECT_EQ(query.Having(), adapter->piGetHavingExpressionNoRef());

    ASSERT_EQ(1, adapter->nGetFichierFromNbr());
    EXPECT_EQ(query.From(0), adapter->piEnumFichierFrom(1));
    EXPECT_EQ(nullptr, adapter->piEnumFichierFrom(0));
    EXPECT_EQ(nullptr, adapter->piEnumFichierFrom(0)) << "stays at the end";
    EXPECT_EQ(query.From(0), adapter->piEnumFichierFrom(1)) << "restarts";

    ASSERT_EQ(2, adapter->nGetRubriqueOUTNbr());
    EXPECT_EQ(query.Item(0), adapter->piEnumRubriqueOUT(1));
    EXPECT_EQ(query.Item(1), adapter->piEnumRubriqueOUT(0));
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueOUT(0));
    EXPECT_EQ(query.Item(1), adapter->piGetRubriqueOUT(1));
    EXPECT_EQ(nullptr, adapter->piGetRubriqueOUT(2));
    EXPECT_EQ(nullptr, adapter->piGetRubriqueOUT(-1));
    EXPECT_EQ(query.Item(1), adapter->piEnumRubriqueOUT(L"b")) << "names compare without regard to case";
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueOUT(L"Z"));

    // The GROUP BY elements are copies, the ORDER BY elements the host's.
    ASSERT_EQ(2, adapter->nGetRubriqueClauseGroupeNbr());
    IInfoGroupe* group = adapter->piEnumRubriqueClauseGroupe(1);
    ASSERT_NE(nullptr, group);
    EXPECT_STREQ(L"A", group->pszGetNomRubrique());
    EXPECT_STREQ(L"B", adapter->piEnumRubriqueClauseGroupe(0)->pszGetNomRubriqueAlias());
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueClauseGroupe(0));
    EXPECT_EQ(query.OrderBy(0), adapter->piEnumRubriqueClauseOrder(1));
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueClauseOrder(0));

    // The first ORDER BY element's item is the best parse item, before any
    // key.
    EXPECT_EQ(L"B", Name(adapter->piGetOrderByItem()));
    EXPECT_STREQ(L"B", adapter->pszGetBestParseItem());
    EXPECT_STREQ(L"B", adapter->pszGetOrderByItem());
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueUpdate(1)) << "a SELECT has no assignments";

    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
    EXPECT_EQ(0, host.table.Item(1).Refs().nBalance()) << "item descriptions given back";
}

TEST_F(ParserInfo, KeysOverOneTable)
{
    KeyedTable host;
    struct Case
    {
        const char* what;
        std::vector<int> items;
        const wchar_t *bestKey, *uniqueKey, *key, *best;
    };
    const Case cases[] = {
        {"every kind, the never-NULL one wins all three", {0, 1, 2, 3}, L"D", L"D", L"D", L"D"},
        {"unique nullable, then duplicates", {0, 2, 1}, L"(none)", L"C", L"C", L"C"},
        {"duplicates only", {0, 1}, L"(none)", L"(none)", L"B", L"B"},
        {"no key: the first item", {0}, L"(none)", L"(none)", L"(none)", L"A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedQuerySpec spec{.text = L"SELECT ... FROM T", .from = {{.name = L"T"}}};
        for (int n : c.items)
            spec.items.push_back(host.Item(static_cast<size_t>(n)));
        StandinParsedQuery query(spec);
        CSQLParserInfo* adapter = Adapt(query);
        EXPECT_EQ(c.bestKey, Name(adapter->piGetBestKey()));
        EXPECT_EQ(c.uniqueKey, Name(adapter->piGetUniqueKey()));
        EXPECT_EQ(c.key, Name(adapter->piGetKey()));
        EXPECT_EQ(c.best, Name(adapter->piGetBestParseItem()));
        EXPECT_EQ(nullptr, adapter->pszGetOrderByItem()) << "no ORDER BY";
        REF_Release(adapter);
        EXPECT_TRUE(query.bBalanced());
    }
}

TEST_F(ParserInfo, NeverNullByTheDescriptionsVersion)
{
    struct Case
    {
        const char* what;
        eNA_ITEMTYPE type;
        uint16_t flags;
        int version, nullAllowed;
        bool best;
    };
    const Case cases[] = {
        {"version 9, NULL not allowed", NA_IT_I4, kUnique, 9, 0, true},
        {"version 9, NULL allowed", NA_IT_I4, kUnique, 9, 1, false},
        {"version 8 reads no constraint", NA_IT_I4, kUnique, 8, 0, false},
        {"version 8, auto-identifier", NA_IT_IDAUTO4, kUnique, 8, 1, true},
        {"version 8, 8-byte auto-identifier", NA_IT_IDAUTO, kUnique, 8, 1, true},
        {"primary", NA_IT_I4, kPrimary | kUnique, 9, 1, true},
        {"composite primary key", NA_IT_BINAIRE, kPrimary | kUnique | kComposite, 9, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StandinDataSourceDescription table({{L"K", c.type, 4, 1, 0, 0, c.flags}}, L"T");
        table.Item(0).SetVersion(c.version);
        table.Item(0).bNullAllowed = c.nullAllowed;
        StandinParsedQuery query({.text = L"SELECT K FROM T",
                                  .from = {{.name = L"T"}},
                                  .items = {{.item = L"K", .table = L"T", .description = &table.Item(0)}}});
        CSQLParserInfo* adapter = Adapt(query);
        EXPECT_EQ(c.best, adapter->piGetBestKey() != nullptr);
        EXPECT_EQ(c.best ? 1 : 0, adapter->bRubriqueUniqueNotNull(query.Item(0)));
        REF_Release(adapter);
    }
}

TEST_F(ParserInfo, TwoTablesHaveNoKeys)
{
    KeyedTable host;
    const std::wstring text = L"SELECT T.D, U.X FROM T, U";
    StandinDataSourceDescription other({{L"X", NA_IT_I4, 4, 1, 0, 0, kPrimary | kUnique}}, L"U");
    ItemSpec x{.item = L"X", .table = L"U", .description = &other.Item(0)};
    for (bool bOrderBy : {false, true}) {
        SCOPED_TRACE(bOrderBy ? "ORDER BY U.X" : "no ORDER BY");
        ParsedQuerySpec spec{.text = text, .from = {{.name = L"T"}, {.name = L"U"}}, .items = {host.Item(3), x}};
        if (bOrderBy)
            spec.orderBy = {{.nIndex = 1}};
        StandinParsedQuery query(spec);
        CSQLParserInfo* adapter = Adapt(query);
        EXPECT_EQ(nullptr, adapter->piGetBestKey());
        EXPECT_EQ(nullptr, adapter->piGetUniqueKey());
        EXPECT_EQ(nullptr, adapter->piGetKey());
        EXPECT_EQ(bOrderBy ? L"X" : L"D", Name(adapter->piGetBestParseItem()));
        EXPECT_EQ(0, adapter->bRubriqueUnique(query.Item(0)));
        EXPECT_EQ(0, adapter->bRubriqueUniqueNotNull(query.Item(1)));
        EXPECT_EQ(0, query.Item(0)->nDescriptionCalls) << "no item description asked for";
        REF_Release(adapter);
    }
}

TEST_F(ParserInfo, UniqueAnswersOfOtherItems)
{
    // C is the unique key; D, unique and never NULL, is the best key; a
    // computed item is never unique.
    KeyedTable host;
    ItemSpec computed = host.Item(2);
    computed.name = L"E";
    computed.bIsItem = 0;
    StandinParsedQuery query(
        {.text = L"SELECT ...", .from = {{.name = L"T"}}, .items = {host.Item(2), host.Item(0), host.Item(3), computed}});
    CSQLParserInfo* adapter = Adapt(query);
    // D became all three keys at once.
    EXPECT_EQ(L"D", Name(adapter->piGetUniqueKey()));
    EXPECT_EQ(1, adapter->bRubriqueUnique(query.Item(0))) << "by its description";
    EXPECT_EQ(0, adapter->bRubriqueUnique(query.Item(1)));
    EXPECT_EQ(1, adapter->bRubriqueUnique(query.Item(2)));
    EXPECT_EQ(0, adapter->bRubriqueUnique(query.Item(3)));
    EXPECT_EQ(0, adapter->bRubriqueUniqueNotNull(query.Item(0)));
    EXPECT_EQ(1, adapter->bRubriqueUniqueNotNull(query.Item(2)));
    EXPECT_EQ(nullptr, adapter->piGetItemDescription(query.Item(3))) << "a computed item has none";
    INAItemDescription* description = adapter->piGetItemDescription(query.Item(1));
    ASSERT_EQ(&host.table.Item(0), description);
    EXPECT_EQ(1, host.table.Item(0).Refs().nBalance()) << "a reference for the caller";
    description->nExternalRelease();
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
}

TEST_F(ParserInfo, HOperations)
{
    ItemSpec plain{.item = L"A", .table = L"T"};
    ItemSpec count{.name = L"N",
                   .text = L"COUNT(*)",
                   .eKind = IInfoRubrique::KIND_AGGREGATE,
                   .expression = ExpressionSpec{.eOperator = 28}};
    ItemSpec upper{.name = L"U",
                   .text = L"UPPER(A)",
                   .eKind = IInfoRubrique::KIND_EXPRESSION,
                   .bIsItem = 0,
                   .expression = ExpressionSpec{.eOperator = 45, .operands = {{.item = L"A"}}}};
    // A function the host still relates to a table item is no aggregate.
    ItemSpec related = upper;
    related.bIsItem = 1;
    struct Case
    {
        const char* what;
        std::wstring text;
        std::vector<ItemSpec> items;
        bool bGroupBy;
        int bWithoutClauses;
        int allowed;
    };
    const Case cases[] = {
        {"plain", L"SELECT A FROM T", {plain}, false, 0, 1},
        {"DISTINCT", L"SELECT DISTINCT A FROM T", {plain}, false, 0, 0},
        {"distinct", L"select distinct A from T", {plain}, false, 0, 0},
        {"Distinct is not recognised", L"SELECT Distinct A FROM T", {plain}, false, 0, 1},
        {"DISTINCT without a blank after it", L"SELECT DISTINCT(A) FROM T", {plain}, false, 0, 1},
        {"an aggregate", L"SELECT COUNT(*) FROM T", {count}, false, 0, 0},
        {"a computed item", L"SELECT UPPER(A) FROM T", {upper}, false, 0, 0},
        {"an expression the host relates to an item", L"SELECT UPPER(A) FROM T", {related}, false, 0, 1},
        {"GROUP BY", L"SELECT A FROM T GROUP BY A", {plain}, true, 0, 0},
        {"GROUP BY left out", L"SELECT A FROM T GROUP BY A", {plain}, true, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedQuerySpec spec{.text = c.text, .from = {{.name = L"T"}}, .items = c.items};
        if (c.bGroupBy)
            spec.groupBy = {{.item = L"A"}};
        StandinParsedQuery query(spec);
        CSQLParserInfo* adapter = Adapt(query, nullptr, c.bWithoutClauses);
        EXPECT_EQ(c.allowed, adapter->bHOperationAllowed());
        REF_Release(adapter);
        EXPECT_TRUE(query.bBalanced());
    }
}

TEST_F(ParserInfo, WithoutClausesLeavesOutGroupByOrderByAndHaving)
{
    const std::wstring text = L"SELECT A, B FROM T GROUP BY A, B HAVING B > 1 ORDER BY B";
    StandinParsedQuery query({.text = text,
                              .from = {{.name = L"T"}},
                              .items = {{.item = L"A"}, {.item = L"B"}},
                              .groupBy = {{.item = L"A"}},
                              .orderBy = {{.nIndex = 1}},
                              .where = ExpressionSpec{.eOperator = 9},
                              .having = ExpressionSpec{.eOperator = 13}});
    CSQLParserInfo* adapter = Adapt(query, nullptr, 1);
    EXPECT_EQ(0, adapter->nGetRubriqueClauseGroupeNbr());
    EXPECT_EQ(0, adapter->nGetRubriqueClauseOrderNbr());
    EXPECT_EQ(nullptr, adapter->piGetOrderByItem());
    EXPECT_EQ(L"A", Name(adapter->piGetBestParseItem()));
    EXPECT_EQ(query.Where(), adapter->piGetWhereExpressionNoRef()) << "the WHERE tree is always taken";
    EXPECT_EQ(nullptr, adapter->piGetHavingExpressionNoRef());

    // Filled again with the clauses: the former lists go, the new come.
    adapter->Set(&query, nullptr, 0);
    EXPECT_EQ(1, adapter->nGetRubriqueClauseGroupeNbr());
    EXPECT_EQ(2, adapter->nGetRubriqueOUTNbr());
    EXPECT_EQ(L"B", Name(adapter->piGetBestParseItem()));
    EXPECT_EQ(query.Having(), adapter->piGetHavingExpressionNoRef());
    EXPECT_EQ(1, query.Refs().nBalance()) << "the same parse held once";
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
}

TEST_F(ParserInfo, UpdateAndInsertItems)
{
    StandinParsedQuery update({.text = L"UPDATE T SET A = 1, B = 2",
                               .eType = TYPEREQUETE_UPDATE,
                               .from = {{.name = L"T"}},
                               .updates = {{.column = {.item = L"A"}, .value = {.eOperator = 48}},
                                           {.column = {.item = L"B"}, .value = {.eOperator = 48}}}});
    CSQLParserInfo* adapter = Adapt(update);
    IInfoAffectation* first = adapter->piEnumRubriqueUpdate(1);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(L"A", first->piGetColumn()->pszGetNomRubrique());
    EXPECT_STREQ(L"B", adapter->piEnumRubriqueUpdate(0)->piGetColumn()->pszGetNomRubrique());
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueUpdate(0));
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueInsert(1));

    StandinParsedQuery insert({.text = L"INSERT INTO T (A) VALUES (1)",
                               .eType = TYPEREQUETE_INSERT,
                               .inserts = {{.item = L"A", .value = {.eOperator = 48}}}});
    adapter->Set(&insert, nullptr, 0);
    EXPECT_EQ(nullptr, adapter->piEnumRubriqueUpdate(1));
    IInfoInsertion* column = adapter->piEnumRubriqueInsert(1);
    ASSERT_NE(nullptr, column);
    EXPECT_STREQ(L"A", column->pszGetNomRubrique());
    EXPECT_EQ(0, update.Refs().nBalance()) << "the former parse released";
    REF_Release(adapter);
    EXPECT_TRUE(update.bBalanced());
    EXPECT_TRUE(insert.bBalanced());
}

TEST_F(ParserInfo, TableAliasesAndDescriptions)
{
    StandinDataSourceDescription customer({{L"ID", NA_IT_I4, 4}}, L"CUSTOMER");
    StandinDataSourceDescription orders({{L"ID", NA_IT_I4, 4}}, L"ORDERS");
    StandinDataSourceDescription other({{L"ID", NA_IT_I4, 4}}, L"OTHER");
    StandinParsedQuery query({.text = L"SELECT C.ID FROM CUSTOMER C, ORDERS",
                              .from = {{.name = L"CUSTOMER", .alias = L"C", .description = &customer},
                                       {.name = L"ORDERS", .description = &orders}},
                              .descriptions = {{L"OTHER", &other}}});
    CSQLParserInfo* adapter = Adapt(query);
    INADataSourceDescription* description = &other;
    EXPECT_EQ(1, adapter->bIsTableAlias(L"c", &description));
    EXPECT_EQ(nullptr, description);
    EXPECT_EQ(0, adapter->bIsTableAlias(L"ORDERS", &description)) << "a table written without an alias";
    EXPECT_EQ(&orders, description);
    EXPECT_EQ(1, orders.Refs().nBalance());
    description->nExternalRelease();
    EXPECT_EQ(0, adapter->bIsTableAlias(L"OTHER", &description)) << "not in the FROM list";
    EXPECT_EQ(&other, description);
    description->nExternalRelease();
    EXPECT_EQ(0, adapter->bIsTableAlias(L"CUSTOMER", nullptr)) << "a table's name under an alias is no alias";
    EXPECT_EQ(0, adapter->bIsTableAlias(L"NONE", &description));
    EXPECT_EQ(nullptr, description);

    description = adapter->piGetNADataSourceDescription(L"other");
    EXPECT_EQ(&other, description);
    description->nExternalRelease();
    query.SetThrow(vxstandin::THROW_DATA_SOURCE);
    EXPECT_EQ(nullptr, adapter->piGetNADataSourceDescription(L"OTHER")) << "a failing host answers null";
    EXPECT_EQ(0, adapter->bIsTableAlias(L"OTHER", &description));
    EXPECT_EQ(nullptr, description);
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
    EXPECT_TRUE(customer.bBalanced() && orders.bBalanced() && other.bBalanced());
}

TEST_F(ParserInfo, PhysicalNamesInOneSharedBuffer)
{
    const std::wstring longName(300, L'N');
    StandinDataSourceDescription described({{L"ID", NA_IT_I4, 4}}, L"DESCRIBED");
    described.name = L"described_db";
    StandinParsedQuery query({.text = L"SELECT ...",
                              .from = {{.name = L"CUSTOMER", .alias = L"C", .physicalName = L"cust_db"},
                                       {.name = L"ORDERS", .description = &described},
                                       {.name = L"LINES"}},
                              .items = {{.item = L"ID", .table = L"CUSTOMER", .tableAlias = L"C"},
                                        {.item = L"ID", .table = L"LINES"}},
                              .physicalNames = {{L"LONG", longName}}});
    CSQLParserInfo* adapter = Adapt(query);
    const wchar_t* first = adapter->pszGetPhysicalName(L"C");
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(L"cust_db", first);
    EXPECT_EQ(CSQLParserInfo::PHYSICAL_NAME_CAPACITY, query.nLastNameCapacity()) << "the host is given the capacity";
    const wchar_t* second = adapter->pszGetPhysicalName(L"LONG");
    EXPECT_EQ(first, second) << "one buffer, valid until the next call";
    EXPECT_EQ(std::wstring(260, L'N'), second) << "cut to the buffer";
    EXPECT_EQ(nullptr, adapter->pszGetPhysicalName(L"LINES"));

    EXPECT_STREQ(L"cust_db", adapter->pszGetPhysicalName(query.Item(0))) << "by the item's table alias";
    EXPECT_STREQ(L"LINES", adapter->pszGetPhysicalName(query.Item(1))) << "else the item's table name";

    EXPECT_STREQ(L"cust_db", adapter->csGetFichierFrom_DBTableName(0).pszGet());
    EXPECT_STREQ(L"described_db", adapter->csGetFichierFrom_DBTableName(1).pszGet());
    EXPECT_STREQ(L"LINES", adapter->csGetFichierFrom_DBTableName(2).pszGet());
    EXPECT_EQ(0, adapter->csGetFichierFrom_DBTableName(3).nTaille());

    query.SetThrow(vxstandin::THROW_PHYSICAL_NAME);
    EXPECT_EQ(nullptr, adapter->pszGetPhysicalName(L"C"));
    EXPECT_STREQ(L"CUSTOMER", adapter->pszGetPhysicalName(query.Item(0)));
    EXPECT_STREQ(L"CUSTOMER", adapter->csGetFichierFrom_DBTableName(0).pszGet());
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
}

TEST_F(ParserInfo, ItemsByTableAliasAndName)
{
    StandinParsedQuery query({.text = L"SELECT C.NAME, O.NAME, UPPER(C.NAME) AS NAME2 FROM CUSTOMER C, ORDERS O",
                              .from = {{.name = L"CUSTOMER", .alias = L"C"}, {.name = L"ORDERS", .alias = L"O"}},
                              .items = {{.item = L"NAME", .table = L"CUSTOMER", .tableAlias = L"C"},
                                        {.item = L"NAME", .table = L"ORDERS", .tableAlias = L"O"},
                                        {.alias = L"NAME2",
                                         .tableAlias = L"O",
                                         .eKind = IInfoRubrique::KIND_EXPRESSION,
                                         .bIsItem = 0}}});
    CSQLParserInfo* adapter = Adapt(query);
    EXPECT_EQ(query.Item(1), adapter->piGetInfoRubriqueFromAlias(L"o", L"name"));
    EXPECT_EQ(query.Item(0), adapter->piGetInfoRubriqueFromAlias(L"", L"NAME")) << "without alias: the first";
    EXPECT_EQ(query.Item(0), adapter->piGetInfoRubriqueFromAlias(nullptr, L"NAME"));
    EXPECT_EQ(nullptr, adapter->piGetInfoRubriqueFromAlias(L"O", L"NAME2")) << "only plain items under an alias";
    EXPECT_EQ(query.Item(2), adapter->piGetInfoRubriqueFromAlias(nullptr, L"NAME2"));
    EXPECT_EQ(nullptr, CSQLParserInfo::g_piGetInfoRubriqueFromAlias(nullptr, L"C", L"NAME"));
    query.SetThrow(vxstandin::THROW_ENUM_RUBRIQUE);
    EXPECT_EQ(nullptr, adapter->piGetInfoRubriqueFromAlias(L"C", L"NAME")) << "a failing host answers null";
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
}

// The query is taken in the constructor: a host call that throws there
// must not leave the parse, its FROM tables or the error object held.
TEST_F(ParserInfo, AHostFailingWhileTheQueryIsTakenLeavesNothingHeld)
{
    StandinParsedQuery query({.text = L"SELECT A FROM T", .from = {{.name = L"T"}}, .items = {{.item = L"A"}}});
    query.SetThrow(vxstandin::THROW_ENUM_RUBRIQUE);
    EXPECT_THROW(new CSQLParserInfo(m_pclError, &query, nullptr, 0), std::runtime_error);
    EXPECT_TRUE(query.bBalanced());
    EXPECT_EQ(1u, m_pclError->nGetRef());
}

TEST_F(ParserInfo, AFailingItemDescriptionChoosesNoKey)
{
    KeyedTable host;
    StandinParsedQuery query({.text = L"SELECT D FROM T", .from = {{.name = L"T"}}, .items = {host.Item(3)}});
    query.SetThrow(vxstandin::THROW_ITEM_DESCRIPTION);
    CSQLParserInfo* adapter = Adapt(query);
    EXPECT_EQ(nullptr, adapter->piGetBestKey());
    EXPECT_EQ(L"D", Name(adapter->piGetBestParseItem()));
    EXPECT_EQ(nullptr, adapter->piGetItemDescription(query.Item(0)));
    EXPECT_EQ(0, adapter->bRubriqueUnique(query.Item(0)));
    REF_Release(adapter);
    EXPECT_TRUE(query.bBalanced());
    EXPECT_TRUE(host.table.bBalanced());
}

TEST_F(ParserInfo, AutoIdentifierOfASingleTable)
{
    struct Case
    {
        const char* what;
        std::vector<std::vector<int>> tables;
        int expected;
    };
    const Case cases[] = {
        {"kind 38", {{5, 38}}, 1},
        {"kind 24", {{24}}, 1},
        {"no auto-identifier", {{5, 2}}, 0},
        {"no element", {{}}, 0},
        {"two tables", {{38}, {5}}, 0},
        {"no table", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedQuerySpec spec{.text = L"SELECT * FROM T"};
        for (const auto& kinds : c.tables)
            spec.from.push_back({.name = L"T", .elementKinds = kinds});
        StandinParsedQuery query(spec);
        EXPECT_EQ(c.expected, CSQLParserInfo::g_bQueryContainIdAuto(&query));
        CSQLParserInfo* adapter = Adapt(query);
        EXPECT_EQ(c.expected, adapter->bQueryContainIdAuto());
        REF_Release(adapter);
    }
    EXPECT_EQ(0, CSQLParserInfo::g_bQueryContainIdAuto(nullptr));
}

TEST_F(ParserInfo, BindVariablesAndNoParse)
{
    StandinQueryParameters values;
    values.SetPrepared(1);
    StandinParsedQuery query({.text = L"SELECT A FROM T WHERE A = {p}"});
    CSQLParserInfo* adapter = Adapt(query, &values);
    EXPECT_EQ(1, values.Refs().nBalance());
    EXPECT_EQ(1, adapter->bHPrepareRequeteCalled());
    INAQueryParametersValue* held = adapter->piGetUserBindVariable();
    EXPECT_EQ(&values, held);
    EXPECT_EQ(2, values.Refs().nBalance());
    held->nExternalRelease();

    // Emptied: no parse, no values.
    adapter->Set(nullptr, nullptr, 0);
    EXPECT_EQ(0, values.Refs().nBalance());
    EXPECT_TRUE(query.bBalanced());
    EXPECT_EQ(nullptr, adapter->pszGetRequete());
    EXPECT_EQ(TYPEREQUETE_NONE, adapter->eGetTypeRequete());
    EXPECT_EQ(0, adapter->bHPrepareRequeteCalled());
    EXPECT_EQ(nullptr, adapter->piGetUserBindVariable());
    EXPECT_EQ(nullptr, adapter->pszGetBestParseItem());
    EXPECT_EQ(nullptr, adapter->pszGetPhysicalName(L"T"));
    EXPECT_EQ(0, adapter->nGetWhereStart());
    EXPECT_EQ(-1, adapter->nGetWhereEnd());
    EXPECT_EQ(1, adapter->bHOperationAllowed());
    EXPECT_EQ(nullptr, adapter->pclGetQueryParserInfoNoRef()) << "no record attached";
    REF_Release(adapter);
}

TEST_F(ParserInfo, OperatorClasses)
{
    for (int op : {26, 27, 31, 32})
        EXPECT_EQ(op >= 27 && op <= 31, CSQLParserInfo::s_bIsGroupmentColumn(static_cast<eOPEXPRESSION>(op))) << op;
    const int functions[] = {6, 8, 27, 34, 39, 42, 46, 50, 57, 59, 66, 68, 72, 74, 95, 97, 103, 108, 136, 148, 150, 151, 155};
    const int others[] = {-1, 0, 5, 9, 26, 32, 33, 40, 41, 47, 48, 49, 58, 67, 73, 96, 104, 107, 109, 135, 149, 152, 154, 156};
    for (int op : functions)
        EXPECT_EQ(1, CSQLParserInfo::s_bIsFunction(static_cast<eOPEXPRESSION>(op))) << op;
    for (int op : others)
        EXPECT_EQ(0, CSQLParserInfo::s_bIsFunction(static_cast<eOPEXPRESSION>(op))) << op;
}

}  // namespace

namespace {

TEST_F(ParserInfo, ResultsetLimitedAskedOnceAndKept)
{
    struct Case
    {
        const wchar_t* text;
        int limited;
    };
    const Case cases[] = {
        {L"SELECT A FROM T LIMIT 10", 1},
        {L"SELECT TOP 10 A FROM T", 1},
        {L"SELECT TOPAZ FROM T", 0},
        {L"SELECT A FROM T", 0},
        {L"UPDATE T SET A = 1 LIMIT 1", 0},
    };
    CNAConnectionDescription* other = vxtest::NewTestConnection(&m_hostConnection);
    REF_AddRef(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        StandinParsedQuery query({.text = c.text});
        CSQLParserInfo* adapter = Adapt(query);
        const int reads = query.nTextReads();
        EXPECT_EQ(c.limited, adapter->bQueryResultsetLimited(m_pclConnection));
        EXPECT_EQ(reads + 1, query.nTextReads());
        EXPECT_EQ(c.limited, adapter->bQueryResultsetLimited(other)) << "kept, whatever the connection";
        EXPECT_EQ(reads + 1, query.nTextReads()) << "not asked again";
        // Filled again, the query is asked again.
        adapter->Set(&query, nullptr, 0);
        EXPECT_EQ(c.limited, adapter->bQueryResultsetLimited(other));
        REF_Release(adapter);
    }
    REF_Release(other);
}

}  // namespace
