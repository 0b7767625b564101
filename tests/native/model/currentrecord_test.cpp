// The current record built from a description: one column per item with its
// roles (auto-increment, unique key, memos, composite unique keys), row
// buffers with the items' defaults and an identity from the data access,
// the current and original rows, a record buffer taken from the host, the
// rebuild after a type change, the readable dump, and the failures: a
// description without items (user error 1 at 11.1), a composite key whose
// component has no column (user error 26 at 11.2).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "native/access/data_access.h"
#include "native/model/record_id.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

class CurrentRecord : public RecordTest
{
protected:
    // ID (auto-increment), CODE (unique), NAME, NOTES (text memo), PHOTO
    // (binary memo), CODE_NAME (unique composite), NAME_ID (composite with
    // duplicates).
    void Customer()
    {
        Add(L"ID", NA_IT_IDAUTO, 8);
        Add(L"CODE", NA_IT_TEXTE, 11, 0x4800);
        CNAItemDescription* name = Add(L"NAME", NA_IT_TEXTE, 31);
        CAny anon = Ansi("anon");
        name->SetDefaultValue(&anon, 0);
        Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
        Add(L"PHOTO", NA_IT_MEMOBINAIRE, 8);
        AddComposite(L"CODE_NAME", 0x4800, {L"CODE", L"NAME"});
        AddComposite(L"NAME_ID", 0x2800, {L"NAME", L"ID"});
    }
    std::wstring Names(const CNARecord::CColumnArray& list) const
    {
        std::wstring names;
        for (int i = 0; i < list.nGetNbElement(); ++i)
            names += (i ? L"," : L"") + std::wstring(list[i]->pszGetName());
        return names;
    }
};

TEST_F(CurrentRecord, SlotsInTheirOrder)
{
    using NameLookUp = CNAColumn* (CNARecord::*)(const wchar_t*);
    vxtest::ExpectSlots("CNARecord", {
                                         VX_SLOT_AS(CNARecord, pclGetColumnNoRef, NameLookUp, 3),
                                         VX_SLOT(CNARecord, bInitRecord, 4),
                                         VX_SLOT(CNARecord, SetDeleted, 5),
                                         VX_SLOT(CNARecord, _pclAllocColumn, 6),
                                     });
    EXPECT_EQ(7, VX_SLOT_COUNT(CNARecord));
}

TEST_F(CurrentRecord, OneColumnPerItemWithItsRoles)
{
    Customer();
    ASSERT_EQ(1, Build());
    ASSERT_EQ(7, m_record->nGetNbColumn());
    EXPECT_STREQ(L"ID", m_record->pclGetColumnNoRef(0)->pszGetName());
    EXPECT_STREQ(L"NAME_ID", m_record->pclGetColumnNoRef(6)->pszGetName());
    EXPECT_EQ(nullptr, m_record->pclGetColumnNoRef(7));
    EXPECT_EQ(nullptr, m_record->pclGetColumnNoRef(-1));
    EXPECT_EQ(Col(L"ID"), m_record->pclGetColumnIDAutoNoRef());
    EXPECT_EQ(Col(L"CODE"), m_record->pclGetUniqueKeyNoRef());
    EXPECT_EQ(L"NOTES,PHOTO", Names(*m_record->pclGetTabColumnMemo()));
    EXPECT_EQ(L"CODE_NAME", Names(*m_record->pclGetTabComposedKeyUnique()));
    EXPECT_EQ(L"CODE,NAME", Names(*Col(L"CODE_NAME")->pclGetTabComponent()));
    EXPECT_EQ(L"NAME,ID", Names(*Col(L"NAME_ID")->pclGetTabComponent()));
    EXPECT_EQ(nullptr, Col(L"NAME")->pclGetTabComponent());
    EXPECT_STREQ(L"`CODE`", Col(L"CODE")->pszGetFormatedName());
    EXPECT_STREQ(L"CUSTOMER", m_record->pszGetTableName());
    EXPECT_EQ(m_pclConnection, m_record->pclGetConnectionNoRef());

    // Plain columns live in their slots of the current row, memos in their
    // own value shared with the current row's memo set, composite keys have
    // no value of their own.
    for (const wchar_t* name : {L"ID", L"CODE", L"NAME"}) {
        CNAConvertVariant* value = Col(name)->pclGetNAValue();
        ASSERT_NE(nullptr, value);
        EXPECT_EQ(NA_VT_RECORD, value->eGetVarType());
        EXPECT_EQ(Current()->pbyGetItemValue(Col(name)->piGetItemNoRef(), 0), value->pGetData());
    }
    CNARecordValue* current = m_record->pclGetCurrentRecordValueNoRef();
    EXPECT_EQ(0, Col(L"NOTES")->nGetMemoIndice());
    EXPECT_EQ(1, Col(L"PHOTO")->nGetMemoIndice());
    EXPECT_EQ(-1, Col(L"NAME")->nGetMemoIndice());
    EXPECT_EQ(NA_VT_ANY, Col(L"PHOTO")->pclGetNAValue()->eGetVarType());
    EXPECT_EQ(Col(L"NOTES")->pclGetNAValue(), current->pclGetMemoValueNoRef(0));
    EXPECT_EQ(Col(L"PHOTO")->pclGetNAValue(), current->pclGetMemoValueNoRef(1));
    EXPECT_EQ(nullptr, Col(L"CODE_NAME")->pclGetNAValue());
}

