#pragma once

#include <cstdint>

class IStrMemAlloc;
class IInfoLocale;
class ILibShop;

// Static holders of what the host hands the module at start-up. Nothing
// clears them after the end: they are written once and read afterwards.
class CInformationModule
{
public:
    // Every runtime string block comes from here; null until published.
    static IStrMemAlloc* ms_piStrMemAlloc;
};

class CInformationDLL : public CInformationModule
{
public:
    static uint32_t ms_nCodeProduitExecution;   // host query 1
    static uint32_t ms_nLangueInterne;          // 2
    static const wchar_t* ms_pszNomProduit;     // 3
    static uint64_t ms_dwOptions;               // 4
    static uint32_t ms_nCodeProduitReel;        // 5
    static ILibShop* ms_piLibShop;              // 7
    static uint32_t ms_dwVersionActive;         // 8, keeps the larger
    static void* ms_piGlobalFactory;            // 9
    static void* ms_piCollecteurTopo;           // 10
    static IInfoLocale* ms_piInfoLocale;        // 12
    static int* ms_pbMultithread;               // 14
    static void* ms_piInformationComposante;    // 15
};
