#pragma once

#include <cstdint>

#include "common/system/disk_file_system.h"

class CXError;

// One directory search held by value: CDiskFile's search on the object's
// own data, zeroed at construction and closed at destruction.
class CFindFile
{
public:
    CFindFile();
    ~CFindFile();
    CFindFile(const CFindFile&) = delete;
    CFindFile& operator=(const CFindFile&) = delete;

    bool bFindFirst(const wchar_t* pszPattern, uint32_t dwRequired, uint32_t dwExcluded, CXError* pclError = nullptr);
    bool bFindNext(CXError* pclError = nullptr);
    bool bFindClose(CXError* pclError = nullptr);
    // Closes other's search, moves this one (its open handle included)
    // into other and leaves this object zeroed.
    void TransfertTo(CFindFile& other);

    const CDiskFileSystem::_stXFINDDATA& stGetData() const { return m_stFind; }
    const wchar_t* pszGetName() const { return m_stFind.szName; }
    const wchar_t* pszGetDirectory() const { return m_stFind.szDirectory; }
    uint32_t dwGetAttributes() const { return m_stFind.dwAttributes; }
    int64_t oGetSize() const { return m_stFind.oSize; }
    // By the whole type (sockets and block devices carry the directory bit
    // too).
    bool bIsDirectory() const { return (m_stFind.dwAttributes & 0xE000) == CDiskFileSystem::XFILE_ATTRIBUTE_DIRECTORY; }

private:
    CDiskFileSystem::_stXFINDDATA m_stFind;
};
