// The parse served by the table's full cache: a column index over the
// complete cache takes the place of the execution statement, so the browse
// no longer touches the database. Also finding the saved row again in that
// index, and when a parse may use an index or be brought up to date.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/table_cache.h"
#include "native/model/table_cache_index.h"
#include "native/sql/sql_parser_info.h"

int CNAStatement::bOpenUsingTableCache()
{
    if (m_pclTableCacheIndex != nullptr) {
        (void)bSetParseNeedUpdate(NA_PNU_NONE, m_nRecordSaveID);
        return 1;
    }
    CNATableCache* pclTableCache = m_pclDataAccess != nullptr ? m_pclDataAccess->pclGetTableCacheNoRef() : nullptr;
    if (pclTableCache == nullptr || pclTableCache->pclGetFullCache() == nullptr)
        return 0;
    Close();
    if (!_bCreateTableCacheIndex())
        return 0;
    SetParseStarted();
    return 1;
}

int CNAStatement::_bCreateTableCacheIndex()
{
    CNATableCache* pclTableCache = m_pclDataAccess != nullptr ? m_pclDataAccess->pclGetTableCacheNoRef() : nullptr;
    if (pclTableCache == nullptr || m_pclCurrentRecord == nullptr)
        return 0;
    // Set aside with its reference: building the index reads no row of this
    // parse.
    const int nSaveID = m_nRecordSaveID;
    const ePARSENEEDUPDATECAUSE eCause = m_eParseNeedUpdate;
    m_nRecordSaveID = -1;
    m_eParseNeedUpdate = NA_PNU_NONE;
    m_csSearchItemName.Set(m_csParseItemName.pszGet());
    CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(m_csParseItemName.pszGet());
    CNATableCacheIndex* pclIndex = pclTableCache->pclGetCacheIndex(this, pclColumn);
    if (pclIndex != nullptr) {
        pclIndex->dwAddRef();
        if (m_pclTableCacheIndex != nullptr)
            m_pclTableCacheIndex->dwRelease();
        m_pclTableCacheIndex = pclIndex;
        _SetRecordCache(pclIndex->pclGetRecordCacheNoRef());
    }
    m_nRecordSaveID = nSaveID;
    m_eParseNeedUpdate = eCause;
    if (pclIndex == nullptr)
        return 0;
    _FreeRecordSaveTab();
    SetStatementSQL(nullptr);
    return 1;
}

void CNAStatement::DestroyCacheIndex()
{
    CNATableCacheIndex* pclIndex = m_pclTableCacheIndex;
    if (pclIndex == nullptr)
        return;
    if (m_bParseStarted) {
        if (m_bHEndehors || m_llCurrentRecord < 0) {
            m_bRecordLost = 1;
            m_bHEndehors = 1;
            m_bHTrouve = 0;
        } else {
            // Without the index the next read finds the row again by its save.
            (void)bSetParseNeedUpdate(NA_PNU_REPOSITION);
        }
    }
    m_pclTableCacheIndex = nullptr;
    pclIndex->dwRelease();
    _SetRecordCache(nullptr);
    _InvalidatePositionRowIds();
}

int CNAStatement::_bRefindInCacheIndex(int* pbFound, int* pbPastEnd)
{
    *pbFound = 0;
    *pbPastEnd = 0;
    if (m_nRecordSaveID == -1) {
        *pbFound = 1;
        return 1;
    }
    if (m_pclTableCacheIndex == nullptr && !_bCreateTableCacheIndex())
        return 0;
    if (m_pclDataAccess == nullptr || !m_pclDataAccess->bRestoreOriginalRecordSave(m_nRecordSaveID))
        return 0;
    int bFound = 0;
    if (!m_pclTableCacheIndex->bSetCurrentPos(-1, m_nEqualRank, &bFound))
        return 0;
    m_llCurrentRecord = m_pclTableCacheIndex->nGetCurrentRecordId();
    if (m_llCurrentRecord < 0 && m_pclTableCacheIndex->nGetRecordNbr() > 0) {
        int nRow = -1;
        unsigned nDuplicate = 0;
        (void)m_pclTableCacheIndex->bGetRecordPosition(NADirection::kLast, 1, &nRow, &nDuplicate);
        m_llCurrentRecord = nRow;
        *pbPastEnd = 1;
    }
    if (bFound) {
        CNARecordValue* pclOriginal = pclGetStmtOriginalRecord();
        if (pclOriginal != nullptr && m_llCurrentRecord >= 0 && m_pclRecordCache != nullptr)
            (void)m_pclRecordCache->bGetAt(pclOriginal, static_cast<unsigned>(m_llCurrentRecord));
        (void)bSetParseNeedUpdate(NA_PNU_NONE, -1);
    }
    *pbFound = bFound;
    return 1;
}

int CNAStatement::bUpdateParsePositionInCacheIndex(int* pbFound)
{
    int bPastEnd = 0;
    int bFound = 0;
    const int bDone = _bRefindInCacheIndex(&bFound, &bPastEnd);
    if (pbFound != nullptr)
        *pbFound = bFound;
    return bDone;
}

int CNAStatement::bIndexCache()
{
    if (m_pclDataAccess == nullptr || !m_pclDataAccess->bIsQuery())
        return 0;
    return (m_nParseFlags & NAParseFlag::kContinueLastQuery) != 0 || m_pclDataAccess->bRequeteSansCorrection();
}

int CNAStatement::bCanUpdateParse()
{
    if (m_pclDataAccess == nullptr)
        return 1;
    if (m_pclDataAccess->bRequeteSansCorrection())
        return 0;
    if (!m_pclDataAccess->bIsQuery() || (m_nParseFlags & NAParseFlag::kQueryOrder) == 0)
        return 1;
    const CSQLParserInfo* pclQuery = m_pclDataAccess->pclGetSourceQueryNoRef();
    return pclQuery != nullptr && pclQuery->pszGetOrderByItem() != nullptr;
}
