#pragma once

// A small deterministic ZIP writer for the tests: it writes what the archive
// tools will not (code page 437 and hostile names, wrong sizes and CRCs,
// local/central mismatches, unknown methods, stubs, exact comment lengths,
// ZIP64 records, encrypted entries with chosen header bytes).

#include <zlib.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ziptest {

inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
inline void Put64(std::string& s, uint64_t v)
{
    Put32(s, static_cast<uint32_t>(v));
    Put32(s, static_cast<uint32_t>(v >> 32));
}

inline std::string RawDeflate(const std::string& data, int level = 6)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline uint32_t Crc(const std::string& data)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// The published traditional encryption, over zlib's crc32().
struct Keys
{
    uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    explicit Keys(const std::string& password)
    {
        for (unsigned char c : password)
            Update(c);
    }
    static uint32_t Step(uint32_t crc, unsigned char c) { return ~static_cast<uint32_t>(crc32(~crc, &c, 1)); }
    void Update(unsigned char c)
    {
        k0 = Step(k0, c);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = Step(k2, static_cast<unsigned char>(k1 >> 24));
    }
    std::string Encrypt(const std::string& plain)
    {
        std::string out = plain;
        for (char& ch : out) {
            const uint32_t t = (k2 & 0xFFFF) | 2;
            const unsigned char c = static_cast<unsigned char>(ch);
            ch = static_cast<char>(c ^ static_cast<unsigned char>((t * (t ^ 1)) >> 8));
            Update(c);
        }
        return out;
    }
};

constexpr uint32_t kDosDate = (44u << 25) | (3u << 21) | (15u << 16) | (10u << 11) | (30u << 5) | 10u;  // 2024-03-15 10:30:20

