// Searches and filters on the run's private server: each condition is
// written into a command on a MySQL connection, taken as formatted text and
// run as "SELECT ID FROM t WHERE ..." through a raw client; the ids must be
// those the test computes directly from the rows it wrote. The table has an
// integer key that may be NULL, an unsigned byte, a text key in a binary
// collation (so that the server orders by code point, as the test does) and
// the composite keys (A, N), (A, N, C) unique and (N, C) descending; the
// record is built on a description made to match it.
#include <algorithm>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/text/xy_string.h"
#include "native/sql/command.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/native/sql/key_search_fixture.h"
#include "tests/support/scratch_database.h"

namespace vxtest {
namespace {

struct stRow
{
    int id;
    std::optional<int> k;
    int u;
    std::optional<std::string> t;
    std::string a;
    int n;
    int c;
};

std::string Utf8Of(const std::wstring& s)
{
    CXYString<char> clText;
    clText.__nConversion(s.data(), static_cast<int>(s.size()), 0, 65001, 0, nullptr);
    return std::string(clText.pszGet(), static_cast<size_t>(clText.nGetLongueur()));
}

// The record's items as the table's columns; the record is built on a
// description of a MySQL connection to the server.
class SearchRows : public RecordTest
{
protected:
    void SetUp() override
    {
        RecordTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_FALSE(m_db.Name().empty());
        m_client = ConnectAsTestUser(m_db.Name());
        ASSERT_TRUE(m_client.bConnected());
        // The record on a MySQL connection in the scratch database.
        m_source->nRelease();
        m_source = nullptr;
        m_pclTestConnection = m_pclConnection;
        const MariadbServer& server = Mariadb();
        m_sUser = FromUtf8(server.user.sUser);
        m_sPassword = FromUtf8(server.user.sPassword);
        m_sDatabase = FromUtf8(m_db.Name());
        m_sExtended = L"Unix Socket=" + FromUtf8(server.sSocket);
        m_host.SetDataBase(L"localhost");
        m_host.SetUserName(m_sUser.c_str());
        m_host.SetPassword(m_sPassword.c_str());
        m_host.SetDefaultDataBase(m_sDatabase.c_str());
        m_host.SetExtendedInfo(m_sExtended.c_str());
        m_pclMySQL = new CInspectedConnection(L"search rows", &m_host);
        REF_AddRef(m_pclMySQL);
        m_pclConnection = m_pclMySQL;
        ASSERT_EQ(1, m_pclMySQL->bOpen(m_pclError)) << m_pclError->pszGetError();
        m_source = NewDescription(L"t");
        Add(L"ID", NA_IT_I4, 4, NA_KEY_PRIMARY | NA_KEY_UNIQUE);
        Add(L"K", NA_IT_I4, 4, NA_KEY_DUPLICATES);
        Add(L"U", NA_IT_UI1, 1, NA_KEY_DUPLICATES);
        Add(L"T", NA_IT_TEXTE, 11, NA_KEY_DUPLICATES);
        Add(L"A", NA_IT_TEXTE, 6);
        Add(L"N", NA_IT_I4, 4);
        Add(L"C", NA_IT_I2, 2);
        AddComposite(L"AN", NA_KEY_DUPLICATES, {L"A", L"N"});
        AddComposite(L"ANC", NA_KEY_UNIQUE, {L"A", L"N", L"C"});
        AddComposite(L"ND", NA_KEY_DUPLICATES | NA_KEY_DESCENDING, {L"N", L"C"});
        ASSERT_EQ(1, Build());
        m_pclCommand = m_pclConnection != nullptr ? Driver()->pclAllocCommand(m_pclError, m_pclConnection) : nullptr;
        ASSERT_NE(nullptr, m_pclCommand);
        REF_AddRef(m_pclCommand);
        MakeRows();
    }

    void TearDown() override
    {
        for (CNARecherche* pclSearch : m_searches)
            REF_Release(pclSearch);
        m_searches.clear();
        if (m_pclCommand != nullptr)
            REF_Release(m_pclCommand);
        DropRecord();
        if (m_pclMySQL != nullptr) {
            if (m_source != nullptr)
                m_source->nRelease();
            m_source = nullptr;
            CNAError error;
            m_pclMySQL->bClose(&error);
            EXPECT_EQ(1u, m_pclMySQL->m_dwRefCount) << "connection references left";
            m_pclMySQL->nRelease();
            m_pclConnection = m_pclTestConnection;
            m_source = NewDescription();
        }
        RecordTest::TearDown();
    }

