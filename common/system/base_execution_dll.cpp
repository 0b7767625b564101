#include "common/system/base_execution_dll.h"

#include <dlfcn.h>

#include <new>

#include "common/system/c_stack_record.h"
#include "common/system/execution_startup_record.h"
#include "common/system/global_factory.h"
#include "common/system/memory_recycler.h"

CBaseExecutionDLL* gpclExecutionDLL32 = nullptr;
uint32_t CBaseExecutionDLL::ms_nNbInitialisation = 0;

namespace {

template <typename T>
T* AsPointer(int64_t answer)
{
    return reinterpret_cast<T*>(static_cast<intptr_t>(answer));
}

}  // namespace

CBaseExecutionDLL::CBaseExecutionDLL() : m_hInstance(nullptr), m_pfnExecution(nullptr), m_bTermine(0)
{
}

// What the recyclers hold must not outlive the module: the host may unload
// the library right after this.
CBaseExecutionDLL::~CBaseExecutionDLL()
{
    CRecycleurMemoire::s_VideListe();
}

int CBaseExecutionDLL::vbInitialiseDLL()
{
    return 1;
}

void CBaseExecutionDLL::vSetUtilisation(unsigned int, unsigned int)
{
}

void CBaseExecutionDLL::vTermineDLL()
{
}

void CBaseExecutionDLL::vChangeLangue()
{
}

void CBaseExecutionDLL::vDesactiveApplication()
{
}

void CBaseExecutionDLL::vReactiveApplication()
{
}

int CBaseExecutionDLL::vbInitialiseTypeDINO(CXError*)
{
    return 1;
}

int CBaseExecutionDLL::vbDumpMemoire(IDumpMemoire*)
{
    return 0;
}

CBaseExecutionDLL* CBaseExecutionDLL::_pclCreate()
{
    // No exception may leave toward the host: a failed allocation is a
    // failed start.
    auto* pcl = new (std::nothrow) CBaseExecutionDLL;
    gpclExecutionDLL32 = pcl;
    return pcl;
}

int64_t CBaseExecutionDLL::_nQueryHost(int nIndex) const
{
    if (m_pfnExecution == nullptr)
        return 0;
    return m_pfnExecution(HOST_QUERY_SERVICE, nIndex);
}

int CBaseExecutionDLL::_bFindHostEntry(HINSTANCE hVM)
{
    m_hInstance = hVM;
    dlerror();
    void* pSymbol = dlsym(hVM, "Execution");
    // Without the entry nothing is fetched: the allocator and the locale stay
    // null, and their users fail cleanly instead of calling through them.
    m_pfnExecution = reinterpret_cast<PFNHOSTEXECUTION>(pSymbol);
    return pSymbol != nullptr;
}

void CBaseExecutionDLL::_FetchServices() const
{
    ms_piGlobalFactory = AsPointer<IGlobalFactory>(_nQueryHost(HOST_SERVICE_GLOBAL_FACTORY));
    ms_piCollecteurTopo = AsPointer<void>(_nQueryHost(HOST_SERVICE_TOPOLOGY_COLLECTOR));
    ms_piInfoLocale = AsPointer<IInfoLocale>(_nQueryHost(HOST_SERVICE_INFO_LOCALE));
    ms_piStrMemAlloc = AsPointer<IStrMemAlloc>(_nQueryHost(HOST_SERVICE_STR_MEM_ALLOC));
    ms_piInformationComposante = AsPointer<void>(_nQueryHost(HOST_SERVICE_COMPONENT_INFORMATION));
}

void CBaseExecutionDLL::_FetchProductValues(ILibShop* piLibShop) const
{
    ms_piLibShop = piLibShop != nullptr ? piLibShop : AsPointer<ILibShop>(_nQueryHost(HOST_SERVICE_LIBSHOP));
    // 32-bit members keep the low half of the host's 64-bit answer.
    ms_nCodeProduitExecution = static_cast<uint32_t>(_nQueryHost(HOST_SERVICE_PRODUCT_CODE));
    ms_nCodeProduitReel = static_cast<uint32_t>(_nQueryHost(HOST_SERVICE_REAL_PRODUCT_CODE));
    ms_nLangueInterne = static_cast<uint32_t>(_nQueryHost(HOST_SERVICE_INTERNAL_LANGUAGE));
    ms_pszNomProduit = AsPointer<const wchar_t>(_nQueryHost(HOST_SERVICE_PRODUCT_NAME));
    ms_dwOptions = static_cast<uint64_t>(_nQueryHost(HOST_SERVICE_OPTIONS));
    const uint32_t dwVersion = static_cast<uint32_t>(_nQueryHost(HOST_SERVICE_ACTIVE_VERSION));
    if (dwVersion > ms_dwVersionActive)
        ms_dwVersionActive = dwVersion;
    ms_pbMultithread = AsPointer<int>(_nQueryHost(HOST_SERVICE_MULTITHREAD_FLAG));
}

int CBaseExecutionDLL::_bInitialise(HINSTANCE hVM, ILibShop* piLibShop)
{
    if (hVM != nullptr) {
        if (!_bFindHostEntry(hVM))
            return 0;
        _FetchServices();
        _FetchProductValues(piLibShop);
    }
    return vbInitialiseDLL();
}

