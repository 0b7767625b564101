// The archive facade over archive files: its directory, extraction to files,
// streams, descriptors and memory, and the failures each reports.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <string>

#include "common/text/zl_bin.h"
#include "installer/memory_stream.h"
#include "installer/vx_win_zip.h"
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

class VXWinZip : public ::testing::Test
{
protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }

    // Writes the archive and opens it in the facade.
    int Open(const Archive& a, const char* name = "a.zip")
    {
        const std::string path = dir / name;
        ziptest::WriteFile(path, ziptest::Build(a));
        return zip.eOuvreArchive(Wide(path).c_str(), 0, 0);
    }
    int Extract(const wchar_t* entry, const std::string& target, int flags = 0)
    {
        return zip.eExtraitFichier(entry, Wide(dir / target).c_str(), 0, nullptr, 0, flags);
    }
    std::string Contents(const std::string& target) { return ziptest::ReadFile(dir / target); }

    ziptest::ScratchDir dir;
    CVXWinZip zip;
};

TEST_F(VXWinZip, DirectoryListsFilesWithBackslashes)
{
    Archive a;
    Entry d = Make("a/b/", "", 0);
    d.external = (040755u << 16) | 0x10;
    a.entries = {d, Make("a/b/c.txt", "abc"), Make("top", "t", 0)};
    ASSERT_EQ(Open(a), 0);
    EXPECT_EQ(zip.dwNombreFichier(), 2u);
    EXPECT_STREQ(zip.pszNomFichier(0), L"a\\b\\c.txt");
    EXPECT_STREQ(zip.pszNomFichier(1), L"top");
    EXPECT_STREQ(zip.pszNomFichier(2), L"");
    EXPECT_EQ(zip.lRangFichier(L"A\\B\\C.TXT"), 0);
    EXPECT_EQ(zip.lRangFichier(L"a/b/c.txt"), -1);
    EXPECT_EQ(zip.dwTailleOriginale(0), 3u);
    EXPECT_EQ(zip.dwLitAttribut(0), 0100644u << 16);
    EXPECT_EQ(zip.nTypeZip(), 1);
    const auto t = zip.stftLitFtModif(0);
    EXPECT_EQ(t.wYear, 2024);
    EXPECT_EQ(t.wMonth, 3);
    EXPECT_EQ(t.wDay, 15);
    EXPECT_EQ(t.wSecond, 20);

    CTString line;
    EXPECT_EQ(zip.eGetInfoFichier(0, line), 0);
    // Bit 31 of the attribute word (a regular file's type bits) gives "H".
    EXPECT_STREQ(line.pszGet(), L"a\\b\\c.txt\t3\t5\t2024-03-15 10:30:20\t2024-03-15 10:30:20\t2024-03-15 10:30:20\tH\tN");
    EXPECT_EQ(zip.eGetInfoFichier(2, line), 1);
}

TEST_F(VXWinZip, ClosedOrMissing)
{
    EXPECT_EQ(Extract(L"x", "x"), 1000);
    EXPECT_EQ(zip.eExtraitEntreeFd(0, 1), 1000);
    EXPECT_EQ(zip.eOuvreArchive(Wide(dir / "none.zip").c_str(), 0, 0), 1);
    ziptest::WriteFile(dir / "bad.zip", "not an archive at all");
    EXPECT_EQ(zip.eOuvreArchive(Wide(dir / "bad.zip").c_str(), 0, 0), 3);
    EXPECT_EQ(zip.dwNombreFichier(), 0u);
    EXPECT_EQ(Extract(L"x", "x"), 1000);

    Archive a;
    a.entries = {Make("x", "1")};
    ASSERT_EQ(Open(a), 0);
    EXPECT_EQ(Extract(L"y", "y"), 1);
    EXPECT_EQ(zip.eGetDernierResultat(), 1);
    EXPECT_EQ(zip.eExtraitEntreeFd(5, 1), 1);
}

