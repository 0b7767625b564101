// Every function that takes a message's arguments after its own counts them
// and hands the count to the formatter: a message raised with fewer
// arguments than its text takes shows the missing inserts empty. The
// list forms behind them are called with sentinels after the counted
// arguments ("LEAK", 4242): a formatter that read past the count would
// print them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "common/system/counted_arguments.h"
#include "common/system/disk_file.h"
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/system/vx_file.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "common/text/string_array.h"
#include "tests/common/system/resource_test_support.h"
#include "tests/common/system/scratch_directory.h"

namespace {

constexpr wchar_t kLeak[] = L"LEAK";
constexpr long long kLeakNumber = 4242;

// "Impossible de renommer en <%s> le fichier <%s>."
constexpr unsigned kRename = 28124;
// "Impossible de verrouiller le fichier <%s> (position %lld, longueur %lld)."
constexpr unsigned kLock = 28145;
// "Ce n'est pas un fichier de la version %s : <%s>."
constexpr unsigned kVersion = 28555;

// A module with one singular/plural text of two conversions.
constexpr unsigned kPlural = 600;

int PluralLookup(STRessourceModule& rec)
{
    static const std::vector<unsigned char> bytes =
        vxtest::PackRaw("%d fichier dans <%s>\n\xC2\xA7\n%d fichiers dans <%s>");
    if (rec.dwId != kPlural)
        return 0;
    rec.pbyData = bytes.data();
    rec.dwPackedLength = static_cast<uint32_t>(bytes.size());
    rec.dwEncoding = RES_ENCODING_UTF8;
    rec.nUsage = 2;
    return 1;
}

const _stMyModuleInfo kPluralModule = {nullptr, 0, 78, L"test.so", L"1.0", &PluralLookup, {}};

std::wstring Take(wchar_t* text)
{
    std::wstring s = text != nullptr ? text : L"<null>";
    std::free(text);
    return s;
}

TEST(FormatMessageRoads, ResourceFormsCountTheirArguments)
{
    ASSERT_EQ(L"Impossible de renommer en <%s> le fichier <%s>.", vxtest::CatalogText(kRename));
    const std::wstring sOne = L"Impossible de renommer en <a> le fichier <>.";
    const std::wstring sNone = L"Impossible de renommer en <> le fichier <>.";

    CTString out;
    EXPECT_EQ(1, DLLRES_bFormatMessage(&gstMyModuleInfo32, kRename, &out, L"a"));
    EXPECT_EQ(sOne, out.pszGet());
    EXPECT_EQ(1, DLLRES_bFormatMessage(&gstMyModuleInfo32, kRename, &out));
    EXPECT_EQ(sNone, out.pszGet());
    const auto FormatList = [&](va_list* pList, int n) {
        return DLLRES_bFormatMessageList(&gstMyModuleInfo32, kRename, &out, pList, n);
    };
    EXPECT_EQ(1, CallWithArgumentList(FormatList, 1, L"a", kLeak));
    EXPECT_EQ(sOne, out.pszGet());

    wchar_t* text = nullptr;
    EXPECT_EQ(sOne.size(), DLLRES_nFormatMessage(&gstMyModuleInfo32, kRename, &text, L"a"));
    EXPECT_EQ(sOne, Take(text));
    EXPECT_EQ(sNone.size(), DLLRES_nFormatMessage(&gstMyModuleInfo32, kRename, &text));
    EXPECT_EQ(sNone, Take(text));
    const auto FormatListInto = [&](va_list* pList, int n) {
        return DLLRES_nFormatMessageList(&gstMyModuleInfo32, kRename, &text, pList, n);
    };
    EXPECT_EQ(sNone.size(), CallWithArgumentList(FormatListInto, 0, kLeak, kLeak));
    EXPECT_EQ(sNone, Take(text));

    EXPECT_EQ(1, DLLRES_bFormatMessageSingulierPluriel(&kPluralModule, 1, kPlural, &out, 3));
    EXPECT_EQ(std::wstring(L"3 fichiers dans <>"), out.pszGet());
    EXPECT_EQ(1, DLLRES_bFormatMessageSingulierPluriel(&kPluralModule, 0, kPlural, &out));
    EXPECT_EQ(std::wstring(L" fichier dans <>"), out.pszGet());
    const auto PluralList = [&](va_list* pList, int n) {
        return DLLRES_bFormatMessageSingulierPlurielList(&kPluralModule, 1, kPlural, &out, pList, n);
    };
    EXPECT_EQ(1, CallWithArgumentList(PluralList, 1, 3, kLeak));
    EXPECT_EQ(std::wstring(L"3 fichiers dans <>"), out.pszGet());
    EXPECT_EQ(1, DLLRES_bFormatMessageSingulierPluriel(&kPluralModule, 1, kPlural, &out, 3, L"d"));
    EXPECT_EQ(std::wstring(L"3 fichiers dans <d>"), out.pszGet()) << "enough arguments: unchanged";
}

TEST(FormatMessageRoads, StringFormsCountTheirArguments)
{
    CTString s;
    EXPECT_EQ(6u, s.FormatMessageW(L"<%s> <%s>", L"a"));
    EXPECT_EQ(std::wstring(L"<a> <>"), s.pszGet());
    EXPECT_EQ(4u, s.FormatMessageW(L"%d, %d", 12));
    EXPECT_EQ(std::wstring(L"12, "), s.pszGet());

    // Inserts read no further than the arguments; a '*' width is one too.
    const auto a = reinterpret_cast<intptr_t>(L"a");
    EXPECT_EQ(3u, s.FormatMessageWin(L"%1 %3.", a, reinterpret_cast<intptr_t>(L"b")));
    EXPECT_EQ(std::wstring(L"a ."), s.pszGet());
    EXPECT_EQ(2u, s.FormatMessageWin(L"[%1!*s!]", a));
    EXPECT_EQ(std::wstring(L"[]"), s.pszGet());
    EXPECT_EQ(6u, s.FormatMessageWin(L"[%1!*s!]", a, int64_t{4}));
    EXPECT_EQ(std::wstring(L"[   a]"), s.pszGet()) << "enough arguments: unchanged";

    CTStringArray array;
    EXPECT_EQ(6, array.AjouteFormatMessageWin(L"%s-%u-", L"base"));
    EXPECT_EQ(0, array.AjouteFormatMessageWin(L"%s"));
    ASSERT_EQ(2, array.nGetNbElement());
    EXPECT_EQ(std::wstring(L"base--"), array[0]->pszGet());
    EXPECT_EQ(0, array[1]->nTaille());
}

// The file layers' report functions, reached as the types built on them do.
class ReportingFile : public CDiskFile
{
public:
    using CDiskFile::_Report;
    using CDiskFile::_ReportList;
};

class ReportingTypedFile : public CVXFile
{
public:
    using CVXFile::_RaiseError;
    using CVXFile::_RaiseErrorList;
};

class ReportingFileSystem : public CDiskFileSystem
{
public:
    using CDiskFileSystem::_AddStaticMessage;
    using CDiskFileSystem::_AddStaticMessageList;
};

class FileReportRoads : public vxtest::ScratchDirectory
{
};

TEST_F(FileReportRoads, StreamReport)
{
    ASSERT_EQ(L"Impossible de verrouiller le fichier <%s> (position %lld, longueur %lld).",
              vxtest::CatalogText(kLock));
    const std::wstring sExpected = L"Impossible de verrouiller le fichier <f> (position , longueur ).";
    {
        ReportingFile file;
        file._Report(kLock, 0, nullptr, nullptr, L"f");
        EXPECT_EQ(sExpected, file.pclGetXError()->pszGetUserMessage());
    }
    {
        ReportingFile file;
        CallWithArgumentList([&](va_list* pList, int n) { file._ReportList(kLock, 0, nullptr, nullptr, pList, n); }, 1,
                             L"f", kLeakNumber, kLeakNumber);
        EXPECT_EQ(sExpected, file.pclGetXError()->pszGetUserMessage());
    }
    ReportingFile file;
    file._Report(kLock, 0, nullptr, nullptr, L"f", 3LL, 1LL);
    EXPECT_STREQ(L"Impossible de verrouiller le fichier <f> (position 3, longueur 1).",
                 file.pclGetXError()->pszGetUserMessage());
}

TEST_F(FileReportRoads, TypedFileHeaderError)
{
    ASSERT_EQ(L"Ce n'est pas un fichier de la version %s : <%s>.", vxtest::CatalogText(kVersion));
    ReportingTypedFile file;
    ASSERT_TRUE(file.bOpen(WPath("t").c_str(), static_cast<CVXFile::eFORMAT>(1), IXStream::XACCESS_READWRITE,
                           IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE));
    CXError* e = file.pclGetXError();
    ASSERT_NE(nullptr, e);
    file._RaiseError(L"debug", kVersion, L"20.0");
    EXPECT_STREQ(L"Ce n'est pas un fichier de la version 20.0 : <>.", e->pszGetUserMessage());
    e->RAZ();
    CallWithArgumentList([&](va_list* pList, int n) { file._RaiseErrorList(L"debug", kVersion, pList, n); }, 0, kLeak,
                         kLeak);
    EXPECT_STREQ(L"Ce n'est pas un fichier de la version  : <>.", e->pszGetUserMessage());
}

TEST_F(FileReportRoads, FileSystemReport)
{
    _CXErrorModule32 error;
    ReportingFileSystem::_AddStaticMessage(&error, kRename, L"src", L"dst", L"dst");
    EXPECT_STREQ(L"Impossible de renommer en <dst> le fichier <>.", error.pszGetUserMessage());
    error.RAZ();
    ReportingFileSystem::_AddStaticMessage(&error, kRename, L"src", nullptr);
    EXPECT_STREQ(L"Impossible de renommer en <> le fichier <>.", error.pszGetUserMessage());
    error.RAZ();
    CallWithArgumentList(
        [&](va_list* pList, int n) {
            ReportingFileSystem::_AddStaticMessageList(&error, kRename, L"src", nullptr, pList, n);
        },
        1, L"dst", kLeak);
    EXPECT_STREQ(L"Impossible de renommer en <dst> le fichier <>.", error.pszGetUserMessage());
}

}  // namespace
