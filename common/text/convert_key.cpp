// Runtime values to sortable keys: the item type of each runtime type, the
// value's bytes and size, and the descending form.
#include "common/text/convert_key.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/text/any.h"
#include "common/text/any_decimal.h"
#include "common/text/decimal_interface.h"
#include "common/text/vm_binding.h"

namespace {

// Runtime type code (1-129) to intermediate code; 0 and other codes give 5.
constexpr unsigned char kIntermediaire[130] = {
    5,                                       // 0
    37, 36, 9, 26, 27, 4, 3, 5, 25, 17,      // 1-10
    6, 7, 41, 5, 5, 40, 12, 2, 2, 5,         // 11-20
    2, 2, 2, 14, 11, 34, 35, 28, 30, 5,      // 21-30
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 31-40
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 41-50
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 51-60
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 61-70
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 71-80
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 81-90
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 91-100
    5, 5, 5, 5, 5, 5, 5, 5, 5, 39,           // 101-110
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5,            // 111-120
    5, 5, 5, 5, 5, 5, 5, 14, 11,             // 121-129
};

// Intermediate code (0-41) to item type; -1 for none.
constexpr signed char kItem[42] = {
    -1, -1, 1, 3, 2, 4, 6, 7, 9, 9,          // 0-9
    1, 1, 18, 7, 1, 12, 12, 14, 13, -1,      // 10-19
    -1, -1, -1, 1, 5, 5, 10, 11, 17, 12,     // 20-29
    13, -1, -1, 4, 15, 16, 8, 19, 4, 20,     // 30-39
    21, 22,                                  // 40-41
};

bool bTexteLarge(unsigned short nType)
{
    return nType == ZLTYPE_DSTRW || nType == ZLTYPE_PSTRW;
}

// A decimal brought to the column's digits, as its packed form. False
// without a factory or a decimal.
bool bDecimalCompacte(const CAny& v, int nPrecision, int nScale, unsigned char* pby, unsigned long* pn,
                      int* pnPrecision, int* pnScale)
{
    const IDecimal* pSource = CAny_ZLDECIMAL::s_pclGetDecimal(v);
    if (pSource == nullptr || gpiVMFactory == nullptr)
        return false;
    IDecimal* pTravail = gpiVMFactory->vpclCreateDecimal(0);
    if (pTravail == nullptr)
        return false;
    pTravail->vCopy(pSource);
    const bool bDigitsValides =
        nPrecision >= 1 && nPrecision <= DECIMAL_MAX_PRECISION && nScale >= 0 && nScale <= nPrecision;
    if (bDigitsValides && pTravail->vnSetPrecisionScale(nPrecision, nScale) != 0) {
        // Too many integer digits for the column: the value keys at the
        // column's end on its side.
        IDecimal* pBorne = gpiVMFactory->vpclCreateDecimal(0);
        if (pBorne != nullptr && pBorne->vnSetPrecisionScale(nPrecision, nScale) == 0) {
            if (pSource->vbIsNegative())
                pBorne->vSetMin();
            else
                pBorne->vSetMax();
            pTravail->vCopy(pBorne);
        }
        gpiVMFactory->vReleaseDecimal(pBorne);
    }
    *pnPrecision = pTravail->vnGetPrecision();
    *pnScale = pTravail->vnGetScale();
    const bool bOk = pTravail->vnGetPacked(pby, 16, pn) == 0;
    gpiVMFactory->vReleaseDecimal(pTravail);
    return bOk;
}

}  // namespace

eITEMTYPE CConvertKey::s_nGetItemType(unsigned short nRuntimeType)
{
    const unsigned nCode = nRuntimeType <= 129 ? kIntermediaire[nRuntimeType] : 5;
    return static_cast<eITEMTYPE>(nCode < 42 ? kItem[nCode] : -1);
}

void CConvertKey::__InvertKey(unsigned char* pKey, unsigned long nLength)
{
    if (pKey == nullptr)
        return;
    unsigned long i = 0;
    for (; i + 4 <= nLength; i += 4) {
        uint32_t w;
        std::memcpy(&w, pKey + i, sizeof w);
        w = ~w;
        std::memcpy(pKey + i, &w, sizeof w);
    }
    for (; i < nLength; ++i)
        pKey[i] = static_cast<unsigned char>(~pKey[i]);
}

