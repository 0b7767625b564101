// Items and literals of a parsed query written into a command: calculated
// aliases expanded (their parameters moved in, an alias met again in its
// own expansion refused, directly or through a chain of aliases), the
// inline form, operator 73, literals as parameters (LIKE patterns with
// their escape; bound to the record's column of their item), INSERT and
// UPDATE lists, outer-join columns and the host's "utf8" marker.
#include "tests/native/sql/expression_format_fixture.h"

namespace {

using vxstandin::ItemSpec;

class ExpressionFormatItems : public vxtest::ExpressionFormatTest
{
protected:
    // SELECT <x> AS X, <y> AS Y FROM T WHERE X > 0: X and Y calculated,
    // each expression as given.
    StandinParsedQuery& Aliases(const std::wstring& text, const vxstandin::ExpressionSpec& x,
                                const vxstandin::ExpressionSpec& y, const std::wstring& xText,
                                const std::wstring& yText)
    {
        return Parse({.text = text,
                      .from = {{.name = L"T", .position = At(text, L"T")}},
                      .items = {{.alias = L"X", .text = xText, .eKind = IInfoRubrique::KIND_EXPRESSION, .bAs = 1,
                                 .bIsItem = 0, .position = At(text, xText), .expression = x},
                                {.alias = L"Y", .text = yText, .eKind = IInfoRubrique::KIND_EXPRESSION, .bAs = 1,
                                 .bIsItem = 0, .position = At(text, yText), .expression = y}},
                      .whereStart = static_cast<long>(text.find(L"WHERE")),
                      .whereEnd = static_cast<long>(text.size() - 1),
                      .where = Op(OPEXP_SUPERIOR, text, L"X > 0",
                                  {Column(text, L"X", L"", 1), Number(text, L"0", 0)})});
    }
};

TEST_F(ExpressionFormatItems, ACalculatedAliasIsWrittenAsItsExpression)
{
    const std::wstring& text = Text(L"SELECT A + 5 AS X, B AS Y FROM T WHERE X > 0");
    StandinParsedQuery& parse =
        Aliases(text, Op(1, text, L"A + 5", {Column(text, L"A"), Number(text, L"5", 5)}), Column(text, L"B"),
                L"A + 5", L"B");
    CNACommand* pclCommand = Written(parse);
    // The expression in parentheses where the alias stood; its literal a
    // parameter of this command at the place it landed.
    EXPECT_EQ(L"SELECT `A` +  AS `X`, `B` AS `Y` FROM `T` WHERE (`A` + ) > ", Original(pclCommand));
    EXPECT_EQ((std::vector<unsigned long>{13, 55, 59}), Positions(pclCommand));
    EXPECT_EQ(L"5|5|0", Values(pclCommand));
    EXPECT_EQ(L"SELECT `A` + 5 AS `X`, `B` AS `Y` FROM `T` WHERE (`A` + 5 ) > 0", Formatted(pclCommand));
    // The inline form writes the values in the text.
    CTString csText;
    CNACommand* pclOther = NewCommand();
    ASSERT_EQ(1, pclOther->bFormatExpressionColonneCalculee(Query(parse), parse.Item(0), CNASqlElt::SQLELT_WHERE,
                                                            &csText));
    EXPECT_STREQ(L"(`A` + 5)", csText.pszGet());
    EXPECT_EQ(0, pclOther->nGetParameterNbr());
    // By alias, as a condition of a query's record names it.
    CNACommand* pclByName = NewCommand();
    EXPECT_EQ(1, pclByName->bFormatExpressionColonneCalculee(Query(parse), L"X", CNASqlElt::SQLELT_WHERE));
    EXPECT_EQ(L"(`A` + )", Original(pclByName));
    EXPECT_EQ(0, pclByName->bFormatExpressionColonneCalculee(Query(parse), L"NOPE", CNASqlElt::SQLELT_WHERE));
}

TEST_F(ExpressionFormatItems, AnAliasMetAgainInItsOwnExpansionFails)
{
    // X = X + 1: the alias itself.
    const std::wstring& self = Text(L"SELECT X + 1 AS X, B AS Y FROM T WHERE X > 0");
    StandinParsedQuery& direct =
        Aliases(self, Op(1, self, L"X + 1", {Column(self, L"X"), Number(self, L"1", 1)}), Column(self, L"B"),
                L"X + 1", L"B");
    int bDone = 1;
    Written(direct, nullptr, 1, 0, &bDone);
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(32u, ErrorCode());
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<X>"));
    m_pclError->Reset();
    // X = Y + 1 and Y = X + 1: each expands the other; the chain X, Y, X
    // stops at the second X (once unbounded recursion).
    const std::wstring& chain = Text(L"SELECT Y + 1 AS X, X + 1 AS Y FROM T WHERE X > 0");
    StandinParsedQuery& loop =
        Aliases(chain, Op(1, chain, L"Y + 1", {Column(chain, L"Y"), Number(chain, L"1", 1)}),
                Op(1, chain, L"X + 1", {Column(chain, L"X"), Number(chain, L"1", 1, 1)}), L"Y + 1", L"X + 1");
    Written(loop, nullptr, 1, 0, &bDone);
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(32u, ErrorCode());
    // Written alone from the WHERE clause: X expands Y, which meets X.
    m_pclError->Reset();
    CNACommand* pclAlone = NewCommand();
    EXPECT_EQ(0, pclAlone->bFormatExpressionColonneCalculee(Query(loop), L"X", CNASqlElt::SQLELT_WHERE));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<X>"));
}

TEST_F(ExpressionFormatItems, AnOperatorTheDatabaseLacksFails)
{
    const std::wstring& text = Text(L"SELECT A FROM T WHERE F(A)");
    StandinParsedQuery& parse = Parse({.text = text,
                                       .from = {{.name = L"T", .position = At(text, L"T")}},
                                       .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")}},
                                       .whereStart = static_cast<long>(text.find(L"WHERE")),
                                       .whereEnd = static_cast<long>(text.size() - 1),
                                       .where = Op(OPEXP_UNAVAILABLE, text, L"F(A)", {Column(text, L"A", L"", 1)})});
    int bDone = 1;
    Written(parse, nullptr, 1, 0, &bDone);
    EXPECT_EQ(0, bDone);
    EXPECT_EQ(48u, ErrorCode());
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"MySQL"));
}

