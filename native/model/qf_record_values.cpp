// The record buffer's values: bytes and runtime values stored into an
// item's slot by the rules of its type, and read back.
//
// Every write stays inside the slot and zeroes what it does not fill; every
// read stays inside the slot, whatever the lengths, texts and descriptions
// the host hands in.
#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/text/any.h"
#include "common/text/any_block_cell.h"
#include "common/text/any_decimal.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/xy_string.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"
#include "native/model/qf_record.h"

namespace {

// Large enough for the storage of every fixed-size runtime type.
constexpr size_t kFixedValueBytes = CAny::TAILLE_VALEUR;
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr unsigned short kReplacementUnit = 0xFFFD;

bool bAnsiTextType(unsigned short nCode)
{
    switch (nCode) {
    case 17:
    case 18:
    case 19:
    case 21:
    case 22:
    case 23:
    case 128:
    case 129:
    case 134:
        return true;
    default:
        return false;
    }
}

void WriteUnit(unsigned char* pby, size_t nUnit, unsigned short wUnit)
{
    std::memcpy(pby + 2 * nUnit, &wUnit, sizeof wUnit);
}

unsigned short ReadUnit(const unsigned char* pby, size_t nUnit)
{
    unsigned short wUnit;
    std::memcpy(&wUnit, pby + 2 * nUnit, sizeof wUnit);
    return wUnit;
}

// 8-bit text: at most width - 1 bytes up to the first zero, then zeros.
void StoreText(unsigned char* pbySlot, uint32_t nWidth, const void* pData, unsigned long nLength)
{
    if (nWidth == 0)
        return;
    size_t n = std::min<unsigned long>(nLength, nWidth - 1);
    if (const void* pZero = std::memchr(pData, 0, n))
        n = static_cast<size_t>(static_cast<const unsigned char*>(pZero) - static_cast<const unsigned char*>(pData));
    std::memcpy(pbySlot, pData, n);
    std::memset(pbySlot + n, 0, nWidth - n);
}

// Wide characters as UTF-16 units, a character above U+FFFF as a surrogate
// pair: a pair that does not fit is dropped whole, and nothing after it is
// written, so the text is cut, never garbled.
void StoreUTF16(unsigned char* pbySlot, uint32_t nWidth, const void* pData, unsigned long nLength)
{
    const size_t nCapacity = nWidth / 2;
    // A character always takes a unit: more than nCapacity of them never fit.
    const size_t nChars = std::min<unsigned long>(nLength / sizeof(wchar_t), nCapacity);
    const unsigned char* pbySource = static_cast<const unsigned char*>(pData);
    size_t nUnits = 0;
    for (size_t i = 0; i < nChars; ++i) {
        uint32_t c;
        std::memcpy(&c, pbySource + i * sizeof(wchar_t), sizeof c);
        if (c >= 0x10000 && c <= kMaxCodePoint) {
            if (nUnits + 2 > nCapacity)
                break;
            c -= 0x10000;
            WriteUnit(pbySlot, nUnits++, static_cast<unsigned short>(0xD800 + (c >> 10)));
            WriteUnit(pbySlot, nUnits++, static_cast<unsigned short>(0xDC00 + (c & 0x3FF)));
        } else {
            if (nUnits + 1 > nCapacity)
                break;
            WriteUnit(pbySlot, nUnits++, c > kMaxCodePoint ? kReplacementUnit : static_cast<unsigned short>(c));
        }
    }
    std::memset(pbySlot + 2 * nUnits, 0, nWidth - 2 * nUnits);
}

// A 16-bit length, at most width - 2 bytes, then zeros.
void StoreBinary(unsigned char* pbySlot, uint32_t nWidth, const void* pData, unsigned long nLength)
{
    if (nWidth < 2) {
        std::memset(pbySlot, 0, nWidth);
        return;
    }
    const uint16_t n = static_cast<uint16_t>(std::min<unsigned long>({nLength, nWidth - 2u, 0xFFFFu}));
    std::memcpy(pbySlot, &n, sizeof n);
    std::memcpy(pbySlot + 2, pData, n);
    std::memset(pbySlot + 2 + n, 0, nWidth - 2u - n);
}

void StoreBytes(unsigned char* pbySlot, uint32_t nWidth, const void* pData, unsigned long nLength)
{
    const size_t n = std::min<unsigned long>(nLength, nWidth);
    std::memcpy(pbySlot, pData, n);
    std::memset(pbySlot + n, 0, nWidth - n);
}

// The units of a slot before its first zero one (all of them without one).
size_t UnitsBeforeZero(const unsigned char* pbySlot, size_t nUnits)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i kZero = _mm_setzero_si128();
    for (; i + 8 <= nUnits; i += 8) {
        const __m128i vUnits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pbySlot + 2 * i));
        const unsigned nZeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(vUnits, kZero)));
        if (nZeros != 0)
            return i + static_cast<size_t>(__builtin_ctz(nZeros)) / 2;
    }
