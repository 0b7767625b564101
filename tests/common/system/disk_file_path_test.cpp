// Path and file-name functions of the file layer.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/make_path.h"
#include "common/text/ct_string.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::ScratchDirectory;
using vxtest::WideName;

constexpr size_t N = XFILE_PATH_CHARS;

TEST(DiskFilePath, SlashConversionInEveryForm)
{
    wchar_t w[] = L"a\\b/c\\";
    EXPECT_STREQ(L"a/b/c/", CDiskFile::pszBackSlash2Slash(w));
    EXPECT_STREQ(L"a\\b\\c\\", CDiskFile::pszSlash2BackSlash(w));
    char a[] = "x\\y";
    EXPECT_STREQ("x/y", CDiskFile::pszBackSlash2Slash(a));
    EXPECT_EQ(nullptr, CDiskFile::pszBackSlash2Slash(static_cast<wchar_t*>(nullptr)));

    // The runtime string changes its own copy: a sharer keeps the old text.
    CXYString<wchar_t> s(L"d\\e");
    CXYString<wchar_t> sharer(s);
    EXPECT_STREQ(L"d/e", CDiskFile::pszBackSlash2Slash(s));
    EXPECT_STREQ(L"d\\e", sharer.pszGet());
    CTString t(L"f\\g");
    EXPECT_STREQ(L"f/g", CDiskFile::pszBackSlash2Slash(t));
    EXPECT_STREQ(L"f\\g", CDiskFile::pszSlash2BackSlash(t));
}

TEST(DiskFilePath, EndSlashes)
{
    wchar_t w[N] = L"a\\b";
    CDiskFile::DirectoryWithEndSlash(w);
    EXPECT_STREQ(L"a/b/", w);
    CDiskFile::DirectoryWithEndSlash(w);
    EXPECT_STREQ(L"a/b/", w);
    wchar_t empty[N] = L"";
    CDiskFile::DirectoryWithEndSlash(empty);
    EXPECT_STREQ(L"", empty);
    // No room for the slash: left as it is rather than written past the end.
    wchar_t full[4] = L"abc";
    CDiskFile::DirectoryWithEndSlash(full, 4);
    EXPECT_STREQ(L"abc", full);

    // The buffer form removes every trailing slash, the string forms one.
    wchar_t trailing[N] = L"a//\\";
    CDiskFile::DirectoryWithoutEndSlash(trailing);
    EXPECT_STREQ(L"a", trailing);
    CXYString<wchar_t> s(L"a//");
    CDiskFile::DirectoryWithoutEndSlash(s);
    EXPECT_STREQ(L"a/", s.pszGet());
    CTString t(L"a//");
    CDiskFile::DirectoryWithoutEndSlash(t);
    EXPECT_STREQ(L"a/", t.pszGet());
    CDiskFile::DirectoryWithEndSlash(s);
    EXPECT_STREQ(L"a/", s.pszGet());
    CXYString<wchar_t> bare(L"dir");
    CDiskFile::DirectoryWithEndSlash(bare);
    EXPECT_STREQ(L"dir/", bare.pszGet());
}

