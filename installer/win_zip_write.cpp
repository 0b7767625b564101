// The writer steps of CWinZip: local and central headers, the end records,
// the DOS date, the traditional encryption header and 8-bit names. Nothing
// in the program writes archives; what these steps lay out is what the
// reader of win_zip.cpp reads back.
#include "installer/win_zip.h"

#include <cstring>
#include <vector>

#include "common/system/disk_file.h"
#include "common/system/random_bytes.h"
#include "common/system/x_stream.h"
#include "common/text/utf8_convert.h"
#include "installer/code_page_tables.h"
#include "installer/zip_records.h"

namespace {

constexpr uint32_t ZIP_VERSION_ZIP64 = 45;
constexpr uint32_t ZIP_MAX16 = 0xFFFF;
constexpr unsigned ZIP64_LOCAL_EXTRA = 4 + 16;
constexpr unsigned ZIP64_CENTRAL_EXTRA = 4 + 24;

// The fields that both headers copy from the entry, each held in 64 bits:
// a value its header field cannot take is refused, never cut.
bool bChampsEcrivables(const _stFICZIP& e)
{
    return e.nVersionMadeBy <= ZIP_MAX16 && e.nVersionNeeded <= ZIP_MAX16 && e.nFlags <= ZIP_MAX16 &&
           e.nMethod <= ZIP_MAX16 && e.dwDosDate <= ZIP_MAX32 && e.dwCrc <= ZIP_MAX32 &&
           e.nInternalAttributes <= ZIP_MAX16 && e.nExternalAttributes <= ZIP_MAX32 &&
           (!e.bEncrypted || e.oCompressedSize >= ZIP_CRYPT_HEADER_SIZE);
}

// The byte of code page 1252 for c, or its default byte ('?') when the
// code page has none (always so past 16 bits).
char cEn1252(wchar_t c)
{
    const unsigned short unit = c > 0 && c <= 0xFFFF ? static_cast<unsigned short>(c) : 0xFFFF;
    char b = 0;
    cp_wcstombs(&gstCpTable1252, 0, &unit, 1, &b, 1, nullptr, nullptr);
    return b;
}

// The 22 bytes that both headers share, from version needed to the
// uncompressed size (a local header's at 4, a central entry's at 6). With
// ZIP64 the sizes are in the block.
void PutChampsCommuns(unsigned char* p, const _stFICZIP& e, bool bZip64, bool bUTF8)
{
    const uint32_t needed = static_cast<uint32_t>(e.nVersionNeeded);
    const uint32_t flags = static_cast<uint32_t>(e.nFlags) & ~(ZIP_FLAG_ENCRYPTED | ZIP_FLAG_UTF8);
    ZipPut16(p, bZip64 && needed < ZIP_VERSION_ZIP64 ? ZIP_VERSION_ZIP64 : needed);
    ZipPut16(p + 2, flags | (e.bEncrypted ? ZIP_FLAG_ENCRYPTED : 0) | (bUTF8 ? ZIP_FLAG_UTF8 : 0));
    ZipPut16(p + 4, static_cast<uint32_t>(e.nMethod));
    ZipPut32(p + 6, static_cast<uint32_t>(e.dwDosDate));
    ZipPut32(p + 10, static_cast<uint32_t>(e.dwCrc));
    ZipPut32(p + 14, bZip64 ? ZIP_MAX32 : static_cast<uint32_t>(e.oCompressedSize));
    ZipPut32(p + 18, bZip64 ? ZIP_MAX32 : static_cast<uint32_t>(e.oUncompressedSize));
}

}  // namespace

bool CWinZip::_bEcrit(const void* p, uint64_t n)
{
    if (m_pStream == nullptr)
        return false;
    const unsigned char* in = static_cast<const unsigned char*>(p);
    return _bParMorceaux(n, [&](uint64_t at, unsigned chunk) {
        unsigned done = 0;
        return m_pStream->bWrite(in + at, chunk, &done) && done == chunk;
    });
}

