// Random sequences of the host's opens and closes of connections (also by
// connection number and failing), tables got and released, and transactions
// begun and ended, against a small model of who holds each connection: the
// registry, one open state per open not yet closed, and the tables on it.
// After every step each connection object must be alive exactly while the
// model says someone holds it, with the count of its holders, must be the
// registered one of its description exactly when the model says, and must
// have been closed exactly when its last holder went while it was open; at
// the end, whether the tables or the driver go first, nothing is left.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "tests/native/driver/registry_fixture.h"

namespace {

constexpr int kHosts = 3;
constexpr int kSources = 2;
constexpr int kSeeds = 24;
constexpr int kSteps = 400;

// What became of one connection object, readable after it is gone.
struct stConnectionRecord
{
    CTestConnection* pclObject = nullptr;
    int nHost = -1;
    bool bDestroyed = false;
    int nCloses = 0;
};

class CLoggedConnection : public CTestConnection
{
public:
    CLoggedConnection(const wchar_t* pszIdentification, INAConnectionDescription* piHost,
                      stConnectionRecord* pRecord, const bool* pbOpensFail)
        : CTestConnection(pszIdentification, piHost), m_pRecord(pRecord), m_pbOpensFail(pbOpensFail)
    {
        m_pRecord->pclObject = this;
    }
    ~CLoggedConnection() override { m_pRecord->bDestroyed = true; }

    int bOpen(CNAError* pclError) override
    {
        SetOpenFails(*m_pbOpensFail);
        return CTestConnection::bOpen(pclError);
    }
    int bClose(CNAError* pclError) override
    {
        ++m_pRecord->nCloses;
        return CTestConnection::bClose(pclError);
    }

private:
    stConnectionRecord* m_pRecord;
    const bool* m_pbOpensFail;
};

// Who holds each connection, as the host's calls must leave it.
class CModel
{
public:
    struct stConnection
    {
        int nHost;
        bool bRegistered = true;
        int nOpens = 0;
        int nTables = 0;
        bool bDatabaseOpen = false;
        bool bTransaction = false;
        bool bAlive = true;
        int nCloses = 0;
    };
    struct stTable
    {
        int nConnection;
        int nExternal;
    };

    CModel() { m_anRegistered.fill(-1); }

    // The registered connection of the host, made when there is none.
    int nGet(int nHost)
    {
        if (m_anRegistered[nHost] < 0) {
            m_connections.push_back(stConnection{nHost});
            m_anRegistered[nHost] = static_cast<int>(m_connections.size()) - 1;
        }
        return m_anRegistered[nHost];
    }
    // A release that may leave the registry as the only holder: then,
    // unless a transaction is active, the connection closes and goes.
    void LastUserGone(int n)
    {
        stConnection& c = m_connections[n];
        if (!c.bRegistered || c.nOpens != 0 || c.nTables != 0 || c.bTransaction)
            return;
        if (c.bDatabaseOpen) {
            ++c.nCloses;
            c.bDatabaseOpen = false;
        }
        Unregister(n);
    }
    void Unregister(int n)
    {
        stConnection& c = m_connections[n];
        c.bRegistered = false;
        m_anRegistered[c.nHost] = -1;
        c.nOpens = 0;
        c.bAlive = c.nTables > 0;
    }

    void Open(int nHost, bool bFails)
    {
        const int n = nGet(nHost);
        if (bFails) {
            Unregister(n);
            return;
        }
        ++m_connections[n].nOpens;
        m_connections[n].bDatabaseOpen = true;
    }
    void Close(int n)
    {
        LastUserGone(n);
        if (m_connections[n].bRegistered && m_connections[n].nOpens > 0) {
            --m_connections[n].nOpens;
            LastUserGone(n);
        }
    }
    void GetTable(int nHost, int nSource)
    {
        const int n = nGet(nHost);
        auto it = m_tables.find({nHost, nSource});
        if (it != m_tables.end())
            ++it->second.nExternal;
        else {
            m_tables[{nHost, nSource}] = stTable{n, 1};
            ++m_connections[n].nTables;
        }
        LastUserGone(n);
    }
    void ReleaseTable(std::pair<int, int> key)
    {
        stTable& t = m_tables.at(key);
        if (--t.nExternal > 0)
            return;
        const int n = t.nConnection;
        m_tables.erase(key);
        --m_connections[n].nTables;
        if (m_connections[n].bRegistered)
            LastUserGone(n);
        else
            m_connections[n].bAlive = m_connections[n].nTables > 0;
    }
    // The driver ends: its registry and the open states let go, nothing is
    // closed; the tables the host holds keep their connections.
    void DriverEnd()
    {
        for (size_t n = 0; n < m_connections.size(); ++n)
            if (m_connections[n].bRegistered)
                Unregister(static_cast<int>(n));
        m_bDriverGone = true;
    }
    // The count of the connection's holders.
    unsigned nHolders(int n) const
    {
        const stConnection& c = m_connections[n];
        return (c.bRegistered ? 1u : 0u) + static_cast<unsigned>(c.nOpens + c.nTables);
    }

