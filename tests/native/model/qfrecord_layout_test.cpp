// The record buffer's layout and whole-buffer operations, on descriptions
// the host wrote: flag field and values area, null flags and memo markers,
// SetValues, Copy, clone, equality, the stand-alone and the row cache's
// serialised forms, the counts,
// and what the record does with slots, elements, lengths and buffers from
// outside that do not fit it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "native/model/qf_record.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes BufferOf(const CNAQFRecord& record)
{
    return Bytes(record.pbyGetBuffer(), record.pbyGetBuffer() + record.nGetBufferSize());
}

std::vector<StandinItemRow> Integers(int n)
{
    return std::vector<StandinItemRow>(static_cast<size_t>(n), StandinItemRow{L"N", NA_IT_I4, 4});
}

class QFRecordLayout : public vxtest::AnyVmTest
{
};

TEST_F(QFRecordLayout, FlagFieldAndValuesArea)
{
    struct Case { int items; unsigned flagBytes; };
    const Case cases[] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {16, 2}, {17, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        StandinDataSourceDescription host(Integers(c.items));
        CNAQFRecord record;
        ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
        EXPECT_EQ(c.flagBytes, record.nGetFlagFieldSize());
        EXPECT_EQ(c.flagBytes + 4u * c.items, record.nGetBufferSize());
        EXPECT_EQ(static_cast<unsigned>(c.items), record.nGetNbFlagItems());
        EXPECT_EQ(record.pbyGetBuffer(), record.pbyGetNullValuesFlags());
        EXPECT_EQ(record.pbyGetBuffer() + c.flagBytes, record.pbyGetValues());
        EXPECT_EQ(Bytes(record.nGetBufferSize(), 0), BufferOf(record));
        EXPECT_TRUE(host.bBalanced());
    }
    // The positions the host reads.
    CNAQFRecord empty;
    EXPECT_EQ(0u, empty.nGetBufferSize());
    EXPECT_EQ(nullptr, empty.pbyGetBuffer());
    EXPECT_EQ(0u, empty.nGetRef());
}

TEST_F(QFRecordLayout, NullFlags)
{
    StandinDataSourceDescription host(Integers(10));
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    struct Case { int item; Bytes flags; };
    const Case cases[] = {{0, {0x80, 0x00}}, {7, {0x81, 0x00}}, {8, {0x81, 0x80}}, {9, {0x81, 0xC0}}};
    for (const Case& c : cases) {
        record.SetItemValueDefined(&host.Item(c.item), 1, 0);
        EXPECT_EQ(c.flags, Bytes(record.pbyGetNullValuesFlags(), record.pbyGetNullValuesFlags() + 2)) << c.item;
        EXPECT_EQ(1, record.bItemValueDefined(&host.Item(c.item), 0));
    }
    EXPECT_EQ(0, record.bItemValueDefined(&host.Item(1), 0));

    // Physical index -1 uses the flag of index 0.
    host.Item(3).nPhysicalIndice = -1;
    record.SetItemValueDefined(&host.Item(3), 0, 0);
    EXPECT_EQ(0x01, record.pbyGetNullValuesFlags()[0]);
    EXPECT_EQ(0, record.bItemValueDefined(&host.Item(0), 0));

    // A list, each item under the index given with it.
    const INAItemDescription* items[] = {&host.Item(1), &host.Item(2)};
    const unsigned physical[] = {6, 9};
    const int defined[] = {0, 0};
    record.SetTabItemValueDefined(items, 2, physical, defined);
    EXPECT_EQ(0x01, record.pbyGetNullValuesFlags()[0]);
    EXPECT_EQ(0x80, record.pbyGetNullValuesFlags()[1]);
    EXPECT_TRUE(host.bBalanced());
}

TEST_F(QFRecordLayout, MemoMarkersAndNullSlots)
{
    StandinDataSourceDescription host({{L"NOTE", NA_IT_MEMOTEXTE, 8}, {L"N", NA_IT_I4, 4}, {L"W", NA_IT_MEMOUNICODE, 8}});
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    record.SetItemValueDefined(&host.Item(0), 0, 0);
    EXPECT_EQ(Bytes(8, 0xFF), Bytes(record.pbyGetValues(), record.pbyGetValues() + 8));
    EXPECT_EQ(0, record.bItemValueDefined(&host.Item(0), 0));
    record.SetItemValueDefined(&host.Item(0), 1, 0);
    EXPECT_EQ(Bytes(8, 0x00), Bytes(record.pbyGetValues(), record.pbyGetValues() + 8));
    EXPECT_EQ(1, record.bItemValueDefined(&host.Item(0), 0));

    const int32_t n = 0x01020304;
    record.SetItemValue(&host.Item(1), &n, sizeof n, 0);
    EXPECT_EQ(1, record.bItemValueDefined(&host.Item(1), 0));
    record.SetItemValueDefined(&host.Item(1), 0, 0);
    EXPECT_EQ(Bytes(4, 0), Bytes(record.pbyGetValues() + 8, record.pbyGetValues() + 12));

    // Bytes written into a memo's slot stay there: only the flag is set.
    const wchar_t text[] = L"ab";
    record.SetItemValue(&host.Item(2), text, 8, 0);
    EXPECT_EQ((Bytes{'a', 0, 'b', 0, 0, 0, 0, 0}), Bytes(record.pbyGetValues() + 12, record.pbyGetValues() + 20));
    EXPECT_EQ(1, record.bItemValueDefined(&host.Item(2), 0));
}

