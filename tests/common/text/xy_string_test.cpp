// Sharing, copy-on-write, release, assignment, appending and the end-marker
// rules of the runtime strings, for both text kinds.
#include <thread>
#include <vector>

#include "tests/common/text/xy_string_fixture.h"

namespace {

using vxtest::RefCount;
using vxtest::Terminated;
using vxtest::TextOf;

template <class T>
class XYString : public vxtest::TypedStrMemTest<T>
{
};
TYPED_TEST_SUITE(XYString, vxtest::TextKinds);

TYPED_TEST(XYString, BlockHeaderCountsBytesAndTextEndsWithA32BitZero)
{
    using Str = typename TestFixture::Str;
    constexpr uint32_t unit = sizeof(TypeParam);
    Str s(this->S("abcdef").c_str());
    unsigned char* block = s.pbyGetBlock();
    ASSERT_NE(nullptr, block);
    // Header words as the host's allocator laid them out.
    EXPECT_EQ(6 * unit, StandinStrMemAlloc::Length(block));
    EXPECT_EQ(6 * unit, StandinStrMemAlloc::Capacity(block));  // exact size, no reserve
    EXPECT_EQ(1u, StandinStrMemAlloc::Count(block));
    EXPECT_EQ(0u, StandinStrMemAlloc::Flags(block));
    EXPECT_EQ(6, s.nGetLongueur());
    EXPECT_EQ(static_cast<int>(6 * unit), s.nGetTailleUtile());
    EXPECT_TRUE(Terminated(s));

    // A shorter text reuses the unshared block; the terminator written behind
    // it is four bytes wide for both kinds (old text bytes lay there).
    ASSERT_EQ(0, s.nAffecte(this->S("ab").c_str()));
    EXPECT_EQ(block, s.pbyGetBlock());
    EXPECT_EQ(6, s.nGetCapacite());
    EXPECT_EQ(this->S("ab"), TextOf(s));
    EXPECT_TRUE(Terminated(s));
    EXPECT_EQ(1, this->A().AllocAndReallocCalls());  // only the first block
}

TYPED_TEST(XYString, CopiesShareAndChangesCopyOnlyWhenShared)
{
    using Str = typename TestFixture::Str;
    Str a(this->S("hello").c_str());
    {
        Str b(a);
        EXPECT_EQ(a.pbyGetBlock(), b.pbyGetBlock());
        EXPECT_EQ(2u, RefCount(a));

        ASSERT_EQ(0, b.nConcat(this->S("!").c_str()));
        EXPECT_NE(a.pbyGetBlock(), b.pbyGetBlock());
        EXPECT_EQ(this->S("hello"), TextOf(a));
        EXPECT_EQ(this->S("hello!"), TextOf(b));
        EXPECT_EQ(1u, RefCount(a));
        EXPECT_EQ(1u, RefCount(b));
        EXPECT_EQ(this->m_liveBefore + 2, this->A().LiveBlocks());

        // Assignment shares too, and drops the old block.
        b = a;
        EXPECT_EQ(this->m_liveBefore + 1, this->A().LiveBlocks());
        EXPECT_EQ(2u, RefCount(a));
        const Str& same = b;
        b = same;  // self-assignment keeps the reference
        EXPECT_EQ(2u, RefCount(a));

        Str c(std::move(b));  // moves take the reference along
        EXPECT_EQ(nullptr, b.pbyGetBlock());
        EXPECT_EQ(2u, RefCount(a));
    }
    EXPECT_EQ(1u, RefCount(a));

    // Appending to an unshared value with spare capacity keeps its block.
    ASSERT_EQ(0, a.nSetLength(12));
    unsigned char* block = a.pbyGetBlock();
    const long calls = this->A().AllocAndReallocCalls();
    ASSERT_EQ(0, a.nConcat(this->S(" world").c_str()));
    EXPECT_EQ(block, a.pbyGetBlock());
    EXPECT_EQ(calls, this->A().AllocAndReallocCalls());
    EXPECT_EQ(this->S("hello world"), TextOf(a));
    EXPECT_TRUE(Terminated(a));

    a.ReleaseDynStr();
    EXPECT_EQ(nullptr, a.pbyGetBlock());
    EXPECT_EQ(this->m_liveBefore, this->A().LiveBlocks());
}

TYPED_TEST(XYString, AssignmentEmptiesReusesOrReplaces)
{
    using Str = typename TestFixture::Str;
    const auto abc = this->S("abc");
    const auto empty = this->S("");

    // Empty text, null text or a length below 1 release the block.
    struct Case { const TypeParam* text; int len; };
    const Case emptying[] = {{empty.c_str(), -1}, {nullptr, -1}, {nullptr, 3}, {abc.c_str(), 0}, {abc.c_str(), -2}};
    for (const Case& c : emptying) {
        Str s(abc.c_str());
        Str other(s);
        EXPECT_EQ(0, s.nAffecte(c.text, c.len));
        EXPECT_EQ(nullptr, s.pbyGetBlock());
        EXPECT_EQ(1u, RefCount(other));
        EXPECT_EQ(TypeParam(0), s.pszGet()[0]);
    }

    Str s(this->S("abcdef").c_str());
    // Explicit length takes a prefix.
    ASSERT_EQ(0, s.nAffecte(abc.c_str(), 2));
    EXPECT_EQ(this->S("ab"), TextOf(s));
    // Longer text into the unshared block: grown to exactly the new length.
    const auto longer = this->S("0123456789");
    ASSERT_EQ(0, s.nAffecte(longer.c_str()));
    EXPECT_EQ(10, s.nGetCapacite());
    EXPECT_EQ(longer, TextOf(s));
    EXPECT_TRUE(Terminated(s));

    // A shared block is replaced; the other holder keeps its text.
    Str other(s);
    ASSERT_EQ(0, s.nAffecte(abc.c_str()));
    EXPECT_EQ(longer, TextOf(other));
    EXPECT_EQ(abc, TextOf(s));
    EXPECT_EQ(3, s.nGetCapacite());
    EXPECT_EQ(1u, RefCount(other));

    s.Set(nullptr);
    EXPECT_EQ(nullptr, s.pbyGetBlock());
    s = longer.c_str();
    EXPECT_EQ(longer, TextOf(s));
}

TYPED_TEST(XYString, AppendingTextGrowsToExactlyTheTotal)
{
    using Str = typename TestFixture::Str;
    Str s;
    EXPECT_EQ(0, s.nConcat(nullptr, 3));
    EXPECT_EQ(0, s.nConcat(this->S("xyz").c_str(), 0));
    EXPECT_EQ(0, s.nConcat(this->S("").c_str()));
    EXPECT_EQ(nullptr, s.pbyGetBlock());

    ASSERT_EQ(0, s.nConcat(this->S("abcd").c_str(), 2));  // new block of exactly 2
    EXPECT_EQ(2, s.nGetCapacite());
    ASSERT_EQ(0, s.nConcat(this->S("cde").c_str()));
    EXPECT_EQ(5, s.nGetCapacite());
    s.Add(TypeParam('!'));
    s.Add(this->S("?").c_str());
    EXPECT_EQ(this->S("abcde!?"), TextOf(s));
    EXPECT_EQ(7, s.nGetCapacite());
    EXPECT_TRUE(Terminated(s));
}

TYPED_TEST(XYString, AppendingAValueSharesIntoAnEmptyTarget)
{
    using Str = typename TestFixture::Str;
    Str src(this->S("ab").c_str());
    Str target;
    ASSERT_EQ(0, target.nConcat(src));
    EXPECT_EQ(src.pbyGetBlock(), target.pbyGetBlock());
    EXPECT_EQ(2u, RefCount(src));

    // Target and source share one block: the target gets its own.
    ASSERT_EQ(0, target.nConcat(src));
    EXPECT_EQ(this->S("abab"), TextOf(target));
    EXPECT_EQ(this->S("ab"), TextOf(src));
    EXPECT_EQ(1u, RefCount(src));

    // An empty source changes nothing; a value appended to itself doubles.
    Str none;
    ASSERT_EQ(0, target.nConcat(none));
    ASSERT_EQ(0, target.nConcat(target));
    EXPECT_EQ(this->S("abababab"), TextOf(target));
    EXPECT_TRUE(Terminated(target));
}

TYPED_TEST(XYString, SetLengthCutsOrMakesRoomAndUnshareCopiesTheFlags)
{
    using Str = typename TestFixture::Str;
    Str s;
    ASSERT_EQ(0, s.nSetLength(4));  // an empty value gets an empty block of 4
    ASSERT_NE(nullptr, s.pbyGetBlock());
    EXPECT_EQ(0, s.nGetLongueur());
    EXPECT_EQ(4, s.nGetCapacite());
    EXPECT_TRUE(Terminated(s));

    ASSERT_EQ(0, s.nAffecte(this->S("abcdef").c_str()));
    ASSERT_EQ(0, s.nSetLength(10));  // grows, keeps the text
    EXPECT_EQ(this->S("abcdef"), TextOf(s));
    EXPECT_EQ(10, s.nGetCapacite());
    ASSERT_EQ(0, s.nSetLength(3));  // cuts and re-terminates, keeps the block
    EXPECT_EQ(this->S("abc"), TextOf(s));
    EXPECT_EQ(10, s.nGetCapacite());
    EXPECT_TRUE(Terminated(s));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, s.nSetLength(-1));

