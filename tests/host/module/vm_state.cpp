// Counters, forced results and the allocator of the stand-in machine, with
// their controls.
#include "tests/host/module/vm_state.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/module/host_controls.h"

extern "C" StandinStrMemAlloc* standin_host_allocator();

namespace {

std::atomic<long> gCalls[kStandinVmEntryCount];
std::atomic<int> gForced[kStandinVmEntryCount];
std::atomic<IStrMemAlloc*> gAllocator{nullptr};
std::atomic<long> gTextsMade{0};
std::atomic<long> gTextsFinished{0};
std::atomic<bool> gDecimalComma{false};

uint32_t* Word(unsigned char* data, int before) { return reinterpret_cast<uint32_t*>(data - 4 * before); }

}  // namespace

namespace standin_vm {

int NoteCall(int entry)
{
    if (entry < 0 || entry >= kStandinVmEntryCount)
        return 0;
    gCalls[entry].fetch_add(1);
    return gForced[entry].load();
}

IStrMemAlloc* Allocator()
{
    IStrMemAlloc* allocator = gAllocator.load();
    return allocator != nullptr ? allocator : standin_host_allocator();
}

void NoteTextMade() { gTextsMade.fetch_add(1); }
void NoteTextFinished() { gTextsFinished.fetch_add(1); }
bool DecimalComma() { return gDecimalComma.load(); }

unsigned char* NewBlock(const void* bytes, size_t n)
{
    IStrMemAlloc* allocator = Allocator();
    unsigned char* data = nullptr;
    const int rc = allocator->vnGetVersionIStrMemAlloc() < 2 ? allocator->vnAllocStrMem(&data, n)
                                                               : allocator->vnAllocStrMemEx(&data, n, 0);
    if (rc != 0 || data == nullptr)
        return nullptr;
    if (n > 0)
        std::memcpy(data, bytes, n);
    *Word(data, 1) = static_cast<uint32_t>(n);
    std::memset(data + n, 0, 4);
    return data;
}

void ReleaseBlock(unsigned char* data)
{
    if (data == nullptr)
        return;
    if (std::atomic_ref<uint32_t>(*Word(data, 3)).fetch_sub(1) == 1)
        Allocator()->vReleaseStrMem(data);
}

}  // namespace standin_vm

namespace {

void ResetVm()
{
    for (auto& calls : gCalls)
        calls = 0;
    for (auto& forced : gForced)
        forced = 0;
    gAllocator = nullptr;
    gDecimalComma = false;
}

}  // namespace

extern "C" {

void standin_vm_factory_reset();

STANDIN_HOST_API void standin_vm_reset()
{
    ResetVm();
    standin_vm_factory_reset();
}

STANDIN_HOST_API long standin_vm_calls(int entry)
{
    return entry >= 0 && entry < kStandinVmEntryCount ? gCalls[entry].load() : 0;
}

STANDIN_HOST_API void standin_vm_set_result(int entry, int code)
{
    if (entry >= 0 && entry < kStandinVmEntryCount)
        gForced[entry] = code;
}

STANDIN_HOST_API long standin_vm_texts_made() { return gTextsMade.load(); }

STANDIN_HOST_API long standin_vm_texts_finished() { return gTextsFinished.load(); }

STANDIN_HOST_API void standin_vm_set_allocator(IStrMemAlloc* allocator) { gAllocator = allocator; }

STANDIN_HOST_API void standin_vm_set_decimal_comma(int on) { gDecimalComma = on != 0; }

}  // extern "C"
