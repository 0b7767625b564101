#include "installer/fd_io.h"

#include <unistd.h>

#include <cerrno>

bool bEcritToutFd(int fd, const void* p, size_t n)
{
    const char* q = static_cast<const char*>(p);
    while (n > 0) {
        const ssize_t w = write(fd, q, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        q += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

ssize_t nLitToutFd(int fd, void* p, size_t n)
{
    char* q = static_cast<char*>(p);
    size_t nLu = 0;
    while (nLu < n) {
        const ssize_t r = read(fd, q + nLu, n - nLu);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        nLu += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(nLu);
}
