#include "common/text/any_dyn_texts.h"

#include <cwchar>
#include <type_traits>

#include "common/text/any_block_cell.h"
#include "common/text/host_code_page.h"
#include "common/text/unicode_units.h"
#include "common/text/xy_string.h"
#include "common/text/zl_bin.h"

namespace {

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }
unsigned char* Cellule(const void* pObjet) { return Owner(pObjet)._pbyGetValeur(); }

// A count of units from a byte or unit count: -1 for the "up to the
// terminator" sentinels, -2 when it passes the limit.
constexpr long kJusquAuZero = -1;
constexpr long kTropGrand = -2;

long nUnites(unsigned long n, unsigned long nTailleUnite)
{
    if (n == static_cast<unsigned long>(-1) || n == 0xFFFFFFFFul)
        return kJusquAuZero;
    // "An n whose n / 4 has all 32 bits set" also reads as the sentinel.
    if (nTailleUnite == 4 && static_cast<uint32_t>(n / 4) == 0xFFFFFFFFu)
        return kJusquAuZero;
    const unsigned long nUnites = n / nTailleUnite;
    return nUnites > ANY_MAX_UNITES ? kTropGrand : static_cast<long>(nUnites);
}

template <class T>
int nAffecte(const void* pObjet, const T* p, long nUnite)
{
    if (nUnite == kTropGrand)
        return ANY_ERR_TROP_GRAND;
    TAnyBlocEmprunte<CXYString<T>> s(Cellule(pObjet));
    return s.nAffecte(p, static_cast<int>(nUnite));
}

// 8-bit text to the wide value (n bytes, or -1).
int nDepuisAnsi(const void* pObjet, const void* p, long n, int nCodePage)
{
    if (n == kTropGrand)
        return ANY_ERR_TROP_GRAND;
    TAnyBlocEmprunte<CXYString<wchar_t>> s(Cellule(pObjet));
    return s.__nConversion(static_cast<const char*>(p), static_cast<int>(n), 0, nCodePage, 0, nullptr);
}

// Wide text to the 8-bit value (n characters, or -1).
int nDepuisUnicode(const void* pObjet, const void* p, long n, int nCodePage)
{
    if (n == kTropGrand)
        return ANY_ERR_TROP_GRAND;
    TAnyBlocEmprunte<CXYString<char>> s(Cellule(pObjet));
    return s.__nConversion(static_cast<const wchar_t*>(p), static_cast<int>(n), 0, nCodePage, 0, nullptr);
}

long nLongueurAnsi(const void* p) { return p ? static_cast<long>(std::strlen(static_cast<const char*>(p))) : 0; }

int nAssigneOctets(const void* pObjet, const void* p, unsigned long n)
{
    if (n > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    TAnyBlocEmprunte<CZLBIN> b(Cellule(pObjet));
    return b.nAssign(static_cast<const unsigned char*>(p), static_cast<int>(n), 0);
}

}  // namespace

// --- Runtime strings --------------------------------------------------------

template <class T>
void TAny_ZLDynStr<T>::vDetruitSupprime()
{
    LibereBloc(Cellule(this));
    s_Vide(this);
}

template <class T>
void TAny_ZLDynStr<T>::vDetruit()
{
    LibereBloc(Cellule(this));
    s_Vide(this);
}

template <class T>
void TAny_ZLDynStr<T>::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, Owner(this).nGetTypeCode(), Cellule(this), false, 0, true);
}

template <class T>
int TAny_ZLDynStr<T>::nFillBuffer(void* p) const
{
    PartageBloc(p, Cellule(this));
    return ANY_OK;
}

template <class T>
int TAny_ZLDynStr<T>::nGetDataSize(unsigned long* pn) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    return s_nTaille(pn, (pby ? CBaseStrMem::s_nGetLength(pby) : 0) + sizeof(T));
}

template <class T>
int TAny_ZLDynStr<T>::nGetDataAdr(void** pp) const
{
    unsigned char* pby = pbyLitBloc(Cellule(this));
    *pp = pby ? static_cast<void*>(pby) : const_cast<T*>(CXYString<T>::ChaineVide);
    return ANY_OK;
}

template <class T>
int TAny_ZLDynStr<T>::nFillDataBuffer(void* p) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    if (pby == nullptr)
        std::memcpy(p, CXYString<T>::ChaineVide, sizeof(T));
    else
        std::memcpy(p, pby, CBaseStrMem::s_nGetLength(pby) + sizeof(T));
    return ANY_OK;
}

template <class T>
int TAny_ZLDynStr<T>::SetValue(const void* p)
{
    if (p == nullptr)
        LibereBloc(Cellule(this));
    else
        PartageBloc(Cellule(this), p);
    return ANY_OK;
}

template <class T>
int TAny_ZLDynStr<T>::SetValue(const void* p, unsigned long n)
{
    return nAffecte<T>(this, static_cast<const T*>(p), nUnites(n, sizeof(T)));
}

template <class T>
int TAny_ZLDynStr<T>::nGetPCASTR(const char** pp) const
{
    if constexpr (std::is_same_v<T, char>) {
        const unsigned char* pby = pbyLitBloc(Cellule(this));
        *pp = pby ? reinterpret_cast<const char*>(pby) : CXYString<char>::ChaineVide;
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T>
int TAny_ZLDynStr<T>::nGetPCWSTR(const wchar_t** pp) const
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        const unsigned char* pby = pbyLitBloc(Cellule(this));
        *pp = pby ? reinterpret_cast<const wchar_t*>(pby) : CXYString<wchar_t>::ChaineVide;
        return ANY_OK;
    } else {
        *pp = nullptr;
        return ANY_ERR_TYPE;
    }
}

