// Whether a MySQL connection's transaction survives a failed statement, over
// the fake client libraries, which record every text sent: the server status
// where the library gives it (after a statement that brings it fresh),
// otherwise the error number, with the server's innodb_rollback_on_timeout
// asked for a lock wait time-out. A transaction found gone is marked, the
// connection begins one of the server's for what follows, and the commit
// then fails with user error 84 (85 where the error rolls nothing back and
// the server may have committed) and rolls back.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mysql/mysql_connection.h"
#include "mysql/mysql_statement_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/transaction.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client_connection.h"
#include "tests/native/driver/error_checks.h"

namespace {

using vxtest::Wide;
using Texts = std::vector<std::string>;

constexpr const char* kFailing = "UPDATE t SET v = 2";
constexpr const char* kSettingQuestion = "SELECT @@innodb_rollback_on_timeout";
constexpr unsigned kInTrans = 1;
constexpr unsigned kAutocommit = 2;

// The server's innodb_rollback_on_timeout as the fake answers it.
enum class Setting
{
    Unasked,  // no script: a statement without result set
    Off,
    On,
    Refused,
};

class MySQLTransactionAfterError : public vxtest::FakeClientConnectionTest
{
protected:
    static void SetSetting(stFakeClientState& state, Setting setting)
    {
        if (setting == Setting::Refused) {
            state.queryErrors[kSettingQuestion] = 1227;
        } else if (setting != Setting::Unasked) {
            stFakeStatement answer;
            answer.bResultSet = true;
            answer.fields = {stFakeField{"@@innodb_rollback_on_timeout"}};
            answer.rows = {{FakeText(setting == Setting::On ? "1" : "0")}};
            state.scripts[kSettingQuestion] = {answer};
        }
    }
};

TEST_F(MySQLTransactionAfterError, TheStatusDecidesWhereTheLibraryGivesItElseTheErrorNumber)
{
    const struct
    {
        const char* pszWhat;
        const char* pszVariant;
        std::optional<unsigned> status;
        unsigned nErrno;
        Setting setting;
        // Sent after the failed statement.
        Texts after;
        // The user error of the commit; 0: the commit succeeds.
        unsigned nRefusal;
    } cases[] = {
        // A library without the status: the error number.
        {"deadlock", "text", std::nullopt, 1213, Setting::Unasked, {"ROLLBACK", "BEGIN"}, 84},
        {"lock table full", "text", std::nullopt, 1206, Setting::Unasked, {"ROLLBACK", "BEGIN"}, 84},
        {"lock wait time-out, rolled back on time-out", "text", std::nullopt, 1205, Setting::On,
         {kSettingQuestion, "ROLLBACK", "BEGIN"}, 84},
        {"lock wait time-out, statement only", "text", std::nullopt, 1205, Setting::Off, {kSettingQuestion}, 0},
        {"lock wait time-out, setting unread: ended, rolled back and begun again", "text", std::nullopt, 1205,
         Setting::Refused, {kSettingQuestion, "ROLLBACK", "BEGIN"}, 84},
        // A lost session holds nothing any more: nothing is sent on it.
        {"connection lost during the query", "text", std::nullopt, 2013, Setting::Unasked, {}, 84},
        {"server gone away", "text", std::nullopt, 2006, Setting::Unasked, {}, 84},
        {"cluster node without quorum", "text", std::nullopt, 1047, Setting::Unasked, {"ROLLBACK", "BEGIN"}, 84},
        {"duplicate key", "text", std::nullopt, 1062, Setting::Unasked, {}, 0},
        // A library whose status function does not know the property: no
        // probe, the error number.
        {"status unknown to the library, deadlock", "infov", std::nullopt, 1213, Setting::Unasked,
         {"ROLLBACK", "BEGIN"}, 84},
        {"status unknown to the library, duplicate key", "infov", std::nullopt, 1062, Setting::Unasked, {}, 0},
        // The status, read after a statement that brings it fresh, wins.
        // An error that rolls nothing back, with no transaction left: the
        // failed statement may have committed it first.
        {"status without transaction after a duplicate key", "infov", kAutocommit, 1062, Setting::Unasked,
         {"DO 0", "ROLLBACK", "BEGIN"}, 85},
        {"status in transaction after a deadlock", "infov", kInTrans | kAutocommit, 1213, Setting::Unasked,
         {"DO 0"}, 0},
        {"status in transaction after a lock wait time-out", "infov", kInTrans, 1205, Setting::On, {"DO 0"}, 0},
        {"status without transaction after a lock wait time-out", "infov", kAutocommit, 1205, Setting::Off,
         {"DO 0", "ROLLBACK", "BEGIN"}, 84},
        {"no probe on a lost connection", "infov", kInTrans, 2013, Setting::Unasked, {}, 84},
        // Refused by the client before it was sent: nothing changed.
        {"commands out of sync", "infov", kAutocommit, 2014, Setting::Unasked, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        stFakeClientState& state = Fake(c.pszVariant);
        state.infovServerStatus = c.status;
        state.queryErrors[kFailing] = c.nErrno;
        SetSetting(state, c.setting);
        CMySQLConnection& connection = Connection();
        CNAError error;
        ASSERT_EQ(1, connection.bTransactionBegin(&error, L"T")) << error.pszGetError();
        state.queries.clear();

        EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
        EXPECT_TRUE(vxtest::ErrorAt(error, 22, L"101.17")) << "the statement's own error is the server's";
        EXPECT_EQ(c.nErrno, error.dwGetDataBaseErrorCode());
        Texts expected{kFailing};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(expected, state.queries);
        CNATransaction* pclTransaction = connection.pclGetTransactionNoRef();
        EXPECT_EQ(c.nRefusal != 0 ? 1 : 0, pclTransaction->bRolledBackByServer());
        EXPECT_EQ(1, pclTransaction->bActive());

        error.Reset();
        state.queries.clear();
        if (c.nRefusal != 0) {
            EXPECT_EQ(0, connection.bTransactionCommit(&error, L"T"));
            EXPECT_TRUE(vxtest::ErrorAt(error, c.nRefusal, c.nRefusal == 84 ? L"2.3" : L"2.4"));
            EXPECT_EQ(c.nErrno, error.dwGetDataBaseErrorCode());
            EXPECT_TRUE(vxtest::ErrorHas(error, Wide(std::string("Refused (fake): ") + kFailing)))
                << "the server's text of the cause, not that of a later statement";
            EXPECT_EQ(Texts{"ROLLBACK"}, state.queries);
        } else {
            EXPECT_EQ(1, connection.bTransactionCommit(&error, L"T")) << error.pszGetError();
            EXPECT_EQ(Texts{"COMMIT"}, state.queries);
        }
        EXPECT_EQ(0, connection._bTransactionOpened());
    }
}

// Outside a transaction a failure asks the server nothing; inside one every
// failure is weighed, also after the transaction was marked: the server may
// end the transaction begun for what follows in its turn.
TEST_F(MySQLTransactionAfterError, OnlyAnActiveTransactionIsLookedAfterAndEveryFailureIsWeighed)
{
    stFakeClientState& state = Fake("infov");
    state.infovServerStatus = kAutocommit;
    state.queryErrors[kFailing] = 1213;
    CMySQLConnection& connection = Connection();
    CNAError error;
    ASSERT_EQ(1, connection.bOpen(&error)) << error.pszGetError();
    state.queries.clear();
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
    EXPECT_EQ(Texts{kFailing}, state.queries) << "no transaction";

    ASSERT_EQ(1, connection.bTransactionBegin(&error, L"T"));
    ASSERT_EQ(1, connection.bTransactionCommit(&error, L"T"));
    state.queries.clear();
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
    EXPECT_EQ(Texts{kFailing}, state.queries) << "a transaction that has ended";

    ASSERT_EQ(1, connection.bTransactionBegin(&error, L"T"));
    state.queries.clear();
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
    EXPECT_EQ((Texts{kFailing, "DO 0", "ROLLBACK", "BEGIN", kFailing, "DO 0", "ROLLBACK", "BEGIN"}), state.queries)
        << "the second failure of a marked one";

    // The ROLLBACK and BEGIN for what follows failing in their turn start
    // nothing more.
    error.Reset();
    state.queries.clear();
    EXPECT_EQ(0, connection.bTransactionCommit(&error, L"T"));
    ASSERT_EQ(1, connection.bTransactionBegin(&error, L"T"));
    state.queryErrors["BEGIN"] = 2013;
    state.queries.clear();
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
    EXPECT_EQ((Texts{kFailing, "DO 0", "ROLLBACK", "BEGIN"}), state.queries);
    EXPECT_EQ(1, connection.pclGetTransactionNoRef()->bRolledBackByServer());
    EXPECT_EQ(1213u, connection.pclGetTransactionNoRef()->nGetServerRollBackCode());
}

// Where the ROLLBACK or the BEGIN for what follows cannot be run, nothing
// holds the host's later statements in a transaction of the server's: each
// is refused (user error 94, the cause's code) without being sent, while
// the mark stands; once the transaction ends they run again.
TEST_F(MySQLTransactionAfterError, WithoutATransactionToHoldThemLaterStatementsAreRefused)
{
    const struct
    {
        const char* pszWhat;
        const char* pszRefused;
        Texts after;
    } cases[] = {
        {"the ROLLBACK refused", "ROLLBACK", {"ROLLBACK"}},
        {"the BEGIN refused", "BEGIN", {"ROLLBACK", "BEGIN"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        stFakeClientState& state = Fake("text");
        state.queryErrors[kFailing] = 1047;
        CMySQLConnection& connection = Connection();
        CNAError error;
        ASSERT_EQ(1, connection.bTransactionBegin(&error, L"T")) << error.pszGetError();
        // Refused on a session that lives on (a lost one is opened again
        // by the next statement).
        state.queryErrors[c.pszRefused] = 1047;
        state.queryErrorTimes[c.pszRefused] = 1;
        state.queries.clear();
        EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, Wide(kFailing).c_str()));
        Texts expected{kFailing};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(expected, state.queries);

        // The statement holds a reference on its error object and on its
        // connection, which the test owns.
        REF_AddRef(&connection);
        CNAError* pclStatementError = new CNAError;
        pclStatementError->AddRef();
        CMySQLStatementSQL* pclStatement = new CMySQLStatementSQL(&connection, pclStatementError);
        REF_AddRef(pclStatement);
        state.queries.clear();
        EXPECT_EQ(0, pclStatement->bExecuteDirect(L"UPDATE t SET v = 3", nullptr, 0));
        EXPECT_TRUE(vxtest::ErrorAt(*pclStatementError, 94, L"100.33"));
        EXPECT_EQ(1047u, pclStatementError->dwGetDataBaseErrorCode());
        EXPECT_TRUE(vxtest::ErrorHas(*pclStatementError, Wide(std::string("Refused (fake): ") + kFailing)));
        EXPECT_EQ(Texts{}, state.queries) << "nothing sent";

        error.Reset();
        EXPECT_EQ(0, connection.bTransactionCommit(&error, L"T"));
        EXPECT_TRUE(vxtest::ErrorAt(error, 84, L"2.3"));
        pclStatementError->Reset();
        state.queries.clear();
        EXPECT_EQ(1, pclStatement->bExecuteDirect(L"UPDATE t SET v = 3", nullptr, 0))
            << pclStatementError->pszGetError();
        EXPECT_EQ(Texts{"UPDATE t SET v = 3"}, state.queries);
        pclStatement->nRelease();
        pclStatementError->nRelease();
    }
}

}  // namespace
