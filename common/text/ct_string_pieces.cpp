// CTString: pieces between separators, tokens and the splitters.
#include <climits>
#include <cstdlib>
#include <cwchar>

#include "common/text/ct_string.h"

namespace {

// Piece n of text split on sep (sepLen >= 1): offset and length, or false.
// Each search goes on after the whole separator.
bool FindPiece(const wchar_t* text, size_t length, const wchar_t* sep, size_t sepLen, unsigned long n, size_t* pStart,
               size_t* pLen)
{
    size_t start = 0;
    for (unsigned long k = 0;; ++k) {
        const wchar_t* hit = std::wcsstr(text + start, sep);
        if (k == n) {
            *pStart = start;
            *pLen = (hit ? static_cast<size_t>(hit - text) : length) - start;
            return true;
        }
        if (!hit)
            return false;
        start = static_cast<size_t>(hit - text) + sepLen;
    }
}

bool FindPiece(const wchar_t* text, size_t length, wchar_t cSep, unsigned long n, size_t* pStart, size_t* pLen)
{
    if (cSep == 0) {  // never inside the text: one piece
        if (n != 0)
            return false;
        *pStart = 0;
        *pLen = length;
        return true;
    }
    const wchar_t sep[2] = {cSep, 0};
    return FindPiece(text, length, sep, 1, n, pStart, pLen);
}

}  // namespace

bool CTString::bExtraitChainePos(unsigned long n, wchar_t cSep, const wchar_t** ppStart, long* pLen) const
{
    size_t start = 0, len = 0;
    if (!FindPiece(pszGet(), _nLen(), cSep, n, &start, &len))
        return false;
    if (ppStart)
        *ppStart = pszGet() + start;
    if (pLen)
        *pLen = static_cast<long>(len);
    return true;
}

bool CTString::bExtraitChainePos(long n, const wchar_t* pszSep, const wchar_t** ppStart, long* pLen) const
{
    if (!pszSep || !*pszSep)
        return false;
    size_t start = 0, len = 0;
    if (!FindPiece(pszGet(), _nLen(), pszSep, std::wcslen(pszSep), n < 1 ? 0 : static_cast<unsigned long>(n), &start,
                   &len))
        return false;
    if (ppStart)
        *ppStart = pszGet() + start;
    if (pLen)
        *pLen = static_cast<long>(len);
    return true;
}

bool CTString::bExtraitPosTailleChaine(long n, const wchar_t* pszSep, int* pPos, long* pLen) const
{
    const wchar_t* start = nullptr;
    long len = 0;
    if (!bExtraitChainePos(n, pszSep, &start, &len) || start - pszGet() > INT_MAX)
        return false;
    if (pPos)
        *pPos = static_cast<int>(start - pszGet());
    if (pLen)
        *pLen = len;
    return true;
}

bool CTString::bExtraitChaine(unsigned long n, wchar_t cSep, CTString* pOut) const
{
    const wchar_t* start = nullptr;
    long len = 0;
    if (!m_psz || !*m_psz || !bExtraitChainePos(n, cSep, &start, &len))
        return false;
    if (pOut)
        pOut->Set(start, static_cast<unsigned long>(len));
    return true;
}

bool CTString::bExtraitChaine(long n, const wchar_t* pszSep, CTString* pOut) const
{
    const wchar_t* start = nullptr;
    long len = 0;
    if (!m_psz || !*m_psz || !bExtraitChainePos(n, pszSep, &start, &len))
        return false;
    if (pOut)
        pOut->Set(start, static_cast<unsigned long>(len));
    return true;
}

bool CTString::bExtraitEtRemplaceChaine(long n, const wchar_t* pszSep, const wchar_t* pszNew)
{
    const wchar_t* start = nullptr;
    long len = 0;
    if (!bExtraitChainePos(n, pszSep, &start, &len))
        return false;
    const wchar_t* pieces[1] = {pszNew ? pszNew : L""};
    const size_t lengths[1] = {pszNew ? std::wcslen(pszNew) : 0};
    return _bSplice(static_cast<size_t>(start - pszGet()), static_cast<size_t>(len), pieces, lengths, 1);
}

bool CTString::bExtraitChaineTok(long n, const wchar_t* pszDelims, CTString* pOut) const
{
    if (n < 0) {
        if (pOut)
            pOut->Vide();
        return true;
    }
    if (!m_psz)
        return false;
    CTString copy(*this);
    if (!copy.m_psz)
        return false;
    const wchar_t* delims = pszDelims ? pszDelims : L"";
    wchar_t* state = nullptr;
    wchar_t* token = std::wcstok(copy.m_psz, delims, &state);
    for (long k = 0; token && k < n; ++k)
        token = std::wcstok(nullptr, delims, &state);
    if (!token)
        return false;
    if (pOut)
        pOut->Set(token);
    return true;
}

void CTString::PourTouteChaineSepareePar(const wchar_t* pszSep, IVisiteurPourTouteChaine* pVisiteur) const
{
    if (!m_psz || !pszSep || !*pszSep || !pVisiteur)
        return;
    const size_t sepLen = std::wcslen(pszSep);
    const wchar_t* start = m_psz;
    for (long index = 0;; ++index) {
        const wchar_t* hit = std::wcsstr(start, pszSep);
        const long len = static_cast<long>(hit ? hit - start : static_cast<long>(std::wcslen(start)));
        if (!pVisiteur->bVisitePiece(index, start, len) || !hit)
            return;
        start = hit + sepLen;
    }
}

// Splitters: the first or last c ("Premier", "Dernier"); the string takes
// the text before or after it ("Debut", "Fin"). When c is missing the plain
// forms take all of s and answer null, the "Existant" forms empty the string
// and answer s.
namespace {

enum class Which { First, Last };
enum class Part { Before, After };

const wchar_t* Split(CTString& self, const wchar_t* s, wchar_t c, Which which, Part part, bool bExisting)
{
    const wchar_t* hit = nullptr;
    if (s && c)
        hit = which == Which::First ? std::wcschr(s, c) : std::wcsrchr(s, c);
    if (!hit) {
        if (bExisting) {
            self.Vide();
            return s;
        }
        self.Set(s);
        return nullptr;
    }
    if (part == Part::Before)
        self.Set(s, static_cast<unsigned long>(hit - s));
    else
        self.Set(hit + 1);
    return hit + 1;
}

}  // namespace

const wchar_t* CTString::pszSetDebutPremier(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::First, Part::Before, false);
}

const wchar_t* CTString::pszSetDebutDernier(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::Last, Part::Before, false);
}

const wchar_t* CTString::pszSetFinPremier(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::First, Part::After, false);
}

const wchar_t* CTString::pszSetFinDernier(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::Last, Part::After, false);
}

const wchar_t* CTString::pszSetDebutPremierExistant(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::First, Part::Before, true);
}

const wchar_t* CTString::pszSetDebutDernierExistant(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::Last, Part::Before, true);
}

const wchar_t* CTString::pszSetFinPremierExistant(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::First, Part::After, true);
}

const wchar_t* CTString::pszSetFinDernierExistant(const wchar_t* s, wchar_t c)
{
    return Split(*this, s, c, Which::Last, Part::After, true);
}
