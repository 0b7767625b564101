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
#include <cstring>
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
        // "%n" would write through its argument, whatever the count.
        {L"%s%n|%d|%1$s", 3, L"%s||%1$s"},
        {L"%hhn", 1, L""},
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

// The printf format of a "%n!fmt!" insert is read by the scan of the cut: it
// is taken only when one conversion reads the insert's value and its '*'
// values, and nothing else reads or writes an argument.
TEST(FormatArguments, AnInsertsFormatReadsOnlyItsInsertsArguments)
{
    const struct
    {
        const wchar_t* format;
        int stars;
        wchar_t expected;
    } cases[] = {
        // Taken: the conversion tells how the value is handed over.
        {L"%s", 0, L's'},
        {L"%-10s", 0, L's'},
        {L"%*s", 1, L's'},
        {L"%*.*s", 2, L's'},
        {L"%hs", 0, L's'},
        {L"%S", 0, L'S'},
        {L"%d", 0, L'd'},
        {L"%lld", 0, L'd'},
        {L"%I64u", 0, L'u'},
        {L"%04X", 0, L'X'},
        {L"%c", 0, L'c'},
        {L"%p", 0, L'p'},
        {L"%.1f", 0, L'f'},
        {L"%lf", 0, L'f'},
        {L"%F", 0, L'F'},
        {L"%x%%", 0, L'x'},    // literal text after it reads nothing
        {L"%d km", 0, L'd'},
        // Refused: a second conversion would read past the insert's value.
        {L"%s%s", 0, 0},
        {L"%s%d", 0, 0},
        {L"%s%s%s%s", 0, 0},
        {L"%d%*d", 1, 0},
        {L"%*d%*d", 2, 0},
        {L"%d*", 1, 0},         // a '*' the conversion does not take
        {L"%.*s", 0, 0},        // a '*' the insert does not give
        // No conversion reads the value.
        {L"%%s", 0, 0},
        {L"%-%s", 0, 0},
        {L"%*%s", 1, 0},
        {L"%m", 0, 0},
        {L"%k", 0, 0},
        {L"", 0, 0},
        // "%n" writes through its argument, wherever it stands.
        {L"%n", 0, 0},
        {L"%hn", 0, 0},
        {L"%lln", 0, 0},
        {L"%n ", 0, 0},
        {L"%d%n", 0, 0},
        {L"%s%n", 0, 0},
        // Positions read the arguments out of turn.
        {L"%1$s", 0, 0},
        {L"%2$s", 0, 0},
        {L"%1$n", 0, 0},
        {L"%*1$s", 1, 0},
        {L"%*2$d", 1, 0},
        // A long double is read from memory the insert does not give; "I64"
        // and "wl" become "ll" for the C library.
        {L"%Lf", 0, 0},
        {L"%llf", 0, 0},
        {L"%qe", 0, 0},
        {L"%I64g", 0, 0},
        {L"%wlf", 0, 0},
        // A conversion the end of the format cuts: the C library refuses
        // the whole format.
        {L"%s%", 0, 0},
        {L"%s%-", 0, 0},
        {L"%s%'", 0, 0},
        {L"%d%l", 0, 0},
        {L"%*s%5.", 1, 0},
        {L"%s%I64", 0, 0},
        // Flags, width, precision and size out of their order, or a '$'
        // without its position: the C library ends that conversion sooner
        // than the scan, and the '%' the scan took as its end starts one
        // that reads or writes ("%$" then "%n").
        {L"%s%1-%c", 0, 0},
        {L"%d%$%n", 0, 0},
        {L"%s%.2-%s", 0, 0},
        {L"%s%l5%p", 0, 0},
        {L"%1-s", 0, 0},
        {L"%.5-d", 0, 0},
        {L"%hls", 0, 0},
        // A width or precision beyond five digits: the C library refuses
        // one beyond an int, and pads to a smaller one in full.
        {L"%100000s", 0, 0},
        {L"%.12345678901s", 0, 0},
        {L"%-99999s", 0, L's'},
        {L"%-+ #0'7.3lld", 0, L'd'},
        {L"%Zu", 0, L'u'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, __cInsertConversion(c.format, c.stars)) << c.format << " with " << c.stars << " '*'";
    EXPECT_EQ(0, __cInsertConversion(nullptr, 0));
}

// Inserts whose format would make the C library read past the arguments it
// is handed, or write through one, are written as nothing, as a missing
// insert is; the rest of the message stays. Before, "%1!s%s!" read a
// second text from beyond the insert's value, "%1!d%n!" wrote through it,
// "%1!s%!", whose format the C library refuses, failed the whole message
// for want of memory, and "%1!d%$%n!" wrote through an argument (the C
// library reads "%$" then "%n" where the scan read "%$%" then "n"). The
// arguments come from a list with sentinels after them, from a heap array
// of exactly their number, and through the counted string form.
TEST(FormatArguments, HostileInsertFormatsAreWrittenAsNothing)
{
    for (const wchar_t* spec : {
             L"s%s", L"s%s%s%s", L"S%S", L"d%s", L"p%s", L"s%d", L"d%n", L"n", L"hn", L"n ", L"s%n", L"n%s",
             L"%s", L"%n", L"-%s", L"*%s", L"d*", L"*d%*d", L"d%*d", L"1$s", L"2$s", L"3$s", L"*2$s", L"1$n",
             L"Lf", L"llf", L"qf", L"I64f", L"wlf", L"m", L"s%m%s", L"s%", L"s%-", L"s%'", L"d%0", L"*s%.",
             L"s%1-%c", L"d%$%n", L"s%$%s", L"100000s",
         }) {
        const std::wstring format = std::wstring(L"[%1!") + spec + L"!] %1";
        EXPECT_EQ(L"[] a", IntoBuffer(FormatMessageWin, format.c_str(), 3, L"a", int64_t{4}, int64_t{5}, kLeak, kLeak))
            << spec;
        EXPECT_EQ(L"[] a", InsertsArray(format.c_str(), {Text(L"a"), 4, 5})) << spec;
        CTString s;
        s.FormatMessageWin(format.c_str(), reinterpret_cast<intptr_t>(L"a"), int64_t{4}, int64_t{5});
        EXPECT_EQ(std::wstring(L"[] a"), s.pszGet()) << spec;
    }
    // A refused insert takes its arguments as a sound one in its place
    // would: from a list, a '*' of a later insert takes the one after them.
    EXPECT_EQ(L"[ a] [  a]", IntoBuffer(FormatMessageWin, L"[%1!*s!] [%1!*s!]", 3, L"a", int64_t{2}, int64_t{3}, kLeak));
    EXPECT_EQ(L"[] [  a]", IntoBuffer(FormatMessageWin, L"[%1!*s%s!] [%1!*s!]", 3, L"a", int64_t{2}, int64_t{3}, kLeak));
    // With inserts ignored nothing is formatted: the text stays.
    wchar_t buffer[64];
    EXPECT_EQ(10u, FormatMessageWin(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, L"%1!d%n! %%", 0, 0,
                                    buffer, 64, nullptr));
    EXPECT_EQ(std::wstring(L"%1!d%n! %%"), buffer);
}

TEST(FormatArguments, SoundInsertFormatsAreFormatted)
{
    double value = 2.5;
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    EXPECT_EQ(L"[a  |   a|2.500000|2.5|2.50|00FF|ff%|12 km]",
              InsertsArray(L"[%1!-3s!|%1!*s!|%3!F!|%3!g!|%3!.2lf!|%4!04X!|%4!x%%!|%5!d km!]",
                           {Text(L"a"), 4, bits, 255, 12}));
    EXPECT_EQ(L"[n|a]", IntoBuffer(FormatMessageWin, L"[%1!hs!|%2!c!]", 2, "n", int64_t{'a'}, kLeak));
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
