// Slash conversion, end slashes, names and extensions, building and
// splitting paths.
#include <cstring>
#include <cwchar>

#include "common/system/disk_file_path.h"
#include "common/system/file_name_text.h"
#include "common/system/make_path.h"
#include "common/text/ct_string.h"
#include "common/text/str_copy.h"
#include "common/text/str_trim.h"

namespace {

template <class T>
T* Replace(T* psz, T cFrom, T cTo)
{
    if (psz != nullptr)
        for (T* p = psz; *p; ++p)
            if (*p == cFrom)
                *p = cTo;
    return psz;
}

const wchar_t* Replace(CXYString<wchar_t>& s, wchar_t cFrom, wchar_t cTo)
{
    const wchar_t* psz = s.pszGet();
    if (std::wcschr(psz, cFrom) == nullptr || s.nUnshare() != 0)
        return s.pszGet();
    Replace(s.ptGetBuffer(), cFrom, cTo);
    return s.pszGet();
}

const wchar_t* Replace(CTString& s, wchar_t cFrom, wchar_t cTo)
{
    const long n = s.nTaille();
    for (long i = 0; i < n; ++i)
        if (s.cGetChar(i) == cFrom)
            s.SetChar(i, cTo);
    return s.pszGet();
}

// Index of the last '.' of the last component; -1 when it has none.
long nExtensionIndex(const wchar_t* psz, long nLen)
{
    for (long i = nLen - 1; i >= 0; --i) {
        if (psz[i] == L'.')
            return i;
        if (psz[i] == L'/' || psz[i] == L'\\')
            break;
    }
    return -1;
}

// Index of the last '/' or '\\'; -1 when there is none.
long nLastSeparator(const wchar_t* psz, long nLen)
{
    for (long i = nLen - 1; i >= 0; --i)
        if (psz[i] == L'/' || psz[i] == L'\\')
            return i;
    return -1;
}

// Copies n characters into an output of XFILE_PATH_CHARS; empty when they
// do not fit.
void PutPart(wchar_t* pszOut, const wchar_t* p, size_t n)
{
    if (pszOut == nullptr)
        return;
    if (n >= XFILE_PATH_CHARS)
        n = 0;
    std::wmemcpy(pszOut, p, n);
    pszOut[n] = 0;
}

}  // namespace

char* CDiskFilePath::pszBackSlash2Slash(char* psz)
{
    return Replace(psz, '\\', '/');
}
wchar_t* CDiskFilePath::pszBackSlash2Slash(wchar_t* psz)
{
    return Replace(psz, L'\\', L'/');
}
const wchar_t* CDiskFilePath::pszBackSlash2Slash(CXYString<wchar_t>& s)
{
    return Replace(s, L'\\', L'/');
}
const wchar_t* CDiskFilePath::pszBackSlash2Slash(CTString& s)
{
    return Replace(s, L'\\', L'/');
}
char* CDiskFilePath::pszSlash2BackSlash(char* psz)
{
    return Replace(psz, '/', '\\');
}
wchar_t* CDiskFilePath::pszSlash2BackSlash(wchar_t* psz)
{
    return Replace(psz, L'/', L'\\');
}
const wchar_t* CDiskFilePath::pszSlash2BackSlash(CXYString<wchar_t>& s)
{
    return Replace(s, L'/', L'\\');
}
const wchar_t* CDiskFilePath::pszSlash2BackSlash(CTString& s)
{
    return Replace(s, L'/', L'\\');
}

void CDiskFilePath::DirectoryWithEndSlash(wchar_t* psz, size_t nCapacity)
{
    if (psz == nullptr)
        return;
    pszBackSlash2Slash(psz);
    const size_t n = std::wcslen(psz);
    if (n == 0 || psz[n - 1] == L'/' || n + 2 > nCapacity)
        return;
    psz[n] = L'/';
    psz[n + 1] = 0;
}

void CDiskFilePath::DirectoryWithEndSlash(char* psz, size_t nCapacity)
{
    if (psz == nullptr)
        return;
    pszBackSlash2Slash(psz);
    const size_t n = std::strlen(psz);
    if (n == 0 || psz[n - 1] == '/' || n + 2 > nCapacity)
        return;
    psz[n] = '/';
    psz[n + 1] = 0;
}

