// The statement's construction and end, its current record, its row cache,
// and the values of its execution statement's current row.
#include "native/access/statement.h"

#include <new>

#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/sql/filter.h"

CNAStatement::CNAStatement(CNADataAccess* pclDataAccess, CNAError* pclError)
    : m_pclError(pclError), m_pclDataAccess(pclDataAccess)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNAStatement::~CNAStatement()
{
    SetCurrentRecord(nullptr);
    SetStatementSQL(nullptr);
    if (m_pclRecordCache != nullptr)
        REF_Release(m_pclRecordCache);
    if (m_pclFilter != nullptr)
        REF_Release(m_pclFilter);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

void CNAStatement::EnableCache(int bOn)
{
    if (bOn) {
        if (m_pclRecordCache == nullptr) {
            m_pclRecordCache = new (std::nothrow) CNARecordCache;
            if (m_pclRecordCache == nullptr)
                return;
            REF_AddRef(m_pclRecordCache);
        }
        m_pclRecordCache->SetEnabled(1);
        return;
    }
    if (m_pclRecordCache == nullptr)
        return;
    if (m_pclRecordCache->m_dwRefCount != 1) {
        // Another holder (the table cache) keeps the rows: this statement only
        // lets them go.
        CNARecordCache* pclShared = m_pclRecordCache;
        m_pclRecordCache = nullptr;
        REF_Release(pclShared);
        return;
    }
    m_pclRecordCache->SupprimeTout();
    m_pclRecordCache->SetEnabled(0);
}

int CNAStatement::bCacheCompleted() const
{
    return m_pclRecordCache != nullptr && m_pclRecordCache->bEnabled() && m_pclRecordCache->bFetchComplete();
}

CNARecordCache* CNAStatement::pclGetFullRecordCache()
{
    return bCacheCompleted() ? m_pclRecordCache : nullptr;
}

void CNAStatement::SetCurrentRecord(CNARecord* pclRecord)
{
    if (pclRecord != nullptr)
        REF_AddRef(pclRecord);
    CNARecord* pclFormer = m_pclCurrentRecord;
    m_pclCurrentRecord = pclRecord;
    if (pclFormer != nullptr)
        REF_Release(pclFormer);
}

void CNAStatement::SetStatementSQL(CNAStatementSQL* pclStatementSQL)
{
    if (pclStatementSQL != nullptr)
        REF_AddRef(pclStatementSQL);
    CNAStatementSQL* pclFormer = m_pclStatementSQL;
    m_pclStatementSQL = pclStatementSQL;
    if (pclFormer != nullptr)
        pclFormer->nRelease();
}

namespace {

// Column n of the execution statement's current row into a value of either
// form; on failure the execution statement's error, when it keeps one of its
// own, joins the statement's.
template <class Value>
int bReadColumn(CNAStatementSQL* pclStatementSQL, CNAError* pclTarget, Value* pclValue, unsigned nColumn)
{
    if (pclStatementSQL == nullptr)
        return 0;
    const int bRead = pclStatementSQL->bGetValue(pclValue, nColumn, 0);
    CNAError* pclSource = pclStatementSQL->pclGetErrorNoRef();
    if (!bRead && pclTarget != nullptr && pclSource != nullptr && pclSource != pclTarget)
        pclTarget->Copy(pclSource);
    return bRead;
}

}  // namespace

int CNAStatement::bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn)
{
    return bReadColumn(m_pclStatementSQL, m_pclError, pclValue, nColumn);
}

int CNAStatement::bGetSQLColumnValue(CAny* pclValue, unsigned nColumn)
{
    return bReadColumn(m_pclStatementSQL, m_pclError, pclValue, nColumn);
}
