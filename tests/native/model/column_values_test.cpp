// A record column: its slots, names for SQL, key and NULL properties by the
// item and the database-side item, its current and original values in the
// row buffers, defined and modified states, NULL equivalence by item type
// and database kind, the comparison with a given value, the checks before a
// write, the unread state, the values typed for it, and the text dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/text/any_string.h"
#include "common/text/date_time_base.h"
#include "native/model/item_rules.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

class ColumnValues : public RecordTest
{
protected:
    CAny DateTime(int year, int month, int day)
    {
        CDateTimeBase dt{};
        if (year != 0) {
            dt.InitDate();
            dt.m_byJour = static_cast<unsigned char>(day);
            dt.m_byMois = static_cast<unsigned char>(month);
            dt.m_wAnnee = static_cast<unsigned short>(year);
        }
        CAny v;
        v.SetDATETIME(dt);
        return v;
    }
};

TEST(ColumnSlots, InTheirOrder)
{
    vxtest::ExpectSlots("CNAColumn", {
                                         VX_SLOT(CNAColumn, vbInit, 3),
                                         VX_SLOT(CNAColumn, bInitVariant, 4),
                                         VX_SLOT(CNAColumn, bSetImportedItemDesc, 5),
                                         VX_SLOT(CNAColumn, bUpdateChangedTypeInCurrentRecord, 6),
                                         VX_SLOT(CNAColumn, bIsAutoIncrementOnDataBase, 7),
                                         VX_SLOT(CNAColumn, pszGetAliasNomTable, 8),
                                         VX_SLOT(CNAColumn, pszGetFormatedAliasNomTable, 9),
                                         VX_SLOT(CNAColumn, bGetCurrentValue, 10),
                                         VX_SLOT(CNAColumn, bGetOriginalValue, 11),
                                         VX_SLOT(CNAColumn, bCurrentValueToString, 12),
                                         VX_SLOT(CNAColumn, bSetValue, 13),
                                         VX_SLOT(CNAColumn, bValueModified, 14),
                                         VX_SLOT(CNAColumn, bValueDefined, 15),
                                         VX_SLOT(CNAColumn, bOriginalValueDefined, 16),
                                         VX_SLOT(CNAColumn, bSameValue, 17),
                                         VX_SLOT(CNAColumn, bCheckAndCorrectQFRecordValues, 18),
                                         VX_SLOT(CNAColumn, bSetValueFromDB, 19),
                                         VX_SLOT(CNAColumn, bHAttacheMemo, 20),
                                         VX_SLOT(CNAColumn, bHExtraitMemo, 21),
                                         VX_SLOT(CNAColumn, bGetBLOB, 22),
                                         VX_SLOT(CNAColumn, bMustDefine, 23),
                                         VX_SLOT(CNAColumn, bMustBind, 24),
                                         VX_SLOT(CNAColumn, bGetCacheValue, 25),
                                         VX_SLOT(CNAColumn, pclGetNAValue, 26),
                                         VX_SLOT(CNAColumn, pclGetVariantClone, 27),
                                         VX_SLOT(CNAColumn, bRestaureOriginalValue, 28),
                                     });
    EXPECT_EQ(29, VX_SLOT_COUNT(CNAColumn));
}

TEST_F(ColumnValues, NamesForSQL)
{
    CNAItemDescription* label = Add(L"LABEL", NA_IT_TEXTE, 11);
    label->SetNameInSource(L"NAME");
    Add(L"ID", NA_IT_I4, 4);
    ASSERT_EQ(1, Build());
    CNAColumn* column = Col(L"LABEL");
    EXPECT_STREQ(L"NAME", column->pszGetOriginalName());
    EXPECT_STREQ(L"`LABEL`", column->pszGetFormatedName());
    EXPECT_STREQ(L"`NAME`", column->pszGetFormatedOriginalName());
    EXPECT_STREQ(L"ID", Col(L"ID")->pszGetOriginalName());
    // A table: the name in the source alone; cached once made.
    EXPECT_STREQ(L"`NAME`", column->pszGetFormatedSelectName(0));
    EXPECT_STREQ(L"`NAME`", column->pszGetFormatedSelectName(1));
    // With the flag, the formatted name.
    EXPECT_STREQ(L"`ID`", Col(L"ID")->pszGetFormatedSelectName(1));
}

