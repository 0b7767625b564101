// The installer's message forms count the arguments their callers pass: a
// text raised with fewer shows the missing inserts empty. The list forms
// behind them are called with a sentinel after the counted arguments
// ("LEAK"): a formatter that read past the count would print it.
#include <gtest/gtest.h>

#include <string>

#include "common/system/counted_arguments.h"
#include "common/system/module_info.h"
#include "installer/dllres_runtime_string.h"
#include "installer/recup_str.h"
#include "installer/str_res.h"
#include "tests/host/support/test_environment.h"

namespace {

constexpr wchar_t kLeak[] = L"LEAK";
// "Impossible d'accéder à <%s> : %s"
constexpr unsigned kAccess = 4977;

TEST(InstallerMessageInserts, MissingInsertsAreEmpty)
{
    // Every form with the same arguments gives the same text.
    const auto Expect = [](const std::wstring& expected, auto... args) {
        CXYString<wchar_t> s;
        EXPECT_EQ(1, DLLRES_bFormatMessage(&gstMyModuleInfo32, kAccess, &s, args...));
        EXPECT_EQ(expected, s.pszGet());
        EXPECT_EQ(expected, sGetRES(kAccess, args...).pszGet());
        wchar_t buffer[RECUPSTR_BUFFER_CHARS];
        EXPECT_EQ(expected, pszRecupStr(buffer, kAccess, args...));
        EXPECT_EQ(expected, pszRecupStr(nullptr, nullptr, buffer, kAccess, args...));
    };
    Expect(L"Impossible d'accéder à <a> : b", L"a", L"b");
    Expect(L"Impossible d'accéder à <a> : ", L"a");
    Expect(L"Impossible d'accéder à <> : ");

    const std::wstring sOne = L"Impossible d'accéder à <a> : ";
    CXYString<wchar_t> s;
    const auto FormatList = [&](va_list* pList, int n) {
        return DLLRES_bFormatMessageList(&gstMyModuleInfo32, kAccess, &s, pList, n);
    };
    ASSERT_EQ(1, CallWithArgumentList(FormatList, 1, L"a", kLeak));
    EXPECT_EQ(sOne, s.pszGet());
    const auto ResourceList = [](va_list* pList, int n) { return sGetRESList(kAccess, pList, n); };
    EXPECT_EQ(sOne, CallWithArgumentList(ResourceList, 1, L"a", kLeak).pszGet());
    wchar_t buffer[RECUPSTR_BUFFER_CHARS];
    const auto BufferList = [&](va_list* pList, int n) { return pszRecupStrList(buffer, kAccess, pList, n); };
    EXPECT_EQ(sOne, CallWithArgumentList(BufferList, 1, L"a", kLeak));
}

}  // namespace
