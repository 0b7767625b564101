// Loads the driver the way the runtime does, starts it through its Execution
// entry with the stand-in host module, shows what the host was asked, and
// ends it again.
//   standin_demo <vxmysql.so> <libstandin_host.so>
#include <dlfcn.h>

#include <cstdio>

#include "tests/host/module/standin_host_loader.h"

namespace {

// The record of the start-up command, as the host fills it.
struct StartupRecord
{
    uint64_t size;
    void* hostModule;
    uint32_t usage1;
    uint32_t usage2;
    void* libShop;
};

const char* ServiceName(int index)
{
    static const char* const kNames[kStandinHostIndexCount] = {
        "?", "product code", "internal language", "product name", "options", "real product code",
        "uses .NET", "ILibShop", "active version", "global factory", "topology collector",
        "smartphone mode", "locale interface", "string allocator", "multithread flag",
        "component information"};
    return index >= 0 && index < kStandinHostIndexCount ? kNames[index] : "?";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <vxmysql.so> <libstandin_host.so>\n", argv[0]);
        return 2;
    }
    void* driver = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (driver == nullptr) {
        std::fprintf(stderr, "cannot load the driver: %s\n", dlerror());
        return 1;
    }
    using ExecutionFn = int (*)(unsigned int, void*);
    auto execution = reinterpret_cast<ExecutionFn>(dlsym(driver, "Execution"));
    if (execution == nullptr) {
        std::fprintf(stderr, "the driver exports no Execution entry\n");
        return 1;
    }
    StandinHostModule host(argv[2]);
    if (!host.IsLoaded()) {
        std::fprintf(stderr, "cannot load the stand-in host: %s\n", host.Error().c_str());
        return 1;
    }
    host.Reset();

    StartupRecord record{sizeof(StartupRecord), host.Handle(), 1, 0, nullptr};
    const int started = execution(3985, &record);
    std::printf("driver started by the stand-in host: Execution(3985) answered %d\n", started);
    const std::vector<int> queries = host.Queries();
    std::printf("the host was asked for %zu services:\n", queries.size());
    for (int index : queries)
        std::printf("  %2d  %s\n", index, ServiceName(index));

    const int ended = execution(4875, nullptr);
    std::printf("driver ended: Execution(4875) answered %d\n", ended);

    bool allocatorAsked = false;
    for (int index : queries)
        allocatorAsked = allocatorAsked || index == 13;
    return started == 1 && ended == 1 && allocatorAsked ? 0 : 1;
}
