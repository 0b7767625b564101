#include "installer/win_zip.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "common/system/x_stream.h"
#include "installer/code_page_tables.h"
#include "installer/zip_records.h"

namespace {

// Equality ignoring case through towupper, the comparison the index hash
// is built on.
bool bSameNameI(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        if (std::towupper(static_cast<wint_t>(*a)) != std::towupper(static_cast<wint_t>(*b)))
            return false;
        if (*a == 0)
            return true;
    }
}

// A malloc'd wide copy of a decoded raw text; null when memory runs out.
wchar_t* pszDecode(const unsigned char* pRaw, size_t n, bool bUTF8, size_t nChars)
{
    wchar_t* psz = static_cast<wchar_t*>(std::malloc((nChars + 1) * sizeof(wchar_t)));
    if (psz != nullptr)
        ZipDecodeText(pRaw, n, bUTF8, psz, nChars + 1);
    return psz;
}

}  // namespace

CWinZip::CWinZip() : m_tabFichiers(1024)
{
    std::memset(&m_stream, 0, sizeof m_stream);
    _InitZip();
}

CWinZip::~CWinZip()
{
    CloseCurrentFileInZip();
    _FreeEntries();
    std::free(m_pbyInput);
}

void CWinZip::_FreeEntries()
{
    for (int i = 0; i < m_tabFichiers.nGetNbElement(); ++i) {
        std::free(m_tabFichiers[i].pszName);
        std::free(m_tabFichiers[i].pszComment);
    }
    m_tabFichiers.SupprimeToutEtLibere();
    m_index.Vide();
    m_pCurrent = nullptr;
    m_nCurrentFile = 0;
}

void CWinZip::_InitZip()
{
    CloseCurrentFileInZip();
    _FreeEntries();
    m_oHeaderPos = 0;
    m_oThisDisk = m_oDiskWithCentralDir = m_oEntriesThisDisk = m_oTotalEntries = 0;
    m_oCentralDirSize = m_oCentralDirOffset = m_oCommentLength = m_oCentralDirPos = 0;
    m_sComment.Vide();
    m_bZip64 = 0;
    m_oEndPosition = m_oReadPos = m_oStreamSize = 0;
    m_sCurrentName.Vide();
    m_sExtension.Vide();
    m_bAnsiOem = 1;
    m_nCompressionLevel = 6;
    m_bUnicodeNames = 0;
}

bool CWinZip::_bSeek(uint64_t o)
{
    return m_pStream != nullptr && o <= static_cast<uint64_t>(INT64_MAX) &&
           m_pStream->bSeek(static_cast<int64_t>(o), IXStream::XSEEK_SET);
}

bool CWinZip::_bRead(void* p, uint64_t n)
{
    unsigned char* out = static_cast<unsigned char*>(p);
    return _bParMorceaux(n, [&](uint64_t at, unsigned chunk) {
        unsigned done = 0;
        return m_pStream->bRead(out + at, chunk, &done) && done == chunk;
    });
}

bool CWinZip::_bLectBuf(unsigned n)
{
    m_oHeaderPos = 0;
    return n <= HEADER_BUFFER_SIZE && _bRead(m_abyHeader, n);
}

int64_t CWinZip::_SearchCentralDir()
{
    if (m_pStream == nullptr || !m_pStream->bSeek(0, IXStream::XSEEK_END))
        return -1;
    const int64_t size = m_pStream->oGetSize();
    if (size < static_cast<int64_t>(ZIP_END_SIZE))
        return -1;
    m_oStreamSize = static_cast<uint64_t>(size);
    const uint64_t limit = m_oStreamSize < 0xFFFF ? m_oStreamSize : 0xFFFF;
    unsigned char window[SEARCH_WINDOW];
    uint64_t back = 4;
    while (back < limit) {
        back = back + SEARCH_STEP > limit ? limit : back + SEARCH_STEP;
        const uint64_t start = m_oStreamSize - back;
        const uint64_t rest = m_oStreamSize - start;
        const unsigned n = rest < SEARCH_WINDOW ? static_cast<unsigned>(rest) : SEARCH_WINDOW;
        if (!_bSeek(start) || !_bRead(window, n))
            return -1;
        for (unsigned i = n - 3; i-- > 0;) {
            // Only a record that fits before the end of the file counts.
            if (ZipLE32(window + i) == ZIP_SIG_END && start + i + ZIP_END_SIZE <= m_oStreamSize)
                return static_cast<int64_t>(start + i);
        }
    }
    return -1;
}

