#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of a resource block before it is laid out.
struct PackedEntry
{
    uint32_t dwId = 0;
    unsigned nUsage = 0;
    std::vector<unsigned char> packed;
    std::string text;  // the UTF-8 bytes the packed form must give back
};

// Lays out the block: the start marker, the entries in the order given
// (ascending ids), the stop marker and the zero length.
std::vector<unsigned char> BuildBlock(const std::vector<PackedEntry>& entries);

// Reads the block back as the module does: walks it, finds every entry by id,
// unpacks it into the reader's scratch size and compares it with its text;
// also checks the markers and that an id outside the block is not found.
// Returns the faults found.
std::vector<std::string> VerifyBlock(const std::vector<unsigned char>& block, const std::vector<PackedEntry>& entries);
