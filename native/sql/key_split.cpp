// The component values of a composite key: split out of a value the host
// gives for the whole key, or read from the record's columns; the column
// comparison by name that orders column lists.
//
// The value comes from the host: its length is whatever it is. Every
// component is read through a zero-filled copy of its type's size, never
// past the value's bytes, and a length prefix is bounded by the bytes left.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/text/any.h"
#include "common/text/any_decimal.h"
#include "common/text/decimal_interface.h"
#include "common/text/str_compare.h"
#include "common/text/unicode_units.h"
#include "native/model/column.h"
#include "native/model/item_type.h"
#include "native/model/variant_any.h"
#include "native/model/zl_type_groups.h"
#include "native/sql/search.h"

namespace {

// The UTF-16 texts of the host's key values.
bool bUtf16Code(unsigned short nCode)
{
    return nCode == 16 || nCode == 20 || nCode == 24 || nCode == 25 || nCode == 81 || nCode == 110;
}

// The bytes a fixed-size type needs; 0 for the types read whatever the width
// (texts, booleans stored in one byte, byte buffers, decimals).
size_t nFixedBytes(unsigned short nCode)
{
    switch (nCode) {
    case ZLTYPE_UI1:
    case ZLTYPE_I1:
        return 1;
    case ZLTYPE_UI2:
    case ZLTYPE_I2:
        return 2;
    case ZLTYPE_UI4:
    case ZLTYPE_I4:
    case ZLTYPE_UIX:
    case ZLTYPE_R4:
        return 4;
    case ZLTYPE_UI8:
    case ZLTYPE_I8:
    case ZLTYPE_R8:
    case ZLTYPE_DATETIME:
    case ZLTYPE_DUREE:
        return 8;
    case ZLTYPE_CY:
        return 10;
    default:
        return 0;
    }
}

// A value of the component's runtime type read from the n bytes there are
// (a whole or a partial component, zero-filled up to the type's size).
// False when the type needs more bytes than the component's width.
bool bReadComponent(const CNAColumn* pclColumn, unsigned short nCode, const unsigned char* pby, size_t n,
                    size_t nWidth, CAny* pclValue)
{
    if (bUtf16Code(nCode)) {
        // UTF-16 units become the runtime's wide text, cut at the first 0.
        const size_t nUnits = n / 2;
        std::vector<unsigned short> units(nUnits + 1, 0);
        if (nUnits > 0)
            std::memcpy(units.data(), pby, nUnits * 2);
        const size_t nLen = utf16len(units.data());
        std::vector<wchar_t> wide(nLen + 1, L'\0');
        const int nChars = nLen > 0 ? UTF16ToWideChar(units.data(), static_cast<int>(nLen), wide.data(),
                                                      static_cast<int>(nLen + 1))
                                    : 0;
        pclValue->__SetType(ZLTYPE_DSTRW, 0);
        return NA_nSetAnyWide(*pclValue, wide.data(), nChars > 0 ? static_cast<size_t>(nChars) : 0) <= 99;
    }
    if (nCode == ZLTYPE_DATEA || nCode == ZLTYPE_TIMEA) {
        size_t nLen = n;
        while (nLen > 0 && pby[nLen - 1] == 0)
            --nLen;
        nLen = std::min<size_t>(nLen, 10);
        pclValue->__SetType(nCode, 0);
        return NA_nSetAnyAnsi(*pclValue, reinterpret_cast<const char*>(pby), nLen) <= 99;
    }
    if (NA_bAnsiStringCode(nCode)) {
        const void* pEnd = std::memchr(pby, 0, n);
        const size_t nLen = pEnd != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(pEnd) - pby) : n;
        pclValue->__SetType(nCode, 0);
        return NA_nSetAnyAnsi(*pclValue, reinterpret_cast<const char*>(pby), nLen) <= 99;
    }
    if (nCode == ZLTYPE_DECIMAL) {
        pclValue->__SetType(ZLTYPE_DECIMAL, 0);
        IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(*pclValue);
        const int nPrecision = pclColumn->nGetIntegerPart() + pclColumn->nGetDecimalPart();
        const int nScale = pclColumn->nGetDecimalPart();
        if (pclDecimal == nullptr || nPrecision < 1 || nPrecision > DECIMAL_MAX_PRECISION || nScale < 0 ||
            nScale > nPrecision)
            return false;
        unsigned char abyPacked[DECIMAL_KEY_SIZE] = {};
        const size_t nPacked = IDecimal::mg_PToN[nPrecision];
        std::memcpy(abyPacked, pby, std::min(n, nPacked));
        if (pclDecimal->vnSetPacked(abyPacked, nPacked, nPrecision, nScale) != 0)
            return false;
        pclValue->ClearFlags();
        return true;
    }
    if (nCode == ZLTYPE_BIN)
        return pclValue->SetBIN(pby, n) <= 99;
    if (nFixedBytes(nCode) > nWidth)
        return false;
    pclValue->__SetType(nCode, 0);
    // Zero-filled up to the type's size: never read past the bytes given.
    return NA_nSetAnyBytes(*pclValue, pby, static_cast<unsigned long>(n)) <= 99;
}

}  // namespace

