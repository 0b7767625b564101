#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>

// Writes all n bytes to the descriptor: a short write goes on with the rest,
// an interrupted one is tried again. False at the first failure (errno set)
// or a write that takes nothing.
bool bEcritToutFd(int fd, const void* p, size_t n);

// Reads from the descriptor until n bytes are in p or the file ends: a short
// read goes on with the rest, an interrupted one is tried again. The bytes
// read, or -1 with errno set.
ssize_t nLitToutFd(int fd, void* p, size_t n);

// Closes a descriptor at the end of its scope.
class CFd
{
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd)
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};
