#pragma once

// Loads a stand-in host module the way the runtime would hold it
// (dlopen with RTLD_LOCAL) and reaches its controls. Header-only, so that both
// the tests and the demo use it without linking anything of the host.
#include <dlfcn.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/host/module/host_controls.h"

class StandinHostModule
{
public:
    // The handle stays open for the life of the process: the module under
    // test keeps the host's entry point.
    explicit StandinHostModule(const char* path)
    {
        m_handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            const char* error = dlerror();
            m_error = error != nullptr ? error : "dlopen failed";
        }
    }

    bool IsLoaded() const { return m_handle != nullptr; }
    const std::string& Error() const { return m_error; }
    void* Handle() const { return m_handle; }

    // Null when the module lacks the name (the no-Execution stand-in has none).
    void* Symbol(const char* name) const { return m_handle != nullptr ? dlsym(m_handle, name) : nullptr; }

    void Reset() const { Control<StandinHostResetFn>("standin_host_reset")(); }
    void SetAnswer(int index, int64_t value) const
    {
        Control<StandinHostSetAnswerFn>("standin_host_set_answer")(index, value);
    }
    int64_t Answer(int index) const { return Control<StandinHostAnswerFn>("standin_host_answer")(index); }
    StandinStrMemAlloc* Allocator() const { return Control<StandinHostAllocatorFn>("standin_host_allocator")(); }
    StandinInfoLocale* Locale() const { return Control<StandinHostLocaleFn>("standin_host_locale")(); }
    void SetFactoryAnswer(int answer) const
    {
        Control<StandinHostSetFactoryAnswerFn>("standin_host_set_factory_answer")(answer);
    }
    long FactoryCalls() const { return Control<StandinHostFactoryCallsFn>("standin_host_factory_calls")(); }
    void SetStackAnswer(int64_t answer) const
    {
        Control<StandinHostSetStackAnswerFn>("standin_host_set_stack_answer")(answer);
    }
    void WatchOnUnload(int slot, const uint32_t* address) const
    {
        Control<StandinHostWatchOnUnloadFn>("standin_host_watch_on_unload")(slot, address);
    }
    int64_t UnloadWatch(int slot) const { return Control<StandinHostUnloadWatchFn>("standin_host_unload_watch")(slot); }

    std::vector<StandinHostCall> Log() const
    {
        auto fn = Control<StandinHostLogFn>("standin_host_log");
        std::vector<StandinHostCall> calls(fn(nullptr, 0));
        calls.resize(fn(calls.data(), calls.size()));
        return calls;
    }

    std::vector<StandinStackRecord> StackRecords() const
    {
        auto fn = Control<StandinHostStackRecordsFn>("standin_host_stack_records");
        std::vector<StandinStackRecord> records(fn(nullptr, 0));
        records.resize(fn(records.data(), records.size()));
        return records;
    }

    // The indexes asked with (3053, index), in order.
    std::vector<int> Queries() const
    {
        std::vector<int> indexes;
        for (const StandinHostCall& call : Log())
            if (call.command == 3053)
                indexes.push_back(static_cast<int>(call.argument));
        return indexes;
    }

    // How many calls carried `command`.
    size_t CountOf(uint32_t command) const
    {
        size_t n = 0;
        for (const StandinHostCall& call : Log())
            n += call.command == command;
        return n;
    }

private:
    template <typename Fn>
    Fn Control(const char* name) const
    {
        void* symbol = Symbol(name);
        if (symbol == nullptr)
            throw std::runtime_error(std::string("stand-in host control missing: ") + name);
        return reinterpret_cast<Fn>(symbol);
    }

    void* m_handle = nullptr;
    std::string m_error;
};
