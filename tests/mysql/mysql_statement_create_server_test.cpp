// CREATE TABLE by the MySQL statement on the run's private server: tables
// described by hand (an automatic identifier of either size, a primary item
// that is not automatic, unique and plain items, every item type the
// connection's type map writes) are created through the data access, the
// server accepts each, and the description read back from the server holds
// the items expected. The engine clause for servers before 5 (text only).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mysql/mysql_connection.h"
#include "native/access/data_access.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "native/model/item_type.h"
#include "native/sql/command.h"
#include "tests/mysql/mysql_statement_on_server.h"

namespace {

constexpr unsigned short kPrimary = 0x8000;
constexpr unsigned short kUnique = 0x4000;
constexpr unsigned short kDuplicates = 0x2000;

struct ItemCase
{
    const wchar_t* pszName;
    eNA_ITEMTYPE eType;
    unsigned nSize;
    unsigned short wKey;
    // As the server's description reads it back.
    eNA_ITEMTYPE eReadType;
    unsigned short wReadKey;
};

class MySQLStatementCreate : public vxtest::MySQLStatementFixture
{
protected:
    // A description of the table made by hand from the items.
    CNADataSourceDescription* ByHand(const wchar_t* pszTable, const std::vector<ItemCase>& items)
    {
        CNADataSourceDescription* pclDescription = NewDescription();
        pclDescription->SetLogicalName(pszTable);
        pclDescription->SetDBName(pszTable);
        for (const ItemCase& item : items) {
            EXPECT_EQ(1, pclDescription->bAddItem(item.pszName, pszTable, item.pszName, 1, item.nSize, item.eType,
                                                  static_cast<unsigned>(-1), -1, 0, 0, 0));
            if (item.wKey != 0)
                EXPECT_EQ(1, pclDescription->_bSetKeyType(item.pszName, item.wKey));
        }
        pclDescription->UpdateRecordSize();
        return pclDescription;
    }
    void CreateAndReadBack(const wchar_t* pszTable, const std::vector<ItemCase>& items)
    {
        const std::string sTable = Utf8(pszTable);
        CNADataAccess* pclAccess = Access(ByHand(pszTable, items));
        m_pclError->Reset();
        ASSERT_EQ(1, pclAccess->bHCreation(nullptr, 1)) << m_pclError->pszGetError();
        EXPECT_EQ("InnoDB", m_client.Value("SELECT engine FROM information_schema.tables WHERE table_schema = "
                                           "DATABASE() AND table_name = '" + sTable + "'")
                                .value_or("(missing)"));
        CNADataSourceDescription* pclRead = Described(sTable);
        ASSERT_EQ(items.size(), pclRead->nGetNumItems());
        for (unsigned n = 0; n < items.size(); ++n) {
            const ItemCase& item = items[n];
            SCOPED_TRACE(Utf8(item.pszName));
            CNAItemDescription* pclItem = pclRead->pclGetItemNoRef(n);
            EXPECT_STREQ(item.pszName, pclItem->pszGetName());
            EXPECT_EQ(item.eReadType, pclItem->eNAGetItemType());
            EXPECT_EQ(item.wReadKey, pclItem->wGetKeyFlags()) << std::hex << pclItem->wGetKeyFlags();
        }
    }
};

TEST_F(MySQLStatementCreate, KeysOfEveryKind)
{
    const struct
    {
        const wchar_t* pszTable;
        std::vector<ItemCase> items;
    } cases[] = {
        {L"auto8",
         {{L"id", NA_IT_IDAUTO, 8, kPrimary, NA_IT_IDAUTO, 0xC800}, {L"v", NA_IT_I4, 4, 0, NA_IT_I4, 0}}},
        {L"auto4",
         {{L"v", NA_IT_I4, 4, 0, NA_IT_I4, 0}, {L"id", NA_IT_IDAUTO4, 4, kPrimary, NA_IT_IDAUTO4, 0xC800}}},
        {L"primary",
         {{L"k", NA_IT_I4, 4, kPrimary, NA_IT_I4, 0xC800},
          {L"u", NA_IT_I4, 4, kUnique, NA_IT_I4, 0x4800},
          {L"d", NA_IT_I4, 4, kDuplicates, NA_IT_I4, 0x2800},
          {L"p", NA_IT_I4, 4, 0, NA_IT_I4, 0}}},
    };
    // The server reports the PRIMARY index on an automatic identifier too.
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.pszTable));
        CreateAndReadBack(c.pszTable, c.items);
    }
}

