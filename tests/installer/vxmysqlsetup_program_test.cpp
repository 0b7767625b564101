// The installer program end to end: the built vxmysqlsetup copied into a
// scratch directory beside a generated archive, run as root inside a private
// mount namespace where a copy of /etc holding the runtime's configuration
// is mounted over /etc, so the machine's own directories are never touched.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "installer/install_program.h"
#include "tests/installer/support/zip_tools.h"

namespace {

std::string ProgramPath()
{
    char buf[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string self(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return self.substr(0, self.rfind('/')) + "/../installer/vxmysqlsetup";
}

struct Outcome
{
    int status = -1;
    std::string err, out;
};

class SetupProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (geteuid() != 0 || std::system("unshare --mount --propagation private true 2>/dev/null") != 0)
            GTEST_SKIP() << "needs root and a mount namespace";
        prog = dir / "prog";
        bin = dir / "bin";
        ASSERT_EQ(0, std::system(("mkdir -p '" + prog + "' '" + bin + "' && cp '" + ProgramPath() + "' '" + prog +
                                  "/vxmysqlsetup' && cp -a /etc '" + dir.Path() + "/etc'")
                                     .c_str()));
        ziptest::WriteFile(bin + "/vx200vm64.so", "vm");
        ASSERT_EQ(0, chown((bin + "/vx200vm64.so").c_str(), 1234, 2345));
        ASSERT_EQ(0, chmod((bin + "/vx200vm64.so").c_str(), 0750));
        Config("[Default]\nbinpath=" + bin + "\n");
        Zip({{"drv/vxmysql.so", "driver bytes"}, {"readme.txt", "hello"}});
    }
    void Config(const std::string& text)
    {
        std::system(("mkdir -p '" + dir.Path() + "/etc/Tarvok/MORVAT/20.0'").c_str());
        ziptest::WriteFile(dir.Path() + "/etc/Tarvok/MORVAT/20.0/MORVAT.conf", text);
    }
    // Entries written with Python's zipfile, names as given.
    void Zip(const std::vector<std::pair<std::string, std::string>>& entries, const std::string& where = "")
    {
        std::string py = "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n";
        for (const auto& [name, data] : entries)
            py += "z.writestr(zipfile.ZipInfo(" + testing::PrintToString(name) + "), " +
                  testing::PrintToString(data) + ")\n";
        py += "z.close()\n";
        ziptest::WriteFile(dir / "mk.py", py);
        const std::string target = (where.empty() ? prog : where) + "/mysql_install.zip";
        ASSERT_EQ(0, std::system(("python3 '" + (dir / "mk.py") + "' '" + target + "'").c_str()));
    }
    Outcome Start(const std::string& as = "", const std::string& program = "")
    {
        const std::string p = program.empty() ? prog + "/vxmysqlsetup" : program;
        const std::string cmd = "unshare --mount --propagation private sh -c 'mount --bind \"$0\" /etc && exec " +
                                as + " \"$1\"' '" + dir.Path() + "/etc' '" + p + "' >'" + (dir / "out") + "' 2>'" +
                                (dir / "err") + "'";
        Outcome r;
        const int w = std::system(cmd.c_str());
        r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
        r.err = ziptest::ReadFile(dir / "err");
        r.out = ziptest::ReadFile(dir / "out");
        return r;
    }

    ziptest::ScratchDir dir;
    std::string prog, bin;
};

TEST_F(SetupProgram, InstallsTheArchiveWithTheLibrarysOwnerAndMode)
{
    const Outcome r = Start();
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("L'installation est termin\xC3\xA9" "e.\n\n", r.err);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("driver bytes", ziptest::ReadFile(bin + "/drv/vxmysql.so"));
    struct stat st;
    ASSERT_EQ(0, lstat((bin + "/drv/vxmysql.so").c_str(), &st));
    EXPECT_EQ(1234u, st.st_uid);
    EXPECT_EQ(2345u, st.st_gid);
    EXPECT_EQ(0750u, st.st_mode & 07777);
    ASSERT_EQ(0, lstat((bin + "/drv").c_str(), &st));
    EXPECT_EQ(0755u, st.st_mode & 07777);
    // The real configuration directory was never touched.
    EXPECT_NE(0, access("/etc/Tarvok/MORVAT/20.0/MORVAT.conf", F_OK));
}

TEST_F(SetupProgram, EachFailureEndsWith255AndItsMessages)
{
    struct Case
    {
        const char* what;
        std::string config;       // empty: keep
        bool removeLibrary, removeArchive, junkArchive, hostile;
        const char* expected;     // part of the message
    } cases[] = {
        {"no key", "[DEFAULT]\nOTHER=1\n", false, false, false, false, "BINPATH"},
        {"empty key", "[DEFAULT]\nBINPATH=\n", false, false, false, false, "BINPATH"},
        {"no library", "", true, false, false, false, "<vx200vm64.so>"},
        {"no archive", "", false, true, false, false, "mysql_install.zip>"},
        {"not a zip", "", false, false, true, false, "ZIP"},
        {"hostile name", "", false, false, false, true, "refus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.config.empty())
            Config(c.config);
        if (c.removeLibrary)
            unlink((bin + "/vx200vm64.so").c_str());
        if (c.removeArchive)
            unlink((prog + "/mysql_install.zip").c_str());
        if (c.junkArchive)
            ziptest::WriteFile(prog + "/mysql_install.zip", "this is no archive");
        if (c.hostile)
            Zip({{"ok.so", "x"}, {"../escaped", "evil"}});
        const Outcome r = Start();
        EXPECT_EQ(255, r.status);
        EXPECT_NE(std::string::npos, r.err.find(c.expected)) << r.err;
        EXPECT_NE(std::string::npos, r.err.find("L'installation a \xC3\xA9" "chou\xC3\xA9.\n\n")) << r.err;
        EXPECT_NE(0, access((dir / "escaped").c_str(), F_OK));
        EXPECT_NE(0, access((bin + "/ok.so").c_str(), F_OK));
        // Back to a working set-up for the next case.
        Config("[Default]\nbinpath=" + bin + "\n");
        ziptest::WriteFile(bin + "/vx200vm64.so", "vm");
        Zip({{"drv/vxmysql.so", "driver bytes"}});
    }
}

TEST_F(SetupProgram, PlantedLinksAtFilesAreReplacedAndTheirTargetsUntouched)
{
    const std::string outside = dir / "outside";
    ziptest::WriteFile(outside, "secret");
    ASSERT_EQ(0, chmod(outside.c_str(), 0600));
    ASSERT_EQ(0, mkdir((bin + "/drv").c_str(), 0755));
    ASSERT_EQ(0, symlink(outside.c_str(), (bin + "/drv/vxmysql.so").c_str()));
    ASSERT_EQ(0, symlink(outside.c_str(), (bin + "/empty.cfg").c_str()));
    Zip({{"drv/vxmysql.so", "driver bytes"}, {"empty.cfg", ""}});
    const Outcome r = Start();
    EXPECT_EQ(0, r.status) << r.err;
    struct stat st;
    ASSERT_EQ(0, lstat(outside.c_str(), &st));
    EXPECT_EQ("secret", ziptest::ReadFile(outside));
    EXPECT_EQ(0u, st.st_uid);
    EXPECT_EQ(0600u, st.st_mode & 07777);
    for (const char* name : {"/drv/vxmysql.so", "/empty.cfg"}) {
        ASSERT_EQ(0, lstat((bin + name).c_str(), &st)) << name;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        EXPECT_EQ(1234u, st.st_uid) << name;
    }
    EXPECT_EQ("driver bytes", ziptest::ReadFile(bin + "/drv/vxmysql.so"));
    EXPECT_EQ("", ziptest::ReadFile(bin + "/empty.cfg"));
}

TEST_F(SetupProgram, LinkAtASubDirectoryStopsTheInstallAndNamesIt)
{
    const std::string outside = dir / "outside";
    ASSERT_EQ(0, mkdir(outside.c_str(), 0700));
    ASSERT_EQ(0, symlink(outside.c_str(), (bin + "/drv").c_str()));
    const Outcome r = Start();
    EXPECT_EQ(255, r.status);
    EXPECT_NE(std::string::npos, r.err.find("drv")) << r.err;
    EXPECT_NE(0, access((outside + "/vxmysql.so").c_str(), F_OK));
    struct stat st;
    ASSERT_EQ(0, lstat(outside.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 07777);
}

TEST_F(SetupProgram, DataThatFailsItsCrcLeavesTheOldFile)
{
    ASSERT_EQ(0, mkdir((bin + "/drv").c_str(), 0755));
    ziptest::WriteFile(bin + "/drv/vxmysql.so", "old driver");
    // Entries are stored: change the data, keep its recorded CRC.
    std::string archive = ziptest::ReadFile(prog + "/mysql_install.zip");
    const size_t at = archive.find("driver bytes");
    ASSERT_NE(std::string::npos, at);
    archive.replace(at, 12, "driver BYTES");
    ziptest::WriteFile(prog + "/mysql_install.zip", archive);
    const Outcome r = Start();
    EXPECT_EQ(255, r.status);
    EXPECT_EQ("old driver", ziptest::ReadFile(bin + "/drv/vxmysql.so"));
}

TEST_F(SetupProgram, NonRootIsRefusedWithOneMessage)
{
    const Outcome r = Start("setpriv --reuid=65534 --regid=65534 --clear-groups");
    EXPECT_EQ(255, r.status);
    EXPECT_EQ("L'installation doit \xC3\xAAtre lanc\xC3\xA9" "e par l'administrateur (root).\n\n", r.err);
    EXPECT_NE(0, access((bin + "/drv").c_str(), F_OK));
}

TEST_F(SetupProgram, AProgramPathLongerThan260CharactersFailsCleanly)
{
    std::string deep = prog;
    while (deep.size() < 300)
        deep += "/" + std::string(50, 'd');
    ASSERT_EQ(0, std::system(("mkdir -p '" + deep + "' && cp '" + prog + "/vxmysqlsetup' '" + prog +
                              "/mysql_install.zip' '" + deep + "/'")
                                 .c_str()));
    const Outcome r = Start("", deep + "/vxmysqlsetup");
    EXPECT_EQ(255, r.status);
    EXPECT_NE(std::string::npos, r.err.find("mysql_install.zip>")) << r.err;
    EXPECT_NE(0, access((bin + "/drv").c_str(), F_OK));
}

TEST(SetupFlow, ConfigurationAndArchiveComeFromTheSeam)
{
    // The same flow in process, on scratch paths, as any user.
    ziptest::ScratchDir dir;
    const std::string bin = dir / "b i n";
    mkdir(bin.c_str(), 0755);
    ziptest::WriteFile(bin + "/vx200vm64.so", "vm");
    ziptest::WriteFile(dir / "conf", "[DEFAULT]\nBINPATH=" + bin + "\n");
    ziptest::Archive a;
    ziptest::Entry e;
    e.name = "x.so";
    e.data = "data";
    a.entries = {e};
    ziptest::WriteFile(dir / "a.zip", ziptest::Build(a));
    const std::wstring conf = ziptest::Wide(dir / "conf"), zip = ziptest::Wide(dir / "a.zip");
    stInstallerPaths paths;
    paths.pszConfiguration = conf.c_str();
    paths.pszArchive = zip.c_str();
    EXPECT_EQ(-1, nInstallerMain(0, nullptr, 1000, paths));
    EXPECT_NE(0, access((bin + "/x.so").c_str(), F_OK));
    EXPECT_EQ(0, nInstallerMain(0, nullptr, 0, paths));
    EXPECT_EQ("data", ziptest::ReadFile(bin + "/x.so"));
}

}  // namespace
