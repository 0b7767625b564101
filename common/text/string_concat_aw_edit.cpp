// CTStringConcatAW: changes in place and searches, in wide-character
// positions mapped onto the master side.
#include <cstring>
#include <string_view>
#include <type_traits>

#include "common/system/code_page_conversion.h"
#include "common/text/code_page_text.h"
#include "common/text/str_map.h"
#include "common/text/string_concat_aw.h"

namespace {

// Replaces the units [b0, b1) of the side with the m units of q (which do
// not lie in the side). False when the side could not grow (it is spoiled).
template <class T>
bool Splice(CXYStringConcat<T>& side, long b0, long b1, const T* q, long m)
{
    const long len = side.nGetLongueur();
    const long nouvelle = len - (b1 - b0) + m;
    if (nouvelle > len && !side._AugmenteTaille(static_cast<unsigned long>(nouvelle)))
        return false;
    T* buf = side._ptGetBuffer();
    if (!buf)
        return nouvelle == 0;
    std::memmove(buf + b0 + m, buf + b1, static_cast<size_t>(len - b1) * sizeof(T));
    if (m > 0)
        std::memcpy(buf + b0, q, static_cast<size_t>(m) * sizeof(T));
    side._SetLongueur(nouvelle);
    return true;
}

template <class T>
long Find(const CXYStringConcat<T>& side, const T* q, long m, long from)
{
    const std::basic_string_view<T> text(side.pszGet(), static_cast<size_t>(side.nGetLongueur()));
    const size_t at = text.find(q, static_cast<size_t>(from), static_cast<size_t>(m));
    return at == std::basic_string_view<T>::npos ? -1 : static_cast<long>(at);
}

// A text that lies in one of the builder's sides, copied before the sides
// change under it.
template <class U>
class CCopieSiDedans
{
public:
    CCopieSiDedans(const U* p, long n, bool bDedans) : m_p(p)
    {
        if (bDedans && p && n > 0) {
            m_copie.Add(p, n);
            m_p = m_copie.pszGet();
            m_bEchec = m_copie.bEchec();
        }
    }
    const U* p() const { return m_p; }
    bool bEchec() const { return m_bEchec; }

private:
    CXYStringConcat<U> m_copie;
    const U* m_p;
    bool m_bEchec = false;
};

}  // namespace

template <class T, class U>
bool CTStringConcatAW::_bForme(const U* p, long n, CXYStringConcat<T>& scratch, const T** pp, long* pn,
                               bool* pbPerte) const
{
    *pp = nullptr;
    *pn = 0;
    if (pbPerte)
        *pbPerte = false;
    if (!p || n < 1)
        return true;
    if constexpr (std::is_same_v<T, U>) {
        if constexpr (std::is_same_v<T, wchar_t>) {
            *pp = p;
            *pn = n;
            return true;
        } else if (s_nNorme(m_nCodePageEntree) == s_nNorme(m_nCodePageMaitre)) {
            *pp = p;
            *pn = n;
            return true;
        } else if (m_nCodePageMaitre == CP_UTF8) {
            scratch.AddAnsiToUTF8(p, n, m_nCodePageEntree);
        } else {
            CXYStringConcat<wchar_t> large;
            large.AddAnsi(p, n, m_nCodePageEntree);
            if (large.bEchec())
                return false;
            scratch.AddWide(large.pszGet(), large.nGetLongueur(), m_nCodePageMaitre);
        }
    } else if constexpr (std::is_same_v<T, char>) {
        if (pbPerte) {
            int bDefaut = 0;
            WideCharToMultiByte(m_nCodePageMaitre, 0, p, static_cast<int>(n), nullptr, 0, nullptr, &bDefaut);
            *pbPerte = bDefaut != 0;
        }
        scratch.AddWide(p, n, m_nCodePageMaitre);
    } else {
        scratch.AddAnsi(p, n, m_nCodePageEntree);
    }
    if (scratch.bEchec())
        return false;
    *pp = scratch.pszGet();
    *pn = scratch.nGetLongueur();
    return true;
}

