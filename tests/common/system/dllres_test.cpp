// The resource-string layer over the module's own block (no host loader is
// ever installed in this process: see dllres_host_loader_test.cpp).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/system/commande_composante.h"
#include "common/system/ct_string_format_message.h"
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/text/ct_string.h"
#include "tests/common/system/resource_test_support.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::CatalogText;

// A module of three texts besides the block: a singular/plural pair, a text
// whose bytes do not unpack, and a plain one.
constexpr unsigned kPlural = 500;
constexpr unsigned kBroken = 501;
constexpr unsigned kPlain = 502;

const std::vector<unsigned char>& PluralBytes()
{
    static const std::vector<unsigned char> bytes = vxtest::PackRaw("%d fichier\n\xC2\xA7\n%d fichiers");
    return bytes;
}

int TestLookup(STRessourceModule& rec)
{
    static const std::vector<unsigned char> broken = {0, 7};
    static const std::vector<unsigned char> plain = vxtest::PackRaw("Texte <%s>");
    const std::vector<unsigned char>* bytes = nullptr;
    switch (rec.dwId) {
    case kPlural: bytes = &PluralBytes(); break;
    case kBroken: bytes = &broken; break;
    case kPlain: bytes = &plain; break;
    default: return 0;
    }
    rec.pbyData = bytes->data();
    rec.dwPackedLength = static_cast<uint32_t>(bytes->size());
    rec.dwEncoding = RES_ENCODING_UTF8;
    rec.nUsage = 2;
    return 1;
}

const _stMyModuleInfo kTestModule = {nullptr, 0, 77, L"test.so", L"1.0", &TestLookup, {}};

// An id of the block no text uses, and a long text of it.
constexpr unsigned kMissing = 259;

const _stResourceCatalog32& LongEntry()
{
    for (size_t i = 0; i < gnNbResourceCatalog32; ++i)
        if (CatalogText(gstResourceCatalog32[i].dwId).size() >= 40)
            return gstResourceCatalog32[i];
    return gstResourceCatalog32[0];
}

TEST(DllRes, EveryTextOfTheBlockLoads)
{
    ASSERT_EQ(nullptr, gpfnLoadStringVXM);
    for (size_t i = 0; i < gnNbResourceCatalog32; ++i) {
        const _stResourceCatalog32& entry = gstResourceCatalog32[i];
        CTString text;
        ASSERT_EQ(1, DLLRES_bLoadString(&gstMyModuleInfo32, entry.dwId, &text)) << entry.dwId;
        EXPECT_EQ(vxtest::Wide(entry.pszText), std::wstring(text.pszGet())) << entry.dwId;
        EXPECT_EQ(static_cast<int>(entry.nUsage), DLLRES_nGetUtilisation(&gstMyModuleInfo32, entry.dwId));
        EXPECT_EQ(static_cast<long>(entry.nUsage), CommandeComposante(4, entry.dwId));
    }
}

TEST(DllRes, MissingIdsAndDescriptors)
{
    ASSERT_EQ(nullptr, vxtest::FindCatalog(kMissing));
    CTString text(L"inchang\u00E9");
    EXPECT_EQ(0, DLLRES_bLoadString(&gstMyModuleInfo32, kMissing, &text));
    EXPECT_EQ(0, DLLRES_bLoadString(nullptr, 25193, &text));
    EXPECT_EQ(std::wstring(L"inchang\u00E9"), text.pszGet());
    wchar_t buffer[8] = {L'#'};
    EXPECT_EQ(0, DLLRES_nLoadString(&gstMyModuleInfo32, kMissing, buffer, 8));
    EXPECT_EQ(-1, DLLRES_nGetUtilisation(&gstMyModuleInfo32, kMissing));
    EXPECT_EQ(-1L, CommandeComposante(4, kMissing));
    EXPECT_EQ(0, DLLRES_bFormatMessage(&gstMyModuleInfo32, kMissing, &text, 1));
    wchar_t* formatted = buffer;
    EXPECT_EQ(0u, DLLRES_nFormatMessage(&gstMyModuleInfo32, kMissing, &formatted));
    EXPECT_EQ(nullptr, formatted);
    EXPECT_EQ(0L, CommandeComposante(7, 0));
}

