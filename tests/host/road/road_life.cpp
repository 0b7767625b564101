// The road's start-up (step 1) and teardown (step 10): the host's order of
// loading, starting, connecting, and of giving everything back.
#include <dlfcn.h>

#include <clocale>

#include "common/system/information.h"
#include "common/text/ct_string.h"
#include "common/text/vm_binding.h"
#include "common/text/vm_calc_binding.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/road/road.h"
#include "tests/host/road/road_slots.h"

namespace {

using vxstandin::CallSlot;
using InitVMFn = int (*)(void*, int, int);

// The machine's interface versions the host announces.
constexpr int kVMVersion = 2;

std::wstring Wide(const std::string& s)
{
    CTString cs;
    cs.SetANSIEx(s.c_str(), static_cast<int>(s.size()), 65001);
    return cs.pszGet();
}

}  // namespace

int Road::nRun()
{
    const bool bOk =
        bStartUp() && bSQLStep() && bListStep() && bOpenStep() && bReadStep() && bFilterStep() && bWriteStep() &&
        bWriteErrorStep() && bErrorStep();
    // A failed teardown counts as a failed step.
    (void)bTeardown(bOk);
    return m_out.nSummary();
}

bool Road::bStartUp()
{
    m_out.BeginStep(1, "load and start the driver as the host does, open a connection");
    const bool bOk = bLoadAndStart() && bOpenConnection();
    m_out.EndStep();
    return bOk;
}

bool Road::bLoadAndStart()
{
    // The program's own values print through the wide-character functions.
    std::setlocale(LC_CTYPE, "C.UTF-8");

    m_host = std::make_unique<StandinHostModule>(m_settings.sHostPath.c_str());
    if (!m_out.Check(m_host->IsLoaded(), ("load the stand-in host module: " + m_host->Error()).c_str()))
        return false;
    m_host->Reset();
    // This program's copy of the common library makes values and strings that
    // the driver's copy reads and frees: both take the host module's
    // allocator and locale, and the host module's machine.
    CInformationModule::ms_piStrMemAlloc = m_host->Allocator();
    CInformationDLL::ms_piInfoLocale = m_host->Locale();
    if (!m_out.Check(bInitZLConvFromVM(m_host->Handle(), kVMVersion, kVMVersion) == 1 &&
                         bInitZLCalcFromVM(m_host->Handle(), kVMVersion, kVMVersion) == 1,
                     "bind this program's values to the stand-in machine"))
        return false;
    m_out.Line("stand-in host module loaded: %s", m_settings.sHostPath.c_str());

    m_hDriver = dlopen(m_settings.sDriverPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_hDriver == nullptr) {
        const char* pszWhy = dlerror();
        return m_out.Check(false, (std::string("dlopen the driver: ") + (pszWhy != nullptr ? pszWhy : "?")).c_str());
    }
    m_out.Line("driver loaded with dlopen(RTLD_NOW | RTLD_LOCAL): %s", m_settings.sDriverPath.c_str());
    const StandinDriverEntryPoints entries = StandinDriverEntryPoints::FromModule(m_hDriver);
    auto pfnInitConv = reinterpret_cast<InitVMFn>(dlsym(m_hDriver, "bInitZLConvFromVM"));
    auto pfnInitCalc = reinterpret_cast<InitVMFn>(dlsym(m_hDriver, "bInitZLCalcFromVM"));
    if (!m_out.Check(entries.bComplete() && entries.pfnExecution != nullptr && pfnInitConv != nullptr &&
                         pfnInitCalc != nullptr,
                     "the driver exports its entry points"))
        return false;
    m_caller = std::make_unique<StandinDriverCaller>(entries);

    // The driver finds the host's Execution through the module handle at
    // offset 8 of the start-up record.
    const int nStarted = m_caller->nStartModule(m_host->Handle());
    m_out.Line("Execution(3985) with the host module's handle: %d (%zu services asked)", nStarted,
               m_host->Queries().size());
    if (!m_out.Check(nStarted == 1, "the driver's module start-up"))
        return false;
    m_bLibraryStarted = true;
    const int bConv = pfnInitConv(m_host->Handle(), kVMVersion, kVMVersion);
    const int bCalc = pfnInitCalc(m_host->Handle(), kVMVersion, kVMVersion);
    m_out.Line("bInitZLConvFromVM: %d, bInitZLCalcFromVM: %d", bConv, bCalc);
    if (!m_out.Check(bConv == 1 && bCalc == 1, "bind the driver's values to the stand-in machine"))
        return false;
    const int bInit = m_caller->bInitLibrary(m_hDriver);
    m_out.Line("bInitLibrary: %d", bInit);
    if (!m_out.Check(bInit == 1, "bInitLibrary"))
        return false;
    const StandinDriverCaller::Handshake handshake = m_caller->stHandshake();
    m_out.Line("bDLLCompatible(7): %d, version %u; bDLLCompatible(28): %d, version %u", handshake.bEngine,
               handshake.nEngineVersion, handshake.bSQL, handshake.nSQLVersion);
    if (!m_out.Check(handshake.bEngine == 1 && handshake.bSQL == 1, "the version handshake"))
        return false;
    m_piDriver = m_caller->piOpenDriver();
    m_out.Line("piQueryInterface: %s; bSetVMAndLibShop and bSetQF: %d", m_piDriver != nullptr ? "a driver" : "null",
               m_caller->bServicesAccepted());
    return m_out.Check(m_piDriver != nullptr && m_caller->bServicesAccepted() == 1, "the driver object");
}

