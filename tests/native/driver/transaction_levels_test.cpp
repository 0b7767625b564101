// Nested and named transactions on a connection: which level a begin,
// commit or roll-back reaches, and what each level sends, read from the
// test connection's statement log. On MySQL's kind (5) a level opened inside
// another is a savepoint of the outer transaction, so that the inner begin
// does not commit the outer level's work and the outer roll-back undoes the
// whole; other kinds send a transaction statement per level.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/transaction.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/transaction_chain.h"

namespace {

using Log = std::vector<std::wstring>;

enum class Op
{
    Begin,
    Commit,
    RollBack,
};

struct Step
{
    Op op;
    const wchar_t* pszName;  // null: no name
    int nExpected;
};

struct Case
{
    const char* pszWhat;
    int nKind;
    std::vector<Step> steps;
    Log statements;
    // Active flags of the levels from the outermost, after the steps.
    std::vector<int> active;
    // The user error left, 0 for none, and its site.
    unsigned nUserError;
    const wchar_t* pszSite;
};

class TransactionLevels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.SetConnectionName(L"CNX");
        m_host.SetDataBase(L"localhost");
        m_error.AddRef();
    }

    int Run(CTestConnection& connection, const Step& step)
    {
        switch (step.op) {
        case Op::Begin: return connection.bTransactionBegin(&m_error, step.pszName);
        case Op::Commit: return connection.bTransactionCommit(&m_error, step.pszName);
        case Op::RollBack: return connection.bTransactionRollBack(&m_error, step.pszName);
        }
        return -1;
    }

    StandinConnectionDescription m_host;
    CNAError m_error;
};

TEST_F(TransactionLevels, SequencesAndWhatEachLevelSends)
{
    constexpr Op B = Op::Begin, C = Op::Commit, R = Op::RollBack;
    const Case cases[] = {
        {"inner commit then outer commit", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {C, nullptr, 1}, {C, nullptr, 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"RELEASE SAVEPOINT VXSP1", L"COMMIT"},
         {0, 0}, 0, nullptr},
        {"inner roll-back then outer commit", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {R, L"", 1}, {C, L"", 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"ROLLBACK TO SAVEPOINT VXSP1", L"COMMIT"},
         {0, 0}, 0, nullptr},
        {"inner commit then outer roll-back", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {C, nullptr, 1}, {R, nullptr, 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"RELEASE SAVEPOINT VXSP1", L"ROLLBACK"},
         {0, 0}, 0, nullptr},
        {"roll-back by the outer name ends the inner levels, innermost first", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {B, L"C", 1}, {R, L"A", 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"SAVEPOINT VXSP2", L"ROLLBACK TO SAVEPOINT VXSP2",
          L"ROLLBACK TO SAVEPOINT VXSP1"},
         {1, 0, 0}, 0, nullptr},
        {"roll-back by a middle name ends the levels inside it", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {B, L"C", 1}, {R, L"b", 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"SAVEPOINT VXSP2", L"ROLLBACK TO SAVEPOINT VXSP2"},
         {1, 1, 0}, 0, nullptr},
        {"commit of the outer name while an inner level is active", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {C, L"A", 0}},
         {L"BEGIN", L"SAVEPOINT VXSP1"},
         {1, 1}, 10, L"2.1"},
        {"commit by the inner name, case and accents ignored", 5,
         {{B, L"A", 1}, {B, L"Été", 1}, {C, L"ete", 1}, {C, L"a", 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"RELEASE SAVEPOINT VXSP1", L"COMMIT"},
         {0, 0}, 0, nullptr},
        {"an inner level is begun again with a new savepoint", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {C, L"B", 1}, {B, L"C", 1}, {R, nullptr, 1}, {C, nullptr, 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"RELEASE SAVEPOINT VXSP1", L"SAVEPOINT VXSP2",
          L"ROLLBACK TO SAVEPOINT VXSP2", L"COMMIT"},
         {0, 0}, 0, nullptr},
        {"roll-back by an unknown name", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {R, L"X", 0}},
         {L"BEGIN", L"SAVEPOINT VXSP1"},
         {1, 1}, 9, L"2.2"},
        {"commit by an unknown name sends and reports nothing", 5,
         {{B, L"A", 1}, {B, L"B", 1}, {C, L"X", 0}},
         {L"BEGIN", L"SAVEPOINT VXSP1"},
         {1, 1}, 0, nullptr},
        {"roll-back of an inactive outermost level", 5,
         {{B, L"A", 1}, {C, nullptr, 1}, {R, nullptr, 1}, {R, L"A", 1}},
         {L"BEGIN", L"COMMIT"},
         {0}, 0, nullptr},
        {"commit of an inactive level still asks the server", 5,
         {{B, nullptr, 1}, {C, nullptr, 1}, {C, nullptr, 1}},
         {L"BEGIN", L"COMMIT", L"COMMIT"},
         {0}, 0, nullptr},
        {"three levels, ended one by one", 5,
         {{B, nullptr, 1}, {B, nullptr, 1}, {B, nullptr, 1}, {C, nullptr, 1}, {R, nullptr, 1}, {C, nullptr, 1}},
         {L"BEGIN", L"SAVEPOINT VXSP1", L"SAVEPOINT VXSP2", L"RELEASE SAVEPOINT VXSP2", L"ROLLBACK TO SAVEPOINT VXSP1",
          L"COMMIT"},
         {0, 0, 0}, 0, nullptr},
        {"a kind without savepoints sends a transaction per level", 2,
         {{B, L"A", 1}, {B, L"B", 1}, {R, nullptr, 1}, {C, nullptr, 1}},
         {L"BEGIN", L"BEGIN", L"ROLLBACK", L"COMMIT"},
         {0, 0}, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        m_error.Reset();
        CTestConnection connection(L"identification", &m_host);
        connection.SetDBKind(c.nKind);
        for (size_t i = 0; i < c.steps.size(); ++i)
            EXPECT_EQ(c.steps[i].nExpected, Run(connection, c.steps[i])) << "step " << i;
        EXPECT_EQ(c.statements, connection.Statements());
        EXPECT_EQ(c.active, vxtest::ActiveFlags(connection));
        if (c.nUserError == 0) {
            EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType()) << vxtest::Narrow(vxtest::ErrorText(m_error));
        } else {
            EXPECT_TRUE(vxtest::ErrorAt(m_error, c.nUserError, c.pszSite));
            EXPECT_EQ(NA_ERR_GENERAL, m_error.eGetErrorType());
        }
    }
}

