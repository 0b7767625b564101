// The copy of an item description for another data-source description.
#include "native/driver/driver.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"

CNAItemDescription* CNAItemDescription::pclGetCloneItemDescription(CNADataSourceDescription* pclTarget,
                                                                   eCLONEDESC eOptions)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAItemDescription* pclClone = pclDriver != nullptr ? pclDriver->pclAllocItemDescription() : nullptr;
    if (pclClone == nullptr)
        return nullptr;

    pclClone->m_csName = m_csName;
    pclClone->m_csExtendedInfo = m_csExtendedInfo;
    pclClone->m_csCaption = m_csCaption;
    pclClone->m_csDBType = m_csDBType;
    pclClone->m_eDBType = m_eDBType;
    pclClone->m_nDimension = m_nDimension;
    pclClone->m_nItemSize = m_nItemSize;
    pclClone->m_wKeyFlags = m_wKeyFlags;
    pclClone->m_eItemType = m_eItemType;
    pclClone->m_nPhysicalIndice = m_nPhysicalIndice;
    pclClone->m_nPhysicalIndiceDB = m_nPhysicalIndiceDB;
    pclClone->m_nOffset = m_nOffset;
    pclClone->m_nSubItemRecordIndice = m_nSubItemRecordIndice;
    pclClone->m_clDefaultValue = m_clDefaultValue;
    pclClone->m_nIntegerPart = m_nIntegerPart;
    pclClone->m_nDecimalPart = m_nDecimalPart;
    pclClone->m_csSourceName = m_csSourceName;
    pclClone->m_csNameInSource = m_csNameInSource;
    pclClone->m_csDBTableName = m_csDBTableName;
    pclClone->m_dwCalculValue = m_dwCalculValue;
    pclClone->m_dwOptions = m_dwOptions;
    pclClone->m_nKeyIndice = pclTarget != nullptr ? static_cast<int32_t>(pclTarget->nGetNumKeys()) : 0;

    if ((eOptions & CLONE_ALL_KEYS) && !(m_wKeyFlags & NA_KEY_ANY) && m_eItemType != NA_IT_MEMOTEXTE &&
        m_eItemType != NA_IT_MEMOUNICODE)
        pclClone->m_wKeyFlags = NA_KEY_DUPLICATES | NA_KEY_ASCENDING;
    if ((eOptions & CLONE_DATES_AS_TEXT) && (m_eItemType == NA_IT_DATE8 || m_eItemType == NA_IT_DATETIME)) {
        pclClone->m_eItemType = NA_IT_TEXTE;
        pclClone->m_clDefaultValue.__SetType(ZLTYPE_PSTRA, 0);
    }

    // The components are the target's items of the same names.
    for (int i = 0; pclTarget != nullptr && i < m_tabComponents.nGetNbElement(); ++i) {
        CNAItemDescription* pclItem = pclTarget->pclNAGetCorrespondingItem(m_tabComponents[i]->pszGetName());
        if (pclItem == nullptr)
            continue;
        if (pclClone->m_tabComponents.Ajoute(pclItem))
            pclItem->AddRef();
        pclItem->nExternalRelease();
    }
    return pclClone;
}