// Into the caller's buffer: the length, or capacity - 1 when cut; no room
// writes nothing and answers 0.
TEST(DllRes, LoadIntoABuffer)
{
    const _stResourceCatalog32& entry = LongEntry();
    const std::wstring text = CatalogText(entry.dwId);
    const int length = static_cast<int>(text.size());
    ASSERT_GE(length, 40);
    struct Case { int capacity; bool nullBuffer; int result; };
    const Case cases[] = {
        {10, false, 9}, {1, false, 0}, {length, false, length - 1}, {length + 1, false, length},
        {0, false, 0}, {-3, false, 0}, {10, true, 0},
    };
    for (const Case& c : cases) {
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 8, L'#');
        EXPECT_EQ(c.result, DLLRES_nLoadString(&gstMyModuleInfo32, entry.dwId, c.nullBuffer ? nullptr : buffer.data(),
                                               c.capacity))
            << c.capacity;
        if (c.capacity > 0 && !c.nullBuffer)
            EXPECT_EQ(text.substr(0, static_cast<size_t>(c.result)), std::wstring(buffer.data())) << c.capacity;
        else
            EXPECT_EQ(L'#', buffer[0]) << c.capacity;
    }
}

// Command 3: the 24-byte request record.
TEST(DllRes, CommandThreeFillsTheRecord)
{
    const _stResourceCatalog32& entry = LongEntry();
    const std::wstring text = CatalogText(entry.dwId);
    wchar_t buffer[12];
    std::fill(std::begin(buffer), std::end(buffer), L'#');

    stCommandeLoadString record = {24, entry.dwId, buffer, 10, -7};
    EXPECT_EQ(9L, CommandeComposante(3, reinterpret_cast<long>(&record)));
    EXPECT_EQ(9, record.nResult);
    EXPECT_EQ(text.substr(0, 9), std::wstring(buffer));

    record = {24, entry.dwId, buffer + 11, 0, -7};
    EXPECT_EQ(0L, CommandeComposante(3, reinterpret_cast<long>(&record)));
    EXPECT_EQ(0, record.nResult);
    EXPECT_EQ(L'#', buffer[11]);

    // A record too short to hold the result is left alone.
    record = {20, entry.dwId, buffer, 10, -7};
    EXPECT_EQ(0L, CommandeComposante(3, reinterpret_cast<long>(&record)));
    EXPECT_EQ(-7, record.nResult);
    EXPECT_EQ(0L, CommandeComposante(3, 0));
}

stCommandeLoadString gLastRecord;
long gnLastCommand = 0;

long RecordingCommand(long nCommand, long nArgument)
{
    gnLastCommand = nCommand;
    gLastRecord = *reinterpret_cast<stCommandeLoadString*>(nArgument);
    return 0;
}

TEST(DllRes, ForceInitSendsAnEmptyRequest)
{
    EXPECT_EQ(0, DLLRES_bForceInitRessource(nullptr));
    EXPECT_EQ(1, DLLRES_bForceInitRessource(&RecordingCommand));
    EXPECT_EQ(3, gnLastCommand);
    EXPECT_EQ(24u, gLastRecord.dwSize);
    EXPECT_EQ(0u, gLastRecord.nId);
    EXPECT_EQ(nullptr, gLastRecord.pszBuffer);
    EXPECT_EQ(0, gLastRecord.nCapacity);
    // This module's own entry takes it without writing anywhere.
    EXPECT_EQ(1, DLLRES_bForceInitRessource(&CommandeComposante));
}

