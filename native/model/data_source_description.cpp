// The data-source description: construction and end, counts, and the
// look-ups of its items and keys.
#include "native/model/data_source_description.h"

#include <cwchar>

#include "common/text/str_compare.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/interf.h"

CNADataSourceDescription::CNADataSourceDescription(CNAConnectionDescription* pclConnection, CNAError* pclError)
    : m_pclError(pclError), m_pclConnection(pclConnection)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (m_pclConnection != nullptr)
        REF_AddRef(m_pclConnection);
}

CNADataSourceDescription::~CNADataSourceDescription()
{
    if (m_pclBestParseItem != nullptr) {
        CNAItemDescription* pclBest = m_pclBestParseItem;
        m_pclBestParseItem = nullptr;
        pclBest->nExternalRelease();
    }
    m_tabItems.SupprimeTout();
    m_tabKeys.SupprimeTout();
    m_tabMemos.SupprimeTout();
    _ReleaseConnection();
    if (m_pclError != nullptr) {
        CNAError* pclError = m_pclError;
        m_pclError = nullptr;
        pclError->nRelease();
    }
}

void CNADataSourceDescription::_ReleaseConnection()
{
    if (m_pclConnection != nullptr) {
        CNAConnectionDescription* pclConnection = m_pclConnection;
        m_pclConnection = nullptr;
        // Through the driver, so that the connection's last user closes it.
        CNADriver::g_nReleaseConnection(pclConnection);
    }
}

unsigned CNADataSourceDescription::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount);
}

// The host takes and drops its references from its own threads, outside
// any entry; the counts are plain, so the driver-wide mutex guards them.
void CNADataSourceDescription::ExternalAddRef()
{
    CNAEntryGuard guard(CNAEntryGuard::IfModuleStarted);
    ++m_dwExternalRefCount;
}

unsigned CNADataSourceDescription::nExternalRelease()
{
    CNAEntryGuard guard(CNAEntryGuard::IfModuleStarted);
    return NA_nReleaseCount(this, m_dwExternalRefCount, m_dwRefCount);
}

INAItemDescription* CNADataSourceDescription::_piGetAt(const CItemList& list, unsigned n)
{
    CNAItemDescription* pclItem = _pclGetAt(list, n);
    if (pclItem != nullptr)
        pclItem->ExternalAddRef();
    return pclItem;
}

namespace {

// Names compared without regard to case or accents; with bTrim trailing
// blanks of both are ignored, on copies: the stored names stay as they are.
bool bSameName(const wchar_t* pszA, const wchar_t* pszB, bool bTrim)
{
    if (!bTrim)
        return STR_nCompareW(pszA, pszB, 3) == 0;
    CTString csA(pszA);
    CTString csB(pszB);
    csA.SansEspace();
    csB.SansEspace();
    return STR_nCompareW(csA.pszGet(), csB.pszGet(), 3) == 0;
}

CNAItemDescription* pclFindByName(const CNADataSourceDescription::CItemList& list, const wchar_t* pszName, bool bTrim)
{
    if (pszName == nullptr)
        return nullptr;
    for (int i = 0; i < list.nGetNbElement(); ++i) {
        // The very same text is the same name under any comparison: the
        // locale is asked only for names that differ in their characters.
        const wchar_t* pszItem = list[i]->pszGetName();
        if ((pszItem != nullptr && std::wcscmp(pszItem, pszName) == 0) || bSameName(pszItem, pszName, bTrim))
            return list[i];
    }
    return nullptr;
}

}  // namespace

CNAItemDescription* CNADataSourceDescription::pclNAGetItemNoRef(const wchar_t* pszName, int nOptions) const
{
    return pclFindByName(m_tabItems, pszName, (nOptions & 1) != 0);
}

CNAItemDescription* CNADataSourceDescription::pclNAGetItem(const wchar_t* pszName, int nOptions)
{
    CNAItemDescription* pclItem = pclNAGetItemNoRef(pszName, nOptions);
    if (pclItem != nullptr)
        pclItem->ExternalAddRef();
    return pclItem;
}

INAItemDescription* CNADataSourceDescription::piNAGetItem(const wchar_t* pszName)
{
    return pclNAGetItem(pszName, 2);
}

INAItemDescription* CNADataSourceDescription::piNAGetKey(const wchar_t* pszName)
{
    CNAItemDescription* pclKey = pclFindByName(m_tabKeys, pszName, true);
    if (pclKey != nullptr)
        pclKey->ExternalAddRef();
    return pclKey;
}

CNAItemDescription* CNADataSourceDescription::pclNAGetItemByPhysicalIndiceDB(unsigned nIndex) const
{
    for (int i = 0; i < m_tabItems.nGetNbElement(); ++i) {
        if (static_cast<unsigned>(m_tabItems[i]->nGetPhysicalIndiceDB()) == nIndex)
            return m_tabItems[i];
    }
    return nullptr;
}

CNAItemDescription* CNADataSourceDescription::pclNAGetCorrespondingItem(const wchar_t* pszName)
{
    CNAItemDescription* pclItem = pclNAGetItem(pszName, 2);
    if (pclItem == nullptr)
        CNAError::g_RaiseSiteError(m_pclError, NASite::kNoCorrespondingItem, m_pclConnection, m_csName.pszGet(),
                                   pszName, m_csDBTableName.pszGet(), pszName != nullptr ? pszName : L"");
    return pclItem;
}

const wchar_t* CNADataSourceDescription::pszGetDefaultDatabase() const
{
    const wchar_t* psz = m_pclConnection != nullptr ? m_pclConnection->pszGetDefaultDataBase() : nullptr;
    return psz != nullptr ? psz : L"";
}
