#pragma once

// 32-bit time calls. _time32 gives -1 (also stored) once the time no longer
// fits in 31 bits, after 19 January 2038. The others sign-extend the value
// and return the C library's static results.
int _time32(int* pnOut);
char* _ctime32(const int* pnTime);
struct tm* _localtime32(const int* pnTime);
