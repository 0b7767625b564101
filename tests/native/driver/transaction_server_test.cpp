// Nested transactions of a MySQL connection on the private server: the
// outer level begins, writes r1, an inner level begins and writes r2, then
// each level ends; the rows left are read back through a raw client of its
// own, which sees only what was committed. An inner level is a savepoint of
// the outer transaction, so that its end never commits the outer level's
// work and the outer roll-back undoes all of it. (A second BEGIN would
// commit r1 at once; the raw client shows that too.)
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "native/driver/error_object.h"
#include "native/driver/transaction.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/support/scratch_database.h"

namespace {

using Rows = std::set<std::string>;

enum class End
{
    Commit,
    RollBack,
};

Rows TableRows(vxtest::RawClient& client)
{
    Rows rows;
    const auto result = client.Query("SELECT v FROM t");
    EXPECT_TRUE(result.has_value()) << client.sError();
    if (result.has_value()) {
        for (const vxtest::RawRow& row : *result)
            rows.insert(row.at(0).value_or("NULL"));
    }
    return rows;
}

int nEnd(CNAConnectionDescription& connection, CNAError* pclError, End end, const wchar_t* pszName)
{
    return end == End::Commit ? connection.bTransactionCommit(pclError, pszName)
                              : connection.bTransactionRollBack(pclError, pszName);
}

TEST(TransactionOnServer, InnerLevelsAreSavepointsOfTheOuterTransaction)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    vxtest::RawClient reader = vxtest::ConnectAsTestUser(db.Name());
    ASSERT_TRUE(reader.bExecute("CREATE TABLE t (v VARCHAR(8)) ENGINE=InnoDB")) << reader.sError();

    const struct
    {
        const char* pszWhat;
        End inner;
        End outer;
        Rows kept;
    } cases[] = {
        {"inner roll-back, outer roll-back", End::RollBack, End::RollBack, {}},
        {"inner commit, outer roll-back", End::Commit, End::RollBack, {}},
        {"inner roll-back, outer commit", End::RollBack, End::Commit, {"r1"}},
        {"inner commit, outer commit", End::Commit, End::Commit, {"r1", "r2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(reader.bExecute("DELETE FROM t")) << reader.sError();
        vxtest::ServerConnection connection({}, vxtest::MariadbRoute::Socket, nullptr, db.Name());
        CNAError error;
        ASSERT_EQ(1, connection->bTransactionBegin(&error, L"Outer")) << error.pszGetError();
        ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES ('r1')"));
        ASSERT_EQ(1, connection->bTransactionBegin(&error, L"Inner")) << error.pszGetError();
        ASSERT_EQ(1, connection->bExecuteQueryNoResult(&error, L"INSERT INTO t VALUES ('r2')"));
        EXPECT_EQ(Rows{}, TableRows(reader)) << "the inner begin committed nothing";

        ASSERT_EQ(1, nEnd(*connection, &error, c.inner, nullptr)) << error.pszGetError();
        EXPECT_EQ(Rows{}, TableRows(reader)) << "the inner end committed nothing";
        EXPECT_EQ(1, connection->_bTransactionOpened());
        ASSERT_EQ(1, nEnd(*connection, &error, c.outer, L"outer")) << error.pszGetError();
        EXPECT_EQ(0, connection->_bTransactionOpened());
        EXPECT_EQ(c.kept, TableRows(reader));
    }
}

TEST(TransactionOnServer, ASecondBeginWouldCommitTheFirstLevel)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    vxtest::RawClient reader = vxtest::ConnectAsTestUser(db.Name());
    ASSERT_TRUE(reader.bExecute("CREATE TABLE t (v VARCHAR(8)) ENGINE=InnoDB")) << reader.sError();
    vxtest::RawClient writer = vxtest::ConnectAsTestUser(db.Name());
    for (const char* pszSQL : {"BEGIN", "INSERT INTO t VALUES ('r1')", "BEGIN", "INSERT INTO t VALUES ('r2')",
                               "ROLLBACK", "ROLLBACK"})
        ASSERT_TRUE(writer.bExecute(pszSQL)) << writer.sError();
    EXPECT_EQ(Rows{"r1"}, TableRows(reader)) << "the outer roll-back did not undo r1";
}

}  // namespace
