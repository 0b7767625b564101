// The stand-in machine's 30 calculation entry points.
//
// - Tests read both values (type words may carry flags) and compare numbers
//   (integers, reals, currency, decimals, durations) by value across types;
//   anything else by the code points of its text (date-times by their digit
//   texts). The "Souple" forms ignore case, the "TresSouple" forms case and
//   accents (Latin-1). nPresqueEgalEx: texts as "TresSouple" without trailing
//   spaces, numbers within a relative 1e-9. Comparison answers -1, 0 or 1.
// - Logic works on numbers only (non-zero is true).
// - Negation keeps the operand's type when the result fits it, else I8;
//   a decimal is negated in the object already in the result storage; a text
//   becomes an I8 (integer text) or an R8.
// - +, -, x, /, mod: reals give R8; a decimal operand gives a decimal, else a
//   currency operand a currency (exact, rounding half away from zero);
//   integers keep their common type when the result fits, else I8 (UI8 for
//   large positive results), else fail; integer / integer is an R8. Division
//   and modulo by zero fail. + also joins two texts (the first one's type)
//   and two binary values, and adds durations (as does -).
// - The six result-type entry points are bound but never called: they count
//   the call and answer 0.
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "common/text/vm_entry_points.h"
#include "tests/host/module/host_controls.h"
#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_decimal.h"
#include "tests/host/module/vm_state.h"
#include "tests/host/module/vm_value.h"

