// What the database kind and the item types change in a parsed condition:
// function names (slot 29) and arguments (slot 26) by kind, MySQL keeping
// them as written; date and time columns converted (slots 13 and 12);
// comparisons with an empty date as NULL tests; text literals compared
// with date and time items in the runtime's text forms; the HAVING clause
// naming items by kind.
#include <cwchar>
#include <vector>

#include "tests/native/sql/expression_format_fixture.h"

namespace {

class ExpressionFormatKinds : public vxtest::ExpressionFormatTest
{
protected:
    // SELECT A FROM T WHERE <condition>, the condition's tree as given.
    StandinParsedQuery& Where(const std::wstring& text, const vxstandin::ExpressionSpec& condition)
    {
        return Parse({.text = text,
                      .from = {{.name = L"T", .position = At(text, L"T")}},
                      .items = {{.item = L"A", .table = L"T", .position = At(text, L"A")}},
                      .whereStart = static_cast<long>(text.find(L"WHERE")),
                      .whereEnd = static_cast<long>(text.size() - 1),
                      .where = condition});
    }
    // The WHERE clause as written for the parse.
    std::wstring WhereOf(StandinParsedQuery& parse)
    {
        const std::wstring written = Original(Written(parse));
        const size_t nAt = written.find(L"WHERE ");
        return nAt == std::wstring::npos ? written : written.substr(nAt + 6);
    }
};

TEST_F(ExpressionFormatKinds, FunctionNamesByKind)
{
    const struct
    {
        int nOperator;
        int nKind;
        const wchar_t* pszName;   // the name written
    } kCases[] = {
        {7, 11, L"NVL"},       {42, 6, L"SUBSTRING"},     {43, 13, L"SUBSTR"},  {44, 7, L"SYSIBM.SUBSTR"},
        {44, 8, L"SUBSTR"},    {45, 7, L"UCASE"},         {46, 7, L"LCASE"},    {50, 4, L"SUBSTRING"},
        {51, 1, L"SUBSTR"},    {54, 2, L"LEN"},           {54, 4, L"CHAR_LENGTH"}, {55, 8, L"LENGTH"},
        {72, 1, L"CEIL"},      {76, 1, L"SUBSTR"},        {78, 1, L"LENGTH"},   {79, 1, L"LENGTHB"},
        {89, 1, L"INSTR"},     {77, 1, L"LENGTH"},
        // Kept as the host wrote it: MySQL, and a kind the table names not.
        {42, 5, L"FN"},        {72, 5, L"FN"},            {54, 1, L"FN"},
    };
    for (const auto& c : kCases) {
        Connection().SetDBKind(c.nKind);
        const std::wstring& text = Text(L"SELECT A FROM T WHERE FN(A) = 1");
        StandinParsedQuery& parse = Where(
            text, Op(OPEXP_EQUAL, text, L"FN(A) = 1",
                     {Op(c.nOperator, text, L"FN(A)", {Column(text, L"A", L"", 1)}), Number(text, L"1", 1)}));
        EXPECT_EQ(std::wstring(c.pszName) + L"(" + Name(L"A") + L") = ", WhereOf(parse)) << c.nOperator << " on kind " << c.nKind;
    }
}

TEST_F(ExpressionFormatKinds, TrimSidesBecomeArgumentsOnKindEleven)
{
    for (const int nKind : {11, 5}) {
        Connection().SetDBKind(nKind);
        const std::wstring& text = Text(L"SELECT A FROM T WHERE LTRIM(A) = RTRIM( A)");
        StandinParsedQuery& parse =
            Where(text, Op(OPEXP_EQUAL, text, L"LTRIM(A) = RTRIM( A)",
                           {Op(52, text, L"LTRIM(A)", {Column(text, L"A", L"", 1)}),
                            Op(53, text, L"RTRIM( A)", {Column(text, L"A", L"", 2)})}));
        EXPECT_EQ(nKind == 11 ? L"TRIM(LEADING FROM `A`) = TRIM( TRAILING FROM `A`)" : L"LTRIM(`A`) = RTRIM( `A`)",
                  WhereOf(parse));
    }
}

TEST_F(ExpressionFormatKinds, FunctionArgumentsRewrittenForTheirKind)
{
    // Literals stay inline so that the whole condition reads as sent.
    const auto inlineWhere = [this](StandinParsedQuery& parse) {
        CNACommand* pclCommand = NewCommand();
        pclCommand->EnableParameters(0);
        EXPECT_EQ(1, pclCommand->bFormatCondition(Query(parse), nullptr, 1, 0));
        const std::wstring written = Original(pclCommand);
        return written.substr(written.find(L"WHERE ") + 6);
    };
    const auto call = [](int nOperator, const std::wstring& text, const std::wstring& piece,
                         std::vector<Expr> operands) {
        return Op(OPEXP_EQUAL, text, piece + L" = 9",
                  {Op(nOperator, text, piece, std::move(operands)), Number(text, L"9", 9)});
    };
    const struct
    {
        int nKind;
        int nOperator;
        const wchar_t* pszCall;            // written as "<call> = 9"
        std::vector<const wchar_t*> operands;   // items, or digits for a number
        const wchar_t* pszExpected;        // `A` and `B` stand for the connection's names
    } kCases[] = {
        {1, 92, L"HEX(A)", {L"A"}, L"TO_CHAR(`A`,'FMXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX')"},
        {11, 92, L"HEX(A)", {L"A"}, L"SUBSTR(HEX(`A`),3)"},
        // More than two arguments: each in parentheses, joined; two stay.
        {1, 88, L"CONCAT(A, 7, B)", {L"A", L"7", L"B"}, L"(`A`)||( 7)||( `B`)"},
        {1, 88, L"CONCAT(A, B)", {L"A", L"B"}, L"CONCAT(`A`, `B`)"},
        // The rightmost n characters: a number written as one, anything
        // else as written.
        {1, 43, L"RIGHT(A, 3)", {L"A", L"3"}, L"SUBSTR(`A`,-LEAST(LENGTH(A), GREATEST(0, 3)),3)"},
        {1, 43, L"RIGHT(A, B)", {L"A", L"B"}, L"SUBSTR(`A`,-LEAST(LENGTH(A), GREATEST(0, `B`)),B)"},
        // Positional forms: FROM and FOR become separators.
        {1, 75, L"SUBSTRING(A FROM 2 FOR 3)", {L"A", L"2", L"3"}, L"SUBSTR(`A` , 2 , 3)"},
        {1, 80, L"F(A FROM B)", {L"A", L"B"}, L"F(`A` , `B`)"},
        {1, 89, L"LOCATE(A FROM B)", {L"A", L"B"}, L"INSTR(`A` , `B`)"},
        {1, 75, L"SUBSTRING(A, 2)", {L"A", L"2"}, L"SUBSTR(`A`, 2)"},
        // The position counted from the end, negated.
        {1, 76, L"SUBSTRING(A, 2, 3)", {L"A", L"2", L"3"}, L"SUBSTR(`A`,-( 2), 3)"},
        {1, 76, L"SUBSTRING(A FROM 2)", {L"A", L"2"}, L"SUBSTR(`A`,-(2))"},
        // MySQL copies the arguments as written.
        {5, 43, L"RIGHT(A, 3)", {L"A", L"3"}, L"RIGHT(`A`, 3)"},
        {5, 92, L"HEX(A)", {L"A"}, L"HEX(`A`)"},
    };
    for (const auto& c : kCases) {
        Connection().SetDBKind(c.nKind);
        const std::wstring& text = Text(L"SELECT A FROM T WHERE " + std::wstring(c.pszCall) + L" = 9");
        std::vector<Expr> operands;
        for (const wchar_t* pszOperand : c.operands) {
            if (std::iswdigit(pszOperand[0]))
                operands.push_back(Number(text, pszOperand, std::wcstol(pszOperand, nullptr, 10)));
            else
                operands.push_back(Column(text, pszOperand, L"", pszOperand == std::wstring(L"A") ? 1 : 0));
        }
        std::wstring expected = c.pszExpected;
        for (const wchar_t* pszItem : {L"A", L"B"}) {
            const std::wstring quoted = std::wstring(L"`") + pszItem + L"`";
            const std::wstring name = Name(pszItem);
            for (size_t nAt = expected.find(quoted); nAt != std::wstring::npos;
                 nAt = expected.find(quoted, nAt + name.size()))
                expected.replace(nAt, quoted.size(), name);
        }
        StandinParsedQuery& parse = Where(text, call(c.nOperator, text, c.pszCall, std::move(operands)));
        EXPECT_EQ(expected + L" = 9", inlineWhere(parse)) << c.pszCall << " on kind " << c.nKind;
    }
}

TEST_F(ExpressionFormatKinds, DateAndTimeColumnsAreConvertedWhereTheOperatorNeedsText)
{
    // Slot 13: 2 for time, DATE8 and date-time items under the text
    // operators; a time item also under comparisons and in clauses when the
    // connection has no time items.
    CNACommand* pclCommand = NewCommand();
    const struct
    {
        int eElement;
        int eType;
        int nOperator;
        int nAnswer;
    } kCases[] = {
        {3, NA_IT_DATE8, 32, 2},    {3, NA_IT_DATETIME, 15, 2}, {1, NA_IT_HEURE, 57, 2}, {3, NA_IT_DATE8, 33, 0},
        {3, NA_IT_DATE8, 9, 0},     {3, NA_IT_TEXTE, 32, 0},    {3, NA_IT_HEURE, 9, 2},  {1, NA_IT_HEURE, 22, 2},
        {1, NA_IT_HEURE, 1, 0},     {6, NA_IT_HEURE, 1, 2},     {8, NA_IT_HEURE, 1, 0},  {1, NA_IT_DATE6, 32, 0},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.nAnswer, pclCommand->eGetFormatExpressionColonne(static_cast<CNASqlElt::eSQLELT>(c.eElement),
                                                                     static_cast<eNA_ITEMTYPE>(c.eType),
                                                                     static_cast<eOPEXPRESSION>(c.nOperator), 0))
            << c.eElement << "/" << c.eType << "/" << c.nOperator;

    // Slot 12 then has the connection wrap the column.
    CFakeItemDescription& date = Description(NA_IT_DATE8, L"D");
    const std::wstring& text = Text(L"SELECT A FROM T WHERE T.D LIKE '2024%'");
    StandinParsedQuery& parse =
        Where(text, Op(OPEXP_LIKE, text, L"T.D LIKE '2024%'",
                       {Column(text, L"D", L"T", 0, &date), Literal(text, L"'2024%'", L"2024%")}));
    CTStringConcatAW clExpected;
    Connection().bConvertExpressionToString(m_pclError, &clExpected, L"`T`.`D`", &date, nullptr);
    EXPECT_EQ(std::wstring(clExpected.pszGetW()) + L" LIKE ", WhereOf(parse));
    EXPECT_NE(L"`T`.`D`", std::wstring(clExpected.pszGetW()));
}

TEST_F(ExpressionFormatKinds, AnEmptyDateIsANullTest)
{
    CFakeItemDescription& date = Description(NA_IT_DATE8, L"D");
    CFakeItemDescription& text8 = Description(NA_IT_TEXTE, L"D");
    const wchar_t* kOps[] = {L"=", L"<>", L"<", L"<=", L">", L">="};
    const wchar_t* kFirst[] = {L"`D` IS NULL ", L"`D` IS NOT NULL ", L" 0=1 ", L"`D` IS NULL ", L"`D` IS NOT NULL ",
                               L" 1=1 "};
    const wchar_t* kLast[] = {L"`D` IS NULL ", L"`D` IS NOT NULL ", L"`D` IS NOT NULL ", L" 1=1 ", L" 0=1 ",
                              L"`D` IS NULL "};
    for (bool bNullFirst : {true, false}) {
        Connection().SetNullSortsFirst(bNullFirst);
        for (int i = 0; i < 6; ++i) {
            const std::wstring& text = Text(std::wstring(L"SELECT A FROM T WHERE D ") + kOps[i] + L" ''");
            StandinParsedQuery& parse =
                Where(text, Op(OPEXP_EQUAL + i, text, std::wstring(L"D ") + kOps[i] + L" ''",
                               {Column(text, L"D", L"", 0, &date), Literal(text, L"''", L"")}));
            CNACommand* pclCommand = Written(parse);
            EXPECT_EQ(std::wstring(L"SELECT `T`.`A` FROM `T` WHERE ") + (bNullFirst ? kFirst[i] : kLast[i]),
                      Original(pclCommand))
                << kOps[i] << (bNullFirst ? " NULL first" : " NULL last");
            EXPECT_EQ(0, pclCommand->nGetParameterNbr());
        }
    }
    Connection().SetNullSortsFirst(true);
    // Not for a text column, a NULL value, a value that is not empty, or a
    // connection that keeps empty dates.
    const std::wstring& text = Text(L"SELECT A FROM T WHERE D = ''");
    const auto parseOf = [&](INAItemDescription* piItem, std::shared_ptr<CAny> value) -> StandinParsedQuery& {
        vxstandin::ExpressionSpec literal = Literal(text, L"''", L"");
        literal.value = std::move(value);
        return Where(text, Op(OPEXP_EQUAL, text, L"D = ''", {Column(text, L"D", L"", 0, piItem), literal}));
    };
    auto null = std::make_shared<CAny>(Wide(L""));
    null->SetNull();
    EXPECT_EQ(L"`D` = ", WhereOf(parseOf(&text8, std::make_shared<CAny>(Wide(L"")))));
    EXPECT_EQ(L"`D` = ", WhereOf(parseOf(&date, null)));
    EXPECT_EQ(L"`D` = ", WhereOf(parseOf(&date, std::make_shared<CAny>(Wide(L"2")))));
    EXPECT_EQ(L"`D` IS NULL ", WhereOf(parseOf(&date, std::make_shared<CAny>())));
    Connection().SetEmptyDateIsNull(false);
    EXPECT_EQ(L"`D` = ", WhereOf(parseOf(&date, std::make_shared<CAny>(Wide(L"")))));
}

TEST_F(ExpressionFormatKinds, TextLiteralsComparedWithDatesTakeTheRuntimeForm)
{
    CFakeItemDescription& date8 = Description(NA_IT_DATE8, L"D");
    CFakeItemDescription& date6 = Description(NA_IT_DATE6, L"D");
    CFakeItemDescription& time = Description(NA_IT_HEURE, L"D");
    CFakeItemDescription& dateTime = Description(NA_IT_DATETIME, L"D");
    const struct
    {
        INAItemDescription* piItem;
        int nOperator;
        const wchar_t* pszLiteral;
        const wchar_t* pszValue;
    } kCases[] = {
        {&date8, OPEXP_EQUAL, L"2024", L"20240101"},
        {&date6, OPEXP_DIFFERENT, L"202403", L"20240301"},
        {&time, OPEXP_EQUAL, L"1", L"100000000"},
        {&time, OPEXP_EQUAL, L"1230", L"123000000"},
        {&dateTime, OPEXP_EQUAL, L"20240102 1030", L"20240102103000000"},
        {&dateTime, OPEXP_EQUAL, L"2024010210", L"20240102100000000"},
        // Kept: a pattern, other characters, a blank elsewhere, too long,
        // another operator.
        {&date8, OPEXP_EQUAL, L"2024%", L"2024%"},
        {&date8, OPEXP_EQUAL, L"2024-01-02", L"2024-01-02"},
        {&dateTime, OPEXP_EQUAL, L"2024 0102", L"2024 0102"},
        {&date8, OPEXP_EQUAL, L"202401021", L"202401021"},
        {&date8, OPEXP_INFERIOR, L"2024", L"2024"},
    };
    for (const auto& c : kCases) {
        const std::wstring& text = Text(L"SELECT A FROM T WHERE D ? 'v'");
        StandinParsedQuery& parse =
            Where(text, Op(c.nOperator, text, L"D ? 'v'",
                           {Column(text, L"D", L"", 0, c.piItem), Literal(text, L"'v'", c.pszLiteral)}));
        CNACommand* pclCommand = Written(parse);
        EXPECT_EQ(c.pszValue, Values(pclCommand)) << c.pszLiteral;
    }
}

TEST_F(ExpressionFormatKinds, HavingNamesItsItemsExceptOnMySQL)
{
    for (const int nKind : {5, 1}) {
        Connection().SetDBKind(nKind);
        const std::wstring& text = Text(L"SELECT C.A AS N FROM T C GROUP BY C.A HAVING C.N > 1");
        StandinParsedQuery& parse =
            Parse({.text = text,
                   .from = {{.name = L"T", .alias = L"C", .position = At(text, L"T C")}},
                   .items = {{.alias = L"N", .item = L"A", .table = L"T", .tableAlias = L"C", .bAs = 1,
                              .position = At(text, L"C.A")}},
                   .groupBy = {{.alias = L"C", .bAvecTable = 1, .table = L"T", .item = L"A",
                                .position = At(text, L"C.A", 1)}},
                   .havingStart = static_cast<long>(text.find(L"HAVING")),
                   .havingEnd = static_cast<long>(text.size() - 1),
                   .having = Op(OPEXP_SUPERIOR, text, L"C.N > 1", {Column(text, L"N", L"C"), Number(text, L"1", 1)})});
        const std::wstring written = Original(Written(parse));
        EXPECT_EQ(L"HAVING " + Name(L"C") + L"." + Name(nKind == 5 ? L"N" : L"A") + L" > ",
                  written.substr(written.find(L"HAVING")))
            << nKind;
    }
}

}  // namespace
