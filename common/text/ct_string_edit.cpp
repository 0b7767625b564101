// CTString: editing in place.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "common/text/ct_string.h"
#include "common/text/str_map.h"
#include "common/text/str_trim.h"

namespace {

size_t Measure(const wchar_t* p)
{
    return p ? std::wcslen(p) : 0;
}

// A count below 0 reads as 0; one past the text is clipped to it.
size_t Clip(long n, size_t limit)
{
    if (n <= 0)
        return 0;
    return static_cast<unsigned long>(n) > limit ? limit : static_cast<size_t>(n);
}

}  // namespace

void CTString::Add(wchar_t c)
{
    if (c == 0)
        return;
    const wchar_t* pieces[1] = {&c};
    const size_t lengths[1] = {1};
    _bAppend(pieces, lengths, 1);
}

void CTString::Add(const wchar_t* psz)
{
    const wchar_t* pieces[1] = {psz};
    const size_t lengths[1] = {Measure(psz)};
    _bAppend(pieces, lengths, 1);
}

void CTString::Add(const CXYString<wchar_t>& s)
{
    Add(s.pszGet());
}

void CTString::Add(const CXYString<wchar_t>* ps)
{
    if (ps)
        Add(ps->pszGet());
}

void CTString::Add(const wchar_t* p, int n)
{
    if (!p || n < 1)
        return;
    // Never past the terminator, wherever it is.
    const wchar_t* pieces[1] = {p};
    const size_t lengths[1] = {wcsnlen(p, static_cast<size_t>(n))};
    _bAppend(pieces, lengths, 1);
}

void CTString::Add(const wchar_t* a, const wchar_t* b, const wchar_t* c)
{
    const wchar_t* pieces[3] = {a, b, c};
    const size_t lengths[3] = {Measure(a), Measure(b), Measure(c)};
    _bAppend(pieces, lengths, 3);
}

void CTString::AddI4(int n)
{
    AddI8(n);
}

void CTString::AddI8(long n)
{
    wchar_t digits[24];
    std::swprintf(digits, 24, L"%ld", n);
    Add(digits);
}

void CTString::Insert(wchar_t c)
{
    if (c == 0)
        return;
    const wchar_t* pieces[1] = {&c};
    const size_t lengths[1] = {1};
    _bSplice(0, 0, pieces, lengths, 1);
}

void CTString::Insert(const wchar_t* p, int n, int nAt)
{
    if (!p || !*p || n < -1 || n == 0)
        return;
    const size_t count = n == -1 ? std::wcslen(p) : wcsnlen(p, static_cast<size_t>(n));
    const size_t length = _nLen();
    const size_t at = nAt <= 0 ? 0 : std::min(static_cast<size_t>(nAt), length);
    const wchar_t* pieces[1] = {p};
    const size_t lengths[1] = {count};
    _bSplice(at, 0, pieces, lengths, 1);
}

void CTString::Remplace(long nPos, long n, const wchar_t* psz)
{
    const size_t length = _nLen();
    if (length == 0 || nPos < 0 || static_cast<unsigned long>(nPos) > length)
        return;
    const size_t pos = static_cast<size_t>(nPos);
    const wchar_t* pieces[1] = {psz};
    const size_t lengths[1] = {Measure(psz)};
    _bSplice(pos, Clip(n, length - pos), pieces, lengths, 1);
}

long CTString::Remplace(wchar_t cFind, wchar_t cWith, long nStart)
{
    const long length = nTaille();
    if (cFind == 0)
        return length;
    for (long i = std::max(0L, nStart); i < length; ++i) {
        if (m_psz[i] == cFind)
            m_psz[i] = cWith;
    }
    return length;
}

void CTString::Insecable()
{
    Remplace(L' ', L'\u00A0', 0);
}

void CTString::Tronque(long n)
{
    const size_t length = _nLen();
    if (n < 0 || static_cast<unsigned long>(n) > length)
        return;
    _bSplice(static_cast<size_t>(n), length - static_cast<size_t>(n), nullptr, nullptr, 0);
}

void CTString::TronqueDebut(long n)
{
    const size_t length = _nLen();
    _bSplice(0, Clip(n, length), nullptr, nullptr, 0);
}

