// The SQL texts of a statement's reads: the SELECT of a browse over the
// table (its columns, its condition, the record lock, an ORDER BY completed
// to a unique order), DISTINCT, and the COUNT of a parse.
#include <cwchar>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sites.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/item_type.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/sql/host_info_order_by.h"
#include "native/sql/sql_parser_info.h"

namespace {

int bComplete(CNACommand* pclCommand, const wchar_t* pszText)
{
    return pclCommand->bComplete(pszText, static_cast<unsigned long>(-1));
}

// Whether an item cannot hold NULL: its constraint from version 9 of the
// item descriptions on, the automatic identifiers before.
int bItemNeverNull(INAItemDescription* piItem)
{
    if (piItem->nGetVersion() > 8)
        return !piItem->vbConstraintNullAllowed();
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    return eType == NA_IT_IDAUTO || eType == NA_IT_IDAUTO4;
}

// The major number of the server's version text (0 when it has none).
int nServerMajorVersion(const CNAConnectionDescription* pclConnection)
{
    const wchar_t* pszVersion = pclConnection->csGetServerVersion().pszGet();
    int nMajor = 0;
    for (; pszVersion != nullptr && *pszVersion >= L'0' && *pszVersion <= L'9' && nMajor < 100000; ++pszVersion)
        nMajor = nMajor * 10 + (*pszVersion - L'0');
    return nMajor;
}

}  // namespace

int CNAStatement::bBuildQuerySELECT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem,
                                    int bKeepOrder, CNACommand* pclWhere)
{
    if (pclCommand == nullptr || m_pclCurrentRecord == nullptr)
        return 0;
    if (pclCommand != m_pclCommand)
        _SetQuery(pclCommand);
    pclCommand->SetColumnSelectionMode(2);
    if (!_bQuerySource()) {
        if (!bComplete(pclCommand, L"SELECT "))
            return 0;
        if (_bAddDistinct(nFlags) && !bComplete(pclCommand, L"DISTINCT "))
            return 0;
        if (!pclCommand->bAddSelectColumns(m_pclCurrentRecord, 0))
            return 0;
        return _bBuildQuerySELECTFromTable(nFlags, pszOrderItem, bKeepOrder, pclWhere, 1);
    }
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i)
        pclCommand->AddDefine(m_pclCurrentRecord->pclGetColumnNoRef(i));
    return _bBuildQuerySELECTFromQuery(m_pclDataAccess->pclGetSourceQueryNoRef(), nFlags, pszOrderItem, bKeepOrder,
                                       pclWhere, 1, 0);
}

int CNAStatement::_bBuildQuerySELECTFromTable(NA_WRITEPARSEFLAGS nFlags, const wchar_t* pszOrderItem, int bKeepOrder,
                                              CNACommand* pclWhere, int bAddOrderBy)
{
    return _bBuildQuerySELECTFromTable(_pszSQLTableName(), nFlags, pszOrderItem, bKeepOrder, pclWhere, bAddOrderBy);
}

int CNAStatement::_bBuildQuerySELECTFromTable(const wchar_t* pszTable, NA_WRITEPARSEFLAGS nFlags,
                                              const wchar_t* pszOrderItem, int bKeepOrder, CNACommand* pclWhere,
                                              int bAddOrderBy)
{
    if (m_pclCommand == nullptr)
        return 0;
    m_pclCommand->SetQueryKind(NA_QUERY_SELECT);
    if (!bComplete(m_pclCommand, L" FROM ") || !bComplete(m_pclCommand, pszTable))
        return 0;
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (pclConnection != nullptr && !(pclConnection->nGetDBKind() == 8 && nServerMajorVersion(pclConnection) > 9) &&
        !m_pclCommand->bAddRecordLock())
        return 0;
    if (pclWhere != nullptr && !pclWhere->bIsEmpty()) {
        if (!bComplete(m_pclCommand, L" WHERE ") || !m_pclCommand->bAdd(pclWhere, CNACommand::ADDMODE_SHARE) ||
            !m_pclCommand->bCopyColumnValuesNullSelected(pclWhere->pclGetColumnNullNoRef()))
            return 0;
    }
    if (bAddOrderBy)
        return _bFormatOrderBy(pszTable, nullptr, nFlags, pszOrderItem, bKeepOrder, 0);
    return 1;
}

