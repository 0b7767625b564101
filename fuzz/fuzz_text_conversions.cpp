// Arbitrary bytes and capacities through the UTF-8 decoders and the
// code-page converters: nothing may read or write outside its buffers, every
// measuring pass must agree with its converting pass, and the native 1252 and
// UTF-8 converters must agree with iconv.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/system/code_page_engine.h"
#include "common/text/code_page_text.h"
#include "common/text/utf8_code_page.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

const unsigned kCodePages[] = {1252, 65001, 932, 1251, 50220, 936, 1};

void Utf8Scanning(const std::vector<char>& text, int capacity)
{
    const char* end = text.data() + std::strlen(text.data());
    size_t steps = 0;
    for (const char* p = text.data(); *p; p = UTF8next(p)) {
        Check(p < end);
        ++steps;
    }
    Check(steps == UTF8ToWideLen(text.data()));
    size_t leads = 0;
    for (const char* p = text.data(); p < end; ++p) leads += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    Check(leads == StrLenUTF8(text.data()));
    (void)UTF8Valide(text.data(), -1);
    (void)UTF8Valide(text.data(), capacity);

    const char* p = text.data();
    while (*p) {
        UTF8_GetNext(&p);
        Check(p <= end);
    }
    p = text.data();
    int remaining = static_cast<int>(end - text.data());
    while (remaining > 0) {
        const char* before = p;
        UTF8_GetNext(&p, &remaining);
        Check(p <= end && (p > before || remaining == 0));
    }
    int length = static_cast<int>(end - text.data());
    (void)UTF8FirstChar(text.data(), &length);
    Check(length >= 0 && length <= 4);

    std::vector<wchar_t> wide(static_cast<size_t>(capacity) + 1);
    Check(nUTF8ToWide(wide.data(), capacity, text.data(), -1) <= capacity);
    Check(UTF8ToWide(wide.data(), capacity, text.data()) <= capacity);
    std::vector<unsigned short> units(static_cast<size_t>(capacity) + 1);
    const int need = UTF8ToUTF16Len(text.data(), -1);
    const int got = UTF8ToUTF16(units.data(), capacity, text.data(), -1);
    Check(got <= capacity && got <= need);
    if (capacity >= need + 2) Check(got == need);
}

void DecodeAgainstIconv(unsigned cp, unsigned flags, const uint8_t* data, size_t size, size_t capacity)
{
    const char* src = reinterpret_cast<const char*>(data);
    const long measured = nMultiByteToWide(cp, flags, src, size, nullptr, 0);
    Check(measured == nMultiByteToWideCharIconv(cp, flags, src, size, nullptr, 0));
    std::vector<wchar_t> a(capacity ? capacity : 1), b(capacity ? capacity : 1);
    const long na = nMultiByteToWide(cp, flags, src, size, capacity ? a.data() : nullptr, capacity);
    const long nb = nMultiByteToWideCharIconv(cp, flags, src, size, capacity ? b.data() : nullptr, capacity);
    Check(na == nb);
    if (na > 0 && capacity) Check(std::wmemcmp(a.data(), b.data(), static_cast<size_t>(na)) == 0);
    if (capacity && static_cast<long>(capacity) >= measured) Check(na == measured);
}

void EncodeEverywhere(unsigned cp, const wchar_t* text, size_t n, size_t capacity)
{
    bool usedA = false;
    const long measured = nWideToMultiByte(cp, text, n, nullptr, &usedA, nullptr, 0);
    // An exact-size heap block: any write past the capacity is caught.
    char* out = static_cast<char*>(std::malloc(capacity ? capacity : 1));
    const long written = nWideToMultiByte(cp, text, n, "<?>", &usedA, capacity ? out : nullptr, capacity);
    if (capacity && measured >= 0) {
        const long withDefault = nWideToMultiByte(cp, text, n, "<?>", &usedA, nullptr, 0);
        if (static_cast<long>(capacity) >= withDefault) Check(written == withDefault);
        else Check(written == -1);
    }
    if (cp == 1252 || cp == 65001) {
        bool usedB = false;
        const long viaIconv = nWideCharToMultiByteIconv(cp, text, n, nullptr, &usedB, nullptr, 0);
        Check(measured == viaIconv);
        if (capacity) {
            char* other = static_cast<char*>(std::malloc(capacity));
            const long nb = nWideCharToMultiByteIconv(cp, text, n, "<?>", &usedB, other, capacity);
            Check(nb == written);
            if (nb > 0) Check(std::memcmp(out, other, static_cast<size_t>(nb)) == 0);
            std::free(other);
        }
    }
    std::free(out);
}

