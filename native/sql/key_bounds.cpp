// The smallest and largest value of a runtime type, as the key conditions
// fill a bound or a composite key's missing component with them.
#include <cstring>
#include <cwchar>
#include <limits>

#include "common/text/any.h"
#include "common/text/any_decimal.h"
#include "common/text/decimal_interface.h"
#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"
#include "common/text/money.h"
#include "native/model/variant_any.h"
#include "native/sql/search.h"

namespace {

void SetCurrency(CAny* pclValue, const wchar_t* pszText)
{
    CMoney st{};
    if (pstChaineVersMonetaire(&st, pszText) != nullptr)
        (void)pclValue->SetCY(st);
}

void SetText(CAny* pclValue, unsigned short nCode, const wchar_t* pszText)
{
    pclValue->__SetType(nCode, 0);
    (void)NA_nSetAnyWide(*pclValue, pszText, std::wcslen(pszText));
}

void SetAnsiText(CAny* pclValue, unsigned short nCode, const char* pszText)
{
    pclValue->__SetType(nCode, 0);
    (void)NA_nSetAnyAnsi(*pclValue, pszText, std::strlen(pszText));
}

// Sets a bound: bMax false for the smallest value, true for the largest.
void SetBound(CAny* pclValue, bool bMax)
{
    switch (pclValue->nGetTypeCode()) {
    case ZLTYPE_BOOL:
        (void)pclValue->SetBOOL(bMax ? 1 : 0);
        break;
    case ZLTYPE_UI1:
        (void)pclValue->SetUI1(bMax ? 255 : 0);
        break;
    case ZLTYPE_UI2:
        (void)pclValue->SetUI2(bMax ? 65535 : 0);
        break;
    case ZLTYPE_UI4:
    case ZLTYPE_UIX: {
        const unsigned short nCode = pclValue->nGetTypeCode();
        pclValue->__SetType(nCode, 0);
        const uint32_t n = bMax ? 4294967295u : 0u;
        (void)NA_nSetAnyBytes(*pclValue, &n, sizeof n);
        break;
    }
    case ZLTYPE_UI8:
        (void)pclValue->SetUI8(bMax ? std::numeric_limits<unsigned long>::max() : 0);
        break;
    case ZLTYPE_I1:
        (void)pclValue->SetI1(static_cast<char>(bMax ? 127 : -128));
        break;
    case ZLTYPE_I2:
        (void)pclValue->SetI2(bMax ? std::numeric_limits<short>::max() : std::numeric_limits<short>::min());
        break;
    case ZLTYPE_I4:
        (void)pclValue->SetI4(bMax ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min());
        break;
    case ZLTYPE_I8:
        (void)pclValue->SetI8(bMax ? std::numeric_limits<long>::max() : std::numeric_limits<long>::min());
        break;
    case ZLTYPE_CY:
        SetCurrency(pclValue, bMax ? L"604462909807314587.353087" : L"0");
        break;
    case ZLTYPE_R4:
        (void)pclValue->SetR4(bMax ? 3.4028235e38f : -3.4028235e38f);
        break;
    case ZLTYPE_R8:
        (void)pclValue->SetR8(bMax ? 1.7976931348623157e308 : -1.7976931348623157e308);
        break;
    case ZLTYPE_DECIMAL: {
        IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(*pclValue);
        if (pclDecimal != nullptr) {
            if (bMax)
                pclDecimal->vSetMax();
            else
                pclDecimal->vSetMin();
            pclValue->ClearFlags();
        }
        break;
    }
    case ZLTYPE_DATEW:
        SetText(pclValue, ZLTYPE_DATEW, bMax ? L"30001231" : L"");
        break;
    case ZLTYPE_TIMEW:
        SetText(pclValue, ZLTYPE_TIMEW, bMax ? L"235959999" : L"0000");
        break;
    case ZLTYPE_DATETIME: {
        CDateTimeBase dt{};
        if (bMax)
            dt.Set(3000, 12, 31, 0, 0, 0, 0);
        else
            dt.InitDate();
        (void)pclValue->SetDATETIME(dt);
        break;
    }
    case ZLTYPE_DUREE: {
        CDureeBase d{};
        d.m_llDuree = bMax ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
        (void)pclValue->SetDUREE(&d);
        break;
    }
    case ZLTYPE_DATEA:
        SetAnsiText(pclValue, ZLTYPE_DATEA, bMax ? "30001231" : "");
        break;
    case ZLTYPE_TIMEA:
        SetAnsiText(pclValue, ZLTYPE_TIMEA, bMax ? "235959999" : "0000");
        break;
    default:
        break;
    }
}

// Whether the value equals its type's bound, compared on the bytes of a
// value made by SetBound; false for types SetBound leaves unchanged.
bool bIsBound(const CAny* pclValue, bool bMax)
{
    if (pclValue == nullptr || pclValue->bIsNull())
        return false;
    CAny clBound(*pclValue);
    SetBound(&clBound, bMax);
    if (clBound.nGetTypeCode() != pclValue->nGetTypeCode())
        return false;
    switch (pclValue->nGetTypeCode()) {
    case ZLTYPE_BOOL:
    case ZLTYPE_UI1:
    case ZLTYPE_UI2:
    case ZLTYPE_UI4:
    case ZLTYPE_UIX:
    case ZLTYPE_UI8:
    case ZLTYPE_I1:
    case ZLTYPE_I2:
    case ZLTYPE_I4:
    case ZLTYPE_I8:
    case ZLTYPE_CY:
    case ZLTYPE_R4:
    case ZLTYPE_R8:
    case ZLTYPE_DATETIME:
    case ZLTYPE_DUREE:
    case ZLTYPE_DATEW:
    case ZLTYPE_TIMEW:
    case ZLTYPE_DATEA:
    case ZLTYPE_TIMEA: {
        unsigned long na = 0;
        unsigned long nb = 0;
        const void* pa = NA_pGetAnyData(*pclValue, &na);
        const void* pb = NA_pGetAnyData(clBound, &nb);
        na = pa != nullptr ? NA_nGetAnyUtilSize(*pclValue) : 0;
        nb = pb != nullptr ? NA_nGetAnyUtilSize(clBound) : 0;
        return na == nb && (na == 0 || std::memcmp(pa, pb, na) == 0);
    }
    default:
        return false;
    }
}

}  // namespace

void CNARecherche::s_SetAnyToMin(CAny* pclValue)
{
    if (pclValue != nullptr)
        SetBound(pclValue, false);
}

void CNARecherche::s_SetAnyToMax(CAny* pclValue)
{
    if (pclValue != nullptr)
        SetBound(pclValue, true);
}

int CNARecherche::s_bIsAnyMin(const CAny* pclValue)
{
    return bIsBound(pclValue, false) ? 1 : 0;
}

int CNARecherche::s_bIsAnyMax(const CAny* pclValue)
{
    return bIsBound(pclValue, true) ? 1 : 0;
}
