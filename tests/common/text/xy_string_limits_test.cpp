// The runtime strings against their allocator: version routing, the size
// limit checked before any call, injected failures, and blocks that move on
// every growth.
#include <climits>
#include <functional>
#include <vector>

#include "tests/common/text/xy_string_fixture.h"

namespace {

using vxtest::RefCount;
using vxtest::Terminated;
using vxtest::TextOf;
using vxtest::Txt;

class XYStringRouting : public vxtest::StrMemTest
{
};

TEST_F(XYStringRouting, VersionOneGetsThePlainSlotsAndVersionTwoTheExSlotsWithFlagsZero)
{
    for (int version : {1, 2}) {
        A().Reset();
        A().SetVersion(version);
        {
            CXYString<wchar_t> w(L"abc");  // new block
            ASSERT_EQ(0, w.nConcat(L"def"));  // growth
            CXYString<char> c("x");
            CXYString<char> copy(c);
            copy.Add('y');  // copy of a shared block
        }
        const bool ex = version >= 2;
        EXPECT_EQ(ex ? 0 : 3, A().Calls(StandinStrMemAlloc::kAlloc)) << "version " << version;
        EXPECT_EQ(ex ? 0 : 1, A().Calls(StandinStrMemAlloc::kRealloc)) << "version " << version;
        EXPECT_EQ(ex ? 3 : 0, A().Calls(StandinStrMemAlloc::kAllocEx)) << "version " << version;
        EXPECT_EQ(ex ? 1 : 0, A().Calls(StandinStrMemAlloc::kReallocEx)) << "version " << version;
        EXPECT_EQ(0u, A().LastFlags());
        EXPECT_EQ(3, A().Calls(StandinStrMemAlloc::kRelease));
    }
}

// Every operation that would make a block of more than 0x7FFFFEFF bytes
// answers 108 before the allocator is asked anything, and leaves the value
// as it was. Wide text reaches the limit at 0x1FFFFFC0 characters; counts
// whose byte size wraps in 32 bits are caught too.
template <class T>
void CheckOversize(const std::vector<int>& units)
{
    StandinStrMemAlloc& a = vxtest::Allocator();
    const auto ab = Txt<T>("ab");
    const T small[4] = {'x', 'y', 'z', 0};  // never read: rejected first
    struct Op { const char* name; bool startsEmpty; std::function<int(CXYString<T>&, int)> run; };
    const Op ops[] = {
        {"__nNew", true, [](CXYString<T>& s, int n) { return s.__nNew(n, nullptr, 0, 0); }},
        {"nSetLength", false, [](CXYString<T>& s, int n) { return s.nSetLength(n); }},
        {"__nPrepareModification", false, [](CXYString<T>& s, int n) { return s.__nPrepareModification(n); }},
        {"nAffecte", false, [&](CXYString<T>& s, int n) { return s.nAffecte(small, n); }},
        {"nConcat", false, [&](CXYString<T>& s, int n) { return s.nConcat(small, n); }},
        {"nConcat on empty", true, [&](CXYString<T>& s, int n) { return s.nConcat(small, n); }},
    };
    for (int n : units) {
        for (const Op& op : ops) {
            CXYString<T> s;
            if (!op.startsEmpty) {
                ASSERT_EQ(0, s.nAffecte(ab.c_str()));
            }
            unsigned char* block = s.pbyGetBlock();
            a.Reset();
            EXPECT_EQ(STRMEM_ERR_TOO_LARGE, op.run(s, n)) << op.name << " " << std::hex << n;
            EXPECT_EQ(0, a.AllocAndReallocCalls()) << op.name;
            EXPECT_EQ(0, a.Calls(StandinStrMemAlloc::kGetVersion)) << op.name;
            EXPECT_EQ(block, s.pbyGetBlock()) << op.name;
            EXPECT_EQ(op.startsEmpty ? Txt<T>("") : ab, TextOf(s)) << op.name;
        }
    }
}

class XYStringLimits : public vxtest::StrMemTest
{
};

TEST_F(XYStringLimits, OversizeRequestsFailWith108BeforeTheAllocator)
{
    CheckOversize<wchar_t>({0x1FFFFFC0, 0x40000000, 0x40000001, 0x7FFFFEFF, 0x7FFFFF00, INT_MAX});
    CheckOversize<char>({0x7FFFFF00, INT_MAX});

    // Appending past the limit, by the total.
    CXYString<wchar_t> w(L"ab");
    CXYString<char> c("ab");
    A().Reset();
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, c.nConcat("x", 0x7FFFFEFF - 1));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, w.nConcat(L"x", 0x1FFFFFBF - 1));
    EXPECT_EQ(0, A().AllocAndReallocCalls());
}

TEST_F(XYStringLimits, TheLargestBlockIsAskedForInBytes)
{
    // The allocator is asked, and its refusal passed on unchanged.
    struct Case { bool wide; int units; size_t bytes; };
    const Case cases[] = {{true, 0x1FFFFFBF, 0x7FFFFEFC}, {false, 0x7FFFFEFF, 0x7FFFFEFF}};
    for (const Case& c : cases) {
        A().Reset();
        A().FailNth(1, 123);
        int rc = c.wide ? CXYString<wchar_t>().__nNew(c.units, nullptr, 0, 0)
                        : CXYString<char>().__nNew(c.units, nullptr, 0, 0);
        EXPECT_EQ(123, rc);
        EXPECT_EQ(c.bytes, A().LargestRequest());
    }
    // A failed growth of an unshared value leaves it as it was.
    CXYString<wchar_t> w(L"ab");
    A().Reset();
    A().FailNth(1, 123);
    EXPECT_EQ(123, w.nSetLength(0x1FFFFFBF));
    EXPECT_EQ(0x7FFFFEFCu, A().LargestRequest());
    EXPECT_EQ(L"ab", TextOf(w));
}

