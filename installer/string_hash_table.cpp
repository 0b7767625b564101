#include "installer/string_hash_table.h"

#include <sys/random.h>
#include <time.h>

#include <cwctype>

namespace {

uint32_t dwBase()
{
    uint32_t dw = 0;
    if (getrandom(&dw, sizeof dw, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof dw)) {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        dw = static_cast<uint32_t>(ts.tv_nsec) ^ static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&ts));
    }
    return dw ^ 2166136261u;
}

}  // namespace

uint32_t dwHashNomArchive(const wchar_t* psz, bool bIgnoreCase)
{
    static const uint32_t s_dwBase = dwBase();
    uint32_t h = s_dwBase;
    for (const wchar_t* p = psz; p != nullptr && *p != 0; ++p) {
        const uint32_t c = bIgnoreCase ? static_cast<uint32_t>(std::towlower(static_cast<wint_t>(*p)))
                                       : static_cast<uint32_t>(*p);
        for (int i = 0; i < 4; ++i) {
            h ^= (c >> (8 * i)) & 0xFF;
            h *= 16777619u;
        }
    }
    return h;
}
