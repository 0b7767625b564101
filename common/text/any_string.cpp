#include "common/text/any_string.h"

#include <cwchar>

#include "common/text/ct_string.h"
#include "common/text/xy_string.h"

namespace {

// Bytes shown in a detailed dump.
constexpr unsigned long kOctetsMontres = 500;

int nTexteValeur(CXYString<wchar_t>& s, const CAny& v, int bDetail)
{
    if (v.nGetTypeCode() == ZLTYPE_VIDE) {
        s.Add(L"<Empty>");
        return ANY_OK;
    }
    if (bDetail) {
        unsigned long nTaille = 0;
        (void)v.Objet().nGetDataSize(&nTaille);
        wchar_t sz[96];
        std::swprintf(sz, sizeof sz / sizeof sz[0], L"Type=%d, Len=%d, Value=", static_cast<int>(v.nGetTypeCode()),
                      static_cast<int>(nTaille));
        s.Add(sz);
    }
    if (v.bIsNull()) {
        s.Add(L"<NULL>");
        return ANY_OK;
    }
    CAny clCopie(v);
    int rc = clCopie.__nCastTo(ZLTYPE_PSTRW, nullptr, 1);
    if (rc <= 99 && clCopie.bIsNull())
        rc = ANY_ERR_NULL;
    else if (rc <= 99 && clCopie.wGetType() != ZLTYPE_PSTRW)
        rc = ANY_ERR_TYPE;
    const wchar_t* psz = nullptr;
    if (rc <= 99) {
        const int rcTexte = clCopie.Objet().nFillBuffer(&psz);
        if (rcTexte > 99)
            rc = rcTexte;
    }
    if (rc > 99) {
        s.Add(L"<ERROR>");
        return rc;
    }
    s.Add(psz);
    if (bDetail) {
        void* pData = nullptr;
        unsigned long nTaille = 0;
        if (v.Objet().nGetDataAdr(&pData) <= 99 && v.Objet().nGetDataSize(&nTaille) <= 99) {
            if (pData == nullptr)
                nTaille = 0;
            s.Add(L", Value(binary)=");
            if (nTaille > kOctetsMontres) {
                s.Add(L"(first 500 bytes only) ");
                nTaille = kOctetsMontres;
            }
            const unsigned char* pby = static_cast<const unsigned char*>(pData);
            for (unsigned long i = 0; i < nTaille; ++i) {
                wchar_t sz[4];
                std::swprintf(sz, 4, L"%02X", static_cast<unsigned>(pby[i]));
                s.Add(sz);
            }
        }
    }
    return ANY_OK;
}

}  // namespace

int nGetString(CXYString<wchar_t>* pOut, const CAny& v, const wchar_t* pszPrefix, int bDetail)
{
    pOut->Set(pszPrefix);
    return nTexteValeur(*pOut, v, bDetail);
}

int nGetString(CXYString<wchar_t>* pOut, const CAny* pv, const wchar_t* pszPrefix, int bDetail)
{
    if (pv == nullptr) {
        pOut->Set(pszPrefix);
        pOut->Add(L"<NULL>");
        return ANY_OK;
    }
    return nGetString(pOut, *pv, pszPrefix, bDetail);
}

int nGetString(CTString* pOut, const CAny& v, const wchar_t* pszPrefix, int bDetail)
{
    CXYString<wchar_t> s;
    const int rc = nGetString(&s, v, pszPrefix, bDetail);
    pOut->Set(s.pszGet());
    return rc;
}

int nGetString(CTString* pOut, const CAny* pv, const wchar_t* pszPrefix, int bDetail)
{
    CXYString<wchar_t> s;
    const int rc = nGetString(&s, pv, pszPrefix, bDetail);
    pOut->Set(s.pszGet());
    return rc;
}
