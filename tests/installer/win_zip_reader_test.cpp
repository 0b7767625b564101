// The ZIP reader over archives written by the test generator, read through
// a memory stream.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installer/memory_stream.h"
#include "installer/win_zip.h"
#include "installer/zip_records.h"
#include "tests/installer/support/zip_builder.h"

namespace {

using ziptest::Archive;
using ziptest::Entry;

// An archive held in memory with the reader over it.
struct Reader
{
    std::string bytes;
    CMemoryStream stream;
    CWinZip zip;

    explicit Reader(std::string data, uint64_t bytesBefore = 0) : bytes(std::move(data))
    {
        stream.bAssociate(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<unsigned>(bytes.size()));
        stream.bOpen(L"ZIP", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                     IXStream::XFLAG_NONE, nullptr);
        zip.SetStream(&stream);
        zip.SetBytesBefore(bytesBefore);
    }
    int Open() { return zip.OuvreZip(L"mem.zip"); }
    // The current entry's data read to its end in pieces of n bytes; the
    // read and close results through the pointers.
    std::string ReadCurrent(int* pOpen, int* pClose = nullptr, bool* pReadOk = nullptr, unsigned n = 1000)
    {
        std::string out;
        *pOpen = zip.OpenCurrentFileInZip();
        bool ok = true;
        if (*pOpen == 0) {
            std::string piece(n, '\0');
            for (;;) {
                unsigned long got = 0;
                if (!zip.bReadCurrentFileInZip(piece.data(), n, &got)) {
                    ok = false;
                    break;
                }
                if (got == 0)
                    break;
                out.append(piece.data(), got);
            }
            const int closed = zip.CloseCurrentFileInZip();
            if (pClose != nullptr)
                *pClose = closed;
        }
        if (pReadOk != nullptr)
            *pReadOk = ok;
        return out;
    }
    std::string Read(const wchar_t* name)
    {
        if (zip.LocateFile(name, 1) != 0)
            return "<absent>";
        int open = 0, close = 0;
        bool ok = false;
        std::string data = ReadCurrent(&open, &close, &ok);
        if (open != 0 || close != 0 || !ok)
            return "<failed " + std::to_string(open) + "/" + std::to_string(close) + ">";
        return data;
    }
};

Entry Make(const std::string& name, const std::string& data, uint16_t method = 8)
{
    Entry e;
    e.name = name;
    e.data = data;
    e.method = method;
    return e;
}

class WinZipReader : public ::testing::Test
{
protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }
};

TEST_F(WinZipReader, StoredAndDeflatedEntriesReadBack)
{
    const std::string big = ziptest::Text(200000, 3);
    Archive a;
    a.entries = {Make("s.txt", "stored text", 0), Make("d/big.txt", big), Make("empty", "", 0), Make("e8", "", 8)};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_EQ(r.zip.nGetNbFichiers(), 4);
    EXPECT_EQ(r.Read(L"s.txt"), "stored text");
    EXPECT_EQ(r.Read(L"d/big.txt"), big);
    EXPECT_EQ(r.Read(L"d\\big.txt"), big);  // backslashes read as separators
    EXPECT_STREQ(r.zip.CurrentFile_szName(), L"d\\big.txt");
    EXPECT_EQ(r.Read(L"empty"), "");
    EXPECT_EQ(r.Read(L"e8"), "");
    EXPECT_EQ(r.zip.LocateFile(L"missing", 0), 5);

    // Iteration in directory order.
    ASSERT_EQ(r.zip.FirstFile(), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 1u);
    EXPECT_EQ(r.zip.NextFile(), 0);
    EXPECT_EQ(r.zip.NextFile(), 0);
    EXPECT_EQ(r.zip.NextFile(), 0);
    EXPECT_EQ(r.zip.NextFile(), 1002);
    EXPECT_EQ(r.zip.NextFile(1), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 1u);
}

