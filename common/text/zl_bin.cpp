#include "common/text/zl_bin.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t kMaxBytes = STRMEM_MAX_BYTES;

}  // namespace

CZLBIN::CZLBIN(const unsigned char* p, int n)
{
    if (p == nullptr && n > 0) {
        if (_nNewBlock(n, nullptr, 0, 0) == 0)
            _SetLength(static_cast<uint32_t>(n));
        return;
    }
    (void)nAssignInit(p, n);
}

void CZLBIN::Assign(const CZLBIN* pSrc, int n)
{
    _Share(pSrc ? pSrc->m_pbyData : nullptr);
    Tronque(n);
}

void CZLBIN::Take(CZLBIN* pSrc)
{
    if (pSrc == this)
        return;
    unsigned char* p = pSrc ? pSrc->m_pbyData : nullptr;
    if (pSrc)
        pSrc->m_pbyData = nullptr;
    _Release();
    m_pbyData = p;
}

int CZLBIN::nAssignInit(const unsigned char* p, int n)
{
    if (n < 0)
        return STRMEM_ERR_TOO_LARGE;
    if (p == nullptr || n == 0) {
        _Release();
        return 0;
    }
    return _nNewBlock(n, p, n, 0);
}

int CZLBIN::nAssign(const unsigned char* p, int n, unsigned flags)
{
    if (n < 0)
        return STRMEM_ERR_TOO_LARGE;
    return _nAssignBytes(p, n, flags);
}

int CZLBIN::nConcat(const unsigned char* p, int n)
{
    if (n < 0)
        return STRMEM_ERR_TOO_LARGE;
    if (p == nullptr || n == 0)
        return 0;
    if (m_pbyData == nullptr)
        return nAssign(p, n, 0);
    const int rc = _nAppendBytes(p, n, 0);
    if (rc == 0)
        _SetEndMarker(false);
    return rc;
}

int CZLBIN::nConcat(const CZLBIN& other)
{
    if (other.nGetTailleUtile() == 0)
        return 0;
    if (m_pbyData == nullptr) {
        _Share(other.m_pbyData);
        return 0;
    }
    // Hold the source's block: it may be this very value's.
    const CZLBIN keep(other);
    const bool bMarker = keep.bEndMarker();
    const int rc = _nAppendBytes(keep.m_pbyData, keep.nGetTailleUtile(), 0);
    if (rc == 0)
        _SetEndMarker(bMarker);
    return rc;
}

int CZLBIN::nConcatInit(CZLBIN* pA, const CZLBIN* pB, unsigned flags)
{
    // B is read through its own reference: A, B and this may overlap.
    const CZLBIN b(*pB);
    if (pA->nGetTailleUtile() == 0) {
        _Share(b.m_pbyData);
        return 0;
    }
    if (flags & 0x1) {
        if (s_nGetRefCount(pA->m_pbyData) >= 2)
            _Share(pA->m_pbyData);
        else if (pA != this)
            Take(pA);
        if (b.nGetTailleUtile() == 0)
            return 0;
        const int rc = _nAppendBytes(b.m_pbyData, b.nGetTailleUtile(), 0);
        if (rc == 0)
            _SetEndMarker(b.bEndMarker());
        return rc;
    }
    if (b.nGetTailleUtile() == 0) {
        _Share(pA->m_pbyData);
        return 0;
    }
    const int64_t nA = pA->nGetTailleUtile(), nB = b.nGetTailleUtile();
    if (nA + nB > kMaxBytes)
        return STRMEM_ERR_TOO_LARGE;
    const CZLBIN a(*pA);
    int rc = _nNewBlock(nA + nB, a.m_pbyData, nA, 0);
    if (rc != 0)
        return rc;
    std::memcpy(m_pbyData + nA, b.m_pbyData, static_cast<size_t>(nB));
    _SetLength(static_cast<uint32_t>(nA + nB));
    _SetEndMarker(b.bEndMarker());
    return 0;
}

int CZLBIN::nConcatSeparateur(const CZLBIN* pSep, const CZLBIN* pOther, int bNothingWhenEmpty)
{
    const CZLBIN other(*pOther), sep(*pSep);  // either may be this value
    if (other.nGetTailleUtile() == 0)
        return 0;
    const bool bVide = nGetTailleUtile() == 0;
    const bool bSep = sep.nGetTailleUtile() > 0 && !(bVide && bNothingWhenEmpty) && !bTerminePar(*this, sep) &&
                      !bCommencePar(other, sep);
    if (bSep) {
        const int rc = nConcat(sep);
        if (rc != 0)
            return rc;
    }
    return nConcat(other);
}

int CZLBIN::nRepete(const CZLBIN& pattern, int n)
{
    const CZLBIN motif(pattern);
    const int64_t nLen = motif.nGetTailleUtile();
    if (n <= 0 || nLen == 0) {
        _Release();
        return 0;
    }
    const int64_t nTotal = nLen * n;
    if (nTotal > kMaxBytes)
        return STRMEM_ERR_TOO_LARGE;
    CZLBIN result;
    int rc = result._nNewBlock(nTotal, nullptr, 0, 0);
    if (rc != 0)
        return rc;
    for (int64_t i = 0; i < n; ++i)
        std::memcpy(result.m_pbyData + i * nLen, motif.m_pbyData, static_cast<size_t>(nLen));
    result._SetLength(static_cast<uint32_t>(nTotal));
    Take(&result);
    return 0;
}

