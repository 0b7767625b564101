// Code pages of the stand-in machine: 1252 and UTF-8.
#include "tests/host/module/vm_value.h"

namespace standin_vm {
namespace {

// Bytes 0x80 to 0x9F of code page 1252; the five undefined ones read as
// their own code point and nothing converts back to them.
constexpr wchar_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char To1252(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (k1252High[i] == c && !(c >= 0x80 && c <= 0x9F))
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += '?';
    }
}

void DecodeUtf8(std::string_view bytes, std::wstring& out)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        int follow = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        uint32_t c = follow == 0 ? b : follow == 1 ? (b & 0x1F) : follow == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = follow >= 0 && i + static_cast<size_t>(follow) < bytes.size();
        for (int k = 1; ok && k <= follow; ++k) {
            const unsigned char n = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok) {
            out += L'?';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += static_cast<size_t>(follow) + 1;
    }
}

}  // namespace

unsigned CodePage(const STOCAW* options)
{
    return options != nullptr && options->nCodePage == 65001 ? 65001u : 1252u;
}

void Decode(std::string_view bytes, unsigned codePage, std::wstring* out)
{
    out->clear();
    if (codePage == 65001) {
        DecodeUtf8(bytes, *out);
        return;
    }
    // One character a byte.
    out->resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        (*out)[i] = b >= 0x80 && b < 0xA0 ? k1252High[b - 0x80] : static_cast<wchar_t>(b);
    }
}

std::wstring Decode(std::string_view bytes, unsigned codePage)
{
    std::wstring out;
    Decode(bytes, codePage, &out);
    return out;
}

std::string Encode(const std::wstring& text, unsigned codePage)
{
    std::string out;
    for (wchar_t c : text) {
        if (codePage == 65001)
            AppendUtf8(out, static_cast<uint32_t>(c));
        else
            out += To1252(c);
    }
    return out;
}

}  // namespace standin_vm
