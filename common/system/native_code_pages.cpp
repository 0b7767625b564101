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

long Decode1252(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    size_t out = 0;
    if (!dst) {
        for (size_t i = 0; i < len; ++i) {
            if (kCp1252Decoder[src[i]] == kUndefined) {
                if (bStrict) return -1;
            } else {
                ++out;
            }
        }
        return static_cast<long>(out);
    }
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

// The decoding rules of the C library's UTF-8 reader: a lead of C2-DF, E0-EF
// or F0-F7 and its continuation bytes make a character unless the form is
// overlong or a surrogate; anything else is invalid, and an invalid piece
// spans the bytes the reader skips. The wide side then refuses code points
// above U+10FFFF. A lead of C2-FD followed only by continuation bytes up to
// the end of the input, fewer than its form needs, is a failure.
long DecodeUtf8(const unsigned char* src, size_t len, bool bStrict, wchar_t* dst, size_t capacity)
{
    size_t i = 0;
    size_t out = 0;
    while (i < len) {
        if (src[i] < 0x80) {
            // ASCII runs, eight bytes at a time where the destination has room.
            while (i + 8 <= len) {
                uint64_t word;
                std::memcpy(&word, src + i, 8);
                if (word & kHighBits) break;
                if (dst) {
                    if (capacity - out < 8) break;
                    for (int k = 0; k < 8; ++k) dst[out + k] = static_cast<wchar_t>(src[i + k]);
                }
                out += 8;
                i += 8;
            }
            while (i < len && src[i] < 0x80) {
                if (dst) {
                    if (out == capacity) return -1;
                    dst[out] = static_cast<wchar_t>(src[i]);
                }
                ++out;
                ++i;
            }
            continue;
        }

        uint32_t ch = src[i];
        size_t cnt = 0;
        size_t skip = 0;
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
            // Five- and six-byte forms are never valid, but one cut by the
            // end of the input is reported as cut, like the others.
            cnt = ch < 0xFC ? 5 : 6;
        }
        if (cnt && i + cnt > len) {
            size_t k = 1;
            while (i + k < len && (src[i + k] & 0xC0) == 0x80) ++k;
            if (i + k == len) return -1;
            skip = k;
        } else if (cnt == 0 || cnt > 4) {
            skip = 1;
            while (i + skip < len && (src[i + skip] & 0xC0) == 0x80 && skip < 5) ++skip;
        } else {
            size_t k = 1;
            for (; k < cnt; ++k) {
                const uint32_t b = src[i + k];
                if ((b & 0xC0) != 0x80) break;
                ch = (ch << 6) | (b & 0x3F);
            }
            if (k < cnt || (cnt > 2 && (ch >> (5 * cnt - 4)) == 0) || (ch >= 0xD800 && ch <= 0xDFFF)) {
                skip = k;
            } else {
                i += cnt;
                if (ch > 0x10FFFF) {
                    if (bStrict) return -1;
                    continue;
                }
                if (dst) {
                    if (out == capacity) return -1;
                    dst[out] = static_cast<wchar_t>(ch);
                }
                ++out;
                continue;
            }
        }
        if (bStrict) return -1;
        i += skip;
    }
    return static_cast<long>(out);
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

long EncodeUtf8(const wchar_t* src, size_t n, const char* def, size_t defLen, bool* pbUsedDefault,
                char* dst, size_t capacity)
{
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = static_cast<uint32_t>(src[i]);
        if (c < 0x80) {
            if (dst) {
                if (out == capacity) return -1;
                dst[out] = static_cast<char>(c);
            }
            ++out;
            continue;
        }
        unsigned char bytes[4];
        size_t k;
        if (c < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            k = 2;
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                if (!Replace(def, defLen, pbUsedDefault, dst, capacity, out)) return -1;
                continue;
            }
            bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            k = 3;
        } else if (c <= 0x10FFFF) {
            bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            k = 4;
        } else {
            if (!Replace(def, defLen, pbUsedDefault, dst, capacity, out)) return -1;
            continue;
        }
        if (dst) {
            if (capacity - out < k) return -1;
            std::memcpy(dst + out, bytes, k);
        }
        out += k;
    }
    return static_cast<long>(out);
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