TEST_F(ExpressionFormatItems, LiteralsBecomeParametersWithTheirOperator)
{
    const std::wstring& text = Text(L"SELECT A FROM T WHERE A LIKE 'x!%%' ESCAPE '!' AND B = 3 AND C = utf8'z'");
    vxstandin::ExpressionSpec like = Op(OPEXP_LIKE, text, L"A LIKE 'x!%%' ESCAPE '!'",
                                        {Column(text, L"A", L"", 1), Literal(text, L"'x!%%'", L"x!%%")});
    like.wEscape = L'!';
    vxstandin::ExpressionSpec marked = Literal(text, L"utf8'z'", L"z");
    StandinParsedQuery& parse = Parse(
        {.text = text,
         .from = {{.name = L"T", .position = At(text, L"T")}},
         .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")}},
         .whereStart = static_cast<long>(text.find(L"WHERE")),
         .whereEnd = static_cast<long>(text.size() - 1),
         .where = Op(2, text, text.substr(text.find(L"A LIKE")),
                     {like, Op(2, text, L"B = 3 AND C = utf8'z'",
                               {Op(OPEXP_EQUAL, text, L"B = 3", {Column(text, L"B"), Number(text, L"3", 3)}),
                                Op(OPEXP_EQUAL, text, L"C = utf8'z'", {Column(text, L"C"), marked})})})});
    CNACommand* pclCommand = Written(parse);
    EXPECT_EQ(L"SELECT `T`.`A` FROM `T` WHERE `A` LIKE  ESCAPE '!' AND `B` =  AND `C` = ", Original(pclCommand));
    ASSERT_EQ(3, pclCommand->nGetParameterNbr());
    const CNAParameter* pclLike = pclCommand->pclGetParameterNoRef(0);
    EXPECT_EQ(OPEXP_LIKE, pclLike->eGetOperator());
    EXPECT_EQ(786432u, pclLike->nGetFlags());
    EXPECT_EQ(L'!', pclLike->nGetEscape());
    const CNAParameter* pclEqual = pclCommand->pclGetParameterNoRef(1);
    EXPECT_EQ(OPEXP_EQUAL, pclEqual->eGetOperator());
    EXPECT_EQ(524288u, pclEqual->nGetFlags());
    EXPECT_EQ(0, pclEqual->nGetEscape());
    EXPECT_EQ(L"x!%%|3|z", Values(pclCommand));
    // A command that takes no parameters keeps its literals as written; the
    // host's marker goes all the same.
    CNACommand* pclInline = NewCommand();
    pclInline->EnableParameters(0);
    ASSERT_EQ(1, pclInline->bFormatCondition(Query(parse), nullptr, 1, 0));
    EXPECT_EQ(L"SELECT `T`.`A` FROM `T` WHERE `A` LIKE 'x!%%' ESCAPE '!' AND `B` = 3 AND `C` = 'z'",
              Original(pclInline));
}

