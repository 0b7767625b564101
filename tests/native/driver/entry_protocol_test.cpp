// The entry protocol of the driver's host entries: the driver-wide mutex is
// held during the work and free afterwards, also when the work throws (the
// exception reaching the caller unchanged), entries nest on one thread, and
// an entry starts from a reset error object unless it reads the last error.
#include <gtest/gtest.h>

#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/support/test_environment.h"

namespace {

struct Refused
{
    int nMark;
};

class EntryProtocol : public ::testing::Test
{
protected:
    void SetUp() override { StartTestDriverModule(); }
};

TEST_F(EntryProtocol, AThrowingSlotLeavesTheMutexFree)
{
    CTestDriverChoices choices;
    bool bLockedDuringWork = false;
    choices.allocDriverSQL = [&](CNADriver* driver, CNAError*) -> CNADriverSQL* {
        bLockedDuringWork = !bDriverMutexFreeForOtherThreads();
        // A nested entry on the same thread takes the mutex again.
        EXPECT_EQ(nullptr, driver->piGetInterface(2));
        throw Refused{42};
    };
    CTestDriverRegistration registration(choices);
    INADriver* driver = piQueryInterface(0);
    ASSERT_NE(nullptr, driver);
    try {
        driver->piGetInterface(1);
        ADD_FAILURE() << "the exception did not come through";
    } catch (const Refused& refused) {
        EXPECT_EQ(42, refused.nMark);
    }
    EXPECT_TRUE(bLockedDuringWork);
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    EXPECT_EQ(0u, driver->nExternalRelease());
}

TEST_F(EntryProtocol, TheGuardUnlocksOnEveryWayOut)
{
    {
        CNAEntryGuard outer(CNAEntryGuard::NoReset);
        {
            CNAEntryGuard inner(nullptr);
            EXPECT_FALSE(bDriverMutexFreeForOtherThreads());
        }
        EXPECT_FALSE(bDriverMutexFreeForOtherThreads()) << "still held by the outer entry";
    }
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    try {
        CNAEntryGuard guard(CNAEntryGuard::NoReset);
        throw Refused{1};
    } catch (const Refused&) {
    }
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
}

TEST_F(EntryProtocol, EntriesStartFromAResetErrorObject)
{
    CTestDriverRegistration registration;
    INADriver* driver = piQueryInterface(0);
    ASSERT_NE(nullptr, driver);
    CNAError* error = static_cast<CNADriver*>(driver)->pclGetError();

    error->AddError(NA_ERR_DUPLICATE_KEY, 5, 1, nullptr, 14, L"Cnx");
    INAError* last = driver->piGetLastError();
    ASSERT_EQ(error, last);
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, last->eGetErrorType()) << "reading the last error keeps it";

    EXPECT_EQ(nullptr, driver->piGetInterface(2));
    EXPECT_EQ(NA_ERR_NONE, last->eGetErrorType());
    EXPECT_EQ(0u, last->dwGetErrorId());

    error->AddError(NA_ERR_DUPLICATE_KEY, 5, 1, nullptr, 14, L"Cnx");
    EXPECT_EQ(1, driver->bSetQF(nullptr));
    EXPECT_EQ(NA_ERR_NONE, last->eGetErrorType());
    error->AddError(NA_ERR_DUPLICATE_KEY, 5, 1, nullptr, 14, L"Cnx");
    EXPECT_EQ(1, driver->bSetVMAndLibShop(nullptr, nullptr));
    EXPECT_EQ(NA_ERR_NONE, last->eGetErrorType());
    EXPECT_EQ(0u, driver->nExternalRelease());
}

}  // namespace
