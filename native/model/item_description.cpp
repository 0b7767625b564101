// The item description: construction, counts, sizes, components and the
// plain setters.
#include "native/model/item_description.h"

#include <climits>

#include "native/driver/connection_description.h"
#include "native/driver/driver_entry_guard.h"
#include "native/model/interf.h"

CNAItemDescription::CNAItemDescription() = default;

CNAItemDescription::~CNAItemDescription()
{
    for (int i = 0; i < m_tabComponents.nGetNbElement(); ++i)
        m_tabComponents[i]->nRelease();
    m_tabComponents.SupprimeToutEtLibere();
}

unsigned CNAItemDescription::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount);
}

// The host takes and drops its references from its own threads, outside
// any entry; the counts are plain, so the driver-wide mutex guards them.
void CNAItemDescription::ExternalAddRef()
{
    CNAEntryGuard guard(CNAEntryGuard::IfModuleStarted);
    ++m_dwExternalRefCount;
}

unsigned CNAItemDescription::nExternalRelease()
{
    CNAEntryGuard guard(CNAEntryGuard::IfModuleStarted);
    return NA_nReleaseCount(this, m_dwExternalRefCount, m_dwRefCount);
}

int CNAItemDescription::nGetLogicalSize(int nElement) const
{
    // In 64 bits and never below 0: the sizes are unsigned, and an item
    // smaller than its length prefix or terminator has no room for a value.
    const int64_t nSize = m_nItemSize;
    const int64_t nDimension = nElement == -1 ? m_nDimension : 1;
    int64_t n;
    switch (m_eItemType) {
    case NA_IT_TEXTE:
        n = (nSize - 1) * nDimension;
        break;
    case NA_IT_UNICODE:
        n = (nSize - 2) * nDimension / 2;
        break;
    case NA_IT_BINAIRE:
        n = bIsComposedKey() ? nSize * nDimension : (nSize - 2) * nDimension;
        break;
    default:
        n = nSize * nDimension;
        break;
    }
    if (n < 0)
        return 0;
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

INAItemDescription* CNAItemDescription::piGetItemComponent(int nComponent)
{
    CNAItemDescription* pclComponent = pclGetComponentNoRef(nComponent - 1);
    if (pclComponent != nullptr)
        pclComponent->ExternalAddRef();
    return pclComponent;
}

int CNAItemDescription::bInit(const wchar_t* pszName, const wchar_t* pszSourceName, const wchar_t* pszNameInSource,
                              unsigned nDimension, unsigned nSize, eNA_ITEMTYPE eType, unsigned nPhysicalIndice,
                              int nKeyIndice, unsigned short wKeyFlags, int nIntegerDigits, int nDecimalDigits)
{
    if (eType == NA_IT_EMPTY) {
        eType = NA_IT_TEXTE;
        nSize = 1;
    }
    m_csName.Set(pszName);
    m_csSourceName.Set(pszSourceName);
    m_csNameInSource.Set(pszNameInSource);
    m_nDimension = nDimension;
    m_nItemSize = nSize;
    m_eItemType = eType;
    m_nPhysicalIndice = nPhysicalIndice;
    m_nKeyIndice = nKeyIndice;
    m_wKeyFlags = wKeyFlags;
    if (eType == NA_IT_DECIMAL) {
        eNA_ITEMTYPE eNumber;
        s_GetTypeFromFormat(nIntegerDigits, nDecimalDigits, &eNumber, nullptr);
        if (eNumber == NA_IT_R8) {
            m_eItemType = NA_IT_R8;
            m_nItemSize = 8;
        } else {
            m_nIntegerPart = nIntegerDigits;
            m_nDecimalPart = nDecimalDigits;
        }
    } else if (eType == NA_IT_HEURE || eType == NA_IT_DATETIME) {
        m_nDecimalPart = nDecimalDigits;
    }
    if (bMemo())
        m_nItemSize = 8;
    if (m_eItemType == NA_IT_IDAUTO || m_eItemType == NA_IT_IDAUTO4)
        m_dwOptions = NA_OPT_AUTO_INCREMENT | NA_OPT_NOT_NULL;
    m_clDefaultValue.__SetType(eGetItemZLType(), 0);
    m_clDefaultValue.SetNull();
    return 1;
}

int CNAItemDescription::bSetName(const wchar_t* pszName)
{
    m_csName.Set(pszName);
    return 1;
}

int CNAItemDescription::bSetKey(int nKeyIndice, unsigned short wKeyFlags)
{
    m_nKeyIndice = nKeyIndice;
    m_wKeyFlags = wKeyFlags;
    return 1;
}

int CNAItemDescription::bSetKeyIndice(int nKeyIndice)
{
    m_nKeyIndice = nKeyIndice;
    return 1;
}

void CNAItemDescription::SetSensTri(eSENSTRI eSens)
{
    if (eSens == SENSTRI_ASCENDANT)
        m_wKeyFlags = static_cast<uint16_t>((m_wKeyFlags | NA_KEY_ASCENDING) & ~NA_KEY_DESCENDING);
    else
        m_wKeyFlags = static_cast<uint16_t>((m_wKeyFlags | NA_KEY_DESCENDING) & ~NA_KEY_ASCENDING);
}

void CNAItemDescription::SetIgnoreCase(int bIgnore)
{
    if (bIgnore)
        m_wKeyFlags |= NA_KEY_IGNORE_CASE;
    else
        m_wKeyFlags = static_cast<uint16_t>(m_wKeyFlags & ~NA_KEY_IGNORE_CASE);
}

void CNAItemDescription::SetAutoIncrement()
{
    m_dwOptions |= NA_OPT_AUTO_INCREMENT;
    if (m_eItemType == NA_IT_I8 || m_eItemType == NA_IT_UI8)
        m_eItemType = NA_IT_IDAUTO;
    else if (m_eItemType == NA_IT_I4 || m_eItemType == NA_IT_UI4)
        m_eItemType = NA_IT_IDAUTO4;
}

void CNAItemDescription::SetDefaultValue(const CAny* pclValue, int)
{
    if (pclValue != nullptr && pclValue != &m_clDefaultValue)
        m_clDefaultValue = *pclValue;
    (void)m_clDefaultValue.__nCastTo(eGetItemZLType(), nullptr, 0);
}

int CNAItemDescription::bChangeTypeMemo(eNA_ITEMTYPE eType)
{
    m_eItemType = eType;
    _UpdateDefaultValueType();
    return 1;
}

int CNAItemDescription::eNAGetDBType(CNAConnectionDescription* pclConnection) const
{
    if (m_eDBType == 0 || (pclConnection != nullptr && pclConnection->bDBTypeUnkwnownByDB(m_eDBType)))
        return 0;
    return m_eItemType;
}

int CNAItemDescription::bAddComponent(CNAItemDescription* pclComponent)
{
    if (pclComponent == nullptr || !m_tabComponents.Ajoute(pclComponent))
        return 0;
    pclComponent->AddRef();
    if (bIsComposedKey()) {
        const uint32_t nLogical = static_cast<uint32_t>(pclComponent->nGetLogicalSize(-1));
        m_nItemSize += pclComponent->eNAGetItemType() == NA_IT_UNICODE ? 2 * nLogical : nLogical;
    }
    return 1;
}

int CNAItemDescription::bIsComponentOf(INAItemDescription* piKey, INAItemDescription* piItem)
{
    if (piKey == nullptr)
        return 0;
    int bFound = 0;
    const int nComponents = piKey->nGetNumComponents();
    for (int i = 1; i <= nComponents && !bFound; ++i) {
        INAItemDescription* piComponent = piKey->piGetItemComponent(i);
        if (piComponent == nullptr)
            continue;
        bFound = piComponent == piItem;
        piComponent->nExternalRelease();
    }
    return bFound;
}
