// Adding the current record: its values checked, the INSERT of the default
// statement, then the record marked read and kept as the current record
// save, so that a modification or a delete of record number 0 finds the row
// as it was added even when the current row changes meanwhile.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"

namespace {

// The record written stays the record read: no record save.
constexpr NA_WRITEPARSEFLAGS kWriteKeepsRead = 0x40;
constexpr eNA_LOCKTYPE kStatementStartLock = static_cast<eNA_LOCKTYPE>(1);

}  // namespace

int CNADataAccess::_bCheckAndCorrectQFRecordValues()
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn == nullptr || pclColumn->bIsComposedKey())
            continue;
        if (!pclColumn->bCheckAndCorrectQFRecordValues(0))
            return 0;
    }
    return 1;
}

int CNADataAccess::bHAjoute(NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock)
{
    if (!_bCheckAndCorrectQFRecordValues() || !_bHAjoute(nFlags, eLock))
        return 0;
    if ((nFlags & kWriteKeepsRead) != 0)
        return bSetCurrentRecordRead(0);
    if (!m_pclCurrentRecord->bOriginalSet() && !bSetCurrentRecordRead(0))
        return 0;
    if (m_nCurrentRecordSaveID != -1)
        (void)nReleaseRecordSave(m_nCurrentRecordSaveID);
    m_nCurrentRecordSaveID = nKeepCurrentRecordSave();
    AddRefRecordSave(m_nCurrentRecordSaveID);
    return 1;
}

int CNADataAccess::_bHAjoute(NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock)
{
    if (m_pclCurrentRecord == nullptr)
        return 0;
    // A memo never read from the database is read now, so that the INSERT
    // writes its value; one that cannot be read is written NULL.
    const CNARecord::CColumnArray* pclMemos = m_pclCurrentRecord->pclGetTabColumnMemo();
    for (int n = 0; n < pclMemos->nGetNbElement(); ++n) {
        CNAColumn* pclMemo = (*pclMemos)[n];
        if (pclMemo == nullptr || !pclMemo->bValueIsUnreadYet())
            continue;
        CAny clValue;
        if (!bGetBLOB(static_cast<unsigned>(n), &clValue))
            (void)pclMemo->bSetValueNULL();
    }
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bLockSet = pclStatement->bSetLockType(eLock);
    int bResult = _bOperation(pclStatement, NA_QUERY_INSERT, nFlags, nullptr);
    bResult = bResult && bLockSet && bLockRecord(eLock);
    if (pclStatement->eGetLockType() == kStatementStartLock)
        (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}
