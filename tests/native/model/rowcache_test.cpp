// The row cache: its slots, flags and fetch questions, rows appended,
// inserted beyond the end and in the middle, updated (in place and anew),
// removed and emptied, their identities found by hash (rows of equal bytes
// among them), rows read back through the template, positions with and
// without deleted rows, and the notifications after writes.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/native/abi_slots.h"
#include "tests/native/model/rowcache_fixture.h"

namespace {

using vxtest::Bytes;
using vxtest::Octets;

template <class T>
T At(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

TEST(RowCacheSlots, InTheirOrder)
{
    vxtest::ExpectSlots("CNARecordCache", {
        VX_SLOT(CNARecordCache, _NotToBeCalled, 2),
        VX_SLOT(CNARecordCache, SetGrowStep, 3),
        VX_SLOT(CNARecordCache, nAjoute, 4),
        VX_SLOT(CNARecordCache, Supprime, 5),
        VX_SLOT(CNARecordCache, SupprimeTout, 6),
        VX_SLOT(CNARecordCache, _nAjoute, 7),
        VX_SLOT(CNARecordCache, _Insere, 8),
    });
    EXPECT_EQ(9, VX_SLOT_COUNT(CNARecordCache));
    EXPECT_EQ(9, VX_SLOT_COUNT(CNARecordCachePosition));
}

class RowCache : public vxtest::RowCacheTest
{
protected:
    struct PositionCase
    {
        long from;
        int direction;
        long count;
        int result;
    };
    void ExpectPositions(std::initializer_list<PositionCase> cases)
    {
        for (const PositionCase& c : cases) {
            EXPECT_EQ(c.result, Position(c.from, c.direction, c.count))
                << c.from << " " << c.direction << " " << c.count;
        }
    }
};

TEST_F(RowCache, FlagsAndFetchQuestions)
{
    EXPECT_EQ(0u, m_cache->dwGetFlags());
    EXPECT_EQ(NA_RECORDID_NONE, m_cache->eGetRecordIdType());
    m_cache->SetFetchComplete();
    EXPECT_EQ(0u, m_cache->dwGetFlags()) << "not while disabled";
    EXPECT_TRUE(m_cache->bMustFetch(0)) << "a disabled cache fetches everything";
    EXPECT_TRUE(m_cache->bMustFetch(-1));

    m_cache->SetEnabled(1);
    ASSERT_EQ(0, Append(Bytes("row 0")));
    EXPECT_FALSE(m_cache->bMustFetch(-1));
    EXPECT_FALSE(m_cache->bMustFetch(0));
    EXPECT_TRUE(m_cache->bMustFetch(1));
    EXPECT_TRUE(m_cache->bMustFetch(1000));
    m_cache->SetFetchComplete();
    EXPECT_EQ(9u, m_cache->dwGetFlags());
    EXPECT_FALSE(m_cache->bMustFetch(1));
    EXPECT_FALSE(m_cache->bMustFetch(1000));

    EXPECT_TRUE(m_cache->bEndehors(-1));
    EXPECT_FALSE(m_cache->bEndehors(0));
    EXPECT_TRUE(m_cache->bEndehors(1));
}

TEST_F(RowCache, InsertBeyondTheEndReservesTheRowsBetween)
{
    m_cache->SetEnabled(1);
    for (const char* psz : {"r0", "r1", "r2"})
        Append(Bytes(psz));
    EXPECT_EQ(5, m_cache->Insere(TempRow(Bytes("r5")), 5));
    ASSERT_EQ(6, m_cache->nGetRowCount());
    EXPECT_EQ(2, m_cache->nGetDeletedCount());
    for (int n : {3, 4}) {
        EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(n));
        EXPECT_FALSE(m_cache->bRecordInCache(n));
        EXPECT_TRUE(m_cache->bMustFetch(n)) << "a reserved row is still to be read";
        EXPECT_FALSE(Read(n).has_value());
    }
    EXPECT_EQ(Bytes("r5"), Read(5));
    EXPECT_EQ(5, Lookup(Bytes("r5")));
    EXPECT_EQ(4u, m_cache->nGetHashCount());

    // A reserved row is filled by an update, which counts it present again.
    ASSERT_EQ(1, m_cache->Update(3, TempRow(Bytes("r3"))));
    EXPECT_EQ(Bytes("r3"), Read(3));
    EXPECT_EQ(1, m_cache->nGetDeletedCount());
    EXPECT_EQ(3, Lookup(Bytes("r3")));
    EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(6)) << "outside the rows";
}

