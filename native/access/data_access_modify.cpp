// Modifying, writing and deleting the current record through the default
// statement. The row in the database is found by the original row; record
// number 0 right after an add works on the row as it was added (the current
// record save). A modification of a row this data access deleted puts the
// row back with an INSERT.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/record.h"
#include "native/model/record_value.h"

namespace {

constexpr NA_WRITEPARSEFLAGS kWriteKeepsRead = 0x40;
// The automatic identifier written with the value the record holds.
constexpr NA_WRITEPARSEFLAGS kWriteAutoIdAsHeld = NAParseFlag::kWriteAutoIdAsHeld;
constexpr eNA_LOCKTYPE kStatementStartLock = static_cast<eNA_LOCKTYPE>(1);
constexpr eNA_LOCKTYPE kWriteLock = static_cast<eNA_LOCKTYPE>(2);

// A modification or a delete locks at least for writing.
eNA_LOCKTYPE eWriteLock(eNA_LOCKTYPE eLock)
{
    return eLock < kWriteLock ? kWriteLock : eLock;
}

}  // namespace

int CNADataAccess::bHEcrit(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock)
{
    return bHModifie(llRecord, nFlags, eLock);
}

int CNADataAccess::bHModifie(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock)
{
    if (!_bIsValidRecordNumber(llRecord) || m_pclCurrentRecord == nullptr)
        return 0;
    const int bChecked = _bCheckAndCorrectQFRecordValues();
    if (bChecked && llRecord == 0 && m_nCurrentRecordSaveID != -1 &&
        !bRestoreOriginalRecordSave(m_nCurrentRecordSaveID))
        return 0;
    // The row as it was before, for the statements told of the write.
    const CNARecordValue* pclOriginal = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    CNARecordValue* pclBefore =
        pclOriginal != nullptr ? pclOriginal->pclGetClone(CNARecordValue::COPY_ALL) : nullptr;
    if (pclBefore != nullptr)
        REF_AddRef(pclBefore);
    int bResult = 0;
    if (bChecked && pclBefore != nullptr) {
        bResult = _bHModifie(llRecord, nFlags, eLock, pclBefore);
        if (bResult && (nFlags & kWriteKeepsRead) != 0 && !m_pclCurrentRecord->bOriginalSet())
            bResult = bSetCurrentRecordRead(0);
    }
    if (pclBefore != nullptr)
        REF_Release(pclBefore);
    return bResult;
}

int CNADataAccess::_bHModifie(long, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock, CNARecordValue* pclRow)
{
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bLocked = bLockRecord(eWriteLock(eLock));
    const int bUpdated = bLocked && _bOperation(pclStatement, NA_QUERY_UPDATE, nFlags, pclRow);
    int bResult = bUpdated;
    const CNARecordValue* pclCurrent =
        m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetCurrentRecordValueNoRef() : nullptr;
    if (!bUpdated && pclCurrent != nullptr && (pclCurrent->eGetRecordState() & NA_RS_DELETED) != 0) {
        // The row was deleted here: it comes back as it is now, its
        // automatic identifier included.
        bResult = _bOperation(pclStatement, NA_QUERY_INSERT, nFlags | kWriteAutoIdAsHeld, pclRow);
    }
    if (bResult)
        bResult = bSetCurrentRecordRead(0);
    bResult = bResult && bUnlockRecord(eLock);
    if (pclStatement->eGetLockType() == kStatementStartLock)
        (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHSupprime(long llRecord, eNA_LOCKTYPE eLock)
{
    if (!_bIsValidRecordNumber(llRecord))
        return 0;
    if (llRecord == 0 && m_nCurrentRecordSaveID != -1 && !bRestoreOriginalRecordSave(m_nCurrentRecordSaveID))
        return 0;
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    int bResult = bLockRecord(eWriteLock(eLock));
    if (bResult)
        bResult = _bOperation(pclStatement, NA_QUERY_DELETE, 0, nullptr) && bUnlockRecord(kStatementStartLock);
    (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    if (bResult && m_pclCurrentRecord != nullptr)
        m_pclCurrentRecord->SetDeleted();
    return bResult;
}
