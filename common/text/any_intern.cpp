#include "common/text/any_intern.h"

const wchar_t CAny_Intern::ChaineVide[1] = {0};

void CAny_Intern::s_Vide(const void* pObjet)
{
    CAny& v = CAny::s_clDepuisObjet(pObjet);
    v._InstalleClasse(ZLTYPE_VIDE);
    v._SetTypeWord(ZLTYPE_VIDE);
}

void CAny_Intern::s_Duplique(const void* pObjet, CAny* pTarget, unsigned short nCode, const void* p, bool bAvecTaille,
                             unsigned long n, bool bCopieFlags)
{
    const CAny& src = CAny::s_clDepuisObjet(pObjet);
    if (pTarget == nullptr || pTarget == &src)
        return;
    const unsigned short wFlags = src.wGetType();
    pTarget->__SetType(nCode, 0);
    // A decimal target without a factory stays empty: nothing to copy into.
    if (pTarget->nGetTypeCode() != nCode)
        return;
    if (bAvecTaille)
        (void)pTarget->Objet().SetValue(p, n);
    else
        (void)pTarget->Objet().SetValue(p);
    pTarget->ClearFlags();
    if (bCopieFlags)
        pTarget->_CopyFlags(wFlags);
}

void CAny_Intern::vDetruitSupprime() { s_Vide(this); }

void CAny_Intern::vDetruit() { s_Vide(this); }

void CAny_Intern::Duplique(CAny* pTarget) const
{
    const CAny& src = CAny::s_clDepuisObjet(this);
    if (pTarget == nullptr || pTarget == &src)
        return;
    pTarget->_SetTypeWord(static_cast<unsigned short>(pTarget->wGetType() | (src.wGetType() & ANY_FLAGS)));
}

int CAny_Intern::nGetSize(unsigned long* pn) const
{
    *pn = 0;
    return ANY_ERR_VIDE;
}

int CAny_Intern::nGetAdr(void** pp) const
{
    *pp = nullptr;
    return ANY_ERR_VIDE;
}

int CAny_Intern::nFillBuffer(void*) const { return ANY_ERR_VIDE; }

int CAny_Intern::nGetDataSize(unsigned long* pn) const
{
    *pn = 0;
    return ANY_ERR_VIDE;
}

int CAny_Intern::nGetDataAdr(void** pp) const
{
    *pp = nullptr;
    return ANY_ERR_VIDE;
}

int CAny_Intern::nFillDataBuffer(void*) const { return ANY_ERR_VIDE; }

int CAny_Intern::SetValue(const void*) { return ANY_OK; }

int CAny_Intern::SetValue(const void* p, unsigned long) { return CAny::s_clDepuisObjet(this).Objet().SetValue(p); }

int CAny_Intern::nGetPCASTR(const char** pp) const
{
    *pp = nullptr;
    return ANY_ERR_TYPE;
}

int CAny_Intern::nGetPCWSTR(const wchar_t** pp) const
{
    *pp = nullptr;
    return ANY_ERR_TYPE;
}

int CAny_Intern::nGetSTRLEN(unsigned long* pn) const
{
    *pn = 0;
    return ANY_ERR_TYPE;
}

int CAny_Intern::bIsPositive() const { return 1; }

int CAny_Intern::nGetUtilDataSize(unsigned long* pn) const
{
    return CAny::s_clDepuisObjet(this).Objet().nGetDataSize(pn);
}

int CAny_Intern::nFillUtilDataBuffer(void* p) const { return CAny::s_clDepuisObjet(this).Objet().nFillDataBuffer(p); }

int CAny_Intern::nIncremente() { return ANY_ERR_TYPE; }

int CAny_Intern::nDecremente() { return ANY_ERR_TYPE; }

int CAny_Intern::SetValueFromANSI(const void* p) { return CAny::s_clDepuisObjet(this).Objet().SetValue(p); }

int CAny_Intern::SetValueFromANSI(const void* p, unsigned long n)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValue(p, n);
}

int CAny_Intern::SetValueFromUNICODE(const void* p) { return CAny::s_clDepuisObjet(this).Objet().SetValue(p); }

int CAny_Intern::SetValueFromUNICODE(const void* p, unsigned long n)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValue(p, n);
}

int CAny_Intern::SetValueFromANSI_CP(int, const void* p)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValueFromANSI(p);
}

int CAny_Intern::SetValueFromANSI_CP(int, const void* p, unsigned long n)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValueFromANSI(p, n);
}

int CAny_Intern::SetValueFromUNICODE_CP(int, const void* p)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValueFromUNICODE(p);
}

int CAny_Intern::SetValueFromUNICODE_CP(int, const void* p, unsigned long n)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValueFromUNICODE(p, n);
}

int CAny_Intern::SetValueOption(const void* p, unsigned long n, unsigned int)
{
    return CAny::s_clDepuisObjet(this).Objet().SetValue(p, n);
}
