// Tree walks and tree deletes.
//
// Entries are classified with lstat on their whole mode: a symbolic link is
// never taken for a directory, so a walk never leaves its tree through a
// link nor loops through one, and the deletes unlink links instead of
// emptying what they point to. (Under lstat a link's attribute word carries
// the regular-file bit, and sockets and block devices carry the directory
// bit, so the attribute bits cannot classify.)
#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "common/system/disk_file_messages.h"
#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"

namespace {

// A growable wide text on the heap that never throws.
class CWideText
{
public:
    CWideText() = default;
    ~CWideText() { std::free(m_p); }
    CWideText(const CWideText&) = delete;
    CWideText& operator=(const CWideText&) = delete;

    bool bSet(const wchar_t* a, size_t na, const wchar_t* b = L"", size_t nb = 0, const wchar_t* c = L"",
              size_t nc = 0)
    {
        wchar_t* p = static_cast<wchar_t*>(std::realloc(m_p, (na + nb + nc + 1) * sizeof(wchar_t)));
        if (p == nullptr) {
            errno = ENOMEM;
            return false;
        }
        m_p = p;
        std::wmemcpy(p, a, na);
        std::wmemcpy(p + na, b, nb);
        std::wmemcpy(p + na + nb, c, nc);
        p[na + nb + nc] = 0;
        m_n = na + nb + nc;
        return true;
    }
    const wchar_t* psz() const { return m_p; }
    size_t nLen() const { return m_n; }

private:
    wchar_t* m_p = nullptr;
    size_t m_n = 0;
};

// An open directory, closed on every way out.
class CDirectory
{
public:
    explicit CDirectory(const wchar_t* pszDirectory) : m_h(CDiskFileSystem::__Unix_opendir(pszDirectory)) {}
    ~CDirectory()
    {
        if (m_h != nullptr)
            closedir(m_h);
    }
    CDirectory(const CDirectory&) = delete;
    CDirectory& operator=(const CDirectory&) = delete;
    bool bOpen() const { return m_h != nullptr; }
    // The next entry's name other than "." and ".." that this layer can
    // spell; false at the end.
    bool bNext(wchar_t* pszName, size_t nCapacity)
    {
        for (;;) {
            const struct dirent* p = readdir(m_h);
            if (p == nullptr)
                return false;
            if (bUTF8NameToWide(p->d_name, pszName, nCapacity) && !CDiskFilePath::bIsAVirtualDirectory(pszName))
                return true;
        }
    }
    bool bClose()
    {
        DIR* h = m_h;
        m_h = nullptr;
        return closedir(h) == 0;
    }

private:
    DIR* m_h;
};

enum class eKind { Missing, Directory, Other };

eKind eClassify(const wchar_t* pszName)
{
    struct stat st;
    if (CDiskFileSystem::Unix_lstat(pszName, &st) != 0)
        return eKind::Missing;
    return S_ISDIR(st.st_mode) ? eKind::Directory : eKind::Other;
}

// A directory entry's name is 255 bytes at most, so at most 255 characters;
// kept small, as every level of a walk holds one.
constexpr size_t kNameChars = 256;

// One level of a walk. nBound, when not 0, is the largest length allowed
// for root + pattern.
bool bWalk(const wchar_t* pszRoot, size_t nRoot, const wchar_t* pszPattern, CDiskFileSystem::PFNTREECALLBACK pfn,
           void* pData, bool bIncludeDirectories, bool bRecurse, bool bDirectoriesOnly, size_t nBound)
{
    const size_t nPattern = std::wcslen(pszPattern);
    if (nBound != 0 && nRoot + nPattern > nBound) {
        // A cut pattern would match more than asked ("*.tmp" becoming "*").
        errno = ENAMETOOLONG;
        return false;
    }
    // The search directory is root + pattern up to its last '/'.
    CWideText search;
    if (!search.bSet(pszRoot, nRoot, pszPattern, nPattern))
        return false;
    size_t nDir = search.nLen();
    while (nDir > 0 && search.psz()[nDir - 1] != L'/')
        --nDir;
    const wchar_t* pszNamePattern = search.psz() + nDir;
    CWideText dir;
    if (!dir.bSet(search.psz(), nDir))
        return false;
    wchar_t szName[kNameChars];
    CWideText full;
    {
        CDirectory d(nDir > 0 ? dir.psz() : L".");
        if (d.bOpen()) {
            while (d.bNext(szName, kNameChars)) {
                if (!CDiskFilePath::_bFiltreFileName(szName, pszNamePattern))
                    continue;
                if (!full.bSet(dir.psz(), nDir, szName, std::wcslen(szName)))
                    return false;
                const eKind kind = eClassify(full.psz());
                if (kind == eKind::Missing)
                    continue;  // gone meanwhile
                const bool bDirectory = kind == eKind::Directory;
                if (bDirectoriesOnly ? (!bDirectory || !bIncludeDirectories) : (bDirectory && !bIncludeDirectories))
                    continue;
                if (pfn(full.psz(), pData) == 0)
                    return false;
            }
        }
        // A directory that cannot be searched holds nothing to do.
    }
    if (!bRecurse)
        return true;
    CDirectory d(nRoot > 0 ? pszRoot : L".");
    if (!d.bOpen())
        return true;
    while (d.bNext(szName, kNameChars)) {
        const size_t nName = std::wcslen(szName);
        // Classified before the end slash is added: lstat of "link/" would
        // follow the link.
        if (!full.bSet(pszRoot, nRoot, szName, nName))
            return false;
        if (eClassify(full.psz()) != eKind::Directory)
            continue;  // files, and links whatever they point to
        if (!full.bSet(pszRoot, nRoot, szName, nName, L"/", 1))
            return false;
        if (!bWalk(full.psz(), full.nLen(), pszPattern, pfn, pData, bIncludeDirectories, true, bDirectoriesOnly,
                   nBound))
            return false;
    }
    return true;
}

bool bWalkTree(const wchar_t* pszRoot, const wchar_t* pszPattern, CDiskFileSystem::PFNTREECALLBACK pfn, void* pData,
               int bIncludeDirectories, int bRecurse, bool bDirectoriesOnly, size_t nBound)
{
    if (pfn == nullptr)
        return false;
    CSlashName root(pszRoot);
    CSlashName pattern(pszPattern);
    if (!root.bOk() || !pattern.bOk())
        return false;
    return bWalk(root.psz(), root.nLen(), pattern.psz(), pfn, pData, bIncludeDirectories != 0, bRecurse != 0,
                 bDirectoriesOnly, nBound);
}

}  // namespace

