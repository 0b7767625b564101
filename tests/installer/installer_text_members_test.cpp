// The installer's members of the text library: multiple appends to runtime
// strings, unaligned wide copies, the chained hash table's plain append,
// binary strings, the ellipsis and the UTF-16 text writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/text/ct_string.h"
#include "common/text/hash_base.h"
#include "common/text/str_ellipsis.h"
#include "common/text/xy_string.h"
#include "installer/unaligned_unicode_copy.h"
#include "installer/write_text_memory.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(ConcatMultiple, AppendsAssignsAndSkipsNulls)
{
    CXYString<wchar_t> s;
    ASSERT_EQ(s.__nConcatMultiple(3, L"ab", static_cast<const wchar_t*>(nullptr), L"c"), 0);
    EXPECT_STREQ(s.pszGet(), L"abc");
    ASSERT_EQ(s.__nConcatMultiple(2, L"", L"def"), 0);
    EXPECT_STREQ(s.pszGet(), L"abcdef");
    EXPECT_EQ(s.nGetLongueur(), 6);

    // All empty on an empty value: no block at all.
    CXYString<wchar_t> e;
    ASSERT_EQ(e.__nConcatMultiple(2, L"", static_cast<const wchar_t*>(nullptr)), 0);
    EXPECT_EQ(e.pbyGetBlock(), nullptr);
}

TEST(ConcatMultiple, SharedValueIsCopiedAndOwnTextMayBeAppended)
{
    vxtest::Allocator().SetAlwaysMove(true);
    CXYString<wchar_t> a(L"xyz");
    CXYString<wchar_t> b(a);  // shares the block
    ASSERT_EQ(a.__nConcatMultiple(1, L"1"), 0);
    EXPECT_STREQ(a.pszGet(), L"xyz1");
    EXPECT_STREQ(b.pszGet(), L"xyz");

    // The value's own text as an argument: read before its block moves
    // (the allocator moves and poisons every grown block).
    ASSERT_EQ(a.__nConcatMultiple(2, a.pszGet(), a.pszGet() + 3), 0);
    EXPECT_STREQ(a.pszGet(), L"xyz1xyz11");
    vxtest::Allocator().SetAlwaysMove(false);
}

TEST(ConcatMultiple, ManyTextsAndFailures)
{
    CXYString<wchar_t> s(L"-");
    ASSERT_EQ(s.__nConcatMultiple(20, L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j", L"k", L"l", L"m",
                                  L"n", L"o", L"p", L"q", L"r", L"s", L"t"),
              0);
    EXPECT_STREQ(s.pszGet(), L"-abcdefghijklmnopqrst");

    vxtest::Allocator().FailNth(1, 100);
    EXPECT_EQ(s.__nConcatMultiple(1, L"u"), 100);
    vxtest::Allocator().FailNth(0, 0);
    EXPECT_STREQ(s.pszGet(), L"-abcdefghijklmnopqrst");
}

TEST(UnalignedUnicodeCopy, CopiesAtAnyAlignment)
{
    const wchar_t text[] = L"r\u00E9sum\u00E9";
    alignas(8) char src[64];
    alignas(8) char dst[64];
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 4; ++to) {
            std::memset(dst, 0x55, sizeof dst);
            std::memcpy(src + from, text, sizeof text);
            EXPECT_EQ(__UNALIGNED__UNICODE__STRCPY__(dst + to, src + from), dst + to);
            wchar_t back[8];
            std::memcpy(back, dst + to, sizeof text);
            EXPECT_STREQ(back, text) << from << " " << to;
            EXPECT_EQ(static_cast<unsigned char>(dst[to + sizeof text]), 0x55);  // nothing past the terminator
        }
    }
}

class IntKeyTable : public CHashBase
{
public:
    IntKeyTable() : CHashBase(43) {}
    unsigned int dwVHashVal(void* pCle) const override { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(pCle)); }
    int bCleEgales(void* a, void* b) const override { return a == b; }
};

TEST(HashBaseAjoute, AppendsInOrderWithoutGrowing)
{
    IntKeyTable t;
    auto key = [](uintptr_t k) { return reinterpret_cast<void*>(k); };
    // 1 and 44 share a bucket of 43; the first added stays first.
    CHashBase::_stPAIRE* p = t.Ajoute(key(1), key(100));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->pCle, key(1));
    ASSERT_NE(t.Ajoute(key(44), key(200)), nullptr);
    ASSERT_NE(t.Ajoute(key(1), key(300)), nullptr);  // no look-up: a second pair
    EXPECT_EQ(t.nGetNbElement(), 3);
    void* v = nullptr;
    ASSERT_TRUE(t.bRecherche(key(1), &v, nullptr));
    EXPECT_EQ(v, key(100));
    for (uintptr_t k = 2; k < 500; ++k)
        ASSERT_NE(t.Ajoute(key(k), key(k)), nullptr);
    EXPECT_EQ(t.nGetNbBuckets(), 43);
    ASSERT_TRUE(t.bRecherche(key(44), &v, nullptr));
    EXPECT_EQ(v, key(200));
}

TEST(InstallerTextMembers, SetFromBinaryAndEllipsis)
{
    CTString s;
    const wchar_t two[] = {0, L'b'};
    s.SetFromBinary(two, 2);
    EXPECT_EQ(s.cGetChar(0), 0);
    EXPECT_EQ(s.cGetChar(1), L'b');

    wchar_t out[16];
    STR_Ellipsis(out, L"abcdefghijkl", 8, ELLIPSIS_END);
    EXPECT_STREQ(out, L"abcde...");
    STR_Ellipsis(out, L"abcdefghijkl", 8, ELLIPSIS_MIDDLE);
    EXPECT_STREQ(out, L"ab...jkl");
    STR_Ellipsis(out, L"abcdefghijkl", 8, ELLIPSIS_START);
    EXPECT_STREQ(out, L"...hijkl");
}

TEST(WriteTextMemoire, NarrowsToUTF16OnStackAndHeap)
{
    for (unsigned long n : {1ul, 510ul, 511ul, 5000ul}) {
        std::wstring text;
        for (unsigned long i = 0; i < n; ++i)
            text += static_cast<wchar_t>(L'A' + i % 26 + (i % 7 == 0 ? 0x100 : 0));
        char* data = nullptr;
        size_t size = 0;
        FILE* f = open_memstream(&data, &size);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE((__bWriteTextMemoire<wchar_t, unsigned short>(f, text.c_str(), n)));
        std::fclose(f);
        ASSERT_EQ(size, 2 * n);
        for (unsigned long i = 0; i < n; ++i) {
            const unsigned unit = static_cast<unsigned char>(data[2 * i]) | static_cast<unsigned char>(data[2 * i + 1]) << 8;
            ASSERT_EQ(unit, static_cast<unsigned>(text[i])) << n << " at " << i;
        }
        std::free(data);
    }
    EXPECT_FALSE((__bWriteTextMemoire<wchar_t, unsigned short>(stdout, L"x", 0)));
}

}  // namespace
