// The data access's smaller services on the run's private server: the
// operations this driver does not offer and the locks that do nothing, the
// end of a transaction on statements in each parse state, and the table
// cache made, replaced and dropped.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/table_cache.h"
#include "tests/native/access/statement_server_fixture.h"
#include "tests/native/driver/error_checks.h"

namespace {

constexpr unsigned kNotAvailable = 8;
constexpr eNA_LOCKTYPE kLockUntouched = static_cast<eNA_LOCKTYPE>(77);
constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);

class ServicesOnServer : public vxtest::StatementOnServer
{
protected:
    CNADataAccess* Table() { return OpenTable("svc", "CREATE TABLE svc (id INT PRIMARY KEY, name VARCHAR(20))"); }
    // The table with rows 1..5 named "n1".."n5".
    CNADataAccess* FilledTable()
    {
        CNADataAccess* pclAccess = Table();
        EXPECT_TRUE(m_client.bExecute("INSERT INTO svc SELECT seq, CONCAT('n', seq) FROM seq_1_to_5"))
            << m_client.sError();
        return pclAccess;
    }
    static int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection)
    {
        eNA_LOCKTYPE eOut = kLock;
        return pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, 0);
    }
    // The current record's value of the column as text.
    static std::string Current(CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        CAny value;
        if (!Column(pclAccess, pszColumn)->bGetCurrentValue(&value, 0))
            return "(unreadable)";
        return Utf8(vxtest::TextOf(value).c_str());
    }
    // A statement of the data access's own, under a browse item, held by
    // the test too.
    CNAStatement* Registered(CNADataAccess* pclAccess, const wchar_t* pszItem)
    {
        CNAStatement* pclStatement = pclAccess->_pclInitStatement(pszItem);
        EXPECT_NE(nullptr, pclStatement);
        m_statements.push_back(pclStatement);
        return pclStatement;
    }
};

// Each operation with its result: the ones not offered fail at their own
// site with user error 8, error type 7, the table named and the outputs
// untouched; the unlocks, the write path's record locks, re-indexing and the
// automatic filter succeed and record no error.
TEST_F(ServicesOnServer, OperationsNotOfferedFailAndTheLocksDoNothing)
{
    struct Case
    {
        const char* pszOperation;
        const wchar_t* pszSite;  // null: succeeds
        std::function<int(CNADataAccess*, eNA_LOCKTYPE*, CAny*)> call;
    };
    const Case cases[] = {
        {"lock the table", L"3.5",
         [](CNADataAccess* p, eNA_LOCKTYPE* pe, CAny*) { return p->bHBloqueFichier(static_cast<eNA_LOCKTYPE>(2), pe); }},
        {"lock a record", L"3.7",
         [](CNADataAccess* p, eNA_LOCKTYPE* pe, CAny*) { return p->bHBloqueNumEnr(0, static_cast<eNA_LOCKTYPE>(2), pe); }},
        {"cross out a record", L"3.10",
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bHRaye(0, static_cast<eNA_LOCKTYPE>(1)); }},
        {"free crossed-out records", L"3.11", [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bHLibere(); }},
        {"build a key value", L"3.13",
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny* pKey) { return p->bHConstruitValCle(pKey, L"id", 0, nullptr); }},
        {"unlock the table", nullptr, [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bHDebloqueFichier(); }},
        {"unlock a record", nullptr, [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bHDebloqueNumEnr(0); }},
        {"lock for a write", nullptr,
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bLockRecord(static_cast<eNA_LOCKTYPE>(2)); }},
        {"unlock after a write", nullptr,
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bUnlockRecord(static_cast<eNA_LOCKTYPE>(2)); }},
        {"lock and unlock", nullptr,
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bLockUnlockRecord(static_cast<eNA_LOCKTYPE>(2)); }},
        {"re-index", nullptr, [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bHReindexe(0, nullptr); }},
        {"automatic filter", nullptr,
         [](CNADataAccess* p, eNA_LOCKTYPE*, CAny*) { return p->bSetFiltreAuto(1, L"id", L"x", nullptr); }},
    };
    CNADataAccess* pclAccess = Table();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszOperation);
        m_pclError->Reset();
        eNA_LOCKTYPE eLock = kLockUntouched;
        CAny key = Int(42);
        const int bResult = c.call(pclAccess, &eLock, &key);
        EXPECT_EQ(kLockUntouched, eLock);
        EXPECT_EQ(ZLTYPE_I4, key.nGetTypeCode());
        EXPECT_FALSE(key.bIsNull());
        if (c.pszSite == nullptr) {
            EXPECT_EQ(1, bResult);
            EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel());
            continue;
        }
        EXPECT_EQ(0, bResult);
        EXPECT_TRUE(vxtest::ErrorAt(*m_pclError, kNotAvailable, c.pszSite));
        EXPECT_EQ(NA_ERR_NOT_AVAILABLE, m_pclError->eGetErrorType());
        EXPECT_STREQ(L"svc", m_pclError->pszGetLogicalTableName());
    }
}

