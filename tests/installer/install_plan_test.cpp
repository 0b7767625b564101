// The set of final paths is checked whole before anything is written: every
// collision between two entries refuses the archive and names both.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "installer/install_plan.h"
#include "installer/repertoire.h"

namespace {

void Fill(CRepertoire& rep, const std::vector<std::wstring>& names)
{
    for (const std::wstring& n : names)
        ASSERT_TRUE(rep.bCreeEntree(n.c_str(), 1, 1, 0x20, 0, nullptr));
}

TEST(InstallPlan, KeepsEveryFileInDirectoryOrder)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CRepertoire rep;
    Fill(rep, {L"lib\\sub\\x.so", L"readme", L"lib\\y.so", L"LIB2\\z", L"vx200vm64.so.bak", L"dir\\vx200vm64.so"});
    ASSERT_TRUE(rep.bCreeEntree(L"lib\\", 0, 0, 0x10, 0, nullptr));  // a placeholder, left out
    CPlanInstallation plan;
    ASSERT_EQ(CPlanInstallation::PLAN_OK, plan.eConstruit(rep, 10));
    ASSERT_EQ(6u, plan.aFichiers().size());
    EXPECT_EQ(0u, plan.aFichiers()[0].nPosition);
    EXPECT_EQ((std::vector<std::string>{"lib", "sub", "x.so"}), plan.aFichiers()[0].aComposants);
    EXPECT_EQ(5u, plan.aFichiers()[5].nPosition);
}

TEST(InstallPlan, RefusesCollisionsAndNamesBothEntries)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const std::wstring longName(256, L'n');
    const std::wstring longest(255, L'n');
    const struct
    {
        const char* what;
        std::vector<std::wstring> names;
        CPlanInstallation::eRefus refus;
        std::wstring name, other;
    } cases[] = {
        {"the same path twice", {L"a", L"dir\\x", L"dir/x"}, CPlanInstallation::PLAN_DOUBLON, L"dir/x", L"dir\\x"},
        {"a file, then a directory of its name", {L"x", L"x\\y"}, CPlanInstallation::PLAN_FICHIER_REPERTOIRE,
         L"x\\y", L"x"},
        {"a directory, then a file of its name", {L"x\\y\\z", L"x\\y"}, CPlanInstallation::PLAN_FICHIER_REPERTOIRE,
         L"x\\y", L"x\\y\\z"},
        {"files differing by case", {L"lib\\A.so", L"lib\\a.so"}, CPlanInstallation::PLAN_CASSE, L"lib\\a.so",
         L"lib\\A.so"},
        {"directories differing by case", {L"Lib\\a", L"lib\\b"}, CPlanInstallation::PLAN_CASSE, L"lib\\b",
         L"Lib\\a"},
        {"accented case", {L"\u00e9t\u00e9", L"\u00c9T\u00c9"}, CPlanInstallation::PLAN_CASSE, L"\u00c9T\u00c9",
         L"\u00e9t\u00e9"},
        {"a file and a directory differing by case", {L"X", L"x\\y"}, CPlanInstallation::PLAN_FICHIER_REPERTOIRE,
         L"x\\y", L"X"},
        {"a component above 255 bytes", {L"ok", L"d\\" + longName}, CPlanInstallation::PLAN_COMPOSANT_LONG,
         L"d\\" + longName, L""},
        {"255 two-byte characters", {std::wstring(128, L'\u00e9')}, CPlanInstallation::PLAN_COMPOSANT_LONG,
         std::wstring(128, L'\u00e9'), L""},
        {"the model at the top", {L"a", L"vx200vm64.so"}, CPlanInstallation::PLAN_MODELE, L"vx200vm64.so", L""},
        {"the model by another case", {L"VX200VM64.SO"}, CPlanInstallation::PLAN_MODELE, L"VX200VM64.SO", L""},
        {"a directory of the model's name", {L"vx200vm64.so\\x"}, CPlanInstallation::PLAN_MODELE,
         L"vx200vm64.so\\x", L""},
        {"a name leaving the target", {L"a", L"..\\x"}, CPlanInstallation::PLAN_NOM_REFUSE, L"..\\x", L""},
        {"a path too long", {longest + L"\\" + longest + L"\\" + longest + L"\\" + longest + L"\\" + longest +
                             L"\\" + longest + L"\\" + longest + L"\\" + longest + L"\\" + longest + L"\\" +
                             longest + L"\\" + longest + L"\\" + longest + L"\\" + longest + L"\\" + longest +
                             L"\\" + longest + L"\\" + longest},
         CPlanInstallation::PLAN_CHEMIN_LONG, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CRepertoire rep;
        Fill(rep, c.names);
        CPlanInstallation plan;
        EXPECT_EQ(c.refus, plan.eConstruit(rep, 10));
        if (!c.name.empty())
            EXPECT_EQ(c.name, plan.sNom());
        EXPECT_EQ(c.other, plan.sAutreNom());
    }
}

TEST(InstallPlan, TheCheckGrowsWithTheNamesNotWithTheirSquares)
{
    // The most entries the installer takes, names made of the same few
    // characters (a sum of characters puts them all in a few buckets): the
    // directory and the plan take one step per component, so this stays
    // quick where a walk of every earlier name would take minutes.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CRepertoire rep;
    const std::wstring deep = L"d\\d\\d\\";
    for (int i = 0; i < 65535; ++i)
        ASSERT_TRUE(rep.bCreeEntree((deep + std::to_wstring(i)).c_str(), 1, 1, 0x20, 0, nullptr));
    CPlanInstallation plan;
    EXPECT_EQ(CPlanInstallation::PLAN_OK, plan.eConstruit(rep, 10));
    EXPECT_EQ(65535u, plan.aFichiers().size());
}

}  // namespace
