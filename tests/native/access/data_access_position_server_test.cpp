// Saved positions of browses on the run's private server: saved, returned
// to (kept or freed), freed and compared; returns after writes made
// through the data access and after a filter change, on plain statements
// and on statements that keep their rows in a record cache.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "tests/native/access/browse_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr unsigned kNoCurrentRecord = 7;
constexpr unsigned kUnknownPosition = 11;
constexpr eNAPOSITION kKeepFilter = static_cast<eNAPOSITION>(0);
constexpr eNAPOSITION kRestoreFilter = static_cast<eNAPOSITION>(1);

class SavedPositions : public vxtest::BrowseOnServer
{
protected:
    int Save(CNADataAccess* pclAccess, const wchar_t* pszItem)
    {
        int nId = -1;
        EXPECT_EQ(1, pclAccess->bHSauvePosition(&nId, pszItem, kKeepFilter)) << Utf8(m_pclError->pszGetError());
        EXPECT_GE(nId, 1);
        return nId;
    }
    // A return: its result, and the browse's row after it.
    int Return(CNADataAccess* pclAccess, int nId, int bKeep, eNAPOSITION eMode = kKeepFilter)
    {
        wchar_t szItem[256] = L"";
        m_pclError->Reset();
        const int bDone = pclAccess->bHRetourPosition(nId, szItem, bKeep, eMode);
        m_sReturnedItem = Utf8(szItem);
        return bDone;
    }
    int Same(CNADataAccess* pclAccess, int nFirst, int nSecond)
    {
        int bSame = -1;
        EXPECT_EQ(1, pclAccess->bCompareTablePosition(nFirst, nSecond, &bSame)) << nFirst << " " << nSecond;
        return bSame;
    }

    std::string m_sReturnedItem;
};

