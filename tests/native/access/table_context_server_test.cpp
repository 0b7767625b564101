// The table's operations on a host context as a whole, on the run's
// private server: the access mode given to the context's data accesses of
// the table's logical name (and kept by the context), the context's last
// error, the four operations this driver does not offer, and the two
// broadcasts at the end of a transaction.
#include <map>
#include <new>
#include <stdexcept>
#include <string>

#include "mysql/mysql_data_access.h"
#include "native/access/statement.h"
#include "tests/native/access/table_server_fixture.h"

namespace {

constexpr unsigned kNotAvailable = 8;
constexpr unsigned kNotOpenedInContext = 19;

// A MySQL data access that counts the record-lock cancellations it is told,
// and whose open throws when told to, as a failing host module would throw
// through the driver.
class CountingDataAccess : public CMySQLDataAccess
{
public:
    using CMySQLDataAccess::CMySQLDataAccess;
    int bHOuvre(eNA_ACCESS eAccess, const wchar_t* pszPassword) override
    {
        if (s_bThrowOnOpen)
            throw std::runtime_error("told to fail");
        return CMySQLDataAccess::bHOuvre(eAccess, pszPassword);
    }
    void CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction) override
    {
        ++s_cancellations[this];
        CMySQLDataAccess::CancelRecordLock(piConnection, pclTransaction);
    }
    static inline std::map<const CNADataAccess*, int> s_cancellations;
    static inline bool s_bThrowOnOpen = false;
};

class CountingDriver : public CMySQLDriver
{
public:
    CNADataAccess* pclAllocDataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                      CNAError* pclError) override
    {
        return new (std::nothrow) CountingDataAccess(piSource, pclConnection, pclError);
    }
};

class TableContext : public vxtest::TableOnServer
{
protected:
    void SetUp() override
    {
        CountingDataAccess::s_cancellations.clear();
        CountingDataAccess::s_bThrowOnOpen = false;
        vxtest::TableOnServer::SetUp();
        m_pclTable = TableOf("t", "CREATE TABLE t (id INT PRIMARY KEY, v INT)");
        ASSERT_NE(nullptr, m_pclTable);
        ASSERT_TRUE(m_client.bExecute("INSERT INTO t SELECT seq, seq FROM seq_1_to_5")) << m_client.sError();
    }
    CNADriver* (*DriverFactory())() override
    {
        return []() -> CNADriver* { return new (std::nothrow) CountingDriver; };
    }
    static int Cancellations(const CNADataAccess* pclDataAccess)
    {
        const auto it = CountingDataAccess::s_cancellations.find(pclDataAccess);
        return it != CountingDataAccess::s_cancellations.end() ? it->second : 0;
    }

    CNATable* m_pclTable = nullptr;
    std::optional<vxtest::ServerHost> m_byPort;
};

