// Paths root may trust: opened from "/" without following a link, each
// directory on the way judged from the descriptor that was opened.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "installer/install_trusted_path.h"
#include "tests/installer/support/zip_tools.h"

namespace {

class TrustedPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.Path().empty());
        // The scratch directory's own parents (/tmp is sticky) pass.
        ASSERT_EQ(0, mkdir((dir / "a").c_str(), 0755));
        ASSERT_EQ(0, mkdir((dir / "a/b").c_str(), 0755));
        ziptest::WriteFile(dir / "a/b/f", "x");
        ASSERT_EQ(0, chmod((dir / "a/b/f").c_str(), 0644));
    }
    // The refusal for the path, and its descriptor closed.
    stRefusChemin Open(const std::string& path, bool bDirectory)
    {
        stRefusChemin refus;
        struct stat st;
        const int fd = fdOuvreSansLien(path, bDirectory, &st, refus);
        if (fd >= 0) {
            EXPECT_EQ(bDirectory, S_ISDIR(st.st_mode)) << path;
            close(fd);
        } else {
            EXPECT_NE(REFUS_CHEMIN_AUCUN, refus.eRefus) << path;
        }
        return refus;
    }

    ziptest::ScratchDir dir;
};

TEST_F(TrustedPath, OpensDirectoriesAndFilesReachedWithoutLinks)
{
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open(dir / "a/b", true).eRefus);
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open(dir / "a//b/", true).eRefus);
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open(dir / "a/b/f", false).eRefus);
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open("/", true).eRefus);

    // What each refusal names.
    ASSERT_EQ(0, symlink((dir / "a").c_str(), (dir / "l").c_str()));
    ASSERT_EQ(0, mkfifo((dir / "a/b/p").c_str(), 0600));
    ASSERT_EQ(0, symlink((dir / "a/b/f").c_str(), (dir / "a/b/lf").c_str()));
    const struct
    {
        std::string path;
        bool bDirectory;
        eRefusChemin refus;
        std::string named;
    } cases[] = {
        {dir / "l/b", true, REFUS_CHEMIN_TYPE, dir / "l"},          // a link on the way
        {dir / "a/b/f/x", true, REFUS_CHEMIN_TYPE, dir / "a/b/f"},  // a file on the way
        {dir / "a/b/f", true, REFUS_CHEMIN_TYPE, dir / "a/b/f"},    // a file for a directory
        {dir / "a/b", false, REFUS_CHEMIN_TYPE, dir / "a/b"},       // a directory for a file
        {dir / "a/b/p", false, REFUS_CHEMIN_TYPE, dir / "a/b/p"},   // a FIFO, without blocking
        {dir / "a/b/lf", false, REFUS_CHEMIN_TYPE, dir / "a/b/lf"}, // a link for a file
        {dir / "a/none", true, REFUS_CHEMIN_SYSTEME, dir / "a/none"},
        {"relative/path", true, REFUS_CHEMIN_SYSTEME, "relative/path"},
    };
    for (const auto& c : cases) {
        const stRefusChemin r = Open(c.path, c.bDirectory);
        EXPECT_EQ(c.refus, r.eRefus) << c.path;
        EXPECT_EQ(c.named, r.sChemin) << c.path;
    }

    // A file others may write to.
    ASSERT_EQ(0, chmod((dir / "a/b/f").c_str(), 0664));
    EXPECT_EQ(REFUS_CHEMIN_ECRITURE, Open(dir / "a/b/f", false).eRefus);
}

TEST_F(TrustedPath, DirectoriesOthersCanChangeAreRefusedUnlessStickyOverATrustedChild)
{
    ASSERT_EQ(0, chmod((dir / "a").c_str(), 0775));
    stRefusChemin r = Open(dir / "a/b", true);
    EXPECT_EQ(REFUS_CHEMIN_ECRITURE, r.eRefus);
    EXPECT_EQ(dir / "a/", r.sChemin);
    EXPECT_TRUE(r.bRepertoire);

    // Sticky: no one else can rename or remove what belongs to us.
    ASSERT_EQ(0, chmod((dir / "a").c_str(), 01777));
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open(dir / "a/b", true).eRefus);
    if (geteuid() != 0)
        return;
    // ... but a child of someone else's could be swapped by them.
    ASSERT_EQ(0, chown((dir / "a/b").c_str(), 65534, 65534));
    r = Open(dir / "a/b/f", false);
    EXPECT_EQ(REFUS_CHEMIN_ECRITURE, r.eRefus);
    EXPECT_EQ(dir / "a/", r.sChemin);
    // The last directory may belong to anyone; not one above it.
    ASSERT_EQ(0, chmod((dir / "a").c_str(), 0755));
    EXPECT_EQ(REFUS_CHEMIN_AUCUN, Open(dir / "a/b", true).eRefus);
    r = Open(dir / "a/b/f", false);
    EXPECT_EQ(REFUS_CHEMIN_PROPRIETAIRE, r.eRefus);
    EXPECT_EQ(dir / "a/b/", r.sChemin);
    ASSERT_EQ(0, chown((dir / "a/b/f").c_str(), 65534, 65534));
    ASSERT_EQ(0, chown((dir / "a/b").c_str(), 0, 0));
    r = Open(dir / "a/b/f", false);
    EXPECT_EQ(REFUS_CHEMIN_PROPRIETAIRE, r.eRefus);
    EXPECT_FALSE(r.bRepertoire);
}

TEST_F(TrustedPath, AFileInADirectoryNamedByTheCaller)
{
    stRefusChemin r;
    int fd = fdOuvreFichierSur(dir / "a/b", "f", r);
    EXPECT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(0, symlink((dir / "a/b/f").c_str(), (dir / "a/b/lf").c_str()));
    ASSERT_EQ(0, mkfifo((dir / "a/b/p").c_str(), 0600));
    for (const char* name : {"lf", "p"}) {
        EXPECT_EQ(-1, fdOuvreFichierSur(dir / "a/b", name, r)) << name;
        EXPECT_EQ(REFUS_CHEMIN_TYPE, r.eRefus) << name;
        EXPECT_EQ(dir / "a/b/" + name, r.sChemin);
    }
    EXPECT_EQ(-1, fdOuvreFichierSur(dir / "a/b", "none", r));
    EXPECT_EQ(REFUS_CHEMIN_SYSTEME, r.eRefus);
    EXPECT_EQ(ENOENT, r.nErrno);
    ASSERT_EQ(0, chmod((dir / "a/b").c_str(), 0757));
    EXPECT_EQ(-1, fdOuvreFichierSur(dir / "a/b", "f", r));
    EXPECT_EQ(REFUS_CHEMIN_ECRITURE, r.eRefus);
    EXPECT_EQ(dir / "a/b", r.sChemin);
}

}  // namespace
