#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

#include "common/text/ct_string.h"
#include "common/text/tableau.h"
#include "installer/vx_zip_result.h"
#include "installer/zip_crypt_keys.h"
#include "installer/zip_entry.h"
#include "installer/zip_name_index.h"

class IXStream;

// Reads ZIP archives, ZIP64 included, from a stream that the owner opens and
// positions the archive in (bytes before the archive, for a stub in front):
// finds the end records, loads the central directory with a name index,
// checks an entry's local header against its central entry, and streams the
// entry's data out, stored or raw-deflated, decrypting the traditional
// encryption and checking the CRC-32.
//
// Every size taken from the archive is range-checked in 64 bits before use:
// a directory or entry that does not fit the archive, an entry name longer
// than ZIP_MAX_NAME_CHARS characters or holding a zero character, and an
// encrypted entry too short for its 12-byte header are refused with 3.
// Entries are numbered from 1 in directory order; duplicated names stay
// distinct entries. An owner that knows what its archives hold may ask for
// more: a cap on the entries (SetMaxEntrees) and names that appear once
// (SetNomsUniques).
class CWinZip
{
public:
    static constexpr unsigned HEADER_BUFFER_SIZE = 1024;
    static constexpr unsigned INPUT_BUFFER_SIZE = 16384;
    // A central directory larger than this is refused (about 2.5 million
    // entries): it is read whole.
    static constexpr uint64_t MAX_CENTRAL_DIRECTORY = 256u << 20;

    CWinZip();
    ~CWinZip();
    CWinZip(const CWinZip&) = delete;
    CWinZip& operator=(const CWinZip&) = delete;

    // The archive stream (not owned) and the bytes before the archive in it.
    void SetStream(IXStream* pStream) { m_pStream = pStream; }
    IXStream* pGetStream() const { return m_pStream; }
    void SetBytesBefore(uint64_t o) { m_oBytesBefore = o; }
    uint64_t oGetBytesBefore() const { return m_oBytesBefore; }

    // Resets the reader, finds and reads the end records and loads the
    // directory: 0, 3 (not a valid archive) or 5 (read failure on an end
    // record). The path is not used: the stream is open on the archive. On
    // failure the directory is empty.
    _eVXzipResult OuvreZip(const wchar_t* pszPath, int nUnused = 0);
    // OuvreZip refuses with 31, before reading the directory, an archive
    // announcing more entries than n (at most 0x7FFFFFFF, the default).
    // Kept across openings.
    void SetMaxEntrees(uint64_t n) { m_oMaxEntrees = n < 0x7FFFFFFF ? n : 0x7FFFFFFF; }
    // With bOn, OuvreZip refuses with 32 an archive holding two entries of
    // one name ('\' read as '/'; case counts). Kept across openings.
    void SetNomsUniques(int bOn) { m_bNomsUniques = bOn; }
    // Opens the named file by itself: whether it holds an end record.
    static int bFichierZip(const wchar_t* pszPath);

    // Current entry: the first or next one (NextFile(1) restarts): 0 or 1002.
    int FirstFile();
    int NextFile(int bRestart = 0);
    // The entry of number n (1-based): 0, or 4 when there is none.
    int GoToFile(uint64_t nEntry);
    // The first entry in directory order of that name ('\' read as '/'):
    // with bCaseSensitive the names must be equal, otherwise equal ignoring
    // case (towupper/wcscasecmp of the current locale). 0, or 5.
    int LocateFile(const wchar_t* pszName, int bCaseSensitive);
    // Number of the current entry (0 = none) and its record.
    uint64_t nGetCurrentFile() const { return m_nCurrentFile; }
    const _stFICZIP* pstGetCurrentFile() const { return m_pCurrent; }
    // The current entry's name with every '/' turned into '\' ("" when none).
    const wchar_t* CurrentFile_szName();
    int nGetNbFichiers() const { return m_tabFichiers.nGetNbElement(); }
    // Entry by array index (0-based), null outside.
    const _stFICZIP* pstGetFichier(int i) const;

    // Opens the current entry's data: 0; 4 (no current entry); 3 (local
    // header inconsistent, method not 0 or 8, data outside the archive); 5
    // (read failure on the local header); 14 (password check failed); 9 (no
    // memory for the inflater).
    _eVXzipResult OpenCurrentFileInZip();
    // Produces up to nSize bytes of the open entry, never more than the
    // entry's uncompressed size in all; *pnCount the bytes produced (0 at the
    // end of the data). 0 on failure: read failure, truncated or invalid
    // deflate data; the entry stays open.
    int bReadCurrentFileInZip(void* pBuffer, unsigned nSize, unsigned long* pnCount);
    // 13 when every uncompressed byte was produced and the CRC-32 differs,
    // else 0 (an entry closed early is not checked). The arguments are not
    // used.
    int CloseCurrentFileInZip(int nUnused1 = 0, int nUnused2 = 0);
    bool bIsFileOpen() const { return m_bFileOpen != 0; }

