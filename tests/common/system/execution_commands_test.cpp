// Counting of start-ups and ends, the unload step, and the other commands of
// the Execution entry, with and without a module object.
#include "common/system/information.h"
#include "tests/common/system/module_test_host.h"

namespace {

using vxtest::Address;
using vxtest::Host;
using vxtest::StartUp;

class ExecutionCommands : public vxtest::ModuleTest
{
};

TEST_F(ExecutionCommands, EndsOnlyWhenEveryStartupIsMatched)
{
    ASSERT_EQ(1, StartUp());
    ASSERT_EQ(1, StartUp());
    EXPECT_EQ(vxtest::kFullStartupQueries, Host().Queries()) << "the second start-up only counts";
    EXPECT_EQ(2u, CBaseExecutionDLL::ms_nNbInitialisation);
    CBaseExecutionDLL* const object = gpclExecutionDLL32;
    ASSERT_NE(nullptr, object);

    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(object, gpclExecutionDLL32);
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(0u, object->m_bTermine);

    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(nullptr, CBaseExecutionDLL::s_hGetHinstanceVM());

    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(0u, Host().CountOf(3052)) << "ending never tells the host it unloads";
}

TEST_F(ExecutionCommands, UnloadTellsTheHostOnlyWhileTheHostStartupIsOpen)
{
    // Ended by the host first: the object is gone, nothing to tell.
    ASSERT_EQ(1, StartUp());
    ASSERT_EQ(1, Execution(4875, nullptr));
    CBaseExecutionDLL::s_TermineDLL();
    EXPECT_EQ(0u, Host().CountOf(3052));

    // Still open: one (3052, 0) and the object is freed; the count is left
    // as it was, and the next end finds no object.
    ASSERT_EQ(1, StartUp());
    CBaseExecutionDLL::s_TermineDLL();
    const std::vector<StandinHostCall> log = Host().Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(3052u, log.back().command);
    EXPECT_EQ(0, log.back().argument);
    EXPECT_EQ(1u, Host().CountOf(3052));
    EXPECT_EQ(nullptr, gpclExecutionDLL32);
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(1, Execution(4875, nullptr));
    EXPECT_EQ(0u, CBaseExecutionDLL::ms_nNbInitialisation);

    CBaseExecutionDLL::s_TermineDLL();
    EXPECT_EQ(1u, Host().CountOf(3052));
}

TEST_F(ExecutionCommands, AnswerAsTheTableSaysWithAndWithoutModuleObject)
{
    struct Case { unsigned command; int withObject; int withoutObject; };
    const Case cases[] = {
        {4879, 1, 1}, {5684, 1, 1}, {5864, 1, 1},
        {5238, 0, 0},                        // the module's dump writes nothing
        {4000, 0, 0}, {0, 0, 0}, {3984, 0, 0}, {3986, 0, 0}, {0xFFFFFFFFu, 0, 0},
    };
    int dumpTarget = 0;
    for (const Case& c : cases)
        EXPECT_EQ(c.withoutObject, Execution(c.command, &dumpTarget)) << "command " << c.command;
    EXPECT_EQ(nullptr, gpclExecutionDLL32);

    ASSERT_EQ(1, StartUp());
    CBaseExecutionDLL* const object = gpclExecutionDLL32;
    const size_t calls = Host().Log().size();
    for (const Case& c : cases)
        EXPECT_EQ(c.withObject, Execution(c.command, &dumpTarget)) << "command " << c.command;
    EXPECT_EQ(object, gpclExecutionDLL32);
    EXPECT_EQ(1u, CBaseExecutionDLL::ms_nNbInitialisation);
    EXPECT_EQ(calls, Host().Log().size()) << "none of them asks the host anything";
    EXPECT_EQ(0, dumpTarget);
}

TEST_F(ExecutionCommands, SetLocaleStoresTheArgumentEvenWithoutModuleObject)
{
    IInfoLocale* const saved = CInformationDLL::ms_piInfoLocale;
    static char locale;
    EXPECT_EQ(1, Execution(4878, &locale));
    EXPECT_EQ(Address(&locale), Address(CInformationDLL::ms_piInfoLocale));
    EXPECT_EQ(1, Execution(4878, nullptr));
    EXPECT_EQ(nullptr, CInformationDLL::ms_piInfoLocale);
    CInformationDLL::ms_piInfoLocale = saved;
}

TEST_F(ExecutionCommands, TypeInitialisationFollowsTheFactoryAnswer)
{
    ASSERT_EQ(1, StartUp());
    ASSERT_EQ(Host().Answer(9), Address(CInformationDLL::ms_piGlobalFactory));
    IGlobalFactory* const factory = CInformationDLL::ms_piGlobalFactory;

    struct Case { bool factory; int answer; bool object; int expected; };
    const Case cases[] = {
        {false, 2, true, 1},
        {false, 2, false, 1},
        {true, 1, false, 1}, {true, 0, false, 1}, {true, -3, false, 1},
        {true, 2, true, 1},     // the module's own type initialisation succeeds
        {true, 2, false, 2}, {true, 7, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.factory ? "factory answering " : "no factory ") << c.answer
                                        << (c.object ? " with" : " without") << " module object");
        if (c.object && gpclExecutionDLL32 == nullptr) {
            ASSERT_EQ(1, StartUp());
        }
        if (!c.object)
            vxtest::EndAll();  // the fetched factory stays
        CInformationDLL::ms_piGlobalFactory = c.factory ? factory : nullptr;
        Host().SetFactoryAnswer(c.answer);
        const long before = Host().FactoryCalls();
        int error = 0;
        EXPECT_EQ(c.expected, Execution(4963, &error));
        EXPECT_EQ(c.factory ? 1 : 0, Host().FactoryCalls() - before);
    }
    CInformationDLL::ms_piGlobalFactory = factory;
}

