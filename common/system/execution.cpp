#include "common/system/execution.h"

#include "common/system/base_execution_dll.h"
#include "common/system/execution_commands.h"
#include "common/system/execution_startup_record.h"
#include "common/system/information.h"

extern "C" VX_EXPORT int Execution(unsigned int nCommand, void* pArgument) noexcept
{
    switch (nCommand) {
    case EXECUTION_STARTUP:
        return CBaseExecutionDLL::s_nStartup(static_cast<const stExecutionStartup*>(pArgument));
    case EXECUTION_END:
        return CBaseExecutionDLL::s_nEnd();
    case EXECUTION_SET_LOCALE:
        CInformationDLL::ms_piInfoLocale = static_cast<IInfoLocale*>(pArgument);
        return 1;
    case EXECUTION_CHANGE_LANGUAGE:
        if (gpclExecutionDLL32 != nullptr)
            gpclExecutionDLL32->vChangeLangue();
        return 1;
    case EXECUTION_INIT_TYPES:
        return CBaseExecutionDLL::s_nInitialiseTypes(static_cast<CXError*>(pArgument));
    case EXECUTION_DUMP_MEMORY:
        if (gpclExecutionDLL32 == nullptr)
            return 0;
        return gpclExecutionDLL32->vbDumpMemoire(static_cast<IDumpMemoire*>(pArgument)) != 0;
    case EXECUTION_DEACTIVATE:
        if (gpclExecutionDLL32 != nullptr)
            gpclExecutionDLL32->vDesactiveApplication();
        return 1;
    case EXECUTION_REACTIVATE:
        if (gpclExecutionDLL32 != nullptr)
            gpclExecutionDLL32->vReactiveApplication();
        return 1;
    default:
        return 0;
    }
}
