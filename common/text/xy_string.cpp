#include "common/text/xy_string.h"

#include <cwchar>

alignas(4) const char gszVideA[4] = {0, 0, 0, 0};
const wchar_t gszVideW[1] = {0};

namespace {

template <class T>
constexpr int64_t nBytesOf(int64_t nUnits)
{
    return nUnits * static_cast<int64_t>(sizeof(T));
}

}  // namespace

template <class T>
int64_t CXYString<T>::s_nMeasure(const T* psz)
{
    if constexpr (std::is_same_v<T, char>)
        return static_cast<int64_t>(std::strlen(psz));
    else
        return static_cast<int64_t>(std::wcslen(psz));
}

template <class T>
int CXYString<T>::__nNew(int nUnits, const T* pSrc, int nCopy, unsigned flags)
{
    if (nUnits < 0)
        return STRMEM_ERR_TOO_LARGE;
    int rc = _nNewBlock(nBytesOf<T>(nUnits), pSrc, nBytesOf<T>(nCopy), flags);
    if (rc == 0)
        _Terminate();
    return rc;
}

template <class T>
int CXYString<T>::__nPrepareModification(int nUnits)
{
    if (nUnits < 0)
        return STRMEM_ERR_TOO_LARGE;
    int rc = _nPrepareModification(nBytesOf<T>(nUnits), 0);
    if (rc == 0)
        _Terminate();  // a copied block has none yet
    return rc;
}

template <class T>
int CXYString<T>::nUnshare()
{
    if (m_pbyData == nullptr)
        return 0;
    return __nPrepareModification(nGetLongueur());
}

template <class T>
int CXYString<T>::nSetLength(int nUnits)
{
    int rc = __nPrepareModification(nUnits);
    if (rc != 0 || m_pbyData == nullptr)
        return rc;
    const uint32_t nBytes = static_cast<uint32_t>(nBytesOf<T>(nUnits));
    if (nBytes < _nLength()) {
        // The last character is gone, and with it what the marker said.
        _SetLength(nBytes);
        _SetFlags(_dwFlags() & ~STRMEM_FLAG_END_MARKER);
        _Terminate();
    }
    return 0;
}

template <class T>
int CXYString<T>::nAffecte(const T* psz, int nLen)
{
    int64_t nUnits = nLen;
    if (psz != nullptr && nLen == -1)
        nUnits = s_nMeasure(psz);
    if (psz == nullptr || nUnits < 1) {
        _Release();
        return 0;
    }
    int rc = _nAssignBytes(psz, nBytesOf<T>(nUnits), 0);
    if (rc == 0)
        _Terminate();
    return rc;
}

template <class T>
void CXYString<T>::Set(const T* psz)
{
    if (nAffecte(psz, -1) != 0)
        _Release();
}

template <class T>
int CXYString<T>::nConcat(const T* psz, int n)
{
    if (psz == nullptr || n < 1)
        return 0;
    if (m_pbyData == nullptr)
        return __nNew(n, psz, n, 0);
    int rc = _nAppendBytes(psz, nBytesOf<T>(n), 0);
    if (rc != 0)
        return rc;
    _SetFlags(_dwFlags() & ~STRMEM_FLAG_END_MARKER);
    _Terminate();
    return 0;
}

template <class T>
int CXYString<T>::nConcat(const T* psz)
{
    if (psz == nullptr)
        return 0;
    const int64_t nUnits = s_nMeasure(psz);
    if (nBytesOf<T>(nUnits) > STRMEM_MAX_BYTES)
        return STRMEM_ERR_TOO_LARGE;
    return nConcat(psz, static_cast<int>(nUnits));
}

template <class T>
int CXYString<T>::nConcat(const CXYString& src)
{
    if (src.m_pbyData == nullptr || src._nLength() == 0)
        return 0;
    if (m_pbyData == nullptr) {
        _Share(src.m_pbyData);
        return 0;
    }
    // Read everything of the source first: it may be this very value, or
    // share its block, and preparing the target changes both.
    const unsigned char* pSrc = src.m_pbyData;
    const uint32_t nSrcBytes = src._nLength();
    const uint32_t dwMarker = src._dwFlags() & STRMEM_FLAG_END_MARKER;
    int rc = _nAppendBytes(pSrc, nSrcBytes, 0);
    if (rc != 0)
        return rc;
    // Only now is the block the target's own: the marker goes there.
    _SetFlags((_dwFlags() & ~STRMEM_FLAG_END_MARKER) | dwMarker);
    _Terminate();
    return 0;
}

template <class T>
int CXYString<T>::_nSetUtilLength(int nUnits)
{
    if (nUnits < 0)
        return STRMEM_ERR_TOO_LARGE;
    if (m_pbyData == nullptr)
        return nUnits == 0 ? 0 : STRMEM_ERR_TOO_LARGE;
    const int64_t nBytes = nBytesOf<T>(nUnits);
    if (nBytes > _nCapacity())
        return STRMEM_ERR_TOO_LARGE;
    _SetLength(static_cast<uint32_t>(nBytes));
    _Terminate();
    return 0;
}

template <class T>
void CXYString<T>::__FillDynStr(const T* p, int n, int at)
{
    if (m_pbyData == nullptr || n < 0 || at < 0 || nBytesOf<T>(static_cast<int64_t>(at) + n) > _nCapacity())
        return;
    if (n > 0)
        std::memmove(m_pbyData + nBytesOf<T>(at), p, static_cast<size_t>(nBytesOf<T>(n)));
    _SetLength(static_cast<uint32_t>(nBytesOf<T>(static_cast<int64_t>(at) + n)));
    _Terminate();
}

template class CXYString<char>;
template class CXYString<wchar_t>;
