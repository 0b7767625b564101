// Reading a conversion value out of its buffer, comparing, copying and
// retyping it, and handing its null flag to the record.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/text/any_decimal.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "native/model/convert_variant.h"
#include "native/model/qf_record.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class ConvertRead : public vxtest::VariantTest
{
protected:
    // A value not fetched yet (kind 2), as the column leaves it.
    CNAConvertVariant* Unread(unsigned short code)
    {
        CNAConvertVariant* v = NewVariant();
        v->_SetVarType(NA_VT_ANY_UNREAD);
        const_cast<CAny*>(v->pclGetValue())->__SetType(code, 0);
        return v;
    }
    // A slot holding exactly the bytes given.
    CNAConvertVariant* Holding(eNA_ITEMTYPE item, const Octets& bytes, int digits = 0, int decimals = 0)
    {
        CNAConvertVariant* v = SlotVariant(item, static_cast<unsigned>(bytes.size()), digits, decimals);
        std::memcpy(Slot(v).data(), bytes.data(), bytes.size());
        return v;
    }
};

TEST_F(ConvertRead, ReadsStayInsideTheBufferWhateverItHolds)
{
    // No terminator anywhere: each read stops at the buffer's end.
    EXPECT_EQ(L"abcd", ValueText(*Holding(NA_IT_TEXTE, {'a', 'b', 'c', 'd'})));
    // Four-byte characters of an own wide buffer, no zero character.
    CNAConvertVariant* wide = OwnBufferVariant(ZLTYPE_DSTRW, 10);
    const wchar_t two[] = {L'x', L'y'};
    std::memcpy(const_cast<void*>(wide->pGetData()), two, sizeof two);
    std::memset(static_cast<unsigned char*>(const_cast<void*>(wide->pGetData())) + 8, 'z', 2);
    EXPECT_EQ(L"xy", ValueText(*wide));
    // UTF-16 of a Unicode slot, no zero unit; a pair as one character.
    EXPECT_EQ(L"h\U0001F600", ValueText(*Holding(NA_IT_UNICODE, {'h', 0, 0x3D, 0xD8, 0x00, 0xDE})));
    // A binary length word that promises more than the slot holds.
    EXPECT_EQ(L"AB", ValueText(*Holding(NA_IT_BINAIRE, {0xFF, 0xFF, 'A', 'B'})));
    EXPECT_EQ(L"A", ValueText(*Holding(NA_IT_BINAIRE, {1, 0, 'A', 'B'})));
    // A number of a narrower slot reads zeros for the rest.
    EXPECT_EQ(L"4660", ValueText(*Holding(NA_IT_I8, {0x34, 0x12})));
}

TEST_F(ConvertRead, DecimalSlotsReadInTheItemsShape)
{
    CNAConvertVariant* v = SlotVariant(NA_IT_DECIMAL, 9, 8, 3);
    const CAny source = Make(ZLTYPE_DECIMAL, L"-12345.678");
    ASSERT_EQ(1, v->bSetValue(&source));
    EXPECT_EQ(IDecimal::mg_PToN[11], v->nGetSize());
    EXPECT_EQ(L"-12345.678", ValueText(*v));
    // A value that does not fit the item's digits cannot be stored.
    const CAny big = Make(ZLTYPE_DECIMAL, L"123456789.5");
    EXPECT_EQ(0, v->bSetValue(&big));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
    EXPECT_EQ(L"-12345.678", ValueText(*v));
    // A slot smaller than the packed form reads nothing.
    CNAConvertVariant* small = SlotVariant(NA_IT_DECIMAL, 2, 8, 3);
    CAny out;
    EXPECT_EQ(0, small->bGetValue(&out));
}

