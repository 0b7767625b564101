// The stand-in host program: walks the host's main road through a built
// vxmysql.so against a MariaDB server and prints every step.
//   standin_road <vxmysql.so> <libstandin_host.so> [--tcp] [--cache-size N]
// The server comes from the assignments scripts/mariadb prints, in the
// environment: VX_MARIADB_SOCKET (or VX_MARIADB_PORT with --tcp),
// VX_MARIADB_USER, VX_MARIADB_PASSWORD and VX_MARIADB_DATABASE.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/host/road/road.h"

namespace {

int Usage(const char* pszProgram)
{
    std::fprintf(stderr, "usage: %s <vxmysql.so> <libstandin_host.so> [--tcp] [--cache-size N]\n", pszProgram);
    return 2;
}

// A whole decimal number from 1 to nMax.
bool bNumber(const char* psz, long nMax, long* pn)
{
    if (psz == nullptr || *psz < '0' || *psz > '9')
        return false;
    errno = 0;
    char* pszEnd = nullptr;
    const long n = std::strtol(psz, &pszEnd, 10);
    if (errno != 0 || *pszEnd != '\0' || n < 1 || n > nMax)
        return false;
    *pn = n;
    return true;
}

const char* Environment(const char* pszName)
{
    const char* psz = std::getenv(pszName);
    return psz != nullptr ? psz : "";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage(argv[0]);
    RoadSettings settings;
    settings.sDriverPath = argv[1];
    settings.sHostPath = argv[2];
    bool bTCP = false;
    for (int i = 3; i < argc; ++i) {
        long n = 0;
        if (std::strcmp(argv[i], "--tcp") == 0)
            bTCP = true;
        else if (std::strcmp(argv[i], "--cache-size") == 0 && i + 1 < argc && bNumber(argv[i + 1], 1L << 30, &n))
            settings.nCacheSize = n, ++i;
        else
            return Usage(argv[0]);
    }
    long nPort = 0;
    if (bTCP) {
        if (!bNumber(Environment("VX_MARIADB_PORT"), 65535, &nPort)) {
            std::fprintf(stderr, "standin_road: VX_MARIADB_PORT is not a port\n");
            return 2;
        }
        settings.nPort = static_cast<unsigned>(nPort);
    } else {
        settings.sSocket = Environment("VX_MARIADB_SOCKET");
    }
    settings.sUser = Environment("VX_MARIADB_USER");
    settings.sPassword = Environment("VX_MARIADB_PASSWORD");
    settings.sDatabase = Environment("VX_MARIADB_DATABASE");
    if ((!bTCP && settings.sSocket.empty()) || settings.sUser.empty() || settings.sDatabase.empty()) {
        std::fprintf(stderr, "standin_road: no server: set the assignments of scripts/mariadb start\n");
        return 2;
    }
    Road road(std::move(settings));
    return road.nRun();
}
