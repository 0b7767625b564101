// Slots of the statement whose behaviour belongs to the reading layers built
// on it (fetch, positions, counts, write notifications, the table-cache
// parse). Each has its place in the virtual table now; until its layer
// lands it answers as the base statement of a driver without that layer:
// nothing done, 0 for a question it cannot answer.
#include "native/access/statement.h"

#include "native/access/statement_sql.h"
#include "native/model/column.h"
#include "native/model/record.h"

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

int CNAStatement::_bFetch(eNA_PARSEDIRECTION, int, int* pbOut, long, long*)
{
    if (pbOut != nullptr)
        *pbOut = 1;
    return 0;
}

int CNAStatement::_bUpdateNARecord(eNA_PARSEDIRECTION)
{
    return _bUpdateNARecordFromDB();
}

int CNAStatement::_bUpdateNARecordFromDB()
{
    // Each column up to the first composed key reads its value from the
    // execution statement's current row; the first failure stops the walk.
    if (m_pclCurrentRecord == nullptr)
        return 0;
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn->bIsComposedKey())
            break;
        if (!pclColumn->bSetValueFromDB(this, 0))
            return 0;
    }
    return 1;
}

int CNAStatement::_RestaureRecordFromCache(long)
{
    return 0;
}

int CNAStatement::_bCreateTableCacheIndex()
{
    return 0;
}

void CNAStatement::DestroyCacheIndex() {}
