// Failed writes through the data access on the run's private server: the
// error type the host sees and the item it is about. A duplicate on a
// table with two unique items (add and modify), a nullable unique item left
// NULL before the item that collides, an identifier the add does not write,
// a value the host stores as "no value", a missing mandatory value after an
// identifier the server numbers, a refusal no written column explains, and
// a lock wait time-out against another connection. The server's message and
// code stay in every case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/sql/command.h"
#include "tests/mysql/mysql_statement_on_server.h"

namespace {

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr eNA_PARSEDIRECTION kFirst = static_cast<eNA_PARSEDIRECTION>(0);
constexpr eNA_PARSEDIRECTION kNext = static_cast<eNA_PARSEDIRECTION>(2);
constexpr unsigned kDuplicateEntry = 1062;
constexpr unsigned kBadNull = 1048;
constexpr unsigned kLockWaitTimeout = 1205;

class DataAccessWriteErrors : public vxtest::MySQLStatementFixture
{
protected:
    void Set(CNADataAccess* pclAccess, const wchar_t* pszColumn, int nValue)
    {
        CAny value = Int(nValue);
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValue(&value, 0));
    }
    void SetNull(CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValueNULL());
    }
    int Read(CNADataAccess* pclAccess, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        m_pclError->Reset();
        return pclAccess->bHLitxxx(L"id", eDirection, 1, kLock, &eOut, 0);
    }
    // What the host sees of a failed write: the type, the table and item
    // names, the server's code.
    struct Seen
    {
        int nType;
        std::wstring sTable;
        std::wstring sItem;
        unsigned nCode;
        bool operator==(const Seen&) const = default;
        friend void PrintTo(const Seen& seen, std::ostream* pOut)
        {
            *pOut << "{type " << seen.nType << ", table '" << std::string(seen.sTable.begin(), seen.sTable.end()) << "', item '"
                  << std::string(seen.sItem.begin(), seen.sItem.end()) << "', code " << seen.nCode << "}";
        }
    };
    Seen Failure(CNADataAccess* pclAccess) const
    {
        const wchar_t* pszTable = m_pclError->pszGetLogicalTableName();
        const wchar_t* pszItem = m_pclError->pszGetItemName();
        return {static_cast<int>(pclAccess->eGetNAErrorType()), pszTable != nullptr ? pszTable : L"",
                pszItem != nullptr ? pszItem : L"", m_pclError->dwGetDataBaseErrorCode()};
    }
    int Add(CNADataAccess* pclAccess)
    {
        m_pclError->Reset();
        return pclAccess->bHAjoute(0, kLock);
    }
    int Modify(CNADataAccess* pclAccess)
    {
        m_pclError->Reset();
        return pclAccess->bHModifie(0, 0, kLock);
    }
    std::string Count(const std::string& sTable)
    {
        return m_client.Value("SELECT COUNT(*) FROM " + sTable).value_or("?");
    }
};

// Two unique items besides the key: the first unique item in column order
// whose value is already there is named; a modification names only a
// modified item (the row's own unchanged values are in the table too).
TEST_F(DataAccessWriteErrors, DuplicatesNameTheFirstUniqueItemThatCollides)
{
    CNADataAccess* pclAccess = OpenTable(
        "du", "CREATE TABLE du (id INT AUTO_INCREMENT PRIMARY KEY, a INT UNIQUE, b INT UNIQUE, v INT)");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO du VALUES (1, 10, 20, 0), (2, 11, 21, 0)")) << m_client.sError();
    const struct
    {
        int nA;
        int nB;
        const wchar_t* pszItem;
    } adds[] = {
        {10, 99, L"a"},
        {99, 20, L"b"},
        {10, 20, L"a"},
        {11, 21, L"a"},
    };
    for (const auto& c : adds) {
        SCOPED_TRACE(std::to_string(c.nA) + "," + std::to_string(c.nB));
        Set(pclAccess, L"a", c.nA);
        Set(pclAccess, L"b", c.nB);
        Set(pclAccess, L"v", 1);
        EXPECT_EQ(0, Add(pclAccess));
        EXPECT_EQ((Seen{3, L"du", c.pszItem, kDuplicateEntry}), Failure(pclAccess));
        EXPECT_NE(std::wstring::npos, std::wstring(m_pclError->pszGetError()).find(L"Duplicate entry"))
            << "the server's message stays";
    }
    EXPECT_EQ("2", Count("du"));

    // Row 2 (a 11, b 21) takes b 20: a is unchanged and names nothing.
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    ASSERT_EQ(1, Read(pclAccess, kNext));
    Set(pclAccess, L"b", 20);
    EXPECT_EQ(0, Modify(pclAccess));
    EXPECT_EQ((Seen{3, L"du", L"b", kDuplicateEntry}), Failure(pclAccess));
    // Both changed: the first one.
    Set(pclAccess, L"a", 10);
    EXPECT_EQ(0, Modify(pclAccess));
    EXPECT_EQ((Seen{3, L"du", L"a", kDuplicateEntry}), Failure(pclAccess));
}

