// The current record's construction and end, its rows, and what it tells
// of its data access and connection.
#include "native/model/record.h"

#include <new>

#include "common/text/any.h"
#include "native/access/data_access.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/data_source_description.h"
#include "native/model/item_rules.h"
#include "native/model/na_data_source_description.h"
#include "native/model/qf_record.h"
#include "native/model/record_value.h"

CNARecord::CNARecord(CNAError* pclError, CNADataAccess* pclDataAccess)
    : m_pclError(pclError), m_pclDataAccess(pclDataAccess)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNARecord::~CNARecord()
{
    if (m_pclError != nullptr) {
        m_pclError->nRelease();
        m_pclError = nullptr;
    }
    DeleteAllColumn();
    _SetRole(&m_pclIDAutoColumn, nullptr);
    _SetRole(&m_pclUniqueKeyColumn, nullptr);
    _FreeRecordsBuffer();
    _SetConnection(nullptr);
    m_tabComposedKeyUnique.SupprimeTout();
    m_tabMemoColumns.SupprimeTout();
    m_tabOrderColumns.SupprimeTout();
}

void CNARecord::_SetRole(CNAColumn** ppclRole, CNAColumn* pclColumn)
{
    if (pclColumn != nullptr)
        REF_AddRef(pclColumn);
    CNAColumn* pclFormer = *ppclRole;
    *ppclRole = pclColumn;
    if (pclFormer != nullptr)
        REF_Release(pclFormer);
}

void CNARecord::_SetConnection(CNAConnectionDescription* pclConnection)
{
    if (pclConnection == m_pclConnection)
        return;
    if (pclConnection != nullptr)
        REF_AddRef(pclConnection);
    CNAConnectionDescription* pclFormer = m_pclConnection;
    m_pclConnection = pclConnection;
    if (pclFormer != nullptr)
        CNADriver::g_nReleaseConnection(pclFormer);
}

int CNARecord::bInitRecord(INADataSourceDescription* piSource, CNADataSourceDescription* pclImported,
                           CNAConnectionDescription* pclConnection)
{
    _SetConnection(pclConnection);
    if (piSource == nullptr || piSource->nGetNumItems() == 0) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kRecordWithoutItems, m_pclConnection,
                                   piSource != nullptr ? piSource->pszGetLogicalName() : nullptr, nullptr);
        return 0;
    }
    if (!_bAllocRecordsBuffer(piSource))
        return 0;
    const unsigned nItems = piSource->nGetNumItems();
    for (unsigned i = 0; i < nItems; ++i) {
        INAItemDescription* piItem = piSource->piNAGetItem(i);
        if (piItem == nullptr)
            return 0;
        CNAItemDescription* pclImportedItem = nullptr;
        if (!piItem->bIsComposedKey() && pclImported != nullptr)
            pclImportedItem = pclImported->pclNAGetItem(piItem->pszGetName(), 3);
        const int bAdded = bAddColumn(piItem, pclImportedItem);
        if (pclImportedItem != nullptr)
            pclImportedItem->nExternalRelease();
        if (bAdded) {
            CNAColumn* pclColumn = m_tabColumns[m_tabColumns.nGetNbElement() - 1];
            if (NA_bIsIdAutoItem(piItem) && m_pclIDAutoColumn == nullptr)
                _SetRole(&m_pclIDAutoColumn, pclColumn);
            if (m_pclUniqueKeyColumn == nullptr && piItem->bUnique())
                _SetRole(&m_pclUniqueKeyColumn, pclColumn);
        }
        piItem->nExternalRelease();
        if (!bAdded)
            return 0;
    }
    if (!_bInitCompositeKey())
        return 0;
    _InitOrderBy();
    return 1;
}

int CNARecord::_bAllocRecordsBuffer(INADataSourceDescription* piSource)
{
    _FreeRecordsBuffer();
    m_pclQFRecord = new (std::nothrow) CNAQFRecord;
    if (m_pclQFRecord != nullptr)
        m_pclQFRecord->AddRef();
    m_pclOriginal = new (std::nothrow) CNARecordValue(m_pclError);
    if (m_pclOriginal != nullptr)
        REF_AddRef(m_pclOriginal);
    if (m_pclQFRecord == nullptr || m_pclOriginal == nullptr ||
        !m_pclQFRecord->bInit(piSource, CNAQFRecord::INIT_DEFAULT_VALUES)) {
        if (m_pclError != nullptr)
            m_pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_RECORD, NASite::kRecordNoMemory, m_pclConnection,
                                    pszGetTableName(), nullptr);
        _FreeRecordsBuffer();
        return 0;
    }
    // The row values record their own failures.
    if (!m_pclOriginal->bCopyNAQFRecord(m_pclQFRecord)) {
        _FreeRecordsBuffer();
        return 0;
    }
    CNARecordId* pclId = m_pclDataAccess != nullptr ? m_pclDataAccess->pclAllocRecordID(m_pclOriginal) : nullptr;
    (void)m_pclOriginal->bShareRecordID(pclId);
    m_pclCurrent = m_pclOriginal->pclGetClone(CNARecordValue::COPY_ALL);
    if (m_pclCurrent == nullptr) {
        _FreeRecordsBuffer();
        return 0;
    }
    REF_AddRef(m_pclCurrent);
    return 1;
}

void CNARecord::_FreeRecordsBuffer()
{
    if (m_pclCurrent != nullptr) {
        REF_Release(m_pclCurrent);
        m_pclCurrent = nullptr;
    }
    if (m_pclOriginal != nullptr) {
        REF_Release(m_pclOriginal);
        m_pclOriginal = nullptr;
    }
    if (m_pclQFRecord != nullptr) {
        m_pclQFRecord->nRelease();
        m_pclQFRecord = nullptr;
    }
}

