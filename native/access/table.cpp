// The table object's construction and end, and its two counts.
#include "native/access/table.h"

#include "native/access/data_access.h"
#include "native/access/held_references.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_query_parameters.h"
#include "native/model/na_data_source_description.h"

CNATable::CNATable(const wchar_t* pszIdentification, INADataSourceDescription* piSource,
                   CNAConnectionDescription* pclConnection, CNAError* pclError)
    : m_pclError(pclError), m_pclConnection(pclConnection), m_piSource(piSource)
{
    m_csIdentification.Set(pszIdentification);
    NA_TakeHeldReferences(m_piSource, m_pclConnection, m_pclError);
}

CNATable::~CNATable()
{
    unsigned int dwCursor = 0;
    CNADataAccess* pclDataAccess = nullptr;
    while (m_tabDataAccess.bParseTable(&dwCursor, 1, &pclDataAccess, nullptr)) {
        // A data access that lives on in its context must not reach this
        // table (its bind variables) any more.
        if (pclDataAccess->pclGetTableNoRef() == this)
            pclDataAccess->SetTable(nullptr);
        m_tabDataAccess._Release(pclDataAccess);
    }
    m_tabDataAccess.DeleteAll(7);
    NA_GiveBackHeldReferences(m_piSource, m_pclConnection, m_pclError);
    if (m_piQueryBindVariable != nullptr) {
        INAQueryParametersValue* piValues = m_piQueryBindVariable;
        m_piQueryBindVariable = nullptr;
        // The host's object may throw; a destructor must not.
        try {
            piValues->nExternalRelease();
        } catch (...) {
        }
    }
}

void CNATable::ExternalAddRef()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    ++m_dwExternalRefCount;
}

int CNATable::nExternalRelease()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (m_dwExternalRefCount == 0)
        return 0;
    if (--m_dwExternalRefCount != 0)
        return static_cast<int>(m_dwExternalRefCount);
    if (m_dwRefCount == 0) {
        // No registry holds the table any more (it let go of it while the
        // host held it, or its driver ended): nobody else would destroy it.
        delete this;
        return 0;
    }
    if (m_dwRefCount == 1) {
        // Perhaps only the registry holds it: the driver's release sees one
        // reference left and unregisters the table, which destroys it. When
        // the one reference is another holder's, the registry does not hold
        // this table and the count comes back to 1.
        CNADriver* pclDriver = CNADriver::s_pclDriver;
        if (pclDriver != nullptr) {
            m_dwRefCount = 2;
            pclDriver->nReleaseTable(this);
        }
    }
    return 0;
}

INADataSourceDescription* CNATable::piGetDataSourceDescription()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (m_piSource != nullptr)
        m_piSource->ExternalAddRef();
    return m_piSource;
}

const wchar_t* CNATable::pszGetLogicalName() const
{
    const wchar_t* pszName = m_piSource != nullptr ? m_piSource->pszGetLogicalName() : nullptr;
    return pszName != nullptr ? pszName : L"";
}

void CNATable::SetQueryBindVariable(INAQueryParametersValue* piValues)
{
    if (piValues == m_piQueryBindVariable)
        return;
    if (m_piQueryBindVariable != nullptr) {
        INAQueryParametersValue* piFormer = m_piQueryBindVariable;
        m_piQueryBindVariable = nullptr;
        piFormer->nExternalRelease();
    }
    if (piValues != nullptr) {
        m_piQueryBindVariable = piValues;
        piValues->ExternalAddRef();
    }
}

void CNATable::_SetDataSource(INADataSourceDescription* piSource)
{
    NA_ReplaceHeldSource(m_piSource, piSource);
}
