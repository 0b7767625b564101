// The disk file's life: construction, open with its whole-file lock,
// close, reopen, the error name and the error report.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "common/system/disk_file.h"
#include "common/system/disk_file_messages.h"
#include "common/system/file_name_text.h"
#include "common/system/module_info.h"
#include "common/system/system_time.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "common/text/str_copy.h"

namespace {

constexpr int kLockConflict = static_cast<int>(IXStream::XSTREAM_LOCK_CONFLICT);

}  // namespace

CDiskFile::CDiskFile() : m_pszErrorName(m_szName)
{
    m_szName[0] = 0;
    m_pclError = new _CXErrorModule32;
    m_pclError->dwAddRef();
}

CDiskFile::~CDiskFile()
{
    if (m_fd != -1)
        close(m_fd);
    std::free(m_pLineBuffer);
    _FreeErrorName();
}

void CDiskFile::_FreeErrorName()
{
    if (m_pszErrorName != m_szName)
        std::free(const_cast<wchar_t*>(m_pszErrorName));
    m_pszErrorName = m_szName;
}

void CDiskFile::_ResetError()
{
    m_pclError->RAZ();
}

void CDiskFile::_ReportList(unsigned nResourceId, unsigned nSystemError, const wchar_t* pszDebug1,
                            const wchar_t* pszDebug2, va_list* pArgs, int nArgs)
{
    const int nSaved = errno;
    CXError* e = m_pclError;
    e->SetErrorLevel(CXError::EL_ERROR);
    e->InitModInfo(&gstMyModuleInfo32, 1);
    e->SetSystemErrorParam(nSystemError);
    e->AddDebugMessagePrintf(L"##(IXStream)-Handle=<%p>##", reinterpret_cast<void*>(static_cast<intptr_t>(m_fd)));
    e->AddDebugMessageNoFormat(pszDebug1);
    e->AddDebugMessageNoFormat(pszDebug2);
    // The name is the message's first argument; the caller's follow it.
    if (nResourceId != 0)
        e->AddUserMessageListFirst(&gstMyModuleInfo32, nResourceId, pArgs, nArgs);
    e->AddInfo(CXError::EIT_SRCFILE, m_pszErrorName);
    errno = nSaved;
}

bool CDiskFile::bOpen(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                      int* pbCreated)
{
    _ResetError();
    if (pbCreated != nullptr)
        *pbCreated = 0;
    if (m_fd != -1)
        Close();  // a descriptor is never left behind
    CSlashName name(pszName);
    const wchar_t* pszOpen = name.bOk() ? name.psz() : L"";
    if (pszName != m_szName) {
        errno = 0;
        const unsigned n = name.bOk() ? GetFullPathName(pszOpen, XFILE_PATH_CHARS, m_szName, nullptr) : 0;
        if (n == 0 || n >= XFILE_PATH_CHARS) {
            // The stream's name buffer holds no full path for this name: it
            // is emptied (a cut name must never be reopened) and the report
            // names the file as it was given.
            const int nError = n == 0 ? (errno != 0 ? errno : ENOENT) : ENAMETOOLONG;
            m_szName[0] = 0;
            const wchar_t* pszSavedErrorName = m_pszErrorName;
            if (m_pszErrorName == m_szName)
                m_pszErrorName = pszOpen;
            errno = nError;
            const unsigned nId = eCreate == XCREATE_OPEN_ALWAYS        ? XFILE_MSG_CREATE
                                 : eCreate == XCREATE_CREATE_ALWAYS    ? XFILE_MSG_CREATE_OR_TRUNCATE
                                 : eCreate == XCREATE_EXISTING         ? XFILE_MSG_OPEN
                                                                        : 0u;
            _Report(nId, static_cast<unsigned>(nError), nullptr, nullptr, m_pszErrorName);
            m_pszErrorName = pszSavedErrorName;
            return false;
        }
    } else {
        pszOpen = m_szName;
    }
    return _bOpen(pszOpen, eAccess, eShare, eCreate, eFlag, pbCreated);
}

