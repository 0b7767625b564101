#pragma once

#include <cstdint>

#include "installer/byte_order.h"

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

// The records' fields, under the names the archive code reads them by.
inline uint32_t ZipLE16(const unsigned char* p) { return LoadLE16(p); }
inline uint32_t ZipLE32(const unsigned char* p) { return LoadLE32(p); }
inline uint64_t ZipLE64(const unsigned char* p) { return LoadLE64(p); }
inline void ZipPut16(unsigned char* p, uint32_t v) { StoreLE16(p, v); }
inline void ZipPut32(unsigned char* p, uint32_t v) { StoreLE32(p, v); }
inline void ZipPut64(unsigned char* p, uint64_t v) { StoreLE64(p, v); }
