#pragma once

// State shared by the stand-in machine's entry points: counters, forced
// results and the allocator of runtime blocks.
#include <cstddef>

#include "tests/host/module/standin_vm_controls.h"

class IStrMemAlloc;

namespace standin_vm {

// Counts a call of the entry and answers its forced result (0 when none).
int NoteCall(int entry);
IStrMemAlloc* Allocator();
void NoteTextMade();
void NoteTextFinished();
// Whether the texts of reals, currency and decimals are written with a
// decimal comma (off until a test sets it; the reset turns it off).
bool DecimalComma();

// A runtime block (flags 0, count 1) of n bytes holding the bytes, with its
// length set and a 32-bit zero behind; null when it cannot be had.
unsigned char* NewBlock(const void* bytes, size_t n);
// Drops one reference of a block (null does nothing).
void ReleaseBlock(unsigned char* data);

}  // namespace standin_vm
