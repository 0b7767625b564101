#pragma once

// Memory-statistics entry points of the Windows build. Nothing is counted or
// dumped on Linux; all answer 0.
int Alloc_bDump(const wchar_t* pszFile, int nOptions);
int Alloc_bMarque();
int Alloc_nTailleTotale();
