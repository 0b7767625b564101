#pragma once

#include <cstdint>

#include "installer/vx_zip_base.h"
#include "installer/win_zip.h"

class IXStream;

// The archive object over a ZIP file: opens it, reads the reader's
// directory into its own (directory entries left out, names with '\'), and
// extracts entries to files, open streams, open descriptors or memory.
//
// Extraction goes through the entry's number in the reader, never through a
// second look-up by name. It stops at the first failure, whose result is
// kept: 9 no memory, 2 the target cannot be opened, 30 a read, inflation or
// write failure (a short write too) or a CRC mismatch; when the data was
// produced and written whole, a count of bytes written that differs from the
// entry's size gives 3.
class CVXWinZip : public CVXZipBase
{
public:
    static constexpr unsigned EXTRACT_BUFFER_SIZE = 32768;
    // Flags of eExtraitFichier to a file.
    static constexpr int EXTRACT_DELETE_EXISTING = 0x40;
    static constexpr int EXTRACT_CASE_SENSITIVE = 0x8000;

    CVXWinZip();
    ~CVXWinZip() override;

    // Bit 0 of nFlags: read-write lock mode. nOffset: bytes before the
    // archive in the file (the reader corrects it from the directory).
    // 1 when the file cannot be opened, 3 when it is no valid archive.
    _eVXzipResult eOuvreArchive(const wchar_t* pszPath, unsigned nFlags, long nOffset) override;
    // The same on a descriptor the caller opened (and checked): the archive
    // reads a duplicate of it and never opens anything by name, so that
    // what was checked is what is read. pszPath is its full path (260
    // characters at most, as for a file opened by name), for the messages.
    _eVXzipResult eOuvreArchiveFd(int fd, const wchar_t* pszPath);
    void Lock(int bOn) override;
    void LockEcritureOuvertEnLecture(int bOn) override;
    void LockLectureEcritureOuvertEnLectureEcriture(int bOn) override;
    // The entry of that name (see CRepertoire::lRang; flag 0x8000: exact
    // names only) to the target file, created or truncated, its times and
    // permission bits set afterwards; flag 0x40 deletes an existing regular
    // file first. A zero-length entry leaves an existing file's content.
    _eVXzipResult eExtraitFichier(const wchar_t* pszEntry, const wchar_t* pszTarget, unsigned long nUnused,
                                  HWND hWnd, int nUnused2, int nFlags) override;
    // Into the buffer, sized to the entry. Sizes above what a runtime buffer
    // holds give 9, sizes the compressed data cannot produce 3, both before
    // anything is allocated.
    _eVXzipResult eExtraitFichier(const wchar_t* pszEntry, CZLBIN* pBuffer, unsigned long nUnused, HWND hWnd,
                                  int nUnused2) override;
    // The entry at a position of the directory into a stream open for
    // writing (at its position) or an open descriptor: the data alone, no
    // times or attributes. 1 for a position outside the directory.
    _eVXzipResult eExtraitEntree(unsigned long nPosition, IXStream* pTarget);
    _eVXzipResult eExtraitEntreeFd(unsigned long nPosition, int fd);

    _eVXzipResult eMotDePasse(const wchar_t* pszPassword) override;
    _eVXzipResult eGetMotDePasse(CXYString<wchar_t>& sPassword) override;
    _eVXzipResult eNiveauCompression(int nLevel) override;
    _eVXzipResult eGetNiveauCompression(int* pnLevel) override;
    int bEntete64Bits(int bOn) override;
    void vSetNomFicUnicode(int bOn) override;

    // Empties the directory, releases the lock, closes the archive file.
    void Term();
    // The reader's current entry: its disk and its local header offset plus
    // the archive's offset in its file.
    void PosFichier(unsigned nUnused, unsigned& nDisk, long& nOffset);
    _eVXzipResult eVerifieEntete(CDiskFile& file);
    _eVXzipResult eLitEntete(CDiskFile& file);
    _eVXzipResult eLitRepertoireMono();

    CWinZip& clGetZip() { return m_clZip; }

private:
    // Where extracted bytes go.
    class ISink
    {
    public:
        // False, or fewer bytes written than given, is a failed write.
        virtual bool bWrite(const unsigned char* p, unsigned n) = 0;

    protected:
        ~ISink() = default;
    };
    class CStreamSink;
    class CFdSink;

    // The reader's result once the archive file is open; 3, or 31 and 32
    // as the reader gives them.
    _eVXzipResult _eLitArchiveOuverte(long nOffset);
    // Opens the archive file again read-only by its name; never for an
    // archive opened on a descriptor.
    bool _bRouvre();
    // Position of the entry, its original size: 1000 not open, 1 absent.
    _eVXzipResult _ePrepareExtract(const wchar_t* pszEntry, int bCaseSensitive, long* pnPosition);
    // Makes the entry's reader entry current and opens it: 5, 21, 9 or 3.
    _eVXzipResult _eInitExtracteur(const CRepEntree& entry);
    // Reads the open entry to its end into the sink; closes it.
    _eVXzipResult _eExtraireVers(const CRepEntree& entry, ISink& sink, uint64_t* poWritten);
    _eVXzipResult _eExtraitPosition(unsigned long nPosition, ISink& sink);
    _eVXzipResult _eExtraireFichierVide(const CRepEntree& entry, const wchar_t* pszTarget);
    static void _EcraseFic(const wchar_t* pszTarget);

    CWinZip m_clZip;
    int m_bParDescripteur = 0;
};
