#pragma once

#include <string>

#include "common/text/ct_string.h"

// The installer's only output: its messages, each written to the standard
// error stream as UTF-8 in one write (never through a format, never through
// the C library's wide streams, whose conversion would follow the locale).
//
// What a message names (entry names from the archive, paths, system texts)
// comes from places an attacker may fill: every parameter is made
// displayable first, so that no byte of it can steer the terminal or reorder
// the line around it. The message templates themselves are ours and go out
// as they are.

// The text with C0 and C1 controls and DEL written "\x1B", and the
// bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066
// to U+2069), surrogates and values that are no Unicode scalar written
// "\u202E" (or "\U0011FFFF" above U+FFFF). A null text gives "".
std::wstring sTexteAffichable(const wchar_t* pszTexte);

// The installer's message nId formatted with its displayable parameters;
// empty when the message is missing.
CTString sMessageInstalleur(unsigned nId);
CTString sMessageInstalleur(unsigned nId, const wchar_t* pszParam1);
CTString sMessageInstalleur(unsigned nId, const wchar_t* pszParam1, const wchar_t* pszParam2);

// Writes the text as UTF-8 with one write (a short write goes on with the
// rest); nothing for a null or empty text. A closed stream is ignored.
void EcritErreurStd(const wchar_t* pszText);
