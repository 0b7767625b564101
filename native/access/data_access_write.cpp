// The data access's write path (one write through the default statement,
// the classification of its failure, the CREATE TABLE retry with shorter
// text columns, the notification of the statements) and its record saves:
// numbered, counted copies of rows that statements and positions refer to.
#include <new>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/record.h"
#include "native/model/record_cache_position.h"
#include "native/model/record_value.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"

int CNADataAccess::_bOperation(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags,
                               CNARecordValue* pclRow)
{
    if (pclStatement == nullptr)
        return 0;
    if (bRequeteSansCorrection() &&
        (eKind == NA_QUERY_UPDATE || eKind == NA_QUERY_INSERT || eKind == NA_QUERY_DELETE)) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kWriteOnQueryAsWritten, m_pclConnection,
                                   pszGetLogicalName(), nullptr);
        return 0;
    }
    const int bResult = _bBuildAndExecuteQuery(pclStatement, eKind, nFlags);
    if (bResult && eKind != NA_QUERY_SELECT)
        _NotifyOperation(eKind, pclStatement, nFlags, pclRow);
    return bResult;
}

int CNADataAccess::_bBuildAndExecuteQuery(CNAStatement* pclStatement, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags)
{
    pclStatement->ResetQuery();
    CNACommand* pclCommand = pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    int bResult = pclStatement->bBuildQuery(eKind, pclCommand, nFlags);
    if (bResult) {
        if (!pclStatement->bExecute(nFlags, NA_ST_PREPARE_UPDATE))
            bResult = _bProcessError(pclCommand, pclStatement, eKind, nFlags);
        else if (eKind == NA_QUERY_UPDATE || eKind == NA_QUERY_INSERT)
            bResult = _bUpdateRecordAfterInsert(pclStatement, eKind, nFlags);
    }
    REF_Release(pclCommand);
    return bResult;
}

int CNADataAccess::_bUpdateRecordAfterInsert(CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                                             NA_WRITEPARSEFLAGS nFlags)
{
    if (eKind == NA_QUERY_UPDATE)
        return pclStatement->bUpdateRecordAfterUpdate(eKind, nFlags);
    if (eKind == NA_QUERY_INSERT)
        return pclStatement->bUpdateRecordAfterInsert(eKind, nFlags);
    return 1;
}

eNA_ERRORTYPE CNADataAccess::eGetNAErrorType()
{
    if (m_pclError == nullptr)
        return NA_ERR_GENERAL;
    const eNA_ERRORTYPE eOwn = m_pclError->eGetErrorType();
    if (eOwn != NA_ERR_GENERAL && eOwn != NA_ERR_NONE)
        return eOwn;
    if (m_pclConnection == nullptr)
        return NA_ERR_GENERAL;
    return m_pclConnection->eGetNAErrorType(m_pclError->dwGetDataBaseErrorCode());
}

