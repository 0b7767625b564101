// Reads, writes, seeks and sizes of the disk file.
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/system/disk_file.h"
#include "common/system/disk_file_messages.h"
#include "common/text/ct_string.h"

bool CDiskFile::bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    if (m_oPosition != oOffset && !bSeek(oOffset, XSEEK_SET))
        return false;
    return bWrite(pBuffer, nSize, pnWritten);
}

bool CDiskFile::bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    if (m_oPosition != oOffset && !bSeek(oOffset, XSEEK_SET))
        return false;
    return bRead(pBuffer, nSize, pnRead);
}

bool CDiskFile::bRead(void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    _ResetError();
    unsigned nLocal = 0;
    unsigned& nRead = pnRead != nullptr ? *pnRead : nLocal;
    nRead = 0;
    ssize_t n;
    do
        n = read(m_fd, pBuffer, nSize);
    while (n == -1 && errno == EINTR);
    const bool bExact = pnRead == nullptr;
    const int nSavedErrno = errno;
    unsigned nSystemError = static_cast<unsigned>(errno);
    bool bOk = n != -1;
    if (bOk) {
        nRead = static_cast<unsigned>(n);
        m_oPosition += n;
        if (bExact && nRead != nSize) {
            bOk = false;
            nSystemError = 0;  // a short exact read is no system failure
        }
    }
    if (!bOk) {
        CTString exact;
        CTString counts;
        exact.printf(L"##(IXStream)-bExact=<%d>##", bExact ? 1 : 0);
        counts.printf(L"##(IXStream)-A lire=<%u>, lu=<%u>##", nSize, nRead);
        errno = nSavedErrno;
        _Report(XFILE_MSG_READ, nSystemError, exact.pszGet(), counts.pszGet(), m_pszErrorName);
    }
    return bOk;
}

bool CDiskFile::bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    _ResetError();
    unsigned nLocal = 0;
    unsigned& nWritten = pnWritten != nullptr ? *pnWritten : nLocal;
    nWritten = 0;
    if (nSize == 0)
        return true;
    ssize_t n;
    do
        n = write(m_fd, pBuffer, nSize);
    while (n == -1 && errno == EINTR);
    bool bOk = n != -1;
    if (bOk) {
        nWritten = static_cast<unsigned>(n);
        m_oPosition += n;
        if (nWritten != nSize) {
            bOk = false;
            errno = ENOSPC;  // what a short write means for a file
        }
    }
    if (!bOk) {
        const int nError = errno;
        CTString access;
        access.printf(L"##(IXStream)-Access=<%x>##", static_cast<unsigned>(m_nOpenFlags));
        errno = nError;
        _Report(XFILE_MSG_WRITE, static_cast<unsigned>(nError), access.pszGet(), nullptr, m_pszErrorName);
    }
    return bOk;
}

bool CDiskFile::bSeek(int64_t oOffset, eSEEK eOrigin)
{
    _ResetError();
    const off_t o = lseek(m_fd, static_cast<off_t>(oOffset), static_cast<int>(eOrigin));
    if (o == -1) {
        _Report(XFILE_MSG_SEEK, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName);
        return false;
    }
    m_oPosition = o;
    return true;
}

int64_t CDiskFile::oGetSize()
{
    const off_t oSize = lseek(m_fd, 0, SEEK_END);
    if (oSize == -1)
        return -1;
    if (lseek(m_fd, static_cast<off_t>(m_oPosition), SEEK_SET) == -1)
        return -1;
    return oSize;
}

int64_t CDiskFile::oGetSizeFast()
{
    const off_t oSize = lseek(m_fd, 0, SEEK_END);
    if (oSize == -1)
        return -1;
    m_oPosition = oSize;
    return oSize;
}

bool CDiskFile::bFlush()
{
    _ResetError();
    if (fsync(m_fd) == 0)
        return true;
    _Report(XFILE_MSG_FLUSH, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName);
    return false;
}

bool CDiskFile::bSetSize(int64_t oSize, eGROW eGrow)
{
    _ResetError();
    if (eGrow != XGROW_SET && eGrow != XGROW_ADD)
        return false;
    if (!bSeek(oSize, eGrow == XGROW_SET ? XSEEK_SET : XSEEK_END))
        return false;
    const off_t oEnd = lseek(m_fd, 0, SEEK_CUR);
    if (oEnd == -1 || ftruncate(m_fd, oEnd) == -1) {
        _Report(XFILE_MSG_SET_SIZE, static_cast<unsigned>(errno), nullptr, nullptr, m_pszErrorName);
        return false;
    }
    m_oPosition = oEnd;
    return true;
}

bool CDiskFile::bIncreaseSize(int64_t oBy)
{
    // Growing by nothing writes nothing: a zero written at by - 1 from the
    // end would replace the file's last byte.
    if (oBy == 0)
        return true;
    if (oBy < 0) {
        errno = EINVAL;
        return false;
    }
    static const unsigned char byZero = 0;
    return bSeek(oBy - 1, XSEEK_END) && bWrite(&byZero, 1, nullptr);
}

bool CDiskFile::bExtendFile(int64_t oSize)
{
    if (!bSetSize(oSize, XGROW_SET))
        return false;
    if (oSize <= 0)
        return true;
    // The last byte is written back with the value it has (old data or the
    // zero the growth gave it), so that the space is really taken.
    unsigned char by = 0;
    unsigned nRead = 0;
    if (!bRead(oSize - 1, &by, 1, &nRead))
        return false;
    return bWrite(oSize - 1, &by, 1, nullptr);
}