TEST_F(ExpressionFormatItems, InsertAndUpdateListsNameTheirColumns)
{
    const std::wstring& insert = Text(L"INSERT INTO T (A, B) VALUES (1, 'b')");
    StandinParsedQuery& inserted =
        Parse({.text = insert,
               .eType = TYPEREQUETE_INSERT,
               .from = {{.name = L"T", .position = At(insert, L"T")}},
               .inserts = {{.item = L"A", .value = Number(insert, L"1", 1), .position = At(insert, L"A")},
                           {.item = L"B", .value = Literal(insert, L"'b'", L"b"), .position = At(insert, L"B")}}});
    CNACommand* pclInsert = Written(inserted);
    EXPECT_EQ(L"INSERT INTO `T` (`A`, `B`) VALUES (, )", Original(pclInsert));
    EXPECT_EQ(L"INSERT INTO `T` (`A`, `B`) VALUES (1 , 'b' )", Formatted(pclInsert));

    const std::wstring& update = Text(L"UPDATE T SET A = 1, B = A WHERE K = 2");
    const auto updateOf = [&]() -> StandinParsedQuery& {
        return Parse({.text = update,
                      .eType = TYPEREQUETE_UPDATE,
                      .from = {{.name = L"T", .position = At(update, L"T"), .physicalName = L"DB_T"}},
                      .updates = {{.column = Column(update, L"A"), .value = Number(update, L"1", 1),
                                   .position = At(update, L"A = 1")},
                                  {.column = Column(update, L"B"), .value = Column(update, L"A", L"", 1),
                                   .position = At(update, L"B = A")}},
                      .whereStart = static_cast<long>(update.find(L"WHERE")),
                      .whereEnd = static_cast<long>(update.size() - 1),
                      .where = Op(OPEXP_EQUAL, update, L"K = 2", {Column(update, L"K"), Number(update, L"2", 2)})});
    };
    EXPECT_EQ(L"UPDATE `T` SET `DB_T`.`A` = , `DB_T`.`B` = `A` WHERE `K` = ", Original(Written(updateOf())));
    // Some kinds take no table in an UPDATE's column names.
    Connection().SetDBKind(8);
    EXPECT_EQ(L"UPDATE `T` SET `A` = , `B` = `A` WHERE `K` = ", Original(Written(updateOf())));
}

TEST_F(ExpressionFormatItems, AnOuterJoinColumnIsMarked)
{
    const std::wstring& text = Text(L"SELECT A FROM T, U WHERE T.K = U.K");
    vxstandin::ExpressionSpec outer = Column(text, L"K", L"U");
    outer.bOuterJoin = 1;
    StandinParsedQuery& parse =
        Parse({.text = text,
               .from = {{.name = L"T", .position = At(text, L"T")}, {.name = L"U", .position = At(text, L"U")}},
               .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")}},
               .whereStart = static_cast<long>(text.find(L"WHERE")),
               .whereEnd = static_cast<long>(text.size() - 1),
               .where = Op(OPEXP_EQUAL, text, L"T.K = U.K", {Column(text, L"K", L"T"), outer})});
    EXPECT_EQ(L"SELECT `T`.`A` FROM `T`, `U` WHERE `T`.`K` = `U`.`K`(+)", Original(Written(parse)));
}

