// The SQL type map (generic entries, replacement, the text of an item's
// type), SQL white space, and the bounds of runtime values.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include "common/text/xy_string.h"
#include "native/model/sql_text_tests.h"
#include "native/model/type_map.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/model/model_fixture.h"

namespace {

class TypeMap : public vxtest::ModelTest
{
};

// Each generic entry through an item of that type, as a connection writes
// a column; types without an entry give 0 and leave the text alone.
TEST_F(TypeMap, GenericEntries)
{
    struct Case { eNA_ITEMTYPE type; unsigned size; int integer, decimals; const wchar_t* text; };
    const Case cases[] = {
        {NA_IT_IDAUTO, 8, 0, 0, L"NUMERIC(19,0)"},
        {NA_IT_TEXTE, 51, 0, 0, L"VARCHAR(50)"},          {NA_IT_I2, 2, 0, 0, L"SMALLINT"},
        {NA_IT_I1, 1, 0, 0, L"SMALLINT"},                 {NA_IT_I4, 4, 0, 0, L"INTEGER"},
        {NA_IT_R4, 4, 0, 0, L"REAL"},                     {NA_IT_R8, 8, 0, 0, L"FLOAT"},
        {static_cast<eNA_ITEMTYPE>(8), 4, 0, 0, nullptr}, {NA_IT_UI2, 2, 0, 0, L"SMALLINT"},
        {NA_IT_DATE6, 7, 0, 0, L"DATE"},                  {NA_IT_HEURE, 10, 0, 3, L"TIME"},
        {NA_IT_UI1, 1, 0, 0, L"SMALLINT"},                {NA_IT_REELTURBO, 8, 0, 0, L"FLOAT"},
        {NA_IT_DATE8, 9, 0, 0, L"DATE"},                  {NA_IT_MEMOTEXTE, 8, 0, 0, L"TEXT"},
        {NA_IT_MEMOBINAIRE4, 8, 0, 0, nullptr},           {NA_IT_MONETAIRE, 10, 0, 0, L"NUMERIC(24,6)"},
        {NA_IT_MEMOBINAIRE, 8, 0, 0, nullptr},            {NA_IT_I8, 8, 0, 0, L"NUMERIC(19,0)"},
        {NA_IT_UI8, 8, 0, 0, L"NUMERIC(20,0)"},           {NA_IT_IMAGE, 44, 0, 0, L"CHARACTER(44)"},
        {NA_IT_UI4, 4, 0, 0, L"INTEGER"},                 {NA_IT_BINAIRE, 12, 0, 0, L"VARBINARY(10)"},
        {NA_IT_DATETIME, 8, 0, 0, L"TIMESTAMP"},          {NA_IT_TIMELENGHT, 8, 0, 0, L"NUMERIC(19,0)"},
        {NA_IT_CHAR, 1, 0, 0, L"CHARACTER"},              {NA_IT_BOOLEEN, 1, 0, 0, L"SMALLINT"},
        {NA_IT_IDAUTO4, 4, 0, 0, L"INTEGER"},             {NA_IT_UNICODE, 22, 0, 0, L"NVARCHAR(10)"},
        {NA_IT_MEMOUNICODE, 8, 0, 0, L"NTEXT"},           {NA_IT_DECIMAL, 6, 10, 2, L"NUMERIC(12,2)"},
    };
    CNAMapConvertType map;
    map._Init();
    EXPECT_EQ(28u, map.dwGetNumElement());
    for (const Case& c : cases) {
        SCOPED_TRACE(g_pszGetNAItemTypeName(c.type));
        CNAItemDescription* item = NewItem(L"C", c.type, c.size, c.integer, c.decimals);
        CTString text(L"untouched");
        EXPECT_EQ(c.text != nullptr ? 1 : 0, map.bFormat(item, &text));
        EXPECT_STREQ(c.text != nullptr ? c.text : L"untouched", text.pszGet());
    }
    // Type 0 (which bInit would make TEXTE) from an item of the host's.
    StandinItemDescription empty({L"E", NA_IT_EMPTY, 4});
    CTString text(L"untouched");
    EXPECT_EQ(0, map.bFormat(&empty, &text));
    EXPECT_EQ(0, map.bFormat(nullptr, &text));
    EXPECT_STREQ(L"untouched", text.pszGet());
}

TEST_F(TypeMap, AddReplacesAnEntry)
{
    CNAMapConvertType map;
    map._Init();
    CNATypeInfo* first = nullptr;
    ASSERT_TRUE(map.bGetElementRef(NA_IT_TEXTE, &first));
    EXPECT_EQ(2u, first->m_dwRefCount);
    EXPECT_EQ(1, map.Add(NA_IT_TEXTE, L"VARCHAR(%d) BINARY", 1));
    EXPECT_EQ(28u, map.dwGetNumElement());
    EXPECT_EQ(1u, first->m_dwRefCount) << "the map dropped its reference";
    first->nRelease();

    CNAItemDescription* item = NewItem(L"C", NA_IT_TEXTE, 51);
    CTString text;
    ASSERT_EQ(1, map.bFormat(item, &text));
    EXPECT_STREQ(L"VARCHAR(50) BINARY", text.pszGet());

    // A time text that takes the fractional digits: the size less 7.
    EXPECT_EQ(1, map.Add(NA_IT_HEURE, L"TIME(%d)", 1));
    for (auto [size, expected] : {std::pair{10u, L"TIME(3)"}, std::pair{7u, L"TIME(0)"}, std::pair{5u, L"TIME(0)"}}) {
        CNAItemDescription* hour = NewItem(L"H", NA_IT_HEURE, size);
        ASSERT_EQ(1, map.bFormat(hour, &text));
        EXPECT_STREQ(expected, text.pszGet()) << size;
    }
    // A type without a generic entry gets one.
    EXPECT_EQ(1, map.Add(NA_IT_MEMOBINAIRE, L"LONGBLOB", 0));
    ASSERT_EQ(1, map.bFormat(NewItem(L"B", NA_IT_MEMOBINAIRE, 8), &text));
    EXPECT_STREQ(L"LONGBLOB", text.pszGet());
    EXPECT_EQ(29u, map.dwGetNumElement());
}

TEST(SqlText, WhiteSpace)
{
    for (unsigned c = 0; c < 0x3000; ++c)
        EXPECT_EQ(c == 9 || c == 10 || c == 13 || c == 32 ? 1 : 0, s_bEspaceSQL(static_cast<wchar_t>(c))) << c;
    EXPECT_EQ(0, s_bEspaceSQL(static_cast<wchar_t>(0xFFFFFFFF)));
}

class CheckValue : public vxtest::AnyVmTest
{
protected:
    template <class T>
    static CAny Fixed(unsigned short type, T t)
    {
        CAny v;
        v.__SetType(type, 0);
        v._Ecrit<T>(t);
        return v;
    }
    template <class C>
    static CAny Dynamic(unsigned short type, const C* text, bool bMarker)
    {
        CXYString<C> s(text);
        if (bMarker)
            s._SetFlagsWord(STRMEM_FLAG_END_MARKER);
        CAny v;
        v.__SetType(type, 0);
        v.Objet().SetValue(&s);
        return v;
    }
};

TEST_F(CheckValue, BoundsOfEachType)
{
    const wchar_t wideMax[] = {L'a', static_cast<wchar_t>(0xFFFFFFFF), 0};
    struct Case { const char* name; CAny value; int expected; };
    const Case cases[] = {
        {"I2 min", Fixed<int16_t>(ZLTYPE_I2, INT16_MIN), 1},
        {"I2 max", Fixed<int16_t>(ZLTYPE_I2, INT16_MAX), 2},
        {"I2 zero", Fixed<int16_t>(ZLTYPE_I2, 0), 0},
        {"I1 min", Fixed<int8_t>(ZLTYPE_I1, INT8_MIN), 1},
        {"I4 max", Fixed<int32_t>(ZLTYPE_I4, INT32_MAX), 2},
        {"I8 min", Fixed<int64_t>(ZLTYPE_I8, INT64_MIN), 1},
        {"I8 near max", Fixed<int64_t>(ZLTYPE_I8, INT64_MAX - 1), 0},
        {"UI2 zero", Fixed<uint16_t>(ZLTYPE_UI2, 0), 1},
        {"UI2 max", Fixed<uint16_t>(ZLTYPE_UI2, UINT16_MAX), 2},
        {"UI1 max", Fixed<uint8_t>(ZLTYPE_UI1, 255), 2},
        {"UI4 max", Fixed<uint32_t>(ZLTYPE_UI4, UINT32_MAX), 2},
        {"UIX max", Fixed<uint64_t>(ZLTYPE_UIX, UINT64_MAX), 2},
        {"UI8 one", Fixed<uint64_t>(ZLTYPE_UI8, 1), 0},
        {"R4 min", Fixed<float>(ZLTYPE_R4, -FLT_MAX), 1},
        {"R4 max", Fixed<float>(ZLTYPE_R4, FLT_MAX), 2},
        {"R8 max", Fixed<double>(ZLTYPE_R8, DBL_MAX), 2},
        {"R8 min", Fixed<double>(ZLTYPE_R8, -DBL_MAX), 1},
        {"R8 infinity", Fixed<double>(ZLTYPE_R8, HUGE_VAL), 0},
        {"decimal min", Make(ZLTYPE_DECIMAL, L"-999.99"), 1},
        {"decimal max", Make(ZLTYPE_DECIMAL, L"999.99"), 2},
        {"decimal inside", Make(ZLTYPE_DECIMAL, L"998.99"), 0},
        {"CARA 255", Fixed<uint8_t>(ZLTYPE_CARA, 255), 2},
        {"CARA 254", Fixed<uint8_t>(ZLTYPE_CARA, 254), 0},
        {"PSTRA ending 255", Make(ZLTYPE_PSTRA, L"ab\u00FF"), 2},
        {"PSTRA empty", Make(ZLTYPE_PSTRA, L""), 0},
        {"DATEA", Make(ZLTYPE_DATEA, L"20240101"), 0},
        {"PSTRW ending all bits", Make(ZLTYPE_PSTRW, wideMax), 2},
        {"PSTRW", Make(ZLTYPE_PSTRW, L"zz"), 0},
        {"CARW all bits", Fixed<uint32_t>(ZLTYPE_CARW, 0xFFFFFFFF), 2},
        {"DSTRW with the end marker", Dynamic<wchar_t>(ZLTYPE_DSTRW, L"abc", true), 2},
        {"DSTRW without", Dynamic<wchar_t>(ZLTYPE_DSTRW, L"abc", false), 0},
        {"DSTRA with the end marker", Dynamic<char>(ZLTYPE_DSTRA, "abc", true), 2},
        {"empty value", CAny(), 0},
        {"DATETIME zero", Fixed<uint64_t>(ZLTYPE_DATETIME, 0), 1},
        {"DATETIME last", Fixed<uint64_t>(ZLTYPE_DATETIME, 0x05265BFF270F0C1Dull), 0},
        // The milliseconds weigh most in the comparison.
        {"DATETIME past the last", Fixed<uint64_t>(ZLTYPE_DATETIME, 0x05265C00000101ull << 8), 2},
        {"DATETIME 1 January 2000", Make(ZLTYPE_DATETIME, L"20000101"), 0},
        {"DUREE zero", Fixed<int64_t>(ZLTYPE_DUREE, 0), 1},
        {"DUREE large", Fixed<int64_t>(ZLTYPE_DUREE, INT64_MAX), 2},
        {"DUREE negative", Fixed<int64_t>(ZLTYPE_DUREE, INT64_MIN), 0},
        {"BOOL", Fixed<int32_t>(ZLTYPE_BOOL, 1), 0},
        {"BIN", Make(ZLTYPE_BIN, L"\u00FF"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, eCheckValue(&c.value));
        CAny null(c.value);
        null.SetNull();
        EXPECT_EQ(0, eCheckValue(&null));
    }
    // A duration whose type word carries more than its code.
    CAny flagged = Fixed<int64_t>(ZLTYPE_DUREE, 5);
    flagged.SetFlag0400();
    EXPECT_EQ(1, eCheckValue(&flagged));
    EXPECT_EQ(0, eCheckValue(nullptr));
}

}  // namespace