    void MakeRows()
    {
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE t (ID INT PRIMARY KEY, K INT NULL, U TINYINT UNSIGNED NOT NULL, "
                                      "T VARCHAR(10) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NULL, "
                                      "A VARCHAR(5) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL, "
                                      "N INT NOT NULL, C SMALLINT NOT NULL, UNIQUE KEY (A, N, C))"))
            << m_client.sError();
        std::mt19937 random(20261210);
        const std::string alphabet = "ab%_'\\";
        const std::string as[] = {"", "a", "ab", "abc", "b", "b%", "ba"};
        std::set<std::tuple<std::string, int, int>> keys;
        for (int id = 1; id <= 80; ++id) {
            stRow row;
            row.id = id;
            if (random() % 5 != 0)
                row.k = static_cast<int>(random() % 9) - 4;
            const int us[] = {0, 1, 128, 254, 255};
            row.u = us[random() % 5];
            if (random() % 6 != 0) {
                std::string t;
                for (size_t n = random() % 4; n > 0; --n)
                    t += alphabet[random() % alphabet.size()];
                row.t = t;
            }
            do {
                row.a = as[random() % std::size(as)];
                row.n = static_cast<int>(random() % 5) - 2;
                row.c = static_cast<int>(random() % 3);
            } while (!keys.insert({row.a, row.n, row.c}).second);
            m_rows.push_back(row);
            std::string sql = "INSERT INTO t VALUES (" + std::to_string(id) + "," +
                              (row.k ? std::to_string(*row.k) : "NULL") + "," + std::to_string(row.u) + "," +
                              (row.t ? HexLiteral(*row.t) : "NULL") + "," + HexLiteral(row.a) + "," +
                              std::to_string(row.n) + "," + std::to_string(row.c) + ")";
            ASSERT_TRUE(m_client.bExecute(sql)) << sql << ": " << m_client.sError();
        }
    }

    template <class T>
    T* Held(T* p)
    {
        EXPECT_NE(nullptr, p);
        REF_AddRef(p);
        m_searches.push_back(p);
        return p;
    }
    CNARecherche* NewSearch() { return Held(new CNARecherche(m_pclError, m_pclConnection)); }
    CNAFilter* NewFilter() { return Held(new CNAFilter(m_pclError, m_pclConnection)); }
    INAItemDescription* Item(const wchar_t* pszName) { return Col(pszName)->piGetItemNoRef(); }

    // The ids the server selects with the search's current condition (and
    // the filter); every statement is counted.
    std::vector<int> Selected(CNARecherche* pclSearch, CNAFilter* pclFilter = nullptr)
    {
        ++m_nStatements;
        EXPECT_EQ(1, pclSearch->bGetSQL(m_pclCommand, pclFilter, m_record));
        const wchar_t* pszWhere = m_pclCommand->pszGetFormatedSQLW(CNACommand::PARAMTYPE_NONE);
        std::string sql = "SELECT ID FROM t";
        if (pszWhere != nullptr && pszWhere[0] != L'\0')
            sql += " WHERE " + Utf8Of(pszWhere);
        sql += " ORDER BY ID";
        m_sLastSql = sql;
        std::vector<int> ids;
        const std::optional<RawRows> rows = m_client.Query(sql);
        EXPECT_TRUE(rows.has_value()) << sql << ": " << m_client.sError();
        if (rows)
            for (const RawRow& row : *rows)
                ids.push_back(std::stoi(row.at(0).value()));
        return ids;
    }
    template <class Pred>
    std::vector<int> Expected(Pred pred) const
    {
        std::vector<int> ids;
        for (const stRow& row : m_rows)
            if (pred(row))
                ids.push_back(row.id);
        return ids;
    }

