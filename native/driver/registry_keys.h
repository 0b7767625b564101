#pragma once

#include <cstdint>

#include "native/driver/na_forward.h"

// The keys of the driver's connection and table registries, and how they
// compare.
//
// A connection's key is its identification text (the driver's slot 42),
// which carries the user name and the password: keys compare exactly, code
// point by code point, so that credentials that differ only in case or
// accents, which the server may tell apart, never share a connection. The
// hash is taken over the same code points, so that equal keys hash alike.
//
// A table's key is "Table=<name>;<identification>", a query result's
// "CTX=<context id>;Table=<name>;<identification>", with the context id in
// decimal over all 64 bits. Table and query names are the host's logical
// names, which match without regard to case and accents: the name part is
// written mapped (upper case, accents removed, as STR_nMapStringEx with
// flags 3 maps it), so that names that compare equal give one key, and the
// whole key then compares exactly like a connection's. A null name is
// written "NULL".
//
// Keys hold the password: they go into no error text, debug line or dump.
class CNARegistryKeys
{
public:
    // The registries' comparison (0 when equal) and hash of two keys.
    static int nCompare(void const* pKey, void const* pStoredKey);
    static unsigned int dwHashVal(void const* pKey);

    // False (the output emptied) when memory runs out.
    static bool g_bBuildTableKey(CTString* pcsKey, const wchar_t* pszDBTableName, const wchar_t* pszIdentification);
    static bool g_bBuildQueryKey(CTString* pcsKey, uint64_t llContextID, const wchar_t* pszName,
                                 const wchar_t* pszIdentification);
};
