// The schema lists of the SQL-functions object: tables, databases and the
// tables of each, and columns, read from the server's catalogue through
// the object's own statements.
//
// The table-type condition always stands between parentheses before the
// schema test: its parts are joined by OR, and without the parentheses the
// schema test would bind to the last part only, listing the tables of the
// other types from every schema the user can see.
#include <cwchar>

#include "common/system/x_error.h"
#include "common/text/string_array.h"
#include "common/text/string_concat_aw.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/wide_text_value.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"

namespace {

constexpr unsigned kTypeFlags = CNADriverSQL::NA_LIST_BASE_TABLES | CNADriverSQL::NA_LIST_VIEWS |
                                CNADriverSQL::NA_LIST_SYSTEM_TABLES;

// The list as the value's text; 0 with the no-memory error when the text
// could not be built or stored.
int bStoreList(CAny* pclValue, const CXYStringConcat<wchar_t>& clList, CNAError* pclError)
{
    if (!clList.bEchec() && NA_bSetWideText(pclValue, ZLTYPE_DSTRW, clList.pszGet(), clList.nGetLongueur()))
        return 1;
    if (pclError != nullptr)
        pclError->pclGetXError()->SetErrorNoMemory();
    return 0;
}

// The lines sorted without regard to case.
void SortLines(CXYStringConcat<wchar_t>* pclList)
{
    CTString csSorted;
    CTStringArray::g_bTrieCroissantI(&csSorted, pclList->pszGet(), L"\r\n");
    pclList->Vide();
    pclList->Add(csSorted.pszGet());
}

// " WHERE " and the condition between parentheses, " AND " after it;
// nothing for an empty condition.
void AddCondition(CTStringConcatAW* pclQuery, const wchar_t* pszCondition)
{
    pclQuery->AddStrCte(L" WHERE ", -1);
    if (pszCondition != nullptr && pszCondition[0] != 0) {
        pclQuery->AddStrCte(L"(", -1);
        pclQuery->AddStrCte(pszCondition, -1);
        pclQuery->AddStrCte(L") AND ", -1);
    }
}

}  // namespace

// --- Handle forms.

int CNADriverSQL::bGetTableList(CAny* pclList, int nConnection, const wchar_t* pszFilter, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return bGetTableList(pclList, pclConnection, pszFilter, nFlags);
    });
}

int CNADriverSQL::bGetColumnList(CAny* pclList, int nConnection, const wchar_t* pszTable, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(nConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return bGetColumnList(pclList, pclConnection, pszTable, nFlags);
    });
}

int CNADriverSQL::bGetColumnTypeList(CAny* pclList, int, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    return NA_bSetWideText(pclList, ZLTYPE_PSTRW, L"");
}

// --- Runner.

int CNADriverSQL::_bGetList(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                            const wchar_t* pszSQL, unsigned nColumns, unsigned nFlags, const wchar_t* pszRowSeparator)
{
    CNAStatementSQL* pclStatement = nullptr;
    const int bExecuted = bExecute(m_pclError, &pclStatement, pclConnection, pszSQL, nullptr, 0);
    if (!bExecuted || pclStatement == nullptr)
        return bExecuted;
    int bDone = 1;
    bool bFirst = true;
    CXYStringConcat<wchar_t> clRow;
    // A row that cannot be read fails the list: a part of it is no list.
    while ((bDone = pclStatement->bFetch(nFlags)) && pclStatement->bHasCurrentRow()) {
        bDone = pclStatement->bGetRow(&clRow, L"\t", static_cast<int>(nColumns), nFlags);
        if (!bDone)
            break;
        if (!bFirst)
            pclList->Add(pszRowSeparator);
        bFirst = false;
        pclList->Add(clRow.pszGet(), clRow.nGetLongueur());
    }
    pclStatement->nRelease();
    return bDone;
}

