#include "common/text/xy_string_concat.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <utility>

#include "common/system/code_page_conversion.h"
#include "common/system/native_code_pages.h"
#include "common/system/xmalloc.h"
#include "common/text/str_map.h"
#include "common/text/utf8_code_page.h"

namespace {

// Beyond this many source units a conversion measures first instead of
// reserving its worst case: a large value must not cost four times its size.
constexpr long kEstimationMax = 4096;

int nToInt(long n)
{
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

bool bEstUTF8(unsigned nCodePage)
{
    return nCodePage == CP_UTF8;
}

template <class T>
size_t Measure(const T* p)
{
    return std::char_traits<T>::length(p);
}

// Code pages in which ASCII is itself (the natively converted 1252 and
// UTF-8): their ASCII runs are copied without a converter.
bool bAsciiTransparent(unsigned nCodePage)
{
    if (nCodePage == CP_UTF8 || nCodePage == 1252 || nCodePage == 0)
        return true;
    return NativeCodePageOf(static_cast<int>(nCodePage)) != NativeCodePage::kNone;
}

// UTF-8 as the library's converter writes it ("?" for a surrogate or a
// value above U+10FFFF), without going through it: the SQL text of a
// Unicode connection is built by many small appends.
long Utf8Size(const wchar_t* p, long n)
{
    long size = 0;
    for (long i = 0; i < n; ++i) {
        const auto c = static_cast<uint32_t>(p[i]);
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? ((c < 0xD800 || c > 0xDFFF) ? 3 : 1) : c <= 0x10FFFF ? 4 : 1;
    }
    return size;
}

long Utf8Encode(char* d, const wchar_t* p, long n)
{
    char* out = d;
    for (long i = 0; i < n; ++i) {
        const auto c = static_cast<uint32_t>(p[i]);
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000 && (c < 0xD800 || c > 0xDFFF)) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = '?';
        }
    }
    return out - d;
}

// Decimal digits of a value, most significant first, terminated; returns
// the count.
template <class T>
long Decimal(long v, T* out)
{
    char tmp[24];
    int n = 0;
    unsigned long m = v < 0 ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
    do {
        tmp[n++] = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m);
    long k = 0;
    if (v < 0)
        out[k++] = T('-');
    while (n)
        out[k++] = static_cast<T>(tmp[--n]);
    out[k] = 0;
    return k;
}

// Copies the leading ASCII units of src; returns how many.
template <class D, class S>
long CopyAscii(D* dst, const S* src, long n)
{
    long i = 0;
    for (; i < n; ++i) {
        const auto c = static_cast<uint32_t>(static_cast<std::make_unsigned_t<S>>(src[i]));
        if (c >= 0x80)
            break;
        dst[i] = static_cast<D>(c);
    }
    return i;
}

// Whether n units of p are to be converted: not for a null text, n below 1
// or a spoiled builder; more than nMax units spoil the builder.
template <class T>
bool bAConvertir(CXYStringConcat<T>& s, const void* p, long n, long nMax)
{
    if (!p || n < 1 || s.bEchec())
        return false;
    if (n > nMax) {
        s._Abandonne();
        return false;
    }
    return true;
}

// Where the code page keeps ASCII as it is, the leading ASCII run of p is
// copied without a converter and p and n move past it. True when nothing is
// left to convert (all copied, or the builder spoiled).
template <class D, class S>
bool bAddAsciiRun(CXYStringConcat<D>& s, const S*& p, long& n, unsigned nCodePage)
{
    if (!bAsciiTransparent(nCodePage))
        return false;
    D* d = s._ptReserve(n);
    if (!d)
        return true;
    const long k = CopyAscii(d, p, n);
    s._Avance(k);
    p += k;
    n -= k;
    return n == 0;
}

}  // namespace

template <class T>
CXYStringConcat<T>::CXYStringConcat(long nPas)
    : m_pBuffer(nullptr), m_nLongueur(0), m_nCapacite(0), m_nPas(nPas >= 1 ? nPas : kPasDefaut), m_bEchec(false)
{
}

template <class T>
CXYStringConcat<T>::~CXYStringConcat()
{
    XMALLOC_Del_(m_pBuffer);
}

template <class T>
void CXYStringConcat<T>::Vide()
{
    m_nLongueur = 0;
    m_bEchec = false;
    _Terminate();
}

