// The installer's output: parameters made displayable, messages written as
// UTF-8 whatever the locale.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <string>

#include "installer/install_text_output.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(InstallTextOutput, ControlsAndBidirectionalMarksAreWrittenAsEscapes)
{
    const struct
    {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"plain caf\u00e9 \u4e2d\\dir", L"plain caf\u00e9 \u4e2d\\dir"},
        {L"\x1b[2J\x1b[1;1Hinstallation termin\u00e9e", L"\\x1B[2J\\x1B[1;1Hinstallation termin\u00e9e"},
        {L"a\tb\rc\nd\x7f" L"e\x85" L"f\x9f", L"a\\x09b\\x0Dc\\x0Ad\\x7Fe\\x85f\\x9F"},
        {L"x\u202Egpj.so", L"x\\u202Egpj.so"},
        {L"\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069\u200E\u200F\u061C",
         L"\\u202A\\u202B\\u202C\\u202D\\u2066\\u2067\\u2068\\u2069\\u200E\\u200F\\u061C"},
        {L"\u2065\u206A\u202F", L"\u2065\u206A\u202F"},  // neighbours of the controls stay
        {std::wstring(1, static_cast<wchar_t>(0xD800)) + L"|" + std::wstring(1, static_cast<wchar_t>(0x110000)) + L"|" +
             std::wstring(1, static_cast<wchar_t>(-1)),
         L"\\uD800|\\U00110000|\\UFFFFFFFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, sTexteAffichable(c.in.c_str())) << testing::PrintToString(c.in);
    EXPECT_EQ(L"", sTexteAffichable(nullptr));
}

TEST(InstallTextOutput, MessagesEscapeTheirParametersNotTheirTemplate)
{
    EXPECT_STREQ(L"Fichier concern\u00e9 : <a\\x1B[31mb>", sMessageInstalleur(4903, L"a\x1b[31mb").pszGet());
    EXPECT_STREQ(L"Noms refus\u00e9s dans l'archive : <\\u202Ex> et <X> ne diff\u00e8rent que par les majuscules "
                 L"et minuscules.",
                 sMessageInstalleur(4993, L"\u202Ex", L"X").pszGet());
    EXPECT_STREQ(L"", sMessageInstalleur(65000).pszGet());
}

TEST(InstallTextOutput, WritesUtf8WhateverTheLocale)
{
    int fds[2];
    ASSERT_EQ(0, pipe(fds));
    const int saved = dup(STDERR_FILENO);
    ASSERT_EQ(STDERR_FILENO, dup2(fds[1], STDERR_FILENO));
    close(fds[1]);
    // The C locale cannot encode these characters: a wide stream would stop
    // or print question marks.
    std::setlocale(LC_CTYPE, "C");
    EcritErreurStd(L"r\u00e9pertoire \u4e2d \U0001F600\n");
    EcritErreurStd(L"");
    EcritErreurStd(nullptr);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    dup2(saved, STDERR_FILENO);
    close(saved);
    char buffer[64] = {};
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    close(fds[0]);
    EXPECT_EQ(std::string("r\xC3\xA9pertoire \xE4\xB8\xAD \xF0\x9F\x98\x80\n"),
              std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

}  // namespace