struct Entry
{
    std::string name;  // raw bytes
    std::string data;  // the plain content
    uint16_t method = 8;
    uint16_t flags = 0;
    uint16_t madeBy = 0x031E;  // Unix
    uint16_t needed = 20;
    uint32_t external = 0100644u << 16;
    uint32_t dosDate = kDosDate;
    std::string comment;
    // Encryption: the password and the 11 first plain header bytes (the
    // twelfth is the check byte unless checkByte is given).
    std::optional<std::string> password;
    std::array<unsigned char, 11> headerBytes{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
    std::optional<unsigned char> checkByte;
    bool descriptor = false;   // flag bit 3, zero CRC and sizes locally, descriptor after the data
    bool zip64 = false;        // sizes and offset through ZIP64 blocks
    std::string extraBefore;   // blocks put before the ZIP64 block (central and local)
    std::optional<std::string> payload;  // the stored bytes as they are (method not 0 or 8)
    // Overrides of the written fields.
    std::optional<uint32_t> centralCrc, localCrc, centralCompressed, centralUncompressed, localCompressed,
        localUncompressed, centralOffset;
    std::optional<std::string> localName;
    std::optional<uint16_t> localMethod, localFlags;
};

struct Archive
{
    std::vector<Entry> entries;
    std::string stub;           // bytes before the archive
    std::string comment;
    std::optional<uint16_t> declaredCommentLength;
    bool zip64End = false;      // ZIP64 end record and locator
    bool saturateClassic = true;  // with zip64End: classic fields 0xFFFF / 0xFFFFFFFF
    bool locatorKnowsStub = false;  // the locator's offset counts the stub
    std::optional<uint64_t> declaredEntries;  // overrides the count written
    std::optional<uint32_t> declaredCentralSize;
};

inline std::string Build(const Archive& a)
{
    std::string body;
    std::string central;
    for (const Entry& e : a.entries) {
        const uint32_t crc = Crc(e.data);
        std::string stored = e.payload ? *e.payload : e.method == 8 ? RawDeflate(e.data) : e.data;
        uint16_t flags = e.flags;
        if (e.password) {
            flags |= 1;
            std::string header(e.headerBytes.begin(), e.headerBytes.end());
            const unsigned char check = e.checkByte   ? *e.checkByte
                                        : e.descriptor ? static_cast<unsigned char>(e.dosDate >> 8)
                                                       : static_cast<unsigned char>(crc >> 24);
            header += static_cast<char>(check);
            Keys keys(*e.password);
            stored = keys.Encrypt(header + stored);
        }
        if (e.descriptor)
            flags |= 8;
        const uint64_t offset = body.size();
        const uint64_t comp = stored.size();
        const uint64_t uncomp = e.data.size();
        const uint16_t needed = e.zip64 ? 45 : e.needed;

        std::string localExtra = e.extraBefore;
        if (e.zip64) {
            Put16(localExtra, 1);
            Put16(localExtra, 16);
            Put64(localExtra, e.descriptor ? 0 : uncomp);
            Put64(localExtra, e.descriptor ? 0 : comp);
        }
        const std::string localName = e.localName ? *e.localName : e.name;
        Put32(body, 0x04034b50);
        Put16(body, needed);
        Put16(body, e.localFlags ? *e.localFlags : flags);
        Put16(body, e.localMethod ? *e.localMethod : e.method);
        Put32(body, e.dosDate);
        Put32(body, e.localCrc ? *e.localCrc : e.descriptor ? 0 : crc);
        Put32(body, e.localCompressed ? *e.localCompressed : e.zip64 ? 0xFFFFFFFF : e.descriptor ? 0 : uint32_t(comp));
        Put32(body, e.localUncompressed ? *e.localUncompressed
                    : e.zip64           ? 0xFFFFFFFF
                    : e.descriptor      ? 0
                                        : uint32_t(uncomp));
        Put16(body, static_cast<uint32_t>(localName.size()));
        Put16(body, static_cast<uint32_t>(localExtra.size()));
        body += localName + localExtra + stored;
        if (e.descriptor) {
            Put32(body, 0x08074b50);
            Put32(body, crc);
            if (e.zip64) {
                Put64(body, comp);
                Put64(body, uncomp);
            } else {
                Put32(body, uint32_t(comp));
                Put32(body, uint32_t(uncomp));
            }
        }

        std::string centralExtra = e.extraBefore;
        if (e.zip64) {
            Put16(centralExtra, 1);
            Put16(centralExtra, 24);
            Put64(centralExtra, uncomp);
            Put64(centralExtra, comp);
            Put64(centralExtra, offset);
        }
        Put32(central, 0x02014b50);
        Put16(central, e.madeBy);
        Put16(central, needed);
        Put16(central, flags);
        Put16(central, e.method);
        Put32(central, e.dosDate);
        Put32(central, e.centralCrc ? *e.centralCrc : crc);
        Put32(central, e.centralCompressed ? *e.centralCompressed : e.zip64 ? 0xFFFFFFFF : uint32_t(comp));
        Put32(central, e.centralUncompressed ? *e.centralUncompressed : e.zip64 ? 0xFFFFFFFF : uint32_t(uncomp));
        Put16(central, static_cast<uint32_t>(e.name.size()));
        Put16(central, static_cast<uint32_t>(centralExtra.size()));
        Put16(central, static_cast<uint32_t>(e.comment.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, e.external);
        Put32(central, e.centralOffset ? *e.centralOffset : e.zip64 ? 0xFFFFFFFF : uint32_t(offset));
        central += e.name + centralExtra + e.comment;
    }
    const uint64_t cdOffset = body.size();
    const uint64_t cdSize = central.size();
    const uint64_t count = a.declaredEntries ? *a.declaredEntries : a.entries.size();
    std::string out = a.stub + body + central;
    if (a.zip64End) {
        const uint64_t recordAt = body.size() + central.size() + (a.locatorKnowsStub ? a.stub.size() : 0);
        Put32(out, 0x06064b50);
        Put64(out, 44);
        Put16(out, 0x031E);
        Put16(out, 45);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, count);
        Put64(out, count);
        Put64(out, cdSize);
        Put64(out, cdOffset);
        Put32(out, 0x07064b50);
        Put32(out, 0);
        Put64(out, recordAt);
        Put32(out, 1);
    }
    const bool sat = a.zip64End && a.saturateClassic;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, sat ? 0xFFFF : static_cast<uint32_t>(count & 0xFFFF));
    Put16(out, sat ? 0xFFFF : static_cast<uint32_t>(count & 0xFFFF));
    Put32(out, a.declaredCentralSize ? *a.declaredCentralSize : sat ? 0xFFFFFFFF : uint32_t(cdSize));
    Put32(out, sat ? 0xFFFFFFFF : uint32_t(cdOffset));
    Put16(out, a.declaredCommentLength ? *a.declaredCommentLength : static_cast<uint32_t>(a.comment.size()));
    out += a.comment;
    return out;
}

inline std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

// A deterministic text of n bytes that compresses somewhat.
inline std::string Text(size_t n, unsigned seed = 1)
{
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = static_cast<char>("abcdefgh \n0123"[(x >> 16) % 14]);
    }
    return s;
}

}  // namespace ziptest
