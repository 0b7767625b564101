#pragma once

// Small helpers of the client-library tests: texts in the loader's wide
// form, the working directory, what an error object holds, and a fixture
// that unloads whatever a test loaded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "mysql/function_loader.h"
#include "native/driver/error_object.h"

namespace vxtest {

inline std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

inline std::string WorkingDirectory()
{
    char sz[PATH_MAX];
    return getcwd(sz, sizeof sz) != nullptr ? std::string(sz) : std::string();
}

inline bool bDumpHas(CNAError& error, const std::wstring& sPart)
{
    return std::wstring(error.pszGetError()).find(sPart) != std::wstring::npos;
}

// The site line of source.site.
inline std::wstring SiteLine(int nSource, int nSite)
{
    return L"IEZODIRA=" + std::to_wstring(nSource) + L"." + std::to_wstring(nSite) + L"\r\n";
}

class ClientLibraryTest : public ::testing::Test
{
protected:
    void TearDown() override { CNAFunctionLoader::g_Term(); }
};

}  // namespace vxtest
