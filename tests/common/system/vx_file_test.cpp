// Typed files: the 20-byte header written at creation, read and checked
// otherwise, its errors, and the static type and product tests.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/vx_file.h"
#include "common/system/x_error.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/common/system/typed_file_bytes.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::ReadFile;
using vxtest::TypedHeader;
using vxtest::WriteFile;

constexpr IXStream::eACCESS kRW = IXStream::XACCESS_READWRITE;
constexpr IXStream::eSHARE kNoLock = IXStream::XSHARE_NONE;
constexpr IXStream::eFLAG kNoFlag = IXStream::XFLAG_NONE;

CVXFile::eFORMAT Format(int n)
{
    return static_cast<CVXFile::eFORMAT>(n);
}

std::wstring SrcFile(CXError* e)
{
    const void* p = nullptr;
    return e->bGetInfo(CXError::EIT_SRCFILE, &p) ? std::wstring(static_cast<const wchar_t*>(p)) : L"(none)";
}

class TypedFile : public vxtest::ScratchDirectory
{
protected:
    // Checks the report of a header error on the file's stream.
    void ExpectHeaderError(CVXFile& file, unsigned nId, const wchar_t* pszDebug, const std::wstring& wsName)
    {
        CXError* e = file.pclGetXError();
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(CXError::EL_ERROR, e->eGetErrorLevel());
        ASSERT_EQ(1, e->nNumErrorId());
        EXPECT_EQ(nId, e->nGetErrorId(0));
        EXPECT_EQ(0u, e->dwGetSystemErrorCode());
        EXPECT_STREQ(pszDebug, e->pszGetDebugMessage());
        EXPECT_NE(nullptr, std::wcsstr(e->pszGetUserMessage(), wsName.c_str())) << e->pszGetUserMessage();
        EXPECT_EQ(wsName, SrcFile(e));
        EXPECT_STREQ(L"vxmysql.so", e->pszGetModName());
    }
};

TEST_F(TypedFile, CreationWritesTheHeader)
{
    CVXFile file(0x20001);
    ASSERT_TRUE(file.bOpen(WPath("t").c_str(), Format(0x1234), kRW, kNoLock, IXStream::XCREATE_CREATE_ALWAYS,
                           kNoFlag));
    EXPECT_EQ(20, file.oGetOffset());
    EXPECT_EQ(2u, file.dwGetTypeFichier());
    EXPECT_EQ(20, file.byGetGeneration());
    file.Close();
    EXPECT_EQ(TypedHeader(2, 20, 0x1234), ReadFile(Path("t")));

    // Create 64 writes on a new file only; a new header can be forced.
    CVXFile made(5);
    ASSERT_TRUE(made.bOpen(WPath("u").c_str(), Format(3), kRW, kNoLock, IXStream::XCREATE_OPEN_ALWAYS, kNoFlag));
    made.Close();
    EXPECT_EQ(TypedHeader(5, 20, 3), ReadFile(Path("u")));
    WriteFile(Path("u"), TypedHeader(5, 20, 9) + "data");
    CVXFile kept(5);
    ASSERT_TRUE(kept.bOpen(WPath("u").c_str(), Format(3), kRW, kNoLock, IXStream::XCREATE_OPEN_ALWAYS, kNoFlag));
    EXPECT_EQ(9, kept.wGetFormat());
    kept.Close();
    EXPECT_EQ(TypedHeader(5, 20, 9) + "data", ReadFile(Path("u")));
    CVXFile forced(5);
    ASSERT_TRUE(forced.bOpenEx(WPath("u").c_str(), Format(4), kRW, kNoLock, IXStream::XCREATE_EXISTING, kNoFlag, 1));
    forced.Close();
    EXPECT_EQ(TypedHeader(5, 20, 4) + "data", ReadFile(Path("u")));

    // Reopening an existing file reads the header again.
    ASSERT_TRUE(forced.bReopen(Format(7), kRW, kNoLock, IXStream::XCREATE_EXISTING, kNoFlag));
    EXPECT_EQ(20, forced.oGetOffset());
    EXPECT_EQ(4, forced.wGetFormat());
}

