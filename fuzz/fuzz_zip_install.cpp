// The installer's own path over arbitrary bytes: the archive read from a
// memory file through a descriptor with the installer's reader settings,
// every name checked together as the plan of final paths, and every entry
// extracted through the descriptor path into /dev/null.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <clocale>
#include <cstddef>
#include <cstdint>

#include "installer/data_extractor.h"
#include "installer/install_plan.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int fd = memfd_create("mysql_install.zip", MFD_CLOEXEC);
    if (fd < 0 || devnull < 0)
        return 0;
    for (size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            close(fd);
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    CDataExtractor extracteur(0);
    CVXWinZip& zip = extracteur.clGetZip();
    if (zip.eOuvreArchiveFd(fd, L"/opt/setup/mysql_install.zip") == VXZIP_OK) {
        CPlanInstallation plan;
        plan.eConstruit(zip.clGetRepertoire(), sizeof "/opt/runtime/bin/" - 1);
        for (long i = 0; i < zip.clGetRepertoire().nGetNbEntrees(); ++i)
            zip.eExtraitEntreeFd(static_cast<unsigned long>(i), devnull);
    }
    close(fd);
    return 0;
}