// The mode goes to the context's data accesses of the table's logical name
// (not to its other tables') and stays with the context for later ones,
// also for a context that has no data access yet. The error is kept.
TEST_F(TableContext, TheModeGoesToTheContextsDataAccessesOfTheTable)
{
    CNATable* pclOther = TableOf("u", "CREATE TABLE u (id INT PRIMARY KEY)");
    StandinContext& onT = Context(1, 1);
    StandinContext& onU = Context(1, 2);
    StandinContext& fresh = Context(2);
    ASSERT_EQ(1, m_pclTable->bHOuvre(&onT, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(1, pclOther->bHOuvre(&onU, kAccess, nullptr)) << DriverError()->pszGetError();
    const _eNA_HMODE eFormer = DataAccess(pclOther, &onU)->eGetAccessMode();
    const auto eMode = static_cast<_eNA_HMODE>(eFormer + 2);
    ASSERT_EQ(0, ReadFirst(m_pclTable, &fresh, L"id"));

    EXPECT_EQ(1, m_pclTable->bHMode(&onT, eMode));
    EXPECT_EQ(eMode, DataAccess(m_pclTable, &onT)->eGetAccessMode());
    EXPECT_EQ(eFormer, DataAccess(pclOther, &onU)->eGetAccessMode());
    EXPECT_EQ(eMode, DriverContext(&onT)->eGetDefaultMode());

    EXPECT_EQ(1, m_pclTable->bHMode(&fresh, eMode));
    ASSERT_NE(nullptr, DriverContext(&fresh));
    EXPECT_EQ(eMode, DriverContext(&fresh)->eGetDefaultMode());
    EXPECT_EQ(0u, DriverContext(&fresh)->dwGetNbDataAccess());
    EXPECT_EQ(kNotOpenedInContext, DriverError()->nGetUserErrorCode());
}

// A context the driver keeps has its own error object as its last error,
// the one its data accesses write; for any other context it is the
// driver's. Nothing is reset by asking.
TEST_F(TableContext, TheLastErrorIsTheContextsWhenTheDriverKeepsIt)
{
    StandinContext& known = Context(1);
    StandinContext& stranger = Context(2);
    ASSERT_EQ(1, m_pclTable->bHOuvre(&known, kAccess, nullptr)) << DriverError()->pszGetError();
    CNAError* pclContextError = DriverContext(&known)->pclGetErrorNoRef();
    ASSERT_NE(nullptr, pclContextError);
    ASSERT_NE(DriverError(), pclContextError);

    EXPECT_EQ(0, ReadFirst(m_pclTable, &known, L"no such item"));
    const unsigned dwReadError = pclContextError->dwGetErrorId();
    EXPECT_NE(0u, dwReadError);
    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(pclContextError, m_pclTable->piGetLastError(&known));
        EXPECT_EQ(dwReadError, pclContextError->dwGetErrorId());
    }

    EXPECT_EQ(0, ReadFirst(m_pclTable, &stranger, L"id"));
    EXPECT_EQ(DriverError(), m_pclTable->piGetLastError(&stranger));
    EXPECT_EQ(kNotOpenedInContext, DriverError()->nGetUserErrorCode());
    EXPECT_EQ(nullptr, DriverContext(&stranger)) << "asking makes no context";
}

// The four operations not offered answer 0 whatever their arguments, with
// user error 8 (type 7, naming the table) at their own site in the driver's
// error object, joining an error already there, and copied into the
// context's error object.
TEST_F(TableContext, OperationsNotOfferedFailIntoBothErrorObjects)
{
    StandinContext& context = Context(1);
    StandinContext& stranger = Context(2);
    ASSERT_EQ(1, m_pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
    CNAError* pclContextError = DriverContext(&context)->pclGetErrorNoRef();
    void* pMemory = &context;
    unsigned nSize = 4;
    using Operation = int (*)(CNATable*, INAContext*, void**, unsigned*);
    const struct
    {
        const char* pszName;
        Operation fn;
        const wchar_t* pszSite;
    } aCases[] = {
        {"FreeMemory", [](CNATable* p, INAContext* c, void** pp, unsigned*) { return p->FreeMemory(c, pp); }, L"=6.6"},
        {"bHInterditModif", [](CNATable* p, INAContext* c, void**, unsigned*) { return p->bHInterditModif(c); },
         L"=6.3"},
        {"bHFinInterditModif", [](CNATable* p, INAContext* c, void**, unsigned*) { return p->bHFinInterditModif(c); },
         L"=6.4"},
        {"bCalculateKeyValue",
         [](CNATable* p, INAContext* c, void** pp, unsigned* pn) {
             return p->bCalculateKeyValue(c, L"id", pp, pp, pn, 4, 1);
         },
         L"=6.5"},
    };
    std::wstring sAll;
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        DriverError()->Reset();
        pclContextError->Reset();
        EXPECT_EQ(0, c.fn(m_pclTable, &context, &pMemory, &nSize));
        EXPECT_EQ(&context, pMemory);
        EXPECT_EQ(4u, nSize);
        for (CNAError* pclError : {DriverError(), pclContextError}) {
            EXPECT_EQ(kNotAvailable, pclError->nGetUserErrorCode());
            EXPECT_EQ(NA_ERR_NOT_AVAILABLE, pclError->eGetErrorType());
            EXPECT_STREQ(L"t", pclError->pszGetLogicalTableName());
            const std::wstring sError = pclError->pszGetError();
            EXPECT_NE(std::wstring::npos, sError.find(c.pszSite)) << sError;
        }
        // Again from a context the driver does not know: into the driver's
        // error object only, after the error already there.
        EXPECT_EQ(0, c.fn(m_pclTable, &stranger, &pMemory, &nSize));
        const std::wstring sError = DriverError()->pszGetError();
        const size_t nFirst = sError.find(c.pszSite);
        EXPECT_NE(std::wstring::npos, sError.find(c.pszSite, nFirst + 1)) << "a sub-error: " << sError;
        EXPECT_EQ(nullptr, DriverContext(&stranger));
    }
}

// Record-lock cancellation reaches the table's data accesses on that host
// connection, each once; the driver's broadcast tells every table, so a
// table on another connection is not reached.
TEST_F(TableContext, RecordLockCancellationReachesTheDataAccessesOfThatConnection)
{
    // Outlives the tables, which the fixture releases at its end.
    vxtest::ServerHost& byPort = m_byPort.emplace(std::wstring{}, vxtest::MariadbRoute::Tcp, nullptr, m_db.Name());
    CNATable* pclByPort = Table(Describe("t"), &byPort.Host());
    ASSERT_NE(m_pclTable, pclByPort);
    StandinContext& first = Context(1, 1);
    StandinContext& second = Context(2, 1);
    StandinContext& third = Context(2, 2);
    ASSERT_EQ(1, m_pclTable->bHOuvre(&first, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(1, m_pclTable->bHOuvre(&second, kAccess, nullptr)) << DriverError()->pszGetError();
    ASSERT_EQ(1, pclByPort->bHOuvre(&third, kAccess, nullptr)) << DriverError()->pszGetError();
    const CNADataAccess* apSocket[] = {DataAccess(m_pclTable, &first), DataAccess(m_pclTable, &second)};
    const CNADataAccess* pByPort = DataAccess(pclByPort, &third);

    m_pclTable->CancelRecordLock(&byPort.Host(), nullptr);
    EXPECT_TRUE(CountingDataAccess::s_cancellations.empty());
    m_pclTable->CancelRecordLock(&Host(), nullptr);
    for (const CNADataAccess* p : apSocket)
        EXPECT_EQ(1, Cancellations(p));
    EXPECT_EQ(0, Cancellations(pByPort));

    Driver()->CancelRecordLock(&byPort.Host(), nullptr);
    for (const CNADataAccess* p : apSocket)
        EXPECT_EQ(1, Cancellations(p));
    EXPECT_EQ(1, Cancellations(pByPort));
}

// The end of a transaction marks every started browse of every context to
// run its query again; the next read does, and reads on from the rows the
// server holds now.
TEST_F(TableContext, AfterTheEndOfATransactionStartedBrowsesRunAgain)
{
    StandinContext& first = Context(1);
    StandinContext& second = Context(2);
    StandinContext& idle = Context(3);
    for (StandinContext* pContext : {&first, &second, &idle})
        ASSERT_EQ(1, m_pclTable->bHOuvre(pContext, kAccess, nullptr)) << DriverError()->pszGetError();
    for (StandinContext* pContext : {&first, &second})
        ASSERT_EQ(1, ReadFirst(m_pclTable, pContext, L"id")) << DriverError()->pszGetError();
    ASSERT_TRUE(m_client.bExecute("DELETE FROM t WHERE id = 2"));

    m_pclTable->SetTransactionTermined();
    EXPECT_EQ(nullptr, DataAccess(m_pclTable, &idle)->pclGetLastStatementNoRef());
    for (StandinContext* pContext : {&first, &second}) {
        CNAStatement* pclStatement = DataAccess(m_pclTable, pContext)->pclGetLastStatementNoRef();
        ASSERT_NE(nullptr, pclStatement);
        EXPECT_EQ(NA_PNU_REEXECUTE, pclStatement->eParseNeedUpdate());
    }
    for (StandinContext* pContext : {&first, &second}) {
        eNA_LOCKTYPE eLock = kLock;
        ASSERT_EQ(1, m_pclTable->bHLitxxx(pContext, L"id", static_cast<eNA_PARSEDIRECTION>(2), 1, kLock, &eLock, 0))
            << DriverError()->pszGetError();
        CNAStatement* pclStatement = DataAccess(m_pclTable, pContext)->pclGetLastStatementNoRef();
        EXPECT_EQ(NA_PNU_NONE, pclStatement->eParseNeedUpdate());
        EXPECT_EQ(L"3", Current(m_pclTable, pContext, L"id")) << "the deleted row is not read";
    }
}

// An exception on its way through an open gives the driver's lock back and
// drops the lookup's reference; the data access stays with the context.
TEST_F(TableContext, AnExceptionThroughAnOpenGivesTheLockBack)
{
    StandinContext& context = Context(1);
    CountingDataAccess::s_bThrowOnOpen = true;
    EXPECT_THROW(m_pclTable->bHOuvre(&context, kAccess, nullptr), std::runtime_error);
    CountingDataAccess::s_bThrowOnOpen = false;
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    CNADataAccess* pclDataAccess = DataAccess(m_pclTable, &context);
    ASSERT_NE(nullptr, pclDataAccess);
    EXPECT_EQ(2u, pclDataAccess->m_dwRefCount) << "the context's and the table's";
    EXPECT_EQ(1, m_pclTable->bHOuvre(&context, kAccess, nullptr)) << DriverError()->pszGetError();
}

}  // namespace
