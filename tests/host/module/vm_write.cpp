// Writing a value in the layout of a target type: the stand-in machine's
// conversion rules.
//
// - Any value has a text: integers in decimal, reals as their shortest
//   round-trip text with '.', currency without trailing zeros ("1.5", "-2"),
//   decimals with all their scale's digits, date-times as 17 digits, dates as
//   8 and times as 9, durations as days then HHMMSSmmm, binary values as their
//   bytes read in the code page.
// - Texts become values only when the whole text is one: an integer text for
//   integers, a decimal text (at most 38 digits) for currency and decimals,
//   a real text for reals; digit texts for dates, times and durations.
// - Numbers convert between themselves when the value fits (reals and
//   decimals are cut toward zero for integers; currency and decimals round
//   half away from zero to their scale); durations and integers as
//   milliseconds; date-times and their date and time parts.
// - The empty value and the empty text give the target's initial value.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_decimal.h"
#include "tests/host/module/vm_state.h"
#include "tests/host/module/vm_value.h"

namespace standin_vm {
namespace {

constexpr int kOk = 0;

// --- Texts of numbers ----------------------------------------------------------

bool Narrow(const std::wstring& text, std::string* out)
{
    out->clear();
    for (wchar_t c : text) {
        if (c <= 0 || c >= 0x80)
            return false;
        *out += static_cast<char>(c);
    }
    return true;
}

std::wstring Widen(const char* begin, const char* end)
{
    std::wstring out(static_cast<size_t>(end - begin), L'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(begin[i]));
    return out;
}

// The decimal digits of |v| written backwards from end (at most 39); the
// first one.
wchar_t* PutDigits(Int128 v, wchar_t* end)
{
    unsigned __int128 u = static_cast<unsigned __int128>(v < 0 ? -v : v);
    do {
        *--end = static_cast<wchar_t>(L'0' + static_cast<int>(u % 10));
        u /= 10;
    } while (u != 0);
    return end;
}

std::wstring IntegerText(Int128 v)
{
    wchar_t buffer[41];
    wchar_t* const end = buffer + std::size(buffer);
    wchar_t* p = PutDigits(v, end);
    if (v < 0)
        *--p = L'-';
    return std::wstring(p, end);
}

std::wstring ScaledText(Int128 v, int scale, bool trimZeros)
{
    wchar_t buffer[40];
    wchar_t* const end = buffer + std::size(buffer);
    const wchar_t* const first = PutDigits(v, end);
    const size_t nDigits = static_cast<size_t>(end - first);
    const size_t nScale = scale > 0 ? static_cast<size_t>(scale) : 0;
    // The integer part (at least "0"), then the fraction: zeros up to the
    // digits when they are fewer than the scale.
    const size_t nInteger = nDigits > nScale ? nDigits - nScale : 0;
    const wchar_t* const fraction = first + nInteger;
    size_t nLeading = nScale - static_cast<size_t>(end - fraction);
    const wchar_t* fractionEnd = end;
    if (trimZeros) {
        while (fractionEnd > fraction && fractionEnd[-1] == L'0')
            --fractionEnd;
        if (fractionEnd == fraction)
            nLeading = 0;
    }
    std::wstring out;
    out.reserve(2 + nInteger + 1 + nLeading + static_cast<size_t>(fractionEnd - fraction));
    if (v < 0)
        out += L'-';
    if (nInteger == 0)
        out += L'0';
    out.append(first, fraction);
    if (nLeading > 0 || fractionEnd > fraction) {
        out += L'.';
        out.append(nLeading, L'0');
        out.append(fraction, fractionEnd);
    }
    return out;
}

std::wstring RealText(double d, bool isFloat)
{
    char buffer[64];
    const auto result = isFloat ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(d))
                                : std::to_chars(buffer, buffer + sizeof buffer, d);
    return Widen(buffer, result.ptr);
}

// Optional sign, then digits only.
bool ParseInteger(const std::wstring& text, Int128* out)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (!text.empty() && (text[0] == L'-' || text[0] == L'+'))
        i = 1;
    if (i == text.size() || text.size() - i > 38)
        return false;
    // Up to 18 digits in 64 bits, the rest (of at most 38) in 128.
    uint64_t low = 0;
    const size_t lowEnd = std::min(text.size(), i + 18);
    for (; i < lowEnd; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        low = low * 10 + static_cast<uint64_t>(text[i] - L'0');
    }
    Int128 v = low;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        v = v * 10 + (text[i] - L'0');
    }
    *out = negative ? -v : v;
    return true;
}

