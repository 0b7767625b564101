// Counting the records of a statement's parse (a COUNT on the server, every
// row read once where the server cannot count a query source, or what the
// open result or the record cache already knows) and the position of the
// browse as a proportion of the parse, both ways.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/record_cache.h"
#include "native/model/table_cache.h"
#include "native/model/table_cache_index.h"
#include "native/sql/command.h"

namespace {

// Count options and flags of the data access's counts asked for here.
constexpr unsigned kCountRecords = 0x10;
constexpr eNA_PARSEDIRECTION kWholeParse = static_cast<eNA_PARSEDIRECTION>(-1);
constexpr NA_WRITEPARSEFLAGS kTableCacheRead = 0x2000;

// The count a COUNT(*) gives, whatever integer or text type it comes in.
bool bCountOf(CAny* pclValue, int64_t* pllCount)
{
    long nCount = 0;
    if (pclValue->nGetINT_64(&nCount) > 99 &&
        (pclValue->__nCastTo(ZLTYPE_I8, nullptr, 1) > 99 || pclValue->nGetINT_64(&nCount) > 99))
        return false;
    *pllCount = nCount;
    return true;
}

}  // namespace

int CNAStatement::bGetNbEnr(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bNoCondition)
{
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (_bQuerySource() && pclConnection != nullptr && !pclConnection->bSupportSubQuery())
        return _bGetNbEnr_NoSubQuery(pnCount, nFlags, bNoCondition);
    if (pnCount != nullptr)
        *pnCount = -1;
    if (m_pclDataAccess == nullptr)
        return 0;
    ResetQuery();
    EnableCache(0);
    CNACommand* pclCommand = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    CAny clValue;
    int64_t llCount = -1;
    const int bDone = _bBuildQueryCOUNT(pclCommand, nFlags, bNoCondition) &&
                      bExecuteAndFetch(&clValue, 1, NA_ST_PREPARE_NONE) && bCountOf(&clValue, &llCount);
    ResetQuery();
    REF_Release(pclCommand);
    if (pnCount != nullptr)
        *pnCount = bDone ? static_cast<long>(llCount) : -1;
    return bDone;
}

int CNAStatement::_bGetNbEnr_NoSubQuery(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int)
{
    if (pnCount != nullptr)
        *pnCount = -1;
    if (m_pclDataAccess == nullptr)
        return 0;
    EnableCache(0);
    CNACommand* pclCommand = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    int bDone = m_pclDataAccess->bBuildSelect(pclCommand, this, pszGetSearchItemName(), 1, nFlags, nullptr);
    // Every row counts: no block of rows.
    pclCommand->SetLimit(-1);
    bDone = bDone && bExecute(nFlags, NA_ST_PREPARE_NONE);
    // The rows are walked in the execution statement only: the current
    // record keeps the row the host stands on.
    long nCount = 0;
    while (bDone) {
        bDone = _bFetchSQL();
        if (!bDone || m_pclStatementSQL->bNoCurrentRow())
            break;
        ++nCount;
    }
    ResetQuery();
    REF_Release(pclCommand);
    if (bDone && pnCount != nullptr)
        *pnCount = nCount;
    return bDone;
}

int CNAStatement::bGetNbEnrCurrentParse(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bWithoutFilter)
{
    const bool bFilterKept = !bFilterChanged() && !(bWithoutFilter && bExistFilter());
    if (bCacheCompleted() && !bExistRechercheObject() && bFilterKept &&
        (m_nParseFlags & NAParseFlag::kContinueLastQuery) != 0 && (nFlags & NAParseFlag::kContinueLastQuery) != 0) {
        *pnCount = m_pclRecordCache->nGetRowCount() - m_pclRecordCache->nGetDeletedCount();
        return 1;
    }
    if (!m_bParseStarted || m_llBlockRowLimit > 0 || !m_bBlockStartsAtFirstRow || bExistRechercheObject() ||
        !bFilterKept || m_eParseNeedUpdate == NA_PNU_REEXECUTE)
        return 0;
    if (m_pclTableCacheIndex != nullptr) {
        *pnCount = m_pclTableCacheIndex->nGetRecordNbr();
        return 1;
    }
    if (m_pclStatementSQL == nullptr || m_pclStatementSQL->llGetRowCount() < 0)
        return 0;
    *pnCount = static_cast<long>(m_pclStatementSQL->llGetRowCount()) - m_nDeletedRows;
    return 1;
}

