// Range locks of the disk file (POSIX record locks: per process and file).
#include <fcntl.h>

#include <cerrno>

#include "common/system/disk_file.h"
#include "common/system/disk_file_messages.h"

namespace {

constexpr int kLockConflict = static_cast<int>(IXStream::XSTREAM_LOCK_CONFLICT);

}  // namespace

bool CDiskFile::_bRangeLock(short nType, int nCommand, int64_t oOffset, int64_t oLength)
{
    struct flock fl = {};
    fl.l_type = nType;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(oOffset);
    fl.l_len = static_cast<off_t>(oLength);
    int n;
    do
        n = fcntl(m_fd, nCommand, &fl);
    while (n == -1 && errno == EINTR && nCommand == F_SETLKW);
    if (n == 0)
        return true;
    if (nType == F_UNLCK || errno == EAGAIN || errno == EACCES || errno == EDEADLK)
        errno = kLockConflict;
    return false;
}

bool CDiskFile::bLock(int64_t oOffset, int64_t oLength)
{
    const short nType = (m_nOpenFlags & 3) != 0 ? F_WRLCK : F_RDLCK;
    return _bRangeLock(nType, F_SETLK, oOffset, oLength);
}

bool CDiskFile::bUnlock(int64_t oOffset, int64_t oLength)
{
    return _bRangeLock(F_UNLCK, F_SETLK, oOffset, oLength);
}

bool CDiskFile::bLockShare(int64_t oOffset, int64_t oLength)
{
    return _bRangeLock(F_RDLCK, F_SETLK, oOffset, oLength);
}

bool CDiskFile::bLockFile(int64_t oOffset, int64_t oLength)
{
    _ResetError();
    if (bLock(oOffset, oLength))
        return true;
    _Report(XFILE_MSG_LOCK, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName,
            static_cast<long long>(oOffset), static_cast<long long>(oLength));
    return false;
}

bool CDiskFile::bUnlockFile(int64_t oOffset, int64_t oLength)
{
    _ResetError();
    if (bUnlock(oOffset, oLength))
        return true;
    _Report(XFILE_MSG_UNLOCK, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName,
            static_cast<long long>(oOffset), static_cast<long long>(oLength));
    return false;
}

bool CDiskFile::bLockFileEx(int bLock, int bExclusive)
{
    _ResetError();
    if (!bLock) {
        (void)_bRangeLock(F_UNLCK, F_SETLK, 0, 2);
        return true;
    }
    if (_bRangeLock(bExclusive ? F_WRLCK : F_RDLCK, F_SETLKW, 0, 2))
        return true;
    _Report(XFILE_MSG_LOCK, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName, 0LL, 1LL);
    return false;
}