TEST(DiskFilePath, NamesAndExtensions)
{
    struct Case
    {
        const wchar_t* pszPath;
        const wchar_t* pszFileName;
        const wchar_t* pszExtension;
        const wchar_t* pszWithoutExtension;
    } aCases[] = {
        {L"/lib/libx.so.1", L"libx.so.1", L".1", L"/lib/libx.so"},
        {L"c:\\dir\\f.txt", L"f.txt", L".txt", L"c:/dir/f"},
        {L"c:f.txt", L"f.txt", L".txt", L"c:f"},
        {L"dir.old/file", L"file", L"", L"dir.old/file"},
        {L"name.", L"name.", L".", L"name"},
        {L"dir/", L"", L"", L"dir/"},
        {L"plain", L"plain", L"", L"plain"},
    };
    for (const Case& c : aCases) {
        EXPECT_STREQ(c.pszFileName, CDiskFile::pszGetPtrToFileName(c.pszPath)) << c.pszPath;
        EXPECT_STREQ(c.pszExtension, CDiskFile::pszGetPtrToExtension(c.pszPath)) << c.pszPath;
        wchar_t w[N];
        wcscpy(w, c.pszPath);
        CDiskFile::DelExtension(w);
        EXPECT_STREQ(c.pszWithoutExtension, w) << c.pszPath;
    }
    EXPECT_EQ(nullptr, CDiskFile::pszGetPtrToExtension(static_cast<const wchar_t*>(nullptr)));

    CXYString<wchar_t> s(L"a.b/c.d");
    CDiskFile::DelExtension(s);
    EXPECT_STREQ(L"a.b/c", s.pszGet());
}

TEST(DiskFilePath, ChangeExtension)
{
    struct Case
    {
        const wchar_t* pszPath;
        const wchar_t* pszExt;
        const wchar_t* pszResult;
    } aCases[] = {
        {L"dir.old/file", L"txt", L"dir.old/file.txt"},
        {L"a.b", L".c", L"a.c"},
        {L"a.b", L"c", L"a.c"},
        {L"a", L".c", L"a.c"},
        {L"a.", L"c", L"a.c"},
        {L"d\\x.y", L"z", L"d/x.z"},
    };
    for (const Case& c : aCases) {
        wchar_t w[N];
        wcscpy(w, c.pszPath);
        CDiskFile::ChangeExtension(w, N, c.pszExt);
        EXPECT_STREQ(c.pszResult, w) << c.pszPath << L" " << c.pszExt;
        CXYString<wchar_t> s(c.pszPath);
        CDiskFile::ChangeExtension(s, c.pszExt);
        EXPECT_STREQ(c.pszResult, s.pszGet()) << c.pszPath << L" " << c.pszExt;
    }
    // Bounded by the size: no '.' when it leaves no room, the extension cut.
    wchar_t small[4] = L"abc";
    CDiskFile::ChangeExtension(small, 4, L"txt");
    EXPECT_STREQ(L"abc", small);
    wchar_t cut[6] = L"ab";
    CDiskFile::ChangeExtension(cut, 6, L"txt");
    EXPECT_STREQ(L"ab.tx", cut);
}

TEST(DiskFilePath, MakePathAndSplitPath)
{
    wchar_t w[N];
    makepath(w, nullptr, L"/usr/lib", L"libx", L"so");
    EXPECT_STREQ(L"/usr/lib/libx.so", w);
    makepath(w, nullptr, L"/usr/lib/", L"libx", L".so");
    EXPECT_STREQ(L"/usr/lib/libx.so", w);
    makepath(w, nullptr, L"/usr/lib", L"", L"so");
    EXPECT_STREQ(L"/usr/lib/", w);
    makepath(w, nullptr, nullptr, L"f", nullptr);
    EXPECT_STREQ(L"f", w);
    CDiskFile::MakePath(w, L"a\\b", L"c", L"d");
    EXPECT_STREQ(L"a/b/c.d", w);
    // A path that does not fit is not cut into another name.
    const std::wstring sLong(300, L'x');
    CDiskFile::MakePath(w, L"/dir", sLong.c_str(), L"txt");
    EXPECT_STREQ(L"", w);
    wchar_t tiny[8];
    makepath(tiny, nullptr, L"/dir", L"file", L"txt", 8);
    EXPECT_STREQ(L"", tiny);

    struct Case
    {
        const wchar_t* pszPath;
        const wchar_t* pszDir;
        const wchar_t* pszName;
        const wchar_t* pszExt;
    } aCases[] = {
        {L"/lib/libx.so.1", L"/lib/", L"libx.so", L".1"},
        {L"bare", L"", L"bare", L""},
        {L"/root", L"/", L"root", L""},
        {L"a\\b\\c.txt", L"a/b/", L"c", L".txt"},
        {L"dir/", L"dir/", L"", L""},
    };
    for (const Case& c : aCases) {
        wchar_t d[N], n[N], e[N], f[N];
        CDiskFile::__SplitPath<wchar_t>(c.pszPath, d, n, e);
        EXPECT_STREQ(c.pszDir, d) << c.pszPath;
        EXPECT_STREQ(c.pszName, n) << c.pszPath;
        EXPECT_STREQ(c.pszExt, e) << c.pszPath;
        CDiskFile::__SplitPath<wchar_t>(c.pszPath, nullptr, f);
        EXPECT_EQ(std::wstring(c.pszName) + c.pszExt, f) << c.pszPath;
    }
    // Outputs are optional; a part too long for its buffer is left empty.
    wchar_t n[N];
    const std::wstring sPath = L"/" + sLong + L"/f.c";
    wchar_t d[N] = L"sentinel";
    CDiskFile::__SplitPath<wchar_t>(sPath.c_str(), d, n, nullptr);
    EXPECT_STREQ(L"", d);
    EXPECT_STREQ(L"f", n);
}

