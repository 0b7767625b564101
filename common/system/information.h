#pragma once

#include <cstdint>

class IStrMemAlloc;
class IInfoLocale;
class ILibShop;
class IGlobalFactory;

// Static holders of what the host hands the module at start-up. Nothing
// clears them after the end: they are written once and read afterwards.
// The comments give the index of the host query that fills each one.
class CInformationModule
{
public:
    // Every runtime string block comes from here; null until published.
    static IStrMemAlloc* ms_piStrMemAlloc;      // 13
};

class CInformationDLL : public CInformationModule
{
public:
    static uint32_t ms_nCodeProduitExecution;   // 1
    static uint32_t ms_nLangueInterne;          // 2
    static const wchar_t* ms_pszNomProduit;     // 3
    static uint64_t ms_dwOptions;               // 4
    static uint32_t ms_nCodeProduitReel;        // 5
    static ILibShop* ms_piLibShop;              // 7, or the start-up record's
    static uint32_t ms_dwVersionActive;         // 8, keeps the larger
    static IGlobalFactory* ms_piGlobalFactory;  // 9
    static void* ms_piCollecteurTopo;           // 10
    // Null until the host gives one; every locale-dependent helper must
    // check it rather than call through it.
    static IInfoLocale* ms_piInfoLocale;        // 12, or command 4878
    static int* ms_pbMultithread;               // 14
    static void* ms_piInformationComposante;    // 15
};
