#include "common/text/utf8_code_page.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/system/code_page_conversion.h"
#include "common/system/code_page_engine.h"
#include "common/system/code_page_names.h"
#include "common/text/host_code_page.h"
#include "common/text/unicode_units.h"

namespace {

// Work areas live on the stack up to this size.
constexpr size_t kStackWorkBytes = 1024;

// A wide work area on the stack or, when larger, on the heap.
class WideWork
{
public:
    explicit WideWork(size_t chars)
    {
        if (chars * sizeof(wchar_t) <= kStackWorkBytes) {
            m_p = m_stack;
        } else {
            m_heap.reset(static_cast<wchar_t*>(std::malloc(chars * sizeof(wchar_t))));
            m_p = m_heap.get();
        }
        m_chars = m_p ? chars : 0;
    }
    wchar_t* Get() const { return m_p; }
    size_t Chars() const { return m_chars; }

private:
    struct Free
    {
        void operator()(wchar_t* p) const { std::free(p); }
    };
    wchar_t m_stack[kStackWorkBytes / sizeof(wchar_t)];
    std::unique_ptr<wchar_t, Free> m_heap;
    wchar_t* m_p = nullptr;
    size_t m_chars = 0;
};

bool bIsUtf8(unsigned int nCodePage)
{
    return std::strcmp(CodePageToIConv(static_cast<int>(nCodePage)), "UTF-8") == 0;
}

// Lead bytes of the double-byte code pages: the byte after one belongs to the
// same character, whatever its value.
bool bIsLeadByte(unsigned int nCodePage, unsigned char b)
{
    switch (nCodePage) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
    }
}

// Stateful code pages read ASCII bytes differently by state.
bool bIsStateful(unsigned int nCodePage)
{
    return nCodePage == 50220;
}

size_t SourceLength(const char* src, int n)
{
    if (!src || n == 0 || n < -1) return 0;
    return n == -1 ? std::strlen(src) : static_cast<size_t>(n);
}

// Code page 65001 on both sides: at most capacity - 1 bytes, up to a
// terminator within the source.
int CopyUtf8(const char* src, size_t len, char* dst, size_t capacity)
{
    const size_t copy = strnlen(src, len < capacity - 1 ? len : capacity - 1);
    std::memcpy(dst, src, copy);
    std::memset(dst + copy, 0, capacity - copy);
    return static_cast<int>(copy);
}

// Length of a UTF-8 run without a sequence cut by its end: the bytes of such a
// sequence are invalid input, dropped like the other invalid bytes.
size_t Utf8RunWithoutCut(const unsigned char* run, size_t len)
{
    size_t k = len;
    while (k > 0 && (run[k - 1] & 0xC0) == 0x80 && len - k < 4) --k;
    if (k == 0) return len;
    const unsigned char lead = run[k - 1];
    size_t need = 0;
    if (lead >= 0xC2 && lead < 0xE0) need = 2;
    else if ((lead & 0xF0) == 0xE0) need = 3;
    else if ((lead & 0xF8) == 0xF0) need = 4;
    return (need && (k - 1) + need > len) ? k - 1 : len;
}

}  // namespace

int MultiByteToUTF8(unsigned int nCodePage, const char* pszSrc, int n, char* pszDst, int nCapacity,
                    unsigned int nFlags)
{
    if (!pszDst || nCapacity < 1) return 0;
    const size_t capacity = static_cast<size_t>(nCapacity);
    const size_t len = SourceLength(pszSrc, n);
    if (len && bIsUtf8(nCodePage)) return CopyUtf8(pszSrc, len, pszDst, capacity);

    const unsigned char* src = reinterpret_cast<const unsigned char*>(pszSrc);
    size_t pos = 0;
    size_t i = 0;
    while (i < len && pos < capacity) {
        if (src[i] < 0x80 && !bIsStateful(nCodePage)) {
            pszDst[pos++] = static_cast<char>(src[i++]);
            continue;
        }
        size_t j = i;
        size_t pieceEnd;
        if (bIsStateful(nCodePage)) {
            j = pieceEnd = len;
        } else {
            while (j < len && src[j] >= 0x80) j += bIsLeadByte(nCodePage, src[j]) ? 2 : 1;
            // A lead byte that ends the source has lost its second byte.
            pieceEnd = j > len ? len - 1 : j;
            if (j > len) j = len;
        }
        // A run never gives more characters than it has bytes, so the work
        // area needs no more than that even when the destination is larger.
        const size_t remaining = capacity - pos;
        WideWork work(std::min(pieceEnd - i, remaining + 1));
        if (!work.Get()) return 0;
        long chars = 0;
        if (pieceEnd > i) {
            chars = nMultiByteToWide(nCodePage, nFlags, pszSrc + i, pieceEnd - i, work.Get(), work.Chars());
            if (chars < 0) return 0;
        }
        if (chars > 0) {
            const long bytes = nWideToMultiByte(CP_UTF8, work.Get(), static_cast<size_t>(chars), nullptr, nullptr,
                                                pszDst + pos, remaining);
            if (bytes < 0) return 0;
            pos += static_cast<size_t>(bytes);
        }
        i = j;
    }
    std::memset(pszDst + pos, 0, capacity - pos);
    return static_cast<int>(pos);
}