TEST(DiskFilePath, WildcardMatching)
{
    struct Case
    {
        const wchar_t* pszName;
        const wchar_t* pszPattern;
        bool bMatch;
    } aCases[] = {
        {L"report.txt", L"*.txt", true},     {L"report.txt", L"re?ort.*", true},
        {L"report.txt", L"*.TXT", false},    {L"report.txt", L"*", true},
        {L"report.txt", L"**.t?t", true},    {L"report.txt", L"*.tx", false},
        {L"a.tmp.bak", L"*.tmp", false},     {L"abcbcd", L"a*bcd", true},
        {L"ab", L"a?", true},                {L"a", L"a?", false},
        {L"", L"*", true},                   {L"", L"?", false},
        {L"x", L"", false},                  {L"mississippi", L"*sip*", true},
        {L"mississippi", L"m*?ss*p?i", true}, {L"abc", L"abc*", true},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(c.bMatch, CDiskFile::_bFiltreFileName(c.pszName, c.pszPattern))
            << c.pszName << L" ~ " << c.pszPattern;
}

TEST(DiskFilePath, NameTests)
{
    EXPECT_TRUE(CDiskFile::bIsRelativePath(L"./a"));
    EXPECT_FALSE(CDiskFile::bIsRelativePath(L"a"));
    EXPECT_TRUE(CDiskFile::bIsRelativeFileName(L""));
    EXPECT_TRUE(CDiskFile::bIsRelativeFileName(L"a/b"));
    EXPECT_FALSE(CDiskFile::bIsRelativeFileName(L"/a"));
    EXPECT_TRUE(CDiskFile::bIsRelativeFileName_WIN32(L""));
    EXPECT_FALSE(CDiskFile::bIsRelativeFileName_WIN32(L"\\x"));
    EXPECT_FALSE(CDiskFile::bIsRelativeFileName_WIN32(L"c:x"));
    EXPECT_FALSE(CDiskFile::bIsRelativeFileName_WIN32(L"LPT1:"));
    EXPECT_TRUE(CDiskFile::bIsRelativeFileName_WIN32(L"dir\\x"));
    EXPECT_TRUE(CDiskFile::bUNCName(L"\\\\server\\share"));
    EXPECT_FALSE(CDiskFile::bUNCName(L"\\\\server"));
    EXPECT_TRUE(CDiskFile::bUNCNameA("\\\\server\\share"));
    EXPECT_FALSE(CDiskFile::bUNCNameA("\\server\\share"));
    EXPECT_TRUE(CDiskFile::bIsAVirtualDirectory(L"."));
    EXPECT_TRUE(CDiskFile::bIsAVirtualDirectory(L".."));
    EXPECT_FALSE(CDiskFile::bIsAVirtualDirectory(L"..."));
    EXPECT_TRUE(CDiskFile::bValidName(L"file name.txt"));
    for (const wchar_t* psz : {L"a\\b", L"a/b", L"a:b", L"a*", L"a?", L"a\"", L"a<", L"a>", L"a|"})
        EXPECT_FALSE(CDiskFile::bValidName(psz)) << psz;
}

TEST(DiskFilePath, ComparisonsAreOfStandardisedTexts)
{
    EXPECT_TRUE(CDiskFile::bSameFileName(L"a\\b.txt  ", L"a/b.txt"));
    EXPECT_FALSE(CDiskFile::bSameFileName(L"a/B.txt", L"a/b.txt"));
    EXPECT_FALSE(CDiskFile::bSameFileName(L"a", L"./a")) << "texts, not files";
    EXPECT_TRUE(CDiskFile::bSameDirectoryName(L"a/b/", L"a\\b"));
    EXPECT_FALSE(CDiskFile::bSameDirectoryName(L"a/b//", L"a/b"));
}

TEST(DiskFilePath, SimplifyPath)
{
    struct Case
    {
        const wchar_t* pszIn;
        const wchar_t* pszOut;
    } aCases[] = {
        {L"/a/b/../c", L"/a/c"},     {L"a/b/../c", L"a/c"},           {L"/a/./b/./c", L"/a/b/c"},
        {L"../../x", L"../../x"},    {L"x/../../y", L"x/../../y"},    {L"/a/b/c/../../d", L"/a/d"},
        {L"/../y", L"/../y"},        {L"a/./../b", L"a/../b"},
    };
    for (const Case& c : aCases) {
        wchar_t w[N];
        wcscpy(w, c.pszIn);
        CDiskFile::SimplifyPath(w);
        EXPECT_STREQ(c.pszOut, w) << c.pszIn;
    }
}

TEST(DiskFilePath, RelativePathTo)
{
    wchar_t w[N];
    EXPECT_TRUE(CDiskFile::bPathRelativePathTo(w, L"/a/b/c/f", L"/a/x", 0));
    EXPECT_STREQ(L"../b/c/f", w);
    EXPECT_TRUE(CDiskFile::bPathRelativePathTo(w, L"/a/b/c/f", L"/a/b", 0));
    EXPECT_STREQ(L"./c/f", w);
    EXPECT_TRUE(CDiskFile::bPathRelativePathTo(w, L"\\a\\b", L"", 0));
    EXPECT_STREQ(L"/a/b", w);
    EXPECT_TRUE(CDiskFile::bPathRelativePathTo(w, L"/q/r", L"/a/b", 0));
    EXPECT_STREQ(L"../../q/r", w);
    EXPECT_FALSE(CDiskFile::bPathRelativePathTo(w, L"q/r", L"a/b", 1)) << "nothing shared";
    EXPECT_TRUE(CDiskFile::bPathRelativePathTo(w, L"q/r", L"a/b", 0));
    EXPECT_STREQ(L"../../q/r", w);
    const std::wstring sLong = L"/a/" + std::wstring(259, L'x');
    EXPECT_FALSE(CDiskFile::bPathRelativePathTo(w, sLong.c_str(), L"/a", 0)) << "does not fit";
}

TEST(DiskFilePath, RelativeToFullPath)
{
    std::wstring out(CDiskFile::XFILE_RELATIVE_TO_FULL_CHARS, L'\0');
    wchar_t* w = out.data();
    struct Case
    {
        const wchar_t* pszRelative;
        const wchar_t* pszBase;
        int nMode;
        const wchar_t* pszResult;
    } aCases[] = {
        {L".", L"/b/c", 0, L"/b/c"},
        {L"x/y", L"/b/c", 0, L"x/y"},
        {L"x/y", L"/b/c", 1, L"/b/c/x/y"},
        {L"/x", L"/b/c", 1, L"/x"},
        {L"./x", L"/b/c/", 0, L"/b/c/x"},
        {L"../x", L"/b/c/", 0, L"/b/x"},
        {L"../../x", L"/b/c", 0, L"/x"},
        {L"..", L"/b/c", 0, L"/b/"},
        {L"..x/y", L"/b/c", 0, L"/b//y"},  // ".." also matches "..x": three characters go
        {L"..\\x", L"\\b\\c", 0, L"/b/x"},
    };
    for (const Case& c : aCases) {
        ASSERT_TRUE(CDiskFile::bRelativeToFullPath(w, c.pszRelative, c.pszBase, c.nMode)) << c.pszRelative;
        EXPECT_STREQ(c.pszResult, w) << c.pszRelative << L" in " << c.pszBase;
    }
    // "./" allows up to 4097 characters, the other results 260.
    const std::wstring sBase = L"/" + std::wstring(3000, L'b');
    EXPECT_TRUE(CDiskFile::bRelativeToFullPath(w, L"./x", sBase.c_str(), 0));
    EXPECT_EQ(sBase + L"/x", w);
    EXPECT_FALSE(CDiskFile::bRelativeToFullPath(w, L"../x", (sBase + L"/c").c_str(), 0));
    const std::wstring sHuge = L"/" + std::wstring(4100, L'b');
    EXPECT_FALSE(CDiskFile::bRelativeToFullPath(w, L"./x", sHuge.c_str(), 0));
    EXPECT_FALSE(CDiskFile::bRelativeToFullPath(w, L".", sHuge.c_str(), 0));
}

class DiskFileFullPath : public ScratchDirectory
{
};

TEST_F(DiskFileFullPath, NormalisedAgainstTheCurrentDirectory)
{
    wchar_t w[N];
    const std::wstring sDir = WDir();
    struct Case
    {
        std::wstring sName;
        std::wstring sResult;
    } aCases[] = {
        {L"a/./b/../c", sDir + L"/a/c"},
        {L"a\\b", sDir + L"/a/b"},
        {L"/../y", L"/y"},
        {L"/x/./../c", L"/c"},  // a "." component is not what ".." removes
        {L"/x/../../y", L"/y"},
        {L"/a/b/../../../c", L"/c"},
    };
    for (const Case& c : aCases) {
        const unsigned n = CDiskFile::GetFullPathName(c.sName.c_str(), N, w, nullptr);
        EXPECT_EQ(c.sResult, w) << c.sName;
        EXPECT_EQ(c.sResult.size(), n) << c.sName;
    }
    EXPECT_EQ(0u, CDiskFile::GetFullPathName(L"", N, w, nullptr));
}

TEST_F(DiskFileFullPath, HomeDirectory)
{
    const struct passwd* pw = getpwuid(getuid());
    ASSERT_NE(nullptr, pw);
    wchar_t w[N];
    const unsigned n = CDiskFile::GetFullPathName(L"~/doc", N, w, nullptr);
    const std::wstring sExpected = WideName(pw->pw_dir) + L"/doc";
    ASSERT_LT(sExpected.size(), N);
    EXPECT_EQ(sExpected.size(), n);
    EXPECT_EQ(sExpected, w);
    // Too small: the sum home + name + 3 and nothing written.
    wchar_t small[4] = L"abc";
    EXPECT_EQ(std::strlen(pw->pw_dir) + 5 + 3, CDiskFile::GetFullPathName(L"~/doc", 4, small, nullptr));
    EXPECT_STREQ(L"abc", small);
}

// Every branch is bounded: a result that does not fit leaves the buffer
// as it was and gives a needed size above size - 1.
TEST_F(DiskFileFullPath, ResultsThatDoNotFitWriteNothing)
{
    constexpr unsigned kSize = 32;
    struct Guarded
    {
        wchar_t aw[kSize];
        wchar_t awGuard[8];
    } g;
    const auto Reset = [&g] {
        std::wmemset(g.aw, L'#', kSize);
        std::wmemset(g.awGuard, L'!', 8);
    };
    const auto Untouched = [&g] {
        for (wchar_t c : g.aw)
            if (c != L'#')
                return false;
        for (wchar_t c : g.awGuard)
            if (c != L'!')
                return false;
        return true;
    };

    // An absolute name longer than the buffer: its length + 1.
    const std::wstring sAbsolute = L"/" + std::wstring(100, L'a');
    Reset();
    EXPECT_EQ(sAbsolute.size() + 1, CDiskFile::GetFullPathName(sAbsolute.c_str(), kSize, g.aw, nullptr));
    EXPECT_TRUE(Untouched());
    // Exactly the size: no room for the terminator.
    const std::wstring sExact = L"/" + std::wstring(kSize - 1, L'a');
    Reset();
    EXPECT_GT(CDiskFile::GetFullPathName(sExact.c_str(), kSize, g.aw, nullptr), kSize - 1);
    EXPECT_TRUE(Untouched());
    // One less fits.
    const std::wstring sFits = L"/" + std::wstring(kSize - 2, L'a');
    Reset();
    EXPECT_EQ(kSize - 1, CDiskFile::GetFullPathName(sFits.c_str(), kSize, g.aw, nullptr));
    EXPECT_EQ(sFits, g.aw);

    // Relative: the current directory is not written before the length test.
    const unsigned nDir = static_cast<unsigned>(Dir().size());
    const std::wstring sRelative(40, L'r');
    const unsigned nBig = nDir + 10;  // the directory fits, the name does not
    std::wstring big(nBig + 8, L'#');
    EXPECT_EQ(nDir + 40 + 1 + 2, CDiskFile::GetFullPathName(sRelative.c_str(), nBig, big.data(), nullptr));
    EXPECT_EQ(std::wstring(nBig + 8, L'#'), big);
    // The current directory alone is too long: twice the size.
    Reset();
    if (nDir >= kSize) {
        EXPECT_EQ(2 * kSize, CDiskFile::GetFullPathName(L"r", kSize, g.aw, nullptr));
        EXPECT_TRUE(Untouched());
    }
}

TEST(DiskFilePathNoDirectory, StandardizeExistingNameFailsUnequal)
{
    const std::wstring sLong = L"/" + std::wstring(300, L'z');
    EXPECT_FALSE(CDiskFile::bSameDirectoryNameEx(sLong.c_str(), 1, sLong.c_str(), 1))
        << "a name that cannot be made full compares unequal";
    EXPECT_TRUE(CDiskFile::bSameDirectoryNameEx(L"/a/./b/", 1, L"/a/b", 0));
    EXPECT_FALSE(CDiskFile::bSameDirectoryNameEx(L"/a/./b/", 0, L"/a/b", 0));
    wchar_t w[N];
    EXPECT_GT(CDiskFile::bStandardizeExistingFileName(w, N, sLong.c_str()), N - 1);
    EXPECT_TRUE(CDiskFile::bGetLongPathName(w, 4, L"abcdef"));
    EXPECT_STREQ(L"abc", w);
}

TEST(DiskFilePathNoDirectory, PrefixAndStandardise)
{
    wchar_t w[N] = L"x/y";
    CDiskFile::PrefixeCurrentDirectory(w);
    EXPECT_STREQ(L"./x/y", w);
    wchar_t small[4] = L"ab";
    CDiskFile::PrefixeCurrentDirectory(small, 4);
    EXPECT_STREQ(L"ab", small);
    CDiskFile::StandardizeFileName(w, L"a\\b \t ");
    EXPECT_STREQ(L"a/b", w);
    wchar_t cut[5];
    CDiskFile::StandardizeFileName(cut, L"abcdefgh", 5);
    EXPECT_STREQ(L"abcd", cut);
}

}  // namespace
