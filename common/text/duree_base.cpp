#include "common/text/duree_base.h"

#include <cerrno>
#include <cwchar>
#include <string>

#include "common/text/date_time_base.h"
#include "common/text/str_create.h"
#include "common/text/xy_string.h"

const wchar_t* const CDureeBase::ms_pcszFormatAffichageMillieme = L"%d%02d%02d%02d%03d";
const wchar_t* const CDureeBase::ms_cpszFormatAffichageCentieme = L"%d%02d%02d%02d%02d";

namespace {

// Writes the last nWidth digits of n, zero-padded, before end; returns the
// new start.
wchar_t* pszFixe(wchar_t* end, uint64_t n, int nWidth)
{
    for (int i = 0; i < nWidth; ++i, n /= 10)
        *--end = static_cast<wchar_t>(L'0' + n % 10);
    return end;
}

}  // namespace

int CDureeBase::nCompare(const CDureeBase* a, const CDureeBase* b)
{
    return a->m_llDuree < b->m_llDuree ? -1 : (a->m_llDuree > b->m_llDuree ? 1 : 0);
}

int CDureeBase::__nVersChaine(wchar_t* psz, const wchar_t* pszFormat, int nTaille) const
{
    const bool bCentiemes = pszFormat != nullptr && std::wcscmp(pszFormat, ms_cpszFormatAffichageCentieme) == 0;
    // The magnitude in unsigned arithmetic: INT64_MIN has no positive twin.
    const uint64_t nMag = m_llDuree < 0 ? 0 - static_cast<uint64_t>(m_llDuree) : static_cast<uint64_t>(m_llDuree);
    wchar_t work[TAILLE_TEXTE];
    wchar_t* const end = work + TAILLE_TEXTE;
    wchar_t* p = end;
    uint64_t nSecondes;
    if (bCentiemes) {
        // Rounded as a whole first, so that 995 ms and more carry into the
        // seconds instead of giving a three-digit field.
        const uint64_t nCentiemes = nMag / 10 + (nMag % 10 >= 5 ? 1 : 0);
        p = pszFixe(p, nCentiemes % 100, 2);
        nSecondes = nCentiemes / 100;
    } else {
        p = pszFixe(p, nMag % 1000, 3);
        nSecondes = nMag / 1000;
    }
    p = pszFixe(p, nSecondes % 60, 2);
    p = pszFixe(p, nSecondes / 60 % 60, 2);
    p = pszFixe(p, nSecondes / 3600 % 24, 2);
    uint64_t nJours = nSecondes / 86400;
    do {
        *--p = static_cast<wchar_t>(L'0' + nJours % 10);
        nJours /= 10;
    } while (nJours != 0);
    if (m_llDuree < 0)
        *--p = L'-';
    const int nLen = static_cast<int>(end - p);
    if (psz == nullptr || nTaille <= nLen) {
        if (psz != nullptr && nTaille > 0)
            psz[0] = 0;
        return -1;
    }
    for (int i = 0; i < nLen; ++i)
        psz[i] = p[i];
    psz[nLen] = 0;
    return nLen;
}

namespace {

int nVersRuntime(const CDureeBase& d, const wchar_t* pszFormat, CXYString<wchar_t>* pstr)
{
    wchar_t text[CDureeBase::TAILLE_TEXTE];
    const int n = d.__nVersChaine(text, pszFormat, CDureeBase::TAILLE_TEXTE);
    return pstr->nAffecte(text, n);
}

// The number in n characters from p as wcstoll reads it; false when it does
// not fit in 64 bits.
bool bLitJours(const wchar_t* p, size_t n, int64_t* pOut)
{
    const std::wstring champ(p, n);
    errno = 0;
    *pOut = std::wcstoll(champ.c_str(), nullptr, 10);
    return errno != ERANGE;
}

// Shared by both forms: nFraction characters of fraction (3 milliseconds,
// 2 hundredths), worth nUnite milliseconds each.
int nParse(const wchar_t* psz, int nFraction, int nUnite, int64_t* pOut)
{
    if (psz == nullptr)
        return CDureeBase::ERR_TEXTE_TROP_COURT;
    bool bNegatif = false;
    if (*psz == L'+' || *psz == L'-' || *psz == 0xFF0B || *psz == 0xFF0D) {
        bNegatif = *psz == L'-' || *psz == 0xFF0D;
        ++psz;
    }
    const size_t nLen = std::wcslen(psz);
    const size_t nFin = static_cast<size_t>(6 + nFraction);  // HHMMSS and the fraction
    if (nLen < nFin + 1)
        return CDureeBase::ERR_TEXTE_TROP_COURT;
    const wchar_t* const pFin = psz + (nLen - nFin);
    int64_t nJours;
    if (!bLitJours(psz, nLen - nFin, &nJours))
        return CDureeBase::ERR_TEXTE_TROP_COURT;
    const int nHeures = CDateTimeBase::nGetPropDateTime(pFin, 0, 2, false);
    const int nMinutes = CDateTimeBase::nGetPropDateTime(pFin, 2, 2, false);
    const int nSecondes = CDateTimeBase::nGetPropDateTime(pFin, 4, 2, false);
    const int nFrac = CDateTimeBase::nGetPropDateTime(pFin, 6, nFraction, false);
    __int128 total = static_cast<__int128>(nJours) * CDateTimeBase::MILLI_PAR_JOUR + nHeures * 3600000LL +
                     nMinutes * 60000LL + nSecondes * 1000LL + static_cast<int64_t>(nFrac) * nUnite;
    if (bNegatif)
        total = -total;
    if (total < INT64_MIN || total > INT64_MAX)
        return CDureeBase::ERR_TEXTE_TROP_COURT;
    *pOut = static_cast<int64_t>(total);
    return 0;
}

}  // namespace

wchar_t* CDureeBase::pszCreeChaine() const
{
    wchar_t text[TAILLE_TEXTE];
    __nVersChaine(text, ms_pcszFormatAffichageMillieme, TAILLE_TEXTE);
    return STR_pszCreate(text);
}

int CDureeBase::nVersChaine(CXYString<wchar_t>* pstr) const
{
    return nVersRuntime(*this, ms_pcszFormatAffichageMillieme, pstr);
}

int CDureeBase::nVersChaineCentieme(CXYString<wchar_t>* pstr) const
{
    return nVersRuntime(*this, ms_cpszFormatAffichageCentieme, pstr);
}

int CDureeBase::nDepuisChaine(const wchar_t* psz)
{
    return nParse(psz, 3, 1, &m_llDuree);
}

int CDureeBase::nDepuisChaineCentieme(const wchar_t* psz)
{
    return nParse(psz, 2, 10, &m_llDuree);
}