    std::vector<stConnection> m_connections;
    std::map<std::pair<int, int>, stTable> m_tables;
    std::array<int, kHosts> m_anRegistered;
    bool m_bDriverGone = false;
};

class RegistryProperty : public vxtest::RegistryTest
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        choices.allocConnectionDescription = [this](const wchar_t* pszId, INAConnectionDescription* piHost) {
            stConnectionRecord& record = m_records.emplace_back();
            for (int h = 0; h < kHosts; ++h)
                if (piHost == m_apHosts[h])
                    record.nHost = h;
            return new CLoggedConnection(pszId, piHost, &record, &m_bOpensFail);
        };
    }

    void SetUp() override
    {
        // The descriptions first: the driver's factory reads them.
        const wchar_t* names[kHosts] = {L"ONE", L"TWO", L"THREE"};
        for (int h = 0; h < kHosts; ++h)
            m_apHosts[h] = &Host(names[h]);
        const wchar_t* sources[kSources] = {L"CUSTOMER", L"ORDERS"};
        for (int s = 0; s < kSources; ++s)
            m_apSources[s] = &Source(sources[s]);
        vxtest::RegistryTest::SetUp();
    }

    // Every connection object against the model.
    void Check(const CModel& model)
    {
        ASSERT_EQ(model.m_connections.size(), m_records.size()) << "connections made";
        for (size_t n = 0; n < m_records.size(); ++n) {
            const CModel::stConnection& c = model.m_connections[n];
            const stConnectionRecord& r = m_records[n];
            ASSERT_EQ(c.nHost, r.nHost);
            ASSERT_EQ(!c.bAlive, r.bDestroyed) << "connection " << n;
            ASSERT_EQ(c.nCloses, r.nCloses) << "closes of connection " << n;
            if (c.bAlive) {
                ASSERT_EQ(model.nHolders(static_cast<int>(n)), r.pclObject->m_dwRefCount) << "connection " << n;
            }
        }
        if (!model.m_bDriverGone) {
            for (int h = 0; h < kHosts; ++h) {
                const int n = model.m_anRegistered[h];
                ASSERT_EQ(n < 0 ? nullptr : m_records[n].pclObject, Registered(m_apHosts[h])) << "host " << h;
            }
        }
        ASSERT_EQ(static_cast<int>(model.m_tables.size()), CTestTable::s_nLive - m_nTablesBefore);
    }

    void Run(unsigned nSeed)
    {
        std::mt19937 random(nSeed);
        const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        CModel model;
        std::map<std::pair<int, int>, INATable*> tables;
        for (int step = 0; step < kSteps; ++step) {
            SCOPED_TRACE(testing::Message() << "step " << step);
            const int h = pick(kHosts);
            switch (pick(8)) {
            case 0:
            case 1: {
                m_bOpensFail = pick(6) == 0;
                const bool bFails = m_bOpensFail;
                const int bOpened = nOpen(m_apHosts[h]);
                m_bOpensFail = false;
                ASSERT_EQ(bFails ? 0 : 1, bOpened);
                model.Open(h, bFails);
                break;
            }
            case 2:
                ASSERT_EQ(1, nClose(m_apHosts[h]));
                if (model.m_anRegistered[h] >= 0)
                    model.Close(model.m_anRegistered[h]);
                break;
            case 3: {
                // By number: a registered connection, or a number no one has.
                const int n = model.m_anRegistered[h];
                const int nNumber = n >= 0 ? static_cast<int>(m_records[n].pclObject->nGetConnectionNumber()) : -5;
                ASSERT_EQ(1, Driver()->_bCloseConnectionById(nNumber));
                if (n >= 0)
                    model.Close(n);
                break;
            }
            case 4: {
                const int s = pick(kSources);
                INATable* piTable = this->piTable(m_apHosts[h], m_apSources[s]);
                ASSERT_NE(nullptr, piTable);
                auto it = tables.find({h, s});
                if (it != tables.end()) {
                    ASSERT_EQ(it->second, piTable) << "one table per source and connection";
                }
                tables[{h, s}] = piTable;
                model.GetTable(h, s);
                break;
            }
            case 5:
            case 6: {
                if (tables.empty())
                    break;
                auto it = std::next(tables.begin(), pick(static_cast<int>(tables.size())));
                const std::pair<int, int> key = it->first;
                const int nLeft = model.m_tables.at(key).nExternal - 1;
                ASSERT_EQ(nLeft, nReleaseTable(it->second));
                if (nLeft == 0)
                    tables.erase(it);
                model.ReleaseTable(key);
                break;
            }
            case 7: {
                const int n = model.m_anRegistered[h];
                if (n < 0)
                    break;
                const bool bActive = !model.m_connections[n].bTransaction;
                m_records[n].pclObject->SetTransactionActive(bActive);
                model.m_connections[n].bTransaction = bActive;
                break;
            }
            }
            Check(model);
            if (HasFatalFailure())
                return;
        }

        // The end, in either order.
        const auto releaseTables = [&] {
            while (!tables.empty()) {
                auto it = tables.begin();
                nReleaseTable(it->second);
                model.ReleaseTable(it->first);
                if (model.m_tables.count(it->first) == 0)
                    tables.erase(it);
            }
        };
        if (pick(2) == 0) {
            releaseTables();
            Check(model);
            ReleaseDriver();
            model.DriverEnd();
        } else {
            ReleaseDriver();
            model.DriverEnd();
            Check(model);
            releaseTables();
        }
        Check(model);
        for (const stConnectionRecord& r : m_records)
            ASSERT_TRUE(r.bDestroyed);
    }

    std::deque<stConnectionRecord> m_records;
    bool m_bOpensFail = false;
    StandinConnectionDescription* m_apHosts[kHosts] = {};
    StandinDataSourceDescription* m_apSources[kSources] = {};
};

TEST_F(RegistryProperty, HoldersAgainstTheModel)
{
    // One driver per seed: each run ends it.
    for (unsigned nSeed = 1; nSeed <= kSeeds; ++nSeed) {
        SCOPED_TRACE(testing::Message() << "seed " << nSeed);
        if (nSeed > 1) {
            m_records.clear();
            m_piDriver = m_caller.piOpenDriver();
            ASSERT_NE(nullptr, m_piDriver);
        }
        Run(nSeed);
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