#endif
    while (i < nUnits && ReadUnit(pbySlot, i) != 0)
        ++i;
    return i;
}

// UTF-16 units, none of them zero, to wide characters: a surrogate pair to
// one character, a lone surrogate as it is. At most nUnits characters.
size_t DecodeUTF16(const unsigned char* pbySlot, size_t nUnits, wchar_t* pszOut)
{
    size_t nChars = 0;
    size_t i = 0;
    while (i < nUnits) {
#if defined(__SSE2__)
        // Eight units at a time while none of them is a surrogate (as in
        // most texts): each is its character.
        const __m128i kZero = _mm_setzero_si128();
        const __m128i kSurrogateMask = _mm_set1_epi16(static_cast<short>(0xF800));
        const __m128i kSurrogate = _mm_set1_epi16(static_cast<short>(0xD800));
        for (; i + 8 <= nUnits; i += 8) {
            const __m128i vUnits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pbySlot + 2 * i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(vUnits, kSurrogateMask), kSurrogate)) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pszOut + nChars), _mm_unpacklo_epi16(vUnits, kZero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pszOut + nChars + 4), _mm_unpackhi_epi16(vUnits, kZero));
            nChars += 8;
        }
        if (i == nUnits)
            break;
#endif
        // One unit or one pair, then eight at a time again.
        const uint32_t wUnit = ReadUnit(pbySlot, i);
        if (wUnit >= 0xD800 && wUnit <= 0xDBFF && i + 1 < nUnits) {
            const uint32_t wNext = ReadUnit(pbySlot, i + 1);
            if (wNext >= 0xDC00 && wNext <= 0xDFFF) {
                pszOut[nChars++] = static_cast<wchar_t>(0x10000 + ((wUnit - 0xD800) << 10) + (wNext - 0xDC00));
                i += 2;
                continue;
            }
        }
        pszOut[nChars++] = static_cast<wchar_t>(wUnit);
        ++i;
    }
    return nChars;
}

// UTF-16 units to wide characters (DecodeUTF16). The text ends at the first
// zero unit: the slot's zero padding is no part of the value (a text stored
// and read back is the same text, of the same length).
void ReadUTF16(CAny* pclValue, const unsigned char* pbySlot, uint32_t nWidth)
{
    const size_t nUnits = UnitsBeforeZero(pbySlot, nWidth / 2);
    // A value read again for each record holds a block of its own that
    // usually has the room: the characters go straight into it, as the
    // assignment below would copy them there.
    if (nUnits > 0 && pclValue->nGetTypeCode() == ZLTYPE_DSTRW) {
        TAnyBlocEmprunte<CXYString<wchar_t>> text(pclValue->_pbyGetValeur());
        const unsigned char* pbyBlock = reinterpret_cast<const unsigned char*>(text.ptGetBuffer());
        if (pbyBlock != nullptr && CBaseStrMem::s_nGetRefCount(pbyBlock) == 1 &&
            static_cast<size_t>(text.nGetCapacite()) >= nUnits) {
            const size_t nChars = DecodeUTF16(pbySlot, nUnits, text.ptGetBuffer());
            (void)text._nSetUtilLength(static_cast<int>(nChars));
            text._SetFlagsWord(text.dwGetFlags() & ~STRMEM_FLAG_END_MARKER);
            return;
        }
    }
    wchar_t aszLocal[1024];
    std::vector<wchar_t> heap;
    wchar_t* pszOut = aszLocal;
    if (nUnits > std::size(aszLocal)) {
        heap.resize(nUnits);
        pszOut = heap.data();
    }
    const size_t nChars = DecodeUTF16(pbySlot, nUnits, pszOut);
    (void)pclValue->Objet().SetValue(pszOut, nChars * sizeof(wchar_t));
}

// The packed bytes of a decimal need a precision of 1 to 38 and a scale
// within it.
bool bDecimalShape(int nPrecision, int nScale)
{
    return nPrecision >= 1 && nPrecision <= DECIMAL_MAX_PRECISION && nScale >= 0 && nScale <= nPrecision;
}

}  // namespace

