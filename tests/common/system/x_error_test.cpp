// The error object: errors from the module's table, messages, the system
// error, info items, sub-errors and copies.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "common/system/error_site.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "tests/common/system/resource_test_support.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::CatalogText;

std::wstring Text(const wchar_t* psz)
{
    return psz != nullptr ? std::wstring(psz) : std::wstring(L"(null)");
}

std::wstring ErrnoText(int code)
{
    return vxtest::Wide(std::strerror(code));
}

// A module whose table points at a message that is not there and at one
// whose bytes do not unpack.
constexpr unsigned kCodeMissingText = 900;
constexpr unsigned kCodeBrokenText = 901;
constexpr unsigned kMissingId = 998;
constexpr unsigned kBrokenId = 999;

int BrokenLookup(STRessourceModule& rec)
{
    static const unsigned char broken[] = {0, 9};
    if (rec.dwId != kBrokenId)
        return 0;
    rec.pbyData = broken;
    rec.dwPackedLength = sizeof broken;
    rec.dwEncoding = RES_ENCODING_UTF8;
    rec.nUsage = 0;
    return 1;
}

const _stErrorDef32 kBrokenTable[] = {
    {kCodeMissingText, kMissingId, 5, 2},
    {kCodeBrokenText, kBrokenId, 6, 3},
};
const _stMyModuleInfo kBrokenModule = {kBrokenTable, 2, 44, L"autre.so", L"2.0", &BrokenLookup, {}};

// Under the Itanium C++ ABI a pointer to a virtual member function holds
// 1 + the slot's byte offset in the virtual table.
template <typename MemberFn>
long SlotOf(MemberFn fn)
{
    struct Raw { uintptr_t ptr; ptrdiff_t adj; } raw;
    static_assert(sizeof(fn) == sizeof(raw));
    std::memcpy(&raw, &fn, sizeof raw);
    if ((raw.ptr & 1) == 0 || raw.adj != 0)
        return -1;
    return static_cast<long>((raw.ptr - 1) / sizeof(void*));
}

TEST(XError, VirtualSlotsInTheHostsOrder)
{
    static_assert(std::has_virtual_destructor_v<CXError>);
    EXPECT_EQ(2, SlotOf(&CXError::dwRelease));
    EXPECT_EQ(3, SlotOf(&CXError::__vpszAllocString));
    EXPECT_EQ(4, SlotOf(static_cast<wchar_t* (CXError::*)(wchar_t**, const wchar_t*)>(&CXError::__vpszReallocString)));
    EXPECT_EQ(5, SlotOf(static_cast<wchar_t* (CXError::*)(wchar_t**, size_t)>(&CXError::__vpszReallocString)));
    EXPECT_EQ(6, SlotOf(&CXError::__vpszConcatString));
    EXPECT_EQ(7, SlotOf(&CXError::__vDeleteString));
    EXPECT_EQ(8, SlotOf(&CXError::__AddSubError));
    EXPECT_EQ(9, SlotOf(&CXError::__DeleteAllSubError));
    EXPECT_EQ(10, SlotOf(&CXError::vCopy));
}

// Raises a code with typed arguments for the argument kinds its message
// declares; false when the kinds have no caller here.
bool bRaise(CXError& error, unsigned code, const std::string& kinds)
{
    const _stMyModuleInfo* m = &gstMyModuleInfo32;
    const wchar_t* s = L"nom";
    using Raise = std::function<void()>;
    const std::map<std::string, Raise> callers = {
        {"", [&] { error.SetUserError(m, code); }},
        {"s", [&] { error.SetUserError(m, code, s); }},
        {"d", [&] { error.SetUserError(m, code, -4); }},
        {"u", [&] { error.SetUserError(m, code, 4u); }},
        {"s,s", [&] { error.SetUserError(m, code, s, s); }},
        {"s,d", [&] { error.SetUserError(m, code, s, 4); }},
        {"s,u", [&] { error.SetUserError(m, code, s, 4u); }},
        {"s,u,s", [&] { error.SetUserError(m, code, s, 4u, s); }},
        {"d,s", [&] { error.SetUserError(m, code, 4, s); }},
        {"d,d", [&] { error.SetUserError(m, code, 4, 5); }},
        {"s,s,s", [&] { error.SetUserError(m, code, s, s, s); }},
        {"s,s,d", [&] { error.SetUserError(m, code, s, s, 4); }},
        {"d,d,s", [&] { error.SetUserError(m, code, 4, 5, s); }},
        {"u,u,s", [&] { error.SetUserError(m, code, 4u, 5u, s); }},
        {"s,lld,lld", [&] { error.SetUserError(m, code, s, 1LL << 40, -1LL); }},
        {"s,s,d,d", [&] { error.SetUserError(m, code, s, s, 4, 5); }},
        {"s,u,d,d,s", [&] { error.SetUserError(m, code, s, 4u, 5, 6, s); }},
        {"s,d,s,s,s", [&] { error.SetUserError(m, code, s, 4, s, s, s); }},
    };
    const auto it = callers.find(kinds);
    if (it == callers.end())
        return false;
    it->second();
    return true;
}

