// The binary value: sharing, copy-on-write, appending, parts and searches,
// on the stand-in allocator with leak checks.
#include <climits>
#include <string>

#include "common/text/zl_bin.h"
#include "tests/common/text/xy_string_fixture.h"

namespace {

using vxtest::RefCount;

std::string Bytes(const CZLBIN& b)
{
    return std::string(reinterpret_cast<const char*>(b.pbyGet()), static_cast<size_t>(b.nGetTailleUtile()));
}

const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

CZLBIN Bin(const char* s) { return CZLBIN(U(s), static_cast<int>(std::strlen(s))); }

class ZLBin : public vxtest::StrMemTest
{
};

TEST_F(ZLBin, ConstructionSharingAndTaking)
{
    CZLBIN a = Bin("abc");
    EXPECT_EQ("abc", Bytes(a));
    EXPECT_EQ(3u, StandinStrMemAlloc::Capacity(a.pbyGetBlock())) << "exact size";
    {
        CZLBIN b(a);
        EXPECT_EQ(a.pbyGetBlock(), b.pbyGetBlock());
        EXPECT_EQ(2u, RefCount(a));
    }
    EXPECT_EQ(1u, RefCount(a));

    CZLBIN raw(nullptr, 5);
    EXPECT_EQ(5, raw.nGetTailleUtile()) << "a block of n bytes whose content is not set";
    CZLBIN none(nullptr, 0);
    EXPECT_EQ(nullptr, none.pbyGetBlock());

    CZLBIN t;
    t.Take(&a);
    EXPECT_EQ("abc", Bytes(t));
    EXPECT_EQ(nullptr, a.pbyGetBlock()) << "the source gives up its reference";
    EXPECT_EQ(1u, RefCount(t));
    t.Take(&t);
    EXPECT_EQ("abc", Bytes(t));

    CZLBIN init;
    EXPECT_EQ(0, init.nAssignInit(U("xy"), 2));
    EXPECT_EQ("xy", Bytes(init));
    EXPECT_EQ(0, init.nAssignInit(nullptr, 4));
    EXPECT_EQ(nullptr, init.pbyGetBlock());
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, init.nAssignInit(U("xy"), -1));
}

TEST_F(ZLBin, AssignKeepsTheFirstBytesAndCopiesOnlyWhenCut)
{
    const CZLBIN src = Bin("abcdef");
    CZLBIN v = Bin("old");
    v.Assign(&src, -1);
    EXPECT_EQ(src.pbyGetBlock(), v.pbyGetBlock());
    v.Assign(&src, 3);
    EXPECT_EQ("abc", Bytes(v));
    EXPECT_NE(src.pbyGetBlock(), v.pbyGetBlock());
    EXPECT_EQ("abcdef", Bytes(src));
    v.Assign(&src, 6);  // n equal to the length still cuts: the value gets its own copy
    EXPECT_NE(src.pbyGetBlock(), v.pbyGetBlock());
    EXPECT_EQ("abcdef", Bytes(v));
    v.Assign(&src, 7);  // beyond the length: shares as it is
    EXPECT_EQ(src.pbyGetBlock(), v.pbyGetBlock());
    const CZLBIN& same = v;
    v = same;  // itself
    EXPECT_EQ("abcdef", Bytes(v));
    CZLBIN w;
    w._Assign(&src, 2);
    EXPECT_EQ("ab", Bytes(w));
}

TEST_F(ZLBin, AssignReusesAnUnsharedBlockAndPassesTheFlagsOn)
{
    CZLBIN v = Bin("abcdef");
    unsigned char* block = v.pbyGetBlock();
    EXPECT_EQ(0, v.nAssign(U("xy"), 2, 1));
    EXPECT_EQ(block, v.pbyGetBlock()) << "an unshared block is reused";
    EXPECT_EQ("xy", Bytes(v));
    EXPECT_EQ(0, v.nAssign(U("0123456789"), 10, 1));
    EXPECT_EQ(10u, StandinStrMemAlloc::Capacity(v.pbyGetBlock()));
    EXPECT_EQ(1u, A().LastFlags()) << "the caller's flags reach the allocator";
    const CZLBIN other(v);
    EXPECT_EQ(0, v.nAssign(v.pbyGet() + 2, 3, 0));  // from the value's own, shared, block
    EXPECT_EQ("234", Bytes(v));
    EXPECT_EQ("0123456789", Bytes(other));
    EXPECT_EQ(0, v.nAssign(U("z"), 0, 0));
    EXPECT_EQ(nullptr, v.pbyGetBlock());

    const long calls = A().AllocAndReallocCalls();
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nAssign(U("z"), 0x7FFFFF00, 0));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nAssign(U("z"), -5, 0));
    EXPECT_EQ(calls, A().AllocAndReallocCalls());
}

