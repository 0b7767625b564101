// The driver's life in-process, with the test driver registered: the version
// handshake, the module start, drivers handed out by piQueryInterface, the
// process's driver as drivers die in either order, the external count (also
// from several threads), the SQL-functions object and the end of a driver.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include "native/driver/error_object.h"
#include "tests/fakes/fake_item_description.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/driver/linked_entry_points.h"

namespace {

using vxtest::LinkedDriverEntryPoints;

// The handle of this process's first bInitLibrary.
char gFirstHandle;

class FirstInit : public ::testing::Environment
{
public:
    void SetUp() override { bInitLibrary(&gFirstHandle); }
};
const bool kFirstInitRegistered = (::testing::AddGlobalTestEnvironment(new FirstInit), true);

CTestDriver* AsTestDriver(INADriver* pi)
{
    return static_cast<CTestDriver*>(static_cast<CNADriver*>(pi));
}

TEST(LifecycleDriver, Handshake)
{
    constexpr unsigned kUntouched = 0xDEADu;
    struct Case
    {
        int module;
        unsigned host;
        int result;
        unsigned written;
    };
    const Case cases[] = {
        {7, 31, 0, 32},  {7, 32, 1, 32},  {28, 32, 1, 32},         {28, 31, 0, 32},
        {7, 0, 0, 32},   {28, 0xFFFFFFFFu, 1, 32},  // unsigned: the largest version is the newest
        {5, 40, 0, kUntouched}, {0, 32, 0, kUntouched}, {-7, 32, 0, kUntouched}, {29, 32, 0, kUntouched},
    };
    for (const Case& c : cases) {
        unsigned written = kUntouched;
        EXPECT_EQ(c.result, bDLLCompatible(c.module, c.host, &written)) << c.module << " " << c.host;
        EXPECT_EQ(c.written, written) << c.module << " " << c.host;
    }
    EXPECT_EQ(1, bDLLCompatible(7, 40, nullptr));
    EXPECT_EQ(40u, CNADriver::s_nID_VXQF);
    EXPECT_EQ(0, bDLLCompatible(28, 12, nullptr));
    EXPECT_EQ(12u, CNADriver::s_nID_VXSQL);

    StandinDriverCaller host(LinkedDriverEntryPoints());
    const StandinDriverCaller::Handshake handshake = host.stHandshake();
    EXPECT_EQ(1, handshake.bEngine);
    EXPECT_EQ(32u, handshake.nEngineVersion);
    EXPECT_EQ(1, handshake.bSQL);
    EXPECT_EQ(32u, handshake.nSQLVersion);
}

TEST(LifecycleDriver, LaterInitLibraryCallsOnlyCount)
{
    const int32_t before = gnNbInitialisation;
    ASSERT_GE(before, 1);
    // Held across the call: a mutex made again would come back free.
    pthread_mutex_lock(&CNADriver::m_gstDriverCriticalSection);
    char otherHandle;
    EXPECT_EQ(1, bInitLibrary(&otherHandle));
    EXPECT_FALSE(bDriverMutexFreeForOtherThreads());
    pthread_mutex_unlock(&CNADriver::m_gstDriverCriticalSection);
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    EXPECT_EQ(before + 1, gnNbInitialisation);
    EXPECT_EQ(&gFirstHandle, CNADriver::s_hDllHandle);
}

TEST(LifecycleDriver, NoDriverWithoutOne)
{
    CNADriver* const before = CNADriver::s_pclDriver;
    const CNADriver::stFactory former = CNADriver::g_SetFactory({nullptr, nullptr});
    EXPECT_EQ(nullptr, piQueryInterface(0));
    CNADriver::g_SetFactory(former);

    CTestDriverRegistration registration;
    CTestDriverRegistration::s_bMakeNone = true;
    StandinDriverCaller host(LinkedDriverEntryPoints());
    EXPECT_EQ(nullptr, host.piOpenDriver());
    EXPECT_EQ(0, host.bServicesAccepted());
    EXPECT_EQ(before, CNADriver::s_pclDriver);
    EXPECT_EQ(0, CTestDriver::s_nLive);
}

TEST(LifecycleDriver, QueryInterfaceHandsOutANewDriver)
{
    CTestDriverRegistration registration;
    StandinDriverCaller first(LinkedDriverEntryPoints());
    INADriver* piFirst = first.piOpenDriver();
    ASSERT_NE(nullptr, piFirst);
    CTestDriver* driver = AsTestDriver(piFirst);
    EXPECT_EQ(1u, driver->nGetExternalRef());
    EXPECT_EQ(driver, CNADriver::s_pclDriver);
    EXPECT_EQ(1, first.bServicesAccepted());
    EXPECT_EQ(first.piLibShop(), driver->piGetLibShop());
    EXPECT_EQ(first.piVMData(), driver->piGetVMData());
    EXPECT_EQ(first.piQF(), driver->piGetQF());
    INAError* piError = first.Call<INAError*>(11);
    ASSERT_NE(nullptr, piError);
    EXPECT_EQ(driver->pclGetError(), piError);
    EXPECT_EQ(1u, driver->pclGetError()->nGetRef()) << "the driver's own reference only";
    EXPECT_EQ(-1, driver->llGetDefaultCacheSize());

    StandinDriverCaller second(LinkedDriverEntryPoints());
    INADriver* piSecond = second.piOpenDriver();
    ASSERT_NE(nullptr, piSecond);
    EXPECT_NE(piFirst, piSecond);
    EXPECT_EQ(piSecond, static_cast<INADriver*>(CNADriver::s_pclDriver));

    EXPECT_EQ(0u, first.nReleaseDriver());
    EXPECT_EQ(piSecond, static_cast<INADriver*>(CNADriver::s_pclDriver)) << "an older driver's end changes nothing";
    EXPECT_EQ(0u, second.nReleaseDriver());
    EXPECT_EQ(nullptr, CNADriver::s_pclDriver);
    EXPECT_EQ(0, CTestDriver::s_nLive);
}

TEST(LifecycleDriver, TheProcessDriverFallsBackToTheNewestLiving)
{
    CTestDriverRegistration registration;
    StandinDriverCaller a(LinkedDriverEntryPoints()), b(LinkedDriverEntryPoints()), c(LinkedDriverEntryPoints());
    CNADriver* driverA = AsTestDriver(a.piOpenDriver());
    CNADriver* driverB = AsTestDriver(b.piOpenDriver());
    CNADriver* driverC = AsTestDriver(c.piOpenDriver());
    ASSERT_EQ(driverC, CNADriver::s_pclDriver);

    EXPECT_EQ(0u, c.nReleaseDriver());
    ASSERT_EQ(driverB, CNADriver::s_pclDriver) << "the newest dies first: the next newest takes over";
    EXPECT_NE(nullptr, CNADriver::s_pclDriver->pclGetError());
    EXPECT_EQ(0u, b.nReleaseDriver());
    EXPECT_EQ(driverA, CNADriver::s_pclDriver);

    StandinDriverCaller d(LinkedDriverEntryPoints());
    CNADriver* driverD = AsTestDriver(d.piOpenDriver());
    EXPECT_EQ(driverD, CNADriver::s_pclDriver);
    EXPECT_EQ(0u, a.nReleaseDriver());
    EXPECT_EQ(driverD, CNADriver::s_pclDriver);
    EXPECT_EQ(0u, d.nReleaseDriver());
    EXPECT_EQ(nullptr, CNADriver::s_pclDriver);
}

TEST(LifecycleDriver, ExternalCount)
{
    CTestDriverRegistration registration;
    StandinDriverCaller host(LinkedDriverEntryPoints());
    ASSERT_NE(nullptr, host.piOpenDriver());
    host.Call<void>(5);
    EXPECT_EQ(1u, host.Call<unsigned>(6));
    EXPECT_EQ(1, CTestDriver::s_nLive);
    EXPECT_EQ(0u, host.nReleaseDriver());
    EXPECT_EQ(0, CTestDriver::s_nLive);

    // A driver that was never handed out has nothing to give back.
    auto* unheld = new CTestDriver;
    EXPECT_EQ(0u, unheld->nExternalRelease());
    EXPECT_EQ(1, CTestDriver::s_nLive);
    delete unheld;
}

TEST(LifecycleDriver, ExternalCountFromSeveralThreads)
{
    constexpr int kThreads = 8;
    constexpr int kRounds = 20000;
    CTestDriverRegistration registration;
    for (int attempt = 0; attempt < 20; ++attempt) {
        CNADriver* driver = CNADriver::g_pclQueryInterface();
        ASSERT_NE(nullptr, driver);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                while (!go.load()) {
                }
                for (int i = 0; i < kRounds / 20; ++i) {
                    driver->ExternalAddRef();
                    driver->nExternalRelease();
                }
            });
        go = true;
        for (std::thread& t : threads)
            t.join();
        ASSERT_EQ(1u, driver->nGetExternalRef()) << "no increment or decrement lost";

