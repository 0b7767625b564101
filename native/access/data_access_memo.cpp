// The data access's memos, addressed by their index among the data source's
// memos: read and extracted through the statement of the latest browse when
// there is one, else from the current record; written and attached in the
// current record, which the next add or modification sends.
#include "native/access/data_access.h"

#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"

int CNADataAccess::_bGetMemoColumn(unsigned nMemo, INAItemDescription** ppiItem, CNAColumn** ppclColumn)
{
    // The index comes from the host unchecked: an item the data source does
    // not know, or one the current record has no column for, is an error
    // rather than a column to call through.
    INAItemDescription* piItem = m_piSource != nullptr ? m_piSource->piNAGetMemo(nMemo) : nullptr;
    CNAColumn* pclColumn =
        piItem != nullptr && m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(piItem) : nullptr;
    if (pclColumn == nullptr) {
        if (piItem != nullptr)
            piItem->nExternalRelease();
        CTString csIndex;
        (void)csIndex.printf(L"%u", nMemo);
        CNAError::g_RaiseSiteError(m_pclError, NASite::kUnknownMemo, m_pclConnection, pszGetLogicalName(), nullptr,
                                   pszGetLogicalName(), csIndex.pszGet() != nullptr ? csIndex.pszGet() : L"");
        return 0;
    }
    *ppiItem = piItem;
    *ppclColumn = pclColumn;
    return 1;
}

int CNADataAccess::bGetBLOB(unsigned nMemo, CAny* pclValue)
{
    if (pclValue == nullptr)
        return 0;
    if (m_pclLastStatement == nullptr && m_pclCurrentRecord == nullptr) {
        pclValue->SetNull();
        return 1;
    }
    INAItemDescription* piItem = nullptr;
    CNAColumn* pclColumn = nullptr;
    if (!_bGetMemoColumn(nMemo, &piItem, &pclColumn))
        return 0;
    const int bRead = m_pclLastStatement != nullptr ? m_pclLastStatement->bGetBLOB(piItem->pszGetName(), pclValue)
                                                    : pclColumn->bGetCurrentValue(pclValue, 0);
    piItem->nExternalRelease();
    return bRead;
}

int CNADataAccess::bSetBLOB(unsigned nMemo, const CAny* pclValue)
{
    INAItemDescription* piItem = nullptr;
    CNAColumn* pclColumn = nullptr;
    if (!_bGetMemoColumn(nMemo, &piItem, &pclColumn))
        return 0;
    const int bSet = _bSetBLOB(piItem, pclValue);
    piItem->nExternalRelease();
    return bSet;
}

int CNADataAccess::_bSetBLOB(INAItemDescription* piItem, const CAny* pclValue)
{
    CNAColumn* pclColumn =
        piItem != nullptr && m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(piItem) : nullptr;
    // A memo column keeps the value as the memo's new value, any other
    // takes it into its value holder.
    return pclColumn != nullptr && pclColumn->bSetValueToDB(pclValue, 0);
}

int CNADataAccess::bHAttacheMemo(unsigned nMemo, const wchar_t* pszPath)
{
    INAItemDescription* piItem = nullptr;
    CNAColumn* pclColumn = nullptr;
    if (!_bGetMemoColumn(nMemo, &piItem, &pclColumn))
        return 0;
    const int bAttached = _bHAttacheMemo(piItem, pszPath);
    piItem->nExternalRelease();
    return bAttached;
}

int CNADataAccess::_bHAttacheMemo(INAItemDescription* piItem, const wchar_t* pszPath)
{
    CNAColumn* pclColumn =
        piItem != nullptr && m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(piItem) : nullptr;
    return pclColumn != nullptr && pclColumn->bHAttacheMemo(pszPath);
}

int CNADataAccess::bExtraitMemo(unsigned nMemo, const wchar_t* pszPath)
{
    // Nothing was read yet: there is no memo to write, and no file is made.
    if (m_pclLastStatement == nullptr)
        return 1;
    INAItemDescription* piItem = nullptr;
    CNAColumn* pclColumn = nullptr;
    if (!_bGetMemoColumn(nMemo, &piItem, &pclColumn))
        return 0;
    const int bExtracted = m_pclLastStatement->bExtraitMemo(piItem->pszGetName(), pszPath);
    piItem->nExternalRelease();
    return bExtracted;
}