int CNADriverSQL::_bGetList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszSQL,
                            unsigned nColumns, unsigned nFlags)
{
    CXYStringConcat<wchar_t> clList;
    if (!_bGetList(&clList, pclConnection, pszSQL, nColumns, nFlags, L"\r\n"))
        return 0;
    return bStoreList(pclList, clList, m_pclError);
}

// --- Tables.

void CNADriverSQL::_GetTableList_GetFilter(CXYStringConcat<wchar_t>* pclFilter, const wchar_t* pszFilter,
                                           unsigned nFlags)
{
    const struct
    {
        unsigned nFlag;
        const wchar_t* pszCondition;
    } kTypes[] = {
        {NA_LIST_BASE_TABLES, L"TABLE_TYPE='BASE TABLE'"},
        {NA_LIST_SYSTEM_TABLES, L"TABLE_TYPE='SYSTEM TABLE'"},
        {NA_LIST_VIEWS, L"TABLE_TYPE='VIEW'"},
    };
    bool bFirst = true;
    for (const auto& type : kTypes) {
        if (!(nFlags & type.nFlag))
            continue;
        if (!bFirst)
            pclFilter->Add(L" OR ");
        bFirst = false;
        pclFilter->Add(type.pszCondition);
    }
    if (pszFilter != nullptr && pszFilter[0] != 0) {
        pclFilter->Add(L" ");
        pclFilter->Add(pszFilter);
    }
}

int CNADriverSQL::bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszFilter,
                                unsigned nFlags)
{
    if (!(nFlags & kTypeFlags))
        return NA_bSetWideText(pclList, ZLTYPE_DSTRW, L"");
    CXYStringConcat<wchar_t> clCondition;
    _GetTableList_GetFilter(&clCondition, pszFilter, nFlags);
    const int bDone = _bGetTableList(pclList, pclConnection, clCondition.pszGet(), nFlags);
    if (!bDone || !(nFlags & NA_LIST_SORTED))
        return bDone;
    CTString csSorted;
    CTStringArray::g_bTrieCroissantI(&csSorted, NA_pszWideTextOf(pclList), L"\r\n");
    return NA_bSetWideText(pclList, ZLTYPE_DSTRW, csSorted.pszGet());
}

int CNADriverSQL::_bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection,
                                 const wchar_t* pszCondition, unsigned nFlags)
{
    CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
    clQuery.AddStrCte(L"SELECT TABLE_NAME, TABLE_SCHEMA, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES", -1);
    AddCondition(&clQuery, pszCondition);
    clQuery.AddStrCte(L"TABLE_SCHEMA = SCHEMA() ORDER BY TABLE_SCHEMA, TABLE_NAME", -1);

    CNAStatementSQL* pclStatement = nullptr;
    const int bExecuted = bExecute(m_pclError, &pclStatement, pclConnection, clQuery.pszGetW(), nullptr, 0);
    if (!bExecuted)
        return 0;
    CXYStringConcat<wchar_t> clList;
    int bDone = 1;
    if (pclStatement != nullptr) {
        const bool bDetailed = (nFlags & NA_LIST_DETAILED) != 0;
        CAny value;
        const auto read = [&](unsigned nColumn) -> const wchar_t* {
            if (!bDone || !(bDone = pclStatement->bGetValue(&value, nColumn, 0)))
                return nullptr;
            const wchar_t* psz = NA_pszWideTextOf(&value);
            return psz != nullptr ? psz : L"";
        };
        while ((bDone = pclStatement->bFetch(0)) && pclStatement->bHasCurrentRow()) {
            if (clList.nGetLongueur() > 0)
                clList.Add(L"\r\n");
            clList.Add(read(0));
            if (bDetailed) {
                clList.Add(L"\t");
                clList.Add(read(1));
                clList.Add(L"\t\t");
                const wchar_t* pszType = read(2);
                clList.Add(pszType != nullptr && CTString(pszType).bEstEgalI(L"BASE TABLE") ? L"TABLE" : pszType);
            }
            if (!bDone)
                break;
        }
        pclStatement->nRelease();
    }
    if (!bStoreList(pclList, clList, m_pclError))
        return 0;
    return bDone;
}

