#include "common/system/error_site.h"

#include "common/system/formatted_output.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"

void AddErrorSiteDebugLine(CXError& error, unsigned int nSource, unsigned int nSite)
{
    // Two short names, two numbers of at most 10 digits and the version.
    wchar_t line[96];
    if (swprintfWin(line, gszErrorSiteFormat, gszErrorSiteModule, nSource, nSite, gszErrorSiteModule,
                    gszErrorSiteVersion) > 0)
        error.AddDebugMessageNoFormat(line);
    error.AddDebugMessage(&gstMyModuleInfo32, 0xFFFFFFFFu);
}
