// Values in the record buffer: runtime values and bytes stored into an
// item's slot by the rules of its type and read back, default values, the
// cast for time items, and the lengths and texts from outside the record
// that must not take a read or a write past the slot.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/text/date_time_base.h"
#include "native/model/qf_record.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

using Bytes = std::vector<unsigned char>;

class QFRecordValues : public vxtest::AnyVmTest
{
protected:
    // A record of one item, laid out from the host's description.
    void Lay(const StandinItemRow& row)
    {
        m_host = std::make_unique<StandinDataSourceDescription>(std::initializer_list<StandinItemRow>{row});
        m_record = std::make_unique<CNAQFRecord>();
        ASSERT_EQ(1, m_record->bInit(m_host.get(), CNAQFRecord::INIT_NULL));
    }
    void TearDown() override
    {
        if (m_host != nullptr) {
            EXPECT_TRUE(m_host->bBalanced());
        }
        m_record.reset();
        m_host.reset();
        AnyVmTest::TearDown();
    }
    StandinItemDescription& Item() { return m_host->Item(0); }
    Bytes Slot() const
    {
        const unsigned char* p = m_record->pbyGetValues();
        return Bytes(p, p + m_host->Item(0).nGetTotalSize());
    }
    CAny Read(int element = 0) const
    {
        CAny value;
        m_record->GetItemValue(&value, &m_host->Item(0), element);
        return value;
    }
    // The wide text units of a value, as long as the value says.
    static std::wstring Units(const CAny& v)
    {
        const wchar_t* psz = nullptr;
        unsigned long n = 0;
        (void)v.Objet().nGetPCWSTR(&psz);
        (void)v.Objet().nGetSTRLEN(&n);
        return std::wstring(psz, n);
    }

    std::unique_ptr<StandinDataSourceDescription> m_host;
    std::unique_ptr<CNAQFRecord> m_record;
};

