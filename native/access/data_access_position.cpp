// The data access's saved positions: saved under a number shared by the
// whole process, returned to, freed and compared; and the position of a
// browse as a proportion of its parse, both ways.
//
// A saved position and its statement hold each other (the statement lists
// the positions that refer to it): freeing a number breaks that pair, and
// closing the data access frees every number.
#include "common/text/any_calcul.h"
#include "common/text/str_copy.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/model/record_value.h"

namespace {

// The room of the host's item buffer on a return, terminator included.
constexpr size_t kItemRoom = 255;

}  // namespace

CNAPosition* CNADataAccess::pclAllocPosition()
{
    return new (std::nothrow) CNAPosition;
}

int CNADataAccess::bHSauvePosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode)
{
    return _bGetPosition(pnId, pszItem, eMode);
}

int CNADataAccess::bHRetourPosition(int nId, wchar_t* pszItem, int bKeep, eNAPOSITION eMode)
{
    return _bSetPosition(pszItem, nId, bKeep, eMode);
}

int CNADataAccess::bHLiberePosition(int nId)
{
    return _bFreePosition(nId);
}

int CNADataAccess::_bGetPosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode)
{
    if (pnId != nullptr)
        *pnId = -1;
    CNAPosition* pclPosition = pclAllocPosition();
    if (pclPosition == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    REF_AddRef(pclPosition);
    pclPosition->SetItem(pszItem);
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        pclStatement = _pclInitStatement(pszItem);
    if (pclStatement == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kNoStatementForPosition, m_pclConnection, pszGetLogicalName(),
                                   pszItem, pszGetLogicalName());
        REF_Release(pclPosition);
        return 0;
    }
    int bResult = pclStatement->bGetPosition(pclPosition, eMode);
    if (m_nCurrentRecordSaveID != -1)
        pclPosition->SetRecordSaveID_VerrueHAjouteHLit(this, m_nCurrentRecordSaveID);
    if (bResult) {
        // The number is handed out only once both the table and the
        // statement hold the position.
        const int nId = ms_nPositionID;
        REF_AddRef(pclPosition);
        bResult = m_tabPosition.bAddElement(nId, pclPosition);
        if (!bResult) {
            REF_Release(pclPosition);
        } else if (!pclStatement->bAddSavedPosition(nId, pclPosition)) {
            bResult = 0;
            CNAPosition* pclRemoved = nullptr;
            if (m_tabPosition.bDeleteElement(nId, &pclRemoved))
                REF_Release(pclRemoved);
        } else {
            ++ms_nPositionID;
            if (pnId != nullptr)
                *pnId = nId;
        }
    }
    REF_Release(pclStatement);
    REF_Release(pclPosition);
    return bResult;
}

int CNADataAccess::_bSetPosition(wchar_t* pszItem, int nId, int bKeep, eNAPOSITION eMode)
{
    CNAPosition* pclPosition = _pclFindPosition(nId);
    if (pclPosition == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kUnknownPositionReturn, m_pclConnection, pszGetLogicalName(),
                                   nullptr);
        return 0;
    }
    if (pszItem != nullptr) {
        const wchar_t* pszSaved = pclPosition->pszGetItem();
        (void)STR_nCopy(pszItem, kItemRoom, pszSaved != nullptr ? pszSaved : L"", -1);
    }
    int bResult = _bRestorePositionStatement(pclPosition, eMode);
    if (bResult) {
        CNARecordValue* pclCurrent =
            m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetCurrentRecordValueNoRef() : nullptr;
        if (pclCurrent != nullptr)
            pclCurrent->SetRecordState(static_cast<eNA_RECORDSTATE>(0));
        if (m_nCurrentRecordSaveID != -1)
            (void)nReleaseRecordSave(m_nCurrentRecordSaveID);
        m_nCurrentRecordSaveID = pclPosition->nGetAddedRecordSaveID();
        if (m_nCurrentRecordSaveID != -1) {
            AddRefRecordSave(m_nCurrentRecordSaveID);
            bResult = bRestoreOriginalRecordSave(m_nCurrentRecordSaveID) && bCopyOriginalRecordToCurrentRecord();
        }
    }
    REF_Release(pclPosition);
    if (!bKeep)
        (void)_bFreePosition(nId);
    return bResult;
}

