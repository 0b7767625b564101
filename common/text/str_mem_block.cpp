#include "common/text/str_mem_block.h"

#include <cstring>
#include <functional>

#include "common/text/str_mem_alloc.h"

alignas(4) const unsigned char CBaseStrMem::ChaineVide[4] = {0, 0, 0, 0};

namespace {

std::atomic_ref<uint32_t> RefCount(unsigned char* pData)
{
    return std::atomic_ref<uint32_t>(CBaseStrMem::s_pstHeader(pData)->nRefCount);
}

bool bSizeOk(int64_t nBytes)
{
    return nBytes >= 0 && nBytes <= STRMEM_MAX_BYTES;
}

// Offset of p inside the first nBytes bytes of pData (inclusive end), or -1.
// Compared through std::less so that pointers of unrelated objects are fine.
int64_t nOffsetIn(const unsigned char* pData, uint32_t nBytes, const void* p)
{
    if (pData == nullptr || p == nullptr)
        return -1;
    auto* q = static_cast<const unsigned char*>(p);
    std::less<const unsigned char*> before;
    if (before(q, pData) || before(pData + nBytes, q))
        return -1;
    return q - pData;
}

}  // namespace

void CBaseStrMem::s_AddRef(unsigned char* pData)
{
    if (pData != nullptr)
        RefCount(pData).fetch_add(1);
}

void CBaseStrMem::s_ReleaseStrMem(unsigned char* pData)
{
    if (pData == nullptr)
        return;
    if (RefCount(pData).fetch_sub(1) == 1)
        IStrMemAlloc::ReleaseStrMem(pData);
}

uint32_t CBaseStrMem::s_nGetRefCount(const unsigned char* pData)
{
    return RefCount(const_cast<unsigned char*>(pData)).fetch_add(0);
}

CBaseStrMem& CBaseStrMem::operator=(CBaseStrMem&& other) noexcept
{
    if (this != &other) {
        unsigned char* old = m_pbyData;
        m_pbyData = other.m_pbyData;
        other.m_pbyData = nullptr;
        s_ReleaseStrMem(old);
    }
    return *this;
}

void CBaseStrMem::_Share(unsigned char* pData)
{
    // Take the new reference first: pData may be the block we hold.
    s_AddRef(pData);
    unsigned char* old = m_pbyData;
    m_pbyData = pData;
    s_ReleaseStrMem(old);
}

int CBaseStrMem::_nNewBlock(int64_t nBytes, const void* pSrc, int64_t nCopyBytes, unsigned flags)
{
    if (!bSizeOk(nBytes))
        return STRMEM_ERR_TOO_LARGE;
    if (nBytes == 0) {
        _Release();
        return 0;
    }
    if (pSrc != nullptr && (nCopyBytes < 0 || nCopyBytes > nBytes))
        return STRMEM_ERR_TOO_LARGE;
    unsigned char* pNew = nullptr;
    int rc = IStrMemAlloc::nAllocStrMem(&pNew, static_cast<size_t>(nBytes), flags);
    if (rc != 0)
        return rc;
    if (pNew == nullptr)
        return IStrMemAlloc::nNoAllocator;
    if (pSrc != nullptr && nCopyBytes > 0) {
        std::memcpy(pNew, pSrc, static_cast<size_t>(nCopyBytes));
        s_pstHeader(pNew)->nLength = static_cast<uint32_t>(nCopyBytes);
    }
    unsigned char* old = m_pbyData;
    m_pbyData = pNew;
    s_ReleaseStrMem(old);
    return 0;
}

int CBaseStrMem::_nPrepareModification(int64_t nBytes, unsigned flags, const void** ppRebase)
{
    if (!bSizeOk(nBytes))
        return STRMEM_ERR_TOO_LARGE;
    if (m_pbyData == nullptr)
        return _nNewBlock(nBytes, nullptr, 0, flags);

    const uint32_t nLength = s_nGetLength(m_pbyData);
    int64_t nOffset = ppRebase ? nOffsetIn(m_pbyData, nLength, *ppRebase) : -1;

    if (s_nGetRefCount(m_pbyData) < 2) {
        if (nBytes <= s_nGetCapacity(m_pbyData))
            return 0;
        unsigned char* p = m_pbyData;
        int rc = IStrMemAlloc::nReallocStrMem(&p, static_cast<size_t>(nBytes), flags);
        if (rc != 0)
            return rc;
        if (p == nullptr)
            return IStrMemAlloc::nNoAllocator;
        m_pbyData = p;
    } else if (nBytes == 0) {
        _Release();
        nOffset = -1;
    } else {
        unsigned char* old = m_pbyData;
        unsigned char* pNew = nullptr;
        int rc = IStrMemAlloc::nAllocStrMem(&pNew, static_cast<size_t>(nBytes), flags);
        if (rc == 0 && pNew == nullptr)
            rc = IStrMemAlloc::nNoAllocator;
        if (rc != 0) {
            _Release();
            return rc;
        }
        const uint32_t nKeep = nLength < nBytes ? nLength : static_cast<uint32_t>(nBytes);
        std::memcpy(pNew, old, nKeep);
        s_pstHeader(pNew)->nLength = nKeep;
        s_pstHeader(pNew)->dwFlags = s_dwGetFlags(old);
        m_pbyData = pNew;
        if (nOffset > static_cast<int64_t>(nKeep))
            nOffset = -1;
        // Our reference of the old block goes now; another holder may drop
        // the last one at any time, so the source is read from the copy.
        s_ReleaseStrMem(old);
    }
    if (nOffset >= 0)
        *ppRebase = m_pbyData + nOffset;
    return 0;
}

int CBaseStrMem::_nAssignBytes(const void* pSrc, int64_t nBytes, unsigned flags)
{
    if (pSrc == nullptr || nBytes <= 0) {
        _Release();
        return 0;
    }
    if (!bSizeOk(nBytes))
        return STRMEM_ERR_TOO_LARGE;
    if (m_pbyData == nullptr || s_nGetRefCount(m_pbyData) >= 2) {
        // Made before the old block is dropped: the text may lie in it.
        int rc = _nNewBlock(nBytes, pSrc, nBytes, flags);
        if (rc != 0)
            _Release();
        return rc;
    }
    // Unshared: reused. A source inside the block is no longer than the
    // block, so it never needs the growth that could move it.
    if (nBytes > s_nGetCapacity(m_pbyData)) {
        unsigned char* q = m_pbyData;
        int rc = IStrMemAlloc::nReallocStrMem(&q, static_cast<size_t>(nBytes), flags);
        if (rc != 0)
            return rc;
        if (q == nullptr)
            return IStrMemAlloc::nNoAllocator;
        m_pbyData = q;
    }
    std::memmove(m_pbyData, pSrc, static_cast<size_t>(nBytes));
    STStrMemHeader* h = s_pstHeader(m_pbyData);
    h->nLength = static_cast<uint32_t>(nBytes);
    h->dwFlags &= ~STRMEM_FLAG_END_MARKER;
    return 0;
}

int CBaseStrMem::_nAppendBytes(const void* pSrc, int64_t nBytes, unsigned flags)
{
    if (pSrc == nullptr || nBytes < 1)
        return 0;
    const int64_t nLength = _nLength();
    if (nLength + nBytes > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    const void* p = pSrc;
    int rc = _nPrepareModification(nLength + nBytes, flags, &p);
    if (rc != 0)
        return rc;
    std::memmove(m_pbyData + nLength, p, static_cast<size_t>(nBytes));
    _SetLength(static_cast<uint32_t>(nLength + nBytes));
    return 0;
}