bool CDiskFile::_bOpen(const wchar_t* pszOpenName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                       int* pbCreated)
{
    const bool bDirectory = eFlag == XFLAG_DIRECTORY && bIsADirectory(pszOpenName);
    int nFlags = bDirectory ? O_DIRECTORY : (O_NONBLOCK | (eAccess == XACCESS_NONE ? 0 : static_cast<int>(eAccess)));
    bool bCreated = false;
    if (eCreate == XCREATE_OPEN_ALWAYS) {
        m_nOpenFlags = nFlags;
        m_fd = Unix_ropen(pszOpenName, nFlags, 0666);
        if (m_fd == -1) {
            nFlags |= O_CREAT;
            m_nOpenFlags = nFlags;
            m_fd = Unix_ropen(pszOpenName, nFlags, 0666);
            bCreated = m_fd != -1;
        } else {
            errno = EEXIST;  // it was there: the typed files rely on this
        }
    } else if (eCreate == XCREATE_CREATE_ALWAYS) {
        // Truncated only once the lock is held: a file another process has
        // locked is never emptied.
        nFlags |= O_CREAT;
        m_nOpenFlags = nFlags;
        m_fd = Unix_ropen(pszOpenName, nFlags, 0666);
    } else {
        nFlags |= static_cast<int>(eCreate);
        m_nOpenFlags = nFlags;
        m_fd = Unix_ropen(pszOpenName, nFlags, 0666);
    }
    const int nShare = static_cast<int>(eShare) & 0xFFFF;
    if (m_fd != -1 && !bDirectory && nShare != XSHARE_NONE) {
        // No lock is taken for share 2: even an unlock would drop every
        // lock this process holds on the file.
        struct flock fl = {};
        fl.l_type = static_cast<short>(nShare);
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = 0;
        if (fcntl(m_fd, F_SETLK, &fl) == -1) {
            close(m_fd);
            m_fd = -1;
            errno = kLockConflict;
        }
    }
    if (m_fd != -1 && eCreate == XCREATE_CREATE_ALWAYS && !bDirectory && ftruncate(m_fd, 0) == -1) {
        const int nError = errno;
        close(m_fd);
        m_fd = -1;
        errno = nError;
    }
    if (m_fd != -1) {
        if (pbCreated != nullptr && (bCreated || eCreate == XCREATE_CREATE_ALWAYS))
            *pbCreated = 1;
        m_oPosition = 0;
        return true;
    }
    const int nError = errno;
    const unsigned nId = eCreate == XCREATE_OPEN_ALWAYS       ? XFILE_MSG_CREATE
                         : eCreate == XCREATE_CREATE_ALWAYS   ? XFILE_MSG_CREATE_OR_TRUNCATE
                         : eCreate == XCREATE_EXISTING        ? XFILE_MSG_OPEN
                                                              : 0u;
    _Report(nId, static_cast<unsigned>(nError), nullptr, nullptr, m_pszErrorName);
    return false;
}

bool CDiskFile::bAttach(int fd, const wchar_t* pszName, eACCESS eAccess)
{
    _ResetError();
    if (m_fd != -1)
        Close();
    CSlashName name(pszName);
    errno = 0;
    const unsigned n = name.bOk() ? GetFullPathName(name.psz(), XFILE_PATH_CHARS, m_szName, nullptr) : 0;
    int nError = 0;
    if (n == 0 || n >= XFILE_PATH_CHARS) {
        nError = n == 0 ? (errno != 0 ? errno : ENOENT) : ENAMETOOLONG;
        m_szName[0] = 0;
    } else {
        m_fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (m_fd == -1)
            nError = errno;
    }
    if (nError == 0) {
        m_nOpenFlags = O_NONBLOCK | static_cast<int>(eAccess);
        m_oPosition = 0;
        return true;
    }
    const wchar_t* pszSavedErrorName = m_pszErrorName;
    if (m_pszErrorName == m_szName)
        m_pszErrorName = name.bOk() ? name.psz() : L"";
    errno = nError;
    _Report(XFILE_MSG_OPEN, static_cast<unsigned>(nError), nullptr, nullptr, m_pszErrorName);
    m_pszErrorName = pszSavedErrorName;
    return false;
}

void CDiskFile::Close()
{
    if (m_fd == -1)
        return;
    // The descriptor is released whatever close(2) answers (Linux frees it
    // even on EINTR or EIO); keeping it would close another file later.
    close(m_fd);
    m_fd = -1;
    m_oPosition = 0;
    m_nOpenFlags = -1;
    _FreeErrorName();
}

bool CDiskFile::bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag)
{
    Close();
    return bOpen(m_szName, eAccess, eShare, eCreate, eFlag, nullptr);
}

bool CDiskFile::vbSetNameForError(const wchar_t* pszName)
{
    _FreeErrorName();
    if (pszName == nullptr)
        return true;
    const size_t n = std::wcslen(pszName);
    wchar_t* p = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (p == nullptr)
        return false;
    std::wmemcpy(p, pszName, n + 1);
    m_pszErrorName = p;
    return true;
}

bool CDiskFile::bOpenExclusifReessais(const wchar_t* pszName, int bCountMode, unsigned nLimit, eACCESS eAccess,
                                      eCREATE eCreate, eFLAG eFlag, int* pbCreated)
{
    // An exclusive lock needs write access.
    const eACCESS eOpenAccess = eAccess == XACCESS_READ ? XACCESS_READWRITE : eAccess;
    const uint64_t nStart = GetTickCount();
    const uint64_t nAttempts = nLimit == 0 ? (uint64_t{1} << 32) : nLimit;
    for (uint64_t nTried = 1;; ++nTried) {
        if (bOpen(pszName, eOpenAccess, XSHARE_EXCLUSIVE, eCreate, eFlag, pbCreated))
            return true;
        if (m_pclError->dwGetSystemErrorCode() != XSTREAM_LOCK_CONFLICT)
            return false;
        if (bCountMode) {
            if (nTried >= nAttempts)
                return false;
            sched_yield();
        } else {
            const uint64_t nNow = GetTickCount();
            if (nNow < nStart || nNow - nStart > nLimit)
                return false;  // the time is up, or the clock went back
            usleep(100000);
        }
    }
}
