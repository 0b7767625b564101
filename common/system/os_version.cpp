#include "common/system/os_version.h"

int bWindowsNT(unsigned int, unsigned int) { return 0; }
int bWindowsNT() { return 0; }
int bWindows2000() { return 0; }
int bWindowsXP() { return 0; }
int bWindows2003() { return 0; }
int bWindowsVista() { return 0; }
int bWindowsSeven() { return 0; }
int bWindows8() { return 0; }
int bWindowsSmartphone() { return 0; }
int bWindowsCE2002() { return 0; }
int bIsWindows64() { return 0; }