    // Null: the empty password. A character whose code is not positive
    // refuses the password (0) and sets the empty one.
    int bSetPassword(const wchar_t* pszPassword);
    const wchar_t* pszGetPassword() const { return m_sPassword.pszGet(); }

    // Writer settings, kept for the facade.
    void SetForceZip64(int b) { m_bForceZip64 = b; }
    int bGetForceZip64() const { return m_bForceZip64; }
    void SetCompressionLevel(int n) { m_nCompressionLevel = n; }
    int nGetCompressionLevel() const { return m_nCompressionLevel; }
    void SetUnicodeNames(int b) { m_bUnicodeNames = b; }

    // The archive's end records.
    uint64_t oGetNbEntries() const { return m_oTotalEntries; }
    uint64_t oGetCentralDirOffset() const { return m_oCentralDirOffset; }
    uint64_t oGetCentralDirSize() const { return m_oCentralDirSize; }
    uint64_t oGetEndPosition() const { return m_oEndPosition; }
    uint64_t oGetDiskWithCentralDir() const { return m_oDiskWithCentralDir; }
    bool bIsZip64() const { return m_bZip64 != 0; }
    const wchar_t* pszGetComment() const { return m_sComment.pszGet(); }

    // Extension of a volume of a split archive (see the definition).
    const wchar_t* CurrentFile_szExtZip(unsigned nVolume);
    // 0 when both names designate the same file, else 1.
    static int nStringFileNameCompare(const wchar_t* a, const wchar_t* b, int nUnused);

    // Writer steps (installer/win_zip_write.cpp). Nothing in the program
    // writes archives; the steps lay out what this reader reads back. Each
    // record is written at the stream's position, whole or not at all when
    // a field is refused: every field is range-checked in 64 bits first.
    // Offsets are relative to the archive start (the bytes before it in the
    // stream excluded). 1 on success, 0 when refused or a write fails.
    //
    // Names: '\' is written as '/'; with Unicode names as UTF-8 (flag bit
    // 11), otherwise in code page 1252 turned into 437. A name (or entry
    // comment) is written only in a form that this reader decodes back to
    // the same text; an empty name or one longer than ZIP_MAX_NAME_CHARS is
    // refused. Flag bits 0 (encrypted, from bEncrypted) and 11 are the
    // writer's; the other fields are written as the entry holds them.
    //
    // The local header, at the stream's position, which becomes the entry's
    // local header offset. With ZIP64 forced, or a size of 0xFFFFFFFF or
    // more, both sizes go to a ZIP64 block (16 data bytes) and version
    // needed is 45. *pnSize (when given): the bytes written.
    int _bEcritEnteteLocaleDir(_stFICZIP& entry, uint64_t* pnSize = nullptr);
    // The central entry. With ZIP64 forced, or a size or the local header
    // offset of 0xFFFFFFFF or more, all three go to a ZIP64 block (24 data
    // bytes) and version needed is 45. A disk number of 0xFFFF or more is
    // refused.
    int _bEcritEnteteDir(const _stFICZIP& entry, uint64_t* pnSize = nullptr);
    // The end of the central directory, which must end right here (offset +
    // size = the position) and hold a fixed part per entry. With ZIP64 forced, 0xFFFF entries or more, or a
    // size or offset of 0xFFFFFFFF or more, the ZIP64 end record and its
    // locator come first and the classic fields hold 0xFFFF / 0xFFFFFFFF.
    // The comment is written in code page 1252, at most
    // ZIP_MAX_END_COMMENT bytes (longer, the record could not be found).
    int _bEcritEnteteZip(uint64_t nEntries, uint64_t oCentralDirOffset, uint64_t oCentralDirSize,
                         const wchar_t* pszComment, uint64_t* pnSize = nullptr);
    static constexpr uint64_t ZIP_MAX_END_COMMENT = 0xFFFF - 22;
    // The DOS date-time; the year is held between 1980 and 2107.
    static uint32_t _TmDateToDosDate(const _sTMDATE& tm) { return ZipTmToDosDate(tm); }
    // The DOS date-time of a file's last modification (local time): 0 when
    // the file's status cannot be read.
    static int _GetTimeCreation(const wchar_t* pszFile, uint32_t* pdwDosDate);
    // Encrypts data in place with the keys that CryptCryptHeader set up.
    void CryptEncodeBuffer(unsigned char* p, uint64_t n) { m_keys.Encrypt(p, n); }
    unsigned char CryptEncode(unsigned char c) { return m_keys.EncryptByte(c); }
    // Keys from the password, then 10 bytes of the kernel's random source
    // and the CRC's bits 16-31, all encrypted, into pHeader (12 bytes). 0
    // when the random source fails: nothing is written then.
    int CryptCryptHeader(uint32_t dwCrc, unsigned char* pHeader);
    // An 8-bit name from code page 1252 to 437 (bToOem) or back, in place;
    // byte 0x80 is kept as it is.
    static void _AnsiOem(char* psz, int bToOem);