TEST_F(QFRecordLayout, SetValuesCopyCloneEquality)
{
    StandinDataSourceDescription host(Integers(9));
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    Bytes values(36);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<unsigned char>(i + 1);
    record.SetValues(values.data(), values.size());
    EXPECT_EQ((Bytes{0xFF, 0xFF}), Bytes(record.pbyGetBuffer(), record.pbyGetBuffer() + 2));
    for (int i = 0; i < 9; ++i) EXPECT_EQ(1, record.bItemValueDefined(&host.Item(i), 0)) << i;
    EXPECT_EQ(values, Bytes(record.pbyGetValues(), record.pbyGetValues() + 36));

    // A length past the values area copies the values area only.
    Bytes longer(1000, 0xAB);
    record.SetValues(longer.data(), longer.size());
    EXPECT_EQ(Bytes(36, 0xAB), Bytes(record.pbyGetValues(), record.pbyGetValues() + 36));
    record.SetValues(values.data(), 4);
    EXPECT_EQ(1, record.pbyGetValues()[0]);
    EXPECT_EQ(0xAB, record.pbyGetValues()[4]);

    CNAQFRecord* clone = record.pclGetClone();
    ASSERT_NE(nullptr, clone);
    EXPECT_EQ(BufferOf(record), BufferOf(*clone));
    EXPECT_NE(record.pbyGetBuffer(), clone->pbyGetBuffer());
    EXPECT_EQ(record.pbyGetBuffer() + 2, record.pbyGetValues());
    EXPECT_EQ(clone->pbyGetBuffer() + 2, clone->pbyGetValues());
    EXPECT_EQ(1, record.bEquals(clone));
    clone->pbyGetValues()[35] ^= 1;
    EXPECT_EQ(0, record.bEquals(clone));
    EXPECT_EQ(0, record.bEquals(nullptr));

    // Copy: the other record's bytes, at most the smaller buffer; itself
    // changes nothing.
    clone->Copy(&record);
    EXPECT_EQ(1, record.bEquals(clone));
    record.Copy(&record);
    EXPECT_EQ(1, record.bEquals(clone));
    StandinDataSourceDescription small(Integers(2));
    CNAQFRecord smaller;
    ASSERT_EQ(1, smaller.bInit(&small, CNAQFRecord::INIT_NULL));
    clone->Copy(&smaller);
    EXPECT_EQ(Bytes(9, 0), Bytes(clone->pbyGetBuffer(), clone->pbyGetBuffer() + 9));
    EXPECT_EQ(BufferOf(record).back(), BufferOf(*clone).back());
    smaller.Copy(&record);
    const Bytes whole = BufferOf(record);
    EXPECT_EQ(Bytes(whole.begin(), whole.begin() + 9), BufferOf(smaller));

    // Same bytes, other flag-field sizes: not equal.
    StandinDataSourceDescription eightItems(Integers(8));
    std::vector<StandinItemRow> nineRows(8, StandinItemRow{L"B", NA_IT_I1, 1});
    nineRows.push_back({L"W", NA_IT_BINAIRE, 23});
    StandinDataSourceDescription nineItems(nineRows);
    CNAQFRecord a, b;
    ASSERT_EQ(1, a.bInit(&eightItems, CNAQFRecord::INIT_NULL));
    ASSERT_EQ(1, b.bInit(&nineItems, CNAQFRecord::INIT_NULL));
    ASSERT_EQ(a.nGetBufferSize(), b.nGetBufferSize());
    EXPECT_EQ(0, a.bEquals(&b));
    REF_AddRef(clone);
    clone->nRelease();
}

