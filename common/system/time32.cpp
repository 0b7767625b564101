#include "common/system/time32.h"

#include <ctime>

namespace {

int nToTime32(time_t t)
{
    return (t > 0x7FFFFFFF || t < 0) ? -1 : static_cast<int>(t);
}

}  // namespace

int _time32(int* pnOut)
{
    const int t = nToTime32(time(nullptr));
    if (pnOut) *pnOut = t;
    return t;
}

char* _ctime32(const int* pnTime)
{
    if (!pnTime) return nullptr;
    const time_t t = *pnTime;
    return ctime(&t);
}

struct tm* _localtime32(const int* pnTime)
{
    if (!pnTime) return nullptr;
    const time_t t = *pnTime;
    return localtime(&t);
}
