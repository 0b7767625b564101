#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "common/text/tableau.h"
#include "common/text/tableau_de_buffer.h"
#include "tests/common/xmalloc_failures.h"

namespace {

struct Big
{
    unsigned char bytes[300];
};

std::vector<int> Contents(const CTTableau<int>& t)
{
    return std::vector<int>(t.pGetData(), t.pGetData() + t.nGetNbElement());
}

TEST(TableauGrowth, StepOneSwitchesToTwentyAbove100SmallElements)
{
    CTTableau<int> t(1);
    std::vector<int> capacities;
    for (int i = 0; i < 141; ++i) {
        const int before = t.nGetNbAlloue();
        ASSERT_EQ(1, t.Ajoute(i));
        if (t.nGetNbAlloue() != before) capacities.push_back(t.nGetNbAlloue());
    }
    ASSERT_EQ(103u, capacities.size());
    for (int i = 0; i < 101; ++i) EXPECT_EQ(i + 1, capacities[i]);
    EXPECT_EQ(121, capacities[101]);
    EXPECT_EQ(141, capacities[102]);
    for (int i = 0; i < 141; ++i) ASSERT_EQ(i, t[i]);

    // Elements above 256 bytes keep growing one by one.
    CTTableau<Big> big(1);
    const Big b = {};
    for (int i = 0; i < 103; ++i) ASSERT_EQ(1, big.Ajoute(b));
    EXPECT_EQ(103, big.nGetNbAlloue());

    // The switch also fires on a temporary step of 1 set by AlloueMemoire.
    EXPECT_EQ(141, t.nGetNbAlloue());
    CTTableau<int> u(1);
    ASSERT_EQ(1, u.AlloueMemoire(101));
    ASSERT_EQ(101, u.nGetNbAlloue());
    ASSERT_EQ(1, u.AlloueMemoire(102));
    EXPECT_EQ(121, u.nGetNbAlloue());
}

TEST(TableauGrowth, ReservationsGrowByWholeSteps)
{
    struct Case { int count, step, more, capacity; };
    const Case cases[] = {
        {10, 10, 5, 20}, {10, 10, 11, 30}, {10, 10, 0, 10}, {10, 10, 10, 20}, {3, 7, 20, 24},
    };
    for (const Case& c : cases) {
        CTTableau<int> t(c.step);
        ASSERT_EQ(1, t.AlloueMemoire(c.count));
        for (int i = 0; i < c.count; ++i) t.Ajoute(i);
        ASSERT_EQ(c.count, t.nGetNbAlloue());
        EXPECT_EQ(1, t.AgranditMemoire(c.more));
        EXPECT_EQ(c.capacity, t.nGetNbAlloue()) << c.count << "+" << c.more << " step " << c.step;
    }
    CTTableau<int> t(10);
    t.AlloueMemoire(5);
    EXPECT_EQ(5, t.nGetNbAlloue());
    t.AlloueMemoire(3);  // never shrinks
    EXPECT_EQ(5, t.nGetNbAlloue());
}

TEST(TableauGrowth, SizesPastTwoGigabytesAreRefusedWithoutAllocating)
{
    vxtest::XmallocFailures failures;
    CTableauDeBuffer t(0x40000000, 1, 30);
    EXPECT_EQ(0, t.AlloueMemoire(2));
    EXPECT_EQ(0, t.nGetNbAlloue());
    CTableauDeBuffer u(4, 1, 30);
    EXPECT_EQ(0, u.AlloueMemoire(INT_MAX / 4 + 1));
    EXPECT_EQ(0, failures.Calls());
}

TEST(TableauEdit, EtendFillsTheGap)
{
    CTTableau<int> t(10);
    ASSERT_EQ(1, t.Etend(5, 42, -1));
    EXPECT_EQ((std::vector<int>{-1, -1, -1, -1, -1, 42}), Contents(t));
    EXPECT_EQ(15, t.nGetNbAlloue());  // index + step
    ASSERT_EQ(1, t.Etend(6, 7, -1));    // appends
    ASSERT_EQ(1, t.Etend(2, 9, -1));    // overwrites
    ASSERT_EQ(1, t.Etend(9, 8, 0));     // within capacity, no growth
    EXPECT_EQ((std::vector<int>{-1, -1, 9, -1, -1, 42, 7, 0, 0, 8}), Contents(t));
    EXPECT_EQ(15, t.nGetNbAlloue());
}

TEST(TableauEdit, SupprimeCompacteOnlyPastTheSlackLimit)
{
    struct Case { int capacity, count, after; };
    const Case cases[] = {{100, 50, 49}, {60, 31, 60}, {60, 32, 60}, {61, 31, 30}};
    for (const Case& c : cases) {
        CTTableau<int> t(1);
        t.AlloueMemoire(c.capacity);
        for (int i = 0; i < c.count; ++i) t.Ajoute(i);
        t.SupprimeCompacte(0);
        EXPECT_EQ(c.after, t.nGetNbAlloue()) << c.capacity << "/" << c.count;
        EXPECT_EQ(c.count - 1, t.nGetNbElement());
        EXPECT_EQ(1, t[0]);
    }
}

TEST(TableauEdit, CompactingAnEmptyArrayFreesItsStorage)
{
    CTTableau<int> t(10);
    t.Ajoute(1);
    t.Supprime(0, 1);
    t.Compacter();
    EXPECT_EQ(nullptr, t.pGetBuffer());
    EXPECT_EQ(0, t.nGetNbAlloue());
    ASSERT_EQ(1, t.Ajoute(2));
    EXPECT_EQ(10, t.nGetNbAlloue());
    EXPECT_EQ(2, t[0]);
    t.SupprimeToutEtLibere();
    EXPECT_EQ(nullptr, t.pGetBuffer());
    t.SupprimeToutEtLibere();
}

TEST(TableauEdit, PermuteMultipleReordersAndStaysInBounds)
{
    CTTableau<int> t(10);
    for (int i = 0; i < 10; ++i) t.Ajoute(i);
    // Run (0, 2), then blocks 6-7 and 8 merge, then 2-3; the rest keeps its place.
    _STBlocATrier blocs[] = {{6, 2}, {8, 1}, {2, 2}};
    ASSERT_EQ(1, t.PermuteMultiple(2, blocs, 3));
    EXPECT_EQ((std::vector<int>{0, 1, 6, 7, 8, 2, 3, 7, 8, 9}), Contents(t));

    // Blocks that run past the count or the capacity are cut, never written past.
    CTTableau<int> u(1);
    for (int i = 0; i < 4; ++i) u.Ajoute(i);
    ASSERT_EQ(4, u.nGetNbAlloue());
    _STBlocATrier wild[] = {{3, 50}, {1, 2}, {-5, 3}, {100, 2}, {0, 4}};
    ASSERT_EQ(1, u.PermuteMultiple(0, wild, 5));
    EXPECT_EQ((std::vector<int>{3, 1, 2, 0}), Contents(u));
}

TEST(TableauEdit, MovesSwapsSearchesAndOwnership)
{
    CTTableau<int> t(4);
    for (int i = 0; i < 6; ++i) t.Ajoute(i);
    t.Deplace(1, 4);
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4, 1, 5}), Contents(t));
    t.Deplace(4, 0);
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 4, 5}), Contents(t));
    t.Swap(0, 5);
    t.Supprime(2, 0);
    EXPECT_EQ((std::vector<int>{5, 0, 2, 3, 4, 1}), Contents(t));

    CTTableau<int> copie(3);
    ASSERT_EQ(1, copie._Duplique(t));
    EXPECT_EQ(Contents(t), Contents(copie));
    EXPECT_EQ(6, copie.nGetNbAlloue());

    CTTableau<int> prise(3);
    prise.Ajoute(99);
    prise.Recupere(copie);
    EXPECT_EQ(Contents(t), Contents(prise));
    EXPECT_EQ(nullptr, copie.pGetBuffer());
    EXPECT_EQ(0, copie.nGetNbElement());

    CTTableau<int> autre(7);
    autre.Ajoute(11);
    CTableauDeBuffer::EchangeTableau(&autre, &prise);
    EXPECT_EQ((std::vector<int>{11}), Contents(prise));
    EXPECT_EQ(7, prise.nGetPas());
    EXPECT_EQ(6, autre.nGetNbElement());

    ASSERT_EQ(1, autre.Initialise(5, 3));
    EXPECT_EQ((std::vector<int>{5, 5, 5}), Contents(autre));
    EXPECT_EQ(3, autre.nGetNbAlloue());

    int values[3] = {10, 20, 30};
    CTTableauPtr<int> ptrs(2);
    auto crit = [](long key, void const* e) { return *static_cast<const int*>(e) == key ? 0 : 1; };
    int calls = 0;
    static int* s_calls = nullptr;
    s_calls = &calls;
    auto counting = [](long, void const*) { ++*s_calls; return 0; };
    EXPECT_EQ(-1, ptrs.nRechercheLineaireCriterePointeur(0, counting));
    EXPECT_EQ(0, calls);
    for (int& v : values) ptrs.Ajoute(&v);
    EXPECT_EQ(1, ptrs.nRechercheLineaireCriterePointeur(20, crit));
    EXPECT_EQ(&values[2], ptrs.pRechercheLineaireCriterePointeur(30, crit));
    EXPECT_EQ(nullptr, ptrs.pRechercheLineaireCriterePointeur(40, crit));
}