TEST_F(VXWinZip, AnArchiveOpenedOnADescriptorIsNeverReopenedByName)
{
    Archive a;
    a.entries = {Make("x.so", "checked data")};
    const std::string path = dir / "a.zip";
    ziptest::WriteFile(path, ziptest::Build(a));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(zip.eOuvreArchiveFd(fd, Wide(path).c_str()), 0);
    close(fd);  // the archive keeps its own duplicate

    // Another archive under the same name afterwards: what was opened is
    // what is read, also after the lock calls that reopen by name.
    Archive other;
    other.entries = {Make("x.so", "swapped data")};
    ziptest::WriteFile(dir / "b.zip", ziptest::Build(other));
    ASSERT_EQ(rename((dir / "b.zip").c_str(), path.c_str()), 0);
    zip.LockEcritureOuvertEnLecture(1);
    zip.LockLectureEcritureOuvertEnLectureEcriture(1);
    ASSERT_EQ(Extract(L"x.so", "out"), 0);
    EXPECT_EQ(Contents("out"), "checked data");
    EXPECT_EQ(zip.clGetRepertoire().nGetNbEntrees(), 1);

    // The stream's name is kept as for an archive opened by name: one too
    // long for it is refused, and so is a closed descriptor.
    const std::string deep = "/" + std::string(300, 'd') + "/a.zip";
    const int again = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(zip.eOuvreArchiveFd(again, Wide(deep).c_str()), 1);
    close(again);
    EXPECT_EQ(zip.eOuvreArchiveFd(again, Wide(path).c_str()), 1);
    EXPECT_FALSE(zip.bEstOuvert());
}

