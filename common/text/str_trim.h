#pragma once

#include <cstddef>

// In-place trimming of zero-terminated texts; null texts are left alone.
// Spaces are the characters iswspace (wide) or isspace (8-bit) accepts;
// leading ones are removed by moving the rest down. Each returns the text.

wchar_t* STR_SuppressRightSpaces(wchar_t* pszText);
char* STR_SuppressRightSpaces(char* pszText);
wchar_t* STR_SuppressLeftSpaces(wchar_t* pszText);
char* STR_SuppressLeftSpaces(char* pszText);
// Right first, then left.
wchar_t* STR_SuppressSideSpaces(wchar_t* pszText);
char* STR_SuppressSideSpaces(char* pszText);
// Every space anywhere.
wchar_t* STR_SuppressAllSpacesW(wchar_t* pszText);
char* STR_SuppressAllSpacesA(char* pszText);

// The trailing, leading or both runs of the character c.
wchar_t* STR_SuppressRightCar(wchar_t* pszText, wchar_t c);
char* STR_SuppressRightCar(char* pszText, char c);
wchar_t* STR_SuppressLeftCar(wchar_t* pszText, wchar_t c);
char* STR_SuppressLeftCar(char* pszText, char c);
wchar_t* STR_SuppressSideCar(wchar_t* pszText, wchar_t c);

// Pads the text with c up to size - 1 characters and writes a terminator at
// size - 1 (a longer text is cut there); size 0 writes nothing.
wchar_t* STR_Complete(wchar_t* pszText, size_t nSize, wchar_t c);
char* STR_Complete(char* pszText, size_t nSize, char c);
