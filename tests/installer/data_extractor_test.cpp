// Installation of the archive's files into a directory that another user may
// own: owner, group and mode of the model, no link followed, nothing written
// outside the directory, no half-written file left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cwchar>
#include <cstdlib>
#include <string>
#include <vector>

#include "installer/data_extractor.h"
#include "tests/host/support/test_environment.h"
#include "tests/installer/support/zip_builder.h"
#include "tests/installer/support/zip_tools.h"

namespace {

using ziptest::Archive;
using ziptest::Entry;
using ziptest::Wide;

Entry Make(const std::string& name, const std::string& data, uint16_t method = 8)
{
    Entry e;
    e.name = name;
    e.data = data;
    e.method = method;
    return e;
}

// Every path below a directory with its kind and content, to compare a whole
// tree before and after.
std::string Listing(const std::string& dir)
{
    return ziptest::Output("cd '" + dir + "' && find . ! -name a.zip -printf '%p %y %l %s\\n' | sort");
}

class DataExtractor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        ASSERT_FALSE(dir.Path().empty());
        target = dir / "bin";
        outside = dir / "outside";
        mkdir(target.c_str(), 0755);
        mkdir(outside.c_str(), 0755);
        ziptest::WriteFile(outside + "/secret", "secret");
        // As root the files go to another user, as anyone else to oneself.
        uid = geteuid() == 0 ? 1234 : geteuid();
        gid = geteuid() == 0 ? 2345 : getegid();
    }

    int Install(const Archive& a, unsigned mode = 0640)
    {
        ziptest::WriteFile(dir / "a.zip", ziptest::Build(a));
        CDataExtractor x(0);
        if (!x.bOuvre(Wide(dir / "a.zip").c_str()))
            return -1;
        return x.bInstall(Wide(target).c_str(), 0755, geteuid(), getegid(), mode, uid, gid);
    }

    ziptest::ScratchDir dir;
    std::string target, outside;
    unsigned uid = 0, gid = 0;
};

TEST_F(DataExtractor, InstallsEveryFileWithTheModelsOwnerModeAndExactDirectoryModes)
{
    const mode_t oldMask = umask(0);  // directories must not take the umask's view
    ziptest::WriteFile(target + "/old.so", "old content that is longer");
    ziptest::WriteFile(target + "/keep.txt", "kept");
    Archive a;
    a.entries = {Make("old.so", "new"), Make("lib\\sub\\x.so", std::string(100000, 'x')),
                 Make("keep.txt", ""), Make("lib/empty", "", 0)};
    EXPECT_EQ(1, Install(a, 04750));
    umask(oldMask);

    EXPECT_EQ("new", ziptest::ReadFile(target + "/old.so"));
    EXPECT_EQ(std::string(100000, 'x'), ziptest::ReadFile(target + "/lib/sub/x.so"));
    EXPECT_EQ("kept", ziptest::ReadFile(target + "/keep.txt"));  // empty entry keeps content
    EXPECT_EQ("", ziptest::ReadFile(target + "/lib/empty"));
    for (const char* f : {"/old.so", "/lib/sub/x.so", "/keep.txt", "/lib/empty"}) {
        struct stat st;
        ASSERT_EQ(0, lstat((target + f).c_str(), &st)) << f;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << f;
        EXPECT_EQ(04750u, st.st_mode & 07777) << f;
        EXPECT_EQ(uid, st.st_uid) << f;
        EXPECT_EQ(gid, st.st_gid) << f;
    }
    for (const char* d : {"/lib", "/lib/sub"}) {
        struct stat st;
        ASSERT_EQ(0, lstat((target + d).c_str(), &st));
        EXPECT_EQ(0755u, st.st_mode & 07777) << d;
    }
    // No temporary file stays behind.
    EXPECT_EQ(std::string::npos, Listing(target).find(".vxsetup-"));
}

TEST_F(DataExtractor, HostileNameRefusesTheWholeArchiveBeforeWritingAnything)
{
    for (const char* bad : {"../outside/secret", "..\\..\\x", "/tmp/x", "a/../../x", "c:x", "a\x01z", "a//b"}) {
        Archive a;
        a.entries = {Make("first.so", "1"), Make(bad, "evil")};
        const std::string before = Listing(dir.Path());
        testing::internal::CaptureStderr();
        EXPECT_EQ(0, Install(a)) << bad;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(before, Listing(dir.Path())) << bad;
        EXPECT_NE(std::string::npos, err.find("refus")) << err;
    }
}

