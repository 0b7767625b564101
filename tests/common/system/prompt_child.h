#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>

// Runs a body in a forked child whose standard input reads the given text
// (then its end) and whose standard error is captured; the child's exit
// code is the body's result.
namespace vxtest {

struct PromptRun
{
    int nResult = -1;
    std::string sError;
};

template <typename F>
PromptRun RunWithTerminal(const std::string& sInput, F body)
{
    PromptRun st;
    int aIn[2], aErr[2];
    if (pipe(aIn) != 0 || pipe(aErr) != 0)
        return st;
    const pid_t n = fork();
    if (n == 0)
    {
        dup2(aIn[0], 0);
        dup2(aErr[1], 2);
        close(aIn[0]);
        close(aIn[1]);
        close(aErr[0]);
        close(aErr[1]);
        _exit(body());
    }
    close(aIn[0]);
    close(aErr[1]);
    if (!sInput.empty())
    {
        ssize_t nWritten = write(aIn[1], sInput.data(), sInput.size());
        (void)nWritten;
    }
    close(aIn[1]);
    char ac[512];
    ssize_t nRead;
    while ((nRead = read(aErr[0], ac, sizeof ac)) > 0)
        st.sError.append(ac, static_cast<size_t>(nRead));
    close(aErr[0]);
    int nStatus = 0;
    waitpid(n, &nStatus, 0);
    st.nResult = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -100 - WTERMSIG(nStatus);
    return st;
}

}  // namespace vxtest
