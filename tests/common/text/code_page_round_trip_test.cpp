#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/code_page_text.h"
#include "common/text/cp1252.h"
#include "common/text/unicode_units.h"
#include "common/text/utf8_code_page.h"

// Round trips between every pair of the text forms the driver meets, on a text
// holding characters outside each of them: what both forms hold survives,
// anything else comes back as "?" (UTF-16 is converted unit by unit: a
// character above U+FFFF keeps its low 16 bits).
namespace {

enum Form { kUtf8, kUtf16, kUtf32, kCp1252, kAnsi7, kCp932, kFormCount };
const char* const kFormNames[] = {"UTF-8", "UTF-16", "UTF-32", "1252", "ASCII-7", "932"};

const std::wstring kMaster = L"Az \u00E9\u20AC \u65E5\u672C\u30BD\u03A9 \u0E01\U0001F600?";

bool bHolds(Form f, wchar_t c)
{
    static const std::set<wchar_t> k1252 = {L'A', L'z', L' ', L'?', L'\u00E9', L'\u20AC'};
    static const std::set<wchar_t> k932 = {L'A', L'z', L' ', L'?', L'\u65E5', L'\u672C', L'\u30BD', L'\u03A9'};
    switch (f) {
    case kUtf8:
    case kUtf32: return true;
    case kUtf16: return c <= 0xFFFF;
    case kCp1252: return k1252.count(c) != 0;
    case kAnsi7: return c < 128;
    case kCp932: return k932.count(c) != 0;
    default: return false;
    }
}

std::wstring Project(Form f, const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (bHolds(f, c)) out += c;
        else if (f == kUtf16) out += static_cast<wchar_t>(c & 0xFFFF);
        else out += L'?';
    }
    return out;
}

unsigned CodePageOf(Form f)
{
    return f == kUtf8 ? CP_UTF8 : (f == kCp1252 ? 1252u : 932u);
}

bool bIsCodePage(Form f)
{
    return f == kUtf8 || f == kCp1252 || f == kCp932;
}

// Raw bytes of each form.
std::string Encode(Form f, const std::wstring& text)
{
    const int n = static_cast<int>(text.size());
    if (bIsCodePage(f)) {
        const int size = WideCharToMultiByte(CodePageOf(f), 0, text.data(), n, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(size), '\0');
        EXPECT_EQ(size, WideCharToMultiByte(CodePageOf(f), 0, text.data(), n, out.data(), size, nullptr, nullptr));
        return out;
    }
    if (f == kAnsi7) {
        std::string out;
        for (wchar_t c : text) out += STR_ToAnsi7(c, '?');
        return out;
    }
    if (f == kUtf16) {
        std::string out(text.size() * 2, '\0');
        EXPECT_EQ(n, WideCharToUTF16(text.data(), n, reinterpret_cast<unsigned short*>(out.data()), n));
        return out;
    }
    std::string out(text.size() * 4, '\0');
    EXPECT_EQ(n, WideCharToUTF32(text.data(), n, reinterpret_cast<unsigned int*>(out.data()), n));
    return out;
}

std::wstring Decode(Form f, const std::string& raw)
{
    const int n = static_cast<int>(raw.size());
    if (bIsCodePage(f)) {
        const int size = MultiByteToWideChar(CodePageOf(f), MB_ERR_INVALID_CHARS, raw.data(), n, nullptr, 0);
        std::wstring out(static_cast<size_t>(size), L'\0');
        EXPECT_EQ(size, MultiByteToWideChar(CodePageOf(f), MB_ERR_INVALID_CHARS, raw.data(), n, out.data(), size));
        return out;
    }
    if (f == kAnsi7) {
        std::wstring out;
        for (char c : raw) out += STR_FromAnsi7(static_cast<unsigned char>(c), L'?');
        return out;
    }
    if (f == kUtf16) {
        std::wstring out(raw.size() / 2, L'\0');
        UTF16ToWideChar(reinterpret_cast<const unsigned short*>(raw.data()), n / 2, out.data(), n / 2);
        return out;
    }
    std::wstring out(raw.size() / 4, L'\0');
    UTF32ToWideChar(reinterpret_cast<const unsigned int*>(raw.data()), n / 4, out.data(), n / 4);
    return out;
}

// The direct converter of the pair where the text layer has one, else
// through wide text.
std::string Convert(Form from, Form to, const std::string& raw)
{
    const int n = static_cast<int>(raw.size());
    const bool bNarrow = from == kCp1252 || from == kCp932;
    const bool bNarrowTo = to == kCp1252 || to == kCp932;
    if (bNarrow && to == kUtf8) {
        std::string out(raw.size() * 4 + 1, '\0');
        const int size = MultiByteToUTF8(CodePageOf(from), raw.data(), n, out.data(), static_cast<int>(out.size()), 0);
        out.resize(static_cast<size_t>(size));
        return out;
    }
    if (from == kUtf8 && bNarrowTo) {
        std::string out(raw.size() + 1, '\0');
        const int size = UTF8ToMultiByte(CodePageOf(to), raw.data(), n, out.data(), static_cast<int>(out.size()), 0,
                                         nullptr, nullptr);
        out.resize(static_cast<size_t>(size));
        return out;
    }
    if (bNarrow && to == kUtf16) {
        const int units = MultiByteToUTF16(CodePageOf(from), 0, raw.data(), n, nullptr, 0);
        std::string out(static_cast<size_t>(units) * 2, '\0');
        EXPECT_EQ(units, MultiByteToUTF16(CodePageOf(from), 0, raw.data(), n,
                                          reinterpret_cast<unsigned short*>(out.data()), units));
        return out;
    }
    if (from == kUtf16 && bNarrowTo) {
        std::string out(raw.size() * 2, '\0');
        const int size = UTF16ToMultiByte(CodePageOf(to), 0, reinterpret_cast<const unsigned short*>(raw.data()), n / 2,
                                          out.data(), static_cast<int>(out.size()), nullptr, nullptr);
        out.resize(static_cast<size_t>(size));
        return out;
    }
    if (bNarrow && bNarrowTo) {
        char* result = nullptr;
        int length = 0;
        EXPECT_TRUE(STR_CharToChar_AnyCodepage(raw.data(), n, CodePageOf(from), &result, &length, CodePageOf(to)));
        std::string out(result, static_cast<size_t>(length));
        std::free(result);
        return out;
    }
    return Encode(to, Decode(from, raw));
}

TEST(CodePageRoundTrips, EveryPairOfForms)
{
    for (int s = 0; s < kFormCount; ++s) {
        for (int t = 0; t < kFormCount; ++t) {
            if (s == t) continue;
            const Form from = static_cast<Form>(s);
            const Form to = static_cast<Form>(t);
            SCOPED_TRACE(std::string(kFormNames[s]) + " -> " + kFormNames[t]);
            const std::wstring inFrom = Project(from, kMaster);
            const std::string raw = Encode(from, kMaster);
            ASSERT_EQ(inFrom, Decode(from, raw));
            const std::string there = Convert(from, to, raw);
            const std::wstring inBoth = Project(to, inFrom);
            EXPECT_EQ(inBoth, Decode(to, there));
            const std::string back = Convert(to, from, there);
            EXPECT_EQ(Project(from, inBoth), Decode(from, back));
        }
    }
}

}  // namespace
