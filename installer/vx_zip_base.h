#pragma once

#include <pthread.h>

#include <cstdint>

#include "common/system/disk_file.h"
#include "common/text/ct_string.h"
#include "common/text/xy_string.h"
#include "installer/repertoire.h"
#include "installer/vx_zip_result.h"

class CZLBIN;
typedef void* HWND;

// What an archive object holds whatever its kind: the archive name, its
// directory, the last result, the archive file and a recursive lock. The
// accessors by position need a position below the number of entries
// (otherwise they answer 0, "" or a zero time).
class CVXZipBase
{
public:
    using _stXFILETIME = CDiskFile::_stXFILETIME;

    CVXZipBase();
    CVXZipBase(const CVXZipBase&) = delete;
    CVXZipBase& operator=(const CVXZipBase&) = delete;

    // Virtual slots in their order.
    virtual ~CVXZipBase();
    virtual _eVXzipResult eOuvreArchive(const wchar_t* pszPath, unsigned nFlags, long nOffset) = 0;
    virtual void Lock(int bOn) = 0;
    virtual void LockEcritureOuvertEnLecture(int bOn) = 0;
    virtual void LockLectureEcritureOuvertEnLectureEcriture(int bOn) = 0;
    virtual _eVXzipResult eExtraitFichier(const wchar_t* pszEntry, const wchar_t* pszTarget, unsigned long nUnused,
                                          HWND hWnd, int nUnused2, int nFlags) = 0;
    virtual _eVXzipResult eExtraitFichier(const wchar_t* pszEntry, CZLBIN* pBuffer, unsigned long nUnused,
                                          HWND hWnd, int nUnused2) = 0;
    // Number of entries that are not placeholders.
    virtual unsigned long dwNombreFichier();
    virtual int nTypeZip();
    virtual void ForceRepVideAlaFin();
    virtual const wchar_t* pszNomFichier(unsigned long nPosition);
    virtual uint64_t dwTailleOriginale(unsigned long nPosition);
    virtual uint64_t dwTailleCompresse(unsigned long nPosition);
    virtual _stXFILETIME stftLitFtCreation(unsigned long nPosition);
    virtual _stXFILETIME stftLitFtAcces(unsigned long nPosition);
    virtual _stXFILETIME stftLitFtModif(unsigned long nPosition);
    virtual uint32_t dwLitAttribut(unsigned long nPosition);
    virtual int bCrypte(unsigned long nPosition);
    // Position of the name (exact first, then ignoring case), or -1.
    virtual long lRangFichier(const wchar_t* pszName);
    virtual _eVXzipResult eMotDePasse(const wchar_t* pszPassword) = 0;
    virtual _eVXzipResult eGetMotDePasse(CXYString<wchar_t>& sPassword) = 0;
    virtual _eVXzipResult eNiveauCompression(int nLevel) = 0;
    virtual _eVXzipResult eGetNiveauCompression(int* pnLevel) = 0;
    virtual int bEntete64Bits(int bOn) = 0;
    virtual void vSetNomFicUnicode(int bOn) = 0;
    virtual void SetPourcentGlobal(int nPercent);

    // One line of an entry: name, original and compressed size (0: empty
    // field), creation, modification and access time, "H" for attribute bit
    // 31, "+" encrypted or "N"; tab-separated. 1 when the position is not
    // below the number of entries, else 0.
    int eGetInfoFichier(unsigned long nPosition, CTString& sLine);
    int bDebutSectionCritique();
    void FinSectionCritique();

    _eVXzipResult eGetDernierResultat() const { return m_eDernierResultat; }
    const CRepertoire& clGetRepertoire() const { return m_clRepertoire; }
    bool bEstOuvert() const { return m_bOuvert != 0; }

protected:
    _eVXzipResult _eResultat(_eVXzipResult e)
    {
        m_eDernierResultat = e;
        return e;
    }

    CTString m_sNomArchive;
    int m_bEntete64 = 0;
    int m_nModeLock = 0;  // 1 read-write lock, 0 read lock
    int m_bOuvert = 0;
    CRepertoire m_clRepertoire;
    _eVXzipResult m_eDernierResultat = VXZIP_OK;
    CTString m_sCible;
    CDiskFile m_clFichier;
    int m_bLockPose = 0;
    int64_t m_oOffset = 0;
    int m_nTypeArchive = -1;
    int m_nPourcentGlobal = 0;
    pthread_mutex_t m_mutex;
};