bool CWinZip::_bLireZip64(uint64_t oEnd)
{
    if (!_bSeek(oEnd - ZIP_LOCATOR64_SIZE) || !_bLectBuf(ZIP_LOCATOR64_SIZE))
        return false;
    const uint64_t oRecord = ZipLE64(m_abyHeader + 8);
    const uint64_t oLocator = oEnd - ZIP_LOCATOR64_SIZE;
    // The record where the locator says (moved by the bytes before the
    // archive the owner knows of), else right before the locator, which is
    // where it lies behind a stub the locator does not know of.
    uint64_t candidates[2] = {oRecord + m_oBytesBefore, oLocator >= ZIP_END64_SIZE ? oLocator - ZIP_END64_SIZE : 0};
    for (int c = 0; c < 2; ++c) {
        const uint64_t o = candidates[c];
        if (o < oRecord || o > oLocator || oLocator - o < ZIP_END64_SIZE)
            continue;
        if (!_bSeek(o) || !_bLectBuf(ZIP_END64_SIZE) || ZipLE32(m_abyHeader) != ZIP_SIG_END64)
            continue;
        // The record's size field counts what follows its first 12 bytes.
        const uint64_t size = ZipLE64(m_abyHeader + 4);
        if (size > oLocator - o - 12 || o + 12 + size != oLocator)
            continue;
        m_oThisDisk = ZipLE32(m_abyHeader + 16);
        m_oDiskWithCentralDir = ZipLE32(m_abyHeader + 20);
        m_oEntriesThisDisk = ZipLE64(m_abyHeader + 24);
        m_oTotalEntries = ZipLE64(m_abyHeader + 32);
        m_oCentralDirSize = ZipLE64(m_abyHeader + 40);
        m_oCentralDirOffset = ZipLE64(m_abyHeader + 48);
        m_oEndPosition = o;
        m_bZip64 = 1;
        return true;
    }
    return false;
}