TEST_F(WinZipReader, EndRecordSearch)
{
    // The empty archive: the record at offset 0.
    Reader empty(ziptest::Build(Archive{}));
    ASSERT_EQ(empty.Open(), 0);
    EXPECT_EQ(empty.zip.nGetNbFichiers(), 0);
    EXPECT_EQ(empty.zip.FirstFile(), 1002);
    EXPECT_EQ(empty.zip.OpenCurrentFileInZip(), 4);

    // Comment lengths around the windows (records straddling two of them,
    // comments longer than the header buffer) and the limit of the search.
    for (size_t n : {1u, 1000u, 1005u, 1006u, 1007u, 1008u, 1009u, 2030u, 2034u, 40000u, 65513u, 65514u, 65535u}) {
        Archive a;
        a.entries = {Make("x", "payload")};
        a.comment = std::string(n, 'c');
        a.comment[0] = '\xE9';
        Reader r(ziptest::Build(a));
        if (n > 65513) {
            EXPECT_EQ(r.Open(), 3) << n;
            continue;
        }
        ASSERT_EQ(r.Open(), 0) << n;
        EXPECT_EQ(r.Read(L"x"), "payload") << n;
        EXPECT_EQ(std::wcslen(r.zip.pszGetComment()), n);
        EXPECT_EQ(r.zip.pszGetComment()[0], L'\u00E9');  // code page 1252
    }
    // A comment that says it is longer than the file has: cut.
    Archive a;
    a.comment = "abc";
    a.declaredCommentLength = 40;
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_STREQ(r.zip.pszGetComment(), L"abc");

    // Too short, no record, a record cut at the end.
    for (std::string bad : {std::string(), std::string("PK\x05\x06", 4), std::string(100, 'x')})
        EXPECT_EQ(Reader(bad).Open(), 3);
}

TEST_F(WinZipReader, StubBeforeTheArchive)
{
    Archive a;
    a.stub = std::string(3000, '#');
    a.entries = {Make("one", "1111"), Make("two", "22", 0)};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_EQ(r.zip.oGetBytesBefore(), 3000u);
    EXPECT_EQ(r.Read(L"two"), "22");
    EXPECT_EQ(r.Read(L"one"), "1111");
}

TEST_F(WinZipReader, Zip64RecordsAndBlocks)
{
    struct Case
    {
        const char* what;
        bool zip64End, saturate, entryZip64;
        std::string stub, extraBefore;
        bool descriptor;
    };
    std::string ut;
    ziptest::Put16(ut, 0x5455);
    ziptest::Put16(ut, 5);
    ut += std::string("\x03\x01\x02\x03\x04", 5);
    const Case cases[] = {
        {"end record, saturated classic fields", true, true, false, "", "", false},
        {"end record with real classic fields (ZIP64 by count)", true, false, false, "", "", false},
        {"end record behind a stub", true, true, false, std::string(777, 'S'), "", false},
        {"entry blocks", false, false, true, "", "", false},
        {"entry blocks behind another block", true, true, true, "", ut, false},
        {"entry blocks with descriptors", true, true, true, "", ut, true},
    };
    for (const Case& c : cases) {
        Archive a;
        a.zip64End = c.zip64End;
        a.saturateClassic = c.saturate;
        a.stub = c.stub;
        for (int i = 0; i < 3; ++i) {
            Entry e = Make(std::string("f").append(std::to_string(i)), ziptest::Text(3000 + i, i), i == 1 ? 0 : 8);
            e.zip64 = c.entryZip64;
            e.extraBefore = c.extraBefore;
            e.descriptor = c.descriptor;
            a.entries.push_back(e);
        }
        Reader r(ziptest::Build(a));
        ASSERT_EQ(r.Open(), 0) << c.what;
        EXPECT_EQ(r.zip.bIsZip64(), c.zip64End) << c.what;
        EXPECT_EQ(r.zip.oGetBytesBefore(), c.stub.size()) << c.what;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(r.Read(ziptest::Wide(std::string("f").append(std::to_string(i))).c_str()), ziptest::Text(3000 + i, i)) << c.what;
    }
    // A saturated offset without any ZIP64 record is no archive.
    Archive a;
    a.entries = {Make("x", "y")};
    std::string bytes = ziptest::Build(a);
    ziptest::Put32(bytes, 0);
    bytes.resize(bytes.size() - 4);
    std::memset(bytes.data() + bytes.size() - 6, 0xFF, 4);
    EXPECT_EQ(Reader(bytes).Open(), 3);
}

TEST_F(WinZipReader, DirectoryThatDoesNotFitIsRefused)
{
    Archive a;
    a.entries = {Make("x", "y"), Make("z", "w")};
    struct Case
    {
        const char* what;
        std::optional<uint64_t> entries;
        std::optional<uint32_t> size;
    };
    const Case cases[] = {
        {"more entries than the directory holds", 3, std::nullopt},
        {"more entries than 46 bytes each allow", 40000, std::nullopt},
        {"directory larger than the archive", std::nullopt, 0x7FFFFFF0},
        {"directory size too small for its entries", std::nullopt, 50},
    };
    for (const Case& c : cases) {
        Archive b = a;
        b.declaredEntries = c.entries;
        b.declaredCentralSize = c.size;
        Reader r(ziptest::Build(b));
        EXPECT_EQ(r.Open(), 3) << c.what;
        EXPECT_EQ(r.zip.nGetNbFichiers(), 0) << c.what;
    }
    // Truncated anywhere before the end record: no archive.
    const std::string whole = ziptest::Build(a);
    for (size_t cut : {size_t{1}, size_t{10}, size_t{30}, size_t{60}})
        EXPECT_EQ(Reader(whole.substr(0, whole.size() - cut)).Open(), 3) << cut;
}

