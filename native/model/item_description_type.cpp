// The item description's type: changes and completion from another
// description or from the host's information on a computed item, and the
// test whether another item's values fit this one.
#include "native/model/data_source_description.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/item_description.h"

namespace {

// Host functions whose Unicode results are handed over as 8-bit text.
constexpr int kFunctionAnsiResult1 = 95;
constexpr int kFunctionAnsiResult2 = 96;

bool bIntegralFamily(eNA_ITEMTYPE eType)
{
    switch (eType) {
    case NA_IT_IDAUTO:
    case NA_IT_I2:
    case NA_IT_I1:
    case NA_IT_I4:
    case NA_IT_UI2:
    case NA_IT_UI1:
    case NA_IT_MONETAIRE:
    case NA_IT_I8:
    case NA_IT_UI8:
    case NA_IT_UI4:
    case NA_IT_TIMELENGHT:
    case NA_IT_IDAUTO4:
        return true;
    default:
        return false;
    }
}

// Whether the other type is integral with digit and decimal counts within
// the given ones.
bool bIntegralWithin(eNA_ITEMTYPE eOther, int nDigits, int nDecimals)
{
    int nOtherDigits = 0;
    int nOtherDecimals = 0;
    if (!CNAItemDescription::s_bGetDecimalInfo(ConverteItemToZLType(eOther), &nOtherDigits, &nOtherDecimals))
        return false;
    return nOtherDigits <= nDigits && nOtherDecimals <= nDecimals;
}

}  // namespace

void CNAItemDescription::_UpdateDefaultValueType()
{
    const unsigned short nZLType = eGetItemZLType();
    if (m_clDefaultValue.__nCastTo(nZLType, nullptr, 0) > 99) {
        // A NULL default (no default) stays NULL, as a cast would leave it.
        const bool bNull = m_clDefaultValue.bIsNull();
        m_clDefaultValue.__SetType(nZLType, 0);
        m_clDefaultValue.SetNull(bNull);
    }
}

void CNAItemDescription::_CopyTypeFrom(INAItemDescription* piOther, int bKeepAutoIncrement)
{
    m_nDimension = static_cast<uint32_t>(piOther->nGetDimension());
    m_nItemSize = static_cast<uint32_t>(piOther->nGetItemSize());
    m_eItemType = piOther->eNAGetItemType();
    m_csDBType.Set(piOther->pszGetDBType());
    if (!bKeepAutoIncrement && (m_eItemType == NA_IT_IDAUTO || m_eItemType == NA_IT_IDAUTO4)) {
        m_eItemType = m_eItemType == NA_IT_IDAUTO ? NA_IT_I8 : NA_IT_I4;
        m_nIntegerPart = 0;
        m_nDecimalPart = 0;
    } else if (m_eItemType == NA_IT_DECIMAL) {
        m_nIntegerPart = piOther->nGetIntegerPart();
        m_nDecimalPart = piOther->nGetDecimalPart();
    } else if (m_eItemType == NA_IT_HEURE || m_eItemType == NA_IT_DATETIME) {
        m_nDecimalPart = piOther->nGetDecimalPart();
    } else {
        m_nIntegerPart = 0;
        m_nDecimalPart = 0;
    }
    _UpdateDefaultValueType();
}

int CNAItemDescription::bChangeType(INAItemDescription* piOther, int bKeepAutoIncrement)
{
    if (piOther == nullptr)
        return 1;
    m_eDBType = 0;
    _CopyTypeFrom(piOther, bKeepAutoIncrement);
    return 1;
}

int CNAItemDescription::bChangeType(CNAItemDescription* pclOther, int bKeepAutoIncrement)
{
    if (pclOther == nullptr)
        return 1;
    m_eDBType = pclOther->m_eDBType;
    _CopyTypeFrom(pclOther, bKeepAutoIncrement);
    return 1;
}

int CNAItemDescription::bCompleteDescription(INAItemDescription* piOther, int bUnique, unsigned nKeyIndice)
{
    if (piOther == nullptr)
        return 1;
    bChangeType(piOther, bUnique);
    m_csExtendedInfo.Set(piOther->pszGetExtendedInfo());
    m_csCaption.Set(piOther->pszGetCaption());
    if (piOther->bIsKey()) {
        // Rebuilt from the other; the composite flag is never carried over.
        uint16_t wFlags = 0;
        if (piOther->bGetAscendant(-1))
            wFlags |= NA_KEY_ASCENDING;
        if (piOther->bGetDescendant(-1))
            wFlags |= NA_KEY_DESCENDING;
        if (piOther->bGetIgnoreCase(-1))
            wFlags |= NA_KEY_IGNORE_CASE;
        if (piOther->bGetIgnorePunctuation(-1))
            wFlags |= NA_KEY_IGNORE_PUNCTUATION;
        if (piOther->bGetIgnoreAccent(-1))
            wFlags |= NA_KEY_IGNORE_ACCENT;
        if (!bUnique) {
            wFlags |= NA_KEY_DUPLICATES;
        } else {
            wFlags |= piOther->bUnique() ? NA_KEY_UNIQUE : NA_KEY_DUPLICATES;
            if (piOther->bPrimary())
                wFlags |= NA_KEY_PRIMARY;
        }
        m_wKeyFlags = wFlags;
        m_nKeyIndice = static_cast<int32_t>(nKeyIndice);
    }
    m_csNameInSource.Set(piOther->pszGetNameInSource());
    m_csSourceName.Set(piOther->pszGetSourceName());
    return 1;
}

