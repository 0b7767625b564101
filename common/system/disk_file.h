#pragma once

#include <cstdint>

#include "common/system/counted_arguments.h"
#include "common/system/disk_file_system.h"
#include "common/system/x_stream.h"
#include "common/text/xy_string.h"

class CZLBIN;
class CTString;
class CXError;

// The POSIX disk file: a stream over one file descriptor, and the home of
// the path functions (CDiskFilePath) and file-system operations
// (CDiskFileSystem), which it inherits.
//
// Opening takes a whole-file record lock by the share mode. POSIX record
// locks belong to the process: a second stream of the same process never
// conflicts, and closing any descriptor of a file drops every lock the
// process holds on it.
//
// Failures are reported into the stream's own error: reset on entry; then
// level 3, the module's identity, errno as system error (0x80000000 for a
// lock conflict), the debug line "##(IXStream)-Handle=<%p>##", the resource
// message first in the user message and EIT_SRCFILE, both with the error
// name (the full path, unless vbSetNameForError installed another).
class CDiskFile : public IXStream, public CDiskFileSystem
{
public:
    // The encoding bChargeTexteBOM found.
    enum etxType : int
    {
        TXT_CODEPAGE = 0,  // no mark and not valid UTF-8: the caller's code page
        TXT_UTF8 = 1,      // mark EF BB BF, or valid UTF-8 without mark
        TXT_UTF16 = 2,     // mark FF FE or FE FF
    };

    CDiskFile();
    ~CDiskFile() override;