TEST_F(WinZipReader, NamesDecodedAndBounded)
{
    Archive a;
    Entry oem = Make("caf\x82-\x81", "1", 0);  // code page 437: é, ü
    Entry utf8 = Make("caf\xC3\xA9-\xC3\xBC", "2", 0);
    utf8.flags = 0x800;
    Entry longest = Make(std::string(259, 'n'), "3", 0);
    longest.comment = std::string(2000, 'c');  // too long to keep: skipped
    Entry unixUnflagged = Make("caf\xC3\xA9", "4", 0);  // as Unix archivers store names
    Entry dosUnflagged = Make("caf\xC3\xA9", "5", 0);
    dosUnflagged.madeBy = 0x0014;
    a.entries = {oem, utf8, longest, unixUnflagged, dosUnflagged};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_STREQ(r.zip.pstGetFichier(0)->pszName, L"caf\u00E9-\u00FC");
    EXPECT_STREQ(r.zip.pstGetFichier(1)->pszName, L"caf\u00E9-\u00FC");
    EXPECT_EQ(r.Read(std::wstring(259, L'n').c_str()), "3");
    EXPECT_EQ(r.zip.pstGetFichier(2)->pszComment, nullptr);
    EXPECT_STREQ(r.zip.pstGetFichier(3)->pszName, L"caf\u00E9");
    EXPECT_STREQ(r.zip.pstGetFichier(4)->pszName, L"caf\u251C\u2310");
    EXPECT_EQ(r.Read(L"caf\u00E9"), "4");  // the local name decoded the same way

    // 260 characters, or a zero byte inside: the archive is refused.
    for (std::string name : {std::string(260, 'n'), std::string("a\0b", 3), std::string(300, '\x81')}) {
        Archive b;
        b.entries = {Make("ok", "1"), Make(name, "2")};
        Reader bad(ziptest::Build(b));
        EXPECT_EQ(bad.Open(), 3) << name.size();
        EXPECT_EQ(bad.zip.nGetNbFichiers(), 0);
    }
    // 250 two-byte UTF-8 characters are 250 characters: accepted.
    Archive c;
    Entry wide = Make("", "4", 0);
    for (int i = 0; i < 250; ++i)
        wide.name += "\xC3\xA9";
    wide.flags = 0x800;
    c.entries = {wide};
    Reader w(ziptest::Build(c));
    ASSERT_EQ(w.Open(), 0);
    EXPECT_EQ(std::wcslen(w.zip.pstGetFichier(0)->pszName), 250u);
}

TEST_F(WinZipReader, SameNamesStayDistinctEntries)
{
    Archive a;
    a.entries = {Make("a.txt", "lower"), Make("A.TXT", "upper"), Make("a.txt", "second lower"),
                 Make("dir\\x", "backslash", 0)};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_EQ(r.zip.LocateFile(L"A.TXT", 1), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 2u);
    EXPECT_EQ(r.zip.LocateFile(L"a.txt", 1), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 1u);  // the first of the duplicates
    EXPECT_EQ(r.zip.LocateFile(L"A.txt", 1), 5);
    EXPECT_EQ(r.zip.LocateFile(L"A.txt", 0), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 1u);  // first in directory order
    EXPECT_EQ(r.zip.LocateFile(L"DIR/X", 0), 0);  // a name holding a backslash of its own
    EXPECT_EQ(r.zip.nGetCurrentFile(), 4u);
    for (uint64_t n : {1u, 2u, 3u}) {
        ASSERT_EQ(r.zip.GoToFile(n), 0);
        int open = 0;
        EXPECT_EQ(r.ReadCurrent(&open), n == 1 ? "lower" : n == 2 ? "upper" : "second lower");
    }
    EXPECT_EQ(r.zip.GoToFile(0), 4);
    EXPECT_EQ(r.zip.GoToFile(5), 4);
}