int CNAKeyValues::bAdd(const CAny& clValue)
{
    CAny* pclCopy = new (std::nothrow) CAny(clValue);
    if (pclCopy == nullptr)
        return 0;
    if (!m_tab.Ajoute(pclCopy)) {
        delete pclCopy;
        return 0;
    }
    return 1;
}

void CNAKeyValues::Reset()
{
    for (int n = 0; n < m_tab.nGetNbElement(); ++n)
        delete m_tab[n];
    m_tab.SupprimeDernier(m_tab.nGetNbElement());
    m_bLastIsFiller = 0;
}

void CNARecherche::_GetComponentValue(const CColumnArray* pclComponents, const CAny* pclValue,
                                      CNAKeyValues* pclValues, int* pbEndMin, int* pbEndMax, unsigned nOptions)
{
    *pbEndMin = 0;
    *pbEndMax = 0;
    if (pclComponents == nullptr || pclValue == nullptr || pclValue->bIsNull())
        return;
    unsigned long nData = 0;
    const unsigned char* pby = static_cast<const unsigned char*>(NA_pGetAnyData(*pclValue, &nData));
    if (pby == nullptr)
        return;
    const size_t nSize = std::min<unsigned long>(NA_nGetAnyUtilSize(*pclValue), nData);
    size_t nAt = 0;
    for (int i = 0; i < pclComponents->nGetNbElement() && nAt < nSize; ++i) {
        const CNAColumn* pclColumn = (*pclComponents)[i];
        if (pclColumn == nullptr)
            return;
        const unsigned short nCode = pclColumn->eGetZLType();
        size_t nWidth = static_cast<size_t>(std::max(0, pclColumn->nGetLogicalSize()));
        if (bUtf16Code(nCode))
            nWidth *= 2;
        if (pclColumn->bBinaryString()) {
            // The length before the bytes; a length claiming more than is
            // left takes what is left.
            if (nSize - nAt < 2)
                return;
            uint16_t nLen = 0;
            std::memcpy(&nLen, pby + nAt, sizeof nLen);
            nAt += 2;
            nWidth = std::min<size_t>(nLen, nSize - nAt);
        }
        const size_t nLeft = nSize - nAt;
        CAny clComponent;
        if (nLeft >= nWidth) {
            if (!bReadComponent(pclColumn, nCode, pby + nAt, nWidth, nWidth, &clComponent))
                return;
            nAt += nWidth;
        } else {
            // The last, incomplete component.
            const unsigned char* pbyLeft = pby + nAt;
            nAt = nSize;
            bool bFiller = false;
            if ((nOptions & (NA_SEARCH_SPLIT | NA_SEARCH_GENERIC)) != 0 && nCode != ZLTYPE_UI1 &&
                nCode != ZLTYPE_I1) {
                if (pbyLeft[0] == 0xFF)
                    *pbEndMax = 1;
                if (nLeft == 1 && pbyLeft[0] == 0)
                    *pbEndMin = 1;
                if (bUtf16Code(nCode) && nLeft == 2 && pbyLeft[0] == 0 && pbyLeft[1] == 0)
                    *pbEndMin = 1;
                bFiller = (*pbEndMax || *pbEndMin) && !NA_bTextTargetCode(nCode);
            }
            if (bFiller) {
                // A filler of a non-text type stands for its type's bound,
                // which is kept only when its bytes are all there.
                const size_t nNeeded = nFixedBytes(nCode);
                if (nNeeded > nLeft)
                    return;
                clComponent.__SetType(nCode, 0);
                if (*pbEndMax)
                    s_SetAnyToMax(&clComponent);
                else
                    s_SetAnyToMin(&clComponent);
            } else if (!bReadComponent(pclColumn, nCode, pbyLeft, nLeft, nWidth, &clComponent)) {
                return;
            }
        }
        if (!pclValues->bAdd(clComponent))
            return;
        pclValues->SetLastIsFiller(nAt == nSize && (*pbEndMin || *pbEndMax));
    }
}

void CNARecherche::_GetComponentValueFromRecord(const CColumnArray* pclComponents, CNAKeyValues* pclValues)
{
    if (pclComponents == nullptr)
        return;
    for (int i = 0; i < pclComponents->nGetNbElement(); ++i) {
        CNAColumn* pclColumn = (*pclComponents)[i];
        CAny clValue;
        if (pclColumn == nullptr || !pclColumn->bGetCurrentValue(&clValue, 0) || !pclValues->bAdd(clValue))
            return;
    }
}

int fnCmpCol(const void* pA, const void* pB)
{
    const CNAColumn* pclA = *static_cast<const CNAColumn* const*>(pA);
    const CNAColumn* pclB = *static_cast<const CNAColumn* const*>(pB);
    return STR_nCompareW(pclA->pszGetName(), pclB->pszGetName(), 3);
}
