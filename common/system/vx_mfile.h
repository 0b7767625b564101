#pragma once

#include <cstdint>

#include "common/system/vx_file.h"

class CTString;

// One entry of a message file's index, packed: the string id and the
// offset of its record from the end of the index.
#pragma pack(push, 1)
struct _stMFILE_INDEX
{
    uint32_t dwId;
    uint64_t oOffset;
};
#pragma pack(pop)
static_assert(sizeof(_stMFILE_INDEX) == 12);

// A message file: after the typed header, the file version (32-bit; below
// 2 the strings are code page 1252, else UTF-8), a block of S bytes
// (skipped), the entry count N (32-bit), N index entries sorted by id, then
// the string records (one byte skipped, the length L in bytes (32-bit), L
// bytes of text). Every size read from the file is checked in 64 bits
// against what remains of the file before anything is allocated or read.
//
// The first string request loads the index; a file whose index cannot be
// loaded answers every later request with false until Purge.
class CVXMFile : public CVXFile
{
public:
    // Any file type; code page 65001 until a header says otherwise.
    CVXMFile() : CVXFile(0) {}
    ~CVXMFile() override;

    // CVXFile::bReadHeader, then the version and S (4 bytes each). Forgets
    // the index of an earlier file.
    bool bReadHeader(int64_t* poOffset) override;

    // Opens the file (read, no lock), loads its index and closes it again;
    // true when both worked.
    bool bVerifieFormat(const wchar_t* pszName);
    // The string of the id, converted from the file's code page. False when
    // the index cannot be loaded, the id is missing or its record cannot be
    // read.
    bool bLoadString(uint32_t dwId, CTString& text);
    // The same into at most nSize - 1 characters and a terminator; returns
    // L, the record's length in bytes, or 0 on failure.
    unsigned nLoadString(uint32_t dwId, wchar_t* pszBuffer, unsigned nSize);
    // Forgets the index: count, version, S and index base 0, the index
    // freed, the load attempt cleared.
    void Purge();

    uint32_t dwGetVersion() const { return m_dwVersion; }
    unsigned nGetCodePage() const { return m_nCodePage; }
    uint32_t nGetNbEntries() const { return m_nNbEntries; }

protected:
    // Loads the index once (see the class comment).
    bool _bChargeIndex();
    // The record of the id into a malloc block of L + 1 bytes, terminated.
    bool _bReadRecord(uint32_t dwId, char** ppText, uint32_t* pnLen);

    uint32_t m_dwTailleBloc = 0;      // S
    int64_t m_oIndexBase = 0;         // where N lies, then where the records start
    uint32_t m_nNbEntries = 0;
    _stMFILE_INDEX* m_pIndex = nullptr;
    uint32_t m_dwVersion = 0;
    unsigned m_nCodePage = 65001;
    // 0 before any load, 1 after a failed one, 2 once loaded.
    int32_t m_nIndexState = 0;
};
