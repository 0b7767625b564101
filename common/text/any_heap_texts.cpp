#include "common/text/any_heap_texts.h"

#include <cstdlib>
#include <type_traits>

#include "common/text/code_page_text.h"
#include "common/text/str_create.h"
#include "common/text/unicode_units.h"

namespace {

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

template <class T>
size_t nLongueur(const T* psz)
{
    if constexpr (std::is_same_v<T, char>)
        return std::strlen(psz);
    else
        return __UNALIGNED__UNICODE__STRLEN__(psz);
}

template <class T>
const T* pszVide()
{
    return reinterpret_cast<const T*>(CAny_Intern::ChaineVide);
}

// Characters of a byte count for SetValue(p, n); -1 when over the limit.
template <class T>
long nCarsDepuisOctets(unsigned long n)
{
    const unsigned long nCars = n / sizeof(T);
    return nCars > ANY_MAX_UNITES ? -1 : static_cast<long>(nCars);
}

constexpr unsigned int kCodePageDefaut = 1252;

// The new text from 8-bit text for the wide class.
int nWideDepuisAnsi(const void* pObjet, const void* p, unsigned long n, unsigned int nCodePage)
{
    if (n > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    wchar_t* psz = nullptr;
    if (n > 0 && p != nullptr) {
        psz = pszCSTR2XSTR(static_cast<const char*>(p), static_cast<int>(n), nCodePage);
        if (psz == nullptr)
            return ANY_ERR_MEMOIRE;
    }
    TAny_ZLPStr<wchar_t>::s_Remplace(pObjet, psz);
    return ANY_OK;
}

}  // namespace

template <class T>
T* TAny_ZLPStr<T>::s_pszLit(const void* pObjet)
{
    return Owner(pObjet).template _tLit<T*>();
}

template <class T>
void TAny_ZLPStr<T>::s_Ecrit(const void* pObjet, T* psz)
{
    Owner(pObjet)._Ecrit(psz);
}

template <class T>
void TAny_ZLPStr<T>::s_Remplace(const void* pObjet, T* psz)
{
    T* pOld = s_pszLit(pObjet);
    s_Ecrit(pObjet, psz);
    if (pOld != psz)
        std::free(pOld);
}

template <class T>
T* TAny_ZLPStr<T>::s_pszCopie(const T* psz, long n, bool* pbEchec)
{
    *pbEchec = false;
    if (psz == nullptr || n == 0)
        return nullptr;
    T c0;
    std::memcpy(&c0, psz, sizeof c0);
    if (c0 == 0)
        return nullptr;
    T* pNew;
    if constexpr (std::is_same_v<T, char>)
        pNew = n < 0 ? STR_pszCreateA(psz) : STR_pszCreateA(static_cast<int>(n), psz);
    else
        pNew = n < 0 ? STR_pszCreateW_UNALIGNED(psz) : STR_pszCreateW_UNALIGNED(static_cast<int>(n), psz);
    *pbEchec = pNew == nullptr;
    return pNew;
}

template <class T>
void TAny_ZLPStr<T>::vDetruitSupprime()
{
    s_Remplace(this, nullptr);
    s_Vide(this);
}

template <class T>
void TAny_ZLPStr<T>::vDetruit()
{
    s_Remplace(this, nullptr);
    s_Vide(this);
}

template <class T>
void TAny_ZLPStr<T>::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, Owner(this).nGetTypeCode(), s_pszLit(this), false, 0, true);
}