namespace {

using standin_vm::Int128;
using standin_vm::Value;

enum Strength
{
    kPlain,
    kSouple,
    kTresSouple,
};

enum Op
{
    kAdd,
    kSub,
    kMul,
    kDiv,
    kMod,
};

int Note(int index) { return standin_vm::NoteCall(kStandinVmCalculation + index); }

// Latin-1 letters without their accents, from 0xC0.
constexpr char kNoAccent[] = "AAAAAAACEEEEIIIIDNOOOOO\xD7OUUUUYTsaaaaaaaceeeeiiiidnooooo\xF7ouuuuyty";

wchar_t Fold(wchar_t c, Strength strength)
{
    if (strength == kPlain)
        return c;
    if (strength == kTresSouple && c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7)
        c = static_cast<unsigned char>(kNoAccent[c - 0xC0]);
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        c = static_cast<wchar_t>(c + 0x20);
    return c;
}

std::wstring Folded(const std::wstring& text, Strength strength)
{
    std::wstring out = text;
    for (wchar_t& c : out)
        c = Fold(c, strength);
    return out;
}

bool IsNumber(const Value& v)
{
    return v.kind == Value::kInteger || v.kind == Value::kReal || v.kind == Value::kScaled ||
           v.kind == Value::kDuration;
}

int ReadOperand(const void* p, unsigned short type, Value* out)
{
    if (p == nullptr)
        return kStandinVmErrType;
    return standin_vm::Read(p, type & 0xFF, nullptr, out);
}

template <class T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Numbers by value: exactly unless a real is involved.
int CompareNumbers(const Value& a, const Value& b, int* out)
{
    if (a.kind != Value::kReal && b.kind != Value::kReal) {
        Int128 x = a.integer, y = b.integer;
        const int sa = a.kind == Value::kScaled ? a.scale : 0;
        const int sb = b.kind == Value::kScaled ? b.scale : 0;
        const int s = sa > sb ? sa : sb;
        if (standin_vm::Rescale(x, sa, s, &x) && standin_vm::Rescale(y, sb, s, &y)) {
            *out = Sign(x, y);
            return 0;
        }
    }
    double x = 0, y = 0;
    if (a.kind == Value::kDuration || b.kind == Value::kDuration) {
        x = static_cast<double>(a.integer);
        y = static_cast<double>(b.integer);
    } else if (standin_vm::ValueReal(a, &x) != 0 || standin_vm::ValueReal(b, &y) != 0) {
        return kStandinVmErrType;
    }
    *out = Sign(x, y);
    return 0;
}

int Texts(const Value& a, const Value& b, Strength strength, std::wstring* ta, std::wstring* tb)
{
    int rc = standin_vm::ValueText(a, 1252, ta);
    if (rc == 0)
        rc = standin_vm::ValueText(b, 1252, tb);
    *ta = Folded(*ta, strength);
    *tb = Folded(*tb, strength);
    return rc;
}

// The empty value meets a number as 0.
void EmptyAsZero(Value* v, const Value& other)
{
    if (v->kind == Value::kEmpty && IsNumber(other))
        v->kind = Value::kInteger;
}

int Compare(const Value& va, const Value& vb, Strength strength, int* out)
{
    Value a = va, b = vb;
    EmptyAsZero(&a, b);
    EmptyAsZero(&b, a);
    if (IsNumber(a) && IsNumber(b))
        return CompareNumbers(a, b, out);
    std::wstring ta, tb;
    const int rc = Texts(a, b, strength, &ta, &tb);
    if (rc == 0)
        *out = ta.compare(tb) < 0 ? -1 : (ta.compare(tb) > 0 ? 1 : 0);
    return rc;
}

enum Test
{
    kCompare,
    kEqual,
    kGreater,
    kLess,
    kAlmostEqual,
    kSoupleEqual,
    kStarts,
    kContains,
    kEnds,
    kAnd,
    kOr,
};

bool Truth(const Value& v) { return v.kind == Value::kReal ? v.real != 0 : v.integer != 0; }

int Evaluate(Test test, Strength strength, const Value& a, const Value& b, int* answer)
{
    switch (test) {
    case kCompare:
    case kEqual:
    case kGreater:
    case kLess:
    case kSoupleEqual: {
        int c = 0;
        const int rc = Compare(a, b, test == kSoupleEqual ? kSouple : kPlain, &c);
        if (rc != 0)
            return rc;
        *answer = test == kCompare ? c : (test == kGreater ? c > 0 : (test == kLess ? c < 0 : c == 0));
        return 0;
    }
    case kAlmostEqual: {
        if (IsNumber(a) && IsNumber(b) && a.kind != Value::kDuration && b.kind != Value::kDuration) {
            double x = 0, y = 0;
            if (standin_vm::ValueReal(a, &x) != 0 || standin_vm::ValueReal(b, &y) != 0)
                return kStandinVmErrType;
            const double scale = std::fmax(1.0, std::fmax(std::fabs(x), std::fabs(y)));
            *answer = std::fabs(x - y) <= 1e-9 * scale;
            return 0;
        }
        std::wstring ta, tb;
        const int rc = Texts(a, b, kTresSouple, &ta, &tb);
        if (rc != 0)
            return rc;
        while (!ta.empty() && ta.back() == L' ')
            ta.pop_back();
        while (!tb.empty() && tb.back() == L' ')
            tb.pop_back();
        *answer = ta == tb;
        return 0;
    }
    case kStarts:
    case kContains:
    case kEnds: {
        std::wstring ta, tb;
        const int rc = Texts(a, b, strength, &ta, &tb);
        if (rc != 0)
            return rc;
        if (test == kStarts)
            *answer = ta.compare(0, tb.size(), tb) == 0 && ta.size() >= tb.size();
        else if (test == kEnds)
            *answer = ta.size() >= tb.size() && ta.compare(ta.size() - tb.size(), tb.size(), tb) == 0;
        else
            *answer = ta.find(tb) != std::wstring::npos;
        return 0;
    }
    case kAnd:
    case kOr:
        if (!IsNumber(a) || !IsNumber(b))
            return kStandinVmErrType;
        *answer = test == kAnd ? (Truth(a) && Truth(b)) : (Truth(a) || Truth(b));
        return 0;
    }
    return kStandinVmErrType;
}

int RunTest(int index, Test test, Strength strength, const void* pa, unsigned short ta, const void* pb,
            unsigned short tb, int* result)
{
    const int forced = Note(index);
    if (forced >= 100)
        return forced;
    Value a, b;
    int rc = ReadOperand(pa, ta, &a);
    if (rc == 0)
        rc = ReadOperand(pb, tb, &b);
    int answer = 0;
    if (rc == 0)
        rc = Evaluate(test, strength, a, b, &answer);
    if (rc != 0)
        return rc;
    if (result != nullptr)
        *result = answer;
    return forced;
}

// --- Arithmetic --------------------------------------------------------------------

struct Range
{
    Int128 min;
    Int128 max;
};

bool IntegerRange(unsigned short type, Range* range)
{
    switch (type) {
    case 2: *range = {0, 0xFF}; return true;
    case 3: *range = {0, 0xFFFF}; return true;
    case 4: *range = {0, 0xFFFFFFFFll}; return true;
    case 5:
    case 14: *range = {0, static_cast<Int128>(std::numeric_limits<uint64_t>::max())}; return true;
    case 6: *range = {-128, 127}; return true;
    case 7: *range = {-32768, 32767}; return true;
    case 1:
    case 8: *range = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}; return true;
    case 9: *range = {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()}; return true;
    default: return false;
    }
}

