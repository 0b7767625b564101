#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <unistd.h>

#include "common/text/text_exports.h"
#include "tests/host/support/test_environment.h"

namespace {

// A fresh file stream over the bytes, of no orientation yet.
FILE* FileWith(const char* bytes, size_t n)
{
    char path[] = "/tmp/vx_getchar_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return nullptr;
    const bool bWritten = write(fd, bytes, n) == static_cast<ssize_t>(n);
    close(fd);
    FILE* f = bWritten ? std::fopen(path, "r") : nullptr;
    unlink(path);
    return f;
}

TEST(TextExports, Create)
{
    wchar_t* w = STRG_pszCreate<wchar_t>(4);
    ASSERT_NE(nullptr, w);
    std::wcscpy(w, L"abcd");
    std::free(w);
    char* a = STRG_pszCreate<char>(0);
    ASSERT_NE(nullptr, a);
    a[0] = 0;
    std::free(a);
    EXPECT_EQ(nullptr, STRG_pszCreate<char>(-1));
}

TEST(TextExports, GetCharOfEachWidth)
{
    FILE* f = FileWith("a\xE9", 2);
    EXPECT_EQ('a', (STRG_nGetChar<char, char>(f)));
    EXPECT_EQ(0xE9, (STRG_nGetChar<char, char>(f)));
    EXPECT_EQ(-1, (STRG_nGetChar<char, char>(f)));
    std::fclose(f);

    f = FileWith("\xC3\xA9z", 3);
    EXPECT_EQ(0xE9, (STRG_nGetChar<wchar_t, wchar_t>(f)));
    EXPECT_EQ('z', (STRG_nGetChar<wchar_t, wchar_t>(f)));
    EXPECT_EQ(-1, (STRG_nGetChar<wchar_t, wchar_t>(f)));
    std::fclose(f);

    // UTF-16 little-endian units, each widened alone; one byte left is the end.
    f = FileWith("\xE5\x65\x3D\xD8\x41", 5);
    EXPECT_EQ(0x65E5, (STRG_nGetChar<wchar_t, unsigned short>(f)));
    EXPECT_EQ(0xD83D, (STRG_nGetChar<wchar_t, unsigned short>(f)));
    EXPECT_EQ(-1, (STRG_nGetChar<wchar_t, unsigned short>(f)));
    EXPECT_EQ(-1, (STRG_nGetChar<wchar_t, unsigned short>(f)));
    std::fclose(f);
    EXPECT_EQ(-1, (STRG_nGetChar<char, char>(nullptr)));
}

}  // namespace
