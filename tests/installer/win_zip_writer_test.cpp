// The ZIP writer steps: archives written with them are read back by the
// project's reader and tested by Info-ZIP unzip (a missing tool skips that
// part); the header layouts at the 32-bit limits, the refused fields, the
// encryption header, the dates and the 8-bit names.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>
#include <zlib.h>

#include <clocale>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/system/disk_file.h"
#include "installer/memory_stream.h"
#include "installer/win_zip.h"
#include "installer/zip_crypt_keys.h"
#include "installer/zip_records.h"
#include "tests/installer/support/zip_tools.h"

namespace {

using ziptest::Wide;

// One entry to write: its data goes stored (method 0) or raw-deflated (8).
struct Source
{
    std::wstring name;
    std::string data;
    uint64_t method = 0;
    bool encrypt = false;
    std::wstring comment;

    Source(std::wstring n, std::string d, uint64_t m = 0, bool e = false, std::wstring c = L"")
        : name(std::move(n)), data(std::move(d)), method(m), encrypt(e), comment(std::move(c))
    {
    }
};

// A valid entry record for data of that size, the name and comment held by
// the caller.
_stFICZIP MakeEntry(wchar_t* name, const std::string& data, uint64_t stored)
{
    _stFICZIP e{};
    e.pszName = name;
    e.nVersionMadeBy = 0x031E;  // Unix
    e.nVersionNeeded = 20;
    e.dwDosDate = ziptest::kDosDate;
    e.dwCrc = ziptest::Crc(data);
    e.oUncompressedSize = data.size();
    e.oCompressedSize = stored;
    e.nExternalAttributes = 0100644u << 16;
    return e;
}

bool WriteAll(IXStream& out, const void* p, size_t n)
{
    unsigned done = 0;
    return out.bWrite(p, static_cast<unsigned>(n), &done) && done == n;
}

// Writes the sources as an archive with the writer steps of zip, whose
// stream is out: local header, encryption header and data per entry, then
// the central directory and the end records. False at the first refusal.
bool WriteArchive(CWinZip& zip, IXStream& out, std::vector<Source>& sources, const wchar_t* comment)
{
    std::vector<_stFICZIP> entries;
    for (Source& s : sources) {
        std::string stored = s.method == 8 ? ziptest::RawDeflate(s.data) : s.data;
        _stFICZIP e = MakeEntry(s.name.data(), s.data, stored.size() + (s.encrypt ? ZIP_CRYPT_HEADER_SIZE : 0));
        e.nMethod = s.method;
        e.bEncrypted = s.encrypt;
        e.pszComment = s.comment.empty() ? nullptr : s.comment.data();
        if (!zip._bEcritEnteteLocaleDir(e))
            return false;
        if (s.encrypt) {
            unsigned char header[ZIP_CRYPT_HEADER_SIZE];
            if (!zip.CryptCryptHeader(static_cast<uint32_t>(e.dwCrc), header) ||
                !WriteAll(out, header, sizeof header))
                return false;
            zip.CryptEncodeBuffer(reinterpret_cast<unsigned char*>(stored.data()), stored.size());
        }
        if (!WriteAll(out, stored.data(), stored.size()))
            return false;
        entries.push_back(e);
    }
    const uint64_t directory = static_cast<uint64_t>(out.oGetOffset());
    for (const _stFICZIP& e : entries)
        if (!zip._bEcritEnteteDir(e))
            return false;
    const uint64_t size = static_cast<uint64_t>(out.oGetOffset()) - directory;
    return zip._bEcritEnteteZip(entries.size(), directory, size, comment) != 0;
}

// Every entry read back by the project's reader: name (with '/') and data,
// or a mark of what failed.
struct ReadBack
{
    CDiskFile file;
    CWinZip zip;
    int open = -1;

    explicit ReadBack(const std::string& path, const wchar_t* password = nullptr)
    {
        if (file.bOpen(Wide(path).c_str(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                       IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr)) {
            zip.SetStream(&file);
            zip.bSetPassword(password);
            open = zip.OuvreZip(Wide(path).c_str());
        }
    }
    std::string Data(const wchar_t* name)
    {
        if (zip.LocateFile(name, 1) != 0)
            return "<absent>";
        const int opened = zip.OpenCurrentFileInZip();
        if (opened != 0)
            return "<open " + std::to_string(opened) + ">";
        std::string out, piece(4096, '\0');
        unsigned long got = 0;
        while (zip.bReadCurrentFileInZip(piece.data(), static_cast<unsigned>(piece.size()), &got) && got > 0)
            out.append(piece.data(), got);
        const int closed = zip.CloseCurrentFileInZip();
        return closed != 0 ? "<close " + std::to_string(closed) + ">" : out;
    }
};

class ZipWriter : public ::testing::Test
{
protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }

