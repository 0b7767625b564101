#pragma once

#include "native/driver/na_forward.h"

// The entry protocol of the driver's host-facing operations, as a scope:
// the module-wide recursive mutex is locked and, when an error object is
// given, that object is reset so that the last error afterwards describes
// this call only; the mutex is released when the scope ends, also when an
// exception passes through, which then reaches the caller unchanged. Entries
// that must keep the last error lock without a reset.
class CNAEntryGuard
{
public:
    enum eNoReset
    {
        NoReset
    };

    explicit CNAEntryGuard(CNAError* pclResetError);
    explicit CNAEntryGuard(eNoReset);
    ~CNAEntryGuard();
    CNAEntryGuard(const CNAEntryGuard&) = delete;
    CNAEntryGuard& operator=(const CNAEntryGuard&) = delete;
};