TEST_F(MySQLStatementCreate, EveryItemTypeOfTheTypeMap)
{
    // Read back as the server's column type maps: texts in the connection's
    // character set are Unicode, the generic forms come back as the MySQL
    // type they were written as (DATE, DOUBLE, LONGBLOB, BIGINT, TINYINT,
    // CHARACTER(n), NUMERIC(n,0) without digits given).
    const std::vector<ItemCase> items = {
        {L"t_texte", NA_IT_TEXTE, 20, 0, NA_IT_UNICODE, 0},
        {L"t_i2", NA_IT_I2, 2, 0, NA_IT_I2, 0},
        {L"t_i1", NA_IT_I1, 1, 0, NA_IT_I1, 0},
        {L"t_i4", NA_IT_I4, 4, 0, NA_IT_I4, 0},
        {L"t_r4", NA_IT_R4, 4, 0, NA_IT_R4, 0},
        {L"t_r8", NA_IT_R8, 8, 0, NA_IT_R8, 0},
        {L"t_ui2", NA_IT_UI2, 2, 0, NA_IT_UI2, 0},
        {L"t_date6", NA_IT_DATE6, 6, 0, NA_IT_DATE8, 0},
        {L"t_heure", NA_IT_HEURE, 4, 0, NA_IT_HEURE, 0},
        {L"t_ui1", NA_IT_UI1, 1, 0, NA_IT_UI1, 0},
        {L"t_reelturbo", NA_IT_REELTURBO, 8, 0, NA_IT_R8, 0},
        {L"t_date8", NA_IT_DATE8, 8, 0, NA_IT_DATE8, 0},
        {L"t_memotexte", NA_IT_MEMOTEXTE, 0, 0, NA_IT_MEMOUNICODE, 0},
        {L"t_memobinaire4", NA_IT_MEMOBINAIRE4, 0, 0, NA_IT_MEMOBINAIRE, 0},
        {L"t_monetaire", NA_IT_MONETAIRE, 8, 0, NA_IT_DECIMAL, 0},
        {L"t_memobinaire", NA_IT_MEMOBINAIRE, 0, 0, NA_IT_MEMOBINAIRE, 0},
        {L"t_i8", NA_IT_I8, 8, 0, NA_IT_I8, 0},
        {L"t_ui8", NA_IT_UI8, 8, 0, NA_IT_UI8, 0},
        {L"t_image", NA_IT_IMAGE, 0, 0, NA_IT_UNICODE, 0},
        {L"t_ui4", NA_IT_UI4, 4, 0, NA_IT_UI4, 0},
        {L"t_binaire", NA_IT_BINAIRE, 16, 0, NA_IT_BINAIRE, 0},
        {L"t_datetime", NA_IT_DATETIME, 8, 0, NA_IT_DATETIME, 0},
        {L"t_timelenght", NA_IT_TIMELENGHT, 8, 0, NA_IT_I8, 0},
        {L"t_char", NA_IT_CHAR, 1, 0, NA_IT_UNICODE, 0},
        {L"t_booleen", NA_IT_BOOLEEN, 1, 0, NA_IT_I1, 0},
        {L"t_unicode", NA_IT_UNICODE, 20, 0, NA_IT_UNICODE, 0},
        {L"t_memounicode", NA_IT_MEMOUNICODE, 0, 0, NA_IT_MEMOUNICODE, 0},
        {L"t_decimal", NA_IT_DECIMAL, 16, 0, NA_IT_R8, 0},
    };
    CreateAndReadBack(L"types", items);
}

// Servers before 5 know the engine as the table's type; the text alone is
// checked (current servers refuse it).
TEST_F(MySQLStatementCreate, TheEngineClauseByServerVersion)
{
    const std::vector<ItemCase> items = {{L"id", NA_IT_IDAUTO, 8, kPrimary, NA_IT_IDAUTO, 0}};
    const struct
    {
        const wchar_t* pszVersion;
        const char* pszText;
    } cases[] = {
        {L"4.1.22", "CREATE TABLE `eng`( `id` BIGINT  NOT NULL AUTO_INCREMENT, PRIMARY KEY (`id`) ) Type=InnoDB"},
        {L"5.0.96", "CREATE TABLE `eng`( `id` BIGINT  NOT NULL AUTO_INCREMENT, PRIMARY KEY (`id`) ) ENGINE=InnoDB"},
    };
    auto* pclConnection = static_cast<vxtest::CInspectedConnection*>(m_pclConnection);
    const std::wstring sVersion = pclConnection->csGetServerVersion().pszGet();
    CNADataAccess* pclAccess = Access(ByHand(L"eng", items));
    ASSERT_EQ(1, pclAccess->_bInitCurrentRecord());
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.pszVersion));
        pclConnection->SetServerVersion(c.pszVersion);
        CNAStatement* pclStatement = NewMySQLStatement(pclAccess);
        CNACommand* pclCommand = NewCommand(pclAccess);
        ASSERT_EQ(1, pclStatement->bBuildQuery(NA_QUERY_CREATE, pclCommand, 0)) << m_pclError->pszGetError();
        EXPECT_EQ(c.pszText, Sent(pclCommand));
    }
    pclConnection->SetServerVersion(sVersion.c_str());
}

}  // namespace
