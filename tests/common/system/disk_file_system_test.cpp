// File-system operations by name: wrappers, status, attributes, changes,
// moves, directories, places and time conversions.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::bExists;
using vxtest::bIsDir;
using vxtest::ReadFile;
using vxtest::ScratchDirectory;
using vxtest::WideName;
using vxtest::WriteFile;

constexpr size_t N = XFILE_PATH_CHARS;

class DiskFileSystem : public ScratchDirectory
{
};

TEST_F(DiskFileSystem, WrappersSpeakUTF8)
{
    const std::wstring sName = L"caf\u00e9 \u65e5\u672c";
    ASSERT_EQ(0, CDiskFile::__Unix_mkdir(sName.c_str(), 0755));
    EXPECT_TRUE(bIsDir("caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"));
    unsigned nError = 0;
    EXPECT_EQ(0, CDiskFile::Unix_access(sName.c_str(), F_OK, &nError));
    EXPECT_EQ(-1, CDiskFile::Unix_access(L"missing", F_OK, &nError));
    EXPECT_EQ(static_cast<unsigned>(ENOENT), nError);
    struct stat st;
    EXPECT_EQ(-1, CDiskFile::Unix_stat(L"missing", &st, &nError));
    EXPECT_EQ(static_cast<unsigned>(ENOENT), nError);
    // A surrogate has no UTF-8 form: no call with a replaced name.
    const wchar_t szBad[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    errno = 0;
    EXPECT_EQ(-1, CDiskFile::__Unix_mkdir(szBad, 0755));
    EXPECT_EQ(EILSEQ, errno);
    EXPECT_FALSE(bExists("a?"));
    // Long names go through the heap.
    const std::wstring sLong(200, L'\u00e9');  // 400 bytes of UTF-8 would pass 255
    errno = 0;
    EXPECT_EQ(-1, CDiskFile::Unix_open(sLong.c_str(), O_RDONLY));
    EXPECT_EQ(ENAMETOOLONG, errno);
    const std::wstring sFits(120, L'\u00e9');
    const int fd = CDiskFile::Unix_ropen(sFits.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    FILE* f = CDiskFile::Unix_fopen(sFits.c_str(), "r");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_EQ(0, CDiskFile::Unix_unlink(sFits.c_str()));

    wchar_t szCwd[N];
    ASSERT_TRUE(CDiskFile::Unix_getcwd(szCwd, N));
    EXPECT_EQ(WDir(), szCwd);
    EXPECT_FALSE(CDiskFile::Unix_getcwd(szCwd, 4));
    EXPECT_EQ(ERANGE, errno);
    ASSERT_EQ(0, CDiskFile::Unix_chdir(sName.c_str()));
    ASSERT_TRUE(CDiskFile::bGetCurrentDirectory(szCwd));
    EXPECT_EQ(WDir() + L"/" + sName, szCwd);
}

// Puts an environment variable back as it was.
class SavedVariable
{
public:
    explicit SavedVariable(const char* pszName) : m_pszName(pszName)
    {
        const char* p = std::getenv(pszName);
        m_bSet = p != nullptr;
        m_sValue = p ? p : "";
    }
    ~SavedVariable()
    {
        if (m_bSet)
            setenv(m_pszName, m_sValue.c_str(), 1);
        else
            unsetenv(m_pszName);
    }

private:
    const char* m_pszName;
    bool m_bSet;
    std::string m_sValue;
};

TEST_F(DiskFileSystem, HomeDirectory)
{
    SavedVariable saved("HOME");
    setenv("HOME", "/home/h\xC3\xA9", 1);
    wchar_t w[N];
    EXPECT_TRUE(CDiskFile::Unix_gethomedir(w, N));
    EXPECT_STREQ(L"/home/h\u00e9", w);
    CTString s;
    CDiskFile::GetHomeDir(&s);
    EXPECT_STREQ(L"/home/h\u00e9", s.pszGet());
    wchar_t small[4];
    EXPECT_TRUE(CDiskFile::Unix_gethomedir(small, 4));
    EXPECT_STREQ(L".", small) << "a home that does not fit is not cut";
}

TEST_F(DiskFileSystem, ExistenceKindAndSize)
{
    WriteFile("f", "12345");
    ASSERT_EQ(0, mkdir("d", 0755));
    ASSERT_EQ(0, symlink("d", "ld"));
    EXPECT_TRUE(CDiskFile::bExist(L"f"));
    EXPECT_TRUE(CDiskFile::bExist(L".\\f"));
    unsigned nError = 0;
    EXPECT_FALSE(CDiskFile::bExist(L"nothing", nError));
    EXPECT_EQ(static_cast<unsigned>(ENOENT), nError);
    EXPECT_TRUE(CDiskFile::bIsAFile(L"f"));
    EXPECT_FALSE(CDiskFile::bIsAFile(L"d"));
    EXPECT_TRUE(CDiskFile::bIsADirectory(L"d"));
    EXPECT_TRUE(CDiskFile::bIsADirectory(L"ld")) << "follows links";
    EXPECT_EQ(5, CDiskFile::s_oGetSize(L"f"));
    EXPECT_EQ(-1, CDiskFile::s_oGetSize(L"d"));
    EXPECT_EQ(-1, CDiskFile::s_oGetSize(L"nothing"));
}

TEST_F(DiskFileSystem, AttributesFromTheMode)
{
    WriteFile(".hidden", "");
    WriteFile("visible", "abc");
    ASSERT_EQ(0, chmod("visible", 0640));
    ASSERT_EQ(0, mkdir("d", 0750));
    int n = 0;
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(&n, L".hidden"));
    EXPECT_NE(0u, static_cast<unsigned>(n) & 0x80000000u);
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(&n, WPath("visible").c_str()));
    EXPECT_EQ(0x8000u | 0640u, static_cast<unsigned>(n));
    unsigned nError = 0;
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(L"d", n, nError));
    EXPECT_EQ(0x4000u | 0750u, static_cast<unsigned>(n));
    EXPECT_FALSE(CDiskFile::bGetFileAttributes(L"nothing", n, nError));
    EXPECT_EQ(static_cast<unsigned>(ENOENT), nError);

    int64_t oSize = 0;
    FILETIME ft{};
    ASSERT_TRUE(CDiskFile::__bGetFileAttributesAndSize(&n, &oSize, &ft, L"visible", nError, nullptr));
    EXPECT_EQ(3, oSize);
    struct stat st;
    ASSERT_EQ(0, stat("visible", &st));
    EXPECT_EQ(static_cast<int64_t>(st.st_mtime), nFileTimeToUnixSeconds(ft));

    struct
    {
        int nAttributes;
        mode_t nMode;
    } aCases[] = {{1, 0666}, {0, 0666}, {-1, 0444}, {-2, 0444}, {0x20, 0666}};
    for (const auto& c : aCases) {
        ASSERT_TRUE(CDiskFile::bSetFileAttributes(L"visible", c.nAttributes));
        ASSERT_EQ(0, stat("visible", &st));
        EXPECT_EQ(c.nMode, st.st_mode & 0777) << c.nAttributes;
    }
    EXPECT_TRUE(CDiskFile::bSetFileOwnerAttributes(L"visible", 0600, getuid(), getgid()));
    ASSERT_EQ(0, stat("visible", &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    EXPECT_FALSE(CDiskFile::bSetFileAttributesUnix(L"nothing", 0600));
}

TEST_F(DiskFileSystem, LastModificationTimeIsLocal)
{
    WriteFile("f", "");
    const time_t t = 1718459130;  // 2024-06-15 13:45:30 UTC
    struct utimbuf times = {t, t};
    ASSERT_EQ(0, utime("f", &times));
    CDiskFile::_stXFILETIME x{};
    ASSERT_TRUE(CDiskFile::bGetLastModificationTime(L"f", &x));
    struct tm tmLocal;
    localtime_r(&t, &tmLocal);
    EXPECT_EQ(tmLocal.tm_year + 1900, x.wYear);
    EXPECT_EQ(tmLocal.tm_mon + 1, x.wMonth);
    EXPECT_EQ(tmLocal.tm_mday, x.wDay);
    EXPECT_EQ(tmLocal.tm_hour, x.wHour);
    EXPECT_EQ(45, x.wMinute);
    EXPECT_EQ(30, x.wSecond);
    EXPECT_FALSE(CDiskFile::bGetLastModificationTime(L"nothing", &x));
}

TEST_F(DiskFileSystem, DeleteAndRename)
{
    WriteFile("a", "A");
    WriteFile("b", "B");
    EXPECT_FALSE(CDiskFile::bRename(L"b", L"a")) << "never onto an existing file";
    EXPECT_EQ(EEXIST, errno);
    EXPECT_EQ("B", ReadFile("b"));
    ASSERT_EQ(0, symlink("nowhere", "dangling"));
    EXPECT_FALSE(CDiskFile::bRename(L"dangling", L"a")) << "nor onto a dangling link";
    EXPECT_TRUE(bExists("a"));
    EXPECT_TRUE(CDiskFile::bRename(L"c", L".\\a"));
    EXPECT_EQ("A", ReadFile("c"));
    EXPECT_FALSE(bExists("a"));
    EXPECT_TRUE(CDiskFile::bDelete(L"c"));
    EXPECT_FALSE(CDiskFile::bDelete(L"c"));
    EXPECT_TRUE(CDiskFile::bForceDelete(L"b"));
    EXPECT_FALSE(CDiskFile::bForceDelete(L"b"));
}

// The same file under two spellings, or reached through a link, must not
// lose its only copy; a failing rename must not remove the destination.
TEST_F(DiskFileSystem, MoveNeverLosesTheOnlyCopy)
{
    WriteFile("a", "A");
    ASSERT_EQ(0, mkdir("d", 0755));
    WriteFile("d/f", "F");
    ASSERT_EQ(0, symlink("d", "ld"));
    ASSERT_EQ(0, symlink("a", "la"));
    struct Case
    {
        const wchar_t* pszDestination;
        const wchar_t* pszSource;
        const char* pszKept;
        const char* pszContent;
    } aCases[] = {
        {L"a", L"./a", "a", "A"},
        {L"a", L"d/../a", "a", "A"},
        {L"a", L"la", "a", "A"},          // the source is a link to the destination
        {L"la", L"a", "a", "A"},          // the destination is a link to the source
        {L"d/f", L"ld/f", "d/f", "F"},    // through a linked directory
        {L"ld/f", L".\\d\\f", "d/f", "F"},
    };
    for (const Case& c : aCases) {
        EXPECT_TRUE(CDiskFile::bMove(c.pszDestination, c.pszSource)) << c.pszDestination << L" <- " << c.pszSource;
        EXPECT_EQ(c.pszContent, ReadFile(c.pszKept)) << c.pszDestination << L" <- " << c.pszSource;
    }

    // A missing source fails with the destination intact.
    EXPECT_FALSE(CDiskFile::bMove(L"a", L"missing"));
    EXPECT_EQ("A", ReadFile("a"));
    // A real move replaces the destination.
    WriteFile("b", "B");
    EXPECT_TRUE(CDiskFile::bMove(L"a", L"b"));
    EXPECT_EQ("B", ReadFile("a"));
    EXPECT_FALSE(bExists("b"));
    // A hard link of the destination is the same file: nothing done.
    ASSERT_EQ(0, link("a", "hard"));
    EXPECT_TRUE(CDiskFile::bMove(L"a", L"hard"));
    EXPECT_EQ("B", ReadFile("a"));
    EXPECT_TRUE(bExists("hard"));
    // A directory onto a file.
    ASSERT_EQ(0, mkdir("e", 0755));
    WriteFile("e/x", "X");
    EXPECT_TRUE(CDiskFile::bMove(L"hard", L"e"));
    EXPECT_EQ("X", ReadFile("hard/x"));
    // A file onto a directory is refused, both kept.
    WriteFile("g", "G");
    EXPECT_FALSE(CDiskFile::bMove(L"d", L"g"));
    EXPECT_EQ("F", ReadFile("d/f"));
    EXPECT_EQ("G", ReadFile("g"));
}

TEST_F(DiskFileSystem, MoveAcrossDevicesKeepsTheDestination)
{
    // /dev/shm is another file system on most machines; skip when it is not.
    struct stat stHere, stShm;
    if (stat(".", &stHere) != 0 || stat("/dev/shm", &stShm) != 0 || stHere.st_dev == stShm.st_dev ||
        access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    char szTemplate[] = "/dev/shm/vxmoveXXXXXX";
    const int fd = mkstemp(szTemplate);
    ASSERT_GE(fd, 0);
    (void)!write(fd, "S", 1);
    close(fd);
    WriteFile("dst", "D");
    EXPECT_FALSE(CDiskFile::bMove(WPath("dst").c_str(), WideName(szTemplate).c_str()));
    EXPECT_EQ(EXDEV, errno);
    EXPECT_EQ("D", ReadFile("dst"));
    unlink(szTemplate);
}

TEST_F(DiskFileSystem, CreateDirectoryMakesEveryLevel)
{
    EXPECT_TRUE(CDiskFile::bCreateDirectory(L"a/b/c/"));
    EXPECT_TRUE(bIsDir("a/b/c"));
    EXPECT_TRUE(CDiskFile::bCreateDirectory(L"a\\b\\c")) << "an existing directory is fine";
    EXPECT_TRUE(CDiskFile::bCreateDirectory(WPath("x//y").c_str()));
    EXPECT_TRUE(bIsDir("x/y"));
    EXPECT_TRUE(CDiskFile::bCreateDirectory(L"/"));
    WriteFile("file", "");
    EXPECT_FALSE(CDiskFile::bCreateDirectory(L"file"));
    EXPECT_FALSE(CDiskFile::bCreateDirectory(L"file/sub"));
    EXPECT_FALSE(CDiskFile::bCreateDirectory(L""));
    EXPECT_TRUE(CDiskFile::bCreateDirectory(L"a/../n")) << "dots are the system's business";
    EXPECT_TRUE(bIsDir("n"));
    EXPECT_TRUE(CDiskFile::bDeleteDirectory(L"n"));
    EXPECT_FALSE(CDiskFile::bDeleteDirectory(L"a"));
}

// A longer name used to be cut to 261 characters, that prefix created and
// success reported.
TEST_F(DiskFileSystem, CreateDirectoryRefusesOverLongNames)
{
    const std::string sLevel(100, 'l');
    const std::string sPath = sLevel + "/" + sLevel + "/" + sLevel;  // 302 characters
    errno = 0;
    EXPECT_FALSE(CDiskFile::bCreateDirectory(WideName(sPath).c_str()));
    EXPECT_EQ(ENAMETOOLONG, errno);
    EXPECT_FALSE(bExists(sLevel)) << "nothing created";
    const std::string sFits = sLevel + "/" + sLevel + "/" + std::string(58, 'f');  // 260
    EXPECT_TRUE(CDiskFile::bCreateDirectory(WideName(sFits).c_str()));
    EXPECT_TRUE(bIsDir(sFits));
    EXPECT_FALSE(CDiskFile::bCreateDirectory(WideName(sFits + "g").c_str()));
}

TEST_F(DiskFileSystem, TemporaryFiles)
{
    SavedVariable saved("TMPDIR");
    setenv("TMPDIR", (Dir() + "//").c_str(), 1);
    wchar_t szDir[N];
    ASSERT_TRUE(CDiskFile::bGetTempDirectory(szDir));
    EXPECT_EQ(WDir() + L"/", szDir);
    setenv("TMPDIR", Path("missing").c_str(), 1);
    ASSERT_TRUE(CDiskFile::bGetTempDirectory(szDir));
    EXPECT_STREQ(L"/tmp/", szDir);
    setenv("TMPDIR", Dir().c_str(), 1);

    wchar_t szName[N];
    ASSERT_TRUE(CDiskFile::bGetTempName(szName, L"pre"));
    const std::wstring sName = szName;
    EXPECT_EQ(WDir() + L"/pre", sName.substr(0, sName.size() - 6));
    EXPECT_TRUE(bExists(vxtest::Narrow(sName)));
    EXPECT_FALSE(CDiskFile::bGetTempName(szName, L"sub\\", L"x")) << "no directory made for the explicit form";
    ASSERT_EQ(0, mkdir("sub", 0755));
    ASSERT_TRUE(CDiskFile::bGetTempName(szName, L"sub\\", L"x"));
    EXPECT_EQ(L"sub/x", std::wstring(szName).substr(0, 5));
    EXPECT_EQ(0u, ReadFile(vxtest::Narrow(szName)).size());
    const std::wstring sLongPrefix(260, L'p');
    EXPECT_FALSE(CDiskFile::bGetTempName(szName, L"sub", sLongPrefix.c_str()));
}

TEST_F(DiskFileSystem, DiskSpaceAndFullPath)
{
    int64_t oTotal = 0, oFree = 0;
    ASSERT_TRUE(CDiskFile::bGetDiskSpace(WDir().c_str(), &oTotal, &oFree));
    EXPECT_GT(oTotal, 0);
    EXPECT_LE(oFree, oTotal);
    EXPECT_TRUE(CDiskFile::bGetDiskSpace(nullptr, &oTotal, nullptr));
    EXPECT_TRUE(CDiskFile::bGetDiskFreeSpace(L".", &oFree));
    EXPECT_FALSE(CDiskFile::bGetDiskSpace(L"missing", &oTotal, &oFree));

    wchar_t w[N];
    unsigned n = 0;
    ASSERT_TRUE(CDiskFile::bGetFullPath(w, N, L"x/../y", &n));
    EXPECT_EQ(WDir() + L"/y", w);
    EXPECT_EQ(Dir().size() + 3, n) << "the terminator is counted";
    EXPECT_FALSE(CDiskFile::bGetFullPath(w, N, L"", &n));
    EXPECT_EQ(0u, n);
    wchar_t small[8];
    EXPECT_FALSE(CDiskFile::bGetFullPath(small, 8, L"/long/name", &n));
    EXPECT_GT(n, 7u);
}

std::wstring Info(const CXError& error, CXError::eERRORINFOTYPE eType)
{
    const void* p = nullptr;
    return error.bGetInfo(eType, &p) ? std::wstring(static_cast<const wchar_t*>(p)) : L"(none)";
}

// Static operations report only into an error object they are given:
// level 3, errno, the module, the message with its arguments and the names.
TEST_F(DiskFileSystem, ReportsIntoTheCallersError)
{
    _CXErrorModule32 error;
    const std::wstring sLong = L"d/" + std::wstring(300, L'x');
    EXPECT_FALSE(CDiskFile::bCreateDirectory(sLong.c_str(), &error));
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
    EXPECT_EQ(static_cast<unsigned>(ENAMETOOLONG), error.dwGetSystemErrorCode());
    ASSERT_EQ(1, error.nNumErrorId());
    EXPECT_EQ(28126u, error.nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(error.pszGetUserMessage(), sLong.c_str()));
    EXPECT_EQ(sLong, Info(error, CXError::EIT_SRCFILE));
    EXPECT_STREQ(L"vxmysql.so", error.pszGetModName());
    EXPECT_FALSE(bExists("d"));

    // Success resets whatever the error held.
    EXPECT_TRUE(CDiskFile::bCreateDirectory(L"d", &error));
    EXPECT_FALSE(error.bIsError());
    EXPECT_EQ(0, error.nNumInfo());

    WriteFile("a", "A");
    WriteFile("b", "B");
    errno = 0;
    EXPECT_FALSE(CDiskFile::bRename(L"b", L"a", &error));
    EXPECT_EQ(EEXIST, errno) << "errno keeps its value for the caller";
    EXPECT_EQ(static_cast<unsigned>(EEXIST), error.dwGetSystemErrorCode());
    EXPECT_EQ(28124u, error.nGetErrorId(0));
    EXPECT_EQ(L"a", Info(error, CXError::EIT_SRCFILE));
    EXPECT_EQ(L"b", Info(error, CXError::EIT_DSTFILE));
    const std::wstring sMessage = error.pszGetUserMessage();
    EXPECT_LT(sMessage.find(L"<b>"), sMessage.find(L"<a>")) << "destination first: " << sMessage;

    EXPECT_FALSE(CDiskFile::bDelete(L"d", &error));
    EXPECT_EQ(28123u, error.nGetErrorId(0));
    EXPECT_FALSE(CDiskFile::bForceDelete(L"missing", &error));
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
    EXPECT_EQ(0, error.nNumErrorId()) << "no message for the forced form";
    struct stat st;
    EXPECT_FALSE(CDiskFile::bGetFileStatus(L"missing", &st, &error)) << "missing: no report";
    EXPECT_FALSE(CDiskFile::bGetFullPath(nullptr, 0, L"", nullptr, &error));
    EXPECT_EQ(28131u, error.nGetErrorId(0));
    int n = 7;
    EXPECT_FALSE(CDiskFile::bGetFileAttributes(&n, L"missing", &error));
    EXPECT_EQ(28130u, error.nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(error.pszGetUserMessage(), L"7"));
    EXPECT_FALSE(CDiskFile::bGetDiskSpace(L"missing\\x", nullptr, nullptr, &error));
    EXPECT_EQ(28138u, error.nGetErrorId(0));
    EXPECT_EQ(L"missing/x", Info(error, CXError::EIT_SRCFILE));
}

TEST(DiskFileTime, Conversions)
{
    CDiskFile::_stXFILETIME t = {2024, 6, 15, 13, 45, 30, 0};
    unsigned nDos = 0;
    ASSERT_TRUE(CDiskFile::bSystemTimeToDosFileTime(&t, &nDos));
    EXPECT_EQ(22735u, nDos >> 16);
    EXPECT_EQ(28079u, nDos & 0xFFFF);
    CDiskFile::_stXFILETIME back{};
    ASSERT_TRUE(CDiskFile::bDosFileTimeToSystemTime(nDos, &back));
    EXPECT_EQ(0, CDiskFile::nCompareSystemTime(&t, &back));

    CDiskFile::_stXFILETIME later = t;
    later.wSecond = 31;
    EXPECT_EQ(1, CDiskFile::nCompareSystemTime(&t, &later));
    EXPECT_EQ(-1, CDiskFile::nCompareSystemTime(&later, &t));
    later = t;
    later.wYear = 2025;
    later.wSecond = 0;
    EXPECT_EQ(1, CDiskFile::nCompareSystemTime(&t, &later)) << "the first field that differs";

    // Local time to a UTC FILETIME and back.
    FILETIME ft{};
    ASSERT_TRUE(CDiskFile::bSystemTimeToFileTime(&t, &ft));
    CDiskFile::_stXFILETIME round{};
    ASSERT_TRUE(CDiskFile::bFileTimeToSystemTime(&ft, &round));
    EXPECT_EQ(0, CDiskFile::nCompareSystemTime(&t, &round));
    struct tm tmLocal = {};
    tmLocal.tm_year = 124;
    tmLocal.tm_mon = 5;
    tmLocal.tm_mday = 15;
    tmLocal.tm_hour = 13;
    tmLocal.tm_min = 45;
    tmLocal.tm_sec = 30;
    tmLocal.tm_isdst = -1;
    EXPECT_EQ(static_cast<int64_t>(mktime(&tmLocal)), nFileTimeToUnixSeconds(ft));
}

}  // namespace