    CNARecherche* Search(const wchar_t* pszItem, const CAny& clValue, bool bGeneric = false)
    {
        CNARecherche* pclSearch = NewSearch();
        EXPECT_EQ(1, pclSearch->bSetRecherche(m_record, Item(pszItem), &clValue, static_cast<eNA_PARSEDIRECTION>(0),
                                              bGeneric ? 0 : 1, 0));
        return pclSearch;
    }
    static CAny Int(int n)
    {
        CAny v;
        v.SetI4(n);
        return v;
    }
    static CAny Byte(int n)
    {
        CAny v;
        v.SetUI1(static_cast<unsigned char>(n));
        return v;
    }
    static CAny Text(const std::string& s)
    {
        CAny v;
        v.__SetType(ZLTYPE_DSTRA, 0);
        NA_nSetAnyAnsi(v, s.data(), s.size());
        return v;
    }
    static CAny Key(const std::string& bytes)
    {
        CAny v;
        v.SetBIN(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
        return v;
    }
    template <class T>
    static std::string Bytes(T t)
    {
        return std::string(reinterpret_cast<const char*>(&t), sizeof t);
    }
    static std::string Padded(std::string s, size_t n)
    {
        s.resize(n, '\0');
        return s;
    }

    ScratchDatabase m_db;
    RawClient m_client;
    StandinConnectionDescription m_host;
    std::wstring m_sUser, m_sPassword, m_sDatabase, m_sExtended;
    CNAConnectionDescription* m_pclTestConnection = nullptr;
    CInspectedConnection* m_pclMySQL = nullptr;
    CNACommand* m_pclCommand = nullptr;
    std::vector<CNARecherche*> m_searches;
    std::vector<stRow> m_rows;
    std::string m_sLastSql;
    int m_nStatements = 0;
};

// NULL sorts first on the server: a forward continuation leaves the NULL
// rows behind, a backward one keeps them (but behind a 0, which the engine
// takes for NULL).
TEST_F(SearchRows, AnIntegerKeyAndItsContinuations)
{
    for (int v = -5; v <= 5; ++v) {
        SCOPED_TRACE(v);
        CNARecherche* pclSearch = Search(L"K", Int(v));
        EXPECT_EQ(Expected([v](const stRow& r) { return r.k && *r.k == v; }), Selected(pclSearch)) << m_sLastSql;
        pclSearch->bSetContinueParcours(0);
        EXPECT_EQ(Expected([v](const stRow& r) { return r.k && *r.k > v; }), Selected(pclSearch)) << m_sLastSql;
        pclSearch->bSetContinueParcours(1);
        pclSearch->bSetContinueParcours(1);
        // A 0 can stand for NULL in the engine: the NULL rows are its own,
        // not behind it.
        EXPECT_EQ(Expected([v](const stRow& r) { return r.k ? *r.k < v : v != 0; }), Selected(pclSearch))
            << m_sLastSql;
    }
}

TEST_F(SearchRows, CompositeKeysInAscendingAndDescendingOrder)
{
    std::mt19937 random(7);
    const std::string as[] = {"", "a", "ab", "abc", "abd", "b", "b%", "ba", "c"};
    for (int nCase = 0; nCase < 40; ++nCase) {
        const std::string a = as[random() % std::size(as)];
        const int n = static_cast<int>(random() % 7) - 3;
        const short c = static_cast<short>(random() % 4 - 1);
        SCOPED_TRACE(a + " " + std::to_string(n) + " " + std::to_string(c));
        const auto key = [](const stRow& r) { return std::make_tuple(r.a, r.n, r.c); };
        const auto given = std::make_tuple(a, n, static_cast<int>(c));
        CNARecherche* pclSearch = Search(L"ANC", Key(Padded(a, 5) + Bytes(n) + Bytes(c)));
        EXPECT_EQ(Expected([&](const stRow& r) { return key(r) == given; }), Selected(pclSearch)) << m_sLastSql;
        pclSearch->bSetContinueParcours(0);
        EXPECT_EQ(Expected([&](const stRow& r) { return key(r) > given; }), Selected(pclSearch)) << m_sLastSql;
        pclSearch->bSetContinueParcours(1);
        pclSearch->bSetContinueParcours(1);
        EXPECT_EQ(Expected([&](const stRow& r) { return key(r) < given; }), Selected(pclSearch)) << m_sLastSql;

        // (N, C) descending: forward goes to smaller keys.
        const auto nd = [](const stRow& r) { return std::make_pair(r.n, r.c); };
        const auto givenNd = std::make_pair(n, static_cast<int>(c));
        CNARecherche* pclDescending = Search(L"ND", Key(Bytes(n) + Bytes(c)));
        EXPECT_EQ(Expected([&](const stRow& r) { return nd(r) == givenNd; }), Selected(pclDescending));
        pclDescending->bSetContinueParcours(0);
        EXPECT_EQ(Expected([&](const stRow& r) { return nd(r) < givenNd; }), Selected(pclDescending)) << m_sLastSql;
        pclDescending->bSetContinueParcours(1);
        pclDescending->bSetContinueParcours(1);
        EXPECT_EQ(Expected([&](const stRow& r) { return nd(r) > givenNd; }), Selected(pclDescending)) << m_sLastSql;
    }
}

// Prefixes holding the LIKE wildcards, a quote and a backslash select
// exactly the texts that start with them; the forward continuation the
// texts past the prefix's group.
TEST_F(SearchRows, TheLikeChainOfGenericPrefixes)
{
    const std::string prefixes[] = {"a", "%", "_", "'", "\\", "a%", "%_", "\\%", "'\\", "\\\\", "b'", "_a"};
    for (const std::string& p : prefixes) {
        SCOPED_TRACE(p);
        const auto starts = [&p](const stRow& r) { return r.t && r.t->compare(0, p.size(), p) == 0; };
        CNARecherche* pclSearch = Search(L"T", Text(p), true);
        EXPECT_EQ(Expected(starts), Selected(pclSearch)) << m_sLastSql;
        pclSearch->bSetContinueParcours(0);
        EXPECT_EQ(Expected([&](const stRow& r) { return r.t && *r.t > p && !starts(r); }), Selected(pclSearch))
            << m_sLastSql;
        pclSearch->bSetContinueParcours(1);
        pclSearch->bSetContinueParcours(1);
        EXPECT_EQ(Expected([&](const stRow& r) { return !r.t || *r.t < p; }), Selected(pclSearch)) << m_sLastSql;
    }
}

TEST_F(SearchRows, FiltersBetweenBounds)
{
    std::mt19937 random(11);
    CNARecherche* pclAll = NewSearch();
    for (int nCase = 0; nCase < 60; ++nCase) {
        const int lo = static_cast<int>(random() % 11) - 5;
        const int hi = nCase % 4 == 0 ? lo : static_cast<int>(random() % 11) - 5;
        const int bLoIn = static_cast<int>(random() % 2);
        const int bHiIn = static_cast<int>(random() % 2);
        SCOPED_TRACE(testing::Message() << (bLoIn ? "[" : "]") << lo << "," << hi << (bHiIn ? "]" : "["));
        CNAFilter* pclFilter = NewFilter();
        const CAny clLo = Int(lo);
        const CAny clHi = Int(hi);
        ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"K"), &clLo, bLoIn, &clHi, bHiIn, nullptr, 0));
        pclFilter->ActivateFilter(1);
        EXPECT_EQ(Expected([&](const stRow& r) {
                      return r.k && (bLoIn ? *r.k >= lo : *r.k > lo) && (bHiIn ? *r.k <= hi : *r.k < hi);
                  }),
                  Selected(pclAll, pclFilter))
            << m_sLastSql;
        // Joined to a search.
        CNARecherche* pclSearch = Search(L"U", Byte(255));
        EXPECT_EQ(Expected([&](const stRow& r) {
                      return r.u == 255 && r.k && (bLoIn ? *r.k >= lo : *r.k > lo) && (bHiIn ? *r.k <= hi : *r.k < hi);
                  }),
                  Selected(pclSearch, pclFilter))
            << m_sLastSql;
    }
}