TEST_F(ColumnValues, SelectNamesOfAQuery)
{
    CNAItemDescription* label = Add(L"LABEL", NA_IT_TEXTE, 11);
    label->SetNameInSource(L"NAME");
    CNAItemDescription* computed = Add(L"TOTAL", NA_IT_I4, 4);
    computed->SetSourceName(L"");
    ASSERT_EQ(1, Build(true));
    // The source's name formatted as a table, or the alias the data access
    // wrote.
    EXPECT_STREQ(L"`CUSTOMER`.`NAME`", Col(L"LABEL")->pszGetFormatedSelectName(0));
    Col(L"LABEL")->SetAliasNomTable(L"c", L"`c`");
    EXPECT_STREQ(L"c", Col(L"LABEL")->pszGetAliasNomTable());
    EXPECT_STREQ(L"`c`.`NAME`", Col(L"LABEL")->pszGetFormatedSelectName(0));
    EXPECT_STREQ(L"`TOTAL`", Col(L"TOTAL")->pszGetFormatedSelectName(0));
    EXPECT_EQ(1, Col(L"TOTAL")->bSourceIsQuery());
}

TEST(ItemRules, UniqueNotNullByInterfaceVersion)
{
    struct Case
    {
        int nVersion;
        eNA_ITEMTYPE eType;
        uint16_t wKeys;
        bool bNullAllowed;
        int bExpected;
    };
    const Case cases[] = {
        {9, NA_IT_I4, 0x8000, true, 1},      // primary
        {9, NA_IT_I4, 0x2000, false, 0},     // not unique
        {9, NA_IT_I4, 0x4000, true, 0},      // unique, NULL allowed
        {9, NA_IT_I4, 0x4000, false, 1},     // unique, NULL not allowed
        {8, NA_IT_I4, 0x4000, false, 0},     // older: the constraint is not asked
        {8, NA_IT_IDAUTO, 0x4000, true, 1},  // older: auto-identifiers
        {8, NA_IT_IDAUTO4, 0x4000, true, 1},
        {8, NA_IT_IDAUTO4, 0, true, 0},
    };
    for (const Case& c : cases) {
        StandinDataSourceDescription host({{L"A", c.eType, 4, 1, 0, 0, c.wKeys}});
        StandinItemDescription& item = host.Item(0);
        item.SetVersion(c.nVersion);
        CNAItemDescription own;
        own.bInit(L"A", L"", L"A", 1, 4, c.eType, 0, -1, c.wKeys, 0, 0);
        own.SetNullable(c.bNullAllowed);
        // The stand-in allows NULL; the driver's own description says what
        // the case says.
        if (c.nVersion == 9) {
            EXPECT_EQ(c.bExpected, NA_bUniqueNotNull(&own)) << c.eType << " " << c.wKeys;
        } else {
            EXPECT_EQ(c.bExpected, NA_bUniqueNotNull(&item)) << c.eType << " " << c.wKeys;
        }
    }
    EXPECT_EQ(0, NA_bUniqueNotNull(nullptr));
}

TEST_F(ColumnValues, KeyAndNullPropertiesFromBothItems)
{
    Add(L"ID", NA_IT_IDAUTO, 8);
    CNAItemDescription* code = Add(L"CODE", NA_IT_TEXTE, 11, 0x4800);
    code->SetNullable(0);
    Add(L"REF", NA_IT_I4, 4);
    Add(L"DB_SEQ", NA_IT_I8, 8);
    CNAItemDescription* dbRef = AddTo(Imported(), L"REF", NA_IT_I4, 4, 0x4800);
    dbRef->SetNullable(0);
    dbRef->SetDBType(L"INT", 3);
    dbRef->SetNotUpdatable();
    AddTo(Imported(), L"DB_SEQ", NA_IT_IDAUTO, 8);
    ASSERT_EQ(1, Build());

    EXPECT_EQ(1, Col(L"ID")->bIsIdAuto());
    EXPECT_EQ(1, Col(L"ID")->bPrimary());
    EXPECT_EQ(0, Col(L"ID")->bIsNullable());
    EXPECT_EQ(0, Col(L"ID")->bIsAutoIncrementOnDataBase());
    EXPECT_EQ(1, Col(L"DB_SEQ")->bIsAutoIncrementOnDataBase());
    EXPECT_EQ(0, Col(L"DB_SEQ")->bIsIdAuto());

    EXPECT_EQ(1, Col(L"CODE")->bIsUnique());
    EXPECT_EQ(0, Col(L"CODE")->bIsNullable());
    EXPECT_EQ(0, Col(L"CODE")->bIsNullableOnDataBase());
    EXPECT_EQ(1, Col(L"CODE")->bUniqueNotNull());

    // REF is unique and not NULL in the database only.
    EXPECT_EQ(1, Col(L"REF")->bIsUnique());
    EXPECT_EQ(1, Col(L"REF")->bIsNullable());
    EXPECT_EQ(0, Col(L"REF")->bIsNullableOnDataBase());
    EXPECT_EQ(1, Col(L"REF")->bUniqueNotNull());
    EXPECT_EQ(0, Col(L"REF")->bUpdatable());
    EXPECT_EQ(1, Col(L"CODE")->bUpdatable());
    EXPECT_EQ(3, Col(L"REF")->nGetDBType());
    EXPECT_EQ(NA_IT_I4, Col(L"REF")->eNAGetItemTypeOnDatabase());
    EXPECT_EQ(NA_IT_EMPTY, Col(L"DB_SEQ")->eNAGetItemTypeOnDatabase());
    EXPECT_EQ(NA_IT_IDAUTO, Col(L"DB_SEQ")->eNAGetItemTypeOnDatabaseEx());
    EXPECT_EQ(NA_IT_TEXTE, Col(L"CODE")->eNAGetItemTypeOnDatabaseEx());
    EXPECT_EQ(4, Col(L"REF")->nGetLogicalSizeOnDatabase());
    EXPECT_EQ(-1, Col(L"CODE")->nGetLogicalSizeOnDatabase());
    EXPECT_EQ(10, Col(L"CODE")->nGetLogicalSize());
}