// Only a statement that started a browse and has nothing pending is marked
// to run its query again, keeping the row it last read to come back to (a
// browse that read none runs again all the same); a pending cause is not
// overridden, and a statement that never browsed is left alone.
TEST_F(ServicesOnServer, TheEndOfATransactionMarksOnlyStartedBrowsesWithNothingPending)
{
    struct Case
    {
        const wchar_t* pszItem;
        bool bStarted;
        bool bRowRead;
        ePARSENEEDUPDATECAUSE eBefore;
        ePARSENEEDUPDATECAUSE eAfter;
        bool bRowKept;
    };
    const Case cases[] = {
        {L"id", true, true, NA_PNU_NONE, NA_PNU_REEXECUTE, true},
        {L"first", true, false, NA_PNU_NONE, NA_PNU_REEXECUTE, false},
        {L"name", false, true, NA_PNU_NONE, NA_PNU_NONE, false},
        {L"", true, true, NA_PNU_REPOSITION, NA_PNU_REPOSITION, false},
        {L"other", true, true, NA_PNU_REEXECUTE, NA_PNU_REEXECUTE, false},
    };
    CNADataAccess* pclAccess = Table();
    const CAny id = Int(7);
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&id, 0));
    for (const Case& c : cases) {
        CNAStatement* pclStatement = Registered(pclAccess, c.pszItem);
        if (c.bStarted)
            pclStatement->SetParseStarted();
        // The current record as the row last read.
        if (c.bRowRead) {
            ASSERT_EQ(1, pclStatement->bSetStmtOriginalRecord(NADirection::kFirst));
        }
        ASSERT_EQ(1, pclStatement->bSetParseNeedUpdate(c.eBefore, -1));
    }
    pclAccess->SetTransactionTermined();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(Utf8(cases[i].pszItem));
        EXPECT_EQ(cases[i].eAfter, m_statements[i]->eParseNeedUpdate());
        EXPECT_EQ(cases[i].bStarted ? 1 : 0, m_statements[i]->bParseStarted());
        EXPECT_EQ(cases[i].bRowKept, m_statements[i]->nGetRecordSaveID() != -1);
    }
}

// A browse that read a row is marked at the end of a transaction: its
// result is let go, its row kept, and its next read runs the query again
// and sees what the transaction's end made visible.
TEST_F(ServicesOnServer, AStartedBrowseRunsItsQueryAgainAfterTheEndOfATransaction)
{
    CNADataAccess* pclAccess = FilledTable();
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst)) << m_pclError->pszGetError();
    CNAStatement* pclBrowse = pclAccess->pclGetLastStatementNoRef();
    ASSERT_NE(nullptr, pclBrowse);
    ASSERT_EQ(5, pclBrowse->pclGetStatementSQLNoRef()->llGetRowCount());
    CNAStatement* pclNeverBrowsed = Registered(pclAccess, L"name");

    ASSERT_TRUE(m_client.bExecute("UPDATE svc SET name = 'changed' WHERE id = 1")) << m_client.sError();
    pclAccess->SetTransactionTermined();
    EXPECT_EQ(NA_PNU_REEXECUTE, pclBrowse->eParseNeedUpdate());
    EXPECT_NE(-1, pclBrowse->nGetRecordSaveID());
    EXPECT_EQ(-1, pclBrowse->pclGetStatementSQLNoRef()->llGetRowCount());  // no result held
    EXPECT_EQ(NA_PNU_NONE, pclNeverBrowsed->eParseNeedUpdate());
    EXPECT_EQ(0, pclNeverBrowsed->bParseStarted());

    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst)) << m_pclError->pszGetError();
    EXPECT_EQ("changed", Current(pclAccess, L"name"));
    EXPECT_EQ(NA_PNU_NONE, pclBrowse->eParseNeedUpdate());
    EXPECT_EQ(5, pclBrowse->pclGetStatementSQLNoRef()->llGetRowCount());
}

