// The columns of a statement's current record, as the driver's column
// factory makes them: each reads its value from the statement's execution
// statement by its item's physical index, and marks the item in the current
// row defined exactly when the value is not NULL; a memo whose read fails
// is NULL and 0; a failed read of another column still marks it and gives
// 0, with the execution statement's error in the statement's.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "native/access/sql_column.h"
#include "native/access/statement_sql.h"
#include "tests/fakes/test_statement.h"
#include "tests/native/model/record_fixture.h"

namespace {

// An execution statement of one current row: per column a text, NULL
// (nullopt), or no entry for a read that fails.
class CRowStatementSQL : public CNAStatementSQL
{
public:
    using CNAStatementSQL::CNAStatementSQL;
    using CNAStatementSQL::bGetValue;
    int bGetValue(CNAConvertVariant* pclValue, unsigned nColumn, unsigned) override
    {
        ++reads[nColumn];
        const auto it = row.find(nColumn);
        if (it == row.end()) {
            m_pclError->AddError(NA_ERR_GENERAL, 12u, NA_SRC_DB_STATEMENTSQL, 1, m_pclConnection);
            return 0;
        }
        if (!it->second.has_value()) {
            pclValue->SetNull();
            return 1;
        }
        return pclValue->bSetValueDB(it->second->c_str(), static_cast<long>(it->second->size()), 1252);
    }
    std::map<unsigned, std::optional<std::string>> row;
    std::map<unsigned, int> reads;
};

class SQLColumns : public vxtest::RecordTest
{
protected:
    // The driver's own column factory (slot 50).
    void Choose(CTestDriverChoices& choices) override { choices.allocDataAccess = TestDataAccessFactory(); }
    void SetUp() override
    {
        vxtest::RecordTest::SetUp();
        Add(L"NAME", NA_IT_TEXTE, 21);
        Add(L"N", NA_IT_I4, 4);
        Add(L"NOTE", NA_IT_MEMOTEXTE, 8);
        ASSERT_EQ(1, Build());
        m_pclStatementError = new CNAError;
        m_pclStatementError->AddRef();
        m_pclStatement = new CTestStatement(m_access, m_pclStatementError, m_record);
        REF_AddRef(m_pclStatement);
        m_pclRows = new CRowStatementSQL(m_pclConnection, m_pclError);
        m_pclStatement->SetStatementSQL(m_pclRows);
    }
    void TearDown() override
    {
        REF_Release(m_pclStatement);
        m_pclStatementError->nRelease();
        vxtest::RecordTest::TearDown();
    }
    int bDefined(const wchar_t* pszName) const
    {
        return Current()->bItemValueDefined(Col(pszName)->piGetItemNoRef(), 0);
    }

    CNAError* m_pclStatementError = nullptr;
    CTestStatement* m_pclStatement = nullptr;
    CRowStatementSQL* m_pclRows = nullptr;
};

TEST_F(SQLColumns, TheFactoryMakesThemForNamedItemTypes)
{
    for (const wchar_t* pszName : {L"NAME", L"N", L"NOTE"})
        EXPECT_NE(nullptr, dynamic_cast<CNASQLColumn*>(Col(pszName))) << pszName;
}

TEST_F(SQLColumns, AValueMarksItsItemDefinedExactlyWhenNotNull)
{
    m_pclRows->row = {{0, std::string("Dupont")}, {1, std::nullopt}, {2, std::string("a note")}};
    for (const wchar_t* pszName : {L"NAME", L"N", L"NOTE"})
        EXPECT_EQ(1, Col(pszName)->bSetValueFromDB(m_pclStatement, 0)) << pszName;
    EXPECT_EQ((std::map<unsigned, int>{{0, 1}, {1, 1}, {2, 1}}), m_pclRows->reads) << "by physical index";
    EXPECT_EQ(1, bDefined(L"NAME"));
    EXPECT_EQ(0, bDefined(L"N"));
    CAny value;
    ASSERT_EQ(1, Col(L"NAME")->bGetCurrentValue(&value, 0));
    EXPECT_EQ(L"Dupont", Text(value));

    // The same columns read again from another row.
    m_pclRows->row = {{0, std::nullopt}, {1, std::string("42")}, {2, std::nullopt}};
    for (const wchar_t* pszName : {L"NAME", L"N", L"NOTE"})
        EXPECT_EQ(1, Col(pszName)->bSetValueFromDB(m_pclStatement, 0)) << pszName;
    EXPECT_EQ(0, bDefined(L"NAME"));
    EXPECT_EQ(1, bDefined(L"N"));
}

TEST_F(SQLColumns, AFailedRead)
{
    m_pclRows->row = {{0, std::string("Dupont")}, {1, std::string("7")}, {2, std::string("a note")}};
    for (const wchar_t* pszName : {L"NAME", L"N", L"NOTE"})
        ASSERT_EQ(1, Col(pszName)->bSetValueFromDB(m_pclStatement, 0));
    m_pclRows->row.clear();
    // A memo: NULL and 0.
    CNAColumn* pclNote = Col(L"NOTE");
    EXPECT_EQ(0, pclNote->bSetValueFromDB(m_pclStatement, 0));
    EXPECT_TRUE(pclNote->pclGetNAValue()->pclGetValue()->bIsNull());
    EXPECT_EQ(12u, m_pclStatementError->dwGetErrorId()) << "the execution statement's error is the statement's";
    // Another column: 0, and the mark is set again from its value, which the
    // failed read left as it was.
    Current()->SetItemValueDefined(Col(L"N")->piGetItemNoRef(), 0, 0);
    EXPECT_EQ(0, Col(L"N")->bSetValueFromDB(m_pclStatement, 0));
    EXPECT_EQ(1, bDefined(L"N"));
    // Without an execution statement nothing is read.
    m_pclStatement->SetStatementSQL(nullptr);
    EXPECT_EQ(0, Col(L"NAME")->bSetValueFromDB(m_pclStatement, 0));
}

}  // namespace
