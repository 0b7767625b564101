// Browse re-positioning on the run's private server: a browse read in
// blocks of a few rows goes on block after block (each a new SELECT after
// the last row read) both ways, on unique, duplicate and composite items;
// next and previous after the end of a transaction and after a change of
// browse item; a re-positioning that leaves the result keeps the record
// and tries again; a forward-only parse that would have to run again.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/record.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
constexpr unsigned kParseCannotRunAgain = 83;

class Reposition : public vxtest::StatementOnServer
{
protected:
    // Rows 1..N: id unique, v = id mod 7 (long runs of equal keys), a
    // composite key (a, c) with a = id mod 4.
    CNADataAccess* Open(const std::string& sTable, int nRows, CNAConnectionDescription* pclConnection = nullptr)
    {
        if (nRows >= 0) {
            EXPECT_TRUE(m_client.bExecute("CREATE TABLE " + sTable +
                                          " (id INT PRIMARY KEY, v INT, a INT, c INT, KEY kv (v), KEY kac (a, c))"))
                << m_client.sError();
            EXPECT_TRUE(m_client.bExecute("INSERT INTO " + sTable + " SELECT seq, seq % 7, seq % 4, -seq FROM seq_1_to_" +
                                          std::to_string(nRows)))
                << m_client.sError();
        }
        return OpenAccess(sTable, pclConnection);
    }
    static int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                    NA_WRITEPARSEFLAGS nFlags = 0)
    {
        eNA_LOCKTYPE eOut = kLock;
        return pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, nFlags);
    }
    static bool bOut(CNADataAccess* pclAccess)
    {
        int bOut = 1;
        pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
        return bOut != 0;
    }
    // The current record's id ("out" after a move out of the result).
    static std::string Id(CNADataAccess* pclAccess, const wchar_t* pszColumn = L"id")
    {
        if (bOut(pclAccess))
            return "out";
        CAny value;
        if (!Column(pclAccess, pszColumn)->bGetCurrentValue(&value, 0))
            return "";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    // The id the record holds, whatever the browse says.
    static std::string RecordId(CNADataAccess* pclAccess)
    {
        CAny value;
        if (!Column(pclAccess, L"id")->bGetCurrentValue(&value, 0))
            return "";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    std::vector<std::string> Browse(CNADataAccess* pclAccess, const wchar_t* pszItem, bool bBackward,
                                    const wchar_t* pszColumn = L"id")
    {
        std::vector<std::string> ids;
        EXPECT_EQ(1, Read(pclAccess, pszItem, bBackward ? NADirection::kLast : NADirection::kFirst))
            << m_pclError->pszGetError();
        while (!bOut(pclAccess) && ids.size() < 100000) {
            ids.push_back(Id(pclAccess, pszColumn));
            if (Read(pclAccess, pszItem, bBackward ? NADirection::kPrevious : NADirection::kNext) != 1) {
                ADD_FAILURE() << "after " << ids.back() << ": " << Utf8(m_pclError->pszGetError());
                break;
            }
        }
        return ids;
    }
};

// A browse in blocks of 7 rows reads every row of a few thousand in the
// order of a plain SELECT, from the start and from the end: each block is
// a new SELECT after the last row read, equal keys running across block
// boundaries.
TEST_F(Reposition, ContinuationBlocksGiveEveryRowBothWays)
{
    struct Item
    {
        const wchar_t* pszItem;
        const char* pszOrder;
    };
    const Item items[] = {
        {L"id", "id"},         // unique
        {L"v", "v, id"},       // runs of about 430 equal keys
        {L"kac", "a, c, id"},  // a composite key
    };
    CNADataAccess* pclAccess = Open("t", 3000, OpenServerConnection(m_db.Name(), L"VX Cache Size=7"));
    for (const Item& item : items) {
        SCOPED_TRACE(Utf8(item.pszItem));
        const std::vector<std::string> expected = FirstColumn(std::string("SELECT id FROM t ORDER BY ") + item.pszOrder);
        ASSERT_EQ(3000u, expected.size());
        ASSERT_EQ(1, Read(pclAccess, item.pszItem, NADirection::kFirst));
        ASSERT_EQ(7, pclAccess->pclGetLastStatementNoRef()->pclGetCommandNoRef()->llGetLimit()) << "blocks of 7 rows";
        EXPECT_EQ(expected, Browse(pclAccess, item.pszItem, false));
        EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), Browse(pclAccess, item.pszItem, true));
    }
}