int CNADriverSQL::bGetColumnList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                                 unsigned)
{
    CNADataSourceDescription* pclSource =
        m_pclDriver != nullptr ? m_pclDriver->_pclGetTableDesc(pszTable, pclConnection) : nullptr;
    if (pclSource == nullptr) {
        if (pclList != nullptr)
            pclList->SetNull();
        return 0;
    }
    CXYStringConcat<wchar_t> clList;
    for (unsigned i = 0; i < pclSource->nGetNumItems(); ++i) {
        const CNAItemDescription* pclItem = pclSource->pclGetItemNoRef(i);
        // The composite keys come after the columns.
        if (pclItem == nullptr || pclItem->bIsComposedKey())
            break;
        if (i > 0)
            clList.Add(L"\r\n");
        clList.Add(pclItem->pszGetName());
    }
    pclSource->nRelease();
    return bStoreList(pclList, clList, m_pclError);
}

// --- Databases.

int CNADriverSQL::_bGetDatabaseListQuery(CTStringConcatAW* pclQuery, CNAConnectionDescription*, unsigned)
{
    pclQuery->SetStrCte(L"SELECT SCHEMA_NAME FROM INFORMATION_SCHEMA.SCHEMATA ORDER BY SCHEMA_NAME", -1);
    return 1;
}

int CNADriverSQL::_bGetDatabaseTableListQuery(CTStringConcatAW* pclQuery, const wchar_t* pszDatabase,
                                              CNAConnectionDescription* pclConnection, unsigned nFlags)
{
    CXYStringConcat<wchar_t> clCondition;
    _GetTableList_GetFilter(&clCondition, nullptr, nFlags);
    pclQuery->SetStrCte(L"SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES", -1);
    AddCondition(pclQuery, clCondition.pszGet());
    pclQuery->AddStrCte(L"TABLE_SCHEMA = ", -1);
    const wchar_t* pszName = pszDatabase != nullptr ? pszDatabase : L"";
    if (!pclConnection->_bEscapeString(m_pclError, pclQuery, ZLTYPE_PSTRW,
                                       reinterpret_cast<unsigned char*>(const_cast<wchar_t*>(pszName)),
                                       std::wcslen(pszName) * sizeof(wchar_t)))
        return 0;
    pclQuery->AddStrCte(L" ORDER BY TABLE_NAME", -1);
    return 1;
}

int CNADriverSQL::_bGetDatabaseList(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                    unsigned nFlags)
{
    const int bDone = _bGetDatabaseListWork(pclList, pclConnection, nFlags);
    if (nFlags & NA_LIST_SORTED)
        SortLines(pclList);
    return bDone;
}

int CNADriverSQL::_bGetDatabaseListWork(CXYStringConcat<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                        unsigned nFlags)
{
    CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
    if (!_bGetDatabaseListQuery(&clQuery, pclConnection, nFlags) ||
        !_bGetList(pclList, pclConnection, clQuery.pszGetW(), 0, nFlags, L"\t"))
        return 0;
    if (!(nFlags & kTypeFlags))
        return 1;

    CTStringArray tabDatabases;
    tabDatabases.Decoupe(pclList->pszGet(), L"\t");
    if (nFlags & NA_LIST_SORTED)
        tabDatabases.TrieCroisssantI();
    pclList->Vide();
    CXYStringConcat<wchar_t> clTables;
    CTStringArray tabTables;
    for (int i = 0; i < tabDatabases.nGetNbElement(); ++i) {
        const wchar_t* pszDatabase = tabDatabases[i]->pszGet();
        clTables.Vide();
        if (!_bGetDatabaseTableListQuery(&clQuery, pszDatabase, pclConnection, nFlags) ||
            !_bGetList(&clTables, pclConnection, clQuery.pszGetW(), 0, nFlags, L"\r\n"))
            return 0;
        // Only a database without tables of the asked types is left out; a
        // table of a one-character name is a table all the same.
        if (clTables.nGetLongueur() == 0)
            continue;
        tabTables.SupprimeTout();
        tabTables.Decoupe(clTables.pszGet(), L"\r\n");
        for (int j = 0; j < tabTables.nGetNbElement(); ++j) {
            if (pclList->nGetLongueur() > 0)
                pclList->Add(L"\r\n");
            pclList->Add(pszDatabase);
            pclList->Add(L"\t");
            pclList->Add(tabTables[j]->pszGet());
        }
    }
    return 1;
}

