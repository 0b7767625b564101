// When the line buffer cannot grow, the profile parsers stop as at the end of
// the file and the writer changes nothing; the exported line reader answers
// 12. The heap is limited in a child process run under the address
// sanitizer, which then fails large allocations instead of aborting.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/profile_file.h"
#include "common/system/profile_line_reader.h"
#include "common/text/text_exports.h"
#include "tests/common/system/profile_fixture.h"

extern char** environ;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitedHeapAvailable = true;
#else
constexpr bool kLimitedHeapAvailable = false;
#endif

constexpr size_t kLongLine = 3u << 20;  // above the child's 1 MB allocation limit

// Runs in the child only (see below).
TEST(ProfileNoMemory, DISABLED_InLimitedHeap)
{
    const char* pszFile = std::getenv("VX_PROFILE_NOMEM_FILE");
    ASSERT_NE(nullptr, pszFile);
    ASSERT_EQ(nullptr, std::malloc(kLongLine)) << "the heap is not limited";

    FILE* f = std::fopen(pszFile, "r");
    ASSERT_NE(nullptr, f);
    char* p = nullptr;
    size_t n = 0;
    EXPECT_EQ(4, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_EQ(STRG_LINE_NO_MEMORY, (__STRG_nGetLine<char, char>(&p, &n, f)));
    EXPECT_EQ('x', p[0]);  // the buffer stays the caller's, terminated
    std::rewind(f);
    EXPECT_EQ(4, STRG_nGetLine<char>(&p, &n, f));
    EXPECT_EQ(12, STRG_nGetLine<char>(&p, &n, f));
    std::free(p);
    std::fclose(f);

    // The key after the long line is not seen: the parse stopped there.
    char sz[8] = "";
    EXPECT_EQ(1u, GetPrivateProfileStringA("s", "k", "d", sz, sizeof sz, pszFile));
    EXPECT_STREQ("d", sz);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "2", pszFile));
    EXPECT_FALSE(WritePrivateProfileStringA("s", nullptr, nullptr, pszFile));
}

class ProfileNoMemoryParent : public vxtest::ProfileDirectory
{
};

TEST_F(ProfileNoMemoryParent, ParsersStopAndWriterLeavesTheFile)
{
    if (!kLimitedHeapAvailable) GTEST_SKIP() << "needs the address sanitizer's allocation limit";
    const std::string sFile = Path("long.ini");
    const std::string sContent = "[s]\n" + std::string(kLongLine, 'x') + "\nk=1\n";
    Put(sFile, sContent);

    std::string sOptions = "ASAN_OPTIONS=";
    if (const char* psz = std::getenv("ASAN_OPTIONS")) sOptions += std::string(psz) + ":";
    sOptions += "allocator_may_return_null=1:max_allocation_size_mb=1";
    const std::string sFileVar = "VX_PROFILE_NOMEM_FILE=" + sFile;
    std::vector<char*> aEnv;
    for (char** pp = environ; *pp; ++pp)
        if (std::strncmp(*pp, "ASAN_OPTIONS=", 13) != 0) aEnv.push_back(*pp);
    aEnv.push_back(const_cast<char*>(sOptions.c_str()));
    aEnv.push_back(const_cast<char*>(sFileVar.c_str()));
    aEnv.push_back(nullptr);
    char szFilter[] = "--gtest_filter=ProfileNoMemory.DISABLED_InLimitedHeap";
    char szDisabled[] = "--gtest_also_run_disabled_tests";
    char szSelf[] = "/proc/self/exe";
    char* aArgs[] = {szSelf, szFilter, szDisabled, nullptr};

    std::fflush(nullptr);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execve(szSelf, aArgs, aEnv.data());
        _exit(127);
    }
    int nStatus = 0;
    ASSERT_EQ(pid, waitpid(pid, &nStatus, 0));
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(0, WEXITSTATUS(nStatus));
    EXPECT_TRUE(Get(sFile) == sContent) << "the file changed";
}

}  // namespace
