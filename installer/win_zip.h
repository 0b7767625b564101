#pragma once

#include <zlib.h>

#include <cstdint>

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

    // Writer steps: the DOS date, encryption of data and of the 12-byte
    // header, and 8-bit names between code pages 1252 and 437 (byte 0x80
    // kept as it is).
    static uint32_t _TmDateToDosDate(const _sTMDATE& tm) { return ZipTmToDosDate(tm); }
    void CryptEncodeBuffer(unsigned char* p, uint64_t n) { m_keys.Encrypt(p, n); }
    unsigned char CryptEncode(unsigned char c) { return m_keys.EncryptByte(c); }
    // Keys from the password, then 10 random bytes and the CRC's bits 16-31,
    // all encrypted, into pHeader (12 bytes).
    void CryptCryptHeader(uint32_t dwCrc, unsigned char* pHeader);
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
