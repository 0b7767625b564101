// Comparisons, text matching, logic and arithmetic on runtime values through
// the stand-in virtual machine, with the NULL rules, the negated tests, the
// take-over of results and the calculation binding's edge cases.
#include <gtest/gtest.h>

#include "common/text/any_calcul.h"
#include "tests/common/text/any_vm_fixture.h"

namespace {

using vxtest::AnyVmTest;

class AnyCalcul : public AnyVmTest
{
protected:
    AnyCalcul() { m_bConversionsOnly = false; }
};

TEST_F(AnyCalcul, ComparisonsAcrossTypes)
{
    const struct
    {
        unsigned short ta;
        const wchar_t* a;
        unsigned short tb;
        const wchar_t* b;
        int expected;
    } cases[] = {
        {ZLTYPE_I4, L"2", ZLTYPE_R8, L"2.5", -1},
        {ZLTYPE_UI1, L"200", ZLTYPE_I8, L"-1", 1},
        {ZLTYPE_CY, L"1.5", ZLTYPE_DECIMAL, L"1.50", 0},
        {ZLTYPE_I4, L"3", ZLTYPE_CY, L"2.999999", 1},
        {ZLTYPE_BOOL, L"1", ZLTYPE_I2, L"1", 0},
        {ZLTYPE_DSTRW, L"abc", ZLTYPE_PSTRA, L"abd", -1},
        {ZLTYPE_DSTRA, L"B", ZLTYPE_PSTRW, L"a", -1},
        {ZLTYPE_DATETIME, L"20240101000000000", ZLTYPE_DATEW, L"20231231", 1},
        {ZLTYPE_DATEA, L"20240101", ZLTYPE_DATEW, L"20240101", 0},
        {ZLTYPE_DUREE, L"1000000000", ZLTYPE_DUREE, L"2000000000", -1},
    };
    for (const auto& c : cases) {
        const CAny a = Make(c.ta, c.a), b = Make(c.tb, c.b);
        int n = 99;
        EXPECT_EQ(0, nCompare(a, b, &n, 0)) << c.ta << "/" << c.tb;
        EXPECT_EQ(c.expected, n) << c.ta << "/" << c.tb;
        int eq = 99, gt = 99, lt = 99, ne = 99, le = 99, ge = 99;
        EXPECT_EQ(0, nEgalite(a, b, &eq, 0));
        EXPECT_EQ(0, nSuperieur(a, b, &gt, 0));
        EXPECT_EQ(0, nInferieur(a, b, &lt, 0));
        EXPECT_EQ(0, nDifferent(a, b, &ne, 0));
        EXPECT_EQ(0, nInfEgal(a, b, &le, 0));
        EXPECT_EQ(0, nSupEgal(a, b, &ge, 0));
        EXPECT_EQ(c.expected == 0, eq != 0);
        EXPECT_EQ(c.expected > 0, gt != 0);
        EXPECT_EQ(c.expected < 0, lt != 0);
        EXPECT_EQ(c.expected != 0, ne == 1);
        EXPECT_EQ(c.expected <= 0, le == 1);
        EXPECT_EQ(c.expected >= 0, ge == 1);
    }
}

TEST_F(AnyCalcul, TextMatchingInThreeStrengths)
{
    using Fn = int (*)(const CAny&, const CAny&, int*, unsigned int);
    const CAny text = Make(ZLTYPE_DSTRW, L"Élan vital");
    const struct
    {
        Fn fn;
        const wchar_t* pattern;
        int expected;
    } cases[] = {
        {nCommencePar, L"Élan", 1},           {nCommencePar, L"élan", 0},
        {nCommenceParSouple, L"élan", 1},     {nCommenceParSouple, L"Elan", 0},
        {nCommenceParTresSouple, L"ELAN", 1}, {nContient, L"n v", 1},
        {nContient, L"N V", 0},               {nContientSouple, L"N V", 1},
        {nContientTresSouple, L"LAN VI", 1},  {nTerminePar, L"vital", 1},
        {nTermineParSouple, L"VITAL", 1},     {nTermineParTresSouple, L"lan VITAL", 1},
        {nTerminePar, L"Élan vital!", 0},     {nSoupleEgal, L"ÉLAN VITAL", 1},
        {nSoupleEgal, L"ELAN VITAL", 0},      {nPresqueEgal, L"elan vital  ", 1},
    };
    for (const auto& c : cases) {
        int n = 99;
        EXPECT_EQ(0, c.fn(text, Make(ZLTYPE_PSTRW, c.pattern), &n, 0));
        EXPECT_EQ(c.expected, n != 0) << std::string(c.pattern, c.pattern + std::wcslen(c.pattern));
    }
}

TEST_F(AnyCalcul, LogicOnNumbers)
{
    CAny t, f, r;
    t.SetI4(5);
    f.SetR8(0.0);
    int n = 9;
    EXPECT_EQ(0, nAnd(t, f, &n, 0));
    EXPECT_EQ(0, n);
    EXPECT_EQ(0, nOr(t, f, &r, 0));
    EXPECT_EQ(ZLTYPE_BOOL, r.wGetType());
    EXPECT_EQ(1, r._tLit<int>());
    EXPECT_EQ(0, nNot(f, &n, 0));
    EXPECT_EQ(1, n);
    EXPECT_EQ(kStandinVmErrType, nAnd(t, Make(ZLTYPE_DSTRW, L"x"), &n, 0));
}

// The NULL rule of tests, and the negated tests' answer after a failure.
TEST_F(AnyCalcul, NullOperandsAndFailedTests)
{
    CAny a, b, r;
    a.SetI4(1);
    b.SetI4(1);
    b.SetNull();
    int n = 42;
    EXPECT_EQ(ANY_ERR_NULL, nEgalite(a, b, &n, 0));
    EXPECT_EQ(ANY_ERR_NULL, nNot(b, &n, 0));
    EXPECT_EQ(42, n);
    r.SetR8(1.5);
    EXPECT_EQ(ANY_ERR_NULL, nDifferent(b, a, &r, 0));
    EXPECT_EQ(ZLTYPE_R8, r.wGetType()) << "untouched";
    EXPECT_EQ(0, Vm().Calls(kStandinVmCalculation + 7));

    Vm().SetResult(kStandinVmCalculation + 7, 150);
    b.ClearFlags();
    EXPECT_EQ(150, nDifferent(a, b, &n, 0));
    EXPECT_EQ(1, n) << "a failed equality reads as different";
    EXPECT_EQ(150, nEgalite(a, b, &r, 0));
    EXPECT_EQ(ZLTYPE_BOOL, r.wGetType()) << "stored also after a failure";
    // nSupEgal asks "less", nInfEgal asks "greater".
    EXPECT_EQ(0, nSupEgal(a, b, &n, 0));
    EXPECT_EQ(1, Vm().Calls(kStandinVmCalculation + 9));
    EXPECT_EQ(0, nInfEgal(a, b, &n, 0));
    EXPECT_EQ(1, Vm().Calls(kStandinVmCalculation + 8));

    EXPECT_EQ(0, nCompare(a, b, &r));
    EXPECT_EQ(ZLTYPE_I4, r.wGetType());
    EXPECT_EQ(0, nInferieur(a, r, &r, 0)) << "the result may be an operand";
    EXPECT_EQ(ZLTYPE_BOOL, r.wGetType());
}

TEST_F(AnyCalcul, ArithmeticTable)
{
    using Fn = int (*)(const CAny&, const CAny&, CAny*, unsigned int);
    const struct
    {
        Fn fn;
        unsigned short ta;
        const wchar_t* a;
        unsigned short tb;
        const wchar_t* b;
        int rc;
        unsigned short type;
        const wchar_t* text;
    } cases[] = {
        {nAjoute, ZLTYPE_I4, L"2", ZLTYPE_I4, L"3", 0, ZLTYPE_I4, L"5"},
        {nAjoute, ZLTYPE_I4, L"2147483647", ZLTYPE_I4, L"1", 0, ZLTYPE_I8, L"2147483648"},
        {nSoustrait, ZLTYPE_UI1, L"0", ZLTYPE_UI1, L"1", 0, ZLTYPE_I8, L"-1"},
        {nMultiplie, ZLTYPE_I8, L"4611686018427387904", ZLTYPE_I8, L"2", 0, ZLTYPE_UI8, L"9223372036854775808"},
        {nMultiplie, ZLTYPE_I8, L"9223372036854775807", ZLTYPE_I8, L"4", kStandinVmErrOverflow, 0, nullptr},
        {nAjoute, ZLTYPE_I2, L"1", ZLTYPE_I4, L"1", 0, ZLTYPE_I8, L"2"},
        {nDivise, ZLTYPE_I4, L"7", ZLTYPE_I4, L"2", 0, ZLTYPE_R8, L"3.5"},
        {nModulo, ZLTYPE_I4, L"-7", ZLTYPE_I4, L"3", 0, ZLTYPE_I4, L"-1"},
        {nAjoute, ZLTYPE_R4, L"0.5", ZLTYPE_I4, L"1", 0, ZLTYPE_R8, L"1.5"},
        {nMultiplie, ZLTYPE_CY, L"1.5", ZLTYPE_CY, L"0.000001", 0, ZLTYPE_CY, L"0.000002"},
        {nDivise, ZLTYPE_CY, L"1", ZLTYPE_I4, L"3", 0, ZLTYPE_CY, L"0.333333"},
        {nAjoute, ZLTYPE_DECIMAL, L"0.1", ZLTYPE_CY, L"0.2", 0, ZLTYPE_DECIMAL, L"0.300000"},
        {nMultiplie, ZLTYPE_DECIMAL, L"1.5", ZLTYPE_DECIMAL, L"-2", 0, ZLTYPE_DECIMAL, L"-3.0"},
        {nDivise, ZLTYPE_I4, L"1", ZLTYPE_I4, L"0", kStandinVmErrDivisionByZero, 0, nullptr},
        {nModulo, ZLTYPE_I8, L"1", ZLTYPE_I8, L"0", kStandinVmErrDivisionByZero, 0, nullptr},
        {nDivise, ZLTYPE_CY, L"1", ZLTYPE_CY, L"0", kStandinVmErrDivisionByZero, 0, nullptr},
        {nDivise, ZLTYPE_DECIMAL, L"1", ZLTYPE_I4, L"0", kStandinVmErrDivisionByZero, 0, nullptr},
        {nDivise, ZLTYPE_R8, L"1", ZLTYPE_R8, L"0", kStandinVmErrDivisionByZero, 0, nullptr},
        {nAjouteEx, ZLTYPE_DSTRW, L"ab", ZLTYPE_PSTRA, L"cd", 0, ZLTYPE_DSTRW, L"abcd"},
        {nAjoute, ZLTYPE_PSTRW, L"ab", ZLTYPE_DSTRW, L"cd", 0, ZLTYPE_PSTRW, L"abcd"},
        {nSoustrait, ZLTYPE_DSTRW, L"ab", ZLTYPE_DSTRW, L"cd", kStandinVmErrType, 0, nullptr},
        {nAjoute, ZLTYPE_DUREE, L"1000000000", ZLTYPE_DUREE, L"1000000000", 0, ZLTYPE_DUREE, L"2000000000"},
    };
    for (const auto& c : cases) {
        const CAny a = Make(c.ta, c.a), b = Make(c.tb, c.b);
        CAny r;
        r.SetR8(-1);
        const int rc = c.fn(a, b, &r, 0);
        EXPECT_EQ(c.rc, rc) << c.ta << " " << std::string(c.a, c.a + std::wcslen(c.a));
        if (rc > 99) {
            EXPECT_EQ(ZLTYPE_R8, r.wGetType()) << "unchanged after a failure";
            continue;
        }
        EXPECT_EQ(c.type, r.wGetType()) << c.ta << " " << std::string(c.a, c.a + std::wcslen(c.a));
        EXPECT_EQ(std::wstring(c.text), Text(r));
    }
}

TEST_F(AnyCalcul, ANullOperandGivesANullResultAndTheResultMayBeAnOperand)
{
    CAny a, b;
    a.SetI4(4);
    a.SetNull();
    b.SetI4(5);
    EXPECT_EQ(0, nAjoute(a, b, &a, 0));
    EXPECT_EQ(ZLTYPE_I4 | ANY_FLAG_NULL, a.wGetType());
    EXPECT_EQ(1, Vm().Calls(kStandinVmCalculation + 25)) << "called all the same";
    EXPECT_EQ(L"9", Text(a));
    CAny t = Make(ZLTYPE_DSTRW, L"x");
    EXPECT_EQ(0, nAjoute(t, t, &t, 0));
    EXPECT_EQ(L"xx", Text(t));
    EXPECT_EQ(0, nPositif(t, &t, 0));
    EXPECT_EQ(L"xx", Text(t));
    CAny copy;
    EXPECT_EQ(0, nPositif(t, &copy, 0));
    EXPECT_EQ(L"xx", Text(copy));
}

// The machine negates into a storage made for the operand's type: a text
// whose negation is a number, a result that held a text, a decimal.
TEST_F(AnyCalcul, NegationWorksOnItsOwnStorage)
{
    CAny r = Make(ZLTYPE_DSTRW, L"held text");
    CAny text = Make(ZLTYPE_PSTRW, L"12");
    EXPECT_EQ(0, nNegatif(text, &r, 0));
    EXPECT_EQ(ZLTYPE_I8, r.wGetType());
    EXPECT_EQ(L"-12", Text(r));
    EXPECT_EQ(0, nNegatif(Make(ZLTYPE_DSTRA, L"1.5"), &r, 0));
    EXPECT_EQ(ZLTYPE_R8, r.wGetType());

    const struct
    {
        unsigned short type;
        const wchar_t* text;
        unsigned short result;
        const wchar_t* expected;
    } cases[] = {
        {ZLTYPE_I4, L"5", ZLTYPE_I4, L"-5"},
        {ZLTYPE_I4, L"-2147483648", ZLTYPE_I8, L"2147483648"},
        {ZLTYPE_UI4, L"3", ZLTYPE_I8, L"-3"},
        {ZLTYPE_CY, L"2.5", ZLTYPE_CY, L"-2.5"},
        {ZLTYPE_DECIMAL, L"1.25", ZLTYPE_DECIMAL, L"-1.25"},
        {ZLTYPE_R4, L"0.5", ZLTYPE_R4, L"-0.5"},
        {ZLTYPE_DUREE, L"1000000000", ZLTYPE_DUREE, L"-1000000000"},
    };
    for (const auto& c : cases) {
        CAny v = Make(c.type, c.text);
        CAny held = Make(c.type, c.text);
        EXPECT_EQ(0, nNegatif(v, &held, 0)) << c.type;
        EXPECT_EQ(c.result, held.wGetType()) << c.type;
        EXPECT_EQ(std::wstring(c.expected), Text(held)) << c.type;
        v.SetNull();
        EXPECT_EQ(0, nNegatif(v, &v, 0)) << c.type;
        EXPECT_EQ(c.result | ANY_FLAG_NULL, v.wGetType()) << c.type;
    }
    EXPECT_EQ(kStandinVmErrSyntax, nNegatif(Make(ZLTYPE_PSTRW, L"abc"), &r, 0));
    EXPECT_EQ(ZLTYPE_R8, r.wGetType());
}

// In-place increments take the result over: runtime blocks and heap texts
// are owned once, not shared with the local storage or copied from it.
TEST_F(AnyCalcul, IncrementsTakeTheirResultOver)
{
    for (unsigned short type : {ZLTYPE_DSTRW, ZLTYPE_DSTRA, ZLTYPE_PSTRA, ZLTYPE_PSTRW}) {
        CAny v = Make(type, L"ab");
        EXPECT_EQ(0, nIncrementeNumerique(&v, Make(ZLTYPE_DSTRW, L"cd")));
        EXPECT_EQ(type, v.wGetType());
        EXPECT_EQ(L"abcd", Text(v));
        if (type == ZLTYPE_DSTRW || type == ZLTYPE_DSTRA) {
            EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(vxtest::BlockOf(v)));
        }
    }
    CAny bin = Make(ZLTYPE_BIN, L"ab");
    EXPECT_EQ(0, nIncrementeNumerique(&bin, bin));
    EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(vxtest::BlockOf(bin)));
    CAny n;
    n.SetI4(10);
    n.SetNull();
    CAny one;
    one.SetI4(1);
    EXPECT_EQ(0, nDecrementeNumerique(&n, one));
    EXPECT_EQ(ZLTYPE_I4, n.wGetType()) << "NULL only when b is";
    EXPECT_EQ(L"9", Text(n));
    one.SetNull();
    EXPECT_EQ(0, nIncrementeNumerique(&one, one));
    EXPECT_EQ(ZLTYPE_I4 | ANY_FLAG_NULL, one.wGetType());
    CAny d = Make(ZLTYPE_DECIMAL, L"1.5");
    EXPECT_EQ(0, nIncrementeNumerique(&d, Make(ZLTYPE_I4, L"2")));
    EXPECT_EQ(L"3.5", Text(d));
    EXPECT_EQ(kStandinVmErrDivisionByZero, nModulo(d, Make(ZLTYPE_I4, L"0"), &d, 0));
    EXPECT_EQ(L"3.5", Text(d));
}

}  // namespace
