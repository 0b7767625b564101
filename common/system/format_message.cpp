#include "common/system/format_message.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/code_page_conversion.h"
#include "common/system/formatted_output.h"

namespace {

// The system text of an error number, wide, from UTF-8; null when memory
// runs out.
wchar_t* SystemText(int nError)
{
    char narrow[256];
    const char* text = strerror_r(nError, narrow, sizeof narrow);
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    wchar_t* wide = static_cast<wchar_t*>(std::malloc((n > 0 ? static_cast<size_t>(n) : 1) * sizeof(wchar_t)));
    if (!wide) return nullptr;
    if (n <= 0 || MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, n) != n) wide[0] = 0;
    return wide;
}

template <class T>
T* CopyOf(const T* text, size_t length)
{
    T* copy = static_cast<T*>(std::malloc((length + 1) * sizeof(T)));
    if (copy) {
        std::memcpy(copy, text, length * sizeof(T));
        copy[length] = 0;
    }
    return copy;
}

// Grows a heap text to size characters when that is more than it holds.
template <class T>
T* GrowTo(T* text, size_t length, unsigned int nSize)
{
    if (nSize <= length) return text;
    T* grown = static_cast<T*>(std::realloc(text, nSize * sizeof(T)));
    return grown ? grown : text;
}

}  // namespace

