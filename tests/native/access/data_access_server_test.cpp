// The data access on the run's private server, made by the MySQL driver's
// slot 48 with its statements (slot 49) over MySQL connections and table
// descriptions: opening an existing and a missing table, creating one with
// its indexes by mode and with generated names, creating when missing,
// dropping (a missing table; a table the user may not drop), emptying and
// closing. What the server holds is read back through a raw client.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/table.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_cache_position.h"
#include "native/sql/command.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxtest::FromUtf8;
using vxtest::RawClient;

constexpr unsigned kNoSuchTable = 1146;
constexpr unsigned kTableNotFound = 15;
constexpr unsigned kUnknownTable = 1051;
constexpr unsigned kCommandDenied = 1142;

class DataAccessOnServer : public vxtest::StatementOnServer
{
protected:
    void Choose(CMySQLDriverSeams& seams) override
    {
        // The MySQL descriptions, or none at all once a test says so.
        seams.allocDataSourceDescription = [this](CMySQLDriver& driver, CNAConnectionDescription* pclConnection,
                                                  CNAError* pclError) -> CNADataSourceDescription* {
            return m_bNoDescription ? nullptr
                                    : driver.CMySQLDriver::pclAllocDataSourceDescription(pclConnection, pclError);
        };
    }
    void TearDown() override
    {
        if (!m_sUser.empty()) {
            RawClient admin = vxtest::ConnectAsAdmin();
            EXPECT_TRUE(admin.bExecute("DROP USER '" + m_sUser + "'@'localhost'")) << admin.sError();
        }
        vxtest::StatementOnServer::TearDown();
    }

    // The description of a table as the server has it after this SQL; with
    // bDropAfter the table is dropped again, so that the description names
    // a table that is missing.
    CNADataSourceDescription* Describe(const std::string& sTable, const std::string& sCreate,
                                       bool bDropAfter = false)
    {
        EXPECT_TRUE(m_client.bExecute(sCreate)) << m_client.sError();
        CNADataSourceDescription* pclDescription =
            Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        pclDescription->AddRef();
        m_descriptions.push_back(pclDescription);
        m_pclError->Reset();
        EXPECT_EQ(1, pclDescription->bInitDataSourceDescriptionFromDB(FromUtf8(sTable).c_str(), 0))
            << m_pclError->pszGetError();
        if (bDropAfter) {
            EXPECT_TRUE(m_client.bExecute("DROP TABLE " + sTable)) << m_client.sError();
        }
        m_pclError->Reset();
        return pclDescription;
    }

    bool bTableExists(const std::string& sTable)
    {
        auto value = m_client.Value("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = DATABASE() "
                                    "AND table_name = '" + sTable + "'");
        return value.has_value() && *value == "1";
    }
    std::string Count(const std::string& sTable) { return m_client.Value("SELECT COUNT(*) FROM " + sTable).value_or("?"); }
    // Each index of the table other than the primary key: its name, whether
    // unique, and its columns joined by ",".
    struct Index
    {
        std::string sName;
        bool bUnique;
        std::string sColumns;
    };
    std::vector<Index> Indexes(const std::string& sTable)
    {
        std::vector<Index> indexes;
        auto rows = m_client.Query(
            "SELECT index_name, MIN(non_unique), GROUP_CONCAT(column_name ORDER BY seq_in_index) FROM "
            "information_schema.statistics WHERE table_schema = DATABASE() AND table_name = '" + sTable +
            "' AND index_name <> 'PRIMARY' GROUP BY index_name ORDER BY MIN(column_name)");
        EXPECT_TRUE(rows.has_value()) << m_client.sError();
        for (const auto& row : rows.value_or(vxtest::RawRows{}))
            indexes.push_back({row[0].value_or(""), row[1].value_or("1") == "0", row[2].value_or("")});
        return indexes;
    }

