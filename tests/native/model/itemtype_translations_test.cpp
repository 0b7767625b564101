// The item types: names, the three translations, the class tests, the
// engine's slot widths and the item type of a number, each as a table of
// every code (or of the codes and edges that matter).
#include <gtest/gtest.h>

#include <string>

#include "common/text/any.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "native/model/item_type.h"
#include "tests/fakes/fake_item_description.h"

namespace {

struct TypeRow
{
    int code;
    const wchar_t* name;
    unsigned short zl;
    int numeric;
    int memo;
};

// Every code 0-32 with its name, runtime type, numeric class and memo class.
const TypeRow kTypes[] = {
    {0, L"NA_IT_EMPTY", 0, 0, 0},          {1, L"NA_IT_IDAUTO", 9, 1, 0},
    {2, L"NA_IT_TEXTE", 19, 0, 0},         {3, L"NA_IT_I2", 7, 1, 0},
    {4, L"NA_IT_I1", 6, 1, 0},             {5, L"NA_IT_I4", 8, 1, 0},
    {6, L"NA_IT_R4", 11, 1, 0},            {7, L"NA_IT_R8", 12, 1, 0},
    {8, L"Type inconnu", 0, 0, 0},         {9, L"NA_IT_UI2", 3, 1, 0},
    {10, L"NA_IT_DATE6", 128, 0, 0},       {11, L"NA_IT_HEURE", 129, 0, 0},
    {12, L"NA_IT_UI1", 2, 1, 0},           {13, L"NA_IT_REELTURBO", 12, 1, 0},
    {14, L"NA_IT_DATE8", 128, 0, 0},       {15, L"NA_IT_MEMOTEXTE", 19, 0, 1},
    {16, L"NA_IT_MEMOBINAIRE4", 28, 0, 0}, {17, L"NA_IT_MONETAIRE", 10, 1, 0},
    {18, L"NA_IT_MEMOBINAIRE", 28, 0, 1},  {19, L"NA_IT_I8", 9, 1, 0},
    {20, L"NA_IT_UI8", 5, 1, 0},           {21, L"NA_IT_IMAGE", 19, 0, 0},
    {22, L"NA_IT_UI4", 4, 1, 0},           {23, L"NA_IT_BINAIRE", 28, 0, 0},
    {24, L"NA_IT_DATETIME", 26, 0, 0},     {25, L"NA_IT_TIMELENGHT", 27, 1, 0},
    {26, L"NA_IT_CHAR", 17, 0, 0},         {27, L"NA_IT_BOOLEEN", 1, 1, 0},
    {28, L"NA_IT_IDAUTO4", 8, 1, 0},       {29, L"NA_IT_UNICODE", 16, 0, 0},
    {30, L"NA_IT_MEMOUNICODE", 16, 0, 1},  {31, L"NA_IT_DECIMAL", 13, 1, 0},
    {32, L"Type inconnu", 0, 0, 0},
};

eNA_ITEMTYPE T(int code)
{
    return static_cast<eNA_ITEMTYPE>(code);
}

TEST(ItemTypeTranslations, NamesRuntimeTypesAndClasses)
{
    for (const TypeRow& row : kTypes) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(std::wstring(row.name), g_pszGetNAItemTypeName(T(row.code)));
        EXPECT_EQ(row.zl, ConverteItemToZLType(T(row.code), 0));
        EXPECT_EQ(row.memo, CNAItemDescription::g_bIsMemo(T(row.code)));
        CNAItemDescription item;
        item.bInit(L"X", L"", L"", 1, 4, T(row.code), 0, -1, 0, 0, 0);
        // bInit turns type 0 into TEXTE.
        if (row.code != 0) {
            EXPECT_EQ(row.numeric, item.bNumerical());
        }
        CFakeItemDescription fake(row.code);
        EXPECT_EQ(row.zl, ConverteItemToZLType(&fake));
    }
    EXPECT_EQ(std::wstring(L"Type inconnu"), g_pszGetNAItemTypeName(T(-1)));
    EXPECT_EQ(0, ConverteItemToZLType(T(-1)));
    EXPECT_EQ(0, ConverteItemToZLType(nullptr));
}

