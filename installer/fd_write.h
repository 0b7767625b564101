#pragma once

#include <cstddef>

// Writes all n bytes to the descriptor: a short write goes on with the rest,
// an interrupted one is tried again. False at the first failure (errno set)
// or a write that takes nothing.
bool bEcritToutFd(int fd, const void* p, size_t n);
