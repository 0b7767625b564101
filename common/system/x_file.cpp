#include "common/system/x_file.h"

#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <new>

#include "common/system/disk_file.h"

CXFile::CXFile(IXStream* pStream) : m_piStream(pStream)
{
    if (m_piStream != nullptr)
        m_piStream->dwAddRef();
}

CXFile::~CXFile()
{
    CXFile::_FreeStream();
}

void CXFile::_FreeStream()
{
    IXStream* p = m_piStream;
    m_piStream = nullptr;
    m_bOwned = 0;
    if (p != nullptr)
        p->dwRelease();
}

IXStream* CXFile::__xpclAllocDiskFile()
{
    return new (std::nothrow) CDiskFile;
}

void CXFile::SetStream(IXStream* pStream)
{
    if (pStream != nullptr)
        pStream->dwAddRef();  // first: the new stream may be the present one
    _FreeStream();
    m_piStream = pStream;
}

bool CXFile::bCreateStream()
{
    IXStream* p = __xpclAllocDiskFile();
    if (p == nullptr)
        return false;
    SetStream(p);
    m_bOwned = 1;
    return true;
}

bool CXFile::_bHasStream() const
{
    if (m_piStream != nullptr)
        return true;
    errno = EBADF;
    return false;
}

bool CXFile::bOpen(const wchar_t* pszName, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                   IXStream::eCREATE eCreate, IXStream::eFLAG eFlag, int* pbCreated)
{
    if (m_piStream == nullptr && !bCreateStream())
        return false;
    return m_piStream->bOpen(pszName, eAccess, eShare, eCreate, eFlag, pbCreated);
}

bool CXFile::bSetNameForError(const wchar_t* pszName)
{
    if (m_piStream == nullptr && !bCreateStream())
        return false;
    return m_piStream->vbSetNameForError(pszName);
}

void CXFile::Close()
{
    if (m_piStream != nullptr)
        m_piStream->Close();
}

bool CXFile::bReopen(IXStream::eACCESS eAccess, IXStream::eSHARE eShare, IXStream::eCREATE eCreate,
                     IXStream::eFLAG eFlag)
{
    return _bHasStream() && m_piStream->bReopen(eAccess, eShare, eCreate, eFlag);
}

bool CXFile::bWrite(int64_t oOffset, const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    return _bHasStream() && m_piStream->bWrite(oOffset, pBuffer, nSize, pnWritten);
}

bool CXFile::bRead(int64_t oOffset, void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    return _bHasStream() && m_piStream->bRead(oOffset, pBuffer, nSize, pnRead);
}

bool CXFile::bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    return _bHasStream() && m_piStream->bWrite(pBuffer, nSize, pnWritten);
}

bool CXFile::bRead(void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    return _bHasStream() && m_piStream->bRead(pBuffer, nSize, pnRead);
}

bool CXFile::bSeek(int64_t oOffset, IXStream::eSEEK eOrigin)
{
    return _bHasStream() && m_piStream->bSeek(oOffset, eOrigin);
}

int64_t CXFile::oGetSize()
{
    return _bHasStream() ? m_piStream->oGetSize() : -1;
}

int64_t CXFile::oGetSizeFast()
{
    return _bHasStream() ? m_piStream->oGetSizeFast() : -1;
}

bool CXFile::bFlush()
{
    return _bHasStream() && m_piStream->bFlush();
}

bool CXFile::bSetSize(int64_t oSize, IXStream::eGROW eGrow)
{
    return _bHasStream() && m_piStream->bSetSize(oSize, eGrow);
}

bool CXFile::bIncreaseSize(int64_t oBy)
{
    return _bHasStream() && m_piStream->bIncreaseSize(oBy);
}

bool CXFile::bWriteString(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const bool b = bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}

bool CXFile::bWriteStringList(const char* pszFormat, va_list args)
{
    return _bHasStream() && m_piStream->bWriteStringList(pszFormat, args);
}

