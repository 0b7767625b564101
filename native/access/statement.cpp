// The statement's construction and end, its accessors and its holders.
#include "native/access/statement.h"

#include <new>

#include "native/access/data_access.h"
#include "native/access/held_references.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/driver_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/data_source_description.h"
#include "native/model/na_data_source_description.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"
#include "native/model/table_cache_index.h"
#include "native/sql/filter.h"

CNAStatement::CNAStatement(CNADataAccess* pclDataAccess, CNAError* pclError)
    : m_pclError(pclError), m_pclDataAccess(pclDataAccess)
{
    if (m_pclDataAccess != nullptr) {
        SetDataSource(m_pclDataAccess->piGetDataSourceNoRef());
        SetCurrentRecord(m_pclDataAccess->pclGetCurrentRecordNoRef());
    }
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    (void)_bAllocStatementSQL();
}

CNAStatement::~CNAStatement()
{
    (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    // The saved positions give their record saves back to the data access
    // while the statement still names it.
    unsigned int dwCursor = 0;
    CNAPosition* pclPosition = nullptr;
    int nId = 0;
    while (m_tabSavedPositions.bParseTable(&dwCursor, 1, &pclPosition, &nId))
        if (pclPosition != nullptr)
            REF_Release(pclPosition);
    CNATableCacheIndex* pclIndex = m_pclTableCacheIndex;
    m_pclTableCacheIndex = nullptr;
    if (pclIndex != nullptr)
        pclIndex->dwRelease();
    _SetRecordCache(nullptr);
    _SetFilter(static_cast<CNAFilter*>(nullptr));
    _SetRecherche(nullptr);
    _FreeRecordSaveTab();
    SetStatementSQL(nullptr);
    if (m_pclCommand != nullptr) {
        CNACommand* pclCommand = m_pclCommand;
        m_pclCommand = nullptr;
        REF_Release(pclCommand);
    }
    delete m_pclExtra;
    m_pclExtra = nullptr;
    if (m_pclStmtOriginalRecord != nullptr) {
        CNARecordValue* pclOriginal = m_pclStmtOriginalRecord;
        m_pclStmtOriginalRecord = nullptr;
        REF_Release(pclOriginal);
    }
    SetCurrentRecord(nullptr);
    if (m_pclBestColumn != nullptr) {
        CNAColumn* pclColumn = m_pclBestColumn;
        m_pclBestColumn = nullptr;
        REF_Release(pclColumn);
    }
    SetDataSource(nullptr);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

void CNAStatement::SetDataSource(INADataSourceDescription* piSource)
{
    NA_ReplaceHeldSource(m_piDataSource, piSource);
}

void CNAStatement::SetCurrentRecord(CNARecord* pclRecord)
{
    NA_ReplaceHeld(m_pclCurrentRecord, pclRecord);
}

void CNAStatement::SetStatementSQL(CNAStatementSQL* pclStatementSQL)
{
    NA_ReplaceHeld(m_pclStatementSQL, pclStatementSQL);
}

int CNAStatement::_bAllocStatementSQL()
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNADriverSQL* pclDriverSQL = pclDriver != nullptr ? pclDriver->pclGetDriverSQL() : nullptr;
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    CNAStatementSQL* pclStatementSQL =
        pclDriverSQL != nullptr ? pclDriverSQL->pclAllocStatementSQL(pclConnection, m_pclError) : nullptr;
    if (pclStatementSQL == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    SetStatementSQL(pclStatementSQL);
    return 1;
}

// --- Accessors -------------------------------------------------------------

eNAQUERYTYPE CNAStatement::eGetQueryType() const
{
    if (m_pclTableCacheIndex != nullptr || m_pclCommand == nullptr)
        return NA_QUERY_SELECT;
    return m_pclCommand->eGetQueryType();
}

int CNAStatement::bInvertFetch() const
{
    if (m_pclTableCacheIndex != nullptr || m_pclCommand == nullptr)
        return 0;
    return m_pclCommand->bGetInvertedOrder();
}

int CNAStatement::nGetBindDefineFlag() const
{
    return m_pclCommand != nullptr ? m_pclCommand->nGetColumnSelectionMode() : 0;
}

CNAConnectionDescription* CNAStatement::pclGetConnectionNoRef() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->pclGetConnectionNoRef() : nullptr;
}

const wchar_t* CNAStatement::pszGetTableName() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->pszGetDBTableName() : L"";
}

uint64_t CNAStatement::nGetRowMaxLen() const
{
    return m_pclStatementSQL != nullptr ? m_pclStatementSQL->nGetTotalMaxLength() : 0;
}