_eVXzipResult CWinZip::_LireEntete()
{
    const int64_t pos = _SearchCentralDir();
    if (pos < 0)
        return VXZIP_ERR_FORMAT;
    const uint64_t oEnd = static_cast<uint64_t>(pos);
    if (!_bSeek(oEnd) || !_bLectBuf(ZIP_END_SIZE))
        return VXZIP_ERR_READ;
    m_oThisDisk = ZipLE16(m_abyHeader + 4);
    m_oDiskWithCentralDir = ZipLE16(m_abyHeader + 6);
    m_oEntriesThisDisk = ZipLE16(m_abyHeader + 8);
    m_oTotalEntries = ZipLE16(m_abyHeader + 10);
    m_oCentralDirSize = ZipLE32(m_abyHeader + 12);
    m_oCentralDirOffset = ZipLE32(m_abyHeader + 16);
    m_oCommentLength = ZipLE16(m_abyHeader + 20);
    m_oEndPosition = oEnd;

    // The comment may pass the header buffer: read on its own, cut at the
    // end of the file, decoded as code page 1252.
    const uint64_t available = m_oStreamSize - oEnd - ZIP_END_SIZE;
    const uint64_t nComment = m_oCommentLength < available ? m_oCommentLength : available;
    if (nComment > 0) {
        unsigned char* raw = static_cast<unsigned char*>(std::malloc(nComment));
        wchar_t* text = static_cast<wchar_t*>(std::malloc((nComment + 1) * sizeof(wchar_t)));
        if (raw == nullptr || text == nullptr) {
            std::free(raw);
            std::free(text);
            return VXZIP_ERR_MEMORY;
        }
        const bool ok = _bRead(raw, nComment);
        if (ok) {
            for (uint64_t i = 0; i < nComment; ++i)
                text[i] = static_cast<wchar_t>(gstCpTable1252.pCp2Uni[raw[i]]);
            text[nComment] = 0;
            m_sComment.SetBuffer(text);
        } else {
            std::free(text);
        }
        std::free(raw);
        if (!ok)
            return VXZIP_ERR_READ;
    }

    // ZIP64 whenever its locator is there (an archive can be ZIP64 by its
    // entry count alone), and required when a classic field is saturated
    // the way only ZIP64 explains.
    bool locator = false;
    if (oEnd >= ZIP_LOCATOR64_SIZE) {
        if (!_bSeek(oEnd - ZIP_LOCATOR64_SIZE) || !_bLectBuf(ZIP_LOCATOR64_SIZE))
            return VXZIP_ERR_READ;
        locator = ZipLE32(m_abyHeader) == ZIP_SIG_LOCATOR64;
    }
    if (locator) {
        if (!_bLireZip64(oEnd))
            return VXZIP_ERR_FORMAT;
    } else if (m_oCentralDirOffset == ZIP_MAX32) {
        return VXZIP_ERR_FORMAT;
    }

    if (m_oCentralDirSize > m_oEndPosition || m_oCentralDirOffset > m_oEndPosition - m_oCentralDirSize)
        return VXZIP_ERR_FORMAT;
    m_oBytesBefore = m_oEndPosition - m_oCentralDirOffset - m_oCentralDirSize;
    m_oCentralDirPos = m_oBytesBefore + m_oCentralDirOffset;
    // Every entry takes at least its fixed part.
    if (m_oTotalEntries > m_oCentralDirSize / ZIP_CENTRAL_SIZE)
        return VXZIP_ERR_FORMAT;
    return VXZIP_OK;
}

bool CWinZip::_bGetInfoFile(const unsigned char* pDir, uint64_t nDir, uint64_t at, _stFICZIP& e, uint64_t* pnUsed)
{
    std::memset(&e, 0, sizeof e);
    if (at > nDir || nDir - at < ZIP_CENTRAL_SIZE)
        return false;
    const unsigned char* p = pDir + at;
    if (ZipLE32(p) != ZIP_SIG_CENTRAL)
        return false;
    ZipDecodeCentralHeader(p, e);
    const uint64_t variable = e.nNameLength + e.nExtraLength + e.nCommentLength;
    if (nDir - at - ZIP_CENTRAL_SIZE < variable)
        return false;
    const unsigned char* name = p + ZIP_CENTRAL_SIZE;
    const unsigned char* extra = name + e.nNameLength;
    const unsigned char* comment = extra + e.nExtraLength;

    // A zero byte would cut the name short of what the archive says; a
    // longer name than a path can take is refused rather than cut.
    if (std::memchr(name, 0, e.nNameLength) != nullptr)
        return false;
    const bool utf8 = ZipNameIsUTF8(name, e.nNameLength, e.nFlags, e.nVersionMadeBy);
    const size_t nChars = ZipDecodeText(name, e.nNameLength, utf8, nullptr, 0);
    if (nChars > ZIP_MAX_NAME_CHARS)
        return false;
    ZipApplyZip64Extra(extra, e.nExtraLength, &e, nullptr);
    if (e.bEncrypted && e.oCompressedSize < ZIP_CRYPT_HEADER_SIZE)
        return false;

    e.pszName = pszDecode(name, e.nNameLength, utf8, nChars);
    if (e.pszName == nullptr)
        return false;
    if (e.nCommentLength > 0) {
        const size_t nComment = ZipDecodeText(comment, e.nCommentLength, false, nullptr, 0);
        if (nComment <= ZIP_MAX_COMMENT_CHARS)
            e.pszComment = pszDecode(comment, e.nCommentLength, false, nComment);
    }
    *pnUsed = ZIP_CENTRAL_SIZE + variable;
    return true;
}

