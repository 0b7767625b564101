// A transaction the host began in its SQL text, marked ended on the
// connection as the database's connection marks it: with its session (93),
// rolled back by the server (84), or ended with a failed statement that may
// have committed it first (85). While no level is active, the interface's
// commit and begin are refused with the mark's error and send nothing (a
// BEGIN would commit what the server holds since); the roll-back succeeds,
// ends the mark, and drops what the server held since unless the session
// went with the transaction. Read from the test connection's statement log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/driver/error_checks.h"

namespace {

using Log = std::vector<std::wstring>;
using End = CNAConnectionDescription::eTextTransactionEnd;

TEST(TransactionTextEnd, CommitAndBeginAreRefusedWithTheMarksErrorUntilTheRollBack)
{
    const struct
    {
        End eEnd;
        unsigned nUserError;
        const wchar_t* pszCommitSite;
        const wchar_t* pszBeginSite;
        // What the roll-back sends.
        Log rollBack;
    } cases[] = {
        {End::SessionLost, 93, L"1.21", L"1.26", {}},
        {End::RolledBack, 84, L"1.22", L"1.24", {L"ROLLBACK"}},
        {End::Uncertain, 85, L"1.23", L"1.25", {L"ROLLBACK"}},
    };
    StandinConnectionDescription host;
    host.SetDataBase(L"dbhost");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nUserError);
        CTestConnection connection(L"identification", &host);
        CNAError error;
        error.AddRef();
        connection.SetTextTransactionEnded(c.eEnd, 1213, L"Deadlock found");
        // A later cause does not replace the first.
        connection.SetTextTransactionEnded(End::SessionLost, 2006, L"Server has gone away");

        EXPECT_EQ(0, connection.bTransactionCommit(&error, nullptr));
        EXPECT_TRUE(vxtest::ErrorAt(error, c.nUserError, c.pszCommitSite));
        EXPECT_EQ(1213u, error.dwGetDataBaseErrorCode());
        EXPECT_TRUE(vxtest::ErrorHas(error, L"Deadlock found"));
        error.Reset();
        EXPECT_EQ(0, connection.bTransactionBegin(&error, L"T"));
        EXPECT_TRUE(vxtest::ErrorAt(error, c.nUserError, c.pszBeginSite));
        EXPECT_EQ(Log{}, connection.Statements()) << "nothing sent";
        EXPECT_EQ(1, connection.bTextTransactionEnded()) << "the refusals keep the mark";

        error.Reset();
        EXPECT_EQ(1, connection.bTransactionRollBack(&error, nullptr));
        EXPECT_EQ(NA_ERR_NONE, error.eGetErrorType());
        EXPECT_EQ(c.rollBack, connection.Statements());
        EXPECT_EQ(0, connection.bTextTransactionEnded());
        connection.ClearStatements();
        EXPECT_EQ(1, connection.bTransactionBegin(&error, L"T")) << error.pszGetError();
        EXPECT_EQ(Log{L"BEGIN"}, connection.Statements());
    }
}

// A rolled-back mark becomes uncertain when what the server held since may
// have been committed; an uncertain or lost one stays as it is.
TEST(TransactionTextEnd, AMarkOnlyBecomesUncertain)
{
    StandinConnectionDescription host;
    host.SetDataBase(L"dbhost");
    CTestConnection connection(L"identification", &host);
    CNAError error;
    error.AddRef();
    connection.SetTextTransactionEnded(End::RolledBack, 1047, L"node not ready");
    connection.SetTextTransactionEnded(End::Uncertain, 0, nullptr);
    EXPECT_EQ(0, connection.bTransactionCommit(&error, nullptr));
    EXPECT_TRUE(vxtest::ErrorAt(error, 85, L"1.23"));
    EXPECT_EQ(1047u, error.dwGetDataBaseErrorCode()) << "the first cause stays";
    connection.SetTextTransactionEnded(End::RolledBack, 1213, L"Deadlock found");
    error.Reset();
    EXPECT_EQ(0, connection.bTransactionCommit(&error, nullptr));
    EXPECT_TRUE(vxtest::ErrorAt(error, 85, L"1.23"));
}

}  // namespace
