#include "common/text/code_page_text.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <type_traits>

#include "common/system/code_page_conversion.h"
#include "common/system/code_page_engine.h"
#include "common/system/code_page_names.h"
#include "common/text/host_code_page.h"

namespace {

// The count of a text to convert: n, or the whole text for -1; -1 when n is
// invalid or the text too long for the int counts of the callers.
template <class T>
long CountOf(const T* text, int n)
{
    if (n >= 0) return n;
    if (n != -1) return -1;
    const size_t len = std::char_traits<T>::length(text);
    return len < INT_MAX ? static_cast<long>(len) : -1;
}

template <class T>
void SetResult(T** ppszResult, int* pnLength, std::type_identity_t<T>* text, long length)
{
    *ppszResult = text;
    if (pnLength) *pnLength = static_cast<int>(length);
}

// The whole converted text in a malloc'd block, terminated:
// convert(count, destination, capacity) answers the units it wrote, or with
// no destination the units needed. Nothing converted is a failure.
template <class S, class D, class Convert>
bool bConvertToBlock(const S* pszText, int n, D** ppszResult, int* pnLength, Convert convert)
{
    SetResult(ppszResult, pnLength, nullptr, 0);
    if (!pszText) return false;
    const long count = CountOf(pszText, n);
    if (count <= 0) return false;
    const long length = convert(static_cast<size_t>(count), nullptr, 0);
    if (length <= 0 || length >= INT_MAX) return false;
    D* block = static_cast<D*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(D)));
    if (!block) return false;
    if (convert(static_cast<size_t>(count), block, static_cast<size_t>(length)) != length) {
        std::free(block);
        return false;
    }
    block[length] = 0;
    SetResult(ppszResult, pnLength, block, length);
    return true;
}

}  // namespace

char STR_WCharToAChar(wchar_t c, int /*nFlags*/, unsigned int nCodePage)
{
    char bytes[16];
    const long n = nWideToMultiByte(nCodePage, &c, 1, nullptr, nullptr, bytes, sizeof bytes);
    return n == 1 ? bytes[0] : '?';
}

wchar_t STR_CharToWChar(char c, int nFlags, unsigned int nCodePage)
{
    wchar_t chars[4];
    const long n = nMultiByteToWide(nCodePage, static_cast<unsigned>(nFlags), &c, 1, chars, 4);
    return n == 1 ? chars[0] : L'?';
}

wchar_t STR_CharToWChar_CurrentCharset(char c, int nFlags)
{
    return STR_CharToWChar(c, nFlags, static_cast<unsigned>(nHostCurrentCodePage()));
}

bool __STR_WCharToChar(const wchar_t* pszText, int n, char** ppszResult, int* pnLength, unsigned int nCodePage)
{
    return bConvertToBlock(pszText, n, ppszResult, pnLength, [&](size_t count, char* dst, size_t capacity) {
        return nWideToMultiByte(nCodePage, pszText, count, nullptr, nullptr, dst, capacity);
    });
}

bool STR_WCharToChar_AnyCodepage(const wchar_t* pszText, int n, char** ppszResult, int* pnLength,
                                 unsigned int nCodePage)
{
    return __STR_WCharToChar(pszText, n, ppszResult, pnLength, nCodePage);
}

bool STR_WCharToChar_CurrentCharset(char** ppszResult, const wchar_t* pszText, int n)
{
    return __STR_WCharToChar(pszText, n, ppszResult, nullptr, static_cast<unsigned>(nHostCurrentCodePage()));
}

bool __STR_CharToWChar(const char* pszText, int n, unsigned int nCodePage, wchar_t** ppszResult, int* pnLength,
                       unsigned int nFlags)
{
    return bConvertToBlock(pszText, n, ppszResult, pnLength, [&](size_t count, wchar_t* dst, size_t capacity) {
        return nMultiByteToWide(nCodePage, nFlags, pszText, count, dst, capacity);
    });
}

