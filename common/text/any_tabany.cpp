#include "common/text/any_tabany.h"

#include <cstdlib>
#include <new>

namespace {

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

STTabAny stLit(const CAny& v) { return v._tLit<STTabAny>(); }

// An array of copies of n values; bEchec when memory runs out.
CAny* pclCopie(const CAny* pSrc, uint64_t n, bool* pbEchec)
{
    *pbEchec = false;
    if (pSrc == nullptr || n == 0)
        return nullptr;
    if (n > ANY_MAX_UNITES) {
        *pbEchec = true;
        return nullptr;
    }
    CAny* pTab = static_cast<CAny*>(std::malloc(static_cast<size_t>(n) * sizeof(CAny)));
    if (pTab == nullptr) {
        *pbEchec = true;
        return nullptr;
    }
    for (uint64_t i = 0; i < n; ++i)
        new (pTab + i) CAny(pSrc[i]);
    return pTab;
}

void Remplace(const void* pObjet, const STTabAny& st)
{
    CAny& v = Owner(pObjet);
    const STTabAny old = stLit(v);
    v._Ecrit(st);
    if (old.m_pclTab != st.m_pclTab)
        CAny_ZLTABANY::s_FreeTab(old.m_pclTab, old.m_nNbElement);
}

int nSetCopies(const void* pObjet, const void* p, uint64_t n)
{
    if (n > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    bool bEchec;
    CAny* pTab = pclCopie(static_cast<const CAny*>(p), n, &bEchec);
    if (bEchec)
        return ANY_ERR_MEMOIRE;
    Remplace(pObjet, STTabAny{pTab, pTab ? n : 0});
    return ANY_OK;
}

}  // namespace

CAny* CAny_ZLTABANY::s_pclNewTab(uint64_t n)
{
    if (n == 0 || n > ANY_MAX_UNITES)
        return nullptr;
    CAny* pTab = static_cast<CAny*>(std::malloc(static_cast<size_t>(n) * sizeof(CAny)));
    if (pTab == nullptr)
        return nullptr;
    for (uint64_t i = 0; i < n; ++i)
        new (pTab + i) CAny();
    return pTab;
}

void CAny_ZLTABANY::s_FreeTab(CAny* pTab, uint64_t n)
{
    if (pTab == nullptr)
        return;
    for (uint64_t i = 0; i < n; ++i)
        pTab[i].~CAny();
    std::free(pTab);
}

void CAny_ZLTABANY::s_SetDirect(CAny* pValue, const STTabAny& tab)
{
    pValue->__SetType(ZLTYPE_TABANY, 0);
    if (pValue->nGetTypeCode() != ZLTYPE_TABANY)
        return;
    const void* pObjet = pValue->_pbyGetValeur() - (CAny::OFFSET_VALEUR - CAny::OFFSET_OBJET);
    Remplace(pObjet, tab);
    pValue->ClearFlags();
}

void CAny_ZLTABANY::vDetruitSupprime()
{
    Remplace(this, STTabAny{nullptr, 0});
    s_Vide(this);
}

void CAny_ZLTABANY::vDetruit()
{
    Remplace(this, STTabAny{nullptr, 0});
    s_Vide(this);
}

void CAny_ZLTABANY::Duplique(CAny* pTarget) const
{
    const STTabAny st = stLit(Owner(this));
    s_Duplique(this, pTarget, ZLTYPE_TABANY, st.m_pclTab, true, st.m_nNbElement, true);
}

int CAny_ZLTABANY::nGetDataSize(unsigned long* pn) const
{
    return s_nTaille(pn, stLit(Owner(this)).m_nNbElement);
}

int CAny_ZLTABANY::nGetDataAdr(void** pp) const
{
    *pp = stLit(Owner(this)).m_pclTab;
    return ANY_OK;
}

int CAny_ZLTABANY::nFillDataBuffer(void*) const { return ANY_ERR_TYPE; }

int CAny_ZLTABANY::nFillUtilDataBuffer(void*) const { return ANY_ERR_TYPE; }

int CAny_ZLTABANY::SetValue(const void* p) { return nSetCopies(this, p, p ? 1 : 0); }

int CAny_ZLTABANY::SetValue(const void* p, unsigned long n) { return nSetCopies(this, p, n); }
