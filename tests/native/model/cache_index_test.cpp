// The column indexes of a fully cached table: what an index holds, its
// browse in the four directions with and without a search value, its
// duplicate index and rank, its positioning on the current record, the
// writes it follows, and its build when memory runs out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/text/qf_convert_key.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/cache_index_fixture.h"

namespace {

using vxtest::CacheIndexTest;
using Rows = std::vector<int>;

TEST(CacheIndexSlots, TheTenSlotsInOrder)
{
    vxtest::ExpectSlots("CIndexItem", {
                                          VX_SLOT(CIndexItem, bInit, 2),
                                          VX_SLOT(CIndexItem, bInsertRecord, 3),
                                          VX_SLOT(CIndexItem, bDeleteRecord, 4),
                                          VX_SLOT(CIndexItem, bGetRecordPosition, 5),
                                          VX_SLOT(CIndexItem, nGetCurrentRecordId, 6),
                                          VX_SLOT(CIndexItem, nGetRecordNbr, 7),
                                          VX_SLOT(CIndexItem, nGetPreviousRecordNbr, 8),
                                          VX_SLOT(CIndexItem, bSetCurrentPos, 9),
                                      });
    EXPECT_EQ(10, VX_SLOT_COUNT(CIndexItem));
}

TEST(CacheIndexKeys, RowNumbersAreStoredHighByteFirst)
{
    unsigned char aby[4];
    CIndexFixedSizeItem::s_RowToBytes(0x01020304, aby);
    EXPECT_EQ(std::string("\x01\x02\x03\x04", 4), std::string(reinterpret_cast<char*>(aby), 4));
    EXPECT_EQ(0x01020304, CIndexFixedSizeItem::s_nBytesToRow(aby));
    // Row 256 after row 1 in byte order, as in number order.
    unsigned char abyOne[4];
    unsigned char abyLater[4];
    CIndexFixedSizeItem::s_RowToBytes(1, abyOne);
    CIndexFixedSizeItem::s_RowToBytes(256, abyLater);
    EXPECT_LT(std::memcmp(abyOne, abyLater, 4), 0);
}

class IntIndex : public CacheIndexTest
{
protected:
    void SetUp() override
    {
        CacheIndexTest::SetUp();
        Add(L"V", NA_IT_I4, 4);
        Add(L"X", NA_IT_I4, 4);
        BuildTable();
    }
    // Rows of V, X = 0.
    void AppendAll(const std::vector<int>& values)
    {
        for (int v : values)
            AppendInt(v);
    }
};

TEST_F(IntIndex, PresentRowsOnlyInKeyOrderThenRowOrder)
{
    AppendAll({30, 10, 20, 10, 40});
    Cache()->SetRecordState(2, NA_RS_DELETED);
    CIndexItem* index = Index(L"V");
    EXPECT_EQ(4, index->nGetRecordNbr());
    EXPECT_EQ((Rows{1, 3, 0, 4}), Forward(index));
    EXPECT_EQ((Rows{4, 0, 3, 1}), Backward(index));
}

TEST_F(IntIndex, FirstAndLastCountFromTheirEnd)
{
    AppendAll({30, 10, 20, 50, 40});
    CIndexItem* index = Index(L"V");
    EXPECT_EQ(1, Move(index, kFirst));
    EXPECT_EQ(4, Move(index, kLast, 2));
    EXPECT_EQ(4, Move(index, kFirst, 4));
    EXPECT_EQ(2, Move(index, kPrevious, 2));
    EXPECT_EQ(4, Move(index, kNext, 2));
}

TEST_F(IntIndex, MovesPastTheEndsFindNothingAndStay)
{
    AppendAll({30, 10, 20});
    CIndexItem* index = Index(L"V");
    ASSERT_EQ(0, Move(index, kLast));
    EXPECT_EQ(-1, Move(index, kNext));
    EXPECT_EQ(0, index->nGetCurrentRecordId());
    EXPECT_EQ(-1, Move(index, kNext, 5));
    EXPECT_EQ(-1, Move(index, kFirst, 4));
    EXPECT_EQ(-1, Move(index, kLast, 0));
    EXPECT_EQ(1, Move(index, kFirst));
    EXPECT_EQ(-1, Move(index, kPrevious));
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    // Counts a 32-bit move cannot make.
    EXPECT_EQ(-1, Move(index, kNext, INT32_MAX));
    EXPECT_EQ(-1, Move(index, kPrevious, INT32_MIN));
    EXPECT_EQ(-1, Move(index, kFirst, INT32_MIN));
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    // Another direction reads where the index stands.
    EXPECT_EQ(1, Move(index, 7));
}

TEST_F(IntIndex, AnEmptyIndexAnswersNothingFound)
{
    CIndexItem* index = Index(L"V");
    EXPECT_EQ(0, index->nGetRecordNbr());
    unsigned nDuplicate = 9;
    EXPECT_EQ(-1, Move(index, kFirst, 1, &nDuplicate));
    EXPECT_EQ(0u, nDuplicate);
    EXPECT_EQ(-1, index->nGetCurrentRecordId());
    EXPECT_EQ(0, index->nGetPreviousRecordNbr());
}

TEST_F(IntIndex, EqualValuesComeInRowOrderPastTheFirstByte)
{
    // 300 equal values: row 256 after row 255, not after row 0.
    for (int i = 0; i < 300; ++i)
        AppendInt(i == 150 ? 1 : 7);
    CIndexItem* index = Index(L"V");
    Rows expected{150};
    for (int i = 0; i < 300; ++i)
        if (i != 150)
            expected.push_back(i);
    EXPECT_EQ(expected, Forward(index));
}

TEST_F(IntIndex, NullAndZeroAreOneKey)
{
    AppendInt(5);
    SetNull(L"V");
    Append();
    AppendInt(0);
    AppendInt(-5);
    CIndexItem* index = Index(L"V");
    EXPECT_EQ((Rows{3, 1, 2, 0}), Forward(index));
}

TEST_F(IntIndex, TheDuplicateIndexCountsEqualRowsJustInFront)
{
    struct Case
    {
        std::vector<int> xs;  // X of three rows of V = 5
        unsigned third;
    };
    const Case cases[] = {{{1, 1, 1}, 2}, {{1, 2, 3}, 0}, {{2, 1, 1}, 1}, {{1, 1, 2}, 0}};
    for (const Case& c : cases) {
        Cache()->SupprimeTout();
        AppendInt(1);
        for (int x : c.xs) {
            Set(L"X", Int(x));
            AppendInt(5);
        }
        Set(L"X", Int(0));
        AppendInt(9);
        CIndexItem* index = Index(L"V");
        unsigned nDuplicate = 99;
        EXPECT_EQ(3, Move(index, kFirst, 4, &nDuplicate));
        EXPECT_EQ(c.third, nDuplicate) << c.xs[0] << c.xs[1] << c.xs[2];
        // The index stays on the entry it answered.
        EXPECT_EQ(3, index->nGetCurrentRecordId());
        EXPECT_EQ(3, index->nGetPreviousRecordNbr());
        EXPECT_EQ(4, Move(index, kNext));
        // An entry without duplicates: 0.
        EXPECT_EQ(0, Move(index, kFirst, 1, &nDuplicate));
        EXPECT_EQ(0u, nDuplicate);
    }
}

TEST_F(IntIndex, ThePreviousCountIsTheRankOverManyLeaves)
{
    std::vector<int> values;
    for (int i = 0; i < 2000; ++i)
        values.push_back((i * 7919) % 500);
    AppendAll(values);
    CIndexItem* index = Index(L"V");
    const Rows forward = Forward(index);
    ASSERT_EQ(2000u, forward.size());
    for (int rank : {0, 1, 31, 32, 33, 777, 1999}) {
        ASSERT_EQ(forward[rank], Move(index, kFirst, rank + 1));
        EXPECT_EQ(rank, index->nGetPreviousRecordNbr());
        // Asking moves nothing.
        EXPECT_EQ(forward[rank], index->nGetCurrentRecordId());
        EXPECT_EQ(rank, index->nGetPreviousRecordNbr());
    }
}

TEST_F(IntIndex, ASearchValueStartsFirstAndLast)
{
    AppendAll({30, 10, 20, 10, 40, 20, 20});
    CIndexItem* index = Index(L"V");
    struct Case
    {
        int value;
        int first;
        int last;
    };
    // Equal entries: the first and the last of them; a missing value: the
    // next greater for first, the greatest smaller for last.
    const Case cases[] = {{20, 2, 6}, {10, 1, 3}, {25, 0, 6}, {5, 1, -1}, {45, -1, 4}};
    for (const Case& c : cases) {
        // Each move starts elsewhere: a search that finds nothing must not
        // answer with the place the index had.
        const CAny value = Int(c.value);
        m_statement->SetSearchValue(nullptr);
        ASSERT_EQ(4, Move(index, kLast));
        m_statement->SetSearchValue(&value);
        EXPECT_EQ(c.first, Move(index, kFirst)) << c.value;
        m_statement->SetSearchValue(nullptr);
        ASSERT_EQ(1, Move(index, kFirst));
        m_statement->SetSearchValue(&value);
        EXPECT_EQ(c.last, Move(index, kLast)) << c.value;
    }
    const CAny value = Int(20);
    m_statement->SetSearchValue(&value);
    EXPECT_EQ(5, Move(index, kFirst, 2));
    EXPECT_EQ(5, Move(index, kLast, 2));
}

TEST_F(IntIndex, ASearchValueIsKeyedThroughACopy)
{
    AppendAll({3, 0, 1});
    CIndexItem* index = Index(L"V");
    CAny value;
    value.__SetType(ZLTYPE_I4, 0);
    value.SetNull();
    m_statement->SetSearchValue(&value);
    EXPECT_EQ(1, Move(index, kFirst));
    EXPECT_TRUE(m_statement->pclGetSearchValueNoRef()->bIsNull());
    EXPECT_EQ(ZLTYPE_I4, m_statement->pclGetSearchValueNoRef()->nGetTypeCode());
    CAny nullValue = value;
    EXPECT_EQ(1, index->bInsertRecord(0, &nullValue));
    EXPECT_TRUE(nullValue.bIsNull());
    EXPECT_EQ(ZLTYPE_I4, nullValue.nGetTypeCode());
}

TEST_F(IntIndex, PositioningOnTheCurrentRecord)
{
    // V: 10 20 20 20 30 20; by X, rows 2 and 3 are equal, the other rows of
    // 20 differ.
    const int xs[] = {0, 1, 2, 2, 0, 3};
    const int vs[] = {10, 20, 20, 20, 30, 20};
    for (int i = 0; i < 6; ++i) {
        Set(L"X", Int(xs[i]));
        AppendInt(vs[i]);
    }
    CIndexItem* index = Index(L"V");
    struct Case
    {
        int row;  // selected row
        int skip;
        int at;   // row the index lands on
    };
    const Case cases[] = {
        {1, 0, 1}, {5, 0, 5}, {3, 0, 2},  // the run walked to the first equal row
        {2, 1, 3},                        // one more equal row
        {2, 2, 2},                        // the equal rows end first: back
        {5, 1, 5},                        // the next row differs: back
        {4, 1, 4},                        // the end of the index: stays
        {4, 0, 4}, {0, 3, 0},             // no duplicates
    };
    for (const Case& c : cases) {
        Select(c.row);
        int bFound = -1;
        ASSERT_EQ(1, index->bSetCurrentPos(-1, c.skip, &bFound));
        EXPECT_EQ(1, bFound) << c.row << "/" << c.skip;
        EXPECT_EQ(c.at, index->nGetCurrentRecordId()) << c.row << "/" << c.skip;
    }
    // An exact row.
    Select(3);
    int bFound = -1;
    ASSERT_EQ(1, index->bSetCurrentPos(5, 0, &bFound));
    EXPECT_EQ(1, bFound);
    EXPECT_EQ(5, index->nGetCurrentRecordId());
    ASSERT_EQ(1, index->bSetCurrentPos(4, 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(5, index->nGetCurrentRecordId());
    EXPECT_EQ(0, index->bSetCurrentPos(-2, 0, &bFound));
}

TEST_F(IntIndex, PositioningOnAValueNoLongerThere)
{
    AppendAll({10, 20, 30});
    CIndexItem* index = Index(L"V");
    Select(1);
    // Another row of 20 that the index does not hold, and a value between.
    Set(L"X", Int(4));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    AppendInt(20);
    ASSERT_EQ(1, index->bInsertRecord(3, nullptr));
    Select(3);
    Set(L"V", Int(25));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    int bFound = -1;
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(2, index->nGetCurrentRecordId());
    // Equal key, but no row of the run equals the record: the run's first.
    Select(1);
    Set(L"X", Int(9));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    // Past every key: no current row, wherever the index stood.
    Set(L"V", Int(99));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(-1, index->nGetCurrentRecordId());
    EXPECT_EQ(2, Move(index, kPrevious));
}

TEST_F(IntIndex, WritesMoveTheRows)
{
    AppendAll({10, 20, 30});
    CIndexItem* index = Index(L"V");
    ASSERT_EQ(1, Move(index, kFirst, 2));
    CAny old = Int(20);
    CAny value = Int(35);
    ASSERT_EQ(1, index->bDeleteRecord(1, &old));
    // The position went to the entry that followed.
    EXPECT_EQ(2, index->nGetCurrentRecordId());
    ASSERT_EQ(1, index->bInsertRecord(1, &value));
    EXPECT_EQ((Rows{0, 2, 1}), Forward(index));
    // Removing what is not there is no error; entering it twice is refused.
    EXPECT_EQ(1, index->bDeleteRecord(1, &old));
    EXPECT_EQ(0, index->bInsertRecord(1, &value));
    EXPECT_EQ(3, index->nGetRecordNbr());
    // Without a value, the row's cached value.
    AppendInt(15);
    ASSERT_EQ(1, index->bInsertRecord(3, nullptr));
    EXPECT_EQ((Rows{0, 3, 2, 1}), Forward(index));
    ASSERT_EQ(1, index->bDeleteRecord(3, nullptr));
    EXPECT_EQ((Rows{0, 2, 1}), Forward(index));
}

TEST_F(IntIndex, ABuildWithoutMemoryFailsCleanly)
{
    std::vector<int> values;
    for (int i = 0; i < 200; ++i)
        values.push_back(i % 13);
    AppendAll(values);
    ExpectBuildsFailCleanly(L"V", 200);
}

TEST_F(IntIndex, AnUnreadableRowStopsTheBuild)
{
    AppendAll({1, 2});
    // A row reserved and never fetched, though not marked deleted.
    ASSERT_EQ(3, Cache()->Insere(m_record->pclGetCurrentRecordValueNoRef(), 3));
    Cache()->SetRecordState(2, NA_RS_PRESENT);
    CIndexItem* index = MakeIndex(L"V");
    EXPECT_EQ(0, index->bInit());
}

// --- Keys of other types -------------------------------------------------------

using KeyedIndex = CacheIndexTest;

TEST_F(KeyedIndex, TextsByBytesWideTextsByUnitsDatesByTime)
{
    Add(L"NAME", NA_IT_TEXTE, 9);
    Add(L"TITLE", NA_IT_UNICODE, 12);
    Add(L"SEEN", NA_IT_DATETIME, 8);
    BuildTable();
    const char* names[] = {"b", "\xE9t\xE9", "", "ab", "a"};
    const wchar_t* titles[] = {L"\uFF21", L"\U0001F600", L"z", L"\u00E9", L"\u4E2D"};
    const wchar_t* seen[] = {L"20240131235959123", L"19991231000000000", L"20240131235959122", L"20000101120000000",
                             L"19991231000000001"};
    for (int i = 0; i < 5; ++i) {
        Set(L"NAME", Ansi(names[i]));
        Set(L"TITLE", Wide(titles[i]));
        Set(L"SEEN", Make(ZLTYPE_DATETIME, seen[i]));
        Append();
    }
    EXPECT_EQ((Rows{2, 4, 3, 0, 1}), Forward(Index(L"NAME")));
    // z, e acute, the CJK character, the pair of surrogates, the full-width A.
    EXPECT_EQ((Rows{2, 3, 4, 1, 0}), Forward(Index(L"TITLE")));
    EXPECT_EQ((Rows{1, 4, 3, 2, 0}), Forward(Index(L"SEEN")));
}

TEST_F(KeyedIndex, TheKeyWidthIsTheColumnsSortableKeySize)
{
    Add(L"NAME", NA_IT_TEXTE, 9);
    Add(L"TITLE", NA_IT_UNICODE, 12);
    Add(L"N", NA_IT_I8, 8);
    BuildTable();
    auto width = [&](const wchar_t* column) {
        return static_cast<CIndexFixedSizeItem*>(Index(column))->nGetKeySize();
    };
    EXPECT_EQ(CQFConvertKey::nCalculateKeySize(ZLTYPE_DSTRA, 8), width(L"NAME"));
    EXPECT_EQ(CQFConvertKey::nCalculateKeySize(ZLTYPE_DSTRW, 5), width(L"TITLE"));
    EXPECT_EQ(8u, width(L"N"));
}

TEST_F(KeyedIndex, ACompositeKeyByItsBytes)
{
    Add(L"CODE", NA_IT_TEXTE, 4);
    Add(L"N", NA_IT_I2, 2);
    AddComposite(L"K", 0x2800, {L"CODE", L"N"});
    BuildTable();
    struct Row
    {
        const char* code;
        int n;
    };
    // The key's bytes: the code zero-padded to 3 bytes, then N little-endian,
    // so that ("ab", 256) comes before ("ab", 1).
    const Row rows[] = {{"ab", 256}, {"ab", 1}, {"a", 5}, {"abc", 0}, {"ab", 1}};
    for (const Row& r : rows) {
        Set(L"CODE", Ansi(r.code));
        CAny n;
        n.SetI2(static_cast<int16_t>(r.n));
        Set(L"N", n);
        Append();
    }
    CIndexItem* index = Index(L"K");
    EXPECT_EQ((Rows{2, 0, 1, 4, 3}), Forward(index));
    // Positioning reads the original row's components.
    Select(4);
    int bFound = -1;
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(1, bFound);
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 1, &bFound));
    EXPECT_EQ(4, index->nGetCurrentRecordId());
}

// --- Memo indexes --------------------------------------------------------------

class MemoIndex : public CacheIndexTest
{
protected:
    void SetUp() override
    {
        CacheIndexTest::SetUp();
        Add(L"ID", NA_IT_I4, 4);
        Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
        Add(L"RAW", NA_IT_MEMOBINAIRE, 8);
        BuildTable();
    }
    // A row with this note (null: a NULL note).
    int AppendNote(const char* psz)
    {
        if (psz != nullptr)
            Set(L"NOTES", Ansi(psz));
        else
            SetNull(L"NOTES");
        return Append();
    }
    // A row with these raw bytes (null: a NULL memo, which has none).
    int AppendRaw(const char* psz)
    {
        if (psz != nullptr)
            Set(L"RAW", Bin(psz));
        else
            SetNull(L"RAW");
        return Append();
    }
    CIndexMemo* Memo(const wchar_t* column = L"NOTES") { return static_cast<CIndexMemo*>(Index(column)); }
};

TEST_F(MemoIndex, ByBytesEqualOnesInTheOrderEntered)
{
    // A text's bytes end with its terminator: a NULL note and an empty one
    // are equal, and below every other.
    AppendNote("b");
    AppendNote(nullptr);
    AppendNote("ab");
    AppendNote(nullptr);
    AppendNote("\xE9");
    AppendNote("a");
    AppendNote("ab");
    CIndexMemo* index = Memo();
    EXPECT_EQ((Rows{1, 3, 5, 2, 6, 0, 4}), Forward(index));
    EXPECT_EQ((Rows{4, 0, 6, 2, 5, 3, 1}), Backward(index));
    AppendNote("");
    AppendNote("ab");
    ASSERT_EQ(1, index->bInsertRecord(7, nullptr));
    ASSERT_EQ(1, index->bInsertRecord(8, nullptr));
    EXPECT_EQ((Rows{1, 3, 7, 5, 2, 6, 8, 0, 4}), Forward(index));
}

TEST_F(MemoIndex, BinaryMemosByUnsignedBytesShorterFirst)
{
    const std::string raws[] = {std::string("\x80", 1), std::string("\x01\x00", 2), std::string("\x01", 1),
                                std::string("\x7F\xFF", 2), std::string()};
    for (const std::string& raw : raws) {
        Set(L"RAW", Bin(raw));
        Append();
    }
    EXPECT_EQ((Rows{4, 2, 1, 3, 0}), Forward(Index(L"RAW")));
}

TEST_F(MemoIndex, EmptyMemosJoinTheFrontInTheOrderEntered)
{
    AppendRaw("b");
    AppendRaw(nullptr);
    AppendRaw("");
    AppendRaw("a");
    CIndexMemo* index = Memo(L"RAW");
    EXPECT_EQ((Rows{1, 2, 3, 0}), Forward(index));
    EXPECT_EQ(1, index->nGetLastEmpty());
    AppendRaw(nullptr);
    ASSERT_EQ(1, index->bInsertRecord(4, nullptr));
    EXPECT_EQ((Rows{1, 2, 4, 3, 0}), Forward(index));
    EXPECT_EQ(2, index->nGetLastEmpty());
}

TEST_F(MemoIndex, RemovingEmptyMemosKeepsTheFrontRight)
{
    // Every empty memo removed, then new ones entered: each joins the front
    // (a position left past the removed ones would put them behind a memo
    // with bytes, or past the end of the array).
    AppendRaw(nullptr);
    AppendRaw("m");
    AppendRaw(nullptr);
    CIndexMemo* index = Memo(L"RAW");
    ASSERT_EQ(1, index->nGetLastEmpty());
    ASSERT_EQ(1, index->bDeleteRecord(0, nullptr));
    EXPECT_EQ(0, index->nGetLastEmpty());
    ASSERT_EQ(1, index->bDeleteRecord(2, nullptr));
    EXPECT_EQ(-1, index->nGetLastEmpty());
    AppendRaw(nullptr);
    AppendRaw(nullptr);
    ASSERT_EQ(1, index->bInsertRecord(3, nullptr));
    ASSERT_EQ(1, index->bInsertRecord(4, nullptr));
    EXPECT_EQ((Rows{3, 4, 1}), Forward(index));
    ASSERT_EQ(1, index->bDeleteRecord(1, nullptr));
    ASSERT_EQ(1, index->bDeleteRecord(3, nullptr));
    ASSERT_EQ(1, index->bDeleteRecord(4, nullptr));
    EXPECT_EQ(-1, index->nGetLastEmpty());
    ASSERT_EQ(1, index->bInsertRecord(0, nullptr));
    ASSERT_EQ(1, index->bInsertRecord(1, nullptr));
    EXPECT_EQ((Rows{0, 1}), Forward(index));
    // A memo with bytes removed leaves the front alone.
    ASSERT_EQ(1, index->bDeleteRecord(1, nullptr));
    EXPECT_EQ(0, index->nGetLastEmpty());
}

TEST_F(MemoIndex, RemovingTheCurrentRowLeavesNoCurrentRow)
{
    AppendNote("a");
    AppendNote("b");
    AppendNote("c");
    CIndexMemo* index = Memo();
    ASSERT_EQ(1, Move(index, kFirst, 2));
    ASSERT_EQ(1, index->bDeleteRecord(0, nullptr));
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    EXPECT_EQ(0, index->nGetPreviousRecordNbr());
    ASSERT_EQ(1, index->bDeleteRecord(1, nullptr));
    EXPECT_EQ(1, index->bOff());
    EXPECT_EQ(-1, index->nGetCurrentRecordId());
    EXPECT_EQ(-1, Move(index, 7));
    // A missing row is no error.
    EXPECT_EQ(1, index->bDeleteRecord(1, nullptr));
    EXPECT_EQ(2, Move(index, kFirst));
    EXPECT_EQ(0, index->bOff());
    // An insertion in front moves the position with its row.
    AppendNote("0");
    ASSERT_EQ(1, index->bInsertRecord(3, nullptr));
    EXPECT_EQ(2, index->nGetCurrentRecordId());
    EXPECT_EQ(1, index->nGetPreviousRecordNbr());
}

TEST_F(MemoIndex, ASearchValueStartsFirstAndLast)
{
    for (const char* psz : {"b", "a", "b", "c", "b"})
        AppendNote(psz);
    CIndexMemo* index = Memo();
    struct Case
    {
        const char* value;
        int first;
        int last;
    };
    // Equal memos are read from the first of them; past them, the first
    // greater for first and the last smaller for last.
    const Case cases[] = {{"b", 0, 4}, {"a", 1, 1}, {"bb", 3, 4}, {"0", 1, -1}, {"d", -1, 3}};
    for (const Case& c : cases) {
        const CAny value = Ansi(c.value);
        m_statement->SetSearchValue(&value);
        EXPECT_EQ(c.first, Move(index, kFirst)) << c.value;
        EXPECT_EQ(c.last, Move(index, kLast)) << c.value;
    }
    const CAny value = Ansi("b");
    m_statement->SetSearchValue(&value);
    EXPECT_EQ(2, Move(index, kFirst, 2));
    EXPECT_EQ(2, Move(index, kLast, 2));
    unsigned nDuplicate = 7;
    EXPECT_EQ(4, Move(index, kNext, 1, &nDuplicate));
    EXPECT_EQ(0u, nDuplicate);
}

TEST_F(MemoIndex, PositioningOnTheCurrentRecord)
{
    for (const char* psz : {"b", "a", "b", "c"})
        AppendNote(psz);
    CIndexMemo* index = Memo();
    int bFound = -1;
    Select(0);
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(1, bFound);
    EXPECT_EQ(2, index->nGetCurrentRecordId());  // the last equal memo
    Set(L"NOTES", Ansi("bb"));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(0, bFound);
    EXPECT_EQ(3, index->nGetCurrentRecordId());
    Set(L"NOTES", Ansi("z"));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    ASSERT_EQ(1, index->bSetCurrentPos(-1, 0, &bFound));
    EXPECT_EQ(-1, index->nGetCurrentRecordId());
    EXPECT_EQ(3, Move(index, kPrevious));
    // A row number names its entry, as in the other index.
    ASSERT_EQ(1, index->bSetCurrentPos(1, 0, &bFound));
    EXPECT_EQ(1, bFound);
    EXPECT_EQ(1, index->nGetCurrentRecordId());
    EXPECT_EQ(0, index->nGetPreviousRecordNbr());
    EXPECT_EQ(0, index->bSetCurrentPos(9, 0, &bFound));
    EXPECT_EQ(0, bFound);
}

TEST_F(MemoIndex, ABuildWithoutMemoryFailsCleanly)
{
    for (int i = 0; i < 150; ++i)
        AppendNote(i % 3 == 0 ? nullptr : std::to_string(i % 17).c_str());
    ExpectBuildsFailCleanly(L"NOTES", 150);
}

}  // namespace