TEST_F(TypedFile, ReadingAcceptsTypesAsTheMemberAsks)
{
    struct Case
    {
        uint32_t dwMember;
        uint32_t dwFile;
        bool bAccepted;
        uint32_t dwAfter;
    } aCases[] = {
        {0, 0x70003, true, 0x70003},      {0x20001, 258, true, 258}, {0x20001, 2, true, 2},
        {0x20001, 259, true, 259},        {0x20001, 8, true, 8},     {0x20001, 3, false, 0x20001},
        {5, 5, true, 5},                  {5, 6, false, 5},
    };
    for (const Case& c : aCases) {
        WriteFile(Path("t"), TypedHeader(c.dwFile, 20, 11, 30) + "x");
        CVXFile file(c.dwMember);
        EXPECT_EQ(c.bAccepted, file.bOpen(WPath("t").c_str(), Format(0), IXStream::XACCESS_READ, kNoLock,
                                          IXStream::XCREATE_EXISTING, kNoFlag))
            << c.dwMember << " " << c.dwFile;
        EXPECT_EQ(c.dwAfter, file.dwGetTypeFichier());
        EXPECT_EQ(c.bAccepted, file.bIsOpen());
        if (c.bAccepted) {
            EXPECT_EQ(11, file.wGetFormat());
            EXPECT_EQ(30, file.byGetCodeProduit());
            EXPECT_EQ(20, file.oGetOffset());
        } else {
            wchar_t szDebug[96];
            std::swprintf(szDebug, 96, L"##(CVXFile)-Type demande=<%u>, type lu=<%u>##", c.dwMember, c.dwFile);
            ExpectHeaderError(file, 28259, szDebug, WPath("t"));
        }
    }
}

TEST_F(TypedFile, LargerHeadersAreSkippedWhole)
{
    WriteFile(Path("t"), TypedHeader(9, 32) + "rest");
    CVXFile file;
    ASSERT_TRUE(file.CXFile::bOpen(WPath("t").c_str(), IXStream::XACCESS_READ, kNoLock, IXStream::XCREATE_EXISTING,
                                   kNoFlag, nullptr));
    int64_t oOffset = 0;
    ASSERT_TRUE(file.bReadHeader(&oOffset));
    EXPECT_EQ(32, oOffset);
    EXPECT_EQ(32u, file.dwGetTailleEntete());
    // At another offset, as files holding several parts read them.
    WriteFile(Path("t"), "pad" + TypedHeader(9));
    oOffset = 3;
    ASSERT_TRUE(file.bReadHeader(&oOffset));
    EXPECT_EQ(23, oOffset);
}

TEST_F(TypedFile, BadHeadersCloseTheFileWithTheirErrors)
{
    WriteFile(Path("sig"), TypedHeader(9, 20, 0, 0, 0x004B5655));
    CVXFile file;
    EXPECT_FALSE(file.bOpen(WPath("sig").c_str(), Format(0), IXStream::XACCESS_READ, kNoLock,
                            IXStream::XCREATE_EXISTING, kNoFlag));
    EXPECT_FALSE(file.bIsOpen());
    ExpectHeaderError(file, 28555, L"##(CVXFile)-Signature geree=<4937300>, signature lue=<4937301>##", WPath("sig"));
    EXPECT_NE(nullptr, std::wcsstr(file.pclGetXError()->pszGetUserMessage(), L"20.0"));

    WriteFile(Path("small"), TypedHeader(9, 19));
    CVXFile small;
    EXPECT_FALSE(small.bOpen(WPath("small").c_str(), Format(0), IXStream::XACCESS_READ, kNoLock,
                             IXStream::XCREATE_EXISTING, kNoFlag));
    ExpectHeaderError(small, 28011, L"##(CVXFile)-Taille entete attendue=<20>, Taille entete lue=<19>##",
                      WPath("small"));

    // Too short to hold a header: the stream's own read error stays.
    WriteFile(Path("short"), "TVK");
    CVXFile shortFile;
    EXPECT_FALSE(shortFile.bOpen(WPath("short").c_str(), Format(0), IXStream::XACCESS_READ, kNoLock,
                                 IXStream::XCREATE_EXISTING, kNoFlag));
    EXPECT_FALSE(shortFile.bIsOpen());
    CXError* e = shortFile.pclGetXError();
    EXPECT_EQ(CXError::EL_ERROR, e->eGetErrorLevel());
    ASSERT_EQ(1, e->nNumErrorId());
    EXPECT_NE(28555u, e->nGetErrorId(0));
}

