// The client-library loader against the fake libraries: the lookup order and
// the stop at a missing required function, optional functions, the open
// failure, the single load, the identification of each kind of library, the
// directory rule and the unload.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "native/driver/driver.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"

namespace {

using vxtest::bDumpHas;
using vxtest::SiteLine;
using vxtest::Wide;
using vxtest::WorkingDirectory;
using FunctionLoader = vxtest::ClientLibraryTest;

int Load(CNAError& error, const std::string& sName)
{
    return CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, Wide(sName).c_str());
}

std::vector<bool> Stubs()
{
    std::vector<bool> stubs;
    for (const stMySQLClientFunction& function : gastMySQLClientFunctions)
        stubs.push_back(function.pfnIsStub());
    return stubs;
}

TEST_F(FunctionLoader, TheTableListsTheFunctionsInLookupOrder)
{
    const char* const names[] = {
        "mysql_get_client_info", "mysql_get_server_info", "mysql_init",         "mysql_real_connect",
        "mysql_close",           "mysql_escape_string",   "mysql_real_query",   "mysql_store_result",
        "mysql_use_result",      "mysql_free_result",     "mysql_fetch_fields", "mysql_num_fields",
        "mysql_fetch_lengths",   "mysql_data_seek",       "mysql_fetch_row",    "mysql_num_rows",
        "mysql_insert_id",       "mysql_errno",           "mysql_error",        "mysql_affected_rows",
        "mysql_next_result",     "mysql_set_character_set", "mysql_ssl_set",    "mysql_options",
    };
    for (int i = 0; i < kMySQLClientFunctionCount; ++i) {
        EXPECT_STREQ(names[i], gastMySQLClientFunctions[i].pszName);
        EXPECT_EQ(i < 20, gastMySQLClientFunctions[i].bRequired) << names[i];
    }
    EXPECT_EQ(std::vector<bool>(24, true), Stubs()) << "every pointer starts at its stub";
}

TEST_F(FunctionLoader, BindsEveryFunctionOfACompleteLibrary)
{
    CFakeClient fake(CFakeClient::Path("infov"));
    ASSERT_TRUE(fake.bOk());
    CNAError error;
    ASSERT_EQ(1, Load(error, fake.sPath()));
    EXPECT_EQ(0u, error.dwGetErrorId());
    EXPECT_EQ(1, CNAFunctionLoader::g_bLoaded());
    EXPECT_EQ(std::vector<bool>(24, false), Stubs());
    EXPECT_EQ(fake.State().clientInfo.c_str(), __mysql_get_client_info()) << "the library's own function";
    EXPECT_EQ(1, CNAFunctionLoader::gbUseNextResult);
    EXPECT_TRUE(CNAFunctionLoader::g_bMultipleRecordsetEnabled());
}

