#pragma once

#include <cstddef>

// File names of the profile calls: at most 260 characters, in buffers of
// PROFILE_PATH_CHARS with the terminator (bytes for the 8-bit forms).
constexpr size_t PROFILE_PATH_CHARS = 261;

// The user's home directory: $HOME when it is set and not empty, else the
// home of the real user's password entry. The 8-bit form gives the bytes as
// they are, the wide form converts them from UTF-8. False, buffer untouched,
// when there is neither, the bytes are no UTF-8 (wide form) or the
// directory does not fit in the capacity with its terminator.
bool bGetHomeDirectory(char* pszOut, size_t nCapacity);
bool bGetHomeDirectory(wchar_t* pszOut, size_t nCapacity);

// The per-user profile file: home directory + "/.TVK.conf", into a buffer of
// PROFILE_PATH_CHARS. False, path untouched, when there is no home directory
// or the name does not fit (a cut name would be another file).
bool bGetTVKCONFPath(wchar_t* pszPath);

// The name a profile call opens, into a buffer of PROFILE_PATH_CHARS: a name
// holding '\\' or '/' as it is, any other in the home directory (home + "/" +
// name); then every '\\' becomes '/'. False, buffer untouched, for a null
// name, without a home directory when one is needed, or when the result does
// not fit.
bool __PrivateProfilePatchName(const wchar_t* pszName, wchar_t* pszBuffer);
bool __PrivateProfilePatchName(const char* pszName, char* pszBuffer);
