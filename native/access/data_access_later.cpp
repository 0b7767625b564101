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