bool CXFile::bWriteString(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const bool b = bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}

bool CXFile::bWriteStringList(const wchar_t* pszFormat, va_list args)
{
    return _bHasStream() && m_piStream->bWriteStringList(pszFormat, args);
}

bool CXFile::bReadLine(char* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags)
{
    return _bHasStream() && m_piStream->bReadLine(pszBuffer, nSize, pbTruncated, nFlags);
}

bool CXFile::bReadLine(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated, unsigned nFlags)
{
    return _bHasStream() && m_piStream->bReadLine(pszBuffer, nSize, pbTruncated, nFlags);
}

bool CXFile::bReadLineUNICODE(wchar_t* pszBuffer, unsigned nSize, int* pbTruncated)
{
    return _bHasStream() && m_piStream->bReadLine(pszBuffer, nSize, pbTruncated, 0);
}

bool CXFile::bExtract(CXFile* pDestination, int64_t oSize)
{
    if (pDestination == nullptr)
        return false;
    if (oSize < 0)
        oSize = oGetSize() - oGetOffset();
    if (oSize == 0)
        return true;
    if (oSize < 0)
        return false;
    constexpr unsigned kBlock = 65536;
    unsigned char* pBuffer = static_cast<unsigned char*>(std::malloc(kBlock));
    if (pBuffer == nullptr)
        return false;
    bool bOk = true;
    while (oSize > 0) {
        unsigned nRead = 0;
        if (!bRead(pBuffer, kBlock, &nRead)) {
            bOk = false;
            break;
        }
        unsigned nUse = nRead;
        if (static_cast<int64_t>(nRead) > oSize) {
            nUse = static_cast<unsigned>(oSize);
            if (!bSeek(oSize - static_cast<int64_t>(nRead), IXStream::XSEEK_CUR)) {
                bOk = false;
                break;
            }
        }
        if (!pDestination->bWrite(pBuffer, nUse, nullptr)) {
            bOk = false;
            break;
        }
        oSize -= nUse;
        if (nRead < kBlock)
            break;  // the source ended early
    }
    std::free(pBuffer);
    return bOk;
}

bool CXFile::bLockFile(int64_t oOffset, int64_t oLength)
{
    return _bHasStream() && m_piStream->bLockFile(oOffset, oLength);
}

bool CXFile::bUnlockFile(int64_t oOffset, int64_t oLength)
{
    return _bHasStream() && m_piStream->bUnlockFile(oOffset, oLength);
}

bool CXFile::bLock(int64_t oOffset, int64_t oLength)
{
    return _bHasStream() && m_piStream->bLock(oOffset, oLength);
}

bool CXFile::bUnlock(int64_t oOffset, int64_t oLength)
{
    return _bHasStream() && m_piStream->bUnlock(oOffset, oLength);
}

const wchar_t* CXFile::pszGetName()
{
    return m_piStream != nullptr ? m_piStream->pszGetName() : nullptr;
}

int64_t CXFile::oGetOffset()
{
    return _bHasStream() ? m_piStream->oGetOffset() : -1;
}

bool CXFile::bIsOpen()
{
    return m_piStream != nullptr && m_piStream->bIsOpen();
}

CXError* CXFile::pclGetXError()
{
    return m_piStream != nullptr ? m_piStream->pclGetXError() : nullptr;
}

CXError* CXFile::_pclGetXError()
{
    return m_piStream != nullptr ? m_piStream->_pclGetXError() : nullptr;
}

int CXFile::veGetAccess()
{
    return m_piStream != nullptr ? m_piStream->veGetAccess() : -1;
}

bool CXFile::bWriteLine(const wchar_t* pszText)
{
    if (pszText == nullptr)
        pszText = L"";
    if (!bWrite(pszText, static_cast<unsigned>(std::wcslen(pszText) * sizeof(wchar_t)), nullptr))
        return false;
    return bWrite(L"\r\n", 2 * sizeof(wchar_t), nullptr);
}