TEST_F(TransactionLevels, ErrorsNameTheLevels)
{
    CTestConnection connection(L"identification", &m_host);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"Outer"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"Inner"));
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, L"OUTER"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<OUTER>"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<Inner>"));

    m_error.Reset();
    EXPECT_EQ(0, connection.bTransactionRollBack(&m_error, L"Nowhere"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 9, L"2.2"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<Nowhere>"));
}

TEST_F(TransactionLevels, CommitAndRollBackWithoutAnyTransaction)
{
    CTestConnection connection(L"identification", &m_host);
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, nullptr));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 9, L"1.1"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<>")) << "an empty text for no name";

    m_error.Reset();
    EXPECT_EQ(0, connection.bTransactionRollBack(&m_error, L"T1"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 9, L"1.2"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<T1>"));
    EXPECT_TRUE(connection.Statements().empty());
    EXPECT_EQ(nullptr, connection.pclGetTransactionNoRef()) << "neither makes a transaction";
    EXPECT_TRUE(connection.CancelRecordLocks().empty());
}

TEST_F(TransactionLevels, BeginOpensTheConnectionAndMakesTheLevelOnce)
{
    CTestConnection connection(L"identification", &m_host);
    connection.SetOpenFails(true);
    EXPECT_EQ(0, connection.bTransactionBegin(&m_error, L"A"));
    EXPECT_EQ(1, connection.nOpenCalls());
    EXPECT_EQ(nullptr, connection.pclGetTransactionNoRef());
    EXPECT_TRUE(connection.Statements().empty());

    m_error.Reset();
    connection.SetOpenFails(false);
    connection.SetTransactionAllocFails(true);
    EXPECT_EQ(0, connection.bTransactionBegin(&m_error, L"A"));
    EXPECT_EQ(NA_LEVEL_ERROR, m_error.eGetErrorLevel()) << "the no-memory error";
    EXPECT_TRUE(connection.Statements().empty());

    m_error.Reset();
    connection.SetTransactionAllocFails(false);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    CNATransaction* pclOuter = connection.pclGetTransactionNoRef();
    ASSERT_NE(nullptr, pclOuter);
    EXPECT_EQ(1u, pclOuter->m_dwRefCount) << "held by the connection alone";
    ASSERT_EQ(1, connection.bTransactionCommit(&m_error, nullptr));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    EXPECT_EQ(pclOuter, connection.pclGetTransactionNoRef()) << "kept and begun again";
    EXPECT_EQ(0, pclOuter->bInternal());

    // No memory for an inner level: the outer one stays as it was.
    connection.SetTransactionAllocFails(true);
    EXPECT_EQ(0, connection.bTransactionBegin(&m_error, L"C"));
    EXPECT_EQ(nullptr, pclOuter->pclGetInnerNoRef());
    EXPECT_EQ(1, pclOuter->bActive());
}

TEST_F(TransactionLevels, FailuresOfTheServer)
{
    CTestConnection connection(L"identification", &m_host);

    // A failed begin leaves the level inactive: the next begin is an
    // outermost one again.
    connection.SetStatementFails(L"BEGIN");
    EXPECT_EQ(0, connection.bTransactionBegin(&m_error, L"A"));
    EXPECT_EQ(0, connection._bTransactionOpened());
    EXPECT_EQ(CTestConnection::kFailureUserCode, m_error.dwGetErrorId());
    connection.SetStatementFails(nullptr);
    m_error.Reset();
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    EXPECT_EQ((Log{L"BEGIN", L"BEGIN"}), connection.Statements());

    // A failed savepoint leaves the inner level inactive and the outer one
    // active.
    connection.SetStatementFails(L"SAVEPOINT VXSP1");
    EXPECT_EQ(0, connection.bTransactionBegin(&m_error, L"B"));
    EXPECT_EQ((std::vector<int>{1, 0}), vxtest::ActiveFlags(connection));

    // A failed commit has cleared the flag first.
    connection.SetStatementFails(L"COMMIT");
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, nullptr));
    EXPECT_EQ(0, connection._bTransactionOpened());
    EXPECT_TRUE(connection.CancelRecordLocks().empty()) << "record locks end only after a success";

    // Every level is rolled back, also after one failed.
    connection.SetStatementFails(nullptr);
    connection.ClearStatements();
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"C"));
    connection.SetStatementFails(L"ROLLBACK TO SAVEPOINT VXSP3");
    m_error.Reset();
    EXPECT_EQ(0, connection.bTransactionRollBack(&m_error, L"A"));
    EXPECT_EQ((Log{L"BEGIN", L"SAVEPOINT VXSP2", L"SAVEPOINT VXSP3", L"ROLLBACK TO SAVEPOINT VXSP3",
                   L"ROLLBACK TO SAVEPOINT VXSP2"}),
              connection.Statements());
    EXPECT_EQ((std::vector<int>{1, 0, 0}), vxtest::ActiveFlags(connection));
}

