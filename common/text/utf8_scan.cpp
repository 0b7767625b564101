#include "common/text/utf8_scan.h"

#include <cstdint>
#include <cstring>

const unsigned char TabUTF8len[64] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0x00-0x3F
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0x40-0x7F
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x80-0xBF
    2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 5, 6,  // 0xC0-0xFF
};

namespace {

inline bool bIsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Bytes that are not continuation bytes among the first n, eight at a time
// once aligned: a continuation byte has bit 7 set and bit 6 clear.
size_t CountLeads(const unsigned char* p, size_t n)
{
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    size_t count = 0;
    size_t i = 0;
    while (i < n && (reinterpret_cast<uintptr_t>(p + i) & 7) != 0) {
        count += !bIsContinuation(p[i]);
        ++i;
    }
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        const uint64_t cont = w & ~(w << 1) & kHigh;
        count += 8 - (((cont >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; i < n; ++i) count += !bIsContinuation(p[i]);
    return count;
}

size_t StepLength(const unsigned char* p)
{
    size_t n = TabUTF8len[p[0] >> 2];
    if (n == 0) n = 6;
    size_t i = 1;
    while (i < n && bIsContinuation(p[i])) ++i;
    return i;
}

// Decodes a sequence of length n at p whose continuation bytes are all
// present; the lead keeps the value bits of its form.
wchar_t DecodeWhole(const unsigned char* p, size_t n)
{
    static const unsigned char kLeadMask[7] = {0, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
    uint32_t c = p[0] & kLeadMask[n];
    for (size_t i = 1; i < n; ++i) c = (c << 6) | (p[i] & 0x3F);
    return static_cast<wchar_t>(c);
}

// Decodes at p within at most limit bytes (the sequence length is known to
// fit); stores the bytes consumed.
wchar_t DecodeAt(const unsigned char* p, size_t* pConsumed)
{
    const size_t n = TabUTF8len[p[0] >> 2];
    if (n <= 1) {
        *pConsumed = 1;
        return n == 1 ? static_cast<wchar_t>(p[0]) : L'?';
    }
    size_t i = 1;
    while (i < n && bIsContinuation(p[i])) ++i;
    *pConsumed = i;
    return i == n ? DecodeWhole(p, n) : L'?';
}

}  // namespace

int STR_nGetNbByteUTF8(unsigned char nLead)
{
    if (nLead < 0x80) return 1;
    if (nLead < 0xE0) return 2;
    if (nLead < 0xF0) return 3;
    if (nLead < 0xF8) return 4;
    if (nLead < 0xFC) return 5;
    if (nLead < 0xFE) return 6;
    return 1;
}

const char* UTF8next(const char* p)
{
    return p + StepLength(reinterpret_cast<const unsigned char*>(p));
}

char* UTF8next(char* p)
{
    return p + StepLength(reinterpret_cast<const unsigned char*>(p));
}

int UTF8Len(const char* p)
{
    return static_cast<int>(StepLength(reinterpret_cast<const unsigned char*>(p)));
}

size_t StrLenUTF8(const char* pszText)
{
    if (!pszText) return 0;
    return CountLeads(reinterpret_cast<const unsigned char*>(pszText), std::strlen(pszText));
}

size_t StrNLenUTF8(const char* pszText, long n)
{
    if (!pszText || n < 1) return 0;
    return CountLeads(reinterpret_cast<const unsigned char*>(pszText), strnlen(pszText, static_cast<size_t>(n)));
}

size_t UTF8ToWideLen(const char* pszText)
{
    if (!pszText) return 0;
    size_t count = 0;
    for (const char* p = pszText; *p; p = UTF8next(p)) ++count;
    return count;
}

namespace {

inline size_t Utf8BytesOf(wchar_t c)
{
    const uint32_t u = static_cast<uint32_t>(c);
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (u < 0x10000) return 3;
    if (u <= 0x10FFFF) return 4;
    return 1;
}

}  // namespace

size_t UTF8ByteLen(const wchar_t* pszText)
{
    if (!pszText) return 0;
    size_t total = 0;
    for (const wchar_t* p = pszText; *p; ++p) total += Utf8BytesOf(*p);
    return total;
}

size_t UTF8ByteLenTotal(const wchar_t* pszText, long n)
{
    if (!pszText || n < 1) return 0;
    size_t total = 0;
    for (long i = 0; i < n; ++i) {
        if (pszText[i] == 0) return total + 1;
        total += Utf8BytesOf(pszText[i]);
    }
    return total;
}

int UTF8FirstChar(const char* pszText, int* pnLength)
{
    const int available = pnLength ? *pnLength : 0;
    if (pnLength) *pnLength = 0;
    if (!pszText || available < 1) return -1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pszText);
    int n;
    uint32_t c;
    if (p[0] < 0x80) {
        n = 1;
        c = p[0];
    } else if (p[0] < 0xE0) {
        n = 2;
        c = p[0] & 0x1F;
    } else if (p[0] < 0xF0) {
        n = 3;
        c = p[0] & 0x0F;
    } else if (p[0] < 0xF8) {
        n = 4;
        c = p[0] & 0x07;
    } else {
        return -1;
    }
    if (n > available) return -1;
    for (int i = 1; i < n; ++i) {
        if (!bIsContinuation(p[i])) return -1;
        c = (c << 6) | (p[i] & 0x3F);
    }
    *pnLength = n;
    return static_cast<int>(c);
}

int UTF8Valide(const char* pszText, int nLength)
{
    if (!pszText) return nLength == 0 ? 1 : 0;
    if (nLength == 0 || nLength < -1) return 1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pszText);
    const size_t len = nLength == -1 ? std::strlen(pszText) : strnlen(pszText, static_cast<size_t>(nLength));
    size_t i = 0;
    while (i < len) {
        const unsigned char b = p[i];
        size_t n;
        if (b < 0x80) n = 1;
        else if ((b & 0xE0) == 0xC0) n = 2;
        else if ((b & 0xF0) == 0xE0) n = 3;
        else if ((b & 0xF8) == 0xF0) n = 4;
        else return 0;
        if (n > len - i) return 0;
        for (size_t k = 1; k < n; ++k) {
            if (!bIsContinuation(p[i + k])) return 0;
        }
        i += n;
    }
    return 1;
}

wchar_t UTF8_GetNext(const char** pp)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*pp);
    size_t consumed;
    const wchar_t c = DecodeAt(p, &consumed);
    *pp += consumed;
    return c;
}

wchar_t UTF8_GetNext(const char** pp, int* pnRemaining)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*pp);
    if (*pnRemaining < 1) {
        *pnRemaining = 0;
        return L'?';
    }
    const size_t n = TabUTF8len[p[0] >> 2];
    if (n > static_cast<size_t>(*pnRemaining)) {
        *pnRemaining = 0;
        return L'?';
    }
    size_t consumed;
    const wchar_t c = DecodeAt(p, &consumed);
    *pp += consumed;
    *pnRemaining -= static_cast<int>(consumed);
    return c;
}
