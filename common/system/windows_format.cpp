#include "common/system/windows_format.h"

namespace {

// Appends to an output that may be absent or full; counts regardless.
class Sink
{
public:
    Sink(wchar_t* out, size_t capacity) : m_out(out), m_capacity(capacity) {}
    void Put(wchar_t c)
    {
        if (m_out && m_count < m_capacity) m_out[m_count] = c;
        ++m_count;
    }
    void Put(const wchar_t* text)
    {
        while (*text) Put(*text++);
    }
    size_t Count() const { return m_count; }

private:
    wchar_t* m_out;
    size_t m_capacity;
    size_t m_count = 0;
};

bool bSpecChar(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || c == L'$' || c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'\'' ||
           c == L'*' || c == L'.';
}

size_t Convert(const wchar_t* format, Sink& sink)
{
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%') {
            sink.Put(*p++);
            continue;
        }
        sink.Put(*p++);
        if (*p == L'%') {
            sink.Put(*p++);
            continue;
        }
        while (bSpecChar(*p)) sink.Put(*p++);
        // Size: 'h' makes text and characters narrow, 'l' or 'w' wide.
        enum { kNone, kNarrow, kWide } width = kNone;
        const wchar_t* size = L"";
        if (p[0] == L'h' && p[1] == L'h') {
            size = L"hh";
            p += 2;
        } else if (p[0] == L'h') {
            width = kNarrow;
            ++p;
        } else if (p[0] == L'l' && p[1] == L'l') {
            size = L"ll";
            p += 2;
        } else if (p[0] == L'l' || p[0] == L'w') {
            width = kWide;
            ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            size = L"ll";
            p += 3;
        } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
            p += 3;
        } else if (p[0] == L'I') {
            size = L"l";  // pointer-sized
            ++p;
        } else if (p[0] == L'L' || p[0] == L'q' || p[0] == L'j' || p[0] == L'z' || p[0] == L't') {
            sink.Put(*p++);
        }
        const wchar_t conv = *p;
        switch (conv) {
        case L's':
        case L'c':
            sink.Put(width == kNarrow ? L"" : L"l");
            sink.Put(conv);
            ++p;
            break;
        case L'S':
        case L'C':
            sink.Put(width == kWide ? L"l" : L"");
            sink.Put(conv == L'S' ? L's' : L'c');
            ++p;
            break;
        default:
            sink.Put(size);
            if (width == kNarrow) sink.Put(L'h');
            if (width == kWide) sink.Put(L'l');
            if (conv) {
                sink.Put(conv);
                ++p;
            }
            break;
        }
    }
    return sink.Count();
}

}  // namespace

int _ConvertFormatWindowsToUnix(const wchar_t* pszFormat, wchar_t* pszOutput, size_t nSize)
{
    if (!pszFormat || !pszOutput) return -1;
    Sink sink(pszOutput, nSize);
    const size_t n = Convert(pszFormat, sink);
    if (n >= nSize) return -1;
    pszOutput[n] = 0;
    return static_cast<int>(n);
}

size_t _nCalculeTailleChaineFormattageUnix(const wchar_t* pszFormat)
{
    if (!pszFormat) return 1;
    Sink sink(nullptr, 0);
    return Convert(pszFormat, sink) + 1;
}