TEST(TableauEdit, ElementsFromTheArrayItselfSurviveGrowth)
{
    // The source lies in the block that growth reallocates (AddressSanitizer
    // would see a read of the freed block).
    CTTableau<int> t(1);
    t.Ajoute(7);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(1, t.CTableauDeBuffer::Ajoute(t.pGetAt(0)));
    ASSERT_EQ(1, t.CTableauDeBuffer::Insere(t.pGetAt(t.nGetNbElement() - 1), 0));
    t[5] = 3;
    ASSERT_EQ(1, t.CTableauDeBuffer::Etend(400, t.pGetAt(5), t.pGetAt(1)));
    for (int i = 0; i < 401; ++i) ASSERT_EQ(i == 5 || i == 400 ? 3 : 7, t[i]) << i;
}

TEST(TableauFailure, NothingChangesWhenMemoryIsShort)
{
    vxtest::XmallocFailures failures;
    CTTableau<int> t(2);
    t.Ajoute(1);
    t.Ajoute(2);
    failures.FailAll(true);
    EXPECT_EQ(0, t.Ajoute(3));
    EXPECT_EQ(0, t.Insere(3, 0));
    EXPECT_EQ(0, t.Etend(10, 3, 0));
    EXPECT_EQ(0, t.AgranditMemoire(1));
    EXPECT_EQ((std::vector<int>{1, 2}), Contents(t));
    EXPECT_EQ(2, t.nGetNbAlloue());

    CTTableau<int> copie(2);
    EXPECT_EQ(0, copie._Duplique(t));
    EXPECT_EQ(0, copie.nGetNbElement());
    EXPECT_EQ(0, t.PermuteMultiple(0, nullptr, 0));
    EXPECT_EQ((std::vector<int>{1, 2}), Contents(t));

    // A compaction that cannot shrink keeps the larger block.
    failures.FailAll(false);
    CTTableau<int> u(100);
    for (int i = 0; i < 40; ++i) u.Ajoute(i);
    failures.FailAll(true);
    u.SupprimeCompacte(0);
    EXPECT_EQ(100, u.nGetNbAlloue());
    EXPECT_EQ(39, u.nGetNbElement());
    EXPECT_EQ(39, u[38]);
    EXPECT_EQ(0, u.Initialise(1, 4));
    EXPECT_EQ(39, u.nGetNbElement());
    EXPECT_EQ(1, u[0]);
    failures.FailAll(false);
    ASSERT_EQ(1, u.CTableauDeBuffer::Initialise(u.pGetAt(38), 3));  // from its own storage
    EXPECT_EQ((std::vector<int>{39, 39, 39}), Contents(u));
}

