// The connection's own statements and details: its internal statements run
// through execution statements of the driver's SQL-functions object (here
// scripted ones), made for one run and released after it; the table and
// query locks and the plain transaction statements written as texts; the
// diagnosis that this driver does not offer; and the details every error
// raised on the connection receives, which never show the password.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/system/x_error.h"
#include "native/driver/connection_description.h"
#include "native/driver/wide_text_value.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/scripted_statement_sql.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

using Log = std::vector<std::wstring>;

// A connection with the base class's statement runners: only opening and
// closing are its own. The test holds one reference, as a registry would:
// the statements' releases must not take its last.
class CBaseConnection : public CNAConnectionDescription
{
public:
    CBaseConnection(const wchar_t* pszIdentification, INAConnectionDescription* piConnection)
        : CNAConnectionDescription(pszIdentification, piConnection)
    {
        m_nDBKind = 5;
        REF_AddRef(this);
    }
    int bOpen(CNAError*) override { return m_bOpen = 1; }
    int bIsOpen() override { return m_bOpen; }
    int bClose(CNAError*) override
    {
        m_bOpen = 0;
        return 1;
    }
    void _InitQF2NativeType() override {}

private:
    int m_bOpen = 0;
};

CScriptedResult NoResult()
{
    return {};
}

CScriptedResult OneColumn(std::vector<CScriptedRow> rows)
{
    CScriptedResult result;
    result.columns = {ScriptedColumn(L"A"), ScriptedColumn(L"B")};
    result.rows = std::move(rows);
    return result;
}

class TransactionConnection : public vxtest::RegistryTestOn<vxtest::AnyVmTest>
{
protected:
    void Choose(CTestDriverChoices& choices) override { choices.allocStatementSQL = m_script.Factory(); }

    void SetUp() override
    {
        vxtest::RegistryTestOn<vxtest::AnyVmTest>::SetUp();
        m_error.AddRef();
        m_host.SetConnectionName(L"CNX");
        m_host.SetDataBase(L"localhost");
        m_host.SetUserName(L"user");
        m_host.SetPassword(L"secret-password");
        m_host.SetProvider(L"MySQL");
    }
    void TearDown() override
    {
        EXPECT_EQ(0, m_script.nLive) << "statements alive";
        vxtest::RegistryTestOn<vxtest::AnyVmTest>::TearDown();
    }

    CStatementScript m_script;
    CNAError m_error;
    StandinConnectionDescription m_host;
};

TEST_F(TransactionConnection, InternalStatementsRunOnceAndGo)
{
    CBaseConnection connection(L"identification", &m_host);
    m_script.On(L"UPDATE T SET A = 1", NoResult());
    m_script.On(L"SELECT A FROM T", OneColumn({{L"1", L"x"}}));

    EXPECT_EQ(1, connection.bExecuteQueryNoResult(&m_error, L"UPDATE T SET A = 1"));
    EXPECT_EQ(1, connection.bExecuteQueryIgnoreResult(&m_error, L"SELECT A FROM T"));
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&m_error, L"DROP TABLE T")) << "refused by the script";
    EXPECT_EQ(12u, m_error.dwGetErrorId()) << "the statement's error, in the caller's object";
    EXPECT_EQ((Log{L"UPDATE T SET A = 1", L"SELECT A FROM T", L"DROP TABLE T"}), m_script.executed);
    EXPECT_EQ(3, m_script.nMade) << "one statement per run";
    EXPECT_EQ(0, m_script.nLive);
    EXPECT_EQ(1u, connection.m_dwRefCount) << "the statements gave their references back";
}

TEST_F(TransactionConnection, LocksAndTransactionsAsTexts)
{
    CBaseConnection connection(L"identification", &m_host);
    for (const wchar_t* psz : {L"LOCK TABLE `T 1`", L"SELECT * FROM T WHERE A = 1 FOR UPDATE", L"BEGIN",
                               L"SAVEPOINT VXSP1", L"ROLLBACK TO SAVEPOINT VXSP1", L"COMMIT", L"ROLLBACK"})
        m_script.On(psz, NoResult());

    EXPECT_EQ(1, connection.bSQLBloque(&m_error, L"`T 1`"));
    EXPECT_EQ(1, connection.bSQLBloqueRequete(&m_error, L"SELECT * FROM T WHERE A = 1"));
    EXPECT_EQ(0, connection.bSQLBloque(&m_error, static_cast<ISQLParserInformation*>(nullptr)))
        << "a parsed query is not locked";
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"A"));
    ASSERT_EQ(1, connection.bTransactionBegin(&m_error, L"B"));
    ASSERT_EQ(1, connection.bTransactionRollBack(&m_error, L"B"));
    ASSERT_EQ(1, connection.bTransactionCommit(&m_error, L"A"));
    EXPECT_EQ(1, connection.bTransactionRollBackDirect(&m_error));
    EXPECT_EQ((Log{L"LOCK TABLE `T 1`", L"SELECT * FROM T WHERE A = 1 FOR UPDATE", L"BEGIN", L"SAVEPOINT VXSP1",
                   L"ROLLBACK TO SAVEPOINT VXSP1", L"COMMIT", L"ROLLBACK"}),
              m_script.executed);
    EXPECT_EQ(NA_ERR_NONE, m_error.eGetErrorType());
}

