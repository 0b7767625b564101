// The host module's own Execution entry: (3053, index) answers the host's
// services from a table; (3052, 0) and (3184, record) are recorded. Every call
// is logged. Tests drive it through the standin_host_* controls.
#include <cstdint>
#include <mutex>
#include <vector>

#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/module/host_controls.h"

namespace {

std::mutex gMutex;
std::vector<StandinHostCall> gLog;
int64_t gAnswers[kStandinHostIndexCount];
bool gAnswersSet = false;
StandinStrMemAlloc gAllocator;

void DefaultAnswersLocked()
{
    for (auto& a : gAnswers)
        a = 0;
    gAnswers[1] = 101;             // product code of the execution
    gAnswers[2] = 7;               // internal language
    static const wchar_t kProduct[] = L"Standin";
    gAnswers[3] = reinterpret_cast<intptr_t>(kProduct);
    gAnswers[4] = 0x1122334455667788ll;
    gAnswers[5] = 105;             // real product code
    gAnswers[8] = 26;              // active version
    static int multithread = 1;
    gAnswers[14] = reinterpret_cast<intptr_t>(&multithread);
    gAnswers[13] = reinterpret_cast<intptr_t>(static_cast<IStrMemAlloc*>(&gAllocator));
    gAnswersSet = true;
}

}  // namespace

extern "C" {

STANDIN_HOST_API int64_t Execution(uint32_t command, intptr_t argument)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gAnswersSet)
        DefaultAnswersLocked();
    gLog.push_back({command, argument});
    if (command == 3053 && argument >= 0 && argument < kStandinHostIndexCount)
        return gAnswers[argument];
    return 0;
}

STANDIN_HOST_API void standin_host_reset()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gLog.clear();
    DefaultAnswersLocked();
    gAllocator.Reset();
}

STANDIN_HOST_API void standin_host_set_answer(int index, int64_t value)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gAnswersSet)
        DefaultAnswersLocked();
    if (index >= 0 && index < kStandinHostIndexCount)
        gAnswers[index] = value;
}

STANDIN_HOST_API int64_t standin_host_answer(int index)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gAnswersSet)
        DefaultAnswersLocked();
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

STANDIN_HOST_API StandinStrMemAlloc* standin_host_allocator()
{
    return &gAllocator;
}

}  // extern "C"
