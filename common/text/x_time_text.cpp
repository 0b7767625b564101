// The date-time value's digit texts, read and written, and its SQL and ODBC
// literal forms.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "common/system/formatted_output.h"
#include "common/text/ct_string.h"
#include "common/text/date_time_base.h"
#include "common/text/x_time.h"

namespace {

template <class T>
size_t nLongueur(const T* psz)
{
    if (psz == nullptr)
        return 0;
    if constexpr (std::is_same_v<T, char>)
        return std::strlen(psz);
    else
        return std::wcslen(psz);
}

template <class T>
int nChamp(const T* psz, int nPos, int nLen)
{
    return CDateTimeBase::nGetPropDateTime(psz, nPos, nLen, false);
}

// Every fixed form is built here: room for each field at its widest.
constexpr size_t TAILLE_TEXTE = 128;

// Year and month as written; the record may hold any int.
int nAnneeEcrite(const struct tm& t)
{
    return t.tm_year > INT32_MAX - 1900 ? INT32_MAX : t.tm_year + 1900;
}

int nMoisEcrit(const struct tm& t)
{
    return t.tm_mon == INT32_MAX ? INT32_MAX : t.tm_mon + 1;
}

}  // namespace

int CXTime::bSetZLTime(const wchar_t* psz)
{
    SetTo0();
    const size_t n = nLongueur(psz);
    if (n < 4)
        return 0;
    m_tm.tm_hour = nChamp(psz, 0, 2);
    m_tm.tm_min = nChamp(psz, 2, 2);
    if (n >= 6)
        m_tm.tm_sec = nChamp(psz, 4, 2);
    if (n == 8)
        m_nMilli = nChamp(psz, 6, 2) * 10;
    else if (n >= 9)
        m_nMilli = nChamp(psz, 6, 3);
    return 1;
}

int CXTime::bSetZLDate(const wchar_t* psz)
{
    SetTo0();
    if (nLongueur(psz) != 8)
        return 0;
    const int nMois = nChamp(psz, 4, 2), nJour = nChamp(psz, 6, 2);
    m_tm.tm_year = nChamp(psz, 0, 4) - 1900;
    m_tm.tm_mon = nMois > 0 ? nMois - 1 : 0;
    m_tm.tm_mday = nJour > 0 ? nJour : 1;
    return 1;
}

template <class T>
int CXTime::bSetZLDateTime(const T* psz, int nIsDst)
{
    SetTo0();
    m_tm.tm_isdst = nIsDst;
    const size_t n = nLongueur(psz);
    if (n <= 15)
        return 0;
    const int nMois = nChamp(psz, 4, 2), nJour = nChamp(psz, 6, 2);
    m_tm.tm_year = nChamp(psz, 0, 4) - 1900;
    m_tm.tm_mon = nMois > 0 ? nMois - 1 : 0;
    m_tm.tm_mday = nJour > 0 ? nJour : 1;
    const int nBlanc = psz[8] == T(' ') ? 1 : 0;
    const int nHeure = 8 + nBlanc;
    m_tm.tm_hour = nChamp(psz, nHeure, 2);
    m_tm.tm_min = nChamp(psz, nHeure + 2, 2);
    m_tm.tm_sec = nChamp(psz, nHeure + 4, 2);
    if (n == static_cast<size_t>(16 + nBlanc))
        m_nMilli = nChamp(psz, nHeure + 6, 2) * 10;
    else if (n == static_cast<size_t>(17 + nBlanc))
        m_nMilli = nChamp(psz, nHeure + 6, 3);
    return 1;
}

template int CXTime::bSetZLDateTime<char>(const char*, int);
template int CXTime::bSetZLDateTime<wchar_t>(const wchar_t*, int);

// --- Writing -------------------------------------------------------------------

void CXTime::Format(const wchar_t* pszFormat, wchar_t* pszBuffer, size_t nCapacity) const
{
    if (pszBuffer == nullptr || nCapacity == 0)
        return;
    pszBuffer[0] = 0;
    if (pszFormat == nullptr || wcsftime(pszBuffer, nCapacity, pszFormat, &m_tm) == 0)
        pszBuffer[0] = 0;
}

void CXTime::Format(const wchar_t* pszFormat, CTString& str) const
{
    wchar_t sz[TAILLE_FORMAT];
    Format(pszFormat, sz, TAILLE_FORMAT);
    str = static_cast<const wchar_t*>(sz);
}