TEST_F(ExpressionFormatItems, AFilterConditionIsAppendedAlone)
{
    // The condition of a filter's query (the text after its WHERE), its
    // literals parameters of the command it is appended to.
    const std::wstring& text = Text(L"SELECT A FROM T WHERE (B = 'x' OR C < 4)");
    StandinParsedQuery& parse = Parse(
        {.text = text,
         .from = {{.name = L"T", .position = At(text, L"T")}},
         .whereStart = static_cast<long>(text.find(L"WHERE")),
         .whereEnd = static_cast<long>(text.size() - 1),
         .where = Op(3, text, L"(B = 'x' OR C < 4)",
                     {Op(OPEXP_EQUAL, text, L"B = 'x'", {Column(text, L"B"), Literal(text, L"'x'", L"x")}),
                      Op(11, text, L"C < 4", {Column(text, L"C"), Number(text, L"4", 4)})})});
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT * FROM T WHERE K=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(1)));
    pclCommand->bComplete(L" AND ", static_cast<unsigned long>(-1));
    ASSERT_EQ(1, pclCommand->bAddFilterExpression(Query(parse)));
    EXPECT_EQ(L"SELECT * FROM T WHERE K= AND (`B` =  OR `C` < )", Original(pclCommand));
    EXPECT_EQ((std::vector<unsigned long>{24, 36, 46}), Positions(pclCommand));
    EXPECT_EQ(L"1|x|4", Values(pclCommand));
    // One node alone.
    CNACommand* pclNode = NewCommand();
    ASSERT_EQ(1, pclNode->bFormatSubExpression(Query(parse), parse.Where()->piGetOperand(1), CNASqlElt::SQLELT_WHERE));
    EXPECT_EQ(L"`C` < ", Original(pclNode));
}

}  // namespace

// A condition over the items of a built record.
class ExpressionFormatRecord : public vxtest::CommandTestOf<vxtest::RecordTest>
{
protected:
    static SQLPosition At(const std::wstring& text, const std::wstring& piece)
    {
        const size_t nAt = text.find(piece);
        return SQLPosition{static_cast<long>(nAt), static_cast<long>(nAt + piece.size() - 1)};
    }
};

TEST_F(ExpressionFormatRecord, ALiteralIsBoundToTheColumnOfItsItem)
{
    CNAItemDescription* piName = Add(L"NAME", NA_IT_TEXTE, 21);
    ASSERT_EQ(1, Build());
    const std::wstring text = L"SELECT NAME FROM CUSTOMER WHERE NAME = 'x'";
    const long nWhereName = static_cast<long>(text.find(L"NAME = "));
    const vxstandin::ExpressionSpec where{
        .eOperator = OPEXP_EQUAL,
        .position = At(text, L"NAME = 'x'"),
        .operands = {{.eOperator = OPEXP_ITEM, .item = L"NAME", .position = {nWhereName, nWhereName + 3},
                      .description = piName},
                     {.eOperator = OPEXP_LITERAL, .position = At(text, L"'x'"),
                      .value = std::make_shared<CAny>(Wide(L"x"))}}};
    StandinParsedQuery& parse =
        Parse({.text = text,
               .from = {{.name = L"CUSTOMER", .position = At(text, L"CUSTOMER")}},
               .items = {{.item = L"NAME", .table = L"CUSTOMER", .position = At(text, L"NAME")}},
               .whereStart = static_cast<long>(text.find(L"WHERE")),
               .whereEnd = static_cast<long>(text.size() - 1),
               .where = where});
    for (const bool bRecord : {true, false}) {
        CSQLParserInfo* pclQuery = Query(parse);
        if (bRecord)
            pclQuery->SetRecord(m_record);
        CNACommand* pclCommand = NewCommand();
        ASSERT_EQ(1, pclCommand->bFormatCondition(pclQuery, nullptr, 1, 0));
        ASSERT_EQ(1, pclCommand->nGetParameterNbr());
        const CNAParameter* pclParameter = pclCommand->pclGetParameterNoRef(0);
        EXPECT_EQ(piName, pclParameter->piGetItemNoRef());
        EXPECT_EQ(bRecord ? Col(L"NAME") : nullptr, pclParameter->pclGetColumnNoRef()) << bRecord;
    }
}
