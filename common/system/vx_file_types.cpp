// File types and product codes of the typed files.
#include "common/system/disk_file.h"
#include "common/system/vx_file.h"

namespace {

struct stTypeRange
{
    uint32_t dwFirst;
    uint32_t dwLast;
};

constexpr stTypeRange kKnownTypes[] = {
    {1, 0x10007},           {0x60001, 0x60001},   {0x70001, 0x70006},   {0x80001, 0x80002},
    {0xA0001, 0xA0001},     {0xB0001, 0xB0005},   {0xC0001, 0xC0005},   {0xD0001, 0xD0004},
    {0xE0001, 0xE0003},     {0xF0001, 0xF0002},   {0x100001, 0x100002}, {0x110001, 0x110005},
    {0x120001, 0x120001},   {0x130001, 0x130001}, {0x160001, 0x160001},
};

// The first 20 bytes of an open stream.
bool bReadRawHeader(IXStream* pStream, _stENTETE_FICHIER_QUILAN* pHeader)
{
    unsigned nRead = 0;
    return pStream->bRead(int64_t{0}, pHeader, sizeof *pHeader, &nRead) && nRead == sizeof *pHeader;
}

}  // namespace

bool CVXFile::s_bIsProjet(uint32_t dwType)
{
    return dwType == 1 || dwType == 257 || dwType == 4097 || dwType == 0x10001;
}

bool CVXFile::bIdReconnu(uint32_t dwType)
{
    for (const stTypeRange& r : kKnownTypes)
        if (dwType >= r.dwFirst && dwType <= r.dwLast) return true;
    return false;
}

const wchar_t* CVXFile::s_pszVerNomProduit(uint8_t byCode)
{
    switch (byCode) {
    case 6: return L"Quilan Mobile";
    case 15: return L"RA Zizov";
    case 20: return L"VXEtat Utilisateur";
    case 30: return L"Morvat";
    default: return L"Quilan";
    }
}

uint8_t CVXFile::byGetCodeProduit(const wchar_t* pszName)
{
    if (pszName == nullptr || !CDiskFile::bExist(pszName)) return 0;
    CDiskFile file;
    _stENTETE_FICHIER_QUILAN stHeader;
    if (!file.bOpen(pszName, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                    IXStream::XFLAG_NONE, nullptr) ||
        !bReadRawHeader(&file, &stHeader))
        return 0;
    return stHeader.byCodeProduit;
}

uint32_t CVXFile::dwIdFichierInconnu(IXStream* pStream, const wchar_t* pszName)
{
    if (pStream == nullptr) return 0xFFFFFFFF;
    if (pszName != nullptr && !pStream->bOpen(pszName, IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                                              IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr))
        return 0xFFFFFFFF;
    _stENTETE_FICHIER_QUILAN stHeader;
    if (!bReadRawHeader(pStream, &stHeader) || stHeader.dwSignature != SIGNATURE) return 0;
    return stHeader.dwTypeFichier;
}

uint32_t CVXFile::dwIdFichierInconnu(const wchar_t* pszName)
{
    CDiskFile file;
    return dwIdFichierInconnu(&file, pszName);
}