TEST_F(DataExtractor, LinkAtATargetFileIsReplacedAndItsTargetUntouched)
{
    struct stat before;
    ASSERT_EQ(0, stat((outside + "/secret").c_str(), &before));
    ASSERT_EQ(0, symlink((outside + "/secret").c_str(), (target + "/x.so").c_str()));
    ASSERT_EQ(0, symlink((outside + "/secret").c_str(), (target + "/empty").c_str()));
    Archive a;
    a.entries = {Make("x.so", "payload"), Make("empty", "")};
    EXPECT_EQ(1, Install(a));
    EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret"));
    struct stat st;
    ASSERT_EQ(0, stat((outside + "/secret").c_str(), &st));
    EXPECT_EQ(before.st_uid, st.st_uid);
    EXPECT_EQ(before.st_mode, st.st_mode);
    EXPECT_EQ(before.st_mtime, st.st_mtime);
    ASSERT_EQ(0, lstat((target + "/x.so").c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ("payload", ziptest::ReadFile(target + "/x.so"));
    ASSERT_EQ(0, lstat((target + "/empty").c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(0, st.st_size);
}

TEST_F(DataExtractor, LinkAtASubDirectoryStopsTheInstallAndNamesIt)
{
    ASSERT_EQ(0, symlink(outside.c_str(), (target + "/lib").c_str()));
    Archive a;
    a.entries = {Make("lib/secret", "evil")};
    const std::string before = Listing(outside);
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, Install(a));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(before, Listing(outside));
    EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret"));
    EXPECT_NE(std::string::npos, err.find(target + "/lib/")) << err;
}

TEST_F(DataExtractor, HardLinkAtATargetKeepsTheOtherNamesContent)
{
    ASSERT_EQ(0, link((outside + "/secret").c_str(), (target + "/x.so").c_str()));
    Archive a;
    a.entries = {Make("x.so", "payload")};
    EXPECT_EQ(1, Install(a));
    EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret"));
    EXPECT_EQ("payload", ziptest::ReadFile(target + "/x.so"));
}

TEST_F(DataExtractor, AnEmptyEntryKeepsTheContentInANewFileAndRefusesHardLinks)
{
    ziptest::WriteFile(target + "/keep.cfg", "kept");
    ASSERT_EQ(0, chmod((target + "/keep.cfg").c_str(), 0604));
    const int old = open((target + "/keep.cfg").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(old, 0);
    Archive a;
    a.entries = {Make("keep.cfg", "")};
    EXPECT_EQ(1, Install(a));
    EXPECT_EQ("kept", ziptest::ReadFile(target + "/keep.cfg"));
    // The old inode kept its owner and mode; the name went to a new one.
    struct stat before, after;
    ASSERT_EQ(0, fstat(old, &before));
    close(old);
    ASSERT_EQ(0, lstat((target + "/keep.cfg").c_str(), &after));
    EXPECT_EQ(0604u, before.st_mode & 07777);
    EXPECT_EQ(geteuid(), before.st_uid);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(0640u, after.st_mode & 07777);
    EXPECT_EQ(uid, after.st_uid);

    // Another name of the same file: its content could be anyone's.
    ASSERT_EQ(0, chmod((outside + "/secret").c_str(), 0600));
    ASSERT_EQ(0, link((outside + "/secret").c_str(), (target + "/linked.cfg").c_str()));
    a.entries = {Make("first.so", "1"), Make("linked.cfg", ""), Make("last.so", "3")};
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, Install(a));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find(target + "/linked.cfg")) << err;
    EXPECT_NE(std::string::npos, err.find("liens physiques")) << err;
    ASSERT_EQ(0, stat((outside + "/secret").c_str(), &after));
    EXPECT_EQ(0600u, after.st_mode & 07777);
    EXPECT_EQ(geteuid(), after.st_uid);
    EXPECT_EQ(2u, after.st_nlink);
    EXPECT_EQ("secret", ziptest::ReadFile(outside + "/secret"));
    EXPECT_NE(0, access((target + "/last.so").c_str(), F_OK));
    EXPECT_EQ(std::string::npos, Listing(target).find(".vxsetup-"));

    // A FIFO in its place is refused at once, never opened for its content.
    ASSERT_EQ(0, unlink((target + "/linked.cfg").c_str()));
    ASSERT_EQ(0, mkfifo((target + "/linked.cfg").c_str(), 0600));
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, Install(a));
    testing::internal::GetCapturedStderr();
}

TEST_F(DataExtractor, NamesThatCollideRefuseTheWholeArchive)
{
    const struct
    {
        std::vector<std::string> names;
        const char* expected;
    } cases[] = {
        {{"x", "x/y"}, "fichier et un r\xC3\xA9pertoire"},
        {{"lib/A.so", "lib/a.so"}, "majuscules"},
        {{"ok", std::string(256, 'n')}, "255 octets"},
        {{"vx200vm64.so"}, "machine virtuelle"},
        {{"a", "dir/b", "dir\\b"}, "plusieurs entr\xC3\xA9"},  // refused by the reader
    };
    for (const auto& c : cases) {
        Archive a;
        for (const std::string& n : c.names)
            a.entries.push_back(Make(n, "data"));
        const std::string before = Listing(dir.Path());
        testing::internal::CaptureStderr();
        EXPECT_NE(1, Install(a)) << c.names.back();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(before, Listing(dir.Path())) << c.names.back();
        EXPECT_NE(std::string::npos, err.find(c.expected)) << err;
    }
}

TEST_F(DataExtractor, AStopSignalLeavesTheOldFileAndNoTemporaryFile)
{
    ziptest::WriteFile(target + "/b.so", "old b");
    Archive a;
    a.entries = {Make("a.so", "a"), Make("b.so", ziptest::Text(3 << 20, 7)), Make("c.so", "c")};
    ziptest::WriteFile(dir / "a.zip", ziptest::Build(a));
    for (int signal : {SIGTERM, SIGINT}) {
        CDataExtractor x(0);
        ASSERT_EQ(1, x.bOuvre(Wide(dir / "a.zip").c_str()));
        // The signal comes while b.so is written: held until it is whole,
        // then the work stops before the rename.
        struct Seam
        {
            int signal;
            std::string seen;
        } seam{signal, ""};
        x.SetAvantRenommage(
            [](void* p, const wchar_t* path) {
                Seam& s = *static_cast<Seam*>(p);
                if (std::wcsstr(path, L"b.so") != nullptr) {
                    s.seen = "b.so";
                    raise(s.signal);
                }
            },
            &seam);
        testing::internal::CaptureStderr();
        EXPECT_EQ(0, x.bInstall(Wide(target).c_str(), 0755, geteuid(), getegid(), 0640, uid, gid));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ("b.so", seam.seen);
        EXPECT_NE(std::string::npos, err.find(signal == SIGTERM ? "SIGTERM" : "SIGINT")) << err;
        EXPECT_NE(std::string::npos, err.find(target + "/b.so")) << err;
        EXPECT_EQ("a", ziptest::ReadFile(target + "/a.so"));
        EXPECT_EQ("old b", ziptest::ReadFile(target + "/b.so"));
        EXPECT_NE(0, access((target + "/c.so").c_str(), F_OK));
        EXPECT_EQ(std::string::npos, Listing(target).find(".vxsetup-"));
        // Taken, not left pending for the caller.
        sigset_t pending;
        sigpending(&pending);
        EXPECT_FALSE(sigismember(&pending, signal));
    }
}

TEST_F(DataExtractor, BadDataLeavesTheOldFileAndStopsAtTheFailingEntry)
{
    ziptest::WriteFile(target + "/b.so", "old b");
    Entry bad = Make("b.so", "new b data");
    bad.centralCrc = 0x12345678;
    bad.localCrc = 0x12345678;
    Entry unsupported = Make("c.so", "c", 99);
    unsupported.payload = "c";
    for (const Entry& failing : {bad, unsupported}) {
        Archive a;
        a.entries = {Make("a.so", "a"), failing, Make("d.so", "d")};
        EXPECT_EQ(0, Install(a));
        EXPECT_EQ("a", ziptest::ReadFile(target + "/a.so"));
        EXPECT_EQ("old b", ziptest::ReadFile(target + "/b.so"));
        EXPECT_NE(0, access((target + "/d.so").c_str(), F_OK));
        EXPECT_EQ(std::string::npos, Listing(target).find(".vxsetup-"));
    }
}

TEST_F(DataExtractor, FullDiskLeavesNoPartialFile)
{
    // A private mount namespace keeps the small file system out of sight of
    // the rest of the machine.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", target.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no mount namespace here";
    ziptest::WriteFile(target + "/big.so", "old");
    Archive a;
    std::string noise;
    for (int i = 0; i < 300000; ++i)
        noise += static_cast<char>((static_cast<unsigned>(i) * 7919u) >> 3);
    a.entries = {Make("big.so", noise)};
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, Install(a));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ("old", ziptest::ReadFile(target + "/big.so"));
    EXPECT_EQ(std::string::npos, Listing(target).find(".vxsetup-"));
    EXPECT_NE(std::string::npos, err.find("big.so")) << err;
    umount(target.c_str());
}

TEST(DataExtractorPaths, DirectoryPartOfAPath)
{
    EXPECT_EQ(L"/a/b/", CDataExtractor::s_sRepertoireDe(L"/a/b/prog"));
    EXPECT_EQ(L"/", CDataExtractor::s_sRepertoireDe(L"/prog"));
    EXPECT_EQ(L"", CDataExtractor::s_sRepertoireDe(L"prog"));
    EXPECT_EQ(L"c/d/", CDataExtractor::s_sRepertoireDe(L"c\\d\\prog"));
}

}  // namespace
