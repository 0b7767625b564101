#include "common/text/text_exports.h"

#include <cwchar>

#include "common/system/profile_line_reader.h"
#include "common/text/str_create.h"

template <>
VX_EXPORT wchar_t* STRG_pszCreate<wchar_t>(int n)
{
    return STR_pszCreateW(n);
}

template <>
VX_EXPORT char* STRG_pszCreate<char>(int n)
{
    return STR_pszCreateA(n);
}

template <>
VX_EXPORT int STRG_nGetChar<char, char>(FILE* pFile)
{
    return pFile ? std::fgetc(pFile) : -1;
}

template <>
VX_EXPORT int STRG_nGetChar<wchar_t, wchar_t>(FILE* pFile)
{
    if (!pFile) return -1;
    const wint_t c = std::fgetwc(pFile);
    return c == WEOF ? -1 : static_cast<int>(c);
}

template <>
VX_EXPORT int STRG_nGetChar<wchar_t, unsigned short>(FILE* pFile)
{
    if (!pFile) return -1;
    const int lo = std::fgetc(pFile);
    if (lo == EOF) return -1;
    const int hi = std::fgetc(pFile);
    if (hi == EOF) return -1;
    return lo | (hi << 8);
}

namespace {

// The host knows only 12 for memory running out; inside, the reader's own
// signal keeps it apart from a line of 12 bytes.
int nExportedLineResult(int nResult)
{
    return nResult == STRG_LINE_NO_MEMORY ? 12 : nResult;
}

}  // namespace

template <>
VX_EXPORT int STRG_nGetLine<char>(char** ppBuffer, size_t* pnSize, FILE* pFile)
{
    return nExportedLineResult(__STRG_nGetLine<char, char>(ppBuffer, pnSize, pFile));
}

template <>
VX_EXPORT int STRG_nGetLine<wchar_t>(wchar_t** ppBuffer, size_t* pnSize, FILE* pFile)
{
    return nExportedLineResult(__STRG_nGetLine<wchar_t, wchar_t>(ppBuffer, pnSize, pFile));
}
