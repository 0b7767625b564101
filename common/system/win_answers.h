#pragma once

#include <cstdint>

#include "common/system/emule_char_class.h"

// Windows calls whose answer on Linux is a constant or close to one.

// The neutral language id of the system default.
uint16_t GetSystemDefaultLangID();
uint16_t GetUserDefaultLangID();

constexpr int STD_INPUT_HANDLE = -10;
constexpr int STD_OUTPUT_HANDLE = -11;
constexpr int STD_ERROR_HANDLE = -12;
// The descriptor of a standard stream (0, 1, 2), -1 for other values.
int GetStdHandle(int nStdHandle);

struct _OSVERSIONINFOW
{
    uint32_t dwOSVersionInfoSize;
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
    uint32_t dwPlatformId;
    wchar_t szCSDVersion[128];
};
using OSVERSIONINFO = _OSVERSIONINFOW;
static_assert(sizeof(OSVERSIONINFO) == 20 + 128 * sizeof(wchar_t), "five 32-bit words and the service-pack text");

// The platform id this layer answers.
constexpr uint32_t VER_PLATFORM_LINUX = 1000;
// Zeroes the record but its size field and sets the platform id; true when
// uname succeeds.
int GetVersionEx(OSVERSIONINFO* pInfo);

// Writes the wide text to standard error.
void OutputDebugString(const wchar_t* pszText);

// The code page 1252 letters and digits: the table of bEmule_IsCharAlphaNumericA.
inline const unsigned char* const pbyIsCharAlphaNumeric = gpbyIsChaAlphaNumeric_Latin1;
int LinuxIsCharAlphaNumericA(char c);
