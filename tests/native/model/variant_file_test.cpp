// A value loaded from a file and stored into one: texts and binary values,
// empty and missing files, files larger than their size says (a /proc file,
// a pipe fed while it is read), and failing reads and writes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "common/text/zl_bin.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_any.h"
#include "tests/native/model/variant_fixture.h"

namespace {

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

// A pattern that shows a chunk copied to the wrong place.
std::string Pattern(size_t n)
{
    std::string s(n, 0);
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('A' + (i * 7 + i / 16384) % 26);
    return s;
}

class VariantFile : public vxtest::VariantTest
{
protected:
    void SetUp() override
    {
        VariantTest::SetUp();
        const char* pszTmp = std::getenv("TMPDIR");
        m_dir = std::string(pszTmp != nullptr && *pszTmp ? pszTmp : "/tmp") + "/vxvariant.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(m_dir.data()));
    }
    void TearDown() override
    {
        for (const std::string& f : m_files)
            unlink(f.c_str());
        rmdir(m_dir.c_str());
        VariantTest::TearDown();
    }
    std::string File(const std::string& name, const std::string* content = nullptr)
    {
        const std::string path = m_dir + "/" + name;
        m_files.push_back(path);
        if (content != nullptr) {
            std::ofstream f(path, std::ios::binary | std::ios::trunc);
            f << *content;
        }
        return path;
    }
    // Whether the error object holds user error 15 naming the path at the
    // site, with a system message.
    ::testing::AssertionResult FileErrorAt(const std::string& path, const wchar_t* pszSite) const
    {
        ::testing::AssertionResult site = ErrorAt(15, pszSite);
        if (!site)
            return site;
        if (ErrorText().find(Wide(path)) == std::wstring::npos)
            return ::testing::AssertionFailure() << "path not named";
        const wchar_t* pszSystem = m_pclError->pszGetSystemErrorMessage();
        if (pszSystem == nullptr || *pszSystem == 0)
            return ::testing::AssertionFailure() << "no system message";
        return ::testing::AssertionSuccess();
    }

    std::string m_dir;
    std::vector<std::string> m_files;
};

TEST_F(VariantFile, TextAndBinaryContentsRoundTrip)
{
    // Larger than a read chunk, with every byte value.
    std::string content = Pattern(40000);
    for (int i = 0; i < 256; ++i)
        content[static_cast<size_t>(i) * 3] = static_cast<char>(i);
    const std::string path = File("content.bin", &content);

    CAny text, bin;
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&text, Wide(path).c_str(), m_pclError, 0));
    EXPECT_EQ(ZLTYPE_DSTRA, text.wGetType());
    EXPECT_EQ(content, Content(text));
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&bin, Wide(path).c_str(), m_pclError, 1));
    EXPECT_EQ(ZLTYPE_BIN, bin.wGetType());
    EXPECT_EQ(content, Content(bin));

    // Stored back: the content alone, a text's terminator not with it.
    const std::string copy = File("copy.bin");
    ASSERT_EQ(1, CNAVariant::gbStoreFile(&text, Wide(copy).c_str(), m_pclError));
    EXPECT_EQ(content, ReadAll(copy));
    ASSERT_EQ(1, CNAVariant::gbStoreFile(&bin, Wide(copy).c_str(), m_pclError));
    EXPECT_EQ(content, ReadAll(copy));
    EXPECT_TRUE(NoError());

    // Through a conversion value: loading makes an unread value read.
    CNAConvertVariant* v = AnyVariant(ZLTYPE_BIN);
    ASSERT_EQ(1, v->bLoadFile(Wide(path).c_str(), m_pclError, 1));
    EXPECT_EQ(content, Content(*v->pclGetValue()));
    ASSERT_EQ(1, v->bStoreFile(Wide(copy).c_str(), m_pclError));
    EXPECT_EQ(content, ReadAll(copy));
}

