// The data access's memos on the run's private server, by memo index: read,
// written, attached from a file and extracted into one (in a temporary
// directory), through the current record before any browse and through the
// last statement after one; a memo index the data source does not know on
// each of the four operations; and what happens before anything was read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/variant_any.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/access/statement_server_fixture.h"

namespace {

using vxtest::FromUtf8;

constexpr unsigned kUnknownItem = 26;
constexpr eNA_LOCKTYPE kLock = static_cast<eNA_LOCKTYPE>(1);
// The memos of the table, in the description's order.
constexpr unsigned kNote = 0;
constexpr unsigned kData = 1;
constexpr unsigned kNoSuchMemo = 2;

class MemoOnServer : public vxtest::StatementOnServer
{
protected:
    void SetUp() override
    {
        vxtest::StatementOnServer::SetUp();
        std::string sTemplate = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
                                "/vxmemo.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(sTemplate.data()));
        m_sDir = sTemplate;
    }
    void TearDown() override
    {
        for (const char* psz : {"in.bin", "out.txt", "out.bin", "none.bin"})
            (void)std::remove(Path(psz).c_str());
        (void)rmdir(m_sDir.c_str());
        vxtest::StatementOnServer::TearDown();
    }
    std::string Path(const std::string& sName) const { return m_sDir + "/" + sName; }
    std::wstring WPath(const std::string& sName) const { return FromUtf8(Path(sName)); }
    static void WriteFile(const std::string& sPath, const std::string& sContent)
    {
        std::ofstream(sPath, std::ios::binary) << sContent;
    }
    static std::string ReadFile(const std::string& sPath)
    {
        std::ifstream f(sPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    static bool bExists(const std::string& sPath) { return access(sPath.c_str(), F_OK) == 0; }

    CNADataAccess* Memos()
    {
        return OpenTable("memo", "CREATE TABLE memo (id INT PRIMARY KEY, note TEXT, data LONGBLOB)");
    }
    // The bytes of a wide text, as a Unicode memo holds it.
    static std::string Wide(const char* psz)
    {
        const std::wstring s = FromUtf8(psz);
        return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
    }
    static std::string Content(const CAny& value)
    {
        unsigned long n = 0;
        const void* p = NA_pGetAnyData(value, &n);
        return p != nullptr ? std::string(static_cast<const char*>(p), NA_nGetAnyUtilSize(value)) : std::string();
    }
    // The statement of a browse on the id, made the last statement as a
    // read makes it.
    CNAStatement* Browse(CNADataAccess* pclAccess)
    {
        CNAStatement* pclStatement = pclAccess->_pclGetNewItemStatement(L"id", NADirection::kFirst, 0);
        EXPECT_NE(nullptr, pclStatement);
        m_statements.push_back(pclStatement);
        return pclStatement;
    }
    std::string m_sDir;
};

// Before any browse, written and attached values are read back from the
// current record; after one, through the last statement, which also
// extracts them into files.
TEST_F(MemoOnServer, WrittenAndAttachedMemosAreReadAndExtracted)
{
    CNADataAccess* pclAccess = Memos();
    WriteFile(Path("in.bin"), std::string("\x00\x01\xff", 3));
    CAny value;
    const CAny note = Text("a long note");
    ASSERT_EQ(1, pclAccess->bSetBLOB(kNote, &note)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();

    ASSERT_EQ(1, pclAccess->bGetBLOB(kNote, &value));
    EXPECT_EQ(Wide("a long note"), Content(value));
    ASSERT_EQ(1, pclAccess->bGetBLOB(kData, &value));
    EXPECT_EQ(std::string("\x00\x01\xff", 3), Content(value));

    Browse(pclAccess);
    ASSERT_EQ(1, pclAccess->bGetBLOB(kNote, &value)) << m_pclError->pszGetError();
    EXPECT_EQ(Wide("a long note"), Content(value));
    ASSERT_EQ(1, pclAccess->bExtraitMemo(kNote, WPath("out.txt").c_str())) << m_pclError->pszGetError();
    EXPECT_EQ(Wide("a long note"), ReadFile(Path("out.txt")));
    ASSERT_EQ(1, pclAccess->bExtraitMemo(kData, WPath("out.bin").c_str())) << m_pclError->pszGetError();
    EXPECT_EQ(std::string("\x00\x01\xff", 3), ReadFile(Path("out.bin")));
}

// Memos written and attached by index are what an add sends: the server
// holds the text and the attached file's bytes.
TEST_F(MemoOnServer, WrittenAndAttachedMemosReachTheServer)
{
    CNADataAccess* pclAccess = Memos();
    WriteFile(Path("in.bin"), std::string("\x00\x01\xff", 3));
    const CAny id = Int(1);
    const CAny note = Text("a long note");
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&id, 0));
    ASSERT_EQ(1, pclAccess->bSetBLOB(kNote, &note)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();
    CNAStatement* pclStatement = pclAccess->_pclGetQueryStatement();
    m_statements.push_back(pclStatement);
    ASSERT_EQ(1, pclAccess->_bOperation(pclStatement, NA_QUERY_INSERT, 0, nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ("a long note|0001FF", m_client.Value("SELECT CONCAT(note, '|', HEX(data)) FROM memo WHERE id = 1")
                                        .value_or("(none)"));
}

// A file attached to a memo of a new record is what the add writes, even
// when the memo was read back in between; a file attached afterwards is
// what a modification of that record writes, and so is one attached to the
// memo of a row read from the server.
TEST_F(MemoOnServer, AttachedMemosAreWrittenByAnAddAndAModification)
{
    CNADataAccess* pclAccess = Memos();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO memo VALUES (2, 'kept', UNHEX('AA'))")) << m_client.sError();
    WriteFile(Path("in.bin"), std::string("\x00\x01\xff", 3));
    const CAny id = Int(1);
    ASSERT_EQ(1, Column(pclAccess, L"id")->bSetValue(&id, 0));
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();
    CAny value;
    ASSERT_EQ(1, pclAccess->bGetBLOB(kData, &value)) << m_pclError->pszGetError();
    EXPECT_EQ(std::string("\x00\x01\xff", 3), Content(value));
    ASSERT_EQ(1, pclAccess->bHAjoute(0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ("0001FF", m_client.Value("SELECT HEX(data) FROM memo WHERE id = 1").value_or("(none)"));

    WriteFile(Path("in.bin"), "second");
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ("second", m_client.Value("SELECT data FROM memo WHERE id = 1").value_or("(none)"));

    eNA_LOCKTYPE eLock = kLock;
    ASSERT_EQ(1, pclAccess->bHLitxxx(L"id", NADirection::kLast, 1, kLock, &eLock, 0)) << m_pclError->pszGetError();
    WriteFile(Path("in.bin"), "third");
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bHModifie(0, 0, kLock)) << m_pclError->pszGetError();
    EXPECT_EQ("kept|third", m_client.Value("SELECT CONCAT(note, '|', data) FROM memo WHERE id = 2")
                                .value_or("(none)"));
    EXPECT_EQ("second", m_client.Value("SELECT data FROM memo WHERE id = 1").value_or("(none)"));
}

// After a read the memos come from the row read, through the browse's
// statement: read, extracted into files, then written and attached again
// and sent by a modification.
TEST_F(MemoOnServer, MemosOfTheRowReadAreReadExtractedAndRewritten)
{
    CNADataAccess* pclAccess = Memos();
    ASSERT_TRUE(m_client.bExecute("INSERT INTO memo VALUES (1, 'from the server', UNHEX('ABCD00EF')), "
                                  "(2, NULL, NULL)"))
        << m_client.sError();
    eNA_LOCKTYPE eLock = kLock;
    ASSERT_EQ(1, pclAccess->bHLitxxx(L"id", NADirection::kFirst, 1, kLock, &eLock, 0)) << m_pclError->pszGetError();
    ASSERT_NE(nullptr, pclAccess->pclGetLastStatementNoRef());

    CAny value;
    ASSERT_EQ(1, pclAccess->bGetBLOB(kNote, &value)) << m_pclError->pszGetError();
    EXPECT_EQ(Wide("from the server"), Content(value));
    ASSERT_EQ(1, pclAccess->bGetBLOB(kData, &value)) << m_pclError->pszGetError();
    EXPECT_EQ(std::string("\xab\xcd\x00\xef", 4), Content(value));
    ASSERT_EQ(1, pclAccess->bExtraitMemo(kData, WPath("out.bin").c_str())) << m_pclError->pszGetError();
    EXPECT_EQ(std::string("\xab\xcd\x00\xef", 4), ReadFile(Path("out.bin")));
    ASSERT_EQ(1, pclAccess->bExtraitMemo(kNote, WPath("out.txt").c_str())) << m_pclError->pszGetError();
    EXPECT_EQ(Wide("from the server"), ReadFile(Path("out.txt")));

    WriteFile(Path("in.bin"), "attached");
    const CAny note = Text("rewritten");
    ASSERT_EQ(1, pclAccess->bSetBLOB(kNote, &note)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bHAttacheMemo(kData, WPath("in.bin").c_str())) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bGetBLOB(kNote, &value));
    EXPECT_EQ(Wide("rewritten"), Content(value));
    CNAStatement* pclStatement = pclAccess->_pclGetQueryStatement();
    m_statements.push_back(pclStatement);
    ASSERT_EQ(1, pclAccess->_bOperation(pclStatement, NA_QUERY_UPDATE, 0, nullptr)) << m_pclError->pszGetError();
    EXPECT_EQ("rewritten|attached", m_client.Value("SELECT CONCAT(note, '|', data) FROM memo WHERE id = 1")
                                        .value_or("(none)"));

    // The next row's NULL memos: NULL read, an empty file extracted.
    ASSERT_EQ(1, pclAccess->bHLitxxx(L"id", NADirection::kNext, 1, kLock, &eLock, 0)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclAccess->bGetBLOB(kData, &value));
    EXPECT_TRUE(value.bIsNull());
    ASSERT_EQ(1, pclAccess->bExtraitMemo(kData, WPath("out.bin").c_str())) << m_pclError->pszGetError();
    EXPECT_TRUE(bExists(Path("out.bin")));
    EXPECT_EQ("", ReadFile(Path("out.bin")));
}

// A memo index beyond the data source's memos fails on each operation with
// user error 26 naming the table and the index, on the record path (no
// browse yet) and on the statement path; nothing is written.
TEST_F(MemoOnServer, AnUnknownMemoIndexIsUserError26OnEveryOperation)
{
    struct Case
    {
        const char* pszOperation;
        bool bAfterBrowse;
        std::function<int(CNADataAccess*, const std::wstring&)> call;
    };
    const CAny text = Text("x");
    const Case cases[] = {
        {"read", false, [](CNADataAccess* p, const std::wstring&) { CAny v; return p->bGetBLOB(kNoSuchMemo, &v); }},
        {"write", false, [&](CNADataAccess* p, const std::wstring&) { return p->bSetBLOB(kNoSuchMemo, &text); }},
        {"attach", false, [](CNADataAccess* p, const std::wstring& f) { return p->bHAttacheMemo(kNoSuchMemo, f.c_str()); }},
        {"read", true, [](CNADataAccess* p, const std::wstring&) { CAny v; return p->bGetBLOB(kNoSuchMemo, &v); }},
        {"write", true, [&](CNADataAccess* p, const std::wstring&) { return p->bSetBLOB(kNoSuchMemo, &text); }},
        {"attach", true, [](CNADataAccess* p, const std::wstring& f) { return p->bHAttacheMemo(kNoSuchMemo, f.c_str()); }},
        {"extract", true, [](CNADataAccess* p, const std::wstring& f) { return p->bExtraitMemo(kNoSuchMemo, f.c_str()); }},
    };
    CNADataAccess* pclAccess = Memos();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pszOperation) + (c.bAfterBrowse ? " after a browse" : " before any browse"));
        if (c.bAfterBrowse && pclAccess->pclGetLastStatementNoRef() == nullptr)
            Browse(pclAccess);
        m_pclError->Reset();
        EXPECT_EQ(0, c.call(pclAccess, WPath("none.bin")));
        EXPECT_TRUE(vxtest::ErrorAt(*m_pclError, kUnknownItem, L"3.20"));
        EXPECT_EQ(NA_ERR_GENERAL, m_pclError->eGetErrorType());
        EXPECT_STREQ(L"memo", m_pclError->pszGetLogicalTableName());
        EXPECT_TRUE(vxtest::ErrorHas(*m_pclError, L"<memo>"));
        EXPECT_TRUE(vxtest::ErrorHas(*m_pclError, L"<2>"));
        EXPECT_FALSE(bExists(Path("none.bin")));
    }
}

// Before anything was read: with no current record either, a memo reads as
// NULL; extracting one succeeds and makes no file. With a current record
// (opened, nothing read) the memo is empty and extracting makes no file
// either.
TEST_F(MemoOnServer, BeforeAnyReadAMemoIsNullAndExtractsNothing)
{
    CNADataSourceDescription* pclDescription = nullptr;
    {
        CNADataAccess* pclOpen = Memos();
        pclDescription = static_cast<CNADataSourceDescription*>(pclOpen->piGetDataSourceNoRef());
        CAny value;
        ASSERT_EQ(1, pclOpen->bGetBLOB(kData, &value));
        EXPECT_EQ("", Content(value));
        EXPECT_EQ(1, pclOpen->bExtraitMemo(kData, WPath("none.bin").c_str()));
        EXPECT_FALSE(bExists(Path("none.bin")));
    }
    // Never opened: no current record.
    CNADataAccess* pclClosed = Driver()->pclAllocDataAccess(pclDescription, m_pclConnection, m_pclError);
    REF_AddRef(pclClosed);
    m_accesses.push_back(pclClosed);
    ASSERT_EQ(nullptr, pclClosed->pclGetCurrentRecordNoRef());
    CAny value = Int(5);
    EXPECT_EQ(1, pclClosed->bGetBLOB(kNote, &value));
    EXPECT_TRUE(value.bIsNull());
    EXPECT_EQ(1, pclClosed->bExtraitMemo(kNote, WPath("none.bin").c_str()));
    EXPECT_FALSE(bExists(Path("none.bin")));
    EXPECT_EQ(NA_LEVEL_NOERROR, m_pclError->eGetErrorLevel());
}

}  // namespace
