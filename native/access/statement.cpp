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

// The execution statement's error, when it keeps one of its own, joins the
// statement's.
void CopyError(CNAError* pclTarget, const CNAStatementSQL* pclStatementSQL)
{
    CNAError* pclSource = pclStatementSQL->pclGetErrorNoRef();
    if (pclTarget != nullptr && pclSource != nullptr && pclSource != pclTarget)
        pclTarget->Copy(pclSource);
}

}  // namespace

int CNAStatement::bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn)
{
    if (m_pclStatementSQL == nullptr)
        return 0;
    const int bRead = m_pclStatementSQL->bGetValue(pclValue, nColumn, 0);
    if (!bRead)
        CopyError(m_pclError, m_pclStatementSQL);
    return bRead;
}

int CNAStatement::bGetSQLColumnValue(CAny* pclValue, unsigned nColumn)
{
    if (m_pclStatementSQL == nullptr)
        return 0;
    const int bRead = m_pclStatementSQL->bGetValue(pclValue, nColumn, 0);
    if (!bRead)
        CopyError(m_pclError, m_pclStatementSQL);
    return bRead;
}
