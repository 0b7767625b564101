// The catalogue queries the schema lists write, on the private server: with
// a base table and a view in the test's database and a base table in
// another database of the test prefix, the MySQL driver's table list (on
// its connection's current database) and the query of one database's
// tables, run through the raw client, give exactly the test database's
// tables of the asked types; the same condition without its parentheses
// lists the other database's table too. And the link parser reads the server's CREATE TABLE
// text of a table with two foreign keys, one on a composite key.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/text/string_concat_aw.h"
#include "native/driver/driver_sql.h"
#include "native/driver/link_parser.h"
#include "native/driver/wide_text_value.h"
#include "tests/mysql/mysql_statement_server.h"
#include "tests/support/raw_client.h"
#include "tests/support/scratch_database.h"

namespace {

using Names = std::set<std::string>;

std::string Narrow(const wchar_t* psz)
{
    std::string s;
    for (; *psz != 0; ++psz)
        s.push_back(static_cast<char>(*psz));
    return s;
}

std::wstring Widen(const std::string& s)
{
    CTString cs;
    cs.SetANSIEx(s.c_str(), static_cast<int>(s.size()), 65001);
    return cs.pszGet();
}

class SchemaListsServer : public vxtest::MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOnServer::SetUp();
        m_pclConnection = OpenServerConnection(m_db.Name());
        m_pclSQL = Driver()->pclGetDriverSQL();
        ASSERT_NE(nullptr, m_pclSQL);
    }

    // The names of the table list, on the connection's database.
    Names TableList(unsigned nFlags)
    {
        CAny list;
        m_pclError->Reset();
        EXPECT_EQ(1, m_pclSQL->bGetTableList(&list, m_pclConnection, nullptr, nFlags)) << m_pclError->pszGetError();
        Names names;
        const wchar_t* psz = NA_pszWideTextOf(&list);
        const std::string sList = psz != nullptr ? Narrow(psz) : std::string();
        for (size_t nStart = 0; nStart < sList.size();) {
            const size_t nEnd = sList.find("\r\n", nStart);
            names.insert(sList.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart));
            if (nEnd == std::string::npos)
                break;
            nStart = nEnd + 2;
        }
        return names;
    }
    std::string DatabaseTablesQuery(const std::string& sDatabase, unsigned nFlags)
    {
        CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
        EXPECT_EQ(1, m_pclSQL->_bGetDatabaseTableListQuery(&clQuery, Widen(sDatabase).c_str(), m_pclConnection,
                                                             nFlags));
        return Narrow(clQuery.pszGetW());
    }
    static Names FirstColumn(vxtest::RawClient& client, const std::string& sQuery)
    {
        Names names;
        const auto rows = client.Query(sQuery);
        EXPECT_TRUE(rows.has_value()) << sQuery << ": " << client.sError();
        if (rows.has_value()) {
            for (const vxtest::RawRow& row : *rows)
                names.insert(row.at(0).value_or("NULL"));
        }
        return names;
    }

    CMySQLConnection* m_pclConnection = nullptr;
    CNADriverSQL* m_pclSQL = nullptr;
};

TEST_F(SchemaListsServer, TheAskedTypesOfTheDatabaseAlone)
{
    vxtest::ScratchDatabase other;
    ASSERT_FALSE(other.Name().empty());
    vxtest::RawClient& client = m_client;
    ASSERT_TRUE(client.bExecute("CREATE TABLE base_t (id INT PRIMARY KEY)")) << client.sError();
    ASSERT_TRUE(client.bExecute("CREATE VIEW view_v AS SELECT id FROM base_t")) << client.sError();
    ASSERT_TRUE(client.bExecute("CREATE TABLE " + other.Quoted() + ".other_t (id INT)")) << client.sError();

    const struct
    {
        unsigned nFlags;
        Names expected;
    } cases[] = {
        {1, {"base_t"}},
        {2, {"view_v"}},
        {1 | 2, {"base_t", "view_v"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nFlags);
        EXPECT_EQ(c.expected, TableList(c.nFlags)) << "on the current database";
        vxtest::RawClient elsewhere = vxtest::ConnectAsTestUser(other.Name());
        EXPECT_EQ(c.expected, FirstColumn(elsewhere, DatabaseTablesQuery(m_db.Name(), c.nFlags)))
            << "one database's tables, from another";
    }

    // The condition without its parentheses: the schema test binds to the
    // views only, and the base tables of every database come.
    std::string sFaulty = DatabaseTablesQuery(m_db.Name(), 1 | 2);
    for (const char* pszParenthesis : {"(", ")"})
        sFaulty.erase(sFaulty.find(pszParenthesis), 1);
    const Names faulty = FirstColumn(client, sFaulty);
    EXPECT_EQ(1u, faulty.count("other_t")) << sFaulty;
}

TEST_F(SchemaListsServer, LinksOfTheServersCreateTableText)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());
    vxtest::RawClient client = vxtest::ConnectAsTestUser(db.Name());
    ASSERT_TRUE(client.bExecute("CREATE TABLE `ord``ers` (id INT, yr INT, PRIMARY KEY (id, yr)) ENGINE=InnoDB"))
        << client.sError();
    ASSERT_TRUE(client.bExecute("CREATE TABLE customer (id INT PRIMARY KEY) ENGINE=InnoDB")) << client.sError();
    ASSERT_TRUE(client.bExecute("CREATE TABLE line (id INT PRIMARY KEY, order_id INT, order_yr INT, cust INT, "
                                "CONSTRAINT fk_order FOREIGN KEY (order_id, order_yr) REFERENCES `ord``ers` (id, yr) "
                                "ON DELETE CASCADE ON UPDATE NO ACTION, "
                                "CONSTRAINT fk_cust FOREIGN KEY (cust) REFERENCES customer (id) ON DELETE SET NULL) "
                                "ENGINE=InnoDB"))
        << client.sError();
    const auto rows = client.Query("SHOW CREATE TABLE line");
    ASSERT_TRUE(rows.has_value() && rows->size() == 1 && rows->at(0).size() == 2) << client.sError();
    const std::wstring created = Widen(rows->at(0).at(1).value_or(""));

    CXYStringConcat<wchar_t> clLinks;
    CNALinkParser::g_ExtractLinks(
        created.c_str(), created.size(), L"line", L"line", 32,
        [](const wchar_t* pszTable, const wchar_t* pszColumns, int, CTString* pcsKey) {
            // The primary key of `ord``ers`, as its description names it.
            if (std::wstring(pszTable) == L"ord`ers" && std::wstring(pszColumns) == L"id,yr") {
                pcsKey->Set(L"PRIMARY");
                return CNALinkParser::KEY_FOUND;
            }
            return CNALinkParser::KEY_NONE;
        },
        &clLinks);
    std::set<std::wstring> lines;
    const std::wstring links = clLinks.pszGet();
    for (size_t nStart = 0; nStart <= links.size();) {
        const size_t nEnd = links.find(L"\r\n", nStart);
        lines.insert(links.substr(nStart, nEnd == std::wstring::npos ? std::wstring::npos : nEnd - nStart));
        if (nEnd == std::wstring::npos)
            break;
        nStart = nEnd + 2;
    }
    EXPECT_EQ((std::set<std::wstring>{L"fk_cust\tcustomer\tid\t0,N\tline\tcust\t0,1\t2021\t2023",
                                      L"fk_order\tord`ers\tPRIMARY\t0,N\tline\torder_id,order_yr\t0,1\t2020\t2022"}),
              lines)
        << Narrow(created.c_str());
}

}  // namespace