TEST_F(RowCache, KindOneIdentitiesStandForTheCachesOwnCopy)
{
    ASSERT_EQ(0, Append(Bytes("abcdef"), "memo"));
    EXPECT_EQ(NA_RECORDID_VALUES, m_cache->eGetRecordIdType());
    const unsigned char* pbyRecord = m_cache->GetRecordTable().pbyGetElement(0);
    const unsigned char* pbyId = m_cache->GetIdTable().pbyGetElement(0);
    ASSERT_NE(nullptr, pbyRecord);
    ASSERT_NE(nullptr, pbyId);
    EXPECT_EQ(Bytes("abcdef"), Octets(pbyRecord, pbyRecord + 6));
    EXPECT_EQ(6u, m_cache->GetRecordTable().llGetElementLength(0));
    EXPECT_EQ(28u, m_cache->GetIdTable().llGetElementLength(0));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pbyRecord), At<uint64_t>(pbyId + 12));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(m_cache->pclGetMemoNoRef(0)), At<uint64_t>(pbyId + 20));
    EXPECT_EQ(6u, At<uint64_t>(pbyId + 4));
    EXPECT_EQ("memo", TextOf(m_cache->pclGetMemoNoRef(0)->pclGetNoRef(0)));
    EXPECT_TRUE(m_cache->bMemoInCache(0));
    // The cached copy, not the row handed in (long gone), is what is found.
    EXPECT_EQ(0, Lookup(Bytes("abcdef")));
    EXPECT_EQ("memo", MemoOf(0));
}

TEST_F(RowCache, TheTemplateFillsRowValuesWithoutBuffer)
{
    Append(Bytes("first row"));
    Append(Bytes("other row"), "m");
    CNARecordValue* pclTemplate = m_cache->pclGetTemplateNoRef();
    ASSERT_NE(nullptr, pclTemplate);
    EXPECT_EQ(nullptr, pclTemplate->pclGetRecordMemoNoRef()) << "copy flags 5: buffer and identity";
    EXPECT_EQ(NA_RECORDID_VALUES, pclTemplate->pclGetRecordIDNoRef()->eGetRecordIdType());

    CNARecordValue* pclRow = EmptyRow();
    pclRow->SetRecordState(NA_RS_DELETED);
    ASSERT_EQ(1, m_cache->bGetAt(pclRow, 1u));
    EXPECT_EQ(Bytes("other row"), vxtest::RowBytes(*pclRow));
    const auto* pclId = static_cast<const CNARecordId_RecordValues*>(pclRow->pclGetRecordIDNoRef());
    ASSERT_NE(nullptr, pclId);
    EXPECT_EQ(pclRow->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pclId->pbyGetRecord());
    EXPECT_EQ(pclRow->pclGetRecordMemoNoRef(), pclId->pclGetMemoNoRef());
    EXPECT_EQ("m", TextOf(pclRow->pclGetMemoValueNoRef(0)));
    EXPECT_EQ(NA_RS_PRESENT, pclRow->eGetRecordState()) << "the template's state";
    EXPECT_EQ(1, m_cache->nGetRecordIndice(pclRow));

    // A buffer without identity gets one before anything is read into it;
    // the state is left as it was.
    CNARecordValue* pclBare = Row(Octets(9, 'x'), false);
    pclBare->SetRecordState(NA_RS_DELETED);
    ASSERT_EQ(1, m_cache->bGetAt(pclBare, 0u));
    EXPECT_EQ(Bytes("first row"), vxtest::RowBytes(*pclBare));
    EXPECT_EQ(0, m_cache->nGetRecordIndice(pclBare));
    EXPECT_EQ(NA_RS_DELETED, pclBare->eGetRecordState());
    EXPECT_EQ(nullptr, pclBare->pclGetRecordMemoNoRef());

    EXPECT_FALSE(m_cache->bGetAt(pclBare, 2u));
    EXPECT_FALSE(m_cache->bGetAt(nullptr, 0u));
    // A buffer of another size cannot take the row.
    EXPECT_FALSE(m_cache->bGetAt(Row(Octets(4, 'x'), false), 0u));
}

