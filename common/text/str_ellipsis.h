#pragma once

// Where the "..." of a shortened text goes.
enum eELLIPSISPOSITION : int
{
    ELLIPSIS_END = 0,     // first max - 3 characters, then "..."
    ELLIPSIS_MIDDLE = 1,  // first (max - 3) / 2, "...", last (max - 2) / 2
    ELLIPSIS_START = 2,   // "...", then the last max - 3 characters
};

// Writes s shortened to at most max characters into pDst, which has room
// for min(length of s, max) characters and a terminator; answers the
// characters written. A text of at most max characters is copied whole.
// With max below 3, or an unknown position, the first max characters are
// written (no room for the "..."). A null s writes the empty text.
unsigned long STR_Ellipsis(wchar_t* pDst, const wchar_t* s, unsigned long max, eELLIPSISPOSITION where);