// Optional sign, digits, optionally '.' and digits; at least one digit, at
// most 38 significant ones.
template <class T>
bool ParseDecimal(std::basic_string_view<T> text, Int128* out, int* scale)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    // The first 18 digits in 64 bits, the rest in 128.
    uint64_t low = 0;
    int lowDigits = 0;
    Int128 v = 0;
    int digits = 0;
    int fraction = -1;
    bool any = false;
    for (; i < text.size(); ++i) {
        const T c = text[i];
        if (c == '.' && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        any = true;
        if ((lowDigits < 18 ? low != 0 : v != 0) || c != '0')
            ++digits;
        if (digits > 38)
            return false;
        if (lowDigits < 18) {
            low = low * 10 + static_cast<uint64_t>(c - '0');
            if (++lowDigits == 18)
                v = low;
        } else {
            v = v * 10 + (c - '0');
        }
        if (fraction >= 0)
            ++fraction;
    }
    if (!any || fraction > 38)
        return false;
    if (lowDigits < 18)
        v = low;
    *out = negative ? -v : v;
    *scale = fraction < 0 ? 0 : fraction;
    return true;
}

bool ParseReal(const std::wstring& text, double* out)
{
    std::string narrow;
    if (!Narrow(text, &narrow) || narrow.empty())
        return false;
    const char* begin = narrow.data();
    if (*begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, narrow.data() + narrow.size(), *out);
    return result.ec == std::errc() && result.ptr == narrow.data() + narrow.size();
}

// The nearest double to unscaled / 10^scale, as its decimal text reads.
double ScaledReal(Int128 unscaled, int scale)
{
    // Both exact as doubles: one division rounds correctly.
    constexpr Int128 kExact = static_cast<Int128>(1) << 53;
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (scale >= 0 && scale < static_cast<int>(std::size(kPowers)) && Abs(unscaled) <= kExact)
        return static_cast<double>(unscaled) / kPowers[scale];
    std::string narrow;
    (void)Narrow(ScaledText(unscaled, scale, false), &narrow);
    double d = 0;
    std::from_chars(narrow.data(), narrow.data() + narrow.size(), d);
    return d;
}

// --- Dates, times and durations ---------------------------------------------------

