// Calendar arithmetic of the date-time value: validity, day numbers, shifts,
// week days and ISO weeks.
#include <cstring>

#include "common/system/system_time.h"
#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"

const uint8_t CDateTimeBase::ms_pbyNbJoursMois[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const uint8_t CDateTimeBase::ms_pbyNbJoursMoisBissextile[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const wchar_t* const CDateTimeBase::ms_pcszValeurInitDate = L"";
const wchar_t* const CDateTimeBase::ms_pcszValeurInitTime = L"0000";

namespace {

// Julian Day Number of day 0 (31 December 1799).
constexpr int64_t kJDNJourZero = 2378496;
// First Julian Day Number of the Gregorian calendar (15 October 1582).
constexpr int64_t kJDNReforme = 2299161;

int64_t nFloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

struct Civil
{
    int nJour, nMois, nAnnee;
};

// The calendar date of a Julian Day Number (Gregorian from the reform on,
// Julian before).
Civil CivilOfJDN(int64_t jdn)
{
    int64_t b = 0, c;
    if (jdn >= kJDNReforme) {
        const int64_t a = jdn + 32044;
        b = (4 * a + 3) / 146097;
        c = a - 146097 * b / 4;
    } else {
        c = jdn + 32082;
    }
    const int64_t d = (4 * c + 3) / 1461;
    const int64_t e = c - 1461 * d / 4;
    const int64_t m = (5 * e + 2) / 153;
    Civil r;
    r.nJour = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    r.nMois = static_cast<int>(m + 3 - 12 * (m / 10));
    r.nAnnee = static_cast<int>(100 * b + d - 4800 + m / 10);
    return r;
}

}  // namespace

bool CDateTimeBase::__nBissextile(int nAnnee)
{
    if (nAnnee % 4 != 0)
        return false;
    if (nAnnee < 1583)
        return true;
    return nAnnee % 100 != 0 || nAnnee % 400 == 0;
}

int CDateTimeBase::s_nGetNbJourMois(int nMois, int nAnnee)
{
    if (nMois < 1 || nMois > 12)
        return 0;
    return (__nBissextile(nAnnee) ? ms_pbyNbJoursMoisBissextile : ms_pbyNbJoursMois)[nMois - 1];
}

bool CDateTimeBase::s_bDateValide(int nJour, int nMois, int nAnnee)
{
    return nAnnee >= 1 && nAnnee <= 9999 && nMois >= 1 && nMois <= 12 && nJour >= 1 &&
           nJour <= s_nGetNbJourMois(nMois, nAnnee);
}

int64_t CDateTimeBase::s_nJourJulien(int nJour, int nMois, int nAnnee)
{
    const int64_t a = (14 - nMois) / 12;
    const int64_t y = static_cast<int64_t>(nAnnee) + 4800 - a;
    const int64_t m = nMois + 12 * a - 3;
    const bool bJulien = nAnnee < 1582 || (nAnnee == 1582 && (nMois < 10 || (nMois == 10 && nJour <= 4)));
    if (bJulien)
        return nJour + (153 * m + 2) / 5 + 365 * y + y / 4 - 32083;
    if (nAnnee == 1582 && nMois == 10 && nJour < 15)
        nJour = 15;  // the days skipped by the reform
    return nJour + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

void CDateTimeBase::InitDate()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

bool CDateTimeBase::InitDate(const SYSTEMTIME* pst)
{
    InitDate();
    // Every field is tried, so that one refused field leaves the others set.
    bool bOk = bModifieAnnee(pst->wYear);
    bOk = bModifieMois(pst->wMonth) && bOk;
    bOk = bModifieJour(pst->wDay) && bOk;
    bOk = bModifieHeure(pst->wHour) && bOk;
    bOk = bModifieMinute(pst->wMinute) && bOk;
    bOk = bModifieSeconde(pst->wSecond) && bOk;
    if (pst->wMilliseconds > 999)
        return false;
    m_dwMilli += pst->wMilliseconds;
    return bOk;
}

bool CDateTimeBase::InitDateCourante()
{
    SYSTEMTIME st = {};
    GetLocalTime(&st);
    return InitDate(&st);
}

bool CDateTimeBase::InitDateCouranteUTC()
{
    SYSTEMTIME st = {};
    GetSystemTime(&st);
    return InitDate(&st);
}

void CDateTimeBase::Set(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli)
{
    m_byJour = static_cast<uint8_t>(nJour);
    m_byMois = static_cast<uint8_t>(nMois);
    m_wAnnee = static_cast<uint16_t>(nAnnee);
    m_dwMilli = static_cast<uint32_t>(nHeure * 3600000LL + nMinute * 60000LL + nSeconde * 1000LL + nMilli);
}

bool CDateTimeBase::bModifieHeure(int n)
{
    if (n < 0 || n > 23)
        return false;
    m_dwMilli = m_dwMilli - static_cast<uint32_t>(nGetHeure()) * 3600000u + static_cast<uint32_t>(n) * 3600000u;
    return true;
}

bool CDateTimeBase::bModifieMinute(int n)
{
    if (n < 0 || n > 59)
        return false;
    m_dwMilli = m_dwMilli - static_cast<uint32_t>(nGetMinute()) * 60000u + static_cast<uint32_t>(n) * 60000u;
    return true;
}

bool CDateTimeBase::bModifieSeconde(int n)
{
    if (n < 0 || n > 59)
        return false;
    m_dwMilli = m_dwMilli - static_cast<uint32_t>(nGetSeconde()) * 1000u + static_cast<uint32_t>(n) * 1000u;
    return true;
}

void CDateTimeBase::_CoupeJour()
{
    // A day of 0, or a month or year of 0, is left as it is.
    if (m_byJour == 0 || m_wAnnee == 0 || m_byMois < 1 || m_byMois > 12)
        return;
    const int nMax = s_nGetNbJourMois(m_byMois, m_wAnnee);
    if (m_byJour > nMax)
        m_byJour = static_cast<uint8_t>(nMax);
}

bool CDateTimeBase::bModifieJour(int n)
{
    if (n < 1 || n > 31)
        return false;
    m_byJour = static_cast<uint8_t>(n);
    _CoupeJour();
    return true;
}

bool CDateTimeBase::bModifieMois(int n)
{
    if (n < 1 || n > 12)
        return false;
    m_byMois = static_cast<uint8_t>(n);
    _CoupeJour();
    return true;
}

bool CDateTimeBase::bModifieAnnee(int n)
{
    if (n < 1 || n > 9999)
        return false;
    m_wAnnee = static_cast<uint16_t>(n);
    _CoupeJour();
    return true;
}

int CDateTimeBase::s_nDateVersEntier(int nJour, int nMois, int nAnnee)
{
    if (!s_bDateValide(nJour, nMois, nAnnee))
        return 0;
    return static_cast<int>(s_nJourJulien(nJour, nMois, nAnnee) - kJDNJourZero);
}

int CDateTimeBase::nVersEntier(int* pn) const
{
    if (!bDateValide())
        return ERR_DATE_INVALIDE;
    *pn = s_nDateVersEntier(m_byJour, m_byMois, m_wAnnee);
    return 0;
}

bool CDateTimeBase::bDepuisEntier(int64_t nJour)
{
    if (nJour < JOUR_MIN || nJour > JOUR_MAX)
        return false;
    const Civil c = CivilOfJDN(nJour + kJDNJourZero);
    m_byJour = static_cast<uint8_t>(c.nJour);
    m_byMois = static_cast<uint8_t>(c.nMois);
    m_wAnnee = static_cast<uint16_t>(c.nAnnee);
    return true;
}

int CDateTimeBase::nVersJourJulien() const
{
    return static_cast<int>(s_nJourJulien(m_byJour, m_byMois, m_wAnnee));
}

int CDateTimeBase::nGetJourDeLaSemaine() const
{
    if (!bDateValide())
        return -1;
    // Day 0 (31 December 1799) was a Tuesday.
    const int64_t n = s_nDateVersEntier(m_byJour, m_byMois, m_wAnnee) + 2;
    return static_cast<int>(n - 7 * nFloorDiv(n, 7));
}

int CDateTimeBase::nGetJourDansAnnee() const
{
    if (!bDateValide())
        return 0;
    return s_nDateVersEntier(m_byJour, m_byMois, m_wAnnee) - s_nDateVersEntier(1, 1, m_wAnnee) + 1;
}

bool CDateTimeBase::VersISO8601YWD(int& nAnnee, int& nSemaine, int& nJourSemaine) const
{
    if (!bDateValide())
        return false;
    const int nIso = (nGetJourDeLaSemaine() + 6) % 7 + 1;
    CDateTimeBase jeudi = *this;
    if (!jeudi.bDecaleJour(4 - nIso))
        return false;
    nAnnee = jeudi.m_wAnnee;
    nSemaine = (jeudi.nGetJourDansAnnee() - 1) / 7 + 1;
    nJourSemaine = nIso;
    return true;
}

bool CDateTimeBase::_bDecaleJours64(int64_t nJours)
{
    if (m_byJour == 0 && m_byMois == 0 && m_wAnnee == 0)
        return true;  // the empty date stays empty
    if (!bDateValide())
        return false;
    // Out-of-range shifts fail before any arithmetic can overflow.
    if (nJours < static_cast<int64_t>(JOUR_MIN) - JOUR_MAX || nJours > static_cast<int64_t>(JOUR_MAX) - JOUR_MIN)
        return false;
    return bDepuisEntier(s_nDateVersEntier(m_byJour, m_byMois, m_wAnnee) + nJours);
}

bool CDateTimeBase::bDecaleJour(int nJours)
{
    return _bDecaleJours64(nJours);
}

bool CDateTimeBase::bDecaleMilli(long nMilli)
{
    int64_t nJours = nMilli / static_cast<int64_t>(MILLI_PAR_JOUR);
    int64_t nTemps = nMilli % static_cast<int64_t>(MILLI_PAR_JOUR) + m_dwMilli;
    const int64_t nCarry = nFloorDiv(nTemps, MILLI_PAR_JOUR);
    nJours += nCarry;
    nTemps -= nCarry * MILLI_PAR_JOUR;
    if (nJours != 0) {
        CDateTimeBase copie = *this;
        if (!copie._bDecaleJours64(nJours))
            return false;
        *this = copie;
    }
    m_dwMilli = static_cast<uint32_t>(nTemps);
    return true;
}

bool CDateTimeBase::bDecaleMois(int nMois)
{
    if (m_byMois < 1 || m_byMois > 12)
        return false;
    int nNouveau = m_byMois + nMois % 12;
    int64_t nAnnees = nMois / 12;
    if (nNouveau < 1) {
        nNouveau += 12;
        --nAnnees;
    } else if (nNouveau > 12) {
        nNouveau -= 12;
        ++nAnnees;
    }
    if (m_wAnnee < 1 || m_wAnnee > 9999 || m_wAnnee + nAnnees < 1 || m_wAnnee + nAnnees > 9999)
        return false;
    m_byMois = static_cast<uint8_t>(nNouveau);
    m_wAnnee = static_cast<uint16_t>(m_wAnnee + nAnnees);
    _CoupeJour();
    return true;
}

bool CDateTimeBase::bDecaleAnnee(int nAnnees)
{
    const int64_t nNouvelle = static_cast<int64_t>(m_wAnnee) + nAnnees;
    if (m_wAnnee < 1 || m_wAnnee > 9999 || nNouvelle < 1 || nNouvelle > 9999)
        return false;
    m_wAnnee = static_cast<uint16_t>(nNouvelle);
    _CoupeJour();
    return true;
}

int CDateTimeBase::nCalculeDuree(const CDateTimeBase* a, const CDateTimeBase* b, CDureeBase* pDuree)
{
    int nJours;
    if (!bCalculeDiffJour(a, b, &nJours))
        return ERR_DATE_INVALIDE;
    pDuree->m_llDuree = static_cast<int64_t>(nJours) * MILLI_PAR_JOUR + static_cast<int64_t>(a->m_dwMilli) -
                        static_cast<int64_t>(b->m_dwMilli);
    return 0;
}

bool CDateTimeBase::bCalculeDiffJour(const CDateTimeBase* a, const CDateTimeBase* b, int* pnJours)
{
    if (!a->bDateValide() || !b->bDateValide())
        return false;
    *pnJours = s_nDateVersEntier(a->m_byJour, a->m_byMois, a->m_wAnnee) -
               s_nDateVersEntier(b->m_byJour, b->m_byMois, b->m_wAnnee);
    return true;
}

namespace {

uint32_t nMotDate(const CDateTimeBase* p)
{
    return static_cast<uint32_t>(p->m_wAnnee) << 16 | static_cast<uint32_t>(p->m_byMois) << 8 | p->m_byJour;
}

template <class U>
int nSigne(U a, U b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

int CDateTimeBase::nCompare(const CDateTimeBase* a, const CDateTimeBase* b)
{
    const int n = nSigne(nMotDate(a), nMotDate(b));
    return n != 0 ? n : nSigne(a->m_dwMilli, b->m_dwMilli);
}

int CDateTimeBase::s_nCompareDateSeule(const CDateTimeBase* a, const CDateTimeBase* b)
{
    return nSigne(nMotDate(a), nMotDate(b));
}