void CTStringConcatAW::Tronque(long n)
{
    pszGetW();
    if (bEstVide())
        return;
    const CCarteMaitreA carte = _Carte();
    const long total = carte.nNbCar();
    if (n > total)
        return;
    if (n < 1) {
        _SetLongueurMaitre(0);
        _Change();
        return;
    }
    if (total > n) {
        _SetLongueurMaitre(carte.nOctet(n));
        _Change();
    }
}

void CTStringConcatAW::Coupe(long nPos, long nCount)
{
    pszGetW();
    if (bEstVide() || nPos < 0 || nCount <= 0)
        return;
    const CCarteMaitreA carte = _Carte();
    const long total = carte.nNbCar();
    if (nPos > total)
        return;
    const long b0 = carte.nOctet(nPos);
    if (nCount < total - nPos) {
        const long b1 = carte.nOctet(nPos + nCount);
        if (bMaitreLarge())
            Splice<wchar_t>(m_clW, b0, b1, nullptr, 0);
        else
            Splice<char>(m_clA, b0, b1, nullptr, 0);
    } else {
        _SetLongueurMaitre(b0);
    }
    _Change();
}

template <class T, class U>
void CTStringConcatAW::_InsertDans(const U* p, long n, long nPos)
{
    CXYStringConcat<T>& side = _Cote<T>();
    CXYStringConcat<T> scratch;
    const T* q;
    long m;
    if (!_bForme<T, U>(p, n, scratch, &q, &m)) {
        _EchecMaitre();
        return;
    }
    if (m == 0)
        return;
    if (side.nGetLongueur() == 0) {
        side.Add(q, m);
    } else {
        const CCarteMaitreA carte = _Carte();
        if (nPos < 0)
            nPos = 0;
        if (nPos >= carte.nNbCar()) {
            side.Add(q, m);
        } else {
            const long b = carte.nOctet(nPos);
            Splice<T>(side, b, b, q, m);
        }
    }
    _Change();
}

template <class U>
void CTStringConcatAW::_Insert(const U* p, long n, long nPos)
{
    n = s_nLongueur(p, n);
    if (n == 0)
        return;
    const CCopieSiDedans<U> texte(p, n, _bDansUnCote(p));
    if (texte.bEchec()) {
        _EchecMaitre();
        return;
    }
    pszGetW();
    if (bMaitreLarge())
        _InsertDans<wchar_t, U>(texte.p(), n, nPos);
    else
        _InsertDans<char, U>(texte.p(), n, nPos);
}

void CTStringConcatAW::Insert(const wchar_t* pszText, long nLen, long nPos)
{
    _Insert(pszText, nLen, nPos);
}

void CTStringConcatAW::Insert(const char* pszText, long nLen, long nPos)
{
    _Insert(pszText, nLen, nPos);
}

template <class T, class U>
void CTStringConcatAW::_RemplaceDans(long nPos, long nCount, const U* p, long n)
{
    CXYStringConcat<T>& side = _Cote<T>();
    const CCarteMaitreA carte = _Carte();
    const long total = carte.nNbCar();
    if (nPos < 0 || nPos > total)
        return;
    if (nCount < 0 || nCount > total - nPos)
        nCount = total - nPos;
    CXYStringConcat<T> scratch;
    const T* q;
    long m;
    if (!_bForme<T, U>(p, n, scratch, &q, &m)) {
        _EchecMaitre();
        return;
    }
    if (nCount == 0 && m == 0)
        return;
    Splice<T>(side, carte.nOctet(nPos), carte.nOctet(nPos + nCount), q, m);
    _Change();
}

