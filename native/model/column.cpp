// The column's construction, set-up, names and properties.
#include "native/model/column.h"

#include <new>

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/item_description.h"
#include "native/model/item_rules.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_value.h"

CNAColumn::CNAColumn(CNAError* pclError, INAItemDescription* piItem) : m_piItem(piItem), m_pclError(pclError)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (m_piItem != nullptr)
        m_piItem->ExternalAddRef();
}

CNAColumn::~CNAColumn()
{
    if (m_piItem != nullptr)
        m_piItem->nExternalRelease();
    if (m_pclValue != nullptr)
        REF_Release(m_pclValue);
    if (m_pclImported != nullptr)
        m_pclImported->nExternalRelease();
    if (m_pclError != nullptr)
        m_pclError->nRelease();
    if (m_pclComponents != nullptr)
        m_pclComponents->dwRelease();
}

int CNAColumn::vbInit(CNARecord* pclRecord, CNAItemDescription* pclImported)
{
    m_pclRecord = pclRecord;
    if (!bFormatName())
        return 0;
    if (pclImported != nullptr && !bSetImportedItemDesc(pclImported))
        return 0;
    if (bIsComposedKey())
        return 1;
    return bInitVariant(pclRecord);
}

int CNAColumn::bFormatName()
{
    CNAConnectionDescription* pclConnection = pclGetCnx();
    if (pclConnection == nullptr)
        return 0;
    return pclConnection->bFormatItemName(m_pclError, pszGetName(), &m_csFormatedName) &&
           pclConnection->bFormatItemName(m_pclError, pszGetOriginalName(), &m_csFormatedOriginalName);
}

int CNAColumn::bInitVariant(CNARecord* pclRecord)
{
    if (m_pclValue == nullptr) {
        if (CNADriver::s_pclDriver == nullptr)
            return 0;
        m_pclValue = CNADriver::s_pclDriver->pclAllocVariant(
            m_pclError, pclRecord != nullptr ? pclRecord->pclGetConnectionNoRef() : nullptr);
        if (m_pclValue == nullptr)
            return 0;
        REF_AddRef(m_pclValue);
    }
    if (bIsMemo()) {
        m_pclValue->InitTypeVariantAny(eGetZLType(), 0);
    } else {
        CNAQFRecord* pclBuffer = pclRecord != nullptr ? pclRecord->pclGetNAQFRecord() : nullptr;
        unsigned char* pbySlot = pclBuffer != nullptr ? pclBuffer->pbyGetItemValue(m_piItem, 0) : nullptr;
        // Without a slot of its own in the row buffer the value would write
        // nowhere the host reads: no value rather than a detached one.
        if (pbySlot == nullptr || !m_pclValue->bInitTypeVariant(NA_VT_RECORD, pbySlot,
                                                                static_cast<unsigned long>(nGetItemSize()),
                                                                eGetZLType()))
            return 0;
    }
    m_pclValue->SetItemDesc(m_piItem, m_pclImported);
    if (bIsMemo() && pclRecord != nullptr) {
        const int nMemo = nGetMemoIndice();
        CNARecordValue* pclRow = pclRecord->pclGetCurrentRecordValueNoRef();
        if (nMemo >= 0 && pclRow != nullptr)
            return pclRow->bShareMemoValue(nMemo, m_pclValue);
    }
    return 1;
}

int CNAColumn::bSetImportedItemDesc(CNAItemDescription* pclImported)
{
    if (pclImported == m_pclImported)
        return 1;
    if (pclImported != nullptr)
        pclImported->ExternalAddRef();
    CNAItemDescription* pclFormer = m_pclImported;
    m_pclImported = pclImported;
    if (pclFormer != nullptr)
        pclFormer->nExternalRelease();
    return 1;
}

int CNAColumn::bUpdateChangedTypeInCurrentRecord()
{
    return bInitVariant(m_pclRecord);
}

int CNAColumn::AddCompositeKey(CNAColumn* pclComponent)
{
    if (m_pclComponents == nullptr) {
        m_pclComponents = new (std::nothrow) CColumnArray(1);
        if (m_pclComponents == nullptr)
            return 0;
        m_pclComponents->dwAddRef();
    }
    if (!m_pclComponents->Ajoute(pclComponent))
        return 0;
    CColumnArray::_AddRef(pclComponent);
    return 1;
}

int CNAColumn::bInitVariant_NV_Any(CNAError*, CNAConvertVariant* pclValue, unsigned short nCode)
{
    if (pclValue == nullptr)
        return 0;
    const unsigned short nItemCode = eGetZLType();
    pclValue->InitTypeVariantAny(nCode != 0 ? nCode : nItemCode,
                                 bIsMemo() ? 0 : static_cast<unsigned long>(nGetItemSize()));
    pclValue->SetItemDesc(m_piItem, m_pclImported);
    // Taking the items retypes the value to the item's type: the caller's
    // code is given back.
    if (nCode != 0 && nCode != nItemCode)
        pclValue->SetValueType(nCode);
    return 1;
}

