// Casts of a runtime value through the virtual machine's conversion entry
// points, and the take-over of what the machine wrote.
#include "common/text/any.h"

#include "common/text/any_block_cell.h"
#include "common/text/vm_binding.h"
#include "common/text/xy_string.h"

namespace {

// The conversion needs both entry points: what it makes is only ever
// released by FinConversion.
bool bConversionLiee() { return gpfnConvDepExt != nullptr && gpfnFinConv != nullptr; }

// The value (and a decimal target's factory) a conversion to nType needs.
bool bCibleLiee(unsigned short nType)
{
    return bConversionLiee() && ((nType & 0xFF) != ZLTYPE_DECIMAL || gpiVMFactory != nullptr);
}

// What the value's new object receives from the conversion's storage: the
// text or decimal the first 8 bytes point to, or the storage itself.
const void* pvResultat(unsigned short nType, const unsigned char* pbyDest)
{
    switch (nType & 0xFF) {
    case ZLTYPE_PSTRA:
    case ZLTYPE_PSTRW:
    case ZLTYPE_DECIMAL: return pbyLitBloc(pbyDest);
    default: return pbyDest;
    }
}

// Releases the conversion's own copy, also when an exception passes.
class CFinConversion
{
public:
    CFinConversion(unsigned char* pbyDest, unsigned short nType) : m_pbyDest(pbyDest), m_nType(nType) {}
    ~CFinConversion() { gpfnFinConv(m_pbyDest, m_nType); }
    CFinConversion(const CFinConversion&) = delete;
    CFinConversion& operator=(const CFinConversion&) = delete;

private:
    unsigned char* m_pbyDest;
    unsigned short m_nType;
};

template <class T>
int nRempliChaine(const CAny& v, CXYString<T>& s, const STOCAW* pOptions)
{
    constexpr unsigned short nDyn = std::is_same_v<T, char> ? ZLTYPE_DSTRA : ZLTYPE_DSTRW;
    if (v.wGetType() == nDyn)
        return v.Objet().nFillBuffer(&s);
    const T* psz = nullptr;
    int rc;
    if constexpr (std::is_same_v<T, char>)
        rc = v.Objet().nGetPCASTR(&psz);
    else
        rc = v.Objet().nGetPCWSTR(&psz);
    if (rc == ANY_OK)
        return s.nAffecte(psz, -1);
    if (!bConversionLiee())
        return ANY_ERR_VM_NON_LIE;
    unsigned char abyDest[CAny::TAILLE_VALEUR] = {};
    rc = gpfnConvDepExt(v._pbyGetValeur(), v.nGetTypeCode(), abyDest, nDyn, 0, pOptions);
    if (rc > 99)
        return rc;
    CFinConversion clFin(abyDest, nDyn);
    TAnyBlocEmprunte<CXYString<T>> clResultat(abyDest);
    s = clResultat;
    return rc;
}

}  // namespace

int CAny::__nCastTo(unsigned short nType, const STOCAW* pOptions, unsigned int nFlags)
{
    if (nGetTypeCode() == nType)
        return ANY_OK;
    if (!bCibleLiee(nType))
        return ANY_ERR_VM_NON_LIE;
    unsigned char abyDest[TAILLE_VALEUR] = {};
    const int rc = gpfnConvDepExt(m_abyValeur, nGetTypeCode(), abyDest, nType, nFlags, pOptions);
    if (rc > 99)
        return rc;
    CFinConversion clFin(abyDest, nType);
    const unsigned short wAncien = m_wType;
    __SetType(nType, 0);
    // A decimal the factory would not make leaves the value empty.
    if (nGetTypeCode() != (nType & 0xFF) && !((nType & 0xFF) == ZLTYPE_I8_BIS && nGetTypeCode() == ZLTYPE_I8))
        return ANY_ERR_MEMOIRE;
    (void)Objet().SetValue(pvResultat(nType, abyDest));
    _CopyFlags(wAncien);
    return rc;
}

int CAny::__s_nCastTo(void* pDest, const wchar_t* psz, unsigned short nType, const STOCAW* pOptions)
{
    if (gpfnConvDepExt == nullptr)
        return ANY_ERR_VM_NON_LIE;
    unsigned char abyCellule[sizeof(void*)];
    std::memcpy(abyCellule, &psz, sizeof psz);
    return gpfnConvDepExt(abyCellule, ZLTYPE_PSTRW, pDest, nType, 1, pOptions);
}

int CAny::__nCastToString(const wchar_t** ppsz, const STOCAW* pOptions)
{
    const wchar_t* pszLocal = nullptr;
    if (Objet().nGetPCWSTR(ppsz ? ppsz : &pszLocal) == ANY_OK)
        return ANY_OK;
    const int rc = __nCastTo(ZLTYPE_DSTRW, pOptions, 1);
    if (rc > 99 || ppsz == nullptr)
        return rc;
    (void)Objet().nGetPCWSTR(ppsz);
    return rc;
}

int CAny::__nCastToString(const char** ppsz, const STOCAW* pOptions)
{
    const char* pszLocal = nullptr;
    if (Objet().nGetPCASTR(ppsz ? ppsz : &pszLocal) == ANY_OK)
        return ANY_OK;
    const int rc = __nCastTo(ZLTYPE_DSTRA, pOptions, 1);
    if (rc > 99 || ppsz == nullptr)
        return rc;
    (void)Objet().nGetPCASTR(ppsz);
    return rc;
}

// Everything the value held is released first, whatever its type: a result
// of the same type as an array or a host object would otherwise be written
// over what the value still owns.
void CAny::__TransfertValeurInterne(unsigned short nType, const unsigned char* pBuf)
{
    Objet().Detruit();
    const unsigned short nCode = (nType & 0xFF) == ZLTYPE_I8_BIS ? ZLTYPE_I8 : (nType & 0xFF);
    if (!s_bTypeConnu(nCode) || nCode == ZLTYPE_VIDE)
        return;
    _InstalleClasse(nCode);
    m_wType = nCode;
    std::memcpy(m_abyValeur, pBuf, TAILLE_VALEUR);
}

int CAny::__nFillString(CXYString<char>& s, const STOCAW* pOptions) const { return nRempliChaine(*this, s, pOptions); }

int CAny::__nFillString(CXYString<wchar_t>& s, const STOCAW* pOptions) const
{
    return nRempliChaine(*this, s, pOptions);
}
