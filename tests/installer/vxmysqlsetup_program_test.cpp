// The installer program end to end: the built vxmysqlsetup copied into a
// scratch directory beside a generated archive, run as root inside a private
// mount namespace where a copy of /etc holding the runtime's configuration
// is mounted over /etc, so the machine's own directories are never touched.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>
#include <cwchar>

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

// Every path below a directory with its kind, owner, mode, size and
// content digest, to show a victim untouched.
std::string Tree(const std::string& path)
{
    return ziptest::Output("cd '" + path + "' && find . -printf '%p %y %U:%G %m %s %n\\n' | sort && "
                           "find . -type f -exec md5sum {} + | sort");
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
    // Python's bytes literal of the text.
    static std::string PyBytes(const std::string& text)
    {
        std::string out = "b'";
        for (unsigned char c : text) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
        return out + "'";
    }
    // Entries written with Python's zipfile, names as given (UTF-8).
    void Zip(const std::vector<std::pair<std::string, std::string>>& entries, const std::string& where = "")
    {
        std::string py = "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n";
        for (const auto& [name, data] : entries)
            py += "z.writestr(zipfile.ZipInfo(" + PyBytes(name) + ".decode('utf-8')), " + PyBytes(data) + ")\n";
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

    // A shell command run by the local attacker: an unprivileged user.
    bool Attacker(const std::string& command)
    {
        return std::system(("setpriv --reuid=65534 --regid=65534 --clear-groups sh -c '" + command + "'").c_str()) ==
               0;
    }
    // A root directory holding a model, where root's files must never land.
    std::string Victim()
    {
        const std::string victim = dir / "victim";
        mkdir(victim.c_str(), 0755);
        ziptest::WriteFile(victim + "/vx200vm64.so", "root's own");
        ziptest::WriteFile(victim + "/passwd", "root:x:0:0");
        chmod((victim + "/passwd").c_str(), 04755);
        return victim;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

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

TEST_F(SetupProgram, RefusesABinaryDirectoryOthersCouldRedirect)
{
    const std::string victim = Victim();
    const std::string rt = dir / "rt";
    struct Case
    {
        const char* what;
        std::string binpath;
        std::string command;  // run as root before the installer
        std::string expected;
    } cases[] = {
        {"relative", "rt/bin", "", "(cl\xC3\xA9 BINPATH) n'est pas un chemin absolu"},
        {"relative with escapes", "\x1b[2J\x1b[1;1Hrt/bin", "", "<\\x1B[2J\\x1B[1;1Hrt/bin/>"},
        {"a parent owned by the attacker", rt + "/bin", "chown 65534:65534 '" + rt + "'",
         "Le r\xC3\xA9pertoire <" + rt + "/> n'appartient pas \xC3\xA0 root"},
        {"a parent others can write to", rt + "/bin", "chmod 0775 '" + rt + "'",
         "peuvent \xC3\xA9" "crire dans le r\xC3\xA9pertoire <" + rt + "/>"},
        {"a link to a root directory", rt + "/bin", "rm -rf '" + rt + "/bin' && ln -s '" + victim + "' '" + rt + "/bin'",
         ""},
    };
    ASSERT_EQ(0, chmod(dir.Path().c_str(), 0755));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + rt + "' && mkdir -p '" + rt + "/bin' && echo vm > '" + rt +
                                  "/bin/vx200vm64.so'")
                                     .c_str()));
        if (!c.command.empty()) {
            ASSERT_EQ(0, std::system(c.command.c_str()));
        }
        Config("[DEFAULT]\nBINPATH=" + c.binpath + "\n");
        const std::string before = Tree(victim);
        const Outcome r = Start();
        if (c.expected.empty()) {
            // A link root placed there itself is followed, once, to where it
            // points (here: a directory that does hold a model).
            EXPECT_EQ(0, r.status) << r.err;
            ASSERT_EQ(0, std::system(("rm -rf '" + victim + "' && true").c_str()));
            Victim();
            continue;
        }
        EXPECT_EQ(255, r.status);
        EXPECT_TRUE(Has(r.err, c.expected)) << r.err;
        EXPECT_FALSE(Has(r.err, "\x1b")) << r.err;
        EXPECT_EQ(before, Tree(victim));
        EXPECT_NE(0, access((rt + "/bin/drv").c_str(), F_OK));
    }
}

