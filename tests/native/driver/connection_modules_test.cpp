// The modules a connection asks about: the executable's file name, and
// whether the client library a connection wants is the one loaded in the
// process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(ConnectionModules, ExecutableFileName)
{
    char szPath[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", szPath, sizeof szPath - 1);
    ASSERT_GT(n, 0);
    szPath[n] = 0;
    CTString name;
    ASSERT_EQ(1, CNAConnectionDescription::g_bGetModuleFileName(nullptr, &name));
    EXPECT_EQ(CTString(szPath), name);
}

struct stLibraryCase
{
    const char* name;
    const wchar_t* pszLoaded;
    const wchar_t* pszWanted;
    int bExpected;
};

TEST(ConnectionModules, ClientLibraryWanted)
{
    const stLibraryCase cases[] = {
        {"none wanted", L"/usr/lib/libmysqlclient.so.21", L"", 1},
        {"the same name in another case", L"/usr/lib/libmysqlclient.so", L"/USR/LIB/LIBMYSQLCLIENT.SO", 1},
        {"a file name without directory", L"/usr/lib/libmysqlclient.so", L"LibMySQLClient.so", 1},
        {"another directory", L"/usr/lib/libmysqlclient.so", L"/opt/libmysqlclient.so", 0},
        {"another file", L"/usr/lib/libmysqlclient.so", L"libmariadb.so", 0},
        {"a relative path is not a bare file name", L"/usr/lib/libmysqlclient.so", L"lib/libmysqlclient.so", 0},
    };
    StandinConnectionDescription host;
    for (const stLibraryCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring extended = L"VX CLIENT LIBRARY=";
        extended += c.pszWanted;
        host.SetExtendedInfo(extended.c_str());
        CTestConnection connection(L"id", &host);
        CNAConnectionDescription::m_csClientLibrary.Set(c.pszLoaded);
        CNAError error;
        EXPECT_EQ(c.bExpected, connection._bCheckClientLibraryWanted(&error));
        if (c.bExpected) {
            EXPECT_EQ(NA_ERR_NONE, error.eGetErrorType());
        } else {
            EXPECT_EQ(74u, error.dwGetErrorId());
            const std::wstring dump = error.pszGetError();
            EXPECT_NE(std::wstring::npos, dump.find(L"MySQL"));
            EXPECT_NE(std::wstring::npos, dump.find(std::wstring(L"<") + c.pszLoaded + L">"));
            EXPECT_NE(std::wstring::npos, dump.find(std::wstring(L"<") + c.pszWanted + L">"));
            EXPECT_NE(std::wstring::npos, dump.find(L"IEZODIRA=1.17"));
        }
        // Without an error object the answer is the same.
        EXPECT_EQ(c.bExpected, connection._bCheckClientLibraryWanted(nullptr));
    }
    CNAConnectionDescription::m_csClientLibrary.Vide();
}

}  // namespace
