// The benchmark's typed rule for wide texts: the UTF-8 length and first
// UTF-8 byte of the text, computed from its code points, agree with the
// rule applied to the text's UTF-8 bytes, at every bound of the encoding
// and past the lengths the counting loop takes several characters at a time.
#include <gtest/gtest.h>

#include <string>

#include "bench/driver/bench_checksum.h"
#include "common/system/code_page_conversion.h"

namespace {

// The UTF-8 bytes of a text of code points up to U+10FFFF, by the
// library's own converter.
std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = static_cast<int>(text.size());
    std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), n, nullptr, 0, nullptr, nullptr)),
                    '\0');
    EXPECT_EQ(static_cast<int>(out.size()),
              WideCharToMultiByte(CP_UTF8, 0, text.data(), n, out.data(), static_cast<int>(out.size()), nullptr,
                                  nullptr));
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
