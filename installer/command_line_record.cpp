#include "installer/command_line_record.h"

#include <cwchar>

#include "common/text/utf8_convert.h"

namespace {

wchar_t gszCommandLine[COMMAND_LINE_CHARS];

// Appends what fits of n characters, always terminated.
void Append(wchar_t* pszText, const wchar_t* p, size_t n)
{
    size_t length = std::wcslen(pszText);
    while (n > 0 && length + 1 < static_cast<size_t>(COMMAND_LINE_CHARS)) {
        pszText[length++] = *p++;
        --n;
    }
    pszText[length] = 0;
}

}  // namespace

void SetCommandLine(int argc, char** argv)
{
    gszCommandLine[0] = 0;
    wchar_t argument[COMMAND_LINE_CHARS];
    for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        UTF8ToWide(argument, COMMAND_LINE_CHARS, argv[i]);
        const wchar_t* blank = std::wcschr(argument, L' ');
        if (blank == nullptr) {
            Append(gszCommandLine, argument, std::wcslen(argument));
        } else {
            const wchar_t* equal = std::wcschr(argument, L'=');
            size_t head = 0;
            if (equal != nullptr && equal < blank)
                head = static_cast<size_t>(equal - argument) + 1;
            Append(gszCommandLine, argument, head);
            Append(gszCommandLine, L"\"", 1);
            Append(gszCommandLine, argument + head, std::wcslen(argument + head));
            Append(gszCommandLine, L"\"", 1);
        }
        Append(gszCommandLine, L" ", 1);
    }
}

const wchar_t* GetCommandLine()
{
    return gszCommandLine;
}