// Every code of the table, raised as its sites raise it.
TEST(XError, EveryTableCodeGivesItsMessageLevelAndDetail)
{
    std::set<uint32_t> seen;
    for (size_t i = 0; i < gnNbErrorDef32; ++i) {
        const _stErrorDef32& row = gstErrorDef32[i];
        if (!seen.insert(row.dwCode).second)
            continue;  // the first row of a code wins
        const _stResourceCatalog32* entry = vxtest::FindCatalog(row.dwMessageId);
        ASSERT_NE(nullptr, entry) << row.dwCode;
        _CXErrorModule32 error;
        error.AddUserMessage(L"reste d'avant");
        ASSERT_TRUE(bRaise(error, row.dwCode, entry->pszArgs)) << "no caller for (" << entry->pszArgs << ")";
        EXPECT_EQ(row.dwCode, error.nGetUserErrorCode());
        EXPECT_EQ(row.nLevel, error.eGetErrorLevel()) << row.dwCode;
        EXPECT_EQ(static_cast<int>(row.dwDetailId), error.nGetDetailId()) << row.dwCode;
        const std::wstring message = error.pszGetUserMessage();
        EXPECT_FALSE(message.empty()) << row.dwCode;
        EXPECT_EQ(std::wstring::npos, message.find(L"reste")) << row.dwCode;
        if (std::string(entry->pszArgs).find('s') != std::string::npos) {
            EXPECT_NE(std::wstring::npos, message.find(L"nom")) << row.dwCode;
        }
        EXPECT_EQ(1, error.nNumErrorId());
        EXPECT_EQ(row.dwMessageId, error.nGetErrorId(0));
        EXPECT_EQ(std::wstring(L"vxmysql.so"), error.pszGetModName());
        EXPECT_EQ(std::wstring(L"20.0.10.0"), error.pszGetModVersion());
        EXPECT_EQ(32u, error.nGetModuleId());
        EXPECT_EQ(std::wstring(), error.pszGetDebugMessage()) << row.dwCode;

        AddErrorSiteDebugLine(error, 101, 7);
        EXPECT_EQ(std::wstring(L"IEZODIRA=101.7\r\nModule=<ZODIRA>\r\nVersion=<20.0.10.0>"),
                  error.pszGetDebugMessage());
    }
    EXPECT_EQ(94u, seen.size());
}

TEST(XError, TableEdges)
{
    _CXErrorModule32 error;
    // Code 29 is listed twice; the first row answers.
    error.SetUserError(&gstMyModuleInfo32, 29, L"a", L"b");
    EXPECT_EQ(28624u, error.nGetErrorId(0));
    EXPECT_EQ(29, error.nGetDetailId());
    EXPECT_EQ(28624u, CXError::nGetRessourceIdFromUserErrorCode(&gstMyModuleInfo32, 29));
    EXPECT_EQ(0u, CXError::nGetRessourceIdFromUserErrorCode(&gstMyModuleInfo32, 3));

    // Code 3 is not in the table.
    error.SetUserError(&gstMyModuleInfo32, 3);
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
    EXPECT_EQ(0u, error.nGetUserErrorCode());
    EXPECT_EQ(std::wstring(), error.pszGetUserMessage());
    EXPECT_EQ(std::wstring(L"##(CXError)-Pas de definition d'erreur dans gstErrorDef pour l'identifiant <3>##"),
              error.pszGetDebugMessage());
    EXPECT_EQ(std::wstring(L"vxmysql.so"), error.pszGetModName());

    // The message as the caller gives it.
    error.SetUserErrorMessage(&gstMyModuleInfo32, 21, L"texte donn\u00E9");
    EXPECT_EQ(std::wstring(L"texte donn\u00E9"), error.pszGetUserMessage());
    EXPECT_EQ(CXError::EL_WARNING, error.eGetErrorLevel());
    EXPECT_EQ(0, error.nNumErrorId());

    // Change keeps what is there and puts the message first.
    error.SetUserError(&gstMyModuleInfo32, 8);
    error.ChangeUserError(&gstMyModuleInfo32, 12);
    EXPECT_EQ(CatalogText(28546) + L"\r\n" + CatalogText(28437), error.pszGetUserMessage());
    EXPECT_EQ(2, error.nNumErrorId());
    EXPECT_EQ(28546u, error.nGetErrorId(0));
    EXPECT_EQ(28437u, error.nGetErrorId(1));
    EXPECT_EQ(0u, error.nGetErrorId(2));
}

