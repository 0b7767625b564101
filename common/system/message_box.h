#pragma once

// Message boxes. The runtime's graphical library "vx200obj.so" shows them
// through its entry "MessageBox_QT_W" when the process has already loaded it
// (it is never loaded here); otherwise the box is a French prompt on standard
// error answered by one word on standard input.

// Button codes.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Box types (the whole value chooses the prompt; any other value, icon bits
// included, asks RETRY/ABORT/IGNORE).
constexpr unsigned int MB_OK = 0;
constexpr unsigned int MB_OKCANCEL = 1;
constexpr unsigned int MB_ABORTRETRYIGNORE = 2;
constexpr unsigned int MB_YESNOCANCEL = 3;
constexpr unsigned int MB_YESNO = 4;
constexpr unsigned int MB_RETRYCANCEL = 5;

// The graphical library's entry: a button code, or -1 when it shows no box.
using PFMESSAGEBOX_QT_W = int (*)(void* hWnd, const wchar_t* pszText, const wchar_t* pszCaption, unsigned int nType);

// The graphical library when loaded (looked for as the executable's directory
// + "vx200obj.so", then the working directory + "/vx200obj.so"), else, or
// when it answers -1, the terminal prompt. Never fails.
int MessageBox(void* hWnd, const wchar_t* pszText, const wchar_t* pszCaption, unsigned int nType);
// Always the terminal prompt.
int MessageBoxW(void* hWnd, const wchar_t* pszText, const wchar_t* pszCaption, unsigned int nType);
// The terminal prompt: the caption and the text (wide when bWide, else 8-bit
// bytes written as they are), each on a line of standard error, then the
// prompt of the type; the first letter of the word read decides ('a' ABORT,
// 'c' CANCEL, 'i' IGNORE, 'n' NO, 'r' RETRY, 'y' YES, lower case only);
// anything else, and the end of standard input, is OK.
int _MessageBox_NO_GUI(const void* pText, const wchar_t* pszCaption, unsigned int nType, int bWide);