int CNADataAccess::_bRestorePositionStatement(CNAPosition* pclPosition, eNAPOSITION eMode)
{
    CNAStatement* pclStatement = pclPosition->pclGetStatement();
    if (pclStatement == nullptr)
        return 0;
    // The registry holds the statement; the last statement names it
    // without a reference.
    m_pclLastStatement = pclStatement;
    const int bResult = pclStatement->bSetPosition(pclPosition, eMode);
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bFreePosition(int nId)
{
    CNAPosition* pclPosition = nullptr;
    if (!m_tabPosition.bDeleteElement(nId, &pclPosition))
        return 1;
    if (pclPosition != nullptr) {
        CNAStatement* pclStatement = pclPosition->pclGetStatementNoRef();
        if (pclStatement != nullptr)
            (void)pclStatement->bRemoveSavedPosition(nId);
        REF_Release(pclPosition);
    }
    return 1;
}

void CNADataAccess::_DeleteAllPosition()
{
    unsigned dwCursor = 0;
    CNAPosition* pclPosition = nullptr;
    int nId = 0;
    while (m_tabPosition.bParseTable(&dwCursor, 1, &pclPosition, &nId)) {
        if (pclPosition == nullptr)
            continue;
        CNAStatement* pclStatement = pclPosition->pclGetStatementNoRef();
        if (pclStatement != nullptr)
            (void)pclStatement->bRemoveSavedPosition(nId);
        REF_Release(pclPosition);
    }
}

CNAPosition* CNADataAccess::_pclFindPosition(int nId)
{
    CNAPosition* pclPosition = nullptr;
    if (!m_tabPosition.bGetElementRef(nId, &pclPosition))
        return nullptr;
    return pclPosition;
}

// --- Comparing -------------------------------------------------------------

int CNADataAccess::bCompareTablePosition(int nFirst, int nSecond, int* pbSame)
{
    int bSame = 0;
    int bResult = 1;
    if (nFirst == nSecond) {
        bSame = 1;
    } else {
        CNAPosition* pclFirst = _pclFindPosition(nFirst);
        CNAPosition* pclSecond = _pclFindPosition(nSecond);
        if (pclFirst == nullptr || pclSecond == nullptr) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kUnknownPositionCompare, m_pclConnection,
                                       pszGetLogicalName(), nullptr);
            bResult = 0;
        } else {
            bResult = _bCompareTablePosition(pclFirst, pclSecond, &bSame);
        }
        if (pclFirst != nullptr)
            REF_Release(pclFirst);
        if (pclSecond != nullptr)
            REF_Release(pclSecond);
    }
    if (pbSame != nullptr)
        *pbSame = bSame;
    return bResult;
}

int CNADataAccess::_bCompareTablePosition(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pbSame)
{
    // Each check writes its answer only when it decides: an undecided
    // comparison answers "not the same".
    *pbSame = 0;
    CNAStatement* pclStatement = pclFirst->pclGetStatementNoRef();
    if (pclStatement != nullptr && pclStatement == pclSecond->pclGetStatementNoRef()) {
        if (!_bCheckRowId(pclFirst, pclSecond, pbSame) && !_bCheckRecordSaveID(pclFirst, pclSecond, pbSame))
            (void)_bCheckReccordId(pclFirst, pclSecond, pbSame);
    } else {
        (void)_bCheckRecordSaveID(pclFirst, pclSecond, pbSame);
    }
    return 1;
}

int CNADataAccess::_bCheckRowId(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pbSame)
{
    if (pclFirst->nGetRowID() == -1 || pclSecond->nGetRowID() == -1)
        return 0;
    *pbSame = pclFirst->nGetRowID() == pclSecond->nGetRowID();
    return 1;
}

int CNADataAccess::_bCheckRecordSaveID(CNAPosition* pclFirst, CNAPosition* pclSecond, int* pbSame)
{
    const auto nSaveOf = [](const CNAPosition* pclPosition) {
        const int nAdded = pclPosition->nGetAddedRecordSaveID();
        return nAdded != -1 ? nAdded : pclPosition->nGetRecordSaveID();
    };
    const int nFirst = nSaveOf(pclFirst);
    const int nSecond = nSaveOf(pclSecond);
    if (nFirst == -1 || nSecond == -1)
        return 0;
    if (nFirst == nSecond) {
        *pbSame = 1;
        return 1;
    }
    INAItemDescription* piBest = piGetBestParseItemDesc();
    if (piBest == nullptr)
        return 0;
    CAny clFirst;
    CAny clSecond;
    const int bRead = piBest->bUnique() && _bGetItemValueInRecordSave(&clFirst, nFirst, piBest) &&
                      _bGetItemValueInRecordSave(&clSecond, nSecond, piBest);
    piBest->nExternalRelease();
    if (!bRead)
        return 0;
    const bool bFirstNull = clFirst.bIsNull();
    const bool bSecondNull = clSecond.bIsNull();
    if (bFirstNull && bSecondNull)
        return 0;
    if (bFirstNull != bSecondNull) {
        *pbSame = 0;
        return 1;
    }
    int bEqual = 0;
    if (nEgalite(clFirst, clSecond, &bEqual, 0) > 99)
        return 0;
    *pbSame = bEqual != 0;
    return 1;
}

// --- Position as a proportion ------------------------------------------------

int CNADataAccess::bHPositionCourante(int* pnPosition, const wchar_t* pszItem, eNA_PRECISION ePrecision)
{
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr || !pclStatement->bParseStarted()) {
        if (pclStatement != nullptr)
            REF_Release(pclStatement);
        if (pnPosition != nullptr)
            *pnPosition = -1;
        CNAError::g_RaiseSiteError(m_pclError, NASite::kNoParseForPosition, m_pclConnection, pszGetLogicalName(),
                                   pszItem, pszGetLogicalName());
        return 0;
    }
    const int bResult = pclStatement->bHPositionCourante(pnPosition, ePrecision);
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::bHPositionne(const wchar_t* pszItem, unsigned nPosition, eNA_PRECISION ePrecision,
                                NA_WRITEPARSEFLAGS nFlags)
{
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        return 1;
    const int bResult = pclStatement->bHPositionne(nPosition, ePrecision, nFlags);
    REF_Release(pclStatement);
    if (bResult)
        (void)bSetCurrentRecordRead(0);
    return bResult;
}