// Load first, then format: a text that is not there and one that is empty
// leave different debug lines.
TEST(XError, MissingAndEmptyResourceTexts)
{
    CXError error(&kBrokenModule);
    EXPECT_EQ(44u, error.nGetModuleId());
    error.SetUserError(&kBrokenModule, kCodeMissingText);
    EXPECT_EQ(std::wstring(L"##(CXError)-Ressource <998> non charg\u00E9e##"), error.pszGetDebugMessage());
    EXPECT_EQ(std::wstring(), error.pszGetUserMessage());
    EXPECT_EQ(CXError::EL_WARNING, error.eGetErrorLevel());
    EXPECT_EQ(5, error.nGetDetailId());
    EXPECT_EQ(std::wstring(L"autre.so"), error.pszGetModName());

    error.SetUserError(&kBrokenModule, kCodeBrokenText);
    EXPECT_EQ(0u, std::wstring(error.pszGetDebugMessage()).find(L"##(CXError)-Ressource <999> vide. LastError = <"))
        << Text(error.pszGetDebugMessage());
    EXPECT_EQ(std::wstring(), error.pszGetUserMessage());

    error.RAZ();
    error.AddDebugMessage(&kBrokenModule, kMissingId);
    error.AddDebugMessage(&kBrokenModule, 0xFFFFFFFFu);
    EXPECT_EQ(std::wstring(L"##(CXError)-Ressource <998> non charg\u00E9e##"), error.pszGetDebugMessage());
    error.SetSystemErrorMessage(&kBrokenModule, kMissingId);
    EXPECT_EQ(std::wstring(L"##(CXError)-Ressource <998> non charg\u00E9e##"), error.pszGetSystemErrorMessage());
    EXPECT_EQ(0u, error.dwGetSystemErrorCode());

    error.RAZ();
    error.AddDebugMessage(&gstMyModuleInfo32, 28541, L"x.fic");
    error.SetSystemErrorMessage(&gstMyModuleInfo32, 28541, L"y.fic");
    EXPECT_NE(std::wstring::npos, std::wstring(error.pszGetDebugMessage()).find(L"x.fic"));
    EXPECT_NE(std::wstring::npos, std::wstring(error.pszGetSystemErrorMessage()).find(L"y.fic"));
    EXPECT_EQ(0, error.nNumErrorId());
}

TEST(XError, AnyErrorOfTheValueOperations)
{
    struct Case { int result; unsigned code; int level; };
    const Case cases[] = {
        {1, 65, 3}, {101, 61, 3}, {104, 66, 3}, {105, 60, 3}, {106, 64, 3}, {107, 63, 3},
    };
    for (const Case& c : cases) {
        _CXErrorModule32 error;
        error.SetAnyError(&gstMyModuleInfo32, c.result, 7, 9);
        EXPECT_EQ(c.code, error.nGetUserErrorCode()) << c.result;
        EXPECT_EQ(c.level, error.eGetErrorLevel()) << c.result;
        EXPECT_FALSE(std::wstring(error.pszGetUserMessage()).empty()) << c.result;
    }
    _CXErrorModule32 error;
    error.SetUserError(&gstMyModuleInfo32, 8);
    error.SetAnyError(&gstMyModuleInfo32, 2, 0, 0);
    EXPECT_EQ(8u, error.nGetUserErrorCode());
    error.SetAnyError(&gstMyModuleInfo32, 100, 0, 0);
    EXPECT_EQ(12u, error.dwGetSystemErrorCode());
    error.SetAnyError(&gstMyModuleInfo32, 0, 0, 0);
    EXPECT_FALSE(error.bIsError());
}

// Out of memory is an error (level 3), whose system text is that of 12
// whatever errno holds.
TEST(XError, OutOfMemoryIsAnError)
{
    _CXErrorModule32 error;
    error.AddInfo(CXError::EIT_SRCFILE, L"a.fic");
    errno = EINVAL;
    error.SetErrorNoMemory();
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
    EXPECT_TRUE(error.bIsError());
    EXPECT_EQ(12u, error.dwGetSystemErrorCode());
    EXPECT_EQ(ErrnoText(ENOMEM), error.pszGetSystemErrorMessage());
    EXPECT_EQ(CatalogText(25193), error.pszGetUserMessage());
    EXPECT_EQ(1, error.nNumErrorId());
    EXPECT_EQ(0, error.nNumInfo());
    EXPECT_EQ(0u, error.nGetUserErrorCode());
}

TEST(XError, SystemErrorTextComesFromTheCode)
{
    struct Case { unsigned code; int text; };
    const Case cases[] = {
        {0x80000000u, 11}, {0x80000001u, 11}, {0x80000002u, 11}, {2, 2}, {13, 13},
    };
    for (const Case& c : cases) {
        CXError error(&gstMyModuleInfo32);
        errno = EIO;
        error.SetSystemErrorParam(c.code);
        EXPECT_EQ(c.code, error.dwGetSystemErrorCode());
        EXPECT_EQ(ErrnoText(c.text), error.pszGetSystemErrorMessage()) << c.code;
    }
    CXError error(&gstMyModuleInfo32);
    error.SetSystemErrorParam(2);
    error.SetSystemErrorParam(0);
    EXPECT_EQ(std::wstring(), error.pszGetSystemErrorMessage());

    error.SetSystemErrorMessagePrintf(5, L"%s:%d", L"f", 3);
    EXPECT_EQ(5u, error.dwGetSystemErrorCode());
    EXPECT_EQ(std::wstring(L"f:3"), error.pszGetSystemErrorMessage());
    error.SetSystemErrorMessageA("\xC3\xA9" "chec");
    EXPECT_EQ(0u, error.dwGetSystemErrorCode());
    EXPECT_EQ(std::wstring(L"\u00E9chec"), error.pszGetSystemErrorMessage());
    error.SetSystemErrorMessageA(nullptr);
    EXPECT_EQ(std::wstring(), error.pszGetSystemErrorMessage());
    error.SetSystemError(9, L"t");
    EXPECT_EQ(9u, error.dwGetSystemErrorCode());
    error.SetSystemErrorMessage(L"u");
    EXPECT_EQ(0u, error.dwGetSystemErrorCode());
    EXPECT_EQ(std::wstring(L"u"), error.pszGetSystemErrorMessage());
}

