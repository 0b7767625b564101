// The column indexes against a model. Random complete caches of integers,
// 8-bit texts, wide texts with characters from beyond Latin (one outside the
// 16-bit plane), date-times, text and binary memos and a composite key,
// with equal values, NULLs and deleted rows, then random inserts, updates
// and deletes told to the indexes as the data access tells them. After each
// write every index is browsed first to last and last to first, positioned
// on each rank, and searched with and without a value, and must agree with
// the model: the present rows sorted by the order of their values (numbers
// by value, 8-bit texts by bytes, wide texts by UTF-16 units, date-times by
// time, the composite by its bytes, NULL as its type's initial value), then
// by row number; memos by their bytes (a text's with its terminator), equal
// ones in the order they were entered. The rank is the count in front, and
// the duplicate index the count of entries just in front whose whole row is
// equal.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/native/model/cache_index_fixture.h"

namespace {

using Rows = std::vector<int>;

const int kIds[] = {-3, -1, 0, 1, 2, 300};
const char* const kNames[] = {"", "a", "ab", "b", "\xE9", "\xE9t", "zz"};
const wchar_t* const kTitles[] = {L"", L"z", L"\u00E9", L"\u4E2D", L"\U0001F600", L"\uFF21", L"a\u4E2D"};
const wchar_t* const kSeen[] = {L"19991231235959999", L"20000101000000000", L"20240229120000000",
                                L"20240229120000001", L"20240229120000010"};
const char* const kNotes[] = {"", "a", "ab", "b", "\x80x"};
const std::string kRaws[] = {std::string(), "\x01", "\x01\x02", "\x02", "\xFF", "\x80\x01"};

// The stored columns, in the order of a row's choices; -1 chooses NULL.
enum Stored { ID, NAME, TITLE, SEEN, NOTES, RAW, kStored };
const int kPoolSizes[kStored] = {6, 7, 7, 5, 5, 6};
const wchar_t* const kColumnNames[kStored] = {L"ID", L"NAME", L"TITLE", L"SEEN", L"NOTES", L"RAW"};
constexpr int kComposite = kStored;  // the index over K

using Choices = std::array<int, kStored>;

std::string BigEndian32(uint32_t n)
{
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}

// A wide text's UTF-16 units, each high byte first.
std::string Utf16Units(const wchar_t* psz)
{
    std::string units;
    auto put = [&](uint32_t u) {
        units += static_cast<char>(u >> 8);
        units += static_cast<char>(u & 0xFF);
    };
    for (; *psz != 0; ++psz) {
        const auto c = static_cast<uint32_t>(*psz);
        if (c > 0xFFFF) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return units;
}

// What the model orders by: a byte string compared as unsigned bytes,
// shorter first.
std::string ModelKey(int nColumn, int nChoice, int nIdChoice = -1)
{
    switch (nColumn) {
    case ID:
        return BigEndian32(static_cast<uint32_t>(nChoice < 0 ? 0 : kIds[nChoice]) ^ 0x80000000u);
    case NAME:
        return nChoice < 0 ? "" : kNames[nChoice];
    case TITLE:
        return nChoice < 0 ? "" : Utf16Units(kTitles[nChoice]);
    case SEEN: {
        // Digits sort as the times do; NULL is the zero date-time.
        const wchar_t* psz = nChoice < 0 ? L"" : kSeen[nChoice];
        return std::string(psz, psz + std::wcslen(psz));
    }
    case NOTES:
        return std::string(nChoice < 0 ? "" : kNotes[nChoice]) + '\0';
    case RAW:
        return nChoice < 0 ? std::string() : kRaws[nChoice];
    default: {
        // K = (NAME, ID): the name in its 4 bytes, zero-padded, then the
        // integer little-endian; NULL components are zeros.
        std::string bytes(8, '\0');
        if (nChoice >= 0)
            bytes.replace(0, std::strlen(kNames[nChoice]), kNames[nChoice]);
        const auto n = static_cast<uint32_t>(nIdChoice < 0 ? 0 : kIds[nIdChoice]);
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<char>(n >> (8 * i));
        return bytes;
    }
    }
}

class CacheIndexModel : public vxtest::CacheIndexTest
{
protected:
    void SetUp() override
    {
        CacheIndexTest::SetUp();
        Add(L"ID", NA_IT_I4, 4);
        Add(L"NAME", NA_IT_TEXTE, 5);
        Add(L"TITLE", NA_IT_UNICODE, 8);
        Add(L"SEEN", NA_IT_DATETIME, 8);
        Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
        Add(L"RAW", NA_IT_MEMOBINAIRE, 8);
        AddComposite(L"K", 0x2800, {L"NAME", L"ID"});
        BuildTable();
    }

    static CAny Value(int nColumn, int nChoice)
    {
        static const unsigned short codes[kStored] = {ZLTYPE_I4, ZLTYPE_DSTRA, ZLTYPE_DSTRW, ZLTYPE_DATETIME,
                                                      ZLTYPE_DSTRA, ZLTYPE_BIN};
        if (nChoice < 0)
            return Null(codes[nColumn]);
        switch (nColumn) {
        case ID:
            return Int(kIds[nChoice]);
        case NAME:
            return Ansi(kNames[nChoice]);
        case TITLE:
            return Wide(kTitles[nChoice]);
        case SEEN:
            return Make(ZLTYPE_DATETIME, kSeen[nChoice]);
        case NOTES:
            return Ansi(kNotes[nChoice]);
        default:
            return Bin(kRaws[nChoice]);
        }
    }
    void SetColumn(int nColumn, int nChoice)
    {
        if (nChoice < 0)
            SetNull(kColumnNames[nColumn]);
        else
            Set(kColumnNames[nColumn], Value(nColumn, nChoice));
    }

    int ChooseValue(int nColumn) { return Pick(6) == 0 ? -1 : Pick(kPoolSizes[nColumn]); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    Choices RandomRow()
    {
        Choices row;
        for (int c = 0; c < kStored; ++c)
            row[c] = ChooseValue(c);
        return row;
    }

    // The model key of a present row in the index over a column.
    std::string Key(int nIndex, int nRow) const
    {
        const Choices& row = m_rows.at(nRow);
        return nIndex == kComposite ? ModelKey(kComposite, row[NAME], row[ID]) : ModelKey(nIndex, row[nIndex]);
    }
    static bool bMemo(int nIndex) { return nIndex == NOTES || nIndex == RAW; }

    // The model's order of the index: by key, then by row number or, for
    // a memo, by the time the row was entered.
    Rows Order(int nIndex) const
    {
        Rows rows;
        for (const auto& [nRow, choices] : m_rows)
            rows.push_back(nRow);
        std::sort(rows.begin(), rows.end(), [&](int a, int b) {
            const int c = Key(nIndex, a).compare(Key(nIndex, b));
            if (c != 0)
                return c < 0;
            return bMemo(nIndex) ? m_stamps[nIndex].at(a) < m_stamps[nIndex].at(b) : a < b;
        });
        return rows;
    }
    void Stamp(int nIndex, int nRow) { m_stamps[nIndex][nRow] = ++m_nClock; }

    // --- The writes, as the statement makes them.
    void Insert()
    {
        const Choices row = RandomRow();
        for (int c = 0; c < kStored; ++c)
            SetColumn(c, row[c]);
        const int nRow = Append();
        m_rows[nRow] = row;
        for (int i = 0; i <= kComposite; ++i) {
            m_indexes[i]->OnNotifyOperation(3, nRow, 0);
            Stamp(i, nRow);
        }
    }
    int PresentRow()
    {
        auto it = m_rows.begin();
        std::advance(it, Pick(static_cast<int>(m_rows.size())));
        return it->first;
    }
    void Update()
    {
        const int nRow = PresentRow();
        Select(nRow);
        Choices row = m_rows[nRow];
        const Choices before = row;
        for (int n = 1 + Pick(3); n > 0; --n) {
            const int c = Pick(kStored);
            row[c] = ChooseValue(c);
            SetColumn(c, row[c]);
        }
        ASSERT_EQ(1, Cache()->Update(static_cast<unsigned>(nRow), m_record->pclGetCurrentRecordValueNoRef()));
        m_rows[nRow] = row;
        for (int i = 0; i <= kComposite; ++i) {
            m_indexes[i]->OnNotifyOperation(2, nRow, 0);
            // A memo left equal stays where it was; a NULL one is never
            // equal to another.
            if (bMemo(i) && (row[i] != before[i] || row[i] < 0))
                Stamp(i, nRow);
        }
    }
    void Delete()
    {
        const int nRow = PresentRow();
        Select(nRow);
        Cache()->SetRecordState(nRow, NA_RS_DELETED);
        m_rows.erase(nRow);
        for (int i = 0; i <= kComposite; ++i)
            m_indexes[i]->OnNotifyOperation(4, nRow, 0);
    }

    // --- The checks.
    void CheckIndex(int nIndex)
    {
        SCOPED_TRACE(nIndex == kComposite ? std::string("K") : std::to_string(nIndex));
        CNATableCacheIndex* index = m_indexes[nIndex];
        const Rows order = Order(nIndex);
        m_statement->SetSearchValue(nullptr);
        ASSERT_EQ(order, Forward(index));
        ASSERT_EQ(Rows(order.rbegin(), order.rend()), Backward(index));
        EXPECT_EQ(static_cast<int>(order.size()), index->nGetRecordNbr());
        for (size_t k = 0; k < order.size(); ++k) {
            unsigned nDuplicate = 99;
            ASSERT_EQ(order[k], Move(index, kFirst, static_cast<int>(k) + 1, &nDuplicate)) << k;
            EXPECT_EQ(static_cast<int>(k), index->nGetPreviousRecordNbr());
            unsigned nEqual = 0;
            while (!bMemo(nIndex) && nEqual < k && m_rows[order[k - nEqual - 1]] == m_rows[order[k]])
                ++nEqual;
            EXPECT_EQ(nEqual, nDuplicate) << k;
        }
        for (int n = 0; n < 3; ++n)
            CheckSearch(nIndex, order);
        m_statement->SetSearchValue(nullptr);
    }
    void CheckSearch(int nIndex, const Rows& order)
    {
        CAny value;
        std::string key;
        if (nIndex == kComposite) {
            const int nName = ChooseValue(NAME);
            const int nId = ChooseValue(ID);
            key = ModelKey(kComposite, nName, nId);
            value = nName < 0 && nId < 0 ? Null(ZLTYPE_BIN) : Bin(key);
        } else {
            // Memos are searched by bytes: no NULL value.
            const int nChoice = bMemo(nIndex) ? Pick(kPoolSizes[nIndex]) : ChooseValue(nIndex);
            key = ModelKey(nIndex, nChoice);
            value = Value(nIndex, nChoice);
        }
        m_statement->SetSearchValue(&value);
        int nFirst = -1;
        int nLast = -1;
        for (size_t k = 0; k < order.size(); ++k) {
            const std::string rowKey = Key(nIndex, order[k]);
            if (nFirst < 0 && rowKey >= key)
                nFirst = static_cast<int>(k);
            if (rowKey <= key)
                nLast = static_cast<int>(k);
        }
        CNATableCacheIndex* index = m_indexes[nIndex];
        EXPECT_EQ(nFirst < 0 ? -1 : order[nFirst], Move(index, kFirst));
        if (nFirst >= 0)
            EXPECT_EQ(nFirst, index->nGetPreviousRecordNbr());
        EXPECT_EQ(nLast < 0 ? -1 : order[nLast], Move(index, kLast));
        if (nLast >= 0)
            EXPECT_EQ(nLast, index->nGetPreviousRecordNbr());
    }

    void Run(uint32_t nSeed, int nRows, int nWrites)
    {
        m_rng.seed(nSeed);
        for (int i = 0; i < nRows; ++i) {
            const Choices row = RandomRow();
            for (int c = 0; c < kStored; ++c)
                SetColumn(c, row[c]);
            const int nRow = Append();
            m_rows[nRow] = row;
        }
        // Some rows deleted before the indexes are made.
        for (int i = 0; i < nRows / 5; ++i) {
            const int nRow = PresentRow();
            Cache()->SetRecordState(nRow, NA_RS_DELETED);
            m_rows.erase(nRow);
        }
        for (int i = 0; i <= kComposite; ++i) {
            m_indexes[i] = TableIndex(i == kComposite ? L"K" : kColumnNames[i]);
            for (const auto& [nRow, choices] : m_rows)
                Stamp(i, nRow);
        }
        for (int i = 0; i <= kComposite; ++i)
            CheckIndex(i);
        for (int w = 0; w < nWrites && !HasFatalFailure(); ++w) {
            const int nKind = m_rows.size() < 4 ? 0 : Pick(3);
            if (nKind == 0)
                Insert();
            else if (nKind == 1)
                Update();
            else
                Delete();
            for (int i = 0; i <= kComposite && !HasFatalFailure(); ++i)
                CheckIndex(i);
        }
    }

    std::mt19937 m_rng;
    std::map<int, Choices> m_rows;  // the present rows by number
    std::map<int, int> m_stamps[kComposite + 1];
    int m_nClock = 0;
    CNATableCacheIndex* m_indexes[kComposite + 1] = {};
};

TEST_F(CacheIndexModel, SmallCachesManyWrites)
{
    Run(1, 12, 150);
}

TEST_F(CacheIndexModel, LargerCacheWithManyEqualValues)
{
    Run(7, 60, 80);
}

TEST_F(CacheIndexModel, AnotherSeed)
{
    Run(2024, 30, 120);
}

TEST_F(CacheIndexModel, RowNumbersPastOneByte)
{
    Run(11, 330, 8);
}

}  // namespace
