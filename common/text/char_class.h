#pragma once

// Character classes that need no locale. The 8-bit forms take the byte
// unsigned.

bool bEstUnChiffreA(char c);     // "0" to "9"
bool bEstUnChiffreW(wchar_t c);
int nGetChiffre(wchar_t c);      // c - '0'
// Every character is a digit (an empty text counts; a null text does not).
bool bEstUnNombreEntierNaturel(const wchar_t* pszText);
bool bMajusculeA(char c);        // A-Z only
bool bMajusculeW(wchar_t c);
bool bMinusculeA(char c);        // a-z only
bool bMinusculeW(wchar_t c);
bool bExtendedASCII(wchar_t c);  // above 127
bool bUnprintable(wchar_t c);    // below 32
bool bPonctuation(wchar_t c);    // 33-47, 58-64 or 91-95

// The text holds U+0020 (a null text does not).
bool STR_bContainSpace(const wchar_t* pszText);
// The text is empty or holds only tab, line feed, carriage return and space.
bool STR_bNeContientRienDeLisibleA(const char* pszText);
bool STR_bNeContientRienDeLisibleW(const wchar_t* pszText);
// The text begins, ignoring case, with "{\rtf1" or "{\rtf{"; null is false.
bool bEstDuTexteRTF(const char* pszText);
bool bEstDuTexteRTFW(const wchar_t* pszText);
