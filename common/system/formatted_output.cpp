#include "common/system/formatted_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>

#include "common/system/bounded_format.h"
#include "common/system/windows_format.h"

namespace {

// A converted format below this size lives on the stack.
constexpr size_t kStackFormatBytes = 512;

// Longest text the runtime's strings hold.
constexpr long kMaxChars = 0x7FFFFEFF;

struct Free
{
    void operator()(void* p) const { std::free(p); }
};

// Runs f with the format converted for this C library; errno survives the
// release of a heap copy.
template <class F>
int WithUnixFormat(const wchar_t* format, F f)
{
    const size_t size = _nCalculeTailleChaineFormattageUnix(format);
    wchar_t stack[kStackFormatBytes / sizeof(wchar_t)];
    std::unique_ptr<wchar_t, Free> heap;
    wchar_t* converted = stack;
    if (size * sizeof(wchar_t) >= kStackFormatBytes) {
        heap.reset(static_cast<wchar_t*>(std::malloc(size * sizeof(wchar_t))));
        if (!heap) {
            errno = ENOMEM;
            return -1;
        }
        converted = heap.get();
    }
    _ConvertFormatWindowsToUnix(format, converted, size);
    errno = 0;
    const int r = f(converted);
    const int saved = errno;
    heap.reset();
    errno = saved;
    return r;
}

// The format itself as the text, for a formatting that cannot convert a
// character.
int Unformatted(wchar_t** ppszText, wchar_t* block, const wchar_t* format)
{
    const size_t length = std::wcslen(format);
    wchar_t* text = static_cast<wchar_t*>(std::realloc(block, (length + 1) * sizeof(wchar_t)));
    if (!text) {
        std::free(block);
        *ppszText = nullptr;
        return -1;
    }
    std::wmemcpy(text, format, length + 1);
    *ppszText = text;
    return static_cast<int>(length);
}

}  // namespace

int vsnwprintfWin(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszFormat, va_list args)
{
    if (!pszFormat) {
        errno = EINVAL;
        return -1;
    }
    const int r = WithUnixFormat(pszFormat, [&](const wchar_t* converted) {
        return std::vswprintf(pszBuffer, nCapacity, converted, args);
    });
    // The C library leaves a cut text without terminator.
    if (r < 0 && pszBuffer && nCapacity > 0) pszBuffer[nCapacity - 1] = 0;
    return r;
}

int snwprintfWin(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int r = vsnwprintfWin(pszBuffer, nCapacity, pszFormat, args);
    va_end(args);
    return r;
}

int vsznwprintfWin(wchar_t* pszBuffer, unsigned long n, const wchar_t* pszFormat, va_list args)
{
    return vsznwprintf(pszBuffer, n, pszFormat, args);
}

int sznwprintfWin(wchar_t* pszBuffer, unsigned long n, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int r = vsznwprintf(pszBuffer, n, pszFormat, args);
    va_end(args);
    return r;
}

int vaswprintf(wchar_t** ppszText, const wchar_t* pszFormat, va_list args)
{
    if (!ppszText) return -1;
    if (!pszFormat) {
        std::free(*ppszText);
        *ppszText = nullptr;
        return -1;
    }
    // A first attempt in a buffer of the format's size, rounded up to eight.
    const size_t length = std::wcslen(pszFormat);
    const size_t capacity = length - length % 8 + 8;
    wchar_t* block = static_cast<wchar_t*>(std::realloc(*ppszText, capacity * sizeof(wchar_t)));
    if (!block) {
        std::free(*ppszText);
        *ppszText = nullptr;
        return -1;
    }
    va_list first;
    va_copy(first, args);
    const int r = vsnwprintfWin(block, capacity, pszFormat, first);
    va_end(first);
    if (r >= 0) {
        *ppszText = block;
        return r;
    }
    if (errno == EILSEQ) return Unformatted(ppszText, block, pszFormat);

    // Too small, or another failure: format once more into a growing memory
    // stream, which gives the exact text or the real failure, never a loop.
    wchar_t* streamed = nullptr;
    size_t streamedSize = 0;
    FILE* stream = open_wmemstream(&streamed, &streamedSize);
    if (!stream) {
        std::free(block);
        *ppszText = nullptr;
        return -1;
    }
    va_list second;
    va_copy(second, args);
    const int n = WithUnixFormat(pszFormat, [&](const wchar_t* converted) {
        return std::vfwprintf(stream, converted, second);
    });
    va_end(second);
    const int e = errno;
    const bool bClosed = std::fclose(stream) == 0;
    if (n < 0 || !bClosed || n > kMaxChars) {
        std::free(streamed);
        if (n < 0 && e == EILSEQ) return Unformatted(ppszText, block, pszFormat);
        std::free(block);
        *ppszText = nullptr;
        return -1;
    }
    std::free(block);
    *ppszText = streamed;
    return n;
}
