// Version blocks found in files between their markers, and the blocks both
// deliverables carry.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "installer/file_version.h"
#include "installer/version_block.h"
#include "tests/host/support/test_environment.h"
#include "tests/installer/support/zip_tools.h"

namespace {

// Markers made at run time, so that this program's file holds no copy of
// them in front of its real block.
const std::string kStart = std::string("Version") + "InfoMarkStart";
const std::string kEnd = std::string("Version") + "InfoMarkEnd";

std::string Str(const char* s)
{
    return std::string(s) + '\0';
}

std::string Block(const std::string& body)
{
    return "junk" + kStart + '\0' + body + '\0' + kEnd + "tail";
}

std::string Value(CFileVersion& v, const wchar_t* key)
{
    CXYString<wchar_t> s;
    if (!v.bGetStringValue(key, s))
        return "<none>";
    std::string out;
    for (const wchar_t* p = s.pszGet(); p != nullptr && *p; ++p)
        out += static_cast<char>(*p < 0x80 ? *p : '?');
    return out;
}

TEST(FileVersion, FindsBlocksAndLooksKeysUpWithoutRegardToCase)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    ziptest::ScratchDir dir;
    const std::string body = Str("\\StringFileInfo\\000004E4\\FileVersion") + Str("1.2.3.4") +
                             Str("\\StringFileInfo\\000004E4\\Comments") + Str("Caf\xE9");
    // A short block is passed over and the next start marker taken.
    ziptest::WriteFile(dir / "f", kStart + '\0' + "short" + kEnd + Block(body));
    CFileVersion v;
    ASSERT_TRUE(v.bLoad(ziptest::Wide(dir / "f").c_str()));
    EXPECT_EQ("1.2.3.4", Value(v, L"\\stringfileinfo\\000004e4\\FILEVERSION"));
    EXPECT_EQ("Caf?", Value(v, L"\\StringFileInfo\\000004E4\\Comments"));
    EXPECT_EQ("<none>", Value(v, L"\\StringFileInfo\\000004E4\\File"));  // a prefix is no key
    EXPECT_EQ("<none>", Value(v, L"\\StringFileInfo\\000004E4\\Missing"));

    const struct
    {
        std::string content;
    } none[] = {{"no marker at all"}, {kStart + '\0' + body}, {kStart + '\0' + "tiny" + kEnd}};
    for (const auto& c : none) {
        ziptest::WriteFile(dir / "g", c.content);
        EXPECT_FALSE(v.bLoad(ziptest::Wide(dir / "g").c_str()));
        EXPECT_EQ("<none>", Value(v, L"\\StringFileInfo\\000004E4\\FileVersion"));
    }
}

TEST(FileVersion, ScansStayInsideACraftedBlock)
{
    // The block ends on a key without its value or its terminator.
    ziptest::ScratchDir dir;
    ziptest::WriteFile(dir / "f", "x" + kStart + '\0' + std::string(40, 'a') + '\0' + "\\Resource\\7" + kEnd);
    CFileVersion v;
    ASSERT_TRUE(v.bLoad(ziptest::Wide(dir / "f").c_str()));
    void* p = nullptr;
    unsigned n = 0;
    EXPECT_FALSE(v.bGetBinaryValue(L"\\Resource\\7", &p, &n));
    // The last value runs to the block's end, not past it.
    ASSERT_TRUE(v.bGetBinaryValue(std::wstring(40, L'a').c_str(), &p, &n));
    EXPECT_EQ("\\Resource\\7", std::string(static_cast<char*>(p), n));
}

TEST(FileVersion, ResourceBlocksAreKeyedByNumber)
{
    ziptest::ScratchDir dir;
    const std::string start = std::string("Resource") + "InfoMarkStart";
    const std::string end = std::string("Resource") + "InfoMarkEnd";
    ziptest::WriteFile(dir / "r", start + '\0' + Str("\\Resource\\12") + Str("twelve, a resource value") +
                                      Str("\\Resource\\1") + Str("one") + '\0' + end);
    CFileRessource r;
    ASSERT_TRUE(r.bLoad(ziptest::Wide(dir / "r").c_str()));
    void* p = nullptr;
    unsigned n = 0;
    ASSERT_TRUE(r.bLoadResource(1, &p, &n));
    EXPECT_EQ("one", std::string(static_cast<char*>(p), n));
    EXPECT_FALSE(r.bLoadResource(2, &p, &n));
}

TEST(FileVersion, BothDeliverablesCarryTheirBlock)
{
    KeepVersionBlock();
    CFileVersion v;
    ASSERT_TRUE(v.bLoad(L"/proc/self/exe"));
    EXPECT_EQ("20.0.1.0", Value(v, L"\\StringFileInfo\\000004E4\\FileVersion"));
    EXPECT_EQ("80A200029 ", Value(v, L"\\StringFileInfo\\000004E4\\VersionVI"));
    EXPECT_EQ("Tarvok - MySQL Installer for Morvat Linux", Value(v, L"\\StringFileInfo\\000004E4\\FileDescription"));
    ASSERT_TRUE(v.bLoad(ziptest::Wide(VX_DRIVER_PATH).c_str()));
    EXPECT_EQ("20.0.10.0", Value(v, L"\\StringFileInfo\\000004E4\\FileVersion"));
}

}  // namespace
