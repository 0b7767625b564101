#pragma once

// The operating-system questions of code written for Windows: on Linux the
// answer is always no (0).
int bWindowsNT(unsigned int nMajor, unsigned int nMinor);
int bWindowsNT();
int bWindows2000();
int bWindowsXP();
int bWindows2003();
int bWindowsVista();
int bWindowsSeven();
int bWindows8();
int bWindowsSmartphone();
int bWindowsCE2002();
int bIsWindows64();