// Bounds at the type's minimum and maximum, on an unsigned byte.
TEST_F(SearchRows, FiltersAtTheTypesBounds)
{
    CNARecherche* pclAll = NewSearch();
    for (int v : {0, 255}) {
        for (int bLower : {0, 1}) {
            for (int bIncluded : {0, 1}) {
                SCOPED_TRACE(testing::Message() << v << (bLower ? " lower" : " upper") << (bIncluded ? " in" : " out"));
                CNAFilter* pclFilter = NewFilter();
                const CAny clValue = Byte(v);
                ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"U"), bLower ? &clValue : nullptr, bIncluded,
                                                   bLower ? nullptr : &clValue, bIncluded, nullptr, 0));
                pclFilter->ActivateFilter(1);
                EXPECT_EQ(Expected([&](const stRow& r) {
                              return bLower ? (bIncluded ? r.u >= v : r.u > v) : (bIncluded ? r.u <= v : r.u < v);
                          }),
                          Selected(pclAll, pclFilter))
                    << m_sLastSql;
            }
        }
    }
}

// A descending composite key's bounds come in its browse order.
TEST_F(SearchRows, FiltersOnADescendingCompositeKey)
{
    std::mt19937 random(5);
    CNARecherche* pclAll = NewSearch();
    for (int nCase = 0; nCase < 30; ++nCase) {
        auto pick = [&] { return std::make_pair(static_cast<int>(random() % 7) - 3, static_cast<int>(random() % 4) - 1); };
        auto first = pick();
        auto second = pick();
        if (first < second)
            std::swap(first, second);
        const int bFirstIn = static_cast<int>(random() % 2);
        const int bSecondIn = static_cast<int>(random() % 2);
        SCOPED_TRACE(testing::Message() << first.first << "/" << first.second << " " << bFirstIn << " .. "
                                        << second.first << "/" << second.second << " " << bSecondIn);
        CNAFilter* pclFilter = NewFilter();
        const CAny clFirst = Key(Bytes(first.first) + Bytes(static_cast<short>(first.second)));
        const CAny clSecond = Key(Bytes(second.first) + Bytes(static_cast<short>(second.second)));
        ASSERT_EQ(1, pclFilter->bSetFilter(m_record, Item(L"ND"), &clFirst, bFirstIn, &clSecond, bSecondIn, nullptr,
                                           0));
        pclFilter->ActivateFilter(1);
        EXPECT_EQ(Expected([&](const stRow& r) {
                      const auto v = std::make_pair(r.n, r.c);
                      if (first == second)
                          return bFirstIn && bSecondIn && v == first;
                      return (bFirstIn ? v <= first : v < first) && (bSecondIn ? v >= second : v > second);
                  }),
                  Selected(pclAll, pclFilter))
            << m_sLastSql;
    }
}

}  // namespace
}  // namespace vxtest
