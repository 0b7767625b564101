#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/md5.h"

namespace {

std::string Hex(const unsigned char* bytes, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// Feeds the message in pieces of the given size (0: all at once).
std::string Digest(CMD5& md5, const std::string& message, size_t piece = 0)
{
    const auto* p = reinterpret_cast<const unsigned char*>(message.data());
    size_t left = message.size();
    if (piece == 0)
        piece = left ? left : 1;
    while (left > 0) {
        size_t n = left < piece ? left : piece;
        md5.AddData(p, static_cast<unsigned>(n));
        p += n;
        left -= n;
    }
    unsigned char out[16];
    md5.FinalDigest(out);
    return Hex(out, sizeof out);
}

struct Vector { const char* message; const char* digest; };

// The test suite of RFC 1321.
const Vector kRfcSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"1234567890123456789012345678901234567890123456789012345678901234567890"
     "1234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(MD5, RfcSuiteWholeAndInPieces)
{
    CMD5 md5;
    for (const Vector& v : kRfcSuite) {
        for (size_t piece : {size_t{0}, size_t{1}, size_t{3}, size_t{63}, size_t{64}}) {
            // One object for everything: each final digest starts a new message.
            EXPECT_EQ(v.digest, Digest(md5, v.message, piece)) << '"' << v.message << "\" by " << piece;
        }
    }
}

TEST(MD5, NullOrEmptyDataAddsNothing)
{
    CMD5 md5;
    md5.AddData(nullptr, 5);
    md5.AddData(reinterpret_cast<const unsigned char*>("x"), 0);
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Digest(md5, ""));
    md5.AddData(reinterpret_cast<const unsigned char*>("abc"), 3);
    md5.Reset();
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Digest(md5, "a"));
}

// Slot order as callers through the interface table see it.
TEST(MD5, InterfaceSlotsAndCount)
{
    auto* md5 = new CMD5;
    IMessageDigest* digest = md5;
    void** table = *reinterpret_cast<void***>(digest);
    using IntSlot = int (*)(IMessageDigest*);
    using DwordSlot = uint32_t (*)(IMessageDigest*);
    EXPECT_EQ(1, reinterpret_cast<IntSlot>(table[0])(digest));
    EXPECT_EQ(1, reinterpret_cast<IntSlot>(table[1])(digest));
    EXPECT_EQ(32, reinterpret_cast<IntSlot>(table[2])(digest));
    EXPECT_EQ(1u, reinterpret_cast<DwordSlot>(table[9])(digest));   // AddRef
    EXPECT_EQ(64u, reinterpret_cast<DwordSlot>(table[14])(digest)); // dwGetBlockSize
    EXPECT_EQ(16u, reinterpret_cast<DwordSlot>(table[15])(digest)); // dwGetDigestSize
    EXPECT_EQ(0, reinterpret_cast<IntSlot>(table[16])(digest));     // bHasKey
    EXPECT_EQ(nullptr, digest->pQueryProxy());

    EXPECT_EQ(2u, digest->AddRef());
    EXPECT_EQ(1u, digest->Release());
    EXPECT_EQ(0u, reinterpret_cast<DwordSlot>(table[8])(digest));   // Release: destroyed
    // A release with no reference taken destroys too (LeakSanitizer checks).
    (new CMD5)->Release();
}

class MD5Files : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/md5_test_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        m_dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string m_dir;
};

std::string ToolDigest(const std::string& path)
{
    std::string command = "md5sum '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "no md5sum";
    char line[256] = {};
    if (std::fgets(line, sizeof line, pipe) == nullptr)
        line[0] = 0;
    pclose(pipe);
    return std::string(line, strnlen(line, 32));
}

TEST_F(MD5Files, AgreesWithMd5sum)
{
    const size_t sizes[] = {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 1024, 4097, (1u << 20) + 3};
    unsigned seed = 12345;
    for (size_t size : sizes) {
        std::string content(size, '\0');
        for (char& c : content) {
            seed = seed * 1103515245u + 12345u;
            c = static_cast<char>(seed >> 16);
        }
        const std::string path = m_dir + "/f" + std::to_string(size);
        {
            std::ofstream out(path, std::ios::binary);
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
        }
        std::ifstream in(path, std::ios::binary);
        std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(content.size(), read.size());

        const std::string expected = ToolDigest(path);
        CMD5 md5;
        EXPECT_EQ(expected, Digest(md5, read, 1024)) << size;
        EXPECT_EQ(expected, Digest(md5, read, 7)) << size;
    }
}

}  // namespace
