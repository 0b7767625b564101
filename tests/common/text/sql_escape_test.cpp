// SQL literal and LIKE-pattern escaping, in both widths: tables of cases per
// flag set, the meaning of the LIKE forms, round trips of the named flag
// sets with their inverse purges, and the rewriting of escaped wildcards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/text/sql_escape.h"

namespace {

template <class T>
std::basic_string<T> S(const char* text)
{
    std::basic_string<T> s;
    for (const char* p = text; *p; ++p) s.push_back(static_cast<T>(static_cast<unsigned char>(*p)));
    return s;
}

template <class T>
std::basic_string<T> Take(T* p)
{
    EXPECT_NE(nullptr, p);
    std::basic_string<T> s = p ? p : S<T>("");
    std::free(p);
    return s;
}

struct Flags
{
    int f[8];
};

template <class T>
std::basic_string<T> Escaped(const std::basic_string<T>& src, const Flags& fl, T q, T e)
{
    std::vector<T> dst(EscapeCapacity(src.size()), T('#'));
    Escape(src.c_str(), dst.data(), fl.f[0], fl.f[1], fl.f[2], fl.f[3], fl.f[4], fl.f[5], fl.f[6], fl.f[7], q, e);
    std::basic_string<T> viaCopy = Take(pszEscape(src.c_str(), fl.f[0], fl.f[1], fl.f[2], fl.f[3], fl.f[4], fl.f[5],
                                                  fl.f[6], fl.f[7], q, e));
    EXPECT_EQ(std::basic_string<T>(dst.data()), viaCopy);
    return viaCopy;
}

template <class T>
class SqlEscape : public ::testing::Test
{
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(SqlEscape, Widths);

constexpr Flags kNone = {{0, 0, 0, 0, 0, 0, 0, 0}};
constexpr Flags kF1 = {{1, 0, 0, 0, 0, 0, 0, 0}};
constexpr Flags kF2 = {{0, 1, 0, 0, 0, 0, 0, 0}};
constexpr Flags kF3 = {{0, 0, 1, 0, 0, 0, 0, 0}};
constexpr Flags kF4F5 = {{0, 0, 0, 1, 1, 0, 0, 0}};
constexpr Flags kF4F6 = {{0, 0, 0, 1, 0, 1, 0, 0}};
constexpr Flags kF1F2 = {{1, 1, 0, 0, 0, 0, 0, 0}};
constexpr Flags kLike = {{0, 0, 1, 1, 1, 1, 1, 1}};  // F3-F8: the pattern without the literal
constexpr Flags kAll = {{1, 1, 1, 1, 1, 1, 1, 1}};

TYPED_TEST(SqlEscape, EscapeByFlagSet)
{
    using T = TypeParam;
    struct Case
    {
        const char* what;
        Flags flags;
        char q, e;
        const char* src;
        const char* expected;
    } cases[] = {
        {"no flag copies", kNone, '\'', '\\', "a'b\\c%d_e\\", "a'b\\c%d_e\\"},
        {"empty", kAll, '\'', '\\', "", ""},
        {"F1 doubles quotes", kF1, '\'', '\\', "it's ''", "it''s ''''"},
        {"F1 with a backslash prefix", kF1, '\\', '\\', "it's", "it\\'s"},
        {"F2 doubles backslashes", kF2, '\'', '!', "a\\b\\", "a\\\\b\\\\"},
        {"F2 never applies when E is the backslash", kF2, '\'', '\\', "a\\b", "a\\b"},
        {"F3 doubles a lone E", kF3, '\'', '\\', "a\\b\\", "a\\\\b\\\\"},
        {"F3 leaves escaped wildcards and doubled E", kF3, '\'', '!', "a!b!!c!%d!_", "a!!b!!c!%d!_"},
        {"F4 F5 escape bare wildcards", kF4F5, '\'', '\\', "5%_x", "5\\%\\_x"},
        {"F6 without F3", kF4F6, '\'', '!', "!%", "!!%"},
        {"all: escaped percent", kAll, '\'', '\\', "\\%", "\\\\\\%"},
        {"all: escaped underscore", kAll, '\'', '\\', "\\_", "\\\\\\_"},
        {"all: doubled E", kAll, '\'', '\\', "\\\\", "\\\\\\\\"},
        {"all: E before anything", kAll, '\'', '\\', "\\x", "\\\\x"},
        {"all: E last", kAll, '\'', '\\', "x\\", "x\\\\"},
        {"all: E before a quote", kAll, '\'', '\\', "\\'", "\\\\''"},
        {"all, E not the backslash", kAll, '\'', '!', "a\\b!%c'", "a\\\\b!!!%c''"},
        {"F1F2: a MySQL literal", kF1F2, '\\', '!', "it's C:\\", "it\\'s C:\\\\"},
        {"a Q of 0 is not written", kF1, '\0', '\\', "it's", "it's"},
        {"an E of 0 escapes nothing", kAll, '\'', '\0', "5%_", "5%_"},
    };
    for (const Case& c : cases) {
        const std::basic_string<T> out = Escaped(S<T>(c.src), c.flags, T(c.q), T(c.e));
        EXPECT_EQ(S<T>(c.expected), out) << c.what;
        EXPECT_LE(out.size(), 2 * std::char_traits<char>::length(c.src)) << c.what;
    }
}

TYPED_TEST(SqlEscape, WorstCaseIsTwiceTheLength)
{
    using T = TypeParam;
    // Every character doubled, on a text larger than the stack work area.
    const std::basic_string<T> src = S<T>(std::string(3000, '\'').c_str()) + S<T>(std::string(3000, '\\').c_str());
    const std::basic_string<T> out = Escaped(src, kAll, T('\''), T('!'));
    EXPECT_EQ(2 * src.size(), out.size());
    EXPECT_EQ(0u, EscapeCapacity(SIZE_MAX / 2));
}

// The pattern an engine sees: the literal layer undone (doubled quotes and,
// when E is not the backslash, doubled backslashes), then LIKE tokens.
// Returns false when the literal or the pattern is malformed; *pLiteral
// gets the characters matched literally and *pWild whether a wildcard is
// left.
template <class T>
bool Pattern(const std::basic_string<T>& escaped, T e, std::basic_string<T>* pLiteral, bool* pWild)
{
    std::basic_string<T> pattern;
    for (size_t i = 0; i < escaped.size(); ++i) {
        const T c = escaped[i];
        if (c == T('\'') || (c == T('\\') && e != T('\\'))) {
            if (i + 1 >= escaped.size() || escaped[i + 1] != c)
                return false;
            ++i;
        }
        pattern.push_back(c);
    }
    pLiteral->clear();
    *pWild = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == e) {
            if (i + 1 >= pattern.size())
                return false;
            pLiteral->push_back(pattern[++i]);
        } else if (pattern[i] == T('%') || pattern[i] == T('_')) {
            *pWild = true;
        } else {
            pLiteral->push_back(pattern[i]);
        }
    }
    return true;
}