// An identifier the server numbers is not written by an add: the value it
// still holds from the row read before is in the table, yet the unique
// item that collides is named. Written with 0x100, it is the cause.
TEST_F(DataAccessWriteErrors, AnIdentifierTheAddDoesNotWriteIsNotTheDuplicate)
{
    CNADataAccess* pclAccess =
        OpenTable("di", "CREATE TABLE di (id INT AUTO_INCREMENT PRIMARY KEY, b INT UNIQUE)");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO di VALUES (1, 10), (2, 20)")) << m_client.sError();
    ASSERT_EQ(1, Read(pclAccess, kFirst));
    Set(pclAccess, L"b", 20);
    EXPECT_EQ(0, Add(pclAccess));
    EXPECT_EQ((Seen{3, L"di", L"b", kDuplicateEntry}), Failure(pclAccess));

    Set(pclAccess, L"b", 30);
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHAjoute(0x100, kLock));
    EXPECT_EQ((Seen{3, L"di", L"id", kDuplicateEntry}), Failure(pclAccess));
    EXPECT_EQ("2", Count("di"));
}

// A nullable unique item left NULL never causes the duplicate (a unique
// index takes any number of NULLs), even when other rows hold NULL there
// and it comes first. A value the host stores as "no value" (0) is counted
// with the NULL rows too: the item with 0 is named, although b collides.
TEST_F(DataAccessWriteErrors, AnItemWithoutValueIsNotTheDuplicate)
{
    CNADataAccess* pclAccess =
        OpenTable("nu", "CREATE TABLE nu (id INT PRIMARY KEY, a INT NULL UNIQUE, b INT UNIQUE)");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO nu VALUES (1, NULL, 5), (2, NULL, 6)")) << m_client.sError();
    Set(pclAccess, L"id", 3);
    SetNull(pclAccess, L"a");
    Set(pclAccess, L"b", 5);
    EXPECT_EQ(0, Add(pclAccess));
    EXPECT_EQ((Seen{3, L"nu", L"b", kDuplicateEntry}), Failure(pclAccess));

    Set(pclAccess, L"a", 0);
    EXPECT_EQ(0, Add(pclAccess));
    EXPECT_EQ((Seen{3, L"nu", L"a", kDuplicateEntry}), Failure(pclAccess));
    EXPECT_EQ("2", Count("nu"));
}

// The server refuses a NULL in a NOT NULL column: the item named is the
// written column without value, not the identifier the server numbers
// (undefined in a new record, NOT NULL, and first); the same on a
// modification. When no written column explains it (a trigger sets the
// NULL), the type alone.
TEST_F(DataAccessWriteErrors, AMissingValueNamesAWrittenItem)
{
    CNADataAccess* pclAccess = OpenTable(
        "mv", "CREATE TABLE mv (id INT AUTO_INCREMENT PRIMARY KEY, a INT NULL, b INT NOT NULL, c INT NOT NULL)");
    Set(pclAccess, L"a", 1);
    SetNull(pclAccess, L"b");
    Set(pclAccess, L"c", 1);
    EXPECT_EQ(0, Add(pclAccess));
    EXPECT_EQ((Seen{8, L"mv", L"b", kBadNull}), Failure(pclAccess));
    EXPECT_EQ("0", Count("mv"));

    Set(pclAccess, L"b", 2);
    ASSERT_EQ(1, Add(pclAccess)) << m_pclError->pszGetError();
    SetNull(pclAccess, L"c");
    EXPECT_EQ(0, Modify(pclAccess));
    EXPECT_EQ((Seen{8, L"mv", L"c", kBadNull}), Failure(pclAccess));

    // With binary logging on, only an account with SUPER may make a
    // trigger (unless log_bin_trust_function_creators is set): the
    // administrator makes it.
    vxtest::RawClient admin = vxtest::ConnectAsAdmin();
    ASSERT_TRUE(admin.bExecute("CREATE TRIGGER " + m_db.Quoted() + ".mv_null BEFORE INSERT ON " + m_db.Quoted() +
                               ".mv FOR EACH ROW SET NEW.c = NULL"))
        << admin.sError();
    Set(pclAccess, L"c", 3);
    EXPECT_EQ(0, Add(pclAccess));
    EXPECT_EQ((Seen{8, L"", L"", kBadNull}), Failure(pclAccess));
    EXPECT_EQ("1", Count("mv"));
}

// Another connection holds the row: the modification waits for the
// session's lock wait time-out (one second here) and fails with type 2.
TEST_F(DataAccessWriteErrors, ALockWaitTimeOut)
{
    CNADataAccess* pclAccess =
        OpenTable("lk", "CREATE TABLE lk (id INT PRIMARY KEY, v INT) ENGINE=InnoDB");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO lk VALUES (1, 10)")) << m_client.sError();
    CNACommand* pclCommand = NewCommand(pclAccess);
    ASSERT_EQ(1, pclCommand->bComplete(L"SET SESSION innodb_lock_wait_timeout = 1", static_cast<unsigned long>(-1)));
    ASSERT_EQ(1, NewMySQLStatement(pclAccess)->bExecuteDirectNewCommand(pclCommand, 0)) << m_pclError->pszGetError();
    ASSERT_EQ(1, Read(pclAccess, kFirst));

    ASSERT_TRUE(m_client.bExecute("BEGIN")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("UPDATE lk SET v = 11 WHERE id = 1")) << m_client.sError();
    Set(pclAccess, L"v", 12);
    EXPECT_EQ(0, Modify(pclAccess));
    EXPECT_EQ((Seen{2, L"", L"", kLockWaitTimeout}), Failure(pclAccess));
    ASSERT_TRUE(m_client.bExecute("ROLLBACK")) << m_client.sError();

    ASSERT_EQ(1, Modify(pclAccess)) << m_pclError->pszGetError();
    EXPECT_EQ("12", m_client.Value("SELECT v FROM lk").value_or("?"));
}

}  // namespace
