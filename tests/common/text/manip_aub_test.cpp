// Byte-level access to runtime values and the module's shared empty texts.
#include "common/text/manip_aub.h"
#include "common/text/nom_standard.h"
#include "tests/common/text/xy_string_fixture.h"

namespace {

class ManipAUB : public vxtest::StrMemTest
{
};

TEST_F(ManipAUB, AccessorsFollowTheTypeCode)
{
    CXYString<wchar_t> wide(L"abc");
    CXYString<char> narrow("abc");
    unsigned char* w = wide.pbyGetBlock();
    unsigned char* a = narrow.pbyGetBlock();
    const unsigned char* none = CBaseStrMem::ChaineVide;
    const auto* emptyW = reinterpret_cast<const unsigned char*>(CXYString<wchar_t>::ChaineVide);
    const auto* emptyA = reinterpret_cast<const unsigned char*>(CXYString<char>::ChaineVide);

    struct Case {
        const char* name;
        STManipAUB m;
        const unsigned char* contenu; size_t nContenu;
        const unsigned char* utile; size_t nUtile;
        int longueur, tailleUtile;
    };
    const Case cases[] = {
        {"wide", STManipAUB(wide), w, 16, w, 12, 3, 12},
        {"8-bit", STManipAUB(narrow), a, 4, a, 3, 3, 3},
        {"binary", STManipAUB(a, STManipAUB::TYPE_ZLBIN), a, 3, a, 3, 3, 3},
        {"other type", STManipAUB(a, 8), none, 0, none, 0, 0, 0},
        // Without a block: never a null pointer, the terminator's size for texts.
        {"wide, no block", STManipAUB(nullptr, 16), emptyW, 4, none, 0, 0, 0},
        {"8-bit, no block", STManipAUB(nullptr, 19), emptyA, 1, none, 0, 0, 0},
        {"binary, no block", STManipAUB(nullptr, 28), none, 0, none, 0, 0, 0},
    };
    for (const Case& c : cases) {
        size_t n = 99;
        EXPECT_EQ(c.contenu, c.m.pbyGetContenu(n)) << c.name;
        EXPECT_EQ(c.nContenu, n) << c.name;
        n = 99;
        EXPECT_EQ(c.utile, c.m.pbyGetContenuUtile(n)) << c.name;
        EXPECT_EQ(c.nUtile, n) << c.name;
        EXPECT_EQ(c.longueur, c.m.nGetLongueur()) << c.name;
        EXPECT_EQ(c.tailleUtile, c.m.nGetTailleUtile()) << c.name;
    }

    EXPECT_STREQ(L"abc", STManipAUB(wide).pszGetStringW());
    EXPECT_STREQ("abc", STManipAUB(narrow).pszGetStringA());
    EXPECT_EQ(CXYString<wchar_t>::ChaineVide, STManipAUB(nullptr, 16).pszGetStringW());
    EXPECT_EQ(CXYString<char>::ChaineVide, STManipAUB(nullptr, 19).pszGetStringA());
    EXPECT_EQ(0u, STManipAUB().m_nReserved);
}

TEST(SharedEmptyTexts, AreZeroAndWhatEmptyValuesRead)
{
    for (unsigned char b : CBaseStrMem::ChaineVide)
        EXPECT_EQ(0, b);
    // Four zero bytes behind both, like the terminator of a runtime string.
    EXPECT_EQ(0, std::memcmp(CXYString<char>::ChaineVide, CBaseStrMem::ChaineVide, 4));
    EXPECT_EQ(0, std::memcmp(CXYString<wchar_t>::ChaineVide, CBaseStrMem::ChaineVide, 4));

    EXPECT_EQ(CXYString<wchar_t>::ChaineVide, CXYString<wchar_t>().pszGet());
    EXPECT_EQ(CXYString<char>::ChaineVide, CXYString<char>().pszGet());
    EXPECT_EQ(0, CXYString<wchar_t>().nGetLongueur());

    CNomStandardStatique& vide = CNomStandardStatique::ChaineVide;
    EXPECT_EQ(CXYString<wchar_t>::ChaineVide, vide.pszGetNom());
    EXPECT_EQ(CXYString<wchar_t>::ChaineVide, vide.pszGetNomStandard());
    vide.__vConstruitNomStandard();  // nothing to build
    EXPECT_EQ(CXYString<wchar_t>::ChaineVide, vide.pszGetNomStandard());
}

}  // namespace
