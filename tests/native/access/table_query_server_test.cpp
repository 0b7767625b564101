// Named queries run through the table object on the run's private server,
// and the check of the host's SQL module that comes before a query or a
// filter with a parsed form: refused handshake, too old a module, a passed
// check that is not made again; a query that leaves rows gives the table
// its result's description; a failed query lets its data access go unless
// the host prepared it.
#include <memory>
#include <string>
#include <vector>

#include "native/model/data_source_description.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/access/table_server_fixture.h"

namespace {

using vxstandin::Span;

constexpr unsigned kModuleNotCompatible = 16;
constexpr unsigned kNoSuchTable = 1146;
constexpr unsigned kPrepareOnly = 16;
constexpr unsigned kHandshakeVersion = 32;

class TableQuery : public vxtest::TableOnServer
{
protected:
    void SetUp() override
    {
        vxtest::TableOnServer::SetUp();
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE qa (id INT PRIMARY KEY, v INT, name VARCHAR(20))"))
            << m_client.sError();
        ASSERT_TRUE(m_client.bExecute("INSERT INTO qa SELECT seq, seq % 3, CONCAT('n', seq) FROM seq_1_to_7"))
            << m_client.sError();
        m_pclSource = dynamic_cast<CNADataSourceDescription*>(Describe("qa"));
        ASSERT_NE(nullptr, m_pclSource);
    }
    void TearDown() override
    {
        for (CNATable* pclTable : m_queryTables)
            pclTable->nRelease();
        vxtest::TableOnServer::TearDown();
        // The driver's data accesses held the parses until here.
        m_parsed.clear();
    }

    // A SELECT of items of qa as the host's SQL module parses it, whose
    // handshake answers as given.
    StandinParsedQuery& Parsed(const std::wstring& text, const std::vector<std::wstring>& items, int bHandshake = 1,
                               uint32_t nVersion = kHandshakeVersion)
    {
        vxstandin::ParsedQuerySpec spec{.text = text, .bHandshake = bHandshake, .nVersion = nVersion};
        spec.from = {{.name = L"qa", .position = Span(text, L"qa"), .description = m_pclSource}};
        for (const std::wstring& item : items)
            spec.items.push_back(
                {.item = item, .table = L"qa", .description = m_pclSource->pclNAGetItemNoRef(item.c_str(), 0)});
        m_parsed.push_back(std::make_unique<StandinParsedQuery>(spec));
        return *m_parsed.back();
    }
    // A condition "<item> > <n>" as the host's SQL module parses it.
    StandinParsedQuery& Condition(const std::wstring& text, const wchar_t* pszItem, int n, int bHandshake = 1)
    {
        using vxstandin::ExpressionSpec;
        auto pValue = std::make_shared<CAny>();
        pValue->SetI4(n);
        const ExpressionSpec where{
            .eOperator = OPEXP_SUPERIOR,
            .position = Span(text, text),
            .operands = {ExpressionSpec{.eOperator = OPEXP_ITEM, .item = pszItem, .position = Span(text, pszItem)},
                         ExpressionSpec{.eOperator = OPEXP_LITERAL,
                                        .position = Span(text, std::to_wstring(n)),
                                        .value = pValue}}};
        m_parsed.push_back(std::make_unique<StandinParsedQuery>(
            vxstandin::ParsedQuerySpec{.text = text, .where = where, .bHandshake = bHandshake}));
        return *m_parsed.back();
    }
    // The host's way: the driver runs the named query for the context;
    // the table it hands out is held by the test.
    int Execute(INAContext& context, const wchar_t* pszName, ISQLParserInformation* piQuery, CNATable** ppclTable)
    {
        INATable* piTable = nullptr;
        const int bDone = m_piDriver->bHExecuteRequeteSQLEx(&piTable, &context, pszName, &Host(), piQuery, 0, nullptr);
        if (piTable != nullptr)
            m_tables.push_back(piTable);
        if (ppclTable != nullptr)
            *ppclTable = static_cast<CNATable*>(piTable);
        return bDone;
    }
    // The context's table of the named query as the driver makes it, not
    // registered, held by the test.
    CNATable* QueryTable(INAContext& context, const wchar_t* pszName)
    {
        CNAConnectionDescription* pclConnection = Driver()->_pclGetConnection(&Host());
        EXPECT_NE(nullptr, pclConnection);
        CNATable* pclTable = Driver()->_pclGetQuery(&context, pszName, pclConnection, 1);
        Driver()->nReleaseConnection(pclConnection);
        EXPECT_NE(nullptr, pclTable);
        if (pclTable != nullptr)
            m_queryTables.push_back(pclTable);
        return pclTable;
    }
    static std::wstring ErrorText(CNAError* pclError) { return pclError->pszGetError(); }

