#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <random>
#include <vector>

#include "common/text/liste_de_buffer.h"
#include "common/text/simple_buffer.h"
#include "tests/common/xmalloc_failures.h"

namespace {

// The elements from head to tail, checked against the walk from tail to head.
std::vector<int> Contents(const CListeDeBuffer& l)
{
    std::vector<int> v;
    for (CLinkedElement* p = l.pGetTete(); p != nullptr; p = p->m_pSuivant) {
        int x;
        std::memcpy(&x, p->pGetData(), sizeof x);
        v.push_back(x);
    }
    std::vector<int> back;
    for (CLinkedElement* p = l.pGetQueue(); p != nullptr; p = p->m_pPrecedent) {
        int x;
        std::memcpy(&x, p->pGetData(), sizeof x);
        back.insert(back.begin(), x);
    }
    EXPECT_EQ(v, back);
    EXPECT_EQ(static_cast<int>(v.size()), l.nGetNbElement());
    return v;
}

int Courant(const CListeDeBuffer& l)
{
    const void* p = l.pCourant();
    if (p == nullptr) return -999;
    int x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

void Fill(CListeDeBuffer& l, int n)
{
    for (int i = 0; i < n; ++i) l.Ajoute(&i, 0);
}

TEST(ListeDeBuffer, AddingBeforeAndAfterTheCursor)
{
    CListeDeBuffer avant(sizeof(int));
    CListeDeBuffer apres(sizeof(int));
    EXPECT_EQ(-1, avant.nGetIndiceCourant());
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(1, avant.Ajoute(&i, 1));
        ASSERT_EQ(1, apres.Ajoute(&i, 0));
    }
    EXPECT_EQ((std::vector<int>{3, 2, 1}), Contents(avant));
    EXPECT_EQ(0, avant.nGetIndiceCourant());
    EXPECT_EQ(3, Courant(avant));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Contents(apres));
    EXPECT_EQ(2, apres.nGetIndiceCourant());
    EXPECT_EQ(3, Courant(apres));

    // In the middle.
    apres.pVaSurNumero(1);
    int x = 10;
    apres.Ajoute(&x, 1);
    EXPECT_EQ(1, apres.nGetIndiceCourant());
    x = 11;
    apres.Ajoute(&x, 0);
    EXPECT_EQ(2, apres.nGetIndiceCourant());
    EXPECT_EQ((std::vector<int>{1, 10, 11, 2, 3}), Contents(apres));
}

// Without a current element (the cursor walked off an end) an addition goes
// first (before) or last (after) instead of following a null cursor.
TEST(ListeDeBuffer, AddingWithNoCurrentElementGoesToAnEnd)
{
    CListeDeBuffer l(sizeof(int));
    Fill(l, 3);
    l.VaSuivant();  // off the tail
    ASSERT_EQ(nullptr, l.pCourant());
    int x = 7;
    ASSERT_EQ(1, l.Ajoute(&x, 1));
    EXPECT_EQ((std::vector<int>{7, 0, 1, 2}), Contents(l));
    EXPECT_EQ(0, l.nGetIndiceCourant());
    EXPECT_EQ(7, Courant(l));

    l.VaPrecedent();  // off the head
    ASSERT_EQ(nullptr, l.pCourant());
    x = 8;
    ASSERT_EQ(1, l.Ajoute(&x, 0));
    EXPECT_EQ((std::vector<int>{7, 0, 1, 2, 8}), Contents(l));
    EXPECT_EQ(4, l.nGetIndiceCourant());
    EXPECT_EQ(8, Courant(l));
    EXPECT_EQ(nullptr, l.pVaSuivant());
    EXPECT_EQ(8, Courant(l));
}

TEST(ListeDeBuffer, RemovingTheCurrentElement)
{
    CListeDeBuffer l(sizeof(int));
    Fill(l, 2);
    l.pVaSurNumero(0);
    l.SupprimeCourant();
    EXPECT_EQ((std::vector<int>{1}), Contents(l));
    EXPECT_EQ(0, l.nGetIndiceCourant());
    EXPECT_EQ(1, Courant(l));
    l.SupprimeCourant();
    EXPECT_EQ(0, l.nGetNbElement());
    EXPECT_EQ(-1, l.nGetIndiceCourant());
    EXPECT_EQ(nullptr, l.pCourant());
    l.SupprimeCourant();

    Fill(l, 4);
    l.pVaSurNumero(2);
    l.SupprimeCourant();
    EXPECT_EQ((std::vector<int>{0, 1, 3}), Contents(l));
    EXPECT_EQ(1, l.nGetIndiceCourant());
    EXPECT_EQ(1, Courant(l));
    l.SupprimeTout();
    EXPECT_EQ(-1, l.nGetIndiceCourant());
    EXPECT_EQ(nullptr, l.pGetTete());
}