bool Road::bOpenConnection()
{
    m_sUser = Wide(m_settings.sUser);
    m_sPassword = Wide(m_settings.sPassword);
    m_sDatabase = Wide(m_settings.sDatabase);
    if (!m_settings.sSocket.empty()) {
        m_connection.SetDataBase(L"localhost");
        m_sExtended = L"Unix Socket=" + Wide(m_settings.sSocket);
    } else {
        m_connection.SetDataBase(L"127.0.0.1");
        m_sExtended = L"Server Port=" + std::to_wstring(m_settings.nPort);
    }
    if (m_settings.nCacheSize)
        m_sExtended += L";VX Cache Size=" + std::to_wstring(*m_settings.nCacheSize);
    m_connection.SetUserName(m_sUser.c_str());
    m_connection.SetPassword(m_sPassword.c_str());
    m_connection.SetDefaultDataBase(m_sDatabase.c_str());
    m_connection.SetExtendedInfo(m_sExtended.c_str());
    m_connection.SetConnectionName(L"road");
    m_out.Line("connection description: server %ls, user %ls, database %ls, \"%ls\"",
               m_connection.pszGetDataBase(), m_sUser.c_str(), m_sDatabase.c_str(), m_sExtended.c_str());

    const int bOpen = CallSlot<int>(m_piDriver, road::kDriverOpenConnection,
                                    static_cast<INAConnectionDescription*>(&m_connection));
    m_out.Line("INADriver::bOpenConnection: %d", bOpen);
    if (!m_out.Check(bOpen == 1, "INADriver::bOpenConnection", piDriverError()))
        return false;
    m_bConnectionOpen = true;
    return true;
}

INAError* Road::piDriverError()
{
    return m_piDriver != nullptr ? CallSlot<INAError*>(m_piDriver, road::kDriverLastError) : nullptr;
}

INAError* Road::piSQLError()
{
    return m_piSQL != nullptr ? CallSlot<INAError*>(m_piSQL, road::kSQLLastError) : nullptr;
}

