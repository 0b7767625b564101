#pragma once

// MySQL execution statements over a fake client library: the fake is opened
// by the test first (its answers and scripts set before the connection
// loads it), the connection opened over it, and the library unloaded after
// every test, which must leave no handle and no result behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mysql/function_loader.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"
#include "tests/mysql/mysql_statement_support.h"

namespace vxtest {

// A result column of a scripted result.
inline stFakeField FakeColumn(const std::string& sName, int nType = 253, uint64_t nLength = 20, unsigned nFlags = 0,
                              unsigned nDecimals = 0, unsigned nCharset = 45)
{
    stFakeField field;
    field.name = sName;
    field.nType = nType;
    field.nLength = nLength;
    field.nFlags = nFlags;
    field.nDecimals = nDecimals;
    field.nCharset = nCharset;
    return field;
}

// A statement of a scripted text that gives a result set.
inline stFakeStatement FakeResultSet(std::vector<stFakeField> fields, std::vector<FakeRow> rows)
{
    stFakeStatement statement;
    statement.bResultSet = true;
    statement.fields = std::move(fields);
    statement.rows = std::move(rows);
    return statement;
}

// A statement without result set that changed nRows rows.
inline stFakeStatement FakeNoResult(uint64_t nRows = 0)
{
    stFakeStatement statement;
    statement.nAffectedRows = nRows;
    return statement;
}

// A statement that fails with the error number.
inline stFakeStatement FakeFailure(unsigned nErrno, const std::string& sError = "failed (fake)")
{
    stFakeStatement statement;
    statement.nErrno = nErrno;
    statement.error = sError;
    return statement;
}

class MySQLStatementOverFake : public MySQLStatementTest
{
protected:
    void TearDown() override
    {
        MySQLStatementTest::TearDown();
        CNAFunctionLoader::g_Term();
        if (m_fake) {
            EXPECT_EQ(0, m_fake->State().nLiveResults) << "every result freed";
            EXPECT_EQ(0, m_fake->State().nLiveHandles) << "every handle closed";
        }
    }

    // The fake of that variant, from its defaults.
    stFakeClientState& Fake(const std::string& sVariant = "infov")
    {
        m_fake.reset();
        m_fake = std::make_unique<CFakeClient>(CFakeClient::Path(sVariant));
        EXPECT_TRUE(m_fake->bOk());
        return m_fake->State();
    }
    stFakeClientState& State() { return m_fake->State(); }

    // A connection over the fake, opened; "VX Unicode Support=0" keeps it in
    // code page 1252, otherwise it is a UTF-8 connection.
    CMySQLConnection* OpenConnection(const std::wstring& sKeys = {})
    {
        if (!m_fake)
            Fake();
        std::wstring sExtended = L"VX CLIENT LIBRARY=" + Wide(m_fake->sPath());
        if (!sKeys.empty())
            sExtended += L";" + sKeys;
        CMySQLConnection* pclConnection = NewConnection(L"fakehost", L"user", L"pw", L"db1", sExtended);
        EXPECT_EQ(1, pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        return pclConnection;
    }
    // A statement on a new connection over the fake.
    CMySQLStatementSQL* OpenStatement(const std::wstring& sKeys = {}) { return NewStatement(OpenConnection(sKeys)); }

    std::unique_ptr<CFakeClient> m_fake;
};

}  // namespace vxtest