_eVXzipResult CWinZip::_ChargeRepertoire()
{
    m_oReadPos = m_oCentralDirOffset;
    if (m_oTotalEntries == 0 || m_oCentralDirSize == 0)
        return VXZIP_OK;
    if (m_oTotalEntries > m_oMaxEntrees)
        return VXZIP_ERR_TOO_MANY;
    if (m_oCentralDirSize > MAX_CENTRAL_DIRECTORY)
        return VXZIP_ERR_FORMAT;
    // Sized once for every entry: no rehashing while the directory loads.
    if (!m_index.bReserve(static_cast<int>(m_oTotalEntries)))
        return VXZIP_ERR_MEMORY;
    unsigned char* dir = static_cast<unsigned char*>(std::malloc(m_oCentralDirSize));
    if (dir == nullptr)
        return VXZIP_ERR_MEMORY;
    _eVXzipResult result = VXZIP_OK;
    if (!_bSeek(m_oCentralDirPos) || !_bRead(dir, m_oCentralDirSize))
        result = VXZIP_ERR_FORMAT;
    uint64_t at = 0;
    for (uint64_t i = 0; result == VXZIP_OK && i < m_oTotalEntries; ++i) {
        _stFICZIP entry;
        uint64_t used = 0;
        if (!_bGetInfoFile(dir, m_oCentralDirSize, at, entry, &used)) {
            result = VXZIP_ERR_FORMAT;
            break;
        }
        const int index = m_tabFichiers.nGetNbElement();
        if (!m_tabFichiers.Ajoute(entry)) {
            std::free(entry.pszName);
            std::free(entry.pszComment);
            result = VXZIP_ERR_MEMORY;
            break;
        }
        if (!m_index.bAjoute(entry.pszName, index))
            result = VXZIP_ERR_MEMORY;
        at += used;
        m_oReadPos = m_oCentralDirOffset + at;
    }
    std::free(dir);
    if (result == VXZIP_OK && m_bNomsUniques && _bNomEnDouble())
        result = VXZIP_ERR_DUPLICATE;
    return result;
}

bool CWinZip::_bNomEnDouble() const
{
    // Sorted once, neighbours compared: a chain of names equal but for case
    // costs no more than distinct names.
    const auto less = [this](int a, int b) {
        for (const wchar_t *p = m_tabFichiers[a].pszName, *q = m_tabFichiers[b].pszName;; ++p, ++q) {
            const wchar_t c = *p == L'\\' ? L'/' : *p;
            const wchar_t d = *q == L'\\' ? L'/' : *q;
            if (c != d || c == 0)
                return c < d;
        }
    };
    std::vector<int> order(static_cast<size_t>(m_tabFichiers.nGetNbElement()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), less);
    for (size_t i = 1; i < order.size(); ++i)
        if (!less(order[i - 1], order[i]))
            return true;
    return false;
}

_eVXzipResult CWinZip::OuvreZip(const wchar_t*, int)
{
    _InitZip();
    _eVXzipResult result = _LireEntete();
    if (result == VXZIP_OK)
        result = _ChargeRepertoire();
    if (result != VXZIP_OK)
        _FreeEntries();
    return result;
}

const _stFICZIP* CWinZip::pstGetFichier(int i) const
{
    if (i < 0 || i >= m_tabFichiers.nGetNbElement())
        return nullptr;
    return &m_tabFichiers[i];
}

int CWinZip::GoToFile(uint64_t nEntry)
{
    if (nEntry == 0 || nEntry > static_cast<uint64_t>(m_tabFichiers.nGetNbElement()))
        return VXZIP_ERR_NO_CURRENT;
    m_nCurrentFile = nEntry;
    m_pCurrent = &m_tabFichiers[static_cast<int>(nEntry - 1)];
    return VXZIP_OK;
}

int CWinZip::FirstFile()
{
    if (m_tabFichiers.nGetNbElement() == 0) {
        m_nCurrentFile = 0;
        m_pCurrent = nullptr;
        return VXZIP_END_OF_LIST;
    }
    return GoToFile(1);
}

int CWinZip::NextFile(int bRestart)
{
    if (bRestart)
        return FirstFile();
    if (m_nCurrentFile == 0 || m_nCurrentFile >= static_cast<uint64_t>(m_tabFichiers.nGetNbElement()))
        return VXZIP_END_OF_LIST;
    return GoToFile(m_nCurrentFile + 1);
}

