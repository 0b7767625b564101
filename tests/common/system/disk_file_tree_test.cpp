// Directory search, tree walks and tree deletes, on hostile trees: links
// out of the tree, link loops, sockets, over-long roots.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/system/disk_file.h"
#include "common/system/find_file.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::bExists;
using vxtest::bIsDir;
using vxtest::ReadFile;
using vxtest::WideName;
using vxtest::WriteFile;

struct Visits
{
    std::vector<std::wstring> names;
    size_t nStopAt = 0;  // answer 0 at this call (1-based); 0 never
};

int Collect(const wchar_t* pszName, void* pData)
{
    Visits* p = static_cast<Visits*>(pData);
    p->names.push_back(pszName);
    return p->nStopAt != 0 && p->names.size() == p->nStopAt ? 0 : 1;
}

std::set<std::wstring> Sorted(const Visits& v)
{
    return std::set<std::wstring>(v.names.begin(), v.names.end());
}

class DiskFileTree : public vxtest::ScratchDirectory
{
protected:
    // root/ a.tmp b.txt sub/ c.tmp deeper/ d.tmp, and out/ (outside the
    // tree) with e.tmp, reached from root/ through links.
    void MakeTree()
    {
        ASSERT_EQ(0, mkdir("root", 0755));
        ASSERT_EQ(0, mkdir("root/sub", 0755));
        ASSERT_EQ(0, mkdir("root/sub/deeper", 0755));
        ASSERT_TRUE(mkdir("out", 0755) == 0 || errno == EEXIST);
        WriteFile("root/a.tmp", "a");
        WriteFile("root/b.txt", "b");
        WriteFile("root/sub/c.tmp", "c");
        WriteFile("root/sub/deeper/d.tmp", "d");
        WriteFile("out/e.tmp", "e");
        WriteFile("out/f.txt", "f");
        ASSERT_EQ(0, symlink(Path("out").c_str(), "root/linkdir"));    // a directory outside
        ASSERT_EQ(0, symlink(Path("out/e.tmp").c_str(), "root/l.tmp"));  // a file outside
        ASSERT_EQ(0, symlink("..", "root/sub/loop"));                  // a loop
        ASSERT_EQ(0, symlink("nowhere", "root/dangling.tmp"));
    }

    void ExpectOutsideIntact()
    {
        EXPECT_EQ("e", ReadFile(Path("out/e.tmp")));
        EXPECT_EQ("f", ReadFile(Path("out/f.txt")));
    }

    std::wstring Root() const { return WPath("root/"); }
};

TEST_F(DiskFileTree, FindFirstAndNext)
{
    MakeTree();
    CDiskFile::_stXFINDDATA find{};
    std::set<std::wstring> found;
    const std::wstring sPattern = WPath("root\\*.t?t");
    for (bool b = CDiskFile::bFindFirst(sPattern.c_str(), &find, 0, 0); b; b = CDiskFile::bFindNext(&find))
        found.insert(find.szName);
    EXPECT_EQ(std::set<std::wstring>{L"b.txt"}, found);
    EXPECT_EQ(nullptr, find.hDir) << "the end closes the search";
    EXPECT_EQ(WPath("root/"), find.szDirectory);

    // Directories only, through the links they are reached by (stat).
    found.clear();
    for (bool b = CDiskFile::bFindFirst(WPath("root/*").c_str(), &find, 0x4000, 0); b; b = CDiskFile::bFindNext(&find))
        found.insert(find.szName);
    EXPECT_EQ((std::set<std::wstring>{L"sub", L"linkdir"}), found);

    // Files only, with their size.
    CFindFile f;
    ASSERT_TRUE(f.bFindFirst(WPath("root/a.*").c_str(), 0, 0x4000));
    EXPECT_STREQ(L"a.tmp", f.pszGetName());
    EXPECT_EQ(1, f.oGetSize());
    EXPECT_FALSE(f.bIsDirectory());
    EXPECT_FALSE(f.bFindNext());

    // A search in the current directory.
    found.clear();
    ASSERT_EQ(0, chdir("root/sub"));
    for (bool b = f.bFindFirst(L"*", 0, 0); b; b = f.bFindNext())
        found.insert(f.pszGetName());
    EXPECT_EQ((std::set<std::wstring>{L"c.tmp", L"deeper", L"loop"}), found);
}

TEST_F(DiskFileTree, SearchOfAMissingDirectoryIsNoError)
{
    _CXErrorModule32 error;
    error.SetErrorLevel(CXError::EL_ERROR);
    CDiskFile::_stXFINDDATA find{};
    EXPECT_FALSE(CDiskFile::bFindFirst(WPath("missing/*").c_str(), &find, 0, 0, &error));
    EXPECT_FALSE(error.bIsError()) << "only reset";
    EXPECT_TRUE(CDiskFile::bFindClose(&find, &error));
}