int CNAStatement::_bBuildQuerySELECTFromQuery(CSQLParserInfo* pclQuery, NA_WRITEPARSEFLAGS nFlags,
                                              const wchar_t* pszOrderItem, int bKeepOrder, CNACommand* pclWhere,
                                              int bAddOrderBy, int bAsSubQuery)
{
    if (m_pclCommand == nullptr || pclQuery == nullptr || m_pclDataAccess == nullptr)
        return 0;
    if (m_pclCommand->eGetQueryType() == NA_QUERY_NONE)
        m_pclCommand->SetQueryKind(NA_QUERY_SELECT);
    const int nMode = static_cast<int>(m_pclDataAccess->dwGetQueryMode());
    const int bAsWritten = m_pclDataAccess->bRequeteSansCorrection();
    const int bWhere = pclWhere != nullptr && !pclWhere->bIsEmpty();
    if (!bAsSubQuery && !bAsWritten) {
        if (!m_pclCommand->bFormatCondition(pclQuery, pclWhere, 0, nMode))
            return 0;
        if (bAddOrderBy && !_bFormatOrderBy(nullptr, pclQuery, nFlags, pszOrderItem, bKeepOrder, 0))
            return 0;
        return m_pclCommand->bFormatEndOfQuery();
    }
    if (!bAsSubQuery && !bWhere) {
        // Run as written: its own ORDER BY only, nothing added.
        return m_pclCommand->bFormatCondition(pclQuery, nullptr, bAddOrderBy, nMode) &&
               m_pclCommand->bFormatEndOfQuery();
    }
    if (!bAsSubQuery) {
        // A condition on a query run as written wraps it as a subquery.
        CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
        if (pclConnection == nullptr || !pclConnection->bSupportSubQuery() ||
            m_pclCommand->eGetQueryType() != NA_QUERY_SELECT) {
            CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kNoConditionOnQuery, pclGetConnectionNoRef(),
                                       _pszLogicalName(), pszGetSearchItemName(), _pszLogicalName());
            return 0;
        }
        if (!bComplete(m_pclCommand, _bAddDistinct(nFlags) ? L"SELECT DISTINCT * FROM " : L"SELECT * FROM "))
            return 0;
    }
    if (!bComplete(m_pclCommand, L" (") ||
        !m_pclCommand->bFormatCondition(pclQuery, nullptr, pclQuery->bQueryResultsetLimited(pclGetConnectionNoRef()),
                                        nMode) ||
        !m_pclCommand->bFormatEndOfQuery() || !_bCloseSubQuery())
        return 0;
    if (bWhere)
        return bComplete(m_pclCommand, L" WHERE ") && m_pclCommand->bAdd(pclWhere, CNACommand::ADDMODE_SHARE);
    return 1;
}

int CNAStatement::_bCloseSubQuery()
{
    if (m_pclCommand == nullptr || !bComplete(m_pclCommand, L")"))
        return 0;
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    const int nKind = pclConnection != nullptr ? pclConnection->nGetDBKind() : 0;
    if (nKind == 2 || nKind == 4 || nKind == 7)
        return bComplete(m_pclCommand, L" VX_SUBQUERY");
    return 1;
}

int CNAStatement::_bAddDistinct(NA_WRITEPARSEFLAGS nFlags)
{
    if ((nFlags & NAParseFlag::kDistinct) == 0 || m_pclDataAccess == nullptr)
        return 0;
    INAItemDescription* piItem = m_pclDataAccess->piGetBestParseItemDesc();
    if (piItem == nullptr)
        return 0;
    // Rows are distinct already on a key that is unique and never NULL.
    const int bDistinct = !(piItem->bPrimary() || (piItem->bUnique() && bItemNeverNull(piItem)));
    piItem->nExternalRelease();
    return bDistinct;
}

