// The MySQL table description over the fake client library, whose scripts
// answer the schema queries: the query texts by server version (a server
// before 4.1 gets SHOW COLUMNS, whose rows have no Collation), the key
// types and composite keys from the index list, a table without indexes,
// and a failure in the middle of the index list, which fails the whole
// reading and adds no key built from part of an index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/xy_string_concat.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::FakeColumn;
using vxtest::FakeResultSet;

class MySQLDescriptionOverFake : public vxtest::MySQLStatementOverFake
{
protected:
    void TearDown() override
    {
        if (m_pclDescription != nullptr)
            m_pclDescription->nRelease();
        vxtest::MySQLStatementOverFake::TearDown();
    }

    CMySQLDataSourceDescription* Describe(CMySQLConnection* pclConnection, const wchar_t* pszTable)
    {
        m_pclDescription = static_cast<CMySQLDataSourceDescription*>(
            Driver()->pclAllocDataSourceDescription(pclConnection, m_pclError));
        m_pclDescription->AddRef();
        m_bDescribed = m_pclDescription->bInitDataSourceDescriptionFromDB(pszTable, 0);
        return m_pclDescription;
    }
    CNAItemDescription* ItemOf(const wchar_t* pszName) const
    {
        return m_pclDescription->pclNAGetItemNoRef(pszName, 2);
    }

    // The column list of a server 4.1 or later.
    static stFakeStatement FullColumns(std::vector<FakeRow> rows)
    {
        std::vector<stFakeField> fields;
        for (const char* pszName : {"Field", "Type", "Collation", "Null", "Key", "Default", "Extra", "Privileges",
                                    "Comment"})
            fields.push_back(FakeColumn(pszName, 252, 65535));
        return FakeResultSet(fields, std::move(rows));
    }
    static stFakeStatement Index(std::vector<FakeRow> rows)
    {
        std::vector<stFakeField> fields;
        for (const char* pszName : {"Table", "Non_unique", "Key_name", "Seq_in_index", "Column_name"})
            fields.push_back(FakeColumn(pszName, 253, 64));
        return FakeResultSet(fields, std::move(rows));
    }
    static FakeRow Column(const char* pszName, const char* pszType, const char* pszKey = "")
    {
        return {std::string(pszName), std::string(pszType), std::nullopt, std::string("YES"), std::string(pszKey),
                std::nullopt, std::string(""), std::string("select"), std::string("")};
    }
    static FakeRow Key(const char* pszNonUnique, const char* pszKey, const char* pszSequence, const char* pszColumn)
    {
        return {std::string("t"), std::string(pszNonUnique), std::string(pszKey), std::string(pszSequence),
                std::string(pszColumn)};
    }

    CMySQLDataSourceDescription* m_pclDescription = nullptr;
    int m_bDescribed = 0;
};

TEST_F(MySQLDescriptionOverFake, TheQueriesByServerVersion)
{
    const struct
    {
        const char* pszServer;
        const wchar_t* pszTable;
        const wchar_t* pszColumns;
        const wchar_t* pszIndex;
    } aCases[] = {
        {"10.11.19-MariaDB", L"t", L"SHOW FULL COLUMNS FROM `t`", L"SHOW INDEX FROM `t`"},
        {"4.1.22", L"my table", L"SHOW FULL COLUMNS FROM `my table`", L"SHOW INDEX FROM `my table`"},
        {"4.0.27", L"t", L"SHOW COLUMNS FROM `t`", L"SHOW INDEX FROM `t`"},
        {"3.23.58", L"db.my`table", L"SHOW COLUMNS FROM `db`.`my``table`", L"SHOW INDEX FROM `db`.`my``table`"},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszServer);
        Fake().serverInfo = c.pszServer;
        CMySQLConnection* pclConnection = OpenConnection();
        auto* pclDescription = static_cast<CMySQLDataSourceDescription*>(
            Driver()->pclAllocDataSourceDescription(pclConnection, m_pclError));
        pclDescription->AddRef();
        pclDescription->SetDBName(c.pszTable);
        CXYStringConcat<wchar_t> clQuery(64);
        clQuery.Add(L"left over");
        ASSERT_EQ(1, pclDescription->_bGetQueryShowColumns(&clQuery));
        EXPECT_STREQ(c.pszColumns, clQuery.pszGet());
        ASSERT_EQ(1, pclDescription->_bGetQueryShowIndex(&clQuery));
        EXPECT_STREQ(c.pszIndex, clQuery.pszGet());
        pclDescription->nRelease();
        m_connections.back().pclConnection->nRelease();
        m_connections.pop_back();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLDescriptionOverFake, AServerBefore41GivesNoCollation)
{
    Fake().serverInfo = "4.0.27";
    std::vector<stFakeField> fields;
    for (const char* pszName : {"Field", "Type", "Null", "Key", "Default", "Extra"})
        fields.push_back(FakeColumn(pszName, 252, 65535));
    State().scripts["SHOW COLUMNS FROM `t`"] = {FakeResultSet(
        fields, {
                    {std::string("id"), std::string("int(11)"), std::string(""), std::string("PRI"),
                     std::string("0"), std::string("auto_increment")},
                    {std::string("name"), std::string("varchar(20)"), std::string("YES"), std::string(""),
                     std::nullopt, std::string("")},
                    {std::string("n"), std::string("int(11)"), std::string(""), std::string(""), std::string("7"),
                     std::string("")},
                })};
    State().scripts["SHOW INDEX FROM `t`"] = {Index({Key("0", "PRIMARY", "1", "id")})};
    Describe(OpenConnection(), L"t");
    ASSERT_EQ(1, m_bDescribed) << m_pclError->pszGetError();
    ASSERT_EQ(3u, m_pclDescription->nGetNumItems());
    EXPECT_EQ(NA_IT_IDAUTO4, ItemOf(L"id")->eNAGetItemType());
    EXPECT_EQ(0xC800, ItemOf(L"id")->wGetKeyFlags());
    EXPECT_EQ(NA_IT_TEXTE, ItemOf(L"name")->eNAGetItemType()) << "no collation makes it Unicode";
    EXPECT_EQ(1, ItemOf(L"name")->vbConstraintNullAllowed());
    EXPECT_EQ(0, ItemOf(L"n")->vbConstraintNullAllowed());
    EXPECT_EQ(L"7", vxtest::TextOf(*ItemOf(L"n")->pclGetDefaultValue(0)));
}

