#pragma once

#include <sys/types.h>

// The runtime's configuration file, where "BINPATH" of section "DEFAULT"
// names its binary directory.
inline constexpr const wchar_t* INSTALLER_CONFIGURATION = L"/etc/Tarvok/MORVAT/20.0/MORVAT.conf";
// The runtime's virtual-machine library, the model for every installed file.
inline constexpr const wchar_t* INSTALLER_VM_LIBRARY = L"vx200vm64.so";
// The archive beside the program: this name + ".zip".
inline constexpr const wchar_t* INSTALLER_ARCHIVE = L"mysql_install";

// Where one run looks. The program passes the fixed ones; nothing on its
// command line or in its environment changes them.
struct stInstallerPaths
{
    const wchar_t* pszConfiguration = INSTALLER_CONFIGURATION;
    // Null: INSTALLER_ARCHIVE + ".zip" in the running program's directory.
    const wchar_t* pszArchive = nullptr;
    // Test seams, null in the program, both given pContexte: called with
    // the resolved binary directory once it is resolved and before anything
    // is opened in it, and with each installed file's path once its new
    // content is written and before it is renamed onto that path.
    void (*pfnApresResolution)(void* pContexte, const wchar_t* pszChemin) = nullptr;
    void (*pfnAvantRenommage)(void* pContexte, const wchar_t* pszChemin) = nullptr;
    void* pContexte = nullptr;
};

// Reads the binary directory (an absolute path), resolves it once and opens
// it from "/" through directories only root can change, opens the
// virtual-machine library in it, and installs the archive there through
// that one descriptor, each file with the library's owner, group and
// permission bits less group and other write. Prints its own failure
// messages; non-zero on success.
int bDoInstall(const stInstallerPaths& paths);
int bDoInstall();

// The whole program: start-up, the check that uidReel is root, the
// installation, the final message, shut-down. 0 on success, -1 otherwise.
// The caller has already cleared the environment (main does, first).
int nInstallerMain(int argc, char** argv, uid_t uidReel, const stInstallerPaths& paths);

// Writes "Internal error " and the system's text, ends the process with 255.
// Nothing installs it.
void SegVHandler(int nSignal);
// Installed for SIGCHLD so that its default action does not apply.
void ChildHandler(int nSignal);
