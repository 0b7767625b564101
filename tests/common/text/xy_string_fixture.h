#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/xy_string.h"
#include "tests/host/support/test_environment.h"

namespace vxtest {

// Texts of either width from ASCII literals.
template <class T>
std::basic_string<T> Txt(const char* ascii)
{
    return std::basic_string<T>(ascii, ascii + std::strlen(ascii));
}

template <class T>
std::basic_string<T> TextOf(const CXYString<T>& s)
{
    return std::basic_string<T>(s.pszGet(), static_cast<size_t>(s.nGetLongueur()));
}

inline uint32_t RefCount(const CBaseStrMem& v) { return CBaseStrMem::s_nGetRefCount(v.pbyGetBlock()); }

// True when the four bytes behind the value's text are zero.
inline bool Terminated(const CBaseStrMem& v)
{
    const unsigned char* p = v.pbyGetBlock();
    const uint32_t n = CBaseStrMem::s_nGetLength(p);
    return p[n] == 0 && p[n + 1] == 0 && p[n + 2] == 0 && p[n + 3] == 0;
}

// Resets the stand-in allocator's controls and checks that a test gives back
// every block it took.
class StrMemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Allocator().Reset();
        m_liveBefore = Allocator().LiveBlocks();
    }
    void TearDown() override
    {
        Allocator().Reset();
        EXPECT_EQ(m_liveBefore, Allocator().LiveBlocks()) << "blocks leaked or freed twice";
    }
    static StandinStrMemAlloc& A() { return Allocator(); }

    long m_liveBefore = 0;
};

template <class T>
class TypedStrMemTest : public StrMemTest
{
protected:
    using Str = CXYString<T>;
    static std::basic_string<T> S(const char* ascii) { return Txt<T>(ascii); }
};

using TextKinds = ::testing::Types<char, wchar_t>;

}  // namespace vxtest