    CNADataSourceDescription* m_pclSource = nullptr;
    std::vector<std::unique_ptr<StandinParsedQuery>> m_parsed;
    std::vector<CNATable*> m_queryTables;
};

// Without a parsed query nothing is checked. The first query or filter
// with one checks: a refused handshake (6.1) or a module older than 32
// (6.2) fail with user error 16 naming both modules, in the site's order;
// version 32 passes, and then no call of that driver checks again.
TEST_F(TableQuery, TheHostSQLModuleIsCheckedUntilItPasses)
{
    CNATable* pclTable = Table(m_pclSource);
    StandinContext& context = Context(1, 1);
    StandinContext& queries = Context(1, 2);
    ASSERT_EQ(1, pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    CAny low, high;
    low.SetI4(2);
    high.SetI4(5);
    EXPECT_EQ(1, pclTable->bHFiltre(&context, L"id", &low, 1, &high, 1, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(1, ReadFirst(pclTable, &context, L"id")) << DriverError()->pszGetError();
    EXPECT_EQ(L"2", Current(pclTable, &context, L"id"));
    EXPECT_EQ(0, Execute(queries, L"Q", nullptr, nullptr)) << "neither text nor parsed form";
    EXPECT_NE(kModuleNotCompatible, DriverError()->nGetUserErrorCode());
    EXPECT_FALSE(Driver()->bVersionChecked());

    StandinParsedQuery& refusing = Condition(L"id > 1", L"id", 1, 0);
    wchar_t szItem[255] = {};
    EXPECT_EQ(0, pclTable->bHFiltre(&context, &refusing, szItem));
    EXPECT_EQ(kModuleNotCompatible, DriverError()->nGetUserErrorCode());
    EXPECT_FALSE(Driver()->bVersionChecked());

    const std::wstring text = L"SELECT * FROM qa";
    const struct
    {
        const char* pszCase;
        int bHandshake;
        uint32_t nVersion;
        int bChecked;
        int bDone;
        const wchar_t* pszSite;
        const wchar_t* pszFirst;
        const wchar_t* pszSecond;
    } aCases[] = {
        {"handshake refused", 0, 32, 1, 0, L"=6.1", L"vxmysql.so", L"vx200sql64.so"},
        {"version 31", 1, 31, 1, 0, L"=6.2", L"vx200sql64.so", L"vxmysql.so"},
        {"version 32", 1, 32, 1, 1, nullptr, nullptr, nullptr},
        {"checked before", 0, 0, 0, 1, nullptr, nullptr, nullptr},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszCase);
        StandinParsedQuery& parse = Parsed(text, {L"id", L"v", L"name"}, c.bHandshake, c.nVersion);
        CNATable* pclQuery = nullptr;
        EXPECT_EQ(c.bDone, Execute(queries, L"Q", &parse, &pclQuery)) << DriverError()->pszGetError();
        EXPECT_EQ(c.bChecked ? 32 : 0, parse.nHandshakeMajor());
        EXPECT_EQ(c.bChecked ? 32 : 0, parse.nHandshakeMinor());
        EXPECT_EQ(c.bDone == 1, Driver()->bVersionChecked());
        if (c.bDone) {
            EXPECT_NE(nullptr, pclQuery);
            continue;
        }
        EXPECT_EQ(nullptr, pclQuery);
        EXPECT_EQ(kModuleNotCompatible, DriverError()->nGetUserErrorCode());
        EXPECT_EQ(nullptr, DriverError()->pszGetLogicalTableName());
        const std::wstring sError = ErrorText(DriverError());
        EXPECT_NE(std::wstring::npos, sError.find(c.pszSite)) << sError;
        const size_t nFirst = sError.find(c.pszFirst);
        ASSERT_NE(std::wstring::npos, nFirst);
        EXPECT_LT(nFirst, sError.find(c.pszSecond));
    }
    EXPECT_EQ(kHandshakeVersion, CNADriver::s_nID_VXSQL);
    // The filter no longer checks either, and reaches the data access with
    // the host's condition.
    StandinParsedQuery& later = Condition(L"id > 5", L"id", 5, 0);
    ASSERT_EQ(1, pclTable->bHFiltre(&context, &later, szItem)) << DriverError()->pszGetError();
    EXPECT_EQ(0, later.nHandshakeMajor());
    EXPECT_STREQ(L"id", szItem);
    ASSERT_EQ(1, ReadFirst(pclTable, &context, szItem)) << DriverError()->pszGetError();
    EXPECT_EQ(L"6", Current(pclTable, &context, L"id"));
}

// A query that leaves rows: the driver hands out its table, whose
// description is now the result's (a copy the data access keeps for the
// host); the same query name run again with other items replaces it.
TEST_F(TableQuery, AQueryThatLeavesRowsGivesTheTableItsDescription)
{
    StandinContext& context = Context(1, 7);
    CNATable* pclQuery = nullptr;
    ASSERT_EQ(1, Execute(context, L"Q1", &Parsed(L"SELECT * FROM qa", {L"id", L"v", L"name"}), &pclQuery))
        << DriverError()->pszGetError();
    ASSERT_NE(nullptr, pclQuery);
    INADataSourceDescription* piResult = pclQuery->piGetDataSourceDescription();
    ASSERT_NE(nullptr, piResult);
    EXPECT_EQ(3u, piResult->nGetNumItems());
    EXPECT_STREQ(L"Q1", piResult->pszGetLogicalName());
    EXPECT_STREQ(L"Q1", pclQuery->pszGetLogicalName());
    CNADataAccess* pclDataAccess = DataAccess(pclQuery, &context);
    ASSERT_NE(nullptr, pclDataAccess);
    EXPECT_NE(pclDataAccess->piGetDataSourceNoRef(), piResult);
    piResult->nExternalRelease();
    long llCount = -1;
    EXPECT_EQ(1, pclQuery->bHNbEnr(&context, &llCount, 0x10, 0)) << DriverError()->pszGetError();
    EXPECT_EQ(7, llCount);

    CNATable* pclAgain = nullptr;
    ASSERT_EQ(1, Execute(context, L"Q1", &Parsed(L"SELECT id FROM qa", {L"id"}), &pclAgain))
        << DriverError()->pszGetError();
    EXPECT_EQ(pclQuery, pclAgain);
    ASSERT_NE(nullptr, pclQuery->piGetDataSourceNoRef());
    EXPECT_EQ(1u, pclQuery->piGetDataSourceNoRef()->nGetNumItems());
}

// A failed query: its error copied into the table's error object, and its
// data access gone, unless the host prepared the query (its bind variables
// say so), which keeps it; a prepared query that ran leaves the table's
// description alone.
TEST_F(TableQuery, AFailedQueryKeepsItsDataAccessOnlyWhenPrepared)
{
    StandinContext& context = Context(1, 1);
    StandinParsedQuery& parse = Parsed(L"SELECT * FROM qa", {L"id", L"v", L"name"});
    StandinQueryParameters values;
    values.SetPrepared(1);

    CNATable* pclPrepared = QueryTable(context, L"QP");
    pclPrepared->SetQueryBindVariable(&values);
    int bHasResult = -1;
    ASSERT_EQ(1, pclPrepared->bExecuteQuery(&bHasResult, &context, L"QP", &parse, kPrepareOnly, nullptr))
        << DriverError()->pszGetError();
    EXPECT_EQ(1, bHasResult);
    EXPECT_EQ(nullptr, pclPrepared->piGetDataSourceNoRef());
    EXPECT_EQ(1u, pclPrepared->dwGetNbDataAccess());
    ASSERT_EQ(1, pclPrepared->bHFerme(&context));

    ASSERT_TRUE(m_client.bExecute("DROP TABLE qa"));
    const struct
    {
        const char* pszCase;
        StandinQueryParameters* pValues;
        unsigned nDataAccessLeft;
    } aCases[] = {{"not prepared", nullptr, 0}, {"prepared", &values, 1}};
    unsigned long dwDataID = 10;
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszCase);
        StandinContext& caller = Context(2, ++dwDataID);
        CNATable* pclTable = QueryTable(caller, L"QF");
        pclTable->SetQueryBindVariable(c.pValues);
        DriverError()->Reset();
        bHasResult = -1;
        EXPECT_EQ(0, pclTable->bExecuteQuery(&bHasResult, &caller, L"QF", &parse, 0, nullptr));
        EXPECT_EQ(kNoSuchTable, DriverError()->dwGetDataBaseErrorCode()) << DriverError()->pszGetError();
        EXPECT_EQ(c.nDataAccessLeft, pclTable->dwGetNbDataAccess());
        EXPECT_EQ(c.nDataAccessLeft != 0, DataAccess(pclTable, &caller) != nullptr);
        EXPECT_EQ(nullptr, pclTable->piGetDataSourceNoRef());
        pclTable->bHFerme(&caller);
    }
}

// The host lets a query's table go without closing it: the table ends, its
// data access lives on in the context without it. The next query of that
// context, through a new table object, takes the data access over and runs
// with the new table's bind variables.
TEST_F(TableQuery, AQueryTableDroppedWithoutClosingThenANewQuery)
{
    StandinContext& context = Context(3, 1);
    CNATable* pclFirst = nullptr;
    ASSERT_EQ(1, Execute(context, L"Q1", &Parsed(L"SELECT * FROM qa", {L"id", L"v", L"name"}), &pclFirst))
        << DriverError()->pszGetError();
    ASSERT_NE(nullptr, pclFirst);
    CNADataAccess* pclDataAccess = DataAccess(pclFirst, &context);
    ASSERT_NE(nullptr, pclDataAccess);
    ASSERT_EQ(1, ReadFirst(pclFirst, &context, L"id")) << DriverError()->pszGetError();
    m_tables.pop_back();
    EXPECT_EQ(0, pclFirst->nExternalRelease());
    EXPECT_EQ(nullptr, pclDataAccess->pclGetTableNoRef());
    EXPECT_EQ(pclDataAccess, DriverContext(&context)->pclFindDataAccess(&context));
    pclDataAccess->nRelease();

    CNATable* pclSecond = nullptr;
    ASSERT_EQ(1, Execute(context, L"Q1", &Parsed(L"SELECT id FROM qa", {L"id"}), &pclSecond))
        << DriverError()->pszGetError();
    ASSERT_NE(nullptr, pclSecond);
    EXPECT_EQ(pclDataAccess, DataAccess(pclSecond, &context));
    EXPECT_EQ(pclSecond, pclDataAccess->pclGetTableNoRef());
    EXPECT_EQ(1u, pclSecond->dwGetNbDataAccess());
    long llCount = -1;
    EXPECT_EQ(1, pclSecond->bHNbEnr(&context, &llCount, 0x10, 0)) << DriverError()->pszGetError();
    EXPECT_EQ(7, llCount);
}

}  // namespace
