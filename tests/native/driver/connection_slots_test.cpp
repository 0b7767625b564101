// The connection's virtual slots in the order the database's connection
// overrides them by position, the base answers behind them, the transaction
// level's slots, the error object reaching the connection's details slot,
// and the test connection that the driver's other tests stand on.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/error_object.h"
#include "native/driver/transaction.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(ConnectionSlots, Order)
{
    using C = CNAConnectionDescription;
    using LockTable = int (C::*)(CNAError*, const wchar_t*);
    using LockQuery = int (C::*)(CNAError*, ISQLParserInformation*);
    // Slots 0 and 1 are the destructors.
    vxtest::ExpectSlots("CNAConnectionDescription", {
        VX_SLOT(C, _NotToBeCalled, 2),
        VX_SLOT(C, bOpen, 3),
        VX_SLOT(C, bIsOpen, 4),
        VX_SLOT(C, bClose, 5),
        VX_SLOT(C, bSupportOrderByMemo, 6),
        VX_SLOT(C, bOrderByIndiceAllowed, 7),
        VX_SLOT(C, bTransactionEndCloseParse, 8),
        VX_SLOT(C, bTreatEmptyDateAsNULL, 9),
        VX_SLOT(C, bTreat0000DateAsNULL, 10),
        VX_SLOT(C, bSupportItemTime, 11),
        VX_SLOT(C, bSupportItemDate, 12),
        VX_SLOT(C, bNULLBeforeNotNULL, 13),
        VX_SLOT(C, bSupportInsertReturning, 14),
        VX_SLOT(C, bCanPrepareQuery, 15),
        VX_SLOT(C, bIndexNamesCommonOnDatabase, 16),
        VX_SLOT(C, bOpenCreate, 17),
        VX_SLOT(C, pszGetNoLockHint, 18),
        VX_SLOT(C, bTransactionBeginDirect, 19),
        VX_SLOT(C, bTransactionCommitDirect, 20),
        VX_SLOT(C, bTransactionRollBackDirect, 21),
        VX_SLOT(C, pclAllocTransaction, 22),
        VX_SLOT_AS(C, bSQLBloque, LockTable, 23),
        VX_SLOT_AS(C, bSQLBloque, LockQuery, 24),
        VX_SLOT(C, bSQLBloqueRequete, 25),
        VX_SLOT(C, bDiagnose, 26),
        VX_SLOT(C, bInitError, 27),
        VX_SLOT(C, eGetNAErrorType, 28),
        VX_SLOT(C, bConvertValueToString, 29),
        VX_SLOT(C, bCastCAnyIntoDBType, 30),
        VX_SLOT(C, nGetOrderByMaxExpressionNbr, 31),
        VX_SLOT(C, AddInfoNativeXError, 32),
        VX_SLOT(C, bDBTypeToString, 33),
        VX_SLOT(C, bDBTypeUnkwnownByDB, 34),
        VX_SLOT(C, bExecuteQueryNoResult, 35),
        VX_SLOT(C, bExecuteQueryIgnoreResult, 36),
        VX_SLOT(C, bGetRequestedValue, 37),
        VX_SLOT(C, _bEscapeString, 38),
        VX_SLOT(C, _bBoolToString, 39),
        VX_SLOT(C, _bDateToString, 40),
        VX_SLOT(C, _CancelRecordLock, 41),
        VX_SLOT(C, _InitQF2NativeType, 42),
        VX_SLOT(C, _bDecomposeServerVersion, 43),
    });
    EXPECT_EQ(44, VX_SLOT_COUNT(C));

    vxtest::ExpectSlots("CNATransaction", {
        VX_SLOT(CNATransaction, bDetach, 3),
        VX_SLOT(CNATransaction, bSetActive, 4),
        VX_SLOT(CNATransaction, bResume, 5),
        VX_SLOT(CNATransaction, _bNABegin, 6),
        VX_SLOT(CNATransaction, _bNACommit, 7),
        VX_SLOT(CNATransaction, _bNARollBack, 8),
    });
    EXPECT_EQ(9, VX_SLOT_COUNT(CNATransaction));
}

// The connection with only what a subclass must give: the base answers.
class CBareConnection : public CNAConnectionDescription
{
public:
    using CNAConnectionDescription::CNAConnectionDescription;
    int bOpen(CNAError*) override { return ++m_nOpenCalls == 1 ? 7 : 0; }
    int bIsOpen() override { return 0; }
    int bClose(CNAError*) override { return 1; }
    void _InitQF2NativeType() override {}
    int m_nOpenCalls = 0;
};

