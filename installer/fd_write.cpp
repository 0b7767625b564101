#include "installer/fd_write.h"

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
