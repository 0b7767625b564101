// The MySQL statement's CREATE TABLE: the InnoDB engine clause and the
// column constraints of primary items.
#include <string>

#include "mysql/mysql_connection.h"
#include "mysql/mysql_statement.h"
#include "native/model/column.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"
#include "native/sql/command.h"

int CMySQLStatement::bBuildQueryCREATE(CNACommand* pclCommand)
{
    const int bBuilt = CNAStatement::bBuildQueryCREATE(pclCommand);
    if (!bBuilt)
        return bBuilt;
    // Servers before 5 know the engine as the table's type.
    CMySQLConnection* pclConnection = _pclMySQLConnection();
    const bool bEngine = pclConnection != nullptr && pclConnection->nGetServerMajor() >= 5;
    return pclCommand->bComplete(bEngine ? L" ENGINE=InnoDB" : L" Type=InnoDB", static_cast<unsigned long>(-1));
}

int CMySQLStatement::_bGetNativeConstraint(CNAColumn* pclColumn, CTString* pcsConstraint)
{
    pcsConstraint->Set(L"");
    INAItemDescription* piItem = pclColumn->piGetItemNoRef();
    if (piItem == nullptr)
        return CNAStatement::_bGetNativeConstraint(pclColumn, pcsConstraint);
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    const bool bAuto = eType == NA_IT_IDAUTO || eType == NA_IT_IDAUTO4;
    if (!bAuto && !piItem->bPrimary())
        return CNAStatement::_bGetNativeConstraint(pclColumn, pcsConstraint);
    // The key is a table constraint following the column's definition: a
    // PRIMARY KEY clause inside a column definition, naming the column, is
    // refused by the server.
    std::wstring csText = bAuto ? L" NOT NULL AUTO_INCREMENT" : L"";
    csText += L", PRIMARY KEY (";
    csText += pclColumn->pszGetFormatedName() != nullptr ? pclColumn->pszGetFormatedName() : L"";
    csText += L")";
    pcsConstraint->Set(csText.c_str());
    return 1;
}