template <class T>
class XYStringFailure : public vxtest::TypedStrMemTest<T>
{
};
TYPED_TEST_SUITE(XYStringFailure, vxtest::TextKinds);

// With the allocator refusing the next request: codes pass through, unshared
// values whose growth failed are unchanged, a shared value whose copy could
// not be made is left empty (its other holder untouched), Set leaves empty.
TYPED_TEST(XYStringFailure, RefusedRequestsKeepOrEmptyTheValue)
{
    using Str = typename TestFixture::Str;
    const auto abc = this->S("abc");
    const auto xyz = this->S("xyz");
    const auto longer = this->S("abcdefgh");
    Str flagged(this->S("q").c_str());
    flagged._SetFlagsWord(STRMEM_FLAG_END_MARKER);

    struct Case {
        const char* name;
        const char* initial;  // nullptr: starts empty
        bool shared;
        std::function<int(Str&)> op;
        const char* after;  // nullptr: empty afterwards
    };
    const Case cases[] = {
        {"new block", nullptr, false, [&](Str& s) { return s.nAffecte(abc.c_str()); }, nullptr},
        {"__nNew", nullptr, false, [&](Str& s) { return s.__nNew(3, abc.c_str(), 3, 0); }, nullptr},
        {"assign over shared", "abc", true, [&](Str& s) { return s.nAffecte(xyz.c_str()); }, nullptr},
        {"assign grows unshared", "abc", false, [&](Str& s) { return s.nAffecte(longer.c_str()); }, "abc"},
        {"Set grows unshared", "abc", false, [&](Str& s) { s.Set(longer.c_str()); return 123; }, nullptr},
        {"Set over shared", "abc", true, [&](Str& s) { s.Set(xyz.c_str()); return 123; }, nullptr},
        {"append grows unshared", "abc", false, [&](Str& s) { return s.nConcat(xyz.c_str()); }, "abc"},
        {"append to shared", "abc", true, [&](Str& s) { return s.nConcat(xyz.c_str()); }, nullptr},
        {"append value to shared", "abc", true, [&](Str& s) { return s.nConcat(flagged); }, nullptr},
        {"unshare", "abc", true, [&](Str& s) { return s.nUnshare(); }, nullptr},
        {"set length of shared", "abc", true, [&](Str& s) { return s.nSetLength(8); }, nullptr},
    };
    for (const Case& c : cases) {
        Str s;
        if (c.initial) {
            ASSERT_EQ(0, s.nAffecte(this->S(c.initial).c_str()));
        }
        Str other;
        if (c.shared)
            other = s;
        this->A().FailNth(1, 123);
        EXPECT_EQ(123, c.op(s)) << c.name;
        if (c.after) {
            EXPECT_EQ(this->S(c.after), TextOf(s)) << c.name;
            EXPECT_TRUE(Terminated(s)) << c.name;
        } else {
            EXPECT_EQ(nullptr, s.pbyGetBlock()) << c.name;
        }
        if (c.shared) {
            EXPECT_EQ(this->S(c.initial), TextOf(other)) << c.name;
            EXPECT_EQ(1u, RefCount(other)) << c.name;
            EXPECT_EQ(0u, other.dwGetFlags()) << c.name;
        }
        this->A().FailNth(0, 0);
    }
}

// The stand-in moves every grown block and poisons and frees the old one, so
// a text read from the value's own block after the growth would fault.
TYPED_TEST(XYStringFailure, AppendingFromTheOwnBlockSurvivesAMovingGrowth)
{
    using Str = typename TestFixture::Str;
    this->A().SetAlwaysMove(true);

    Str s(this->S("abcdef").c_str());
    unsigned char* before = s.pbyGetBlock();
    ASSERT_EQ(0, s.nConcat(s.pszGet() + 2, 3));
    EXPECT_NE(before, s.pbyGetBlock());
    EXPECT_EQ(this->S("abcdefcde"), TextOf(s));

    ASSERT_EQ(0, s.nConcat(s.pszGet() + 7));  // measured inside the block
    EXPECT_EQ(this->S("abcdefcdede"), TextOf(s));

    Str t(this->S("ab").c_str());
    ASSERT_EQ(0, t.nConcat(t));  // the value itself
    EXPECT_EQ(this->S("abab"), TextOf(t));

    Str holder(t);  // shared: the copy is made first, the text read from it
    ASSERT_EQ(0, t.nConcat(holder.pszGet() + 1, 2));
    EXPECT_EQ(this->S("ababba"), TextOf(t));
    EXPECT_EQ(this->S("abab"), TextOf(holder));

    ASSERT_EQ(0, t.nAffecte(t.pszGet() + 2, -1));  // overlapping, block reused
    EXPECT_EQ(this->S("abba"), TextOf(t));
    EXPECT_TRUE(Terminated(t));
    EXPECT_GE(this->A().Calls(StandinStrMemAlloc::kReallocEx), 3);
}

}  // namespace
