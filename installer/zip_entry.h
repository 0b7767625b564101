#pragma once

#include <cstddef>
#include <cstdint>

// A modification time broken down from the DOS date-time of an entry.
struct _sTMDATE
{
    uint32_t tm_sec;
    uint32_t tm_min;
    uint32_t tm_hour;
    uint32_t tm_mday;
    uint32_t tm_mon;   // 1 to 12, as stored
    uint32_t tm_year;  // full year
};

// The longest entry name the reader accepts, in characters (target paths
// are built from it, so a longer one is refused rather than cut).
constexpr size_t ZIP_MAX_NAME_CHARS = 259;
// Entry comments longer than this are skipped (left empty).
constexpr size_t ZIP_MAX_COMMENT_CHARS = 259;

// One central-directory entry as the reader keeps it. Texts are malloc
// blocks owned by the reader (name never null once loaded; comment null when
// none); the numbers are the decoded fields, 64-bit each, with the ZIP64
// values already put in place.
struct _stFICZIP
{
    wchar_t* pszName;
    wchar_t* pszComment;
    uint64_t oLocalHeader;
    uint64_t oExtractOffset;
    _sTMDATE stDate;
    uint64_t nVersionMadeBy;
    uint64_t nVersionNeeded;
    uint64_t nFlags;
    uint64_t nMethod;
    uint64_t dwDosDate;
    uint64_t dwCrc;
    uint64_t oCompressedSize;
    uint64_t oUncompressedSize;
    uint64_t nNameLength;     // raw bytes
    uint64_t nExtraLength;
    uint64_t nCommentLength;
    uint64_t nDiskNumberStart;
    uint64_t nInternalAttributes;
    uint64_t nExternalAttributes;
    uint32_t bEncrypted;
    uint32_t abyCryptHeader[12];
    uint32_t bUTF8;
};

// Broken-down DOS date-time: seconds = 2 x bits 0-4, minutes 5-10, hours
// 11-15, day 16-20, month 21-24, year 1980 + bits 25-31.
_sTMDATE ZipDosDateToTm(uint32_t dwDosDate);
// The reverse, for a writer (years before 1980 give 1980, after 2107 give
// 2107).
uint32_t ZipTmToDosDate(const _sTMDATE& tm);

// Whether a raw entry name is UTF-8: flag bit 11 says so; without it, a
// name written on a Unix host (high byte of version made by 3) that is
// valid UTF-8 is taken as UTF-8 too, as Unix archivers store the bytes of
// the name as they are (code page 437 is the rule of the other hosts, and
// of any name that is not valid UTF-8).
bool ZipNameIsUTF8(const unsigned char* pRaw, size_t n, uint64_t nFlags, uint64_t nVersionMadeBy);
// Strictly valid UTF-8 (no overlong forms, surrogates or cut sequences).
bool ZipIsValidUTF8(const unsigned char* pRaw, size_t n);

// Decodes a raw entry name or comment: UTF-8 with bUTF8, else code page 437.
// Writes at most nCapacity - 1 characters and a terminator into pszOut and
// answers the characters the whole text decodes to (which may be more).
size_t ZipDecodeText(const unsigned char* pRaw, size_t n, bool bUTF8, wchar_t* pszOut, size_t nCapacity);

// Fills an entry from the 46 fixed bytes of a central header (signature
// already checked): every field, the date broken down, the encrypted and
// UTF-8 flags, and 0666 added to the external attributes when the host is
// not Unix. The texts are left alone.
void ZipDecodeCentralHeader(const unsigned char* p, _stFICZIP& entry);

// Applies the ZIP64 block (id 1) of an extra field: every block is scanned
// (another may come first); its 64-bit values go, in order, to the fields
// that hold 0xFFFFFFFF (uncompressed size, compressed size, local header
// offset), then the 32-bit disk number when that field holds 0xFFFF; a
// block's declared size is cut to the bytes there are. With pLocalSizes the
// extra field of a local header is meant: only the two sizes (in/out, index
// 0 uncompressed, 1 compressed). Answers whether a ZIP64 block was found.
bool ZipApplyZip64Extra(const unsigned char* pExtra, size_t n, _stFICZIP* pEntry, uint64_t* pLocalSizes);
