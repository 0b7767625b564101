// The SELECT of a browse: its text built by the statement, its row limit
// (the rows one execution asks the server for) chosen by the data access,
// then its execution and the record cache the flags ask for.
#include "common/text/str_compare.h"
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/model/item_type.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"

namespace {

constexpr uint32_t kQueryAsWritten = 4;
constexpr uint32_t kQueryWithJoin = 0x80000000u;
// The connection's cache size when "VX Cache Size" was not given.
constexpr int64_t kCacheSizeNotGiven = -2;

bool bFloatingPoint(INAItemDescription* piItem)
{
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    return eType == NA_IT_R4 || eType == NA_IT_R8;
}

}  // namespace

int CNADataAccess::bHPrepareRequeteCalled() const
{
    return m_bQuery && m_pclSourceQuery != nullptr && m_pclSourceQuery->bHPrepareRequeteCalled();
}

int CNADataAccess::bQueryResultsetLimited()
{
    return m_bQuery && (m_dwQueryMode & kQueryAsWritten) == 0 && m_pclSourceQuery != nullptr &&
           m_pclSourceQuery->bQueryResultsetLimited(m_pclConnection);
}

int CNADataAccess::_bEnableRecordLimit(const wchar_t* pszItem)
{
    if (m_piSource == nullptr)
        return 0;
    if (pszItem != nullptr && pszItem[0] != 0) {
        INAItemDescription* piItem = m_piSource->piNAGetItem(pszItem);
        if (piItem != nullptr) {
            // A floating-point value read back is no exact bound for the
            // block that follows.
            const int bFloat = bFloatingPoint(piItem);
            const int bUnique = piItem->bUnique();
            piItem->nExternalRelease();
            if (bFloat)
                return 0;
            if (bUnique)
                return 1;
        }
    }
    INAItemDescription* piBest = m_piSource->piGetBestParseItemDesc();
    if (piBest == nullptr)
        return 0;
    int bEnable = piBest->bUnique();
    const unsigned nItems = m_piSource->nGetNumItems();
    for (unsigned i = 0; bEnable && i < nItems; ++i) {
        INAItemDescription* piItem = m_piSource->piNAGetItem(i);
        if (piItem == nullptr)
            continue;
        const bool bBest = piItem == piBest || STR_nCompareW(piItem->pszGetName(), piBest->pszGetName(), 3) == 0;
        if (!bBest && bFloatingPoint(piItem))
            bEnable = 0;
        piItem->nExternalRelease();
        if (bBest)
            break;
    }
    piBest->nExternalRelease();
    return bEnable;
}

int CNADataAccess::bBuildSelect(CNACommand* pclCommand, CNAStatement* pclStatement, const wchar_t* pszItem,
                                int bForward, NA_WRITEPARSEFLAGS nFlags, long* pllCount)
{
    if (pclCommand == nullptr || pclStatement == nullptr)
        return 0;
    pclCommand->SetQueryKind(NA_QUERY_SELECT);
    pclStatement->ResetQuery();
    CNACommand* pclWhere = pclAllocCommand(m_pclError);
    if (pclWhere == nullptr)
        return 0;
    REF_AddRef(pclWhere);
    const int bBuilt = pclStatement->bGetClauseWHERE(pclWhere) &&
                       pclStatement->bBuildQuerySELECT(pclCommand, nFlags, pszItem, bForward, pclWhere);
    REF_Release(pclWhere);
    if (!bBuilt)
        return 0;

    if (m_bQuery && ((m_dwQueryMode & (kQueryAsWritten | kQueryWithJoin)) != 0 || bQueryResultsetLimited()))
        return 1;
    if (!_bEnableRecordLimit(pszItem))
        return 1;
    int64_t llLimit = m_pclConnection != nullptr ? m_pclConnection->llGetCacheSize() : kCacheSizeNotGiven;
    if (llLimit == kCacheSizeNotGiven)
        llLimit = CNADriver::s_pclDriver != nullptr ? CNADriver::s_pclDriver->llGetDefaultCacheSize() : -1;
    int64_t llOffset = -1;
    if (llLimit > 0 && pllCount != nullptr && *pllCount > 0 && *pllCount >= llLimit) {
        // A long move lands in the last rows of the block: the server skips
        // the rows before them.
        const int64_t llCount = llLimit <= 20 ? llLimit / 3 + 1 : 10;
        llOffset = *pllCount - llCount;
        *pllCount = llCount;
    }
    pclCommand->SetLimit(llLimit, llOffset);
    return 1;
}

int CNADataAccess::_bOpenStatement(CNAStatement* pclStatement, const wchar_t* pszItem, int bForward,
                                   NA_WRITEPARSEFLAGS nFlags, long* pllCount, eNA_ST_PREPARE ePrepare)
{
    CNACommand* pclCommand = pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    int bResult = bBuildSelect(pclCommand, pclStatement, pszItem, bForward, nFlags, pllCount) &&
                  pclStatement->bExecute(nFlags, ePrepare);
    if (bResult) {
        if ((nFlags & (NAParseFlag::kNoRecordCache | NAParseFlag::kForwardOnly)) != 0)
            pclStatement->EnableCache(0);
        else if (m_bQuery && ((nFlags & NAParseFlag::kContinueLastQuery) != 0 || bRequeteSansCorrection() ||
                              bQueryResultsetLimited())) {
            if (m_pclTableCache != nullptr)
                bResult = m_pclTableCache->bSetStatementParse(pclStatement);
        } else if (pclStatement->bDefaultParseNeedRecordCache())
            pclStatement->EnableCache(1);
    }
    REF_Release(pclCommand);
    return bResult;
}
