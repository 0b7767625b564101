// The guard around client calls, with the fake library throwing on request:
// a stub gives user error 37, anything else user error 23 with the
// process-wide flag and the driver's fatal-error hook; without an error
// object the driver's takes its place, and without either nothing is
// recorded.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"
#include "tests/mysql/mysql_driver_with_seams.h"

namespace {

using vxtest::bDumpHas;
using vxtest::FatalHookVersions;
using vxtest::SiteLine;
using vxtest::Wide;

constexpr stClientCallSite kSite{NA_SRC_DB_CONNECTION, 10};

class ClientCallGuard : public vxtest::ClientLibraryTest
{
protected:
    void SetUp() override
    {
        StartTestDriverModule();
        CNADriver::s_bGPFCatched = 0;
        ASSERT_TRUE(m_fake.bOk());
        CNAError error;
        ASSERT_EQ(1, CNAFunctionLoader::g_bLoadClientLibrary(&error, nullptr, Wide(m_fake.sPath()).c_str()));
        m_registration.emplace();
        m_driver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_driver);
    }
    void TearDown() override
    {
        if (m_driver != nullptr)
            m_driver->nExternalRelease();
        m_registration.reset();
        CNADriver::s_bGPFCatched = 0;
        vxtest::ClientLibraryTest::TearDown();
    }
    void ReleaseDriver()
    {
        m_driver->nExternalRelease();
        m_driver = nullptr;
    }
    CNAError* DriverError() const { return CNADriver::s_pclDriver->pclGetError(); }
    static bool bQuery() { return bClientCall(kSite, nullptr, nullptr, [] { __mysql_real_query(nullptr, "", 0); }); }

    CFakeClient m_fake{CFakeClient::Path("infov")};
    std::optional<CMySQLDriverRegistration> m_registration;
    INADriver* m_driver = nullptr;
};

TEST_F(ClientCallGuard, AFailureInsideTheLibraryGoesToTheCallersError)
{
    m_fake.State().throwIn = "mysql_real_query";
    CNAError error;
    EXPECT_FALSE(bClientCall(kSite, &error, nullptr, [] { __mysql_real_query(nullptr, "", 0); }));
    EXPECT_EQ(23u, error.dwGetErrorId());
    EXPECT_TRUE(bDumpHas(error, L"MySQL"));
    EXPECT_TRUE(bDumpHas(error, SiteLine(101, 10)));
    EXPECT_EQ(0, error.eGetErrorType());
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
    // The driver's hook added its message, without a connection.
    EXPECT_EQ(std::vector<std::wstring>{L""}, FatalHookVersions(error));
    EXPECT_EQ(0u, DriverError()->dwGetErrorId()) << "the driver's error stays clear";
    EXPECT_TRUE(FatalHookVersions(*DriverError()).empty());
}

TEST_F(ClientCallGuard, WithoutAnErrorObjectTheDriversTakesItsPlace)
{
    m_fake.State().throwIn = "mysql_real_query";
    EXPECT_FALSE(bQuery());
    EXPECT_EQ(23u, DriverError()->dwGetErrorId());
    EXPECT_EQ(std::vector<std::wstring>{L""}, FatalHookVersions(*DriverError()));
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
}

TEST_F(ClientCallGuard, WithoutADriverOnlyTheCallersErrorRecords)
{
    m_fake.State().throwIn = "mysql_real_query";
    ReleaseDriver();
    ASSERT_EQ(nullptr, CNADriver::s_pclDriver);
    EXPECT_FALSE(bQuery()) << "nothing to record into, and no crash";
    CNAError error;
    EXPECT_FALSE(bClientCall(kSite, &error, nullptr, [] { __mysql_real_query(nullptr, "", 0); }));
    EXPECT_EQ(23u, error.dwGetErrorId());
    EXPECT_TRUE(FatalHookVersions(error).empty()) << "no driver, no hook";
    EXPECT_EQ(1, CNADriver::s_bGPFCatched);
}

TEST_F(ClientCallGuard, AValueOfAFailedCallCountsAsAbsent)
{
    MYSQL* pHandle = ClientCallValue<MYSQL*>(kSite, nullptr, nullptr, [] { return __mysql_init(nullptr); });
    EXPECT_NE(nullptr, pHandle);
    m_fake.State().throwIn = "mysql_init";
    CNAError error;
    EXPECT_EQ(nullptr, ClientCallValue<MYSQL*>(kSite, &error, nullptr, [] { return __mysql_init(nullptr); }));
    EXPECT_EQ(23u, error.dwGetErrorId());
    EXPECT_EQ(1, m_fake.State().nLiveHandles);
    EXPECT_TRUE(bClientCall(kSite, &error, nullptr, [&] { __mysql_close(pHandle); }));
    EXPECT_EQ(0, m_fake.State().nLiveHandles);
}

TEST_F(ClientCallGuard, AStubIsReportedByNameAndIsNoFailureOfTheLibrary)
{
    CNAFunctionLoader::g_Term();
    CNAError error;
    EXPECT_EQ(0u, ClientCallValue<unsigned>(kSite, &error, nullptr, [] { return __mysql_errno(nullptr); }));
    EXPECT_EQ(37u, error.dwGetErrorId());
    EXPECT_TRUE(bDumpHas(error, L"<mysql_errno>"));
    EXPECT_TRUE(bDumpHas(error, SiteLine(101, 10)));
    EXPECT_EQ(0, CNADriver::s_bGPFCatched);
    EXPECT_TRUE(FatalHookVersions(error).empty()) << "no hook for a stub";
    EXPECT_FALSE(bClientCall(kSite, nullptr, nullptr, [] { __mysql_errno(nullptr); }));
    EXPECT_EQ(0u, DriverError()->dwGetErrorId()) << "a stub records only into the caller's error";
}

}  // namespace
