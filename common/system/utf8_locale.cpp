#include "common/system/utf8_locale.h"

#include <cctype>
#include <clocale>
#include <cstring>

char* UnsetLocale(int nCategory)
{
    return std::setlocale(nCategory, "C");
}

const char* SetLocaleUTF8()
{
    static const char* const kCandidates[] = {
        "", "fr_FR.UTF-8", "fr_FR.utf8", "en_US.UTF-8", "en_US.utf8", "C.UTF-8", "C.utf8",
    };
    constexpr size_t kCount = sizeof kCandidates / sizeof kCandidates[0];
    for (size_t i = 0; i < kCount; ++i) {
        const char* name = std::setlocale(LC_CTYPE, kCandidates[i]);
        if (!name) continue;
        if (i == kCount - 1) return name;
        char lower[101];
        size_t n = 0;
        for (; n < sizeof lower - 1 && name[n]; ++n) {
            lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
        }
        lower[n] = 0;
        if (std::strstr(lower, "utf8") || std::strstr(lower, "utf-8")) return name;
    }
    return nullptr;
}
