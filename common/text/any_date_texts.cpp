#include "common/text/any_date_texts.h"

#include <type_traits>

#include "common/text/code_page_text.h"
#include "common/text/cp1252.h"

namespace {

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

constexpr size_t kMaxTexte = 16;

// Up to nMax characters of an 8-bit text (n bytes, -1: up to the
// terminator; a zero byte ends it too), read in code page 1252.
size_t nDepuis1252(const char* p, unsigned long n, wchar_t* pOut, size_t nMax)
{
    size_t i = 0;
    if (p == nullptr)
        return 0;
    for (; i < nMax && i < n && p[i] != 0; ++i)
        pOut[i] = STR_FromCP1252(static_cast<unsigned char>(p[i]));
    return i;
}

// Up to nMax characters of a wide text (which may lie at any address) in
// code page 1252.
size_t nVers1252(const void* p, char* pOut, size_t nMax)
{
    size_t i = 0;
    if (p == nullptr)
        return 0;
    const unsigned char* pby = static_cast<const unsigned char*>(p);
    for (; i < nMax; ++i) {
        wchar_t c;
        std::memcpy(&c, pby + i * sizeof c, sizeof c);
        if (c == 0)
            break;
        pOut[i] = STR_ToCP1252(c, '?', nullptr);
    }
    return i;
}

}  // namespace

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::s_nSetTexte(const void* pObjet, const T* p, size_t n)
{
    T at[NCARS + 1] = {};
    for (size_t i = 0; i < n && i < static_cast<size_t>(NCARS); ++i) {
        T c;
        std::memcpy(&c, p + i, sizeof c);
        if (c == 0)
            break;
        at[i] = c;
    }
    return s_nEcritValeur(pObjet, at, sizeof at);
}

template <class T, int NCARS, bool BDATE>
size_t TAny_ZLDateTexte<T, NCARS, BDATE>::s_nLongueur(const void* pObjet)
{
    const unsigned char* pby = Owner(pObjet)._pbyGetValeur();
    size_t n = 0;
    for (; n < static_cast<size_t>(NCARS); ++n) {
        T c;
        std::memcpy(&c, pby + n * sizeof(T), sizeof c);
        if (c == 0)
            break;
    }
    return n;
}

template <class T, int NCARS, bool BDATE>
void TAny_ZLDateTexte<T, NCARS, BDATE>::Duplique(CAny* pTarget) const
{
    const CAny& v = Owner(this);
    s_Duplique(this, pTarget, v.nGetTypeCode(), v._pbyGetValeur(), false, 0, true);
}

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::SetValue(const void* p)
{
    return s_nSetTexte(this, static_cast<const T*>(p), p ? static_cast<size_t>(NCARS) : 0);
}

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::nGetPCASTR(const char** pp) const
{
    if constexpr (std::is_same_v<T, char>) {
        *pp = reinterpret_cast<const char*>(Owner(this)._pbyGetValeur());
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::nGetPCWSTR(const wchar_t** pp) const
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        *pp = reinterpret_cast<const wchar_t*>(Owner(this)._pbyGetValeur());
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::nGetUtilDataSize(unsigned long* pn) const
{
    return s_nTaille(pn, BDATE ? TAILLE : s_nLongueur(this) * sizeof(T));
}

template <class T, int NCARS, bool BDATE>
int TAny_ZLDateTexte<T, NCARS, BDATE>::nFillUtilDataBuffer(void* p) const
{
    return s_nCopieValeur(this, p, BDATE ? TAILLE : s_nLongueur(this) * sizeof(T));
}

template class TAny_ZLDateTexte<wchar_t, 8, true>;
template class TAny_ZLDateTexte<wchar_t, 9, false>;
template class TAny_ZLDateTexte<char, 8, true>;
template class TAny_ZLDateTexte<char, 9, false>;

namespace {

template <class C>
int nWideDepuisAnsi(const void* pObjet, const void* p, unsigned long n)
{
    wchar_t at[kMaxTexte];
    return C::s_nSetTexte(pObjet, at, nDepuis1252(static_cast<const char*>(p), n, at, C::NCARS_TEXTE));
}

template <class C>
int nAnsiDepuisWide(const void* pObjet, const void* p)
{
    char ac[kMaxTexte];
    return C::s_nSetTexte(pObjet, ac, nVers1252(p, ac, C::NCARS_TEXTE));
}

}  // namespace

int CAny_ZLDATEW::SetValueFromANSI(const void* p)
{
    return nWideDepuisAnsi<CAny_ZLDATEW>(this, p, static_cast<unsigned long>(-1));
}

int CAny_ZLDATEW::SetValueFromANSI(const void* p, unsigned long n) { return nWideDepuisAnsi<CAny_ZLDATEW>(this, p, n); }

int CAny_ZLTIMEW::SetValueFromANSI(const void* p)
{
    return nWideDepuisAnsi<CAny_ZLTIMEW>(this, p, static_cast<unsigned long>(-1));
}

int CAny_ZLTIMEW::SetValueFromANSI(const void* p, unsigned long n) { return nWideDepuisAnsi<CAny_ZLTIMEW>(this, p, n); }

int CAny_ZLDATEA::SetValueFromUNICODE(const void* p) { return nAnsiDepuisWide<CAny_ZLDATEA>(this, p); }

int CAny_ZLTIMEA::SetValueFromUNICODE(const void* p) { return nAnsiDepuisWide<CAny_ZLTIMEA>(this, p); }