TEST_F(RowCache, RowsOfEqualBytesKeepTheirOwnHashEntries)
{
    m_cache->SetEnabled(1);
    Append(Bytes("same"));
    Append(Bytes("same"));
    Append(Bytes("else"));
    EXPECT_EQ(3u, m_cache->nGetHashCount());

    // Updating row 0 takes out row 0's entry, not row 1's, whichever the
    // hash would find first by comparing keys.
    ASSERT_EQ(1, m_cache->Update(0, TempRow(Bytes("new0"))));
    EXPECT_EQ(3u, m_cache->nGetHashCount());
    EXPECT_EQ(1, Lookup(Bytes("same")));
    EXPECT_EQ(0, Lookup(Bytes("new0")));

    // A later write notification still finds row 1.
    EXPECT_EQ(1, m_cache->nOnNotifyOperation(4, nullptr, TempRow(Bytes("same")), 0, 0));
    EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(1));
    ASSERT_EQ(1, m_cache->Update(1, TempRow(Bytes("new1"))));
    EXPECT_EQ(-1, Lookup(Bytes("same")));
    EXPECT_EQ(0, Lookup(Bytes("new0")));
    EXPECT_EQ(3u, m_cache->nGetHashCount());

    // The same when the row goes: only its own entry leaves.
    Append(Bytes("twin"));
    Append(Bytes("twin"));
    m_cache->Supprime(4);
    EXPECT_EQ(3, Lookup(Bytes("twin")));
    m_cache->Supprime(3);
    EXPECT_EQ(-1, Lookup(Bytes("twin")));
    EXPECT_EQ(3u, m_cache->nGetHashCount());
}

TEST_F(RowCache, RemovalShiftsTheLaterRowsWithTheirMemos)
{
    const char* texts[] = {"r0", "r1", "r2", "r3", "r4"};
    for (int i = 0; i < 5; ++i)
        Append(Bytes(texts[i]), i % 2 ? texts[i] : nullptr);
    m_cache->SetRecordState(3, NA_RS_DELETED);
    EXPECT_EQ(1, m_cache->nGetDeletedCount());
    m_cache->Supprime(1);
    ASSERT_EQ(4, m_cache->nGetRowCount());
    EXPECT_EQ(-1, Lookup(Bytes("r1")));
    EXPECT_EQ(0, Lookup(Bytes("r0")));
    EXPECT_EQ(1, Lookup(Bytes("r2")));
    EXPECT_EQ(2, Lookup(Bytes("r3")));
    EXPECT_EQ(3, Lookup(Bytes("r4")));
    EXPECT_EQ("r3", MemoOf(2));
    EXPECT_EQ("<none>", MemoOf(1));
    EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(2));
    m_cache->Supprime(2);
    EXPECT_EQ(0, m_cache->nGetDeletedCount());
    m_cache->Supprime(3);
    m_cache->Supprime(100);
    EXPECT_EQ(3, m_cache->nGetRowCount());
    EXPECT_EQ(3u, m_cache->nGetHashCount());
}

TEST_F(RowCache, InsertionInTheMiddleMovesTheLaterRows)
{
    Append(Bytes("r0"));
    Append(Bytes("r1"), "m1");
    Append(Bytes("r2"));
    EXPECT_EQ(1, m_cache->Insere(TempRow(Bytes("nw"), "mnew"), 1));
    EXPECT_EQ(0, m_cache->Insere(TempRow(Bytes("tp")), 0));
    EXPECT_EQ(2, m_cache->_Insere(nullptr, 2));
    ASSERT_EQ(6, m_cache->nGetRowCount());
    const char* order[] = {"tp", "r0", nullptr, "nw", "r1", "r2"};
    const char* memos[] = {"<none>", "<none>", "<unread>", "mnew", "m1", "<none>"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        if (order[i] == nullptr) {
            EXPECT_FALSE(Read(i).has_value());
            continue;
        }
        EXPECT_EQ(Bytes(order[i]), Read(i));
        EXPECT_EQ(i, Lookup(Bytes(order[i])));
        EXPECT_EQ(memos[i], MemoOf(i));
    }
    EXPECT_EQ(1, m_cache->nGetDeletedCount());
    EXPECT_EQ(-1, m_cache->_Insere(TempRow(Bytes("end")), 6)) << "_Insere is for rows below the count";
}

