#include "installer/unaligned_unicode_copy.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

char* __UNALIGNED__UNICODE__STRCPY__(char* out, const char* in)
{
    if (out == nullptr || in == nullptr)
        return out;
    if (reinterpret_cast<uintptr_t>(out) % alignof(wchar_t) == 0 &&
        reinterpret_cast<uintptr_t>(in) % alignof(wchar_t) == 0) {
        std::wcscpy(reinterpret_cast<wchar_t*>(out), reinterpret_cast<const wchar_t*>(in));
        return out;
    }
    // Unit by unit through memcpy, which is what an unaligned access needs.
    for (size_t i = 0;; i += sizeof(wchar_t)) {
        wchar_t c;
        std::memcpy(&c, in + i, sizeof c);
        std::memcpy(out + i, &c, sizeof c);
        if (c == 0)
            break;
    }
    return out;
}
