#include "installer/str_mem_cache.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

unsigned char* NextOf(const unsigned char* pbyBlock)
{
    unsigned char* next;
    std::memcpy(&next, pbyBlock, sizeof next);
    return next;
}

void SetNext(unsigned char* pbyBlock, unsigned char* next)
{
    std::memcpy(pbyBlock, &next, sizeof next);
}

}  // namespace

CStrMemCache::~CStrMemCache()
{
    _FreeAll();
}

bool CStrMemCache::_bListe(uint64_t llCapacity, unsigned char**& head, uint32_t*& count)
{
    if (llCapacity == dwSmallCapacity) {
        head = &m_pbyHead100;
        count = &m_dwCount100;
    } else if (llCapacity == dwLargeCapacity) {
        head = &m_pbyHead996;
        count = &m_dwCount996;
    } else {
        return false;
    }
    return true;
}

unsigned char* CStrMemCache::_pbyTake(uint64_t llCapacity)
{
    unsigned char** head;
    uint32_t* count;
    if (!_bListe(llCapacity, head, count) || *head == nullptr)
        return nullptr;
    unsigned char* block = *head;
    *head = NextOf(block);
    --*count;
    return block;
}

bool CStrMemCache::_bGive(unsigned char* pbyBlock, uint32_t dwCapacity)
{
    unsigned char** head;
    uint32_t* count;
    if (!_bListe(dwCapacity, head, count) || *count >= dwMaxCachedPerSize)
        return false;
    SetNext(pbyBlock, *head);
    *head = pbyBlock;
    ++*count;
    return true;
}

uint32_t CStrMemCache::dwGetCachedCount(uint32_t dwCapacity) const
{
    if (dwCapacity == dwSmallCapacity)
        return m_dwCount100;
    if (dwCapacity == dwLargeCapacity)
        return m_dwCount996;
    return 0;
}

void CStrMemCache::_FreeAll()
{
    for (unsigned char** head : {&m_pbyHead100, &m_pbyHead996}) {
        while (*head != nullptr) {
            unsigned char* next = NextOf(*head);
            std::free(*head);
            *head = next;
        }
    }
    m_dwCount100 = 0;
    m_dwCount996 = 0;
}