// Freeing the table cache first makes every statement let go of its
// column index over it: a browse on a row keeps the row to find again.
TEST_F(ServicesOnServer, FreeingTheTableCacheReleasesTheStatementsIndexes)
{
    CNADataAccess* pclAccess = FilledTable();
    ASSERT_EQ(1, Read(pclAccess, L"id", NADirection::kFirst)) << m_pclError->pszGetError();
    CNAStatement* pclReader = pclAccess->pclGetLastStatementNoRef();
    ASSERT_EQ(1, pclAccess->_bCreateNewTableCache(pclReader));
    CNATableCache* pclCache = pclAccess->pclGetTableCacheNoRef();
    ASSERT_EQ(1, pclCache->bSetStatementParse(pclReader));
    ASSERT_NE(nullptr, pclCache->pclGetFullCache()) << m_pclError->pszGetError();

    CNAStatement* pclByName = Registered(pclAccess, L"name");
    ASSERT_EQ(1, pclByName->bOpenUsingTableCache()) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclByName->bFetch(NADirection::kLast, 1, 1, nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ("n5", Current(pclAccess, L"name"));
    ASSERT_NE(nullptr, pclByName->pclGetTableCacheIndexNoRef());

    EXPECT_EQ(1, pclAccess->bFreeCache());
    EXPECT_EQ(nullptr, pclAccess->pclGetTableCacheNoRef());
    EXPECT_EQ(nullptr, pclByName->pclGetTableCacheIndexNoRef());
    EXPECT_EQ(nullptr, pclByName->pclGetRecordCacheNoRef());
    EXPECT_EQ(NA_PNU_REPOSITION, pclByName->eParseNeedUpdate());
}

// A table cache made for a statement replaces the one held; freeing it
// (with or without one) succeeds, and closing lets it go too.
TEST_F(ServicesOnServer, TheTableCacheIsReplacedAndFreed)
{
    CNADataAccess* pclAccess = Table();
    EXPECT_EQ(1, pclAccess->bFreeCache());
    EXPECT_EQ(nullptr, pclAccess->pclGetTableCacheNoRef());

    CNAStatement* pclStatement = Registered(pclAccess, L"id");
    ASSERT_EQ(1, pclAccess->_bCreateNewTableCache(pclStatement));
    CNATableCache* pclFirst = pclAccess->pclGetTableCacheNoRef();
    ASSERT_NE(nullptr, pclFirst);
    EXPECT_EQ(pclAccess, pclFirst->pclGetDataAccessNoRef());
    // Held by the test too, to see the data access let go of it.
    pclFirst->dwAddRef();
    ASSERT_EQ(1, pclAccess->_bCreateNewTableCache(pclStatement));
    EXPECT_NE(pclFirst, pclAccess->pclGetTableCacheNoRef());
    EXPECT_EQ(0u, pclFirst->dwRelease());

    EXPECT_EQ(1, pclAccess->bFreeCache());
    EXPECT_EQ(nullptr, pclAccess->pclGetTableCacheNoRef());
    ASSERT_EQ(1, pclAccess->_bCreateNewTableCache(pclStatement));
    EXPECT_EQ(1, pclAccess->bHFerme());
    EXPECT_EQ(nullptr, pclAccess->pclGetTableCacheNoRef());
}

}  // namespace
