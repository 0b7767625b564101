// The statement's construction and end, and its current record.
#include "native/access/statement.h"

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
