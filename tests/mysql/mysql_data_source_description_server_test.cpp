// Descriptions of real tables on the run's private server, read through the
// driver's description factory as a table open reads them: auto-increment
// keys, primary, unique, plain and composite indexes (several in a row),
// nullability and defaults (a literal, NULL, NOT NULL without default, an
// expression), each checked against the table the test made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mysql/mysql_statement_server.h"

namespace {


class MySQLDescriptionServer : public vxtest::MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOnServer::SetUp();
        m_pclConnection = OpenServerConnection(m_db.Name());
    }
    void TearDown() override
    {
        for (CNADataSourceDescription* pclDescription : m_descriptions)
            pclDescription->nRelease();
        vxtest::MySQLStatementOnServer::TearDown();
    }

    // The description of a table the test makes with this SQL.
    CNADataSourceDescription* Describe(const char* pszTable, const std::string& sCreate)
    {
        EXPECT_TRUE(m_client.bExecute(sCreate)) << m_client.sError();
        CNADataSourceDescription* pclDescription =
            Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        pclDescription->AddRef();
        m_descriptions.push_back(pclDescription);
        m_pclError->Reset();
        EXPECT_EQ(1, pclDescription->bInitDataSourceDescriptionFromDB(vxtest::FromUtf8(pszTable).c_str(), 0))
            << m_pclError->pszGetError();
        return pclDescription;
    }
    static std::vector<std::wstring> Components(const CNAItemDescription* pclKey)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < pclKey->nGetNumComponents(); ++i)
            names.push_back(pclKey->pclGetComponentNoRef(i)->pszGetName());
        return names;
    }

    CMySQLConnection* m_pclConnection = nullptr;
    std::vector<CNADataSourceDescription*> m_descriptions;
};

using Names = std::vector<std::wstring>;

TEST_F(MySQLDescriptionServer, AutoIncrementKeys)
{
    for (const char* pszType : {"INT", "BIGINT"}) {
        SCOPED_TRACE(pszType);
        const std::string sTable = std::string("auto_") + pszType;
        CNADataSourceDescription* pclDescription =
            Describe(sTable.c_str(), "CREATE TABLE " + sTable + " (id " + pszType +
                                         " NOT NULL AUTO_INCREMENT PRIMARY KEY, v VARCHAR(10))");
        CNAItemDescription* pclId = pclDescription->pclNAGetItemNoRef(L"id", 2);
        ASSERT_NE(nullptr, pclId);
        EXPECT_EQ(std::string(pszType) == "INT" ? NA_IT_IDAUTO4 : NA_IT_IDAUTO, pclId->eNAGetItemType());
        EXPECT_EQ(0, pclId->nGetKeyIndice());
        EXPECT_EQ(0xC800, pclId->wGetKeyFlags()) << "the index list's PRIMARY after the column list's mark";
        EXPECT_EQ(0, pclId->vbConstraintNullAllowed());
        EXPECT_EQ(0, pclDescription->pclNAGetItemNoRef(L"v", 2)->wGetKeyFlags());
    }
}

