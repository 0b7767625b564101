#pragma once

#include <cstdint>

// A 16-byte identifier. UuidCreate writes its bytes in the order of the
// RFC 4122 byte representation (most significant byte of each field first),
// whatever the fields read as on this machine.
struct _GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using GUID = _GUID;
using UUID = _GUID;
static_assert(sizeof(GUID) == 16, "16 bytes");

// What UuidCreate answers on its first call: the node bytes are not a network
// address, so the identifier is only unique on this machine.
constexpr int RPC_S_UUID_LOCAL_ONLY = 0x720;

// Byte comparison of the 16 bytes.
int IsEqualGUID(const GUID& a, const GUID& b);

// A time-based (version 1) UUID from the clock, a 13-bit clock sequence and
// six random node bytes (the first with bit 0x80 set), drawn on the first
// call. RPC_S_UUID_LOCAL_ONLY on the first call of the process, 0 later.
// Calls in the same microsecond get successive timestamps (up to nine more,
// then the clock is awaited); a clock that goes back advances the sequence.
// The state is process-wide and unguarded: callers on several threads
// serialise.
int UuidCreate(UUID* pUuid);