// --- Position as a proportion --------------------------------------------------

int CNAStatement::bHPositionCourante(int* pnPosition, eNA_PRECISION)
{
    if (pnPosition == nullptr || m_pclDataAccess == nullptr)
        return 0;
    *pnPosition = 0;
    long nCount = 0;
    long nPosition = 0;
    if (m_pclDataAccess->pclGetTableCacheNoRef() != nullptr) {
        if (!bCacheCompleted() && bCacheEnabled() && !_bCompleteCache())
            return 0;
        nCount = m_pclRecordCache != nullptr ? m_pclRecordCache->nGetRowCount() : 0;
        if (m_eParseNeedUpdate != NA_PNU_NONE && m_pclTableCacheIndex != nullptr) {
            int bFound = 0;
            if (!bUpdateParsePositionInCacheIndex(&bFound))
                return 0;
        }
        nPosition = 1 + (m_pclTableCacheIndex != nullptr ? m_pclTableCacheIndex->nGetPreviousRecordNbr()
                                                         : static_cast<long>(m_llCurrentRecord));
    } else {
        if (!m_pclDataAccess->bGetNbEnr(this, &nCount, kCountRecords, kWholeParse, NAParseFlag::kContinueLastQuery))
            return 0;
        if (bExistRechercheObject() || m_eParseNeedUpdate != NA_PNU_NONE || !m_bBlockStartsAtFirstRow) {
            long nBefore = 0;
            if (!m_pclDataAccess->bGetNbEnr(this, &nBefore, kCountRecords, NADirection::kPrevious,
                                            NAParseFlag::kContinueLastQuery))
                return 0;
            nPosition = 1 + nBefore;
        } else if (m_pclTableCacheIndex == nullptr && bInvertFetch()) {
            nPosition = nCount - static_cast<long>(m_llCurrentRecord);
        } else {
            nPosition = 1 + static_cast<long>(m_llCurrentRecord);
        }
    }
    if (nCount >= 1) {
        // Rounded up: the first of three rows stands at 334, not 333. A
        // position past the count (rows added since) stands at the end.
        if (nPosition <= 0)
            *pnPosition = 0;
        else if (nPosition >= nCount)
            *pnPosition = 1000;
        else
            *pnPosition = static_cast<int>(nPosition * 1000 / nCount + (nPosition * 1000 % nCount != 0 ? 1 : 0));
    }
    return 1;
}

int CNAStatement::bHPositionne(unsigned nPosition, eNA_PRECISION, NA_WRITEPARSEFLAGS nFlags)
{
    if (m_pclDataAccess == nullptr)
        return 0;
    long nRow = 1;
    if (nPosition != 0) {
        long nCount = 0;
        if (!m_pclDataAccess->bGetNbEnr(this, &nCount, kCountRecords, kWholeParse, NAParseFlag::kContinueLastQuery))
            return 0;
        // The integer division of per mille times count, split so that no
        // product overflows.
        const long nPerMille = static_cast<long>(nPosition);
        nRow = nCount / 1000 * nPerMille + nCount % 1000 * nPerMille / 1000;
        if (nRow < 1)
            nRow = 1;
    }
    eNA_LOCKTYPE eLock = static_cast<eNA_LOCKTYPE>(0);
    return m_pclDataAccess->bSkipRecord(pszGetSearchItemName(), NADirection::kFirst, nRow, 1,
                                        static_cast<eNA_LOCKTYPE>(0), &eLock, nFlags | kTableCacheRead);
}
