#pragma once

// A fresh temporary directory per test, made the current directory for the
// test's duration and removed afterwards (with nftw, without following
// links, so that the removal never depends on the code under test).
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vxtest {

inline std::wstring WideName(const std::string& s)
{
    // The tests' names are ASCII unless a test says otherwise.
    return std::wstring(s.begin(), s.end());
}

inline std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s)
        out.push_back(static_cast<char>(c));
    return out;
}

inline bool bExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

inline bool bIsDir(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << content;
    ASSERT_TRUE(f.good()) << path;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class ScratchDirectory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char szSaved[PATH_MAX];
        ASSERT_NE(nullptr, getcwd(szSaved, sizeof szSaved));
        m_sSaved = szSaved;
        const char* pszTmp = std::getenv("TMPDIR");
        std::string sTemplate = std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/vxfile.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(sTemplate.data()));
        char szReal[PATH_MAX];
        ASSERT_NE(nullptr, realpath(sTemplate.c_str(), szReal));
        m_sDir = szReal;
        ASSERT_EQ(0, chdir(m_sDir.c_str()));
    }

    void TearDown() override
    {
        (void)!chdir(m_sSaved.c_str());
        // Restore write permission first, so that read-only test
        // directories can be emptied.
        nftw(m_sDir.c_str(), [](const char* p, const struct stat* st, int type, struct FTW*) {
            if (type == FTW_D)
                chmod(p, st->st_mode | S_IRWXU);
            return 0;
        }, 16, FTW_PHYS);
        nftw(m_sDir.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); }, 16,
             FTW_PHYS | FTW_DEPTH);
    }

    // Absolute path of a name inside the scratch directory.
    std::string Path(const std::string& name) const { return m_sDir + "/" + name; }
    std::wstring WPath(const std::string& name) const { return WideName(Path(name)); }
    const std::string& Dir() const { return m_sDir; }
    std::wstring WDir() const { return WideName(m_sDir); }

private:
    std::string m_sSaved;
    std::string m_sDir;
};

}  // namespace vxtest
