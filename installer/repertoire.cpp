#include "installer/repertoire.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <new>

#include "common/system/disk_file.h"
#include "common/text/cp1252.h"
#include "installer/zip_records.h"

namespace {

// Fixed part of a serialised record: length, two sizes, three times,
// attribute word.
constexpr uint32_t kRecordFixed = 40;
// After the name: its 0 byte, the reserved and digest-kind bytes, the digest.
constexpr uint32_t kRecordTail = 19;
// The longest name a record may carry (code page 1252, one byte a character).
constexpr uint32_t kMaxRecordName = 259;

}  // namespace

CRepertoire::CRepertoire() : m_tabEntrees(1024)
{
}

CRepertoire::~CRepertoire()
{
    Vide();
}

void CRepertoire::Vide()
{
    m_index.SupprimeTout();
    for (int i = 0; i < m_tabEntrees.nGetNbElement(); ++i)
        delete m_tabEntrees[i];
    m_tabEntrees.SupprimeToutEtLibere();
    m_nNbFichiers = 0;
}

CRepEntree* CRepertoire::pclGetEntree(long nPosition) const
{
    if (nPosition < 0 || nPosition >= m_tabEntrees.nGetNbElement())
        return nullptr;
    return m_tabEntrees[static_cast<int>(nPosition)];
}

long CRepertoire::lRang(const wchar_t* pszName, int bCaseSensitive) const
{
    if (pszName == nullptr)
        return -1;
    long first = -1;
    if (!const_cast<CTHashTableTi<long>&>(m_index).bTrouve(pszName, &first))
        return -1;
    for (long p = first; p >= 0; p = m_tabEntrees[static_cast<int>(p)]->m_lSuivantMemeNom)
        if (std::wcscmp(m_tabEntrees[static_cast<int>(p)]->pszNom(), pszName) == 0)
            return p;
    return bCaseSensitive ? -1 : first;
}

bool CRepertoire::_bIndexe(long nPosition)
{
    CRepEntree* entry = m_tabEntrees[static_cast<int>(nPosition)];
    entry->m_lSuivantMemeNom = -1;
    entry->m_lDernierMemeNom = static_cast<int32_t>(nPosition);
    long first = -1;
    if (!m_index.bTrouve(entry->pszNom(), &first))
        return m_index.bAjoute(entry->pszNom(), nPosition) != 0;
    // The chain's head knows its end: a long chain of one name costs one
    // step per entry, not a walk.
    CRepEntree* head = m_tabEntrees[static_cast<int>(first)];
    m_tabEntrees[head->m_lDernierMemeNom]->m_lSuivantMemeNom = static_cast<int32_t>(nPosition);
    head->m_lDernierMemeNom = static_cast<int32_t>(nPosition);
    return true;
}

bool CRepertoire::_bRecalculeHash()
{
    m_index.SupprimeTout();
    for (long i = 0; i < m_tabEntrees.nGetNbElement(); ++i)
        if (!_bIndexe(i))
            return false;
    return true;
}

bool CRepertoire::_bAjouteEntree(CRepEntree* pEntry)
{
    if (pEntry == nullptr)
        return false;
    if (!m_tabEntrees.Ajoute(pEntry)) {
        delete pEntry;
        return false;
    }
    if (!pEntry->bEstUnFichierFactice())
        ++m_nNbFichiers;
    // Entries live on the heap: a larger array moves no name, so the
    // index only takes the new one.
    if (!_bIndexe(m_tabEntrees.nGetNbElement() - 1)) {
        SupprimeElement(m_tabEntrees.nGetNbElement() - 1);
        return false;
    }
    return true;
}

bool CRepertoire::bAjouteEntree(const CRepEntree& entry)
{
    return _bAjouteEntree(new (std::nothrow) CRepEntree(entry));
}

bool CRepertoire::bCreeEntree(const wchar_t* pszName, uint64_t oOriginal, uint64_t oCompressed,
                              uint32_t dwAttributes, int bEncrypted, const wchar_t* pszPassword)
{
    CRepEntree* entry = new (std::nothrow) CRepEntree;
    if (entry == nullptr)
        return false;
    const time_t now = std::time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    CRepEntree::_stXFILETIME t = {static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
                                  static_cast<uint16_t>(local.tm_mday),         static_cast<uint16_t>(local.tm_hour),
                                  static_cast<uint16_t>(local.tm_min),          static_cast<uint16_t>(local.tm_sec),
                                  0};
    entry->bConstruit(pszName, oOriginal, oCompressed, dwAttributes, t, t, t);
    entry->SetCrypte(bEncrypted, CRepEntree::DIGEST_KIND_MD5, pszPassword);
    return _bAjouteEntree(entry);
}

void CRepertoire::SupprimeElement(long nPosition)
{
    CRepEntree* entry = pclGetEntree(nPosition);
    if (entry == nullptr)
        return;
    if (!entry->bEstUnFichierFactice())
        --m_nNbFichiers;
    delete entry;
    m_tabEntrees.Supprime(static_cast<int>(nPosition), 1);
    _bRecalculeHash();
}

bool CRepertoire::bChangeChemin(long nPosition, const wchar_t* pszName)
{
    CRepEntree* entry = pclGetEntree(nPosition);
    if (entry == nullptr)
        return false;
    const bool wasFile = !entry->bEstUnFichierFactice();
    entry->SetNom(pszName);
    m_nNbFichiers += (entry->bEstUnFichierFactice() ? 0 : 1) - (wasFile ? 1 : 0);
    return _bRecalculeHash();
}

