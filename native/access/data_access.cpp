// The data access's construction and end, its reset and close, its current
// record buffer, and what the registries ask of it.
#include "native/access/data_access.h"

#include <new>

#include "native/access/held_references.h"
#include "native/access/id_auto.h"
#include "native/access/statement.h"
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/context.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/data_source_description.h"
#include "native/model/na_data_source_description.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_cache_position.h"
#include "native/model/record_id.h"
#include "native/model/table_cache.h"
#include "native/sql/filter.h"
#include "native/sql/sql_parser_info.h"

CNADataAccess::CNADataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                             CNAError* pclError)
    : m_pclError(pclError), m_pclConnection(pclConnection), m_eAccessMode(static_cast<_eNA_HMODE>(1))
{
    m_pclRecordSaves = new (std::nothrow) CNARecordCachePosition;
    if (m_pclRecordSaves != nullptr) {
        REF_AddRef(m_pclRecordSaves);
        m_pclRecordSaves->SetGrowStep(50, 0);
    }
    NA_TakeHeldReferences(nullptr, m_pclConnection, m_pclError);
    _SetDataSource(piSource);
    if (m_piSource != nullptr && m_pclConnection != nullptr)
        (void)m_pclConnection->bFormatTableName(nullptr, pszGetDBTableName(), &m_csDBTableName);
}

CNADataAccess::~CNADataAccess()
{
    if (CNATable::gpclLastDataAccess == this)
        CNATable::gpclLastDataAccess = nullptr;
    // Statements, row states and positions give their record saves back to
    // the cache while they close and go: it is released only after them.
    _ResetDataAccess();
    NA_ReplaceHeld(m_pclRecordSaves, static_cast<CNARecordCachePosition*>(nullptr));
    NA_GiveBackHeldReferences(m_piSource, m_pclConnection, m_pclError);
}

void CNADataAccess::_SetDataSource(INADataSourceDescription* piSource)
{
    NA_ReplaceHeldSource(m_piSource, piSource);
}

void CNADataAccess::_Close()
{
    _FreeTableCache();
    _DeleteAllPosition();
    _CloseAllStatement();
    _SetExecutionStatement(nullptr);
    m_bOpened = 0;
}

int CNADataAccess::bHFerme()
{
    _Close();
    return 1;
}

void CNADataAccess::_ResetRecordCache()
{
    if (m_pclRecordSaves != nullptr)
        m_pclRecordSaves->SupprimeTout();
}

void CNADataAccess::_ResetDataAccess()
{
    _Close();
    NA_ReplaceHeld(m_pclLatestFilter, static_cast<CNAFilter*>(nullptr));
    if (m_nCurrentRecordSaveID != -1) {
        (void)nReleaseRecordSave(m_nCurrentRecordSaveID);
        m_nCurrentRecordSaveID = -1;
    }
    _ResetRecordCache();
    NA_ReplaceHeld(m_pclSourceQuery, static_cast<CSQLParserInfo*>(nullptr));
    _FreeCurrentRecord();
    _SetDataSource(nullptr);
    NA_ReplaceHeldSource(m_piSourceForQF, nullptr);
    if (m_pclImported != nullptr) {
        CNADataSourceDescription* pclImported = m_pclImported;
        m_pclImported = nullptr;
        pclImported->nExternalRelease();
    }
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

INADataSourceDescription* CNADataAccess::piGetDataSourceDescription() const
{
    if (m_piSource != nullptr)
        m_piSource->ExternalAddRef();
    return m_piSource;
}

INADataSourceDescription* CNADataAccess::piGetDataSourceDescriptionForQF()
{
    if (!m_bQuery)
        return piGetDataSourceDescription();
    if (m_piSourceForQF == nullptr) {
        auto* pclSource = dynamic_cast<CNADataSourceDescription*>(m_piSource);
        CNADataSourceDescription* pclClone =
            pclSource != nullptr ? pclSource->pclGetCloneDataSourceDescription(CNAItemDescription::CLONE_ALL_KEYS)
                                 : nullptr;
        if (pclClone == nullptr)
            return nullptr;
        NA_ReplaceHeldSource(m_piSourceForQF, pclClone);
    }
    m_piSourceForQF->ExternalAddRef();
    return m_piSourceForQF;
}

CNADataSourceDescription* CNADataAccess::pclGetImportedDataSourceDesc() const
{
    if (m_pclImported != nullptr)
        m_pclImported->ExternalAddRef();
    return m_pclImported;
}

void CNADataAccess::_SetAliasNameFromContext()
{
    const wchar_t* pszName = m_pclContext != nullptr ? m_pclContext->pszGetNextLogicalName() : nullptr;
    m_csAliasName.Set(pszName != nullptr && pszName[0] != 0 ? pszName : pszGetLogicalName());
}

CNARecord* CNADataAccess::pclGetCurrentRecord() const
{
    if (m_pclCurrentRecord != nullptr)
        REF_AddRef(m_pclCurrentRecord);
    return m_pclCurrentRecord;
}

void CNADataAccess::_SetCurrentRecord(CNARecord* pclRecord)
{
    NA_ReplaceHeld(m_pclCurrentRecord, pclRecord);
}

int CNADataAccess::bGetRecord(CNAQFRecord** ppclRecord) const
{
    if (ppclRecord == nullptr || !m_bOpened || m_pclCurrentRecord == nullptr)
        return 0;
    CNAQFRecord* pclBuffer = m_pclCurrentRecord->pclGetNAQFRecord();
    if (pclBuffer == nullptr)
        return 0;
    pclBuffer->ExternalAddRef();
    *ppclRecord = pclBuffer;
    return 1;
}

int CNADataAccess::bSetRecord(CNAQFRecord* pclRecord)
{
    if (pclRecord == nullptr || !m_bOpened || m_pclCurrentRecord == nullptr)
        return 0;
    const int bCopied = m_pclCurrentRecord->bSetNAQFRecord(pclRecord);
    pclRecord->nExternalRelease();
    return bCopied;
}

CNACommand* CNADataAccess::pclAllocCommand(CNAError* pclError)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocCommand(pclError, m_pclConnection) : nullptr;
}

CNAStatement* CNADataAccess::_pclAllocStatement(CNADataAccess* pclDataAccess, CNAError* pclError)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocStatement(pclDataAccess, m_pclConnection, pclError) : nullptr;
}

CNADataSourceDescription* CNADataAccess::_pclAllocDataSource(CNAConnectionDescription* pclConnection,
                                                             CNAError* pclError)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocDataSourceDescription(pclConnection, pclError) : nullptr;
}

CNARecord* CNADataAccess::_pclAllocRecord(CNAError* pclError)
{
    return new (std::nothrow) CNARecord(pclError, this);
}

CNAIDAuto* CNADataAccess::_pclAllocIDAuto()
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocIDAuto() : nullptr;
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