TEST(ListeDeBuffer, GoingToAnyIndexFromAnyCursor)
{
    const int n = 10;
    for (int from = -1; from < n; ++from) {
        for (int to = -1; to <= n; ++to) {
            CListeDeBuffer l(sizeof(int));
            Fill(l, n);
            if (from >= 0)
                l.pVaSurNumero(from);
            else
                l.VaSuivant();  // no current element
            void* p = l.pVaSurNumero(to);
            if (to < 0 || to >= n) {
                EXPECT_EQ(nullptr, p);
                continue;
            }
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(to, Courant(l));
            EXPECT_EQ(to, l.nGetIndiceCourant());
        }
    }
    CListeDeBuffer vide(sizeof(int));
    EXPECT_EQ(nullptr, vide.pVaSurNumero(0));
}

TEST(ListeDeBuffer, ExtractingARange)
{
    struct Case { int first, last; std::vector<int> moved, left; int sourceCursor, sourceIndexAfter; };
    const Case cases[] = {
        {2, 5, {2, 3, 4}, {0, 1, 5, 6, 7}, 6, 3},     // source cursor behind the range
        {2, 5, {2, 3, 4}, {0, 1, 5, 6, 7}, 3, 2},     // inside: moves to last's element
        {2, 5, {2, 3, 4}, {0, 1, 5, 6, 7}, 1, 1},     // before: unchanged
        {0, -1, {0, 1, 2, 3, 4, 5, 6, 7}, {}, 4, -1},  // to the end, emptying the source
        {5, -1, {5, 6, 7}, {0, 1, 2, 3, 4}, 7, 5},
    };
    for (const Case& c : cases) {
        CListeDeBuffer source(sizeof(int));
        Fill(source, 8);
        source.pVaSurNumero(c.first);
        CListeDeBuffer premier(source);
        if (c.last >= 0)
            source.pVaSurNumero(c.last);
        else
            source.pVaSurNumero(7), source.VaSuivant();
        CListeDeBuffer dernier(source);
        source.pVaSurNumero(c.sourceCursor);

        CListeDeBuffer cible(sizeof(int));
        cible.ExtraitListe(source, premier, dernier);
        EXPECT_EQ(c.moved, Contents(cible));
        EXPECT_EQ(0, cible.nGetIndiceCourant());
        EXPECT_EQ(c.left, Contents(source));
        EXPECT_EQ(c.sourceIndexAfter, source.nGetIndiceCourant());
        if (source.pCourant() != nullptr) {
            EXPECT_EQ(c.left[c.sourceIndexAfter], Courant(source));
        }
        for (const CListeDeBuffer* cur : {&premier, &dernier}) {
            EXPECT_EQ(source.pGetTete(), cur->pGetTete());
            EXPECT_EQ(source.nGetNbElement(), cur->nGetNbElement());
            EXPECT_EQ(c.first, cur->nGetIndiceCourant());
            EXPECT_EQ(c.last >= 0 ? c.last : -999, Courant(*cur));
        }
    }

    // Nothing happens for an empty range or a last element before the first.
    CListeDeBuffer source(sizeof(int));
    Fill(source, 5);
    source.pVaSurNumero(3);
    CListeDeBuffer premier(source);
    source.pVaSurNumero(1);
    CListeDeBuffer dernier(source);
    CListeDeBuffer cible(sizeof(int));
    cible.ExtraitListe(source, premier, dernier);
    cible.ExtraitListe(source, premier, premier);
    EXPECT_EQ(0, cible.nGetNbElement());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Contents(source));
}

