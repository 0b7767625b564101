// The MySQL statement's life, its access to the MySQL connection and
// execution statement, and the automatic identifier after an INSERT.
#include "mysql/mysql_statement.h"

#include "mysql/client_api.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/mysql_statement_sql.h"
#include "native/access/data_access.h"
#include "native/model/column.h"
#include "native/model/record.h"

CMySQLStatement::CMySQLStatement(CNADataAccess* pclDataAccess, CNAError* pclError)
    : CNAStatement(pclDataAccess, pclError)
{
}

CMySQLStatement::~CMySQLStatement() = default;

CMySQLConnection* CMySQLStatement::_pclMySQLConnection() const
{
    // The MySQL driver makes its statements on MySQL connections only.
    return static_cast<CMySQLConnection*>(pclGetConnectionNoRef());
}

CMySQLStatementSQL* CMySQLStatement::_pclMySQLStatementSQL() const
{
    // Made by the MySQL driver's SQL object for this statement.
    return static_cast<CMySQLStatementSQL*>(m_pclStatementSQL);
}

int CMySQLStatement::bUpdateRecordAfterInsert(eNAQUERYTYPE, NA_WRITEPARSEFLAGS)
{
    CNAColumn* pclAuto = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnIDAutoNoRef() : nullptr;
    CMySQLConnection* pclConnection = _pclMySQLConnection();
    if (pclAuto == nullptr || pclConnection == nullptr || pclConnection->pGetMySQL() == nullptr)
        return 1;
    MYSQL* pMySQL = pclConnection->pGetMySQL();
    my_ulonglong nId = 0;
    if (!bClientCallNamed(MySQLSite::kStatementInsertId, m_pclError, pclConnection,
                          m_pclDataAccess != nullptr ? m_pclDataAccess->pszGetLogicalName() : nullptr,
                          pclAuto->pszGetName(), [&] { nId = __mysql_insert_id(pMySQL); }))
        return 0;
    // 0: the INSERT generated no identifier; the column keeps its value.
    if (nId == 0)
        return 1;
    CAny clValue;
    // The client's unsigned value is kept bit for bit.
    clValue.SetI8(static_cast<long>(nId));
    (void)pclAuto->bSetValue(&clValue, 0);
    return 1;
}
