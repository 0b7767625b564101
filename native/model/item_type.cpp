// The item types' fixed tables: names, the three translations, the class
// tests, the engine's slot widths and the item type of a number.
#include "native/model/item_type.h"

#include <algorithm>

#include "common/text/any.h"
#include "common/text/decimal_interface.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"

namespace {

constexpr int kItemTypes = 32;

// Runtime type and numeric class by item type.
struct stItemTypeInfo
{
    const wchar_t* pszName;
    unsigned short nZLType;
    bool bNumerical;
};

constexpr stItemTypeInfo kItemTypeInfo[kItemTypes] = {
    {L"NA_IT_EMPTY", ZLTYPE_VIDE, false},
    {L"NA_IT_IDAUTO", ZLTYPE_I8, true},
    {L"NA_IT_TEXTE", ZLTYPE_DSTRA, false},
    {L"NA_IT_I2", ZLTYPE_I2, true},
    {L"NA_IT_I1", ZLTYPE_I1, true},
    {L"NA_IT_I4", ZLTYPE_I4, true},
    {L"NA_IT_R4", ZLTYPE_R4, true},
    {L"NA_IT_R8", ZLTYPE_R8, true},
    {nullptr, ZLTYPE_VIDE, false},
    {L"NA_IT_UI2", ZLTYPE_UI2, true},
    {L"NA_IT_DATE6", ZLTYPE_DATEA, false},
    {L"NA_IT_HEURE", ZLTYPE_TIMEA, false},
    {L"NA_IT_UI1", ZLTYPE_UI1, true},
    {L"NA_IT_REELTURBO", ZLTYPE_R8, true},
    {L"NA_IT_DATE8", ZLTYPE_DATEA, false},
    {L"NA_IT_MEMOTEXTE", ZLTYPE_DSTRA, false},
    {L"NA_IT_MEMOBINAIRE4", ZLTYPE_BIN, false},
    {L"NA_IT_MONETAIRE", ZLTYPE_CY, true},
    {L"NA_IT_MEMOBINAIRE", ZLTYPE_BIN, false},
    {L"NA_IT_I8", ZLTYPE_I8, true},
    {L"NA_IT_UI8", ZLTYPE_UI8, true},
    {L"NA_IT_IMAGE", ZLTYPE_DSTRA, false},
    {L"NA_IT_UI4", ZLTYPE_UI4, true},
    {L"NA_IT_BINAIRE", ZLTYPE_BIN, false},
    {L"NA_IT_DATETIME", ZLTYPE_DATETIME, false},
    {L"NA_IT_TIMELENGHT", ZLTYPE_DUREE, true},
    {L"NA_IT_CHAR", ZLTYPE_CARA, false},
    {L"NA_IT_BOOLEEN", ZLTYPE_BOOL, true},
    {L"NA_IT_IDAUTO4", ZLTYPE_I4, true},
    {L"NA_IT_UNICODE", ZLTYPE_DSTRW, false},
    {L"NA_IT_MEMOUNICODE", ZLTYPE_DSTRW, false},
    {L"NA_IT_DECIMAL", ZLTYPE_DECIMAL, true},
};

bool bKnown(eNA_ITEMTYPE eType)
{
    return static_cast<uint32_t>(eType) < kItemTypes;
}

// Runtime type to item type, by runtime code; codes not listed give 0.
struct stZLToItem
{
    unsigned short nZLType;
    eNA_ITEMTYPE eType;
};

constexpr stZLToItem kZLToItem[] = {
    {ZLTYPE_BOOL, NA_IT_BOOLEEN},     {ZLTYPE_UI1, NA_IT_UI1},        {ZLTYPE_UI2, NA_IT_UI2},
    {ZLTYPE_UI4, NA_IT_UI4},          {ZLTYPE_UI8, NA_IT_UI8},        {ZLTYPE_I1, NA_IT_I1},
    {ZLTYPE_I2, NA_IT_I2},            {ZLTYPE_I4, NA_IT_I4},          {ZLTYPE_I8, NA_IT_I8},
    {ZLTYPE_CY, NA_IT_MONETAIRE},     {ZLTYPE_R4, NA_IT_R4},          {ZLTYPE_R8, NA_IT_R8},
    {ZLTYPE_DECIMAL, NA_IT_DECIMAL},  {ZLTYPE_UIX, NA_IT_UI4},        {ZLTYPE_DSTRW, NA_IT_MEMOUNICODE},
    {ZLTYPE_CARA, NA_IT_CHAR},        {ZLTYPE_PSTRA, NA_IT_TEXTE},    {ZLTYPE_DSTRA, NA_IT_MEMOTEXTE},
    {ZLTYPE_DATEW, NA_IT_DATE8},      {ZLTYPE_TIMEW, NA_IT_HEURE},    {ZLTYPE_DATETIME, NA_IT_DATETIME},
    {ZLTYPE_DUREE, NA_IT_TIMELENGHT}, {ZLTYPE_BIN, NA_IT_MEMOBINAIRE}, {ZLTYPE_CARW, NA_IT_UNICODE},
    {ZLTYPE_PSTRW, NA_IT_UNICODE},    {ZLTYPE_DATEA, NA_IT_DATE8},    {ZLTYPE_TIMEA, NA_IT_HEURE},
};

// The host engine's types 0-41.
constexpr eNA_ITEMTYPE kQFToItem[QF_TYPE_LAST + 1] = {
    NA_IT_EMPTY,       NA_IT_MEMOTEXTE,   NA_IT_TEXTE,     NA_IT_I2,          NA_IT_I1,
    NA_IT_I4,          NA_IT_R4,          NA_IT_R8,        NA_IT_I2,          NA_IT_UI2,
    NA_IT_DATE6,       NA_IT_HEURE,       NA_IT_CHAR,      NA_IT_REELTURBO,   NA_IT_DATE8,
    NA_IT_MEMOTEXTE,   NA_IT_MEMOTEXTE,   NA_IT_MONETAIRE, NA_IT_MEMOBINAIRE, NA_IT_MEMOTEXTE,
    NA_IT_MEMOTEXTE,   NA_IT_MEMOTEXTE,   NA_IT_MEMOTEXTE, NA_IT_IMAGE,       NA_IT_IDAUTO,
    NA_IT_I8,          NA_IT_UI4,         NA_IT_UI8,       NA_IT_BINAIRE,     NA_IT_MEMOTEXTE,
    NA_IT_MEMOBINAIRE, NA_IT_MEMOTEXTE,   NA_IT_MEMOTEXTE, NA_IT_I4,          NA_IT_DATETIME,
    NA_IT_TIMELENGHT,  NA_IT_UI1,         NA_IT_BOOLEEN,   NA_IT_IDAUTO4,     NA_IT_UNICODE,
    NA_IT_MEMOUNICODE, NA_IT_DECIMAL,
};

}  // namespace

