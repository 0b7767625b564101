#pragma once

#include <cstddef>
#include <cstdint>

// Thread creation in the Windows style over POSIX threads. Thread ids are
// pthread_t values. A stack size that the platform refuses (0 included)
// leaves the default size.

// A detached thread running start(arg); its id, or (uintptr_t)-1 with errno
// set to the creation's error.
uintptr_t _beginthread(void (*pfStart)(void*), unsigned int nStackSize, void* pArg);
// A joinable thread running start(arg), whose result becomes the thread's
// exit value; security and flags are ignored. *pnId (when given) receives
// the id. The id, or 0 with errno set.
uintptr_t _beginthreadex(void* pSecurity, unsigned int nStackSize, unsigned int (*pfStart)(void*), void* pArg,
                         unsigned int nFlags, unsigned long* pnId);
// The same as _beginthreadex.
uintptr_t CreateThread(void* pSecurity, size_t nStackSize, unsigned int (*pfStart)(void*), void* pArg,
                       unsigned int nFlags, unsigned long* pnId);
// pthread_setschedparam with SCHED_OTHER and the priority as given, which
// that policy accepts only as 0; false with errno set when refused.
int SetThreadPriority(uintptr_t hThread, int nPriority);
