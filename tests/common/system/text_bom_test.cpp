// Text files with byte-order marks.
#include <gtest/gtest.h>
#include <cstring>
#include <string>

#include "common/system/disk_file.h"
#include "tests/common/system/scratch_directory.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxtest::WriteFile;

class TextBOM : public vxtest::ScratchDirectory
{
};

TEST_F(TextBOM, MarksAndGuesses)
{
    struct Case
    {
        std::string sBytes;
        unsigned nCodePage;
        std::wstring sText;
        CDiskFile::etxType eType;
    } aCases[] = {
        {"\xEF\xBB\xBF", 1252, L"", CDiskFile::TXT_UTF8},
        {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9", 1252, L"\u00e9t\u00e9", CDiskFile::TXT_UTF8},
        {"AB", 1252, L"AB", CDiskFile::TXT_UTF8},
        {std::string("\xFF\xFE" "A\0B\0", 6), 1252, L"AB", CDiskFile::TXT_UTF16},
        {std::string("\xFE\xFF\0A\0B", 6), 1252, L"AB", CDiskFile::TXT_UTF16},
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), 1252, L"\xD83D\xDE00", CDiskFile::TXT_UTF16},  // unit by unit
        {std::string("\xFF\xFE" "A\0B", 5), 1252, L"A", CDiskFile::TXT_UTF16},  // half a unit
        {"\xE9", 1252, L"\u00e9", CDiskFile::TXT_CODEPAGE},
        {"\x80", 1252, L"\u20ac", CDiskFile::TXT_CODEPAGE},
        {"caf\xE9", 1, L"caf\u0398", CDiskFile::TXT_CODEPAGE},  // code page 1 is 437
        {"x", 1252, L"x", CDiskFile::TXT_UTF8},
    };
    for (const Case& c : aCases) {
        WriteFile("t", c.sBytes);
        CXYString<wchar_t> text(L"old");
        CDiskFile::etxType eType = static_cast<CDiskFile::etxType>(-1);
        ASSERT_TRUE(CDiskFile::bChargeTexteBOM(text, L"t", c.nCodePage, &eType)) << c.sBytes;
        EXPECT_EQ(c.sText, text.pszGet()) << c.sBytes;
        EXPECT_EQ(c.eType, eType) << c.sBytes;
    }
}

TEST_F(TextBOM, EmptyAndMissingFiles)
{
    WriteFile("e", "");
    CXYString<wchar_t> text(L"old");
    CDiskFile::etxType eType = CDiskFile::TXT_UTF16;
    EXPECT_TRUE(CDiskFile::bChargeTexteBOM(text, L"e", 1252, &eType));
    EXPECT_STREQ(L"", text.pszGet());
    EXPECT_EQ(CDiskFile::TXT_CODEPAGE, eType);
    text.Set(L"old");
    EXPECT_FALSE(CDiskFile::bChargeTexteBOM(text, L"missing", 1252, nullptr));
    EXPECT_STREQ(L"", text.pszGet());
}

TEST_F(TextBOM, BigEndianIsSwappedInTheCallersBuffer)
{
    unsigned char ab[] = {0xFE, 0xFF, 0x00, 0x41, 0x00, 0x42, 0x7F};
    CXYString<wchar_t> text;
    CDiskFile::etxType eType;
    EXPECT_TRUE(CDiskFile::bChargeTexteBOMFromBuffer(text, ab, sizeof ab, 1252, &eType));
    EXPECT_STREQ(L"AB", text.pszGet());
    const unsigned char abSwapped[] = {0xFF, 0xFE, 0x41, 0x00, 0x42, 0x00, 0x7F};
    EXPECT_EQ(0, std::memcmp(ab, abSwapped, sizeof ab)) << "every whole pair swapped, the odd byte left";
    EXPECT_TRUE(CDiskFile::bChargeTexteBOMFromBuffer(text, nullptr, 0, 1252, nullptr));
    EXPECT_STREQ(L"", text.pszGet());
}

}  // namespace
