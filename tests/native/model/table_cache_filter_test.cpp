// The filter a table cache keeps from its reading statement: the saved
// filter (its reference and whether it was active), its comparison with the
// filter in force, and the comparison of two filters.
#include <gtest/gtest.h>

#include "native/model/table_cache.h"
#include "native/sql/filter.h"
#include "native/sql/filter_save.h"
#include "tests/native/model/cache_index_fixture.h"

namespace {

// Filters held by the test; each starts with the test's reference.
class Filters : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (CNAFilter* pclFilter : {&m_a, &m_b})
            EXPECT_EQ(1u, pclFilter->m_dwRefCount);
    }
    CNAFilter* Active(CNAFilter* pclFilter)
    {
        pclFilter->ActivateFilter(1);
        return pclFilter;
    }

    struct Held : CNAFilter
    {
        Held() { m_dwRefCount = 1; }
    };
    Held m_a;
    Held m_b;
};

TEST_F(Filters, AMissingFilterEqualsAnInactiveOne)
{
    EXPECT_EQ(1, g_bEqualsFilter(nullptr, nullptr));
    EXPECT_EQ(1, g_bEqualsFilter(nullptr, &m_a));
    EXPECT_EQ(1, g_bEqualsFilter(&m_a, nullptr));
    EXPECT_EQ(1, g_bEqualsFilter(&m_a, &m_b));
    Active(&m_a);
    EXPECT_EQ(0, g_bEqualsFilter(nullptr, &m_a));
    EXPECT_EQ(0, g_bEqualsFilter(&m_a, nullptr));
    EXPECT_EQ(0, g_bEqualsFilter(&m_a, &m_b));
    EXPECT_EQ(1, g_bEqualsFilter(&m_a, &m_a));
    Active(&m_b);
    EXPECT_EQ(1, g_bEqualsFilter(&m_a, &m_b));
    m_a.ActivateFilter(0);
    EXPECT_EQ(0, m_a.bIsFilterActive());
    EXPECT_EQ(0, g_bEqualsFilter(&m_a, &m_b));
}

TEST_F(Filters, ASaveComparesWithTheFilterInForce)
{
    struct Case
    {
        const char* name;
        bool bSaveActive;   // the saved filter's state when saved
        int given;          // 0 none, 1 the saved filter, 2 the other one
        bool bGivenActive;  // the given filter's state when compared
        int equal;
    };
    const Case cases[] = {
        {"an inactive save and no filter", false, 0, false, 1},
        {"an inactive save and an inactive filter", false, 2, false, 1},
        {"an inactive save and an active filter", false, 2, true, 0},
        {"an active save and no filter", true, 0, false, 0},
        {"an active save and the same filter", true, 1, true, 1},
        {"an active save and the filter since deactivated", true, 1, false, 0},
        {"an active save and another active filter", true, 2, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_a.ActivateFilter(c.bSaveActive);
        m_b.ActivateFilter(0);
        {
            CNAFilterSave save(&m_a);
            EXPECT_EQ(2u, m_a.m_dwRefCount);
            EXPECT_EQ(c.bSaveActive ? 1 : 0, save.bFilterWasActive());
            CNAFilter* pclGiven = c.given == 0 ? nullptr : c.given == 1 ? &m_a : &m_b;
            if (pclGiven != nullptr)
                pclGiven->ActivateFilter(c.bGivenActive);
            EXPECT_EQ(c.equal, save.bFilterEquals(pclGiven));
        }
    }
    CNAFilterSave empty;
    EXPECT_EQ(nullptr, empty.pclGetFilterNoRef());
    EXPECT_EQ(1, empty.bFilterEquals(nullptr));
    EXPECT_EQ(0, empty.bFilterEquals(Active(&m_a)));
}

TEST_F(Filters, SettingAndCopyingTakeTheirOwnReferences)
{
    CNAFilterSave save;
    save.SetFilter(Active(&m_a));
    EXPECT_EQ(&m_a, save.pclGetFilterNoRef());
    EXPECT_EQ(2u, m_a.m_dwRefCount);
    EXPECT_EQ(1, save.bFilterWasActive());
    // Another filter replaces it; the former one is released.
    save.SetFilter(&m_b);
    EXPECT_EQ(1u, m_a.m_dwRefCount);
    EXPECT_EQ(2u, m_b.m_dwRefCount);
    EXPECT_EQ(0, save.bFilterWasActive());
    // The same filter saved again is saved as it is now.
    Active(&m_b);
    EXPECT_EQ(0, save.bFilterEquals(&m_b));
    save.SetFilter(&m_b);
    EXPECT_EQ(2u, m_b.m_dwRefCount);
    EXPECT_EQ(1, save.bFilterWasActive());
    EXPECT_EQ(1, save.bFilterEquals(&m_b));
    {
        CNAFilterSave copy(&m_a);
        copy.Copy(save);
        EXPECT_EQ(&m_b, copy.pclGetFilterNoRef());
        EXPECT_EQ(1, copy.bFilterWasActive());
        EXPECT_EQ(3u, m_b.m_dwRefCount);
        EXPECT_EQ(1u, m_a.m_dwRefCount);
        // The flag is the other's, not the filter's state now.
        m_b.ActivateFilter(0);
        CNAFilterSave later;
        later.Copy(save);
        EXPECT_EQ(1, later.bFilterWasActive());
        copy.Copy(copy);
        EXPECT_EQ(&m_b, copy.pclGetFilterNoRef());
    }
    EXPECT_EQ(2u, m_b.m_dwRefCount);
    save.SetFilter(nullptr);
    EXPECT_EQ(nullptr, save.pclGetFilterNoRef());
    EXPECT_EQ(0, save.bFilterWasActive());
}

// The table cache keeps its reading statement's filter.
class TableCacheFilter : public vxtest::CacheIndexTest
{
};

TEST_F(TableCacheFilter, TheReadingStatementsFilterIsKept)
{
    Add(L"V", NA_IT_I4, 4);
    BuildTable();
    auto* pclFilter = new CNAFilter;
    pclFilter->ActivateFilter(1);
    m_statement->SetFilter(pclFilter);
    auto* pclCache = new CNATableCache(m_pclError, m_access);
    pclCache->dwAddRef();
    EXPECT_EQ(0, pclCache->bFilterEquals(pclFilter));
    ASSERT_EQ(1, pclCache->bSetStatementParse(m_statement));
    EXPECT_EQ(pclFilter, pclCache->GetFilterSave().pclGetFilterNoRef());
    EXPECT_EQ(2u, pclFilter->m_dwRefCount);
    EXPECT_EQ(1, pclCache->bFilterEquals(pclFilter));
    EXPECT_EQ(0, pclCache->bFilterEquals(nullptr));
    pclFilter->ActivateFilter(0);
    EXPECT_EQ(0, pclCache->bFilterEquals(pclFilter));
    m_statement->SetFilter(nullptr);
    EXPECT_EQ(1u, pclFilter->m_dwRefCount);
    EXPECT_EQ(0u, pclCache->dwRelease());
}

}  // namespace
