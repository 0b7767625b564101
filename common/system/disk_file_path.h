#pragma once

#include <cstddef>

#include "common/text/xy_string.h"

class CTString;
class CXError;

// Path and file-name functions on text only: slash conversion, end slashes,
// extensions, splitting and building, full and relative paths, comparison,
// wildcard matching and name checks. A base of CDiskFile, so that every one
// is called as CDiskFile::Name.
//
// Paths are wide. Backslashes are accepted everywhere and read as slashes
// (on a copy when the argument is constant). Buffers that an operation
// fills without a size of the caller hold XFILE_PATH_CHARS characters
// (260 and the terminator); where the historical form takes no size, a
// last argument with that default bounds the write, and text that does not
// fit is cut (or, where noted, left unchanged).
constexpr size_t XFILE_PATH_CHARS = 261;

class CDiskFilePath
{
public:
    // --- Slash conversion, in place; the text is returned (null stays null).
    static char* pszBackSlash2Slash(char* psz);
    static wchar_t* pszBackSlash2Slash(wchar_t* psz);
    // The string's own, unshared copy is changed.
    static const wchar_t* pszBackSlash2Slash(CXYString<wchar_t>& s);
    static const wchar_t* pszBackSlash2Slash(CTString& s);
    static char* pszSlash2BackSlash(char* psz);
    static wchar_t* pszSlash2BackSlash(wchar_t* psz);
    static const wchar_t* pszSlash2BackSlash(CXYString<wchar_t>& s);
    static const wchar_t* pszSlash2BackSlash(CTString& s);

    // --- Directory end slash (backslashes become slashes first).
    // Appends '/' to a non-empty text that does not end with one; an empty
    // text stays empty. The buffer forms leave a text that has no room for
    // the slash unchanged.
    static void DirectoryWithEndSlash(wchar_t* psz, size_t nCapacity = XFILE_PATH_CHARS);
    static void DirectoryWithEndSlash(char* psz, size_t nCapacity = XFILE_PATH_CHARS);
    static void DirectoryWithEndSlash(CXYString<wchar_t>& s);
    static void DirectoryWithEndSlash(CTString& s);
    // The buffer form removes every trailing '/' (or '\\'); the string forms
    // remove one '/'.
    static void DirectoryWithoutEndSlash(wchar_t* psz);
    static void DirectoryWithoutEndSlash(CXYString<wchar_t>& s);
    static void DirectoryWithoutEndSlash(CTString& s);

