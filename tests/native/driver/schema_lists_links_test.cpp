// Links read from CREATE TABLE texts as the server writes them: one line per
// foreign key with its rules, composite keys named after the key of the
// table's description, constraints off the layout given up one by one; and
// the link list of the SQL-functions object over a scripted SHOW CREATE
// TABLE, with the descriptions it reads for the composite keys released.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "native/driver/driver_sql.h"
#include "native/driver/link_parser.h"
#include "tests/native/driver/scripted_driver_fixture.h"

namespace {

// Composite keys by table, each "components=name".
using Keys = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

struct Lookups
{
    Keys keys;
    std::vector<std::wstring> asked;
    // Tables whose description cannot be had.
    std::vector<std::wstring> unavailable;

    CNALinkParser::KeyLookup Lookup()
    {
        return [this](const wchar_t* pszTable, const wchar_t* pszColumns, int, CTString* pcsKey) {
            const std::wstring table = pszTable != nullptr ? pszTable : L"(null)";
            asked.push_back(table + L":" + pszColumns);
            for (const std::wstring& name : unavailable) {
                if (name == table)
                    return CNALinkParser::KEY_UNAVAILABLE;
            }
            const auto it = keys.find(table);
            if (it == keys.end())
                return CNALinkParser::KEY_NONE;
            const auto key = it->second.find(pszColumns);
            if (key == it->second.end())
                return CNALinkParser::KEY_NONE;
            pcsKey->Set(key->second.c_str());
            return CNALinkParser::KEY_FOUND;
        };
    }
};

std::wstring Links(const std::wstring& text, Lookups& lookups, unsigned nFlags = 32,
                   const wchar_t* pszListed = L"LINES")
{
    CXYStringConcat<wchar_t> clList;
    CNALinkParser::g_ExtractLinks(text.c_str(), text.size(), pszListed, L"LINES", nFlags, lookups.Lookup(), &clList);
    return clList.pszGet();
}

TEST(SchemaListsLinks, ConstraintsOfACreateTableText)
{
    struct Case
    {
        const char* pszWhat;
        std::wstring text;
        std::wstring expected;
    };
    const Case cases[] = {
        {"no clause: restrict twice",
         L"  CONSTRAINT `fk_a` FOREIGN KEY (`A`) REFERENCES `T` (`ID`)",
         L"fk_a\tT\tID\t0,N\tLINES\tA\t0,1\t2021\t2021"},
        {"update code first, then delete code",
         L"  CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES `T` (`ID`) ON DELETE CASCADE ON UPDATE SET NULL",
         L"fk\tT\tID\t0,N\tLINES\tA\t0,1\t2023\t2022"},
        {"no action, any case",
         L"CONSTRAINT `fk` foreign key (`A`) references `T` (`ID`) on delete no action on update No Action",
         L"fk\tT\tID\t0,N\tLINES\tA\t0,1\t2020\t2020"},
        {"a delete rule the parser reads over",
         L"CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES `T` (`ID`) ON DELETE RESTRICT ON UPDATE CASCADE",
         L"fk\tT\tID\t0,N\tLINES\tA\t0,1\t2022\t2021"},
        {"set default is restrict",
         L"CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES `T` (`ID`) ON DELETE SET DEFAULT",
         L"fk\tT\tID\t0,N\tLINES\tA\t0,1\t2021\t2021"},
        {"doubled backquotes in names",
         L"CONSTRAINT `f``k` FOREIGN KEY (`a``b`) REFERENCES `o``ne` (```id```)",
         L"f`k\to`ne\t`id`\t0,N\tLINES\ta`b\t0,1\t2021\t2021"},
        {"blanks and tabs around the names of a list",
         L"CONSTRAINT\t`fk`\tFOREIGN KEY\t( `A` ,\t`B` )\tREFERENCES `T` (`X`,`Y`)",
         L"fk\tT\tX,Y\t0,N\tLINES\tA,B\t0,1\t2021\t2021"},
        {"a referenced table qualified by a database is given up",
         L"CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES `other`.`T` (`ID`)", L""},
        {"constraint in lower case is no constraint",
         L"constraint `fk` FOREIGN KEY (`A`) REFERENCES `T` (`ID`)", L""},
        {"a check constraint is given up, the next one read",
         L"  CONSTRAINT `chk` CHECK (`A` > 0),\n  CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES `T` (`ID`)\n",
         L"fk\tT\tID\t0,N\tLINES\tA\t0,1\t2021\t2021"},
        {"two constraints, one line each",
         L"CREATE TABLE `LINES` (\n  `A` int,\n  CONSTRAINT `fk1` FOREIGN KEY (`A`) REFERENCES `T` (`ID`),\n"
         L"  CONSTRAINT `fk2` FOREIGN KEY (`B`) REFERENCES `U` (`ID`) ON DELETE CASCADE\n) ENGINE=InnoDB",
         L"fk1\tT\tID\t0,N\tLINES\tA\t0,1\t2021\t2021\r\nfk2\tU\tID\t0,N\tLINES\tB\t0,1\t2021\t2022"},
        {"unterminated name", L"CONSTRAINT `fk FOREIGN KEY (`A`) REFERENCES `T` (`ID`)", L""},
        {"unterminated list", L"CONSTRAINT `fk` FOREIGN KEY (`A` REFERENCES `T` (`ID`)", L""},
        {"a list without names", L"CONSTRAINT `fk` FOREIGN KEY () REFERENCES `T` (`ID`)", L""},
        {"the text ends in the middle", L"CONSTRAINT `fk` FOREIGN KEY (`A`) REFERENCES", L""},
        {"nothing but the word", L"CONSTRAINT", L""},
        {"empty", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        Lookups lookups;
        EXPECT_EQ(c.expected, Links(c.text, lookups));
    }
}

TEST(SchemaListsLinks, CompositeKeysByTheirNames)
{
    Lookups lookups;
    lookups.keys[L"LINES"][L"ORDER_ID,LINE_NO"] = L"LINE_KEY";
    lookups.keys[L"ORDERS"][L"ID,YEAR"] = L"ORDER_KEY";
    const std::wstring text =
        L"  CONSTRAINT `fk_order` FOREIGN KEY (`ORDER_ID`, `YEAR`) REFERENCES `ORDERS` (`ID`, `YEAR`),\n"
        L"  CONSTRAINT `fk_self` FOREIGN KEY (`ORDER_ID`, `LINE_NO`) REFERENCES `LINES` (`ORDER_ID`, `LINE_NO`)\n";
    EXPECT_EQ(L"fk_order\tORDERS\tORDER_KEY\t0,N\tLINES\tORDER_ID,YEAR\t0,1\t2021\t2021\r\n"
              L"fk_self\tLINES\tLINE_KEY\t0,N\tLINES\tLINE_KEY\t0,1\t2021\t2021",
              Links(text, lookups));
    EXPECT_EQ((std::vector<std::wstring>{L"LINES:ORDER_ID,YEAR", L"ORDERS:ID,YEAR", L"LINES:ORDER_ID,LINE_NO",
                                         L"LINES:ORDER_ID,LINE_NO"}),
              lookups.asked);

    // A table whose description cannot be had skips the constraints that
    // need its keys, and only those.
    lookups.unavailable = {L"ORDERS"};
    EXPECT_EQ(L"fk_self\tLINES\tLINE_KEY\t0,N\tLINES\tLINE_KEY\t0,1\t2021\t2021", Links(text, lookups));
}

TEST(SchemaListsLinks, OnlyWithTheDetailedFlagAndTheListedTableAsGiven)
{
    Lookups lookups;
    const std::wstring text = L"CONSTRAINT `fk` FOREIGN KEY (`A`, `B`) REFERENCES `T` (`X`, `Y`)";
    EXPECT_EQ(L"", Links(text, lookups, 16));
    EXPECT_TRUE(lookups.asked.empty()) << "no description read without the flag";
    EXPECT_EQ(L"fk\tT\tX,Y\t0,N\t\tA,B\t0,1\t2021\t2021", Links(text, lookups, 32, nullptr))
        << "a description given: the listed table's field is empty";

    // The length given bounds the reading, whatever follows in memory.
    const std::wstring longer = text + L" ON DELETE CASCADE";
    CXYStringConcat<wchar_t> clList;
    CNALinkParser::g_ExtractLinks(longer.c_str(), text.size(), L"L", L"L", 32, nullptr, &clList);
    EXPECT_STREQ(L"fk\tT\tX,Y\t0,N\tL\tA,B\t0,1\t2021\t2021", clList.pszGet());
}

TEST(SchemaListsLinks, RulesAndTheLineFormOfALink)
{
    const struct
    {
        const wchar_t* pszText;
        CNADriverSQL::eSQLForeignKeysRules eRule;
    } rules[] = {
        {L"cascade", CNADriverSQL::NA_FK_CASCADE},   {L"RESTRICT", CNADriverSQL::NA_FK_RESTRICT},
        {L"Set Null", CNADriverSQL::NA_FK_SET_NULL}, {L"NO ACTION", CNADriverSQL::NA_FK_NO_ACTION},
        {L"set default", CNADriverSQL::NA_FK_SET_DEFAULT}, {L"SET  NULL", CNADriverSQL::NA_FK_UNKNOWN},
        {L"", CNADriverSQL::NA_FK_UNKNOWN},
    };
    for (const auto& rule : rules) {
        auto eRule = CNADriverSQL::NA_FK_CASCADE;
        EXPECT_EQ(1, CNADriverSQL::_bTextToeSQLForeignKeysRules(rule.pszText, &eRule));
        EXPECT_EQ(rule.eRule, eRule);
    }
    EXPECT_STREQ(L"2022", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_CASCADE));
    EXPECT_STREQ(L"2021", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_RESTRICT));
    EXPECT_STREQ(L"2023", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_SET_NULL));
    EXPECT_STREQ(L"2023", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_SET_DEFAULT));
    EXPECT_STREQ(L"2020", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_NO_ACTION));
    EXPECT_STREQ(L"2021", CNADriverSQL::s_pszRuleCode(CNADriverSQL::NA_FK_UNKNOWN));

    CXYStringConcat<wchar_t> clList;
    ASSERT_EQ(1, CNADriverSQL::s_bConcatConstraint(&clList, 32, L"shop", L"LINES", L"ORDER_ID", nullptr, L"ORDERS",
                                                   L"ID", CNADriverSQL::NA_FK_CASCADE,
                                                   CNADriverSQL::NA_FK_NO_ACTION));
    ASSERT_EQ(1, CNADriverSQL::s_bConcatConstraint(&clList, 0, nullptr, L"A", L"X", L"", L"B", L"Y",
                                                   CNADriverSQL::NA_FK_CASCADE, CNADriverSQL::NA_FK_CASCADE));
    EXPECT_STREQ(L"shop.LINES_ORDERS\tshop.LINES\tORDER_ID\t0,N\tORDERS\tID\t0,1\t2022\t2020\r\n"
                 L"A_B\tA\tX\t0,N\tB\tY\t0,1",
                 clList.pszGet());
}

