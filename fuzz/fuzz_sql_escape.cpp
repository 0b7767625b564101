// Arbitrary text and flags through the SQL escaping routines, 8-bit and
// wide: destinations sized exactly to their stated bounds (Escape within
// 2 x len + 1, ChangeEscape within len x max(|R2|+|R1|+|R3|, |R5|+|R4|+|R6|,
// 1) + 1), so any write past them is caught; the copying forms agree with
// the in-place ones; purges only shorten; the named flag sets come back
// through their inverse purges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text/sql_escape.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

template <class T>
std::basic_string<T> Owned(T* p)
{
    Check(p != nullptr);
    std::basic_string<T> s(p);
    std::free(p);
    return s;
}

// The escape and quote characters worth trying: the usual ones, a letter,
// a wildcard, zero, and one taken from the input.
template <class T>
T Pick(uint8_t selector, T fromInput)
{
    switch (selector % 7) {
    case 0: return T('\\');
    case 1: return T('\'');
    case 2: return T('!');
    case 3: return T('%');
    case 4: return T(0);
    case 5: return T('a');
    default: return fromInput;
    }
}

template <class T>
void Run(const uint8_t* control, const std::basic_string<T>& text, const std::basic_string<T> (&r)[6])
{
    const int f[8] = {control[0] & 1, control[0] >> 1 & 1, control[0] >> 2 & 1, control[0] >> 3 & 1,
                      control[0] >> 4 & 1, control[0] >> 5 & 1, control[0] >> 6 & 1, control[0] >> 7 & 1};
    const T fromInput = text.empty() ? T('x') : text[text.size() / 2];
    const T q = Pick<T>(control[1], fromInput);
    const T e = Pick<T>(control[2], fromInput);
    const size_t len = text.size();

    std::vector<T> escaped(EscapeCapacity(len));
    Escape(text.c_str(), escaped.data(), f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], q, e);
    const std::basic_string<T> esc(escaped.data());
    Check(esc.size() <= 2 * len);
    Check(esc == Owned(pszEscape(text.c_str(), f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], q, e)));

    const size_t nPercent = r[0].size() + r[1].size() + r[2].size();
    const size_t nUnderscore = r[3].size() + r[4].size() + r[5].size();
    const size_t capacity = ChangeEscapeCapacity(len, nPercent, nUnderscore);
    std::vector<T> changed(capacity);
    ChangeEscape(text.c_str(), changed.data(), r[0].c_str(), r[1].c_str(), r[2].c_str(), r[3].c_str(), r[4].c_str(),
                 r[5].c_str(), e);
    const std::basic_string<T> chg(changed.data());
    Check(chg.size() < capacity);
    Check(chg == Owned(pszChangeEscape(text.c_str(), r[0].c_str(), r[1].c_str(), r[2].c_str(), r[3].c_str(),
                                       r[4].c_str(), r[5].c_str(), e)));

    for (int which = 0; which < 5; ++which) {
        std::basic_string<T> copy = text;
        switch (which) {
        case 0: PurgeQuote(copy.data(), 0); break;
        case 1: PurgeQuote(copy.data(), 1); break;
        case 2: PurgeEscape(copy.data(), e); break;
        case 3: PurgeEscapeEscape(copy.data(), e); break;
        default: PurgeEscapeBackSlash(copy.data()); break;
        }
        Check(std::char_traits<T>::length(copy.c_str()) <= len);
    }

    const std::basic_string<T> verrue = Owned(pszVerrueEscapeMySQL(text.c_str(), static_cast<wchar_t>(e)));
    Check(verrue.size() <= 4 * len + 1);

    // Named flag sets and their inverses.
    std::basic_string<T> t = Owned(pszEscape(text.c_str(), 0, 1, 0, 0, 0, 0, 0, 0, q, T('!')));
    PurgeEscapeEscape(t.data(), T('\\'));
    Check(text == t.c_str());
    t = Owned(pszEscape(text.c_str(), 1, 1, 0, 0, 0, 0, 0, 0, T('\\'), T('!')));
    PurgeEscapeBackSlash(t.data());
    Check(text == t.c_str());
    // A quote as E is taken as a quote first, never as E.
    if (e != 0 && e != T('\'')) {
        t = Owned(pszEscape(text.c_str(), 0, 0, 1, 1, 1, 1, 1, 1, q, e));
        PurgeEscape(t.data(), e);
        Check(text == t.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9) return 0;
    const uint8_t* control = data;
    // Six replacement texts of 0 to 3 characters, then the text.
    std::string r8[6];
    std::wstring rw[6];
    for (int i = 0; i < 6; ++i) {
        const size_t n = (control[3 + i / 2] >> (4 * (i % 2))) % 4;
        for (size_t k = 0; k < n; ++k) {
            r8[i].push_back(static_cast<char>('A' + (i * 3 + k) % 26));
            rw[i].push_back(static_cast<wchar_t>(L'à' + i));
        }
    }
    const size_t at = 6;
    std::string narrow;
    std::wstring wide;
    for (size_t i = at; i < size && data[i] != 0; ++i) {
        narrow.push_back(static_cast<char>(data[i]));
        // Wide text: the bytes, with the high ones spread over a wider range.
        wide.push_back(data[i] < 0x80 ? static_cast<wchar_t>(data[i]) : static_cast<wchar_t>(0x100 * data[i] + i));
    }
    Run(control, narrow, r8);
    Run(control, wide, rw);
    return 0;
}
