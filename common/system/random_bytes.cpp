#include "common/system/random_bytes.h"

#include <sys/random.h>

#include <cerrno>

bool bRandomBytes(void* p, size_t n)
{
    unsigned char* out = static_cast<unsigned char*>(p);
    while (n > 0) {
        // A large request may come back short or be interrupted by a signal.
        const ssize_t got = getrandom(out, n, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        out += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}
