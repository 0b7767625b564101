#include "native/driver/thread_error_records.h"

#include <pthread.h>

#include <new>

#include "native/driver/error_object.h"

namespace {

struct stRecord
{
    const CNAError* pclShared;
    CNAError* pclError;
    stRecord* pNext;
};

// A thread's records, one per shared object it used; the thread's value of
// the key.
struct stThread
{
    stRecord* pRecords = nullptr;
    stThread* pPrev = nullptr;
    stThread* pNext = nullptr;
};

// Statically initialised and never destroyed: a thread may end, or a
// shared object go, before the module starts or after it ended.
pthread_mutex_t gMutex = PTHREAD_MUTEX_INITIALIZER;
pthread_key_t gKey;
bool gbKeyMade = false;
stThread* gpThreads = nullptr;
unsigned gnRecords = 0;

class CRecordsLock
{
public:
    CRecordsLock() { pthread_mutex_lock(&gMutex); }
    ~CRecordsLock() { pthread_mutex_unlock(&gMutex); }
    CRecordsLock(const CRecordsLock&) = delete;
    CRecordsLock& operator=(const CRecordsLock&) = delete;
};

// Outside the lock: a record's end frees its error's blocks.
void FreeRecords(stRecord* pRecord)
{
    while (pRecord != nullptr) {
        stRecord* pNext = pRecord->pNext;
        delete pRecord->pclError;
        delete pRecord;
        pRecord = pNext;
    }
}

// Under the lock. The thread leaves the list; its records are the
// caller's to free.
stRecord* pUnlinkThread(stThread* pThread)
{
    (pThread->pPrev != nullptr ? pThread->pPrev->pNext : gpThreads) = pThread->pNext;
    if (pThread->pNext != nullptr)
        pThread->pNext->pPrev = pThread->pPrev;
    for (stRecord* p = pThread->pRecords; p != nullptr; p = p->pNext)
        --gnRecords;
    return pThread->pRecords;
}

// The key's end function, called as a thread that used a shared object
// ends.
void ThreadEnds(void* pValue)
{
    auto* pThread = static_cast<stThread*>(pValue);
    stRecord* pFree = nullptr;
    {
        CRecordsLock lock;
        // The module's end may have freed the thread's records meanwhile:
        // nothing is read through the pointer before it is found listed.
        stThread* p = gpThreads;
        while (p != nullptr && p != pThread)
            p = p->pNext;
        if (p == nullptr)
            return;
        pFree = pUnlinkThread(pThread);
    }
    delete pThread;
    FreeRecords(pFree);
}

// A module unloaded without its end must not leave the key's end function
// behind for the threads that end later.
struct CEndAtUnload
{
    ~CEndAtUnload() { CNAThreadErrorRecords::g_End(); }
} gEndAtUnload;

}  // namespace

void CNAThreadErrorRecords::g_Start()
{
    CRecordsLock lock;
    if (!gbKeyMade)
        gbKeyMade = pthread_key_create(&gKey, &ThreadEnds) == 0;
}

void CNAThreadErrorRecords::g_End()
{
    stThread* pThreads = nullptr;
    {
        CRecordsLock lock;
        if (!gbKeyMade)
            return;
        pthread_key_delete(gKey);
        gbKeyMade = false;
        pThreads = gpThreads;
        gpThreads = nullptr;
        gnRecords = 0;
    }
    while (pThreads != nullptr) {
        stThread* pNext = pThreads->pNext;
        FreeRecords(pThreads->pRecords);
        delete pThreads;
        pThreads = pNext;
    }
}

CNAError* CNAThreadErrorRecords::g_pclRecordOf(const CNAError* pclShared)
{
    CRecordsLock lock;
    if (!gbKeyMade)
        return nullptr;
    auto* pThread = static_cast<stThread*>(pthread_getspecific(gKey));
    if (pThread != nullptr) {
        for (stRecord* p = pThread->pRecords; p != nullptr; p = p->pNext)
            if (p->pclShared == pclShared)
                return p->pclError;
    } else {
        pThread = new (std::nothrow) stThread;
        if (pThread == nullptr)
            return nullptr;
        if (pthread_setspecific(gKey, pThread) != 0) {
            delete pThread;
            return nullptr;
        }
        pThread->pNext = gpThreads;
        if (gpThreads != nullptr)
            gpThreads->pPrev = pThread;
        gpThreads = pThread;
    }
    auto* pclError = new (std::nothrow) CNAError;
    auto* pRecord = pclError != nullptr ? new (std::nothrow) stRecord{pclShared, pclError, pThread->pRecords} : nullptr;
    if (pRecord == nullptr) {
        delete pclError;
        return nullptr;
    }
    pThread->pRecords = pRecord;
    ++gnRecords;
    return pclError;
}

void CNAThreadErrorRecords::g_ForgetShared(const CNAError* pclShared)
{
    stRecord* pFree = nullptr;
    {
        CRecordsLock lock;
        for (stThread* pThread = gpThreads; pThread != nullptr; pThread = pThread->pNext) {
            for (stRecord** pp = &pThread->pRecords; *pp != nullptr;) {
                stRecord* p = *pp;
                if (p->pclShared != pclShared) {
                    pp = &p->pNext;
                    continue;
                }
                *pp = p->pNext;
                p->pNext = pFree;
                pFree = p;
                --gnRecords;
            }
        }
    }
    FreeRecords(pFree);
}

unsigned CNAThreadErrorRecords::g_nRecords()
{
    CRecordsLock lock;
    return gnRecords;
}
