#pragma once

// Controls of the stand-in host module, looked up with dlsym by tests.
#include <cstddef>
#include <cstdint>

#define STANDIN_HOST_API __attribute__((visibility("default")))

class StandinStrMemAlloc;

struct StandinHostCall
{
    uint32_t command;
    intptr_t argument;
};

constexpr int kStandinHostIndexCount = 16;

extern "C" {
using StandinHostExecutionFn = int64_t (*)(uint32_t, intptr_t);
using StandinHostResetFn = void (*)();
using StandinHostSetAnswerFn = void (*)(int index, int64_t value);
using StandinHostAnswerFn = int64_t (*)(int index);
// Copies up to `capacity` calls and returns how many were logged in all.
using StandinHostLogFn = size_t (*)(StandinHostCall* out, size_t capacity);
using StandinHostAllocatorFn = StandinStrMemAlloc* (*)();
}