void CNAQFRecord::SetItemValue(const INAItemDescription* piItem, const void* pData, unsigned long nLength,
                               unsigned nIndex)
{
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    if (!_bItem(piItem, nIndex, &nOffset, &nWidth, &nByte, &byMask))
        return;
    unsigned char* pbySlot = m_pbyValues + nOffset;
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    const bool bUnicode = eType == NA_IT_UNICODE || eType == NA_IT_MEMOUNICODE;
    if (pData == nullptr || nLength == 0 || (bUnicode && nLength < sizeof(wchar_t))) {
        std::memset(pbySlot, 0, nWidth);
    } else {
        switch (eType) {
        case NA_IT_TEXTE:
        case NA_IT_DATE6:
        case NA_IT_HEURE:
        case NA_IT_DATE8:
            StoreText(pbySlot, nWidth, pData, nLength);
            break;
        case NA_IT_UNICODE:
        case NA_IT_MEMOUNICODE:
            StoreUTF16(pbySlot, nWidth, pData, nLength);
            break;
        case NA_IT_BINAIRE:
            StoreBinary(pbySlot, nWidth, pData, nLength);
            break;
        default:
            StoreBytes(pbySlot, nWidth, pData, nLength);
            break;
        }
    }
    // The flag alone: a memo's marker is not rewritten over what was stored.
    _SetFlag(nByte, byMask, true);
}

void CNAQFRecord::SetItemValue(const INAItemDescription* piItem, const CAny* pclValue, unsigned nIndex)
{
    if (piItem == nullptr)
        return;
    if (pclValue == nullptr || pclValue->bIsNull() || pclValue->nGetTypeCode() == ZLTYPE_VIDE) {
        SetItemValueDefined(piItem, 0, nIndex);
        return;
    }
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    const unsigned short nItemZLType = ConverteItemToZLType(eType);
    const unsigned short nCode = pclValue->nGetTypeCode();

    if (eType == NA_IT_HEURE && nCode == ZLTYPE_DATETIME) {
        // The 8-bit form: the wide one would leave one digit in the slot.
        CDateTimeBase dt;
        std::memcpy(&dt, pclValue->_pbyGetValeur(), sizeof dt);
        char szTime[10] = {};
        dt.nVersHeure(szTime, 9);
        SetItemValue(piItem, szTime, 9, nIndex);
        return;
    }

    CAny clCast;
    const CAny* pclStored = pclValue;
    const bool bUnchanged =
        nCode == nItemZLType || ((eType == NA_IT_DATE8 || eType == NA_IT_HEURE) && bAnsiTextType(nCode));
    if (!bUnchanged) {
        clCast = *pclValue;
        if ((nCode == ZLTYPE_DSTRW || nCode == ZLTYPE_PSTRW) && nItemZLType == ZLTYPE_CARA)
            (void)clCast.__nCastTo(ZLTYPE_PSTRA, nullptr, 0);
        (void)clCast.__nCastTo(nItemZLType, nullptr, 0);
        pclStored = &clCast;
    }

    if (eType == NA_IT_DECIMAL) {
        // Brought to the item's precision and scale; a value that is no
        // decimal or does not fit them is not stored as packed bytes of
        // another shape: the element becomes NULL.
        const int nPrecision = piItem->nGetIntegerPart() + piItem->nGetDecimalPart();
        const int nScale = piItem->nGetDecimalPart();
        uint32_t nOffset, nWidth;
        const IDecimal* pclSource = pclStored->nGetTypeCode() == ZLTYPE_DECIMAL
                                        ? CAny_ZLDECIMAL::s_pclGetDecimal(*pclStored)
                                        : nullptr;
        if (pclSource == nullptr || !bDecimalShape(nPrecision, nScale) || !_bSlot(piItem, nIndex, &nOffset, &nWidth) ||
            nWidth < IDecimal::mg_PToN[nPrecision]) {
            SetItemValueDefined(piItem, 0, nIndex);
            return;
        }
        // A decimal of another shape is brought to the item's on a copy: the
        // caller's value stays as it is.
        CAny clDecimal;
        if (pclSource->vnGetPrecision() != nPrecision || pclSource->vnGetScale() != nScale) {
            clDecimal = *pclStored;
            IDecimal* pclCopy = CAny_ZLDECIMAL::s_pclGetDecimal(clDecimal);
            if (pclCopy == nullptr || pclCopy->vnSetPrecisionScale(nPrecision, nScale) != 0) {
                SetItemValueDefined(piItem, 0, nIndex);
                return;
            }
            pclSource = pclCopy;
        }
        unsigned char abyPacked[DECIMAL_FORM_SIZE];
        unsigned long nPacked = 0;
        if (pclSource->vnGetPacked(abyPacked, sizeof abyPacked, &nPacked) != 0) {
            SetItemValueDefined(piItem, 0, nIndex);
            return;
        }
        SetItemValue(piItem, abyPacked, nPacked, nIndex);
        return;
    }

    void* pData = nullptr;
    unsigned long nLength = 0;
    if (pclStored->Objet().nGetDataAdr(&pData) > 99 || pclStored->Objet().nGetUtilDataSize(&nLength) > 99) {
        pData = nullptr;
        nLength = 0;
    }
    SetItemValue(piItem, pData, nLength, nIndex);
}