TEST(ConnectionSlots, BaseAnswers)
{
    StandinConnectionDescription host;
    CBareConnection connection(L"id", &host);
    EXPECT_EQ(0, connection.nGetDBKind());
    EXPECT_EQ(0, connection.bSupportOrderByMemo());
    EXPECT_EQ(1, connection.bOrderByIndiceAllowed());
    EXPECT_EQ(0, connection.bTransactionEndCloseParse());
    EXPECT_EQ(1, connection.bTreatEmptyDateAsNULL());
    EXPECT_EQ(0, connection.bSupportItemTime());
    EXPECT_EQ(0, connection.bSupportItemDate());
    EXPECT_EQ(1, connection.bNULLBeforeNotNULL());
    EXPECT_EQ(0, connection.bSupportInsertReturning());
    EXPECT_EQ(1, connection.bCanPrepareQuery());
    EXPECT_EQ(0, connection.bIndexNamesCommonOnDatabase());
    EXPECT_STREQ(L"", connection.pszGetNoLockHint());
    // Through bOpen, its answer unchanged.
    EXPECT_EQ(7, connection.bOpenCreate(nullptr));
    EXPECT_EQ(1, connection.m_nOpenCalls);

    CTString text;
    EXPECT_EQ(0, connection.bDBTypeToString(&text, 3));
    EXPECT_EQ(0, connection.bDBTypeUnkwnownByDB(3));
    EXPECT_EQ(0, connection.bInitError(nullptr, 1, 2));
    EXPECT_EQ(NA_ERR_GENERAL, connection.eGetNAErrorType(1062));
    EXPECT_EQ(0, connection.bSQLBloque(nullptr, static_cast<ISQLParserInformation*>(nullptr)));

    // Statements need the driver's SQL-functions object: without a driver
    // none runs, and the no-memory error says so.
    CNAError error;
    EXPECT_EQ(0, connection.bTransactionBeginDirect(&error));
    EXPECT_EQ(0, connection.bExecuteQueryNoResult(&error, L"SELECT 1"));
    EXPECT_EQ(0, connection.bSQLBloque(&error, L"T"));
    EXPECT_EQ(NA_LEVEL_ERROR, error.eGetErrorLevel());
    error.Reset();
    // Built: an empty version leaves the major unknown.
    EXPECT_EQ(1, connection._bDecomposeServerVersion(&error));
    EXPECT_EQ(-1, connection.nGetServerMajor());
}

// A connection that tells when the error object asks for its details.
class CDetailConnection : public CTestConnection
{
public:
    using CTestConnection::CTestConnection;
    void AddInfoNativeXError(_CXErrorModule32* pclError) override
    {
        ++m_nCalls;
        m_pclLast = pclError;
    }
    int m_nCalls = 0;
    _CXErrorModule32* m_pclLast = nullptr;
};

TEST(ConnectionSlots, ErrorObjectAsksTheConnectionForItsDetails)
{
    StandinConnectionDescription host;
    host.SetDataBase(L"srv-db");
    CDetailConnection connection(L"id", &host);
    CNAError error;
    error.AddError(NA_ERR_GENERAL, 5, 4, &connection, 14, L"Cnx");
    EXPECT_EQ(1, connection.m_nCalls);
    EXPECT_EQ(error.pclGetXError(), connection.m_pclLast);
    // A sub-error gets no details.
    error.AddError(NA_ERR_GENERAL, 5, 4, &connection, 14, L"Cnx");
    EXPECT_EQ(1, connection.m_nCalls);

    CNAError quiet;
    quiet.SetNoDetail(1);
    quiet.AddError(NA_ERR_GENERAL, 5, 4, &connection, 14, L"Cnx");
    EXPECT_EQ(1, connection.m_nCalls);

    // A database error names the connection's data source.
    CNAError database;
    database._SetDataBaseError(NA_ERR_GENERAL, &connection, 22, 1146, L"no such table", nullptr, nullptr);
    EXPECT_EQ(2, connection.m_nCalls);
    EXPECT_NE(nullptr, wcsstr(database.pszGetError(), L"<srv-db>"));
}

TEST(ConnectionSlots, TestConnectionCountsFailsAndLogs)
{
    StandinConnectionDescription host;
    host.SetDataBase(L"srv");
    CTestConnection connection(L"id", &host);
    EXPECT_EQ(5, connection.nGetDBKind());
    EXPECT_EQ(CTString(L"`"), connection.csGetOpeningQuote());
    EXPECT_EQ(0, connection.bIsOpen());
    EXPECT_EQ(1, connection.bOpen(nullptr));
    EXPECT_EQ(1, connection.bIsOpen());
    EXPECT_EQ(1, connection.bClose(nullptr));
    EXPECT_EQ(0, connection.bIsOpen());
    EXPECT_EQ(1, connection.nOpenCalls());
    EXPECT_EQ(3, connection.nIsOpenCalls());
    EXPECT_EQ(1, connection.nCloseCalls());

    connection.SetOpenFails(true);
    CNAError error;
    EXPECT_EQ(0, connection.bOpenCreate(&error));
    EXPECT_EQ(0, connection.bIsOpen());
    EXPECT_EQ(CTestConnection::kFailureUserCode, error.dwGetErrorId());
    EXPECT_NE(nullptr, wcsstr(error.pszGetError(), L"<srv>"));

    EXPECT_EQ(1, connection.bExecuteQueryNoResult(nullptr, L"BEGIN"));
    connection.SetStatementsFail(true);
    EXPECT_EQ(0, connection.bExecuteQueryIgnoreResult(nullptr, L"SELECT 1"));
    EXPECT_EQ((std::vector<std::wstring>{L"BEGIN", L"SELECT 1"}), connection.Statements());
}

TEST(ConnectionSlots, TestDriverMakesTestConnections)
{
    StartTestDriverModule();
    CTestDriver driver(CTestDriverChoices{.allocConnectionDescription = TestConnectionFactory()});
    StandinConnectionDescription host;
    const int nLive = CTestConnection::s_nLive;
    CNAConnectionDescription* pclConnection = driver._pclAllocConnectionDescription(L"id", &host);
    ASSERT_NE(nullptr, pclConnection);
    EXPECT_EQ(nLive + 1, CTestConnection::s_nLive);
    EXPECT_EQ(5, pclConnection->nGetDBKind());
    ++pclConnection->m_dwRefCount;
    pclConnection->nRelease();
    EXPECT_EQ(nLive, CTestConnection::s_nLive);
    EXPECT_EQ(0, host.Refs().nBalance());
}

}  // namespace
