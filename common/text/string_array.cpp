#include "common/text/string_array.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <new>

namespace {

CTString* NewString(const wchar_t* psz)
{
    return new (std::nothrow) CTString(psz);
}

int CompareCroissant(const void* a, const void* b)
{
    return std::wcscmp((*static_cast<CTString* const*>(a))->pszGet(), (*static_cast<CTString* const*>(b))->pszGet());
}

int CompareCroissantI(const void* a, const void* b)
{
    return wcscasecmp((*static_cast<CTString* const*>(a))->pszGet(), (*static_cast<CTString* const*>(b))->pszGet());
}

int CompareDecroissant(const void* a, const void* b)
{
    return CompareCroissant(b, a);
}

}  // namespace

CTStringArray::CTStringArray(int nPas) : CTTableau<CTString*>(nPas, 30) {}

CTStringArray::~CTStringArray()
{
    SupprimeTout();
}

bool CTStringArray::_bAjoute(CTString* p)
{
    if (!p)
        return false;
    if (!CTTableau<CTString*>::Ajoute(p)) {
        delete p;
        return false;
    }
    return true;
}

bool CTStringArray::_bInsere(CTString* p, int nAt)
{
    if (!p)
        return false;
    if (!CTTableau<CTString*>::Insere(p, nAt)) {
        delete p;
        return false;
    }
    return true;
}

int CTStringArray::Initialise(void const* pElement, int n)
{
    return Initialise(*static_cast<CTString* const*>(pElement), n);
}

int CTStringArray::Initialise(CTString* const& pElement, int n)
{
    // The text is copied before the elements (one of which it may be) go.
    const CTString texte(pElement ? pElement->pszGet() : nullptr);
    SupprimeTout();
    for (int i = 0; i < n; ++i) {
        if (!_bAjoute(NewString(texte.pszGet())))
            return 0;
    }
    return 1;
}

void CTStringArray::Ajoute(const CTString* p)
{
    Ajoute(p ? p->pszGet() : nullptr);
}

void CTStringArray::Ajoute(const wchar_t* psz)
{
    _bAjoute(NewString(psz));
}

void CTStringArray::Ajoute(const CTTableau<CTString*>& other)
{
    // The other array may be this one: its count is taken first and its
    // storage read afresh after each growth.
    const int n = other.nGetNbElement();
    for (int i = 0; i < n; ++i) {
        const CTString* p = other[i];
        Ajoute(p ? p->pszGet() : nullptr);
    }
}

void CTStringArray::Insere(const CTString* p, int nAt)
{
    Insere(p ? p->pszGet() : nullptr, nAt);
}

void CTStringArray::Insere(const wchar_t* psz, int nAt)
{
    if (nAt < 0 || nAt > m_nNbElement)
        return;
    _bInsere(NewString(psz), nAt);
}

void CTStringArray::SetAt(const CTString* p, int i)
{
    SetAt(p ? p->pszGet() : nullptr, i);
}

void CTStringArray::SetAt(const wchar_t* psz, int i)
{
    if (i < 0 || i >= m_nNbElement)
        return;
    CTString* p = NewString(psz);
    if (!p)
        return;
    CTString* old = _pGet(i);
    CTTableau<CTString*>::SetAt(p, i);
    delete old;
}

void CTStringArray::Supprime(int i)
{
    if (i < 0 || i >= m_nNbElement)
        return;
    delete _pGet(i);
    CTableauDeBuffer::Supprime(i, 1);
}

void CTStringArray::SupprimeTout()
{
    for (int i = m_nNbElement - 1; i >= 0; --i) {
        delete _pGet(i);
        CTableauDeBuffer::Supprime(i, 1);
    }
}

CTString* CTStringArray::operator[](int i) const
{
    return _pGet(i);
}

int CTStringArray::nRecherche(const wchar_t* s, int bCaseSensitive, int nStart) const
{
    if (!s)
        s = L"";
    for (int i = nStart < 0 ? 0 : nStart; i < m_nNbElement; ++i) {
        const CTString* p = _pGet(i);
        if (bCaseSensitive ? std::wcscmp(p->pszGet(), s) == 0 : p->bEstEgalI(s))
            return i;
    }
    return -1;
}