    // A user of the scratch database that may read, write and create
    // tables and indexes, but not drop them; made by the administrator.
    CMySQLConnection* ConnectionWithoutDrop()
    {
        m_sUser = "nodrop_" + std::to_string(getpid());
        const std::string sPassword = "pw-" + m_sUser;
        RawClient admin = vxtest::ConnectAsAdmin();
        EXPECT_TRUE(admin.bExecute("CREATE USER '" + m_sUser + "'@'localhost' IDENTIFIED BY '" + sPassword + "'"))
            << admin.sError();
        EXPECT_TRUE(admin.bExecute("GRANT SELECT, INSERT, UPDATE, DELETE, CREATE, INDEX ON " + m_db.Quoted() +
                                   ".* TO '" + m_sUser + "'@'localhost'"))
            << admin.sError();
        CMySQLConnection* pclConnection =
            NewConnection(L"localhost", FromUtf8(m_sUser), FromUtf8(sPassword), FromUtf8(m_db.Name()),
                          L"Unix Socket=" + FromUtf8(vxtest::Mariadb().sSocket));
        EXPECT_EQ(1, pclConnection->bOpen(m_pclError)) << m_pclError->pszGetError();
        return pclConnection;
    }

    std::string m_sUser;
    bool m_bNoDescription = false;
};

TEST_F(DataAccessOnServer, OpensAnExistingTableOnce)
{
    CNADataAccess* pclAccess = Access(Describe("t", "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(10))"));
    ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ(1, pclAccess->bIsOpened());
    EXPECT_EQ(1, pclAccess->bIsCompatible());
    EXPECT_STREQ(L"t", pclAccess->pszGetAliasName()) << "no context name: the logical name";
    ASSERT_NE(nullptr, pclAccess->pclGetCurrentRecordNoRef());
    ASSERT_NE(nullptr, pclAccess->pclGetImportedDataSourceDescNoRef());

    // The host may hand back the very buffer it was given: a copy onto
    // itself, and its reference given back.
    CNAQFRecord* pclBuffer = nullptr;
    ASSERT_EQ(1, pclAccess->bGetRecord(&pclBuffer));
    EXPECT_EQ(1u, pclBuffer->nGetExternalRef());
    EXPECT_EQ(1, pclAccess->bSetRecord(pclBuffer));
    EXPECT_EQ(0u, pclBuffer->nGetExternalRef());
    EXPECT_EQ(pclBuffer, pclAccess->pclGetCurrentRecordNoRef()->pclGetNAQFRecord());

    // Open again: nothing is read again, even with the table gone.
    ASSERT_TRUE(m_client.bExecute("DROP TABLE t"));
    EXPECT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr));

    EXPECT_EQ(1, pclAccess->bHFerme());
    EXPECT_EQ(0, pclAccess->bIsOpened());
    EXPECT_EQ(0u, pclAccess->nGetStatementCount());
    EXPECT_NE(nullptr, pclAccess->pclGetCurrentRecordNoRef()) << "closing keeps the record";
}

TEST_F(DataAccessOnServer, AMissingTableFailsToOpen)
{
    CNADataAccess* pclAccess = Access(Describe("gone", "CREATE TABLE gone (id INT)", true));
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr));
    EXPECT_EQ(0, pclAccess->bIsOpened());
    EXPECT_EQ(0, pclAccess->bIsCompatible());
    EXPECT_EQ(NA_LEVEL_WARNING, m_pclError->eGetErrorLevel());
    // The description's read leaves the server's error; the data access
    // puts its own message in front of it.
    EXPECT_EQ(kNoSuchTable, m_pclError->dwGetDataBaseErrorCode());
    const std::wstring sError = m_pclError->pszGetError();
    EXPECT_LT(sError.find(L"<gone>"), sError.find(L"1146")) << sError;

    int bExists = -1;
    int bCompatible = -1;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bFichierExiste(&bExists, &bCompatible));
    EXPECT_EQ(0, bExists);
    EXPECT_EQ(0, bCompatible);
}