TEST(XError, MessageLines)
{
    CXError error(&gstMyModuleInfo32);
    EXPECT_EQ(std::wstring(), error.pszGetUserMessage());
    error.AddUserMessageFirst(L"X");
    EXPECT_EQ(std::wstring(L"X"), error.pszGetUserMessage());
    error.RAZUserMessage();
    error.AddUserMessage(L"A");
    error.AddUserMessage(L"B");
    error.AddUserMessageNoFormat(L"");
    error.AddUserMessageNoFormat(nullptr);
    EXPECT_EQ(std::wstring(L"A\r\nB"), error.pszGetUserMessage());
    error.AddUserMessageFirst(L"X");
    EXPECT_EQ(std::wstring(L"X\r\nA\r\nB"), error.pszGetUserMessage());
    // A held but empty text still gets the line end.
    CXError empty(&gstMyModuleInfo32);
    empty.AddUserMessageFirst(L"");
    empty.AddUserMessageFirst(L"X");
    EXPECT_EQ(std::wstring(L"X\r\n"), empty.pszGetUserMessage());
    empty.AddUserMessageFirst(nullptr);
    EXPECT_EQ(std::wstring(L"\r\nX\r\n"), empty.pszGetUserMessage());

    // Exactly sized blocks: the sanitizer sees one character too many.
    for (size_t n : {size_t{0}, size_t{1}, size_t{7}, size_t{300}}) {
        CXError sized(&gstMyModuleInfo32);
        const std::wstring old(n, L'o');
        sized.AddUserMessage(old.c_str());
        sized.AddUserMessageFirst(L"t");
        EXPECT_EQ(n == 0 ? std::wstring(L"t") : L"t\r\n" + old, sized.pszGetUserMessage());
    }

    error.AddDebugMessageNoFormat(L"d1");
    error.AddDebugMessagePrintf(L"d%d", 2);
    error.AddDebugMessageFirst(L"d0");
    error.AddDebugMessageFirst(L"");
    EXPECT_EQ(std::wstring(L"d0\r\nd1\r\nd2"), error.pszGetDebugMessage());
    error.AddUserMessage(&gstMyModuleInfo32, 25193);
    EXPECT_EQ(std::wstring(L"X\r\nA\r\nB\r\n") + CatalogText(25193), error.pszGetUserMessage());
    EXPECT_EQ(25193u, error.nGetErrorId(0));
}

