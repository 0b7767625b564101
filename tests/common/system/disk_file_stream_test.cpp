// The disk file: opens with their whole-file locks, reads, writes, sizes,
// range locks and error reports. Lock conflicts come from forked holders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/x_error.h"
#include "tests/common/system/lock_holder.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::bExists;
using vxtest::bOtherProcessCanLock;
using vxtest::LockHolder;
using vxtest::ReadFile;
using vxtest::WideName;
using vxtest::WriteFile;

constexpr unsigned kConflict = IXStream::XSTREAM_LOCK_CONFLICT;

std::wstring SrcFile(CXError* e)
{
    const void* p = nullptr;
    return e->bGetInfo(CXError::EIT_SRCFILE, &p) ? std::wstring(static_cast<const wchar_t*>(p)) : L"(none)";
}

class DiskFileStream : public vxtest::ScratchDirectory
{
};

TEST_F(DiskFileStream, OpenStoresTheFullPathAndCreates)
{
    ASSERT_EQ(0, mkdir("d", 0755));
    WriteFile("d/f", "data");
    CDiskFile file;
    EXPECT_FALSE(file.bIsOpen());
    EXPECT_EQ(-1, file.veGetAccess());
    int bCreated = -1;
    ASSERT_TRUE(file.bOpen(L"d\\f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, &bCreated));
    EXPECT_EQ(0, bCreated);
    EXPECT_EQ(WPath("d/f"), file.pszGetName());
    EXPECT_EQ(O_NONBLOCK | O_RDONLY, file.veGetAccess());
    EXPECT_TRUE(file.bIsOpen());
    EXPECT_EQ(0, file.oGetOffset());
    file.Close();
    EXPECT_FALSE(file.bIsOpen());
    EXPECT_EQ(-1, file.veGetAccess());
    EXPECT_EQ(WPath("d/f"), file.pszGetName()) << "the name stays";

    // Create 64: an existing file is not created, and errno tells so.
    errno = 0;
    ASSERT_TRUE(file.bOpen(L"d/f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                           IXStream::XCREATE_OPEN_ALWAYS, IXStream::XFLAG_NONE, &bCreated));
    EXPECT_EQ(0, bCreated);
    EXPECT_EQ(EEXIST, errno);
    EXPECT_EQ(O_NONBLOCK | O_RDWR, file.veGetAccess());
    ASSERT_TRUE(file.bOpen(L"d/g", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                           IXStream::XCREATE_OPEN_ALWAYS, IXStream::XFLAG_NONE, &bCreated));
    EXPECT_EQ(1, bCreated);
    EXPECT_TRUE(bExists("d/g"));
    EXPECT_EQ(O_NONBLOCK | O_RDWR | O_CREAT, file.veGetAccess());
    // Create 576: created is 1 even for an existing file, which is emptied.
    ASSERT_TRUE(file.bOpen(L"d/f", IXStream::XACCESS_WRITE, IXStream::XSHARE_EXCLUSIVE,
                           IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, &bCreated));
    EXPECT_EQ(1, bCreated);
    EXPECT_EQ(0, file.oGetSize());
    file.Close();

    // A directory with the directory flag: exactly that flag, no lock.
    ASSERT_TRUE(file.bOpen(L"d", IXStream::XACCESS_READ, IXStream::XSHARE_EXCLUSIVE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_DIRECTORY, nullptr));
    EXPECT_EQ(0x10000, file.veGetAccess());
    // Reopen goes through the stored full path, wherever the current
    // directory has gone.
    ASSERT_EQ(0, chdir("d"));
    ASSERT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    ASSERT_EQ(0, chdir(".."));
    EXPECT_TRUE(file.bReopen(IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE));
    EXPECT_EQ(WPath("d/f"), file.pszGetName());
}

TEST_F(DiskFileStream, FailedOpenIsReported)
{
    CDiskFile file;
    errno = 0;
    EXPECT_FALSE(file.bOpen(L"missing", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(ENOENT, errno);
    CXError* e = file.pclGetXError();
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(e, file._pclGetXError());
    EXPECT_EQ(CXError::EL_ERROR, e->eGetErrorLevel());
    EXPECT_EQ(static_cast<unsigned>(ENOENT), e->dwGetSystemErrorCode());
    ASSERT_EQ(1, e->nNumErrorId());
    EXPECT_EQ(28139u, e->nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetUserMessage(), WPath("missing").c_str()));
    EXPECT_EQ(WPath("missing"), SrcFile(e));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetDebugMessage(), L"##(IXStream)-Handle=<"));
    EXPECT_STREQ(L"vxmysql.so", e->pszGetModName());
    EXPECT_EQ(WPath("missing"), file.pszGetName()) << "the full path stays after a failed open";

    // The error name replaces the path in reports until the next close.
    EXPECT_TRUE(file.vbSetNameForError(L"alias"));
    EXPECT_FALSE(file.bOpen(L"missing2", IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetUserMessage(), L"<alias>"));
    EXPECT_EQ(L"alias", SrcFile(e));
    EXPECT_TRUE(file.vbSetNameForError(nullptr));

    // Success resets the error.
    WriteFile("f", "x");
    EXPECT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(e->bIsError());

    // The message follows the creation mode; other modes have none.
    struct
    {
        IXStream::eCREATE eCreate;
        int nMessages;
        unsigned nId;
    } aCases[] = {{IXStream::XCREATE_OPEN_ALWAYS, 1, 28002}, {IXStream::XCREATE_CREATE_ALWAYS, 1, 28140},
                  {static_cast<IXStream::eCREATE>(O_CREAT | O_EXCL), 0, 0}};
    for (const auto& c : aCases) {
        EXPECT_FALSE(file.bOpen(L"nodir/x", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, c.eCreate,
                                IXStream::XFLAG_NONE, nullptr));
        EXPECT_EQ(static_cast<unsigned>(ENOENT), e->dwGetSystemErrorCode());
        ASSERT_EQ(c.nMessages, e->nNumErrorId()) << c.eCreate;
        if (c.nMessages) {
            EXPECT_EQ(c.nId, e->nGetErrorId(0));
        }
    }
}

// The full path used to be copied without bound into the 261-character
// name buffer; now a name whose full path does not fit is refused, and
// nothing cut is ever opened or reopened.
TEST_F(DiskFileStream, OverLongNamesAreRefused)
{
    CDiskFile file;
    const std::string sLong = "/" + std::string(200, 'a') + "/" + std::string(200, 'b');
    errno = 0;
    EXPECT_FALSE(file.bOpen(WideName(sLong).c_str(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(ENAMETOOLONG, errno);
    CXError* e = file.pclGetXError();
    EXPECT_EQ(static_cast<unsigned>(ENAMETOOLONG), e->dwGetSystemErrorCode());
    EXPECT_EQ(28139u, e->nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetUserMessage(), WideName(sLong).c_str()));
    EXPECT_STREQ(L"", file.pszGetName());

    // A relative name: the current directory and the name do not fit
    // together, although each would. The cut full path names a file that
    // exists; it must be neither created nor opened.
    const std::string sDir = std::string(100, 'd');
    ASSERT_EQ(0, mkdir(sDir.c_str(), 0755));
    ASSERT_EQ(0, chdir(sDir.c_str()));
    const size_t nRoom = 260 - (Dir().size() + 1 + sDir.size() + 1);
    const std::string sFits(nRoom, 'n');
    WriteFile(sFits, "victim");
    EXPECT_FALSE(file.bOpen(WideName(sFits + "tail").c_str(), IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE,
                            IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(bExists(sFits + "tail"));
    EXPECT_FALSE(file.bReopen(IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                              IXStream::XFLAG_NONE));
    EXPECT_EQ("victim", ReadFile(sFits));
    // Exactly 260 characters open.
    EXPECT_TRUE(file.bOpen(WideName(sFits).c_str(), IXStream::XACCESS_READ, IXStream::XSHARE_NONE,
                           IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(260u, std::wcslen(file.pszGetName()));
}

TEST_F(DiskFileStream, ReadsWritesAndPositions)
{
    CDiskFile file;
    ASSERT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE,
                           IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
    unsigned n = 99;
    EXPECT_TRUE(file.bWrite("", 0, &n));
    EXPECT_EQ(0u, n);
    EXPECT_TRUE(file.bWrite("hello world", 11, &n));
    EXPECT_EQ(11u, n);
    EXPECT_EQ(11, file.oGetOffset());
    EXPECT_TRUE(file.bWrite(6, "W", 1, nullptr));
    EXPECT_EQ(7, file.oGetOffset());
    char sz[32] = {};
    EXPECT_TRUE(file.bRead(0, sz, 5, nullptr));
    EXPECT_STREQ("hello", sz);
    EXPECT_TRUE(file.bRead(sz, sizeof sz, &n)) << "with a count pointer any count is fine";
    EXPECT_EQ(6u, n);
    EXPECT_EQ(11, file.oGetOffset());

    // An exact read at the end fails with system error 0.
    EXPECT_FALSE(file.bRead(sz, 4, nullptr));
    CXError* e = file.pclGetXError();
    EXPECT_EQ(0u, e->dwGetSystemErrorCode());
    EXPECT_EQ(28003u, e->nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetDebugMessage(), L"##(IXStream)-bExact=<1>##"));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetDebugMessage(), L"##(IXStream)-A lire=<4>, lu=<0>##"));

    EXPECT_EQ(11, file.oGetSize());
    EXPECT_TRUE(file.bSeek(2, IXStream::XSEEK_SET));
    EXPECT_EQ(11, file.oGetSize());
    EXPECT_EQ(2, file.oGetOffset()) << "the size keeps the position";
    EXPECT_EQ(11, file.oGetSizeFast());
    EXPECT_EQ(11, file.oGetOffset());
    EXPECT_TRUE(file.bSeek(-1, IXStream::XSEEK_CUR));
    EXPECT_EQ(10, file.oGetOffset());
    EXPECT_FALSE(file.bSeek(-100, IXStream::XSEEK_CUR));
    EXPECT_EQ(28005u, e->nGetErrorId(0));
    EXPECT_EQ(static_cast<unsigned>(EINVAL), e->dwGetSystemErrorCode());
    EXPECT_EQ(10, file.oGetOffset());
    EXPECT_TRUE(file.bFlush());
    EXPECT_EQ("hello World", ReadFile("f"));

    // A write on a read-only stream names its open flags.
    CDiskFile reader;
    ASSERT_TRUE(reader.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(reader.bWrite("x", 1, nullptr));
    EXPECT_EQ(28008u, reader.pclGetXError()->nGetErrorId(0));
    EXPECT_EQ(static_cast<unsigned>(EBADF), reader.pclGetXError()->dwGetSystemErrorCode());
    EXPECT_NE(nullptr, std::wcsstr(reader.pclGetXError()->pszGetDebugMessage(), L"##(IXStream)-Access=<800>##"));
    EXPECT_EQ(0, reader.oGetOffset()) << "a failed write leaves the position";
}

TEST_F(DiskFileStream, Sizes)
{
    WriteFile("f", std::string(100, 'x'));
    CDiskFile file;
    ASSERT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(file.bSetSize(10, IXStream::XGROW_ADD));
    EXPECT_EQ(110, file.oGetSize());
    EXPECT_EQ(110, file.oGetOffset());
    file.pclGetXError()->SetErrorLevel(CXError::EL_ERROR);
    EXPECT_FALSE(file.bSetSize(10, static_cast<IXStream::eGROW>(2)));
    EXPECT_FALSE(file.pclGetXError()->bIsError()) << "reset, no report";
    EXPECT_TRUE(file.bSetSize(50, IXStream::XGROW_SET));
    EXPECT_EQ(50, file.oGetSize());

    // Growing by nothing must not zero the last byte.
    EXPECT_TRUE(file.bIncreaseSize(0));
    EXPECT_EQ(std::string(50, 'x'), ReadFile("f"));
    EXPECT_TRUE(file.bIncreaseSize(5));
    EXPECT_EQ(std::string(50, 'x') + std::string(5, '\0'), ReadFile("f"));
    EXPECT_FALSE(file.bIncreaseSize(-1));
    // Extending keeps the data at size - 1.
    EXPECT_TRUE(file.bExtendFile(40));
    EXPECT_EQ(std::string(40, 'x'), ReadFile("f"));
    EXPECT_TRUE(file.bExtendFile(42));
    EXPECT_EQ(std::string(40, 'x') + std::string(2, '\0'), ReadFile("f"));
    EXPECT_TRUE(file.bExtendFile(0));
    EXPECT_EQ(0, file.oGetSize());
}

// Opening with share 2 used to unlock the whole file, which released every
// lock this process held on it through its other streams.
TEST_F(DiskFileStream, OpenWithoutLockKeepsTheProcessLocks)
{
    WriteFile("f", "0123456789");
    const std::string sPath = Path("f");
    CDiskFile holder;
    ASSERT_TRUE(holder.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE,
                             IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(bOtherProcessCanLock(sPath, F_RDLCK));
    CDiskFile reader;
    ASSERT_TRUE(reader.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(bOtherProcessCanLock(sPath, F_RDLCK)) << "the exclusive lock is still held";
    char sz[4] = {};
    EXPECT_TRUE(reader.bRead(sz, 3, nullptr));

    // The same for a range lock.
    holder.Close();  // closing any descriptor drops the process's locks
    reader.Close();
    ASSERT_TRUE(holder.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    ASSERT_TRUE(holder.bLockFile(2, 3));
    EXPECT_FALSE(bOtherProcessCanLock(sPath, F_WRLCK, 3, 1));
    EXPECT_TRUE(bOtherProcessCanLock(sPath, F_WRLCK, 6, 1));
    ASSERT_TRUE(reader.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE,
                             IXStream::XCREATE_OPEN_ALWAYS, IXStream::XFLAG_NONE, nullptr));
    EXPECT_FALSE(bOtherProcessCanLock(sPath, F_WRLCK, 3, 1));
}

TEST_F(DiskFileStream, LockConflictsWithAnotherProcess)
{
    WriteFile("f", "kept");
    LockHolder other(Path("f"), F_WRLCK);
    ASSERT_TRUE(other.bLocked());
    struct
    {
        IXStream::eCREATE eCreate;
        unsigned nId;
    } aCases[] = {{IXStream::XCREATE_EXISTING, 28139},
                  {IXStream::XCREATE_OPEN_ALWAYS, 28002},
                  {IXStream::XCREATE_CREATE_ALWAYS, 28140}};
    for (const auto& c : aCases) {
        CDiskFile file;
        errno = 0;
        EXPECT_FALSE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE, c.eCreate,
                                IXStream::XFLAG_NONE, nullptr));
        EXPECT_EQ(static_cast<int>(kConflict), errno);
        EXPECT_FALSE(file.bIsOpen());
        EXPECT_EQ(kConflict, file.pclGetXError()->dwGetSystemErrorCode());
        EXPECT_EQ(c.nId, file.pclGetXError()->nGetErrorId(0));
        // Create 576 used to truncate before testing the lock.
        EXPECT_EQ("kept", ReadFile("f")) << c.eCreate;
    }
    // A shared opener fails too; one without lock does not.
    CDiskFile file;
    EXPECT_FALSE(file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_SHARED, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    other.Release();
    EXPECT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE,
                           IXStream::XCREATE_CREATE_ALWAYS, IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(0, file.oGetSize());
}

TEST_F(DiskFileStream, ShareThatDoesNotFitTheAccessIsAConflict)
{
    WriteFile("f", "x");
    CDiskFile file;
    EXPECT_FALSE(file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_EXCLUSIVE, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(kConflict, file.pclGetXError()->dwGetSystemErrorCode());
    EXPECT_FALSE(file.bOpen(L"f", IXStream::XACCESS_WRITE, IXStream::XSHARE_SHARED, IXStream::XCREATE_EXISTING,
                            IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(kConflict, file.pclGetXError()->dwGetSystemErrorCode());
    // Within one process two exclusive streams never conflict.
    CDiskFile a, b;
    EXPECT_TRUE(a.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(b.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_EXCLUSIVE, IXStream::XCREATE_EXISTING,
                        IXStream::XFLAG_NONE, nullptr));
}

TEST_F(DiskFileStream, RangeLocks)
{
    WriteFile("f", "0123456789");
    LockHolder other(Path("f"), F_WRLCK, 4, 2);
    ASSERT_TRUE(other.bLocked());
    CDiskFile file;
    ASSERT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READWRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(file.bLockFile(0, 4));
    EXPECT_FALSE(file.bLockFile(5, 1));
    CXError* e = file.pclGetXError();
    EXPECT_EQ(kConflict, e->dwGetSystemErrorCode());
    EXPECT_EQ(28145u, e->nGetErrorId(0));
    EXPECT_NE(nullptr, std::wcsstr(e->pszGetUserMessage(), L"5"));
    EXPECT_FALSE(file.bLockShare(4, 1));
    EXPECT_EQ(static_cast<int>(kConflict), errno);
    EXPECT_TRUE(file.bUnlockFile(0, 4));
    EXPECT_FALSE(e->bIsError());
    EXPECT_TRUE(file.bLockFileEx(0, 1)) << "unlocking always answers true";
    EXPECT_TRUE(file.bLockFileEx(1, 1)) << "bytes 0 and 1 are free";
    EXPECT_FALSE(bOtherProcessCanLock(Path("f"), F_RDLCK, 1, 1));
    EXPECT_TRUE(file.bLockFileEx(0, 0));
    EXPECT_TRUE(bOtherProcessCanLock(Path("f"), F_WRLCK, 0, 2));
    // A read-only stream locks shared.
    CDiskFile reader;
    ASSERT_TRUE(reader.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                             IXStream::XFLAG_NONE, nullptr));
    EXPECT_TRUE(reader.bLock(7, 1));
    EXPECT_TRUE(bOtherProcessCanLock(Path("f"), F_RDLCK, 7, 1));
    EXPECT_FALSE(bOtherProcessCanLock(Path("f"), F_WRLCK, 7, 1));
}

TEST_F(DiskFileStream, ExclusiveOpenWithRetries)
{
    WriteFile("f", "x");
    CDiskFile file;
    {
        LockHolder other(Path("f"), F_RDLCK);
        ASSERT_TRUE(other.bLocked());
        EXPECT_FALSE(file.bOpenExclusifReessais(L"f", 1, 3, IXStream::XACCESS_READ, IXStream::XCREATE_EXISTING,
                                                IXStream::XFLAG_NONE, nullptr));
        EXPECT_EQ(kConflict, file.pclGetXError()->dwGetSystemErrorCode());
        EXPECT_FALSE(file.bOpenExclusifReessais(L"f", 0, 0, IXStream::XACCESS_READ, IXStream::XCREATE_EXISTING,
                                                IXStream::XFLAG_NONE, nullptr))
            << "no time left after the first attempt";
    }
    // Another failure ends at once.
    EXPECT_FALSE(file.bOpenExclusifReessais(L"missing", 0, 60000, IXStream::XACCESS_READ,
                                            IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE, nullptr));
    // A holder that lets go while the open waits.
    LockHolder brief(Path("f"), F_WRLCK, 0, 0, 300);
    ASSERT_TRUE(brief.bLocked());
    EXPECT_TRUE(file.bOpenExclusifReessais(L"f", 0, 60000, IXStream::XACCESS_READ, IXStream::XCREATE_EXISTING,
                                           IXStream::XFLAG_NONE, nullptr));
    EXPECT_EQ(O_RDWR, file.veGetAccess() & 3) << "an exclusive lock needs write access";
}

TEST_F(DiskFileStream, Times)
{
    WriteFile("f", "x");
    CDiskFile file;
    ASSERT_TRUE(file.bOpen(L"f", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                           IXStream::XFLAG_NONE, nullptr));
    CDiskFile::_stXFILETIME t = {2021, 3, 4, 5, 6, 7, 0};
    ASSERT_TRUE(file.bSetTime(nullptr, &t, &t));
    CDiskFile::_stXFILETIME access{}, write{};
    ASSERT_TRUE(file.bGetTime(nullptr, &access, &write));
    EXPECT_EQ(0, CDiskFile::nCompareSystemTime(&t, &write));
    EXPECT_EQ(0, CDiskFile::nCompareSystemTime(&t, &access));
    FILETIME ft{};
    ASSERT_TRUE(CDiskFile::bSystemTimeToFileTime(&t, &ft));
    ft = UInt64ToFileTime(FileTimeToUInt64(ft) + 60 * FILETIME_PER_SECOND);
    ASSERT_TRUE(file.bSetTime(nullptr, nullptr, &ft));
    ASSERT_TRUE(file.bGetTime(nullptr, &access, &write));
    EXPECT_EQ(7, write.wMinute);
    EXPECT_EQ(6, access.wMinute) << "the other time is kept";
}

}  // namespace