    // Prepare-modification alone does not cut an unshared block.
    ASSERT_EQ(0, s.__nPrepareModification(1));
    EXPECT_EQ(this->S("abc"), TextOf(s));

    // Unsharing copies the whole flags word; the other holder is untouched.
    s._SetFlagsWord(0x80000001u);
    Str other(s);
    ASSERT_EQ(0, s.nUnshare());
    EXPECT_NE(other.pbyGetBlock(), s.pbyGetBlock());
    EXPECT_EQ(0x80000001u, s.dwGetFlags());
    EXPECT_EQ(this->S("abc"), TextOf(s));
    EXPECT_EQ(3, s.nGetCapacite());
    EXPECT_EQ(1u, RefCount(other));

    // Cutting a shared value copies only what is kept.
    Str third(other);
    ASSERT_EQ(0, third.nSetLength(2));
    EXPECT_EQ(this->S("ab"), TextOf(third));
    EXPECT_EQ(this->S("abc"), TextOf(other));
    ASSERT_EQ(0, third.nSetLength(5));
    EXPECT_EQ(this->S("ab"), TextOf(third));

    // Room for nothing in a shared value: the value lets go of the block.
    Str fourth(other);
    ASSERT_EQ(0, fourth.nSetLength(0));
    EXPECT_EQ(nullptr, fourth.pbyGetBlock());
    EXPECT_EQ(1u, RefCount(other));
}