template <class T>
std::basic_string<T> RandomText(std::mt19937& rng, const char* alphabet, size_t maxLen)
{
    const size_t n = rng() % (maxLen + 1);
    const size_t k = std::char_traits<char>::length(alphabet);
    std::basic_string<T> s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<T>(alphabet[rng() % k]));
    return s;
}

TYPED_TEST(SqlEscape, LikeValueMatchesExactlyItselfLiterally)
{
    using T = TypeParam;
    std::mt19937 rng(7);
    for (const char e : {'\\', '!'}) {
        for (int i = 0; i < 3000; ++i) {
            const std::basic_string<T> value = RandomText<T>(rng, "ab'\\%_!", 12);
            const std::basic_string<T> escaped = Escaped(value, kAll, T('\''), T(e));
            std::basic_string<T> literal;
            bool wild = true;
            ASSERT_TRUE(Pattern(escaped, T(e), &literal, &wild)) << i;
            EXPECT_FALSE(wild) << i;
            EXPECT_EQ(value, literal) << i;
        }
    }
}

TYPED_TEST(SqlEscape, FormattedLikeParameterKeepsItsWildcards)
{
    using T = TypeParam;
    // PurgeQuote with the backslash flag, then only F3: wildcards keep their
    // meaning, an E that escapes a wildcard or an E stays, a lone E is
    // doubled, and quotes stay bare (the literal is written later).
    struct Case
    {
        const char* src;
        const char* expected;
    } cases[] = {
        {"50%", "50%"},         {"a\\%b", "a\\%b"},   {"a\\\\b", "a\\\\b"}, {"a\\b", "a\\\\b"},
        {"it''s%", "it's%"},    {"it\\'s_", "it's_"}, {"x\\", "x\\\\"},     {"", ""},
    };
    for (const Case& c : cases) {
        std::basic_string<T> text = S<T>(c.src);
        PurgeQuote(text.data(), 1);
        text.resize(std::char_traits<T>::length(text.c_str()));
        EXPECT_EQ(S<T>(c.expected), Take(pszEscape(text.c_str(), 0, 0, 1, 0, 0, 0, 0, 0, T('\''), T('\\')))) << c.src;
    }
}

