// The statement's construction and end, its current record, and the values
// of its execution statement's current row.
#include "native/access/statement.h"

#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/record.h"

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
    if (m_pclError != nullptr)
        m_pclError->nRelease();
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
