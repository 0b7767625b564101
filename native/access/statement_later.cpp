// Slots of the statement whose behaviour belongs to the reading layers built
// on it (positions, counts, write notifications). Each has its place in the
// virtual table now; until its layer lands it answers as the base statement
// of a driver without that layer: nothing done, 0 for a question it cannot
// answer.
#include "native/access/statement.h"

int CNAStatement::OnNotifyOperation(eNAQUERYTYPE, long, CNAStatement*, NA_WRITEPARSEFLAGS, CNARecordValue*)
{
    return 1;
}

int CNAStatement::bGetNbEnr(long* pnCount, NA_WRITEPARSEFLAGS, int)
{
    if (pnCount != nullptr)
        *pnCount = -1;
    return 0;
}

int CNAStatement::bGetNbEnrCurrentParse(long*, NA_WRITEPARSEFLAGS, int)
{
    return 0;
}

int CNAStatement::bGetPosition(CNAPosition*, eNAPOSITION)
{
    return 0;
}

int CNAStatement::bSetPosition(CNAPosition*, eNAPOSITION)
{
    return 0;
}

int CNAStatement::_bGoToRowId(long, CNAPosition*)
{
    return 0;
}