bool Road::bTeardown(bool bChecked)
{
    RoadPrinter quiet;
    RoadPrinter& out = bChecked ? m_out : quiet;
    if (bChecked)
        out.BeginStep(10, "teardown in the host's order");
    bool bOk = true;

    if (m_bTableOpen) {
        const int bClosed = CallSlot<int>(m_piTable, road::kTableClose, static_cast<INAContext*>(&m_context));
        if (bChecked) {
            out.Line("INATable::bHFerme: %d", bClosed);
            bOk = out.Check(bClosed == 1, "INATable::bHFerme", piContextError(m_context)) && bOk;
        }
        m_bTableOpen = false;
    }
    // The host's releases: the table, then the descriptions it was given.
    if (m_piTable != nullptr) {
        const int nLeft = CallSlot<int>(m_piTable, road::kTableExternalRelease);
        if (bChecked)
            out.Line("INATable::nExternalRelease: %d", nLeft);
        m_piTable = nullptr;
    }
    for (INAItemDescription* piItem : m_items)
        (void)CallSlot<unsigned>(piItem, road::kItemExternalRelease);
    m_items.clear();
    for (INADataSourceDescription** ppi : {&m_piTableDescription, &m_piDescription}) {
        if (*ppi == nullptr)
            continue;
        const unsigned nLeft = CallSlot<unsigned>(*ppi, road::kDescriptionExternalRelease);
        if (bChecked)
            out.Line("INADataSourceDescription::nExternalRelease: %u", nLeft);
        *ppi = nullptr;
    }

    if (m_nSQLConnection != 0) {
        const int bClosed = CallSlot<int>(m_piSQL, road::kSQLCloseConnection, m_nSQLConnection);
        if (bChecked) {
            out.Line("INADriverSQL::bCloseConnection(%d): %d", m_nSQLConnection, bClosed);
            bOk = out.Check(bClosed == 1, "INADriverSQL::bCloseConnection", piSQLError()) && bOk;
        }
        m_nSQLConnection = 0;
    }
    if (m_piSQL != nullptr) {
        const unsigned nLeft = CallSlot<unsigned>(m_piSQL, road::kSQLExternalRelease);
        if (bChecked)
            out.Line("INADriverSQL::nExternalRelease: %u", nLeft);
        m_piSQL = nullptr;
    }
    if (m_bConnectionOpen) {
        const int bClosed = CallSlot<int>(m_piDriver, road::kDriverCloseConnection,
                                          static_cast<INAConnectionDescription*>(&m_connection));
        if (bChecked) {
            out.Line("INADriver::bCloseConnection: %d", bClosed);
            bOk = out.Check(bClosed == 1, "INADriver::bCloseConnection", piDriverError()) && bOk;
        }
        m_bConnectionOpen = false;
    }
    if (m_piDriver != nullptr && m_bContextUsed) {
        const int bClosed = CallSlot<int>(m_piDriver, road::kDriverCloseContext, static_cast<INAContext*>(&m_context));
        if (bChecked) {
            out.Line("INADriver::bCloseContext(%lu): %d (%s)", m_context.dwGetCtxID(), bClosed,
                     bClosed ? "closed" : "the driver let it go with its last data access");
            bOk = out.Check(bClosed == 0, "bHFerme let the context go with its only data access") && bOk;
        }
        m_bContextUsed = false;
    }
    if (m_piDriver != nullptr) {
        const unsigned nLeft = m_caller->nReleaseDriver();
        if (bChecked) {
            out.Line("INADriver::nExternalRelease: %u (the driver's last)", nLeft);
            bOk = out.Check(nLeft == 0, "the last release destroys the driver") && bOk;
        }
        m_piDriver = nullptr;
    }
    if (m_bLibraryStarted) {
        m_caller->TermLibrary();
        const int nEnded = m_caller->nEndModule();
        if (bChecked) {
            out.Line("TermLibrary; Execution(4875): %d", nEnded);
            bOk = out.Check(nEnded == 1, "the driver's module end") && bOk;
        }
        m_bLibraryStarted = false;
    }
    m_caller.reset();
    if (m_hDriver != nullptr) {
        const int nClosed = dlclose(m_hDriver);
        if (bChecked) {
            out.Line("dlclose: %d", nClosed);
            bOk = out.Check(nClosed == 0, "dlclose the driver") && bOk;
        }
        m_hDriver = nullptr;
    }
    if (bChecked) {
        // Every reference the driver took on the host's objects is back.
        const int nBalance = m_connection.Refs().nBalance();
        const int nContexts = m_context.Refs().nBalance() + m_otherContext.Refs().nBalance();
        out.Line("references the driver still holds: %d on the connection description, %d on the contexts",
                 nBalance, nContexts);
        bOk = out.Check(nBalance == 0 && nContexts == 0, "the driver gave back the host's objects") && bOk;
        out.EndStep();
    }
    return bOk;
}