const wchar_t* g_pszGetNAItemTypeName(eNA_ITEMTYPE eType)
{
    const wchar_t* psz = bKnown(eType) ? kItemTypeInfo[eType].pszName : nullptr;
    return psz != nullptr ? psz : L"Type inconnu";
}

unsigned short ConverteItemToZLType(eNA_ITEMTYPE eType, int)
{
    return bKnown(eType) ? kItemTypeInfo[eType].nZLType : ZLTYPE_VIDE;
}

unsigned short ConverteItemToZLType(const INAItemDescription* piItem)
{
    return piItem != nullptr ? ConverteItemToZLType(piItem->eNAGetItemType()) : ZLTYPE_VIDE;
}

eNA_ITEMTYPE ConvertZLTypeToeItem(unsigned short nZLType)
{
    for (const stZLToItem& entry : kZLToItem) {
        if (entry.nZLType == nZLType)
            return entry.eType;
    }
    return NA_IT_EMPTY;
}

int bIsTextUnicode(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_UNICODE || eType == NA_IT_MEMOUNICODE;
}

int bIsTextAnsi(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_TEXTE || eType == NA_IT_MEMOTEXTE;
}

int bIsTextAW(eNA_ITEMTYPE eType)
{
    return bIsTextAnsi(eType) || bIsTextUnicode(eType);
}

eNA_ITEMTYPE CNADataSourceDescription::g_eGetNAItemType(eQFTYPES eQFType)
{
    const uint32_t nCode = static_cast<uint32_t>(eQFType);
    return nCode <= QF_TYPE_LAST ? kQFToItem[nCode] : NA_IT_MEMOTEXTE;
}

int CNAItemDescription::bNumerical() const
{
    return bKnown(m_eItemType) && kItemTypeInfo[m_eItemType].bNumerical;
}

int CNAItemDescription::g_bIsMemo(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_MEMOTEXTE || eType == NA_IT_MEMOBINAIRE || eType == NA_IT_MEMOUNICODE;
}

int CNAItemDescription::g_bIsMemoText(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_MEMOTEXTE || eType == NA_IT_MEMOUNICODE;
}

int CNAItemDescription::g_bIsMemoBinary(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_MEMOBINAIRE;
}

