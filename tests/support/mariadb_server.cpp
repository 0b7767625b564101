#include "tests/support/mariadb_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

#include "tests/support/raw_client.h"

extern char** environ;

namespace vxtest {

namespace {

// The shell quoting scripts/mariadb writes: single-quoted runs, backslash
// escapes between them ('it'\''s'), plain characters.
bool bUnquote(const std::string& sIn, std::string& sOut)
{
    sOut.clear();
    for (size_t i = 0; i < sIn.size(); ++i)
    {
        if (sIn[i] == '\'')
        {
            const size_t nEnd = sIn.find('\'', i + 1);
            if (nEnd == std::string::npos)
                return false;
            sOut.append(sIn, i + 1, nEnd - i - 1);
            i = nEnd;
        }
        else if (sIn[i] == '\\')
        {
            if (++i == sIn.size())
                return false;
            sOut.push_back(sIn[i]);
        }
        else
            sOut.push_back(sIn[i]);
    }
    return true;
}

bool bNumber(const std::string& s, long nMax, long& n)
{
    if (s.empty() || s.size() > 10 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    n = std::stol(s);
    return n > 0 && n <= nMax;
}

bool bInCI()
{
    const char* psz = std::getenv("CI");
    return psz != nullptr && *psz != '\0';
}

MariadbServer& RunServer()
{
    static MariadbServer server;
    return server;
}

}  // namespace

std::optional<MariadbServer> ParseMariadbAssignments(const std::string& sText, std::string* psWhy)
{
    std::map<std::string, std::string> values;
    std::istringstream in(sText);
    std::string sLine;
    while (std::getline(in, sLine))
    {
        const size_t nEq = sLine.find('=');
        if (sLine.empty() || nEq == std::string::npos)
            continue;
        std::string sValue;
        if (!bUnquote(sLine.substr(nEq + 1), sValue))
        {
            *psWhy = "malformed line: " + sLine;
            return std::nullopt;
        }
        values[sLine.substr(0, nEq)] = sValue;
    }
    MariadbServer server;
    const std::pair<const char*, std::string*> texts[] = {
        {"VX_MARIADB_DIR", &server.sDir},
        {"VX_MARIADB_SOCKET", &server.sSocket},
        {"VX_MARIADB_DATABASE", &server.sDatabase},
        {"VX_MARIADB_PREFIX", &server.sPrefix},
        {"VX_MARIADB_USER", &server.user.sUser},
        {"VX_MARIADB_PASSWORD", &server.user.sPassword},
        {"VX_MARIADB_ADMIN_USER", &server.admin.sUser},
        {"VX_MARIADB_ADMIN_PASSWORD", &server.admin.sPassword},
    };
    for (const auto& [pszName, psTarget] : texts)
    {
        const auto it = values.find(pszName);
        if (it == values.end() || it->second.empty())
        {
            *psWhy = std::string("no ") + pszName;
            return std::nullopt;
        }
        *psTarget = it->second;
    }
    long nPort = 0;
    if (!bNumber(values["VX_MARIADB_PORT"], 65535, nPort) || !bNumber(values["VX_MARIADB_PID"], 0x7fffffff, server.nPid))
    {
        *psWhy = "no valid VX_MARIADB_PORT or VX_MARIADB_PID";
        return std::nullopt;
    }
    server.nPort = static_cast<unsigned>(nPort);
    return server;
}

const MariadbServer& Mariadb()
{
    return RunServer();
}

void MariadbEnvironment::SetUp()
{
    // VX_MARIADB_ENV points a hand-run test at a server started by hand
    // (scripts/mariadb start > file).
    const char* pszFile = std::getenv("VX_MARIADB_ENV");
    const std::string sFile = pszFile != nullptr && *pszFile ? pszFile : VX_MARIADB_ENV_FILE;
    std::string sWhy;
    std::ifstream f(sFile, std::ios::binary);
    std::optional<MariadbServer> server;
    if (!f)
        sWhy = "no private server (" + sFile + " is missing)";
    else
        server = ParseMariadbAssignments(std::string(std::istreambuf_iterator<char>(f), {}), &sWhy);
    if (server && !RawClientLibraryLoaded(&sWhy))
        server.reset();
    if (server)
    {
        RunServer() = *server;
        return;
    }
    std::cout << (bInCI() ? "server tests cannot run under CI: " : "server tests skipped: ") << sWhy << std::endl;
    std::fflush(nullptr);
    // Nothing has run yet that needs its destructors or a leak check.
    std::_Exit(bInCI() ? 1 : VX_SERVER_SKIP_CODE);
}

ScriptResult RunMariadbScript(const std::vector<std::string>& args)
{
    ScriptResult result;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return result;
    std::vector<std::string> argv = {"bash", VX_MARIADB_SCRIPT};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& s : argv)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int nSpawn = posix_spawnp(&pid, "bash", &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (nSpawn == 0)
    {
        char buf[4096];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                result.sOut.append(buf, static_cast<size_t>(n));
        int nWait = 0;
        while (waitpid(pid, &nWait, 0) < 0 && errno == EINTR)
        {
        }
        if (WIFEXITED(nWait))
            result.nStatus = WEXITSTATUS(nWait);
    }
    close(fds[0]);
    return result;
}

PrivateMariadb::PrivateMariadb(const std::vector<std::string>& options)
{
    std::vector<std::string> args = {"start"};
    args.insert(args.end(), options.begin(), options.end());
    const ScriptResult started = RunMariadbScript(args);
    std::string sWhy = "status " + std::to_string(started.nStatus);
    if (started.nStatus == 0)
        m_server = ParseMariadbAssignments(started.sOut, &sWhy);
    if (!m_server)
        ADD_FAILURE() << "scripts/mariadb start failed: " << sWhy;
}

PrivateMariadb::~PrivateMariadb()
{
    if (!m_server)
        return;
    const std::string sDir = m_server->sDir;
    EXPECT_EQ(0, Stop()) << "scripts/mariadb stop " << sDir;
}

bool PrivateMariadb::bIsServer() const
{
    if (!m_server)
        return false;
    // The PID is the server's only while its command line says so (a dead
    // server's number may be another process's by now).
    const std::string sMark = std::string(1, '\0') + "--datadir=" + m_server->sDir + "/data" + '\0';
    std::ifstream f("/proc/" + std::to_string(m_server->nPid) + "/cmdline", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {}).find(sMark) != std::string::npos;
}

namespace {

// Every thread of the process is in the stopped state: a SIGSTOP takes
// effect on each thread only when it next leaves the kernel, so a thread
// busy at the kill can still answer a client for a moment after it.
bool bAllThreadsStopped(long nPid)
{
    std::error_code ec;
    std::filesystem::directory_iterator tasks("/proc/" + std::to_string(nPid) + "/task", ec);
    if (ec)
        return false;
    for (const std::filesystem::directory_entry& task : tasks) {
        std::ifstream f(task.path() / "stat");
        std::string sStat;
        std::getline(f, sStat);
        // The state follows the command name, which may hold ") ".
        const std::string::size_type nEnd = sStat.rfind(") ");
        if (nEnd == std::string::npos || nEnd + 2 >= sStat.size() || sStat[nEnd + 2] != 'T')
            return false;
    }
    return true;
}

}  // namespace

bool PrivateMariadb::bSignal(int nSignal)
{
    if (!bIsServer() || kill(static_cast<pid_t>(m_server->nPid), nSignal) != 0)
        return false;
    if (nSignal != SIGSTOP)
        return true;
    // Bounded: a stop reaches every thread within scheduling delays.
    for (int i = 0; i < 5000; ++i) {
        if (bAllThreadsStopped(m_server->nPid))
            return true;
        usleep(1000);
    }
    return false;
}

bool PrivateMariadb::bKill()
{
    if (!bSignal(SIGKILL))
        return false;
    // Its parent reaps it; a zombie has an empty command line. Bounded: a
    // process killed so ends at once.
    for (int i = 0; i < 3000 && bIsServer(); ++i)
        usleep(1000);
    return !bIsServer();
}

int PrivateMariadb::Restart()
{
    if (!m_server)
        return -1;
    const ScriptResult restarted = RunMariadbScript({"restart", m_server->sDir});
    if (restarted.nStatus != 0)
        return restarted.nStatus;
    std::string sWhy;
    std::optional<MariadbServer> server = ParseMariadbAssignments(restarted.sOut, &sWhy);
    if (!server)
    {
        ADD_FAILURE() << "scripts/mariadb restart printed no assignments: " << sWhy;
        return -1;
    }
    m_server = std::move(server);
    return 0;
}

int PrivateMariadb::Stop()
{
    if (!m_server)
        return 0;
    // A frozen server would hold the stop's SIGTERM until the script's
    // SIGKILL.
    (void)bSignal(SIGCONT);
    const int nStatus = RunMariadbScript({"stop", m_server->sDir}).nStatus;
    m_server.reset();
    return nStatus;
}

}  // namespace vxtest
