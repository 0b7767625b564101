#pragma once

#include <cstdarg>
#include <cstdint>

#include "common/system/vx_unknown.h"

class CTString;
class CXError;

// The library's byte-stream interface over a file. Every stream owns one
// error object (one reference, made by the concrete stream) that
// pclGetXError returns and into which each failing operation writes its
// report; operations return true or false. Sizes and counts are 32-bit
// unsigned; offsets and stream sizes 64-bit signed.
//
// The virtual operations are declared in their slot order, reserved slots
// included. The base bodies are the defaults a stream without the
// operation answers with.
class IXStream : public CVXUnknown
{
public:
    // Access (the open(2) values).
    enum eACCESS : int
    {
        XACCESS_READ = 0,
        XACCESS_WRITE = 1,
        XACCESS_READWRITE = 2,
        XACCESS_NONE = -1,  // no access bits added (read only)
    };
    // Whole-file lock taken at open (the fcntl lock types); only the low 16
    // bits are used.
    enum eSHARE : int
    {
        XSHARE_SHARED = 0,     // F_RDLCK: others may read-lock too
        XSHARE_EXCLUSIVE = 1,  // F_WRLCK
        XSHARE_NONE = 2,       // no lock at all
    };
    // Creation (open(2) flags); other values are added to the flags as they
    // are.
    enum eCREATE : int
    {
        XCREATE_EXISTING = 0,
        XCREATE_OPEN_ALWAYS = 64,        // O_CREAT
        XCREATE_CREATE_ALWAYS = 576,     // O_CREAT | O_TRUNC
    };
    enum eFLAG : int
    {
        XFLAG_NONE = 0,
        XFLAG_DIRECTORY = 0x10000,  // a directory is opened, without lock
    };
    enum eSEEK : int
    {
        XSEEK_SET = 0,
        XSEEK_CUR = 1,
        XSEEK_END = 2,
    };
    enum eGROW : int
    {
        XGROW_SET = 0,  // the size given is the new size
        XGROW_ADD = 1,  // it is added to the current size
    };

    // The system error code of a lock conflict.
    static constexpr unsigned XSTREAM_LOCK_CONFLICT = 0x80000000u;

    IXStream() = default;
    // Releases the error.
    ~IXStream() override;

    virtual bool bOpen(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                       int* pbCreated);
    virtual void Close() = 0;
    virtual bool bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag);
    // At an offset: seeks there first when the stream stands elsewhere.
    virtual bool bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten);
    virtual bool bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead);
    // At the position. Without a count pointer a read must be exact.
    virtual bool bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten);
    virtual bool bRead(void* pBuffer, unsigned nSize, unsigned* pnRead);
    virtual bool bSeek(int64_t oOffset, eSEEK eOrigin);
    virtual int64_t oGetSize();
    virtual int64_t oGetSizeFast();
    virtual bool bFlush();
    virtual bool bSetSize(int64_t oSize, eGROW eGrow);
    virtual bool bIncreaseSize(int64_t oBy);
    // Formatted writes, cut at 1024 characters ("%s" of the wide form is a
    // wide text).
    virtual bool bWriteString(const char* pszFormat, ...);
    virtual bool bWriteStringList(const char* pszFormat, va_list args);
    virtual bool bWriteString(const wchar_t* pszFormat, ...);
    virtual bool bWriteStringList(const wchar_t* pszFormat, va_list args);
    // The next line at the position into nSize characters (line end not
    // kept). Flags bit 0: only CR LF ends a line. A line too long gives its
    // first nSize - 1 characters with *pbTruncated 1, and the next call
    // goes on with it. False at the end of the data or on failure.
    virtual bool bReadLine(char* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags);
    virtual bool bReadLine(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags);
    // Copies nSize bytes (negative: to the end) from the position to the
    // destination's position.
    virtual bool bExtract(IXStream* pDestination, int64_t oSize);
    virtual bool bLockFile(int64_t oOffset, int64_t oLength);
    virtual bool bUnlockFile(int64_t oOffset, int64_t oLength);
    virtual bool bLock(int64_t oOffset, int64_t oLength);
    virtual bool bUnlock(int64_t oOffset, int64_t oLength);
    virtual const wchar_t* pszGetName();
    virtual int64_t oGetOffset();
    virtual bool bIsOpen();
    virtual CXError* pclGetXError();
    virtual CXError* _pclGetXError();
    virtual bool vbSetNameForError(const wchar_t* pszName);
    virtual int veGetAccess() = 0;
    virtual bool bGetVFSFileName(wchar_t* pszName);
    virtual bool bLockFileEx(int bLock, int bExclusive);
    virtual const wchar_t* pszReadLine(wchar_t* pszBuffer, unsigned nSize, CTString* pLongLine,
                                       const wchar_t* pszSeparator);
    virtual bool bExtendFile(int64_t oSize);
    virtual void m565EmptyMethodXStream() {}
    virtual void m566EmptyMethodXStream() {}
    virtual void m567EmptyMethodXStream() {}
    virtual void m568EmptyMethodXStream() {}
    virtual void m569EmptyMethodXStream() {}
    virtual void m570EmptyMethodXStream() {}
    virtual void m571EmptyMethodXStream() {}
    virtual void m572EmptyMethodXStream() {}
    virtual void m573EmptyMethodXStream() {}
    virtual void m574EmptyMethodXStream() {}
    virtual void m575EmptyMethodXStream() {}
    virtual void m576EmptyMethodXStream() {}
    virtual void m577EmptyMethodXStream() {}
    virtual void m578EmptyMethodXStream() {}

protected:
    // The line reads of both widths: units of T, read in chunks of 80.
    template <class T>
    bool _bReadLine(T* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags);

    CXError* m_pclError = nullptr;
};