TEST_F(ColumnValues, ColumnKindsAndWhatACommandDefinesAndBinds)
{
    CNAItemDescription* total = Add(L"TOTAL", NA_IT_I4, 4);
    total->SetCalculValue(1);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    Add(L"ID", NA_IT_I4, 4);
    AddComposite(L"ID_TOTAL", 0x2800, {L"ID", L"TOTAL"});
    ASSERT_EQ(1, Build(true));
    // Without column kinds every column is a plain one.
    EXPECT_EQ(0, Col(L"TOTAL")->eGetTypeColonne());
    EXPECT_EQ(1, Col(L"TOTAL")->bMustBind(0));
    m_access->SetColumnKinds(true);
    EXPECT_EQ(1, Col(L"TOTAL")->eGetTypeColonne());
    EXPECT_EQ(0, Col(L"ID")->eGetTypeColonne());

    struct Case
    {
        const wchar_t* pszColumn;
        unsigned nFlags;
        int bDefine;
        int bBind;
    };
    const Case cases[] = {
        {L"TOTAL", 3, 1, 0}, {L"ID", 0, 1, 1},       {L"NOTES", 0, 0, 0},
        {L"NOTES", 1, 0, 1}, {L"NOTES", 2, 1, 0},    {L"ID_TOTAL", 3, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bDefine, Col(c.pszColumn)->bMustDefine(c.nFlags)) << c.pszColumn << c.nFlags;
        EXPECT_EQ(c.bBind, Col(c.pszColumn)->bMustBind(c.nFlags)) << c.pszColumn << c.nFlags;
    }
}

