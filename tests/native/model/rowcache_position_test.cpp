// The saved positions' row cache: rows kept once per identity, counted,
// released, and their slots reused from the free-slot hint; what it refuses
// of the plain cache; and a kept row's entry surviving the reuse of the slot
// it had before.
#include <gtest/gtest.h>

#include "tests/native/model/rowcache_fixture.h"

namespace {

using vxtest::Bytes;

class SavedPositions : public vxtest::RowCacheTest
{
protected:
    void SetUp() override
    {
        vxtest::RowCacheTest::SetUp();
        m_cache.reset(new CNARecordCachePosition);
    }
    CNARecordCachePosition& Saves() { return static_cast<CNARecordCachePosition&>(*m_cache); }
    // Keeps a row and takes one count on it, as the data access does.
    int Keep(const char* psz)
    {
        const int n = Saves().nKeepRecordSave(TempRow(Bytes(psz)));
        Saves().AddRefRecordSave(n);
        return n;
    }
};

TEST_F(SavedPositions, StartEnabledAndRefuseThePlainCachesWays)
{
    EXPECT_EQ(1u, Saves().dwGetFlags());
    EXPECT_EQ(-1, Saves().nGetFreePosHint());
    EXPECT_EQ(-1, Saves().nAjoute(TempRow(Bytes("r"))));
    EXPECT_EQ(0, Saves().nGetRowCount());
    EXPECT_EQ(-1, Saves().Insere(TempRow(Bytes("r")), 3)) << "no reserved rows can be appended: it stops";
    EXPECT_EQ(0, Saves().nGetRowCount());
    EXPECT_EQ(-1, Saves().nOnNotifyOperation(3, TempRow(Bytes("r")), nullptr, 0, 0));
    ASSERT_EQ(0, Keep("r0"));
    ASSERT_EQ(1, Keep("r1"));
    EXPECT_EQ(-1, Saves()._Insere(TempRow(Bytes("rx")), 0));
    EXPECT_EQ(-1, Saves().Insere(TempRow(Bytes("rx")), 0));
    Saves().Supprime(0);
    EXPECT_EQ(2, Saves().nGetRowCount());
    EXPECT_EQ(0, Lookup(Bytes("r0")));
}

TEST_F(SavedPositions, TheSameRowIsKeptOnce)
{
    EXPECT_EQ(0, Keep("row"));
    EXPECT_EQ(0, Saves().nKeepRecordSave(TempRow(Bytes("row"))));
    EXPECT_EQ(1u, Saves().dwGetRecordSaveCount(0)) << "keeping takes no count";
    Saves().AddRefRecordSave(0);
    Saves().AddRefRecordSave(0);
    EXPECT_EQ(3u, Saves().dwGetRecordSaveCount(0));
    EXPECT_EQ(1, Saves().nGetRowCount());
}

TEST_F(SavedPositions, FreedSlotsAreReusedFromTheHint)
{
    for (const char* psz : {"r0", "r1", "r2", "r3"})
        Keep(psz);
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(1));
    EXPECT_EQ(1, Saves().nGetFreePosHint());
    EXPECT_EQ(-1, Lookup(Bytes("r1"))) << "a released row leaves the identity hash";
    EXPECT_EQ(3u, Saves().nGetHashCount());

    EXPECT_EQ(1, Keep("n1"));
    EXPECT_EQ(Bytes("n1"), Read(1));
    EXPECT_EQ(1, Lookup(Bytes("n1")));
    EXPECT_EQ(4, Keep("n4"));
    EXPECT_EQ(-1, Saves().nGetFreePosHint()) << "the scan passed the last slot";
    EXPECT_EQ(5, Saves().nGetRowCount());

    // The hint goes down to the lowest released slot and follows the scan.
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(3));
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(2));
    EXPECT_EQ(2, Saves().nGetFreePosHint());
    EXPECT_EQ(2, Saves()._nGetFirstFreePos());
    EXPECT_EQ(2, Keep("n2"));
    EXPECT_EQ(3, Saves()._nGetFirstFreePos());
    EXPECT_EQ(3, Saves().nGetFreePosHint());
}

TEST_F(SavedPositions, CountsNeverGoBelowZero)
{
    ASSERT_EQ(0, Keep("r0"));
    Saves().AddRefRecordSave(0);
    EXPECT_EQ(1u, Saves().nReleaseRecordSave(0));
    EXPECT_EQ(-1, Saves().nGetFreePosHint());
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(0));
    EXPECT_EQ(0, Saves().nGetFreePosHint());
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(0)) << "a release at 0 changes nothing";
    EXPECT_EQ(0u, Saves().dwGetRecordSaveCount(0));
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(7));
    EXPECT_EQ(0u, Saves().nReleaseRecordSave(-1));
    Saves().AddRefRecordSave(7);
    Saves().AddRefRecordSave(-1);
    EXPECT_EQ(1, Saves().nGetRowCount());
}

TEST_F(SavedPositions, EmptyingStartsAgainAtZero)
{
    Keep("r0");
    Keep("r1");
    Saves().nReleaseRecordSave(0);
    Saves().SupprimeTout();
    EXPECT_EQ(-1, Saves().nGetFreePosHint());
    EXPECT_EQ(0, Saves().nGetRowCount());
    EXPECT_EQ(0u, Saves().dwGetRecordSaveCount(0));
    EXPECT_EQ(1u, Saves().dwGetFlags());
    EXPECT_EQ(0, Keep("r1"));
    EXPECT_EQ(1u, Saves().dwGetRecordSaveCount(0));
    EXPECT_EQ(1, Keep("r2"));
}

TEST_F(SavedPositions, AReusedSlotDoesNotTakeTheEntryOfARowKeptAgainElsewhere)
{
    ASSERT_EQ(0, Keep("AA"));
    ASSERT_EQ(1, Keep("YY"));
    ASSERT_EQ(2, Keep("BB"));
    ASSERT_EQ(3, Keep("XX"));
    // X (slot 3) and Y (slot 1) are released; X is kept again and takes
    // slot 1. Slot 3 still holds X's old bytes.
    Saves().nReleaseRecordSave(3);
    Saves().nReleaseRecordSave(1);
    ASSERT_EQ(1, Keep("XX"));
    // A new row takes slot 3: only slot 3's own entry may go, and it went
    // at the release, so X's live entry for slot 1 stays.
    ASSERT_EQ(3, Keep("ZZ"));
    EXPECT_EQ(1, Lookup(Bytes("XX")));
    EXPECT_EQ(3, Lookup(Bytes("ZZ")));
    EXPECT_EQ(4u, Saves().nGetHashCount());
    // Kept again, X is found, not kept a second time.
    EXPECT_EQ(1, Keep("XX"));
    EXPECT_EQ(2u, Saves().dwGetRecordSaveCount(1));
    EXPECT_EQ(4, Saves().nGetRowCount());
}

}  // namespace