bool CWinZip::_bPositionArchive(uint64_t* po)
{
    if (m_pStream == nullptr)
        return false;
    const int64_t pos = m_pStream->oGetOffset();
    if (pos < 0 || static_cast<uint64_t>(pos) < m_oBytesBefore)
        return false;
    *po = static_cast<uint64_t>(pos) - m_oBytesBefore;
    return true;
}

bool CWinZip::_bTexteEcrit(const wchar_t* psz, bool bName, uint64_t nVersionMadeBy, std::string* pRaw) const
{
    pRaw->clear();
    if (psz == nullptr)
        return !bName;
    const bool utf8 = m_bUnicodeNames != 0;
    std::wstring text(psz);
    if (bName)
        for (wchar_t& c : text)
            c = c == L'\\' ? L'/' : c;
    for (const wchar_t c : text) {
        if (utf8) {
            char seq[5];
            pRaw->append(seq, static_cast<size_t>(UTF32ToUTF8(static_cast<unsigned>(c), seq)));
        } else {
            pRaw->push_back(cEn1252(c));  // a default byte is refused below
        }
        if (pRaw->size() > ZIP_MAX16)
            return false;
    }
    if (!utf8 && m_bAnsiOem)
        _AnsiOem(pRaw->data(), 1);

    // Written only when the reader gets the same text back: a character
    // that neither code page holds, the euro sign kept as byte 0x80, or
    // 8-bit bytes that a Unix entry's reader takes for UTF-8 would name
    // another file.
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(pRaw->data());
    const bool readUTF8 =
        bName && ZipNameIsUTF8(raw, pRaw->size(), utf8 ? ZIP_FLAG_UTF8 : 0, nVersionMadeBy);
    const size_t nChars = ZipDecodeText(raw, pRaw->size(), readUTF8, nullptr, 0);
    if (bName && (nChars == 0 || nChars > ZIP_MAX_NAME_CHARS))
        return false;
    std::vector<wchar_t> back(nChars + 1);
    ZipDecodeText(raw, pRaw->size(), readUTF8, back.data(), back.size());
    return text == back.data();
}

int CWinZip::_bEcritEnteteLocaleDir(_stFICZIP& e, uint64_t* pnSize)
{
    std::string name;
    uint64_t offset = 0;
    if (!bChampsEcrivables(e) || !_bTexteEcrit(e.pszName, true, e.nVersionMadeBy, &name) ||
        !_bPositionArchive(&offset))
        return 0;
    const bool zip64 = m_bForceZip64 || e.oUncompressedSize >= ZIP_MAX32 || e.oCompressedSize >= ZIP_MAX32;
    const size_t nExtra = zip64 ? ZIP64_LOCAL_EXTRA : 0;
    std::vector<unsigned char> record(ZIP_LOCAL_SIZE + name.size() + nExtra);
    unsigned char* h = record.data();
    ZipPut32(h, ZIP_SIG_LOCAL);
    PutChampsCommuns(h + 4, e, zip64, m_bUnicodeNames != 0);
    ZipPut16(h + 26, static_cast<uint32_t>(name.size()));
    ZipPut16(h + 28, static_cast<uint32_t>(nExtra));
    std::memcpy(h + ZIP_LOCAL_SIZE, name.data(), name.size());
    if (zip64) {
        unsigned char* x = h + ZIP_LOCAL_SIZE + name.size();
        ZipPut16(x, ZIP_EXTRA_ZIP64);
        ZipPut16(x + 2, 16);
        ZipPut64(x + 4, e.oUncompressedSize);
        ZipPut64(x + 12, e.oCompressedSize);
    }
    if (!_bEcrit(record.data(), record.size()))
        return 0;
    e.oLocalHeader = e.oExtractOffset = offset;
    if (pnSize != nullptr)
        *pnSize = record.size();
    return 1;
}