int CBaseExecutionDLL::s_nStartup(const stExecutionStartup* pstRecord)
{
    // A start-up without its record cannot name the host: refuse it rather
    // than read through null.
    if (pstRecord == nullptr)
        return 0;
    if (gpclExecutionDLL32 == nullptr) {
        CBaseExecutionDLL* pcl = _pclCreate();
        if (pcl == nullptr)
            return 0;
        ILibShop* piLibShop =
            pstRecord->nSize >= EXECUTION_STARTUP_LIBSHOP_MIN_SIZE ? pstRecord->piLibShop : nullptr;
        // A failed first start leaves the object published and uncounted.
        if (!pcl->_bInitialise(pstRecord->hVM, piLibShop))
            return 0;
    }
    gpclExecutionDLL32->vSetUtilisation(pstRecord->nUtilisation1, pstRecord->nUtilisation2);
    ++ms_nNbInitialisation;
    return 1;
}

int CBaseExecutionDLL::s_nEnd()
{
    if (ms_nNbInitialisation != 0) {
        --ms_nNbInitialisation;
        if (ms_nNbInitialisation != 0)
            return 1;
    }
    CBaseExecutionDLL* pcl = gpclExecutionDLL32;
    if (pcl == nullptr)
        return 1;
    pcl->m_bTermine = 1;
    pcl->vTermineDLL();
    gpclExecutionDLL32 = nullptr;
    delete pcl;
    return 1;
}

int CBaseExecutionDLL::s_nInitialiseTypes(CXError* pclError)
{
    if (ms_piGlobalFactory == nullptr)
        return 1;
    if (ms_piGlobalFactory->vnGetVersion() <= 1)
        return 1;
    if (gpclExecutionDLL32 == nullptr || !gpclExecutionDLL32->vbInitialiseTypeDINO(pclError))
        return 2;
    return 1;
}

void CBaseExecutionDLL::s_TermineDLL()
{
    CBaseExecutionDLL* pcl = gpclExecutionDLL32;
    if (pcl == nullptr || pcl->m_bTermine != 0 || pcl->m_pfnExecution == nullptr)
        return;
    pcl->m_pfnExecution(HOST_UNLOADING, 0);
    gpclExecutionDLL32 = nullptr;
    delete pcl;
}

int CBaseExecutionDLL::s_bInitialiseMoiMeme(HINSTANCE hVM)
{
    if (gpclExecutionDLL32 != nullptr)
        return 1;
    CBaseExecutionDLL* pcl = _pclCreate();
    if (pcl == nullptr)
        return 0;
    if (hVM != nullptr) {
        if (!pcl->_bFindHostEntry(hVM))
            return 0;
        pcl->_FetchServices();
    }
    if (!pcl->vbInitialiseDLL())
        return 0;
    // Not started by the host: the unload step must not tell it anything.
    pcl->m_bTermine = 1;
    return 1;
}

void CBaseExecutionDLL::s_TermineMoiMeme()
{
    CBaseExecutionDLL* pcl = gpclExecutionDLL32;
    gpclExecutionDLL32 = nullptr;
    delete pcl;
}

HINSTANCE CBaseExecutionDLL::s_hGetHinstanceVM()
{
    return gpclExecutionDLL32 != nullptr ? gpclExecutionDLL32->m_hInstance : nullptr;
}

void CBaseExecutionDLL::s_InitLibShopMoiMeme()
{
    if (ms_piLibShop == nullptr && gpclExecutionDLL32 != nullptr && gpclExecutionDLL32->m_pfnExecution != nullptr)
        ms_piLibShop = AsPointer<ILibShop>(gpclExecutionDLL32->_nQueryHost(HOST_SERVICE_LIBSHOP));
}

int CBaseExecutionDLL::s_eGetModeSmartphone()
{
    return gpclExecutionDLL32 != nullptr ? gpclExecutionDLL32->_eGetModeSmartphone() : 0;
}

int CBaseExecutionDLL::_eGetModeSmartphone() const
{
    return static_cast<int>(_nQueryHost(HOST_SERVICE_SMARTPHONE_MODE));
}

int CBaseExecutionDLL::_bUtiliseNET()
{
    if (gpclExecutionDLL32 == nullptr)
        return 0;
    return gpclExecutionDLL32->_nQueryHost(HOST_SERVICE_USES_NET) != 0;
}

int64_t CBaseExecutionDLL::_bRemplitPileC(int nParam1, wchar_t* pszBuffer, int nParam3, int nParam4) const
{
    if (m_pfnExecution == nullptr)
        return 0;
    stRemplitPileC stRecord{nParam1, 0, pszBuffer, nParam3, nParam4};
    return m_pfnExecution(HOST_FILL_C_STACK, reinterpret_cast<intptr_t>(&stRecord));
}

int CBaseExecutionDLL::s_bRemplitPileC(int nParam1, wchar_t* pszBuffer, int nParam3, int nParam4)
{
    if (gpclExecutionDLL32 == nullptr)
        return 0;
    return gpclExecutionDLL32->_bRemplitPileC(nParam1, pszBuffer, nParam3, nParam4) != 0;
}