        // The last references go at once: exactly one release ends the driver.
        for (int t = 1; t < kThreads; ++t)
            driver->ExternalAddRef();
        std::atomic<int> zeros{0};
        std::atomic<bool> start{false};
        threads.clear();
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                while (!start.load()) {
                }
                zeros += driver->nExternalRelease() == 0;
            });
        start = true;
        for (std::thread& t : threads)
            t.join();
        EXPECT_EQ(1, zeros.load());
        EXPECT_EQ(0, CTestDriver::s_nLive);
    }
}

TEST(LifecycleDriver, SQLFunctionsObjectMadeOnce)
{
    CTestDriverRegistration registration;
    StandinDriverCaller host(LinkedDriverEntryPoints());
    CNADriver* driver = AsTestDriver(host.piOpenDriver());
    ASSERT_NE(nullptr, driver);
    void* first = host.Call<void*>(7, 1);
    void* again = host.Call<void*>(7, 1);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, again);
    auto* sql = static_cast<CNADriverSQL*>(static_cast<INADriverSQL*>(first));
    EXPECT_EQ(2u, sql->nGetExternalRef());
    EXPECT_EQ(1u, sql->nGetRef()) << "counted once by the driver";
    EXPECT_EQ(sql, driver->pclGetDriverSQL());
    EXPECT_EQ(driver, sql->pclGetDriver());
    EXPECT_EQ(2u, driver->pclGetError()->nGetRef()) << "shared with the SQL-functions object";
    EXPECT_EQ(nullptr, host.Call<void*>(7, 2));
    EXPECT_EQ(nullptr, host.Call<void*>(7, 0));
    EXPECT_EQ(1, CTestDriverSQL::s_nLive);

    // Slot 39 of the SQL functions reaches the driver's slot 30.
    char libShop, vmData;
    EXPECT_EQ(1, vxstandin::CallSlot<int>(first, 39, reinterpret_cast<ILibShop*>(&libShop),
                                          reinterpret_cast<IVMData*>(&vmData)));
    EXPECT_EQ(reinterpret_cast<ILibShop*>(&libShop), driver->piGetLibShop());
    EXPECT_EQ(reinterpret_cast<IVMData*>(&vmData), driver->piGetVMData());

    EXPECT_EQ(1u, sql->nExternalRelease());
    EXPECT_EQ(0u, sql->nExternalRelease());
    EXPECT_EQ(1, CTestDriverSQL::s_nLive) << "the driver's reference keeps it";
    EXPECT_EQ(0u, host.nReleaseDriver());
    EXPECT_EQ(0, CTestDriverSQL::s_nLive);
}

