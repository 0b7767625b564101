#pragma once

// Controls of the stand-in virtual machine, which lives in the stand-in host
// module (the host's virtual-machine module is the shared object that exports
// the host's Execution). Looked up with dlsym by tests (see
// standin_vm_loader.h).
//
// The machine's entry points are the exports named in
// common/text/vm_entry_points.h. Variant modules are built from the same
// sources without "FinConversion", without "pQueryProxy" or without
// "nModuloEx", for the binding's edge cases.
#include <cstddef>
#include <cstdint>

class IStrMemAlloc;

// Entries whose calls are counted and whose result can be forced.
enum StandinVmEntry : int
{
    kStandinVmConversion = 0,  // nConversionDepassementExt
    kStandinVmFinConversion,   // FinConversion
    kStandinVmQueryProxy,      // pQueryProxy
    kStandinVmCalculation,     // first of the 30 calculation entry points, in binding order
    kStandinVmEntryCount = kStandinVmCalculation + 30,
};

// Failure codes of the stand-in machine.
constexpr int kStandinVmErrType = 150;      // no conversion between the two types
constexpr int kStandinVmErrSyntax = 151;    // the text is not a value of the target type
constexpr int kStandinVmErrOverflow = 152;  // the value does not fit the target type
constexpr int kStandinVmErrMemory = 153;    // a block, text or decimal could not be had
constexpr int kStandinVmErrDivisionByZero = 154;

extern "C" {
// Call counts and forced results back to zero, factory failures disarmed,
// the allocator back to the host's own. Live counts are kept: they follow
// objects that may still be held.
using StandinVmResetFn = void (*)();
using StandinVmCallsFn = long (*)(int entry);
// A non-zero code makes the entry answer it: 1 to 99 after doing its work (a
// warning), 100 and more without touching anything. 0 disarms.
using StandinVmSetResultFn = void (*)(int entry, int code);
// Decimals made by the factory and not yet released.
using StandinVmLiveDecimalsFn = long (*)();
// Heap texts (18, 110) made by conversions, and those FinConversion freed.
using StandinVmTextsMadeFn = long (*)();
using StandinVmTextsFinishedFn = long (*)();
// The allocator the machine takes runtime blocks from (16, 19, 28); null
// goes back to the host's own. It must be the library's.
using StandinVmSetAllocatorFn = void (*)(IStrMemAlloc* allocator);
// The next n creations of a decimal throw std::bad_alloc / answer null.
using StandinVmFactoryThrowFn = void (*)(int n);
using StandinVmFactoryNullFn = void (*)(int n);
// Non-zero: the texts of reals, currency and decimals have a decimal comma,
// as under a locale that writes them so. The reset turns it off.
using StandinVmSetDecimalCommaFn = void (*)(int on);
}
