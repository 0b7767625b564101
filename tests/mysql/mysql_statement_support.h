#pragma once

// What the tests of the MySQL execution statement and table description
// stand on: runtime values on the stand-in machine, the MySQL driver made
// by piQueryInterface (its SQL-functions object makes MySQL execution
// statements, its description factory MySQL table descriptions, its
// connection factory MySQL connections), an error object, MySQL connections
// the test opens (over a fake client library, or to a server) and
// statements made on them. Everything the test made is released at its end,
// and every reference on the connections and the error object must then be
// given back.
//
// A test fills the driver's seams (mysql_driver_with_seams.h) by overriding
// Choose, which runs before the driver is made.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text/any.h"
#include "common/text/date_time_base.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_data_source_description.h"
#include "mysql/mysql_statement_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/wide_text_value.h"
#include "native/model/convert_variant.h"
#include "native/model/item_type.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/mysql/mysql_connection_support.h"
#include "tests/mysql/mysql_driver_with_seams.h"

namespace vxtest {

// The text of a value read as wide text; "(null)" for NULL, "(failed)" when
// nothing could be read.
inline std::wstring TextOf(CAny& value)
{
    if (value.bIsNull())
        return L"(null)";
    const wchar_t* psz = NA_pszWideTextOf(&value);
    return psz != nullptr ? psz : L"(failed)";
}

class MySQLStatementTest : public AnyVmTest
{
protected:
    void SetUp() override
    {
        AnyVmTest::SetUp();
        StartTestDriverModule();
        CMySQLDriverSeams seams;
        Choose(seams);
        m_registration.emplace(std::move(seams));
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        m_pclError = new CNAError;
        m_pclError->AddRef();
    }

    void TearDown() override
    {
        for (CNAConvertVariant* pclVariant : m_variants)
            pclVariant->nRelease();
        m_variants.clear();
        m_slots.clear();
        for (CNAItemDescription* pclItem : m_items)
            pclItem->nRelease();
        m_items.clear();
        for (CNAStatementSQL* pclStatement : m_statements)
            pclStatement->nRelease();
        m_statements.clear();
        for (auto& held : m_connections) {
            EXPECT_EQ(1u, held.pclConnection->m_dwRefCount) << "connection references left";
            held.pclConnection->nRelease();
            EXPECT_EQ(0, held.host->Refs().nBalance());
        }
        m_connections.clear();
        EXPECT_EQ(1u, m_pclError->nGetRef()) << "error object references left";
        m_pclError->nRelease();
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        m_registration.reset();
        AnyVmTest::TearDown();
    }

    virtual void Choose(CMySQLDriverSeams&) {}

    CMySQLDriver* Driver() const { return static_cast<CMySQLDriver*>(static_cast<CNADriver*>(m_piDriver)); }

    // A MySQL connection to the server (host name) with the account, default
    // database and extended keys given, held by the test; not opened.
    CMySQLConnection* NewConnection(const std::wstring& sServer, const std::wstring& sUser,
                                    const std::wstring& sPassword, const std::wstring& sDatabase,
                                    const std::wstring& sExtended)
    {
        Held& held = m_connections.emplace_back();
        held.host = std::make_unique<StandinConnectionDescription>();
        held.sServer = sServer;
        held.sUser = sUser;
        held.sPassword = sPassword;
        held.sDatabase = sDatabase;
        held.sExtended = sExtended;
        held.host->SetDataBase(held.sServer.c_str());
        held.host->SetUserName(held.sUser.c_str());
        held.host->SetPassword(held.sPassword.c_str());
        held.host->SetDefaultDataBase(held.sDatabase.c_str());
        held.host->SetExtendedInfo(held.sExtended.c_str());
        held.pclConnection = new CInspectedConnection(L"statement test", held.host.get());
        ++held.pclConnection->m_dwRefCount;
        return held.pclConnection;
    }

    // A new execution statement on the connection, held until the end of
    // the test.
    CMySQLStatementSQL* NewStatement(CMySQLConnection* pclConnection)
    {
        auto* pclStatement = new CMySQLStatementSQL(pclConnection, m_pclError);
        REF_AddRef(pclStatement);
        m_statements.push_back(pclStatement);
        return pclStatement;
    }

    // The statement's rows from its current position to the end, each
    // column as text.
    std::vector<std::vector<std::wstring>> ReadAll(CNAStatementSQL* pclStatement)
    {
        std::vector<std::vector<std::wstring>> rows;
        int nColumns = 0;
        pclStatement->bGetColumnNbr(&nColumns, 0);
        while (pclStatement->bFetch(0) && pclStatement->bHasCurrentRow()) {
            auto& row = rows.emplace_back();
            for (int i = 0; i < nColumns; ++i)
                row.push_back(Value(pclStatement, static_cast<unsigned>(i)));
        }
        return rows;
    }

