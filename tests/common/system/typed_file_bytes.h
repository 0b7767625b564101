#pragma once

// Byte images of typed files and message files for the tests.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

inline void PutU16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

inline void PutU32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void PutU64(std::string& s, uint64_t v)
{
    for (int i = 0; i < 8; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The typed header; a header size above 20 is padded with zeros.
inline std::string TypedHeader(uint32_t dwType, uint32_t dwSize = 20, uint16_t wFormat = 0, uint8_t byProduct = 0,
                               uint32_t dwSignature = 0x004B5654)
{
    std::string s;
    PutU32(s, dwSignature);
    PutU32(s, dwSize);
    PutU32(s, dwType);
    PutU16(s, 0);
    s += static_cast<char>(20);
    s += static_cast<char>(byProduct);
    PutU16(s, wFormat);
    PutU16(s, 0);
    if (dwSize > 20) s.append(dwSize - 20, '\0');
    return s;
}

// A message file: header, version, a block of S bytes, the index (entries
// in the order given, offsets counted from the end of the index) and the
// records, each one byte, the length and the text.
inline std::string MessageFile(uint32_t dwVersion, const std::vector<std::pair<uint32_t, std::string>>& aStrings,
                               uint32_t nBlock = 0)
{
    std::string s = TypedHeader(7);
    PutU32(s, dwVersion);
    PutU32(s, nBlock);
    s.append(nBlock, 'B');
    PutU32(s, static_cast<uint32_t>(aStrings.size()));
    std::string sRecords;
    for (const auto& [dwId, sText] : aStrings) {
        PutU32(s, dwId);
        PutU64(s, sRecords.size());
        sRecords += '\x01';
        PutU32(sRecords, static_cast<uint32_t>(sText.size()));
        sRecords += sText;
    }
    return s + sRecords;
}

}  // namespace vxtest