TEST_F(TransactionLevels, RecordLocksEndAfterEachSuccessWithTheOutermostLevel)
{
    CTestConnection connection(L"identification", &m_host);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, nullptr));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, nullptr));
    CNATransaction* pclOuter = connection.pclGetTransactionNoRef();
    ASSERT_EQ(1, connection.bTransactionRollBack(&m_error, nullptr));
    ASSERT_EQ(1, connection.bTransactionCommit(&m_error, nullptr));
    EXPECT_EQ((std::vector<CNATransaction*>{pclOuter, pclOuter}), connection.CancelRecordLocks());
}

TEST_F(TransactionLevels, ResumeAndActivateAnswerWithoutAnActiveTransaction)
{
    CTestConnection connection(L"identification", &m_host);
    EXPECT_EQ(1, connection.bResumeCurrentTransaction(&m_error));
    EXPECT_EQ(1, connection.bActiveCurrentTransaction(&m_error, 0));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, nullptr));
    EXPECT_EQ(1, connection.bResumeCurrentTransaction(&m_error));
    EXPECT_EQ(1, connection.bActiveCurrentTransaction(&m_error, 1));
    EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType());
}

TEST_F(TransactionLevels, LevelsEndWithoutSendingAnything)
{
    CTestConnection connection(L"identification", &m_host);
    auto* pclLevel = new CNATransaction(&connection);
    REF_AddRef(pclLevel);
    ASSERT_EQ(1, pclLevel->bBegin(&m_error, L"A", 0));
    ASSERT_EQ(1, pclLevel->bInternalTransactionBegin(&m_error, L"B"));
    ASSERT_EQ(1, pclLevel->bInternalTransactionBegin(&m_error, L"C"));
    EXPECT_EQ(1, pclLevel->_bInternalTransactionOpened());
    EXPECT_STREQ(L"VXSP2", pclLevel->pclGetInnerNoRef()->pclGetInnerNoRef()->csGetSavepoint().pszGet());
    pclLevel->nRelease();
    EXPECT_EQ((Log{L"BEGIN", L"SAVEPOINT VXSP1", L"SAVEPOINT VXSP2"}), connection.Statements());
}

}  // namespace

namespace {

TEST(TransactionDialect, OnlyMySQLsKindNestsBySavepoints)
{
    StandinConnectionDescription host;
    CTestConnection connection(L"identification", &host);
    for (int nKind = -1; nKind <= 14; ++nKind) {
        connection.SetDBKind(nKind);
        EXPECT_EQ(nKind == 5 ? 1 : 0, connection.bNestedTransactionsBySavepoint()) << "kind " << nKind;
    }
}

}  // namespace