TEST_F(ColumnValues, CurrentAndOriginalValuesInTheRowBuffers)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"NAME", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, Build());
    CNAColumn* id = Col(L"ID");
    CAny value;
    ASSERT_EQ(1, id->bGetCurrentValue(&value, 0));
    EXPECT_TRUE(value.bIsNull());
    EXPECT_EQ(ZLTYPE_I4, value.nGetTypeCode());
    EXPECT_EQ(0, id->bValueDefined(0));
    EXPECT_EQ(1, id->bNullOrEquivalent());
    EXPECT_EQ(1, id->bNull());

    CAny seven = Int(7);
    ASSERT_EQ(1, id->bSetValue(&seven, 0));
    EXPECT_EQ(L"7", CurrentText(id));
    EXPECT_EQ(1, Current()->bItemValueDefined(id->piGetItemNoRef(), 0));
    EXPECT_FALSE(id->pclGetNAValue()->pclGetValue()->bIsNull());
    EXPECT_EQ(L"7", ValueText(*id->pclGetNAValue()));
    EXPECT_EQ(1, id->bValueDefined(0));
    EXPECT_EQ(0, id->bOriginalValueDefined());
    EXPECT_EQ(1, id->bValueModified());
    ASSERT_EQ(1, id->bGetOriginalValue(&value, 0));
    EXPECT_TRUE(value.bIsNull());
    ASSERT_EQ(1, id->bGetBLOB(&value));
    EXPECT_EQ(L"7", Text(value));
    ASSERT_EQ(1, id->bGetCacheValue(&value, 0));
    EXPECT_EQ(L"7", Text(value));

    // A text converts into the slot.
    CAny name = Ansi("Martin");
    ASSERT_EQ(1, Col(L"NAME")->bSetValue(&name, 0));
    EXPECT_EQ(L"Martin", CurrentText(Col(L"NAME")));

    m_record->bCopyCurrentRecordToOriginalRecord();
    EXPECT_EQ(0, id->bValueModified());
    EXPECT_EQ(1, id->bOriginalValueDefined());
    // The same defined state, other bytes.
    CAny eight = Int(8);
    id->bSetValue(&eight, 0);
    EXPECT_EQ(1, id->bValueModified());

    // NULL: the flag goes, the slot is zeroed, the value is NULL.
    ASSERT_EQ(1, id->bSetValueNULL());
    EXPECT_EQ(0, Current()->bItemValueDefined(id->piGetItemNoRef(), 0));
    EXPECT_TRUE(id->pclGetNAValue()->pclGetValue()->bIsNull());
    EXPECT_EQ(1, id->bValueModified());
    EXPECT_EQ(0, id->bSetValue(nullptr, 0));

    // Straight into the value, the row left as it is.
    ASSERT_EQ(1, id->bSetValueToDB(&seven, 0));
    EXPECT_EQ(0, Current()->bItemValueDefined(id->piGetItemNoRef(), 0));
    // Restored from an original value, or NULL without one.
    CNAConvertVariant* original = AnyVariant(ZLTYPE_I4);
    original->bSetValue(41);
    ASSERT_EQ(1, id->bRestaureOriginalValue(original));
    EXPECT_EQ(L"41", ValueText(*id->pclGetNAValue()));
    ASSERT_EQ(1, id->bRestaureOriginalValue(nullptr));
    EXPECT_TRUE(id->pclGetNAValue()->pclGetValue()->bIsNull());
    // The statement layer's column reads the database; this one cannot.
    EXPECT_EQ(0, id->bSetValueFromDB(nullptr, 0));
}

TEST_F(ColumnValues, NullEquivalenceByTypeAndDatabaseKind)
{
    Add(L"SEEN", NA_IT_DATETIME, 8);
    Add(L"BORN", NA_IT_DATE8, 9)->SetNullable(0);
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"CHOSEN", NA_IT_TEXTE, 11);
    Add(L"AT", NA_IT_HEURE, 10);
    Add(L"RAW", NA_IT_BINAIRE, 12);
    Add(L"COUNT", NA_IT_I4, 4);
    Add(L"NOTE", NA_IT_TEXTE, 11);
    AddTo(Imported(), L"CHOSEN", NA_IT_TEXTE, 11)->SetNullable(0);
    AddTo(Imported(), L"NOTE", NA_IT_TEXTE, 11);
    CNAItemDescription* dbDate = AddTo(Imported(), L"COUNT", NA_IT_DATETIME, 8);
    dbDate->SetDBType(L"DATETIME", 12);
    dbDate->SetNullable(0);
    ASSERT_EQ(1, Build());
    struct Case
    {
        int nKind;
        const wchar_t* pszColumn;
        CAny value;
        int bExpected;
    };
    const Case cases[] = {
        {5, L"SEEN", DateTime(0, 0, 0), 1},      // the zero date-time
        {5, L"SEEN", DateTime(2024, 5, 1), 0},
        {5, L"SEEN", Ansi(""), 1},              // nullable: an empty text
        {5, L"BORN", Ansi(""), 1},              // a date column, even not nullable
        {5, L"BORN", Ansi("20240501"), 0},
        {5, L"NAME", Ansi(""), 0},              // kind 5: an empty text is a text
        {1, L"NAME", Ansi(""), 1},              // kind 1: an empty text is NULL where allowed
        {1, L"CHOSEN", Ansi(""), 0},            // ... not where the database forbids NULL
        {1, L"NAME", Ansi("x"), 0},
        {5, L"AT", Ansi(""), 0},                // a time is no date
        {1, L"RAW", Bin(""), 1},                // kind 1: an empty binary
        {1, L"RAW", Bin("a"), 0},
        {5, L"RAW", Bin(""), 0},
        {5, L"COUNT", Int(0), 0},               // a date in the database by its cast text
        {5, L"COUNT", Null(ZLTYPE_I4), 1},
        {5, L"NOTE", Ansi(""), 0},
    };
    for (const Case& c : cases) {
        Connection().SetDBKind(c.nKind);
        EXPECT_EQ(c.bExpected, Col(c.pszColumn)->bNullOrEquivalent(&c.value))
            << c.nKind << " " << c.pszColumn;
    }
    Connection().SetDBKind(5);
    // Through a value holder; a missing holder counts as NULL.
    EXPECT_EQ(1, Col(L"NAME")->bNullOrEquivalent(static_cast<const CNAVariant*>(nullptr)));
    CNAConvertVariant* holder = AnyVariant(ZLTYPE_DATETIME);
    CAny zero = DateTime(0, 0, 0);
    holder->bSetValue(&zero);
    EXPECT_EQ(1, Col(L"SEEN")->bNullOrEquivalent(holder));

    // A zero date-time stored in the row: defined in the buffer, not
    // defined as a value, and made NULL before a write.
    ASSERT_EQ(1, Col(L"SEEN")->bSetValue(&zero, 0));
    EXPECT_EQ(1, Current()->bItemValueDefined(Col(L"SEEN")->piGetItemNoRef(), 0));
    EXPECT_EQ(0, Col(L"SEEN")->bValueDefined(0));
    ASSERT_EQ(1, Col(L"SEEN")->bCheckAndCorrectQFRecordValues(0));
    EXPECT_EQ(0, Current()->bItemValueDefined(Col(L"SEEN")->piGetItemNoRef(), 0));
}

