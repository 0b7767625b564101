// The loader against Debian's client library, Connector/C behind the name
// "libmysqlclient.so" (package libmariadb-dev-compat): its version text is
// the connector's ("3.3.x"), yet it is read as the 5.1-or-later client it is,
// with 128-byte field records, and every function is bound.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"

namespace {

using vxtest::Wide;
using DebianClientLibrary = vxtest::ClientLibraryTest;

// The version text as the library gives it to any caller.
std::string DirectVersionText(const char* pszName)
{
    void* pLibrary = dlopen(pszName, RTLD_NOW | RTLD_LOCAL);
    if (pLibrary == nullptr)
        return {};
    auto pfn = reinterpret_cast<const char* (*)()>(dlsym(pLibrary, "mysql_get_client_info"));
    std::string sText = pfn != nullptr ? pfn() : "";
    dlclose(pLibrary);
    return sText;
}

TEST_F(DebianClientLibrary, IsIdentifiedAsAFiveOneOrLaterClient)
{
    // By default, and by the name the library has without the compatibility
    // package.
    for (const wchar_t* pszName : {static_cast<const wchar_t*>(nullptr), L"libmariadb.so.3"}) {
        const std::string sLabel = pszName != nullptr ? "libmariadb.so.3" : "default name";
        CNAError error;
        ASSERT_EQ(1, CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, pszName))
            << sLabel << ": " << (error.dwGetErrorId() != 0 ? "" : "no error")
            << " (is libmariadb-dev-compat installed?)";
        EXPECT_EQ(0u, error.dwGetErrorId()) << sLabel;
        EXPECT_EQ(eMySQLClientKind::ConnectorC, CNAFunctionLoader::g_eClientKind()) << sLabel;
        EXPECT_EQ(eMySQLFieldLayout::Client51, CNAFunctionLoader::g_eFieldLayout()) << sLabel;
        EXPECT_EQ(128, CNAFunctionLoader::g_nFieldStride()) << sLabel;
        EXPECT_GE(CNAFunctionLoader::g_nEffectiveMajor(), 5) << sLabel;
        EXPECT_TRUE(CNAFunctionLoader::g_bClientVersionGreaterThan4_1()) << sLabel;
        EXPECT_EQ(1, CNAFunctionLoader::gbUseNextResult) << sLabel;
        EXPECT_TRUE(CNAFunctionLoader::g_bMultipleRecordsetEnabled()) << sLabel;
        for (const stMySQLClientFunction& function : gastMySQLClientFunctions)
            EXPECT_FALSE(function.pfnIsStub()) << sLabel << ": " << function.pszName;
        for (const stMySQLClientFunction& function : gastMySQLLaterClientFunctions)
            EXPECT_FALSE(function.pfnIsStub()) << sLabel << ": " << function.pszName;

        // The text is kept as the library says it, for the messages.
        const std::string sText = DirectVersionText("libmariadb.so.3");
        ASSERT_FALSE(sText.empty());
        EXPECT_EQ(Wide(sText), std::wstring(CNAFunctionLoader::g_csClientVersion().pszGet())) << sLabel;
        int major = 0, minor = 0;
        CMySQLClientVersion::g_ParseText(Wide(sText).c_str(), &major, &minor);
        EXPECT_EQ(major, CNAFunctionLoader::g_nClientVersionMajor()) << sLabel;
        EXPECT_EQ(minor, CNAFunctionLoader::g_nClientVersionMinor()) << sLabel;

        // The path of the object loaded, not that of the running program.
        const std::wstring sPath = CNAFunctionLoader::g_csClientLibrary().pszGet();
        const std::wstring sFile = pszName != nullptr ? pszName : L"libmysqlclient.so";
        ASSERT_GT(sPath.size(), sFile.size()) << sLabel;
        EXPECT_EQ(L"/" + sFile, sPath.substr(sPath.size() - sFile.size() - 1)) << sLabel;
        struct stat st{};
        EXPECT_EQ(0, stat(std::string(sPath.begin(), sPath.end()).c_str(), &st)) << sLabel;

        // Its functions answer through the table.
        MYSQL* pHandle = ClientCallValue<MYSQL*>({NA_SRC_DB_CONNECTION, 6}, &error, nullptr,
                                                 [] { return __mysql_init(nullptr); });
        ASSERT_NE(nullptr, pHandle) << sLabel;
        EXPECT_TRUE(bClientCall({NA_SRC_DB_CONNECTION, 8}, &error, nullptr, [&] { __mysql_close(pHandle); }));
        CNAFunctionLoader::g_Term();
    }
}

}  // namespace
