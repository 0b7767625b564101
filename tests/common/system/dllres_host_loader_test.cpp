// The host's string loader, installed through CommandeComposante command 2.
// Once installed it stays for the life of the process, so it has this test
// executable to itself.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "common/system/commande_composante.h"
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "tests/common/system/resource_test_support.h"
#include "tests/host/support/test_environment.h"

namespace {

// Texts the stand-in host knows. Id 28541 is also in the module's block:
// the host's text must win. Id 7000 answers a count far too large.
constexpr unsigned kHostOnly = 7001;
constexpr unsigned kHuge = 7000;
constexpr unsigned kBlockOnly = 25193;

struct Call
{
    unsigned id;
    int capacity;
};
std::vector<Call> gCalls;

std::map<unsigned, std::wstring>& HostTexts()
{
    static std::map<unsigned, std::wstring> texts = {
        {28541, L"H\u00F4te : impossible d'ouvrir <%s>."},
        {kHostOnly, std::wstring(300, L'x') + L"<fin>"},
    };
    return texts;
}

// Copies what fits (terminated when there is room) and answers the whole
// length, as the host's loader does.
int StandinLoader(unsigned int id, wchar_t* buffer, int capacity)
{
    gCalls.push_back({id, capacity});
    if (id == kHuge)
        return INT_MAX;
    const auto it = HostTexts().find(id);
    if (it == HostTexts().end())
        return 0;
    const std::wstring& text = it->second;
    const int length = static_cast<int>(text.size());
    const int copy = length < capacity ? length : capacity;
    for (int i = 0; i < copy; ++i)
        buffer[i] = text[static_cast<size_t>(i)];
    if (copy < capacity)
        buffer[copy] = 0;
    return length;
}

void Install()
{
    ASSERT_EQ(1L, CommandeComposante(2, reinterpret_cast<long>(&StandinLoader)));
    gCalls.clear();
}

TEST(HostLoader, AskedFirstOnceInstalled)
{
    CTString text;
    ASSERT_EQ(nullptr, gpfnLoadStringVXM);
    ASSERT_EQ(1, DLLRES_bLoadString(&gstMyModuleInfo32, 28541, &text));
    EXPECT_EQ(vxtest::CatalogText(28541), text.pszGet());
    EXPECT_EQ(0, VXM_bLoadString(28541, &text));

    Install();
    ASSERT_EQ(1, DLLRES_bLoadString(&gstMyModuleInfo32, 28541, &text));
    EXPECT_EQ(HostTexts()[28541], text.pszGet());
    ASSERT_EQ(1u, gCalls.size());
    EXPECT_EQ(28541u, gCalls[0].id);
    EXPECT_EQ(256, gCalls[0].capacity);

    // The host has no such text: the block answers.
    ASSERT_EQ(1, DLLRES_bLoadString(&gstMyModuleInfo32, kBlockOnly, &text));
    EXPECT_EQ(vxtest::CatalogText(kBlockOnly), text.pszGet());
    // Neither has it.
    EXPECT_EQ(0, DLLRES_bLoadString(&gstMyModuleInfo32, 259, &text));
}

// A text longer than the first buffer is asked again with room for it.
TEST(HostLoader, LongTextTakesASecondCall)
{
    Install();
    CTString text;
    ASSERT_EQ(1, VXM_bLoadString(kHostOnly, &text));
    EXPECT_EQ(HostTexts()[kHostOnly], text.pszGet());
    ASSERT_EQ(2u, gCalls.size());
    EXPECT_EQ(256, gCalls[0].capacity);
    EXPECT_EQ(305, gCalls[1].capacity);
    // The host's texts need no module descriptor.
    EXPECT_EQ(1, DLLRES_bLoadString(nullptr, kHostOnly, &text));
}

// An answer no buffer could hold is refused, not allocated.
TEST(HostLoader, ImpossibleLengthIsRefused)
{
    Install();
    CTString text(L"avant");
    EXPECT_EQ(0, VXM_bLoadString(kHuge, &text));
    EXPECT_EQ(std::wstring(L"avant"), text.pszGet());
    EXPECT_EQ(1u, gCalls.size());
}

// Into a buffer the host's count comes back as it is, even beyond the
// capacity; no room still means no call and 0.
TEST(HostLoader, LoadIntoABufferAndCommandThree)
{
    Install();
    wchar_t buffer[16];
    EXPECT_EQ(305, DLLRES_nLoadString(&gstMyModuleInfo32, kHostOnly, buffer, 16));
    EXPECT_EQ(305, VXM_nLoadString(kHostOnly, buffer, 16));
    EXPECT_EQ(0, DLLRES_nLoadString(&gstMyModuleInfo32, kHostOnly, buffer, 0));
    EXPECT_EQ(0, DLLRES_nLoadString(&gstMyModuleInfo32, kHostOnly, nullptr, 16));
    EXPECT_EQ(2u, gCalls.size());

    stCommandeLoadString record = {24, kHostOnly, buffer, 16, 0};
    EXPECT_EQ(305L, CommandeComposante(3, reinterpret_cast<long>(&record)));
    EXPECT_EQ(305, record.nResult);
    EXPECT_EQ(std::wstring(16, L'x'), std::wstring(buffer, 16));

    // The block answers when the host does not know the text.
    const std::wstring own = vxtest::CatalogText(kBlockOnly);
    record = {24, kBlockOnly, buffer, 16, 0};
    EXPECT_EQ(15L, CommandeComposante(3, reinterpret_cast<long>(&record)));
    EXPECT_EQ(own.substr(0, 15), std::wstring(buffer));
}

// Error messages go through the host's text too.
TEST(HostLoader, ErrorMessagesUseTheHostsText)
{
    Install();
    _CXErrorModule32 error;
    error.SetUserError(&gstMyModuleInfo32, 15, L"base.fic");
    EXPECT_EQ(std::wstring(L"H\u00F4te : impossible d'ouvrir <base.fic>."), error.pszGetUserMessage());
    EXPECT_EQ(15u, error.nGetUserErrorCode());
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
}

}  // namespace