int CWinZip::_bEcritEnteteDir(const _stFICZIP& e, uint64_t* pnSize)
{
    std::string name, comment;
    // 0xFFFF would send a reader to a ZIP64 disk number, which this block
    // does not carry.
    if (!bChampsEcrivables(e) || e.nDiskNumberStart >= ZIP_MAX16 ||
        !_bTexteEcrit(e.pszName, true, e.nVersionMadeBy, &name) ||
        !_bTexteEcrit(e.pszComment, false, e.nVersionMadeBy, &comment))
        return 0;
    const bool zip64 = m_bForceZip64 || e.oUncompressedSize >= ZIP_MAX32 || e.oCompressedSize >= ZIP_MAX32 ||
                       e.oLocalHeader >= ZIP_MAX32;
    const size_t nExtra = zip64 ? ZIP64_CENTRAL_EXTRA : 0;
    std::vector<unsigned char> record(ZIP_CENTRAL_SIZE + name.size() + nExtra + comment.size());
    unsigned char* h = record.data();
    ZipPut32(h, ZIP_SIG_CENTRAL);
    ZipPut16(h + 4, static_cast<uint32_t>(e.nVersionMadeBy));
    PutChampsCommuns(h + 6, e, zip64, m_bUnicodeNames != 0);
    ZipPut16(h + 28, static_cast<uint32_t>(name.size()));
    ZipPut16(h + 30, static_cast<uint32_t>(nExtra));
    ZipPut16(h + 32, static_cast<uint32_t>(comment.size()));
    ZipPut16(h + 34, static_cast<uint32_t>(e.nDiskNumberStart));
    ZipPut16(h + 36, static_cast<uint32_t>(e.nInternalAttributes));
    ZipPut32(h + 38, static_cast<uint32_t>(e.nExternalAttributes));
    ZipPut32(h + 42, zip64 ? ZIP_MAX32 : static_cast<uint32_t>(e.oLocalHeader));
    unsigned char* p = h + ZIP_CENTRAL_SIZE;
    std::memcpy(p, name.data(), name.size());
    p += name.size();
    if (zip64) {
        ZipPut16(p, ZIP_EXTRA_ZIP64);
        ZipPut16(p + 2, 24);
        ZipPut64(p + 4, e.oUncompressedSize);
        ZipPut64(p + 12, e.oCompressedSize);
        ZipPut64(p + 20, e.oLocalHeader);
        p += nExtra;
    }
    std::memcpy(p, comment.data(), comment.size());
    if (!_bEcrit(record.data(), record.size()))
        return 0;
    if (pnSize != nullptr)
        *pnSize = record.size();
    return 1;
}

