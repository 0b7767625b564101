// The benchmark's typed rule for wide texts: the UTF-8 length and first
// UTF-8 byte of the text, computed from its code points, agree with the
// rule applied to the text's UTF-8 bytes, at every bound of the encoding
// and past the lengths the counting loop takes several characters at a time.
#include <gtest/gtest.h>

#include <string>

#include "bench/driver/bench_checksum.h"

namespace {

// The UTF-8 bytes of a text of code points up to U+10FFFF.
std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (const wchar_t w : text) {
        const uint32_t c = static_cast<uint32_t>(w);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TEST(BenchChecksum, WideTextCountsAsItsUtf8Bytes)
{
    std::wstring mixed;
    for (int i = 0; i < 203; ++i)
        mixed += static_cast<wchar_t>(i % 4 == 0 ? L'a' : i % 4 == 1 ? 0xE9 : i % 4 == 2 ? 0x20AC : 0x1F600);
    const std::wstring cases[] = {
        L"",
        L"a",
        std::wstring(1, wchar_t{0x7F}),
        std::wstring(1, wchar_t{0x80}),
        std::wstring(1, wchar_t{0x7FF}),
        std::wstring(1, wchar_t{0x800}),
        std::wstring(1, wchar_t{0xFFFF}),
        std::wstring(1, wchar_t{0x10000}),
        std::wstring(1, wchar_t{0x10FFFF}),
        L"Jos\u00E9 \u00C1lvarez #1",
        L"\u0141ukasz \u017B\u00F3\u0142kiewski",
        std::wstring(37, L'x'),
        mixed,
        mixed.substr(1),
    };
    for (const std::wstring& text : cases) {
        SCOPED_TRACE(text.size());
        const std::string bytes = Utf8(text);
        EXPECT_EQ(vxbench::Utf8Text(bytes.data(), bytes.size()), vxbench::WideText(text.data(), text.size()));
    }
    // Past the code points: four bytes each, as the largest ones.
    const wchar_t beyond[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), L'a'};
    EXPECT_EQ(4u + 4u + 1u + (0xF0u | (0x110000u >> 18)), vxbench::WideText(beyond, 3));
}

}  // namespace
