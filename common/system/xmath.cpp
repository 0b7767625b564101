#include "common/system/xmath.h"

bool CXMath::bEstPremier(unsigned long n)
{
    if (n == 2) return true;
    if (n % 2 == 0) return false;
    if (n / 3 <= 2) return true;
    if (n % 3 == 0) return false;
    for (unsigned long d = 5;; d += 2) {
        const unsigned long q = n / d;
        if (q < d) return true;
        if (q * d == n) return false;
    }
}
