#include "common/system/environment.h"

#include <cerrno>
#include <cstdlib>

int SetEnvironmentVariable(const char* pszName, const char* pszValue)
{
    if (pszName == nullptr)
    {
        errno = EINVAL;
        return 0;
    }
    if (pszValue == nullptr)
    {
        unsetenv(pszName);
        return 1;
    }
    return setenv(pszName, pszValue, 1) == 0;
}
