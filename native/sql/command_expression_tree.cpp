// Condition trees of a parsed query in a command: the WHERE clause with a
// further condition joined to it, a sub-tree or a filter's condition on its
// own, calculated items written as their expressions, columns of a
// condition, and the host's clause lists.
#include <cwchar>

#include "common/text/ct_string.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/host_tab_val_parser.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/na_item_description.h"
#include "native/sql/command_query_writer.h"
#include "native/sql/host_expression.h"
#include "native/sql/host_sql_parser_information.h"
#include "native/sql/sql_parser_info.h"

namespace {

// The AND of the column-NULL bookkeeping.
constexpr int kAnd = 2;

}  // namespace

int CNACommand::bAddTreeExpression(CSQLParserInfo* pclQuery, CSQLParserInfo* pclOuter, const wchar_t* pszText,
                                   IExpOpExpression* piParent, IExpOpExpression* piRoot, eSQLELT eElement,
                                   unsigned long* pnPosition, CNACommand* pclCondition)
{
    CNAQueryWriter clWriter(*this, pclOuter != nullptr ? pclOuter : pclQuery, pszText, pnPosition);
    if (eElement != CNASqlElt::SQLELT_WHERE || pclCondition == nullptr || pclCondition->bIsEmpty() ||
        pclQuery == nullptr)
        return clWriter.bTree(piParent, piRoot, eElement);
    int bDone = 1;
    if (pclQuery->nGetWhereStart() > 0) {
        // WHERE ( tree) AND (condition)
        clWriter.CopyTo(clWriter.nBound(pclQuery->nGetWhereStart() + 5));
        (void)bComplete(L" (", 2);
        bDone = clWriter.bTree(piParent, piRoot, eElement);
        if (!bDone)
            return 0;
        clWriter.CopyTo(clWriter.nBound(pclQuery->nGetWhereEnd() + 1));
        (void)bComplete(L") AND (", static_cast<unsigned long>(-1));
        bDone = bAdd(pclCondition, ADDMODE_SHARE);
        (void)bComplete(L")", 1);
    } else {
        clWriter.CopyTo(_nGetClauseStart(pclQuery, CNASqlElt::SQLELT_WHERE));
        (void)bComplete(L" WHERE ", static_cast<unsigned long>(-1));
        bDone = bAdd(pclCondition, ADDMODE_SHARE);
        (void)bComplete(L" ", 1);
    }
    if (bDone && pclCondition->pclGetColumnNullNoRef() != nullptr)
        bDone = bCombineColumnValuesNullSelected(static_cast<eNAOperator>(kAnd), pclCondition->pclGetColumnNullNoRef());
    return bDone;
}

int CNACommand::bFormatSubExpression(CSQLParserInfo* pclQuery, IExpOpExpression* piNode, eSQLELT eElement)
{
    if (piNode == nullptr)
        return 1;
    const long nStart = piNode->stGetPosition().nStart;
    unsigned long nPosition = nStart > 0 ? static_cast<unsigned long>(nStart) : 0;
    CNAQueryWriter clWriter(*this, pclQuery, pclQuery != nullptr ? pclQuery->pszGetRequete() : nullptr, &nPosition);
    return clWriter.bTree(nullptr, piNode, eElement);
}

int CNACommand::bAddFilterExpression(CSQLParserInfo* pclFilter)
{
    if (pclFilter == nullptr)
        return 0;
    return bFormatSubExpression(pclFilter, pclFilter->piGetWhereExpressionNoRef(), CNASqlElt::SQLELT_WHERE);
}

