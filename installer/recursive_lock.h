#pragma once

#include <pthread.h>

// The installer's objects guard themselves with POSIX recursive mutexes.
inline bool bInitRecursiveMutex(pthread_mutex_t* pMutex)
{
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0)
        return false;
    const bool ok = pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
                    pthread_mutex_init(pMutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

// Holds a mutex for the life of a scope.
class CRecursiveLock
{
public:
    explicit CRecursiveLock(pthread_mutex_t* pMutex) : m_pMutex(pMutex) { pthread_mutex_lock(m_pMutex); }
    ~CRecursiveLock() { pthread_mutex_unlock(m_pMutex); }
    CRecursiveLock(const CRecursiveLock&) = delete;
    CRecursiveLock& operator=(const CRecursiveLock&) = delete;

private:
    pthread_mutex_t* m_pMutex;
};
