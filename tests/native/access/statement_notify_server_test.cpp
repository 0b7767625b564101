// Writes made through a data access's default statement, told to the
// statements that browse the same data access, on the run's private
// server: an update that keeps a browse's sort value shows the new values
// in place, one that changes it re-positions the browse, a deleted row is
// skipped, and a position saved on a deleted row is found again by
// search. Each on plain statements and on statements with a record cache.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/record_cache.h"
#include "tests/native/access/browse_server_fixture.h"

namespace {

constexpr NA_WRITEPARSEFLAGS kWrittenStaysRead = 0x40;

class WriteNotifications : public vxtest::BrowseOnServer
{
protected:
    // The ids a browse gives from where it stands, in one direction, to
    // its end.
    std::vector<int> Rest(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection)
    {
        std::vector<int> ids;
        while (ids.size() < 20 && Read(pclAccess, pszItem, eDirection) && Id(pclAccess) != kOut)
            ids.push_back(Id(pclAccess));
        return ids;
    }
    // Each case runs on plain statements and on statements with a record
    // cache, each on a table of its own.
    template <class F>
    void BothKinds(int nRows, F test)
    {
        for (bool bCached : {false, true}) {
            SCOPED_TRACE(bCached ? "record cache" : "plain");
            m_bCached = bCached;
            test(OpenRows(nRows, bCached ? "c" + std::to_string(++m_nTables) : "p" + std::to_string(++m_nTables)));
        }
    }

    int m_nTables = 0;
};

// The row a browse on id stands on gets a new v: the browse stays, shows
// the new values and goes on from there; a browse on v standing elsewhere
// is brought up to date at its next read and goes on from its own row.
TEST_F(WriteNotifications, AnUpdateThatKeepsTheSortValueShowsTheNewValuesInPlace)
{
    BothKinds(5, [this](CNADataAccess* pclAccess) {
        ReadTo(pclAccess, L"v", 4);
        ReadTo(pclAccess, L"id", 2);
        UpdateV(pclAccess, 22);
        CNAStatement* pclById = StatementOf(pclAccess, L"id");
        EXPECT_EQ(NA_PNU_NONE, pclById->eParseNeedUpdate());
        EXPECT_NE(NA_PNU_NONE, StatementOf(pclAccess, L"v")->eParseNeedUpdate()) << "another row was written";

        Read(pclAccess, L"id", NADirection::kNext);
        EXPECT_EQ(3, Id(pclAccess));
        Read(pclAccess, L"id", NADirection::kPrevious);
        EXPECT_EQ(2, Id(pclAccess));
        EXPECT_EQ(22, IntOf(pclAccess, L"v")) << "read back with its new values";
        EXPECT_EQ((std::vector<int>{3, 4, 5}), Rest(pclAccess, L"id", NADirection::kNext));
        EXPECT_EQ((std::vector<int>{5}), Rest(pclAccess, L"v", NADirection::kNext)) << "v went on from row 4";
    });
}

// The row a browse on v stands on gets a new v: the browse re-positions,
// on the row as it was read, or with the written row staying the row read
// (0x40) on its new value: v = 20 becomes 45, then 45 becomes 15.
TEST_F(WriteNotifications, AnUpdateThatChangesTheSortValueRePositions)
{
    struct Case
    {
        NA_WRITEPARSEFLAGS nFlags;
        std::vector<int> next;
        std::vector<int> previous;
    };
    const Case cases[] = {
        {0, {3, 4, 2, 5}, {4, 3, 2, 1}},
        {kWrittenStaysRead, {5}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nFlags);
        BothKinds(5, [&](CNADataAccess* pclAccess) {
            ReadTo(pclAccess, L"v", 2);
            UpdateV(pclAccess, 45, c.nFlags);
            EXPECT_NE(NA_PNU_NONE, StatementOf(pclAccess, L"v")->eParseNeedUpdate());
            EXPECT_EQ(c.next, Rest(pclAccess, L"v", NADirection::kNext));
            ReadTo(pclAccess, L"v", 4);
            ASSERT_EQ(2, Id(pclAccess));
            UpdateV(pclAccess, 15, c.nFlags);
            EXPECT_EQ(c.previous, Rest(pclAccess, L"v", NADirection::kPrevious));
        });
    }
}

// A row added by another statement comes in its place at the browse's
// next read.
TEST_F(WriteNotifications, AnAddedRowComesInItsPlace)
{
    BothKinds(4, [this](CNADataAccess* pclAccess) {
        ReadTo(pclAccess, L"v", 2);
        const CAny id = Int(10);
        const CAny v = Int(25);
        ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&id, 0));
        ASSERT_EQ(1, Column(pclAccess, L"v")->bSetValue(&v, 0));
        Write(pclAccess, NA_QUERY_INSERT, 0);
        EXPECT_NE(NA_PNU_NONE, StatementOf(pclAccess, L"v")->eParseNeedUpdate());
        EXPECT_EQ((std::vector<int>{10, 3, 4}), Rest(pclAccess, L"v", NADirection::kNext));
    });
}

