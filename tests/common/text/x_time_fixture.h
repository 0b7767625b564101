#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "common/text/ct_string.h"
#include "common/text/x_time.h"

namespace vxtest {

// Runs each test once with the process's zone set to UTC and once to
// Europe/Paris (one hour east, summer time from the last Sunday of March to
// the last Sunday of October); the zone in force before is restored.
class ZoneTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        const char* p = std::getenv("TZ");
        m_bHadTz = p != nullptr;
        if (m_bHadTz)
            m_strOldTz = p;
        setenv("TZ", GetParam(), 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_bHadTz)
            setenv("TZ", m_strOldTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    bool bParis() const { return std::string(GetParam()) == "Europe/Paris"; }

private:
    bool m_bHadTz = false;
    std::string m_strOldTz;
};

// The whole value as YYYYMMDDHHMMSSmmm.
inline std::wstring Texte(const CXTime& t)
{
    CTString str;
    t.GetZLTimeAAAAMMJJHHMMSSCCm(str);
    return str.pszGet();
}

}  // namespace vxtest
