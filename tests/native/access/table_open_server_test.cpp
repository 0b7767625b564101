// A table opened, created, deleted and closed for host contexts through the
// MySQL driver on the run's private server: what each leaves on the server,
// the data access each leaves with the context (none after a failure of
// the call that made it, none after a delete or a close), where the errors
// go, and the query's bind variables released by a close.
#include <unistd.h>

#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/access/table_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr unsigned kNotOpenedInContext = 19;
constexpr unsigned kNoSuchTable = 1146;
constexpr unsigned kCommandDenied = 1142;
constexpr unsigned kAccessDenied = 1045;
constexpr unsigned kUnknownDatabase = 1049;

class TableOpen : public vxtest::TableOnServer
{
protected:
    void TearDown() override
    {
        vxtest::TableOnServer::TearDown();
        if (!m_sMadeDatabase.empty())
            EXPECT_TRUE(m_client.bExecute("DROP DATABASE IF EXISTS " + vxtest::QuoteIdentifier(m_sMadeDatabase)))
                << m_client.sError();
        if (!m_sUser.empty()) {
            vxtest::RawClient admin = vxtest::ConnectAsAdmin();
            EXPECT_TRUE(admin.bExecute("DROP USER '" + m_sUser + "'@'localhost'")) << admin.sError();
        }
    }
    // The host's description of a connection as a user who may do all but
    // drop tables in the test's database.
    StandinConnectionDescription& HostWithoutDrop()
    {
        m_sUser = "tnodrop_" + std::to_string(getpid());
        m_account = {m_sUser, "pw-" + m_sUser};
        vxtest::RawClient admin = vxtest::ConnectAsAdmin();
        EXPECT_TRUE(admin.bExecute("CREATE USER '" + m_sUser + "'@'localhost' IDENTIFIED BY '" + m_account.sPassword +
                                   "'"))
            << admin.sError();
        EXPECT_TRUE(admin.bExecute("GRANT SELECT, INSERT, UPDATE, DELETE, CREATE, INDEX ON " + m_db.Quoted() +
                                   ".* TO '" + m_sUser + "'@'localhost'"))
            << admin.sError();
        m_otherHost.emplace(std::wstring{}, vxtest::MariadbRoute::Socket, &m_account, m_db.Name());
        m_otherHost->Host().SetConnectionName(L"without drop");
        return m_otherHost->Host();
    }
    // The same server with a wrong password.
    StandinConnectionDescription& HostThatFails()
    {
        m_account = {vxtest::Mariadb().user.sUser, "not the password"};
        m_otherHost.emplace(std::wstring{}, vxtest::MariadbRoute::Socket, &m_account, m_db.Name());
        return m_otherHost->Host();
    }

    std::string m_sUser;
    std::string m_sMadeDatabase;
    vxtest::MariadbAccount m_account;
    std::optional<vxtest::ServerHost> m_otherHost;
};