void PiecewiseConverters(unsigned cp, const std::vector<char>& text, int capacity)
{
    char* out = static_cast<char*>(std::malloc(capacity ? static_cast<size_t>(capacity) : 1));
    Check(MultiByteToUTF8(cp, text.data(), -1, capacity ? out : nullptr, capacity, 0) <= capacity);
    Check(MultiByteToUTF8(cp, text.data(), static_cast<int>(text.size() - 1), out, capacity, 0) <= capacity);
    int used = 0;
    Check(UTF8ToMultiByte(cp, text.data(), -1, out, capacity, 0, "##", &used) <= capacity);
    std::free(out);

    unsigned short* units = static_cast<unsigned short*>(std::malloc((capacity ? capacity : 1) * sizeof(unsigned short)));
    const int need = MultiByteToUTF16(cp, 0, text.data(), -1, nullptr, 0);
    const int got = MultiByteToUTF16(cp, 0, text.data(), -1, units, capacity);
    Check(got <= (capacity ? capacity : need));
    std::free(units);

    wchar_t* wide = nullptr;
    int length = 0;
    if (__STR_CharToWChar(text.data(), -1, cp, &wide, &length, 0)) {
        Check(static_cast<int>(std::wcslen(wide)) <= length);
        char* back = nullptr;
        int backLength = 0;
        if (__STR_WCharToChar(wide, length, &back, &backLength, cp)) std::free(back);
        std::free(wide);
    }
    std::free(pszCSTR2XSTR(text.data(), capacity, cp));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    const unsigned op = data[0] % 5;
    const unsigned cp = kCodePages[(data[0] / 5) % (sizeof kCodePages / sizeof kCodePages[0])];
    const int capacity = (data[1] | (data[2] << 8)) % 600;
    const unsigned flags = (data[1] & 1) ? MB_ERR_INVALID_CHARS : 0;
    data += 3;
    size -= 3;
    std::vector<char> text(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    text.push_back(0);

    switch (op) {
    case 0:
        Utf8Scanning(text, capacity);
        break;
    case 1:
        DecodeAgainstIconv(65001, flags, data, size, static_cast<size_t>(capacity));
        DecodeAgainstIconv(1252, flags, data, size, static_cast<size_t>(capacity));
        break;
    case 2: {
        std::vector<wchar_t> wide(size / sizeof(wchar_t) + 1);
        std::memcpy(wide.data(), data, size / sizeof(wchar_t) * sizeof(wchar_t));
        EncodeEverywhere(cp, wide.data(), size / sizeof(wchar_t), static_cast<size_t>(capacity));
        break;
    }
    case 3:
        PiecewiseConverters(cp, text, capacity);
        break;
    default: {
        // The public entry points with their int counts.
        std::vector<wchar_t> wide(static_cast<size_t>(capacity) + 1);
        // With capacity 0 these only measure.
        const int n = MultiByteToWideChar(cp, 0, text.data(), -1, capacity ? wide.data() : nullptr, capacity);
        Check(capacity == 0 || n <= capacity);
        if (n > 0 && capacity) {
            std::vector<char> narrow(static_cast<size_t>(capacity) + 1);
            Check(WideCharToMultiByte(cp, 0, wide.data(), n, narrow.data(), capacity, nullptr, nullptr) <= capacity);
        }
        break;
    }
    }
    return 0;
}
