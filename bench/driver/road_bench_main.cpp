// The stand-in host program in its benchmark mode (road_bench.h).
//   road_bench <vxmysql.so> <libstandin_host.so> x|x100|y [--rows N] [--lookups N]
// The server comes from the assignments scripts/mariadb prints, in the
// environment, as for the road; the connection goes over the unix socket.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/driver/road_bench.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: road_bench <vxmysql.so> <libstandin_host.so> x|x100|y [--rows N] [--lookups N]\n");
    return 2;
}

const char* Environment(const char* pszName)
{
    const char* psz = std::getenv(pszName);
    return psz != nullptr ? psz : "";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2 != 0)
        return Usage();
    RoadBenchSettings bench;
    bench.sMeasure = argv[3];
    if (bench.sMeasure != "x" && bench.sMeasure != "x100" && bench.sMeasure != "y")
        return Usage();
    for (int i = 4; i + 1 < argc; i += 2) {
        char* pszEnd = nullptr;
        const long n = std::strtol(argv[i + 1], &pszEnd, 10);
        if (*pszEnd != '\0' || n < 1 || n > 100000000)
            return Usage();
        if (std::strcmp(argv[i], "--rows") == 0)
            bench.nRows = static_cast<uint64_t>(n);
        else if (std::strcmp(argv[i], "--lookups") == 0)
            bench.nLookups = static_cast<int>(n);
        else
            return Usage();
    }
    RoadSettings settings;
    settings.sDriverPath = argv[1];
    settings.sHostPath = argv[2];
    settings.sSocket = Environment("VX_MARIADB_SOCKET");
    settings.sUser = Environment("VX_MARIADB_USER");
    settings.sPassword = Environment("VX_MARIADB_PASSWORD");
    settings.sDatabase = Environment("VX_MARIADB_DATABASE");
    if (settings.sSocket.empty() || settings.sUser.empty() || settings.sDatabase.empty()) {
        std::fprintf(stderr, "road_bench: no server: set the assignments of scripts/mariadb start\n");
        return 2;
    }
    // No row limit for the one-result browse; the default one otherwise.
    if (bench.sMeasure == "x")
        settings.nCacheSize = 0;
    Road road(std::move(settings));
    return RoadBench(road, std::move(bench)).nRun();
}
