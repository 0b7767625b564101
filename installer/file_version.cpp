#include "installer/file_version.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/system/code_page_conversion.h"
#include "common/system/disk_file.h"
#include "common/text/ct_string.h"

namespace {

constexpr size_t kPlusPetitBloc = 34;

// Markers are put together at run time: literals of them in this code would
// end up in the program's file and be found before the real block.
std::string sMarque(const char* pszGenre, const char* pszFin)
{
    return std::string(pszGenre) + "InfoMark" + pszFin;
}

const unsigned char* pCherche(const unsigned char* p, size_t n, const std::string& s)
{
    if (s.empty() || n < s.size())
        return nullptr;
    return static_cast<const unsigned char*>(memmem(p, n, s.data(), s.size()));
}

unsigned char byMinuscule1252(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

}  // namespace

CFileVersion::~CFileVersion()
{
    _Libere();
}

void CFileVersion::_Libere()
{
    free(m_pbyBloc);
    m_pbyBloc = nullptr;
    m_nTaille = 0;
}

bool CFileVersion::bLoad(const wchar_t* pszPath)
{
    return _bLoad(pszPath, sMarque("Version", "Start").c_str(), sMarque("Version", "End").c_str());
}

bool CFileVersion::_bLoad(const wchar_t* pszPath, const char* pszStart, const char* pszEnd)
{
    _Libere();
    const int fd = CDiskFile::Unix_open(pszPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        close(fd);
        return false;
    }
    const size_t nFichier = static_cast<size_t>(st.st_size);
    void* pMap = mmap(nullptr, nFichier, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (pMap == MAP_FAILED)
        return false;
    const unsigned char* const pDebut = static_cast<const unsigned char*>(pMap);
    const unsigned char* const pFin = pDebut + nFichier;
    const std::string sDebut(pszStart, strlen(pszStart) + 1);  // with its zero byte
    const std::string sFin(pszEnd);
    const unsigned char* p = pDebut;
    bool bTrouve = false;
    while (!bTrouve) {
        const unsigned char* pMarque = pCherche(p, static_cast<size_t>(pFin - p), sDebut);
        if (pMarque == nullptr)
            break;
        const unsigned char* pBloc = pMarque + sDebut.size();
        const unsigned char* pMarqueFin = pCherche(pBloc, static_cast<size_t>(pFin - pBloc), sFin);
        if (pMarqueFin == nullptr)
            break;
        const size_t n = static_cast<size_t>(pMarqueFin - pBloc);
        if (n > kPlusPetitBloc) {
            m_pbyBloc = static_cast<char*>(malloc(n + 1));
            if (m_pbyBloc != nullptr) {
                memcpy(m_pbyBloc, pBloc, n);
                m_pbyBloc[n] = '\0';
                m_nTaille = n;
                bTrouve = true;
            }
            break;
        }
        p = pBloc;
    }
    munmap(pMap, nFichier);
    return bTrouve;
}

bool CFileVersion::bGetBinaryValue(const wchar_t* pszKey, void** ppValue, unsigned* pnLength) const
{
    if (m_pbyBloc == nullptr || pszKey == nullptr)
        return false;
    CTString sCle(pszKey);
    // The key in code page 1252, as the block holds it.
    std::string sCle1252;
    for (const wchar_t* p = sCle.pszGet(); *p != L'\0'; ++p) {
        char c = '?';
        if (WideCharToMultiByte(1252, 0, p, 1, &c, 1, nullptr, nullptr) != 1)
            return false;
        sCle1252 += c;
    }
    if (sCle1252.empty())
        return false;
    const size_t nCle = sCle1252.size();
    const unsigned char* const pBloc = reinterpret_cast<const unsigned char*>(m_pbyBloc);
    for (size_t i = 0; i + nCle < m_nTaille; ++i) {
        // The whole zero-terminated text at i must be the key.
        size_t j = 0;
        while (j < nCle && byMinuscule1252(pBloc[i + j]) ==
                               byMinuscule1252(static_cast<unsigned char>(sCle1252[j])))
            ++j;
        if (j != nCle || pBloc[i + nCle] != 0)
            continue;
        const size_t nValeur = i + nCle + 1;
        if (nValeur >= m_nTaille)
            return false;
        if (ppValue != nullptr)
            *ppValue = m_pbyBloc + nValeur;
        if (pnLength != nullptr)
            *pnLength = static_cast<unsigned>(strnlen(m_pbyBloc + nValeur, m_nTaille - nValeur));
        return true;
    }
    return false;
}

bool CFileVersion::bGetStringValue(const wchar_t* pszKey, CXYString<wchar_t>& sValue) const
{
    void* p = nullptr;
    unsigned n = 0;
    if (!bGetBinaryValue(pszKey, &p, &n))
        return false;
    return sValue.__nConversion(static_cast<const char*>(p), static_cast<int>(n), 0, 1252, 0, nullptr) == 0;
}

bool CFileRessource::bLoad(const wchar_t* pszPath)
{
    return _bLoad(pszPath, sMarque("Resource", "Start").c_str(), sMarque("Resource", "End").c_str());
}

bool CFileRessource::bLoadResource(unsigned nId, void** ppValue, unsigned* pnLength) const
{
    wchar_t szCle[64];
    swprintf(szCle, 64, L"\\Resource\\%u", nId);
    return bGetBinaryValue(szCle, ppValue, pnLength);
}