TEST_F(TransactionConnection, RequestedValues)
{
    CBaseConnection connection(L"identification", &m_host);
    m_script.On(L"SELECT A, B", OneColumn({{L"first", std::nullopt}, {L"second", L"y"}}));
    m_script.On(L"SELECT NOTHING", OneColumn({}));

    CAny value;
    ASSERT_EQ(1, connection.bGetRequestedValue(&m_error, &value, 0, L"SELECT A, B"));
    EXPECT_STREQ(L"first", NA_pszWideTextOf(&value)) << "the first row";

    CTString cs;
    ASSERT_EQ(1, connection.bGetRequestedValueString(&m_error, &cs, 0, L"SELECT A, B"));
    EXPECT_STREQ(L"first", cs.pszGet());
    ASSERT_EQ(1, connection.bGetRequestedValueString(&m_error, &cs, 1, L"SELECT A, B"));
    EXPECT_STREQ(L"", cs.pszGet()) << "NULL gives the empty text";
    cs.Set(L"kept");
    EXPECT_EQ(1, connection.bGetRequestedValueString(&m_error, &cs, 0, L"SELECT NOTHING"));
    EXPECT_STREQ(L"kept", cs.pszGet()) << "no row: the string as it was";
    EXPECT_EQ(0, connection.bGetRequestedValueString(&m_error, &cs, 0, L"SELECT UNKNOWN"));
    EXPECT_STREQ(L"kept", cs.pszGet());
    EXPECT_EQ(5, m_script.nMade);
    EXPECT_EQ(0, m_script.nLive);
}

TEST_F(TransactionConnection, WithoutAnExecutionStatement)
{
    CBaseConnection connection(L"identification", &m_host);
    Driver()->Choices().allocStatementSQL = [](CNAConnectionDescription*, CNAError*) { return nullptr; };
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&m_error, L"BEGIN"));
    EXPECT_EQ(NA_LEVEL_ERROR, m_error.eGetErrorLevel()) << "the no-memory error";
    m_error.Reset();
    CAny value;
    EXPECT_EQ(0, connection.bGetRequestedValue(&m_error, &value, 0, L"SELECT 1"));
    EXPECT_EQ(NA_LEVEL_ERROR, m_error.eGetErrorLevel());
}

TEST_F(TransactionConnection, DiagnosisIsNotOffered)
{
    CBaseConnection connection(L"identification", &m_host);
    CAny value;
    EXPECT_EQ(0, connection.bDiagnose(&m_error, &value, L"CUSTOMER", 0));
    EXPECT_TRUE(vxtest::ErrorAt(m_error, 8, L"1.3"));
    EXPECT_EQ(NA_ERR_NOT_AVAILABLE, m_error.eGetErrorType());
    EXPECT_STREQ(L"CUSTOMER", m_error.pszGetLogicalTableName()) << "the table as the error's table";
    EXPECT_TRUE(m_script.executed.empty());
}

std::vector<std::wstring> DebugLines(const CXError* pclError)
{
    std::vector<std::wstring> lines;
    std::wstring text = pclError->pszGetDebugMessage();
    size_t nStart = 0;
    while (nStart <= text.size()) {
        const size_t nEnd = text.find(L"\r\n", nStart);
        lines.push_back(text.substr(nStart, nEnd == std::wstring::npos ? std::wstring::npos : nEnd - nStart));
        if (nEnd == std::wstring::npos)
            break;
        nStart = nEnd + 2;
    }
    return lines;
}

std::wstring Info(const CXError* pclError, CXError::eERRORINFOTYPE eType)
{
    const void* pValue = nullptr;
    if (!pclError->bGetInfo(eType, &pValue) || pValue == nullptr)
        return L"(none)";
    return static_cast<const wchar_t*>(pValue);
}

