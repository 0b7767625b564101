#include <gtest/gtest.h>

#include <set>

#include "tests/resources/generated_block_checks.h"

namespace {

TEST(VxmysqlResources, EveryTextIsFoundAndUnpacksToItself)
{
    vxtest::ExpectEveryTextFoundAndUnpacked();
}

TEST(VxmysqlResources, ModuleDescriptor)
{
    vxtest::ExpectDescriptor();
}

TEST(VxmysqlResources, MarkersAndMissingIds)
{
    vxtest::ExpectMarkersAndMisses();
}

TEST(VxmysqlResources, CompareFunctionOverTheIndex)
{
    vxtest::ExpectCompareOverTheIndex();
}

TEST(VxmysqlResources, ErrorTable)
{
    vxtest::ExpectTableMessagesPresent(95, 32, L"vxmysql.so", L"20.0.10.0");
    // Codes 1 to 91 and 93 to 95 but 3 and 36, with 29 twice, and the two
    // packet codes.
    std::set<uint32_t> codes;
    for (size_t i = 0; i < gnNbErrorDef32; ++i) {
        const _stErrorDef32& row = gstErrorDef32[i];
        codes.insert(row.dwCode);
        const bool detailIsMessage = row.dwCode >= 17 && row.dwCode <= 20;
        EXPECT_EQ(detailIsMessage ? row.dwMessageId : row.dwCode, row.dwDetailId) << row.dwCode;
        EXPECT_EQ(row.dwCode == 21 || row.dwCode == 73 ? 2 : 3, row.nLevel) << row.dwCode;
    }
    EXPECT_EQ(94u, codes.size());
    EXPECT_EQ(0u, codes.count(3));
    EXPECT_EQ(0u, codes.count(36));
    EXPECT_EQ(1u, codes.count(320101));
    EXPECT_EQ(1u, codes.count(320102));
    EXPECT_EQ(29u, gstErrorDef32[40].dwCode);
    EXPECT_EQ(29u, gstErrorDef32[43].dwCode);
}

// Texts whose arguments the error sites fix.
TEST(VxmysqlResources, DeclaredArguments)
{
    struct Case { uint32_t id; const char* args; };
    const Case cases[] = {
        {25193, ""}, {28145, "s,lld,lld"}, {28146, "s,lld,lld"}, {28125, "s,s"}, {28124, "s,s"},
        {28130, "d,s"}, {25852, "u,u,s"}, {28134, "s,s"}, {28555, "s,s"}, {28542, "s"},
        {28537, "s,s"}, {28543, "s,s"}, {28585, "s,u"}, {28590, "s,s,d"}, {25868, "s,s,s"},
        {25873, "s,d,s,s,s"}, {3221, "s,u,d,d,s"}, {3355, "s,s"}, {28588, "s,s,s"}, {28576, "s,s"},
        {28437, ""}, {25843, ""}, {25878, "d"}, {25884, "s,u,s"}, {25885, "s,u,s"},
    };
    for (const Case& c : cases) {
        const _stResourceCatalog32* found = nullptr;
        for (size_t i = 0; i < gnNbResourceCatalog32; ++i)
            if (gstResourceCatalog32[i].dwId == c.id)
                found = &gstResourceCatalog32[i];
        ASSERT_NE(nullptr, found) << c.id;
        EXPECT_STREQ(c.args, found->pszArgs) << c.id;
    }
}

}  // namespace