TEST_F(VariantFile, EmptyFileGivesAnEmptyValue)
{
    const std::string empty;
    const std::string path = File("empty", &empty);
    CAny text, bin;
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&text, Wide(path).c_str(), m_pclError, 0));
    EXPECT_EQ(ZLTYPE_DSTRA, text.wGetType());
    EXPECT_EQ("", Content(text));
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&bin, Wide(path).c_str(), m_pclError, 1));
    EXPECT_EQ(ZLTYPE_BIN, bin.wGetType());
    EXPECT_EQ("", Content(bin));

    // Stored back over a file with content, each empties it.
    const std::string full = "full";
    for (const CAny* pclValue : {&text, &bin}) {
        const std::string copy = File("full", &full);
        EXPECT_EQ(1, CNAVariant::gbStoreFile(pclValue, Wide(copy).c_str(), m_pclError));
        EXPECT_EQ("", ReadAll(copy));
    }
    EXPECT_TRUE(NoError());
}

TEST_F(VariantFile, MissingFileIsUserError15NamingThePath)
{
    const std::string path = m_dir + "/missing";
    CAny v;
    v.SetI4(7);
    EXPECT_EQ(0, CNAVariant::gbLoadFile(&v, Wide(path).c_str(), m_pclError, 0));
    EXPECT_TRUE(FileErrorAt(path, L"7.2"));
    EXPECT_EQ(L"7", Text(v)) << "the value is left as it was";

    m_pclError->Reset();
    const std::string inMissingDir = m_dir + "/no/such/dir";
    EXPECT_EQ(0, CNAVariant::gbStoreFile(&v, Wide(inMissingDir).c_str(), m_pclError));
    EXPECT_TRUE(FileErrorAt(inMissingDir, L"7.5"));
    // Without an error object nothing is recorded, and nothing breaks.
    EXPECT_EQ(0, CNAVariant::gbLoadFile(&v, Wide(path).c_str(), nullptr, 0));
}

TEST_F(VariantFile, ProcFileDeliversMoreThanItsSizeOfZero)
{
    struct stat st;
    ASSERT_EQ(0, stat("/proc/self/cmdline", &st));
    ASSERT_EQ(0, st.st_size) << "the case of a file whose size says nothing";
    const std::string expected = ReadAll("/proc/self/cmdline");
    ASSERT_FALSE(expected.empty());
    CAny bin;
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&bin, L"/proc/self/cmdline", m_pclError, 1));
    EXPECT_EQ(expected, Content(bin));
}

TEST_F(VariantFile, PipeFedByAThreadGrowsTheValue)
{
    const std::string path = File("fifo");
    ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    // The file layer opens without blocking, so a pipe is read as far as it
    // holds data: a reader kept open lets the thread fill it first (less
    // than a pipe holds, several read chunks, in pieces of odd sizes).
    const int keeper = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);
    const std::string content = Pattern(60001);
    std::thread writer([&] {
        const int fd = open(path.c_str(), O_WRONLY);
        if (fd < 0)
            return;
        size_t done = 0;
        while (done < content.size()) {
            const size_t n = std::min<size_t>(7777, content.size() - done);
            const ssize_t w = write(fd, content.data() + done, n);
            if (w <= 0)
                break;
            done += static_cast<size_t>(w);
        }
        close(fd);
    });
    writer.join();
    CAny text;
    ASSERT_EQ(1, CNAVariant::gbLoadFile(&text, Wide(path).c_str(), m_pclError, 0));
    close(keeper);
    EXPECT_EQ(content, Content(text));
}

TEST_F(VariantFile, FailingReadIsUserError15WithTheSystemMessage)
{
    // The process's memory opens, but reading its first page fails.
    CAny v;
    v.SetI4(7);
    EXPECT_EQ(0, CNAVariant::gbLoadFile(&v, L"/proc/self/mem", m_pclError, 1));
    EXPECT_TRUE(FileErrorAt("/proc/self/mem", L"7.3"));
    EXPECT_EQ(L"7", Text(v));
}

TEST_F(VariantFile, StoringAValueWithoutDataFails)
{
    const std::string path = File("nothing");
    CAny empty;
    EXPECT_EQ(0, CNAVariant::gbStoreFile(&empty, Wide(path).c_str(), m_pclError));
    // A file size limit stands for a disk that fills up: the write goes
    // only part of the way.
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    const sighandler_t former = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 2;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    const CAny text = Make(ZLTYPE_DSTRA, L"abcdef");
    const int bStored = CNAVariant::gbStoreFile(&text, Wide(path).c_str(), m_pclError);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, former);
    EXPECT_EQ(0, bStored);
    EXPECT_TRUE(FileErrorAt(path, L"7.6"));
}

}  // namespace
