// The module's start and end, the factory hook of the concrete driver, and
// the module-wide state of the driver.
#include "common/system/main_commun.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/thread_error_records.h"

void* CNADriver::s_hDllHandle = nullptr;
uint32_t CNADriver::s_nID_VXQF = 0;
uint32_t CNADriver::s_nID_VXSQL = 0;
pthread_mutex_t CNADriver::m_gstDriverCriticalSection;
CNADriver* CNADriver::s_pclDriver = nullptr;
CNADriver* CNADriver::s_pclNewestDriver = nullptr;
int32_t CNADriver::s_bGPFCatched = 0;

namespace {

// Constant-initialised: the concrete driver may register from a static
// constructor of its own, before or after this file's.
CNADriver::stFactory gstFactory = {nullptr, nullptr};
// The mutex exists between the module start and its end; ending twice must
// not destroy it twice.
bool gbCriticalSectionReady = false;
bool gbTermLibraryDone = false;

}  // namespace

void CNADriver::g_NAInitModule(void* hModule)
{
    s_hDllHandle = hModule;
    CMainCommun::bInitLibraryCommon(hModule);
    s_nID_VXQF = 0;
    s_nID_VXSQL = 0;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_gstDriverCriticalSection, &attr);
    pthread_mutexattr_destroy(&attr);
    gbCriticalSectionReady = true;
    CNAThreadErrorRecords::g_Start();
}

int CNADriver::g_NATermModule()
{
    if (gbCriticalSectionReady) {
        gbCriticalSectionReady = false;
        pthread_mutex_destroy(&m_gstDriverCriticalSection);
        CNAThreadErrorRecords::g_End();
    }
    return CMainCommun::bTermLibraryCommon();
}

CNADriver::stFactory CNADriver::g_SetFactory(const stFactory& stNew)
{
    const stFactory stFormer = gstFactory;
    gstFactory = stNew;
    return stFormer;
}

bool CNADriver::g_bModuleStarted()
{
    return gbCriticalSectionReady;
}

CNADriver* CNADriver::g_pclQueryInterface()
{
    // Without the mutex there is no driver to hand out: the host asked before
    // bInitLibrary or after TermLibrary.
    if (!gbCriticalSectionReady)
        return nullptr;
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (gstFactory.pfnNewDriver == nullptr)
        return nullptr;
    CNADriver* pclDriver = gstFactory.pfnNewDriver();
    if (pclDriver == nullptr)
        return nullptr;
    s_pclDriver = pclDriver;
    pclDriver->ExternalAddRef();
    pclDriver->AllocError();
    return pclDriver;
}

void CNADriver::g_TermLibrary()
{
    if (gbTermLibraryDone)
        return;
    gbTermLibraryDone = true;
    if (gstFactory.pfnTermModule != nullptr)
        gstFactory.pfnTermModule();
    else
        g_NATermModule();
}
