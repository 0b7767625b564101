// Messages raised with fewer arguments than their text takes: the formatter
// writes the missing inserts as nothing and never reads past the arguments
// the caller gave. The lists below hold sentinels after the given arguments
// ("LEAK", 4242): a formatter that read past the count would print them.
// The argument arrays are heap blocks of exactly the given size, so that
// AddressSanitizer reports a read past them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <regex>
#include <string>

#include "common/system/ct_string_format_message.h"
#include "common/system/dllres.h"
#include "common/system/format_message.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/text/ct_string.h"
#include "tests/common/system/resource_test_support.h"

namespace {

constexpr wchar_t kLeak[] = L"LEAK";
constexpr unsigned kAllocFromString = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING;

std::wstring CutW(const wchar_t* format, int nArgs)
{
    wchar_t* cut = nullptr;
    const int r = __nCutFormatToArguments(format, nArgs, &cut);
    EXPECT_EQ(r == 1, cut != nullptr);
    std::wstring text = r == 1 ? cut : format;
    std::free(cut);
    return text;
}

std::wstring FormatW(const wchar_t* format, int nArgs, ...)
{
    va_list args;
    va_start(args, nArgs);
    wchar_t* text = nullptr;
    const unsigned n = FormatMessageW(kAllocFromString, format, 0, 0, reinterpret_cast<wchar_t*>(&text), 0, &args, nArgs);
    va_end(args);
    std::wstring result = text != nullptr ? text : L"<failed>";
    EXPECT_EQ(result.size(), n) << "failed: " << n;
    std::free(text);
    return result;
}

// Any form with a count, wide or 8-bit, into a buffer.
template <class T>
std::basic_string<T> IntoBuffer(unsigned (*pfnFormat)(unsigned, const void*, unsigned, unsigned, T*, unsigned,
                                                      va_list*, int),
                                const T* format, int nArgs, ...)
{
    va_list args;
    va_start(args, nArgs);
    T buffer[64];
    const unsigned n = pfnFormat(FORMAT_MESSAGE_FROM_STRING, format, 0, 0, buffer, 64, &args, nArgs);
    va_end(args);
    return std::basic_string<T>(buffer, n);
}

// The values in a heap block of exactly their number.
std::wstring InsertsArray(const wchar_t* format, std::initializer_list<uint64_t> values)
{
    std::unique_ptr<uint64_t[]> array(new uint64_t[values.size()]);
    std::copy(values.begin(), values.end(), array.get());
    wchar_t buffer[64];
    const unsigned n = FormatMessageWin(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, format, 0, 0, buffer,
                                        64, reinterpret_cast<va_list*>(array.get()), static_cast<int>(values.size()));
    return std::wstring(buffer, n);
}

uint64_t Text(const wchar_t* psz)
{
    return reinterpret_cast<uintptr_t>(psz);
}

TEST(FormatArguments, TheFormatIsCutToTheArgumentsGiven)
{
    const struct
    {
        const wchar_t* format;
        int nArgs;
        const wchar_t* expected;
    } cases[] = {
        {L"Impossible d'ouvrir <%s>.", 0, L"Impossible d'ouvrir <>."},
        {L"<%s> et <%s>", 1, L"<%s> et <>"},
        {L"colonne %d sur %d", 1, L"colonne %d sur "},
        {L"%s-%d", 2, L"%s-%d"},
        {L"%s", 3, L"%s"},
        {L"%s", kFormatArgsUnknown, L"%s"},
        {L"100%% <%s>", 0, L"100%% <>"},
        {L"%-10s|%05.2f|%lld|%I64u|%hs", 2, L"%-10s|%05.2f|||"},
        // A '*' reads an argument too; once one conversion does not fit, the
        // ones after it would take the wrong arguments.
        {L"%.*s|%s", 2, L"%.*s|"},
        {L"%*d|%s", 1, L"|"},
        {L"%2$s %1$s %3$d", 2, L"%2$s %1$s "},
        {L"%1$*3$d|%2$s", 2, L"|%2$s"},
        {L"fin %", 0, L"fin %"},
        // The C library formats "%b" and "%B" as binary integers.
        {L"%b|%B", 1, L"%b|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.expected), CutW(c.format, c.nArgs)) << c.format << " with " << c.nArgs;

    char* cut = nullptr;
    EXPECT_EQ(1, __nCutFormatToArguments("%m <%s> %d", 1, &cut));
    EXPECT_STREQ("%m <%s> ", cut);
    std::free(cut);
}

TEST(FormatArguments, MissingInsertsAreEmptyAndNeverRead)
{
    EXPECT_EQ(L"Impossible d'ouvrir <>.", FormatW(L"Impossible d'ouvrir <%s>.", 0, kLeak));
    EXPECT_EQ(L"<a> et <>", FormatW(L"<%s> et <%s>", 1, L"a", kLeak));
    EXPECT_EQ(L"colonne 3 sur ", FormatW(L"colonne %d sur %d", 1, 3, 4242));
    EXPECT_EQ(L"<a> 7", FormatW(L"<%s> %d", 2, L"a", 7, kLeak)) << "enough arguments: unchanged";
    EXPECT_EQ(L"<>", IntoBuffer(FormatMessageW, L"<%s>", 0, kLeak));
    EXPECT_EQ(L"x=", IntoBuffer(FormatMessageW, L"%s=%d", 1, L"x", 4242));
    EXPECT_EQ("<> ", IntoBuffer(FormatMessageA, "<%s> %d", 0, "LEAK", 4242));
    EXPECT_EQ(L"101-", IntoBuffer(FormatMessageW, L"%b-%B", 1, 5, 4242));
    EXPECT_EQ("101-", IntoBuffer(FormatMessageA, "%b-%B", 1, 5, 4242));

    // Inserts: from a list with sentinels, and from an array read no further
    // than its end.
    EXPECT_EQ(L"a  ab", IntoBuffer(FormatMessageWin, L"%1 %3 %1!s!%2", 2, L"a", L"b", kLeak));
    EXPECT_EQ(L"[]", IntoBuffer(FormatMessageWin, L"[%1!*s!]", 1, L"a", int64_t{4})) << "the width is an argument too";
    EXPECT_EQ(L"a  ", InsertsArray(L"%1 %2!d! %3", {Text(L"a")}));
    EXPECT_EQ(L"[]", InsertsArray(L"[%1!*s!]", {Text(L"a")}));
    EXPECT_EQ(L"[   a]", InsertsArray(L"[%1!*s!]", {Text(L"a"), 4})) << "enough arguments: unchanged";
    EXPECT_EQ(L"", InsertsArray(L"%1", {}));
}

// Every text of the driver's block raised with none of its arguments reads
// as the text with its conversions empty ("%%" still a '%').
TEST(FormatArguments, EveryResourceTextWithoutItsArguments)
{
    const std::wregex conversion(L"%[-0-9.]*(s|S|hs|d|u|x|X|lld|llu|p|f)");
    size_t nWithArguments = 0;
    for (size_t i = 0; i < gnNbResourceCatalog32; ++i) {
        const _stResourceCatalog32& entry = gstResourceCatalog32[i];
        if (entry.pszArgs[0] == 0)
            continue;
        ++nWithArguments;
        std::wstring text = vxtest::Wide(entry.pszText);
        // "%%" set aside first, so that "%%s" is not read as a conversion.
        for (size_t at = text.find(L"%%"); at != std::wstring::npos; at = text.find(L"%%", at + 1))
            text.replace(at, 2, L"\x1");
        std::wstring expected = std::regex_replace(text, conversion, L"");
        std::replace(expected.begin(), expected.end(), L'\x1', L'%');
        CTString out;
        ASSERT_TRUE(DLLRES_bLoadString(&gstMyModuleInfo32, entry.dwId, &out)) << entry.dwId;
        const std::wstring format = out.pszGet();
        const auto Raise = [&](int nArgs, ...) {
            va_list args;
            va_start(args, nArgs);
            CTString result;
            DLLRES_dwFormatMessage(format.c_str(), &result, &args, nArgs);
            va_end(args);
            return std::wstring(result.pszGet());
        };
        EXPECT_EQ(expected, Raise(0, kLeak, kLeak, kLeak, kLeak, kLeak, kLeak)) << entry.dwId;
    }
    EXPECT_GT(nWithArguments, 20u);
}

// The raise functions of the error object count what their callers pass.
TEST(FormatArguments, ErrorObjectCountsItsArguments)
{
    CXError error(&gstMyModuleInfo32);
    error.SetUserError(&gstMyModuleInfo32, 15);
    EXPECT_STREQ(L"Impossible d'ouvrir <>.", error.pszGetUserMessage());
    error.SetUserError(&gstMyModuleInfo32, 50, 3);
    EXPECT_STREQ(L"La colonne 3 n'existe pas : le r\u00E9sultat compte  colonnes.", error.pszGetUserMessage());
    error.SetUserError(&gstMyModuleInfo32, 53, 1, 2);
    EXPECT_STREQ(L"Impossible de convertir une valeur de type 1 en rubrique de type 2 : <>.", error.pszGetUserMessage());
    error.SetUserError(&gstMyModuleInfo32, 20, L"D", L"R");
    EXPECT_STREQ(L"La description <D> ne contient pas la rubrique <R>.", error.pszGetUserMessage());

    CXError constructed(&gstMyModuleInfo32, L"debug", 20u, L"D");
    EXPECT_STREQ(L"La description <D> ne contient pas la rubrique <>.", constructed.pszGetUserMessage());
    constructed.AddUserMessage(&gstMyModuleInfo32, 28541);
    constructed.AddDebugMessage(&gstMyModuleInfo32, 28541);
    EXPECT_STREQ(L"La description <D> ne contient pas la rubrique <>.\r\nImpossible d'ouvrir <>.",
                 constructed.pszGetUserMessage());
    EXPECT_STREQ(L"debug\r\nImpossible d'ouvrir <>.", constructed.pszGetDebugMessage());
    constructed.SetSystemErrorMessage(&gstMyModuleInfo32, 28541);
    EXPECT_STREQ(L"Impossible d'ouvrir <>.", constructed.pszGetSystemErrorMessage());

    // A list and its count, with more in the list than the count says.
    const auto Change = [&](int nArgs, ...) {
        va_list args;
        va_start(args, nArgs);
        error.SetUserErrorList(&gstMyModuleInfo32, 20, &args, nArgs);
        va_end(args);
    };
    Change(1, L"D", kLeak);
    EXPECT_STREQ(L"La description <D> ne contient pas la rubrique <>.", error.pszGetUserMessage());

    EXPECT_STREQ(L"<a> <>", CTStringFormatMessage(L"<%s> <%s>", L"a").pszGet());
}

}  // namespace
