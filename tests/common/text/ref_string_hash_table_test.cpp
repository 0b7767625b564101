// CRefStringHashTable: names compared without case and accents hash alike,
// the table against a model keyed by the folded name, owned keys freed once,
// and no freed key or released value reached through the look-up cache.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/text/ref_string_hash_table.h"
#include "common/text/str_compare.h"
#include "common/text/str_map.h"
#include "native/model/interf.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/host/support/test_environment.h"

namespace {

int g_live = 0;

class Entry : public CInterf
{
public:
    explicit Entry(int id) : m_id(id) { ++g_live; }
    ~Entry() override { --g_live; }
    int m_id;
};

using Table = CRefStringHashTable<Entry*>;

std::wstring Folded(const std::wstring& name)
{
    wchar_t* p = STR_pszCreateStandard(name.c_str());
    std::wstring s = p ? p : L"";
    std::free(p);
    return s;
}

unsigned Hash(const std::wstring& s)
{
    return CHashTableBounce::dwStringLogiqueHashVal(s.c_str());
}

int Lookup(Table& t, const wchar_t* name)
{
    Entry* e = nullptr;
    if (!t.bGetElementRef(name, &e)) return -1;
    const int id = e->m_id;
    Table::_Release(e);
    return id;
}

class RefStringHashTable : public ::testing::Test
{
protected:
    void SetUp() override { g_live = 0; }
    void TearDown() override { EXPECT_EQ(0, g_live); }
};

TEST_F(RefStringHashTable, NamesEqualUnderTheComparisonHashAlike)
{
    const std::wstring longLower(300, L'é'), longUpper(300, L'E');  // past the stack area
    const std::pair<std::wstring, std::wstring> pairs[] = {
        {L"Client", L"CLIENT"},       {L"Élan", L"elan"},   {L"cœur", L"CŒUR"},
        {L"Téléphone", L"TELEPHONE"}, {L"ÿ", L"Ÿ"},         {L"", L""},
        {L"Straße", L"STRAßE"},       {longLower, longUpper},
    };
    for (const auto& [a, b] : pairs) {
        ASSERT_EQ(0, CHashTableBounce::nStringLogiqueCompare(a.c_str(), b.c_str())) << a.size();
        EXPECT_EQ(Hash(a), Hash(b)) << a.size();
    }
    EXPECT_NE(0, CHashTableBounce::nStringLogiqueCompare(L"Client", L"Clients"));
    EXPECT_EQ(0u, CHashTableBounce::dwStringLogiqueHashVal(nullptr));

    // Random names over cased and accented letters: whenever two compare
    // equal they hash alike.
    std::mt19937 rng(3);
    const std::wstring alphabet = L"aAàÀeEéÉèÈcCçÇoOôÔœŒ";
    std::vector<std::wstring> names;
    std::vector<unsigned> hashes;
    for (int i = 0; i < 250; ++i) {
        std::wstring s;
        for (size_t n = 1 + rng() % 3; n > 0; --n) s += alphabet[rng() % alphabet.size()];
        names.push_back(s);
        hashes.push_back(Hash(s));
    }
    int equalPairs = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        vxtest::Locale().ClearLog();
        for (size_t j = i + 1; j < names.size(); ++j) {
            if (CHashTableBounce::nStringLogiqueCompare(names[i].c_str(), names[j].c_str()) == 0) {
                ++equalPairs;
                EXPECT_EQ(hashes[i], hashes[j]) << i << "," << j;
            }
        }
    }
    EXPECT_GT(equalPairs, 300);

    // Without heap memory a long name hashes the same, piece by piece.
    const unsigned expected = Hash(longLower);
    vxtest::XmallocFailures failures;
    failures.FailAll(true);
    EXPECT_EQ(expected, Hash(longLower));
}

TEST_F(RefStringHashTable, AgainstAModelKeyedByTheFoldedName)
{
    std::mt19937 rng(17);
    const std::vector<std::wstring> bases = {L"client", L"commande", L"ligne", L"produit", L"prix", L"téléphone",
                                             L"désignation", L"quantité", L"remise", L"pays", L"ville", L"côte"};
    auto variant = [&](const std::wstring& base) {
        std::wstring s = base;
        for (wchar_t& c : s) {
            if (rng() % 2) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
        }
        if (rng() % 3 == 0) s += std::to_wstring(rng() % 4);
        return s;
    };
    {
        Table t;
        std::map<std::wstring, int> model;  // folded name -> id
        int nextId = 1;
        for (int step = 0; step < 5000; ++step) {
            const std::wstring name = variant(bases[rng() % bases.size()]);
            const std::wstring folded = Folded(name);
            switch (rng() % 6) {
            case 0:
            case 1:  // add when absent (the registries add a name once)
                if (!model.count(folded)) {
                    auto* e = new Entry(nextId);
                    ASSERT_EQ(1, t.bAjoute(name.c_str(), e));
                    model[folded] = nextId++;
                }
                break;
            case 2: {  // remove, freeing the key
                const auto it = model.find(folded);
                EXPECT_EQ(it != model.end() ? 1 : 0, t.bSupprime(name.c_str()));
                if (it != model.end()) model.erase(it);
                break;
            }
            case 3: {  // walk, removing some as it goes
                unsigned cursor = 0;
                Entry* e = nullptr;
                wchar_t* key = nullptr;
                int seen = 0;
                while (t.bParseTable(&cursor, 0, &e, &key)) {
                    ++seen;
                    if (rng() % 8 == 0) {
                        void* v;
                        void* k;
                        // The element at the cursor, removed through the walk.
                        t.StopParsing();
                        ASSERT_EQ(1, t.bDeleteElement(key, &v, &k));
                        model.erase(Folded(static_cast<wchar_t*>(k)));
                        std::free(k);
                        Table::_Release(static_cast<Entry*>(v));
                        break;
                    }
                }
                if (seen == static_cast<int>(model.size())) {
                    EXPECT_EQ(model.size(), t.dwGetNumElement());
                }
                break;
            }
            default: {  // look up, through the cache or not
                const auto it = model.find(folded);
                const int expected = it == model.end() ? -1 : it->second;
                EXPECT_EQ(expected, Lookup(t, name.c_str())) << step;
                Entry* e = nullptr;
                wchar_t* stored = nullptr;
                const int found = t.bGetElement(name.c_str(), &e, &stored);
                EXPECT_EQ(expected >= 0 ? 1 : 0, found);
                if (found) {
                    EXPECT_EQ(expected, e->m_id);
                    EXPECT_EQ(folded, Folded(stored));
                }
            }
            }
            ASSERT_EQ(model.size(), t.dwGetNumElement());
            ASSERT_EQ(static_cast<int>(model.size()), g_live);
        }
    }
    // The destructor released every value and freed every key (the leak
    // checker sees the keys).
    EXPECT_EQ(0, g_live);
}