bool AllDigits(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

int Field(const std::wstring& text, size_t at, size_t n)
{
    int v = 0;
    for (size_t i = at; i < at + n; ++i)
        v = v * 10 + (text[i] - L'0');
    return v;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool ValidDate(int y, int m, int d)
{
    if (y == 0 && m == 0 && d == 0)
        return true;  // the empty date
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    return d <= kDays[m - 1] + (m == 2 && LeapYear(y) ? 1 : 0);
}

// Up to 9 digits HHMMSSmmm, padded with '0'.
bool ParseTime(const std::wstring& text, uint32_t* milli)
{
    if (text.size() > 9 || !AllDigits(text))
        return false;
    std::wstring t = text;
    t.append(9 - t.size(), L'0');
    const int h = Field(t, 0, 2), m = Field(t, 2, 2), s = Field(t, 4, 2), ms = Field(t, 6, 3);
    if (h > 23 || m > 59 || s > 59)
        return false;
    *milli = static_cast<uint32_t>(((h * 60 + m) * 60 + s) * 1000 + ms);
    return true;
}

bool ParseDate(const std::wstring& text, DateTimeParts* parts)
{
    if (text.size() != 8 || !AllDigits(text))
        return false;
    const int y = Field(text, 0, 4), m = Field(text, 4, 2), d = Field(text, 6, 2);
    if (!ValidDate(y, m, d))
        return false;
    parts->year = y;
    parts->month = m;
    parts->day = d;
    return true;
}

// YYYYMMDD and up to 9 digits of time.
bool ParseDateTime(const std::wstring& text, DateTimeParts* parts)
{
    DateTimeParts p;
    if (text.size() < 8 || !ParseDate(text.substr(0, 8), &p) || !ParseTime(text.substr(8), &p.milli))
        return false;
    *parts = p;
    return true;
}

std::wstring Digits(int v, int n)
{
    std::wstring s = IntegerText(v);
    if (s.size() < static_cast<size_t>(n))
        s.insert(0, static_cast<size_t>(n) - s.size(), L'0');
    return s;
}

std::wstring DateText(const DateTimeParts& p)
{
    if (p.year == 0 && p.month == 0 && p.day == 0)
        return std::wstring();
    return Digits(p.year, 4) + Digits(p.month, 2) + Digits(p.day, 2);
}

std::wstring TimeText(uint32_t milli)
{
    return Digits(static_cast<int>(milli / 3600000), 2) + Digits(static_cast<int>(milli / 60000 % 60), 2) +
           Digits(static_cast<int>(milli / 1000 % 60), 2) + Digits(static_cast<int>(milli % 1000), 3);
}

std::wstring DateTimeText(const DateTimeParts& p)
{
    return Digits(p.year, 4) + Digits(p.month, 2) + Digits(p.day, 2) + TimeText(p.milli);
}

std::wstring DurationText(int64_t milli)
{
    const unsigned __int128 u = static_cast<unsigned __int128>(milli < 0 ? -static_cast<Int128>(milli) : milli);
    const Int128 days = static_cast<Int128>(u / 86400000);
    const uint32_t rest = static_cast<uint32_t>(u % 86400000);
    return (milli < 0 ? L"-" : L"") + IntegerText(days) + TimeText(rest);
}

// Sign, days, then HHMMSSmmm.
bool ParseDuration(const std::wstring& text, int64_t* milli)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (!text.empty() && (text[0] == L'-' || text[0] == L'+'))
        i = 1;
    const std::wstring digits = text.substr(i);
    if (digits.size() < 9 || digits.size() > 30 || !AllDigits(digits))
        return false;
    uint32_t rest;
    if (!ParseTime(digits.substr(digits.size() - 9), &rest))
        return false;
    Int128 days = 0;
    for (size_t k = 0; k + 9 < digits.size(); ++k)
        days = days * 10 + (digits[k] - L'0');
    const Int128 total = days * 86400000 + rest;
    if (total > std::numeric_limits<int64_t>::max())
        return false;
    *milli = static_cast<int64_t>(negative ? -total : total);
    return true;
}

// --- Values in one form ------------------------------------------------------------

int ToText(const Value& v, unsigned codePage, std::wstring* out)
{
    switch (v.kind) {
    case Value::kEmpty: out->clear(); return kOk;
    case Value::kInteger: *out = IntegerText(v.integer); return kOk;
    case Value::kReal:
    case Value::kScaled:
        *out = v.kind == Value::kReal ? RealText(v.real, v.isFloat) : ScaledText(v.integer, v.scale, v.money);
        // A locale whose numbers are written with a decimal comma.
        if (DecimalComma())
            std::replace(out->begin(), out->end(), L'.', L',');
        return kOk;
    case Value::kText:
    case Value::kDateText:
    case Value::kTimeText: *out = v.text; return kOk;
    case Value::kDateTime: *out = DateTimeText(v.dateTime); return kOk;
    case Value::kDuration: *out = DurationText(static_cast<int64_t>(v.integer)); return kOk;
    case Value::kBytes: *out = Decode(v.bytes, codePage); return kOk;
    }
    return kStandinVmErrType;
}

int ToInteger(const Value& v, Int128* out)
{
    switch (v.kind) {
    case Value::kInteger:
    case Value::kDuration: *out = v.integer; return kOk;
    case Value::kReal:
        if (!std::isfinite(v.real) || std::fabs(v.real) >= 1e38)
            return kStandinVmErrOverflow;
        *out = static_cast<Int128>(std::trunc(v.real));
        return kOk;
    case Value::kScaled: *out = v.integer / Pow10(v.scale); return kOk;
    case Value::kText: return ParseInteger(v.text, out) ? kOk : kStandinVmErrSyntax;
    default: return kStandinVmErrType;
    }
}

// An exact decimal: unscaled value and scale.
int ToScaled(const Value& v, Int128* out, int* scale)
{
    switch (v.kind) {
    case Value::kInteger: *out = v.integer; *scale = 0; return kOk;
    case Value::kScaled: *out = v.integer; *scale = v.scale; return kOk;
    case Value::kReal: {
        if (!std::isfinite(v.real))
            return kStandinVmErrOverflow;
        char buffer[512];
        const auto result = v.isFloat ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(v.real),
                                                      std::chars_format::fixed)
                                      : std::to_chars(buffer, buffer + sizeof buffer, v.real, std::chars_format::fixed);
        if (result.ec != std::errc())
            return kStandinVmErrOverflow;
        return ParseDecimal(std::string_view(buffer, result.ptr), out, scale) ? kOk : kStandinVmErrOverflow;
    }
    case Value::kText: return ParseDecimal(std::wstring_view(v.text), out, scale) ? kOk : kStandinVmErrSyntax;
    default: return kStandinVmErrType;
    }
}

