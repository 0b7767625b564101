#include "common/text/utf8_convert.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/text/utf8_scan.h"

namespace {

// Bytes of one character; "?" for what UTF-8 cannot hold.
int Encode(uint32_t c, unsigned char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    if (c <= 0x10FFFF) {
        out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 4;
    }
    out[0] = '?';
    return 1;
}

// Encodes n characters into at most capacity bytes, stopping before a
// sequence that does not fit.
int EncodeBounded(char* dst, size_t capacity, const wchar_t* text, size_t n)
{
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        unsigned char bytes[4];
        const int k = Encode(static_cast<uint32_t>(text[i]), bytes);
        if (capacity - out < static_cast<size_t>(k)) break;
        std::memcpy(dst + out, bytes, static_cast<size_t>(k));
        out += static_cast<size_t>(k);
    }
    return static_cast<int>(out);
}

}  // namespace

int UTF32ToUTF8(unsigned int c, char* pszOut)
{
    const int n = Encode(c, reinterpret_cast<unsigned char*>(pszOut));
    pszOut[n] = 0;
    return n;
}

int WideToUTF8(char* pszDst, const wchar_t* pszText)
{
    if (!pszText || !pszDst) return 0;
    size_t out = 0;
    for (const wchar_t* p = pszText; *p; ++p) {
        out += static_cast<size_t>(Encode(static_cast<uint32_t>(*p), reinterpret_cast<unsigned char*>(pszDst + out)));
    }
    pszDst[out] = 0;
    return static_cast<int>(out);
}

int WideToUTF8(char* pszDst, int nCapacity, const wchar_t* pszText)
{
    if (!pszDst || nCapacity < 1) return 0;
    const int n = pszText ? EncodeBounded(pszDst, static_cast<size_t>(nCapacity) - 1, pszText, std::wcslen(pszText)) : 0;
    pszDst[n] = 0;
    return n;
}

int nWideToUTF8(char* pszDst, int nCapacity, const wchar_t* pszText, int n)
{
    if (!pszDst || !pszText || nCapacity < 1 || n == 0 || n < -1) return 0;
    const size_t count = n == -1 ? std::wcslen(pszText) + 1 : static_cast<size_t>(n);
    return EncodeBounded(pszDst, static_cast<size_t>(nCapacity), pszText, count);
}

int UTF8ToWide(wchar_t* pszDst, int nCapacity, const char* pszText)
{
    if (!pszDst || nCapacity < 1) return 0;
    int out = 0;
    if (pszText) {
        const char* p = pszText;
        while (out < nCapacity - 1 && *p) pszDst[out++] = UTF8_GetNext(&p);
    }
    pszDst[out] = 0;
    return out;
}

int nUTF8ToWide(wchar_t* pszDst, int nCapacity, const char* pszText, int n)
{
    if (!pszDst || !pszText || nCapacity < 1 || n == 0 || n < -1) return 0;
    const size_t len = n == -1 ? std::strlen(pszText) + 1 : static_cast<size_t>(n);
    if (len > 0x7FFFFFFF) return 0;
    int remaining = static_cast<int>(len);
    const char* p = pszText;
    int out = 0;
    while (remaining > 0 && out < nCapacity) pszDst[out++] = UTF8_GetNext(&p, &remaining);
    return out;
}

namespace {

// Code points of n bytes, each handed to f; values UTF-16 cannot hold are "?".
template <class F>
void ForEachCodePoint(const char* text, int n, F f)
{
    const size_t len = n == -1 ? std::strlen(text) : static_cast<size_t>(n);
    if (len > 0x7FFFFFFF) return;
    int remaining = static_cast<int>(len);
    const char* p = text;
    while (remaining > 0) {
        uint32_t c = static_cast<uint32_t>(UTF8_GetNext(&p, &remaining));
        if (c > 0x10FFFF) c = '?';
        if (!f(c)) return;
    }
}

}  // namespace

int UTF8ToUTF16Len(const char* pszText, int n)
{
    if (!pszText || n == 0 || n < -1) return 0;
    int units = 0;
    ForEachCodePoint(pszText, n, [&](uint32_t c) {
        units += c > 0xFFFF ? 2 : 1;
        return true;
    });
    return units;
}

int UTF8ToUTF16(unsigned short* pDst, int nCapacity, const char* pszText, int n)
{
    if (!pDst || !pszText || nCapacity < 1 || n == 0 || n < -1) return 0;
    int out = 0;
    ForEachCodePoint(pszText, n, [&](uint32_t c) {
        if (c <= 0xFFFF) {
            if (out >= nCapacity) return false;
            pDst[out++] = static_cast<unsigned short>(c);
            return true;
        }
        if (nCapacity - out < 3) return false;
        pDst[out++] = static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10));
        pDst[out++] = static_cast<unsigned short>(0xDC00 + (c & 0x3FF));
        return true;
    });
    return out;
}
