// Memo columns: a value of their own shared with the current row's memo set,
// files attached as values (loaded once, when read) and values extracted to
// files, the write for the database that decides whether the memo changed,
// and the check before a write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

class MemoColumn : public RecordTest
{
protected:
    void SetUp() override
    {
        RecordTest::SetUp();
        const char* pszTmp = std::getenv("TMPDIR");
        m_dir = std::string(pszTmp != nullptr && *pszTmp ? pszTmp : "/tmp") + "/vxmemo.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(m_dir.data()));
        Add(L"ID", NA_IT_I4, 4);
        Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
        Add(L"PHOTO", NA_IT_MEMOBINAIRE, 8);
    }
    void TearDown() override
    {
        RecordTest::TearDown();
        (void)std::system(("rm -rf '" + m_dir + "'").c_str());
    }
    std::string Path(const char* name) const { return m_dir + "/" + name; }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    void Write(const std::string& path, const std::string& content) const
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    CNAConvertVariant* Value(const wchar_t* column) const { return Col(column)->pclGetNAValue(); }
    bool DefinedInRow(const wchar_t* column) const
    {
        return Current()->bItemValueDefined(Col(column)->piGetItemNoRef(), 0) != 0;
    }

    std::string m_dir;
};

TEST_F(MemoColumn, AnAttachedFileIsLoadedOnceWhenRead)
{
    ASSERT_EQ(1, Build());
    const std::string path = Path("photo.bin");
    Write(path, std::string("\x01\x00\x02", 3));
    CNAColumn* photo = Col(L"PHOTO");
    ASSERT_EQ(1, photo->bHAttacheMemo(Wide(path).c_str()));
    EXPECT_EQ(1, photo->bValueDefined(0));
    EXPECT_EQ(1, photo->bValueModified());
    EXPECT_TRUE(Value(L"PHOTO")->pclGetValue()->bIsNull());
    // The row still says NULL until a write marks it; once marked, the
    // attached file is not NULL.
    EXPECT_EQ(1, photo->bNullOrEquivalent());
    photo->_SetItemValueDefinedInQFRecord(1, 0);
    EXPECT_EQ(0, photo->bNullOrEquivalent());

    CAny value;
    ASSERT_EQ(1, photo->bGetCurrentValue(&value, 0));
    EXPECT_EQ(ZLTYPE_BIN, value.nGetTypeCode());
    EXPECT_EQ(std::string("\x01\x00\x02", 3), Content(value));
    Write(path, "changed");
    ASSERT_EQ(1, photo->bGetBLOB(&value));
    EXPECT_EQ(std::string("\x01\x00\x02", 3), Content(value));

    // Written into a file, and back as the row's memo.
    ASSERT_EQ(1, photo->bHExtraitMemo(Wide(Path("out.bin")).c_str()));
    EXPECT_EQ(std::string("\x01\x00\x02", 3), ReadAll(Path("out.bin")));
    EXPECT_EQ(Value(L"PHOTO"), m_record->pclGetCurrentRecordValueNoRef()->pclGetMemoValueNoRef(1));

    // A NULL memo makes an empty file.
    Write(Path("empty.bin"), "old content");
    ASSERT_EQ(1, Col(L"NOTES")->bHExtraitMemo(Wide(Path("empty.bin")).c_str()));
    EXPECT_EQ("", ReadAll(Path("empty.bin")));
    EXPECT_TRUE(NoError());
}

TEST_F(MemoColumn, AFileThatCannotBeReadFailsTheRead)
{
    ASSERT_EQ(1, Build());
    const std::string path = Path("missing.txt");
    ASSERT_EQ(1, Col(L"NOTES")->bHAttacheMemo(Wide(path).c_str()));
    CAny value;
    EXPECT_EQ(0, Col(L"NOTES")->bGetCurrentValue(&value, 0));
    EXPECT_TRUE(ErrorAt(15, L"7.2"));
    EXPECT_EQ(L"<NOTES> = <ERROR RETRIEVING VALUE>", Dump(Col(L"NOTES"), 1));
    EXPECT_EQ(0, Col(L"NOTES")->bHExtraitMemo(Wide(Path("no/such/dir/x")).c_str()));
}

TEST_F(MemoColumn, ASetValueReplacesTheAttachedFile)
{
    ASSERT_EQ(1, Build());
    CNAColumn* notes = Col(L"NOTES");
    notes->bHAttacheMemo(L"/nowhere");
    CAny text = Ansi("a long text");
    ASSERT_EQ(1, notes->bSetValue(&text, 0));
    EXPECT_STREQ(L"", notes->pszGetMemoFile());
    EXPECT_EQ(0, notes->bIsModifiedFlag());
    EXPECT_TRUE(DefinedInRow(L"NOTES"));
    EXPECT_EQ(L"a long text", CurrentText(notes));
    EXPECT_EQ(L"<NOTES> = <a long text>", Dump(notes, 1));
    CAny null = Null(ZLTYPE_DSTRA);
    ASSERT_EQ(1, notes->bSetValue(&null, 0));
    EXPECT_FALSE(DefinedInRow(L"NOTES"));
    EXPECT_EQ(L"<NULL>", CurrentText(notes));
}

