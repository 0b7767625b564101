// The database's date, time and date-time texts, recognised by length, into
// DATE8, DATETIME and HEURE slots of every size: the table of forms, the
// separators that are checked and those that are not, zeroed slots for the
// unknown forms, and never a write past the slot nor over its terminator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/date_time_base.h"
#include "native/model/convert_variant.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class DbDates : public vxtest::VariantTest
{
protected:
    // The slot's date-time as its 17 digits.
    static std::string DateTimeDigits(const Octets& slot)
    {
        CDateTimeBase dt;
        std::memcpy(&dt, slot.data(), sizeof dt);
        char sz[18];
        dt.VersChaine(sz, 17);
        return sz;
    }
};

TEST_F(DbDates, EveryFormIntoEveryItem)
{
    struct Case
    {
        const char* text;
        const char* date8;     // "" : nothing written
        const char* dateTime;  // 17 digits; "" : zero
        const char* heure;     // in a 10-byte slot
    };
    const Case cases[] = {
        {"1345", "", "00000000134500000", "134500000"},
        {"13:45", "", "00000000134500000", "134500000"},
        {"13-45", "", "", ""},
        {"134559", "", "00000000134559000", "134559000"},
        {"13:45:59", "", "00000000134559000", "134559000"},
        {"20240131", "20240131", "20240131000000000", "000000000"},
        {"2024-01-31", "20240131", "20240131000000000", "000000000"},
        {"2024/01/31", "", "", ""},
        {"13:45:59.25", "", "00000000134559250", "134559250"},
        {"13:45:59.123", "", "00000000134559123", "134559123"},
        {"20240131134559", "20240131", "20240131134559000", "134559000"},
        {"20240131 13:45:59", "20240131", "20240131134559000", "134559000"},
        {"2024-01-31 13:45:59", "20240131", "20240131134559000", "134559000"},
        // The separators of this form are not checked.
        {"2024x01x31x13x45x59", "20240131", "20240131134559000", "134559000"},
        {"2024-01-31 13:45:59.5", "20240131", "20240131134559500", "134559000"},
        {"2024-01-31 13:45:59.25", "20240131", "20240131134559250", "134559250"},
        {"2024-01-31 13:45:59.125", "20240131", "20240131134559125", "134559125"},
        {"2024-01-31 13:45:59.123456", "20240131", "20240131134559123", "134559123"},
        // No "." at 19: no fraction.
        {"2024-01-31 13:45:59x123", "20240131", "20240131134559000", "134559000"},
        {"0000-00-00", "00000000", "00000000000000000", "000000000"},
        {"0000-00-00 00:00:00", "00000000", "00000000000000000", "000000000"},
        // Lengths of no form.
        {"2024-01", "", "", ""},
        {"202", "", "", ""},
        {"20240131134", "", "00000000204031340", "204031340"},
        {"2024-01-31T13:45:59Z1234567", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const long n = static_cast<long>(std::strlen(c.text));
        CNAConvertVariant* date = SlotVariant(NA_IT_DATE8, 9, 0, 0, 0xEE);
        ASSERT_EQ(1, date->bSetValueDB(c.text, n, 1252));
        EXPECT_EQ(std::string(c.date8), AnsiText(*date));
        EXPECT_EQ(0, Slot(date)[8]);
        CNAConvertVariant* dateTime = SlotVariant(NA_IT_DATETIME, 8, 0, 0, 0xEE);
        ASSERT_EQ(1, dateTime->bSetValueDB(c.text, n, 1252));
        if (*c.dateTime == 0)
            EXPECT_EQ(Octets(8, 0), Slot(dateTime));
        else
            EXPECT_EQ(std::string(c.dateTime), DateTimeDigits(Slot(dateTime)));
        CNAConvertVariant* heure = SlotVariant(NA_IT_HEURE, 10, 0, 0, 0xEE);
        ASSERT_EQ(1, heure->bSetValueDB(c.text, n, 1252));
        EXPECT_EQ(std::string(c.heure), AnsiText(*heure));
        EXPECT_EQ(0, Slot(heure)[9]);
        // The wide database text reads the same.
        const std::wstring wide(c.text, c.text + n);
        CNAConvertVariant* wideDate = SlotVariant(NA_IT_DATETIME, 8, 0, 0, 0xEE);
        ASSERT_EQ(1, wideDate->bSetValueDB(wide.c_str(), -1));
        EXPECT_EQ(Slot(dateTime), Slot(wideDate));
    }
    EXPECT_TRUE(NoError());
}

TEST_F(DbDates, HeureSlotsOfEverySizeKeepTheirTerminator)
{
    struct Case
    {
        const char* text;
        unsigned size;
        Octets slot;
    };
    const Case cases[] = {
        {"13:45", 5, {'1', '3', '4', '5', 0}},
        {"13:45", 7, {'1', '3', '4', '5', '0', '0', 0}},
        {"2024-01-31 13:45:59.5", 10, {'1', '3', '4', '5', '5', '9', '0', '0', '0', 0}},
        {"13:45:59.123", 8, {'1', '3', '4', '5', '5', '9', '1', 0}},
        // Smaller than the four characters every form has: cut, terminated.
        {"1345", 3, {'1', '3', 0}},
        {"1345", 1, {0}},
        {"13:45:59.123", 12, {'1', '3', '4', '5', '5', '9', '1', '2', '3', 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CNAConvertVariant* heure = SlotVariant(NA_IT_HEURE, c.size, 0, 0, 0xEE);
        ASSERT_EQ(1, heure->bSetValueDB(c.text, -1, 1252));
        EXPECT_EQ(c.slot, Slot(heure)) << c.text << " into " << c.size;
    }
}

TEST_F(DbDates, SmallSlotsOfTheOtherItems)
{
    for (unsigned size : {1u, 2u, 5u, 8u}) {
        CNAConvertVariant* date = SlotVariant(NA_IT_DATE8, size, 0, 0, 0xEE);
        ASSERT_EQ(1, date->bSetValueDB("2024-01-31", -1, 1252));
        const std::string expected = std::string("20240131").substr(0, size - 1);
        EXPECT_EQ(expected, AnsiText(*date)) << size;
        EXPECT_EQ(0, Slot(date).back());
        CNAConvertVariant* dateTime = SlotVariant(NA_IT_DATETIME, size, 0, 0, 0xEE);
        ASSERT_EQ(1, dateTime->bSetValueDB("2024-01-31 13:45:59", -1, 1252));
        EXPECT_EQ(size, Slot(dateTime).size());
    }
}

TEST_F(DbDates, OtherItemsGetAZeroedSlot)
{
    // A date text into a value whose item is a text: nothing written.
    CNAConvertVariant* v = SlotVariant(NA_IT_TEXTE, 12, 0, 0, 0xEE);
    const_cast<CAny*>(v->pclGetValue())->__SetType(ZLTYPE_DATEA, 0);
    ASSERT_EQ(1, v->bSetValueDB("2024-01-31", -1, 1252));
    EXPECT_EQ(Octets(12, 0), Slot(v));
}

TEST_F(DbDates, KindOneValueBoundToAnItemWritesItsOwnStorage)
{
    // A kind-1 value of a DATE8 item keeps the digits in its runtime value.
    CNAConvertVariant* v = AnyVariant(ZLTYPE_DATEA);
    CNAItemDescription* item = Item(NA_IT_DATE8, 9);
    v->SetItemDesc(item, item);
    ASSERT_EQ(1, v->bSetValueDB("1999-12-31", -1, 1252));
    EXPECT_EQ(L"19991231", ValueText(*v));
    // And from wide text, through bSetValueFromDB alone.
    CNAConvertVariant* w = AnyVariant(ZLTYPE_DATETIME);
    CNAItemDescription* dt = Item(NA_IT_DATETIME, 8);
    w->SetItemDesc(dt, dt);
    ASSERT_EQ(1, w->bSetValueFromDB(L"2001-02-03 04:05:06", -1));
    EXPECT_EQ(L"20010203040506000", ValueText(*w));
}

}  // namespace
