// The data access's slots whose work comes with the reading side, the
// counts and the auto-increment values: until they
// come, each answers 0 (or nothing) and changes nothing.
#include "native/access/data_access.h"

int CNADataAccess::bHVersion(int* pnVersion)
{
    if (pnVersion != nullptr)
        *pnVersion = 0;
    return 1;
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

