// The directory's index and its serialised form; the file digest.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/disk_file.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "installer/md5.h"
#include "installer/repertoire.h"
#include "installer/win_zip.h"
#include "tests/host/support/test_environment.h"
#include "tests/installer/support/zip_builder.h"
#include "tests/installer/support/zip_tools.h"

namespace {

using ziptest::Wide;

CRepEntree Entry(const wchar_t* name, uint64_t size, uint64_t compressed = 0)
{
    CRepEntree e;
    const CRepEntree::_stXFILETIME t = {2023, 7, 14, 9, 8, 7, 0};
    e.bConstruit(name, size, compressed, 0x20, t, t, t);
    return e;
}

TEST(Repertoire, IndexPrefersExactNamesAndFollowsReordering)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CRepertoire r;
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"Doc\\A.txt", 1, 1)));
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"", 0)));  // a placeholder
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"doc\\a.txt", 2, 2)));
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"doc\\a.txt", 3, 3)));
    EXPECT_EQ(r.nGetNbEntrees(), 4);
    EXPECT_EQ(r.nGetNbFichiers(), 3);
    EXPECT_EQ(r.lRang(L"doc\\a.txt"), 2);
    EXPECT_EQ(r.lRang(L"DOC\\A.TXT"), 0);
    EXPECT_EQ(r.lRang(L"DOC\\A.TXT", 1), -1);
    EXPECT_EQ(r.lRang(L"Doc\\A.txt", 1), 0);
    r.ForceRepVideAlaFin();
    EXPECT_STREQ(r.pclGetEntree(3)->pszNom(), L"");
    EXPECT_EQ(r.lRang(L"doc\\a.txt"), 1);
    r.SupprimeElement(1);
    EXPECT_EQ(r.lRang(L"doc\\a.txt"), 1);
    EXPECT_EQ(r.pclGetEntree(1)->m_oTailleOriginale, 3u);
    ASSERT_TRUE(r.bChangeChemin(0, L"other"));
    EXPECT_EQ(r.lRang(L"DOC\\A.TXT"), 1);
    EXPECT_EQ(r.lRang(L"OTHER"), 0);
    // Many entries: the index grows with them.
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(r.bAjouteEntree(Entry((L"n" + std::to_wstring(i)).c_str(), i, i)));
    EXPECT_EQ(r.lRang(L"N2999"), 3002);
}

TEST(Repertoire, LongChainsOfOneNameKeepDirectoryOrder)
{
    // Spellings of one name ignoring case, each twice: every look-up finds
    // the first of its exact spelling, and the chain survives a removal.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CRepertoire r;
    std::vector<std::wstring> names;
    for (unsigned m = 0; m < 1024; ++m) {
        std::wstring n = L"abcdefghij";
        for (unsigned b = 0; b < n.size(); ++b)
            if (m & (1u << b))
                n[b] = static_cast<wchar_t>(n[b] - L'a' + L'A');
        names.push_back(n);
    }
    for (int round = 0; round < 2; ++round)
        for (const std::wstring& n : names)
            ASSERT_TRUE(r.bAjouteEntree(Entry(n.c_str(), 1, 1)));
    for (long i = 0; i < 1024; i += 37)
        EXPECT_EQ(r.lRang(names[static_cast<size_t>(i)].c_str(), 1), i);
    EXPECT_EQ(r.lRang(L"ABCDEFGHIj"), 511);
    r.SupprimeElement(0);
    EXPECT_EQ(r.lRang(L"abcdefghij", 1), 1023);
    EXPECT_EQ(r.lRang(L"Abcdefghij", 1), 0);
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"ABCDEFGHIJ", 1, 1)));
    EXPECT_EQ(r.lRang(L"ABCDEFGHIJ", 1), 1022);  // the first, not the one just added
}

