// Casts of runtime values through the stand-in virtual machine: every pair
// of the driver's common types, the flags a cast keeps, failures that leave
// the value as it was, and who owns what the machine made.
#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

#include "common/text/any_string.h"
#include "common/text/ct_string.h"
#include "tests/common/text/any_vm_fixture.h"

namespace {

using vxtest::AnyVmTest;
using vxtest::BlockOf;

class AnyCast : public AnyVmTest
{
};

struct Sample
{
    unsigned short type;
    const wchar_t* text;
};

// One value of each type the driver casts between, given by its text.
const std::vector<Sample> kSamples = {
    {ZLTYPE_BOOL, L"1"},          {ZLTYPE_UI4, L"4000000000"},   {ZLTYPE_I4, L"-42"},
    {ZLTYPE_I8, L"9000000000"},   {ZLTYPE_CY, L"12.5"},          {ZLTYPE_R8, L"0.25"},
    {ZLTYPE_DECIMAL, L"-3.140"},  {ZLTYPE_DSTRW, L"Zoé"},        {ZLTYPE_DSTRA, L"abc"},
    {ZLTYPE_PSTRA, L"xyz"},       {ZLTYPE_PSTRW, L"wide"},       {ZLTYPE_DATEW, L"20240229"},
    {ZLTYPE_TIMEW, L"235959999"}, {ZLTYPE_DATETIME, L"20240229235959999"},
    {ZLTYPE_DUREE, L"1000000000"}, {ZLTYPE_BIN, L"bin"},         {ZLTYPE_DATEA, L"19991231"},
    {ZLTYPE_TIMEA, L"010203004"},
};

bool IsText(unsigned short type)
{
    return type == ZLTYPE_DSTRW || type == ZLTYPE_DSTRA || type == ZLTYPE_PSTRA || type == ZLTYPE_PSTRW;
}

TEST_F(AnyCast, EveryPairConvertsOrLeavesTheValueAsItWas)
{
    for (const Sample& from : kSamples) {
        const CAny source = Make(from.type, from.text);
        ASSERT_EQ(from.type, source.wGetType());
        for (const Sample& to : kSamples) {
            CAny v(source);
            v.SetFlag0400();
            const int rc = v.__nCastTo(to.type, nullptr, 1);
            if (rc > 99) {
                EXPECT_EQ(from.type | ANY_FLAG_0400, v.wGetType()) << from.type << "->" << to.type;
                EXPECT_EQ(Text(source), Text(v)) << from.type << "->" << to.type;
                continue;
            }
            EXPECT_EQ(to.type | ANY_FLAG_0400, v.wGetType()) << from.type << "->" << to.type;
            // Through a text and back, a value keeps its text.
            if (IsText(to.type) && from.type != ZLTYPE_BIN) {
                CAny back(v);
                ASSERT_LE(back.__nCastTo(from.type, nullptr, 1), 99) << from.type << "->" << to.type << "->back";
                EXPECT_EQ(Text(source), Text(back)) << from.type << "->" << to.type << "->back";
            }
        }
    }
}

TEST_F(AnyCast, TextsOfTheCommonTypes)
{
    const struct
    {
        unsigned short type;
        const wchar_t* text;
        unsigned short target;
        const wchar_t* expected;
    } cases[] = {
        {ZLTYPE_I4, L"-42", ZLTYPE_R8, L"-42"},
        {ZLTYPE_R8, L"2.75", ZLTYPE_I4, L"2"},
        {ZLTYPE_CY, L"1.5", ZLTYPE_DECIMAL, L"1.500000"},
        {ZLTYPE_DECIMAL, L"-3.140", ZLTYPE_CY, L"-3.14"},
        {ZLTYPE_DATETIME, L"20240229235959999", ZLTYPE_DATEW, L"20240229"},
        {ZLTYPE_DATETIME, L"20240229235959999", ZLTYPE_TIMEA, L"235959999"},
        {ZLTYPE_DATEW, L"20240229", ZLTYPE_DATETIME, L"20240229000000000"},
        {ZLTYPE_I8, L"90061001", ZLTYPE_DUREE, L"1010101001"},
        {ZLTYPE_DSTRW, L"Zoé", ZLTYPE_DSTRA, L"Zoé"},
        {ZLTYPE_PSTRW, L"123", ZLTYPE_UI4, L"123"},
    };
    for (const auto& c : cases) {
        CAny v = Make(c.type, c.text);
        ASSERT_LE(v.__nCastTo(c.target, nullptr, 1), 99) << c.type << "->" << c.target;
        EXPECT_EQ(c.target, v.wGetType());
        EXPECT_EQ(std::wstring(c.expected), Text(v)) << c.type << "->" << c.target;
    }
}

// The machine's own copy is released once the value has taken its own: a
// runtime block is shared, a heap text and a decimal copied.
TEST_F(AnyCast, TheValueOwnsItsResultAndTheConversionsCopyIsReleased)
{
    for (unsigned short target : {ZLTYPE_DSTRW, ZLTYPE_DSTRA, ZLTYPE_BIN}) {
        CAny v = Make(target == ZLTYPE_BIN ? ZLTYPE_PSTRW : ZLTYPE_I4, L"77");
        const long live = A().LiveBlocks();
        ASSERT_EQ(0, v.__nCastTo(target, nullptr, 1));
        EXPECT_EQ(live + 1, A().LiveBlocks()) << target;
        EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(BlockOf(v))) << target;
    }
    const long finished = Vm().TextsFinished();
    CAny heap = Make(ZLTYPE_I4, L"5");
    ASSERT_EQ(0, heap.__nCastTo(ZLTYPE_PSTRA, nullptr, 1));
    EXPECT_EQ(finished + 1, Vm().TextsFinished());
    const long decimals = Vm().LiveDecimals();
    CAny dec = Make(ZLTYPE_I4, L"5");
    ASSERT_EQ(0, dec.__nCastTo(ZLTYPE_DECIMAL, nullptr, 1));
    EXPECT_EQ(decimals + 1, Vm().LiveDecimals());
}