TEST_F(ConvertRead, DigitSlotsReadIntoADateTime)
{
    struct Case
    {
        eNA_ITEMTYPE item;
        Octets slot;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {NA_IT_DATE8, {'2', '0', '2', '4', '0', '1', '3', '1', 0}, L"20240131000000000"},
        {NA_IT_DATE8, {'2', '0', '2', '4'}, L"20240000000000000"},
        {NA_IT_HEURE, {'1', '2', '3', '4', '5', '6', '7', '8', '9', 0}, L"00000000123456789"},
        {NA_IT_HEURE, {'1', '2', '3', '4', '5', '6', '7'}, L"00000000123456700"},
        {NA_IT_DATETIME, {1, 2, 0xE8, 0x07, 0, 0, 0, 0}, L"20240201000000000"},
    };
    for (const Case& c : cases) {
        CNAConvertVariant* v = Holding(c.item, c.slot);
        const_cast<CAny*>(v->pclGetValue())->__SetType(ZLTYPE_DATETIME, 0);
        EXPECT_EQ(c.expected, ValueText(*v)) << c.item;
    }
}

TEST_F(ConvertRead, NullAndUnreadableKinds)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_I4, 4, 0, 0, 0xEE);
    slot->SetNull();
    EXPECT_EQ(Octets(4, 0), Slot(slot));
    EXPECT_EQ(L"<NULL>", ValueText(*slot));
    CAny out;
    EXPECT_EQ(0, NewVariant()->bGetValue(&out));
    CNAConvertVariant* caller = NewVariant();
    unsigned char buffer[4] = {};
    caller->bInitTypeVariant(NA_VT_CALLER_BUFFER, buffer, 4, ZLTYPE_I4);
    EXPECT_EQ(0, caller->bGetValue(&out));
    // An own buffer is not zeroed by NULL; it only reads NULL.
    CNAConvertVariant* own = OwnBufferVariant(ZLTYPE_I4, 4);
    own->bSetValue(7);
    own->SetNull();
    EXPECT_EQ(L"<NULL>", ValueText(*own));
}

TEST_F(ConvertRead, ComparisonOrders)
{
    // Two 8-bit texts of different sizes: by their characters.
    CNAConvertVariant* ab = SlotVariant(NA_IT_TEXTE, 8);
    CNAConvertVariant* abc = SlotVariant(NA_IT_TEXTE, 6);
    ab->bSetValue("ab", -1);
    abc->bSetValue("abc", -1);
    EXPECT_EQ(-1, ab->nCmp(abc));
    EXPECT_EQ(1, abc->nCmp(ab));
    // Same code and size: the bytes.
    CNAConvertVariant* ac = SlotVariant(NA_IT_TEXTE, 8);
    ac->bSetValue("ac", -1);
    EXPECT_EQ(-1, ab->nCmp(ac));
    EXPECT_EQ(0, ab->nCmp(ab));
    // Wide texts in different forms compare as texts: a Unicode slot and a
    // 4-byte buffer.
    CNAConvertVariant* utf16 = SlotVariant(NA_IT_UNICODE, 12);
    CNAConvertVariant* wide = OwnBufferVariant(ZLTYPE_DSTRW, 40);
    utf16->bSetValue(L"\u0101x", -1);
    wide->bSetValue(L"b", -1);
    EXPECT_EQ(1, utf16->nCmp(wide)) << "U+0101 after b, whatever the bytes say";
    EXPECT_EQ(-1, wide->nCmp(utf16));
    wide->bSetValue(L"\u0101x", -1);
    EXPECT_EQ(0, utf16->nCmp(wide));
    // Two Unicode slots of one size: by their characters too.
    CNAConvertVariant* other16 = SlotVariant(NA_IT_UNICODE, 12);
    other16->bSetValue(L"bx", -1);
    EXPECT_EQ(1, utf16->nCmp(other16));
    // An 8-bit and a wide text: the runtime comparison.
    CNAConvertVariant* ansi = AnyVariant(ZLTYPE_DSTRA);
    ansi->bSetValue("b", -1);
    CNAConvertVariant* wideAny = AnyVariant(ZLTYPE_DSTRW);
    wideAny->bSetValue(L"a", -1);
    EXPECT_EQ(1, ansi->nCmp(wideAny));
    EXPECT_EQ(-1, wideAny->nCmp(ansi));
}