TYPED_TEST(SqlEscape, RoundTripsOfNamedFlagSets)
{
    using T = TypeParam;
    std::mt19937 rng(11);
    for (int i = 0; i < 4000; ++i) {
        const std::basic_string<T> value = RandomText<T>(rng, "ab'\\%_!", 10);
        // Backslashes doubled (E is not the backslash) / halved.
        std::basic_string<T> t = Escaped(value, kF2, T('\''), T('!'));
        PurgeEscapeEscape(t.data(), T('\\'));
        EXPECT_EQ(value, std::basic_string<T>(t.c_str())) << "F2, " << i;
        // The MySQL literal form: backslash-quote and doubled backslashes.
        t = Escaped(value, kF1F2, T('\\'), T('!'));
        PurgeEscapeBackSlash(t.data());
        EXPECT_EQ(value, std::basic_string<T>(t.c_str())) << "F1F2, " << i;
        // The LIKE escaping without the literal layer.
        for (const char e : {'\\', '!'}) {
            t = Escaped(value, kLike, T('\''), T(e));
            PurgeEscape(t.data(), T(e));
            EXPECT_EQ(value, std::basic_string<T>(t.c_str())) << "F3-F8, " << i;
        }
        // Doubled quotes, except for a lone quote: its escape is the text of
        // exactly two quotes, which PurgeQuote leaves alone.
        if (value != S<T>("'")) {
            t = Escaped(value, kF1, T('\''), T('!'));
            PurgeQuote(t.data(), 0);
            EXPECT_EQ(value, std::basic_string<T>(t.c_str())) << "F1, " << i;
        }
    }
}

TYPED_TEST(SqlEscape, Purges)
{
    using T = TypeParam;
    struct Case
    {
        const char* what;
        void (*purge)(T*);
        const char* src;
        const char* expected;
    } cases[] = {
        {"two quotes stay", [](T* s) { PurgeQuote(s, 0); }, "''", "''"},
        {"three quotes", [](T* s) { PurgeQuote(s, 0); }, "'''", "''"},
        {"four quotes", [](T* s) { PurgeQuote(s, 0); }, "''''", "''"},
        {"doubled inside", [](T* s) { PurgeQuote(s, 0); }, "'it''s'", "'it's'"},
        {"backslash without the flag", [](T* s) { PurgeQuote(s, 0); }, "\\'", "\\'"},
        {"backslash with the flag", [](T* s) { PurgeQuote(s, 1); }, "a\\'b\\'", "a'b'"},
        {"one character", [](T* s) { PurgeQuote(s, 1); }, "'", "'"},
        {"empty", [](T* s) { PurgeQuote(s, 1); }, "", ""},
        {"PurgeEscape", [](T* s) { PurgeEscape(s, T('\\')); }, "a\\%b\\_c\\\\d\\e\\", "a%b_c\\d\\e\\"},
        {"PurgeEscape keeps the kept character", [](T* s) { PurgeEscape(s, T('\\')); }, "\\\\%", "\\%"},
        {"PurgeEscapeEscape", [](T* s) { PurgeEscapeEscape(s, T('!')); }, "!!!!!%", "!!!%"},
        {"PurgeEscapeBackSlash", [](T* s) { PurgeEscapeBackSlash(s); }, "a\\\\b\\'c''d", "a\\b'c'd"},
    };
    for (const Case& c : cases) {
        std::basic_string<T> text = S<T>(c.src);
        c.purge(text.data());
        EXPECT_EQ(S<T>(c.expected), std::basic_string<T>(text.c_str())) << c.what;
    }
    PurgeQuote(static_cast<T*>(nullptr), 1);
    PurgeEscape(static_cast<T*>(nullptr), T('\\'));
}

