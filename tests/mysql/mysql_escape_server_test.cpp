// Values written as literals by the MySQL connection, used in queries on the
// private server: for every runtime type that goes through the escaping, on
// a UTF-8 and on a 1252 connection, with and without NO_BACKSLASH_ESCAPES,
// each literal matches exactly the row that holds its value and no other.
// The values go in as raw data to the escaping, and as runtime values to the
// literal writer. The rows are written by a raw client from hexadecimal
// literals, so the escaping under test never checks itself.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "common/text/xy_string.h"
#include "native/driver/error_object.h"
#include "tests/common/text/any_vm_fixture.h"
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

std::string InCodePage(const std::wstring& s, int nCodePage)
{
    CXYString<char> clText;
    clText.__nConversion(s.data(), static_cast<int>(s.size()), 0, nCodePage, 0, nullptr);
    return std::string(clText.pszGet(), static_cast<size_t>(clText.nGetLongueur()));
}

std::string WideBytes(const std::wstring& s)
{
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}

// A value of a runtime type, and the column and value it must match.
struct stLiteralCase
{
    std::string name;
    unsigned short nType;
    // The text of a text type (it may hold a NUL), the bytes of type 28.
    std::wstring text;
    std::string bytes;
    bool bBinary;
    std::string expected;
    // Only a UTF-8 connection can say it.
    bool bBeyond1252;
};

