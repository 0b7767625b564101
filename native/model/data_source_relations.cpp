// What a data-source description answers about itself and other
// descriptions: the item browsing follows by default, whether another
// description's items all have a match here, and the copy of the whole
// description.
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/data_source_description.h"

namespace {

bool bAutoIncrementType(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_IDAUTO || eType == NA_IT_IDAUTO4;
}

// A unique key that never holds NULL, or for descriptions older than
// version 9 (which cannot tell) an auto-increment item.
bool bSureKey(const CNAItemDescription* pclKey)
{
    if (pclKey->nGetVersion() >= 9)
        return !pclKey->vbConstraintNullAllowed();
    return bAutoIncrementType(pclKey->eNAGetItemType());
}

}  // namespace

CNAItemDescription* CNADataSourceDescription::_pclChooseBestParseItem() const
{
    if (m_tabItems.nGetNbElement() == 0)
        return nullptr;
    if (m_tabKeys.nGetNbElement() > 0) {
        CNAItemDescription* pclFirstUnique = nullptr;
        for (int i = 0; i < m_tabKeys.nGetNbElement(); ++i) {
            CNAItemDescription* pclKey = m_tabKeys[i];
            if (pclKey->bPrimary())
                return pclKey;
        }
        for (int i = 0; i < m_tabKeys.nGetNbElement(); ++i) {
            CNAItemDescription* pclKey = m_tabKeys[i];
            if (!pclKey->bUnique())
                continue;
            if (bSureKey(pclKey))
                return pclKey;
            if (pclFirstUnique == nullptr)
                pclFirstUnique = pclKey;
        }
        return pclFirstUnique != nullptr ? pclFirstUnique : m_tabKeys[0];
    }
    for (int i = 0; i < m_tabItems.nGetNbElement(); ++i) {
        if (!m_tabItems[i]->bMemo())
            return m_tabItems[i];
    }
    return m_tabItems[0];
}

INAItemDescription* CNADataSourceDescription::piGetBestParseItemDesc()
{
    if (m_pclBestParseItem == nullptr) {
        CNAItemDescription* pclChosen = _pclChooseBestParseItem();
        if (pclChosen == nullptr)
            return nullptr;
        _SetBestParseItem(pclChosen);
    }
    m_pclBestParseItem->ExternalAddRef();
    return m_pclBestParseItem;
}

int CNADataSourceDescription::bAreDescriptionCompatible(INADataSourceDescription* piOther)
{
    if (piOther == nullptr)
        return 1;
    const unsigned nItems = piOther->nGetNumItems();
    for (unsigned i = 0; i < nItems; ++i) {
        INAItemDescription* piItem = piOther->piNAGetItem(i);
        if (piItem == nullptr)
            continue;
        const bool bMissing = !piItem->bIsComposedKey() && pclNAGetItemNoRef(piItem->pszGetName(), 1) == nullptr;
        if (bMissing)
            CNAError::g_RaiseSiteError(m_pclError, NASite::kDescriptionIncompatible, m_pclConnection,
                                       m_csName.pszGet(), piItem->pszGetName(), m_csName.pszGet(),
                                       piItem->pszGetName());
        piItem->nExternalRelease();
        if (bMissing)
            return 0;
    }
    return 1;
}

CNADataSourceDescription* CNADataSourceDescription::pclGetCloneDataSourceDescription(
    CNAItemDescription::eCLONEDESC eOptions)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNADataSourceDescription* pclClone =
        pclDriver != nullptr ? pclDriver->pclAllocDataSourceDescription(m_pclConnection, m_pclError) : nullptr;
    if (pclClone == nullptr)
        return nullptr;
    pclClone->m_csName = m_csName;
    pclClone->m_csDBTableName = m_csDBTableName;
    pclClone->m_csExtendedInfo = m_csExtendedInfo;
    pclClone->m_csType = m_csType;
    pclClone->m_csOwner = m_csOwner;
    pclClone->m_nDiskRecordSize = m_nDiskRecordSize;
    pclClone->m_nMemoryRecordSize = m_nMemoryRecordSize;
    pclClone->m_nSubItemCount = m_nSubItemCount;

    bool bComplete = true;
    for (int i = 0; i < m_tabItems.nGetNbElement() && bComplete; ++i) {
        CNAItemDescription* pclItem = m_tabItems[i]->pclGetCloneItemDescription(pclClone, eOptions);
        if (pclItem == nullptr)
            break;
        pclItem->AddRef();
        bComplete = pclClone->_AddItem(pclItem) != 0;
        pclItem->nRelease();
    }
    if (pclClone->nGetNumItems() != nGetNumItems()) {
        // Half a copy is no copy. Nothing holds the clone yet.
        delete pclClone;
        return nullptr;
    }
    if (m_tabItems.nGetNbElement() > 0) {
        INAItemDescription* piBest = piGetBestParseItemDesc();
        if (piBest != nullptr) {
            pclClone->_SetBestParseItem(piBest->pszGetName());
            piBest->nExternalRelease();
        }
    }
    pclClone->UpdateRecordSize();
    return pclClone;
}