TEST(DllRes, ResourceModules)
{
    unsigned int size = 5;
    EXPECT_EQ(nullptr, DLLRES_pLoadResourceModule(&gstMyModuleInfo32, 25193, L"x", &size));
    EXPECT_EQ(nullptr, DLLRES_pLoadResource(&gstMyModuleInfo32, nullptr, 25193, L"x", &size));
    void* driver = dlopen(VX_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, driver) << dlerror();
    EXPECT_NE(nullptr, dlsym(driver, "DLLRES_pLoadResourceModule"));
    EXPECT_EQ(nullptr, DLLRES_pLoadResource(&gstMyModuleInfo32, driver, 25193, L"x", &size));
    dlclose(driver);
    void* other = dlopen(VX_STANDIN_NOEXEC_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, other) << dlerror();
    EXPECT_EQ(nullptr, DLLRES_pLoadResource(&gstMyModuleInfo32, other, 25193, L"x", &size));
    dlclose(other);
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0, DLLRES_bUtiliseDLLRes());
    EXPECT_EQ(nullptr, ghGetRessourceHandle());
}

TEST(DllRes, Formatting)
{
    const std::wstring format = CatalogText(28541);
    const size_t at = format.find(L"%s");
    ASSERT_NE(std::wstring::npos, at);
    std::wstring expected = format;
    expected.replace(at, 2, L"fichier.txt");

    CTString out;
    EXPECT_EQ(1, DLLRES_bFormatMessage(&gstMyModuleInfo32, 28541, &out, L"fichier.txt"));
    EXPECT_EQ(expected, out.pszGet());
    wchar_t* allocated = nullptr;
    EXPECT_EQ(expected.size(), DLLRES_nFormatMessage(&gstMyModuleInfo32, 28541, &allocated, L"fichier.txt"));
    ASSERT_NE(nullptr, allocated);
    EXPECT_EQ(expected, allocated);
    std::free(allocated);

    EXPECT_EQ(std::wstring(L"mot-5"), CTStringFormatMessage(L"%s-%d", L"mot", 5).pszGet());
    EXPECT_EQ(std::wstring(L"%s tel quel"), CTStringFormatMessage(L"%%s tel quel").pszGet());
    EXPECT_EQ(3u, DLLRES_dwFormatMessage(L"abc", &out, nullptr));
    EXPECT_EQ(std::wstring(L"abc"), out.pszGet());
    EXPECT_EQ(0u, DLLRES_dwFormatMessage(L"", &out, nullptr));
    EXPECT_EQ(0, out.nTaille());
}

TEST(DllRes, SingularAndPluralForms)
{
    CTString out;
    EXPECT_EQ(1, DLLRES_bFormatMessageSingulierPluriel(&kTestModule, 0, kPlural, &out, 1));
    EXPECT_EQ(std::wstring(L"1 fichier"), out.pszGet());
    EXPECT_EQ(1, DLLRES_bFormatMessageSingulierPluriel(&kTestModule, 1, kPlural, &out, 3));
    EXPECT_EQ(std::wstring(L"3 fichiers"), out.pszGet());
    EXPECT_EQ(0, DLLRES_bFormatMessageSingulierPluriel(&kTestModule, 2, kPlural, &out, 3));
    EXPECT_EQ(0, DLLRES_bFormatMessageSingulierPluriel(&kTestModule, 0, kMissing, &out, 3));
}

// A text that cannot be unpacked loads as empty (and formats to nothing).
TEST(DllRes, TextThatDoesNotUnpack)
{
    CTString out(L"avant");
    EXPECT_EQ(1, DLLRES_bLoadString(&kTestModule, kBroken, &out));
    EXPECT_EQ(0, out.nTaille());
    wchar_t buffer[8];
    EXPECT_EQ(0, DLLRES_nLoadString(&kTestModule, kBroken, buffer, 8));
    EXPECT_EQ(0, DLLRES_bFormatMessage(&kTestModule, kBroken, &out));
    EXPECT_EQ(2, DLLRES_nGetUtilisation(&kTestModule, kBroken));
    EXPECT_EQ(1, DLLRES_bFormatMessage(&kTestModule, kPlain, &out, L"a"));
    EXPECT_EQ(std::wstring(L"Texte <a>"), out.pszGet());
}

TEST(DllRes, StartAndEnd)
{
    EXPECT_EQ(1, DLLRES_bInit(nullptr, 0));
    EXPECT_EQ(1u, gbInitialise);
    DLLRES_Term();
    EXPECT_EQ(0u, gbInitialise);
}

}  // namespace
