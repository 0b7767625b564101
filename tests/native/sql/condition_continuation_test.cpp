// First conditions turned into continuations, with the query's sort
// direction of their columns; the NULL selection a written condition
// reports; clones and child replacement.
#include "tests/native/sql/condition_fixture.h"
#include "tests/native/sql/sorted_query_fixture.h"

namespace vxtest {
namespace {

class ConditionContinuation : public SortedOnTDescending<ConditionTest>
{
protected:
    // A continuation of the first condition, held under a parent AND.
    std::wstring Continued(CNAExpression* pclFirst, eNAOperator eOp)
    {
        CNAExpression* pclClone = pclFirst->pclClone();
        CNAExpression* pclParent = Node(NA_OP_AND, pclClone, Const(NA_OP_TRUE));
        CNAExpression* pclNew = pclClone->pclTransformEqualTo(m_record, pclParent, eOp);
        EXPECT_EQ(pclNew, pclParent->pclGetLeftNoRef());
        return Shown(pclNew);
    }
};

TEST_F(ConditionContinuation, ForwardAndBackward)
{
    struct Case
    {
        const wchar_t* column;
        const char* value;
        unsigned flags;
        bool descending;
        const wchar_t* forward;
        const wchar_t* backward;
    };
    const Case cases[] = {
        {L"K", "5", 0x80, false, L"`K`>[5]", L"`K`<[5]"},
        {L"T", "ab", 0x80, false, L"`T`>[ab]", L"`T`<[ab]"},
        {L"T", "ab", 0x81, false, L" NOT (`T` LIKE [ab%]) AND `T`>[ab]", L"`T`<[ab]"},
        // Sorted descending, forward is toward the smaller values; a
        // generic prefix goes past its group in that direction.
        {L"K", "5", 0x80, true, L"`K`>[5]", L"`K`<[5]"},
        {L"T", "ab", 0x80, true, L"`T`<[ab]", L"`T`>[ab]"},
        {L"T", "ab", 0x81, true, L"`T`<[ab]", L" NOT (`T` LIKE [ab%]) AND `T`>[ab]"},
    };
    for (const Case& c : cases) {
        if (c.descending && m_pclOrdered == nullptr)
            SortTDescending();
        CNAExpression* pclFirst = Cmp(c.column, NA_OP_EQ, Ansi(c.value), c.flags);
        EXPECT_EQ(std::wstring(c.forward), Continued(pclFirst, NA_OP_GT)) << c.value << c.flags << c.descending;
        EXPECT_EQ(std::wstring(c.backward), Continued(pclFirst, NA_OP_LT)) << c.value << c.flags << c.descending;
        EXPECT_EQ(NA_OP_EQ, pclFirst->eGetOperator()) << "the first condition stays";
    }
    EXPECT_EQ(1, CNAExpression::s_eGetSensTriColonne(m_record, Col(L"T")));
    EXPECT_EQ(0, CNAExpression::s_eGetSensTriColonne(m_record, Col(L"K")));
    EXPECT_EQ(0, CNAExpression::s_eGetSensTriColonne(m_record, Col(L"U")));
}

TEST_F(ConditionContinuation, InnerNodesAndOtherComparisons)
{
    // Each "=" of a tree turns; other comparisons stay.
    CNAExpression* pclTree =
        Node(NA_OP_AND, Cmp(L"K", NA_OP_EQ, Int(1), 0x80), Cmp(L"U", NA_OP_GE, Int(2), 0x80), 0x80);
    EXPECT_EQ(pclTree, pclTree->pclTransformEqualTo(m_record, nullptr, NA_OP_LT));
    EXPECT_EQ(L"`K`<[1] AND `U`>=[2]", Shown(pclTree));
    // A generic text "=" with a NULL value, or a non-text one, only turns.
    EXPECT_EQ(L"`T` IS NOT NULL", Shown(Cmp(L"T", NA_OP_EQ, Null(ZLTYPE_DSTRA), 1)->pclTransformEqualTo(
                                       m_record, nullptr, NA_OP_GT)));
    EXPECT_EQ(L"`K`>[3]", Shown(Cmp(L"K", NA_OP_EQ, Int(3), 0x81)->pclTransformEqualTo(m_record, nullptr, NA_OP_GT)));
}

TEST_F(ConditionContinuation, NullSelection)
{
    CNAColumn* pclK = Col(L"K");
    CNAColumn* pclU = Col(L"U");
    // Before writing: a comparison on the column answers by its value.
    EXPECT_EQ(0, Cmp(L"K", NA_OP_EQ, Int(5))->bColumnValuesNullSelected(pclK));
    EXPECT_EQ(1, Cmp(L"K", NA_OP_EQ, Int(5))->bColumnValuesNullSelected(pclU));
    EXPECT_EQ(1, Cmp(L"K", NA_OP_NE, Int(5))->bColumnValuesNullSelected(pclK));
    EXPECT_EQ(0, Cmp(L"K", NA_OP_GT, Int(5))->bColumnValuesNullSelected(pclK));
    EXPECT_EQ(1, Cmp(L"K", NA_OP_LT, Int(5))->bColumnValuesNullSelected(pclK));
    EXPECT_EQ(1, Cmp(L"K", NA_OP_GE, Int(5))->bColumnValuesNullSelected(pclK));

    struct Case
    {
        CNAExpression* node;
        int k;
        int u;
    };
    CNAExpression* pclKLess = Cmp(L"K", NA_OP_LT, Int(5));  // with its NULL alternative
    CNAExpression* pclKMore = Cmp(L"K", NA_OP_GT, Int(5));
    CNAExpression* pclUMore = Cmp(L"U", NA_OP_GT, Int(5));
    const Case cases[] = {
        {pclKLess, 1, 1},
        {pclKMore, 0, 1},
        {Cmp(L"K", NA_OP_EQ, Null()), 1, 1},
        {Cmp(L"K", NA_OP_GT, Null()), 0, 1},
        {Node(NA_OP_AND, pclKLess, pclKMore), 0, 1},
        {Node(NA_OP_OR, pclKLess, pclKMore), 1, 1},
        {Node(NA_OP_AND, pclKMore, pclUMore), 0, 0},
        {Node(NA_OP_OR, pclKMore, pclUMore), 0, 1},
        {Node(NA_OP_NOT, pclKMore, nullptr), 1, 1},
        {Node(NA_OP_AND, pclKMore, Cmp(L"K", NA_OP_GE, Null())), 0, 1},
        {Cmp(L"D", NA_OP_EQ, Ansi("2024"), 1), 1, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Write(cases[i].node);
        EXPECT_EQ(cases[i].k, cases[i].node->bColumnValuesNullSelected(pclK)) << i;
        EXPECT_EQ(cases[i].u, cases[i].node->bColumnValuesNullSelected(pclU)) << i;
    }
    CNAExpression* pclDate = Cmp(L"D", NA_OP_EQ, Ansi("2024"), 1);
    Write(pclDate);
    EXPECT_EQ(0, pclDate->bColumnValuesNullSelected(Col(L"D")));
}

TEST_F(ConditionContinuation, ClonesAndReplacedChildren)
{
    CNAExpression* pclK = Cmp(L"K", NA_OP_EQ, Int(1));
    CNAExpression* pclTree = Node(NA_OP_OR, pclK, Node(NA_OP_NOT, Cmp(L"U", NA_OP_GT, Int(2)), nullptr), 0x80);
    CNAExpression* pclClone = Held(pclTree->pclClone());
    EXPECT_NE(pclTree, pclClone);
    EXPECT_NE(pclK, pclClone->pclGetLeftNoRef());
    EXPECT_EQ(pclK->pclGetValueNoRef(), pclClone->pclGetLeftNoRef()->pclGetValueNoRef()) << "values are shared";
    EXPECT_EQ(0x80u, pclClone->nGetFlags());
    EXPECT_EQ(Shown(pclTree), Shown(pclClone));
    // Turning the clone leaves the tree.
    pclClone->pclTransformEqualTo(m_record, nullptr, NA_OP_GT);
    EXPECT_EQ(L"`K`=[1] OR  NOT (`U`>[2])", Shown(pclTree));
    EXPECT_EQ(L"`K`>[1] OR  NOT (`U`>[2])", Shown(pclClone));

    CNAExpression* pclOther = Cmp(L"ID", NA_OP_EQ, Int(9));
    pclClone->Insert(pclClone->pclGetLeftNoRef(), pclOther);
    EXPECT_EQ(L"`ID`=[9] OR  NOT (`U`>[2])", Shown(pclClone));
    CNAExpression* pclJoined = Held(pclOther->pclAddOperation(NA_OP_AND, pclK));
    EXPECT_EQ(L"`ID`=[9] AND `K`=[1]", Shown(pclJoined));
}

// A generic search on a composite key's text component is a prefix only
// when it has one.
TEST_F(ConditionContinuation, GenericFlagOfACompositeKeyComponent)
{
    EXPECT_EQ(1, Cmp(L"T", NA_OP_EQ, Ansi("a"), 0x101)->bIsGenerique());
    EXPECT_EQ(0, Cmp(L"T", NA_OP_EQ, Ansi(""), 0x101)->bIsGenerique());
    EXPECT_EQ(0, Cmp(L"T", NA_OP_EQ, Null(ZLTYPE_DSTRA), 0x101)->bIsGenerique());
    EXPECT_EQ(1, Cmp(L"T", NA_OP_EQ, Ansi(""), 0x1)->bIsGenerique());
    EXPECT_EQ(1, Cmp(L"K", NA_OP_EQ, Int(0), 0x101)->bIsGenerique());
}

}  // namespace
}  // namespace vxtest