int CNADataAccess::_bProcessError(CNACommand* pclCommand, CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                                  NA_WRITEPARSEFLAGS nFlags)
{
    const int eType = eGetNAErrorType();
    switch (eType) {
    case 0: {
        if (eKind != NA_QUERY_CREATE || m_pclConnection == nullptr)
            return 0;
        // A CREATE TABLE refused for its text lengths: once more with the
        // columns above the connection's maxima turned into long texts.
        const int nVarCharMax = m_pclConnection->nGetVarCharMaxLen();
        const int nNVarCharMax = m_pclConnection->nGetNVarCharMaxLen();
        if (nVarCharMax == -1 && nNVarCharMax == -1)
            return 0;
        const wchar_t* pszFormatted = pclCommand->pszGetFormatedSQL(static_cast<CNACommand::ePARAMTYPECONV>(0x7F));
        CTString csText(pszFormatted != nullptr ? pszFormatted : L"");
        bool bRewritten = false;
        if (nVarCharMax != -1) {
            CTString csOut;
            if (CNAStatement::bQueryCREATE_AutoCorrectVarcharMax(&csOut, csText.pszGet(),
                                                                 m_pclConnection->pszGetVarCharType(), nVarCharMax,
                                                                 m_pclConnection->pszGetCLOBType())) {
                csText.Set(csOut.pszGet());
                bRewritten = true;
            }
        }
        if (nNVarCharMax != -1) {
            CTString csOut;
            if (CNAStatement::bQueryCREATE_AutoCorrectVarcharMax(&csOut, csText.pszGet(),
                                                                 m_pclConnection->pszGetNVarCharType(), nNVarCharMax,
                                                                 m_pclConnection->pszGetNCLOBType())) {
                csText.Set(csOut.pszGet());
                bRewritten = true;
            }
        }
        if (!bRewritten)
            return 0;
        CNACommand* pclRetry = pclAllocCommand(m_pclError);
        if (pclRetry == nullptr)
            return 0;
        REF_AddRef(pclRetry);
        int bResult = pclRetry->bComplete(csText.pszGet(), static_cast<unsigned long>(-1));
        pclRetry->SetQueryKind(NA_QUERY_CREATE);
        bResult = bResult && pclStatement->bExecuteDirectNewCommand(pclRetry, 0);
        REF_Release(pclRetry);
        if (!bResult)
            return 0;
        m_pclError->Reset();
        return 1;
    }
    case 3:
        if (!_bInitErrorDuplicateItemName(pclStatement, eKind, nFlags))
            m_pclError->SetErrorType(static_cast<eNA_ERRORTYPE>(eType));
        return 0;
    case 8:
        if (!_bInitErrorNeedItemValueItemName(pclStatement, eKind, nFlags))
            m_pclError->SetErrorType(static_cast<eNA_ERRORTYPE>(eType));
        return 0;
    case 1:
    case 2:
    case 4:
    case 7:
        m_pclError->SetErrorType(static_cast<eNA_ERRORTYPE>(eType));
        return 0;
    default:
        return 0;
    }
}

void CNADataAccess::_NotifyOperation(eNAQUERYTYPE eKind, CNAStatement* pclStatement, NA_WRITEPARSEFLAGS nFlags,
                                     CNARecordValue* pclRow)
{
    if ((m_nNotificationOptions & 2) != 0)
        return;
    int nIndex = -1;
    CNARecordValue* pclCurrent =
        m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetCurrentRecordValueNoRef() : nullptr;
    CNARecordValue* pclOriginal =
        m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetOriginalRecordValueNoRef() : nullptr;
    switch (eKind) {
    case NA_QUERY_INSERT:
        if (m_pclTableCache != nullptr && pclCurrent != nullptr) {
            CNARecordCache* pclFull = m_pclTableCache->pclGetFullCache();
            if (pclFull != nullptr)
                nIndex = pclFull->nAjoute(pclCurrent);
        }
        break;
    case NA_QUERY_DELETE:
        if (pclOriginal != nullptr) {
            (void)_nSetRecordDeletedInCache(m_pclRecordSaves, pclOriginal);
            if (m_pclTableCache != nullptr && m_pclTableCache->bCacheCompleted())
                nIndex = _nSetRecordDeletedInCache(m_pclTableCache->pclGetFullCacheNoRef(), pclOriginal);
        }
        break;
    case NA_QUERY_UPDATE:
        (void)nUpdateRecordInCache(nFlags, m_pclRecordSaves);
        _vUpdateRecordInCacheLock(nFlags);
        if (m_pclTableCache != nullptr && m_pclTableCache->bCacheCompleted())
            nIndex = nUpdateRecordInCache(nFlags, m_pclTableCache->pclGetFullCacheNoRef());
        break;
    default:
        break;
    }
    if (m_pclTableCache == nullptr && (m_nNotificationOptions & 1) == 0)
        return;
    // Each statement is held for its call: a statement told of the write
    // may close and leave the registry.
    unsigned dwCursor = 0;
    CNAStatement* pclEach = nullptr;
    while (m_tabStatement.bParseTable(&dwCursor, 0, &pclEach, nullptr)) {
        REF_AddRef(pclEach);
        pclEach->OnNotifyOperation(eKind, nIndex, pclStatement, nFlags, pclRow);
        REF_Release(pclEach);
    }
}

int CNADataAccess::_nSetRecordDeletedInCache(CNARecordCache* pclCache, const CNARecordValue* pclRow)
{
    if (pclCache == nullptr || pclRow == nullptr)
        return -1;
    const int n = pclCache->nGetRecordIndice(pclRow);
    if (n >= 0)
        pclCache->SetRecordState(n, NA_RS_DELETED);
    return n;
}

