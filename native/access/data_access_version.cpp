// The file version the host may ask of a data access: a table on a
// server carries none, so the answer is always 0.
#include "native/access/data_access.h"

int CNADataAccess::bHVersion(int* pnVersion)
{
    if (pnVersion != nullptr)
        *pnVersion = 0;
    return 1;
}
