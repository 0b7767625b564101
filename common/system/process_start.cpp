#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "common/system/command_line.h"
#include "common/system/disk_file.h"
#include "common/system/process.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

extern char** environ;

namespace {

std::string Utf8(const wchar_t* pszText)
{
    std::string s(UTF8ByteLen(pszText), '\0');
    WideToUTF8(s.data(), pszText);
    return s;
}

// What the child runs, all built before fork: a child of a process with
// other threads must not take locks (the allocator's, the converters') that
// another thread may have held at the fork.
struct Launch
{
    std::string sProgram;
    std::vector<std::string> aArgs;
    std::vector<char*> apszArgv;
};

Launch Prepare(const wchar_t* pszApplication, const wchar_t* pszCommandLine)
{
    Launch st;
    std::vector<std::string> aLine = __SplitCommandLine(pszCommandLine);
    if (pszApplication != nullptr)
    {
        st.sProgram = Utf8(pszApplication);
        st.aArgs.push_back(st.sProgram);
    }
    else
        st.sProgram = !aLine.empty() ? aLine.front() : Utf8(pszCommandLine);
    for (std::string& s : aLine)
        st.aArgs.push_back(std::move(s));
    return st;
}

}  // namespace

int CreateProcess(const wchar_t* pszApplication, const wchar_t* pszCommandLine, pid_t* pPid, int bWait,
                  int* pbStillRunning, int* pnExitCode)
{
    if (pszApplication == nullptr && pszCommandLine == nullptr)
    {
        errno = EINVAL;
        return 0;
    }
    Launch st;
    try
    {
        st = Prepare(pszApplication, pszCommandLine);
        // Pointers into the strings, taken once they no longer move.
        for (std::string& s : st.aArgs)
            st.apszArgv.push_back(s.data());
        st.apszArgv.push_back(nullptr);
    }
    catch (const std::bad_alloc&)
    {
        errno = ENOMEM;
        return 0;
    }
    if (pszApplication != nullptr && CDiskFile::Unix_access(pszApplication, X_OK) != 0)
        return 0;

    const pid_t nChild = fork();
    if (nChild == 0)
    {
        execve(st.sProgram.c_str(), st.apszArgv.data(), environ);
        _exit(255);
    }
    if (pPid != nullptr)
        *pPid = nChild;
    if (nChild == -1)
        return 0;
    if (!bWait)
        return 1;

    int nLocalCode = 0;
    int* pnCode = pnExitCode != nullptr ? pnExitCode : &nLocalCode;
    *pnCode = 0;
    const pid_t nWaited = WaitPid(nChild, 1000, pnCode);
    if (pbStillRunning != nullptr)
        *pbStillRunning = nWaited == 0;
    if (nWaited == 0)
        return 1;
    return *pnCode != 255;
}