TEST_F(SetupProgram, RefusesAConfigurationOthersCouldChange)
{
    const std::string victim = Victim();
    const std::string conf = dir / "etc/Tarvok/MORVAT/20.0/MORVAT.conf";
    struct Case
    {
        const char* what;
        std::string command;
        std::string expected;
    } cases[] = {
        {"the file owned by the attacker", "chown 65534 '" + conf + "'",
         "Le fichier </etc/Tarvok/MORVAT/20.0/MORVAT.conf> n'appartient pas \xC3\xA0 root"},
        {"the file writable by others", "chmod 0666 '" + conf + "'", "peuvent modifier le fichier </etc/Tarvok"},
        {"its directory owned by the attacker", "chown 65534 '" + dir.Path() + "/etc/Tarvok/MORVAT/20.0'",
         "Le r\xC3\xA9pertoire </etc/Tarvok/MORVAT/20.0/> n'appartient pas"},
        {"a directory above writable by others", "chmod 0777 '" + dir.Path() + "/etc/Tarvok'",
         "dans le r\xC3\xA9pertoire </etc/Tarvok/>"},
        {"a FIFO in its place", "rm '" + conf + "' && mkfifo '" + conf + "'",
         "Le fichier de configuration </etc/Tarvok/MORVAT/20.0/MORVAT.conf> est un lien symbolique ou n'est pas un "
         "fichier ordinaire"},
        {"a link to the attacker's file", "mv '" + conf + "' '" + dir.Path() + "/theirs.conf' && ln -s '" +
                                              dir.Path() + "/theirs.conf' '" + conf + "' && chown 65534 '" +
                                              dir.Path() + "/theirs.conf'",
         "n'appartient pas \xC3\xA0 root"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The attacker's choice of directory: the victim.
        std::system(("rm -rf '" + dir.Path() + "/etc/Tarvok' '" + dir.Path() + "/theirs.conf'").c_str());
        Config("[DEFAULT]\nBINPATH=" + victim + "\n");
        ASSERT_EQ(0, std::system(c.command.c_str()));
        const std::string before = Tree(victim);
        // A FIFO must not stall the run: a bound keeps a regression visible.
        const Outcome r = Start("timeout 60");
        EXPECT_EQ(255, r.status) << r.err;
        EXPECT_TRUE(Has(r.err, c.expected)) << r.err;
        EXPECT_EQ(before, Tree(victim));
    }
}

TEST_F(SetupProgram, TheModelIsNeverFollowedAndGivesOnlyItsPermissionBits)
{
    const std::string victim = Victim();
    const std::string before = Tree(victim);
    ASSERT_EQ(0, unlink((bin + "/vx200vm64.so").c_str()));
    ASSERT_EQ(0, symlink((victim + "/passwd").c_str(), (bin + "/vx200vm64.so").c_str()));
    Outcome r = Start();
    EXPECT_EQ(255, r.status);
    EXPECT_TRUE(Has(r.err, "La biblioth\xC3\xA8que mod\xC3\xA8le <" + bin + "/vx200vm64.so> est un lien")) << r.err;
    EXPECT_NE(0, access((bin + "/drv").c_str(), F_OK));
    EXPECT_EQ(before, Tree(victim));

    // The runtime user's own model, set-id and writable by all.
    ASSERT_EQ(0, unlink((bin + "/vx200vm64.so").c_str()));
    ziptest::WriteFile(bin + "/vx200vm64.so", "vm");
    ASSERT_EQ(0, chown((bin + "/vx200vm64.so").c_str(), 1234, 2345));
    ASSERT_EQ(0, chmod((bin + "/vx200vm64.so").c_str(), 06777));
    r = Start();
    EXPECT_EQ(0, r.status) << r.err;
    for (const char* f : {"/drv/vxmysql.so", "/readme.txt"}) {
        struct stat st;
        ASSERT_EQ(0, lstat((bin + f).c_str(), &st));
        EXPECT_EQ(0755u, st.st_mode & 07777) << f;
        EXPECT_EQ(1234u, st.st_uid) << f;
    }
}

TEST_F(SetupProgram, AHardLinkAtAnEmptyEntryLeavesTheOtherFileAlone)
{
    // The runtime user owns the binary directory and links a root file they
    // may read and write into it under the name of an empty entry.
    const std::string victim = Victim();
    ziptest::WriteFile(victim + "/shared", "root's data");
    ASSERT_EQ(0, chmod((victim + "/shared").c_str(), 0666));
    ASSERT_EQ(0, chmod(dir.Path().c_str(), 0755));
    ASSERT_EQ(0, chown(bin.c_str(), 65534, 65534));
    ASSERT_TRUE(Attacker("ln \"" + victim + "/shared\" \"" + bin + "/empty.cfg\""));
    const std::string before = Tree(victim);
    Zip({{"first.so", "1"}, {"empty.cfg", ""}});
    const Outcome r = Start();
    EXPECT_EQ(255, r.status);
    EXPECT_TRUE(Has(r.err, "<" + bin + "/empty.cfg> a d'autres noms")) << r.err;
    EXPECT_EQ(before, Tree(victim));
}

TEST_F(SetupProgram, RefusesAnArchiveOthersCouldChange)
{
    const std::string zip = prog + "/mysql_install.zip";
    struct Case
    {
        const char* what;
        std::string command;
        std::string expected;
    } cases[] = {
        {"owned by another user", "chown 65534 '" + zip + "'", "Le fichier <" + zip + "> n'appartient pas"},
        {"writable by others", "chmod 0646 '" + zip + "'", "peuvent modifier le fichier <" + zip + ">"},
        {"a link", "mv '" + zip + "' '" + dir.Path() + "/real.zip' && ln -s '" + dir.Path() + "/real.zip' '" + zip +
                       "'",
         "L'archive <" + zip + "> est un lien symbolique"},
        {"in a directory others can write to", "chmod 0777 '" + prog + "'",
         "dans le r\xC3\xA9pertoire <" + prog + "/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::system(("chmod 0755 '" + prog + "' && rm -f '" + zip + "'").c_str());
        Zip({{"drv/vxmysql.so", "driver bytes"}});
        ASSERT_EQ(0, std::system(c.command.c_str()));
        const Outcome r = Start();
        EXPECT_EQ(255, r.status);
        EXPECT_TRUE(Has(r.err, c.expected)) << r.err;
        EXPECT_NE(0, access((bin + "/drv").c_str(), F_OK));
    }
}

TEST_F(SetupProgram, AHostileEnvironmentDoesNotReachTheInstaller)
{
    // The attacker's locale names a character set of theirs, whose converter
    // module leaves a marker when loaded; and a time zone of theirs.
    const std::string evil = dir / "evil";
    const std::string ctype = "/usr/lib/locale/C.utf8/LC_CTYPE";
    if (access(ctype.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << ctype << " to make a locale from";
    ASSERT_EQ(0, std::system(("mkdir -p '" + evil + "/loc/evil_utf8' '" + evil + "/gconv' && cp '" +
                              VX_HOSTILE_GCONV_MODULE + "' '" + evil + "/gconv/EVIL8.so'")
                                 .c_str()));
    std::string data = ziptest::ReadFile(ctype);
    const size_t at = data.find(std::string("UTF-8\0", 6));
    ASSERT_NE(std::string::npos, at);
    data.replace(at, 5, "EVIL8");
    ziptest::WriteFile(evil + "/loc/evil_utf8/LC_CTYPE", data);
    ziptest::WriteFile(evil + "/gconv/gconv-modules",
                       "module EVIL8// INTERNAL EVIL8 1\nmodule INTERNAL EVIL8// EVIL8 1\n");
    ASSERT_EQ(0, std::system(("chown -R 65534:65534 '" + evil + "'").c_str()));

    Outcome r = Start("env LOCPATH='" + evil + "/loc' LC_ALL=evil_utf8 LANG=evil_utf8 GCONV_PATH='" + evil +
                      "/gconv' TZ=XYZ-7");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("L'installation est termin\xC3\xA9" "e.\n\n", r.err);
    EXPECT_NE(0, access((evil + "/gconv/marker").c_str(), F_OK));

    // The times installed are those of the machine's own time zone.
    struct stat withTz, without;
    ASSERT_EQ(0, stat((bin + "/readme.txt").c_str(), &withTz));
    ASSERT_EQ(0, unlink((bin + "/readme.txt").c_str()));
    r = Start();
    EXPECT_EQ(0, r.status) << r.err;
    ASSERT_EQ(0, stat((bin + "/readme.txt").c_str(), &without));
    EXPECT_EQ(without.st_mtime, withTz.st_mtime);
}

TEST_F(SetupProgram, HostileNamesAreShownEscapedAndNothingIsWritten)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<std::string, std::string>> entries;
        std::string expected;
    } cases[] = {
        {"escape sequences", {{"ok.so", "1"}, {"\x1b[2J\x1b[1;1HL'installation est termin\xC3\xA9" "e.\x1b[8m", "x"}},
         "<\\x1B[2J\\x1B[1;1HL'installation"},
        {"a right-to-left override", {{"ok.so", "1"}, {"a\xE2\x80\xAEos.txt\n", "x"}}, "<a\\u202Eos.txt\\x0A>"},
        {"the same name twice", {{"ok.so", "1"}, {"x", "1"}, {"x", "2"}}, "plusieurs entr\xC3\xA9" "es du m\xC3\xAAme nom"},
        {"a file and a directory", {{"ok.so", "1"}, {"x", "1"}, {"x/y", "2"}},
         "<x> et <x\\y> demandent un fichier et un r\xC3\xA9pertoire"},
        {"names differing by case", {{"ok.so", "1"}, {"a.so", "1"}, {"A.SO", "2"}},
         "<a.so> et <A.SO> ne diff\xC3\xA8rent que par les majuscules"},
        {"a component above 255 bytes", {{"ok.so", "1"}, {"d/" + std::string(256, 'n'), "1"}}, "255 octets"},
        {"the model", {{"ok.so", "1"}, {"vx200vm64.so", "evil"}}, "<vx200vm64.so> remplacerait"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Zip(c.entries);
        const std::string before = Tree(bin);
        const Outcome r = Start();
        EXPECT_EQ(255, r.status);
        EXPECT_TRUE(Has(r.err, c.expected)) << r.err;
        EXPECT_FALSE(Has(r.err, "\x1b")) << r.err;
        EXPECT_FALSE(Has(r.err, "\xE2\x80\xAE")) << r.err;
        EXPECT_EQ(before, Tree(bin));
    }
}

TEST_F(SetupProgram, AnArchiveOfMoreThan65535EntriesIsRefusedBeforeAnythingIsWritten)
{
    ASSERT_EQ(0, std::system(("python3 -c \"import zipfile\nwith zipfile.ZipFile('" + prog +
                              "/mysql_install.zip', 'w') as z:\n    for i in range(70000): z.writestr('f%05d' % i, b'')\"")
                                 .c_str()));
    const std::string before = Tree(bin);
    const Outcome r = Start();
    EXPECT_EQ(255, r.status);
    EXPECT_TRUE(Has(r.err, "contient plus de 65 535 entr\xC3\xA9" "es")) << r.err;
    EXPECT_EQ(before, Tree(bin));
}

// The installation in process, with the test seams, on scratch paths.
class SetupSeams : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_FALSE(dir.Path().empty());
        bin = dir / "rt/bin";
        ASSERT_EQ(0, std::system(("mkdir -p '" + bin + "' '" + dir.Path() + "/victim/bin'").c_str()));
        for (const std::string& d : {bin, dir / "victim/bin"})
            ziptest::WriteFile(d + "/vx200vm64.so", "vm");
        ziptest::WriteFile(dir / "conf", "[DEFAULT]\nBINPATH=" + bin + "\n");
        ziptest::Archive a;
        ziptest::Entry e;
        e.name = "x.so";
        e.data = std::string(1 << 20, 'x');
        ziptest::Entry f;
        f.name = "y.so";
        f.data = "y";
        a.entries = {e, f};
        ziptest::WriteFile(dir / "a.zip", ziptest::Build(a));
        conf = ziptest::Wide(dir / "conf");
        zip = ziptest::Wide(dir / "a.zip");
        paths.pszConfiguration = conf.c_str();
        paths.pszArchive = zip.c_str();
        paths.pContexte = this;
    }

    ziptest::ScratchDir dir;
    std::string bin;
    std::wstring conf, zip;
    stInstallerPaths paths;
    std::string swapFrom, swapTo;
};

TEST_F(SetupSeams, ADirectorySwappedForALinkAfterTheResolutionIsNeverFollowed)
{
    // Between the resolution of BINPATH and its opening, the directory or
    // one of its parents becomes a link to a directory that holds a model.
    const struct
    {
        std::string from, to;
    } swaps[] = {{bin, dir / "victim/bin"}, {dir / "rt", dir / "victim"}};
    for (const auto& swap : swaps) {
        SCOPED_TRACE(swap.from);
        swapFrom = swap.from;
        swapTo = swap.to;
        const std::string before = Tree(dir / "victim");
        paths.pfnApresResolution = [](void* p, const wchar_t*) {
            auto& self = *static_cast<SetupSeams*>(p);
            ASSERT_EQ(0, rename(self.swapFrom.c_str(), (self.swapFrom + ".moved").c_str()));
            ASSERT_EQ(0, symlink(self.swapTo.c_str(), self.swapFrom.c_str()));
        };
        testing::internal::CaptureStderr();
        EXPECT_EQ(-1, nInstallerMain(0, nullptr, 0, paths));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, err.find("<" + swap.from + "> est un lien symbolique")) << err;
        EXPECT_EQ(before, Tree(dir / "victim"));
        ASSERT_EQ(0, unlink(swap.from.c_str()));
        ASSERT_EQ(0, rename((swap.from + ".moved").c_str(), swap.from.c_str()));
    }
}

TEST_F(SetupSeams, ASignalDuringALargeEntryStopsCleanly)
{
    ziptest::WriteFile(bin + "/x.so", "old driver");
    paths.pfnAvantRenommage = [](void*, const wchar_t* path) {
        if (std::wcsstr(path, L"x.so") != nullptr)
            raise(SIGTERM);
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, nInstallerMain(0, nullptr, 0, paths));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("interrompue par le signal SIGTERM")) << err;
    EXPECT_NE(std::string::npos, err.find("L'installation a \xC3\xA9" "chou\xC3\xA9.\n\n")) << err;
    EXPECT_EQ("old driver", ziptest::ReadFile(bin + "/x.so"));
    EXPECT_NE(0, access((bin + "/y.so").c_str(), F_OK));
    EXPECT_EQ(std::string::npos, Tree(bin).find(".vxsetup-"));
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
