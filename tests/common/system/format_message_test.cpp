#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/format_message.h"
#include "tests/host/support/test_environment.h"

namespace {

unsigned MessageW(unsigned flags, const wchar_t* format, wchar_t* buffer, unsigned size, ...)
{
    va_list args;
    va_start(args, size);
    const unsigned r = FormatMessageW(flags, format, 0, 0, buffer, size, &args);
    va_end(args);
    return r;
}

unsigned MessageA(unsigned flags, const char* format, char* buffer, unsigned size, ...)
{
    va_list args;
    va_start(args, size);
    const unsigned r = FormatMessageA(flags, format, 0, 0, buffer, size, &args);
    va_end(args);
    return r;
}

unsigned MessageWin(unsigned flags, const wchar_t* format, wchar_t* buffer, unsigned size, ...)
{
    va_list args;
    va_start(args, size);
    const unsigned r = FormatMessageWin(flags, format, 0, 0, buffer, size, &args);
    va_end(args);
    return r;
}

constexpr unsigned kAllocFromString = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING;

TEST(FormatMessageW, AllocatesFormatsAndFails)
{
    wchar_t* text = reinterpret_cast<wchar_t*>(1);
    EXPECT_EQ(6u, MessageW(kAllocFromString, L"%s-%d", reinterpret_cast<wchar_t*>(&text), 0, L"abc", 42));
    EXPECT_EQ(std::wstring(L"abc-42"), text);
    std::free(text);
    EXPECT_EQ(6u, MessageW(kAllocFromString, L"%s-%d", reinterpret_cast<wchar_t*>(&text), 100, L"abc", 42));
    text[99] = 0;  // grown to the size asked for
    std::free(text);

    wchar_t buf[8];
    EXPECT_EQ(5u, MessageW(FORMAT_MESSAGE_FROM_STRING, L"%s=%S", buf, 8, L"ab", "cd"));
    EXPECT_EQ(std::wstring(L"ab=cd"), buf);
    EXPECT_EQ(0u, MessageW(FORMAT_MESSAGE_FROM_STRING, L"%s", buf, 4, L"abcdef")) << "does not fit";

    errno = ENOENT;
    EXPECT_EQ(std::wcslen(L"No such file or directory"),
              FormatMessageW(kAllocFromString | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0, 0,
                             reinterpret_cast<wchar_t*>(&text), 0, nullptr));
    EXPECT_EQ(std::wstring(L"No such file or directory"), text);
    std::free(text);
    // Without arguments the format is the text.
    EXPECT_EQ(9u, FormatMessageW(kAllocFromString, L"100% sure", 0, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr));
    EXPECT_EQ(std::wstring(L"100% sure"), text);
    std::free(text);
}

TEST(FormatMessageA, EightBitTwin)
{
    char* text = nullptr;
    EXPECT_EQ(6u, MessageA(kAllocFromString, "%s-%d", reinterpret_cast<char*>(&text), 0, "abc", 42));
    EXPECT_STREQ("abc-42", text);
    std::free(text);
    char buf[8];
    EXPECT_EQ(5u, MessageA(FORMAT_MESSAGE_FROM_STRING, "%s=%s", buf, 8, "ab", "cd"));
    EXPECT_STREQ("ab=cd", buf);
    EXPECT_EQ(0u, MessageA(FORMAT_MESSAGE_FROM_STRING, "%s", buf, 4, "abcdef")) << "a cut text is a failure";
    char big[64];
    errno = EACCES;
    EXPECT_EQ(std::strlen("Permission denied"), FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0, 0, big, 64, nullptr));
    EXPECT_STREQ("Permission denied", big);
}