// The link list of the SQL-functions object over scripted statements.
class SchemaListsLinkList : public vxtest::ScriptedDriverTest
{
protected:
    // A description with columns and composite keys ("KEY" rows).
    void Describe(const wchar_t* pszTable, std::vector<CScriptedRow> columns, std::vector<CScriptedRow> keys)
    {
        m_script.On(CTestDataSourceDescription::ColumnsQuery(pszTable),
                    CTestDataSourceDescription::ColumnsResult(std::move(columns)));
        m_script.On(CTestDataSourceDescription::KeysQuery(pszTable),
                    CTestDataSourceDescription::KeysResult(std::move(keys)));
    }
    void CreateTable(const wchar_t* pszStatement, const wchar_t* pszTable, const wchar_t* pszText)
    {
        CScriptedResult result;
        result.columns = {ScriptedColumn(L"Table"), ScriptedColumn(L"Create Table")};
        result.rows = {{pszTable, pszText}};
        m_script.On(pszStatement, result);
    }
};

TEST_F(SchemaListsLinkList, CompositeKeysFromTheDescriptionsReadOnce)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    Describe(L"LINES", {{L"ORDER_ID", L"8", L"4", L"0", L"0", L"NO", L""}, {L"YEAR", L"8", L"4", L"0", L"0", L"NO", L""}},
             {{L"BY_ORDER", L"ORDER_ID", L"8192"}, {L"BY_ORDER", L"YEAR", L"8192"}});
    Describe(L"ORDERS", {{L"ID", L"8", L"4", L"0", L"0", L"NO", L""}, {L"YEAR", L"8", L"4", L"0", L"0", L"NO", L""}},
             {{L"PK", L"ID", L"49152"}, {L"PK", L"YEAR", L"49152"}});
    CreateTable(L"SHOW CREATE TABLE `LINES`", L"LINES",
                L"CREATE TABLE `LINES` (\n"
                L"  CONSTRAINT `a` FOREIGN KEY (`ORDER_ID`, `YEAR`) REFERENCES `ORDERS` (`ID`, `YEAR`),\n"
                L"  CONSTRAINT `b` FOREIGN KEY (`ORDER_ID`, `YEAR`) REFERENCES `ORDERS` (`id`, `year`) "
                L"ON DELETE CASCADE\n) ENGINE=InnoDB");
    CNADriverSQL* pclSQL = Driver()->pclGetDriverSQL();
    CAny list;
    ASSERT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"LINES", nullptr, 32));
    EXPECT_STREQ(L"a\tORDERS\tPK\t0,N\tLINES\tBY_ORDER\t0,1\t2021\t2021\r\n"
                 L"b\tORDERS\tPK\t0,N\tLINES\tBY_ORDER\t0,1\t2021\t2022",
                 NA_pszWideTextOf(&list));
    int nColumnQueries = 0;
    for (const std::wstring& sql : m_script.executed)
        nColumnQueries += sql.rfind(L"COLUMNS OF ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(2, nColumnQueries) << "each description read once for the parse";

    // Without the detailed flag: an empty text and 1.
    ASSERT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"LINES", nullptr, 0));
    EXPECT_STREQ(L"", NA_pszWideTextOf(&list));

    // A source description given: its table name is read, the listed
    // table's field stays empty.
    StandinDataSourceDescription& source = Source(L"LINES");
    ASSERT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"ignored", &source, 32));
    EXPECT_STREQ(L"a\tORDERS\tPK\t0,N\t\tBY_ORDER\t0,1\t2021\t2021\r\n"
                 L"b\tORDERS\tPK\t0,N\t\tBY_ORDER\t0,1\t2021\t2022",
                 NA_pszWideTextOf(&list));
}

