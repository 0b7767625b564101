#include "resources/tools/block_builder.h"

#include <cstring>

#include "common/system/data_compressor.h"
#include "common/system/resource_block.h"

namespace {

void Put16(std::vector<unsigned char>& out, uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void PutEntry(std::vector<unsigned char>& out, uint32_t id, unsigned flags, const unsigned char* packed,
              size_t length)
{
    Put16(out, static_cast<uint32_t>(RES_ENTRY_HEADER + length));
    Put16(out, id);
    out.push_back(static_cast<unsigned char>(flags));
    Put16(out, static_cast<uint32_t>(length));
    out.insert(out.end(), packed, packed + length);
}

std::vector<unsigned char> MarkerBytes(const char* text, uint32_t packedLength)
{
    std::vector<unsigned char> bytes(text, text + std::strlen(text));
    bytes.resize(packedLength, 0);
    return bytes;
}

std::string sId(uint32_t id)
{
    return "resource " + std::to_string(id);
}

}  // namespace

std::vector<unsigned char> BuildBlock(const std::vector<PackedEntry>& entries)
{
    std::vector<unsigned char> block;
    const auto start = MarkerBytes(RES_TEXT_START_MARKER, RES_PACKED_START_MARKER);
    PutEntry(block, RES_ID_START_MARKER, 0, start.data(), start.size());
    for (const PackedEntry& entry : entries)
        PutEntry(block, entry.dwId, entry.nUsage & RES_FLAG_USAGE_MASK, entry.packed.data(), entry.packed.size());
    const auto stop = MarkerBytes(RES_TEXT_STOP_MARKER, RES_PACKED_STOP_MARKER);
    PutEntry(block, RES_ID_STOP_MARKER, 0, stop.data(), stop.size());
    Put16(block, 0);
    return block;
}

std::vector<std::string> VerifyBlock(const std::vector<unsigned char>& block, const std::vector<PackedEntry>& entries)
{
    std::vector<std::string> faults;
    const uint32_t expected = static_cast<uint32_t>(entries.size() + 2);
    std::vector<uint32_t> offsets(expected + 1);
    const uint32_t count =
        CResAnsi32::s_nWalkBlock(block.data(), block.size(), offsets.data(), static_cast<uint32_t>(offsets.size()));
    if (count != expected) {
        faults.push_back("the block walks to " + std::to_string(count) + " entries instead of " +
                         std::to_string(expected));
        return faults;
    }
    size_t end = offsets[count - 1] + CResAnsi32::s_nRead16(block.data() + offsets[count - 1]);
    if (end + 2 != block.size() || CResAnsi32::s_nRead16(block.data() + end) != 0)
        faults.push_back("the block does not end with the zero length right after the stop marker");

    struct Marker { uint16_t id; const char* text; uint32_t length; };
    const Marker markers[] = {{RES_ID_START_MARKER, RES_TEXT_START_MARKER, RES_PACKED_START_MARKER},
                              {RES_ID_STOP_MARKER, RES_TEXT_STOP_MARKER, RES_PACKED_STOP_MARKER}};
    for (const Marker& marker : markers) {
        STRessourceModule rec = {marker.id, 0, nullptr, 0, 0, -1};
        if (!CResAnsi32::s_bFind(block.data(), offsets.data(), count, rec) || rec.dwPackedLength != marker.length ||
            rec.nUsage != 0 || rec.dwEncoding != RES_ENCODING_UTF8 ||
            std::memcmp(rec.pbyData, marker.text, std::strlen(marker.text)) != 0)
            faults.push_back("marker " + std::to_string(marker.id) + " is not as the reader expects");
    }
    if (CResAnsi32::s_nRead16(block.data() + offsets[0] + 2) != RES_ID_START_MARKER ||
        CResAnsi32::s_nRead16(block.data() + offsets[count - 1] + 2) != RES_ID_STOP_MARKER)
        faults.push_back("the markers are not the first and the last entry");

    for (const PackedEntry& entry : entries) {
        STRessourceModule rec = {entry.dwId, 0, nullptr, 0, 0, -1};
        if (!CResAnsi32::s_bFind(block.data(), offsets.data(), count, rec)) {
            faults.push_back(sId(entry.dwId) + " is not found in the block");
            continue;
        }
        if (rec.nUsage != static_cast<int32_t>(entry.nUsage) || rec.dwEncoding != RES_ENCODING_UTF8)
            faults.push_back(sId(entry.dwId) + " has the wrong flags");
        // The reader unpacks into floor(1.5 x packed length) + 2 bytes and
        // takes a truncated result as a failure.
        std::vector<unsigned char> out(rec.dwPackedLength * 3 / 2 + 2);
        int capacity = static_cast<int>(out.size());
        CDataCompressor unpacker;
        const int result = unpacker.nDeCompress(out.data(), &capacity, rec.pbyData, static_cast<int>(rec.dwPackedLength));
        if (result != CDataCompressor::nOk) {
            faults.push_back(sId(entry.dwId) + " unpacks with result " + std::to_string(result));
            continue;
        }
        if (static_cast<size_t>(capacity) != entry.text.size() ||
            std::memcmp(out.data(), entry.text.data(), entry.text.size()) != 0)
            faults.push_back(sId(entry.dwId) + " does not unpack to its text");
    }
    // An id between two entries must not be found.
    for (uint32_t id = RES_FIRST_ID; id <= RES_LAST_ID; ++id) {
        bool present = false;
        for (const PackedEntry& entry : entries)
            present = present || entry.dwId == id;
        if (present)
            continue;
        STRessourceModule rec = {id, 0, nullptr, 0, 0, -1};
        if (CResAnsi32::s_bFind(block.data(), offsets.data(), count, rec))
            faults.push_back(sId(id) + " is found although it is not in the block");
        break;
    }
    return faults;
}
