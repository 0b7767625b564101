// Column lists of INSERT statements and indexes (commas, counts, growth by
// whole steps, a refused allocation), and the record of which columns' NULL
// values a search's conditions still select (combining by AND and OR,
// copying, look-up by name in the source).
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "native/model/column.h"
#include "native/model/column_list.h"
#include "native/model/column_null_exclusions.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/fakes/fake_item_description.h"
#include "tests/native/model/model_fixture.h"

namespace {

constexpr auto kOr = static_cast<eNAOperator>(1);
constexpr auto kAnd = static_cast<eNAOperator>(2);
constexpr auto kEqual = static_cast<eNAOperator>(4);

TEST(ColumnList, CommaBeforeEveryColumnAfterTheFirstAndOneCountPerCall)
{
    CColumnList list;
    EXPECT_STREQ(L"", list.pszGet());
    ASSERT_EQ(1, list.AddColumn(L"A"));
    ASSERT_EQ(1, list.AddColumn(L""));
    ASSERT_EQ(1, list.AddColumn(L"B"));
    ASSERT_EQ(1, list.AddColumn(nullptr));
    EXPECT_STREQ(L"A,,B,", list.pszGet());
    EXPECT_EQ(4, list.nGetNbColumn());
    EXPECT_EQ(5, list.llGetLength());

    // Emptied, it starts again without a comma and keeps its buffer.
    const int64_t llCapacity = list.llGetCapacity();
    list.Empty();
    EXPECT_STREQ(L"", list.pszGet());
    EXPECT_EQ(0, list.nGetNbColumn());
    EXPECT_EQ(llCapacity, list.llGetCapacity());
    list.AddColumn(L"C");
    EXPECT_STREQ(L"C", list.pszGet());
}

TEST(ColumnList, GrowsInWholeStepsAndKeepsTheText)
{
    CColumnList list;
    const std::wstring a(1000, L'a');
    const std::wstring b(1024, L'b');
    list.AddColumn(a.c_str());
    EXPECT_EQ(1024, list.llGetCapacity());
    list.AddColumn(b.c_str());
    // 2025 characters: the next whole step above.
    EXPECT_EQ(2048, list.llGetCapacity());
    list.AddColumn(L"c");
    EXPECT_EQ(a + L"," + b + L",c", std::wstring(list.pszGet()));
    EXPECT_EQ(2027, list.llGetLength());
    // Exactly full, then one more.
    const std::wstring c(20, L'c');
    list.AddColumn(c.c_str());
    EXPECT_EQ(2048, list.llGetLength());
    EXPECT_EQ(2048, list.llGetCapacity());
    list.AddColumn(L"");
    EXPECT_EQ(3072, list.llGetCapacity());
    EXPECT_EQ(a + L"," + b + L",c," + c + L",", std::wstring(list.pszGet()));
}

TEST(ColumnList, ARefusedAllocationChangesNothing)
{
    CColumnList list;
    list.AddColumn(L"ID");
    vxtest::XmallocFailures failures;
    failures.FailAll(true);
    const std::wstring wide(2000, L'x');
    EXPECT_EQ(0, list.AddColumn(wide.c_str()));
    EXPECT_STREQ(L"ID", list.pszGet());
    EXPECT_EQ(1, list.nGetNbColumn());
    // What fits the buffer still goes in.
    EXPECT_EQ(1, list.AddColumn(L"NAME"));
    EXPECT_STREQ(L"ID,NAME", list.pszGet());
}

// --- NULL values still selected ---------------------------------------------

class NullExclusions : public vxtest::ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        for (const wchar_t* name : {L"ID", L"Name", L"CITY"}) {
            m_items.emplace_back(NA_IT_I4, name);
            m_columns.push_back(new CNAColumn(m_pclError, &m_items.back()));
            REF_AddRef(m_columns.back());
        }
    }
    void TearDown() override
    {
        for (CNAColumn* pclColumn : m_columns)
            REF_Release(pclColumn);
        for (const auto& item : m_items)
            EXPECT_EQ(0, item.nRefBalance());
        ModelTest::TearDown();
    }
    CNAColumn* Col(int n) const { return m_columns[static_cast<size_t>(n)]; }

    std::deque<CPlainFakeItemDescription> m_items;
    std::vector<CNAColumn*> m_columns;
};

