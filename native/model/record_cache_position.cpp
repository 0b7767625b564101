// Saved positions' rows: kept, counted, released and their slots reused.
#include "native/model/record_cache_position.h"

CNARecordCachePosition::CNARecordCachePosition() : m_tabCounts(500)
{
    m_dwFlags = kEnabled;
}

void CNARecordCachePosition::SetGrowStep(int nCount, int nBytes)
{
    if (nCount > 0)
        m_tabCounts.m_nPas = nCount;
    CNARecordCache::SetGrowStep(nCount, nBytes);
}

void CNARecordCachePosition::SupprimeTout()
{
    m_tabCounts.SupprimeToutEtLibere();
    m_nFreePosHint = -1;
    CNARecordCache::SupprimeTout();
}

int CNARecordCachePosition::_nAjoute(const CNARecordValue* pclRow)
{
    // Room for the count first, so that a row never enters without one.
    if (!m_tabCounts.AgranditMemoire(1))
        return -1;
    const int n = CNARecordCache::_nAjoute(pclRow);
    if (n >= 0)
        (void)m_tabCounts.Ajoute(0u);
    return n;
}

int CNARecordCachePosition::nKeepRecordSave(const CNARecordValue* pclRow)
{
    const int nCached = nGetRecordIndice(pclRow);
    if (nCached >= 0)
        return nCached;
    const int nFree = _nGetFirstFreePos();
    if (nFree >= 0)
        return Update(static_cast<unsigned>(nFree), pclRow) ? nFree : -1;
    return _nAjoute(pclRow);
}

void CNARecordCachePosition::AddRefRecordSave(int n)
{
    if (n >= 0 && n < m_tabCounts.nGetNbElement() && m_tabCounts[n] < UINT32_MAX)
        ++m_tabCounts[n];
}

unsigned CNARecordCachePosition::nReleaseRecordSave(int n)
{
    if (n < 0 || n >= m_tabCounts.nGetNbElement() || m_tabCounts[n] == 0)
        return 0;
    const uint32_t dwCount = --m_tabCounts[n];
    if (dwCount == 0) {
        if (m_nFreePosHint < 0 || n < m_nFreePosHint)
            m_nFreePosHint = n;
        _HashDeleteID(n);
    }
    return dwCount;
}

int CNARecordCachePosition::_nGetFirstFreePos()
{
    const int nCounts = m_tabCounts.nGetNbElement();
    if (m_nFreePosHint < 0)
        return -1;
    for (; m_nFreePosHint < nCounts; ++m_nFreePosHint) {
        if (m_tabCounts[m_nFreePosHint] == 0)
            return m_nFreePosHint;
    }
    m_nFreePosHint = -1;
    return -1;
}