TEST(LifecycleDriver, NoSQLFunctionsObjectWhenNoneIsMade)
{
    CTestDriverChoices choices;
    int made = 0;
    choices.allocDriverSQL = [&](CNADriver*, CNAError*) -> CNADriverSQL* {
        ++made;
        return nullptr;
    };
    CTestDriverRegistration registration(choices);
    StandinDriverCaller host(LinkedDriverEntryPoints());
    ASSERT_NE(nullptr, host.piOpenDriver());
    EXPECT_EQ(nullptr, host.Call<void*>(7, 1));
    EXPECT_EQ(nullptr, host.Call<void*>(7, 1));
    EXPECT_EQ(2, made) << "asked again while none exists";

    CTestDriver base;
    EXPECT_EQ(nullptr, base.CNADriver::_pclAllocDriverSQL(nullptr)) << "the base driver makes none";
}

TEST(LifecycleDriver, EndOfADriver)
{
    CTestDriverChoices choices;
    CNADriverSQL* sql = nullptr;
    int calls = 0;
    choices.beforeDeath = [&](CNADriver* driver) {
        ++calls;
        // Called last: the error object and the SQL-functions object are
        // already released.
        EXPECT_EQ(nullptr, driver->pclGetError());
        EXPECT_EQ(0u, sql->nGetRef());
        EXPECT_EQ(nullptr, sql->pclGetDriver());
    };
    CTestDriverRegistration registration(choices);
    StandinDriverCaller host(LinkedDriverEntryPoints());
    ASSERT_NE(nullptr, host.piOpenDriver());
    sql = static_cast<CNADriverSQL*>(static_cast<INADriverSQL*>(host.Call<void*>(7, 1)));
    ASSERT_NE(nullptr, sql);
    EXPECT_EQ(0u, host.nReleaseDriver());
    EXPECT_EQ(1, calls);

    // The host still holds the SQL functions: they live on, with the error
    // object, and no longer reach the dead driver.
    EXPECT_EQ(1, CTestDriverSQL::s_nLive);
    ASSERT_NE(nullptr, sql->piGetLastError());
    EXPECT_EQ(NA_ERR_NONE, sql->piGetLastError()->eGetErrorType());
    EXPECT_EQ(0, vxstandin::CallSlot<int>(sql, 39, nullptr, nullptr));
    EXPECT_EQ(0u, sql->nExternalRelease());
    EXPECT_EQ(0, CTestDriverSQL::s_nLive);
}