TEST_F(DiskFileTree, SearchMovesBetweenObjects)
{
    MakeTree();
    CFindFile a;
    CFindFile b;
    ASSERT_TRUE(a.bFindFirst(WPath("root/*.tmp").c_str(), 0, 0x4000));
    ASSERT_TRUE(b.bFindFirst(WPath("root/*").c_str(), 0, 0));
    std::set<std::wstring> found = {a.pszGetName()};
    a.TransfertTo(b);  // b's own search is closed, a's goes on in b
    EXPECT_FALSE(a.bFindNext());
    while (b.bFindNext())
        found.insert(b.pszGetName());
    EXPECT_EQ((std::set<std::wstring>{L"a.tmp", L"l.tmp"}), found) << "a dangling link has no status";
}

TEST_F(DiskFileTree, FileWalkVisitsFilesAndNeverEntersLinks)
{
    MakeTree();
    Visits v;
    ASSERT_TRUE(CDiskFile::bDoOnFileTree(Root().c_str(), L"*.tmp", Collect, &v, 0, 1));
    const std::wstring r = Root();
    EXPECT_EQ((std::set<std::wstring>{r + L"a.tmp", r + L"l.tmp", r + L"dangling.tmp", r + L"sub/c.tmp",
                                      r + L"sub/deeper/d.tmp"}),
              Sorted(v));

    // With directories: links come as files, whatever they point to.
    v = Visits();
    ASSERT_TRUE(CDiskFile::bDoOnFileTree(Root().c_str(), L"*", Collect, &v, 1, 0));
    EXPECT_EQ((std::set<std::wstring>{r + L"a.tmp", r + L"b.txt", r + L"sub", r + L"linkdir", r + L"l.tmp",
                                      r + L"dangling.tmp"}),
              Sorted(v));

    // A callback answering 0 stops the walk.
    v = Visits();
    v.nStopAt = 2;
    EXPECT_FALSE(CDiskFile::bDoOnFileTree(Root().c_str(), L"*", Collect, &v, 0, 1));
    EXPECT_EQ(2u, v.names.size());

    // A missing root finds nothing, which is no failure.
    v = Visits();
    EXPECT_TRUE(CDiskFile::bDoOnFileTree(WPath("missing/").c_str(), L"*", Collect, &v, 0, 1));
    EXPECT_TRUE(v.names.empty());
}

TEST_F(DiskFileTree, DirectoryWalk)
{
    MakeTree();
    Visits v;
    ASSERT_TRUE(CDiskFile::bDoOnDirectoryTree(Root().c_str(), L"*", Collect, &v, 1, 1));
    const std::wstring r = Root();
    EXPECT_EQ((std::set<std::wstring>{r + L"sub", r + L"sub/deeper"}), Sorted(v)) << "no link is a directory";
    v = Visits();
    ASSERT_TRUE(CDiskFile::bDoOnDirectoryTree(Root().c_str(), L"*", Collect, &v, 0, 1));
    EXPECT_TRUE(v.names.empty()) << "directories are reported only when asked";
}