TEST_F(CurrentRecord, RowsStartWithTheDefaultsAndAnIdentityFromTheDataAccess)
{
    Customer();
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"anon", CurrentText(Col(L"NAME")));
    CAny original;
    ASSERT_EQ(1, Col(L"NAME")->bGetOriginalValue(&original, 0));
    EXPECT_EQ(L"anon", Text(original));
    EXPECT_EQ(0, m_record->bOriginalSet());
    EXPECT_NE(Current(), Original());

    // Each row's identity is by values over that row's own buffer.
    for (CNARecordValue* row : {m_record->pclGetCurrentRecordValueNoRef(), m_record->pclGetOriginalRecordValueNoRef()}) {
        CNARecordId* id = row->pclGetRecordIDNoRef();
        ASSERT_NE(nullptr, id);
        ASSERT_EQ(NA_RECORDID_VALUES, id->eGetRecordIdType());
        unsigned char form[28];
        ASSERT_EQ(1, id->Serialize(form, sizeof form));
        uint64_t address = 0;
        std::memcpy(&address, form + 12, sizeof address);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(row->pclGetNAQFRecordNoRef()->pbyGetBuffer()), address);
    }
}

TEST_F(CurrentRecord, CurrentAndOriginalRows)
{
    Customer();
    ASSERT_EQ(1, Build());
    CAny seven = Int(7);
    ASSERT_EQ(1, Col(L"ID")->bSetValue(&seven, 0));
    ASSERT_EQ(1, m_record->bCopyCurrentRecordToOriginalRecord());
    EXPECT_EQ(1, m_record->bOriginalSet());
    EXPECT_EQ(1, m_record->bEquals(m_record->pclGetOriginalRecordValueNoRef(), 1));
    EXPECT_EQ(0, Col(L"ID")->bValueModified());

    CAny code = Ansi("C-1");
    ASSERT_EQ(1, Col(L"CODE")->bSetValue(&code, 0));
    EXPECT_EQ(0, m_record->bEquals(m_record->pclGetOriginalRecordValueNoRef(), 0));
    EXPECT_EQ(1, Col(L"CODE")->bValueModified());
    EXPECT_EQ(1, Col(L"CODE_NAME")->bValueModified());
    EXPECT_EQ(0, Col(L"NAME_ID")->bValueModified());

    ASSERT_EQ(1, m_record->bCopyOriginalRecordToCurrentRecord());
    EXPECT_EQ(L"<NULL>", CurrentText(Col(L"CODE")));
    EXPECT_EQ(L"7", CurrentText(Col(L"ID")));
    EXPECT_EQ(0, Col(L"CODE")->bValueModified());
    // The slots the values read are still the current row's.
    EXPECT_EQ(Current()->pbyGetItemValue(Col(L"ID")->piGetItemNoRef(), 0), Col(L"ID")->pclGetNAValue()->pGetData());

    // A row copied in replaces the current one whole.
    CNARecordValue* other = m_record->pclGetOriginalRecordValueNoRef()->pclGetClone(CNARecordValue::COPY_ALL);
    REF_AddRef(other);
    CAny eight = Int(8);
    other->pclGetNAQFRecordNoRef()->SetItemValue(Col(L"ID")->piGetItemNoRef(), &eight, 0);
    ASSERT_EQ(1, m_record->bCopyToCurrentRecord(other));
    EXPECT_EQ(L"8", CurrentText(Col(L"ID")));
    REF_Release(other);

    m_record->SetDeleted();
    EXPECT_EQ(NA_RS_DELETED, m_record->pclGetCurrentRecordValueNoRef()->eGetRecordState());
}

