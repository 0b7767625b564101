// Archives written by Python's zipfile and by Info-ZIP zip, read through the
// facade and compared with what went in. A missing tool skips its test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <string>

#include "common/text/zl_bin.h"
#include "installer/vx_win_zip.h"
#include "tests/host/support/test_environment.h"
#include "tests/installer/support/zip_tools.h"

namespace {

using ziptest::Wide;

std::string Utf8(const std::wstring& w)
{
    std::string out;
    for (wchar_t wc : w) {
        const uint32_t c = static_cast<uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class ZipInterop : public ::testing::Test
{
protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }

    // Every listed entry extracted by position and compared with the file of
    // the same relative name under the source directory.
    void ExpectSameAsSources(CVXWinZip& zip, const std::string& sources)
    {
        for (unsigned long i = 0; i < zip.dwNombreFichier(); ++i) {
            std::wstring name = zip.pszNomFichier(i);
            for (wchar_t& c : name)
                c = c == L'\\' ? L'/' : c;
            const std::string rel = Utf8(name);
            const std::string out = dir / "out.bin";
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(zip.eExtraitEntreeFd(i, fd), 0) << rel;
            close(fd);
            // Compared whole, never printed: the files are large.
            const std::string got = ziptest::ReadFile(out), want = ziptest::ReadFile(sources + "/" + rel);
            EXPECT_EQ(got.size(), want.size()) << rel;
            EXPECT_TRUE(got == want) << rel;
        }
    }

    ziptest::ScratchDir dir;
};

const char kPythonSources[] = R"(
import os, random
random.seed(7)
os.makedirs('src/sub/deeper', exist_ok=True)
files = {
    'src/a.txt': b'alpha\n' * 1000,
    'src/sub/b.bin': bytes(random.getrandbits(8) for _ in range(70000)),
    'src/sub/deeper/c.txt': b'',
    'src/sub/r\u00e9sum\u00e9.txt': 'caf\u00e9 \u4e2d\u6587'.encode('utf-8') * 300,
}
for name, data in files.items():
    with open(name, 'wb') as f:
        f.write(data)
)";

TEST_F(ZipInterop, PythonStoredDeflatedDirectoriesCommentsZip64)
{
    ZIPTEST_REQUIRE_TOOL("python3");
    ASSERT_TRUE(ziptest::RunPython(dir.Path(), std::string(kPythonSources) + R"(
import zipfile
class Unseekable:
    def __init__(self, f): self.f = f
    def write(self, b): return self.f.write(b)
    def flush(self): self.f.flush()
def fill(z, method, force64=False):
    z.comment = b'archive comment'
    z.write('src/sub', 'sub/')
    for root, dirs, names in os.walk('src'):
        for n in sorted(names):
            path = os.path.join(root, n)
            arc = os.path.relpath(path, 'src')
            info = zipfile.ZipInfo.from_file(path, arc)
            info.compress_type = method
            info.comment = b'entry comment'
            with open(path, 'rb') as f, z.open(info, 'w', force_zip64=force64) as out:
                out.write(f.read())
with zipfile.ZipFile('stored.zip', 'w') as z: fill(z, zipfile.ZIP_STORED)
with zipfile.ZipFile('deflated.zip', 'w') as z: fill(z, zipfile.ZIP_DEFLATED)
with zipfile.ZipFile('zip64.zip', 'w') as z: fill(z, zipfile.ZIP_DEFLATED, True)
with open('stream.zip', 'wb') as raw:
    with zipfile.ZipFile(Unseekable(raw), 'w') as z: fill(z, zipfile.ZIP_DEFLATED)
)"));
    for (const char* name : {"stored.zip", "deflated.zip", "zip64.zip", "stream.zip"}) {
        SCOPED_TRACE(name);
        CVXWinZip zip;
        ASSERT_EQ(zip.eOuvreArchive(Wide(dir / name).c_str(), 0, 0), 0);
        EXPECT_EQ(zip.dwNombreFichier(), 4u);  // "sub/" is a directory
        EXPECT_GE(zip.lRangFichier(L"sub\\r\u00E9sum\u00E9.txt"), 0);
        EXPECT_STREQ(zip.clGetZip().pszGetComment(), L"archive comment");
        ExpectSameAsSources(zip, dir / "src");
    }
}

TEST_F(ZipInterop, PythonZip64ByEntryCountAlone)
{
    ZIPTEST_REQUIRE_TOOL("python3");
    ASSERT_TRUE(ziptest::RunPython(dir.Path(), R"(
import zipfile
with zipfile.ZipFile('many.zip', 'w') as z:
    for i in range(70000):
        z.writestr('f%05d' % i, b'' if i % 1000 else b'entry %d' % i)
)"));
    CVXWinZip zip;
    ASSERT_EQ(zip.eOuvreArchive(Wide(dir / "many.zip").c_str(), 0, 0), 0);
    EXPECT_TRUE(zip.clGetZip().bIsZip64());
    ASSERT_EQ(zip.dwNombreFichier(), 70000u);
    EXPECT_STREQ(zip.pszNomFichier(69999), L"f69999");
    const long at = zip.lRangFichier(L"f69000");
    ASSERT_EQ(at, 69000);
    CZLBIN buffer;
    EXPECT_EQ(zip.eExtraitFichier(L"f69000", &buffer, 0, nullptr, 0), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.pbyGet()), buffer.nGetTailleUtile()), "entry 69000");
}

TEST_F(ZipInterop, InfoZipEncryptionZip64StreamsAndLinks)
{
    ZIPTEST_REQUIRE_TOOL("python3");
    ZIPTEST_REQUIRE_TOOL("zip");
    ASSERT_TRUE(ziptest::RunPython(dir.Path(), kPythonSources));
    // Info-ZIP stores the UTF-8 names of a Unix system unmarked.
    ASSERT_TRUE(ziptest::Run(dir / "src", "zip -q -r -P 'pa ss' ../enc.zip ."));
    ASSERT_TRUE(ziptest::Run(dir / "src", "zip -q -r -fz ../z64.zip ."));
    ASSERT_TRUE(ziptest::Run(dir / "src", "zip -q -r - . | cat > ../piped.zip"));
    ASSERT_TRUE(ziptest::Run(dir / "src", "ln -s a.txt link && zip -q -y ../links.zip a.txt link && rm link"));

    for (const char* name : {"enc.zip", "z64.zip", "piped.zip"}) {
        SCOPED_TRACE(name);
        CVXWinZip zip;
        zip.eMotDePasse(L"pa ss");
        ASSERT_EQ(zip.eOuvreArchive(Wide(dir / name).c_str(), 0, 0), 0);
        EXPECT_EQ(zip.dwNombreFichier(), 4u);
        EXPECT_EQ(zip.bCrypte(0), std::string(name) == "enc.zip");
        ExpectSameAsSources(zip, dir / "src");
    }
    // A wrong password.
    CVXWinZip enc;
    enc.eMotDePasse(L"nope");
    ASSERT_EQ(enc.eOuvreArchive(Wide(dir / "enc.zip").c_str(), 0, 0), 0);
    const int fd = open((dir / "x").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_EQ(enc.eExtraitEntreeFd(0, fd), 21);
    close(fd);

    // A symbolic link is an entry whose data is the link's target.
    CVXWinZip links;
    ASSERT_EQ(links.eOuvreArchive(Wide(dir / "links.zip").c_str(), 0, 0), 0);
    ASSERT_EQ(links.dwNombreFichier(), 2u);
    const long at = links.lRangFichier(L"link");
    ASSERT_GE(at, 0);
    EXPECT_EQ(links.dwLitAttribut(at) >> 28, 0xAu);  // S_IFLNK
    CZLBIN target;
    EXPECT_EQ(links.eExtraitFichier(L"link", &target, 0, nullptr, 0), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.pbyGet()), target.nGetTailleUtile()), "a.txt");
}

TEST_F(ZipInterop, OurArchivesReadByUnzip)
{
    // The generator's own output is checked against an independent reader,
    // so that its archives stand for well-formed ones.
    ZIPTEST_REQUIRE_TOOL("unzip");
    ziptest::Archive a;
    for (int i = 0; i < 3; ++i) {
        ziptest::Entry e;
        e.name = "f" + std::to_string(i);
        e.data = ziptest::Text(5000, i);
        e.method = i == 0 ? 0 : 8;
        e.zip64 = i == 2;
        e.descriptor = i == 1;
        if (i == 1)
            e.password = "pw";
        a.entries.push_back(e);
    }
    a.zip64End = true;
    ziptest::WriteFile(dir / "ours.zip", ziptest::Build(a));
    EXPECT_TRUE(ziptest::Run(dir.Path(), "unzip -qq -t -P pw ours.zip"));
}

}  // namespace
