#include <gtest/gtest.h>

#include <vector>

#include "common/system/vx_unknown.h"
#include "common/text/ref_array.h"
#include "native/model/interf.h"

namespace {

std::vector<int> g_destroyed;

class Column : public CInterf
{
public:
    explicit Column(int id) : m_id(id) {}
    ~Column() override { g_destroyed.push_back(m_id); }
    int m_id;
};

class Shared : public CVXUnknown
{
public:
    explicit Shared(int id) : m_id(id) {}
    ~Shared() override { g_destroyed.push_back(m_id); }
    int m_id;
};

// A class counted its own way (a plain count, deleted at 0), hooked in beside
// the class as the driver's query descriptions are.
class Groupe
{
public:
    explicit Groupe(int id) : m_id(id) {}
    ~Groupe() { g_destroyed.push_back(m_id); }
    int m_nRef = 0;
    int m_id;
};
void REF_AddRef(Groupe* p)
{
    ++p->m_nRef;
}
void REF_Release(Groupe* p)
{
    if (--p->m_nRef == 0) delete p;
}

class RefArray : public ::testing::Test
{
protected:
    void SetUp() override { g_destroyed.clear(); }
};

TEST_F(RefArray, InterfElementsAreReleasedLastFirstAndDestroyedAtZeroWithoutHold)
{
    auto* held = new Column(1);
    held->m_dwHoldCount = 1;
    auto* shared = new Column(2);
    shared->m_dwRefCount = 1;  // another holder
    {
        CRefArray<Column> a(1);
        for (Column* c : {held, shared, new Column(3), static_cast<Column*>(nullptr), new Column(4)}) {
            CRefArray<Column>::_AddRef(c);
            ASSERT_EQ(1, a.Ajoute(c));
        }
        EXPECT_EQ(2u, shared->m_dwRefCount);
        // Removal by the owner: Supprime then _Release.
        Column* c3 = a[2];
        a.Supprime(2, 1);
        CRefArray<Column>::_Release(c3);
        EXPECT_EQ(std::vector<int>{3}, g_destroyed);
    }
    EXPECT_EQ((std::vector<int>{3, 4}), g_destroyed);  // 4 first of the rest (last first), null skipped
    EXPECT_EQ(0u, held->m_dwRefCount);
    EXPECT_EQ(1u, shared->m_dwRefCount);
    delete held;
    delete shared;
}

TEST_F(RefArray, ReleaseOrderIsLastToFirst)
{
    {
        CRefArray<Column> a(10);
        for (int i = 0; i < 5; ++i) {
            auto* c = new Column(i);
            CRefArray<Column>::_AddRef(c);
            a.Ajoute(c);
        }
        a.SupprimeTout();
        EXPECT_EQ(0, a.nGetNbElement());
        EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 0}), g_destroyed);
        a.SupprimeTout();
    }
    EXPECT_EQ(5u, g_destroyed.size());
}

TEST_F(RefArray, VXUnknownAndCustomCountedElements)
{
    auto* s = new Shared(10);
    s->dwAddRef();  // the creator keeps one
    auto* g = new Groupe(20);
    {
        CRefArray<Shared> shared(1);
        CRefArray<Shared>::_AddRef(s);
        shared.Ajoute(s);
        EXPECT_EQ(2u, s->dwGetRefCount());
        CRefArray<Groupe> groupes(1);
        CRefArray<Groupe>::_AddRef(g);
        groupes.Ajoute(g);
        EXPECT_EQ(1, g->m_nRef);
    }
    EXPECT_EQ(std::vector<int>{20}, g_destroyed);
    EXPECT_EQ(1u, s->dwGetRefCount());
    s->dwRelease();
    EXPECT_EQ((std::vector<int>{20, 10}), g_destroyed);
}

TEST_F(RefArray, CountedArrayDiesWithItsLastReferenceAndReleasesItsElements)
{
    auto* a = new CNARefArray<Column>(1);
    CVXUnknown* unknown = a;
    unknown->dwAddRef();
    unknown->dwAddRef();
    for (int i = 0; i < 3; ++i) {
        auto* c = new Column(i);
        CNARefArray<Column>::_AddRef(c);
        a->Ajoute(c);
    }
    EXPECT_EQ(1u, unknown->dwRelease());
    EXPECT_TRUE(g_destroyed.empty());
    EXPECT_EQ(0u, unknown->dwRelease());  // deletes the whole array through its second base
    EXPECT_EQ((std::vector<int>{2, 1, 0}), g_destroyed);
}

}  // namespace
