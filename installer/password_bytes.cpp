#include "installer/password_bytes.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "common/text/cp1252.h"

unsigned char* pbyPasswordBytes(const wchar_t* pszPassword, unsigned* pnLength, bool* pbFailed)
{
    *pnLength = 0;
    if (pbFailed != nullptr)
        *pbFailed = false;
    const size_t length = pszPassword != nullptr ? std::wcslen(pszPassword) : 0;
    // Four bytes a character at most; a password never comes near it.
    if (length == 0 || length > UINT32_MAX / 4)
        return nullptr;
    const bool ansi = STR_bIsCp1252(pszPassword);
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(ansi ? length : 4 * length));
    if (bytes == nullptr) {
        if (pbFailed != nullptr)
            *pbFailed = true;
        return nullptr;
    }
    size_t n = 0;
    auto unit = [&](uint32_t u) {
        bytes[n++] = static_cast<unsigned char>(u);
        bytes[n++] = static_cast<unsigned char>(u >> 8);
    };
    for (size_t i = 0; i < length; ++i) {
        const uint32_t c = static_cast<uint32_t>(pszPassword[i]);
        if (ansi) {
            unsigned char b = 0;
            STR_bIsCp1252(pszPassword[i], &b);
            bytes[n++] = b;
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    *pnLength = static_cast<unsigned>(n);
    return bytes;
}
