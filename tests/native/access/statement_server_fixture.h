#pragma once

// Statements on the run's private server: a data access made by the MySQL
// driver's slot 48 over the MySQL description of a real table, opened, and
// the driver's statements (slot 49) made on it. Values are set into its current
// record as the host would; what the server holds is read back through a
// raw client.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/sql/command.h"
#include "tests/mysql/mysql_statement_server.h"

namespace vxtest {

class StatementOnServer : public MySQLStatementOnServer
{
protected:
    void SetUp() override
    {
        MySQLStatementOnServer::SetUp();
        m_pclConnection = OpenServerConnection(m_db.Name());
    }
    void TearDown() override
    {
        for (CNAStatement* pclStatement : m_statements)
            pclStatement->nRelease();
        for (CNACommand* pclCommand : m_commands)
            pclCommand->nRelease();
        for (CNADataAccess* pclAccess : m_accesses)
            pclAccess->nRelease();
        for (CNADataSourceDescription* pclDescription : m_descriptions)
            pclDescription->nRelease();
        MySQLStatementOnServer::TearDown();
    }

    // An open data access on the table this SQL makes.
    CNADataAccess* OpenTable(const std::string& sTable, const std::string& sCreate)
    {
        EXPECT_TRUE(m_client.bExecute(sCreate)) << m_client.sError();
        return OpenAccess(sTable);
    }
    // An open data access on a table that exists, over the connection (the
    // test's own by default).
    CNADataAccess* OpenAccess(const std::string& sTable, CNAConnectionDescription* pclConnection = nullptr)
    {
        if (pclConnection == nullptr)
            pclConnection = m_pclConnection;
        CNADataSourceDescription* pclDescription = Driver()->pclAllocDataSourceDescription(pclConnection, m_pclError);
        pclDescription->AddRef();
        m_descriptions.push_back(pclDescription);
        m_pclError->Reset();
        EXPECT_EQ(1, pclDescription->bInitDataSourceDescriptionFromDB(FromUtf8(sTable).c_str(), 0))
            << m_pclError->pszGetError();
        CNADataAccess* pclAccess = Driver()->pclAllocDataAccess(pclDescription, pclConnection, m_pclError);
        REF_AddRef(pclAccess);
        m_accesses.push_back(pclAccess);
        EXPECT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
        m_pclError->Reset();
        return pclAccess;
    }
    // A data access of the driver's slot 48 over the description, on the
    // connection (the test's by default), not opened.
    CNADataAccess* Access(CNADataSourceDescription* pclDescription, CNAConnectionDescription* pclConnection = nullptr)
    {
        CNADataAccess* pclAccess = Driver()->pclAllocDataAccess(
            pclDescription, pclConnection != nullptr ? pclConnection : m_pclConnection, m_pclError);
        REF_AddRef(pclAccess);
        m_accesses.push_back(pclAccess);
        return pclAccess;
    }
    // The first column of every row of a plain SELECT, as text ("(null)"
    // for NULL).
    std::vector<std::string> FirstColumn(const std::string& sSelect)
    {
        std::vector<std::string> values;
        auto rows = m_client.Query(sSelect);
        EXPECT_TRUE(rows.has_value()) << m_client.sError();
        for (const auto& row : rows.value_or(RawRows{}))
            values.push_back(row[0].value_or("(null)"));
        return values;
    }
    // A statement of its own on the data access (the driver's slot 49),
    // held by the test.
    CNAStatement* NewStatement(CNADataAccess* pclAccess)
    {
        CNAStatement* pclStatement = Driver()->pclAllocStatement(pclAccess, nullptr, m_pclError);
        EXPECT_NE(nullptr, pclStatement);
        if (pclStatement != nullptr) {
            REF_AddRef(pclStatement);
            m_statements.push_back(pclStatement);
        }
        return pclStatement;
    }
    // A new command of the data access, held by the test.
    CNACommand* NewCommand(CNADataAccess* pclAccess)
    {
        CNACommand* pclCommand = pclAccess->pclAllocCommand(m_pclError);
        REF_AddRef(pclCommand);
        m_commands.push_back(pclCommand);
        return pclCommand;
    }
    static CNAColumn* Column(CNADataAccess* pclAccess, const wchar_t* pszName)
    {
        CNAColumn* pclColumn = pclAccess->pclGetCurrentRecordNoRef()->pclGetColumnNoRef(pszName);
        EXPECT_NE(nullptr, pclColumn) << pszName;
        return pclColumn;
    }
    static CAny Int(int n)
    {
        CAny value;
        value.SetI4(n);
        return value;
    }
    static CAny Text(const char* psz)
    {
        CAny value;
        value.__SetType(ZLTYPE_PSTRA, 0);
        value.Objet().SetValue(psz);
        value.ClearFlags();
        return value;
    }
    static std::string Utf8(const wchar_t* psz)
    {
        std::string s;
        for (; psz != nullptr && *psz != 0; ++psz)
            s += static_cast<char>(*psz);
        return s;
    }
    // The text the command sends (its values written in).
    static std::string Sent(CNACommand* pclCommand)
    {
        const char* psz = pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
        return psz != nullptr ? psz : "(failed)";
    }

    CMySQLConnection* m_pclConnection = nullptr;
    std::vector<CNADataSourceDescription*> m_descriptions;
    std::vector<CNADataAccess*> m_accesses;
    std::vector<CNAStatement*> m_statements;
    std::vector<CNACommand*> m_commands;
};

}  // namespace vxtest