TYPED_TEST(XYString, EndMarkerFollowsTheAppendRules)
{
    using Str = typename TestFixture::Str;
    Str flagged(this->S("ab").c_str());
    flagged._SetFlagsWord(STRMEM_FLAG_END_MARKER);

    // Plain text clears it; other bits stay.
    Str s(flagged.pszGet());
    s._SetFlagsWord(0x80000001u);
    ASSERT_EQ(0, s.nConcat(this->S("c").c_str()));
    EXPECT_EQ(0x80000000u, s.dwGetFlags());

    // A runtime value passes its own marker on, set or clear.
    ASSERT_EQ(0, s.nConcat(flagged));
    EXPECT_EQ(0x80000001u, s.dwGetFlags());
    Str plain(this->S("d").c_str());
    ASSERT_EQ(0, s.nConcat(plain));
    EXPECT_EQ(0x80000000u, s.dwGetFlags());

    // An empty target shares the flagged block, marker included.
    Str empty;
    ASSERT_EQ(0, empty.nConcat(flagged));
    EXPECT_TRUE(empty.bEndMarker());

    // A shared target is made its own before the marker is set: the other
    // holder's block keeps its flags.
    Str target(this->S("xy").c_str());
    Str holder(target);
    ASSERT_EQ(0, target.nConcat(flagged));
    EXPECT_TRUE(target.bEndMarker());
    EXPECT_EQ(0u, holder.dwGetFlags());
    EXPECT_EQ(this->S("xy"), TextOf(holder));
    EXPECT_EQ(this->S("xyab"), TextOf(target));

    // Cutting the last character away clears it.
    ASSERT_EQ(0, target.nSetLength(3));
    EXPECT_FALSE(target.bEndMarker());
    // Assigning plain text to the reused block clears it as well.
    target._SetFlagsWord(STRMEM_FLAG_END_MARKER);
    ASSERT_EQ(0, target.nAffecte(this->S("q").c_str()));
    EXPECT_EQ(0u, target.dwGetFlags());
}

TYPED_TEST(XYString, CountsChangeAtomicallyAcrossThreads)
{
    using Str = typename TestFixture::Str;
    const Str shared(this->S("shared text").c_str());
    const auto expected = this->S("shared text!");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared, &expected] {
            for (int i = 0; i < 5000; ++i) {
                Str copy(shared);
                Str other = copy;
                if (i % 64 == 0) {
                    // Copy-on-write from a block other threads keep sharing.
                    other.Add(TypeParam('!'));
                    ASSERT_EQ(expected, TextOf(other));
                }
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(1u, RefCount(shared));
    EXPECT_EQ(this->m_liveBefore + 1, this->A().LiveBlocks());
}

}  // namespace
