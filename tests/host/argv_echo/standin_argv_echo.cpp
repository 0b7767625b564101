// A program for process-start tests: writes its arguments, one a line, to the
// file named by VX_ARGV_ECHO_OUT and exits with VX_ARGV_ECHO_EXIT (default 0).
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* pszOut = std::getenv("VX_ARGV_ECHO_OUT");
    if (pszOut != nullptr)
    {
        if (FILE* p = std::fopen(pszOut, "w"))
        {
            std::fprintf(p, "%d\n", argc);
            for (int i = 0; i < argc; ++i)
                std::fprintf(p, "%s\n", argv[i]);
            std::fclose(p);
        }
    }
    const char* pszExit = std::getenv("VX_ARGV_ECHO_EXIT");
    return pszExit != nullptr ? std::atoi(pszExit) : 0;
}