TEST_F(QFRecordLayout, StandAloneSerialisation)
{
    StandinDataSourceDescription host(Integers(9));
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    const int32_t n = -5;
    record.SetItemValue(&host.Item(8), &n, 4, 0);
    EXPECT_EQ(38u + 12, record.nGetSerializeSize());
    EXPECT_EQ(2u + 12, record.nGetSerializeValuesOffset());

    Bytes form(record.nGetSerializeSize() + 3, 0xEE);
    EXPECT_EQ(0, record.Serialize(form.data(), record.nGetSerializeSize() - 1));
    EXPECT_EQ(Bytes(form.size(), 0xEE), form);
    ASSERT_EQ(1, record.Serialize(form.data(), form.size()));
    const uint32_t header[3] = {38, 9, 2};
    EXPECT_EQ(0, std::memcmp(form.data(), header, sizeof header));
    EXPECT_EQ(BufferOf(record), Bytes(form.begin() + 12, form.begin() + 50));
    EXPECT_EQ(0xEE, form[50]);

    CNAQFRecord back;
    ASSERT_EQ(1, back.Deserialize(form.data(), record.nGetSerializeSize()));
    EXPECT_EQ(1, back.bEquals(&record));
    EXPECT_EQ(9u, back.nGetNbFlagItems());
    EXPECT_EQ(back.pbyGetBuffer() + 2, back.pbyGetValues());

    // Counts that disagree with the length or with each other: refused,
    // the record unchanged.
    struct Case { const char* name; uint32_t size, items, flags; unsigned long length; };
    const Case bad[] = {
        {"shorter than the header", 38, 9, 2, 11},
        {"buffer past the length", 38, 9, 2, 49},
        {"huge buffer", 0xFFFFFFFFu, 9, 2, 50},
        {"flag field of other items", 38, 9, 1, 50},
        {"flag field past the buffer", 1, 9, 2, 50},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.name);
        Bytes other = form;
        const uint32_t words[3] = {c.size, c.items, c.flags};
        std::memcpy(other.data(), words, sizeof words);
        EXPECT_EQ(0, back.Deserialize(other.data(), c.length));
        EXPECT_EQ(1, back.bEquals(&record));
    }
    // Reused and resized for another record's form.
    StandinDataSourceDescription none(Integers(0));
    CNAQFRecord empty;
    ASSERT_EQ(1, empty.bInit(&none, CNAQFRecord::INIT_NULL));
    Bytes emptyForm(empty.nGetSerializeSize());
    ASSERT_EQ(1, empty.Serialize(emptyForm.data(), emptyForm.size()));
    ASSERT_EQ(1, back.Deserialize(emptyForm.data(), emptyForm.size()));
    EXPECT_EQ(0u, back.nGetBufferSize());
    EXPECT_EQ(1, back.bEquals(&empty));
}

TEST_F(QFRecordLayout, RowCacheForm)
{
    StandinDataSourceDescription host(Integers(3));
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    const int32_t n = 12;
    record.SetItemValue(&host.Item(2), &n, 4, 0);
    Bytes form(record.nGetBufferSize(), 0xEE);
    EXPECT_EQ(0, record.SaveBuffer(form.data(), form.size() - 1));
    ASSERT_EQ(1, record.SaveBuffer(form.data(), form.size()));
    EXPECT_EQ(BufferOf(record), form) << "the buffer alone, no header";

    CNAQFRecord other;
    ASSERT_EQ(1, other.bInit(&host, CNAQFRecord::INIT_NULL));
    EXPECT_EQ(0, other.LoadBuffer(form.data(), form.size() - 1));
    EXPECT_EQ(0, other.LoadBuffer(form.data(), form.size() + 1));
    EXPECT_EQ(Bytes(form.size(), 0), BufferOf(other));
    ASSERT_EQ(1, other.LoadBuffer(form.data(), form.size()));
    EXPECT_EQ(1, other.bEquals(&record));
    CNAQFRecord empty;
    EXPECT_EQ(0, empty.LoadBuffer(form.data(), 0));
}

TEST_F(QFRecordLayout, Counts)
{
    auto* record = new CNAQFRecord;
    record->AddRef();
    record->ExternalAddRef();
    EXPECT_EQ(0u, record->nRelease());
    EXPECT_EQ(0u, record->nRelease()) << "at 0: nothing";
    EXPECT_EQ(1u, record->nGetExternalRef());
    EXPECT_EQ(0u, record->nExternalRelease());  // both 0: destroyed (the leak checker knows)
}