TEST_F(VXWinZip, EachEntryGetsItsOwnData)
{
    // Names equal but for case, and a duplicated name: every target gets the
    // data of the entry it stands for.
    Archive a;
    a.entries = {Make("a.txt", "lower"), Make("A.TXT", "upper"), Make("dup", "first"), Make("dup", "second")};
    ASSERT_EQ(Open(a), 0);
    ASSERT_EQ(zip.dwNombreFichier(), 4u);
    EXPECT_EQ(Extract(L"A.TXT", "t1"), 0);
    EXPECT_EQ(Contents("t1"), "upper");
    EXPECT_EQ(Extract(L"a.txt", "t2"), 0);
    EXPECT_EQ(Contents("t2"), "lower");
    EXPECT_EQ(Extract(L"A.txt", "t3"), 0);  // no exact name: the first ignoring case
    EXPECT_EQ(Contents("t3"), "lower");
    EXPECT_EQ(Extract(L"A.txt", "t4", CVXWinZip::EXTRACT_CASE_SENSITIVE), 1);
    EXPECT_EQ(Extract(L"dup", "t5"), 0);
    EXPECT_EQ(Contents("t5"), "first");

    // By position, each duplicate reaches its own entry.
    for (unsigned long i = 0; i < 4; ++i) {
        const std::string target = "p" + std::to_string(i);
        const int fd = open((dir / target).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(zip.eExtraitEntreeFd(i, fd), 0);
        close(fd);
    }
    EXPECT_EQ(Contents("p0"), "lower");
    EXPECT_EQ(Contents("p1"), "upper");
    EXPECT_EQ(Contents("p2"), "first");
    EXPECT_EQ(Contents("p3"), "second");
}

TEST_F(VXWinZip, FirstFailureWins)
{
    const std::string text = ziptest::Text(100000, 5);
    Archive a;
    Entry good = Make("good", text);
    Entry badCrc = Make("badcrc", text);
    badCrc.centralCrc = badCrc.localCrc = 12345;
    Entry longer = Make("longer", text);  // inflates past its declared size
    longer.centralUncompressed = longer.localUncompressed = 1000;
    Entry shorter = Make("shorter", text);  // declares more than its data gives
    shorter.centralUncompressed = shorter.localUncompressed = 100100;
    Entry cut = Make("cut", text);
    cut.payload = ziptest::RawDeflate(text).substr(0, 500);
    Entry method = Make("method", text, 0);
    method.localMethod = 8;
    a.entries = {good, badCrc, longer, shorter, cut, method};
    ASSERT_EQ(Open(a), 0);

    EXPECT_EQ(Extract(L"good", "good"), 0);
    EXPECT_EQ(Contents("good"), text);
    EXPECT_EQ(Extract(L"badcrc", "badcrc"), 30);
    EXPECT_EQ(Extract(L"longer", "longer"), 30);
    EXPECT_EQ(Contents("longer").size(), 1000u);
    EXPECT_EQ(Extract(L"shorter", "shorter"), 3);  // the size comparison comes last
    EXPECT_EQ(Extract(L"cut", "cut"), 30);
    EXPECT_EQ(Extract(L"method", "method"), 3);

    // A failed write: the device is full.
    const int full = open("/dev/full", O_WRONLY);
    if (full >= 0) {
        EXPECT_EQ(zip.eExtraitEntreeFd(0, full), 30);
        close(full);
    }
    // A short write: a lent memory block too small for the entry.
    unsigned char small[100];
    CMemoryStream memory;
    ASSERT_TRUE(memory.bAssociate(small, sizeof small));
    ASSERT_TRUE(memory.bOpen(L"m", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(zip.eExtraitEntree(0, &memory), 30);
    EXPECT_EQ(std::memcmp(small, text.data(), sizeof small), 0);

    // A target that cannot be created.
    EXPECT_EQ(Extract(L"good", "no/such/dir/x"), 2);
    // The reader is ready for the next entry after every failure.
    EXPECT_EQ(Extract(L"good", "again"), 0);
    EXPECT_EQ(Contents("again"), text);
}

TEST_F(VXWinZip, ZeroLengthEntriesKeepExistingContent)
{
    Archive a;
    a.entries = {Make("empty", "", 0), Make("new", "", 0)};
    ASSERT_EQ(Open(a), 0);
    ziptest::WriteFile(dir / "empty", "kept");
    EXPECT_EQ(Extract(L"empty", "empty"), 0);
    EXPECT_EQ(Contents("empty"), "kept");
    EXPECT_EQ(Extract(L"new", "new"), 0);
    struct stat st;
    ASSERT_EQ(stat((dir / "new").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    // With 0x40 an existing file is deleted first.
    ziptest::WriteFile(dir / "gone", "old");
    EXPECT_EQ(Extract(L"empty", "gone", CVXWinZip::EXTRACT_DELETE_EXISTING), 0);
    EXPECT_EQ(Contents("gone"), "");
}

TEST_F(VXWinZip, TargetTimesAndReplacedContent)
{
    Archive a;
    a.entries = {Make("f", "new content")};
    ASSERT_EQ(Open(a), 0);
    ziptest::WriteFile(dir / "f", std::string(5000, 'o'));
    EXPECT_EQ(Extract(L"f", "f"), 0);
    EXPECT_EQ(Contents("f"), "new content");
    struct stat st;
    ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
    struct tm local;
    localtime_r(&st.st_mtime, &local);
    EXPECT_EQ(local.tm_year + 1900, 2024);
    EXPECT_EQ(local.tm_min, 30);
}

TEST_F(VXWinZip, MemoryExtraction)
{
    const std::string text = ziptest::Text(70000, 2);
    Archive a;
    Entry huge = Make("huge", "x");  // says 3 GB
    huge.zip64 = true;
    Entry bomb = Make("bomb", "x");  // says 2 GB from a few bytes
    bomb.centralUncompressed = bomb.localUncompressed = 0x7FFF0000;
    Entry stored = Make("stored", "12345", 0);
    stored.centralUncompressed = stored.localUncompressed = 6;
    a.entries = {Make("text", text), huge, bomb, stored, Make("zero", "", 0)};
    std::string bytes = ziptest::Build(a);
    // The ZIP64 sizes of "huge" patched to 3 GB in both of its blocks.
    for (size_t at = bytes.find(std::string("\x01\x00\x10\x00", 4)); at != std::string::npos;
         at = bytes.find(std::string("\x01\x00", 2), at + 1)) {
        if (bytes.compare(at, 4, std::string("\x01\x00\x10\x00", 4)) == 0 ||
            bytes.compare(at, 4, std::string("\x01\x00\x18\x00", 4)) == 0) {
            std::string v;
            ziptest::Put64(v, 3000000000ull);
            bytes.replace(at + 4, 8, v);
        }
    }
    ziptest::WriteFile(dir / "m.zip", bytes);
    ASSERT_EQ(zip.eOuvreArchive(Wide(dir / "m.zip").c_str(), 0, 0), 0);
    ASSERT_EQ(zip.dwTailleOriginale(1), 3000000000ull);

    CZLBIN buffer;
    EXPECT_EQ(zip.eExtraitFichier(L"text", &buffer, 0, nullptr, 0), 0);
    ASSERT_EQ(buffer.nGetTailleUtile(), static_cast<int>(text.size()));
    EXPECT_EQ(std::memcmp(buffer.pbyGet(), text.data(), text.size()), 0);
    EXPECT_EQ(zip.eExtraitFichier(L"huge", &buffer, 0, nullptr, 0), 9);
    EXPECT_EQ(zip.eExtraitFichier(L"bomb", &buffer, 0, nullptr, 0), 3);
    EXPECT_EQ(zip.eExtraitFichier(L"stored", &buffer, 0, nullptr, 0), 3);
    EXPECT_EQ(zip.eExtraitFichier(L"zero", &buffer, 0, nullptr, 0), 0);
    EXPECT_EQ(buffer.nGetTailleUtile(), 0);
    EXPECT_EQ(zip.eExtraitFichier(L"none", &buffer, 0, nullptr, 0), 1);
}

TEST_F(VXWinZip, PasswordsAndTheirDigests)
{
    Archive a;
    Entry e = Make("secret", "hidden text");
    e.password = "pw\xE9";
    a.entries = {e};
    zip.eMotDePasse(L"pw\u00E9");
    ASSERT_EQ(Open(a), 0);
    EXPECT_EQ(zip.bCrypte(0), 1);
    EXPECT_EQ(zip.dwTailleCompresse(0) + 12, zip.clGetZip().pstGetFichier(0)->oCompressedSize);
    const CRepEntree* entry = zip.clGetRepertoire().pclGetEntree(0);
    EXPECT_EQ(entry->m_byTypeMdp, 2);
    EXPECT_TRUE(entry->bMdpOK(L"pw\u00E9"));
    EXPECT_FALSE(entry->bMdpOK(L"pw"));
    EXPECT_EQ(Extract(L"secret", "s"), 0);
    EXPECT_EQ(Contents("s"), "hidden text");

    zip.eMotDePasse(L"other");
    CXYString<wchar_t> pw;
    zip.eGetMotDePasse(pw);
    EXPECT_STREQ(pw.pszGet(), L"other");
    EXPECT_EQ(Extract(L"secret", "s2"), 21);
    EXPECT_EQ(zip.eNiveauCompression(10), 28);
    EXPECT_EQ(zip.eNiveauCompression(9), 0);
    int level = 0;
    zip.eGetNiveauCompression(&level);
    EXPECT_EQ(level, 9);
    EXPECT_EQ(zip.bEntete64Bits(1), 0);
    EXPECT_EQ(zip.bEntete64Bits(0), 1);
}

TEST_F(VXWinZip, ArchiveBehindAStub)
{
    Archive a;
    a.stub = std::string(4096, '\x7F');
    a.entries = {Make("in", "side")};
    ASSERT_EQ(Open(a), 0);
    EXPECT_EQ(Extract(L"in", "in"), 0);
    EXPECT_EQ(Contents("in"), "side");
    unsigned disk = 9;
    long offset = 0;
    zip.PosFichier(0, disk, offset);
    EXPECT_EQ(disk, 0u);
    EXPECT_EQ(offset, 0);  // the stub is the reader's bytes before, not the facade's offset
}

TEST_F(VXWinZip, LockModes)
{
    Archive a;
    a.entries = {Make("x", "data")};
    const std::string path = dir / "l.zip";
    ziptest::WriteFile(path, ziptest::Build(a));
    ASSERT_EQ(zip.eOuvreArchive(Wide(path).c_str(), 1, 0), 0);
    zip.Lock(1);
    zip.Lock(0);
    // Extraction opens the archive again after the lock closed it.
    EXPECT_EQ(Extract(L"x", "x"), 0);
    EXPECT_EQ(Contents("x"), "data");
    zip.Term();
    EXPECT_EQ(zip.dwNombreFichier(), 0u);
    EXPECT_EQ(Extract(L"x", "x"), 1000);
}

}  // namespace
