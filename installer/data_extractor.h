#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "installer/vx_win_zip.h"
#include "installer/vx_zip_result.h"

class CXError;
class CPlanInstallation;

// Installs the files of the installer's archive into a target directory, each
// with the owner, group and mode of a model file. It runs as root in a
// directory that another user owns, so it never writes through a name:
// the archive is read from a descriptor opened without following a link and
// checked to be root's, the set of final paths is checked whole before
// anything is written (install_plan.h), sub-directories are walked from
// descriptors without following links, and each file is written as a fresh
// private temporary file, given its owner, mode and times, flushed, and only
// then renamed onto its final name. No inode that existed before the run
// has its owner, mode or content changed. SIGTERM, SIGHUP, SIGINT and
// SIGQUIT are held while files are written: one that comes stops the work
// between two files, or before a written file is renamed (its temporary
// file then removed). Every failure is reported on the standard error
// stream, and the first one stops the work.
class CDataExtractor
{
public:
    explicit CDataExtractor(int bLog = 0);
    ~CDataExtractor();

    // The most entries the installer's archive may hold: far above what it
    // holds, and small enough that loading and checking one stays quick.
    static constexpr unsigned MAX_ENTREES = 65535;

    // Opens pszName + ".zip" in the directory of the running executable
    // (its real path, whatever link started it). The archive is read from a
    // descriptor opened without following a link, and must be a regular
    // file of a trusted owner that no one else can write to, in a directory
    // of the same kind (install_trusted_path.h).
    int bInit(const wchar_t* pszName);
    // Opens the archive at that path as it is (for the tests' own archives).
    // Whichever way it is opened, an archive holding more than MAX_ENTREES
    // entries, or two entries of one name, is refused.
    int bOuvre(const wchar_t* pszArchive);
    // Target directory by its name (created when missing; its own mode,
    // owner and group re-applied), then every file entry with the file mode,
    // owner and group. Refuses the whole archive, before writing anything,
    // when its set of paths is refused.
    int bInstall(const wchar_t* pszDirectory, unsigned nDirMode, unsigned nDirUid, unsigned nDirGid,
                 unsigned nFileMode, unsigned nFileUid, unsigned nFileGid);
    // The same into a directory the caller opened and checked (an O_PATH
    // descriptor will do), whose own owner, group and mode are left alone;
    // pszDirectory names it in the messages.
    int bInstallDans(int fdDirectory, const wchar_t* pszDirectory, unsigned nFileMode, unsigned nFileUid,
                     unsigned nFileGid);

    // The largest license text taken: far above any license, small enough
    // to be loaded whole and converted at once.
    static constexpr uint64_t MAX_TAILLE_LICENCE = 1u << 20;

    // The archive's entry "license.txt", read as UTF-8 text into sText. The
    // entry is written to a file of a fresh private directory (mode 0700) of
    // the temporary directory, and both are removed on the way out, whatever
    // happened. The text is read back through the descriptor that was
    // checked and written, never by the file's name again; a file that no
    // longer holds exactly the entry's size and CRC is refused. A missing
    // entry, one above MAX_TAILLE_LICENCE bytes or one that is not
    // well-formed UTF-8 fails; every failure is reported and leaves sText as
    // it was.
    int bLoadLicense(CXYString<wchar_t>& sText);

    // Test seam: called with each target path once its new content is
    // written, before its temporary file is renamed onto it.
    void SetAvantRenommage(void (*pfn)(void*, const wchar_t*), void* pContexte)
    {
        m_pfnAvantRenommage = pfn;
        m_pContexte = pContexte;
    }
    // Test seam: called with the license's temporary file once it is created
    // empty, before the entry is written into it.
    void SetAvantExtractionLicence(void (*pfn)(void*, const wchar_t*), void* pContexte)
    {
        m_pfnAvantExtractionLicence = pfn;
        m_pContexteLicence = pContexte;
    }
    // Test seam: called with the same file once the entry is written into
    // it, before the text is read back.
    void SetAvantRelectureLicence(void (*pfn)(void*, const wchar_t*), void* pContexte)
    {
        m_pfnAvantRelectureLicence = pfn;
        m_pContexteRelecture = pContexte;
    }

