#pragma once

#include <cstdarg>

#include "common/system/counted_arguments.h"
#include "common/system/format_message.h"
#include "common/text/xy_string.h"

struct _stMyModuleInfo;

// The resource-string layer's forms that fill a runtime wide string (the
// installer's messages are built as runtime strings). Same look-up and
// formatter as the CTString forms of common/system/dllres.h.

// 1 and *pOut the text (an empty text empties it); 0 when no loader knows the
// id (*pOut unchanged).
int DLLRES_bLoadString(const _stMyModuleInfo* info, unsigned int nId, CXYString<wchar_t>* pOut);
// *pOut the formatted text (empty on failure); the count of characters, 0 on
// failure. pArgs null: the format taken as it stands. nArgs is the number of
// arguments in the list, as for the CTString forms: a conversion past them
// is written as nothing and never read; without it the caller vouches that
// the list holds what the text reads.
unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, CXYString<wchar_t>* pOut, va_list* pArgs,
                                    int nArgs = kFormatArgsUnknown);
// Load, then format: 0 when the id is unknown, else 1 when the text formatted
// to something, 0 otherwise. The variadic form counts its arguments.
int DLLRES_bFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, CXYString<wchar_t>* pOut,
                              va_list* pArgs, int nArgs = kFormatArgsUnknown);
template <class... Args>
int DLLRES_bFormatMessage(const _stMyModuleInfo* info, unsigned int nId, CXYString<wchar_t>* pOut, Args... args)
{
    return CallWithCountedArguments(
        [&](va_list* pList, int n) { return DLLRES_bFormatMessageList(info, nId, pOut, pList, n); }, args...);
}
