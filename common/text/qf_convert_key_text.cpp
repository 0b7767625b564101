// Keys of texts and binary values: 8-bit text, wide text in 16-bit units
// (mapped by the host engine when an option asks for it), and bytes in
// hexadecimal.
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/text/qf_convert_key.h"
#include "common/text/qf_for_na.h"
#include "common/text/str_map.h"
#include "common/text/ucs2_fast_sort.h"

namespace {

struct PairesHexa
{
    char a[256][2];
    constexpr PairesHexa() : a()
    {
        const char chiffres[] = "0123456789abcdef";
        for (int b = 0; b < 256; ++b) {
            a[b][0] = chiffres[b >> 4];
            a[b][1] = chiffres[b & 15];
        }
    }
};

// Entry b holds the two lower-case hexadecimal digits of b.
constexpr PairesHexa kPairesHexa;

int nCapacite(unsigned long n)
{
    return n > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

uint16_t nLitUnite(const unsigned char* p)
{
    uint16_t u;
    std::memcpy(&u, p, sizeof u);
    return u;
}

void EcritUnite(unsigned char* p, uint16_t u)
{
    std::memcpy(p, &u, sizeof u);
}

// The mapping mode of the options: 1 (0x0080), 2 (0x0020) and 4 (0x0040).
unsigned nModeMapping(unsigned short nOptions)
{
    return ((nOptions & QFKEY_MAP_0080) ? 1u : 0u) | ((nOptions & QFKEY_MAP_0020) ? 2u : 0u) |
           ((nOptions & QFKEY_MAP_0040) ? 4u : 0u);
}

std::atomic<CQFConvertKey::PFN_piGetQFForNA> gpfnQFForNA{nullptr};

IQFTextMapper* piTextMapper(unsigned nMode)
{
    const CQFConvertKey::PFN_piGetQFForNA pfn = gpfnQFForNA.load(std::memory_order_acquire);
    IQFForNA* const piQF = pfn != nullptr ? pfn() : nullptr;
    return piQF != nullptr ? piQF->piGetTextMapper(static_cast<int>(nMode)) : nullptr;
}

bool bUniteNulle(const unsigned char* p, size_t nTaille)
{
    for (size_t k = 0; k < nTaille; ++k)
        if (p[k] != 0)
            return false;
    return true;
}

// The wide text mapped by the engine's mapper into the key's units but the
// last, every other byte of the key 0. False when there is no mapper for the
// mode, memory runs out or the mapper fails: the text is then keyed unmapped.
bool bMapTexteLarge(unsigned char* pKey, unsigned long nWidth, const void* pData, unsigned long nSize,
                    unsigned nMode, bool b32)
{
    const unsigned long nUnites = nWidth / 2;
    IQFTextMapper* const piMapper = piTextMapper(nMode);
    if (piMapper == nullptr)
        return false;
    // The text ends at its first zero unit, or with the data.
    const size_t nTaille = b32 ? sizeof(wchar_t) : sizeof(char16_t);
    const unsigned char* const p = static_cast<const unsigned char*>(pData);
    unsigned long nSource = 0;
    const unsigned long nMax = nSize / nTaille < static_cast<unsigned long>(INT_MAX) ? nSize / nTaille : INT_MAX;
    while (nSource < nMax && !bUniteNulle(p + nSource * nTaille, nTaille))
        ++nSource;
    // The mapper's one bound: it never writes past the key's last unit but
    // one, which stays 0.
    const unsigned long nCapacite = nUnites - 1 < static_cast<unsigned long>(INT_MAX) ? nUnites - 1 : INT_MAX;

    // The engine reads and writes whole aligned units: data or a key at an
    // odd address goes through an aligned copy.
    const bool bSourceAlignee = reinterpret_cast<uintptr_t>(pData) % nTaille == 0;
    const bool bCleAlignee = reinterpret_cast<uintptr_t>(pKey) % alignof(char16_t) == 0;
    void* pCopieSource = bSourceAlignee || nSource == 0 ? nullptr : std::malloc(nSource * nTaille);
    char16_t* pCopieCle = bCleAlignee ? nullptr : static_cast<char16_t*>(std::calloc(nCapacite + 1, sizeof(char16_t)));
    bool bMappe = false;
    if ((bSourceAlignee || nSource == 0 || pCopieSource != nullptr) && (bCleAlignee || pCopieCle != nullptr)) {
        if (pCopieSource != nullptr)
            std::memcpy(pCopieSource, pData, nSource * nTaille);
        std::memset(pKey, 0, nWidth);
        char16_t* const pDest = bCleAlignee ? reinterpret_cast<char16_t*>(pKey) : pCopieCle;
        bMappe = piMapper->nMapUnits(pCopieSource != nullptr ? pCopieSource : pData, static_cast<int>(nSource),
                                     b32 ? QFKEY_TEXTE_32 : 0, pDest, static_cast<int>(nCapacite)) >= 0;
        if (!bCleAlignee)
            std::memcpy(pKey, pCopieCle, 2 * nCapacite);
        EcritUnite(pKey + 2 * (nUnites - 1), 0);
    }
    std::free(pCopieSource);
    std::free(pCopieCle);
    return bMappe;
}

}  // namespace

void CQFConvertKey::SetQFForNASource(PFN_piGetQFForNA pfnSource)
{
    gpfnQFForNA.store(pfnSource, std::memory_order_release);
}

int CQFConvertKey::_nSTR_to_Key(unsigned char* pKey, unsigned long nWidth, const unsigned char* pData,
                                unsigned long nSize, unsigned short nOptions, unsigned int nCharset)
{
    if (pKey == nullptr || nWidth == 0 || pData == nullptr || nSize == 0)
        return 0;
    const unsigned mode = nModeMapping(nOptions);
    char* const pszKey = reinterpret_cast<char*>(pKey);
    int nResultat;
    if (mode == 0) {
        const unsigned long n = nSize < nWidth ? nSize : nWidth;
        std::memcpy(pKey, pData, n);
        std::memset(pKey + n, 0, nWidth - n);
        nResultat = nCapacite(n);
    } else {
        std::memset(pKey, 0, nWidth);
        const size_t nTexte = strnlen(reinterpret_cast<const char*>(pData), nSize);
        nResultat = STR_nMapStringEx_Charset(static_cast<int>(nCharset), mode, pszKey, nCapacite(nWidth),
                                             reinterpret_cast<const char*>(pData), nCapacite(nTexte));
    }
    pKey[nWidth - 1] = 0;
    if (nCharset != 0) {
        // The sort key of the character set, made from a copy of the text.
        char* pszCopie = static_cast<char*>(std::malloc(nWidth));
        if (pszCopie != nullptr) {
            std::memcpy(pszCopie, pKey, nWidth);
            std::memset(pKey, 0, nWidth);
            STR_MapStringSortEx_Charset(static_cast<int>(nCharset), pszKey, nCapacite(nWidth), pszCopie,
                                        nCapacite(strnlen(pszCopie, nWidth)));
            std::free(pszCopie);
            pKey[nWidth - 1] = 0;
        }
    }
    // A text ending in 0xFF, the greatest byte, keeps it through any mapping.
    if (nWidth >= 2) {
        long i = static_cast<long>(nSize - 1 < nWidth - 2 ? nSize - 1 : nWidth - 2);
        while (i > 0 && (pData[i] == 0x20 || pData[i] == 0))
            --i;
        if (pData[i] == 0xFF)
            pKey[i] = 0xFF;
    }
    return nResultat;
}

int CQFConvertKey::_nUNICODE_to_Key(unsigned char* pKey, unsigned long nWidth, const void* pData,
                                    unsigned long nSize, unsigned short nOptions, int nTextFlags)
{
    if (pKey == nullptr || nWidth < 2 || pData == nullptr || nSize == 0)
        return 0;
    const unsigned long nUnites = nWidth / 2;
    const bool bMapping =
        ((nOptions & QFKEY_MAP_0080) && (nOptions & (QFKEY_POIDS_UNICODE | QFKEY_UNITES_BIG_ENDIAN))) ||
        (nOptions & (QFKEY_MAP_0020 | QFKEY_MAP_0040));
    int nResultat;
    if (bMapping && bMapTexteLarge(pKey, nWidth, pData, nSize, nModeMapping(nOptions), nTextFlags & QFKEY_TEXTE_32)) {
        unsigned long i = 0;
        while (i + 1 < nUnites && nLitUnite(pKey + 2 * i) != 0)
            ++i;
        nResultat = nCapacite(2 * i);
    } else if (nTextFlags & QFKEY_TEXTE_32) {
        // 32-bit characters narrowed to UTF-16: one unit each, two (a
        // surrogate pair) above U+FFFF, so that the units keep the order and
        // fit the width of 16-bit text.
        std::memset(pKey, 0, nWidth);
        const unsigned char* const p = static_cast<const unsigned char*>(pData);
        const unsigned long nCars = nSize / 4;
        unsigned long nEcrites = 0, nBesoin = 0;
        for (unsigned long i = 0; i < nCars; ++i) {
            uint32_t c;
            std::memcpy(&c, p + 4 * i, sizeof c);
            uint16_t unites[2];
            int n = 1;
            if (c > 0x10FFFF) {
                unites[0] = 0xFFFD;
            } else if (c > 0xFFFF) {
                c -= 0x10000;
                unites[0] = static_cast<uint16_t>(0xD800 | (c >> 10));
                unites[1] = static_cast<uint16_t>(0xDC00 | (c & 0x3FF));
                n = 2;
            } else {
                unites[0] = static_cast<uint16_t>(c);
            }
            nBesoin += static_cast<unsigned long>(n);
            // A pair is never cut in half.
            if (nEcrites + static_cast<unsigned long>(n) <= nUnites - 1) {
                for (int k = 0; k < n; ++k)
                    EcritUnite(pKey + 2 * nEcrites++, unites[k]);
            } else {
                nEcrites = nUnites - 1;
            }
        }
        nResultat = nCapacite(2 * nBesoin < nWidth ? 2 * nBesoin : (nWidth & ~1UL));
    } else {
        const unsigned long n = nSize < nWidth ? nSize : nWidth;
        std::memcpy(pKey, pData, n);
        std::memset(pKey + n, 0, nWidth - n);
        nResultat = nCapacite(n);
    }
    EcritUnite(pKey + 2 * (nUnites - 1), 0);

    if (nOptions & QFKEY_POIDS_UNICODE) {
        for (unsigned long i = 0; i + 1 < nUnites; ++i)
            EcritUnite(pKey + 2 * i, tabUCS2FastSort[nLitUnite(pKey + 2 * i)]);
    } else if (nOptions & QFKEY_UNITES_BIG_ENDIAN) {
        for (unsigned long i = 0; i + 1 < nUnites; ++i) {
            const uint16_t u = nLitUnite(pKey + 2 * i);
            pKey[2 * i] = static_cast<unsigned char>(u >> 8);
            pKey[2 * i + 1] = static_cast<unsigned char>(u);
        }
    }
    return nResultat;
}

int CQFConvertKey::_nBin_to_Key(unsigned char* pKey, unsigned long nWidth, const unsigned char* pData,
                                unsigned long nSize)
{
    if (pKey == nullptr)
        return 0;
    unsigned long n = pData == nullptr ? 0 : nSize;
    if (n > nWidth / 2)
        n = nWidth / 2;
    for (unsigned long i = 0; i < n; ++i) {
        pKey[2 * i] = static_cast<unsigned char>(kPairesHexa.a[pData[i]][0]);
        pKey[2 * i + 1] = static_cast<unsigned char>(kPairesHexa.a[pData[i]][1]);
    }
    std::memset(pKey + 2 * n, '0', nWidth - 2 * n);
    return nCapacite(2 * n);
}
