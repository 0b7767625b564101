// CTStringConcatAW in its three modes (wide master, 1252 master, UTF-8
// master), both sides read after every change; positions in wide characters
// with non-ASCII text before them; the rebuild rule, the forms of 8-bit
// input, searches and a spoiled builder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/text/ct_string.h"
#include "common/text/string_concat_aw.h"
#include "tests/common/xmalloc_failures.h"
#include "tests/host/support/test_environment.h"

namespace {

using AW = CTStringConcatAW;

// The 8-bit form a test text must have: UTF-8, or code page 1252 for the
// characters the tests use.
std::string Encode(const std::wstring& w, unsigned cp)
{
    std::string out;
    for (wchar_t wc : w) {
        const auto c = static_cast<unsigned>(wc);
        if (cp == 65001) {
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += static_cast<char>(0xE0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (c >> 18));
                out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        } else if (c == 0x20AC) {
            out += '\x80';
        } else {
            out += c < 0x100 && (c < 0x80 || c >= 0xA0) ? static_cast<char>(c) : '?';
        }
    }
    return out;
}

struct Mode
{
    const char* name;
    unsigned master;
    unsigned input;
    unsigned CodePageA() const { return master == AW::kMaitreLarge ? input : master; }
};

const Mode kModes[] = {
    {"wide", AW::kMaitreLarge, 1252},
    {"cp1252", 1252, 1252},
    {"utf8", 65001, 1252},
};

// Runtime strings are not used by the builder; with the allocator moving
// every block, any that were would show up as faults or live blocks.
class StringConcatAW : public ::testing::TestWithParam<Mode>
{
protected:
    void SetUp() override
    {
        vxtest::Allocator().SetAlwaysMove(true);
        m_live = vxtest::Allocator().LiveBlocks();
    }
    void TearDown() override
    {
        EXPECT_EQ(m_live, vxtest::Allocator().LiveBlocks());
        vxtest::Allocator().SetAlwaysMove(false);
    }

    // After a change: the other side is stale, and both sides read back the
    // expected text in their own form.
    void Check(AW& b, const std::wstring& expected, const char* what, bool changed = true)
    {
        const Mode& m = GetParam();
        if (!changed)
            ;
        else if (m.master == AW::kMaitreLarge)
            EXPECT_EQ(0, b.nGetLongueurA()) << what << ": the 8-bit side is stale";
        else
            EXPECT_EQ(0, b.nGetLongueurW()) << what << ": the wide side is stale";
        EXPECT_EQ(expected, std::wstring(b.pszGetW())) << what;
        EXPECT_EQ(static_cast<long>(expected.size()), b.nGetLongueurW()) << what;
        const std::string a = Encode(expected, m.CodePageA());
        EXPECT_EQ(a, std::string(b.pszGetA())) << what;
        EXPECT_EQ(static_cast<long>(a.size()), b.nGetLongueurA()) << what;
    }

