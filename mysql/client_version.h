#pragma once

// What the version of a client library means to the driver: how its version
// text and numbers read, and which layout its MYSQL_FIELD records have.
// Pure rules, no state: the loader (function_loader.h) applies them to the
// library it loaded.
//
// A library names its version in one of three ways, tried in this order:
// Connector/C answers mariadb_get_infov (its version text is that of the
// connector, "3.3.20", while its records and capabilities are those of a
// 5.1-or-later client); others answer mysql_get_client_version (50173 is
// 5.1); the oldest give only their text, whose first characters then choose
// the layout ("10.x" reads like "1.x" there).
#include <cstdint>

// How the loaded library was identified.
enum class eMySQLClientKind
{
    VersionText,    // neither symbol: the version text alone
    ClientVersion,  // mysql_get_client_version
    ConnectorC,     // mariadb_get_infov
};

// The MYSQL_FIELD record of a client, named by its entry size in an array.
enum class eMySQLFieldLayout
{
    Client3 = 48,   // before 4.0
    Client40 = 72,  // 4.0
    Client41 = 120, // 4.1 and 5.0
    Client51 = 128, // 5.1 and later
};

class CMySQLClientVersion
{
public:
    // Major and minor of a version text: the digits up to the first
    // non-digit make the major, the digits after it up to the next non-digit
    // the minor ("4.0.20a" gives 4 and 0, a leading non-digit 0 and 0). A
    // number too long for 32 bits stops at INT32_MAX. A null text gives 0, 0.
    static void g_ParseText(const wchar_t* pszText, int* pnMajor, int* pnMinor);
    // Major and minor of a version number major * 10000 + minor * 100 +
    // patch; a major above INT32_MAX stops there.
    static void g_DecodeNumber(uint64_t nVersion, int* pnMajor, int* pnMinor);
    // The layout of a client of that version.
    static eMySQLFieldLayout g_eLayoutOfVersion(int nMajor, int nMinor);
    // The layout a version text names by its first and third characters, for
    // a library that names its version no other way: '3' or below (an empty
    // text too) 3.x; "4?0" 4.0; '4' else 4.1; "5?0" 4.1; '5' else, or above
    // '5', 5.1 and later.
    static eMySQLFieldLayout g_eLayoutOfText(const wchar_t* pszText);
    // major.minor is at least nMajor.nMinor.
    static bool g_bAtLeast(int nHaveMajor, int nHaveMinor, int nMajor, int nMinor)
    {
        return nHaveMajor > nMajor || (nHaveMajor == nMajor && nHaveMinor >= nMinor);
    }
};
