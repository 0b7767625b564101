// A transaction the server rolled back on its own, as the database's
// connection marks it on the outermost level: a commit of any level fails
// with user error 84 naming the server's error (85 where the error leaves
// the end uncertain) and ends that level and those inside it, the levels
// around it staying refused in turn; once no level is left a ROLLBACK whose
// failure is not reported drops what the server held, and the mark stays
// until the host rolls back or begins anew. A roll-back succeeds without a
// savepoint statement. Read from the test connection's statement log.
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

// A step: the connection's begin, commit or roll-back, or, without one, the
// server's deadlock marked as the database's connection marks it.
using Operation = int (CNAConnectionDescription::*)(CNAError*, const wchar_t*);

struct Step
{
    Operation pfnOperation;
    const wchar_t* pszName;  // null: no name
    int nExpected;
};

constexpr unsigned kDeadlock = 1213;
constexpr const wchar_t* kDeadlockText = L"Deadlock found when trying to get lock";

class TransactionServerRollBack : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.SetDataBase(L"dbhost");
        m_error.AddRef();
    }

    int Run(CTestConnection& connection, const Step& step)
    {
        if (step.pfnOperation == nullptr) {
            connection.pclGetTransactionNoRef()->SetRolledBackByServer(kDeadlock, kDeadlockText);
            return 1;
        }
        return (connection.*step.pfnOperation)(&m_error, step.pszName);
    }

    StandinConnectionDescription m_host;
    CNAError m_error;
};

TEST_F(TransactionServerRollBack, EveryLevelEndsAndOnlyTheRollBackSucceeds)
{
    constexpr Operation B = &CNAConnectionDescription::bTransactionBegin;
    constexpr Operation C = &CNAConnectionDescription::bTransactionCommit;
    constexpr Operation R = &CNAConnectionDescription::bTransactionRollBack;
    constexpr Operation D = nullptr;
    const struct
    {
        const char* pszWhat;
        std::vector<Step> steps;
        // The statements sent after the deadlock.
        Log statements;
        std::vector<int> active;
        // Whether the last step left user error 84.
        bool bRefused;
        // The mark left on the outermost level.
        int bMarked;
    } cases[] = {
        {"commit of the outermost level", {{B, L"A", 1}, {D, nullptr, 1}, {C, nullptr, 0}}, {L"ROLLBACK"}, {0}, true, 1},
        {"roll-back of the outermost level", {{B, L"A", 1}, {D, nullptr, 1}, {R, nullptr, 1}}, {L"ROLLBACK"}, {0}, false,
         0},
        {"commit of the inner level ends it alone",
         {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {C, nullptr, 0}},
         {}, {1, 0}, true, 1},
        {"then the outer level's commit is refused too",
         {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {C, nullptr, 0}, {C, nullptr, 0}},
         {L"ROLLBACK"}, {0, 0}, true, 1},
        {"every level's commit by name is refused in turn",
         {{B, L"A", 1}, {B, L"B", 1}, {B, L"C", 1}, {D, nullptr, 1}, {C, L"C", 0}, {C, L"B", 0}, {C, L"A", 0}},
         {L"ROLLBACK"}, {0, 0, 0}, true, 1},
        {"commit by the outer name while the inner level is active",
         {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {C, L"A", 0}},
         {L"ROLLBACK"}, {0, 0}, true, 1},
        {"commit by a name no level carries ends none", {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {C, L"X", 0}},
         {}, {1, 1}, true, 1},
        {"a second commit after the refused one is refused again",
         {{B, L"A", 1}, {D, nullptr, 1}, {C, nullptr, 0}, {C, L"A", 0}}, {L"ROLLBACK"}, {0}, true, 1},
        {"the roll-back after the refused commit ends the mark",
         {{B, L"A", 1}, {D, nullptr, 1}, {C, nullptr, 0}, {R, nullptr, 1}}, {L"ROLLBACK"}, {0}, false, 0},
        {"roll-back of the inner level sends no savepoint and keeps the mark",
         {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {R, nullptr, 1}},
         {}, {1, 0}, false, 1},
        {"the outer commit after the inner roll-back",
         {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {R, nullptr, 1}, {C, nullptr, 0}},
         {L"ROLLBACK"}, {0, 0}, true, 1},
        {"roll-back by the outer name ends the inner levels only",
         {{B, L"A", 1}, {B, L"B", 1}, {B, L"C", 1}, {D, nullptr, 1}, {R, L"A", 1}},
         {}, {1, 0, 0}, false, 1},
        {"then the outermost level", {{B, L"A", 1}, {B, L"B", 1}, {D, nullptr, 1}, {R, L"A", 1}, {R, L"A", 1}},
         {L"ROLLBACK"}, {0, 0}, false, 0},
        {"a level begun after the deadlock is a savepoint that is never sent back",
         {{B, L"A", 1}, {D, nullptr, 1}, {B, L"B", 1}, {R, nullptr, 1}, {C, nullptr, 0}},
         {L"SAVEPOINT VXSP1", L"ROLLBACK"}, {0, 0}, true, 1},
        {"a transaction begun after the end is an ordinary one",
         {{B, L"A", 1}, {D, nullptr, 1}, {C, nullptr, 0}, {R, nullptr, 1}, {B, L"A", 1}, {C, nullptr, 1}},
         {L"ROLLBACK", L"BEGIN", L"COMMIT"}, {0}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        m_error.Reset();
        CTestConnection connection(L"identification", &m_host);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            if (i + 1 == c.steps.size())
                m_error.Reset();
            EXPECT_EQ(c.steps[i].nExpected, Run(connection, c.steps[i])) << "step " << i;
            if (c.steps[i].pfnOperation == D)
                connection.ClearStatements();
        }
        EXPECT_EQ(c.statements, connection.Statements());
        EXPECT_EQ(c.active, vxtest::ActiveFlags(connection));
        EXPECT_EQ(c.bMarked, connection.pclGetTransactionNoRef()->bRolledBackByServer());
        if (c.bRefused) {
            EXPECT_TRUE(vxtest::ErrorAt(m_error, 84, L"2.3"));
            EXPECT_EQ(NA_ERR_GENERAL, m_error.eGetErrorType());
            EXPECT_EQ(kDeadlock, m_error.dwGetDataBaseErrorCode()) << "the server's code of the cause";
        } else {
            EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType()) << vxtest::Narrow(vxtest::ErrorText(m_error));
        }
    }
}

