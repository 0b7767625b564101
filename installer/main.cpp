#include <unistd.h>

#include <cstdlib>

#include "installer/install_program.h"
#include "installer/version_block.h"

int main(int argc, char** argv)
{
    // The caller's environment must not reach a program that runs as root:
    // locale paths and converter modules would load code of the caller's
    // choice, TZ would change installed times. Nothing has read it yet.
    clearenv();
    setenv("PATH", "/usr/sbin:/usr/bin:/sbin:/bin", 1);
    KeepVersionBlock();
    return nInstallerMain(argc, argv, getuid(), stInstallerPaths{});
}