void CDiskFilePath::DirectoryWithEndSlash(CXYString<wchar_t>& s)
{
    pszBackSlash2Slash(s);
    const int n = s.nGetLongueur();
    if (n > 0 && s.pszGet()[n - 1] != L'/')
        s.Add(L'/');
}

void CDiskFilePath::DirectoryWithEndSlash(CTString& s)
{
    pszBackSlash2Slash(s);
    if (s.nTaille() > 0 && !s.bTerminePar(L'/'))
        s.Add(L'/');
}

void CDiskFilePath::DirectoryWithoutEndSlash(wchar_t* psz)
{
    if (psz == nullptr)
        return;
    pszBackSlash2Slash(psz);
    size_t n = std::wcslen(psz);
    while (n > 0 && psz[n - 1] == L'/')
        psz[--n] = 0;
}

void CDiskFilePath::DirectoryWithoutEndSlash(CXYString<wchar_t>& s)
{
    pszBackSlash2Slash(s);
    const int n = s.nGetLongueur();
    if (n > 0 && s.pszGet()[n - 1] == L'/')
        (void)s.nSetLength(n - 1);
}

void CDiskFilePath::DirectoryWithoutEndSlash(CTString& s)
{
    pszBackSlash2Slash(s);
    if (s.bTerminePar(L'/'))
        s.Tronque(s.nTaille() - 1);
}

const wchar_t* CDiskFilePath::pszGetPtrToFileName(const wchar_t* pszPath)
{
    if (pszPath == nullptr)
        return nullptr;
    const wchar_t* p = pszPath;
    if (p[0] != 0 && p[1] == L':')
        p += 2;
    const long i = nLastSeparator(p, static_cast<long>(std::wcslen(p)));
    return p + i + 1;
}

wchar_t* CDiskFilePath::pszGetPtrToFileName(wchar_t* pszPath)
{
    return const_cast<wchar_t*>(pszGetPtrToFileName(static_cast<const wchar_t*>(pszPath)));
}

const wchar_t* CDiskFilePath::pszGetPtrToExtension(const wchar_t* pszPath)
{
    if (pszPath == nullptr || pszPath[0] == 0)
        return pszPath;
    const long n = static_cast<long>(std::wcslen(pszPath));
    const long i = nExtensionIndex(pszPath, n);
    return pszPath + (i < 0 ? n : i);
}

wchar_t* CDiskFilePath::pszGetPtrToExtension(wchar_t* pszPath)
{
    return const_cast<wchar_t*>(pszGetPtrToExtension(static_cast<const wchar_t*>(pszPath)));
}

void CDiskFilePath::DelExtension(wchar_t* pszPath)
{
    if (pszPath == nullptr)
        return;
    pszBackSlash2Slash(pszPath);
    const long i = nExtensionIndex(pszPath, static_cast<long>(std::wcslen(pszPath)));
    if (i >= 0)
        pszPath[i] = 0;
}

void CDiskFilePath::DelExtension(CXYString<wchar_t>& s)
{
    const long i = nExtensionIndex(s.pszGet(), s.nGetLongueur());
    if (i >= 0)
        (void)s.nSetLength(static_cast<int>(i));
}

void CDiskFilePath::ChangeExtension(wchar_t* pszPath, size_t nSize, const wchar_t* pszExt)
{
    if (pszPath == nullptr || nSize == 0)
        return;
    pszBackSlash2Slash(pszPath);
    CSlashName ext(pszExt);
    if (!ext.bOk())
        return;
    const size_t nLen = std::wcslen(pszPath);
    const long i = nExtensionIndex(pszPath, static_cast<long>(nLen));
    if (i >= 0) {
        const size_t nAt = static_cast<size_t>(i) + (ext.psz()[0] == L'.' ? 0 : 1);
        if (nAt < nSize)
            STR_nCopyW(pszPath + nAt, nSize - nAt, ext.psz(), -1);
        return;
    }
    if (ext.psz()[0] != L'.') {
        if (nLen + 1 >= nSize)
            return;
        pszPath[nLen] = L'.';
        pszPath[nLen + 1] = 0;
    }
    STR_nCatW(pszPath, nSize, ext.psz(), -1);
}