// Saved on row 2, returned to with keep (the browse goes on from there),
// returned to without keep (then gone: user error 11), freed; on a plain
// statement and on one that reads its rows back from a record cache.
TEST_F(SavedPositions, SaveReturnKeepAndFree)
{
    for (bool bCached : {false, true}) {
        SCOPED_TRACE(bCached ? "record cache" : "plain");
        m_bCached = bCached;
        CNADataAccess* pclAccess = OpenRows(5, bCached ? "c" : "p");
        ReadTo(pclAccess, L"id", 2);
        const int nId = Save(pclAccess, L"id");
        Read(pclAccess, L"id", NADirection::kNext);
        Read(pclAccess, L"id", NADirection::kNext);
        ASSERT_EQ(4, Id(pclAccess));

        ASSERT_EQ(1, Return(pclAccess, nId, 1)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ("id", m_sReturnedItem);
        EXPECT_EQ(2, Id(pclAccess));
        EXPECT_EQ(20, IntOf(pclAccess, L"v"));
        Read(pclAccess, L"id", NADirection::kNext);
        EXPECT_EQ(3, Id(pclAccess)) << "the browse goes on from the position";
        Read(pclAccess, L"id", NADirection::kPrevious);
        Read(pclAccess, L"id", NADirection::kPrevious);
        EXPECT_EQ(1, Id(pclAccess));

        ASSERT_EQ(1, Return(pclAccess, nId, 0)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(2, Id(pclAccess));
        EXPECT_EQ(0, Return(pclAccess, nId, 1)) << "freed by the return without keep";
        EXPECT_EQ(kUnknownPosition, m_pclError->nGetUserErrorCode());
        EXPECT_EQ(1, pclAccess->bHLiberePosition(nId)) << "an unknown number frees without error";

        const int nFreed = Save(pclAccess, L"id");
        EXPECT_EQ(1, pclAccess->bHLiberePosition(nFreed));
        EXPECT_EQ(0, Return(pclAccess, nFreed, 1));
        EXPECT_EQ(kUnknownPosition, m_pclError->nGetUserErrorCode());
    }
}

// The item handed back on a return fills at most 254 characters of the
// host's buffer and its terminator, whatever the length of the item saved.
TEST_F(SavedPositions, TheItemReturnedFitsTheHostBuffer)
{
    CNADataAccess* pclAccess = OpenRows(3);
    const std::wstring sLong(300, L'k');
    int nId = -1;
    ASSERT_EQ(1, pclAccess->bHSauvePosition(&nId, sLong.c_str(), kKeepFilter)) << Utf8(m_pclError->pszGetError());
    wchar_t szBuffer[300];
    std::wmemset(szBuffer, L'#', 300);
    ASSERT_EQ(1, pclAccess->bHRetourPosition(nId, szBuffer, 0, kKeepFilter)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ(254u, std::wcslen(szBuffer));
    EXPECT_EQ(L'#', szBuffer[255]) << "nothing written past the capacity";
}

// Comparing: a number with itself without a look-up; positions of one
// statement by their rows (and by their record saves once the rows are
// forgotten); positions of two statements by the value of the unique best
// item in their record saves.
TEST_F(SavedPositions, Compare)
{
    CNADataAccess* pclAccess = OpenRows(5);
    ReadTo(pclAccess, L"id", 2);
    const int nIdRow2 = Save(pclAccess, L"id");
    const int nIdRow2Again = Save(pclAccess, L"id");
    Read(pclAccess, L"id", NADirection::kNext);
    const int nIdRow3 = Save(pclAccess, L"id");
    ReadTo(pclAccess, L"v", 2);
    const int nVRow2 = Save(pclAccess, L"v");
    Read(pclAccess, L"v", NADirection::kLast);
    const int nVRow5 = Save(pclAccess, L"v");

    struct Case
    {
        const char* pszWhat;
        int nFirst;
        int nSecond;
        int bSame;
    };
    const Case cases[] = {
        {"a number with itself", nIdRow2, nIdRow2, 1},
        {"an unknown number with itself: no look-up", 9999, 9999, 1},
        {"one statement, the same row", nIdRow2, nIdRow2Again, 1},
        {"one statement, two rows", nIdRow2, nIdRow3, 0},
        {"two statements, the same row", nIdRow2, nVRow2, 1},
        {"two statements, two rows", nIdRow3, nVRow5, 0},
        {"two statements, two rows, the other way", nVRow5, nIdRow2, 0},
    };
    for (int bRowsForgotten : {0, 1}) {
        if (bRowsForgotten) {
            // A new parse of each statement: the positions lose their rows.
            Read(pclAccess, L"id", NADirection::kLast);
            Read(pclAccess, L"v", NADirection::kFirst);
        }
        for (const Case& c : cases)
            EXPECT_EQ(c.bSame, Same(pclAccess, c.nFirst, c.nSecond)) << c.pszWhat << ", rows forgotten "
                                                                      << bRowsForgotten;
    }

    int bSame = -1;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bCompareTablePosition(nIdRow2, 9999, &bSame));
    EXPECT_EQ(kUnknownPosition, m_pclError->nGetUserErrorCode());
    EXPECT_EQ(0, bSame);
}

// A unique best item whose value is NULL in both rows cannot tell two
// positions apart: they are not the same; one NULL against a value is not
// the same either.
TEST_F(SavedPositions, NullValuesOfTheBestItemAreNotTheSame)
{
    CNADataAccess* pclAccess = OpenTable("n", "CREATE TABLE n (k INT NULL, w INT NOT NULL, UNIQUE KEY uk (k), KEY kw (w))");
    ASSERT_TRUE(m_client.bExecute("INSERT INTO n VALUES (NULL, 1), (NULL, 2), (3, 3)")) << m_client.sError();
    ASSERT_EQ(std::wstring(L"k"), pclAccess->pszGetBestParseItemName());
    Read(pclAccess, L"w", NADirection::kFirst);
    const int nNull1 = Save(pclAccess, L"w");
    Read(pclAccess, L"w", NADirection::kNext);
    const int nNull2 = Save(pclAccess, L"w");
    Read(pclAccess, L"w", NADirection::kNext);
    const int nThree = Save(pclAccess, L"w");
    // The same rows through the other statement.
    Read(pclAccess, L"k", NADirection::kLast);
    const int nThreeByK = Save(pclAccess, L"k");
    Read(pclAccess, L"k", NADirection::kFirst);
    const int nNullByK = Save(pclAccess, L"k");

    EXPECT_EQ(1, Same(pclAccess, nThree, nThreeByK));
    EXPECT_EQ(0, Same(pclAccess, nNull1, nThreeByK)) << "one NULL";
    // One of the NULL rows is the one k's statement stands on (the very
    // same record save), the other is another row: NULL against NULL.
    EXPECT_EQ(1, Same(pclAccess, nNullByK, nNull1) + Same(pclAccess, nNullByK, nNull2)) << "both NULL, two rows";
    EXPECT_EQ(0, Same(pclAccess, nNull1, nNull2)) << "one statement, two rows";
}

// A return after writes made through the data access: a row updated in
// place comes back with its new values; a row deleted since is found again
// by search on its values, and the browse goes on around it.
TEST_F(SavedPositions, ReturnsAfterWrites)
{
    for (bool bCached : {false, true}) {
        SCOPED_TRACE(bCached ? "record cache" : "plain");
        m_bCached = bCached;
        CNADataAccess* pclAccess = OpenRows(5, bCached ? "c" : "p");
        ReadTo(pclAccess, L"id", 2);
        const int nRow2 = Save(pclAccess, L"id");
        UpdateV(pclAccess, 222);
        Read(pclAccess, L"id", NADirection::kNext);
        Read(pclAccess, L"id", NADirection::kNext);
        const int nRow4 = Save(pclAccess, L"id");
        ASSERT_EQ(1, Return(pclAccess, nRow2, 1)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(2, Id(pclAccess));
        EXPECT_EQ(222, IntOf(pclAccess, L"v")) << "the row's new values";

        // Row 4 deleted while the browse stands on it; back on row 2, then
        // to the deleted row's position.
        ASSERT_EQ(1, Return(pclAccess, nRow4, 1));
        DeleteCurrent(pclAccess);
        EXPECT_EQ("0", m_client.Value("SELECT COUNT(*) FROM " + std::string(bCached ? "c" : "p") + " WHERE id = 4")
                           .value_or("?"));
        ASSERT_EQ(1, Return(pclAccess, nRow2, 1));
        ASSERT_EQ(1, Return(pclAccess, nRow4, 1)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(4, IntOf(pclAccess, L"id")) << "the deleted row's values";
        Read(pclAccess, L"id", NADirection::kNext);
        EXPECT_EQ(5, Id(pclAccess)) << "the row after the deleted one";
        ASSERT_EQ(1, Return(pclAccess, nRow4, 0));
        Read(pclAccess, L"id", NADirection::kPrevious);
        EXPECT_EQ(3, Id(pclAccess)) << "the row before the deleted one";
    }
}

// A return after a filter change: the position keeps the filter it was
// saved with; mode 1 makes it the browse's filter again, mode 0 leaves
// the filter in force.
TEST_F(SavedPositions, ReturnsAfterAFilterChange)
{
    for (eNAPOSITION eMode : {kKeepFilter, kRestoreFilter}) {
        SCOPED_TRACE(static_cast<int>(eMode));
        CNADataAccess* pclAccess = OpenRows(8, eMode == kKeepFilter ? "f0" : "f1");
        ReadTo(pclAccess, L"id", 3);
        const int nRow3 = Save(pclAccess, L"id");
        const CAny low = Int(2);
        const CAny high = Int(5);
        ASSERT_EQ(1, pclAccess->bHFiltre(L"id", &low, 1, &high, 1, nullptr)) << Utf8(m_pclError->pszGetError());
        Read(pclAccess, L"id", NADirection::kLast);
        EXPECT_EQ(5, Id(pclAccess));

        ASSERT_EQ(1, Return(pclAccess, nRow3, 1, eMode)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(3, IntOf(pclAccess, L"id"));
        Read(pclAccess, L"id", NADirection::kNext);
        EXPECT_EQ(4, Id(pclAccess));
        Read(pclAccess, L"id", NADirection::kNext);
        EXPECT_EQ(5, Id(pclAccess));
        Read(pclAccess, L"id", NADirection::kNext);
        if (eMode == kKeepFilter)
            EXPECT_EQ(kOut, Id(pclAccess)) << "the filter in force ends the browse at 5";
        else
            EXPECT_EQ(6, Id(pclAccess)) << "the position's filter (none) is back";
    }
}

// A save on an item that has no statement and cannot have one fails with
// user error 7 and hands out no number.
TEST_F(SavedPositions, NoStatementNoPosition)
{
    CNADataAccess* pclAccess = OpenRows(2);
    m_bNoStatement = true;
    int nId = 0;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHSauvePosition(&nId, L"v", kKeepFilter));
    EXPECT_EQ(-1, nId);
    EXPECT_EQ(kNoCurrentRecord, m_pclError->nGetUserErrorCode());
}

}  // namespace