int CNAStatement::_bBuildQueryCOUNT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS, int bNoCondition)
{
    if (pclCommand == nullptr || m_pclDataAccess == nullptr)
        return 0;
    CNACommand* pclCondition = nullptr;
    if (!bNoCondition) {
        pclCondition = m_pclDataAccess->pclAllocCommand(m_pclError);
        if (pclCondition == nullptr)
            return 0;
        REF_AddRef(pclCondition);
        if (!bGetClauseWHERE(pclCondition)) {
            REF_Release(pclCondition);
            return 0;
        }
    }
    pclCommand->ResetCommand(0);
    if (pclCommand != m_pclCommand)
        _SetQuery(pclCommand);
    int bDone = bComplete(pclCommand, L"SELECT ") &&
                pclCommand->bAddSelectAdditionnalColumn(L"COUNT(*) AS VXACCESNATIF_NBENR", 8);
    if (bDone) {
        if (_bQuerySource())
            bDone = bComplete(pclCommand, L" FROM ") &&
                    _bBuildQuerySELECTFromQuery(m_pclDataAccess->pclGetSourceQueryNoRef(), 0, nullptr, 1,
                                                pclCondition, 0, 1);
        else
            bDone = _bBuildQuerySELECTFromTable(0, nullptr, 1, pclCondition, 0);
    }
    if (pclCondition != nullptr)
        REF_Release(pclCondition);
    return bDone;
}

// --- ORDER BY ---------------------------------------------------------------

int CNAStatement::_bFormatOrderBy(const wchar_t*, CSQLParserInfo* pclQuery, NA_WRITEPARSEFLAGS nFlags,
                                  const wchar_t* pszOrderItem, int bKeepOrder, int bPlainNames)
{
    if (m_pclCommand == nullptr)
        return 0;
    const bool bQueryOrder = (nFlags & NAParseFlag::kQueryOrder) != 0;
    if (pclQuery != nullptr && (pszOrderItem == nullptr || *pszOrderItem == L'\0') && !bQueryOrder)
        pszOrderItem = pszGetSearchItemName();
    // A limited result is never read backwards.
    if (!bKeepOrder && pclQuery != nullptr && pclQuery->bQueryResultsetLimited(pclGetConnectionNoRef()))
        bKeepOrder = 1;
    if (pszOrderItem != nullptr && *pszOrderItem != L'\0' && !bQueryOrder) {
        INAItemDescription* piItem = m_piDataSource != nullptr ? m_piDataSource->piNAGetItem(pszOrderItem) : nullptr;
        if (piItem == nullptr) {
            CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kOrderItemUnknown, pclGetConnectionNoRef(),
                                       _pszLogicalName(), pszGetSearchItemName(), pszOrderItem);
            m_pclCommand->SetInvertedOrder(!bKeepOrder);
            return 0;
        }
        // An item sorted descending as a whole reads its natural order
        // backwards.
        if (pclQuery == nullptr && !piItem->bIsComposedKey() && piItem->bGetDescendant(0))
            bKeepOrder = !bKeepOrder;
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(piItem);
        CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
        if (pclColumn != nullptr && piItem->bMemo() && (pclConnection == nullptr || !pclConnection->bSupportOrderByMemo()))
            pclColumn = nullptr;
        // The description keeps its item; the record's column holds it too.
        piItem->nExternalRelease();
        const int bDone = _FormatORDERBYList(pclColumn, bKeepOrder, pclQuery, bPlainNames, nFlags);
        m_pclCommand->SetInvertedOrder(!bKeepOrder);
        return bDone;
    }
    if (pclQuery != nullptr && bQueryOrder && m_pclDataAccess != nullptr && !m_pclDataAccess->bRequeteSansCorrection()) {
        const int bDone = m_pclCommand->bFormatORDERBY(bPlainNames, bKeepOrder);
        (void)_FormatORDERBYList(nullptr, bKeepOrder, pclQuery, bPlainNames, nFlags);
        m_pclCommand->SetInvertedOrder(!bKeepOrder);
        return bDone;
    }
    m_pclCommand->SetInvertedOrder(0);
    return 1;
}