TEST(ItemTypeTranslations, TextAndMemoClasses)
{
    for (int code = -1; code <= 32; ++code) {
        SCOPED_TRACE(code);
        const bool unicode = code == 29 || code == 30;
        const bool ansi = code == 2 || code == 15;
        EXPECT_EQ(unicode, bIsTextUnicode(T(code)) != 0);
        EXPECT_EQ(ansi, bIsTextAnsi(T(code)) != 0);
        EXPECT_EQ(unicode || ansi, bIsTextAW(T(code)) != 0);
        EXPECT_EQ(code == 15 || code == 30, CNAItemDescription::g_bIsMemoText(T(code)) != 0);
        EXPECT_EQ(code == 18, CNAItemDescription::g_bIsMemoBinary(T(code)) != 0);
    }
}

TEST(ItemTypeTranslations, RuntimeTypeToItemType)
{
    const std::pair<int, int> listed[] = {
        {1, 27},  {2, 12},  {3, 9},   {4, 22},  {5, 20},  {6, 4},   {7, 3},   {8, 5},   {9, 19},
        {10, 17}, {11, 6},  {12, 7},  {13, 31}, {14, 22}, {16, 30}, {17, 26}, {18, 2},  {19, 15},
        {24, 14}, {25, 11}, {26, 24}, {27, 25}, {28, 18}, {81, 29}, {110, 29}, {128, 14}, {129, 11},
    };
    for (int zl = 0; zl <= 300; ++zl) {
        int expected = 0;
        for (const auto& [from, to] : listed)
            if (from == zl) expected = to;
        EXPECT_EQ(expected, ConvertZLTypeToeItem(static_cast<unsigned short>(zl))) << zl;
    }
    // Not inverse: the dynamic strings come back as memos, IDAUTO as I8.
    EXPECT_EQ(NA_IT_MEMOTEXTE, ConvertZLTypeToeItem(ConverteItemToZLType(NA_IT_TEXTE)));
    EXPECT_EQ(NA_IT_I8, ConvertZLTypeToeItem(ConverteItemToZLType(NA_IT_IDAUTO)));
}

TEST(ItemTypeTranslations, EngineTypeToItemType)
{
    const int expected[42] = {0,  15, 2,  3,  4,  5,  6,  7,  3,  9,  10, 11, 26, 13, 14, 15, 15, 17, 18, 15, 15,
                              15, 15, 21, 1,  19, 22, 20, 23, 15, 18, 15, 15, 5,  24, 25, 12, 27, 28, 29, 30, 31};
    for (int code = 0; code < 42; ++code)
        EXPECT_EQ(expected[code], CNADataSourceDescription::g_eGetNAItemType(static_cast<eQFTYPES>(code))) << code;
    for (int code : {42, 100, -1})
        EXPECT_EQ(NA_IT_MEMOTEXTE, CNADataSourceDescription::g_eGetNAItemType(static_cast<eQFTYPES>(code))) << code;
}