TEST_F(TransactionConnection, DetailsOfTheConnectionOnAnError)
{
    m_host.SetDefaultDataBase(L"shop");
    const CTString csLibraryBefore = CNAConnectionDescription::m_csClientLibrary;
    const CTString csVersionBefore = CNAConnectionDescription::m_csClientVersion;
    CNAConnectionDescription::m_csClientLibrary.Set(L"libmysqlclient.so");
    CNAConnectionDescription::m_csClientVersion.Set(L"10.11.6");

    CTestConnection connection(L"identification", &m_host);
    connection.SetServerVersion(L"10.11.6-MariaDB", 10, 11, 6);
    connection.SetTimeouts(30, 60, 5);
    connection.SetCursorLocation(NA_CURSOR_CLIENT);
    connection.SetRuntimeCodePage(65001);
    connection.SetClientTextCodePage(-2);
    connection.SetRecordLockHint(L"NOWAIT");

    _CXErrorModule32 error;
    connection.AddInfoNativeXError(&error);
    EXPECT_EQ(L"10.11.6", Info(&error, CXError::EIT_INFOCLIENT));
    EXPECT_EQ(L"10.11.6-MariaDB", Info(&error, CXError::EIT_INFOSERVEUR));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Native Library :  libmysqlclient.so",
                  L"Provider :  MySQL",
                  L"Utilisateur :  user",
                  L"DataSource :  localhost",
                  L"Database :  shop",
                  L"Connexion Timeout :  30",
                  L"Command Timeout :  60",
                  L"Lock Timeout :  5",
                  L"Cursor Position :  Client",
                  L"Unicode actived :  1",
                  L"ZL Page Code :  UTF-8",
                  L"Connexion Page Code:  UTF-16",
                  L"Lock Tag :  NOWAIT",
              }),
              DebugLines(&error));
    EXPECT_EQ(std::wstring::npos, std::wstring(error.StringDump(CXError::XEI_ALL).pszGet()).find(L"secret-password"));

    // What is not given makes no line; the Unicode value always does.
    CNAConnectionDescription::m_csClientLibrary.Vide();
    CNAConnectionDescription::m_csClientVersion.Vide();
    StandinConnectionDescription bare;
    CTestConnection other(L"identification", &bare);
    other.SetTimeouts(-1, -1, -1);
    other.SetRuntimeCodePage(1252);
    _CXErrorModule32 second;
    other.AddInfoNativeXError(&second);
    EXPECT_EQ(L"(none)", Info(&second, CXError::EIT_INFOCLIENT));
    EXPECT_EQ(L"(none)", Info(&second, CXError::EIT_INFOSERVEUR));
    EXPECT_EQ((std::vector<std::wstring>{L"Unicode actived :  1", L"ZL Page Code :  1252"}), DebugLines(&second));

    // Through the error object.
    CNAError recorded;
    other.AddInfoNative(&recorded);
    EXPECT_EQ(DebugLines(&second), DebugLines(recorded.pclGetXError()));
    other.AddInfoNative(nullptr);

    CNAConnectionDescription::m_csClientLibrary = csLibraryBefore;
    CNAConnectionDescription::m_csClientVersion = csVersionBefore;
}

TEST_F(TransactionConnection, DumpCaptionsEndWithABlank)
{
    CNADriver* pclDriver = Driver();
    EXPECT_STREQ(L"Texte de la requête : ", pclDriver->pszGetDumpCaption(NA_CAPTION_QUERY_TEXT));
    EXPECT_STREQ(L"Connexion parameters :  ", pclDriver->pszGetDumpCaption(NA_CAPTION_CONNECTION_PARAMETERS));
    EXPECT_STREQ(L"Native Library :  ", pclDriver->pszGetDumpCaption(NA_CAPTION_NATIVE_LIBRARY));
    EXPECT_STREQ(L"", pclDriver->pszGetDumpCaption(static_cast<eNA_DUMPCAPTION>(8)));
    EXPECT_STREQ(L"", pclDriver->pszGetDumpCaption(static_cast<eNA_DUMPCAPTION>(29)));
    int nFilled = 0;
    for (int i = 1; i <= kNADumpCaptionFields; ++i) {
        const std::wstring caption = pclDriver->pszGetDumpCaption(static_cast<eNA_DUMPCAPTION>(i));
        if (!caption.empty()) {
            ++nFilled;
            EXPECT_EQ(L' ', caption.back()) << "field " << i;
        }
    }
    EXPECT_EQ(25, nFilled);
    // Loaded once: a second load leaves the texts as they are.
    pclDriver->InitQueryDumpRessources();
    EXPECT_STREQ(L"Native Library :  ", pclDriver->pszGetDumpCaption(NA_CAPTION_NATIVE_LIBRARY));
}

}  // namespace
