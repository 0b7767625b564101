// The statement's execution: the command set, prepared and run on the
// execution statement, the first row's values read back, and the state a
// run leaves (block row limit, first-row flag, the imported description of
// a first SELECT).
#include <cstdarg>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sites.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"
#include "native/model/record.h"
#include "native/model/record_value.h"


void CNAStatement::ResetQuery()
{
    Close();
    m_bRowAvailable = 0;
    CNACommand* pclCommand = m_pclCommand;
    m_pclCommand = nullptr;
    if (pclCommand != nullptr)
        REF_Release(pclCommand);
}

void CNAStatement::_SetQuery(CNACommand* pclCommand)
{
    if (pclCommand == nullptr) {
        ResetQuery();
        return;
    }
    // The new command may be the one held: it keeps a reference through the
    // reset that lets the former one go.
    REF_AddRef(pclCommand);
    ResetQuery();
    m_pclCommand = pclCommand;
}

int CNAStatement::bPrepare(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags)
{
    _SetQuery(pclCommand);
    if ((nFlags & 0x2) != 0)
        return 1;
    return _bPrepare(nFlags);
}

int CNAStatement::_bResetStatementSQL()
{
    _FreeRecordSaveTab();
    return m_pclStatementSQL != nullptr ? m_pclStatementSQL->bReset() : 1;
}

int CNAStatement::_bPrepare(NA_WRITEPARSEFLAGS)
{
    if (m_pclCommand == nullptr)
        return 0;
    if (m_pclStatementSQL != nullptr ? !_bResetStatementSQL() : !_bAllocStatementSQL())
        return 0;
    CTStringConcatAW* pclText = m_pclCommand->pclGetFormatedSQL(CNACommand::PARAMTYPE_NONE);
    if (pclText == nullptr)
        return 0;
    return m_pclStatementSQL->bPrepareSQL(pclText);
}

int CNAStatement::_bExecutePreparedQuery(NA_WRITEPARSEFLAGS nFlags)
{
    return m_pclStatementSQL != nullptr ? m_pclStatementSQL->bExecutePreparedQuery(nFlags) : 0;
}

int CNAStatement::bExecutePreparedQuery(NA_WRITEPARSEFLAGS nFlags, int bRefreshParameters)
{
    if (bRefreshParameters && m_pclCommand != nullptr && !m_pclCommand->bUpdateParametersValues())
        return 0;
    if (m_pclTableCacheIndex == nullptr && (m_pclCommand == nullptr || m_pclCommand->eGetQueryType() == NA_QUERY_NONE)) {
        CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kPreparedWithoutKind, pclGetConnectionNoRef(),
                                   _pszLogicalName(), pszGetSearchItemName(), _pszLogicalName(),
                                   pszGetSearchItemName());
        return 0;
    }
    Close();
    return _bExecutePreparedQuery(nFlags);
}

int CNAStatement::bExecute(NA_WRITEPARSEFLAGS nFlags, eNA_ST_PREPARE ePrepare)
{
    return _bExecute(nFlags, ePrepare);
}

int CNAStatement::_bExecute(NA_WRITEPARSEFLAGS nFlags, eNA_ST_PREPARE)
{
    if (m_bParseStarted)
        Close();
    if (m_pclStmtOriginalRecord != nullptr && !m_bFetchingNextBlock) {
        CNARecordValue* pclOriginal = m_pclStmtOriginalRecord;
        m_pclStmtOriginalRecord = nullptr;
        REF_Release(pclOriginal);
        m_nEqualRank = 0;
    }
    // An UPDATE with nothing to write leaves an empty command: nothing is
    // sent.
    if (m_pclCommand == nullptr || m_pclCommand->bIsEmpty())
        return 1;
    if (!bExecuteDirect(nFlags))
        return 0;
    if (m_pclDataAccess != nullptr && m_pclDataAccess->pclGetImportedDataSourceDescNoRef() == nullptr &&
        (m_pclCommand->eGetQueryType() == NA_QUERY_SELECT || m_pclCommand->nGetSecondResultMarker() != 0))
        return m_pclDataAccess->bInitImportedDataSourceDesc(this);
    return 1;
}

int CNAStatement::bExecuteDirectNewCommand(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags)
{
    _SetQuery(pclCommand);
    return bExecuteDirect(nFlags);
}

