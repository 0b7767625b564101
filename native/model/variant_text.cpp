// Text conversions and the bounded text writers of the value holders.
#include "native/model/variant_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// One character as UTF-16 units while they fit within nCapacity units: a
// pair above U+FFFF, never split; U+FFFD beyond U+10FFFF. False when it
// does not fit.
bool bPutCodePoint(uint32_t c, unsigned char* pbyDst, size_t* pnUnits, size_t nCapacity)
{
    size_t& nUnits = *pnUnits;
    if (c >= 0x10000 && c <= kMaxCodePoint) {
        if (nUnits + 2 > nCapacity)
            return false;
        const uint32_t v = c - 0x10000;
        PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xD800 + (v >> 10)));
        PutUnit(pbyDst, nUnits++, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        return true;
    }
    if (nUnits + 1 > nCapacity)
        return false;
    PutUnit(pbyDst, nUnits++, c > kMaxCodePoint ? kReplacementUnit : static_cast<uint16_t>(c));
    return true;
}

uint16_t GetUnit(const unsigned char* pby, size_t nUnit)
{
    uint16_t w;
    std::memcpy(&w, pby + 2 * nUnit, sizeof w);
    return w;
}

// Bytes at the start of p, among the first nRoom, that are ASCII and not
// zero, each written as a unit: a window of 16 bytes is widened whole (the
// caller has room for 16 units), the count tells how many of them stand; a
// window of 8 (or fewer) bytes writes only the run. 0 when nothing is
// ASCII, or fewer than 8 bytes are left (the caller then goes byte by byte).
size_t nWidenAsciiRun(const unsigned char* p, size_t nRoom, unsigned char* pbyDst)
{
#if defined(__SSE2__)
    if (nRoom >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pbyDst), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pbyDst + 16), _mm_unpackhi_epi8(v, zero));
        const unsigned nMask = static_cast<unsigned>(_mm_movemask_epi8(v)) |
                               static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
        return nMask == 0 ? 16 : static_cast<size_t>(__builtin_ctz(nMask));
    }
#endif
    if (nRoom >= 8) {
        constexpr uint64_t kHighBits = 0x8080808080808080ull;
        constexpr uint64_t kLowBits = 0x0101010101010101ull;
        uint64_t w;
        std::memcpy(&w, p, sizeof w);
        // The lowest flagged byte is the first high or zero one (a borrow
        // only flags bytes above a zero byte).
        const uint64_t nMask = (w | ((w - kLowBits) & ~w)) & kHighBits;
        const size_t nRun = nMask == 0 ? 8 : static_cast<size_t>(__builtin_ctzll(nMask)) / 8;
        for (size_t k = 0; k < nRun; ++k)
            PutUnit(pbyDst, k, p[k]);
        return nRun;
    }
    return 0;
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
        if (!bPutCodePoint(c, pbyDst, &nUnits, nCapacity))
            break;
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
    while (i < n) {
        // A run of ASCII bytes (none of them zero) is copied as a whole; the
        // byte after it is decoded below.
        const size_t nRun = nWidenAsciiRun(p + i, std::min(n - i, nCapacity - nUnits), pbyDst + 2 * nUnits);
        i += nRun;
        nUnits += nRun;
        if (i == n)
            break;
        const unsigned char b = p[i];
        uint32_t c;
        if ((b & 0xE0) == 0xC0 && n - i >= 2 && (p[i + 1] & 0xC0) == 0x80) {
            // Two bytes, the usual accented letter: as below, in short.
            c = (static_cast<uint32_t>(b & 0x1F) << 6) | (p[i + 1] & 0x3F);
            i += 2;
        } else if (b < 0x80) {
            if (b == 0 && pbZeroByte != nullptr)
                *pbZeroByte = true;
            if (b == 0 || nUnits >= nCapacity)
                break;
            PutUnit(pbyDst, nUnits++, b);
            ++i;
            continue;
        } else if (const size_t nLength = TabUTF8len[b >> 2]; nLength == 0) {
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
        if (!bPutCodePoint(c, pbyDst, &nUnits, nCapacity))
            break;
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