TEST(ItemTypeTranslations, EngineSlotWidths)
{
    struct Case { int type; uint64_t size; int digits; uint64_t width; };
    const Case cases[] = {
        {0, 5, 0, 0},     {1, 5, 0, 8},     {2, 50, 0, 51},   {2, 0xFFFFFFFFull, 0, 0x100000000ull},
        {3, 0, 0, 2},     {4, 0, 0, 1},     {5, 0, 0, 4},     {6, 0, 0, 4},
        {7, 0, 0, 8},     {8, 9, 0, 0},     {9, 0, 0, 2},     {10, 6, 0, 0},
        {11, 0, 0, 5},    {11, 0, 3, 8},    {11, 0, 9, 10},   {11, 0, -2, 5},
        {12, 0, 0, 1},    {13, 0, 0, 0},    {14, 0, 0, 9},    {15, 100, 0, 8},
        {16, 10, 0, 0},   {17, 0, 0, 10},   {18, 0, 0, 8},    {19, 0, 0, 8},
        {20, 0, 0, 8},    {21, 10, 0, 44},  {22, 0, 0, 4},    {23, 10, 0, 12},
        {24, 0, 0, 8},    {25, 0, 0, 8},    {26, 0, 0, 1},    {27, 0, 0, 1},
        {28, 0, 0, 4},    {29, 10, 0, 44},  {30, 10, 0, 8},   {31, 0, 0, 18},
        {31, 0, 12, 6},   {31, 0, 38, 16},  {31, 0, 39, 0},   {31, 0, -1, 0},
        {32, 10, 3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.width, CNAItemDescription::s_nGetQFSize(T(c.type), c.size, c.digits))
            << c.type << " " << c.size << " " << c.digits;
}

TEST(ItemTypeTranslations, UnicodeToAnsiTwin)
{
    struct Case { int type; uint32_t size; int outType; uint32_t outSize; };
    const Case cases[] = {{29, 20, 2, 10}, {29, 21, 2, 10}, {30, 8, 15, 8}, {2, 20, 2, 20}, {5, 4, 5, 4}};
    for (const Case& c : cases) {
        eNA_ITEMTYPE type = T(c.type);
        uint32_t size = c.size;
        CNAItemDescription::s_Type2Ansi(&type, &size);
        EXPECT_EQ(c.outType, type) << c.type;
        EXPECT_EQ(c.outSize, size) << c.type;
    }
}

TEST(ItemTypeTranslations, ItemTypeOfANumber)
{
    struct Case { int integer, decimals, type; uint32_t size; };
    const Case cases[] = {
        {-1, 0, 7, 8},   {0, -3, 7, 8},   {0, 0, 7, 8},    {1, 0, 4, 1},    {2, 0, 4, 1},
        {3, 0, 3, 2},    {4, 0, 3, 2},    {5, 0, 5, 4},    {9, 0, 5, 4},    {10, 0, 19, 8},
        {18, 0, 19, 8},
        // 19 digits reach past the 64-bit integers: a decimal of 9 bytes.
        {19, 0, 31, 9},  {20, 0, 31, 9},  {38, 0, 31, 16}, {39, 0, 7, 8},
        {10, 2, 17, 10}, {0, 6, 17, 10},  {10, 6, 17, 10}, {11, 2, 31, 6},  {10, 7, 31, 8},
        {0, 38, 31, 16}, {1, 38, 7, 8},   {30, 9, 7, 8},
    };
    for (const Case& c : cases) {
        eNA_ITEMTYPE type = NA_IT_EMPTY;
        uint32_t size = 0;
        CNAItemDescription::s_GetTypeFromFormat(c.integer, c.decimals, &type, &size);
        EXPECT_EQ(c.type, type) << c.integer << "," << c.decimals;
        EXPECT_EQ(c.size, size) << c.integer << "," << c.decimals;
    }
}

TEST(ItemTypeTranslations, DigitCountsOfIntegralRuntimeTypes)
{
    struct Case { int zl, result, digits, decimals; };
    const Case cases[] = {
        {1, 1, 1, 0},  {2, 1, 3, 0},   {6, 1, 3, 0},  {3, 1, 5, 0},   {7, 1, 5, 0},  {4, 1, 10, 0},
        {8, 1, 10, 0}, {14, 1, 10, 0}, {5, 1, 19, 0}, {9, 1, 19, 0},  {27, 1, 19, 0}, {10, 1, 33, 5},
        {0, 0, -7, 0}, {11, 0, -7, 0}, {13, 0, -7, 0}, {19, 0, -7, 0}, {28, 0, -7, 0}, {110, 0, -7, 0},
    };
    for (const Case& c : cases) {
        int digits = -7;
        int decimals = -7;
        EXPECT_EQ(c.result, CNAItemDescription::s_bGetDecimalInfo(static_cast<unsigned short>(c.zl), &digits, &decimals))
            << c.zl;
        EXPECT_EQ(c.digits, digits) << c.zl;
        EXPECT_EQ(c.decimals, decimals) << c.zl;
    }
}

}  // namespace
