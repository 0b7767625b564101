// Search bounds of partial date and time texts: the first instant a prefix
// of YYYYMMDD[ ]HHMMSSmmm (or HHMMSSmmm) denotes, and the first instant after
// it.
#include <cwchar>

#include "common/text/date_time_base.h"
#include "common/text/x_time.h"

namespace {

// A piece of a partial text: characters missing at its end count as '0'.
int nPartiel(const wchar_t* psz, int nPos, int nLen)
{
    return CDateTimeBase::nGetPropDateTime(psz, nPos, nLen, true);
}

// Increments the text at its last character, as a number whose digit at
// position i may go up to cLimite(texte, i); a digit at its limit carries to
// the one before it. The text is cut right after the incremented digit.
// False when the carry runs out of the text.
template <class FnLimite>
bool bIncremente(wchar_t* psz, size_t n, FnLimite cLimite)
{
    for (size_t i = n; i-- > 0;) {
        // Character codes, so that a non-digit at or above its limit carries.
        if (psz[i] < cLimite(psz, i)) {
            ++psz[i];
            psz[i + 1] = 0;
            return true;
        }
    }
    return false;
}

// The last digit of the hour: 23 at most.
wchar_t cLimiteUniteHeure(wchar_t cDizaine)
{
    return cDizaine >= L'2' ? L'3' : L'9';
}

}  // namespace

int CXTime::bSetZLTimeMin(const wchar_t* psz, int nIsDst)
{
    m_tm.tm_isdst = nIsDst;
    const size_t n = psz == nullptr ? 0 : std::wcslen(psz);
    m_tm.tm_hour = n == 0 ? 0 : nPartiel(psz, 0, 2);
    if (n >= 3)
        m_tm.tm_min = nPartiel(psz, 2, 2);
    if (n >= 5)
        m_tm.tm_sec = nPartiel(psz, 4, 2);
    if (n >= 7)
        m_nMilli = nPartiel(psz, 6, 3);
    return 1;
}

int CXTime::bSetZLDateTimeMin(const wchar_t* psz, int nIsDst)
{
    SetTo0();
    m_tm.tm_isdst = nIsDst;
    const size_t n = psz == nullptr ? 0 : std::wcslen(psz);
    if (n == 0)
        return 1;
    m_tm.tm_year = nPartiel(psz, 0, 4) - 1900;
    if (n >= 5) {
        const int nMois = nPartiel(psz, 4, 2);
        m_tm.tm_mon = nMois > 0 ? nMois - 1 : 0;
    }
    if (n >= 7) {
        const int nJour = nPartiel(psz, 6, 2);
        m_tm.tm_mday = nJour > 0 ? nJour : 1;
    }
    if (n >= 9)
        return bSetZLTimeMin(psz + (psz[8] == L' ' ? 9 : 8), nIsDst);
    return 1;
}

int CXTime::bSetZLTimeMax(const wchar_t* psz, int nIsDst)
{
    SetTo0();
    m_tm.tm_isdst = nIsDst;
    const size_t n = psz == nullptr ? 0 : std::wcslen(psz);
    if (n == 0 || n > 9)
        return 0;
    wchar_t sz[10];
    std::wmemcpy(sz, psz, n + 1);
    auto cLimite = [](const wchar_t* t, size_t i) -> wchar_t {
        switch (i) {
        case 0: return L'2';
        case 1: return cLimiteUniteHeure(t[0]);
        case 2:
        case 4: return L'5';
        default: return L'9';
        }
    };
    if (!bIncremente(sz, n, cLimite))
        return 0;
    return bSetZLTimeMin(sz, nIsDst);
}

int CXTime::bSetZLDateTimeMax(const wchar_t* psz, int nIsDst)
{
    SetTo0();
    m_tm.tm_isdst = nIsDst;
    size_t n = psz == nullptr ? 0 : std::wcslen(psz);
    if (n == 0)
        return 0;
    // The blank between date and time is dropped, also when it ends the
    // text: "YYYYMMDD " is the whole day, whose end is the next day.
    const bool bBlanc = n > 8 && psz[8] == L' ';
    if (n - (bBlanc ? 1 : 0) > 17)
        return 0;
    wchar_t sz[18];
    size_t nCopie = 0;
    for (size_t i = 0; i < n; ++i)
        if (!(bBlanc && i == 8))
            sz[nCopie++] = psz[i];
    n = nCopie;
    sz[n] = 0;
    auto cLimite = [](const wchar_t* t, size_t i) -> wchar_t {
        switch (i) {
        case 4: return L'1';
        case 5: return t[4] == L'0' ? L'9' : L'2';
        case 6:
        case 7: {
            int nJours = nGetDayInMonth(t);
            if (nJours < 0)
                nJours = 31;
            const wchar_t cDizaine = static_cast<wchar_t>(L'0' + nJours / 10);
            if (i == 6)
                return cDizaine;
            return t[6] < cDizaine ? L'9' : static_cast<wchar_t>(L'0' + nJours % 10);
        }
        case 8: return L'2';
        case 9: return cLimiteUniteHeure(t[8]);
        case 10:
        case 12: return L'5';
        default: return L'9';
        }
    };
    if (!bIncremente(sz, n, cLimite))
        return 0;
    return bSetZLDateTimeMin(sz, nIsDst);
}