    // A new archive file with a writer over it.
    bool Create(const std::string& name)
    {
        path = dir / name;
        zip.SetStream(&out);
        return out.bOpen(Wide(path).c_str(), IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                         IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr);
    }
    // Info-ZIP's test of the archive (members: all when empty).
    bool UnzipTest(const std::string& options = "", const std::string& members = "")
    {
        return ziptest::Run(dir.Path(), "unzip -tqq " + options + " '" + path + "' " + members);
    }

    ziptest::ScratchDir dir;
    std::string path;
    CDiskFile out;
    CWinZip zip;
};

TEST_F(ZipWriter, StoredAndDeflatedEntriesReadBack)
{
    std::string bytes;
    for (int i = 0; i < 2560; ++i)
        bytes += static_cast<char>(i * 37);
    std::vector<Source> sources = {
        {L"a.txt", std::string(600, 'a')},
        {L"sub\\b.bin", bytes},  // written with '/'
        {L"empty", ""},
        {L"caf\u00E9.txt", "code page 437"},
        {L"packed.txt", ziptest::Text(20000, 3), 8, false, L"entry comment"},
    };
    ASSERT_TRUE(Create("plain.zip"));
    ASSERT_TRUE(WriteArchive(zip, out, sources, L"archive caf\u00E9"));
    out.Close();

    ReadBack r(path);
    ASSERT_EQ(r.open, 0);
    EXPECT_FALSE(r.zip.bIsZip64());
    EXPECT_STREQ(r.zip.pszGetComment(), L"archive caf\u00E9");
    ASSERT_EQ(r.zip.nGetNbFichiers(), 5);
    EXPECT_STREQ(r.zip.pstGetFichier(1)->pszName, L"sub/b.bin");
    const _stFICZIP* cafe = r.zip.pstGetFichier(3);
    EXPECT_STREQ(cafe->pszName, L"caf\u00E9.txt");
    EXPECT_EQ(cafe->nNameLength, 8u);  // one byte for the accent: 0x82 of 437
    EXPECT_EQ(cafe->nFlags & ZIP_FLAG_UTF8, 0u);
    EXPECT_EQ(cafe->dwDosDate, ziptest::kDosDate);
    EXPECT_EQ(cafe->stDate.tm_year, 2024u);
    EXPECT_EQ(cafe->nExternalAttributes, 0100644u << 16);
    EXPECT_STREQ(r.zip.pstGetFichier(4)->pszComment, L"entry comment");
    for (const Source& s : sources) {
        std::wstring name = s.name;
        EXPECT_EQ(r.Data(name.c_str()), s.data);
    }

    if (!ziptest::HaveTool("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    EXPECT_TRUE(UnzipTest());
    EXPECT_EQ(ziptest::Output("unzip -p '" + path + "' packed.txt"), sources[4].data);
    EXPECT_NE(ziptest::Output("unzip -Z1 '" + path + "'").find("sub/b.bin\n"), std::string::npos);
}

TEST_F(ZipWriter, UnicodeNamesAsUTF8)
{
    zip.SetUnicodeNames(1);
    std::vector<Source> sources = {{L"\u4E2D\u6587/\u20AC.txt", "euro"}, {L"plain", "ascii"}};
    ASSERT_TRUE(Create("unicode.zip"));
    ASSERT_TRUE(WriteArchive(zip, out, sources, nullptr));
    out.Close();

    ReadBack r(path);
    ASSERT_EQ(r.open, 0);
    EXPECT_NE(r.zip.pstGetFichier(0)->nFlags & ZIP_FLAG_UTF8, 0u);
    EXPECT_EQ(r.zip.pstGetFichier(0)->nNameLength, 14u);
    EXPECT_EQ(r.Data(L"\u4E2D\u6587/\u20AC.txt"), "euro");
    EXPECT_EQ(r.Data(L"plain"), "ascii");
    if (ziptest::HaveTool("unzip")) {
        EXPECT_TRUE(UnzipTest());
    }
}

TEST_F(ZipWriter, ForcedZip64)
{
    zip.SetForceZip64(1);
    std::vector<Source> sources = {{L"small.txt", "small"}, {L"packed.txt", ziptest::Text(30000, 5), 8}};
    ASSERT_TRUE(Create("forced.zip"));
    ASSERT_TRUE(WriteArchive(zip, out, sources, L"forced"));
    out.Close();

    // The layout: the local header's sizes in a 16-byte block, the central
    // entry's sizes and offset in a 24-byte one, the ZIP64 end record and
    // locator before a classic record whose fields all send readers there.
    const std::string raw = ziptest::ReadFile(path);
    const auto* b = reinterpret_cast<const unsigned char*>(raw.data());
    EXPECT_EQ(ZipLE16(b + 4), 45u);
    EXPECT_EQ(ZipLE32(b + 18), ZIP_MAX32);
    EXPECT_EQ(ZipLE32(b + 22), ZIP_MAX32);
    EXPECT_EQ(ZipLE16(b + 28), 20u);
    EXPECT_EQ(ZipLE16(b + 30 + 9), 1u);
    EXPECT_EQ(ZipLE16(b + 30 + 9 + 2), 16u);
    EXPECT_EQ(ZipLE64(b + 30 + 9 + 4), 5u);
    const size_t end = raw.size() - ZIP_END_SIZE - 6;
    ASSERT_EQ(ZipLE32(b + end), ZIP_SIG_END);
    EXPECT_EQ(ZipLE16(b + end + 10), 0xFFFFu);
    EXPECT_EQ(ZipLE32(b + end + 16), ZIP_MAX32);
    EXPECT_EQ(ZipLE32(b + end - ZIP_LOCATOR64_SIZE), ZIP_SIG_LOCATOR64);
    EXPECT_EQ(ZipLE32(b + end - ZIP_LOCATOR64_SIZE - ZIP_END64_SIZE), ZIP_SIG_END64);

    ReadBack r(path);
    ASSERT_EQ(r.open, 0);
    EXPECT_TRUE(r.zip.bIsZip64());
    EXPECT_EQ(r.zip.oGetNbEntries(), 2u);
    EXPECT_EQ(r.zip.pstGetFichier(1)->nExtraLength, 28u);
    EXPECT_EQ(r.zip.pstGetFichier(1)->nVersionNeeded, 45u);
    EXPECT_EQ(r.Data(L"small.txt"), "small");
    EXPECT_EQ(r.Data(L"packed.txt"), sources[1].data);

    if (ziptest::HaveTool("python3")) {
        // Python checks that every ZIP64 block holds what its fields ask for.
        ziptest::WriteFile(dir / "check.py", "import sys, zipfile\n"
                                             "z = zipfile.ZipFile(sys.argv[1])\n"
                                             "sys.exit(z.testzip() is not None)\n");
        EXPECT_TRUE(ziptest::Run(dir.Path(), "python3 check.py '" + path + "'"));
    }
    if (ziptest::HaveTool("unzip")) {
        EXPECT_TRUE(UnzipTest());
    }
}

TEST_F(ZipWriter, EncryptedEntries)
{
    ASSERT_TRUE(zip.bSetPassword(L"s3cret"));
    std::vector<Source> sources = {
        {L"secret.txt", "stored and encrypted", 0, true},
        {L"packed.txt", ziptest::Text(30000, 7), 8, true},
        {L"open.txt", "not encrypted"},
    };
    ASSERT_TRUE(Create("crypt.zip"));
    ASSERT_TRUE(WriteArchive(zip, out, sources, nullptr));
    out.Close();

    ReadBack r(path, L"s3cret");
    ASSERT_EQ(r.open, 0);
    EXPECT_EQ(r.zip.pstGetFichier(0)->bEncrypted, 1u);
    EXPECT_EQ(r.zip.pstGetFichier(2)->bEncrypted, 0u);
    for (const Source& s : sources) {
        std::wstring name = s.name;
        EXPECT_EQ(r.Data(name.c_str()), s.data);
    }
    // A wrong password never gives the data back: the header check fails,
    // or (1 time in 256) the CRC at the end.
    ReadBack wrong(path, L"wrong");
    ASSERT_EQ(wrong.open, 0);
    EXPECT_NE(wrong.Data(L"secret.txt"), sources[0].data);
    EXPECT_EQ(wrong.Data(L"open.txt"), "not encrypted");

    if (!ziptest::HaveTool("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    EXPECT_TRUE(UnzipTest("-P s3cret"));
    EXPECT_FALSE(UnzipTest("-P wrong", "secret.txt packed.txt"));
    EXPECT_EQ(ziptest::Output("unzip -p -P s3cret '" + path + "' packed.txt"), sources[1].data);
}

// An entry of 4 GiB and 1 byte of zeros (a hole of a sparse file), then a
// small one behind it: sizes and an offset past 32 bits, and a directory
// that starts there, take ZIP64 without being forced.
TEST_F(ZipWriter, SizesAndOffsetsPastFourGiB)
{
    const uint64_t big = (uint64_t{1} << 32) + 1;
    const std::string mebibyte(1 << 20, '\0');
    const uLong crcMebibyte = crc32(0, reinterpret_cast<const Bytef*>(mebibyte.data()), 1 << 20);
    uLong crc = 0;
    for (int i = 0; i < 4096; ++i)
        crc = crc32_combine(crc, crcMebibyte, 1 << 20);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(mebibyte.data()), 1);

    ASSERT_TRUE(Create("big.zip"));
    std::wstring zerosName = L"zeros", afterName = L"after.txt";
    const std::string after = "behind four GiB";
    _stFICZIP zeros = MakeEntry(zerosName.data(), "", big);
    zeros.oUncompressedSize = big;
    zeros.dwCrc = crc;
    ASSERT_TRUE(zip._bEcritEnteteLocaleDir(zeros));
    ASSERT_TRUE(out.bSeek(static_cast<int64_t>(big), IXStream::XSEEK_CUR));
    _stFICZIP tail = MakeEntry(afterName.data(), after, after.size());
    ASSERT_TRUE(zip._bEcritEnteteLocaleDir(tail));
    EXPECT_GT(tail.oLocalHeader, big);
    ASSERT_TRUE(WriteAll(out, after.data(), after.size()));
    const uint64_t directory = static_cast<uint64_t>(out.oGetOffset());
    uint64_t first = 0, second = 0;
    ASSERT_TRUE(zip._bEcritEnteteDir(zeros, &first));
    ASSERT_TRUE(zip._bEcritEnteteDir(tail, &second));
    EXPECT_EQ(first, ZIP_CENTRAL_SIZE + 5 + 28u);
    uint64_t endSize = 0;
    ASSERT_TRUE(zip._bEcritEnteteZip(2, directory, first + second, nullptr, &endSize));
    EXPECT_EQ(endSize, ZIP_END64_SIZE + ZIP_LOCATOR64_SIZE + ZIP_END_SIZE);
    out.Close();
    struct stat st{};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    if (static_cast<uint64_t>(st.st_blocks) * 512 > (64u << 20))
        GTEST_SKIP() << "the scratch file system keeps no holes";

    ReadBack r(path);
    ASSERT_EQ(r.open, 0);
    EXPECT_TRUE(r.zip.bIsZip64());
    EXPECT_EQ(r.zip.oGetCentralDirOffset(), directory);
    EXPECT_EQ(r.zip.pstGetFichier(0)->oUncompressedSize, big);
    EXPECT_EQ(r.zip.pstGetFichier(0)->oCompressedSize, big);
    EXPECT_EQ(r.zip.pstGetFichier(1)->oLocalHeader, tail.oLocalHeader);
    EXPECT_EQ(r.Data(L"after.txt"), after);
    if (ziptest::HaveTool("unzip")) {
        EXPECT_TRUE(UnzipTest("", "after.txt"));
    }
}

// Headers written into memory and decoded by the reader's own steps.
class ZipWriterHeaders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        zip.SetStream(&memory);
        Reset();
    }
    // Empty memory again.
    void Reset()
    {
        memory.Close();
        ASSERT_TRUE(memory.bOpen(L"m", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                                 IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
    }
    const unsigned char* Bytes() { return memory.pGetAddress(); }

    CMemoryStream memory;
    CWinZip zip;
    std::wstring name = L"n.bin";
};

TEST_F(ZipWriterHeaders, Zip64BlocksFromThe32BitLimit)
{
    // 0xFFFFFFFF itself fits 32 bits but is the field's "see the block"
    // mark: it takes the block too.
    struct Case
    {
        uint64_t uncompressed, compressed, offset;
        int forced;
        bool local64, central64;
    } cases[] = {
        {0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFE, 0, false, false},
        {0xFFFFFFFF, 10, 0, 0, true, true},
        {10, (uint64_t{1} << 32) + 7, 0, 0, true, true},
        {10, 10, 0xFFFFFFFF, 0, false, true},
        {10, 10, uint64_t{5} << 32, 0, false, true},
        {10, 10, 0, 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.uncompressed << " " << c.compressed << " " << c.offset);
        Reset();
        zip.SetForceZip64(c.forced);
        _stFICZIP e = MakeEntry(name.data(), "", c.compressed);
        e.oUncompressedSize = c.uncompressed;
        uint64_t nLocal = 0, nCentral = 0;
        ASSERT_TRUE(zip._bEcritEnteteLocaleDir(e, &nLocal));
        EXPECT_EQ(e.oLocalHeader, 0u);
        e.oLocalHeader = c.offset;
        ASSERT_TRUE(zip._bEcritEnteteDir(e, &nCentral));
        ASSERT_EQ(static_cast<uint64_t>(memory.oGetSize()), nLocal + nCentral);

        const unsigned char* local = Bytes();
        EXPECT_EQ(ZipLE16(local + 4), c.local64 ? 45u : 20u);
        EXPECT_EQ(ZipLE16(local + 28), c.local64 ? 20u : 0u);
        uint64_t sizes[2] = {ZipLE32(local + 22), ZipLE32(local + 18)};
        EXPECT_EQ(ZipApplyZip64Extra(local + 30 + 5, ZipLE16(local + 28), nullptr, sizes), c.local64);
        EXPECT_EQ(sizes[0], c.uncompressed);
        EXPECT_EQ(sizes[1], c.compressed);

        const unsigned char* central = Bytes() + nLocal;
        ASSERT_EQ(ZipLE32(central), ZIP_SIG_CENTRAL);
        _stFICZIP back{};
        ZipDecodeCentralHeader(central, back);
        EXPECT_EQ(back.nVersionNeeded, c.central64 ? 45u : 20u);
        EXPECT_EQ(back.nExtraLength, c.central64 ? 28u : 0u);
        EXPECT_EQ(ZipApplyZip64Extra(central + 46 + 5, back.nExtraLength, &back, nullptr), c.central64);
        EXPECT_EQ(back.oUncompressedSize, c.uncompressed);
        EXPECT_EQ(back.oCompressedSize, c.compressed);
        EXPECT_EQ(back.oLocalHeader, c.offset);
    }
}

TEST_F(ZipWriterHeaders, EndRecordTakesZip64From0xFFFFEntries)
{
    // A directory of 0xFFFF entries takes at least 0xFFFF fixed parts.
    const std::string directory(0xFFFFu * ZIP_CENTRAL_SIZE, 'd');
    for (const uint64_t entries : {uint64_t{0xFFFE}, uint64_t{0xFFFF}}) {
        SCOPED_TRACE(entries);
        Reset();
        ASSERT_TRUE(WriteAll(memory, directory.data(), directory.size()));
        uint64_t n = 0;
        ASSERT_TRUE(zip._bEcritEnteteZip(entries, 0, directory.size(), L"c", &n));
        const unsigned char* p = Bytes() + directory.size();
        if (entries < 0xFFFF) {
            ASSERT_EQ(n, ZIP_END_SIZE + 1u);
            EXPECT_EQ(ZipLE16(p + 10), entries);
            EXPECT_EQ(ZipLE32(p + 12), directory.size());
            continue;
        }
        ASSERT_EQ(n, ZIP_END64_SIZE + ZIP_LOCATOR64_SIZE + ZIP_END_SIZE + 1u);
        EXPECT_EQ(ZipLE32(p), ZIP_SIG_END64);
        EXPECT_EQ(ZipLE64(p + 32), entries);
        EXPECT_EQ(ZipLE64(p + 40), directory.size());
        EXPECT_EQ(ZipLE64(p + ZIP_END64_SIZE + 8), directory.size());  // where the ZIP64 record is
        EXPECT_EQ(ZipLE16(p + ZIP_END64_SIZE + ZIP_LOCATOR64_SIZE + 10), 0xFFFFu);
    }
}

TEST_F(ZipWriterHeaders, RefusedFieldsWriteNothing)
{
    const std::wstring tooLong(ZIP_MAX_NAME_CHARS + 1, L'x');
    std::wstring text;
    struct Case
    {
        const char* what;
        std::function<void(_stFICZIP&)> change;
        bool localToo;  // the local header refuses it as well
    } cases[] = {
        {"flags past 16 bits", [](_stFICZIP& e) { e.nFlags = 0x10000; }, true},
        {"method past 16 bits", [](_stFICZIP& e) { e.nMethod = 0x10008; }, true},
        {"version past 16 bits", [](_stFICZIP& e) { e.nVersionNeeded = 0x10014; }, true},
        {"made by past 16 bits", [](_stFICZIP& e) { e.nVersionMadeBy = 0x1031E; }, true},
        {"CRC past 32 bits", [](_stFICZIP& e) { e.dwCrc = uint64_t{1} << 32; }, true},
        {"date past 32 bits", [](_stFICZIP& e) { e.dwDosDate = uint64_t{1} << 32; }, true},
        {"attributes past 32 bits", [](_stFICZIP& e) { e.nExternalAttributes = uint64_t{1} << 32; }, true},
        {"internal attributes", [](_stFICZIP& e) { e.nInternalAttributes = 0x10000; }, true},
        {"encrypted, shorter than its header", [](_stFICZIP& e) {
             e.bEncrypted = 1;
             e.oCompressedSize = 11;
         }, true},
        {"no name", [](_stFICZIP& e) { e.pszName = nullptr; }, true},
        {"empty name", [&](_stFICZIP& e) { text = L""; e.pszName = text.data(); }, true},
        {"name too long", [&](_stFICZIP& e) { text = tooLong; e.pszName = text.data(); }, true},
        // Byte 0x80 is kept: the euro sign would read back as U+00C7.
        {"euro sign", [&](_stFICZIP& e) { text = L"a\u20AC"; e.pszName = text.data(); }, true},
        {"not in code page 1252", [&](_stFICZIP& e) { text = L"\u03B1"; e.pszName = text.data(); }, true},
        {"past 16 bits", [&](_stFICZIP& e) { text = L"\U0001F600"; e.pszName = text.data(); }, true},
        // E1 82 82 in 437 is valid UTF-8, which a Unix entry is read as.
        {"437 bytes read as UTF-8", [&](_stFICZIP& e) { text = L"\u00DF\u00E9\u00E9"; e.pszName = text.data(); },
         true},
        {"disk 0xFFFF", [](_stFICZIP& e) { e.nDiskNumberStart = 0xFFFF; }, false},
        {"comment not in 437", [&](_stFICZIP& e) { text = L"\u20AC"; e.pszComment = text.data(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        _stFICZIP e = MakeEntry(name.data(), "abc", 3);
        c.change(e);
        EXPECT_EQ(zip._bEcritEnteteLocaleDir(e), c.localToo ? 0 : 1);
        Reset();
        EXPECT_EQ(zip._bEcritEnteteDir(e), 0);
        EXPECT_EQ(memory.oGetSize(), 0);
    }
    // A DOS host's entry is read as 437 whatever its bytes.
    text = L"\u00DF\u00E9\u00E9";
    _stFICZIP dos = MakeEntry(text.data(), "abc", 3);
    dos.nVersionMadeBy = 0x0014;
    EXPECT_EQ(zip._bEcritEnteteDir(dos), 1);

    // The end record: where the directory ends, what it can hold, the
    // comment.
    Reset();
    ASSERT_TRUE(WriteAll(memory, std::string(100, 'd').data(), 100));
    EXPECT_EQ(zip._bEcritEnteteZip(1, 0, 99, nullptr), 0);
    EXPECT_EQ(zip._bEcritEnteteZip(1, 1, 100, nullptr), 0);
    EXPECT_EQ(zip._bEcritEnteteZip(3, 0, 100, nullptr), 0);
    EXPECT_EQ(zip._bEcritEnteteZip(1, 0, 100, L"\u4E2D"), 0);
    std::wstring comment(CWinZip::ZIP_MAX_END_COMMENT + 1, L'c');
    EXPECT_EQ(zip._bEcritEnteteZip(1, 0, 100, comment.c_str()), 0);
    EXPECT_EQ(memory.oGetSize(), 100);
    comment.pop_back();
    EXPECT_EQ(zip._bEcritEnteteZip(1, 0, 100, comment.c_str()), 1);
    EXPECT_EQ(static_cast<uint64_t>(memory.oGetSize()), 100 + ZIP_END_SIZE + CWinZip::ZIP_MAX_END_COMMENT);

    // With bytes before the archive, offsets count from its start.
    Reset();
    ASSERT_TRUE(WriteAll(memory, "stub", 4));
    zip.SetBytesBefore(4);
    _stFICZIP e = MakeEntry(name.data(), "", 0);
    ASSERT_TRUE(zip._bEcritEnteteLocaleDir(e));
    EXPECT_EQ(e.oLocalHeader, 0u);
    zip.SetBytesBefore(5);
    Reset();
    EXPECT_EQ(zip._bEcritEnteteLocaleDir(e), 0);
}

TEST(ZipWriterSteps, CryptHeaderCarriesTheCrcAndFreshRandomBytes)
{
    const uint32_t crc = 0xA1B2C3D4;
    CWinZip a, b;
    ASSERT_TRUE(a.bSetPassword(L"pw"));
    ASSERT_TRUE(b.bSetPassword(L"pw"));
    unsigned char first[12], second[12], third[12];
    ASSERT_TRUE(a.CryptCryptHeader(crc, first));
    ASSERT_TRUE(b.CryptCryptHeader(crc, second));
    // The data goes on with the keys the header left.
    unsigned char data[4] = {'d', 'a', 't', 'a'};
    a.CryptEncodeBuffer(data, 2);
    data[2] = a.CryptEncode(data[2]);
    data[3] = a.CryptEncode(data[3]);
    ASSERT_TRUE(a.CryptCryptHeader(crc, third));

    // Two writers at one moment, or one writer twice, start with different
    // bytes: no clock decides them.
    EXPECT_NE(std::string(reinterpret_cast<char*>(first), 10), std::string(reinterpret_cast<char*>(second), 10));
    EXPECT_NE(std::string(reinterpret_cast<char*>(first), 10), std::string(reinterpret_cast<char*>(third), 10));

    CZipCryptKeys keys;
    keys.Init(L"pw");
    keys.Decrypt(first, 12);
    EXPECT_EQ(first[10], 0xB2);
    EXPECT_EQ(first[11], 0xA1);  // the check byte the reader looks for
    keys.Decrypt(data, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 4), "data");
    keys.Init(L"pw");
    EXPECT_TRUE(keys.bCheckHeader(second, CZipCryptKeys::s_byCheckByte(0, 0, crc)));
}

TEST(ZipWriterSteps, DatesAndEightBitNames)
{
    _sTMDATE tm{21, 30, 10, 15, 3, 2024};
    EXPECT_EQ(CWinZip::_TmDateToDosDate(tm), ziptest::kDosDate);  // seconds in steps of 2
    tm.tm_year = 1975;
    EXPECT_EQ(CWinZip::_TmDateToDosDate(tm) >> 25, 0u);
    tm.tm_year = 2150;  // held at 2107, not wrapped round to 1980 + 42
    EXPECT_EQ(ZipDosDateToTm(CWinZip::_TmDateToDosDate(tm)).tm_year, 2107u);

    ziptest::ScratchDir dir;
    const std::string file = dir / "dated";
    ziptest::WriteFile(file, "x");
    std::tm local{};
    local.tm_year = 124, local.tm_mon = 2, local.tm_mday = 15;
    local.tm_hour = 10, local.tm_min = 30, local.tm_sec = 21;
    local.tm_isdst = -1;
    const utimbuf times{std::mktime(&local), std::mktime(&local)};
    ASSERT_EQ(utime(file.c_str(), &times), 0);
    uint32_t dos = 0;
    ASSERT_EQ(CWinZip::_GetTimeCreation(Wide(file).c_str(), &dos), 1);
    EXPECT_EQ(dos, ziptest::kDosDate);
    EXPECT_EQ(CWinZip::_GetTimeCreation(Wide(dir / "missing").c_str(), &dos), 0);

    char name[] = "caf\xE9 \x80!";
    CWinZip::_AnsiOem(name, 1);
    EXPECT_STREQ(name, "caf\x82 \x80!");  // 0x80 kept as it is
    CWinZip::_AnsiOem(name, 0);
    EXPECT_STREQ(name, "caf\xE9 \x80!");
}

}  // namespace
