#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/format_message.h"
#include "common/system/formatted_output.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr int kMaxArguments = 200;
constexpr size_t kFormatChars = 30;

inline bool bBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// The output with its line-width rules.
class Writer
{
public:
    Writer(wchar_t* output, size_t capacity, int width) : m_out(output), m_capacity(capacity), m_width(width) {}

    bool bFull() const { return m_bFull; }
    size_t Length() const { return m_pos; }

    // A character of the text; blanks and tabs are break opportunities.
    void Put(wchar_t c)
    {
        if (m_bFull) return;
        if (m_bSkipBlanks) {
            if (bBlank(c)) return;
            m_bSkipBlanks = false;
        }
        if (!bRoom(1)) return;
        m_out[m_pos] = c;
        if (c == L'\t') {
            m_column = (m_column / 8 + 1) * 8 + 1;
        } else {
            ++m_column;
        }
        if (bBlank(c)) m_lastBreak = m_pos;
        ++m_pos;
        if (m_width > 0 && m_width < 255 && m_column >= static_cast<size_t>(m_width)) Wrap();
    }

    void Put(const wchar_t* text)
    {
        while (*text && !m_bFull) Put(*text++);
    }

    // A character that neither counts in the column nor wraps (CR of "%r").
    void PutCarriageReturn()
    {
        if (!bRoom(1)) return;
        m_out[m_pos++] = L'\r';
        NewLine();
    }

    void HardBreak()
    {
        if (!bRoom(2)) return;
        m_out[m_pos++] = L'\r';
        m_out[m_pos++] = L'\n';
        NewLine();
    }

    void Terminate()
    {
        if (m_capacity > 0) m_out[m_pos < m_capacity ? m_pos : m_capacity - 1] = 0;
    }

private:
    // Room for n characters and the terminator.
    bool bRoom(size_t n)
    {
        if (m_capacity == 0 || m_capacity - 1 - m_pos < n) {
            m_bFull = true;
            return false;
        }
        return true;
    }

    void NewLine()
    {
        m_lineStart = m_pos;
        m_column = 0;
        m_lastBreak = kNone;
        m_bSkipBlanks = false;
    }

    // The line reached the width: break it at its last blank (the blanks
    // before the break dropped, those after it skipped), or here.
    void Wrap()
    {
        if (m_lastBreak == kNone || m_lastBreak < m_lineStart) {
            HardBreak();
            return;
        }
        size_t cut = m_lastBreak;
        while (cut > m_lineStart && bBlank(m_out[cut - 1])) --cut;
        const size_t wordStart = m_lastBreak + 1;
        const size_t wordLength = m_pos - wordStart;
        if (cut + 2 + wordLength > m_capacity - 1) {
            m_bFull = true;
            return;
        }
        std::wmemmove(m_out + cut + 2, m_out + wordStart, wordLength);
        m_out[cut] = L'\r';
        m_out[cut + 1] = L'\n';
        m_pos = cut + 2 + wordLength;
        m_lineStart = cut + 2;
        m_column = wordLength;
        m_lastBreak = kNone;
        m_bSkipBlanks = wordLength == 0;
    }

    wchar_t* m_out;
    size_t m_capacity;
    int m_width;
    size_t m_pos = 0;
    size_t m_lineStart = 0;
    size_t m_column = 0;
    size_t m_lastBreak = kNone;
    bool m_bSkipBlanks = false;
    bool m_bFull = false;
};