void CTStringArray::TrieCroisssant()
{
    if (m_nNbElement > 1)
        std::qsort(m_pBuffer, static_cast<size_t>(m_nNbElement), sizeof(CTString*), CompareCroissant);
}

void CTStringArray::TrieCroisssantI()
{
    if (m_nNbElement > 1)
        std::qsort(m_pBuffer, static_cast<size_t>(m_nNbElement), sizeof(CTString*), CompareCroissantI);
}

void CTStringArray::TrieDecroisssant()
{
    if (m_nNbElement > 1)
        std::qsort(m_pBuffer, static_cast<size_t>(m_nNbElement), sizeof(CTString*), CompareDecroissant);
}

bool CTStringArray::bFusion(CTString* pOut, const wchar_t* sep) const
{
    if (!pOut || m_nNbElement == 0)
        return true;
    const size_t nSep = sep ? std::wcslen(sep) : 0;
    size_t total = 0;
    for (int i = 0; i < m_nNbElement; ++i) {
        const size_t n = static_cast<size_t>(_pGet(i)->nTaille()) + (i > 0 ? nSep : 0);
        if (n > SIZE_MAX / sizeof(wchar_t) - 1 - total)
            return false;
        total += n;
    }
    auto* block = static_cast<wchar_t*>(std::malloc((total + 1) * sizeof(wchar_t)));
    if (!block)
        return false;
    wchar_t* out = block;
    for (int i = 0; i < m_nNbElement; ++i) {
        if (i > 0 && nSep) {
            std::wmemcpy(out, sep, nSep);
            out += nSep;
        }
        const CTString* p = _pGet(i);
        const size_t n = static_cast<size_t>(p->nTaille());
        std::wmemcpy(out, p->pszGet(), n);
        out += n;
    }
    *out = 0;
    pOut->SetBuffer(block);
    return true;
}

void CTStringArray::Decoupe(const CTString& s, const wchar_t* sep)
{
    Decoupe(s.pszGet(), sep);
}

void CTStringArray::Decoupe(const wchar_t* s, const wchar_t* sep)
{
    // The text may be one of the elements about to go.
    const CTString texte(s);
    SupprimeTout();
    const wchar_t* text = texte.pszGet();
    if (!*text || !sep || !*sep)
        return;
    const size_t nSep = std::wcslen(sep);
    for (const wchar_t* start = text;;) {
        const wchar_t* hit = std::wcsstr(start, sep);
        const long n = hit ? static_cast<long>(hit - start) : static_cast<long>(std::wcslen(start));
        if (!_bAjoute(new (std::nothrow) CTString(start, n)) || !hit)
            return;
        start = hit + nSep;
    }
}

void CTStringArray::Initialise(const wchar_t* s, int n)
{
    const CTString texte(s);
    for (int i = 0; i < n; ++i) {
        if (!_bAjoute(NewString(texte.pszGet())))
            return;
    }
}

void CTStringArray::vAjoute(const wchar_t* s, long n)
{
    _bAjoute(new (std::nothrow) CTString(s, n));
}

void CTStringArray::AjouteRecupere(CTString* p)
{
    CTString* element = new (std::nothrow) CTString();
    if (!element)
        return;
    if (p)
        element->Transfert(*p);
    if (!CTTableau<CTString*>::Ajoute(element)) {
        // Not stored: p keeps its text.
        if (p)
            p->Transfert(*element);
        delete element;
    }
}

int CTStringArray::AjoutePrintf(const wchar_t* pszFormat, ...)
{
    CTString* element = new (std::nothrow) CTString();
    if (!_bAjoute(element))
        return -1;
    va_list args;
    va_start(args, pszFormat);
    const int n = element->FormatV(pszFormat, args);
    va_end(args);
    return n;
}

CTString* CTStringArray::_pclAjouteVide()
{
    CTString* element = new (std::nothrow) CTString();
    return _bAjoute(element) ? element : nullptr;
}

bool CTStringArray::g_bTrieCroissantI(CTString* pOut, const wchar_t* s, const wchar_t* sep)
{
    CTStringArray pieces(1);
    pieces.Decoupe(s, sep);
    pieces.TrieCroisssantI();
    return pieces.bFusion(pOut, sep);
}