unsigned int FormatMessageW(unsigned int nFlags, const void* pSource, unsigned int, unsigned int,
                            wchar_t* pszBuffer, unsigned int nSize, va_list* pArgs, int nArgs)
{
    const bool bAllocate = (nFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    wchar_t** ppszResult = reinterpret_cast<wchar_t**>(pszBuffer);
    if (bAllocate && ppszResult) *ppszResult = nullptr;
    if (!pszBuffer) return 0;

    wchar_t* systemText = nullptr;
    const wchar_t* format = static_cast<const wchar_t*>(pSource);
    if (nFlags & FORMAT_MESSAGE_FROM_SYSTEM) {
        systemText = SystemText(errno);
        format = systemText;
    }
    if (!format) return 0;
    wchar_t* cut = nullptr;
    if (pArgs && __nCutFormatToArguments(format, nArgs, &cut) < 0) {
        std::free(systemText);
        return 0;
    }
    if (cut) format = cut;

    int r;
    if (bAllocate) {
        wchar_t* text = nullptr;
        if (pArgs) {
            va_list args;
            va_copy(args, *pArgs);
            r = vaswprintf(&text, format, args);
            va_end(args);
        } else {
            const size_t length = std::wcslen(format);
            text = CopyOf(format, length);
            r = text ? static_cast<int>(length) : -1;
        }
        if (r >= 0) *ppszResult = GrowTo(text, static_cast<size_t>(r), nSize);
    } else if (pArgs) {
        va_list args;
        va_copy(args, *pArgs);
        r = vsnwprintfWin(pszBuffer, nSize, format, args);
        va_end(args);
    } else {
        const size_t length = std::wcslen(format);
        r = length < nSize ? static_cast<int>(length) : -1;
        if (r >= 0) std::wmemcpy(pszBuffer, format, length + 1);
    }
    std::free(cut);
    std::free(systemText);
    return r < 0 ? 0 : static_cast<unsigned int>(r);
}

unsigned int FormatMessageA(unsigned int nFlags, const void* pSource, unsigned int, unsigned int,
                            char* pszBuffer, unsigned int nSize, va_list* pArgs, int nArgs)
{
    const bool bAllocate = (nFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    char** ppszResult = reinterpret_cast<char**>(pszBuffer);
    if (bAllocate && ppszResult) *ppszResult = nullptr;
    if (!pszBuffer) return 0;

    char systemText[256];
    const char* format = static_cast<const char*>(pSource);
    if (nFlags & FORMAT_MESSAGE_FROM_SYSTEM) format = strerror_r(errno, systemText, sizeof systemText);
    if (!format) return 0;
    char* cut = nullptr;
    if (pArgs && __nCutFormatToArguments(format, nArgs, &cut) < 0) return 0;
    if (cut) format = cut;

    int r;
    if (bAllocate) {
        char* text = nullptr;
        if (pArgs) {
            va_list args;
            va_copy(args, *pArgs);
            r = vasprintf(&text, format, args);
            va_end(args);
            if (r < 0) text = nullptr;
        } else {
            const size_t length = std::strlen(format);
            text = CopyOf(format, length);
            r = text ? static_cast<int>(length) : -1;
        }
        if (r >= 0) *ppszResult = GrowTo(text, static_cast<size_t>(r), nSize);
    } else {
        if (pArgs) {
            va_list args;
            va_copy(args, *pArgs);
            r = std::vsnprintf(pszBuffer, nSize, format, args);
            va_end(args);
        } else {
            r = static_cast<int>(std::strlen(format));
            if (static_cast<unsigned>(r) < nSize) std::memcpy(pszBuffer, format, static_cast<size_t>(r) + 1);
        }
        // A text cut to the buffer is a failure, not a result.
        if (r >= 0 && static_cast<unsigned>(r) >= nSize) r = -1;
    }
    std::free(cut);
    return r < 0 ? 0 : static_cast<unsigned int>(r);
}

unsigned int FormatMessageWin(unsigned int nFlags, const void* pSource, unsigned int nMessageId, unsigned int,
                              wchar_t* pszBuffer, unsigned int nSize, va_list* pArgs, int nArgs)
{
    if ((nFlags & FORMAT_MESSAGE_FROM_HMODULE) ||
        !(nFlags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_SYSTEM))) {
        errno = EINVAL;
        return 0;
    }
    const bool bAllocate = (nFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    wchar_t** ppszResult = reinterpret_cast<wchar_t**>(pszBuffer);
    if (!pszBuffer) {
        errno = EINVAL;
        return 0;
    }
    if (bAllocate) *ppszResult = nullptr;

    if (nFlags & FORMAT_MESSAGE_FROM_SYSTEM) {
        wchar_t* text = SystemText(nMessageId ? static_cast<int>(nMessageId) : errno);
        if (!text) {
            errno = FORMAT_MESSAGE_NO_MEMORY;
            return 0;
        }
        size_t length = std::wcslen(text);
        if (bAllocate) {
            wchar_t* block = static_cast<wchar_t*>(
                std::malloc(((length > nSize ? length : nSize) + 1) * sizeof(wchar_t)));
            if (!block) {
                std::free(text);
                errno = FORMAT_MESSAGE_NO_MEMORY;
                return 0;
            }
            std::wmemcpy(block, text, length + 1);
            *ppszResult = block;
        } else {
            if (nSize == 0) {
                std::free(text);
                errno = FORMAT_MESSAGE_OUTPUT_FULL;
                return 0;
            }
            if (length > nSize - 1) length = nSize - 1;
            std::wmemcpy(pszBuffer, text, length);
            pszBuffer[length] = 0;
        }
        std::free(text);
        return static_cast<unsigned int>(length);
    }

    const wchar_t* format = static_cast<const wchar_t*>(pSource);
    if (!format) {
        errno = EINVAL;
        return 0;
    }
    size_t capacity = nSize;
    wchar_t* output = pszBuffer;
    if (bAllocate) {
        capacity = (nSize & ~0xFFFFu) + 65536u;
        output = static_cast<wchar_t*>(std::malloc(capacity * sizeof(wchar_t)));
        if (!output) {
            errno = FORMAT_MESSAGE_NO_MEMORY;
            return 0;
        }
    }
    size_t length = 0;
    const int code = __FormatMessageWin(format, static_cast<int>(nFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK),
                                        (nFlags & FORMAT_MESSAGE_IGNORE_INSERTS) != 0,
                                        (nFlags & FORMAT_MESSAGE_ARGUMENT_ARRAY) != 0, pArgs, nArgs, output, capacity,
                                        &length);
    if (code != 0 && code != FORMAT_MESSAGE_OUTPUT_FULL) {
        if (bAllocate) std::free(output);
        errno = code;
        return 0;
    }
    if (capacity == 0) {
        errno = FORMAT_MESSAGE_OUTPUT_FULL;
        return 0;
    }
    if (bAllocate) {
        wchar_t* shrunk = static_cast<wchar_t*>(std::realloc(output, length * sizeof(wchar_t)));
        *ppszResult = shrunk ? shrunk : output;
    }
    return static_cast<unsigned int>(length - 1);
}
