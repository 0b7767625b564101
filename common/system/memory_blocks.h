#pragma once

#include <cstddef>

// Memory blocks in the Global and Heap styles of the Windows interface, on
// the process heap. Handles are the block addresses themselves.

constexpr unsigned int GMEM_ZEROINIT = 0x40;
constexpr unsigned int GMEM_MODIFY = 0x80;
constexpr unsigned int HEAP_GENERATE_EXCEPTIONS = 0x4;
constexpr unsigned int HEAP_ZERO_MEMORY = 0x8;
// What HeapAlloc and HeapReAlloc throw (as unsigned int) when asked to.
constexpr unsigned int STATUS_NO_MEMORY = 0xC0000017;

// malloc; GMEM_ZEROINIT zeroes the block.
void* GlobalAlloc(unsigned int nFlags, size_t nSize);
// GMEM_MODIFY: returns p unchanged. Otherwise realloc (p stays valid on
// failure, null is returned); GMEM_ZEROINIT zeroes the whole new block.
void* GlobalReAlloc(void* p, size_t nSize, unsigned int nFlags);
// free (null ignored); returns null.
void* GlobalFree(void* p);
void* GlobalLock(void* h);
int GlobalUnlock(void* h);

// The block's 32-bit size lies in the 4 bytes right before the address
// handed out. The header in front is a whole malloc alignment long, so the
// block itself is aligned as malloc aligns and may hold any type.
// Sizes that do not fit 32 bits fail like a short heap.
// HEAP_ZERO_MEMORY zeroes the block; on failure HEAP_GENERATE_EXCEPTIONS
// throws STATUS_NO_MEMORY, else null is returned.
void* HeapAlloc(void* hHeap, unsigned int nFlags, size_t nSize);
// Grows or shrinks the block; HEAP_ZERO_MEMORY zeroes from the old size to
// the new one when it grows. On failure the old block stays valid.
void* HeapReAlloc(void* hHeap, unsigned int nFlags, void* pBlock, size_t nSize);
// Frees a block of HeapAlloc (null ignored); true.
int HeapFree(void* hHeap, unsigned int nFlags, void* pBlock);

void ZeroMemory(void* p, size_t n);
