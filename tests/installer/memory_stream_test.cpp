#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "installer/memory_stream.h"

namespace {

using S = IXStream;

TEST(MemoryStream, LentBlockReadsAndWritesWithinItsSize)
{
    unsigned char block[20];
    for (int i = 0; i < 20; ++i)
        block[i] = static_cast<unsigned char>(i);
    CMemoryStream m;
    // Creation 0 needs a lent block first.
    EXPECT_FALSE(m.bOpen(L"x", S::XACCESS_READ, S::XSHARE_NONE, S::XCREATE_EXISTING, S::XFLAG_NONE, nullptr));
    ASSERT_TRUE(m.bAssociate(block, sizeof block));
    int created = 7;
    ASSERT_TRUE(m.bOpen(L"ZIP", S::XACCESS_READWRITE, S::XSHARE_NONE, S::XCREATE_EXISTING, S::XFLAG_NONE, &created));
    EXPECT_EQ(created, 0);
    EXPECT_STREQ(m.pszGetName(), L"ZIP");
    EXPECT_EQ(m.veGetAccess(), 2);
    EXPECT_FALSE(m.bAssociate(block, 4));  // not while open

    unsigned char out[16];
    unsigned n = 0;
    ASSERT_TRUE(m.bSeek(-4, S::XSEEK_END));
    EXPECT_FALSE(m.bRead(out, 10, nullptr));  // past the end without a count
    EXPECT_TRUE(m.bRead(out, 10, &n));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(out[0], 16);

    // A lent block never grows: what fits with a count, nothing without.
    ASSERT_TRUE(m.bSeek(18, S::XSEEK_SET));
    EXPECT_FALSE(m.bWrite("abc", 3, nullptr));
    EXPECT_TRUE(m.bWrite("abc", 3, &n));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(block[19], 'b');
    EXPECT_EQ(m.oGetSize(), 20);
    m.Close();
    EXPECT_FALSE(m.bIsOpen());
}

TEST(MemoryStream, SeekOriginsAndRefusedTargets)
{
    unsigned char block[10] = {};
    CMemoryStream m;
    ASSERT_TRUE(m.bAssociate(block, sizeof block));
    ASSERT_TRUE(m.bOpen(nullptr, S::XACCESS_READ, S::XSHARE_NONE, S::XCREATE_EXISTING, S::XFLAG_NONE, nullptr));
    struct Case
    {
        int64_t offset;
        int origin;
        bool ok;
        int64_t at;
    };
    const Case cases[] = {
        {3, 2, true, 7},  {-3, 2, true, 7},  {0, 2, true, 10},   {11, 2, false, 10}, {-11, 2, false, 10},
        {4, 0, true, 4},  {2, 1, true, 6},   {-7, 1, false, 6},  {-1, 0, false, 6},  {5, 9, true, 0},
        {11, 0, false, 0}, {INT64_MIN, 1, false, 0}, {INT64_MAX, 1, false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m.bSeek(c.offset, static_cast<S::eSEEK>(c.origin)), c.ok) << c.offset << " " << c.origin;
        EXPECT_EQ(m.oGetOffset(), c.at) << c.offset << " " << c.origin;
    }
    // A count as large as the type allows is computed without wrapping.
    ASSERT_TRUE(m.bSeek(8, S::XSEEK_SET));
    unsigned char out[2];
    EXPECT_FALSE(m.bRead(out, 0xFFFFFFFFu, nullptr));
    EXPECT_EQ(m.oGetOffset(), 8);
}

TEST(MemoryStream, OwnMemoryGrowsAndAutoExpands)
{
    CMemoryStream m;
    int created = 0;
    EXPECT_FALSE(m.bOpen(L"m", S::XACCESS_WRITE, S::XSHARE_NONE, S::XCREATE_OPEN_ALWAYS, S::XFLAG_NONE, nullptr));
    EXPECT_FALSE(m.bOpen(L"m", static_cast<S::eACCESS>(3), S::XSHARE_NONE, S::XCREATE_CREATE_ALWAYS, S::XFLAG_NONE,
                         nullptr));
    ASSERT_TRUE(m.bOpen(L"m", S::XACCESS_WRITE, S::XSHARE_NONE, S::XCREATE_CREATE_ALWAYS, S::XFLAG_NONE, &created));
    EXPECT_EQ(created, 1);
    EXPECT_EQ(m.veGetAccess(), 1);
    ASSERT_TRUE(m.bWrite("hello", 5, nullptr));
    ASSERT_TRUE(m.bSeek(3, S::XSEEK_SET));
    ASSERT_TRUE(m.bWrite("LO!", 3, nullptr));  // grows by exactly the missing byte
    EXPECT_EQ(m.oGetSize(), 6);
    EXPECT_EQ(std::memcmp(m.pGetAddress(), "helLO!", 6), 0);
    unsigned char c;
    EXPECT_FALSE(m.bRead(&c, 1, nullptr));  // write access only

    EXPECT_FALSE(m.bSeek(10, S::XSEEK_SET));
    ASSERT_TRUE(m.bSetAutoExpandMode(1));
    ASSERT_TRUE(m.bSeek(10, S::XSEEK_SET));
    EXPECT_EQ(m.oGetSize(), 10);
    EXPECT_EQ(m.pGetAddress()[8], 0);

    unsigned char lent[4];
    CMemoryStream l;
    ASSERT_TRUE(l.bAssociate(lent, 4));
    ASSERT_TRUE(l.bOpen(L"l", S::XACCESS_READ, S::XSHARE_NONE, S::XCREATE_EXISTING, S::XFLAG_NONE, nullptr));
    EXPECT_FALSE(l.bSetAutoExpandMode(1));  // only on its own memory
}

}  // namespace