TEST(XError, StringSlotsWithOverlappingTexts)
{
    CXError error(&gstMyModuleInfo32);
    wchar_t* p = nullptr;
    error.__vpszAllocString(&p, L"abcdef");
    // The source lies inside the block that is replaced.
    error.__vpszReallocString(&p, p + 2);
    EXPECT_EQ(std::wstring(L"cdef"), p);
    error.__vpszConcatString(&p, p + 1);
    EXPECT_EQ(std::wstring(L"cdefdef"), p);
    error.__vpszReallocString(&p, p);
    EXPECT_EQ(std::wstring(L"cdefdef"), p);
    error.__vpszReallocString(&p, size_t{3});
    EXPECT_EQ(std::wstring(L"cde"), p);
    error.__vpszReallocString(&p, static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(nullptr, p);
    error.__vpszConcatString(&p, L"neuf");
    EXPECT_EQ(std::wstring(L"neuf"), p);
    error.__vDeleteString(&p);
    EXPECT_EQ(nullptr, p);
}

// Every member back to its initial value but the module id (this module's).
void ExpectCleared(const CXError& error)
{
    EXPECT_FALSE(error.bIsError());
    EXPECT_EQ(0u, error.nGetUserErrorCode());
    EXPECT_EQ(0, error.nGetUserErrorCode55());
    EXPECT_EQ(0, error.nGetDetailId());
    EXPECT_EQ(0u, error.dwGetSystemErrorCode());
    EXPECT_EQ(0, error.nNumInfo());
    EXPECT_EQ(0, error.nNumErrorId());
    EXPECT_EQ(0, error.nGetNbSubError());
    EXPECT_EQ(0, error.nGetFunctionSyntax());
    EXPECT_EQ(0, error.wGetTraitmentLine());
    EXPECT_EQ(0, error.wGetTraitmentThread());
    EXPECT_EQ(32u, error.nGetModuleId());
    for (const wchar_t* text : {error.pszGetUserMessage(), error.pszGetDebugMessage(),
                                error.pszGetSystemErrorMessage(), error.pszGetFunctionName(), error.pszGetModName(),
                                error.pszGetModVersion(), error.pszGetTraitmentCaption(), error.pszGetObjectName()})
        EXPECT_EQ(std::wstring(), text);
}

TEST(XError, LevelOneClearsEverything)
{
    _CXErrorModule32 error;
    error.SetUserError(&gstMyModuleInfo32, 15, L"f");
    error.AddDebugMessageNoFormat(L"d");
    error.SetSystemErrorParam(2);
    error.SetFunctionName(L"HLit", 2);
    error.SetVMContext(L"Traitement", L"Objet", 12, 3);
    error.AddInfo(CXError::EIT_ITEMNAME, L"rub");
    error.SetUserErrorCode55(4);
    CXError sub(&gstMyModuleInfo32);
    error.AddSubError(&sub);
    error.SetErrorLevel(2);
    EXPECT_EQ(CXError::EL_WARNING, error.eGetErrorLevel());

    error.SetErrorLevel(1);
    ExpectCleared(error);
}

// A reset frees only what is held: each member held alone must still go,
// and the error then reads as a new one (what was not freed, the leak check
// reports).
TEST(XError, ResetClearsEachMemberHeldAlone)
{
    const int32_t code = 7;
    const std::vector<std::pair<const char*, std::function<void(CXError&)>>> cases = {
        {"nothing", [](CXError&) {}},
        {"user message", [](CXError& e) { e.AddUserMessage(L"u"); }},
        {"debug message", [](CXError& e) { e.AddDebugMessageNoFormat(L"d"); }},
        {"function name", [](CXError& e) { e.SetFunctionName(L"HLit", 2); }},
        {"context caption", [](CXError& e) { e.SetVMContext(L"T", 4, 5); }},
        {"context object", [](CXError& e) { e.SetVMContext(L"O"); }},
        {"system text", [](CXError& e) { e.SetSystemErrorMessage(L"s"); }},
        {"system code and text", [](CXError& e) { e.SetSystemErrorParam(2); }},
        {"system code alone", [](CXError& e) { e.SetSystemError(2, nullptr); }},
        {"context line and thread alone", [](CXError& e) { e.SetVMContext(nullptr, 4, 5); }},
        {"module name", [](CXError& e) { e.InitModName(L"m"); }},
        {"module version", [](CXError& e) { e.InitModVersion(L"1"); }},
        {"message id", [](CXError& e) { e.AddUserMessage(&gstMyModuleInfo32, 25193); }},
        {"info item", [&](CXError& e) { e.AddInfo(CXError::EIT_NATIVECODE, &code); }},
        {"emptied info list", [&](CXError& e) {
             e.AddInfo(CXError::EIT_ITEMNAME, L"rub");
             e.DeleteInfo(CXError::EIT_ITEMNAME);
         }},
        {"sub-error", [](CXError& e) {
             CXError sub(&gstMyModuleInfo32, 15, L"f");
             e.AddSubErrorNoUserMessage(&sub);
         }},
        {"level", [](CXError& e) { e.SetErrorLevel(3); }},
        {"user code", [](CXError& e) { e.SetUserErrorCode(15); }},
        {"secondary code", [](CXError& e) { e.SetUserErrorCode55(4); }},
        {"detail id", [](CXError& e) { e.SetDetailId(9); }},
        {"negative detail id", [](CXError& e) { e.SetDetailId(-1); }},
        {"everything", [](CXError& e) { e.SetUserError(&gstMyModuleInfo32, 15, L"f"); }},
    };
    const CXError fresh(&gstMyModuleInfo32);
    const std::wstring freshDump = fresh.StringDump(CXError::XEI_ALL).pszGet();
    for (const auto& [name, set] : cases) {
        SCOPED_TRACE(name);
        CXError error(&gstMyModuleInfo32);
        set(error);
        for (int nRound = 0; nRound < 2; ++nRound) {
            error.RAZ();
            EXPECT_EQ(freshDump, error.StringDump(CXError::XEI_ALL).pszGet());
            ExpectCleared(error);
        }
        // Usable again after the reset.
        error.SetUserError(&gstMyModuleInfo32, 15, L"g");
        EXPECT_EQ(15u, error.nGetUserErrorCode());
    }
}

TEST(XError, FunctionNameAndContext)
{
    CXError error(&gstMyModuleInfo32);
    error.SetFunctionName(nullptr, 5);
    EXPECT_EQ(0, error.nGetFunctionSyntax());
    error.SetFunctionName(L"HLit", 5);
    EXPECT_EQ(5, error.nGetFunctionSyntax());
    EXPECT_EQ(std::wstring(L"HLit"), error.pszGetFunctionName());
    error.SetVMContext(L"T", L"O", 12, 3);
    EXPECT_EQ(12, error.wGetTraitmentLine());
    EXPECT_EQ(3, error.wGetTraitmentThread());
    EXPECT_EQ(std::wstring(L"O"), error.pszGetObjectName());
    error.SetVMContext(nullptr, L"P", 20, 4);
    EXPECT_EQ(12, error.wGetTraitmentLine());
    error.SetVMContext(L"T2", 30, 5);
    EXPECT_EQ(30, error.wGetTraitmentLine());
    error.SetVMContext(L"P2");
    EXPECT_EQ(std::wstring(L"P2"), error.pszGetObjectName());
    error.InitModInfo(&kBrokenModule, 0);
    EXPECT_EQ(std::wstring(L"autre.so"), error.pszGetModName());
    error.InitModInfo(&gstMyModuleInfo32, 0);
    EXPECT_EQ(std::wstring(L"autre.so"), error.pszGetModName());
    error.InitModInfo(&gstMyModuleInfo32, 1);
    EXPECT_EQ(std::wstring(L"vxmysql.so"), error.pszGetModName());
}

// A counted object that notes its deletion.
class Counted : public CVXUnknown
{
public:
    explicit Counted(bool* pbDeleted) : m_pbDeleted(pbDeleted) {}
    ~Counted() override { *m_pbDeleted = true; }

private:
    bool* m_pbDeleted;
};

// The host's counted object: slot 1 takes a reference, slot 2 drops one.
class HostObject : public IXErrorHostObject
{
public:
    void* _vSlot0() override { return nullptr; }
    uint32_t vAddRef() override { return static_cast<uint32_t>(++m_nRefs); }
    uint32_t vRelease() override { return static_cast<uint32_t>(--m_nRefs); }
    int m_nRefs = 0;
};

TEST(XError, InfoItems)
{
    CXError error(&gstMyModuleInfo32);
    int32_t code = 1045;
    error.AddInfo(CXError::EIT_NATIVECODE, &code);
    code = 2006;
    error.AddInfo(CXError::EIT_NATIVECODE, &code);
    EXPECT_EQ(1, error.nNumInfo());

    wchar_t name[] = L"client";
    error.AddInfo(CXError::EIT_LOGICALTABLENAME, name);
    name[0] = L'X';
    int64_t record = 1LL << 40;
    error.AddInfo(CXError::EIT_RECNUM, &record);
    int marker = 0;
    error.AddInfo(CXError::EIT_POINTER, &marker);
    // Never stored.
    for (int type : {0, 34, 35, 40, -1})
        error.AddInfo(static_cast<CXError::eERRORINFOTYPE>(type), L"x");
    error.AddInfo(CXError::EIT_SRCFILE, nullptr);
    EXPECT_EQ(4, error.nNumInfo());

    // Texts and pointers come back as pointers, 64-bit numbers through the
    // pointer given, 32-bit numbers in the pointer variable itself.
    CXError::eERRORINFOTYPE type = CXError::EIT_NONE;
    const void* value = nullptr;
    error.GetInfo(0, &type, &value);
    EXPECT_EQ(CXError::EIT_NATIVECODE, type);
    int32_t read32 = 0;
    std::memcpy(&read32, &value, sizeof read32);
    EXPECT_EQ(2006, read32);
    error.GetInfo(1, &type, &value);
    EXPECT_EQ(std::wstring(L"client"), static_cast<const wchar_t*>(value));
    int64_t read64 = 0;
    value = &read64;
    error.GetInfo(2, &type, &value);
    EXPECT_EQ(CXError::EIT_RECNUM, type);
    EXPECT_EQ(1LL << 40, read64);
    error.GetInfo(3, &type, &value);
    EXPECT_EQ(&marker, value);
    error.GetInfo(4, &type, &value);
    EXPECT_EQ(CXError::EIT_NONE, type);

    EXPECT_TRUE(error.bGetInfo(CXError::EIT_LOGICALTABLENAME, &value));
    EXPECT_FALSE(error.bGetInfo(CXError::EIT_ITEMNAME, &value));
    int index = -1;
    EXPECT_TRUE(error.__bGetInfoIndice(CXError::EIT_RECNUM, &index));
    EXPECT_EQ(2, index);
    error.DeleteInfo(CXError::EIT_LOGICALTABLENAME);
    EXPECT_FALSE(error.bHasInfo(CXError::EIT_LOGICALTABLENAME));
    EXPECT_EQ(3, error.nNumInfo());

    EXPECT_FALSE(error.__bGetXInfo(0x4));
    error.__SetXInfo(0x4 | 0x1, 1);
    error.__SetXInfo(0x1, 0);
    EXPECT_TRUE(error.__bGetXInfo(0x4));
    EXPECT_FALSE(error.__bGetXInfo(0x1));
}

TEST(XError, CountedInfoObjects)
{
    bool bDeleted = false;
    auto* access = new Counted(&bDeleted);
    access->dwAddRef();
    bool bOtherDeleted = false;
    auto* other = new Counted(&bOtherDeleted);
    other->dwAddRef();
    HostObject host;
    {
        CXError error(&gstMyModuleInfo32);
        error.AddInfo(CXError::EIT_DATAACCESS, access);
        error.AddInfo(CXError::EIT_DATAACCESS, access);
        EXPECT_EQ(2u, access->dwGetRefCount());
        error.AddInfo(CXError::EIT_DATAACCESS, other);
        EXPECT_EQ(1u, access->dwGetRefCount());
        EXPECT_EQ(2u, other->dwGetRefCount());
        error.AddInfo(CXError::EIT_EXCEPTIONDOTNET, &host);
        EXPECT_EQ(1, host.m_nRefs);
        error.DeleteInfo(CXError::EIT_EXCEPTIONDOTNET);
        EXPECT_EQ(0, host.m_nRefs);
        error.AddInfo(CXError::EIT_EXCEPTIONDOTNET, &host);
    }
    EXPECT_EQ(0, host.m_nRefs);
    EXPECT_EQ(1u, other->dwGetRefCount());
    other->dwRelease();
    EXPECT_TRUE(bOtherDeleted);
    // The error held the last reference: it deletes the object.
    {
        CXError error(&gstMyModuleInfo32);
        error.AddInfo(CXError::EIT_DATAACCESS, access);
        access->dwRelease();
        EXPECT_FALSE(bDeleted);
    }
    EXPECT_TRUE(bDeleted);
}

TEST(XError, SubErrors)
{
    _CXErrorModule32 parent;
    parent.AddUserMessage(L"parent");
    CXError first(&gstMyModuleInfo32);
    first.SetUserError(&gstMyModuleInfo32, 8);
    parent.AddSubError(&first);
    EXPECT_EQ(std::wstring(L"parent\r\n") + CatalogText(28437), parent.pszGetUserMessage());
    // Only the first sub-error lends its message.
    parent.AddSubError(&first);
    parent.AddSubErrorNoUserMessage(&first);
    EXPECT_EQ(3, parent.nGetNbSubError());
    EXPECT_EQ(std::wstring(L"parent\r\n") + CatalogText(28437), parent.pszGetUserMessage());
    // A full copy leaves the source as it was; a light one moves it.
    EXPECT_EQ(8u, first.nGetUserErrorCode());
    parent.AddSubErrorLight(&first);
    EXPECT_FALSE(first.bIsError());
    EXPECT_EQ(std::wstring(), first.pszGetUserMessage());
    ASSERT_NE(nullptr, parent.pclGetSubError(3));
    EXPECT_EQ(8u, parent.pclGetSubError(3)->nGetUserErrorCode());
    EXPECT_EQ(32u, parent.pclGetSubError(3)->nGetModuleId());
    EXPECT_EQ(nullptr, parent.pclGetSubError(-1));
    EXPECT_EQ(nullptr, parent.pclGetSubError(4));

    // An empty first sub-error still adds a line.
    CXError lone(&gstMyModuleInfo32);
    lone.AddUserMessage(L"seul");
    CXError blank(&gstMyModuleInfo32);
    lone.AddSubError(&blank);
    EXPECT_EQ(std::wstring(L"seul\r\n"), lone.pszGetUserMessage());
    // Moving an error into its own list is refused.
    lone.AddSubErrorLight(&lone);
    EXPECT_EQ(1, lone.nGetNbSubError());
    lone.AddSubError(&lone);
    EXPECT_EQ(2, lone.nGetNbSubError());
    EXPECT_EQ(1, lone.pclGetSubError(1)->nGetNbSubError());

    parent.DeleteAllSubError();
    EXPECT_EQ(0, parent.nGetNbSubError());
    EXPECT_EQ(nullptr, parent.pclGetSubError(0));
}

// An error holding one of everything, sub-error and data access included.
struct FullError
{
    FullError() : error(&gstMyModuleInfo32), access(new Counted(&bDeleted))
    {
        error.SetUserError(&gstMyModuleInfo32, 15, L"base.fic");
        error.AddDebugMessageNoFormat(L"debug");
        error.SetSystemErrorParam(13);
        error.SetFunctionName(L"HLit", 3);
        error.SetVMContext(L"Traitement", L"Objet", 7, 2);
        error.SetUserErrorCode55(55);
        error.AddInfo(CXError::EIT_SRCFILE, L"base.fic");
        error.AddInfo(CXError::EIT_DATAACCESS, access);
        int32_t native = 1045;
        error.AddInfo(CXError::EIT_NATIVECODE, &native);
        CXError sub(&gstMyModuleInfo32);
        sub.SetUserError(&gstMyModuleInfo32, 8);
        error.AddSubErrorNoUserMessage(&sub);
    }

    bool bDeleted = false;
    CXError error;
    Counted* access;
};

void ExpectSameContent(const CXError& a, const CXError& b)
{
    EXPECT_EQ(a.eGetErrorLevel(), b.eGetErrorLevel());
    EXPECT_EQ(a.nGetUserErrorCode(), b.nGetUserErrorCode());
    EXPECT_EQ(a.nGetUserErrorCode55(), b.nGetUserErrorCode55());
    EXPECT_EQ(Text(a.pszGetUserMessage()), Text(b.pszGetUserMessage()));
    EXPECT_EQ(Text(a.pszGetDebugMessage()), Text(b.pszGetDebugMessage()));
    EXPECT_EQ(Text(a.pszGetSystemErrorMessage()), Text(b.pszGetSystemErrorMessage()));
    EXPECT_EQ(Text(a.pszGetModName()), Text(b.pszGetModName()));
    EXPECT_EQ(Text(a.pszGetFunctionName()), Text(b.pszGetFunctionName()));
    EXPECT_EQ(Text(a.pszGetTraitmentCaption()), Text(b.pszGetTraitmentCaption()));
    EXPECT_EQ(Text(a.pszGetObjectName()), Text(b.pszGetObjectName()));
    EXPECT_EQ(a.dwGetSystemErrorCode(), b.dwGetSystemErrorCode());
    EXPECT_EQ(a.nGetDetailId(), b.nGetDetailId());
    EXPECT_EQ(a.nGetFunctionSyntax(), b.nGetFunctionSyntax());
    EXPECT_EQ(a.wGetTraitmentLine(), b.wGetTraitmentLine());
    EXPECT_EQ(a.nNumErrorId(), b.nNumErrorId());
    EXPECT_EQ(a.nGetErrorId(0), b.nGetErrorId(0));
}

TEST(XError, CopiesAndMoves)
{
    FullError full;
    full.access->dwAddRef();

    CXError copy(&gstMyModuleInfo32);
    copy.AddSubError(&full.error);  // one sub-error before the copy
    copy.Copy(full.error);
    ExpectSameContent(full.error, copy);
    EXPECT_EQ(3, copy.nNumInfo());
    // The source, the test, the earlier sub-error and the copy.
    EXPECT_EQ(4u, full.access->dwGetRefCount());
    // The source's sub-error goes after the one already there.
    EXPECT_EQ(2, copy.nGetNbSubError());
    EXPECT_EQ(8u, copy.pclGetSubError(1)->nGetUserErrorCode());
    copy.Copy(&copy);
    EXPECT_EQ(3, copy.nNumInfo());

    // Another module's copy leaves the data access out; so does the plain
    // copy constructor (module id 0).
    CXError foreign(&kBrokenModule, full.error);
    EXPECT_EQ(2, foreign.nNumInfo());
    EXPECT_FALSE(foreign.bHasInfo(CXError::EIT_DATAACCESS));
    CXError plain(full.error);
    EXPECT_EQ(0u, plain.nGetModuleId());
    EXPECT_FALSE(plain.bHasInfo(CXError::EIT_DATAACCESS));
    ExpectSameContent(full.error, plain);
    EXPECT_EQ(4u, full.access->dwGetRefCount());

    // A move takes everything, references included, and leaves no error.
    CXError moved(&gstMyModuleInfo32, &copy, 1);
    ExpectSameContent(full.error, moved);
    EXPECT_EQ(3, moved.nNumInfo());
    EXPECT_EQ(2, moved.nGetNbSubError());
    EXPECT_EQ(4u, full.access->dwGetRefCount());
    EXPECT_FALSE(copy.bIsError());
    EXPECT_EQ(0, copy.nNumInfo());
    EXPECT_EQ(0, copy.nNumErrorId());
    EXPECT_EQ(0, copy.nGetNbSubError());
    EXPECT_EQ(std::wstring(), copy.pszGetUserMessage());

    // Moved into another module: its data access is released, not carried.
    CXError moved2(44u, &moved, 1);
    EXPECT_EQ(2, moved2.nNumInfo());
    EXPECT_EQ(3u, full.access->dwGetRefCount());
    full.access->dwRelease();
}

TEST(XError, ConstructorsAndCounting)
{
    CXError raised(&gstMyModuleInfo32, 15u, L"t.fic");
    EXPECT_EQ(15u, raised.nGetUserErrorCode());
    CXError withDebug(&gstMyModuleInfo32, L"##(Test)-ici##", 15u, L"t.fic");
    EXPECT_EQ(std::wstring(L"##(Test)-ici##"), withDebug.pszGetDebugMessage());
    EXPECT_EQ(Text(raised.pszGetUserMessage()), Text(withDebug.pszGetUserMessage()));
    _CXErrorModule32 module(15u, L"t.fic");
    EXPECT_EQ(Text(raised.pszGetUserMessage()), Text(module.pszGetUserMessage()));
    _CXErrorModule32 empty;
    EXPECT_FALSE(empty.bIsError());
    EXPECT_EQ(32u, empty.nGetModuleId());

    auto* counted = new _CXErrorModule32(8u);
    counted->dwAddRef();
    counted->dwAddRef();
    EXPECT_EQ(1u, counted->dwRelease());
    EXPECT_EQ(0u, counted->dwRelease());  // deleted: the leak checker would say otherwise
}

}  // namespace
