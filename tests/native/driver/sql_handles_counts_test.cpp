// The host's count of the SQL-functions object changes under the driver's
// lock: the driver changes the other count under it, and the release that
// finds both at 0 deletes the object, so a change from another thread must
// wait while an entry of the driver runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "tests/native/driver/registry_fixture.h"

namespace {

constexpr long kDriverSlotInterface = 7;
constexpr long kSQLSlotExternalAddRef = 5;
constexpr long kSQLSlotExternalRelease = 6;

class SqlHandlesCounts : public vxtest::RegistryTest
{
};

TEST_F(SqlHandlesCounts, TheHostsCountWaitsForTheDriversLock)
{
    auto* piSQL = static_cast<INADriverSQL*>(m_caller.Call<void*>(kDriverSlotInterface, 1));
    ASSERT_NE(nullptr, piSQL);
    auto* pclSQL = static_cast<CNADriverSQL*>(piSQL);
    EXPECT_EQ(1u, pclSQL->nGetExternalRef());
    EXPECT_EQ(1u, pclSQL->nGetRef()) << "the driver's";

    for (long nSlot : {kSQLSlotExternalAddRef, kSQLSlotExternalRelease}) {
        std::atomic<bool> bDone{false};
        std::thread host;
        {
            CNAEntryGuard guard(CNAEntryGuard::NoReset);
            host = std::thread([&] {
                vxstandin::CallSlot<void>(piSQL, nSlot);
                bDone = true;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_FALSE(bDone) << "slot " << nSlot << " ran while the driver held its lock";
        }
        host.join();
        EXPECT_TRUE(bDone);
    }
    EXPECT_EQ(1u, pclSQL->nGetExternalRef()) << "one added, one released";

    // Many threads at once leave the counts as they were.
    std::vector<std::thread> hosts;
    for (int i = 0; i < 8; ++i) {
        hosts.emplace_back([&] {
            for (int j = 0; j < 2000; ++j) {
                vxstandin::CallSlot<void>(piSQL, kSQLSlotExternalAddRef);
                vxstandin::CallSlot<unsigned>(piSQL, kSQLSlotExternalRelease);
            }
        });
    }
    for (std::thread& t : hosts)
        t.join();
    EXPECT_EQ(1u, pclSQL->nGetExternalRef());
    EXPECT_EQ(0u, vxstandin::CallSlot<unsigned>(piSQL, kSQLSlotExternalRelease));
    EXPECT_EQ(1u, pclSQL->nGetRef()) << "the driver still holds it";
}

}  // namespace