TEST_F(AnyCast, TheSameCodeCallsNothingEvenWhenNull)
{
    CAny v = Make(ZLTYPE_PSTRW, L"t");
    v.SetNull();
    const long calls = Vm().Calls(kStandinVmConversion);
    EXPECT_EQ(0, v.__nCastTo(ZLTYPE_PSTRW, nullptr, 1));
    EXPECT_EQ(calls, Vm().Calls(kStandinVmConversion));
    EXPECT_EQ(ZLTYPE_PSTRW | ANY_FLAG_NULL, v.wGetType());
}

TEST_F(AnyCast, NullAndTheCarriedFlagSurviveACast)
{
    CAny v;
    v.SetI4(31);
    v.SetNull();
    v.SetFlag0400();
    EXPECT_EQ(0, v.__nCastTo(ZLTYPE_PSTRW, nullptr, 1));
    EXPECT_EQ(ZLTYPE_PSTRW | ANY_FLAGS, v.wGetType());
    EXPECT_EQ(L"31", Text(v));
}

TEST_F(AnyCast, AFailureLeavesTypeFlagsAndValue)
{
    CAny v = Make(ZLTYPE_PSTRW, L"not a number");
    v.SetFlag0400();
    EXPECT_EQ(kStandinVmErrSyntax, v.__nCastTo(ZLTYPE_I4, nullptr, 1));
    EXPECT_EQ(ZLTYPE_PSTRW | ANY_FLAG_0400, v.wGetType());
    EXPECT_EQ(L"not a number", Text(v));
    Vm().SetResult(kStandinVmConversion, 160);
    CAny n;
    n.SetI4(3);
    EXPECT_EQ(160, n.__nCastTo(ZLTYPE_DSTRW, nullptr, 1));
    EXPECT_EQ(ZLTYPE_I4, n.wGetType());
    EXPECT_EQ(0, Vm().Calls(kStandinVmFinConversion)) << "nothing to finish after a failure";
    Vm().SetResult(kStandinVmConversion, 7);
    EXPECT_EQ(7, n.__nCastTo(ZLTYPE_DSTRW, nullptr, 1)) << "a warning converts all the same";
    EXPECT_EQ(ZLTYPE_DSTRW, n.wGetType());
}