CNAColumn* CNARecord::_pclAllocColumn(CNAError* pclError, INAItemDescription* piItem)
{
    return CNADriver::s_pclDriver != nullptr ? CNADriver::s_pclDriver->pclAllocColumn(pclError, piItem) : nullptr;
}

int CNARecord::bAddColumn(INAItemDescription* piItem, CNAItemDescription* pclImported)
{
    CNAColumn* pclColumn = _pclAllocColumn(m_pclError, piItem);
    if (pclColumn == nullptr)
        return 0;
    // The record's lists hold the column; it goes when they let it go.
    REF_AddRef(pclColumn);
    const bool bListed = _bAppend(m_tabColumns, pclColumn) &&
                         (!pclColumn->bIsMemo() || _bAppend(m_tabMemoColumns, pclColumn)) &&
                         (!(pclColumn->bIsComposedKey() && pclColumn->bUnique()) ||
                          _bAppend(m_tabComposedKeyUnique, pclColumn));
    const int bResult = bListed ? pclColumn->vbInit(this, pclImported) : 0;
    REF_Release(pclColumn);
    return bResult;
}

bool CNARecord::_bAppend(CColumnArray& list, CNAColumn* pclColumn)
{
    if (!list.Ajoute(pclColumn))
        return false;
    CColumnArray::_AddRef(pclColumn);
    return true;
}

int CNARecord::_nFind(const CColumnArray& list, const CNAColumn* pclColumn)
{
    for (int i = 0; i < list.nGetNbElement(); ++i) {
        if (list[i] == pclColumn)
            return i;
    }
    return -1;
}

void CNARecord::DeleteAllColumn()
{
    m_tabColumns.SupprimeTout();
}

// --- The data access ---------------------------------------------------------

const wchar_t* CNARecord::pszGetTableName() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->pszGetLogicalName() : L"";
}

int CNARecord::bSourceIsQuery() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->bIsQuery() : 0;
}

CSQLParserInfo* CNARecord::pclGetSourceQueryNoRef() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->pclGetSourceQueryNoRef() : nullptr;
}

int CNARecord::bColumnKindsEnabled() const
{
    return m_pclDataAccess != nullptr ? m_pclDataAccess->bColumnKindsEnabled() : 0;
}

int CNARecord::bGetPosition(CNAPosition*)
{
    return 1;
}

// --- Rows ----------------------------------------------------------------------

int CNARecord::bEquals(const CNARecordValue* pclOther, int bMemo) const
{
    return m_pclCurrent != nullptr && m_pclCurrent->bEquals(pclOther, bMemo);
}

int CNARecord::bCopyToCurrentRecord(const CNARecordValue* pclSource)
{
    return m_pclCurrent != nullptr && pclSource != nullptr &&
           m_pclCurrent->bCopyRecordValue(pclSource, CNARecordValue::COPY_ALL);
}

int CNARecord::bCopyOriginalRecordToCurrentRecord()
{
    return bCopyToCurrentRecord(m_pclOriginal);
}

int CNARecord::bCopyCurrentRecordToOriginalRecord()
{
    m_bOriginalSet = 1;
    return m_pclOriginal != nullptr && m_pclCurrent != nullptr &&
           m_pclOriginal->bCopyRecordValue(m_pclCurrent, CNARecordValue::COPY_ALL);
}

void CNARecord::SetDeleted()
{
    if (m_pclCurrent != nullptr)
        m_pclCurrent->SetRecordState(NA_RS_DELETED);
}

int CNARecord::bSetNAQFRecord(CNAQFRecord* pclBuffer)
{
    if (m_pclCurrent == nullptr || pclBuffer == nullptr || !m_pclCurrent->bCopyNAQFRecord(pclBuffer))
        return 0;
    OnNAQFRecordChanged();
    return 1;
}

void CNARecord::OnNAQFRecordChanged()
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        CNAConvertVariant* pclValue = pclColumn->pclGetNAValue();
        if (pclValue == nullptr || pclColumn->bIsMemo() || pclColumn->bIsComposedKey())
            continue;
        // Neither memo nor composite key: the defined test of such a column,
        // without asking its item again.
        if (pclColumn->bPlainValueDefined())
            pclValue->SetNotNull();
        else
            pclValue->SetNull();
    }
}

int CNARecord::bUpdateChangedTypeInCurrentRecord(INADataSourceDescription* piSource)
{
    int bResult = _bAllocRecordsBuffer(piSource);
    for (int i = 0; bResult && i < m_tabColumns.nGetNbElement(); ++i)
        bResult = m_tabColumns[i]->bUpdateChangedTypeInCurrentRecord();
    if (!bResult) {
        // The former row buffers are gone: a value that may still be bound
        // to one of them is unbound, so that nothing writes where they were.
        // A later rebuild binds the values again.
        for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
            CNAConvertVariant* pclValue = m_tabColumns[i]->pclGetNAValue();
            if (pclValue != nullptr && pclValue->eGetVarType() == NA_VT_RECORD)
                pclValue->ResetVariant();
        }
    }
    return bResult;
}

int CNARecord::bShareCurrentRecordMemoValue(CNAColumn* pclColumn)
{
    if (pclColumn == nullptr || m_pclCurrent == nullptr)
        return 0;
    const int nMemo = pclColumn->nGetMemoIndice();
    if (nMemo < 0)
        return 1;
    return m_pclCurrent->bShareMemoValue(nMemo, pclColumn->pclGetNAValue());
}
