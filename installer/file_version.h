#pragma once

#include <cstddef>

#include "common/text/xy_string.h"

// A version-information block found in a file between its markers: zero-
// terminated 8-bit strings, keys and values in turn. Looked up by key,
// without regard to case; every scan stays inside the block.
class CFileVersion
{
public:
    CFileVersion() = default;
    ~CFileVersion();
    CFileVersion(const CFileVersion&) = delete;
    CFileVersion& operator=(const CFileVersion&) = delete;

    // The version block of a file; false when the file has none.
    bool bLoad(const wchar_t* pszPath);
    // The address of the value inside the block and its length in bytes.
    bool bGetBinaryValue(const wchar_t* pszKey, void** ppValue, unsigned* pnLength) const;
    // The value read as code page 1252.
    bool bGetStringValue(const wchar_t* pszKey, CXYString<wchar_t>& sValue) const;

protected:
    // The first block longer than 34 bytes between the two markers (given
    // without their terminators).
    bool _bLoad(const wchar_t* pszPath, const char* pszStart, const char* pszEnd);
    void _Libere();

    // The block's bytes and a zero byte behind them.
    char* m_pbyBloc = nullptr;
    size_t m_nTaille = 0;
};

// The same for a resource block, its keys "\Resource\<id>".
class CFileRessource : public CFileVersion
{
public:
    bool bLoad(const wchar_t* pszPath);
    bool bLoadResource(unsigned nId, void** ppValue, unsigned* pnLength) const;
};
