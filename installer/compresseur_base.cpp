#include "installer/compresseur_base.h"

#include <cstring>

#include "installer/byte_order.h"
#include "installer/recursive_lock.h"

namespace {

uint32_t Fit32(uint64_t size)
{
    return size > CCompresseurBase::dwUnknown ? CCompresseurBase::dwUnknown : static_cast<uint32_t>(size);
}

}  // namespace

CCompresseurBase::CCompresseurBase()
{
    bInitRecursiveMutex(&m_mutex);
}

CCompresseurBase::~CCompresseurBase()
{
    pthread_mutex_destroy(&m_mutex);
}

uint32_t CCompresseurBase::vdwTailleEntree(const unsigned char* pbyBlock)
{
    if (pbyBlock == nullptr)
        return dwUnknown;
    switch (pbyBlock[0]) {
    case byKindCopy:
        return Fit32(uint64_t{LoadLE32(pbyBlock + 1)} + dwCopyHeaderSize);
    case byKindCompressed2:
    case byKindCompressed4:
        return Fit32(uint64_t{LoadLE32(pbyBlock + 1)} + dwCompressedHeaderSize);
    default:
        return dwUnknown;
    }
}

uint32_t CCompresseurBase::dwTailleDecompression(const unsigned char* pbyBlock)
{
    if (pbyBlock == nullptr)
        return dwUnknown;
    switch (pbyBlock[0]) {
    case byKindCopy:
        return LoadLE32(pbyBlock + 1);
    case byKindCompressed2:
    case byKindCompressed4:
        return LoadLE32(pbyBlock + 5);
    default:
        return dwUnknown;
    }
}

uint32_t CCompresseurBase::dwTailleBufferCompression(uint32_t n)
{
    return Fit32(uint64_t{n} + 7);
}

uint32_t CCompresseurBase::_dwRun(uint32_t (CCompresseurBase::*step)(), const unsigned char* pbyIn, uint32_t n,
                                  unsigned char* pbyOut, uint32_t dwSize)
{
    CRecursiveLock lock(&m_mutex);
    m_pbyEntree = pbyIn;
    m_dwTailleEntree = n;
    m_pbySortie = pbyOut;
    m_dwTailleSortie = dwSize;
    const uint32_t result = (this->*step)();
    m_pbyEntree = nullptr;
    return result;
}

uint32_t CCompresseurBase::dwCompression(const unsigned char* pbyIn, uint32_t n, unsigned char* pbyOut,
                                         uint32_t dwSize)
{
    return _dwRun(&CCompresseurBase::vdwCompresse, pbyIn, n, pbyOut, dwSize);
}

uint32_t CCompresseurBase::dwDecompression(const unsigned char* pbyIn, uint32_t n, unsigned char* pbyOut,
                                           uint32_t dwSize)
{
    return _dwRun(&CCompresseurBase::vdwDecompresse, pbyIn, n, pbyOut, dwSize);
}

int CCompresseurBase::_EcritEntete(unsigned char byKind, uint32_t dwCompressedSize)
{
    if (m_pbySortie == nullptr)
        return 0;
    switch (byKind) {
    case byKindCopy:
        if (m_dwTailleSortie < dwCopyHeaderSize)
            return 0;
        m_pbySortie[0] = byKind;
        StoreLE32(m_pbySortie + 1, m_dwTailleEntree);
        return 1;
    case byKindCompressed2:
    case byKindCompressed4:
        if (m_dwTailleSortie < dwCompressedHeaderSize)
            return 0;
        m_pbySortie[0] = byKind;
        StoreLE32(m_pbySortie + 1, dwCompressedSize);
        StoreLE32(m_pbySortie + 5, m_dwTailleEntree);
        m_pbySortie[9] = 0;
        m_pbySortie[10] = 0;
        return 1;
    default:
        return 0;
    }
}

uint32_t CCompresseurBase::_dwCompresseCopie()
{
    const uint64_t total = uint64_t{m_dwTailleEntree} + dwCopyHeaderSize;
    if (total > m_dwTailleSortie || (m_pbyEntree == nullptr && m_dwTailleEntree != 0))
        return 0;
    if (!_EcritEntete(byKindCopy, 0))
        return 0;
    if (m_dwTailleEntree != 0)
        std::memmove(m_pbySortie + dwCopyHeaderSize, m_pbyEntree, m_dwTailleEntree);
    return static_cast<uint32_t>(total);
}

uint32_t CCompresseurBase::_dwDecompresseCopie()
{
    if (m_pbyEntree == nullptr || m_dwTailleEntree < dwCopyHeaderSize || m_pbyEntree[0] != byKindCopy)
        return 0;
    const uint32_t length = LoadLE32(m_pbyEntree + 1);
    if (length > m_dwTailleEntree - dwCopyHeaderSize || length > m_dwTailleSortie ||
        (m_pbySortie == nullptr && length != 0))
        return 0;
    if (length != 0)
        std::memmove(m_pbySortie, m_pbyEntree + dwCopyHeaderSize, length);
    return length;
}
