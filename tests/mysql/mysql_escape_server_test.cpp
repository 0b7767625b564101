// Values written as literals by the MySQL connection, used in queries on the
// private server: for every runtime type that goes through the escaping, on
// a UTF-8 and on a 1252 connection, with and without NO_BACKSLASH_ESCAPES,
// each literal matches exactly the row that holds its value and no other.
// The rows are written by a raw client from hexadecimal literals, so the
// escaping under test never checks itself.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "common/text/xy_string.h"
#include "native/driver/error_object.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/mysql_server_connection.h"
#include "tests/support/scratch_database.h"

namespace {

using vxtest::HandleRows;
using vxtest::QueryOnHandle;
using vxtest::RawClient;
using vxtest::ServerConnection;

std::string Utf8(const std::wstring& s)
{
    CXYString<char> clText;
    clText.__nConversion(s.data(), static_cast<int>(s.size()), 0, 65001, 0, nullptr);
    return std::string(clText.pszGet(), static_cast<size_t>(clText.nGetLongueur()));
}

// A value as a test hands it to the escaping: its runtime type and bytes,
// and the column and value it must match.
struct stLiteralCase
{
    std::string name;
    unsigned short nType;
    std::string data;
    bool bBinary;
    std::string expected;
    // Only a UTF-8 connection can say it.
    bool bBeyond1252;
};

std::string WideBytes(const std::wstring& s)
{
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}

std::vector<stLiteralCase> Cases(int nRuntimeCodePage)
{
    const struct
    {
        const char* pszName;
        std::wstring text;
        bool bBeyond1252;
    } aTexts[] = {
        {"a quote", L"it's", false},
        {"a backslash", L"back\\slash", false},
        {"an escaped quote", L"\\' OR ''='", false},
        {"double quotes", L"say \"hi\"", false},
        {"a second statement", L"x'; DELETE FROM vals; --", false},
        {"characters of 1252", L"d\u00e9j\u00e0 \u20ac \u00ff", false},
        {"a NUL ends the text", std::wstring(L"nul\0after", 9), false},
        {"a lone backslash", L"\\", false},
        {"a lone quote", L"'", false},
        {"line breaks and Ctrl-Z", L"line\r\nbreak\x1a", false},
        {"beyond 1252", L"\u015C \U0001F600", true},
    };
    std::vector<stLiteralCase> cases;
    for (const auto& t : aTexts) {
        const std::string sExpected = Utf8(t.text.substr(0, t.text.find(L'\0')));
        for (unsigned short nType : {16, 110})
            cases.push_back({std::string(t.pszName) + " / " + std::to_string(nType), nType, WideBytes(t.text),
                             false, sExpected, t.bBeyond1252});
        if (t.bBeyond1252)
            continue;
        CXYString<char> clRuntime;
        clRuntime.__nConversion(t.text.data(), static_cast<int>(t.text.size()), 0, nRuntimeCodePage, 0, nullptr);
        const std::string sRuntime(clRuntime.pszGet(), static_cast<size_t>(clRuntime.nGetLongueur()));
        for (unsigned short nType : {18, 19})
            cases.push_back(
                {std::string(t.pszName) + " / " + std::to_string(nType), nType, sRuntime, false, sExpected, false});
    }
    for (wchar_t c : {L'\'', L'\\', L'"', L'\u00e9', L'\u20ac', L'a'}) {
        const std::wstring sOne(1, c);
        cases.push_back({"one wide character " + Utf8(sOne), 81, WideBytes(sOne), false, Utf8(sOne), false});
        CXYString<char> clRuntime;
        clRuntime.__nConversion(&c, 1, 0, nRuntimeCodePage, 0, nullptr);
        cases.push_back({"one 8-bit character " + Utf8(sOne), 17,
                         std::string(clRuntime.pszGet(), static_cast<size_t>(clRuntime.nGetLongueur())), false,
                         Utf8(sOne), false});
    }
    const struct
    {
        const char* pszName;
        std::string bytes;
    } aBinaries[] = {
        {"bytes of every kind", std::string("a'b\\c\0d\xFF\x80\"\x1a\r\n", 13)},
        {"a NUL byte alone", std::string(1, '\0')},
        {"a backslash and a quote", "\\'"},
        {"no UTF-8", "\xC3\x28\xFF\xFE"},
    };
    for (const auto& b : aBinaries)
        cases.push_back({std::string(b.pszName) + " / 28", 28, b.bytes, true, b.bytes, false});
    return cases;
}

TEST(MySQLEscapingOnServer, EachLiteralMatchesExactlyItsValue)
{
    vxtest::ScratchDatabase db;
    ASSERT_FALSE(db.Name().empty());

    // The runtime code page is the process's, the same for every connection.
    int nRuntimeCodePage = 0;
    {
        ServerConnection probe;
        nRuntimeCodePage = probe->nGetRuntimeCodePage();
    }
    const std::vector<stLiteralCase> cases = Cases(nRuntimeCodePage);

    // One row per distinct value, and rows an injected condition would
    // also match.
    RawClient client = vxtest::ConnectAsTestUser(db.Name());
    ASSERT_TRUE(client.bExecute("CREATE TABLE vals (id INT PRIMARY KEY, t VARCHAR(100) CHARACTER SET utf8mb4 "
                                "COLLATE utf8mb4_bin, b BLOB)"))
        << client.sError();
    std::map<std::pair<bool, std::string>, int> ids;
    const auto addRow = [&](bool bBinary, const std::string& sValue) {
        if (!ids.emplace(std::pair(bBinary, sValue), static_cast<int>(ids.size()) + 1).second)
            return;
        const std::string sId = std::to_string(ids.size());
        const std::string sSql = bBinary ? "INSERT INTO vals VALUES (" + sId + ", NULL, " + vxtest::HexLiteral(sValue) + ")"
                                         : "INSERT INTO vals VALUES (" + sId + ", _utf8mb4 " +
                                               vxtest::HexLiteral(sValue) + ", NULL)";
        EXPECT_TRUE(client.bExecute(sSql)) << client.sError();
    };
    for (const char* pszDecoy : {"", "it", "back", "x", "nulafter", "after", "say", "1"})
        addRow(false, pszDecoy);
    for (const char* pszDecoy : {"", "a", "\\", "'"})
        addRow(true, pszDecoy);
    for (const stLiteralCase& c : cases)
        addRow(c.bBinary, c.expected);

    for (const wchar_t* pszKeys : {L"", L"VX Unicode Support=0"}) {
        for (bool bNoBackslashEscapes : {false, true}) {
            SCOPED_TRACE(std::string(*pszKeys ? "1252" : "UTF-8") +
                         (bNoBackslashEscapes ? ", NO_BACKSLASH_ESCAPES" : ""));
            ServerConnection connection(pszKeys, vxtest::MariadbRoute::Socket, nullptr, db.Name());
            CNAError error;
            ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
            const int nCodePage = connection->nGetCodePage();
            if (bNoBackslashEscapes) {
                ASSERT_EQ(1, connection->bExecuteQueryNoResult(
                                 &error, L"SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"));
                ASSERT_EQ(vxtest::HandleCell("1"),
                          vxtest::ValueOnHandle(*connection,
                                                "SELECT FIND_IN_SET('NO_BACKSLASH_ESCAPES', @@sql_mode) > 0"));
            }
            for (const stLiteralCase& c : cases) {
                if (c.bBeyond1252 && nCodePage != 65001)
                    continue;
                SCOPED_TRACE(c.name);
                CTStringConcatAW literal(static_cast<unsigned>(nCodePage), static_cast<unsigned>(nCodePage));
                std::string data = c.data;
                ASSERT_EQ(1, connection->_bEscapeString(&error, &literal, c.nType,
                                                        reinterpret_cast<unsigned char*>(data.data()), data.size()))
                    << error.pszGetError();
                const std::string sLiteral(literal.pszGetA(), static_cast<size_t>(literal.nGetLongueurA()));
                const std::string sSql = std::string("SELECT id FROM vals WHERE ") + (c.bBinary ? "b" : "t") +
                                         " = " + sLiteral;
                const int nId = ids.at(std::pair(c.bBinary, c.expected));
                EXPECT_EQ((HandleRows{{std::to_string(nId)}}), QueryOnHandle(*connection, sSql)) << sSql;
            }
        }
    }
    EXPECT_EQ(vxtest::HandleCell(std::to_string(ids.size())), client.Value("SELECT COUNT(*) FROM vals"))
        << "no literal ended its statement";
}

}  // namespace