int CConvertKey::__nConvertTypedKey(const CAny* pValue, unsigned char** ppKey, unsigned long nWidth,
                                    unsigned short nType, unsigned short nOptions, int nEntiers, int nDecimales)
{
    if (ppKey == nullptr)
        return 0;
    if (nWidth == 0)
        *ppKey = nullptr;
    if (pValue == nullptr)
        return 0;
    if (nType == 0)
        nType = pValue->nGetTypeCode();
    const int nPrecisionCol = nEntiers + nDecimales;
    int nPrecision = nPrecisionCol, nScale = nDecimales;

    // The value's bytes and their size; nothing is read beyond the size the
    // value reports.
    const void* pData = nullptr;
    unsigned long nSize = 0;
    unsigned char abyLocal[20];
    int nTextFlags = 0;
    if (nType == ZLTYPE_DECIMAL) {
        if (bDecimalCompacte(*pValue, nPrecisionCol, nDecimales, abyLocal, &nSize, &nPrecision, &nScale))
            pData = abyLocal;
        else
            nSize = 0;
    } else {
        void* p = nullptr;
        unsigned long n = 0;
        if (pValue->Objet().nGetDataAdr(&p) < 100 && pValue->Objet().nGetUtilDataSize(&n) < 100 && p != nullptr) {
            pData = p;
            nSize = n;
            if (nType == ZLTYPE_BOOL)
                nSize = 1;
            else if (nType == ZLTYPE_PSTRA || nType == ZLTYPE_DSTRA)
                nSize += 1;  // the terminator
            else if (bTexteLarge(nType))
                nSize += sizeof(wchar_t);
        }
        if (pData != nullptr && (nType == ZLTYPE_DATEW || nType == ZLTYPE_TIMEW)) {
            // Digits of 32-bit characters as bytes, then a terminator, as the
            // 8-bit date texts give them.
            const unsigned long nCars = nSize / sizeof(wchar_t) < 9 ? nSize / sizeof(wchar_t) : 9;
            for (unsigned long i = 0; i < nCars; ++i) {
                uint32_t c;
                std::memcpy(&c, static_cast<const unsigned char*>(pData) + 4 * i, sizeof c);
                abyLocal[i] = static_cast<unsigned char>(c < 0x80 ? c : '?');
            }
            abyLocal[nCars] = 0;
            pData = abyLocal;
            nSize = nCars + 1;
        }
        if (bTexteLarge(nType)) {
            nTextFlags = QFKEY_TEXTE_32;
            nOptions = static_cast<unsigned short>(nOptions | QFKEY_UNITES_BIG_ENDIAN);
        }
    }

    const eITEMTYPE nItem = s_nGetItemType(nType);
    if (nWidth == 0) {
        nWidth = CQFConvertKey::nCalculateKeySize(nItem, nSize);
        if (nWidth == 0)
            return 0;
        *ppKey = static_cast<unsigned char*>(std::malloc(nWidth));
    }
    unsigned char* const pKey = *ppKey;
    if (pKey == nullptr)
        return 0;
    // A reused buffer keeps nothing of an earlier key.
    std::memset(pKey, 0, nWidth);
    const int nResultat = CQFConvertKey::__nConvertKey(pKey, nWidth, pData, nSize, nItem, nOptions, nPrecision,
                                                       nScale, 0, nTextFlags);
    if (nOptions & QFKEY_DESCENDANT)
        __InvertKey(pKey, nWidth);
    return nResultat;
}

int CConvertKey::__nConvertInitialKey(unsigned char** ppKey, unsigned long nWidth, unsigned short nType,
                                      unsigned short nOptions, int nEntiers, int nDecimales)
{
    CAny v;
    v.__SetType(nType, 0);
    return __nConvertTypedKey(&v, ppKey, nWidth, nType, nOptions, nEntiers, nDecimales);
}

int CConvertKey::_nConvertKeyAndGetSize(CAny* pValue, unsigned char** ppKey, unsigned long nWidth,
                                        unsigned short nType, unsigned short nOptions, int nEntiers, int nDecimales)
{
    if (ppKey == nullptr)
        return 0;
    if (nWidth == 0)
        *ppKey = nullptr;
    if (pValue == nullptr)
        return 0;
    const bool bNull = pValue->bIsNull() || pValue->nGetTypeCode() == ZLTYPE_VIDE;
    if (bNull) {
        pValue->__SetType(ZLTYPE_PSTRW, 0);
        pValue->Objet().SetValue(L"");
        pValue->ClearFlags();
    }
    if (nType == 0)
        nType = pValue->nGetTypeCode();
    if (bNull)
        return __nConvertInitialKey(ppKey, nWidth, nType, nOptions, nEntiers, nDecimales);
    // A copy is cast, never the caller's value; the cast's outcome decides
    // which value is keyed, so that nothing is read as a type it is not.
    CAny clTemp(*pValue);
    if (clTemp.__nCastTo(nType, nullptr, 1) >= 100 || clTemp.bIsNull())
        return __nConvertInitialKey(ppKey, nWidth, nType, nOptions, nEntiers, nDecimales);
    return __nConvertTypedKey(&clTemp, ppKey, nWidth, nType, nOptions, nEntiers, nDecimales);
}

int CConvertKey::nConvertKeyAndGetSize(CAny* pValue, unsigned char* pKey, unsigned long nWidth, unsigned short nType,
                                       unsigned short nOptions, int nEntiers, int nDecimales)
{
    if (pKey == nullptr || nWidth == 0)
        return 0;
    return _nConvertKeyAndGetSize(pValue, &pKey, nWidth, nType, nOptions, nEntiers, nDecimales);
}

int CConvertKey::nConvertKeyAndGetSize(CAny* pValue, unsigned char** ppKey, unsigned short nType,
                                       unsigned short nOptions, int nEntiers, int nDecimales)
{
    return _nConvertKeyAndGetSize(pValue, ppKey, 0, nType, nOptions, nEntiers, nDecimales);
}
