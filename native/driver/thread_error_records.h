#pragma once

// The host threads' records of a shared error object. The driver's error
// object is held by nearly everything the driver makes (its tables, the
// SQL-functions object, the descriptions it reads) and the host reads it
// from any of its threads, without the driver-wide lock, after its call has
// returned. So that a thread reads the error of its own last call and
// nothing another thread's call frees or replaces, such an object keeps no
// error itself: each host thread has a record of its own, a plain CNAError
// that only that thread fills (under the lock, in its calls) and reads.
//
// A record is made on the thread's first use of the shared object and lives
// until the thread ends, the shared object ends, or the module ends,
// whichever comes first: the host may start and end threads without the
// records growing. Outside a started module, or when no memory is left for
// a record, there is none and the shared object holds the error itself, as
// for a single thread.
//
// One small mutex of its own guards the lists (a thread's end and a shared
// object's end come without the driver-wide lock); it is held for list work
// only, never while a record is freed.
class CNAError;

class CNAThreadErrorRecords
{
public:
    // Module start: the key that frees a thread's records when it ends.
    static void g_Start();
    // Module end: every record left is freed and the key deleted, so that
    // no thread ending later calls into a module that may be unloaded.
    static void g_End();
    // The calling thread's record of the shared object, made on first use;
    // null without a started module or without memory.
    static CNAError* g_pclRecordOf(const CNAError* pclShared);
    // Frees every thread's record of the shared object, which ends.
    static void g_ForgetShared(const CNAError* pclShared);
    // The records that live, of every thread and shared object.
    static unsigned g_nRecords();
};
