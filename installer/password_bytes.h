#pragma once

// The bytes a wide password stands for in keys and digests: its code page
// 1252 form when every character survives the round trip through that code
// page, otherwise its UTF-16 form (little-endian units, characters above
// U+FFFF as surrogate pairs); never a terminator.

// A malloc block the caller frees, and its length; null with length 0 for a
// null or empty password, and when memory runs out (*pbFailed set then).
unsigned char* pbyPasswordBytes(const wchar_t* pszPassword, unsigned* pnLength, bool* pbFailed = nullptr);
