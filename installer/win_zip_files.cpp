// The reader's operations that name files themselves.
#include "common/system/disk_file.h"
#include "installer/win_zip.h"

int CWinZip::bFichierZip(const wchar_t* pszPath)
{
    CDiskFile file;
    if (!file.bOpen(pszPath, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                    IXStream::XFLAG_NONE, nullptr))
        return 0;
    CWinZip zip;
    zip.SetStream(&file);
    return zip._SearchCentralDir() >= 0 ? 1 : 0;
}

int CWinZip::nStringFileNameCompare(const wchar_t* a, const wchar_t* b, int)
{
    return CDiskFile::bSameFileName(a, b) ? 0 : 1;
}
