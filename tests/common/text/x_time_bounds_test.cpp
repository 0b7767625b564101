// Search bounds of partial date and time texts.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/text/x_time_fixture.h"

namespace {

using vxtest::Texte;

class XTimeBounds : public vxtest::ZoneTest
{
};

INSTANTIATE_TEST_SUITE_P(Zones, XTimeBounds, ::testing::Values("UTC", "Europe/Paris"));

struct Case
{
    const wchar_t* text;
    const wchar_t* value;  // YYYYMMDDHHMMSSmmm, or null when the text is refused
};

std::string Narrow(const wchar_t* w)
{
    return w ? std::string(w, w + std::wcslen(w)) : "null";
}

template <class Fn>
void Check(const Case* cases, size_t n, Fn set)
{
    for (size_t i = 0; i < n; ++i) {
        const Case& c = cases[i];
        CXTime t;
        const int ok = set(t, c.text);
        EXPECT_EQ(c.value != nullptr, ok != 0) << Narrow(c.text);
        if (c.value != nullptr && ok) {
            EXPECT_EQ(c.value, Texte(t)) << Narrow(c.text);
        }
        EXPECT_EQ(1, t.nGetTimeTm()->tm_isdst) << Narrow(c.text);
    }
}

TEST_P(XTimeBounds, FirstInstantOfPartialTime)
{
    const Case cases[] = {
        {L"", L"00000101000000000"},          {nullptr, L"00000101000000000"},
        {L"1", L"00000101100000000"},         {L"12", L"00000101120000000"},
        {L"123", L"00000101123000000"},       {L"1234", L"00000101123400000"},
        {L"12345", L"00000101123450000"},     {L"1234567", L"00000101123456700"},
        {L"12345678", L"00000101123456780"},  {L"123456789", L"00000101123456789"},
    };
    Check(cases, std::size(cases), [](CXTime& t, const wchar_t* s) { return t.bSetZLTimeMin(s, 1); });

    // Only the fields the text covers change.
    CXTime t(2024, 3, 5, 7, 8, 9, 0);
    EXPECT_EQ(1, t.bSetZLTimeMin(L"1", 1));
    EXPECT_EQ(L"20240305100809000", Texte(t));
}

TEST_P(XTimeBounds, FirstInstantAfterPartialTime)
{
    const Case cases[] = {
        {L"1", L"00000101200000000"},    {L"19", L"00000101200000000"},    {L"22", L"00000101230000000"},
        {L"0", L"00000101100000000"},    {L"09", L"00000101100000000"},    {L"123", L"00000101124000000"},
        {L"1234", L"00000101123500000"}, {L"1259", L"00000101130000000"},  {L"125959", L"00000101130000000"},
        {L"1259599", L"00000101130000000"}, {L"1234567", L"00000101123456800"}, {L"123456789", L"00000101123456790"},
        {L"23", nullptr},                {L"2", nullptr},                  {L"235959999", nullptr},
        {L"", nullptr},                  {nullptr, nullptr},               {L"1234567890", nullptr},
    };
    Check(cases, std::size(cases), [](CXTime& t, const wchar_t* s) { return t.bSetZLTimeMax(s, 1); });
}

TEST_P(XTimeBounds, FirstInstantOfPartialDateTime)
{
    const Case cases[] = {
        {L"", L"00000101000000000"},           {nullptr, L"00000101000000000"},
        {L"2", L"20000101000000000"},          {L"2024", L"20240101000000000"},
        {L"20240", L"20240101000000000"},      {L"20241", L"20241001000000000"},
        {L"202403", L"20240301000000000"},     {L"2024030", L"20240301000000000"},
        {L"2024031", L"20240310000000000"},    {L"20240315", L"20240315000000000"},
        {L"202403151", L"20240315100000000"},  {L"20240315 ", L"20240315000000000"},
        {L"20240315 1", L"20240315100000000"}, {L"20240315 123", L"20240315123000000"},
        {L"2024031512345678", L"20240315123456780"},
    };
    Check(cases, std::size(cases), [](CXTime& t, const wchar_t* s) { return t.bSetZLDateTimeMin(s, 1); });
}

TEST_P(XTimeBounds, FirstInstantAfterPartialDateTime)
{
    const Case cases[] = {
        {L"2", L"30000101000000000"},
        {L"2024", L"20250101000000000"},
        {L"20240", L"20241001000000000"},
        {L"20241", L"20250101000000000"},
        {L"202409", L"20241001000000000"},
        {L"202412", L"20250101000000000"},
        {L"20240229", L"20240301000000000"},
        {L"20230228", L"20230301000000000"},
        {L"20240228", L"20240229000000000"},
        {L"2024013", L"20240201000000000"},
        {L"20240430", L"20240501000000000"},
        {L"20241231", L"20250101000000000"},
        {L"2024010105", L"20240101060000000"},
        {L"2024010119", L"20240101200000000"},
        {L"2024010123", L"20240102000000000"},
        {L"20240101 12", L"20240101130000000"},
        {L"20240101 1259", L"20240101130000000"},
        {L"20240101235959999", L"20240102000000000"},
        {L"20240101 235959999", L"20240102000000000"},
        // A text ending in the blank is the whole day.
        {L"20240101 ", L"20240102000000000"},
        {L"9999", nullptr},
        {L"99991231235959999", nullptr},
        {L"", nullptr},
        {nullptr, nullptr},
        {L"202401012359599990", nullptr},
        {L"20240101 2359599990", nullptr},
    };
    Check(cases, std::size(cases), [](CXTime& t, const wchar_t* s) { return t.bSetZLDateTimeMax(s, 1); });
}

// Every prefix's bounds enclose the instants it denotes: the lower bound is
// the value itself padded with zeros, the upper one is after it.
TEST_P(XTimeBounds, BoundsEncloseEveryPrefix)
{
    const wchar_t* full[] = {L"20240229235959999", L"20231231000000000", L"19991015120000500"};
    for (const wchar_t* f : full) {
        CXTime value;
        ASSERT_TRUE(value.bSetZLDateTime(f, 0));
        const std::wstring s(f);
        for (size_t n = 1; n <= s.size(); ++n) {
            const std::wstring prefix = s.substr(0, n);
            CXTime lo, hi;
            ASSERT_TRUE(lo.bSetZLDateTimeMin(prefix.c_str(), 0)) << Narrow(prefix.c_str());
            EXPECT_TRUE(value >= lo) << Narrow(prefix.c_str());
            if (hi.bSetZLDateTimeMax(prefix.c_str(), 0)) {
                EXPECT_TRUE(hi > value) << Narrow(prefix.c_str());
                EXPECT_TRUE(hi > lo) << Narrow(prefix.c_str());
            }
        }
    }
}

}  // namespace
