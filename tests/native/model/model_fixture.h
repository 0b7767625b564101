#pragma once

// What the data model's tests stand on: runtime values through the stand-in
// virtual machine (AnyVmTest), the driver module started with the test
// driver as the process's driver, an error object and a connection, and a
// statement script for the SQL-functions object. The driver's item
// descriptions (slot 57) and data-source descriptions (slot 46, the test
// description with its scripted schema operations) are counted, and every
// test ends with none of them alive, every scripted statement released and
// every reference on the connection and the error object given back.
//
// A test changes the driver's choices by overriding Choose, which runs
// before the driver is made.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/scripted_statement_sql.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_data_source_description.h"
#include "tests/fakes/test_driver.h"

namespace vxtest {

// An item description that counts the live ones.
class CCountedItemDescription : public CNAItemDescription
{
public:
    CCountedItemDescription() { ++s_nLive; }
    ~CCountedItemDescription() override { --s_nLive; }
    static inline int s_nLive = 0;
};

// The one place a test connection is made: the test connection over the
// fixture's stand-in host description.
inline CNAConnectionDescription* NewTestConnection(INAConnectionDescription* piHost)
{
    return new CTestConnection(L"MODEL", piHost);
}

class ModelTest : public AnyVmTest
{
protected:
    void SetUp() override
    {
        AnyVmTest::SetUp();
        StartTestDriverModule();
        m_nItemsBefore = CCountedItemDescription::s_nLive;
        m_nSourcesBefore = CTestDataSourceDescription::s_nLive;
        CTestDriverChoices choices;
        choices.allocItemDescription = [] { return new CCountedItemDescription; };
        choices.allocDataSourceDescription = [](CNAConnectionDescription* pclConnection, CNAError* pclError) {
            return new CTestDataSourceDescription(pclConnection, pclError);
        };
        choices.allocStatementSQL = m_script.Factory();
        Choose(choices);
        m_registration.emplace(std::move(choices));
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
        m_pclError = new CNAError;
        m_pclError->AddRef();
        m_pclConnection = NewTestConnection(&m_hostConnection);
        REF_AddRef(m_pclConnection);
    }

    void TearDown() override
    {
        for (CNAItemDescription* pclItem : m_held)
            pclItem->nRelease();
        m_held.clear();
        EXPECT_EQ(1u, m_pclConnection->m_dwRefCount) << "connection references left";
        EXPECT_EQ(1u, m_pclError->nGetRef()) << "error object references left";
        m_pclConnection->nRelease();
        m_pclError->nRelease();
        if (m_piDriver != nullptr)
            m_piDriver->nExternalRelease();
        m_registration.reset();
        EXPECT_EQ(m_nItemsBefore, CCountedItemDescription::s_nLive) << "item descriptions alive";
        EXPECT_EQ(m_nSourcesBefore, CTestDataSourceDescription::s_nLive) << "data-source descriptions alive";
        EXPECT_EQ(0, m_script.nLive) << "execution statements alive";
        AnyVmTest::TearDown();
    }

    virtual void Choose(CTestDriverChoices&) {}

    CTestDriver* Driver() const { return static_cast<CTestDriver*>(static_cast<CNADriver*>(m_piDriver)); }

    // A new description from the driver, held with one internal reference
    // that the test drops with nRelease.
    CNADataSourceDescription* NewDescription(const wchar_t* pszName = L"CUSTOMER")
    {
        CNADataSourceDescription* pclSource = Driver()->pclAllocDataSourceDescription(m_pclConnection, m_pclError);
        pclSource->AddRef();
        pclSource->SetLogicalName(pszName);
        pclSource->SetDBName(pszName);
        return pclSource;
    }

    // A new item description from the driver, held with one internal
    // reference until the end of the test.
    CNAItemDescription* NewItem(const wchar_t* pszName, eNA_ITEMTYPE eType, unsigned nSize, int nIntegerDigits = 0,
                                int nDecimalDigits = 0, unsigned nDimension = 1)
    {
        CNAItemDescription* pclItem = Driver()->pclAllocItemDescription();
        pclItem->bInit(pszName, L"", pszName, nDimension, nSize, eType, static_cast<unsigned>(-1), -1, 0,
                       nIntegerDigits, nDecimalDigits);
        Hold(pclItem);
        return pclItem;
    }
    void Hold(CNAItemDescription* pclItem)
    {
        pclItem->AddRef();
        m_held.push_back(pclItem);
    }

    // Whether the error object's main error is that user error raised at
    // that site ("<source>.<site>").
    ::testing::AssertionResult ErrorAt(unsigned nUserCode, const wchar_t* pszSite) const
    {
        if (m_pclError->dwGetErrorId() != nUserCode)
            return ::testing::AssertionFailure() << "user error " << m_pclError->dwGetErrorId();
        const std::wstring dump = m_pclError->StringDump().pszGet();
        if (dump.find(std::wstring(L"IEZODIRA=") + pszSite + L"\r\n") == std::wstring::npos)
            return ::testing::AssertionFailure() << "no site line " << std::string(dump.begin(), dump.end());
        return ::testing::AssertionSuccess();
    }
    std::wstring ErrorText() const { return m_pclError->StringDump().pszGet(); }

    std::vector<CNAItemDescription*> m_held;
    CStatementScript m_script;
    std::optional<CTestDriverRegistration> m_registration;
    INADriver* m_piDriver = nullptr;
    CNAError* m_pclError = nullptr;
    StandinConnectionDescription m_hostConnection;
    CNAConnectionDescription* m_pclConnection = nullptr;
    int m_nItemsBefore = 0;
    int m_nSourcesBefore = 0;
};

}  // namespace vxtest
