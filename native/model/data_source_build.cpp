// Building a data-source description: adding items, keys and components,
// the best parse item, and the record sizes and offsets.
#include <climits>
#include <cwchar>
#include <new>

#include "common/system/x_error.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"

namespace {

bool bNameTaken(const CNADataSourceDescription::CItemList& list, const wchar_t* pszName)
{
    for (int i = 0; i < list.nGetNbElement(); ++i) {
        if (std::wcscmp(list[i]->pszGetName(), pszName) == 0)
            return true;
    }
    return false;
}

void SetNoMemory(CNAError* pclError)
{
    if (pclError != nullptr)
        pclError->pclGetXError()->SetErrorNoMemory();
}

void RenumberPhysical(CNAItemDescription* pclItem, int n)
{
    pclItem->SetPhysicalIndice(static_cast<unsigned>(n));
}

void RenumberKey(CNAItemDescription* pclItem, int n)
{
    pclItem->bSetKeyIndice(n);
}

}  // namespace

void CNADataSourceDescription::MakeNewName(CTString* pcsOut, const wchar_t* pszName, int n)
{
    if (pcsOut != nullptr)
        pcsOut->printf(L"%s%d", pszName != nullptr ? pszName : L"", n);
}

int CNADataSourceDescription::_bAddInOrder(CItemList& list, CNAItemDescription* pclItem, int nIndex,
                                           void (*pfnNumber)(CNAItemDescription*, int))
{
    int bAdded;
    if (nIndex == -1) {
        pfnNumber(pclItem, list.nGetNbElement());
        bAdded = list.Ajoute(pclItem);
    } else if (nIndex == 0 && list.nGetNbElement() > 0) {
        bAdded = list.Insere(pclItem, 0);
        for (int i = 1; bAdded && i < list.nGetNbElement(); ++i)
            pfnNumber(list[i], i);
    } else {
        bAdded = list.Ajoute(pclItem);
    }
    if (!bAdded) {
        SetNoMemory(m_pclError);
        return 0;
    }
    CItemList::_AddRef(pclItem);
    return 1;
}

int CNADataSourceDescription::bAddItem(const wchar_t* pszName, const wchar_t* pszSourceName,
                                       const wchar_t* pszNameInSource, unsigned nDimension, unsigned nSize,
                                       eNA_ITEMTYPE eType, unsigned nPhysicalIndice, int nKeyIndice,
                                       unsigned short wKeyFlags, int nIntegerDigits, int nDecimalDigits)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAItemDescription* pclItem = pclDriver != nullptr ? pclDriver->pclAllocItemDescription() : nullptr;
    if (pclItem == nullptr) {
        SetNoMemory(m_pclError);
        return 0;
    }
    if (nPhysicalIndice == UINT_MAX)
        nPhysicalIndice = nGetNumItems();
    pclItem->bInit(pszName, pszSourceName, pszNameInSource, nDimension, nSize, eType, nPhysicalIndice, nKeyIndice,
                   wKeyFlags, nIntegerDigits, nDecimalDigits);
    // Held while it is added: when the lists took it, it lives on in them;
    // when they did not, this release destroys it.
    pclItem->AddRef();
    const int bAdded = _AddItem(pclItem);
    pclItem->nRelease();
    return bAdded;
}

int CNADataSourceDescription::_AddItem(CNAItemDescription* pclItem)
{
    if (pclItem == nullptr)
        return 0;
    if (*pclItem->pszGetName() == L'\0') {
        CTString csName;
        CNADriver::g_GenerateItemName(&csName, static_cast<int>(m_nSubItemCount));
        pclItem->bSetName(csName.pszGet());
    }
    if (bNameTaken(m_tabItems, pclItem->pszGetName())) {
        const CTString csBase(pclItem->pszGetName());
        CTString csCandidate;
        for (int n = 2; n < INT_MAX; ++n) {
            MakeNewName(&csCandidate, csBase.pszGet(), n);
            if (!bNameTaken(m_tabItems, csCandidate.pszGet())) {
                pclItem->bSetName(csCandidate.pszGet());
                break;
            }
        }
    }

    if (!_bAddInOrder(m_tabItems, pclItem, pclItem->nGetPhysicalIndice(), &RenumberPhysical))
        return 0;
    if (pclItem->bIsKey() && !_AddKey(pclItem))
        return 0;
    if (pclItem->bMemo()) {
        if (!m_tabMemos.Ajoute(pclItem)) {
            SetNoMemory(m_pclError);
            return 0;
        }
        CItemList::_AddRef(pclItem);
    }
    return 1;
}

