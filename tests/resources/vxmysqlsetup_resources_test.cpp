#include <gtest/gtest.h>

#include "tests/resources/generated_block_checks.h"

namespace {

TEST(VxmysqlsetupResources, EveryTextIsFoundAndUnpacksToItself)
{
    vxtest::ExpectEveryTextFoundAndUnpacked();
}

TEST(VxmysqlsetupResources, ModuleDescriptor)
{
    vxtest::ExpectDescriptor();
}

TEST(VxmysqlsetupResources, MarkersAndMissingIds)
{
    vxtest::ExpectMarkersAndMisses();
}

TEST(VxmysqlsetupResources, ErrorTableAndMessages)
{
    vxtest::ExpectTableMessagesPresent(8, 32, L"mysql_install", L"20.0.1.0");
    const uint32_t codes[] = {1, 2, 3, 4, 9, 105, 1000, 1001};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(codes[i], gstErrorDef32[i].dwCode);
        EXPECT_EQ(0u, gstErrorDef32[i].dwDetailId);
        EXPECT_EQ(codes[i] < 100 ? 2 : 3, gstErrorDef32[i].nLevel);
    }
    // The installer's own messages and the common ones it shares.
    for (const uint32_t id : {4219u, 4903u, 4976u, 4977u, 4978u, 4979u, 25193u, 28139u, 28126u, 25852u}) {
        STRessourceModule rec = vxtest::Record(id);
        EXPECT_EQ(1, bGetResAnsi32(rec)) << id;
    }
    // The driver's texts are not in the installer's block.
    STRessourceModule rec = vxtest::Record(28437);
    EXPECT_EQ(0, bGetResAnsi32(rec));
}

}  // namespace
