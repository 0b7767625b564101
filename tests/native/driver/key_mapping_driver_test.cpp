// The engine interface that keys built with a mapping option use is the one
// handed to the process's driver: it follows that driver as drivers come and
// go, and without one the keys are built unmapped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/qf_convert_key.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/support/test_environment.h"

namespace {

using Bytes = std::vector<unsigned char>;

StandinDriverEntryPoints LinkedEntryPoints()
{
    StandinDriverEntryPoints entries;
    entries.pfnInitLibrary = &bInitLibrary;
    entries.pfnDLLCompatible = &bDLLCompatible;
    entries.pfnQueryInterface = &piQueryInterface;
    entries.pfnTermLibrary = &TermLibrary;
    return entries;
}

// "é" upper-cased (mode 1), high byte first, or as it is.
const Bytes kMapped = {0x00, 0xC9, 0x00, 0x00};
const Bytes kUnmapped = {0x00, 0xE9, 0x00, 0x00};

Bytes Key()
{
    const std::wstring text = L"é";
    Bytes key(4, 0xEE);
    CQFConvertKey::__nConvertKey(key.data(), key.size(), text.c_str(), (text.size() + 1) * sizeof(wchar_t),
                                 QFIT_UNICODE_DYN, QFKEY_MAP_0080 | QFKEY_UNITES_BIG_ENDIAN, 0, 0, 0,
                                 QFKEY_TEXTE_32);
    return key;
}

class KeyMappingDriver : public ::testing::Test
{
protected:
    void SetUp() override { StartTestDriverModule(); }
};

TEST_F(KeyMappingDriver, TheProcessDriversEngineMaps)
{
    CTestDriverRegistration registration;
    StandinDriverCaller first(LinkedEntryPoints());
    ASSERT_NE(nullptr, first.piOpenDriver());
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, first.QF().ModesAsked());

    StandinDriverCaller second(LinkedEntryPoints());
    ASSERT_NE(nullptr, second.piOpenDriver());
    first.QF().ClearLog();
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, second.QF().ModesAsked());
    EXPECT_TRUE(first.QF().ModesAsked().empty()) << "the newest driver is the process's";

    // A driver that was never handed an engine is the process's now: its
    // keys are unmapped, no engine asked.
    INADriver* piThird = piQueryInterface(0);
    ASSERT_NE(nullptr, piThird);
    second.QF().ClearLog();
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_TRUE(first.QF().ModesAsked().empty());
    EXPECT_TRUE(second.QF().ModesAsked().empty());

    // As drivers end, the engine follows the process's driver back.
    EXPECT_EQ(0u, piThird->nExternalRelease());
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, second.QF().ModesAsked());
    EXPECT_EQ(0u, second.nReleaseDriver());
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, first.QF().ModesAsked());

    // An engine taken back, then no driver at all.
    EXPECT_EQ(1, first.Call<int>(36, static_cast<IQFForNA*>(nullptr)));
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_EQ(1, first.Call<int>(36, first.piQF()));
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(0u, first.nReleaseDriver());
    first.QF().ClearLog();
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_TRUE(first.QF().ModesAsked().empty());
    EXPECT_EQ(0, CTestDriver::s_nLive);
}

}  // namespace
