// The engine interface that keys built with a mapping option use is the one
// handed to the process's driver: it follows that driver as drivers come and
// go, and without one the keys are built unmapped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/qf_convert_key.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_qf_for_na.h"
#include "tests/host/support/test_environment.h"

namespace {

using Bytes = std::vector<unsigned char>;

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

TEST(KeyMappingDriver, TheProcessDriversEngineMaps)
{
    StartTestDriverModule();
    CTestDriverRegistration registration;
    StandinQFForNA firstEngine, secondEngine;
    INADriver* piFirst = piQueryInterface(0);
    ASSERT_NE(nullptr, piFirst);
    EXPECT_EQ(1, piFirst->bSetQF(&firstEngine));
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, firstEngine.ModesAsked());

    INADriver* piSecond = piQueryInterface(0);
    ASSERT_NE(nullptr, piSecond);
    EXPECT_EQ(1, piSecond->bSetQF(&secondEngine));
    firstEngine.ClearLog();
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, secondEngine.ModesAsked());
    EXPECT_TRUE(firstEngine.ModesAsked().empty()) << "the newest driver is the process's";

    // A driver that was never handed an engine is the process's now: its
    // keys are unmapped, no engine asked.
    INADriver* piThird = piQueryInterface(0);
    ASSERT_NE(nullptr, piThird);
    secondEngine.ClearLog();
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_TRUE(firstEngine.ModesAsked().empty());
    EXPECT_TRUE(secondEngine.ModesAsked().empty());

    // As drivers end, the engine follows the process's driver back.
    EXPECT_EQ(0u, piThird->nExternalRelease());
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, secondEngine.ModesAsked());
    EXPECT_EQ(0u, piSecond->nExternalRelease());
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(std::vector<int>{1}, firstEngine.ModesAsked());

    // An engine taken back, then no driver at all.
    EXPECT_EQ(1, piFirst->bSetQF(nullptr));
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_EQ(1, piFirst->bSetQF(&firstEngine));
    EXPECT_EQ(kMapped, Key());
    EXPECT_EQ(0u, piFirst->nExternalRelease());
    firstEngine.ClearLog();
    EXPECT_EQ(kUnmapped, Key());
    EXPECT_TRUE(firstEngine.ModesAsked().empty());
    EXPECT_EQ(0, CTestDriver::s_nLive);
}

}  // namespace