int CWinZip::LocateFile(const wchar_t* pszName, int bCaseSensitive)
{
    if (pszName == nullptr)
        return VXZIP_ERR_READ;
    auto find = [&](const wchar_t* key) {
        int best = -1;
        m_index.Parcours(key, [&](int v) {
            const wchar_t* stored = m_tabFichiers[v].pszName;
            const bool match = bCaseSensitive ? std::wcscmp(stored, key) == 0 : bSameNameI(stored, key);
            if (match && (best < 0 || v < best))
                best = v;
            return true;
        });
        return best;
    };
    CTString name(pszName);
    name.Remplace(L'\\', L'/');
    int found = find(name.pszGet());
    // Names stored with backslashes of their own are found as they are.
    if (found < 0 && name.nPos(L'/') >= 0) {
        name.Remplace(L'/', L'\\');
        found = find(name.pszGet());
    }
    return found < 0 ? VXZIP_ERR_READ : GoToFile(static_cast<uint64_t>(found) + 1);
}

const wchar_t* CWinZip::CurrentFile_szName()
{
    if (m_pCurrent == nullptr)
        return L"";
    m_sCurrentName = m_pCurrent->pszName;
    m_sCurrentName.Remplace(L'/', L'\\');
    return m_sCurrentName.pszGet();
}

_eVXzipResult CWinZip::_CheckCurrentFileCoherencyHeader(uint64_t* pnDataOffset)
{
    _stFICZIP& e = *m_pCurrent;
    *pnDataOffset = 0;
    if (e.oLocalHeader > m_oStreamSize || m_oBytesBefore > m_oStreamSize - e.oLocalHeader)
        return VXZIP_ERR_READ;
    if (!_bSeek(m_oBytesBefore + e.oLocalHeader) || !_bLectBuf(ZIP_LOCAL_SIZE))
        return VXZIP_ERR_READ;
    const unsigned char* h = m_abyHeader;
    if (ZipLE32(h) != ZIP_SIG_LOCAL)
        return VXZIP_ERR_FORMAT;
    const uint32_t version = ZipLE16(h + 4);
    const uint32_t flags = ZipLE16(h + 6);
    const uint32_t method = ZipLE16(h + 8);
    if (method != e.nMethod || (method != ZIP_METHOD_STORED && method != ZIP_METHOD_DEFLATED))
        return VXZIP_ERR_FORMAT;
    const bool descriptor = ((flags | e.nFlags) & ZIP_FLAG_DESCRIPTOR) != 0;
    if (!descriptor && ZipLE32(h + 14) != e.dwCrc)
        return VXZIP_ERR_FORMAT;
    uint64_t sizes[2] = {ZipLE32(h + 22), ZipLE32(h + 18)};  // uncompressed, compressed
    const uint32_t nName = ZipLE16(h + 26);
    const uint32_t nExtra = ZipLE16(h + 28);
    if (nName != e.nNameLength)
        return VXZIP_ERR_FORMAT;

    unsigned char* raw = static_cast<unsigned char*>(std::malloc(nName + nExtra + 1));
    if (raw == nullptr)
        return VXZIP_ERR_MEMORY;
    _eVXzipResult result = VXZIP_OK;
    if (!_bRead(raw, nName + nExtra)) {
        result = VXZIP_ERR_FORMAT;
    } else {
        const bool utf8 = ZipNameIsUTF8(raw, nName, flags, e.nVersionMadeBy);
        const size_t nChars = ZipDecodeText(raw, nName, utf8, nullptr, 0);
        wchar_t* local = std::memchr(raw, 0, nName) == nullptr && nChars <= ZIP_MAX_NAME_CHARS
                             ? pszDecode(raw, nName, utf8, nChars)
                             : nullptr;
        if (local == nullptr || !bSameNameI(local, e.pszName))
            result = VXZIP_ERR_FORMAT;
        std::free(local);
        if (result == VXZIP_OK && (sizes[0] == ZIP_MAX32 || sizes[1] == ZIP_MAX32))
            ZipApplyZip64Extra(raw + nName, nExtra, nullptr, sizes);
    }
    std::free(raw);
    if (result != VXZIP_OK)
        return result;

    uint64_t offset = uint64_t{nName} + nExtra;
    if (e.bEncrypted) {
        unsigned char header[ZIP_CRYPT_HEADER_SIZE];
        if (!_bRead(header, ZIP_CRYPT_HEADER_SIZE))
            return VXZIP_ERR_FORMAT;
        for (unsigned i = 0; i < ZIP_CRYPT_HEADER_SIZE; ++i)
            e.abyCryptHeader[i] = header[i];
        offset += ZIP_CRYPT_HEADER_SIZE;
    }
    const bool compressedOk = sizes[1] == e.oCompressedSize || descriptor || version == 45;
    const bool uncompressedOk = sizes[0] == e.oUncompressedSize || descriptor;
    if (!compressedOk || !uncompressedOk)
        return VXZIP_ERR_FORMAT;
    *pnDataOffset = offset;
    return VXZIP_OK;
}

