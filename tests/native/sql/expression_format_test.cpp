// A parsed SELECT written into a command: the select list with its aliases
// and the star, FROM tables with their aliases and the record-lock hint,
// joins, WHERE, GROUP BY, HAVING and ORDER BY rewritten, the text between
// them as written; a further condition joined to the WHERE clause; the
// statement taken as written under mode 1; positions that do not fit the
// text.
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/native/sql/expression_format_fixture.h"

namespace {

using vxstandin::ItemSpec;

class ExpressionFormat : public vxtest::ExpressionFormatTest
{
protected:
    // SELECT A, B FROM T WHERE A = 1 [ORDER BY B]
    StandinParsedQuery& Simple(bool bOrderBy = true)
    {
        const std::wstring& text = Text(bOrderBy ? L"SELECT A, B FROM T WHERE A = 1 ORDER BY B DESC"
                                                 : L"SELECT A, B FROM T WHERE A = 1");
        return Parse({.text = text,
                      .from = {{.name = L"T", .position = At(text, L"T", 0)}},
                      .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")},
                                {.item = L"B", .table = L"T", .position = At(text, L"B")}},
                      .orderBy = {{.nIndex = 1, .position = At(text, L"B", 1), .nDirection = 1}},
                      .whereStart = static_cast<long>(text.find(L"WHERE")),
                      .whereEnd = At(text, L"1").nStop,
                      .orderByStart = bOrderBy ? static_cast<long>(text.find(L"ORDER")) : 0,
                      .where = Op(OPEXP_EQUAL, text, L"A = 1", {Column(text, L"A", L"", 1), Number(text, L"1", 1)})});
    }
    // A condition command holding "B>?" with one parameter.
    CNACommand* Condition()
    {
        CNACommand* pclCondition = NewCommand();
        pclCondition->bComplete(L"B>", 2);
        AddParameter(pclCondition, Value(Int(2)));
        return pclCondition;
    }
};

TEST_F(ExpressionFormat, ASelectIsRewrittenClauseByClause)
{
    CNACommand* pclCommand = Written(Simple());
    EXPECT_EQ(L"SELECT `T`.`A`, `T`.`B` FROM `T` WHERE `A` =  ORDER BY `T`.`B` DESC", Original(pclCommand));
    EXPECT_EQ(std::vector<unsigned long>{45}, Positions(pclCommand));
    EXPECT_EQ(L"1", Values(pclCommand));
    EXPECT_EQ(L"SELECT `T`.`A`, `T`.`B` FROM `T` WHERE `A` = 1 ORDER BY `T`.`B` DESC", Formatted(pclCommand));
}

TEST_F(ExpressionFormat, TablesKeepTheirAliasesAndTakeTheLockHint)
{
    Connection().SetRecordLockHint(L"LOCK IN SHARE MODE");
    const std::wstring& text = Text(L"SELECT C.N FROM CUSTOMER AS C, ORDERS O, ITEMS ITEMS, PARTS WHERE C.N = 1");
    StandinParsedQuery& parse =
        Parse({.text = text,
               .from = {{.name = L"CUSTOMER", .alias = L"C", .bAs = 1, .position = At(text, L"CUSTOMER AS C")},
                        {.name = L"ORDERS", .alias = L"O", .position = At(text, L"ORDERS O")},
                        {.name = L"ITEMS", .alias = L"ITEMS", .position = At(text, L"ITEMS ITEMS")},
                        {.name = L"PARTS", .alias = L"PARTS", .position = At(text, L"PARTS")}},
               .items = {{.item = L"N", .table = L"CUSTOMER", .tableAlias = L"C", .position = At(text, L"C.N")}},
               .whereStart = static_cast<long>(text.find(L"WHERE")),
               .whereEnd = static_cast<long>(text.size() - 1),
               .where = Op(OPEXP_EQUAL, text, L"C.N = 1", {Column(text, L"N", L"C", 1), Number(text, L"1", 1)})});
    EXPECT_EQ(L"SELECT `C`.`N` FROM `CUSTOMER` AS `C` LOCK IN SHARE MODE, `ORDERS` `O` LOCK IN SHARE MODE, "
              L"`ITEMS` `ITEMS` LOCK IN SHARE MODE, `PARTS` LOCK IN SHARE MODE WHERE `C`.`N` = ",
              Original(Written(parse)));
}

