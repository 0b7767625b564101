#pragma once

#include <string>
#include <vector>

// Checks an archive entry name before anything is written: the installer runs
// as root, so a name must stay below the target directory whatever it holds.
// '\' counts as '/'. Refused: an empty name, a leading '/', a drive prefix
// ("c:"), an empty, "." or ".." component, and any NUL or control character
// (below 0x20, and 0x7F to 0x9F), and a name that is no valid Unicode.
// On success the components come back in their UTF-8 form, last one the file.
bool bDecoupeNomEntree(const wchar_t* pszName, std::vector<std::string>& aComposants);

// The wide form of a UTF-8 name from the system or from the check above;
// "?" when it is not well-formed.
std::wstring sNomLarge(const std::string& sUtf8);
