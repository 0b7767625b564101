#pragma once

// A temporary directory for profile files, with byte-exact file access.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vxtest {

class ProfileDirectory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char sz[] = "/tmp/vx_profile_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(sz));
        m_sDir = sz;
    }
    void TearDown() override { std::filesystem::remove_all(m_sDir); }

    std::string Path(const std::string& sName) const { return m_sDir + "/" + sName; }

    static void Put(const std::string& sPath, const std::string& sBytes)
    {
        std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
        out << sBytes;
    }
    static std::string Get(const std::string& sPath)
    {
        std::ifstream in(sPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool Exists(const std::string& sPath) { return access(sPath.c_str(), F_OK) == 0; }

    std::string m_sDir;
};

// The UTF-16LE bytes of a text of code points below 0x10000, without a mark.
inline std::string Utf16(const std::wstring& s)
{
    std::string sOut;
    for (wchar_t c : s) {
        sOut += static_cast<char>(c & 0xFF);
        sOut += static_cast<char>((c >> 8) & 0xFF);
    }
    return sOut;
}

inline const std::string kMark = "\xFF\xFE";

}  // namespace vxtest