int ToReal(const Value& v, double* out)
{
    switch (v.kind) {
    case Value::kInteger: *out = static_cast<double>(v.integer); return kOk;
    case Value::kReal: *out = v.real; return kOk;
    case Value::kScaled: *out = ScaledReal(v.integer, v.scale); return kOk;
    case Value::kText: return ParseReal(v.text, out) ? kOk : kStandinVmErrSyntax;
    default: return kStandinVmErrType;
    }
}

int ToDateTime(const Value& v, DateTimeParts* out)
{
    *out = DateTimeParts();
    switch (v.kind) {
    case Value::kDateTime: *out = v.dateTime; return kOk;
    case Value::kDateText: return v.text.empty() || ParseDate(v.text, out) ? kOk : kStandinVmErrSyntax;
    case Value::kTimeText: return ParseTime(v.text, &out->milli) ? kOk : kStandinVmErrSyntax;
    case Value::kText: return ParseDateTime(v.text, out) ? kOk : kStandinVmErrSyntax;
    default: return kStandinVmErrType;
    }
}

int ToDateText(const Value& v, std::wstring* out)
{
    DateTimeParts parts;
    switch (v.kind) {
    case Value::kDateTime: *out = DateText(v.dateTime); return kOk;
    case Value::kDateText:
    case Value::kText:
        if (!(v.kind == Value::kDateText && v.text.empty()) && !ParseDate(v.text, &parts))
            return kStandinVmErrSyntax;
        *out = v.text;
        return kOk;
    default: return kStandinVmErrType;
    }
}

int ToTimeText(const Value& v, std::wstring* out)
{
    uint32_t milli = 0;
    switch (v.kind) {
    case Value::kDateTime: *out = TimeText(v.dateTime.milli); return kOk;
    case Value::kTimeText:
    case Value::kText:
        if (!ParseTime(v.text, &milli))
            return kStandinVmErrSyntax;
        *out = TimeText(milli);
        return kOk;
    default: return kStandinVmErrType;
    }
}

int ToDuration(const Value& v, int64_t* out)
{
    switch (v.kind) {
    case Value::kDuration:
    case Value::kInteger:
        if (v.integer < std::numeric_limits<int64_t>::min() || v.integer > std::numeric_limits<int64_t>::max())
            return kStandinVmErrOverflow;
        *out = static_cast<int64_t>(v.integer);
        return kOk;
    case Value::kText: return ParseDuration(v.text, out) ? kOk : kStandinVmErrSyntax;
    default: return kStandinVmErrType;
    }
}

int ToBytes(const Value& v, unsigned codePage, std::string* out)
{
    switch (v.kind) {
    case Value::kBytes: *out = v.bytes; return kOk;
    case Value::kText:
    case Value::kDateText:
    case Value::kTimeText: *out = Encode(v.text, codePage); return kOk;
    default: return kStandinVmErrType;
    }
}

// --- Layouts -------------------------------------------------------------------------

template <class T>
void Put(unsigned char* out, T t, size_t offset = 0)
{
    std::memcpy(out + offset, &t, sizeof t);
}

struct IntegerRange
{
    Int128 min;
    Int128 max;
    size_t size;
};

bool IntegerType(unsigned short type, IntegerRange* range)
{
    switch (type) {
    case 2: *range = {0, 0xFF, 1}; return true;
    case 3: *range = {0, 0xFFFF, 2}; return true;
    case 4: *range = {0, 0xFFFFFFFFll, 4}; return true;
    case 5:
    case 14: *range = {0, static_cast<Int128>(std::numeric_limits<uint64_t>::max()), 8}; return true;
    case 6: *range = {-128, 127, 1}; return true;
    case 7: *range = {-32768, 32767, 2}; return true;
    case 8: *range = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 4}; return true;
    case 9: *range = {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), 8}; return true;
    default: return false;
    }
}