// The row's own value against NULL is answered from the slot where that
// gives what reading the value gives: every item type, slot contents at the
// edges (empty, a zero first byte or unit only, all bits set) and both
// database kinds, against the test of the value read.
TEST_F(ColumnValues, NullEquivalenceOfTheRowsValueAsOfTheValueRead)
{
    Add(L"SEEN", NA_IT_DATETIME, 8);
    Add(L"SHORT", NA_IT_DATETIME, 4);
    Add(L"BORN", NA_IT_DATE8, 9)->SetNullable(0);
    Add(L"OLD", NA_IT_DATE6, 9);
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"CHOSEN", NA_IT_TEXTE, 11);
    Add(L"PIC", NA_IT_IMAGE, 6);
    Add(L"AT", NA_IT_HEURE, 10);
    Add(L"LETTER", NA_IT_CHAR, 1);
    Add(L"WIDE", NA_IT_UNICODE, 10);
    Add(L"ONE", NA_IT_UNICODE, 1);
    Add(L"FIXED", NA_IT_UNICODE, 6)->SetNullable(0);
    Add(L"RAW", NA_IT_BINAIRE, 12);
    Add(L"COUNT", NA_IT_I4, 4);
    Add(L"DAY", NA_IT_TEXTE, 9);
    Add(L"PRICE", NA_IT_DECIMAL, 16, 0, 10, 2);
    Add(L"RATE", NA_IT_R8, 8);
    AddTo(Imported(), L"CHOSEN", NA_IT_TEXTE, 11)->SetNullable(0);
    CNAItemDescription* dbDate = AddTo(Imported(), L"COUNT", NA_IT_DATETIME, 8);
    dbDate->SetDBType(L"DATETIME", 12);
    dbDate->SetNullable(0);
    AddTo(Imported(), L"DAY", NA_IT_DATE8, 9)->SetDBType(L"DATE", 10);
    ASSERT_EQ(1, Build());
    const std::vector<std::vector<unsigned char>> contents = {
        {},
        {0, 'x', 'y'},
        {'x'},
        {0, 0x20},          // a first unit 0x2000
        {'A', 0},           // a first unit 'A'
        {0, 0, 0, 0, 0, 0, 0, 1},
        {1},
        std::vector<unsigned char>(16, 0xFF),
        std::vector<unsigned char>(16, 0x7F),
    };
    int nCompared = 0;
    for (const int nKind : {5, 1}) {
        Connection().SetDBKind(nKind);
        for (int i = 0; i < m_record->nGetNbColumn(); ++i) {
            CNAColumn* column = m_record->pclGetColumnNoRef(i);
            const INAItemDescription* item = column->piGetItemNoRef();
            const size_t nWidth = static_cast<size_t>(item->nGetItemSize());
            for (const auto& bytes : contents) {
                SCOPED_TRACE(std::to_string(nKind) + " " + std::to_string(i) + " " + std::to_string(bytes.size()));
                unsigned char* slot = Current()->pbyGetItemValue(item, 0);
                ASSERT_NE(nullptr, slot);
                std::memset(slot, 0, nWidth);
                if (!bytes.empty())
                    std::memcpy(slot, bytes.data(), std::min(nWidth, bytes.size()));
                Current()->SetItemValueDefined(item, 1, 0);
                CAny read;
                ASSERT_EQ(1, column->bGetCurrentValue(&read, 0));
                EXPECT_EQ(column->bNullOrEquivalent(&read), column->bNullOrEquivalent());
                EXPECT_EQ(column->bNullOrEquivalent() == 0, column->bValueDefined(0) != 0);
                ++nCompared;
            }
            Current()->SetItemValueDefined(item, 0, 0);
            EXPECT_EQ(1, column->bNullOrEquivalent());
        }
    }
    EXPECT_EQ(2 * 17 * 9, nCompared);

    // A decimal whose bytes do not load reads as NULL: it is not defined
    // either.
    Connection().SetDBKind(5);
    CNAColumn* price = Col(L"PRICE");
    unsigned char* slot = Current()->pbyGetItemValue(price->piGetItemNoRef(), 0);
    std::memset(slot, 0x7F, 16);
    Current()->SetItemValueDefined(price->piGetItemNoRef(), 1, 0);
    EXPECT_EQ(L"<NULL>", CurrentText(price));
    EXPECT_EQ(0, price->bValueDefined(0));
    // Where empty texts are NULL, a first unit whose low byte is zero still
    // starts a text.
    Connection().SetDBKind(1);
    CNAColumn* wide = Col(L"WIDE");
    slot = Current()->pbyGetItemValue(wide->piGetItemNoRef(), 0);
    std::memset(slot, 0, 10);
    Current()->SetItemValueDefined(wide->piGetItemNoRef(), 1, 0);
    EXPECT_EQ(0, wide->bValueDefined(0));
    slot[1] = 0x20;
    EXPECT_EQ(1, wide->bValueDefined(0));
    Connection().SetDBKind(5);
}