// The operand's own integer type when r fits it (booleans count as I4),
// else I8, else UI8; 0 when nothing holds it.
unsigned short IntegerResultType(unsigned short type, Int128 r)
{
    if (type == 1)
        type = 8;
    Range range;
    if (IntegerRange(type, &range) && r >= range.min && r <= range.max)
        return type;
    if (IntegerRange(9, &range) && r >= range.min && r <= range.max)
        return 9;
    if (IntegerRange(5, &range) && r >= range.min && r <= range.max)
        return 5;
    return 0;
}

int Store(const Value& value, unsigned short type, void* result, unsigned short* resultType)
{
    unsigned char out[40] = {};
    size_t size = 0;
    const int rc = standin_vm::Write(value, type, nullptr, out, &size);
    if (rc != 0)
        return rc;
    std::memcpy(result, out, sizeof out);
    *resultType = type;
    return 0;
}

int StoreInteger(Int128 r, unsigned short type, void* result, unsigned short* resultType)
{
    if (type == 0)
        return kStandinVmErrOverflow;
    Value v;
    v.kind = Value::kInteger;
    v.integer = r;
    return Store(v, type, result, resultType);
}

// Exact scaled arithmetic; the scale of the result in *scale.
int ScaledOp(Op op, Int128 a, int sa, Int128 b, int sb, int minDivScale, Int128* r, int* scale)
{
    const Int128 limit = standin_vm::Pow10(38);
    if ((op == kDiv || op == kMod) && b == 0)
        return kStandinVmErrDivisionByZero;
    int s = sa > sb ? sa : sb;
    switch (op) {
    case kAdd:
    case kSub:
    case kMod:
        if (!standin_vm::Rescale(a, sa, s, &a) || !standin_vm::Rescale(b, sb, s, &b))
            return kStandinVmErrOverflow;
        *r = op == kAdd ? a + b : (op == kSub ? a - b : a % b);
        break;
    case kMul:
        if (__builtin_mul_overflow(a, b, r))
            return kStandinVmErrOverflow;
        s = sa + sb;
        break;
    case kDiv: {
        if (s < minDivScale)
            s = minDivScale;
        // a * 10^(s + sb - sa) / b, rounding half away from zero, with the
        // scale lowered until the numerator fits.
        for (;; --s) {
            if (s < 0)
                return kStandinVmErrOverflow;
            const int shift = s + sb - sa;
            Int128 n = a;
            bool ok = true;
            if (shift >= 0) {
                ok = shift <= 38 && !__builtin_mul_overflow(a, standin_vm::Pow10(shift), &n);
            } else {
                ok = standin_vm::Rescale(a, -shift, 0, &n);
            }
            if (!ok)
                continue;
            Int128 q = n / b;
            const Int128 rem = standin_vm::Abs(n % b);
            if (rem * 2 >= standin_vm::Abs(b))
                q += ((n < 0) != (b < 0)) ? -1 : 1;
            *r = q;
            break;
        }
        break;
    }
    }
    // Too many digits: give up decimals, then fail.
    while ((standin_vm::Abs(*r) >= limit || s > 38) && s > 0) {
        (void)standin_vm::Rescale(*r, s, s - 1, r);
        --s;
    }
    if (standin_vm::Abs(*r) >= limit)
        return kStandinVmErrOverflow;
    *scale = s;
    return 0;
}