bool STR_CharToWChar_AnyCodepage(const char* pszText, int n, unsigned int nCodePage, wchar_t** ppszResult,
                                 int* pnLength, unsigned int nFlags)
{
    if (nCodePage != CP_UTF8) nFlags |= MB_PRECOMPOSED;
    return __STR_CharToWChar(pszText, n, nCodePage, ppszResult, pnLength, nFlags);
}

bool STR_CharToWChar_CurrentCharset(wchar_t** ppszResult, const char* pszText, unsigned int nFlags, int n)
{
    if (!pszText) {
        *ppszResult = nullptr;
        return true;
    }
    return __STR_CharToWChar(pszText, n, static_cast<unsigned>(nHostCurrentCodePage()), ppszResult, nullptr, nFlags);
}

bool STR_CharToWChar(wchar_t** ppszResult, const char* pszText)
{
    return __STR_CharToWChar(pszText, -1, 1252, ppszResult, nullptr, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS);
}

bool STR_CharToChar_AnyCodepage(const char* pszText, int n, unsigned int nFromCodePage, char** ppszResult,
                                int* pnLength, unsigned int nToCodePage)
{
    SetResult(ppszResult, pnLength, nullptr, 0);
    if (!pszText) return false;
    if (std::strcmp(CodePageToIConv(static_cast<int>(nFromCodePage)), CodePageToIConv(static_cast<int>(nToCodePage))) == 0) {
        const long count = CountOf(pszText, n);
        if (count < 0) return false;
        char* block = static_cast<char*>(std::malloc(static_cast<size_t>(count) + 1));
        if (!block) return false;
        std::memcpy(block, pszText, static_cast<size_t>(count));
        block[count] = 0;
        SetResult(ppszResult, pnLength, block, count);
        return true;
    }
    wchar_t* wide = nullptr;
    int wideLength = 0;
    if (!STR_CharToWChar_AnyCodepage(pszText, n, nFromCodePage, &wide, &wideLength, 0)) return false;
    const bool bOk = __STR_WCharToChar(wide, wideLength, ppszResult, pnLength, nToCodePage);
    std::free(wide);
    return bOk;
}

wchar_t* pszCSTR2XSTR(const char* pszText, int n, unsigned int nCodePage)
{
    const size_t count = (!pszText || n == 0 || n < -1)
        ? 0
        : (n == -1 ? std::strlen(pszText) : strnlen(pszText, static_cast<size_t>(n)));
    wchar_t* block = static_cast<wchar_t*>(std::calloc(count + 1, sizeof(wchar_t)));
    if (!block || count == 0) return block;
    const long chars = nMultiByteToWide(nCodePage, 0, pszText, count, block, count);
    if (chars < 0) block[0] = 0;
    return block;
}

char* pszXSTR2CSTR(const wchar_t* pszText, int n)
{
    const size_t count = (!pszText || n == 0 || n < -1)
        ? 0
        : (n == -1 ? std::wcslen(pszText) : wcsnlen(pszText, static_cast<size_t>(n)));
    char* block = static_cast<char*>(std::calloc(count + 1, 1));
    if (!block || count == 0) return block;
    if (nWideToMultiByte(1252, pszText, count, nullptr, nullptr, block, count) < 0) block[0] = 0;
    return block;
}

wchar_t* pszWSTR2XSTR(const wchar_t* pszText, int n)
{
    if (!pszText) return nullptr;
    const size_t count = n < 1 ? std::wcslen(pszText) : wcsnlen(pszText, static_cast<size_t>(n));
    wchar_t* block = static_cast<wchar_t*>(std::malloc((count + 1) * sizeof(wchar_t)));
    if (!block) return nullptr;
    std::memcpy(block, pszText, count * sizeof(wchar_t));
    block[count] = 0;
    return block;
}

wchar_t* pszXSTR2WSTR(const wchar_t* pszText, int n)
{
    return pszWSTR2XSTR(pszText, n);
}
