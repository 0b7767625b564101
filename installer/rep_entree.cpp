#include "installer/rep_entree.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "installer/md5.h"
#include "installer/password_bytes.h"

namespace {

// The MD5 digest of the password's bytes; false when memory runs out.
bool bDigest(const wchar_t* pszPassword, unsigned char (&digest)[16])
{
    unsigned n = 0;
    bool failed = false;
    unsigned char* bytes = pbyPasswordBytes(pszPassword, &n, &failed);
    if (failed)
        return false;
    CMD5 md5;
    md5.AddData(bytes, n);
    md5.FinalDigest(digest);
    std::free(bytes);
    return true;
}

}  // namespace

bool CRepEntree::bConstruit(const wchar_t* pszName, uint64_t oOriginal, uint64_t oCompressed, uint32_t dwAttributes,
                            const _stXFILETIME& stCreation, const _stXFILETIME& stModification,
                            const _stXFILETIME& stAccess)
{
    m_sNom = pszName;
    m_oTailleOriginale = oOriginal;
    m_oTailleCompresse = oCompressed;
    m_dwAttributs = dwAttributes;
    m_stCreation = stCreation;
    m_stModification = stModification;
    m_stAcces = stAccess;
    return true;
}

bool CRepEntree::bConstruit(const wchar_t* pszName, const wchar_t* pszFile)
{
    struct stat st;
    int attributes = 0;
    _stXFILETIME time = {};
    if (!CDiskFile::bGetFileStatus(pszFile, &st) || !CDiskFile::bGetFileAttributes(&attributes, pszFile) ||
        !CDiskFile::bGetLastModificationTime(pszFile, &time))
        return false;
    return bConstruit(pszName, static_cast<uint64_t>(st.st_size), 0, static_cast<uint32_t>(attributes), time, time,
                      time);
}

void CRepEntree::SetCrypte(int bEncrypted, int nKind, const wchar_t* pszPassword)
{
    m_bCrypte = bEncrypted ? 1 : 0;
    std::memset(m_abyMdp, 0, sizeof m_abyMdp);
    m_byTypeMdp = 0;
    if (bEncrypted && bDigest(pszPassword, m_abyMdp))
        m_byTypeMdp = static_cast<uint8_t>(nKind);
}

bool CRepEntree::bMdpOK(const wchar_t* pszPassword) const
{
    unsigned char digest[16];
    return bDigest(pszPassword, digest) && std::memcmp(digest, m_abyMdp, sizeof digest) == 0;
}

bool CRepEntree::bEstUnFichierFactice() const
{
    if (m_oTailleCompresse != 0)
        return false;
    const long n = m_sNom.nTaille();
    return n == 0 || m_sNom.cGetChar(n - 1) == L'/' || m_sNom.cGetChar(n - 1) == L'\\';
}
