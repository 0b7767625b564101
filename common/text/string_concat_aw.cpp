// CTStringConcatAW: mode, reading with the rebuild rule, appending.
#include "common/text/string_concat_aw.h"

#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/ct_string.h"

template <class U>
long CTStringConcatAW::s_nLongueur(const U* p, long nLen)
{
    if (!p)
        return 0;
    if (nLen == -1) {
        const size_t n = std::char_traits<U>::length(p);
        // Longer than a side may hold: the side refuses it and is spoiled.
        return n > static_cast<size_t>(CXYStringConcat<U>::kLongueurMax) ? CXYStringConcat<U>::kLongueurMax + 1
                                                                          : static_cast<long>(n);
    }
    return nLen < 1 ? 0 : nLen;
}

template long CTStringConcatAW::s_nLongueur(const char*, long);
template long CTStringConcatAW::s_nLongueur(const wchar_t*, long);

unsigned CTStringConcatAW::s_nNorme(unsigned nCodePage)
{
    if (nCodePage == 0)
        return 1252;
    if (nCodePage == 1)
        return 437;
    return nCodePage;
}

CTStringConcatAW::CTStringConcatAW(unsigned nCodePageMaitre, unsigned nCodePageEntree)
    : m_nCodePageMaitre(nCodePageMaitre), m_nCodePageEntree(nCodePageEntree)
{
}

void CTStringConcatAW::SetCodePages(unsigned nCodePageMaitre, unsigned nCodePageEntree)
{
    m_nCodePageMaitre = nCodePageMaitre;
    m_nCodePageEntree = nCodePageEntree;
    Vide();
}

void CTStringConcatAW::Vide()
{
    m_clA.Vide();
    m_clW.Vide();
}

const wchar_t* CTStringConcatAW::pszGetW() const
{
    if (!bMaitreLarge() && m_clW.nGetLongueur() == 0 && m_clA.nGetLongueur() > 0) {
        m_clW.Vide();
        m_clW.AddAnsi(m_clA.pszGet(), m_clA.nGetLongueur(), m_nCodePageMaitre);
    }
    return m_clW.pszGet();
}

const char* CTStringConcatAW::pszGetA() const
{
    if (bMaitreLarge() && m_clA.nGetLongueur() == 0 && m_clW.nGetLongueur() > 0) {
        m_clA.Vide();
        m_clA.AddWide(m_clW.pszGet(), m_clW.nGetLongueur(), m_nCodePageEntree);
    }
    return m_clA.pszGet();
}

bool CTStringConcatAW::bEstVide() const
{
    return _nLongueurMaitre() == 0;
}

wchar_t CTStringConcatAW::cGetCharW(long i) const
{
    pszGetW();
    return m_clW.cGetChar(i);
}

char CTStringConcatAW::cGetCharA(long i) const
{
    pszGetW();
    if (m_clW.nGetLongueur() == 0 || m_clA.nGetLongueur() == 0)
        return 0;
    return m_clA.cGetChar(i);
}

CCarteMaitreA CTStringConcatAW::_Carte() const
{
    if (bMaitreLarge())
        return CCarteMaitreA(nullptr, m_clW.nGetLongueur(), m_clW.pszGet(), m_clW.nGetLongueur(), 1252);
    // Code pages other than 1252 and UTF-8 are walked through the wide text.
    if (!CCarteMaitreA::s_bUnOctetParCar(m_nCodePageMaitre) && m_nCodePageMaitre != CP_UTF8)
        pszGetW();
    return CCarteMaitreA(m_clA.pszGet(), m_clA.nGetLongueur(), m_clW.pszGet(), m_clW.nGetLongueur(),
                         m_nCodePageMaitre);
}

bool CTStringConcatAW::bIsCharSpace(long i) const
{
    if (bEstVide() || i < 0)
        return false;
    if (bMaitreLarge())
        return m_clW.cGetChar(i) == L' ';
    const long at = _Carte().nDebutCar(i);
    return at >= 0 && m_clA.cGetChar(at) == ' ';
}

void CTStringConcatAW::_Change()
{
    if (bMaitreLarge())
        m_clA.Vide();
    else
        m_clW.Vide();
}

void CTStringConcatAW::_ApresAjout(long nAvant)
{
    if (_nLongueurMaitre() != nAvant || bEchec())
        _Change();
}

