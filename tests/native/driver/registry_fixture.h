#pragma once

// What the registry and context tests stand on: the driver module started,
// the test driver registered and opened the host's way (StandinDriverCaller
// over the linked entry points), with test connections (slot 59), test
// tables (slot 60) and test data accesses (slot 48). Host descriptions,
// contexts and data sources are the stand-ins of tests/host/db, kept for the
// whole test.
//
// Every test ends with the driver released and then checks that no test
// connection, table or data access is left alive and that the driver gave
// back every reference it took on the host's objects. A test changes the
// driver's choices by overriding Choose, which runs before the driver is
// made.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/context.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_data_access.h"
#include "tests/fakes/test_driver.h"
#include "tests/fakes/test_table.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_context.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/driver/linked_entry_points.h"

namespace vxtest {

// Base is ::testing::Test, or a fixture of runtime values for tests whose
// descriptions hold values.
template <class Base = ::testing::Test>
class RegistryTestOn : public Base
{
protected:
    // INADriver slots the tests call by position.
    static constexpr long kSlotOpenConnection = 8;
    static constexpr long kSlotCloseConnection = 9;
    static constexpr long kSlotCopyContext = 10;
    static constexpr long kSlotHMode = 12;
    static constexpr long kSlotGetTable = 13;
    static constexpr long kSlotCloseContext = 17;
    // INATable's external release.
    static constexpr long kSlotTableExternalRelease = 6;

    void SetUp() override
    {
        Base::SetUp();
        StartTestDriverModule();
        m_nConnectionsBefore = CTestConnection::s_nLive;
        m_nTablesBefore = CTestTable::s_nLive;
        m_nDataAccessesBefore = CTestDataAccess::s_nLive;
        CTestDriverChoices choices;
        choices.allocConnectionDescription = TestConnectionFactory();
        choices.allocTable = TestTableFactory();
        choices.allocDataAccess = TestDataAccessFactory();
        Choose(choices);
        m_registration.emplace(std::move(choices));
        m_piDriver = m_caller.piOpenDriver();
        ASSERT_NE(nullptr, m_piDriver);
    }

    void TearDown() override
    {
        ReleaseDriver();
        m_registration.reset();
        EXPECT_EQ(m_nConnectionsBefore, CTestConnection::s_nLive) << "connections alive";
        EXPECT_EQ(m_nTablesBefore, CTestTable::s_nLive) << "tables alive";
        EXPECT_EQ(m_nDataAccessesBefore, CTestDataAccess::s_nLive) << "data accesses alive";
        for (const StandinConnectionDescription& host : m_hosts)
            EXPECT_EQ(0, host.Refs().nBalance()) << "host description references";
        for (const StandinDataSourceDescription& source : m_sources)
            EXPECT_TRUE(source.bBalanced()) << "data source references";
        Base::TearDown();
    }

    virtual void Choose(CTestDriverChoices&) {}

    void ReleaseDriver()
    {
        while (m_piDriver != nullptr && m_caller.nReleaseDriver() != 0) {
        }
        m_piDriver = nullptr;
    }

    CTestDriver* Driver() const { return static_cast<CTestDriver*>(static_cast<CNADriver*>(m_piDriver)); }
    CNAError* DriverError() const { return Driver()->pclGetError(); }

    // A host description of a connection, kept for the whole test.
    StandinConnectionDescription& Host(const wchar_t* pszName = L"CNX", const wchar_t* pszUser = L"user",
                                       const wchar_t* pszPassword = L"secret")
    {
        StandinConnectionDescription& host = m_hosts.emplace_back();
        host.SetConnectionName(pszName);
        host.SetProvider(L"MySQL");
        host.SetDataBase(L"localhost");
        host.SetUserName(pszUser);
        host.SetPassword(pszPassword);
        return host;
    }
    // A host description of a table, kept for the whole test.
    StandinDataSourceDescription& Source(const wchar_t* pszName)
    {
        return m_sources.emplace_back(std::initializer_list<StandinItemRow>{}, pszName);
    }

    // The registered connection of the host description, without a
    // reference; null when none.
    CTestConnection* Registered(INAConnectionDescription* piHost)
    {
        CNAConnectionDescription* pclConnection = Driver()->_pclFindConnection(piHost);
        if (pclConnection == nullptr)
            return nullptr;
        // The registry's reference stays: a plain release closes nothing.
        pclConnection->nRelease();
        return static_cast<CTestConnection*>(pclConnection);
    }
    // The registered table of that key, without a reference; null when none.
    CTestTable* RegisteredTable(const wchar_t* pszKey)
    {
        CNATable* pclTable = Driver()->_pclFindTable(pszKey);
        if (pclTable == nullptr)
            return nullptr;
        pclTable->nRelease();
        return static_cast<CTestTable*>(pclTable);
    }

    // Slots by position, as the host calls them.
    int nOpen(INAConnectionDescription* piHost) { return m_caller.Call<int>(kSlotOpenConnection, piHost); }
    int nClose(INAConnectionDescription* piHost) { return m_caller.Call<int>(kSlotCloseConnection, piHost); }
    INATable* piTable(INAConnectionDescription* piHost, INADataSourceDescription* piSource)
    {
        return m_caller.Call<INATable*>(kSlotGetTable, piHost, piSource);
    }
    static int nReleaseTable(INATable* piTable)
    {
        return vxstandin::CallSlot<int>(piTable, kSlotTableExternalRelease);
    }

    StandinDriverCaller m_caller{LinkedDriverEntryPoints()};
    std::optional<CTestDriverRegistration> m_registration;
    INADriver* m_piDriver = nullptr;
    std::deque<StandinConnectionDescription> m_hosts;
    std::deque<StandinDataSourceDescription> m_sources;
    int m_nConnectionsBefore = 0;
    int m_nTablesBefore = 0;
    int m_nDataAccessesBefore = 0;
};

using RegistryTest = RegistryTestOn<>;

}  // namespace vxtest