// A look-up caches the stored key and the value; after each change below
// the next equal look-up must not compare the freed key or hand back the
// released value (AddressSanitizer reports either).
TEST_F(RefStringHashTable, CacheNeverReachesAFreedKey)
{
    struct Case
    {
        const char* what;
        void (*change)(Table&);
        int expected;
    };
    const Case cases[] = {
        {"bSupprime", [](Table& t) { ASSERT_EQ(1, t.bSupprime(L"CLIENT")); }, -1},
        {"removal by the owner",
         [](Table& t) {
             Entry* e = nullptr;
             wchar_t* key = nullptr;
             ASSERT_EQ(1, t.bDeleteElement(L"client", &e, &key));
             std::free(key);
             Table::_Release(e);
         },
         -1},
        {"walk removal",
         [](Table& t) {
             unsigned c = 0;
             Entry* e = nullptr;
             wchar_t* key = nullptr;
             while (t.bParseTable(&c, 1, &e, &key)) {
                 std::free(key);
                 Table::_Release(e);
             }
         },
         -1},
        {"parse-set key",
         [](Table& t) {
             unsigned c = 0;
             Entry* e = nullptr;
             wchar_t* key = nullptr;
             while (t.bParseTable(&c, 0, &e, &key) && e->m_id != 1) {}
             t.StopParsing();
             // A name of the same sum lands in the same bucket.
             wchar_t* renamed = static_cast<wchar_t*>(std::malloc(7 * sizeof(wchar_t)));
             std::wcscpy(renamed, L"TNEILC");
             void* old;
             ASSERT_EQ(1, t.bParseSetKey(c, renamed, &old));
             std::free(old);
         },
         -1},
        {"parse-set value",
         [](Table& t) {
             unsigned c = 0;
             Entry* e = nullptr;
             wchar_t* key = nullptr;
             while (t.bParseTable(&c, 0, &e, &key) && e->m_id != 1) {}
             t.StopParsing();
             auto* fresh = new Entry(9);
             Table::_AddRef(fresh);
             void* old;
             ASSERT_EQ(1, t.bParseSetElement(c, fresh, &old));
             Table::_Release(static_cast<Entry*>(old));
         },
         9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Table t;
            ASSERT_EQ(1, t.bAjoute(L"Client", new Entry(1)));
            ASSERT_EQ(1, t.bAjoute(L"Commande", new Entry(2)));
            ASSERT_EQ(1, Lookup(t, L"clienT"));  // cached
            c.change(t);
            EXPECT_EQ(c.expected, Lookup(t, L"CLIENT"));
        }
        EXPECT_EQ(0, g_live);
    }
}

TEST_F(RefStringHashTable, KeysAreOwned)
{
    {
        Table t;
        std::wstring name = L"Connexion";
        ASSERT_EQ(1, t.bAjoute(name.c_str(), new Entry(1)));
        name[0] = L'X';  // the table holds its own copy
        EXPECT_EQ(1, Lookup(t, L"connexion"));
        wchar_t* stored = nullptr;
        Entry* e = nullptr;
        ASSERT_EQ(1, t.bGetElement(L"CONNEXION", &e, &stored));
        EXPECT_STREQ(L"Connexion", stored);
        EXPECT_EQ(1u, e->m_dwRefCount);

        vxtest::XmallocFailures failures;  // the pool cannot grow: nothing added, nothing kept
        for (int i = 0; i < 7; ++i) ASSERT_EQ(1, t.bAjoute(std::to_wstring(i).c_str(), new Entry(10 + i)));
        failures.FailAll(true);
        auto* extra = new Entry(99);
        Table::_AddRef(extra);
        EXPECT_EQ(0, t.bAjoute(L"extra", extra));
        EXPECT_EQ(1u, extra->m_dwRefCount);
        Table::_Release(extra);
        failures.FailAll(false);
    }
    EXPECT_EQ(0, g_live);
}

}  // namespace