int CNADataSourceDescription::_AddKey(CNAItemDescription* pclItem)
{
    return pclItem != nullptr && _bAddInOrder(m_tabKeys, pclItem, pclItem->nGetKeyIndice(), &RenumberKey);
}

int CNADataSourceDescription::_bSetKeyType(CNAItemDescription* pclItem, unsigned short wKeyFlags)
{
    if (pclItem == nullptr)
        return 0;
    if (pclItem->bPrimary())
        return 1;
    if (pclItem->nGetKeyIndice() < 0) {
        pclItem->bSetKey(static_cast<int>(nGetNumKeys()), wKeyFlags);
        return _AddKey(pclItem);
    }
    pclItem->SetKeyFlags(wKeyFlags);
    return 1;
}

int CNADataSourceDescription::_bSetKeyType(unsigned nItem, unsigned short wKeyFlags)
{
    return _bSetKeyType(pclGetItemNoRef(nItem), wKeyFlags);
}

int CNADataSourceDescription::_bSetKeyType(const wchar_t* pszItem, unsigned short wKeyFlags)
{
    return _bSetKeyType(pclNAGetItemNoRef(pszItem, 2), wKeyFlags);
}

int CNADataSourceDescription::_bAddItemComponent(CNAItemDescription* pclKey, unsigned nItem)
{
    CNAItemDescription* pclItem = pclGetItemNoRef(nItem);
    return pclKey != nullptr && pclItem != nullptr ? pclKey->bAddComponent(pclItem) : 0;
}

int CNADataSourceDescription::_bAddItemComponent(CNAItemDescription* pclKey, const wchar_t* pszItem)
{
    CNAItemDescription* pclItem = pclNAGetItemNoRef(pszItem, 2);
    return pclKey != nullptr && pclItem != nullptr ? pclKey->bAddComponent(pclItem) : 0;
}

void CNADataSourceDescription::UpdateRecordSize()
{
    uint32_t nOffset = 0;
    uint32_t nSubItems = 0;
    m_nDiskRecordSize = 0;
    m_nMemoryRecordSize = 0;
    for (int i = 0; i < m_tabItems.nGetNbElement(); ++i) {
        CNAItemDescription* pclItem = m_tabItems[i];
        const uint32_t nTotal = static_cast<uint32_t>(pclItem->nGetTotalSize());
        pclItem->SetOffset(nOffset);
        nOffset += nTotal;
        pclItem->SetSubItemRecordIndice(nSubItems);
        nSubItems += static_cast<uint32_t>(pclItem->nGetDimension());
        m_nMemoryRecordSize += nTotal;
        if (!pclItem->bIsComposedKey())
            m_nDiskRecordSize += nTotal;
    }
    m_nSubItemCount = nSubItems;
}

void CNADataSourceDescription::_SetBestParseItem(CNAItemDescription* pclItem)
{
    if (pclItem != nullptr)
        pclItem->ExternalAddRef();
    CNAItemDescription* pclFormer = m_pclBestParseItem;
    m_pclBestParseItem = pclItem;
    if (pclFormer != nullptr)
        pclFormer->nExternalRelease();
}

void CNADataSourceDescription::_SetBestParseItem(const wchar_t* pszName)
{
    CNAItemDescription* pclFound = nullptr;
    for (int i = 0; pszName != nullptr && i < m_tabItems.nGetNbElement() && pclFound == nullptr; ++i) {
        if (std::wcscmp(m_tabItems[i]->pszGetName(), pszName) == 0)
            pclFound = m_tabItems[i];
    }
    _SetBestParseItem(pclFound);
}