std::vector<stLiteralCase> Cases()
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
        for (unsigned short nType : {16, 110, 18, 19}) {
            // 8-bit runtime text holds only what its code page holds.
            if (t.bBeyond1252 && (nType == 18 || nType == 19))
                continue;
            cases.push_back({std::string(t.pszName) + " / " + std::to_string(nType), nType, t.text, {}, false,
                             sExpected, t.bBeyond1252});
        }
    }
    for (wchar_t c : {L'\'', L'\\', L'"', L'\u00e9', L'\u20ac', L'a'}) {
        const std::wstring sOne(1, c);
        for (unsigned short nType : {81, 17})
            cases.push_back({"one character " + Utf8(sOne) + " / " + std::to_string(nType), nType, sOne, {}, false,
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
        cases.push_back({std::string(b.pszName) + " / 28", 28, {}, b.bytes, true, b.bytes, false});
    return cases;
}

class EscapingOnServer : public vxtest::AnyVmTest
{
protected:
    void SetUp() override
    {
        vxtest::AnyVmTest::SetUp();
        m_db = std::make_unique<vxtest::ScratchDatabase>();
        ASSERT_FALSE(m_db->Name().empty());
        {
            // The runtime code page is the process's, the same for every
            // connection.
            ServerConnection probe;
            m_nRuntimeCodePage = probe->nGetRuntimeCodePage();
        }
        m_cases = Cases();
        // One row per distinct value, and rows an injected condition would
        // also match.
        m_client = vxtest::ConnectAsTestUser(m_db->Name());
        ASSERT_TRUE(m_client.bExecute("CREATE TABLE vals (id INT PRIMARY KEY, t VARCHAR(100) CHARACTER SET "
                                      "utf8mb4 COLLATE utf8mb4_bin, b BLOB)"))
            << m_client.sError();
        for (const char* pszDecoy : {"", "it", "back", "x", "nulafter", "after", "say", "1"})
            AddRow(false, pszDecoy);
        for (const char* pszDecoy : {"", "a", "\\", "'"})
            AddRow(true, pszDecoy);
        for (const stLiteralCase& c : m_cases)
            AddRow(c.bBinary, c.expected);
    }
    void TearDown() override
    {
        EXPECT_EQ(vxtest::HandleCell(std::to_string(m_ids.size())), m_client.Value("SELECT COUNT(*) FROM vals"))
            << "no literal ended its statement";
        m_client.Close();
        m_db.reset();
        vxtest::AnyVmTest::TearDown();
    }

    void AddRow(bool bBinary, const std::string& sValue)
    {
        if (!m_ids.emplace(std::pair(bBinary, sValue), static_cast<int>(m_ids.size()) + 1).second)
            return;
        const std::string sId = std::to_string(m_ids.size());
        const std::string sHex = vxtest::HexLiteral(sValue);
        EXPECT_TRUE(m_client.bExecute(bBinary ? "INSERT INTO vals VALUES (" + sId + ", NULL, " + sHex + ")"
                                              : "INSERT INTO vals VALUES (" + sId + ", _utf8mb4 " + sHex + ", NULL)"))
            << m_client.sError();
    }

    // write(connection, case, literal) in each of the four settings, for
    // every case the connection's code page can say; the literal must find
    // exactly the case's row.
    template <typename Write>
    void ForEachSetting(Write write)
    {
        for (const wchar_t* pszKeys : {L"", L"VX Unicode Support=0"}) {
            for (bool bNoBackslashEscapes : {false, true}) {
                SCOPED_TRACE(std::string(*pszKeys ? "1252" : "UTF-8") +
                             (bNoBackslashEscapes ? ", NO_BACKSLASH_ESCAPES" : ""));
                ServerConnection connection(pszKeys, vxtest::MariadbRoute::Socket, nullptr, m_db->Name());
                CNAError error;
                ASSERT_EQ(1, connection->bOpen(&error)) << error.pszGetError();
                const unsigned nCodePage = static_cast<unsigned>(connection->nGetCodePage());
                if (bNoBackslashEscapes) {
                    ASSERT_EQ(1, connection->bExecuteQueryNoResult(
                                     &error, L"SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"));
                    ASSERT_EQ(vxtest::HandleCell("1"),
                              vxtest::ValueOnHandle(*connection,
                                                    "SELECT FIND_IN_SET('NO_BACKSLASH_ESCAPES', @@sql_mode) > 0"));
                }
                for (const stLiteralCase& c : m_cases) {
                    if (c.bBeyond1252 && nCodePage != 65001)
                        continue;
                    SCOPED_TRACE(c.name);
                    CTStringConcatAW literal(nCodePage, nCodePage);
                    ASSERT_TRUE(write(*connection, c, &literal));
                    const std::string sSql = std::string("SELECT id FROM vals WHERE ") + (c.bBinary ? "b" : "t") +
                                             " = " +
                                             std::string(literal.pszGetA(), static_cast<size_t>(literal.nGetLongueurA()));
                    const int nId = m_ids.at(std::pair(c.bBinary, c.expected));
                    EXPECT_EQ((HandleRows{{std::to_string(nId)}}), QueryOnHandle(*connection, sSql)) << sSql;
                }
            }
        }
    }

    std::unique_ptr<vxtest::ScratchDatabase> m_db;
    RawClient m_client;
    int m_nRuntimeCodePage = 0;
    std::vector<stLiteralCase> m_cases;
    std::map<std::pair<bool, std::string>, int> m_ids;
};

TEST_F(EscapingOnServer, TheEscapingOfRawDataMatchesExactlyItsValue)
{
    ForEachSetting([&](CMySQLConnection& connection, const stLiteralCase& c, CTStringConcatAW* pclLiteral) {
        // Wide text as its characters, 8-bit text in the runtime's code
        // page, binary values as they are.
        std::string data;
        if (c.nType == 28)
            data = c.bytes;
        else if (c.nType == 16 || c.nType == 110 || c.nType == 81)
            data = WideBytes(c.text);
        else
            data = InCodePage(c.text, m_nRuntimeCodePage);
        CNAError error;
        const int bWritten = connection._bEscapeString(&error, pclLiteral, c.nType,
                                                       reinterpret_cast<unsigned char*>(data.data()), data.size());
        EXPECT_EQ(1, bWritten) << error.pszGetError();
        return bWritten == 1;
    });
}

TEST_F(EscapingOnServer, LiteralsOfRuntimeValuesMatchExactlyTheirValue)
{
    ForEachSetting([&](CMySQLConnection& connection, const stLiteralCase& c, CTStringConcatAW* pclLiteral) {
        // A runtime text ends at its NUL; the cut text is the value.
        const std::wstring sText = c.text.substr(0, c.text.find(L'\0'));
        CAny value;
        if (c.nType == 28)
            value.SetBIN(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        else
            value = Make(c.nType, sText.c_str());
        EXPECT_EQ(c.nType, value.nGetTypeCode());
        CNAError error;
        error.AddRef();
        const int bWritten = connection.bConvertValueToString(&error, pclLiteral, &value, NA_IT_EMPTY, NA_IT_EMPTY);
        EXPECT_EQ(1, bWritten) << error.pszGetError();
        return bWritten == 1;
    });
}

}  // namespace
