#pragma once

// Copies a zero-terminated text of 4-byte characters, terminator included,
// between buffers that need not be aligned to 4 bytes (a plain wide copy
// when both are). Returns out.
char* __UNALIGNED__UNICODE__STRCPY__(char* out, const char* in);
