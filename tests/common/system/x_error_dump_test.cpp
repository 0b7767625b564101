// The readable dump of an error: sections, captions, the blank lines between
// groups, info items and sub-errors.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cwchar>
#include <string>

#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/text/ct_string.h"
#include "tests/host/support/test_environment.h"

namespace {

using X = CXError;

// Resource text id formatted as the dump formats it.
std::wstring Res(unsigned id, ...)
{
    va_list args;
    va_start(args, id);
    CTString out;
    const int b = DLLRES_bFormatMessageList(&gstMyModuleInfo32, id, &out, &args);
    va_end(args);
    EXPECT_EQ(1, b) << id;
    return out.pszGet();
}

std::wstring Dump(const CXError& error, uint32_t flags)
{
    return error.StringDump(static_cast<X::eXERROR_INFO>(flags)).pszGet();
}

const std::wstring EOL = L"\r\n";

TEST(XErrorDump, EmptySectionsAndTheBlankLine)
{
    CXError error(&gstMyModuleInfo32);
    error.SetErrorLevel(3);
    error.SetUserErrorCode(7);
    const uint32_t flags = X::XEI_USERMESSAGE | X::XEI_USERCODE | X::XEI_LEVEL;
    EXPECT_EQ(Res(28851, 7u) + EOL + Res(28849) + EOL, Dump(error, flags | X::XEI_NOEMPTY));
    EXPECT_EQ(Res(28858) + EOL + EOL + Res(28851, 7u) + EOL + Res(28849) + EOL, Dump(error, flags));
}

TEST(XErrorDump, ContextOfTheTreatment)
{
    CXError error(&gstMyModuleInfo32);
    error.SetVMContext(L"Clic sur Valider", 12, 3);
    EXPECT_EQ(Res(28844) + EOL + Res(28845, L"Clic sur Valider", L"", 12, 3) + EOL, Dump(error, X::XEI_VMCONTEXT));
    error.SetVMContext(L"Clic", L"FEN_Saisie", 65535, 4);
    error.SetFunctionName(L"HLit", 2);
    EXPECT_EQ(Res(28844) + EOL + Res(25770, L"Clic", L" (FEN_Saisie)", 4) + EOL + Res(28846, L"HLit", 2) + EOL,
              Dump(error, X::XEI_VMCONTEXT));
    // Nothing to say: nothing written, and no blank line for what follows.
    CXError bare(&gstMyModuleInfo32);
    bare.SetUserErrorCode(3);
    EXPECT_EQ(Res(28851, 3u) + EOL, Dump(bare, X::XEI_VMCONTEXT | X::XEI_USERCODE));
}

TEST(XErrorDump, LevelNames)
{
    struct Case { int level; unsigned id; };
    const Case cases[] = {
        {2, 28848}, {3, 28849}, {0x40000004, 28849}, {0x40000008, 28849}, {0x10001, 25311},
        {0x10003, 25311}, {0x10006, 25311}, {0x20001, 25311},
    };
    for (const Case& c : cases) {
        CXError error(&gstMyModuleInfo32);
        error.SetErrorLevel(c.level);
        EXPECT_EQ(Res(c.id) + EOL, Dump(error, X::XEI_LEVEL)) << c.level;
    }
    CXError none(&gstMyModuleInfo32);
    EXPECT_EQ(Res(28847) + EOL, Dump(none, X::XEI_LEVEL));
    CXError other(&gstMyModuleInfo32);
    other.SetErrorLevel(7);
    EXPECT_EQ(Res(28850, 7u) + EOL, Dump(other, X::XEI_LEVEL));
}

// Every section of a full error, with the blank line that each group
// leaves before the next.
TEST(XErrorDump, EverySection)
{
    CXError error(&gstMyModuleInfo32);
    error.SetUserError(&gstMyModuleInfo32, 15, L"base.fic");
    error.SetVMContext(L"Init", L"PAGE", 5, 1);
    error.SetSystemErrorParam(2);
    error.AddDebugMessageNoFormat(L"##(Test)-ici##");
    int32_t native = 1045;
    error.AddInfo(X::EIT_NATIVECODE, &native);
    const std::wstring user = error.pszGetUserMessage();
    const std::wstring system = error.pszGetSystemErrorMessage();

    const std::wstring expected = Res(28844) + EOL + Res(28845, L"Init", L" (PAGE)", 5, 1) + EOL  //
                                  + EOL + Res(28857) + EOL + user + EOL                           //
                                  + EOL + Res(28851, 15u) + EOL + Res(28849) + EOL + Res(28852, 0) + EOL  //
                                  + EOL + Res(28853, 2u) + EOL + Res(28855) + EOL + system       //
                                  + EOL + Res(28842, L"vxmysql.so", L"20.0.10.0") + EOL + Res(28863, 15u) + EOL +
                                  Res(28859) + EOL + L"##(Test)-ici##" + EOL + Res(28861) + EOL +
                                  L"EIT_NATIVECODE : <1045>";
    EXPECT_EQ(expected, Dump(error, X::XEI_ALL));

    // Without the caption, and with the empty secondary code left out.
    EXPECT_EQ(user + EOL + EOL + Res(28851, 15u) + EOL,
              Dump(error, X::XEI_USERMESSAGE | X::XEI_NOUSERMESSAGECAPTION | X::XEI_USERCODE | X::XEI_USERCODE55 |
                              X::XEI_NOEMPTY));
    CTString appended(L"avant|");
    error.StringDump(appended, X::XEI_USERCODE);
    EXPECT_EQ(L"avant|" + Res(28851, 15u) + EOL, appended.pszGet());
}

TEST(XErrorDump, EmptyTextsOfEachSection)
{
    CXError error(&gstMyModuleInfo32);
    const std::wstring expected = Res(28854) + EOL + Res(28856) + EOL    //
                                  + EOL + Res(28843) + EOL + Res(28864) + EOL + Res(28860) + EOL + Res(28862) + EOL;
    EXPECT_EQ(expected, Dump(error, X::XEI_SYSTEMCODE | X::XEI_SYSTEMMESSAGE | X::XEI_MODULE | X::XEI_DETAILID |
                                        X::XEI_DEBUGMESSAGE | X::XEI_INFO));
    EXPECT_EQ(std::wstring(), Dump(error, X::XEI_SYSTEMCODE | X::XEI_SYSTEMMESSAGE | X::XEI_MODULE | X::XEI_DETAILID |
                                              X::XEI_DEBUGMESSAGE | X::XEI_INFO | X::XEI_SUBERROR | X::XEI_NOEMPTY));
}

TEST(XErrorDump, InfoItemsEachOnTheirLine)
{
    CXError error(&gstMyModuleInfo32);
    int32_t native = 2006;
    int64_t record = 1LL << 33;
    int marker = 0;
    error.AddInfo(X::EIT_NATIVECODE, &native);
    error.AddInfo(X::EIT_SRCFILE, L"");  // empty: skipped
    error.AddInfo(X::EIT_POINTER, &marker);  // never dumped
    error.AddInfo(X::EIT_RECNUM, &record);
    error.AddInfo(X::EIT_PILEZL, L"pile");
    EXPECT_EQ(Res(28861) + L"\r\nEIT_NATIVECODE : <2006>\r\nEIT_RECNUM : <8589934592>\r\nEIT_PILEZL :\r\npile",
              Dump(error, X::XEI_INFO));
}

TEST(XErrorDump, OneInfoLine)
{
    CXError error(&gstMyModuleInfo32);
    CTString line;
    int32_t n = -3;
    error.__DumpInfo(X::EIT_HCNXID, &n, line, 0);
    EXPECT_EQ(std::wstring(L"EIT_HCNXID : <-3>"), line.pszGet());
    error.__DumpInfo(X::EIT_ITEMNAME, L"", line, 0);
    EXPECT_EQ(std::wstring(), line.pszGet());
    error.__DumpInfo(X::EIT_ITEMNAME, nullptr, line, 1);
    EXPECT_EQ(std::wstring(L"EIT_ITEMNAME : <>"), line.pszGet());
    error.__DumpInfo(X::EIT_DATEHEURE, L"12:00", line, 0);
    EXPECT_EQ(std::wstring(L"EIT_DATEHEURE : 12:00"), line.pszGet());
    error.__DumpInfo(X::EIT_EXCEPTIONDOTNET, &n, line, 0);
    EXPECT_EQ(std::wstring(L"EIT_EXCEPTIONDOTNET"), line.pszGet());
    for (int type : {0, 29, 34, 35, 40}) {
        error.__DumpInfo(static_cast<X::eERRORINFOTYPE>(type), L"x", line, 1);
        EXPECT_EQ(std::wstring(), line.pszGet()) << type;
    }
    wchar_t address[32];
    std::swprintf(address, 32, L"%p", static_cast<void*>(&n));
    error.__DumpInfo(X::EIT_DATAACCESS, &n, line, 0);
    EXPECT_EQ(std::wstring(L"EIT_DATAACCESS : <") + address + L">", line.pszGet());

    CTString all(L"a");
    error.DumpInfo(X::EIT_USERNAME, L"", &all);
    EXPECT_EQ(std::wstring(L"aEIT_USERNAME : <>"), all.pszGet());
}

TEST(XErrorDump, SubErrorsAreFramed)
{
    CXError error(&gstMyModuleInfo32);
    error.AddUserMessage(L"principal");
    CXError sub(&gstMyModuleInfo32);
    sub.AddUserMessage(L"secondaire");
    error.AddSubErrorNoUserMessage(&sub);
    error.AddSubErrorNoUserMessage(&sub);
    const uint32_t flags = X::XEI_USERMESSAGE | X::XEI_NOUSERMESSAGECAPTION | X::XEI_SUBERROR;
    const std::wstring subDump = L"secondaire" + EOL;
    EXPECT_EQ(L"principal" + EOL + EOL                                                      //
                  + L"\r\n----- " + Res(28865, 1) + L" -----\r\n\r\n" + subDump + EOL     //
                  + L"\r\n----- " + Res(28865, 2) + L" -----\r\n\r\n" + subDump + EOL,
              Dump(error, flags));
}

}  // namespace