// --- Calculated items --------------------------------------------------------------------

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, IInfoRubrique* piItem, eSQLELT eElement)
{
    if (piItem == nullptr)
        return 0;
    // The chain of items being expanded, this command's first: meeting one
    // of them again would expand it without end.
    for (const CNACommand* pcl = this; pcl != nullptr; pcl = pcl->m_pclExpandingParent) {
        if (pcl->m_piCurrentCalculatedItem == piItem) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kCommandCalculatedItemLoop, m_pclConnection, nullptr,
                                       nullptr, piItem->pszGetNom());
            return 0;
        }
    }
    IExpOpExpression* piExpression = piItem->piGetExpression();
    if (piExpression == nullptr)
        return bComplete(piItem->pszGetTexte(), static_cast<unsigned long>(-1));
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNACommand* pclSub = pclDriver != nullptr ? pclDriver->pclAllocCommand(m_pclError, m_pclConnection) : nullptr;
    if (pclSub == nullptr) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    REF_AddRef(pclSub);
    pclSub->m_pclExpandingParent = this;
    pclSub->m_piCurrentCalculatedItem = piItem;
    pclSub->m_nOption = m_nOption;
    pclSub->m_bParametersEnabled = m_bParametersEnabled;
    int bDone = pclSub->bFormatSubExpression(pclQuery, piExpression, eElement);
    if (bDone) {
        // In parentheses: the expression stands for one value wherever the
        // alias stood, whatever operators surround it.
        (void)bComplete(L"(", 1);
        bDone = bAdd(pclSub, ADDMODE_SHARE);
        (void)bComplete(L")", 1);
    }
    pclSub->m_piCurrentCalculatedItem = nullptr;
    pclSub->m_pclExpandingParent = nullptr;
    REF_Release(pclSub);
    return bDone;
}

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, const wchar_t* pszAlias, eSQLELT eElement)
{
    IInfoRubrique* piItem = pclQuery != nullptr ? pclQuery->piGetInfoRubriqueFromAlias(nullptr, pszAlias) : nullptr;
    return piItem != nullptr ? bFormatExpressionColonneCalculee(pclQuery, piItem, eElement) : 0;
}

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, IInfoRubrique* piItem, eSQLELT eElement,
                                                 CTString* pcsText)
{
    if (pcsText == nullptr)
        return 0;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNACommand* pclInline = pclDriver != nullptr ? pclDriver->pclAllocCommand(m_pclError, m_pclConnection) : nullptr;
    if (pclInline == nullptr) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    REF_AddRef(pclInline);
    // No place for parameters: the values stay in the text as written.
    pclInline->m_bParametersEnabled = 0;
    pclInline->m_nOption = m_nOption;
    pclInline->m_pclExpandingParent = this;
    const int bDone = pclInline->bFormatExpressionColonneCalculee(pclQuery, piItem, eElement);
    pclInline->m_pclExpandingParent = nullptr;
    if (bDone)
        pcsText->Set(pclInline->pszGetOriginalSQL());
    REF_Release(pclInline);
    return bDone;
}

// --- Columns of a condition ----------------------------------------------------------

int CNACommand::FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription* piItem,
                                         eSQLELT eElement, eOPEXPRESSION eOperator)
{
    if (piItem != nullptr && eGetFormatExpressionColonne(eElement, piItem->eNAGetItemType(), eOperator, 0) == 2)
        return _bFormatAndConvertItemInClause(pszTable, pszItem, piItem, eElement, eOperator);
    _FormatExpressionItemName(pszTable, pszItem, piItem, eElement);
    return 1;
}

void CNACommand::_FormatTableAndItemName(const wchar_t* pszTable, const wchar_t* pszItem)
{
    CTString csName;
    if (pszTable != nullptr && pszTable[0] != L'\0') {
        if (m_pclConnection == nullptr || !m_pclConnection->bFormatTableName(m_pclError, pszTable, &csName))
            csName.Set(pszTable);
        (void)bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
        (void)bComplete(L".", 1);
    }
    if (m_pclConnection == nullptr || !m_pclConnection->bFormatItemName(m_pclError, pszItem, &csName))
        csName.Set(pszItem);
    (void)bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
}

// --- Host clause lists ------------------------------------------------------------------

int CNACommand::bComplete(ISQLParserInformation* piClauses)
{
    if (piClauses == nullptr)
        return 1;
    return _bAddClause(piClauses->pclGetClauseList(), piClauses->pszGetRequete(), 0);
}

int CNACommand::_bAddClause(CTabValParser* pclList, const wchar_t* pszText, int bWhere)
{
    unsigned long nPosition = 0;
    CNAQueryWriter clWriter(*this, nullptr, pszText, &nPosition);
    const unsigned long n = clWriter.nLength();
    const uint32_t nParams = pclList != nullptr ? pclList->nNbParam : 0;
    const uint32_t nItems = pclList != nullptr ? pclList->nNbItem : 0;
    uint32_t p = 0;
    uint32_t i = 0;
    int bDone = 1;
    // Items and parameters merged by position (an item first at a tie).
    while (bDone && (p < nParams || i < nItems)) {
        const bool bItem = i < nItems && (p >= nParams || pclList->ppItems[i]->nStart <= pclList->ppEntries[p]->nStart);
        const long nStart = bItem ? pclList->ppItems[i]->nStart : pclList->ppEntries[p]->nStart;
        const long nLength = bItem ? pclList->ppItems[i]->nLength : pclList->ppEntries[p]->nLength;
        if (nStart < static_cast<long>(nPosition) || nLength < 0 || nStart + nLength > static_cast<long>(n))
            return clWriter.bPositionError();
        clWriter.CopyTo(static_cast<unsigned long>(nStart));
        if (bItem) {
            const CTabValParserItem& item = *pclList->ppItems[i++];
            if (bWhere)
                _FormatItemNameInWHEREClause(item.pszTable, item.pszItem, nullptr);
            else
                _FormatTableAndItemName(item.pszTable, item.pszItem);
        } else {
            const CTabValParserEntry& entry = *pclList->ppEntries[p++];
            bDone = bAddParameter(&entry.clValue, OPEXP_NONE, entry.dwFlags, nullptr, L'\0', CNAParameter::NA_PARAM_IN);
        }
        clWriter.SkipTo(static_cast<unsigned long>(nStart + nLength));
    }
    if (bDone)
        clWriter.CopyTo(n);
    return bDone;
}
