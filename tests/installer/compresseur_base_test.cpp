#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "installer/compresseur_base.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The simplest compressor: stores every block as a copy block.
class CCopyCompresseur : public CCompresseurBase
{
protected:
    uint32_t vdwCompresse() override { return _dwCompresseCopie(); }
    uint32_t vdwDecompresse() override { return _dwDecompresseCopie(); }
};

TEST(CompresseurBase, CopyBlockRoundTrip)
{
    CCopyCompresseur copier;
    for (uint32_t n : {0u, 1u, 7u, 1000u}) {
        Bytes input(n);
        for (uint32_t i = 0; i < n; ++i)
            input[i] = static_cast<unsigned char>(i * 7 + 1);
        Bytes block(copier.dwTailleBufferCompression(n));
        ASSERT_EQ(n + 7, block.size());
        ASSERT_EQ(n + 5, copier.dwCompression(input.data(), n, block.data(), static_cast<uint32_t>(block.size())));
        EXPECT_EQ(0, block[0]);
        uint32_t length;
        std::memcpy(&length, &block[1], 4);
        EXPECT_EQ(n, length);
        EXPECT_EQ(n + 5, copier.vdwTailleEntree(block.data()));
        EXPECT_EQ(n, copier.dwTailleDecompression(block.data()));

        Bytes output(n + 1, 0xEE);
        ASSERT_EQ(n, copier.dwDecompression(block.data(), n + 5, output.data(), n));
        EXPECT_TRUE(std::equal(input.begin(), input.end(), output.begin()));
        EXPECT_EQ(0xEE, output[n]);  // nothing past the data
    }
}

TEST(CompresseurBase, ShortBuffersAndBadBlocksProduceNothing)
{
    CCopyCompresseur copier;
    const Bytes input = {1, 2, 3, 4, 5, 6, 7, 8};
    Bytes out(32, 0xEE);
    // Output one byte short of header + data: refused, untouched.
    EXPECT_EQ(0u, copier.dwCompression(input.data(), 8, out.data(), 12));
    EXPECT_EQ(Bytes(32, 0xEE), out);
    EXPECT_EQ(0u, copier.dwCompression(input.data(), 8, out.data(), 4));
    EXPECT_EQ(0u, copier.dwCompression(nullptr, 8, out.data(), 32));
    ASSERT_EQ(13u, copier.dwCompression(input.data(), 8, out.data(), 13));
    const Bytes block(out.begin(), out.begin() + 13);

    struct Case { Bytes block; uint32_t outSize; };
    Bytes other = block;
    other[0] = 2;
    Bytes longer = block;
    longer[1] = 200;  // claims more data than the block holds
    const Case cases[] = {
        {block, 7},                     // output too small for the data
        {Bytes(block.begin(), block.begin() + 12), 8},  // truncated block
        {Bytes(block.begin(), block.begin() + 4), 8},   // not even a header
        {longer, 300},
        {other, 8},                     // not a copy block
    };
    for (const Case& c : cases) {
        Bytes result(300, 0xEE);
        EXPECT_EQ(0u, copier.dwDecompression(c.block.data(), static_cast<uint32_t>(c.block.size()), result.data(),
                                             c.outSize));
        EXPECT_EQ(Bytes(300, 0xEE), result);
    }
    EXPECT_EQ(0u, copier.dwDecompression(block.data(), 13, nullptr, 8));
}

// Writes a compressed-kind header in front of made-up data.
class CFakeCompresseur : public CCompresseurBase
{
public:
    unsigned char m_byKind = 4;
    int m_bHeaderWritten = -1;

protected:
    uint32_t vdwCompresse() override
    {
        m_bHeaderWritten = _EcritEntete(m_byKind, 3);
        return m_bHeaderWritten ? 14 : 0;
    }
    uint32_t vdwDecompresse() override { return 0; }
};

TEST(CompresseurBase, CompressedHeadersAndSizes)
{
    CFakeCompresseur fake;
    const Bytes input(100, 'a');
    for (unsigned char kind : {2, 4}) {
        fake.m_byKind = kind;
        Bytes out(20, 0xEE);
        ASSERT_EQ(14u, fake.dwCompression(input.data(), 100, out.data(), 20));
        const Bytes header = {kind, 3, 0, 0, 0, 100, 0, 0, 0, 0, 0};
        EXPECT_EQ(header, Bytes(out.begin(), out.begin() + 11));
        EXPECT_EQ(14u, fake.vdwTailleEntree(out.data()));
        EXPECT_EQ(100u, fake.dwTailleDecompression(out.data()));
    }
    Bytes small(10, 0xEE);
    EXPECT_EQ(0u, fake.dwCompression(input.data(), 100, small.data(), 10));
    EXPECT_EQ(Bytes(10, 0xEE), small);
    fake.m_byKind = 3;
    Bytes out(20, 0xEE);
    EXPECT_EQ(0u, fake.dwCompression(input.data(), 100, out.data(), 20));

    // Unknown kinds and sizes beyond 32 bits.
    const unsigned char unknown[11] = {1};
    EXPECT_EQ(0xFFFFFFFFu, fake.vdwTailleEntree(unknown));
    EXPECT_EQ(0xFFFFFFFFu, fake.dwTailleDecompression(unknown));
    const unsigned char hugeCopy[5] = {0, 0xFD, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(0xFFFFFFFFu, fake.vdwTailleEntree(hugeCopy));
    const unsigned char hugePacked[11] = {4, 0xF5, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(0xFFFFFFFFu, fake.vdwTailleEntree(hugePacked));
    EXPECT_EQ(0xFFFFFFFFu, fake.dwTailleBufferCompression(0xFFFFFFFA));
}

// Counts how many calls are inside at once, and re-enters itself.
class CWatchedCompresseur : public CCompresseurBase
{
public:
    std::atomic<int> m_nInside{0};
    std::atomic<int> m_nMaxInside{0};

protected:
    uint32_t vdwCompresse() override
    {
        const int inside = ++m_nInside;
        if (inside > m_nMaxInside)
            m_nMaxInside = inside;
        const uint32_t n = m_dwTailleEntree;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        // A nested call on the same thread takes the lock again.
        unsigned char block[5] = {0, 0, 0, 0, 0};
        unsigned char none[1];
        dwDecompression(block, 5, none, 0);
        --m_nInside;
        return n;
    }
    uint32_t vdwDecompresse() override { return _dwDecompresseCopie(); }
};

TEST(CompresseurBase, CallsOnOneObjectRunOneAtATime)
{
    CWatchedCompresseur watched;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&watched, t] {
            unsigned char byte = 0;
            for (int i = 0; i < 50; ++i)
                EXPECT_EQ(static_cast<uint32_t>(t + i), watched.dwCompression(&byte, t + i, &byte, 1));
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1, watched.m_nMaxInside.load());
}

}  // namespace
