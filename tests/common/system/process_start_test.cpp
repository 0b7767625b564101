// Starting child processes from Windows-style command lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/system/command_line.h"
#include "common/system/process.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsOnBlanksWithQuotedParts)
{
    struct Case
    {
        const wchar_t* pszLine;
        Args aArgs;
    } aCases[] = {
        {L"  prog  a  \"b c\"  d", {"prog", "a", "b c", "d"}},
        {L"a\\\"b c", {"a\\\"b", "c"}},            // an escaped quote stays and opens nothing
        {L"\"a\\\"b c\" d", {"a\\\"b c", "d"}},      // nor closes
        {L"\"never closed  ", {"\"never closed"}},  // kept, trailing blanks go
        {L"x\"a\"b\"c y", {"xa\"bc", "y"}},        // later quotes move the close
        {L"\"\" z", {"z"}},                         // empty arguments are dropped
        {L"a\tb\nc", {"a", "b", "c"}},
        {L"d\u00e9j\u00e0 \u20ac", {"d\xC3\xA9j\xC3\xA0", "\xE2\x82\xAC"}},
        {L"   ", {}},
        {L"", {}},
        {nullptr, {}},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(c.aArgs, __SplitCommandLine(c.pszLine)) << (c.pszLine ? c.pszLine : L"(null)");
}

class ProcessStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char sz[] = "/tmp/vx_argv_XXXXXX";
        const int fd = mkstemp(sz);
        ASSERT_GE(fd, 0);
        close(fd);
        m_sOut = sz;
        setenv("VX_ARGV_ECHO_OUT", sz, 1);
        unsetenv("VX_ARGV_ECHO_EXIT");
    }
    void TearDown() override
    {
        unlink(m_sOut.c_str());
        unsetenv("VX_ARGV_ECHO_OUT");
        unsetenv("VX_ARGV_ECHO_EXIT");
    }

    // The arguments the echo program received.
    Args Received() const
    {
        std::ifstream f(m_sOut);
        int n = 0;
        f >> n;
        std::string s;
        std::getline(f, s);
        Args a;
        while (n-- > 0 && std::getline(f, s))
            a.push_back(s);
        return a;
    }

    static std::wstring Echo()
    {
        const std::string s = VX_STANDIN_ARGV_ECHO_PATH;
        return std::wstring(s.begin(), s.end());
    }

    std::string m_sOut;
};

TEST_F(ProcessStart, ProgramFromTheCommandLineWithItsArguments)
{
    pid_t n = 0;
    int bRunning = -1, nCode = -1;
    EXPECT_EQ(1, CreateProcess(nullptr, (L"  " + Echo() + L"  one  \"two three\"  ").c_str(), &n, 1, &bRunning, &nCode));
    EXPECT_GT(n, 0);
    EXPECT_EQ(0, bRunning);
    EXPECT_EQ(0, nCode);
    EXPECT_EQ((Args{VX_STANDIN_ARGV_ECHO_PATH, "one", "two three"}), Received());
}

TEST_F(ProcessStart, ApplicationComesFirst)
{
    int nCode = -1;
    setenv("VX_ARGV_ECHO_EXIT", "3", 1);
    EXPECT_EQ(1, CreateProcess(Echo().c_str(), L"x -v", nullptr, 1, nullptr, &nCode)) << "an exit code but 255 is a start";
    EXPECT_EQ(3, nCode);
    EXPECT_EQ((Args{VX_STANDIN_ARGV_ECHO_PATH, "x", "-v"}), Received());

    EXPECT_EQ(1, CreateProcess(Echo().c_str(), nullptr, nullptr, 1, nullptr, nullptr));
    EXPECT_EQ((Args{VX_STANDIN_ARGV_ECHO_PATH}), Received());
}

TEST_F(ProcessStart, FailuresToStart)
{
    pid_t n = 12345;
    EXPECT_EQ(0, CreateProcess(L"/etc/passwd", L"x", &n, 1, nullptr, nullptr)) << "not executable";
    EXPECT_EQ(12345, n) << "nothing was started";
    EXPECT_EQ(0, CreateProcess(nullptr, nullptr, &n, 1, nullptr, nullptr));

    // A failed execve shows as exit code 255 within the wait.
    int nCode = -1;
    EXPECT_EQ(0, CreateProcess(nullptr, L"/nonexistent/program a", &n, 1, nullptr, &nCode));
    EXPECT_GT(n, 0);
    EXPECT_EQ(255, nCode);
    EXPECT_EQ(0, CreateProcess(nullptr, L"   ", &n, 1, nullptr, nullptr)) << "blanks only run nothing";

    // A program that starts and ends with 255 reads as a failed start. The
    // wait lasts about a second: on a loaded machine the child may still
    // be starting then, and the call reports it running instead.
    setenv("VX_ARGV_ECHO_EXIT", "255", 1);
    int bRunning = -1;
    nCode = -1;
    const int bStarted = CreateProcess(Echo().c_str(), L"x", &n, 1, &bRunning, &nCode);
    if (bRunning) {
        EXPECT_EQ(1, bStarted);
        ASSERT_EQ(n, WaitPid(n, 60000, &nCode));
    } else {
        EXPECT_EQ(0, bStarted);
    }
    EXPECT_EQ(255, nCode);
}

TEST_F(ProcessStart, WithoutWaitAndStillRunning)
{
    pid_t n = 0;
    ASSERT_EQ(1, CreateProcess(Echo().c_str(), L"quick", &n, 0, nullptr, nullptr));
    int nCode = -1;
    EXPECT_EQ(n, WaitPid(n, 5000, &nCode));
    EXPECT_EQ(0, nCode);
    EXPECT_EQ((Args{VX_STANDIN_ARGV_ECHO_PATH, "quick"}), Received());

    int bRunning = -1;
    nCode = -1;
    ASSERT_EQ(1, CreateProcess(L"/bin/sleep", L"5", &n, 1, &bRunning, &nCode));
    EXPECT_EQ(1, bRunning);
    EXPECT_EQ(0, nCode);
    EXPECT_EQ(1, TerminateProcess(n, 0));
    EXPECT_EQ(n, WaitPid(n, 5000, nullptr));
}

}  // namespace