// The 64-bit arguments, fetched in order from a list and kept, or read from
// an array; never one past the nCount the caller gave (unless unknown).
class Arguments
{
public:
    Arguments(va_list* pArgs, bool bArray, int nCount) : m_pArgs(pArgs), m_bArray(bArray), m_nCount(nCount)
    {
        if (m_pArgs && !m_bArray) va_copy(m_list, *m_pArgs);
    }
    ~Arguments()
    {
        if (m_pArgs && !m_bArray) va_end(m_list);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    bool bPresent() const { return m_pArgs != nullptr; }

    // Argument n (1-based) into *pValue; false when the caller gave fewer.
    bool bAt(int n, uint64_t* pValue)
    {
        if (m_nCount >= 0 && n > m_nCount) return false;
        if (m_bArray) {
            *pValue = reinterpret_cast<const uint64_t*>(m_pArgs)[n - 1];
            return true;
        }
        while (m_fetched < n) m_values[m_fetched++] = va_arg(m_list, uint64_t);
        *pValue = m_values[n - 1];
        return true;
    }

    // The next argument not yet fetched (from a list), or n + k (array).
    bool bNext(int n, int k, uint64_t* pValue)
    {
        if (m_bArray) return bAt(n + k, pValue);
        if (m_fetched >= kMaxArguments) {
            *pValue = 0;
            return true;
        }
        return bAt(m_fetched + 1, pValue);
    }

private:
    va_list* m_pArgs;
    bool m_bArray;
    int m_nCount;
    va_list m_list;
    int m_fetched = 0;
    uint64_t m_values[kMaxArguments + 2] = {};
};

int Vas(wchar_t** ppszText, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int r = vaswprintf(ppszText, pszFormat, args);
    va_end(args);
    return r;
}

double AsDouble(uint64_t bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Formats one insert with its printf format, whose conversion of the value
// is conv (__cInsertConversion); the '*' values come first, as printf reads
// them. Returns a heap text or null.
wchar_t* FormatInsert(const wchar_t* format, wchar_t conv, int stars, uint64_t value, int star1, int star2)
{
    wchar_t* text = nullptr;
    int r;
    if (conv == L'e' || conv == L'E' || conv == L'f' || conv == L'F' || conv == L'g' || conv == L'G' || conv == L'a' ||
        conv == L'A') {
        const double d = AsDouble(value);
        r = stars == 2 ? Vas(&text, format, star1, star2, d) : stars == 1 ? Vas(&text, format, star1, d) : Vas(&text, format, d);
    } else if (conv == L's' || conv == L'S' || conv == L'p') {
        const void* p = reinterpret_cast<const void*>(static_cast<uintptr_t>(value));
        r = stars == 2 ? Vas(&text, format, star1, star2, p) : stars == 1 ? Vas(&text, format, star1, p) : Vas(&text, format, p);
    } else {
        const unsigned long long v = value;
        r = stars == 2 ? Vas(&text, format, star1, star2, v) : stars == 1 ? Vas(&text, format, star1, v) : Vas(&text, format, v);
    }
    if (r < 0) {
        std::free(text);
        return nullptr;
    }
    return text;
}

}  // namespace

int __FormatMessageWin(const wchar_t* pszFormat, int nMaxWidth, bool bIgnoreInserts, bool bArgumentArray,
                       va_list* pArgs, int nArgs, wchar_t* pszOutput, size_t nCapacity, size_t* pnLength)
{
    if (pnLength) *pnLength = 0;
    if (!pszFormat || (!pszOutput && nCapacity)) return EINVAL;
    Writer out(pszOutput, nCapacity, nMaxWidth);
    Arguments args(pArgs, bArgumentArray, nArgs);
    int code = 0;
    const wchar_t* p = pszFormat;
    while (*p && !out.bFull() && code == 0) {
        const wchar_t c = *p;
        if (c == L'\r' || c == L'\n') {
            // CR, LF, CR LF or LF CR: kept as a line break without a width,
            // a blank with one.
            ++p;
            if (*p == (c == L'\r' ? L'\n' : L'\r')) ++p;
            if (nMaxWidth == 0) {
                out.HardBreak();
            } else {
                out.Put(L' ');
            }
            continue;
        }
        if (c != L'%') {
            out.Put(c);
            ++p;
            continue;
        }
        const wchar_t* start = p++;
        if (*p == 0) {
            code = EINVAL;
            break;
        }
        if (*p >= L'1' && *p <= L'9') {
            int number = 0;
            int digits = 0;
            while (*p >= L'0' && *p <= L'9') {
                number = number * 10 + (*p++ - L'0');
                ++digits;
            }
            wchar_t format[kFormatChars + 2] = L"%s";
            wchar_t conversion = L's';
            int stars = 0;
            if (*p == L'!') {
                const wchar_t* spec = p + 1;
                const wchar_t* close = std::wcschr(spec, L'!');
                const size_t length = close ? static_cast<size_t>(close - spec) : 0;
                if (!close || length == 0 || length > kFormatChars - 1) {
                    code = EINVAL;
                    break;
                }
                std::wmemcpy(format + 1, spec, length);
                format[length + 1] = 0;
                for (size_t i = 0; i < length; ++i) stars += spec[i] == L'*';
                // Only a format that reads exactly the insert's value and
                // its '*' values reaches the C library: 0 for any other.
                conversion = __cInsertConversion(format, stars);
                p = close + 1;
            }
            if (digits > 3 || stars > 2 || number - 1 + stars > kMaxArguments - 1) {
                code = EINVAL;
                break;
            }
            if (bIgnoreInserts) {
                while (start < p && !out.bFull()) out.Put(*start++);
                continue;
            }
            if (!args.bPresent()) {
                code = EINVAL;
                break;
            }
            uint64_t value = 0;
            uint64_t star1 = 0;
            uint64_t star2 = 0;
            // An insert the caller gave no argument for is written as
            // nothing, and so is one whose format was refused (its arguments
            // still taken, so that those of the next inserts stay theirs).
            if (!args.bAt(number, &value) || (stars >= 1 && !args.bNext(number, 1, &star1)) ||
                (stars >= 2 && !args.bNext(number, 2, &star2)) || conversion == 0)
                continue;
            wchar_t* text =
                FormatInsert(format, conversion, stars, value, static_cast<int>(star1), static_cast<int>(star2));
            if (!text) {
                code = ENOMEM;
                break;
            }
            out.Put(text);
            std::free(text);
            continue;
        }
        const wchar_t escape = *p++;
        if (escape == L'0') break;
        switch (escape) {
        case L'r': out.PutCarriageReturn(); break;
        case L'n': out.HardBreak(); break;
        case L't': out.Put(L'\t'); break;
        case L'b': out.Put(L' '); break;
        default:
            if (bIgnoreInserts) out.Put(L'%');
            out.Put(escape);
            break;
        }
    }
    out.Terminate();
    if (pnLength) *pnLength = out.Length() + 1;
    if (code) return code;
    return out.bFull() ? FORMAT_MESSAGE_OUTPUT_FULL : 0;
}
