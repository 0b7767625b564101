#include <cerrno>
#include <cstring>

#include "installer/code_page_tables.h"

const cptable* pGetCpTable(unsigned int nCodePage)
{
    return nCodePage == 1 || nCodePage == 437 ? &gstCpTable437 : &gstCpTable1252;
}

int cp_wcstombs(const cptable* pTable, int, const unsigned short* pIn, int n, char* pOut, int nSize,
                const char* pszDefault, int* pbUsedDefault)
{
    if (nSize < n)
        return -1;
    const unsigned char byDefault =
        pszDefault != nullptr && pszDefault[0] != 0 ? static_cast<unsigned char>(pszDefault[0]) : pTable->byDefault;
    for (int i = 0; i < n; ++i) {
        const unsigned short u = pIn[i];
        const unsigned char b = pTable->pUni2CpLow[pTable->pUni2CpHigh[u >> 8] + (u & 0xFF)];
        // A default byte is a real answer only for the unit it stands for.
        if (pTable->pCp2Uni[b] != u) {
            pOut[i] = static_cast<char>(byDefault);
            if (pbUsedDefault != nullptr)
                *pbUsedDefault = 1;
        } else {
            pOut[i] = static_cast<char>(b);
        }
    }
    return n;
}

int cp_mbstowcs(const cptable* pTable, int, const char* pIn, int n, unsigned short* pOut, int nSize)
{
    if (nSize < n)
        return -1;
    for (int i = 0; i < n; ++i)
        pOut[i] = pTable->pCp2Uni[static_cast<unsigned char>(pIn[i])];
    return n;
}

int WideCharToMultiByteWin(unsigned int nCodePage, unsigned int nFlags, const unsigned short* pIn, int n,
                           char* pOut, int nSize, const char* pszDefault, int* pbUsedDefault)
{
    if (pbUsedDefault != nullptr)
        *pbUsedDefault = 0;
    if (pIn == nullptr || (nSize != 0 && pOut == nullptr) || nSize < 0 || n < -1) {
        errno = -1;
        return 0;
    }
    if (n == -1) {
        n = 1;
        while (pIn[n - 1] != 0)
            ++n;
    }
    if (nSize == 0)
        return n;
    const int r = cp_wcstombs(pGetCpTable(nCodePage), static_cast<int>(nFlags), pIn, n, pOut, nSize, pszDefault,
                              pbUsedDefault);
    return r < 0 ? 0 : r;
}

int MultiByteToWideCharWin(unsigned int nCodePage, unsigned int nFlags, const char* pIn, int n,
                           unsigned short* pOut, int nSize)
{
    if (pIn == nullptr || (nSize != 0 && pOut == nullptr) || nSize < 0 || n < -1) {
        errno = -1;
        return 0;
    }
    if (n == -1)
        n = static_cast<int>(std::strlen(pIn)) + 1;
    if (nSize == 0)
        return n;
    const int r = cp_mbstowcs(pGetCpTable(nCodePage), static_cast<int>(nFlags), pIn, n, pOut, nSize);
    return r < 0 ? 0 : r;
}

namespace {

void ConvertBytes(const cptable* pFrom, const cptable* pTo, const char* pIn, char* pOut, unsigned long n)
{
    // A chunk at a time through UTF-16; byte by byte, so in and out may be
    // one buffer.
    unsigned short units[256];
    while (n > 0) {
        const int chunk = n < 256 ? static_cast<int>(n) : 256;
        cp_mbstowcs(pFrom, 0, pIn, chunk, units, chunk);
        cp_wcstombs(pTo, 0, units, chunk, pOut, chunk, nullptr, nullptr);
        pIn += chunk;
        pOut += chunk;
        n -= static_cast<unsigned long>(chunk);
    }
}

}  // namespace

int CharToOemBuffA(const char* pIn, char* pOut, unsigned long n)
{
    if (pIn != nullptr && pOut != nullptr)
        ConvertBytes(&gstCpTable1252, &gstCpTable437, pIn, pOut, n);
    return 1;
}

int OemToCharBuffA(const char* pIn, char* pOut, unsigned long n)
{
    if (pIn != nullptr && pOut != nullptr)
        ConvertBytes(&gstCpTable437, &gstCpTable1252, pIn, pOut, n);
    return 1;
}
