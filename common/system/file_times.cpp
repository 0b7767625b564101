#include "common/system/file_times.h"

#include <sys/stat.h>
#include <utime.h>

#include "common/system/disk_file.h"
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
    // The file layer's wrappers take the name to the system as UTF-8.
    struct utimbuf times;
    if (access == nullptr || write == nullptr) {
        struct stat st;
        if (CDiskFile::Unix_lstat(path, &st) != 0)
            return false;
        times.actime = st.st_atime;
        times.modtime = st.st_mtime;
    }
    if (access != nullptr)
        times.actime = nFileTimeToUnixSeconds(*access);
    if (write != nullptr)
        times.modtime = nFileTimeToUnixSeconds(*write);
    return CDiskFile::Unix_utime(path, &times) == 0;
}