TEST_F(CurrentRecord, ABufferFromTheHostSetsTheValuesNullFlags)
{
    Customer();
    ASSERT_EQ(1, Build());
    CAny code = Ansi("K");
    ASSERT_EQ(1, Col(L"CODE")->bSetValue(&code, 0));
    CNAQFRecord* buffer = Current()->pclGetClone();
    buffer->AddRef();
    buffer->SetItemValueDefined(Col(L"CODE")->piGetItemNoRef(), 0, 0);
    CAny nine = Int(9);
    buffer->SetItemValue(Col(L"ID")->piGetItemNoRef(), &nine, 0);
    ASSERT_EQ(1, m_record->bSetNAQFRecord(buffer));
    buffer->nRelease();
    EXPECT_TRUE(Col(L"CODE")->pclGetNAValue()->pclGetValue()->bIsNull());
    EXPECT_FALSE(Col(L"ID")->pclGetNAValue()->pclGetValue()->bIsNull());
    EXPECT_EQ(L"9", ValueText(*Col(L"ID")->pclGetNAValue()));
    EXPECT_EQ(0, m_record->bSetNAQFRecord(nullptr));
}

// Each value's null flag after a buffer is taken is the column's own
// defined test, over buffers with every item defined, undefined, or
// defined with empty slots; memo values are left as they were.
TEST_F(CurrentRecord, ABufferSetsEachPlainValueAsItsDefinedTest)
{
    Add(L"SEEN", NA_IT_DATETIME, 8);
    Add(L"WIDE", NA_IT_UNICODE, 10);
    Customer();
    ASSERT_EQ(1, Build());
    CAny code = Ansi("K");
    ASSERT_EQ(1, Col(L"CODE")->bSetValue(&code, 0));
    ASSERT_EQ(1, Col(L"NOTES")->bSetValueToDB(&code, 0));
    enum class Fill { kValues, kUndefined, kEmpty };
    int nChecked = 0;
    for (const Fill fill : {Fill::kValues, Fill::kUndefined, Fill::kEmpty, Fill::kValues}) {
        CNAQFRecord* buffer = Current()->pclGetClone();
        buffer->AddRef();
        for (int i = 0; i < m_record->nGetNbColumn(); ++i) {
            CNAColumn* column = m_record->pclGetColumnNoRef(i);
            if (column->bIsMemo() || column->bIsComposedKey())
                continue;
            const INAItemDescription* item = column->piGetItemNoRef();
            unsigned char* slot = buffer->pbyGetItemValue(item, 0);
            ASSERT_NE(nullptr, slot);
            std::memset(slot, fill == Fill::kValues ? 'A' : 0, static_cast<size_t>(item->nGetItemSize()));
            buffer->SetItemValueDefined(item, fill == Fill::kUndefined ? 0 : 1, 0);
            if (fill != Fill::kUndefined)
                std::memset(slot, fill == Fill::kValues ? 'A' : 0, static_cast<size_t>(item->nGetItemSize()));
        }
        const bool bMemoNull = Col(L"NOTES")->pclGetNAValue()->pclGetValue()->bIsNull();
        ASSERT_EQ(1, m_record->bSetNAQFRecord(buffer));
        buffer->nRelease();
        for (int i = 0; i < m_record->nGetNbColumn(); ++i) {
            CNAColumn* column = m_record->pclGetColumnNoRef(i);
            SCOPED_TRACE(std::to_string(static_cast<int>(fill)) + " " + std::to_string(i));
            if (column->bIsMemo() || column->bIsComposedKey())
                continue;
            EXPECT_EQ(column->bValueDefined(0) == 0, column->pclGetNAValue()->pclGetValue()->bIsNull());
            ++nChecked;
        }
        EXPECT_EQ(bMemoNull, Col(L"NOTES")->pclGetNAValue()->pclGetValue()->bIsNull());
    }
    EXPECT_EQ(4 * 5, nChecked);
}