// A row added with the written record staying the record read (0x40),
// while a browse holds every row in its record cache: the cache takes the
// row, the browse stands on it and goes on from its place.
TEST_F(WriteNotifications, AnAddedRowThatStaysReadJoinsACompleteRecordCache)
{
    m_bCached = true;
    CNADataAccess* pclAccess = OpenRows(4);
    ReadTo(pclAccess, L"v", 4);
    Read(pclAccess, L"v", NADirection::kNext);
    ASSERT_EQ(kOut, Id(pclAccess));
    CNAStatement* pclStatement = StatementOf(pclAccess, L"v");
    ASSERT_EQ(1, pclStatement->bCacheCompleted());
    const CAny id = Int(10);
    const CAny v = Int(25);
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&id, 0));
    ASSERT_EQ(1, Column(pclAccess, L"v")->bSetValue(&v, 0));
    Write(pclAccess, NA_QUERY_INSERT, kWrittenStaysRead);
    EXPECT_EQ(5, pclStatement->pclGetRecordCacheNoRef()->nGetRowCount());
    EXPECT_EQ(4, pclStatement->nGetCurrentRecord()) << "the new row";
    EXPECT_EQ((std::vector<int>{3, 4}), Rest(pclAccess, L"v", NADirection::kNext));
}

// A deleted row: the browse that stood on it goes on around it, and a
// browse whose record cache holds it walks over it.
TEST_F(WriteNotifications, ADeletedRowIsSkipped)
{
    BothKinds(6, [this](CNADataAccess* pclAccess) {
        Read(pclAccess, L"v", NADirection::kFirst);
        for (int n = 0; n < 4; ++n)
            Read(pclAccess, L"v", NADirection::kNext);
        Read(pclAccess, L"v", NADirection::kPrevious);
        ASSERT_EQ(4, Id(pclAccess));
        ReadTo(pclAccess, L"id", 3);
        Read(pclAccess, L"id", NADirection::kPrevious);
        ASSERT_EQ(2, Id(pclAccess));
        DeleteCurrent(pclAccess);
        EXPECT_EQ(NA_PNU_NONE, StatementOf(pclAccess, L"id")->eParseNeedUpdate()) << "its own row";

        EXPECT_EQ((std::vector<int>{3, 4, 5, 6}), Rest(pclAccess, L"id", NADirection::kNext));
        EXPECT_EQ((std::vector<int>{5, 4, 3, 1}), Rest(pclAccess, L"id", NADirection::kPrevious));
        EXPECT_EQ((std::vector<int>{3, 1}), Rest(pclAccess, L"v", NADirection::kPrevious));
    });
}

// A position saved on a row that another statement deletes: the return
// finds it by its values, and the browse goes on after it.
TEST_F(WriteNotifications, APositionOnADeletedRowIsFoundAgainBySearch)
{
    BothKinds(5, [this](CNADataAccess* pclAccess) {
        ReadTo(pclAccess, L"v", 2);
        int nId = -1;
        ASSERT_EQ(1, pclAccess->bHSauvePosition(&nId, L"v", static_cast<eNAPOSITION>(0)));
        Read(pclAccess, L"v", NADirection::kNext);
        ReadTo(pclAccess, L"id", 2);
        ASSERT_EQ(2, Id(pclAccess));
        DeleteCurrent(pclAccess);
        CNAPosition* pclPosition = StatementOf(pclAccess, L"v")->pclGetSavedPosition(nId);
        ASSERT_NE(nullptr, pclPosition);
        if (m_bCached)
            EXPECT_EQ(1, pclPosition->bRowDeleted()) << "the record cache marked its row";
        pclPosition->nRelease();

        wchar_t szItem[256];
        ASSERT_EQ(1, pclAccess->bHRetourPosition(nId, szItem, 0, static_cast<eNAPOSITION>(0)))
            << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(2, IntOf(pclAccess, L"id")) << "the saved values";
        // By search: re-positioned, or run again when the delete of another
        // row asked for that.
        EXPECT_EQ(m_bCached ? NA_PNU_REPOSITION : NA_PNU_REEXECUTE, StatementOf(pclAccess, L"v")->eParseNeedUpdate());
        EXPECT_EQ((std::vector<int>{3, 4, 5}), Rest(pclAccess, L"v", NADirection::kNext));
    });
}

}  // namespace