    // The search window steps of the end record, for the tests.
    static constexpr unsigned SEARCH_STEP = 1024;
    static constexpr unsigned SEARCH_WINDOW = SEARCH_STEP + 4;

private:
    void _InitZip();
    void _FreeEntries();
    bool _bSeek(uint64_t o);
    // Exactly n bytes at the position.
    bool _bRead(void* p, uint64_t n);
    // n bytes in the pieces that a stream call takes: step(offset, size)
    // for each, in order, until one fails.
    template <class Step>
    static bool _bParMorceaux(uint64_t n, Step step)
    {
        for (uint64_t at = 0; at < n;) {
            const unsigned chunk = n - at > 0x40000000 ? 0x40000000u : static_cast<unsigned>(n - at);
            if (!step(at, chunk))
                return false;
            at += chunk;
        }
        return true;
    }
    // Reads n (at most 1024) bytes into the header buffer.
    bool _bLectBuf(unsigned n);
    // Position of the end record, or -1.
    int64_t _SearchCentralDir();
    _eVXzipResult _LireEntete();
    bool _bLireZip64(uint64_t oEnd);
    _eVXzipResult _ChargeRepertoire();
    // Whether two loaded entries have one name ('\' read as '/').
    bool _bNomEnDouble() const;
    // Decodes the central entry at offset at of the directory bytes;
    // *pnUsed its whole length. False when it is not a valid entry.
    bool _bGetInfoFile(const unsigned char* pDir, uint64_t nDir, uint64_t at, _stFICZIP& entry, uint64_t* pnUsed);
    _eVXzipResult _CheckCurrentFileCoherencyHeader(uint64_t* pnDataOffset);
    void _CloseInflate();
    // Writer: exactly n bytes at the position; the archive-relative
    // position; a name or entry comment in the raw form written.
    bool _bEcrit(const void* p, uint64_t n);
    bool _bPositionArchive(uint64_t* po);
    bool _bTexteEcrit(const wchar_t* psz, bool bName, uint64_t nVersionMadeBy, std::string* pRaw) const;

    IXStream* m_pStream = nullptr;
    int m_bForceZip64 = 0;
    int m_nCompressionLevel = 6;
    unsigned char m_abyHeader[HEADER_BUFFER_SIZE];
    uint64_t m_oHeaderPos = 0;

    uint64_t m_oThisDisk = 0;
    uint64_t m_oDiskWithCentralDir = 0;
    uint64_t m_oEntriesThisDisk = 0;
    uint64_t m_oTotalEntries = 0;
    uint64_t m_oCentralDirSize = 0;
    uint64_t m_oCentralDirOffset = 0;
    uint64_t m_oCommentLength = 0;
    uint64_t m_oCentralDirPos = 0;
    CTString m_sComment;
    int m_bZip64 = 0;

    CTString m_sPassword;
    CZipCryptKeys m_keys;

    uint64_t m_oEndPosition = 0;
    uint64_t m_oBytesBefore = 0;
    uint64_t m_oReadPos = 0;
    uint64_t m_oStreamSize = 0;

    // Read state of the open entry.
    unsigned char* m_pbyInput = nullptr;  // INPUT_BUFFER_SIZE bytes, made at the first open
    z_stream m_stream;
    uint64_t m_oNextCompressed = 0;       // relative to the archive start
    int m_bStreamInit = 0;
    int m_bEntryEncrypted = 0;
    uint32_t m_dwCrc = 0;
    uint32_t m_dwExpectedCrc = 0;
    uint64_t m_oCompressedLeft = 0;
    uint64_t m_oUncompressedLeft = 0;
    uint64_t m_nMethod = 0;
    int m_bFileOpen = 0;

    int m_bAnsiOem = 1;
    uint64_t m_nCurrentFile = 0;
    CTTableau<_stFICZIP> m_tabFichiers;
    CZipNameIndex m_index;
    _stFICZIP* m_pCurrent = nullptr;

    CTString m_sCurrentName;
    CTString m_sExtension;
    int m_bUnicodeNames = 0;
    int m_bNomsUniques = 0;
    uint64_t m_oMaxEntrees = 0x7FFFFFFF;
};
