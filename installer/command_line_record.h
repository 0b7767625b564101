#pragma once

// The process's command line as one wide text, rebuilt from main's
// arguments (the system layer has no other source for it).

// Capacity of the recorded text in characters, terminator included.
constexpr int COMMAND_LINE_CHARS = 1025;

// Each argument converted from UTF-8 (at most 1024 characters) and followed
// by one blank; an argument holding a blank goes between double quotes, after
// its "key=" when an '=' comes before its first blank. Appending stops when
// the text is full.
void SetCommandLine(int argc, char** argv);
// The text SetCommandLine built (empty before).
const wchar_t* GetCommandLine();
