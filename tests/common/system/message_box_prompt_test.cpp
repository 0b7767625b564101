// The terminal prompt of message boxes, in forked children whose standard
// input and error are pipes.
#include <gtest/gtest.h>

#include <string>

#include "common/system/message_box.h"
#include "tests/common/system/prompt_child.h"

namespace {

using vxtest::RunWithTerminal;

const std::string kOk = "Appuyez sur ENTREE pour continuer : \n";
const std::string kOkCancel = "Entrez votre choix (o = OK, c = CANCEL) pour continuer (exemple : o + ENTREE) : \n";
const std::string kYesNoCancel =
    "Entrez votre choix (y = YES, n = NO, c = CANCEL) pour continuer (exemple : y + ENTREE) : \n";
const std::string kYesNo = "Entrez votre choix (y = YES, n = NO) pour continuer (exemple : y + ENTREE) : \n";
const std::string kRetryCancel = "Entrez votre choix (r = RETRY, c = CANCEL) pour continuer (exemple : r + ENTREE) : \n";
const std::string kRetryAbortIgnore =
    "Entrez votre choix (r = RETRY, a = ABORT, i = IGNORE) pour continuer (exemple : r + ENTREE) : \n";

TEST(MessageBoxPrompt, PromptByTypeAndAnswerByFirstLowerCaseLetter)
{
    struct Case
    {
        unsigned int nType;
        const char* pszInput;
        int nResult;
        const std::string& sPrompt;
    } aCases[] = {
        {0, "\n\n   o\n", IDOK, kOk},
        {1, "c\n", IDCANCEL, kOkCancel},
        {1, "o\n", IDOK, kOkCancel},
        {3, "yes\n", IDYES, kYesNoCancel},
        {3, "cancel", IDCANCEL, kYesNoCancel},
        {4, "  no\n", IDNO, kYesNo},
        {4, "Y\n", IDOK, kYesNo},  // upper case is not recognised
        {5, "c\n", IDCANCEL, kRetryCancel},
        {2, "abort\n", IDABORT, kRetryAbortIgnore},
        {2, "i\n", IDIGNORE, kRetryAbortIgnore},
        {0x10, "y\n", IDYES, kRetryAbortIgnore},  // icon bits: retry/abort/ignore
        {0x10, "Y\n", IDOK, kRetryAbortIgnore},
        {0x24, "n\n", IDNO, kRetryAbortIgnore},
        {0, "zzz\n", IDOK, kOk},
    };
    for (const Case& c : aCases)
    {
        const auto st = RunWithTerminal(c.pszInput, [&] { return MessageBox(nullptr, L"Le texte", L"Titre", c.nType); });
        EXPECT_EQ(c.nResult, st.nResult) << c.nType << " " << c.pszInput;
        EXPECT_EQ("Titre\nLe texte\n" + c.sPrompt, st.sError) << c.nType << " " << c.pszInput;
    }
}

TEST(MessageBoxPrompt, RetryWritesAHint)
{
    const auto st = RunWithTerminal("retry\n", [] { return MessageBoxW(nullptr, L"t", L"c", 5); });
    EXPECT_EQ(IDRETRY, st.nResult);
    ASSERT_EQ(0u, st.sError.find("c\nt\n" + kRetryCancel));
    const std::string sHint = st.sError.substr(("c\nt\n" + kRetryCancel).size());
    EXPECT_FALSE(sHint.empty());
    EXPECT_EQ('\n', sHint.back());
    EXPECT_EQ(sHint.size() - 1, sHint.find('\n')) << "one line";
}

TEST(MessageBoxPrompt, EndOfInputAnswersOk)
{
    // A word read before leaves nothing behind for the box that meets the end.
    const auto st = RunWithTerminal("no\n", [] {
        const int nFirst = MessageBoxW(nullptr, L"t", L"c", 4);
        const int nSecond = MessageBoxW(nullptr, L"t", L"c", 4);
        return nFirst * 10 + nSecond;
    });
    EXPECT_EQ(IDNO * 10 + IDOK, st.nResult);

    for (unsigned int nType : {0u, 1u, 2u, 3u, 4u, 5u})
    {
        // Nothing to read at all, then only blank lines before the end.
        EXPECT_EQ(IDOK, RunWithTerminal("", [&] { return MessageBoxW(nullptr, L"t", L"c", nType); }).nResult) << nType;
        EXPECT_EQ(IDOK, RunWithTerminal("\n \n", [&] { return MessageBoxW(nullptr, L"t", L"c", nType); }).nResult)
            << nType;
    }
}

TEST(MessageBoxPrompt, TextsAsUtf8AndLongAnswersBounded)
{
    const auto st = RunWithTerminal(std::string("n") + std::string(500, 'x') + "\n",
                                    [] { return MessageBox(nullptr, L"Donn\u00e9es \u20ac", L"\u00c9t\u00e9", 4); });
    EXPECT_EQ(IDNO, st.nResult);
    EXPECT_EQ(std::string("\xC3\x89t\xC3\xA9\nDonn\xC3\xA9" "es \xE2\x82\xAC\n") + kYesNo, st.sError);

    // 8-bit text is written as it is; null texts as empty lines.
    const auto st8 =
        RunWithTerminal("o", [] { return _MessageBox_NO_GUI("abc\xE9", nullptr, 0, 0); });
    EXPECT_EQ(IDOK, st8.nResult);
    EXPECT_EQ("\nabc\xE9\n" + kOk, st8.sError);
    const auto stNull = RunWithTerminal("a", [] { return MessageBoxW(nullptr, nullptr, nullptr, 2); });
    EXPECT_EQ(IDABORT, stNull.nResult);
    EXPECT_EQ("\n\n" + kRetryAbortIgnore, stNull.sError);
}

}  // namespace
