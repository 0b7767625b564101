#pragma once

#include <cstdarg>
#include <cstdint>

#include "common/system/x_stream.h"

class CXError;

// The file object held by value: a counted reference to a stream, to which
// it forwards every file operation. Opened without a stream, it makes a
// disk stream for itself (and owns it). Without any stream, the forwarding
// operations fail (false, -1 for sizes and offsets; errno EBADF).
//
// The virtual operations are declared in their slot order, reserved slots
// included.
class CXFile
{
public:
    CXFile() = default;
    // Keeps the stream with one more reference; not owned.
    explicit CXFile(IXStream* pStream);
    CXFile(const CXFile&) = delete;
    CXFile& operator=(const CXFile&) = delete;
    virtual ~CXFile();

    virtual bool bOpen(const wchar_t* pszName, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                       IXStream::eCREATE eCreate, IXStream::eFLAG eFlag, int* pbCreated);
    virtual void Close();
    virtual bool bReopen(IXStream::eACCESS eAccess, IXStream::eSHARE eShare, IXStream::eCREATE eCreate,
                         IXStream::eFLAG eFlag);
    virtual bool bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten);
    virtual bool bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead);
    virtual bool bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten);
    virtual bool bRead(void* pBuffer, unsigned nSize, unsigned* pnRead);
    virtual bool bSeek(int64_t oOffset, IXStream::eSEEK eOrigin);
    virtual int64_t oGetSize();
    virtual int64_t oGetSizeFast();
    virtual bool bFlush();
    virtual bool bSetSize(int64_t oSize, IXStream::eGROW eGrow);
    virtual bool bIncreaseSize(int64_t oBy);
    virtual bool bWriteString(const char* pszFormat, ...);
    virtual bool bWriteStringList(const char* pszFormat, va_list args);
    virtual bool bWriteString(const wchar_t* pszFormat, ...);
    virtual bool bWriteStringList(const wchar_t* pszFormat, va_list args);
    virtual bool bReadLine(char* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags);
    virtual bool bReadLine(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags);
    // Copies nSize bytes (negative: the rest) from this file's position to
    // the destination's position; an early end of the source is no failure.
    virtual bool bExtract(CXFile* pDestination, int64_t oSize);
    virtual bool bLockFile(int64_t oOffset, int64_t oLength);
    virtual bool bUnlockFile(int64_t oOffset, int64_t oLength);
    virtual bool bLock(int64_t oOffset, int64_t oLength);
    virtual bool bUnlock(int64_t oOffset, int64_t oLength);
    virtual const wchar_t* pszGetName();
    virtual int64_t oGetOffset();
    virtual bool bIsOpen();
    virtual CXError* pclGetXError();
    // Drops the stream's reference (deleting it at 0): no stream, not owned.
    virtual void _FreeStream();
    // A new disk stream; a derived class may supply another kind.
    virtual IXStream* __xpclAllocDiskFile();
    virtual CXError* _pclGetXError();
    // The stream's wide bReadLine with flags 0.
    virtual bool bReadLineUNICODE(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated);
    virtual int veGetAccess();
    virtual void m242EmptyMethodXStream() {}
    virtual void m243EmptyMethodXStream() {}
    virtual void m244EmptyMethodXStream() {}
    virtual void m245EmptyMethodXStream() {}
    virtual void m246EmptyMethodXStream() {}
    virtual void m247EmptyMethodXStream() {}
    virtual void m248EmptyMethodXStream() {}
    virtual void m249EmptyMethodXStream() {}
    virtual void m250EmptyMethodXStream() {}
    virtual void m251EmptyMethodXStream() {}
    virtual void m252EmptyMethodXStream() {}
    virtual void m253EmptyMethodXStream() {}

    // Drops the present stream and keeps the new one (one more reference
    // when not null); not owned.
    void SetStream(IXStream* pStream);
    // The stream when the caller gave it; null when the file made it.
    IXStream* piGetStream() const { return m_bOwned ? nullptr : m_piStream; }
    // A stream of its own (__xpclAllocDiskFile); false when none is made.
    bool bCreateStream();
    // The stream's vbSetNameForError, a disk stream made first when there
    // is none.
    bool bSetNameForError(const wchar_t* pszName);
    // The wide text as held in memory (4 bytes a character), then, when
    // that worked, the wide "\r\n"; the result of the last write.
    bool bWriteLine(const wchar_t* pszText);

protected:
    // A stream to forward to; false (errno EBADF) without one.
    bool _bHasStream() const;

    IXStream* m_piStream = nullptr;
    int m_bOwned = 0;
};
