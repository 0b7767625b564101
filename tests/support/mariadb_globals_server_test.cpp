// The administrator changes a global setting of the run's shared server (the
// file name takes the lock of such tests) and puts it back; the test user
// cannot.
#include <gtest/gtest.h>

#include "tests/support/raw_client.h"

namespace {

using vxtest::RawClient;
using Text = std::optional<std::string>;

TEST(MariadbGlobals, AdministratorSetsAndRestoresAGlobal)
{
    RawClient admin = vxtest::ConnectAsAdmin();
    const Text saved = admin.Value("SELECT @@GLOBAL.max_connect_errors");
    ASSERT_TRUE(saved.has_value()) << admin.sError();
    const std::string sChanged = std::to_string(std::stoull(*saved) + 7);
    {
        // Put back whatever the assertions below decide.
        struct Restore
        {
            RawClient& admin;
            const std::string& sValue;
            ~Restore() { EXPECT_TRUE(admin.bExecute("SET GLOBAL max_connect_errors = " + sValue)) << admin.sError(); }
        } restore{admin, *saved};

        ASSERT_TRUE(admin.bExecute("SET GLOBAL max_connect_errors = " + sChanged)) << admin.sError();
        RawClient user = vxtest::ConnectAsTestUser();
        EXPECT_EQ(Text(sChanged), user.Value("SELECT @@GLOBAL.max_connect_errors")) << "seen by other connections";
        EXPECT_FALSE(user.bExecute("SET GLOBAL max_connect_errors = 1"));
        EXPECT_EQ(1227u, user.nError()) << user.sError();
    }
    EXPECT_EQ(saved, admin.Value("SELECT @@GLOBAL.max_connect_errors"));
}

}  // namespace
