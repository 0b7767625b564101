#include "common/system/profile_line_reader.h"

#include <sys/types.h>

#include <climits>
#include <cstdlib>

#include "common/text/text_exports.h"

namespace {

// Makes sure at least nReserve bytes follow the n characters held. The
// first block is one step; later ones double, so that a long line costs
// linear time.
template <class T>
bool bRoom(T** ppBuffer, size_t* pnCapacity, size_t n, size_t nStep, size_t nReserve)
{
    const size_t nUsed = n * sizeof(T);
    if (*ppBuffer != nullptr && *pnCapacity >= nUsed && *pnCapacity - nUsed >= nReserve)
        return true;
    size_t nNew = *ppBuffer != nullptr ? *pnCapacity : 0;
    while (nNew < nUsed + nReserve) {
        if (nNew >= STRG_LINE_MAX_BYTES)
            return false;
        nNew = nNew < nStep ? nStep : (nNew > STRG_LINE_MAX_BYTES / 2 ? STRG_LINE_MAX_BYTES : 2 * nNew);
    }
    void* p = std::realloc(*ppBuffer, nNew);
    if (p == nullptr)
        return false;
    *ppBuffer = static_cast<T*>(p);
    *pnCapacity = nNew;
    return true;
}

template <class T, int (*GetChar)(FILE*)>
int nReadLine(T** ppBuffer, size_t* pnCapacity, FILE* pFile, size_t nStep, size_t nReserve, size_t nUnitBytes)
{
    if (ppBuffer == nullptr || pnCapacity == nullptr || pFile == nullptr)
        return STRG_LINE_END;
    const off_t oStart = ftello(pFile);
    size_t n = 0;
    bool bAny = false;
    int nResult = 0;
    for (;;) {
        if (!bRoom(ppBuffer, pnCapacity, n, nStep, nReserve)) {
            nResult = STRG_LINE_NO_MEMORY;
            break;
        }
        const int c = GetChar(pFile);
        if (c == -1)
            break;
        bAny = true;
        (*ppBuffer)[n++] = static_cast<T>(c);
        if (c == '\n')
            break;
    }
    if (*ppBuffer != nullptr)
        (*ppBuffer)[n] = 0;
    if (nResult != 0)
        return nResult;
    if (!bAny)
        return STRG_LINE_END;
    const off_t oEnd = ftello(pFile);
    const long long llTaken = (oStart >= 0 && oEnd >= oStart)
                                  ? static_cast<long long>(oEnd - oStart)
                                  : static_cast<long long>(n * nUnitBytes);
    return llTaken > INT_MAX ? INT_MAX : static_cast<int>(llTaken);
}

}  // namespace

template <>
int __STRG_nGetLine<char, char>(char** ppBuffer, size_t* pnCapacity, FILE* pFile)
{
    return nReadLine<char, STRG_nGetChar<char, char>>(ppBuffer, pnCapacity, pFile, 64, 2, 1);
}

template <>
int __STRG_nGetLine<wchar_t, wchar_t>(wchar_t** ppBuffer, size_t* pnCapacity, FILE* pFile)
{
    return nReadLine<wchar_t, STRG_nGetChar<wchar_t, wchar_t>>(ppBuffer, pnCapacity, pFile, 256, 8, 1);
}

template <>
int __STRG_nGetLine<wchar_t, unsigned short>(wchar_t** ppBuffer, size_t* pnCapacity, FILE* pFile)
{
    return nReadLine<wchar_t, STRG_nGetChar<wchar_t, unsigned short>>(ppBuffer, pnCapacity, pFile, 256, 8, 2);
}
