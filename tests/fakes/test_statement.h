#pragma once

// A statement around a current record, for the tests of what the data model
// asks of a statement: its record and the bind/define flag of its command,
// which the test sets; its name, filter and search value, set by the test;
// and its row cache, which the test fills as a browse does (each row a copy
// of the current record's current row) and which the statement's full read
// hands over as complete, unless the test tells the read to fail: the read
// then reports its error and gives nothing. A hook run at the start of the
// read stands for what the read does to its data access.
#include <functional>

#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/sql/command.h"
#include "native/sql/filter.h"

class CTestStatement : public CNAStatement
{
public:
    CTestStatement(CNADataAccess* pclDataAccess, CNAError* pclError, CNARecord* pclRecord)
        : CNAStatement(pclDataAccess, pclError)
    {
        SetCurrentRecord(pclRecord);
    }

    // The flag is its command's (a command made for it when it has none).
    void SetBindDefineFlag(int nFlag)
    {
        if (m_pclCommand == nullptr) {
            auto* pclCommand = new CNACommand(m_pclError, pclGetConnectionNoRef());
            _SetQuery(pclCommand);
        }
        m_pclCommand->SetColumnSelectionMode(nFlag);
    }
    // A null value: no search value.
    void SetSearchValue(const CAny* pclValue)
    {
        if (pclValue != nullptr)
            m_clUserSearch.SetUserSearch(nullptr, pclValue, 0);
        else
            m_clUserSearch.CancelUserSearch();
    }
    // The filter held with a reference (the former one released).
    void SetFilter(CNAFilter* pclFilter) { _SetFilter(pclFilter); }

    // The current record's current row appended to the row cache (turned on
    // first); the row's index, or -1.
    int AppendCurrentRow()
    {
        EnableCache(1);
        CNARecordCache* pclCache = pclGetRecordCacheNoRef();
        return pclCache != nullptr ? pclCache->nAjoute(m_pclCurrentRecord->pclGetCurrentRecordValueNoRef()) : -1;
    }

    // The full read fails with this user error (0: it succeeds).
    void FailFullRead(unsigned nUserCode) { m_nFailCode = nUserCode; }
    void OnFullRead(std::function<void()> hook) { m_onFullRead = std::move(hook); }
    int FullReads() const { return m_nFullReads; }

    CNARecordCache* pclGetFullRecordCache() override
    {
        ++m_nFullReads;
        if (m_onFullRead)
            m_onFullRead();
        CNARecordCache* pclCache = pclGetRecordCacheNoRef();
        if (m_nFailCode != 0 || pclCache == nullptr) {
            if (m_nFailCode != 0 && m_pclError != nullptr)
                m_pclError->AddError(NA_ERR_GENERAL, m_nFailCode, NA_SRC_STATEMENT, 99, nullptr);
            return nullptr;
        }
        pclCache->SetFetchComplete();
        return CNAStatement::pclGetFullRecordCache();
    }

private:
    unsigned m_nFailCode = 0;
    int m_nFullReads = 0;
    std::function<void()> m_onFullRead;
};