// The slot test follows what it depends on when that changes after its
// first use: the item's type, the database item's type, the connection's
// kind; each step against the test of the value read.
TEST_F(ColumnValues, NullEquivalenceFollowsChangesOfTypesAndKind)
{
    CNAItemDescription* name = Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"DAY", NA_IT_TEXTE, 9);
    CNAItemDescription* dbDay = AddTo(Imported(), L"DAY", NA_IT_DATE8, 9);
    dbDay->SetDBType(L"DATE", 10);
    ASSERT_EQ(1, Build());
    // A zero first byte then 'x': an empty 8-bit text, a UTF-16 unit 0x7800.
    for (const wchar_t* column : {L"NAME", L"DAY"}) {
        const INAItemDescription* item = Col(column)->piGetItemNoRef();
        unsigned char* slot = Current()->pbyGetItemValue(item, 0);
        ASSERT_NE(nullptr, slot);
        slot[0] = 0;
        slot[1] = 'x';
        Current()->SetItemValueDefined(item, 1, 0);
        slot[0] = 0;
        slot[1] = 'x';
    }
    struct Step
    {
        const char* what;
        std::function<void()> change;
        const wchar_t* column;
        int bNull;
    };
    const std::vector<Step> steps = {
        {"text, kind 5", [&] { Connection().SetDBKind(5); }, L"NAME", 0},
        {"text, kind 1", [&] { Connection().SetDBKind(1); }, L"NAME", 1},
        {"retyped to UTF-16", [&] { name->bChangeTypeMemo(NA_IT_UNICODE); }, L"NAME", 0},
        {"typed back", [&] { name->bChangeTypeMemo(NA_IT_TEXTE); }, L"NAME", 1},
        {"date on the database, kind 5", [&] { Connection().SetDBKind(5); }, L"DAY", 1},
        {"no database type", [&] { dbDay->SetDBType(L"", 0); }, L"DAY", 0},
        {"database type again", [&] { dbDay->SetDBType(L"DATE", 10); }, L"DAY", 1},
        {"database item dropped", [&] { Col(L"DAY")->bSetImportedItemDesc(nullptr); }, L"DAY", 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        CNAColumn* column = Col(step.column);
        CAny read;
        ASSERT_EQ(1, column->bGetCurrentValue(&read, 0));
        EXPECT_EQ(step.bNull, column->bNullOrEquivalent());
        EXPECT_EQ(column->bNullOrEquivalent(&read), column->bNullOrEquivalent());
        EXPECT_EQ(step.bNull == 0, column->bValueDefined(0) != 0);
    }
    Connection().SetDBKind(5);
}

