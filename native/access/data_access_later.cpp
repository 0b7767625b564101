// The data access's slots whose work comes with the reading side, the
// counts, the saved positions and the auto-increment values: until they
// come, each answers 0 (or nothing) and changes nothing.
#include "native/access/data_access.h"

int CNADataAccess::bHSauvePosition(int* pnId, const wchar_t*, eNAPOSITION)
{
    if (pnId != nullptr)
        *pnId = -1;
    return 0;
}

int CNADataAccess::bHRetourPosition(int, wchar_t*, int, eNAPOSITION)
{
    return 0;
}

int CNADataAccess::bHLiberePosition(int)
{
    return 1;
}

int CNADataAccess::bHVersion(int* pnVersion)
{
    if (pnVersion != nullptr)
        *pnVersion = 0;
    return 1;
}

int CNADataAccess::bHNbEnr(long*, unsigned, NA_WRITEPARSEFLAGS)
{
    return 0;
}

int CNADataAccess::bGetNbEnr(CNAStatement*, long*, unsigned, eNA_PARSEDIRECTION, NA_WRITEPARSEFLAGS)
{
    return 0;
}

int CNADataAccess::bNbEnrNeedParse(int* pbNeedParse, const wchar_t*)
{
    if (pbNeedParse != nullptr)
        *pbNeedParse = 1;
    return 1;
}

int CNADataAccess::bGetRecNumState(long, unsigned*)
{
    return 0;
}

int CNADataAccess::bExecuteQuery(ISQLParserInformation*, INAQueryExecution*, NA_WRITEPARSEFLAGS)
{
    return 0;
}

CNAPosition* CNADataAccess::pclAllocPosition()
{
    return nullptr;
}

int CNADataAccess::_bGetRequestedValue(CNAStatement*, CAny*, CNACommand*)
{
    return 0;
}

int CNADataAccess::_bCompareTablePosition(CNAPosition*, CNAPosition*, int*)
{
    return 0;
}

int CNADataAccess::_bCheckRecordSaveID(CNAPosition*, CNAPosition*, int*)
{
    return 0;
}

int CNADataAccess::bHAjoute(NA_WRITEPARSEFLAGS, eNA_LOCKTYPE)
{
    return 0;
}

int CNADataAccess::bHEcrit(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock)
{
    return bHModifie(llRecord, nFlags, eLock);
}

int CNADataAccess::bHSupprime(long, eNA_LOCKTYPE)
{
    return 0;
}

int CNADataAccess::bHModifie(long, NA_WRITEPARSEFLAGS, eNA_LOCKTYPE)
{
    return 0;
}

int CNADataAccess::_bHModifie(long, NA_WRITEPARSEFLAGS, eNA_LOCKTYPE, CNARecordValue*)
{
    return 0;
}

int CNADataAccess::_bHAjoute(NA_WRITEPARSEFLAGS, eNA_LOCKTYPE)
{
    return 0;
}
// The choice of a browse item for a condition: until it comes, none is
// chosen (0) and the buffer is left as it was.
int CNADataAccess::bFindBestItem(ISQLParserInformation*, wchar_t*)
{
    return 0;
}
