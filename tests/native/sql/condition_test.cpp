// Condition nodes written as WHERE text on the test connection (kind 5,
// backquotes, NULL sorted first): exact texts, with each bound value shown
// in brackets at its parameter's place.
#include "tests/native/sql/condition_fixture.h"

namespace vxtest {
namespace {

using Condition = ConditionTest;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

TEST_F(Condition, OperatorTable)
{
    struct Case
    {
        int op;
        const wchar_t* text;
        int code;
        int inverted;
    };
    const Case cases[] = {{0, L"", -1, 0},          {1, L" OR ", -1, 1},  {2, L" AND ", -1, 2},   {3, L" NOT ", -1, 3},
                          {4, L"=", 9, 4},          {5, L">", 13, 6},     {6, L"<", 11, 5},       {7, L">=", 14, 8},
                          {8, L"<=", 12, 7},        {9, L"", -1, 9},      {10, L"0=1", -1, 10},   {11, L"1=1", -1, 11},
                          {12, L"<>", 10, 12},      {13, L" IS NULL", 33, 13}, {14, L"IS NOT NULL", -1, 14},
                          {15, L"", -1, 15}};
    for (const Case& c : cases) {
        const auto op = static_cast<eNAOperator>(c.op);
        EXPECT_STREQ(c.text, CNAExpression::s_pszDumpOp(op)) << c.op;
        EXPECT_EQ(c.code, static_cast<int>(CNAExpression::Convert_eNAOperator_To_eOPEXPRESSION(op))) << c.op;
        EXPECT_EQ(c.inverted, static_cast<int>(CNAExpression::s_eInvertOperator(op))) << c.op;
    }
}

TEST_F(Condition, ComparisonsAndTheirNullAlternative)
{
    struct Case
    {
        const wchar_t* column;
        eNAOperator op;
        int value;
        unsigned flags;
        const wchar_t* shown;
    };
    // NULL sorts first: "<=" and "<" take the NULL rows along, unless the
    // value could stand for NULL ("<" 0) or the column never is NULL.
    const Case cases[] = {
        {L"K", NA_OP_GT, 5, 0, L"`K`>[5]"},
        {L"K", NA_OP_GE, 5, 0, L"`K`>=[5]"},
        {L"K", NA_OP_LT, 5, 0, L"(`K`<[5] OR `K` IS NULL)"},
        {L"K", NA_OP_LT, 0, 0, L"`K`<[0]"},
        {L"K", NA_OP_LE, 0, 0, L"(`K`<=[0] OR `K` IS NULL)"},
        {L"K", NA_OP_EQ, 5, 0, L"`K`=[5]"},
        {L"K", NA_OP_NE, 5, 0, L"`K`<>[5]"},
        {L"ID", NA_OP_LE, 5, 0, L"`ID`<=[5]"},
        {L"K", NA_OP_LE, 5, 0x80, L"`K`<=[5]"},
        {L"K", NA_OP_EQ, 0, 0x40, L"(`K`=[0] OR `K` IS NULL)"},
        {L"K", NA_OP_GE, 0, 0x40, L"(`K`>=[0] OR `K` IS NULL)"},
        {L"K", NA_OP_LE, 0, 0x40, L"`K`<=[0]"},
        {L"K", NA_OP_EQ, 5, 0x40, L"`K`=[5]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.shown), Shown(Cmp(c.column, c.op, Int(c.value), c.flags))) << Narrow(c.shown);

    Connection().SetNullsLast(true);
    EXPECT_EQ(L"(`K`>[5] OR `K` IS NULL)", Shown(Cmp(L"K", NA_OP_GT, Int(5))));
    EXPECT_EQ(L"(`K`>=[5] OR `K` IS NULL)", Shown(Cmp(L"K", NA_OP_GE, Int(5))));
    EXPECT_EQ(L"`K`<=[5]", Shown(Cmp(L"K", NA_OP_LE, Int(5))));
}

TEST_F(Condition, ThePlainColumnRuleOfKinds8And11)
{
    Connection().SetDBKind(8);
    EXPECT_EQ(L"(`K`<[5] OR `K` IS NULL)", Shown(Cmp(L"K", NA_OP_LT, Int(5))));
}

TEST_F(Condition, NullValues)
{
    struct Case
    {
        eNAOperator op;
        bool nullsLast;
        int dropped;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {NA_OP_GE, false, 11, L""},
        {NA_OP_LE, false, 11, L""},
        {NA_OP_GE, true, 11, L""},
        {NA_OP_LT, false, 10, L""},
        {NA_OP_GT, false, 0, L"`K` IS NOT NULL"},
        {NA_OP_GT, true, 10, L""},
        {NA_OP_LT, true, 0, L"`K` IS NOT NULL"},
        {NA_OP_EQ, false, 0, L"`K` IS NULL"},
        // Different from NULL: the rows that have a value.
        {NA_OP_NE, false, 0, L"`K` IS NOT NULL"},
    };
    for (const Case& c : cases) {
        Connection().SetNullsLast(c.nullsLast);
        int nDropped = -1;
        EXPECT_EQ(std::wstring(c.shown), Shown(Cmp(L"K", c.op, Null()), NA_OP_NONE, &nDropped)) << c.op;
        EXPECT_EQ(c.dropped, nDropped) << c.op;
        EXPECT_EQ(0, m_search.nGetNbParameter());
    }
    Connection().SetNullsLast(false);
    // The NULL tests whatever the value.
    EXPECT_EQ(L"`K` IS NULL", Shown(Cmp(L"K", NA_OP_IS_NULL, Int(3))));
    EXPECT_EQ(L"`K` IS NOT NULL", Shown(Cmp(L"K", NA_OP_IS_NOT_NULL, Int(3))));
}

TEST_F(Condition, BooleanColumns)
{
    struct Case
    {
        eNAOperator op;
        bool value;
        int dropped;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {NA_OP_GT, true, 10, L""},         {NA_OP_GT, false, 0, L"`B`<>[0]"}, {NA_OP_LT, true, 0, L"`B`<>[1]"},
        {NA_OP_LT, false, 10, L""},        {NA_OP_GE, true, 0, L"`B`=[1]"},   {NA_OP_GE, false, 11, L""},
        {NA_OP_LE, true, 11, L""},         {NA_OP_LE, false, 0, L"`B`=[0]"},  {NA_OP_EQ, true, 0, L"`B`=[1]"},
    };
    for (const Case& c : cases) {
        int nDropped = -1;
        CNAExpression* pclNode = Cmp(L"B", c.op, Bool(c.value), 0x80);
        EXPECT_EQ(std::wstring(c.shown), Shown(pclNode, NA_OP_NONE, &nDropped)) << c.op << c.value;
        EXPECT_EQ(c.dropped, nDropped);
        EXPECT_EQ(c.op, pclNode->eGetOperator()) << "the node itself is left as built";
    }
    // Under an AND the constant folds the AND.
    int nDropped = -1;
    EXPECT_EQ(L"`K`>[1]",
              Shown(Node(NA_OP_AND, Cmp(L"K", NA_OP_GT, Int(1)), Cmp(L"B", NA_OP_LE, Bool(true), 0x80)), NA_OP_NONE,
                    &nDropped));
}

}  // namespace
}  // namespace vxtest
