#include "common/system/current_directory.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/system/disk_file.h"
#include "common/text/charset.h"
#include "common/text/str_locale.h"
#include "common/text/utf8_code_page.h"

int SetCurrentDirectoryW(const wchar_t* pszPath)
{
    return CDiskFile::Unix_chdir(pszPath) == 0 ? 1 : 0;
}

int SetCurrentDirectoryA(const char* pszPath)
{
    if (pszPath == nullptr) {
        errno = EINVAL;
        return 0;
    }
    const unsigned int nCodePage = dwGetCodePageFromCharset(STR_nGetCurrentChangeCharset());
    const size_t nLength = std::strlen(pszPath);
    // Each byte of a code page takes at most four bytes of UTF-8.
    const size_t nCapacity = 4 * nLength + 1;
    if (nCapacity > INT_MAX) {
        errno = ENAMETOOLONG;
        return 0;
    }
    char szStack[1024];
    char* pszUTF8 = nCapacity <= sizeof szStack ? szStack : static_cast<char*>(std::malloc(nCapacity));
    if (pszUTF8 == nullptr) {
        errno = ENOMEM;
        return 0;
    }
    const int n = MultiByteToUTF8(nCodePage, pszPath, static_cast<int>(nLength), pszUTF8,
                                  static_cast<int>(nCapacity) - 1, 0);
    int nResult = 0;
    if (n > 0 || nLength == 0) {
        pszUTF8[n] = 0;
        nResult = chdir(pszUTF8) == 0 ? 1 : 0;
    } else {
        errno = EILSEQ;
    }
    if (pszUTF8 != szStack)
        std::free(pszUTF8);
    return nResult;
}
