// The texts a MySQL execution statement sends, over the fake client library
// that records them: the host's parameter values written into the text as
// literals on a code-page-1252 and a UTF-8 connection (NULL, quotes and
// backslashes, binary values, files read as binary and as 8-bit text), and
// nothing sent when a file cannot be read or a placeholder lies outside the
// text; and the dump of a failing query, cut to its first 5000 characters.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "native/driver/wide_text_value.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::bDumpHas;
using vxtest::SiteLine;

constexpr unsigned kFromFile = 0x1;
constexpr unsigned kFileAsText = 0x10;

class MySQLStatementTexts : public vxtest::MySQLStatementOverFake
{
protected:
    void SetUp() override
    {
        vxtest::MySQLStatementOverFake::SetUp();
        char szDir[] = "/tmp/vx_statement_files_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szDir));
        m_sDir = szDir;
    }
    void TearDown() override
    {
        for (const std::string& sFile : m_files)
            std::remove(sFile.c_str());
        rmdir(m_sDir.c_str());
        vxtest::MySQLStatementOverFake::TearDown();
    }

    // A file of the bytes given; its path.
    std::wstring File(const std::string& sName, const std::string& sBytes)
    {
        const std::string sPath = m_sDir + "/" + sName;
        FILE* pFile = std::fopen(sPath.c_str(), "wb");
        EXPECT_NE(nullptr, pFile);
        if (pFile != nullptr) {
            std::fwrite(sBytes.data(), 1, sBytes.size(), pFile);
            std::fclose(pFile);
        }
        m_files.push_back(sPath);
        return vxtest::Wide(sPath);
    }
    std::wstring Missing() const { return vxtest::Wide(m_sDir + "/missing.bin"); }

    std::string m_sDir;
    std::vector<std::string> m_files;
};

CAny TextValue(const wchar_t* psz)
{
    CAny value;
    NA_bSetWideText(&value, ZLTYPE_DSTRW, psz);
    return value;
}

CAny NullValue()
{
    CAny value;
    value.__SetType(ZLTYPE_DSTRW, 0);
    value.SetNull();
    return value;
}

CAny BinaryValue(const std::string& sBytes)
{
    CAny value;
    value.SetBIN(reinterpret_cast<const unsigned char*>(sBytes.data()), sBytes.size());
    return value;
}

struct stParameter
{
    CAny value;
    int nStart;
    int nLength;
    unsigned dwFlags = 0;
};