int CWinZip::_bEcritEnteteZip(uint64_t nEntries, uint64_t oCentralDirOffset, uint64_t oCentralDirSize,
                              const wchar_t* pszComment, uint64_t* pnSize)
{
    // The reader finds the directory by what precedes this record and
    // refuses one that cannot hold its entries: an end record that says
    // otherwise is refused here.
    uint64_t here = 0;
    if (!_bPositionArchive(&here) || oCentralDirSize > here || oCentralDirOffset != here - oCentralDirSize ||
        nEntries > oCentralDirSize / ZIP_CENTRAL_SIZE)
        return 0;
    std::string comment;
    for (const wchar_t* p = pszComment; p != nullptr && *p != 0; ++p) {
        const char b = cEn1252(*p);
        if (gstCpTable1252.pCp2Uni[static_cast<unsigned char>(b)] != static_cast<uint32_t>(*p) ||
            comment.size() >= ZIP_MAX_END_COMMENT)
            return 0;
        comment.push_back(b);
    }
    const bool zip64 = m_bForceZip64 || nEntries >= ZIP_MAX16 || oCentralDirSize >= ZIP_MAX32 ||
                       oCentralDirOffset >= ZIP_MAX32;
    const size_t n64 = zip64 ? ZIP_END64_SIZE + ZIP_LOCATOR64_SIZE : 0;
    std::vector<unsigned char> record(n64 + ZIP_END_SIZE + comment.size());
    unsigned char* h = record.data();
    if (zip64) {
        ZipPut32(h, ZIP_SIG_END64);
        ZipPut64(h + 4, ZIP_END64_SIZE - 12);  // what follows the size field
        ZipPut16(h + 12, ZIP_VERSION_ZIP64);
        ZipPut16(h + 14, ZIP_VERSION_ZIP64);
        ZipPut32(h + 16, 0);
        ZipPut32(h + 20, 0);
        ZipPut64(h + 24, nEntries);
        ZipPut64(h + 32, nEntries);
        ZipPut64(h + 40, oCentralDirSize);
        ZipPut64(h + 48, oCentralDirOffset);
        unsigned char* l = h + ZIP_END64_SIZE;
        ZipPut32(l, ZIP_SIG_LOCATOR64);
        ZipPut32(l + 4, 0);
        ZipPut64(l + 8, here);
        ZipPut32(l + 16, 1);
        h += n64;
    }
    ZipPut32(h, ZIP_SIG_END);
    ZipPut16(h + 4, 0);
    ZipPut16(h + 6, 0);
    ZipPut16(h + 8, zip64 ? ZIP_MAX16 : static_cast<uint32_t>(nEntries));
    ZipPut16(h + 10, zip64 ? ZIP_MAX16 : static_cast<uint32_t>(nEntries));
    ZipPut32(h + 12, zip64 ? ZIP_MAX32 : static_cast<uint32_t>(oCentralDirSize));
    ZipPut32(h + 16, zip64 ? ZIP_MAX32 : static_cast<uint32_t>(oCentralDirOffset));
    ZipPut16(h + 20, static_cast<uint32_t>(comment.size()));
    std::memcpy(h + ZIP_END_SIZE, comment.data(), comment.size());
    if (!_bEcrit(record.data(), record.size()))
        return 0;
    if (pnSize != nullptr)
        *pnSize = record.size();
    return 1;
}

int CWinZip::_GetTimeCreation(const wchar_t* pszFile, uint32_t* pdwDosDate)
{
    CDiskFile::_stXFILETIME t;
    if (pszFile == nullptr || pdwDosDate == nullptr || !CDiskFile::bGetLastModificationTime(pszFile, &t))
        return 0;
    _sTMDATE tm;
    tm.tm_sec = t.wSecond;
    tm.tm_min = t.wMinute;
    tm.tm_hour = t.wHour;
    tm.tm_mday = t.wDay;
    tm.tm_mon = t.wMonth;
    tm.tm_year = t.wYear;
    *pdwDosDate = _TmDateToDosDate(tm);
    return 1;
}

int CWinZip::CryptCryptHeader(uint32_t dwCrc, unsigned char* pHeader)
{
    // The random bytes keep two entries of one password from starting with
    // one key stream; bytes a clock could predict would not.
    unsigned char header[ZIP_CRYPT_HEADER_SIZE];
    if (pHeader == nullptr || !bRandomBytes(header, 10))
        return 0;
    header[10] = static_cast<unsigned char>(dwCrc >> 16);
    header[11] = static_cast<unsigned char>(dwCrc >> 24);
    m_keys.Init(m_sPassword.pszGet());
    m_keys.Encrypt(header, ZIP_CRYPT_HEADER_SIZE);
    std::memcpy(pHeader, header, ZIP_CRYPT_HEADER_SIZE);
    return 1;
}

void CWinZip::_AnsiOem(char* psz, int bToOem)
{
    if (psz == nullptr)
        return;
    for (char* p = psz; *p != 0; ++p) {
        if (static_cast<unsigned char>(*p) == 0x80)
            continue;
        if (bToOem)
            CharToOemBuffA(p, p, 1);
        else
            OemToCharBuffA(p, p, 1);
    }
}