bool CDiskFileSystem::bDoOnFileTree(const wchar_t* pszRoot, const wchar_t* pszPattern, PFNTREECALLBACK pfn,
                                    void* pData, int bIncludeDirectories, int bRecurse)
{
    return bWalkTree(pszRoot, pszPattern, pfn, pData, bIncludeDirectories, bRecurse, false, XFILE_PATH_CHARS - 1);
}

bool CDiskFileSystem::bDoOnDirectoryTree(const wchar_t* pszRoot, const wchar_t* pszPattern, PFNTREECALLBACK pfn,
                                         void* pData, int bIncludeDirectories, int bRecurse)
{
    return bWalkTree(pszRoot, pszPattern, pfn, pData, bIncludeDirectories, bRecurse, true, 0);
}

bool CDiskFileSystem::bForceDeleteOnFileTree(const wchar_t* pszRoot, const wchar_t* pszPattern, int bRecurse,
                                             CXError* pclError)
{
    return bDoOnFileTree(pszRoot, pszPattern, __bForceDeleteOnTree, pclError, 0, bRecurse);
}

bool CDiskFileSystem::_bDeltree(const wchar_t* pszDirectory, CXError* pclError)
{
    if (pszDirectory == nullptr || pszDirectory[0] == 0)
        return false;
    CSlashName dir(pszDirectory);
    CWideText root;
    if (!dir.bOk() ||
        !root.bSet(dir.psz(), dir.nLen(), L"/", dir.psz()[dir.nLen() - 1] == L'/' ? 0 : 1)) {
        _OnMemoryError(pclError);
        return false;
    }
    CDirectory d(root.psz());
    if (!d.bOpen()) {
        // Nothing to empty when it is missing; otherwise the search failed.
        const bool bMissing = errno == ENOENT;
        if (_bOnError(bMissing, pclError))
            _AddStaticMessage(pclError, XFILE_MSG_FIND_FIRST, root.psz(), nullptr);
        return bMissing;
    }
    wchar_t szName[kNameChars];
    CWideText full;
    while (d.bNext(szName, kNameChars)) {
        if (!full.bSet(root.psz(), root.nLen(), szName, std::wcslen(szName))) {
            _OnMemoryError(pclError);
            return false;
        }
        bool bOk = true;
        switch (eClassify(full.psz())) {
        case eKind::Missing:
            break;  // gone meanwhile
        case eKind::Directory:
            bOk = _bDeltree(full.psz(), pclError) && bDeleteDirectory(full.psz(), pclError);
            break;
        case eKind::Other:
            bOk = bDelete(full.psz(), pclError);  // a link goes, never its target
            break;
        }
        if (!bOk)
            return false;
    }
    const bool bOk = d.bClose();
    if (_bOnError(bOk, pclError))
        _AddStaticMessage(pclError, XFILE_MSG_FIND_CLOSE, root.psz(), nullptr);
    return bOk;
}

bool CDiskFileSystem::bPurgeTree(const wchar_t* pszDirectory, CXError* pclError)
{
    return _bDeltree(pszDirectory, pclError);
}

bool CDiskFileSystem::bForcePurgeTree(const wchar_t* pszDirectory, CXError* pclError)
{
    return _bDeltree(pszDirectory, pclError);
}

bool CDiskFileSystem::bDeleteTree(const wchar_t* pszDirectory, CXError* pclError)
{
    return _bDeltree(pszDirectory, pclError) && bDeleteDirectory(pszDirectory, pclError);
}

bool CDiskFileSystem::bForceDeleteTree(const wchar_t* pszDirectory, CXError* pclError)
{
    return bDeleteTree(pszDirectory, pclError);
}

bool CDiskFileSystem::bDeleteTreeEvenReadOnly(const wchar_t* pszDirectory, CXError* pclError)
{
    if (pszDirectory == nullptr || pszDirectory[0] == 0)
        return false;
    CSlashName dir(pszDirectory);
    CWideText root;
    if (!dir.bOk() || !root.bSet(dir.psz(), dir.nLen(), L"/", dir.psz()[dir.nLen() - 1] == L'/' ? 0 : 1)) {
        _OnMemoryError(pclError);
        return false;
    }
    return bForceDeleteOnFileTree(root.psz(), L"*", 1, pclError) && bDeleteTree(pszDirectory, pclError);
}