TEST_F(QFRecordValues, EveryTypeRoundTrip)
{
    struct Case
    {
        StandinItemRow row;
        unsigned short valueType;
        const wchar_t* text;
        Bytes slot;  // empty: not checked
        // The text read back; null: the value's own text in the item's type.
        const wchar_t* back = nullptr;
    };
    const Case cases[] = {
        {{L"V", NA_IT_I1, 1}, ZLTYPE_I1, L"-5", {0xFB}},
        {{L"V", NA_IT_I2, 2}, ZLTYPE_I2, L"-300", {0xD4, 0xFE}},
        {{L"V", NA_IT_I4, 4}, ZLTYPE_I4, L"123456", {0x40, 0xE2, 0x01, 0x00}},
        {{L"V", NA_IT_I8, 8}, ZLTYPE_I8, L"-9000000000", {}},
        {{L"V", NA_IT_UI1, 1}, ZLTYPE_UI1, L"200", {200}},
        {{L"V", NA_IT_UI2, 2}, ZLTYPE_UI2, L"65535", {0xFF, 0xFF}},
        {{L"V", NA_IT_UI4, 4}, ZLTYPE_UI4, L"4000000000", {}},
        {{L"V", NA_IT_UI8, 8}, ZLTYPE_UI8, L"18446744073709551615", Bytes(8, 0xFF)},
        {{L"V", NA_IT_R4, 4}, ZLTYPE_R4, L"1.5", {0x00, 0x00, 0xC0, 0x3F}},
        {{L"V", NA_IT_R8, 8}, ZLTYPE_R8, L"-2.25", {}},
        {{L"V", NA_IT_REELTURBO, 8}, ZLTYPE_R8, L"3.5", {}},
        {{L"V", NA_IT_MONETAIRE, 10}, ZLTYPE_CY, L"12.5", {}},
        {{L"V", NA_IT_BOOLEEN, 1}, ZLTYPE_BOOL, L"1", {0x01}},
        {{L"V", NA_IT_IDAUTO, 8}, ZLTYPE_I8, L"77", {77, 0, 0, 0, 0, 0, 0, 0}},
        {{L"V", NA_IT_IDAUTO4, 4}, ZLTYPE_I4, L"78", {78, 0, 0, 0}},
        {{L"V", NA_IT_TIMELENGHT, 8}, ZLTYPE_DUREE, L"1000000001", {}},
        {{L"V", NA_IT_DATETIME, 8}, ZLTYPE_DATETIME, L"20240131235959123", {31, 1, 0xE8, 0x07, 0x93, 0x58, 0x26, 0x05}},
        {{L"V", NA_IT_DATE8, 9}, ZLTYPE_DATEA, L"20240131", {'2', '0', '2', '4', '0', '1', '3', '1', 0}},
        {{L"V", NA_IT_DATE6, 9}, ZLTYPE_DATEA, L"19991231", {}},
        {{L"V", NA_IT_HEURE, 10}, ZLTYPE_TIMEA, L"235959123", {'2', '3', '5', '9', '5', '9', '1', '2', '3', 0}},
        {{L"V", NA_IT_CHAR, 1}, ZLTYPE_CARA, L"x", {'x'}},
        {{L"V", NA_IT_TEXTE, 11}, ZLTYPE_DSTRA, L"hello", {'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0, 0}},
        {{L"V", NA_IT_IMAGE, 12}, ZLTYPE_DSTRA, L"img", {'i', 'm', 'g', 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{L"V", NA_IT_UNICODE, 10}, ZLTYPE_DSTRW, L"h\u00E9\u20AC", {'h', 0, 0xE9, 0, 0xAC, 0x20, 0, 0, 0, 0}},
        {{L"V", NA_IT_BINAIRE, 7}, ZLTYPE_BIN, L"abc", {3, 0, 'a', 'b', 'c', 0, 0}},
        {{L"V", NA_IT_DECIMAL, 6, 1, 10, 2}, ZLTYPE_DECIMAL, L"-12.34", {}},
        // Cast to the item's type on the way in.
        {{L"V", NA_IT_I4, 4}, ZLTYPE_PSTRW, L"42", {42, 0, 0, 0}},
        {{L"V", NA_IT_TEXTE, 5}, ZLTYPE_I4, L"1234567", {'1', '2', '3', '4', 0}, L"1234"},
        {{L"V", NA_IT_DATETIME, 8}, ZLTYPE_DATEA, L"20240131", {31, 1, 0xE8, 0x07, 0, 0, 0, 0}},
        {{L"V", NA_IT_DECIMAL, 4, 1, 5, 2}, ZLTYPE_I4, L"-7", {0x44, 0xFD, 0xFF, 0xFF}, L"-7.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)) + " into " +
                     std::to_string(c.row.eType));
        Lay(c.row);
        const CAny value = Make(c.valueType, c.text);
        m_record->SetItemValue(&Item(), &value, 0);
        EXPECT_EQ(1, m_record->bItemValueDefined(&Item(), 0));
        if (!c.slot.empty()) {
            EXPECT_EQ(c.slot, Slot());
        }
        const CAny back = Read();
        EXPECT_EQ(ConverteItemToZLType(c.row.eType), back.nGetTypeCode());
        EXPECT_FALSE(back.bIsNull());
        CAny expected(value);
        (void)expected.__nCastTo(back.nGetTypeCode(), nullptr, 0);
        EXPECT_EQ(c.back != nullptr ? std::wstring(c.back) : Text(expected), Text(back));
        EXPECT_TRUE(m_host->bBalanced());
    }
}

TEST_F(QFRecordValues, NullAndEmptyValues)
{
    Lay({L"V", NA_IT_I4, 4});
    const CAny value = Make(ZLTYPE_I4, L"9");
    m_record->SetItemValue(&Item(), &value, 0);
    CAny null(value);
    null.SetNull();
    m_record->SetItemValue(&Item(), &null, 0);
    EXPECT_EQ(0, m_record->bItemValueDefined(&Item(), 0));
    EXPECT_EQ(Bytes(4, 0), Slot());
    m_record->SetItemValue(&Item(), &value, 0);
    const CAny empty;
    m_record->SetItemValue(&Item(), &empty, 0);
    EXPECT_EQ(0, m_record->bItemValueDefined(&Item(), 0));
    // Reading does not look at the flag.
    EXPECT_FALSE(Read().bIsNull());
    EXPECT_EQ(L"0", Text(Read()));
}

TEST_F(QFRecordValues, StoredBytesBySlotRules)
{
    struct Case { StandinItemRow row; std::string data; unsigned long length; Bytes slot; };
    const std::string twenty = "abcdefghijklmnopqrst";
    const Case cases[] = {
        {{L"T", NA_IT_TEXTE, 11}, twenty, 20, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 0}},
        {{L"T", NA_IT_TEXTE, 11}, std::string("ab\0cd", 5), 5, {'a', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{L"T", NA_IT_TEXTE, 1}, "abc", 3, {0}},
        {{L"B", NA_IT_BINAIRE, 6}, "0123456789", 10, {4, 0, '0', '1', '2', '3'}},
        {{L"B", NA_IT_BINAIRE, 1}, "0123456789", 10, {0}},
        // Shorter than the slot: the source's bytes only, the rest zero.
        {{L"N", NA_IT_I8, 8}, "\xFF\xFF", 2, {0xFF, 0xFF, 0, 0, 0, 0, 0, 0}},
        {{L"N", NA_IT_I4, 4}, "\x01\x02\x03\x04\x05\x06", 6, {1, 2, 3, 4}},
        {{L"N", NA_IT_I4, 4}, "\x01\x02", 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        Lay(c.row);
        std::memset(m_record->pbyGetValues(), 0x5A, static_cast<size_t>(c.row.nItemSize));
        // On the heap, exactly as long as the data: any read past it shows.
        std::unique_ptr<unsigned char[]> source(new unsigned char[c.data.size()]);
        std::memcpy(source.get(), c.data.data(), c.data.size());
        m_record->SetItemValue(&Item(), source.get(), c.length, 0);
        EXPECT_EQ(c.slot, Slot());
        EXPECT_EQ(1, m_record->bItemValueDefined(&Item(), 0));
        m_record->SetItemValue(&Item(), nullptr, 5, 0);
        EXPECT_EQ(Bytes(c.slot.size(), 0), Slot());
    }
}

TEST_F(QFRecordValues, ReadsStayInsideTheSlot)
{
    // No zero in the slot: the text ends with the slot.
    Lay({L"T", NA_IT_TEXTE, 6});
    std::memset(m_record->pbyGetValues(), 'A', 6);
    EXPECT_EQ(L"AAAAAA", Text(Read()));
    Lay({L"D", NA_IT_DATE8, 3});
    std::memset(m_record->pbyGetValues(), '2', 3);
    EXPECT_EQ(ZLTYPE_DATEA, Read().nGetTypeCode());

    // A stored length past the slot reads what the slot holds.
    Lay({L"B", NA_IT_BINAIRE, 5});
    const unsigned char bytes[] = {0xFF, 0xFF, 'x', 'y', 'z'};
    std::memcpy(m_record->pbyGetValues(), bytes, sizeof bytes);
    CAny bin = Read();
    unsigned long size = 0;
    bin.Objet().nGetDataSize(&size);
    EXPECT_EQ(3u, size);

    // A slot narrower than the runtime type reads zero-extended.
    Lay({L"N", NA_IT_I8, 3});
    std::memset(m_record->pbyGetValues(), 0xFF, 3);
    EXPECT_EQ(L"16777215", Text(Read()));

    // A decimal slot too narrow for its precision reads NULL.
    Lay({L"M", NA_IT_DECIMAL, 2, 1, 10, 2});
    EXPECT_TRUE(Read().bIsNull());
    Lay({L"M", NA_IT_DECIMAL, 6, 1, 0, 0});
    EXPECT_TRUE(Read().bIsNull()) << "no precision";
}

// Characters above U+FFFF go into UTF-16 slots as surrogate pairs and come
// back as one character; a pair that does not fit is dropped whole.
TEST_F(QFRecordValues, UnicodeBeyondTheBasicPlane)
{
    struct Case { int width; std::wstring text; std::vector<uint16_t> units; std::wstring back; };
    const Case cases[] = {
        {10, L"\U0001F600a", {0xD83D, 0xDE00, 'a', 0, 0}, L"\U0001F600a"},
        {6, L"ab\U0001F600", {'a', 'b', 0}, L"ab"},
        {6, L"a\U0001F600b", {'a', 0xD83D, 0xDE00}, L"a\U0001F600"},
        {4, L"\U0010FFFF", {0xDBFF, 0xDFFF}, L"\U0010FFFF"},
        {5, L"\U00010000xyz", {0xD800, 0xDC00}, L"\U00010000"},
        {4, std::wstring(1, static_cast<wchar_t>(0x110000)), {0xFFFD, 0}, L"\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Lay({L"W", NA_IT_UNICODE, c.width});
        CAny value;
        value.__SetType(ZLTYPE_DSTRW, 0);
        value.Objet().SetValue(c.text.data(), c.text.size() * sizeof(wchar_t));
        m_record->SetItemValue(&Item(), &value, 0);
        Bytes expected(static_cast<size_t>(c.width), 0);
        std::memcpy(expected.data(), c.units.data(), c.units.size() * 2);
        EXPECT_EQ(expected, Slot());
        EXPECT_EQ(c.back, Units(Read()));
    }

    // Units the host left unpaired stay as they are; short lengths zero.
    Lay({L"W", NA_IT_MEMOUNICODE, 8});
    const uint16_t lone[] = {0xDC00, 0xD800, 'A', 0xD800};
    std::memcpy(m_record->pbyGetValues(), lone, sizeof lone);
    EXPECT_EQ((std::wstring{0xDC00, 0xD800, L'A', 0xD800}), Units(Read()));
    const wchar_t w = L'Z';
    m_record->SetItemValue(&Item(), &w, 3, 0);
    EXPECT_EQ(Bytes(8, 0), Slot());
    // A source of one character, stated as longer, is read for the slot's
    // units at most.
    std::unique_ptr<wchar_t[]> one(new wchar_t[4]{L'a', L'b', L'c', L'd'});
    Lay({L"W", NA_IT_UNICODE, 4});
    m_record->SetItemValue(&Item(), one.get(), 1000, 0);
    EXPECT_EQ((Bytes{'a', 0, 'b', 0}), Slot());
}

// A Unicode text reads back as the text stored, of its own length: it ends
// at the first zero unit, and the slot's padding is no part of it.
TEST_F(QFRecordValues, UnicodeTextEndsAtItsFirstZeroUnit)
{
    struct Case { int width; std::vector<uint16_t> units; std::wstring back; };
    const Case cases[] = {
        {8, {}, L""},
        {1, {}, L""},
        {12, {'J', 'o', 's', 0xE9}, L"Jos\u00E9"},
        {8, {'a', 'b', 'c', 'd'}, L"abcd"},
        {12, {'a', 0, 'b'}, L"a"},
        {12, {0, 'b', 'c'}, L""},
        {10, {0xD83D, 0xDE00, 0, 'x'}, L"\U0001F600"},
        {10, {'q', 0xD800, 0}, std::wstring{L'q', 0xD800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Lay({L"W", NA_IT_UNICODE, c.width});
        std::memset(m_record->pbyGetValues(), 0, static_cast<size_t>(c.width));
        if (!c.units.empty())
            std::memcpy(m_record->pbyGetValues(), c.units.data(), c.units.size() * 2);
        const CAny back = Read();
        EXPECT_EQ(ZLTYPE_DSTRW, back.nGetTypeCode());
        EXPECT_FALSE(back.bIsNull());
        EXPECT_EQ(c.back, Units(back));
        unsigned long nBytes = 0;
        (void)back.Objet().nGetUtilDataSize(&nBytes);
        EXPECT_EQ(c.back.size() * sizeof(wchar_t), nBytes);
    }
    // Units read several at a time must give what reading them one by one
    // gives: every special unit at every place of slots of many widths.
    const auto decode = [](const std::vector<uint16_t>& units) {
        std::wstring text;
        for (size_t i = 0; i < units.size() && units[i] != 0; ++i) {
            const uint32_t u = units[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
                ++i;
            } else {
                text += static_cast<wchar_t>(u);
            }
        }
        return text;
    };
    const std::vector<std::vector<uint16_t>> specials = {
        {0}, {0xD83D, 0xDE00}, {0xDC00}, {0xD800}, {0xD7FF}, {0xE000}, {0xFFFF}, {0x0001}, {0x8000}, {0x0100},
    };
    CAny reused;
    for (int width = 0; width <= 42; ++width) {
        const size_t nUnits = static_cast<size_t>(width) / 2;
        for (const auto& special : specials) {
            for (size_t at = 0; at < nUnits; ++at) {
                std::vector<uint16_t> units(nUnits);
                for (size_t k = 0; k < nUnits; ++k)
                    units[k] = static_cast<uint16_t>(k % 3 == 0 ? 'a' + k : k % 3 == 1 ? 0xE9 : 0x4E2D);
                for (size_t k = 0; k < special.size() && at + k < nUnits; ++k)
                    units[at + k] = special[k];
                SCOPED_TRACE(std::to_string(width) + " " + std::to_string(special[0]) + " at " + std::to_string(at));
                Lay({L"W", NA_IT_UNICODE, width});
                if (nUnits > 0)
                    std::memcpy(m_record->pbyGetValues(), units.data(), nUnits * 2);
                EXPECT_EQ(decode(units), Units(Read()));
                // Read into a value that held the text before: the same.
                m_record->GetItemValue(&reused, &Item(), 0);
                EXPECT_EQ(decode(units), Units(reused));
            }
        }
    }
    // A copy of the value read keeps its text when the value reads again.
    Lay({L"W", NA_IT_UNICODE, 40});
    const CAny first = Make(ZLTYPE_DSTRW, L"first text");
    m_record->SetItemValue(&Item(), &first, 0);
    m_record->GetItemValue(&reused, &Item(), 0);
    const CAny kept = reused;
    const CAny second = Make(ZLTYPE_DSTRW, L"second");
    m_record->SetItemValue(&Item(), &second, 0);
    m_record->GetItemValue(&reused, &Item(), 0);
    EXPECT_EQ(L"second", Units(reused));
    EXPECT_EQ(L"first text", Units(kept));

    // Stored and read back through runtime values: the same text.
    Lay({L"W", NA_IT_UNICODE, 40});
    const CAny value = Make(ZLTYPE_DSTRW, L"Z\u00F6e M\u00FCller");
    m_record->SetItemValue(&Item(), &value, 0);
    EXPECT_EQ(L"Z\u00F6e M\u00FCller", Units(Read()));
}

TEST_F(QFRecordValues, TimesDatesAndCharacters)
{
    // HEURE from a date-time: its time of day as 9 8-bit characters.
    Lay({L"H", NA_IT_HEURE, 10});
    const CAny stamp = Make(ZLTYPE_DATETIME, L"20240131083005250");
    m_record->SetItemValue(&Item(), &stamp, 0);
    EXPECT_EQ((Bytes{'0', '8', '3', '0', '0', '5', '2', '5', '0', 0}), Slot());

    // 8-bit text goes into DATE8 and HEURE unchanged, not cast.
    for (auto [type, width] : {std::pair{NA_IT_DATE8, 9}, std::pair{NA_IT_HEURE, 10}}) {
        Lay({L"D", type, width});
        CAny text;
        text.__SetType(ZLTYPE_DSTRA, 0);
        text.Objet().SetValue("2024XX", 6);
        m_record->SetItemValue(&Item(), &text, 0);
        EXPECT_EQ(0, std::memcmp(m_record->pbyGetValues(), "2024XX\0", 7)) << type;
    }

    // Wide text into CHAR: through 8-bit text first.
    Lay({L"C", NA_IT_CHAR, 1});
    const CAny wide = Make(ZLTYPE_DSTRW, L"\u00E9t\u00E9");
    m_record->SetItemValue(&Item(), &wide, 0);
    EXPECT_EQ(Bytes{0xE9}, Slot());

    // The cast for an HEURE item: 8-bit text to a date-time of that time.
    StandinItemDescription hour({L"H", NA_IT_HEURE, 10});
    CAny text;
    text.__SetType(ZLTYPE_PSTRA, 0);
    text.Objet().SetValue("123456");
    EXPECT_EQ(0, nCastTo(&text, ZLTYPE_DATETIME, &hour));
    ASSERT_EQ(ZLTYPE_DATETIME, text.nGetTypeCode());
    CDateTimeBase dt;
    std::memcpy(&dt, text._pbyGetValeur(), sizeof dt);
    EXPECT_EQ(0, dt.m_wAnnee);
    EXPECT_EQ((12u * 3600 + 34 * 60 + 56) * 1000, dt.m_dwMilli);
    StandinItemDescription number({L"N", NA_IT_I4, 4});
    CAny digits = Make(ZLTYPE_PSTRW, L"31");
    EXPECT_EQ(0, nCastTo(&digits, ZLTYPE_I4, &number));
    EXPECT_EQ(31, digits._tLit<int32_t>());
}

TEST_F(QFRecordValues, DecimalsAtTheItemsPrecisionAndScale)
{
    struct Case { const wchar_t* value; unsigned short type; const wchar_t* back; };
    const Case cases[] = {
        {L"12.345", ZLTYPE_DECIMAL, L"12.35"},
        {L"-12.345", ZLTYPE_DECIMAL, L"-12.35"},
        {L"9999999999.99", ZLTYPE_DECIMAL, L"9999999999.99"},
        // Past the item's digits, or no number at all: NULL, never bytes of
        // another precision.
        {L"12345678901", ZLTYPE_DECIMAL, nullptr},
        {L"abc", ZLTYPE_PSTRW, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value, c.value + std::wcslen(c.value)));
        Lay({L"M", NA_IT_DECIMAL, 6, 1, 10, 2});
        const CAny value = Make(ZLTYPE_PSTRW, L"1");
        m_record->SetItemValue(&Item(), &value, 0);
        CAny given;
        given.__SetType(ZLTYPE_PSTRW, 0);
        given.Objet().SetValue(c.value);
        if (c.type != ZLTYPE_PSTRW) {
            ASSERT_LE(given.__nCastTo(c.type, nullptr, 0), 99);
        }
        m_record->SetItemValue(&Item(), &given, 0);
        if (c.back == nullptr) {
            EXPECT_EQ(0, m_record->bItemValueDefined(&Item(), 0));
            EXPECT_EQ(Bytes(6, 0), Slot());
        } else {
            EXPECT_EQ(1, m_record->bItemValueDefined(&Item(), 0));
            EXPECT_EQ(c.back, Text(Read()));
        }
    }
}

TEST_F(QFRecordValues, DefaultValues)
{
    StandinDataSourceDescription host({{L"N", NA_IT_I4, 4},
                                       {L"T", NA_IT_TEXTE, 6},
                                       {L"NONE", NA_IT_I2, 2},
                                       {L"NUL", NA_IT_I2, 2},
                                       {L"MEMO", NA_IT_MEMOTEXTE, 8},
                                       {L"ARR", NA_IT_I2, 2, 3},
                                       {L"KEY", NA_IT_BINAIRE, 4, 1, 0, 0, 0x1000}});
    host.Item(0).defaultValue = Make(ZLTYPE_I4, L"7");
    host.Item(1).defaultValue = Make(ZLTYPE_PSTRW, L"xy");
    host.Item(3).defaultValue = Make(ZLTYPE_I2, L"3");
    host.Item(3).defaultValue.SetNull();
    host.Item(4).defaultValue = Make(ZLTYPE_PSTRW, L"memo");
    host.Item(5).defaultValue = Make(ZLTYPE_I2, L"5");
    host.Item(6).defaultValue = Make(ZLTYPE_I4, L"1");
    // The composite key lies outside the values: it is skipped.
    host.nDiskRecordSize -= 4;
    CNAQFRecord record;
    ASSERT_EQ(1, record.bInit(&host, CNAQFRecord::INIT_DEFAULT_VALUES));
    EXPECT_EQ(0xC4, record.pbyGetNullValuesFlags()[0]);  // N, T and ARR defined
    const unsigned char* v = record.pbyGetValues();
    EXPECT_EQ(0, std::memcmp(v, "\x07\0\0\0xy\0\0\0\0", 10));
    EXPECT_EQ(Bytes(8, 0xFF), Bytes(v + 14, v + 22)) << "a memo is NULL";
    EXPECT_EQ((Bytes{5, 0, 5, 0, 5, 0}), Bytes(v + 22, v + 28));
    EXPECT_TRUE(host.bBalanced());
}

}  // namespace