TEST_F(RowCache, UpdatesThatDoNotFitAreStoredAnew)
{
    Append(Bytes("0123456789"));
    Append(Bytes("abcdefghij"));
    const unsigned char* pbyFormer = m_cache->GetRecordTable().pbyGetElement(1);
    // Same size: in place.
    ASSERT_EQ(1, m_cache->Update(1, TempRow(Bytes("ABCDEFGHIJ"))));
    EXPECT_EQ(pbyFormer, m_cache->GetRecordTable().pbyGetElement(1));
    // Larger: never over the stored bytes.
    ASSERT_EQ(1, m_cache->Update(1, TempRow(Bytes("a much longer row than before"))));
    EXPECT_NE(pbyFormer, m_cache->GetRecordTable().pbyGetElement(1));
    EXPECT_EQ(Bytes("ABCDEFGHIJ"), Octets(pbyFormer, pbyFormer + 10)) << "the old element untouched";
    EXPECT_EQ(Bytes("0123456789"), Read(0));
    CNARecordValue* pclWide = Row(Octets(29, ' '), false);
    ASSERT_EQ(1, m_cache->bGetAt(pclWide, 1u));
    EXPECT_EQ(Bytes("a much longer row than before"), vxtest::RowBytes(*pclWide));
    EXPECT_EQ(1, Lookup(Bytes("a much longer row than before")));
    EXPECT_EQ(-1, Lookup(Bytes("ABCDEFGHIJ")));
    // Smaller: in place, with its own length.
    ASSERT_EQ(1, m_cache->Update(1, TempRow(Bytes("short"))));
    EXPECT_EQ(5u, m_cache->GetRecordTable().llGetElementLength(1));
    EXPECT_EQ(1, Lookup(Bytes("short")));

    // A row without buffer or a null row leaves the row reserved.
    ASSERT_EQ(1, m_cache->Update(1, TempEmptyRow()));
    EXPECT_FALSE(m_cache->bRecordInCache(1));
    EXPECT_EQ(-1, Lookup(Bytes("short")));
    ASSERT_EQ(1, m_cache->Update(0, nullptr));
    EXPECT_FALSE(m_cache->bRecordInCache(0));
    EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(0));
    EXPECT_EQ(1, m_cache->nGetDeletedCount());
    EXPECT_EQ(0u, m_cache->nGetHashCount());
    EXPECT_EQ(0, m_cache->Update(2, TempRow(Bytes("x"))));
}

TEST_F(RowCache, AnUpdateWithoutMemosDropsTheFormerRowsMemos)
{
    Append(Bytes("row"), "old memo");
    ASSERT_EQ(1, m_cache->Update(0, TempRow(Bytes("new"))));
    EXPECT_EQ("<none>", MemoOf(0));
    ASSERT_EQ(1, m_cache->Update(0, TempRow(Bytes("new"), "new memo")));
    EXPECT_EQ("new memo", MemoOf(0));
}