namespace {

// One fixed form into a CTString.
void Ecrit(CTString& str, const wchar_t* pszFormat, ...)
{
    wchar_t sz[TAILLE_TEXTE];
    va_list args;
    va_start(args, pszFormat);
    const int n = vsnwprintfWin(sz, TAILLE_TEXTE, pszFormat, args);
    va_end(args);
    if (n < 0)
        sz[0] = 0;
    str = static_cast<const wchar_t*>(sz);
}

// One fixed form into a caller's buffer, cut to its capacity.
void EcritW(wchar_t* psz, size_t nCapacity, const wchar_t* pszFormat, ...)
{
    if (psz == nullptr || nCapacity == 0)
        return;
    va_list args;
    va_start(args, pszFormat);
    vsnwprintfWin(psz, nCapacity, pszFormat, args);
    va_end(args);
}

}  // namespace

void CXTime::GetZLTimeAAAAMMJJ_HHMMSS(CTString& str) const
{
    Ecrit(str, L"%04d%02d%02d %02d%02d%02d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday, m_tm.tm_hour, m_tm.tm_min,
          m_tm.tm_sec);
}

void CXTime::GetZLTimeHHMMSS(CTString& str) const
{
    Ecrit(str, L"%02d%02d%02d", m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec);
}

void CXTime::GetZLTimeHHMM(CTString& str) const
{
    Ecrit(str, L"%02d%02d", m_tm.tm_hour, m_tm.tm_min);
}

void CXTime::GetZLDate(CTString& str) const
{
    Ecrit(str, L"%04d%02d%02d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday);
}

void CXTime::GetZLTimeHHMMSSCCm(CTString& str) const
{
    Ecrit(str, L"%02d%02d%02d%03d", m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::GetZLTimeAAAAMMJJHHMMSSCCm(CTString& str) const
{
    Ecrit(str, L"%04d%02d%02d%02d%02d%02d%03d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday, m_tm.tm_hour, m_tm.tm_min,
          m_tm.tm_sec, m_nMilli);
}

void CXTime::GetZLTimeReadable(CTString& str) const
{
    Ecrit(str, L"%02d/%02d/%04d %02d:%02d:%02d,%03d", m_tm.tm_mday, nMoisEcrit(m_tm), nAnneeEcrite(m_tm), m_tm.tm_hour,
          m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::GetZLTimeReadableSS(CTString& str) const
{
    Ecrit(str, L"%02d/%02d/%04d %02d:%02d:%02d", m_tm.tm_mday, nMoisEcrit(m_tm), nAnneeEcrite(m_tm), m_tm.tm_hour, m_tm.tm_min,
          m_tm.tm_sec);
}

void CXTime::FormatToOdbcTimeStamp(CTString& str) const
{
    wchar_t sz[TAILLE_TEXTE];
    FormatToOdbcTimeStamp(sz, TAILLE_TEXTE);
    str = static_cast<const wchar_t*>(sz);
}

void CXTime::FormatToOdbcDate(CTString& str) const
{
    wchar_t sz[TAILLE_TEXTE];
    FormatToOdbcDate(sz, TAILLE_TEXTE);
    str = static_cast<const wchar_t*>(sz);
}

void CXTime::FormatToOdbcTime(CTString& str) const
{
    wchar_t sz[TAILLE_TEXTE];
    FormatToOdbcTime(sz, TAILLE_TEXTE);
    str = static_cast<const wchar_t*>(sz);
}

void CXTime::GetZLTime(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"%02d%02d%02d%03d", m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::GetZLTime(char* psz, size_t nCapacity) const
{
    if (psz != nullptr && nCapacity > 0)
        std::snprintf(psz, nCapacity, "%02d%02d%02d%03d", m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::GetZLDate(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"%04d%02d%02d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday);
}

void CXTime::GetZLDate(char* psz, size_t nCapacity) const
{
    if (psz != nullptr && nCapacity > 0)
        std::snprintf(psz, nCapacity, "%04d%02d%02d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday);
}

void CXTime::FormatToSQLServerTimeStamp(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"%04d%02d%02d %02d:%02d:%02d.%03d", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday,
           m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::FormatToOdbcTimeStamp(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"{ts '%04d-%02d-%02d %02d:%02d:%02d.%03d'}", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday,
           m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}

void CXTime::FormatToOdbcDate(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"{d '%04d-%02d-%02d'}", nAnneeEcrite(m_tm), nMoisEcrit(m_tm), m_tm.tm_mday);
}

void CXTime::FormatToOdbcTime(wchar_t* psz, size_t nCapacity) const
{
    EcritW(psz, nCapacity, L"{t '%02d:%02d:%02d.%03d'}", m_tm.tm_hour, m_tm.tm_min, m_tm.tm_sec, m_nMilli);
}
