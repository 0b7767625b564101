// The Windows-style calls that change the current directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "common/system/current_directory.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

class CurrentDirectory : public vxtest::ScratchDirectory
{
};

TEST_F(CurrentDirectory, WideAndHostCharset)
{
    ASSERT_EQ(0, mkdir("d\xC3\xA9", 0755));
    EXPECT_EQ(1, SetCurrentDirectoryW(L"d\u00e9"));
    char sz[PATH_MAX];
    ASSERT_NE(nullptr, getcwd(sz, sizeof sz));
    EXPECT_EQ(Dir() + "/d\xC3\xA9", sz);
    EXPECT_EQ(0, SetCurrentDirectoryW(L"missing"));
    EXPECT_EQ(1, SetCurrentDirectoryA(".."));
    EXPECT_EQ(0, SetCurrentDirectoryA(nullptr));
    EXPECT_EQ(0, SetCurrentDirectoryA("missing"));
    // A name longer than the stack buffer takes the heap.
    std::string sDeep;
    for (int i = 0; i < 5; ++i) {
        sDeep += (i ? "/" : "") + std::string(250, static_cast<char>('a' + i));
        ASSERT_EQ(0, mkdir(sDeep.c_str(), 0755));
    }
    EXPECT_EQ(1, SetCurrentDirectoryA(sDeep.c_str()));
    ASSERT_NE(nullptr, getcwd(sz, sizeof sz));
    EXPECT_EQ(Dir() + "/" + sDeep, sz);
}

}  // namespace