uint64_t CNAItemDescription::s_nGetQFSize(eNA_ITEMTYPE eType, uint64_t nSize, int nDigits)
{
    switch (eType) {
    case NA_IT_IDAUTO:
    case NA_IT_R8:
    case NA_IT_MEMOTEXTE:
    case NA_IT_MEMOBINAIRE:
    case NA_IT_I8:
    case NA_IT_UI8:
    case NA_IT_DATETIME:
    case NA_IT_TIMELENGHT:
    case NA_IT_MEMOUNICODE:
        return 8;
    case NA_IT_TEXTE:
        return nSize + 1;
    case NA_IT_I2:
    case NA_IT_UI2:
        return 2;
    case NA_IT_I1:
    case NA_IT_UI1:
    case NA_IT_CHAR:
    case NA_IT_BOOLEEN:
        return 1;
    case NA_IT_I4:
    case NA_IT_R4:
    case NA_IT_UI4:
    case NA_IT_IDAUTO4:
        return 4;
    case NA_IT_HEURE:
        return nDigits > 0 ? 5 + static_cast<uint64_t>(std::min(nDigits, 5)) : 5;
    case NA_IT_DATE8:
        return 9;
    case NA_IT_MONETAIRE:
        return 10;
    case NA_IT_IMAGE:
    case NA_IT_UNICODE:
        return 4 * nSize + 4;
    case NA_IT_BINAIRE:
        return nSize + 2;
    case NA_IT_DECIMAL:
        if (nDigits == 0)
            return DECIMAL_FORM_SIZE;
        return nDigits > 0 && nDigits <= DECIMAL_MAX_PRECISION ? IDecimal::mg_PToN[nDigits] : 0;
    default:
        return 0;
    }
}

void CNAItemDescription::s_Type2Ansi(eNA_ITEMTYPE* peType, uint32_t* pnSize)
{
    if (peType == nullptr)
        return;
    if (*peType == NA_IT_UNICODE) {
        *peType = NA_IT_TEXTE;
        if (pnSize != nullptr)
            *pnSize >>= 1;
    } else if (*peType == NA_IT_MEMOUNICODE) {
        *peType = NA_IT_MEMOTEXTE;
    }
}

void CNAItemDescription::s_GetTypeFromFormat(int nIntegerDigits, int nDecimalDigits, eNA_ITEMTYPE* peType,
                                             uint32_t* pnSize)
{
    eNA_ITEMTYPE eType = NA_IT_R8;
    uint32_t nSize = 8;
    const int64_t nSum = static_cast<int64_t>(nIntegerDigits) + nDecimalDigits;
    if (nIntegerDigits < 0 || nDecimalDigits < 0) {
        // An 8-byte real.
    } else if (nDecimalDigits == 0 && nIntegerDigits <= 18) {
        // 19 integer digits reach 9,999,999,999,999,999,999, past the 64-bit
        // integers: they are left to the decimal below.
        if (nIntegerDigits == 0) {
        } else if (nIntegerDigits <= 2) {
            eType = NA_IT_I1, nSize = 1;
        } else if (nIntegerDigits <= 4) {
            eType = NA_IT_I2, nSize = 2;
        } else if (nIntegerDigits <= 9) {
            eType = NA_IT_I4, nSize = 4;
        } else {
            eType = NA_IT_I8, nSize = 8;
        }
    } else if (nDecimalDigits < 7 && nIntegerDigits <= 10) {
        eType = NA_IT_MONETAIRE, nSize = 10;
    } else if (nIntegerDigits <= DECIMAL_MAX_PRECISION && nDecimalDigits <= DECIMAL_MAX_PRECISION &&
               nSum <= DECIMAL_MAX_PRECISION) {
        eType = NA_IT_DECIMAL;
        nSize = nSum == 0 ? static_cast<uint32_t>(DECIMAL_FORM_SIZE) : IDecimal::mg_PToN[nSum];
    }
    if (peType != nullptr)
        *peType = eType;
    if (pnSize != nullptr)
        *pnSize = nSize;
}

int CNAItemDescription::s_bGetDecimalInfo(unsigned short nZLType, int* pnDigits, int* pnDecimals)
{
    int nDigits = 0;
    int nDecimals = 0;
    switch (nZLType) {
    case ZLTYPE_BOOL:
        nDigits = 1;
        break;
    case ZLTYPE_UI1:
    case ZLTYPE_I1:
        nDigits = 3;
        break;
    case ZLTYPE_UI2:
    case ZLTYPE_I2:
        nDigits = 5;
        break;
    case ZLTYPE_UI4:
    case ZLTYPE_I4:
    case ZLTYPE_UIX:
        nDigits = 10;
        break;
    case ZLTYPE_UI8:
    case ZLTYPE_I8:
    case ZLTYPE_DUREE:
        nDigits = 19;
        break;
    case ZLTYPE_CY:
        nDigits = 33;
        nDecimals = 5;
        break;
    default:
        if (pnDecimals != nullptr)
            *pnDecimals = 0;
        return 0;
    }
    if (pnDigits != nullptr)
        *pnDigits = nDigits;
    if (pnDecimals != nullptr)
        *pnDecimals = nDecimals;
    return 1;
}