    // The one value of column n of the statement's current row, as text.
    std::wstring Value(CNAStatementSQL* pclStatement, unsigned nColumn)
    {
        CAny value;
        if (!pclStatement->bGetValue(&value, nColumn, 0))
            return L"(failed)";
        return TextOf(value);
    }

    // An item of table T from the driver, held until the end of the test.
    CNAItemDescription* Item(eNA_ITEMTYPE eType, unsigned nSize, int nIntegerDigits = 0, int nDecimalDigits = 0)
    {
        CNAItemDescription* pclItem = Driver()->pclAllocItemDescription();
        pclItem->AddRef();
        pclItem->bInit(L"ITEM", L"T", L"ITEM", 1, nSize, eType, static_cast<unsigned>(-1), -1, 0, nIntegerDigits,
                       nDecimalDigits);
        m_items.push_back(pclItem);
        return pclItem;
    }
    // A conversion value from the driver, held until the end of the test.
    CNAConvertVariant* NewVariant(CNAConnectionDescription* pclConnection)
    {
        CNAConvertVariant* pclVariant = Driver()->pclAllocVariant(m_pclError, pclConnection);
        REF_AddRef(pclVariant);
        m_variants.push_back(pclVariant);
        return pclVariant;
    }
    // A value bound to a record slot of nSize bytes of an item of the type,
    // as a record read stores it.
    CNAConvertVariant* SlotVariant(CNAConnectionDescription* pclConnection, eNA_ITEMTYPE eType, unsigned nSize,
                                   int nIntegerDigits = 0, int nDecimalDigits = 0)
    {
        CNAItemDescription* pclItem = Item(eType, nSize, nIntegerDigits, nDecimalDigits);
        CNAConvertVariant* pclVariant = NewVariant(pclConnection);
        std::vector<unsigned char>& slot = m_slots[pclVariant];
        slot.assign(nSize, 0xEE);
        EXPECT_EQ(1, pclVariant->bInitTypeVariant(NA_VT_RECORD, slot.data(), nSize, ConverteItemToZLType(eType)));
        pclVariant->SetItemDesc(pclItem, pclItem);
        return pclVariant;
    }
    // A value held as a runtime value of the analysis item's type, reading
    // for that item from a database item of another type.
    CNAConvertVariant* ItemVariant(CNAConnectionDescription* pclConnection, eNA_ITEMTYPE eAnalyse,
                                   eNA_ITEMTYPE eDatabase)
    {
        CNAConvertVariant* pclVariant = NewVariant(pclConnection);
        pclVariant->InitTypeVariantAny(ConverteItemToZLType(eAnalyse), 0);
        pclVariant->SetItemDesc(Item(eAnalyse, 8), Item(eDatabase, 8));
        return pclVariant;
    }
    // A slot value as the test reads it: DATE8, HEURE and TEXTE their
    // characters, a date-time its 17 digits, other items their value as
    // text; "(null)" for NULL.
    std::string SlotForm(CNAConvertVariant* pclVariant)
    {
        const std::vector<unsigned char>& slot = m_slots.at(pclVariant);
        if (pclVariant->pclGetValue()->bIsNull())
            return "(null)";
        const eNA_ITEMTYPE eType = pclVariant->eNAGetItemTypeAnalyse();
        if (eType == NA_IT_DATETIME) {
            CDateTimeBase dt;
            std::memcpy(&dt, slot.data(), sizeof dt);
            char sz[18];
            dt.VersChaine(sz, 17);
            return sz;
        }
        if (eType == NA_IT_DATE8 || eType == NA_IT_HEURE || eType == NA_IT_TEXTE) {
            const char* psz = reinterpret_cast<const char*>(slot.data());
            return std::string(psz, strnlen(psz, slot.size()));
        }
        CAny value;
        pclVariant->bGetValue(&value);
        const std::wstring s = TextOf(value);
        return std::string(s.begin(), s.end());
    }

    struct Held
    {
        std::unique_ptr<StandinConnectionDescription> host;
        std::wstring sServer, sUser, sPassword, sDatabase, sExtended;
        CInspectedConnection* pclConnection = nullptr;
    };

    std::optional<CMySQLDriverRegistration> m_registration;
    INADriver* m_piDriver = nullptr;
    CNAError* m_pclError = nullptr;
    std::vector<Held> m_connections;
    std::vector<CNAStatementSQL*> m_statements;
    std::vector<CNAItemDescription*> m_items;
    std::vector<CNAConvertVariant*> m_variants;
    std::map<const CNAConvertVariant*, std::vector<unsigned char>> m_slots;
};

}  // namespace vxtest
