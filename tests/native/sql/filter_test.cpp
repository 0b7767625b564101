// Filters between bounds written as WHERE text on the test connection: the
// bounds in a descending item's browse order, equal bounds, bounds at a
// type's minimum and maximum, text maxima, composite bounds, the state and
// the saved filter.
#include "native/sql/filter_save.h"
#include "tests/native/sql/key_search_fixture.h"

namespace vxtest {
namespace {

class Filter : public KeySearchTest
{
protected:
    void BuildMore() override { Add(L"DK", NA_IT_I4, 4, NA_KEY_DUPLICATES | NA_KEY_DESCENDING); }

    // The filter between the bounds (null: none), written by itself; "-"
    // when bSetFilter fails, "(none)" when it builds no condition.
    std::wstring Between(const wchar_t* pszItem, const CAny* pclMin, int bMinIncluded, const CAny* pclMax,
                         int bMaxIncluded)
    {
        CNAFilter* pclFilter = NewFilter();
        if (!pclFilter->bSetFilter(m_record, Item(pszItem), pclMin, bMinIncluded, pclMax, bMaxIncluded, nullptr, 0))
            return L"-";
        if (pclFilter->pclGetExpressionNoRef(0) == nullptr)
            return L"(none)";
        pclFilter->ActivateFilter(1);
        return Shown(pclFilter);
    }
};

TEST_F(Filter, BoundsIncludedAndExcluded)
{
    const CAny lo = Int(1);
    const CAny hi = Int(9);
    EXPECT_EQ(L"`K`>=[1] AND `K`<=[9]", Between(L"K", &lo, 1, &hi, 1));
    EXPECT_EQ(L"`K`>[1] AND `K`<[9]", Between(L"K", &lo, 0, &hi, 0));
    EXPECT_EQ(L"`K`>=[1]", Between(L"K", &lo, 1, nullptr, 0));
    EXPECT_EQ(L"`K`<[9]", Between(L"K", nullptr, 0, &hi, 0));
    // No bound and no condition: true, nothing.
    EXPECT_EQ(L"(none)", Between(L"K", nullptr, 0, nullptr, 0));
}

TEST_F(Filter, EqualBoundsSelectTheValueOnlyWhenBothIncludeIt)
{
    const CAny ten = Int(10);
    EXPECT_EQ(L"`K`=[10]", Between(L"K", &ten, 1, &ten, 1));
    // The empty ranges select nothing.
    EXPECT_EQ(L"0=1", Between(L"K", &ten, 0, &ten, 0));
    EXPECT_EQ(L"0=1", Between(L"K", &ten, 1, &ten, 0));
    EXPECT_EQ(L"0=1", Between(L"K", &ten, 0, &ten, 1));
}

TEST_F(Filter, ADescendingItemsBoundsKeepTheirIncludedFlags)
{
    // Given in browse order: the first bound is the larger value.
    const CAny nine = Int(9);
    const CAny one = Int(1);
    EXPECT_EQ(L"`DK`>=[1] AND `DK`<=[9]", Between(L"DK", &nine, 1, &one, 1));
    EXPECT_EQ(L"`DK`>[1] AND `DK`<=[9]", Between(L"DK", &nine, 1, &one, 0));
    EXPECT_EQ(L"`DK`>=[1] AND `DK`<[9]", Between(L"DK", &nine, 0, &one, 1));
}

TEST_F(Filter, BoundsAtTheTypesMinimumAndMaximum)
{
    const CAny zero = Byte(0);
    const CAny top = Byte(255);
    // Only the bound every value meets is left out.
    EXPECT_EQ(L"(none)", Between(L"U", &zero, 1, nullptr, 0));
    EXPECT_EQ(L"(none)", Between(L"U", nullptr, 0, &top, 1));
    EXPECT_EQ(L"`U`<=[0]", Between(L"U", nullptr, 0, &zero, 1));
    EXPECT_EQ(L"`U`>=[255]", Between(L"U", &top, 1, nullptr, 0));
    EXPECT_EQ(L"`U`<[0]", Between(L"U", nullptr, 0, &zero, 0));
    EXPECT_EQ(L"`U`>[255]", Between(L"U", &top, 0, nullptr, 0));
    EXPECT_EQ(L"`U`>[0]", Between(L"U", &zero, 0, nullptr, 0));
    const CAny intMin = Int(-2147483647 - 1);
    EXPECT_EQ(L"(none)", Between(L"K", &intMin, 1, nullptr, 0));
    EXPECT_EQ(L"`K`>[-2147483648]", Between(L"K", &intMin, 0, nullptr, 0));
}

TEST_F(Filter, TextBounds)
{
    const CAny empty = Ansi("");
    const CAny m = Ansi("m");
    // ">=" an empty text: only the upper bound.
    EXPECT_EQ(L"`T`<=[m]", Between(L"T", &empty, 1, &m, 1));
    // A text ending at the maximum character: the group of its prefix.
    const CAny abMax = Ansi("ab\xFF\xFF");
    EXPECT_EQ(L"`T`<[ab] OR `T` LIKE [ab%]", Between(L"T", nullptr, 0, &abMax, 1));
    EXPECT_EQ(L"`T`<[ab] OR `T` LIKE [ab%]", Between(L"T", nullptr, 0, &abMax, 0));
    EXPECT_EQ(L"`T`>[ab] AND `T` NOT LIKE [ab%]", Between(L"T", &abMax, 0, nullptr, 0));
    // Nothing but the maximum character: every value is below it.
    const CAny onlyMax = Ansi("\xFF");
    EXPECT_EQ(L"(none)", Between(L"T", nullptr, 0, &onlyMax, 1));
}

TEST_F(Filter, CompositeBounds)
{
    const CAny lo = Key(Padded("ab", 5) + Bytes<int>(1));
    const CAny hi = Key(Padded("ab", 5) + Bytes<int>(5));
    EXPECT_EQ(L"(`A`>[ab] OR `A`=[ab] AND `N`>=[1]) AND (`A`<[ab] OR `A`=[ab] AND `N`<=[5])",
              Between(L"AN", &lo, 1, &hi, 1));
    // A key ended by a maximum filler leaves its component out.
    const CAny upToAb = Key(Padded("ab", 5) + "\xFF");
    EXPECT_EQ(L"`A`<=[ab]", Between(L"AN", nullptr, 0, &upToAb, 1));
    const CAny fromAb = Key(Padded("ab", 5) + std::string(1, '\0'));
    EXPECT_EQ(L"`A`>=[ab]", Between(L"AN", &fromAb, 1, nullptr, 0));
}

TEST_F(Filter, StateAndSavedFilter)
{
    CNAFilter* pclFilter = NewFilter();
    const CAny lo = Int(1);
    ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"K"), &lo, 1, nullptr, 0, nullptr, 0));
    EXPECT_EQ(0, pclFilter->bIsFilterActive());
    CNAFilterSave save(pclFilter);
    EXPECT_EQ(1, save.bFilterEquals(nullptr));
    pclFilter->ActivateFilter(1);
    EXPECT_EQ(0, save.bFilterEquals(pclFilter));
    save.SetFilter(pclFilter);
    EXPECT_EQ(1, save.bFilterEquals(pclFilter));
    EXPECT_EQ(0, g_bEqualsFilter(nullptr, pclFilter));
    CNAFilter* pclClone = static_cast<CNAFilter*>(Held(pclFilter->pclClone()));
    EXPECT_EQ(1, pclClone->bIsFilterActive());
    EXPECT_EQ(L"`K`>=[1]", Shown(pclClone));
    // Deactivated: the first condition is kept for a later activation.
    pclFilter->ActivateFilter(0);
    EXPECT_EQ(nullptr, pclFilter->pclGetCurrentExpressionNoRef());
    EXPECT_NE(nullptr, pclFilter->pclGetExpressionNoRef(0));
    EXPECT_EQ(1, g_bEqualsFilter(nullptr, pclFilter));
}

}  // namespace
}  // namespace vxtest