// Random cursor moves, additions and removals against std::list.
TEST(ListeDeBuffer, MatchesAListUnderRandomEditsAndFailures)
{
    vxtest::XmallocFailures failures;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        failures.FailRandomly(seed >= 3 ? 0.1 : 0.0, seed);
        std::mt19937 rng(seed);
        CListeDeBuffer l(sizeof(int));
        std::vector<int> model;
        int cursor = -1;  // model index; -1 or size() = off an end
        bool hasCurrent = false;
        for (int step = 0; step < 5000; ++step) {
            const int n = static_cast<int>(model.size());
            const int v = static_cast<int>(rng() % 1000);
            switch (rng() % 8) {
            case 0:
            case 1: {
                const int before = static_cast<int>(rng() % 2);
                if (!l.Ajoute(&v, before)) break;
                if (n == 0) {
                    cursor = 0;
                    model.push_back(v);
                } else if (!hasCurrent) {
                    cursor = before ? 0 : n;
                    model.insert(model.begin() + cursor, v);
                } else if (before) {
                    model.insert(model.begin() + cursor, v);
                } else {
                    model.insert(model.begin() + ++cursor, v);
                }
                hasCurrent = true;
                break;
            }
            case 2:
                if (hasCurrent) {
                    l.SupprimeCourant();
                    model.erase(model.begin() + cursor);
                    if (cursor > 0)
                        --cursor;
                    else if (model.empty())
                        cursor = -1, hasCurrent = false;
                }
                break;
            case 3:
                if (n > 0) {
                    cursor = static_cast<int>(rng() % n);
                    l.pVaSurNumero(cursor);
                    hasCurrent = true;
                }
                break;
            case 4:
                if (hasCurrent) {
                    l.VaSuivant();
                    ++cursor;
                    hasCurrent = cursor < n;
                }
                break;
            case 5:
                if (hasCurrent) {
                    l.VaPrecedent();
                    --cursor;
                    hasCurrent = cursor >= 0;
                }
                break;
            case 6:
                if (hasCurrent && cursor + 1 < n) {
                    ASSERT_NE(nullptr, l.pVaSuivant());
                    ++cursor;
                } else {
                    ASSERT_EQ(nullptr, l.pVaSuivant());
                }
                break;
            case 7:
                if (rng() % 50 == 0) {
                    l.SupprimeTout();
                    model.clear();
                    cursor = -1;
                    hasCurrent = false;
                }
                break;
            }
            ASSERT_EQ(model, Contents(l)) << "seed " << seed << " step " << step;
            ASSERT_EQ(hasCurrent, l.pCourant() != nullptr) << "seed " << seed << " step " << step;
            if (hasCurrent) {
                ASSERT_EQ(cursor, l.nGetIndiceCourant());
                ASSERT_EQ(model[cursor], Courant(l));
            }
        }
    }
}

TEST(SimpleBuffer, SizesCopiesAndFailures)
{
    CSimpleBuffer vide;
    EXPECT_EQ(nullptr, vide.pGetData());
    EXPECT_EQ(0u, vide.nGetSize());

    CSimpleBuffer b(8);
    std::memcpy(b.pGetData(), "abcdefgh", 8);
    EXPECT_EQ(1, b.SetSize(8));  // same size keeps the contents
    EXPECT_EQ(0, std::memcmp(b.pGetData(), "abcdefgh", 8));
    EXPECT_EQ(1, b.SetSize(0));
    EXPECT_EQ(nullptr, b.pGetData());

    CSimpleBuffer c("xyz", 3);
    CSimpleBuffer d(&c);
    EXPECT_EQ(3u, d.nGetSize());
    EXPECT_EQ(0, std::memcmp(d.pGetData(), "xyz", 3));
    // A copy of part of its own block.
    ASSERT_EQ(1, d.CopyBuffer(static_cast<const char*>(d.pGetData()) + 1, 2));
    EXPECT_EQ(2u, d.nGetSize());
    EXPECT_EQ(0, std::memcmp(d.pGetData(), "yz", 2));

    vxtest::XmallocFailures failures;
    failures.FailAll(true);
    EXPECT_EQ(0, d.CopyBuffer("0123456789", 10));
    EXPECT_EQ(0u, d.nGetSize());
    EXPECT_EQ(nullptr, d.pGetData());
    CSimpleBuffer e("abc", 3);
    EXPECT_EQ(0u, e.nGetSize());

    failures.FailAll(false);
    CListeDeBuffer l(sizeof(int));
    Fill(l, 2);
    failures.FailAll(true);
    int x = 5;
    EXPECT_EQ(0, l.Ajoute(&x, 1));
    EXPECT_EQ((std::vector<int>{0, 1}), Contents(l));
}

}  // namespace
