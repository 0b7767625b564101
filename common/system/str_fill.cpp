#include "common/system/str_fill.h"

char* _strset(char* s, int c)
{
    if (s != nullptr)
        for (char* p = s; *p != '\0'; ++p)
            *p = static_cast<char>(c);
    return s;
}

char* _strnset(char* s, int c, size_t n)
{
    if (s == nullptr)
        return s;
    char* p = s;
    for (; n > 0 && *p != '\0'; --n, ++p)
        *p = static_cast<char>(c);
    return p;
}