TEST_F(CurrentRecord, ADescriptionWithoutItemsIsUserError1)
{
    EXPECT_EQ(0, Build());
    EXPECT_TRUE(ErrorAt(1, L"11.1"));
    EXPECT_STREQ(L"CUSTOMER", m_pclError->pszGetLogicalTableName());
    EXPECT_EQ(0, m_record->nGetNbColumn());
    EXPECT_EQ(nullptr, Current());
}

TEST_F(CurrentRecord, AComponentWithoutColumnFailsTheRecord)
{
    Add(L"A", NA_IT_I4, 4);
    CNAItemDescription* key = AddComposite(L"AB", 0x4800, {L"A"});
    // A component that is no item of the description: its physical index
    // lies past the columns.
    CNAItemDescription* stray = NewItem(L"STRAY", NA_IT_I4, 4);
    stray->SetPhysicalIndice(42);
    ASSERT_EQ(1, key->bAddComponent(stray));
    EXPECT_EQ(0, Build());
    EXPECT_TRUE(ErrorAt(26, L"11.2"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"STRAY"));
}

TEST_F(CurrentRecord, ColumnsOfItemsByPositionForATableByNamesForAQuery)
{
    Customer();
    ASSERT_EQ(1, Build());
    EXPECT_EQ(Col(L"NAME"), m_record->pclGetColumnNoRef(m_source->pclGetItemNoRef(2)));
    EXPECT_EQ(Col(L"CODE"), m_record->pclGetColumnNoRef(L"code"));
    EXPECT_EQ(nullptr, m_record->pclGetColumnNoRef(L"CITY"));
    EXPECT_EQ(nullptr, m_record->pclGetColumnNoRef(static_cast<INAItemDescription*>(nullptr)));

    // The host's own description of an item whose physical index lies
    // outside the record's columns finds none.
    StandinDataSourceDescription host({{L"NAME", NA_IT_TEXTE, 31}});
    StandinItemDescription& item = host.Item(0);
    for (int index : {2, 7, 1000, -1, INT32_MIN}) {
        item.nPhysicalIndice = index;
        EXPECT_EQ(index == 2 ? Col(L"NAME") : nullptr, m_record->pclGetColumnNoRef(&item)) << index;
    }
}

TEST_F(CurrentRecord, ColumnsOfItemsOfAQueryByTheirNamesInTheSource)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 31);
    CNAItemDescription* alias = Add(L"LABEL", NA_IT_TEXTE, 31);
    alias->SetNameInSource(L"NAME");
    ASSERT_EQ(1, Build(true));
    CNAItemDescription* probe = NewItem(L"NAME", NA_IT_TEXTE, 31);
    probe->SetSourceName(L"CUSTOMER");
    probe->SetNameInSource(L"NAME");
    // Same source and name in the source, same name: that column at once.
    EXPECT_EQ(Col(L"NAME"), m_record->pclGetColumnNoRef(probe));
    // Same source names only: the last such column.
    probe->bSetName(L"OTHER");
    EXPECT_EQ(Col(L"LABEL"), m_record->pclGetColumnNoRef(probe));
    // Without a source name the item's name decides.
    probe->SetSourceName(L"");
    probe->bSetName(L"label");
    EXPECT_EQ(Col(L"LABEL"), m_record->pclGetColumnNoRef(probe));
    probe->bSetName(L"NOWHERE");
    EXPECT_EQ(nullptr, m_record->pclGetColumnNoRef(probe));
}

TEST_F(CurrentRecord, ARecordOfTheHostsDescription)
{
    StandinDataSourceDescription host({{L"ID", NA_IT_I4, 4}, {L"NAME", NA_IT_TEXTE, 11}, {L"NOTES", NA_IT_MEMOTEXTE, 8}},
                                      L"HOSTTABLE");
    m_access = static_cast<CTestDataAccess*>(Driver()->pclAllocDataAccess(&host, m_pclConnection, m_pclError));
    REF_AddRef(m_access);
    m_record = m_access->_pclAllocRecord(m_pclError);
    REF_AddRef(m_record);
    ASSERT_EQ(1, m_record->bInitRecord(&host, nullptr, m_pclConnection));
    ASSERT_EQ(3, m_record->nGetNbColumn());
    CAny name = Ansi("abcdefghijklmnop");
    ASSERT_EQ(1, Col(L"NAME")->bSetValue(&name, 0));
    EXPECT_EQ(L"abcdefghij", CurrentText(Col(L"NAME")));
    EXPECT_STREQ(L"HOSTTABLE", m_record->pszGetTableName());
    DropRecord();
    EXPECT_TRUE(host.bBalanced());
}