int CNAStatement::_bComposedKeyUniqueNotNullAdded(const CColumnArray* pclColumns)
{
    CColumnNullValueExcluded* pclExclusions = m_pclCommand != nullptr ? m_pclCommand->pclGetColumnNullNoRef() : nullptr;
    // Without the command's NULL bookkeeping no key is known to be complete.
    if (pclExclusions == nullptr || pclColumns == nullptr || pclColumns->nGetNbElement() == 0)
        return 0;
    return m_pclCurrentRecord->bComposedKeyUniqueNotNullAdded(pclColumns, pclColumns->nGetNbElement(), pclExclusions);
}

void CNAStatement::_AddItemInORDERBYList(int* pbUniqueReached, CColumnArray* pclColumns, CTTableau<int>* ptabDirections,
                                         CNAColumn* pclColumn, int nDirection)
{
    for (int i = 0; i < pclColumns->nGetNbElement(); ++i) {
        CNAColumn* pclListed = (*pclColumns)[i];
        if (std::wcscmp(pclListed->pszGetSourceName(), pclColumn->pszGetSourceName()) == 0 &&
            std::wcscmp(pclListed->pszGetOriginalName(), pclColumn->pszGetOriginalName()) == 0)
            return;
    }
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (pclColumn->bIsMemoDB() && !(pclConnection != nullptr && pclConnection->bSupportOrderByMemo()) &&
        !(_bQuerySource() && pclColumn->eGetTypeColonne() != 0))
        return;
    REF_AddRef(pclColumn);
    if (!pclColumns->Ajoute(pclColumn)) {
        REF_Release(pclColumn);
        return;
    }
    ptabDirections->Ajoute(nDirection);
    if (pclColumn->bUniqueNotNull() ||
        (pclColumn->bIsUnique() && m_pclCommand != nullptr && !m_pclCommand->bColumnValuesNullSelected(pclColumn)) ||
        _bComposedKeyUniqueNotNullAdded(pclColumns))
        *pbUniqueReached = 1;
}

