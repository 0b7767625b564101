// The digit texts of the date-time value: YYYYMMDD, HHMMSSmmm and the
// 17-character date-time, read and written.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "common/text/date_time_base.h"
#include "common/text/str_create.h"
#include "common/text/xy_string.h"

namespace {

template <class T>
size_t nLongueur(const T* psz)
{
    if constexpr (std::is_same_v<T, char>)
        return std::strlen(psz);
    else
        return std::wcslen(psz);
}

template <class T>
int nGetProp(const T* psz, int nPos, int nLen, bool bPartiel)
{
    if (psz == nullptr || *psz == 0 || nPos < 0 || nLen <= 0)
        return 0;
    const size_t nTexte = nLongueur(psz);
    int nManque = 0;
    if (static_cast<size_t>(nPos) + static_cast<size_t>(nLen) > nTexte) {
        if (!bPartiel || static_cast<size_t>(nPos) >= nTexte)
            return 0;
        nManque = static_cast<int>(static_cast<size_t>(nPos) + static_cast<size_t>(nLen) - nTexte);
        nLen -= nManque;
    }
    // Fields are a few digits long; longer ones are read as far as an int
    // goes.
    T champ[16];
    const int nCopie = nLen < 15 ? nLen : 15;
    for (int i = 0; i < nCopie; ++i)
        champ[i] = psz[nPos + i];
    champ[nCopie] = 0;
    long long n;
    if constexpr (std::is_same_v<T, char>)
        n = std::strtoll(champ, nullptr, 10);
    else
        n = std::wcstoll(champ, nullptr, 10);
    for (int i = 0; i < nManque && n > -1000000000LL && n < 1000000000LL; ++i)
        n *= 10;
    if (n > INT32_MAX)
        return INT32_MAX;
    if (n < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(n);
}

template <class T>
void SetProp(T* psz, int nPos, int nLen, int n, int nTotal)
{
    if (psz == nullptr || nTotal < 0)
        return;
    if (nPos >= 0 && nLen > 0) {
        if (nPos + static_cast<int64_t>(nLen) <= nTotal) {
            // The field's last nLen digits of the magnitude.
            uint64_t u = n < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(n)) : static_cast<uint64_t>(n);
            for (int i = nPos + nLen - 1; i >= nPos; --i, u /= 10)
                psz[i] = static_cast<T>('0' + u % 10);
        } else {
            for (int i = nPos; i < nTotal; ++i)
                psz[i] = T('0');
        }
    }
    psz[nTotal] = 0;
}

// The 17 digits YYYYMMDDHHMMSSmmm, each field written digit by digit.
template <class T>
void Chiffres(const CDateTimeBase& d, T* out)
{
    auto put = [&out](uint32_t n, int nWidth) {
        for (int i = nWidth - 1; i >= 0; --i, n /= 10)
            out[i] = static_cast<T>('0' + n % 10);
        out += nWidth;
    };
    const uint32_t ms = d.m_dwMilli;
    put(d.m_wAnnee, 4);
    put(d.m_byMois, 2);
    put(d.m_byJour, 2);
    put(ms / 3600000, 2);
    put(ms / 60000 % 60, 2);
    put(ms / 1000 % 60, 2);
    put(ms % 1000, 3);
}

template <class T>
void VersTexte(const CDateTimeBase& d, T* psz, size_t nDate, size_t nHeure)
{
    T tout[CDateTimeBase::LONGUEUR_DATE_HEURE];
    Chiffres(d, tout);
    size_t n = 0;
    for (size_t i = 0; i < nDate; ++i)
        psz[n++] = tout[i];
    for (size_t i = 0; i < nHeure; ++i)
        psz[n++] = tout[8 + i];
    psz[n] = 0;
}

size_t nBorne(long n, size_t nMax)
{
    return n <= 0 ? 0 : (static_cast<size_t>(n) < nMax ? static_cast<size_t>(n) : nMax);
}

int nCompareTextes(const wchar_t* a, const wchar_t* b)
{
    const bool bVideA = a == nullptr || *a == 0, bVideB = b == nullptr || *b == 0;
    if (bVideA)
        return bVideB ? 0 : -1;
    if (bVideB)
        return 1;
    const size_t n = std::min(std::wcslen(a), std::wcslen(b));
    const int c = std::wcsncmp(a, b, n);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool bChiffre(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int CDateTimeBase::nGetPropDateTime(const char* psz, int nPos, int nLen, bool bPartiel)
{
    return nGetProp(psz, nPos, nLen, bPartiel);
}

int CDateTimeBase::nGetPropDateTime(const wchar_t* psz, int nPos, int nLen, bool bPartiel)
{
    return nGetProp(psz, nPos, nLen, bPartiel);
}

void CDateTimeBase::SetPropDateTime(char* psz, int nPos, int nLen, int n, int nTotal)
{
    SetProp(psz, nPos, nLen, n, nTotal);
}

void CDateTimeBase::SetPropDateTime(wchar_t* psz, int nPos, int nLen, int n, int nTotal)
{
    SetProp(psz, nPos, nLen, n, nTotal);
}

template <class T>
void CDateTimeBase::FromString(const T* psz)
{
    m_dwMilli = 0;
    m_wAnnee = static_cast<uint16_t>(nGetPropDateTime(psz, 0, 4, false));
    m_byMois = static_cast<uint8_t>(nGetPropDateTime(psz, 4, 2, false));
    m_byJour = static_cast<uint8_t>(nGetPropDateTime(psz, 6, 2, false));
    if (psz != nullptr && nLongueur(psz) >= 9)
        __SetPartieHeure(psz + 8);
}

template <class T>
void CDateTimeBase::__SetPartieHeure(const T* psz)
{
    const int64_t h = nGetPropDateTime(psz, 0, 2, false);
    const int64_t m = nGetPropDateTime(psz, 2, 2, false);
    const int64_t s = nGetPropDateTime(psz, 4, 2, false);
    int64_t f = nGetPropDateTime(psz, 6, 3, true);
    if (f == 0)
        f = nGetPropDateTime(psz, 6, 2, true) * 10LL;
    if (f == 0)
        f = nGetPropDateTime(psz, 6, 1, true) * 100LL;
    m_dwMilli = static_cast<uint32_t>(h * 3600000 + m * 60000 + s * 1000 + f);
}

template void CDateTimeBase::FromString<char>(const char*);
template void CDateTimeBase::FromString<wchar_t>(const wchar_t*);
template void CDateTimeBase::__SetPartieHeure<char>(const char*);
template void CDateTimeBase::__SetPartieHeure<wchar_t>(const wchar_t*);

bool CDateTimeBase::__bSetPartieDateValide(const char* psz, size_t nLen)
{
    if (psz == nullptr || nLen < 8)
        return false;
    for (size_t i = 0; i < 8; ++i)
        if (!bChiffre(psz[i]))
            return false;
    auto lit = [psz](int nPos, int nLen) {
        int n = 0;
        for (int i = nPos; i < nPos + nLen; ++i)
            n = n * 10 + (psz[i] - '0');
        return n;
    };
    const int nAnnee = lit(0, 4), nMois = lit(4, 2), nJour = lit(6, 2);
    // Year 0 passes this check: the text form admits it.
    if (nMois < 1 || nMois > 12 || nJour < 1 || nJour > s_nGetNbJourMois(nMois, nAnnee))
        return false;
    m_wAnnee = static_cast<uint16_t>(nAnnee);
    m_byMois = static_cast<uint8_t>(nMois);
    m_byJour = static_cast<uint8_t>(nJour);
    return true;
}

bool CDateTimeBase::__bSetPartieHeureValide(const char* psz, size_t nLen)
{
    if (psz == nullptr || nLen == 0) {
        m_dwMilli = 0;
        return true;
    }
    if (nLen == 1 || nLen == 3 || nLen == 5)
        return false;
    if (!bChiffre(psz[0]))
        return false;
    size_t n = 0;
    for (; n < nLen && n < 9; ++n) {
        if (!bChiffre(psz[n])) {
            if (n < 6)
                return false;
            break;  // what follows the seconds' digits is not used
        }
    }
    auto lit = [psz, n](size_t nPos, size_t nChamp) {
        int v = 0;
        for (size_t i = nPos; i < nPos + nChamp; ++i)
            v = v * 10 + (i < n ? psz[i] - '0' : 0);
        return v;
    };
    const int h = lit(0, 2), m = lit(2, 2), s = lit(4, 2);
    int f = 0;
    if (n == 7)
        f = lit(6, 1) * 100;
    else if (n == 8)
        f = lit(6, 2) * 10;
    else if (n == 9)
        f = lit(6, 3);
    if (h > 23 || m > 59 || s > 59)
        return false;
    m_dwMilli = static_cast<uint32_t>(h * 3600000 + m * 60000 + s * 1000 + f);
    return true;
}

int CDateTimeBase::nVersDate(char* psz, int n) const
{
    VersTexte(*this, psz, nBorne(n, 8), 0);
    return 0;
}

int CDateTimeBase::nVersDate(wchar_t* psz, int n) const
{
    VersTexte(*this, psz, nBorne(n, 8), 0);
    return 0;
}

namespace {

// The time digits alone: VersTexte with no date characters, from offset 8.
template <class T>
void VersHeure(const CDateTimeBase& d, T* psz, int n)
{
    T tout[CDateTimeBase::LONGUEUR_DATE_HEURE];
    Chiffres(d, tout);
    const size_t nHeure = nBorne(n, 9);
    for (size_t i = 0; i < nHeure; ++i)
        psz[i] = tout[8 + i];
    psz[nHeure] = 0;
}

}  // namespace

int CDateTimeBase::nVersHeure(char* psz, int n) const
{
    VersHeure(*this, psz, n);
    return 0;
}

int CDateTimeBase::nVersHeure(wchar_t* psz, int n) const
{
    VersHeure(*this, psz, n);
    return 0;
}

void CDateTimeBase::VersChaine(char* psz, unsigned long n) const
{
    VersTexte(*this, psz, n < 8 ? n : 8, n > 8 ? (n - 8 < 9 ? n - 8 : 9) : 0);
}

void CDateTimeBase::VersChaine(wchar_t* psz, unsigned long n) const
{
    VersTexte(*this, psz, n < 8 ? n : 8, n > 8 ? (n - 8 < 9 ? n - 8 : 9) : 0);
}

int CDateTimeBase::nVersChaine(CXYString<wchar_t>* pstr) const
{
    wchar_t text[LONGUEUR_DATE_HEURE];
    Chiffres(*this, text);
    return pstr->nAffecte(text, LONGUEUR_DATE_HEURE);
}

wchar_t* CDateTimeBase::pszCreeChaine() const
{
    wchar_t text[LONGUEUR_DATE_HEURE + 1];
    VersChaine(text, LONGUEUR_DATE_HEURE);
    return STR_pszCreate(text);
}

int CDateTimeBase::nVersSysteme(SYSTEMTIME* pst) const
{
    pst->wYear = m_wAnnee;
    pst->wMonth = m_byMois;
    pst->wDay = m_byJour;
    pst->wHour = static_cast<uint16_t>(nGetHeure());
    pst->wMinute = static_cast<uint16_t>(nGetMinute());
    pst->wSecond = static_cast<uint16_t>(nGetSeconde());
    pst->wMilliseconds = static_cast<uint16_t>(nGetMilliseconde());
    return 0;
}

int CDateTimeBase::nDateVersSysteme(const wchar_t* psz, SYSTEMTIME* pst)
{
    pst->wYear = static_cast<uint16_t>(nGetPropDateTime(psz, 0, 4, false));
    pst->wMonth = static_cast<uint16_t>(nGetPropDateTime(psz, 4, 2, false));
    pst->wDay = static_cast<uint16_t>(nGetPropDateTime(psz, 6, 2, false));
    pst->wHour = pst->wMinute = pst->wSecond = pst->wMilliseconds = 0;
    return 0;
}

int CDateTimeBase::nHeureVersSysteme(const wchar_t* psz, SYSTEMTIME* pst)
{
    pst->wYear = pst->wMonth = pst->wDay = 0;
    pst->wHour = static_cast<uint16_t>(nGetPropDateTime(psz, 0, 2, false));
    pst->wMinute = static_cast<uint16_t>(nGetPropDateTime(psz, 2, 2, false));
    pst->wSecond = static_cast<uint16_t>(nGetPropDateTime(psz, 4, 2, false));
    pst->wMilliseconds = static_cast<uint16_t>(nGetPropDateTime(psz, 6, 3, true));
    return 0;
}

int CDateTimeBase::nCompare(const CDateTimeBase* a, const wchar_t* psz)
{
    wchar_t text[LONGUEUR_DATE_HEURE + 1];
    a->VersChaine(text, LONGUEUR_DATE_HEURE);
    return nCompareDate(text, psz);
}

int CDateTimeBase::nCompareDate(const wchar_t* a, const wchar_t* b)
{
    return nCompareTextes(a, b);
}

int CDateTimeBase::nCompareHeure(const wchar_t* a, const wchar_t* b)
{
    return nCompareTextes(a, b);
}
