#include "installer/zip_entry.h"

#include "installer/code_page_tables.h"
#include "installer/zip_records.h"

_sTMDATE ZipDosDateToTm(uint32_t d)
{
    _sTMDATE tm;
    tm.tm_sec = 2 * (d & 0x1F);
    tm.tm_min = (d >> 5) & 0x3F;
    tm.tm_hour = (d >> 11) & 0x1F;
    tm.tm_mday = (d >> 16) & 0x1F;
    tm.tm_mon = (d >> 21) & 0x0F;
    tm.tm_year = 1980 + ((d >> 25) & 0x7F);
    return tm;
}

uint32_t ZipTmToDosDate(const _sTMDATE& tm)
{
    // Seven bits of year: a later year is held at 2107 rather than wrapped
    // round to 1980 and after.
    const uint32_t year = tm.tm_year < 1980 ? 0 : tm.tm_year > 2107 ? 127 : tm.tm_year - 1980;
    return (tm.tm_sec / 2 & 0x1F) | (tm.tm_min & 0x3F) << 5 | (tm.tm_hour & 0x1F) << 11 | (tm.tm_mday & 0x1F) << 16 |
           (tm.tm_mon & 0x0F) << 21 | year << 25;
}

namespace {

// One UTF-8 sequence at p (n bytes left); *pUsed its length. An invalid,
// overlong or cut sequence gives '?' for its first byte.
wchar_t DecodeUTF8(const unsigned char* p, size_t n, size_t* pUsed)
{
    const unsigned char b = p[0];
    *pUsed = 1;
    size_t len;
    uint32_t c, min;
    if (b < 0x80)
        return b;
    if ((b & 0xE0) == 0xC0) {
        len = 2, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, c = b & 0x07, min = 0x10000;
    } else {
        return L'?';
    }
    if (n < len)
        return L'?';
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return L'?';
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return L'?';
    *pUsed = len;
    return static_cast<wchar_t>(c);
}

}  // namespace

bool ZipIsValidUTF8(const unsigned char* pRaw, size_t n)
{
    for (size_t i = 0; i < n;) {
        size_t used;
        if (DecodeUTF8(pRaw + i, n - i, &used) == L'?' && pRaw[i] != '?')
            return false;
        i += used;
    }
    return true;
}

bool ZipNameIsUTF8(const unsigned char* pRaw, size_t n, uint64_t nFlags, uint64_t nVersionMadeBy)
{
    if (nFlags & ZIP_FLAG_UTF8)
        return true;
    return (nVersionMadeBy >> 8) == 3 && ZipIsValidUTF8(pRaw, n);
}

size_t ZipDecodeText(const unsigned char* pRaw, size_t n, bool bUTF8, wchar_t* pszOut, size_t nCapacity)
{
    size_t count = 0;
    for (size_t i = 0; i < n;) {
        wchar_t c;
        if (bUTF8) {
            size_t used;
            c = DecodeUTF8(pRaw + i, n - i, &used);
            i += used;
        } else {
            c = static_cast<wchar_t>(gstCpTable437.pCp2Uni[pRaw[i]]);
            ++i;
        }
        if (pszOut != nullptr && count + 1 < nCapacity)
            pszOut[count] = c;
        ++count;
    }
    if (pszOut != nullptr && nCapacity > 0)
        pszOut[count < nCapacity ? count : nCapacity - 1] = 0;
    return count;
}

void ZipDecodeCentralHeader(const unsigned char* p, _stFICZIP& e)
{
    e.nVersionMadeBy = ZipLE16(p + 4);
    e.nVersionNeeded = ZipLE16(p + 6);
    e.nFlags = ZipLE16(p + 8);
    e.nMethod = ZipLE16(p + 10);
    e.dwDosDate = ZipLE32(p + 12);
    e.stDate = ZipDosDateToTm(static_cast<uint32_t>(e.dwDosDate));
    e.dwCrc = ZipLE32(p + 16);
    e.oCompressedSize = ZipLE32(p + 20);
    e.oUncompressedSize = ZipLE32(p + 24);
    e.nNameLength = ZipLE16(p + 28);
    e.nExtraLength = ZipLE16(p + 30);
    e.nCommentLength = ZipLE16(p + 32);
    e.nDiskNumberStart = ZipLE16(p + 34);
    e.nInternalAttributes = ZipLE16(p + 36);
    e.nExternalAttributes = ZipLE32(p + 38);
    e.oLocalHeader = ZipLE32(p + 42);
    // Entries of other systems carry no Unix permission bits: they get
    // read-write for everybody, added to the field as it is.
    if ((e.nVersionMadeBy >> 8) != 3)
        e.nExternalAttributes += 0666;
    e.bEncrypted = (e.nFlags & ZIP_FLAG_ENCRYPTED) != 0;
    e.bUTF8 = (e.nFlags & ZIP_FLAG_UTF8) != 0;
    e.oExtractOffset = e.oLocalHeader;
}

bool ZipApplyZip64Extra(const unsigned char* pExtra, size_t n, _stFICZIP* pEntry, uint64_t* pLocalSizes)
{
    size_t at = 0;
    while (n - at >= 4) {
        const uint32_t id = ZipLE16(pExtra + at);
        size_t size = ZipLE16(pExtra + at + 2);
        const unsigned char* data = pExtra + at + 4;
        if (size > n - at - 4)
            size = n - at - 4;
        at += 4 + size;
        if (id != ZIP_EXTRA_ZIP64)
            continue;
        size_t used = 0;
        auto take = [&](uint64_t& field) {
            if (field == ZIP_MAX32 && size - used >= 8) {
                field = ZipLE64(data + used);
                used += 8;
            }
        };
        if (pLocalSizes != nullptr) {
            take(pLocalSizes[0]);
            take(pLocalSizes[1]);
        } else {
            take(pEntry->oUncompressedSize);
            take(pEntry->oCompressedSize);
            take(pEntry->oLocalHeader);
            if (pEntry->nDiskNumberStart == 0xFFFF && size - used >= 4)
                pEntry->nDiskNumberStart = ZipLE32(data + used);
            pEntry->oExtractOffset = pEntry->oLocalHeader;
        }
        return true;
    }
    return false;
}