int UTF8ToMultiByte(unsigned int nCodePage, const char* pszSrc, int n, char* pszDst, int nCapacity,
                    unsigned int /*nFlags*/, const char* pszDefault, int* pbUsedDefault)
{
    if (pbUsedDefault) *pbUsedDefault = 0;
    if (!pszDst || nCapacity < 1) return 0;
    const size_t capacity = static_cast<size_t>(nCapacity);
    const size_t len = SourceLength(pszSrc, n);
    if (len && bIsUtf8(nCodePage)) return CopyUtf8(pszSrc, len, pszDst, capacity);

    const unsigned char* src = reinterpret_cast<const unsigned char*>(pszSrc);
    bool bUsed = false;
    size_t pos = 0;
    size_t i = 0;
    while (i < len && pos < capacity) {
        if (src[i] < 0x80) {
            pszDst[pos++] = static_cast<char>(src[i++]);
            continue;
        }
        size_t j = i;
        while (j < len && src[j] >= 0x80) ++j;
        const size_t pieceLen = Utf8RunWithoutCut(src + i, j - i);
        WideWork work(pieceLen + 1);
        if (!work.Get()) return 0;
        const long chars = pieceLen ? nMultiByteToWide(CP_UTF8, 0, pszSrc + i, pieceLen, work.Get(), work.Chars()) : 0;
        if (chars < 0) return 0;
        if (chars > 0) {
            const long bytes = nWideToMultiByte(nCodePage, work.Get(), static_cast<size_t>(chars), pszDefault, &bUsed,
                                                pszDst + pos, capacity - pos);
            if (bytes < 0) return 0;
            pos += static_cast<size_t>(bytes);
        }
        i = j;
    }
    if (pbUsedDefault && bUsed) *pbUsedDefault = 1;
    std::memset(pszDst + pos, 0, capacity - pos);
    return static_cast<int>(pos);
}

int MultiByteToUTF8_CurrentCharset(const char* pszSrc, int n, char* pszDst, int nCapacity, unsigned int nFlags)
{
    return MultiByteToUTF8(static_cast<unsigned>(nHostCurrentCodePage()), pszSrc, n, pszDst, nCapacity, nFlags);
}

int UTF8ToMultiByte_CurrentCharset(const char* pszSrc, int n, char* pszDst, int nCapacity, unsigned int nFlags)
{
    return UTF8ToMultiByte(static_cast<unsigned>(nHostCurrentCodePage()), pszSrc, n, pszDst, nCapacity, nFlags,
                           nullptr, nullptr);
}

int MultiByteToUTF16(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, int n,
                     unsigned short* pDst, int nCapacity)
{
    const int chars = MultiByteToWideChar(nCodePage, nFlags, pszSrc, n, nullptr, 0);
    if (chars <= 0) return 0;
    if (!pDst || nCapacity <= 0) return chars;
    WideWork work(static_cast<size_t>(chars));
    if (!work.Get()) return 0;
    if (MultiByteToWideChar(nCodePage, nFlags, pszSrc, n, work.Get(), chars) != chars) return 0;
    return WideCharToUTF16(work.Get(), chars, pDst, nCapacity);
}

int MultiByteToUTF16_CurrentCharset(unsigned int nFlags, const char* pszSrc, int n, unsigned short* pDst,
                                    int nCapacity)
{
    return MultiByteToUTF16(static_cast<unsigned>(nHostCurrentCodePage()), nFlags, pszSrc, n, pDst, nCapacity);
}

int UTF16ToMultiByte(unsigned int nCodePage, unsigned int nFlags, const unsigned short* pSrc, int n, char* pszDst,
                     int nCapacity, const char* pszDefault, int* pbUsedDefault)
{
    if (pbUsedDefault) *pbUsedDefault = 0;
    const int chars = UTF16ToWideChar(pSrc, n, nullptr, 0);
    if (chars <= 0) return 0;
    WideWork work(static_cast<size_t>(chars));
    if (!work.Get()) return 0;
    UTF16ToWideChar(pSrc, chars, work.Get(), chars);
    return WideCharToMultiByte(nCodePage, nFlags, work.Get(), chars, pszDst, nCapacity, pszDefault, pbUsedDefault);
}