TEST_F(RowCache, NotificationsKeepTheCacheRight)
{
    m_cache->SetEnabled(1);
    Append(Bytes("r0"));
    Append(Bytes("r1"));
    // A delete for a row not in the cache changes nothing.
    EXPECT_EQ(-1, m_cache->nOnNotifyOperation(4, nullptr, TempRow(Bytes("zz")), 0, 0));
    EXPECT_EQ(-1, m_cache->nOnNotifyOperation(2, TempRow(Bytes("r9")), nullptr, 0, 0));
    EXPECT_EQ(0, m_cache->nGetDeletedCount());
    // A second delete of the same row counts once.
    EXPECT_EQ(1, m_cache->nOnNotifyOperation(4, nullptr, TempRow(Bytes("r1")), 0, 0));
    EXPECT_EQ(1, m_cache->nOnNotifyOperation(4, nullptr, TempRow(Bytes("r1")), 0, 0));
    EXPECT_EQ(1, m_cache->nGetDeletedCount());
    // An update replaces the row found by the old row's identity.
    EXPECT_EQ(0, m_cache->nOnNotifyOperation(2, TempRow(Bytes("R0")), TempRow(Bytes("r0")), 0, 0));
    EXPECT_EQ(Bytes("R0"), Read(0));
    EXPECT_EQ(-1, Lookup(Bytes("r0")));
    // Inserts append, or go to the front.
    EXPECT_EQ(2, m_cache->nOnNotifyOperation(3, TempRow(Bytes("r2")), nullptr, 0, 0));
    EXPECT_EQ(0, m_cache->nOnNotifyOperation(3, TempRow(Bytes("ins")), nullptr, 0, 1));
    EXPECT_EQ(0, Lookup(Bytes("ins")));
    EXPECT_EQ(1, Lookup(Bytes("R0")));
    EXPECT_EQ(3, Lookup(Bytes("r2")));
    EXPECT_EQ(NA_RS_DELETED, m_cache->eGetRecordState(2));
    // Other kinds change nothing but answer the row.
    EXPECT_EQ(3, m_cache->nOnNotifyOperation(8, TempRow(Bytes("x")), TempRow(Bytes("r2")), 0, 0));
    EXPECT_EQ(Bytes("r2"), Read(3));
}

TEST_F(RowCache, EmptyingKeepsTheSettingsKindAndTemplate)
{
    m_cache->SetEnabled(1);
    m_cache->SetGrowStep(7, 4096);
    Append(Bytes("r0"), "m");
    Append(Bytes("r1"));
    m_cache->SetRecordState(1, NA_RS_DELETED);
    m_cache->SetFetchComplete();
    CNARecordValue* pclTemplate = m_cache->pclGetTemplateNoRef();
    m_cache->SupprimeTout();
    EXPECT_EQ(1u, m_cache->dwGetFlags());
    EXPECT_EQ(0, m_cache->nGetRowCount());
    EXPECT_EQ(0, m_cache->nGetDeletedCount());
    EXPECT_EQ(0u, m_cache->nGetHashCount());
    EXPECT_EQ(0, m_cache->GetRecordTable().nGetNbBlocks());
    EXPECT_EQ(NA_RECORDID_VALUES, m_cache->eGetRecordIdType());
    EXPECT_EQ(pclTemplate, m_cache->pclGetTemplateNoRef());
    EXPECT_EQ(7, m_cache->GetRecordTable().nGetGrowCount());
    EXPECT_EQ(4096u, m_cache->GetIdTable().llGetBlockSize());
    EXPECT_FALSE(m_cache->bMemoInCache(0));
    EXPECT_EQ(-1, Lookup(Bytes("r0")));
    EXPECT_EQ(-1, Lookup(Bytes("r1")));
    EXPECT_EQ(0, Append(Bytes("r1")));
    EXPECT_EQ(0, Lookup(Bytes("r1")));
}