TEST_F(ConvertRead, EqualityByKind)
{
    CNAConvertVariant* a = AnyVariant(ZLTYPE_I4);
    CNAConvertVariant* b = AnyVariant(ZLTYPE_R8);
    a->bSetValue(3);
    b->bSetValue(3.0);
    EXPECT_EQ(1, a->bEqualsNAVariant(b));
    b->bSetValue(3.5);
    EXPECT_EQ(0, a->bEqualsNAVariant(b));
    // Both NULL, both reset: equal.
    a->SetNull();
    b->SetNull();
    EXPECT_EQ(1, a->bEqualsNAVariant(b));
    EXPECT_EQ(1, NewVariant()->bEqualsNAVariant(NewVariant()));
    // Two unread values are never equal, not even to themselves' values.
    EXPECT_EQ(0, Unread(ZLTYPE_I4)->bEqualsNAVariant(Unread(ZLTYPE_I4)));
    // Slots compare through nCmp.
    CNAConvertVariant* s1 = SlotVariant(NA_IT_I4, 4);
    CNAConvertVariant* s2 = SlotVariant(NA_IT_I4, 4);
    s1->bSetValue(9);
    s2->bSetValue(9);
    EXPECT_EQ(1, s1->bEqualsNAVariant(s2));
    s2->bSetValue(10);
    EXPECT_EQ(0, s1->bEqualsNAVariant(s2));
}

TEST_F(ConvertRead, CopiesKeepTheValueWhereverTheSourceKeptIt)
{
    // A slot's value copied into a fresh value: read out of the slot, not
    // taken from a runtime value that only carries the type.
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 10);
    slot->bSetValue("kept", -1);
    CNAConvertVariant* copy = NewVariant();
    ASSERT_EQ(1, copy->bCopyVariant(slot));
    EXPECT_EQ(NA_VT_ANY, copy->eGetVarType());
    EXPECT_EQ(L"kept", ValueText(*copy));
    EXPECT_EQ(slot->piGetItemAnalyse(), copy->piGetItemAnalyse());
    // An own buffer gives an own buffer of its size.
    CNAConvertVariant* own = OwnBufferVariant(ZLTYPE_DSTRA, 7);
    own->bSetValue("own", -1);
    CNAConvertVariant* ownCopy = NewVariant();
    ASSERT_EQ(1, ownCopy->bCopyVariant(own));
    EXPECT_EQ(NA_VT_OWN_BUFFER, ownCopy->eGetVarType());
    EXPECT_EQ(7u, ownCopy->nGetBufferSize());
    EXPECT_EQ(L"own", ValueText(*ownCopy));
    // Into a prepared value of the same code: through a runtime value.
    CNAConvertVariant* target = SlotVariant(NA_IT_TEXTE, 10);
    ASSERT_EQ(1, target->bInitBufferDB());
    ASSERT_EQ(1, target->bCopyVariant(slot));
    EXPECT_EQ("kept", AnsiText(*target));
    // A null source makes NULL; the clone holds a copy.
    ASSERT_EQ(1, target->bCopyVariant(nullptr));
    EXPECT_TRUE(IsNull(*target));
    CNAConvertVariant* clone = slot->pclGetCloneVariant();
    ASSERT_NE(nullptr, clone);
    REF_AddRef(clone);
    EXPECT_EQ(L"kept", ValueText(*clone));
    EXPECT_EQ(m_pclError, clone->pclGetErrorNoRef());
    EXPECT_EQ(m_pclConnection, clone->pclGetCnx());
    clone->nRelease();
}

