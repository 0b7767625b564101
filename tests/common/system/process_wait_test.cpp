// Waiting for child processes, with and without an alarm handler installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "common/system/process.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A child that sleeps the given milliseconds and exits with the code.
pid_t Child(int nMilliseconds, int nExitCode)
{
    const pid_t n = fork();
    if (n == 0)
    {
        usleep(static_cast<useconds_t>(nMilliseconds) * 1000);
        _exit(nExitCode);
    }
    return n;
}

// Runs the body in a child process (so that a SIGALRM there cannot take the
// test process down) and returns its wait status.
template <typename F>
int InOwnProcess(F body)
{
    const pid_t n = fork();
    if (n == 0)
        _exit(body());
    int nStatus = 0;
    waitpid(n, &nStatus, 0);
    return nStatus;
}

int WaitForQuickChild()
{
    const pid_t n = Child(100, 9);
    int nCode = -1;
    const auto t = Clock::now();
    if (WaitPid(n, 5000, &nCode) != n)
        return 1;
    if (nCode != 9)
        return 2;
    // The child's end ends the wait, not the end of a whole second.
    if (MillisecondsSince(t) > 900)
        return 3;
    return 0;
}

TEST(WaitPid, WorksWithoutAnAlarmHandler)
{
    const int nStatus = InOwnProcess(WaitForQuickChild);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "killed by signal " << WTERMSIG(nStatus);
    EXPECT_EQ(0, WEXITSTATUS(nStatus));
}

TEST(WaitPid, WorksWithTheAlarmHandlerAndLeavesTheHostAlarm)
{
    const int nStatus = InOwnProcess([] {
        InitAlarmHandler(nullptr);
        alarm(100);
        const int n = WaitForQuickChild();
        if (n != 0)
            return n;
        const unsigned int nLeft = alarm(0);
        return nLeft >= 95 && nLeft <= 100 ? 0 : 10;
    });
    ASSERT_TRUE(WIFEXITED(nStatus)) << "killed by signal " << WTERMSIG(nStatus);
    EXPECT_EQ(0, WEXITSTATUS(nStatus));
}

volatile sig_atomic_t gnAlarms = 0;

void CountAlarm(int)
{
    gnAlarms = gnAlarms + 1;
}

TEST(WaitPid, AlarmHandlerInterruptsBlockingCalls)
{
    const int nStatus = InOwnProcess([] {
        InitAlarmHandler(CountAlarm);
        int a[2];
        if (pipe(a) != 0)
            return 1;
        alarm(1);
        char c;
        // Nobody writes: only the alarm ends the read, which is not restarted.
        if (read(a[0], &c, 1) != -1 || errno != EINTR)
            return 2;
        if (gnAlarms != 1)
            return 3;
        // The default handler keeps the process alive too.
        InitAlarmHandler(nullptr);
        raise(SIGALRM);
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(nStatus)) << "killed by signal " << WTERMSIG(nStatus);
    EXPECT_EQ(0, WEXITSTATUS(nStatus));
}

TEST(WaitPid, TimeOutZeroPollsOnce)
{
    const pid_t n = Child(3000, 0);
    int nCode = -1;
    const auto t = Clock::now();
    EXPECT_EQ(0, WaitPid(n, 0, &nCode));
    EXPECT_LT(MillisecondsSince(t), 500);
    EXPECT_EQ(0, nCode);
    EXPECT_EQ(1, TerminateProcess(n, 0));
    int nStatus = 0;
    EXPECT_EQ(n, waitpid(n, &nStatus, 0));
    EXPECT_TRUE(WIFSIGNALED(nStatus));
    EXPECT_EQ(SIGTERM, WTERMSIG(nStatus));
}

TEST(WaitPid, StillRunningAfterTheTimeOutInWholeSeconds)
{
    const pid_t n = Child(5000, 0);
    const auto t = Clock::now();
    // 1500 ms takes two steps of one second.
    EXPECT_EQ(0, WaitPid(n, 1500, nullptr));
    const long long nElapsed = MillisecondsSince(t);
    EXPECT_GE(nElapsed, 1900);
    EXPECT_LT(nElapsed, 3500);
    TerminateProcess(n, 0);
    EXPECT_EQ(n, WaitPid(n, 5000, nullptr));
}

TEST(WaitPid, ErrorsAndTermination)
{
    int nCode = -1;
    EXPECT_EQ(-1, WaitPid(1, 1000, &nCode)) << "not a child";
    EXPECT_EQ(0, nCode);
    EXPECT_EQ(0, TerminateProcess(0, 0));
    const pid_t n = Child(0, 3);
    EXPECT_EQ(n, WaitPid(n, 2000, &nCode));
    EXPECT_EQ(3, nCode);
    EXPECT_EQ(0, TerminateProcess(n, 0)) << "gone";
}

}  // namespace