// Open, read, close: the context's data access comes with the open and
// goes with the close, and the driver forgets the context it made for it.
// A read after the close, or from a context that never opened the table,
// fails with user error 19 naming the table in the driver's error object.
TEST_F(TableOpen, OpenReadAndCloseForAContext)
{
    CNATable* pclTable = TableOf("t", "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(10))");
    ASSERT_NE(nullptr, pclTable);
    ASSERT_TRUE(m_client.bExecute("INSERT INTO t VALUES (1, 'a'), (2, 'b')"));
    StandinContext& context = Context(1);
    StandinContext& stranger = Context(2);

    ASSERT_EQ(1, pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_NE(nullptr, DataAccess(pclTable, &context));
    EXPECT_EQ(1, DataAccess(pclTable, &context)->bIsOpened());
    EXPECT_EQ(1u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(1, ReadFirst(pclTable, &context, L"id")) << DriverError()->pszGetError();

    EXPECT_EQ(1, pclTable->bHFerme(&stranger)) << "a context that never opened the table";
    EXPECT_EQ(1u, pclTable->dwGetNbDataAccess());

    ASSERT_EQ(1, pclTable->bHFerme(&context));
    EXPECT_EQ(nullptr, DataAccess(pclTable, &context));
    EXPECT_EQ(0u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(nullptr, DriverContext(&context)) << "the context held nothing else";
    for (StandinContext* pContext : {&context, &stranger}) {
        EXPECT_EQ(0, ReadFirst(pclTable, pContext, L"id"));
        EXPECT_EQ(kNotOpenedInContext, DriverError()->nGetUserErrorCode());
        EXPECT_STREQ(L"t", DriverError()->pszGetLogicalTableName());
    }
    EXPECT_EQ("2", Count("t"));
}

// A connection that does not open: no data access is made, the
// connection's error is in the driver's error object, and copied into the
// context's when the driver keeps a context for it.
TEST_F(TableOpen, OpenOnAConnectionThatDoesNotOpen)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE t (id INT PRIMARY KEY)"));
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE other (id INT PRIMARY KEY)"));
    INADataSourceDescription* piSource = Describe("t");
    CNATable* pclGood = Table(Describe("other"));
    CNATable* pclBad = Table(piSource, &HostThatFails());
    ASSERT_NE(nullptr, pclBad);
    ASSERT_NE(pclGood, pclBad);
    StandinContext& fresh = Context(1);
    StandinContext& known = Context(2);
    ASSERT_EQ(1, pclGood->bHOuvre(&known, kAccess, nullptr)) << DriverError()->pszGetError();

    using Open = int (*)(CNATable*, INAContext*);
    const struct
    {
        const char* pszName;
        Open fnOpen;
    } aCases[] = {
        {"open", [](CNATable* p, INAContext* c) { return p->bHOuvre(c, kAccess, nullptr); }},
        {"create", [](CNATable* p, INAContext* c) { return p->bHCreation(c, nullptr); }},
        {"create if missing", [](CNATable* p, INAContext* c) { return p->bHCreationSiInexistant(c, kAccess, nullptr); }},
        {"delete", [](CNATable* p, INAContext* c) { return p->bSupprimeFichier(c); }},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(0, c.fnOpen(pclBad, &fresh));
        EXPECT_EQ(kAccessDenied, DriverError()->dwGetDataBaseErrorCode()) << DriverError()->pszGetError();
        EXPECT_EQ(0u, pclBad->dwGetNbDataAccess());
        EXPECT_EQ(nullptr, DriverContext(&fresh));

        EXPECT_EQ(0, c.fnOpen(pclBad, &known));
        EXPECT_EQ(0u, pclBad->dwGetNbDataAccess());
        CNAContext* pclKnown = DriverContext(&known);
        ASSERT_NE(nullptr, pclKnown);
        EXPECT_EQ(kAccessDenied, pclKnown->pclGetErrorNoRef()->dwGetDataBaseErrorCode())
            << pclKnown->pclGetErrorNoRef()->pszGetError();
        pclKnown->pclGetErrorNoRef()->Reset();
    }
    EXPECT_EQ(0, ReadFirst(pclBad, &fresh, L"id"));
    EXPECT_EQ(kNotOpenedInContext, DriverError()->nGetUserErrorCode());
    EXPECT_TRUE(bTableExists("t"));
}

// A failed first open leaves no data access, so the next open makes a new
// one; a failed open on a context that has the table open keeps its data
// access, with the error in the context's error object only.
TEST_F(TableOpen, AFailedOpenKeepsOnlyADataAccessThatWasThereBefore)
{
    CNATable* pclTable = TableOf("t", "CREATE TABLE t (id INT PRIMARY KEY)");
    ASSERT_NE(nullptr, pclTable);
    ASSERT_TRUE(m_client.bExecute("DROP TABLE t"));
    StandinContext& context = Context(1);
    for (int nTry = 0; nTry < 2; ++nTry) {
        EXPECT_EQ(0, pclTable->bHOuvre(&context, kAccess, nullptr));
        EXPECT_EQ(kNoSuchTable, DriverError()->dwGetDataBaseErrorCode()) << DriverError()->pszGetError();
        EXPECT_EQ(nullptr, DataAccess(pclTable, &context));
        EXPECT_EQ(nullptr, DriverContext(&context));
    }

    // A re-indexing makes the context's data access without opening it.
    ASSERT_EQ(1, pclTable->bHReindexe(&context, 0, nullptr));
    CNADataAccess* pclDataAccess = DataAccess(pclTable, &context);
    ASSERT_NE(nullptr, pclDataAccess);
    EXPECT_EQ(0, pclTable->bHOuvre(&context, kAccess, nullptr));
    EXPECT_EQ(pclDataAccess, DataAccess(pclTable, &context));
    EXPECT_EQ(kNoSuchTable, pclDataAccess->pclGetErrorNoRef()->dwGetDataBaseErrorCode());
    EXPECT_EQ(0u, DriverError()->nGetUserErrorCode()) << DriverError()->pszGetError();
}

// Creation drops an existing table of that name first, whatever it holds;
// creation when missing creates a missing table and opens an existing one
// as it is.
TEST_F(TableOpen, CreationDropsFirstCreationWhenMissingNever)
{
    CNATable* pclTable = TableOf("c", "CREATE TABLE c (id INT PRIMARY KEY, v INT)");
    ASSERT_NE(nullptr, pclTable);
    StandinContext& context = Context(1);
    ASSERT_TRUE(m_client.bExecute("INSERT INTO c VALUES (1, 1), (2, 2)"));

    ASSERT_EQ(1, pclTable->bHCreationSiInexistant(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    EXPECT_EQ("2", Count("c"));
    EXPECT_EQ(1, DataAccess(pclTable, &context)->bIsOpened());

    ASSERT_EQ(1, pclTable->bHCreation(&context, nullptr)) << DriverError()->pszGetError();
    EXPECT_EQ("0", Count("c"));
    ASSERT_EQ(1, pclTable->bHFerme(&context));

    ASSERT_TRUE(m_client.bExecute("DROP TABLE c"));
    ASSERT_EQ(1, pclTable->bHCreationSiInexistant(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    EXPECT_TRUE(bTableExists("c"));
    ASSERT_EQ(1, pclTable->bHFerme(&context));
    ASSERT_TRUE(m_client.bExecute("DROP TABLE c"));
    ASSERT_EQ(1, pclTable->bHCreation(&context, nullptr)) << DriverError()->pszGetError();
    EXPECT_EQ("0", Count("c"));
}

// An open does not make the connection's database when the server does not
// know it; a creation does, and then creates the table in it.
TEST_F(TableOpen, ACreationMakesAMissingDatabaseAnOpenDoesNot)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE c (id INT PRIMARY KEY)"));
    INADataSourceDescription* piSource = Describe("c");
    m_sMadeDatabase = vxtest::Mariadb().sPrefix + "tmade_" + std::to_string(getpid());
    m_otherHost.emplace(std::wstring{}, vxtest::MariadbRoute::Socket, nullptr, m_sMadeDatabase);
    // A connection of its own: the default database is no part of what
    // tells connections apart.
    m_otherHost->Host().SetConnectionName(L"in a new database");
    CNATable* pclTable = Table(piSource, &m_otherHost->Host());
    ASSERT_NE(nullptr, pclTable);
    StandinContext& context = Context(1);

    EXPECT_EQ(0, pclTable->bHOuvre(&context, kAccess, nullptr));
    EXPECT_EQ(kUnknownDatabase, DriverError()->dwGetDataBaseErrorCode()) << DriverError()->pszGetError();
    EXPECT_EQ(0u, pclTable->dwGetNbDataAccess());

    ASSERT_EQ(1, pclTable->bHCreationSiInexistant(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    auto rows = m_client.Query("SHOW TABLES FROM " + vxtest::QuoteIdentifier(m_sMadeDatabase));
    ASSERT_TRUE(rows.has_value()) << m_client.sError();
    ASSERT_EQ(1u, rows->size());
    EXPECT_EQ("c", (*rows)[0][0].value_or(""));
}

// A delete drops the table and lets the context's data access go, also
// when the server refuses the drop (the error then in the driver's error
// object).
TEST_F(TableOpen, DeleteLetsTheDataAccessGoAlsoWhenTheDropFails)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE d (id INT PRIMARY KEY)"));
    INADataSourceDescription* piSource = Describe("d");
    CNATable* pclTable = Table(piSource);
    CNATable* pclRefused = Table(piSource, &HostWithoutDrop());
    ASSERT_NE(nullptr, pclRefused);
    StandinContext& context = Context(1);
    StandinContext& other = Context(2);

    ASSERT_EQ(1, pclRefused->bHOuvre(&other, kAccess, nullptr)) << DriverError()->pszGetError();
    EXPECT_EQ(0, pclRefused->bSupprimeFichier(&other));
    EXPECT_EQ(kCommandDenied, DriverError()->dwGetDataBaseErrorCode()) << DriverError()->pszGetError();
    EXPECT_TRUE(bTableExists("d"));
    EXPECT_EQ(0u, pclRefused->dwGetNbDataAccess());
    EXPECT_EQ(nullptr, DriverContext(&other));

    ASSERT_EQ(1, pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    EXPECT_EQ(1, pclTable->bSupprimeFichier(&context)) << DriverError()->pszGetError();
    EXPECT_FALSE(bTableExists("d"));
    EXPECT_EQ(0u, pclTable->dwGetNbDataAccess());
    // A table that is not there is deleted all the same.
    EXPECT_EQ(1, pclTable->bSupprimeFichier(&context)) << DriverError()->pszGetError();
    EXPECT_EQ(0u, pclTable->dwGetNbDataAccess());
}

// A close releases the query's bind variables, also while another context
// has the table open; a close from a context without data access leaves
// them. The close keeps the error the driver's object holds.
TEST_F(TableOpen, CloseReleasesTheBindVariables)
{
    CNATable* pclTable = TableOf("t", "CREATE TABLE t (id INT PRIMARY KEY)");
    ASSERT_NE(nullptr, pclTable);
    StandinContext& first = Context(1);
    StandinContext& second = Context(2);
    StandinContext& stranger = Context(3);
    ASSERT_TRUE(m_client.bExecute("INSERT INTO t VALUES (1)"));
    StandinQueryParameters values;
    pclTable->SetQueryBindVariable(&values);
    ASSERT_EQ(1, pclTable->bHOuvre(&first, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(1, pclTable->bHOuvre(&second, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(0, ReadFirst(pclTable, &stranger, L"id"));

    EXPECT_EQ(1, pclTable->bHFerme(&stranger));
    EXPECT_EQ(&values, pclTable->piGetQueryBindVariableNoRef());
    EXPECT_EQ(1, pclTable->bHFerme(&first));
    EXPECT_EQ(nullptr, pclTable->piGetQueryBindVariableNoRef());
    EXPECT_EQ(0, values.Refs().nBalance());
    EXPECT_EQ(kNotOpenedInContext, DriverError()->nGetUserErrorCode()) << "kept through the closes";
    EXPECT_EQ(1u, pclTable->dwGetNbDataAccess());
    EXPECT_EQ(1, ReadFirst(pclTable, &second, L"id")) << "the other context still reads";
}

}  // namespace