TEST_F(ExpressionFormat, AJoinConditionIsWalkedBetweenItsTables)
{
    const std::wstring& text = Text(L"SELECT A.X FROM A JOIN B ON A.K = B.K AND B.F = 'y' WHERE A.X > 2");
    StandinParsedQuery& parse = Parse(
        {.text = text,
         .from = {{.name = L"A", .position = At(text, L"A", 1)}, {.name = L"B", .position = At(text, L"B", 0)}},
         .items = {{.item = L"X", .table = L"A", .position = At(text, L"A.X")}},
         .joins = {{.position = At(text, L"A.K = B.K AND B.F = 'y'"),
                    .condition = Op(2, text, L"A.K = B.K AND B.F = 'y'",
                                    {Op(OPEXP_EQUAL, text, L"A.K = B.K", {Column(text, L"K", L"A"), Column(text, L"K", L"B")}),
                                     Op(OPEXP_EQUAL, text, L"B.F = 'y'", {Column(text, L"F", L"B"), Literal(text, L"'y'", L"y")})})}},
         .whereStart = static_cast<long>(text.find(L"WHERE")),
         .whereEnd = static_cast<long>(text.size() - 1),
         .where = Op(OPEXP_SUPERIOR, text, L"A.X > 2", {Column(text, L"X", L"A", 1), Number(text, L"2", 2)})});
    CNACommand* pclCommand = Written(parse);
    EXPECT_EQ(L"SELECT `A`.`X` FROM `A` JOIN `B` ON `A`.`K` = `B`.`K` AND `B`.`F` =  WHERE `A`.`X` > ",
              Original(pclCommand));
    EXPECT_EQ(L"y|2", Values(pclCommand));
    EXPECT_EQ(L"SELECT `A`.`X` FROM `A` JOIN `B` ON `A`.`K` = `B`.`K` AND `B`.`F` = 'y' WHERE `A`.`X` > 2",
              Formatted(pclCommand));
}

TEST_F(ExpressionFormat, AConditionIsJoinedToTheWhereClause)
{
    CNACommand* pclCommand = Written(Simple(), Condition());
    EXPECT_EQ(L"SELECT `T`.`A`, `T`.`B` FROM `T` WHERE ( `A` = ) AND (B>) ORDER BY `T`.`B` DESC", Original(pclCommand));
    EXPECT_EQ((std::vector<unsigned long>{47, 56}), Positions(pclCommand));
    EXPECT_EQ(L"SELECT `T`.`A`, `T`.`B` FROM `T` WHERE ( `A` = 1 ) AND (B>2 ) ORDER BY `T`.`B` DESC", Formatted(pclCommand));
}

TEST_F(ExpressionFormat, AConditionWithoutWhereGoesBeforeTheNextClauseOrAtTheEnd)
{
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszClause;   // the clause the WHERE goes before; null: none
        const wchar_t* pszWritten;
    } kCases[] = {
        {L"SELECT A FROM T", nullptr, L"SELECT `T`.`A` FROM `T` WHERE B> "},
        {L"SELECT A FROM T ORDER BY A", L"ORDER", L"SELECT `T`.`A` FROM `T` WHERE B>  ORDER BY `T`.`A`"},
        {L"SELECT A FROM T HAVING A > 1", L"HAVING", L"SELECT `T`.`A` FROM `T` WHERE B>  HAVING A > 1"},
    };
    for (const auto& c : kCases) {
        const std::wstring& text = Text(c.pszText);
        const long nClause = c.pszClause != nullptr ? static_cast<long>(text.find(c.pszClause)) : 0;
        const bool bOrder = c.pszClause != nullptr && std::wstring(c.pszClause) == L"ORDER";
        StandinParsedQuery& parse =
            Parse({.text = text,
                   .from = {{.name = L"T", .position = At(text, L"T")}},
                   .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")}},
                   .orderBy = bOrder ? std::vector<vxstandin::OrderSpec>{{.nIndex = 0, .position = At(text, L"A", 1)}}
                                     : std::vector<vxstandin::OrderSpec>{},
                   .orderByStart = bOrder ? nClause : 0,
                   .havingStart = bOrder ? 0 : nClause,
                   .havingEnd = bOrder || nClause == 0 ? -1 : static_cast<long>(text.size() - 1)});
        CNACommand* pclCommand = Written(parse, Condition());
        EXPECT_EQ(c.pszWritten, Original(pclCommand)) << c.pszText;
        EXPECT_EQ(1, pclCommand->nGetParameterNbr());
    }
}

