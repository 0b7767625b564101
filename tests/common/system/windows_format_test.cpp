#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "common/system/windows_format.h"

namespace {

TEST(WindowsFormat, ConversionsRewrittenForThisCLibrary)
{
    const struct { const wchar_t* windows; const wchar_t* unix; } cases[] = {
        {L"%s", L"%ls"},          {L"%S", L"%s"},            {L"%hs", L"%s"},          {L"%ls", L"%ls"},
        {L"%1$s %2$s", L"%1$ls %2$ls"},                      {L"100%%", L"100%%"},     {L"%%s", L"%%s"},
        {L"%-10s", L"%-10ls"},    {L"%.*s", L"%.*ls"},       {L"%5.2S", L"%5.2s"},     {L"%c", L"%lc"},
        {L"%C", L"%c"},           {L"%hc", L"%c"},           {L"%lc", L"%lc"},         {L"%I64d", L"%lld"},
        {L"%I32u", L"%u"},        {L"%02d", L"%02d"},        {L"%016llX", L"%016llX"}, {L"%hd", L"%hd"},
        {L"%.6f", L"%.6f"},       {L"%p", L"%p"},            {L"x%", L"x%"},           {L"%ws", L"%ls"},
        {L"a%sb%Sc", L"a%lsb%sc"},
    };
    for (const auto& c : cases) {
        wchar_t out[64];
        const int n = _ConvertFormatWindowsToUnix(c.windows, out, 64);
        EXPECT_EQ(std::wstring(c.unix), out) << c.windows;
        EXPECT_EQ(static_cast<int>(std::wcslen(c.unix)), n);
        // The size counts exactly what the conversion writes.
        EXPECT_EQ(std::wcslen(c.unix) + 1, _nCalculeTailleChaineFormattageUnix(c.windows)) << c.windows;
        if (n > 0) {
            EXPECT_EQ(-1, _ConvertFormatWindowsToUnix(c.windows, out, static_cast<size_t>(n)));
        }
    }
}

}  // namespace