    // Directory part of a path, separator kept ("/" for a file at the root,
    // "" without separator); '\' counts as '/'.
    static std::wstring s_sRepertoireDe(const wchar_t* pszPath);

    CVXWinZip& clGetZip() { return m_clZip; }

private:
    int _bOuvreSur(const wchar_t* pszArchive);
    // Reports the result of an opening; 1 when it is 0.
    int _bResultatOuverture(const wchar_t* pszArchive, unsigned nSystemCode, _eVXzipResult eResult) const;
    // The target with its final slash into sCible, and the plan of every
    // file below it; false after reporting a name the system cannot take or
    // a refused plan.
    bool _bPlanifie(const wchar_t* pszDirectory, std::wstring& sCible, CPlanInstallation& plan) const;
    int _bInstallePlan(int fdCible, const std::wstring& sCible, const CPlanInstallation& plan, unsigned nMode,
                       unsigned nUid, unsigned nGid);
    // Installs the entry at that position; aComposants from its checked name.
    int _bInstalFichier(int fdCible, const std::wstring& sCible, unsigned long nPosition,
                        const std::vector<std::string>& aComposants, unsigned nMode, unsigned nUid, unsigned nGid);
    // Opens (creating it 0755 when missing) a sub-directory below fdParent
    // without following a link; -1 with errno set.
    static int _fdSousRepertoire(int fdParent, const char* pszNom);
    // New content under a temporary name, then renamed onto pszNom.
    int _bEcritParTemporaire(int fdParent, const char* pszNom, const std::wstring& sCible, unsigned long nPosition,
                             unsigned nMode, unsigned nUid, unsigned nGid);
    // An empty entry keeps the content of a regular file already there:
    // copied into the temporary file. A file with other names is refused.
    bool _bCopieContenuExistant(int fdParent, const char* pszNom, int fdTemp, const std::wstring& sCible) const;
    // Owner, group, mode (after the owner: chown clears set-id bits) and
    // the entry's times on an open file.
    bool _bAppliqueAttributs(int fd, unsigned long nPosition, unsigned nMode, unsigned nUid, unsigned nGid);

    void _ShowError(const wchar_t* pszPath, unsigned nSystemCode, const CXError& error) const;
    void _ShowErrorZIPSiBesoin(const wchar_t* pszName, unsigned nSystemCode, _eVXzipResult eResult) const;
    void _ShowSystemError(const wchar_t* pszPath, int nErrno) const;
    // A failed extraction of an entry into pszCible: a write failure of the
    // system (a full disk) names the target, any other the entry.
    void _ShowErreurExtraction(const wchar_t* pszEntree, const wchar_t* pszCible, int nErrno,
                               _eVXzipResult eResult) const;
    // Writes the entry at that position into the empty temporary file
    // pszFichier of the private directory fdRepertoire. Returns the file's
    // descriptor (open for reading and writing, at the end of what was
    // written), which the caller closes; -1 after reporting a failure.
    int _fdExtraitDansTemporaire(unsigned long nPosition, int fdRepertoire, const wchar_t* pszFichier);
    // The license entry's bytes read back into pContenu (oTaille of them)
    // from the descriptor fd of the temporary file pszFichier (named in the
    // messages): from its start, exactly oTaille bytes (at most
    // MAX_TAILLE_LICENCE) whose CRC-32 is dwCrc. False after reporting a
    // failure or a file that differs.
    bool _bRelitLicence(int fd, const wchar_t* pszFichier, uint64_t oTaille, uint32_t dwCrc,
                        std::unique_ptr<char[]>& pContenu) const;
    void _ShowPlanRefuse(const CPlanInstallation& plan, int eRefus) const;
    // True, after reporting it, when a stop signal waits.
    bool _bArretDemande(const wchar_t* pszCible) const;

    CVXWinZip m_clZip;
    int m_bLog = 0;
    void (*m_pfnAvantRenommage)(void*, const wchar_t*) = nullptr;
    void* m_pContexte = nullptr;
    void (*m_pfnAvantExtractionLicence)(void*, const wchar_t*) = nullptr;
    void* m_pContexteLicence = nullptr;
    void (*m_pfnAvantRelectureLicence)(void*, const wchar_t*) = nullptr;
    void* m_pContexteRelecture = nullptr;
};