TEST_F(ExpressionFormat, ModeOneKeepsTheStatementAsWritten)
{
    for (int nMode : {1, 4, 5}) {
        CNACommand* pclCommand = Written(Simple(), nullptr, 1, nMode);
        EXPECT_EQ(L"SELECT A, B FROM T WHERE A = 1 ORDER BY `T`.`B` DESC", Original(pclCommand)) << nMode;
        EXPECT_EQ(1, pclCommand->bAsWritten());
        EXPECT_EQ(0, pclCommand->nGetParameterNbr());
    }
    CNACommand* pclOther = Written(Simple(), nullptr, 1, 2);
    EXPECT_EQ(0, pclOther->bAsWritten());
}

TEST_F(ExpressionFormat, KeepOrderByZeroDropsTheOrderBy)
{
    EXPECT_EQ(L"SELECT `T`.`A`, `T`.`B` FROM `T` WHERE `A` =  ", Original(Written(Simple(), nullptr, 0, 0)));
    EXPECT_EQ(L"SELECT A, B FROM T WHERE A = 1 ", Original(Written(Simple(), nullptr, 0, 1)));
    // Taken as written, the text is cut at the first "order by" even when
    // the host parsed no ORDER BY; another spelling is kept.
    for (const wchar_t* psz : {L"SELECT A FROM T order by A", L"SELECT A FROM T Order By A"}) {
        const std::wstring& text = Text(psz);
        StandinParsedQuery& parse = Parse({.text = text, .from = {{.name = L"T", .position = At(text, L"T")}}});
        const std::wstring written = Original(Written(parse, nullptr, 0, 1));
        EXPECT_EQ(psz[16] == L'o' ? L"SELECT A FROM T " : std::wstring(psz), written);
    }
}

TEST_F(ExpressionFormat, TheStarBecomesTheOutputItems)
{
    const std::wstring& text = Text(L"SELECT * FROM T");
    StandinParsedQuery& parse = Parse({.text = text,
                                       .from = {{.name = L"T", .position = At(text, L"T")}},
                                       .items = {{.item = L"A", .table = L"T"}, {.item = L"B", .table = L"T"}}});
    EXPECT_EQ(L"SELECT `T`.`A`,`T`.`B` FROM `T`", Original(Written(parse)));
    CNACommand* pclCommand = NewCommand();
    pclCommand->bAddSelectAdditionalColumnInQueryFormat(L"X", Value(Int(0)));
    ASSERT_EQ(1, pclCommand->bFormatCondition(Query(parse), nullptr, 1, 0));
    EXPECT_EQ(0u, Original(pclCommand).find(L"SELECT `T`.`A`,`T`.`B`,"));
    // "SELECT *x" and a star elsewhere are left alone.
    const std::wstring& other = Text(L"SELECT COUNT(*) FROM T");
    StandinParsedQuery& count = Parse({.text = other,
                                       .from = {{.name = L"T", .position = At(other, L"T")}},
                                       .items = {{.item = L"A", .table = L"T"}}});
    EXPECT_EQ(L"SELECT COUNT(*) FROM `T`", Original(Written(count)));
}

