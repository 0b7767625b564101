// Condition nodes written as WHERE text on the test connection (kind 5,
// backquotes, NULL sorted first): exact texts, with each bound value shown
// in brackets at its parameter's place.
#include <cwchar>
#include <memory>

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

    Connection().SetNullSortsFirst(false);
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
        Connection().SetNullSortsFirst(!c.nullsLast);
        int nDropped = -1;
        EXPECT_EQ(std::wstring(c.shown), Shown(Cmp(L"K", c.op, Null()), NA_OP_NONE, &nDropped)) << c.op;
        EXPECT_EQ(c.dropped, nDropped) << c.op;
        EXPECT_EQ(0, m_search.nGetNbParameter());
    }
    Connection().SetNullSortsFirst(true);
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

TEST_F(Condition, InnerNodesAndParentheses)
{
    CNAExpression* pclGreater = Cmp(L"K", NA_OP_GT, Int(5));
    EXPECT_EQ(L"`K`>[5]", Shown(Node(NA_OP_AND, pclGreater, Const(NA_OP_TRUE))));
    EXPECT_EQ(L"`K`>[5]", Shown(Node(NA_OP_OR, Const(NA_OP_FALSE), pclGreater)));
    CNAExpression* pclOr = Node(NA_OP_OR, Cmp(L"K", NA_OP_EQ, Int(1)), Cmp(L"U", NA_OP_EQ, Int(2)));
    EXPECT_EQ(L"`K`=[1] OR `U`=[2]", Shown(pclOr));
    EXPECT_EQ(L"`K`=[1] OR `U`=[2]", Shown(pclOr, NA_OP_OR));
    EXPECT_EQ(L"(`K`=[1] OR `U`=[2])", Shown(pclOr, NA_OP_AND));
    EXPECT_EQ(L"`ID`>[0] AND (`K`=[1] OR `U`=[2])", Shown(Node(NA_OP_AND, Cmp(L"ID", NA_OP_GT, Int(0)), pclOr)));
    EXPECT_EQ(L" NOT ((`K`=[1] OR `U`=[2]))", Shown(Node(NA_OP_NOT, pclOr, nullptr)));
    EXPECT_EQ(L"`K`=[1] OR `U`=[2] OR `ID`=[3]", Shown(Node(NA_OP_OR, pclOr, Cmp(L"ID", NA_OP_EQ, Int(3)))));

    struct Case
    {
        eNAOperator op;
        eNAOperator left;
        eNAOperator right;
        int dropped;
    };
    // Constant children fold the node.
    const Case cases[] = {{NA_OP_AND, NA_OP_FALSE, NA_OP_NONE, 10}, {NA_OP_AND, NA_OP_NONE, NA_OP_FALSE, 10},
                          {NA_OP_OR, NA_OP_TRUE, NA_OP_NONE, 11},   {NA_OP_OR, NA_OP_NONE, NA_OP_TRUE, 11},
                          {NA_OP_AND, NA_OP_TRUE, NA_OP_TRUE, 11},  {NA_OP_OR, NA_OP_FALSE, NA_OP_FALSE, 10}};
    for (const Case& c : cases) {
        CNAExpression* pclLeft = c.left == NA_OP_NONE ? pclGreater : Const(c.left);
        CNAExpression* pclRight = c.right == NA_OP_NONE ? pclGreater : Const(c.right);
        int nDropped = -1;
        EXPECT_EQ(L"", Shown(Node(c.op, pclLeft, pclRight), NA_OP_AND, &nDropped));
        EXPECT_EQ(c.dropped, nDropped);
    }
    // A constant leaf on its own is written.
    EXPECT_EQ(L"0=1", Shown(Const(NA_OP_FALSE)));
}

