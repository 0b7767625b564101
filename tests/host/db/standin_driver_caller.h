#pragma once

// The host's database layer, stood in for: it drives the driver through its
// exported entry points in the host's order (module start-up with command
// 3985, bInitLibrary, the version handshake for the engine side, module 7,
// and the SQL side, module 28, piQueryInterface, then the host's services
// through bSetVMAndLibShop and bSetQF), calls the driver's slots by index and
// releases it. The entry points come as function pointers: looked up in a
// loaded vxmysql.so, or the functions linked into a test.
//
// The library shop and the machine's data are tokens the driver only stores;
// they must never be called. The engine interface is a stand-in engine of
// the caller's own, which outlives the driver the caller releases.
#include "native/driver/na_forward.h"
#include "tests/host/db/standin_qf_for_na.h"
#include "tests/host/db/standin_slot_call.h"

struct StandinDriverEntryPoints
{
    int (*pfnExecution)(unsigned int, void*) = nullptr;  // optional: the module entry
    int (*pfnInitLibrary)(void*) = nullptr;
    int (*pfnDLLCompatible)(int, unsigned, unsigned*) = nullptr;
    INADriver* (*pfnQueryInterface)(int) = nullptr;
    void (*pfnTermLibrary)() = nullptr;

    // Looked up by name in a loaded module; a missing name stays null.
    static StandinDriverEntryPoints FromModule(void* hModule);
    // The four database entry points are all there.
    bool bComplete() const;
};

class StandinDriverCaller
{
public:
    // The host version the handshake announces unless told otherwise.
    static constexpr unsigned kHostVersion = 32;
    // Host module numbers of the handshake.
    static constexpr int kEngineModule = 7;
    static constexpr int kSQLModule = 28;

    struct Handshake
    {
        int bEngine;
        unsigned nEngineVersion;  // what the driver wrote back
        int bSQL;
        unsigned nSQLVersion;
    };

    explicit StandinDriverCaller(const StandinDriverEntryPoints& entries) : m_entries(entries) {}
    StandinDriverCaller(const StandinDriverCaller&) = delete;
    StandinDriverCaller& operator=(const StandinDriverCaller&) = delete;
    // Drops the reference piOpenDriver took when the driver is still held,
    // as a host that ends does.
    ~StandinDriverCaller();

    // The module start-up (Execution 3985) with the host module's handle;
    // 0 when the driver has no Execution entry.
    int nStartModule(void* hHostModule);
    // The module end (Execution 4875).
    int nEndModule();
    int bInitLibrary(void* hModule);
    // bDLLCompatible for modules 7 and 28; the written versions start at 0.
    Handshake stHandshake(unsigned nHostVersion = kHostVersion);
    // piQueryInterface; when a driver comes, the host's services are handed
    // over. Null when none comes (nothing else is called then).
    INADriver* piOpenDriver();
    INADriver* piDriver() const { return m_piDriver; }
    // Slot n of the driver.
    template <class R, class... A>
    R Call(long nSlot, A... args)
    {
        return vxstandin::CallSlot<R>(m_piDriver, nSlot, args...);
    }
    // One external release of the driver (slot 6); the caller forgets the
    // driver when it answers 0.
    unsigned nReleaseDriver();
    void TermLibrary();

    ILibShop* piLibShop() { return reinterpret_cast<ILibShop*>(&m_abyTokens[0]); }
    IVMData* piVMData() { return reinterpret_cast<IVMData*>(&m_abyTokens[1]); }
    IQFForNA* piQF() { return &m_clQF; }
    StandinQFForNA& QF() { return m_clQF; }
    // Answers of bSetVMAndLibShop and bSetQF when the driver was opened.
    int bServicesAccepted() const { return m_bServicesAccepted; }

private:
    // Handed to the driver; the caller's destructor releases the driver
    // before the engine goes.
    StandinQFForNA m_clQF;
    StandinDriverEntryPoints m_entries;
    INADriver* m_piDriver = nullptr;
    int m_bServicesAccepted = 0;
    unsigned char m_abyTokens[2] = {};
};
