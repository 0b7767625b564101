// The forms a comparison takes by its column's type: texts (LIKE patterns
// and empty texts), dates and times (the bounds of a partial value), zero
// dates, and the trivially true bounds that write nothing.
#include <string>

#include "tests/native/sql/condition_fixture.h"
#include "tests/native/sql/like_matcher.h"

namespace vxtest {
namespace {

using ConditionForms = ConditionTest;

TEST_F(ConditionForms, Texts)
{
    struct Case
    {
        const wchar_t* column;
        eNAOperator op;
        const char* value;
        unsigned flags;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"T", NA_OP_EQ, "ab", 0, L"`T`=[ab]"},
        {L"T", NA_OP_EQ, "ab", 1, L"`T` LIKE [ab%]"},
        {L"T", NA_OP_NE, "ab", 1, L"`T` NOT LIKE [ab%]"},
        {L"T", NA_OP_GT, "ab", 1, L"`T`>[ab]"},
        // The engine's wildcards are escaped before the prefix's own.
        {L"T", NA_OP_EQ, "a%b_", 1, L"`T` LIKE [a\\%b\\_%]"},
        {L"W", NA_OP_EQ, "ab", 1, L"`W` LIKE [ab%]"},
        // An empty 8-bit text is a literal; LIKE '%%' right after the name.
        {L"T", NA_OP_EQ, "", 1, L"`T`LIKE '%%'"},
        {L"T", NA_OP_EQ, "", 0, L"`T`=''"},
        {L"T", NA_OP_NE, "", 1, L"`T`<>''"},
        {L"T", NA_OP_LE, "", 0x80, L"`T`<=''"},
        {L"T", NA_OP_LE, "", 0, L"(`T`<='' OR `T` IS NULL)"},
        // An empty Unicode text is a parameter.
        {L"W", NA_OP_EQ, "", 1, L"`W` LIKE [%]"},
        {L"W", NA_OP_EQ, "", 0, L"`W`=[]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.shown), Shown(Cmp(c.column, c.op, Ansi(c.value), c.flags))) << c.value << c.op;

    // The two percent signs reach the statement as they are.
    Shown(Cmp(L"T", NA_OP_EQ, Ansi(""), 1));
    EXPECT_EQ(L"`T`LIKE '%%'", Formatted(m_pclCommand));
    // The kind that always compares texts with LIKE.
    Connection().SetDBKind(11);
    EXPECT_EQ(L"`T` LIKE [ab]", Shown(Cmp(L"T", NA_OP_EQ, Ansi("ab"))));
}

// The pattern in the statement selects exactly the texts that start with
// the prefix: the engine's escaping and the literal's compose.
TEST_F(ConditionForms, LikeChainOfAGenericPrefix)
{
    const std::wstring others[] = {L"", L"x", L"a", L"ab", L"a%", L"a_", L"a'", L"a\\", L"%", L"_", L"'", L"\\",
                                   L"a%b", L"a_b", L"a'b", L"a\\b", L"ax", L"xa%"};
    for (const char* prefix : {"a%", "a_", "a'", "a\\", "%", "_", "'", "\\", "a%b", "a\\%", "''"}) {
        Write(Cmp(L"T", NA_OP_EQ, Ansi(prefix), 1));
        const std::wstring sql = Formatted(m_pclCommand);
        const std::wstring head = L"`T` LIKE ";
        ASSERT_EQ(0u, sql.find(head)) << prefix;
        std::wstring pattern;
        ASSERT_TRUE(bReadSQLLiteral(sql.substr(head.size()), &pattern)) << prefix;
        const std::wstring wide(prefix, prefix + std::char_traits<char>::length(prefix));
        for (const std::wstring& candidate : others) {
            for (const std::wstring& value : {candidate, wide + candidate}) {
                const bool bStarts = value.compare(0, wide.size(), wide) == 0;
                EXPECT_EQ(bStarts, bLike(value, pattern, L'\\'))
                    << prefix << " / " << std::string(value.begin(), value.end());
            }
        }
    }
}

TEST_F(ConditionForms, PartialDates)
{
    struct Case
    {
        const wchar_t* column;
        eNAOperator op;
        const char* value;
        unsigned flags;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"D", NA_OP_EQ, "202403", 1, L"`D`>=[20240301] AND `D`<[20240401]"},
        {L"D", NA_OP_EQ, "2024", 1, L"`D`>=[20240101] AND `D`<[20250101]"},
        {L"D", NA_OP_EQ, "2024", 1, L"`D`>=[20240101] AND `D`<[20250101]"},
        // Outside the prefix's span: the rows before it and those after.
        {L"D", NA_OP_NE, "2024", 1, L"(`D`<[20240101] OR `D`>=[20250101])"},
        {L"DT", NA_OP_EQ, "20240229", 1, L"`DT`>=[20240229000000000] AND `DT`<[20240301000000000]"},
        {L"DT", NA_OP_NE, "2024022923", 1,
         L"(`DT`<[20240229230000000] OR `DT`>=[20240301000000000])"},
        // Nothing after the year 9999: only the lower bound.
        {L"D", NA_OP_EQ, "9999", 1, L"`D`>=[99990101]"},
        {L"D", NA_OP_NE, "9999", 1, L"`D`<[99990101]"},
        // A complete value, or one that is not generic, is compared as it is.
        {L"D", NA_OP_EQ, "20240315", 1, L"`D`=[20240315]"},
        {L"D", NA_OP_EQ, "2024", 0, L"`D`=[2024]"},
        {L"D", NA_OP_GT, "2024", 1, L"`D`>[2024]"},
        // A time on a connection without time items: its prefix as text.
        {L"H", NA_OP_EQ, "12", 1, L"`H` LIKE [12%]"},
        {L"H", NA_OP_NE, "12", 1, L"`H` NOT LIKE [12%]"},
        {L"H", NA_OP_GT, "12", 1, L"`H`>[12]"},
        {L"H", NA_OP_LE, "12", 0x81, L"`H`<=[12]"},
    };
    for (const Case& c : cases) {
        const std::wstring shown = Shown(Cmp(c.column, c.op, Ansi(c.value), c.flags));
        EXPECT_EQ(std::wstring(c.shown), shown) << c.value << " " << c.op;
    }
}

TEST_F(ConditionForms, DateBounds)
{
    struct Case
    {
        eNA_ITEMTYPE type;
        const char* value;
        const wchar_t* min;
        const wchar_t* max;  // null: none
    };
    const Case cases[] = {
        {NA_IT_DATE8, "2024", L"20240101", L"20250101"},
        {NA_IT_DATE8, "202412", L"20241201", L"20250101"},
        {NA_IT_DATE8, "9999", L"99990101", nullptr},
        {NA_IT_DATETIME, "2024123123", L"20241231230000000", L"20250101000000000"},
        {NA_IT_HEURE, "23", L"230000000", nullptr},
        {NA_IT_HEURE, "1", L"100000000", L"200000000"},  // "1" is the hour 10
    };
    for (const Case& c : cases) {
        CAny clMin;
        CAny clMax;
        CAny clValue = Ansi(c.value);
        ASSERT_EQ(1, CNAExpression::s_bGetBorneRechercheDateGenerique(c.type, &clValue, &clMin, &clMax)) << c.value;
        EXPECT_STREQ(c.min, NA_pszWideTextOf(&clMin)) << c.value;
        if (c.max == nullptr)
            EXPECT_TRUE(clMax.bIsNull()) << c.value;
        else
            EXPECT_STREQ(c.max, NA_pszWideTextOf(&clMax)) << c.value;
    }
}

TEST_F(ConditionForms, ZeroDates)
{
    // Kind 5 keeps a zero date as a value.
    EXPECT_EQ(L"`D`=[00000000]", Shown(Cmp(L"D", NA_OP_EQ, Ansi("00000000"))));
    // A kind that stores no zero date reads it, and an empty date, as NULL.
    Connection().SetDBKind(2);
    EXPECT_EQ(L"`D` IS NULL", Shown(Cmp(L"D", NA_OP_EQ, Ansi("00000000"))));
    EXPECT_EQ(L"`D` IS NULL", Shown(Cmp(L"D", NA_OP_EQ, Ansi(""))));
    EXPECT_EQ(L"`D` IS NOT NULL", Shown(Cmp(L"D", NA_OP_GT, Ansi("00000000123"))));
}

TEST_F(ConditionForms, TriviallyTrueBounds)
{
    struct Case
    {
        CAny value;
        eNAOperator op;
        int bTrue;
    };
    CAny clWideMax;
    const wchar_t szMax[] = {0xFFFF, L'a', 0};
    NA_bSetWideText(&clWideMax, ZLTYPE_DSTRW, szMax);
    const Case cases[] = {
        {Bool(false), NA_OP_GE, 1},   {Bool(true), NA_OP_LE, 1},     {Bool(true), NA_OP_GE, 0},
        {Bool(false), NA_OP_LE, 0},   {Ansi(""), NA_OP_GE, 1},       {Ansi("a"), NA_OP_GE, 0},
        {Ansi("\xFF"), NA_OP_LE, 1},  {Ansi("\xFF" "A"), NA_OP_LE, 0}, {Ansi("\xFF"), NA_OP_GE, 0},
        {Ansi(""), NA_OP_LE, 0},      {clWideMax, NA_OP_LE, 1},      {Wide(L""), NA_OP_GE, 1},
        {Wide(L"z"), NA_OP_LE, 0},    {Null(ZLTYPE_DSTRA), NA_OP_GE, 1}, {Null(ZLTYPE_DSTRA), NA_OP_LE, 0},
        {Int(0), NA_OP_GE, 0},        {Ansi(""), NA_OP_EQ, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].bTrue, CNAExpression::s_bExpressionTrue(cases[i].op, m_pclConnection, &cases[i].value)) << i;
    Connection().SetNullsLast(true);
    CAny clNull = Null(ZLTYPE_DSTRA);
    EXPECT_EQ(0, CNAExpression::s_bExpressionTrue(NA_OP_GE, m_pclConnection, &clNull));
    EXPECT_EQ(1, CNAExpression::s_bExpressionTrue(NA_OP_LE, m_pclConnection, &clNull));
    Connection().SetNullsLast(false);

    // Written, a trivially true text bound writes nothing.
    int nDropped = -1;
    EXPECT_EQ(L"", Shown(Cmp(L"T", NA_OP_LE, Ansi("\xFF")), NA_OP_NONE, &nDropped));
    EXPECT_EQ(11, nDropped);
    EXPECT_EQ(L"`K`>[1]", Shown(Node(NA_OP_AND, Cmp(L"K", NA_OP_GT, Int(1)), Cmp(L"T", NA_OP_GE, Ansi("")))));
}

}  // namespace
}  // namespace vxtest
