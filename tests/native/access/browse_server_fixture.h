#pragma once

// Browses on the run's private server through a data access, with writes
// made through its default statement as the host's writes make them: a
// table t of rows 1..N (id unique, v = id * 10 with its own index), read by
// item, its rows updated and deleted while other statements browse it. The
// statements are the MySQL driver's, or ones that keep their rows in a
// record cache.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "tests/native/access/statement_server_fixture.h"

namespace vxtest {

class BrowseOnServer : public StatementOnServer
{
protected:
    static constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
    // What Id gives after a move out of the result.
    static constexpr int kOut = -1;

    // The MySQL driver's statements, ones that keep their rows in a record
    // cache, or none at all, as the test says.
    void Choose(CMySQLDriverSeams& seams) override
    {
        seams.allocStatement = [this](CMySQLDriver& driver, CNADataAccess* pclDataAccess,
                                      CNAError* pclError) -> CNAStatement* {
            if (m_bNoStatement)
                return nullptr;
            if (m_bCached)
                return new (std::nothrow) CCachingMySQLStatement(pclDataAccess, pclError);
            return driver.CMySQLDriver::pclAllocStatement(pclDataAccess, nullptr, pclError);
        };
    }

    // A data access on t, made with nRows rows.
    CNADataAccess* OpenRows(int nRows, const std::string& sTable = "t")
    {
        const std::string sCreate = "CREATE TABLE " + sTable + " (id INT PRIMARY KEY, v INT, KEY kv (v))";
        CNADataAccess* pclAccess = OpenTable(sTable, sCreate);
        if (nRows > 0) {
            EXPECT_TRUE(m_client.bExecute("INSERT INTO " + sTable + " SELECT seq, seq * 10 FROM seq_1_to_" +
                                          std::to_string(nRows)))
                << m_client.sError();
        }
        return pclAccess;
    }

    int Read(CNADataAccess* pclAccess, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
             NA_WRITEPARSEFLAGS nFlags = 0)
    {
        eNA_LOCKTYPE eOut = kLock;
        const int bDone = pclAccess->bHLitxxx(pszItem, eDirection, 1, kLock, &eOut, nFlags);
        EXPECT_EQ(1, bDone) << Utf8(m_pclError->pszGetError());
        return bDone;
    }
    // The browse on the item from its first row to its n-th.
    void ReadTo(CNADataAccess* pclAccess, const wchar_t* pszItem, int nRows)
    {
        Read(pclAccess, pszItem, NADirection::kFirst);
        for (int n = 1; n < nRows; ++n)
            Read(pclAccess, pszItem, NADirection::kNext);
    }
    // The browse's row: its id, or kOut.
    static int Id(CNADataAccess* pclAccess)
    {
        int bOut = 1;
        pclAccess->pclGetLastStatementNoRef()->HEndehors(&bOut);
        return bOut ? kOut : IntOf(pclAccess, L"id");
    }
    // A column of the current record; -100 when it cannot be read.
    static int IntOf(CNADataAccess* pclAccess, const wchar_t* pszColumn)
    {
        CAny value;
        int n = 0;
        if (!Column(pclAccess, pszColumn)->bGetCurrentValue(&value, 0) || value.bIsNull() || value.nGetINT(&n) > 99)
            return -100;
        return n;
    }
    // The item's statement, held by the data access.
    static CNAStatement* StatementOf(CNADataAccess* pclAccess, const wchar_t* pszItem)
    {
        CNAStatement* pclStatement = pclAccess->_pclFindStatement(pszItem);
        EXPECT_NE(nullptr, pclStatement) << Utf8(pszItem);
        if (pclStatement != nullptr)
            pclStatement->nRelease();
        return pclStatement;
    }

    // The current record (the row read last) written with v changed, as an
    // UPDATE through the default statement; the flags are the write's.
    void UpdateV(CNADataAccess* pclAccess, int nV, NA_WRITEPARSEFLAGS nFlags = 0)
    {
        const CAny value = Int(nV);
        ASSERT_EQ(1, Column(pclAccess, L"v")->bSetValue(&value, 0));
        Write(pclAccess, NA_QUERY_UPDATE, nFlags);
    }
    // The current record (the row read last) deleted through the default
    // statement.
    void DeleteCurrent(CNADataAccess* pclAccess) { Write(pclAccess, NA_QUERY_DELETE, 0); }
    void Write(CNADataAccess* pclAccess, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags)
    {
        CNAStatement* pclWriter = pclAccess->_pclGetQueryStatement();
        ASSERT_NE(nullptr, pclWriter);
        CNARecordValue* pclBefore = nullptr;
        if (eKind == NA_QUERY_UPDATE) {
            // The host's modification hands on the row as it was read.
            pclBefore = pclAccess->pclGetCurrentRecordNoRef()->pclGetOriginalRecordValueNoRef()->pclGetClone(
                CNARecordValue::COPY_ALL);
            REF_AddRef(pclBefore);
        }
        m_pclError->Reset();
        EXPECT_EQ(1, pclAccess->_bOperation(pclWriter, eKind, nFlags, pclBefore)) << Utf8(m_pclError->pszGetError());
        // As the host's writes end: a row modified is the row as read, a
        // row deleted is marked so.
        if (eKind == NA_QUERY_DELETE)
            pclAccess->pclGetCurrentRecordNoRef()->SetDeleted();
        else
            (void)pclAccess->bSetCurrentRecordRead(0);
        if (pclBefore != nullptr)
            REF_Release(pclBefore);
        pclWriter->nRelease();
    }

    bool m_bNoStatement = false;
    bool m_bCached = false;
};

}  // namespace vxtest