    // Opens the name (backslashes read as slashes; its full path kept as
    // the stream's name). Flags: O_NONBLOCK and the access, plus O_CREAT
    // (and O_TRUNC) by the creation mode; mode 0666. Create 64 first tries
    // without O_CREAT and sets errno EEXIST when the file was there; create
    // 576 truncates only once the lock is held. Share 2 takes no lock at
    // all; 0 and 1 a non-waiting whole-file lock, whose conflict closes the
    // file again and fails with 0x80000000. With flag 0x10000 a directory
    // is opened with exactly that flag and no lock. A name whose full path
    // does not fit 260 characters fails (ENAMETOOLONG).
    bool bOpen(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
               int* pbCreated) override;
    // Takes a duplicate of a descriptor the caller opened (the caller keeps
    // its own) as if bOpen had opened pszName with that access and share 2:
    // no lock, nothing opened by name. The name is kept as bOpen keeps it,
    // and fails the same way when its full path does not fit.
    bool bAttach(int fd, const wchar_t* pszName, eACCESS eAccess);
    void Close() override;
    bool bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag) override;
    bool bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten) override;
    bool bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead) override;
    bool bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten) override;
    bool bRead(void* pBuffer, unsigned nSize, unsigned* pnRead) override;
    bool bSeek(int64_t oOffset, eSEEK eOrigin) override;
    // The size, the position kept; -1 on failure.
    int64_t oGetSize() override;
    // The size; the position stays at the end.
    int64_t oGetSizeFast() override;
    bool bFlush() override;
    bool bSetSize(int64_t oSize, eGROW eGrow) override;
    bool bIncreaseSize(int64_t oBy) override;
    bool bExtract(IXStream* pDestination, int64_t oSize) override;
    bool bLockFile(int64_t oOffset, int64_t oLength) override;
    bool bUnlockFile(int64_t oOffset, int64_t oLength) override;
    // Non-waiting range locks: exclusive when the stream can write, else
    // shared. A conflict sets errno 0x80000000. Length 0 reaches the end.
    bool bLock(int64_t oOffset, int64_t oLength) override;
    bool bUnlock(int64_t oOffset, int64_t oLength) override;
    const wchar_t* pszGetName() override { return m_szName; }
    int64_t oGetOffset() override { return m_oPosition; }
    bool bIsOpen() override { return m_fd != -1; }
    bool vbSetNameForError(const wchar_t* pszName) override;
    int veGetAccess() override { return m_nOpenFlags; }
    bool bGetVFSFileName(wchar_t*) override { return false; }
    // A waiting lock of the first two bytes; without bLock, their unlock
    // (always true).
    bool bLockFileEx(int bLock, int bExclusive) override;
    const wchar_t* pszReadLine(wchar_t* pszBuffer, unsigned nSize, CTString* pLongLine,
                               const wchar_t* pszSeparator) override;
    // bSetSize(size), then one byte written at size - 1 (its value kept).
    bool bExtendFile(int64_t oSize) override;

    // Copies nSize bytes from the offset into the named file (created or
    // truncated; deleted again when the copy fails).
    virtual bool bExtract(const wchar_t* pszDestination, int64_t oOffset, int64_t oSize);
    // Appends nSize bytes of the named file from the offset to this stream.
    virtual bool bExtractFromFile(const wchar_t* pszSource, int64_t oOffset, int64_t oSize);
    virtual bool bOpenW(const wchar_t*, eACCESS, eSHARE, eCREATE, eFLAG, int*) { return false; }
    virtual bool bExtractW(const wchar_t*, int64_t, int64_t) { return false; }
    virtual const wchar_t* pwszGetName() { return pszGetName(); }
    virtual bool vbIsUNICODEFileName() { return true; }
    virtual bool bExtractFromFileW(const wchar_t*, int64_t, int64_t) { return false; }
    virtual bool vbSetNameForErrorW(const wchar_t*) { return false; }
    virtual void m866EmptyMethodXStream() {}
    virtual void m867EmptyMethodXStream() {}
    virtual void m868EmptyMethodXStream() {}
    virtual void m869EmptyMethodXStream() {}
    virtual void m870EmptyMethodXStream() {}
    virtual void m871EmptyMethodXStream() {}
    virtual void m872EmptyMethodXStream() {}
    virtual void m873EmptyMethodXStream() {}

    // A non-waiting shared range lock.
    bool bLockShare(int64_t oOffset, int64_t oLength);
    // Opens with an exclusive lock (read-write when read-only access is
    // asked, as an exclusive lock needs write access), retrying while the
    // file is locked by another process: for limit milliseconds (sleeping
    // 100 ms between attempts), or with bCountMode for limit attempts in all
    // (0: 2^32). A failure other than a lock conflict ends at once.
    bool bOpenExclusifReessais(const wchar_t* pszName, int bCountMode, unsigned nLimit, eACCESS eAccess,
                               eCREATE eCreate, eFLAG eFlag, int* pbCreated);
    // The open file's times as local calendar times; each optional.
    bool bGetTime(_stXFILETIME* pCreation, _stXFILETIME* pAccess, _stXFILETIME* pWrite);
    // Sets the times of the file by its name (the creation time is ignored).
    bool bSetTime(const FILETIME* pCreation, const FILETIME* pAccess, const FILETIME* pWrite);
    bool bSetTime(const _stXFILETIME* pCreation, const _stXFILETIME* pAccess, const _stXFILETIME* pWrite);

    // Loads a whole file (read only, no lock) into the binary value. A file
    // larger than 0x7FFFFEFF bytes fails (EFBIG) before anything is
    // allocated. On failure the error (when given) receives the stream's.
    static bool bChargeFichier(CZLBIN& buffer, const wchar_t* pszName, CXError* pclError);
    // Copies a file. The same file under two names (same device and
    // inode) fails. Report 28125.
    static bool bCopy(const wchar_t* pszDestination, const wchar_t* pszSource, CXError* pclError = nullptr);
    static bool _sbCopyUnix(const wchar_t* pszDestination, const wchar_t* pszSource);
    // Copies nSize bytes of the source (created empty when missing) from
    // the offset into the destination file.
    static bool bExtract(const wchar_t* pszDestination, const wchar_t* pszSource, int64_t oOffset, int64_t oSize);
    // Appends the source file to the destination; both are created when
    // missing.
    static bool bConcat(const wchar_t* pszDestination, const wchar_t* pszSource);

    // Text files with byte-order marks. The buffer form decodes: FE FF
    // (big-endian UTF-16, swapped in place in the caller's buffer), FF FE,
    // EF BB BF, else UTF-8 when the bytes are valid UTF-8, else the code
    // page. UTF-16 units are widened one by one. Always true.
    static bool bChargeTexteBOMFromBuffer(CXYString<wchar_t>& text, unsigned char* pData, unsigned nSize,
                                          unsigned nCodePage, etxType* peType);
    // Loads the named file and decodes it; a file larger than 0x7FFFFEFF
    // bytes fails before anything is allocated.
    static bool bChargeTexteBOM(CXYString<wchar_t>& text, const wchar_t* pszName, unsigned nCodePage,
                                etxType* peType);

    // The descriptor, for the tests and the typed files (-1 when closed).
    int nGetDescriptor() const { return m_fd; }

protected:
    // Report of a failed operation into the stream's error (see above),
    // with the resource message's further printf arguments, counted so that
    // the message never reads one that was not passed. nSystemError is
    // stored as the system error; errno keeps its value.
    template <class... Args>
    void _Report(unsigned nResourceId, unsigned nSystemError, const wchar_t* pszDebug1, const wchar_t* pszDebug2,
                 Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) { _ReportList(nResourceId, nSystemError, pszDebug1, pszDebug2, pList, n); },
            args...);
    }
    // The same with the list of nArgs arguments.
    void _ReportList(unsigned nResourceId, unsigned nSystemError, const wchar_t* pszDebug1, const wchar_t* pszDebug2,
                     va_list* pArgs, int nArgs);

private:
    void _ResetError();
    // The open itself, once the name is the full path in m_szName.
    bool _bOpen(const wchar_t* pszOpenName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                int* pbCreated);
    bool _bRangeLock(short nType, int nCommand, int64_t oOffset, int64_t oLength);
    void _FreeErrorName();

    wchar_t m_szName[XFILE_PATH_CHARS];
    int m_fd = -1;
    int64_t m_oPosition = 0;
    wchar_t* m_pLineBuffer = nullptr;
    wchar_t* m_pLineCursor = nullptr;
    int m_nOpenFlags = -1;
    const wchar_t* m_pszErrorName;
};
