// The data access's construction and end, and what the registries ask of
// it.
#include "native/access/data_access.h"

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/na_data_source_description.h"

CNADataAccess::CNADataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                             CNAError* pclError)
    : m_eAccessMode(static_cast<_eNA_HMODE>(1))
{
    m_pclConnection = pclConnection;
    if (m_pclConnection != nullptr)
        REF_AddRef(m_pclConnection);
    m_pclError = pclError;
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (piSource != nullptr) {
        m_piSource = piSource;
        m_piSource->ExternalAddRef();
    }
}

CNADataAccess::~CNADataAccess()
{
    if (m_piSource != nullptr) {
        INADataSourceDescription* piSource = m_piSource;
        m_piSource = nullptr;
        piSource->nExternalRelease();
    }
    if (m_pclConnection != nullptr) {
        CNAConnectionDescription* pclConnection = m_pclConnection;
        m_pclConnection = nullptr;
        CNADriver::g_nReleaseConnection(pclConnection);
    }
    if (m_pclError != nullptr) {
        CNAError* pclError = m_pclError;
        m_pclError = nullptr;
        pclError->nRelease();
    }
}

int CNADataAccess::bHFerme()
{
    m_bOpened = 0;
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
