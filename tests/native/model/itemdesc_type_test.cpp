// An item description's type from another description (change and
// completion), from the host's information on a computed item, and the test
// whether another item's values fit.
#include <gtest/gtest.h>

#include "native/model/item_description.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/db/standin_info_rubrique.h"
#include "tests/native/model/model_fixture.h"

namespace {

class ItemDescType : public vxtest::ModelTest
{
};

TEST_F(ItemDescType, ChangeTypeFromAnother)
{
    struct Case
    {
        eNA_ITEMTYPE otherType;
        int otherInteger, otherDecimals, keep;
        eNA_ITEMTYPE type;
        int integer, decimals;
    };
    // This item starts as DECIMAL(7, 3): integer part 4 (kept by HEURE and
    // DATETIME), decimal part 3.
    const Case cases[] = {
        {NA_IT_IDAUTO, 0, 0, 0, NA_IT_I8, 0, 0},        {NA_IT_IDAUTO4, 0, 0, 0, NA_IT_I4, 0, 0},
        {NA_IT_IDAUTO, 0, 0, 1, NA_IT_IDAUTO, 0, 0},    {NA_IT_DECIMAL, 20, 4, 0, NA_IT_DECIMAL, 20, 4},
        {NA_IT_DECIMAL, 20, 4, 1, NA_IT_DECIMAL, 20, 4}, {NA_IT_HEURE, 9, 6, 1, NA_IT_HEURE, 4, 6},
        {NA_IT_DATETIME, 9, 2, 0, NA_IT_DATETIME, 4, 2}, {NA_IT_TEXTE, 9, 2, 1, NA_IT_TEXTE, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(g_pszGetNAItemTypeName(c.otherType));
        StandinDataSourceDescription host({{L"OTHER", c.otherType, 9, 2, c.otherInteger, c.otherDecimals}});
        CNAItemDescription* item = NewItem(L"X", NA_IT_DECIMAL, 4, 4, 3);
        item->SetDBType(L"DECIMAL(7,3)", 246);
        EXPECT_EQ(1, item->bChangeType(&host.Item(0), c.keep));
        EXPECT_EQ(c.type, item->eNAGetItemType());
        EXPECT_EQ(c.integer, item->nGetIntegerPart());
        EXPECT_EQ(c.decimals, item->nGetDecimalPart());
        EXPECT_EQ(9, item->nGetItemSize());
        EXPECT_EQ(2, item->nGetDimension());
        EXPECT_STREQ(L"", item->pszGetDBType());
        EXPECT_EQ(0, item->eNAGetDBTypeCode());
        EXPECT_EQ(ConverteItemToZLType(c.type), item->pclGetDefaultValue(0)->nGetTypeCode());
        EXPECT_TRUE(item->pclGetDefaultValue(0)->bIsNull());
    }

    // From one of the driver's own the database type code comes along.
    CNAItemDescription* from = NewItem(L"F", NA_IT_I4, 4);
    from->SetDBType(L"INT", 3);
    CNAItemDescription* to = NewItem(L"T", NA_IT_TEXTE, 11);
    to->bChangeType(from, 1);
    EXPECT_STREQ(L"INT", to->pszGetDBType());
    EXPECT_EQ(3, to->eNAGetDBTypeCode());
    EXPECT_EQ(NA_IT_I4, to->eNAGetDBType(nullptr));
}

TEST_F(ItemDescType, DefaultValueFollowsTheType)
{
    CNAItemDescription* item = NewItem(L"X", NA_IT_TEXTE, 11);
    const CAny text = Make(ZLTYPE_PSTRW, L"12");
    item->SetDefaultValue(&text, 0);
    StandinDataSourceDescription host({{L"N", NA_IT_I4, 4}, {L"D", NA_IT_DATETIME, 8}});
    item->bChangeType(&host.Item(0), 1);
    EXPECT_EQ(ZLTYPE_I4, item->pclGetDefaultValue(0)->nGetTypeCode());
    EXPECT_EQ(12, item->pclGetDefaultValue(0)->_tLit<int32_t>());
    // "12" is no date-time: the default becomes an empty value of the type.
    item->SetDefaultValue(&text, 0);
    item->bChangeType(&host.Item(1), 1);
    EXPECT_EQ(ZLTYPE_DATETIME, item->pclGetDefaultValue(0)->nGetTypeCode());
}

TEST_F(ItemDescType, CompleteDescriptionRebuildsKeyFlags)
{
    struct Case { uint16_t other; int unique; uint16_t flags; };
    const Case cases[] = {
        {0x9800, 1, 0xC800}, {0x9800, 0, 0x2800}, {0x4400, 1, 0x4400},
        {0x20E0, 1, 0x28E0}, {0x1000 | 0x4000, 1, 0x4800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.other);
        StandinDataSourceDescription host({{L"CODE", NA_IT_I4, 4, 1, 0, 0, c.other}});
        CNAItemDescription* item = NewItem(L"ALIAS", NA_IT_TEXTE, 11);
        EXPECT_EQ(1, item->bCompleteDescription(&host.Item(0), c.unique, 4));
        EXPECT_EQ(c.flags, item->wGetKeyFlags());
        EXPECT_EQ(4, item->nGetKeyIndice());
        EXPECT_EQ(NA_IT_I4, item->eNAGetItemType());
        EXPECT_STREQ(L"ALIAS", item->pszGetName());
        EXPECT_STREQ(L"CODE", item->pszGetNameInSource());
        EXPECT_STREQ(L"", item->pszGetSourceName());
    }
    // Not a key: the flags and key index stay.
    StandinDataSourceDescription host({{L"PLAIN", NA_IT_I2, 2}});
    CNAItemDescription* item = NewItem(L"P", NA_IT_TEXTE, 11);
    item->bSetKey(-1, 0x0080);
    item->bCompleteDescription(&host.Item(0), 1, 3);
    EXPECT_EQ(0x0080, item->wGetKeyFlags());
    EXPECT_EQ(-1, item->nGetKeyIndice());
}

TEST_F(ItemDescType, ComputedItemFromTheHostsInformation)
{
    struct Case
    {
        const char* name;
        eNA_ITEMTYPE type;
        unsigned size;
        int qf, function, infoSize;
        eNA_ITEMTYPE outType;
        int outSize;
        unsigned short defaultType;
    };
    const Case cases[] = {
        {"no engine type", NA_IT_UNICODE, 22, 0, 95, 7, NA_IT_UNICODE, 22, ZLTYPE_DSTRW},
        {"engine type 41", NA_IT_I4, 4, 41, 0, 7, NA_IT_I4, 4, ZLTYPE_I4},
        {"function 95, Unicode", NA_IT_UNICODE, 22, 5, 95, 7, NA_IT_TEXTE, 11, ZLTYPE_PSTRW},
        {"function 96, Unicode memo", NA_IT_MEMOUNICODE, 8, 5, 96, 7, NA_IT_MEMOTEXTE, 8, ZLTYPE_PSTRW},
        {"function 95, not Unicode", NA_IT_I4, 4, 7, 95, 7, NA_IT_I4, 4, ZLTYPE_I4},
        {"text memo over text", NA_IT_TEXTE, 51, 29, 0, 7, NA_IT_TEXTE, 51, ZLTYPE_DSTRA},
        {"Unicode memo over Unicode", NA_IT_UNICODE, 22, 40, 0, 7, NA_IT_UNICODE, 22, ZLTYPE_DSTRW},
        {"binary memo over binary", NA_IT_BINAIRE, 12, 30, 0, 7, NA_IT_BINAIRE, 12, ZLTYPE_BIN},
        {"text memo over integer", NA_IT_I4, 4, 29, 0, 7, NA_IT_MEMOTEXTE, 8, ZLTYPE_DSTRA},
        {"engine size", NA_IT_TEXTE, 51, 7, 0, 8, NA_IT_R8, 8, ZLTYPE_R8},
        {"decimal kept", NA_IT_DECIMAL, 6, 41 - 0, 0, 6, NA_IT_DECIMAL, 6, ZLTYPE_DECIMAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNAItemDescription* item = NewItem(L"TOTAL", c.type, c.size, 10, 2);
        item->SetSourceName(L"ORDERS");
        auto* info = new StandinInfoRubrique(c.qf, c.function, c.infoSize, 77);
        info->dwAddRef();
        EXPECT_EQ(1, item->bCompleteDescriptionCalcul(info));
        info->dwRelease();
        EXPECT_EQ(c.outType, item->eNAGetItemType());
        EXPECT_EQ(c.outSize, item->nGetItemSize());
        EXPECT_EQ(c.defaultType, item->pclGetDefaultValue(0)->nGetTypeCode());
        EXPECT_EQ(77u, item->dwGetCalculValue());
        EXPECT_STREQ(L"TOTAL", item->pszGetNameInSource());
        EXPECT_STREQ(L"", item->pszGetSourceName());
    }
    // A decimal whose type changes loses its digits.
    CNAItemDescription* item = NewItem(L"D", NA_IT_DECIMAL, 6, 10, 2);
    auto* info = new StandinInfoRubrique(5, 0, 4);
    info->dwAddRef();
    item->bCompleteDescriptionCalcul(info);
    info->dwRelease();
    EXPECT_EQ(NA_IT_I4, item->eNAGetItemType());
    EXPECT_EQ(0, item->nGetIntegerPart());
    EXPECT_EQ(0, item->nGetDecimalPart());
}

TEST_F(ItemDescType, TypeMatch)
{
    struct Case
    {
        const char* name;
        eNA_ITEMTYPE type;
        unsigned size;
        int integer, decimals;
        StandinItemRow other;
        int ansi, lenient, match;
    };
    const Case cases[] = {
        {"I4 takes I2", NA_IT_I4, 4, 0, 0, {L"O", NA_IT_I2, 2}, 0, 0, 1},
        {"I4 refuses I8", NA_IT_I4, 4, 0, 0, {L"O", NA_IT_I8, 8}, 0, 0, 0},
        {"I8 takes UI4", NA_IT_I8, 8, 0, 0, {L"O", NA_IT_UI4, 4}, 0, 0, 1},
        {"I8 takes TIMELENGHT", NA_IT_I8, 8, 0, 0, {L"O", NA_IT_TIMELENGHT, 8}, 0, 0, 1},
        {"MONETAIRE takes I8", NA_IT_MONETAIRE, 10, 0, 0, {L"O", NA_IT_I8, 8}, 0, 0, 1},
        {"I8 refuses MONETAIRE", NA_IT_I8, 8, 0, 0, {L"O", NA_IT_MONETAIRE, 10}, 0, 0, 0},
        {"I4 refuses R4", NA_IT_I4, 4, 0, 0, {L"O", NA_IT_R4, 4}, 0, 0, 0},
        {"DECIMAL(12,2) takes I4", NA_IT_DECIMAL, 6, 10, 2, {L"O", NA_IT_I4, 4}, 0, 0, 1},
        {"DECIMAL(12,2) refuses I8", NA_IT_DECIMAL, 6, 10, 2, {L"O", NA_IT_I8, 8}, 0, 0, 0},
        {"DECIMAL(12,2) refuses MONETAIRE", NA_IT_DECIMAL, 6, 10, 2, {L"O", NA_IT_MONETAIRE, 10}, 0, 0, 0},
        {"DECIMAL equal digits", NA_IT_DECIMAL, 6, 10, 2, {L"O", NA_IT_DECIMAL, 6, 1, 10, 2}, 0, 0, 1},
        {"DECIMAL more decimals", NA_IT_DECIMAL, 6, 10, 2, {L"O", NA_IT_DECIMAL, 6, 1, 9, 3}, 0, 0, 0},
        {"TEXTE shorter", NA_IT_TEXTE, 11, 0, 0, {L"O", NA_IT_TEXTE, 11}, 0, 0, 1},
        {"TEXTE longer", NA_IT_TEXTE, 11, 0, 0, {L"O", NA_IT_TEXTE, 12}, 0, 0, 0},
        {"I4 of other size", NA_IT_I4, 4, 0, 0, {L"O", NA_IT_I4, 40}, 0, 0, 1},
        {"DATETIME more digits", NA_IT_DATETIME, 8, 0, 3, {L"O", NA_IT_DATETIME, 8, 1, 0, 6}, 0, 0, 0},
        {"DATETIME more digits, lenient", NA_IT_DATETIME, 8, 0, 3, {L"O", NA_IT_DATETIME, 8, 1, 0, 6}, 0, 1, 1},
        {"R8 takes R4", NA_IT_R8, 8, 0, 0, {L"O", NA_IT_R4, 4}, 0, 0, 1},
        {"R4 refuses R8", NA_IT_R4, 4, 0, 0, {L"O", NA_IT_R8, 8}, 0, 0, 0},
        {"DATE8 takes DATE6", NA_IT_DATE8, 9, 0, 0, {L"O", NA_IT_DATE6, 7}, 0, 0, 1},
        {"DATE8 and DATETIME", NA_IT_DATE8, 9, 0, 0, {L"O", NA_IT_DATETIME, 8}, 0, 0, 0},
        {"DATE8 and DATETIME, lenient", NA_IT_DATE8, 9, 0, 0, {L"O", NA_IT_DATETIME, 8}, 0, 1, 1},
        {"HEURE and DATETIME, lenient", NA_IT_HEURE, 10, 0, 0, {L"O", NA_IT_DATETIME, 8}, 0, 1, 1},
        {"DATETIME takes HEURE", NA_IT_DATETIME, 8, 0, 0, {L"O", NA_IT_HEURE, 10}, 0, 0, 1},
        {"MEMOTEXTE takes IMAGE", NA_IT_MEMOTEXTE, 8, 0, 0, {L"O", NA_IT_IMAGE, 44}, 0, 0, 1},
        {"MEMOTEXTE refuses UNICODE", NA_IT_MEMOTEXTE, 8, 0, 0, {L"O", NA_IT_UNICODE, 22}, 0, 0, 0},
        {"MEMOTEXTE takes UNICODE as 8-bit", NA_IT_MEMOTEXTE, 8, 0, 0, {L"O", NA_IT_UNICODE, 22}, 1, 0, 1},
        {"MEMOBINAIRE4 takes BINAIRE", NA_IT_MEMOBINAIRE4, 8, 0, 0, {L"O", NA_IT_BINAIRE, 12}, 0, 0, 1},
        {"UNICODE takes TEXTE of twice", NA_IT_UNICODE, 22, 0, 0, {L"O", NA_IT_TEXTE, 44}, 0, 0, 1},
        {"UNICODE refuses longer TEXTE", NA_IT_UNICODE, 22, 0, 0, {L"O", NA_IT_TEXTE, 45}, 0, 0, 0},
        {"UNICODE as 8-bit", NA_IT_UNICODE, 22, 0, 0, {L"O", NA_IT_UNICODE, 24}, 1, 0, 0},
        {"MEMOUNICODE takes UNICODE", NA_IT_MEMOUNICODE, 8, 0, 0, {L"O", NA_IT_UNICODE, 400}, 0, 0, 1},
        {"CHAR refuses TEXTE", NA_IT_CHAR, 1, 0, 0, {L"O", NA_IT_TEXTE, 2}, 0, 0, 0},
        {"unknown type, equal", static_cast<eNA_ITEMTYPE>(40), 4, 0, 0, {L"O", static_cast<eNA_ITEMTYPE>(40), 9}, 0, 0, 1},
        {"unknown type, other", static_cast<eNA_ITEMTYPE>(40), 4, 0, 0, {L"O", NA_IT_I4, 4}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandinDataSourceDescription host({c.other});
        CNAItemDescription* item = NewItem(L"X", c.type, c.size, c.integer, c.decimals);
        EXPECT_EQ(c.match, item->bTypeMatch(&host.Item(0), c.ansi, c.lenient));
    }
}

}  // namespace
