#pragma once

// Controls of the stand-in host module, looked up with dlsym by tests and the
// demo (see standin_host_loader.h). The records below are the host's own view
// of what crosses the module interface; they are written independently of the
// library's headers so that tests compare two readings of one layout.
#include <cstddef>
#include <cstdint>

#define STANDIN_HOST_API __attribute__((visibility("default")))

class StandinStrMemAlloc;
class StandinInfoLocale;

struct StandinHostCall
{
    uint32_t command;
    intptr_t argument;
};

// The record that comes with command 3184, as the host reads it.
struct StandinStackRecord
{
    int32_t first;
    int32_t unused;
    wchar_t* buffer;
    int32_t third;
    int32_t fourth;
};
static_assert(sizeof(StandinStackRecord) == 24);

constexpr int kStandinHostIndexCount = 16;
constexpr int kStandinUnloadWatchCount = 4;
// Value of an unload watch until the host has been told the module unloads.
constexpr int64_t kStandinUnloadNotSeen = -1;

extern "C" {
using StandinHostExecutionFn = int64_t (*)(uint32_t, intptr_t);
// Log, answers, allocator, factory, stack answer and watches back to their defaults.
using StandinHostResetFn = void (*)();
using StandinHostSetAnswerFn = void (*)(int index, int64_t value);
using StandinHostAnswerFn = int64_t (*)(int index);
// Copies up to `capacity` calls and returns how many were logged in all.
using StandinHostLogFn = size_t (*)(StandinHostCall* out, size_t capacity);
using StandinHostAllocatorFn = StandinStrMemAlloc* (*)();
using StandinHostLocaleFn = StandinInfoLocale* (*)();
// What the global factory's first operation answers, and how often it was called.
using StandinHostSetFactoryAnswerFn = void (*)(int answer);
using StandinHostFactoryCallsFn = long (*)();
// The answer to 3184, and copies of the records received with it.
using StandinHostSetStackAnswerFn = void (*)(int64_t answer);
using StandinHostStackRecordsFn = size_t (*)(StandinStackRecord* out, size_t capacity);
// Samples a 32-bit word of the caller's when (3052, 0) arrives, so tests can
// see what had happened before the module told the host it unloads.
using StandinHostWatchOnUnloadFn = void (*)(int slot, const uint32_t* address);
using StandinHostUnloadWatchFn = int64_t (*)(int slot);
}