template <class U>
void CTStringConcatAW::_Remplace(long nPos, long nCount, const U* p, long n)
{
    n = s_nLongueur(p, n);
    const CCopieSiDedans<U> texte(p, n, p && _bDansUnCote(p));
    if (texte.bEchec()) {
        _EchecMaitre();
        return;
    }
    pszGetW();
    if (bEstVide())
        return;
    if (bMaitreLarge())
        _RemplaceDans<wchar_t, U>(nPos, nCount, texte.p(), n);
    else
        _RemplaceDans<char, U>(nPos, nCount, texte.p(), n);
}

void CTStringConcatAW::Remplace(long nPos, long nCount, const wchar_t* pszText, long nLen)
{
    _Remplace(nPos, nCount, pszText, nLen);
}

void CTStringConcatAW::Remplace(long nPos, long nCount, const char* pszText, long nLen)
{
    _Remplace(nPos, nCount, pszText, nLen);
}

template <class T, class U>
void CTStringConcatAW::_RemplaceToutDans(const U* pattern, long nPattern, const U* with, long nWith, long nStart)
{
    CXYStringConcat<T>& side = _Cote<T>();
    CXYStringConcat<T> scratchP, scratchR;
    const T* q;
    const T* r;
    long m, mr;
    if (!_bForme<T, U>(pattern, nPattern, scratchP, &q, &m) || !_bForme<T, U>(with, nWith, scratchR, &r, &mr)) {
        _EchecMaitre();
        return;
    }
    if (m == 0 || q[0] == 0 || m > side.nGetLongueur())
        return;
    const CCarteMaitreA carte = _Carte();
    if (nStart < 0)
        nStart = 0;
    if (nStart > carte.nNbCar())
        return;
    long at = Find(side, q, m, carte.nOctet(nStart));
    if (at < 0)
        return;
    if (m == mr) {
        T* buf = side._ptGetBuffer();
        for (; at >= 0; at = Find(side, q, m, at + m))
            std::memcpy(buf + at, r, static_cast<size_t>(m) * sizeof(T));
    } else {
        // One pass into a new text: the same occurrences as replacing each
        // in turn and searching again behind its replacement.
        CXYStringConcat<T> result(side.nGetPas());
        const T* buf = side.pszGet();
        const long len = side.nGetLongueur();
        long from = 0;
        for (; at >= 0; at = Find(side, q, m, from)) {
            result.Add(buf + from, at - from);
            result.Add(r, mr);
            from = at + m;
        }
        result.Add(buf + from, len - from);
        if (result.bEchec()) {
            _EchecMaitre();
            return;
        }
        side.Echange(result);
    }
    _Change();
}

template <class U>
void CTStringConcatAW::_RemplaceTout(const U* pattern, long nPattern, const U* with, long nWith, long nStart)
{
    nPattern = s_nLongueur(pattern, nPattern);
    nWith = s_nLongueur(with, nWith);
    if (nPattern == 0)
        return;
    const CCopieSiDedans<U> motif(pattern, nPattern, _bDansUnCote(pattern));
    const CCopieSiDedans<U> remplacement(with, nWith, with && _bDansUnCote(with));
    if (motif.bEchec() || remplacement.bEchec()) {
        _EchecMaitre();
        return;
    }
    pszGetW();
    if (bEstVide())
        return;
    if (bMaitreLarge())
        _RemplaceToutDans<wchar_t, U>(motif.p(), nPattern, remplacement.p(), nWith, nStart);
    else
        _RemplaceToutDans<char, U>(motif.p(), nPattern, remplacement.p(), nWith, nStart);
}

void CTStringConcatAW::Remplace(const wchar_t* pszPattern, long nPatternLen, const wchar_t* pszWith, long nWithLen,
                                long nStart)
{
    _RemplaceTout(pszPattern, nPatternLen, pszWith, nWithLen, nStart);
}

void CTStringConcatAW::Remplace(const char* pszPattern, long nPatternLen, const char* pszWith, long nWithLen,
                                long nStart)
{
    _RemplaceTout(pszPattern, nPatternLen, pszWith, nWithLen, nStart);
}

