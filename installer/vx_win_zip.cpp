#include "installer/vx_win_zip.h"

#include <cwchar>

#include "installer/zip_records.h"

CVXWinZip::CVXWinZip()
{
    m_nTypeArchive = 1;
    m_clZip.SetStream(&m_clFichier);
}

CVXWinZip::~CVXWinZip()
{
    Term();
}

void CVXWinZip::Term()
{
    m_clZip.CloseCurrentFileInZip();
    m_clRepertoire.Vide();
    Lock(0);
    m_clFichier.Close();
    m_bOuvert = 0;
    m_bParDescripteur = 0;
}

bool CVXWinZip::_bRouvre()
{
    return !m_bParDescripteur &&
           m_clFichier.bOpen(m_sNomArchive.pszGet(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                             IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr);
}

_eVXzipResult CVXWinZip::eOuvreArchive(const wchar_t* pszPath, unsigned nFlags, long nOffset)
{
    Term();
    m_sNomArchive = pszPath;
    m_nModeLock = nFlags & 1;
    if (pszPath == nullptr ||
        !m_clFichier.bOpen(pszPath, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr))
        return _eResultat(VXZIP_ERR_OPEN);
    return _eResultat(_eLitArchiveOuverte(nOffset));
}

_eVXzipResult CVXWinZip::eOuvreArchiveFd(int fd, const wchar_t* pszPath)
{
    Term();
    m_sNomArchive = pszPath;
    if (pszPath == nullptr || !m_clFichier.bAttach(fd, pszPath, IXStream::XACCESS_READ))
        return _eResultat(VXZIP_ERR_OPEN);
    m_bParDescripteur = 1;
    const _eVXzipResult e = _eLitArchiveOuverte(0);
    if (e != VXZIP_OK)
        m_bParDescripteur = 0;
    return _eResultat(e);
}

_eVXzipResult CVXWinZip::_eLitArchiveOuverte(long nOffset)
{
    m_oOffset = nOffset < 0 ? 0 : nOffset;
    m_clZip.SetBytesBefore(static_cast<uint64_t>(m_oOffset));
    const _eVXzipResult eZip = m_clZip.OuvreZip(m_sNomArchive.pszGet());
    if (eZip != VXZIP_OK) {
        m_clFichier.Close();
        // The refusals with a reason of their own keep it.
        return eZip == VXZIP_ERR_TOO_MANY || eZip == VXZIP_ERR_DUPLICATE ? eZip : VXZIP_ERR_FORMAT;
    }
    m_bOuvert = 1;
    const _eVXzipResult e = eLitRepertoireMono();
    if (e != VXZIP_OK)
        Term();
    return e;
}

_eVXzipResult CVXWinZip::eLitRepertoireMono()
{
    if (!m_bOuvert)
        return VXZIP_ERR_NOT_OPEN;
    const bool reopened = !m_clFichier.bIsOpen();
    if (reopened && !_bRouvre())
        return VXZIP_ERR_CREATE;
    m_clRepertoire.Vide();
    _eVXzipResult result = VXZIP_OK;
    for (int rc = m_clZip.FirstFile(); rc == VXZIP_OK; rc = m_clZip.NextFile()) {
        const _stFICZIP* z = m_clZip.pstGetCurrentFile();
        const wchar_t* name = m_clZip.CurrentFile_szName();
        // A name ending with a separator is a directory: not listed.
        const size_t n = std::wcslen(name);
        if (n == 0 || name[n - 1] == L'\\' || name[n - 1] == L'/')
            continue;
        const _stXFILETIME t = {static_cast<uint16_t>(z->stDate.tm_year), static_cast<uint16_t>(z->stDate.tm_mon),
                                static_cast<uint16_t>(z->stDate.tm_mday), static_cast<uint16_t>(z->stDate.tm_hour),
                                static_cast<uint16_t>(z->stDate.tm_min),  static_cast<uint16_t>(z->stDate.tm_sec),
                                0};
        CRepEntree entry;
        // The reader refuses encrypted entries shorter than their header.
        const uint64_t compressed = z->oCompressedSize - (z->bEncrypted ? ZIP_CRYPT_HEADER_SIZE : 0);
        entry.bConstruit(name, z->oUncompressedSize, compressed, static_cast<uint32_t>(z->nExternalAttributes), t, t,
                         t);
        entry.SetCrypte(z->bEncrypted, CRepEntree::DIGEST_KIND_MD5, m_clZip.pszGetPassword());
        entry.m_nNumeroZip = m_clZip.nGetCurrentFile();
        if (!m_clRepertoire.bAjouteEntree(entry)) {
            result = VXZIP_ERR_MEMORY;
            break;
        }
    }
    if (reopened)
        m_clFichier.Close();
    return result;
}

void CVXWinZip::Lock(int bOn)
{
    if (m_nModeLock)
        LockLectureEcritureOuvertEnLectureEcriture(bOn);
    else
        LockEcritureOuvertEnLecture(bOn);
}

void CVXWinZip::LockEcritureOuvertEnLecture(int bOn)
{
    if (bOn) {
        // An archive read from a descriptor stays on it.
        if (m_bParDescripteur)
            return;
        m_clFichier.Close();
        _bRouvre();
        m_nModeLock = 0;
    } else {
        // Extraction opens it again when it needs it.
        m_clFichier.Close();
    }
}

void CVXWinZip::LockLectureEcritureOuvertEnLectureEcriture(int bOn)
{
    if (bOn) {
        if (m_bParDescripteur)
            return;
        m_clFichier.Close();
        if (!m_clFichier.bOpen(m_sNomArchive.pszGet(), IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                               IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr))
            m_clFichier.bOpen(m_sNomArchive.pszGet(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                              IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr);
        if (m_clFichier.bIsOpen() && m_clFichier.bLock(1, 1))
            m_bLockPose = 1;
    } else if (m_bLockPose) {
        m_clFichier.bUnlock(1, 1);
        m_clFichier.Close();
        m_bLockPose = 0;
    }
}

_eVXzipResult CVXWinZip::eMotDePasse(const wchar_t* pszPassword)
{
    m_clZip.bSetPassword(pszPassword);
    return _eResultat(VXZIP_OK);
}

_eVXzipResult CVXWinZip::eGetMotDePasse(CXYString<wchar_t>& sPassword)
{
    sPassword.Set(m_clZip.pszGetPassword());
    return _eResultat(VXZIP_OK);
}

_eVXzipResult CVXWinZip::eNiveauCompression(int nLevel)
{
    if (nLevel > 9)
        return _eResultat(VXZIP_ERR_LEVEL);
    m_clZip.SetCompressionLevel(nLevel);
    return _eResultat(VXZIP_OK);
}

_eVXzipResult CVXWinZip::eGetNiveauCompression(int* pnLevel)
{
    if (pnLevel != nullptr)
        *pnLevel = m_clZip.nGetCompressionLevel();
    return _eResultat(VXZIP_OK);
}

int CVXWinZip::bEntete64Bits(int bOn)
{
    const int previous = m_bEntete64;
    m_bEntete64 = bOn;
    m_clZip.SetForceZip64(bOn);
    return previous;
}

void CVXWinZip::vSetNomFicUnicode(int bOn)
{
    m_clZip.SetUnicodeNames(bOn);
}

void CVXWinZip::PosFichier(unsigned, unsigned& nDisk, long& nOffset)
{
    const _stFICZIP* z = m_clZip.pstGetCurrentFile();
    nDisk = z != nullptr ? static_cast<unsigned>(z->nDiskNumberStart) : 0;
    nOffset = static_cast<long>((z != nullptr ? z->oLocalHeader : 0) + static_cast<uint64_t>(m_oOffset));
}

_eVXzipResult CVXWinZip::eVerifieEntete(CDiskFile&)
{
    return _eResultat(VXZIP_OK);
}

_eVXzipResult CVXWinZip::eLitEntete(CDiskFile&)
{
    return _eResultat(VXZIP_OK);
}