int CNADataAccess::bSetCurrentRecordRead(int bKeepRecordSave)
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    CNARecordValue* pclCurrent = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    if (pclCurrent != nullptr)
        pclCurrent->SetRecordState(static_cast<eNA_RECORDSTATE>(0));
    const int bResult = m_pclCurrentRecord->bCopyCurrentRecordToOriginalRecord();
    if (!bKeepRecordSave && m_nCurrentRecordSaveID != -1) {
        (void)nReleaseRecordSave(m_nCurrentRecordSaveID);
        m_nCurrentRecordSaveID = -1;
    }
    return bResult;
}

// --- Record saves.

int CNADataAccess::_nKeepRecordSave(const CNARecordValue* pclRow)
{
    if (m_pclRecordSaves == nullptr || pclRow == nullptr || pclRow->pclGetNAQFRecordNoRef() == nullptr)
        return -1;
    return m_pclRecordSaves->nKeepRecordSave(pclRow);
}

int CNADataAccess::nKeepCurrentRecordSave()
{
    return m_pclCurrentRecord != nullptr ? _nKeepRecordSave(m_pclCurrentRecord->pclGetCurrentRecordValueNoRef())
                                         : -1;
}

int CNADataAccess::nKeepOriginalRecordSave(CNAStatement* pclStatement)
{
    if (pclStatement != nullptr)
        return _nKeepRecordSave(pclStatement->pclGetStmtOriginalRecord());
    return m_pclCurrentRecord != nullptr ? _nKeepRecordSave(m_pclCurrentRecord->pclGetOriginalRecordValueNoRef())
                                         : -1;
}

void CNADataAccess::AddRefRecordSave(int nId)
{
    if (m_pclRecordSaves != nullptr && nId >= 0)
        m_pclRecordSaves->AddRefRecordSave(nId);
}

unsigned CNADataAccess::nReleaseRecordSave(int nId)
{
    return m_pclRecordSaves != nullptr && nId >= 0 ? m_pclRecordSaves->nReleaseRecordSave(nId) : 0;
}

int CNADataAccess::bCopySaveToRecord(int nId, CNARecordValue* pclRow)
{
    if (m_pclRecordSaves == nullptr || pclRow == nullptr || nId < 0)
        return 0;
    return m_pclRecordSaves->bGetAt(pclRow, static_cast<unsigned>(nId));
}

int CNADataAccess::bRestoreOriginalRecordSave(int nId)
{
    return m_pclCurrentRecord != nullptr &&
           bCopySaveToRecord(nId, m_pclCurrentRecord->pclGetOriginalRecordValueNoRef());
}

int CNADataAccess::bRecordDeleted(int nId)
{
    return m_pclRecordSaves != nullptr && nId >= 0 && m_pclRecordSaves->_bRecordDeleted(nId);
}

int CNADataAccess::_bGetItemValueInRecordSave(CAny* pclValue, int nId, INAItemDescription* piItem)
{
    auto* pclRow = new (std::nothrow) CNARecordValue(m_pclError);
    if (pclRow == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    REF_AddRef(pclRow);
    const int bDone = bCopySaveToRecord(nId, pclRow) && pclRow->bGetItemValue(pclValue, piItem);
    REF_Release(pclRow);
    return bDone;
}

int CNADataAccess::nUpdateRecordInCache(NA_WRITEPARSEFLAGS nFlags, CNARecordCache* pclCache)
{
    if (pclCache == nullptr || m_pclCurrentRecord == nullptr)
        return -1;
    const CNARecordValue* pclCurrent = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    if (pclCurrent == nullptr)
        return -1;
    return pclCache->nOnNotifyOperation(NA_QUERY_UPDATE, pclCurrent,
                                        m_pclCurrentRecord->pclGetOriginalRecordValueNoRef(), nFlags, 0);
}

int CNADataAccess::bCopyOriginalRecordToCurrentRecord()
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    CNARecordValue* pclCurrent = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    if (pclCurrent != nullptr)
        pclCurrent->SetRecordState(static_cast<eNA_RECORDSTATE>(0));
    return m_pclCurrentRecord->bCopyOriginalRecordToCurrentRecord();
}
