// The SQL texts the MySQL driver's statement writes, exactly as they are
// sent, for a record prepared as the host would leave it, and each one run
// by the run's server: INSERT (with and without columns, the DEFAULT form,
// nothing selected), UPDATE with nothing modified, DELETE of all rows, DROP
// TABLE, COUNT, SELECT with and without DISTINCT, ORDER BY completed to a
// unique order (a composite key, an inverted order), CREATE TABLE with the
// base constraints and the engine clause.
#include <functional>
#include <map>
#include <string>

#include "tests/native/access/statement_server_fixture.h"

namespace {

class StatementTexts : public vxtest::StatementOnServer
{
protected:
    struct Case
    {
        const char* pszName;
        const char* pszTable;
        // Sets the record's values; may be empty.
        std::function<void(CNADataAccess*)> prepare;
        std::function<int(CNAStatement*, CNACommand*)> build;
        const char* pszText;
    };

    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        m_tables["g"] = OpenTable("g", "CREATE TABLE g (id INT AUTO_INCREMENT PRIMARY KEY, a VARCHAR(10), b INT, "
                                       "KEY kb (b))");
        m_tables["d"] = OpenTable("d", "CREATE TABLE d (id INT AUTO_INCREMENT PRIMARY KEY)");
        m_tables["n"] = OpenTable("n", "CREATE TABLE n (a VARCHAR(10), b INT, KEY kb (b))");
        m_tables["c"] = OpenTable("c", "CREATE TABLE c (x INT NOT NULL, y INT NOT NULL, z INT, PRIMARY KEY (x, y))");
        m_tables["w"] = OpenTable("w", "CREATE TABLE w (id INT PRIMARY KEY, a VARCHAR(10), b INT)");
        EXPECT_TRUE(m_client.bExecute("INSERT INTO w VALUES (1, 'p', 2), (3, 'p', 2)")) << m_client.sError();
        m_tables["u"] = OpenTable("u", "CREATE TABLE u (k INT NOT NULL, w VARCHAR(8) NULL, v INT, UNIQUE KEY uk (k), "
                                       "UNIQUE KEY uw (w))");
    }

    void Check(const Case& c)
    {
        SCOPED_TRACE(c.pszName);
        CNADataAccess* pclAccess = m_tables.at(c.pszTable);
        if (c.prepare)
            c.prepare(pclAccess);
        CNAStatement* pclStatement = NewStatement(pclAccess);
        CNACommand* pclCommand = NewCommand(pclAccess);
        m_pclError->Reset();
        ASSERT_EQ(1, c.build(pclStatement, pclCommand)) << m_pclError->pszGetError();
        EXPECT_EQ(c.pszText, Sent(pclCommand));
        EXPECT_EQ(1, pclStatement->bExecute(0, NA_ST_PREPARE_NONE)) << m_pclError->pszGetError();
    }

    static void Set(CNADataAccess* pclAccess, const wchar_t* pszColumn, const CAny& value)
    {
        ASSERT_EQ(1, Column(pclAccess, pszColumn)->bSetValue(&value, 0));
    }

    std::map<std::string, CNADataAccess*> m_tables;
};

int Select(CNAStatement* s, CNACommand* c, NA_WRITEPARSEFLAGS f, const wchar_t* item, int keep)
{
    return s->bBuildQuerySELECT(c, f, item, keep, nullptr);
}

