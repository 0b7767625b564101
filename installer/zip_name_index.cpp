#include "installer/zip_name_index.h"

#include <cstdlib>
#include <cwctype>

#include "common/text/hash_table_bounce.h"

CZipNameIndex::~CZipNameIndex()
{
    Vide();
}

uint32_t CZipNameIndex::s_dwHash(const wchar_t* pszName)
{
    uint32_t h = 5381;
    for (const wchar_t* p = pszName; p != nullptr && *p != 0; ++p)
        h = h * 33 + static_cast<uint32_t>(std::towupper(static_cast<wint_t>(*p)));
    return h;
}

void CZipNameIndex::Vide()
{
    std::free(m_pnBuckets);
    std::free(m_pSlots);
    m_pnBuckets = nullptr;
    m_pSlots = nullptr;
    m_nPrime = -1;
    m_nNbBuckets = m_nNbSlots = m_nNbElement = m_nFree = 0;
}

void CZipNameIndex::_Chaine(int s)
{
    Slot& slot = m_pSlots[s - 1];
    int& head = m_pnBuckets[slot.dwHash % static_cast<uint32_t>(m_nNbBuckets)];
    slot.nPrev = 0;
    slot.nNext = head;
    if (head != 0)
        m_pSlots[head - 1].nPrev = s;
    head = s;
}

bool CZipNameIndex::_bGrow()
{
    // The first prime above 13, then the next one each time.
    int prime = m_nPrime + 1;
    if (m_nPrime < 0)
        while (prime < CHashTableBounce::kNbPremiers && CHashTableBounce::g__ToutPretToutChaud[prime] <= 13)
            ++prime;
    if (prime >= CHashTableBounce::kNbPremiers)
        return false;
    const uint64_t buckets = CHashTableBounce::g__ToutPretToutChaud[prime];
    const uint64_t slots = buckets / 2;
    if (buckets > 0x7FFFFFFF)
        return false;
    int* newBuckets = static_cast<int*>(std::calloc(buckets, sizeof(int)));
    Slot* newSlots = static_cast<Slot*>(std::realloc(m_pSlots, slots * sizeof(Slot)));
    if (newBuckets == nullptr || newSlots == nullptr) {
        std::free(newBuckets);
        if (newSlots != nullptr)
            m_pSlots = newSlots;
        return false;
    }
    m_pSlots = newSlots;
    std::free(m_pnBuckets);
    m_pnBuckets = newBuckets;
    m_nPrime = prime;
    m_nNbBuckets = static_cast<int>(buckets);
    // Every used slot (they are all used when the table grows) is chained
    // again; the new ones go to the free list.
    for (int s = 1; s <= m_nNbElement; ++s)
        _Chaine(s);
    m_nFree = 0;
    for (int s = static_cast<int>(slots); s > m_nNbElement; --s) {
        m_pSlots[s - 1].nNext = m_nFree;
        m_nFree = s;
    }
    m_nNbSlots = static_cast<int>(slots);
    return true;
}

bool CZipNameIndex::bAjoute(const wchar_t* pszName, int nValue)
{
    if (m_nFree == 0 && !_bGrow())
        return false;
    const int s = m_nFree;
    Slot& slot = m_pSlots[s - 1];
    m_nFree = slot.nNext;
    slot.dwHash = s_dwHash(pszName);
    slot.nValue = nValue;
    _Chaine(s);
    ++m_nNbElement;
    return true;
}

bool CZipNameIndex::bReserve(int n)
{
    if (m_nNbElement != 0)
        return false;
    while (m_nNbSlots < n)
        if (!_bGrow())
            return false;
    return true;
}
