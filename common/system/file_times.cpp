#include "common/system/file_times.h"

#include <sys/stat.h>
#include <utime.h>

#include <string>

#include "common/system/code_page_conversion.h"
#include "common/system/system_time.h"

bool GetFileTime(int fd, FILETIME* creation, FILETIME* access, FILETIME* write)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    TimeToFileTime(st.st_ctime, creation);
    TimeToFileTime(st.st_atime, access);
    TimeToFileTime(st.st_mtime, write);
    return true;
}

bool SetFileTime(const wchar_t* path, const FILETIME* creation, const FILETIME* access, const FILETIME* write)
{
    (void)creation;  // the file system keeps no creation time to set
    if (access == nullptr && write == nullptr)
        return true;
    // Names reach the system as UTF-8.
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (nBytes < 1)
        return false;
    std::string utf8(static_cast<size_t>(nBytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8.data(), nBytes, nullptr, nullptr) < 1)
        return false;
    struct utimbuf times;
    if (access == nullptr || write == nullptr) {
        struct stat st;
        if (lstat(utf8.c_str(), &st) != 0)
            return false;
        times.actime = st.st_atime;
        times.modtime = st.st_mtime;
    }
    if (access != nullptr)
        times.actime = nFileTimeToUnixSeconds(*access);
    if (write != nullptr)
        times.modtime = nFileTimeToUnixSeconds(*write);
    return utime(utf8.c_str(), &times) == 0;
}