template <class T>
void CXYStringConcat<T>::Echange(CXYStringConcat& other)
{
    std::swap(m_pBuffer, other.m_pBuffer);
    std::swap(m_nLongueur, other.m_nLongueur);
    std::swap(m_nCapacite, other.m_nCapacite);
    std::swap(m_nPas, other.m_nPas);
    std::swap(m_bEchec, other.m_bEchec);
}

template <class T>
void CXYStringConcat<T>::_Echec()
{
    m_bEchec = true;
    m_nLongueur = 0;
    _Terminate();
}

template <class T>
bool CXYStringConcat<T>::_bDedans(const void* p) const
{
    const uintptr_t a = reinterpret_cast<uintptr_t>(p);
    const uintptr_t b = reinterpret_cast<uintptr_t>(m_pBuffer);
    return m_pBuffer && a >= b && a <= b + static_cast<uintptr_t>(m_nCapacite) * sizeof(T);
}

template <class T>
bool CXYStringConcat<T>::_AugmenteTaille(unsigned long nBesoin)
{
    if (m_bEchec)
        return false;
    if (nBesoin <= static_cast<unsigned long>(m_nCapacite))
        return true;
    if (nBesoin > static_cast<unsigned long>(kLongueurMax)) {
        _Echec();
        return false;
    }
    // nBesoin < 2^31 and the step < 2^63: no overflow in 64 bits.
    const unsigned long pas = static_cast<unsigned long>(m_nPas);
    const unsigned long capacite = (nBesoin / pas + 1) * pas;
    if (capacite > static_cast<unsigned long>(LONG_MAX) || capacite >= SIZE_MAX / sizeof(T)) {
        _Echec();
        return false;
    }
    void* p = XMALLOC_pResize_(m_pBuffer, (capacite + 1) * sizeof(T));
    if (!p) {
        _Echec();
        return false;
    }
    m_pBuffer = static_cast<T*>(p);
    m_nCapacite = static_cast<long>(capacite);
    return true;
}

template <class T>
T* CXYStringConcat<T>::_ptReserve(long n)
{
    if (n < 0 || n > kLongueurMax - m_nLongueur) {
        if (!m_bEchec)
            _Echec();
        return nullptr;
    }
    if (!_AugmenteTaille(static_cast<unsigned long>(m_nLongueur + n)))
        return nullptr;
    return m_pBuffer + m_nLongueur;
}

template <class T>
void CXYStringConcat<T>::_Avance(long n)
{
    if (n <= 0 || m_bEchec)
        return;
    m_nLongueur += n;
    _Terminate();
}

template <class T>
void CXYStringConcat<T>::_SetLongueur(long n)
{
    if (n < 0 || n > m_nCapacite || m_bEchec)
        return;
    m_nLongueur = n;
    _Terminate();
}

template <class T>
void CXYStringConcat<T>::Add(const T* p, long n)
{
    if (!p || n < 1 || m_bEchec)
        return;
    // The text may lie in the buffer that growth is about to move.
    const bool bDedans = _bDedans(p);
    const ptrdiff_t offset = bDedans ? p - m_pBuffer : 0;
    T* d = _ptReserve(n);
    if (!d)
        return;
    if (bDedans)
        p = m_pBuffer + offset;
    std::memmove(d, p, static_cast<size_t>(n) * sizeof(T));
    _Avance(n);
}

template <class T>
void CXYStringConcat<T>::Add(const T* p)
{
    if (!p)
        return;
    const size_t n = Measure(p);
    if (n > static_cast<size_t>(kLongueurMax)) {
        _Echec();
        return;
    }
    Add(p, static_cast<long>(n));
}

template <class T>
template <class Convert, class Measure>
void CXYStringConcat<T>::_AddConverti(long nEstimation, Convert convert, Measure measure)
{
    T* d = _ptReserve(nEstimation);
    if (!d)
        return;
    long n = convert(d, nToInt(m_nCapacite - m_nLongueur));
    if (n <= 0) {
        const long besoin = measure();
        if (besoin <= 0 || besoin <= m_nCapacite - m_nLongueur)
            return;
        d = _ptReserve(besoin);
        if (!d)
            return;
        n = convert(d, nToInt(m_nCapacite - m_nLongueur));
    }
    _Avance(n);
}

