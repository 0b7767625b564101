#include "common/text/ct_string.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "common/text/str_compare.h"
#include "common/text/str_map.h"

namespace {

// Bytes of a block of n characters and a terminator; 0 when that does not fit.
size_t BlockBytes(size_t n)
{
    if (n >= SIZE_MAX / sizeof(wchar_t) - 1)
        return 0;
    return (n + 1) * sizeof(wchar_t);
}

size_t Measure(const wchar_t* p)
{
    return p ? std::wcslen(p) : 0;
}

}  // namespace

CTString::~CTString()
{
    std::free(m_psz);
}

CTString::CTString(const wchar_t* psz)
{
    Set(psz);
}

CTString::CTString(const CTString& other)
{
    Set(other.m_psz);
}

CTString::CTString(CTString&& other) noexcept : m_psz(other.m_psz)
{
    other.m_psz = nullptr;
}

CTString::CTString(const wchar_t* psz, long n)
{
    if (n < 0)
        Set(psz);
    else
        Set(psz, static_cast<unsigned long>(n));
}

CTString::CTString(const wchar_t* a, const wchar_t* b, const wchar_t* c)
{
    Set(a, b, c);
}

CTString& CTString::operator=(const wchar_t* psz)
{
    Set(psz);
    return *this;
}

CTString& CTString::operator=(wchar_t* psz)
{
    Set(psz);
    return *this;
}

CTString& CTString::operator=(const CTString& other)
{
    if (this != &other)
        Set(other.m_psz);
    return *this;
}

CTString& CTString::operator=(CTString&& other) noexcept
{
    if (this != &other) {
        std::free(m_psz);
        m_psz = other.m_psz;
        other.m_psz = nullptr;
    }
    return *this;
}

CTString& CTString::operator=(wchar_t c)
{
    Set(c);
    return *this;
}

void CTString::Set(const wchar_t* psz)
{
    if (psz && psz == m_psz)
        return;
    _Assign(psz, Measure(psz));
}

void CTString::Set(const CXYString<wchar_t>& s)
{
    Set(s.pszGet());
}

void CTString::Set(const CXYString<wchar_t>* ps)
{
    Set(ps ? ps->pszGet() : nullptr);
}

void CTString::Set(const wchar_t* psz, unsigned long n)
{
    _Assign(psz, psz ? wcsnlen(psz, n) : 0);
}

void CTString::SetFromBinary(const wchar_t* p, unsigned long n)
{
    if (!p || n == 0) {
        Vide();
        return;
    }
    const size_t bytes = BlockBytes(n);
    if (bytes == 0)
        return;
    auto* block = static_cast<wchar_t*>(std::malloc(bytes));
    if (!block)
        return;
    std::wmemcpy(block, p, n);
    block[n] = 0;
    std::free(m_psz);
    m_psz = block;
}

void CTString::Set(const wchar_t* a, const wchar_t* b, const wchar_t* c)
{
    const wchar_t* pieces[3] = {a ? a : L"", b ? b : L"", c ? c : L""};
    const size_t lengths[3] = {Measure(a), Measure(b), Measure(c)};
    _bSplice(0, _nLen(), pieces, lengths, 3);
}

void CTString::Set(wchar_t c)
{
    _Assign(&c, c ? 1 : 0);
}

void CTString::SetI4(int n)
{
    SetI8(n);
}

void CTString::SetI8(long n)
{
    wchar_t digits[24];
    std::swprintf(digits, 24, L"%ld", n);
    Set(digits);
}

void CTString::SetStandard(const wchar_t* psz)
{
    if (psz && psz == m_psz) {
        MapStringEx(LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS);
        return;
    }
    Set(psz);
    MapStringEx(LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS);
}

void CTString::Vide()
{
    std::free(m_psz);
    m_psz = nullptr;
}

void CTString::SetBuffer(wchar_t* pBuffer)
{
    if (pBuffer == m_psz)
        return;
    std::free(m_psz);
    m_psz = pBuffer;
}

void CTString::Transfert(CTString& other)
{
    if (&other == this)
        return;
    std::free(m_psz);
    m_psz = other.m_psz;
    other.m_psz = nullptr;
}

bool CTString::_SetBufferSize(unsigned long n)
{
    const size_t bytes = BlockBytes(n);
    if (bytes == 0)
        return false;
    void* block = std::realloc(m_psz, bytes);  // malloc when there is none
    if (!block)
        return false;
    m_psz = static_cast<wchar_t*>(block);
    return true;
}

long CTString::nTaille() const
{
    return static_cast<long>(_nLen());
}

bool CTString::bEstEgal(const wchar_t* psz) const
{
    return std::wcscmp(pszGet(), psz ? psz : L"") == 0;
}