void CNAColumn::SetAliasNomTable(const wchar_t* pszAlias, const wchar_t* pszFormatedAlias)
{
    m_csAliasNomTable.Set(pszAlias);
    m_csFormatedAliasNomTable.Set(pszFormatedAlias);
    m_csSelectName.Vide();
}

// --- Names and properties ----------------------------------------------------

const wchar_t* CNAColumn::pszGetName() const
{
    const wchar_t* psz = m_piItem != nullptr ? m_piItem->pszGetName() : nullptr;
    return psz != nullptr ? psz : L"";
}

const wchar_t* CNAColumn::pszGetOriginalName() const
{
    const wchar_t* psz = m_piItem != nullptr ? m_piItem->pszGetNameInSource() : nullptr;
    return psz != nullptr && psz[0] != L'\0' ? psz : pszGetName();
}

const wchar_t* CNAColumn::pszGetSourceName() const
{
    const wchar_t* psz = m_piItem != nullptr ? m_piItem->pszGetSourceName() : nullptr;
    return psz != nullptr ? psz : L"";
}

int CNAColumn::nGetPhysicalIndice() const
{
    return m_piItem->nGetPhysicalIndice();
}

int CNAColumn::nGetItemSize() const
{
    return m_piItem->nGetItemSize();
}

int CNAColumn::nGetValueSize() const
{
    return m_piItem->nGetTotalSize();
}

int CNAColumn::nGetLogicalSize() const
{
    return m_piItem->nGetLogicalSize(-1);
}

int CNAColumn::nGetIntegerPart() const
{
    return m_piItem->nGetIntegerPart();
}

int CNAColumn::nGetDecimalPart() const
{
    return m_piItem->nGetDecimalPart();
}

eNA_ITEMTYPE CNAColumn::eNAGetItemType() const
{
    return m_piItem->eNAGetItemType();
}

int CNAColumn::bIsComposedKey() const
{
    return m_piItem->bIsComposedKey();
}

int CNAColumn::bIsMemo() const
{
    return m_piItem->bMemo();
}

int CNAColumn::bIsMemoText() const
{
    return m_piItem->bMemoText();
}

int CNAColumn::bIsMemoBin() const
{
    return m_piItem->bMemoBinary();
}

int CNAColumn::bLiteral() const
{
    return m_piItem->bLiteral();
}

int CNAColumn::bGetDescendantComponent(int n) const
{
    return m_piItem->bGetDescendant(n);
}

unsigned short CNAColumn::eGetZLType() const
{
    return ConverteItemToZLType(m_piItem);
}

INAItemDescription* CNAColumn::piGetItem() const
{
    if (m_piItem != nullptr)
        m_piItem->ExternalAddRef();
    return m_piItem;
}

int CNAColumn::nGetLogicalSizeOnDatabase() const
{
    return m_pclImported != nullptr ? m_pclImported->nGetLogicalSize(-1) : -1;
}

int CNAColumn::nGetDBType() const
{
    return m_pclImported != nullptr ? m_pclImported->eNAGetDBTypeCode() : 0;
}

eNA_ITEMTYPE CNAColumn::eNAGetItemTypeOnDatabase() const
{
    return m_pclImported != nullptr ? static_cast<eNA_ITEMTYPE>(m_pclImported->eNAGetDBType(pclGetCnx())) : NA_IT_EMPTY;
}

eNA_ITEMTYPE CNAColumn::eNAGetItemTypeOnDatabaseEx() const
{
    return m_pclImported != nullptr ? m_pclImported->eNAGetItemType() : eNAGetItemType();
}

int CNAColumn::bIsMemoDB() const
{
    return m_pclImported != nullptr ? m_pclImported->bMemo() : bIsMemo();
}

int CNAColumn::bGetIgnoreCase(int n) const
{
    return m_pclImported != nullptr ? m_pclImported->bGetIgnoreCase(n) : m_piItem->bGetIgnoreCase(n);
}

int CNAColumn::bUpdatable() const
{
    return m_pclImported != nullptr ? m_pclImported->bUpdatable() : m_piItem->bUpdatable();
}

int CNAColumn::bIsAutoIncrementOnDataBase() const
{
    return NA_bIsIdAutoItem(m_pclImported);
}

int CNAColumn::bIsIdAuto() const
{
    return NA_bIsIdAutoItem(m_piItem);
}

int CNAColumn::bBinaryString() const
{
    return eNAGetItemType() == NA_IT_BINAIRE;
}

int CNAColumn::bIsUnique() const
{
    return m_piItem->bUnique() || (m_pclImported != nullptr && m_pclImported->bUnique());
}

int CNAColumn::bPrimary() const
{
    return bIsIdAuto() || m_piItem->bPrimary() || (m_pclImported != nullptr && m_pclImported->bPrimary());
}

int CNAColumn::bIsNullable() const
{
    if (m_piItem->nGetVersion() > 8)
        return m_piItem->vbConstraintNullAllowed();
    return !(m_piItem->bPrimary() || bIsIdAuto());
}

int CNAColumn::bIsNullableOnDataBase() const
{
    if (m_pclImported != nullptr)
        return !(m_pclImported->dwGetOptions() & NA_OPT_NOT_NULL);
    return bIsNullable();
}