// Children that drop themselves while written (a NULL bound, a trivially
// true one) take back exactly what the node wrote, text and values.
TEST_F(Condition, DroppedChildren)
{
    CNAExpression* pclA = Cmp(L"K", NA_OP_GT, Int(5));
    CNAExpression* pclB = Cmp(L"U", NA_OP_EQ, Int(7));
    CNAExpression* pclTrue = Cmp(L"K", NA_OP_GE, Null());   // dropped as 1=1
    CNAExpression* pclFalse = Cmp(L"K", NA_OP_LT, Null());  // dropped as 0=1
    CNAExpression* pclOrAB = Node(NA_OP_OR, pclA, pclB);
    struct Case
    {
        CNAExpression* node;
        eNAOperator parent;
        int dropped;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {Node(NA_OP_AND, pclA, pclFalse), NA_OP_NONE, 10, L""},
        {Node(NA_OP_AND, pclFalse, pclA), NA_OP_NONE, 10, L""},
        {Node(NA_OP_OR, pclTrue, pclA), NA_OP_NONE, 11, L""},
        {Node(NA_OP_OR, pclA, pclTrue), NA_OP_NONE, 11, L""},
        {Node(NA_OP_AND, pclA, pclTrue), NA_OP_NONE, 0, L"`K`>[5]"},
        // The right child alone, with the node's own parent operator.
        {Node(NA_OP_AND, pclTrue, pclOrAB), NA_OP_AND, 0, L"(`K`>[5] OR `U`=[7])"},
        {Node(NA_OP_OR, pclFalse, pclOrAB), NA_OP_NONE, 0, L"`K`>[5] OR `U`=[7]"},
        // A written left child keeps its parenthesis closed.
        {Node(NA_OP_OR, pclOrAB, pclFalse), NA_OP_AND, 0, L"(`K`>[5] OR `U`=[7])"},
        // Both dropped: the right child's reason.
        {Node(NA_OP_AND, pclTrue, pclFalse), NA_OP_NONE, 10, L""},
        {Node(NA_OP_OR, pclFalse, pclTrue), NA_OP_NONE, 11, L""},
        {Node(NA_OP_AND, pclTrue, pclTrue), NA_OP_NONE, 11, L""},
        // NOT of a constant is the other one.
        {Node(NA_OP_NOT, pclTrue, nullptr), NA_OP_NONE, 10, L""},
        {Node(NA_OP_AND, pclA, Node(NA_OP_NOT, pclFalse, nullptr)), NA_OP_NONE, 0, L"`K`>[5]"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        int nDropped = -1;
        const std::wstring shown = Shown(c.node, c.parent, &nDropped);
        EXPECT_EQ(std::wstring(c.shown), shown) << i;
        EXPECT_EQ(c.dropped, nDropped) << i;
        // After text that ends with a value: that value and the text stay,
        // and the node adds its own text and values only.
        m_pclCommand->ResetCommand(0);
        m_search.RemoveAllParameters();
        ASSERT_EQ(1, Cmp(L"ID", NA_OP_EQ, Int(1))->bGetSQL(m_pclCommand, NA_OP_AND, &m_search, nullptr, m_record));
        ASSERT_EQ(1, m_pclCommand->bComplete(L" AND ", static_cast<unsigned long>(-1)));
        CNAParameter* pclFirst = m_search.pclGetParameterNoRef(0);
        ASSERT_EQ(1, c.node->bGetSQL(m_pclCommand, c.parent, &m_search, &nDropped, m_record)) << i;
        std::wstring bare;
        int nValues = 0;
        for (wchar_t ch : shown) {
            if (ch == L'[')
                ++nValues;
            if (ch == L'[' || (!bare.empty() && bare.back() == L'[')) {
                if (ch == L']')
                    bare.pop_back();
                else if (ch == L'[')
                    bare.push_back(ch);
                continue;
            }
            bare.push_back(ch);
        }
        EXPECT_EQ(L"`ID`= AND " + bare, std::wstring(m_pclCommand->pszGetOriginalSQL())) << i;
        ASSERT_EQ(1 + nValues, m_search.nGetNbParameter()) << i;
        EXPECT_EQ(1 + nValues, m_pclCommand->nGetParameterNbr()) << i;
        EXPECT_EQ(pclFirst, m_search.pclGetParameterNoRef(0)) << i;
        EXPECT_EQ(pclFirst, m_pclCommand->pclGetParameterNoRef(0)) << i;
    }
}

TEST_F(Condition, ADroppedNodeLeavesTextAndValuesAsTheyWere)
{
    // "`ID`=[1] AND " then an AND whose right child is false.
    ASSERT_EQ(1, Cmp(L"ID", NA_OP_EQ, Int(1))->bGetSQL(m_pclCommand, NA_OP_AND, &m_search, nullptr, m_record));
    ASSERT_EQ(1, m_pclCommand->bComplete(L" AND ", static_cast<unsigned long>(-1)));
    const std::wstring before = m_pclCommand->pszGetOriginalSQL();
    int nDropped = -1;
    CNAExpression* pclNode = Node(NA_OP_AND, Node(NA_OP_OR, Cmp(L"K", NA_OP_GT, Int(5)), Cmp(L"U", NA_OP_LT, Int(9))),
                                  Cmp(L"K", NA_OP_LT, Null()));
    ASSERT_EQ(1, pclNode->bGetSQL(m_pclCommand, NA_OP_AND, &m_search, &nDropped, m_record));
    EXPECT_EQ(10, nDropped);
    EXPECT_EQ(before, m_pclCommand->pszGetOriginalSQL());
    ASSERT_EQ(1, m_search.nGetNbParameter());
    ASSERT_EQ(1, m_pclCommand->nGetParameterNbr());
    EXPECT_EQ(m_search.pclGetParameterNoRef(0), m_pclCommand->pclGetParameterNoRef(0));
    EXPECT_EQ(5u, m_search.pclGetParameterNoRef(0)->nGetPosition());
    EXPECT_EQ(L"`ID`=1 AND ", Formatted(m_pclCommand));
}

// A condition the host parsed is written by the command; the values it
// binds become the search's.
TEST_F(Condition, AParsedCondition)
{
    StandinParsedQuery& parse = ParseWhereKIs7();
    CNAExpression* pclParsed = Held(Empty()->pclAllocExpression(&parse, 0));
    ASSERT_NE(nullptr, pclParsed);
    EXPECT_EQ(NA_OP_SQL, pclParsed->eGetOperator());
    const std::wstring shown = Shown(Node(NA_OP_AND, Cmp(L"ID", NA_OP_GT, Int(1)), pclParsed));
    EXPECT_EQ(L"`ID`>[1] AND `K` = [7]", shown);
    EXPECT_EQ(2, m_search.nGetNbParameter());
    EXPECT_EQ(m_pclCommand->pclGetParameterNoRef(1), m_search.pclGetParameterNoRef(1));
    // Its clone shares the parsed condition.
    CNAExpression* pclClone = Held(pclParsed->pclClone());
    EXPECT_EQ(pclParsed->pclGetSourceQueryNoRef(), pclClone->pclGetSourceQueryNoRef());
}

}  // namespace
}  // namespace vxtest
