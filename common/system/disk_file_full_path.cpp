// Full paths, simplification and relative paths.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "common/system/disk_file_system.h"
#include "common/system/file_name_text.h"
#include "common/text/str_copy.h"
#include "common/text/str_search.h"

namespace {

// A heap wide buffer that never throws.
class CWideWork
{
public:
    explicit CWideWork(size_t nChars) : m_p(static_cast<wchar_t*>(std::calloc(nChars ? nChars : 1, sizeof(wchar_t))))
    {
    }
    ~CWideWork() { std::free(m_p); }
    CWideWork(const CWideWork&) = delete;
    CWideWork& operator=(const CWideWork&) = delete;
    wchar_t* p() const { return m_p; }

private:
    wchar_t* m_p;
};

// Removes n characters at i.
void Erase(wchar_t* psz, size_t i, size_t n)
{
    std::wmemmove(psz + i, psz + i + n, std::wcslen(psz + i + n) + 1);
}

// "/./" becomes "/"; then each "/../" goes with the component in front of
// it (up to the '/' before it), and one at the root goes alone. The single
// dots go first so that a "." component is never taken for the one that
// ".." removes ("/x/./../c" is "/c").
void NormaliseFullPath(wchar_t* psz)
{
    for (wchar_t* p; (p = std::wcsstr(psz, L"/./")) != nullptr;)
        Erase(psz, static_cast<size_t>(p - psz), 2);
    for (wchar_t* p; (p = std::wcsstr(psz, L"/../")) != nullptr;) {
        const size_t i = static_cast<size_t>(p - psz);
        size_t j = i;
        while (j > 0 && psz[j - 1] != L'/')
            --j;
        if (j == 0)
            Erase(psz, 0, 3);  // at the root: "/../y" is "/y"
        else
            Erase(psz, j - 1, i + 3 - (j - 1));
    }
}

// The home directory of the real user, from the password database.
bool bPasswordHome(wchar_t* pszOut, size_t nCapacity)
{
    const struct passwd* pw = getpwuid(getuid());
    if (pw == nullptr || pw->pw_dir == nullptr)
        return false;
    return bUTF8NameToWide(pw->pw_dir, pszOut, nCapacity);
}

}  // namespace

unsigned CDiskFilePath::GetFullPathName(const wchar_t* pszName, unsigned nSize, wchar_t* pszOut,
                                        wchar_t** ppszFilePart)
{
    (void)ppszFilePart;
    CSlashName name(pszName);
    if (!name.bOk() || name.nLen() == 0)
        return 0;
    const size_t nName = name.nLen();
    // Everything is built in a scratch first: the caller's buffer receives
    // the result only when it fits.
    CWideWork work(nName + 1 + (nSize > 4096 ? nSize : 4096) + 2);
    if (work.p() == nullptr)
        return 0;
    const wchar_t* p = name.psz();
    if (p[0] == L'~') {
        CWideWork home(4097);
        if (home.p() == nullptr || !bPasswordHome(home.p(), 4097))
            return 0;
        const size_t nHome = std::wcslen(home.p());
        const size_t nNeeded = nHome + nName + 3;
        if (nNeeded > nSize)
            return static_cast<unsigned>(nNeeded);
        std::wmemcpy(work.p(), home.p(), nHome);
        std::wmemcpy(work.p() + nHome, p + 1, nName);  // with the terminator
    } else if (p[0] == L'/') {
        if (nName >= nSize)
            return static_cast<unsigned>(nName + 1);
        std::wmemcpy(work.p(), p, nName + 1);
    } else {
        if (!CDiskFileSystem::Unix_getcwd(work.p(), nSize))
            return errno == ERANGE ? 2 * nSize : 0;
        const size_t nDir = std::wcslen(work.p());
        const size_t nSum = nDir + nName + 1;
        if (nSum >= nSize)
            return static_cast<unsigned>(nSum + 2);
        work.p()[nDir] = L'/';
        std::wmemcpy(work.p() + nDir + 1, p, nName + 1);
    }
    NormaliseFullPath(work.p());
    const size_t nLen = std::wcslen(work.p());
    if (nLen >= nSize)
        return static_cast<unsigned>(nLen + 1);
    std::wmemcpy(pszOut, work.p(), nLen + 1);
    return static_cast<unsigned>(nLen);
}

void CDiskFilePath::SimplifyPath(wchar_t* pszPath)
{
    if (pszPath == nullptr)
        return;
    for (wchar_t* p; (p = std::wcsstr(pszPath, L"/./")) != nullptr;)
        Erase(pszPath, static_cast<size_t>(p - pszPath), 2);
    size_t nFrom = 0;
    for (;;) {
        const wchar_t* p = std::wcsstr(pszPath + nFrom, L"/../");
        if (p == nullptr)
            break;
        const size_t i = static_cast<size_t>(p - pszPath);
        // The '/' in front of the component before this "/../".
        const wchar_t* pPrev = i > 0 ? STRRSTR(pszPath, static_cast<long>(i) - 1, L"/") : nullptr;
        if (pPrev == nullptr) {
            nFrom = i + 3;  // nothing in front to remove
            continue;
        }
        const size_t j = static_cast<size_t>(pPrev - pszPath);
        if (i - j - 1 == 2 && pszPath[j + 1] == L'.' && pszPath[j + 2] == L'.') {
            nFrom = i + 3;  // "../.." stays
            continue;
        }
        Erase(pszPath, j, i + 3 - j);
        nFrom = j;
    }
}

