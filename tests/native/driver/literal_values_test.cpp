// Runtime values written as SQL literals: NULL, booleans, numbers with a
// decimal point, the base text escaping (8-bit and wide, by kind and by the
// builder's code page), what the escaping receives, and the strict cast that
// runs before the literal is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/string_concat_aw.h"
#include "native/driver/connection_description.h"
#include "tests/native/model/variant_fixture.h"

namespace {

// A test connection that notes what its text escaping receives.
class CRecordingConnection : public CTestConnection
{
public:
    using CTestConnection::CTestConnection;

    struct Call
    {
        unsigned short type;
        std::vector<unsigned char> bytes;
        unsigned long size;
    };

    int _bEscapeString(CNAError* pclError, CTStringConcatAW* pclOut, unsigned short nType, unsigned char* pData,
                       unsigned long nSize) override
    {
        calls.push_back({nType, pData != nullptr ? std::vector<unsigned char>(pData, pData + nSize)
                                                 : std::vector<unsigned char>(),
                         nSize});
        return CTestConnection::_bEscapeString(pclError, pclOut, nType, pData, nSize);
    }

    std::vector<Call> calls;
};

class Literals : public vxtest::VariantTest
{
protected:
    // The literal of a value on the fixture's connection, with a builder of
    // a wide master.
    std::wstring Literal(const CAny& v, eNA_ITEMTYPE eType = NA_IT_EMPTY, eNA_ITEMTYPE eSecond = NA_IT_EMPTY)
    {
        CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
        out.Add(L"garbage", -1);
        EXPECT_EQ(1, m_pclConnection->bConvertValueToString(m_pclError, &out, &v, eType, eSecond));
        return out.pszGetW();
    }
    // The base escaping alone, appended to an empty builder.
    std::wstring Escaped(unsigned short type, const void* data, unsigned long size,
                         unsigned codePage = CTStringConcatAW::kMaitreLarge)
    {
        CTStringConcatAW out(codePage, 1252);
        EXPECT_EQ(1, m_pclConnection->_bEscapeString(m_pclError, &out, type,
                                                     static_cast<unsigned char*>(const_cast<void*>(data)), size));
        return out.pszGetW();
    }
    static CAny Null(unsigned short code)
    {
        CAny v;
        v.__SetType(code, 0);
        v.SetNull();
        return v;
    }
};

TEST_F(Literals, NullBooleansAndNumbers)
{
    CAny boolTrue, boolFalse, boolTwo, i4, i8, u8, r8, empty;
    boolTrue.SetBOOL(1);
    boolFalse.SetBOOL(0);
    boolTwo.SetBOOL(2);
    i4.SetI4(-42);
    i8.SetI8(-9000000000000);
    u8.SetUI8(18000000000000000000ul);
    r8.SetR8(2.5);
    EXPECT_EQ(L"NULL", Literal(Null(ZLTYPE_DSTRW)));
    EXPECT_EQ(L"NULL", Literal(Null(ZLTYPE_I4)));
    EXPECT_EQ(L"NULL", Literal(empty));
    EXPECT_EQ(L"1", Literal(boolTrue));
    EXPECT_EQ(L"0", Literal(boolFalse));
    EXPECT_EQ(L"1", Literal(boolTwo)) << "true is any non-zero value";
    EXPECT_EQ(L"-42", Literal(i4));
    EXPECT_EQ(L"-9000000000000", Literal(i8));
    EXPECT_EQ(L"18000000000000000000", Literal(u8));
    EXPECT_EQ(L"2.5", Literal(r8));
    EXPECT_EQ(L"-1234.50", Literal(Make(ZLTYPE_DECIMAL, L"-1234.50")));
    EXPECT_EQ(L"1.5", Literal(Make(ZLTYPE_CY, L"1.5")));
    // A runtime whose numbers are written with a decimal comma.
    Vm().SetDecimalComma(true);
    ASSERT_EQ(L"2,5", Text(r8));
    EXPECT_EQ(L"2.5", Literal(r8));
    EXPECT_EQ(L"-1234.50", Literal(Make(ZLTYPE_DECIMAL, L"-1234.50")));
    Vm().SetDecimalComma(false);
    EXPECT_TRUE(NoError());
}

// Integers are written without asking the runtime: each must read as the
// runtime's own text of it, at both ends of every width, also after the cast
// to an item of another width.
TEST_F(Literals, IntegersAsTheRuntimeWritesThem)
{
    std::vector<CAny> values;
    const auto add = [&](auto set) {
        values.emplace_back();
        set(values.back());
    };
    for (unsigned char n : {0, 1, 127, 255})
        add([&](CAny& v) { v.SetUI1(n); });
    for (unsigned short n : {0, 9, 65535})
        add([&](CAny& v) { v.SetUI2(n); });
    for (unsigned n : {0u, 10u, 4294967295u})
        add([&](CAny& v) { v.SetUI4(n); });
    for (unsigned long n : {0ul, 99ul, 18446744073709551615ul})
        add([&](CAny& v) { v.SetUI8(n); });
    for (int n : {-128, -1, 0, 127})
        add([&](CAny& v) { v.SetI1(static_cast<char>(n)); });
    for (short n : {-32768, -10, 32767})
        add([&](CAny& v) { v.SetI2(n); });
    for (int n : {-2147483647 - 1, -1, 0, 7, 2147483647})
        add([&](CAny& v) { v.SetI4(n); });
    for (long n : {-9223372036854775807l - 1, -100l, 1000000l, 9223372036854775807l})
        add([&](CAny& v) { v.SetI8(n); });
    for (const CAny& v : values) {
        const std::wstring runtime = Text(v);
        ASSERT_FALSE(runtime.empty());
        EXPECT_EQ(runtime, Literal(v)) << "type " << v.nGetTypeCode();
        EXPECT_EQ(runtime, Literal(v, NA_IT_EMPTY, NA_IT_I8)) << "type " << v.nGetTypeCode();
        // A strict cast to a wider item keeps the number; one that does not
        // fit leaves the value as it was.
        EXPECT_EQ(runtime, Literal(v, NA_IT_I8)) << "type " << v.nGetTypeCode();
        EXPECT_EQ(runtime, Literal(v, NA_IT_I1)) << "type " << v.nGetTypeCode();
    }
    EXPECT_TRUE(NoError());
}

TEST_F(Literals, BaseEscapingOfEightBitText)
{
    EXPECT_EQ(L"'a''b'", Literal(Make(ZLTYPE_DSTRA, L"a'b")));
    EXPECT_EQ(L"''", Literal(Make(ZLTYPE_DSTRA, L"")));
    EXPECT_EQ(L"''''''", Literal(Make(ZLTYPE_DSTRA, L"''")));
    EXPECT_EQ(L"'caf\u00e9'", Literal(Make(ZLTYPE_PSTRA, L"caf\u00e9")));
    EXPECT_EQ(L"'x'", Literal(Make(ZLTYPE_CARA, L"x")));
    // Size 0 and binary data without terminator: read only within the size.
    EXPECT_EQ(L"''", Escaped(19, "abc", 0));
    const unsigned char bytes[] = {'a', 'b', 'c'};
    EXPECT_EQ(L"'ab'", Escaped(28, bytes, 2));
    EXPECT_EQ(L"'a'", Escaped(28, "a\0b", 3));
}

TEST_F(Literals, BaseEscapingOfWideTextByKindAndBuilder)
{
    const std::wstring text = L"it's \u00e9\u20ac";
    const CAny wide = Make(ZLTYPE_DSTRW, text.c_str());
    // Kind 5: a plain quote.
    EXPECT_EQ(L"'it''s \u00e9\u20ac'", Literal(wide));
    // Kinds 1 and 2: N'...'; into an 8-bit master (not UTF-8) through UTF-8.
    for (int kind : {1, 2}) {
        Connection().SetDBKind(kind);
        EXPECT_EQ(L"N'it''s \u00e9\u20ac'", Literal(wide)) << kind;
        CTStringConcatAW utf8Input(1252, 1252);
        ASSERT_EQ(1, m_pclConnection->bConvertValueToString(m_pclError, &utf8Input, &wide, NA_IT_EMPTY, NA_IT_EMPTY));
        EXPECT_STREQ(L"N'it''s \u00e9\u20ac'", utf8Input.pszGetW());
        CTStringConcatAW utf8Master(65001, 65001);
        ASSERT_EQ(1, m_pclConnection->bConvertValueToString(m_pclError, &utf8Master, &wide, NA_IT_EMPTY, NA_IT_EMPTY));
        EXPECT_STREQ("N'it''s \xC3\xA9\xE2\x82\xAC'", utf8Master.pszGetA());
    }
    Connection().SetDBKind(5);
    // Trailing NUL characters dropped; and the text ends at its first NUL,
    // so that nothing is cut from behind the closing quote.
    const wchar_t padded[] = {L'a', L'b', 0, 0};
    EXPECT_EQ(L"'ab'", Escaped(16, padded, sizeof padded));
    const wchar_t inner[] = {L'a', 0, L'\'', L'b'};
    EXPECT_EQ(L"'a'", Escaped(110, inner, sizeof inner));
    EXPECT_EQ(L"''", Escaped(16, padded, 0));
    EXPECT_EQ(L"''", Literal(Make(ZLTYPE_DSTRW, L"")));
    EXPECT_EQ(L"'\u00e9'", Literal(Make(ZLTYPE_CARW, L"\u00e9")));
}

TEST_F(Literals, WhatTheEscapingReceives)
{
    CRecordingConnection connection(L"REC", &m_hostConnection);
    auto literal = [&](const CAny& v) {
        CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
        EXPECT_EQ(1, connection.bConvertValueToString(m_pclError, &out, &v, NA_IT_EMPTY, NA_IT_EMPTY));
        return std::wstring(out.pszGetW());
    };
    // One character of each width, a zero one included: size 0.
    CAny zeroA, zeroW;
    const char nul = 0;
    const wchar_t wnul = 0;
    zeroA.__SetType(ZLTYPE_CARA, 0);
    zeroA.Objet().SetValue(&nul);
    zeroW.__SetType(ZLTYPE_CARW, 0);
    zeroW.Objet().SetValue(&wnul);
    EXPECT_EQ(L"''", literal(zeroA));
    EXPECT_EQ(L"''", literal(zeroW));
    EXPECT_EQ(L"'q'", literal(Make(ZLTYPE_CARA, L"q")));
    ASSERT_EQ(3u, connection.calls.size());
    EXPECT_EQ(ZLTYPE_CARA, connection.calls[0].type);
    EXPECT_EQ(0u, connection.calls[0].size);
    EXPECT_EQ(ZLTYPE_CARW, connection.calls[1].type);
    EXPECT_EQ(0u, connection.calls[1].size);
    EXPECT_EQ(ZLTYPE_CARA, connection.calls[2].type) << "its own code, not another text's";
    EXPECT_EQ(1u, connection.calls[2].size);
    // Texts with their terminator, binary values with their bytes.
    connection.calls.clear();
    literal(Make(ZLTYPE_DSTRA, L"ab"));
    CAny bin;
    const unsigned char bytes[] = {0, 1, 2};
    bin.SetBIN(bytes, sizeof bytes);
    literal(bin);
    ASSERT_EQ(2u, connection.calls.size());
    EXPECT_EQ((std::vector<unsigned char>{'a', 'b', 0}), connection.calls[0].bytes);
    EXPECT_EQ(ZLTYPE_BIN, connection.calls[1].type);
    EXPECT_EQ((std::vector<unsigned char>{0, 1, 2}), connection.calls[1].bytes);
}

TEST_F(Literals, StrictCastBeforeTheLiteralAndItsErrorStaysOut)
{
    // Cast to the column's type first.
    EXPECT_EQ(L"42", Literal(Make(ZLTYPE_DSTRA, L"42"), NA_IT_I4));
    CAny i4;
    i4.SetI4(7);
    EXPECT_EQ(L"'7'", Literal(i4, NA_IT_TEXTE));
    // A cast that fails writes the value as it was and reports nothing:
    // the statement's own error keeps its type.
    EXPECT_EQ(L"'abc'", Literal(Make(ZLTYPE_DSTRA, L"abc"), NA_IT_I4));
    EXPECT_TRUE(NoError());
    m_pclError->_SetDataBaseError(NA_ERR_DUPLICATE_KEY, m_pclConnection, 1, 1062, L"Duplicate entry", nullptr, nullptr);
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, m_pclError->eGetErrorType());
    // The time of a date-time for an HEURE column.
    const CAny dt = Make(ZLTYPE_DATETIME, L"20240131123456789");
    EXPECT_EQ(L"'12:34:56.789'", Literal(dt, NA_IT_HEURE));
    EXPECT_EQ(L"'2024-01-31 12:34:56.789'", Literal(dt, NA_IT_DATETIME));
}

}  // namespace
