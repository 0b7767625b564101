// Decoding of the central-directory fields: dates, names, the ZIP64 block.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "installer/zip_entry.h"
#include "installer/zip_records.h"

namespace {

TEST(ZipEntry, DosDateBrokenDownAndBack)
{
    // 2023-12-31 23:59:58
    const uint32_t d = (43u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
    const _sTMDATE tm = ZipDosDateToTm(d);
    EXPECT_EQ(tm.tm_year, 2023u);
    EXPECT_EQ(tm.tm_mon, 12u);  // as stored, 1-12
    EXPECT_EQ(tm.tm_mday, 31u);
    EXPECT_EQ(tm.tm_hour, 23u);
    EXPECT_EQ(tm.tm_min, 59u);
    EXPECT_EQ(tm.tm_sec, 58u);
    EXPECT_EQ(ZipTmToDosDate(tm), d);
}

TEST(ZipEntry, NamesInCodePage437OrUTF8)
{
    wchar_t out[16];
    const unsigned char oem[] = {'a', 0x81, 'b'};
    EXPECT_EQ(ZipDecodeText(oem, 3, false, out, 16), 3u);
    EXPECT_STREQ(out, L"a\u00FCb");
    const unsigned char utf8[] = {'a', 0xC3, 0xBC, 'b'};
    EXPECT_EQ(ZipDecodeText(utf8, 4, true, out, 16), 3u);
    EXPECT_STREQ(out, L"a\u00FCb");
    // The same bytes read as UTF-8 when the flag says so: 0x81 alone is no
    // character.
    EXPECT_EQ(ZipDecodeText(oem, 3, true, out, 16), 3u);
    EXPECT_STREQ(out, L"a?b");
    // Overlong, surrogate and cut sequences each give '?' for their first byte.
    const unsigned char bad[] = {0xC0, 0xAF, 0xED, 0xA0, 0x80, 0xF0, 0x9F};
    EXPECT_EQ(ZipDecodeText(bad, sizeof bad, true, out, 16), 7u);
    EXPECT_STREQ(out, L"???????");
    const unsigned char astral[] = {0xF0, 0x9F, 0x98, 0x80};
    EXPECT_EQ(ZipDecodeText(astral, 4, true, out, 16), 1u);
    EXPECT_EQ(out[0], 0x1F600);
    // The count of the whole text even when the buffer is smaller.
    EXPECT_EQ(ZipDecodeText(oem, 3, false, out, 2), 3u);
    EXPECT_STREQ(out, L"a");
    EXPECT_EQ(ZipDecodeText(oem, 3, false, nullptr, 0), 3u);
}

TEST(ZipEntry, WhichNamesAreUTF8)
{
    const unsigned char utf8[] = {'r', 0xC3, 0xA9};
    const unsigned char oem[] = {'r', 0x82};
    const unsigned char ascii[] = {'a', '?'};
    struct Case
    {
        const unsigned char* raw;
        size_t n;
        uint64_t flags, madeBy;
        bool want;
    };
    const Case cases[] = {
        {utf8, 3, 0, 0x031E, true},       // Unix host, valid UTF-8
        {utf8, 3, 0, 0x0014, false},      // another host: code page 437
        {utf8, 3, 0x800, 0x0014, true},   // the flag decides
        {oem, 2, 0, 0x031E, false},       // not valid UTF-8
        {oem, 2, 0x800, 0x031E, true},
        {ascii, 2, 0, 0x031E, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZipNameIsUTF8(c.raw, c.n, c.flags, c.madeBy), c.want) << c.n << " " << c.madeBy;
    const unsigned char overlong[] = {0xC0, 0xAF};
    EXPECT_FALSE(ZipIsValidUTF8(overlong, 2));
    EXPECT_TRUE(ZipIsValidUTF8(utf8, 3));
    EXPECT_FALSE(ZipIsValidUTF8(utf8, 2));  // cut
}

std::vector<unsigned char> Central(uint32_t madeBy, uint32_t flags, uint32_t comp, uint32_t uncomp, uint32_t offset,
                                   uint32_t disk, uint32_t external)
{
    std::vector<unsigned char> h(ZIP_CENTRAL_SIZE, 0);
    ZipPut32(&h[0], ZIP_SIG_CENTRAL);
    ZipPut16(&h[4], madeBy);
    ZipPut16(&h[6], 20);
    ZipPut16(&h[8], flags);
    ZipPut16(&h[10], 8);
    ZipPut32(&h[12], 0x12345678);
    ZipPut32(&h[16], 0xCAFEBABE);
    ZipPut32(&h[20], comp);
    ZipPut32(&h[24], uncomp);
    ZipPut16(&h[34], disk);
    ZipPut32(&h[38], external);
    ZipPut32(&h[42], offset);
    return h;
}

TEST(ZipEntry, CentralHeaderFields)
{
    _stFICZIP e{};
    auto h = Central(0x0314, 0x0809, 10, 20, 30, 0, 0x81A40000);
    ZipDecodeCentralHeader(h.data(), e);
    EXPECT_EQ(e.nMethod, 8u);
    EXPECT_EQ(e.dwCrc, 0xCAFEBABEu);
    EXPECT_EQ(e.oCompressedSize, 10u);
    EXPECT_EQ(e.oUncompressedSize, 20u);
    EXPECT_EQ(e.oLocalHeader, 30u);
    EXPECT_EQ(e.oExtractOffset, 30u);
    EXPECT_EQ(e.bEncrypted, 1u);
    EXPECT_EQ(e.bUTF8, 1u);
    EXPECT_EQ(e.nExternalAttributes, 0x81A40000u);  // Unix host: as stored

    // Other hosts get 0666 added to the 64-bit field, not ORed into it.
    h = Central(0x0014, 0, 1, 1, 0, 0, 0xFFFFFFFF);
    ZipDecodeCentralHeader(h.data(), e);
    EXPECT_EQ(e.nExternalAttributes, 0xFFFFFFFFull + 0666);
    EXPECT_EQ(e.bEncrypted, 0u);
}

std::vector<unsigned char> Block(uint16_t id, std::vector<uint64_t> values, int extraBytes = 0, int declared = -1)
{
    std::vector<unsigned char> b(4 + 8 * values.size() + extraBytes, 0);
    ZipPut16(&b[0], id);
    ZipPut16(&b[2], declared >= 0 ? declared : static_cast<int>(b.size() - 4));
    for (size_t i = 0; i < values.size(); ++i)
        ZipPut64(&b[4 + 8 * i], values[i]);
    return b;
}

TEST(ZipEntry, Zip64BlockFoundBehindOthersAndGivenInOrder)
{
    struct Case
    {
        const char* what;
        uint64_t uncomp, comp, offset;
        std::vector<unsigned char> extra;
        uint64_t wantUncomp, wantComp, wantOffset;
    };
    auto cat = [](std::vector<unsigned char> a, const std::vector<unsigned char>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const uint64_t M = ZIP_MAX32;
    const Case cases[] = {
        {"all three", M, M, M, Block(1, {0x100000000, 0x200000000, 0x300000000}), 0x100000000, 0x200000000,
         0x300000000},
        {"offset only", 5, 6, M, Block(1, {0x400000000}), 5, 6, 0x400000000},
        {"behind another block", M, 6, 7, cat(Block(0x5455, {1}, 1), Block(1, {0x500000000})), 0x500000000, 6, 7},
        {"declared size cut to the bytes there are", M, M, 7, Block(1, {0x600000000}, 0, 16), 0x600000000, M, 7},
        {"no block", M, 1, 2, Block(0x7875, {9}), M, 1, 2},
        {"fields not saturated keep their value", 1, 2, 3, Block(1, {0x700000000}), 1, 2, 3},
    };
    for (const Case& c : cases) {
        _stFICZIP e{};
        e.oUncompressedSize = c.uncomp;
        e.oCompressedSize = c.comp;
        e.oLocalHeader = c.offset;
        ZipApplyZip64Extra(c.extra.data(), c.extra.size(), &e, nullptr);
        EXPECT_EQ(e.oUncompressedSize, c.wantUncomp) << c.what;
        EXPECT_EQ(e.oCompressedSize, c.wantComp) << c.what;
        EXPECT_EQ(e.oLocalHeader, c.wantOffset) << c.what;
        EXPECT_EQ(e.oExtractOffset, c.what == std::string("no block") ? 0 : c.wantOffset) << c.what;
    }
}

TEST(ZipEntry, Zip64DiskNumberAndLocalSizes)
{
    _stFICZIP e{};
    e.oUncompressedSize = ZIP_MAX32;
    e.nDiskNumberStart = 0xFFFF;
    auto b = Block(1, {0x100000000}, 4);
    ZipPut32(&b[12], 3);
    EXPECT_TRUE(ZipApplyZip64Extra(b.data(), b.size(), &e, nullptr));
    EXPECT_EQ(e.nDiskNumberStart, 3u);

    uint64_t sizes[2] = {ZIP_MAX32, ZIP_MAX32};
    const auto local = Block(1, {11, 22});
    EXPECT_TRUE(ZipApplyZip64Extra(local.data(), local.size(), nullptr, sizes));
    EXPECT_EQ(sizes[0], 11u);
    EXPECT_EQ(sizes[1], 22u);
    // A truncated block header is not read.
    EXPECT_FALSE(ZipApplyZip64Extra(local.data(), 3, nullptr, sizes));
}

}  // namespace