void CTStringConcatAW::_SetLongueurMaitre(long n)
{
    _SurMaitre([&](auto& side) { side._SetLongueur(n); });
}

void CTStringConcatAW::_EchecMaitre()
{
    _SurMaitre([](auto& side) { side._Abandonne(); });
    _Change();
}

void CTStringConcatAW::Add(const wchar_t* pszText, long nLen, unsigned)
{
    const long n = s_nLongueur(pszText, nLen);
    if (n == 0)
        return;
    const long avant = _nLongueurMaitre();
    if (bMaitreLarge())
        m_clW.Add(pszText, n);
    else
        m_clA.AddWide(pszText, n, m_nCodePageMaitre);
    _ApresAjout(avant);
}

void CTStringConcatAW::Add(const char* pszText, long nLen, unsigned nCodePage)
{
    long n = s_nLongueur(pszText, nLen);
    if (n == 0)
        return;
    if (nCodePage == kCodePageEntree)
        nCodePage = m_nCodePageEntree;
    const long avant = _nLongueurMaitre();
    if (bMaitreLarge()) {
        m_clW.AddAnsi(pszText, n, nCodePage);
    } else if (s_nNorme(nCodePage) == s_nNorme(m_nCodePageMaitre)) {
        m_clA.Add(pszText, n);
    } else {
        // The conversion writes into the master: a text inside it is copied
        // first.
        CXYStringConcat<char> copie;
        if (m_clA.bContient(pszText)) {
            copie.Add(pszText, n);
            if (copie.bEchec()) {
                _EchecMaitre();
                return;
            }
            pszText = copie.pszGet();
        }
        if (m_nCodePageMaitre == CP_UTF8) {
            m_clA.AddAnsiToUTF8(pszText, n, nCodePage);
        } else {
            CXYStringConcat<wchar_t> large;
            large.AddAnsi(pszText, n, nCodePage);
            if (large.bEchec())
                m_clA._Abandonne();
            else
                m_clA.AddWide(large.pszGet(), large.nGetLongueur(), m_nCodePageMaitre);
        }
    }
    _ApresAjout(avant);
}

void CTStringConcatAW::Add(const CTString& s)
{
    Add(s.pszGet(), s.nTaille(), kCodePageEntree);
}

void CTStringConcatAW::AddUTF8(const char* pszText, long nLen)
{
    const long n = s_nLongueur(pszText, nLen);
    if (n == 0)
        return;
    const long avant = _nLongueurMaitre();
    if (bMaitreLarge()) {
        m_clW.AddUTF8(pszText, n, CP_UTF8);
    } else {
        CXYStringConcat<char> copie;
        if (m_nCodePageMaitre != CP_UTF8 && m_clA.bContient(pszText)) {
            copie.Add(pszText, n);
            pszText = copie.pszGet();
        }
        m_clA.AddUTF8(pszText, n, m_nCodePageMaitre);
    }
    _ApresAjout(avant);
}

void CTStringConcatAW::SetStrCte(const wchar_t* pszText, long nLen)
{
    // The text may be the builder's own: keep it until it is added again.
    CXYStringConcat<wchar_t> copie;
    if (pszText && _bDansUnCote(pszText)) {
        copie.Add(pszText, s_nLongueur(pszText, nLen));
        pszText = copie.pszGet();
        nLen = copie.nGetLongueur();
    }
    Vide();
    Add(pszText, nLen, kCodePageEntree);
}

void CTStringConcatAW::AddNumber(int v, int nMinDigits)
{
    AddNumber(static_cast<long>(v), nMinDigits);
}

void CTStringConcatAW::AddNumber(long v, int nMinDigits)
{
    _SurMaitre([&](auto& side) { side.AddNumber(v, nMinDigits); });
    _Change();
}

void CTStringConcatAW::AddNumberHexa(unsigned char v)
{
    _SurMaitre([&](auto& side) { side.AddNumberHexa(v); });
    _Change();
}

void CTStringConcatAW::AddNumberHexa(unsigned short v)
{
    _SurMaitre([&](auto& side) { side.AddNumberHexa(v); });
    _Change();
}

void CTStringConcatAW::AddNumberHexa(unsigned int v)
{
    _SurMaitre([&](auto& side) { side.AddNumberHexa(v); });
    _Change();
}

void CTStringConcatAW::AddNumberHexa(unsigned long v)
{
    _SurMaitre([&](auto& side) { side.AddNumberHexa(v); });
    _Change();
}