template <class T>
void PutFixedText(unsigned char* out, const std::basic_string<T>& text, size_t chars)
{
    for (size_t i = 0; i < chars && i < text.size(); ++i)
        Put(out, text[i], i * sizeof(T));
}

// Heap and runtime texts: made last, once nothing can fail any more.
int PutPointer(unsigned char* out, void* p)
{
    if (p == nullptr)
        return kStandinVmErrMemory;
    Put(out, p);
    return kOk;
}

int WriteText(const std::wstring& text, unsigned short type, unsigned codePage, unsigned char* out, size_t* size)
{
    switch (type) {
    case 16:
        *size = 8;
        return text.empty() ? kOk : PutPointer(out, NewBlock(text.data(), text.size() * sizeof(wchar_t)));
    case 19: {
        *size = 8;
        const std::string bytes = Encode(text, codePage);
        return bytes.empty() ? kOk : PutPointer(out, NewBlock(bytes.data(), bytes.size()));
    }
    case 18: {
        *size = 8;
        if (text.empty())
            return kOk;
        const std::string bytes = Encode(text, codePage);
        char* p = static_cast<char*>(std::malloc(bytes.size() + 1));
        if (p != nullptr) {
            std::memcpy(p, bytes.c_str(), bytes.size() + 1);
            NoteTextMade();
        }
        return PutPointer(out, p);
    }
    case 110: {
        *size = 8;
        if (text.empty())
            return kOk;
        wchar_t* p = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
        if (p != nullptr) {
            std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            NoteTextMade();
        }
        return PutPointer(out, p);
    }
    case 17: {
        *size = 2;
        const std::string bytes = Encode(text, codePage);
        if (text.size() > 1 || bytes.size() > 1)
            return kStandinVmErrOverflow;
        PutFixedText(out, bytes, 1);
        return kOk;
    }
    case 81:
        *size = 8;
        if (text.size() > 1)
            return kStandinVmErrOverflow;
        PutFixedText(out, text, 1);
        return kOk;
    default: return kStandinVmErrType;
    }
}

bool IsTextType(unsigned short type)
{
    return type == 16 || type == 17 || type == 18 || type == 19 || type == 81 || type == 110;
}

size_t StorageSize(unsigned short type)
{
    switch (type) {
    case 1: case 4: case 8: case 11: return 4;
    case 2: case 6: return 1;
    case 3: case 7: case 17: return 2;
    case 10: return 10;
    case 24: return 36;
    case 25: return 40;
    case 128: return 9;
    case 129: return 10;
    default: return 8;
    }
}

// The initial value of each type: zeros, but for the time texts (nine '0')
// and the decimal (a new zero).
int WriteInitial(unsigned short type, unsigned char* out, size_t* size)
{
    *size = StorageSize(type);
    if (type == 25)
        PutFixedText(out, std::wstring(9, L'0'), 9);
    else if (type == 129)
        PutFixedText(out, std::string(9, '0'), 9);
    else if (type == 13)
        return PutPointer(out, NewDecimal());
    return kOk;
}

bool KnownTarget(unsigned short type)
{
    IntegerRange range;
    return IntegerType(type, &range) || IsTextType(type) || type == 1 || type == 10 || type == 11 || type == 12 ||
           type == 13 || type == 24 || type == 25 || type == 26 || type == 27 || type == 28 || type == 128 ||
           type == 129;
}

}  // namespace

