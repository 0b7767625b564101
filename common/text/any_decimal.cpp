#include "common/text/any_decimal.h"

#include "common/text/decimal_interface.h"
#include "common/text/vm_binding.h"

namespace {

IDecimal* pclLit(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet)._tLit<IDecimal*>(); }

void Libere(const void* pObjet)
{
    IDecimal* p = pclLit(pObjet);
    CAny::s_clDepuisObjet(pObjet)._Ecrit(static_cast<IDecimal*>(nullptr));
    if (p != nullptr && gpiVMFactory != nullptr)
        gpiVMFactory->vReleaseDecimal(p);
}

}  // namespace

IDecimal* CAny_ZLDECIMAL::s_pclGetDecimal(const CAny& v)
{
    return v.nGetTypeCode() == ZLTYPE_DECIMAL ? v._tLit<IDecimal*>() : nullptr;
}

void CAny_ZLDECIMAL::vDetruitSupprime()
{
    Libere(this);
    s_Vide(this);
}

void CAny_ZLDECIMAL::vDetruit()
{
    Libere(this);
    s_Vide(this);
}

void CAny_ZLDECIMAL::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, ZLTYPE_DECIMAL, pclLit(this), false, 0, true);
}

int CAny_ZLDECIMAL::nGetDataAdr(void** pp) const
{
    *pp = nullptr;
    return ANY_ERR_TYPE;
}

int CAny_ZLDECIMAL::nFillDataBuffer(void* p) const
{
    IDecimal* pcl = pclLit(this);
    if (pcl == nullptr)
        return ANY_ERR_TYPE;
    pcl->vGetBytes18(static_cast<unsigned char*>(p));
    return ANY_OK;
}

int CAny_ZLDECIMAL::SetValue(const void* p)
{
    IDecimal* pcl = pclLit(this);
    if (pcl == nullptr)
        return ANY_ERR_TYPE;
    if (p != nullptr && p != pcl)
        pcl->vCopy(static_cast<const IDecimal*>(p));
    return ANY_OK;
}

int CAny_ZLDECIMAL::SetValue(const void* p, unsigned long n)
{
    IDecimal* pcl = pclLit(this);
    if (pcl == nullptr)
        return ANY_ERR_TYPE;
    return pcl->vnSetBytes(static_cast<const unsigned char*>(p), n);
}

int CAny_ZLDECIMAL::bIsPositive() const
{
    IDecimal* pcl = pclLit(this);
    return pcl == nullptr || !pcl->vbIsNegative() ? 1 : 0;
}
