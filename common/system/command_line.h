#pragma once

#include <string>
#include <vector>

// Splits a Windows-style command line into its arguments, each in UTF-8.
// Arguments are separated by white space; a double quote (one preceded by a
// backslash is none, and the backslash stays) opens a quoted part in which
// white space belongs to the argument, the next one closes it and later
// ones move the close. The opening and the last closing quote are removed,
// quotes between them stay, and an opening quote never closed stays.
// Trailing white space goes and empty arguments are dropped. Throws
// std::bad_alloc when memory runs out.
std::vector<std::string> __SplitCommandLine(const wchar_t* pszCommandLine);
