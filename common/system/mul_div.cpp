#include "common/system/mul_div.h"

#include <climits>
#include <cstdint>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    int64_t nA = a;
    int64_t nC = c;
    if (nC < 0)
    {
        nA = -nA;
        nC = -nC;
    }
    const int64_t nProduct = nA * b;
    const bool bNegative = (nA < 0) != (b < 0);
    const int64_t nResult = bNegative ? (nProduct - nC / 2) / nC : (nProduct + nC / 2) / nC;
    if (nResult < INT_MIN || nResult > INT_MAX)
        return -1;
    return static_cast<int>(nResult);
}
