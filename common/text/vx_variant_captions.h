#pragma once

#include "common/system/module_info.h"

// The captions used when a variant value is dumped for a query trace: eight
// texts of the module's resource strings, with French fallbacks when a text
// cannot be loaded. Process-wide and unguarded: set at module start and freed
// at module end.
class CVXVariant
{
public:
    static wchar_t* s_pszDumpZLType;             // "Type Tessic"
    static wchar_t* s_pszDumpADOType;            // "Type ADO"
    static wchar_t* s_pszDumpValue;              // "Valeur"
    static wchar_t* s_pszDumpTime;               // "Heure"
    static wchar_t* s_pszDumpDate;               // "Date"
    static wchar_t* s_pszDumpConvFailed_Text;    // "Echec de la conversion de la valeur en texte."
    static wchar_t* s_pszDumpConvFailed_Date;    // "Echec de la conversion de la valeur en date"
    static wchar_t* s_pszDumpConvFailed_Time;    // "Echec de la conversion de la valeur en heure"

    // Loads the eight captions from the descriptor's texts (the fallback for
    // each one that fails) into malloc'd copies; a copy that cannot be made
    // leaves its caption null. Captions loaded before are freed first.
    static void InitQueryDumpRessources(const _stMyModuleInfo* info = &gstMyModuleInfo32);
    // Frees the captions; safe whether or not they were ever loaded.
    static void FreeQueryDumpRessources();
};