void CNAQFRecord::GetItemValue(CAny* pclValue, const INAItemDescription* piItem, int nIndex) const
{
    if (pclValue == nullptr)
        return;
    const eNA_ITEMTYPE eType = piItem != nullptr ? piItem->eNAGetItemType() : NA_IT_EMPTY;
    const unsigned short nZLType = ConverteItemToZLType(eType);
    uint32_t nOffset, nWidth, nByte;
    unsigned char byMask;
    pclValue->__SetType(nZLType, 0);
    if (!_bItem(piItem, nIndex, &nOffset, &nWidth, &nByte, &byMask)) {
        pclValue->SetNull();
        return;
    }
    const unsigned char* pbySlot = m_pbyValues + nOffset;

    switch (eType) {
    case NA_IT_BINAIRE: {
        uint16_t nStored = 0;
        if (nWidth >= 2)
            std::memcpy(&nStored, pbySlot, sizeof nStored);
        const unsigned long n = nWidth >= 2 ? std::min<unsigned long>(nStored, nWidth - 2u) : 0;
        (void)pclValue->Objet().SetValue(pbySlot + 2, n);
        break;
    }
    case NA_IT_DECIMAL: {
        const int nPrecision = piItem->nGetIntegerPart() + piItem->nGetDecimalPart();
        const int nScale = piItem->nGetDecimalPart();
        IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(*pclValue);
        if (pclDecimal == nullptr || !bDecimalShape(nPrecision, nScale) || nWidth < IDecimal::mg_PToN[nPrecision] ||
            pclDecimal->vnSetPacked(pbySlot, IDecimal::mg_PToN[nPrecision], nPrecision, nScale) != 0) {
            pclValue->SetNull();
            return;
        }
        break;
    }
    case NA_IT_UNICODE:
    case NA_IT_MEMOUNICODE:
        ReadUTF16(pclValue, pbySlot, nWidth);
        break;
    case NA_IT_TEXTE:
    case NA_IT_MEMOTEXTE:
    case NA_IT_IMAGE:
    case NA_IT_CHAR:
    case NA_IT_DATE6:
    case NA_IT_DATE8:
    case NA_IT_HEURE: {
        // Up to the first zero, and never past the slot.
        const void* pZero = std::memchr(pbySlot, 0, nWidth);
        const size_t nText = pZero != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(pZero) - pbySlot)
                                              : nWidth;
        if (nZLType == ZLTYPE_DSTRA) {
            (void)pclValue->Objet().SetValue(pbySlot, nText);
        } else {
            char szText[kFixedValueBytes + 1] = {};
            std::memcpy(szText, pbySlot, std::min(nText, kFixedValueBytes));
            (void)pclValue->Objet().SetValue(szText);
        }
        break;
    }
    default:
        if (nZLType == ZLTYPE_BIN) {
            (void)pclValue->Objet().SetValue(pbySlot, nWidth);
        } else if (nZLType != ZLTYPE_VIDE) {
            // Zero-padded: a slot narrower than the type reads zero-extended.
            unsigned char abyFixed[kFixedValueBytes] = {};
            std::memcpy(abyFixed, pbySlot, std::min<size_t>(nWidth, kFixedValueBytes));
            (void)pclValue->Objet().SetValue(abyFixed, nWidth);
        }
        break;
    }
    pclValue->ClearFlags();
}

int nCastTo(CAny* pclValue, unsigned short nType, const INAItemDescription* piItem)
{
    if (pclValue == nullptr)
        return ANY_ERR_TYPE;
    const unsigned short nCode = pclValue->nGetTypeCode();
    if (piItem != nullptr && piItem->eNAGetItemType() == NA_IT_HEURE && nType == ZLTYPE_DATETIME &&
        (nCode == ZLTYPE_PSTRA || nCode == ZLTYPE_DSTRA)) {
        const char* pszText = nullptr;
        if (pclValue->Objet().nGetPCASTR(&pszText) > 99 || pszText == nullptr)
            pszText = "";
        CDateTimeBase dt;
        dt.InitDate();
        dt.__SetPartieHeure(pszText);
        const bool bNull = pclValue->bIsNull();
        const int rc = pclValue->SetDATETIME(dt);
        pclValue->SetNull(bNull);
        return rc;
    }
    return pclValue->__nCastTo(nType, nullptr, 0);
}
