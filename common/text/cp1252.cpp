#include "common/text/cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>

#include "common/system/code_page_conversion.h"
#include "common/text/cp1252_table.h"

bool STR_bIsCp1252(wchar_t c, unsigned char* pByte)
{
    const int b = nCp1252ByteOf(static_cast<uint32_t>(c));
    if (b < 0) return false;
    if (pByte) *pByte = static_cast<unsigned char>(b);
    return true;
}

bool STR_bIsCp1252(wchar_t c)
{
    return nCp1252ByteOf(static_cast<uint32_t>(c)) >= 0;
}

bool STR_bIsCp1252(const wchar_t* pszText)
{
    if (!pszText) return true;
    for (const wchar_t* p = pszText; *p; ++p) {
        if (nCp1252ByteOf(static_cast<uint32_t>(*p)) < 0) return false;
    }
    return true;
}

bool STR_bIsANSI7(const wchar_t* pszText)
{
    return STR_bIsANSI7(pszText, -1);
}

bool STR_bIsANSI7(const wchar_t* pszText, int n)
{
    if (!pszText) return true;
    for (long i = 0; (n < 0 || i < n) && pszText[i]; ++i) {
        if (static_cast<uint32_t>(pszText[i]) >= 128) return false;
    }
    return true;
}

bool STR_bIsANSI7(unsigned char nByte)
{
    return nByte < 128;
}

char STR_ToCP1252(wchar_t c, char cDefault, int* pbUsedDefault)
{
    const int b = nCp1252ByteOf(static_cast<uint32_t>(c));
    if (b >= 0) return static_cast<char>(b);
    if (pbUsedDefault) *pbUsedDefault = 1;
    return cDefault;
}

char STR_ToAnsi7(wchar_t c, char cDefault)
{
    return static_cast<uint32_t>(c) < 128 ? static_cast<char>(c) : cDefault;
}

wchar_t STR_FromAnsi7(unsigned char nByte, wchar_t cDefault)
{
    return nByte < 128 ? static_cast<wchar_t>(nByte) : cDefault;
}

wchar_t STR_FromCP1252(unsigned char nByte)
{
    if (nByte >= 0x80 && nByte < 0xA0 && kCp1252High[nByte - 0x80] != 0) {
        return static_cast<wchar_t>(kCp1252High[nByte - 0x80]);
    }
    return static_cast<wchar_t>(nByte);
}

int STR_CP1252ToWideChar(const char* pszSrc, int n, wchar_t* pszDst, int nCapacity)
{
    if (!pszSrc || n < -1) return 0;
    const size_t count = n == -1 ? std::strlen(pszSrc) + 1 : static_cast<size_t>(n);
    if (count > 0x7FFFFFFF) return 0;
    if (!pszDst || nCapacity <= 0) return static_cast<int>(count);
    const size_t copy = count < static_cast<size_t>(nCapacity) ? count : static_cast<size_t>(nCapacity);
    const unsigned char* src = reinterpret_cast<const unsigned char*>(pszSrc);
    for (size_t i = 0; i < copy; ++i) pszDst[i] = STR_FromCP1252(src[i]);
    return static_cast<int>(copy);
}

bool bAnsiCompatible(const wchar_t* pszText, int nCodePage)
{
    if (!pszText || !*pszText) return true;
    const unsigned cp = static_cast<unsigned>(nCodePage);
    const int bytes = WideCharToMultiByte(cp, 0, pszText, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    std::unique_ptr<char, decltype(&std::free)> narrow(static_cast<char*>(std::malloc(static_cast<size_t>(bytes))), &std::free);
    if (!narrow || WideCharToMultiByte(cp, 0, pszText, -1, narrow.get(), bytes, nullptr, nullptr) != bytes) return false;
    const int chars = MultiByteToWideChar(cp, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, narrow.get(), bytes, nullptr, 0);
    if (chars <= 0) return false;
    std::unique_ptr<wchar_t, decltype(&std::free)> back(
        static_cast<wchar_t*>(std::malloc(static_cast<size_t>(chars) * sizeof(wchar_t))), &std::free);
    if (!back) return false;
    if (MultiByteToWideChar(cp, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, narrow.get(), bytes, back.get(), chars) != chars) {
        return false;
    }
    if (back.get()[chars - 1] != 0) return false;
    return std::wcscmp(back.get(), pszText) == 0;
}

bool bLatin1(const wchar_t* pszText)
{
    return bAnsiCompatible(pszText, 1252);
}