TEST_F(ZLBin, ConcatCopiesASharedBlockAndClearsTheMarker)
{
    CZLBIN v;
    EXPECT_EQ(0, v.nConcat(U("ab"), 2));
    const CZLBIN other(v);
    v._SetFlagsWord(0);
    EXPECT_EQ(0, v.nConcat(U("cd"), 2));
    EXPECT_EQ("abcd", Bytes(v));
    EXPECT_EQ("ab", Bytes(other));
    EXPECT_EQ(0, v.nConcat(U("x"), 0));
    EXPECT_EQ(0, v.nConcat(v.pbyGet(), 4));  // its own bytes, through a growth that may move them
    EXPECT_EQ("abcdabcd", Bytes(v));

    CZLBIN marked = Bin("a\xFF");
    marked._SetFlagsWord(1);
    EXPECT_EQ(0, marked.nConcat(U("b"), 1));
    EXPECT_FALSE(marked.bEndMarker());

    const long calls = A().AllocAndReallocCalls();
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nConcat(U("x"), 0x7FFFFFF8)) << "the total passes the limit";
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nConcat(U("x"), -1));
    EXPECT_EQ(calls, A().AllocAndReallocCalls());
    EXPECT_EQ("abcdabcd", Bytes(v));

    CZLBIN tail = Bin("\xFF");
    tail._SetFlagsWord(1);
    CZLBIN w;
    EXPECT_EQ(0, w.nConcat(tail));
    EXPECT_EQ(tail.pbyGetBlock(), w.pbyGetBlock()) << "an empty target shares";
    CZLBIN x = Bin("q");
    EXPECT_EQ(0, x.nConcat(tail));
    EXPECT_TRUE(x.bEndMarker()) << "appending a value takes its marker";
    EXPECT_EQ(0, x.nConcat(x));
    EXPECT_EQ("q\xFFq\xFF", Bytes(x));
}

TEST_F(ZLBin, ConcatInitCoversEachCase)
{
    SCOPED_TRACE("A empty");
    {
        CZLBIN a, b = Bin("b"), r;
        EXPECT_EQ(0, r.nConcatInit(&a, &b, 0));
        EXPECT_EQ(b.pbyGetBlock(), r.pbyGetBlock());
    }
    {
        CZLBIN a = Bin("a"), b, r;
        EXPECT_EQ(0, r.nConcatInit(&a, &b, 0));
        EXPECT_EQ(a.pbyGetBlock(), r.pbyGetBlock()) << "B empty: shares A";
    }
    {
        CZLBIN a = Bin("ab"), b = Bin("c\xFF"), r;
        b._SetFlagsWord(1);
        EXPECT_EQ(0, r.nConcatInit(&a, &b, 0));
        EXPECT_EQ("abc\xFF", Bytes(r));
        EXPECT_TRUE(r.bEndMarker()) << "B's marker";
        EXPECT_EQ("ab", Bytes(a));
    }
    {
        CZLBIN a = Bin("ab"), b = Bin("cd"), r;
        unsigned char* block = a.pbyGetBlock();
        EXPECT_EQ(0, r.nConcatInit(&a, &b, 1));
        EXPECT_EQ("abcd", Bytes(r));
        EXPECT_EQ(nullptr, a.pbyGetBlock()) << "an unshared temporary is taken over";
        (void)block;
    }
    {
        CZLBIN a = Bin("ab"), keep(a), b = Bin("cd"), r;
        EXPECT_EQ(0, r.nConcatInit(&a, &b, 1));
        EXPECT_EQ("abcd", Bytes(r));
        EXPECT_EQ("ab", Bytes(a)) << "a shared temporary is only shared";
        EXPECT_EQ("ab", Bytes(keep));
    }
    {
        CZLBIN a = Bin("ab"), r;
        EXPECT_EQ(0, r.nConcatInit(&a, &a, 1));
        EXPECT_EQ("abab", Bytes(r));
    }
}

TEST_F(ZLBin, ConcatSeparateur)
{
    struct Case
    {
        const char* value;
        const char* sep;
        const char* other;
        int nothingWhenEmpty;
        const char* result;
    } cases[] = {
        {"a", ",", "b", 0, "a,b"},   {"a,", ",", "b", 0, "a,b"}, {"a", ",", ",b", 0, "a,b"},
        {"", ",", "b", 0, ",b"},     {"", ",", "b", 1, "b"},     {"a", ",", "", 0, "a"},
        {"a", "", "b", 0, "ab"},     {"a", "--", "b", 1, "a--b"},
    };
    for (const Case& c : cases) {
        CZLBIN v = Bin(c.value);
        const CZLBIN sep = Bin(c.sep), other = Bin(c.other);
        EXPECT_EQ(0, v.nConcatSeparateur(&sep, &other, c.nothingWhenEmpty));
        EXPECT_EQ(c.result, Bytes(v)) << c.value << " " << c.sep << " " << c.other;
    }
    CZLBIN v = Bin("x");
    const CZLBIN sep = Bin("+");
    EXPECT_EQ(0, v.nConcatSeparateur(&sep, &v, 0));
    EXPECT_EQ("x+x", Bytes(v));
}