template <class T>
int TAny_ZLDynStr<T>::nGetSTRLEN(unsigned long* pn) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    return s_nTaille(pn, pby ? CBaseStrMem::s_nGetLength(pby) / sizeof(T) : 0);
}

template <class T>
int TAny_ZLDynStr<T>::nGetUtilDataSize(unsigned long* pn) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    return s_nTaille(pn, pby ? CBaseStrMem::s_nGetLength(pby) : 0);
}

template <class T>
int TAny_ZLDynStr<T>::nFillUtilDataBuffer(void* p) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    if (pby != nullptr)
        std::memcpy(p, pby, CBaseStrMem::s_nGetLength(pby));
    return ANY_OK;
}

template class TAny_ZLDynStr<wchar_t>;
template class TAny_ZLDynStr<char>;

// --- Wide runtime string ------------------------------------------------------

int CAny_ZLDSTRW::SetValueFromANSI(const void* p) { return nDepuisAnsi(this, p, nLongueurAnsi(p), nHostCurrentCodePage()); }

int CAny_ZLDSTRW::SetValueFromANSI(const void* p, unsigned long n)
{
    return nDepuisAnsi(this, p, nUnites(n, 1), nHostCurrentCodePage());
}

int CAny_ZLDSTRW::SetValueFromANSI_CP(int nCodePage, const void* p)
{
    return nDepuisAnsi(this, p, nLongueurAnsi(p), nCodePage);
}

int CAny_ZLDSTRW::SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n)
{
    return nDepuisAnsi(this, p, nUnites(n, 1), nCodePage);
}

int CAny_ZLDSTRW::SetValueFromUNICODE(const void* p)
{
    return nAffecte<wchar_t>(this, static_cast<const wchar_t*>(p), kJusquAuZero);
}

int CAny_ZLDSTRW::s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n)
{
    if (pValue == nullptr || pValue->nGetTypeCode() != ZLTYPE_DSTRW)
        return ANY_ERR_TYPE;
    if (n < 1 || p == nullptr) {
        LibereBloc(pValue->_pbyGetValeur());
        return ANY_OK;
    }
    if (static_cast<unsigned long>(n) > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    TAnyBlocEmprunte<CXYString<wchar_t>> s(pValue->_pbyGetValeur());
    const int nChars = static_cast<int>(n);
    const int rc = s.__nPrepareModification(nChars);
    if (rc != 0)
        return rc;
    (void)UTF16ToWideChar(p, nChars, s.ptGetBuffer(), nChars);
    return s._nSetUtilLength(nChars);
}

// --- 8-bit runtime string -----------------------------------------------------

int CAny_ZLDSTRA::SetValueFromANSI(const void* p)
{
    return nAffecte<char>(this, static_cast<const char*>(p), kJusquAuZero);
}

int CAny_ZLDSTRA::SetValueFromUNICODE(const void* p) { return nDepuisUnicode(this, p, kJusquAuZero, nHostCurrentCodePage()); }

int CAny_ZLDSTRA::SetValueFromUNICODE(const void* p, unsigned long n)
{
    return nDepuisUnicode(this, p, nUnites(n, sizeof(wchar_t)), nHostCurrentCodePage());
}

int CAny_ZLDSTRA::SetValueFromUNICODE_CP(int nCodePage, const void* p)
{
    return nDepuisUnicode(this, p, kJusquAuZero, nCodePage);
}

int CAny_ZLDSTRA::SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n)
{
    return nDepuisUnicode(this, p, nUnites(n, sizeof(wchar_t)), nCodePage);
}

// --- Binary buffer --------------------------------------------------------------

void CAny_ZLBIN::vDetruitSupprime()
{
    LibereBloc(Cellule(this));
    s_Vide(this);
}

void CAny_ZLBIN::vDetruit()
{
    LibereBloc(Cellule(this));
    s_Vide(this);
}

void CAny_ZLBIN::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, ZLTYPE_BIN, Cellule(this), false, 0, true);
}

// CZLBIN::Assign releases the target before it shares: done here in the
// other order, which also makes a value assigned to itself a no-op.
int CAny_ZLBIN::nFillBuffer(void* p) const
{
    PartageBloc(p, Cellule(this));
    return ANY_OK;
}

int CAny_ZLBIN::nGetDataSize(unsigned long* pn) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    return s_nTaille(pn, pby ? CBaseStrMem::s_nGetLength(pby) : 0);
}

int CAny_ZLBIN::nGetDataAdr(void** pp) const
{
    *pp = pbyLitBloc(Cellule(this));
    return ANY_OK;
}

int CAny_ZLBIN::nFillDataBuffer(void* p) const
{
    const unsigned char* pby = pbyLitBloc(Cellule(this));
    if (pby != nullptr)
        std::memcpy(p, pby, CBaseStrMem::s_nGetLength(pby));
    return ANY_OK;
}

int CAny_ZLBIN::SetValue(const void* p)
{
    if (p == nullptr)
        LibereBloc(Cellule(this));
    else
        PartageBloc(Cellule(this), p);
    return ANY_OK;
}

int CAny_ZLBIN::SetValue(const void* p, unsigned long n) { return nAssigneOctets(this, p, n); }

int CAny_ZLBIN::SetValueFromANSI(const void* p)
{
    return nAssigneOctets(this, p, static_cast<unsigned long>(nLongueurAnsi(p)));
}

int CAny_ZLBIN::SetValueFromUNICODE(const void* p)
{
    const size_t n = p ? std::wcslen(static_cast<const wchar_t*>(p)) : 0;
    return n > ANY_MAX_UNITES / sizeof(wchar_t) ? ANY_ERR_TROP_GRAND : nAssigneOctets(this, p, n * sizeof(wchar_t));
}
