#pragma once

// Small helpers of the client-library tests: texts in the loader's wide
// form, the working directory, what an error object holds (the MySQL
// driver's fatal-error message among it), and a fixture
// that unloads whatever a test loaded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "mysql/function_loader.h"
#include "mysql/mysql_driver.h"
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

// The loaded client versions the MySQL driver's fatal-error hook named in
// the error's dump, one per call of the hook on that error (empty for a call
// without a connection).
inline std::vector<std::wstring> FatalHookVersions(const CNAError& error)
{
    const std::wstring dump = error.StringDump().pszGet();
    const std::wstring sOldest = CMySQLDriver::kOldestClientVersion;
    std::vector<std::wstring> versions;
    for (size_t n = dump.find(sOldest); n != std::wstring::npos; n = dump.find(sOldest, n + 1)) {
        const size_t nOpen = dump.find(L'<', n);
        const size_t nClose = nOpen == std::wstring::npos ? nOpen : dump.find(L'>', nOpen);
        if (nClose == std::wstring::npos)
            break;
        versions.push_back(dump.substr(nOpen + 1, nClose - nOpen - 1));
    }
    return versions;
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
