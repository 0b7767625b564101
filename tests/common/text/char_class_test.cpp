#include <gtest/gtest.h>

#include "common/text/char_class.h"

namespace {

TEST(CharClass, Ranges)
{
    for (unsigned c = 0; c < 300; ++c) {
        const wchar_t w = static_cast<wchar_t>(c);
        EXPECT_EQ(c >= '0' && c <= '9', bEstUnChiffreW(w));
        EXPECT_EQ(c >= 'A' && c <= 'Z', bMajusculeW(w));
        EXPECT_EQ(c >= 'a' && c <= 'z', bMinusculeW(w));
        EXPECT_EQ(c > 127, bExtendedASCII(w));
        EXPECT_EQ(c < 32, bUnprintable(w));
        EXPECT_EQ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 95), bPonctuation(w)) << c;
        if (c < 256) {
            const char a = static_cast<char>(c);
            EXPECT_EQ(c >= '0' && c <= '9', bEstUnChiffreA(a));
            EXPECT_EQ(c >= 'A' && c <= 'Z', bMajusculeA(a));
            EXPECT_EQ(c >= 'a' && c <= 'z', bMinusculeA(a));
        }
    }
    EXPECT_FALSE(bPonctuation(L'`'));
    EXPECT_FALSE(bPonctuation(L'{'));
    EXPECT_FALSE(bPonctuation(L'~'));
    EXPECT_EQ(7, nGetChiffre(L'7'));
}

TEST(CharClass, Texts)
{
    EXPECT_TRUE(bEstUnNombreEntierNaturel(L"0123"));
    EXPECT_TRUE(bEstUnNombreEntierNaturel(L""));
    EXPECT_FALSE(bEstUnNombreEntierNaturel(L"-1"));
    EXPECT_FALSE(bEstUnNombreEntierNaturel(nullptr));
    EXPECT_TRUE(STR_bContainSpace(L"a b"));
    EXPECT_FALSE(STR_bContainSpace(L"a\tb"));
    EXPECT_FALSE(STR_bContainSpace(nullptr));
    EXPECT_TRUE(STR_bNeContientRienDeLisibleA(" \t\r\n"));
    EXPECT_TRUE(STR_bNeContientRienDeLisibleW(L""));
    EXPECT_FALSE(STR_bNeContientRienDeLisibleW(L" .\t"));
    EXPECT_FALSE(STR_bNeContientRienDeLisibleA("\v"));

    const struct { const char* text; bool rtf; } cases[] = {
        {"{\\rtf1\\ansi", true}, {"{\\RTF1", true}, {"{\\rtf{", true}, {"{\\rtf2", false}, {"{\\rt", false},
        {"{rtf1", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rtf, bEstDuTexteRTF(c.text)) << c.text;
        std::wstring w(c.text, c.text + std::char_traits<char>::length(c.text));
        EXPECT_EQ(c.rtf, bEstDuTexteRTFW(w.c_str())) << c.text;
    }
    EXPECT_FALSE(bEstDuTexteRTF(nullptr));
    EXPECT_FALSE(bEstDuTexteRTFW(nullptr));
}

}  // namespace