TEST_F(ExpressionFormat, GroupByAndHavingNameTheirItems)
{
    const std::wstring& text = Text(L"SELECT T.A AS K, SUM(B) AS S FROM T GROUP BY K, T.C HAVING T.A > 1");
    vxstandin::ExpressionSpec sum = Op(OPEXP_AGGREGATE_FIRST, text, L"SUM(B)", {Column(text, L"B")});
    StandinParsedQuery& parse = Parse(
        {.text = text,
         .from = {{.name = L"T", .position = At(text, L"T", 1)}},
         .items = {{.alias = L"K", .item = L"A", .table = L"T", .bAs = 1, .position = At(text, L"T.A")},
                   {.alias = L"S", .text = L"SUM(B)", .eKind = IInfoRubrique::KIND_AGGREGATE, .bAs = 1,
                    .bIsItem = 0, .position = At(text, L"SUM(B)"), .expression = sum}},
         .groupBy = {{.item = L"K", .position = At(text, L"K", 1)},
                     {.alias = L"T", .bAvecTable = 1, .table = L"T", .item = L"C", .position = At(text, L"T.C")}},
         .havingStart = static_cast<long>(text.find(L"HAVING")),
         .havingEnd = static_cast<long>(text.size() - 1),
         .having = Op(OPEXP_SUPERIOR, text, L"T.A > 1", {Column(text, L"A", L"T", 1), Number(text, L"1", 1)})});
    CNACommand* pclCommand = Written(parse);
    EXPECT_EQ(L"SELECT `T`.`A` AS `K`, SUM(`B`) AS `S` FROM `T` GROUP BY `T`.`A`, `T`.`C` HAVING `T`.`A` > ",
              Original(pclCommand));
    EXPECT_EQ(L"1", Values(pclCommand));
}

TEST_F(ExpressionFormat, PositionsThatDoNotFitTheTextFailWithTheInternalError)
{
    const std::wstring& text = Text(L"SELECT A FROM T WHERE A = 1");
    // A FROM table that overlaps the select list; a WHERE that ends past
    // the text.
    StandinParsedQuery& overlap = Parse({.text = text,
                                         .from = {{.name = L"T", .position = {7, 14}}},
                                         .items = {{.item = L"A", .table = L"T", .position = {7, 8}}}});
    int bDone = 1;
    Written(overlap, nullptr, 1, 0, &bDone);
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(4u, ErrorCode());
    m_pclError->Reset();
    StandinParsedQuery& past = Parse({.text = text,
                                      .from = {{.name = L"T", .position = At(text, L"T")}},
                                      .whereStart = static_cast<long>(text.find(L"WHERE")),
                                      .whereEnd = 500});
    Written(past, nullptr, 1, 0, &bDone);
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(4u, ErrorCode());
}

TEST_F(ExpressionFormat, AHostClauseListMergesItemsAndParameters)
{
    const std::wstring& text = Text(L"SET X = :a WHERE T.K = :b");
    StandinTabValParser list;
    list.Add(Int(7), static_cast<int>(text.find(L":a")), 2).Add(Wide(L"k"), static_cast<int>(text.find(L":b")), 2, 0);
    list.AddItem(static_cast<int>(text.find(L"X")), 1, nullptr, L"X");
    list.AddItem(static_cast<int>(text.find(L"T.K")), 3, L"T", L"K");
    StandinParsedQuery& parse = Parse({.text = text, .eType = 0, .clauseList = list.pstGet()});
    CNACommand* pclCommand = Written(parse);
    EXPECT_EQ(L"SET `X` =  WHERE `T`.`K` = ", Original(pclCommand));
    EXPECT_EQ((std::vector<unsigned long>{10, 27}), Positions(pclCommand));
    EXPECT_EQ(L"7|k", Values(pclCommand));
    // Slot 7 writes the same from the host's interface.
    CNACommand* pclDirect = NewCommand();
    EXPECT_EQ(1, pclDirect->bComplete(static_cast<ISQLParserInformation*>(&parse)));
    EXPECT_EQ(Original(pclCommand), Original(pclDirect));
    // An entry that overlaps the one before it.
    StandinTabValParser bad;
    bad.Add(Int(1), 4, 3).AddItem(5, 1, nullptr, L"Q");
    CNACommand* pclBad = NewCommand();
    EXPECT_EQ(0, pclBad->_bAddClause(bad.pstGet(), text.c_str(), 0));
    EXPECT_EQ(4u, ErrorCode());
}

}  // namespace