int CNAStatement::bExecuteDirect(NA_WRITEPARSEFLAGS)
{
    if (m_pclCommand == nullptr)
        return 0;
    const char* pszText = m_pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
    if (pszText == nullptr)
        return 0;
    if (*pszText != '\0') {
        if (m_pclStatementSQL != nullptr ? !_bResetStatementSQL() : !_bAllocStatementSQL())
            return 0;
        if (!m_pclStatementSQL->bExecuteDirect(pszText, 0))
            return 0;
        unsigned long nAffected = 0;
        if (m_pclCommand->eGetQueryType() == NA_QUERY_UPDATE && m_pclCurrentRecord != nullptr &&
            m_pclStatementSQL->bGetAffected_rows(&nAffected) && nAffected == 0) {
            // The row as read is no longer there as it was (the server counts
            // the rows its condition matched): another user changed or
            // deleted it.
            CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kUpdateChangedNoRow, pclGetConnectionNoRef(),
                                       _pszLogicalName(), pszGetSearchItemName(), _pszLogicalName());
            if (m_pclError != nullptr) {
                CXYStringConcat<wchar_t> clRecord;
                m_pclCurrentRecord->CurrentRecordToString(&clRecord);
                m_pclError->AddDebugMessageNoFormat(clRecord.pszGet());
            }
            return 0;
        }
    }
    const int64_t llLimit = m_pclCommand->llGetLimit();
    const int64_t llRows = m_pclStatementSQL != nullptr ? m_pclStatementSQL->llGetRowCount() : 0;
    m_llBlockRowLimit = llLimit > 0 && llLimit == llRows ? llLimit : -1;
    m_bBlockStartsAtFirstRow = m_pclCommand->llGetOffset() < 1 ? 1 : 0;
    return 1;
}

int CNAStatement::bExecuteAndFetch(CAny* pclValues, int nCount, eNA_ST_PREPARE ePrepare)
{
    // The values are those of the result's first row: the read of the
    // values is the only fetch.
    int bDone = bExecute(0, ePrepare);
    if (bDone)
        bDone = _vbGetQueryResult(pclValues, nCount);
    Close();
    return bDone;
}

int CNAStatement::bGetRequestedValue(CAny* pclValue)
{
    if (!bExecute(NAParseFlag::kNoRecordCache, NA_ST_PREPARE_UPDATE))
        return 0;
    return bGetResultValue(pclValue, 0);
}

int CNAStatement::bGetResultValue(CAny* pclValue, unsigned nColumn)
{
    if (!_bFetchSQL())
        return 0;
    return bGetSQLColumnValue(pclValue, nColumn);
}

int CNAStatement::_vbGetQueryResult(CAny* pclValues, int nCount)
{
    if (!_bFetchSQL())
        return 0;
    for (int i = 0; i < nCount; ++i)
        if (!bGetSQLColumnValue(&pclValues[i], static_cast<unsigned>(i)))
            return 0;
    return 1;
}

void CNAStatement::_CopyStatementSQLError()
{
    CNAError* pclSource = m_pclStatementSQL != nullptr ? m_pclStatementSQL->pclGetErrorNoRef() : nullptr;
    if (m_pclError != nullptr && pclSource != nullptr && pclSource != m_pclError)
        m_pclError->Copy(pclSource);
}

namespace {

// Column n of the execution statement's current row into a value of either
// form.
template <class Value>
int bReadColumn(CNAStatementSQL* pclStatementSQL, Value* pclValue, unsigned nColumn)
{
    return pclStatementSQL != nullptr && pclStatementSQL->bGetValue(pclValue, nColumn, 0);
}

}  // namespace

int CNAStatement::_bFetchSQL()
{
    if (m_pclStatementSQL == nullptr)
        return 0;
    const int bFetched = m_pclStatementSQL->bFetch(0);
    if (!bFetched)
        _CopyStatementSQLError();
    return bFetched;
}

int CNAStatement::bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn)
{
    const int bRead = bReadColumn(m_pclStatementSQL, pclValue, nColumn);
    if (!bRead)
        _CopyStatementSQLError();
    return bRead;
}

int CNAStatement::bGetSQLColumnValue(CAny* pclValue, unsigned nColumn)
{
    const int bRead = bReadColumn(m_pclStatementSQL, pclValue, nColumn);
    if (!bRead)
        _CopyStatementSQLError();
    return bRead;
}

int CNAStatement::_bGetQueryStructure(CNADataSourceDescription* pclDescription, int bAlreadyDone)
{
    if (bAlreadyDone)
        return 1;
    if (pclDescription == nullptr || m_pclStatementSQL == nullptr)
        return 0;
    return pclDescription->bInitDataSourceDescriptionFromStatement(m_pclStatementSQL);
}

int CNAStatement::bGetQueryStructure(CNADataSourceDescription* pclDescription)
{
    if (!_bGetQueryStructure(pclDescription, 0))
        return 0;
    if (m_pclCommand != nullptr && m_pclCommand->eGetQueryType() == NA_QUERY_NONE)
        m_pclCommand->SetQueryKind(pclDescription->nGetNumItems() != 0 ? NA_QUERY_SELECT : NA_QUERY_OTHER);
    return 1;
}

void CNAStatement::_DumpQuery(CNACommand* pclCommand)
{
    if (m_pclError != nullptr && pclCommand != nullptr)
        m_pclError->AddDebugMessageNoFormatFirst(pclCommand->pszGetCommandDump());
}