void CDiskFilePath::ChangeExtension(CXYString<wchar_t>& s, const wchar_t* pszExt)
{
    pszBackSlash2Slash(s);
    CSlashName ext(pszExt);
    if (!ext.bOk())
        return;
    const long i = nExtensionIndex(s.pszGet(), s.nGetLongueur());
    if (i >= 0) {
        if (s.nSetLength(static_cast<int>(i) + (ext.psz()[0] == L'.' ? 0 : 1)) != 0)
            return;
    } else if (ext.psz()[0] != L'.') {
        if (s.nConcat(L".", 1) != 0)
            return;
    }
    (void)s.nConcat(ext.psz());
}

void CDiskFilePath::PrefixeCurrentDirectory(wchar_t* pszPath, size_t nCapacity)
{
    if (pszPath == nullptr)
        return;
    const size_t n = std::wcslen(pszPath);
    if (n + 3 > nCapacity)
        return;
    std::wmemmove(pszPath + 2, pszPath, n + 1);
    pszPath[0] = L'.';
    pszPath[1] = L'/';
}

void CDiskFilePath::StandardizeFileName(wchar_t* pszOut, const wchar_t* pszName, size_t nCapacity)
{
    if (pszOut == nullptr)
        return;
    if (pszName != nullptr && pszName != pszOut)
        STR_nCopyW(pszOut, nCapacity, pszName, -1);
    pszBackSlash2Slash(pszOut);
    STR_SuppressRightSpaces(pszOut);
}

bool CDiskFilePath::bGetLongPathName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName)
{
    STR_nCopyW(pszOut, nSize, pszName, -1);
    return true;
}

void CDiskFilePath::MakePath(wchar_t* pszOut, const wchar_t* pszDirectory, const wchar_t* pszName,
                             const wchar_t* pszExt, size_t nCapacity)
{
    CSlashName dir(pszDirectory);
    CSlashName name(pszName);
    CSlashName ext(pszExt);
    if (!dir.bOk() || !name.bOk() || !ext.bOk()) {
        if (pszOut != nullptr && nCapacity > 0)
            pszOut[0] = 0;
        return;
    }
    makepath(pszOut, nullptr, dir.psz(), name.psz(), ext.psz(), nCapacity);
}

template <>
void CDiskFilePath::__SplitPath<wchar_t>(const wchar_t* pszPath, wchar_t* pszDirectory, wchar_t* pszName,
                                         wchar_t* pszExt)
{
    CSlashName path(pszPath);
    const wchar_t* p = path.bOk() ? path.psz() : L"";
    const long nLen = path.bOk() ? static_cast<long>(path.nLen()) : 0;
    const long nSep = nLastSeparator(p, nLen);
    PutPart(pszDirectory, p, static_cast<size_t>(nSep + 1));
    const wchar_t* pRest = p + nSep + 1;
    const long nRest = nLen - nSep - 1;
    long nDot = -1;
    for (long i = nRest - 1; i >= 0; --i)
        if (pRest[i] == L'.') {
            nDot = i;
            break;
        }
    if (nDot < 0) {
        PutPart(pszName, pRest, static_cast<size_t>(nRest));
        PutPart(pszExt, pRest + nRest, 0);
    } else {
        PutPart(pszName, pRest, static_cast<size_t>(nDot));
        PutPart(pszExt, pRest + nDot, static_cast<size_t>(nRest - nDot));
    }
}

template <>
void CDiskFilePath::__SplitPath<wchar_t>(const wchar_t* pszPath, wchar_t* pszDirectory, wchar_t* pszFileName)
{
    CSlashName path(pszPath);
    const wchar_t* p = path.bOk() ? path.psz() : L"";
    const long nLen = path.bOk() ? static_cast<long>(path.nLen()) : 0;
    const long nSep = nLastSeparator(p, nLen);
    PutPart(pszDirectory, p, static_cast<size_t>(nSep + 1));
    PutPart(pszFileName, p + nSep + 1, static_cast<size_t>(nLen - nSep - 1));
}