// Without a unique key the rows of an equal key are told apart by their
// rank among them, counted on the server: blocks of 4 rows over runs of 40
// equal keys, both ways, and a browse run again after the end of a
// transaction in the middle of such a run.
TEST_F(Reposition, EqualKeysWithoutAUniqueKey)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE d (v INT, w INT, KEY kv (v))")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO d SELECT seq % 5, seq FROM seq_1_to_200")) << m_client.sError();
    CNADataAccess* pclAccess = Open("d", -1, OpenServerConnection(m_db.Name(), L"VX Cache Size=4"));
    const std::vector<std::string> expected = FirstColumn("SELECT w FROM d ORDER BY v, w");
    EXPECT_EQ(expected, Browse(pclAccess, L"v", false, L"w"));
    EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), Browse(pclAccess, L"v", true, L"w"));

    struct Case
    {
        int nNextBefore;
        eNA_PARSEDIRECTION eDirection;
    };
    const Case cases[] = {{2, NADirection::kNext}, {2, NADirection::kPrevious}, {10, NADirection::kNext},
                          {0, NADirection::kPrevious}, {41, NADirection::kPrevious}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nNextBefore);
        ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kFirst));
        for (int n = 0; n < c.nNextBefore; ++n)
            ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext));
        pclAccess->SetTransactionTermined();
        ASSERT_EQ(1, Read(pclAccess, L"v", c.eDirection)) << Utf8(m_pclError->pszGetError());
        const int nAt = c.nNextBefore + (c.eDirection == NADirection::kNext ? 1 : -1);
        EXPECT_EQ(nAt < 0 ? "out" : expected[nAt], Id(pclAccess, L"w"));
    }
}

// Rows that are equal through and through are told apart only by their
// rank among them: a browse run again from any of them goes on with the
// rows that follow it (or precede it), each read once.
TEST_F(Reposition, IdenticalRowsAreToldApartByTheirRank)
{
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE z (v INT, KEY kv (v))")) << m_client.sError();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO z SELECT seq % 3 FROM seq_1_to_12")) << m_client.sError();
    CNADataAccess* pclAccess = Open("z", -1);
    const std::vector<std::string> expected = FirstColumn("SELECT v FROM z ORDER BY v");
    ASSERT_EQ(12u, expected.size());
    for (int nAt = 0; nAt < 12; ++nAt) {
        for (const bool bBackward : {false, true}) {
            SCOPED_TRACE(std::to_string(nAt) + (bBackward ? " backward" : " forward"));
            ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kFirst));
            for (int n = 0; n < nAt; ++n)
                ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext));
            pclAccess->SetTransactionTermined();
            std::vector<std::string> rest;
            const eNA_PARSEDIRECTION eMove = bBackward ? NADirection::kPrevious : NADirection::kNext;
            ASSERT_EQ(1, Read(pclAccess, L"v", eMove)) << Utf8(m_pclError->pszGetError());
            while (!bOut(pclAccess) && rest.size() < 20) {
                rest.push_back(Id(pclAccess, L"v"));
                ASSERT_EQ(1, Read(pclAccess, L"v", eMove)) << Utf8(m_pclError->pszGetError());
            }
            const std::vector<std::string> want =
                bBackward ? std::vector<std::string>(expected.rend() - nAt, expected.rend())
                          : std::vector<std::string>(expected.begin() + nAt + 1, expected.end());
            EXPECT_EQ(want, rest);
        }
    }
}