int CNAColumn::bUniqueNotNull() const
{
    return NA_bUniqueNotNull(m_piItem) || NA_bUniqueNotNull(m_pclImported);
}

int CNAColumn::eGetTypeColonne() const
{
    if (m_pclRecord == nullptr || !m_pclRecord->bColumnKindsEnabled())
        return 0;
    // The kind is what the completion of a query's description recorded in
    // the driver's own item; a host's item has none.
    const CNAItemDescription* pclItem = dynamic_cast<const CNAItemDescription*>(m_piItem);
    return pclItem != nullptr ? static_cast<int>(pclItem->dwGetCalculValue()) : 0;
}

int CNAColumn::bSourceIsQuery() const
{
    return m_pclRecord != nullptr ? m_pclRecord->bSourceIsQuery() : 0;
}

CNAConnectionDescription* CNAColumn::pclGetCnx() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pclGetConnectionNoRef() : nullptr;
}

const wchar_t* CNAColumn::pszGetTableName() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pszGetTableName() : L"";
}

CSQLParserInfo* CNAColumn::pclGetSourceQueryNoRef() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pclGetSourceQueryNoRef() : nullptr;
}

const wchar_t* CNAColumn::pszGetAliasNomTable() const
{
    return m_csAliasNomTable.pszGet();
}

const wchar_t* CNAColumn::pszGetFormatedAliasNomTable() const
{
    return m_csFormatedAliasNomTable.pszGet();
}

const wchar_t* CNAColumn::pszGetFormatedSelectName(int bFlag)
{
    if (m_csSelectName.nTaille() > 0)
        return m_csSelectName.pszGet();
    if (bFlag) {
        m_csSelectName = m_csFormatedName;
        return m_csSelectName.pszGet();
    }
    m_csSelectName.Vide();
    if (bSourceIsQuery()) {
        CTString csTable(pszGetFormatedAliasNomTable());
        const wchar_t* pszSource = pszGetSourceName();
        CNAConnectionDescription* pclConnection = pclGetCnx();
        if (csTable.nTaille() == 0 && pszSource[0] != L'\0' && pclConnection != nullptr &&
            !pclConnection->bFormatTableName(m_pclError, pszSource, &csTable))
            csTable.Vide();
        if (csTable.nTaille() > 0) {
            m_csSelectName = csTable;
            m_csSelectName.Add(L'.');
        }
    }
    m_csSelectName.Add(m_csFormatedOriginalName.pszGet());
    return m_csSelectName.pszGet();
}

CNAColumn* CNAColumn::_pclComponentColumn(int n) const
{
    if (m_pclRecord == nullptr)
        return nullptr;
    INAItemDescription* piComponent = m_piItem->piGetItemComponent(n);
    if (piComponent == nullptr)
        return nullptr;
    CNAColumn* pclColumn = m_pclRecord->pclGetColumnNoRef(piComponent);
    piComponent->nExternalRelease();
    return pclColumn;
}

int CNAColumn::bIsComposedKeyComponent(const CNAColumn* pclColumn) const
{
    if (pclColumn == nullptr)
        return 0;
    const int nCount = m_piItem->nGetNumComponents();
    for (int n = 1; n <= nCount; ++n) {
        if (_pclComponentColumn(n) == pclColumn)
            return 1;
    }
    return 0;
}

int CNAColumn::nGetMemoIndice() const
{
    if (m_pclRecord == nullptr)
        return -1;
    const CColumnArray* pclMemos = m_pclRecord->pclGetTabColumnMemo();
    for (int i = 0; i < pclMemos->nGetNbElement(); ++i) {
        if ((*pclMemos)[i] == this)
            return i;
    }
    return -1;
}

unsigned char* CNAColumn::pGetValuePtr(CNAQFRecord* pclBuffer) const
{
    if (pclBuffer == nullptr)
        pclBuffer = _pclCurrentBuffer();
    return pclBuffer != nullptr ? pclBuffer->pbyGetItemValue(m_piItem, 0) : nullptr;
}

unsigned char* CNAColumn::pGetValuePtr(CNARecord* pclRecord) const
{
    if (pclRecord == nullptr)
        pclRecord = m_pclRecord;
    return pGetValuePtr(pclRecord != nullptr ? pclRecord->pclGetNAQFRecord() : nullptr);
}

CNAConvertVariant* CNAColumn::pclGetNAValue()
{
    return m_pclValue;
}

CNAConvertVariant* CNAColumn::pclGetVariantClone()
{
    return m_pclValue != nullptr ? m_pclValue->pclGetCloneVariant() : nullptr;
}

int CNAColumn::bValueIsUnreadYet() const
{
    return m_pclValue != nullptr && m_pclValue->eGetVarType() == NA_VT_ANY_UNREAD;
}

CNAQFRecord* CNAColumn::_pclCurrentBuffer() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pclGetNAQFRecord() : nullptr;
}

CNAQFRecord* CNAColumn::_pclOriginalBuffer() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pclGetOriginalNAQFRecord() : nullptr;
}
