// Atoms: the table is process-wide, so these tests have a process of their own
// and run in order.
#include <gtest/gtest.h>

#include <cwchar>

#include "common/system/atoms.h"

namespace {

TEST(Atoms, NamesMatchWithoutCaseAndCountReferences)
{
    EXPECT_EQ(0, AddAtom(nullptr));
    EXPECT_EQ(0, FindAtom(nullptr));
    const ATOM a = AddAtom(L"Abc");
    ASSERT_NE(0, a);
    EXPECT_EQ(a, AddAtom(L"ABC"));
    EXPECT_EQ(a, FindAtom(L"abc"));
    const ATOM b = AddAtom(L"other");
    EXPECT_NE(a, b);
    EXPECT_EQ(b, a + 1);

    EXPECT_EQ(0, DeleteAtom(a));
    EXPECT_EQ(a, FindAtom(L"aBc")) << "one reference is left";
    EXPECT_EQ(0, DeleteAtom(a));
    EXPECT_EQ(0, FindAtom(L"Abc"));
    EXPECT_EQ(a, DeleteAtom(a)) << "an unknown atom comes back";
    EXPECT_EQ(b, FindAtom(L"OTHER"));

    // Numbers are not reused.
    const ATOM c = AddAtom(L"Abc");
    EXPECT_GT(c, b);
    DeleteAtom(b);
    DeleteAtom(c);
}

TEST(Atoms, NameIsAlwaysTerminatedWithinTheBuffer)
{
    const ATOM a = AddAtom(L"Name");
    struct Case
    {
        int nSize;
        unsigned int nResult;
        const wchar_t* pszText;
    } aCases[] = {
        {10, 4, L"Name"},
        {5, 4, L"Name"},
        {4, 3, L"Nam"},  // a full buffer still ends with its terminator
        {2, 1, L"N"},
        {1, 0, L""},
    };
    for (const Case& c : aCases)
    {
        wchar_t sz[12];
        std::wmemset(sz, L'#', 12);
        EXPECT_EQ(c.nResult, GetAtomName(a, sz, c.nSize)) << c.nSize;
        EXPECT_STREQ(c.pszText, sz) << c.nSize;
        EXPECT_EQ(L'#', sz[c.nSize]) << "nothing written past the size " << c.nSize;
    }
    wchar_t sz[4] = L"xyz";
    EXPECT_EQ(0u, GetAtomName(a, sz, 0));
    EXPECT_STREQ(L"xyz", sz);
    EXPECT_EQ(0u, GetAtomName(static_cast<ATOM>(a + 100), sz, 4));
    DeleteAtom(a);
}

TEST(Atoms, WrappedCounterSkipsZeroAndLiveNumbers)
{
    const ATOM nLive = AddAtom(L"live");
    // Bring the counter to the wrap: its next number's low 16 bits are 0,
    // then those of the live atom after one more.
    CAtom::gnId = 0x10000;
    const ATOM a = AddAtom(L"after wrap");
    EXPECT_EQ(1, a) << "0 means no atom";
    CAtom::gnId = 0x10000 + nLive;
    const ATOM b = AddAtom(L"second");
    EXPECT_NE(nLive, b);
    EXPECT_EQ(nLive, FindAtom(L"live"));
    wchar_t sz[16];
    EXPECT_EQ(6u, GetAtomName(b, sz, 16));
    EXPECT_STREQ(L"second", sz);
    DeleteAtom(a);
    DeleteAtom(b);
    DeleteAtom(nLive);
}

}  // namespace