int Arithmetic(Op op, const Value& a, unsigned short ta, const Value& b, unsigned short tb, void* result,
               unsigned short* resultType)
{
    // Texts and binary values join; durations add and subtract.
    if (a.kind == Value::kText && b.kind == Value::kText) {
        if (op != kAdd)
            return kStandinVmErrType;
        Value v;
        v.kind = Value::kText;
        v.text = a.text + b.text;
        const bool ownType = ta == 16 || ta == 18 || ta == 19 || ta == 110;
        return Store(v, ownType ? ta : 16, result, resultType);
    }
    if (a.kind == Value::kBytes && b.kind == Value::kBytes) {
        if (op != kAdd)
            return kStandinVmErrType;
        Value v;
        v.kind = Value::kBytes;
        v.bytes = a.bytes + b.bytes;
        return Store(v, 28, result, resultType);
    }
    if (a.kind == Value::kDuration || b.kind == Value::kDuration) {
        if (a.kind != b.kind || (op != kAdd && op != kSub))
            return kStandinVmErrType;
        Value v;
        v.kind = Value::kDuration;
        v.integer = op == kAdd ? a.integer + b.integer : a.integer - b.integer;
        if (v.integer < std::numeric_limits<int64_t>::min() || v.integer > std::numeric_limits<int64_t>::max())
            return kStandinVmErrOverflow;
        return Store(v, 27, result, resultType);
    }
    const auto number = [](const Value& v) {
        return v.kind == Value::kInteger || v.kind == Value::kReal || v.kind == Value::kScaled;
    };
    if (!number(a) || !number(b))
        return kStandinVmErrType;

    if (a.kind == Value::kReal || b.kind == Value::kReal || (op == kDiv && a.kind == Value::kInteger &&
                                                             b.kind == Value::kInteger)) {
        double x = 0, y = 0;
        (void)standin_vm::ValueReal(a, &x);
        (void)standin_vm::ValueReal(b, &y);
        if ((op == kDiv || op == kMod) && y == 0)
            return kStandinVmErrDivisionByZero;
        Value v;
        v.kind = Value::kReal;
        v.real = op == kAdd ? x + y : op == kSub ? x - y : op == kMul ? x * y : op == kDiv ? x / y : std::fmod(x, y);
        if (!std::isfinite(v.real))
            return kStandinVmErrOverflow;
        return Store(v, 12, result, resultType);
    }

    const bool decimal = ta == 13 || tb == 13;
    const bool money = !decimal && (ta == 10 || tb == 10);
    if (decimal || money) {
        Int128 x = 0, y = 0, r = 0;
        int sx = 0, sy = 0, s = 0;
        (void)standin_vm::ValueScaled(a, &x, &sx);
        (void)standin_vm::ValueScaled(b, &y, &sy);
        int rc = ScaledOp(op, x, sx, y, sy, 6, &r, &s);
        if (rc != 0)
            return rc;
        Value v;
        v.kind = Value::kScaled;
        v.integer = r;
        v.scale = s;
        v.money = money;
        return Store(v, money ? 10 : 13, result, resultType);
    }

    const Int128 x = a.integer, y = b.integer;
    if (op == kMod && y == 0)
        return kStandinVmErrDivisionByZero;
    Int128 r = 0;
    switch (op) {
    case kAdd: r = x + y; break;
    case kSub: r = x - y; break;
    case kMul:
        if (__builtin_mul_overflow(x, y, &r))
            return kStandinVmErrOverflow;
        break;
    case kMod: r = x % y; break;
    case kDiv: break;
    }
    const unsigned short common = ta == tb ? ta : 9;
    return StoreInteger(r, IntegerResultType(common, r), result, resultType);
}

int RunArithmetic(int index, Op op, const void* pa, unsigned short ta, const void* pb, unsigned short tb, void* result,
                  unsigned short* resultType)
{
    const int forced = Note(index);
    if (forced >= 100)
        return forced;
    if (result == nullptr || resultType == nullptr)
        return kStandinVmErrType;
    ta &= 0xFF;
    tb &= 0xFF;
    Value a, b;
    int rc = ReadOperand(pa, ta, &a);
    if (rc == 0)
        rc = ReadOperand(pb, tb, &b);
    if (rc == 0)
        rc = Arithmetic(op, a, ta == 15 ? 9 : ta, b, tb == 15 ? 9 : tb, result, resultType);
    return rc != 0 ? rc : forced;
}

