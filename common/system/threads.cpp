#include "common/system/threads.h"

#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <new>

namespace {

struct StartRecord
{
    void (*pfPlain)(void*);
    unsigned int (*pfEx)(void*);
    void* pArg;
};

void* Trampoline(void* p)
{
    const StartRecord st = *static_cast<StartRecord*>(p);
    delete static_cast<StartRecord*>(p);
    if (st.pfPlain != nullptr)
    {
        st.pfPlain(st.pArg);
        return nullptr;
    }
    return reinterpret_cast<void*>(static_cast<uintptr_t>(st.pfEx(st.pArg)));
}

// 0 or the creation's error; the id through pId.
int Start(const StartRecord& stRecord, size_t nStackSize, bool bDetached, pthread_t* pId)
{
    auto* pRecord = new (std::nothrow) StartRecord(stRecord);
    if (pRecord == nullptr)
        return ENOMEM;
    pthread_attr_t attr;
    int nError = pthread_attr_init(&attr);
    if (nError != 0)
    {
        delete pRecord;
        return nError;
    }
    // A refused size keeps the default one.
    if (nStackSize != 0)
        pthread_attr_setstacksize(&attr, nStackSize);
    pthread_attr_setdetachstate(&attr, bDetached ? PTHREAD_CREATE_DETACHED : PTHREAD_CREATE_JOINABLE);
    nError = pthread_create(pId, &attr, Trampoline, pRecord);
    pthread_attr_destroy(&attr);
    if (nError != 0)
        delete pRecord;
    return nError;
}

}  // namespace

uintptr_t _beginthread(void (*pfStart)(void*), unsigned int nStackSize, void* pArg)
{
    pthread_t id;
    const int nError = Start(StartRecord{pfStart, nullptr, pArg}, nStackSize, true, &id);
    if (nError != 0)
    {
        errno = nError;
        return static_cast<uintptr_t>(-1);
    }
    return static_cast<uintptr_t>(id);
}

namespace {

uintptr_t StartJoinable(size_t nStackSize, unsigned int (*pfStart)(void*), void* pArg, unsigned long* pnId)
{
    pthread_t id;
    const int nError = Start(StartRecord{nullptr, pfStart, pArg}, nStackSize, false, &id);
    if (nError != 0)
    {
        errno = nError;
        return 0;
    }
    if (pnId != nullptr)
        *pnId = static_cast<unsigned long>(id);
    return static_cast<uintptr_t>(id);
}

}  // namespace

uintptr_t _beginthreadex(void*, unsigned int nStackSize, unsigned int (*pfStart)(void*), void* pArg, unsigned int,
                         unsigned long* pnId)
{
    return StartJoinable(nStackSize, pfStart, pArg, pnId);
}

uintptr_t CreateThread(void*, size_t nStackSize, unsigned int (*pfStart)(void*), void* pArg, unsigned int,
                       unsigned long* pnId)
{
    return StartJoinable(nStackSize, pfStart, pArg, pnId);
}

int SetThreadPriority(uintptr_t hThread, int nPriority)
{
    sched_param st{};
    st.sched_priority = nPriority;
    const int nError = pthread_setschedparam(static_cast<pthread_t>(hThread), SCHED_OTHER, &st);
    if (nError != 0)
    {
        errno = nError;
        return 0;
    }
    return 1;
}