int CZLBIN::nPos(const unsigned char* p, int n, int start) const
{
    const int64_t nLen = nGetTailleUtile();
    if (p == nullptr || start < 0 || n <= 0 || nLen == 0 || static_cast<int64_t>(start) + n > nLen)
        return -1;
    const void* hit = memmem(m_pbyData + start, static_cast<size_t>(nLen - start), p, static_cast<size_t>(n));
    return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - m_pbyData) : -1;
}

bool CZLBIN::bCommencePar(const CZLBIN& a, const CZLBIN& b)
{
    const int nB = b.nGetTailleUtile();
    return nB == 0 || (a.nGetTailleUtile() >= nB && std::memcmp(a.pbyGet(), b.pbyGet(), static_cast<size_t>(nB)) == 0);
}

bool CZLBIN::bTerminePar(const CZLBIN& a, const CZLBIN& b)
{
    const int nA = a.nGetTailleUtile(), nB = b.nGetTailleUtile();
    return nB == 0 || (nA >= nB && std::memcmp(a.pbyGet() + (nA - nB), b.pbyGet(), static_cast<size_t>(nB)) == 0);
}

bool CZLBIN::bContient(const CZLBIN& a, const CZLBIN& b)
{
    return b.nGetTailleUtile() == 0 || a.nPos(b.pbyGet(), b.nGetTailleUtile(), 0) >= 0;
}

int CZLBIN::nCompare(const CZLBIN& a, const CZLBIN& b)
{
    const uint32_t nA = a._nLength(), nB = b._nLength();
    const int c = std::memcmp(a.pbyGet(), b.pbyGet(), std::min(nA, nB));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return nA < nB ? -1 : (nA > nB ? 1 : 0);
}

int CZLBIN::nCompare(const CZLBIN& a, const CZLBIN& b, int n)
{
    if (n < 0 || static_cast<uint32_t>(n) > std::min(a._nLength(), b._nLength()))
        return nCompare(a, b);
    const int c = std::memcmp(a.pbyGet(), b.pbyGet(), static_cast<size_t>(n));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

CZLBIN CZLBIN::clMilieu(int start, int len) const
{
    CZLBIN out;
    (void)nMilieu(&out, start, len);
    return out;
}

int CZLBIN::nMilieu(CZLBIN* pOut, int start, int len) const
{
    const int nLen = nGetTailleUtile();
    if (start < 0 || start >= nLen || len == 0 || len < -1) {
        pOut->_Release();
        return 0;
    }
    // len > length - start, never start + len > length: that could wrap.
    if (len == -1 || len > nLen - start)
        len = nLen - start;
    const CZLBIN keep(*this);  // pOut may be this value
    return pOut->_nNewBlock(len, keep.m_pbyData + start, len, 0);
}

void CZLBIN::Remplace(int pos, int len, const CZLBIN& with)
{
    const int64_t nLen = nGetTailleUtile();
    if (nLen == 0 || pos < 0 || pos >= nLen)
        return;
    const CZLBIN avec(with);
    const int64_t nCut = std::min<int64_t>(len < 0 ? 0 : len, nLen - pos);
    const int64_t nWith = avec.nGetTailleUtile();
    const int64_t nNew = nLen - nCut + nWith;
    if (nNew > kMaxBytes || _nPrepareModification(std::max(nLen, nNew), 0) != 0)
        return;
    std::memmove(m_pbyData + pos + nWith, m_pbyData + pos + nCut, static_cast<size_t>(nLen - pos - nCut));
    if (nWith > 0)
        std::memcpy(m_pbyData + pos, avec.m_pbyData, static_cast<size_t>(nWith));
    _SetLength(static_cast<uint32_t>(nNew));
    if (pos + nCut == nLen)  // the last byte changed
        _SetEndMarker(nWith > 0 && avec.bEndMarker());
}

void CZLBIN::Tronque(int n)
{
    if (n < 0 || n > nGetTailleUtile() || m_pbyData == nullptr)
        return;
    if (s_nGetRefCount(m_pbyData) < 2) {
        _SetLength(static_cast<uint32_t>(n));
        _SetEndMarker(false);
        return;
    }
    // The other holders keep the block as it is; a failed copy keeps sharing.
    (void)_nNewBlock(n, m_pbyData, n, 0);
}

int CZLBIN::nSetSize(int n, unsigned flags)
{
    if (n < 0)
        return STRMEM_ERR_TOO_LARGE;
    const int rc = _nPrepareModification(n, flags);
    if (rc != 0 || m_pbyData == nullptr)
        return rc;
    if (static_cast<uint32_t>(n) != _nLength())
        _SetEndMarker(false);
    _SetLength(static_cast<uint32_t>(n));
    return 0;
}

int CZLBIN::nSetMemorySize(int n, unsigned flags)
{
    if (n < 0)
        return STRMEM_ERR_TOO_LARGE;
    return _nPrepareModification(n, flags);
}

void CZLBIN::SetUtilSize(int n)
{
    if (m_pbyData != nullptr && n >= 0 && static_cast<uint32_t>(n) <= _nCapacity())
        _SetLength(static_cast<uint32_t>(n));
}

void CZLBIN::__FillDynBin(const unsigned char* p, int n, int at)
{
    if (m_pbyData == nullptr || n < 0 || at < 0 || static_cast<int64_t>(at) + n > _nCapacity())
        return;
    if (n > 0)
        std::memmove(m_pbyData + at, p, static_cast<size_t>(n));
    _SetLength(static_cast<uint32_t>(at + n));
}
