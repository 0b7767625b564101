// The MySQL lists of the SQL-functions object. Servers before 5 have no
// catalogue schema: databases and tables come from SHOW statements, which
// also stand in when a later server's catalogue query fails (its error
// stays recorded). Columns always come from SHOW COLUMNS, in the table's
// column order.
//
// A detailed table line writes the name as the server listed it, so that
// the host can open the table by it; the owner is the part before a first
// "." of that name (MySQL has no owners: a name without "." has none).
#include "common/text/string_array.h"
#include "common/text/string_concat_aw.h"
#include "mysql/mysql_driver_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/wide_text_value.h"

namespace {

bool bBefore5(const CNAConnectionDescription* pclConnection)
{
    return pclConnection->nGetServerMajor() < 5;
}

}  // namespace

int CMySQLDriverSQL::_bGetDatabaseListQuery(CTStringConcatAW* pclQuery, CNAConnectionDescription* pclConnection,
                                            unsigned nFlags)
{
    if (!bBefore5(pclConnection))
        return CNADriverSQL::_bGetDatabaseListQuery(pclQuery, pclConnection, nFlags);
    pclQuery->SetStrCte(L"SHOW DATABASES", -1);
    return 1;
}

int CMySQLDriverSQL::_bGetDatabaseTableListQuery(CTStringConcatAW* pclQuery, const wchar_t* pszDatabase,
                                                 CNAConnectionDescription* pclConnection, unsigned nFlags)
{
    if (!bBefore5(pclConnection))
        return CNADriverSQL::_bGetDatabaseTableListQuery(pclQuery, pszDatabase, pclConnection, nFlags);
    CTString csName;
    if (!pclConnection->bFormatTableName(m_pclError, pszDatabase != nullptr ? pszDatabase : L"", &csName))
        return 0;
    pclQuery->SetStrCte(L"SHOW TABLES FROM ", -1);
    pclQuery->Add(csName);
    return 1;
}

int CMySQLDriverSQL::bGetColumnList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                                    unsigned nFlags)
{
    CTString csName;
    if (!pclConnection->bFormatTableName(m_pclError, pszTable != nullptr ? pszTable : L"", &csName))
        return 0;
    CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
    clQuery.SetStrCte(L"SHOW COLUMNS FROM ", -1);
    clQuery.Add(csName);
    return _bGetList(pclList, pclConnection, clQuery.pszGetW(), 1, nFlags);
}

int CMySQLDriverSQL::bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszExtra,
                                   unsigned nFlags)
{
    if (!bBefore5(pclConnection) && CNADriverSQL::bGetTableList(pclList, pclConnection, pszExtra, nFlags))
        return 1;
    return _bShowTables(pclList, pclConnection, pszExtra, nFlags);
}

int CMySQLDriverSQL::_bShowTables(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszExtra,
                                  unsigned nFlags)
{
    int bDone = 1;
    if (!(nFlags & NA_LIST_BASE_TABLES)) {
        bDone = NA_bSetWideText(pclList, ZLTYPE_DSTRW, L"");
    } else {
        CTStringConcatAW clQuery(CTStringConcatAW::kMaitreLarge);
        clQuery.SetStrCte(L"SHOW TABLES", -1);
        if (pszExtra != nullptr && pszExtra[0] != 0) {
            clQuery.AddStrCte(L" ", -1);
            clQuery.AddStrCte(pszExtra, -1);
        }
        bDone = _bGetList(pclList, pclConnection, clQuery.pszGetW(), 1, nFlags);
        if (bDone && (nFlags & NA_LIST_DETAILED)) {
            CTStringArray tabNames;
            tabNames.Decoupe(NA_pszWideTextOf(pclList), L"\r\n");
            const wchar_t* pszDatabase = pclConnection->pszGetDefaultDataBase();
            CXYStringConcat<wchar_t> clLines;
            for (int i = 0; i < tabNames.nGetNbElement(); ++i) {
                const wchar_t* pszName = tabNames[i]->pszGet();
                CTString csOwner, csTable;
                CNAConnectionDescription::bExtractOwner(nullptr, pszName, &csOwner, &csTable);
                if (i > 0)
                    clLines.Add(L"\r\n");
                clLines.Add(pszName);
                clLines.Add(L"\t");
                clLines.Add(pszDatabase != nullptr ? pszDatabase : L"");
                clLines.Add(L"\t");
                clLines.Add(csOwner.pszGet());
                clLines.Add(L"\tTABLE");
            }
            bDone = !clLines.bEchec() &&
                    NA_bSetWideText(pclList, ZLTYPE_DSTRW, clLines.pszGet(), clLines.nGetLongueur());
        }
    }
    // Also after a failed query, on whatever the list holds.
    if ((nFlags & NA_LIST_SORTED) && pclList != nullptr) {
        const wchar_t* pszList = NA_pszWideTextOf(pclList);
        CTString csSorted;
        CTStringArray::g_bTrieCroissantI(&csSorted, pszList != nullptr ? pszList : L"", L"\r\n");
        if (!NA_bSetWideText(pclList, ZLTYPE_DSTRW, csSorted.pszGet()))
            bDone = 0;
    }
    return bDone;
}
