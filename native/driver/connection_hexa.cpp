// Bytes as hexadecimal text and back, and date texts reduced to their
// digits: the small text forms of the connection's literals.
#include <cwchar>

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "common/text/string_concat_aw.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/variant_text.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

template <class T>
void ToHexa(const unsigned char* pby, unsigned long nCount, T* pszOut)
{
    if (pszOut == nullptr)
        return;
    unsigned long n = 0;
    if (pby != nullptr) {
        for (unsigned long i = 0; i < nCount; ++i) {
            pszOut[n++] = static_cast<T>(kDigits[pby[i] >> 4]);
            pszOut[n++] = static_cast<T>(kDigits[pby[i] & 0x0F]);
        }
    }
    pszOut[n] = 0;
}

template <class T>
int nHexaDigit(T c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Pairs of digits into at most nSize bytes: a longer text is not read
// further, so nothing is written past the caller's bytes.
template <class T>
unsigned long nFromHexa(const T* psz, unsigned char* pby, unsigned long nSize)
{
    if (pby == nullptr)
        return 0;
    for (unsigned long i = 0; i < nSize; ++i)
        pby[i] = 0;
    if (psz == nullptr)
        return 0;
    unsigned long n = 0;
    for (; n < nSize; ++n) {
        const int nHigh = nHexaDigit(psz[2 * n]);
        if (nHigh < 0)
            break;
        const int nLow = nHexaDigit(psz[2 * n + 1]);
        if (nLow < 0)
            break;
        pby[n] = static_cast<unsigned char>(nHigh << 4 | nLow);
    }
    return n;
}

}  // namespace

void CNAConnectionDescription::s_BinaryToStringHexa(const unsigned char* pby, unsigned long nCount, wchar_t* pszOut)
{
    ToHexa(pby, nCount, pszOut);
}

void CNAConnectionDescription::s_BinaryToStringHexa(const unsigned char* pby, unsigned long nCount, char* pszOut)
{
    ToHexa(pby, nCount, pszOut);
}

int CNAConnectionDescription::s_bBinaryToStringHexa(CNAError* pclError, const unsigned char* pby,
                                                    unsigned long nCount, CTStringConcatAW* pclOut)
{
    if (pby == nullptr || nCount == 0)
        return 1;
    CNAScratch<wchar_t> scratch;
    // Two digits a byte and a terminator, counted in 64 bits.
    wchar_t* psz = nCount <= (static_cast<unsigned long>(ANY_MAX_UNITES) - 1) / 2 ? scratch.pGet(2 * nCount + 1)
                                                                                   : nullptr;
    if (psz == nullptr) {
        if (pclError != nullptr)
            pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_CONNECTION, 0, nullptr, nullptr, nullptr);
        return 0;
    }
    ToHexa(pby, nCount, psz);
    pclOut->Add(psz, static_cast<long>(2 * nCount));
    return 1;
}

unsigned long CNAConnectionDescription::s_StringHexaToBinary(const wchar_t* psz, unsigned char* pby,
                                                             unsigned long nSize)
{
    return nFromHexa(psz, pby, nSize);
}

unsigned long CNAConnectionDescription::s_StringHexaToBinary(const char* psz, unsigned char* pby, unsigned long nSize)
{
    return nFromHexa(psz, pby, nSize);
}

void CNAConnectionDescription::s_DateStandardise(CTString* pcsDate)
{
    if (pcsDate == nullptr || pcsDate->pszGet() == nullptr)
        return;
    CTString csDigits;
    for (const wchar_t* p = pcsDate->pszGet(); *p != 0; ++p)
        if (*p != L':' && *p != L'-' && *p != L' ' && *p != L'/' && *p != L'.')
            csDigits.Add(*p);
    *pcsDate = csDigits;
}
