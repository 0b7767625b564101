// The host module's own Execution entry: (3053, index) answers the host's
// services from a table; (3052, 0) and (3184, record) are recorded. Every call
// is logged. Tests drive it through the standin_host_* controls.
#include <cstdint>
#include <mutex>
#include <vector>

#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/module/host_controls.h"
#include "tests/host/module/host_global_factory.h"

namespace {

// Distinct objects standing for host interfaces the module only stores. The
// module must never call through them; their bytes are no virtual table.
struct Sentinel
{
    char name[32];
};
Sentinel gLibShop{"standin ILibShop"};
Sentinel gTopologyCollector{"standin topology collector"};
Sentinel gComponentInformation{"standin component information"};

std::mutex gMutex;
std::vector<StandinHostCall> gLog;
std::vector<StandinStackRecord> gStackRecords;
int64_t gAnswers[kStandinHostIndexCount];
int64_t gStackAnswer = 0;
const uint32_t* gWatched[kStandinUnloadWatchCount];
int64_t gWatchSeen[kStandinUnloadWatchCount];
bool gAnswersSet = false;
StandinStrMemAlloc gAllocator;
StandinGlobalFactory gFactory;
StandinInfoLocale gInfoLocale;

template <typename T>
int64_t Address(T* p)
{
    return reinterpret_cast<intptr_t>(p);
}

void DefaultAnswersLocked()
{
    for (auto& a : gAnswers)
        a = 0;
    gAnswers[1] = 101;             // product code of the execution
    gAnswers[2] = 7;               // internal language
    static const wchar_t kProduct[] = L"Standin";
    gAnswers[3] = Address(kProduct);
    gAnswers[4] = 0x1122334455667788ll;
    gAnswers[5] = 105;             // real product code
    gAnswers[7] = Address(&gLibShop);
    gAnswers[8] = 26;              // active version
    gAnswers[9] = Address(static_cast<IGlobalFactory*>(&gFactory));
    gAnswers[10] = Address(&gTopologyCollector);
    gAnswers[12] = Address(static_cast<IInfoLocale*>(&gInfoLocale));
    gAnswers[13] = Address(static_cast<IStrMemAlloc*>(&gAllocator));
    static int multithread = 1;
    gAnswers[14] = Address(&multithread);
    gAnswers[15] = Address(&gComponentInformation);
    gStackAnswer = 0;
    for (int i = 0; i < kStandinUnloadWatchCount; ++i) {
        gWatched[i] = nullptr;
        gWatchSeen[i] = kStandinUnloadNotSeen;
    }
    gAnswersSet = true;
}

void EnsureDefaultsLocked()
{
    if (!gAnswersSet)
        DefaultAnswersLocked();
}

}  // namespace

extern "C" {

STANDIN_HOST_API int64_t Execution(uint32_t command, intptr_t argument)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    gLog.push_back({command, argument});
    switch (command) {
    case 3053:
        return argument >= 0 && argument < kStandinHostIndexCount ? gAnswers[argument] : 0;
    case 3052:
        for (int i = 0; i < kStandinUnloadWatchCount; ++i)
            if (gWatched[i] != nullptr)
                gWatchSeen[i] = *gWatched[i];
        return 0;
    case 3184:
        if (argument != 0)
            gStackRecords.push_back(*reinterpret_cast<const StandinStackRecord*>(argument));
        return gStackAnswer;
    default:
        return 0;
    }
}

STANDIN_HOST_API void standin_host_reset()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gLog.clear();
    gStackRecords.clear();
    DefaultAnswersLocked();
    gAllocator.Reset();
    gFactory.Reset();
    gInfoLocale.Reset();
}

STANDIN_HOST_API void standin_host_set_answer(int index, int64_t value)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    if (index >= 0 && index < kStandinHostIndexCount)
        gAnswers[index] = value;
}

STANDIN_HOST_API int64_t standin_host_answer(int index)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    return index >= 0 && index < kStandinHostIndexCount ? gAnswers[index] : 0;
}

STANDIN_HOST_API size_t standin_host_log(StandinHostCall* out, size_t capacity)
{
    std::lock_guard<std::mutex> lock(gMutex);
    size_t n = gLog.size() < capacity ? gLog.size() : capacity;
    for (size_t i = 0; i < n; ++i)
        out[i] = gLog[i];
    return gLog.size();
}

STANDIN_HOST_API StandinInfoLocale* standin_host_locale()
{
    return &gInfoLocale;
}

STANDIN_HOST_API StandinStrMemAlloc* standin_host_allocator()
{
    return &gAllocator;
}

STANDIN_HOST_API void standin_host_set_factory_answer(int answer)
{
    gFactory.SetAnswer(answer);
}

STANDIN_HOST_API long standin_host_factory_calls()
{
    return gFactory.Calls();
}

STANDIN_HOST_API void standin_host_set_stack_answer(int64_t answer)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    gStackAnswer = answer;
}

STANDIN_HOST_API size_t standin_host_stack_records(StandinStackRecord* out, size_t capacity)
{
    std::lock_guard<std::mutex> lock(gMutex);
    size_t n = gStackRecords.size() < capacity ? gStackRecords.size() : capacity;
    for (size_t i = 0; i < n; ++i)
        out[i] = gStackRecords[i];
    return gStackRecords.size();
}

STANDIN_HOST_API void standin_host_watch_on_unload(int slot, const uint32_t* address)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    if (slot >= 0 && slot < kStandinUnloadWatchCount) {
        gWatched[slot] = address;
        gWatchSeen[slot] = kStandinUnloadNotSeen;
    }
}

STANDIN_HOST_API int64_t standin_host_unload_watch(int slot)
{
    std::lock_guard<std::mutex> lock(gMutex);
    EnsureDefaultsLocked();
    return slot >= 0 && slot < kStandinUnloadWatchCount ? gWatchSeen[slot] : kStandinUnloadNotSeen;
}

}  // extern "C"
