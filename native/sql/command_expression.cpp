// The command's hooks for the writer of clauses and expressions of a parsed
// query: names in the table-dot-item form the connection formats, date and
// time columns converted where the connection needs them, FROM tables and
// their aliases, the alias form of an output item. Function names and
// arguments by database kind are in command_functions.cpp, literals in
// command_literal.cpp.
#include "common/text/ct_string.h"
#include "common/text/str_copy.h"
#include "native/driver/connection_description.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/item_type.h"
#include "native/sql/command.h"

int CNACommand::_bFormatAndConvertItemInClause(const wchar_t* pszTable, const wchar_t* pszItem,
                                               INAItemDescription* piItem, eSQLELT, eOPEXPRESSION)
{
    // The table-dot-item form written aside, then wrapped by the connection.
    auto* pclName = new CNACommand(m_pclError, m_pclConnection);
    REF_AddRef(pclName);
    pclName->_FormatTableAndItemName(pszTable, pszItem);
    int bDone;
    if (m_pclConnection == nullptr) {
        bDone = bComplete(pclName->pszGetOriginalSQL(), static_cast<unsigned long>(-1));
    } else {
        CTStringConcatAW clConverted;
        (void)m_pclConnection->bConvertExpressionToString(m_pclError, &clConverted, pclName->pszGetOriginalSQL(),
                                                          piItem, nullptr);
        bDone = bComplete(clConverted.pszGetW(), static_cast<unsigned long>(-1));
    }
    REF_Release(pclName);
    return bDone;
}

int CNACommand::eGetFormatExpressionColonne(eSQLELT eElement, eNA_ITEMTYPE eType, eOPEXPRESSION eOperator, int)
{
    const int nOperator = static_cast<int>(eOperator);
    if (nOperator == 33 || (eType != NA_IT_HEURE && eType != NA_IT_DATE8 && eType != NA_IT_DATETIME))
        return 0;
    if ((nOperator >= 15 && nOperator <= 21) || nOperator == 32 || (nOperator >= 42 && nOperator <= 46) ||
        (nOperator >= 50 && nOperator <= 57))
        return 2;
    if (eType == NA_IT_HEURE && m_pclConnection != nullptr && !m_pclConnection->bSupportItemTime() &&
        ((eElement >= CNASqlElt::SQLELT_WHERE && eElement <= CNASqlElt::SQLELT_ORDERBY) ||
         (nOperator >= 9 && nOperator <= 14) || nOperator == 22 || nOperator == 23))
        return 2;
    return 0;
}

void CNACommand::_FormatItemNameInWHEREClause(const wchar_t* pszTable, const wchar_t* pszItem, CNAParameter*)
{
    _FormatTableAndItemName(pszTable, pszItem);
}

void CNACommand::_FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription*,
                                           eSQLELT)
{
    _FormatTableAndItemName(pszTable, pszItem);
}

int CNACommand::_GetMotifVariableDebut(wchar_t* pszBuffer, unsigned nCapacity)
{
    return static_cast<int>(STR_nCopy(pszBuffer, nCapacity, L"{", -1));
}

int CNACommand::_GetMotifVariableFin(wchar_t* pszBuffer, unsigned nCapacity)
{
    return static_cast<int>(STR_nCopy(pszBuffer, nCapacity, L"}", -1));
}

void CNACommand::_FormatTableClauseFROM(const wchar_t* pszTable)
{
    CTString csName;
    if (m_pclConnection == nullptr || !m_pclConnection->bFormatTableName(m_pclError, pszTable, &csName))
        csName.Set(pszTable);
    (void)bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
}

void CNACommand::_FormatTableAliasClauseFROM(const wchar_t* pszAlias)
{
    _FormatTableAndItemName(nullptr, pszAlias);
}

void CNACommand::_FormatRubriqueAlias(IInfoRubrique* piItem, eSQLELT, int nOption)
{
    if (piItem == nullptr)
        return;
    if (nOption == 1 && piItem->eGetKind() == IInfoRubrique::KIND_ITEM) {
        // The table as the query names it (its alias when it has one), so
        // that the name is valid wherever the query's own names are.
        const wchar_t* pszTable = piItem->pszGetAliasTable();
        if (pszTable == nullptr || pszTable[0] == L'\0')
            pszTable = piItem->pszGetNomTable();
        _FormatTableAndItemName(pszTable, piItem->pszGetNomRubrique());
        return;
    }
    const wchar_t* pszAlias = piItem->pszGetAlias();
    _FormatTableAndItemName(nullptr, pszAlias != nullptr && pszAlias[0] != L'\0' ? pszAlias : piItem->pszGetNom());
}

int CNACommand::_bShouldAddParameter(CSQLParserInfo*, IExpOpExpression*, IExpOpExpression*, eSQLELT,
                                     INAItemDescription*)
{
    return m_bParametersEnabled != 0;
}