// With no error recorded before, a table that cannot be found is user
// error 15 on its logical name.
TEST_F(DataAccessOnServer, ATableNotFoundWithoutAServerErrorIsUserError15)
{
    CNADataAccess* pclAccess = Access(Describe("t", "CREATE TABLE t (id INT)"));
    m_bNoDescription = true;
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr));
    EXPECT_EQ(kTableNotFound, m_pclError->nGetUserErrorCode());
    EXPECT_EQ(0u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_STREQ(L"t", m_pclError->pszGetLogicalTableName());
    EXPECT_EQ(NA_LEVEL_WARNING, m_pclError->eGetErrorLevel());
}

TEST_F(DataAccessOnServer, CreatesWithTheIndexesOfItsMode)
{
    const std::string sCreate =
        "CREATE TABLE k (id INT NOT NULL PRIMARY KEY, u INT, d INT, a INT NOT NULL, b INT NOT NULL, v INT, "
        "UNIQUE KEY uu (u), KEY kd (d), KEY kab (a, b))";
    CNADataSourceDescription* pclDescription = Describe("k", sCreate, true);
    struct
    {
        int nMode;
        // Indexed columns with their uniqueness ("u!" unique).
        std::set<std::string> columns;
    } const aCases[] = {
        {2, {"a,b", "d"}},
        {1, {"id!", "u!"}},
        {3, {"a,b", "d", "id!", "u!"}},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.nMode);
        CNADataAccess* pclAccess = Access(pclDescription);
        if (c.nMode != 2)
            pclAccess->SetIndexMode(c.nMode);
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHCreation(nullptr, 1)) << m_pclError->pszGetError();
        EXPECT_EQ(1, pclAccess->bIsOpened());
        EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel()) << m_pclError->pszGetError();
        // The driver's indexes: generated names for single items, the key's
        // own name for a composite key; the server's own (the UNIQUE of the
        // CREATE TABLE) are left out.
        std::set<std::string> columns;
        for (const Index& index : Indexes("k")) {
            const bool bGenerated = index.sName.rfind("VXIDX", 0) == 0;
            if (bGenerated || index.sName == "kab") {
                EXPECT_EQ(bGenerated, index.sColumns.find(',') == std::string::npos) << index.sName;
                columns.insert(index.sColumns + (index.bUnique ? "!" : ""));
            }
        }
        EXPECT_EQ(c.columns, columns);
        pclAccess->bHFerme();
    }
}

TEST_F(DataAccessOnServer, GeneratedIndexNamesCountOnWithinASecond)
{
    // Retried when the second turns between the two names.
    for (int nTry = 0; nTry < 3; ++nTry) {
        const std::wstring sSeconds = std::to_wstring(static_cast<uint32_t>(time(nullptr)));
        CTString a, b;
        CNADataAccess::_GetGeneratedIndexName(&a);
        CNADataAccess::_GetGeneratedIndexName(&b);
        if (sSeconds != std::to_wstring(static_cast<uint32_t>(time(nullptr))))
            continue;
        const std::wstring sPrefix = L"VXIDX" + sSeconds;
        const std::wstring sA = a.pszGet(), sB = b.pszGet();
        ASSERT_EQ(0u, sA.rfind(sPrefix, 0)) << sA;
        ASSERT_EQ(0u, sB.rfind(sPrefix, 0)) << sB;
        EXPECT_EQ(std::stoll(sA.substr(sPrefix.size())) + 1, std::stoll(sB.substr(sPrefix.size())));
        return;
    }
    ADD_FAILURE() << "no two names within one second";
}

