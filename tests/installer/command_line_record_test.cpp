#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "installer/command_line_record.h"

namespace {

TEST(CommandLineRecord, QuotesArgumentsWithBlanks)
{
    EXPECT_STREQ(GetCommandLine(), L"");
    char prog[] = "prog", ab[] = "a b", kv[] = "k=v w", eq[] = "x y=z", utf[] = "caf\xC3\xA9";
    char* argv[] = {prog, ab, kv, eq, utf, nullptr};
    SetCommandLine(5, argv);
    // The '=' rule only when the '=' comes before the first blank.
    EXPECT_STREQ(GetCommandLine(), L"prog \"a b\" k=\"v w\" \"x y=z\" caf\u00E9 ");
    SetCommandLine(0, argv);
    EXPECT_STREQ(GetCommandLine(), L"");
}

TEST(CommandLineRecord, StopsWhenFull)
{
    std::string big(3000, 'x');
    big[10] = ' ';
    char* argv[] = {big.data(), big.data(), nullptr};
    SetCommandLine(2, argv);
    const std::wstring line = GetCommandLine();
    EXPECT_EQ(line.size(), static_cast<size_t>(COMMAND_LINE_CHARS - 1));
    EXPECT_EQ(line.substr(0, 12), L"\"xxxxxxxxxx ");
}

}  // namespace
