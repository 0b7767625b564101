#include "common/system/information.h"

IStrMemAlloc* CInformationModule::ms_piStrMemAlloc = nullptr;

uint32_t CInformationDLL::ms_nCodeProduitExecution = 0;
uint32_t CInformationDLL::ms_nLangueInterne = 12;
const wchar_t* CInformationDLL::ms_pszNomProduit = L"Quilan";
uint64_t CInformationDLL::ms_dwOptions = 0;
uint32_t CInformationDLL::ms_nCodeProduitReel = 0;
ILibShop* CInformationDLL::ms_piLibShop = nullptr;
uint32_t CInformationDLL::ms_dwVersionActive = 20;
IGlobalFactory* CInformationDLL::ms_piGlobalFactory = nullptr;
void* CInformationDLL::ms_piCollecteurTopo = nullptr;
IInfoLocale* CInformationDLL::ms_piInfoLocale = nullptr;
int* CInformationDLL::ms_pbMultithread = nullptr;
void* CInformationDLL::ms_piInformationComposante = nullptr;