TEST_F(MySQLStatementTexts, ParametersBecomeLiteralsOfTheConnectionsCodePage)
{
    Fake();
    const std::wstring sBinaryFile = File("binary.bin", std::string("A\0B'\xE9", 5));
    const std::wstring sTextFile = File("text.txt", "l'\xE9t\xE9");
    struct Case
    {
        const char* pszCase;
        const wchar_t* pszSQL;
        std::function<std::vector<stParameter>()> parameters;  // null: no table
        std::string sSent1252;  // empty: nothing sent
        std::string sSentUtf8;
        unsigned nError = 0;
        const wchar_t* pszErrorPart = nullptr;
    };
    const std::vector<Case> aCases = {
        {"no table", L"SELECT 'é' FROM t", nullptr, "SELECT '\xE9' FROM t", "SELECT '\xC3\xA9' FROM t"},
        {"an empty table", L"SELECT ? FROM t", [] { return std::vector<stParameter>{}; }, "SELECT ? FROM t",
         "SELECT ? FROM t"},
        {"NULL", L"SELECT ? FROM t", [] { return std::vector<stParameter>{{NullValue(), 7, 1}}; }, "SELECT NULL FROM t",
         "SELECT NULL FROM t"},
        {"quotes, backslashes and a letter of 1252", L"WHERE a = :a AND b = :bb",
         [] {
             return std::vector<stParameter>{{TextValue(L"O'Brien \\ é"), 10, 2}, {TextValue(L"\"x\""), 21, 3}};
         },
         "WHERE a = 'O\\'Brien \\\\ \xE9' AND b = '\\\"x\\\"'",
         "WHERE a = 'O\\'Brien \\\\ \xC3\xA9' AND b = '\\\"x\\\"'"},
        {"binary bytes as they are", L"INSERT INTO t VALUES (?)",
         [] { return std::vector<stParameter>{{BinaryValue(std::string("\x01\0'\xFF", 4)), 22, 1}}; },
         "INSERT INTO t VALUES ('\x01\\0\\'\xFF')", "INSERT INTO t VALUES ('\x01\\0\\'\xFF')"},
        {"a file read as binary", L"INSERT INTO t VALUES (?)",
         [&] { return std::vector<stParameter>{{TextValue(sBinaryFile.c_str()), 22, 1, kFromFile}}; },
         "INSERT INTO t VALUES ('A\\0B\\'\xE9')", "INSERT INTO t VALUES ('A\\0B\\'\xE9')"},
        {"a file read as 8-bit text", L"INSERT INTO t VALUES (?)",
         [&] { return std::vector<stParameter>{{TextValue(sTextFile.c_str()), 22, 1, kFromFile | kFileAsText}}; },
         "INSERT INTO t VALUES ('l\\'\xE9t\xE9')", "INSERT INTO t VALUES ('l\\'\xC3\xA9t\xC3\xA9')"},
        {"a file that cannot be read", L"INSERT INTO t VALUES (?)",
         [&] { return std::vector<stParameter>{{TextValue(Missing().c_str()), 22, 1, kFromFile}}; }, "", "", 15,
         L"missing.bin"},
        {"a negative start", L"SELECT ?, ?",
         [] { return std::vector<stParameter>{{TextValue(L"a"), 7, 1}, {TextValue(L"b"), -1, 1}}; }, "", "", 80,
         L"Le paramètre 1 "},
        {"a negative length", L"SELECT ?",
         [] { return std::vector<stParameter>{{TextValue(L"a"), 7, -1}}; }, "", "", 80, L"Le paramètre 0 "},
        {"an end past the text", L"SELECT ?",
         [] { return std::vector<stParameter>{{TextValue(L"a"), 7, 2}}; }, "", "", 80, L"Le paramètre 0 "},
        {"a start past the text", L"SELECT ?",
         [] { return std::vector<stParameter>{{TextValue(L"a"), 9, 0}}; }, "", "", 80, L"Le paramètre 0 "},
        {"a placeholder at the very end", L"SELECT 1",
         [] { return std::vector<stParameter>{{TextValue(L"a"), 8, 0}}; }, "SELECT 1'a'", "SELECT 1'a'"},
        // The second placeholder starts before the end of the first: no text
        // before its literal, and the cursor moves back to its end.
        {"a placeholder before the end of the previous one", L"SELECT :p1 + :p2",
         [] { return std::vector<stParameter>{{TextValue(L"B"), 13, 3}, {TextValue(L"A"), 7, 3}}; },
         "SELECT :p1 + 'B''A' + :p2", "SELECT :p1 + 'B''A' + :p2"},
    };
    for (const bool bUtf8 : {false, true}) {
        CMySQLStatementSQL* pclStatement = OpenStatement(bUtf8 ? L"" : L"VX Unicode Support=0");
        ASSERT_EQ(bUtf8 ? 65001 : 1252, pclStatement->pclGetConnectionNoRef()->nGetClientTextCodePage());
        for (const Case& c : aCases) {
            SCOPED_TRACE(std::string(c.pszCase) + (bUtf8 ? " (UTF-8)" : " (1252)"));
            m_pclError->Reset();
            StandinTabValParser table;
            if (c.parameters) {
                for (const stParameter& p : c.parameters())
                    table.Add(p.value, p.nStart, p.nLength, p.dwFlags);
            }
            const size_t nSentBefore = State().queries.size();
            const int bDone = pclStatement->bExecuteDirect(c.pszSQL, c.parameters ? table.pstGet() : nullptr, 0);
            const std::string& sExpected = bUtf8 ? c.sSentUtf8 : c.sSent1252;
            if (sExpected.empty()) {
                EXPECT_EQ(0, bDone);
                EXPECT_EQ(nSentBefore, State().queries.size()) << "nothing sent";
                EXPECT_EQ(c.nError, m_pclError->dwGetErrorId()) << m_pclError->pszGetError();
                EXPECT_TRUE(bDumpHas(*m_pclError, c.pszErrorPart)) << m_pclError->pszGetError();
                continue;
            }
            EXPECT_EQ(1, bDone) << m_pclError->pszGetError();
            ASSERT_EQ(nSentBefore + 1, State().queries.size());
            EXPECT_EQ(sExpected, State().queries.back());
        }
    }
}