// After the end of a transaction a started browse runs its query again
// at its next read, from the row it stood on, both ways.
TEST_F(Reposition, NextAndPreviousAfterTheEndOfATransaction)
{
    struct Case
    {
        const char* pszName;
        const char* pszCacheSize;
        const wchar_t* pszItem;
        int nNextBefore;  // reads after first
        eNA_PARSEDIRECTION eDirection;
        const char* pszId;
    };
    // v orders 7, 14, 1, 8, 15, 2, ... (v, id).
    const Case cases[] = {
        {"next on a unique item", "0", L"id", 2, NADirection::kNext, "4"},
        {"previous on a unique item", "0", L"id", 2, NADirection::kPrevious, "2"},
        {"next among equal keys", "0", L"v", 0, NADirection::kNext, "14"},
        {"previous from the first row leaves the result", "0", L"id", 0, NADirection::kPrevious, "out"},
        {"next in blocks of 4", "4", L"id", 5, NADirection::kNext, "7"},
        {"previous in blocks of 4", "4", L"v", 5, NADirection::kPrevious, "15"},
        {"next on a composite key", "0", L"kac", 1, NADirection::kNext, "12"},
    };
    EXPECT_TRUE(m_client.bExecute("CREATE TABLE e (id INT PRIMARY KEY, v INT, a INT, c INT, KEY kv (v), KEY kac (a, c))"));
    EXPECT_TRUE(m_client.bExecute("INSERT INTO e SELECT seq, seq % 7, seq % 4, -seq FROM seq_1_to_20"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CNADataAccess* pclAccess = Open("e", -1, OpenServerConnection(m_db.Name(), FromUtf8(std::string("VX Cache Size=") + c.pszCacheSize)));
        ASSERT_EQ(1, Read(pclAccess, c.pszItem, NADirection::kFirst));
        for (int n = 0; n < c.nNextBefore; ++n)
            ASSERT_EQ(1, Read(pclAccess, c.pszItem, NADirection::kNext));
        const std::string sBefore = Id(pclAccess);
        pclAccess->SetTransactionTermined();
        EXPECT_NE(NA_PNU_NONE, pclAccess->pclGetLastStatementNoRef()->eParseNeedUpdate());
        ASSERT_EQ(1, Read(pclAccess, c.pszItem, c.eDirection)) << Utf8(m_pclError->pszGetError());
        EXPECT_EQ(c.pszId, Id(pclAccess));
        if (std::string(c.pszId) == "out") {
            // The record stays on its row, and the browse tries again from
            // it at the next read.
            EXPECT_EQ(sBefore, RecordId(pclAccess));
            EXPECT_EQ(NA_PNU_REPOSITION, pclAccess->pclGetLastStatementNoRef()->eParseNeedUpdate());
            ASSERT_EQ(1, Read(pclAccess, c.pszItem, NADirection::kNext));
            EXPECT_EQ("2", Id(pclAccess));
        }
    }
}

// A change of browse item keeps the current record: the next read on the
// new item moves from it in the new item's order.
TEST_F(Reposition, AChangeOfBrowseItemMovesFromTheCurrentRecord)
{
    CNADataAccess* pclAccess = Open("k", 20);
    // Unchanged item, nothing written: nothing to do.
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    EXPECT_EQ(1, pclAccess->bHChangeCle(L"id", 0));
    EXPECT_EQ(NA_PNU_NONE, pclAccess->pclGetLastStatementNoRef()->eParseNeedUpdate());
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    EXPECT_EQ("3", Id(pclAccess));

    // Row 3 (v 3): in v order 10, 17, 3, 10... next is 10, previous 17.
    ASSERT_EQ(1, pclAccess->bHChangeCle(L"v", 0));
    ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ("10", Id(pclAccess));
    ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext));
    EXPECT_EQ("17", Id(pclAccess));
    ASSERT_EQ(1, pclAccess->bHChangeCle(L"id", 0));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kPrevious)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ("16", Id(pclAccess));

    // A browse that had not found its row again yet hands that row over:
    // it becomes the current record again, and the new item moves from it
    // (row 5, v 5: then 12 in v order).
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    for (int n = 0; n < 4; ++n)
        ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    pclAccess->SetTransactionTermined();
    const CAny edited = Int(77);
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&edited, 0));
    ASSERT_EQ(1, pclAccess->bHChangeCle(L"v", 0));
    EXPECT_EQ("5", RecordId(pclAccess));
    ASSERT_EQ(1, Read(pclAccess, L"v", NADirection::kNext)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ("12", Id(pclAccess));
}

