// The current record's ORDER BY columns (an auto-increment column alone, a
// unique never-NULL column alone, then unique, duplicate and plain columns
// with composite keys expanded, within the connection's maximum), the
// columns found by role, whether a list of columns completes a composite
// unique key, and the column list a statement's command defines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/column_list.h"
#include "native/model/column_null_exclusions.h"
#include "tests/fakes/test_statement.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

class RecordOrder : public RecordTest
{
protected:
    std::wstring Order() const
    {
        std::wstring names;
        for (int i = 0; i < m_record->nGetNbColumnOrder(); ++i)
            names += (i ? L"," : L"") + std::wstring(m_record->pclGetColumnOrderNoRef(i)->pszGetName());
        return names;
    }
    CNAItemDescription* NotNull(CNAItemDescription* item)
    {
        item->SetNullable(0);
        return item;
    }
};

TEST_F(RecordOrder, AnAutoIncrementColumnAlone)
{
    Add(L"CODE", NA_IT_I4, 4, 0x4800);
    NotNull(Add(L"REF", NA_IT_I4, 4, 0x4800));
    Add(L"ID", NA_IT_IDAUTO4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11, 0x2800);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"ID", Order());
    EXPECT_EQ(nullptr, m_record->pclGetColumnOrderNoRef(-1));
    EXPECT_EQ(nullptr, m_record->pclGetColumnOrderNoRef(1));
}

TEST_F(RecordOrder, TheFirstUniqueColumnNeverNullAlone)
{
    Add(L"CODE", NA_IT_I4, 4, 0x4800);
    NotNull(Add(L"REF", NA_IT_I4, 4, 0x4800));
    NotNull(Add(L"REF2", NA_IT_I4, 4, 0x4800));
    Add(L"NAME", NA_IT_TEXTE, 11, 0x2800);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"REF", Order());
}

TEST_F(RecordOrder, NullableOnTheDatabaseIsTheImportedItemsAnswer)
{
    // Not NULL for the host, nullable in the database: it does not order
    // alone.
    NotNull(Add(L"REF", NA_IT_I4, 4, 0x4800));
    Add(L"NAME", NA_IT_TEXTE, 11);
    AddTo(Imported(), L"REF", NA_IT_I4, 4, 0x4800);
    AddTo(Imported(), L"NAME", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"REF,NAME", Order());
}

TEST_F(RecordOrder, UniqueThenDuplicatesThenPlainColumnsWithCompositeKeysExpanded)
{
    Add(L"U1", NA_IT_I4, 4, 0x4800);
    Add(L"P1", NA_IT_TEXTE, 11);
    Add(L"D1", NA_IT_I4, 4, 0x2800);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    Add(L"P2", NA_IT_I4, 4);
    Add(L"P3", NA_IT_I4, 4);
    Add(L"U2", NA_IT_I4, 4, 0x4800);
    AddComposite(L"UC", 0x4800, {L"P3", L"P2"});
    // Skipped: one of its components is listed before it comes.
    AddComposite(L"DC", 0x2800, {L"D1", L"P1"});
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"U1,U2,P3,P2,D1,P1", Order());
}

TEST_F(RecordOrder, AUniqueCompositeKeyNeverNullOrdersAloneByItsComponents)
{
    Add(L"U1", NA_IT_I4, 4, 0x4800);
    Add(L"A", NA_IT_I4, 4);
    Add(L"B", NA_IT_TEXTE, 11);
    CNAItemDescription* key = AddComposite(L"AB", 0x4800, {L"B", L"A"});
    key->SetNullable(0);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"B,A", Order());
}

TEST_F(RecordOrder, AtMostTheConnectionsMaximumButCompositeKeysWhole)
{
    Connection().SetDBKind(4);  // at most 31 ORDER BY expressions
    std::vector<std::wstring> names;
    for (int i = 0; i < 30; ++i)
        names.push_back(L"D" + std::to_wstring(i));
    for (const std::wstring& name : names)
        Add(name.c_str(), NA_IT_I4, 4, 0x2800);
    for (const wchar_t* name : {L"X", L"Y", L"Z", L"W"})
        Add(name, NA_IT_I4, 4);
    AddComposite(L"XYZ", 0x2800, {L"X", L"Y", L"Z"});
    ASSERT_EQ(1, Build());
    // 30 duplicates, then the composite key in whole past the maximum, then
    // no plain column.
    EXPECT_EQ(33, m_record->nGetNbColumnOrder());
    EXPECT_STREQ(L"Z", m_record->pclGetColumnOrderNoRef(32)->pszGetName());
}

TEST_F(RecordOrder, AtMostTheConnectionsMaximumOfPlainColumns)
{
    Connection().SetDBKind(4);
    for (int i = 0; i < 40; ++i)
        Add((L"C" + std::to_wstring(i)).c_str(), NA_IT_I4, 4);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(31, m_record->nGetNbColumnOrder());
    EXPECT_STREQ(L"C30", m_record->pclGetColumnOrderNoRef(30)->pszGetName());
}