TEST_F(MySQLDescriptionServer, PrimaryUniquePlainAndCompositeIndexes)
{
    CNADataSourceDescription* pclDescription = Describe(
        "k", "CREATE TABLE k (a INT NOT NULL, b INT NOT NULL, c INT, d INT, e INT, f INT, PRIMARY KEY (a, b), "
             "UNIQUE KEY uc (c), KEY kd (d), KEY k1 (e), KEY k2 (f, d))");
    const struct
    {
        const wchar_t* pszItem;
        unsigned short wFlags;
    } aColumns[] = {{L"a", 0}, {L"b", 0}, {L"c", 0x4800}, {L"d", 0x2800}, {L"e", 0x2800}, {L"f", 0}};
    for (const auto& c : aColumns) {
        CNAItemDescription* pclItem = pclDescription->pclNAGetItemNoRef(c.pszItem, 2);
        ASSERT_NE(nullptr, pclItem);
        EXPECT_EQ(c.wFlags, pclItem->wGetKeyFlags()) << pclItem->pszGetName();
    }
    CNAItemDescription* pclPrimary = pclDescription->pclNAGetItemNoRef(L"PRIMARY", 2);
    ASSERT_NE(nullptr, pclPrimary);
    EXPECT_EQ(NA_IT_BINAIRE, pclPrimary->eNAGetItemType());
    EXPECT_EQ(0xD800, pclPrimary->wGetKeyFlags());
    EXPECT_EQ((Names{L"a", L"b"}), Components(pclPrimary));
    CNAItemDescription* pclK2 = pclDescription->pclNAGetItemNoRef(L"k2", 2);
    ASSERT_NE(nullptr, pclK2);
    EXPECT_EQ(0x3800, pclK2->wGetKeyFlags());
    EXPECT_EQ((Names{L"f", L"d"}), Components(pclK2));
    EXPECT_EQ(nullptr, pclDescription->pclNAGetItemNoRef(L"kd", 2)) << "a one-column index is its column's type";
    EXPECT_EQ(8u, pclDescription->nGetNumItems());

    // A primary key without auto-increment: only the index list marks it.
    pclDescription = Describe("p", "CREATE TABLE p (id INT PRIMARY KEY, u VARCHAR(5) UNIQUE)");
    EXPECT_EQ(NA_IT_I4, pclDescription->pclNAGetItemNoRef(L"id", 2)->eNAGetItemType());
    EXPECT_EQ(0xC800, pclDescription->pclNAGetItemNoRef(L"id", 2)->wGetKeyFlags());
    EXPECT_EQ(0x4800, pclDescription->pclNAGetItemNoRef(L"u", 2)->wGetKeyFlags());

    // A table without an index.
    pclDescription = Describe("n", "CREATE TABLE n (x INT)");
    EXPECT_EQ(0u, pclDescription->nGetNumKeys());
}

TEST_F(MySQLDescriptionServer, NullabilityAndDefaults)
{
    CNADataSourceDescription* pclDescription = Describe(
        "d", "CREATE TABLE d (lit INT DEFAULT 7, txt VARCHAR(10) DEFAULT 'abc', nul INT NULL DEFAULT NULL, "
             "req INT NOT NULL, zero INT NOT NULL DEFAULT 0, stamp DATETIME DEFAULT CURRENT_TIMESTAMP, "
             "day DATE DEFAULT '2009-03-14', tiny TINYINT UNSIGNED DEFAULT 200)");
    const struct
    {
        const wchar_t* pszItem;
        int bNullable;
        const wchar_t* pszDefault;  // as text; "(null)" for NULL; nullptr: no default
    } aCases[] = {
        {L"lit", 1, L"7"},
        {L"txt", 1, L"abc"},
        {L"nul", 1, L"(null)"},
        // NOT NULL without default: the server shows Default NULL.
        {L"req", 0, L"(null)"},
        {L"zero", 0, L"0"},
        // An expression gives no default rather than a date read from it.
        {L"stamp", 1, nullptr},
        {L"day", 1, L"20090314"},
        {L"tiny", 1, L"200"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pszItem)));
        CNAItemDescription* pclItem = pclDescription->pclNAGetItemNoRef(c.pszItem, 2);
        ASSERT_NE(nullptr, pclItem);
        EXPECT_EQ(c.bNullable, pclItem->vbConstraintNullAllowed());
        CAny* pclDefault = pclItem->pclGetDefaultValue(0);
        if (c.pszDefault == nullptr) {
            // As a fresh item of the type has it.
            CAny* pclFresh = Item(pclItem->eNAGetItemType(), pclItem->nGetItemSize())->pclGetDefaultValue(0);
            EXPECT_EQ(vxtest::TextOf(*pclFresh), vxtest::TextOf(*pclDefault)) << "no default value set";
            continue;
        }
        EXPECT_EQ(c.pszDefault, vxtest::TextOf(*pclDefault));
    }
}

}  // namespace