TEST_F(MemoColumn, ARowCopiedInCarriesTheMemosThroughTheSharedValues)
{
    ASSERT_EQ(1, Build());
    CAny first = Ansi("first");
    Col(L"NOTES")->bSetValue(&first, 0);
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    CAny second = Ansi("second");
    Col(L"NOTES")->bSetValue(&second, 0);
    EXPECT_EQ(0, m_record->bEquals(m_record->pclGetOriginalRecordValueNoRef(), 1));
    EXPECT_EQ(1, m_record->bEquals(m_record->pclGetOriginalRecordValueNoRef(), 0));
    ASSERT_EQ(1, m_record->bCopyOriginalRecordToCurrentRecord());
    EXPECT_EQ(L"first", CurrentText(Col(L"NOTES")));
    EXPECT_EQ(Value(L"NOTES"), m_record->pclGetCurrentRecordValueNoRef()->pclGetMemoValueNoRef(0));
    // Shared again on demand; a plain column has nothing to share.
    EXPECT_EQ(1, Col(L"NOTES")->_bShareCurrentRecordMemoValue(m_record));
    EXPECT_EQ(1, Col(L"ID")->_bShareCurrentRecordMemoValue(m_record));
}

// The write for the database: whether the memo changed since it was read
// decides whether the value is stored.
TEST_F(MemoColumn, WhetherAMemoChangedForTheDatabase)
{
    ASSERT_EQ(1, Build());
    CNAColumn* notes = Col(L"NOTES");
    CNAConvertVariant* value = Value(L"NOTES");
    const CAny null = Null(ZLTYPE_DSTRA);
    const CAny empty = Ansi("");
    const CAny abc = Ansi("abc");
    const CAny abd = Ansi("abd");

    // Undefined in the original row and NULL: nothing changed.
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&null, 0));
    EXPECT_EQ(0, notes->bIsModifiedFlag());
    // An empty value is NULL for a memo the database allows NULL in.
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&empty, 0));
    EXPECT_EQ(0, notes->bIsModifiedFlag());
    EXPECT_FALSE(DefinedInRow(L"NOTES"));
    // From NULL to a value: changed, stored, marked defined.
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&abc, 0));
    EXPECT_EQ(1, notes->bIsModifiedFlag());
    EXPECT_EQ(L"abc", ValueText(*value));
    EXPECT_TRUE(DefinedInRow(L"NOTES"));

    // Read as "abc": the same value changes nothing and is not stored.
    m_record->bCopyCurrentRecordToOriginalRecord();
    notes->SetNotModified();
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&abc, 0));
    EXPECT_EQ(0, notes->bIsModifiedFlag());
    // Another value: the runtime's inequality says changed.
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&abd, 0));
    EXPECT_EQ(1, notes->bIsModifiedFlag());
    EXPECT_EQ(L"abd", ValueText(*value));
    // Once changed, every value is stored.
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&abc, 0));
    EXPECT_EQ(L"abc", ValueText(*value));

    // A NULL against a value: the inequality fails on the NULL operand,
    // which counts as a change.
    notes->SetNotModified();
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&null, 0));
    EXPECT_EQ(1, notes->bIsModifiedFlag());
    EXPECT_TRUE(value->pclGetValue()->bIsNull());

    // An unread memo: changed and stored.
    notes->SetValueIsUnreadYet();
    ASSERT_EQ(1, notes->_bSetValueMemoToDB(&abc, 0));
    EXPECT_EQ(1, notes->bIsModifiedFlag());
    EXPECT_EQ(NA_VT_ANY, value->eGetVarType());
    EXPECT_EQ(L"abc", ValueText(*value));
    EXPECT_EQ(0, notes->_bSetValueMemoToDB(nullptr, 0));

    // Through the general write.
    notes->SetNotModified();
    ASSERT_EQ(1, notes->bSetValueToDB(&abd, 0));
    EXPECT_EQ(1, notes->bIsModifiedFlag());
}

TEST_F(MemoColumn, TheCheckBeforeAWrite)
{
    ASSERT_EQ(1, Build());
    CNAColumn* notes = Col(L"NOTES");
    CAny text = Ansi("kept");
    notes->bSetValue(&text, 0);
    // Defined in the row: marked again, the value kept.
    ASSERT_EQ(1, notes->bCheckAndCorrectQFRecordValues(0));
    EXPECT_TRUE(DefinedInRow(L"NOTES"));
    EXPECT_EQ(L"kept", ValueText(*Value(L"NOTES")));
    // Undefined in the row: a NULL memo value is written.
    Current()->SetItemValueDefined(notes->piGetItemNoRef(), 0, 0);
    ASSERT_EQ(1, notes->bCheckAndCorrectQFRecordValues(0));
    EXPECT_TRUE(Value(L"NOTES")->pclGetValue()->bIsNull());
}

}  // namespace
