// The driver exports exactly the entry points the host looks up by name.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

// Every name the driver may export; extended as entry points are added (and
// listed in mysql/vxmysql.map).
const std::set<std::string> kExpectedExports = {
    "Execution",
    "CommandeComposante",
    "DLLRES_pLoadResourceModule",
    "bInitZLConvFromVM",
    "bInitZLCalcFromVM",
    "bInitLibrary",
    "bDLLCompatible",
    "piQueryInterface",
    "TermLibrary",
    // The text exports are C++ template specialisations, pinned by their
    // mangled names so that a changed signature shows here.
    "_Z14STRG_pszCreateIwEPT_i",          // wchar_t* STRG_pszCreate<wchar_t>(int)
    "_Z14STRG_pszCreateIcEPT_i",          // char* STRG_pszCreate<char>(int)
    "_Z13STRG_nGetCharIccEiP8_IO_FILE",   // int STRG_nGetChar<char, char>(FILE*)
    "_Z13STRG_nGetCharIwwEiP8_IO_FILE",   // int STRG_nGetChar<wchar_t, wchar_t>(FILE*)
    "_Z13STRG_nGetCharIwtEiP8_IO_FILE",   // int STRG_nGetChar<wchar_t, unsigned short>(FILE*)
    "_Z13STRG_nGetLineIcEiPPT_PmP8_IO_FILE",  // int STRG_nGetLine<char>(char**, size_t*, FILE*)
    "_Z13STRG_nGetLineIwEiPPT_PmP8_IO_FILE",  // int STRG_nGetLine<wchar_t>(wchar_t**, size_t*, FILE*)
};

std::set<std::string> DefinedDynamicSymbols(const std::string& library)
{
    std::set<std::string> names;
    const std::string command = "nm -D --defined-only '" + library + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string value, type, name;
        if (fields >> value >> type >> name)
            names.insert(name.substr(0, name.find('@')));
        else
            names.insert(std::string("unparsed: ") + line);
    }
    EXPECT_EQ(0, pclose(pipe)) << command;
    return names;
}

TEST(DriverExports, ExactlyTheListedEntryPoints)
{
    EXPECT_EQ(kExpectedExports, DefinedDynamicSymbols(VX_DRIVER_PATH));
}

}  // namespace
