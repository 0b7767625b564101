#include <charconv>
#include <cmath>

#include "common/system/case_mapping.h"
#include "common/text/money.h"
#include "common/text/money_units.h"

using namespace money_units;

namespace {

// Writes the digits of mag in the given base, right-aligned to end; returns
// the first digit written (at least one).
wchar_t* pszDigits(UInt mag, unsigned base, wchar_t* end)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    do {
        *--end = kDigits[static_cast<unsigned>(mag % base)];
        mag /= base;
    } while (mag != 0);
    return end;
}

// Copies [from, end) to the start of the buffer and terminates it.
wchar_t* pszMoveToBuffer(wchar_t* pszBuffer, const wchar_t* from, const wchar_t* end)
{
    wchar_t* out = pszBuffer;
    while (from != end)
        *out++ = *from++;
    *out = 0;
    return pszBuffer;
}

}  // namespace

CMoney* pstChaineVersMonetaire(CMoney* pst, const wchar_t* psz)
{
    Int v;
    if (!bParseDecimal(psz, &v))
        return nullptr;
    Put(pst, v);
    return pst;
}

CMoney* pstChaineHexaVersMonetaire(CMoney* pst, wchar_t* psz)
{
    UInt u = 0;
    if (psz != nullptr) {
        while (*psz == L' ')
            ++psz;
        my_struprW(psz);
        // At most the first 20 digits of the run: 80 bits.
        for (int n = 0; n < 20; ++n, ++psz) {
            unsigned d;
            if (*psz >= L'0' && *psz <= L'9')
                d = static_cast<unsigned>(*psz - L'0');
            else if (*psz >= L'A' && *psz <= L'F')
                d = static_cast<unsigned>(*psz - L'A' + 10);
            else
                break;
            u = (u << 4) | d;
        }
    }
    Put(pst, static_cast<Int>(u));
    return pst;
}

wchar_t* pszMonetaireVersChaineC(const CMoney* pst, wchar_t* pszBuffer)
{
    const Int v = Get(pst);
    const UInt mag = Magnitude(v);
    wchar_t work[MONETAIRE_TAILLE_TEXTE];
    wchar_t* const end = work + MONETAIRE_TAILLE_TEXTE;
    wchar_t* p = end;
    // Decimals without their trailing zeros, then the integer part.
    unsigned frac = static_cast<unsigned>(mag % kMillion);
    if (frac != 0) {
        int nDigits = 6;
        while (frac % 10 == 0) {
            frac /= 10;
            --nDigits;
        }
        wchar_t* q = pszDigits(frac, 10, p);
        while (p - q < nDigits)
            *--q = L'0';
        p = q;
        *--p = L'.';
    }
    p = pszDigits(mag / kMillion, 10, p);
    if (v < 0)
        *--p = L'-';
    return pszMoveToBuffer(pszBuffer, p, end);
}

wchar_t* pszMonetaireVersChaineHexa(const CMoney* pst, wchar_t* pszBuffer)
{
    const UInt bits = static_cast<UInt>(Get(pst)) & ((static_cast<UInt>(1) << 80) - 1);
    wchar_t work[MONETAIRE_TAILLE_TEXTE];
    wchar_t* const end = work + MONETAIRE_TAILLE_TEXTE;
    return pszMoveToBuffer(pszBuffer, pszDigits(bits, 16, end), end);
}

wchar_t* pszMonetaireVersChaineOctale(const CMoney* pst, wchar_t* pszBuffer)
{
    // 27 octal digits hold 81 bits: the 80 bits with the sign repeated.
    const UInt bits = static_cast<UInt>(Get(pst)) & ((static_cast<UInt>(1) << 81) - 1);
    wchar_t work[MONETAIRE_TAILLE_TEXTE];
    wchar_t* const end = work + MONETAIRE_TAILLE_TEXTE;
    return pszMoveToBuffer(pszBuffer, pszDigits(bits, 8, end), end);
}

CMoney* pstDoubleVersMonetaire(CMoney* pst, double d)
{
    if (!std::isfinite(d))
        return nullptr;
    // Fixed notation with six decimals, as "%.6f" gives in the C locale:
    // up to 309 integer digits, the sign, the point and the decimals.
    char text[400];
    const auto res = std::to_chars(text, text + sizeof(text) - 1, d, std::chars_format::fixed, 6);
    if (res.ec != std::errc())
        return nullptr;
    *res.ptr = 0;
    Int v;
    if (!bParseDecimal(text, &v))
        return nullptr;
    Put(pst, v);
    return pst;
}

double dMonetaireVersDouble(const CMoney* pst)
{
    wchar_t wide[MONETAIRE_TAILLE_TEXTE];
    pszMonetaireVersChaineC(pst, wide);
    // The text is ASCII; read back independently of the numeric locale.
    char text[MONETAIRE_TAILLE_TEXTE];
    size_t n = 0;
    for (; wide[n] != 0; ++n)
        text[n] = static_cast<char>(wide[n]);
    double d = 0;
    std::from_chars(text, text + n, d);
    return d;
}
