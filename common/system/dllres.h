#pragma once

#include <cstdarg>
#include <cstdint>

#include "common/system/counted_arguments.h"
#include "common/system/format_message.h"
#include "common/system/module_handle.h"

class CTString;
struct _stMyModuleInfo;

// The resource-string layer: every message is a resource text chosen by a
// 32-bit id and formatted printf-style in the Windows convention ("%s" a wide
// text). A text is asked first of the host's string loader, when the host
// installed one (CommandeComposante command 2), and otherwise looked up in the
// module's own packed block through the descriptor's look-up function and
// unpacked. `info` is the module descriptor, &gstMyModuleInfo32 for this
// module; a null descriptor knows no text.
//
// No lock: the loader is installed once by the host before use.

// The host's string loader: copies text `id` into the buffer (capacity in
// wide characters) and answers its length, which may exceed the capacity;
// 0 or below when it has no such text.
typedef int (*PFNLOADSTRINGVXM)(unsigned int nId, wchar_t* pszBuffer, int nCapacity);
// Null until the host installs one; stays installed for the life of the
// process.
extern PFNLOADSTRINGVXM gpfnLoadStringVXM;

// Separates the singular and plural forms of one text.
constexpr wchar_t DLLRES_SEPARATEUR_SINGULIER_PLURIEL[] = L"\n\u00A7\n";

// Start and end of the layer. The arguments are not used.
int DLLRES_bInit(HINSTANCE hModule, int nOption);
void DLLRES_Term();
// Set between DLLRES_bInit and DLLRES_Term; nothing else reads it.
extern uint32_t gbInitialise;

// Loading.
// 1 and *pOut the text; 0 when no loader knows the id (*pOut unchanged). A
// text of the module's block that cannot be unpacked loads as an empty text.
int DLLRES_bLoadString(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut);
// The text into the caller's buffer (capacity in wide characters, terminator
// included). Returns the host loader's count unchanged (it may exceed the
// capacity); from the module's block the text's length, or capacity - 1 when
// only that much fitted; 0 when the id is missing or cannot be unpacked. A
// capacity of 0 or below, or a null buffer, gives 0 and writes nothing.
int DLLRES_nLoadString(const _stMyModuleInfo* info, unsigned int nId, wchar_t* pszBuffer, int nCapacity);
// The host loader alone (0 when none is installed). VXM_bLoadString reads a
// long text with a second call sized from the first answer.
int VXM_bLoadString(unsigned int nId, CTString* pOut);
int VXM_nLoadString(unsigned int nId, wchar_t* pszBuffer, int nCapacity);
// Usage class of the text (0 to 3), -1 when the module has no such text.
int DLLRES_nGetUtilisation(const _stMyModuleInfo* info, unsigned int nId);
// The strings are inside this module: there is no resource module.
int DLLRES_bUtiliseDLLRes();
HINSTANCE ghGetRessourceHandle();
void DLLRES_SetFichierVXM(const wchar_t* pszFichier);

// Formatting (FormatMessageW with the format taken from the text and the
// result allocated). pArgs may be null: the format is then taken as it
// stands.
//
// A text chosen by id may take more inserts than its caller passes. The
// variadic forms are templates that count their arguments and hand the count
// to the formatter with the list (counted_arguments.h), so that a conversion
// past them is written as nothing and never read (see format_message.h). The
// va_list forms take the count as nArgs; without it (kFormatArgsUnknown) the
// caller vouches that the list holds what the text reads.
// *pOut the result (empty on failure); the count of characters, 0 on failure.
unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, CTString* pOut, va_list* pArgs,
                                    int nArgs = kFormatArgsUnknown);
// *ppszOut a malloc block the caller frees (null on failure).
unsigned int DLLRES_dwFormatMessage(const wchar_t* pszFormat, wchar_t** ppszOut, va_list* pArgs,
                                    int nArgs = kFormatArgsUnknown);
// Load id, then format it: 1 when it loaded and formatted to a non-empty
// text, else 0 (*pOut then empty when the id was found).
int DLLRES_bFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut, va_list* pArgs,
                              int nArgs = kFormatArgsUnknown);
template <class... Args>
int DLLRES_bFormatMessage(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut, Args... args)
{
    return CallWithCountedArguments(
        [&](va_list* pList, int n) { return DLLRES_bFormatMessageList(info, nId, pOut, pList, n); }, args...);
}
// Load id, then format into a malloc block (*ppszOut, null when the id is
// missing); the count, 0 when missing.
unsigned int DLLRES_nFormatMessageList(const _stMyModuleInfo* info, unsigned int nId, wchar_t** ppszOut,
                                       va_list* pArgs, int nArgs = kFormatArgsUnknown);
template <class... Args>
unsigned int DLLRES_nFormatMessage(const _stMyModuleInfo* info, unsigned int nId, wchar_t** ppszOut, Args... args)
{
    return CallWithCountedArguments(
        [&](va_list* pList, int n) { return DLLRES_nFormatMessageList(info, nId, ppszOut, pList, n); }, args...);
}
// Load id, take form number nForme (from 0; below 1 the first) of the text
// split at the singular/plural separator, and format it; 0 when the id or
// the form is missing or the result is empty.
int DLLRES_bFormatMessageSingulierPlurielList(const _stMyModuleInfo* info, int nForme, unsigned int nId,
                                              CTString* pOut, va_list* pArgs, int nArgs = kFormatArgsUnknown);
template <class... Args>
int DLLRES_bFormatMessageSingulierPluriel(const _stMyModuleInfo* info, int nForme, unsigned int nId, CTString* pOut,
                                          Args... args)
{
    return CallWithCountedArguments(
        [&](va_list* pList, int n) {
            return DLLRES_bFormatMessageSingulierPlurielList(info, nForme, nId, pOut, pList, n);
        },
        args...);
}

// Other modules' resources.
// What the module's "DLLRES_pLoadResourceModule" export returns for these
// arguments; null when the module is null or has no such export.
void* DLLRES_pLoadResource(const _stMyModuleInfo* info, HINSTANCE hModule, unsigned int nId, const wchar_t* pszName,
                           unsigned int* pnSize);
// Primes another module's resource layer through its CommandeComposante:
// sends command 3 with an empty request (id 0, no buffer, capacity 0).
// 0 when pfnCommande is null, else 1.
int DLLRES_bForceInitRessource(long (*pfnCommande)(long, long));
