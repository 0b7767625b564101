// The server's version text split into the numbers the dialect tests read.
#include <cstdint>

#include "native/driver/connection_description.h"

namespace {

// The number a piece starts with; false, and nothing read, when the piece
// does not start with a digit or its number does not fit 32 bits. The text
// comes from the server: it is read digit by digit, never by a conversion
// whose overflow is undefined.
bool bReadPiece(const wchar_t* p, const wchar_t* pEnd, int* pnValue)
{
    if (p == pEnd || *p < L'0' || *p > L'9')
        return false;
    int64_t n = 0;
    for (; p != pEnd && *p >= L'0' && *p <= L'9'; ++p) {
        n = n * 10 + (*p - L'0');
        if (n > INT32_MAX)
            return false;
    }
    *pnValue = static_cast<int>(n);
    return true;
}

}  // namespace

int CNAConnectionDescription::g_bDecomposeVersion(CNAError*, const CTString* pcsVersion, int* pnMajor,
                                                  int* pnMinor, int* pnRelease)
{
    if (pcsVersion == nullptr)
        return 1;
    int* const apnTargets[] = {pnMajor, pnMinor, pnRelease};
    const wchar_t* p = pcsVersion->pszGet();
    for (int* pnTarget : apnTargets) {
        const wchar_t* pEnd = p;
        while (*pEnd != 0 && *pEnd != L'.')
            ++pEnd;
        int nValue = 0;
        if (pnTarget != nullptr && bReadPiece(p, pEnd, &nValue))
            *pnTarget = nValue;
        if (*pEnd == 0)
            break;
        p = pEnd + 1;
    }
    return 1;
}

int CNAConnectionDescription::_bDecomposeServerVersion(CNAError* pclError)
{
    return g_bDecomposeVersion(pclError, &m_csServerVersion, &m_nServerMajor, &m_nServerMinor, &m_nServerPatch);
}
