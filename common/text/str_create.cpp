#include "common/text/str_create.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "common/text/unicode_units.h"

namespace {

template <class T>
T* Allocate(size_t n)
{
    if (n >= SIZE_MAX / sizeof(T) - 1) return nullptr;
    return static_cast<T*>(std::malloc((n + 1) * sizeof(T)));
}

template <class T>
size_t Length(const T* text)
{
    size_t n = 0;
    if (text) {
        while (text[n]) ++n;
    }
    return n;
}

template <class T>
T* Join(std::initializer_list<const T*> parts)
{
    size_t total = 0;
    for (const T* p : parts) total += Length(p);
    T* block = Allocate<T>(total);
    if (!block) return nullptr;
    size_t at = 0;
    for (const T* p : parts) {
        const size_t n = Length(p);
        if (n) std::memcpy(block + at, p, n * sizeof(T));
        at += n;
    }
    block[at] = 0;
    return block;
}

template <class T>
T* Prefix(int n, const T* text)
{
    if (n < 0) return nullptr;
    T* block = Allocate<T>(static_cast<size_t>(n));
    if (!block) return nullptr;
    size_t copied = 0;
    if (text) {
        while (copied < static_cast<size_t>(n) && text[copied]) ++copied;
        std::memcpy(block, text, copied * sizeof(T));
    }
    std::memset(block + copied, 0, (static_cast<size_t>(n) + 1 - copied) * sizeof(T));
    return block;
}

template <class T>
bool Resize(T** ppText, size_t n)
{
    if (!ppText || n > SIZE_MAX / sizeof(T)) return false;
    // realloc to 0 would free the block and return null.
    T* p = static_cast<T*>(std::realloc(*ppText, (n ? n : 1) * sizeof(T)));
    if (!p) return false;
    *ppText = p;
    return true;
}

inline bool bAligned(const void* p)
{
    return (reinterpret_cast<uintptr_t>(p) & (alignof(wchar_t) - 1)) == 0;
}

}  // namespace

wchar_t* STR_pszCreateW(int n) { return n < 0 ? nullptr : Allocate<wchar_t>(static_cast<size_t>(n)); }
wchar_t* STR_pszCreate(int n) { return STR_pszCreateW(n); }
char* STR_pszCreateA(int n) { return n < 0 ? nullptr : Allocate<char>(static_cast<size_t>(n)); }

wchar_t* STR_pszCreateW(const wchar_t* pszText) { return pszText ? Join<wchar_t>({pszText}) : nullptr; }
wchar_t* STR_pszCreate(const wchar_t* pszText) { return STR_pszCreateW(pszText); }
char* STR_pszCreateA(const char* pszText) { return pszText ? Join<char>({pszText}) : nullptr; }

wchar_t* STR_pszCreateW(const wchar_t* a, const wchar_t* b) { return Join<wchar_t>({a, b}); }
char* STR_pszCreateA(const char* a, const char* b) { return Join<char>({a, b}); }

wchar_t* STR_pszCreate(int n, const wchar_t* pszText) { return Prefix(n, pszText); }
wchar_t* STR_pszCreateW(int n, const wchar_t* pszText) { return Prefix(n, pszText); }
char* STR_pszCreateA(int n, const char* pszText) { return Prefix(n, pszText); }

wchar_t* STR_pszCreateW_UNALIGNED(const wchar_t* pszText)
{
    if (!pszText) return nullptr;
    if (bAligned(pszText)) return STR_pszCreateW(pszText);
    const size_t n = __UNALIGNED__UNICODE__STRLEN__(pszText);
    wchar_t* block = Allocate<wchar_t>(n);
    if (!block) return nullptr;
    std::memcpy(block, pszText, n * sizeof(wchar_t));
    block[n] = 0;
    return block;
}

wchar_t* STR_pszCreateW_UNALIGNED(int n, const wchar_t* pszText)
{
    if (n < 0) return nullptr;
    if (!pszText || bAligned(pszText)) return Prefix(n, pszText);
    wchar_t* block = Allocate<wchar_t>(static_cast<size_t>(n));
    if (!block) return nullptr;
    __UNALIGNED__UNICODE__STRNCPY__(block, pszText, static_cast<size_t>(n));
    block[n] = 0;
    return block;
}

wchar_t* STR_pszConcatPoint(const wchar_t* a, const wchar_t* b) { return Join<wchar_t>({a, L".", b}); }
wchar_t* STR_pszConcat(const wchar_t* a, const wchar_t* b, const wchar_t* c) { return Join<wchar_t>({a, b, c}); }

wchar_t* STR_RemplaceW(const wchar_t* pszText, const wchar_t* pszFind, const wchar_t* pszReplacement)
{
    if (!pszText || !*pszText || !pszFind || !*pszFind) return nullptr;
    const size_t findLen = std::wcslen(pszFind);
    const size_t replLen = Length(pszReplacement);
    size_t count = 0;
    for (const wchar_t* p = std::wcsstr(pszText, pszFind); p; p = std::wcsstr(p + findLen, pszFind)) ++count;
    const size_t textLen = std::wcslen(pszText);
    // Grows or shrinks by the difference per occurrence.
    if (replLen > findLen && count > (SIZE_MAX / sizeof(wchar_t) - textLen - 1) / (replLen - findLen)) return nullptr;
    const size_t total = textLen + count * replLen - count * findLen;
    wchar_t* block = Allocate<wchar_t>(total);
    if (!block) return nullptr;
    wchar_t* out = block;
    const wchar_t* from = pszText;
    for (const wchar_t* p = std::wcsstr(from, pszFind); p; p = std::wcsstr(from, pszFind)) {
        std::memcpy(out, from, static_cast<size_t>(p - from) * sizeof(wchar_t));
        out += p - from;
        if (replLen) std::memcpy(out, pszReplacement, replLen * sizeof(wchar_t));
        out += replLen;
        from = p + findLen;
    }
    const size_t rest = std::wcslen(from);
    std::memcpy(out, from, (rest + 1) * sizeof(wchar_t));
    return block;
}

bool STR_bRedefine(wchar_t** ppszText, const wchar_t* pszSource)
{
    if (!ppszText) return false;
    std::free(*ppszText);
    *ppszText = STR_pszCreateW(pszSource);
    return *ppszText != nullptr;
}

bool STR_bResizeW(wchar_t** ppszText, size_t n) { return Resize(ppszText, n); }
bool STR_bResizeA(char** ppszText, size_t n) { return Resize(ppszText, n); }

void STR_Delete(void* pText)
{
    if (pText) std::free(pText);
}

void STR_DeleteW(wchar_t* pszText) { std::free(pszText); }
void STR_DeleteA(char* pszText) { std::free(pszText); }
