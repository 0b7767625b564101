#include "common/system/emule_load_string.h"

int nEmule_LoadStringW(void*, unsigned int, wchar_t*, int)
{
    return 0;
}

int nEmule_LoadStringA(void*, unsigned int, char*, int)
{
    return 0;
}