bool CDiskFilePath::bPathRelativePathTo(wchar_t* pszOut, const wchar_t* pszPath, const wchar_t* pszBase,
                                        int bMustShare)
{
    if (pszOut == nullptr)
        return false;
    CSlashName path(pszPath);
    CSlashName base(pszBase);
    if (!path.bOk() || !base.bOk())
        return false;
    if (base.nLen() == 0) {
        if (path.nLen() >= XFILE_PATH_CHARS)
            return false;
        std::wmemcpy(pszOut, path.psz(), path.nLen() + 1);
        return true;
    }
    CWideWork a(path.nLen() + 1);
    CWideWork b(base.nLen() + 2);
    if (a.p() == nullptr || b.p() == nullptr)
        return false;
    StandardizeFileName(a.p(), path.psz(), path.nLen() + 1);
    StandardizeFileName(b.p(), base.psz(), base.nLen() + 1);
    DirectoryWithEndSlash(b.p(), base.nLen() + 2);
    size_t nLevels = 0;
    size_t nB = std::wcslen(b.p());
    while (std::wcsncmp(a.p(), b.p(), nB) != 0) {
        if (nB > 0 && b.p()[nB - 1] == L'/')
            b.p()[--nB] = 0;
        // Its directory part: up to and including the last '/'.
        while (nB > 0 && b.p()[nB - 1] != L'/')
            --nB;
        b.p()[nB] = 0;
        ++nLevels;
        if (bMustShare && nB == 0)
            return false;
    }
    const wchar_t* pRest = a.p() + nB;
    const size_t nRest = std::wcslen(pRest);
    if (nLevels > 0) {
        if (nRest + 3 * nLevels >= XFILE_PATH_CHARS)
            return false;
        pszOut[0] = 0;
        for (size_t i = 0; i < nLevels; ++i)
            std::wmemcpy(pszOut + 3 * i, L"../", 3);
        std::wmemcpy(pszOut + 3 * nLevels, pRest, nRest + 1);
        return true;
    }
    if (nRest + 2 >= XFILE_PATH_CHARS)
        return false;
    pszOut[0] = L'.';
    pszOut[1] = L'/';
    std::wmemcpy(pszOut + 2, pRest, nRest + 1);
    return true;
}

bool CDiskFilePath::bRelativeToFullPath(wchar_t* pszOut, const wchar_t* pszRelative, const wchar_t* pszBase,
                                        int nMode)
{
    if (pszOut == nullptr)
        return false;
    CSlashName rel(pszRelative);
    CSlashName base(pszBase);
    if (!rel.bOk() || !base.bOk())
        return false;
    const wchar_t* r = rel.psz();
    // The plain copies are bounded by the largest result this call makes.
    const auto bCopy = [pszOut](const wchar_t* psz, size_t n) {
        if (n >= XFILE_RELATIVE_TO_FULL_CHARS)
            return false;
        std::wmemcpy(pszOut, psz, n);
        pszOut[n] = 0;
        return true;
    };
    if (std::wcscmp(r, L".") == 0)
        return bCopy(base.psz(), base.nLen());
    if ((nMode == 0 && r[0] != L'.') || (nMode == 1 && r[0] == L'/'))
        return bCopy(r, rel.nLen());
    wchar_t* b = base.psz();
    size_t nB = base.nLen();
    if (r[0] == L'.' && r[1] == L'/') {
        if (nB > 0 && b[nB - 1] == L'/')
            --nB;
        const size_t nTail = rel.nLen() - 1;
        if (nB + nTail >= XFILE_RELATIVE_TO_FULL_CHARS)
            return false;
        std::wmemcpy(pszOut, b, nB);
        std::wmemcpy(pszOut + nB, r + 1, nTail + 1);
        return true;
    }
    // Each leading ".." (three characters, its slash or whatever follows)
    // takes one component off the base.
    while (r[0] == L'.' && r[1] == L'.') {
        if (nB > 0 && b[nB - 1] == L'/')
            --nB;
        while (nB > 0 && b[nB - 1] != L'/')
            --nB;
        r += r[2] == 0 ? 2 : 3;
    }
    const bool bSlash = nB > 0 && b[nB - 1] != L'/';
    const size_t nTail = std::wcslen(r);
    if (nB + (bSlash ? 1 : 0) + nTail >= XFILE_PATH_CHARS)
        return false;
    std::wmemcpy(pszOut, b, nB);
    if (bSlash)
        pszOut[nB++] = L'/';
    std::wmemcpy(pszOut + nB, r, nTail + 1);
    return true;
}

unsigned CDiskFilePath::bStandardizeExistingFileName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName)
{
    return GetFullPathName(pszName, nSize, pszOut, nullptr);
}

unsigned CDiskFilePath::bGetUNCName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName, CXError* pclError)
{
    (void)pclError;
    return GetFullPathName(pszName, nSize, pszOut, nullptr);
}