// Random edits against std::vector, with random allocation failures: a failed
// edit must leave the array exactly as it was.
TEST(TableauProperty, MatchesAVectorUnderRandomEditsAndFailures)
{
    vxtest::XmallocFailures failures;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        failures.FailRandomly(seed % 2 == 0 ? 0.3 : 0.0, seed);
        CTTableau<long> t(static_cast<int>(1 + seed % 3 * 4));
        std::vector<long> model;
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        for (int step = 0; step < 4000; ++step) {
            const int n = static_cast<int>(model.size());
            const long v = static_cast<long>(rng());
            switch (pick(10)) {
            case 0:
            case 1:
                if (t.Ajoute(v)) model.push_back(v);
                break;
            case 2: {
                const int i = pick(n + 1);
                if (t.Insere(v, i)) model.insert(model.begin() + i, v);
                break;
            }
            case 3:
                if (n > 0) {
                    const int i = pick(n);
                    const int k = pick(n - i + 1);
                    t.Supprime(i, k);
                    model.erase(model.begin() + i, model.begin() + i + k);
                }
                break;
            case 4:
                if (n > 0) {
                    const int i = pick(n);
                    t.SupprimeCompacte(i);
                    model.erase(model.begin() + i);
                }
                break;
            case 5:
                if (n > 1) {
                    const int a = pick(n), b = pick(n);
                    t.Deplace(a, b);
                    const long x = model[a];
                    model.erase(model.begin() + a);
                    model.insert(model.begin() + b, x);
                }
                break;
            case 6:
                if (n > 1) {
                    const int a = pick(n), b = pick(n);
                    t.Swap(a, b);
                    std::swap(model[a], model[b]);
                }
                break;
            case 7: {
                const int i = pick(n + 5);
                if (t.Etend(i, v, -7)) {
                    if (i >= n) model.resize(i + 1, -7);
                    model[i] = v;
                }
                break;
            }
            case 8:
                if (n > 0) {
                    const int k = pick(n + 1);
                    t.SupprimeDernier(k);
                    model.resize(n - k);
                }
                break;
            case 9:
                if (pick(20) == 0) t.Compacter();
                break;
            }
            ASSERT_EQ(model.size(), static_cast<size_t>(t.nGetNbElement())) << "seed " << seed << " step " << step;
            ASSERT_LE(t.nGetNbElement(), t.nGetNbAlloue());
            ASSERT_TRUE(std::equal(model.begin(), model.end(), t.pGetData())) << "seed " << seed << " step " << step;
        }
        if (seed % 2 == 0) {
            EXPECT_GT(failures.Failures(), 0) << failures.Calls() << " allocations";
        }
    }
}

}  // namespace
