#pragma once

class CXError;

// The debug line every error site of the driver adds to its error: the
// module's short name, the number of the source file, the number of the
// site within it, the short name again and the version.
constexpr wchar_t gszErrorSiteFormat[] = L"IE%s=%u.%u\r\nModule=<%s>\r\nVersion=<%s>";
constexpr wchar_t gszErrorSiteModule[] = L"ZODIRA";
constexpr wchar_t gszErrorSiteVersion[] = L"20.0.10.0";

// Formats the line for (source, site), adds it with AddDebugMessageNoFormat
// and then AddDebugMessage(&gstMyModuleInfo32, 0xFFFFFFFF), as the sites do.
void AddErrorSiteDebugLine(CXError& error, unsigned int nSource, unsigned int nSite);
