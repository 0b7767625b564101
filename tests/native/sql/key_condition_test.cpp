// The key-condition builder: one condition for an item, by operator, on one
// column, a composite key or the columns that identify the record; the
// smallest and largest values of the runtime types.
#include <cmath>

#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"
#include "common/text/money.h"
#include "tests/native/sql/key_search_fixture.h"

namespace vxtest {
namespace {

class KeyCondition : public KeySearchTest
{
protected:
    void BuildMore() override { Add(L"B", NA_IT_BOOLEEN, 1); }

    // The condition for the item, written into a fresh command; "(none)"
    // when none results.
    std::wstring Condition(const wchar_t* pszItem, eNAOperator eOp, const CAny* pclValue, unsigned nOptions)
    {
        CNARecherche* pclSearch = NewSearch();
        CNAExpression* pclNode = pclSearch->_pclAddExpression(m_record, Item(pszItem), eOp, pclValue, nOptions, nullptr);
        if (pclNode == nullptr)
            return L"(none)";
        REF_AddRef(pclNode);
        int nDropped = 0;
        m_pclCommand->ResetCommand(0);
        EXPECT_EQ(1, pclNode->bGetSQL(m_pclCommand, NA_OP_NONE, pclSearch, &nDropped, m_record));
        REF_Release(pclNode);
        return WithValues(pclSearch);
    }
};

TEST_F(KeyCondition, TrivialBoundsGiveNoCondition)
{
    const CAny empty = Ansi("");
    const CAny yes = [] {
        CAny v;
        v.SetBOOL(1);
        return v;
    }();
    EXPECT_EQ(L"(none)", Condition(L"T", NA_OP_GE, &empty, 0));
    EXPECT_EQ(L"(none)", Condition(L"B", NA_OP_LE, &yes, 0));
    // Positioning on the record never drops a bound.
    Set(L"T", empty);
    EXPECT_NE(L"(none)", Condition(L"T", NA_OP_GE, &empty, NA_SEARCH_FROM_RECORD));
}

TEST_F(KeyCondition, LexicographicComparisonOverThreeComponents)
{
    const CAny key = Key(Padded("x", 5) + Bytes<int>(2) + Bytes<short>(3));
    EXPECT_EQ(L"`A`>[x] OR `A`=[x] AND (`N`>[2] OR `N`=[2] AND `C`>=[3])", Condition(L"ANC", NA_OP_GE, &key, 0));
    EXPECT_EQ(L"`A`>[x] OR `A`=[x] AND (`N`>[2] OR `N`=[2] AND `C`>[3])", Condition(L"ANC", NA_OP_GT, &key, 0));
    // A key given as far as its first component.
    const CAny partial = Key(Padded("x", 5));
    EXPECT_EQ(L"`A`>=[x]", Condition(L"ANC", NA_OP_GE, &partial, NA_SEARCH_SPLIT));
    // Other operators give no condition over several columns.
    EXPECT_EQ(L"(none)", Condition(L"ANC", NA_OP_NE, &key, 0));
}

TEST_F(KeyCondition, EqualityOverSeveralColumns)
{
    const CAny idk = Key(Bytes<int>(4) + Bytes<int>(6));
    // The unique first component alone, unless positioning on a record.
    EXPECT_EQ(L"`ID`=[4]", Condition(L"IDK", NA_OP_EQ, &idk, 0));
    // A generic search: the last component is a prefix and cannot qualify.
    const CAny an = Key(Padded("pq", 5) + Bytes<int>(6));
    EXPECT_EQ(L"`A`=[pq] AND `N`=[6]", Condition(L"AN", NA_OP_EQ, &an, 0));
    const CAny prefix = Key("pq");
    EXPECT_EQ(L"`A` LIKE [pq%]", Condition(L"AN", NA_OP_EQ, &prefix, NA_SEARCH_GENERIC));
}

TEST_F(KeyCondition, AGenericBoundOnText)
{
    const CAny p = Ansi("pq");
    EXPECT_EQ(L"`T`>[pq] AND `T` NOT LIKE [pq%]", Condition(L"T", NA_OP_GT, &p, NA_SEARCH_SPLIT | NA_SEARCH_GENERIC));
    // A browse condition keeps the NULL rows sorted before the bound.
    EXPECT_EQ(L"(`T`<[pq] OR `T` IS NULL) OR `T` LIKE [pq%]",
              Condition(L"T", NA_OP_LE, &p, NA_SEARCH_SPLIT | NA_SEARCH_GENERIC));
    EXPECT_EQ(L"`T`>=[pq]", Condition(L"T", NA_OP_GE, &p, NA_SEARCH_SPLIT | NA_SEARCH_GENERIC));
    // A value ending in a NUL character is exact.
    CAny exact;
    exact.__SetType(19, 0);
    NA_nSetAnyAnsi(exact, "pq\0", 3);
    EXPECT_EQ(0u, Condition(L"T", NA_OP_EQ, &exact, NA_SEARCH_GENERIC).find(L"`T`="));
}

TEST_F(KeyCondition, LastComponentUpToTheMaximumCharacterTakesItsGroup)
{
    const CAny key = Key(Padded("ab\xFF", 5));
    EXPECT_EQ(L"`A`<[ab] OR `A` LIKE [ab%]", Condition(L"AN", NA_OP_LE, &key, NA_SEARCH_SPLIT | NA_SEARCH_UPPER_BOUND));
}

TEST(KeyBounds, SmallestAndLargestOfEachType)
{
    struct stCase
    {
        unsigned short nCode;
        std::function<void(CAny&)> set;
        std::wstring min, max;
    };
    auto typed = [](unsigned short nCode) { return [nCode](CAny& v) { v.__SetType(nCode, 0); }; };
    const stCase cases[] = {
        {1, typed(1), L"0", L"1"},
        {2, typed(2), L"0", L"255"},
        {3, typed(3), L"0", L"65535"},
        {4, typed(4), L"0", L"4294967295"},
        {5, typed(5), L"0", L"18446744073709551615"},
        {6, typed(6), L"-128", L"127"},
        {7, typed(7), L"-32768", L"32767"},
        {8, typed(8), L"-2147483648", L"2147483647"},
        {9, typed(9), L"-9223372036854775808", L"9223372036854775807"},
        {10, typed(10), L"0", L"604462909807314587.353087"},
        {128, typed(128), L"", L"30001231"},
        {129, typed(129), L"0000", L"235959999"},
        {24, typed(24), L"", L"30001231"},
        {25, typed(25), L"0000", L"235959999"},
    };
    for (const stCase& c : cases) {
        SCOPED_TRACE(c.nCode);
        CAny lo;
        c.set(lo);
        CAny hi(lo);
        CNARecherche::s_SetAnyToMin(&lo);
        CNARecherche::s_SetAnyToMax(&hi);
        EXPECT_EQ(c.nCode, lo.nGetTypeCode());
        EXPECT_EQ(c.nCode, hi.nGetTypeCode());
        EXPECT_EQ(1, CNARecherche::s_bIsAnyMin(&lo));
        EXPECT_EQ(1, CNARecherche::s_bIsAnyMax(&hi));
        const wchar_t* pszLo = NA_pszWideTextOf(&lo);
        const wchar_t* pszHi = NA_pszWideTextOf(&hi);
        EXPECT_EQ(c.min, pszLo != nullptr ? pszLo : L"?");
        EXPECT_EQ(c.max, pszHi != nullptr ? pszHi : L"?");
    }
    // Reals, date-times and durations by their storage.
    CAny r8;
    r8.SetR8(0);
    CNARecherche::s_SetAnyToMax(&r8);
    double d = 0;
    ASSERT_EQ(0, r8.nGetREAL(&d));
    EXPECT_EQ(1.7976931348623157e308, d);
    CAny dt;
    dt.__SetType(ZLTYPE_DATETIME, 0);
    CNARecherche::s_SetAnyToMax(&dt);
    const CDateTimeBase stMax = dt._tLit<CDateTimeBase>();
    EXPECT_EQ(3000, stMax.m_wAnnee);
    EXPECT_EQ(12, stMax.m_byMois);
    EXPECT_EQ(31, stMax.m_byJour);
    CNARecherche::s_SetAnyToMin(&dt);
    EXPECT_TRUE(dt._tLit<CDateTimeBase>().bEstVide());
    CAny du;
    du.__SetType(ZLTYPE_DUREE, 0);
    CNARecherche::s_SetAnyToMin(&du);
    EXPECT_EQ(std::numeric_limits<int64_t>::min(), du._tLit<CDureeBase>().m_llDuree);
    // Other types are left as they are.
    CAny bin;
    bin.SetBIN(reinterpret_cast<const unsigned char*>("ab"), 2);
    CNARecherche::s_SetAnyToMax(&bin);
    EXPECT_EQ(28, bin.nGetTypeCode());
    EXPECT_EQ(2u, NA_nGetAnyUtilSize(bin));
    EXPECT_EQ(0, CNARecherche::s_bIsAnyMax(&bin));
}

}  // namespace
}  // namespace vxtest
