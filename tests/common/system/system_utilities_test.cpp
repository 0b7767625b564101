#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "common/system/bounded_format.h"
#include "common/system/bounded_text.h"
#include "common/system/case_mapping.h"
#include "common/system/os_version.h"
#include "common/system/product_language.h"
#include "common/system/time32.h"
#include "common/system/utf8_locale.h"
#include "tests/host/support/test_environment.h"

namespace {

// Runs body in a child process so that process-wide state stays untouched;
// returns the child's exit status.
template <class F>
int InChild(F body)
{
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST(CaseMapping, InPlace)
{
    wchar_t w[] = L"Ab\u00E9\u00C9z";
    EXPECT_EQ(std::wstring(L"AB\u00C9\u00C9Z"), my_struprW(w));
    EXPECT_EQ(std::wstring(L"ab\u00E9\u00E9z"), my_strlwrW(w));
    char a[] = "Ab\xE9z";
    EXPECT_STREQ("AB\xE9Z", my_struprA(a)) << "bytes above 127 are left alone in a UTF-8 locale";
    EXPECT_STREQ("ab\xE9z", my_strlwrA(a));
    wchar_t s[] = L"abcd";
    EXPECT_EQ(std::wstring(L"xxxx"), wcsset(s, L'x'));
    wchar_t t[] = L"abcd";
    EXPECT_EQ(std::wstring(L"yycd"), wcsnset(t, L'y', 2));
    EXPECT_EQ(std::wstring(L"yyyy"), wcsnset(t, L'y', 10));
    EXPECT_EQ(std::wstring(L"yyyy"), wcsnset(t, L'z', 0));
    EXPECT_EQ(nullptr, wcsnset(nullptr, L'z', 3));
}

TEST(BoundedText, LengthsAndByteSearch)
{
    EXPECT_EQ(3u, xstrnlen("0123456789", 3));
    EXPECT_EQ(0u, xstrnlen("", 3));
    EXPECT_EQ(0u, xstrnlen("abc", 0));
    EXPECT_EQ(10u, xstrnlen("0123456789", 30));
    EXPECT_EQ(2u, xwcsnlen(L"ab", 5));
    EXPECT_EQ(0u, xwcsnlen(L"ab", 0));

    const char hay[] = "aababcabcdaab";
    const struct { const char* needle; long at; } cases[] = {
        {"abcd", 6}, {"aab", 0}, {"b", 2}, {"cd", 8}, {"daab", 9}, {"ab", 1}, {"aa", 0}, {"xx", -1},
        {"abcdaab", 6}, {"bb", -1},
    };
    for (const auto& c : cases) {
        const void* found = xmemmem(hay, 13, c.needle, std::strlen(c.needle));
        EXPECT_EQ(c.at < 0 ? nullptr : hay + c.at, found) << c.needle;
    }
    EXPECT_EQ(hay + 10, xmemmem(hay + 1, 12, "aab", 3)) << "at the very end";
    EXPECT_EQ(hay + 11, xmemmem(hay + 8, 5, "ab", 2));
    EXPECT_EQ(nullptr, xmemmem(hay, 3, "aaba", 4)) << "needle one byte longer than the haystack";
    EXPECT_EQ(nullptr, xmemmem(hay, 13, "a", 0));
    EXPECT_EQ(nullptr, xmemmem(hay, 0, "a", 1));
    const char same[] = "xxxxxyxxy";
    EXPECT_EQ(same + 3, xmemmem(same, 9, "xxy", 3));
    EXPECT_EQ(same + 6, xmemmem(same + 4, 5, "xxy", 3));
}

TEST(BoundedFormat, CutsAndReports)
{
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(-1, sznprintf(out, 5, "%d", 123456));
    EXPECT_STREQ("12345", out);
    EXPECT_EQ(4, sznprintf(out, 5, "%d", 1234));
    EXPECT_STREQ("1234", out);
    EXPECT_EQ(0, out[5]) << "dst[n] always receives a terminator";
    EXPECT_EQ(5, sznprintf(out, 5, "%s-%d", "ab", 12));
    EXPECT_EQ(-1, sznprintf(out, 0, "x"));
    EXPECT_EQ(0, out[0]);
}

TEST(Time32, ValuesAndCalendar)
{
    int stored = 0;
    const int now = _time32(&stored);
    EXPECT_EQ(now, stored);
    EXPECT_NEAR(static_cast<double>(time(nullptr)), static_cast<double>(now), 5.0);
    const int epochDay = 86400;
    EXPECT_NE(nullptr, _ctime32(&epochDay));
    const int negative = -86400;
    struct tm* t = _localtime32(&negative);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(69, t->tm_year) << "sign-extended";
}

TEST(ProductLanguage, BothDirections)
{
    const struct { unsigned lang; _ELangueProduit product; } cases[] = {
        {4, ELP_CHINOIS}, {5, ELP_ANGLAIS}, {9, ELP_ANGLAIS}, {11, ELP_ANGLAIS}, {12, ELP_FRANCAIS},
        {13, ELP_ANGLAIS}, {0, ELP_ANGLAIS},
    };
    for (const auto& c : cases) EXPECT_EQ(c.product, LANG_To_ELangueProduit(c.lang)) << c.lang;
    EXPECT_EQ(12u, ELangueProduit_To_LANG(ELP_FRANCAIS));
    EXPECT_EQ(9u, ELangueProduit_To_LANG(ELP_ANGLAIS));
    EXPECT_EQ(4u, ELangueProduit_To_LANG(ELP_CHINOIS));
    EXPECT_EQ(9u, ELangueProduit_To_LANG(static_cast<_ELangueProduit>(7)));
}

TEST(OsVersion, AlwaysNo)
{
    EXPECT_EQ(0, bWindowsNT(6, 1) + bWindowsNT() + bWindows2000() + bWindowsXP() + bWindows2003() + bWindowsVista() +
                     bWindowsSeven() + bWindows8() + bWindowsSmartphone() + bWindowsCE2002() + bIsWindows64());
}

TEST(Utf8Locale, SelectsAUtf8CharacterTypeInAChildProcess)
{
    EXPECT_EQ(0, InChild([] {
        setenv("LC_ALL", "C", 1);
        const char* name = SetLocaleUTF8();
        if (!name) return 1;
        std::string lower(name);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("utf-8") == std::string::npos && lower.find("utf8") == std::string::npos) return 2;
        if (MB_CUR_MAX < 4) return 3;
        if (std::strcmp(UnsetLocale(LC_CTYPE), "C") != 0) return 4;
        return MB_CUR_MAX == 1 ? 0 : 5;
    }));
}

}  // namespace
