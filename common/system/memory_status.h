#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Physical memory and swap ("page file") of the machine in the Windows
// records. The virtual-memory fields are never filled.
struct _MEMORYSTATUSEX
{
    uint32_t dwLength;
    uint32_t dwMemoryLoad;  // percent in use
    uint64_t ullTotalPhys;
    uint64_t ullAvailPhys;
    uint64_t ullTotalPageFile;
    uint64_t ullAvailPageFile;
    uint64_t ullTotalVirtual;
    uint64_t ullAvailVirtual;
    uint64_t ullAvailExtendedVirtual;
};
using MEMORYSTATUSEX = _MEMORYSTATUSEX;
static_assert(sizeof(MEMORYSTATUSEX) == 64 && offsetof(MEMORYSTATUSEX, ullTotalPhys) == 8 &&
                  offsetof(MEMORYSTATUSEX, ullAvailPageFile) == 32,
              "two 32-bit words, then seven 64-bit ones");

struct _MEMORYSTATUS
{
    uint32_t dwLength;
    uint32_t dwMemoryLoad;
    uint32_t dwTotalPhys;
    uint32_t dwAvailPhys;
    uint32_t dwTotalPageFile;
    uint32_t dwAvailPageFile;
};
using MEMORYSTATUS = _MEMORYSTATUS;
static_assert(sizeof(MEMORYSTATUS) == 24, "six 32-bit words");

// Fills the length (40: the five words that are filled), the load and the
// four physical and page-file values. "/proc/meminfo" is read at most once a
// second: within the same second of time() the previous answer is copied.
// Without it, sysinfo; without that, 16 MiB everywhere and load 0. The cache
// is process-wide and unguarded: callers on several threads serialise.
int GlobalMemoryStatusEx(MEMORYSTATUSEX* pStatus);
// The same cut to 32 bits, length 24.
void GlobalMemoryStatus(MEMORYSTATUS* pStatus);

// Reads a meminfo listing (the old "Mem:"/"Swap:" table lines and the
// "Name: value kB" lines) into the four values, sets the length and the load.
// Used by GlobalMemoryStatusEx; separate so that listings can be checked.
void __ReadMemInfo(FILE* pFile, MEMORYSTATUSEX* pStatus);