TEST(Repertoire, SerialisedFormRoundTripAndRefusals)
{
    ziptest::ScratchDir dir;
    CRepertoire r;
    ASSERT_TRUE(r.bAjouteEntree(Entry(L"plain.txt", 10, 5)));
    CRepEntree secret = Entry(L"caf\u00E9", 7, 7);
    secret.SetCrypte(1, CRepEntree::DIGEST_KIND_MD5, L"pw");
    ASSERT_TRUE(r.bAjouteEntree(secret));
    EXPECT_EQ(r.dwTaille(), 4u + (9 + 59) + (4 + 59));

    const std::wstring path = Wide(dir / "dir.bin");
    {
        CDiskFile f;
        ASSERT_TRUE(f.bOpen(path.c_str(), IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
        EXPECT_EQ(r.eEcrit(f), 0);
    }
    EXPECT_EQ(ziptest::ReadFile(dir / "dir.bin").size(), r.dwTaille());
    CRepertoire back;
    {
        CDiskFile f;
        ASSERT_TRUE(f.bOpen(path.c_str(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
        ASSERT_TRUE(back.bLit(f));
    }
    ASSERT_EQ(back.nGetNbEntrees(), 2);
    const CRepEntree* e = back.pclGetEntree(1);
    EXPECT_STREQ(e->pszNom(), L"caf\u00E9");
    EXPECT_EQ(e->m_oTailleOriginale, 7u);
    EXPECT_EQ(e->m_bCrypte, 1);
    EXPECT_TRUE(e->bMdpOK(L"pw"));
    EXPECT_EQ(e->m_stModification.wYear, 2023);
    EXPECT_EQ(e->m_stModification.wSecond, 7);

    // Records whose length is below the fixed part, too long, or cut short.
    const std::string good = ziptest::ReadFile(dir / "dir.bin");
    struct Case
    {
        const char* what;
        std::string bytes;
    };
    std::string tooShort = good, tooLong = good;
    tooShort[4] = 39, tooShort[5] = tooShort[6] = tooShort[7] = 0;
    tooLong[4] = tooLong[5] = tooLong[6] = tooLong[7] = '\xFF';
    const Case cases[] = {
        {"length below the fixed part", tooShort},
        {"length past any record", tooLong},
        {"cut short", good.substr(0, good.size() - 3)},
        {"more entries than records", std::string("\x03\x00\x00\x00", 4) + good.substr(4)},
    };
    for (const Case& c : cases) {
        ziptest::WriteFile(dir / "bad.bin", c.bytes);
        CDiskFile f;
        ASSERT_TRUE(f.bOpen(Wide(dir / "bad.bin").c_str(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
        CRepertoire bad;
        EXPECT_FALSE(bad.bLit(f)) << c.what;
    }

    // Entries the form cannot hold.
    for (CRepEntree refused : {Entry(L"big", 0x100000000ull, 1), Entry(L"\u4E2D", 1, 1), Entry(L"a?b", 1, 1)}) {
        CRepertoire one;
        ASSERT_TRUE(one.bAjouteEntree(refused));
        CDiskFile f;
        ASSERT_TRUE(f.bOpen(Wide(dir / "one.bin").c_str(), IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
        EXPECT_EQ(one.eEcrit(f), 1) << refused.pszNom();
    }
}

TEST(MessageDigestFile, DigestsWholeFilesAndReportsMissingOnes)
{
    ziptest::ScratchDir dir;
    CMD5 md5;
    unsigned char digest[16];
    ziptest::WriteFile(dir / "abc", "abc");
    ASSERT_TRUE(md5.bDigestFile(Wide(dir / "abc").c_str(), digest, nullptr));
    EXPECT_EQ(std::memcmp(digest, "\x90\x01\x50\x98\x3c\xd2\x4f\xb0\xd6\x96\x3f\x7d\x28\xe1\x7f\x72", 16), 0);

    // Exactly 1024 bytes, and a file read after other data was added.
    const std::string k(1024, 'k');
    ziptest::WriteFile(dir / "k", k);
    md5.AddData(reinterpret_cast<const unsigned char*>("junk"), 4);
    ASSERT_TRUE(md5.bDigestFile(Wide(dir / "k").c_str(), digest, nullptr));
    unsigned char expected[16];
    md5.AddData(reinterpret_cast<const unsigned char*>(k.data()), 1024);
    md5.FinalDigest(expected);
    EXPECT_EQ(std::memcmp(digest, expected, 16), 0);

    CXError error(&gstMyModuleInfo32);
    EXPECT_FALSE(md5.bDigestFile(Wide(dir / "missing").c_str(), digest, &error));
    EXPECT_EQ(error.eGetErrorLevel(), CXError::EL_WARNING);
    EXPECT_EQ(error.dwGetSystemErrorCode(), 2u);  // ENOENT
    // A directory opens but cannot be read: no digest of nothing.
    EXPECT_FALSE(md5.bDigestFile(Wide(dir.Path()).c_str(), digest, &error));
}

TEST(WinZipFiles, ArchiveTestAndNameComparison)
{
    ziptest::ScratchDir dir;
    ziptest::WriteFile(dir / "a.zip", ziptest::Build(ziptest::Archive{}));
    ziptest::WriteFile(dir / "b.txt", "no archive");
    EXPECT_EQ(CWinZip::bFichierZip(Wide(dir / "a.zip").c_str()), 1);
    EXPECT_EQ(CWinZip::bFichierZip(Wide(dir / "b.txt").c_str()), 0);
    EXPECT_EQ(CWinZip::bFichierZip(Wide(dir / "none").c_str()), 0);
    EXPECT_EQ(CWinZip::nStringFileNameCompare(Wide(dir / "a.zip").c_str(), Wide(dir / "a.zip").c_str(), 0), 0);
    EXPECT_EQ(CWinZip::nStringFileNameCompare(Wide(dir / "a.zip").c_str(), Wide(dir / "b.txt").c_str(), 0), 1);
}

}  // namespace
