// The installer's message forms: resource texts into runtime strings, the
// formatted message helpers and the error object bound to its descriptor.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "common/system/module_info.h"
#include "common/system/x_error_module.h"
#include "installer/dllres_runtime_string.h"
#include "installer/recup_str.h"
#include "installer/str_res.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(InstallerMessages, RuntimeStringFormsLoadAndFormat)
{
    CXYString<wchar_t> s(L"old");
    ASSERT_EQ(DLLRES_bLoadString(&gstMyModuleInfo32, 4903, &s), 1);
    EXPECT_STREQ(s.pszGet(), L"Fichier concerné : <%s>");

    ASSERT_EQ(DLLRES_bFormatMessage(&gstMyModuleInfo32, 4903, &s, L"/opt/x"), 1);
    EXPECT_STREQ(s.pszGet(), L"Fichier concerné : </opt/x>");

    // An unknown id: 0 and the string left as it was.
    EXPECT_EQ(DLLRES_bLoadString(&gstMyModuleInfo32, 65000, &s), 0);
    EXPECT_EQ(DLLRES_bFormatMessage(&gstMyModuleInfo32, 65000, &s), 0);
    EXPECT_STREQ(s.pszGet(), L"Fichier concerné : </opt/x>");
    EXPECT_EQ(DLLRES_bLoadString(&gstMyModuleInfo32, 4903, nullptr), 0);
}

TEST(InstallerMessages, FormatIntoRuntimeStringCountsCharacters)
{
    CXYString<wchar_t> s;
    EXPECT_EQ(DLLRES_dwFormatMessage(L"%d-%s", &s, nullptr), 5u);  // taken as it stands
    EXPECT_STREQ(s.pszGet(), L"%d-%s");
    EXPECT_EQ(DLLRES_dwFormatMessage(nullptr, &s, nullptr), 0u);
    EXPECT_EQ(s.nGetLongueur(), 0);
}

TEST(InstallerMessages, GetResAndRecupStr)
{
    EXPECT_STREQ(sGetRES(4903, L"a b").pszGet(), L"Fichier concerné : <a b>");
    EXPECT_STREQ(sGetRES(65000).pszGet(), L"");

    wchar_t buffer[RECUPSTR_BUFFER_CHARS];
    EXPECT_STREQ(pszRecupStr(buffer, 4978), L"L'installation est terminée.");
    EXPECT_STREQ(pszRecupStr(nullptr, nullptr, buffer, 4903, L"z"), L"Fichier concerné : <z>");
    EXPECT_STREQ(pszRecupStr(buffer, 65000), L"");
    // A result that passes the 250-character buffer is refused, never cut
    // past it.
    std::wstring longName(400, L'n');
    EXPECT_STREQ(pszRecupStr(buffer, 4903, longName.c_str()), L"");
}

TEST(InstallerMessages, ResetYieldAddsFiveHundredMicroseconds)
{
    unsigned int t = 0;
    const unsigned int r = vResetYield(&t);
    EXPECT_EQ(r, t);
    EXPECT_GE(t, 500u);
    EXPECT_LT(t, 1000500u);
    vYield(1, 2);
}

TEST(InstallerMessages, ErrorOfTheInstallerTable)
{
    _CXErrorModule32 known(3);
    EXPECT_EQ(known.nGetUserErrorCode(), 3u);
    EXPECT_EQ(known.eGetErrorLevel(), CXError::EL_WARNING);
    EXPECT_STREQ(known.pszGetUserMessage(), L"L'archive n'est pas une archive ZIP valide ou elle est endommagée.");
    EXPECT_STREQ(known.pszGetModName(), L"mysql_install");
    EXPECT_STREQ(known.pszGetModVersion(), L"20.0.1.0");

    _CXErrorModule32 unknown(77);
    EXPECT_EQ(unknown.nGetUserErrorCode(), 0u);
    EXPECT_EQ(unknown.eGetErrorLevel(), CXError::EL_ERROR);
    EXPECT_NE(std::wcsstr(unknown.pszGetDebugMessage(), L"<77>"), nullptr);

    // A text of the caller's in place of the table's message.
    CXError changed(&gstMyModuleInfo32);
    changed.AddUserMessageNoFormat(L"second");
    changed.ChangeUserErrorMessage(&gstMyModuleInfo32, 9, L"first");
    EXPECT_EQ(changed.nGetUserErrorCode(), 9u);
    EXPECT_STREQ(changed.pszGetUserMessage(), L"first\r\nsecond");
    changed.ChangeUserErrorMessage(&gstMyModuleInfo32, 4242, L"x");
    EXPECT_EQ(changed.eGetErrorLevel(), CXError::EL_ERROR);
    EXPECT_NE(std::wcsstr(changed.pszGetDebugMessage(),
                          L"##(CXError)-Pas de definition d'erreur dans gstErrorDef pour l'identifiant <4242>##"),
              nullptr);

    changed.AddDebugMessageFirst(L"head");
    EXPECT_EQ(std::wcsncmp(changed.pszGetDebugMessage(), L"head\r\n", 6), 0);
    EXPECT_EQ(changed.pclGetSubError(-1), nullptr);
    EXPECT_EQ(changed.pclGetSubError(changed.nGetNbSubError()), nullptr);
}

}  // namespace