void CRepertoire::ForceRepVideAlaFin()
{
    // In place, so that no entry can be lost to a failed allocation.
    CRepEntree** first = m_tabEntrees.pGetData();
    std::stable_partition(first, first + m_tabEntrees.nGetNbElement(),
                          [](const CRepEntree* e) { return !e->bEstUnFichierFactice(); });
    _bRecalculeHash();
}

uint64_t CRepertoire::dwTaille() const
{
    uint64_t size = 4;
    for (int i = 0; i < m_tabEntrees.nGetNbElement(); ++i)
        size += static_cast<uint64_t>(m_tabEntrees[i]->m_sNom.nTaille()) + kRecordFixed + kRecordTail;
    return size;
}

_eVXzipResult CRepertoire::eEcrit(CDiskFile& file) const
{
    unsigned char head[4];
    ZipPut32(head, static_cast<uint32_t>(m_tabEntrees.nGetNbElement()));
    if (!file.bWrite(head, 4, nullptr))
        return VXZIP_ERR_READ;
    for (int i = 0; i < m_tabEntrees.nGetNbElement(); ++i) {
        const CRepEntree& e = *m_tabEntrees[i];
        // The record keeps 32-bit sizes and 8-bit names.
        if (e.m_oTailleOriginale > UINT32_MAX || e.m_oTailleCompresse > UINT32_MAX)
            return VXZIP_ERR_OPEN;
        const long nName = e.m_sNom.nTaille();
        if (nName > static_cast<long>(kMaxRecordName))
            return VXZIP_ERR_OPEN;
        unsigned char record[kRecordFixed + kMaxRecordName + kRecordTail];
        for (long c = 0; c < nName; ++c) {
            unsigned char b = 0;
            if (!STR_bIsCp1252(e.m_sNom.cGetChar(c), &b) || b == '?' || b == 0)
                return VXZIP_ERR_OPEN;
            record[kRecordFixed + c] = b;
        }
        const uint32_t length = static_cast<uint32_t>(nName) + kRecordFixed + kRecordTail;
        ZipPut32(record, length);
        ZipPut32(record + 4, static_cast<uint32_t>(e.m_oTailleOriginale));
        ZipPut32(record + 8, static_cast<uint32_t>(e.m_oTailleCompresse));
        const CRepEntree::_stXFILETIME* times[3] = {&e.m_stCreation, &e.m_stModification, &e.m_stAcces};
        for (int t = 0; t < 3; ++t) {
            FILETIME ft = {};
            CDiskFile::bSystemTimeToFileTime(times[t], &ft);
            ZipPut32(record + 12 + 8 * t, ft.dwLowDateTime);
            ZipPut32(record + 16 + 8 * t, ft.dwHighDateTime);
        }
        ZipPut32(record + 36, e.m_dwAttributs);
        unsigned char* tail = record + kRecordFixed + nName;
        tail[0] = 0;
        tail[1] = e.m_byReserve;
        tail[2] = e.m_byTypeMdp;
        std::memcpy(tail + 3, e.m_abyMdp, 16);
        if (!file.bWrite(record, length, nullptr))
            return VXZIP_ERR_READ;
    }
    return VXZIP_OK;
}

bool CRepertoire::bLit(CDiskFile& file)
{
    Vide();
    unsigned char head[4];
    unsigned got = 0;
    if (!file.bRead(head, 4, &got) || got != 4)
        return false;
    const uint32_t count = ZipLE32(head);
    for (uint32_t i = 0; i < count; ++i) {
        unsigned char record[kRecordFixed + kMaxRecordName + kRecordTail];
        if (!file.bRead(record, 4, &got) || got != 4)
            return false;
        const uint32_t length = ZipLE32(record);
        // At least the fixed part, at most the longest name and its tail.
        if (length < kRecordFixed || length > sizeof record)
            return false;
        if (!file.bRead(record + 4, length - 4, &got) || got != length - 4)
            return false;
        CRepEntree e;
        e.m_oTailleOriginale = ZipLE32(record + 4);
        e.m_oTailleCompresse = ZipLE32(record + 8);
        CRepEntree::_stXFILETIME* times[3] = {&e.m_stCreation, &e.m_stModification, &e.m_stAcces};
        for (int t = 0; t < 3; ++t) {
            FILETIME ft = {ZipLE32(record + 12 + 8 * t), ZipLE32(record + 16 + 8 * t)};
            CDiskFile::bFileTimeToSystemTime(&ft, times[t]);
        }
        e.m_dwAttributs = ZipLE32(record + 36);
        const unsigned char* rest = record + kRecordFixed;
        const uint32_t nRest = length - kRecordFixed;
        const unsigned char* zero = static_cast<const unsigned char*>(std::memchr(rest, 0, nRest));
        uint32_t nName = nRest;
        if (zero != nullptr) {
            nName = static_cast<uint32_t>(zero - rest);
            if (nRest - nName != kRecordTail)
                return false;
            e.m_byReserve = zero[1];
            e.m_byTypeMdp = zero[2];
            std::memcpy(e.m_abyMdp, zero + 3, 16);
            e.m_bCrypte = e.m_byTypeMdp != 0;
        } else if (nName > kMaxRecordName) {
            return false;
        }
        wchar_t name[kMaxRecordName + kRecordTail + 1];
        for (uint32_t c = 0; c < nName; ++c)
            name[c] = STR_FromCP1252(rest[c]);
        name[nName] = 0;
        e.SetNom(name);
        if (!bAjouteEntree(e))
            return false;
    }
    return true;
}
