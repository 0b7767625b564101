#pragma once

#include <cstddef>

// Heap texts: malloc blocks released with free (STR_Delete). A wide text of n
// characters takes (n + 1) x 4 bytes. Every creation returns null when memory
// runs out, and for a negative count; a null source text reads as empty
// except where said.

// Uninitialised blocks for n characters and a terminator.
wchar_t* STR_pszCreateW(int n);
wchar_t* STR_pszCreate(int n);
char* STR_pszCreateA(int n);

// Copies of a text (null for a null text).
wchar_t* STR_pszCreateW(const wchar_t* pszText);
wchar_t* STR_pszCreate(const wchar_t* pszText);
char* STR_pszCreateA(const char* pszText);

// a followed by b.
wchar_t* STR_pszCreateW(const wchar_t* a, const wchar_t* b);
char* STR_pszCreateA(const char* a, const char* b);

// The first n characters of the text, the rest of the block zero-filled when
// the text is shorter, terminated at n.
wchar_t* STR_pszCreate(int n, const wchar_t* pszText);
wchar_t* STR_pszCreateW(int n, const wchar_t* pszText);
char* STR_pszCreateA(int n, const char* pszText);

// The same from a wide text that may lie at an address not aligned to 4 bytes.
wchar_t* STR_pszCreateW_UNALIGNED(const wchar_t* pszText);
wchar_t* STR_pszCreateW_UNALIGNED(int n, const wchar_t* pszText);

// a, ".", b / a, b, c.
wchar_t* STR_pszConcatPoint(const wchar_t* a, const wchar_t* b);
wchar_t* STR_pszConcat(const wchar_t* a, const wchar_t* b, const wchar_t* c);

// A new text in which every occurrence of find, searched from left to right
// without overlap, is replaced; a plain copy when find does not occur; null
// when the text or find is empty or memory runs out.
wchar_t* STR_RemplaceW(const wchar_t* pszText, const wchar_t* pszFind, const wchar_t* pszReplacement);

// Releases the old text and stores a copy of the source (null for a null
// source); true when the copy was made.
bool STR_bRedefine(wchar_t** ppszText, const wchar_t* pszSource);

// realloc to n characters (no room added for a terminator; n 0 keeps a block
// of one character rather than freeing it); the pointer changes only on
// success; true on success.
bool STR_bResizeW(wchar_t** ppszText, size_t n);
bool STR_bResizeA(char** ppszText, size_t n);

void STR_Delete(void* pText);
void STR_DeleteW(wchar_t* pszText);
void STR_DeleteA(char* pszText);
