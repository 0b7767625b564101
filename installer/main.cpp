#include <unistd.h>

#include "installer/install_program.h"
#include "installer/version_block.h"

int main(int argc, char** argv)
{
    KeepVersionBlock();
    return nInstallerMain(argc, argv, getuid(), stInstallerPaths{});
}