TEST_F(DataAccessOnServer, CreatesWhenMissingAndOpensWhenThere)
{
    CNADataSourceDescription* pclDescription = Describe("m", "CREATE TABLE m (id INT PRIMARY KEY, v INT)", true);
    CNADataAccess* pclFirst = Access(pclDescription);
    ASSERT_EQ(1, pclFirst->bHCreationSiInexistant(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    EXPECT_TRUE(bTableExists("m"));
    EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel()) << "the missing table's error is reset";
    ASSERT_TRUE(m_client.bExecute("INSERT INTO m VALUES (1, 1)"));

    // There now: opened, never dropped.
    CNADataAccess* pclSecond = Access(pclDescription);
    ASSERT_EQ(1, pclSecond->bHCreationSiInexistant(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ(1, pclSecond->bIsOpened());
    EXPECT_EQ(1, pclSecond->bIsCompatible());
    EXPECT_EQ("1", Count("m"));
}

TEST_F(DataAccessOnServer, DroppingAMissingTableSucceeds)
{
    CNADataAccess* pclAccess = Access(Describe("d", "CREATE TABLE d (id INT)", true));
    m_pclError->Reset();
    EXPECT_EQ(1, pclAccess->bSupprimeFichier());
    EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel()) << m_pclError->pszGetError();
    EXPECT_EQ(0, pclAccess->bIsOpened());

    // An existing one goes.
    ASSERT_TRUE(m_client.bExecute("CREATE TABLE d (id INT)"));
    EXPECT_EQ(1, pclAccess->bSupprimeFichier()) << m_pclError->pszGetError();
    EXPECT_FALSE(bTableExists("d"));
}

TEST_F(DataAccessOnServer, ADropRefusedToTheUserFailsAndLeavesTheTable)
{
    CNADataSourceDescription* pclKept = Describe("kept", "CREATE TABLE kept (id INT PRIMARY KEY)");
    CNADataSourceDescription* pclFresh = Describe("fresh", "CREATE TABLE fresh (id INT PRIMARY KEY, v INT)", true);
    CMySQLConnection* pclConnection = ConnectionWithoutDrop();

    CNADataAccess* pclAccess = Access(pclKept, pclConnection);
    m_pclError->Reset();
    EXPECT_EQ(0, pclAccess->bSupprimeFichier());
    EXPECT_EQ(kCommandDenied, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    EXPECT_EQ(NA_LEVEL_WARNING, m_pclError->eGetErrorLevel());
    EXPECT_TRUE(bTableExists("kept"));

    // Drop then create: the refused drop (1142 even for a missing table)
    // lets the creation run, and the creation resets the error.
    CNADataAccess* pclCreator = Access(pclFresh, pclConnection);
    m_pclError->Reset();
    EXPECT_EQ(1, pclCreator->bHCreation(nullptr, 1)) << m_pclError->pszGetError();
    EXPECT_TRUE(bTableExists("fresh"));
    EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel()) << m_pclError->pszGetError();
    EXPECT_NE(kUnknownTable, m_pclError->dwGetDataBaseErrorCode());
}

TEST_F(DataAccessOnServer, EmptiesAndClosesTheTable)
{
    CNADataAccess* pclAccess = Access(Describe("e", "CREATE TABLE e (id INT PRIMARY KEY, v INT)"));
    ASSERT_TRUE(m_client.bExecute("INSERT INTO e VALUES (1, 1), (2, 2), (3, 3)"));
    ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bSupprimeTout()) << m_pclError->pszGetError();
    EXPECT_EQ("0", Count("e"));
    EXPECT_EQ(0, pclAccess->bIsOpened());
    EXPECT_TRUE(bTableExists("e"));
}

// A write refused by the server keeps the server's error and gets the
// connection's classification: a duplicate key 3, a missing mandatory
// value 8; the statements of the data access are told of a write that went
// through only.
TEST_F(DataAccessOnServer, AFailedWriteIsClassified)
{
    CNADataAccess* pclAccess = Access(Describe("w", "CREATE TABLE w (id INT NOT NULL PRIMARY KEY, v INT)"));
    ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    CNARecord* pclRecord = pclAccess->pclGetCurrentRecordNoRef();
    CAny one;
    one.SetI4(1);
    ASSERT_EQ(1, pclRecord->pclGetColumnNoRef(L"id")->bSetValue(&one, 0));
    ASSERT_EQ(1, pclRecord->pclGetColumnNoRef(L"v")->bSetValue(&one, 0));
    CNAStatement* pclStatement = pclAccess->_pclGetQueryStatement();
    ASSERT_NE(nullptr, pclStatement);

    m_pclError->Reset();
    EXPECT_EQ(1, pclAccess->_bOperation(pclStatement, NA_QUERY_INSERT, 0, nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ("1", Count("w"));

    EXPECT_EQ(0, pclAccess->_bOperation(pclStatement, NA_QUERY_INSERT, 0, nullptr));
    EXPECT_EQ(1062u, m_pclError->dwGetDataBaseErrorCode());
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, m_pclError->eGetErrorType());
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, pclAccess->eGetNAErrorType());

    m_pclError->Reset();
    ASSERT_EQ(1, pclRecord->pclGetColumnNoRef(L"id")->bSetValueNULL());
    EXPECT_EQ(0, pclAccess->_bOperation(pclStatement, NA_QUERY_INSERT, 0, nullptr));
    EXPECT_EQ(1048u, m_pclError->dwGetDataBaseErrorCode()) << m_pclError->pszGetError();
    EXPECT_EQ(NA_ERR_MANDATORY_VALUE, m_pclError->eGetErrorType());
    EXPECT_EQ("1", Count("w"));
    REF_Release(pclStatement);
}

// One statement per browse item, keyed without regard to case: renamed
// under a new key, and the active filter carried to the next browse item
// with 0x8000 (shared, not copied).
TEST_F(DataAccessOnServer, StatementsByBrowseItem)
{
    CNADataAccess* pclAccess = Access(Describe("b", "CREATE TABLE b (id INT PRIMARY KEY, v INT, w INT)"));
    ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();
    const auto eFirst = static_cast<eNA_PARSEDIRECTION>(0);
    CNAStatement* pclV = pclAccess->_pclGetNewItemStatement(L"v", eFirst, 0);
    ASSERT_NE(nullptr, pclV);
    EXPECT_EQ(2u, pclV->m_dwRefCount) << "the caller's and the registry's";
    EXPECT_STREQ(L"v", pclV->pszGetParseItemName());

    ASSERT_EQ(1, pclAccess->_bChangeStatementKey(L"w", L"V", nullptr));
    EXPECT_EQ(nullptr, pclAccess->_pclFindStatement(L"v"));
    CNAStatement* pclFound = pclAccess->_pclFindStatement(L"W");
    EXPECT_EQ(pclV, pclFound);
    REF_Release(pclFound);
    EXPECT_STREQ(L"w", pclV->pszGetParseItemName());
    EXPECT_STREQ(L"w", pclV->pszGetSearchItemName());
    EXPECT_EQ(1u, pclAccess->nGetStatementCount());

    ASSERT_NE(nullptr, pclV->pclActivateFilter());
    CNAStatement* pclId = pclAccess->_pclGetNewItemStatement(L"id", eFirst, 0x8000);
    ASSERT_NE(nullptr, pclId);
    EXPECT_EQ(pclV->pclGetFilterNoRef(), pclId->pclGetFilterNoRef());
    EXPECT_EQ(pclId, pclAccess->pclGetLastStatementNoRef());
    CNAStatement* pclPlain = pclAccess->_pclGetNewItemStatement(L"", eFirst, 0);
    EXPECT_EQ(nullptr, pclPlain->pclGetFilterNoRef()) << "no carry without 0x8000";
    REF_Release(pclPlain);
    REF_Release(pclId);
    REF_Release(pclV);
}

// A data access that kept rows goes with statements still holding row
// states and record saves: they close and give their saves back first, the
// record-save cache goes after them (the sanitizers watch every step).
TEST_F(DataAccessOnServer, GoesAfterItsStatementsGaveTheirSavesBack)
{
    CNADataAccess* pclAccess = Access(Describe("s", "CREATE TABLE s (id INT PRIMARY KEY, v INT)"));
    ASSERT_TRUE(m_client.bExecute("INSERT INTO s VALUES (1, 10), (2, 20), (3, 30)"));
    ASSERT_EQ(1, pclAccess->bHOuvre(static_cast<eNA_ACCESS>(0), nullptr)) << m_pclError->pszGetError();

    CNAStatement* pclQuery = pclAccess->_pclGetQueryStatement();
    CNAStatement* pclBrowse = pclAccess->_pclGetNewItemStatement(L"v", static_cast<eNA_PARSEDIRECTION>(0), 0);
    ASSERT_NE(nullptr, pclQuery);
    ASSERT_NE(nullptr, pclBrowse);
    EXPECT_EQ(2u, pclAccess->nGetStatementCount());
    EXPECT_EQ(pclBrowse, pclAccess->pclGetLastStatementNoRef());
    // Found again under any case, through the one-entry cache.
    CNAStatement* pclAgain = pclAccess->_pclFindStatement(L"V");
    EXPECT_EQ(pclBrowse, pclAgain);
    REF_Release(pclAgain);

    for (CNAStatement* pclStatement : {pclQuery, pclBrowse}) {
        CNACommand* pclCommand = pclAccess->pclAllocCommand(m_pclError);
        ASSERT_NE(nullptr, pclCommand);
        pclCommand->bComplete(L"SELECT id, v FROM s", static_cast<unsigned long>(-1));
        pclCommand->SetQueryKind(NA_QUERY_SELECT);
        ASSERT_EQ(1, pclStatement->bExecuteDirectNewCommand(pclCommand, 0)) << m_pclError->pszGetError();
    }
    CNARecordCachePosition* pclSaves = pclAccess->pclGetRecordSaveCacheNoRef();
    ASSERT_NE(nullptr, pclSaves);
    // Kept rows: the last row of each statement's result among them.
    const int nFirst = pclAccess->nKeepCurrentRecordSave();
    ASSERT_GE(nFirst, 0);
    EXPECT_EQ(1, pclQuery->bKeepModifiedRecordSave(0, nFirst));
    EXPECT_EQ(1, pclQuery->bKeepModifiedRecordSave(2, nFirst));
    EXPECT_EQ(1, pclBrowse->bKeepModifiedRecordSave(2, nFirst));
    EXPECT_EQ(1, pclBrowse->bSetParseNeedUpdate(NA_PNU_REPOSITION, nFirst));
    EXPECT_EQ(1, pclQuery->bSaveDeletedRecord(1));
    EXPECT_EQ(4u, pclSaves->dwGetRecordSaveCount(nFirst));

    // Closing gives every save back.
    REF_Release(pclQuery);
    REF_Release(pclBrowse);
    pclAccess->bHFerme();
    EXPECT_EQ(0u, pclSaves->dwGetRecordSaveCount(nFirst));
    EXPECT_EQ(0u, pclAccess->nGetStatementCount());
    EXPECT_EQ(nullptr, pclAccess->pclGetLastStatementNoRef());

    // Destroyed holding statements with saves, and named as the last data
    // access found.
    CNAStatement* pclHeld = pclAccess->_pclGetQueryStatement();
    CNACommand* pclCommand = pclAccess->pclAllocCommand(m_pclError);
    pclCommand->bComplete(L"SELECT id, v FROM s", static_cast<unsigned long>(-1));
    pclCommand->SetQueryKind(NA_QUERY_SELECT);
    ASSERT_EQ(1, pclHeld->bExecuteDirectNewCommand(pclCommand, 0)) << m_pclError->pszGetError();
    const int nSave = pclAccess->nKeepCurrentRecordSave();
    EXPECT_EQ(1, pclHeld->bKeepModifiedRecordSave(1, nSave));
    EXPECT_EQ(1, pclHeld->bSetParseNeedUpdate(NA_PNU_REPOSITION, nSave));
    REF_Release(pclHeld);
    CNATable::gpclLastDataAccess = pclAccess;
    m_accesses.clear();
    EXPECT_EQ(0u, pclAccess->nRelease());
    EXPECT_EQ(nullptr, CNATable::gpclLastDataAccess);
}

}  // namespace
