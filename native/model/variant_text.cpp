// Text conversions and the bounded text writers of the value holders.
#include "native/model/variant_text.h"

#include <cstdint>
#include <cstring>

#include "common/system/code_page_conversion.h"
#include "common/text/cp1252.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

namespace {

constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr uint16_t kReplacementUnit = 0xFFFD;

bool bAscii(const char* psz, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(psz[i]) >= 0x80)
            return false;
    return true;
}

void PutUnit(unsigned char* pby, size_t nUnit, uint16_t w)
{
    std::memcpy(pby + 2 * nUnit, &w, sizeof w);
}

uint16_t GetUnit(const unsigned char* pby, size_t nUnit)
{
    uint16_t w;
    std::memcpy(&w, pby + 2 * nUnit, sizeof w);
    return w;
}

}  // namespace

size_t NA_nAnsiToWide(const char* psz, size_t n, int nCodePage, wchar_t* pszDst)
{
    if (n == 0)
        return 0;
    if (bAscii(psz, n)) {
        for (size_t i = 0; i < n; ++i)
            pszDst[i] = static_cast<unsigned char>(psz[i]);
        return n;
    }
    if (n > 0x7FFFFFFF)
        return 0;
    const int nLen = static_cast<int>(n);
    if (nCodePage == 0 || nCodePage == 1252)
        return static_cast<size_t>(STR_CP1252ToWideChar(psz, nLen, pszDst, nLen));
    if (nCodePage == static_cast<int>(CP_UTF8))
        return static_cast<size_t>(nUTF8ToWide(pszDst, nLen, psz, nLen));
    const int nWritten = MultiByteToWideChar(static_cast<unsigned>(nCodePage), 0, psz, nLen, pszDst, nLen);
    return nWritten > 0 ? static_cast<size_t>(nWritten) : 0;
}

size_t NA_nWideToAnsiCut(const wchar_t* psz, size_t n, int nCodePage, unsigned char* pbyDst, size_t nCapacity,
                         bool* pbFailed)
{
    *pbFailed = false;
    size_t nOut = 0;
    if (nCodePage == 0 || nCodePage == 1252) {
        for (size_t i = 0; i < n && nOut < nCapacity; ++i)
            pbyDst[nOut++] = static_cast<unsigned char>(STR_ToCP1252(psz[i], '?', nullptr));
        return nOut;
    }
    if (nCodePage == static_cast<int>(CP_UTF8)) {
        char acUtf8[8];
        for (size_t i = 0; i < n; ++i) {
            const size_t nBytes = static_cast<size_t>(UTF32ToUTF8(static_cast<unsigned>(psz[i]), acUtf8));
            if (nOut + nBytes > nCapacity)
                break;
            std::memcpy(pbyDst + nOut, acUtf8, nBytes);
            nOut += nBytes;
        }
        return nOut;
    }
    // Any other code page through the system converter, one character at a
    // time only when the whole text does not fit (then it is cut between
    // characters, whatever their byte counts).
    if (n == 0 || n > 0x7FFFFFFF)
        return 0;
    const int nChars = static_cast<int>(n);
    const int nNeeded = WideCharToMultiByte(static_cast<unsigned>(nCodePage), 0, psz, nChars, nullptr, 0, nullptr,
                                            nullptr);
    if (nNeeded <= 0)
        return 0;
    CNAScratch<char> scratch;
    char* pszAll = scratch.pGet(static_cast<size_t>(nNeeded));
    if (pszAll == nullptr) {
        *pbFailed = true;
        return 0;
    }
    const int nAll = WideCharToMultiByte(static_cast<unsigned>(nCodePage), 0, psz, nChars, pszAll, nNeeded, nullptr,
                                         nullptr);
    if (nAll <= 0)
        return 0;
    size_t nKeep = static_cast<size_t>(nAll);
    if (nKeep > nCapacity) {
        nKeep = 0;
        if (nAll == nChars) {
            nKeep = nCapacity;
        } else {
            for (size_t i = 0; i < n; ++i) {
                const int nBytes = WideCharToMultiByte(static_cast<unsigned>(nCodePage), 0, psz + i, 1, nullptr, 0,
                                                       nullptr, nullptr);
                if (nBytes <= 0 || nKeep + static_cast<size_t>(nBytes) > nCapacity)
                    break;
                nKeep += static_cast<size_t>(nBytes);
            }
        }
    }
    std::memcpy(pbyDst, pszAll, nKeep);
    return nKeep;
}