TEST_F(ZLBin, RepeteChecksTheProductBeforeAllocating)
{
    CZLBIN v;
    EXPECT_EQ(0, v.nRepete(Bin("ab"), 3));
    EXPECT_EQ("ababab", Bytes(v));
    EXPECT_EQ(0, v.nRepete(v, 2));
    EXPECT_EQ("abababababab", Bytes(v));
    EXPECT_EQ(0, v.nRepete(CZLBIN(), 5));
    EXPECT_EQ(nullptr, v.pbyGetBlock());
    v = Bin("k");
    EXPECT_EQ(0, v.nRepete(Bin("ab"), 0));
    EXPECT_EQ(nullptr, v.pbyGetBlock());

    // 1000 bytes times 3,000,000 wraps in 32 bits; it is refused whole.
    v = Bin("keep");
    const CZLBIN pattern(nullptr, 1000);
    const long calls = A().AllocAndReallocCalls();
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nRepete(pattern, 3000000));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nRepete(pattern, INT_MAX));
    EXPECT_EQ(calls, A().AllocAndReallocCalls());
    EXPECT_EQ("keep", Bytes(v));

    const CZLBIN ab = Bin("ab");
    A().FailNth(1, 77);
    EXPECT_EQ(77, v.nRepete(ab, 2)) << "the allocator's code";
    EXPECT_EQ("keep", Bytes(v));
}

TEST_F(ZLBin, SearchesAndComparisons)
{
    const CZLBIN v = Bin("abcabc");
    struct Pos
    {
        const char* what;
        int start;
        int result;
    } positions[] = {
        {"abc", 0, 0}, {"abc", 1, 3}, {"abc", 3, 3}, {"abc", 4, -1}, {"c", 5, 5},
        {"c", 6, -1},  {"", 0, -1},   {"x", 0, -1},  {"b", -1, -1},  {"abcabcd", 0, -1},
    };
    for (const Pos& p : positions)
        EXPECT_EQ(p.result, v.nPos(U(p.what), static_cast<int>(std::strlen(p.what)), p.start))
            << p.what << " from " << p.start;
    EXPECT_EQ(-1, CZLBIN().nPos(U("a"), 1, 0));
    EXPECT_EQ(-1, v.nPos(U("a"), 1, INT_MAX)) << "start + n must not wrap";

    struct Cmp
    {
        const char* a;
        const char* b;
        int compare;
        bool begins, ends, contains;
    } cmps[] = {
        {"ab", "abc", -1, false, false, false}, {"abc", "ab", 1, true, false, true}, {"", "", 0, true, true, true},
        {"abc", "", 1, true, true, true},       {"abc", "bc", -1, false, true, true}, {"\x80", "\x7F", 1, false, false, false},
        {"abc", "abc", 0, true, true, true},
    };
    for (const Cmp& c : cmps) {
        const CZLBIN a = Bin(c.a), b = Bin(c.b);
        EXPECT_EQ(c.compare, CZLBIN::nCompare(a, b)) << c.a << " " << c.b;
        EXPECT_EQ(c.begins, CZLBIN::bCommencePar(a, b)) << c.a << " " << c.b;
        EXPECT_EQ(c.ends, CZLBIN::bTerminePar(a, b)) << c.a << " " << c.b;
        EXPECT_EQ(c.contains, CZLBIN::bContient(a, b)) << c.a << " " << c.b;
    }
    EXPECT_EQ(0, CZLBIN::nCompare(Bin("abX"), Bin("abY"), 2));
    EXPECT_EQ(-1, CZLBIN::nCompare(Bin("abX"), Bin("abY"), 3));
    EXPECT_EQ(-1, CZLBIN::nCompare(Bin("ab"), Bin("abc"), 5)) << "n beyond the shorter length";
}