TEST_F(StatementTexts, EachTextAsSentAndAcceptedByTheServer)
{
    const Case cases[] = {
        {"INSERT with columns", "g",
         [](CNADataAccess* a) {
             Set(a, L"a", Text("x'y"));
             Set(a, L"b", Int(5));
         },
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_INSERT, c, 0); },
         "INSERT INTO `g` (`a`,`b`) VALUES ( 'x\\'y' , 5 )"},
        {"INSERT with the auto-increment value held", "g", [](CNADataAccess* a) { Set(a, L"id", Int(40)); },
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_INSERT, c, 0x100); },
         "INSERT INTO `g` (`id`,`a`,`b`) VALUES ( 40 , 'x\\'y' , 5 )"},
        {"INSERT without a column", "d", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_INSERT, c, 0); },
         "INSERT INTO `d`VALUES ( DEFAULT )"},
        {"UPDATE with nothing modified", "c", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_UPDATE, c, 0); }, ""},
        {"COUNT without condition", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->_bBuildQueryCOUNT(c, 0, 1); },
         "SELECT COUNT(*) AS VXACCESNATIF_NBENR FROM `g`"},
        {"COUNT with the parse's condition (none set)", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->_bBuildQueryCOUNT(c, 0, 0); },
         "SELECT COUNT(*) AS VXACCESNATIF_NBENR FROM `g`"},
        {"SELECT in the natural order", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_SELECT, c, 0); },
         "SELECT `id`,`a`,`b` FROM `g`"},
        {"SELECT on an item with duplicates, completed by the primary key", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0, L"b", 1); },
         "SELECT `id`,`a`,`b` FROM `g` ORDER BY `b`,`id`"},
        {"SELECT inverted", "g", nullptr, [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0, L"b", 0); },
         "SELECT `id`,`a`,`b` FROM `g` ORDER BY `b` DESC,`id` DESC"},
        {"SELECT without completion", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0x100000, L"b", 1); },
         "SELECT `id`,`a`,`b` FROM `g` ORDER BY `b`"},
        {"SELECT on the primary key: unique already", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0, L"id", 1); },
         "SELECT `id`,`a`,`b` FROM `g` ORDER BY `id`"},
        {"SELECT DISTINCT asked on a primary key", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0x800, L"id", 1); },
         "SELECT `id`,`a`,`b` FROM `g` ORDER BY `id`"},
        {"SELECT DISTINCT", "n", nullptr, [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0x800, L"b", 1); },
         "SELECT DISTINCT `a`,`b` FROM `n` ORDER BY `b`,`a`"},
        // Without NULL bookkeeping in the command (no condition) the key is
        // not known complete: the completion goes on.
        {"SELECT on a composite key", "c", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0, L"x", 1); },
         "SELECT `x`,`y`,`z` FROM `c` ORDER BY `x`,`y`,`z`"},
        {"SELECT on a unique key that may be NULL", "u", nullptr,
         [](CNAStatement* s, CNACommand* c) { return Select(s, c, 0, L"w", 1); },
         "SELECT `k`,`w`,`v` FROM `u` ORDER BY `w`,`k`"},
        {"UPDATE of the row as read", "w",
         [](CNADataAccess* a) {
             // The row as a browse read it, then changed by the host.
             Set(a, L"id", Int(1));
             Set(a, L"a", Text("p"));
             Set(a, L"b", Int(2));
             ASSERT_EQ(1, a->pclGetCurrentRecordNoRef()->bCopyCurrentRecordToOriginalRecord());
             for (const wchar_t* pszColumn : {L"id", L"a", L"b"})
                 Column(a, pszColumn)->SetNotModified();
             Set(a, L"id", Int(7));
             Set(a, L"a", Text("q"));
         },
         [](CNAStatement* s, CNACommand* c) {
             // The condition names the row as read; the host's values stay.
             const int bBuilt = s->bBuildQuery(NA_QUERY_UPDATE, c, 0);
             CAny id;
             EXPECT_EQ(1, s->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(L"id")->bGetCurrentValue(&id, 0));
             EXPECT_EQ(L"7", vxtest::TextOf(id));
             return bBuilt;
         },
         "UPDATE `w` SET `id` = 7 , `a` = 'q' WHERE `id`=1"},
        {"DELETE of the row as read", "w",
         [](CNADataAccess* a) { ASSERT_EQ(1, a->pclGetCurrentRecordNoRef()->bCopyCurrentRecordToOriginalRecord()); },
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_DELETE, c, 0); },
         "DELETE FROM `w` WHERE `id`=7"},
        {"DELETE of all rows", "g", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_DELETEALL, c, 0); }, "DELETE FROM `g`"},
        {"DROP TABLE", "n", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_DROPTABLE, c, 0); }, "DROP TABLE `n`"},
        // The scratch database is utf8mb4: its VARCHAR(10) is an item of 20
        // UTF-16 units, room for ten characters past U+FFFF.
        {"CREATE TABLE", "n", nullptr,
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_CREATE, c, 0); },
         "CREATE TABLE `n`( `a` VARCHAR(20) CHARACTER SET ucs2, `b` INTEGER ) ENGINE=InnoDB"},
        {"CREATE TABLE with the base constraints", "u",
         [this](CNADataAccess*) { ASSERT_TRUE(m_client.bExecute("DROP TABLE u")); },
         [](CNAStatement* s, CNACommand* c) { return s->bBuildQuery(NA_QUERY_CREATE, c, 0); },
         "CREATE TABLE `u`( `k` INTEGER  UNIQUE  NOT NULL , `w` VARCHAR(16) CHARACTER SET ucs2  UNIQUE , `v` INTEGER ) "
         "ENGINE=InnoDB"},
    };
    for (const Case& c : cases)
        Check(c);
    // The INSERTs ran, then the DELETE of all rows; the dropped table came
    // back.
    EXPECT_EQ("0", m_client.Value("SELECT COUNT(*) FROM g").value_or("?"));
    EXPECT_EQ("1", m_client.Value("SELECT COUNT(*) FROM d").value_or("?"));
    EXPECT_EQ("0", m_client.Value("SELECT COUNT(*) FROM n").value_or("?"));
    // The UPDATE reached its row only, which the DELETE then took.
    EXPECT_EQ("3:p", m_client.Value("SELECT GROUP_CONCAT(id, ':', a) FROM w").value_or("?"));
}

}  // namespace