template <class T>
void CXYStringConcat<T>::AddAnsi(const char* p, long n, unsigned nCodePage)
{
    if constexpr (std::is_same_v<T, char>) {
        (void)nCodePage;
        Add(p, n);
    } else {
        if (!bAConvertir(*this, p, n, kLongueurMax))
            return;
        if (bAddAsciiRun(*this, p, n, nCodePage))
            return;
        // A byte never gives more than one character. The converter drops
        // invalid bytes but fails on a sequence cut by the end of the text:
        // that one is dropped too, like the others, by converting without
        // its (at most three) bytes.
        const long avant = m_nLongueur;
        for (long cut = 0; cut <= 3 && cut < n && m_nLongueur == avant && !m_bEchec; ++cut) {
            const int len = static_cast<int>(n - cut);
            _AddConverti(
                len, [&](wchar_t* d, int room) { return MultiByteToWideChar(nCodePage, 0, p, len, d, room); },
                [&] { return MultiByteToWideChar(nCodePage, 0, p, len, nullptr, 0); });
        }
    }
}

template <class T>
void CXYStringConcat<T>::AddWide(const wchar_t* p, long n, unsigned nCodePage)
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        (void)nCodePage;
        Add(p, n);
    } else {
        if (!bAConvertir(*this, p, n, kLongueurMax))
            return;
        if (nCodePage == CP_UTF8) {
            // Small pieces get the worst case, large ones their exact size.
            const long size = n <= kEstimationMax ? 4 * n : Utf8Size(p, n);
            char* d = _ptReserve(size);
            if (d)
                _Avance(Utf8Encode(d, p, n));
            return;
        }
        // SQL text is mostly ASCII: the leading run is copied as it is.
        if (bAddAsciiRun(*this, p, n, nCodePage))
            return;
        const int len = static_cast<int>(n);
        auto measure = [&] { return WideCharToMultiByte(nCodePage, 0, p, len, nullptr, 0, nullptr, nullptr); };
        // Four bytes hold any character of UTF-8 and of the double-byte code
        // pages; the stateful ones may need more and are measured.
        const long estimation = n <= kEstimationMax ? 4 * n : measure();
        if (estimation <= 0)
            return;
        _AddConverti(
            estimation,
            [&](char* d, int room) { return WideCharToMultiByte(nCodePage, 0, p, len, d, room, nullptr, nullptr); },
            measure);
    }
}

template <class T>
void CXYStringConcat<T>::AddAnsiToUTF8(const char* p, long n, unsigned nCodePage)
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        AddAnsi(p, n, nCodePage);
    } else {
        if (bEstUTF8(nCodePage)) {
            Add(p, n);
            return;
        }
        if (!bAConvertir(*this, p, n, kLongueurMax / 3))
            return;
        // A byte of a single-byte code page gives at most three bytes of
        // UTF-8, a double-byte character at most four.
        const int len = static_cast<int>(n);
        _AddConverti(
            3 * n + 4,
            // The terminator slot behind the room is part of the destination
            // (the converter keeps one byte for it).
            [&](char* d, int room) { return MultiByteToUTF8(nCodePage, p, len, d, room + 1, 0); },
            [] { return 0L; });
    }
}

template <class T>
long CXYStringConcat<T>::_nUTF8ToX(const char* p, long n, T* pDst, int nCodePage)
{
    if (!p || !pDst || n < 1 || n > kLongueurMax)
        return 0;
    if constexpr (std::is_same_v<T, wchar_t>) {
        (void)nCodePage;
        return MultiByteToWideChar(CP_UTF8, 0, p, static_cast<int>(n), pDst, static_cast<int>(n));
    } else {
        return UTF8ToMultiByte(static_cast<unsigned>(nCodePage), p, static_cast<int>(n), pDst, static_cast<int>(n) + 1,
                               0, nullptr, nullptr);
    }
}

template <class T>
void CXYStringConcat<T>::AddUTF8(const char* p, long n, unsigned nCodePage)
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        (void)nCodePage;
        AddAnsi(p, n, CP_UTF8);
    } else {
        if (bEstUTF8(nCodePage)) {
            Add(p, n);
            return;
        }
        if (!bAConvertir(*this, p, n, kLongueurMax / 4))
            return;
        // A code page never takes more bytes than UTF-8, except the stateful
        // ones: those get a second, larger room.
        const int len = static_cast<int>(n);
        _AddConverti(
            n, [&](char* d, int room) { return UTF8ToMultiByte(nCodePage, p, len, d, room + 1, 0, nullptr, nullptr); },
            [&] { return 4 * n + 8; });
    }
}

