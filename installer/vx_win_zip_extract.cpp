// Extraction of archive entries: the one loop that reads an open entry to
// its end, and the targets it writes to.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/text/zl_bin.h"
#include "installer/fd_io.h"
#include "installer/memory_stream.h"
#include "installer/vx_win_zip.h"
#include "installer/zip_records.h"

class CVXWinZip::CStreamSink : public CVXWinZip::ISink
{
public:
    explicit CStreamSink(IXStream* p) : m_p(p) {}
    bool bWrite(const unsigned char* p, unsigned n) override
    {
        unsigned written = 0;
        return m_p->bWrite(p, n, &written) && written == n;
    }

private:
    IXStream* m_p;
};

class CVXWinZip::CFdSink : public CVXWinZip::ISink
{
public:
    explicit CFdSink(int fd) : m_fd(fd) {}
    bool bWrite(const unsigned char* p, unsigned n) override { return bEcritToutFd(m_fd, p, n); }

private:
    int m_fd;
};

namespace {

// The most a deflate stream can give for its compressed size (a little
// above 1032 to 1), so that a declared size no data can produce is refused
// before anything is sized from it.
bool bPlausibleSize(uint64_t oUncompressed, uint64_t oCompressed, bool bDeflated)
{
    if (!bDeflated)
        return oUncompressed <= oCompressed;
    return oCompressed >= UINT64_MAX / 1040 || oUncompressed <= oCompressed * 1040 + 1024;
}

}  // namespace

_eVXzipResult CVXWinZip::_ePrepareExtract(const wchar_t* pszEntry, int bCaseSensitive, long* pnPosition)
{
    if (!m_bOuvert)
        return VXZIP_ERR_NOT_OPEN;
    *pnPosition = m_clRepertoire.lRang(pszEntry, bCaseSensitive);
    return *pnPosition < 0 ? VXZIP_ERR_OPEN : VXZIP_OK;
}

_eVXzipResult CVXWinZip::_eInitExtracteur(const CRepEntree& entry)
{
    if (!m_clFichier.bIsOpen() && !_bRouvre())
        return VXZIP_ERR_CREATE;
    if (m_clZip.GoToFile(entry.m_nNumeroZip) != VXZIP_OK)
        return VXZIP_ERR_READ;
    switch (m_clZip.OpenCurrentFileInZip()) {
    case VXZIP_OK:
        return VXZIP_OK;
    case VXZIP_ERR_BAD_CRYPT:
        return VXZIP_ERR_PASSWORD;
    case VXZIP_ERR_MEMORY:
        return VXZIP_ERR_MEMORY;
    default:
        return VXZIP_ERR_FORMAT;
    }
}

_eVXzipResult CVXWinZip::_eExtraireVers(const CRepEntree& entry, ISink& sink, uint64_t* poWritten)
{
    *poWritten = 0;
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(EXTRACT_BUFFER_SIZE));
    if (buffer == nullptr) {
        m_clZip.CloseCurrentFileInZip();
        return VXZIP_ERR_MEMORY;
    }
    _eVXzipResult result = VXZIP_OK;
    for (;;) {
        unsigned long n = 0;
        if (!m_clZip.bReadCurrentFileInZip(buffer, EXTRACT_BUFFER_SIZE, &n)) {
            result = VXZIP_ERR_DATA;
            break;
        }
        if (n == 0)
            break;
        // The reader stops at the entry's size; the cut keeps that true here
        // whatever it does.
        if (n > entry.m_oTailleOriginale - *poWritten)
            n = static_cast<unsigned long>(entry.m_oTailleOriginale - *poWritten);
        if (n == 0)
            break;
        if (!sink.bWrite(buffer, static_cast<unsigned>(n))) {
            result = VXZIP_ERR_DATA;
            break;
        }
        *poWritten += n;
    }
    std::free(buffer);
    // The CRC decides only when nothing failed before it.
    const int closed = m_clZip.CloseCurrentFileInZip();
    if (result == VXZIP_OK && closed != VXZIP_OK)
        result = VXZIP_ERR_DATA;
    if (result == VXZIP_OK && *poWritten != entry.m_oTailleOriginale)
        result = VXZIP_ERR_FORMAT;
    return result;
}

_eVXzipResult CVXWinZip::_eExtraitPosition(unsigned long nPosition, ISink& sink)
{
    if (!m_bOuvert)
        return _eResultat(VXZIP_ERR_NOT_OPEN);
    const CRepEntree* entry = m_clRepertoire.pclGetEntree(static_cast<long>(nPosition));
    if (entry == nullptr)
        return _eResultat(VXZIP_ERR_OPEN);
    if (entry->m_oTailleOriginale == 0)
        return _eResultat(VXZIP_OK);
    // A size the compressed data cannot produce is refused before anything
    // is written, as for an extraction into memory.
    const _stFICZIP* z = m_clZip.pstGetFichier(static_cast<int>(entry->m_nNumeroZip) - 1);
    if (z == nullptr ||
        !bPlausibleSize(entry->m_oTailleOriginale, entry->m_oTailleCompresse, z->nMethod == ZIP_METHOD_DEFLATED))
        return _eResultat(VXZIP_ERR_FORMAT);
    _eVXzipResult result = _eInitExtracteur(*entry);
    if (result != VXZIP_OK)
        return _eResultat(result);
    uint64_t written = 0;
    return _eResultat(_eExtraireVers(*entry, sink, &written));
}

_eVXzipResult CVXWinZip::eExtraitEntree(unsigned long nPosition, IXStream* pTarget)
{
    if (pTarget == nullptr)
        return _eResultat(VXZIP_ERR_CREATE);
    CStreamSink sink(pTarget);
    return _eExtraitPosition(nPosition, sink);
}