// Negation into the storage the caller initialised for the operand's type.
int Negate(const Value& a, unsigned short type, void* result, unsigned short* resultType)
{
    switch (a.kind) {
    case Value::kInteger: return StoreInteger(-a.integer, IntegerResultType(type, -a.integer), result, resultType);
    case Value::kReal: {
        Value v = a;
        v.real = -a.real;
        return Store(v, type, result, resultType);
    }
    case Value::kDuration: {
        if (a.integer == std::numeric_limits<int64_t>::min())
            return kStandinVmErrOverflow;
        Value v = a;
        v.integer = -a.integer;
        return Store(v, 27, result, resultType);
    }
    case Value::kScaled: {
        if (type == 13) {
            // The decimal object already in the result storage takes the value.
            IDecimal* target;
            std::memcpy(&target, result, sizeof target);
            if (target == nullptr)
                return kStandinVmErrType;
            if (!static_cast<standin_vm::Decimal*>(target)->Set(-a.integer, a.precision, a.scale))
                return kStandinVmErrOverflow;
            *resultType = 13;
            return 0;
        }
        Value v = a;
        v.integer = -a.integer;
        return Store(v, type, result, resultType);
    }
    case Value::kText: {
        Int128 n = 0;
        if (standin_vm::ValueInteger(a, &n) == 0)
            return StoreInteger(-n, IntegerResultType(9, -n), result, resultType);
        Value v;
        v.kind = Value::kReal;
        if (standin_vm::ValueReal(a, &v.real) != 0)
            return kStandinVmErrSyntax;
        v.real = -v.real;
        return Store(v, 12, result, resultType);
    }
    default: return kStandinVmErrType;
    }
}

}  // namespace

extern "C" {

STANDIN_HOST_API int bCanCompareEx(unsigned short, unsigned short)
{
    (void)Note(0);
    return 0;
}

STANDIN_HOST_API unsigned short wAjouteEx(unsigned short, unsigned short)
{
    (void)Note(1);
    return 0;
}

STANDIN_HOST_API unsigned short wSoustraitEx(unsigned short, unsigned short)
{
    (void)Note(2);
    return 0;
}

STANDIN_HOST_API unsigned short wMultiplieEx(unsigned short, unsigned short)
{
    (void)Note(3);
    return 0;
}

STANDIN_HOST_API unsigned short wDiviseEx(unsigned short, unsigned short)
{
    (void)Note(4);
    return 0;
}

STANDIN_HOST_API unsigned short wModuloEx(unsigned short, unsigned short)
{
    (void)Note(5);
    return 0;
}

#define STANDIN_TEST(name, index, test, strength)                                                                 \
    STANDIN_HOST_API int name(const void* pa, unsigned short ta, const void* pb, unsigned short tb, int* result,  \
                              unsigned int, void*)                                                                 \
    {                                                                                                              \
        return RunTest(index, test, strength, pa, ta, pb, tb, result);                                             \
    }

STANDIN_TEST(nComparaisonEx, 6, kCompare, kPlain)
STANDIN_TEST(nEgaliteEx, 7, kEqual, kPlain)
STANDIN_TEST(nSuperieurEx, 8, kGreater, kPlain)
STANDIN_TEST(nInferieurEx, 9, kLess, kPlain)
STANDIN_TEST(nPresqueEgalEx, 10, kAlmostEqual, kTresSouple)
STANDIN_TEST(nSoupleEgalEx, 11, kSoupleEqual, kSouple)
STANDIN_TEST(nCommenceParEx, 12, kStarts, kPlain)
STANDIN_TEST(nCommenceParSoupleEx, 13, kStarts, kSouple)
STANDIN_TEST(nCommenceParTresSoupleEx, 14, kStarts, kTresSouple)
STANDIN_TEST(nContientEx, 15, kContains, kPlain)
STANDIN_TEST(nContientSoupleEx, 16, kContains, kSouple)
STANDIN_TEST(nContientTresSoupleEx, 17, kContains, kTresSouple)
STANDIN_TEST(nTermineParEx, 18, kEnds, kPlain)
STANDIN_TEST(nTermineParSoupleEx, 19, kEnds, kSouple)
STANDIN_TEST(nTermineParTresSoupleEx, 20, kEnds, kTresSouple)
STANDIN_TEST(nETLogiqueEx, 21, kAnd, kPlain)
STANDIN_TEST(nOULogiqueEx, 22, kOr, kPlain)

#undef STANDIN_TEST

STANDIN_HOST_API int nNONLogiqueEx(const void* pa, unsigned short ta, int* result, unsigned int, void*)
{
    const int forced = Note(23);
    if (forced >= 100)
        return forced;
    Value a;
    const int rc = ReadOperand(pa, ta, &a);
    if (rc != 0)
        return rc;
    if (!IsNumber(a))
        return kStandinVmErrType;
    if (result != nullptr)
        *result = Truth(a) ? 0 : 1;
    return forced;
}

STANDIN_HOST_API int nNegationEx(const void* pa, unsigned short ta, void* result, unsigned short* resultType,
                                 unsigned int, void*)
{
    const int forced = Note(24);
    if (forced >= 100)
        return forced;
    if (result == nullptr || resultType == nullptr)
        return kStandinVmErrType;
    ta &= 0xFF;
    Value a;
    int rc = ReadOperand(pa, ta, &a);
    if (rc == 0)
        rc = Negate(a, ta == 15 ? 9 : ta, result, resultType);
    return rc != 0 ? rc : forced;
}

#define STANDIN_ARITHMETIC(name, index, op)                                                                    \
    STANDIN_HOST_API int name(const void* pa, unsigned short ta, const void* pb, unsigned short tb, void* result, \
                              unsigned short* resultType, unsigned int, void*)                                  \
    {                                                                                                           \
        return RunArithmetic(index, op, pa, ta, pb, tb, result, resultType);                                    \
    }

STANDIN_ARITHMETIC(nAdditionEx, 25, kAdd)
STANDIN_ARITHMETIC(nSoustractionEx, 26, kSub)
STANDIN_ARITHMETIC(nMultiplicationEx, 27, kMul)
STANDIN_ARITHMETIC(nDivisionEx, 28, kDiv)
#ifndef STANDIN_VM_WITHOUT_MODULO
STANDIN_ARITHMETIC(nModuloEx, 29, kMod)
#endif

#undef STANDIN_ARITHMETIC

}  // extern "C"

