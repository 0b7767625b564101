#pragma once

#include <sys/types.h>

// Child processes in the Windows style: started with fork and execve from a
// Windows-style command line, waited for with a time-out.

// Starts the application (when given; it must be executable) or else the
// command line's first argument, with the command line's arguments (the
// application, when given, as argument 0 before them). No search of PATH.
// The argument vector and the program path are built before fork; the child
// only calls execve, and _exit(255) when that fails.
// *pPid (when given) receives fork's result, also -1. With bWait, the child
// is given one second: *pbStillRunning (when given) tells whether it still
// runs, *pnExitCode (when given) receives its exit code (0 while it runs).
// False for an application that cannot be executed, a failed fork, nothing
// to run, and when waiting, a child that ended with 255 (a failed execve).
int CreateProcess(const wchar_t* pszApplication, const wchar_t* pszCommandLine, pid_t* pPid, int bWait,
                  int* pbStillRunning, int* pnExitCode);

// Polls the child, then waits in steps of up to one second (each counted as
// 1000 ms; a step ends early when the child ends or a signal is caught)
// until it ends or the time-out has passed; time-out 0 polls once.
// *pnExitCode (when given) receives the exit code, (status >> 8) & 0xFF.
// Returns what waitpid returned last: the pid when the child ended, 0 when
// it still runs, -1 on error. The wait uses no timer and no signal: it
// needs no handler and leaves any alarm of the host alone.
pid_t WaitPid(pid_t nPid, unsigned int nTimeOutMs, int* pnExitCode);

// false for pid 0; otherwise whether SIGTERM could be sent.
int TerminateProcess(pid_t nPid, int nExitCode);

using PFALARMHANDLER = void (*)(int);
// Does nothing; the handler installed when none is given.
void DefaultAlarmHandler(int nSignal);
// Installs the handler (null: DefaultAlarmHandler) for SIGALRM, which then
// interrupts system calls.
void InitAlarmHandler(PFALARMHANDLER pfHandler);