template <class T>
void CXYStringConcat<T>::_AddPrefix0(T* pDigits, int nMinDigits)
{
    if (!pDigits)
        return;
    const size_t n = Measure(pDigits);
    if (nMinDigits < 0 || n >= static_cast<size_t>(nMinDigits))
        return;
    const size_t zeros = static_cast<size_t>(nMinDigits) - n;
    std::memmove(pDigits + zeros, pDigits, (n + 1) * sizeof(T));
    for (size_t i = 0; i < zeros; ++i)
        pDigits[i] = T('0');
}

template <class T>
void CXYStringConcat<T>::_AddDigits(const T* digits, bool bPositive, int nMinDigits)
{
    const long n = static_cast<long>(Measure(digits));
    const long largeur = bPositive && nMinDigits != -1 && nMinDigits > n ? nMinDigits : n;
    T* d = _ptReserve(largeur);
    if (!d)
        return;
    // The reserved room and the terminator slot hold largeur + 1 units, as
    // _AddPrefix0 needs.
    std::memcpy(d, digits, static_cast<size_t>(n + 1) * sizeof(T));
    if (largeur > n)
        _AddPrefix0(d, static_cast<int>(largeur));
    _Avance(largeur);
}

template <class T>
void CXYStringConcat<T>::AddNumber(int v, int nMinDigits)
{
    AddNumber(static_cast<long>(v), nMinDigits);
}

template <class T>
void CXYStringConcat<T>::AddNumber(long v, int nMinDigits)
{
    if (m_bEchec)
        return;
    T digits[24];
    Decimal(v, digits);
    _AddDigits(digits, v > 0, nMinDigits);
}

namespace {

// Upper-case hexadecimal, two digits a byte of the value's width, most
// significant first.
template <class T, class V>
void AddHexa(CXYStringConcat<T>& s, V v)
{
    static const char kHex[] = "0123456789ABCDEF";
    constexpr int nDigits = 2 * sizeof(V);
    T digits[nDigits];
    for (int i = nDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<T>(kHex[v & 0xF]);
        v >>= 4;
    }
    s.Add(digits, nDigits);
}

// The first occurrence of what (a text or a unit) at or after nStart.
template <class T, class W>
long nTrouve(const T* p, long n, W what, long nStart)
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= n)
        return -1;
    const std::basic_string_view<T> text(p, static_cast<size_t>(n));
    const size_t at = text.find(what, static_cast<size_t>(nStart));
    return at == std::basic_string_view<T>::npos ? -1 : static_cast<long>(at);
}

}  // namespace

template <class T>
void CXYStringConcat<T>::AddNumberHexa(unsigned char v)
{
    AddHexa(*this, v);
}

template <class T>
void CXYStringConcat<T>::AddNumberHexa(unsigned short v)
{
    AddHexa(*this, v);
}

template <class T>
void CXYStringConcat<T>::AddNumberHexa(unsigned int v)
{
    AddHexa(*this, v);
}

template <class T>
void CXYStringConcat<T>::AddNumberHexa(unsigned long v)
{
    AddHexa(*this, v);
}

template <class T>
void CXYStringConcat<T>::AddNumberBinary(unsigned char b, int bMostSignificantFirst)
{
    T bits[8];
    for (int i = 0; i < 8; ++i) {
        const int bit = bMostSignificantFirst ? 7 - i : i;
        bits[i] = (b >> bit) & 1 ? T('1') : T('0');
    }
    Add(bits, 8);
}

template <class T>
long CXYStringConcat<T>::nPos(const T* s, long nStart) const
{
    if (m_nLongueur == 0 || !s || !*s)
        return -1;
    return nTrouve(m_pBuffer, m_nLongueur, s, nStart);
}

template <class T>
long CXYStringConcat<T>::nPos(T c, long nStart) const
{
    if (m_nLongueur == 0 || c == 0)
        return -1;
    return nTrouve(m_pBuffer, m_nLongueur, c, nStart);
}

template <class T>
bool CXYStringConcat<T>::bEstEgal(const T* s) const
{
    const size_t n = s ? Measure(s) : 0;
    return n == static_cast<size_t>(m_nLongueur) &&
           (n == 0 || std::memcmp(m_pBuffer, s, n * sizeof(T)) == 0);
}

template <class T>
void CXYStringConcat<T>::Majuscule()
{
    if (m_nLongueur)
        STR_ToUpperBuff(m_pBuffer, m_nLongueur);
}

template class CXYStringConcat<char>;
template class CXYStringConcat<wchar_t>;