TEST_F(ExecutionCommands, StackTextRecordReachesTheHostIntact)
{
    wchar_t buffer[8] = {};
    EXPECT_EQ(0, CBaseExecutionDLL::s_bRemplitPileC(1, buffer, 8, 0)) << "no module object";
    EXPECT_EQ(0u, Host().CountOf(3184));

    ASSERT_EQ(1, StartUp());
    struct Case { int64_t hostAnswer; int expected; };
    const Case cases[] = {{0, 0}, {1, 1}, {-1, 1}, {int64_t{1} << 32, 1}};
    int n = 0;
    for (const Case& c : cases) {
        Host().SetStackAnswer(c.hostAnswer);
        EXPECT_EQ(c.expected, CBaseExecutionDLL::s_bRemplitPileC(7 + n, buffer, 250, -3)) << c.hostAnswer;
        ++n;
    }
    const std::vector<StandinStackRecord> records = Host().StackRecords();
    ASSERT_EQ(4u, records.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(7 + i, records[i].first);
        EXPECT_EQ(buffer, records[i].buffer);
        EXPECT_EQ(250, records[i].third);
        EXPECT_EQ(-3, records[i].fourth);
    }
}

TEST_F(ExecutionCommands, OnDemandQueriesNeedTheHostEntry)
{
    EXPECT_EQ(nullptr, CBaseExecutionDLL::s_hGetHinstanceVM());
    EXPECT_EQ(0, CBaseExecutionDLL::s_eGetModeSmartphone());
    EXPECT_EQ(0, CBaseExecutionDLL::_bUtiliseNET());
    CInformationDLL::ms_piLibShop = nullptr;
    CBaseExecutionDLL::s_InitLibShopMoiMeme();
    EXPECT_EQ(nullptr, CInformationDLL::ms_piLibShop);
    EXPECT_TRUE(Host().Log().empty());

    ASSERT_EQ(1, StartUp());
    Host().Reset();
    EXPECT_EQ(Host().Handle(), CBaseExecutionDLL::s_hGetHinstanceVM());
    Host().SetAnswer(11, 3);
    EXPECT_EQ(3, CBaseExecutionDLL::s_eGetModeSmartphone());
    Host().SetAnswer(6, int64_t{1} << 32);
    EXPECT_EQ(1, CBaseExecutionDLL::_bUtiliseNET()) << "a yes in the high half is still a yes";
    Host().SetAnswer(6, 0);
    EXPECT_EQ(0, CBaseExecutionDLL::_bUtiliseNET());
    EXPECT_EQ((std::vector<int>{11, 6, 6}), Host().Queries());

    // ILibShop on demand: asked only while none is kept.
    CInformationDLL::ms_piLibShop = nullptr;
    CBaseExecutionDLL::s_InitLibShopMoiMeme();
    EXPECT_EQ(Host().Answer(7), Address(CInformationDLL::ms_piLibShop));
    CBaseExecutionDLL::s_InitLibShopMoiMeme();
    EXPECT_EQ((std::vector<int>{11, 6, 6, 7}), Host().Queries());
}

}  // namespace