void CNAStatement::EvalHTrouve(int* pbFound, int* pbInside) const
{
    if (pbFound != nullptr)
        *pbFound = m_bHTrouve;
    if (pbInside != nullptr)
        *pbInside = !m_bHEndehors;
}

void CNAStatement::_SetCurrentRecord(long nRecord)
{
    m_llCurrentRecord = nRecord;
    m_bCurrentRecordDeleted = 0;
}

int CNAStatement::ResetStatement()
{
    return m_pclStatementSQL != nullptr ? _bResetStatementSQL() : 1;
}

const CAny* CNAStatement::pclGetSearchValueNoRef() const
{
    const CAny* pclValue = m_clUserSearch.pclGetValueNoRef();
    return pclValue->nGetTypeCode() != 0 ? pclValue : nullptr;
}

int CNAStatement::nGetRowState(long nRow) const
{
    if (m_tabRowStates == nullptr || nRow < 0 || nRow >= m_llRowStateCount)
        return -1;
    return m_tabRowStates[nRow];
}

const wchar_t* CNAStatement::_pszLogicalName() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->pszGetLogicalName() : L"";
}

// --- Row cache -------------------------------------------------------------

void CNAStatement::_SetRecordCache(CNARecordCache* pclCache)
{
    NA_ReplaceHeld(m_pclRecordCache, pclCache);
}

void CNAStatement::EnableCache(int bOn)
{
    if (bOn) {
        if (m_pclRecordCache == nullptr) {
            auto* pclCache = new (std::nothrow) CNARecordCache;
            if (pclCache == nullptr) {
                if (m_pclError != nullptr)
                    m_pclError->pclGetXError()->SetErrorNoMemory();
                return;
            }
            _SetRecordCache(pclCache);
        }
        m_pclRecordCache->SetEnabled(1);
        if (m_pclRecordCache->nGetRowCount() == 0)
            _SetBestCacheMethod();
        return;
    }
    if (m_pclRecordCache == nullptr)
        return;
    if (m_pclRecordCache->m_dwRefCount != 1) {
        // Another holder (the table cache) keeps the rows: this statement only
        // lets them go.
        _SetRecordCache(nullptr);
        return;
    }
    m_pclRecordCache->SupprimeTout();
    m_pclRecordCache->SetEnabled(0);
}

void CNAStatement::EmptyCache()
{
    if (m_pclRecordCache != nullptr)
        m_pclRecordCache->SupprimeTout();
}

int CNAStatement::bCacheEnabled() const
{
    return m_pclRecordCache != nullptr && m_pclRecordCache->bEnabled();
}

int CNAStatement::bCacheCompleted() const
{
    return m_pclRecordCache != nullptr && m_pclRecordCache->bEnabled() && m_pclRecordCache->bFetchComplete();
}

void CNAStatement::_SetBestCacheMethod() {}

int CNAStatement::bDefaultParseNeedRecordCache()
{
    return 0;
}

// --- Plain slots -------------------------------------------------------------

int CNAStatement::bHAjoute(NA_WRITEPARSEFLAGS)
{
    return 0;
}

int CNAStatement::bHModifie(NA_WRITEPARSEFLAGS)
{
    return 0;
}

int CNAStatement::bHSupprime(NA_WRITEPARSEFLAGS)
{
    return 0;
}

int CNAStatement::bSetLockType(eNA_LOCKTYPE eLock)
{
    m_eLockType = eLock;
    return 1;
}

int CNAStatement::bCanFetchBackward()
{
    return 1;
}

int CNAStatement::bGetBLOB(const wchar_t* pszItem, CAny* pclValue)
{
    CNAColumn* pclColumn = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(pszItem) : nullptr;
    return pclColumn != nullptr && pclColumn->bGetBLOB(pclValue);
}

int CNAStatement::bExtraitMemo(const wchar_t* pszItem, const wchar_t* pszFile)
{
    CNAColumn* pclColumn = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(pszItem) : nullptr;
    return pclColumn != nullptr && pclColumn->bHExtraitMemo(pszFile);
}

int CNAStatement::_bGetNativeDataType(CNAColumn* pclColumn, CTString* pcsType)
{
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (pclConnection == nullptr || pclColumn == nullptr)
        return 0;
    return pclConnection->bGetMatchingSQLType(m_pclError, pclColumn->piGetItemNoRef(), pcsType);
}

int CNAStatement::_bSetPositionParametersEx(CNAPosition*)
{
    return 1;
}