_eVXzipResult CVXWinZip::eExtraitEntreeFd(unsigned long nPosition, int fd)
{
    if (fd < 0)
        return _eResultat(VXZIP_ERR_CREATE);
    CFdSink sink(fd);
    return _eExtraitPosition(nPosition, sink);
}

void CVXWinZip::_EcraseFic(const wchar_t* pszTarget)
{
    if (CDiskFile::bIsAFile(pszTarget))
        CDiskFile::bForceDelete(pszTarget);
}

_eVXzipResult CVXWinZip::_eExtraireFichierVide(const CRepEntree& entry, const wchar_t* pszTarget)
{
    if (entry.m_dwAttributs & 0x4000) {
        if (!CDiskFile::bCreateDirectory(pszTarget))
            return VXZIP_ERR_CREATE;
        CDiskFile dir;
        if (dir.bOpen(pszTarget, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                      IXStream::XFLAG_DIRECTORY, nullptr)) {
            dir.bSetTime(nullptr, &entry.m_stAcces, &entry.m_stModification);
            dir.Close();
        }
        if (!CDiskFile::bSetFileAttributes(pszTarget, static_cast<int>(entry.m_dwAttributs)))
            return VXZIP_ERR_CREATE;
        return VXZIP_OK;
    }
    CDiskFile file;
    // An existing file keeps its content: no truncation.
    if (!file.bOpen(pszTarget, IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_OPEN_ALWAYS,
                    IXStream::XFLAG_NONE, nullptr))
        return VXZIP_ERR_CREATE;
    file.bSetTime(nullptr, &entry.m_stAcces, &entry.m_stModification);
    file.Close();
    CDiskFile::bSetFileAttributes(pszTarget, static_cast<int>(entry.m_dwAttributs));
    return VXZIP_OK;
}

_eVXzipResult CVXWinZip::eExtraitFichier(const wchar_t* pszEntry, const wchar_t* pszTarget, unsigned long, HWND, int,
                                         int nFlags)
{
    if (pszTarget == nullptr)
        return _eResultat(VXZIP_ERR_CREATE);
    if (nFlags & EXTRACT_DELETE_EXISTING)
        _EcraseFic(pszTarget);
    m_sCible = pszTarget;
    long position = -1;
    _eVXzipResult result = _ePrepareExtract(pszEntry, (nFlags & EXTRACT_CASE_SENSITIVE) != 0, &position);
    if (result != VXZIP_OK)
        return _eResultat(result);
    const CRepEntree& entry = *m_clRepertoire.pclGetEntree(position);
    if (entry.m_oTailleOriginale == 0)
        return _eResultat(_eExtraireFichierVide(entry, pszTarget));

    result = _eInitExtracteur(entry);
    if (result != VXZIP_OK)
        return _eResultat(result);
    CDiskFile target;
    if (!target.bOpen(pszTarget, IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                      IXStream::XFLAG_NONE, nullptr)) {
        m_clZip.CloseCurrentFileInZip();
        return _eResultat(VXZIP_ERR_CREATE);
    }
    CStreamSink sink(&target);
    uint64_t written = 0;
    result = _eExtraireVers(entry, sink, &written);
    // Times and permission bits are the entry's whatever happened; the
    // result says whether the content is.
    target.bSetTime(nullptr, &entry.m_stAcces, &entry.m_stModification);
    target.Close();
    CDiskFile::bSetFileAttributes(pszTarget, static_cast<int>(entry.m_dwAttributs));
    return _eResultat(result);
}

_eVXzipResult CVXWinZip::eExtraitFichier(const wchar_t* pszEntry, CZLBIN* pBuffer, unsigned long, HWND, int)
{
    if (pBuffer == nullptr)
        return _eResultat(VXZIP_ERR_CREATE);
    long position = -1;
    _eVXzipResult result = _ePrepareExtract(pszEntry, 0, &position);
    if (result != VXZIP_OK)
        return _eResultat(result);
    const CRepEntree& entry = *m_clRepertoire.pclGetEntree(position);
    const _stFICZIP* z = m_clZip.pstGetFichier(static_cast<int>(entry.m_nNumeroZip) - 1);
    if (entry.m_oTailleOriginale > static_cast<uint64_t>(STRMEM_MAX_BYTES) || z == nullptr)
        return _eResultat(VXZIP_ERR_MEMORY);
    if (!bPlausibleSize(entry.m_oTailleOriginale, entry.m_oTailleCompresse, z->nMethod == ZIP_METHOD_DEFLATED))
        return _eResultat(VXZIP_ERR_FORMAT);
    const int size = static_cast<int>(entry.m_oTailleOriginale);
    if (pBuffer->nSetSize(size, 0) != 0 || (size > 0 && pBuffer->pbyGetBlock() == nullptr))
        return _eResultat(VXZIP_ERR_MEMORY);
    if (size == 0)
        return _eResultat(VXZIP_OK);

    result = _eInitExtracteur(entry);
    if (result != VXZIP_OK)
        return _eResultat(result);
    CMemoryStream memory;
    if (!memory.bAssociate(pBuffer->pbyGetBlock(), static_cast<unsigned>(size))) {
        m_clZip.CloseCurrentFileInZip();
        return _eResultat(VXZIP_ERR_MEMORY);
    }
    if (!memory.bOpen(L"ZIP", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                      IXStream::XFLAG_NONE, nullptr)) {
        m_clZip.CloseCurrentFileInZip();
        return _eResultat(VXZIP_ERR_CREATE);
    }
    CStreamSink sink(&memory);
    uint64_t written = 0;
    result = _eExtraireVers(entry, sink, &written);
    memory.Close();
    return _eResultat(result);
}
