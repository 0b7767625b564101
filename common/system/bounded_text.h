#pragma once

// Index of the first terminator, but at most max; 0 when max is 0.
unsigned long xstrnlen(const char* pszText, unsigned long nMax);
unsigned long xwcsnlen(const wchar_t* pszText, unsigned long nMax);

// First occurrence of the needle's bytes in the haystack, or null (also for
// an empty needle or haystack, or a needle longer than the haystack).
void* xmemmem(const void* pHaystack, unsigned long nHayLen, const void* pNeedle, unsigned long nNeedleLen);
