#pragma once

// Scratch directories and the archive tools (Python's zipfile, Info-ZIP
// zip) for the archive tests. A test whose tool is missing is skipped.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/installer/support/zip_builder.h"

namespace ziptest {

class ScratchDir
{
public:
    ScratchDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/vxzipXXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~ScratchDir()
    {
        // VX_KEEP_SCRATCH keeps the directory for a look after a failure.
        if (!m_path.empty() && std::getenv("VX_KEEP_SCRATCH") == nullptr)
            std::system(("rm -rf '" + m_path + "'").c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool HaveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command in the directory; true when it exits with 0.
inline bool Run(const std::string& dir, const std::string& command)
{
    return std::system(("cd '" + dir + "' && { " + command + "; } >/dev/null 2>&1").c_str()) == 0;
}

// What a shell command writes on its standard output.
inline std::string Output(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buf[4096];
    while (p != nullptr && fgets(buf, sizeof buf, p) != nullptr)
        out += buf;
    if (p != nullptr)
        pclose(p);
    return out;
}

// Runs a Python program (given as text) in the directory.
inline bool RunPython(const std::string& dir, const std::string& program)
{
    WriteFile(dir + "/make.py", program);
    return Run(dir, "python3 make.py");
}

}  // namespace ziptest

#define ZIPTEST_REQUIRE_TOOL(name)                                  \
    do {                                                            \
        if (!ziptest::HaveTool(name))                               \
            GTEST_SKIP() << name << " is not installed";            \
    } while (0)
