// The driver's error object raising messages with fewer arguments than
// their texts take: every way of raising counts what its caller passes, and
// the missing inserts come out empty (user error 15, "Impossible d'ouvrir
// <%s>.", raised without its insert used to make the formatter read an
// argument that was never passed).
#include <gtest/gtest.h>

#include <cstdarg>
#include <functional>
#include <string>

#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "tests/host/support/test_environment.h"

namespace {

constexpr wchar_t kOpen[] = L"Impossible d'ouvrir <>.";
constexpr wchar_t kNoItem[] = L"La description <D> ne contient pas la rubrique <>.";
constexpr wchar_t kNoColumn[] = L"La colonne 3 n'existe pas : le r\u00E9sultat compte  colonnes.";

constexpr wchar_t kAllGiven[] = L"La description <D> ne contient pas la rubrique <R>.";

TEST(ErrorObjectInserts, EveryRaiseCountsItsArguments)
{
    const struct
    {
        const char* name;
        std::function<void(CNAError&)> raise;
        std::wstring expected;
    } cases[] = {
        {"code-first form, no insert", [](CNAError& e) { e.AddError(NA_ERR_GENERAL, 15u, NA_SRC_DB_DRIVER, 9, nullptr); },
         kOpen},
        {"site form, no insert", [](CNAError& e) { e.AddError(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u); },
         kOpen},
        {"one text of two", [](CNAError& e) { e.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D"); }, kNoItem},
        {"one number of two", [](CNAError& e) { e.AddError(NA_ERR_GENERAL, 50, 1, nullptr, 50u, 3); }, kNoColumn},
        {"all given", [](CNAError& e) { e.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D", L"R"); }, kAllGiven},
        // The first sub-error's message is added to the main error's.
        {"sub-error", [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D", L"R");
             e.AddError(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u);
         },
         std::wstring(kAllGiven) + L"\r\n" + kOpen},
        {"new main error", [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D", L"R");
             e.AddErrorFirst(NA_ERR_GENERAL, NA_SRC_DB_DRIVER, 9, nullptr, 15u);
         },
         std::wstring(kOpen) + L"\r\n" + kAllGiven},
        {"site raise", [](CNAError& e) {
             CNAError::g_RaiseSiteError(&e, NASite::kDescriptionIncompatible, nullptr, nullptr, nullptr, L"D");
         },
         kNoItem},
        {"site error", [](CNAError& e) {
             _CXErrorModule32 error;
             CNAError::g_SetSiteError(&error, NASite::kColumnPastResult, L"T", nullptr, 3);
             e.AddError(NA_ERR_GENERAL, &error, nullptr);
         },
         kNoColumn},
        {"user messages", [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D");
             e.AddUserMessage(28541);
             e.AddUserMessageFirst(28541);
         },
         std::wstring(kOpen) + L"\r\n" + kNoItem + L"\r\n" + kOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CNAError error;
        c.raise(error);
        EXPECT_EQ(c.expected, error.pclGetXError()->pszGetUserMessage());
        // The host reads the dump: the message is there as written.
        EXPECT_NE(std::wstring::npos, std::wstring(error.pszGetError()).find(c.expected));
    }

    CNAError error;
    error.AddError(NA_ERR_GENERAL, 8, 1, nullptr, 20u, L"D");
    error.AddDebugMessage(28541);
    EXPECT_NE(std::wstring::npos, std::wstring(error.pclGetXError()->pszGetDebugMessage()).find(kOpen));
}

// The list form takes the count beside the list and reads no further, even
// where the list holds more.
TEST(ErrorObjectInserts, SiteErrorListReadsNoMoreThanItsCount)
{
    const auto Raise = [](CXError* pclError, int nArgs, ...) {
        va_list args;
        va_start(args, nArgs);
        CNAError::g_SetSiteErrorList(pclError, NASite::kDescriptionIncompatible, nullptr, nullptr, &args, nArgs);
        va_end(args);
    };
    _CXErrorModule32 error;
    Raise(&error, 1, L"D", L"LEAK");
    EXPECT_STREQ(kNoItem, error.pszGetUserMessage());
    Raise(&error, 0, L"LEAK", L"LEAK");
    EXPECT_STREQ(L"La description <> ne contient pas la rubrique <>.", error.pszGetUserMessage());
}

}  // namespace