TEST_F(ColumnValues, TheCheckBeforeAWriteClearsTheNullFlagOfDefinedValues)
{
    Add(L"ID", NA_IT_I4, 4);
    ASSERT_EQ(1, Build());
    CAny five = Int(5);
    Col(L"ID")->bSetValue(&five, 0);
    CNAConvertVariant* value = Col(L"ID")->pclGetNAValue();
    value->SetNull();
    // The slot was zeroed with the value; the row still says defined.
    EXPECT_TRUE(value->pclGetValue()->bIsNull());
    ASSERT_EQ(1, Col(L"ID")->bCheckAndCorrectQFRecordValues(0));
    EXPECT_FALSE(value->pclGetValue()->bIsNull());
    EXPECT_EQ(L"0", ValueText(*value));
    EXPECT_EQ(1, Col(L"ID")->bConvertDataToDB());
    Col(L"ID")->bSetValueNULL();
    value->SetNotNull();
    EXPECT_EQ(1, Col(L"ID")->bConvertDataToDB());
    EXPECT_TRUE(value->pclGetValue()->bIsNull());
}

TEST_F(ColumnValues, SameValue)
{
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"COUNT", NA_IT_I4, 4);
    Add(L"RAW", NA_IT_BINAIRE, 12);
    ASSERT_EQ(1, Build());
    // Undefined: the same exactly when the given value is NULL.
    const CAny null = Null(ZLTYPE_PSTRA);
    EXPECT_EQ(1, Col(L"NAME")->bSameValue(&null, 0));
    CAny abc = Ansi("abc");
    EXPECT_EQ(0, Col(L"NAME")->bSameValue(&abc, 0));
    ASSERT_EQ(1, Col(L"NAME")->bSetValue(&abc, 0));
    struct Case
    {
        CAny value;
        unsigned nFlags;
        int bExpected;
    };
    const Case cases[] = {
        {Ansi("abc"), 0, 1},      {Ansi("abcd"), 0, 0},    {Ansi("ab"), 0, 0},
        {Ansi("ab"), 0x1000, 1},  {Ansi("abd"), 0x1000, 0}, {Ansi(""), 0x1000, 1},
        {Null(ZLTYPE_PSTRA), 0, 0}, {Int(3), 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bExpected, Col(L"NAME")->bSameValue(&c.value, c.nFlags)) << Text(c.value) << c.nFlags;

    // A current value followed by zero bytes is the same value.
    Current()->SetItemValue(Col(L"RAW")->piGetItemNoRef(), "ab\0\0\0", 5, 0);
    for (const auto& [bytes, bExpected] : {std::pair<std::string, int>{"ab", 1}, {std::string("ab\0", 3), 1},
                                           {std::string("ab\0\0\0", 5), 1}, {"abc", 0}, {"b", 0}}) {
        const CAny given = Bin(bytes);
        EXPECT_EQ(bExpected, Col(L"RAW")->bSameValue(&given, 0)) << bytes.size();
    }

    // Other codes: the runtime's equality.
    CAny twelve = Int(12);
    Col(L"COUNT")->bSetValue(&twelve, 0);
    CAny wide;
    wide.SetI8(12);
    EXPECT_EQ(1, Col(L"COUNT")->bSameValue(&wide, 0));
    wide.SetI8(13);
    EXPECT_EQ(0, Col(L"COUNT")->bSameValue(&wide, 0));
    EXPECT_EQ(0, Col(L"COUNT")->bSameValue(nullptr, 0));
}

TEST_F(ColumnValues, UnreadValues)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    ASSERT_EQ(1, Build());
    CAny seven = Int(7);
    Col(L"ID")->bSetValue(&seven, 0);
    Col(L"ID")->SetValueIsUnreadYet();
    // A value in its slot stays bound to it (filled when the row is read):
    // NULL, its slot zeroed, the item marked defined.
    CNAConvertVariant* id = Col(L"ID")->pclGetNAValue();
    EXPECT_EQ(NA_VT_RECORD, id->eGetVarType());
    EXPECT_TRUE(id->pclGetValue()->bIsNull());
    EXPECT_EQ(1, Current()->bItemValueDefined(Col(L"ID")->piGetItemNoRef(), 0));
    CAny eight = Int(8);
    ASSERT_EQ(1, id->bSetValue(&eight));
    EXPECT_EQ(L"8", CurrentText(Col(L"ID")));

    // A memo's value is not yet fetched.
    Col(L"NOTES")->bHAttacheMemo(L"/nonexistent");
    Col(L"NOTES")->SetValueIsUnreadYet();
    EXPECT_EQ(1, Col(L"NOTES")->bValueIsUnreadYet());
    EXPECT_EQ(0, Col(L"NOTES")->bIsModifiedFlag());
    EXPECT_STREQ(L"", Col(L"NOTES")->pszGetMemoFile());
    EXPECT_EQ(L"<NOTES> = <UNREAD YET>", Dump(Col(L"NOTES"), 1));
    EXPECT_EQ(L"UNREAD YET", Dump(Col(L"NOTES"), 0));
}

