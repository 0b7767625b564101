#pragma once

// Process-wide C library locale; call at start-up only.

// setlocale(category, "C").
char* UnsetLocale(int nCategory);

// Selects a UTF-8 character-type locale: the environment's choice, then
// "fr_FR.UTF-8", "fr_FR.utf8", "en_US.UTF-8", "en_US.utf8", "C.UTF-8" and
// "C.utf8", keeping the first whose name says UTF-8 (the last one whenever it
// is accepted). Returns the name setlocale gave, or null when none was taken;
// the locale then stays at the last candidate accepted.
const char* SetLocaleUTF8();
