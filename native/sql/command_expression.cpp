// The command's hooks for the writer of clauses and expressions of a parsed
// query. Here each gives the plain form of its database-neutral answer:
// names written in the table-dot-item form the connection formats, values
// and operators as the host wrote them, no column converted. The writer
// itself, and the rewritings some database kinds need, belong to the
// clause writer.
#include "common/text/ct_string.h"
#include "common/text/str_copy.h"
#include "native/driver/connection_description.h"
#include "native/model/host_info_rubrique.h"
#include "native/sql/command.h"

namespace {

// The connection-formatted table name, ".", and the formatted item name;
// the item name alone without a table.
void AddTableAndItemName(CNACommand& clCommand, const wchar_t* pszTable, const wchar_t* pszItem)
{
    CNAConnectionDescription* pclConnection = clCommand.pclGetConnectionNoRef();
    CTString csName;
    if (pszTable != nullptr && pszTable[0] != L'\0') {
        if (pclConnection == nullptr ||
            !pclConnection->bFormatTableName(clCommand.pclGetErrorNoRef(), pszTable, &csName))
            csName.Set(pszTable);
        (void)clCommand.bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
        (void)clCommand.bComplete(L".", 1);
    }
    if (pclConnection == nullptr || !pclConnection->bFormatItemName(clCommand.pclGetErrorNoRef(), pszItem, &csName))
        csName.Set(pszItem);
    (void)clCommand.bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
}

}  // namespace

int CNACommand::bComplete(ISQLParserInformation*)
{
    // The host's clause lists reach the command through the clause writer.
    return 1;
}

int CNACommand::_bFormatAndConvertItemInClause(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription*,
                                               eSQLELT, eOPEXPRESSION)
{
    AddTableAndItemName(*this, pszTable, pszItem);
    return 1;
}

int CNACommand::eGetFormatExpressionColonne(eSQLELT, eNA_ITEMTYPE, eOPEXPRESSION, int)
{
    return 0;
}

void CNACommand::_FormatItemNameInWHEREClause(const wchar_t* pszTable, const wchar_t* pszItem, CNAParameter*)
{
    AddTableAndItemName(*this, pszTable, pszItem);
}

void CNACommand::_FormatExpressionArgument(IExpOpExpression*, const wchar_t*, unsigned long*)
{
}

int CNACommand::_FormatExpressionLiteral(CNAParameter*, INAItemDescription*, eOPEXPRESSION)
{
    return 1;
}

void CNACommand::_FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription*,
                                           eSQLELT)
{
    AddTableAndItemName(*this, pszTable, pszItem);
}

const wchar_t* CNACommand::_FormatExpressionOperator(eOPEXPRESSION)
{
    return nullptr;
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
    AddTableAndItemName(*this, nullptr, pszAlias);
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
        AddTableAndItemName(*this, pszTable, piItem->pszGetNomRubrique());
        return;
    }
    const wchar_t* pszAlias = piItem->pszGetAlias();
    AddTableAndItemName(*this, nullptr, pszAlias != nullptr && pszAlias[0] != L'\0' ? pszAlias : piItem->pszGetNom());
}

int CNACommand::_bShouldAddParameter(CSQLParserInfo*, IExpOpExpression*, IExpOpExpression*, eSQLELT,
                                     INAItemDescription*)
{
    return m_bParametersEnabled != 0;
}
