#pragma once

#include <cstdint>

// The fixed parts of the ZIP records, read little-endian from raw bytes.

constexpr uint32_t ZIP_SIG_LOCAL = 0x04034b50;
constexpr uint32_t ZIP_SIG_CENTRAL = 0x02014b50;
constexpr uint32_t ZIP_SIG_END = 0x06054b50;
constexpr uint32_t ZIP_SIG_END64 = 0x06064b50;
constexpr uint32_t ZIP_SIG_LOCATOR64 = 0x07064b50;

constexpr unsigned ZIP_LOCAL_SIZE = 30;
constexpr unsigned ZIP_CENTRAL_SIZE = 46;
constexpr unsigned ZIP_END_SIZE = 22;
constexpr unsigned ZIP_END64_SIZE = 56;
constexpr unsigned ZIP_LOCATOR64_SIZE = 20;
constexpr unsigned ZIP_CRYPT_HEADER_SIZE = 12;

constexpr uint32_t ZIP_MAX32 = 0xFFFFFFFF;
constexpr uint16_t ZIP_EXTRA_ZIP64 = 0x0001;

// General-purpose flags.
constexpr uint32_t ZIP_FLAG_ENCRYPTED = 0x0001;
constexpr uint32_t ZIP_FLAG_DESCRIPTOR = 0x0008;
constexpr uint32_t ZIP_FLAG_UTF8 = 0x0800;

constexpr uint32_t ZIP_METHOD_STORED = 0;
constexpr uint32_t ZIP_METHOD_DEFLATED = 8;

inline uint32_t ZipLE16(const unsigned char* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
inline uint32_t ZipLE32(const unsigned char* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint64_t ZipLE64(const unsigned char* p)
{
    return uint64_t{ZipLE32(p)} | uint64_t{ZipLE32(p + 4)} << 32;
}
inline void ZipPut16(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void ZipPut32(unsigned char* p, uint32_t v)
{
    ZipPut16(p, v);
    ZipPut16(p + 2, v >> 16);
}
inline void ZipPut64(unsigned char* p, uint64_t v)
{
    ZipPut32(p, static_cast<uint32_t>(v));
    ZipPut32(p + 4, static_cast<uint32_t>(v >> 32));
}