// A forward-only parse cannot run again: the read that would need it fails
// with user error 83 and the record stays.
TEST_F(Reposition, AForwardOnlyParseThatWouldRunAgainIsRefused)
{
    CNADataAccess* pclAccess = Open("w", 10);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst, NAParseFlag::kForwardOnly));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext, NAParseFlag::kForwardOnly));
    pclAccess->SetTransactionTermined();
    m_pclError->Reset();
    EXPECT_EQ(0, Read(pclAccess, L"id", NADirection::kNext, NAParseFlag::kForwardOnly));
    EXPECT_EQ(kParseCannotRunAgain, m_pclError->nGetUserErrorCode());
    EXPECT_EQ("2", RecordId(pclAccess));
    // Read from the start, it browses again.
    m_pclError->Reset();
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst, NAParseFlag::kForwardOnly));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext, NAParseFlag::kForwardOnly));
    EXPECT_EQ("2", Id(pclAccess));
}

// A re-positioning whose item the data source does not know succeeds
// without reading.
TEST_F(Reposition, AnItemWithoutDescriptionIsNotRead)
{
    CNADataAccess* pclAccess = Open("u", 3);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    CNAStatement* pclStatement = pclAccess->_pclGetNewItemStatement(L"nosuch", NADirection::kNext, 0);
    ASSERT_NE(nullptr, pclStatement);
    EXPECT_EQ(1, pclAccess->_bUpdateParse(0, pclStatement, 1, NADirection::kNext, 1));
    EXPECT_EQ(0, pclStatement->bParseStarted());
    EXPECT_EQ("1", RecordId(pclAccess));
    pclStatement->nRelease();
}

// The helpers of drivers that resume a parse after an error: the row found
// again in place, or lost when the server no longer has it (the record
// keeps its values and the browse tries again at its next read); a restart
// that runs the parse again and moves on.
TEST_F(Reposition, TheCurrentRowFoundAgainOrLost)
{
    CNADataAccess* pclAccess = Open("r", 6);
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    CNAStatement* pclStatement = pclAccess->pclGetLastStatementNoRef();
    ASSERT_TRUE(m_client.bExecute("UPDATE r SET v = 99 WHERE id = 2")) << m_client.sError();
    ASSERT_EQ(1, pclAccess->_bUpdateCurrentParsePosition(0, pclStatement)) << Utf8(m_pclError->pszGetError());
    EXPECT_EQ("2", Id(pclAccess));
    EXPECT_EQ("99", Id(pclAccess, L"v")) << "read again from the server";

    ASSERT_TRUE(m_client.bExecute("DELETE FROM r WHERE id = 2")) << m_client.sError();
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->_bUpdateCurrentParsePosition(0, pclStatement));
    EXPECT_EQ(1, pclStatement->bRecordLost());
    EXPECT_EQ("2", RecordId(pclAccess));
    EXPECT_EQ(NA_PNU_REPOSITION, pclStatement->eParseNeedUpdate());

    eNA_LOCKTYPE eOut = kLock;
    ASSERT_EQ(1, pclAccess->_bRelanceParcoursSurErreur(pclStatement, L"id", NADirection::kNext, kLock, &eOut, 0))
        << Utf8(m_pclError->pszGetError());
    EXPECT_EQ(0, pclStatement->bRecordLost());
    EXPECT_EQ("3", Id(pclAccess));
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kNext));
    EXPECT_EQ("4", Id(pclAccess));
}

}  // namespace