TEST_F(ConvertRead, CopyOfAnUnreadValueIsUnreadAndNull)
{
    CNAConvertVariant* unread = Unread(ZLTYPE_I4);
    CNAConvertVariant* copy = NewVariant();
    ASSERT_EQ(1, copy->bCopyVariant(unread));
    EXPECT_EQ(NA_VT_ANY_UNREAD, copy->eGetVarType());
    EXPECT_TRUE(IsNull(*copy));
    EXPECT_EQ(ZLTYPE_I4, Code(*copy));
    // The same into a prepared value of the code.
    CNAConvertVariant* prepared = AnyVariant(ZLTYPE_I4);
    ASSERT_EQ(1, prepared->bInitBufferDB());
    ASSERT_EQ(1, prepared->bCopyVariant(unread));
    EXPECT_EQ(NA_VT_ANY_UNREAD, prepared->eGetVarType());
    // Any store makes it read.
    ASSERT_EQ(1, copy->bSetValue(5));
    EXPECT_EQ(NA_VT_ANY, copy->eGetVarType());
    EXPECT_EQ(L"5", ValueText(*copy));
    void* p = nullptr;
    unsigned long n = 0;
    ASSERT_EQ(1, prepared->bGetBufferDB(&p, &n, nullptr));
    EXPECT_EQ(NA_VT_ANY, prepared->eGetVarType());
}

TEST_F(ConvertRead, RetypingAnHeureValueFitsItsDigits)
{
    for (int flag : {0, 1}) {
        CNAConvertVariant* v = SlotVariant(NA_IT_HEURE, 7);
        ASSERT_EQ(1, v->bSetValue("1230", -1));
        ASSERT_EQ(1, v->vbChangeZLType(ZLTYPE_DSTRW, flag));
        EXPECT_EQ(NA_VT_ANY, v->eGetVarType());
        EXPECT_EQ(nullptr, v->piGetItemAnalyse());
        EXPECT_EQ(flag == 0 ? L"123000" : L"1230", ValueText(*v));
    }
    // Too long: cut to the item's digits (a slot of 10 bytes read as a
    // value of an item of 5).
    CNAConvertVariant* longer = SlotVariant(NA_IT_HEURE, 10);
    ASSERT_EQ(1, longer->bSetValue("123456789", -1));
    longer->SetItemDesc(Item(NA_IT_HEURE, 5), nullptr);
    ASSERT_EQ(1, longer->vbChangeZLType(ZLTYPE_DSTRA, 1));
    EXPECT_EQ(L"1234", ValueText(*longer));
    // A number retyped to text needs no fitting.
    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 4);
    number->bSetValue(77);
    ASSERT_EQ(1, number->vbChangeZLType(ZLTYPE_DSTRA, 0));
    EXPECT_EQ(L"77", ValueText(*number));
    EXPECT_EQ(0, NewVariant()->vbChangeZLType(ZLTYPE_I4, 0));
}

TEST_F(ConvertRead, RecordGetsTheNullFlagAndATextSlotZeroedBehindItsText)
{
    StandinDataSourceDescription host({{L"NAME", NA_IT_TEXTE, 8}, {L"N", NA_IT_I4, 4}});
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    StandinItemDescription& name = host.Item(0);
    unsigned char* slotBytes = record.pbyGetItemValue(&name, 0);
    CNAConvertVariant* v = NewVariant();
    ASSERT_EQ(1, v->bInitTypeVariant(NA_VT_RECORD, slotBytes, 8, ZLTYPE_DSTRA));
    v->SetItemDesc(&name, &name);
    ASSERT_EQ(1, v->bInitBufferDB());
    // What a client library writes into a bound text buffer: the text, its
    // zero, then whatever.
    std::memcpy(slotBytes, "ab\0xyzw", 8);
    ASSERT_EQ(1, v->bConvertDataToQF(&record));
    EXPECT_EQ(0, std::memcmp(slotBytes, "ab\0\0\0\0\0\0", 8));
    EXPECT_EQ(1, record.bItemValueDefined(&name, 0));
    v->SetNull();
    ASSERT_EQ(1, v->bConvertDataToQF(&record));
    EXPECT_EQ(0, record.bItemValueDefined(&name, 0));
    v->ResetVariant();
    EXPECT_TRUE(host.bBalanced());
}

}  // namespace
