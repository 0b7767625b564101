#pragma once

#include <cstdint>

#include "common/system/execution_commands.h"
#include "common/system/information.h"
#include "common/system/module_handle.h"

class CXError;
class IDumpMemoire;
class ILibShop;
struct stExecutionStartup;

// The module object that the host's Execution commands drive. There is at most
// one per process (gpclExecutionDLL32). Its virtual operations are slots of
// the host's module interface: their order is fixed and there is no virtual
// destructor slot, so the class is final and deleted only as itself.
class CBaseExecutionDLL final : public CInformationDLL
{
public:
    CBaseExecutionDLL();
    ~CBaseExecutionDLL();
    CBaseExecutionDLL(const CBaseExecutionDLL&) = delete;
    CBaseExecutionDLL& operator=(const CBaseExecutionDLL&) = delete;

    // Slots 0 to 7, in the host's order.
    virtual int vbInitialiseDLL();
    virtual void vSetUtilisation(unsigned int nUtilisation1, unsigned int nUtilisation2);
    virtual void vTermineDLL();
    virtual void vChangeLangue();
    virtual void vDesactiveApplication();
    virtual void vReactiveApplication();
    virtual int vbInitialiseTypeDINO(CXError* pclError);
    virtual int vbDumpMemoire(IDumpMemoire* piDump);

    // Commands of the Execution entry that act on the module object.
    static int s_nStartup(const stExecutionStartup* pstRecord);    // 3985
    static int s_nEnd();                                           // 4875
    static int s_nInitialiseTypes(CXError* pclError);              // 4963

    // Unload: tells the host (3052) and frees the object, unless the host
    // already ended it or it never reached the host.
    static void s_TermineDLL();
    // Start and end without host commands.
    static int s_bInitialiseMoiMeme(HINSTANCE hVM);
    static void s_TermineMoiMeme();

    static HINSTANCE s_hGetHinstanceVM();
    static void s_InitLibShopMoiMeme();
    static int s_eGetModeSmartphone();
    static int s_bRemplitPileC(int nParam1, wchar_t* pszBuffer, int nParam3, int nParam4);

    // Host query 6; 0 without a module object holding the host entry.
    static int _bUtiliseNET();

    int _eGetModeSmartphone() const;
    // The host's whole answer to 3184, 0 without the host entry.
    int64_t _bRemplitPileC(int nParam1, wchar_t* pszBuffer, int nParam3, int nParam4) const;

    // Start-up commands not yet matched by an end command.
    static uint32_t ms_nNbInitialisation;

    HINSTANCE m_hInstance;              // the host module, as from dlopen
    PFNHOSTEXECUTION m_pfnExecution;    // the host's Execution; null until found
    uint32_t m_bTermine;                // 1 once ended (or self-started)

private:
    static CBaseExecutionDLL* _pclCreate();
    int _bInitialise(HINSTANCE hVM, ILibShop* piLibShop);
    int _bFindHostEntry(HINSTANCE hVM);
    void _FetchServices() const;
    void _FetchProductValues(ILibShop* piLibShop) const;
    int64_t _nQueryHost(int nIndex) const;
};

// The one module object of the process; null when there is none.
extern CBaseExecutionDLL* gpclExecutionDLL32;