TEST_F(FunctionLoader, StopsAtTheFirstMissingRequiredFunctionAndNeverRetries)
{
    CFakeClient fake(CFakeClient::Path("no_fetch_row"));
    ASSERT_TRUE(fake.bOk());
    CNAError error;
    EXPECT_EQ(0, Load(error, fake.sPath()));
    EXPECT_EQ(37u, error.dwGetErrorId());
    EXPECT_TRUE(bDumpHas(error, L"<mysql_fetch_row>"));
    EXPECT_TRUE(bDumpHas(error, SiteLine(9, 2)));
    // The functions before it are the library's; it and every later one,
    // optional ones included, keep their stubs.
    std::vector<bool> expected(24, true);
    for (int i = 0; i < 14; ++i)
        expected[i] = false;
    EXPECT_EQ(expected, Stubs());
    EXPECT_EQ(1, CNAFunctionLoader::g_bLoaded()) << "the library stays open";
    EXPECT_EQ(0, CNAFunctionLoader::gbUseNextResult);
    EXPECT_EQ(L"", std::wstring(CNAFunctionLoader::g_csClientVersion().pszGet())) << "the version is never read";
    // The identification came before the walk: its layout is known.
    EXPECT_EQ(eMySQLClientKind::ConnectorC, CNAFunctionLoader::g_eClientKind());
    EXPECT_EQ(128, CNAFunctionLoader::g_nFieldStride());

    CNAError again;
    EXPECT_EQ(1, Load(again, CFakeClient::Path("infov"))) << "a held library is not loaded again";
    EXPECT_EQ(0u, again.dwGetErrorId());
    EXPECT_EQ(expected, Stubs());

    // Each stub reports its own name through the guard.
    const std::pair<const wchar_t*, std::function<void()>> calls[] = {
        {L"mysql_fetch_row", [] { __mysql_fetch_row(nullptr); }},
        {L"mysql_num_rows", [] { __mysql_num_rows(nullptr); }},
        {L"mysql_insert_id", [] { __mysql_insert_id(nullptr); }},
        {L"mysql_errno", [] { __mysql_errno(nullptr); }},
        {L"mysql_error", [] { __mysql_error(nullptr); }},
        {L"mysql_affected_rows", [] { __mysql_affected_rows(nullptr); }},
        {L"mysql_next_result", [] { __mysql_next_result(nullptr); }},
        {L"mysql_ssl_set", [] { __mysql_ssl_set(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
        {L"mysql_options", [] { __mysql_options(nullptr, mysql_option{7}, "utf8"); }},
    };
    for (const auto& [name, call] : calls) {
        CNAError stub;
        EXPECT_FALSE(bClientCall({NA_SRC_DB_STATEMENTSQL, 13}, &stub, nullptr, call)) << name;
        EXPECT_EQ(37u, stub.dwGetErrorId()) << name;
        EXPECT_TRUE(bDumpHas(stub, std::wstring(L"<") + name + L">")) << name;
        EXPECT_TRUE(bDumpHas(stub, SiteLine(100, 13))) << name;
    }
    EXPECT_EQ(0, CNADriver::s_bGPFCatched) << "a stub is no failure inside the library";
}

TEST_F(FunctionLoader, OptionalFunctionsMayBeMissing)
{
    struct Case
    {
        const char* variant;
        int missing;  // index in the table
    } const cases[] = {{"no_next_result", 20}, {"no_ssl_set", 22}, {"no_options", 23}};
    for (const Case& c : cases) {
        CFakeClient fake(CFakeClient::Path(c.variant));
        ASSERT_TRUE(fake.bOk());
        CNAError error;
        EXPECT_EQ(1, Load(error, fake.sPath())) << c.variant;
        EXPECT_EQ(0u, error.dwGetErrorId()) << c.variant;
        std::vector<bool> expected(24, false);
        expected[c.missing] = true;
        EXPECT_EQ(expected, Stubs()) << c.variant;
        EXPECT_EQ(c.missing == 20 ? 0 : 1, CNAFunctionLoader::gbUseNextResult) << c.variant;
        EXPECT_EQ(c.missing != 20, CNAFunctionLoader::g_bMultipleRecordsetEnabled()) << c.variant;
        CNAFunctionLoader::g_Term();
    }
}

// The functions looked up after the walk: bound only when the walk found
// every required function and the library has them, stubs again after the
// unload.
TEST_F(FunctionLoader, LaterFunctionsFollowACompleteWalk)
{
    const auto laterStubs = [] {
        std::vector<bool> stubs;
        for (const stMySQLClientFunction& function : gastMySQLLaterClientFunctions) {
            EXPECT_FALSE(function.bRequired) << function.pszName;
            stubs.push_back(function.pfnIsStub());
        }
        return stubs;
    };
    const std::vector<bool> allStubs(kMySQLLaterClientFunctionCount, true);
    // The fakes have mysql_real_escape_string and mysql_get_ssl_cipher, not
    // mysql_more_results; only the Connector/C one has mariadb_get_infov.
    for (const auto& [pszVariant, stubs] :
         {std::pair{"infov", std::vector<bool>{false, true, false, false}},
          std::pair{"clientversion", std::vector<bool>{false, true, false, true}}}) {
        SCOPED_TRACE(pszVariant);
        CFakeClient fake(CFakeClient::Path(pszVariant));
        CNAError error;
        ASSERT_EQ(1, Load(error, fake.sPath()));
        EXPECT_EQ(stubs, laterStubs());
        CNAFunctionLoader::g_Term();
        EXPECT_EQ(allStubs, laterStubs());
    }
    CFakeClient fake(CFakeClient::Path("no_fetch_row"));
    CNAError error;
    EXPECT_EQ(0, Load(error, fake.sPath()));
    EXPECT_EQ(allStubs, laterStubs());
}

TEST_F(FunctionLoader, AnOpenFailureCarriesTheDynamicLoadersText)
{
    const std::string sMissing = std::string(VX_FAKE_CLIENT_DIR) + "/libvxfakeclient_absent.so";
    const std::string sBefore = WorkingDirectory();
    CNAError error;
    EXPECT_EQ(0, Load(error, sMissing));
    EXPECT_EQ(sBefore, WorkingDirectory());
    EXPECT_EQ(0, CNAFunctionLoader::g_bLoaded());
    EXPECT_EQ(27u, error.dwGetErrorId());
    EXPECT_TRUE(bDumpHas(error, L"MySQL <" + Wide(sMissing) + L"> (64 bits)"));
    EXPECT_TRUE(bDumpHas(error, SiteLine(9, 1)));
    ASSERT_EQ(nullptr, dlopen(sMissing.c_str(), RTLD_NOW));
    const std::string sWhy = dlerror();
    EXPECT_EQ(Wide(sWhy), std::wstring(error.pszGetSystemErrorMessage()));
    EXPECT_EQ(std::vector<bool>(24, true), Stubs());

    // Nothing is held: the next open loads.
    CFakeClient fake(CFakeClient::Path("infov"));
    CNAError next;
    EXPECT_EQ(1, Load(next, fake.sPath()));
    EXPECT_EQ(1, CNAFunctionLoader::g_bLoaded());
}

TEST_F(FunctionLoader, LoadsOnceAndServesEveryLaterConnection)
{
    CFakeClient first(CFakeClient::Path("infov"));
    CFakeClient second(CFakeClient::Path("clientversion"));
    ASSERT_TRUE(first.bOk() && second.bOk());
    CNAError error;
    ASSERT_EQ(1, Load(error, first.sPath()));
    void* hLibrary = CNAFunctionLoader::g_hGetNativeLibHandle();
    ASSERT_EQ(1, Load(error, second.sPath()));
    ASSERT_EQ(1, CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, nullptr));
    EXPECT_EQ(hLibrary, CNAFunctionLoader::g_hGetNativeLibHandle());
    EXPECT_EQ(eMySQLClientKind::ConnectorC, CNAFunctionLoader::g_eClientKind());
    EXPECT_EQ(1, first.State().calls["mysql_get_client_info"]);
    EXPECT_TRUE(second.State().calls.empty()) << "the other library is never called";
    EXPECT_EQ(0u, error.dwGetErrorId());
}

TEST_F(FunctionLoader, IdentifiesEachKindOfLibrary)
{
    using K = eMySQLClientKind;
    struct Case
    {
        const char* label;
        const char* variant;
        std::function<void(stFakeClientState&)> setUp;
        K kind;
        int major, minor;  // the version the driver acts on
        int stride;
        bool greaterThan4_1;
    } const cases[] = {
        // Connector/C names the connector's version in its text and the
        // server family's in its number; its records are 5.1's whatever.
        {"Connector/C", "infov", [](stFakeClientState& s) { s.clientInfo = "3.3.20"; }, K::ConnectorC, 10, 11, 128,
         true},
        {"Connector/C, status failed", "infov", [](stFakeClientState& s) { s.nInfovStatus = 1; }, K::ConnectorC, 5, 1,
         128, true},
        {"Connector/C, number below 5.1", "infov", [](stFakeClientState& s) { s.nInfovVersion = 30320; },
         K::ConnectorC, 5, 1, 128, true},
        {"client version 5.1", "clientversion", [](stFakeClientState& s) { s.nClientVersion = 50173; },
         K::ClientVersion, 5, 1, 128, true},
        {"client version 5.0", "clientversion", [](stFakeClientState& s) { s.nClientVersion = 50096; },
         K::ClientVersion, 5, 0, 120, true},
        {"client version 4.0", "clientversion", [](stFakeClientState& s) { s.nClientVersion = 40022; },
         K::ClientVersion, 4, 0, 72, false},
        {"client version 3.23", "clientversion", [](stFakeClientState& s) { s.nClientVersion = 32358; },
         K::ClientVersion, 3, 23, 48, false},
        {"text 5.1.73", "text", [](stFakeClientState& s) { s.clientInfo = "5.1.73"; }, K::VersionText, 5, 1, 128,
         true},
        {"text 4.1.22", "text", [](stFakeClientState& s) { s.clientInfo = "4.1.22"; }, K::VersionText, 4, 1, 120,
         true},
        {"text 4.0.27", "text", [](stFakeClientState& s) { s.clientInfo = "4.0.27"; }, K::VersionText, 4, 0, 72,
         false},
        // Only a library known by its text alone still reads "10.x" as 1.x.
        {"text 10.4.5", "text", [](stFakeClientState& s) { s.clientInfo = "10.4.5"; }, K::VersionText, 10, 4, 48,
         true},
    };
    for (const Case& c : cases) {
        CFakeClient fake(CFakeClient::Path(c.variant));
        ASSERT_TRUE(fake.bOk());
        fake.State() = stFakeClientState{};
        c.setUp(fake.State());
        CNAError error;
        ASSERT_EQ(1, Load(error, fake.sPath())) << c.label;
        EXPECT_EQ(c.kind, CNAFunctionLoader::g_eClientKind()) << c.label;
        EXPECT_EQ(c.major, CNAFunctionLoader::g_nEffectiveMajor()) << c.label;
        EXPECT_EQ(c.minor, CNAFunctionLoader::g_nEffectiveMinor()) << c.label;
        EXPECT_EQ(c.stride, CNAFunctionLoader::g_nFieldStride()) << c.label;
        EXPECT_EQ(c.greaterThan4_1, CNAFunctionLoader::g_bClientVersionGreaterThan4_1()) << c.label;
        EXPECT_EQ(c.greaterThan4_1, CNAFunctionLoader::g_bMultipleRecordsetEnabled()) << c.label;
        // The text and its numbers are kept as read, for the messages.
        EXPECT_EQ(Wide(fake.State().clientInfo), std::wstring(CNAFunctionLoader::g_csClientVersion().pszGet()))
            << c.label;
        int major = 0, minor = 0;
        CMySQLClientVersion::g_ParseText(CNAFunctionLoader::g_csClientVersion().pszGet(), &major, &minor);
        EXPECT_EQ(major, CNAFunctionLoader::g_nClientVersionMajor()) << c.label;
        EXPECT_EQ(minor, CNAFunctionLoader::g_nClientVersionMinor()) << c.label;
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(FunctionLoader, ADirectoryIsOpenedAsAPathAndTheWorkingDirectoryStays)
{
    const std::string sDir = VX_FAKE_CLIENT_DIR;
    const std::string sParent = sDir.substr(0, sDir.rfind('/'));
    const std::string sLeaf = sDir.substr(sDir.rfind('/') + 1);
    const std::string sBefore = WorkingDirectory();
    // Relative names are read from the working directory of the test.
    ASSERT_EQ(0, chdir(sParent.c_str()));
    struct Case
    {
        std::string name;
        bool loads;
        std::string path;  // recorded as the library loaded
        std::string directory;
    } const cases[] = {
        // Named as the system's library: the one in the directory is loaded.
        {CFakeClient::ShadowDirectory() + "/libmysqlclient.so", true, CFakeClient::ShadowDirectory() + "/libmysqlclient.so",
         CFakeClient::ShadowDirectory() + "/"},
        {sDir + "\\libvxfakeclient_text.so", true, sDir + "/libvxfakeclient_text.so", sDir + "/"},
        {sLeaf + "/libvxfakeclient_text.so", true, sLeaf + "/libvxfakeclient_text.so", sLeaf + "/"},
        // A bare name is never looked for in the working directory.
        {"libvxfakeclient_text.so", false, "", ""},
        {CFakeClient::ShadowDirectory() + "/libvxfakeclient_text.so", false, "", ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(0, chdir(c.loads ? sParent.c_str() : sDir.c_str()));
        const std::string sHere = WorkingDirectory();
        CNAError error;
        EXPECT_EQ(c.loads ? 1 : 0, Load(error, c.name)) << c.name;
        EXPECT_EQ(sHere, WorkingDirectory()) << c.name;
        if (c.loads) {
            EXPECT_EQ(eMySQLClientKind::VersionText, CNAFunctionLoader::g_eClientKind()) << c.name;
            EXPECT_EQ(L"5.1.73", std::wstring(CNAFunctionLoader::g_csClientVersion().pszGet())) << c.name;
            EXPECT_EQ(Wide(c.path), std::wstring(CNAFunctionLoader::g_csClientLibrary().pszGet())) << c.name;
            EXPECT_EQ(Wide(c.directory),
                      std::wstring(CNAFunctionLoader::g_pclNAFunctionLoader->csGetLoadDirectory().pszGet()))
                << c.name;
        } else {
            EXPECT_EQ(27u, error.dwGetErrorId()) << c.name;
        }
        CNAFunctionLoader::g_Term();
    }
    ASSERT_EQ(0, chdir(sBefore.c_str()));
}

TEST_F(FunctionLoader, AFailureInsideTheIdentificationStopsTheLoad)
{
    CFakeClient fake(CFakeClient::Path("infov"));
    ASSERT_TRUE(fake.bOk());
    fake.State().throwIn = "mariadb_get_infov";
    CNAError error;
    EXPECT_EQ(0, Load(error, fake.sPath()));
    EXPECT_EQ(23u, error.dwGetErrorId());
    EXPECT_TRUE(bDumpHas(error, SiteLine(9, 3)));
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
    CNADriver::s_bGPFCatched = 0;
    EXPECT_EQ(1, CNAFunctionLoader::g_bLoaded()) << "held, like a library whose walk stopped";
    EXPECT_EQ(std::vector<bool>(24, true), Stubs());
}

TEST_F(FunctionLoader, TheUnloadEndsTheLibraryAndForgetsIt)
{
    CFakeClient fake(CFakeClient::Path("infov"));
    ASSERT_TRUE(fake.bOk());
    CNAError error;
    ASSERT_EQ(1, Load(error, fake.sPath()));
    ASSERT_NE(L"", std::wstring(CNAFunctionLoader::g_csClientLibrary().pszGet()));
    CNAFunctionLoader::g_Term();
    EXPECT_EQ(1, fake.State().calls["mysql_server_end"]);
    EXPECT_EQ(0, CNAFunctionLoader::g_bLoaded());
    EXPECT_EQ(nullptr, CNAFunctionLoader::g_pclNAFunctionLoader);
    EXPECT_EQ(std::vector<bool>(24, true), Stubs()) << "no pointer into unloaded code";
    EXPECT_EQ(0, CNAFunctionLoader::gbUseNextResult);
    EXPECT_EQ(L"", std::wstring(CNAFunctionLoader::g_csClientVersion().pszGet()));
    EXPECT_EQ(L"", std::wstring(CNAFunctionLoader::g_csClientLibrary().pszGet()));
    EXPECT_EQ(eMySQLClientKind::VersionText, CNAFunctionLoader::g_eClientKind());
    CNAFunctionLoader::g_Term();

    // A library whose walk stops early after another was unloaded has stubs
    // after the stop, not the former library's functions.
    CFakeClient other(CFakeClient::Path("no_fetch_row"));
    ASSERT_EQ(0, Load(error, other.sPath()));
    EXPECT_TRUE(gastMySQLClientFunctions[14].pfnIsStub());
    EXPECT_TRUE(gastMySQLClientFunctions[20].pfnIsStub());
}

}  // namespace
