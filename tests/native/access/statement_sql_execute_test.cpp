// The execution statement's own runs, under a statement that records the
// 8-bit text its database driver would send: a wide text goes in the
// connection's code page, a null text as null, a connection taking wide
// text (-2) runs nothing and reports nothing; and without a conversion
// value nothing is read.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

class CRecordingStatement : public CNAStatementSQL
{
public:
    using CNAStatementSQL::CNAStatementSQL;
    using CNAStatementSQL::_bExecuteDirect;
    int _bExecuteDirect(const char* pszSQL, CTabValParser*, unsigned) override
    {
        sent.push_back(pszSQL != nullptr ? std::optional<std::string>(pszSQL) : std::nullopt);
        return 1;
    }
    int bGetValue(CNAConvertVariant*, unsigned, unsigned) override
    {
        ++nVariantReads;
        return 1;
    }
    using CNAStatementSQL::bGetValue;
    std::vector<std::optional<std::string>> sent;
    int nVariantReads = 0;
};

class StatementSQLExecution : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pclConnection = new CTestConnection(L"EXEC", &m_host);
        REF_AddRef(m_pclConnection);
        m_pclConnection->SetRuntimeCodePage(1252);
        m_pclError = new CNAError;
        m_pclError->AddRef();
        m_pclStatement = new CRecordingStatement(m_pclConnection, m_pclError);
    }
    void TearDown() override
    {
        delete m_pclStatement;
        m_pclError->nRelease();
        m_pclConnection->nRelease();
    }

    StandinConnectionDescription m_host;
    CTestConnection* m_pclConnection = nullptr;
    CNAError* m_pclError = nullptr;
    CRecordingStatement* m_pclStatement = nullptr;
};

TEST_F(StatementSQLExecution, WideTextGoesInTheConnectionsCodePage)
{
    m_pclConnection->SetClientTextCodePage(1252);
    EXPECT_EQ(1, m_pclStatement->bExecuteDirect(L"SELECT 'é'", nullptr, 0));
    EXPECT_EQ(1, m_pclStatement->bExecuteDirect(static_cast<const wchar_t*>(nullptr), nullptr, 0));
    m_pclConnection->SetClientTextCodePage(65001);
    EXPECT_EQ(1, m_pclStatement->bExecuteDirect(L"SELECT 'é'", nullptr, 0));
    EXPECT_EQ(1, m_pclStatement->bExecuteDirect("SELECT 'as is'", 0));
    EXPECT_EQ((std::vector<std::optional<std::string>>{"SELECT '\xE9'", std::nullopt, "SELECT '\xC3\xA9'",
                                                        "SELECT 'as is'"}),
              m_pclStatement->sent);
}

TEST_F(StatementSQLExecution, AConnectionTakingWideTextRunsNothing)
{
    m_pclConnection->SetClientTextCodePage(-2);
    EXPECT_EQ(0, m_pclStatement->bExecuteDirect(L"SELECT 1", nullptr, 0));
    EXPECT_TRUE(m_pclStatement->sent.empty());
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType());
}

TEST_F(StatementSQLExecution, NothingIsReadWithoutAConversionValue)
{
    // No driver in this process: no conversion value can be made.
    ASSERT_EQ(nullptr, CNADriver::s_pclDriver);
    CAny value;
    EXPECT_EQ(0, m_pclStatement->bGetValue(&value, 0, 0));
    EXPECT_EQ(0, m_pclStatement->bGetBLOBValue(&value, 0, 0));
    EXPECT_EQ(0, m_pclStatement->nVariantReads);
}

}  // namespace
