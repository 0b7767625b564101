#include "common/system/file_times.h"

#include <sys/stat.h>

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