TEST_F(CurrentRecord, ARebuildAfterATypeChangeRebindsTheValues)
{
    Add(L"ID", NA_IT_I4, 4);
    CNAItemDescription* name = Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    ASSERT_EQ(1, Build());
    CAny notes = Ansi("kept");
    ASSERT_EQ(1, Col(L"NOTES")->bSetValue(&notes, 0));

    CNAItemDescription* wider = NewItem(L"NAME", NA_IT_TEXTE, 41);
    ASSERT_EQ(1, name->bChangeType(wider, 1));
    m_source->UpdateRecordSize();
    ASSERT_EQ(1, m_record->bUpdateChangedTypeInCurrentRecord(m_source));
    CAny longName = Ansi("a name of more than ten characters");
    ASSERT_EQ(1, Col(L"NAME")->bSetValue(&longName, 0));
    EXPECT_EQ(L"a name of more than ten characters", ValueText(*Col(L"NAME")->pclGetNAValue()));
    EXPECT_EQ(Current()->pbyGetItemValue(name, 0), Col(L"NAME")->pclGetNAValue()->pGetData());
    EXPECT_EQ(Col(L"NOTES")->pclGetNAValue(), m_record->pclGetCurrentRecordValueNoRef()->pclGetMemoValueNoRef(0));

    // A description the buffers cannot be built from: the rows are gone and
    // no value stays bound to where they were.
    StandinDataSourceDescription broken({{L"ID", NA_IT_I4, 4}});
    broken.Item(0).nOffset = 1 << 20;
    EXPECT_EQ(0, m_record->bUpdateChangedTypeInCurrentRecord(&broken));
    EXPECT_EQ(nullptr, Current());
    for (const wchar_t* column : {L"ID", L"NAME"}) {
        EXPECT_EQ(NA_VT_NONE, Col(column)->pclGetNAValue()->eGetVarType());
        EXPECT_EQ(nullptr, Col(column)->pclGetNAValue()->pGetData());
    }
    EXPECT_TRUE(broken.bBalanced());
    // Rebuilt, every value is bound again.
    ASSERT_EQ(1, m_record->bUpdateChangedTypeInCurrentRecord(m_source));
    EXPECT_EQ(Current()->pbyGetItemValue(name, 0), Col(L"NAME")->pclGetNAValue()->pGetData());
}

TEST_F(CurrentRecord, TheReadableDump)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11);
    AddComposite(L"ID_NAME", 0x2800, {L"ID", L"NAME"});
    ASSERT_EQ(1, Build());
    CAny seven = Int(7);
    Col(L"ID")->bSetValue(&seven, 0);
    CXYStringConcat<wchar_t> text;
    m_record->CurrentRecordToString(&text);
    const unsigned size = Current()->nGetBufferSize();
    // The flags: ID defined, the others NULL; the composite key is not
    // dumped.
    EXPECT_EQ(L"<Record ID> : record values (" + std::to_wstring(size) +
                  L" bytes)\r\n<NullValuesFlags (0=NULL)> : 10000000\r\n<ID> = <7>\r\n<NAME> = <NULL>",
              std::wstring(text.pszGet()));
}

TEST_F(CurrentRecord, TheDumpOfARowWithoutIdentity)
{
    Add(L"ID", NA_IT_I4, 4);
    m_source->UpdateRecordSize();
    m_access = static_cast<CTestDataAccess*>(Driver()->pclAllocDataAccess(m_source, m_pclConnection, m_pclError));
    REF_AddRef(m_access);
    m_access->SetRecordIdType(0);
    m_record = m_access->_pclAllocRecord(m_pclError);
    REF_AddRef(m_record);
    ASSERT_EQ(1, m_record->bInitRecord(m_source, nullptr, m_pclConnection));
    CXYStringConcat<wchar_t> text;
    m_record->CurrentRecordToString(&text);
    EXPECT_EQ(0u, std::wstring(text.pszGet()).find(L"<Record ID> : NULL\r\n<NullValuesFlags (0=NULL)> : 00000000"));
}

}  // namespace
