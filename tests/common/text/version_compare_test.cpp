// Module version texts compared with their numbers by value.
#include <gtest/gtest.h>

#include <string>

#include "common/text/version_compare.h"
#include "tests/host/support/test_environment.h"

namespace {

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

TEST(VersionCompare, NumbersByValueAndNullAsEmpty)
{
    struct Case
    {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"20.0.9.0", "20.0.10.0", -1},
        {"20.0.10.0", "20.0.10.0", 0},
        {"20.1.0.0", "20.0.99.0", 1},
        {"20.0.10.0", "20.0.10", 1},
        {"9.0", "10.0", -1},
        {nullptr, nullptr, 0},
        {nullptr, "", 0},
        {nullptr, "1.0", -1},
        {"1.0", nullptr, 1},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.a ? c.a : "null") + " / " + (c.b ? c.b : "null");
        EXPECT_EQ(c.sign, Sign(nCompareVersionModuleA(c.a, c.b))) << label;
        const std::wstring wa = c.a ? std::wstring(c.a, c.a + strlen(c.a)) : L"";
        const std::wstring wb = c.b ? std::wstring(c.b, c.b + strlen(c.b)) : L"";
        EXPECT_EQ(c.sign, Sign(nCompareVersionModule(c.a ? wa.c_str() : nullptr, c.b ? wb.c_str() : nullptr)))
            << label;
    }
}

}  // namespace