    // --- Names and extensions.
    // After a drive prefix (second character ':') and the last '/' or '\\'.
    static const wchar_t* pszGetPtrToFileName(const wchar_t* pszPath);
    static wchar_t* pszGetPtrToFileName(wchar_t* pszPath);
    // The last '.' of the last component, or its terminator when it has
    // none; null and empty texts are returned as they are.
    static const wchar_t* pszGetPtrToExtension(const wchar_t* pszPath);
    static wchar_t* pszGetPtrToExtension(wchar_t* pszPath);
    // Cuts the text at the last '.' of its last component (a final '.' is
    // removed; a text ending with '/' is left). The buffer form turns
    // backslashes into slashes first; the string form does not.
    static void DelExtension(wchar_t* pszPath);
    static void DelExtension(CXYString<wchar_t>& s);
    // Replaces the extension (from its '.' when ext starts with one, else
    // after it), or appends '.' and ext when there is none; bounded by size
    // characters (terminator included).
    static void ChangeExtension(wchar_t* pszPath, size_t nSize, const wchar_t* pszExt);
    static void ChangeExtension(CXYString<wchar_t>& s, const wchar_t* pszExt);
    // Inserts "./" in front; nothing when the result would not fit.
    static void PrefixeCurrentDirectory(wchar_t* pszPath, size_t nCapacity = XFILE_PATH_CHARS);
    // out = name (when given and not out itself, cut to the capacity) with
    // slashes and without trailing white space.
    static void StandardizeFileName(wchar_t* pszOut, const wchar_t* pszName, size_t nCapacity = XFILE_PATH_CHARS);
    // GetFullPathName's result: 0, or above size - 1, when it failed.
    static unsigned bStandardizeExistingFileName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName);
    static unsigned bGetUNCName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName, CXError* pclError);
    // A bounded copy; true.
    static bool bGetLongPathName(wchar_t* pszOut, unsigned nSize, const wchar_t* pszName);

    // --- Building and splitting.
    // Slashes in the three inputs, then makepath: the directory with an end
    // slash (none for an empty or missing one), the name, and when both the
    // name and the extension are not empty, '.' (unless ext has it) and ext.
    // A path that does not fit leaves out empty.
    static void MakePath(wchar_t* pszOut, const wchar_t* pszDirectory, const wchar_t* pszName,
                         const wchar_t* pszExt, size_t nCapacity = XFILE_PATH_CHARS);
    // Directory (with its end separator; "/" alone for a root name), name
    // and extension (from the last '.', included). Every output may be null;
    // each holds XFILE_PATH_CHARS characters and is left empty when its part
    // does not fit.
    template <class T>
    static void __SplitPath(const T* pszPath, T* pszDirectory, T* pszName, T* pszExt);
    // Directory and file name (name followed by extension).
    template <class T>
    static void __SplitPath(const T* pszPath, T* pszDirectory, T* pszFileName);

    // --- Tests.
    // The first character is '.'.
    static bool bIsRelativePath(const wchar_t* pszPath);
    // Empty, or not starting with '/'.
    static bool bIsRelativeFileName(const wchar_t* pszPath);
    // Not relative: starting with '\\', a letter followed by ':', or ending
    // with ':'. Empty: relative.
    static bool bIsRelativeFileName_WIN32(const wchar_t* pszPath);
    // Two backslashes, then a further one.
    static bool bUNCName(const wchar_t* pszPath);
    static bool bUNCNameA(const char* pszPath);
    // "." or "..".
    static bool bIsAVirtualDirectory(const wchar_t* pszName);
    // None of \ / : * ? " < > | in the name.
    static bool bValidName(const wchar_t* pszName);
    // The whole name matches the whole pattern: '*' any run (empty too),
    // '?' any one character, anything else itself (case-sensitive).
    static bool _bFiltreFileName(const wchar_t* pszName, const wchar_t* pszPattern);

    // --- Comparisons (of texts, case-sensitive, on standardised copies).
    static bool bSameFileName(const wchar_t* a, const wchar_t* b);
    // The same after one trailing '/' is removed from each.
    static bool bSameDirectoryName(const wchar_t* a, const wchar_t* b);
    // A name whose flag is set is first made full; a name that cannot be
    // made full compares unequal.
    static bool bSameDirectoryNameEx(const wchar_t* a, int bAExists, const wchar_t* b, int bBExists);

    // --- Full and relative paths.
    // The full path of the name, normalised ("/./" and "/../" removed), in
    // out of size characters. Returns its length; 0 for an empty name, a
    // home directory that cannot be found or a current directory that cannot
    // be read (other than too long). When the result does not fit, nothing
    // is written and a needed size above size - 1 is returned (twice size
    // when the current directory alone passes size). The file part is not
    // used.
    static unsigned GetFullPathName(const wchar_t* pszName, unsigned nSize, wchar_t* pszOut,
                                    wchar_t** ppszFilePart);
    // In place: "/./" becomes "/", then each "/../" is removed with the
    // component in front of it (a ".." component, or none, is kept).
    static void SimplifyPath(wchar_t* pszPath);
    // out (XFILE_PATH_CHARS characters) = path relative to base: "./rest"
    // or "../" per level up then the rest. With bMustShare, false when the
    // two share no leading directory. False when the result does not fit.
    static bool bPathRelativePathTo(wchar_t* pszOut, const wchar_t* pszPath, const wchar_t* pszBase, int bMustShare);
    // out = the relative text made full against the base directory. Mode 0
    // takes a text not starting with '.' as it is, mode 1 one starting with
    // '/'. "./x" allows 4097 characters, other results 260; out must hold
    // XFILE_RELATIVE_TO_FULL_CHARS. False when the result does not fit.
    static bool bRelativeToFullPath(wchar_t* pszOut, const wchar_t* pszRelative, const wchar_t* pszBase, int nMode);
    static constexpr size_t XFILE_RELATIVE_TO_FULL_CHARS = 4098;
};

// Wide text only.
template <>
void CDiskFilePath::__SplitPath<wchar_t>(const wchar_t*, wchar_t*, wchar_t*, wchar_t*);
template <>
void CDiskFilePath::__SplitPath<wchar_t>(const wchar_t*, wchar_t*, wchar_t*);
