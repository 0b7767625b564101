#pragma once

// MySQL statements on the run's private server: the MySQL driver makes the
// statements, descriptions and data accesses, over the test's connection.
#include <new>
#include <string>

#include "mysql/mysql_statement.h"
#include "tests/native/access/statement_server_fixture.h"

namespace vxtest {

class MySQLStatementFixture : public StatementOnServer
{
protected:
    // A MySQL statement of its own on the data access, held by the test.
    CNAStatement* NewMySQLStatement(CNADataAccess* pclAccess)
    {
        auto* pclStatement = new CMySQLStatement(pclAccess, m_pclError);
        REF_AddRef(pclStatement);
        m_statements.push_back(pclStatement);
        return pclStatement;
    }
    // A new MySQL description held by the test.
    CNADataSourceDescription* NewDescription()
    {
        CNADataSourceDescription* pclDescription = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        pclDescription->AddRef();
        m_descriptions.push_back(pclDescription);
        return pclDescription;
    }
    // The description of a table as the server has it now.
    CNADataSourceDescription* Described(const std::string& sTable)
    {
        CNADataSourceDescription* pclDescription = NewDescription();
        m_pclError->Reset();
        EXPECT_EQ(1, pclDescription->bInitDataSourceDescriptionFromDB(FromUtf8(sTable).c_str(), 0))
            << m_pclError->pszGetError();
        return pclDescription;
    }
};

}  // namespace vxtest