void CWinZip::_CloseInflate()
{
    if (m_bStreamInit)
        inflateEnd(&m_stream);
    m_bStreamInit = 0;
}

_eVXzipResult CWinZip::OpenCurrentFileInZip()
{
    if (m_pCurrent == nullptr)
        return VXZIP_ERR_NO_CURRENT;
    if (m_bFileOpen)
        CloseCurrentFileInZip();
    if (m_pbyInput == nullptr) {
        m_pbyInput = static_cast<unsigned char*>(std::malloc(INPUT_BUFFER_SIZE));
        if (m_pbyInput == nullptr)
            return VXZIP_ERR_MEMORY;
    }
    uint64_t dataOffset = 0;
    _eVXzipResult result = _CheckCurrentFileCoherencyHeader(&dataOffset);
    if (result != VXZIP_OK)
        return result;
    const _stFICZIP& e = *m_pCurrent;

    std::memset(&m_stream, 0, sizeof m_stream);
    m_bEntryEncrypted = e.bEncrypted;
    if (e.bEncrypted) {
        unsigned char header[ZIP_CRYPT_HEADER_SIZE];
        for (unsigned i = 0; i < ZIP_CRYPT_HEADER_SIZE; ++i)
            header[i] = static_cast<unsigned char>(e.abyCryptHeader[i]);
        m_keys.Init(m_sPassword.pszGet());
        const unsigned char check = CZipCryptKeys::s_byCheckByte(static_cast<uint32_t>(e.nFlags),
                                                                 static_cast<uint32_t>(e.dwDosDate),
                                                                 static_cast<uint32_t>(e.dwCrc));
        if (!m_keys.bCheckHeader(header, check))
            return VXZIP_ERR_BAD_CRYPT;
    }

    // The data must lie inside the file: a size from the archive never
    // sends the reader past it.
    const uint64_t compressed = e.oCompressedSize - (e.bEncrypted ? ZIP_CRYPT_HEADER_SIZE : 0);
    const uint64_t start = e.oLocalHeader + ZIP_LOCAL_SIZE + dataOffset;
    if (start > m_oStreamSize || m_oBytesBefore > m_oStreamSize - start ||
        compressed > m_oStreamSize - start - m_oBytesBefore)
        return VXZIP_ERR_FORMAT;

    m_dwExpectedCrc = static_cast<uint32_t>(e.dwCrc);
    m_dwCrc = 0;
    m_nMethod = e.nMethod;
    if (m_nMethod == ZIP_METHOD_DEFLATED) {
        const int rc = inflateInit2_(&m_stream, -MAX_WBITS, "1.2.5", static_cast<int>(sizeof(z_stream)));
        if (rc != Z_OK)
            return rc == Z_MEM_ERROR ? VXZIP_ERR_MEMORY : VXZIP_ERR_FORMAT;
        m_bStreamInit = 1;
    }
    m_oCompressedLeft = compressed;
    m_oUncompressedLeft = e.oUncompressedSize;
    m_oNextCompressed = start;
    m_bFileOpen = 1;
    return VXZIP_OK;
}

