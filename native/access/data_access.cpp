// The data access's construction and end, and what the registries ask of
// it.
#include "native/access/data_access.h"

#include <new>

#include "native/access/held_references.h"
#include "native/driver/driver.h"
#include "native/model/convert_variant.h"
#include "native/model/na_data_source_description.h"
#include "native/model/record.h"
#include "native/model/record_id.h"

CNADataAccess::CNADataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                             CNAError* pclError)
    : m_pclError(pclError), m_pclConnection(pclConnection), m_piSource(piSource),
      m_eAccessMode(static_cast<_eNA_HMODE>(1))
{
    NA_TakeHeldReferences(m_piSource, m_pclConnection, m_pclError);
}

CNADataAccess::~CNADataAccess()
{
    NA_GiveBackHeldReferences(m_piSource, m_pclConnection, m_pclError);
}

int CNADataAccess::bHFerme()
{
    m_bOpened = 0;
    return 1;
}

int CNADataAccess::bHSauvePosition(int* pnId, const wchar_t*, eNAPOSITION)
{
    if (pnId != nullptr)
        *pnId = -1;
    return 0;
}

int CNADataAccess::bHRetourPosition(int, wchar_t*, int, eNAPOSITION)
{
    return 0;
}

int CNADataAccess::bHLiberePosition(int)
{
    return 1;
}

int CNADataAccess::bHMode(_eNA_HMODE eMode)
{
    m_eAccessMode = eMode;
    return 1;
}

const wchar_t* CNADataAccess::pszGetLogicalName() const
{
    const wchar_t* pszName = m_piSource != nullptr ? m_piSource->pszGetLogicalName() : nullptr;
    return pszName != nullptr ? pszName : L"";
}

const wchar_t* CNADataAccess::pszGetDBTableName() const
{
    const wchar_t* pszName = m_piSource != nullptr ? m_piSource->pszGetDBTableName() : nullptr;
    return pszName != nullptr ? pszName : L"";
}

CNARecord* CNADataAccess::_pclAllocRecord(CNAError* pclError)
{
    return new (std::nothrow) CNARecord(pclError, this);
}

CNARecordId* CNADataAccess::pclAllocRecordID(const CNARecordValue* pclRow) const
{
    switch (eEvaluateRecordIdType()) {
    case NA_RECORDID_VALUES:
        return new (std::nothrow) CNARecordId_RecordValues(pclRow);
    case NA_RECORDID_ROWID: {
        CNADriver* pclDriver = CNADriver::s_pclDriver;
        CNAConvertVariant* pclValue =
            pclDriver != nullptr ? pclDriver->pclAllocVariantRowID(m_pclError, m_pclConnection) : nullptr;
        if (pclValue == nullptr)
            return nullptr;
        CNARecordId* pclId = new (std::nothrow) CNARecordId_RowId(pclValue);
        if (pclId == nullptr)
            delete pclValue;
        return pclId;
    }
    default:
        return nullptr;
    }
}