    long m_live = 0;
};

TEST_P(StringConcatAW, StatementEditedAtWidePositions)
{
    const Mode& m = GetParam();
    AW b(m.master, m.input);
    struct Step
    {
        const char* what;
        std::function<void(AW&)> op;
        const wchar_t* expected;
        bool changes = true;
    };
    const std::vector<Step> steps = {
        {"SetStrCte", [](AW& x) { x.SetStrCte(L"SELECT é FROM t WHERE a = ? AND b = ?", -1); },
         L"SELECT é FROM t WHERE a = ? AND b = ?"},
        {"replace all from a position", [](AW& x) { x.Remplace(L"?", 1, L"'€'", 3, 27); },
         L"SELECT é FROM t WHERE a = ? AND b = '€'"},
        {"replace at a position with 8-bit input", [](AW& x) { x.Remplace(26, 1, "'\xE9t\xE9'", 5); },
         L"SELECT é FROM t WHERE a = 'été' AND b = '€'"},
        {"insert after a non-ASCII character", [](AW& x) { x.Insert(L"DISTINCT ", -1, 7); },
         L"SELECT DISTINCT é FROM t WHERE a = 'été' AND b = '€'"},
        {"insert past the end appends", [](AW& x) { x.Insert("\xC9", 1, 100); },
         L"SELECT DISTINCT é FROM t WHERE a = 'été' AND b = '€'É"},
        {"cut passing the end", [](AW& x) { x.Coupe(52, 5); },
         L"SELECT DISTINCT é FROM t WHERE a = 'été' AND b = '€'"},
        {"cut inside", [](AW& x) { x.Coupe(7, 9); }, L"SELECT é FROM t WHERE a = 'été' AND b = '€'"},
        {"replace all, resuming behind each replacement", [](AW& x) { x.Remplace(L"é", 1, L"ée", 2, 0); },
         L"SELECT ée FROM t WHERE a = 'éetée' AND b = '€'"},
        {"equal lengths replaced in place", [](AW& x) { x.Remplace(L"e", 1, L"E", 1, 10); },
         L"SELECT ée FROM t WHERE a = 'éEtéE' AND b = '€'"},
        {"truncate after the last non-ASCII", [](AW& x) { x.Tronque(45); },
         L"SELECT ée FROM t WHERE a = 'éEtéE' AND b = '€"},
        {"truncate before it", [](AW& x) { x.Tronque(44); }, L"SELECT ée FROM t WHERE a = 'éEtéE' AND b = '"},
        {"upper case", [](AW& x) { x.Majuscule(); }, L"SELECT ÉE FROM T WHERE A = 'ÉETÉE' AND B = '"},
        {"replace to the end", [](AW& x) { x.Remplace(7, -1, L"1", 1); }, L"SELECT 1"},
        {"append numbers", [](AW& x) {
             x.Add(L" + ", 3);
             x.AddNumber(7, 3);
             x.Add(L" + 0x", 5);
             x.AddNumberHexa(static_cast<unsigned short>(0xAB));
         },
         L"SELECT 1 + 007 + 0x00AB"},
        {"truncate past the length leaves it", [](AW& x) { x.Tronque(100); }, L"SELECT 1 + 007 + 0x00AB", false},
        {"truncate to 0 empties", [](AW& x) { x.Tronque(0); }, L""},
    };
    for (const Step& s : steps) {
        s.op(b);
        Check(b, s.expected, s.what, s.changes);
    }
}

TEST_P(StringConcatAW, SearchesAnswerWidePositions)
{
    const Mode& m = GetParam();
    AW b(m.master, m.input);
    b.Add(L"SELECT é FROM t WHERE a = ? AND b = '€?'", -1);
    EXPECT_EQ(26, b.nPos(L'?'));
    EXPECT_EQ(38, b.nPos(L'?', 27));
    EXPECT_EQ(26, b.nPos('?'));
    EXPECT_EQ(7, b.nPos(L"é"));
    EXPECT_EQ(7, b.nPos("\xE9"));  // input code page 1252
    EXPECT_EQ(9, b.nPos(L"FROM"));
    EXPECT_EQ(37, b.nPos(L"€"));
    EXPECT_EQ(37, b.nPos(L'€', 10));
    EXPECT_EQ(-1, b.nPos(L"FROM", 10));
    EXPECT_EQ(-1, b.nPos(L""));
    EXPECT_EQ(-1, b.nPos(L'?', 41));
    // A character no code page of the builder holds is nowhere, even though
    // its conversion would be the "?" that is there.
    EXPECT_EQ(-1, b.nPos(L'中'));
    if (m.master != 65001) {
        EXPECT_EQ(-1, b.nPos(L"中?"));
    }
    EXPECT_EQ(40, b.nGetNbCar());
    EXPECT_FALSE(b.bIsCharSpace(b.nGetNbCar() - 1));
    EXPECT_TRUE(b.bIsCharSpace(8));
    EXPECT_FALSE(b.bIsCharSpace(7));
    EXPECT_FALSE(b.bIsCharSpace(-1));
    EXPECT_FALSE(b.bIsCharSpace(1000));
    EXPECT_EQ(L'é', b.cGetCharW(7));
    EXPECT_EQ(L'F', b.cGetCharW(9));
    EXPECT_EQ(0, b.cGetCharW(-1));
    EXPECT_EQ(0, b.cGetCharW(41));
}

TEST_P(StringConcatAW, NothingAddedChangesNothingNotEvenTheOtherSide)
{
    const Mode& m = GetParam();
    AW b(m.master, m.input);
    b.Add(L"ab", 2);
    b.pszGetW();
    b.pszGetA();
    const long w = b.nGetLongueurW(), a = b.nGetLongueurA();
    ASSERT_GT(w, 0);
    ASSERT_GT(a, 0);
    b.Add(L"x", 0);
    b.Add(static_cast<const wchar_t*>(nullptr), 3);
    b.Add("x", 0, AW::kCodePageEntree);
    b.Add(static_cast<const char*>(nullptr), 2, 1252);
    b.Add("x", -5, 1252);
    b.AddUTF8(nullptr, 4);
    b.Insert(L"x", 0, 1);
    b.Remplace(L"", -1, L"y", 1);
    b.Remplace(L"abc", -1, L"y", 1);  // longer than the text
    b.Remplace(L"zz", -1, L"y", 1);   // absent
    b.Coupe(1, 0);
    b.Tronque(3);
    EXPECT_EQ(w, b.nGetLongueurW());
    EXPECT_EQ(a, b.nGetLongueurA());
    EXPECT_STREQ(L"ab", b.pszGetW());
}

TEST_P(StringConcatAW, EmptyBuilder)
{
    const Mode& m = GetParam();
    AW b(m.master, m.input);
    EXPECT_STREQ(L"", b.pszGetW());
    EXPECT_STREQ("", b.pszGetA());
    EXPECT_TRUE(b.bEstVide());
    b.Remplace(0L, 1, L"x", 1);
    b.Coupe(0, 1);
    b.Tronque(0);
    b.Majuscule();
    EXPECT_TRUE(b.bEstVide());
    EXPECT_EQ(-1, b.nPos(L'a'));
    EXPECT_EQ(-1, b.nPos('a'));
    EXPECT_EQ(0, b.cGetCharA(0));
    // Insert is the one change that works on an empty builder.
    b.Insert(L"é", -1, 5);
    Check(b, L"é", "insert into empty");
}

TEST_P(StringConcatAW, TextsFromTheBuilderItself)
{
    const Mode& m = GetParam();
    AW b(m.master, m.input);
    b.Add(L"é-", -1);
    for (int i = 0; i < 9; ++i) b.Add(b.pszGetW(), -1);  // grows while reading its own wide side
    std::wstring expected;
    for (int i = 0; i < 512; ++i) expected += L"é-";
    Check(b, expected, "doubled from its own text");
    b.SetStrCte(L"abc", 3);
    b.Insert(b.pszGetW(), -1, 1);
    Check(b, L"aabcbc", "inserted into itself");
    b.Remplace(L"b", 1, b.pszGetW(), -1);
    Check(b, L"aaaabcbccaabcbcc", "replaced by itself");
    b.SetStrCte(b.pszGetW() + 2, 3);
    Check(b, L"aab", "set from itself");
    b.Add(b.pszGetA(), -1, m.CodePageA());
    Check(b, L"aabaab", "8-bit side added to itself");
}

INSTANTIATE_TEST_SUITE_P(Modes, StringConcatAW, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

TEST(StringConcatAWModes, StaleSidesAndTheRebuildRule)
{
    AW b(AW::kMaitreLarge, 1252);
    b.Add(L"Été", 3);
    // With a wide master the 8-bit side is current only after pszGetA.
    EXPECT_EQ(0, b.cGetCharA(0));
    EXPECT_STREQ("\xC9t\xE9", b.pszGetA());
    EXPECT_EQ('\xC9', b.cGetCharA(0));
    EXPECT_EQ(0, b.cGetCharA(3));
    EXPECT_EQ(0, b.cGetCharA(-1));
    b.AddNumber(5L);
    EXPECT_EQ(0, b.nGetLongueurA());
    EXPECT_EQ(0, b.cGetCharA(0));

    // An 8-bit master rebuilds its wide side on demand, and cGetCharA reads
    // the master after it.
    AW u(65001, 1252);
    u.Add("\xC3\x89t\xC3\xA9", -1, 65001);
    EXPECT_EQ(0, u.nGetLongueurW());
    EXPECT_EQ('\xC3', u.cGetCharA(0));
    EXPECT_EQ(3, u.nGetLongueurW());
    EXPECT_EQ(5, u.nGetLongueurA());
}

TEST(StringConcatAWModes, EightBitInputTakesTheRightRoad)
{
    struct Case
    {
        const char* what;
        unsigned master, input;
        const char* text;
        unsigned cp;
        const char* expectedA;
        const wchar_t* expectedW;
    } cases[] = {
        {"UTF-8 master, input 1252", 65001, 1252, "caf\xE9", AW::kCodePageEntree, "caf\xC3\xA9", L"café"},
        {"UTF-8 master, UTF-8 text copied", 65001, 1252, "caf\xC3\xA9", 65001, "caf\xC3\xA9", L"café"},
        {"1252 master, UTF-8 text through wide", 1252, 1252, "caf\xC3\xA9 \xE2\x82\xAC", 65001, "caf\xE9 \x80",
         L"café €"},
        {"1252 master, code page 0 is 1252", 1252, 1252, "caf\xE9", 0, "caf\xE9", L"café"},
        {"1252 master, 932 text", 1252, 1252, "\x93\xFA", 932, "?", L"?"},
        {"wide master, input UTF-8", AW::kMaitreLarge, 65001, "caf\xC3\xA9", AW::kCodePageEntree, "caf\xC3\xA9",
         L"café"},
        {"wide master, text of its own code page", AW::kMaitreLarge, 65001, "caf\xE9", 1252, "caf\xC3\xA9", L"café"},
        {"932 master, input 1252", 932, 1252, "caf\xE9", AW::kCodePageEntree, "caf?", L"caf?"},
    };
    for (const Case& c : cases) {
        AW b(c.master, c.input);
        b.Add(c.text, -1, c.cp);
        EXPECT_STREQ(c.expectedA, b.pszGetA()) << c.what;
        EXPECT_STREQ(c.expectedW, b.pszGetW()) << c.what;
    }
    AW u(65001, 1252);
    u.AddUTF8("\xE2\x82\xAC", -1);
    u.AddStrCte(L"€", 1);
    EXPECT_STREQ("\xE2\x82\xAC\xE2\x82\xAC", u.pszGetA());
    AW w(AW::kMaitreLarge, 1252);
    w.AddUTF8("\xE2\x82\xAC", 3);
    w.Add(CTString(L"-é"));
    EXPECT_STREQ(L"€-é", w.pszGetW());
    EXPECT_STREQ("\x80-\xE9", w.pszGetA());
}

TEST(StringConcatAWModes, UTF8MasterMapsPositionsToWholeCharacters)
{
    // Byte offsets would put the parameter inside "é" and cut "€" in half.
    AW b(65001, 1252);
    b.Add(L"é€x", -1);
    b.Insert(L"?", 1, 1);
    EXPECT_STREQ("\xC3\xA9?\xE2\x82\xAC" "x", b.pszGetA());
    b.Tronque(3);
    EXPECT_STREQ("\xC3\xA9?\xE2\x82\xAC", b.pszGetA());
    b.Tronque(2);
    EXPECT_STREQ("\xC3\xA9?", b.pszGetA());
    b.Remplace(0L, 1, "\xE8", 1);  // input code page 1252
    EXPECT_STREQ("\xC3\xA8?", b.pszGetA());
    EXPECT_EQ(1, b.nPos(L'?'));

    // Bytes the decoder drops belong to no character: positions count the
    // characters around them, and the bytes stay in place.
    AW raw(65001, 1252);
    raw.Add("a\xFF" "b\xC3\xA9" "c", -1, 65001);
    EXPECT_STREQ(L"abéc", raw.pszGetW());
    EXPECT_EQ(2, raw.nPos(L'é'));
    raw.Insert(L"-", 1, 2);
    EXPECT_STREQ("a\xFF" "b-\xC3\xA9" "c", raw.pszGetA());
    raw.Coupe(2, 1);
    EXPECT_STREQ("a\xFF" "b\xC3\xA9" "c", raw.pszGetA());
    raw.Majuscule();
    EXPECT_STREQ("A\xFF" "B\xC3\x89" "C", raw.pszGetA());
    // They go with the character after them.
    raw.Coupe(1, 1);
    EXPECT_STREQ("A\xC3\x89" "C", raw.pszGetA());

    // A character cut by the end of the text is dropped like them: the wide
    // side still reads the rest.
    AW cut(65001, 1252);
    cut.Add("x\xC3\xA9y\xE2\x82", -1, 65001);
    EXPECT_STREQ(L"xéy", cut.pszGetW());
    cut.Insert(L"-", 1, 3);
    EXPECT_STREQ("x\xC3\xA9y\xE2\x82-", cut.pszGetA());
    EXPECT_STREQ(L"xéy-", cut.pszGetW());
    cut.Tronque(2);
    EXPECT_STREQ("x\xC3\xA9", cut.pszGetA());
}

TEST(StringConcatAWModes, DoubleByteMasterMapsPositionsToWholeCharacters)
{
    AW b(932, 932);
    b.Add(L"日本 ? x", -1);
    EXPECT_EQ(3, b.nPos(L'?'));
    b.Remplace(3, 1, L"語", 1);
    EXPECT_STREQ("\x93\xFA\x96\x7B \x8C\xEA x", b.pszGetA());
    EXPECT_TRUE(b.bIsCharSpace(2));
    b.Coupe(1, 1);
    EXPECT_STREQ(L"日 語 x", b.pszGetW());
    b.Tronque(3);
    EXPECT_STREQ("\x93\xFA \x8C\xEA", b.pszGetA());
}

TEST(StringConcatAWModes, ReplacingAll)
{
    AW b(65001, 1252);
    b.Add(L"aaa", -1);
    b.Remplace(L"a", 1, L"aa", 2);
    EXPECT_STREQ(L"aaaaaa", b.pszGetW());
    b.Remplace(L"aa", -1, L"", 0);
    EXPECT_STREQ(L"", b.pszGetW());
    b.Add(L"x?y?z", -1);
    b.Remplace("?", 1, "\xE9", 1);  // both in the input code page
    EXPECT_STREQ("x\xC3\xA9y\xC3\xA9z", b.pszGetA());
    b.Remplace(L"é", -1, L"-", 1, 2);
    EXPECT_STREQ(L"xéy-z", b.pszGetW());
    b.Remplace(L"z", -1, L"-", 1, 6);  // start past the end
    EXPECT_STREQ(L"xéy-z", b.pszGetW());
}

TEST(StringConcatAWModes, MemberBuilderSetByItsOwner)
{
    AW b;
    EXPECT_EQ(AW::kNonDefini, b.nGetCodePageMaitre());
    EXPECT_EQ(AW::kNonDefini, b.nGetCodePageEntree());
    b.SetCodePages(AW::kMaitreLarge, 65001);
    EXPECT_TRUE(b.bMaitreLarge());
    b.Add(L"é", 1);
    EXPECT_STREQ("\xC3\xA9", b.pszGetA());
}

TEST(StringConcatAWModes, FailedGrowthLeavesNoHalfStatement)
{
    for (const Mode& m : kModes) {
        AW b(m.master, m.input);
        b.Add(L"DELETE FROM t", -1);
        {
            vxtest::XmallocFailures failures;
            failures.FailAll(true);
            b.Add(std::wstring(5000, L'x').c_str(), -1);
        }
        EXPECT_TRUE(b.bEchec()) << m.name;
        b.Add(L" WHERE 1 = 0", -1);
        EXPECT_STREQ(L"", b.pszGetW()) << m.name;
        EXPECT_STREQ("", b.pszGetA()) << m.name;
        b.Vide();
        EXPECT_FALSE(b.bEchec()) << m.name;
        b.Add(L"ok", 2);
        EXPECT_STREQ("ok", b.pszGetA()) << m.name;
    }
    // A change in place whose scratch conversion fails spoils the master.
    AW b(65001, 1252);
    b.Add(L"SELECT ?", -1);
    {
        vxtest::XmallocFailures failures;
        failures.FailAll(true);
        b.Remplace(L"?", 1, L"'x'", 3);
    }
    EXPECT_STREQ("", b.pszGetA());
}

}  // namespace
