// Message boxes through the graphical library when the process has it
// loaded. The test runs in the stand-in's directory, where the library looks
// for it (working directory + "/vx200obj.so").
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "common/system/message_box.h"
#include "tests/common/system/prompt_child.h"
#include "tests/host/gui/standin_gui.h"

namespace {

using vxtest::RunWithTerminal;

const std::string kYesNo = "Entrez votre choix (y = YES, n = NO) pour continuer (exemple : y + ENTREE) : \n";

std::string StandinDirectory()
{
    const std::string s = VX_STANDIN_GUI_PATH;
    return s.substr(0, s.rfind('/'));
}

class MessageBoxGui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, getcwd(m_szOldDirectory, sizeof m_szOldDirectory));
        ASSERT_EQ(0, chdir(StandinDirectory().c_str()));
    }
    void TearDown() override { ASSERT_EQ(0, chdir(m_szOldDirectory)); }

    static bool Loaded()
    {
        void* h = dlopen((StandinDirectory() + "/vx200obj.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (h != nullptr)
            dlclose(h);
        return h != nullptr;
    }

    char m_szOldDirectory[PATH_MAX];
};

TEST_F(MessageBoxGui, LibraryIsUsedOnlyOnceLoadedAndStaysLoaded)
{
    // Not loaded yet: the prompt, and the library is not loaded by asking.
    ASSERT_FALSE(Loaded());
    const auto stBefore = RunWithTerminal("y\n", [] { return MessageBox(nullptr, L"t", L"c", 4); });
    EXPECT_EQ(IDYES, stBefore.nResult);
    EXPECT_EQ("c\nt\n" + kYesNo, stBefore.sError);
    EXPECT_FALSE(Loaded());

    // Loaded from the exact path the lookup tries.
    void* h = dlopen((StandinDirectory() + "/vx200obj.so").c_str(), RTLD_NOW);
    ASSERT_NE(nullptr, h) << dlerror();
    auto pfRecord = reinterpret_cast<PFSTANDINGUIRECORD>(dlsym(h, "StandinGui_pRecord"));
    ASSERT_NE(nullptr, pfRecord);
    StandinGuiRecord* p = pfRecord();

    int nWindow;
    p->nAnswer = IDNO;
    EXPECT_EQ(IDNO, MessageBox(&nWindow, L"Donn\u00e9es", L"Titre", 0x24));
    EXPECT_EQ(1, p->nCalls);
    EXPECT_EQ(&nWindow, p->pWindow);
    EXPECT_STREQ(L"Donn\u00e9es", p->szText);
    EXPECT_STREQ(L"Titre", p->szCaption);
    EXPECT_EQ(0x24u, p->nType);
    p->nAnswer = 0;
    EXPECT_EQ(0, MessageBox(nullptr, L"x", L"y", 0)) << "any answer but -1 is the result";
    EXPECT_EQ(2, p->nCalls);
    EXPECT_TRUE(Loaded()) << "the box's own handle is closed, the test's stays";

    // The children report the library's calls (tens) and the answer (units).
    const auto Box = [&] {
        const int n = MessageBox(nullptr, L"t", L"c", 4);
        return p->nCalls * 10 + n;
    };

    // The terminal-only form never asks the library.
    const auto stW = RunWithTerminal("n\n", [&] {
        const int n = MessageBoxW(nullptr, L"t", L"c", 4);
        return p->nCalls * 10 + n;
    });
    EXPECT_EQ(2 * 10 + IDNO, stW.nResult);
    EXPECT_EQ("c\nt\n" + kYesNo, stW.sError);

    // -1: no box could be shown, so the prompt takes over.
    p->nAnswer = -1;
    const auto stRefused = RunWithTerminal("y\n", Box);
    EXPECT_EQ(3 * 10 + IDYES, stRefused.nResult) << "the library was asked first";
    EXPECT_EQ("c\nt\n" + kYesNo, stRefused.sError);

    // Elsewhere the library is not found (the executable's directory does
    // not hold it either): the prompt, without asking it.
    p->nAnswer = IDOK;
    ASSERT_EQ(0, chdir("/"));
    const auto stElsewhere = RunWithTerminal("n\n", Box);
    EXPECT_EQ(2 * 10 + IDNO, stElsewhere.nResult);
    EXPECT_EQ("c\nt\n" + kYesNo, stElsewhere.sError);
    dlclose(h);
}

}  // namespace