void CTString::Coupe(long nPos, long n)
{
    const size_t length = _nLen();
    if (nPos < 0 || static_cast<unsigned long>(nPos) > length)
        return;
    _bSplice(static_cast<size_t>(nPos), Clip(n, length - static_cast<size_t>(nPos)), nullptr, nullptr, 0);
}

void CTString::Complete(long n, wchar_t c)
{
    const size_t length = _nLen();
    if (n <= 0) {
        Vide();
        return;
    }
    const size_t target = static_cast<size_t>(n);
    if (target <= length) {
        Tronque(n);
        return;
    }
    if (!_SetBufferSize(static_cast<unsigned long>(target)))
        return;
    std::wmemset(m_psz + length, c, target - length);
    m_psz[target] = 0;
}

void CTString::SansEspace()
{
    size_t length = _nLen();
    size_t keep = length;
    while (keep > 0 && m_psz[keep - 1] == L' ')
        --keep;
    if (keep != length)
        Tronque(static_cast<long>(keep));
}

// The trimming functions work in place; the block is then fitted.
void CTString::Trim()
{
    if (!m_psz)
        return;
    STR_SuppressSideSpaces(m_psz);
    _Fit();
}

void CTString::Trim(wchar_t c)
{
    if (!m_psz)
        return;
    STR_SuppressSideCar(m_psz, c);
    _Fit();
}

void CTString::LTrim(wchar_t c)
{
    if (!m_psz)
        return;
    STR_SuppressLeftCar(m_psz, c);
    _Fit();
}

void CTString::RTrim(wchar_t c)
{
    if (!m_psz)
        return;
    STR_SuppressRightCar(m_psz, c);
    _Fit();
}

void CTString::_Fit()
{
    const size_t length = _nLen();
    if (length == 0)
        Vide();
    else
        _SetBufferSize(static_cast<unsigned long>(length));  // shrinking keeps the text
}

void CTString::Majuscule()
{
    if (m_psz)
        STR_ToUpper(m_psz);
}

void CTString::Minuscule()
{
    if (m_psz)
        STR_ToLower(m_psz);
}

void CTString::SansAccent()
{
    if (!m_psz)
        return;
    for (wchar_t* p = m_psz; *p; ++p) {
        wchar_t mapped = 0;
        if (STR_nMapCharEx(LOCALE_FLAG_IGNORE_ACCENTS, &mapped, *p) > 0 && mapped != 0)
            *p = mapped;
    }
}

void CTString::MapStringEx(unsigned nMode)
{
    const size_t length = _nLen();
    if (length == 0 || length >= static_cast<size_t>(INT32_MAX))
        return;
    // The map reads a copy: whether the host maps in place safely is its
    // own business.
    const CTString source(*this);
    if (!source.m_psz)
        return;
    const int written =
        STR_nMapStringEx(nMode, m_psz, static_cast<int>(length + 1), source.m_psz, static_cast<int>(length));
    m_psz[std::clamp(written, 0, static_cast<int>(length))] = 0;
    _Fit();
}

void CTString::Renverse()
{
    if (m_psz)
        std::reverse(m_psz, m_psz + _nLen());
}

void CTString::Ellipse(const wchar_t* s, unsigned long max, eELLIPSISPOSITION where)
{
    const size_t length = Measure(s);
    const size_t size = std::min(length, static_cast<size_t>(max));
    if (size == 0) {
        Vide();
        return;
    }
    if (_bInside(s)) {
        const CTString copy(s);
        Ellipse(copy.pszGet(), max, where);
        return;
    }
    if (!_SetBufferSize(static_cast<unsigned long>(size)))
        return;
    STR_Ellipsis(m_psz, s, max, where);
}

long CTString::nVal(int nBase, int nStart, int n) const
{
    if (nBase < 2 || nBase > 36)
        return 0;
    const size_t length = _nLen();
    if (nStart < 0 || static_cast<size_t>(nStart) >= length)
        return 0;
    const size_t end = n < 0 ? length : std::min(length, static_cast<size_t>(nStart) + static_cast<size_t>(n));
    unsigned long value = 0;  // wraps rather than overflows
    for (size_t i = static_cast<size_t>(nStart); i < end; ++i) {
        const wchar_t c = m_psz[i];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'z')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'Z')
            digit = c - L'A' + 10;
        else
            break;
        if (digit >= nBase)
            break;
        value = value * static_cast<unsigned long>(nBase) + static_cast<unsigned long>(digit);
    }
    return static_cast<long>(value);
}
