// The profile calls on 8-bit names: the reader, the writer, where they
// differ, and both file encodings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/system/profile_file.h"
#include "tests/common/system/profile_fixture.h"

namespace {

using vxtest::kMark;
using vxtest::Utf16;

class ProfileAnsi : public vxtest::ProfileDirectory
{
protected:
    // Reads with a default of "<default>" into a buffer of the given size.
    std::string Read(const char* pszSection, const char* pszKey, unsigned nSize = 64, unsigned* pnResult = nullptr)
    {
        std::string sBuffer(nSize + 1, '#');
        const unsigned n =
            GetPrivateProfileStringA(pszSection, pszKey, "<default>", sBuffer.data(), nSize, Path("p.ini").c_str());
        if (pnResult) *pnResult = n;
        EXPECT_EQ('#', sBuffer[nSize]) << "written past the size";
        EXPECT_EQ(n, std::strlen(sBuffer.c_str()));
        return sBuffer.c_str();
    }
    bool Write(const char* pszSection, const char* pszKey, const char* pszValue)
    {
        return WritePrivateProfileStringA(pszSection, pszKey, pszValue, Path("p.ini").c_str()) != 0;
    }
};

TEST_F(ProfileAnsi, ReadsKeys)
{
    struct Case
    {
        const char* pszFile;
        const char* pszSection;
        const char* pszKey;
        const char* pszExpected;
    } aCases[] = {
        // Names without regard to case, the CR cut, no blanks.
        {"[DEFAULT]\nBINPATH=/opt/rt/\r\n", "default", "binpath", "/opt/rt/"},
        // Blanks after '=' skipped, trailing blanks kept.
        {"[s]\nkey   =   value  \n", "s", "key", "value  "},
        {"[s]\nkey\t=\tv\n", "s", "key", "v"},
        // Leading blanks before the header and the key.
        {"  [Sec]\n   k=1\n", "Sec", "k", "1"},
        // The key's name must end at '=', a blank or a tab.
        {"[s]\nkeyx=1\nkey=2\n", "s", "key", "2"},
        {"[s]\nk\n", "s", "k", "<default>"},
        // An '=' beyond the line's CR is not the line's.
        {"[s]\nk \r=x\n", "s", "k", "<default>"},
        // The section ends at the next header; a later one is not looked at.
        {"[a]\nx=1\n[b]\ny=2\n[a]\ny=3\n", "a", "y", "<default>"},
        {"[a]\n[ab]\nk=2\n", "a", "k", "<default>"},
        {"[ab]\nk=2\n", "a", "k", "<default>"},
        // Lines starting with ':' are skipped.
        {"[s]\n:k=1\n", "s", ":k", "<default>"},
        {"[s]\n  :k=1\nk=2\n", "s", "k", "2"},
        // The first of two equal keys.
        {"[s]\nname = x\nName = y\n", "s", "NAME", "x"},
        // Without a final LF.
        {"[s]\nk=last", "s", "k", "last"},
        // Characters of code page 1252 pass unchanged.
        {"[s]\nk=caf\xE9 \x80\n", "s", "k", "caf\xE9 \x80"},
        {"", "s", "k", "<default>"},
    };
    for (const Case& c : aCases) {
        Put(Path("p.ini"), c.pszFile);
        EXPECT_EQ(c.pszExpected, Read(c.pszSection, c.pszKey)) << c.pszFile;
    }
}

TEST_F(ProfileAnsi, EmptyValueIsFoundAndBeatsTheDefault)
{
    Put(Path("p.ini"), "[s]\nk=\r\n");
    unsigned n = 99;
    EXPECT_EQ("", Read("s", "k", 64, &n));
    EXPECT_EQ(0u, n);
}

TEST_F(ProfileAnsi, ValuesAndDefaultsAreCutToTheBuffer)
{
    Put(Path("p.ini"), "[s]\nk=0123456789\n");
    unsigned n = 0;
    EXPECT_EQ("0123", Read("s", "k", 5, &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ("<def", Read("s", "missing", 5, &n));
    EXPECT_EQ(4u, n);
}

TEST_F(ProfileAnsi, MissingFileGivesTheDefaultOrLeavesTheBuffer)
{
    char sz[8] = "xyz";
    EXPECT_EQ(0u, GetPrivateProfileStringA("s", "k", nullptr, sz, sizeof sz, Path("none.ini").c_str()));
    EXPECT_STREQ("xyz", sz);
    EXPECT_EQ(1u, GetPrivateProfileStringA("s", "k", "d", sz, sizeof sz, Path("none.ini").c_str()));
    EXPECT_STREQ("d", sz);
    // The file opens: a null default leaves the buffer empty.
    Put(Path("p.ini"), "[s]\n");
    std::strcpy(sz, "xyz");
    EXPECT_EQ(0u, GetPrivateProfileStringA("s", "k", nullptr, sz, sizeof sz, Path("p.ini").c_str()));
    EXPECT_STREQ("", sz);
}

TEST_F(ProfileAnsi, ListsSectionsAndKeysEachEndedByCrLf)
{
    Put(Path("p.ini"), "[a]\n  [b] trailing\n[c\n");
    unsigned n = 0;
    EXPECT_EQ("a\r\nb\r\n", Read(nullptr, "k", 64, &n));
    EXPECT_EQ(6u, n);
    EXPECT_EQ("a\r\nb\r\n", Read("", "k", 64, &n));

    Put(Path("p.ini"), "[s]\nx = 1\ny=2\n:z=3\nnoequal\n\n  w\t=4\n[t]\nq=5\n");
    EXPECT_EQ("x\r\ny\r\nw\r\n", Read("s", nullptr, 64, &n));
    EXPECT_EQ(9u, n);
    EXPECT_EQ("x\r\ny\r\nw\r\n", Read("s", "", 64));

    // Full buffers: names are cut, never overflow, and the key listing
    // stops once no room is left.
    Put(Path("p.ini"), "[alpha]\n[beta]\n");
    EXPECT_EQ("alpha\r\n", Read(nullptr, nullptr, 8, &n));
    EXPECT_EQ(7u, n);
    EXPECT_EQ("alpha\r", Read(nullptr, nullptr, 7));
    Put(Path("p.ini"), "[s]\nalpha=1\nbeta=2\n");
    EXPECT_EQ("alpha\r\nb", Read("s", nullptr, 9));
    EXPECT_EQ("alpha\r\n", Read("s", nullptr, 8));

    // An empty listing gives the default.
    Put(Path("p.ini"), "[s]\n");
    EXPECT_EQ("<default>", Read("s", nullptr));
}

TEST_F(ProfileAnsi, WritesIntoANewFileAsEightBitText)
{
    EXPECT_TRUE(Write("S", "k", "v"));
    EXPECT_EQ("[S]\nk = v\n", Get(Path("p.ini")));
    EXPECT_TRUE(Write("S", "e", ""));
    EXPECT_EQ("[S]\nk = v\ne = \n", Get(Path("p.ini")));
    EXPECT_EQ("", Read("S", "e"));
    EXPECT_TRUE(Write("T", "x", "caf\xE9"));
    EXPECT_EQ("[S]\nk = v\ne = \n[T]\nx = caf\xE9\n", Get(Path("p.ini")));
    EXPECT_EQ("caf\xE9", Read("t", "X"));
    // A key deleted from a missing section: nothing to delete.
    EXPECT_TRUE(Write("U", nullptr, nullptr));
    EXPECT_EQ("[S]\nk = v\ne = \n[T]\nx = caf\xE9\n", Get(Path("p.ini")));
}

TEST_F(ProfileAnsi, ReplacesDeletesAndInserts)
{
    struct Case
    {
        const char* pszBefore;
        const char* pszSection;
        const char* pszKey;
        const char* pszValue;
        const char* pszAfter;
    } aCases[] = {
        // Replaced in place, the tail kept, longer or shorter.
        {"[s]\na = 1\nb = 2\n[t]\nc=3\n", "s", "a", "long value", "[s]\na = long value\nb = 2\n[t]\nc=3\n"},
        {"[s]\na = long value\nb = 2\n", "s", "a", "1", "[s]\na = 1\nb = 2\n"},
        {"[s]\nlast=1", "s", "last", "2", "[s]\nlast = 2\n"},
        // Appended text never runs into a last line without its LF.
        {"[s]\nx=1", "s", "k", "v", "[s]\nx=1\nk = v\n"},
        {"[s]\nx=1\r", "t", "k", "v", "[s]\nx=1\r\n[t]\nk = v\n"},
        {"[s]\nk\t= old\r\n", "S", "k", "new", "[s]\nk = new\n"},
        // A null value deletes the key's line.
        {"[s]\na=1\nb=2\n", "s", "a", nullptr, "[s]\nb=2\n"},
        {"[s]\na=1\n", "s", "zz", nullptr, "[s]\na=1\n"},
        // A null key deletes the section up to the next header.
        {"[a]\nx=1\n\n[b]\ny=2\n", "a", nullptr, nullptr, "[b]\ny=2\n"},
        {"[a]\nx=1\n[b]\ny=2\n", "B", nullptr, nullptr, "[a]\nx=1\n"},
        // A new key goes before the first blank line or header after the
        // header, even when keys of the section follow the blank line.
        {"[s]\na=1\n\nb=2\n", "s", "b", "3", "[s]\na=1\nb = 3\n\nb=2\n"},
        {"[s]\na=1\r\n\r\n", "s", "c", "3", "[s]\na=1\r\nc = 3\n\r\n"},
        {"[s]\na=1\n[t]\n", "s", "c", "3", "[s]\na=1\nc = 3\n[t]\n"},
        {"[s]\na=1\n", "s", "c", "3", "[s]\na=1\nc = 3\n"},
        {"x=0\n", "s", "c", "3", "x=0\n[s]\nc = 3\n"},
        // Only the first matching header and key line are touched.
        {"[s]\nk=1\nk=2\n[s]\nk=3\n", "s", "k", "9", "[s]\nk = 9\nk=2\n[s]\nk=3\n"},
    };
    for (const Case& c : aCases) {
        Put(Path("p.ini"), c.pszBefore);
        EXPECT_TRUE(Write(c.pszSection, c.pszKey, c.pszValue)) << c.pszBefore;
        EXPECT_EQ(c.pszAfter, Get(Path("p.ini"))) << c.pszBefore;
    }
}

// The writer looks at column 0 and compares key names with regard to case;
// it does not skip ':' lines. The reader does all three the other way.
TEST_F(ProfileAnsi, WriterAndReaderDiffer)
{
    Put(Path("p.ini"), "  [Sec]\nk=1\n");
    EXPECT_EQ("1", Read("Sec", "k"));
    EXPECT_TRUE(Write("Sec", "k", "2"));
    EXPECT_EQ("  [Sec]\nk=1\n[Sec]\nk = 2\n", Get(Path("p.ini")));
    EXPECT_EQ("1", Read("Sec", "k"));

    Put(Path("p.ini"), "[s]\nname = x\n");
    EXPECT_TRUE(Write("s", "Name", "y"));
    EXPECT_EQ("[s]\nname = x\nName = y\n", Get(Path("p.ini")));
    EXPECT_EQ("x", Read("s", "name"));
    EXPECT_EQ("x", Read("s", "Name"));

    Put(Path("p.ini"), "[s]\n:z=3\n");
    EXPECT_EQ("<default>", Read("s", ":z"));
    EXPECT_TRUE(Write("s", ":z", "4"));
    EXPECT_EQ("[s]\n:z = 4\n", Get(Path("p.ini")));

    Put(Path("p.ini"), "[s]\n  k=1\n");
    EXPECT_TRUE(Write("s", "k", "2"));
    EXPECT_EQ("[s]\n  k=1\nk = 2\n", Get(Path("p.ini")));
    EXPECT_EQ("1", Read("s", "k"));
}

// Empty names would leave a broken header or an orphan " = value" line; the
// file is left as it was.
TEST_F(ProfileAnsi, EmptyNamesAreRefused)
{
    Put(Path("p.ini"), "[s]\nfirst=1\n");
    EXPECT_FALSE(Write("s", "", "v"));
    EXPECT_FALSE(Write("", "k", "v"));
    EXPECT_FALSE(Write(nullptr, "k", "v"));
    EXPECT_FALSE(Write("new", "", "v"));
    EXPECT_EQ("[s]\nfirst=1\n", Get(Path("p.ini")));
}

TEST_F(ProfileAnsi, WriteFailsWhereNoFileCanBeMade)
{
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", Path("no/such/dir.ini").c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", nullptr));
    // A name too long for the 260-character limit is not cut into another.
    const std::string sLong = m_sDir + "/" + std::string(300, 'n');
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", sLong.c_str()));
    char sz[4] = "old";
    EXPECT_EQ(0u, GetPrivateProfileStringA("s", "k", nullptr, sz, sizeof sz, sLong.c_str()));
    EXPECT_STREQ("old", sz);
}

// A UTF-16 file stays UTF-16: its mark is kept, every unit written is
// two bytes, and 8-bit texts cross through code page 1252.
TEST_F(ProfileAnsi, Utf16FileRoundTrip)
{
    Put(Path("p.ini"), kMark + Utf16(L"[S]\r\nold = 1\r\n\r\n[T]\r\nx=\u20ac\r\n"));
    EXPECT_EQ("1", Read("s", "OLD"));
    EXPECT_EQ("\x80", Read("T", "x"));
    EXPECT_EQ("S\r\nT\r\n", Read(nullptr, nullptr));
    EXPECT_EQ("old\r\n", Read("S", nullptr));

    EXPECT_TRUE(Write("S", "k", "caf\xE9"));
    EXPECT_TRUE(Write("S", "old", "2"));
    EXPECT_TRUE(Write("N", "n", "\x80"));
    EXPECT_EQ(kMark + Utf16(L"[S]\r\nold = 2\nk = caf\u00e9\n\r\n[T]\r\nx=\u20ac\r\n[N]\nn = \u20ac\n"),
              Get(Path("p.ini")));
    EXPECT_EQ("caf\xE9", Read("S", "k"));

    // Deleting the first section keeps the mark.
    EXPECT_TRUE(Write("S", nullptr, nullptr));
    EXPECT_EQ(kMark + Utf16(L"[T]\r\nx=\u20ac\r\n[N]\nn = \u20ac\n"), Get(Path("p.ini")));

    // A mark alone: the file's lines start after it.
    Put(Path("p.ini"), kMark);
    EXPECT_TRUE(Write("S", "k", "v"));
    EXPECT_EQ(kMark + Utf16(L"[S]\nk = v\n"), Get(Path("p.ini")));
    Put(Path("p.ini"), kMark + Utf16(L"[S]"));
    EXPECT_TRUE(Write("S", "k", "v"));
    EXPECT_EQ(kMark + Utf16(L"[S]\nk = v\n"), Get(Path("p.ini")));
}

TEST_F(ProfileAnsi, EightBitFileRoundTrip)
{
    const char* aValues[] = {"plain", "  lead and trail  ", "caf\xE9 \x80\xFF", "a=b=c", "[not a header]"};
    for (const char* pszValue : aValues)
        EXPECT_TRUE(Write("sec", "key", pszValue)) << pszValue;
    EXPECT_EQ("[sec]\nkey = [not a header]\n", Get(Path("p.ini")));
    for (const char* pszValue : aValues) {
        EXPECT_TRUE(Write("sec", "key", pszValue));
        // Leading blanks of a value are not kept by the reader.
        const char* pszExpected = pszValue[0] == ' ' ? "lead and trail  " : pszValue;
        EXPECT_EQ(pszExpected, Read("sec", "key"));
    }
}

}  // namespace