TEST_F(MySQLDescriptionOverFake, ATableWithoutIndexes)
{
    Fake().scripts = {
        {"SHOW FULL COLUMNS FROM `t`", {FullColumns({Column("a", "int(11)"), Column("b", "int(11)")})}},
        {"SHOW INDEX FROM `t`", {Index({})}},
    };
    Describe(OpenConnection(), L"t");
    EXPECT_EQ(1, m_bDescribed) << m_pclError->pszGetError();
    EXPECT_EQ(2u, m_pclDescription->nGetNumItems());
    EXPECT_EQ(0u, m_pclDescription->nGetNumKeys());
}

TEST_F(MySQLDescriptionOverFake, AFailureInTheMiddleOfTheIndexListFailsTheReading)
{
    // Index k names a column the table does not have between two it has;
    // the keys before it are kept as read.
    Fake().scripts = {
        {"SHOW FULL COLUMNS FROM `t`",
         {FullColumns({Column("id", "int(11)", "PRI"), Column("a", "int(11)"), Column("c", "int(11)")})}},
        {"SHOW INDEX FROM `t`",
         {Index({Key("0", "PRIMARY", "1", "id"), Key("1", "k", "1", "a"), Key("1", "k", "2", "gone"),
                 Key("1", "k", "3", "c"), Key("1", "single", "1", "c")})}},
    };
    Describe(OpenConnection(), L"t");
    EXPECT_EQ(0, m_bDescribed);
    // The failure says which column is missing.
    EXPECT_EQ(26u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(vxtest::bDumpHas(*m_pclError, L"gone")) << m_pclError->pszGetError();
    EXPECT_EQ(nullptr, ItemOf(L"k")) << "no key built from part of an index";
    EXPECT_EQ(0xC800, ItemOf(L"id")->wGetKeyFlags());
    EXPECT_EQ(0, ItemOf(L"c")->wGetKeyFlags()) << "the rows after the failure are not read";
}

TEST_F(MySQLDescriptionOverFake, AColumnListOfFewerColumnsFailsWithItsReason)
{
    // A result of another form than SHOW FULL COLUMNS: Field and Type only.
    std::vector<stFakeField> fields = {FakeColumn("Field", 252, 65535), FakeColumn("Type", 252, 65535)};
    Fake().scripts = {
        {"SHOW FULL COLUMNS FROM `t`", {FakeResultSet(fields, {{std::string("a"), std::string("int(11)")}})}},
        {"SHOW INDEX FROM `t`", {Index({})}},
    };
    Describe(OpenConnection(), L"t");
    EXPECT_EQ(0, m_bDescribed);
    EXPECT_EQ(50u, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
    EXPECT_TRUE(vxtest::bDumpHas(*m_pclError, L"La colonne 2 n'existe pas")) << m_pclError->pszGetError();
}

}  // namespace