TEST_F(ZLBin, MiddleParts)
{
    const CZLBIN v = Bin("abcdef");
    struct Case
    {
        int start, len;
        const char* result;
    } cases[] = {
        {0, 2, "ab"}, {2, -1, "cdef"}, {4, 10, "ef"}, {1, INT_MAX, "bcdef"}, {6, 1, ""},
        {-1, 2, ""},  {2, 0, ""},      {2, -2, ""},   {5, 1, "f"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, Bytes(v.clMilieu(c.start, c.len))) << c.start << " " << c.len;
    CZLBIN w = Bin("abcdef");
    EXPECT_EQ(0, w.nMilieu(&w, 1, 3));
    EXPECT_EQ("bcd", Bytes(w));
}

TEST_F(ZLBin, Remplace)
{
    struct Case
    {
        const char* value;
        int pos, len;
        const char* with;
        const char* result;
    } cases[] = {
        {"abcdef", 1, 2, "XYZ", "aXYZdef"}, {"abcdef", 4, 100, "X", "abcdX"}, {"abcdef", 0, 6, "", ""},
        {"abcdef", 2, 0, "-", "ab-cdef"},   {"abcdef", 6, 1, "X", "abcdef"},  {"abcdef", -1, 1, "X", "abcdef"},
        {"", 0, 1, "X", ""},                {"abcdef", 3, INT_MAX, "", "abc"}, {"abcdef", 1, -3, "Q", "aQbcdef"},
    };
    for (const Case& c : cases) {
        CZLBIN v = Bin(c.value);
        const CZLBIN keep(v);
        v.Remplace(c.pos, c.len, Bin(c.with));
        EXPECT_EQ(c.result, Bytes(v)) << c.value << " " << c.pos << " " << c.len << " " << c.with;
        EXPECT_EQ(c.value, Bytes(keep)) << "the other holder keeps its bytes";
    }
    CZLBIN self = Bin("abc");
    self.Remplace(1, 1, self);
    EXPECT_EQ("aabcc", Bytes(self));
}

TEST_F(ZLBin, TronqueClearsTheMarkerAndLeavesOtherHoldersAlone)
{
    CZLBIN v = Bin("abc");
    v._SetFlagsWord(0x101);
    const CZLBIN other(v);
    v.Tronque(2);
    EXPECT_EQ("ab", Bytes(v));
    EXPECT_EQ(0u, v.dwGetFlags()) << "a new block has flags 0";
    EXPECT_EQ("abc", Bytes(other));
    EXPECT_EQ(0x101u, other.dwGetFlags());

    CZLBIN u = Bin("xyz");
    u._SetFlagsWord(0x101);
    unsigned char* block = u.pbyGetBlock();
    u.Tronque(3);  // the whole length still clears the marker
    EXPECT_EQ(block, u.pbyGetBlock());
    EXPECT_EQ(0x100u, u.dwGetFlags());
    u.Tronque(4);
    u.Tronque(-1);
    EXPECT_EQ("xyz", Bytes(u));
    u.Tronque(0);
    EXPECT_EQ(0, u.nGetTailleUtile());
}

TEST_F(ZLBin, SizesAndFilling)
{
    CZLBIN v;
    EXPECT_EQ(0, v.nSetMemorySize(8, 1));
    EXPECT_EQ(0, v.nGetTailleUtile());
    EXPECT_GE(v.nGetCapacite(), 8);
    v.__FillDynBin(U("abcd"), 4, 2);
    EXPECT_EQ(6, v.nGetTailleUtile());
    EXPECT_EQ("cd", Bytes(v).substr(4));
    v.__FillDynBin(U("abcd"), 4, 5);  // would pass the capacity: nothing
    EXPECT_EQ(6, v.nGetTailleUtile());
    v.SetUtilSize(3);
    EXPECT_EQ(3, v.nGetTailleUtile());
    v.SetUtilSize(9);
    EXPECT_EQ(3, v.nGetTailleUtile());
    EXPECT_EQ(0, v.nSetSize(20, 0));
    EXPECT_EQ(20, v.nGetTailleUtile());
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nSetSize(-1, 0));
    EXPECT_EQ(STRMEM_ERR_TOO_LARGE, v.nSetMemorySize(0x7FFFFF00, 0));

    CZLBIN w;
    EXPECT_EQ(0, w.nSetSize(4, 0));
    EXPECT_EQ(4, w.nGetTailleUtile());
    const CZLBIN shared(w);
    EXPECT_EQ(0, w.nSetSize(2, 0));
    EXPECT_EQ(2, w.nGetTailleUtile());
    EXPECT_EQ(4, shared.nGetTailleUtile());

    CXYString<wchar_t> s;
    ASSERT_EQ(0, s.nSetLength(6));
    s.__FillDynStr(L"xyz", 3, 2);
    EXPECT_EQ(5, s.nGetLongueur());
    EXPECT_EQ(L"xyz", std::wstring(s.pszGet() + 2));
    EXPECT_TRUE(vxtest::Terminated(s));
}

}  // namespace
