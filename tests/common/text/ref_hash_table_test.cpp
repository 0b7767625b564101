#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "common/text/ref_hash_table.h"
#include "native/model/interf.h"
#include "tests/common/xmalloc_failures.h"

namespace {

int g_live = 0;

// A driver object counted through CInterf: destroyed when its last reference
// goes, so a stale pointer in the table's cache is a use after free.
class Item : public CInterf
{
public:
    explicit Item(int id) : m_id(id) { ++g_live; }
    ~Item() override { --g_live; }
    int m_id;
};

// The driver's table objects count through their own operations.
class TableObject
{
public:
    void AddRef() { ++m_internal; }
    int nRelease()
    {
        if (--m_internal == 0 && m_external == 0) {
            delete this;
            return 0;
        }
        return m_internal;
    }
    int m_internal = 0;
    int m_external = 0;
};

enum eKind { KIND_A = 3, KIND_B = 40 };

}  // namespace

template <>
struct CRefHooks<TableObject>
{
    static void AddRef(TableObject* p) { p->AddRef(); }
    static void Release(TableObject* p) { p->nRelease(); }
};

namespace {

using Registry = CRefHashTable<int, Item*>;

Item* NewHeld(Registry& t, int key, int id)
{
    auto* p = new Item(id);
    Registry::_AddRef(p);
    EXPECT_EQ(1, t.bAddElement(key, p));
    return p;
}

int Lookup(Registry& t, int key)
{
    Item* p = nullptr;
    if (!t.bGetElementRef(key, &p)) return -1;
    const int id = p->m_id;
    Registry::_Release(p);
    return id;
}

class RefHashTable : public ::testing::Test
{
protected:
    void SetUp() override { g_live = 0; }
    void TearDown() override { EXPECT_EQ(0, g_live); }
};

TEST_F(RefHashTable, LookupsAddAReferenceAndTheDestructorReleasesEveryValue)
{
    {
        Registry t;
        Item* a = NewHeld(t, 1, 100);
        NewHeld(t, 2, 200);
        Item* got = nullptr;
        ASSERT_EQ(1, t.bGetElementRef(1, &got));
        EXPECT_EQ(a, got);
        EXPECT_EQ(2u, a->m_dwRefCount);
        ASSERT_EQ(1, t.bGetElementRef(1, &got));  // from the cache
        EXPECT_EQ(3u, a->m_dwRefCount);
        Registry::_Release(got);
        Registry::_Release(got);
        // The plain look-up changes no count.
        ASSERT_EQ(1, t.bGetElement(1, &got));
        EXPECT_EQ(1u, a->m_dwRefCount);
        EXPECT_EQ(0, t.bGetElementRef(3, &got));
        EXPECT_EQ(2, g_live);
    }
    EXPECT_EQ(0, g_live);
}

// Every change of the table clears the one-entry cache: a stale entry would
// hand back a destroyed object (AddressSanitizer reports the use) or hide a
// newer one.
TEST_F(RefHashTable, CacheNeverOutlivesAChange)
{
    struct Case { const char* what; void (*change)(Registry&); int key; int expected; };
    const Case cases[] = {
        {"removal", [](Registry& t) {
             Item* p = nullptr;
             ASSERT_EQ(1, t.bDeleteElement(5, &p));
             Registry::_Release(p);
         }, 5, -1},
        {"walk removal", [](Registry& t) {
             unsigned c = 0;
             Item* p;
             int k;
             while (t.bParseTable(&c, 1, &p, &k)) Registry::_Release(p);
         }, 5, -1},
        {"DeleteAll", [](Registry& t) {
             unsigned c = 0;
             Item* p;
             int k;
             while (t.bParseTable(&c, 0, &p, &k)) Registry::_Release(p);
             t.DeleteAll(7);
         }, 5, -1},
        {"parse-set value", [](Registry& t) {
             unsigned c = 0;
             Item* p;
             int k;
             while (t.bParseTable(&c, 0, &p, &k) && k != 5) {}
             t.StopParsing();
             auto* fresh = new Item(555);
             Registry::_AddRef(fresh);
             void* previous;
             ASSERT_EQ(1, t.bParseSetElement(c, fresh, &previous));
             Registry::_Release(static_cast<Item*>(previous));
         }, 5, 555},
        {"parse-set key", [](Registry& t) {
             unsigned c = 0;
             Item* p;
             int k;
             while (t.bParseTable(&c, 0, &p, &k) && k != 5) {}
             t.StopParsing();
             ASSERT_EQ(1, t.bParseSetKey(c, Registry::_pDeCle(5 + 17), nullptr));  // same bucket
         }, 5, -1},
        {"newer duplicate", [](Registry& t) {
             NewHeld(t, 5, 77);
         }, 5, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Registry t;
            NewHeld(t, 4, 40);
            NewHeld(t, 5, 50);
            ASSERT_EQ(50, Lookup(t, 5));  // now cached
            c.change(t);
            EXPECT_EQ(c.expected, Lookup(t, c.key));
        }
        EXPECT_EQ(0, g_live);
    }
}

TEST_F(RefHashTable, KeysOfEveryKind)
{
    {
        CRefHashTable<eKind, Item*> byKind;
        auto* a = new Item(1);
        CRefHashTable<eKind, Item*>::_AddRef(a);
        byKind.bAddElement(KIND_B, a);
        Item* got = nullptr;
        eKind stored = KIND_A;
        ASSERT_EQ(1, byKind.bGetElement(KIND_B, &got, &stored));
        EXPECT_EQ(KIND_B, stored);
        EXPECT_EQ(0, byKind.bGetElement(KIND_A, &got));

        Registry negative;
        NewHeld(negative, -7, 70);
        int k = 0;
        Item* p = nullptr;
        ASSERT_EQ(1, negative.bDeleteElement(-7, &p, &k));
        EXPECT_EQ(-7, k);
        Registry::_Release(p);

        // A set of objects: key and value are the same pointer.
        CNARefHashTable<TableObject*, TableObject*> set;
        auto* o = new TableObject;
        o->m_external = 1;  // the host still holds it
        CNARefHashTable<TableObject*, TableObject*>::_AddRef(o);
        set.bAddElement(o, o);
        TableObject* same = nullptr;
        ASSERT_EQ(1, set.bGetElementRef(o, &same));
        EXPECT_EQ(o, same);
        EXPECT_EQ(2, o->m_internal);
        CNARefHashTable<TableObject*, TableObject*>::_Release(same);
        EXPECT_EQ(1u, set.dwGetNumElement());
        {
            // The set's destruction drops its own reference only.
            CNARefHashTable<TableObject*, TableObject*> other;
            CNARefHashTable<TableObject*, TableObject*>::_AddRef(o);
            other.bAddElement(o, o);
        }
        EXPECT_EQ(1, o->m_internal);
        o->m_external = 0;
    }
    EXPECT_EQ(0, g_live);
}

// Random additions, removals, cached look-ups, walks that remove and parse-set
// operations against std::unordered_multimap, with the references counted:
// at the end every object was destroyed exactly once.
TEST_F(RefHashTable, MatchesAMultimapWithCountedValues)
{
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        vxtest::XmallocFailures failures;
        {
            Registry t;
            if (seed >= 3) failures.FailRandomly(0.15, seed);
            std::mt19937 rng(seed);
            auto pick = [&](unsigned n) { return static_cast<int>(rng() % n); };
            std::unordered_multimap<int, Item*> model;
            int nextId = 1;
            auto inModel = [&](int k, Item* p) {
                auto r = model.equal_range(k);
                for (auto it = r.first; it != r.second; ++it)
                    if (it->second == p) return it;
                return model.end();
            };
            for (int step = 0; step < 4000; ++step) {
                const int k = pick(60) - 10;
                switch (pick(8)) {
                case 0:
                case 1: {
                    auto* p = new Item(nextId++);
                    Registry::_AddRef(p);
                    if (t.bAddElement(k, p))
                        model.emplace(k, p);
                    else
                        Registry::_Release(p);
                    break;
                }
                case 2: {
                    Item* p = nullptr;
                    int sk = 0;
                    const int ok = t.bDeleteElement(k, &p, &sk);
                    ASSERT_EQ(model.count(k) > 0 ? 1 : 0, ok);
                    if (ok) {
                        ASSERT_EQ(k, sk);
                        auto it = inModel(k, p);
                        ASSERT_NE(model.end(), it);
                        model.erase(it);
                        Registry::_Release(p);
                    }
                    break;
                }
                case 3:
                case 4: {
                    Item* p = nullptr;
                    const int ok = t.bGetElementRef(k, &p);
                    ASSERT_EQ(model.count(k) > 0 ? 1 : 0, ok);
                    if (ok) {
                        ASSERT_NE(model.end(), inModel(k, p));
                        ASSERT_GE(p->m_dwRefCount, 2u);
                        Registry::_Release(p);
                    }
                    break;
                }
                case 5: {
                    // A walk that removes some elements and looks others up meanwhile.
                    unsigned c = 0;
                    Item* p;
                    int sk;
                    while (true) {
                        const int remove = pick(4) == 0;
                        if (!t.bParseTable(&c, remove, &p, &sk)) break;
                        auto it = inModel(sk, p);
                        ASSERT_NE(model.end(), it);
                        if (remove) {
                            model.erase(it);
                            Registry::_Release(p);
                        }
                        if (pick(5) == 0) {
                            Item* q = nullptr;
                            const int ok = t.bGetElementRef(sk, &q);
                            ASSERT_EQ(model.count(sk) > 0 ? 1 : 0, ok);
                            if (ok) {
                                ASSERT_NE(model.end(), inModel(sk, q));
                                Registry::_Release(q);
                            }
                        }
                    }
                    break;
                }
                case 6: {
                    // Replace a value in place during a walk.
                    unsigned c = 0;
                    Item* p;
                    int sk;
                    if (t.bParseTable(&c, 0, &p, &sk)) {
                        auto* fresh = new Item(nextId++);
                        Registry::_AddRef(fresh);
                        void* previous = nullptr;
                        ASSERT_EQ(1, t.bParseSetElement(c, fresh, &previous));
                        ASSERT_EQ(p, previous);
                        inModel(sk, p)->second = fresh;
                        Registry::_Release(p);
                        t.StopParsing();
                    }
                    break;
                }
                case 7:
                    if (pick(30) == 0) {
                        for (auto& e : model) Registry::_Release(e.second);
                        model.clear();
                        t.DeleteAll(static_cast<unsigned>(pick(100)));
                    }
                    break;
                }
                ASSERT_EQ(model.size(), t.dwGetNumElement()) << "step " << step;
                ASSERT_EQ(static_cast<int>(model.size()), g_live) << "step " << step;
            }
        }
        EXPECT_EQ(0, g_live);
    }
}

}  // namespace
