#pragma once

// The stand-in virtual machine's entry points and controls in a loaded
// stand-in host module (or one of its variants). Header-only.
#include <stdexcept>
#include <string>

#include "common/text/vm_entry_points.h"
#include "tests/host/module/standin_host_loader.h"
#include "tests/host/module/standin_vm_controls.h"

class StandinVm
{
public:
    explicit StandinVm(const StandinHostModule& module) : m_module(module) {}

    // Null when the module lacks the name.
    PFN_ConversionDepassementExt Conversion() const
    {
        return reinterpret_cast<PFN_ConversionDepassementExt>(m_module.Symbol(VM_NAME_CONVERSION));
    }
    PFN_FinConversion Fin() const { return reinterpret_cast<PFN_FinConversion>(m_module.Symbol(VM_NAME_FIN_CONVERSION)); }
    PFN_QueryProxy QueryProxy() const { return reinterpret_cast<PFN_QueryProxy>(m_module.Symbol(VM_NAME_QUERY_PROXY)); }

    void Reset() const { Control<StandinVmResetFn>("standin_vm_reset")(); }
    long Calls(int entry) const { return Control<StandinVmCallsFn>("standin_vm_calls")(entry); }
    void SetResult(int entry, int code) const { Control<StandinVmSetResultFn>("standin_vm_set_result")(entry, code); }
    long LiveDecimals() const { return Control<StandinVmLiveDecimalsFn>("standin_vm_live_decimals")(); }
    long TextsMade() const { return Control<StandinVmTextsMadeFn>("standin_vm_texts_made")(); }
    long TextsFinished() const { return Control<StandinVmTextsFinishedFn>("standin_vm_texts_finished")(); }
    void SetAllocator(IStrMemAlloc* allocator) const
    {
        Control<StandinVmSetAllocatorFn>("standin_vm_set_allocator")(allocator);
    }
    void FactoryThrow(int n) const { Control<StandinVmFactoryThrowFn>("standin_vm_factory_throw")(n); }
    void FactoryNull(int n) const { Control<StandinVmFactoryNullFn>("standin_vm_factory_null")(n); }
    void SetDecimalComma(bool on) const { Control<StandinVmSetDecimalCommaFn>("standin_vm_set_decimal_comma")(on ? 1 : 0); }

private:
    template <typename Fn>
    Fn Control(const char* name) const
    {
        void* symbol = m_module.Symbol(name);
        if (symbol == nullptr)
            throw std::runtime_error(std::string("stand-in machine control missing: ") + name);
        return reinterpret_cast<Fn>(symbol);
    }

    const StandinHostModule& m_module;
};
