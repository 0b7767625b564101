#pragma once

#include "native/driver/na_forward.h"

// The entry protocol of the driver's host-facing operations, as a scope:
// the module-wide recursive mutex is locked and, when an error object is
// given, that object is reset so that the last error afterwards describes
// this call only (the driver's own error object resets the calling thread's
// record only, see error_object.h); the mutex is released when the scope ends, also when an
// exception passes through, which then reaches the caller unchanged. Entries
// that must keep the last error lock without a reset. Objects the host
// counts from its own threads outside any entry (the descriptions) lock
// only while the module is started: before and after, the mutex does not
// exist and no entry can run beside them.
class CNAEntryGuard
{
public:
    enum eNoReset
    {
        NoReset
    };
    enum eIfStarted
    {
        IfModuleStarted
    };

    explicit CNAEntryGuard(CNAError* pclResetError);
    explicit CNAEntryGuard(eNoReset);
    explicit CNAEntryGuard(eIfStarted);
    ~CNAEntryGuard();
    CNAEntryGuard(const CNAEntryGuard&) = delete;
    CNAEntryGuard& operator=(const CNAEntryGuard&) = delete;

private:
    bool m_bLocked = true;
};