template <class T>
int TAny_ZLPStr<T>::nFillBuffer(void* p) const
{
    const T* psz = s_pszLit(this);
    if (psz == nullptr)
        psz = pszVide<T>();
    std::memcpy(p, &psz, sizeof psz);
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::nGetDataSize(unsigned long* pn) const
{
    const T* psz = s_pszLit(this);
    return s_nTaille(pn, ((psz ? nLongueur(psz) : 0) + 1) * sizeof(T));
}

template <class T>
int TAny_ZLPStr<T>::nGetDataAdr(void** pp) const
{
    const T* psz = s_pszLit(this);
    *pp = const_cast<T*>(psz ? psz : pszVide<T>());
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::nFillDataBuffer(void* p) const
{
    const T* psz = s_pszLit(this);
    if (psz == nullptr)
        psz = pszVide<T>();
    std::memcpy(p, psz, (nLongueur(psz) + 1) * sizeof(T));
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::SetValue(const void* p)
{
    const T* psz = static_cast<const T*>(p);
    if (psz == s_pszLit(this))
        return ANY_OK;
    bool bEchec;
    T* pNew = s_pszCopie(psz, -1, &bEchec);
    if (bEchec)
        return ANY_ERR_MEMOIRE;
    s_Remplace(this, pNew);
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::SetValue(const void* p, unsigned long n)
{
    const long nCars = nCarsDepuisOctets<T>(n);
    if (nCars < 0)
        return ANY_ERR_TROP_GRAND;
    bool bEchec;
    T* pNew = s_pszCopie(static_cast<const T*>(p), nCars, &bEchec);
    if (bEchec)
        return ANY_ERR_MEMOIRE;
    s_Remplace(this, pNew);
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::nGetPCASTR(const char** pp) const
{
    if constexpr (std::is_same_v<T, char>) {
        const char* psz = s_pszLit(this);
        *pp = psz ? psz : pszVide<char>();
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T>
int TAny_ZLPStr<T>::nGetPCWSTR(const wchar_t** pp) const
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        const wchar_t* psz = s_pszLit(this);
        *pp = psz ? psz : pszVide<wchar_t>();
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T>
int TAny_ZLPStr<T>::nGetSTRLEN(unsigned long* pn) const
{
    const T* psz = s_pszLit(this);
    return s_nTaille(pn, psz ? nLongueur(psz) : 0);
}

template <class T>
int TAny_ZLPStr<T>::nGetUtilDataSize(unsigned long* pn) const
{
    const T* psz = s_pszLit(this);
    return s_nTaille(pn, (psz ? nLongueur(psz) : 0) * sizeof(T));
}

template <class T>
int TAny_ZLPStr<T>::nFillUtilDataBuffer(void* p) const
{
    const T* psz = s_pszLit(this);
    if (psz != nullptr)
        std::memcpy(p, psz, nLongueur(psz) * sizeof(T));
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::SetValueOption(const void* p, unsigned long n, unsigned int nOptions)
{
    if (n > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    const T* psz = static_cast<const T*>(p);
    T* pNew;
    if ((nOptions & 1) == 0) {
        bool bEchec;
        pNew = s_pszCopie(psz, static_cast<long>(n), &bEchec);
        if (bEchec)
            return ANY_ERR_MEMOIRE;
    } else {
        // Zero-filled behind what is copied: the prefix forms do exactly that.
        if constexpr (std::is_same_v<T, char>)
            pNew = STR_pszCreateA(static_cast<int>(n), psz);
        else
            pNew = STR_pszCreateW_UNALIGNED(static_cast<int>(n), psz);
        if (pNew == nullptr)
            return ANY_ERR_MEMOIRE;
    }
    s_Remplace(this, pNew);
    return ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::__CreateStr(const T* psz)
{
    bool bEchec;
    T* pNew = s_pszCopie(psz, -1, &bEchec);
    s_Ecrit(this, pNew);
    return bEchec ? ANY_ERR_MEMOIRE : ANY_OK;
}

template <class T>
int TAny_ZLPStr<T>::__CreateStr(const T* psz, unsigned long n)
{
    if (n > ANY_MAX_UNITES) {
        s_Ecrit(this, nullptr);
        return ANY_ERR_TROP_GRAND;
    }
    bool bEchec;
    T* pNew = s_pszCopie(psz, static_cast<long>(n), &bEchec);
    s_Ecrit(this, pNew);
    return bEchec ? ANY_ERR_MEMOIRE : ANY_OK;
}

template <class T>
void TAny_ZLPStr<T>::__DeleteStr()
{
    s_Remplace(this, nullptr);
}

template class TAny_ZLPStr<char>;
template class TAny_ZLPStr<wchar_t>;

int CAny_ZLPSTRW::SetValueFromANSI(const void* p)
{
    return nWideDepuisAnsi(this, p, p ? std::strlen(static_cast<const char*>(p)) : 0, kCodePageDefaut);
}

int CAny_ZLPSTRW::SetValueFromANSI(const void* p, unsigned long n) { return nWideDepuisAnsi(this, p, n, kCodePageDefaut); }

int CAny_ZLPSTRW::SetValueFromANSI_CP(int nCodePage, const void* p)
{
    return nWideDepuisAnsi(this, p, p ? std::strlen(static_cast<const char*>(p)) : 0,
                           static_cast<unsigned int>(nCodePage));
}

int CAny_ZLPSTRW::SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n)
{
    return nWideDepuisAnsi(this, p, n, static_cast<unsigned int>(nCodePage));
}

int CAny_ZLPSTRW::s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n)
{
    if (pValue == nullptr || pValue->nGetTypeCode() != ZLTYPE_PSTRW)
        return ANY_ERR_TYPE;
    if (n > 0 && static_cast<unsigned long>(n) > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    wchar_t* psz = nullptr;
    if (n > 0 && p != nullptr) {
        // A heap text of n characters from the one-character seed, then
        // overwritten with the units.
        psz = STR_pszCreateW(static_cast<int>(n), L"*");
        if (psz == nullptr)
            return ANY_ERR_MEMOIRE;
        (void)UTF16ToWideChar(p, static_cast<int>(n), psz, static_cast<int>(n));
        psz[n] = 0;
    }
    const void* pObjet = pValue->_pbyGetValeur() - (CAny::OFFSET_VALEUR - CAny::OFFSET_OBJET);
    s_Remplace(pObjet, psz);
    return ANY_OK;
}
