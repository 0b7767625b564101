#include "common/text/any_characters.h"

#include "common/text/code_page_text.h"

namespace {

constexpr unsigned int kCodePageDefaut = 1252;

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

int nSetCara(const void* pObjet, char c)
{
    CAny& v = Owner(pObjet);
    v._Ecrit(c);
    v._Ecrit('\0', 1);
    return ANY_OK;
}

int nSetCarw(const void* pObjet, wchar_t c)
{
    CAny& v = Owner(pObjet);
    v._Ecrit(c);
    v._Ecrit(L'\0', sizeof(wchar_t));
    return ANY_OK;
}

// The first wide character of p (which may lie at any address).
wchar_t cPremierW(const void* p)
{
    wchar_t c = 0;
    if (p != nullptr)
        std::memcpy(&c, p, sizeof c);
    return c;
}

int nCaraDepuisW(const void* pObjet, const void* p, unsigned int nCodePage)
{
    const wchar_t c = cPremierW(p);
    return nSetCara(pObjet, c == 0 ? '\0' : STR_WCharToAChar(c, 0, nCodePage));
}

int nCarwDepuisA(const void* pObjet, const void* p, bool bVide, unsigned int nCodePage)
{
    const char c = p != nullptr && !bVide ? *static_cast<const char*>(p) : '\0';
    return nSetCarw(pObjet, c == 0 ? L'\0' : STR_CharToWChar(c, 0, nCodePage));
}

}  // namespace

int CAny_ZLCARA::SetValue(const void* p) { return p ? nSetCara(this, *static_cast<const char*>(p)) : ANY_OK; }

int CAny_ZLCARA::nGetPCASTR(const char** pp) const
{
    *pp = reinterpret_cast<const char*>(Owner(this)._pbyGetValeur());
    return ANY_OK;
}

int CAny_ZLCARA::nGetSTRLEN(unsigned long* pn) const { return s_nTaille(pn, 1); }

int CAny_ZLCARA::SetValueFromUNICODE(const void* p) { return nCaraDepuisW(this, p, kCodePageDefaut); }

int CAny_ZLCARA::SetValueFromUNICODE(const void* p, unsigned long n)
{
    return nCaraDepuisW(this, n == 0 ? nullptr : p, kCodePageDefaut);
}

int CAny_ZLCARA::SetValueFromUNICODE_CP(int nCodePage, const void* p)
{
    return nCaraDepuisW(this, p, static_cast<unsigned int>(nCodePage));
}

int CAny_ZLCARA::SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n)
{
    return nCaraDepuisW(this, n == 0 ? nullptr : p, static_cast<unsigned int>(nCodePage));
}

int CAny_ZLCARW::SetValue(const void* p) { return p ? nSetCarw(this, cPremierW(p)) : ANY_OK; }

int CAny_ZLCARW::nGetPCWSTR(const wchar_t** pp) const
{
    *pp = reinterpret_cast<const wchar_t*>(Owner(this)._pbyGetValeur());
    return ANY_OK;
}

int CAny_ZLCARW::nGetSTRLEN(unsigned long* pn) const { return s_nTaille(pn, 1); }

int CAny_ZLCARW::SetValueFromANSI(const void* p) { return nCarwDepuisA(this, p, false, kCodePageDefaut); }

int CAny_ZLCARW::SetValueFromANSI(const void* p, unsigned long n)
{
    return nCarwDepuisA(this, p, n == 0, kCodePageDefaut);
}

int CAny_ZLCARW::SetValueFromANSI_CP(int nCodePage, const void* p)
{
    return nCarwDepuisA(this, p, false, static_cast<unsigned int>(nCodePage));
}

int CAny_ZLCARW::SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n)
{
    return nCarwDepuisA(this, p, n == 0, static_cast<unsigned int>(nCodePage));
}

int CAny_ZLCARW::s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n)
{
    if (pValue == nullptr || pValue->nGetTypeCode() != ZLTYPE_CARW)
        return ANY_ERR_TYPE;
    unsigned short u = 0;
    if (p != nullptr && n >= 1)
        std::memcpy(&u, p, sizeof u);
    pValue->_Ecrit(static_cast<wchar_t>(u));
    pValue->_Ecrit(L'\0', sizeof(wchar_t));
    return ANY_OK;
}
