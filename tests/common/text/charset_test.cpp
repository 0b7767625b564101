#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text/charset.h"
#include "tests/common/text/code_page_locale_fixture.h"

namespace {

TEST(Charset, CodePagesBothWays)
{
    const struct { int charset; unsigned cp; int back; } cases[] = {
        {0, 1252, 0},       {255, 1252, 0},     {128, 932, 128},    {129, 949, 129},   {130, 1361, 130},
        {134, 936, 134},    {136, 950, 136},    {161, 1253, 161},   {162, 1254, 162},  {163, 1258, 163},
        {177, 1255, 177},   {178, 1256, 178},   {186, 1257, 186},   {204, 1251, 204},  {222, 874, 222},
        {238, 1250, 238},   {65001, 65001, 65001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.cp, dwGetCodePageFromCharset(c.charset)) << c.charset;
        EXPECT_EQ(c.back, nGetCharsetFromCodePage(c.cp)) << c.cp;
    }
    EXPECT_EQ(0u, dwGetCodePageFromCharset(1));
    EXPECT_EQ(0u, dwGetCodePageFromCharset(-1));
    EXPECT_EQ(127, nGetCharsetFromCodePage(0));
    EXPECT_EQ(-1, nGetCharsetFromCodePage(437));
    EXPECT_EQ(-1, nGetCharsetFromCodePage(1));
}

TEST(Charset, LanguageIds)
{
    const struct { int charset; unsigned short lang; } cases[] = {
        {127, 0}, {128, 0x11}, {129, 0x12}, {130, 0x12}, {134, 0x804}, {136, 0x404}, {161, 0x08},
        {204, 0x419}, {238, 0x15}, {239, 0}, {131, 0}, {0, 0}, {255, 0}, {65001, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.lang, wGetLanguageID(c.charset)) << c.charset;

    const struct { unsigned id; int charset; } languages[] = {
        {0x0404, 136}, {0x0804, 134}, {0x0C1A, 204}, {0x041A, 238}, {0x0819, 204}, {0x0401, 178},
        {0x0419, 204}, {0x0411, 128}, {0x0412, 129}, {0x0408, 161}, {0x040D, 177}, {0x041E, 222},
        {0x041F, 162}, {0x0425, 186}, {0x0427, 186}, {0x042A, 163}, {0x042B, 65001}, {0x0437, 65001},
        {0x0843, 204}, {0x0443, 238}, {0x0405, 238}, {0x040C, 0}, {0x0409, 0}, {0x0444, 0}, {0x0003, 0},
        {0x10000 | 0x0404, 136},  // only the low 16 bits count
    };
    for (const auto& l : languages) EXPECT_EQ(l.charset, GetCharSetFromLanguageID(l.id)) << std::hex << l.id;
}

TEST(Charset, PrepareConversionsForEveryTypeCode)
{
    CodePageLocale locale(1251);
    const struct { unsigned short type; int other; unsigned cp; bool marked; unsigned short result; } cases[] = {
        {18, 0, 77, false, 18},    {18, 1, 77, false, 19},    {110, 0, 77, false, 110},  {110, 1, 77, false, 16},
        {121, 0, 1252, true, 16},  {121, 1, 1252, true, 16},  {122, 0, 1252, true, 110}, {122, 1, 1252, true, 16},
        {126, 0, 0, true, 16},     {127, 0, 0, true, 110},    {127, 1, 0, true, 16},     {130, 0, 1251, true, 16},
        {131, 0, 1251, true, 110}, {131, 1, 1251, true, 16},  {19, 1, 77, false, 19},    {16, 0, 77, false, 16},
    };
    for (const auto& c : cases) {
        for (int mark : {0, 1}) {
            STOCAW conversion{77, 5};
            unsigned options = 0x1;
            EXPECT_EQ(c.result, PrepareConversionAnsiUnicode(c.type, &options, &conversion, c.other, mark)) << c.type;
            EXPECT_EQ(c.cp, conversion.nCodePage) << c.type;
            EXPECT_EQ(5u, conversion.nMode);
            EXPECT_EQ((c.marked && mark) ? 0x41u : 0x1u, options) << c.type;
        }
    }
    for (unsigned short type : {121, 122, 126, 127, 130, 131}) {
        STOCAW conversion{77, 0};
        EXPECT_TRUE(PrepareConversionUnicodeAnsi(type, &conversion));
        EXPECT_EQ(type >= 130 ? 1251u : (type >= 126 ? 0u : 1252u), conversion.nCodePage);
    }
    STOCAW untouched{77, 0};
    EXPECT_FALSE(PrepareConversionUnicodeAnsi(18, &untouched));
    EXPECT_EQ(77u, untouched.nCodePage);
}

TEST(Charset, CurrentCodePageTypesDefaultTo0WithoutAHost)
{
    STOCAW conversion{77, 0};
    EXPECT_TRUE(PrepareConversionUnicodeAnsi(130, &conversion));
    EXPECT_EQ(0u, conversion.nCodePage);
}

// The locale is process-wide: changed only in a child process.
TEST(Charset, ChangeLocaleInAChildProcess)
{
    const pid_t pid = fork();
    if (pid == 0) {
        int failures = 0;
        failures += ChangeLocale(0) != 1252;
        failures += ChangeLocale(128) != 932;
        failures += ChangeLocale(1000) != 0;
        // These names do not exist on Linux: setlocale refuses them and the
        // locale stays as it was.
        const char* before = std::setlocale(LC_ALL, nullptr);
        const std::string saved = before ? before : "";
        failures += ChangeLocale(204) != 0;
        failures += ChangeLocale(177) != 0;
        failures += saved != std::setlocale(LC_ALL, nullptr);
        _exit(failures);
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}

}  // namespace
