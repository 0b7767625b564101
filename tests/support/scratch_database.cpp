#include "tests/support/scratch_database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

namespace vxtest {

namespace {

// The longest name the server takes.
constexpr size_t kMaxName = 64;

std::string TestPart()
{
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string s = pInfo != nullptr ? std::string(pInfo->test_suite_name()) + "_" + pInfo->name() : "test";
    for (char& c : s)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            c = '_';
    }
    return s;
}

}  // namespace

ScratchDatabase::ScratchDatabase()
{
    static std::atomic<unsigned> nCount{0};
    const std::string sTail = "_" + std::to_string(getpid()) + "_" + std::to_string(++nCount);
    const std::string& sPrefix = Mariadb().sPrefix;
    std::string sName = sPrefix + TestPart();
    if (sName.size() + sTail.size() > kMaxName)
        sName.resize(kMaxName > sPrefix.size() + sTail.size() ? kMaxName - sTail.size() : sPrefix.size());
    sName += sTail;
    RawClient client = ConnectAsTestUser();
    if (client.bExecute("CREATE DATABASE " + QuoteIdentifier(sName) + " CHARACTER SET utf8mb4"))
        m_sName = sName;
    else
        ADD_FAILURE() << "cannot make database " << sName << ": " << client.sError();
}

ScratchDatabase::~ScratchDatabase()
{
    if (m_sName.empty())
        return;
    RawClient client = ConnectAsTestUser();
    EXPECT_TRUE(client.bExecute("DROP DATABASE IF EXISTS " + Quoted())) << client.sError();
}

}  // namespace vxtest
