#pragma once

// The driver module in a test process: started once in-process, as the
// host's first bInitLibrary starts it, and a look at the driver-wide mutex
// from another thread. Every test that makes a driver, a test driver or the
// MySQL one, stands on these.
#include <pthread.h>

#include <thread>

#include "native/driver/driver.h"
#include "native/driver/driver_exports.h"

// Starts the module in-process once, as the host's first bInitLibrary does;
// every test that makes a driver needs it.
inline void StartTestDriverModule()
{
    bInitLibrary(nullptr);
}

// Whether another thread could take the driver-wide mutex now (it gives it
// back at once): false while an entry of this thread holds it.
inline bool bDriverMutexFreeForOtherThreads()
{
    int result = -1;
    std::thread([&] {
        result = pthread_mutex_trylock(&CNADriver::m_gstDriverCriticalSection);
        if (result == 0)
            pthread_mutex_unlock(&CNADriver::m_gstDriverCriticalSection);
    }).join();
    return result == 0;
}
