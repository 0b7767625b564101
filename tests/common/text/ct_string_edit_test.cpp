// CTString: editing in place, replacing, case and accents, ellipsis and
// number reading.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>

#include "common/text/ct_string.h"
#include "tests/host/support/test_environment.h"

namespace {

struct EditCase
{
    const char* what;
    const wchar_t* text;
    std::function<void(CTString&)> edit;
    const wchar_t* expected;
};

void RunEdits(const std::vector<EditCase>& cases)
{
    for (const EditCase& c : cases) {
        CTString s(c.text);
        c.edit(s);
        EXPECT_STREQ(c.expected, s.pszGet()) << c.what;
    }
}

TEST(CTStringEdit, AppendAndInsert)
{
    const wchar_t cut[] = {L'x', L'y', 0, L'z'};
    RunEdits({
        {"Add char", L"ab", [](CTString& s) { s.Add(L'c'); }, L"abc"},
        {"Add char 0", L"ab", [](CTString& s) { s.Add(L'\0'); }, L"ab"},
        {"Add text", L"ab", [](CTString& s) { s.Add(L"cd"); }, L"abcd"},
        {"Add null", L"ab", [](CTString& s) { s.Add(static_cast<const wchar_t*>(nullptr)); }, L"ab"},
        {"Add to empty", L"", [](CTString& s) { s.Add(L"cd"); }, L"cd"},
        {"Add n", L"ab", [](CTString& s) { s.Add(L"cdef", 2); }, L"abcd"},
        {"Add n at the terminator", L"ab", [&](CTString& s) { s.Add(cut, 3); }, L"abxy"},
        {"Add n past the terminator", L"ab", [&](CTString& s) { s.Add(cut, 4); }, L"abxy"},
        {"Add n 0", L"ab", [](CTString& s) { s.Add(L"cd", 0); }, L"ab"},
        {"Add three", L"a", [](CTString& s) { s.Add(L"b", nullptr, L"cd"); }, L"abcd"},
        {"Add itself", L"ab", [](CTString& s) { s.Add(s.pszGet()); }, L"abab"},
        {"Add part of itself", L"abc", [](CTString& s) { s.Add(s.pszGet() + 1, 1); }, L"abcb"},
        {"Add three of itself", L"ab", [](CTString& s) { s.Add(s.pszGet(), L"-", s.pszGet()); }, L"abab-ab"},
        {"AddI4", L"n=", [](CTString& s) { s.AddI4(-12); }, L"n=-12"},
        {"AddI8", L"", [](CTString& s) { s.AddI8(-9223372036854775807L - 1); }, L"-9223372036854775808"},
        {"Add runtime", L"a", [](CTString& s) { s.Add(CXYString<wchar_t>(L"bc")); }, L"abc"},
        {"Insert char", L"bc", [](CTString& s) { s.Insert(L'a'); }, L"abc"},
        {"Insert", L"ad", [](CTString& s) { s.Insert(L"bcx", 2, 1); }, L"abcd"},
        {"Insert all", L"ad", [](CTString& s) { s.Insert(L"bc", -1, 1); }, L"abcd"},
        {"Insert past the end", L"ab", [](CTString& s) { s.Insert(L"cd", -1, 10); }, L"abcd"},
        {"Insert n below -1", L"ab", [](CTString& s) { s.Insert(L"cd", -2, 0); }, L"ab"},
        {"Insert empty", L"ab", [](CTString& s) { s.Insert(L"", -1, 0); }, L"ab"},
        {"Insert itself", L"ab", [](CTString& s) { s.Insert(s.pszGet(), -1, 1); }, L"aabb"},
    });
}

TEST(CTStringEdit, CutPadAndTrim)
{
    RunEdits({
        {"Tronque", L"abcdef", [](CTString& s) { s.Tronque(2); }, L"ab"},
        {"Tronque 0", L"abc", [](CTString& s) { s.Tronque(0); }, L""},
        {"Tronque past the end", L"abc", [](CTString& s) { s.Tronque(5); }, L"abc"},
        {"Tronque negative", L"abc", [](CTString& s) { s.Tronque(-1); }, L"abc"},
        {"TronqueDebut", L"abcdef", [](CTString& s) { s.TronqueDebut(2); }, L"cdef"},
        {"TronqueDebut past the end", L"abc", [](CTString& s) { s.TronqueDebut(7); }, L""},
        {"Coupe", L"abcdef", [](CTString& s) { s.Coupe(1, 2); }, L"adef"},
        {"Coupe to the end", L"abcdef", [](CTString& s) { s.Coupe(2, 10); }, L"ab"},
        {"Coupe past the end", L"abc", [](CTString& s) { s.Coupe(4, 1); }, L"abc"},
        {"Complete pads", L"abc", [](CTString& s) { s.Complete(5, L'*'); }, L"abc**"},
        {"Complete cuts", L"abcdefg", [](CTString& s) { s.Complete(5, L'*'); }, L"abcde"},
        {"Complete empty", L"", [](CTString& s) { s.Complete(2, L'0'); }, L"00"},
        {"SansEspace", L"\t ab  ", [](CTString& s) { s.SansEspace(); }, L"\t ab"},
        {"SansEspace only blanks", L"   ", [](CTString& s) { s.SansEspace(); }, L""},
        {"Trim", L" \t ab c \n", [](CTString& s) { s.Trim(); }, L"ab c"},
        {"Trim blanks only", L" \t ", [](CTString& s) { s.Trim(); }, L""},
        {"Trim char", L"**a*b**", [](CTString& s) { s.Trim(L'*'); }, L"a*b"},
        {"LTrim", L"00120", [](CTString& s) { s.LTrim(L'0'); }, L"120"},
        {"RTrim", L"a/b//", [](CTString& s) { s.RTrim(L'/'); }, L"a/b"},
        {"RTrim all", L"///", [](CTString& s) { s.RTrim(L'/'); }, L""},
        {"Insecable", L"a b c", [](CTString& s) { s.Insecable(); }, L"a\u00A0b\u00A0c"},
        {"Renverse", L"abc", [](CTString& s) { s.Renverse(); }, L"cba"},
        {"Remplace range", L"abcdef", [](CTString& s) { s.Remplace(1, 2, L"XYZ"); }, L"aXYZdef"},
        {"Remplace range clipped", L"abcdef", [](CTString& s) { s.Remplace(4, 9, L"!"); }, L"abcd!"},
        {"Remplace range at the end", L"ab", [](CTString& s) { s.Remplace(2, 0, L"c"); }, L"abc"},
        {"Remplace range empty string", L"", [](CTString& s) { s.Remplace(0, 0, L"c"); }, L""},
        {"Remplace range with itself", L"abc", [](CTString& s) { s.Remplace(1, 1, s.pszGet()); }, L"aabcc"},
        {"Remplace char", L"a.b.c", [](CTString& s) { EXPECT_EQ(5, s.Remplace(L'.', L'/', 2)); }, L"a.b/c"},
    });
}

TEST(CTStringEdit, ReplaceEveryOccurrence)
{
    RunEdits({
        {"grows", L"aaa", [](CTString& s) { s.Remplace(L"a", L"bb", 1); }, L"abbbb"},
        {"shrinks", L"a--b--c", [](CTString& s) { s.Remplace(L"--", L"-"); }, L"a-b-c"},
        {"removes", L"a--b", [](CTString& s) { s.Remplace(L"-", nullptr); }, L"ab"},
        {"non-overlapping", L"aaaa", [](CTString& s) { s.Remplace(L"aa", L"b"); }, L"bb"},
        {"none", L"abc", [](CTString& s) { s.Remplace(L"x", L"y"); }, L"abc"},
        {"empty pattern", L"abc", [](CTString& s) { s.Remplace(L"", L"y"); }, L"abc"},
        {"start past the end", L"abc", [](CTString& s) { s.Remplace(L"a", L"y", 9); }, L"abc"},
        {"case-sensitive", L"Table table", [](CTString& s) { s.Remplace(L"table", L"T"); }, L"Table T"},
        {"with its own text", L"ab", [](CTString& s) { s.Remplace(L"b", s.pszGet()); }, L"aab"},
    });
    // Results past the 1024 characters of the stack area.
    CTString big(std::wstring(1500, L'x').c_str());
    big.Remplace(L"x", L"yz");
    EXPECT_EQ(3000, big.nTaille());
    EXPECT_EQ(1500, big.nNbOcc(L"yz"));
}

TEST(CTStringEdit, ReplaceIgnoringCaseThroughTheHostMap)
{
    vxtest::Locale().Reset();
    RunEdits({
        {"ascii", L"Select SELECT select", [](CTString& s) { s.RemplaceI(L"select", L"S"); }, L"S S S"},
        {"accents kept", L"Été ÉTÉ été ete", [](CTString& s) { s.RemplaceI(L"été", L"x"); }, L"x x x ete"},
        {"from start", L"éa Éa éa", [](CTString& s) { s.RemplaceI(L"ÉA", L"-", 1); }, L"éa - -"},
        {"grows", L"ÿ·Ÿ", [](CTString& s) { s.RemplaceI(L"ÿ", L"<y>"); }, L"<y>·<y>"},
        {"Œ", L"œuvre Œuvre", [](CTString& s) { s.RemplaceI(L"Œ", L"oe"); }, L"oeuvre oeuvre"},
        {"empty pattern", L"abc", [](CTString& s) { s.RemplaceI(L"", L"y"); }, L"abc"},
    });
}

TEST(CTStringEdit, ReplaceIgnoringCaseWhenTheCLibraryDisagrees)
{
    // Under the "C" locale towupper leaves é and É apart while the host's map
    // joins them: one matcher finds and copies, so every occurrence the host
    // matches is replaced and nothing is written past the result.
    vxtest::Locale().Reset();
    std::setlocale(LC_CTYPE, "C");
    CTString s(L"É é É é É é");
    EXPECT_EQ(2, s.nUpPos(L"é", 0));  // the C library passes the É at 0
    s.RemplaceI(L"é", L"long replacement");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    EXPECT_EQ(6, s.nNbOcc(L"long replacement"));
    EXPECT_EQ(6 * 16 + 5, s.nTaille());
}

TEST(CTStringEdit, CaseAndAccents)
{
    vxtest::Locale().Reset();
    RunEdits({
        {"Majuscule", L"élève œuvre", [](CTString& s) { s.Majuscule(); }, L"ÉLÈVE ŒUVRE"},
        {"Minuscule", L"ÉLÈVE", [](CTString& s) { s.Minuscule(); }, L"élève"},
        {"SansAccent", L"Élève ç", [](CTString& s) { s.SansAccent(); }, L"Eleve c"},
        {"MapStringEx 3", L"Élève", [](CTString& s) { s.MapStringEx(3); }, L"ELEVE"},
        {"MapStringEx symbols", L"a, b; c", [](CTString& s) { s.MapStringEx(4); }, L"abc"},
        {"MapStringEx all symbols", L", ;", [](CTString& s) { s.MapStringEx(4); }, L""},
        {"SetStandard", L"x", [](CTString& s) { s.SetStandard(L"Élève"); }, L"ELEVE"},
        {"SetStandard itself", L"Çà", [](CTString& s) { s.SetStandard(s.pszGet()); }, L"CA"},
        {"Majuscule empty", L"", [](CTString& s) { s.Majuscule(); }, L""},
    });
}

TEST(CTStringEdit, Ellipsis)
{
    struct Case
    {
        const wchar_t* text;
        unsigned long max;
        eELLIPSISPOSITION where;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abcdefghijk", 10, ELLIPSIS_END, L"abcdefg..."},
        {L"abcdefghijk", 10, ELLIPSIS_MIDDLE, L"abc...hijk"},
        {L"abcdefghijk", 10, ELLIPSIS_START, L"...efghijk"},
        {L"abcdefghijkl", 11, ELLIPSIS_MIDDLE, L"abcd...ijkl"},
        {L"abcdefghijk", 3, ELLIPSIS_MIDDLE, L"..."},
        {L"abcdefghijk", 4, ELLIPSIS_MIDDLE, L"...k"},
        {L"abc", 10, ELLIPSIS_END, L"abc"},
        {L"abcdef", 2, ELLIPSIS_END, L"ab"},                              // no room for "..."
        {L"abcdef", 4, static_cast<eELLIPSISPOSITION>(7), L"abcd"},       // unknown position
        {L"abcdef", 0, ELLIPSIS_END, L""},
        {L"", 5, ELLIPSIS_END, L""},
    };
    for (const Case& c : cases) {
        CTString s(L"old");
        s.Ellipse(c.text, c.max, c.where);
        EXPECT_STREQ(c.expected, s.pszGet()) << c.max << " " << c.where;
    }
    CTString s(L"abcdefghijk");
    s.Ellipse(s.pszGet(), 10, ELLIPSIS_MIDDLE);
    EXPECT_STREQ(L"abc...hijk", s.pszGet());
}

TEST(CTStringEdit, NumberValue)
{
    struct Case
    {
        const wchar_t* text;
        int base, start, n;
        long expected;
    };
    const Case cases[] = {
        {L"1fz", 16, 0, -1, 31},
        {L"1FZ", 16, 0, -1, 31},
        {L"1234", 10, 1, 2, 23},
        {L"  12", 10, 0, -1, 0},
        {L"-12", 10, 0, -1, 0},
        {L"zz", 36, 0, -1, 35 * 36 + 35},
        {L"102", 2, 0, -1, 2},
        {L"12", 10, 5, -1, 0},
        {L"", 10, 0, -1, 0},
        {L"12", 1, 0, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CTString(c.text).nVal(c.base, c.start, c.n)) << c.base;
}

}  // namespace
