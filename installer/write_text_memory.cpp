#include "installer/write_text_memory.h"

#include <cstdlib>

template <class TChar, class TUnit>
bool __bWriteTextMemoire(FILE* pFile, const TChar* pszText, unsigned long n)
{
    if (pFile == nullptr || pszText == nullptr || n == 0)
        return false;
    constexpr unsigned long kStackBytes = 1023;
    TUnit stack[kStackBytes / sizeof(TUnit)];
    TUnit* units = stack;
    // (n + 1) units with the terminator's room, compared without wrapping.
    if (n >= kStackBytes / sizeof(TUnit)) {
        if (n > static_cast<unsigned long>(-1) / sizeof(TUnit) - 1)
            return false;
        units = static_cast<TUnit*>(std::malloc((n + 1) * sizeof(TUnit)));
        if (units == nullptr)
            return false;
    }
    for (unsigned long i = 0; i < n; ++i)
        units[i] = static_cast<TUnit>(pszText[i]);
    const size_t written = std::fwrite(units, sizeof(TUnit), n, pFile);
    if (units != stack)
        std::free(units);
    return written > 0;
}

template bool __bWriteTextMemoire<wchar_t, unsigned short>(FILE*, const wchar_t*, unsigned long);
