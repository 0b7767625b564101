#pragma once

#include <cstddef>
#include <cstdint>

// The module's packed resource block: one entry per resource text, sorted by
// id, ended by an entry length of 0. Entry header (little-endian, unaligned):
//
//   0  2  entry length, header included (0 ends the block)
//   2  2  resource id
//   4  1  flags: bits 0-1 usage class, bit 6 UTF-16LE text (else UTF-8)
//   5  2  packed length
//   7     packed bytes
//
// The first entry is the start marker (id 257), the last the stop marker
// (id 65535); resource ids lie between them.

// Look-up record exchanged between the resource-string layer and the
// module's look-up function.
struct STRessourceModule
{
    uint32_t dwId;                 // in: only the low 16 bits are searched
    uint32_t dwReserved;           // 0
    const unsigned char* pbyData;  // out: the packed bytes
    uint32_t dwPackedLength;       // out
    uint32_t dwEncoding;           // out: RES_ENCODING_UTF8 or RES_ENCODING_UTF16LE
    int32_t nUsage;                // out: 0 to 3; -1 before the look-up
};
static_assert(offsetof(STRessourceModule, dwReserved) == 4);
static_assert(offsetof(STRessourceModule, pbyData) == 8);
static_assert(offsetof(STRessourceModule, dwPackedLength) == 16);
static_assert(offsetof(STRessourceModule, dwEncoding) == 20);
static_assert(offsetof(STRessourceModule, nUsage) == 24);
static_assert(sizeof(STRessourceModule) == 32);

constexpr uint32_t RES_ENCODING_UTF8 = 1;
constexpr uint32_t RES_ENCODING_UTF16LE = 2;

constexpr uint32_t RES_ENTRY_HEADER = 7;
constexpr uint32_t RES_MAX_ENTRY_LENGTH = 0xFFFF;
constexpr unsigned RES_FLAG_USAGE_MASK = 0x03;
constexpr unsigned RES_FLAG_UTF16LE = 0x40;

constexpr uint16_t RES_ID_START_MARKER = 257;
constexpr uint16_t RES_ID_STOP_MARKER = 65535;
constexpr uint32_t RES_FIRST_ID = 258;
constexpr uint32_t RES_LAST_ID = 65534;
// The markers' packed bytes: the start text followed by two zero bytes (29
// bytes), the stop text alone (26 bytes).
constexpr char RES_TEXT_START_MARKER[] = "QUILAN RES BLOC UTF16 START";
constexpr char RES_TEXT_STOP_MARKER[] = "QUILAN RES BLOC UTF16 STOP";
constexpr uint32_t RES_PACKED_START_MARKER = 29;
constexpr uint32_t RES_PACKED_STOP_MARKER = 26;

class CResAnsi32
{
public:
    // The static index of this module's block, built on the first look-up.
    struct _stRessource
    {
        const unsigned char* pbyBlock;
        int (*pfnCompare)(const void* key, const void* element);
        uint32_t* pdwOffsets;  // sized from the block: one offset per entry, and one spare
        uint32_t bBuilt;
        uint32_t nCount;
    };
    static _stRessource m_stRessource;

    // Key: a STRessourceModule; element: an entry offset into this module's
    // block. Compares the low 16 bits of the key's id with the entry's id.
    static int nCompareRes(const void* key, const void* element);

    static constexpr uint32_t s_nRead16(const unsigned char* p) { return p[0] | (uint32_t(p[1]) << 8); }

    // Walks a block: stores the offset of each entry in `offsets` (when not
    // null, at most `capacity` of them) and returns the number of entries
    // before the end. The walk stops at the zero length, at the bound, and at
    // the first entry that does not fit the block or its own length (shorter
    // than its header or than its packed bytes). The generated block sources
    // check their entry count with it at compile time.
    static constexpr uint32_t s_nWalkBlock(const unsigned char* block, size_t size, uint32_t* offsets,
                                           uint32_t capacity)
    {
        uint32_t count = 0;
        size_t offset = 0;
        while (count < capacity && size >= 2 && offset <= size - 2) {
            const uint32_t length = s_nRead16(block + offset);
            if (length < RES_ENTRY_HEADER || length > size - offset)
                break;
            if (s_nRead16(block + offset + 5) > length - RES_ENTRY_HEADER)
                break;
            if (offsets != nullptr)
                offsets[count] = static_cast<uint32_t>(offset);
            ++count;
            offset += length;
        }
        return count;
    }

    // Binary search of the low 16 bits of rec.dwId among `count` indexed
    // entries; fills the record and returns 1 when found, else 0 with the
    // record unchanged.
    static int s_bFind(const unsigned char* block, const uint32_t* offsets, uint32_t count, STRessourceModule& rec);
};

// The look-up function of this module's descriptor.
int bGetResAnsi32(STRessourceModule& rec);

// Supplied by each deliverable (generated from its texts), never by the
// common library.
extern const unsigned char _pbyBufferRes32[];
extern const uint32_t _dwSizeBufferRes32;  // bytes, terminator included
extern const uint32_t _nNbEntriesRes32;    // entries, both markers included
extern uint32_t _adwOffsetsRes32[];        // _nNbEntriesRes32 + 1 elements