// A socket carries the directory bit in its attribute word: it must be
// neither excluded as a directory nor walked into.
TEST_F(DiskFileTree, SocketsAreFiles)
{
    ASSERT_EQ(0, mkdir("root", 0755));
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sSocket = Path("root/sock");
    ASSERT_LT(sSocket.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, sSocket.c_str());
    ASSERT_EQ(0, bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    Visits v;
    EXPECT_TRUE(CDiskFile::bDoOnFileTree(Root().c_str(), L"*", Collect, &v, 0, 1));
    EXPECT_EQ(std::set<std::wstring>{Root() + L"sock"}, Sorted(v));
    EXPECT_TRUE(CDiskFile::bDeleteTree(WPath("root").c_str()));
    EXPECT_FALSE(bExists("root"));
    close(s);
}

TEST_F(DiskFileTree, ForceDeleteUnlinksLinksNotTargets)
{
    MakeTree();
    ASSERT_TRUE(CDiskFile::bForceDeleteOnFileTree(Root().c_str(), L"*.tmp", 1));
    for (const char* p : {"root/a.tmp", "root/l.tmp", "root/dangling.tmp", "root/sub/c.tmp", "root/sub/deeper/d.tmp"})
        EXPECT_FALSE(bExists(p)) << p;
    EXPECT_TRUE(bExists("root/b.txt"));
    EXPECT_TRUE(bExists("root/linkdir"));
    ExpectOutsideIntact();
}

TEST_F(DiskFileTree, DeleteTreeStaysInsideTheTree)
{
    MakeTree();
    ASSERT_TRUE(CDiskFile::bDeleteTree(WPath("root").c_str()));
    EXPECT_FALSE(bExists("root"));
    ExpectOutsideIntact();
    EXPECT_TRUE(bIsDir("out"));

    MakeTree();
    ASSERT_TRUE(CDiskFile::bPurgeTree(WPath("root\\").c_str()));
    EXPECT_TRUE(bIsDir("root"));
    EXPECT_FALSE(bExists("root/sub"));
    ExpectOutsideIntact();

    EXPECT_FALSE(CDiskFile::_bDeltree(nullptr));
    EXPECT_FALSE(CDiskFile::_bDeltree(L""));
    EXPECT_TRUE(CDiskFile::bPurgeTree(WPath("missing").c_str())) << "nothing to empty";
}

TEST_F(DiskFileTree, DeleteTreeEvenReadOnly)
{
    MakeTree();
    ASSERT_EQ(0, chmod("root/a.tmp", 0444));
    ASSERT_EQ(0, chmod("root/sub/c.tmp", 0444));
    ASSERT_TRUE(CDiskFile::bDeleteTreeEvenReadOnly(WPath("root").c_str()));
    EXPECT_FALSE(bExists("root"));
    ExpectOutsideIntact();
}

// A root and pattern that pass 260 characters used to be cut: root +
// "*.tmp" became root + "*" and every file went.
TEST_F(DiskFileTree, OverLongRootAndPatternFailTheWalk)
{
    // An absolute root of exactly 256 characters with its end slash.
    std::string sRoot = Dir() + "/";
    while (sRoot.size() < 256) {
        const size_t n = std::min<size_t>(50, 256 - sRoot.size() - 1);
        sRoot += std::string(n, 'd') + "/";
        ASSERT_EQ(0, mkdir(sRoot.c_str(), 0755)) << sRoot;
    }
    ASSERT_EQ(256u, sRoot.size());
    WriteFile(sRoot + "a.tmp", "a");
    WriteFile(sRoot + "keep.txt", "k");
    const std::wstring wRoot = WideName(sRoot);

    errno = 0;
    EXPECT_FALSE(CDiskFile::bForceDeleteOnFileTree(wRoot.c_str(), L"*.tmp", 0));  // 261 characters
    EXPECT_EQ(ENAMETOOLONG, errno);
    EXPECT_TRUE(bExists(sRoot + "a.tmp"));
    EXPECT_TRUE(bExists(sRoot + "keep.txt"));
    Visits v;
    EXPECT_FALSE(CDiskFile::bDoOnFileTree(wRoot.c_str(), L"*.tmp", Collect, &v, 0, 0));
    EXPECT_TRUE(v.names.empty());

    // 260 characters still walk.
    EXPECT_TRUE(CDiskFile::bForceDeleteOnFileTree(wRoot.c_str(), L"*.t", 0));
    EXPECT_TRUE(CDiskFile::bForceDeleteOnFileTree(wRoot.c_str(), L"*tmp", 0));
    EXPECT_FALSE(bExists(sRoot + "a.tmp"));
    EXPECT_TRUE(bExists(sRoot + "keep.txt"));

    // A recursion whose deeper root does not fit fails rather than cut.
    const std::wstring wTop = WPath("");
    EXPECT_FALSE(CDiskFile::bForceDeleteOnFileTree(wTop.c_str(), L"*.txt", 1));
    EXPECT_TRUE(bExists(sRoot + "keep.txt"));
}

TEST_F(DiskFileTree, DeleteFailureIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root deletes in read-only directories";
    MakeTree();
    ASSERT_EQ(0, chmod("root/sub/deeper", 0555));
    _CXErrorModule32 error;
    EXPECT_FALSE(CDiskFile::bDeleteTree(WPath("root").c_str(), &error));
    EXPECT_EQ(CXError::EL_ERROR, error.eGetErrorLevel());
    EXPECT_EQ(static_cast<unsigned>(EACCES), error.dwGetSystemErrorCode());
    ASSERT_EQ(1, error.nNumErrorId());
    EXPECT_EQ(28123u, error.nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(error.pszGetUserMessage(), L"root/sub/deeper/d.tmp"));
    EXPECT_STREQ(L"vxmysql.so", error.pszGetModName());
    ExpectOutsideIntact();
    ASSERT_EQ(0, chmod("root/sub/deeper", 0755));
    EXPECT_TRUE(CDiskFile::bDeleteTree(WPath("root").c_str(), &error));
    EXPECT_FALSE(error.bIsError()) << "success resets the caller's error";
}

}  // namespace
