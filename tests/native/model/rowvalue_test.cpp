// Row values and memo sets: parts shared and copied by flag, the release
// order a kind-1 identity relies on, memo sets grown, copied and compared,
// item and memo values read, and what happens when memory runs out.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "native/driver/error_object.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/model/row_fixture.h"

namespace {

using vxtest::Bytes;
using vxtest::Octets;
using vxtest::RowBytes;

class RowValues : public vxtest::RowTest
{
protected:
    // A memo set of these texts (null: a null entry), held until the end.
    CNARecordMemo* Memo(std::initializer_list<const char*> texts)
    {
        auto* pclMemo = new CNARecordMemo;
        pclMemo->dwAddRef();
        m_memos.emplace_back(pclMemo, [](CNARecordMemo* p) { p->dwRelease(); });
        int n = 0;
        for (const char* psz : texts) {
            EXPECT_EQ(1, pclMemo->bSetValue(n++, psz != nullptr ? AnsiValue(psz) : nullptr));
        }
        return pclMemo;
    }
    std::vector<std::string> Texts(const CNARecordMemo* pclMemo) const
    {
        std::vector<std::string> texts;
        for (int i = 0; pclMemo != nullptr && i < pclMemo->nGetCount(); ++i)
            texts.push_back(TextOf(pclMemo->pclGetNoRef(i)));
        return texts;
    }
    void TearDown() override
    {
        m_memos.clear();
        vxtest::RowTest::TearDown();
    }
    bool OutOfMemoryAt(const wchar_t* pszSite) const
    {
        return m_pclError->eGetErrorType() == NA_ERR_GENERAL &&
               ErrorText().find(std::wstring(L"IEZODIRA=") + pszSite + L"\r\n") != std::wstring::npos;
    }