TEST_F(WinZipReader, OwnerAsksForUniqueNamesAndACapOnEntries)
{
    struct Case
    {
        const char* what;
        std::vector<const char*> names;
        int unique;      // result with unique names asked for
    } cases[] = {
        {"distinct", {"a", "b", "dir/a"}, 0},
        {"the same name twice", {"a", "b", "a"}, 32},
        {"separators differ", {"dir/a", "dir\\a"}, 32},
        {"case differs", {"a.txt", "A.TXT"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Archive a;
        for (const char* n : c.names)
            a.entries.push_back(Make(n, n, 0));
        Reader plain(ziptest::Build(a));
        EXPECT_EQ(plain.Open(), 0);
        EXPECT_EQ(plain.zip.nGetNbFichiers(), static_cast<int>(c.names.size()));
        Reader strict(ziptest::Build(a));
        strict.zip.SetNomsUniques(1);
        EXPECT_EQ(strict.Open(), c.unique);
        EXPECT_EQ(strict.zip.nGetNbFichiers(), c.unique == 0 ? static_cast<int>(c.names.size()) : 0);
    }

    // The cap is read from the end record, before the directory.
    Archive five;
    for (const char* n : {"1", "2", "3", "4", "5"})
        five.entries.push_back(Make(n, n, 0));
    Reader capped(ziptest::Build(five));
    capped.zip.SetMaxEntrees(4);
    EXPECT_EQ(capped.Open(), 31);
    EXPECT_EQ(capped.zip.nGetNbFichiers(), 0);
    capped.zip.SetMaxEntrees(5);
    EXPECT_EQ(capped.Open(), 0);  // kept across openings, and 5 is allowed
    EXPECT_EQ(capped.zip.nGetNbFichiers(), 5);
}

TEST_F(WinZipReader, ManyNamesEqualButForCaseStayInOrder)
{
    // Every spelling of one name ignoring case, in one chain of the index
    // and of the facade's directory.
    Archive a;
    const std::string base = "abcdefghijkl";
    for (unsigned m = 0; m < 4096; ++m) {
        std::string n = base;
        for (unsigned b = 0; b < base.size(); ++b)
            if (m & (1u << b))
                n[b] = static_cast<char>(n[b] - 'a' + 'A');
        a.entries.push_back(Make(n, std::to_string(m), 0));
    }
    Reader r(ziptest::Build(a));
    r.zip.SetNomsUniques(1);
    ASSERT_EQ(r.Open(), 0);
    ASSERT_EQ(r.zip.LocateFile(L"ABCDEFGHIJKL", 1), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 4096u);
    ASSERT_EQ(r.zip.LocateFile(L"Abcdefghijkl", 1), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 2u);
    ASSERT_EQ(r.zip.LocateFile(L"ABCDEFGHIJKl", 0), 0);
    EXPECT_EQ(r.zip.nGetCurrentFile(), 1u);  // no exact one: the first ignoring case
}

TEST_F(WinZipReader, LocalHeaderChecks)
{
    struct Case
    {
        const char* what;
        void (*change)(Entry&);
        int result;
    };
    const Case cases[] = {
        {"local name differs in case only", [](Entry& e) { e.localName = "DATA.BIN"; }, 0},
        {"local name differs", [](Entry& e) { e.localName = "data.bix"; }, 3},
        {"local name length differs", [](Entry& e) { e.localName = "data.bin2"; }, 3},
        {"method differs", [](Entry& e) { e.localMethod = 0; }, 3},
        {"unknown method", [](Entry& e) { e.method = 12, e.payload = "xxxx"; }, 3},
        {"CRC differs", [](Entry& e) { e.localCrc = 1; }, 3},
        {"CRC differs with a descriptor", [](Entry& e) { e.localCrc = 1, e.localFlags = 8; }, 0},
        {"compressed size differs", [](Entry& e) { e.localCompressed = 5; }, 3},
        {"uncompressed size differs", [](Entry& e) { e.localUncompressed = 5; }, 3},
        {"local header outside the file", [](Entry& e) { e.centralOffset = 0x7FFFFFFF; }, 5},
        {"no local header there", [](Entry& e) { e.centralOffset = 5; }, 3},
        {"data past the end of the file", [](Entry& e) { e.centralCompressed = 0x10000000, e.localCompressed = 0x10000000; }, 3},
    };
    for (const Case& c : cases) {
        Archive a;
        Entry e = Make("data.bin", ziptest::Text(5000));
        c.change(e);
        a.entries = {e};
        Reader r(ziptest::Build(a));
        ASSERT_EQ(r.Open(), 0) << c.what;
        ASSERT_EQ(r.zip.FirstFile(), 0);
        EXPECT_EQ(r.zip.OpenCurrentFileInZip(), c.result) << c.what;
    }
}

TEST_F(WinZipReader, DataFaults)
{
    // A stored entry altered after its CRC was taken: read whole, then 13.
    Archive a;
    Entry stored = Make("s", "original data", 0);
    stored.centralCrc = stored.localCrc = ziptest::Crc("other");
    a.entries = {stored};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    ASSERT_EQ(r.zip.FirstFile(), 0);
    int open = -1, close = -1;
    bool ok = false;
    EXPECT_EQ(r.ReadCurrent(&open, &close, &ok), "original data");
    EXPECT_TRUE(ok);
    EXPECT_EQ(close, 13);

    // Deflated data cut short: the read fails, never loops.
    Archive t;
    Entry cut = Make("c", ziptest::Text(100000));
    cut.payload = ziptest::RawDeflate(cut.data).substr(0, 2000);
    t.entries = {cut};
    Reader rc(ziptest::Build(t));
    ASSERT_EQ(rc.Open(), 0);
    ASSERT_EQ(rc.zip.FirstFile(), 0);
    rc.ReadCurrent(&open, &close, &ok);
    EXPECT_EQ(open, 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(close, 0);  // closed early: not checked

    // Data that inflates to more than the entry says: cut at its size, and
    // the CRC of the whole data then fails the close.
    Archive m;
    Entry more = Make("m", ziptest::Text(10000));
    more.centralUncompressed = more.localUncompressed = 4000;
    m.entries = {more};
    Reader rm(ziptest::Build(m));
    ASSERT_EQ(rm.Open(), 0);
    ASSERT_EQ(rm.zip.FirstFile(), 0);
    EXPECT_EQ(rm.ReadCurrent(&open, &close, &ok).size(), 4000u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(close, 13);

    // Invalid deflate data.
    Archive g;
    Entry garbage = Make("g", "whatever");
    garbage.payload = std::string(50, '\xFF');
    g.entries = {garbage};
    Reader rg(ziptest::Build(g));
    ASSERT_EQ(rg.Open(), 0);
    ASSERT_EQ(rg.zip.FirstFile(), 0);
    rg.ReadCurrent(&open, &close, &ok);
    EXPECT_FALSE(ok);
}

TEST_F(WinZipReader, TraditionalEncryption)
{
    const std::string text = ziptest::Text(40000, 9);
    Archive a;
    Entry plain = Make("p", text);
    plain.password = "s3cret";
    Entry described = Make("d", text, 0);
    described.password = "s3cret";
    described.descriptor = true;  // the check byte is the time's high byte
    a.entries = {plain, described};
    Reader r(ziptest::Build(a));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_EQ(r.zip.pstGetFichier(0)->bEncrypted, 1u);
    ASSERT_TRUE(r.zip.bSetPassword(L"s3cret"));
    EXPECT_EQ(r.Read(L"p"), text);
    EXPECT_EQ(r.Read(L"d"), text);

    // A wrong password: the check byte of the chosen header differs.
    ASSERT_TRUE(r.zip.bSetPassword(L"wrong"));
    ASSERT_EQ(r.zip.LocateFile(L"p", 1), 0);
    EXPECT_EQ(r.zip.OpenCurrentFileInZip(), 14);
    EXPECT_FALSE(r.zip.bSetPassword(L"bad\U0000FFFF\xFFFFFFFF"));
    EXPECT_STREQ(r.zip.pszGetPassword(), L"");

    // A check byte that is wrong whatever the password.
    Archive w;
    Entry wrongCheck = Make("w", "x");
    wrongCheck.password = "pw";
    wrongCheck.checkByte = static_cast<unsigned char>(ziptest::Crc("x") >> 24) ^ 1;
    w.entries = {wrongCheck};
    Reader rw(ziptest::Build(w));
    ASSERT_EQ(rw.Open(), 0);
    rw.zip.bSetPassword(L"pw");
    ASSERT_EQ(rw.zip.FirstFile(), 0);
    EXPECT_EQ(rw.zip.OpenCurrentFileInZip(), 14);

    // An encrypted entry too short for its 12-byte header is refused.
    Archive s;
    Entry shortEntry = Make("s", "", 0);
    shortEntry.password = "pw";
    shortEntry.centralCompressed = 11;
    s.entries = {shortEntry};
    Reader rs(ziptest::Build(s));
    EXPECT_EQ(rs.Open(), 3);
}

TEST_F(WinZipReader, VolumeExtensions)
{
    Reader r(ziptest::Build(Archive{}));
    ASSERT_EQ(r.Open(), 0);
    EXPECT_STREQ(r.zip.CurrentFile_szExtZip(0xFFFFFFFF), L".zip");
    EXPECT_STREQ(r.zip.CurrentFile_szExtZip(0), L".zip");
    EXPECT_STREQ(r.zip.CurrentFile_szExtZip(4), L".zip");
}

}  // namespace