TEST_F(AnyCast, CastToStringGivesTheValuesOwnTextOrConvertsTheValue)
{
    CAny w = Make(ZLTYPE_DSTRW, L"dyn");
    CAny p = Make(ZLTYPE_PSTRW, L"heap");
    const long calls = Vm().Calls(kStandinVmConversion);
    const wchar_t* psz = nullptr;
    EXPECT_EQ(0, w.__nCastToString(&psz, nullptr));
    EXPECT_STREQ(L"dyn", psz);
    EXPECT_EQ(0, p.__nCastToString(&psz, nullptr));
    EXPECT_STREQ(L"heap", psz);
    EXPECT_EQ(calls, Vm().Calls(kStandinVmConversion));

    CAny n;
    n.SetI4(-8);
    EXPECT_EQ(0, n.__nCastToString(&psz, nullptr));
    EXPECT_EQ(ZLTYPE_DSTRW, n.wGetType()) << "the value itself is converted";
    EXPECT_STREQ(L"-8", psz);
    const char* pszA = nullptr;
    CAny r;
    r.SetR8(0.5);
    EXPECT_EQ(0, r.__nCastToString(&pszA, nullptr));
    EXPECT_EQ(ZLTYPE_DSTRA, r.wGetType());
    EXPECT_STREQ("0.5", pszA);
    CAny q;
    q.SetI4(1);
    EXPECT_EQ(0, q.__nCastToString(static_cast<const wchar_t**>(nullptr), nullptr));
    EXPECT_EQ(ZLTYPE_DSTRW, q.wGetType());
}

TEST_F(AnyCast, TextIntoACallersStorage)
{
    unsigned char storage[40] = {};
    EXPECT_EQ(0, CAny::__s_nCastTo(storage, L"1234", ZLTYPE_I8, nullptr));
    long n;
    std::memcpy(&n, storage, sizeof n);
    EXPECT_EQ(1234, n);
    EXPECT_EQ(kStandinVmErrSyntax, CAny::__s_nCastTo(storage, L"12x", ZLTYPE_I8, nullptr));
    // The caller owns what lands there: no FinConversion.
    EXPECT_EQ(0, CAny::__s_nCastTo(storage, L"own", ZLTYPE_DSTRW, nullptr));
    EXPECT_EQ(0, Vm().Calls(kStandinVmFinConversion));
    CXYString<wchar_t> s;
    std::memcpy(static_cast<void*>(&s), storage, sizeof(void*));
    EXPECT_EQ(L"own", vxtest::TextOf(s));
}

TEST_F(AnyCast, FillStringSharesCopiesOrConverts)
{
    CAny w = Make(ZLTYPE_DSTRW, L"shared");
    CXYString<wchar_t> s(L"old");
    EXPECT_EQ(0, w.__nFillString(s, nullptr));
    EXPECT_EQ(BlockOf(w), s.pbyGetBlock());
    CAny p = Make(ZLTYPE_PSTRW, L"copied");
    const long calls = Vm().Calls(kStandinVmConversion);
    EXPECT_EQ(0, p.__nFillString(s, nullptr));
    EXPECT_EQ(L"copied", vxtest::TextOf(s));
    EXPECT_EQ(calls, Vm().Calls(kStandinVmConversion));
    CAny n;
    n.SetI8(-77);
    CXYString<char> a;
    EXPECT_EQ(0, n.__nFillString(a, nullptr));
    EXPECT_EQ("-77", vxtest::TextOf(a));
    EXPECT_EQ(1u, vxtest::RefCount(a)) << "the conversion's reference was dropped";
    EXPECT_EQ(ZLTYPE_I8, n.wGetType());
    CAny bad = Make(ZLTYPE_I4, L"1");
    Vm().SetResult(kStandinVmConversion, 170);
    EXPECT_EQ(170, bad.__nFillString(a, nullptr));
    EXPECT_EQ("-77", vxtest::TextOf(a));
}

