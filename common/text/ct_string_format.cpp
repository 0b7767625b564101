// CTString: formatted text.
#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "common/system/format_message.h"
#include "common/system/formatted_output.h"
#include "common/text/ct_string.h"
#include "common/text/printf_length.h"

namespace {

// Longest text the runtime's strings hold.
constexpr long kMaxChars = 0x7FFFFEFF;

// The formatted text in a malloc'd block of exactly its length and a
// terminator; -1 and no block when formatting fails. The estimate sizes the
// first block; a text it does not bound is formatted again, in full, by
// vaswprintf. Every pass reads its own copy of the arguments.
int Format(const wchar_t* pszFormat, va_list args, wchar_t** ppszText)
{
    *ppszText = nullptr;
    if (!pszFormat)
        return -1;
    va_list measure;
    va_copy(measure, args);
    long estimate = STRG_nCalculeLongueurPrintf(pszFormat, measure);
    va_end(measure);
    if (estimate < 0)
        estimate = 0;
    if (estimate > kMaxChars)
        estimate = kMaxChars;
    const size_t capacity = static_cast<size_t>(estimate) + 1;
    auto* block = static_cast<wchar_t*>(std::malloc(capacity * sizeof(wchar_t)));
    if (!block)
        return -1;
    va_list pass;
    va_copy(pass, args);
    int n = vsnwprintfWin(block, capacity, pszFormat, pass);
    va_end(pass);
    if (n < 0) {
        const bool bNoRoom = errno != EILSEQ;
        std::free(block);
        block = nullptr;
        if (!bNoRoom)
            return -1;
        va_list again;
        va_copy(again, args);
        n = vaswprintf(&block, pszFormat, again);
        va_end(again);
        if (n < 0 || !block) {
            std::free(block);
            return -1;
        }
    } else if (static_cast<size_t>(n) + 1 < capacity) {
        if (void* exact = std::realloc(block, (static_cast<size_t>(n) + 1) * sizeof(wchar_t)))
            block = static_cast<wchar_t*>(exact);
    }
    *ppszText = block;
    return n;
}

}  // namespace

int CTString::printf(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int n = FormatV(pszFormat, args);
    va_end(args);
    return n;
}

int CTString::FormatV(const wchar_t* pszFormat, va_list args)
{
    wchar_t* text = nullptr;
    const int n = Format(pszFormat, args, &text);
    if (n <= 0) {
        std::free(text);
        Vide();
        return n;
    }
    SetBuffer(text);
    return n;
}

int CTString::AddPrintf(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    wchar_t* text = nullptr;
    const int n = Format(pszFormat, args, &text);
    va_end(args);
    if (n > 0)
        Add(text);
    std::free(text);
    return n;
}

namespace {

using PFNFORMATMESSAGE = unsigned int (*)(unsigned int, const void*, unsigned int, unsigned int, wchar_t*,
                                          unsigned int, va_list*, int);

// Either flavour of FormatMessage from a format string into a block of its
// own, which the text takes over; a failure leaves the text as it was. The
// list holds nArgs arguments.
unsigned FormatMessageInto(CTString& s, PFNFORMATMESSAGE pfnFormat, const wchar_t* pszFormat, va_list* pArgs,
                           int nArgs)
{
    wchar_t* text = nullptr;
    const unsigned n = pfnFormat(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING, pszFormat, 0, 0,
                                 reinterpret_cast<wchar_t*>(&text), 0, pArgs, nArgs);
    if (n > 0 && text)
        s.SetBuffer(text);
    else
        std::free(text);
    return n;
}

}  // namespace

unsigned CTString::_FormatMessageWinList(const wchar_t* pszFormat, va_list* pArgs, int nArgs)
{
    return FormatMessageInto(*this, ::FormatMessageWin, pszFormat, pArgs, nArgs);
}

unsigned CTString::_FormatMessageWList(const wchar_t* pszFormat, va_list* pArgs, int nArgs)
{
    return FormatMessageInto(*this, ::FormatMessageW, pszFormat, pArgs, nArgs);
}