int Write(const Value& v, unsigned short type, const STOCAW* options, unsigned char* out, size_t* size)
{
    const unsigned codePage = CodePage(options);
    if (!KnownTarget(type))
        return kStandinVmErrType;
    if (v.kind == Value::kEmpty || (v.kind == Value::kText && v.text.empty()))
        return WriteInitial(type, out, size);
    *size = StorageSize(type);

    IntegerRange range;
    if (IntegerType(type, &range)) {
        Int128 n;
        const int rc = ToInteger(v, &n);
        if (rc != kOk)
            return rc;
        if (n < range.min || n > range.max)
            return kStandinVmErrOverflow;
        const uint64_t bits = static_cast<uint64_t>(n);
        std::memcpy(out, &bits, range.size);
        return kOk;
    }
    if (IsTextType(type)) {
        std::wstring text;
        const int rc = ToText(v, codePage, &text);
        return rc != kOk ? rc : WriteText(text, type, codePage, out, size);
    }
    switch (type) {
    case 1: {
        if (v.kind == Value::kReal) {
            Put<int32_t>(out, v.real != 0 ? 1 : 0);
            return kOk;
        }
        if (v.kind == Value::kScaled) {
            Put<int32_t>(out, v.integer != 0 ? 1 : 0);
            return kOk;
        }
        Int128 n;
        const int rc = ToInteger(v, &n);
        if (rc == kOk)
            Put<int32_t>(out, n != 0 ? 1 : 0);
        return rc;
    }
    case 10: {
        Int128 units;
        int scale;
        int rc = ToScaled(v, &units, &scale);
        if (rc != kOk)
            return rc;
        if (!Rescale(units, scale, 6, &units))
            return kStandinVmErrOverflow;
        const Int128 limit = static_cast<Int128>(1) << 79;
        if (units >= limit || units < -limit)
            return kStandinVmErrOverflow;
        std::memcpy(out, &units, 10);
        return kOk;
    }
    case 11:
    case 12: {
        double d;
        const int rc = ToReal(v, &d);
        if (rc != kOk)
            return rc;
        if (type == 12) {
            Put(out, d);
            return kOk;
        }
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
            return kStandinVmErrOverflow;
        Put(out, static_cast<float>(d));
        return kOk;
    }
    case 13: {
        Int128 unscaled;
        int scale;
        const int rc = ToScaled(v, &unscaled, &scale);
        if (rc != kOk)
            return rc;
        int precision = Digits(unscaled);
        if (precision < scale)
            precision = scale;
        if (precision < 1)
            precision = 1;
        if (precision > DECIMAL_MAX_PRECISION)
            return kStandinVmErrOverflow;
        Decimal* decimal = NewDecimal();
        if (decimal == nullptr)
            return kStandinVmErrMemory;
        (void)decimal->Set(unscaled, precision, scale);
        Put<IDecimal*>(out, decimal);
        return kOk;
    }
    case 24:
    case 128: {
        std::wstring text;
        const int rc = ToDateText(v, &text);
        if (rc != kOk)
            return rc;
        if (type == 24)
            PutFixedText(out, text, 8);
        else
            PutFixedText(out, Encode(text, 1252), 8);
        return kOk;
    }
    case 25:
    case 129: {
        std::wstring text;
        const int rc = ToTimeText(v, &text);
        if (rc != kOk)
            return rc;
        if (type == 25)
            PutFixedText(out, text, 9);
        else
            PutFixedText(out, Encode(text, 1252), 9);
        return kOk;
    }
    case 26: {
        DateTimeParts parts;
        const int rc = ToDateTime(v, &parts);
        if (rc != kOk)
            return rc;
        Put<uint8_t>(out, static_cast<uint8_t>(parts.day), 0);
        Put<uint8_t>(out, static_cast<uint8_t>(parts.month), 1);
        Put<uint16_t>(out, static_cast<uint16_t>(parts.year), 2);
        Put<uint32_t>(out, parts.milli, 4);
        return kOk;
    }
    case 27: {
        int64_t milli;
        const int rc = ToDuration(v, &milli);
        if (rc == kOk)
            Put(out, milli);
        return rc;
    }
    case 28: {
        std::string bytes;
        const int rc = ToBytes(v, codePage, &bytes);
        if (rc != kOk)
            return rc;
        return bytes.empty() ? kOk : PutPointer(out, NewBlock(bytes.data(), bytes.size()));
    }
    default: return kStandinVmErrType;
    }
}

int ValueText(const Value& value, unsigned codePage, std::wstring* out) { return ToText(value, codePage, out); }
int ValueInteger(const Value& value, Int128* out) { return ToInteger(value, out); }
int ValueScaled(const Value& value, Int128* out, int* scale) { return ToScaled(value, out, scale); }
int ValueReal(const Value& value, double* out) { return ToReal(value, out); }

}  // namespace standin_vm