TEST_F(RecordOrder, ColumnsByRole)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"CODE", NA_IT_TEXTE, 11, 0x4800);
    Add(L"REF", NA_IT_I4, 4, 0x4800);
    Add(L"SEQ", NA_IT_I8, 8);
    AddTo(Imported(), L"ID", NA_IT_I4, 4);
    AddTo(Imported(), L"SEQ", NA_IT_IDAUTO, 8);
    ASSERT_EQ(1, Build());
    EXPECT_EQ(Col(L"SEQ"), m_record->pclGetNAColumnIdentityNoRef());
    EXPECT_EQ(nullptr, m_record->pclGetColumnIDAutoNoRef());
    EXPECT_EQ(Col(L"CODE"), m_record->pclGetUniqueKeyNoRef());
    EXPECT_EQ(L"CODE,REF,ID,SEQ", Order());

    // The unique key when defined, else the first ORDER BY column when
    // unique and defined, else the first unique defined column.
    EXPECT_EQ(nullptr, m_record->pclGetUniqueKeyNotNullNoRef());
    CAny five = Int(5);
    Col(L"REF")->bSetValue(&five, 0);
    EXPECT_EQ(Col(L"REF"), m_record->pclGetUniqueKeyNotNullNoRef());
    CAny code = Ansi("K");
    Col(L"CODE")->bSetValue(&code, 0);
    EXPECT_EQ(Col(L"CODE"), m_record->pclGetUniqueKeyNotNullNoRef());
}

TEST_F(RecordOrder, ACompositeUniqueKeyCompletedByAList)
{
    Add(L"A", NA_IT_I4, 4);
    Add(L"B", NA_IT_I4, 4);
    Add(L"C", NA_IT_I4, 4);
    AddComposite(L"AB", 0x4800, {L"A", L"B"});
    CNAItemDescription* neverNull = AddComposite(L"BC", 0x4800, {L"B", L"C"});
    neverNull->SetNullable(0);
    ASSERT_EQ(1, Build());
    CNARecord::CColumnArray list(4);
    auto set = [&](std::initializer_list<const wchar_t*> names) {
        list.SupprimeTout();
        for (const wchar_t* name : names) {
            list.Ajoute(Col(name));
            CNARecord::CColumnArray::_AddRef(Col(name));
        }
    };
    constexpr auto kAnd = static_cast<eNAOperator>(2);
    CColumnNullValueExcluded exclusions;

    set({L"A", L"B"});
    // AB may be NULL: neither component is defined.
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, nullptr));
    CAny one = Int(1);
    Col(L"A")->bSetValue(&one, 0);
    EXPECT_EQ(1, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, nullptr));
    // With an exclusion list, what it says of the components decides.
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, &exclusions));
    exclusions.bCombineColumnValuesNullSelected(kAnd, Col(L"B"), 0);
    EXPECT_EQ(1, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, &exclusions));
    // Fewer than 2 columns, or a key with more components than the list.
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(&list, 1, nullptr));
    set({L"C", L"B"});
    // BC is never NULL; the last column of the list must be a component.
    EXPECT_EQ(1, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, &exclusions));
    set({L"A", L"C"});
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(&list, 2, nullptr));
    set({L"B", L"A", L"C"});
    EXPECT_EQ(1, m_record->bComposedKeyUniqueNotNullAdded(&list, 3, nullptr));
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(nullptr, 3, nullptr));
    EXPECT_EQ(0, m_record->bComposedKeyUniqueNotNullAdded(&list, 4, nullptr));
}

TEST_F(RecordOrder, TheColumnListOfAStatementsCommand)
{
    Add(L"ID", NA_IT_IDAUTO, 8);
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    AddComposite(L"ID_NAME", 0x2800, {L"ID", L"NAME"});
    ASSERT_EQ(1, Build());
    auto* statement = new CTestStatement(m_access, m_pclError, m_record);
    REF_AddRef(statement);
    struct Case
    {
        int nFlag;
        int bWithAutoIncrement;
        const wchar_t* pszExpected;
    };
    for (const Case& c : {Case{0, 1, L"`ID`,`NAME`"}, Case{0, 0, L"`NAME`"}, Case{2, 1, L"`ID`,`NAME`,`NOTES`"},
                          Case{1, 0, L"`NAME`"}}) {
        statement->SetBindDefineFlag(c.nFlag);
        CColumnList list;
        EXPECT_EQ(1, list.BuildColumnList(statement, c.bWithAutoIncrement));
        EXPECT_STREQ(c.pszExpected, list.pszGet()) << c.nFlag << " " << c.bWithAutoIncrement;
    }
    CColumnList none;
    EXPECT_EQ(0, none.BuildColumnList(nullptr, 1));
    REF_Release(statement);
}

}  // namespace