TEST_F(NullExclusions, CombiningOneColumn)
{
    struct Case
    {
        eNAOperator op;
        int bListedFlag;  // -1: not listed
        int bFlag;
        int nCount;       // entries afterwards
        int bResult;      // the column's flag afterwards
    };
    const Case cases[] = {
        {kAnd, 1, 0, 1, 0}, {kOr, 1, 0, 1, 1}, {kAnd, 0, 1, 1, 0}, {kOr, 0, 1, 1, 1},
        {kEqual, 0, 1, 1, 1},  // any operator but AND combines by OR
        {kOr, -1, 0, 0, 1},    {kAnd, -1, 0, 1, 0}, {kAnd, -1, 1, 0, 1}, {kEqual, -1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        CColumnNullValueExcluded list;
        if (c.bListedFlag >= 0) {
            ASSERT_EQ(1, list.bCombineColumnValuesNullSelected(kAnd, Col(0), 0));
            if (c.bListedFlag) {
                ASSERT_EQ(1, list.bCombineColumnValuesNullSelected(kOr, Col(0), 1));
            }
        }
        EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(c.op, Col(0), c.bFlag));
        EXPECT_EQ(c.nCount, list.nGetCount()) << static_cast<int>(c.op) << " " << c.bListedFlag << " " << c.bFlag;
        EXPECT_EQ(c.bResult, list.bColumnValuesNullSelected(Col(0)));
        EXPECT_EQ(1, list.bColumnValuesNullSelected(Col(1)));
    }
}

TEST_F(NullExclusions, LookUpByNameInTheSourceIgnoresCase)
{
    m_items[1].SetNameInSource(L"cust_name");
    CColumnNullValueExcluded list;
    list.bCombineColumnValuesNullSelected(kAnd, Col(1), 0);
    EXPECT_EQ(0, list.bColumnValuesNullSelected(L"CUST_NAME"));
    EXPECT_EQ(0, list._nGetColumnValuesNullSelectedIndice(L"Cust_Name"));
    // The item's own name is not its name in the source.
    EXPECT_EQ(1, list.bColumnValuesNullSelected(L"Name"));
    EXPECT_EQ(-1, list._nGetColumnValuesNullSelectedIndice(L"Name"));
    // Without a name in the source, the item's name.
    list.bCombineColumnValuesNullSelected(kAnd, Col(2), 0);
    EXPECT_EQ(0, list.bColumnValuesNullSelected(L"city"));
}

TEST_F(NullExclusions, CombiningAndCopyingLists)
{
    CColumnNullValueExcluded other;
    other.bCombineColumnValuesNullSelected(kAnd, Col(0), 0);
    other.bCombineColumnValuesNullSelected(kAnd, Col(1), 0);
    other.bCombineColumnValuesNullSelected(kOr, Col(1), 1);

    CColumnNullValueExcluded list;
    list.bCombineColumnValuesNullSelected(kAnd, Col(2), 0);
    // Under OR an entry missing here is not added; one held here that the
    // other does not hold keeps its flag.
    EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(kOr, &other));
    EXPECT_EQ(1, list.nGetCount());
    EXPECT_EQ(0, list.bColumnValuesNullSelected(Col(2)));
    // Under AND the other's 0 entries are added.
    EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(kAnd, &other));
    EXPECT_EQ(2, list.nGetCount());
    EXPECT_EQ(0, list.bColumnValuesNullSelected(Col(0)));
    EXPECT_EQ(1, list.bColumnValuesNullSelected(Col(1)));

    // Without another list: AND leaves the list, OR empties it.
    EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(kAnd, nullptr));
    EXPECT_EQ(2, list.nGetCount());
    EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(kOr, nullptr));
    EXPECT_EQ(0, list.nGetCount());

    // A copy appends every entry, negated on demand, listed ones again.
    CColumnNullValueExcluded copy;
    copy.bCombineColumnValuesNullSelected(kAnd, Col(0), 0);
    EXPECT_EQ(1, copy.bCopyColumnValuesNullSelected(&other, 1));
    ASSERT_EQ(3, copy.nGetCount());
    EXPECT_EQ(Col(0), copy.pclGetColumnNoRef(1));
    EXPECT_EQ(1, copy.bGetFlag(1));
    EXPECT_EQ(0, copy.bGetFlag(2));
    // The first entry of a column answers.
    EXPECT_EQ(0, copy.bColumnValuesNullSelected(Col(0)));
    EXPECT_EQ(1, copy.bCopyColumnValuesNullSelected(nullptr, 0));
    EXPECT_EQ(1, copy.bCopyColumnValuesNullSelected(&list, 0));
    EXPECT_EQ(3, copy.nGetCount());
    // Copied into itself, the entries it had are appended once.
    EXPECT_EQ(1, copy.bCopyColumnValuesNullSelected(&copy, 0));
    EXPECT_EQ(6, copy.nGetCount());
    copy.Reset();
    EXPECT_EQ(0, copy.nGetCount());
}

TEST_F(NullExclusions, ARefusedAllocationLeavesTheListAlone)
{
    CColumnNullValueExcluded list;
    vxtest::XmallocFailures failures;
    // The column goes in, the flag cannot follow: neither stays.
    failures.FailNth(2);
    EXPECT_EQ(0, list.bCombineColumnValuesNullSelected(kAnd, Col(0), 0));
    EXPECT_EQ(0, list.nGetCount());
    EXPECT_EQ(1, list.bColumnValuesNullSelected(Col(0)));
    EXPECT_EQ(1, list.bCombineColumnValuesNullSelected(kAnd, Col(0), 0));
    EXPECT_EQ(0, list.bColumnValuesNullSelected(Col(0)));
}

}  // namespace