TEST(FormatMessageWin, Inserts)
{
    wchar_t buf[128];
    EXPECT_EQ(9u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"%1 and %2%n", buf, 128, L"x", L"y"));
    EXPECT_EQ(std::wstring(L"x and y\r\n"), buf);
    EXPECT_EQ(2u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"%1!d!", buf, 128, int64_t{42}));
    EXPECT_EQ(std::wstring(L"42"), buf);
    // Repeated and out of order; '*' values come from the next arguments.
    EXPECT_EQ(7u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"%2%1%2!*s!", buf, 128, L"a", L"b", int64_t{5}));
    EXPECT_EQ(std::wstring(L"ba    b"), buf);
    // A floating conversion reads the 64 bits of its argument as a double.
    uint64_t bits;
    const double value = 2.25;
    std::memcpy(&bits, &value, sizeof bits);
    EXPECT_EQ(3u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"%1!.1f!", buf, 128, bits));
    EXPECT_EQ(std::wstring(L"2.2"), buf);
    EXPECT_EQ(1u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"a%0b", buf, 128));
    EXPECT_EQ(std::wstring(L"a"), buf);
    EXPECT_EQ(6u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"%%%.%!%r%t%b", buf, 128));
    EXPECT_EQ(std::wstring(L"%.!\r\t "), buf);

    const uint64_t array[] = {reinterpret_cast<uintptr_t>(L"arr"), 7};
    EXPECT_EQ(5u, FormatMessageWin(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, L"%1 %2!u!", 0, 0, buf,
                                   128, reinterpret_cast<va_list*>(const_cast<uint64_t*>(array))));
    EXPECT_EQ(std::wstring(L"arr 7"), buf);

    EXPECT_EQ(9u, FormatMessageWin(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, L"%1!d! %% ", 0, 0, buf,
                                   128, nullptr));
    EXPECT_EQ(std::wstring(L"%1!d! %% "), buf);
}

TEST(FormatMessageWin, Failures)
{
    wchar_t buf[32];
    const struct { unsigned flags; const wchar_t* format; } cases[] = {
        {FORMAT_MESSAGE_FROM_STRING, L"%4444"},
        {FORMAT_MESSAGE_FROM_STRING, L"%1!d"},
        {FORMAT_MESSAGE_FROM_STRING, L"%1!*.*.*d!"},
        {FORMAT_MESSAGE_FROM_STRING, L"%1!0123456789012345678901234567890d!"},
        {FORMAT_MESSAGE_FROM_STRING, L"%200!*d!"},
        {FORMAT_MESSAGE_FROM_STRING, L"abc%"},
        {FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_STRING, L"x"},
        {FORMAT_MESSAGE_ALLOCATE_BUFFER, L"x"},
    };
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(0u, MessageWin(c.flags, c.format, buf, 32, int64_t{1}, int64_t{2})) << c.format;
        EXPECT_EQ(EINVAL, errno) << c.format;
    }
    errno = 0;
    EXPECT_EQ(0u, FormatMessageWin(FORMAT_MESSAGE_FROM_STRING, L"%1", 0, 0, buf, 32, nullptr)) << "no arguments";
    EXPECT_EQ(EINVAL, errno);
}

TEST(FormatMessageWin, LineWidthsAndFullOutputs)
{
    wchar_t buf[64];
    EXPECT_EQ(20u, MessageWin(FORMAT_MESSAGE_FROM_STRING | 10, L"aaaa bbbb cccc dddd", buf, 64));
    EXPECT_EQ(std::wstring(L"aaaa bbbb\r\ncccc dddd"), buf);
    EXPECT_EQ(12u, MessageWin(FORMAT_MESSAGE_FROM_STRING | 4, L"abcdefgh", buf, 64));
    EXPECT_EQ(std::wstring(L"abcd\r\nefgh\r\n"), buf);
    EXPECT_EQ(std::wstring(L"aa bb\r\nccc"), (MessageWin(FORMAT_MESSAGE_FROM_STRING | 6, L"aa bb ccc", buf, 64), buf));
    // Line breaks of the text: kept without a width, blanks with one.
    MessageWin(FORMAT_MESSAGE_FROM_STRING, L"a\nb\r\nc", buf, 64);
    EXPECT_EQ(std::wstring(L"a\r\nb\r\nc"), buf);
    MessageWin(FORMAT_MESSAGE_FROM_STRING | 255, L"a\nb\r\nc", buf, 64);
    EXPECT_EQ(std::wstring(L"a b c"), buf);

    // Output full: the text cut to the room.
    EXPECT_EQ(4u, MessageWin(FORMAT_MESSAGE_FROM_STRING, L"abcdefgh", buf, 5));
    EXPECT_EQ(std::wstring(L"abcd"), buf);

    wchar_t* text = nullptr;
    EXPECT_EQ(7u, MessageWin(kAllocFromString, L"%1-%2!x!", reinterpret_cast<wchar_t*>(&text), 0, L"abcd", int64_t{255}));
    EXPECT_EQ(std::wstring(L"abcd-ff"), text);
    std::free(text);

    EXPECT_EQ(std::wcslen(L"No such file or directory"),
              FormatMessageWin(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ENOENT, 0, buf, 64, nullptr));
    EXPECT_EQ(std::wstring(L"No such file or directory"), buf);
    EXPECT_EQ(5u, FormatMessageWin(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ENOENT, 0, buf, 6, nullptr));
    EXPECT_EQ(std::wstring(L"No su"), buf);
}

}  // namespace