TEST_F(RowCache, ComparesCachedRows)
{
    Append(Bytes("aaa"), "m");
    Append(Bytes("aaa"));
    Append(Bytes("bbb"));
    EXPECT_TRUE(m_cache->bEquals(0, 1, 0));
    EXPECT_FALSE(m_cache->bEquals(0, 1, 1)) << "with the memo values";
    EXPECT_FALSE(m_cache->bEquals(0, 2, 0));
    EXPECT_FALSE(m_cache->bEquals(0, 3, 0));
    EXPECT_TRUE(m_cache->bEquals(2, TempRow(Bytes("bbb")), 1));
    EXPECT_FALSE(m_cache->bEquals(2, TempRow(Bytes("bbc")), 1));
    EXPECT_FALSE(m_cache->bEquals(5, TempRow(Bytes("bbb")), 1));

    // A set with entries takes the cached set, when there is one: rows 2
    // and 3 have none (reading row 2 made none).
    Append(Bytes("ccc"));
    CNARecordValue* pclRow = EmptyRow();
    ASSERT_EQ(1, pclRow->bShareMemoValue(1, AnsiValue("x")));
    m_cache->RestaureMemo(0, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ("m", TextOf(pclRow->pclGetMemoValueNoRef(0)));
    EXPECT_EQ("<NULL>", TextOf(pclRow->pclGetMemoValueNoRef(1)));
    for (int n : {2, 3, 4, -1}) {
        m_cache->RestaureMemo(n, pclRow->pclGetRecordMemoNoRef());
        EXPECT_EQ("m", TextOf(pclRow->pclGetMemoValueNoRef(0))) << n;
    }
    EXPECT_FALSE(m_cache->bMemoInCache(2));
    // A set of the cache's own without entries empties the given values.
    ASSERT_NE(nullptr, m_cache->_pclGetRecordMemo(2));
    EXPECT_TRUE(m_cache->bMemoInCache(2));
    m_cache->RestaureMemo(2, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ("<NULL>", TextOf(pclRow->pclGetMemoValueNoRef(0)));
}

TEST_F(RowCache, PositionsWithoutDeletedRowsAreArithmetic)
{
    for (const char* psz : {"r0", "r1", "r2", "r3", "r4"})
        Append(Bytes(psz));
    ExpectPositions({
        {99, 0, 1, 0},        // first
        {99, 1, 1, 4},        // last
        {0, 3, 1, -1},        // previous from the first row
        {1, 2, 3, 4},         // next
        {1, 2, 10, 11},       // beyond the end
        {3, 3, 2, 1},         // previous
        {2, 2, -1, 1},        // a negative count goes back
        {2, 4, 1, 0},         // any other direction is first
        {2, -7, 2, 1},
        {0, 2, LONG_MAX, INT_MAX},
        {LONG_MAX, 2, LONG_MAX, INT_MAX},
        {LONG_MIN, 3, LONG_MAX, -1},
        {3, 3, LONG_MIN, INT_MAX},
    });
}

TEST_F(RowCache, PositionsStepOverDeletedRows)
{
    for (const char* psz : {"r0", "r1", "r2", "r3", "r4"})
        Append(Bytes(psz));
    m_cache->SetRecordState(2, NA_RS_DELETED);
    ExpectPositions({
        {1, 2, 1, 3},  {3, 3, 1, 1},   {0, 0, 3, 3},   {9, 1, 3, 1},  {0, 1, 5, -1},
        {1, 2, 0, 1},  {-5, 2, 0, -1}, {-1, 3, 1, -1}, {4, 2, 2, 6},  {8, 3, 2, 6},
        {8, 3, 5, 3},  {1, 2, LONG_MAX, INT_MAX}, {LONG_MAX, 3, 1, INT_MAX}, {LONG_MAX, 3, LONG_MAX, -1},
        {4, 7, 3, 3},
    });
}

class RowIdCache : public vxtest::RowCacheTest
{
protected:
    // A row whose identity is a row id of that text, held in the runtime
    // value of its holder (the form's size follows the value's).
    CNARecordValue* RowIdRow(const Octets& bytes, const char* pszId)
    {
        CNARecordValue* pclRow = Row(bytes, false);
        CNAConvertVariant* pclValue = AnyVariant(ZLTYPE_BIN);
        EXPECT_EQ(1, pclValue->bSetValue(reinterpret_cast<const unsigned char*>(pszId), std::strlen(pszId)));
        pclRow->bShareRecordID(new CNARecordId_RowId(pclValue));
        return pclRow;
    }
};

TEST_F(RowIdCache, ReadsRowIdsBackFromTheirForms)
{
    ASSERT_EQ(0, m_cache->nAjoute(RowIdRow(Bytes("row A"), "id-A")));
    ASSERT_EQ(1, m_cache->nAjoute(RowIdRow(Bytes("row B"), "id-B")));
    EXPECT_EQ(NA_RECORDID_ROWID, m_cache->eGetRecordIdType());
    EXPECT_EQ(8u + 4u, m_cache->GetIdTable().llGetElementLength(0));
    EXPECT_EQ(1, m_cache->nGetRecordIndice(RowIdRow(Bytes("other"), "id-B")));
    EXPECT_EQ(-1, m_cache->nGetRecordIndice(RowIdRow(Bytes("row B"), "id-C")));
    EXPECT_EQ(-1, m_cache->nGetRecordIndice(TempRow(Bytes("row B")))) << "an identity of another kind";

    CNARecordValue* pclRow = EmptyRow();
    ASSERT_EQ(1, m_cache->bGetAt(pclRow, 1u));
    EXPECT_EQ(Bytes("row B"), vxtest::RowBytes(*pclRow));
    ASSERT_EQ(NA_RECORDID_ROWID, pclRow->pclGetRecordIDNoRef()->eGetRecordIdType());
    EXPECT_TRUE(pclRow->pclGetRecordIDNoRef()->bEqualRecordId(RowIdRow(Bytes(""), "id-B")->pclGetRecordIDNoRef()));
    ASSERT_EQ(1, m_cache->bGetAt(pclRow, 0u));
    EXPECT_EQ(0, m_cache->nGetRecordIndice(pclRow));

    // A row id larger than the stored form is stored anew.
    const unsigned char* pbyFormer = m_cache->GetIdTable().pbyGetElement(0);
    ASSERT_EQ(1, m_cache->Update(0, RowIdRow(Bytes("row A"), "a much longer row id")));
    EXPECT_NE(pbyFormer, m_cache->GetIdTable().pbyGetElement(0));
    EXPECT_EQ(8u + 20u, m_cache->GetIdTable().llGetElementLength(0));
    EXPECT_EQ(0, m_cache->nGetRecordIndice(RowIdRow(Bytes(""), "a much longer row id")));
    EXPECT_EQ(-1, m_cache->nGetRecordIndice(RowIdRow(Bytes(""), "id-A")));
    EXPECT_EQ(1, m_cache->nGetRecordIndice(RowIdRow(Bytes(""), "id-B")));
    ASSERT_EQ(1, m_cache->bGetAt(pclRow, 0u));
    EXPECT_TRUE(pclRow->pclGetRecordIDNoRef()->bEqualRecordId(
        RowIdRow(Bytes(""), "a much longer row id")->pclGetRecordIDNoRef()));

    // Rows without identity, or of the other kind, are cached unkeyed; such
    // a row cannot be read back into a row-id row value.
    ASSERT_EQ(2, m_cache->nAjoute(Row(Bytes("no id"), false)));
    ASSERT_EQ(3, m_cache->nAjoute(TempRow(Bytes("kind 1"))));
    EXPECT_TRUE(m_cache->GetIdTable().bReserved(2));
    EXPECT_TRUE(m_cache->GetIdTable().bReserved(3));
    EXPECT_EQ(2u, m_cache->nGetHashCount());
    EXPECT_FALSE(m_cache->bGetAt(pclRow, 2u));
    EXPECT_EQ(1, m_cache->bGetAt(RowIdCache::EmptyRow(), 1u));
    CNARecordValue* pclValues = Row(Bytes("12345"));
    ASSERT_EQ(1, m_cache->bGetAt(pclValues, 1u)) << "a row value of another kind takes the cache's";
    EXPECT_EQ(NA_RECORDID_ROWID, pclValues->pclGetRecordIDNoRef()->eGetRecordIdType());
}

TEST_F(RowCache, RowsWithoutIdentityAreCachedUnkeyed)
{
    ASSERT_EQ(0, m_cache->nAjoute(Row(Bytes("no id"), false)));
    EXPECT_EQ(NA_RECORDID_NONE, m_cache->eGetRecordIdType());
    EXPECT_TRUE(m_cache->GetIdTable().bReserved(0));
    EXPECT_EQ(0u, m_cache->nGetHashCount());
    ASSERT_EQ(1, Append(Bytes("keyed")));
    EXPECT_EQ(NA_RECORDID_VALUES, m_cache->eGetRecordIdType());
    EXPECT_EQ(1, Lookup(Bytes("keyed")));
    EXPECT_EQ(-1, Lookup(Bytes("no id")));
    EXPECT_EQ(Bytes("no id"), Read(0));
    EXPECT_EQ(-1, m_cache->nGetRecordIndice(static_cast<const CNARecordId*>(nullptr)));
}

}  // namespace