// The machine's result replaces whatever the value held, also a value of
// the same type that owns an array.
TEST_F(AnyCast, TakingOverAResultReleasesWhatTheValueHeld)
{
    CAny v = Make(ZLTYPE_DSTRW, L"held");
    unsigned char buffer[40] = {};
    const long r = 5;
    std::memcpy(buffer, &r, sizeof r);
    v.SetNull();
    v.__TransfertValeurInterne(ZLTYPE_I8, buffer);
    EXPECT_EQ(ZLTYPE_I8, v.wGetType()) << "no flags";
    EXPECT_EQ(L"5", Text(v));

    CAny tab;
    STTabAny st{static_cast<CAny*>(std::malloc(2 * sizeof(CAny))), 2};
    new (&st.m_pclTab[0]) CAny(Make(ZLTYPE_DSTRW, L"one"));
    new (&st.m_pclTab[1]) CAny();
    CAny_ZLTABANY::s_SetDirect(&tab, st);
    const STTabAny empty{nullptr, 0};
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, &empty, sizeof empty);
    tab.__TransfertValeurInterne(ZLTYPE_TABANY, buffer);
    EXPECT_EQ(ZLTYPE_TABANY, tab.wGetType());
    // The sanitizer's leak check and the block count show the array went.
}

TEST_F(AnyCast, DiagnosticTexts)
{
    CXYString<wchar_t> s;
    CAny empty;
    EXPECT_EQ(0, nGetString(&s, empty, L"v: ", 0));
    EXPECT_EQ(L"v: <Empty>", vxtest::TextOf(s));
    CAny n;
    n.SetI4(12);
    n.SetNull();
    EXPECT_EQ(0, nGetString(&s, n, L"p", 1));
    EXPECT_EQ(L"pType=8, Len=4, Value=<NULL>", vxtest::TextOf(s));
    n.SetI4(258);
    EXPECT_EQ(0, nGetString(&s, n, nullptr, 1));
    EXPECT_EQ(L"Type=8, Len=4, Value=258, Value(binary)=02010000", vxtest::TextOf(s));
    EXPECT_EQ(0, nGetString(&s, static_cast<const CAny*>(nullptr), L"x=", 1));
    EXPECT_EQ(L"x=<NULL>", vxtest::TextOf(s));

    std::vector<unsigned char> bytes(600, 'A');
    CAny bin;
    bin.SetBIN(bytes.data(), bytes.size());
    EXPECT_EQ(0, nGetString(&s, bin, L"", 1));
    const std::wstring text = vxtest::TextOf(s);
    const std::wstring marker = L", Value(binary)=(first 500 bytes only) ";
    const size_t at = text.find(marker);
    ASSERT_NE(std::wstring::npos, at);
    EXPECT_EQ(1000u, text.size() - at - marker.size());

    Vm().SetResult(kStandinVmConversion, 155);
    CTString t;
    EXPECT_EQ(155, nGetString(&t, n, L"e ", 0));
    EXPECT_STREQ(L"e <ERROR>", t.pszGet());
}

// Without both conversion entry points (or without the factory, for a
// decimal target) nothing is called and the value stays as it was.
TEST_F(AnyCast, NothingCallsThroughAnUnboundConversion)
{
    PFN_FinConversion fin = gpfnFinConv;
    gpfnFinConv = nullptr;
    CAny v;
    v.SetI4(9);
    const long calls = Vm().Calls(kStandinVmConversion);
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, v.__nCastTo(ZLTYPE_PSTRW, nullptr, 1));
    CXYString<wchar_t> s;
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, v.__nFillString(s, nullptr));
    EXPECT_EQ(calls, Vm().Calls(kStandinVmConversion));
    EXPECT_EQ(ZLTYPE_I4, v.wGetType());
    gpfnFinConv = fin;

    IVMFactory* factory = gpiVMFactory;
    gpiVMFactory = nullptr;
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, v.__nCastTo(ZLTYPE_DECIMAL, nullptr, 1));
    CAny d;
    d.__SetType(ZLTYPE_DECIMAL, 0);
    EXPECT_EQ(ZLTYPE_VIDE, d.wGetType()) << "no factory, no decimal";
    gpiVMFactory = factory;
    EXPECT_EQ(calls, Vm().Calls(kStandinVmConversion));

    PFN_ConversionDepassementExt conv = gpfnConvDepExt;
    gpfnConvDepExt = nullptr;
    unsigned char storage[40] = {};
    EXPECT_EQ(ANY_ERR_VM_NON_LIE, CAny::__s_nCastTo(storage, L"1", ZLTYPE_I4, nullptr));
    gpfnConvDepExt = conv;
}

}  // namespace
