#pragma once

#include <string>
#include <vector>

#include "installer/vx_win_zip.h"
#include "installer/vx_zip_result.h"

class CXError;

// Installs the files of the installer's archive into a target directory, each
// with the owner, group and mode of a model file. It runs as root in a
// directory that another user owns, so it never writes through a name:
// every entry name is checked before anything is written, sub-directories
// are walked from descriptors without following links, and each file is
// written as a fresh private temporary file, given its owner, mode and times,
// flushed, and only then renamed onto its final name. Every failure is
// reported on the standard error stream, and the first one stops the work.
class CDataExtractor
{
public:
    explicit CDataExtractor(int bLog = 0) : m_bLog(bLog) {}

    // Opens pszName + ".zip" in the directory of the running executable
    // (its real path, whatever link started it).
    int bInit(const wchar_t* pszName);
    // Opens the archive at that path (bInit's second half).
    int bOuvre(const wchar_t* pszArchive);
    // Target directory (created when missing; its own mode, owner and group
    // re-applied), then every file entry with the file mode, owner and group.
    // Refuses the whole archive, before writing anything, when one entry
    // name could leave the directory or a path would be too long.
    int bInstall(const wchar_t* pszDirectory, unsigned nDirMode, unsigned nDirUid, unsigned nDirGid,
                 unsigned nFileMode, unsigned nFileUid, unsigned nFileGid);

    // Directory part of a path, separator kept ("/" for a file at the root,
    // "" without separator); '\' counts as '/'.
    static std::wstring s_sRepertoireDe(const wchar_t* pszPath);

    CVXWinZip& clGetZip() { return m_clZip; }

private:
    // Installs the entry at that position; aComposants from its checked name.
    int _bInstalFichier(int fdCible, const std::wstring& sCible, unsigned long nPosition,
                        const std::vector<std::string>& aComposants, unsigned nMode, unsigned nUid, unsigned nGid);
    // Opens (creating it 0755 when missing) a sub-directory below fdParent
    // without following a link; -1 with errno set.
    static int _fdSousRepertoire(int fdParent, const char* pszNom);
    // New content under a temporary name, then renamed onto pszNom.
    int _bEcritParTemporaire(int fdParent, const char* pszNom, const std::wstring& sCible, unsigned long nPosition,
                             unsigned nMode, unsigned nUid, unsigned nGid);
    // Owner, group, mode (after the owner: chown clears set-id bits) and
    // the entry's times on an open file.
    bool _bAppliqueAttributs(int fd, unsigned long nPosition, unsigned nMode, unsigned nUid, unsigned nGid);

    void _ShowError(const wchar_t* pszPath, unsigned nSystemCode, const CXError& error) const;
    void _ShowErrorZIPSiBesoin(const wchar_t* pszName, unsigned nSystemCode, _eVXzipResult eResult) const;
    void _ShowSystemError(const wchar_t* pszPath, int nErrno) const;

    CVXWinZip m_clZip;
    int m_bLog = 0;
};