// A stream that writes only half of what it is given.
class HalfWriter : public CDiskFile
{
public:
    using CDiskFile::bWrite;
    bool bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten) override
    {
        return CDiskFile::bWrite(pBuffer, nSize / 2, pnWritten);
    }
};

TEST_F(TypedFile, ShortHeaderWriteIsAnError)
{
    CVXFile file(3, new HalfWriter);
    EXPECT_FALSE(file.bOpen(WPath("t").c_str(), Format(0), kRW, kNoLock, IXStream::XCREATE_CREATE_ALWAYS, kNoFlag));
    EXPECT_FALSE(file.bIsOpen());
    ExpectHeaderError(file, 28009, L"##(IXStream)-A ecrire=<20>, ecrit=<10>##", WPath("t"));
}

TEST_F(TypedFile, StaticTypeTests)
{
    struct Case
    {
        uint32_t dwType;
        bool bKnown;
    } aCases[] = {
        {0, false},        {1, true},         {5000, true},      {0x10007, true},   {0x10008, false},
        {0x60001, true},   {0x60002, false},  {0x70006, true},   {0x70007, false},  {0x90001, false},
        {0xA0001, true},   {0xB0005, true},   {0xB0006, false},  {0xD0004, true},   {0xE0003, true},
        {0xF0002, true},   {0x100002, true},  {0x110005, true},  {0x120001, true},  {0x130001, true},
        {0x140001, false}, {0x160001, true},  {0x160002, false}, {0xFFFFFFFF, false},
    };
    for (const Case& c : aCases) EXPECT_EQ(c.bKnown, CVXFile::bIdReconnu(c.dwType)) << std::hex << c.dwType;

    for (uint32_t dw : {1u, 257u, 4097u, 0x10001u}) EXPECT_TRUE(CVXFile::s_bIsProjet(dw));
    for (uint32_t dw : {0u, 2u, 256u, 0x10002u}) EXPECT_FALSE(CVXFile::s_bIsProjet(dw));

    EXPECT_STREQ(L"Quilan Mobile", CVXFile::s_pszVerNomProduit(6));
    EXPECT_STREQ(L"RA Zizov", CVXFile::s_pszVerNomProduit(15));
    EXPECT_STREQ(L"VXEtat Utilisateur", CVXFile::s_pszVerNomProduit(20));
    EXPECT_STREQ(L"Morvat", CVXFile::s_pszVerNomProduit(30));
    EXPECT_STREQ(L"Quilan", CVXFile::s_pszVerNomProduit(0));
    EXPECT_STREQ(L"Quilan", CVXFile::s_pszVerNomProduit(255));
}

TEST_F(TypedFile, ProductCodeAndTypeOfUnknownFiles)
{
    WriteFile(Path("typed"), TypedHeader(0x70002, 20, 0, 30));
    WriteFile(Path("plain"), std::string(TypedHeader(0x70002, 20, 0, 30)).replace(0, 1, "X"));
    WriteFile(Path("short"), "TVK");

    EXPECT_EQ(30, CVXFile::byGetCodeProduit(WPath("typed").c_str()));
    EXPECT_EQ(30, CVXFile::byGetCodeProduit(WPath("plain").c_str())) << "the signature is not compared";
    EXPECT_EQ(0, CVXFile::byGetCodeProduit(WPath("short").c_str()));
    EXPECT_EQ(0, CVXFile::byGetCodeProduit(WPath("missing").c_str()));

    EXPECT_EQ(0x70002u, CVXFile::dwIdFichierInconnu(WPath("typed").c_str()));
    EXPECT_EQ(0u, CVXFile::dwIdFichierInconnu(WPath("plain").c_str()));
    EXPECT_EQ(0u, CVXFile::dwIdFichierInconnu(WPath("short").c_str()));
    EXPECT_EQ(0xFFFFFFFFu, CVXFile::dwIdFichierInconnu(WPath("missing").c_str()));

    // On the caller's stream, opened by name or already open.
    CDiskFile stream;
    EXPECT_EQ(0x70002u, CVXFile::dwIdFichierInconnu(&stream, WPath("typed").c_str()));
    EXPECT_TRUE(stream.bIsOpen());
    EXPECT_EQ(0x70002u, CVXFile::dwIdFichierInconnu(&stream, nullptr));
    stream.Close();
    EXPECT_EQ(0u, CVXFile::dwIdFichierInconnu(&stream, nullptr));
}

}  // namespace
