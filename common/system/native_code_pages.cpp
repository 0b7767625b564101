#include "common/system/native_code_pages.h"

#include <array>
#include <cstring>

#include "common/system/code_page_names.h"
#include "common/text/cp1252_table.h"

namespace {

constexpr uint32_t kUndefined = 0xFFFFFFFFu;

constexpr std::array<uint32_t, 256> MakeCp1252Decoder()
{
    std::array<uint32_t, 256> tab{};
    for (uint32_t b = 0; b < 256; ++b) {
        if (b >= 0x80 && b < 0xA0) {
            tab[b] = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : kUndefined;
        } else {
            tab[b] = b;
        }
    }
    return tab;
}

constexpr std::array<uint32_t, 256> kCp1252Decoder = MakeCp1252Decoder();

constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline bool bAsciiWord(const unsigned char* p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & kHighBits) == 0;
}

inline bool bUndefined1252(unsigned char b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Without a destination, or with one that holds a character per input byte:
// no room checks. A block without undefined bytes (the usual case) maps one
// to one; one with them is mapped again, dropping them.
long Decode1252Unchecked(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst)
{
    if (!dst) {
        size_t undefined = 0;
        for (size_t i = 0; i < len; ++i) undefined += bUndefined1252(src[i]);
        return (bStrict && undefined) ? -1 : static_cast<long>(len - undefined);
    }
    constexpr size_t kBlock = 4096;
    size_t out = 0;
    for (size_t start = 0; start < len; start += kBlock) {
        const size_t m = len - start < kBlock ? len - start : kBlock;
        const unsigned char* block = src + start;
        bool bUndefined = false;
        for (size_t k = 0; k < m; ++k) {
            const uint32_t w = kCp1252Decoder[block[k]];
            dst[out + k] = static_cast<wchar_t>(w);
            bUndefined |= w == kUndefined;
        }
        if (!bUndefined) {
            out += m;
            continue;
        }
        if (bStrict) return -1;
        for (size_t k = 0; k < m; ++k) {
            if (!bUndefined1252(block[k])) dst[out++] = static_cast<wchar_t>(kCp1252Decoder[block[k]]);
        }
    }
    return static_cast<long>(out);
}

long Decode1252Checked(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    size_t out = 0;
    for (size_t i = 0; i < len; ++i) {
        const uint32_t w = kCp1252Decoder[src[i]];
        if (w == kUndefined) {
            if (bStrict) return -1;
            continue;
        }
        if (out == capacity) return -1;
        dst[out++] = static_cast<wchar_t>(w);
    }
    return static_cast<long>(out);
}

long Decode1252(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    if (!dst || capacity >= len) return Decode1252Unchecked(src, len, bStrict, dst);
    return Decode1252Checked(src, len, bStrict, dst, capacity);
}

// What the UTF-8 reader does at one position of the input.
enum class Step { kEmit, kDrop, kFail };

// The decoding rules of the C library's UTF-8 reader: a lead of C2-DF, E0-EF
// or F0-F7 and its continuation bytes make a character unless the form is
// overlong or a surrogate; anything else is invalid, and an invalid piece
// spans the bytes the reader skips. The wide side then refuses code points
// above U+10FFFF. A lead of C2-FD followed only by continuation bytes up to
// the end of the input, fewer than its form needs, is a failure.
Step ReadUtf8(const unsigned char* src, size_t i, size_t len, uint32_t* pch, size_t* pAdvance)
{
    uint32_t ch = src[i];
    size_t cnt = 0;
    if (ch >= 0xC2 && ch < 0xE0) {
        cnt = 2;
        ch &= 0x1F;
    } else if ((ch & 0xF0) == 0xE0) {
        cnt = 3;
        ch &= 0x0F;
    } else if ((ch & 0xF8) == 0xF0) {
        cnt = 4;
        ch &= 0x07;
    } else if (ch >= 0xF8 && ch <= 0xFD) {
        // Five- and six-byte forms are never valid, but one cut by the end of
        // the input is reported as cut, like the others.
        cnt = ch < 0xFC ? 5 : 6;
    }
    if (cnt && i + cnt > len) {
        size_t k = 1;
        while (i + k < len && (src[i + k] & 0xC0) == 0x80) ++k;
        if (i + k == len) return Step::kFail;
        *pAdvance = k;
        return Step::kDrop;
    }
    if (cnt == 0 || cnt > 4) {
        size_t skip = 1;
        while (i + skip < len && (src[i + skip] & 0xC0) == 0x80 && skip < 5) ++skip;
        *pAdvance = skip;
        return Step::kDrop;
    }
    size_t k = 1;
    for (; k < cnt; ++k) {
        const uint32_t b = src[i + k];
        if ((b & 0xC0) != 0x80) break;
        ch = (ch << 6) | (b & 0x3F);
    }
    if (k < cnt || (cnt > 2 && (ch >> (5 * cnt - 4)) == 0) || (ch >= 0xD800 && ch <= 0xDFFF)) {
        *pAdvance = k;
        return Step::kDrop;
    }
    *pAdvance = cnt;
    if (ch > 0x10FFFF) return Step::kDrop;
    *pch = ch;
    return Step::kEmit;
}

inline bool bCont(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

template <bool kStore, bool kCheck>
long DecodeUtf8Impl(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    size_t i = 0;
    size_t out = 0;
    while (i < len) {
        const uint32_t b0 = src[i];
        uint32_t ch;
        size_t advance;
        if (b0 < 0x80) {
            // ASCII runs, eight bytes at a time where the destination has room.
            while (i + 8 <= len && bAsciiWord(src + i) && (!kCheck || capacity - out >= 8)) {
                if (kStore) {
                    for (int k = 0; k < 8; ++k) dst[out + k] = static_cast<wchar_t>(src[i + k]);
                }
                out += 8;
                i += 8;
            }
            if (i == len || src[i] >= 0x80) continue;
            ch = src[i];
            advance = 1;
        } else if (b0 >= 0xC2 && b0 < 0xE0 && i + 1 < len && bCont(src[i + 1])) {
            ch = ((b0 & 0x1F) << 6) | (src[i + 1] & 0x3F);
            advance = 2;
        } else if ((b0 & 0xF0) == 0xE0 && i + 2 < len && bCont(src[i + 1]) && bCont(src[i + 2]) &&
                   (ch = ((b0 & 0x0F) << 12) | ((src[i + 1] & 0x3Fu) << 6) | (src[i + 2] & 0x3F)) >= 0x800 &&
                   (ch < 0xD800 || ch > 0xDFFF)) {
            advance = 3;
        } else if (b0 >= 0xF0 && b0 < 0xF5 && i + 3 < len && bCont(src[i + 1]) && bCont(src[i + 2]) &&
                   bCont(src[i + 3]) &&
                   (ch = ((b0 & 0x07) << 18) | ((src[i + 1] & 0x3Fu) << 12) | ((src[i + 2] & 0x3Fu) << 6) |
                         (src[i + 3] & 0x3F)) >= 0x10000 &&
                   ch <= 0x10FFFF) {
            advance = 4;
        } else {
            const Step step = ReadUtf8(src, i, len, &ch, &advance);
            if (step == Step::kFail) return -1;
            if (step == Step::kDrop) {
                if (bStrict) return -1;
                i += advance;
                continue;
            }
        }
        if (kCheck && out == capacity) return -1;
        if (kStore) dst[out] = static_cast<wchar_t>(ch);
        ++out;
        i += advance;
    }
    return static_cast<long>(out);
}

long DecodeUtf8(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    if (!dst) return DecodeUtf8Impl<false, false>(src, len, bStrict, dst, capacity);
    if (capacity >= len) return DecodeUtf8Impl<true, false>(src, len, bStrict, dst, capacity);
    return DecodeUtf8Impl<true, true>(src, len, bStrict, dst, capacity);
}

inline bool Replace(const char* def, size_t defLen, bool* pbUsedDefault, char* dst, size_t capacity, size_t& out)
{
    *pbUsedDefault = true;
    if (dst) {
        if (capacity - out < defLen) return false;
        std::memcpy(dst + out, def, defLen);
    }
    out += defLen;
    return true;
}

long Encode1252(const wchar_t* src, size_t n, const char* def, size_t defLen, bool* pbUsedDefault,
                char* dst, size_t capacity)
{
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = static_cast<uint32_t>(src[i]);
        const int b = nCp1252ByteOf(c);
        // The C library's 8-bit encoders drop the tag characters U+E0000 to
        // U+E007F silently instead of replacing them.
        if (b < 0 && (c >> 7) == (0xE0000u >> 7)) continue;
        if (b < 0) {
            if (!Replace(def, defLen, pbUsedDefault, dst, capacity, out)) return -1;
            continue;
        }
        if (dst) {
            if (out == capacity) return -1;
            dst[out] = static_cast<char>(b);
        }
        ++out;
    }
    return static_cast<long>(out);
}

template <bool kStore, bool kCheck>
long EncodeUtf8Impl(const wchar_t* src, size_t n, const char* def, size_t defLen, bool* pbUsedDefault,
                    char* dst, size_t capacity)
{
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = static_cast<uint32_t>(src[i]);
        if (c < 0x80) {
            if (kCheck && out == capacity) return -1;
            if (kStore) dst[out] = static_cast<char>(c);
            ++out;
        } else if (c < 0x800) {
            if (kCheck && capacity - out < 2) return -1;
            if (kStore) {
                dst[out] = static_cast<char>(0xC0 | (c >> 6));
                dst[out + 1] = static_cast<char>(0x80 | (c & 0x3F));
            }
            out += 2;
        } else if (c < 0x10000 && (c < 0xD800 || c > 0xDFFF)) {
            if (kCheck && capacity - out < 3) return -1;
            if (kStore) {
                dst[out] = static_cast<char>(0xE0 | (c >> 12));
                dst[out + 1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                dst[out + 2] = static_cast<char>(0x80 | (c & 0x3F));
            }
            out += 3;
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            if (kCheck && capacity - out < 4) return -1;
            if (kStore) {
                dst[out] = static_cast<char>(0xF0 | (c >> 18));
                dst[out + 1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                dst[out + 2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                dst[out + 3] = static_cast<char>(0x80 | (c & 0x3F));
            }
            out += 4;
        } else if (!Replace(def, defLen, pbUsedDefault, kStore ? dst : nullptr, capacity, out)) {
            return -1;
        }
    }
    return static_cast<long>(out);
}

long EncodeUtf8(const wchar_t* src, size_t n, const char* def, size_t defLen, bool* pbUsedDefault,
                char* dst, size_t capacity)
{
    if (!dst) return EncodeUtf8Impl<false, false>(src, n, def, defLen, pbUsedDefault, dst, capacity);
    // Without checks when even the largest form of every character fits.
    const size_t largest = defLen > 4 ? defLen : 4;
    if (n <= capacity / largest) return EncodeUtf8Impl<true, false>(src, n, def, defLen, pbUsedDefault, dst, capacity);
    return EncodeUtf8Impl<true, true>(src, n, def, defLen, pbUsedDefault, dst, capacity);
}

}  // namespace

NativeCodePage NativeCodePageOf(int nCodePage)
{
    const char* name = CodePageToIConv(nCodePage);
    if (std::strcmp(name, "CP1252") == 0) return NativeCodePage::kCp1252;
    if (std::strcmp(name, "UTF-8") == 0) return NativeCodePage::kUtf8;
    return NativeCodePage::kNone;
}

long NativeDecode(NativeCodePage cp, const unsigned char* src, size_t len, bool bStrict,
                  wchar_t* dst, size_t capacity)
{
    switch (cp) {
    case NativeCodePage::kCp1252: return Decode1252(src, len, bStrict, dst, capacity);
    case NativeCodePage::kUtf8: return DecodeUtf8(src, len, bStrict, dst, capacity);
    default: return -1;
    }
}

long NativeEncode(NativeCodePage cp, const wchar_t* src, size_t n, const char* def, size_t defLen,
                  bool* pbUsedDefault, char* dst, size_t capacity)
{
    switch (cp) {
    case NativeCodePage::kCp1252: return Encode1252(src, n, def, defLen, pbUsedDefault, dst, capacity);
    case NativeCodePage::kUtf8: return EncodeUtf8(src, n, def, defLen, pbUsedDefault, dst, capacity);
    default: return -1;
    }
}