template <class T, class U>
long CTStringConcatAW::_nPosDans(const U* p, long n, long nStart) const
{
    const CXYStringConcat<T>& side = _Cote<T>();
    CXYStringConcat<T> scratch;
    const T* q;
    long m;
    bool bPerte = false;
    // A text with characters the master cannot hold is nowhere in it (its
    // conversion would look for the "?" put in their place).
    if (!_bForme<T, U>(p, n, scratch, &q, &m, &bPerte) || bPerte || m == 0 || q[0] == 0)
        return -1;
    const CCarteMaitreA carte = _Carte();
    if (nStart < 0)
        nStart = 0;
    if (nStart >= carte.nNbCar())
        return -1;
    const long at = Find(side, q, m, carte.nOctet(nStart));
    return at < 0 ? -1 : carte.nCar(at);
}

template <class U>
long CTStringConcatAW::_nPos(const U* p, long n, long nStart) const
{
    if (n == 0 || bEstVide())
        return -1;
    if (bMaitreLarge())
        return _nPosDans<wchar_t, U>(p, n, nStart);
    return _nPosDans<char, U>(p, n, nStart);
}

long CTStringConcatAW::nPos(const wchar_t* pszText, long nStart) const
{
    return _nPos(pszText, s_nLongueur(pszText, -1), nStart);
}

long CTStringConcatAW::nPos(const char* pszText, long nStart) const
{
    return _nPos(pszText, s_nLongueur(pszText, -1), nStart);
}

long CTStringConcatAW::nPos(wchar_t c, long nStart) const
{
    if (c == 0)
        return -1;
    // For an 8-bit master the character is searched as the bytes its code
    // page gives it (one byte would not do for UTF-8 or a double-byte page).
    return _nPos(&c, 1, nStart);
}

long CTStringConcatAW::nPos(char c, long nStart) const
{
    if (c == 0 || bEstVide())
        return -1;
    if (bMaitreLarge()) {
        const wchar_t w = STR_CharToWChar(c, 0, m_nCodePageEntree);
        // A byte that is no character of the input code page is not there.
        if (w == 0 || (w == L'?' && c != '?'))
            return -1;
        return _nPosDans<wchar_t, wchar_t>(&w, 1, nStart);
    }
    // The byte itself when the code pages agree; otherwise the character it
    // is in the input code page, in the master's form.
    return _nPosDans<char, char>(&c, 1, nStart);
}

void CTStringConcatAW::_MajusculeA()
{
    const CCarteMaitreA carte = _Carte();
    const char* a = m_clA.pszGet();
    CXYStringConcat<char> result(m_clA.nGetPas());
    bool bChange = false;
    long fin = 0;
    carte.Parcours([&](long, long debut, long finCar, uint32_t c) {
        result.Add(a + fin, debut - fin);
        wchar_t up = static_cast<wchar_t>(c);
        STR_ToUpperBuff(&up, 1);
        if (static_cast<uint32_t>(up) != c) {
            char octets[16];
            int bDefaut = 0;
            const int k = WideCharToMultiByte(m_nCodePageMaitre, 0, &up, 1, octets, sizeof octets, nullptr, &bDefaut);
            if (k > 0 && !bDefaut) {
                result.Add(octets, k);
                bChange = true;
                fin = finCar;
                return;
            }
        }
        result.Add(a + debut, finCar - debut);
        fin = finCar;
    });
    result.Add(a + fin, m_clA.nGetLongueur() - fin);
    if (!bChange)
        return;
    if (result.bEchec()) {
        _EchecMaitre();
        return;
    }
    m_clA.Echange(result);
    _Change();
}

void CTStringConcatAW::Majuscule()
{
    pszGetW();
    if (bEstVide())
        return;
    if (bMaitreLarge()) {
        STR_ToUpperBuff(m_clW._ptGetBuffer(), m_clW.nGetLongueur());
        _Change();
    } else {
        _MajusculeA();
    }
}
