#include "installer/version_block.h"

// Start marker and its zero byte, key/value strings in turn, an empty
// string, end marker. "\\000004E4" is written with the backslash doubled so
// that "\000" is not read as an octal escape.
extern "C" __attribute__((used, retain)) const char gszInstallerVersionBlock[] =
    "VersionInfoMarkStart\0"
    "\\StringFileInfo\\000004E4\\VersionVI\0"
    "80A200029 \0"
    "x  \0"
    "\\StringFileInfo\\000004E4\\FileVersion\0"
    "20.0.1.0\0"
    "\\StringFileInfo\\000004E4\\FileDescription\0"
    "Tarvok - MySQL Installer for Morvat Linux\0"
    "\\StringFileInfo\\000004E4\\Comments\0"
    "Installe le pilote MySQL dans le r\xE9pertoire des programmes de Tarvok.\r\n"
    "A lancer une fois, par l'administrateur (root).\0"
    "\0"
    "VersionInfoMarkEnd";

void KeepVersionBlock()
{
    // A read through a volatile pointer the optimiser cannot drop.
    const char* volatile p = gszInstallerVersionBlock;
    (void)*p;
}
