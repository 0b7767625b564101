// Key widths, the encoder's dispatch by item type and the fixed-width
// encodings.
#include "common/text/qf_convert_key.h"

#include <cstdint>
#include <cstring>

#include "common/text/convert_key.h"
#include "common/text/money.h"

namespace {

// The n bytes of little-endian data, most significant first, the top bit of
// the first flipped when the number is signed.
void GrosBoutiste(unsigned char* pKey, const unsigned char* pData, size_t n, bool bSigne)
{
    for (size_t i = 0; i < n; ++i)
        pKey[i] = pData[n - 1 - i];
    if (bSigne)
        pKey[0] ^= 0x80;
}

}  // namespace

unsigned long CQFConvertKey::nCalculateKeySize(eITEMTYPE nType, unsigned long n)
{
    switch (nType) {
    case QFIT_TEXTE:
    case QFIT_TEXTE_FIXE:
        return n + 1;
    case QFIT_BIN:
        return 2 * n;
    case QFIT_UNICODE:
    case QFIT_UNICODE_DYN:
        return 2 * n + 2;
    case QFIT_DECIMAL:
        return 32;
    default:
        return n;
    }
}

unsigned long CQFConvertKey::nCalculateKeySize(unsigned short nRuntimeType, unsigned long n)
{
    return nCalculateKeySize(CConvertKey::s_nGetItemType(nRuntimeType), n);
}

void CQFConvertKey::_I1_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    pKey[0] = static_cast<unsigned char>(pData[0] ^ 0x80);
}

void CQFConvertKey::_UI1_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    pKey[0] = pData[0];
}

void CQFConvertKey::_I2_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 2, true);
}

void CQFConvertKey::_UI2_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 2, false);
}

void CQFConvertKey::_I4_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 4, true);
}

void CQFConvertKey::_UI4_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 4, false);
}

void CQFConvertKey::_I8_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 8, true);
}

void CQFConvertKey::_UI8_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 8, false);
}

void CQFConvertKey::__Rx_to_Key(unsigned char* pKey, const unsigned char* pData, size_t nBytes)
{
    const bool bNegatif = (pData[nBytes - 1] & 0x80) != 0;
    for (size_t i = 0; i < nBytes; ++i) {
        const unsigned char b = pData[nBytes - 1 - i];
        pKey[i] = bNegatif ? static_cast<unsigned char>(~b) : b;
    }
    if (!bNegatif)
        pKey[0] |= 0x80;
}

void CQFConvertKey::_R4_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    __Rx_to_Key(pKey, pData, 4);
}

void CQFConvertKey::_R8_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    __Rx_to_Key(pKey, pData, 8);
}

// The first word (year high, then month, then day) and the milliseconds,
// each big-endian.
void CQFConvertKey::_DateTime_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    GrosBoutiste(pKey, pData, 4, false);
    GrosBoutiste(pKey + 4, pData + 4, 4, false);
}

void CQFConvertKey::_CY_to_Key(unsigned char* pKey, const unsigned char* pData)
{
    CMoney st;
    std::memcpy(&st, pData, sizeof st);
    MonetaireVersCleQF(pKey, &st);
}

int CQFConvertKey::__nConvertKey(void* pKey, unsigned long nWidth, const void* pData, unsigned long nSize,
                                 eITEMTYPE nType, unsigned short nOptions, int nPrecision, int nScale,
                                 unsigned int nCharset, int nTextFlags)
{
    unsigned char* const pbyKey = static_cast<unsigned char*>(pKey);
    const unsigned char* const pbyData = static_cast<const unsigned char*>(pData);
    switch (nType) {
    case QFIT_TEXTE:
    case QFIT_TEXTE_FIXE:
        return _nSTR_to_Key(pbyKey, nWidth, pbyData, nSize, nOptions, nCharset);
    case QFIT_BIN:
        return _nBin_to_Key(pbyKey, nWidth, pbyData, nSize);
    case QFIT_UNICODE:
    case QFIT_UNICODE_DYN:
        return _nUNICODE_to_Key(pbyKey, nWidth, pData, nSize, nOptions, nTextFlags);
    case QFIT_DECIMAL:
        if (pKey == nullptr || nWidth < 32)
            return 0;
        return _Decimal_to_Key(pbyKey, pbyData, nSize, nPrecision, nScale) ? 32 : 0;
    default:
        break;
    }

    void (*pfn)(unsigned char*, const unsigned char*) = nullptr;
    unsigned long n = 0;
    switch (nType) {
    case QFIT_I1:
    case QFIT_BOOL: pfn = &_I1_to_Key, n = 1; break;
    case QFIT_UI1:
    case QFIT_CARA: pfn = &_UI1_to_Key, n = 1; break;
    case QFIT_I2: pfn = &_I2_to_Key, n = 2; break;
    case QFIT_UI2: pfn = &_UI2_to_Key, n = 2; break;
    case QFIT_I4: pfn = &_I4_to_Key, n = 4; break;
    case QFIT_UI4: pfn = &_UI4_to_Key, n = 4; break;
    case QFIT_I8:
    case QFIT_DUREE: pfn = &_I8_to_Key, n = 8; break;
    case QFIT_UI8: pfn = &_UI8_to_Key, n = 8; break;
    case QFIT_R4: pfn = &_R4_to_Key, n = 4; break;
    case QFIT_R8: pfn = &_R8_to_Key, n = 8; break;
    case QFIT_DATETIME: pfn = &_DateTime_to_Key, n = 8; break;
    case QFIT_CY: pfn = &_CY_to_Key, n = 10; break;
    default: return 0;  // no key of its own
    }
    if (pbyKey == nullptr || pbyData == nullptr || nSize < n || nWidth < n)
        return 0;
    pfn(pbyKey, pbyData);
    return static_cast<int>(n);
}