TEST_F(MySQLStatementTexts, APlaceholderOutsideTheTextIsRaisedAtItsSite)
{
    Fake();
    CMySQLStatementSQL* pclStatement = OpenStatement();
    StandinTabValParser table;
    table.Add(TextValue(L"a"), 7, 1).Add(TextValue(L"b"), 100, 1);
    EXPECT_EQ(0, pclStatement->bExecuteDirect(L"SELECT ?", table.pstGet(), 0));
    EXPECT_EQ(80u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(bDumpHas(*m_pclError, SiteLine(50, 4))) << m_pclError->pszGetError();
    EXPECT_TRUE(bDumpHas(*m_pclError, L"Le paramètre 1 de la requête désigne une position hors du texte SQL."));
}

TEST_F(MySQLStatementTexts, TheDumpOfAFailingQueryKeepsItsFirst5000Characters)
{
    Fake();
    // 4999 characters, then a character of two bytes in UTF-8 and of one in
    // 1252, then the rest that the dump leaves out.
    const std::wstring sSQL = L"SELECT '" + std::wstring(4991, L'x') + L"é" + std::wstring(100, L'y') + L"'";
    const std::wstring sKept = sSQL.substr(0, 5000);
    ASSERT_EQ(L'é', sKept.back());
    for (const bool bUtf8 : {false, true}) {
        SCOPED_TRACE(bUtf8 ? "UTF-8" : "1252");
        CMySQLStatementSQL* pclStatement = OpenStatement(bUtf8 ? L"" : L"VX Unicode Support=0");
        const std::string sBytes = bUtf8 ? "SELECT '" + std::string(4991, 'x') + "\xC3\xA9" + std::string(100, 'y') + "'"
                                         : "SELECT '" + std::string(4991, 'x') + "\xE9" + std::string(100, 'y') + "'";
        State().queryErrors[sBytes] = 1064;
        m_pclError->Reset();
        EXPECT_EQ(0, pclStatement->bExecuteDirect(sSQL.c_str(), nullptr, 0));
        EXPECT_EQ(1064u, m_pclError->dwGetDataBaseErrorCode());
        // The fake's own message names the whole query: the dump is what
        // follows the line of where it ran.
        const std::wstring sWhole = m_pclError->pszGetError();
        const size_t nWhere = sWhole.find(L"utilisateur : <user>");
        ASSERT_NE(std::wstring::npos, nWhere) << sWhole;
        const std::wstring sDump = sWhole.substr(nWhere);
        EXPECT_NE(std::wstring::npos, sDump.find(sKept));
        EXPECT_EQ(std::wstring::npos, sDump.find(sKept + L"y")) << "cut after 5000 characters";

        // The 8-bit form counts characters, never cutting one.
        m_pclError->Reset();
        m_pclError->AddError(NA_ERR_GENERAL, 12u, 50, 99, nullptr);
        pclStatement->_DumpQueryInError(sBytes.c_str(), static_cast<long>(sBytes.size()), 0);
        const std::wstring sDump8 = m_pclError->pszGetError();
        EXPECT_NE(std::wstring::npos, sDump8.find(sKept)) << "the whole last character";
        EXPECT_EQ(std::wstring::npos, sDump8.find(sKept + L"y"));
    }
}

}  // namespace
