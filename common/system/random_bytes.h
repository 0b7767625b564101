#pragma once

#include <cstddef>

// Bytes from the kernel's random source, for what must not be guessed (the
// random part of an encryption header). There is no weaker fallback: when
// the kernel gives no bytes the call fails and the caller must not go on.

// Fills n bytes at p; waits only until the kernel's source is first ready.
// False (errno set) when the source is not available; p may then hold a
// part of the bytes.
bool bRandomBytes(void* p, size_t n);