TEST_F(SchemaListsLinkList, OtherKindsAndUnreadableTexts)
{
    StandinConnectionDescription& host = Host();
    ASSERT_EQ(1, nOpen(&host));
    CTestConnection* pclConnection = Registered(&host);
    CNADriverSQL* pclSQL = Driver()->pclGetDriverSQL();
    CAny list;
    list.SetNull();

    pclConnection->SetDBKind(2);
    EXPECT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"LINES", nullptr, 32));
    EXPECT_TRUE(list.bIsNull()) << "another kind: no links, the value untouched";
    EXPECT_TRUE(m_script.executed.empty());

    pclConnection->SetDBKind(5);
    EXPECT_EQ(0, pclSQL->bGetLinkList(&list, pclConnection, L"LINES", nullptr, 32)) << "the query fails";
    m_script.On(L"SHOW CREATE TABLE `EMPTY`", {{ScriptedColumn(L"Table"), ScriptedColumn(L"Create Table")}, {}});
    EXPECT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"EMPTY", nullptr, 32)) << "no row";
    EXPECT_TRUE(list.bIsNull());
    CScriptedResult view;
    view.columns = {ScriptedColumn(L"View"), ScriptedColumn(L"Create View")};
    view.rows = {{L"V", L"CREATE VIEW `V` AS SELECT 1"}};
    m_script.On(L"SHOW CREATE TABLE `V`", view);
    EXPECT_EQ(1, pclSQL->bGetLinkList(&list, pclConnection, L"V", nullptr, 32)) << "not a table's text";
    EXPECT_TRUE(list.bIsNull());
}

}  // namespace