// Items of the host's own that do not fit this record: nothing is stored,
// no pointer handed out, and they read as NULL.
TEST_F(QFRecordLayout, ItemsFromOutsideTheRecord)
{
    StandinDataSourceDescription host({{L"A", NA_IT_I4, 4}, {L"B", NA_IT_TEXTE, 11, 2}});
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    const Bytes before = BufferOf(record);

    struct Case { const char* name; StandinItemRow row; int offset, physical, element; };
    const Case cases[] = {
        {"offset past the values", {L"X", NA_IT_I4, 4}, 27, 0, 0},
        {"slot reaching past the values", {L"X", NA_IT_I4, 4}, 24, 0, 0},
        {"negative offset", {L"X", NA_IT_I4, 4}, -4, 0, 0},
        {"element past the values", {L"X", NA_IT_TEXTE, 11, 2}, 4, 1, 2},
        {"huge element", {L"X", NA_IT_TEXTE, 11, 2}, 4, 1, 0x7FFFFFFF},
        {"negative size", {L"X", NA_IT_I4, -4}, 0, 0, 0},
        {"whole item past the values", {L"X", NA_IT_TEXTE, 11, 3}, 4, 1, -1},
        {"flag past the field", {L"X", NA_IT_I4, 4}, 0, 8, 0},
        {"flag far past the field", {L"X", NA_IT_I4, 4}, 0, 0x7FFFFFF0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandinItemDescription item(c.row);
        item.nOffset = c.offset;
        item.nPhysicalIndice = c.physical;
        const int32_t n = 7;
        record.SetItemValue(&item, &n, 4, static_cast<unsigned>(c.element));
        record.SetItemValueDefined(&item, 1, static_cast<unsigned>(c.element));
        record.SetItemValueDefined(&item, 0, static_cast<unsigned>(c.element));
        CAny text = Make(ZLTYPE_PSTRW, L"77");
        record.SetItemValue(&item, &text, static_cast<unsigned>(c.element));
        EXPECT_EQ(before, BufferOf(record));
        EXPECT_EQ(nullptr, record.pbyGetItemValue(&item, c.element));
        EXPECT_EQ(0, record.bItemValueDefined(&item, 0));
        CAny read = Make(ZLTYPE_I4, L"5");
        record.GetItemValue(&read, &item, c.element);
        EXPECT_TRUE(read.bIsNull());
        unsigned char out[16];
        std::memset(out, 0xCD, sizeof out);
        record.GetItemValue(out, &item, c.element);
        EXPECT_EQ(0xCD, out[0]);
    }
    EXPECT_EQ(nullptr, record.pbyGetItemValue(nullptr, 0));
    EXPECT_EQ(0, record.bItemValueDefined(nullptr, 0));

    // Within the record, elements and the whole item are addressed.
    EXPECT_EQ(record.pbyGetValues() + 15, record.pbyGetItemValue(&host.Item(1), 1));
    EXPECT_EQ(record.pbyGetValues() + 4, record.pbyGetItemValue(&host.Item(1), -1));

    // A record without a buffer has no slot at all.
    CNAQFRecord empty;
    const int32_t n = 1;
    empty.SetItemValue(&host.Item(0), &n, 4, 0);
    empty.SetValues(reinterpret_cast<const unsigned char*>(&n), 4);
    EXPECT_EQ(nullptr, empty.pbyGetItemValue(&host.Item(0), 0));
    EXPECT_EQ(0, empty.bItemValueDefined(&host.Item(0), 0));
    empty.Copy(&record);
    record.Copy(&empty);
    EXPECT_EQ(before, BufferOf(record));
    EXPECT_TRUE(host.bBalanced());
}

TEST_F(QFRecordLayout, RefusesDescriptionsThatDoNotFit)
{
    StandinDataSourceDescription host({{L"A", NA_IT_I4, 4}, {L"B", NA_IT_TEXTE, 11}});
    struct Case { const char* name; int offset, size, dimension; unsigned disk; };
    const Case cases[] = {
        {"slot past the values", 5, 11, 1, 15},
        {"unset offset", -1, 11, 1, 15},
        {"negative dimension", 4, 11, -1, 15},
        {"huge dimension", 4, 11, 0x7FFFFFFF, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.Item(1).nOffset = c.offset;
        host.Item(1).nItemSize = c.size;
        host.Item(1).nDimension = c.dimension;
        host.nDiskRecordSize = c.disk;
        CNAQFRecord record;
        EXPECT_EQ(0, record.bInit(&host, CNAQFRecord::INIT_NULL));
        EXPECT_EQ(nullptr, record.pbyGetBuffer());
    }
    // A composite key may lie outside: the record never addresses it.
    host.Item(1).nItemSize = 11;
    host.Item(1).nDimension = 1;
    host.Layout();
    host.Item(1).wKeyFlags = 0x1000;
    host.Item(1).nOffset = 1000;
    CNAQFRecord record;
    EXPECT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_NULL));
    EXPECT_TRUE(host.bBalanced());
}

}  // namespace