int CNADriverSQL::bGetDatabaseList(CXYString<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                   unsigned nFlags)
{
    CXYStringConcat<wchar_t> clList;
    const int bDone = _bGetDatabaseList(&clList, pclConnection, nFlags);
    if (pclList != nullptr)
        (void)pclList->nAffecte(clList.pszGet(), static_cast<int>(clList.nGetLongueur()));
    return bDone;
}

// --- Links: the line form (the link list itself is driver_sql_links.cpp).

const wchar_t* CNADriverSQL::s_pszRuleCode(eSQLForeignKeysRules eRule)
{
    switch (eRule) {
    case NA_FK_CASCADE: return L"2022";
    case NA_FK_SET_NULL:
    case NA_FK_SET_DEFAULT: return L"2023";
    case NA_FK_NO_ACTION: return L"2020";
    default: return L"2021";
    }
}

int CNADriverSQL::_bTextToeSQLForeignKeysRules(const wchar_t* pszText, eSQLForeignKeysRules* peRule)
{
    const struct
    {
        const wchar_t* pszText;
        eSQLForeignKeysRules eRule;
    } kRules[] = {
        {L"CASCADE", NA_FK_CASCADE},     {L"RESTRICT", NA_FK_RESTRICT},       {L"SET NULL", NA_FK_SET_NULL},
        {L"NO ACTION", NA_FK_NO_ACTION}, {L"SET DEFAULT", NA_FK_SET_DEFAULT},
    };
    CTString csText;
    csText.Set(pszText);
    csText.Majuscule();
    eSQLForeignKeysRules eRule = NA_FK_UNKNOWN;
    for (const auto& rule : kRules) {
        if (csText.bEstEgal(rule.pszText))
            eRule = rule.eRule;
    }
    if (peRule != nullptr)
        *peRule = eRule;
    return 1;
}

int CNADriverSQL::s_bConcatConstraint(CXYStringConcat<wchar_t>* pclList, unsigned nFlags, const wchar_t* pszOwner1,
                                      const wchar_t* pszTable1, const wchar_t* pszColumns1, const wchar_t* pszOwner2,
                                      const wchar_t* pszTable2, const wchar_t* pszColumns2,
                                      eSQLForeignKeysRules eRule1, eSQLForeignKeysRules eRule2)
{
    const auto addTable = [pclList](const wchar_t* pszOwner, const wchar_t* pszTable) {
        if (pszOwner != nullptr && pszOwner[0] != 0) {
            pclList->Add(pszOwner);
            pclList->Add(L".");
        }
        pclList->Add(pszTable);
    };
    if (pclList->nGetLongueur() > 0)
        pclList->Add(L"\r\n");
    addTable(pszOwner1, pszTable1);
    pclList->Add(L"_");
    addTable(pszOwner2, pszTable2);
    pclList->Add(L"\t");
    addTable(pszOwner1, pszTable1);
    pclList->Add(L"\t");
    pclList->Add(pszColumns1);
    pclList->Add(L"\t0,N\t");
    addTable(pszOwner2, pszTable2);
    pclList->Add(L"\t");
    pclList->Add(pszColumns2);
    pclList->Add(L"\t0,1");
    if (nFlags & NA_LIST_DETAILED) {
        pclList->Add(L"\t");
        pclList->Add(s_pszRuleCode(eRule1));
        pclList->Add(L"\t");
        pclList->Add(s_pszRuleCode(eRule2));
    }
    return pclList->bEchec() ? 0 : 1;
}
