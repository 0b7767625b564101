#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include "common/system/process.h"

namespace {

// Whether the child has ended, without reaping it; pid as waitpid takes it.
bool Ended(pid_t nPid)
{
    siginfo_t st{};
    idtype_t nType = P_PID;
    id_t nId = static_cast<id_t>(nPid);
    if (nPid == -1)
        nType = P_ALL;
    else if (nPid == 0)
        nType = P_PGID, nId = static_cast<id_t>(getpgrp());
    else if (nPid < -1)
        nType = P_PGID, nId = static_cast<id_t>(-nPid);
    if (waitid(nType, nId, &st, WEXITED | WNOHANG | WNOWAIT) != 0)
        return true;  // nothing left to wait for: let waitpid say so
    return st.si_pid != 0;
}

// Up to one second, over early when the child ends or a signal is caught.
// No alarm: nothing can be lost between arming a timer and sleeping.
void SleepStep(pid_t nPid)
{
#ifdef SYS_pidfd_open
    if (nPid > 0)
    {
        const int fd = static_cast<int>(syscall(SYS_pidfd_open, nPid, 0));
        if (fd >= 0)
        {
            pollfd st{fd, POLLIN, 0};
            poll(&st, 1, 1000);
            close(fd);
            return;
        }
    }
#endif
    // Without process descriptors: slices of 10 ms.
    for (int i = 0; i < 100 && !Ended(nPid); ++i)
    {
        timespec st{0, 10 * 1000 * 1000};
        if (nanosleep(&st, nullptr) != 0)
            return;
    }
}

}  // namespace

pid_t WaitPid(pid_t nPid, unsigned int nTimeOutMs, int* pnExitCode)
{
    int nStatus = 0;
    pid_t nResult = waitpid(nPid, &nStatus, WNOHANG);
    uint64_t nElapsed = 0;
    while (nResult == 0 && nTimeOutMs != 0)
    {
        SleepStep(nPid);
        nElapsed += 1000;
        nResult = waitpid(nPid, &nStatus, WNOHANG);
        if (nElapsed >= nTimeOutMs)
            break;
    }
    if (pnExitCode != nullptr)
        *pnExitCode = (nStatus >> 8) & 0xFF;
    return nResult;
}

int TerminateProcess(pid_t nPid, int)
{
    if (nPid == 0)
        return 0;
    return kill(nPid, SIGTERM) == 0;
}

void DefaultAlarmHandler(int)
{
}

void InitAlarmHandler(PFALARMHANDLER pfHandler)
{
    struct sigaction st{};
    st.sa_handler = pfHandler != nullptr ? pfHandler : DefaultAlarmHandler;
    sigemptyset(&st.sa_mask);
    // No SA_RESTART: the alarm interrupts system calls.
    st.sa_flags = 0;
    sigaction(SIGALRM, &st, nullptr);
}