TYPED_TEST(SqlEscape, ChangeEscape)
{
    using T = TypeParam;
    const std::basic_string<T> pct = S<T>("%"), und = S<T>("_"), open = S<T>("["), close = S<T>("]");
    struct Case
    {
        const char* what;
        const char* src;
        bool empty;
        const char* expected;
    } cases[] = {
        {"escaped wildcards in brackets", "50\\% a\\_b \\\\ \\x\\", false, "50[%] a[_]b \\ \\x\\"},
        {"bare wildcards stay", "%_", false, "%_"},
        {"empty replacements drop them", "a\\%b\\_c\\\\\\\\", true, "abc\\\\"},
        {"empty", "", false, ""},
    };
    for (const Case& c : cases) {
        const T* r[6] = {pct.c_str(), open.c_str(), close.c_str(), und.c_str(), open.c_str(), close.c_str()};
        if (c.empty)
            for (const T*& p : r) p = nullptr;
        const std::basic_string<T> src = S<T>(c.src);
        std::vector<T> dst(ChangeEscapeCapacity(src.size(), 3, 3), T('#'));
        ChangeEscape(src.c_str(), dst.data(), r[0], r[1], r[2], r[3], r[4], r[5], T('\\'));
        EXPECT_EQ(S<T>(c.expected), std::basic_string<T>(dst.data())) << c.what;
        EXPECT_EQ(S<T>(c.expected), Take(pszChangeEscape(src.c_str(), r[0], r[1], r[2], r[3], r[4], r[5], T('\\'))))
            << c.what;
    }
    EXPECT_EQ(7u, ChangeEscapeCapacity(3, 0, 2));
    EXPECT_EQ(4u, ChangeEscapeCapacity(3, 0, 0));
    EXPECT_EQ(0u, ChangeEscapeCapacity(SIZE_MAX / 2, 3, 1));
}

TYPED_TEST(SqlEscape, VerrueEscapeMySQL)
{
    using T = TypeParam;
    struct Case
    {
        const char* src;
        wchar_t e;
        const char* expected;
    } cases[] = {
        {"it's", L'\\', "it\\'s"},
        {"it''s", L'\\', "it\\'s"},
        {"it\\'s", L'\\', "it\\'s"},
        {"a\\b", L'\\', "a\\\\b"},
        {"50\\% a\\_b a\\\\b", L'\\', "50\\% a\\_b a\\\\b"},
        {"x\\", L'\\', "x\\\\"},
        {"a!b !% !!", L'!', "a!!b !% !!"},
        {"a!'b", L'!', "a!!\\'b"},
        {"", L'\\', ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(S<T>(c.expected), Take(pszVerrueEscapeMySQL(S<T>(c.src).c_str(), c.e))) << c.src;
}

TEST(SqlEscapeNarrow, VerrueEscapeTakesTheEscapeAsA1252Byte)
{
    char* out = pszVerrueEscapeMySQL("a\xA7" "b\xA7%", L'§');
    EXPECT_STREQ("a\xA7\xA7" "b\xA7%", out);
    std::free(out);
}

}  // namespace
