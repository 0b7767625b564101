#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/system/resource_block.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Entry
{
    uint16_t id;
    unsigned char flags;
    Bytes packed;
};

void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

// Entries as given, then the zero length. A leading pad byte puts every
// header at an odd address: the reader must not depend on alignment.
Bytes Block(const std::vector<Entry>& entries, size_t pad = 1)
{
    Bytes out(pad, 0xAA);
    for (const Entry& e : entries) {
        Put16(out, static_cast<unsigned>(RES_ENTRY_HEADER + e.packed.size()));
        Put16(out, e.id);
        out.push_back(e.flags);
        Put16(out, static_cast<unsigned>(e.packed.size()));
        out.insert(out.end(), e.packed.begin(), e.packed.end());
    }
    Put16(out, 0);
    return out;
}

class ResourceBlock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_block = Block({{257, 0, Bytes(29, 'M')},
                         {300, 0x02, {9, 10, 11}},
                         {301, 0x41, {1, 2}},
                         {4000, 0x03, {}},
                         {65535, 0, Bytes(26, 'Z')}});
        m_count = CResAnsi32::s_nWalkBlock(Data(), Size(), m_offsets, 16);
    }

    const unsigned char* Data() const { return m_block.data() + 1; }
    size_t Size() const { return m_block.size() - 1; }

    static STRessourceModule Record(uint32_t id) { return {id, 0, nullptr, 0, 0, -1}; }

    Bytes m_block;
    uint32_t m_offsets[16] = {};
    uint32_t m_count = 0;
};

TEST_F(ResourceBlock, IndexesEveryEntry)
{
    EXPECT_EQ(5u, m_count);
    const uint32_t expected[] = {0, 36, 46, 55, 62};
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], m_offsets[i]) << i;
    EXPECT_EQ(5u, CResAnsi32::s_nWalkBlock(Data(), Size(), nullptr, UINT32_MAX));
}

TEST_F(ResourceBlock, FindsByIdAndFillsTheRecord)
{
    struct Case { uint32_t id; uint32_t offset; uint32_t length; uint32_t encoding; int32_t usage; };
    const Case cases[] = {
        {300, 36, 3, RES_ENCODING_UTF8, 2},
        {301, 46, 2, RES_ENCODING_UTF16LE, 1},
        {4000, 55, 0, RES_ENCODING_UTF8, 3},
        {257, 0, 29, RES_ENCODING_UTF8, 0},
        {65535, 62, 26, RES_ENCODING_UTF8, 0},
        // Only the low 16 bits of the id are searched.
        {0x10000u + 300, 36, 3, RES_ENCODING_UTF8, 2},
        {0xFFFF0000u + 4000, 55, 0, RES_ENCODING_UTF8, 3},
    };
    for (const Case& c : cases) {
        STRessourceModule rec = Record(c.id);
        ASSERT_EQ(1, CResAnsi32::s_bFind(Data(), m_offsets, m_count, rec)) << c.id;
        EXPECT_EQ(Data() + c.offset + RES_ENTRY_HEADER, rec.pbyData) << c.id;
        EXPECT_EQ(c.length, rec.dwPackedLength) << c.id;
        EXPECT_EQ(c.encoding, rec.dwEncoding) << c.id;
        EXPECT_EQ(c.usage, rec.nUsage) << c.id;
        EXPECT_EQ(c.id, rec.dwId);
    }
}

TEST_F(ResourceBlock, MissingIdsLeaveTheRecordAlone)
{
    for (const uint32_t id : {0u, 256u, 299u, 302u, 3999u, 4001u, 65534u, 0x10000u}) {
        STRessourceModule rec = Record(id);
        const STRessourceModule before = rec;
        EXPECT_EQ(0, CResAnsi32::s_bFind(Data(), m_offsets, m_count, rec)) << id;
        EXPECT_EQ(0, std::memcmp(&before, &rec, sizeof rec)) << id;
    }
    STRessourceModule rec = Record(300);
    EXPECT_EQ(0, CResAnsi32::s_bFind(Data(), m_offsets, 0, rec));
}

// The index never holds more than its storage, and a damaged block is indexed
// only up to its first bad entry.
TEST(ResourceBlockWalk, StopsAtTheBoundAndAtDamage)
{
    const Bytes good = Block({{257, 0, {1}}, {300, 0, {2, 3}}, {400, 0, {4}}}, 0);
    uint32_t offsets[4] = {7, 7, 7, 7};
    EXPECT_EQ(2u, CResAnsi32::s_nWalkBlock(good.data(), good.size(), offsets, 2));
    EXPECT_EQ(7u, offsets[2]) << "wrote past the bound";
    EXPECT_EQ(0u, CResAnsi32::s_nWalkBlock(good.data(), good.size(), offsets, 0));

    struct Case { const char* name; Bytes block; uint32_t count; };
    Bytes shortLength = good;
    shortLength[8 + 0] = 6;  // second entry shorter than its header
    Bytes longPacked = good;
    longPacked[8 + 5] = 3;  // second entry claims more packed bytes than it holds
    Bytes cut(good.begin(), good.begin() + 12);  // second entry runs past the end
    Bytes noEnd(good.begin(), good.end() - 2);   // no zero length
    const Case cases[] = {
        {"entry shorter than its header", shortLength, 1},
        {"packed length beyond the entry", longPacked, 1},
        {"entry beyond the block", cut, 1},
        {"block without its zero length", noEnd, 3},
        {"one byte", Bytes{8}, 0},
        {"empty", Bytes{}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.count, CResAnsi32::s_nWalkBlock(c.block.data(), c.block.size(), nullptr, 100)) << c.name;
}

}  // namespace