bool CTString::bEstEgalI(const wchar_t* psz) const
{
    // Flags 2 and the 1 of the upper-case comparison: neither case nor
    // accents count.
    return STR_nUpCompareW(pszGet(), psz ? psz : L"", LOCALE_FLAG_IGNORE_ACCENTS) == 0;
}

bool CTString::bCommencePar(const wchar_t* psz) const
{
    const size_t n = Measure(psz);
    return wcsnlen(pszGet(), n) == n && std::wmemcmp(pszGet(), psz, n) == 0;
}

bool CTString::bTerminePar(const wchar_t* psz) const
{
    const size_t n = Measure(psz), length = _nLen();
    return n <= length && std::wmemcmp(pszGet() + length - n, psz, n) == 0;
}

bool CTString::bCommenceParI(const wchar_t* psz) const
{
    const size_t n = Measure(psz);
    if (wcsnlen(pszGet(), n) < n)
        return false;
    return CTString(pszGet(), static_cast<long>(n)).bEstEgalI(psz);
}

bool CTString::bTermineParI(const wchar_t* psz) const
{
    const size_t n = Measure(psz), length = _nLen();
    if (n > length)
        return false;
    return STR_nUpCompareW(pszGet() + length - n, psz, LOCALE_FLAG_IGNORE_ACCENTS) == 0;
}

bool CTString::bTerminePar(wchar_t c) const
{
    const size_t length = _nLen();
    return length > 0 && m_psz[length - 1] == c;
}

size_t CTString::_nLen() const
{
    return m_psz ? std::wcslen(m_psz) : 0;
}

bool CTString::_bInside(const wchar_t* p) const
{
    if (!m_psz || !p)
        return false;
    const auto at = reinterpret_cast<uintptr_t>(p), begin = reinterpret_cast<uintptr_t>(m_psz);
    return at >= begin && at <= begin + _nLen() * sizeof(wchar_t);
}

void CTString::_Assign(const wchar_t* p, size_t n)
{
    if (!p || n == 0) {
        Vide();
        return;
    }
    if (m_psz && _nLen() == n) {
        // Same length: the block is reused (the text may overlap it).
        std::wmemmove(m_psz, p, n);
        return;
    }
    const wchar_t* pieces[1] = {p};
    const size_t lengths[1] = {n};
    _bSplice(0, _nLen(), pieces, lengths, 1);
}

bool CTString::_bSplice(size_t nPos, size_t nDel, const wchar_t* const* ppPieces, const size_t* pnPieces, int nPieces)
{
    const size_t length = _nLen();
    if (nPos > length)
        nPos = length;
    if (nDel > length - nPos)
        nDel = length - nPos;
    size_t total = length - nDel;
    for (int i = 0; i < nPieces; ++i) {
        if (pnPieces[i] > SIZE_MAX / 2 - total)
            return false;
        total += pnPieces[i];
    }
    if (total == 0) {
        Vide();
        return true;
    }
    if (total == length && nDel == 0)
        return true;
    // A new block: the pieces may lie in the old one.
    const size_t bytes = BlockBytes(total);
    auto* block = bytes ? static_cast<wchar_t*>(std::malloc(bytes)) : nullptr;
    if (!block)
        return false;
    size_t at = 0;
    if (nPos)
        std::wmemcpy(block, m_psz, nPos);
    at = nPos;
    for (int i = 0; i < nPieces; ++i) {
        if (pnPieces[i])
            std::wmemcpy(block + at, ppPieces[i], pnPieces[i]);
        at += pnPieces[i];
    }
    if (length > nPos + nDel)
        std::wmemcpy(block + at, m_psz + nPos + nDel, length - nPos - nDel);
    block[total] = 0;
    std::free(m_psz);
    m_psz = block;
    return true;
}

bool CTString::_bAppend(const wchar_t* const* ppPieces, const size_t* pnPieces, int nPieces)
{
    bool inside = false;
    size_t added = 0;
    for (int i = 0; i < nPieces; ++i) {
        inside = inside || (pnPieces[i] && _bInside(ppPieces[i]));
        if (pnPieces[i] > SIZE_MAX / 2 - added)
            return false;
        added += pnPieces[i];
    }
    if (added == 0)
        return true;
    const size_t length = _nLen();
    if (inside)
        return _bSplice(length, 0, ppPieces, pnPieces, nPieces);
    // The pieces lie elsewhere: the block may grow in place.
    if (added > SIZE_MAX / 2 - length || !_SetBufferSize(static_cast<unsigned long>(length + added)))
        return false;
    size_t at = length;
    for (int i = 0; i < nPieces; ++i) {
        if (pnPieces[i])
            std::wmemcpy(m_psz + at, ppPieces[i], pnPieces[i]);
        at += pnPieces[i];
    }
    m_psz[at] = 0;
    return true;
}
