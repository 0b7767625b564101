// The diagnosis of a query the server dropped (2006), over the fake client
// library: the server's max_allowed_packet is asked on an error object of
// its own, on the same handle first and after a close and reopen when that
// fails; a limit below the query's length puts user error 320101 in front
// of the statement's error; the diagnosis's own failures stay out of it,
// and a diagnosis that loses the server starts no second one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::bDumpHas;
using vxtest::FakeColumn;
using vxtest::FakeResultSet;
using vxtest::SiteLine;

const char kQuestion[] = "show variables like 'max_allowed_packet'";

class MySQLPacketDiagnosis : public vxtest::MySQLStatementOverFake
{
protected:
    // A query of 2000 characters that the server drops.
    void SetUp() override
    {
        vxtest::MySQLStatementOverFake::SetUp();
        m_sQuery = "SELECT '" + std::string(1991, 'x') + "'";
        Fake().queryErrors[m_sQuery] = 2006;
    }
    void Limit(const std::string& sValue)
    {
        State().scripts[kQuestion] = {FakeResultSet({FakeColumn("Variable_name"), FakeColumn("Value")},
                                                    {{std::string("max_allowed_packet"), sValue}})};
    }
    int Asked() const
    {
        int n = 0;
        for (const std::string& s : m_fake->State().queries)
            n += s == kQuestion ? 1 : 0;
        return n;
    }

    std::string m_sQuery;
};

TEST_F(MySQLPacketDiagnosis, ALimitBelowTheQuerysLengthIsNamedFirst)
{
    Limit("1024");
    CMySQLStatementSQL* pclStatement = OpenStatement();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(m_sQuery).c_str(), nullptr, 0));
    EXPECT_EQ(320101u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
    EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 26)));
    EXPECT_TRUE(bDumpHas(*m_pclError, L"La requête est trop longue pour le serveur de la base <fakehost> (erreur MySQL "
                                      L"2006) : max_allowed_packet vaut 1024, la requête compte 2000 caractères et "
                                      L"commence par <SELECT 'xxxxxxxxxxxx>."))
        << m_pclError->pszGetError();
    // The client's error and the query follow.
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(100, 23)));
    EXPECT_TRUE(bDumpHas(*m_pclError, L"utilisateur : <user>"));
    EXPECT_EQ(1, Asked()) << "the handle answered: no reopen";
    EXPECT_EQ(1, State().calls["mysql_real_connect"]);
}

TEST_F(MySQLPacketDiagnosis, ALimitNotBelowTheLengthOrUnreadableLeavesTheClientsError)
{
    for (const char* pszLimit : {"2000", "4194304", "0", "much"}) {
        SCOPED_TRACE(pszLimit);
        Limit(pszLimit);
        CMySQLStatementSQL* pclStatement = OpenStatement();
        m_pclError->Reset();
        EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(m_sQuery).c_str(), nullptr, 0));
        EXPECT_EQ(22u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
        EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode());
        EXPECT_FALSE(bDumpHas(*m_pclError, SiteLine(100, 26)));
    }
}

TEST_F(MySQLPacketDiagnosis, AQuestionTheDroppedHandleCannotAnswerIsAskedAfterAReopen)
{
    Limit("1024");
    // The dropped handle fails the question; the reopened one answers.
    State().queryErrors[kQuestion] = 2006;
    State().queryErrorTimes[kQuestion] = 1;
    CMySQLStatementSQL* pclStatement = OpenStatement();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(m_sQuery).c_str(), nullptr, 0));
    EXPECT_EQ(2, State().calls["mysql_real_connect"]) << "closed and opened again";
    EXPECT_EQ(2, Asked());
    EXPECT_EQ(320101u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
    EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_FALSE(bDumpHas(*m_pclError, L"show variables")) << "the diagnosis's own errors stay out";
    // The reopened connection serves the statement.
    m_pclError->Reset();
    EXPECT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 1", nullptr, 0)) << m_pclError->pszGetError();
}

TEST_F(MySQLPacketDiagnosis, ADiagnosisThatLosesTheServerStartsNoOther)
{
    Limit("1024");
    State().queryErrors[kQuestion] = 2006;
    CMySQLStatementSQL* pclStatement = OpenStatement();
    EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(m_sQuery).c_str(), nullptr, 0));
    EXPECT_EQ(2, Asked()) << "once on the dropped handle, once after the reopen, never more";
    EXPECT_EQ(22u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
    EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_FALSE(bDumpHas(*m_pclError, SiteLine(100, 26)));
    EXPECT_FALSE(bDumpHas(*m_pclError, L"show variables"));
}

// The connect time-outs given to the library, in order.
std::vector<long long> ConnectTimeouts(const stFakeClientState& state)
{
    std::vector<long long> timeouts;
    for (const stFakeOptionCall& option : state.options) {
        if (option.nOption == 0)
            timeouts.push_back(option.nUnsigned);
    }
    return timeouts;
}

// A session the driver opens on its own inside the host's statement call
// waits no longer than the command time-out that bounds that call, when no
// connection time-out is given; the host's own open keeps the client's
// wait, and a connection time-out given bounds every connect. When the
// reopen fails, the next statement opens the session again, with the same
// bound, and runs.
TEST_F(MySQLPacketDiagnosis, TheSessionsOpenedOnItsOwnWaitNoLongerThanTheStatementMay)
{
    // Of the host's open, the diagnosis's refused reopen, the next
    // statement's reopen.
    const struct
    {
        const wchar_t* pszKeys;
        std::vector<long long> timeouts;
    } cases[] = {
        {L"VX Command Timeout=7", {7, 7}},
        {L"VX Command Timeout=7;VX Connection Timeout=3", {3, 3, 3}},
        {L"VX Connection Timeout=0", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.timeouts.size() << " time-outs");
        State().calls.clear();
        State().options.clear();
        State().queryErrors[kQuestion] = 2006;
        CMySQLStatementSQL* pclStatement = OpenStatement(c.pszKeys);
        State().bConnectSucceeds = false;
        m_pclError->Reset();
        EXPECT_EQ(0, pclStatement->bExecuteDirect(vxtest::Wide(m_sQuery).c_str(), nullptr, 0));
        EXPECT_EQ(2006u, m_pclError->dwGetDataBaseErrorCode()) << "the statement's own error";
        EXPECT_EQ(2, State().calls["mysql_real_connect"]) << "the diagnosis's reopen, refused";

        State().bConnectSucceeds = true;
        m_pclError->Reset();
        EXPECT_EQ(1, pclStatement->bExecuteDirect(L"SELECT 1", nullptr, 0)) << m_pclError->pszGetError();
        EXPECT_EQ(c.timeouts, ConnectTimeouts(State()));
        EXPECT_EQ(std::string("SELECT 1"), State().queries.back());
        pclStatement->_bCloseParse();
    }
}

}  // namespace
