// Execution statement numbers: a process-wide counter taken by each
// statement made, from 1, whatever its connection, never given twice. The
// first statements of this process are the ones made here.
#include <gtest/gtest.h>

#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(StatementSQLNumbering, FromOneAcrossConnectionsNeverReused)
{
    StandinConnectionDescription hostA, hostB;
    auto* pclA = new CTestConnection(L"A", &hostA);
    auto* pclB = new CTestConnection(L"B", &hostB);
    REF_AddRef(pclA);
    REF_AddRef(pclB);
    CNAError* pclError = new CNAError;
    pclError->AddRef();

    auto* pclFirst = new CNAStatementSQL(pclA, pclError);
    auto* pclSecond = new CNAStatementSQL(pclB, pclError);
    EXPECT_EQ(1u, pclFirst->nGetStatementID());
    EXPECT_EQ(2u, pclSecond->nGetStatementID());
    delete pclFirst;
    // A number of a statement gone is not given again.
    auto* pclThird = new CNAStatementSQL(pclA, pclError);
    EXPECT_EQ(3u, pclThird->nGetStatementID());
    EXPECT_EQ(3u, CNAStatementSQL::m_gnStmtGenerator);
    delete pclSecond;
    delete pclThird;

    pclError->nRelease();
    pclA->nRelease();
    pclB->nRelease();
}

}  // namespace
