#include "common/text/simple_buffer.h"

#include <cstdint>
#include <cstring>

#include "common/system/xmalloc.h"

CSimpleBuffer::CSimpleBuffer(unsigned long n)
{
    SetSize(n);
}

CSimpleBuffer::CSimpleBuffer(void const* pData, unsigned long n)
{
    CopyBuffer(pData, n);
}

CSimpleBuffer::CSimpleBuffer(CSimpleBuffer const* pAutre)
{
    CopyBuffer(pAutre->m_pData, pAutre->m_nSize);
}

CSimpleBuffer::~CSimpleBuffer()
{
    XMALLOC_Del_(m_pData);
}

int CSimpleBuffer::SetSize(unsigned long n)
{
    if (n == m_nSize) return 1;
    XMALLOC_Del_(m_pData);
    m_pData = nullptr;
    m_nSize = 0;
    if (n == 0) return 1;
    m_pData = XMALLOC_pNew_(n);
    if (m_pData == nullptr) return 0;
    m_nSize = n;
    return 1;
}

int CSimpleBuffer::CopyBuffer(void const* pData, unsigned long n)
{
    const auto a = reinterpret_cast<uintptr_t>(pData);
    const auto b = reinterpret_cast<uintptr_t>(m_pData);
    if (m_pData != nullptr && a >= b && a < b + m_nSize && n != m_nSize) {
        // A source inside this buffer's block outlives the block's
        // replacement only by going straight into the new one.
        void* pNouveau = XMALLOC_pNew_(n);
        if (pNouveau != nullptr) std::memcpy(pNouveau, pData, n);
        XMALLOC_Del_(m_pData);
        m_pData = pNouveau;
        m_nSize = pNouveau == nullptr ? 0 : n;
        return pNouveau != nullptr;
    }
    if (!SetSize(n)) return 0;
    if (n > 0) std::memmove(m_pData, pData, n);
    return 1;
}