int CNAItemDescription::bCompleteDescriptionCalcul(IInfoRubrique* piInfo)
{
    m_csNameInSource.Set(m_csName.pszGet());
    m_csSourceName.Vide();
    if (piInfo == nullptr)
        return 1;
    m_dwCalculValue = piInfo->dwGetCalculValue();
    const int eQFType = piInfo->eGetQFType();
    if (eQFType == QF_TYPE_NONE || eQFType == QF_TYPE_LAST)
        return 1;

    const int nFunction = piInfo->nGetFunctionCode();
    if (nFunction == kFunctionAnsiResult1 || nFunction == kFunctionAnsiResult2) {
        if (m_eItemType == NA_IT_UNICODE) {
            m_eItemType = NA_IT_TEXTE;
            m_nItemSize /= 2;
            m_clDefaultValue.__SetType(ZLTYPE_PSTRW, 0);
        } else if (m_eItemType == NA_IT_MEMOUNICODE) {
            m_eItemType = NA_IT_MEMOTEXTE;
            m_clDefaultValue.__SetType(ZLTYPE_PSTRW, 0);
        }
        return 1;
    }

    // Engine types 29, 40 and 30 are the memo forms of text, Unicode text
    // and binary: an item that already has the matching plain form keeps it.
    if (eQFType == 29 || eQFType == 40 || eQFType == 30) {
        if ((eQFType == 29 && m_eItemType == NA_IT_TEXTE) || (eQFType == 40 && m_eItemType == NA_IT_UNICODE) ||
            (eQFType == 30 && m_eItemType == NA_IT_BINAIRE))
            return 1;
        m_nItemSize = 8;
    } else {
        m_nItemSize = static_cast<uint32_t>(piInfo->nGetSize());
    }

    const eNA_ITEMTYPE eNew = CNADataSourceDescription::g_eGetNAItemType(static_cast<eQFTYPES>(eQFType));
    if (m_eItemType == NA_IT_DECIMAL && eNew != NA_IT_DECIMAL) {
        m_nIntegerPart = 0;
        m_nDecimalPart = 0;
    }
    m_eItemType = eNew;
    _UpdateDefaultValueType();
    return 1;
}

int CNAItemDescription::bTypeMatch(const INAItemDescription* piOther, int bAnsi, int bLenientDates) const
{
    if (piOther == nullptr)
        return 0;
    eNA_ITEMTYPE eThis = m_eItemType;
    uint32_t nThisSize = m_nItemSize;
    eNA_ITEMTYPE eOther = piOther->eNAGetItemType();
    uint32_t nOtherSize = static_cast<uint32_t>(piOther->nGetItemSize());
    if (bAnsi) {
        s_Type2Ansi(&eThis, &nThisSize);
        s_Type2Ansi(&eOther, &nOtherSize);
    }

    if (eThis == eOther) {
        switch (eThis) {
        case NA_IT_TEXTE:
        case NA_IT_HEURE:
        case NA_IT_BINAIRE:
        case NA_IT_UNICODE:
            return nOtherSize <= nThisSize;
        case NA_IT_DECIMAL:
            return piOther->nGetIntegerPart() <= m_nIntegerPart && piOther->nGetDecimalPart() <= m_nDecimalPart;
        case NA_IT_DATETIME:
            return bLenientDates || piOther->nGetDecimalPart() <= m_nDecimalPart;
        default:
            return 1;
        }
    }

    if (bIntegralFamily(eThis)) {
        int nDigits = 0;
        int nDecimals = 0;
        s_bGetDecimalInfo(ConverteItemToZLType(eThis), &nDigits, &nDecimals);
        return bIntegralWithin(eOther, nDigits, nDecimals);
    }
    switch (eThis) {
    case NA_IT_R8:
        return eOther == NA_IT_R4;
    case NA_IT_DATE6:
    case NA_IT_HEURE:
        return eOther == NA_IT_DATETIME && bLenientDates;
    case NA_IT_DATE8:
        return eOther == NA_IT_DATE6 || (eOther == NA_IT_DATETIME && bLenientDates);
    case NA_IT_MEMOTEXTE:
        return eOther == NA_IT_IMAGE || eOther == NA_IT_TEXTE;
    case NA_IT_MEMOBINAIRE4:
    case NA_IT_MEMOBINAIRE:
        return eOther == NA_IT_BINAIRE;
    case NA_IT_DATETIME:
        return eOther == NA_IT_DATE6 || eOther == NA_IT_HEURE || eOther == NA_IT_DATE8;
    case NA_IT_UNICODE:
        return eOther == NA_IT_TEXTE && static_cast<uint64_t>(nOtherSize) <= 2 * static_cast<uint64_t>(nThisSize);
    case NA_IT_MEMOUNICODE:
        return eOther == NA_IT_TEXTE || eOther == NA_IT_MEMOTEXTE || eOther == NA_IT_IMAGE ||
               eOther == NA_IT_UNICODE;
    case NA_IT_DECIMAL:
        return bIntegralWithin(eOther, nGetPrecision(), m_nDecimalPart);
    default:
        return 0;
    }
}
