#pragma once

class CXMath
{
public:
    // Trial division by 3 and the odd numbers from 5 on. 1 counts as prime
    // (the hash tables that search sizes upwards never ask for it).
    static bool bEstPremier(unsigned long n);
};