    std::vector<std::unique_ptr<CNARecordMemo, void (*)(CNARecordMemo*)>> m_memos;
};

TEST_F(RowValues, StartEmptyOnTheirErrorObject)
{
    const unsigned nBefore = m_pclError->nGetRef();
    CNARecordValue* pclRow = EmptyRow();
    EXPECT_EQ(m_pclError, pclRow->pclGetErrorNoRef());
    EXPECT_EQ(nBefore + 1, m_pclError->nGetRef());
    EXPECT_EQ(nullptr, pclRow->pclGetNAQFRecordNoRef());
    EXPECT_EQ(nullptr, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ(nullptr, pclRow->pclGetRecordIDNoRef());
    EXPECT_EQ(NA_RS_PRESENT, pclRow->eGetRecordState());

    // Without one, the driver's factory gives it its own.
    auto* pclOwn = new CNARecordValue(nullptr);
    ASSERT_NE(nullptr, pclOwn->pclGetErrorNoRef());
    EXPECT_NE(m_pclError, pclOwn->pclGetErrorNoRef());
    EXPECT_EQ(1u, pclOwn->pclGetErrorNoRef()->nGetRef());
    delete pclOwn;
}

// What the destruction order is seen by: an identity that reads the record
// bytes it points at when it goes (a freed buffer is caught by the address
// sanitizer), a memo set and an error object that say when they go.
std::vector<std::string> g_ends;

class CWatchingId : public CNARecordId_RecordValues
{
public:
    explicit CWatchingId(const CNARecordValue* pclRow) : CNARecordId_RecordValues(pclRow) {}
    ~CWatchingId() override
    {
        g_ends.push_back("identity");
        EXPECT_NE(0u, dwGetHashVal() + 1);  // reads every byte of the record
    }
};
class CWatchingMemo : public CNARecordMemo
{
public:
    ~CWatchingMemo() override { g_ends.push_back("memo set"); }
};
class CWatchingError : public CNAError
{
public:
    ~CWatchingError() override { g_ends.push_back("error object"); }
};

TEST_F(RowValues, GoIdentityFirstThenMemoSetBufferAndErrorObject)
{
    g_ends.clear();
    auto* pclRow = new CNARecordValue(new CWatchingError);
    CNAQFRecord* pclRecord = vxtest::RawRecord(Octets(64, 0x5A));
    ASSERT_EQ(1, pclRow->bCopyNAQFRecord(pclRecord));
    delete pclRecord;
    auto* pclMemo = new CWatchingMemo;
    ASSERT_EQ(1, pclMemo->bSetValue(0, AnsiValue("m")));
    pclRow->bShareTabMemoValue(pclMemo);
    pclRow->bShareRecordID(new CWatchingId(pclRow));
    delete pclRow;
    EXPECT_EQ((std::vector<std::string>{"identity", "memo set", "error object"}), g_ends);

    // Releasing the buffer alone takes the identity with it.
    g_ends.clear();
    CNARecordValue* pclOther = Row(Octets(32, 1), false);
    pclOther->bShareRecordID(new CWatchingId(pclOther));
    pclOther->_FreeNAQFRecord();
    EXPECT_EQ((std::vector<std::string>{"identity"}), g_ends);
    EXPECT_EQ(nullptr, pclOther->pclGetRecordIDNoRef());
}

TEST_F(RowValues, CopyFlagsChooseWhatIsCopied)
{
    CNARecordValue* pclSource = Row(Bytes("source bytes"));
    ASSERT_EQ(1, pclSource->bShareMemoValue(1, AnsiValue("memo")));
    pclSource->SetRecordState(NA_RS_DELETED);

    const struct
    {
        int flags;
        bool record, memo, id;
    } cases[] = {
        {0, false, false, false},
        {CNARecordValue::COPY_RECORD, true, false, false},
        {CNARecordValue::COPY_MEMO, false, true, false},
        {CNARecordValue::COPY_RECORDID, false, false, true},
        {5, true, false, true},
        {CNARecordValue::COPY_ALL, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        CNARecordValue* pclCopy = EmptyRow();
        ASSERT_EQ(1, pclCopy->bCopyRecordValue(pclSource, static_cast<CNARecordValue::eCOPYFLAGS>(c.flags)));
        EXPECT_EQ(NA_RS_DELETED, pclCopy->eGetRecordState()) << "the state is always copied";
        EXPECT_EQ(c.record ? Bytes("source bytes") : Octets(), RowBytes(*pclCopy));
        EXPECT_EQ(c.record, pclCopy->pclGetNAQFRecordNoRef() != nullptr);
        EXPECT_NE(pclSource->pclGetNAQFRecordNoRef(), pclCopy->pclGetNAQFRecordNoRef());
        EXPECT_EQ(c.memo, pclCopy->pclGetRecordMemoNoRef() != nullptr);
        EXPECT_NE(pclSource->pclGetRecordMemoNoRef(), pclCopy->pclGetRecordMemoNoRef());
        if (c.memo) {
            EXPECT_EQ((std::vector<std::string>{"<none>", "memo"}), Texts(pclCopy->pclGetRecordMemoNoRef()));
            EXPECT_NE(pclSource->pclGetMemoValueNoRef(1), pclCopy->pclGetMemoValueNoRef(1));
        }
        const CNARecordId* pclId = pclCopy->pclGetRecordIDNoRef();
        ASSERT_EQ(c.id, pclId != nullptr);
        if (pclId != nullptr) {
            // The copy's identity stands for the copy's own parts.
            const auto* pclValues = static_cast<const CNARecordId_RecordValues*>(pclId);
            EXPECT_NE(pclSource->pclGetRecordIDNoRef(), pclId);
            EXPECT_EQ(c.record ? pclCopy->pclGetNAQFRecordNoRef()->pbyGetBuffer() : nullptr, pclValues->pbyGetRecord());
            EXPECT_EQ(pclCopy->pclGetRecordMemoNoRef(), pclValues->pclGetMemoNoRef());
        }
    }

    // A clone shares the error object and copies by the same flags.
    CNARecordValue* pclClone = pclSource->pclGetClone(CNARecordValue::COPY_ALL);
    ASSERT_NE(nullptr, pclClone);
    REF_AddRef(pclClone);
    m_rows.push_back(pclClone);
    EXPECT_EQ(m_pclError, pclClone->pclGetErrorNoRef());
    EXPECT_TRUE(pclClone->bEquals(pclSource, 1));
    EXPECT_TRUE(pclClone->pclGetRecordIDNoRef()->bEqualRecordId(pclSource->pclGetRecordIDNoRef()));
}

TEST_F(RowValues, CopiesWriteIntoTheRowsOwnParts)
{
    CNARecordValue* pclRow = Row(Bytes("0123456789"));
    ASSERT_EQ(1, pclRow->bShareMemoValue(0, AnsiValue("old")));
    CNAQFRecord* pclRecord = pclRow->pclGetNAQFRecordNoRef();
    CNARecordMemo* pclMemo = pclRow->pclGetRecordMemoNoRef();
    CNAConvertVariant* pclHolder = pclRow->pclGetMemoValueNoRef(0);
    CNARecordId* pclId = pclRow->pclGetRecordIDNoRef();

    CNARecordValue* pclSource = Row(Bytes("abcdefghij"));
    ASSERT_EQ(1, pclSource->bShareMemoValue(0, AnsiValue("new")));
    ASSERT_EQ(1, pclRow->bCopyRecordValue(pclSource, CNARecordValue::COPY_ALL));
    EXPECT_EQ(pclRecord, pclRow->pclGetNAQFRecordNoRef());
    EXPECT_EQ(pclMemo, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ(pclHolder, pclRow->pclGetMemoValueNoRef(0)) << "a column may share the holder";
    EXPECT_EQ(pclId, pclRow->pclGetRecordIDNoRef());
    EXPECT_EQ(Bytes("abcdefghij"), RowBytes(*pclRow));
    EXPECT_EQ("new", TextOf(pclHolder));
    EXPECT_TRUE(pclId->bEqualRecordId(pclSource->pclGetRecordIDNoRef()));

    // A source without buffer or identity leaves the row without them.
    ASSERT_EQ(1, pclRow->bCopyRecordValue(EmptyRow(), CNARecordValue::COPY_ALL));
    EXPECT_EQ(nullptr, pclRow->pclGetNAQFRecordNoRef());
    EXPECT_EQ(nullptr, pclRow->pclGetRecordIDNoRef());
    EXPECT_EQ(pclMemo, pclRow->pclGetRecordMemoNoRef()) << "leftover memo entries stay, as NULL";
    EXPECT_EQ("<NULL>", TextOf(pclHolder));
    EXPECT_EQ(0, pclRow->bCopyRecordValue(nullptr, CNARecordValue::COPY_ALL));
}

TEST_F(RowValues, IdentityCopyKeepsTheKindOrTakesAClone)
{
    CNARecordValue* pclRow = Row(Bytes("row"), false);
    CNARecordValue* pclOther = Row(Bytes("other"));

    // None yet: a clone over this row, with the row's one reference.
    ASSERT_EQ(1, pclRow->bCopyRecordID(pclOther->pclGetRecordIDNoRef()));
    auto* pclId = static_cast<CNARecordId_RecordValues*>(pclRow->pclGetRecordIDNoRef());
    ASSERT_NE(nullptr, pclId);
    EXPECT_NE(pclOther->pclGetRecordIDNoRef(), pclId);
    EXPECT_EQ(1u, pclId->dwGetRefCount());
    EXPECT_EQ(pclRow->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pclId->pbyGetRecord());

    // Same kind: the identity's own copy, the object kept.
    ASSERT_EQ(1, pclRow->bCopyRecordID(pclOther->pclGetRecordIDNoRef()));
    EXPECT_EQ(pclId, pclRow->pclGetRecordIDNoRef());
    EXPECT_EQ(pclRow->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pclId->pbyGetRecord());

    // Another kind: replaced by a clone of the given one.
    CNAConvertVariant* pclValue = OwnBufferVariant(ZLTYPE_BIN, 8);
    ASSERT_EQ(1, pclValue->bSetValue(reinterpret_cast<const unsigned char*>("id"), 2));
    auto* pclRowId = new CNARecordId_RowId(pclValue);
    pclOther->bShareRecordID(pclRowId);
    ASSERT_EQ(1, pclRow->bCopyRecordID(pclRowId));
    ASSERT_EQ(NA_RECORDID_ROWID, pclRow->pclGetRecordIDNoRef()->eGetRecordIdType());
    EXPECT_NE(pclRowId, pclRow->pclGetRecordIDNoRef());
    EXPECT_TRUE(pclRow->pclGetRecordIDNoRef()->bEqualRecordId(pclRowId));

    // Sharing adds a reference on the same object; null leaves none.
    pclRow->bShareRecordID(pclRowId);
    EXPECT_EQ(2u, pclRowId->dwGetRefCount());
    pclRow->bShareRecordID(nullptr);
    EXPECT_EQ(1u, pclRowId->dwGetRefCount());
    EXPECT_EQ(nullptr, pclRow->pclGetRecordIDNoRef());
}

TEST_F(RowValues, SharedMemoSetsNeedEntries)
{
    CNARecordValue* pclRow = EmptyRow();
    CNARecordMemo* pclEmpty = Memo({});
    pclRow->bShareTabMemoValue(pclEmpty);
    EXPECT_EQ(nullptr, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ(1u, pclEmpty->dwGetRefCount());

    CNARecordMemo* pclMemo = Memo({"a"});
    pclRow->bShareTabMemoValue(pclMemo);
    EXPECT_EQ(pclMemo, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ(2u, pclMemo->dwGetRefCount());
    pclRow->bShareTabMemoValue(pclMemo);
    EXPECT_EQ(2u, pclMemo->dwGetRefCount());
    pclRow->bShareTabMemoValue(nullptr);
    EXPECT_EQ(1u, pclMemo->dwGetRefCount());
}

TEST_F(RowValues, CopyingNoEntriesReleasesOnlyASetWithoutEntries)
{
    CNARecordValue* pclRow = EmptyRow();
    ASSERT_EQ(1, pclRow->_bAllocTabMemoValue());
    ASSERT_NE(nullptr, pclRow->pclGetRecordMemoNoRef());
    ASSERT_EQ(1, pclRow->bCopyTabMemoValue(Memo({})));
    EXPECT_EQ(nullptr, pclRow->pclGetRecordMemoNoRef());
    ASSERT_EQ(1, pclRow->bCopyTabMemoValue(nullptr));
    EXPECT_EQ(nullptr, pclRow->pclGetRecordMemoNoRef());

    ASSERT_EQ(1, pclRow->bCopyTabMemoValue(Memo({"x", nullptr, "z"})));
    CNARecordMemo* pclOwn = pclRow->pclGetRecordMemoNoRef();
    ASSERT_NE(nullptr, pclOwn);
    EXPECT_EQ((std::vector<std::string>{"x", "<none>", "z"}), Texts(pclOwn));
    ASSERT_EQ(1, pclRow->bCopyTabMemoValue(nullptr));
    EXPECT_EQ(pclOwn, pclRow->pclGetRecordMemoNoRef());
    EXPECT_EQ((std::vector<std::string>{"<NULL>", "<none>", "<NULL>"}), Texts(pclOwn));
}

TEST_F(RowValues, MemoSetsGrowToTheIndexGiven)
{
    CNARecordValue* pclRow = EmptyRow();
    CNAConvertVariant* pclValue = AnsiValue("h");
    const uint32_t nBefore = pclValue->m_dwRefCount;
    ASSERT_EQ(1, pclRow->bShareMemoValue(3, pclValue));
    CNARecordMemo* pclMemo = pclRow->pclGetRecordMemoNoRef();
    ASSERT_NE(nullptr, pclMemo);
    ASSERT_EQ(4, pclMemo->nGetCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(nullptr, pclRow->pclGetMemoValueNoRef(i)) << i;
    EXPECT_EQ(pclValue, pclRow->pclGetMemoValueNoRef(3));
    EXPECT_EQ(nBefore + 1, pclValue->m_dwRefCount);

    // Replacing an entry gives back the former holder's reference.
    ASSERT_EQ(1, pclRow->bShareMemoValue(3, AnsiValue("other")));
    EXPECT_EQ(nBefore, pclValue->m_dwRefCount);
    // A copy is a clone of its own.
    ASSERT_EQ(1, pclRow->bCopyMemoValue(5, pclValue));
    EXPECT_NE(pclValue, pclRow->pclGetMemoValueNoRef(5));
    EXPECT_EQ("h", TextOf(pclRow->pclGetMemoValueNoRef(5)));
    EXPECT_EQ(6, pclMemo->nGetCount());

    // Outside the set, nothing; a negative index names no entry.
    EXPECT_EQ(nullptr, pclRow->pclGetMemoValueNoRef(6));
    EXPECT_EQ(nullptr, pclRow->pclGetMemoValueNoRef(-1));
    EXPECT_EQ(nullptr, EmptyRow()->pclGetMemoValueNoRef(0));
    EXPECT_EQ(0, pclRow->bShareMemoValue(-1, pclValue));
    EXPECT_EQ(0, pclRow->bCopyMemoValue(-1, pclValue));
    EXPECT_EQ(6, pclMemo->nGetCount());

    CNAConvertVariant* pclHeld = pclRow->pclGetMemoValue(5);
    EXPECT_EQ(2u, pclHeld->m_dwRefCount);
    pclHeld->nRelease();
}

TEST_F(RowValues, MemoCopiesKeepLeftoverHoldersAsNull)
{
    CNARecordMemo* pclTarget = Memo({"a", "b", "c", "d"});
    CNAConvertVariant* pclThird = pclTarget->pclGetNoRef(2);
    ASSERT_EQ(1, pclTarget->bCopyRecordMemo(Memo({"x", "y"})));
    EXPECT_EQ((std::vector<std::string>{"x", "y", "<NULL>", "<NULL>"}), Texts(pclTarget));
    EXPECT_EQ(pclThird, pclTarget->pclGetNoRef(2));

    // A null entry receives a clone; an existing one is copied into.
    CNARecordMemo* pclHoles = Memo({nullptr, "keep"});
    CNAConvertVariant* pclKept = pclHoles->pclGetNoRef(1);
    CNARecordMemo* pclSource = Memo({"one", "two", nullptr});
    ASSERT_EQ(1, pclHoles->bCopyRecordMemo(pclSource));
    EXPECT_EQ((std::vector<std::string>{"one", "two", "<none>"}), Texts(pclHoles));
    EXPECT_NE(pclSource->pclGetNoRef(0), pclHoles->pclGetNoRef(0));
    EXPECT_EQ(pclKept, pclHoles->pclGetNoRef(1));
}

TEST_F(RowValues, MemoSetsCompareMissingEntriesAsNull)
{
    CNARecordMemo* pclShort = Memo({"same"});
    CNARecordMemo* pclLong = Memo({"same", nullptr, "x"});
    pclLong->pclGetNoRef(2)->SetNull();
    const struct
    {
        const CNARecordMemo* a;
        const CNARecordMemo* b;
        bool equal;
    } cases[] = {
        {pclShort, pclLong, true},
        {pclShort, pclShort, true},
        {nullptr, nullptr, true},
        {nullptr, Memo({}), true},
        {nullptr, Memo({nullptr}), true},
        {pclShort, Memo({"other"}), false},
        {pclShort, Memo({"same", "more"}), false},
        {nullptr, pclShort, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.equal, CNARecordMemo::g_bEqualsNARecordMemo(c.a, c.b) != 0) << Texts(c.a).size() << "/" << Texts(c.b).size();
        EXPECT_EQ(c.equal, CNARecordMemo::g_bEqualsNARecordMemo(c.b, c.a) != 0);
    }
}

TEST_F(RowValues, EqualByBuffersAndByMemosWhenAsked)
{
    CNARecordValue* pclA = Row(Bytes("row"));
    CNARecordValue* pclB = Row(Bytes("row"), false);
    pclB->SetRecordState(NA_RS_DELETED);
    EXPECT_TRUE(pclA->bEquals(pclB, 1)) << "identities and states are not compared";
    ASSERT_EQ(1, pclB->bShareMemoValue(0, AnsiValue("memo")));
    EXPECT_TRUE(pclA->bEquals(pclB, 0));
    EXPECT_FALSE(pclA->bEquals(pclB, 1));
    EXPECT_FALSE(pclA->bEquals(Row(Bytes("roW")), 0));
    EXPECT_FALSE(pclA->bEquals(Row(Bytes("rows")), 0));
    EXPECT_FALSE(pclA->bEquals(EmptyRow(), 0));
    EXPECT_FALSE(EmptyRow()->bEquals(pclA, 0));
    EXPECT_TRUE(EmptyRow()->bEquals(EmptyRow(), 1));
    EXPECT_FALSE(pclA->bEquals(nullptr, 0));
}

TEST_F(RowValues, ReadItemsByTheirNullFlagsAndMemosByIndex)
{
    StandinDataSourceDescription host({{L"N", NA_IT_I4, 4}, {L"T", NA_IT_TEXTE, 8}});
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    CAny value;
    value.SetI4(1234);
    record.SetItemValue(&host.Item(0), &value, 0);
    CNARecordValue* pclRow = EmptyRow();
    ASSERT_EQ(1, pclRow->bCopyNAQFRecord(&record));

    CAny read;
    ASSERT_EQ(1, pclRow->bGetItemValue(&read, &host.Item(0)));
    EXPECT_FALSE(read.bIsNull());
    EXPECT_EQ(L"1234", Text(read));
    read.SetI4(5);
    ASSERT_EQ(1, pclRow->bGetItemValue(&read, &host.Item(1)));
    EXPECT_TRUE(read.bIsNull());
    read.SetI4(5);
    ASSERT_EQ(1, EmptyRow()->bGetItemValue(&read, &host.Item(0)));
    EXPECT_TRUE(read.bIsNull());

    ASSERT_EQ(1, pclRow->bShareMemoValue(1, AnsiValue("memo text")));
    ASSERT_EQ(1, pclRow->bGetMemoValue(&read, 1));
    EXPECT_EQ(L"memo text", Text(read));
    for (int n : {0, 2, -1}) {
        read.SetI4(5);
        ASSERT_EQ(1, pclRow->bGetMemoValue(&read, n));
        EXPECT_TRUE(read.bIsNull()) << n;
    }
    pclRow->_FreeNAQFRecord();
    EXPECT_TRUE(host.bBalanced());
}

TEST_F(RowValues, MemoryShortageAnswersZeroWithTheError)
{
    CNARecordValue* pclRow = EmptyRow();
    ASSERT_EQ(1, pclRow->bShareMemoValue(0, AnsiValue("kept")));
    CNAConvertVariant* pclValue = AnsiValue("v");
    {
        vxtest::XmallocFailures failures;
        failures.FailAll(true);
        EXPECT_EQ(0, pclRow->bShareMemoValue(400, pclValue));
    }
    EXPECT_TRUE(OutOfMemoryAt(L"11.53")) << std::string(ErrorText().begin(), ErrorText().end());
    EXPECT_EQ(1, pclRow->pclGetRecordMemoNoRef()->nGetCount()) << "the set unchanged";
    EXPECT_EQ(1u, pclValue->m_dwRefCount);
}

}  // namespace
