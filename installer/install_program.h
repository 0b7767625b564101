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
};

// Reads the binary directory, checks the virtual-machine library and the
// directory, installs the archive there. Prints its own failure messages;
// non-zero on success.
int bDoInstall(const stInstallerPaths& paths);
int bDoInstall();

// The whole program: start-up, the check that uidReel is root, the
// installation, the final message, shut-down. 0 on success, -1 otherwise.
int nInstallerMain(int argc, char** argv, uid_t uidReel, const stInstallerPaths& paths);

// Writes "Internal error " and the system's text, ends the process with 255.
// Nothing installs it.
void SegVHandler(int nSignal);
// Installed for SIGCHLD so that its default action does not apply.
void ChildHandler(int nSignal);
