#include "common/system/bounded_text.h"

#include <cstring>
#include <cwchar>

unsigned long xstrnlen(const char* pszText, unsigned long nMax)
{
    if (!pszText || nMax == 0) return 0;
    return strnlen(pszText, nMax);
}

unsigned long xwcsnlen(const wchar_t* pszText, unsigned long nMax)
{
    if (!pszText || nMax == 0) return 0;
    return wcsnlen(pszText, nMax);
}

void* xmemmem(const void* pHaystack, unsigned long nHayLen, const void* pNeedle, unsigned long nNeedleLen)
{
    if (!pHaystack || !pNeedle || nNeedleLen == 0 || nHayLen == 0 || nNeedleLen > nHayLen) return nullptr;
    const unsigned char* hay = static_cast<const unsigned char*>(pHaystack);
    const unsigned char* needle = static_cast<const unsigned char*>(pNeedle);
    if (nNeedleLen == 1) return const_cast<void*>(std::memchr(hay, needle[0], nHayLen));

    // Two-byte look-ahead: a mismatch of the second byte rules out one or two
    // starting positions depending on whether the first two bytes are equal.
    const unsigned char a = needle[0];
    const unsigned char b = needle[1];
    const unsigned long stepMatch = a == b ? 1 : 2;
    const unsigned long stepMiss = a == b ? 2 : 1;
    const unsigned long last = nHayLen - nNeedleLen;
    unsigned long j = 0;
    while (j <= last) {
        if (hay[j + 1] == b) {
            if (std::memcmp(hay + j + 2, needle + 2, nNeedleLen - 2) == 0 && hay[j] == a) {
                return const_cast<unsigned char*>(hay + j);
            }
            j += stepMatch;
        } else {
            j += stepMiss;
        }
    }
    return nullptr;
}
