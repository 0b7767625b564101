#pragma once

// The data access the native layer's tests work with when they check what
// the driver and the data model ask of a data access, with answers and
// failures they choose and no server: a CNADataAccess made by the test
// driver's slot 48 (TestDataAccessFactory), with the real counts,
// references and names, that can be marked open and given an alias
// name, and that records its closes (bHFerme) with the reference count it
// had when closed and the record-lock cancellations it is told of, and whose
// rows are identified by their values unless a test chooses the row-id kind.
// It reads a table unless a test says it reads a query, and gives no column
// kinds unless a test enables them. Its last statement is the one a test
// sets. It keeps saved positions as the statements would: each save takes
// the next number and remembers the last statement, a return brings that
// statement back as the last one and frees the position unless kept, a free
// forgets it; every call is recorded, and saves or returns fail when a test
// says so (a failed return reports user error 11, an unknown position).
// Live ones are counted. Another answer comes as a new setting, never as a
// changed default.
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/sql/sql_parser_info.h"

class CTestDataAccess : public CNADataAccess
{
public:
    CTestDataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection, CNAError* pclError)
        : CNADataAccess(piSource, pclConnection, pclError)
    {
        ++s_nLive;
    }
    ~CTestDataAccess() override
    {
        SetSourceQuery(nullptr);
        --s_nLive;
    }

    int bHFerme() override
    {
        m_closeRefCounts.push_back(m_dwRefCount);
        return CNADataAccess::bHFerme();
    }

    void CancelRecordLock(INAConnectionDescription* piConnection, CNATransaction* pclTransaction) override
    {
        m_cancelRecordLocks.push_back({piConnection, pclTransaction});
    }

    void SetOpened(bool b) { m_bOpened = b ? 1 : 0; }
    // The kind of identity its rows get (pclAllocRecordID): 1, by their
    // values, unless set otherwise.
    void SetRecordIdType(int eKind) { m_eRecordIdType = eKind; }
    int eEvaluateRecordIdType() const override { return m_eRecordIdType; }
    void SetAliasName(const wchar_t* pszName) { m_csAliasName.Set(pszName); }
    // Whether it reads a query (the host's parsed query is not given here).
    void SetReadsQuery(bool b) { m_bQuery = b ? 1 : 0; }
    void SetColumnKinds(bool b) { m_bColumnKinds = b ? 1 : 0; }
    // The host's parsed query of a query source, held with one reference
    // until replaced or the data access goes.
    void SetSourceQuery(CSQLParserInfo* pclQuery)
    {
        if (pclQuery != nullptr)
            REF_AddRef(pclQuery);
        CSQLParserInfo* pclFormer = m_pclSourceQuery;
        m_pclSourceQuery = pclQuery;
        if (pclFormer != nullptr)
            REF_Release(pclFormer);
    }

    void SetLastStatement(CNAStatement* pclStatement) { m_pclLastStatement = pclStatement; }

    struct stPositionCall
    {
        char cKind;  // 'S' save, 'R' return, 'F' free
        int nId;
        std::wstring csItem;
        int bKeep;
        int bResult;
    };
    int bHSauvePosition(int* pnId, const wchar_t* pszItem, eNAPOSITION) override
    {
        int nId = -1;
        if (!m_bFailSaves) {
            nId = m_nNextPosition++;
            m_savedPositions[nId] = m_pclLastStatement;
        }
        *pnId = nId;
        m_positionCalls.push_back({'S', nId, pszItem != nullptr ? pszItem : L"", 0, nId >= 0});
        return nId >= 0;
    }
    int bHRetourPosition(int nId, wchar_t* pszItem, int bKeep, eNAPOSITION) override
    {
        auto it = m_savedPositions.find(nId);
        const int bResult = !m_bFailReturns && it != m_savedPositions.end();
        if (!bResult && m_pclError != nullptr)
            m_pclError->AddError(NA_ERR_GENERAL, 11u, NA_SRC_DATAACCESS, 99, nullptr);
        if (bResult) {
            m_pclLastStatement = it->second;
            if (!bKeep)
                m_savedPositions.erase(it);
        }
        m_positionCalls.push_back({'R', nId, pszItem != nullptr ? pszItem : L"", bKeep, bResult});
        return bResult;
    }
    int bHLiberePosition(int nId) override
    {
        m_savedPositions.erase(nId);
        m_positionCalls.push_back({'F', nId, L"", 0, 1});
        return 1;
    }
    void FailPositionSaves(bool b) { m_bFailSaves = b; }
    void FailPositionReturns(bool b) { m_bFailReturns = b; }
    const std::vector<stPositionCall>& PositionCalls() const { return m_positionCalls; }
    // The positions saved and not yet freed.
    size_t SavedPositions() const { return m_savedPositions.size(); }

    // The reference count at each close, in order.
    const std::vector<uint32_t>& CloseRefCounts() const { return m_closeRefCounts; }
    // The record-lock cancellations it was told of, in order.
    struct stCancel
    {
        INAConnectionDescription* piConnection;
        CNATransaction* pclTransaction;
    };
    const std::vector<stCancel>& CancelRecordLocks() const { return m_cancelRecordLocks; }

    // Data accesses of this class alive in the process.
    static inline int s_nLive = 0;

private:
    std::vector<uint32_t> m_closeRefCounts;
    std::vector<stCancel> m_cancelRecordLocks;
    int m_eRecordIdType = 1;
    std::vector<stPositionCall> m_positionCalls;
    std::map<int, CNAStatement*> m_savedPositions;
    int m_nNextPosition = 1;
    bool m_bFailSaves = false;
    bool m_bFailReturns = false;
};

// The test driver's data access factory (slot 48) making test data accesses:
// choices.allocDataAccess = TestDataAccessFactory().
inline std::function<CNADataAccess*(INADataSourceDescription*, CNAConnectionDescription*, CNAError*)>
TestDataAccessFactory()
{
    return [](INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
              CNAError* pclError) -> CNADataAccess* {
        return new (std::nothrow) CTestDataAccess(piSource, pclConnection, pclError);
    };
}