size_t NA_nWideToUTF16Cut(const wchar_t* psz, size_t n, unsigned char* pbyDst, size_t nCapacity)
{
    size_t nUnits = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = static_cast<uint32_t>(psz[i]);
        if (c == 0)
            break;
        if (c >= 0x10000 && c <= kMaxCodePoint) {
            if (nUnits + 2 > nCapacity)
                break;
            const uint32_t v = c - 0x10000;
            PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xD800 + (v >> 10)));
            PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            if (nUnits + 1 > nCapacity)
                break;
            PutUnit(pbyDst, nUnits++, c > kMaxCodePoint ? kReplacementUnit : static_cast<uint16_t>(c));
        }
    }
    return nUnits;
}

size_t NA_nUTF8ToUTF16Cut(const char* psz, size_t n, unsigned char* pbyDst, size_t nCapacity, bool* pbZeroByte)
{
    // The decoding follows UTF8_GetNext step for step (lead lengths from
    // TabUTF8len, up to six bytes, no check for overlong forms), the writing
    // NA_nWideToUTF16Cut: every text gives the same units on both roads.
    static constexpr unsigned char kLeadMask[7] = {0, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
    const auto* p = reinterpret_cast<const unsigned char*>(psz);
    size_t i = 0;
    size_t nUnits = 0;
    if (pbZeroByte != nullptr)
        *pbZeroByte = false;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    constexpr uint64_t kLowBits = 0x0101010101010101ull;
    while (i < n) {
        // Eight ASCII bytes at a time, none of them zero.
        if (n - i >= 8 && nCapacity - nUnits >= 8) {
            uint64_t w;
            std::memcpy(&w, p + i, sizeof w);
            if (((w | ((w - kLowBits) & ~w)) & kHighBits) == 0) {
                for (size_t k = 0; k < 8; ++k)
                    PutUnit(pbyDst, nUnits + k, p[i + k]);
                nUnits += 8;
                i += 8;
                continue;
            }
        }
        const unsigned char b = p[i];
        uint32_t c;
        if (b < 0x80) {
            if (b == 0 && pbZeroByte != nullptr)
                *pbZeroByte = true;
            if (b == 0 || nUnits >= nCapacity)
                break;
            PutUnit(pbyDst, nUnits++, b);
            ++i;
            continue;
        }
        const size_t nLength = TabUTF8len[b >> 2];
        if (nLength == 0) {
            // A continuation byte where a character should start.
            c = '?';
            ++i;
        } else if (nLength > n - i) {
            // The last character is cut: one "?" and the text ends.
            c = '?';
            i = n;
        } else {
            size_t k = 1;
            while (k < nLength && (p[i + k] & 0xC0) == 0x80)
                ++k;
            if (k == nLength) {
                c = b & kLeadMask[nLength];
                for (size_t j = 1; j < nLength; ++j)
                    c = (c << 6) | (p[i + j] & 0x3F);
            } else {
                c = '?';
            }
            i += k;
        }
        if (c == 0)
            break;
        if (c >= 0x10000 && c <= kMaxCodePoint) {
            if (nUnits + 2 > nCapacity)
                break;
            const uint32_t v = c - 0x10000;
            PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xD800 + (v >> 10)));
            PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            if (nUnits + 1 > nCapacity)
                break;
            PutUnit(pbyDst, nUnits++, c > kMaxCodePoint ? kReplacementUnit : static_cast<uint16_t>(c));
        }
    }
    return nUnits;
}

size_t NA_nUTF16ToWide(const unsigned char* pbyUnits, size_t nUnits, wchar_t* pszDst)
{
    size_t nChars = 0;
    for (size_t i = 0; i < nUnits; ++i) {
        const uint32_t w = GetUnit(pbyUnits, i);
        if (w == 0)
            break;
        if (w >= 0xD800 && w <= 0xDBFF && i + 1 < nUnits) {
            const uint32_t wNext = GetUnit(pbyUnits, i + 1);
            if (wNext >= 0xDC00 && wNext <= 0xDFFF) {
                pszDst[nChars++] = static_cast<wchar_t>(0x10000 + ((w - 0xD800) << 10) + (wNext - 0xDC00));
                ++i;
                continue;
            }
        }
        pszDst[nChars++] = static_cast<wchar_t>(w);
    }
    return nChars;
}

size_t NA_nBoundedLength(const unsigned char* pby, size_t n)
{
    const void* pZero = std::memchr(pby, 0, n);
    return pZero != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(pZero) - pby) : n;
}

size_t NA_nBoundedWideLength(const unsigned char* pby, size_t nBytes)
{
    size_t nChars = 0;
    for (; (nChars + 1) * sizeof(wchar_t) <= nBytes; ++nChars) {
        uint32_t c;
        std::memcpy(&c, pby + nChars * sizeof(wchar_t), sizeof c);
        if (c == 0)
            break;
    }
    return nChars;
}
