// CTString: 8-bit text in a code page, and temporary file names.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/system/code_page_conversion.h"
#include "common/text/ct_string.h"

namespace {

constexpr unsigned kCodePage1252 = 1252;
constexpr size_t kLongestSequence = 4;

bool IsDirectory(const char* path)
{
    struct stat st;
    return path && *path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// $TMPDIR when it names a directory, otherwise the system's temporary
// directory (the rule of tempnam without a directory).
std::string TemporaryDirectory()
{
    const char* env = std::getenv("TMPDIR");
    if (IsDirectory(env))
        return env;
    if (IsDirectory(P_tmpdir))
        return P_tmpdir;
    return "/tmp";
}

}  // namespace

CTString::CTString(const char* psz)
{
    SetANSIEx(psz, -1, kCodePage1252);
}

void CTString::SetANSIEx(const char* psz, int nLen, unsigned nCodePage)
{
    // The bytes to convert: exactly nLen, but never past the terminator.
    const size_t n = !psz ? 0 : (nLen < 0 ? std::strlen(psz) : strnlen(psz, static_cast<size_t>(nLen)));
    if (n == 0 || n > static_cast<size_t>(INT_MAX)) {
        Vide();
        return;
    }
    // A multi-byte sequence cut by the length makes the converter refuse
    // the whole text: convert the bytes before it and let the cut sequence
    // read as '?'. No sequence of a code page is longer than four bytes.
    size_t converted = n;
    int chars = MultiByteToWideChar(nCodePage, 0, psz, static_cast<int>(n), nullptr, 0);
    for (size_t cut = 1; chars <= 0 && cut < kLongestSequence && cut <= n; ++cut) {
        converted = n - cut;
        chars = converted ? MultiByteToWideChar(nCodePage, 0, psz, static_cast<int>(converted), nullptr, 0) : 0;
        if (converted == 0)
            break;
    }
    if (chars <= 0 && converted != 0) {
        Vide();
        return;
    }
    const bool bCut = converted != n;
    const size_t size = static_cast<size_t>(chars) + (bCut ? 1 : 0) + 1;
    auto* block = static_cast<wchar_t*>(std::malloc(size * sizeof(wchar_t)));
    if (!block)
        return;
    int written = 0;
    if (chars > 0) {
        written = MultiByteToWideChar(nCodePage, 0, psz, static_cast<int>(converted), block, chars);
        if (written <= 0 || written > chars) {
            std::free(block);
            Vide();
            return;
        }
    }
    if (bCut)
        block[written++] = L'?';
    block[written] = 0;
    SetBuffer(block);
}

bool CTString::FichierTemporaire(const wchar_t* pszPrefix)
{
    Vide();
    std::string path = TemporaryDirectory();
    if (path.back() != '/')
        path += '/';
    if (pszPrefix && *pszPrefix) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, pszPrefix, -1, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0)
            return false;
        std::string prefix(static_cast<size_t>(bytes), '\0');
        if (WideCharToMultiByte(CP_UTF8, 0, pszPrefix, -1, prefix.data(), bytes, nullptr, nullptr) <= 0)
            return false;
        path += prefix.c_str();  // up to its terminator
    }
    path += "XXXXXX";
    // Naming and creating in one step: no other process can take the name
    // in between.
    const int fd = mkstemp(path.data());
    if (fd < 0)
        return false;
    close(fd);
    SetANSIEx(path.c_str(), -1, CP_UTF8);
    return nTaille() > 0;
}
