#pragma once

// A MySQL connection over a fake client library, for the tests of what the
// connection asks of the library and how it reads the answers: the fake
// is opened first so that its answers can be set before the connection
// loads it.
#include <memory>
#include <string>

#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/mysql/client_test_support.h"
#include "tests/mysql/fake_client/fake_client.h"

namespace vxtest {

class FakeClientConnectionTest : public ClientLibraryTest
{
protected:
    void TearDown() override
    {
        m_connection.reset();
        ClientLibraryTest::TearDown();
    }

    // The fake of that variant. The connection and the library loaded
    // before go first, so that the variant starts from its defaults.
    stFakeClientState& Fake(const std::string& sVariant = "infov")
    {
        m_connection.reset();
        CNAFunctionLoader::g_Term();
        m_fake.reset();
        m_fake = std::make_unique<CFakeClient>(CFakeClient::Path(sVariant));
        EXPECT_TRUE(m_fake->bOk());
        return m_fake->State();
    }
    stFakeClientState& State() { return m_fake->State(); }

    // A connection to "fakehost" as the user with password "pw" through the
    // fake (the default variant when none is open), with further extended
    // keys.
    CMySQLConnection& Connection(const std::wstring& sKeys = {}, const wchar_t* pszUser = L"user")
    {
        if (!m_fake)
            Fake();
        m_host.SetDataBase(L"fakehost");
        m_host.SetUserName(pszUser);
        m_host.SetPassword(L"pw");
        m_sExtended = L"VX CLIENT LIBRARY=" + Wide(m_fake->sPath()) + L";" + sKeys;
        m_host.SetExtendedInfo(m_sExtended.c_str());
        m_connection = std::make_unique<CMySQLConnection>(L"id", &m_host);
        return *m_connection;
    }

    StandinConnectionDescription m_host;
    std::wstring m_sExtended;
    std::unique_ptr<CFakeClient> m_fake;
    std::unique_ptr<CMySQLConnection> m_connection;
};

}  // namespace vxtest