int CNAStatement::_FormatORDERBYList(CNAColumn* pclColumn, int bKeepOrder, CSQLParserInfo* pclQuery, int bPlainNames,
                                     NA_WRITEPARSEFLAGS nFlags)
{
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    const int bMemoSort = pclConnection != nullptr && pclConnection->bSupportOrderByMemo();
    const int nQueryItems = pclQuery != nullptr ? pclQuery->nGetRubriqueClauseOrderNbr() : 0;
    const int bKeyword = !(pclQuery != nullptr && pclColumn == nullptr) || nQueryItems == 0;
    CColumnArray tabColumns{8};
    CTTableau<int> tabDirections{8};
    int bUnique = 0;
    if (pclColumn != nullptr) {
        const CColumnArray* pclComponents = pclColumn->bIsComposedKey() ? pclColumn->pclGetTabComponent() : nullptr;
        if (pclComponents != nullptr) {
            for (int c = 0; c < pclComponents->nGetNbElement(); ++c) {
                const int bDescending = pclQuery == nullptr && pclColumn->bGetDescendantComponent(c + 1);
                _AddItemInORDERBYList(&bUnique, &tabColumns, &tabDirections, (*pclComponents)[c],
                                      bDescending ? !bKeepOrder : bKeepOrder);
            }
        } else {
            _AddItemInORDERBYList(&bUnique, &tabColumns, &tabDirections, pclColumn, bKeepOrder);
        }
    }
    const unsigned nSortBit = bKeepOrder ? 1u : 2u;
    if ((nFlags & NAParseFlag::kForwardOnly) == 0 && (m_nSortOptions & nSortBit) != 0) {
        const int bAsWritten = m_pclDataAccess != nullptr && m_pclDataAccess->bRequeteSansCorrection();
        for (int i = 0; !bUnique && i < m_pclCurrentRecord->nGetNbColumnOrder(); ++i) {
            CNAColumn* pclOrder = m_pclCurrentRecord->pclGetColumnOrderNoRef(i);
            if (pclOrder == nullptr || pclOrder == pclColumn || pclOrder->bIsComposedKey())
                continue;
            if (pclOrder->bIsMemo() && !bMemoSort)
                continue;
            if (pclQuery != nullptr && (bAsWritten || pclQuery->bRubriqueSourceIsMemo(pclOrder)))
                continue;
            if (!bKeyword && (pclQuery == nullptr || pclQuery->piGetRubriqueClauseOrder(pclOrder) != nullptr))
                continue;
            _AddItemInORDERBYList(&bUnique, &tabColumns, &tabDirections, pclOrder, bKeepOrder);
        }
    }
    // A LIMIT of the query's own text stays after the ORDER BY.
    std::wstring csLimit;
    if (pclQuery != nullptr && m_pclCommand != nullptr) {
        const wchar_t* pszText = m_pclCommand->pszGetOriginalSQL();
        const long nLimit = pszText != nullptr ? CNACommand::s_nGetClauseStart(pclConnection, pszText, L"LIMIT", -1) : -1;
        if (nLimit > 0) {
            csLimit = pszText + nLimit;
            long nCut = nLimit;
            while (nCut > 0 && CNACommand::s_bSeparateur(pszText[nCut - 1]))
                --nCut;
            m_pclCommand->Tronque(static_cast<unsigned long>(nCut));
        }
    }
    int nMax = pclConnection != nullptr ? pclConnection->nGetOrderByMaxExpressionNbr() : -1;
    if (nMax >= 0)
        nMax -= nQueryItems;
    int bDone = 1;
    int nWritten = 0;
    for (int i = 0; bDone && i < tabColumns.nGetNbElement() && (nMax < 0 || nWritten < nMax); ++i) {
        if (nWritten == 0 && bKeyword)
            bDone = bComplete(m_pclCommand, L" ORDER BY ");
        else
            bDone = bComplete(m_pclCommand, L",");
        CTString csItem;
        int nDirection = tabDirections[i];
        _FormatItemORDERBY(tabColumns[i], pclQuery, bPlainNames, &csItem, &nDirection);
        bDone = bDone && bComplete(m_pclCommand, csItem.pszGet() != nullptr ? csItem.pszGet() : L"");
        if (bDone && nDirection == 0)
            bDone = bComplete(m_pclCommand, L" DESC");
        ++nWritten;
    }
    if (bDone && !csLimit.empty())
        bDone = bComplete(m_pclCommand, L" ") && bComplete(m_pclCommand, csLimit.c_str());
    return bDone;
}

void CNAStatement::_FormatItemORDERBY(CNAColumn* pclColumn, CSQLParserInfo* pclQuery, int bPlainNames,
                                      CTString* pcsText, int* pnDirection)
{
    if (bPlainNames) {
        pcsText->Set(pclColumn->pszGetFormatedName());
        return;
    }
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    const int nKind = pclColumn->eGetTypeColonne();
    if ((nKind == 1 || nKind == 2) && pclConnection != nullptr && pclConnection->bOrderByIndiceAllowed()) {
        // Its place in the select list, counted from 1.
        int nPosition = 0;
        const unsigned nMode = static_cast<unsigned>(nGetBindDefineFlag());
        for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
            CNAColumn* pclListed = m_pclCurrentRecord->pclGetColumnNoRef(i);
            if (pclListed == pclColumn)
                break;
            if (pclListed->bMustDefine(nMode))
                ++nPosition;
        }
        pcsText->Set(std::to_wstring(nPosition + 1).c_str());
    } else {
        pcsText->Set(pclColumn->pszGetFormatedSelectName(0));
    }
    if (pclQuery != nullptr && m_pclDataAccess != nullptr && !m_pclDataAccess->bRequeteSansCorrection()) {
        IInfoOrderBy* piOrder = pclQuery->piGetRubriqueClauseOrder(pclColumn);
        if (piOrder != nullptr) {
            // Ascending when the browse and the query's own order agree.
            const int bQueryAscending = piOrder->nGetDirection() == 0;
            *pnDirection = (*pnDirection != 0) == bQueryAscending ? 1 : 0;
        }
    }
}
