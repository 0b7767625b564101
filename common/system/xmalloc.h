#pragma once

#include <cstddef>

// Thin wrappers over the process heap. The containers of the common library
// (arrays, lists, hash tables, buffers) take all their memory through them.
void* XMALLOC_pNew_(size_t n);
// realloc; with p null it allocates. On failure p is left untouched.
void* XMALLOC_pResize_(void* p, size_t n);
void XMALLOC_Del_(void* p);

// Test seam: when a hook is installed it is asked before every allocation and
// reallocation of the wrappers above (with the size asked for); answering true
// makes the call fail as if memory were short. Null, the default, costs one
// test per call.
using PFXMALLOC_FAILURE = bool (*)(size_t n);
void XMALLOC_SetFailureHook(PFXMALLOC_FAILURE pfHook);
