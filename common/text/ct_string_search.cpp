// CTString: searches and extraction of parts.
#include <cwchar>
#include <cwctype>

#include "common/text/ct_string.h"

namespace {

// A start index clipped to the text: below 0 reads as 0; past the end
// answers false.
bool ClipStart(long nStart, long length, long* pStart)
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > length)
        return false;
    *pStart = nStart;
    return true;
}

}  // namespace

long CTString::nPos(const wchar_t* psz, long nStart) const
{
    long start = 0;
    if (!m_psz || !psz || !*psz || !ClipStart(nStart, nTaille(), &start))
        return -1;
    const wchar_t* hit = std::wcsstr(m_psz + start, psz);
    return hit ? hit - m_psz : -1;
}

long CTString::nPos(wchar_t c, long nStart) const
{
    long start = 0;
    if (!m_psz || c == 0 || !ClipStart(nStart, nTaille(), &start))
        return -1;
    const wchar_t* hit = std::wcschr(m_psz + start, c);
    return hit ? hit - m_psz : -1;
}

long CTString::nUpPos(const wchar_t* psz, long nStart) const
{
    if (!m_psz || !psz || !*psz)
        return -1;
    const long length = nTaille(), n = static_cast<long>(std::wcslen(psz));
    if (nStart < 0)
        nStart = 0;
    if (nStart > length || n > length - nStart)
        return -1;
    for (long i = nStart; i <= length - n; ++i) {
        long j = 0;
        while (j < n && std::towupper(static_cast<wint_t>(m_psz[i + j])) == std::towupper(static_cast<wint_t>(psz[j])))
            ++j;
        if (j == n)
            return i;
    }
    return -1;
}

long CTString::nRPos(const wchar_t* psz) const
{
    if (!m_psz || !psz || !*psz)
        return -1;
    long last = -1;
    for (const wchar_t* hit = std::wcsstr(m_psz, psz); hit; hit = std::wcsstr(hit + 1, psz))
        last = hit - m_psz;
    return last;
}

long CTString::nRPos(wchar_t c) const
{
    if (!m_psz || c == 0)
        return -1;
    const wchar_t* hit = std::wcsrchr(m_psz, c);
    return hit ? hit - m_psz : -1;
}

long CTString::nPosParmi(const wchar_t* pszSet) const
{
    if (!m_psz || !pszSet)
        return -1;
    const wchar_t* hit = std::wcspbrk(m_psz, pszSet);
    return hit ? hit - m_psz : -1;
}

long CTString::nNbOcc(const wchar_t* psz) const
{
    if (!m_psz || !psz || !*psz)
        return 0;
    const size_t n = std::wcslen(psz);
    long count = 0;
    for (const wchar_t* hit = std::wcsstr(m_psz, psz); hit; hit = std::wcsstr(hit + n, psz))
        ++count;
    return count;
}

CTString CTString::clMilieu(long nStart, long n) const
{
    const long length = nTaille();
    long start = 0;
    if (!ClipStart(nStart, length, &start))
        return CTString();
    if (n < 0 || n > length - start)
        n = length - start;
    return CTString(pszGet() + start, n);
}

CTString CTString::clMilieu(long nStart) const
{
    return clMilieu(nStart, -1);
}

CTString CTString::clGauche(long n) const
{
    return n > 0 ? CTString(pszGet(), n) : CTString();
}

CTString CTString::clDroite(long n) const
{
    if (n <= 0)
        return CTString();
    const long length = nTaille();
    return CTString(pszGet() + (n < length ? length - n : 0));
}

CTString CTString::clExclu(const wchar_t* pszSet) const
{
    return CTString(pszGet(), static_cast<long>(std::wcscspn(pszGet(), pszSet ? pszSet : L"")));
}

CTString CTString::clContientUniquement(const wchar_t* pszSet) const
{
    return CTString(pszGet(), static_cast<long>(std::wcsspn(pszGet(), pszSet ? pszSet : L"")));
}

CTString CTString::operator+(const wchar_t* psz) const
{
    CTString result(*this);
    result.Add(psz);
    return result;
}
