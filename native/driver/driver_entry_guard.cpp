#include "native/driver/driver_entry_guard.h"

#include "native/driver/driver.h"
#include "native/driver/error_object.h"

CNAEntryGuard::CNAEntryGuard(CNAError* pclResetError)
{
    pthread_mutex_lock(&CNADriver::m_gstDriverCriticalSection);
    if (pclResetError == nullptr)
        return;
    // The destructor of a half-built guard does not run: unlock here.
    try {
        pclResetError->Reset();
    } catch (...) {
        pthread_mutex_unlock(&CNADriver::m_gstDriverCriticalSection);
        throw;
    }
}

CNAEntryGuard::CNAEntryGuard(eNoReset)
{
    pthread_mutex_lock(&CNADriver::m_gstDriverCriticalSection);
}

CNAEntryGuard::CNAEntryGuard(eIfStarted) : m_bLocked(CNADriver::g_bModuleStarted())
{
    if (m_bLocked)
        pthread_mutex_lock(&CNADriver::m_gstDriverCriticalSection);
}

CNAEntryGuard::~CNAEntryGuard()
{
    if (m_bLocked)
        pthread_mutex_unlock(&CNADriver::m_gstDriverCriticalSection);
}
