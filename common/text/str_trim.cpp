#include "common/text/str_trim.h"

#include <cctype>
#include <cstring>
#include <cwctype>

namespace {

inline bool bSpace(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }
inline bool bSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

template <class T>
size_t Length(const T* text)
{
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

template <class T, class Pred>
T* TrimRight(T* text, Pred bDrop)
{
    if (!text) return text;
    size_t n = Length(text);
    while (n > 0 && bDrop(text[n - 1])) --n;
    text[n] = 0;
    return text;
}

template <class T, class Pred>
T* TrimLeft(T* text, Pred bDrop)
{
    if (!text) return text;
    size_t start = 0;
    while (text[start] && bDrop(text[start])) ++start;
    if (start) std::memmove(text, text + start, (Length(text + start) + 1) * sizeof(T));
    return text;
}

template <class T>
T* TrimAll(T* text)
{
    if (!text) return text;
    T* out = text;
    for (const T* p = text; *p; ++p) {
        if (!bSpace(*p)) *out++ = *p;
    }
    *out = 0;
    return text;
}

template <class T>
T* Complete(T* text, size_t size, T c)
{
    if (!text || size == 0) return text;
    size_t n = 0;
    while (n < size - 1 && text[n]) ++n;
    for (; n < size - 1; ++n) text[n] = c;
    text[size - 1] = 0;
    return text;
}

}  // namespace

wchar_t* STR_SuppressRightSpaces(wchar_t* t) { return TrimRight(t, [](wchar_t c) { return bSpace(c); }); }
char* STR_SuppressRightSpaces(char* t) { return TrimRight(t, [](char c) { return bSpace(c); }); }
wchar_t* STR_SuppressLeftSpaces(wchar_t* t) { return TrimLeft(t, [](wchar_t c) { return bSpace(c); }); }
char* STR_SuppressLeftSpaces(char* t) { return TrimLeft(t, [](char c) { return bSpace(c); }); }
wchar_t* STR_SuppressSideSpaces(wchar_t* t) { return STR_SuppressLeftSpaces(STR_SuppressRightSpaces(t)); }
char* STR_SuppressSideSpaces(char* t) { return STR_SuppressLeftSpaces(STR_SuppressRightSpaces(t)); }
wchar_t* STR_SuppressAllSpacesW(wchar_t* t) { return TrimAll(t); }
char* STR_SuppressAllSpacesA(char* t) { return TrimAll(t); }

wchar_t* STR_SuppressRightCar(wchar_t* t, wchar_t c) { return TrimRight(t, [c](wchar_t x) { return x == c; }); }
char* STR_SuppressRightCar(char* t, char c) { return TrimRight(t, [c](char x) { return x == c; }); }
wchar_t* STR_SuppressLeftCar(wchar_t* t, wchar_t c) { return TrimLeft(t, [c](wchar_t x) { return x == c; }); }
char* STR_SuppressLeftCar(char* t, char c) { return TrimLeft(t, [c](char x) { return x == c; }); }
wchar_t* STR_SuppressSideCar(wchar_t* t, wchar_t c) { return STR_SuppressLeftCar(STR_SuppressRightCar(t, c), c); }

wchar_t* STR_Complete(wchar_t* t, size_t nSize, wchar_t c) { return Complete(t, nSize, c); }
char* STR_Complete(char* t, size_t nSize, char c) { return Complete(t, nSize, c); }
