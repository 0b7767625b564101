#pragma once

// Record locks belong to a process: a conflict can only be seen from
// another one. LockHolder forks a child that takes a lock and keeps it
// until the holder is destroyed (or for a given time); bOtherProcessCanLock
// asks a short-lived child whether it could take one now.
#include <fcntl.h>
#include <signal.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vxtest {

class LockHolder
{
public:
    // nHoldMs 0: until destroyed.
    LockHolder(const std::string& path, short nType, off_t oStart = 0, off_t oLength = 0, unsigned nHoldMs = 0)
    {
        // A holder that timed out is gone: telling it to go must not kill us.
        signal(SIGPIPE, SIG_IGN);
        int aReady[2];
        int aRelease[2];
        if (pipe(aReady) != 0 || pipe(aRelease) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(aReady[0]);
            close(aRelease[1]);
            const int fd = open(path.c_str(), nType == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock fl = {};
            fl.l_type = nType;
            fl.l_whence = SEEK_SET;
            fl.l_start = oStart;
            fl.l_len = oLength;
            char c = fd >= 0 && fcntl(fd, F_SETLK, &fl) == 0 ? 'y' : 'n';
            (void)!write(aReady[1], &c, 1);
            if (nHoldMs != 0)
                usleep(nHoldMs * 1000);
            else
                (void)!read(aRelease[0], &c, 1);
            _exit(0);
        }
        close(aReady[1]);
        close(aRelease[0]);
        m_fdRelease = aRelease[1];
        char c = 'n';
        (void)!read(aReady[0], &c, 1);
        close(aReady[0]);
        m_bLocked = c == 'y';
    }
    ~LockHolder() { Release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool bLocked() const { return m_bLocked; }
    void Release()
    {
        if (m_fdRelease >= 0) {
            (void)!write(m_fdRelease, "x", 1);
            close(m_fdRelease);
            m_fdRelease = -1;
        }
        if (m_pid > 0) {
            int nStatus;
            waitpid(m_pid, &nStatus, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    int m_fdRelease = -1;
    bool m_bLocked = false;
};

// Whether another process could take the lock now (it lets it go at once).
inline bool bOtherProcessCanLock(const std::string& path, short nType, off_t oStart = 0, off_t oLength = 0)
{
    LockHolder probe(path, nType, oStart, oLength);
    return probe.bLocked();
}

}  // namespace vxtest
