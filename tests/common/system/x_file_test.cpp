// The file object over a stream.
#include <gtest/gtest.h>

#include <cerrno>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/x_error.h"
#include "common/system/x_file.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::ReadFile;
using vxtest::WriteFile;

class XFile : public vxtest::ScratchDirectory
{
};

TEST_F(XFile, WithoutAStream)
{
    CXFile file;
    EXPECT_EQ(nullptr, file.pszGetName());
    EXPECT_FALSE(file.bIsOpen());
    EXPECT_EQ(nullptr, file.pclGetXError());
    EXPECT_EQ(-1, file.veGetAccess());
    file.Close();
    char sz[4];
    errno = 0;
    EXPECT_FALSE(file.bRead(sz, 4, nullptr));
    EXPECT_EQ(EBADF, errno);
    EXPECT_EQ(-1, file.oGetSize());
    EXPECT_FALSE(file.bSeek(0, IXStream::XSEEK_SET));
}

TEST_F(XFile, OpenMakesAndOwnsADiskStream)
{
    CXFile file;
    int bCreated = 0;
    ASSERT_TRUE(file.bOpen(L"v", IXStream::XACCESS_READWRITE, IXStream::XSHARE_SHARED,
                           IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, &bCreated));
    EXPECT_EQ(1, bCreated);
    EXPECT_EQ(nullptr, file.piGetStream()) << "its own stream is not handed out";
    EXPECT_EQ(WPath("v"), file.pszGetName());
    EXPECT_TRUE(file.bWrite("value", 5, nullptr));
    file.Close();
    EXPECT_FALSE(file.bIsOpen());

    // Reading back as the value layer does: no lock, size, exact read.
    CXFile reader;
    ASSERT_TRUE(reader.bOpen(L"v", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    ASSERT_EQ(5, reader.oGetSize());
    char sz[6] = {};
    unsigned n = 0;
    EXPECT_TRUE(reader.bRead(sz, 5, &n));
    EXPECT_STREQ("value", sz);
    EXPECT_TRUE(reader.bRead(sz, 5, &n));
    EXPECT_EQ(0u, n) << "0 bytes at the end";
    EXPECT_FALSE(reader.bRead(sz, 5, nullptr));
    ASSERT_NE(nullptr, reader.pclGetXError());
    EXPECT_EQ(28003u, reader.pclGetXError()->nGetErrorId(0));
}

TEST_F(XFile, SharedStreamOutlivesTheFile)
{
    CDiskFile* pStream = new CDiskFile;
    pStream->dwAddRef();
    {
        CXFile file(pStream);
        EXPECT_EQ(2u, pStream->dwGetRefCount());
        EXPECT_EQ(pStream, file.piGetStream());
        ASSERT_TRUE(file.bOpen(L"s", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE,
                               IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
        EXPECT_TRUE(file.bWriteLine(L"ab"));
        EXPECT_TRUE(file.bWriteString("%d", 5));
        EXPECT_TRUE(file.bWriteString(L"%s", L"w"));
    }
    EXPECT_EQ(1u, pStream->dwGetRefCount());
    EXPECT_TRUE(pStream->bIsOpen());
    pStream->Close();
    const std::wstring sLine = L"ab\r\n";
    std::string sExpected(reinterpret_cast<const char*>(sLine.data()), 16);
    sExpected += "5";
    sExpected += std::string("w\0\0\0", 4);
    EXPECT_EQ(sExpected, ReadFile("s")) << "8 bytes of text, 8 of line end";

    // SetStream drops the old stream and keeps the new one.
    CXFile file;
    ASSERT_TRUE(file.bCreateStream());
    EXPECT_EQ(nullptr, file.piGetStream());
    file.SetStream(pStream);
    EXPECT_EQ(pStream, file.piGetStream());
    EXPECT_EQ(2u, pStream->dwGetRefCount());
    file.SetStream(pStream);
    EXPECT_EQ(2u, pStream->dwGetRefCount()) << "the same stream again";
    file.SetStream(nullptr);
    EXPECT_EQ(1u, pStream->dwGetRefCount());
    pStream->dwRelease();
}

TEST_F(XFile, NameForErrorMakesAStream)
{
    CXFile file;
    EXPECT_TRUE(file.bSetNameForError(L"shown"));
    EXPECT_FALSE(file.bOpen(L"missing", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
    EXPECT_NE(nullptr, std::wcsstr(file.pclGetXError()->pszGetUserMessage(), L"<shown>"));
}

TEST_F(XFile, ExtractCopiesFromThePosition)
{
    std::string sData;
    for (int i = 0; i < 100; ++i)
        sData.push_back(static_cast<char>('0' + i % 10));
    WriteFile("src", sData);
    CXFile src, dst;
    ASSERT_TRUE(src.bOpen(L"src", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                          IXStream::XFLAG_NONE, nullptr));
    ASSERT_TRUE(dst.bOpen(L"dst", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                          IXStream::XFLAG_NONE, nullptr));
    ASSERT_TRUE(src.bSeek(10, IXStream::XSEEK_SET));
    EXPECT_TRUE(src.bExtract(&dst, -1));
    EXPECT_EQ(sData.substr(10), ReadFile("dst"));
    ASSERT_TRUE(src.bSeek(0, IXStream::XSEEK_SET));
    ASSERT_TRUE(dst.bSetSize(0, IXStream::XGROW_SET));
    EXPECT_TRUE(src.bExtract(&dst, 70000)) << "an early end of the source is no failure";
    EXPECT_EQ(sData, ReadFile("dst"));
    ASSERT_TRUE(src.bSeek(0, IXStream::XSEEK_SET));
    ASSERT_TRUE(dst.bSetSize(0, IXStream::XGROW_SET));
    EXPECT_TRUE(src.bExtract(&dst, 7));
    EXPECT_EQ(7, src.oGetOffset());
    EXPECT_EQ(sData.substr(0, 7), ReadFile("dst"));
    EXPECT_FALSE(src.bExtract(nullptr, 1));
}

TEST_F(XFile, LinesThroughTheStream)
{
    WriteFile("t", "one\r\ntwo");
    CXFile file;
    ASSERT_TRUE(file.bOpen(L"t", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    char sz[16];
    int bTruncated = 0;
    ASSERT_TRUE(file.bReadLine(sz, 16, &bTruncated, 0));
    EXPECT_STREQ("one", sz);
    ASSERT_TRUE(file.bReadLine(sz, 16, &bTruncated, 0));
    EXPECT_STREQ("two", sz);
    EXPECT_FALSE(file.bReadLine(sz, 16, &bTruncated, 0));
    EXPECT_TRUE(file.bReopen(IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE));
    EXPECT_EQ(0, file.oGetOffset());
}

}  // namespace
