// A parsed SELECT written into a command: the select list with its aliases
// and the star, FROM tables with their aliases and the record-lock hint,
// joins, WHERE, GROUP BY, HAVING and ORDER BY rewritten, the text between
// them as written; a further condition joined to the WHERE clause; the
// statement taken as written under mode 1; positions that do not fit the
// text.
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

}  // namespace