TEST_F(ColumnValues, TheDump)
{
    Add(L"ID", NA_IT_I4, 4);
    Add(L"RAW", NA_IT_BINAIRE, 12);
    Add(L"A", NA_IT_I4, 4);
    CNAItemDescription* key = AddComposite(L"AB", 0x2800, {L"A"});
    ASSERT_EQ(1, Build());
    EXPECT_EQ(L"<ID> = <NULL>", Dump(Col(L"ID"), 1));
    EXPECT_EQ(L"", Dump(Col(L"ID"), 0));
    CAny seven = Int(7);
    Col(L"ID")->bSetValue(&seven, 0);
    EXPECT_EQ(L"<ID> = <7>", Dump(Col(L"ID"), 1));
    EXPECT_EQ(L"7", Dump(Col(L"ID"), 0));
    // A value the runtime cannot write as text.
    Vm().SetResult(kStandinVmConversion, kStandinVmErrType);
    EXPECT_EQ(L"<ID> = <IMPOSSIBLE TEXT CONVERSION (ZL Type=8, Data Size=4)>", Dump(Col(L"ID"), 1));
    EXPECT_EQ(L"", Dump(Col(L"ID"), 0));
    Vm().SetResult(kStandinVmConversion, 0);
    CAny raw = Bin("ab");
    Col(L"RAW")->bSetValue(&raw, 0);
    CTString diagnostic;
    nGetString(&diagnostic, raw, nullptr, 0);
    EXPECT_EQ(L"<RAW> = <" + std::wstring(diagnostic.pszGet()) + L">", Dump(Col(L"RAW"), 1));
    // A key whose component the host's description moved out of the
    // record: its value cannot be read.
    key->pclGetComponentNoRef(0)->SetPhysicalIndice(99);
    EXPECT_EQ(L"<AB> = <ERROR RETRIEVING VALUE>", Dump(Col(L"AB"), 1));
    EXPECT_EQ(L"", Dump(Col(L"AB"), 0));
    key->pclGetComponentNoRef(0)->SetPhysicalIndice(2);
}

TEST_F(ColumnValues, ValuesTypedForTheColumn)
{
    Add(L"NAME", NA_IT_TEXTE, 11);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    AddTo(Imported(), L"NAME", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, Build());
    CNAColumn* name = Col(L"NAME");
    CNAConvertVariant* typed =
        Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, name, static_cast<unsigned short>(0));
    ASSERT_NE(nullptr, typed);
    REF_AddRef(typed);
    EXPECT_EQ(NA_VT_ANY, typed->eGetVarType());
    EXPECT_EQ(ZLTYPE_DSTRA, Code(*typed));
    EXPECT_EQ(11u, typed->nGetBufferSize());
    EXPECT_EQ(name->piGetItemNoRef(), typed->piGetItemAnalyse());
    EXPECT_EQ(name->piGetImportedItemDescNoRef(), typed->piGetItemDatabase());
    REF_Release(typed);

    // A code of the caller's own; a memo's size is 0.
    typed = Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, Col(L"NOTES"), ZLTYPE_DSTRW);
    REF_AddRef(typed);
    EXPECT_EQ(ZLTYPE_DSTRW, Code(*typed));
    EXPECT_EQ(0u, typed->nGetBufferSize());
    EXPECT_EQ(Col(L"NOTES")->piGetItemNoRef(), typed->piGetItemAnalyse());
    REF_Release(typed);

    // From a value: typed by the value's code, holding it.
    CAny text = Ansi("Durand");
    typed = Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, name, &text);
    ASSERT_NE(nullptr, typed);
    REF_AddRef(typed);
    EXPECT_EQ(L"Durand", ValueText(*typed));
    EXPECT_EQ(name->piGetItemNoRef(), typed->piGetItemAnalyse());
    REF_Release(typed);
    EXPECT_EQ(0, name->bInitVariant_NV_Any(m_pclError, nullptr, 0));

    // A clone of a column's value.
    name->bSetValue(&text, 0);
    CNAConvertVariant* clone = name->pclGetVariantClone();
    ASSERT_NE(nullptr, clone);
    REF_AddRef(clone);
    EXPECT_EQ(L"Durand", ValueText(*clone));
    REF_Release(clone);
}

}  // namespace
