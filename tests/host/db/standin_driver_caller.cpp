#include "tests/host/db/standin_driver_caller.h"

#include <dlfcn.h>

#include "common/system/execution_startup_record.h"

namespace {

template <class Fn>
Fn Symbol(void* hModule, const char* name)
{
    return reinterpret_cast<Fn>(hModule != nullptr ? dlsym(hModule, name) : nullptr);
}

// The driver's slots the host calls to hand over its services and to let go.
constexpr long kSlotExternalRelease = 6;
constexpr long kSlotSetVMAndLibShop = 30;
constexpr long kSlotSetQF = 36;

}  // namespace

StandinDriverEntryPoints StandinDriverEntryPoints::FromModule(void* hModule)
{
    StandinDriverEntryPoints entries;
    entries.pfnExecution = Symbol<decltype(entries.pfnExecution)>(hModule, "Execution");
    entries.pfnInitLibrary = Symbol<decltype(entries.pfnInitLibrary)>(hModule, "bInitLibrary");
    entries.pfnDLLCompatible = Symbol<decltype(entries.pfnDLLCompatible)>(hModule, "bDLLCompatible");
    entries.pfnQueryInterface = Symbol<decltype(entries.pfnQueryInterface)>(hModule, "piQueryInterface");
    entries.pfnTermLibrary = Symbol<decltype(entries.pfnTermLibrary)>(hModule, "TermLibrary");
    return entries;
}

bool StandinDriverEntryPoints::bComplete() const
{
    return pfnInitLibrary != nullptr && pfnDLLCompatible != nullptr && pfnQueryInterface != nullptr &&
           pfnTermLibrary != nullptr;
}

StandinDriverCaller::~StandinDriverCaller()
{
    nReleaseDriver();
}

int StandinDriverCaller::nStartModule(void* hHostModule)
{
    if (m_entries.pfnExecution == nullptr)
        return 0;
    stExecutionStartup record{sizeof record, hHostModule, 1, 0, nullptr};
    return m_entries.pfnExecution(3985, &record);
}

int StandinDriverCaller::nEndModule()
{
    return m_entries.pfnExecution != nullptr ? m_entries.pfnExecution(4875, nullptr) : 0;
}

int StandinDriverCaller::bInitLibrary(void* hModule)
{
    return m_entries.pfnInitLibrary(hModule);
}

StandinDriverCaller::Handshake StandinDriverCaller::stHandshake(unsigned nHostVersion)
{
    Handshake result{0, 0, 0, 0};
    result.bEngine = m_entries.pfnDLLCompatible(kEngineModule, nHostVersion, &result.nEngineVersion);
    result.bSQL = m_entries.pfnDLLCompatible(kSQLModule, nHostVersion, &result.nSQLVersion);
    return result;
}

INADriver* StandinDriverCaller::piOpenDriver()
{
    m_piDriver = m_entries.pfnQueryInterface(0);
    m_bServicesAccepted = 0;
    if (m_piDriver != nullptr)
        m_bServicesAccepted = Call<int>(kSlotSetVMAndLibShop, piLibShop(), piVMData()) &&
                              Call<int>(kSlotSetQF, piQF());
    return m_piDriver;
}

unsigned StandinDriverCaller::nReleaseDriver()
{
    if (m_piDriver == nullptr)
        return 0;
    const unsigned n = Call<unsigned>(kSlotExternalRelease);
    if (n == 0)
        m_piDriver = nullptr;
    return n;
}

void StandinDriverCaller::TermLibrary()
{
    m_entries.pfnTermLibrary();
}