TEST_F(TransactionServerRollBack, TheRefusedCommitNamesTheServersErrorAndEndsTheTransaction)
{
    CTestConnection connection(L"identification", &m_host);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    CNATransaction* pclOuter = connection.pclGetTransactionNoRef();
    pclOuter->SetRolledBackByServer(kDeadlock, kDeadlockText);
    // A later failure does not replace the cause.
    pclOuter->SetRolledBackByServer(2013, L"Lost connection to server during query");
    EXPECT_EQ(kDeadlock, pclOuter->nGetServerRollBackCode());

    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, nullptr));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"<dbhost>"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"1213"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, kDeadlockText));
    EXPECT_EQ(0, connection._bTransactionOpened());
    // The transaction is over: its record locks go, as after any end.
    EXPECT_EQ(std::vector<CNATransaction*>{pclOuter}, connection.CancelRecordLocks());

    // Until the host rolls back, a commit is refused again with the same
    // cause, and sends nothing.
    m_error.Reset();
    connection.ClearStatements();
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, L"A"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 84, L"2.3"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, kDeadlockText));
    EXPECT_EQ(Log{}, connection.Statements());

    // Nothing is left to roll back, and a roll-back says so by succeeding.
    m_error.Reset();
    EXPECT_EQ(1, connection.bTransactionRollBack(&m_error, nullptr));
    EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType());
    EXPECT_EQ(Log{}, connection.Statements());
    EXPECT_EQ(0u, pclOuter->nGetServerRollBackCode());
    EXPECT_STREQ(L"", pclOuter->csGetServerRollBackMessage().pszGet());
}

// An end the error does not explain (the failed statement may have
// committed the transaction first): user error 85, the same end otherwise.
TEST_F(TransactionServerRollBack, AnUncertainEndRefusesTheCommitWithItsOwnError)
{
    CTestConnection connection(L"identification", &m_host);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    connection.pclGetTransactionNoRef()->SetRolledBackByServer(1050, L"Table 't' already exists", 1);
    EXPECT_EQ(1, connection.pclGetTransactionNoRef()->bServerEndUncertain());
    connection.ClearStatements();

    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, L"B"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 85, L"2.4"));
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"Table 't' already exists"));
    EXPECT_EQ(1050u, m_error.dwGetDataBaseErrorCode());
    EXPECT_EQ(Log{}, connection.Statements());
    EXPECT_EQ((std::vector<int>{1, 0}), vxtest::ActiveFlags(connection));
    m_error.Reset();
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, L"A"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 85, L"2.4"));
    EXPECT_EQ(Log{L"ROLLBACK"}, connection.Statements());
    EXPECT_EQ((std::vector<int>{0, 0}), vxtest::ActiveFlags(connection));

    // The next mark, on a transaction begun anew, starts from its own cause.
    m_error.Reset();
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    EXPECT_EQ(0, connection.pclGetTransactionNoRef()->bServerEndUncertain());
    connection.pclGetTransactionNoRef()->SetRolledBackByServer(kDeadlock, kDeadlockText);
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, nullptr));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 84, L"2.3"));
}

TEST_F(TransactionServerRollBack, AFailingRollBackOfTheConnectionIsNoFailureOfTheEnd)
{
    CTestConnection connection(L"identification", &m_host);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    connection.pclGetTransactionNoRef()->SetRolledBackByServer(2006, L"Server has gone away");
    connection.SetStatementsFail(true);

    EXPECT_EQ(1, connection.bTransactionRollBack(&m_error, nullptr));
    EXPECT_EQ(1, connection.bTransactionRollBack(&m_error, nullptr));
    EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType()) << vxtest::Narrow(vxtest::ErrorText(m_error));
    EXPECT_EQ((std::vector<int>{0, 0}), vxtest::ActiveFlags(connection));

    connection.SetStatementsFail(false);
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    connection.pclGetTransactionNoRef()->SetRolledBackByServer(2006, L"Server has gone away");
    connection.SetStatementsFail(true);
    EXPECT_EQ(0, connection.bTransactionCommit(&m_error, L"A"));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 84, L"2.3")) << "the refusal alone, not the failed ROLLBACK";
    EXPECT_TRUE(vxtest::ErrorHas(m_error, L"2006"));
    EXPECT_EQ((std::vector<int>{0, 0}), vxtest::ActiveFlags(connection));
}

}  // namespace