static_assert(std::is_same_v<decltype(&bCanCompareEx), PFN_CanCompareEx>);
static_assert(std::is_same_v<decltype(&wAjouteEx), PFN_GetTypeResultatEx>);
static_assert(std::is_same_v<decltype(&wSoustraitEx), PFN_GetTypeResultatEx>);
static_assert(std::is_same_v<decltype(&wMultiplieEx), PFN_GetTypeResultatEx>);
static_assert(std::is_same_v<decltype(&wDiviseEx), PFN_GetTypeResultatEx>);
static_assert(std::is_same_v<decltype(&wModuloEx), PFN_GetTypeResultatEx>);
static_assert(std::is_same_v<decltype(&nComparaisonEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nEgaliteEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nSuperieurEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nInferieurEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nPresqueEgalEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nSoupleEgalEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nCommenceParEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nCommenceParSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nCommenceParTresSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nContientEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nContientSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nContientTresSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nTermineParEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nTermineParSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nTermineParTresSoupleEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nETLogiqueEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nOULogiqueEx), PFN_TestEx>);
static_assert(std::is_same_v<decltype(&nNONLogiqueEx), PFN_NonLogiqueEx>);
static_assert(std::is_same_v<decltype(&nNegationEx), PFN_NegationEx>);
static_assert(std::is_same_v<decltype(&nAdditionEx), PFN_ArithmetiqueEx>);
static_assert(std::is_same_v<decltype(&nSoustractionEx), PFN_ArithmetiqueEx>);
static_assert(std::is_same_v<decltype(&nMultiplicationEx), PFN_ArithmetiqueEx>);
static_assert(std::is_same_v<decltype(&nDivisionEx), PFN_ArithmetiqueEx>);
#ifndef STANDIN_VM_WITHOUT_MODULO
static_assert(std::is_same_v<decltype(&nModuloEx), PFN_ArithmetiqueEx>);
#endif