int CWinZip::bReadCurrentFileInZip(void* pBuffer, unsigned nSize, unsigned long* pnCount)
{
    if (pnCount != nullptr)
        *pnCount = 0;
    if (!m_bFileOpen || pBuffer == nullptr)
        return 0;
    const unsigned out = m_oUncompressedLeft < nSize ? static_cast<unsigned>(m_oUncompressedLeft) : nSize;
    unsigned char* dst = static_cast<unsigned char*>(pBuffer);
    unsigned produced = 0;
    while (produced < out) {
        if (m_stream.avail_in == 0 && m_oCompressedLeft > 0) {
            const unsigned want =
                m_oCompressedLeft < INPUT_BUFFER_SIZE ? static_cast<unsigned>(m_oCompressedLeft) : INPUT_BUFFER_SIZE;
            unsigned got = 0;
            if (!_bSeek(m_oBytesBefore + m_oNextCompressed) || !m_pStream->bRead(m_pbyInput, want, &got) || got == 0 ||
                got > want)
                return 0;
            if (m_bEntryEncrypted)
                m_keys.Decrypt(m_pbyInput, got);
            m_oNextCompressed += got;
            m_oCompressedLeft -= got;
            m_stream.next_in = m_pbyInput;
            m_stream.avail_in = got;
        }
        if (m_nMethod == ZIP_METHOD_STORED) {
            if (m_stream.avail_in == 0)
                break;
            const unsigned n = m_stream.avail_in < out - produced ? m_stream.avail_in : out - produced;
            std::memcpy(dst + produced, m_stream.next_in, n);
            m_stream.next_in += n;
            m_stream.avail_in -= n;
            produced += n;
        } else {
            m_stream.next_out = dst + produced;
            m_stream.avail_out = out - produced;
            const int rc = inflate(&m_stream, Z_SYNC_FLUSH);
            produced = out - m_stream.avail_out;
            if (rc == Z_STREAM_END)
                break;
            // Truncated data (Z_BUF_ERROR) is a failure like any other.
            if (rc != Z_OK) {
                if (produced > 0)
                    m_dwCrc = static_cast<uint32_t>(crc32(m_dwCrc, dst, produced));
                m_oUncompressedLeft -= produced;
                return 0;
            }
        }
    }
    if (produced > 0)
        m_dwCrc = static_cast<uint32_t>(crc32(m_dwCrc, dst, produced));
    m_oUncompressedLeft -= produced;
    if (pnCount != nullptr)
        *pnCount = produced;
    return 1;
}

int CWinZip::CloseCurrentFileInZip(int, int)
{
    int result = VXZIP_OK;
    if (m_bFileOpen && m_oUncompressedLeft == 0 && m_dwCrc != m_dwExpectedCrc)
        result = VXZIP_ERR_CRC;
    _CloseInflate();
    m_stream.avail_in = 0;
    m_bFileOpen = 0;
    return result;
}

int CWinZip::bSetPassword(const wchar_t* pszPassword)
{
    if (pszPassword == nullptr) {
        m_sPassword.Vide();
        return 1;
    }
    for (const wchar_t* p = pszPassword; *p != 0; ++p) {
        if (*p <= 0) {
            m_sPassword.Vide();
            return 0;
        }
    }
    m_sPassword = pszPassword;
    return 1;
}

const wchar_t* CWinZip::CurrentFile_szExtZip(unsigned nVolume)
{
    uint64_t volume = nVolume;
    bool last;
    if (nVolume == 0xFFFFFFFF) {
        volume = m_pCurrent != nullptr ? m_pCurrent->nDiskNumberStart : 0;
        last = volume == m_oDiskWithCentralDir;
    } else {
        last = volume >= m_oDiskWithCentralDir;
    }
    if (last)
        m_sExtension = L".zip";
    else
        m_sExtension.printf(L".z%02u", static_cast<unsigned>(volume + 1));
    return m_sExtension.pszGet();
}
