#pragma once

#include <cstddef>

// Sets every character of s to c; returns s (null stays null).
char* _strset(char* s, int c);
// Sets at most n characters of s to c, stopping at the terminator; returns
// the position after the last character set (s itself when nothing is set).
char* _strnset(char* s, int c, size_t n);
