// Copies between streams and files, whole-file loads and appends.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "common/text/zl_bin.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::bExists;
using vxtest::ReadFile;
using vxtest::WriteFile;

std::wstring Info(CXError& error, CXError::eERRORINFOTYPE eType)
{
    const void* p = nullptr;
    return error.bGetInfo(eType, &p) ? std::wstring(static_cast<const wchar_t*>(p)) : L"(none)";
}

class DiskFileCopy : public vxtest::ScratchDirectory
{
protected:
    // A sparse file of the given size (no disk space taken).
    void MakeSparse(const char* pszName, off_t oSize)
    {
        const int fd = open(pszName, O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(0, ftruncate(fd, oSize));
        close(fd);
    }
};

TEST_F(DiskFileCopy, CopyRefusesTheSameFile)
{
    const std::string sData(10000, 'c');
    WriteFile("src", sData);
    ASSERT_EQ(0, link("src", "hard"));
    ASSERT_EQ(0, symlink("src", "soft"));
    _CXErrorModule32 error;
    for (const wchar_t* pszDestination : {L"src", L"./src", L"hard", L"soft"}) {
        EXPECT_FALSE(CDiskFile::bCopy(pszDestination, L"src", &error)) << pszDestination;
        EXPECT_EQ(sData, ReadFile("src")) << pszDestination << L": the source must survive";
    }
    EXPECT_EQ(28125u, error.nGetErrorId(0));
    EXPECT_EQ(L"src", Info(error, CXError::EIT_SRCFILE));
    EXPECT_EQ(L"soft", Info(error, CXError::EIT_DSTFILE));

    EXPECT_TRUE(CDiskFile::bCopy(L"dst", L".\\src", &error));
    EXPECT_FALSE(error.bIsError());
    EXPECT_EQ(sData, ReadFile("dst"));
    WriteFile("dst", std::string(20000, 'o'));
    EXPECT_TRUE(CDiskFile::bCopy(L"dst", L"src"));
    EXPECT_EQ(sData, ReadFile("dst")) << "the destination is replaced, not overlaid";
    EXPECT_FALSE(CDiskFile::bCopy(L"x", L"missing", &error));
    EXPECT_EQ(static_cast<unsigned>(ENOENT), error.dwGetSystemErrorCode());
}

TEST_F(DiskFileCopy, ExtractBetweenStreamsAndFiles)
{
    std::string sData;
    for (int i = 0; i < 100000; ++i)
        sData.push_back(static_cast<char>('a' + i % 26));
    WriteFile("src", sData);
    CDiskFile src;
    ASSERT_TRUE(src.bOpen(L"src", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                          IXStream::XFLAG_NONE, nullptr));
    CDiskFile dst;
    ASSERT_TRUE(dst.bOpen(L"dst", IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                          IXStream::XFLAG_NONE, nullptr));
    ASSERT_TRUE(src.bSeek(10, IXStream::XSEEK_SET));
    EXPECT_TRUE(src.bExtract(&dst, 70000));
    EXPECT_EQ(70010, src.oGetOffset()) << "what was read beyond is given back";
    EXPECT_TRUE(src.bExtract(&dst, -1)) << "the rest";
    EXPECT_EQ(sData.substr(10), ReadFile("dst"));
    EXPECT_TRUE(src.bExtract(&dst, 0));

    EXPECT_TRUE(src.bExtract(L"part", 99990, 50)) << "an early end is no failure";
    EXPECT_EQ(sData.substr(99990), ReadFile("part"));
    EXPECT_TRUE(CDiskFile::bExtract(L"part2", L"src", 5, 3));
    EXPECT_EQ(sData.substr(5, 3), ReadFile("part2"));
    EXPECT_TRUE(CDiskFile::bExtract(L"part3", L"made", 0, 10)) << "a missing source is created empty";
    EXPECT_TRUE(bExists("made"));
    EXPECT_EQ("", ReadFile("part3"));

    CDiskFile app;
    ASSERT_TRUE(app.bOpen(L"part2", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                          IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(app.bExtractFromFile(L"src", 0, 4));
    EXPECT_EQ(sData.substr(5, 3) + sData.substr(0, 4), ReadFile("part2"));
}

TEST_F(DiskFileCopy, Concat)
{
    WriteFile("a", "first|");
    WriteFile("b", std::string(70000, 'b'));
    EXPECT_TRUE(CDiskFile::bConcat(L"a", L"b"));
    EXPECT_EQ("first|" + std::string(70000, 'b'), ReadFile("a"));
    EXPECT_TRUE(CDiskFile::bConcat(L"new", L"b"));
    EXPECT_EQ(std::string(70000, 'b'), ReadFile("new"));
    // A file appended to itself would never stop growing.
    EXPECT_FALSE(CDiskFile::bConcat(L"b", L"./b"));
    EXPECT_EQ(70000u, ReadFile("b").size());
}

TEST_F(DiskFileCopy, LoadWholeFile)
{
    WriteFile("f", std::string("bytes\0here", 10));
    CZLBIN bin;
    _CXErrorModule32 error;
    ASSERT_TRUE(CDiskFile::bChargeFichier(bin, L"f", &error));
    EXPECT_EQ(10, bin.nGetTailleUtile());
    EXPECT_EQ(0, std::memcmp(bin.pbyGet(), "bytes\0here", 10));
    WriteFile("empty", "");
    ASSERT_TRUE(CDiskFile::bChargeFichier(bin, L"empty", &error));
    EXPECT_EQ(0, bin.nGetTailleUtile());

    EXPECT_FALSE(CDiskFile::bChargeFichier(bin, L"missing", &error));
    EXPECT_EQ(28139u, error.nGetErrorId(0)) << "the stream's error, handed on";
    EXPECT_EQ(static_cast<unsigned>(ENOENT), error.dwGetSystemErrorCode());
}

// Sizes used to be taken in their low 32 bits: 4 GiB + 5 bytes loaded as
// 5 bytes, with success.
TEST_F(DiskFileCopy, HugeFilesAreRefusedBeforeLoading)
{
    MakeSparse("huge", (off_t{1} << 32) + 5);
    CZLBIN bin;
    ASSERT_EQ(0, bin.nAssign(reinterpret_cast<const unsigned char*>("keep"), 4));
    _CXErrorModule32 error;
    EXPECT_FALSE(CDiskFile::bChargeFichier(bin, L"huge", &error));
    EXPECT_EQ(static_cast<unsigned>(EFBIG), error.dwGetSystemErrorCode());
    EXPECT_EQ(4, bin.nGetTailleUtile()) << "nothing sized from the size";

    MakeSparse("limit", 0x7FFFFF00);
    EXPECT_FALSE(CDiskFile::bChargeFichier(bin, L"limit", &error));
    EXPECT_EQ(static_cast<unsigned>(EFBIG), error.dwGetSystemErrorCode());

    CXYString<wchar_t> text(L"keep");
    errno = 0;
    EXPECT_FALSE(CDiskFile::bChargeTexteBOM(text, L"huge", 1252, nullptr));
    EXPECT_EQ(EFBIG, errno);
}

}  // namespace