TEST(LifecycleDriver, ErrorObjectReplaced)
{
    CTestDriver driver;
    driver.AllocError();
    CNAError* first = driver.pclGetError();
    ASSERT_NE(nullptr, first);
    first->AddError(NA_ERR_DUPLICATE_KEY, 5, 1, nullptr, 14, L"Cnx");
    first->AddRef();  // kept to see it released
    driver.AllocError();
    CNAError* second = driver.pclGetError();
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_EQ(1u, first->nGetRef());
    EXPECT_EQ(1u, second->nGetRef());
    EXPECT_EQ(NA_ERR_NONE, second->eGetErrorType());
    first->nRelease();
}

TEST(LifecycleDriver, ColumnsOnlyForNamedItemTypes)
{
    for (int type = -2; type <= 40; ++type)
        EXPECT_EQ(type != 0 && type != 8 && type >= 1 && type <= 31, CNADriver::g_bColumnItemType(type)) << type;
    EXPECT_FALSE(CNADriver::g_bColumnItemType(INT_MIN));
    CTestDriver driver;
    EXPECT_EQ(nullptr, driver.pclAllocColumn(nullptr, nullptr));
    for (int type : {0, 8, 32, -1}) {
        CFakeItemDescription item(type);
        EXPECT_EQ(nullptr, driver.pclAllocColumn(nullptr, &item)) << type;
        EXPECT_EQ(0, item.nRefBalance());
    }
}

TEST(LifecycleDriver, ComputedColumnNames)
{
    struct Case
    {
        int n;
        const wchar_t* name;
    };
    const Case cases[] = {
        {0, L"Expr1000"}, {5, L"Expr1005"}, {-1000, L"Expr0"}, {-1001, L"Expr-1"}, {INT_MAX, L"Expr2147484647"},
    };
    for (const Case& c : cases) {
        CTString name(L"old");
        CNADriver::g_GenerateItemName(&name, c.n);
        EXPECT_STREQ(c.name, name.pszGet()) << c.n;
    }
    CNADriver::g_GenerateItemName(nullptr, 1);
}

}  // namespace
